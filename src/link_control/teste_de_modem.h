#pragma once

#include <QByteArray>
#include <QObject>
#include <QString>
#include <QStringList>
#include <QTimer>

class ComPort;

// The modem test: the chosen model's initialisation commands sent one at a time to the modem, each
// logged with whether the modem accepted it. It runs on the thread of the port (the window's, or
// the command line's) and is driven by the port's arrivals and two timers, so nothing blocks.
//
// The sequence: "AT\r" until the modem answers (six seconds of silence end the test with
// "O Modem não responde"), then "AT" + each command from the second of the list to the last, the
// next one sent when the modem answers OK or ERROR; a command without an answer for ten seconds
// ends the test.
class TesteDeModem : public QObject {
    Q_OBJECT
public:
    enum class LogStyle { Header, Command, Answer };
    enum class Outcome { Completed, Silent, NoAnswer, Stopped };
    struct Report {
        QStringList accepted; // commands the modem answered OK
        QStringList refused;  // commands the modem answered ERROR
        QString waiting;      // the command without an answer when the test ended
        Outcome outcome = Outcome::Stopped;
    };

    static constexpr qint64 TickMs = 1000;
    static constexpr int SilentTicks = 6;
    static constexpr qint64 CommandLimitMs = 10000;
    static constexpr qint64 SendPauseMs = 300;

    // `commands`: the model's initialisation string split into commands (the first is never sent).
    TesteDeModem(ComPort& port, int portNumber, const QString& model, const QStringList& commands,
                 QObject* parent = nullptr);

    // "Iniciar teste": the port must be open at 9600 baud.
    void Start();
    // "Parar Teste": ends the test where it is; the log stays as it is.
    void Stop();
    bool Running() const { return m_running; }
    const Report& Result() const { return m_report; }

    static QString SilentText() { return QStringLiteral("O Modem não responde"); }
    static QString RefusedText() { return QStringLiteral("ERRO! Verifique se este comando está correto."); }

Q_SIGNALS:
    void LogAppended(const QString& text, TesteDeModem::LogStyle style);
    void Finished(TesteDeModem::Outcome outcome);

private:
    void send(const QByteArray& command, bool logged);
    void dataArrived();
    void tick();
    void nextCommand();
    void finish(Outcome outcome);

    ComPort& m_port;
    int m_portNumber;
    QString m_model;
    QStringList m_commands;
    int m_index = 1;
    int m_ticks = 0;
    bool m_running = false;
    bool m_answered = false; // the modem answered at least once
    QString m_lastLine;
    QString m_current; // the command waiting for its answer
    QByteArray m_rx;   // the unfinished last line of the arrivals so far
    QTimer m_tick;
    QTimer m_commandLimit;
    Report m_report;
};
