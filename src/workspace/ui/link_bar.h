#pragma once

#include <QWidget>

class QLabel;
class QToolButton;

// The customer screen's link controls on its top bar: connect (`imgConectar`, F5), connect with
// callback (`imgCallBack`, F6, only where the callback wait exists), disconnect (`imgDesconectar`,
// F7, shown while connected), the panel's version (`lblVersao`) and "On Line" / "Off Line"
// (`lblOnOffLine`). Pressing a control or its key raises the matching signal; the screen decides.
class LinkBar : public QWidget {
    Q_OBJECT
public:
    // `hasLink`: there is a link to connect to; `hasCallback`: the callback wait exists.
    LinkBar(bool hasLink, bool hasCallback, QWidget* parent = nullptr);

    void SetConnected(bool connected);
    void SetVersion(const QString& text);
    void SetOnLine(bool online);
    // F5, F6 and F7 act when their control is shown; true when the key is one of them.
    bool HandleKey(int key);

Q_SIGNALS:
    void ConnectRequested(bool withCallback);
    void DisconnectRequested();

private:
    bool m_hasCallback;
    QToolButton* imgConectar;
    QToolButton* imgCallBack;
    QToolButton* imgDesconectar;
    QLabel* lblVersao;
    QLabel* lblOnOffLine;
};
