#include "programming/image_layout.h"
#include "report/report_pages.h"
#include "report/report_texts.h"

ReportPage TimesPage(const CustomerRows& rows, const ReportVariant& variant) {
    ReportPage page;
    page.title = QStringLiteral("PROGRAMAÇÃO DOS TEMPOS, HORÁRIOS, COMUNICAÇÃO E PGM");
    // The 5-zone layout marks empty times, telephones and account with "-".
    const bool fiveZone = variant.family == ProductFamily::FiveZone;
    auto shown = [&](const QVariantMap& row, const char* column) {
        const QString text = ValueText(Column(row, QString::fromLatin1(column)));
        return fiveZone ? DashWhenEmpty(text) : text;
    };
    auto time = [&](const char* caption, const char* column, const char* unit) {
        page.Field(QString::fromUtf8(caption),
                   shown(rows.tempos, column) + QLatin1Char(' ') + QString::fromUtf8(unit));
    };
    const QVariantMap& t = rows.tempos;

    page.Section(QStringLiteral("TEMPOS"));
    time("Tempo de entrada:", "ENTRADA", "seg.");
    time("Tempo de saída:", "SAIDA", "seg.");
    time("Tempo de sirene:", "SIRENE", "min.");
    time("Tempo de PGM:", "PGM",
         BitSet(Column(rows.opcoes, QStringLiteral("PROGBIT_3")), 3) ? "min." : "seg.");
    time("Tempo sem AC:", "SEM_AC", "min.");
    time("Tempo de zona inteligente:", "ZONA_INTELIG", "seg.");
    time("Tempo de engana secretária:", "ENGANA_SECRET", "seg.");
    const QString autoTestCaption = QStringLiteral("Intervalo de auto-teste:");
    const QVariant interval = Column(t, QStringLiteral("INTERVALO_AUTO_TESTE"));
    if (variant.autoTestNumber)
        time("Intervalo de auto-teste:", "INTERVALO_AUTO_TESTE", "horas");
    if (variant.autoTestText)
        page.Field(variant.autoTestNumber ? QString() : autoTestCaption, AutoTestText(interval));
    if (variant.noMovementRows) {
        const QVariant minutes = Column(t, QStringLiteral("NAO_MOVIMENTO"));
        page.Field(QStringLiteral("Arme por \"Não Movimento\":"),
                   shown(t, "NAO_MOVIMENTO") +
                       (NoMovementEnabled(minutes) ? QStringLiteral(" min.") : QString()));
        page.Field(QString(), NoMovementText(minutes));
    }

    page.Section(QStringLiteral("HORÁRIOS"));
    page.Field(QStringLiteral("Horário  de auto-arme:"), shown(t, "HORA_AUTO_ARME"));
    page.Field(QStringLiteral("Horário de autoteste:"), shown(t, "HORA_AUTO_TESTE"));
    page.Field(QStringLiteral("Horário para ativar PGM:"), shown(t, "HORA_ACIONAMENTO_PGM"));
    page.Field(QStringLiteral("Horário para desativar PGM:"), shown(t, "HORA_DESACIONAMENTO_PGM"));

    const QVariantMap& f = rows.fones;
    page.Section(QStringLiteral("COMUNICAÇÃO"));
    page.Field(QStringLiteral("Telefone do monitoramento 1:"), shown(f, "CENTRAL_MONIT_1"));
    page.Field(QStringLiteral("Telefone de monitoramento 2:"), shown(f, "CENTRAL_MONIT_2"));
    page.Field(QStringLiteral("Telefone do computador:"), shown(f, "PC"));
    if (fiveZone) {
        page.Field(QStringLiteral("Conta do painel:"), shown(rows.opcoes, "CONTA_PART_A"));
    } else {
        page.Field(QStringLiteral("Conta da partição A:"), shown(rows.opcoes, "CONTA_PART_A"));
        page.Field(QStringLiteral("Conta da partição B:"), shown(rows.opcoes, "CONTA_PART_B"));
    }
    page.Field(QStringLiteral("Número de rings:"), RingsText(Column(f, QStringLiteral("NUM_RINGS"))));
    page.Field(QStringLiteral("Protocolo de comunicação:"),
               ListEntryText(CommunicationFormatList(variant.productCode, variant.version),
                             Column(f, QStringLiteral("FORMATO_COMUNIC"))));

    page.Section(QStringLiteral("PGM's"));
    const QStringList modes = PgmModeList(variant.family);
    for (int n = 1; n <= 4; ++n)
        page.Field(QStringLiteral("PGM %1:").arg(n),
                   ListEntryText(modes, Column(rows.opcoes, QStringLiteral("PGM%1").arg(n))));
    return page;
}
