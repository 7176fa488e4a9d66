#pragma once

#include "session/online_host.h"
#include "session/online_worker.h"

#include <QList>
#include <QString>

// The outcome of a programming write as the audit record keeps it, once the write has ended:
// how many of the blocks asked for were written and read back equal, and what stopped it
// ("2 de 5 blocos conferidos, recusada no bloco 3"). A write raised more than once (the PGM change
// procedure writes some blocks twice) is told report by report; no report at all: "não enviada".
QString TransferAuditText(const QList<TransferReport>& reports);

// The outcome of a remote command as the audit record keeps it: "executado", "recusado",
// "sem resposta", "interrompido".
QString CommandAuditText(OnLine::CommandOutcome outcome);
