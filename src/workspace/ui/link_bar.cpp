#include "workspace/ui/link_bar.h"

#include "workspace/record_texts.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {

QToolButton* LinkButton(const QString& caption, const QString& hint, const char* name) {
    auto* button = new QToolButton;
    button->setObjectName(QLatin1String(name));
    button->setText(caption);
    button->setToolTip(hint);
    button->setMinimumSize(88, 40);
    return button;
}

} // namespace

LinkBar::LinkBar(bool hasLink, bool hasCallback, QWidget* parent)
    : QWidget(parent), m_hasCallback(hasLink && hasCallback),
      imgConectar(LinkButton(QStringLiteral("Conectar"), kHintConectar, "imgConectar")),
      imgCallBack(LinkButton(QStringLiteral("Callback"), kHintCallBack, "imgCallBack")),
      imgDesconectar(LinkButton(QStringLiteral("Desconectar"), kHintDesconectar, "imgDesconectar")),
      lblVersao(new QLabel), lblOnOffLine(new QLabel(QStringLiteral("Off Line"))) {
    setObjectName(QStringLiteral("LinkBar"));
    lblVersao->setObjectName(QStringLiteral("lblVersao"));
    lblOnOffLine->setObjectName(QStringLiteral("lblOnOffLine"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    for (QWidget* w : {static_cast<QWidget*>(imgConectar), static_cast<QWidget*>(imgCallBack),
                       static_cast<QWidget*>(imgDesconectar), static_cast<QWidget*>(lblVersao),
                       static_cast<QWidget*>(lblOnOffLine)})
        layout->addWidget(w);
    connect(imgConectar, &QToolButton::clicked, this, [this] { Q_EMIT ConnectRequested(false); });
    connect(imgCallBack, &QToolButton::clicked, this, [this] { Q_EMIT ConnectRequested(true); });
    connect(imgDesconectar, &QToolButton::clicked, this, &LinkBar::DisconnectRequested);
    // Without a link there is nothing to connect to; without the callback wait no callback.
    imgConectar->setVisible(hasLink);
    imgCallBack->setVisible(m_hasCallback);
    imgDesconectar->hide();
    lblVersao->hide();
    lblOnOffLine->setVisible(hasLink);
}

void LinkBar::SetConnected(bool connected) {
    imgConectar->setVisible(!connected);
    imgCallBack->setVisible(!connected && m_hasCallback);
    imgDesconectar->setVisible(connected);
}

void LinkBar::SetVersion(const QString& text) {
    lblVersao->setText(text);
    lblVersao->show();
}

void LinkBar::SetOnLine(bool online) {
    lblOnOffLine->setText(online ? QStringLiteral("On Line") : QStringLiteral("Off Line"));
}

bool LinkBar::HandleKey(int key) {
    // isVisibleTo: the screen may not be shown yet when a test or a shortcut presses the key.
    auto shown = [this](QWidget* w) { return !w->isHidden() && w->isVisibleTo(this); };
    switch (key) {
    case Qt::Key_F5:
        if (shown(imgConectar))
            Q_EMIT ConnectRequested(false);
        return true;
    case Qt::Key_F6:
        if (shown(imgCallBack))
            Q_EMIT ConnectRequested(true);
        return true;
    case Qt::Key_F7:
        if (shown(imgDesconectar))
            Q_EMIT DisconnectRequested();
        return true;
    default:
        return false;
    }
}
