#include "programming/ui/frm_salvar_programacao.h"

#include "base/app_paths.h"
#include "base/app_title.h"
#include "base/operator_messages.h"
#include "base/settings.h"
#include "base/whole_file.h"
#include "programming/factory_programming.h"
#include "programming/template_file.h"
#include "widgets/help.h"
#include "widgets/input_rules.h"
#include "workspace/customer_record.h"

#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

const QString kMsgSubstituir = QStringLiteral("Já existe um arquivo com este nome.\rDeseja substituí-lo?");

QString TemplateProblem(const QString& path, const TemplateFile& file, int imageSize) {
    const QString name = QDir::toNativeSeparators(path);
    if (file.status == TemplateStatus::Unreadable || file.status == TemplateStatus::Missing)
        return QStringLiteral("Não foi possível abrir o arquivo %1.\r%2").arg(name, file.error);
    return QStringLiteral("O arquivo %1 não contém uma programação deste painel (%2 bytes).")
        .arg(name)
        .arg(imageSize);
}

} // namespace

TfrmSalvarProgramacao::TfrmSalvarProgramacao(CustomerRecord& record, Settings& settings,
                                             const QString& settingsPath, QWidget* parent)
    : QDialog(parent), m_record(record), m_settings(settings), m_settingsPath(settingsPath) {
    setObjectName(QStringLiteral("frmSalvarProgramacao"));
    setWindowTitle(ApplicationTitle());
    SetHelpTopic(this, 37);
    auto* root = new QVBoxLayout(this);

    auto* padrao = new QGroupBox(QStringLiteral("Definir como padrão"));
    auto* p = new QVBoxLayout(padrao);
    auto* defaultRow = new QHBoxLayout;
    defaultRow->addWidget(new QLabel(QStringLiteral("Arquivo padrão:")));
    lblArquivoPadrao = new QLabel;
    lblArquivoPadrao->setObjectName(QStringLiteral("lblArquivoPadrao"));
    defaultRow->addWidget(lblArquivoPadrao, 1);
    p->addLayout(defaultRow);
    lstArquivos = new QListWidget;
    lstArquivos->setObjectName(QStringLiteral("lstArquivos"));
    p->addWidget(lstArquivos);
    auto* buttons = new QHBoxLayout;
    btnCarregar = new QPushButton(QStringLiteral("Carregar"));
    btnCarregar->setObjectName(QStringLiteral("btnCarregar"));
    btnCarregar->setToolTip(
        QStringLiteral("Carrega os dados do arquivo escolhido para a folha de programação"));
    btnDefinirPadrao = new QPushButton(QStringLiteral("Definir como padrão"));
    btnDefinirPadrao->setObjectName(QStringLiteral("btnDefinirPadrao"));
    btnDefinirPadrao->setToolTip(QStringLiteral(
        "Define o arquivo escolhido como padrão. Desta forma, quando um novo usuário for criado, a "
        "configuração definida como padrão é a que será carregada."));
    buttons->addWidget(btnCarregar);
    buttons->addWidget(btnDefinirPadrao);
    p->addLayout(buttons);
    root->addWidget(padrao);

    auto* salvar = new QGroupBox(QStringLiteral("Salvar programação atual"));
    auto* s = new QHBoxLayout(salvar);
    s->addWidget(new QLabel(QStringLiteral("Nome:")));
    edtNome = new QLineEdit;
    edtNome->setObjectName(QStringLiteral("edtNome"));
    edtNome->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[A-Za-z0-9 _-]*")), edtNome));
    s->addWidget(edtNome, 1);
    btnSalvar = new QPushButton(QStringLiteral("Salvar"));
    btnSalvar->setObjectName(QStringLiteral("btnSalvar"));
    s->addWidget(btnSalvar);
    root->addWidget(salvar);

    auto* versao = new QGroupBox(QStringLiteral("Alterar versão do painel"));
    auto* v = new QHBoxLayout(versao);
    cmbVersao = new QComboBox;
    cmbVersao->setObjectName(QStringLiteral("cmbVersao"));
    for (const QString& version : OfferedVersions(record.ProductCode()))
        cmbVersao->addItem(QStringLiteral("Versão ") + version);
    // The stored version is the one shown: "Fechar" alone keeps it. A version the list lacks shows
    // the newest.
    const int stored = cmbVersao->findText(QStringLiteral("Versão ") + record.StoredVersion());
    cmbVersao->setCurrentIndex(stored >= 0 ? stored : cmbVersao->count() - 1);
    v->addWidget(cmbVersao);
    root->addWidget(versao);

    btnFechar = new QPushButton(QStringLiteral("Fechar"));
    btnFechar->setObjectName(QStringLiteral("btnFechar"));
    root->addWidget(btnFechar, 0, Qt::AlignRight);
    for (QPushButton* b : {btnCarregar, btnDefinirPadrao, btnSalvar, btnFechar})
        b->setAutoDefault(false);

    connect(lstArquivos, &QListWidget::itemSelectionChanged, this, [this] {
        const bool chosen = !lstArquivos->selectedItems().isEmpty();
        btnCarregar->setEnabled(chosen);
        btnDefinirPadrao->setEnabled(chosen);
    });
    connect(edtNome, &QLineEdit::textChanged, this,
            [this](const QString& text) { btnSalvar->setEnabled(!text.isEmpty()); });
    connect(btnCarregar, &QPushButton::clicked, this, &TfrmSalvarProgramacao::btnCarregarClick);
    connect(btnDefinirPadrao, &QPushButton::clicked, this, &TfrmSalvarProgramacao::btnDefinirPadraoClick);
    connect(btnSalvar, &QPushButton::clicked, this, &TfrmSalvarProgramacao::btnSalvarClick);
    connect(btnFechar, &QPushButton::clicked, this, &TfrmSalvarProgramacao::btnFecharClick);
    connect(edtNome, &QLineEdit::returnPressed, this, [this] { focusNextChild(); });
    btnSalvar->setEnabled(false);
    ShowDefault();
    FillFileList();
}

void TfrmSalvarProgramacao::Tell(const QString& text) {
    OperatorMessages::Tell(this, text, MessageIcon::Warning);
}

QString TfrmSalvarProgramacao::TemplateFolder() const {
    return ApplicationPath(QStringLiteral("Templates/") + ::TemplateFolder(m_record.ProductCode()));
}

void TfrmSalvarProgramacao::ShowDefault() {
    lblArquivoPadrao->setText(
        QFileInfo(QDir::fromNativeSeparators(DefaultTemplatePath(m_settings, m_record.ProductCode())))
            .fileName());
}

void TfrmSalvarProgramacao::FillFileList() {
    lstArquivos->clear();
    QStringList names = QDir(TemplateFolder()).entryList({QStringLiteral("*.zrv")}, QDir::Files, QDir::Name);
    lstArquivos->addItems(names);
    lstArquivos->setCurrentRow(-1);
    btnCarregar->setEnabled(false);
    btnDefinirPadrao->setEnabled(false);
}

void TfrmSalvarProgramacao::btnCarregarClick() {
    const QList<QListWidgetItem*> selected = lstArquivos->selectedItems();
    if (selected.isEmpty())
        return;
    QListWidgetItem* item = selected.first();
    // The file listed is the file loaded: the list shows the model's template folder.
    const QString path = QDir(TemplateFolder()).filePath(item->text());
    ProgrammingImages& images = m_record.Images();
    const TemplateFile file = ReadTemplateFile(path, images.family());
    if (file.status != TemplateStatus::Loaded) {
        // A file that cannot fill the image changes nothing.
        Tell(TemplateProblem(path, file, images.ImagemPC.size()));
        return;
    }
    m_record.LoadTemplateImage(file.image);
    Q_EMIT TemplateLoaded();
}

void TfrmSalvarProgramacao::btnDefinirPadraoClick() {
    const QList<QListWidgetItem*> selected = lstArquivos->selectedItems();
    if (selected.isEmpty())
        return;
    QListWidgetItem* item = selected.first();
    const QString path = QDir(TemplateFolder()).filePath(item->text());
    const int product = m_record.ProductCode();
    if (product == 1)
        m_settings.ProgDefault10 = path;
    else if (product == 2)
        m_settings.ProgDefault5 = path;
    else
        m_settings.ProgDefault10Eco = path;
    QString error;
    if (!m_settingsPath.isEmpty() &&
        !WriteConfigKeys(m_settingsPath, m_settings, {DefaultTemplateKey(product)}, &error))
        Tell(error);
    ShowDefault();
}

void TfrmSalvarProgramacao::btnSalvarClick() {
    if (edtNome->text().isEmpty())
        return;
    QDir().mkpath(TemplateFolder());
    const QString path = QDir(TemplateFolder()).filePath(edtNome->text() + QStringLiteral(".zrv"));
    if (QFileInfo::exists(path) &&
        OperatorMessages::Ask(this, kMsgSubstituir, OperatorButtons::YesNo, true) != OperatorAnswer::Yes)
        return;
    // The whole file is replaced, exactly the image: a template of any other size is refused
    // when it is read back.
    QString error;
    if (!WriteWholeFile(path, m_record.Images().ImagemPC.bytes(), &error)) {
        Tell(error);
        return;
    }
    edtNome->clear();
    FillFileList();
}

void TfrmSalvarProgramacao::btnFecharClick() {
    const QString entry = cmbVersao->currentText();
    const QString version = entry.mid(entry.indexOf(QLatin1Char(' ')) + 1);
    if (!version.isEmpty() && !entry.isEmpty()) {
        m_record.StoreVersaoProduto(version);
        Q_EMIT VersionChosen();
    }
    accept();
}
