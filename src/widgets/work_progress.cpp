#include "widgets/work_progress.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEventLoop>
#include <QLabel>
#include <QProgressBar>
#include <QThread>
#include <QVBoxLayout>

#include <atomic>

namespace {

// The progress window: a caption and a bar; Escape and the close button do nothing.
class ProgressWindow : public QDialog {
public:
    ProgressWindow(QWidget* parent, const QString& caption) : QDialog(parent) {
        setObjectName(QStringLiteral("frmProgresso"));
        setWindowFlags(windowFlags() & ~Qt::WindowCloseButtonHint & ~Qt::WindowContextHelpButtonHint);
        setWindowTitle(parent ? parent->window()->windowTitle() : QString());
        auto* label = new QLabel(caption, this);
        label->setObjectName(QStringLiteral("lblProgresso"));
        bar = new QProgressBar(this);
        bar->setObjectName(QStringLiteral("pbProgresso"));
        bar->setRange(0, kStep);
        bar->setTextVisible(false);
        auto* layout = new QVBoxLayout(this);
        layout->addWidget(label);
        layout->addWidget(bar);
        setMinimumWidth(380);
    }
    // One more line of output: the bar moves on, and stretches when it reaches its end (how many
    // lines a backup writes is not known beforehand).
    void Advance() {
        if (bar->value() + 1 >= bar->maximum())
            bar->setMaximum(bar->maximum() + kStep);
        bar->setValue(bar->value() + 1);
    }
    void Finish() { bar->setValue(bar->maximum()); }
    void reject() override {}

    static constexpr int kStep = 200;
    QProgressBar* bar;
};

} // namespace

bool RunWithProgress(QWidget* parent, const QString& caption, const ProgressWork& work) {
    ProgressWindow window(parent, caption);
    window.setModal(true);
    window.show();
    ProgressWindow* shown = &window; // outlives the thread: it is waited for below
    std::atomic<bool> result{false};
    QEventLoop loop;
    QThread* thread = QThread::create([&] {
        try {
            result = work([shown](const QString&) {
                QMetaObject::invokeMethod(
                    shown, [shown] { shown->Advance(); }, Qt::QueuedConnection);
            });
        } catch (...) {
            result = false;
        }
    });
    QObject::connect(thread, &QThread::finished, &loop, &QEventLoop::quit);
    thread->start();
    loop.exec(QEventLoop::ExcludeUserInputEvents);
    thread->wait();
    delete thread;
    // The lines still queued reach the window before it goes.
    QCoreApplication::sendPostedEvents(&window);
    window.Finish();
    window.hide();
    return result;
}
