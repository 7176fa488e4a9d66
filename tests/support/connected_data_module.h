#pragma once

#include "store/data_module.h"
#include "support/temp_database.h"

#include <QStringList>

// A data module connected to a fresh embedded database, with an operator holding every
// permission and a host that keeps the messages it is asked to show.
class ConnectedDataModule : public DataModuleHost {
public:
    ConnectedDataModule();
    ~ConnectedDataModule() override;

    // Creates the database and connects; false with Error() when it could not.
    bool Open();
    QString Error() const { return m_error; }

    // Permission n granted or refused to the logged operator.
    void SetPermission(int permission, bool granted);

    // Number of rows of a table matching a where clause with parameters.
    int Count(const QString& table, const QString& where = {}, const QVariantList& params = {});

    TempDatabase database;
    TdmBancoDeDados dm;
    QStringList messages;

    void ShowMessage(const QString& text) override { messages << text; }
    bool RunFirstTimeSetup(TdmBancoDeDados&) override { return true; }
    bool RunLogin(TdmBancoDeDados&) override { return true; }
    void TerminateApplication() override {}

private:
    QString m_error;
};
