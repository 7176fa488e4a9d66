#include "link_control/ui/frm_teste.h"

#include "base/app_title.h"
#include "base/operator_messages.h"
#include "serial/com_port.h"
#include "widgets/help.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextCharFormat>
#include <QTextCursor>
#include <QTextEdit>
#include <QVBoxLayout>

TfrmTeste::TfrmTeste(ComPort& port, int portNumber, const QString& model, const QStringList& commands,
                     QWidget* parent)
    : QDialog(parent, Qt::Tool), m_port(port), m_portNumber(portNumber), m_model(model),
      m_commands(commands) {
    setObjectName(QStringLiteral("frmTeste"));
    SetHelpTopic(this, 6);
    setWindowTitle(ApplicationTitle());
    btnIniciar = new QPushButton(QStringLiteral("Iniciar teste"), this);
    btnIniciar->setObjectName(QStringLiteral("btnIniciar"));
    btnParar = new QPushButton(QStringLiteral("Parar Teste"), this);
    btnParar->setObjectName(QStringLiteral("btnParar"));
    btnSair = new QPushButton(QStringLiteral("Sair"), this);
    btnSair->setObjectName(QStringLiteral("btnSair"));
    for (QPushButton* button : {btnIniciar, btnParar, btnSair})
        button->setAutoDefault(false);
    RichEdit1 = new QTextEdit(this);
    RichEdit1->setObjectName(QStringLiteral("RichEdit1"));
    RichEdit1->setReadOnly(true);
    RichEdit1->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    RichEdit1->setMinimumSize(420, 300);

    auto* layout = new QVBoxLayout(this);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(btnIniciar);
    buttons->addWidget(btnParar);
    buttons->addStretch();
    buttons->addWidget(btnSair);
    layout->addLayout(buttons);
    layout->addWidget(RichEdit1);

    connect(btnIniciar, &QPushButton::clicked, this, &TfrmTeste::IniciarTeste);
    connect(btnParar, &QPushButton::clicked, this, &TfrmTeste::PararTeste);
    connect(btnSair, &QPushButton::clicked, this, &TfrmTeste::Sair);
}

TfrmTeste::~TfrmTeste() {
    if (m_test)
        m_test->disconnect(this);
    m_test.reset();
    setBusyCursor(false);
    try {
        m_port.SetOpened(false);
    } catch (const ECiaComPort&) {
    }
}

QString TfrmTeste::ErrorText() {
    return QStringLiteral("Ocorreu um erro na tentativa de testar o modem.\rTente novamente.\r"
                          "Se o erro persistir, entre em contato com o suporte da ZRV.");
}

bool TfrmTeste::TestRunning() const {
    return m_test && m_test->Running();
}

void TfrmTeste::IniciarTeste() {
    if (TestRunning())
        return;
    btnIniciar->setEnabled(false);
    RichEdit1->clear();
    m_test = std::make_unique<TesteDeModem>(m_port, m_portNumber, m_model, m_commands);
    connect(m_test.get(), &TesteDeModem::LogAppended, this, &TfrmTeste::append);
    connect(m_test.get(), &TesteDeModem::Finished, this, &TfrmTeste::testEnded);
    setBusyCursor(true);
    m_test->Start();
}

void TfrmTeste::PararTeste() {
    setBusyCursor(false);
    if (m_test)
        m_test->Stop();
}

void TfrmTeste::Sair() {
    PararTeste();
    try {
        m_port.SetOpened(false);
    } catch (const ECiaComPort&) {
    }
    accept();
}

void TfrmTeste::reject() {
    // Escape and the title bar's close button leave as "Sair" does.
    PararTeste();
    QDialog::reject();
}

void TfrmTeste::append(const QString& text, TesteDeModem::LogStyle style) {
    QTextCharFormat format;
    format.setFontWeight(QFont::Bold);
    switch (style) {
    case TesteDeModem::LogStyle::Header:
        format.setForeground(Qt::blue);
        format.setFontUnderline(true);
        break;
    case TesteDeModem::LogStyle::Command:
        format.setForeground(Qt::black);
        format.setFontUnderline(true);
        break;
    case TesteDeModem::LogStyle::Answer:
        format.setForeground(Qt::red);
        break;
    }
    QTextCursor cursor(RichEdit1->document());
    cursor.movePosition(QTextCursor::End);
    // Commands and headers end with their own carriage returns; an answer takes a line of its own.
    QString line = text;
    line.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    if (style == TesteDeModem::LogStyle::Answer)
        line += QLatin1Char('\n');
    cursor.insertText(line, format);
    RichEdit1->setTextCursor(cursor);
    RichEdit1->ensureCursorVisible();
}

void TfrmTeste::testEnded(TesteDeModem::Outcome outcome) {
    btnIniciar->setEnabled(true);
    setBusyCursor(false);
    if (outcome == TesteDeModem::Outcome::Stopped)
        return;
    if (!m_port.Opened()) {
        // The device went away in the middle of the test.
        OperatorMessages::Tell(this, ErrorText(), MessageIcon::Critical);
        return;
    }
    if (outcome == TesteDeModem::Outcome::Silent)
        OperatorMessages::Tell(this, TesteDeModem::SilentText(), MessageIcon::Warning);
}

void TfrmTeste::setBusyCursor(bool busy) {
    if (busy == m_busyCursor)
        return;
    m_busyCursor = busy;
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}
