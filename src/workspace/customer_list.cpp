#include "workspace/customer_list.h"

#include "base/locale_format.h"
#include "programming/product_codes.h"
#include "store/db_connection.h"
#include "store/fb_statement.h"
#include "store/schema_tables.h"
#include "store/store_messages.h"

#include <QDate>
#include <QTime>

#include <algorithm>
#include <array>

namespace {

struct ColumnInfo {
    const char* field;
    const char* title;
};

// The grid's columns in the order they are defined.
constexpr ColumnInfo kColumns[CustomerListFieldCount] = {
    {"ID_CLIENTE", "Nº do Cliente"},
    {"NOME", "Nome do Cliente"},
    {"FONE1", "Telefone 1"},
    {"FONE2", "Telefone 2"},
    {"FONE3", "Telefone 3"},
    {"DATA_CRIACAO", "Data de Criação"},
    {"HORA_CRIACAO", "Hora de Criação"},
    {"PRODUTO", "Produto"},
    {"VERSAO_PRODUTO", "Versão do Produto"},
    {"CODIGO_PAINEL", "Código do Painel"},
    {"CODIGO_PC", "Código do PC"},
    {"FONE_PAINEL", "Fone do Painel"},
    {"P_ENDERECO", "Endereço do Painel"},
    {"P_NUMERO", "Número"},
    {"P_COMPLEMENTO", "Complemento"},
    {"P_BAIRRO", "Bairro"},
    {"P_CIDADE", "Cidade"},
    {"P_CEP", "CEP"},
    {"P_ESTADO", "Estado"},
};

bool IsTextField(int field) {
    return field != ID_CLIENTE && field != DATA_CRIACAO && field != HORA_CRIACAO && field != P_ESTADO;
}

// Position of each text field among a row's texts in the pool (-1 for the typed fields).
constexpr std::array<int, CustomerListFieldCount> TextSlots() {
    std::array<int, CustomerListFieldCount> table{};
    int next = 0;
    for (int f = 0; f < CustomerListFieldCount; ++f) {
        const bool text = f != ID_CLIENTE && f != DATA_CRIACAO && f != HORA_CRIACAO && f != P_ESTADO;
        table[f] = text ? next++ : -1;
    }
    return table;
}
constexpr std::array<int, CustomerListFieldCount> kTextSlot = TextSlots();

// Latin-1 byte to its lower-case byte, for searching without letter case.
const std::array<uchar, 256>& FoldTable() {
    static const std::array<uchar, 256> table = [] {
        std::array<uchar, 256> t{};
        for (int b = 0; b < 256; ++b) {
            const char16_t lower = QChar(char16_t(b)).toLower().unicode();
            t[b] = uchar(lower < 256 ? lower : b);
        }
        return t;
    }();
    return table;
}

QString TimeText(qint32 ms) {
    return QTime::fromMSecsSinceStartOfDay(ms).toString(QStringLiteral("HH:mm:ss"));
}

} // namespace

QString CustomerListFieldName(int field) {
    return field >= 0 && field < CustomerListFieldCount ? QString::fromLatin1(kColumns[field].field)
                                                        : QString();
}

QString CustomerListTitle(int field) {
    return field >= 0 && field < CustomerListFieldCount ? QString::fromUtf8(kColumns[field].title)
                                                        : QString();
}

int CustomerListFieldByName(const QString& name) {
    const QString wanted = name.trimmed();
    for (int f = 0; f < CustomerListFieldCount; ++f) {
        if (wanted.compare(QLatin1String(kColumns[f].field), Qt::CaseInsensitive) == 0)
            return f;
    }
    return -1;
}

QVector<int> ColumnsFromSetting(const QString& colunas) {
    QVector<int> columns;
    for (const QString& name : colunas.split(QLatin1Char(','))) {
        const int field = CustomerListFieldByName(name);
        if (field >= 0 && !columns.contains(field))
            columns << field;
    }
    return columns;
}

const QVector<SearchKey>& SearchKeys() {
    static const QVector<SearchKey> keys = {
        {QStringLiteral("Nome"), NOME},
        {QStringLiteral("Nº do Cliente"), ID_CLIENTE},
        {QStringLiteral("Endereço"), P_ENDERECO},
        {QStringLiteral("Código do Painel"), CODIGO_PAINEL},
        {QStringLiteral("Código do PC"), CODIGO_PC},
        {QStringLiteral("Bairro"), P_BAIRRO},
    };
    return keys;
}

int SearchFieldFromCaption(const QString& caption) {
    QString key = caption;
    key.remove(QStringLiteral("Localizar por "));
    key.remove(QLatin1Char('&'));
    for (const SearchKey& k : SearchKeys()) {
        if (k.caption == key)
            return k.field;
    }
    return NOME;
}

bool CustomerList::ReadRows(DbConnection& db, const QString& sql, const QVariantList& params,
                            QVector<Row>& rows, QByteArray& pool, QString* error, const ChunkHook& betweenChunks) {
    FbStatement query(db);
    if (!query.Prepare(sql) || !query.Execute(params)) {
        if (error)
            *error = query.LastError();
        return false;
    }
    if (query.Columns().size() != CustomerListFieldCount) {
        if (error)
            *error = MsgColumnCount(int(query.Columns().size()), CustomerListFieldCount);
        return false;
    }
    int inChunk = 0;
    while (query.Fetch()) {
        Row r{};
        r.text = quint32(pool.size());
        r.id = qint32(query.IntegerAt(ID_CLIENTE));
        r.state = qint32(query.IntegerAt(P_ESTADO));
        r.date = query.JulianDayAt(DATA_CRIACAO);
        r.time = query.MsecsOfDayAt(HORA_CRIACAO);
        for (int f = 0; f < CustomerListFieldCount; ++f) {
            if (query.IsNull(f))
                r.nulls |= 1u << f;
            if (kTextSlot[f] < 0)
                continue;
            const QByteArrayView bytes = query.TextAt(f);
            const qsizetype length = std::min<qsizetype>(bytes.size(), 255);
            pool.append(char(uchar(length)));
            pool.append(bytes.data(), length);
        }
        rows.append(r);
        if (++inChunk == kChunkRows) {
            inChunk = 0;
            if (betweenChunks)
                betweenChunks();
        }
    }
    if (!query.LastError().isEmpty()) {
        if (error)
            *error = query.LastError();
        return false;
    }
    return true;
}

bool CustomerList::Load(DbConnection& db, const QString& sql, const QVariantList& params, QString* error,
                        const ChunkHook& betweenChunks) {
    QVector<Row> rows;
    QByteArray pool;
    rows.reserve(1024);
    if (!ReadRows(db, sql, params, rows, pool, error, betweenChunks))
        return false;
    m_rows = std::move(rows);
    m_rows.squeeze();
    m_pool = std::move(pool);
    m_pool.squeeze();
    Unsort();
    return true;
}

bool CustomerList::Refresh(DbConnection& db, const QString& sql, const QVariantList& params, int id,
                           bool* present, QString* error) {
    QVector<Row> fresh;
    QVariantList withId = params;
    withId << id;
    const QString oneCustomer =
        sql +
        (sql.contains(QLatin1String(" where "), Qt::CaseInsensitive) ? QStringLiteral(" and ")
                                                                     : QStringLiteral(" where ")) +
        QStringLiteral("C.ID_CLIENTE = ?");
    if (!ReadRows(db, oneCustomer, withId, fresh, m_pool, error, {}))
        return false;
    int stored = -1;
    for (int i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].id == id) {
            stored = i;
            break;
        }
    }
    if (present)
        *present = !fresh.isEmpty();
    if (!fresh.isEmpty() && stored >= 0) {
        m_rows[stored] = fresh.first();
    } else if (!fresh.isEmpty()) {
        m_rows.append(fresh.first());
        m_order.append(int(m_rows.size()) - 1);
    } else if (stored >= 0) {
        m_rows.removeAt(stored);
        m_order.removeOne(stored);
        for (int& index : m_order) {
            if (index > stored)
                --index;
        }
    }
    return true;
}

void CustomerList::Clear() {
    m_rows.clear();
    m_order.clear();
    m_pool.clear();
}

QByteArrayView CustomerList::TextBytes(const Row& r, int field) const {
    const int slot = kTextSlot[field];
    const char* p = m_pool.constData() + r.text;
    for (int i = 0; i < slot; ++i)
        p += 1 + uchar(*p);
    return QByteArrayView(p + 1, uchar(*p));
}

int CustomerList::Id(int row) const {
    return row >= 0 && row < Count() ? RowAt(row).id : -1;
}

bool CustomerList::IsNull(int row, int field) const {
    return RowAt(row).nulls & (1u << field);
}

QVariant CustomerList::Value(int row, int field) const {
    if (row < 0 || row >= Count() || field < 0 || field >= CustomerListFieldCount)
        return {};
    const Row& r = RowAt(row);
    if (r.nulls & (1u << field))
        return {};
    switch (field) {
    case ID_CLIENTE:
        return r.id;
    case P_ESTADO:
        return r.state;
    case DATA_CRIACAO:
        return QDate::fromJulianDay(r.date);
    case HORA_CRIACAO:
        return QTime::fromMSecsSinceStartOfDay(r.time);
    default:
        return QString::fromLatin1(TextBytes(r, field));
    }
}

QString CustomerList::Text(int row, int field) const {
    if (row < 0 || row >= Count() || field < 0 || field >= CustomerListFieldCount)
        return {};
    const Row& r = RowAt(row);
    if (r.nulls & (1u << field))
        return {};
    switch (field) {
    case ID_CLIENTE:
        return QString::number(r.id);
    case P_ESTADO:
        return QString::number(r.state);
    case DATA_CRIACAO:
        return FormatDate(QDate::fromJulianDay(r.date));
    case HORA_CRIACAO:
        return TimeText(r.time);
    default:
        return QString::fromLatin1(TextBytes(r, field));
    }
}

QString CustomerList::DisplayText(int row, int field) const {
    if (field == PRODUTO) {
        const QString produto = Text(row, PRODUTO);
        const int code = ProductCodeOf(produto);
        // Only a one-digit code names a model on the list.
        if (produto.trimmed().size() != 1)
            return {};
        return ModelName(ModelOf(code, Text(row, VERSAO_PRODUTO)));
    }
    if (field == P_ESTADO)
        return IsNull(row, P_ESTADO) ? QString() : StateName(RowAt(row).state);
    return Text(row, field);
}

int CustomerList::RowOfId(int id) const {
    for (int i = 0; i < Count(); ++i) {
        if (RowAt(i).id == id)
            return i;
    }
    return -1;
}

bool CustomerList::Less(const Row& a, const Row& b, int field) const {
    switch (field) {
    case ID_CLIENTE:
        return a.id < b.id;
    case P_ESTADO:
        return a.state < b.state;
    case DATA_CRIACAO:
        return a.date < b.date;
    case HORA_CRIACAO:
        return a.time < b.time;
    default: {
        const QByteArrayView x = TextBytes(a, field);
        const QByteArrayView y = TextBytes(b, field);
        const int n = std::min(x.size(), y.size());
        const int c = n ? memcmp(x.data(), y.data(), size_t(n)) : 0;
        return c != 0 ? c < 0 : x.size() < y.size();
    }
    }
}

void CustomerList::Sort(int field, bool descending) {
    if (field < 0 || field >= CustomerListFieldCount)
        return;
    const quint32 bit = 1u << field;
    std::stable_sort(m_order.begin(), m_order.end(), [&](int ia, int ib) {
        const Row& a = m_rows[ia];
        const Row& b = m_rows[ib];
        const bool na = a.nulls & bit;
        const bool nb = b.nulls & bit;
        if (na || nb) // missing values first ascending, last descending
            return descending ? (!na && nb) : (na && !nb);
        return descending ? Less(b, a, field) : Less(a, b, field);
    });
}

void CustomerList::Unsort() {
    m_order.resize(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i)
        m_order[i] = i;
}

int CustomerList::Find(int field, const QString& text, int from) const {
    if (field < 0 || field >= CustomerListFieldCount || text.isEmpty())
        return -1;
    const auto& fold = FoldTable();
    QByteArray wanted;
    wanted.reserve(text.size());
    for (QChar c : text) {
        const char16_t lower = c.toLower().unicode();
        if (lower > 255)
            return -1;
        wanted.append(char(lower));
    }
    const int n = int(wanted.size());
    const uchar* w = reinterpret_cast<const uchar*>(wanted.constData());
    auto startsWith = [&](QByteArrayView bytes) {
        if (bytes.size() < n)
            return false;
        const uchar* p = reinterpret_cast<const uchar*>(bytes.data());
        for (int i = 0; i < n; ++i) {
            if (fold[p[i]] != w[i])
                return false;
        }
        return true;
    };
    char digits[16];
    for (int i = std::max(0, from); i < Count(); ++i) {
        const Row& r = RowAt(i);
        if (r.nulls & (1u << field))
            continue;
        if (IsTextField(field)) {
            if (startsWith(TextBytes(r, field)))
                return i;
        } else if (field == ID_CLIENTE || field == P_ESTADO) {
            const int len = snprintf(digits, sizeof digits, "%d", field == ID_CLIENTE ? r.id : r.state);
            if (startsWith(QByteArrayView(digits, len)))
                return i;
        } else if (startsWith(Text(i, field).toLatin1())) {
            return i;
        }
    }
    return -1;
}

qint64 CustomerList::MemoryBytes() const {
    return qint64(m_rows.capacity()) * qint64(sizeof(Row)) +
           qint64(m_order.capacity()) * qint64(sizeof(int)) + m_pool.capacity();
}
