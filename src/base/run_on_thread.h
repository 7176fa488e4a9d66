#pragma once

#include <QObject>

#include <functional>

// Runs `work` on the thread `context` lives on and waits for it: directly when the caller is
// already there, otherwise as a blocking queued call. An exception thrown by `work` reaches the
// caller on its own thread, so a worker sees a failed send as if it had made the call itself.
// The context's thread must be running an event loop and must not itself be waiting on the caller.
void RunBlockingOn(QObject* context, const std::function<void()>& work);
