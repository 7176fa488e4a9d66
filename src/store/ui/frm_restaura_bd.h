#pragma once

#include "store/backup_files.h"

#include <QDialog>

#include <functional>

class QGroupBox;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

// `TfrmRestauraBD`, "&Restauração ...": restores a backup file into the database after a safety
// backup of the current one. The files of the BKP folder are listed (name and time, oldest first;
// a title click sorts by that column, alternating the direction); "Outro local" takes any file.
// The database must be disconnected while the window is open; after a restore the window's
// `afterRestore` connects it again and brings the restored file to the current shape.
class TfrmRestauraBD : public QDialog {
    Q_OBJECT
public:
    using AfterRestore = std::function<bool(const QString& restoredFile, QString* error)>;

    TfrmRestauraBD(const QString& databaseName, AfterRestore afterRestore, QWidget* parent = nullptr);

    // Where "..." takes the file from (a file dialog by default; empty: none chosen).
    void SetFileChooser(std::function<QString()> chooser) { m_chooseFile = std::move(chooser); }
    bool Restored() const { return m_restored; }
    // The number of customers of the database about to be replaced, which the question before the
    // restore names (-1: not known, not named).
    void SetCurrentCustomerCount(int count) { m_currentCustomers = count; }

    QRadioButton* rbPastaPadrao;
    QRadioButton* rbOutroLocal;
    QGroupBox* grpArquivos;
    QTableWidget* grdArquivos;
    QLineEdit* edtArquivo;
    QPushButton* btnProcurar;
    QPushButton* btnRestaurar;
    QPushButton* btnCancelar;

private:
    void FillList();
    void TitleClick(int column);
    void UpdateChoice();
    void Restaurar();

    QString m_databaseName;
    AfterRestore m_afterRestore;
    QString m_folder;
    QList<BackupFileEntry> m_files;
    bool m_descending = true; // the first click sorts ascending
    bool m_restored = false;
    int m_currentCustomers = -1;
    std::function<QString()> m_chooseFile;
};
