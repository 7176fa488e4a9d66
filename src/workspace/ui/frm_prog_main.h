#pragma once

#include "base/settings.h"
#include "widgets/operator_prompts.h"
#include "link_control/link_operator.h"
#include "workspace/customer_record.h"
#include "workspace/save_checks.h"

#include <QDialog>

class FieldBinder;
class LinkController;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QStackedWidget;
class QTabWidget;
class QToolButton;
class TdmBancoDeDados;

// What the customer record screen works with: the data module, a copy of the main window's
// settings (repeat rule, new-customer defaults, default templates) and how it asks questions.
struct RecordScreenContext {
    TdmBancoDeDados* dm = nullptr;
    Settings settings;
    // Message boxes; null: the desktop's (tests put their own answers here).
    OperatorPrompts* prompts = nullptr;
    // The main window's link (connect, disconnect, sessions); null: the screen offers no link
    // controls.
    LinkController* link = nullptr;
};

// `TfrmProgMain`, the screen of one customer: the customer page with its address and notes pages,
// saving with its checks, leaving with its questions, and the link controls (connect F5, connect
// with callback F6 where the callback wait exists, disconnect F7). The customer's rows and
// programming images live in a CustomerRecord that the screen owns; the programming, event and
// monitoring views attach to it. While open, the screen is the link's customer screen
// (LinkCustomerScreen): connections read the customer from it, sessions read and write its images.
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
class TfrmProgMain : public QDialog, public LinkCustomerScreen {
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
    // The last answer of the save and leave questions (PromptAnswer: 0 none, 6 Yes, 7 No, 2 Cancel).
    int ExitAnswer() const { return m_exitAnswer; }
    // Set while the screen fills its fields from the database or a template.
    bool LoadingRecord() const { return m_loadingRecord; }

    // "Salvar": the save with the question "Salvar Conta?".
    void btnSalvarClick();
    // "Retornar": leaving with its questions.
    void jvLookRetornarClick();
    // The customer page, with the caret at the end of the name.
    void jvLookMostraClienteClick();
    // The codes' "Fonte dos Dados": "PC" shows and edits `ImagemPC`'s codes, "Alarme" shows the
    // panel's (`ImagemAlarme`) read-only.
    void rbFontePCCodigosClick();
    void RadioButton2Click();
    // Grey out and restore closing the screen by its frame (while a link handler works).
    void Desabilita_botao_fechar();
    void Habilita_botao_fechar();
    bool CloseEnabled() const { return m_closeEnabled; }

    // Re-reads the header of the customer page from the model and the stored version.
    void UpdateHeaderCaption();

    // The link controls: connect (F5, `imgConectar`), connect with callback (F6, `imgCallBack`),
    // disconnect (F7, `imgDesconectar`, only while it is shown).
    void imgConectarClick();
    void imgCallBackClick();
    void imgDesconectarClick();
    // "Enviar para o Painel": writes the panel and PC codes of `ImagemPC` to the connected panel.
    void Button5Click();
    // A session with the panel is running.
    bool SessionRunning() const;

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
    // The monitoring view, the event viewer and the programming editors are not part of this
    // screen yet: what the session tells them has no one to show it.
    void MonitoringViewRefresh() override {}
    void Atualiza_Monitorando(const QByteArray&) override {}
    void ClearBufferDownloading() override {}
    void RepaintProgrammingWindows() override {}

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    TfrmProgMain(const RecordScreenContext& context, QWidget* parent);
    void BuildScreen();
    QWidget* BuildCustomerTab();
    QWidget* BuildAddressTab();
    void BindFields();
    void FillLookups();
    void LoadFields();
    void ApplyCodePermissions();
    void Connect(bool withCallback);
    void UpdateCodeFieldsEnabled();
    void UpdateAnsweringMachineFields();

    enum class SaveOrigin { Button, Leave };
    void RunSave(SaveOrigin origin);
    void Leave(bool fromButton);
    void Finish();
    void ShowFieldError(RecordField field, const QString& message);
    QLineEdit* FieldEdit(RecordField field) const;
    void NormaliseCodeFields();

    void PanelCodeLeft();
    void PcCodeLeft();
    void TempoSecretariaLeft();
    void StepTempoSecretaria(int delta);
    void CodesAreaFocusChanged(QWidget* old, QWidget* now);
    bool CodeKeyAllowed(QLineEdit* field) const;

    int Ask(const QString& text, PromptButtons buttons, bool defaultNo = false);
    void Tell(const QString& text);
    OperatorPrompts& Prompts() const;

    RecordScreenContext m_context;
    TdmBancoDeDados& m_dm;
    LinkController* m_link;
    CustomerRecord m_record;
    FieldBinder* m_binder;
    int m_exitAnswer = 0;
    bool m_loadingRecord = false;
    bool m_closeEnabled = true;
    bool m_finished = false;
    int m_customerIdAtClose = 0;

    // Top bar and page bar.
    QPushButton* btnSalvar = nullptr;
    QToolButton* imgConectar = nullptr;
    QToolButton* imgCallBack = nullptr;
    QToolButton* imgDesconectar = nullptr;
    QLabel* Label34 = nullptr;
    QLabel* lblOnOffLine = nullptr;
    QToolButton* jvLookMostraCliente = nullptr;
    QToolButton* jvLookRetornar = nullptr;
    QStackedWidget* pgcPrincipal = nullptr;
    QLabel* lblCabecalho = nullptr;
    QTabWidget* pgcCliente = nullptr;

    // Customer page.
    QLineEdit* dbedtNome = nullptr;
    QComboBox* cmbGrupo = nullptr;
    QLabel* lblDataCriacao = nullptr;
    QLabel* lblHoraCriacao = nullptr;
    QGroupBox* grpCodigos = nullptr;
    QLineEdit* dbedtCodigoPainel = nullptr;
    QLineEdit* dbedtCodigoPC = nullptr;
    QCheckBox* chkAlterarCodigos = nullptr;
    QRadioButton* rbFontePCCodigos = nullptr;
    QRadioButton* RadioButton2 = nullptr;
    QPushButton* Button5 = nullptr;
    QLineEdit* dbedtFonePainel = nullptr;
    QCheckBox* dbchkSecretaria = nullptr;
    QLineEdit* dbedtTempoSecret = nullptr;
    QToolButton* sbTempoSecretUp = nullptr;
    QToolButton* sbTempoSecretDown = nullptr;
    QLabel* lblSeg = nullptr;
    QLineEdit* dbedtFone1 = nullptr;
    QLineEdit* dbedtFone2 = nullptr;
    QLineEdit* dbedtFone3 = nullptr;

    // "Endereços" and "Observações".
    QLineEdit* dbedtEndereco = nullptr;
    QLineEdit* dbedtNumero = nullptr;
    QLineEdit* dbedtComplemento = nullptr;
    QLineEdit* dbedtBairro = nullptr;
    QLineEdit* dbedtCidade = nullptr;
    QLineEdit* dbedtCep = nullptr;
    QComboBox* cmbEstado = nullptr;
    QLineEdit* dbedtPEndereco = nullptr;
    QLineEdit* dbedtPNumero = nullptr;
    QLineEdit* dbedtPComplemento = nullptr;
    QLineEdit* dbedtPBairro = nullptr;
    QLineEdit* dbedtPCidade = nullptr;
    QLineEdit* dbedtPCep = nullptr;
    QComboBox* cmbPEstado = nullptr;
    QPlainTextEdit* dbmemoObs = nullptr;
};
