#include "widgets/help.h"

#include "base/app_paths.h"
#include "base/operator_messages.h"
#include "store/store_messages.h"

#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>
#include <QWidget>

namespace {
const char kHelpTopicProperty[] = "helpTopic";
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
    return ApplicationPath(QStringLiteral("Help/%1.html").arg(topic));
}

bool ShowHelpTopic(QWidget* parent, int topic) {
    const QString file = HelpTopicFile(topic);
    if (!QFileInfo::exists(file)) {
        OperatorMessages::Tell(parent, MsgFileNotFound(file), MessageIcon::Warning);
        return false;
    }
    return QDesktopServices::openUrl(QUrl::fromLocalFile(file));
}
