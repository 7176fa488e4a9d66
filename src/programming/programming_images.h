#pragma once

#include "programming/chunk_marks.h"
#include "programming/programming_image.h"

// The pair of programming images of one customer's panel model, owned by the model's editor:
// `ImagemPC`, the copy the operator edits (templates load and save it, the write procedure sends
// it), and `ImagemAlarme`, the mirror of the panel (filled by block reads, zeroed when the session
// ends). `ImagemPC` starts with the model's initial fill, `ImagemAlarme` with zeros.
class ProgrammingImages {
public:
    explicit ProgrammingImages(int productCode);

    int productCode() const { return m_productCode; }
    ProductFamily family() const { return ImagemPC.family(); }

    ProgrammingImage ImagemPC;
    ProgrammingImage ImagemAlarme;

    // "Enviar para o alarme" of a section: marks the differing chunks of its send ranges.
    bool markSection(ProgSection section, ChunkMarks& marks) const;
    // "Enviar toda programação" (see WholeSendRanges for `withUserAccounts`).
    bool markWholeProgramming(bool withUserAccounts, ChunkMarks& marks) const;
    // "Carregar dados do alarme para o PC" of a section: copies its copy ranges from `ImagemAlarme`
    // into `ImagemPC`. On the 10-zone family an hour byte (17, 19, 21, 23) is copied only when it is
    // a BCD hour 00..23, else 0x23 is written; a minute byte (18, 20, 22, 24) only when it is a BCD
    // minute 00..59, else 0x59.
    void copySectionFromAlarm(ProgSection section);
    // Every section in the order of "Carregar todos os dados do alarme para o PC".
    void copyAllFromAlarm();

    // The session has ended: the panel's copy no longer means anything.
    void clearAlarm() { ImagemAlarme.clear(); }

private:
    int m_productCode;
};

// Zone attribute normalisation of a freshly read `ImagemAlarme`, so that it obeys the rules the
// editors keep: a disabled zone has no other attribute; a 24-hour zone has no partition A,
// follower, entry or exit delay, auto-bypassing or bypass, and no stay bit unless the 10-zone panel
// is partitioned (the bit then means partition B); a zone with entry delay is no follower. Applies
// to the board zones of the family (1..8 or 1..5). The session worker runs it after every read.
void NormalizaAtributosZonas(ProgrammingImage& image);
