// The PGM change procedure of the session worker.
//
// PGM change: an output whose mode changes must not stay switched on under its old mode. The
// changed PGMs first get the temporary mode 0x41 (and the PGM module option is forced on), then
// every changed PGM that is on is switched off with the command PGM off, and then the operator's
// bytes are written back (the option byte one pass before the mode bytes).
//
// The temporary values travel in the write's content (WriteContent::put), never in ImagemPC: the
// operator's bytes stay where he left them however the procedure ends, and a customer saved in
// the meantime is saved with them. Only bytes the request sends take part: a PGM mode or the
// option byte that the request does not carry is neither changed nor compared.

#include "session/online_worker.h"

#include "session/session_frames.h"

namespace {

constexpr int ByteOptionModule = 34;     // PROGBIT_3
constexpr quint8 OptionPgmModule = 0x04; // bit value 4: PGM module enabled
constexpr int FirstPgmModeByte = 26;     // bytes 26..29: modes of PGM 1..4
constexpr int PgmCount = 4;
constexpr quint8 TemporaryPgmMode = 0x41;
constexpr int PgmModesBlock = 1;
constexpr quint8 PgmModesChunks = 0x0C; // chunks 2 and 3 of block 1: bytes 24..31
constexpr int OptionsBlock = 2;
constexpr quint8 OptionsChunk = 0x01; // chunk 0 of block 2: bytes 32..35
constexpr int StatusPgmByte = 4;      // s4: bit p-1 = PGM p on

} // namespace

// What the procedure leaves in byte n once it is over: the operator's byte where the request sends
// it, else what the panel held before the procedure.
quint8 OnLine::pgmTarget(const QByteArray& pc, int n) const {
    if (m_pgm.content.takesFromPc(n))
        return quint8(pc[n]);
    if (n == ByteOptionModule)
        return m_pgm.savedAlarme34;
    return m_pgm.savedAlarmeModes[n - FirstPgmModeByte];
}

bool OnLine::pgmSwitchOffStep(const QByteArray& status) {
    const quint8 on = quint8(status[StatusPgmByte]) & 0x0F;
    if (!on)
        return true;

    QByteArray pc;
    QByteArray alarme;
    onUi([&] {
        pc = m_host.ImageBytes(Product, ImageCopy::PC, 0, 48);
        alarme = m_host.ImageBytes(Product, ImageCopy::Alarme, 0, 48);
    });
    const auto at = [](const QByteArray& bytes, int n) { return quint8(bytes[n]); };
    const bool optionDiffers = pgmTarget(pc, ByteOptionModule) != at(alarme, ByteOptionModule);
    const bool optionWasChanged = m_pgm.optionWasChanged;

    bool anyChanged = false;
    for (int k = 1; k <= PgmCount; ++k) {
        if (!(on & (1 << (k - 1))))
            continue;
        const int n = FirstPgmModeByte + k - 1;
        const quint8 target = pgmTarget(pc, n);
        if (target != at(alarme, n) || optionDiffers || target != m_pgm.savedAlarmeModes[k - 1] ||
            PgmModuleChanged.load())
            anyChanged = true;
    }
    if (!anyChanged)
        return true;

    for (int k = 1; k <= PgmCount; ++k) {
        if (!(on & (1 << (k - 1))))
            continue;
        const int n = FirstPgmModeByte + k - 1;
        const quint8 target = pgmTarget(pc, n);
        if (target != at(alarme, n) || target != m_pgm.savedAlarmeModes[k - 1] || optionDiffers ||
            optionWasChanged) {
            send(SessionFrames::CommandFrame(SessionFrames::CommandPgmOff, quint8(k)));
            return false;
        }
    }
    return true;
}

void OnLine::pgmChangePreparation() {
    if (!m_pgm.preparationDone) {
        PgmChangeInProgress = true;
        m_pgm = PgmChange{};
        m_pgm.content = WriteBytes.load();
        if (m_pgm.content.isEmpty()) {
            std::array<quint8, kMaxBlocks> chunks{};
            for (int b = 0; b < BlockCount; ++b)
                chunks[b] = Chunks[b].load();
            m_pgm.content = WriteContent::WholeChunks(Blocks.load(), chunks);
        }
        WriteContent temporary = m_pgm.content;
        const QByteArray pc = image(ImageCopy::PC, 0, 48);
        const QByteArray alarme = image(ImageCopy::Alarme, 0, 48);
        m_pgm.savedPc34 = quint8(pc[ByteOptionModule]);
        m_pgm.savedAlarme34 = quint8(alarme[ByteOptionModule]);
        if (m_pgm.content.takesFromPc(ByteOptionModule) && m_pgm.savedPc34 != m_pgm.savedAlarme34) {
            temporary.put(ByteOptionModule, quint8(m_pgm.savedPc34 | OptionPgmModule));
            m_pgm.optionChanged = true;
            m_pgm.optionWasChanged = true;
        }
        for (int k = 0; k < PgmCount; ++k) {
            const int n = FirstPgmModeByte + k;
            m_pgm.savedPcModes[k] = quint8(pc[n]);
            m_pgm.savedAlarmeModes[k] = quint8(alarme[n]);
            if ((m_pgm.content.takesFromPc(n) && pc[n] != alarme[n]) || m_pgm.optionChanged) {
                temporary.put(n, TemporaryPgmMode);
                m_pgm.modesChanged = true;
            }
        }
        // The whole mask is kept (not only blocks 0..7), so that a request whose PGM bytes did not
        // change still writes every block it asked for.
        m_pgm.savedBlocks = Blocks.load();
        m_pgm.savedChangedPgms = ChangedPgms.load();
        if (m_pgm.modesChanged) {
            Chunks[PgmModesBlock] |= PgmModesChunks;
            Blocks |= 1u << PgmModesBlock;
        }
        if (m_pgm.optionChanged) {
            Chunks[OptionsBlock] |= OptionsChunk;
            Blocks |= 1u << OptionsBlock;
        }
        if (m_pgm.modesChanged || m_pgm.optionChanged) {
            m_pgm.temporaryWrite = true;
            m_pgm.preparationDone = true;
            m_pgm.temporary = temporary;
            WriteBytes.store(temporary);
            WriteProgrammingRequest = true;
            return; // PgmChangeRequest stays set: the next pass writes, then switches off
        }
    }

    // Switch-off start.
    m_pgm.restorePending = true;
    m_pgm.preparationDone = false;
    PgmSwitchOffPhase = true;
    PgmChangeRequest = false;
    StatusRequest = true;
}

void OnLine::pgmRestore() {
    // After the temporary write every requested block is on the panel already; blocks 0..7 (those
    // of the PGM and option bytes) are written once more with the operator's bytes.
    Blocks = m_pgm.temporaryWrite ? (m_pgm.savedBlocks & 0xFF) : m_pgm.savedBlocks;
    if (m_pgm.optionChanged) {
        m_pgm.temporary.release(ByteOptionModule);
        WriteBytes.store(m_pgm.temporary);
        Blocks |= 1u << OptionsBlock;
        m_pgm.optionChanged = false;
        return; // the mode bytes follow one pass later
    }
    if (m_pgm.modesChanged) {
        // The request's own PGM bytes go as the operator left them; a mode the request does not
        // send (every mode changes with the PGM module option) goes back to the panel's old value.
        for (int k = 0; k < PgmCount; ++k) {
            const int n = FirstPgmModeByte + k;
            if (m_pgm.content.takesFromPc(n))
                m_pgm.temporary.release(n);
            else if (m_pgm.temporary.putValue(n))
                m_pgm.temporary.put(n, m_pgm.savedAlarmeModes[k]);
        }
        WriteBytes.store(m_pgm.temporary);
        Blocks |= 1u << PgmModesBlock;
    }
    WriteProgrammingRequest = true;
    ChangedPgms = m_pgm.savedChangedPgms;
    m_pgm.restorePending = false;
    PgmChangeInProgress = false;
}

void OnLine::abandonPgmChange() {
    if (!PgmChangeInProgress.load())
        return;
    // Nothing of the procedure is left to run; the panel keeps what the last verified write gave
    // it, and the editor shows where it differs from the operator's bytes.
    PgmChangeRequest = false;
    PgmSwitchOffPhase = false;
    StatusRequest = false;
    WriteBytes.store(m_pgm.content);
    ChangedPgms = m_pgm.savedChangedPgms;
    m_pgm = PgmChange{};
    PgmChangeInProgress = false;
}
