#pragma once

#include "programming/image_geometry.h"

#include <QString>
#include <QStringList>
#include <QVector>
#include <QtGlobal>

#include <optional>
#include <span>

// Where every field of the programming image lives, for both families, and the database column
// the storage mapping keeps it in. Everything model-dependent about the image is a table here;
// the image object, the storage mapping, the editors and the report look places up instead of
// spelling byte numbers themselves.

// The tables of one customer's programming rows (all keyed by the panel, see ProgrammingStorage).
enum class ProgrammingTable { Painel, Fones, Opcoes, Report, Tempos, Usuarios, Zonas };
inline constexpr ProgrammingTable kProgrammingTables[] = {
    ProgrammingTable::Painel, ProgrammingTable::Fones,    ProgrammingTable::Opcoes, ProgrammingTable::Report,
    ProgrammingTable::Tempos, ProgrammingTable::Usuarios, ProgrammingTable::Zonas};
// "PAINEL", "FONES", "OPCOES", "REPORT", "TEMPOS", "USUARIOS", "ZONAS".
QString TableName(ProgrammingTable table);

enum class FieldEncoding {
    Number,         // 1 byte, decimal text
    Hour,           // 1 byte, packed BCD 0..23
    Minute,         // 1 byte, packed BCD 0..59
    DuressDigit,    // 1 byte, 0x01..0x0A or 0xFF
    Rings,          // 1 byte, 1..15 (a number kept as a list position in the row)
    OptionTextCode, // 1 byte, code of a list entry (kept as a list position in the row)
    Code,           // 2 bytes, packed code
    Account,        // 2 bytes, packed account
    PanelCode,      // 2 bytes, panel or PC code of the customer screen
    Phone,          // 8 bytes, telephone nibbles
    ReportDigit,    // 1 byte, digit pair shown as one digit
    ReportCode,     // 1 byte, digit pair shown as two digits
};
int EncodedLength(FieldEncoding encoding);

// The scalar fields of the image (fields with one text each). Indexed ones (user codes and
// attributes, zone attributes, options) have their own functions below.
enum class ProgField {
    // times (block 0)
    EntryDelay,
    ExitDelay,
    SirenTime,
    PgmTime,
    IntelligentZoneTime,
    NoMainsTime,
    AutoTestInterval,
    AnsweringMachineTime,
    NoMovementTime,
    DuressDigit,
    Rings,
    AutoArmHour,
    AutoArmMinute,
    AutoTestHour,
    AutoTestMinute,
    PgmOnHour,
    PgmOnMinute,
    PgmOffHour,
    PgmOffMinute,
    CommunicationFormat,
    Pgm1Mode,
    Pgm2Mode,
    Pgm3Mode,
    Pgm4Mode,
    ClockAdjustment,
    // codes and accounts
    PanelCode,
    PcCode,
    AccountA,
    AccountB,
    MasterCode,
    InstallerCode,
    // telephone numbers
    MonitoringPhone1,
    MonitoringPhone2,
    PcPhone,
    // report digits
    DigCoacao,
    DigArme,
    DigDesarme,
    DigArmeStay,
    DigAcionamentoPgm,
    DigDesacionamentoPgm,
    DigDisparoZona,
    DigRestauracaoZona,
    DigCurtoZona,
    DigRestauracaoCurto,
    DigAutoAnulacao,
    DigBypassZona,
    DigArmePcFone,
    DigDesarmePcFone,
    // report codes
    CodAutoArme,
    CodAutoTeste,
    CodPanico1,
    CodPanico2,
    CodPanico3,
    CodPedidoManut,
    CodAltProgViaPcTeclado,
    CodEntrarProg,
    CodSairProg,
    CodBuffer90,
    CodBufferCheio,
    CodArmeViaControleRemoto,
    CodDesarmeViaControleRemoto,
    CodAcessoRemoto,
    CodNaoMovimento,
    CodProbSaidaAux,
    CodProbAc,
    CodProbBat,
    CodProbSirene,
    CodRestSaidaAux,
    CodRestAc,
    CodRestBat,
    CodRestSirene,
    CodRestLinhaTelefonica,
};

struct FieldPlace {
    ProgField field;
    FieldEncoding encoding;
    short tenZone;  // first image byte on the 10-zone family, -1 when the family lacks the field
    short fiveZone; // first image byte on the 5-zone model, -1 when absent
    ProgrammingTable table;
    const char* column; // nullptr: no column of its own (hours and minutes share a TIME column)
    // Number: the value an empty text writes. Hour and Minute: the byte an empty or invalid
    // text writes.
    quint8 defaultByte;
    bool products3And4Only; // exists on product codes 3 and 4 only (10-zone family)
};

std::span<const FieldPlace> FieldPlaces();
const FieldPlace& PlaceOf(ProgField field);
// First image byte of a field on a product code's image, or -1 when that model lacks it.
int FieldOffset(ProgField field, int productCode);
// The same by family, without the product code 3 and 4 restriction.
int FieldOffset(ProgField field, ProductFamily family);

// The four times of day, each a TEMPOS column of type TIME built from an hour and a minute field.
struct TimeOfDayPlace {
    const char* column;
    ProgField hour;
    ProgField minute;
};
std::span<const TimeOfDayPlace> TimeOfDayPlaces();

// Zone attributes: image byte 48 + attribute, bit z = zone z + 1. Byte 48 holds "enabled"; the
// editors and the ZONAS row keep its complement, the "disabled" mask.
enum class ZoneAttribute {
    Disabled,      // 48 (complement)
    Hour24,        // 49
    PartitionA,    // 50, 10-zone family only
    Stay,          // 51: partition B when the panel is partitioned
    Silent,        // 52
    Follower,      // 53
    EntryDelay,    // 54
    ExitDelay,     // 55
    Intelligent,   // 56
    AutoBypass,    // 57
    Fire,          // 58
    BypassAllowed, // 59
};
inline constexpr int kZoneAttributeCount = 12;
inline constexpr int kZoneAttributeBase = 48;
constexpr int ZoneAttributeByte(ZoneAttribute a) {
    return kZoneAttributeBase + int(a);
}
// ZONAS column of an attribute mask ("HABDESABZONA", "ZONA24H", ... "ZONABYPASS").
QString ZoneAttributeColumn(ZoneAttribute a);
bool FamilyHasZoneAttribute(ProductFamily family, ZoneAttribute a);
// Zones 1..8 of the board on the 10-zone family; zones 1..5 on the 5-zone model (zone 5 is its
// keypad zone, kept in the same bytes).
constexpr int BoardZoneCount(ProductFamily family) {
    return family == ProductFamily::TenZone ? 8 : 5;
}

// Keypad zones 9 and 10 of the 10-zone family: one byte each with all attributes.
inline constexpr int kKeypadZone9Byte = 60;
inline constexpr int kKeypadZone10Byte = 61;
enum KeypadZoneBit {
    KeypadPartitionA = 0,
    KeypadStay = 1,
    KeypadEntryDelay = 2,
    KeypadExitDelay = 3,
    KeypadSilent = 4,
    KeypadFollower = 5,
    KeypadIntelligent = 6,
    KeypadChime = 7,
};

// The zone type list of the editors, in list order (the position is the value).
enum class ZoneType { Desabilitada, Imediata, TempoDeSaida, TempoDeEntrada, TempoDeEntradaESaida, Zona24h };
// "DESABILITADA", "Imediata", "Tempo de saída", "Tempo de entrada", "Tempo de ent. e saída", "Zona 24h".
QStringList ZoneTypeCaptions();

// Users: 48 on the 10-zone family, 15 on the 5-zone model; n counts from 1.
constexpr int UserCount(ProductFamily family) {
    return family == ProductFamily::TenZone ? 48 : 15;
}
constexpr int UserAttributeByte(ProductFamily family, int n) {
    return (family == ProductFamily::TenZone ? 63 : 64) + n;
}
constexpr int UserCodeByte(ProductFamily family, int n) {
    return (family == ProductFamily::TenZone ? 126 : 128) + 2 * n;
}
// "ATRIB_USUARIO03", "SENHA_USUARIO03".
QString UserAttributeColumn(int n);
QString UserCodeColumn(int n);

// User attribute bits of the 10-zone family.
enum TenZoneUserBit {
    UserPartitionA = 0,
    UserPartitionB = 1,
    UserArmStay = 2,
    UserArmAway = 3,
    UserDisarm = 4,
    UserPhoneControl = 5,
    UserBypassZones = 6,
    UserPgmControl = 7,
};
// User attribute bits of the 5-zone model (bits 5..7 unused).
enum FiveZoneUserBit {
    User5Arm = 0,
    User5Disarm = 1,
    User5ArmStayAndAway = 2,
    User5BypassZones = 3,
    User5PgmControl = 4,
};
// Captions of the user attribute check boxes, by bit (8 on the 10-zone family, 5 on the 5-zone).
QStringList UserAttributeCaptions(ProductFamily family);

// Option bytes. Options are numbered 16 x index + bit; the index picks the byte: 10-zone 0..3 =
// bytes 32..35; 5-zone 0..4 = bytes 32..36 and 8 = byte 40. -1 for an index the family lacks.
int OptionByteOffset(ProductFamily family, int index);
// Number of OPCOES.PROGBIT_n columns (4 or 6) and the byte of PROGBIT_n (n from 1).
constexpr int ProgBitCount(ProductFamily family) {
    return family == ProductFamily::TenZone ? 4 : 6;
}
int ProgBitByte(ProductFamily family, int n);

// Options that program logic (not just a check box) depends on.
enum class NamedOption {
    DiallerMode,      // "Modo discadora", cleared by report modes 1..3
    Partitioned,      // "Particionada", 10-zone family only
    ToneDialling,     // "Tom" when set, "Pulso" when clear
    PgmModule,        // "Módulo PGM"
    PgmTimeInMinutes, // unit of the PGM time
};
std::optional<int> OptionNumber(NamedOption option, ProductFamily family);

// Report mode: bits 0..1 of byte 32 on both families.
inline constexpr int kReportModeByte = 32;
// "Report desativado", "Report dividido", "Report duplo", "Report alternado".
QStringList ReportModeCaptions();

// Communication format list of the editor for a model and stored version: the two entries
// "80 - DTMF 4x2 Express" and "88 - Contact ID" for the 5-zone model and for product codes 3 and 4
// with stored version "1.3", all 26 entries otherwise.
QStringList CommunicationFormatList(int productCode, const QString& storedVersion);
// PGM mode list: 22 entries for the 10-zone family, 19 for the 5-zone model.
QStringList PgmModeList(ProductFamily family);
// Position of the entry whose code equals `byte` (entries starting with "-" skipped), or -1.
int OptionListPosition(const QStringList& list, quint8 byte);

// The fill `ImagemPC` receives when an editor is created (on top of all zeros).
struct FillRule {
    ByteRange range;
    quint8 value;
};
QVector<FillRule> InitialFill(int productCode);

// Editor sections, as the navigator names them, plus the customer screen's panel and PC codes.
enum class ProgSection { Zonas, Usuarios, Tempos, Comunicacao, Opcoes, Pgms, Reporte, CodigosPainel };
// The order "Carregar todos os dados do alarme para o PC" loads the sections in.
inline constexpr ProgSection kSectionLoadOrder[] = {
    ProgSection::Zonas,  ProgSection::Usuarios, ProgSection::Tempos, ProgSection::Comunicacao,
    ProgSection::Opcoes, ProgSection::Pgms,     ProgSection::Reporte};
// Navigator caption ("Zonas", "Usuários", "Tempos", "Comunic.", "Opções", "PGM's", "Reporte").
QString SectionCaption(ProgSection section);
// Message shown when a section's send finds nothing to write.
QString SectionEqualMessage(ProgSection section);
// Bytes a section sends and compares, and bytes its "Carregar dados do alarme para o PC" copies.
QVector<ByteRange> SectionSendRanges(ProgSection section, int productCode);
QVector<ByteRange> SectionCopyRanges(ProgSection section, int productCode);

// Bytes "Enviar toda programação" compares and sends. The users section's bytes (attributes and
// every code of the users section) take part only when `withUserAccounts` is set; the caller
// passes whether the operator may send the accounts.
QVector<ByteRange> WholeSendRanges(int productCode, bool withUserAccounts);
// Message of a whole send that finds nothing to write.
QString WholeSendEqualMessage(ProductFamily family);
