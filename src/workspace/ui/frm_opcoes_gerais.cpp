#include "workspace/ui/frm_opcoes_gerais.h"

#include "base/app_title.h"
#include "base/operator_messages.h"
#include "printing/print_header.h"
#include "store/schema_tables.h"
#include "widgets/dialog_parts.h"
#include "widgets/help.h"
#include "workspace/general_options.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QImageReader>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

namespace {

const QString kBold = QStringLiteral("fsBold");
const QString kItalic = QStringLiteral("fsItalic");
const QString kUnderline = QStringLiteral("fsUnderline");

QString LogoNotFound(const QString& path) {
    return QStringLiteral("O arquivo ") + QDir::toNativeSeparators(path) +
           QStringLiteral(" não pôde ser encontrado.\r") +
           QStringLiteral("Clique no botão \"Alterar imagem ...\" para definir um novo logotipo");
}

QString NotAPicture(const QString& path) {
    return QStringLiteral("O arquivo ") + QDir::toNativeSeparators(path) +
           QStringLiteral(" não é uma imagem que possa ser usada como logotipo.");
}

QString LogoTarget(const QString& pathBD) {
    return QDir(pathBD).filePath(QStringLiteral("Templates/LogoImpressao.jpg"));
}

} // namespace

QString StockPicture(const QString& pathBD, const QString& name) {
    const QString path = QDir(pathBD).filePath(QStringLiteral("Templates/") + name);
    if (QFileInfo::exists(path))
        return path;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QImage picture(320, 120, QImage::Format_RGB32);
    picture.fill(Qt::white);
    if (name == QLatin1String("LogoZrv.jpg")) {
        QPainter painter(&picture);
        QFont font = painter.font();
        font.setPixelSize(56);
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(QColor(0x1f, 0x4e, 0x8c));
        painter.drawText(picture.rect(), Qt::AlignCenter, QStringLiteral("Telvora"));
    }
    picture.save(path, "JPG"); // a folder that cannot be written leaves the file missing: told on load
    return path;
}

void EnsureStockPictures(const QString& pathBD) {
    StockPicture(pathBD, QStringLiteral("Blank.jpg"));
    const QString logo = StockPicture(pathBD, QStringLiteral("LogoZrv.jpg"));
    const QString printLogo = LogoTarget(pathBD);
    if (!QFileInfo::exists(printLogo))
        QFile::copy(logo, printLogo);
}

TfrmOpcoesGerais::TfrmOpcoesGerais(const Settings& settings, const QString& settingsPath, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_settingsPath(settingsPath) {
    setObjectName(QStringLiteral("frmOpcoesGerais"));
    setWindowTitle(ApplicationTitle());
    SetHelpTopic(this, 9);

    // New customers.
    edtCidade = Named(new QLineEdit(this), "edtCidade");
    edtCidade->setMaxLength(50);
    cmbEstado = Named(new QComboBox(this), "cmbEstado");
    cmbEstado->addItems(StateNames());
    edtCEP = Named(new QLineEdit(this), "edtCEP");
    edtCEP->setMaxLength(9);
    edtCEP->setValidator(
        new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9-]*")), edtCEP));
    for (QWidget* field :
         {static_cast<QWidget*>(edtCidade), static_cast<QWidget*>(cmbEstado), static_cast<QWidget*>(edtCEP)})
        field->installEventFilter(this);
    auto* customer = new QGroupBox(QStringLiteral("Valores iniciais de um novo cliente"), this);
    auto* customerForm = new QFormLayout(customer);
    customerForm->addRow(QStringLiteral("Cidade:"), edtCidade);
    customerForm->addRow(QStringLiteral("Estado:"), cmbEstado);
    customerForm->addRow(QStringLiteral("CEP:"), edtCEP);

    // Print header.
    edtLinha1 = Named(new QLineEdit(this), "edtLinha1");
    edtLinha2 = Named(new QLineEdit(this), "edtLinha2");
    chkNegrito1 = Named(new QCheckBox(QStringLiteral("Negrito"), this), "chkNegrito1");
    chkItalico1 = Named(new QCheckBox(QStringLiteral("Itálico"), this), "chkItalico1");
    chkSublinhado1 = Named(new QCheckBox(QStringLiteral("Sublinhado"), this), "chkSublinhado1");
    chkNegrito2 = Named(new QCheckBox(QStringLiteral("Negrito"), this), "chkNegrito2");
    chkItalico2 = Named(new QCheckBox(QStringLiteral("Itálico"), this), "chkItalico2");
    chkSublinhado2 = Named(new QCheckBox(QStringLiteral("Sublinhado"), this), "chkSublinhado2");
    lblAmostra1 = Named(new QLabel(this), "lblAmostra1");
    lblAmostra2 = Named(new QLabel(this), "lblAmostra2");
    imgLogo = Named(new QLabel(this), "imgLogo");
    imgLogo->setFixedSize(240, 90);
    imgLogo->setAlignment(Qt::AlignCenter);
    imgLogo->setFrameShape(QFrame::StyledPanel);
    btnAlterarImagem = DialogButton(QStringLiteral("Alterar &imagem ..."), "btnAlterarImagem");
    btnLimpar = DialogButton(QStringLiteral("&Limpar"), "btnLimpar");
    btnLogoZrv = DialogButton(QStringLiteral("Logo ZRV"), "btnLogoZrv");
    auto* header = new QGroupBox(QStringLiteral("Cabeçalho da impressão"), this);
    auto* headerGrid = new QGridLayout(header);
    headerGrid->addWidget(new QLabel(QStringLiteral("Título:"), header), 0, 0);
    headerGrid->addWidget(edtLinha1, 0, 1, 1, 3);
    headerGrid->addWidget(chkNegrito1, 1, 1);
    headerGrid->addWidget(chkItalico1, 1, 2);
    headerGrid->addWidget(chkSublinhado1, 1, 3);
    headerGrid->addWidget(lblAmostra1, 2, 1, 1, 3);
    headerGrid->addWidget(new QLabel(QStringLiteral("Subtítulo:"), header), 3, 0);
    headerGrid->addWidget(edtLinha2, 3, 1, 1, 3);
    headerGrid->addWidget(chkNegrito2, 4, 1);
    headerGrid->addWidget(chkItalico2, 4, 2);
    headerGrid->addWidget(chkSublinhado2, 4, 3);
    headerGrid->addWidget(lblAmostra2, 5, 1, 1, 3);
    headerGrid->addWidget(new QLabel(QStringLiteral("Logotipo:"), header), 6, 0);
    headerGrid->addWidget(imgLogo, 6, 1, 1, 2);
    auto* logoButtons = new QVBoxLayout;
    logoButtons->addWidget(btnAlterarImagem);
    logoButtons->addWidget(btnLimpar);
    logoButtons->addWidget(btnLogoZrv);
    logoButtons->addStretch();
    headerGrid->addLayout(logoButtons, 6, 3);

    // Repeat rule and backup.
    rbNaoPermitir = Named(new QRadioButton(QStringLiteral("Não permitir"), this), "rbNaoPermitir");
    rbAvisar =
        Named(new QRadioButton(QStringLiteral("Permitir, porém avisar que é repetido"), this), "rbAvisar");
    rbPermitir = Named(new QRadioButton(QStringLiteral("Permitir"), this), "rbPermitir");
    auto* rules = new QButtonGroup(this);
    rules->addButton(rbNaoPermitir, 1);
    rules->addButton(rbAvisar, 2);
    rules->addButton(rbPermitir, 3);
    auto* repeat = new QGroupBox(QStringLiteral("Código do painel repetido"), this);
    auto* repeatLayout = new QVBoxLayout(repeat);
    for (QRadioButton* rb : {rbNaoPermitir, rbAvisar, rbPermitir})
        repeatLayout->addWidget(rb);
    chkBackup =
        Named(new QCheckBox(QStringLiteral("Fazer backup quando sair do software"), this), "chkBackup");

    btnOk = DialogButton(QStringLiteral("&OK"), "btnOk");
    btnOk->setDefault(true);
    btnCancelar = DialogButton(QStringLiteral("&Cancelar"), "btnCancelar");
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(btnOk);
    buttons->addWidget(btnCancelar);

    auto* left = new QVBoxLayout;
    left->addWidget(repeat);
    left->addWidget(customer);
    left->addWidget(chkBackup);
    left->addStretch();
    auto* columns = new QHBoxLayout;
    columns->addLayout(left);
    columns->addWidget(header);
    auto* root = new QVBoxLayout(this);
    root->addLayout(columns);
    root->addLayout(buttons);

    m_choosePicture = [this] {
        return QFileDialog::getOpenFileName(this, QStringLiteral("Logotipo"), QString(),
                                            QStringLiteral("Imagens (*.jpg *.jpeg *.png *.bmp *.gif)"));
    };
    Fill();

    auto style = [this](QCheckBox* box, QString& styles, QLabel* sample, const QString& word) {
        connect(box, &QCheckBox::toggled, this,
                [this, &styles, sample, word](bool on) { ChooseStyle(styles, sample, word, on); });
    };
    style(chkNegrito1, m_style1, lblAmostra1, kBold);
    style(chkItalico1, m_style1, lblAmostra1, kItalic);
    style(chkSublinhado1, m_style1, lblAmostra1, kUnderline);
    style(chkNegrito2, m_style2, lblAmostra2, kBold);
    style(chkItalico2, m_style2, lblAmostra2, kItalic);
    style(chkSublinhado2, m_style2, lblAmostra2, kUnderline);
    connect(edtLinha1, &QLineEdit::textChanged, lblAmostra1, &QLabel::setText);
    connect(edtLinha2, &QLineEdit::textChanged, lblAmostra2, &QLabel::setText);
    connect(btnAlterarImagem, &QPushButton::clicked, this, [this] {
        const QString path = m_choosePicture ? m_choosePicture() : QString();
        if (!path.isEmpty())
            LoadPicture(path);
    });
    connect(btnLimpar, &QPushButton::clicked, this,
            [this] { LoadPicture(StockPicture(m_settings.PathBD, QStringLiteral("Blank.jpg"))); });
    connect(btnLogoZrv, &QPushButton::clicked, this,
            [this] { LoadPicture(StockPicture(m_settings.PathBD, QStringLiteral("LogoZrv.jpg"))); });
    connect(btnOk, &QPushButton::clicked, this, &TfrmOpcoesGerais::Confirmar);
    connect(btnCancelar, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmOpcoesGerais::Fill() {
    edtCidade->setText(m_settings.Cidade_Default);
    const int state = m_settings.Estado_Default;
    cmbEstado->setCurrentIndex(state >= 1 && state <= cmbEstado->count() ? state - 1 : -1);
    edtCEP->setText(m_settings.CEP_Default);
    edtLinha1->setText(m_settings.Linha1);
    edtLinha2->setText(m_settings.Linha2);
    lblAmostra1->setText(m_settings.Linha1);
    lblAmostra2->setText(m_settings.Linha2);
    m_style1 = m_settings.Formato1Linha;
    m_style2 = m_settings.Formato2Linha;
    lblAmostra1->setFont(WithStyleText(font(), m_style1));
    lblAmostra2->setFont(WithStyleText(font(), m_style2));
    chkNegrito1->setChecked(GeneralOptions::HasStyle(m_style1, kBold));
    chkItalico1->setChecked(GeneralOptions::HasStyle(m_style1, kItalic));
    chkSublinhado1->setChecked(GeneralOptions::HasStyle(m_style1, kUnderline));
    chkNegrito2->setChecked(GeneralOptions::HasStyle(m_style2, kBold));
    chkItalico2->setChecked(GeneralOptions::HasStyle(m_style2, kItalic));
    chkSublinhado2->setChecked(GeneralOptions::HasStyle(m_style2, kUnderline));
    switch (GeneralOptions::RepeatRule(m_settings.OpcoesGerais)) {
    case 1:
        rbNaoPermitir->setChecked(true);
        break;
    case 2:
        rbAvisar->setChecked(true);
        break;
    case 3:
        rbPermitir->setChecked(true);
        break;
    default:
        break;
    }
    chkBackup->setChecked(GeneralOptions::BackupOnExit(m_settings.OpcoesGerais));
    if (!m_settings.PathLogoImpressao.isEmpty())
        LoadPicture(m_settings.PathLogoImpressao);
}

bool TfrmOpcoesGerais::LoadPicture(const QString& path) {
    if (!QFileInfo::exists(path)) {
        OperatorMessages::Tell(this, LogoNotFound(path), MessageIcon::Warning);
        return false;
    }
    QImageReader reader(path);
    reader.setAutoTransform(true);
    const QImage picture = reader.read();
    if (picture.isNull()) {
        OperatorMessages::Tell(this, NotAPicture(path), MessageIcon::Warning);
        return false;
    }
    m_logo = picture;
    m_logoSource = QFileInfo(path).absoluteFilePath();
    imgLogo->setPixmap(QPixmap::fromImage(
        m_logo.scaled(imgLogo->size() - QSize(4, 4), Qt::KeepAspectRatio, Qt::SmoothTransformation)));
    return true;
}

void TfrmOpcoesGerais::ChooseStyle(QString& styles, QLabel* sample, const QString& word, bool on) {
    styles = GeneralOptions::WithStyle(styles, word, on);
    sample->setFont(WithStyleText(font(), styles));
}

bool TfrmOpcoesGerais::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent*>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            focusNextChild();
            return true;
        }
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmOpcoesGerais::Confirmar() {
    Settings s = m_settings;
    const int rule = rbNaoPermitir->isChecked() ? 1
                     : rbAvisar->isChecked()    ? 2
                     : rbPermitir->isChecked()  ? 3
                                                : 0;
    s.OpcoesGerais = GeneralOptions::WithBackupOnExit(GeneralOptions::WithRepeatRule(s.OpcoesGerais, rule),
                                                      chkBackup->isChecked());
    s.Cidade_Default = edtCidade->text();
    s.Estado_Default = cmbEstado->currentIndex() + 1; // 0 when none is selected
    s.CEP_Default = edtCEP->text();
    s.Linha1 = edtLinha1->text();
    s.Formato1Linha = m_style1;
    s.Linha2 = edtLinha2->text();
    s.Formato2Linha = m_style2;
    s.PathLogoImpressao = LogoTarget(s.PathBD);

    // The picture first: when it cannot be saved nothing is written and the dialog stays open.
    const QString target = QFileInfo(s.PathLogoImpressao).absoluteFilePath();
    if (!m_logo.isNull() && m_logoSource != target) {
        QDir().mkpath(QFileInfo(target).absolutePath());
        if (!m_logo.save(target, "JPG", 95)) {
            OperatorMessages::Tell(this,
                                   QStringLiteral("Não foi possível gravar o logotipo em %1.")
                                       .arg(QDir::toNativeSeparators(target)),
                                   MessageIcon::Critical);
            return;
        }
        m_logoSource = target;
    }
    QString error;
    const QStringList keys = {QStringLiteral("Opcoes Gerais"),    QStringLiteral("Cidade_Default"),
                              QStringLiteral("Estado_Default"),   QStringLiteral("CEP_Default"),
                              QStringLiteral("1ª Linha"),         QStringLiteral("Formato 1ª Linha"),
                              QStringLiteral("2ª Linha"),         QStringLiteral("Formato 2ª Linha"),
                              QStringLiteral("PathLogoImpressao")};
    if (!WriteConfigKeys(m_settingsPath, s, keys, &error)) {
        OperatorMessages::Tell(this, error, MessageIcon::Critical);
        return;
    }
    m_settings = s;
    accept();
}
