#pragma once

#include <QString>

class QWidget;

// Help: HTML topics by number under the application folder ("Help/<number>.html"), shown by the
// system's browser. A window names its topic with SetHelpTopic; F1 opens the topic of the active
// window (the message hook routes it here).
void SetHelpTopic(QWidget* window, int topic);
int HelpTopicOf(const QWidget* widget); // the topic of the widget or its nearest parent; 0 none
QString HelpTopicFile(int topic);
// Opens the topic; a missing file is reported with the system's message. Answers whether it opened.
bool ShowHelpTopic(QWidget* parent, int topic);
