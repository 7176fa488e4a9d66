#include "link_control/ui/frm_comandos_at.h"

#include "base/app_title.h"
#include "base/operator_messages.h"
#include "widgets/help.h"

#include <QComboBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

TfrmComandosAT::TfrmComandosAT(const QString& cataloguePath, QWidget* parent)
    : QDialog(parent), m_path(cataloguePath) {
    setObjectName(QStringLiteral("frmComandosAT"));
    SetHelpTopic(this, 5);
    setWindowTitle(ApplicationTitle());
    m_catalogue.load(m_path);

    cmbModems = new QComboBox(this);
    cmbModems->setObjectName(QStringLiteral("cmbModems"));
    cmbModems->addItems(m_catalogue.names());
    edtComandos = new QLineEdit(this);
    edtComandos->setObjectName(QStringLiteral("edtComandos"));
    edtComandos->setMinimumWidth(520);
    btnRestaurar = new QPushButton(QStringLiteral("Restaurar padrão"), this);
    btnRestaurar->setObjectName(QStringLiteral("btnRestaurar"));
    btnOk = new QPushButton(QStringLiteral("Ok"), this);
    btnOk->setObjectName(QStringLiteral("btnOk"));
    btnOk->setDefault(true);
    btnCancelar = new QPushButton(QStringLiteral("Cancelar"), this);
    btnCancelar->setObjectName(QStringLiteral("btnCancelar"));

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(new QLabel(QStringLiteral("Modem:"), this));
    layout->addWidget(cmbModems);
    auto* label = new QLabel(QStringLiteral("Comandos AT (Strings de configuração)"), this);
    label->setBuddy(edtComandos);
    layout->addWidget(label);
    layout->addWidget(edtComandos);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnRestaurar);
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancelar);
    layout->addLayout(buttons);

    connect(cmbModems, &QComboBox::currentIndexChanged, this, &TfrmComandosAT::ShowModel);
    connect(btnRestaurar, &QPushButton::clicked, this, &TfrmComandosAT::RestaurarPadrao);
    connect(btnOk, &QPushButton::clicked, this, &TfrmComandosAT::Confirmar);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);

    const int selected = m_catalogue.selected() - 1;
    if (selected >= 0 && selected < cmbModems->count()) {
        const QSignalBlocker quiet(cmbModems);
        cmbModems->setCurrentIndex(selected);
    }
    // The string of the selected entry of the file, even when it names no listed model.
    edtComandos->setText(m_catalogue.initString(m_catalogue.selected()));
}

void TfrmComandosAT::ShowModel(int comboIndex) {
    if (comboIndex >= 0)
        edtComandos->setText(m_catalogue.initString(comboIndex + 1));
}

void TfrmComandosAT::RestaurarPadrao() {
    const QString builtIn = BuiltInInitString(cmbModems->currentText());
    if (!builtIn.isEmpty())
        edtComandos->setText(builtIn);
}

void TfrmComandosAT::Confirmar() {
    const int index = cmbModems->currentIndex() + 1;
    if (index < 1) {
        reject();
        return;
    }
    // Only what changed is written: an unchanged choice leaves the file as it is.
    const bool changed =
        m_catalogue.initString(index) != edtComandos->text() || m_catalogue.selected() != index;
    if (changed) {
        ModemCatalogue onDisk;
        onDisk.load(m_path); // as it stands now, not as it was when the dialog opened
        onDisk.setInitString(index, edtComandos->text());
        onDisk.setSelected(index);
        QString error;
        if (!onDisk.save(m_path, &error)) {
            OperatorMessages::Tell(this, error, MessageIcon::Critical);
            return;
        }
    }
    m_chosenModel = cmbModems->currentText();
    accept();
}
