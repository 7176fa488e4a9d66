#pragma once

#include <QString>

// The messages refusing a value before it is stored: each names the field and what it takes.

inline QString MsgFieldTooLong(const QString& field, int limit, int given) {
    return QStringLiteral("O campo \"%1\" aceita no máximo %2 caracteres (foram informados %3).")
        .arg(field)
        .arg(limit)
        .arg(given);
}

inline QString MsgFieldControlCharacters(const QString& field) {
    return QStringLiteral("O campo \"%1\" não aceita quebras de linha nem outros caracteres de controle.")
        .arg(field);
}

inline QString MsgFieldRequired(const QString& field) {
    return QStringLiteral("O campo \"%1\" é obrigatório.").arg(field);
}

inline QString MsgFieldCode(const QString& field) {
    return QStringLiteral("O campo \"%1\" deve ter 4 dígitos.").arg(field);
}

inline QString MsgFieldDialledPhone(const QString& field) {
    return QStringLiteral("O campo \"%1\" aceita somente números, \"#\", \"*\" e \",\".").arg(field);
}

inline QString MsgFieldPostalCode(const QString& field) {
    return QStringLiteral("O campo \"%1\" aceita somente números e \"-\".").arg(field);
}

inline QString MsgFieldRange(const QString& field, int from, int to) {
    return QStringLiteral("O campo \"%1\" aceita valores de %2 a %3.").arg(field).arg(from).arg(to);
}

inline QString MsgProductVersion(const QString& version, const QString& model, const QString& versions) {
    return QStringLiteral("A versão \"%1\" não existe para o %2. Versões: %3.").arg(version, model, versions);
}

// The repeat rule "Permitir, porém avisar que é repetido" where nobody can answer its question.
inline const QString kMsgCodigoRepetidoSemConfirmacao =
    QStringLiteral("O código do painel cadastrado já existe.\rA regra de repetição pede confirmação: o "
                   "cliente não foi gravado.");
