#include "access/ui/operator_menu.h"

#include "access/operators.h"
#include "access/ui/frm_auditoria.h"
#include "access/ui/frm_usuarios.h"
#include "base/operator_messages.h"
#include "store/data_module.h"

#include <QAction>
#include <QMenu>

void AddOperatorMenuEntries(QMenu* menu, TdmBancoDeDados& dm, QWidget* window) {
    QAction* usuarios = menu->addAction(QStringLiteral("&Usuários, senhas e permissões ..."));
    usuarios->setObjectName(QStringLiteral("actUsuarios"));
    QObject::connect(usuarios, &QAction::triggered, window, [&dm, window] {
        if (!dm.Operator.HasPermission(Permission::AlterarUsuarios)) {
            OperatorMessages::Tell(window, kMsgSemPermissaoOperacao);
            return;
        }
        TfrmUsuarios list(dm, window);
        list.exec();
    });
    QAction* auditoria = menu->addAction(QStringLiteral("Registro de &operações ..."));
    auditoria->setObjectName(QStringLiteral("actAuditoria"));
    QObject::connect(auditoria, &QAction::triggered, window, [&dm, window] {
        if (!dm.Operator.administrator) {
            OperatorMessages::Tell(window, kMsgSemPermissaoOperacao);
            return;
        }
        TfrmAuditoria record(dm, window);
        record.exec();
    });
}
