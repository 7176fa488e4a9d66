#pragma once

class QWidget;

// Where the link's windows open: centred on the window they belong to (the screen's centre when
// there is none), and always whole on that screen.
namespace WindowPlacement {

// The window a link window belongs to when it opens: the modal window in front (the customer
// screen while it runs modally), else the active window, else `fallback`. Never `self`.
QWidget* OwnerOf(const QWidget* self, QWidget* fallback);

// Moves `window` (already sized) so that it is centred on `owner` and lies within the available
// area of the owner's screen.
void CentreOn(QWidget* window, const QWidget* owner);

} // namespace WindowPlacement
