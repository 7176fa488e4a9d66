#include "store/data_module.h"

#include "base/app_paths.h"
#include "programming/product_codes.h"
#include "store/schema_tables.h"
#include "store/store_messages.h"

#include <QFile>
#include <QSaveFile>

namespace {

DataSetStatements StatementsFor(const QString& tableName, bool withUpgradeColumn = true) {
    const TableDefinition* table = FindSchemaTable(tableName);
    Q_ASSERT(table);
    return DataSetStatements::ForTable(table->name, table->keyColumn, table->generator,
                                       table->Columns(withUpgradeColumn));
}

} // namespace

TdmBancoDeDados::TdmBancoDeDados(QObject* parent)
    : QObject(parent), DSetTelaInicial(IBDB, QStringLiteral("DSetTelaInicial")),
      DSetClientes(IBDB, QStringLiteral("DSetClientes")), DSetPainel(IBDB, QStringLiteral("DSetPainel")),
      DSetFones(IBDB, QStringLiteral("DSetFones")), DSetReport(IBDB, QStringLiteral("DSetReport")),
      DSetTempos(IBDB, QStringLiteral("DSetTempos")), DSetUsuarios(IBDB, QStringLiteral("DSetUsuarios")),
      DSetZonas(IBDB, QStringLiteral("DSetZonas")), DSetOpcoes(IBDB, QStringLiteral("DSetOpcoes")),
      DSetEstados(IBDB, QStringLiteral("DSetEstados")), DSetGrupos(IBDB, QStringLiteral("DSetGrupos")),
      DSetBufferEventos(IBDB, QStringLiteral("DSetBufferEventos")),
      DSetMostraBuffer(IBDB, QStringLiteral("DSetMostraBuffer")),
      DSetUsuariosSoft(IBDB, QStringLiteral("DSetUsuariosSoft")),
      dsetDeletarBuffer(IBDB, QStringLiteral("dsetDeletarBuffer")),
      qrySenhas(IBDB, QStringLiteral("qrySenhas")), qryUsuariosSoft(IBDB, QStringLiteral("qryUsuariosSoft")),
      qryGrupos(IBDB, QStringLiteral("qryGrupos")),
      qryCorrecaoErros(IBDB, QStringLiteral("qryCorrecaoErros")), IBQuery1(IBDB, QStringLiteral("IBQuery1")) {
    setObjectName(QStringLiteral("dmBancoDeDados"));
    SetupDataSets();
}

TdmBancoDeDados::~TdmBancoDeDados() {
    Disconnect();
}

void TdmBancoDeDados::SetupDataSets() {
    DSetTelaInicial.SetSelectSql(kCustomerListSelect);

    DSetClientes.SetSelectSql(QStringLiteral("Select * from CLIENTES"));
    DSetClientes.SetStatements(StatementsFor(QStringLiteral("CLIENTES")));
    QStringList painelColumns;
    for (const QString& column : FindSchemaTable(QStringLiteral("PAINEL"))->columns)
        painelColumns << QStringLiteral("P.") + column;
    DSetPainel.SetSelectSql(
        QStringLiteral("select %1 from painel P").arg(painelColumns.join(QStringLiteral(", "))));
    DSetPainel.SetStatements(StatementsFor(QStringLiteral("PAINEL")));
    const QList<std::pair<DataSet*, QString>> programming = {
        {&DSetFones, QStringLiteral("FONES")},
        {&DSetReport, QStringLiteral("REPORT")},
        {&DSetTempos, QStringLiteral("TEMPOS")},
        {&DSetUsuarios, QStringLiteral("USUARIOS")},
        {&DSetZonas, QStringLiteral("ZONAS")},
        {&DSetOpcoes, QStringLiteral("OPCOES")},
        {&DSetEstados, QStringLiteral("ESTADOS")},
        {&DSetGrupos, QStringLiteral("GRUPOS")},
        {&DSetUsuariosSoft, QStringLiteral("USUARIOS_SOFTWARE")}};
    for (const auto& [set, table] : programming) {
        set->SetSelectSql(QStringLiteral("Select * from %1").arg(table));
        set->SetStatements(StatementsFor(table));
    }
    const DataSetStatements events = StatementsFor(QStringLiteral("BUFFER_EVENTOS"));
    DSetBufferEventos.SetSelectSql(
        QStringLiteral("select %1 from BUFFER_EVENTOS").arg(events.columns.join(QStringLiteral(", "))));
    DSetBufferEventos.SetStatements(events);
    DSetMostraBuffer.SetStatements(
        DataSetStatements::DeleteOnly(QStringLiteral("BUFFER_EVENTOS"), QStringLiteral("ID_BUFFER_EVENTOS")));
    qryUsuariosSoft.SetSelectSql(QStringLiteral("Select USUARIO from USUARIOS_SOFTWARE"));
}

void TdmBancoDeDados::ShowMessage(const QString& text) {
    m_lastError = text;
    if (m_host)
        m_host->ShowMessage(text);
}

bool TdmBancoDeDados::Connect(const QString& databaseName) {
    m_lastError.clear();
    if (!IBDB.Connect(databaseName)) {
        m_lastError = IBDB.LastError();
        return false;
    }
    for (const QString& table :
         {QStringLiteral("CLIENTES"), QStringLiteral("TEMPOS"), QStringLiteral("REPORT")}) {
        const TableDefinition* definition = FindSchemaTable(table);
        UseUpgradeColumns(table, HasColumn(table, definition->upgradeColumn));
    }
    return true;
}

void TdmBancoDeDados::Disconnect() {
    for (DataSet* set :
         {&DSetTelaInicial, &DSetClientes,      &DSetPainel,       &DSetFones,        &DSetReport,
          &DSetTempos,      &DSetUsuarios,      &DSetZonas,        &DSetOpcoes,       &DSetEstados,
          &DSetGrupos,      &DSetBufferEventos, &DSetMostraBuffer, &DSetUsuariosSoft, &dsetDeletarBuffer,
          &qrySenhas,       &qryUsuariosSoft,   &qryGrupos,        &qryCorrecaoErros, &IBQuery1})
        set->Close();
    IBDB.Disconnect();
}

bool TdmBancoDeDados::HasColumn(const QString& table, const QString& column) {
    bool ok = false;
    const QVariant count = IBDB.SelectValue(
        QStringLiteral("select count(*) from RDB$RELATION_FIELDS where RDB$RELATION_NAME = ? and "
                       "RDB$FIELD_NAME = ?"),
        {table.toUpper(), column.toUpper()}, &ok);
    return ok && count.toInt() > 0;
}

void TdmBancoDeDados::UseUpgradeColumns(const QString& table, bool withUpgradeColumn) {
    DataSet* set = nullptr;
    if (table.compare(QLatin1String("CLIENTES"), Qt::CaseInsensitive) == 0)
        set = &DSetClientes;
    else if (table.compare(QLatin1String("TEMPOS"), Qt::CaseInsensitive) == 0)
        set = &DSetTempos;
    else if (table.compare(QLatin1String("REPORT"), Qt::CaseInsensitive) == 0)
        set = &DSetReport;
    if (set)
        set->SetStatements(StatementsFor(table, withUpgradeColumn));
}

QList<DataSet*> TdmBancoDeDados::DatabaseSets() {
    return {&DSetClientes, &DSetPainel, &DSetFones,   &DSetReport, &DSetTempos,       &DSetUsuarios,
            &DSetZonas,    &DSetOpcoes, &DSetEstados, &DSetGrupos, &DSetBufferEventos};
}

QList<DataSet*> TdmBancoDeDados::CustomerSets() {
    return {&DSetClientes, &DSetPainel,   &DSetFones, &DSetReport,
            &DSetTempos,   &DSetUsuarios, &DSetZonas, &DSetOpcoes};
}

bool TdmBancoDeDados::AbreTodosBD() {
    for (DataSet* set : DatabaseSets()) {
        bool ok = set->Open();
        if (ok && (set == &DSetEstados || set == &DSetGrupos))
            ok = set->FetchAll();
        if (!ok) {
            ShowMessage(MsgErroAbrirTabela(set->Name()));
            m_lastError += QStringLiteral("\r") + set->LastError();
            return false;
        }
    }
    return true;
}

bool TdmBancoDeDados::FechaTodosBD() {
    // Closing drops what was fetched and any unposted buffer; it cannot fail here.
    for (DataSet* set : DatabaseSets())
        set->Close();
    return true;
}

bool TdmBancoDeDados::ModoEditOuInsert() const {
    for (DataSet* set : const_cast<TdmBancoDeDados*>(this)->DatabaseSets()) {
        if (set->Editing())
            return true;
    }
    return false;
}

bool TdmBancoDeDados::RefreshKeepingPosition(DataSet& set) {
    const QString key = set.Statements().keyColumn;
    const bool byKey = !key.isEmpty() && set.HasField(key) && set.CurrentRow() >= 0;
    const QVariant bookmark = byKey ? set.Value(key) : QVariant(set.CurrentRow());
    set.Close();
    if (!set.Open())
        return false;
    if (byKey)
        set.Locate(key, bookmark);
    else if (bookmark.toInt() > 0)
        set.MoveTo(bookmark.toInt());
    return true;
}

bool TdmBancoDeDados::OpenAndLogin(const QString& databaseName) {
    const QString name = databaseName.isEmpty() ? ApplicationPath(QStringLiteral("zrv.fdb")) : databaseName;
    auto fail = [this] {
        const QString detail = m_lastError;
        ShowMessage(kMsgErroAcessarBanco);
        if (!detail.isEmpty())
            m_lastError += QStringLiteral("\r") + detail;
        if (m_host)
            m_host->TerminateApplication();
        Disconnect();
        return false;
    };
    if (!Connect(name))
        return fail();
    if (!DSetUsuariosSoft.Open()) {
        m_lastError = DSetUsuariosSoft.LastError();
        return fail();
    }
    bool result = false;
    if (m_host)
        result = DSetUsuariosSoft.IsEmpty() ? m_host->RunFirstTimeSetup(*this) : m_host->RunLogin(*this);
    Disconnect();
    return result;
}

bool TdmBancoDeDados::PostCustomer(QString* error) {
    const QList<DataSet*> sets = CustomerSets();
    bool pending = false;
    for (DataSet* set : sets)
        pending = pending || set->Editing();
    if (!pending)
        return true;

    QList<DataSet::Snapshot> before;
    for (DataSet* set : sets)
        before << set->TakeSnapshot();
    auto fail = [&](const QString& reason) {
        IBDB.RollbackRetaining();
        for (int i = 0; i < sets.size(); ++i)
            sets[i]->RestoreSnapshot(before[i]);
        m_lastError = reason;
        if (error)
            *error = reason;
        return false;
    };

    // A new customer: one statement advances the eight generators together, so they keep agreeing
    // even when the rows are never written, and all eight rows get the same key.
    bool allInserting = true;
    for (DataSet* set : sets)
        allInserting = allInserting && set->CurrentState() == DataSet::State::Insert;
    if (allInserting && DSetClientes.Value(QStringLiteral("ID_CLIENTE")).isNull()) {
        QStringList generators;
        for (DataSet* set : sets)
            generators << QStringLiteral("gen_id(%1, 1)").arg(set->Statements().generator);
        bool ok = false;
        const QList<QVariantList> keys = IBDB.SelectRows(
            QStringLiteral("select %1 from rdb$database").arg(generators.join(QStringLiteral(", "))), {},
            &ok);
        if (!ok || keys.isEmpty())
            return fail(kMsgErroGravarCliente + IBDB.LastError());
        for (int i = 0; i < sets.size(); ++i)
            sets[i]->SetValue(sets[i]->Statements().keyColumn, keys[0][i]);
    } else if (!FillMissingRowKeys(sets))
        return fail(m_lastError);

    for (DataSet* set : sets) {
        if (!set->Editing())
            continue;
        const QVariant customer = DSetClientes.Value(QStringLiteral("ID_CLIENTE"));
        const QVariant panel = DSetPainel.Value(QStringLiteral("ID_PAINEL"));
        if (set == &DSetPainel && !customer.isNull())
            DSetPainel.SetValue(QStringLiteral("ID_CLIENTE"), customer);
        else if (set != &DSetClientes && set != &DSetPainel && !panel.isNull())
            set->SetValue(QStringLiteral("ID_PAINEL"), panel);
        if (!set->Post())
            return fail(set->IsRowConflict()
                            ? set->LastError()
                            : kMsgErroGravarCliente + set->Name() + QStringLiteral(": ") + set->LastError());
    }
    if (!IBDB.CommitRetaining())
        return fail(kMsgErroGravarCliente + IBDB.LastError());
    return true;
}

bool TdmBancoDeDados::FillMissingRowKeys(const QList<DataSet*>& sets) {
    // A stored customer that lacks some of its rows (a creation that stopped half-way, an import)
    // gets them under the customer's own key, as a new customer would: a key taken from one
    // table's generator alone would make the generators disagree, and the start-up repair would
    // take the rows for the remains of a failed creation.
    const QVariant customer = DSetClientes.Value(QStringLiteral("ID_CLIENTE"));
    if (customer.isNull())
        return true;
    for (DataSet* set : sets) {
        const QString key = set->Statements().keyColumn;
        if (set->CurrentState() != DataSet::State::Insert || !set->Value(key).isNull())
            continue;
        bool ok = false;
        const QVariant taken = IBDB.SelectValue(
            QStringLiteral("select count(*) from %1 where %2 = ?").arg(set->Statements().table, key),
            {customer}, &ok);
        if (!ok) {
            m_lastError = IBDB.LastError();
            return false;
        }
        if (taken.toInt() > 0) {
            m_lastError = QStringLiteral("%1: a chave %2 do cliente já pertence a outro registro.")
                              .arg(set->Name(), customer.toString());
            return false;
        }
        set->SetValue(key, customer);
    }
    return true;
}

int TdmBancoDeDados::ConnectedProduct() const {
    return m_connectedProduct ? m_connectedProduct() : kNoConnectedProduct;
}

QString TdmBancoDeDados::CurrentProduto() const {
    return DSetClientes.Value(QStringLiteral("PRODUTO")).toString();
}

bool TdmBancoDeDados::IsOrvan10() const {
    return ::IsOrvan10(ConnectedProduct(), CurrentProduto());
}

bool TdmBancoDeDados::IsOrvan5() const {
    return ::IsOrvan5(ConnectedProduct(), CurrentProduto());
}

bool TdmBancoDeDados::IsProduct3() const {
    return ::IsProduct3(ConnectedProduct(), CurrentProduto());
}

bool TdmBancoDeDados::IsOrvan9Max() const {
    return ::IsOrvan9Max(ConnectedProduct(), CurrentProduto());
}

bool TdmBancoDeDados::IsProduct3Or4() const {
    return ::IsProduct3Or4(ConnectedProduct(), CurrentProduto());
}

QString TdmBancoDeDados::LoadFileText(const QString& fileName) {
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.readAll());
}

bool TdmBancoDeDados::SaveFileText(const QString& fileName, const QString& text) {
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly))
        return false;
    file.write(text.toLatin1());
    return file.commit();
}
