#include "programming/image_fields.h"

#include <QTest>

using namespace ImageField;

namespace {
QByteArray Bytes(const std::array<quint8, 2>& a) {
    return QByteArray(reinterpret_cast<const char*>(a.data()), 2);
}
QByteArray Bytes(const std::array<quint8, 8>& a) {
    return QByteArray(reinterpret_cast<const char*>(a.data()), 8);
}
} // namespace

class TestImageFields : public QObject {
    Q_OBJECT
private Q_SLOTS:
    void number_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("emptyValue");
        QTest::addColumn<int>("expected");
        QTest::newRow("plain") << "60" << 30 << 60;
        QTest::newRow("empty delay counts as 30") << "" << 30 << 30;
        QTest::newRow("empty auto-test interval counts as 0") << "" << 0 << 0;
        QTest::newRow("above 255") << "300" << 30 << 255;
        QTest::newRow("far above 255") << "99999999999999999999999" << 30 << 255;
        QTest::newRow("below 0") << "-4" << 30 << 0;
        QTest::newRow("auto-test 203 minutes form") << "203" << 0 << 203;
    }
    void number() {
        QFETCH(QString, text);
        QFETCH(int, emptyValue);
        QFETCH(int, expected);
        QCOMPARE(int(EncodeNumber(text, quint8(emptyValue))), expected);
        QCOMPARE(DecodeNumber(quint8(expected)), QString::number(expected));
    }

    void hour_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("maxValue");
        QTest::addColumn<int>("expected");
        QTest::newRow("hour 18") << "18" << 23 << 0x18;
        QTest::newRow("one digit gets a leading 0") << "7" << 23 << 0x07;
        QTest::newRow("empty auto-arm hour writes its default") << "" << 23 << 0xEE;
        QTest::newRow("hour 24 writes the default") << "24" << 23 << 0xEE;
        QTest::newRow("minute 59") << "59" << 59 << 0x59;
        QTest::newRow("minute 60 writes the default") << "60" << 59 << 0xEE;
        QTest::newRow("not a number") << "1a" << 59 << 0xEE;
    }
    void hour() {
        QFETCH(QString, text);
        QFETCH(int, maxValue);
        QFETCH(int, expected);
        QCOMPARE(int(EncodeHour(text, maxValue, 0xEE)), expected);
    }

    void hourDecoding() {
        QCOMPARE(DecodeHour(0x18), QStringLiteral("18"));
        QCOMPARE(DecodeHour(0x7A), QStringLiteral("7A"));
        QCOMPARE(HourValue(0x23, 23), std::optional<int>(23));
        QCOMPARE(HourValue(0x24, 23), std::nullopt);
        QCOMPARE(HourValue(0x1A, 59), std::nullopt);
        QCOMPARE(HourValue(0x59, 59), std::optional<int>(59));
    }

    // Codes, accounts and the customer screen's panel codes: text -> bytes -> text.
    void packedCodes_data() {
        QTest::addColumn<QString>("kind");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("code") << "code"
                              << "2581" << QByteArray::fromHex("2581") << "2581";
        QTest::newRow("code with zeros") << "code"
                                         << "1020" << QByteArray::fromHex("1A2A") << "1020";
        QTest::newRow("code padded") << "code"
                                     << "7" << QByteArray::fromHex("AAA7") << "0007";
        QTest::newRow("empty code") << "code"
                                    << "" << QByteArray::fromHex("FFFF") << "";
        QTest::newRow("code too long") << "code"
                                       << "12345" << QByteArray::fromHex("FFFF") << "";
        QTest::newRow("account 0001") << "account"
                                      << "0001" << QByteArray::fromHex("AAA1") << "0001";
        QTest::newRow("account with letters") << "account"
                                              << "B0C1" << QByteArray::fromHex("BAC1") << "B0C1";
        QTest::newRow("empty account") << "account"
                                       << "" << QByteArray::fromHex("FFFF") << "FFFF";
        QTest::newRow("panel code 7") << "panel"
                                      << "7" << QByteArray::fromHex("AAA7") << "0007";
        QTest::newRow("factory panel code") << "panel"
                                            << "6093" << QByteArray::fromHex("6A93") << "6093";
        QTest::newRow("empty panel code") << "panel"
                                          << "" << QByteArray::fromHex("AAAA") << "0000";
    }
    void packedCodes() {
        QFETCH(QString, kind);
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        std::array<quint8, 2> encoded{};
        if (kind == "code")
            encoded = EncodeCode(text);
        else if (kind == "account")
            encoded = EncodeAccount(text);
        else
            encoded = EncodePanelCode(text).value();
        QCOMPARE(Bytes(encoded), bytes);
        const quint8 a = quint8(bytes.at(0)), b = quint8(bytes.at(1));
        const QString back = kind == "code"      ? DecodeCode(a, b)
                             : kind == "account" ? DecodeAccount(a, b)
                                                 : DecodePanelCode(a, b);
        QCOMPARE(back, shown);
    }

    void codeDecodingRanges_data() {
        QTest::addColumn<int>("first");
        QTest::addColumn<int>("second");
        QTest::addColumn<QString>("shown");
        QTest::newRow("both in 0x11..0x9A") << 0x11 << 0x9A << "1190";
        QTest::newRow("both in 0xA1..0xAA") << 0xA1 << 0xAA << "0100";
        QTest::newRow("hexadecimal letters kept") << 0x1B << 0x2F << "1B2F";
        QTest::newRow("first byte 0x05") << 0x05 << 0x11 << "";
        QTest::newRow("second byte 0x9B") << 0x11 << 0x9B << "";
        QTest::newRow("second byte 0xAB") << 0x11 << 0xAB << "";
        QTest::newRow("first byte 0xA0") << 0xA0 << 0x11 << "";
    }
    void codeDecodingRanges() {
        QFETCH(int, first);
        QFETCH(int, second);
        QFETCH(QString, shown);
        QCOMPARE(DecodeCode(quint8(first), quint8(second)), shown);
    }

    void phone_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("shown");
        QTest::newRow("pause star hash") << "0,21*3#" << QByteArray::fromHex("AE21B3CFFFFFFFFF") << "0,21*3#";
        QTest::newRow("empty") << "" << QByteArray::fromHex("FFFFFFFFFFFFFFFF") << "";
        QTest::newRow("separators skipped")
            << "(11) 3456-7890" << QByteArray::fromHex("113456789AFFFFFF") << "1134567890";
        QTest::newRow("17th digit not stored")
            << "12345678901234567" << QByteArray::fromHex("123456789A123456") << "1234567890123456";
        QTest::newRow("typed D skipped") << "1D2d3" << QByteArray::fromHex("123FFFFFFFFFFFFF") << "123";
    }
    void phone() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QFETCH(QString, shown);
        const auto encoded = EncodePhone(text);
        QCOMPARE(Bytes(encoded), bytes);
        QCOMPARE(DecodePhone(encoded), shown);
    }

    // A 0xD nibble the panel holds is shown as "D", though typing one stores nothing.
    void phoneNibbleDFromThePanel() {
        QCOMPARE(DecodePhone({0x1D, 0x2F, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}), QStringLiteral("1D2"));
    }

    void digitPairs_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("asDigit");
        QTest::addColumn<QString>("asCode");
        QTest::newRow("report digit C") << "C" << 0x0C << "C"
                                        << "";
        QTest::newRow("one character gets a leading 0") << "3" << 0x03 << "3"
                                                        << "";
        QTest::newRow("two characters") << "1C" << 0x1C << ""
                                        << "1C";
        QTest::newRow("lower case") << "e1" << 0xE1 << ""
                                    << "E1";
        QTest::newRow("empty") << "" << 0x00 << ""
                               << "";
    }
    void digitPairs() {
        QFETCH(QString, text);
        QFETCH(int, byte);
        QFETCH(QString, asDigit);
        QFETCH(QString, asCode);
        QCOMPARE(int(EncodeDigitPair(text)), byte);
        QCOMPARE(DecodeReportDigit(quint8(byte)), asDigit);
        QCOMPARE(DecodeReportCode(quint8(byte)), asCode);
    }

    void duressDigitAndListCodes() {
        QCOMPARE(int(EncodeDuressDigit("")), 0xFF);
        QCOMPARE(int(EncodeDuressDigit("0")), 0x0A);
        QCOMPARE(int(EncodeDuressDigit("7")), 0x07);
        QCOMPARE(DecodeDuressDigit(0x0A), QStringLiteral("0"));
        QCOMPARE(DecodeDuressDigit(0x09), QStringLiteral("9"));
        QCOMPARE(DecodeDuressDigit(0xFF), QString());

        QCOMPARE(EncodeOptionTextCode("88 - Contact ID"), std::optional<quint8>(0x88));
        QCOMPARE(EncodeOptionTextCode("00 - Desabilitado"), std::optional<quint8>(0x00));
        QCOMPARE(EncodeOptionTextCode("- nada"), std::nullopt);
    }
};

QTEST_GUILESS_MAIN(TestImageFields)
#include "tst_image_fields.moc"
