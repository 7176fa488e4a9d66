#include "store/ui/frm_backup_bd.h"

#include "base/app_title.h"
#include "base/operator_messages.h"
#include "store/db_backup.h"
#include "store/store_messages.h"
#include "widgets/dialog_parts.h"
#include "widgets/help.h"
#include "widgets/work_progress.h"

#include <QFileDialog>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TfrmBackupBD::TfrmBackupBD(const QString& databaseName, QWidget* parent)
    : QDialog(parent), m_databaseName(databaseName) {
    setObjectName(QStringLiteral("frmBackupBD"));
    setWindowTitle(ApplicationTitle());
    SetHelpTopic(this, 19);
    rbPadrao = Named(new QRadioButton(QStringLiteral("Usar diretório padrão"), this), "rbPadrao");
    rbPadrao->setChecked(true);
    rbOutroLocal = Named(new QRadioButton(QStringLiteral("Outro local"), this), "rbOutroLocal");
    edtPasta = Named(new QLineEdit(this), "edtPasta");
    btnProcurar = DialogButton(QStringLiteral("..."), "btnProcurar");
    btnFazerBackup = DialogButton(QStringLiteral("Fazer backup agora"), "btnFazerBackup");
    btnFazerBackup->setDefault(true);
    btnFechar = DialogButton(QStringLiteral("Fechar"), "btnFechar");

    auto* folder = new QHBoxLayout;
    folder->addWidget(edtPasta);
    folder->addWidget(btnProcurar);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnFazerBackup);
    buttons->addWidget(btnFechar);
    auto* root = new QVBoxLayout(this);
    root->addWidget(rbPadrao);
    root->addWidget(rbOutroLocal);
    root->addLayout(folder);
    root->addLayout(buttons);
    setMinimumWidth(420);

    m_chooseFolder = [this] { return QFileDialog::getExistingDirectory(this, rbOutroLocal->text()); };
    connect(rbOutroLocal, &QRadioButton::toggled, this, &TfrmBackupBD::UpdateChoice);
    connect(btnProcurar, &QPushButton::clicked, this, [this] {
        const QString chosen = m_chooseFolder ? m_chooseFolder() : QString();
        if (!chosen.isEmpty())
            edtPasta->setText(QDir::toNativeSeparators(chosen));
    });
    connect(btnFazerBackup, &QPushButton::clicked, this, &TfrmBackupBD::FazerBackup);
    connect(btnFechar, &QPushButton::clicked, this, &QDialog::accept);
    UpdateChoice();
}

void TfrmBackupBD::UpdateChoice() {
    const bool other = rbOutroLocal->isChecked();
    edtPasta->setEnabled(other);
    btnProcurar->setEnabled(other);
}

void TfrmBackupBD::FazerBackup() {
    QString folder;
    if (rbOutroLocal->isChecked()) {
        folder = QDir::fromNativeSeparators(edtPasta->text().trimmed());
        if (folder.isEmpty()) {
            // An empty field would silently mean the default folder: ask for the folder instead.
            edtPasta->setFocus();
            OperatorMessages::Tell(this, QStringLiteral("Escolha a pasta onde o backup será gravado."),
                                   MessageIcon::Warning);
            return;
        }
    }
    DatabaseBackup backup(m_databaseName);
    const bool done = RunWithProgress(this, kMsgBackupAguarde, [&](const ProgressLine& line) {
        backup.SetProgress(line);
        return backup.DoBackup(folder);
    });
    if (done) {
        m_lastFile = backup.LastBackupFile();
        OperatorMessages::Tell(this, kMsgBackupSucesso, MessageIcon::Information);
    } else {
        // The engine's reason goes with the message: a full disc or a folder without rights is
        // something the operator can act on.
        const QString reason = backup.LastError();
        OperatorMessages::Tell(
            this, reason.isEmpty() ? kMsgBackupErro : kMsgBackupErro + QStringLiteral("\r") + reason,
            MessageIcon::Critical);
    }
}
