#pragma once

#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QTimer;

// The balloon tip every window uses to point at a wrong field: a small framed window under the
// field with a bold header (the application title) and the message, gone after 5 s or at the next
// key press in the window. One balloon exists at a time; showing another replaces it.
class BalloonTip : public QWidget {
    Q_OBJECT
public:
    static constexpr int kShowMs = 5000;

    // The field-level complaint: focuses `field`, beeps, selects its text (line edits) and shows
    // `message` in a balloon anchored on it for `ms` milliseconds.
    static void ShowFieldError(QWidget* field, const QString& message, int ms = kShowMs);
    // Only the balloon, anchored on `anchor`.
    static void ShowAt(QWidget* anchor, const QString& header, const QString& message, int ms = kShowMs);
    static void HideCurrent();

    // The balloon on screen, for the windows' key handling and for tests.
    static bool IsShown();
    static QString CurrentMessage();
    static QWidget* CurrentAnchor();

private:
    BalloonTip();
    void Present(QWidget* anchor, const QString& header, const QString& message, int ms);
    static BalloonTip* Instance();

    QLabel* m_header;
    QLabel* m_message;
    QTimer* m_timer;
    QPointer<QWidget> m_anchor;
};
