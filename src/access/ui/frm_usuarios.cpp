#include "access/ui/frm_usuarios.h"

#include "access/operators.h"
#include "access/ui/frm_primeira_senha.h"
#include "base/app_title.h"
#include "base/operator_messages.h"
#include "store/data_module.h"
#include "widgets/help.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

namespace {

QPushButton* Button(const QString& caption, const char* name) {
    auto* button = new QPushButton(caption);
    button->setObjectName(QLatin1String(name));
    button->setAutoDefault(false);
    return button;
}

} // namespace

TfrmUsuarios::TfrmUsuarios(TdmBancoDeDados& dm, QWidget* parent) : QDialog(parent), m_dm(dm) {
    setObjectName(QStringLiteral("frmUsuarios"));
    setWindowTitle(ApplicationTitle());
    SetHelpTopic(this, 14);
    grid = new QTableWidget(0, 1, this);
    grid->setObjectName(QStringLiteral("grdUsuarios"));
    grid->setHorizontalHeaderLabels({QStringLiteral("Usuários")});
    grid->horizontalHeader()->setStretchLastSection(true);
    grid->verticalHeader()->hide();
    grid->setSelectionBehavior(QAbstractItemView::SelectRows);
    grid->setSelectionMode(QAbstractItemView::SingleSelection);
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);

    btnNovo = Button(QStringLiteral("&Novo ..."), "btnNovo");
    btnEditar = Button(QStringLiteral("&Editar ..."), "btnEditar");
    btnExcluir = Button(QStringLiteral("E&xcluir"), "btnExcluir");
    btnFechar = Button(QStringLiteral("&Fechar"), "btnFechar");
    const LoggedOperator& op = m_dm.Operator;
    btnNovo->setEnabled(op.HasPermission(Permission::AdicionarUsuario));
    btnEditar->setEnabled(op.HasPermission(Permission::ModificarUsuario));
    btnExcluir->setEnabled(op.HasPermission(Permission::ApagarUsuario));
    auto* buttons = new QHBoxLayout;
    for (QPushButton* b : {btnNovo, btnEditar, btnExcluir})
        buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(btnFechar);
    auto* root = new QVBoxLayout(this);
    root->addWidget(grid);
    root->addLayout(buttons);

    connect(btnNovo, &QPushButton::clicked, this, &TfrmUsuarios::btnNovoClick);
    connect(btnEditar, &QPushButton::clicked, this, &TfrmUsuarios::btnEditarClick);
    connect(btnExcluir, &QPushButton::clicked, this, &TfrmUsuarios::btnExcluirClick);
    connect(btnFechar, &QPushButton::clicked, this, &QDialog::accept);
    connect(grid, &QTableWidget::cellDoubleClicked, this, [this] {
        if (m_dm.Operator.HasPermission(Permission::ModificarUsuario))
            btnEditarClick();
    });
    reload();
    resize(360, 320);
}

QString TfrmUsuarios::CurrentName() const {
    const QTableWidgetItem* item = grid->item(grid->currentRow(), 0);
    return item ? item->text() : QString();
}

void TfrmUsuarios::reload() {
    const QString current = CurrentName();
    QStringList names;
    QString error;
    if (!OperatorNames(m_dm, m_dm.Operator.administrator, &names, &error))
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
    grid->setRowCount(0);
    for (const QString& name : std::as_const(names)) {
        const int row = grid->rowCount();
        grid->insertRow(row);
        grid->setItem(row, 0, new QTableWidgetItem(name));
    }
    const int keep = int(names.indexOf(current));
    if (grid->rowCount() > 0)
        grid->setCurrentCell(keep >= 0 ? keep : 0, 0);
}

void TfrmUsuarios::btnNovoClick() {
    if (!btnNovo->isEnabled())
        return;
    TfrmPrimeiraSenha editor(m_dm, OperatorRecord{}, this);
    editor.exec();
    reload();
}

void TfrmUsuarios::btnEditarClick() {
    const QString name = CurrentName();
    if (!btnEditar->isEnabled() || name.isEmpty())
        return;
    OperatorRecord record;
    QString error;
    if (!LoadOperator(m_dm, name, &record, &error)) {
        if (!error.isEmpty())
            OperatorMessages::Tell(this, error, MessageIcon::Critical);
        reload();
        return;
    }
    TfrmPrimeiraSenha editor(m_dm, record, this);
    editor.exec();
    reload();
}

void TfrmUsuarios::btnExcluirClick() {
    const QString name = CurrentName();
    if (!btnExcluir->isEnabled() || name.isEmpty())
        return;
    OperatorRecord record;
    QString error;
    if (LoadOperator(m_dm, name, &record, &error) && record.IsAdministrator()) {
        OperatorMessages::Tell(this, kMsgUsuarioNaoPodeSerExcluido, MessageIcon::Warning);
        return;
    }
    if (!OperatorMessages::AskYesNo(this, kAskApagarUsuario, true))
        return;
    const OperatorChange change = DeleteOperator(m_dm, name, &error);
    if (change == OperatorChange::Failed)
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
    else if (change != OperatorChange::Done)
        OperatorMessages::Tell(this, OperatorChangeMessage(change), MessageIcon::Warning);
    reload();
}
