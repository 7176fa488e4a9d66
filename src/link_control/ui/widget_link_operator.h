#pragma once

#include "base/operator_messages.h"
#include "link_control/link_operator.h"
#include "widgets/message_box.h"

#include <QList>
#include <QPointer>
#include <QString>

class LinkController;
class QWidget;
class TfrmConectaAlarme;
class TfrmStatus;

// The desktop application's operator of the link: message boxes captioned with the application
// title, the hourglass cursor, the connection progress window and the status window. Attach() hands
// the operator's own actions (cancel, second ring) to the controller.
//
// While it lives it stands in front of the program's messenger: a message or question shown while
// the status window is up must not hide behind that window, and the link's own messages (which
// name no window) belong to `parent`.
class WidgetLinkOperator : public LinkOperator, public OperatorMessenger {
public:
    // `parent` is the window the dialogs belong to (the main window), may be null.
    WidgetLinkOperator(const QString& title, QWidget* parent = nullptr);
    ~WidgetLinkOperator() override;

    void Attach(LinkController* controller);

    TfrmConectaAlarme* ProgressWindow() const { return m_progress; }
    TfrmStatus* StatusWindow() const { return m_status; }

    OperatorAnswer Show(QObject* context, const OperatorMessage& message) override;
    void SetBusyCursor(bool busy) override;

    void ProgressShow() override;
    void ProgressClose() override;
    void ProgressSteps(const QList<ProgressStep>& steps) override;
    void ProgressSetCancelEnabled(bool enabled) override;
    void ProgressSetBar(bool visible, int minimum, int maximum, int value) override;
    void ProgressSetSecondRingButton(bool visible) override;
    void ProgressSetText(const QString& text) override;

    void StatusShow(const QString& text, bool showGauge, int gaugeMin, int gaugeMax) override;
    void StatusSetGauge(int value) override;
    void StatusSetEfficiency(bool visible, const QString& figure) override;
    void StatusClose() override;

private:
    void enableDisabledWindows();

    QPointer<QWidget> m_parent;
    LinkController* m_controller = nullptr;
    TfrmConectaAlarme* m_progress = nullptr;
    TfrmStatus* m_status = nullptr;
    bool m_busy = false;
    DesktopMessenger m_boxes;
    OperatorMessenger* m_next = nullptr;
    // The windows the status window disabled while it is up.
    QList<QPointer<QWidget>> m_disabled;
    // The window the operator worked in when the status window opened (the programming window,
    // for a send): it is active again when the status window closes, whichever window is the
    // status window's owner.
    QPointer<QWidget> m_workingWindow;
};
