#include "workspace/ui/frm_filtra_buffer.h"

#include "base/app_title.h"
#include "base/locale_format.h"
#include "base/operator_messages.h"
#include "programming/product_codes.h"
#include "widgets/balloon_tip.h"
#include "widgets/help.h"
#include "workspace/event_filter_lists.h"
#include "workspace/ui/record_widgets.h"

#include <QCheckBox>
#include <QDateEdit>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QTimeEdit>
#include <QVBoxLayout>

namespace {

constexpr int kHelpTopic = 33;

const QString kHintEvento = QStringLiteral("Para selecionar vários campos ao mesmo tempo, \rmantenha "
                                           "pressionada a tecla 'Shift' ou a tecla 'Control'");
const QString kHintUsuarioZona = QStringLiteral(
    "Para selecionar vários campos ao mesmo tempo, \rmantenha pressionada a 'Shift' ou a tecla 'Control'");

QListWidget* MultiList(const char* name, const QStringList& entries) {
    auto* list = Named(new QListWidget, name);
    list->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list->addItems(entries);
    list->setEnabled(false);
    return list;
}

QStringList Selected(const QListWidget* list) {
    QStringList texts;
    // In the list's order, whatever order they were clicked in.
    for (int row = 0; row < list->count(); ++row) {
        if (list->item(row)->isSelected())
            texts << list->item(row)->text();
    }
    return texts;
}

} // namespace

TfrmFiltraBuffer::TfrmFiltraBuffer(int productCode, QWidget* parent) : QDialog(parent) {
    setObjectName(QStringLiteral("frmFiltraBuffer"));
    setWindowTitle(ApplicationTitle());
    SetHelpTopic(this, kHelpTopic);
    const bool fiveZone = FamilyOf(productCode) == ProductFamily::FiveZone;

    auto* grid = new QGridLayout;
    int row = 0;
    const auto rangeLabels = [](QList<QLabel*>& labels) {
        labels = {new QLabel(QStringLiteral("De:")), new QLabel(QStringLiteral("a"))};
        return labels;
    };

    chkData = Named(new QCheckBox(QStringLiteral("Por data")), "chkData");
    cmbDeData = Named(new QDateEdit(QDate::currentDate()), "cmbDeData");
    cmbAData = Named(new QDateEdit(QDate::currentDate()), "cmbAData");
    for (QDateEdit* edit : {cmbDeData, cmbAData}) {
        edit->setDisplayFormat(ShortDatePattern());
        edit->setCalendarPopup(true);
    }
    rangeLabels(m_dateLabels);
    grid->addWidget(chkData, row, 0);
    grid->addWidget(m_dateLabels[0], row, 1);
    grid->addWidget(cmbDeData, row, 2);
    grid->addWidget(m_dateLabels[1], row, 3);
    grid->addWidget(cmbAData, row++, 4);

    chkHorario = Named(new QCheckBox(QStringLiteral("Por horário")), "chkHorario");
    const QTime now = QTime::currentTime();
    const QTime minute(now.hour(), now.minute());
    cmbDeHorario = Named(new QTimeEdit(minute), "cmbDeHorario");
    cmbAHorario = Named(new QTimeEdit(minute), "cmbAHorario");
    for (QTimeEdit* edit : {cmbDeHorario, cmbAHorario})
        edit->setDisplayFormat(QStringLiteral("HH:mm"));
    rangeLabels(m_timeLabels);
    grid->addWidget(chkHorario, row, 0);
    grid->addWidget(m_timeLabels[0], row, 1);
    grid->addWidget(cmbDeHorario, row, 2);
    grid->addWidget(m_timeLabels[1], row, 3);
    grid->addWidget(cmbAHorario, row++, 4);

    chkParticao = Named(new QCheckBox(QStringLiteral("Partição")), "chkParticao");
    chkParticao->setEnabled(!fiveZone);
    chkPart1 = Named(new QCheckBox(QStringLiteral("A")), "chkPart1");
    chkPart2 = Named(new QCheckBox(QStringLiteral("B")), "chkPart2");
    grid->addWidget(chkParticao, row, 0);
    grid->addWidget(chkPart1, row, 2);
    grid->addWidget(chkPart2, row++, 4);

    chkNumEvento = Named(new QCheckBox(QStringLiteral("Nº do evento")), "chkNumEvento");
    edtDeNumEvento = Named(new QLineEdit, "edtDeNumEvento");
    edtANumEvento = Named(new QLineEdit, "edtANumEvento");
    for (QLineEdit* edit : {edtDeNumEvento, edtANumEvento}) {
        edit->setValidator(
            new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), edit));
        edit->installEventFilter(this);
    }
    rangeLabels(m_numberLabels);
    grid->addWidget(chkNumEvento, row, 0);
    grid->addWidget(m_numberLabels[0], row, 1);
    grid->addWidget(edtDeNumEvento, row, 2);
    grid->addWidget(m_numberLabels[1], row, 3);
    grid->addWidget(edtANumEvento, row++, 4);

    auto* lists = new QHBoxLayout;
    const auto listColumn = [lists](QCheckBox* box, QListWidget* list) {
        auto* column = new QVBoxLayout;
        column->addWidget(box);
        column->addWidget(list);
        lists->addLayout(column, list->objectName() == QLatin1String("lbxEvento") ? 3 : 1);
    };
    chkEvento = Named(new QCheckBox(QStringLiteral("Evento")), "chkEvento");
    lbxEvento = MultiList("lbxEvento", FilterEventEntries(productCode));
    chkUsuario = Named(new QCheckBox(QStringLiteral("Usuário")), "chkUsuario");
    lbxUsuario = MultiList("lbxUsuario", FilterUserEntries(productCode));
    chkZona = Named(new QCheckBox(QStringLiteral("Zona")), "chkZona");
    lbxZona = MultiList("lbxZona", FilterZoneEntries(productCode));
    listColumn(chkEvento, lbxEvento);
    listColumn(chkUsuario, lbxUsuario);
    listColumn(chkZona, lbxZona);

    optTodas = Named(new QRadioButton(QStringLiteral(
                         "Aplicar filtro que corresponda a todos os critérios acima selecionados")),
                     "optTodas");
    optPeloMenos =
        Named(new QRadioButton(QStringLiteral(
                  "Aplicar filtro que corresponda a pelo menos um dos critérios acima selecionados")),
              "optPeloMenos");
    optTodas->setChecked(true);

    btnOK = Named(new QPushButton(QStringLiteral("OK")), "btnOK");
    btnOK->setDefault(true);
    btnCancelar = Named(new QPushButton(QStringLiteral("Cancelar")), "btnCancelar");
    connect(btnOK, &QPushButton::clicked, this, &TfrmFiltraBuffer::accept);
    connect(btnCancelar, &QPushButton::clicked, this, &TfrmFiltraBuffer::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOK);
    buttons->addWidget(btnCancelar);

    auto* root = new QVBoxLayout(this);
    root->addLayout(grid);
    root->addLayout(lists, 1);
    root->addWidget(optTodas);
    root->addWidget(optPeloMenos);
    root->addLayout(buttons);

    for (QCheckBox* box : {chkData, chkHorario, chkParticao, chkEvento, chkUsuario, chkZona, chkNumEvento}) {
        BoxToggled(box, false);
        connect(box, &QCheckBox::toggled, this, [this, box](bool checked) { BoxToggled(box, checked); });
    }
    setFixedSize(sizeHint().expandedTo(QSize(560, 480)));
}

void TfrmFiltraBuffer::BoxToggled(QCheckBox* box, bool checked) {
    QList<QWidget*> controls;
    QList<QLabel*> labels;
    if (box == chkData) {
        controls = {cmbDeData, cmbAData};
        labels = m_dateLabels;
    } else if (box == chkHorario) {
        controls = {cmbDeHorario, cmbAHorario};
        labels = m_timeLabels;
    } else if (box == chkParticao) {
        controls = {chkPart1, chkPart2};
    } else if (box == chkEvento) {
        controls = {lbxEvento};
    } else if (box == chkUsuario) {
        controls = {lbxUsuario};
    } else if (box == chkZona) {
        controls = {lbxZona};
    } else if (box == chkNumEvento) {
        controls = {edtDeNumEvento, edtANumEvento};
        labels = m_numberLabels;
    }
    for (QWidget* control : std::as_const(controls))
        control->setEnabled(checked);
    for (QLabel* label : std::as_const(labels)) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText,
                         checked ? QColor(Qt::black) : palette.color(QPalette::Disabled, QPalette::Text));
        label->setPalette(palette);
    }
    if (!checked || !isVisible())
        return;
    if (box == chkEvento)
        BalloonTip::ShowAt(box, ApplicationTitle(), kHintEvento, BalloonTip::kShowMs);
    else if (box == chkUsuario || box == chkZona)
        BalloonTip::ShowAt(box, ApplicationTitle(), kHintUsuarioZona, BalloonTip::kShowMs);
}

bool TfrmFiltraBuffer::eventFilter(QObject* watched, QEvent* event) {
    // Enter in a number edit moves on to the next control instead of closing the dialog.
    if (event->type() == QEvent::KeyPress && (watched == edtDeNumEvento || watched == edtANumEvento)) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

EventFilter TfrmFiltraBuffer::Filter() const {
    EventFilter f;
    f.byDate = chkData->isChecked();
    f.fromDate = cmbDeData->date();
    f.toDate = cmbAData->date();
    f.byTime = chkHorario->isChecked();
    f.fromTime = cmbDeHorario->time();
    f.toTime = cmbAHorario->time();
    f.byPartition = chkParticao->isEnabled() && chkParticao->isChecked();
    f.partitionA = chkPart1->isChecked();
    f.partitionB = chkPart2->isChecked();
    f.byEvent = chkEvento->isChecked();
    f.events = Selected(lbxEvento);
    f.byUser = chkUsuario->isChecked();
    f.users = Selected(lbxUsuario);
    f.byZone = chkZona->isChecked();
    f.zones = Selected(lbxZona);
    f.byNumber = chkNumEvento->isChecked();
    f.fromNumber = edtDeNumEvento->text();
    f.toNumber = edtANumEvento->text();
    f.matchAll = !optPeloMenos->isChecked();
    return f;
}

void TfrmFiltraBuffer::accept() {
    const QString problem = CheckEventFilter(Filter());
    if (!problem.isEmpty()) {
        OperatorMessages::Tell(this, problem, MessageIcon::Warning);
        return;
    }
    BalloonTip::HideCurrent();
    QDialog::accept();
}
