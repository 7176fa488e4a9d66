#pragma once

#include <QString>

// What a column of the database takes, read from the schema the program creates its databases
// with (db/schema.sql, compiled in), so that the checks before storing and the edits of the
// windows follow the tables themselves.
struct ColumnLimit {
    enum class Kind { Unknown, Text, Integer, Other };
    Kind kind = Kind::Unknown;
    int length = 0; // characters of a VARCHAR/CHAR column, 0 for other kinds
    bool notNull = false;

    bool Known() const { return kind != Kind::Unknown; }
};

// The limit of TABLE.COLUMN (letter case ignored); Kind::Unknown when the schema has no such column.
ColumnLimit ColumnLimitOf(const QString& table, const QString& column);

// The character length of a text column, 0 when it is not one.
int ColumnLength(const QString& table, const QString& column);
