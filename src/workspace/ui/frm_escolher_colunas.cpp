#include "workspace/ui/frm_escolher_colunas.h"

#include "base/app_title.h"
#include "widgets/dialog_parts.h"
#include "widgets/help.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

TfrmEscolherColunas::TfrmEscolherColunas(const QString& colunas, QWidget* parent)
    : QDialog(parent), m_choice(colunas) {
    setObjectName(QStringLiteral("frmEscolherColunas"));
    setWindowTitle(ApplicationTitle());
    SetHelpTopic(this, 17);

    lstClientes = CheckList(ColumnChoice::Group::Clientes);
    lstClientes->setObjectName(QStringLiteral("lstClientes"));
    lstPainel = CheckList(ColumnChoice::Group::Painel);
    lstPainel->setObjectName(QStringLiteral("lstPainel"));
    lstMostradas = new QListWidget(this);
    lstMostradas->setObjectName(QStringLiteral("lstMostradas"));

    btnMostrarClientes = DialogButton(QStringLiteral("Mostrar todos"), "btnMostrarClientes");
    btnOcultarClientes = DialogButton(QStringLiteral("Ocultar todos"), "btnOcultarClientes");
    btnMostrarPainel = DialogButton(QStringLiteral("Mostrar todos"), "btnMostrarPainel");
    btnOcultarPainel = DialogButton(QStringLiteral("Ocultar todos"), "btnOcultarPainel");
    btnCima = DialogButton(QStringLiteral("Mover para cima"), "btnCima");
    btnBaixo = DialogButton(QStringLiteral("Mover para baixo"), "btnBaixo");
    btnOk = DialogButton(QStringLiteral("OK"), "btnOk");
    btnOk->setDefault(true);
    btnCancelar = DialogButton(QStringLiteral("Cancelar"), "btnCancelar");

    auto group = [this](const QString& title, QListWidget* list, QPushButton* show, QPushButton* hide) {
        auto* box = new QGroupBox(title, this);
        auto* layout = new QVBoxLayout(box);
        layout->addWidget(list);
        auto* buttons = new QHBoxLayout;
        buttons->addWidget(show);
        buttons->addWidget(hide);
        layout->addLayout(buttons);
        return box;
    };
    auto* shown = new QGroupBox(QStringLiteral("Colunas mostradas"), this);
    auto* shownLayout = new QVBoxLayout(shown);
    shownLayout->addWidget(lstMostradas);
    auto* moves = new QHBoxLayout;
    moves->addWidget(btnCima);
    moves->addWidget(btnBaixo);
    shownLayout->addLayout(moves);

    auto* lists = new QHBoxLayout;
    lists->addWidget(group(QStringLiteral("Clientes"), lstClientes, btnMostrarClientes, btnOcultarClientes));
    lists->addWidget(group(QStringLiteral("Painel"), lstPainel, btnMostrarPainel, btnOcultarPainel));
    lists->addWidget(shown);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancelar);
    auto* root = new QVBoxLayout(this);
    root->addLayout(lists);
    root->addLayout(buttons);

    for (QListWidget* list : {lstClientes, lstPainel})
        connect(list, &QListWidget::itemChanged, this, &TfrmEscolherColunas::ItemChanged);
    using Group = ColumnChoice::Group;
    const struct {
        QPushButton* button;
        Group group;
        bool show;
    } groupButtons[] = {{btnMostrarClientes, Group::Clientes, true},
                        {btnOcultarClientes, Group::Clientes, false},
                        {btnMostrarPainel, Group::Painel, true},
                        {btnOcultarPainel, Group::Painel, false}};
    for (const auto& b : groupButtons)
        connect(b.button, &QPushButton::clicked, this, [this, group = b.group, show = b.show] {
            show ? m_choice.ShowAll(group) : m_choice.HideAll(group);
            Refresh();
        });
    connect(btnCima, &QPushButton::clicked, this, [this] {
        const int row = lstMostradas->currentRow();
        if (m_choice.MoveUp(row))
            Refresh(row - 1);
    });
    connect(btnBaixo, &QPushButton::clicked, this, [this] {
        const int row = lstMostradas->currentRow();
        if (m_choice.MoveDown(row))
            Refresh(row + 1);
    });
    connect(btnOk, &QPushButton::clicked, this, &QDialog::accept);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
    Refresh(0);
}

QListWidget* TfrmEscolherColunas::CheckList(ColumnChoice::Group group) {
    auto* list = new QListWidget(this);
    for (const QString& field : ColumnChoice::Fields(group)) {
        auto* item = new QListWidgetItem(ColumnChoice::DisplayName(field), list);
        item->setData(Qt::UserRole, field);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(Qt::Unchecked);
    }
    return list;
}

void TfrmEscolherColunas::ItemChanged(QListWidgetItem* item) {
    if (m_refreshing)
        return;
    m_choice.SetChecked(item->data(Qt::UserRole).toString(), item->checkState() == Qt::Checked);
    Refresh(lstMostradas->currentRow());
}

void TfrmEscolherColunas::Refresh(int current) {
    m_refreshing = true;
    for (QListWidget* list : {lstClientes, lstPainel})
        for (int i = 0; i < list->count(); ++i) {
            QListWidgetItem* item = list->item(i);
            item->setCheckState(m_choice.IsChecked(item->data(Qt::UserRole).toString()) ? Qt::Checked
                                                                                        : Qt::Unchecked);
        }
    lstMostradas->clear();
    for (const QString& field : m_choice.Shown())
        lstMostradas->addItem(ColumnChoice::DisplayName(field));
    if (lstMostradas->count() > 0)
        lstMostradas->setCurrentRow(qBound(0, current, lstMostradas->count() - 1));
    m_refreshing = false;
}
