#include "store/ui/frm_restaura_bd.h"

#include "base/app_title.h"
#include "base/locale_format.h"
#include "base/operator_messages.h"
#include "store/db_backup.h"
#include "store/store_messages.h"
#include "widgets/dialog_parts.h"
#include "widgets/help.h"
#include "widgets/work_progress.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

TfrmRestauraBD::TfrmRestauraBD(const QString& databaseName, AfterRestore afterRestore, QWidget* parent)
    : QDialog(parent), m_databaseName(databaseName), m_afterRestore(std::move(afterRestore)) {
    setObjectName(QStringLiteral("frmRestauraBD"));
    setWindowTitle(ApplicationTitle());
    SetHelpTopic(this, 20);
    m_folder = DatabaseBackup(databaseName).DefaultFolder();

    rbPastaPadrao = Named(
        new QRadioButton(QStringLiteral("Pasta Telvora") + QDir::separator() + QStringLiteral("BKP"), this),
        "rbPastaPadrao");
    rbOutroLocal = Named(new QRadioButton(QStringLiteral("Outro local"), this), "rbOutroLocal");
    grpArquivos = Named(new QGroupBox(QStringLiteral("Escolha o arquivo de backup a ser restaurado"), this),
                        "grpArquivos");
    grdArquivos = Named(new QTableWidget(0, 2, grpArquivos), "grdArquivos");
    grdArquivos->setHorizontalHeaderLabels({QStringLiteral("Arquivo"), QStringLiteral("Data de Criação")});
    grdArquivos->horizontalHeader()->setStretchLastSection(true);
    grdArquivos->horizontalHeader()->setSectionsClickable(true);
    grdArquivos->verticalHeader()->hide();
    grdArquivos->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdArquivos->setSelectionMode(QAbstractItemView::SingleSelection);
    grdArquivos->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdArquivos->setColumnWidth(0, 220);
    auto* listLayout = new QVBoxLayout(grpArquivos);
    listLayout->addWidget(grdArquivos);
    edtArquivo = Named(new QLineEdit(this), "edtArquivo");
    btnProcurar = DialogButton(QStringLiteral("..."), "btnProcurar");
    btnRestaurar = DialogButton(QStringLiteral("Restaurar"), "btnRestaurar");
    btnRestaurar->setDefault(true);
    btnCancelar = DialogButton(QStringLiteral("Cancelar"), "btnCancelar");

    auto* other = new QHBoxLayout;
    other->addWidget(rbOutroLocal);
    other->addWidget(edtArquivo, 1);
    other->addWidget(btnProcurar);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnRestaurar);
    buttons->addWidget(btnCancelar);
    auto* root = new QVBoxLayout(this);
    root->addWidget(rbPastaPadrao);
    root->addWidget(grpArquivos);
    root->addLayout(other);
    root->addLayout(buttons);
    resize(520, 380);

    m_chooseFile = [this] {
        return QFileDialog::getOpenFileName(
            this, rbOutroLocal->text(), m_folder,
            QStringLiteral("Firebird Backup (*.fbk);;Interbase Backup (*.gbk)"));
    };
    connect(grdArquivos->horizontalHeader(), &QHeaderView::sectionClicked, this, &TfrmRestauraBD::TitleClick);
    connect(rbOutroLocal, &QRadioButton::toggled, this, &TfrmRestauraBD::UpdateChoice);
    connect(btnProcurar, &QPushButton::clicked, this, [this] {
        const QString chosen = m_chooseFile ? m_chooseFile() : QString();
        if (!chosen.isEmpty())
            edtArquivo->setText(QDir::toNativeSeparators(chosen));
    });
    connect(btnRestaurar, &QPushButton::clicked, this, &TfrmRestauraBD::Restaurar);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);

    m_files = ListBackupFiles(m_folder);
    FillList();
    const bool any = !m_files.isEmpty();
    rbPastaPadrao->setEnabled(any);
    (any ? rbPastaPadrao : rbOutroLocal)->setChecked(true);
    UpdateChoice();
}

void TfrmRestauraBD::FillList() {
    grdArquivos->setRowCount(int(m_files.size()));
    for (int row = 0; row < m_files.size(); ++row) {
        const BackupFileEntry& file = m_files.at(row);
        grdArquivos->setItem(row, 0, new QTableWidgetItem(file.name));
        grdArquivos->setItem(row, 1, new QTableWidgetItem(FormatDateTime(file.time)));
    }
    if (!m_files.isEmpty())
        grdArquivos->selectRow(0);
}

void TfrmRestauraBD::TitleClick(int column) {
    m_descending = !m_descending;
    SortBackupFiles(m_files, column == 0 ? BackupFileColumn::Name : BackupFileColumn::Time, m_descending);
    FillList();
}

void TfrmRestauraBD::UpdateChoice() {
    const bool other = rbOutroLocal->isChecked();
    edtArquivo->setEnabled(other);
    btnProcurar->setEnabled(other);
    grpArquivos->setEnabled(!other);
}

void TfrmRestauraBD::Restaurar() {
    QString file;
    QDateTime made;
    if (rbOutroLocal->isChecked()) {
        file = QDir::fromNativeSeparators(edtArquivo->text().trimmed());
        made = QFileInfo(file).lastModified();
    } else {
        const int row = grdArquivos->currentRow();
        if (row >= 0 && row < m_files.size() && grdArquivos->selectionModel()->isRowSelected(row)) {
            file = QDir(m_folder).filePath(m_files.at(row).name);
            made = m_files.at(row).time;
        }
    }
    if (file.isEmpty())
        return;
    // Replacing the database cannot be undone from here: the operator confirms it, knowing which
    // backup and what it replaces. A file that does not exist is refused by the restore itself.
    if (QFileInfo::exists(file) &&
        !OperatorMessages::AskYesNo(
            this,
            MsgConfirmaRestauracao(QFileInfo(file).fileName(), FormatDateTime(made), m_currentCustomers),
            true))
        return;

    // The safety backup of the current database is taken by the restore itself, before anything
    // is replaced, and only when the backup file proved restorable.
    DatabaseBackup backup(m_databaseName);
    const bool done = RunWithProgress(this, kMsgRestauracaoAguarde, [&](const ProgressLine& line) {
        backup.SetProgress(line);
        return backup.DoRestauracao(file);
    });
    if (!done) {
        OperatorMessages::Tell(this, kMsgRestauracaoErro + backup.LastError(), MessageIcon::Critical);
        return;
    }
    m_restored = true;
    QString error;
    if (m_afterRestore && !m_afterRestore(file, &error)) {
        OperatorMessages::Tell(this, kMsgRestauracaoErro + error, MessageIcon::Critical);
        reject();
        return;
    }
    OperatorMessages::Tell(this,
                           MsgRestauracaoSucesso(backup.KeptAsideFile().isEmpty() ? backup.LastBackupFile()
                                                                                  : backup.KeptAsideFile()),
                           MessageIcon::Information);
    accept();
}
