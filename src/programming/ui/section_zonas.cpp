#include "programming/ui/section_zonas.h"

#include "programming/programming_image.h"
#include "programming/ui/editor_context.h"
#include "store/data_module.h"
#include "widgets/field_binder.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLineEdit>
#include <QMenu>
#include <QTabWidget>
#include <QVBoxLayout>

namespace {

const QString kStay = QStringLiteral("Zona stay");
const QString kPartitionB = QStringLiteral("Pertence a partição B");

struct AttributeBoxRow {
    ZoneAttribute attribute;
    const char* caption;
};
const AttributeBoxRow kAttributeBoxes[] = {
    {ZoneAttribute::PartitionA, "Pertence a partição A"},
    {ZoneAttribute::Stay, "Zona stay"},
    {ZoneAttribute::Silent, "Zona silenciosa"},
    {ZoneAttribute::Follower, "Zona seguidora"},
    {ZoneAttribute::Intelligent, "Zona inteligente"},
    {ZoneAttribute::AutoBypass, "Zona auto-anulável"},
    {ZoneAttribute::Fire, "Zona NA (incêndio)"},
    {ZoneAttribute::BypassAllowed, "Permite inibir (bypass)"},
};

const char* const kKeypadCaptions[] = {
    "Pertence a partição A", "Zona stay",      "Tempo de entrada", "Tempo de saída",
    "Zona silenciosa",       "Zona seguidora", "Zona inteligente", "Chime"};

// Which attribute boxes a zone type leaves enabled.
bool AttributeEnabled(ZoneType type, ZoneAttribute a, bool partitioned) {
    switch (type) {
    case ZoneType::Desabilitada:
        return false;
    case ZoneType::TempoDeEntrada:
    case ZoneType::TempoDeEntradaESaida:
        return a != ZoneAttribute::Follower;
    case ZoneType::Zona24h:
        if (a == ZoneAttribute::Stay)
            return partitioned;
        return a != ZoneAttribute::Follower && a != ZoneAttribute::AutoBypass &&
               a != ZoneAttribute::BypassAllowed;
    case ZoneType::Imediata:
    case ZoneType::TempoDeSaida:
        break;
    }
    return true;
}

} // namespace

SectionZonas::SectionZonas(EditorContext& context, FieldBinder& names, QWidget* parent)
    : SectionWidget(ProgSection::Zonas, context, parent) {
    auto* layout = new QVBoxLayout(Body());
    m_pages = new QTabWidget;
    m_pages->setObjectName(QStringLiteral("pgcZonas"));
    layout->addWidget(m_pages);
    const ProductFamily family = context.family();
    const int board = family == ProductFamily::TenZone ? 8 : 4;
    auto* boardPage = new QWidget;
    auto* boardGrid = new QGridLayout(boardPage);
    for (int zone = 1; zone <= board; ++zone)
        boardGrid->addWidget(BuildBoardZone(zone, names), (zone - 1) / 4, (zone - 1) % 4);
    m_pages->addTab(boardPage, QStringLiteral("Zonas da placa"));
    auto* keypadPage = new QWidget;
    auto* keypadGrid = new QHBoxLayout(keypadPage);
    if (family == ProductFamily::TenZone) {
        keypadGrid->addWidget(BuildKeypadZone(9, names));
        keypadGrid->addWidget(BuildKeypadZone(10, names));
        m_pages->addTab(keypadPage, QStringLiteral("Zonas de teclado"));
    } else {
        // Zone 5 of the 5-zone model is its keypad zone, with the attributes of zones 1..4.
        keypadGrid->addWidget(BuildBoardZone(5, names));
        m_pages->addTab(keypadPage, QStringLiteral("Zona de teclado"));
    }
    keypadGrid->addStretch();
}

QGroupBox* SectionZonas::BuildBoardZone(int zone, FieldBinder& names) {
    auto* group = new QGroupBox(QStringLiteral("Zona %1").arg(zone));
    group->setObjectName(QStringLiteral("grpZona%1").arg(zone));
    auto* layout = new QVBoxLayout(group);
    auto* name = new QLineEdit;
    name->setObjectName(QStringLiteral("dbedtZona%1").arg(zone));
    name->setMaxLength(20);
    names.BindText(name, Context().record.DataModule().DSetZonas, QStringLiteral("ZONA%1").arg(zone));
    layout->addWidget(name);
    BoardZone z;
    z.group = group;
    z.type = new QComboBox;
    z.type->setObjectName(QStringLiteral("cmbTipoZona%1").arg(zone));
    z.type->addItems(ZoneTypeCaptions());
    layout->addWidget(z.type);
    connect(z.type, &QComboBox::currentIndexChanged, this,
            [this, zone](int position) { TypeChosen(zone, position); });
    const ProductFamily family = Context().family();
    for (const AttributeBoxRow& a : kAttributeBoxes) {
        if (!FamilyHasZoneAttribute(family, a.attribute))
            continue;
        auto* box = new QCheckBox(QString::fromUtf8(a.caption));
        box->setObjectName(QStringLiteral("chkZona%1_%2").arg(zone).arg(int(a.attribute)));
        layout->addWidget(box);
        const ZoneAttribute attribute = a.attribute;
        connect(box, &QCheckBox::toggled, this,
                [this, zone, attribute](bool on) { AttributeClicked(zone, attribute, on); });
        z.boxes.append({attribute, box});
    }
    group->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(group, &QWidget::customContextMenuRequested, this, [this, group](const QPoint& at) {
        QMenu menu;
        menu.addAction(QStringLiteral("Selecionar todos"), this, [this, group] { SelectAll(group, true); });
        menu.addAction(QStringLiteral("Desmarcar todos"), this, [this, group] { SelectAll(group, false); });
        menu.exec(group->mapToGlobal(at));
    });
    m_zones.append(z);
    return group;
}

QGroupBox* SectionZonas::BuildKeypadZone(int zone, FieldBinder& names) {
    auto* group = new QGroupBox(QStringLiteral("Zona %1").arg(zone));
    group->setObjectName(QStringLiteral("grpZona%1").arg(zone));
    auto* layout = new QVBoxLayout(group);
    auto* name = new QLineEdit;
    name->setObjectName(QStringLiteral("dbedtZona%1").arg(zone));
    name->setMaxLength(20);
    names.BindText(name, Context().record.DataModule().DSetZonas, QStringLiteral("ZONA%1").arg(zone));
    layout->addWidget(name);
    KeypadZone k{zone, {}};
    for (int bit = 0; bit < 8; ++bit) {
        auto* box = new QCheckBox(QString::fromUtf8(kKeypadCaptions[bit]));
        box->setObjectName(QStringLiteral("chkZona%1_bit%2").arg(zone).arg(bit));
        layout->addWidget(box);
        connect(box, &QCheckBox::toggled, this, [this, zone] { KeypadClicked(zone); });
        k.bits.append(box);
    }
    group->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(group, &QWidget::customContextMenuRequested, this, [this, group](const QPoint& at) {
        QMenu menu;
        menu.addAction(QStringLiteral("Selecionar todos"), this, [this, group] { SelectAll(group, true); });
        menu.addAction(QStringLiteral("Desmarcar todos"), this, [this, group] { SelectAll(group, false); });
        menu.exec(group->mapToGlobal(at));
    });
    m_keypad.append(k);
    return group;
}

QCheckBox* SectionZonas::AttributeBox(int zone, ZoneAttribute a) const {
    for (const auto& [attribute, box] : m_zones.at(zone - 1).boxes) {
        if (attribute == a)
            return box;
    }
    return nullptr;
}

void SectionZonas::TypeChosen(int zone, int position) {
    if (Quiet() || position < 0)
        return;
    ProgrammingImage& pc = Context().PC();
    pc.setZoneType(zone, ZoneType(position));
    Context().Wrote();
    const LoadingGuard loading(Context().record);
    ShowZone(zone, pc);
}

void SectionZonas::AttributeClicked(int zone, ZoneAttribute a, bool on) {
    if (Quiet())
        return;
    Context().PC().setZoneAttribute(a, zone, on);
    Context().Wrote();
}

void SectionZonas::KeypadClicked(int zone) {
    if (Quiet())
        return;
    for (const KeypadZone& k : std::as_const(m_keypad)) {
        if (k.zone != zone)
            continue;
        quint8 bits = 0;
        for (int bit = 0; bit < 8; ++bit) {
            if (k.bits.at(bit)->isChecked())
                bits |= quint8(1u << bit);
        }
        Context().PC().setKeypadZoneAttributes(zone, bits);
        Context().Wrote();
    }
}

void SectionZonas::SelectAll(QGroupBox* group, bool on) {
    for (QCheckBox* box : group->findChildren<QCheckBox*>()) {
        if (box->isEnabled())
            box->setChecked(on);
    }
}

void SectionZonas::ShowZone(int zone, const ProgrammingImage& image) {
    const BoardZone& z = m_zones.at(zone - 1);
    const ZoneType type = image.zoneType(zone);
    z.type->setCurrentIndex(int(type));
    const bool partitioned = image.isPartitioned();
    for (const auto& [attribute, box] : z.boxes) {
        box->setChecked(image.zoneAttribute(attribute, zone));
        box->setEnabled(AttributeEnabled(type, attribute, partitioned));
    }
}

void SectionZonas::CaptionStayBoxes(const ProgrammingImage& image) {
    const QString caption = image.isPartitioned() ? kPartitionB : kStay;
    for (int zone = 1; zone <= m_zones.size(); ++zone) {
        if (QCheckBox* box = AttributeBox(zone, ZoneAttribute::Stay))
            box->setText(caption);
    }
    for (const KeypadZone& k : std::as_const(m_keypad))
        k.bits.at(KeypadStay)->setText(caption);
}

void SectionZonas::Decode(const ProgrammingImage& image) {
    CaptionStayBoxes(image);
    for (int zone = 1; zone <= m_zones.size(); ++zone)
        ShowZone(zone, image);
    for (const KeypadZone& k : std::as_const(m_keypad)) {
        const quint8 bits = image.keypadZoneAttributes(k.zone);
        for (int bit = 0; bit < 8; ++bit)
            k.bits.at(bit)->setChecked(bits & (1u << bit));
    }
}

void SectionZonas::MarkOwnDifferences() {
    for (int zone = 1; zone <= m_zones.size(); ++zone) {
        const BoardZone& z = m_zones.at(zone - 1);
        bool typeDiffers = false;
        for (ZoneAttribute a : {ZoneAttribute::Disabled, ZoneAttribute::Hour24, ZoneAttribute::EntryDelay,
                                ZoneAttribute::ExitDelay})
            typeDiffers |= BitDiffers(ZoneAttributeByte(a), zone - 1);
        Mark(z.type, typeDiffers);
        for (const auto& [attribute, box] : z.boxes)
            Mark(box, BitDiffers(ZoneAttributeByte(attribute), zone - 1));
    }
    for (const KeypadZone& k : std::as_const(m_keypad)) {
        const int byte = k.zone == 9 ? kKeypadZone9Byte : kKeypadZone10Byte;
        for (int bit = 0; bit < 8; ++bit)
            Mark(k.bits.at(bit), BitDiffers(byte, bit));
    }
}

void SectionZonas::PartitionChanged() {
    if (ShowsAlarm())
        return;
    ProgrammingImage& pc = Context().PC();
    for (int zone = 1; zone <= m_zones.size(); ++zone)
        pc.setZoneType(zone, pc.zoneType(zone));
    Refresh();
}
