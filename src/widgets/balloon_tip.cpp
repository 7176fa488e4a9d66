#include "widgets/balloon_tip.h"

#include "base/app_title.h"

#include <QAbstractSpinBox>
#include <QApplication>
#include <QComboBox>
#include <QEvent>
#include <QLineEdit>
#include <QPainter>
#include <QPainterPath>
#include <QPlainTextEdit>
#include <QScreen>
#include <QTextEdit>

namespace {

QPointer<BalloonTip> g_tip;

constexpr int kPad = 10;
constexpr int kMaxTextWidth = 320;

void SelectText(QWidget* field) {
    if (auto* edit = qobject_cast<QLineEdit*>(field))
        edit->selectAll();
    else if (auto* spin = qobject_cast<QAbstractSpinBox*>(field))
        spin->selectAll();
    else if (auto* combo = qobject_cast<QComboBox*>(field); combo && combo->lineEdit())
        combo->lineEdit()->selectAll();
    else if (auto* text = qobject_cast<QTextEdit*>(field))
        text->selectAll();
    else if (auto* plain = qobject_cast<QPlainTextEdit*>(field))
        plain->selectAll();
}

} // namespace

BalloonTip::BalloonTip() : QWidget(nullptr, Qt::ToolTip | Qt::FramelessWindowHint) {
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setObjectName(QStringLiteral("BalloonTip"));
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, &QWidget::hide);
    qApp->installEventFilter(this);
}

BalloonTip* BalloonTip::Instance() {
    if (!g_tip)
        g_tip = new BalloonTip;
    return g_tip;
}

bool BalloonTip::IsShown() {
    return g_tip && g_tip->isVisible();
}

QString BalloonTip::CurrentMessage() {
    return IsShown() ? g_tip->m_text : QString();
}

QString BalloonTip::CurrentHeader() {
    return IsShown() ? g_tip->m_header : QString();
}

QWidget* BalloonTip::CurrentAnchor() {
    return IsShown() ? g_tip->m_anchor.data() : nullptr;
}

void BalloonTip::HideCurrent() {
    if (g_tip) {
        g_tip->m_timer.stop();
        g_tip->hide();
    }
}

void BalloonTip::ShowFieldError(QWidget* field, const QString& message, int ms) {
    if (field) {
        field->setFocus(Qt::OtherFocusReason);
        SelectText(field);
    }
    QApplication::beep();
    ShowAt(field, ApplicationTitle(), message, ms);
}

void BalloonTip::ShowAt(QWidget* anchor, const QString& header, const QString& message, int ms) {
    Instance()->Present(anchor, header, message, ms);
}

void BalloonTip::Present(QWidget* field, const QString& header, const QString& text, int ms) {
    hide();
    m_anchor = field;
    m_text = text;
    m_header = header;

    QFont bold = font();
    bold.setBold(true);
    const QFontMetrics fmBold(bold);
    const QFontMetrics fm(font());
    const QRect textRect = fm.boundingRect(QRect(0, 0, kMaxTextWidth, 1000), Qt::TextWordWrap, ShownText());
    const int width = std::max(textRect.width(), fmBold.horizontalAdvance(m_header)) + 2 * kPad;
    const int height = fmBold.height() + 4 + textRect.height() + 2 * kPad + kTail;

    // Below the field with the tail up; above it when the screen has no room below.
    QPoint anchorPoint = field ? field->mapToGlobal(QPoint(std::min(24, field->width() / 2), field->height()))
                               : QPoint(100, 100);
    const QScreen* screen = field ? field->screen() : QGuiApplication::primaryScreen();
    const QRect avail = screen ? screen->availableGeometry() : QRect(0, 0, 1920, 1080);
    m_tailUp = anchorPoint.y() + height <= avail.bottom() || !field;
    if (!m_tailUp && field)
        anchorPoint = field->mapToGlobal(QPoint(std::min(24, field->width() / 2), 0));
    const int x =
        std::clamp(anchorPoint.x() - 20, avail.left(), std::max(avail.left(), avail.right() - width));
    const int y = m_tailUp ? anchorPoint.y() : anchorPoint.y() - height;
    setGeometry(x, y, width, height);
    setMask(QRegion(Shape().toFillPolygon().toPolygon()));
    show();
    raise();
    m_timer.start(ms);
}

QString BalloonTip::ShownText() const {
    return QString(m_text)
        .replace(QLatin1String("\r\n"), QLatin1String("\n"))
        .replace(QLatin1Char('\r'), QLatin1Char('\n'));
}

QPainterPath BalloonTip::Shape() const {
    const QRectF body = m_tailUp ? QRectF(0, kTail, width() - 1, height() - kTail - 1)
                                 : QRectF(0, 0, width() - 1, height() - kTail - 1);
    QPainterPath path;
    path.addRoundedRect(body, 8, 8);
    QPolygonF tail;
    const qreal tx = 20;
    if (m_tailUp)
        tail << QPointF(tx, kTail + 1) << QPointF(tx, 0) << QPointF(tx + kTail, kTail + 1);
    else
        tail << QPointF(tx, body.bottom() - 1) << QPointF(tx, height())
             << QPointF(tx + kTail, body.bottom() - 1);
    QPainterPath tailPath;
    tailPath.addPolygon(tail);
    return path.united(tailPath);
}

void BalloonTip::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    p.setPen(QPen(QColor(118, 118, 118), 1));
    p.setBrush(QColor(255, 255, 225));
    p.drawPath(Shape());
    const int top = (m_tailUp ? kTail : 0) + kPad;
    QFont bold = font();
    bold.setBold(true);
    p.setPen(Qt::black);
    p.setFont(bold);
    const QFontMetrics fmBold(bold);
    p.drawText(QRect(kPad, top, width() - 2 * kPad, fmBold.height()), Qt::AlignLeft | Qt::AlignVCenter,
               m_header);
    p.setFont(font());
    p.drawText(QRect(kPad, top + fmBold.height() + 4, width() - 2 * kPad, height()), Qt::TextWordWrap,
               ShownText());
}

bool BalloonTip::eventFilter(QObject* watched, QEvent* event) {
    if (isVisible()) {
        switch (event->type()) {
        case QEvent::KeyPress:
            // Only where the key is first delivered (the focus widget): the same key travelling on
            // to the parents after a handler showed the balloon must not hide it at once.
            if (watched == QApplication::focusWidget() || !QApplication::focusWidget())
                hide();
            break;
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick:
        case QEvent::NonClientAreaMouseButtonPress:
            hide();
            break;
        default:
            break;
        }
    }
    return QWidget::eventFilter(watched, event);
}
