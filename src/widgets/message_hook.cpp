#include "widgets/message_hook.h"

#include "widgets/help.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QScrollBar>
#include <QWheelEvent>

MessageHook::MessageHook(QObject* parent) : QObject(parent) {
    qApp->installEventFilter(this);
}

MessageHook::~MessageHook() {
    if (qApp)
        qApp->removeEventFilter(this);
}

bool MessageHook::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel && m_listProvider) {
        QAbstractItemView* list = m_listProvider();
        auto* widget = qobject_cast<QWidget*>(watched);
        if (list && widget && (widget == list || list->isAncestorOf(widget))) {
            const auto* wheel = static_cast<QWheelEvent*>(event);
            const int delta =
                wheel->angleDelta().y() != 0 ? wheel->angleDelta().y() : wheel->angleDelta().x();
            if (delta == 0)
                return true;
            if (m_shiftHeld && m_shiftHeld()) {
                // Sideways by one column: towards the user moves the left column one to the right.
                QScrollBar* bar = list->horizontalScrollBar();
                bar->setValue(bar->value() + (delta < 0 ? 1 : -1) * std::max(1, bar->singleStep()));
            } else {
                QKeyEvent key(QEvent::KeyPress, delta > 0 ? Qt::Key_Up : Qt::Key_Down, Qt::NoModifier);
                QApplication::sendEvent(list, &key);
            }
            return true;
        }
    }
    if (event->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(event)->key() == Qt::Key_F1 &&
        watched->isWidgetType()) {
        auto* widget = static_cast<QWidget*>(watched);
        if (widget == QApplication::focusWidget() || (!QApplication::focusWidget() && widget->isWindow())) {
            const int topic = HelpTopicOf(widget);
            if (topic > 0) {
                ShowHelpTopic(widget->window(), topic);
                return true;
            }
        }
    }
    return QObject::eventFilter(watched, event);
}
