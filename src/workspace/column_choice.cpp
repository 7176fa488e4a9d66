#include "workspace/column_choice.h"

#include <QHash>

namespace {

const QHash<QString, QString>& DisplayNames() {
    static const QHash<QString, QString> names = {
        {QStringLiteral("ID_CLIENTE"), QStringLiteral("Nº DO CLIENTE")},
        {QStringLiteral("VERSAO_PRODUTO"), QStringLiteral("VERSÃO DO PRODUTO")},
        {QStringLiteral("P_ENDERECO"), QStringLiteral("ENDEREÇO DO PAINEL")},
        {QStringLiteral("P_NUMERO"), QStringLiteral("NÚMERO")},
        {QStringLiteral("P_BAIRRO"), QStringLiteral("BAIRRO")},
        {QStringLiteral("P_COMPLEMENTO"), QStringLiteral("COMPLEMENTO")},
        {QStringLiteral("P_CIDADE"), QStringLiteral("CIDADE")},
        {QStringLiteral("P_ESTADO"), QStringLiteral("ESTADO")},
        {QStringLiteral("P_CEP"), QStringLiteral("CEP")},
    };
    return names;
}

} // namespace

ColumnChoice::ColumnChoice(const QString& colunas) {
    for (const QString& part : colunas.split(QLatin1Char(','))) {
        const QString name = part.trimmed().toUpper();
        const bool known = Fields(Group::Clientes).contains(name) || Fields(Group::Painel).contains(name);
        if (known && !m_shown.contains(name))
            m_shown << name;
    }
}

const QStringList& ColumnChoice::Fields(Group group) {
    // CLIENTES in the table's order without the address, group and notes columns (the list shows
    // the panel's address instead); the panel's columns in the order the chooser lists them.
    static const QStringList clientes = {
        QStringLiteral("ID_CLIENTE"),   QStringLiteral("NOME"),    QStringLiteral("FONE1"),
        QStringLiteral("FONE2"),        QStringLiteral("FONE3"),   QStringLiteral("DATA_CRIACAO"),
        QStringLiteral("HORA_CRIACAO"), QStringLiteral("PRODUTO"), QStringLiteral("VERSAO_PRODUTO"),
    };
    static const QStringList painel = {
        QStringLiteral("CODIGO_PAINEL"), QStringLiteral("CODIGO_PC"), QStringLiteral("FONE_PAINEL"),
        QStringLiteral("P_ENDERECO"),    QStringLiteral("P_NUMERO"),  QStringLiteral("P_BAIRRO"),
        QStringLiteral("P_COMPLEMENTO"), QStringLiteral("P_CIDADE"),  QStringLiteral("P_ESTADO"),
        QStringLiteral("P_CEP"),
    };
    return group == Group::Clientes ? clientes : painel;
}

QString ColumnChoice::DisplayName(const QString& field) {
    return DisplayNames().value(field, field);
}

QString ColumnChoice::FieldOf(const QString& displayName) {
    const QString key = DisplayNames().key(displayName);
    return key.isEmpty() ? displayName : key;
}

void ColumnChoice::SetChecked(const QString& field, bool checked) {
    if (checked && !m_shown.contains(field))
        m_shown << field;
    else if (!checked)
        m_shown.removeAll(field);
}

void ColumnChoice::ShowAll(Group group) {
    for (const QString& field : Fields(group))
        SetChecked(field, true);
}

void ColumnChoice::HideAll(Group group) {
    for (const QString& field : Fields(group))
        SetChecked(field, false);
}

bool ColumnChoice::MoveUp(int index) {
    if (index <= 0 || index >= m_shown.size())
        return false;
    m_shown.swapItemsAt(index, index - 1);
    return true;
}

bool ColumnChoice::MoveDown(int index) {
    if (index < 0 || index + 1 >= m_shown.size())
        return false;
    m_shown.swapItemsAt(index, index + 1);
    return true;
}
