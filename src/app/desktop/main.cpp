// telvora: the desktop application.
#include "app/desktop/desktop_host.h"
#include "base/app_paths.h"
#include "base/app_title.h"
#include "base/locale_format.h"
#include "base/settings.h"
#include "base/single_instance.h"
#include "base/termination_request.h"
#include "link_control/link_controller.h"
#include "link_control/ui/widget_link_operator.h"
#include "serial/tcia_com_port.h"
#include "session/line_trace.h"
#include "store/data_module.h"
#include "store/firebird_client.h"
#include "store/sql_script.h"
#include "store/store_messages.h"
#include "widgets/message_box.h"
#include "widgets/qt_translations.h"
#include "workspace/ui/frm_principal.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace {

// An installed program started for the first time by this user: the database would be the default
// one in the user's data folder, and no settings file is there (every start writes one).
bool FirstStartOfThisUser(const QString& database) {
    return ApplicationFolderIsUserData() && database == ApplicationPath(QStringLiteral("zrv.fdb")) &&
           !QFileInfo::exists(ApplicationPath(SettingsFileName()));
}

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Telvora"));
    QApplication::setApplicationDisplayName(QStringLiteral("Telvora"));
    ApplyApplicationLocale();
    InstallQtTranslations(app);
    // Every message and question of the program is a message box.
    DesktopMessenger messenger;
    OperatorMessages::SetMessenger(&messenger);

    SingleInstance instance;
    if (!instance.start())
        return 0;

    // A missing database is never replaced by an empty one here (the operator would land in
    // first-time set-up with the customers gone): the operator is told where it was looked for
    // and how to restore or create one.
    // zrv.fdb in the application folder, or the database the settings name (a shared one on a
    // server: "host:path", whose file only the server sees).
    const QString database = ConfiguredDatabaseName();
    const bool remote = IsRemoteDatabaseName(database);
    // The one exception: the first start of an installed program on an account, whose data folder
    // holds neither settings nor a database yet. Its database is made there, and the first-time
    // set-up follows (the first operator, then the port and the modem).
    if (!remote && !QFileInfo::exists(database) && FirstStartOfThisUser(database)) {
        // Made under another name and put in place whole: a start ended while the schema is
        // being written leaves no half database to be opened next time.
        const QString making = database + QStringLiteral(".novo");
        QFile::remove(making);
        QString error;
        if (!CreateNewDatabase(making, &error) || !QFile::rename(making, database)) {
            QFile::remove(making);
            OperatorMessages::Tell(nullptr,
                                   QStringLiteral("Não foi possível criar o banco de dados %1.\r%2")
                                       .arg(QDir::toNativeSeparators(database), error),
                                   MessageIcon::Critical);
            return 1;
        }
    }
    if (!remote && !QFileInfo::exists(database)) {
        OperatorMessages::Tell(nullptr, MsgDatabaseMissing(database), MessageIcon::Critical);
        return 1;
    }

    TdmBancoDeDados dm;
    DesktopHost host;
    dm.SetHost(&host);
    // The login and first-operator windows close on an interrupt or a termination request.
    if (!dm.OpenAndLogin(database) || TerminationRequest::instance().Requested())
        return 0;

    // A trace of the line when the settings ask for one, to capture a problem in the field.
    LineTraceFile trace;
    if (const QString traceFile = LineTraceFile::Configured(); !traceFile.isEmpty()) {
        QString error;
        if (!trace.Open(traceFile, &error))
            OperatorMessages::Tell(nullptr, error, MessageIcon::Warning);
    }

    // The link: the one serial port, its dispatcher and workers, and their windows.
    TCiaComPort port;
    WidgetLinkOperator linkOperator(ApplicationTitle());
    LinkController controller(&port, &linkOperator);
    linkOperator.Attach(&controller);

    TfrmPrincipal main(dm, controller.State(), port);
    main.SetLinkController(&controller);
    if (main.DatabaseFailed() && !remote && !QFileInfo::exists(database))
        return 1;
    // A new installation: the first operator chooses the port and the modem before the port opens.
    main.SetFirstRunHandler([](TfrmPrincipal& window) { window.EditConnectionSettings(); });
    main.SetLoginHandler([&host, &dm](TfrmPrincipal&) { return host.RunLogin(dm); });
    QObject::connect(&instance, &SingleInstance::comeForwardRequested, &main, [&main] {
        main.showNormal();
        main.raise();
        main.activateWindow();
    });
    // A termination request (a system shutdown, `kill`) or an interrupt does not end the program by
    // force in the middle of a call: the link stops at its next safe point, hangs up and closes the
    // port, and then the program quits.
    // (installed again after the database is open: its client library takes the signals over as it
    // starts)
    TerminationRequest& termination = TerminationRequest::instance();
    termination.Install();
    const auto quitWhenIdle = [&controller] {
        if (!controller.ConectaAlarmeWorker() && !controller.OnLineWorker())
            QApplication::quit();
    };
    QObject::connect(&termination, &TerminationRequest::Received, &controller, [&controller] {
        if (!controller.Encerrar())
            QApplication::quit();
    });
    QObject::connect(&controller, &LinkController::ConnectionEnded, &controller, [&controller, quitWhenIdle] {
        if (controller.Stopping())
            quitWhenIdle();
    });
    QObject::connect(&controller, &LinkController::SessionEnded, &controller, [&controller, quitWhenIdle] {
        if (controller.Stopping())
            quitWhenIdle();
    });

    main.show();
    return app.exec();
}
