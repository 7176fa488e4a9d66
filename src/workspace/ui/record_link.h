#pragma once

#include <QString>

class CustomerRecord;
class LinkController;
struct LoggedOperator;

// What the customer screen's link controls do, apart from the widgets (here beside the windows
// because it joins the link with the customer record). Each returns the message to
// show the operator, or an empty text when the action went ahead.

// Connect (F5) or connect with callback (F6): the customer must be saved and the operator needs the
// connect permission, and the callback permission for a callback; the link then takes the
// customer's stored version and starts the attempt.
QString ConnectRecord(LinkController& link, const CustomerRecord& record, const LoggedOperator& op,
                      bool withCallback);

// Disconnect (F7): asks a running session to hang up. Nothing when none runs.
void DisconnectRecord(LinkController& link);

// "Enviar para o Painel": asks the running session to write the panel and PC codes of the
// record's `ImagemPC` (parameters first, the request flag last).
QString SendRecordCodes(LinkController* link, CustomerRecord& record);
