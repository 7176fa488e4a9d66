#include "link_control/ui/frm_dialog_espera_lig.h"

#include "base/app_title.h"
#include "widgets/help.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

constexpr int kCodeColumnWidth = 75;
constexpr int kNameColumnWidth = 250;

} // namespace

TfrmDialogEsperaLig::TfrmDialogEsperaLig(QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmDialogEsperaLig"));
    SetHelpTopic(this, 7);
    setWindowTitle(ApplicationTitle());
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(
        new QLabel(QStringLiteral("As seguintes contas tem código do painel idênticos."), this));

    StringGrid1 = new QTableWidget(0, 2, this);
    StringGrid1->setObjectName(QStringLiteral("StringGrid1"));
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("Cód. do Painel"), QStringLiteral("Cliente")});
    StringGrid1->verticalHeader()->hide();
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setColumnWidth(0, kCodeColumnWidth);
    StringGrid1->setColumnWidth(1, kNameColumnWidth);
    StringGrid1->setMinimumWidth(kCodeColumnWidth + kNameColumnWidth + 24);
    StringGrid1->hide();
    layout->addWidget(StringGrid1);

    layout->addWidget(new QLabel(QStringLiteral("Isso pode causar problema quando o painel ligar para ") +
                                     QStringLiteral("o software Telvora"),
                                 this));
    layout->addWidget(new QLabel(QStringLiteral("Deseja continuar assim mesmo?"), this));

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    btnSim = new QPushButton(QStringLiteral("&Sim"), this);
    btnSim->setObjectName(QStringLiteral("btnSim"));
    btnNao = new QPushButton(QStringLiteral("&Não"), this);
    btnNao->setObjectName(QStringLiteral("btnNao"));
    btnNao->setDefault(true);
    btnNao->setAutoDefault(true);
    btnSim->setAutoDefault(false);
    buttons->addWidget(btnSim);
    buttons->addWidget(btnNao);
    layout->addLayout(buttons);
    connect(btnSim, &QPushButton::clicked, this, &QDialog::accept);
    // "&Não" is also the cancel button: Escape and the close box answer it.
    connect(btnNao, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmDialogEsperaLig::AddRow(const QString& panelCode, const QString& name) {
    const int row = StringGrid1->rowCount();
    StringGrid1->insertRow(row);
    StringGrid1->setItem(row, 0, new QTableWidgetItem(panelCode));
    StringGrid1->setItem(row, 1, new QTableWidgetItem(name));
    StringGrid1->show();
}
