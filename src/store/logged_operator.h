#pragma once

#include "store/permissions.h"

#include <QString>

#include <array>

// The operator who logged in (set by the login and by "Trocar de usuário", read everywhere).
struct LoggedOperator {
    static constexpr int kPermissionCount = 40;

    QString name;
    bool administrator = false;
    std::array<bool, kPermissionCount + 1> permissions{}; // index 1..40

    bool HasPermission(int permission) const {
        return permission >= 1 && permission <= kPermissionCount && permissions[permission];
    }
    bool HasPermission(Permission permission) const { return HasPermission(int(permission)); }

    // The operator of a USUARIOS_SOFTWARE row: the administrator is the one with key 1, and its
    // PERMISSOES is read as if padded with "1" to 40 characters; permission i is granted when
    // character i is "1", and positions past the text are refused.
    static LoggedOperator FromRow(int idUserSoft, const QString& usuario, const QString& permissoes) {
        LoggedOperator op;
        op.name = usuario;
        op.administrator = idUserSoft == 1;
        QString text = permissoes;
        if (op.administrator && text.size() < kPermissionCount)
            text += QString(kPermissionCount - text.size(), QLatin1Char('1'));
        for (int i = 1; i <= kPermissionCount; ++i)
            op.permissions[i] = i <= text.size() && text[i - 1] == QLatin1Char('1');
        return op;
    }
};
