#pragma once

#include <QString>

struct TransferReport;

// What the link tells the operator after it was stopped on request ("Cancelar" during a transfer):
// what had been done. The session goes on.
namespace StopTexts {

// "A leitura da programação foi cancelada: 5 de 19 blocos recebidos." (or the write's text).
QString TransferCancelled(const TransferReport& report);

} // namespace StopTexts
