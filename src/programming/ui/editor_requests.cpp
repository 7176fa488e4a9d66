#include "programming/ui/editor_requests.h"

#include "base/operator_messages.h"
#include "link_control/link_controller.h"
#include "session/online_worker.h"
#include "store/audit_log.h"
#include "store/logged_operator.h"
#include "workspace/customer_record.h"
#include "workspace/record_texts.h"

namespace {

constexpr quint8 kCommandPgmChange = 0x22;

OnLine* SessionOf(LinkController* link) {
    return link ? link->OnLineWorker() : nullptr;
}

// Parameters first, the request flag last.
void PutMarks(OnLine& session, const ChunkMarks& marks) {
    for (int b = 0; b < kMaxBlocks; ++b) {
        if (marks.Blocks & (1u << b))
            session.Chunks[b] = marks.Chunks[b];
    }
    session.WriteBytes.store(marks.Content);
    session.Blocks = marks.Blocks;
}

// What the send would change of the PGM bytes: only bytes it sends count.
PgmBytesChange PgmChange(const ProgrammingImages& images, const ChunkMarks& marks) {
    return PgmChangeOf(marks.Content, images.ImagemPC, images.ImagemAlarme);
}

// Each of the three answers whether it raised its request.
bool AskPgmModule(OnLine& session, const ChunkMarks& marks, QObject* context) {
    if (OperatorMessages::Ask(context, kMsgModuloPgm) == OperatorAnswer::No)
        return false;
    PutMarks(session, marks);
    session.PgmModuleChanged = true;
    session.PgmChangeRequest = true;
    return true;
}

bool AskPgmModes(OnLine& session, const ProgrammingImages& images, const ChunkMarks& marks,
                 QObject* context) {
    if (OperatorMessages::Ask(context, kMsgAlterarPgm) == OperatorAnswer::No)
        return false;
    PutMarks(session, marks);
    session.ChangedPgms = PgmChange(images, marks).changedPgms;
    session.CommandCode = kCommandPgmChange;
    session.PgmModuleChanged = false;
    session.PgmChangeRequest = true;
    return true;
}

bool Write(OnLine& session, const ChunkMarks& marks) {
    PutMarks(session, marks);
    session.WriteProgrammingRequest = true;
    return true;
}

// A send the session will carry out goes into the audit record with what it sends.
void RecordSend(CustomerRecord& record, const LoggedOperator& op, const QString& what) {
    RecordAudit(record.DataModule(), op.name, record.CustomerId(), AuditAction::WriteProgramming, what);
}

} // namespace

QString SendSection(LinkController* link, CustomerRecord& record, ProgSection section,
                    const LoggedOperator& op, QObject* context) {
    if (!op.HasPermission(Permission::EnviarProgramacao))
        return kMsgSemPermissao;
    if (section == ProgSection::Usuarios && !op.HasPermission(Permission::EnviarProgramacaoContas))
        return kMsgSemPermissao;
    OnLine* session = SessionOf(link);
    if (!session)
        return kMsgNaoConectado;
    const ProgrammingImages& images = record.Images();
    ChunkMarks marks;
    if (!images.markSection(section, marks))
        return SectionEqualMessage(section);
    bool raised = false;
    const PgmBytesChange pgm = PgmChange(images, marks);
    if (section == ProgSection::Opcoes && pgm.moduleChanged)
        raised = AskPgmModule(*session, marks, context);
    else if (section == ProgSection::Pgms && pgm.changedPgms)
        raised = AskPgmModes(*session, images, marks, context);
    else
        raised = Write(*session, marks);
    if (raised)
        RecordSend(record, op, SectionCaption(section));
    return {};
}

QString SendWholeProgramming(LinkController* link, CustomerRecord& record, const LoggedOperator& op,
                             QObject* context) {
    if (!op.HasPermission(Permission::EnviarProgramacao))
        return kMsgSemPermissao;
    OnLine* session = SessionOf(link);
    if (!session)
        return kMsgNaoConectado;
    const ProgrammingImages& images = record.Images();
    ChunkMarks marks;
    if (!images.markWholeProgramming(op.HasPermission(Permission::EnviarProgramacaoContas), marks))
        return WholeSendEqualMessage(images.family());
    bool raised = false;
    const PgmBytesChange pgm = PgmChange(images, marks);
    if (pgm.moduleChanged)
        raised = AskPgmModule(*session, marks, context);
    else if (pgm.changedPgms == 0)
        raised = Write(*session, marks);
    else
        raised = AskPgmModes(*session, images, marks, context);
    if (raised)
        RecordSend(record, op, QStringLiteral("toda a programação"));
    return {};
}

QString ReceiveWholeProgramming(LinkController* link, const CustomerRecord& record) {
    OnLine* session = SessionOf(link);
    if (!session)
        return kMsgNaoConectado;
    session->Blocks = (1u << BlockCount(record.Images().family())) - 1;
    session->ReadProgrammingRequest = true;
    return {};
}
