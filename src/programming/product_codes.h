#pragma once

#include <QString>
#include <QStringList>

// Panel models, product codes and versions.
//
// A customer's model is told by CLIENTES.PRODUTO (a decimal digit text) and, for product code 3,
// by CLIENTES.VERSAO_PRODUTO. A panel tells its product code as a byte in its identification
// answer; the link keeps the code of the panel last identified or chosen in `ConnectedProduct`,
// where 255 means none. Everything here is a plain function of those values so that the data
// module and the link can wrap them around their own state.

// `ConnectedProduct` when no panel was identified or chosen.
inline constexpr int kNoConnectedProduct = 255;

enum class ProductModel { None, Orvan10, Orvan5, Orvan10Max, Orvan10Eco, Orvan9Max };

enum class ProductFamily {
    None,
    TenZone, // product codes 1, 3 and 4: 19 programming blocks
    FiveZone // product code 2: 16 programming blocks
};

// The product code held in a PRODUTO text: its whole (trimmed) decimal value, or -1 when the
// text is not a number. "0" gives 0 (model not identified yet); values outside 1..4 name no model.
int ProductCodeOf(const QString& produto);

// The model for a product code and a version text ("M.m"): code 3 is the Orvan 10 Max with
// version "1.3" and the Orvan 10 Eco with any other version; codes outside 1..4 give None.
ProductModel ModelOf(int productCode, const QString& version);
ProductModel ModelOf(const QString& produto, const QString& versaoProduto);

// "Orvan 10", "Orvan 5", "Orvan 10 Max", "Orvan 10 Eco", "Orvan 9 Max"; empty for None.
QString ModelName(ProductModel model);
// The upper-case form ("ORVAN 10 MAX") some screens and reports print.
QString ModelNameUpper(ProductModel model);

ProductFamily FamilyOf(int productCode);
bool IsTenZoneFamily(int productCode);

// Number of 16-byte programming blocks of the family (19 or 16; 0 for no family).
int ProgrammingBlockCount(ProductFamily family);

// Folder under "Templates" holding the model's programming templates: "Orvan10", "Orvan5" or
// "Orvan10Eco" (codes 3 and 4); empty for other codes.
QString TemplateFolder(int productCode);

// Versions the template dialog offers for a product code ("1.0" up to the newest).
QStringList OfferedVersions(int productCode);

// Version a new customer of the model starts with.
QString NewCustomerVersion(ProductModel model);

// The product code a model is stored with.
int ProductCodeOf(ProductModel model);

// Product predicates. Each answers true when `connectedProduct` equals its code, and otherwise
// whether the first character of `produto` (the current customer's PRODUTO) is the code's digit.
// A stored customer whose panel has not been identified since start is thus judged by PRODUTO, and
// an identified panel by its own product byte as well. Callers without a link pass
// kNoConnectedProduct so that PRODUTO alone decides.
bool IsOrvan10(int connectedProduct, const QString& produto);
bool IsOrvan5(int connectedProduct, const QString& produto);
bool IsProduct3(int connectedProduct, const QString& produto);
bool IsOrvan9Max(int connectedProduct, const QString& produto);
bool IsProduct3Or4(int connectedProduct, const QString& produto);
