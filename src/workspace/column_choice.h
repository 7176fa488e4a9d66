#pragma once

#include <QString>
#include <QStringList>

// What the column chooser edits: the customer list's columns in two check lists (the customer's
// own fields and the panel's) and the list of shown columns in their order. Entries are field
// names ("P_ENDERECO"); the chooser shows some under a display name ("ENDEREÇO DO PAINEL").
class ColumnChoice {
public:
    enum class Group { Clientes, Painel };

    // Starts from a "Colunas" setting: each name found in one of the two lists is checked and
    // shown in the setting's order; others are skipped, a repeated one counts once.
    explicit ColumnChoice(const QString& colunas);

    // The fields of a check list, in the chooser's order.
    static const QStringList& Fields(Group group);
    static QString DisplayName(const QString& field);
    // The field a display name (or a field name) stands for.
    static QString FieldOf(const QString& displayName);

    bool IsChecked(const QString& field) const { return m_shown.contains(field); }
    // Checking appends the field to the shown columns; unchecking removes it.
    void SetChecked(const QString& field, bool checked);
    // "Mostrar todos": checks every unchecked entry of the group in the group's order.
    void ShowAll(Group group);
    // "Ocultar todos": unchecks every entry of the group.
    void HideAll(Group group);
    // "Mover para cima" / "Mover para baixo" on the shown column at `index`; false at the ends.
    bool MoveUp(int index);
    bool MoveDown(int index);

    // The shown columns in order, as field names.
    const QStringList& Shown() const { return m_shown; }
    // The "Colunas" setting: the shown fields joined with ", ".
    QString Colunas() const { return m_shown.join(QStringLiteral(", ")); }

private:
    QStringList m_shown;
};
