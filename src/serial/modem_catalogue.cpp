#include "serial/modem_catalogue.h"

#include <QDir>
#include <QFileInfo>

namespace {

const QString kModems = QStringLiteral("MODEMS");
const QString kInfo = QStringLiteral("INFO");

struct BuiltInModem {
    const char16_t* name;
    const char* initString;
};

// The strings "Restaurar padrão" restores; the first two are the models of a new catalogue.
const BuiltInModem kBuiltInModems[] = {
    {u"U.S. Robotics Serial Externo ou Interno",
     "&F0 &C0 &D2 &H0 &I0 &K0 &N1 E0 Q0 S0=0 S10=255 S12=50 S7=120 S9=1 X3 V0"},
    {u"U.S. Robotics USB",
     "&F0 &C0 &D2 &H0 &I0 &K0 &N1 E0 Q0 S0=0 S10=255 S12=50 S7=120 S9=1 X3 V0 +MS=B103,0,300"},
    {u"WINMODEM", "B1 X1 &A0 &B1 &C1 &D0 &H0 &K0 &M0 &R1 &S1 &U0 S0=1 S6=2 S7=254 S9=1 S10=255 S19=2 S21=3 "
                  "S25=5 S28=8 S35=0"},
    {u"HARDMODEM",
     "B1 X1 &A0 &B1 &C1 &D0 &H0 &K0 &M0 &N1 &R1 &S1 &U0 S0=1 S6=2 S7=254 S9=1 S10=255 S19=2 S21=3 "
     "S25=5 S28=8 S35=0"},
    {u"3COM GENÉRICO", "&F0 &H0 &I0 &K0 &N1 E0 Q0 X1 S7=120 S9=1 S12=2 S10=255 &C0"},
    {u"CONEXANT GENÉRICO",
     "&F &K0 &Q0 +ES=1,0,1 E0 Q0 X1 +MS=B103,0; S7=120 S9=1 S12=2 S10=250 +DS=0; &C0 +IFC=0,0;"},
    {u"BOCA MODEM 33600 EXTERNO",
     "&F E0 &K0 Q0 X4 S0=1 S6=2 S7=255 S9=255 S12=2 S10=255 S37=3 N0 &C0 B1 &G0 V1"},
    {u"Personalizado", "B1 E0 F1 Q0 M2 V1 X1 Y0 &A0 &B1 &C1 &D0 &H0 &I0 &K0 &M0 &N1 &P0 &R1 &S1 &U0 &Y1 S0=1 "
                       "S1=0 S2=43 S3=13 S4=10 "
                       "S5=8 S6=2 S7=254 S8=2 S9=1 S10=255 S11=70 S12=50 S13=0 S15=0 S16=0 S18=0 S19=2 S21=3 "
                       "S22=017 S23=19 S25=5 "
                       "S27=0 S28=8 S29=20 S30=0 S31=128 S32=2 S33=0 S34=0 S35=0 S36=14 S38=0 L1"},
};
constexpr int kDefaultModelCount = 2;

QString key(const char* prefix, int index) {
    return QString::fromLatin1(prefix) + QString::number(index);
}

} // namespace

QString ModemCatalogue::filePath(const QString& folder) {
    const QDir dir(folder);
    const QStringList found =
        dir.entryList({QStringLiteral("[Mm][Oo][Dd][Ee][Mm].[Ii][Nn][Ii]")}, QDir::Files);
    return dir.filePath(found.isEmpty() ? QStringLiteral("Modem.ini") : found.first());
}

bool ModemCatalogue::ensureExists(const QString& folder, QString* error) {
    const QString path = filePath(folder);
    if (QFileInfo::exists(path))
        return true;
    return defaults().save(path, error);
}

ModemCatalogue ModemCatalogue::defaults() {
    ModemCatalogue catalogue;
    for (int i = 1; i <= kDefaultModelCount; ++i) {
        catalogue.m_ini.setValue(kModems, key("N", i), QString::fromUtf16(kBuiltInModems[i - 1].name));
        catalogue.m_ini.setValue(kModems, key("STR", i),
                                 QString::fromLatin1(kBuiltInModems[i - 1].initString));
    }
    catalogue.m_ini.setValue(kInfo, QStringLiteral("Num_modems"), kDefaultModelCount);
    catalogue.m_ini.setValue(kInfo, QStringLiteral("MODEM"), 1);
    return catalogue;
}

bool ModemCatalogue::load(const QString& path) {
    return m_ini.load(path);
}

bool ModemCatalogue::save(const QString& path, QString* error) const {
    QString reason;
    if (m_ini.save(path, &reason))
        return true;
    if (error)
        *error = QStringLiteral("Não foi possível gravar o arquivo %1.\r%2")
                     .arg(QDir::toNativeSeparators(path), reason);
    return false;
}

int ModemCatalogue::count() const {
    const int declared = qMax(0, m_ini.intValue(kInfo, QStringLiteral("Num_modems"), 0));
    // A damaged count (Num_modems=2147483647) must not make every reader walk billions of empty
    // models: the catalogue ends with the highest model the file names.
    int highest = 0;
    for (const QString& name : m_ini.keys(kModems)) {
        if (!name.startsWith(QLatin1Char('N'), Qt::CaseInsensitive))
            continue;
        bool ok = false;
        const int index = name.mid(1).toInt(&ok);
        if (ok && index > highest)
            highest = index;
    }
    return qMin(declared, highest);
}

int ModemCatalogue::selected() const {
    return m_ini.intValue(kInfo, QStringLiteral("MODEM"), 1);
}

QString ModemCatalogue::name(int index) const {
    return m_ini.value(kModems, key("N", index));
}

QString ModemCatalogue::initString(int index) const {
    return m_ini.value(kModems, key("STR", index));
}

QStringList ModemCatalogue::names() const {
    QStringList out;
    for (int i = 1; i <= count(); ++i)
        out.append(name(i));
    return out;
}

void ModemCatalogue::setSelected(int index) {
    m_ini.setValue(kInfo, QStringLiteral("MODEM"), index);
}

void ModemCatalogue::setInitString(int index, const QString& initString) {
    m_ini.setValue(kModems, key("STR", index), initString);
}

QString BuiltInInitString(const QString& modelName) {
    for (const BuiltInModem& modem : kBuiltInModems)
        if (modelName == QString::fromUtf16(modem.name))
            return QString::fromLatin1(modem.initString);
    return {};
}

QStringList SplitInitString(const QString& initString) {
    QStringList commands;
    QString rest = initString + u' ';
    for (qsizetype space = rest.indexOf(u' '); space >= 0; space = rest.indexOf(u' ')) {
        commands.append(rest.left(space).trimmed());
        rest.remove(0, space + 1);
    }
    return commands;
}
