#include "widgets/stoppable_dialog.h"

#include "base/termination_request.h"

#include <QDialog>

int ExecUntilTerminated(QDialog& dialog) {
    TerminationRequest& termination = TerminationRequest::instance();
    termination.Install();
    if (termination.Requested())
        return QDialog::Rejected;
    const QMetaObject::Connection stop =
        QObject::connect(&termination, &TerminationRequest::Received, &dialog, &QDialog::reject);
    const int result = dialog.exec();
    QObject::disconnect(stop);
    return termination.Requested() ? int(QDialog::Rejected) : result;
}
