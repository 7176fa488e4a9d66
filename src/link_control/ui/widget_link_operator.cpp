#include "link_control/ui/widget_link_operator.h"

#include "link_control/link_controller.h"
#include "link_control/ui/frm_conecta_alarme.h"
#include "link_control/ui/frm_status.h"

#include <QApplication>
#include <QMessageBox>

namespace {

// The system's texts break lines with "\r"; the message box wants "\n".
QString displayText(const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    shown.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    return shown;
}

} // namespace

WidgetLinkOperator::WidgetLinkOperator(const QString& title, QWidget* parent)
    : m_title(title), m_parent(parent), m_progress(new TfrmConectaAlarme(title, parent)),
      m_status(new TfrmStatus(title)) {}

WidgetLinkOperator::~WidgetLinkOperator() {
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

void WidgetLinkOperator::ShowMessage(MessageKind kind, const QString& text) {
    const QMessageBox::Icon icon = kind == MessageKind::Information ? QMessageBox::Information
                                   : kind == MessageKind::Warning   ? QMessageBox::Warning
                                                                    : QMessageBox::Critical;
    QMessageBox box(icon, m_title, displayText(text), QMessageBox::Ok, m_parent);
    box.exec();
}

bool WidgetLinkOperator::Ask(const QString& text, bool defaultNo) {
    // A question asked while the status window is up must not hide behind it.
    const bool statusUp = m_status->isVisible();
    if (statusUp)
        m_status->SetStayOnTop(false);
    QMessageBox box(QMessageBox::Question, m_title, displayText(text), QMessageBox::Yes | QMessageBox::No,
                    m_parent);
    box.setDefaultButton(defaultNo ? QMessageBox::No : QMessageBox::Yes);
    const bool yes = box.exec() == QMessageBox::Yes;
    if (statusUp)
        m_status->SetStayOnTop(true);
    return yes;
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
    // Every other window waits while the operation runs; the list is kept to enable them again.
    if (m_disabled.isEmpty()) {
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
}

void WidgetLinkOperator::enableDisabledWindows() {
    for (const QPointer<QWidget>& window : std::as_const(m_disabled)) {
        if (window)
            window->setEnabled(true);
    }
    m_disabled.clear();
}
