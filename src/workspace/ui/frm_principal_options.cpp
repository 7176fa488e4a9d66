// The main window's options, database and help dialogs.

#include "base/app_paths.h"
#include "base/operator_messages.h"
#include "base/settings.h"
#include "store/audit_log.h"
#include "store/data_module.h"
#include "store/ui/frm_backup_bd.h"
#include "store/ui/frm_restaura_bd.h"
#include "store/upkeep.h"
#include "workspace/customer_actions.h"
#include "workspace/ui/frm_about.h"
#include "workspace/ui/frm_escolher_colunas.h"
#include "workspace/ui/frm_opcoes_gerais.h"
#include "workspace/ui/frm_principal.h"

#include <QFileInfo>

void TfrmPrincipal::OpcoesGerais() {
    TfrmOpcoesGerais dialog(m_settings, ApplicationPath(SettingsFileName()), this);
    if (dialog.exec() == QDialog::Accepted)
        m_settings = dialog.Result();
}

void TfrmPrincipal::EscolherColunas() {
    TfrmEscolherColunas dialog(m_settings.Colunas, this);
    if (dialog.exec() != QDialog::Accepted)
        return;
    Settings chosen = m_settings;
    chosen.Colunas = dialog.Colunas();
    QString error;
    if (!WriteConfigKeys(ApplicationPath(SettingsFileName()), chosen, {QStringLiteral("Colunas")}, &error)) {
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
        return;
    }
    m_settings = chosen;
    Atualiza_Grid_TelaInicial(m_settings.Colunas);
}

void TfrmPrincipal::FazerBackup() {
    TfrmBackupBD dialog(m_databaseName, this);
    dialog.exec();
}

void TfrmPrincipal::Restauracao() {
    // Restoring replaces every customer and operator of the database: the administrator's, as on
    // the command line.
    if (!m_dm.Operator.administrator) {
        OperatorMessages::Tell(this, kMsgSemPermissao);
        return;
    }
    const int current = CurrentId();
    const int customers = m_dm.Connected() ? CountCustomers(m_dm) : -1;
    Model->Clear();
    m_dm.Disconnect();
    {
        TfrmRestauraBD dialog(
            m_databaseName,
            [this](const QString& file, QString* error) {
                // The restored file may be older than this program: bring it to the current shape,
                // then record who restored which file in it.
                if (!m_dm.Connect(m_databaseName) || !UpgradeClientes(m_dm) || !UpgradeTempos(m_dm) ||
                    !UpgradeReport(m_dm) || !UpgradeAuditoria(m_dm) ||
                    !RecordAudit(m_dm, m_dm.Operator.name, 0, AuditAction::Restore,
                                 QFileInfo(file).fileName())) {
                    *error = m_dm.LastError().isEmpty() ? m_dm.IBDB.LastError() : m_dm.LastError();
                    return false;
                }
                return true;
            },
            this);
        dialog.SetCurrentCustomerCount(customers);
        dialog.exec();
    }
    if (!m_dm.Connected() && !m_dm.Connect(m_databaseName)) {
        m_databaseFailed = true;
        OperatorMessages::Tell(this, m_dm.LastError(), MessageIcon::Critical);
        return;
    }
    Atualiza_Combos();
    if (const int row = current >= 0 ? Model->RowOfId(current) : -1; row >= 0)
        SelectRow(row);
}

void TfrmPrincipal::Sobre() {
    TfrmAbout about(this);
    about.exec();
}
