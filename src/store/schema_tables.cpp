#include "store/schema_tables.h"

namespace {

QStringList Split(const char* list) {
    QStringList columns;
    for (const QString& column : QString::fromLatin1(list).split(QLatin1Char(','), Qt::SkipEmptyParts))
        columns << column.trimmed();
    return columns;
}

QStringList Numbered(const QString& prefix, int from, int to) {
    QStringList columns;
    for (int i = from; i <= to; ++i)
        columns << prefix + QString::number(i);
    return columns;
}

QStringList UsuariosColumns() {
    QStringList columns = Split("ID_USUARIOS, ID_PAINEL, MASTER, SENHA_MASTER, INSTALADOR, SENHA_INSTALADOR");
    for (int n = 1; n <= 48; ++n) {
        const QString two = QStringLiteral("%1").arg(n, 2, 10, QLatin1Char('0'));
        columns << QStringLiteral("USUARIO%1").arg(n) << QStringLiteral("SENHA_USUARIO") + two
                << QStringLiteral("ATRIB_USUARIO") + two;
    }
    return columns;
}

QList<TableDefinition> BuildTables() {
    QList<TableDefinition> tables;
    tables << TableDefinition{"ESTADOS", "ID_ESTADO", {}, Split("ID_ESTADO, ESTADO"), {}};
    tables << TableDefinition{"GRUPOS", "ID_GRUPO", "GEN_GRUPOS_ID", Split("ID_GRUPO, NOME_GRUPO"), {}};
    tables << TableDefinition{
        "CLIENTES", "ID_CLIENTE", "GEN_CLIENTES_ID",
        Split("ID_CLIENTE, NOME, ENDERECO, NUMERO, COMPLEMENTO, BAIRRO, CIDADE, CEP, ESTADO, "
              "FONE1, FONE2, FONE3, DATA_CRIACAO, HORA_CRIACAO, OBS, ID_GRUPO, PRODUTO, "
              "VERSAO_PRODUTO"),
        "VERSAO_PRODUTO"};
    tables << TableDefinition{
        "PAINEL",
        "ID_PAINEL",
        "GEN_PAINEL_ID",
        Split("ID_PAINEL, ID_CLIENTE, FONE_PAINEL, CODIGO_PAINEL, CODIGO_PC, ENGANA_SECRETARIA, "
              "TEMPO_ENGANA_SECRETARIA, P_ENDERECO, P_NUMERO, P_COMPLEMENTO, P_BAIRRO, "
              "P_CIDADE, P_CEP, P_ESTADO"),
        {}};
    tables << TableDefinition{
        "FONES",
        "ID_FONES",
        "GEN_FONES_ID",
        Split("ID_FONES, ID_PAINEL, CENTRAL_MONIT_1, CENTRAL_MONIT_2, PC, NUM_RINGS, FORMATO_COMUNIC"),
        {}};
    tables << TableDefinition{"OPCOES",
                              "ID_OPCOES",
                              "GEN_OPCOES_ID",
                              Split("ID_OPCOES, ID_PAINEL") + Numbered("PROGBIT_", 1, 6) +
                                  Numbered("PGM", 1, 4) +
                                  Split("CONTA_PART_A, CONTA_PART_B, DIGITOCOACAO, AJUSTERELOGIO"),
                              {}};
    tables << TableDefinition{
        "REPORT", "ID_REPORT", "GEN_REPORT_ID",
        Split(
            "ID_REPORT, ID_PAINEL, DIG_ARME, DIG_DESARME, DIG_ARME_STAY, DIG_AUTO_ANULACAO, DIG_BYPASS_ZONA, "
            "DIG_DISPARO_ZONA, DIG_RESTAURACAO_ZONA, DIG_CURTO_ZONA, DIG_RESTAURACAO_CURTO, "
            "DIG_ACIONAMENTO_PGM, "
            "DIG_DESACIONAMENTO_PGM, DIG_ARME_PC_FONE, DIG_DESARME_PC_FONE, DIG_COACAO, COD_AUTO_ARME, "
            "COD_AUTO_TESTE, COD_PANICO1, COD_PANICO2, COD_PANICO3, COD_PEDIDO_MANUT, COD_ENTRAR_PROG, "
            "COD_SAIR_PROG, COD_BUFFER_90, COD_BUFFER_CHEIO, COD_ALT_PROG_VIA_PC_TECLADO, "
            "COD_ARME_VIA_CONTROLE_REMOTO, COD_DESARME_VIA_CONTROLE_REMOTO, COD_ACESSO_REMOTO, COD_PROB_BAT, "
            "COD_PROB_AC, COD_PROB_SIRENE, COD_PROB_SAIDA_AUX, COD_REST_BAT, COD_REST_AC, COD_REST_SIRENE, "
            "COD_REST_SAIDA_AUX, COD_REST_LINHA_TELEFONICA, COD_NAO_MOVIMENTO"),
        "COD_NAO_MOVIMENTO"};
    tables << TableDefinition{
        "TEMPOS", "ID_TEMPOS", "GEN_TEMPOS_ID",
        Split("ID_TEMPOS, ID_PAINEL, ENTRADA, SAIDA, SIRENE, PGM, ZONA_INTELIG, SEM_AC, "
              "ENGANA_SECRET, INTERVALO_AUTO_TESTE, HORA_AUTO_ARME, HORA_AUTO_TESTE, "
              "HORA_ACIONAMENTO_PGM, HORA_DESACIONAMENTO_PGM, NAO_MOVIMENTO"),
        "NAO_MOVIMENTO"};
    tables << TableDefinition{"USUARIOS", "ID_USUARIOS", "GEN_USUARIOS_ID", UsuariosColumns(), {}};
    tables << TableDefinition{
        "ZONAS",
        "ID_ZONAS",
        "GEN_ZONAS_ID",
        Split("ID_ZONAS, ID_PAINEL") + Numbered("ZONA", 1, 10) +
            Split("ATRIB_ZONA9, ATRIB_ZONA10, HABDESABZONA, ZONA24H, ZONAPARTICAOA, "
                  "ZONAPARTICAOB, ZONASILENCIOSA, ZONASEGUIDORA, ZONATEMPOENTRADA, "
                  "ZONATEMPOSAIDA, ZONAINTELIGENTE, ZONAAUTOANULAVEL, ZONADEFOGO, ZONABYPASS"),
        {}};
    tables << TableDefinition{
        "BUFFER_EVENTOS",
        "ID_BUFFER_EVENTOS",
        "GEN_BUFFER_EVENTOS_ID",
        Split("ID_BUFFER_EVENTOS, ID_CLIENTE, COD_EVENTO, DATA, HORA, PARTICAO, EVENTO, USUARIO, ZONA"),
        {}};
    tables << TableDefinition{
        "USUARIOS_SOFTWARE",
        "ID_USER_SOFT",
        "GEN_USUARIOS_SOFTWARE_ID",
        Split("ID_USER_SOFT, USUARIO, SENHA, CONFIRMA_SENHA, PERGUNTA, RESPOSTA, ATIVO, PERMISSOES"),
        {}};
    tables << TableDefinition{"AUDITORIA",
                              "ID_AUDITORIA",
                              "GEN_AUDITORIA_ID",
                              Split("ID_AUDITORIA, DATA_HORA, USUARIO, ID_CLIENTE, ACAO, DETALHES"),
                              {}};
    return tables;
}

} // namespace

QStringList TableDefinition::Columns(bool withUpgradeColumn) const {
    if (withUpgradeColumn || upgradeColumn.isEmpty())
        return columns;
    QStringList without = columns;
    without.removeAll(upgradeColumn);
    return without;
}

const QList<TableDefinition>& SchemaTables() {
    static const QList<TableDefinition> tables = BuildTables();
    return tables;
}

const QStringList& UpgradeCreatedTables() {
    static const QStringList tables{QStringLiteral("AUDITORIA")};
    return tables;
}

const TableDefinition* FindSchemaTable(const QString& name) {
    for (const TableDefinition& table : SchemaTables()) {
        if (table.name.compare(name, Qt::CaseInsensitive) == 0)
            return &table;
    }
    return nullptr;
}

const QStringList& CustomerAggregateTables() {
    static const QStringList tables =
        Split("CLIENTES, PAINEL, FONES, OPCOES, REPORT, TEMPOS, USUARIOS, ZONAS");
    return tables;
}

const QStringList& StateNames() {
    static const QStringList names =
        QString::fromUtf8(
            "Acre|Alagoas|Amapá|Amazonas|Bahia|Ceará|Distrito Federal|Espírito Santo|Goiás|Maranhão|"
            "Mato Grosso|Mato Grosso do Sul|Minas Gerais|Pará|Paraíba|Paraná|Pernambuco|Piauí|Rio de Janeiro|"
            "Rio Grande do Norte|Rio Grande do Sul|Rondônia|Roraima|Santa Catarina|São "
            "Paulo|Sergipe|Tocantins")
            .split(QLatin1Char('|'));
    return names;
}

QString StateName(int id) {
    return (id >= 1 && id <= StateNames().size()) ? StateNames().at(id - 1) : QString();
}
