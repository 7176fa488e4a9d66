// The event catalogue: the Portuguese names of the panel's events, one table for every list.
//
// Entries 0 to 27 are the same in every list. From entry 28 on each list has its own names: the
// Orvan 10 (product code 1), the Orvan 5 (code 2), the Max and Eco models (codes 3 and 4), and the
// single list used for a panel calling in with its log.

#include "programming/panel_events.h"

#include <array>

namespace {

struct CatalogueRow {
    int index;
    const char* orvan10;
    const char* orvan5;
    const char* maxEco;
    const char* reception;
};

// The user and zone names end with a blank: the number is kept in its own column.
constexpr std::array<CatalogueRow, 38> kCatalogue{{
    {0, "COAÇÃO DO USUÁRIO ", "COAÇÃO DO USUÁRIO ", "COAÇÃO DO USUÁRIO ", "COAÇÃO DO USUÁRIO "},
    {1, "ARME DO USUÁRIO ", "ARME DO USUÁRIO ", "ARME DO USUÁRIO ", "ARME DO USUÁRIO "},
    {2, "DESARME DO USUÁRIO ", "DESARME DO USUÁRIO ", "DESARME DO USUÁRIO ", "DESARME DO USUÁRIO "},
    {3, "ARME STAY DO USUÁRIO ", "ARME STAY DO USUÁRIO ", "ARME STAY DO USUÁRIO ", "ARME STAY DO USUÁRIO "},
    {4, "PGM ACIONADA PELO USUÁRIO ", "PGM ACIONADA PELO USUÁRIO ", "PGM ACIONADA PELO USUÁRIO ",
     "PGM ACIONADA PELO USUÁRIO "},
    {5, "PGM DESACIONADA PELO USUÁRIO ", "PGM DESACIONADA PELO USUÁRIO ", "PGM DESACIONADA PELO USUÁRIO ",
     "PGM DESACIONADA PELO USUÁRIO "},
    {6, "DISPARO DA ZONA ", "DISPARO DA ZONA ", "DISPARO DA ZONA ", "DISPARO DA ZONA "},
    {7, "RESTAURAÇÃO DA ZONA ", "RESTAURAÇÃO DA ZONA ", "RESTAURAÇÃO DA ZONA ", "RESTAURAÇÃO DA ZONA "},
    {8, "CURTO DA ZONA ", "CURTO DA ZONA ", "CURTO DA ZONA ", "CURTO DA ZONA "},
    {9, "RESTAURAÇÃO DE CURTO DA ZONA ", "RESTAURAÇÃO DE CURTO DA ZONA ", "RESTAURAÇÃO DE CURTO DA ZONA ",
     "RESTAURAÇÃO DE CURTO DA ZONA "},
    {10, "AUTO-ANULAÇÃO DA ZONA ", "AUTO-ANULAÇÃO DA ZONA ", "AUTO-ANULAÇÃO DA ZONA ",
     "AUTO-ANULAÇÃO DA ZONA "},
    {11, "BYPASS DA ZONA ", "BYPASS DA ZONA ", "BYPASS DA ZONA ", "BYPASS DA ZONA "},
    {12, "ARME REMOTO DO USUÁRIO ", "ARME REMOTO DO USUÁRIO ", "ARME REMOTO DO USUÁRIO ",
     "ARME REMOTO DO USUÁRIO "},
    {13, "DESARME REMOTO DO USUÁRIO ", "DESARME REMOTO DO USUÁRIO ", "DESARME REMOTO DO USUÁRIO ",
     "DESARME REMOTO DO USUÁRIO "},
    {14, "AUTO-ARME", "AUTO-ARME", "AUTO-ARME", "AUTO-ARME"},
    {15, "AUTOTESTE", "AUTOTESTE", "AUTOTESTE", "AUTOTESTE"},
    {16, "PÂNICO 1", "PÂNICO 1", "PÂNICO 1", "PÂNICO 1"},
    {17, "PÂNICO 2 (MÉDICO)", "PÂNICO 2 (MÉDICO)", "PÂNICO 2 (MÉDICO)", "PÂNICO 2 (MÉDICO)"},
    {18, "PÂNICO 3 (INCÊNDIO)", "PÂNICO 3 (INCÊNDIO)", "PÂNICO 3 (INCÊNDIO)", "PÂNICO 3 (INCÊNDIO)"},
    {19, "PÂNICO 4 (PEDIDO DE MANUTENÇÃO)", "PÂNICO 4 (PEDIDO DE MANUTENÇÃO)",
     "PÂNICO 4 (PEDIDO DE MANUTENÇÃO)", "PÂNICO 4 (PEDIDO DE MANUTENÇÃO)"},
    {20, "ALTERAÇÃO NA PROGRAMAÇÃO", "ALTERAÇÃO NA PROGRAMAÇÃO", "ALTERAÇÃO NA PROGRAMAÇÃO",
     "ALTERAÇÃO NA PROGRAMAÇÃO"},
    {21, "ENTROU NA PROGRAMAÇÃO", "ENTROU NA PROGRAMAÇÃO", "ENTROU NA PROGRAMAÇÃO", "ENTROU NA PROGRAMAÇÃO"},
    {22, "SAIU DA PROGRAMAÇÃO", "SAIU DA PROGRAMAÇÃO", "SAIU DA PROGRAMAÇÃO", "SAIU DA PROGRAMAÇÃO"},
    {23, "BUFFER A 90% DA CAPACIDADE", "BUFFER A 90% DA CAPACIDADE", "BUFFER A 90% DA CAPACIDADE",
     "BUFFER A 90% DA CAPACIDADE"},
    {24, "BUFFER CHEIO", "BUFFER CHEIO", "BUFFER CHEIO", "BUFFER CHEIO"},
    {25, "ARME VIA CONTROLE REMOTO", "ARME VIA CONTROLE REMOTO", "ARME VIA CONTROLE REMOTO",
     "ARME VIA CONTROLE REMOTO"},
    {26, "DESARME VIA CONTROLE REMOTO", "DESARME VIA CONTROLE REMOTO", "DESARME VIA CONTROLE REMOTO",
     "DESARME VIA CONTROLE REMOTO"},
    {27, "ACESSO REMOTO", "ACESSO REMOTO", "ACESSO REMOTO", "ACESSO REMOTO"},
    {28, "PROBLEMA DA SAÍDA AUXILIAR", "PROBLEMA DA SAÍDA AUXILIAR", "ARME POR NÃO MOVIMENTO",
     "PROBLEMA DA SAÍDA AUXILIAR"},
    {29, "PROBLEMA DE AC", "PROBLEMA DE AC", "PROBLEMA DA SAÍDA AUXILIAR", "PROBLEMA DE AC"},
    {30, "PROBLEMA DE BATERIA", "PROBLEMA DE BATERIA", "PROBLEMA DE AC", "PROBLEMA DE BATERIA"},
    {31, "PROBLEMA DE SIRENE", "PROBLEMA DE SIRENE", "PROBLEMA DE BATERIA", "PROBLEMA DE SIRENE"},
    {32, "RESTAURAÇÃO DE SAÍDA AUXILIAR", "RESTAURAÇÃO DE SAÍDA AUXILIAR", "PROBLEMA DE SIRENE",
     "RESTAURAÇÃO DE SAÍDA AUXILIAR"},
    {33, "RESTAURAÇÃO DE AC", "RESTAURAÇÃO DE AC", "RESTAURAÇÃO DA SAÍDA AUXILIAR", "RESTAURAÇÃO DE AC"},
    {34, "RESTAURAÇÃO DE BATERIA", "RESTAURAÇÃO DE BATERIA", "RESTAURAÇÃO DE AC", "RESTAURAÇÃO DE BATERIA"},
    {35, "RESTAURAÇÃO DE SIRENE", "RESTAURAÇÃO DE SIRENE", "RESTAURAÇÃO DE BATERIA", "RESTAURAÇÃO DE SIRENE"},
    {36, "RESTAURAÇÃO DE LINHA TELEFÔNICA", "RESTAURAÇÃO DE COMUNICAÇÃO", "RESTAURAÇÃO DE SIRENE",
     "RESTAURAÇÃO DE COMUNICAÇÃO"},
    {37, nullptr, nullptr, "RESTAURAÇÃO DE LINHA TELEFÔNICA", nullptr},
}};

const char* entryOf(const CatalogueRow& row, int productCode, EventCatalogue catalogue) {
    if (catalogue == EventCatalogue::Reception)
        return row.reception;
    switch (productCode) {
    case 1:
        return row.orvan10;
    case 2:
        return row.orvan5;
    default:
        return row.maxEco;
    }
}

} // namespace

QString PanelEvents::CatalogueEntry(int productCode, EventCatalogue catalogue, int index) {
    if (index < 0 || index >= int(kCatalogue.size()))
        return {};
    const char* text = entryOf(kCatalogue[std::size_t(index)], productCode, catalogue);
    return text ? QString::fromUtf8(text) : QString();
}
