#pragma once

#include "programming/image_layout.h"

#include <QByteArray>

#include <array>

// One programming memory image of a panel family (`ImagemPC` or `ImagemAlarme`): the raw bytes in
// image order plus getters and setters per field in the panel's terms. Setters apply the
// encodings and defaults of an editor control writing its field; getters give the text the
// control shows. Bytes that no field names are only changed by setByte/setBytes/setBlock.
class ProgrammingImage {
public:
    explicit ProgrammingImage(ProductFamily family = ProductFamily::TenZone);
    // All zeros, then the initial fill of the product code's editor.
    static ProgrammingImage Initial(int productCode);

    ProductFamily family() const { return m_family; }
    int size() const { return ImageSize(m_family); }
    int blockCount() const { return BlockCount(m_family); }

    quint8 byte(int n) const;
    void setByte(int n, quint8 value);
    QByteArray bytes() const;
    // Copies the first size() bytes of `data` (fewer when it is shorter) into the image.
    void setBytes(const QByteArray& data);
    QByteArray block(int b) const;
    // Copies up to 16 bytes of `data` into block b (a panel's read answer).
    void setBlock(int b, const QByteArray& data);
    QByteArray chunk(int b, int c) const;
    // A block whose 16 bytes are all zero has not been read from the panel.
    bool blockIsBlank(int b) const;
    void clear();
    void applyFill(const QVector<FillRule>& fill);

    friend bool operator==(const ProgrammingImage&, const ProgrammingImage&) = default;

    // Scalar fields (see ProgField). text() of a field the family lacks is empty and setText() does
    // nothing. List fields (format, PGM modes) read and take the entry's two-digit code ("88").
    bool hasField(ProgField field) const { return FieldOffset(field, m_family) >= 0; }
    QString text(ProgField field) const;
    void setText(ProgField field, const QString& text);
    // The first byte of a field, for fields whose value is one byte (times, lists, digits).
    quint8 value(ProgField field) const;

    // Zone attribute masks as the editors keep them: bit z = zone z + 1; Disabled is the
    // complement of image byte 48.
    quint8 zoneMask(ZoneAttribute a) const;
    void setZoneMask(ZoneAttribute a, quint8 mask);
    bool zoneAttribute(ZoneAttribute a, int zone) const;
    void setZoneAttribute(ZoneAttribute a, int zone, bool on);
    // The zone type list of a board zone. zoneType() derives it from the masks in the order the
    // editor's loading does ("Imediata", then disabled, 24-hour, exit, entry); setZoneType()
    // updates the disabled, 24-hour, entry and exit bits and clears the attributes the type rules
    // out: every attribute for "DESABILITADA"; the follower for the entry types; stay (unless the
    // 10-zone panel is partitioned), follower, auto-bypassing and bypass allowed for "Zona 24h".
    ZoneType zoneType(int zone) const;
    void setZoneType(int zone, ZoneType type);
    // Keypad zone 9 or 10 of the 10-zone family: the whole attribute byte (KeypadZoneBit).
    quint8 keypadZoneAttributes(int zone) const;
    void setKeypadZoneAttributes(int zone, quint8 bits);

    // Users n = 1..UserCount(family).
    QString userCode(int n) const;
    void setUserCode(int n, const QString& text);
    quint8 userAttributes(int n) const;
    void setUserAttributes(int n, quint8 bits);
    bool userAttribute(int n, int bit) const;
    void setUserAttribute(int n, int bit, bool on);

    // Options by number (16 x byte index + bit) and the option bytes as PROGBIT_1..PROGBIT_n.
    bool option(int number) const;
    void setOption(int number, bool on);
    bool option(NamedOption option) const;
    void setOption(NamedOption option, bool on);
    quint8 progBit(int n) const;
    void setProgBit(int n, quint8 value);
    // Report mode 0..3 (bits 0..1 of byte 32). Modes 1..3 clear "Modo discadora".
    int reportMode() const;
    void setReportMode(int mode);
    bool isPartitioned() const;

private:
    ProductFamily m_family;
    std::array<quint8, kMaxImageSize> m_bytes{};
};
