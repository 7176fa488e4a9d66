#include "widgets/window_memory.h"

#include "base/app_paths.h"
#include "base/ini_file.h"
#include "base/settings.h"

#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace {

const QString kSection = QStringLiteral("Janelas");

class WindowMemory : public QObject {
public:
    WindowMemory(QWidget* window, const QSize& defaultSize)
        : QObject(window), m_window(window), m_defaultSize(defaultSize) {}

    bool eventFilter(QObject* watched, QEvent* event) override {
        if (watched == m_window) {
            if (event->type() == QEvent::Show && !m_placed) {
                m_placed = true;
                Restore();
            } else if (event->type() == QEvent::Hide && m_placed) {
                Save();
            }
        }
        return QObject::eventFilter(watched, event);
    }

private:
    static QString File() { return ApplicationPath(SettingsFileName()); }

    void Restore() {
        IniFile ini;
        const QStringList parts = ini.load(File())
                                      ? ini.value(kSection, m_window->objectName()).split(QLatin1Char(','))
                                      : QStringList();
        if (parts.size() == 4) {
            bool ok[4] = {};
            const QRect place(parts[0].toInt(&ok[0]), parts[1].toInt(&ok[1]), parts[2].toInt(&ok[2]),
                              parts[3].toInt(&ok[3]));
            if (ok[0] && ok[1] && ok[2] && ok[3] && place.width() > 0 && place.height() > 0) {
                for (const QScreen* screen : QGuiApplication::screens()) {
                    if (screen->availableGeometry().intersects(place)) {
                        m_window->setGeometry(QRect(place.topLeft(), FitToScreen(m_window, place.size())));
                        return;
                    }
                }
            }
        }
        m_window->resize(FitToScreen(m_window, m_defaultSize.expandedTo(m_window->minimumSize())));
    }

    void Save() {
        const QString file = File();
        if (m_window->objectName().isEmpty() || !QFileInfo::exists(file))
            return;
        IniFile ini;
        if (!ini.load(file))
            return;
        const QRect place = m_window->isMaximized() ? m_window->normalGeometry() : m_window->geometry();
        const QString text = QStringLiteral("%1,%2,%3,%4")
                                 .arg(place.x())
                                 .arg(place.y())
                                 .arg(place.width())
                                 .arg(place.height());
        if (ini.value(kSection, m_window->objectName()) == text)
            return;
        ini.setValue(kSection, m_window->objectName(), text);
        ini.save(file); // a place not kept is not worth a message
    }

    QWidget* m_window;
    QSize m_defaultSize;
    bool m_placed = false;
};

} // namespace

void RememberWindowGeometry(QWidget* window, const QSize& defaultSize) {
    window->installEventFilter(new WindowMemory(window, defaultSize));
}

QSize FitToScreen(const QWidget* window, const QSize& wanted) {
    const QScreen* screen = window->screen() ? window->screen() : QGuiApplication::primaryScreen();
    if (!screen)
        return wanted;
    const QRect area = screen->availableGeometry();
    return wanted.boundedTo(QSize(area.width() - 16, area.height() - 40));
}
