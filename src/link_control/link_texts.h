#pragma once

#include <QByteArray>
#include <QString>

// Every text the link shows the operator, in one place: warnings, errors, the steps of the
// connection progress window and the questions of the link supervisor. Line breaks inside a
// message are "\r", as the message boxes show them.
namespace LinkTexts {

// The warning of Mostra_Aviso for a code: 3, 4, 6, 7, 8 (modem results), 9 (wrong product),
// 10 (wrong panel code), 11 (wrong PC code). Any other code gives an empty text.
QString Aviso(int code);

// The error text of the end-message handlers.
QString ConnectionErrorText(); // a connection or callback worker ended by an unexpected error

// The no-response messages a worker shows on its way out after a supervision time-out.
inline constexpr char ModemNoResponse[] = "O Modem não responde";
inline constexpr char PanelNoResponse[] = "O Alarme não está respondendo";
// A set-up command the modem answered with ERROR when sent alone, and which the set-up left out:
// "O Modem recusou o comando "L0"." (the command as the settings hold it, without "AT").
QString ModemRefusedCommand(const QString& command);
// The modem answered the dial with "OK" or a result the program does not know, not with CONNECT
// nor one of its failures: the attempt ends.
inline constexpr char DialEndedWithoutCarrier[] = "O Modem encerrou a discagem sem conectar ao painel.";

// Serial port failures of the connect action.
QString PortCannotBeOpened(); // CanOpen failed
QString PortTakenByAnotherProgram();
QString PortNumberCannotBeOpened(int number); // opening failed

// Steps of the connection progress window.
QString StepPortConnected(int port); // "Software conectado a porta Com 3"
QString StepConfiguringModem(const QString& model);
QString StepDialling(const QString& phone);
QString StepPressAtSecondRing();
QString StepWaitingBypassTime();
QString StepConnectingToPanel();
QString StepCheckingCodes();
QString StepTimeBetweenRings(int seconds);
QString StepCodesCorrect(bool callbackPending);
QString StepAwaitingCallback();
// "Software conectado ao painel de alarme <model> versão <version>": the model name follows the
// product byte, and for products 3 and 4 the stored version.
QString StepConnectedToPanel(int product, const QString& storedVersion, const QString& receivedVersion);
// The progress window's text once the panel agreed to call back.
QString AwaitingPanelCall();
// Steps of the wait for the panel's call back.
QString StepAwaitingPanelCallback();  // "Aguardando chamada (callback) da central de alarme"
QString StepReceivingRing();          // "Recebendo Ring"
QString StepCodesCorrectOnCallback(); // "Códigos corretos."
// The connected line after a call back: products 3 and 4 are named by the stored version only.
QString StepCallbackConnectedToPanel(int product, const QString& storedVersion,
                                     const QString& receivedVersion);

// The session's retry prompt after ten time-outs.
QString ContinueTryingQuestion();

// The version check after a connection.
QString VersionQuestion();
// The customer screen's caption label for a product and version ("Orvan 9 V1.0" for an Orvan 9 Max
// whose versions were set silently).
QString CustomerCaption(int product, const QString& storedVersion);
QString CustomerCaptionOrvan9Max();

} // namespace LinkTexts
