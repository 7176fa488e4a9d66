#include "base/run_on_thread.h"

#include <QMetaObject>
#include <QThread>

#include <exception>

void RunBlockingOn(QObject* context, const std::function<void()>& work) {
    if (QThread::currentThread() == context->thread()) {
        work();
        return;
    }
    std::exception_ptr error;
    QMetaObject::invokeMethod(
        context,
        [&] {
            try {
                work();
            } catch (...) {
                error = std::current_exception();
            }
        },
        Qt::BlockingQueuedConnection);
    if (error)
        std::rethrow_exception(error);
}
