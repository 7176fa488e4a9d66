#pragma once

class QCoreApplication;

// Loads Qt's own Brazilian Portuguese translations (the standard buttons "Sim", "Não",
// "Cancelar", the file and print dialogs) into the application, so that Qt's dialogs speak the
// program's language whatever the system's. Answers whether they were found.
bool InstallQtTranslations(QCoreApplication& app);
