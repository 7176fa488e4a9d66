#pragma once

#include "store/data_set.h"
#include "store/db_connection.h"
#include "store/logged_operator.h"

#include <QObject>

#include <functional>

class TdmBancoDeDados;

// What the data module needs from the application around it: message boxes and the login windows
// (the desktop shows them; the command line and tests answer in their own way).
class DataModuleHost {
public:
    virtual ~DataModuleHost() = default;
    // An error message for the operator (the texts use "\r" for line breaks).
    virtual void ShowMessage(const QString& text) = 0;
    // Something the operator should know that is no error (what the start-up repair did).
    virtual void ShowNotice(const QString& text) { ShowMessage(text); }
    // First-time set-up (no operator yet) and the login; true when the operator may go on.
    virtual bool RunFirstTimeSetup(TdmBancoDeDados& dm) = 0;
    virtual bool RunLogin(TdmBancoDeDados& dm) = 0;
    // Tells the application to end.
    virtual void TerminateApplication() = 0;
};

// The customer list of the main window, without its where clause.
inline const QString kCustomerListSelect = QStringLiteral(
    "select C.ID_CLIENTE, C.NOME, C.FONE1, C.FONE2, C.FONE3, C.DATA_CRIACAO, C.HORA_CRIACAO, C.PRODUTO, "
    "C.VERSAO_PRODUTO, P.CODIGO_PAINEL, P.CODIGO_PC, P.FONE_PAINEL, P.P_ENDERECO, P.P_NUMERO, "
    "P.P_COMPLEMENTO, P.P_BAIRRO, P.P_CIDADE, P.P_CEP, P.P_ESTADO from CLIENTES C join PAINEL P on "
    "C.ID_CLIENTE = P.ID_CLIENTE");

// The data module: the one connection and transaction, every data set the screens bind to, the
// auxiliary queries, the logged-in operator and the product predicates. One instance lives for
// the whole run and belongs to the main thread.
class TdmBancoDeDados : public QObject {
    Q_OBJECT
public:
    explicit TdmBancoDeDados(QObject* parent = nullptr);
    ~TdmBancoDeDados() override;

    DbConnection IBDB;

    // Data sets, in the module's order.
    DataSet DSetTelaInicial;
    DataSet DSetClientes;
    DataSet DSetPainel;
    DataSet DSetFones;
    DataSet DSetReport;
    DataSet DSetTempos;
    DataSet DSetUsuarios;
    DataSet DSetZonas;
    DataSet DSetOpcoes;
    DataSet DSetEstados;
    DataSet DSetGrupos;
    DataSet DSetBufferEventos;
    DataSet DSetMostraBuffer;
    DataSet DSetUsuariosSoft;
    DataSet dsetDeletarBuffer;

    // Auxiliary queries: the caller sets the statement each time.
    DataSet qrySenhas;
    DataSet qryUsuariosSoft;
    DataSet qryGrupos;
    DataSet qryCorrecaoErros;
    DataSet IBQuery1;

    LoggedOperator Operator;
    bool FirstRun = false;

    void SetHost(DataModuleHost* host) { m_host = host; }
    DataModuleHost* Host() const { return m_host; }
    // Where the product predicates read the main window's ConnectedProduct (255: none). Without
    // a source (no main window) PRODUTO alone decides.
    void SetConnectedProductSource(std::function<int()> source) { m_connectedProduct = std::move(source); }

    // Connects to a database (plain path: embedded; host:path: server) and starts the transaction;
    // the write statements of CLIENTES, TEMPOS and REPORT follow the shape of the file.
    bool Connect(const QString& databaseName);
    void Disconnect();
    bool Connected() const { return IBDB.Connected(); }
    bool CommitRetaining() { return IBDB.CommitRetaining(); }
    bool RollbackRetaining() { return IBDB.RollbackRetaining(); }
    QString LastError() const { return m_lastError; }

    // The sets AbreTodosBD opens and FechaTodosBD closes, in order.
    QList<DataSet*> DatabaseSets();
    // The sets of one customer in the order they are saved: CLIENTES, PAINEL, FONES, REPORT,
    // TEMPOS, USUARIOS, ZONAS, OPCOES.
    QList<DataSet*> CustomerSets();

    bool AbreTodosBD();
    bool FechaTodosBD();
    bool ModoEditOuInsert() const;
    bool RefreshKeepingPosition(DataSet& set);

    // Opens the database (ApplicationPath("zrv.fdb") when no name is given), runs first-time set-up
    // or the login through the host, and disconnects again; true when the application may go on.
    bool OpenAndLogin(const QString& databaseName = {});

    // Writes one customer's pending rows (the customer sets being edited or inserted) in one
    // transaction: a new customer takes one key for all eight rows from its eight generators at
    // once; a row a stored customer lacks takes the customer's key (one key number for all eight
    // tables); PAINEL.ID_CLIENTE and the programming rows' ID_PAINEL are filled in; the rows are
    // posted in order and committed. On any failure nothing of it stays in the database, the sets
    // are back in their edit or insert state with their buffers, and *error tells why.
    bool PostCustomer(QString* error = nullptr);

    // Replaces the write statements of CLIENTES, TEMPOS and REPORT by the versions with or
    // without their upgrade column.
    void UseUpgradeColumns(const QString& table, bool withUpgradeColumn);
    // Whether the connected database has the column.
    bool HasColumn(const QString& table, const QString& column);

    // Product predicates (product codes 1 Orvan 10, 2 Orvan 5, 3 Orvan 10 Max or Eco, 4 Orvan 9 Max).
    bool IsOrvan10() const;
    bool IsOrvan5() const;
    bool IsProduct3() const;
    bool IsOrvan9Max() const;
    bool IsProduct3Or4() const;

    // A whole file as text, and a text as a whole file (templates).
    static QString LoadFileText(const QString& fileName);
    static bool SaveFileText(const QString& fileName, const QString& text);

private:
    bool FillMissingRowKeys(const QList<DataSet*>& sets);
    int ConnectedProduct() const;
    QString CurrentProduto() const;
    void ShowMessage(const QString& text);
    void SetupDataSets();

    DataModuleHost* m_host = nullptr;
    std::function<int()> m_connectedProduct;
    QString m_lastError;
};
