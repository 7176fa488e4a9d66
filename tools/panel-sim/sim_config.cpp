#include "sim_config.h"

#include "sim_bytes.h"

#include <QCommandLineParser>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>

namespace sim {

namespace {

struct KindName {
    FrameKind kind;
    const char* name;
};
const KindName kKindNames[] = {
    {FrameKind::Ident, "ident"},        {FrameKind::Code, "code"},          {FrameKind::Proceed, "proceed"},
    {FrameKind::Callback, "callback"},  {FrameKind::Read, "read"},          {FrameKind::Write, "write"},
    {FrameKind::Event, "event"},        {FrameKind::Status, "status"},      {FrameKind::ReadClock, "clock"},
    {FrameKind::WriteDate, "set-date"}, {FrameKind::WriteTime, "set-time"}, {FrameKind::Command, "command"},
    {FrameKind::Unknown, "unknown"},
};

bool parseFault(const QString& name, Fault* fault) {
    const QString n = name.trimmed().toLower();
    if (n == "nak")
        *fault = Fault::Nak;
    else if (n == "corrupt")
        *fault = Fault::Corrupt;
    else if (n == "silence")
        *fault = Fault::Silence;
    else if (n == "refuse")
        *fault = Fault::Refuse;
    else
        return false;
    return true;
}

bool parseKinds(const QStringList& names, quint32* kinds, QString* error) {
    quint32 mask = 0;
    for (const QString& name : names) {
        if (name.trimmed().isEmpty())
            continue;
        if (name.trimmed().compare("any", Qt::CaseInsensitive) == 0)
            return (*kinds = 0), true;
        FrameKind kind;
        if (!frameKindFromName(name, &kind)) {
            *error = QStringLiteral("unknown frame kind \"%1\"").arg(name);
            return false;
        }
        mask |= 1u << int(kind);
    }
    *kinds = mask;
    return true;
}

QStringList jsonStrings(const QJsonValue& value) {
    QStringList out;
    if (value.isString())
        return value.toString().split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QJsonValue& v : value.toArray())
        out += v.isString() ? v.toString() : QString::number(v.toInt());
    return out;
}

bool jsonNumbers(const QJsonValue& value, QVector<int>* out) {
    out->clear();
    if (value.isString())
        return parseNumberList(value.toString(), out);
    for (const QJsonValue& v : value.toArray()) {
        if (v.isString()) {
            QVector<int> part;
            if (!parseNumberList(v.toString(), &part))
                return false;
            *out += part;
        } else {
            out->append(v.toInt());
        }
    }
    return true;
}

// Replaces the probability rule of a fault, keeping the counted rules.
void setProbability(FaultSettings& faults, Fault fault, double probability, quint32 kinds) {
    for (int i = faults.rules.size() - 1; i >= 0; --i) {
        if (faults.rules[i].fault == fault && faults.rules[i].times == 0)
            faults.rules.remove(i);
    }
    if (probability > 0)
        faults.rules.append(FaultRule{kinds, fault, 0, probability});
}

bool parsePartitions(const QStringList& names, QVector<int>* out) {
    out->clear();
    for (const QString& n : names) {
        const QString p = n.trimmed().toUpper();
        if (p == "A" || p == "1")
            out->append(1);
        else if (p == "B" || p == "2")
            out->append(2);
        else
            return false;
    }
    return true;
}

bool parseTroubles(const QStringList& names, PanelStatus* status) {
    for (const QString& n : names) {
        const QString t = n.trimmed().toLower();
        if (t == "ac" || t == "mains")
            status->setTrouble(Trouble::Mains, true);
        else if (t == "battery")
            status->setTrouble(Trouble::Battery, true);
        else if (t == "siren")
            status->setTrouble(Trouble::Siren, true);
        else if (t == "sensor")
            status->setTrouble(Trouble::Sensor, true);
        else if (t == "aux")
            status->setTrouble(Trouble::AuxOutput, true);
        else
            return false;
    }
    return true;
}

bool parseClock(const QString& text, QDateTime* clock) {
    if (text.compare("now", Qt::CaseInsensitive) == 0) {
        *clock = QDateTime();
        return true;
    }
    const QDateTime t = QDateTime::fromString(text, Qt::ISODate);
    if (!t.isValid())
        return false;
    *clock = t;
    return true;
}

bool readFile(const QString& path, QByteArray* bytes, QString* error) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) {
        *error = QStringLiteral("cannot read %1: %2").arg(path, f.errorString());
        return false;
    }
    *bytes = f.readAll();
    return true;
}

QString resolve(const QString& baseDir, const QString& name) {
    return baseDir.isEmpty() || QFileInfo(name).isAbsolute() ? name : QDir(baseDir).filePath(name);
}

bool loadEventsFile(const QString& path, Family family, QByteArray* events, QString* error) {
    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return false;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (doc.isNull()) {
        *error = QStringLiteral("%1: %2").arg(path, parseError.errorString());
        return false;
    }
    QString why;
    if (!eventsFromJson(family, doc.isArray() ? QJsonValue(doc.array()) : doc.object().value("events"),
                        events, &why)) {
        *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    return true;
}

} // namespace

QString frameKindName(FrameKind kind) {
    for (const KindName& k : kKindNames) {
        if (k.kind == kind)
            return QLatin1String(k.name);
    }
    return QStringLiteral("unknown");
}

bool frameKindFromName(const QString& name, FrameKind* kind) {
    for (const KindName& k : kKindNames) {
        if (name.trimmed().compare(QLatin1String(k.name), Qt::CaseInsensitive) == 0) {
            *kind = k.kind;
            return true;
        }
    }
    return false;
}

QString faultName(Fault fault) {
    switch (fault) {
    case Fault::Nak:
        return QStringLiteral("nak");
    case Fault::Corrupt:
        return QStringLiteral("corrupt");
    case Fault::Silence:
        return QStringLiteral("silence");
    case Fault::Refuse:
        return QStringLiteral("refuse");
    case Fault::None:
        break;
    }
    return QStringLiteral("none");
}

bool dialOutcomeFromName(const QString& name, DialOutcome* outcome) {
    const QString n = name.trimmed().toLower();
    if (n == "connect")
        *outcome = DialOutcome::Connect;
    else if (n == "busy")
        *outcome = DialOutcome::Busy;
    else if (n == "no-answer")
        *outcome = DialOutcome::NoAnswer;
    else if (n == "no-dial-tone")
        *outcome = DialOutcome::NoDialTone;
    else if (n == "no-carrier")
        *outcome = DialOutcome::NoCarrier;
    else
        return false;
    return true;
}

bool PanelStatus::zoneOpen(int zone) const {
    if (zone >= 1 && zone <= 8)
        return s[0] & (1 << (zone - 1));
    if (zone == 9 || zone == 10)
        return s[1] & (zone == 9 ? 0x40 : 0x80);
    return false;
}

void PanelStatus::setZoneOpen(int zone, bool open) {
    quint8* byte = nullptr;
    quint8 bit = 0;
    if (zone >= 1 && zone <= 8) {
        byte = &s[0];
        bit = quint8(1 << (zone - 1));
    } else if (zone == 9 || zone == 10) {
        byte = &s[1];
        bit = zone == 9 ? 0x40 : 0x80;
    } else {
        return;
    }
    *byte = open ? (*byte | bit) : (*byte & ~bit);
}

bool PanelStatus::bypassed(int zone) const {
    return zone >= 1 && zone <= 8 && (s[5] & (1 << (zone - 1)));
}

void PanelStatus::setBypassed(int zone, bool bypassed) {
    if (zone < 1 || zone > 8)
        return;
    const quint8 bit = quint8(1 << (zone - 1));
    s[5] = bypassed ? (s[5] | bit) : (s[5] & ~bit);
}

bool PanelStatus::armed(int partition) const {
    return (partition == 1 || partition == 2) && (s[1] & (1 << (partition - 1)));
}

void PanelStatus::setArmed(int partition, bool armed) {
    if (partition != 1 && partition != 2)
        return;
    const quint8 bit = quint8(1 << (partition - 1));
    s[1] = armed ? (s[1] | bit) : (s[1] & ~bit);
}

bool PanelStatus::pgmOn(int pgm) const {
    return pgm >= 1 && pgm <= 4 && (s[4] & (1 << (pgm - 1)));
}

void PanelStatus::setPgmOn(int pgm, bool on) {
    if (pgm < 1 || pgm > 4)
        return;
    const quint8 bit = quint8(1 << (pgm - 1));
    s[4] = on ? (s[4] | bit) : (s[4] & ~bit);
}

bool PanelStatus::trouble(Trouble trouble) const {
    return s[2] & (1 << int(trouble));
}

void PanelStatus::setTrouble(Trouble trouble, bool on) {
    const quint8 bit = quint8(1 << int(trouble));
    s[2] = on ? (s[2] | bit) : (s[2] & ~bit);
}

void PanelStatus::setSirenSounding(bool on) {
    s[2] = on ? (s[2] | 0x80) : (s[2] & 0x7F);
}

int PanelSimConfig::effectiveVersionByte() const {
    if (versionByte >= 0)
        return versionByte;
    switch (product) {
    case 3:
        return 0x13;
    case 4:
        return 0x10;
    default:
        return 0x14;
    }
}

QByteArray defaultImage(Family family) {
    const int size = imageSize(family);
    QByteArray image(size, '\0');
    for (int i = 0; i < size; ++i)
        image[i] = char((i * 37 + 11 + (i >> 8) * 101) & 0xFF);
    auto put = [&image](int at, const QByteArray& bytes) { image.replace(at, bytes.size(), bytes); };
    put(112, packCode("1234"));
    put(114, packCode("5678"));
    put(26, QByteArray::fromHex("41514141")); // PGM modes: remote-controlled
    image[32] = 0x00;                         // not partitioned
    image[34] = 0x04;                         // PGM module present
    if (family == Family::TenZone) {
        image[48] = char(0xFF); // zones 1..8 enabled
        image[59] = char(0xFF); // all may be bypassed
    } else {
        image[48] = char(0xFF); // zones 1..5 enabled; the panel keeps bits 5..7 set
        image[59] = 0x1F;
    }
    return image;
}

bool loadImageFile(const QString& path, Family family, QByteArray* image, QString* error) {
    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return false;
    if (bytes.size() != imageSize(family)) {
        *error = QStringLiteral("%1 holds %2 bytes; a %3 image has %4")
                     .arg(path)
                     .arg(bytes.size())
                     .arg(family == Family::TenZone ? "10-zone" : "5-zone")
                     .arg(imageSize(family));
        return false;
    }
    *image = bytes;
    return true;
}

bool parseNumberList(const QString& text, QVector<int>* numbers) {
    numbers->clear();
    for (const QString& part : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QStringList range = part.trimmed().split(QLatin1Char('-'));
        bool ok1 = false, ok2 = true;
        const int from = range.value(0).toInt(&ok1);
        const int to = range.size() == 2 ? range[1].toInt(&ok2) : from;
        if (!ok1 || !ok2 || range.size() > 2 || to < from || to - from > 4096)
            return false;
        for (int n = from; n <= to; ++n)
            numbers->append(n);
    }
    return true;
}

bool applyConfigJson(const QJsonObject& json, const QString& baseDir, PanelSimConfig* c, QString* error) {
    if (json.contains("family"))
        c->product = json.value("family").toVariant().toString() == "5" ? 2 : 1;
    if (json.contains("product"))
        c->product = json.value("product").toInt(c->product);
    if (json.contains("version")) {
        c->versionByte = versionByte(json.value("version").toString());
        if (c->versionByte < 0)
            return (*error = QStringLiteral("version must read M.m")), false;
    }
    if (json.contains("panelCode"))
        c->panelCode = json.value("panelCode").toVariant().toString();
    if (json.contains("pcCode"))
        c->pcCode = json.value("pcCode").toVariant().toString();
    if (json.contains("seed"))
        c->seed = quint32(json.value("seed").toVariant().toULongLong());
    if (json.contains("image") &&
        !loadImageFile(resolve(baseDir, json.value("image").toString()), c->family(), &c->image, error))
        return false;
    if (json.contains("imageHex")) {
        bool ok = false;
        c->image = fromHex(json.value("imageHex").toString(), &ok);
        if (!ok || c->image.size() != imageSize(c->family()))
            return (*error = QStringLiteral("imageHex must hold %1 bytes").arg(imageSize(c->family()))),
                   false;
    }
    if (json.contains("events")) {
        const QJsonValue ev = json.value("events");
        if (ev.isDouble()) {
            c->events = generatedEvents(c->family(), ev.toInt(), c->seed);
        } else if (!eventsFromJson(c->family(), ev, &c->events, error)) {
            return false;
        }
    }
    if (json.contains("eventsFile") && !loadEventsFile(resolve(baseDir, json.value("eventsFile").toString()),
                                                       c->family(), &c->events, error))
        return false;
    if (json.contains("clock") && !parseClock(json.value("clock").toString(), &c->clock))
        return (*error = QStringLiteral("clock must be an ISO date and time or \"now\"")), false;
    if (json.contains("line300"))
        c->line300 = json.value("line300").toBool();
    if (json.contains("journal"))
        c->journalPath = resolve(baseDir, json.value("journal").toString());
    if (json.contains("once"))
        c->once = json.value("once").toBool();

    if (json.contains("state")) {
        const QJsonObject st = json.value("state").toObject();
        PanelStatus& s = c->status;
        QVector<int> list;
        if (st.contains("zonesOpen")) {
            if (!jsonNumbers(st.value("zonesOpen"), &list))
                return (*error = "state.zonesOpen: bad list"), false;
            for (int z : list)
                s.setZoneOpen(z, true);
        }
        if (st.contains("bypassed")) {
            if (!jsonNumbers(st.value("bypassed"), &list))
                return (*error = "state.bypassed: bad list"), false;
            for (int z : list)
                s.setBypassed(z, true);
        }
        if (st.contains("pgmOn")) {
            if (!jsonNumbers(st.value("pgmOn"), &list))
                return (*error = "state.pgmOn: bad list"), false;
            for (int p : list)
                s.setPgmOn(p, true);
        }
        if (st.contains("armed")) {
            if (!parsePartitions(jsonStrings(st.value("armed")), &list))
                return (*error = "state.armed: partitions are A and B"), false;
            for (int p : list)
                s.setArmed(p, true);
        }
        if (st.contains("troubles") && !parseTroubles(jsonStrings(st.value("troubles")), &s))
            return (*error = "state.troubles: ac, battery, siren, sensor, aux"), false;
        if (st.contains("siren"))
            s.setSirenSounding(st.value("siren").toBool());
        if (st.contains("battery"))
            s.setBattery(st.value("battery").toInt());
    }

    if (json.contains("modem")) {
        const QJsonObject m = json.value("modem").toObject();
        ModemSettings& ms = c->modem;
        if (m.contains("dialResult") &&
            !dialOutcomeFromName(m.value("dialResult").toString(), &ms.dialOutcome))
            return (*error = "modem.dialResult: connect, busy, no-answer, no-dial-tone, no-carrier"), false;
        ms.connectDelayMs = m.value("connectDelayMs").toInteger(ms.connectDelayMs);
        ms.failureDelayMs = m.value("failureDelayMs").toInteger(ms.failureDelayMs);
        ms.answerDelayMs = m.value("answerDelayMs").toInteger(ms.answerDelayMs);
        ms.ringIntervalMs = m.value("ringIntervalMs").toInteger(ms.ringIntervalMs);
        ms.panelNumber = m.value("panelNumber").toVariant().toString();
        ms.connectSpeed = m.value("connectSpeed").toInt(ms.connectSpeed);
    }

    if (json.contains("panel")) {
        const QJsonObject p = json.value("panel").toObject();
        PanelBehaviour& pb = c->panel;
        pb.answerDelayMs = p.value("answerDelayMs").toInteger(pb.answerDelayMs);
        pb.callbackOnCodes = p.value("callbackOnCodes").toBool(pb.callbackOnCodes);
        pb.logAfterProceed = p.value("logAfterProceed").toBool(pb.logAfterProceed);
        pb.hangupDelayMs = p.value("hangupDelayMs").toInteger(pb.hangupDelayMs);
        pb.callbackDelayMs = p.value("callbackDelayMs").toInteger(pb.callbackDelayMs);
        pb.callInAfterMs = p.value("callInAfterMs").toInteger(pb.callInAfterMs);
        pb.callRings = p.value("callRings").toInt(pb.callRings);
        pb.callAttempts = p.value("callAttempts").toInt(pb.callAttempts);
        pb.callRetryMs = p.value("callRetryMs").toInteger(pb.callRetryMs);
        pb.idleHangupMs = p.value("idleHangupMs").toInteger(pb.idleHangupMs);
        pb.answeringMachineBypass = p.value("answeringMachineBypass").toBool(pb.answeringMachineBypass);
        pb.bypassWindowMs = p.value("bypassWindowMs").toInteger(pb.bypassWindowMs);
    }

    if (json.contains("faults")) {
        const QJsonObject f = json.value("faults").toObject();
        FaultSettings& fs = c->faults;
        quint32 scope = 0;
        if (f.contains("on") && !parseKinds(jsonStrings(f.value("on")), &scope, error))
            return false;
        const struct {
            const char* key;
            Fault fault;
        } probabilities[] = {{"nak", Fault::Nak},
                             {"corrupt", Fault::Corrupt},
                             {"silence", Fault::Silence},
                             {"refuse", Fault::Refuse}};
        for (const auto& p : probabilities) {
            if (f.contains(p.key))
                setProbability(fs, p.fault, f.value(p.key).toDouble(), scope);
        }
        for (const QJsonValue& r : f.value("rules").toArray()) {
            const QJsonObject ro = r.toObject();
            FaultRule rule;
            if (!parseKinds(jsonStrings(ro.value("on")), &rule.kinds, error))
                return false;
            if (!parseFault(ro.value("fault").toString(), &rule.fault))
                return (*error = "faults.rules: fault is nak, corrupt, silence or refuse"), false;
            rule.times = ro.value("times").toInt(0);
            rule.probability = ro.value("probability").toDouble(rule.times > 0 ? 0 : 1);
            fs.rules.append(rule);
        }
        if (f.contains("refuseBytes")) {
            QVector<int> bytes;
            if (!jsonNumbers(f.value("refuseBytes"), &bytes))
                return (*error = "faults.refuseBytes: bad list"), false;
            fs.refusedBytes = QSet<int>(bytes.begin(), bytes.end());
        }
        fs.dropAfterFrames = f.value("dropAfterFrames").toInt(fs.dropAfterFrames);
        fs.modemSilent = f.value("modemSilent").toBool(fs.modemSilent);
        if (f.contains("refuseAt"))
            fs.rejectedCommands = jsonStrings(f.value("refuseAt"));
        else if (f.contains("rejectAt"))
            fs.rejectedCommands = jsonStrings(f.value("rejectAt"));
        if (f.value("busy").toBool())
            c->modem.dialOutcome = DialOutcome::Busy;
    }
    return true;
}

bool loadConfigFile(const QString& path, PanelSimConfig* config, QString* error) {
    QByteArray bytes;
    if (!readFile(path, &bytes, error))
        return false;
    QJsonParseError parseError;
    const QJsonDocument doc = QJsonDocument::fromJson(bytes, &parseError);
    if (!doc.isObject()) {
        *error = QStringLiteral("%1: %2").arg(path, doc.isNull() ? parseError.errorString()
                                                                 : QStringLiteral("expected a JSON object"));
        return false;
    }
    QString why;
    if (!applyConfigJson(doc.object(), QFileInfo(path).absolutePath(), config, &why)) {
        *error = QStringLiteral("%1: %2").arg(path, why);
        return false;
    }
    return true;
}

void addCommandLineOptions(QCommandLineParser& p) {
    p.addOptions({
        {"pty", "Create a pseudo-terminal and print its device path as the first line."},
        {"config", "JSON configuration file (flags given as well override it).", "FILE"},
        {"family", "Panel family: 10 or 5.", "N"},
        {"product", "Product code: 1, 3, 4 (10-zone family) or 2 (5-zone model).", "N"},
        {"version", "Version the panel reports, M.m.", "M.m"},
        {"panel-code", "Panel code (four digits).", "NNNN"},
        {"pc-code", "PC code (four digits).", "NNNN"},
        {"image", "Programming image file (raw bytes: 304 or 256).", "FILE.zrv"},
        {"events", "Number of generated events in the log.", "N"},
        {"events-file", "JSON file with the event list.", "FILE"},
        {"clock", "Panel clock at start (ISO date and time, or now).", "DATETIME"},
        {"zones-open", "Open zones, e.g. 1,3,9.", "LIST"},
        {"bypassed", "Bypassed zones.", "LIST"},
        {"armed", "Armed partitions, e.g. A,B.", "LIST"},
        {"pgm-on", "PGMs switched on.", "LIST"},
        {"troubles", "Troubles: ac, battery, siren, sensor, aux.", "LIST"},
        {"siren", "The siren is sounding."},
        {"battery", "Battery level (192 empty .. 230 full).", "N"},
        {"connect-speed", "Line speed every CONNECT reports, e.g. 2400 (answered \"10\").", "N"},
        {"line-300", "Send at 300 bit/s (about 33 ms a byte) instead of at full speed."},
        {"journal", "Write every frame and modem line as JSON lines to this file.", "FILE"},
        {"seed", "Seed of the random faults.", "N"},
        {"once", "Exit when the first call ends."},
        {"clock-scale", "Run the clock this many times faster than real time.", "X"},
        {"connect-delay", "Logical ms from the end of dialling to CONNECT.", "MS"},
        {"dial-result", "connect, busy, no-answer, no-dial-tone or no-carrier.", "RESULT"},
        {"busy", "The panel's line is busy (same as --dial-result busy)."},
        {"panel-number", "Number the panel answers on; other numbers get NO ANSWER.", "DIGITS"},
        {"answer-delay", "Logical ms from a request to the panel's answer.", "MS"},
        {"callback-on-codes", "The panel answers good codes with a callback of its own."},
        {"callback-delay", "Logical ms from the callback hang-up to the panel's call.", "MS"},
        {"log-after-proceed", "The panel answers proceed with its first event record."},
        {"call-in", "The panel calls in by itself this many logical ms after start.", "MS"},
        {"idle-hangup", "The panel hangs up after this many logical ms without a request.", "MS"},
        {"answering-machine-bypass", "The panel answers only a second call."},
        {"nak", "Probability of answering D5 instead.", "P"},
        {"corrupt", "Probability of a wrong checksum in an answer.", "P"},
        {"silence", "Probability of not answering.", "P"},
        {"refuse", "Probability of refusing a block read or write with A9.", "P"},
        {"fault-on", "Frame kinds the probabilities apply to (default: all).", "KINDS"},
        {"fault", "Fault for the first N requests of some kinds: KINDS:FAULT:N, e.g. code:nak:3.", "RULE"},
        {"refuse-bytes", "Image bytes the panel never changes, e.g. 41,112-113.", "LIST"},
        {"drop-after", "Drop the line after answering N frames.", "N"},
        {"modem-silent", "The modem answers nothing (no echo, no OK)."},
        {{"refuse-at", "reject-at"},
         "AT commands the modem refuses, e.g. L0,&K0: a line holding one is answered ERROR as a whole "
         "and none of its commands runs, as a real modem does.",
         "LIST"},
    });
}

bool applyCommandLine(const QCommandLineParser& p, PanelSimConfig* c, QString* error) {
    if (p.isSet("config") && !loadConfigFile(p.value("config"), c, error))
        return false;
    auto number = [&](const char* name, qint64* out) {
        bool ok = false;
        const qint64 v = p.value(name).toLongLong(&ok);
        if (!ok)
            *error = QStringLiteral("--%1 wants a number").arg(name);
        else
            *out = v;
        return ok;
    };
    auto probability = [&](const char* name, double* out) {
        bool ok = false;
        const double v = p.value(name).toDouble(&ok);
        if (!ok || v < 0 || v > 1)
            *error = QStringLiteral("--%1 wants a probability from 0 to 1").arg(name);
        else
            *out = v;
        return ok && v >= 0 && v <= 1;
    };
    qint64 n = 0;
    if (p.isSet("family")) {
        const QString f = p.value("family");
        if (f != "10" && f != "5")
            return (*error = "--family is 10 or 5"), false;
        c->product = f == "5" ? 2 : 1;
    }
    if (p.isSet("product")) {
        if (!number("product", &n))
            return false;
        c->product = int(n);
    }
    if (p.isSet("version")) {
        c->versionByte = versionByte(p.value("version"));
        if (c->versionByte < 0)
            return (*error = "--version must read M.m"), false;
    }
    if (p.isSet("panel-code"))
        c->panelCode = p.value("panel-code");
    if (p.isSet("pc-code"))
        c->pcCode = p.value("pc-code");
    if (p.isSet("seed")) {
        if (!number("seed", &n))
            return false;
        c->seed = quint32(n);
    }
    if (p.isSet("image") && !loadImageFile(p.value("image"), c->family(), &c->image, error))
        return false;
    if (p.isSet("events")) {
        if (!number("events", &n))
            return false;
        c->events = generatedEvents(c->family(), int(n), c->seed);
    }
    if (p.isSet("events-file") && !loadEventsFile(p.value("events-file"), c->family(), &c->events, error))
        return false;
    if (p.isSet("clock") && !parseClock(p.value("clock"), &c->clock))
        return (*error = "--clock wants an ISO date and time or now"), false;

    QVector<int> list;
    if (p.isSet("zones-open")) {
        if (!parseNumberList(p.value("zones-open"), &list))
            return (*error = "--zones-open: bad list"), false;
        for (int z : list)
            c->status.setZoneOpen(z, true);
    }
    if (p.isSet("bypassed")) {
        if (!parseNumberList(p.value("bypassed"), &list))
            return (*error = "--bypassed: bad list"), false;
        for (int z : list)
            c->status.setBypassed(z, true);
    }
    if (p.isSet("pgm-on")) {
        if (!parseNumberList(p.value("pgm-on"), &list))
            return (*error = "--pgm-on: bad list"), false;
        for (int z : list)
            c->status.setPgmOn(z, true);
    }
    if (p.isSet("armed")) {
        if (!parsePartitions(p.value("armed").split(','), &list))
            return (*error = "--armed: partitions are A and B"), false;
        for (int a : list)
            c->status.setArmed(a, true);
    }
    if (p.isSet("troubles") && !parseTroubles(p.value("troubles").split(','), &c->status))
        return (*error = "--troubles: ac, battery, siren, sensor, aux"), false;
    if (p.isSet("siren"))
        c->status.setSirenSounding(true);
    if (p.isSet("battery")) {
        if (!number("battery", &n))
            return false;
        c->status.setBattery(int(n));
    }
    if (p.isSet("line-300"))
        c->line300 = true;
    if (p.isSet("journal"))
        c->journalPath = p.value("journal");
    if (p.isSet("once"))
        c->once = true;

    if (p.isSet("connect-delay") && !number("connect-delay", &c->modem.connectDelayMs))
        return false;
    if (p.isSet("dial-result") && !dialOutcomeFromName(p.value("dial-result"), &c->modem.dialOutcome))
        return (*error = "--dial-result: connect, busy, no-answer, no-dial-tone, no-carrier"), false;
    if (p.isSet("busy"))
        c->modem.dialOutcome = DialOutcome::Busy;
    if (p.isSet("connect-speed")) {
        qint64 speed = 0;
        if (!number("connect-speed", &speed))
            return false;
        c->modem.connectSpeed = int(speed);
    }
    if (p.isSet("panel-number"))
        c->modem.panelNumber = p.value("panel-number");

    if (p.isSet("answer-delay") && !number("answer-delay", &c->panel.answerDelayMs))
        return false;
    if (p.isSet("callback-on-codes"))
        c->panel.callbackOnCodes = true;
    if (p.isSet("callback-delay") && !number("callback-delay", &c->panel.callbackDelayMs))
        return false;
    if (p.isSet("log-after-proceed"))
        c->panel.logAfterProceed = true;
    if (p.isSet("call-in") && !number("call-in", &c->panel.callInAfterMs))
        return false;
    if (p.isSet("idle-hangup") && !number("idle-hangup", &c->panel.idleHangupMs))
        return false;
    if (p.isSet("answering-machine-bypass"))
        c->panel.answeringMachineBypass = true;

    quint32 scope = 0;
    if (p.isSet("fault-on") && !parseKinds(p.value("fault-on").split(','), &scope, error))
        return false;
    const struct {
        const char* flag;
        Fault fault;
    } probabilities[] = {{"nak", Fault::Nak},
                         {"corrupt", Fault::Corrupt},
                         {"silence", Fault::Silence},
                         {"refuse", Fault::Refuse}};
    for (const auto& pr : probabilities) {
        double v = 0;
        if (p.isSet(pr.flag)) {
            if (!probability(pr.flag, &v))
                return false;
            setProbability(c->faults, pr.fault, v, scope);
        }
    }
    for (const QString& text : p.values("fault")) {
        const QStringList parts = text.split(':');
        FaultRule rule;
        bool ok = parts.size() == 3;
        if (ok)
            ok = parseKinds(parts[0].split(','), &rule.kinds, error) && parseFault(parts[1], &rule.fault);
        if (ok)
            rule.times = parts[2].toInt(&ok);
        if (!ok || rule.times <= 0) {
            if (error->isEmpty())
                *error = QStringLiteral("--fault %1: expected KINDS:FAULT:N, e.g. code:nak:3").arg(text);
            return false;
        }
        c->faults.rules.append(rule);
    }
    if (p.isSet("refuse-bytes")) {
        if (!parseNumberList(p.value("refuse-bytes"), &list))
            return (*error = "--refuse-bytes: bad list"), false;
        c->faults.refusedBytes = QSet<int>(list.begin(), list.end());
    }
    if (p.isSet("drop-after")) {
        if (!number("drop-after", &n))
            return false;
        c->faults.dropAfterFrames = int(n);
    }
    if (p.isSet("modem-silent"))
        c->faults.modemSilent = true;
    if (p.isSet("refuse-at"))
        c->faults.rejectedCommands = p.value("refuse-at").split(',', Qt::SkipEmptyParts);

    if (!c->image.isEmpty() && c->image.size() != imageSize(c->family()))
        return (*error = QStringLiteral("the image does not fit product %1").arg(c->product)), false;
    return true;
}

} // namespace sim
