#pragma once

#include "base/settings.h"
#include "link_control/link_operator.h"
#include "workspace/customer_record.h"
#include "workspace/record_presenter.h"

#include <QDialog>

#include <memory>

class AddressPage;
class CustomerPage;
class EventsPage;
class FieldBinder;
class LinkBar;
class MonitoringPage;
class LinkController;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class TdmBancoDeDados;

// What the customer record screen works with: the data module, a copy of the main window's
// settings (repeat rule, new-customer defaults, default templates) and the link.
struct RecordScreenContext {
    TdmBancoDeDados* dm = nullptr;
    Settings settings;
    // The main window's link (connect, disconnect, sessions); null: the screen offers no link
    // controls.
    LinkController* link = nullptr;
};

// `TfrmProgMain`, the screen of one customer: the customer page (CustomerPage) with its address
// (AddressPage) and notes pages, the save button, the page bar with "Retornar", and the link
// controls (connect F5, connect with callback F6 where the callback wait exists, disconnect F7).
// The customer's rows and programming images live in a CustomerRecord that the screen owns; the
// save and leave decisions are the RecordPresenter's, the screen carries them out. While open, the
// screen is the link's customer screen (LinkCustomerScreen): connections read the customer from
// the record, sessions read and write its images.
//
// Opening, from the customer list:
//
//     TfrmProgMain* screen = TfrmProgMain::OpenCustomer(context, idCliente, this);   // or NewCustomer
//     if (screen) {
//         screen->exec();                       // modal; saves or discards by itself
//         currentCustomerId = screen->CustomerId();
//         delete screen;
//     }
//
// Both factories show the reason and return null when the customer cannot be opened. While the
// screen is open it points the data module's customer sets at its customer; when it closes they
// are closed and get their previous selects back, so the list reopens its own sets afterwards.
class EventStore;
class TfrmProgEditor;

class TfrmProgMain : public QDialog, public LinkCustomerScreen, private RecordView {
    Q_OBJECT
public:
    // The stored customer `idCliente` (its PRODUTO must name a model: the list asks for the model of
    // a customer whose PRODUTO is "0" before opening it).
    static TfrmProgMain* OpenCustomer(const RecordScreenContext& context, int idCliente,
                                      QWidget* parent = nullptr);
    // A new customer of `productCode` (1..4) at `storedVersion`, as chosen in the product choice.
    static TfrmProgMain* NewCustomer(const RecordScreenContext& context, int productCode,
                                     const QString& storedVersion, QWidget* parent = nullptr);
    ~TfrmProgMain() override;

    CustomerRecord& Record() { return m_record; }
    // The customer's ID_CLIENTE (a new customer's once saved), 0 when it was never saved. Still
    // valid after the screen closed.
    int CustomerId() const;
    // The last answer of the save and leave questions (None, Yes, No or Cancel).
    OperatorAnswer ExitAnswer() const { return m_presenter.ExitAnswer(); }
    // Set while the screen fills its fields from the database or a template.
    bool LoadingRecord() const { return m_loadingRecord; }
    // Closing the screen by its frame is greyed out while a link handler works.
    bool CloseEnabled() const { return m_closeEnabled; }
    // "Programar": the programming window of the customer's model (created on first use, kept
    // while the customer is open).
    void jvLookProgramarClick();
    TfrmProgEditor* ProgrammingWindow() const { return m_editor; }
    // The settings the screen works with; the template dialog may have chosen new default
    // templates in them, which the main window takes over when the screen closes.
    const Settings& ScreenSettings() const { return m_context.settings; }

    // --- LinkCustomerScreen ---
    QString FonePainel() const override;
    QString CodigoPainel() const override;
    QString CodigoPC() const override;
    bool EnganaSecretaria() const override;
    int TempoEnganaSecretaria() override;
    void SetTempoEnganaSecretaria(int seconds) override;
    QString Produto() const override;
    void SetVersaoProduto(const QString& version) override;
    void SetConnectedImages(bool connected) override;
    void SetCloseEnabled(bool enabled) override;
    void SetVersionLabel(const QString& text) override;
    void SetCaptionLabel(const QString& text) override;
    void SetOnLineIndicator(bool online) override;
    void CloseWindowsForDisconnect() override;
    ProgrammingImages* Imagens(int productCode) override;
    // What the session tells the monitoring page, the events page and the programming window.
    void MonitoringViewRefresh() override;
    void Atualiza_Monitorando(const QByteArray& panelStatus) override;
    void ShowPanelDateTime(const QByteArray& panelClock, const QString& text) override;
    void ClearBufferDownloading() override { m_bufferDownloading = false; }
    void RepaintProgrammingWindows() override;
    // A programming read or write ended: the programming window's "Alarme" views show the panel's
    // copy as it now is (blocks a dropped line left unverified keep differing from "PC").
    void TransferEnded(const TransferReport& report) override;
    // The session download of the event log, stored into BUFFER_EVENTOS for this customer.
    bool BeginEventDownload(int product) override;
    bool Atualiza_Tabela_Eventos(int index, const QByteArray& record) override;
    void EventDownloadEnded(const EventDownloadReport& report) override;

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TfrmProgMain(const RecordScreenContext& context, QWidget* parent);
    void BuildScreen();
    void ConnectCustomerPage();
    void BindFields();
    void FillLookups();
    void LoadFields();
    void ApplyCodePermissions();
    void UpdateHeaderCaption();

    // "Salvar" and "Retornar".
    void btnSalvarClick();
    // "Imprimir": saves the customer and shows its stored programming in the print preview.
    void JvLookImprimirTudoClick();
    void jvLookRetornarClick();
    // The customer page, with the caret at the end of the name.
    void jvLookMostraClienteClick();
    // The "Monitorar" page (`jvLookMonitorarClick`).
    void jvLookMonitorarClick();
    // The "Eventos" page (`jvLookEventosClick`).
    void jvLookEventosClick();
    // The codes' "Fonte dos Dados": "PC" shows and edits `ImagemPC`'s codes, "Alarme" shows the
    // panel's (`ImagemAlarme`) read-only.
    void rbFontePCCodigosClick();
    void rbFonteAlarmeCodigosClick();
    // The link bar's connect (F5) and connect with callback (F6).
    void Connect(bool withCallback);
    // "Enviar para o Painel": writes the panel and PC codes of `ImagemPC` to the connected panel.
    void btnEnviarCodigosClick();
    // "Download" (`JvLookOutButton5`): the session downloads the panel's event log.
    void JvLookOutButton5Click();

    void PanelCodeLeft();
    void PcCodeLeft();
    void CodesAreaFocusChanged(QWidget* old, QWidget* now);
    bool CodeKeyAllowed(QLineEdit* field) const;
    QLineEdit* FieldEdit(RecordField field) const;
    // The text fields' contents; the balloon on `field` when its text has a character the
    // database cannot keep.
    static QString TextOf(const QWidget* field);
    bool RefuseTextNotLatin1(QWidget* field);
    void Tell(const QString& text);

    // --- RecordView ---
    void ApplyCodeLeaveRules() override;
    void ShowFieldError(RecordField field, const QString& message) override;
    void ShowInvalidField(const CustomerField& field, const QString& message) override;
    bool ShowTextNotLatin1() override;
    void ReloadFields() override;
    bool SessionRunning() const override;
    void HangUpAndClose() override;
    void CloseScreen() override;
    QObject* MessageContext() override { return this; }

    RecordScreenContext m_context;
    TdmBancoDeDados& m_dm;
    std::unique_ptr<EventStore> m_events;
    LinkController* m_link;
    CustomerRecord m_record;
    RecordPresenter m_presenter;
    FieldBinder* m_binder;
    // The fields that take free text, in the order of the pages.
    QList<QWidget*> m_textFields;
    bool m_loadingRecord = false;
    bool m_closeEnabled = true;
    bool m_finished = false;
    int m_customerIdAtClose = 0;

    // Top bar and page bar.
    QPushButton* btnSalvar = nullptr;
    LinkBar* m_linkBar = nullptr;
    QToolButton* JvLookOutButton5 = nullptr; // "Download"
    QToolButton* jvLookMostraCliente = nullptr;
    QToolButton* jvLookMonitorar = nullptr;
    MonitoringPage* m_monitoringPage = nullptr;
    QToolButton* jvLookEventos = nullptr;
    EventsPage* m_eventsPage = nullptr;
    // A session download is storing the panel's log (`BufferDownloading`).
    bool m_bufferDownloading = false;
    QToolButton* JvLookImprimirTudo = nullptr;
    QToolButton* jvLookProgramar = nullptr;
    TfrmProgEditor* m_editor = nullptr;
    bool m_printing = false;
    QToolButton* jvLookRetornar = nullptr;
    QStackedWidget* pgcPrincipal = nullptr;
    QLabel* lblCabecalho = nullptr;
    QTabWidget* pgcCliente = nullptr;

    // The pages: "Cliente", "Endereços", "Observações".
    CustomerPage* m_customerPage = nullptr;
    AddressPage* m_addressPage = nullptr;
    QPlainTextEdit* dbmemoObs = nullptr;
};
