#include "programming/product_codes.h"

namespace {

struct ModelRow {
    ProductModel model;
    int code;
    const char* name;
    const char* upperName;
    const char* newCustomerVersion;
};

// Each model with its product code, its names and the version a new customer of it starts with.
// Product code 3 covers two models told apart by the stored version (kMaxVersion).
constexpr ModelRow kModels[] = {
    {ProductModel::Orvan10, 1, "Orvan 10", "ORVAN 10", "1.4"},
    {ProductModel::Orvan5, 2, "Orvan 5", "ORVAN 5", "1.4"},
    {ProductModel::Orvan10Max, 3, "Orvan 10 Max", "ORVAN 10 MAX", "1.3"},
    {ProductModel::Orvan10Eco, 3, "Orvan 10 Eco", "ORVAN 10 ECO", "1.2"},
    {ProductModel::Orvan9Max, 4, "Orvan 9 Max", "ORVAN 9 MAX", "1.0"},
};

// The stored version that makes product code 3 an Orvan 10 Max.
constexpr const char* kMaxVersion = "1.3";

struct CodeRow {
    int code;
    ProductFamily family;
    const char* templateFolder;
    int newestMinorVersion; // versions "1.0" .. "1.<n>" offered by the template dialog
};

constexpr CodeRow kCodes[] = {
    {1, ProductFamily::TenZone, "Orvan10", 4},
    {2, ProductFamily::FiveZone, "Orvan5", 5},
    {3, ProductFamily::TenZone, "Orvan10Eco", 3},
    {4, ProductFamily::TenZone, "Orvan10Eco", 0},
};

const CodeRow* codeRow(int code) {
    for (const CodeRow& row : kCodes)
        if (row.code == code)
            return &row;
    return nullptr;
}

const ModelRow* modelRow(ProductModel model) {
    for (const ModelRow& row : kModels)
        if (row.model == model)
            return &row;
    return nullptr;
}

bool judgedAs(int code, int connectedProduct, const QString& produto) {
    return connectedProduct == code || (!produto.isEmpty() && produto.at(0) == QChar(u'0' + code));
}

} // namespace

int ProductCodeOf(const QString& produto) {
    bool ok = false;
    const int code = produto.trimmed().toInt(&ok);
    return ok ? code : -1;
}

ProductModel ModelOf(int productCode, const QString& version) {
    switch (productCode) {
    case 1:
        return ProductModel::Orvan10;
    case 2:
        return ProductModel::Orvan5;
    case 3:
        return version.trimmed() == QLatin1String(kMaxVersion) ? ProductModel::Orvan10Max
                                                               : ProductModel::Orvan10Eco;
    case 4:
        return ProductModel::Orvan9Max;
    default:
        return ProductModel::None;
    }
}

ProductModel ModelOf(const QString& produto, const QString& versaoProduto) {
    return ModelOf(ProductCodeOf(produto), versaoProduto);
}

QString ModelName(ProductModel model) {
    const ModelRow* row = modelRow(model);
    return row ? QString::fromLatin1(row->name) : QString();
}

QString ModelNameUpper(ProductModel model) {
    const ModelRow* row = modelRow(model);
    return row ? QString::fromLatin1(row->upperName) : QString();
}

ProductFamily FamilyOf(int productCode) {
    const CodeRow* row = codeRow(productCode);
    return row ? row->family : ProductFamily::None;
}

bool IsTenZoneFamily(int productCode) {
    return FamilyOf(productCode) == ProductFamily::TenZone;
}

int ProgrammingBlockCount(ProductFamily family) {
    switch (family) {
    case ProductFamily::TenZone:
        return 19;
    case ProductFamily::FiveZone:
        return 16;
    case ProductFamily::None:
        break;
    }
    return 0;
}

QString TemplateFolder(int productCode) {
    const CodeRow* row = codeRow(productCode);
    return row ? QString::fromLatin1(row->templateFolder) : QString();
}

QStringList OfferedVersions(int productCode) {
    QStringList versions;
    if (const CodeRow* row = codeRow(productCode))
        for (int minor = 0; minor <= row->newestMinorVersion; ++minor)
            versions.append(QStringLiteral("1.%1").arg(minor));
    return versions;
}

QString NewCustomerVersion(ProductModel model) {
    const ModelRow* row = modelRow(model);
    return row ? QString::fromLatin1(row->newCustomerVersion) : QString();
}

int ProductCodeOf(ProductModel model) {
    const ModelRow* row = modelRow(model);
    return row ? row->code : 0;
}

bool IsOrvan10(int connectedProduct, const QString& produto) {
    return judgedAs(1, connectedProduct, produto);
}

bool IsOrvan5(int connectedProduct, const QString& produto) {
    return judgedAs(2, connectedProduct, produto);
}

bool IsProduct3(int connectedProduct, const QString& produto) {
    return judgedAs(3, connectedProduct, produto);
}

bool IsOrvan9Max(int connectedProduct, const QString& produto) {
    return judgedAs(4, connectedProduct, produto);
}

bool IsProduct3Or4(int connectedProduct, const QString& produto) {
    return IsProduct3(connectedProduct, produto) || IsOrvan9Max(connectedProduct, produto);
}
