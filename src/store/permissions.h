#pragma once

#include <QString>

// The operators' 40 permissions: the number is the position in USUARIOS_SOFTWARE.PERMISSOES
// (character n = permission n, "1" granted), the caption is the permission editor's.
enum class Permission : int {
    AdicionarCliente = 1,
    VisualizarCliente = 2,
    ExcluirCliente = 3,
    AlterarComunicacao = 4,
    AlterarRings = 5,
    AlterarModoDiscagem = 6,
    AlterarModem = 7,
    AlterarPortaSerial = 8,
    ConfiguracoesAdicionais = 9,
    AlterarAutoFalante = 10,
    AlterarVolume = 11,
    AlterarDiscagemPrimeiroDigito = 12,
    Discagem = 13,
    AlterarUsuarios = 14,
    AdicionarUsuario = 15,
    ModificarUsuario = 16,
    ApagarUsuario = 17,
    Conectar = 18,
    ConectarCallback = 19,
    VerCodigoPainel = 20,
    VerSenhaPc = 21,
    Monitorar = 22,
    Armar = 23,
    ArmarForcado = 24,
    Desarmar = 25,
    InibirZonas = 26,
    AcionarPgm = 27,
    DesacionarPgm = 28,
    Eventos = 29,
    BaixarEventos = 30,
    ImprimirEventos = 31,
    ApagarEventos = 32,
    Programar = 33,
    EnviarProgramacao = 34,
    EnviarProgramacaoContas = 35,
    VerSenhasUsuarios = 36,
    AlterarSenhasUsuarios = 37,
    HabilitarZonas = 38,
    ImprimirProgramacao = 39,
    ConfiguracoesGerais = 40,
};

// The permission editor's caption of permission n (1..40); empty outside that range.
QString PermissionCaption(int permission);
