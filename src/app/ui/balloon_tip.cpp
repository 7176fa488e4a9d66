#include "app/ui/balloon_tip.h"

#include "app/app_title.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QTimer>
#include <QVBoxLayout>

namespace {

QString ForScreen(QString text) {
    return text.replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QPointer<BalloonTip> g_balloon;

} // namespace

BalloonTip::BalloonTip() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    setObjectName(QStringLiteral("BalloonTip"));
    setAttribute(Qt::WA_ShowWithoutActivating);
    setStyleSheet(
        QStringLiteral("BalloonTip { background: #ffffe1; border: 1px solid #767676; border-radius: 6px; }"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(10, 6, 10, 8);
    m_header = new QLabel(this);
    QFont bold = m_header->font();
    bold.setBold(true);
    m_header->setFont(bold);
    m_message = new QLabel(this);
    layout->addWidget(m_header);
    layout->addWidget(m_message);
    m_timer = new QTimer(this);
    m_timer->setSingleShot(true);
    connect(m_timer, &QTimer::timeout, this, &QWidget::hide);
}

BalloonTip* BalloonTip::Instance() {
    if (!g_balloon)
        g_balloon = new BalloonTip;
    return g_balloon;
}

void BalloonTip::Present(QWidget* anchor, const QString& header, const QString& message, int ms) {
    m_anchor = anchor;
    m_header->setText(header);
    m_message->setText(ForScreen(message));
    adjustSize();
    if (anchor)
        move(anchor->mapToGlobal(QPoint(anchor->width() / 4, anchor->height())));
    show();
    raise();
    m_timer->start(ms);
}

void BalloonTip::ShowAt(QWidget* anchor, const QString& header, const QString& message, int ms) {
    Instance()->Present(anchor, header, message, ms);
}

void BalloonTip::ShowFieldError(QWidget* field, const QString& message, int ms) {
    if (field) {
        field->setFocus(Qt::OtherFocusReason);
        if (auto* edit = qobject_cast<QLineEdit*>(field))
            edit->selectAll();
        else if (auto* memo = qobject_cast<QPlainTextEdit*>(field))
            memo->selectAll();
    }
    QApplication::beep();
    ShowAt(field, ApplicationTitle(), message, ms);
}

void BalloonTip::HideCurrent() {
    if (g_balloon) {
        g_balloon->m_timer->stop();
        g_balloon->hide();
    }
}

bool BalloonTip::IsShown() {
    return g_balloon && g_balloon->isVisible();
}

QString BalloonTip::CurrentMessage() {
    return IsShown() ? g_balloon->m_message->text() : QString();
}

QWidget* BalloonTip::CurrentAnchor() {
    return IsShown() ? g_balloon->m_anchor.data() : nullptr;
}
