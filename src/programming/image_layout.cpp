#include "programming/image_layout.h"

#include "programming/image_fields.h"

#include <iterator>

namespace {

using T = ProgrammingTable;
using E = FieldEncoding;
using F = ProgField;

// clang-format off
constexpr FieldPlace kFieldPlaces[] = {
    // field                      encoding           10z   5z   table      column                          default 3/4 only
    {F::EntryDelay,               E::Number,           1,   1, T::Tempos,  "ENTRADA",                        30, false},
    {F::ExitDelay,                E::Number,           2,   2, T::Tempos,  "SAIDA",                          30, false},
    {F::SirenTime,                E::Number,           3,   3, T::Tempos,  "SIRENE",                         30, false},
    {F::PgmTime,                  E::Number,           4,   4, T::Tempos,  "PGM",                            30, false},
    {F::IntelligentZoneTime,      E::Number,           5,   5, T::Tempos,  "ZONA_INTELIG",                   30, false},
    {F::NoMainsTime,              E::Number,           6,   6, T::Tempos,  "SEM_AC",                         30, false},
    {F::AutoTestInterval,         E::Number,           7,   7, T::Tempos,  "INTERVALO_AUTO_TESTE",            0, false},
    {F::AnsweringMachineTime,     E::Number,           8,   8, T::Tempos,  "ENGANA_SECRET",                  30, false},
    {F::NoMovementTime,           E::Number,           9,  -1, T::Tempos,  "NAO_MOVIMENTO",                   0, true},
    {F::DuressDigit,              E::DuressDigit,     15,  15, T::Opcoes,  "DIGITOCOACAO",                    0, false},
    {F::Rings,                    E::Rings,           16,  16, T::Fones,   "NUM_RINGS",                       1, false},
    {F::AutoArmHour,              E::Hour,            17,  17, T::Tempos,  nullptr,                        0x18, false},
    {F::AutoArmMinute,            E::Minute,          18,  18, T::Tempos,  nullptr,                        0x30, false},
    {F::AutoTestHour,             E::Hour,            19,  19, T::Tempos,  nullptr,                        0x12, false},
    {F::AutoTestMinute,           E::Minute,          20,  20, T::Tempos,  nullptr,                        0x30, false},
    {F::PgmOnHour,                E::Hour,            21,  21, T::Tempos,  nullptr,                        0x19, false},
    {F::PgmOnMinute,              E::Minute,          22,  22, T::Tempos,  nullptr,                        0x00, false},
    {F::PgmOffHour,               E::Hour,            23,  23, T::Tempos,  nullptr,                        0x20, false},
    {F::PgmOffMinute,             E::Minute,          24,  24, T::Tempos,  nullptr,                        0x00, false},
    {F::CommunicationFormat,      E::OptionTextCode,  25,  25, T::Fones,   "FORMATO_COMUNIC",                 0, false},
    {F::Pgm1Mode,                 E::OptionTextCode,  26,  26, T::Opcoes,  "PGM1",                            0, false},
    {F::Pgm2Mode,                 E::OptionTextCode,  27,  27, T::Opcoes,  "PGM2",                            0, false},
    {F::Pgm3Mode,                 E::OptionTextCode,  28,  28, T::Opcoes,  "PGM3",                            0, false},
    {F::Pgm4Mode,                 E::OptionTextCode,  29,  29, T::Opcoes,  "PGM4",                            0, false},
    {F::ClockAdjustment,          E::Number,          30,  30, T::Opcoes,  "AJUSTERELOGIO",                   0, false},
    {F::PanelCode,                E::PanelCode,      112, 112, T::Painel,  "CODIGO_PAINEL",                   0, false},
    {F::PcCode,                   E::PanelCode,      114, 114, T::Painel,  "CODIGO_PC",                       0, false},
    {F::AccountA,                 E::Account,        116, 116, T::Opcoes,  "CONTA_PART_A",                    0, false},
    {F::AccountB,                 E::Account,        118,  -1, T::Opcoes,  "CONTA_PART_B",                    0, false},
    // The master code follows the installer code on the 5-zone model, the reverse of the 10-zone order.
    {F::MasterCode,               E::Code,           124, 128, T::Usuarios, "SENHA_MASTER",                   0, false},
    {F::InstallerCode,            E::Code,           126, 126, T::Usuarios, "SENHA_INSTALADOR",               0, false},
    {F::MonitoringPhone1,         E::Phone,          224, 224, T::Fones,   "CENTRAL_MONIT_1",                 0, false},
    {F::MonitoringPhone2,         E::Phone,          232, 232, T::Fones,   "CENTRAL_MONIT_2",                 0, false},
    {F::PcPhone,                  E::Phone,          240, 240, T::Fones,   "PC",                              0, false},
    {F::DigCoacao,                E::ReportDigit,    256, 160, T::Report,  "DIG_COACAO",                      0, false},
    {F::DigArme,                  E::ReportDigit,    257, 161, T::Report,  "DIG_ARME",                        0, false},
    {F::DigDesarme,               E::ReportDigit,    258, 162, T::Report,  "DIG_DESARME",                     0, false},
    {F::DigArmeStay,              E::ReportDigit,    259, 163, T::Report,  "DIG_ARME_STAY",                   0, false},
    {F::DigAcionamentoPgm,        E::ReportDigit,    260, 164, T::Report,  "DIG_ACIONAMENTO_PGM",             0, false},
    {F::DigDesacionamentoPgm,     E::ReportDigit,    261, 165, T::Report,  "DIG_DESACIONAMENTO_PGM",          0, false},
    {F::DigDisparoZona,           E::ReportDigit,    262, 166, T::Report,  "DIG_DISPARO_ZONA",                0, false},
    {F::DigRestauracaoZona,       E::ReportDigit,    263, 167, T::Report,  "DIG_RESTAURACAO_ZONA",            0, false},
    {F::DigCurtoZona,             E::ReportDigit,    264, 168, T::Report,  "DIG_CURTO_ZONA",                  0, false},
    {F::DigRestauracaoCurto,      E::ReportDigit,    265, 169, T::Report,  "DIG_RESTAURACAO_CURTO",           0, false},
    {F::DigAutoAnulacao,          E::ReportDigit,    266, 170, T::Report,  "DIG_AUTO_ANULACAO",               0, false},
    {F::DigBypassZona,            E::ReportDigit,    267, 171, T::Report,  "DIG_BYPASS_ZONA",                 0, false},
    {F::DigArmePcFone,            E::ReportDigit,    268, 172, T::Report,  "DIG_ARME_PC_FONE",                0, false},
    {F::DigDesarmePcFone,         E::ReportDigit,    269, 173, T::Report,  "DIG_DESARME_PC_FONE",             0, false},
    {F::CodAutoArme,              E::ReportCode,     272, 176, T::Report,  "COD_AUTO_ARME",                   0, false},
    {F::CodAutoTeste,             E::ReportCode,     273, 177, T::Report,  "COD_AUTO_TESTE",                  0, false},
    {F::CodPanico1,               E::ReportCode,     274, 178, T::Report,  "COD_PANICO1",                     0, false},
    {F::CodPanico2,               E::ReportCode,     275, 179, T::Report,  "COD_PANICO2",                     0, false},
    {F::CodPanico3,               E::ReportCode,     276, 180, T::Report,  "COD_PANICO3",                     0, false},
    {F::CodPedidoManut,           E::ReportCode,     277, 181, T::Report,  "COD_PEDIDO_MANUT",                0, false},
    {F::CodAltProgViaPcTeclado,   E::ReportCode,     278, 182, T::Report,  "COD_ALT_PROG_VIA_PC_TECLADO",     0, false},
    {F::CodEntrarProg,            E::ReportCode,     279, 183, T::Report,  "COD_ENTRAR_PROG",                 0, false},
    {F::CodSairProg,              E::ReportCode,     280, 184, T::Report,  "COD_SAIR_PROG",                   0, false},
    {F::CodBuffer90,              E::ReportCode,     281, 185, T::Report,  "COD_BUFFER_90",                   0, false},
    {F::CodBufferCheio,           E::ReportCode,     282, 186, T::Report,  "COD_BUFFER_CHEIO",                0, false},
    {F::CodArmeViaControleRemoto, E::ReportCode,     283, 187, T::Report,  "COD_ARME_VIA_CONTROLE_REMOTO",    0, false},
    {F::CodDesarmeViaControleRemoto, E::ReportCode,  284, 188, T::Report,  "COD_DESARME_VIA_CONTROLE_REMOTO", 0, false},
    {F::CodAcessoRemoto,          E::ReportCode,     285, 189, T::Report,  "COD_ACESSO_REMOTO",               0, false},
    {F::CodNaoMovimento,          E::ReportCode,     286,  -1, T::Report,  "COD_NAO_MOVIMENTO",               0, true},
    {F::CodProbSaidaAux,          E::ReportCode,     288, 192, T::Report,  "COD_PROB_SAIDA_AUX",              0, false},
    {F::CodProbAc,                E::ReportCode,     289, 193, T::Report,  "COD_PROB_AC",                     0, false},
    {F::CodProbBat,               E::ReportCode,     290, 194, T::Report,  "COD_PROB_BAT",                    0, false},
    {F::CodProbSirene,            E::ReportCode,     291, 195, T::Report,  "COD_PROB_SIRENE",                 0, false},
    {F::CodRestSaidaAux,          E::ReportCode,     292, 196, T::Report,  "COD_REST_SAIDA_AUX",              0, false},
    {F::CodRestAc,                E::ReportCode,     293, 197, T::Report,  "COD_REST_AC",                     0, false},
    {F::CodRestBat,               E::ReportCode,     294, 198, T::Report,  "COD_REST_BAT",                    0, false},
    {F::CodRestSirene,            E::ReportCode,     295, 199, T::Report,  "COD_REST_SIRENE",                 0, false},
    {F::CodRestLinhaTelefonica,   E::ReportCode,     296,  -1, T::Report,  "COD_REST_LINHA_TELEFONICA",       0, false},
};

constexpr bool FieldPlacesInEnumOrder()
{
    for (int i = 0; i < int(std::size(kFieldPlaces)); ++i) {
        if (int(kFieldPlaces[i].field) != i)
            return false;
    }
    return true;
}
static_assert(FieldPlacesInEnumOrder(), "PlaceOf() indexes the field table by the enum value");

constexpr TimeOfDayPlace kTimeOfDayPlaces[] = {
    {"HORA_AUTO_ARME",          F::AutoArmHour,  F::AutoArmMinute},
    {"HORA_AUTO_TESTE",         F::AutoTestHour, F::AutoTestMinute},
    {"HORA_ACIONAMENTO_PGM",    F::PgmOnHour,    F::PgmOnMinute},
    {"HORA_DESACIONAMENTO_PGM", F::PgmOffHour,   F::PgmOffMinute},
};

const char* const kZoneAttributeColumns[kZoneAttributeCount] = {
    "HABDESABZONA", "ZONA24H", "ZONAPARTICAOA", "ZONAPARTICAOB", "ZONASILENCIOSA", "ZONASEGUIDORA",
    "ZONATEMPOENTRADA", "ZONATEMPOSAIDA", "ZONAINTELIGENTE", "ZONAAUTOANULAVEL", "ZONADEFOGO", "ZONABYPASS",
};

const char* const kFormatEntries[] = {
    "10 - 10 pps, 1400 Hz, 1800 Hz - Sem Paridade", "11 - 10 pps, 2300 Hz, 1800 Hz - Sem Paridade",
    "12 - 10 pps, 1400 Hz, 1900 Hz - Sem Paridade", "13 - 10 pps, 2300 Hz, 1900 Hz - Sem Paridade",
    "14 - 10 pps, 1400 Hz, 1800 Hz - Com Paridade", "15 - 10 pps, 2300 Hz, 1800 Hz - Com Paridade",
    "16 - 10 pps, 1400 Hz, 1900 Hz - Com Paridade", "17 - 10 pps, 2300 Hz, 1900 Hz - Com Paridade",
    "20 - 20 pps, 1400 Hz, 1800 Hz - Sem Paridade", "21 - 20 pps, 2300 Hz, 1800 Hz - Sem Paridade",
    "22 - 20 pps, 1400 Hz, 1900 Hz - Sem Paridade", "23 - 20 pps, 2300 Hz, 1900 Hz - Sem Paridade",
    "24 - 20 pps, 1400 Hz, 1800 Hz - Com Paridade", "25 - 20 pps, 2300 Hz, 1800 Hz - Com Paridade",
    "26 - 20 pps, 1400 Hz, 1900 Hz - Com Paridade", "27 - 20 pps, 2300 Hz, 1900 Hz - Com Paridade",
    "40 - 40 pps, 1400 Hz, 1800 Hz - Sem Paridade", "41 - 40 pps, 2300 Hz, 1800 Hz - Sem Paridade",
    "42 - 40 pps, 1400 Hz, 1900 Hz - Sem Paridade", "43 - 40 pps, 2300 Hz, 1900 Hz - Sem Paridade",
    "44 - 40 pps, 1400 Hz, 1800 Hz - Com Paridade", "45 - 40 pps, 2300 Hz, 1800 Hz - Com Paridade",
    "46 - 40 pps, 1400 Hz, 1900 Hz - Com Paridade", "47 - 40 pps, 2300 Hz, 1900 Hz - Com Paridade",
    "80 - DTMF 4x2 Express", "88 - Contact ID",
};

const char* const kPgmModeEntries[] = {
    "00 - Desabilitado",
    "11 - Ativa junto com a sirene",
    "12 - Ativa ao armar e desativa ao desarmar",
    "13 - Ativa durante o tempo de saída",
    "14 - Ativa durante o tempo de entrada",
    "15 - Ativa durante o problema de linha telefônica",
    "16 - Ativa quando houver problema no sistema",
    "31 - Ativa no tempo T1 programado e desativa no T2",
    "41 - Com retenção ativada pelo usuário (biestável)",
    "51 - Sem retenção ativada pelo usuário (monoestável)",
    "61 - Ativa no pânico por um tempo t",
    "62 - Ativa na emergência médica por um tempo t",
    "63 - Ativa no incêndio por um tempo t",
    "71 - Ativa no disparo da zona silenciosa por um tempo t",
    "81 - Ativa no disparo da zona 1 por um tempo t",
    "82 - Ativa no disparo da zona 2 por um tempo t",
    "83 - Ativa no disparo da zona 3 por um tempo t",
    "84 - Ativa no disparo da zona 4 por um tempo t",
    "85 - Ativa no disparo da zona 5 por um tempo t",
    "86 - Ativa no disparo da zona 6 por um tempo t",
    "87 - Ativa no disparo da zona 7 por um tempo t",
    "88 - Ativa no disparo da zona 8 por um tempo t",
};

// Ranges of the sections: bytes sent and compared, bytes copied from the panel's image.
struct SectionRow {
    ProgSection section;
    const char* caption;
    const char* equalMessage;
    QVector<ByteRange> tenSend;
    QVector<ByteRange> tenCopy;
    QVector<ByteRange> fiveSend;
    QVector<ByteRange> fiveCopy;
};

const QVector<SectionRow>& SectionRows()
{
    static const QVector<SectionRow> rows = {
        {ProgSection::Zonas, "Zonas",
         "A programação de zonas no software Telvora\rjá está igual a do painel de alarme",
         {{48, 61}}, {{48, 61}},
         {{48, 49}, {51, 59}}, {{48, 49}, {51, 59}}},
        {ProgSection::Usuarios, "Usuários",
         "A programação de usuários no software Telvora\rjá está igual a do painel de alarme",
         {{64, 111}, {124, 127}, {128, 223}}, {{64, 111}, {124, 127}, {128, 223}},
         {{65, 79}, {126, 127}, {128, 159}}, {{65, 79}, {126, 127}, {128, 159}}},
        // The 10-zone byte 9 (arm after no movement) is added for product codes 3 and 4.
        {ProgSection::Tempos, "Tempos",
         "A programação de tempos no software Telvora\rjá está igual a do painel de alarme",
         {{1, 8}, {17, 24}}, {{1, 9}, {17, 24}},
         {{1, 8}, {17, 24}}, {{1, 8}, {17, 24}}},
        {ProgSection::Comunicacao, "Comunic.",
         "A programação de comunicação no software Telvora\rjá está igual a do painel de alarme",
         {{16, 16}, {25, 25}, {116, 119}, {224, 255}}, {{16, 16}, {25, 25}, {116, 119}, {224, 247}},
         {{16, 16}, {25, 25}, {116, 117}, {224, 255}}, {{16, 16}, {25, 25}, {116, 117}, {224, 247}}},
        {ProgSection::Opcoes, "Opções",
         "A programação de opções do painel no software Telvora\rjá está igual a do painel de alarme",
         {{15, 15}, {30, 30}, {32, 35}}, {{15, 15}, {30, 30}, {32, 35}},
         {{15, 15}, {30, 30}, {32, 36}, {40, 40}}, {{15, 15}, {30, 30}, {32, 36}, {40, 40}}},
        {ProgSection::Pgms, "PGM's",
         "A programação das PGM's no software Telvora\rjá está igual a do painel de alarme",
         {{26, 29}}, {{26, 29}},
         {{26, 29}}, {{26, 29}}},
        {ProgSection::Reporte, "Reporte",
         "A programação de report no software Telvora\rjá está igual a do painel de alarme",
         {{256, 303}}, {{256, 303}},
         {{160, 207}}, {{160, 173}, {176, 189}, {192, 200}}},
        // The customer screen's "Enviar para o Painel" answers with the zones message.
        {ProgSection::CodigosPainel, "",
         "A programação de zonas no software Telvora\rjá está igual a do painel de alarme",
         {{112, 115}}, {},
         {{112, 115}}, {}},
    };
    return rows;
}
// clang-format on

const SectionRow& RowOf(ProgSection section) {
    for (const SectionRow& row : SectionRows()) {
        if (row.section == section)
            return row;
    }
    Q_UNREACHABLE();
}

bool IsProduct3Or4(int productCode) {
    return productCode == 3 || productCode == 4;
}

} // namespace

QString TableName(ProgrammingTable table) {
    switch (table) {
    case T::Painel:
        return QStringLiteral("PAINEL");
    case T::Fones:
        return QStringLiteral("FONES");
    case T::Opcoes:
        return QStringLiteral("OPCOES");
    case T::Report:
        return QStringLiteral("REPORT");
    case T::Tempos:
        return QStringLiteral("TEMPOS");
    case T::Usuarios:
        return QStringLiteral("USUARIOS");
    case T::Zonas:
        return QStringLiteral("ZONAS");
    }
    return {};
}

int EncodedLength(FieldEncoding encoding) {
    switch (encoding) {
    case E::Code:
    case E::Account:
    case E::PanelCode:
        return 2;
    case E::Phone:
        return 8;
    default:
        return 1;
    }
}

std::span<const FieldPlace> FieldPlaces() {
    return kFieldPlaces;
}

const FieldPlace& PlaceOf(ProgField field) {
    return kFieldPlaces[int(field)];
}

int FieldOffset(ProgField field, ProductFamily family) {
    const FieldPlace& place = PlaceOf(field);
    return family == ProductFamily::TenZone ? place.tenZone : place.fiveZone;
}

int FieldOffset(ProgField field, int productCode) {
    if (PlaceOf(field).products3And4Only && !IsProduct3Or4(productCode))
        return -1;
    return FieldOffset(field, ImageFamilyOf(productCode));
}

std::span<const TimeOfDayPlace> TimeOfDayPlaces() {
    return kTimeOfDayPlaces;
}

QString ZoneAttributeColumn(ZoneAttribute a) {
    return QString::fromLatin1(kZoneAttributeColumns[int(a)]);
}

bool FamilyHasZoneAttribute(ProductFamily family, ZoneAttribute a) {
    // The 5-zone model has a single partition: byte 50 is not used.
    return family == ProductFamily::TenZone || a != ZoneAttribute::PartitionA;
}

QStringList ZoneTypeCaptions() {
    return {QStringLiteral("DESABILITADA"),          QStringLiteral("Imediata"),
            QStringLiteral("Tempo de saída"),        QStringLiteral("Tempo de entrada"),
            QStringLiteral("Tempo de ent. e saída"), QStringLiteral("Zona 24h")};
}

QString UserAttributeColumn(int n) {
    return QStringLiteral("ATRIB_USUARIO%1").arg(n, 2, 10, QLatin1Char('0'));
}
QString UserCodeColumn(int n) {
    return QStringLiteral("SENHA_USUARIO%1").arg(n, 2, 10, QLatin1Char('0'));
}

QStringList UserAttributeCaptions(ProductFamily family) {
    if (family == ProductFamily::TenZone) {
        return {QStringLiteral("Partição A"),   QStringLiteral("Partição B"),
                QStringLiteral("Armar stay"),   QStringLiteral("Armar away"),
                QStringLiteral("Desarmar"),     QStringLiteral("Controle via telefone"),
                QStringLiteral("Inibir zonas"), QStringLiteral("Ativar/desativar PGM")};
    }
    return {QStringLiteral("Armar"), QStringLiteral("Desarmar"), QStringLiteral("Armar stay e away"),
            QStringLiteral("Inibir zonas"), QStringLiteral("Ativar/desativar PGM")};
}

int OptionByteOffset(ProductFamily family, int index) {
    if (family == ProductFamily::TenZone)
        return index >= 0 && index <= 3 ? 32 + index : -1;
    if (index >= 0 && index <= 4)
        return 32 + index;
    return index == 8 ? 40 : -1;
}

int ProgBitByte(ProductFamily family, int n) {
    if (n < 1 || n > ProgBitCount(family))
        return -1;
    if (family == ProductFamily::FiveZone && n == 6)
        return 40;
    return 31 + n;
}

std::optional<int> OptionNumber(NamedOption option, ProductFamily family) {
    switch (option) {
    case NamedOption::DiallerMode:
        return 0x02;
    case NamedOption::Partitioned:
        if (family == ProductFamily::TenZone)
            return 0x03;
        return std::nullopt;
    case NamedOption::ToneDialling:
        return 0x04;
    case NamedOption::PgmModule:
        return 0x22;
    case NamedOption::PgmTimeInMinutes:
        return 0x23;
    }
    return std::nullopt;
}

QStringList ReportModeCaptions() {
    return {QStringLiteral("Report desativado"), QStringLiteral("Report dividido"),
            QStringLiteral("Report duplo"), QStringLiteral("Report alternado")};
}

QStringList CommunicationFormatList(int productCode, const QString& storedVersion) {
    QStringList all;
    for (const char* entry : kFormatEntries)
        all << QString::fromUtf8(entry);
    const bool shortList = ImageFamilyOf(productCode) == ProductFamily::FiveZone ||
                           (IsProduct3Or4(productCode) && storedVersion == QLatin1String("1.3"));
    return shortList ? all.mid(all.size() - 2) : all;
}

QStringList PgmModeList(ProductFamily family) {
    QStringList list;
    for (const char* entry : kPgmModeEntries)
        list << QString::fromUtf8(entry);
    return family == ProductFamily::TenZone ? list : list.mid(0, 19);
}

int OptionListPosition(const QStringList& list, quint8 byte) {
    for (int i = 0; i < list.size(); ++i) {
        if (list.at(i).startsWith(QLatin1Char('-')))
            continue;
        if (ImageField::EncodeOptionTextCode(list.at(i)) == byte)
            return i;
    }
    return -1;
}

QVector<FillRule> InitialFill(int productCode) {
    if (ImageFamilyOf(productCode) == ProductFamily::FiveZone) {
        static const QVector<FillRule> five = {
            {{9, 15}, 0xFF},    {{31, 31}, 0xFF},   {{37, 39}, 0xFF},   {{41, 47}, 0xFF},
            {{49, 49}, 0xFF},   {{60, 64}, 0xFF},   {{84, 94}, 0xFF},   {{100, 110}, 0xFF},
            {{118, 125}, 0xFF}, {{174, 175}, 0xFF}, {{190, 191}, 0xFF}, {{200, 223}, 0xFF},
            {{248, 255}, 0xFF},
        };
        return five;
    }
    QVector<FillRule> ten = {
        {{15, 15}, 0xFF},   {{31, 31}, 0xFF},   {{48, 48}, 0xFF},   {{120, 123}, 0xFF},
        {{128, 223}, 0xFF}, {{248, 255}, 0xFF}, {{270, 271}, 0xFF}, {{287, 287}, 0xFF},
        {{297, 303}, 0xFF}, {{7, 7}, 0x00},     {{36, 39}, 0x00},   {{41, 46}, 0x00},
    };
    // The no-movement report code exists on product codes 3 and 4 only.
    if (productCode == 1)
        ten.append({{286, 286}, 0xFF});
    return ten;
}

QString SectionCaption(ProgSection section) {
    return QString::fromUtf8(RowOf(section).caption);
}

QString SectionEqualMessage(ProgSection section) {
    return QString::fromUtf8(RowOf(section).equalMessage);
}

QVector<ByteRange> SectionSendRanges(ProgSection section, int productCode) {
    const SectionRow& row = RowOf(section);
    if (ImageFamilyOf(productCode) == ProductFamily::FiveZone)
        return row.fiveSend;
    QVector<ByteRange> ranges = row.tenSend;
    if (section == ProgSection::Tempos && IsProduct3Or4(productCode))
        ranges.insert(1, {9, 9});
    return ranges;
}

QVector<ByteRange> SectionCopyRanges(ProgSection section, int productCode) {
    const SectionRow& row = RowOf(section);
    return ImageFamilyOf(productCode) == ProductFamily::FiveZone ? row.fiveCopy : row.tenCopy;
}

QVector<ByteRange> WholeSendRanges(int productCode, bool withUserAccounts) {
    QVector<ByteRange> ranges;
    if (ImageFamilyOf(productCode) == ProductFamily::TenZone) {
        ranges = {{1, 8}, {15, 15}};
        if (IsProduct3Or4(productCode))
            ranges.append({9, 9});
        // The account numbers belong to the whole programming as they do to the communication
        // section, and on the 5-zone model.
        ranges += QVector<ByteRange>{{16, 30}, {32, 35}, {48, 61}, {116, 119}, {224, 255}, {256, 303}};
    } else {
        ranges = {{1, 8},   {15, 15},   {16, 30},   {32, 36},   {40, 40},   {48, 49},
                  {51, 59}, {116, 117}, {160, 174}, {176, 190}, {192, 200}, {224, 247}};
    }
    if (withUserAccounts)
        ranges += SectionSendRanges(ProgSection::Usuarios, productCode);
    return ranges;
}

QString WholeSendEqualMessage(ProductFamily family) {
    if (family == ProductFamily::TenZone)
        return SectionEqualMessage(ProgSection::Zonas);
    return QStringLiteral("A programação no software Telvora\rjá está igual a do painel de alarme");
}
