#include "workspace/event_names.h"

QString EventNames::UserColumn(const QString& usuario) {
    if (usuario.compare(QLatin1String("Mestre"), Qt::CaseInsensitive) == 0)
        return QStringLiteral("MASTER");
    if (usuario.startsWith(QLatin1Char('0')))
        return QStringLiteral("USUARIO") + usuario.mid(1, 1);
    return QStringLiteral("USUARIO") + usuario;
}

QString EventNames::ZoneColumn(const QString& zona) {
    return QStringLiteral("ZONA") + zona;
}

QString EventNames::WithName(const QString& value, const QVariant& name) {
    if (value.isEmpty() || name.isNull() || name.toString().isEmpty())
        return value;
    return value + QStringLiteral(" - ") + name.toString();
}

QString EventNames::UserText(const QString& usuario) const {
    return usuario.isEmpty() ? usuario : WithName(usuario, m_usuarios.value(UserColumn(usuario)));
}

QString EventNames::ZoneText(const QString& zona) const {
    return zona.isEmpty() ? zona : WithName(zona, m_zonas.value(ZoneColumn(zona.trimmed())));
}
