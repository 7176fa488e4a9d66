#pragma once

// Status vectors of the Firebird client library, for the store's own sources (the public headers
// of the store do not include the client library's header).

#include <QByteArray>
#include <QList>
#include <QString>

#include <ibase.h>

inline bool FbFailed(const ISC_STATUS* status) {
    return status[0] == 1 && status[1] != 0;
}

// The engine's messages of a status vector, one per line.
QString FbStatusText(const ISC_STATUS* status);

// The error codes (isc_arg_gds) of a status vector, in order.
QList<long> FbStatusCodes(const ISC_STATUS* status);

// Whether the vector carries the error code, or with code 0 the operating-system error number.
bool FbStatusHas(const ISC_STATUS* status, ISC_STATUS code, int osError = 0);

// Attach parameters of every connection: SYSDBA, the database password, character set ISO8859_1.
QByteArray FbAttachParameters();

// The character set id of ISO8859_1, the connection's, given to text parameters.
inline constexpr short kFbCharsetIso8859_1 = 21;
inline constexpr short kFbCharsetOctets = 1;
