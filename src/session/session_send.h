#pragma once

#include <QByteArray>
#include <QString>

class ReceiveDispatcher;

// The main window's send operation as the session worker uses it: clear the port's output queue,
// purge its output, write the text and clear OkReceived, without the operation's closing 100 ms
// pause, which the worker takes on its own thread (OnLineHost::SendFrame). Runs on the thread
// that owns the port. Returns false, with the port's error text in *error, when nothing could be
// written.
bool SendFrameWithoutPause(ReceiveDispatcher& dispatcher, const QByteArray& text, QString* error = nullptr);
