#include "link/frame_codec.h"
#include "session/session_frames.h"

#include <QDate>
#include <QTest>
#include <QTime>

using namespace FrameCodec;

namespace {
QByteArray hex(const char* text) {
    return QByteArray::fromHex(text);
}
QByteArray imageBytes(int first, int count) {
    QByteArray bytes;
    for (int i = 0; i < count; ++i)
        bytes.append(char((first + i) * 7 + 3)); // any distinct pattern standing for image bytes
    return bytes;
}
} // namespace

class TestFrameCodec : public QObject {
    Q_OBJECT
private Q_SLOTS:
    // Every frame the program sends, byte for byte, from the system's own examples.
    void outgoingFrames_data() {
        QTest::addColumn<QByteArray>("built");
        QTest::addColumn<QByteArray>("expected");
        QTest::newRow("identification request")
            << BuildShortCommand(CmdIdentify) << hex("B3 43 00 00 00 00 00 F0");
        QTest::newRow("proceed") << BuildShortCommand(CmdProceed) << hex("B3 50 00 00 00 00 00 E3");
        QTest::newRow("callback request") << BuildShortCommand(CmdCallback) << hex("B3 56 00 00 00 00 00 E5");
        QTest::newRow("code frame") << BuildCodeFrame("1234", "5678") << hex("B3 28 12 34 56 78 00 93");
        QTest::newRow("code frame, zeros packed as nibble 10")
            << BuildCodeFrame("1020", "0000") << hex("B3 28 1A 2A AA AA 00 AB");
        QTest::newRow("reception code frame: PC code twice")
            << BuildCodeFrame("9001", "9001") << hex("B3 28 9A A1 9A A1 00 9B");
        QTest::newRow("write chunk page 0, block 1 chunk 2")
            << SessionFrames::WriteChunkFrame(1, 2, hex("01 02 03 04")) << hex("B3 C4 18 01 02 03 04 6B");
        QTest::newRow("write chunk page 1, block 17 chunk 1 zeros")
            << SessionFrames::WriteChunkFrame(17, 1, QByteArray(4, '\0')) << hex("B3 A5 44 00 00 00 00 52");
        QTest::newRow("write chunk 3 of block 18")
            << SessionFrames::WriteChunkFrame(18, 3, hex("DE AD BE EF")) << hex("B3 A5 6C DE AD BE EF 58");
        QTest::newRow("read block 3") << SessionFrames::ReadBlockFrame(3) << hex("B3 88 30 00 00 00 00 0B");
        QTest::newRow("read block 15") << SessionFrames::ReadBlockFrame(15) << hex("B3 88 F0 00 00 00 00 CB");
        QTest::newRow("read block 16") << SessionFrames::ReadBlockFrame(16) << hex("B3 70 20 00 00 00 00 E3");
        QTest::newRow("read block 18") << SessionFrames::ReadBlockFrame(18) << hex("B3 70 60 00 00 00 00 A3");
        QTest::newRow("event record 5")
            << SessionFrames::EventRecordFrame(5) << hex("B3 E2 05 00 00 00 00 54");
        QTest::newRow("status request") << SessionFrames::StatusRequestFrame() << hex("B8");
        QTest::newRow("read date and time")
            << SessionFrames::ReadDateTimeFrame() << hex("B3 F1 00 00 00 00 00 42");
        QTest::newRow("write date, 10-zone BCD")
            << SessionFrames::WriteDateFrame(QDate(2007, 12, 25), true) << hex("B3 17 25 12 07 00 00 94");
        QTest::newRow("write date, 5-zone binary")
            << SessionFrames::WriteDateFrame(QDate(2007, 12, 25), false) << hex("B3 17 19 0C 07 00 00 B6");
        QTest::newRow("write time, 10-zone BCD")
            << SessionFrames::WriteTimeFrame(QTime(9, 15, 30), true) << hex("B3 48 30 15 09 00 00 D7");
        QTest::newRow("arm partition A")
            << SessionFrames::CommandFrame(SessionFrames::CommandArm, 1) << hex("B3 36 54 01 00 00 00 D0");
        QTest::newRow("PGM 3 on") << SessionFrames::CommandFrame(SessionFrames::CommandPgmOn, 3)
                                  << hex("B3 36 A7 03 00 00 00 21");
    }
    void outgoingFrames() {
        QFETCH(QByteArray, built);
        QFETCH(QByteArray, expected);
        QCOMPARE(built.toHex(' '), expected.toHex(' '));
    }

    // The chunk data comes from the image bytes of that block and chunk; every block and chunk
    // maps to its own address on its page.
    void chunkAddressesCoverTheImage() {
        QSet<int> seen;
        for (int block = 0; block <= 18; ++block) {
            for (int chunk = 0; chunk < 4; ++chunk) {
                const int first = block * 16 + chunk * 4;
                const QByteArray frame = SessionFrames::WriteChunkFrame(block, chunk, imageBytes(first, 4));
                QCOMPARE(frame.size(), 8);
                QCOMPARE(frame.mid(3, 4), imageBytes(first, 4));
                QCOMPARE(XorChecksum(frame), quint8(0));
                const int page = quint8(frame[1]) == SessionFrames::CmdWritePage1 ? 1 : 0;
                QCOMPARE(page, block >= 16 ? 1 : 0);
                QVERIFY2(!seen.contains(page << 8 | quint8(frame[2])), qPrintable(QString::number(first)));
                seen.insert(page << 8 | quint8(frame[2]));
            }
        }
    }

    // Answers the panel sends, as delivered (header included), and the slice each consumer takes.
    void answerSlices_data() {
        QTest::addColumn<QByteArray>("frame");
        QTest::addColumn<int>("count");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QByteArray>("slice");
        QTest::newRow("identification")
            << hex("5A5256 43 01 13 12 A3 E0") << 6 << true << hex("43 01 13 12 A3 E0");
        QTest::newRow("ack") << hex("5A5256 C7 C7") << 2 << true << hex("C7 C7");
        QTest::newRow("nak") << hex("5A5256 D5 D5") << 2 << true << hex("D5 D5");
        QTest::newRow("callback agreed") << hex("5A5256 56 56") << 2 << true << hex("56 56");
        QTest::newRow("refusal") << hex("5A5256 A9 A9") << 2 << true << hex("A9 A9");
        QTest::newRow("five-byte frame with wrong checksum")
            << hex("5A5256 C7 C6") << 2 << false << QByteArray();
        QTest::newRow("status") << hex("5A5256 18 05 00 00 DF 00 04 C6") << 8 << true
                                << hex("18 05 00 00 DF 00 04 C6");
        QTest::newRow("date and time")
            << hex("5A5256 F1 30 15 09 25 12 07 ED") << 8 << true << hex("F1 30 15 09 25 12 07 ED");
        QTest::newRow("block read") << hex("5A5256 88 30 000102030405060708090A0B0C0D0E0F B8") << 19 << true
                                    << hex("88 30 000102030405060708090A0B0C0D0E0F B8");
        QTest::newRow("event record") << hex("5A5256 E2 05 FFFFFFFF 000102030405060708090A0B E7") << 19
                                      << true << hex("E2 05 FFFFFFFF 000102030405060708090A0B E7");
        QTest::newRow("block read, one data byte corrupted")
            << hex("5A5256 88 30 000102030405060708090A0B0C0D0E1F B8") << 19 << false << QByteArray();
        QTest::newRow("0xB8 answer") << hex("5A5256 B8 01 02 BB") << 2 << false << QByteArray();
        QTest::newRow("shorter frame than asked: shorter slice, still checked")
            << hex("5A5256 C7 C7") << 6 << true << hex("C7 C7");
        QTest::newRow("empty mailbox (a single 0x00)") << hex("00") << 2 << false << QByteArray();
        QTest::newRow("header without its first characters")
            << hex("005256 C7 C7") << 2 << false << QByteArray();
    }
    void answerSlices() {
        QFETCH(QByteArray, frame);
        QFETCH(int, count);
        QFETCH(bool, accepted);
        QFETCH(QByteArray, slice);
        const std::optional<QByteArray> got = AnswerSlice(frame, count);
        QCOMPARE(got.has_value(), accepted);
        if (accepted)
            QCOMPARE(got->toHex(' '), slice.toHex(' '));
    }

    void identificationAnswerCarriesPackedCodeAndVersion() {
        const std::optional<QByteArray> slice = AnswerSlice(hex("5A5256 43 01 13 12 A3 E0"), IdentifySlice);
        QVERIFY(slice);
        QCOMPARE(slice->mid(3, 2), PackCode("1203"));
        QCOMPARE(UnpackCode(slice->mid(3, 2)), QStringLiteral("1203"));
        QCOMPARE(DecodeVersion(quint8(slice->at(2))), QStringLiteral("1.3"));
    }

    void packCode_data() {
        QTest::addColumn<QString>("code");
        QTest::addColumn<QByteArray>("packed");
        QTest::newRow("digits") << "1234" << hex("12 34");
        QTest::newRow("zero is nibble 10") << "1020" << hex("1A 2A");
        QTest::newRow("all zeros") << "0000" << hex("AA AA");
        QTest::newRow("nines") << "9999" << hex("99 99");
        QTest::newRow("a pair with a non-digit gives no byte") << "12x4" << hex("12");
        QTest::newRow("three digits: the odd pair is padded") << "123" << hex("12 03");
        QTest::newRow("empty") << "" << QByteArray();
    }
    void packCode() {
        QFETCH(QString, code);
        QFETCH(QByteArray, packed);
        QCOMPARE(PackCode(code).toHex(' '), packed.toHex(' '));
    }

    void hexHelper_data() {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("upper") << "FF00" << hex("FF 00");
        QTest::newRow("lower") << "a1b2" << hex("A1 B2");
        QTest::newRow("odd length padded with a leading 0") << "abc" << hex("0A BC");
        QTest::newRow("non-hex character anywhere: empty") << "0g" << QByteArray();
        QTest::newRow("non-hex at the end: empty") << "12 4" << QByteArray();
        QTest::newRow("empty") << "" << QByteArray();
    }
    void hexHelper() {
        QFETCH(QString, text);
        QFETCH(QByteArray, bytes);
        QCOMPARE(HexToBytes(text).toHex(' '), bytes.toHex(' '));
    }

    void codeFrameRefusesCodesThatDoNotPackToTwoBytes() {
        QVERIFY(BuildCodeFrame("12x4", "5678").isEmpty());
        QVERIFY(BuildCodeFrame("1234", "").isEmpty());
    }

    void frameLengths() {
        const QList<QPair<quint8, int>> table = {{0x18, 11}, {0x43, 9},  {0x56, 5}, {0x70, 22},
                                                 {0x88, 22}, {0xA9, 5},  {0xB8, 7}, {0xC7, 5},
                                                 {0xD5, 5},  {0xE2, 22}, {0xF1, 11}};
        for (const auto& [type, length] : table)
            QCOMPARE(FrameLength(type), length);
        int known = 0;
        for (int type = 0; type < 256; ++type)
            known += FrameLength(quint8(type)) != 0;
        QCOMPARE(known, int(table.size()));
    }

    void versions_data() {
        QTest::addColumn<int>("byte");
        QTest::addColumn<QString>("text");
        QTest::newRow("0x13") << 0x13 << "1.3";
        QTest::newRow("0x10") << 0x10 << "1.0";
        QTest::newRow("0x1A two-digit minor") << 0x1A << "1.10";
        QTest::newRow("0x00") << 0x00 << "0.0";
        QTest::newRow("0xFF") << 0xFF << "15.15";
    }
    void versions() {
        QFETCH(int, byte);
        QFETCH(QString, text);
        QCOMPARE(DecodeVersion(quint8(byte)), text);
    }
};

QTEST_GUILESS_MAIN(TestFrameCodec)
#include "tst_frame_codec.moc"
