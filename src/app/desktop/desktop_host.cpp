#include "app/desktop/desktop_host.h"

#include "access/ui/frm_primeira_senha.h"
#include "access/ui/frm_splash.h"
#include "base/operator_messages.h"

void DesktopHost::ShowMessage(const QString& text) {
    OperatorMessages::Tell(nullptr, text, MessageIcon::Critical);
}

void DesktopHost::ShowNotice(const QString& text) {
    OperatorMessages::Tell(nullptr, text, MessageIcon::Information);
}

bool DesktopHost::RunFirstTimeSetup(TdmBancoDeDados& dm) {
    TfrmPrimeiraSenha setup(dm, TfrmPrimeiraSenha::Page::FirstOperator);
    return setup.exec() == QDialog::Accepted;
}

bool DesktopHost::RunLogin(TdmBancoDeDados& dm) {
    TfrmSplash login(dm);
    return login.exec() == QDialog::Accepted;
}
