#pragma once

#include "base/settings.h"
#include "store/permissions.h"
#include "workspace/customer_list_model.h"

#include <QMainWindow>

#include <functional>

class BufferWait;
class ComPort;
class LinkController;
class LinkState;
class MessageHook;
class QAction;
class QComboBox;
class QLabel;
class QPushButton;
class RingIndicator;
class QLineEdit;
class QMenu;
class QTableView;
class QToolButton;
class TdmBancoDeDados;

// The main window: the customer list with its group filter, sorting and search, the actions that
// add, open and delete customers, the menus, and the serial port that is reopened whenever no
// customer is open.
class TfrmPrincipal : public QMainWindow {
    Q_OBJECT
public:
    // Opens the customer record screen modally: a stored customer by key, or (key -1) a new customer
    // of the link state's ConnectedProduct and StoredVersion (the product choice's answer). Answers
    // the customer's key when the screen closed (0 when a new one was never saved). By default the
    // window opens TfrmProgMain; tests put their own in place.
    using RecordScreenOpener = std::function<int(TfrmPrincipal& main, int customerId)>;

    // Runs the creation steps: settings, columns, help, title, database reconnection, upkeep,
    // list, group filter and count. `databaseName` empty: the settings' BancoDeDados, else
    // zrv.fdb in PathBD.
    TfrmPrincipal(TdmBancoDeDados& dm, LinkState& link, ComPort& port, QWidget* parent = nullptr,
                  const QString& databaseName = {});
    ~TfrmPrincipal() override;

    void SetRecordScreenOpener(RecordScreenOpener opener) { m_opener = std::move(opener); }
    // Called on the first showing when the first operator was just created (the communication
    // settings open then).
    void SetFirstRunHandler(std::function<void(TfrmPrincipal&)> handler) {
        m_firstRunHandler = std::move(handler);
    }
    // The login of "Trocar de usuário"; true when an operator logged in.
    void SetLoginHandler(std::function<bool(TfrmPrincipal&)> handler) { m_loginHandler = std::move(handler); }

    // The link controller that owns the port, its dispatcher and the link workers (the desktop's;
    // tests may have none). It gets the settings copy now and whenever the settings change.
    void SetLinkController(LinkController* controller);
    // Hands the link what it uses of the settings; called again whenever they are re-read.
    void PassSettingsToLink();
    LinkController* Controller() const { return m_controller; }

    TdmBancoDeDados& DataModule() { return m_dm; }
    LinkState& Link() { return m_link; }
    ComPort& Port() { return m_port; }
    Settings& Config() { return m_settings; }
    // The creation found the database unreachable (the window shows no data).
    bool DatabaseFailed() const { return m_databaseFailed; }

    // Window parts, named as the screen names them.
    QTableView* DBGrid1;
    CustomerListModel* Model;
    QComboBox* cmbGrupo;
    QLineEdit* edtLocalizar;
    QToolButton* JvArrowButton1;
    QLabel* lblNumClientes;
    QPushButton* btnConfigurarGrupos = nullptr;
    QLabel* lblRing = nullptr;
    RingIndicator* m_ring = nullptr;
    QLabel* lblData;
    QLabel* lblHora;
    QLabel* lblUsuario;
    QAction* actIncluirCliente;
    QAction* actVerCliente;
    QAction* actExcluirCliente;
    QAction* actTrocarUsuario;
    QAction* actSair;
    QAction* actAjuda;
    QAction* actComunicacao;
    QAction* actGerais;
    QAction* actEscolherColunas;
    QAction* actBackup;
    QAction* actRestauracao;
    QAction* actSobre;
    // "Aguarda Buffer": waiting for panels that call in with their log (buffer_wait.h).
    QAction* actAguardaBuffer = nullptr;
    QToolButton* btnAguardaBuffer = nullptr;
    QMenu* mnuArquivo;
    QMenu* mnuOpcoes;
    QMenu* mnuBancoDados;
    QMenu* mnuAjuda;

    // Window state.
    bool ViewingRecycleBin = false;
    int SortedColumn = -1;
    bool SortDescending = false;
    bool TitleJustClicked = false;
    bool ShiftHeld = false;
    int CurrentCustomerId = -1;

    // Shows the columns named by a comma-separated list of field names, in its order.
    void Atualiza_Grid_TelaInicial(const QString& columns);
    // Refills the group filter ("TODOS" first) and applies "TODOS".
    void Atualiza_Combos();
    void ApplyGroupFilter();
    // Reloads the list keeping its filter and sort; selects the customer when it is still there.
    bool ReloadList(int selectCustomerId = -1);
    // Reads one customer again after it changed (the rest of the list stays as it is) and keeps
    // the current row on it, or on the row that took its place when it left the list.
    void RefreshCustomer(int customerId);
    void RefreshCount();

    // A click on the title of the list column showing `field`.
    void TitleClick(int field);
    // The search box changed / the search-key button was pressed.
    void SearchAsTyped(const QString& text);
    void SearchNext();
    // Masks the code columns the logged-in operator may not see.
    void ApplyCodePermissions();
    void SetSearchKey(const QString& caption);
    int SearchField() const;

    void actIncluirClienteExecute();
    void actVerClienteExecute();
    void actExcluirClienteExecute();
    void TrocarUsuario();
    // "&Comunicação ...": with the permission, closes the port, shows the communication settings,
    // re-reads the settings, hands them to the link and reopens the port.
    void ConfigurarComunicacao();
    // The communication settings dialog and the settings read again afterwards (the first start
    // shows it so; the port is opened after it).
    void EditConnectionSettings();
    void UpdateActions();
    // "Aguarda Buffer" pressed (checked) or released, with permission 30.
    void actAguardaBufferExecute(bool checked);
    bool AguardandoBuffer() const;
    BufferWait* Listening() const { return m_bufferWait; }

    // The options, database and help dialogs (frm_principal_options.cpp).
    // "&Gerais ...": the general options; the window keeps the settings they wrote.
    void OpcoesGerais();
    // "&Escolher colunas ...": the list shows the chosen columns, stored as "Colunas".
    void EscolherColunas();
    // "Bac&kup ...".
    void FazerBackup();
    // "&Restauração ..." (administrator only): the list is closed and the database disconnected
    // while the window is open; afterwards the database is connected again and the list reloaded.
    void Restauracao();
    // "&Sobre o Telvora ...".
    void Sobre();
    QString DatabaseName() const { return m_databaseName; }

    // Opens (or reopens) the serial port of the settings at 300 baud; reports a failure with the
    // system's message. Answers whether the port is open.
    bool ReopenPort();

    // The customer in the list's current row, or -1.
    int CurrentId() const;
    int CurrentRow() const;
    void SelectRow(int row);

Q_SIGNALS:
    void ListReloaded();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void BuildActions();
    void BuildMenus();
    void BuildScreen();
    void RunCreationSteps(const QString& databaseName);
    void FirstShow();
    // The status line's "Usuário: " and the logged-in operator's name.
    void ShowOperatorName();
    void ApplyFirstColumnWidths();
    void UpdateClock();
    bool HasPermission(Permission permission);
    // "Configurar ...": the groups dialog, then the group filter refilled.
    void ConfigurarGrupos();
    // The product type choice, applied to the link state; true when the operator confirmed it.
    bool ChooseProduct();
    int OpenRecordScreen(int customerId);
    int OpenWithRecordScreen(int customerId);

    TdmBancoDeDados& m_dm;
    LinkState& m_link;
    ComPort& m_port;
    Settings m_settings;
    LinkController* m_controller = nullptr;
    BufferWait* m_bufferWait = nullptr;
    MessageHook* m_hook;
    RecordScreenOpener m_opener;
    std::function<void(TfrmPrincipal&)> m_firstRunHandler;
    std::function<bool(TfrmPrincipal&)> m_loginHandler;
    QString m_fontFile;
    int m_fontId = -1;
    bool m_databaseFailed = false;
    bool m_shown = false;
    bool m_recordScreenOpen = false;
    QString m_databaseName;
};
