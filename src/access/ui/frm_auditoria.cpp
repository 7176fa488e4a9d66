#include "access/ui/frm_auditoria.h"

#include "base/app_title.h"
#include "base/locale_format.h"
#include "base/operator_messages.h"
#include "store/audit_log.h"
#include "widgets/help.h"

#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTableWidget>
#include <QVBoxLayout>

TfrmAuditoria::TfrmAuditoria(TdmBancoDeDados& dm, QWidget* parent) : QDialog(parent), m_dm(dm) {
    setObjectName(QStringLiteral("frmAuditoria"));
    setWindowTitle(ApplicationTitle());
    SetHelpTopic(this, 10);
    edtCliente = new QLineEdit(this);
    edtCliente->setObjectName(QStringLiteral("edtCliente"));
    edtCliente->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]{0,9}")), this));
    edtDesde = new QLineEdit(this);
    edtDesde->setObjectName(QStringLiteral("edtDesde"));
    edtDesde->setPlaceholderText(QStringLiteral("dd/mm/aaaa"));
    edtDesde->setInputMask(QString());
    btnFiltrar = new QPushButton(QStringLiteral("&Filtrar"), this);
    btnFiltrar->setObjectName(QStringLiteral("btnFiltrar"));
    btnFiltrar->setDefault(true);
    btnFechar = new QPushButton(QStringLiteral("&Fechar"), this);
    btnFechar->setObjectName(QStringLiteral("btnFechar"));
    btnFechar->setAutoDefault(false);

    grdAuditoria = new QTableWidget(0, 6, this);
    grdAuditoria->setObjectName(QStringLiteral("grdAuditoria"));
    grdAuditoria->setHorizontalHeaderLabels({QStringLiteral("Data e hora"), QStringLiteral("Usuário"),
                                             QStringLiteral("Cliente"), QStringLiteral("Nome do Cliente"),
                                             QStringLiteral("Ação"), QStringLiteral("Detalhes")});
    lblVazio = new QLabel(this);
    lblVazio->setObjectName(QStringLiteral("lblVazio"));
    lblVazio->hide();
    grdAuditoria->horizontalHeader()->setStretchLastSection(true);
    grdAuditoria->verticalHeader()->hide();
    grdAuditoria->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdAuditoria->setEditTriggers(QAbstractItemView::NoEditTriggers);

    auto* filter = new QHBoxLayout;
    filter->addWidget(new QLabel(QStringLiteral("Cliente:"), this));
    filter->addWidget(edtCliente);
    filter->addWidget(new QLabel(QStringLiteral("A partir de:"), this));
    filter->addWidget(edtDesde);
    filter->addWidget(btnFiltrar);
    auto* bottom = new QHBoxLayout;
    bottom->addStretch();
    bottom->addWidget(btnFechar);
    auto* root = new QVBoxLayout(this);
    root->addLayout(filter);
    root->addWidget(grdAuditoria, 1);
    root->addWidget(lblVazio);
    root->addLayout(bottom);
    connect(btnFiltrar, &QPushButton::clicked, this, &TfrmAuditoria::Filtrar);
    connect(btnFechar, &QPushButton::clicked, this, &QDialog::accept);
    resize(760, 420);
    Filtrar();
}

void TfrmAuditoria::Filtrar() {
    AuditFilter filter;
    filter.customerId = edtCliente->text().toInt();
    if (!edtDesde->text().trimmed().isEmpty()) {
        filter.from = ParseDate(edtDesde->text().trimmed());
        if (!filter.from.isValid()) {
            OperatorMessages::Tell(this, QStringLiteral("Data inválida: use dd/mm/aaaa."),
                                   MessageIcon::Warning);
            return;
        }
    }
    QList<AuditRow> rows;
    QString error;
    if (!ReadAudit(m_dm, filter, &rows, &error)) {
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
        return;
    }
    grdAuditoria->setRowCount(0);
    for (const AuditRow& row : std::as_const(rows)) {
        const int r = grdAuditoria->rowCount();
        grdAuditoria->insertRow(r);
        const QStringList cells{FormatDateTime(row.when),
                                row.usuario,
                                row.customerId > 0 ? QString::number(row.customerId) : QString(),
                                row.customerName,
                                row.action,
                                row.details};
        for (int c = 0; c < cells.size(); ++c)
            grdAuditoria->setItem(r, c, new QTableWidgetItem(cells.at(c)));
    }
    lblVazio->setText(filter.customerId > 0 || filter.from.isValid() ? kMsgAuditoriaVaziaFiltro
                                                                     : kMsgAuditoriaVazia);
    lblVazio->setVisible(rows.isEmpty());
    grdAuditoria->resizeColumnsToContents();
    grdAuditoria->scrollToBottom();
}
