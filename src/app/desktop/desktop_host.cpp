#include "app/desktop/desktop_host.h"

#include "access/ui/frm_primeira_senha.h"
#include "access/ui/frm_splash.h"
#include "base/operator_messages.h"
#include "widgets/stoppable_dialog.h"

void DesktopHost::ShowMessage(const QString& text) {
    OperatorMessages::Tell(nullptr, text, MessageIcon::Critical);
}

void DesktopHost::ShowNotice(const QString& text) {
    OperatorMessages::Tell(nullptr, text, MessageIcon::Information);
}

bool DesktopHost::RunFirstTimeSetup(TdmBancoDeDados& dm) {
    TfrmPrimeiraSenha setup(dm, TfrmPrimeiraSenha::Page::FirstOperator);
    return ExecUntilTerminated(setup) == QDialog::Accepted;
}

bool DesktopHost::RunLogin(TdmBancoDeDados& dm) {
    TfrmSplash login(dm);
    return ExecUntilTerminated(login) == QDialog::Accepted;
}
