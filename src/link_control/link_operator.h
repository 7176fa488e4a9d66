#pragma once

#include "link_control/progress_steps.h"

#include <QByteArray>
#include <QList>
#include <QString>

class ProgrammingImages;
struct TransferReport;
struct EventDownloadReport;

// How the link shows its work to the operator: the connection progress window (TfrmConectaAlarme)
// and the status window (TfrmStatus); its messages and questions go through OperatorMessages. The
// desktop application implements it with the two windows (WidgetLinkOperator), the command line
// with plain output, tests with a recording fake. Every call comes on the main thread; none may block.
//
// The operator's own actions come back as calls on LinkController: "Cancelar" or closing the
// progress window -> CancelaConexao(); "Pressione aqui no segundo ring" -> SegundoRingPressionado();
// "Cancelar" or closing the status window -> StatusCancelado().
class LinkOperator {
public:
    virtual ~LinkOperator() = default;

    // --- cursor ---
    // The hourglass cursor on or off.
    virtual void SetBusyCursor(bool busy) = 0;

    // --- connection progress window ---
    // Shows the window (modal over the customer screen, without blocking the caller).
    virtual void ProgressShow() = 0;
    // Closes it as the program does (its close is not the operator's cancel).
    virtual void ProgressClose() = 0;
    // The step list changed; `steps` is the whole list.
    virtual void ProgressSteps(const QList<ProgressStep>& steps) = 0;
    virtual void ProgressSetCancelEnabled(bool enabled) = 0;
    // The progress bar of the modem initialisation: shown with a range and a value, or hidden.
    virtual void ProgressSetBar(bool visible, int minimum, int maximum, int value) = 0;
    // The button "Pressione aqui no segundo ring".
    virtual void ProgressSetSecondRingButton(bool visible) = 0;
    // The window's text box (empty text: cleared).
    virtual void ProgressSetText(const QString& text) = 0;

    // --- status window of session operations ---
    // Shows the window with a text and either a gauge (range given, value at the minimum) or the
    // moving waiting bar; the other windows are disabled while it is up.
    virtual void StatusShow(const QString& text, bool showGauge, int gaugeMin, int gaugeMax) = 0;
    virtual void StatusSetGauge(int value) = 0;
    // The "Eficiência:" label and its figure ("97,50%"), shown or hidden.
    virtual void StatusSetEfficiency(bool visible, const QString& figure) = 0;
    // Closes it as the program does and enables the windows again.
    virtual void StatusClose() = 0;
};

// The customer screen (TfrmProgMain) as the link sees it: the values of the open customer that a
// connection reads, the few things on the screen it changes, and what the session worker needs of
// the screen and its programming windows. The screen registers itself with
// LinkController::SetCustomerScreen while it is open; a session runs only while one is registered.
// Every call comes on the main thread.
class LinkCustomerScreen {
public:
    virtual ~LinkCustomerScreen() = default;

    // --- values of the open customer (PAINEL and CLIENTES rows) ---
    virtual QString FonePainel() const = 0;
    virtual QString CodigoPainel() const = 0;
    virtual QString CodigoPC() const = 0;
    virtual bool EnganaSecretaria() const = 0; // ENGANA_SECRETARIA is "1"
    // TEMPO_ENGANA_SECRETARIA in seconds; a field that does not hold a number is set to "0" first.
    virtual int TempoEnganaSecretaria() = 0;
    // Stores a learned time in the field and in the panel row (put into edit state).
    virtual void SetTempoEnganaSecretaria(int seconds) = 0;
    // CLIENTES.PRODUTO as stored: a null text when the column is null. A text that is not a
    // product number cannot be read as a product: the connection ends through its error path.
    virtual QString Produto() const = 0;
    // Stores VERSAO_PRODUTO in the customer row (put into edit state).
    virtual void SetVersaoProduto(const QString& version) = 0;

    // --- screen ---
    // true: imgConectar and imgCallBack hidden, imgDesconectar shown (at left 88, top 2);
    // false: the other way round.
    virtual void SetConnectedImages(bool connected) = 0;
    // Desabilita_botao_fechar / Habilita_botao_fechar: the Close entry of the screen's system menu.
    virtual void SetCloseEnabled(bool enabled) = 0;
    // The version label (Label34), shown with the text ("V1.3").
    virtual void SetVersionLabel(const QString& text) = 0;
    // The caption label "Informações sobre o cliente\re o painel ...".
    virtual void SetCaptionLabel(const QString& text) = 0;
    // jvLookMonitorarClick: when the monitoring view is the one shown, let it refresh itself as if
    // just selected; otherwise nothing. Run when a session ends.
    virtual void MonitoringViewRefresh() = 0;

    // --- session ---
    // The link indicator: the "on line" picture and lblOnOffLine "On Line" (true), or the "off
    // line" picture and "Off Line" (false).
    virtual void SetOnLineIndicator(bool online) = 0;
    // Atualiza_Monitorando: an accepted status answer, the six bytes s0..s5.
    virtual void Atualiza_Monitorando(const QByteArray& panelStatus) = 0;
    // An accepted date and time answer (`PanelClock`) and its text for `Label5`.
    virtual void ShowPanelDateTime(const QByteArray& panelClock, const QString& text) {
        Q_UNUSED(panelClock);
        Q_UNUSED(text);
    }
    // Clears the screen's BufferDownloading flag.
    virtual void ClearBufferDownloading() = 0;
    // The programming windows, where they exist, repaint their scrolling area.
    virtual void RepaintProgrammingWindows() = 0;
    // Hang-up that closes the windows: the programming windows, each marked as closed by the
    // session, then the customer screen itself.
    virtual void CloseWindowsForDisconnect() = 0;
    // The programming images (ImagemPC, ImagemAlarme) of a product code's model (1, 3, 4: 10-zone
    // family; 2: 5-zone model); null when the screen holds none for it.
    virtual ProgrammingImages* Imagens(int productCode) = 0;
    // A programming read or write of the session ended (after its status window closed).
    virtual void TransferEnded(const TransferReport& report) { Q_UNUSED(report); }
    // The event-buffer download of the session (OnLineHost has the same three calls): it begins for
    // the model of `product` (false: storing cannot be prepared, nothing is asked of the panel),
    // record `index` arrived and its events are to be stored (false ends the download), it ended.
    virtual bool BeginEventDownload(int product) {
        Q_UNUSED(product);
        return false;
    }
    virtual bool Atualiza_Tabela_Eventos(int index, const QByteArray& record) {
        Q_UNUSED(index);
        Q_UNUSED(record);
        return false;
    }
    virtual void EventDownloadEnded(const EventDownloadReport& report) { Q_UNUSED(report); }
};
