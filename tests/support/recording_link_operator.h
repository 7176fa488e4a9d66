#pragma once

#include "base/operator_messages.h"
#include "link_control/link_operator.h"
#include "programming/programming_images.h"
#include "session/online_host.h"

#include <QList>
#include <QPair>
#include <QString>
#include <QStringList>

#include <functional>

// A LinkOperator that records what the operator would have seen and answers questions from a
// preset answer. While it lives it is also the program's messenger, so the link's messages and
// questions land here too.
class RecordingLinkOperator : public LinkOperator, public OperatorMessenger {
public:
    RecordingLinkOperator() : m_messenger(this) {}

    struct Message {
        MessageIcon icon;
        QString text;
    };
    QList<Message> messages;
    QStringList questions;
    bool answer = true;                                      // the answer to every question
    std::function<void(const QList<ProgressStep>&)> onSteps; // called on every step change

    bool progressVisible = false;
    int progressShows = 0;
    int progressCloses = 0;
    QList<ProgressStep> steps;
    bool cancelEnabled = false;
    bool barVisible = false;
    int barValue = 0;
    bool secondRingButton = false;
    QString progressText;

    bool statusVisible = false;
    QStringList statusTexts; // one per StatusShow
    int statusCloses = 0;
    bool busyCursor = false;

    // The texts of the messages, in order.
    QStringList messageTexts() const;
    QStringList stepTexts() const;
    int currentStep() const;

    OperatorAnswer Show(QObject* context, const OperatorMessage& message) override;
    void SetBusyCursor(bool busy) override { busyCursor = busy; }
    void ProgressShow() override;
    void ProgressClose() override;
    void ProgressSteps(const QList<ProgressStep>& list) override;
    void ProgressSetCancelEnabled(bool enabled) override { cancelEnabled = enabled; }
    void ProgressSetBar(bool visible, int minimum, int maximum, int value) override;
    void ProgressSetSecondRingButton(bool visible) override { secondRingButton = visible; }
    void ProgressSetText(const QString& text) override { progressText = text; }
    void StatusShow(const QString& text, bool showGauge, int gaugeMin, int gaugeMax) override;
    void StatusSetGauge(int) override {}
    void StatusSetEfficiency(bool, const QString&) override {}
    void StatusClose() override;

private:
    ScopedOperatorMessenger m_messenger;
};

// A customer screen holding one customer in plain fields and the programming images of both
// models, recording what the link changes on it.
class RecordingCustomerScreen : public LinkCustomerScreen {
public:
    RecordingCustomerScreen();

    // The customer.
    QString fone = QStringLiteral("5551234");
    QString codigoPainel = QStringLiteral("1234");
    QString codigoPC = QStringLiteral("5678");
    bool enganaSecretaria = false;
    int tempoEnganaSecretaria = 0;
    QString produto = QStringLiteral("1"); // null QString: PRODUTO is null
    QString versaoProduto;

    // What the link did.
    bool connectedImages = false;
    bool closeEnabled = true;
    QString versionLabel;
    QString captionLabel;
    QList<int> storedBypassTimes;
    QStringList storedVersions;
    bool onLine = false;
    int monitoringRefreshes = 0;
    QList<TransferReport> transfers;

    ProgrammingImages tenZone{1};
    ProgrammingImages fiveZone{2};

    QString FonePainel() const override { return fone; }
    QString CodigoPainel() const override { return codigoPainel; }
    QString CodigoPC() const override { return codigoPC; }
    bool EnganaSecretaria() const override { return enganaSecretaria; }
    int TempoEnganaSecretaria() override { return tempoEnganaSecretaria; }
    void SetTempoEnganaSecretaria(int seconds) override;
    QString Produto() const override { return produto; }
    void SetVersaoProduto(const QString& version) override;
    void SetConnectedImages(bool connected) override { connectedImages = connected; }
    void SetCloseEnabled(bool enabled) override { closeEnabled = enabled; }
    void SetVersionLabel(const QString& text) override { versionLabel = text; }
    void SetCaptionLabel(const QString& text) override { captionLabel = text; }
    void MonitoringViewRefresh() override { ++monitoringRefreshes; }
    void SetOnLineIndicator(bool online) override { onLine = online; }
    void Atualiza_Monitorando(const QByteArray&) override {}
    void ClearBufferDownloading() override {}
    void RepaintProgrammingWindows() override {}
    void CloseWindowsForDisconnect() override {}
    ProgrammingImages* Imagens(int productCode) override;
    void TransferEnded(const TransferReport& report) override { transfers.append(report); }
};
