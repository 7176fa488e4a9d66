#include "link_control/ui/window_placement.h"

#include <QApplication>
#include <QScreen>
#include <QWidget>

#include <algorithm>

namespace WindowPlacement {

QWidget* OwnerOf(const QWidget* self, QWidget* fallback) {
    for (QWidget* candidate : {QApplication::activeModalWidget(), QApplication::activeWindow(), fallback}) {
        if (candidate && candidate != self && candidate->isVisible())
            return candidate->window();
    }
    return nullptr;
}

void CentreOn(QWidget* window, const QWidget* owner) {
    QScreen* screen = owner ? owner->screen() : window->screen();
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect();
    const QPoint centre = owner ? owner->frameGeometry().center() : area.center();
    // The frame adds to the client size once the window has been shown; before that it is unknown.
    const QSize frame = window->frameGeometry().size().expandedTo(window->size());
    QPoint topLeft(centre.x() - frame.width() / 2, centre.y() - frame.height() / 2);
    if (area.isValid()) {
        topLeft.setX(
            std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - frame.width() + 1)));
        topLeft.setY(
            std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() - frame.height() + 1)));
    }
    window->move(topLeft);
}

} // namespace WindowPlacement
