#include "link_control/ui/frm_status.h"
#include "widgets/help.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>

#include <algorithm>

TfrmStatus::TfrmStatus(const QString& title, QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("frmStatus"));
    SetHelpTopic(this, 8);
    setWindowTitle(title);
    setWindowFlag(Qt::WindowStaysOnTopHint, true);
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    // Modal while it is up: every other window waits for the operation, and the window is in
    // front of the modal customer screen, so "Cancelar" and the close box reach it.
    setWindowModality(Qt::ApplicationModal);

    JvLabel1 = new QLabel(this);
    JvLabel1->setObjectName(QStringLiteral("JvLabel1"));
    JvLabel1->setAlignment(Qt::AlignCenter);
    JvLabel1->setWordWrap(true);

    Gauge1 = new QProgressBar(this);
    Gauge1->setObjectName(QStringLiteral("Gauge1"));
    Gauge1->setValue(0);

    JvWaitingGradient1 = new QProgressBar(this);
    JvWaitingGradient1->setObjectName(QStringLiteral("JvWaitingGradient1"));
    JvWaitingGradient1->setRange(0, 0); // a range of 0..0 makes the bar move by itself
    JvWaitingGradient1->setTextVisible(false);
    JvWaitingGradient1->hide();

    lblEficiencia = new QLabel(QStringLiteral("Eficiência:"), this);
    lblQuality = new QLabel(QStringLiteral("100,00%"), this);
    lblQuality->setObjectName(QStringLiteral("lblQuality"));
    lblErrosTitulo = new QLabel(QStringLiteral("Erros:"), this);
    lblErros = new QLabel(this);
    lblErros->setObjectName(QStringLiteral("lblErros"));
    for (QLabel* hidden : {lblEficiencia, lblQuality, lblErrosTitulo, lblErros})
        hidden->hide();

    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    connect(btnCancelar, &QPushButton::clicked, this, [this] {
        if (OnCancel)
            OnCancel();
    });

    auto* layout = new QGridLayout(this);
    layout->addWidget(JvLabel1, 0, 0, 1, 4);
    layout->addWidget(Gauge1, 1, 0, 1, 4);
    layout->addWidget(JvWaitingGradient1, 2, 0, 1, 4);
    layout->addWidget(lblEficiencia, 3, 0);
    layout->addWidget(lblQuality, 3, 1);
    layout->addWidget(lblErrosTitulo, 3, 2);
    layout->addWidget(lblErros, 3, 3);
    layout->addWidget(btnCancelar, 4, 0, 1, 4, Qt::AlignHCenter);
    setFixedWidth(380);
    resize(380, 150);
}

void TfrmStatus::ShowStatus(const QString& text, bool showGauge, int gaugeMin, int gaugeMax) {
    m_programClosing = false;
    JvLabel1->setText(text);
    Gauge1->setRange(gaugeMin, std::max(gaugeMin, gaugeMax));
    Gauge1->setValue(gaugeMin);
    Gauge1->setVisible(showGauge);
    JvWaitingGradient1->setVisible(!showGauge);
    show();
    raise();
}

void TfrmStatus::SetGauge(int value) {
    Gauge1->setValue(std::clamp(value, Gauge1->minimum(), Gauge1->maximum()));
}

void TfrmStatus::SetEfficiency(bool visible, const QString& figure) {
    if (!figure.isEmpty())
        lblQuality->setText(figure);
    lblEficiencia->setVisible(visible);
    lblQuality->setVisible(visible);
}

void TfrmStatus::SetErrors(bool visible, const QString& count) {
    lblErros->setText(count);
    lblErrosTitulo->setVisible(visible);
    lblErros->setVisible(visible);
}

void TfrmStatus::SetStayOnTop(bool onTop) {
    // Changing window flags hides the window: show it again, and do not take that for a close.
    const bool visible = isVisible();
    m_changingFlags = true;
    setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
    if (visible)
        show();
    m_changingFlags = false;
}

void TfrmStatus::CloseByProgram() {
    if (!isVisible())
        return;
    m_programClosing = true;
    close();
}

void TfrmStatus::closeEvent(QCloseEvent* event) {
    if (m_programClosing) {
        event->accept();
        return;
    }
    event->ignore();
    if (OnCancel)
        OnCancel();
}

void TfrmStatus::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    if (event->spontaneous() || m_changingFlags)
        return;
    m_programClosing = true;
    lblQuality->setText(QStringLiteral("100,00%"));
    if (OnHidden)
        OnHidden();
}
