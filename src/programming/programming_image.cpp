#include "programming/programming_image.h"

#include "programming/image_fields.h"

#include <algorithm>

namespace {

quint8 WithBit(quint8 byte, int bit, bool on) {
    return on ? quint8(byte | (1u << bit)) : quint8(byte & ~(1u << bit));
}

int KeypadZoneByte(int zone) {
    return zone == 9 ? kKeypadZone9Byte : zone == 10 ? kKeypadZone10Byte : -1;
}

} // namespace

ProgrammingImage::ProgrammingImage(ProductFamily family)
    : m_family(family == ProductFamily::FiveZone ? ProductFamily::FiveZone : ProductFamily::TenZone) {}

ProgrammingImage ProgrammingImage::Initial(int productCode) {
    ProgrammingImage image(ImageFamilyOf(productCode));
    image.applyFill(InitialFill(productCode));
    return image;
}

quint8 ProgrammingImage::byte(int n) const {
    Q_ASSERT(n >= 0 && n < size());
    return m_bytes[n];
}

void ProgrammingImage::setByte(int n, quint8 value) {
    Q_ASSERT(n >= 0 && n < size());
    m_bytes[n] = value;
}

QByteArray ProgrammingImage::bytes() const {
    return QByteArray(reinterpret_cast<const char*>(m_bytes.data()), size());
}

void ProgrammingImage::setBytes(const QByteArray& data) {
    const int n = qMin(size(), int(data.size()));
    for (int i = 0; i < n; ++i)
        m_bytes[i] = quint8(data.at(i));
}

QByteArray ProgrammingImage::block(int b) const {
    Q_ASSERT(b >= 0 && b < blockCount());
    return QByteArray(reinterpret_cast<const char*>(m_bytes.data()) + b * kBlockSize, kBlockSize);
}

void ProgrammingImage::setBlock(int b, const QByteArray& data) {
    Q_ASSERT(b >= 0 && b < blockCount());
    const int n = qMin(kBlockSize, int(data.size()));
    for (int i = 0; i < n; ++i)
        m_bytes[b * kBlockSize + i] = quint8(data.at(i));
}

QByteArray ProgrammingImage::chunk(int b, int c) const {
    Q_ASSERT(b >= 0 && b < blockCount() && c >= 0 && c < kChunksPerBlock);
    return QByteArray(reinterpret_cast<const char*>(m_bytes.data()) + b * kBlockSize + c * kChunkSize,
                      kChunkSize);
}

bool ProgrammingImage::blockIsBlank(int b) const {
    for (int i = 0; i < kBlockSize; ++i) {
        if (m_bytes[b * kBlockSize + i] != 0)
            return false;
    }
    return true;
}

void ProgrammingImage::clear() {
    m_bytes.fill(0);
}

void ProgrammingImage::applyFill(const QVector<FillRule>& fill) {
    for (const FillRule& rule : fill) {
        for (int n = rule.range.first; n <= rule.range.last && n < size(); ++n)
            m_bytes[n] = rule.value;
    }
}

QString ProgrammingImage::text(ProgField field) const {
    const int at = FieldOffset(field, m_family);
    if (at < 0)
        return {};
    const quint8 b = m_bytes[at];
    switch (PlaceOf(field).encoding) {
    case FieldEncoding::Number:
    case FieldEncoding::Rings:
        return ImageField::DecodeNumber(b);
    case FieldEncoding::Hour:
    case FieldEncoding::Minute:
    case FieldEncoding::OptionTextCode:
        return ImageField::DecodeHour(b); // both show the byte as two hexadecimal digits
    case FieldEncoding::DuressDigit:
        return ImageField::DecodeDuressDigit(b);
    case FieldEncoding::Code:
        return ImageField::DecodeCode(b, m_bytes[at + 1]);
    case FieldEncoding::Account:
        return ImageField::DecodeAccount(b, m_bytes[at + 1]);
    case FieldEncoding::PanelCode:
        return ImageField::DecodePanelCode(b, m_bytes[at + 1]);
    case FieldEncoding::Phone: {
        std::array<quint8, 8> phone;
        std::copy_n(m_bytes.begin() + at, 8, phone.begin());
        return ImageField::DecodePhone(phone);
    }
    case FieldEncoding::ReportDigit:
        return ImageField::DecodeReportDigit(b);
    case FieldEncoding::ReportCode:
        return ImageField::DecodeReportCode(b);
    }
    return {};
}

void ProgrammingImage::setText(ProgField field, const QString& text) {
    const int at = FieldOffset(field, m_family);
    if (at < 0)
        return;
    const FieldPlace& place = PlaceOf(field);
    auto put = [&](const auto& encoded) { std::copy(encoded.begin(), encoded.end(), m_bytes.begin() + at); };
    switch (place.encoding) {
    case FieldEncoding::Number:
    case FieldEncoding::Rings:
        m_bytes[at] = ImageField::EncodeNumber(text, place.defaultByte);
        break;
    case FieldEncoding::Hour:
        m_bytes[at] = ImageField::EncodeHour(text, 23, place.defaultByte);
        break;
    case FieldEncoding::Minute:
        m_bytes[at] = ImageField::EncodeHour(text, 59, place.defaultByte);
        break;
    case FieldEncoding::DuressDigit:
        m_bytes[at] = ImageField::EncodeDuressDigit(text);
        break;
    case FieldEncoding::OptionTextCode:
        // A list without a selection leaves its byte as it was.
        if (const auto code = ImageField::EncodeOptionTextCode(text))
            m_bytes[at] = *code;
        break;
    case FieldEncoding::Code:
        put(ImageField::EncodeCode(text));
        break;
    case FieldEncoding::Account:
        put(ImageField::EncodeAccount(text));
        break;
    case FieldEncoding::PanelCode:
        if (const auto code = ImageField::EncodePanelCode(text))
            put(*code);
        break;
    case FieldEncoding::Phone:
        put(ImageField::EncodePhone(text));
        break;
    case FieldEncoding::ReportDigit:
    case FieldEncoding::ReportCode:
        m_bytes[at] = ImageField::EncodeDigitPair(text);
        break;
    }
}

quint8 ProgrammingImage::value(ProgField field) const {
    const int at = FieldOffset(field, m_family);
    return at < 0 ? 0 : m_bytes[at];
}

quint8 ProgrammingImage::zoneMask(ZoneAttribute a) const {
    const quint8 b = m_bytes[ZoneAttributeByte(a)];
    return a == ZoneAttribute::Disabled ? quint8(~b) : b;
}

void ProgrammingImage::setZoneMask(ZoneAttribute a, quint8 mask) {
    if (!FamilyHasZoneAttribute(m_family, a))
        return;
    m_bytes[ZoneAttributeByte(a)] = a == ZoneAttribute::Disabled ? quint8(~mask) : mask;
}

bool ProgrammingImage::zoneAttribute(ZoneAttribute a, int zone) const {
    Q_ASSERT(zone >= 1 && zone <= BoardZoneCount(m_family));
    return zoneMask(a) & (1u << (zone - 1));
}

void ProgrammingImage::setZoneAttribute(ZoneAttribute a, int zone, bool on) {
    Q_ASSERT(zone >= 1 && zone <= BoardZoneCount(m_family));
    setZoneMask(a, WithBit(zoneMask(a), zone - 1, on));
}

ZoneType ProgrammingImage::zoneType(int zone) const {
    // The fire attribute plays no part: a fire zone shows the type its other bits give, so a
    // disabled or 24-hour fire zone keeps being one when it is loaded.
    ZoneType type = ZoneType::Imediata;
    if (zoneAttribute(ZoneAttribute::Disabled, zone))
        type = ZoneType::Desabilitada;
    if (zoneAttribute(ZoneAttribute::Hour24, zone))
        type = ZoneType::Zona24h;
    if (zoneAttribute(ZoneAttribute::ExitDelay, zone))
        type = ZoneType::TempoDeSaida;
    if (zoneAttribute(ZoneAttribute::EntryDelay, zone))
        type = type == ZoneType::TempoDeSaida ? ZoneType::TempoDeEntradaESaida : ZoneType::TempoDeEntrada;
    return type;
}

void ProgrammingImage::setZoneType(int zone, ZoneType type) {
    setZoneAttribute(ZoneAttribute::Disabled, zone, type == ZoneType::Desabilitada);
    setZoneAttribute(ZoneAttribute::Hour24, zone, type == ZoneType::Zona24h);
    setZoneAttribute(ZoneAttribute::EntryDelay, zone,
                     type == ZoneType::TempoDeEntrada || type == ZoneType::TempoDeEntradaESaida);
    setZoneAttribute(ZoneAttribute::ExitDelay, zone,
                     type == ZoneType::TempoDeSaida || type == ZoneType::TempoDeEntradaESaida);

    QVector<ZoneAttribute> cleared;
    switch (type) {
    case ZoneType::Desabilitada:
        cleared = {ZoneAttribute::PartitionA, ZoneAttribute::Stay,         ZoneAttribute::Silent,
                   ZoneAttribute::Follower,   ZoneAttribute::Intelligent,  ZoneAttribute::AutoBypass,
                   ZoneAttribute::Fire,       ZoneAttribute::BypassAllowed};
        break;
    case ZoneType::TempoDeEntrada:
    case ZoneType::TempoDeEntradaESaida:
        cleared = {ZoneAttribute::Follower};
        break;
    case ZoneType::Zona24h:
        cleared = {ZoneAttribute::Follower, ZoneAttribute::AutoBypass, ZoneAttribute::BypassAllowed};
        // On a partitioned panel the same box means partition B, which a 24-hour zone may keep.
        if (!isPartitioned())
            cleared.append(ZoneAttribute::Stay);
        break;
    case ZoneType::Imediata:
    case ZoneType::TempoDeSaida:
        break;
    }
    for (ZoneAttribute a : cleared)
        setZoneAttribute(a, zone, false);
}

quint8 ProgrammingImage::keypadZoneAttributes(int zone) const {
    const int at = KeypadZoneByte(zone);
    return m_family == ProductFamily::TenZone && at >= 0 ? m_bytes[at] : 0;
}

void ProgrammingImage::setKeypadZoneAttributes(int zone, quint8 bits) {
    const int at = KeypadZoneByte(zone);
    if (m_family == ProductFamily::TenZone && at >= 0)
        m_bytes[at] = bits;
}

QString ProgrammingImage::userCode(int n) const {
    Q_ASSERT(n >= 1 && n <= UserCount(m_family));
    const int at = UserCodeByte(m_family, n);
    return ImageField::DecodeCode(m_bytes[at], m_bytes[at + 1]);
}

void ProgrammingImage::setUserCode(int n, const QString& text) {
    Q_ASSERT(n >= 1 && n <= UserCount(m_family));
    const auto code = ImageField::EncodeCode(text);
    const int at = UserCodeByte(m_family, n);
    m_bytes[at] = code[0];
    m_bytes[at + 1] = code[1];
}

quint8 ProgrammingImage::userAttributes(int n) const {
    Q_ASSERT(n >= 1 && n <= UserCount(m_family));
    return m_bytes[UserAttributeByte(m_family, n)];
}

void ProgrammingImage::setUserAttributes(int n, quint8 bits) {
    Q_ASSERT(n >= 1 && n <= UserCount(m_family));
    m_bytes[UserAttributeByte(m_family, n)] = bits;
}

bool ProgrammingImage::userAttribute(int n, int bit) const {
    return userAttributes(n) & (1u << bit);
}

void ProgrammingImage::setUserAttribute(int n, int bit, bool on) {
    setUserAttributes(n, WithBit(userAttributes(n), bit, on));
}

bool ProgrammingImage::option(int number) const {
    const int at = OptionByteOffset(m_family, number >> 4);
    const int bit = number & 0x0F;
    return at >= 0 && bit < 8 && (m_bytes[at] & (1u << bit));
}

void ProgrammingImage::setOption(int number, bool on) {
    const int at = OptionByteOffset(m_family, number >> 4);
    const int bit = number & 0x0F;
    if (at >= 0 && bit < 8)
        m_bytes[at] = WithBit(m_bytes[at], bit, on);
}

bool ProgrammingImage::option(NamedOption named) const {
    const auto number = OptionNumber(named, m_family);
    return number && option(*number);
}

void ProgrammingImage::setOption(NamedOption named, bool on) {
    if (const auto number = OptionNumber(named, m_family))
        setOption(*number, on);
}

quint8 ProgrammingImage::progBit(int n) const {
    const int at = ProgBitByte(m_family, n);
    return at < 0 ? 0 : m_bytes[at];
}

void ProgrammingImage::setProgBit(int n, quint8 value) {
    const int at = ProgBitByte(m_family, n);
    if (at >= 0)
        m_bytes[at] = value;
}

int ProgrammingImage::reportMode() const {
    return m_bytes[kReportModeByte] & 0x03;
}

void ProgrammingImage::setReportMode(int mode) {
    mode &= 0x03;
    m_bytes[kReportModeByte] = quint8((m_bytes[kReportModeByte] & ~0x03) | mode);
    // Splitting, doubling or alternating the report excludes the dialler mode.
    if (mode != 0)
        setOption(NamedOption::DiallerMode, false);
}

bool ProgrammingImage::isPartitioned() const {
    return option(NamedOption::Partitioned);
}
