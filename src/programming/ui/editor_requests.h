#pragma once

#include "programming/image_layout.h"

#include <QString>

class CustomerRecord;
class LinkController;
class QObject;
struct LoggedOperator;

// What the programming editors' send and receive commands ask of the session, apart from the
// widgets. Each returns the message to show the operator, or an empty text when the command went
// ahead (or the operator answered No to its question). Questions are asked through the program's
// messenger with `context` as their window.

// The PGM questions of a send.
inline const QString kMsgModuloPgm =
    QStringLiteral("Se a opção de habilitar/desabilitar módulo PGM for programada, todas as PGM's serão "
                   "desativadas.\rDeseja mesmo continuar?");
inline const QString kMsgAlterarPgm = QStringLiteral(
    "Ao alterar a programação da PGM, a PGM correspondente será desativada.\rDeseja mesmo alterar?");
inline const QString kMsgSalvarAntesDeCarregar =
    QStringLiteral("É necessário salvar antes de carregar os dados");

// "Enviar para o alarme" of a section: the permissions ("Enviar programação", and for the users
// "Enviar programação das contas"), a running session, the differing chunks of the section, the
// PGM questions of the options and PGM sections, and the request raised (a write, or the PGM
// change procedure).
QString SendSection(LinkController* link, CustomerRecord& record, ProgSection section,
                    const LoggedOperator& op, QObject* context);

// "Enviar toda programação". The users section (attributes and every code) takes part only when the
// operator has "Enviar programação das contas", the permission its own send demands.
QString SendWholeProgramming(LinkController* link, CustomerRecord& record, const LoggedOperator& op,
                             QObject* context);

// "Receber toda programação": every block read into `ImagemAlarme`.
QString ReceiveWholeProgramming(LinkController* link, const CustomerRecord& record);
