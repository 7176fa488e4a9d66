#include "workspace/ui/frm_about.h"

#include "base/app_title.h"

#include <QFrame>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QVBoxLayout>

TfrmAbout::TfrmAbout(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("frmAbout"));
    setWindowTitle(ApplicationTitle());
    setAutoFillBackground(true);
    QPalette white = palette();
    white.setColor(QPalette::Window, Qt::white);
    setPalette(white);

    auto* frame = new QFrame(this);
    frame->setFrameShape(QFrame::Box);
    lblProduto = new QLabel(QStringLiteral("Telvora"), frame);
    lblProduto->setObjectName(QStringLiteral("lblProduto"));
    QFont big = lblProduto->font();
    big.setPointSize(big.pointSize() * 2);
    big.setBold(true);
    lblProduto->setFont(big);
    // The version this build carries; nothing when it has none.
    const QString version = BuildVersion();
    lblVersao = new QLabel(version.isEmpty() ? QString() : QStringLiteral("Versão ") + version, frame);
    lblVersao->setObjectName(QStringLiteral("lblVersao"));
    auto* maker = new QLabel(QStringLiteral("Cadastro de clientes e comunicação com painéis de alarme\n"
                                            "pela linha telefônica.\n\n"
                                            "Telvora Sistemas\n"
                                            "Suporte técnico: suporte@telvora.com.br"),
                             frame);
    maker->setObjectName(QStringLiteral("lblFabricante"));
    maker->setTextInteractionFlags(Qt::TextSelectableByMouse);
    btnFechar = new QPushButton(QStringLiteral("Fechar"), frame);
    btnFechar->setObjectName(QStringLiteral("btnFechar"));
    btnFechar->setDefault(true);
    connect(btnFechar, &QPushButton::clicked, this, &QDialog::accept);

    auto* inner = new QVBoxLayout(frame);
    inner->setContentsMargins(24, 18, 24, 18);
    inner->addWidget(lblProduto, 0, Qt::AlignHCenter);
    inner->addWidget(lblVersao, 0, Qt::AlignHCenter);
    inner->addSpacing(12);
    inner->addWidget(maker);
    inner->addSpacing(12);
    inner->addWidget(btnFechar, 0, Qt::AlignHCenter);
    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->addWidget(frame);
}

void TfrmAbout::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (QWidget* owner = parentWidget()) {
        const QRect area = owner->window()->frameGeometry();
        move(area.center() - rect().center());
    }
}

void TfrmAbout::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) {
        m_dragging = true;
        m_grab = event->globalPosition().toPoint() - frameGeometry().topLeft();
        event->accept();
        return;
    }
    QDialog::mousePressEvent(event);
}

void TfrmAbout::mouseMoveEvent(QMouseEvent* event) {
    if (m_dragging && (event->buttons() & Qt::LeftButton)) {
        move(event->globalPosition().toPoint() - m_grab);
        event->accept();
        return;
    }
    QDialog::mouseMoveEvent(event);
}

void TfrmAbout::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton)
        m_dragging = false;
    QDialog::mouseReleaseEvent(event);
}
