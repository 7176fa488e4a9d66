#include "access/ui/frm_permissoes.h"

#include "base/app_title.h"
#include "store/permissions.h"
#include "widgets/help.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QMenu>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

TfrmPermissoes::TfrmPermissoes(const QString& permissoes, QWidget* parent)
    : QDialog(parent), m_boxes(PermissionBoxes::FromText(permissoes)) {
    setObjectName(QStringLiteral("frmPermissoes"));
    setWindowTitle(ApplicationTitle());
    SetHelpTopic(this, 16);
    pgcPermissoes = new QTabWidget(this);
    pgcPermissoes->setObjectName(QStringLiteral("pgcPermissoes"));
    const auto page = [this](const QList<int>& permissions, const QString& title) {
        auto* widget = new QWidget;
        auto* grid = new QGridLayout(widget);
        const int rows = int(permissions.size() + 1) / 2;
        for (int i = 0; i < permissions.size(); ++i) {
            const int p = permissions.at(i);
            auto* box = new QCheckBox(PermissionCaption(p), widget);
            box->setObjectName(QStringLiteral("chk%1").arg(p));
            connect(box, &QCheckBox::clicked, this, [this, p](bool checked) {
                m_boxes.Click(p, checked);
                showBoxes(m_boxes);
            });
            m_checks.insert(p, box);
            grid->addWidget(box, i % rows, i / rows);
        }
        widget->setContextMenuPolicy(Qt::CustomContextMenu);
        connect(widget, &QWidget::customContextMenuRequested, this, &TfrmPermissoes::pagePopup);
        pgcPermissoes->addTab(widget, title);
    };
    page(PermissionBoxes::GeneralPage(), QStringLiteral("Permissões Gerais"));
    page(PermissionBoxes::OtherPage(), QStringLiteral("Outras Permissões"));

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* ok = buttons->addButton(QStringLiteral("&OK"), QDialogButtonBox::AcceptRole);
    ok->setObjectName(QStringLiteral("btnOK"));
    QPushButton* cancel = buttons->addButton(QStringLiteral("&Cancelar"), QDialogButtonBox::RejectRole);
    cancel->setObjectName(QStringLiteral("btnCancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    auto* root = new QVBoxLayout(this);
    root->addWidget(pgcPermissoes);
    root->addWidget(buttons);
    pgcPermissoes->setCurrentIndex(0);
    showBoxes(m_boxes);
}

void TfrmPermissoes::showBoxes(const PermissionBoxes& boxes) {
    for (auto it = m_checks.cbegin(); it != m_checks.cend(); ++it) {
        it.value()->setChecked(boxes.Checked(it.key()));
        it.value()->setEnabled(boxes.Enabled(it.key()));
    }
}

void TfrmPermissoes::pagePopup(const QPoint& at) {
    const bool general = pgcPermissoes->currentIndex() == 0;
    const QList<int> thisPage = general ? PermissionBoxes::GeneralPage() : PermissionBoxes::OtherPage();
    const QList<int> all = PermissionBoxes::GeneralPage() + PermissionBoxes::OtherPage();
    QMenu menu(this);
    const auto entry = [&](const QString& caption, const QList<int>& boxes, bool checked) {
        connect(menu.addAction(caption), &QAction::triggered, this, [this, boxes, checked] {
            m_boxes.SetAll(boxes, checked);
            showBoxes(m_boxes);
        });
    };
    entry(QStringLiteral("Selecionar todas somente desta página"), thisPage, true);
    entry(QStringLiteral("Desmarcar todas somente desta página"), thisPage, false);
    entry(QStringLiteral("Selecionar todas"), all, true);
    entry(QStringLiteral("Desmarcar todas"), all, false);
    menu.exec(pgcPermissoes->currentWidget()->mapToGlobal(at));
}
