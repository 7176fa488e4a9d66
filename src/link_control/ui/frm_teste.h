#pragma once

#include "link_control/teste_de_modem.h"

#include <QDialog>

#include <memory>

class ComPort;
class QPushButton;
class QTextEdit;

// The modem test window: "Iniciar teste" sends the model's initialisation commands to the modem one
// at a time (TesteDeModem) and logs each with the modem's answer; "Parar Teste" stops it where it
// is; "Sair" stops it, closes the port and the window. The port is the window's own, opened at
// 9600 baud by whoever shows the window; the window closes it when it goes.
class TfrmTeste : public QDialog {
    Q_OBJECT
public:
    TfrmTeste(ComPort& port, int portNumber, const QString& model, const QStringList& commands,
              QWidget* parent = nullptr);
    ~TfrmTeste() override;

    QPushButton* btnIniciar;
    QPushButton* btnParar;
    QPushButton* btnSair;
    QTextEdit* RichEdit1;

    void IniciarTeste();
    void PararTeste();
    void Sair();
    bool TestRunning() const;

    // The message when the port went away in the middle of a test.
    static QString ErrorText();

    // Escape and the title bar's close button stop the test first.
    void reject() override;

private:
    void append(const QString& text, TesteDeModem::LogStyle style);
    void testEnded(TesteDeModem::Outcome outcome);
    void setBusyCursor(bool busy);

    ComPort& m_port;
    int m_portNumber;
    QString m_model;
    QStringList m_commands;
    std::unique_ptr<TesteDeModem> m_test;
    bool m_busyCursor = false;
};
