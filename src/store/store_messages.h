#pragma once

#include <QDir>
#include <QString>

// The data store's texts for the operator. Line breaks are written "\r" as the system writes them;
// the windows and the command line turn them into their own.

inline const QString kMsgErroAbrirTabela = QStringLiteral("Erro ao tentar abrir uma tabela.\rErro: ");
// A customer's rows the database refused to store: the engine's own words follow.
inline const QString kMsgErroGravarCliente =
    QStringLiteral("Erro ao gravar os dados do cliente no banco de dados.\rErro: ");
// Any other read or write the database refused: the engine's own words follow.
inline const QString kMsgErroAcessoBanco = QStringLiteral("Erro ao tentar acessar o Banco de dados.\rErro: ");
inline const QString kMsgErroFecharBanco = QStringLiteral("Erro ao tentar fechar o Banco de dados");
inline const QString kMsgErroAcessarBanco =
    QStringLiteral("Erro ao tentar acessar o Banco de dados.\rO software será fechado");
inline const QString kMsgErroAbrirBancoInicio =
    QStringLiteral("Erro ao tentar abrir o banco de dados.\rVerifique se o Firebird está rodando");
inline const QString kMsgBancoNaoEncontrado =
    QStringLiteral("O arquivo zrv.fdb não foi encontrado.\rSe houver algum arquivo de backup, tente "
                   "recuperá-lo pelo aplicativo \"BD Restore\"\rou instale novamente o software Telvora ");

inline const QString kMsgBackupSucesso = QStringLiteral("Backup realizado com sucesso!!");
inline const QString kMsgBackupErro = QStringLiteral("Erro ao tentar gerar o Backup.");
inline const QString kMsgBackupAguarde = QStringLiteral("Fazendo backup do banco de dados. Aguarde ...");
inline const QString kMsgRestauracaoAguarde =
    QStringLiteral("Fazendo a restauração do banco de dados. Aguarde ...");
inline const QString kMsgRestauracaoErro =
    QStringLiteral("Erro na tentativa de restauração do banco de dados.\r");
inline const QString kMsgRestauracaoSucesso = QStringLiteral("Banco de dados restaurado com sucesso!");

// The question before a restore replaces the database: the backup's file, date and time, and what
// the current database holds.
inline QString MsgConfirmaRestauracao(const QString& file, const QString& when, int customers) {
    QString text = QStringLiteral("Restaurar o backup %1, de %2?\r").arg(file, when);
    if (customers >= 0)
        text += QStringLiteral("O banco de dados atual, com %1 cliente(s), será substituído pelo do backup.")
                    .arg(customers);
    else
        text += QStringLiteral("O banco de dados atual será substituído pelo do backup.");
    return text;
}

// The success of a restore, with where the copy of the replaced database went.
inline QString MsgRestauracaoSucesso(const QString& safetyCopy) {
    return kMsgRestauracaoSucesso +
           (safetyCopy.isEmpty() ? QString()
                                 : QStringLiteral("\rCópia de segurança do banco de dados anterior: %1")
                                       .arg(QDir::toNativeSeparators(safetyCopy)));
}

inline QString MsgFileNotFound(const QString& path) {
    return QStringLiteral("O arquivo %1 não foi encontrado.").arg(QDir::toNativeSeparators(path));
}

// The missing-database message with the path looked for and the command that creates a new one.
inline QString MsgDatabaseMissing(const QString& path) {
    return kMsgBancoNaoEncontrado +
           QStringLiteral("\rArquivo procurado: %1\rPara criar um banco de dados novo: telvora-cli db init")
               .arg(QDir::toNativeSeparators(path));
}

inline QString MsgDatabaseInUse(const QString& path) {
    return QStringLiteral("O banco de dados %1 está em uso por outro programa.")
        .arg(QDir::toNativeSeparators(path));
}

inline QString MsgNotConnected() {
    return QStringLiteral("O banco de dados não está conectado.");
}

inline QString MsgStatementNotPrepared() {
    return QStringLiteral("A instrução não foi preparada.");
}

inline QString MsgParameterCount(int expected, int given) {
    return QStringLiteral("A instrução espera %1 parâmetro(s) e recebeu %2.").arg(expected).arg(given);
}

// A data set that could not be opened, named as the data module names it.
inline QString MsgErroAbrirTabela(const QString& dataSet) {
    return kMsgErroAbrirTabela + dataSet;
}

inline QString MsgColumnCount(int given, int expected) {
    return QStringLiteral("A consulta devolve %1 colunas em vez de %2.").arg(given).arg(expected);
}

// A save refused because another workstation changed the same row after this one read it: the
// other change is kept, this one is not written.
inline QString MsgRecordChangedElsewhere() {
    return QStringLiteral("O registro foi alterado em outra estação depois de aberto aqui.\r"
                          "As alterações não foram gravadas. Feche e abra o registro de novo para ver "
                          "a versão atual.");
}

// A save refused because another workstation is saving the same row at this moment.
inline QString MsgRecordBeingChanged() {
    return QStringLiteral(
        "O registro está sendo alterado em outra estação.\rTente gravar de novo em instantes.");
}

inline QString MsgRecordDeletedElsewhere() {
    return QStringLiteral("O registro foi excluído em outra estação.");
}
