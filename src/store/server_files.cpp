#include "store/server_files.h"

#include "store/firebird_client.h"

#include <QDir>
#include <QFileInfo>
#include <QHostAddress>
#include <QHostInfo>
#include <QNetworkInterface>

bool ServerFilesAreLocal(const QString& databaseName) {
    const QString name = NormalizeDatabaseName(databaseName);
    if (!IsRemoteDatabaseName(name) || name.contains(QLatin1String("://")))
        return false;
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    QString host = name.left(colon);
    host = host.left(host.indexOf(QLatin1Char('/'))); // without "/port"
    const QString path = name.mid(colon + 1);
    bool local = host.compare(QLatin1String("localhost"), Qt::CaseInsensitive) == 0 ||
                 host.compare(QHostInfo::localHostName(), Qt::CaseInsensitive) == 0;
    const QHostAddress address(host);
    if (!local && !address.isNull())
        local = address.isLoopback() || QNetworkInterface::allAddresses().contains(address);
    return local && QFileInfo(path).absoluteDir().exists();
}
