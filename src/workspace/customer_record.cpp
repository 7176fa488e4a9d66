#include "workspace/customer_record.h"

#include "base/settings.h"
#include "programming/programming_storage.h"
#include "store/audit_log.h"
#include "store/data_module.h"

namespace {

const QString kIdCliente = QStringLiteral("ID_CLIENTE");
const QString kIdPainel = QStringLiteral("ID_PAINEL");
const QString kCodigoPainel = QStringLiteral("CODIGO_PAINEL");

// The programming sets in the data module's saving order, with their tables and the alias of
// their one-panel select.
struct ProgrammingSetPlace {
    DataSet TdmBancoDeDados::*set;
    ProgrammingTable table;
    const char* select;
};
const ProgrammingSetPlace kProgrammingSets[] = {
    {&TdmBancoDeDados::DSetFones, ProgrammingTable::Fones, "select F.* from FONES F where F.ID_PAINEL = ?"},
    {&TdmBancoDeDados::DSetReport, ProgrammingTable::Report,
     "select R.* from REPORT R where R.ID_PAINEL = ?"},
    {&TdmBancoDeDados::DSetTempos, ProgrammingTable::Tempos,
     "select T.* from TEMPOS T where T.ID_PAINEL = ?"},
    {&TdmBancoDeDados::DSetUsuarios, ProgrammingTable::Usuarios,
     "select U.* from USUARIOS U where U.ID_PAINEL = ?"},
    {&TdmBancoDeDados::DSetZonas, ProgrammingTable::Zonas, "select Z.* from ZONAS Z where Z.ID_PAINEL = ?"},
    {&TdmBancoDeDados::DSetOpcoes, ProgrammingTable::Opcoes,
     "select O.* from OPCOES O where O.ID_PAINEL = ?"},
};

const char* kClienteSelect = "select C.* from CLIENTES C where C.ID_CLIENTE = ?";
const char* kPainelSelect = "select P.* from PAINEL P where P.ID_CLIENTE = ?";

QVariantMap CurrentRow(const DataSet& set) {
    QVariantMap row;
    if (!set.Editing() && set.CurrentRow() < 0)
        return row;
    for (const QString& field : set.FieldNames())
        row.insert(field, set.Value(field));
    return row;
}

QVariant NullInt() {
    return QVariant(QMetaType(QMetaType::Int));
}

} // namespace

NewCustomerDefaults NewCustomerDefaults::FromSettings(const Settings& settings, int productCode) {
    NewCustomerDefaults d;
    d.cidade = settings.Cidade_Default;
    d.estado = settings.Estado_Default;
    d.cep = settings.CEP_Default;
    d.defaultTemplatePath = DefaultTemplatePath(settings, productCode);
    return d;
}

CustomerRecord::CustomerRecord(TdmBancoDeDados& dm) : m_dm(dm) {}

CustomerRecord::~CustomerRecord() {
    Close();
}

QList<DataSet*> CustomerRecord::ProgrammingSets() const {
    QList<DataSet*> sets;
    for (const ProgrammingSetPlace& place : kProgrammingSets)
        sets << &(m_dm.*place.set);
    return sets;
}

ProgrammingTable CustomerRecord::TableOf(int programmingSetIndex) {
    return kProgrammingSets[programmingSetIndex].table;
}

bool CustomerRecord::Fail(const QString& error) {
    m_lastError = error;
    return false;
}

bool CustomerRecord::IsNew() const {
    return m_open && m_dm.DSetClientes.CurrentState() == DataSet::State::Insert;
}

QString CustomerRecord::FonePainel() const {
    return m_dm.DSetPainel.Value(QStringLiteral("FONE_PAINEL")).toString();
}

QString CustomerRecord::CodigoPainel() const {
    return m_dm.DSetPainel.Value(kCodigoPainel).toString();
}

QString CustomerRecord::CodigoPC() const {
    return m_dm.DSetPainel.Value(QStringLiteral("CODIGO_PC")).toString();
}

bool CustomerRecord::EnganaSecretaria() const {
    return m_dm.DSetPainel.Value(QStringLiteral("ENGANA_SECRETARIA")).toString() == QLatin1String("1");
}

QString CustomerRecord::Produto() const {
    const QVariant produto = m_dm.DSetClientes.Value(QStringLiteral("PRODUTO"));
    return produto.isNull() ? QString() : produto.toString();
}

void CustomerRecord::StoreVersaoProduto(const QString& version) {
    m_storedVersion = version;
    m_dm.DSetClientes.SetValue(QStringLiteral("VERSAO_PRODUTO"), version);
}

int CustomerRecord::CustomerId() const {
    if (!m_open || IsNew())
        return 0;
    return m_dm.DSetClientes.Value(kIdCliente).toInt();
}

void CustomerRecord::PointSetsAt(const QVariant& idCliente, const QVariant& idPainel) {
    if (m_savedSelects.isEmpty()) {
        for (DataSet* set : m_dm.CustomerSets())
            m_savedSelects << SavedSelect{set, set->SelectSql(), set->SelectParams()};
    }
    m_dm.DSetClientes.SetSelectSql(QString::fromLatin1(kClienteSelect), {idCliente});
    m_dm.DSetPainel.SetSelectSql(QString::fromLatin1(kPainelSelect), {idCliente});
    for (const ProgrammingSetPlace& place : kProgrammingSets)
        (m_dm.*place.set).SetSelectSql(QString::fromLatin1(place.select), {idPainel});
}

bool CustomerRecord::OpenProgrammingSetsAndRest() {
    // The remaining database sets (states, groups, events) open as the data module opens them all.
    if (!m_dm.AbreTodosBD())
        return Fail(m_dm.LastError());
    return true;
}

bool CustomerRecord::OpenExisting(int idCliente, int connectedProduct) {
    Close();
    m_lastError.clear();
    m_dm.FechaTodosBD();
    PointSetsAt(idCliente, NullInt());
    for (DataSet* set : {&m_dm.DSetClientes, &m_dm.DSetPainel}) {
        if (!set->Open())
            return Fail(set->Name() + QStringLiteral(": ") + set->LastError());
    }
    if (m_dm.DSetClientes.IsEmpty()) {
        Close();
        return Fail(QStringLiteral("O cliente %1 não foi encontrado.").arg(idCliente));
    }
    const QVariant idPainel =
        m_dm.DSetPainel.IsEmpty() ? QVariant(NullInt()) : m_dm.DSetPainel.Value(kIdPainel);
    for (const ProgrammingSetPlace& place : kProgrammingSets)
        (m_dm.*place.set).SetSelectSql(QString::fromLatin1(place.select), {idPainel});
    if (!OpenProgrammingSetsAndRest()) {
        Close();
        return false;
    }

    const QVariant produto = m_dm.DSetClientes.Value(QStringLiteral("PRODUTO"));
    m_productCode = produto.isNull() ? connectedProduct : ProductCodeOf(produto.toString());
    if (FamilyOf(m_productCode) == ProductFamily::None) {
        Close();
        return Fail(QStringLiteral("O cliente %1 não tem um produto válido (%2).")
                        .arg(idCliente)
                        .arg(produto.toString()));
    }
    const QVariant version = m_dm.DSetClientes.Value(QStringLiteral("VERSAO_PRODUTO"));
    m_storedVersion = version.isNull() ? QStringLiteral("1.0") : version.toString();
    m_images = std::make_unique<ProgrammingImages>(m_productCode);
    m_factory.reset();
    m_open = true;

    // A customer whose panel row went missing gets one to fill in; saving writes it with the
    // programming rows.
    const bool panelMissing = m_dm.DSetPainel.IsEmpty();
    if (panelMissing)
        m_dm.DSetPainel.Insert();
    m_storedPanelCode = m_dm.DSetPainel.Value(kCodigoPainel).toString();
    LoadImageFromRows();
    // Without its panel the customer has no programming rows either: saving writes them all.
    ProgramacaoAlterada = panelMissing;
    return true;
}

void CustomerRecord::LoadImageFromRows() {
    ProgrammingRows rows;
    rows.insert(TableName(ProgrammingTable::Painel), CurrentRow(m_dm.DSetPainel));
    for (const ProgrammingSetPlace& place : kProgrammingSets)
        rows.insert(TableName(place.table), CurrentRow(m_dm.*place.set));
    LoadingFromImage = true;
    m_images->ImagemPC = ProgrammingImage::Initial(m_productCode);
    ApplyRowsToImage(rows, m_images->ImagemPC, PanelModel{m_productCode, m_storedVersion});
    LoadingFromImage = false;
}

QVariant CustomerRecord::DefaultGroupId() {
    bool ok = false;
    const QVariant id =
        m_dm.IBDB.SelectValue(QStringLiteral("select min(ID_GRUPO) from GRUPOS where upper(NOME_GRUPO) = ?"),
                              {QStringLiteral("DEFAULT")}, &ok);
    return ok && !id.isNull() ? id : QVariant(1);
}

bool CustomerRecord::BeginNew(int productCode, const QString& storedVersion,
                              const NewCustomerDefaults& defaults) {
    Close();
    m_lastError.clear();
    if (FamilyOf(productCode) == ProductFamily::None)
        return Fail(QStringLiteral("Produto inválido: %1.").arg(productCode));
    m_dm.FechaTodosBD();
    // Selects that find nothing: the sets only take the new rows.
    PointSetsAt(NullInt(), NullInt());
    if (!OpenProgrammingSetsAndRest()) {
        Close();
        return false;
    }
    for (DataSet* set : m_dm.CustomerSets()) {
        if (!set->Insert()) {
            const QString error = set->Name() + QStringLiteral(": ") + set->LastError();
            Close();
            return Fail(error);
        }
    }
    m_productCode = productCode;
    m_storedVersion = storedVersion;
    m_images = std::make_unique<ProgrammingImages>(productCode);
    m_open = true;
    m_storedPanelCode.clear();

    const QDateTime now = defaults.now.isValid() ? defaults.now : QDateTime::currentDateTime();
    DataSet& c = m_dm.DSetClientes;
    DataSet& p = m_dm.DSetPainel;
    c.SetValue(QStringLiteral("PRODUTO"), QString::number(productCode));
    c.SetValue(QStringLiteral("VERSAO_PRODUTO"), storedVersion);
    c.SetValue(QStringLiteral("ID_GRUPO"), DefaultGroupId());
    c.SetValue(QStringLiteral("DATA_CRIACAO"), now.date());
    c.SetValue(QStringLiteral("HORA_CRIACAO"),
               QTime(now.time().hour(), now.time().minute(), now.time().second()));
    p.SetValue(kCodigoPainel, kFactoryPanelCode);
    p.SetValue(QStringLiteral("CODIGO_PC"), kFactoryPanelCode);
    if (!defaults.cidade.isEmpty()) {
        c.SetValue(QStringLiteral("CIDADE"), defaults.cidade);
        p.SetValue(QStringLiteral("P_CIDADE"), defaults.cidade);
    }
    if (defaults.estado > 0) {
        c.SetValue(QStringLiteral("ESTADO"), defaults.estado);
        p.SetValue(QStringLiteral("P_ESTADO"), defaults.estado);
    }
    if (!defaults.cep.isEmpty()) {
        c.SetValue(QStringLiteral("CEP"), defaults.cep);
        p.SetValue(QStringLiteral("P_CEP"), defaults.cep);
    }

    m_factory = std::make_unique<FactoryProgramming>(ProgDefault(productCode, defaults.defaultTemplatePath));
    LoadingFromImage = true;
    m_images->ImagemPC = m_factory->image;
    // The image shows what the rows will hold: the factory programming goes through the storage
    // mapping once, so that what is sent to a panel before the first save is what a reopening gives
    // back (the 5-zone factory programming leaves the users' codes at 00 00, which the rows keep
    // as "no code" and which reads back as FF FF, the bytes of an empty code field).
    const PanelModel model{productCode, storedVersion};
    ApplyRowsToImage(RowsFromImage(m_images->ImagemPC, model), m_images->ImagemPC, model);
    LoadingFromImage = false;
    if (m_factory->fromTemplate) {
        // The template's codes are the new customer's codes.
        const PanelCodes codes = PanelCodesOf(m_images->ImagemPC);
        p.SetValue(kCodigoPainel, codes.panelCode);
        p.SetValue(QStringLiteral("CODIGO_PC"), codes.pcCode);
    } else if (m_factory->clearAnsweringMachineBypass) {
        p.SetValue(QStringLiteral("ENGANA_SECRETARIA"), QStringLiteral("0"));
    }
    ProgramacaoAlterada = false;
    return true;
}

void CustomerRecord::CopyPanelCodeToImage(const QString& text) {
    if (m_images && !LoadingFromImage)
        m_images->ImagemPC.setText(ProgField::PanelCode, text);
}

void CustomerRecord::CopyPcCodeToImage(const QString& text) {
    if (m_images && !LoadingFromImage)
        m_images->ImagemPC.setText(ProgField::PcCode, text);
}

void CustomerRecord::LoadTemplateImage(const QByteArray& image) {
    if (!m_images)
        return;
    const QString panelCode = CodigoPainel();
    const QString pcCode = CodigoPC();
    m_images->ImagemPC.setBytes(image);
    m_images->ImagemPC.setText(ProgField::PanelCode, panelCode);
    m_images->ImagemPC.setText(ProgField::PcCode, pcCode);
    ProgramacaoAlterada = true;
}

bool CustomerRecord::PanelCodeNeedsRepeatCheck() const {
    const DataSet& p = m_dm.DSetPainel;
    if (p.CurrentState() == DataSet::State::Insert)
        return true;
    return p.CurrentState() == DataSet::State::Edit && p.Value(kCodigoPainel).toString() != m_storedPanelCode;
}

int CustomerRecord::CountOtherPanelsWithCode(const QString& code) {
    const QVariant ownPanel = m_dm.DSetPainel.CurrentState() == DataSet::State::Insert
                                  ? QVariant()
                                  : m_dm.DSetPainel.Value(kIdPainel);
    bool ok = false;
    const QVariant count =
        ownPanel.isNull()
            ? m_dm.IBDB.SelectValue(
                  QStringLiteral("select Count(CODIGO_PAINEL) \"Quant\" from PAINEL where CODIGO_PAINEL = ?"),
                  {code}, &ok)
            : m_dm.IBDB.SelectValue(QStringLiteral("select Count(CODIGO_PAINEL) \"Quant\" from PAINEL where "
                                                   "CODIGO_PAINEL = ? and ID_PAINEL <> ?"),
                                    {code, ownPanel}, &ok);
    if (!ok) {
        m_lastError = m_dm.IBDB.LastError();
        return -1;
    }
    return count.toInt();
}

bool CustomerRecord::WriteImageIntoRows() {
    const QList<DataSet*> sets = ProgrammingSets();
    if (ProgramacaoAlterada) {
        // Every programming row takes the image, including a row the database lacks.
        for (DataSet* set : sets) {
            if (!set->Active() && !set->Open())
                return Fail(set->Name() + QStringLiteral(": ") + set->LastError());
            if (set->Editing())
                continue;
            if (!(set->IsEmpty() ? set->Insert() : set->Edit()))
                return Fail(set->Name() + QStringLiteral(": ") + set->LastError());
        }
    }
    const PanelModel model{m_productCode, m_storedVersion};
    for (int i = 0; i < sets.size(); ++i) {
        DataSet* set = sets[i];
        if (!set->Editing())
            continue;
        const QVariantMap row = RowFromImage(TableOf(i), m_images->ImagemPC, model);
        for (auto it = row.begin(); it != row.end(); ++it) {
            // A database of the older shape lacks NAO_MOVIMENTO and COD_NAO_MOVIMENTO.
            if (set->HasField(it.key()) && !set->SetValue(it.key(), it.value()))
                return Fail(set->Name() + QStringLiteral(": ") + set->LastError());
        }
    }
    return true;
}

bool CustomerRecord::Save(QString* error) {
    m_lastError.clear();
    auto fail = [&](const QString& why) {
        m_lastError = why;
        if (error)
            *error = why;
        return false;
    };
    if (!m_open)
        return fail(QStringLiteral("Nenhum cliente aberto."));
    const bool wasNew = IsNew();
    if (!WriteImageIntoRows())
        return fail(m_lastError);
    DataSet& c = m_dm.DSetClientes;
    if (c.Editing() && c.HasField(QStringLiteral("VERSAO_PRODUTO")))
        c.SetValue(QStringLiteral("VERSAO_PRODUTO"), m_storedVersion);
    QString why;
    if (!m_dm.PostCustomer(&why))
        return fail(why);
    ProgramacaoAlterada = false;
    m_storedPanelCode = m_dm.DSetPainel.Value(kCodigoPainel).toString();
    if (wasNew) {
        RecordAudit(m_dm, m_dm.Operator.name, c.Value(kIdCliente).toInt(), AuditAction::CustomerCreated,
                    c.Value(QStringLiteral("NOME")).toString());
        // The sets now reopen on the customer's own rows.
        PointSetsAt(c.Value(kIdCliente), m_dm.DSetPainel.Value(kIdPainel));
    }
    return true;
}

void CustomerRecord::Discard() {
    for (DataSet* set : m_dm.DatabaseSets())
        set->Cancel();
    m_dm.RollbackRetaining();
    ProgramacaoAlterada = false;
}

void CustomerRecord::Close() {
    if (m_open || !m_savedSelects.isEmpty()) {
        m_dm.FechaTodosBD();
        for (const SavedSelect& saved : m_savedSelects)
            saved.set->SetSelectSql(saved.sql, saved.params);
    }
    m_savedSelects.clear();
    m_open = false;
    ProgramacaoAlterada = false;
    LoadingFromImage = false;
}
