#include "programming/ui/editor_requests.h"

#include "base/operator_messages.h"
#include "link_control/link_controller.h"
#include "session/online_worker.h"
#include "store/logged_operator.h"
#include "workspace/customer_record.h"
#include "workspace/record_texts.h"

namespace {

constexpr int kPgmModuleByte = 34;
constexpr int kPgmModuleBit = 2;
constexpr int kFirstPgmModeByte = 26;
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
    session.Blocks = marks.Blocks;
}

bool PgmModuleDiffers(const ProgrammingImages& images) {
    const quint8 mask = 1u << kPgmModuleBit;
    return (images.ImagemPC.byte(kPgmModuleByte) & mask) != (images.ImagemAlarme.byte(kPgmModuleByte) & mask);
}

quint8 ChangedPgms(const ProgrammingImages& images) {
    quint8 changed = 0;
    for (int k = 0; k < 4; ++k) {
        const int n = kFirstPgmModeByte + k;
        if (images.ImagemPC.byte(n) != images.ImagemAlarme.byte(n))
            changed |= quint8(1u << k);
    }
    return changed;
}

void AskPgmModule(OnLine& session, const ChunkMarks& marks, QObject* context) {
    if (OperatorMessages::Ask(context, kMsgModuloPgm) == OperatorAnswer::No)
        return;
    PutMarks(session, marks);
    session.PgmModuleChanged = true;
    session.PgmChangeRequest = true;
}

void AskPgmModes(OnLine& session, const ProgrammingImages& images, const ChunkMarks& marks,
                 QObject* context) {
    if (OperatorMessages::Ask(context, kMsgAlterarPgm) == OperatorAnswer::No)
        return;
    PutMarks(session, marks);
    session.ChangedPgms = ChangedPgms(images);
    session.CommandCode = kCommandPgmChange;
    session.PgmModuleChanged = false;
    session.PgmChangeRequest = true;
}

void Write(OnLine& session, const ChunkMarks& marks) {
    PutMarks(session, marks);
    session.WriteProgrammingRequest = true;
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
    if (section == ProgSection::Opcoes && PgmModuleDiffers(images))
        AskPgmModule(*session, marks, context);
    else if (section == ProgSection::Pgms)
        AskPgmModes(*session, images, marks, context);
    else
        Write(*session, marks);
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
    if (PgmModuleDiffers(images))
        AskPgmModule(*session, marks, context);
    else if (ChangedPgms(images) == 0)
        Write(*session, marks);
    else
        AskPgmModes(*session, images, marks, context);
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
