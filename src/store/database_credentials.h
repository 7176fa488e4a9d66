#pragma once

#include <QString>

// The account every connection and service call uses. The embedded engine accepts any password;
// a Firebird server holding the database checks it.
inline const QString kDatabaseUser = QStringLiteral("SYSDBA");
inline const QString kDatabasePassword = QStringLiteral("quillbern");

// Text columns are stored in this code page, shared with older installations.
inline const QString kDatabaseCharacterSet = QStringLiteral("ISO8859_1");
