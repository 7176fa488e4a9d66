#include "link_control/ui/widget_link_operator.h"

#include "link_control/link_controller.h"
#include "link_control/ui/frm_conecta_alarme.h"
#include "link_control/ui/frm_status.h"
#include "link_control/ui/window_placement.h"

#include <QApplication>

WidgetLinkOperator::WidgetLinkOperator(const QString& title, QWidget* parent)
    : m_parent(parent), m_progress(new TfrmConectaAlarme(title, parent)), m_status(new TfrmStatus(title)) {
    m_next = OperatorMessages::SetMessenger(this);
}

WidgetLinkOperator::~WidgetLinkOperator() {
    if (OperatorMessages::Messenger() == this)
        OperatorMessages::SetMessenger(m_next);
    SetBusyCursor(false);
    if (!m_progress->parent())
        delete m_progress;
    delete m_status;
}

void WidgetLinkOperator::Attach(LinkController* controller) {
    m_controller = controller;
    m_progress->OnCancel = [this] {
        if (m_controller)
            m_controller->CancelaConexao();
    };
    m_progress->OnSecondRing = [this] {
        if (m_controller)
            m_controller->SegundoRingPressionado();
    };
    m_status->OnCancel = [this] {
        if (m_controller)
            m_controller->StatusCancelado();
    };
    m_status->OnHidden = [this] {
        SetBusyCursor(false);
        enableDisabledWindows();
        if (m_controller)
            m_controller->StatusOcultado();
    };
}

OperatorAnswer WidgetLinkOperator::Show(QObject* context, const OperatorMessage& message) {
    const bool statusUp = m_status->isVisible();
    if (statusUp)
        m_status->SetStayOnTop(false);
    OperatorMessenger& shown = m_next ? *m_next : m_boxes;
    const OperatorAnswer answer = shown.Show(context ? context : m_parent.data(), message);
    if (statusUp)
        m_status->SetStayOnTop(true);
    return answer;
}

void WidgetLinkOperator::SetBusyCursor(bool busy) {
    if (busy == m_busy)
        return;
    m_busy = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void WidgetLinkOperator::ProgressShow() {
    m_progress->ShowProgress();
}

void WidgetLinkOperator::ProgressClose() {
    m_progress->CloseByProgram();
}

void WidgetLinkOperator::ProgressSteps(const QList<ProgressStep>& steps) {
    m_progress->SetSteps(steps);
}

void WidgetLinkOperator::ProgressSetCancelEnabled(bool enabled) {
    m_progress->SetCancelEnabled(enabled);
}

void WidgetLinkOperator::ProgressSetBar(bool visible, int minimum, int maximum, int value) {
    m_progress->SetBar(visible, minimum, maximum, value);
}

void WidgetLinkOperator::ProgressSetSecondRingButton(bool visible) {
    m_progress->SetSecondRingButton(visible);
}

void WidgetLinkOperator::ProgressSetText(const QString& text) {
    m_progress->SetText(text);
}

void WidgetLinkOperator::StatusShow(const QString& text, bool showGauge, int gaugeMin, int gaugeMax) {
    // It opens centred on the window it belongs to (the customer screen).
    if (!m_status->isVisible())
        WindowPlacement::CentreOn(m_status, WindowPlacement::OwnerOf(m_status, m_parent));
    // Every other window waits while the operation runs; the list is kept to enable them again.
    if (m_disabled.isEmpty()) {
        QWidget* active = QApplication::activeWindow();
        m_workingWindow = active && active != m_status ? active : nullptr;
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window != m_status && window->isVisible() && window->isEnabled()) {
                window->setEnabled(false);
                m_disabled.append(window);
            }
        }
    }
    m_status->ShowStatus(text, showGauge, gaugeMin, gaugeMax);
}

void WidgetLinkOperator::StatusSetGauge(int value) {
    m_status->SetGauge(value);
}

void WidgetLinkOperator::StatusSetEfficiency(bool visible, const QString& figure) {
    m_status->SetEfficiency(visible, figure);
}

void WidgetLinkOperator::StatusClose() {
    enableDisabledWindows();
    m_status->CloseByProgram();
    if (m_workingWindow && m_workingWindow->isVisible()) {
        m_workingWindow->raise();
        m_workingWindow->activateWindow();
    }
    m_workingWindow = nullptr;
}

void WidgetLinkOperator::enableDisabledWindows() {
    for (const QPointer<QWidget>& window : std::as_const(m_disabled)) {
        if (window)
            window->setEnabled(true);
    }
    m_disabled.clear();
}
