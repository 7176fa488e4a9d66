#include "link_control/link_texts.h"

namespace LinkTexts {

namespace {

const QString ErrorTail =
    QStringLiteral("Tente novamente.\rSe o erro persistir, entre em contato com o suporte da ZRV.");

} // namespace

QString Aviso(int code) {
    switch (code) {
    case 3:
        return QStringLiteral("Sem portadora");
    case 4:
        return QStringLiteral("Erro");
    case 6:
        return QStringLiteral("Sem tom de discagem");
    case 7:
        return QStringLiteral("Ocupado");
    case 8:
        return QStringLiteral("Sem resposta");
    case 9:
        return QStringLiteral("O painel de alarme que está comunicando\ré incompatível com o que está "
                              "cadastrado.\rA conexão será cancelada.");
    case 10:
        return QStringLiteral("Código do painel incorreto.\rA conexão será cancelada.");
    case 11:
        return QStringLiteral("Código do PC incorreto.\rA conexão será cancelada.");
    default:
        return QString();
    }
}

QString ConnectionErrorText() {
    return QStringLiteral("Ocorreu um erro e a conexão com o alarme teve que ser cancelada.\r") + ErrorTail;
}

QString ModemRefusedCommand(const QString& command) {
    return QStringLiteral("O Modem recusou o comando \"%1\".").arg(command);
}

QString PortCannotBeOpened() {
    return QStringLiteral("A porta serial não pôde ser aberta.\rVerifique se outro programa não está "
                          "utilizando esta porta\rou se ela está configurada corretamente.");
}

QString PortTakenByAnotherProgram() {
    return QStringLiteral("Outro Programa já está usando a porta de comunicação.");
}

QString PortNumberCannotBeOpened(int number) {
    return QStringLiteral("A porta serial COM ") + QString::number(number) +
           QStringLiteral(" não pôde ser aberta.\r") +
           QStringLiteral("Verifique se outro programa já está utilizando esta porta ") +
           QStringLiteral("ou se o modem está configurado na porta correta.");
}

QString StepPortConnected(int port) {
    return QStringLiteral("Software conectado a porta Com ") + QString::number(port);
}

QString StepConfiguringModem(const QString& model) {
    return QStringLiteral("Configurando o Modem ") + model + QLatin1Char('.');
}

QString StepDialling(const QString& phone) {
    return QStringLiteral("Discando para telefone nº ") + phone;
}

QString StepPressAtSecondRing() {
    return QStringLiteral("Pressione o botão abaixo no segundo ring (chamada)...");
}

QString StepWaitingBypassTime() {
    return QStringLiteral("Aguardando tempo para enganar secretária eletrônica.");
}

QString StepConnectingToPanel() {
    return QStringLiteral("Conectando ao painel de alarme");
}

QString StepCheckingCodes() {
    return QStringLiteral("Verificando código do PC e código do Painel");
}

QString StepTimeBetweenRings(int seconds) {
    return QStringLiteral("Tempo entre dois rings (chamadas) ") + QString::number(seconds);
}

QString StepCodesCorrect(bool callbackPending) {
    return callbackPending ? QStringLiteral("Códigos corretos. Pedido de callback")
                           : QStringLiteral("Códigos corretos.");
}

QString StepAwaitingCallback() {
    return QStringLiteral("Software Telvora aguardando callback.");
}

QString StepConnectedToPanel(int product, const QString& storedVersion, const QString& receivedVersion) {
    switch (product) {
    case 1:
        return QStringLiteral("Software conectado ao painel de alarme Orvan 10 versão ") + receivedVersion;
    case 2:
        return QStringLiteral("Software conectado ao painel de alarme Orvan 5 versão ") + receivedVersion;
    default:
        break;
    }
    QString model;
    if (product == 3)
        model = storedVersion == QLatin1String("1.3") ? QStringLiteral("Orvan 10 Max")
                                                      : QStringLiteral("Orvan 10 Eco");
    else if (product == 4)
        model = storedVersion == QLatin1String("1.3") || storedVersion == QLatin1String("1.0")
                    ? QStringLiteral("Orvan 9 Max")
                    : QStringLiteral("Orvan 10 Eco");
    return QStringLiteral("Software conectado ao painel de alarme %1 versão %2").arg(model, receivedVersion);
}

QString StepAwaitingPanelCallback() {
    return QStringLiteral("Aguardando chamada (callback) da central de alarme");
}

QString StepReceivingRing() {
    return QStringLiteral("Recebendo Ring");
}

QString StepCodesCorrectOnCallback() {
    return QStringLiteral("Códigos corretos.");
}

QString StepCallbackConnectedToPanel(int product, const QString& storedVersion,
                                     const QString& receivedVersion) {
    if (product == 3 || product == 4) {
        const QString model = storedVersion == QLatin1String("1.3") ? QStringLiteral("Orvan 10 Max")
                                                                    : QStringLiteral("Orvan 10 Eco");
        return QStringLiteral("Software conectado ao painel de alarme %1 versão %2")
            .arg(model, receivedVersion);
    }
    return StepConnectedToPanel(product, storedVersion, receivedVersion);
}

QString AwaitingPanelCall() {
    return QStringLiteral("Aguardando chamada do painel ...");
}

QString ContinueTryingQuestion() {
    return QStringLiteral("O painel de alarme não está respondendo\rDeseja continuar tentando?");
}

QString VersionQuestion() {
    return QStringLiteral("A versão do produto cadastrada no software Telvora é diferente da versão "
                          "recebida do painel.\rDeseja tornar a versão cadastrada igual a versão recebida "
                          "do painel?");
}

QString CustomerCaption(int product, const QString& storedVersion) {
    const QString head = QStringLiteral("Informações sobre o cliente\re o painel ");
    switch (product) {
    case 1:
        return head + QStringLiteral("Orvan 10 V") + storedVersion;
    case 2:
        return head + QStringLiteral("Orvan 5 V") + storedVersion;
    case 3:
    case 4:
        return head +
               (storedVersion == QLatin1String("1.3") ? QStringLiteral("Orvan 10 Max V")
                                                      : QStringLiteral("Orvan 10 Eco V")) +
               storedVersion;
    default:
        return QString();
    }
}

QString CustomerCaptionOrvan9Max() {
    return QStringLiteral("Informações sobre o cliente\re o painel Orvan 9 V1.0");
}

} // namespace LinkTexts
