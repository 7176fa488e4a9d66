#include "support/connected_data_module.h"

ConnectedDataModule::ConnectedDataModule() {
    dm.SetHost(this);
    dm.Operator = LoggedOperator::FromRow(2, QStringLiteral("TESTE"), QString(40, QLatin1Char('1')));
}

ConnectedDataModule::~ConnectedDataModule() {
    dm.Disconnect();
}

bool ConnectedDataModule::Open() {
    if (!database.Create()) {
        m_error = database.Error();
        return false;
    }
    if (!dm.Connect(database.Path())) {
        m_error = dm.LastError();
        return false;
    }
    return true;
}

void ConnectedDataModule::SetPermission(int permission, bool granted) {
    dm.Operator.permissions[permission] = granted;
}

int ConnectedDataModule::Count(const QString& table, const QString& where, const QVariantList& params) {
    return dm.IBDB.SelectValue(QStringLiteral("select count(*) from %1 %2").arg(table, where), params)
        .toInt();
}
