#pragma once

#include <QObject>
#include <QPointer>

#include <functional>

class QAbstractItemView;

// The application-wide message hook: sees every event before it is delivered.
//  - A mouse wheel turned over a list moves the list one row per notch, as the arrow keys do; with
//    Shift held it scrolls the list one column sideways instead.
//  - Any mouse-button press hides the field-error balloon (the balloon itself watches for it).
//  - F1 opens the help topic of the window under the focus.
// Which list the wheel acts on is asked each time (the customer list, the record screen's event
// list, or none); `shiftHeld` tells whether the list's key handlers saw Shift go down.
class MessageHook : public QObject {
    Q_OBJECT
public:
    using ListProvider = std::function<QAbstractItemView*()>;

    explicit MessageHook(QObject* parent = nullptr);
    ~MessageHook() override;

    void SetListProvider(ListProvider provider) { m_listProvider = std::move(provider); }
    void SetShiftHeld(std::function<bool()> shiftHeld) { m_shiftHeld = std::move(shiftHeld); }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    ListProvider m_listProvider;
    std::function<bool()> m_shiftHeld;
};
