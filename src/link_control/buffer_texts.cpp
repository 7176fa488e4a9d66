#include "link_control/buffer_texts.h"

#include "link_control/thread_buffer.h"

namespace BufferTexts {

QString ReceivingBufferOf(const QString& name) {
    return QStringLiteral("Recebendo buffer de eventos do usuário  ") + name;
}

QString NoCustomers() {
    return QStringLiteral("Não há usuários cadastrados");
}

QString ConfigErrorText() {
    return QStringLiteral("Ocorreu um erro na tentativa de configurar o modem.\r") +
           QStringLiteral("Tente novamente.\rSe o erro persistir, entre em contato com o suporte da ZRV.");
}

QString StepAnsweringCall() {
    return QStringLiteral("Recebendo chamada do painel de alarme");
}

QString Caller(const BufferCallReport& report) {
    return report.customerId > 0
               ? QStringLiteral("Cliente %1 (%2)").arg(report.customerId).arg(report.customerName)
               : QStringLiteral("Painel %1")
                     .arg(report.panelCode.isEmpty() ? QStringLiteral("desconhecido") : report.panelCode);
}

QString CallResult(const BufferCallReport& report) {
    using Outcome = BufferCallReport::Outcome;
    if (!report.warning.isEmpty())
        return QString(report.warning).replace(QLatin1Char('\r'), QLatin1Char(' '));
    switch (report.outcome) {
    case Outcome::Received:
        return QStringLiteral("Buffer de eventos recebido");
    case Outcome::NotAnswered:
        return QStringLiteral("Chamada não atendida: a portadora não veio");
    case Outcome::UnknownPanel:
        return QStringLiteral("Nenhum cliente tem este código do painel");
    case Outcome::WrongProduct:
        return QStringLiteral("O painel é de outro modelo que o cadastrado");
    case Outcome::Abandoned:
        return QStringLiteral("O painel deixou de responder antes do buffer de eventos");
    case Outcome::LineDropped:
        return QStringLiteral("A linha caiu antes do fim do buffer de eventos");
    case Outcome::Stopped:
        return QStringLiteral("A espera de chamadas foi encerrada durante o buffer de eventos");
    case Outcome::Cancelled:
        return QStringLiteral("Recepção cancelada pelo operador");
    case Outcome::StoreFailed:
        return QStringLiteral("Um evento não pôde ser gravado: %1").arg(report.error);
    case Outcome::Error:
        return QStringLiteral("A recepção terminou por um erro");
    }
    return QString();
}

QStringList CallLogTitles() {
    return {QStringLiteral("Hora"), QStringLiteral("Cliente"), QStringLiteral("Resultado"),
            QStringLiteral("Eventos gravados"), QStringLiteral("Já gravados")};
}

QString CallSummary(const BufferCallReport& report) {
    using Outcome = BufferCallReport::Outcome;
    const QString who = Caller(report);
    const QString counts = QStringLiteral("%1 eventos gravados, %2 já gravados antes")
                               .arg(report.stored)
                               .arg(report.alreadyStored);
    switch (report.outcome) {
    case Outcome::Received:
        return QStringLiteral("%1: buffer de eventos recebido; %2.").arg(who, counts);
    case Outcome::NotAnswered:
        return QStringLiteral("Chamada não atendida: a portadora não veio.");
    case Outcome::UnknownPanel:
        return QStringLiteral("%1: nenhum cliente tem este código do painel; a ligação foi desligada e nada "
                              "foi gravado.")
            .arg(who);
    case Outcome::WrongProduct:
        return QStringLiteral("%1: o painel é de outro modelo que o cadastrado; a ligação foi desligada e "
                              "nada foi gravado.")
            .arg(who);
    case Outcome::Abandoned:
        return QStringLiteral("%1: o painel deixou de responder antes do buffer de eventos; %2.")
            .arg(who, counts);
    case Outcome::LineDropped:
        return QStringLiteral("%1: a linha caiu antes do fim do buffer de eventos (%2 registros recebidos); "
                              "os eventos recebidos foram gravados: %3.")
            .arg(who)
            .arg(report.records)
            .arg(counts);
    case Outcome::Stopped:
        return QStringLiteral(
                   "%1: a espera de chamadas foi encerrada durante o buffer de eventos (%2 registros "
                   "recebidos); os eventos recebidos foram gravados: %3.")
            .arg(who)
            .arg(report.records)
            .arg(counts);
    case Outcome::Cancelled:
        return QStringLiteral("%1: a recepção foi cancelada pelo operador (%2 registros recebidos); os "
                              "eventos recebidos foram gravados: %3.")
            .arg(who)
            .arg(report.records)
            .arg(counts);
    case Outcome::StoreFailed:
        return QStringLiteral("%1: um evento não pôde ser gravado e a ligação foi desligada; %2. %3")
            .arg(who, counts, report.error);
    case Outcome::Error:
        return QStringLiteral("%1: a recepção terminou por um erro; %2.").arg(who, counts);
    }
    return QString();
}

} // namespace BufferTexts
