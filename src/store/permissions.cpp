#include "store/permissions.h"

namespace {

// In permission order, 1..40.
constexpr const char* kCaptions[] = {
    "Adicionar novo cliente",
    "Visualizar cliente",
    "Excluir cliente",
    "Alterar opções de comunicação",
    "Alterar nº de Rings para atendimento",
    "Alterar modo de discagem",
    "Alterar modem utilizado",
    "Alterar porta serial",
    "Configurações adicionais",
    "Alterar opções de auto-falante",
    "Alterar opções de volume",
    "Alterar opções de discagem do 1º dígito",
    "Discagem",
    "Alterar usuários, senhas e permissões",
    "Adicionar usuário",
    "Modificar usuário",
    "Apagar usuário",
    "Conectar",
    "Conectar com callback",
    "Ver código do painel",
    "Ver senha do PC",
    "Monitorar (Modo online)",
    "Armar",
    "Armar forçado",
    "Desarmar",
    "Inibir zonas",
    "Acionar PGM",
    "Desacionar PGM",
    "Eventos",
    "Baixar (download)",
    "Imprimir",
    "Apagar",
    "Programar",
    "Enviar programação",
    "Enviar programação das contas",
    "Ver senhas dos usuários",
    "Alterar senhas e atributos dos usuários",
    "Habilitar zonas",
    "Imprimir programação",
    "Configurações gerais",
};
static_assert(std::size(kCaptions) == 40);

} // namespace

QString PermissionCaption(int permission) {
    if (permission < 1 || permission > int(std::size(kCaptions)))
        return {};
    return QString::fromUtf8(kCaptions[permission - 1]);
}
