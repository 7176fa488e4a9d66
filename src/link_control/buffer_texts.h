#pragma once

#include <QString>

struct BufferCallReport;

// The texts of waiting for panels that call in with their log.
namespace BufferTexts {

// "Recebendo buffer de eventos do usuário  " + the customer's name.
QString ReceivingBufferOf(const QString& name);
// Listening was asked for with no customer outside the recycle bin.
QString NoCustomers();
// The handler's text when the modem configuration ended by an unexpected error.
QString ConfigErrorText();
// The first step of the connection window while a call is answered.
QString StepAnsweringCall();
// One line for a call: who called and what was stored, or why nothing was.
QString CallSummary(const BufferCallReport& report);

} // namespace BufferTexts
