#pragma once

#include <QString>

struct TransferReport;

// What the link tells the operator after it was stopped on request ("Cancelar" during a transfer,
// an interrupt or a termination request): what had been done and that the line is down.
namespace StopTexts {

// "A leitura da programação foi cancelada: 5 de 19 blocos recebidos. ..." (or the write's text).
QString TransferCancelled(const TransferReport& report);

} // namespace StopTexts
