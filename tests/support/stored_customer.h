#pragma once

#include "store/data_module.h"
#include "workspace/customer_record.h"

#include <QString>
#include <QtGlobal>

// A customer stored as the record screen stores a new one: its model and version, a name, the
// panel's telephone and the panel and PC codes (in the panel row and in the image). Answers its
// key, or 0 (with a test warning) when it could not be saved. The data module stays connected.
inline int AddStoredCustomer(TdmBancoDeDados& dm, int productCode, const QString& version,
                             const QString& panelCode, const QString& pcCode,
                             const QString& name = QStringLiteral("Cliente de teste")) {
    CustomerRecord record(dm);
    if (!record.BeginNew(productCode, version, NewCustomerDefaults())) {
        qWarning("%s", qPrintable(record.LastError()));
        return 0;
    }
    dm.DSetClientes.SetValue("NOME", name);
    dm.DSetPainel.SetValue("FONE_PAINEL", "5551234");
    dm.DSetPainel.SetValue("CODIGO_PAINEL", panelCode);
    dm.DSetPainel.SetValue("CODIGO_PC", pcCode);
    record.CopyPanelCodeToImage(panelCode);
    record.CopyPcCodeToImage(pcCode);
    QString error;
    if (!record.Save(&error)) {
        qWarning("%s", qPrintable(error));
        return 0;
    }
    const int id = record.CustomerId();
    record.Close();
    return id;
}
