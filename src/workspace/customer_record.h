#pragma once

#include "programming/factory_programming.h"
#include "programming/panel_codes.h"
#include "programming/programming_images.h"

#include <QDateTime>
#include <QList>
#include <QString>
#include <QVariant>

#include <memory>

class DataSet;
class TdmBancoDeDados;
struct Settings;

// What a new customer starts with besides its model: the general options' defaults and the
// model's default template (Settings gives all of them, see FromSettings).
struct NewCustomerDefaults {
    QString cidade;              // "Cidade_Default": CIDADE and P_CIDADE when not empty
    int estado = -1;             // "Estado_Default": ESTADO and P_ESTADO when above 0
    QString cep;                 // "CEP_Default": CEP and P_CEP when not empty
    QString defaultTemplatePath; // the model's default programming template
    QDateTime now;               // creation date and time (the current time when invalid)

    static NewCustomerDefaults FromSettings(const Settings& settings, int productCode);
};

// One open customer: the customer aggregate (one CLIENTES row, its PAINEL row and the six
// programming rows FONES, REPORT, TEMPOS, USUARIOS, ZONAS and OPCOES, all in the data module's
// sets) and the two programming images of its model. The customer record screen and the
// programming editors are views over it; it holds no widgets and runs no dialogs.
//
// The data module's customer sets are pointed at this one customer while the record is open
// (parameterised selects by ID_CLIENTE and by the panel's ID_PAINEL) and get their previous
// selects back when it closes.
//
// Storage: opening fills `ImagemPC` from the rows (the seven-table mapping of
// programming_storage.h); saving writes the image into every programming row that is being edited
// or inserted (all six when the programming changed) and posts the whole aggregate in one
// transaction through TdmBancoDeDados::PostCustomer, so a failure leaves nothing half-written.
class CustomerRecord {
public:
    explicit CustomerRecord(TdmBancoDeDados& dm);
    ~CustomerRecord();
    CustomerRecord(const CustomerRecord&) = delete;
    CustomerRecord& operator=(const CustomerRecord&) = delete;

    // Opens the stored customer `idCliente` and loads its programming into `ImagemPC`. The model
    // comes from PRODUTO (or from `connectedProduct` when PRODUTO is null), the stored version from
    // VERSAO_PRODUTO ("1.0" when null). A customer without its PAINEL row gets a new one to fill
    // in. False with LastError() when the customer does not exist or a set cannot be opened.
    bool OpenExisting(int idCliente, int connectedProduct = kNoConnectedProduct);

    // Starts a new customer of `productCode` (1..4) at `storedVersion`: a new row in each of the
    // eight sets, PRODUTO, the "Default" group (group 1 when there is none), creation date and
    // time, the codes "6093", the city, state and postal-code defaults, and the factory programming
    // of the model (the default template when its file holds an image, else the built-in values,
    // which on the 10-zone family also switch the answering-machine bypass off).
    bool BeginNew(int productCode, const QString& storedVersion, const NewCustomerDefaults& defaults);

    bool IsOpen() const { return m_open; }
    // The customer row has not been saved yet.
    bool IsNew() const;
    // ID_CLIENTE, 0 while a new customer is unsaved.
    int CustomerId() const;
    int ProductCode() const { return m_productCode; }
    QString StoredVersion() const { return m_storedVersion; }
    // The version saved into VERSAO_PRODUTO (the template dialog and the link's version check
    // change it).
    void SetStoredVersion(const QString& version) { m_storedVersion = version; }

    TdmBancoDeDados& DataModule() const { return m_dm; }

    // --- what a connection to the customer's panel reads and stores ---
    // FONE_PAINEL, CODIGO_PAINEL and CODIGO_PC of the panel row as they are now (edits included).
    QString FonePainel() const;
    QString CodigoPainel() const;
    QString CodigoPC() const;
    // ENGANA_SECRETARIA is "1".
    bool EnganaSecretaria() const;
    // CLIENTES.PRODUTO as stored: a null text when the column is null.
    QString Produto() const;
    // The version the link read from the panel: the stored version and VERSAO_PRODUTO of the
    // customer row (put into edit state).
    void StoreVersaoProduto(const QString& version);

    ProgrammingImages& Images() { return *m_images; }
    const ProgrammingImages& Images() const { return *m_images; }

    // The editor's flags: the programming was changed and not yet saved (`ProgramacaoAlterada`);
    // the editor is filling its controls from an image, so nothing may be written back
    // (`LoadingFromImage`).
    bool ProgramacaoAlterada = false;
    bool LoadingFromImage = false;

    // How the factory programming of a new customer was made (the template's read status and any
    // error reading or rewriting it).
    const FactoryProgramming* Factory() const { return m_factory.get(); }

    // --- panel and PC codes ---
    // A change of the panel or PC code field: copied at once into `ImagemPC` (bytes 112..113 or
    // 114..115), unless the editor is loading.
    void CopyPanelCodeToImage(const QString& text);
    void CopyPcCodeToImage(const QString& text);
    // A programming template loaded into `ImagemPC`: the whole image becomes the template's, except
    // the panel and PC codes, which stay the customer's (a template's codes written into the panel
    // would lock the program out at the next connection). Marks the programming changed.
    void LoadTemplateImage(const QByteArray& image);
    // Whether saving must check the panel code for repeats: for a new panel row, and for a stored
    // one whose code was changed.
    bool PanelCodeNeedsRepeatCheck() const;
    // Number of other panels whose CODIGO_PAINEL equals `code` (this customer's own stored row is
    // not counted); -1 when the query fails.
    int CountOtherPanelsWithCode(const QString& code);

    // --- saving and leaving ---
    // Writes the programming image into the programming rows and posts the aggregate in one
    // transaction (VERSAO_PRODUTO from the stored version). Nothing to do answers true. On failure
    // nothing is written and the sets keep their pending changes for another try.
    bool Save(QString* error = nullptr);
    // Drops the pending changes of the aggregate: cancels the sets' buffers, rolls the transaction
    // back and clears ProgramacaoAlterada.
    void Discard();
    // Closes the database sets and gives the customer sets their previous selects back.
    void Close();

    QString LastError() const { return m_lastError; }

    // The data module's customer sets in saving order (CLIENTES, PAINEL, FONES, REPORT, TEMPOS,
    // USUARIOS, ZONAS, OPCOES) and the table each programming set holds.
    QList<DataSet*> ProgrammingSets() const;
    static ProgrammingTable TableOf(int programmingSetIndex);

private:
    struct SavedSelect {
        DataSet* set;
        QString sql;
        QVariantList params;
    };

    bool Fail(const QString& error);
    void PointSetsAt(const QVariant& idCliente, const QVariant& idPainel);
    bool OpenProgrammingSetsAndRest();
    void LoadImageFromRows();
    bool WriteImageIntoRows();
    QVariant DefaultGroupId();

    TdmBancoDeDados& m_dm;
    bool m_open = false;
    int m_productCode = 1;
    QString m_storedVersion;
    QString m_storedPanelCode; // CODIGO_PAINEL as stored, for the repeat check of a changed code
    std::unique_ptr<ProgrammingImages> m_images;
    std::unique_ptr<FactoryProgramming> m_factory;
    QList<SavedSelect> m_savedSelects;
    QString m_lastError;
};
