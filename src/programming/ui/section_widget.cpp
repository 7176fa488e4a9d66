#include "programming/ui/section_widget.h"

#include "programming/programming_image.h"
#include "programming/ui/editor_context.h"
#include "widgets/input_rules.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSpinBox>
#include <QApplication>
#include <QButtonGroup>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace {

const char* const kDiffersProperty = "differsFromPanel";
const char* const kOwnToolTipProperty = "ownToolTip";
const QColor kMarkGround(0xFF, 0xD5, 0x4F);
const QColor kMarkText(0xB0, 0x5A, 0x00);

QString SectionObjectName(ProgSection section) {
    switch (section) {
    case ProgSection::Zonas:
        return QStringLiteral("secZonas");
    case ProgSection::Usuarios:
        return QStringLiteral("secUsuarios");
    case ProgSection::Tempos:
        return QStringLiteral("secTempos");
    case ProgSection::Comunicacao:
        return QStringLiteral("secComunicacao");
    case ProgSection::Opcoes:
        return QStringLiteral("secOpcoes");
    case ProgSection::Pgms:
        return QStringLiteral("secPgms");
    case ProgSection::Reporte:
        return QStringLiteral("secReporte");
    case ProgSection::CodigosPainel:
        break;
    }
    return QStringLiteral("secCodigos");
}

} // namespace

SectionWidget::SectionWidget(ProgSection section, EditorContext& context, QWidget* parent)
    : QGroupBox(SectionCaption(section), parent), m_section(section), m_context(context),
      m_body(new QWidget) {
    setObjectName(SectionObjectName(section));
    QFont title = font();
    title.setBold(true);
    setFont(title);
    auto* layout = new QVBoxLayout(this);
    auto* header = new QHBoxLayout;
    header->addWidget(new QLabel(QStringLiteral("Fonte dos Dados")));
    rbFontePC = new QRadioButton(QStringLiteral("PC"));
    rbFontePC->setObjectName(QStringLiteral("rbFontePC"));
    rbFonteAlarme = new QRadioButton(QStringLiteral("Alarme"));
    rbFonteAlarme->setObjectName(QStringLiteral("rbFonteAlarme"));
    auto* source = new QButtonGroup(this);
    source->addButton(rbFontePC);
    source->addButton(rbFonteAlarme);
    rbFontePC->setChecked(true);
    header->addWidget(rbFontePC);
    header->addWidget(rbFonteAlarme);
    header->addStretch();
    btnEnviar = new QPushButton(QStringLiteral("Enviar para o alarme"));
    btnEnviar->setObjectName(QStringLiteral("btnEnviar"));
    btnCarregar = new QPushButton(QStringLiteral("Carregar dados do alarme para o PC"));
    btnCarregar->setObjectName(QStringLiteral("btnCarregar"));
    for (QPushButton* button : {btnEnviar, btnCarregar}) {
        button->setAutoDefault(false);
        header->addWidget(button);
    }
    layout->addLayout(header);
    QFont plain = font();
    plain.setBold(false);
    m_body->setFont(plain);
    for (QWidget* w : {static_cast<QWidget*>(rbFontePC), static_cast<QWidget*>(rbFonteAlarme),
                       static_cast<QWidget*>(btnEnviar), static_cast<QWidget*>(btnCarregar)})
        w->setFont(plain);
    layout->addWidget(m_body);

    connect(rbFontePC, &QRadioButton::clicked, this, &SectionWidget::ShowFromPC);
    connect(rbFonteAlarme, &QRadioButton::clicked, this, &SectionWidget::ShowFromAlarm);
    connect(btnEnviar, &QPushButton::clicked, this, [this] { Q_EMIT SendRequested(m_section); });
    connect(btnCarregar, &QPushButton::clicked, this, [this] { Q_EMIT LoadRequested(m_section); });
    connect(&context, &EditorContext::ImageEdited, this, &SectionWidget::MarkDifferences);
}

bool SectionWidget::Quiet() const {
    return m_context.Loading() || ShowsAlarm();
}

bool SectionWidget::ShowsAlarm() const {
    return rbFonteAlarme->isChecked();
}

void SectionWidget::ShowFromPC() {
    rbFontePC->setChecked(true);
    m_body->setEnabled(true);
    const LoadingGuard loading(m_context.record);
    Decode(m_context.PC());
    MarkDifferences();
}

void SectionWidget::ShowFromAlarm() {
    rbFonteAlarme->setChecked(true);
    m_body->setEnabled(false);
    const LoadingGuard loading(m_context.record);
    Decode(m_context.Alarm());
    MarkDifferences();
}

void SectionWidget::Refresh() {
    if (ShowsAlarm())
        ShowFromAlarm();
    else
        ShowFromPC();
}

QLineEdit* SectionWidget::AddField(ProgField field, const char* name, const QString& characters,
                                   int maxLength) {
    auto* edit = new QLineEdit;
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    edit->setMaximumWidth(maxLength <= 3 ? 48 : 160);
    if (!characters.isEmpty())
        InputRules::AcceptOnly(edit, characters);
    connect(edit, &QLineEdit::textChanged, this, [this, field](const QString& text) {
        if (Quiet())
            return;
        m_context.PC().setText(field, text);
        m_context.Wrote();
    });
    m_fields.append({field, edit});
    return edit;
}

void SectionWidget::DecodeFields(const ProgrammingImage& image) {
    for (const FieldEdit& f : std::as_const(m_fields))
        f.edit->setText(image.text(f.field));
}

bool SectionWidget::Differs(int first, int count) const {
    if (!m_alarmRead)
        return false;
    const ProgrammingImages& images = m_context.record.Images();
    for (int n = first; n < first + count && n < images.ImagemPC.size(); ++n) {
        if (images.ImagemPC.byte(n) != images.ImagemAlarme.byte(n))
            return true;
    }
    return false;
}

bool SectionWidget::BitDiffers(int byte, int bit) const {
    if (!m_alarmRead)
        return false;
    const ProgrammingImages& images = m_context.record.Images();
    return ((images.ImagemPC.byte(byte) ^ images.ImagemAlarme.byte(byte)) >> bit) & 1;
}

void SectionWidget::Mark(QWidget* control, bool differs) {
    if (IsMarked(control) == differs)
        return;
    if (!control->property(kOwnToolTipProperty).isValid())
        control->setProperty(kOwnToolTipProperty, control->toolTip());
    control->setProperty(kDiffersProperty, differs);
    // An amber ground for fields, lists and combo boxes (their ground is Base or Button, by style
    // and state), an amber text for check boxes and radio buttons.
    QPalette palette = control->palette();
    const QPalette standard = QApplication::palette(control);
    if (qobject_cast<QAbstractButton*>(control)) {
        palette.setColor(QPalette::WindowText, differs ? kMarkText : standard.color(QPalette::WindowText));
        palette.setColor(QPalette::ButtonText, differs ? kMarkText : standard.color(QPalette::ButtonText));
    } else {
        for (const QPalette::ColorRole role : {QPalette::Base, QPalette::Button, QPalette::Window}) {
            for (const QPalette::ColorGroup group :
                 {QPalette::Active, QPalette::Inactive, QPalette::Disabled})
                palette.setColor(group, role, differs ? kMarkGround : standard.color(group, role));
        }
    }
    control->setPalette(palette);
    // Styles paint a combo box's face and a list's ground with gradients and frames of their own,
    // which hide the palette's colour: those get the colour through a style sheet of their kind.
    if (qobject_cast<QComboBox*>(control) || qobject_cast<QAbstractItemView*>(control)) {
        const char* kind = qobject_cast<QComboBox*>(control) ? "QComboBox" : "QAbstractItemView";
        control->setStyleSheet(
            differs
                ? QStringLiteral("%1 { background-color: %2; }").arg(QLatin1String(kind), kMarkGround.name())
                : QString());
    }
    control->setAutoFillBackground(differs && !qobject_cast<QAbstractButton*>(control));
    if (!differs)
        control->setToolTip(control->property(kOwnToolTipProperty).toString());
}

QColor SectionWidget::MarkColour(const QWidget* control) {
    return qobject_cast<const QAbstractButton*>(control) ? kMarkText : kMarkGround;
}

void SectionWidget::ShowPanelValues() {
    // A field's panel value is its text in the panel's copy; a box marked for its bit differs in
    // that bit, so the panel holds the other state.
    const ProgrammingImage& alarm = m_context.Alarm();
    for (const FieldEdit& f : std::as_const(m_fields)) {
        if (IsMarked(f.edit)) {
            const QString text = alarm.text(f.field);
            f.edit->setToolTip(MsgValorNoPainel(text.isEmpty() ? QStringLiteral("(vazio)") : text));
        }
    }
    for (QAbstractButton* box : m_body->findChildren<QAbstractButton*>()) {
        if (IsMarked(box) && box->isCheckable())
            box->setToolTip(MsgValorNoPainel(box->isChecked() ? QStringLiteral("desmarcado")
                                                              : QStringLiteral("marcado")));
    }
}

bool SectionWidget::IsMarked(const QWidget* control) {
    return control->property(kDiffersProperty).toBool();
}

void SectionWidget::MarkDifferences() {
    // A panel's copy holds codes, which are never all zeros: an image of zeros was never read (or
    // was cleared when the session ended).
    const ProgrammingImage& alarm = m_context.Alarm();
    m_alarmRead = false;
    for (int b = 0; b < alarm.blockCount() && !m_alarmRead; ++b)
        m_alarmRead = !alarm.blockIsBlank(b);
    const ProductFamily family = m_context.family();
    for (const FieldEdit& f : std::as_const(m_fields))
        Mark(f.edit, Differs(FieldOffset(f.field, family), EncodedLength(PlaceOf(f.field).encoding)));
    MarkOwnDifferences();
    ShowPanelValues();
}

QLabel* SectionWidget::Caption(QGridLayout* grid, int row, int column, const QString& text) {
    auto* label = new QLabel(text);
    grid->addWidget(label, row, column);
    return label;
}
