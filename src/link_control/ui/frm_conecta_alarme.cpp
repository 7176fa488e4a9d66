#include "link_control/ui/frm_conecta_alarme.h"

#include "link_control/ui/window_placement.h"
#include "widgets/help.h"

#include <QCloseEvent>
#include <QFontMetrics>
#include <QListWidget>
#include <QProgressBar>
#include <QPushButton>
#include <QStyle>
#include <QTextEdit>
#include <QVBoxLayout>

#include <algorithm>

namespace {
constexpr int StateRole = Qt::UserRole + 1;
}

TfrmConectaAlarme::TfrmConectaAlarme(const QString& title, QWidget* parent) : QDialog(parent) {
    setWindowTitle(title);
    setObjectName(QStringLiteral("frmConectaAlarme"));
    SetHelpTopic(this, 8);
    // The window takes the size of its contents: nothing to maximise.
    setWindowFlag(Qt::WindowMaximizeButtonHint, false);
    setWindowFlag(Qt::WindowContextHelpButtonHint, false);

    JvInstallLabel1 = new QListWidget(this);
    JvInstallLabel1->setObjectName(QStringLiteral("JvInstallLabel1"));
    JvInstallLabel1->setSelectionMode(QAbstractItemView::NoSelection);
    JvInstallLabel1->setFocusPolicy(Qt::NoFocus);

    JvSpecialProgress1 = new QProgressBar(this);
    JvSpecialProgress1->setObjectName(QStringLiteral("JvSpecialProgress1"));
    JvSpecialProgress1->setTextVisible(false);
    JvSpecialProgress1->hide();

    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setEnabled(false);
    RichEdit1->setFixedHeight(60);
    // Shown only when it has something to say.
    RichEdit1->hide();

    Button2 = new QPushButton(QStringLiteral("Pressione aqui no segundo ring"), this);
    Button2->setObjectName(QStringLiteral("Button2"));
    Button2->hide();
    connect(Button2, &QPushButton::clicked, this, [this] {
        if (OnSecondRing)
            OnSecondRing();
    });

    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    connect(btnCancelar, &QPushButton::clicked, this, &QWidget::close);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(JvInstallLabel1);
    layout->addWidget(JvSpecialProgress1);
    layout->addWidget(RichEdit1);
    layout->addWidget(Button2);
    layout->addWidget(btnCancelar, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    fitListToSteps();
}

void TfrmConectaAlarme::fitListToSteps() {
    // Every line whole, as wide as it is when current (bold, with its mark), and every line in
    // view: no scroll bar ever hides a step.
    QFont bold = JvInstallLabel1->font();
    bold.setBold(true);
    const QFontMetrics metrics(bold);
    const int mark =
        JvInstallLabel1->iconSize().width() + 3 * style()->pixelMetric(QStyle::PM_FocusFrameHMargin);
    int width = MinimumListWidth;
    int height = 0;
    for (int i = 0; i < JvInstallLabel1->count(); ++i) {
        const QListWidgetItem* item = JvInstallLabel1->item(i);
        const QSize hint = JvInstallLabel1->sizeHintForIndex(JvInstallLabel1->model()->index(i, 0));
        width = std::max({width, hint.width(), metrics.horizontalAdvance(item->text()) + mark + 12});
        height += hint.height() + 2 * JvInstallLabel1->spacing();
    }
    m_listWidth = std::max(m_listWidth, width);
    const int frame = 2 * JvInstallLabel1->frameWidth();
    JvInstallLabel1->setFixedSize(m_listWidth + frame, std::max(height, MinimumListHeight) + frame + 4);
}

void TfrmConectaAlarme::ShowProgress() {
    m_programClosing = false;
    setWindowModality(Qt::ApplicationModal);
    fitListToSteps();
    adjustSize();
    WindowPlacement::CentreOn(this, WindowPlacement::OwnerOf(this, parentWidget()));
    show();
    raise();
    activateWindow();
}

void TfrmConectaAlarme::CloseByProgram() {
    if (!isVisible())
        return;
    m_programClosing = true;
    close();
    m_programClosing = false;
}

void TfrmConectaAlarme::SetSteps(const QList<ProgressStep>& steps) {
    const QIcon done = style()->standardIcon(QStyle::SP_DialogApplyButton);
    const QIcon current = style()->standardIcon(QStyle::SP_ArrowRight);
    JvInstallLabel1->clear();
    for (const ProgressStep& step : steps) {
        auto* item = new QListWidgetItem(step.text, JvInstallLabel1);
        item->setData(StateRole, int(step.state));
        QFont font = item->font();
        font.setBold(step.state == StepState::Current);
        item->setFont(font);
        if (step.state == StepState::Done)
            item->setIcon(done);
        else if (step.state == StepState::Current)
            item->setIcon(current);
        else
            item->setForeground(palette().color(QPalette::Disabled, QPalette::Text));
    }
    fitListToSteps();
}

StepState TfrmConectaAlarme::ShownState(int index) const {
    const QListWidgetItem* item = JvInstallLabel1->item(index);
    return item ? StepState(item->data(StateRole).toInt()) : StepState::Pending;
}

void TfrmConectaAlarme::SetCancelEnabled(bool enabled) {
    btnCancelar->setEnabled(enabled);
}

void TfrmConectaAlarme::SetBar(bool visible, int minimum, int maximum, int value) {
    JvSpecialProgress1->setRange(minimum, maximum);
    JvSpecialProgress1->setValue(std::clamp(value, minimum, maximum));
    JvSpecialProgress1->setVisible(visible);
}

void TfrmConectaAlarme::SetSecondRingButton(bool visible) {
    Button2->setVisible(visible);
}

void TfrmConectaAlarme::SetText(const QString& text) {
    RichEdit1->setPlainText(text);
    RichEdit1->setVisible(!text.isEmpty());
}

void TfrmConectaAlarme::closeEvent(QCloseEvent* event) {
    if (m_programClosing) {
        event->accept();
        return;
    }
    // While nothing can be cancelled (the connected line is being shown) the operator cannot
    // close the window either.
    if (!btnCancelar->isEnabled()) {
        event->ignore();
        return;
    }
    if (OnCancel)
        OnCancel();
    event->accept();
}

void TfrmConectaAlarme::reject() {
    // Escape acts as the close box.
    close();
}
