#include "store/firebird_client.h"

#include "store/database_credentials.h"
#include "store/engine_lock_folder.h"
#include "store/fb_status.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QThread>

#include <cerrno>
#include <cstdlib>
#include <unistd.h>

namespace {

void AppendDpbString(QByteArray& dpb, char tag, const QByteArray& value) {
    dpb.append(tag);
    dpb.append(char(qMin<qsizetype>(value.size(), 255)));
    dpb.append(value.left(255));
}

void AppendDpbInt(QByteArray& dpb, char tag, quint32 value) {
    dpb.append(tag);
    dpb.append(char(4));
    for (int i = 0; i < 4; ++i)
        dpb.append(char((value >> (8 * i)) & 0xFF));
}

QByteArray ConnectionParameters() {
    QByteArray dpb;
    dpb.append(char(isc_dpb_version1));
    AppendDpbString(dpb, isc_dpb_user_name, kDatabaseUser.toLatin1());
    AppendDpbString(dpb, isc_dpb_password, kDatabasePassword.toLatin1());
    return dpb;
}

// Threads of this process (0 where the system does not tell).
int ThreadCount() {
    return int(QDir(QStringLiteral("/proc/self/task")).entryList(QDir::Dirs | QDir::NoDotAndDotDot).size());
}

} // namespace

QByteArray FbAttachParameters() {
    QByteArray dpb = ConnectionParameters();
    AppendDpbString(dpb, isc_dpb_lc_ctype, kDatabaseCharacterSet.toLatin1());
    return dpb;
}

// A lock folder made for this process alone, removed after the engine's shutdown.
QString& TemporaryLockFolder() {
    static QString folder;
    return folder;
}

void ShutdownFirebird() {
    static bool done = false;
    if (done)
        return;
    done = true;
    fb_shutdown(10000, fb_shutrsn_app_stopped);
    if (!TemporaryLockFolder().isEmpty())
        QDir(TemporaryLockFolder()).removeRecursively();
}

void PrepareFirebirdEnvironment() {
    static const bool prepared = [] {
        if (qEnvironmentVariableIsEmpty("FIREBIRD_LOCK")) {
            const LockFolder folder = EngineLockFolder();
            if (folder.temporary)
                TemporaryLockFolder() = folder.path;
            if (!folder.path.isEmpty())
                qputenv("FIREBIRD_LOCK", QFile::encodeName(folder.path));
        }
        // The embedded engine and the services it runs keep threads of their own; they must end
        // before the process tears down its libraries (the client library's own exit handler
        // unloads the engine under a running thread), so they end with the application object.
        if (QCoreApplication::instance())
            qAddPostRoutine(ShutdownFirebird);
        else
            std::atexit(ShutdownFirebird);
        return true;
    }();
    Q_UNUSED(prepared);
}

bool IsRemoteDatabaseName(const QString& databaseName) {
    for (const char* scheme : {"inet://", "inet4://", "inet6://", "xnet://", "wnet://"}) {
        if (databaseName.startsWith(QLatin1String(scheme), Qt::CaseInsensitive))
            return true;
    }
    const qsizetype colon = databaseName.indexOf(QLatin1Char(':'));
    // "C:\..." is a Windows drive, not a host; a slash before the colon makes it part of a path.
    if (colon <= 1)
        return false;
    const QString host = databaseName.left(colon);
    return !host.contains(QLatin1Char('\\')) && !host.startsWith(QLatin1Char('/')) &&
           !host.startsWith(QLatin1Char('.'));
}

QString NormalizeDatabaseName(const QString& databaseName) {
    if (databaseName.isEmpty() || IsRemoteDatabaseName(databaseName))
        return databaseName;
    return QFileInfo(databaseName).absoluteFilePath();
}

AttachProblem ProbeDatabase(const QString& databaseName, QString* detail) {
    PrepareFirebirdEnvironment();
    const QString name = NormalizeDatabaseName(databaseName);
    if (!IsRemoteDatabaseName(name) && !QFileInfo::exists(name))
        return AttachProblem::FileMissing;

    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    const QByteArray path = QFile::encodeName(name);
    const QByteArray dpb = ConnectionParameters();
    isc_attach_database(status, 0, path.constData(), &db, short(dpb.size()), dpb.constData());
    if (!FbFailed(status)) {
        isc_detach_database(status, &db);
        return AttachProblem::None;
    }
    if (detail)
        *detail = FbStatusText(status);
    if (FbStatusHas(status, 0, ENOENT))
        return AttachProblem::FileMissing;
    if (FbStatusHas(status, isc_already_opened) || FbStatusHas(status, isc_lock_conflict) ||
        FbStatusHas(status, 0, EAGAIN) || FbStatusHas(status, 0, EACCES))
        return AttachProblem::FileLocked;
    return AttachProblem::Other;
}

bool CreateDatabaseFile(const QString& databaseName, QString* error) {
    PrepareFirebirdEnvironment();
    const QString name = NormalizeDatabaseName(databaseName);
    if (!IsRemoteDatabaseName(name) && QFileInfo::exists(name)) {
        if (error)
            *error = QStringLiteral("O arquivo %1 já existe.").arg(QDir::toNativeSeparators(name));
        return false;
    }
    QByteArray dpb = ConnectionParameters();
    AppendDpbInt(dpb, isc_dpb_page_size, 8192);
    AppendDpbInt(dpb, isc_dpb_sql_dialect, 3);
    AppendDpbString(dpb, isc_dpb_set_db_charset, kDatabaseCharacterSet.toLatin1());

    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    const QByteArray path = QFile::encodeName(name);
    isc_create_database(status, 0, path.constData(), &db, short(dpb.size()), dpb.constData(), 0);
    if (FbFailed(status)) {
        if (error)
            *error = FbStatusText(status);
        return false;
    }
    isc_detach_database(status, &db);
    return true;
}

QString ServiceManagerFor(const QString& databaseName, QString* pathOnServer) {
    const QString name = NormalizeDatabaseName(databaseName);
    if (!IsRemoteDatabaseName(name) || name.contains(QLatin1String("://"))) {
        if (pathOnServer)
            *pathOnServer = name;
        return IsRemoteDatabaseName(name) ? QString() : QStringLiteral("service_mgr");
    }
    const qsizetype colon = name.indexOf(QLatin1Char(':'));
    if (pathOnServer)
        *pathOnServer = name.mid(colon + 1);
    return name.left(colon) + QStringLiteral(":service_mgr");
}

bool SetAsyncWrites(const QString& databaseName, QString* error) {
    QString dbPath;
    const QString manager = ServiceManagerFor(databaseName, &dbPath);
    QByteArray request;
    request.append(char(isc_action_svc_properties));
    AppendServiceString(request, isc_spb_dbname, dbPath);
    request.append(char(isc_spb_prp_write_mode));
    request.append(char(isc_spb_prp_wm_async));
    return RunServiceRequest(manager, request, {}, error);
}

void AppendServiceString(QByteArray& request, char tag, const QString& value) {
    const QByteArray bytes = QFile::encodeName(value);
    request.append(tag);
    request.append(char(bytes.size() & 0xFF));
    request.append(char((bytes.size() >> 8) & 0xFF));
    request.append(bytes);
}

void AppendServiceInt(QByteArray& request, char tag, quint32 value) {
    request.append(tag);
    for (int i = 0; i < 4; ++i)
        request.append(char((value >> (8 * i)) & 0xFF));
}

QString MsgServiceStopped() {
    return QStringLiteral("Operação interrompida.");
}

bool DropDatabase(const QString& databaseName, QString* error) {
    PrepareFirebirdEnvironment();
    ISC_STATUS_ARRAY status = {};
    isc_db_handle db = 0;
    const QByteArray path = QFile::encodeName(NormalizeDatabaseName(databaseName));
    const QByteArray dpb = ConnectionParameters();
    isc_attach_database(status, 0, path.constData(), &db, short(dpb.size()), dpb.constData());
    if (!FbFailed(status))
        isc_drop_database(status, &db);
    if (FbFailed(status)) {
        if (error)
            *error = FbStatusText(status);
        if (db)
            isc_detach_database(status, &db);
        return false;
    }
    return true;
}

bool RunServiceRequest(const QString& serviceManager, const QByteArray& request,
                       const std::function<void(const QString&)>& line, QString* error,
                       const std::function<QByteArray(int)>& input, const std::function<bool()>& stop) {
    PrepareFirebirdEnvironment();
    if (serviceManager.isEmpty()) {
        if (error)
            *error = QStringLiteral("Nome de banco de dados não suportado pelo serviço de backup.");
        return false;
    }
    QByteArray spb;
    spb.append(char(isc_spb_version));
    spb.append(char(isc_spb_current_version));
    const QByteArray user = kDatabaseUser.toLatin1();
    const QByteArray password = kDatabasePassword.toLatin1();
    spb.append(char(isc_spb_user_name));
    spb.append(char(user.size()));
    spb.append(user);
    spb.append(char(isc_spb_password));
    spb.append(char(password.size()));
    spb.append(password);

    const int threadsBefore = ThreadCount();
    ISC_STATUS_ARRAY status = {};
    isc_svc_handle service = 0;
    const QByteArray managerName = serviceManager.toLocal8Bit();
    isc_service_attach(status, 0, managerName.constData(), &service, ushort(spb.size()), spb.constData());
    if (FbFailed(status)) {
        if (error)
            *error = FbStatusText(status);
        return false;
    }
    isc_service_start(status, &service, nullptr, ushort(request.size()), request.constData());
    bool ok = !FbFailed(status);
    if (!ok && error)
        *error = FbStatusText(status);

    // Reads the output one line at a time until the service ends; a failure of the service itself
    // arrives in the status of the last query. A service that reads its input from "stdin" asks
    // for it in the answers, and gets it with the next query (an empty piece at the end).
    const char lineQuery[] = {isc_info_svc_line};
    const char inputQuery[] = {isc_info_svc_stdin, isc_info_svc_line};
    const char* query = input ? inputQuery : lineQuery;
    const short querySize = input ? short(sizeof inputQuery) : short(sizeof lineQuery);
    char buffer[16384];
    int wanted = 0;
    QByteArray send;
    while (ok) {
        if (stop && stop()) {
            ok = false;
            if (error)
                *error = MsgServiceStopped();
            break;
        }
        send.clear();
        if (wanted > 0) {
            const QByteArray piece = input(qMin(wanted, 16000));
            send.append(char(isc_info_svc_line));
            send.append(char(piece.size() & 0xFF));
            send.append(char((piece.size() >> 8) & 0xFF));
            send.append(piece);
            send.append(char(isc_info_end));
            wanted = 0;
        }
        isc_service_query(status, &service, 0, ushort(send.size()),
                          send.isEmpty() ? nullptr : send.constData(), querySize, query, sizeof buffer,
                          buffer);
        if (FbFailed(status)) {
            ok = false;
            if (error)
                *error = FbStatusText(status);
            break;
        }
        bool sawLine = false;
        bool ended = false;
        const char* p = buffer;
        const char* const end = buffer + sizeof buffer;
        while (p < end && *p != isc_info_end) {
            const char tag = *p++;
            if (tag == isc_info_svc_stdin) {
                wanted = int(isc_vax_integer(p, 4));
                p += 4;
            } else if (tag == isc_info_svc_line) {
                const int length = isc_vax_integer(p, 2);
                p += 2;
                sawLine = true;
                ended = length == 0;
                if (length > 0 && line)
                    line(QString::fromLocal8Bit(p, length));
                p += length;
            } else if (tag != isc_info_truncated && tag != isc_info_data_not_ready &&
                       tag != isc_info_svc_timeout) {
                break;
            }
        }
        if (wanted > 0)
            continue;
        if (!input && (!sawLine || ended))
            break;
        if (input && ended)
            break;
        if (input && !sawLine)
            QThread::msleep(1);
    }
    ISC_STATUS_ARRAY detachStatus = {};
    isc_service_detach(detachStatus, &service);
    // The engine's threads of the service (and of the database it opened) go on finishing for a
    // moment after the service reports its end; should the process end meanwhile, the engine is
    // unloaded under them and the exit crashes. Wait until they are gone.
    for (int waits = 0; waits < 300 && ThreadCount() > threadsBefore; ++waits)
        QThread::msleep(10);
    return ok;
}

QString FbStatusText(const ISC_STATUS* status) {
    QString text;
    const ISC_STATUS* cursor = status;
    char buffer[512];
    while (fb_interpret(buffer, sizeof buffer, &cursor) > 0) {
        if (!text.isEmpty())
            text += QLatin1Char('\n');
        text += QString::fromLocal8Bit(buffer);
    }
    return text;
}

QList<long> FbStatusCodes(const ISC_STATUS* status) {
    QList<long> codes;
    for (int i = 0; i < ISC_STATUS_LENGTH && status[i] != isc_arg_end;) {
        if (status[i] == isc_arg_gds)
            codes << long(status[i + 1]);
        i += status[i] == isc_arg_cstring ? 3 : 2;
    }
    return codes;
}

bool FbStatusHas(const ISC_STATUS* status, ISC_STATUS code, int osError) {
    for (int i = 0; i < ISC_STATUS_LENGTH && status[i] != isc_arg_end;) {
        const ISC_STATUS kind = status[i];
        if (kind == isc_arg_gds && code != 0 && status[i + 1] == code)
            return true;
        if (kind == isc_arg_unix && osError != 0 && status[i + 1] == osError)
            return true;
        i += kind == isc_arg_cstring ? 3 : 2;
    }
    return false;
}
