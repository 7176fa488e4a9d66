#pragma once

#include "app/cli/cli_command.h"

// The command line acts as an operator. On a database that has operators a command needs
// --operator NAME, with the password from TELVORA_PASSWORD or typed on the terminal without echo,
// and the permissions its action needs in the windows. A database without operators (a new one)
// runs every command as before; one whose operators cannot be read runs none that needs one. False, with the
// system's message printed, when the command may not run; a wrong name or password is answered only after a
// pause, the same every time.
bool AuthorizeCliOperator(CliContext& context, const CliAccess& access);

// A line typed on the terminal without echo, after `prompt` on the error stream; empty when the
// input is not a terminal.
QString ReadHiddenLine(CliContext& context, const QString& prompt);
