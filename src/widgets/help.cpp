#include "widgets/help.h"

#include "base/app_paths.h"
#include "base/operator_messages.h"
#include "store/store_messages.h"

#include <QDialog>
#include <QFileInfo>
#include <QPointer>
#include <QTextBrowser>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>
#include <QWidget>

namespace {
const char kHelpTopicProperty[] = "helpTopic";
constexpr int kPageMargin = 16; // pixels around the text of a help page
}

void SetHelpTopic(QWidget* window, int topic) {
    window->setProperty(kHelpTopicProperty, topic);
}

int HelpTopicOf(const QWidget* widget) {
    for (const QWidget* w = widget; w; w = w->parentWidget()) {
        const int topic = w->property(kHelpTopicProperty).toInt();
        if (topic > 0)
            return topic;
    }
    return 0;
}

QString HelpTopicFile(int topic) {
    const QString own = ApplicationPath(QStringLiteral("Help/%1.html").arg(topic));
    if (QFileInfo::exists(own))
        return own;
    const QString shipped = QStringLiteral(":/help/%1.html").arg(topic);
    return QFileInfo::exists(shipped) ? shipped : own;
}

namespace {

// One help window for the whole program, brought forward and pointed at the new topic.
QTextBrowser* helpBrowser(QWidget* parent) {
    static QPointer<QDialog> window;
    if (!window) {
        window = new QDialog(parent ? parent->window() : nullptr);
        window->setObjectName(QStringLiteral("frmAjuda"));
        window->setAttribute(Qt::WA_DeleteOnClose);
        window->resize(640, 520);
        auto* browser = new QTextBrowser(window);
        browser->setObjectName(QStringLiteral("txtAjuda"));
        // The text keeps clear of the window's edges, as on a printed page.
        browser->document()->setDocumentMargin(kPageMargin);
        browser->setOpenLinks(true);
        auto* layout = new QVBoxLayout(window);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(browser);
        QObject::connect(browser, &QTextBrowser::sourceChanged, window,
                         [browser] { browser->window()->setWindowTitle(browser->documentTitle()); });
    }
    return window->findChild<QTextBrowser*>(QStringLiteral("txtAjuda"));
}

} // namespace

bool ShowHelpTopic(QWidget* parent, int topic) {
    const QString file = HelpTopicFile(topic);
    if (!QFileInfo::exists(file)) {
        OperatorMessages::Tell(parent, MsgFileNotFound(file), MessageIcon::Warning);
        return false;
    }
    QTextBrowser* browser = helpBrowser(parent);
    browser->setSource(file.startsWith(QLatin1Char(':')) ? QUrl(QStringLiteral("qrc") + file)
                                                          : QUrl::fromLocalFile(file));
    QWidget* window = browser->window();
    window->show();
    window->raise();
    window->activateWindow();
    return true;
}
