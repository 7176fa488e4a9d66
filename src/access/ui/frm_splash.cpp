#include "access/ui/frm_splash.h"

#include "access/login.h"
#include "access/ui/frm_primeira_senha.h"
#include "widgets/balloon_tip.h"
#include "widgets/help.h"
#include "base/operator_messages.h"
#include "store/data_module.h"
#include "store/store_messages.h"

#include <QGridLayout>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace {
constexpr int kRadius = 18;
constexpr int kBannerHeight = 96;
} // namespace

TfrmSplash::TfrmSplash(TdmBancoDeDados& dm, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint), m_dm(dm) {
    setObjectName(QStringLiteral("frmSplash"));
    setWindowTitle(QGuiApplication::applicationDisplayName());
    SetHelpTopic(this, 28);
    setFixedSize(500, 280);

    edtUsuario = new QLineEdit(this);
    edtUsuario->setObjectName(QStringLiteral("edtUsuario"));
    edtUsuario->setMaxLength(30);
    edtSenha = new QLineEdit(this);
    edtSenha->setObjectName(QStringLiteral("edtSenha"));
    edtSenha->setMaxLength(8);
    edtSenha->setEchoMode(QLineEdit::Password);
    edtSenha->setStyleSheet(QStringLiteral("lineedit-password-character: 42"));
    btnEntrar = new QPushButton(QStringLiteral("Entrar"), this);
    btnEntrar->setObjectName(QStringLiteral("btnEntrar"));
    btnEntrar->setDefault(true);
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));
    btnEsqueciSenha = new QPushButton(QStringLiteral("Esqueci a senha"), this);
    btnEsqueciSenha->setObjectName(QStringLiteral("btnEsqueciSenha"));
    btnEsqueciSenha->setAutoDefault(false);
    btnCancelar->setAutoDefault(false);

    auto* form = new QGridLayout;
    form->addWidget(new QLabel(QStringLiteral("Usuário:"), this), 0, 0);
    form->addWidget(edtUsuario, 0, 1);
    form->addWidget(new QLabel(QStringLiteral("Senha:"), this), 1, 0);
    form->addWidget(edtSenha, 1, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnEsqueciSenha);
    buttons->addStretch();
    buttons->addWidget(btnEntrar);
    buttons->addWidget(btnCancelar);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(28, kBannerHeight + 16, 28, 22);
    layout->addLayout(form);
    layout->addStretch();
    layout->addLayout(buttons);

    connect(edtUsuario, &QLineEdit::textChanged, this, &TfrmSplash::UpdateButtons);
    connect(edtSenha, &QLineEdit::textChanged, this, &TfrmSplash::UpdateButtons);
    connect(btnEntrar, &QPushButton::clicked, this, &TfrmSplash::btnEntrarClick);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    connect(btnEsqueciSenha, &QPushButton::clicked, this, &TfrmSplash::btnEsqueciSenhaClick);
    UpdateButtons();
    edtUsuario->setFocus();
}

void TfrmSplash::UpdateButtons() {
    btnEntrar->setEnabled(!edtUsuario->text().isEmpty() && !edtSenha->text().isEmpty());
    btnEsqueciSenha->setEnabled(!edtUsuario->text().isEmpty());
}

void TfrmSplash::btnEntrarClick() {
    if (!btnEntrar->isEnabled())
        return;
    const LoginAttempt attempt = TryLogin(m_dm, edtUsuario->text(), edtSenha->text());
    switch (attempt.result) {
    case LoginAttempt::Result::UnknownUser:
        BalloonTip::ShowFieldError(edtUsuario, kMsgUsuarioIncorreto);
        return;
    case LoginAttempt::Result::WrongPassword:
        BalloonTip::ShowFieldError(edtSenha, kMsgSenhaIncorreta);
        return;
    case LoginAttempt::Result::Inactive:
        OperatorMessages::Tell(this, kMsgUsuarioInativo);
        return;
    case LoginAttempt::Result::DatabaseError:
        OperatorMessages::Tell(this, kMsgErroAcessarBanco + QStringLiteral("\r") + attempt.error,
                               MessageIcon::Critical);
        return;
    case LoginAttempt::Result::Ok:
        m_dm.Operator = attempt.op;
        accept();
        return;
    }
}

void TfrmSplash::btnEsqueciSenhaClick() {
    if (!btnEsqueciSenha->isEnabled())
        return;
    const StoredSecret secret = FindSecret(m_dm, edtUsuario->text());
    if (!secret.found) {
        BalloonTip::ShowFieldError(edtUsuario, kMsgUsuarioInexistente);
        return;
    }
    TfrmPrimeiraSenha page(m_dm, TfrmPrimeiraSenha::Page::ForgottenPassword, this);
    page.SetStoredSecret(secret);
    page.exec();
}

void TfrmSplash::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    edtUsuario->setFocus();
}

void TfrmSplash::resizeEvent(QResizeEvent* event) {
    QDialog::resizeEvent(event);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), kRadius, kRadius);
    setMask(QRegion(shape.toFillPolygon().toPolygon()));
}

void TfrmSplash::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    QLinearGradient body(0, 0, 0, height());
    body.setColorAt(0, QColor(244, 247, 252));
    body.setColorAt(1, QColor(218, 228, 242));
    p.fillRect(rect(), body);
    QLinearGradient banner(0, 0, width(), 0);
    banner.setColorAt(0, QColor(18, 52, 110));
    banner.setColorAt(1, QColor(40, 98, 180));
    p.fillRect(QRect(0, 0, width(), kBannerHeight), banner);
    // A shield with a keyhole: the mark of the login.
    QPainterPath shield;
    const QRectF s(28, 18, 48, 60);
    shield.moveTo(s.center().x(), s.top());
    shield.lineTo(s.right(), s.top() + 10);
    shield.cubicTo(s.right(), s.top() + 38, s.center().x() + 10, s.bottom() - 6, s.center().x(), s.bottom());
    shield.cubicTo(s.center().x() - 10, s.bottom() - 6, s.left(), s.top() + 38, s.left(), s.top() + 10);
    shield.closeSubpath();
    p.setPen(QPen(QColor(255, 255, 255), 2));
    p.setBrush(QColor(236, 168, 32));
    p.drawPath(shield);
    p.setBrush(QColor(18, 52, 110));
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(s.center().x(), s.top() + 24), 6, 6);
    p.drawRect(QRectF(s.center().x() - 3, s.top() + 26, 6, 16));
    QFont title = font();
    title.setPointSize(22);
    title.setBold(true);
    p.setFont(title);
    p.setPen(Qt::white);
    p.drawText(QRect(96, 14, width() - 110, 44), Qt::AlignLeft | Qt::AlignVCenter, QStringLiteral("Telvora"));
    QFont sub = font();
    sub.setPointSize(10);
    p.setFont(sub);
    p.drawText(QRect(98, 56, width() - 110, 24), Qt::AlignLeft | Qt::AlignVCenter,
               QStringLiteral("Programação e monitoramento de centrais de alarme"));
    p.setPen(QPen(QColor(18, 52, 110), 2));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(rect()).adjusted(1, 1, -1, -1), kRadius, kRadius);
}

// The window has no frame: it is dragged by its picture.
void TfrmSplash::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragOffset = event->globalPosition().toPoint() - frameGeometry().topLeft();
    QDialog::mousePressEvent(event);
}

void TfrmSplash::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() & Qt::LeftButton)
        move(event->globalPosition().toPoint() - m_dragOffset);
    QDialog::mouseMoveEvent(event);
}
