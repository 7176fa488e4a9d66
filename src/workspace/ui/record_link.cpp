#include "workspace/ui/record_link.h"

#include "link_control/link_controller.h"
#include "programming/panel_codes.h"
#include "session/online_worker.h"
#include "store/audit_log.h"
#include "store/data_module.h"
#include "store/logged_operator.h"
#include "workspace/customer_record.h"
#include "workspace/record_texts.h"

QString ConnectRecord(LinkController& link, const CustomerRecord& record, const LoggedOperator& op,
                      bool withCallback) {
    if (withCallback && !op.HasPermission(Permission::ConectarCallback))
        return kMsgSemPermissao;
    if (record.CustomerId() == 0)
        return kMsgSalvarAntesDeConectar;
    if (!op.HasPermission(Permission::Conectar))
        return kMsgSemPermissao;
    link.State().StoredVersion.store(record.StoredVersion());
    link.Conectar(withCallback);
    RecordAudit(record.DataModule(), op.name, record.CustomerId(), AuditAction::Connect,
                withCallback ? QStringLiteral("com callback") : QString());
    return {};
}

void DisconnectRecord(LinkController& link) {
    if (OnLine* session = link.OnLineWorker())
        session->DisconnectRequest = true;
}

QString SendRecordCodes(LinkController* link, CustomerRecord& record) {
    OnLine* session = link ? link->OnLineWorker() : nullptr;
    if (!session)
        return kMsgNaoConectado;
    ChunkMarks marks;
    if (!MarkPanelCodes(record.Images(), marks))
        return PanelCodesEqualMessage();
    for (int b = 0; b < kMaxBlocks; ++b) {
        if (marks.Blocks & (1u << b))
            session->Chunks[b] = marks.Chunks[b];
    }
    // Only the codes' bytes are taken from ImagemPC.
    session->WriteBytes.store(marks.Content);
    session->Blocks = marks.Blocks;
    session->WriteProgrammingRequest = true;
    TdmBancoDeDados& dm = record.DataModule();
    RecordAudit(dm, dm.Operator.name, record.CustomerId(), AuditAction::WriteProgramming,
                QStringLiteral("códigos do painel e do PC"));
    return {};
}
