#pragma once

#include "sim_event_log.h"

#include <QByteArray>
#include <QDateTime>
#include <QJsonObject>
#include <QSet>
#include <QString>
#include <QStringList>
#include <QVector>

#include <array>

class QCommandLineParser;

namespace sim {

// What a request frame asks of the panel; fault rules and the journal use these names.
enum class FrameKind {
    Ident,     // 'C' identification
    Code,      // '(' code check
    Proceed,   // 'P'
    Callback,  // 'V' callback request
    Read,      // block read, either page
    Write,     // chunk write, either page
    Event,     // event record request
    Status,    // the single byte B8
    ReadClock, // date and time read
    WriteDate,
    WriteTime,
    Command, // remote command (arm, disarm, bypass, PGM)
    Unknown,
};
QString frameKindName(FrameKind kind);
bool frameKindFromName(const QString& name, FrameKind* kind);

// What the panel does instead of its proper answer.
enum class Fault {
    None,
    Nak,     // answers D5
    Corrupt, // the proper answer with a wrong checksum byte
    Silence, // no answer at all
    Refuse,  // answers A9 (block reads and chunk writes only; the write is not stored)
};
QString faultName(Fault fault);

struct FaultRule {
    quint32 kinds = 0; // bit (1 << FrameKind); 0 = every kind
    Fault fault = Fault::None;
    int times = 0;          // > 0: the first `times` matching requests get the fault
    double probability = 0; // with times == 0: each matching request gets it with this probability
    int used = 0;           // how many times a counted rule has fired
    bool matches(FrameKind kind) const { return kinds == 0 || (kinds & (1u << int(kind))); }
};

struct FaultSettings {
    QVector<FaultRule> rules; // tried in order; the first that fires decides
    // Image bytes the panel keeps as they are whatever is written to them, so a write that
    // touches them never verifies. Writes are still acknowledged.
    QSet<int> refusedBytes;
    // The panel drops the line right after the answer to this many requests (counted over the
    // whole run, whatever the answers were; it happens once); 0 = never.
    int dropAfterFrames = 0;
    bool modemSilent = false;     // the modem answers nothing at all: no echo, no OK
    QStringList rejectedCommands; // AT commands the modem answers ERROR (e.g. "L0")
};

enum class DialOutcome { Connect, Busy, NoAnswer, NoDialTone, NoCarrier };
bool dialOutcomeFromName(const QString& name, DialOutcome* outcome);

struct ModemSettings {
    DialOutcome dialOutcome = DialOutcome::Connect;
    qint64 connectDelayMs = 3000; // end of dialling -> CONNECT
    qint64 failureDelayMs = 2000; // end of dialling -> BUSY, NO ANSWER, NO DIAL TONE, NO CARRIER
    qint64 answerDelayMs = 1500;  // ATA on a ringing line -> CONNECT
    qint64 ringIntervalMs = 4000; // between two RINGs of an incoming call
    // The line speed every CONNECT reports (a modem that reports its speed answers "10" for 2400
    // bit/s); 0 = the speed the program's port and the modulation commands give.
    int connectSpeed = 0;
    // When set, a dial whose digits do not end with this number gets NO ANSWER.
    QString panelNumber;
};

enum class Trouble { Mains = 0, Battery = 1, Siren = 2, Sensor = 4, AuxOutput = 5 };

// The six status bytes s0..s5 the panel answers a status request with.
struct PanelStatus {
    std::array<quint8, 6> s{0, 0, 0, 220, 0, 0};

    bool zoneOpen(int zone) const; // 1..10 (9 and 10 are the keypad zones)
    void setZoneOpen(int zone, bool open);
    bool bypassed(int zone) const; // 1..8
    void setBypassed(int zone, bool bypassed);
    bool armed(int partition) const; // 1 = A, 2 = B
    void setArmed(int partition, bool armed);
    bool pgmOn(int pgm) const; // 1..4
    void setPgmOn(int pgm, bool on);
    bool trouble(Trouble trouble) const;
    void setTrouble(Trouble trouble, bool on);
    bool sirenSounding() const { return s[2] & 0x80; }
    void setSirenSounding(bool on);
    int battery() const { return s[3]; }
    void setBattery(int level) { s[3] = quint8(qBound(0, level, 255)); }
    QByteArray bytes() const { return QByteArray(reinterpret_cast<const char*>(s.data()), 6); }
};

struct PanelBehaviour {
    qint64 answerDelayMs = 50;     // complete request -> first byte of the answer
    bool callbackOnCodes = false;  // answers good codes with 'V' on calls the PC places, then calls back
    bool logAfterProceed = false;  // answers the proceed frame with event record 0 instead of C7
    qint64 hangupDelayMs = 500;    // after the answer that agrees a callback, before hanging up
    qint64 callbackDelayMs = 5000; // from that hang-up to its own call
    qint64 callInAfterMs = -1;     // calls the PC by itself this long after start; -1 = never
    int callRings = 10;            // rings before it gives its call up
    int callAttempts = 3;          // calls before it gives up altogether
    qint64 callRetryMs = 20000;    // between two attempts
    qint64 idleHangupMs = 0;       // hangs up after this long without a request; 0 = never
    bool answeringMachineBypass = false; // lets a first call ring unanswered, answers a second one
    qint64 bypassWindowMs = 45000;       // the second call must come this soon after the first ended
};

struct PanelSimConfig {
    int product = 1;      // 1, 3, 4: 10-zone family; 2: 5-zone model
    int versionByte = -1; // -1: the usual version of the product
    QString panelCode;    // empty: the code the image holds (bytes 112, 113)
    QString pcCode;       // empty: the code the image holds (bytes 114, 115)
    QByteArray image;     // empty: defaultImage()
    QByteArray events;    // packed 4-byte events, oldest first
    PanelStatus status;
    QDateTime clock; // the panel clock at start; invalid = the computer's local time
    PanelBehaviour panel;
    ModemSettings modem;
    FaultSettings faults;
    bool line300 = false; // pace what it sends at 300 bit/s (10 bits a byte)
    quint32 seed = 1;
    QString journalPath; // JSON lines; empty = no file
    bool once = false;   // the executable ends when the first session's call ends

    Family family() const { return familyOf(product); }
    int effectiveVersionByte() const;
};

// A plausible programming with a distinct pattern in the bytes no feature depends on, so that a
// block read from the wrong address shows; panel code "1234", PC code "5678", zones enabled and
// allowed to be bypassed, PGM 1 remote-controlled.
QByteArray defaultImage(Family family);

// Raw image file (a template): 304 bytes for the 10-zone family, 256 for the 5-zone model.
bool loadImageFile(const QString& path, Family family, QByteArray* image, QString* error);

// JSON configuration; relative file names are taken from the JSON file's folder.
bool loadConfigFile(const QString& path, PanelSimConfig* config, QString* error);
bool applyConfigJson(const QJsonObject& json, const QString& baseDir, PanelSimConfig* config, QString* error);

void addCommandLineOptions(QCommandLineParser& parser);
// Applies --config first and then every other option given, so flags override the file.
bool applyCommandLine(const QCommandLineParser& parser, PanelSimConfig* config, QString* error);

// "1,3,5-7" -> {1, 3, 5, 6, 7}
bool parseNumberList(const QString& text, QVector<int>* numbers);

} // namespace sim
