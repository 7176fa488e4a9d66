#pragma once

class QDialog;

// Runs a modal dialog that an interrupt or a termination request (TerminationRequest) closes as if
// the operator had cancelled it, so that the program can end at once instead of waiting for
// someone to answer a window a system shutdown is waiting on. The handlers are put back first,
// because the database client library takes the signals over when it starts. Returns exec()'s
// result, QDialog::Rejected when the request closed the dialog or had already arrived.
int ExecUntilTerminated(QDialog& dialog);
