#include "app/cli/section_names.h"

namespace {

struct SectionName {
    const char* name;
    ProgSection section;
};

constexpr SectionName kSectionNames[] = {
    {"zonas", ProgSection::Zonas},     {"usuarios", ProgSection::Usuarios},
    {"tempos", ProgSection::Tempos},   {"comunicacao", ProgSection::Comunicacao},
    {"opcoes", ProgSection::Opcoes},   {"pgms", ProgSection::Pgms},
    {"reporte", ProgSection::Reporte},
};

} // namespace

QStringList CliSectionNames() {
    QStringList names;
    for (const SectionName& s : kSectionNames)
        names.append(QString::fromLatin1(s.name));
    return names;
}

bool ParseCliSections(const QString& text, QList<ProgSection>* sections, QString* error) {
    sections->clear();
    const QString known = CliSectionNames().join(QStringLiteral(", "));
    for (const QString& word : text.split(QLatin1Char(','), Qt::SkipEmptyParts)) {
        const QString name = word.trimmed().toLower();
        const auto it = std::find_if(std::begin(kSectionNames), std::end(kSectionNames),
                                     [&](const SectionName& s) { return name == QLatin1String(s.name); });
        if (it == std::end(kSectionNames)) {
            *error =
                QStringLiteral("Seção desconhecida: \"%1\". As seções são: %2.").arg(word.trimmed(), known);
            return false;
        }
        if (!sections->contains(it->section))
            sections->append(it->section);
    }
    if (sections->isEmpty()) {
        *error = QStringLiteral("Informe as seções a enviar: --sections %1").arg(CliSectionNames().join(','));
        return false;
    }
    return true;
}
