#pragma once

#include <QDir>
#include <QString>

// The texts of the customer record screen. Line breaks are written "\r" as the system writes them;
// the windows turn them into their own.

inline const QString kMsgCampoObrigatorio = QStringLiteral("Este campo é obrigatório");
inline const QString kMsgSemPermissao = QStringLiteral("Este usuário não tem permissão para esta operação");
inline const QString kMsgCodigoRepetidoProibido =
    QStringLiteral("Este código do painel já existe. Não é permitido repetir.");
inline const QString kMsgCodigoRepetidoContinuar =
    QStringLiteral("O código do painel cadastrado já existe.\rDeseja continuar?");
inline const QString kMsgSalvarConta = QStringLiteral("Salvar Conta?");
inline const QString kMsgSalvarAntesDeSair = QStringLiteral("Deseja salvar antes de sair?");
inline const QString kMsgDesconectarESair = QStringLiteral("Tem certeza que deseja desconectar e sair?");
inline const QString kMsgSalvarAntesDeConectar =
    QStringLiteral("É necessário salvar antes de conectar ao alarme");
inline const QString kMsgNaoConectado = QStringLiteral("O software não está conectado ao alarme.");
inline const QString kMsgSalvarAntesDeBaixar =
    QStringLiteral("É necessário salvar antes de baixar o buffer de eventos");
// A session download that did not reach the end of the log: what arrived is stored.
inline QString DownloadIncompleteMessage(int stored) {
    return QStringLiteral("O download do buffer de eventos terminou antes do fim.\r%1 evento(s) recebido(s) "
                          "foram gravados.")
        .arg(stored);
}

// Captions and hints.
inline const QString kCaptionPaginaCliente = QStringLiteral("Nome e informações sobre o painel");
inline const QString kHintFonePainel = QStringLiteral("Telefone do Painel de Alarme. Somente números.");
inline const QString kHintRetornar = QStringLiteral("Fecha a janela atual e retorna a janela principal");
inline const QString kHintConectar = QStringLiteral("Conecta ao alarme (F5)");
inline const QString kHintCallBack = QStringLiteral("Conecta ao alarme com callback (F6)");
inline const QString kHintDesconectar = QStringLiteral("Desconectar (F7)");
inline const QString kHintDownload = QStringLiteral("Baixa o buffer de eventos do painel");

// The header of the customer page once the screen is shown: "Informações sobre o cliente\re o painel
// Orvan 10 V1.4" and so on, by the data module's product predicates and the stored version; an
// Orvan 9 Max reads "... Orvan 9 V1.0" whatever its version. Empty when no predicate holds.
QString RecordHeaderCaption(bool orvan9Max, bool isOrvan10, bool isOrvan5, bool isProduct3Or4,
                            const QString& storedVersion);

// A default programming template that could not be read, or (older line form) rewritten.
inline QString MsgTemplateUnreadable(const QString& path, const QString& error) {
    return QStringLiteral("O arquivo %1 não pôde ser lido.\r%2").arg(QDir::toNativeSeparators(path), error);
}
inline QString MsgTemplateNotRewritten(const QString& path, const QString& error) {
    return QStringLiteral("O arquivo %1 não pôde ser gravado.\r%2")
        .arg(QDir::toNativeSeparators(path), error);
}
