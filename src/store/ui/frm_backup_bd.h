#pragma once

#include <QDialog>

#include <functional>

class QLineEdit;
class QPushButton;
class QRadioButton;

// `TfrmBackupBD`, "Bac&kup ...": backs the database up into the default folder (BKP beside the
// database) or another folder, with a progress window while the engine writes the file.
class TfrmBackupBD : public QDialog {
    Q_OBJECT
public:
    explicit TfrmBackupBD(const QString& databaseName, QWidget* parent = nullptr);

    // Where "..." takes the folder from (a folder dialog by default; empty: none chosen).
    void SetFolderChooser(std::function<QString()> chooser) { m_chooseFolder = std::move(chooser); }
    // The file the last backup wrote.
    QString LastBackupFile() const { return m_lastFile; }

    QRadioButton* rbPadrao;
    QRadioButton* rbOutroLocal;
    QLineEdit* edtPasta;
    QPushButton* btnProcurar;
    QPushButton* btnFazerBackup;
    QPushButton* btnFechar;

private:
    void UpdateChoice();
    void FazerBackup();

    QString m_databaseName;
    QString m_lastFile;
    std::function<QString()> m_chooseFolder;
};
