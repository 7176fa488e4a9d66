#pragma once

// What the record screen's GUI tests share: answers to the screen's questions (a recording
// messenger), finding and typing into its controls, and a fresh database with a customer typed in
// through the screen.
#include "gui/gui_helpers.h"
#include "support/connected_data_module.h"
#include "support/recording_messenger.h"
#include "workspace/ui/frm_prog_main.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QTest>

#include <memory>

namespace {

void TypeInto(QWidget* screen, const char* name, const QString& text) {
    auto* edit = Find<QLineEdit>(screen, name);
    edit->setFocus();
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Backspace);
    QTest::keyClicks(edit, text);
}

struct Fixture {
    ConnectedDataModule db;
    RecordingMessenger prompts;
    RecordScreenContext context;

    bool Open(int opcoesGerais = 10) {
        if (!db.Open())
            return false;
        context.dm = &db.dm;
        context.settings.OpcoesGerais = opcoesGerais;
        context.settings.ProgDefault10.clear();
        context.settings.ProgDefault10Eco.clear();
        context.settings.ProgDefault5.clear();
        return true;
    }

    // A customer typed in and saved through the screen; its key.
    int AddCustomer(int productCode, const QString& version, const QString& name, const QString& panelCode,
                    const QString& pcCode = QString()) {
        std::unique_ptr<TfrmProgMain> screen(TfrmProgMain::NewCustomer(context, productCode, version));
        if (!screen)
            return 0;
        screen->show();
        TypeInto(screen.get(), "dbedtNome", name);
        TypeInto(screen.get(), "dbedtFonePainel", "4133334444");
        Find<QCheckBox>(screen.get(), "chkAlterarCodigos")->setChecked(true);
        TypeInto(screen.get(), "dbedtCodigoPainel", panelCode);
        if (!pcCode.isEmpty())
            TypeInto(screen.get(), "dbedtCodigoPC", pcCode);
        prompts.answers = {OperatorAnswer::Yes};
        Press(screen.get(), "btnSalvar");
        return screen->CustomerId();
    }
};

} // namespace
