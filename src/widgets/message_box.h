#pragma once

#include "base/operator_messages.h"

// The desktop's messenger: message boxes captioned with the application's title, the system's "\r"
// line breaks shown as new lines, over the window that asks. The desktop
// program installs it at start.
class DesktopMessenger : public OperatorMessenger {
public:
    OperatorAnswer Show(QObject* context, const OperatorMessage& message) override;
};
