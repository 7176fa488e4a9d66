#include "workspace/ui/frm_grupos.h"

#include "base/app_title.h"
#include "base/operator_messages.h"
#include "widgets/dialog_parts.h"
#include "widgets/help.h"
#include "workspace/customer_groups.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyledItemDelegate>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

// Only letters and digits can be typed in a group's name.
class GroupNameDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;
    QWidget* createEditor(QWidget* parent, const QStyleOptionViewItem&, const QModelIndex&) const override {
        auto* edit = new QLineEdit(parent);
        edit->setObjectName(QStringLiteral("edtNomeGrupo"));
        edit->setMaxLength(30);
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[\\p{L}\\p{N}]*")), edit));
        return edit;
    }
};

} // namespace

TfrmGrupos::TfrmGrupos(TdmBancoDeDados& dm, QWidget* parent) : QDialog(parent), m_dm(dm) {
    setObjectName(QStringLiteral("frmGrupos"));
    setWindowTitle(ApplicationTitle());
    SetHelpTopic(this, 25);
    grid = new QTableWidget(0, 1, this);
    grid->setObjectName(QStringLiteral("grdGrupos"));
    grid->setHorizontalHeaderLabels({QStringLiteral("Nome do Grupo")});
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->verticalHeader()->hide();
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grid->setItemDelegate(new GroupNameDelegate(grid));

    btnNovo = DialogButton(QStringLiteral("&Novo"), "btnNovo");
    btnEditar = DialogButton(QStringLiteral("&Editar"), "btnEditar");
    btnExcluir = DialogButton(QStringLiteral("E&xcluir"), "btnExcluir");
    btnFechar = DialogButton(QStringLiteral("&Fechar"), "btnFechar");
    btnGravar = DialogButton(QStringLiteral("&Gravar"), "btnGravar");
    btnCancelar = DialogButton(QStringLiteral("&Cancelar"), "btnCancelar");
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btnNovo, btnEditar, btnExcluir, btnGravar, btnCancelar, btnFechar})
        buttons->addWidget(b);
    auto* root = new QVBoxLayout(this);
    root->addWidget(grid);
    root->addLayout(buttons);

    connect(btnNovo, &QPushButton::clicked, this, [this] {
        grid->insertRow(grid->rowCount());
        beginEdit(grid->rowCount() - 1, true);
    });
    connect(btnEditar, &QPushButton::clicked, this, [this] {
        if (grid->currentRow() >= 0)
            beginEdit(grid->currentRow(), false);
    });
    connect(btnExcluir, &QPushButton::clicked, this, &TfrmGrupos::excluir);
    connect(btnGravar, &QPushButton::clicked, this, &TfrmGrupos::gravar);
    connect(btnCancelar, &QPushButton::clicked, this, [this] {
        endEdit();
        reload();
    });
    connect(btnFechar, &QPushButton::clicked, this, &TfrmGrupos::reject);
    reload();
    endEdit();
}

void TfrmGrupos::reload() {
    QList<CustomerGroup> groups;
    QString error;
    if (!ReadEditableGroups(m_dm, &groups, &error))
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
    grid->setRowCount(0);
    for (const CustomerGroup& g : groups) {
        const int row = grid->rowCount();
        grid->insertRow(row);
        auto* item = new QTableWidgetItem(g.name);
        item->setData(Qt::UserRole, g.id);
        grid->setItem(row, 0, item);
    }
    if (grid->rowCount() > 0)
        grid->setCurrentCell(0, 0);
}

void TfrmGrupos::beginEdit(int row, bool isNew) {
    m_editRow = row;
    m_editNew = isNew;
    if (!grid->item(row, 0))
        grid->setItem(row, 0, new QTableWidgetItem);
    for (QPushButton* b : {btnNovo, btnEditar, btnExcluir, btnFechar})
        b->hide();
    btnGravar->show();
    btnCancelar->show();
    grid->setCurrentCell(row, 0);
    grid->openPersistentEditor(grid->item(row, 0));
    if (QWidget* editor = grid->indexWidget(grid->model()->index(row, 0)))
        editor->setFocus();
}

void TfrmGrupos::endEdit() {
    if (m_editRow >= 0 && grid->item(m_editRow, 0))
        grid->closePersistentEditor(grid->item(m_editRow, 0));
    m_editRow = -1;
    for (QPushButton* b : {btnNovo, btnEditar, btnExcluir, btnFechar})
        b->show();
    btnGravar->hide();
    btnCancelar->hide();
}

void TfrmGrupos::gravar() {
    if (m_editRow < 0)
        return;
    QTableWidgetItem* item = grid->item(m_editRow, 0);
    // The name as typed in the row's editor.
    auto* edit = qobject_cast<QLineEdit*>(grid->indexWidget(grid->model()->index(m_editRow, 0)));
    const QString name = edit ? edit->text() : item->text();
    const int id = m_editNew ? 0 : item->data(Qt::UserRole).toInt();
    QString error;
    if (name.trimmed().isEmpty())
        return; // nothing to store: the edit stays open
    if (!SaveGroup(m_dm, id, name, &error)) {
        OperatorMessages::Tell(this, kMsgGrupoErro, MessageIcon::Critical);
        return;
    }
    endEdit();
    reload();
}

void TfrmGrupos::excluir() {
    QTableWidgetItem* item = grid->item(grid->currentRow(), 0);
    if (!item)
        return;
    if (!OperatorMessages::AskYesNo(this, kAskApagarGrupo, true))
        return;
    QString error;
    if (!DeleteGroup(m_dm, item->data(Qt::UserRole).toInt(), &error))
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
    reload();
}

void TfrmGrupos::reject() {
    // Closing is refused while a name is being edited.
    if (Editing())
        return;
    QDialog::reject();
}
