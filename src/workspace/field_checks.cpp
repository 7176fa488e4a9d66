#include "workspace/field_checks.h"

#include "programming/product_codes.h"
#include "store/column_limits.h"
#include "store/data_module.h"
#include "workspace/field_texts.h"

namespace {

bool HasControlCharacter(const QString& text, bool lineBreaksAllowed) {
    for (const QChar c : text) {
        if (lineBreaksAllowed && (c == QLatin1Char('\n') || c == QLatin1Char('\r') || c == QLatin1Char('\t')))
            continue;
        if (c.category() == QChar::Other_Control)
            return true;
    }
    return false;
}

bool OnlyCharacters(const QString& text, const QString& allowed) {
    for (const QChar c : text) {
        if (!allowed.contains(c))
            return false;
    }
    return true;
}

} // namespace

const QList<CustomerField>& CustomerFields() {
    static const QList<CustomerField> fields{
        {"CLIENTES", "NOME", "dbedtNome", QStringLiteral("Nome do Cliente"), FieldKind::Text},
        {"PAINEL", "CODIGO_PAINEL", "dbedtCodigoPainel", QStringLiteral("Código do Painel"), FieldKind::Code},
        {"PAINEL", "CODIGO_PC", "dbedtCodigoPC", QStringLiteral("Código do PC"), FieldKind::Code},
        {"PAINEL", "FONE_PAINEL", "dbedtFonePainel", QStringLiteral("Fone do Painel"),
         FieldKind::DialledPhone},
        {"PAINEL", "TEMPO_ENGANA_SECRETARIA", "dbedtTempoSecret",
         QStringLiteral("Engana secretária eletrônica"), FieldKind::Seconds},
        {"CLIENTES", "FONE1", "dbedtFone1", QStringLiteral("Telefone 1"), FieldKind::ContactPhone},
        {"CLIENTES", "FONE2", "dbedtFone2", QStringLiteral("Telefone 2"), FieldKind::ContactPhone},
        {"CLIENTES", "FONE3", "dbedtFone3", QStringLiteral("Telefone 3"), FieldKind::ContactPhone},
        {"CLIENTES", "ENDERECO", "dbedtEndereco", QStringLiteral("Endereço"), FieldKind::Text},
        {"CLIENTES", "NUMERO", "dbedtNumero", QStringLiteral("Número"), FieldKind::Text},
        {"CLIENTES", "COMPLEMENTO", "dbedtComplemento", QStringLiteral("Complemento"), FieldKind::Text},
        {"CLIENTES", "BAIRRO", "dbedtBairro", QStringLiteral("Bairro"), FieldKind::Text},
        {"CLIENTES", "CIDADE", "dbedtCidade", QStringLiteral("Cidade"), FieldKind::Text},
        {"CLIENTES", "CEP", "dbedtCep", QStringLiteral("CEP"), FieldKind::PostalCode},
        {"PAINEL", "P_ENDERECO", "dbedtPEndereco", QStringLiteral("Endereço do Painel"), FieldKind::Text},
        {"PAINEL", "P_NUMERO", "dbedtPNumero", QStringLiteral("Número do Painel"), FieldKind::Text},
        {"PAINEL", "P_COMPLEMENTO", "dbedtPComplemento", QStringLiteral("Complemento do Painel"),
         FieldKind::Text},
        {"PAINEL", "P_BAIRRO", "dbedtPBairro", QStringLiteral("Bairro do Painel"), FieldKind::Text},
        {"PAINEL", "P_CIDADE", "dbedtPCidade", QStringLiteral("Cidade do Painel"), FieldKind::Text},
        {"PAINEL", "P_CEP", "dbedtPCep", QStringLiteral("CEP do Painel"), FieldKind::PostalCode},
        {"CLIENTES", "OBS", "dbmemoObs", QStringLiteral("Observações"), FieldKind::Memo},
    };
    return fields;
}

const CustomerField* FindCustomerField(const QString& table, const QString& column) {
    for (const CustomerField& field : CustomerFields()) {
        if (table.compare(QLatin1String(field.table), Qt::CaseInsensitive) == 0 &&
            column.compare(QLatin1String(field.column), Qt::CaseInsensitive) == 0)
            return &field;
    }
    return nullptr;
}

QString CheckFieldValue(const CustomerField& field, const QString& value) {
    if (value.isEmpty())
        return {};
    if (HasControlCharacter(value, field.kind == FieldKind::Memo))
        return MsgFieldControlCharacters(field.caption);
    const int length = ColumnLength(QLatin1String(field.table), QLatin1String(field.column));
    if (length > 0 && value.size() > length)
        return MsgFieldTooLong(field.caption, length, int(value.size()));
    switch (field.kind) {
    case FieldKind::Code:
        if (value.size() != 4 || !OnlyCharacters(value, QStringLiteral("0123456789")))
            return MsgFieldCode(field.caption);
        break;
    case FieldKind::DialledPhone:
        if (!OnlyCharacters(value, QStringLiteral("0123456789#*,")))
            return MsgFieldDialledPhone(field.caption);
        break;
    case FieldKind::PostalCode:
        if (!OnlyCharacters(value, QStringLiteral("0123456789-")))
            return MsgFieldPostalCode(field.caption);
        break;
    case FieldKind::Seconds: {
        bool numeric = false;
        const int seconds = value.toInt(&numeric);
        if (!numeric || seconds < 0 || seconds > 255)
            return MsgFieldRange(field.caption, 0, 255);
        break;
    }
    case FieldKind::Text:
    case FieldKind::ContactPhone:
    case FieldKind::Memo:
        break;
    }
    return {};
}

const CustomerField* FirstInvalidField(const TdmBancoDeDados& dm, QString* message) {
    for (const CustomerField& field : CustomerFields()) {
        const DataSet& set =
            QLatin1String(field.table) == QLatin1String("CLIENTES") ? dm.DSetClientes : dm.DSetPainel;
        const QString column = QLatin1String(field.column);
        if (!set.HasField(column))
            continue;
        const QString refusal = CheckFieldValue(field, set.Value(column).toString());
        if (!refusal.isEmpty()) {
            if (message)
                *message = refusal;
            return &field;
        }
    }
    return nullptr;
}

QString CheckProductVersion(int productCode, const QString& version) {
    const QStringList versions = OfferedVersions(productCode);
    if (versions.contains(version))
        return {};
    return MsgProductVersion(version, ModelName(ModelOf(productCode, QStringLiteral("1.0"))),
                             versions.join(QStringLiteral(", ")));
}
