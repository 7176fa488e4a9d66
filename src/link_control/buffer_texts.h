#pragma once

#include <QString>
#include <QStringList>

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
// Who called: "Cliente 12 (Loja Centro)", or "Painel 4321" when no customer has the panel code.
QString Caller(const BufferCallReport& report);
// How the call ended, for the call log's "Resultado": the warning of its end in one line when it
// had one, otherwise a short text of the outcome.
QString CallResult(const BufferCallReport& report);
// The call log's column titles: time, customer, result, events stored, events stored before.
QStringList CallLogTitles();

} // namespace BufferTexts
