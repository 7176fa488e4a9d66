#pragma once

#include <QString>

class QWidget;

// Help: HTML topics by number. The pages ship inside the program; a company may put its own
// "Help/<number>.html" in the application folder, which then takes their place. They are shown in
// the program's own help window (no browser needed). A window names its topic with SetHelpTopic;
// F1 opens the topic of the active window (the message hook routes it here).
void SetHelpTopic(QWidget* window, int topic);
int HelpTopicOf(const QWidget* widget); // the topic of the widget or its nearest parent; 0 none
// The page shown for the topic: the application folder's file, else the shipped page, else the
// application folder's path (which does not exist, for the message).
QString HelpTopicFile(int topic);
// Opens the topic; a missing file is reported with the system's message. Answers whether it opened.
bool ShowHelpTopic(QWidget* parent, int topic);
