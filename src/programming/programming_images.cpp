#include "programming/programming_images.h"

#include "programming/image_fields.h"

namespace {

bool IsHourByte(int n) {
    return n == 17 || n == 19 || n == 21 || n == 23;
}
bool IsMinuteByte(int n) {
    return n == 18 || n == 20 || n == 22 || n == 24;
}

} // namespace

ProgrammingImages::ProgrammingImages(int productCode)
    : ImagemPC(ProgrammingImage::Initial(productCode)), ImagemAlarme(ImageFamilyOf(productCode)),
      m_productCode(productCode) {}

bool ProgrammingImages::markSection(ProgSection section, ChunkMarks& marks) const {
    return MarkDifferences(ImagemPC, ImagemAlarme, SectionSendRanges(section, m_productCode), marks);
}

bool ProgrammingImages::markWholeProgramming(bool withUserAccounts, ChunkMarks& marks) const {
    return MarkDifferences(ImagemPC, ImagemAlarme, WholeSendRanges(m_productCode, withUserAccounts), marks);
}

void ProgrammingImages::copySectionFromAlarm(ProgSection section) {
    const bool checkTimes = family() == ProductFamily::TenZone;
    for (const ByteRange& r : SectionCopyRanges(section, m_productCode)) {
        for (int n = r.first; n <= r.last; ++n) {
            quint8 b = ImagemAlarme.byte(n);
            if (checkTimes && IsHourByte(n) && !ImageField::HourValue(b, 23))
                b = 0x23;
            else if (checkTimes && IsMinuteByte(n) && !ImageField::HourValue(b, 59))
                b = 0x59;
            ImagemPC.setByte(n, b);
        }
    }
}

void ProgrammingImages::copyAllFromAlarm() {
    for (ProgSection section : kSectionLoadOrder)
        copySectionFromAlarm(section);
}

void NormalizaAtributosZonas(ProgrammingImage& image) {
    // The same rules for both models; on the 5-zone model byte 50 is unused and bit 3 of byte 32 is
    // another option, but the panel's copy is treated alike so both compare the same way.
    const quint8 zones = quint8((1u << BoardZoneCount(image.family())) - 1);
    auto clearBits = [&](int byte, quint8 bits) { image.setByte(byte, image.byte(byte) & ~(bits & zones)); };

    // A disabled zone keeps no attribute.
    const quint8 disabled = quint8(~image.byte(48));
    for (int n = 49; n <= 59; ++n)
        clearBits(n, disabled);

    // A 24-hour zone has no partition A, delays, following, auto-bypass or bypass; its stay bit
    // stays when bit 3 of byte 32 is set (partition B on a partitioned 10-zone panel).
    const quint8 hour24 = image.byte(49);
    for (int n : {50, 53, 54, 55, 57, 59})
        clearBits(n, hour24);
    if (!(image.byte(32) & 0x08))
        clearBits(51, hour24);

    // A zone with entry delay is no follower.
    clearBits(53, image.byte(54));
}
