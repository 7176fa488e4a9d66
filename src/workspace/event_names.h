#pragma once

#include <QString>
#include <QVariantMap>

// The names the events page shows beside user and zone numbers, from the customer's USUARIOS and
// ZONAS rows (column name in upper case to value).
class EventNames {
public:
    EventNames() = default;
    EventNames(QVariantMap usuarios, QVariantMap zonas)
        : m_usuarios(std::move(usuarios)), m_zonas(std::move(zonas)) {}

    // The USUARIOS column that names the user of a stored USUARIO value: "MASTER" for "Mestre"
    // (letter case ignored), "USUARIO5" for "05", "USUARIO12" for "12".
    static QString UserColumn(const QString& usuario);
    // "ZONA3" for "3".
    static QString ZoneColumn(const QString& zona);

    // The value followed by " - " and the name when the customer's row names it; the value alone
    // otherwise (and for an empty value).
    QString UserText(const QString& usuario) const;
    QString ZoneText(const QString& zona) const;

private:
    static QString WithName(const QString& value, const QVariant& name);

    QVariantMap m_usuarios;
    QVariantMap m_zonas;
};
