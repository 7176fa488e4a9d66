#pragma once

#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

// The balloon tip every window uses to point at a wrong field: a rounded bubble with a bold header
// (the application title) and the message, its tail pointing at the field. One balloon exists at a
// time; showing another replaces it. It hides after 5 s, at the next key press and at any
// mouse-button press anywhere in the application.
class BalloonTip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMs = 5000;

    // The field-level complaint: focuses `field`, beeps, selects its text and shows `message` in a
    // balloon anchored on it for `ms` milliseconds. Line breaks may be written "\r".
    static void ShowFieldError(QWidget* field, const QString& message, int ms = kShowMs);
    // Only the balloon, anchored on `anchor`.
    static void ShowAt(QWidget* anchor, const QString& header, const QString& message, int ms = kShowMs);
    static void HideCurrent();

    // The balloon on screen, for the windows' key handling and for tests. The message is the text
    // as given, "\r" line breaks included.
    static bool IsShown();
    static QString CurrentMessage();
    static QString CurrentHeader();
    static QWidget* CurrentAnchor();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    BalloonTip();
    static BalloonTip* Instance();
    void Present(QWidget* anchor, const QString& header, const QString& message, int ms);
    QPainterPath Shape() const;
    QString ShownText() const;

    QString m_text;
    QString m_header;
    QPointer<QWidget> m_anchor;
    QTimer m_timer;
    bool m_tailUp = true;
    static constexpr int kTail = 12;
};
