#include "programming/ui/frm_prog_editor.h"

#include "base/app_title.h"
#include "base/operator_messages.h"
#include "programming/ui/editor_requests.h"
#include "programming/ui/frm_salvar_programacao.h"
#include "programming/ui/section_comunicacao.h"
#include "programming/ui/section_opcoes.h"
#include "programming/ui/section_pgms.h"
#include "programming/ui/section_reporte.h"
#include "programming/ui/section_tempos.h"
#include "programming/ui/section_usuarios.h"
#include "programming/ui/section_zonas.h"
#include "widgets/balloon_tip.h"
#include "widgets/field_binder.h"
#include "widgets/help.h"
#include "widgets/window_memory.h"

#include <QAbstractButton>
#include <QApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolButton>
#include <QVBoxLayout>

namespace {

const QString kReceberToda = QStringLiteral("Receber toda programação");
const QString kEnviarToda = QStringLiteral("Enviar toda programação");
const QString kConfiguracoes = QStringLiteral("Configurações ...");

QString PicturePath(ProductModel model) {
    switch (model) {
    case ProductModel::Orvan5:
        return QStringLiteral(":/report/products/orvan5.svg");
    case ProductModel::Orvan10Max:
        return QStringLiteral(":/report/products/orvan10max.svg");
    case ProductModel::Orvan10Eco:
        return QStringLiteral(":/report/products/orvan10eco.svg");
    case ProductModel::Orvan9Max:
        return QStringLiteral(":/report/products/orvan9.svg");
    case ProductModel::Orvan10:
    case ProductModel::None:
        break;
    }
    return QStringLiteral(":/report/products/orvan10.svg");
}

const char* NavigatorName(ProgSection section) {
    switch (section) {
    case ProgSection::Zonas:
        return "sbZonas";
    case ProgSection::Usuarios:
        return "sbUsuarios";
    case ProgSection::Tempos:
        return "sbTempos";
    case ProgSection::Comunicacao:
        return "sbComunicacao";
    case ProgSection::Opcoes:
        return "sbOpcoes";
    case ProgSection::Pgms:
        return "sbPgms";
    case ProgSection::Reporte:
    case ProgSection::CodigosPainel:
        break;
    }
    return "sbReporte";
}

} // namespace

TfrmProgEditor* TfrmProgEditor::ForProduct(const EditorHost& host, QWidget* parent) {
    TfrmProgEditor* editor = nullptr;
    if (host.record->Images().family() == ProductFamily::FiveZone)
        editor = new TfrmProgOrvan5(host, parent);
    else
        editor = new TfrmProgOrvan10(host, parent);
    editor->Build();
    return editor;
}

TfrmProgEditor::TfrmProgEditor(const EditorHost& host, QWidget* parent)
    : QDialog(parent), m_host(host), m_context(*host.record, *host.op, this), m_names(new FieldBinder(this)) {
    setWindowTitle(ApplicationTitle());
    setMinimumSize(900, 640);
    SetHelpTopic(this, 31);
    // Enter and the balloon in every field of the window, those built later included.
    qApp->installEventFilter(this);
}

TfrmProgEditor::~TfrmProgEditor() {
    qApp->removeEventFilter(this);
}

TfrmProgOrvan10::TfrmProgOrvan10(const EditorHost& host, QWidget* parent) : TfrmProgEditor(host, parent) {
    setObjectName(QStringLiteral("frmProgOrvan10"));
}

QString TfrmProgOrvan10::LoadAllCaption() const {
    return QStringLiteral("Carregar todos os dados do alarme para o PC");
}

TfrmProgOrvan5::TfrmProgOrvan5(const EditorHost& host, QWidget* parent) : TfrmProgEditor(host, parent) {
    setObjectName(QStringLiteral("frmProgOrvan5"));
}

QString TfrmProgOrvan5::LoadAllCaption() const {
    // On this model the entry reads like a section's, and loads every section all the same.
    return QStringLiteral("Carregar dados do alarme para o PC");
}

void TfrmProgEditor::Build() {
    auto* root = new QHBoxLayout(this);
    auto* navigator = new QVBoxLayout;
    BuildNavigator(navigator);
    root->addLayout(navigator);

    auto* main = new QVBoxLayout;
    auto* header = new QHBoxLayout;
    imgModelo = new QLabel;
    imgModelo->setObjectName(QStringLiteral("imgModelo"));
    imgModelo->setFixedSize(96, 64);
    imgModelo->setScaledContents(true);
    header->addWidget(imgModelo);
    lblModelo = new QLabel;
    lblModelo->setObjectName(QStringLiteral("lblModelo"));
    QFont big = lblModelo->font();
    big.setBold(true);
    big.setPointSizeF(big.pointSizeF() * 1.4);
    lblModelo->setFont(big);
    header->addWidget(lblModelo);
    lblVersaoPainel = new QLabel;
    lblVersaoPainel->setObjectName(QStringLiteral("lblVersaoPainel"));
    header->addWidget(lblVersaoPainel);
    header->addStretch();
    BuildActionButton(header);
    main->addLayout(header);

    auto* content = new QWidget;
    auto* sections = new QVBoxLayout(content);
    m_zonas = new SectionZonas(m_context, *m_names);
    m_opcoes = new SectionOpcoes(m_context);
    m_sections = {m_zonas,
                  new SectionUsuarios(m_context, *m_names),
                  new SectionTempos(m_context),
                  new SectionComunicacao(m_context),
                  m_opcoes,
                  new SectionPgms(m_context),
                  new SectionReporte(m_context)};
    for (SectionWidget* section : std::as_const(m_sections)) {
        sections->addWidget(section);
        connect(section, &SectionWidget::SendRequested, this, &TfrmProgEditor::EnviarSecao);
        connect(section, &SectionWidget::LoadRequested, this, &TfrmProgEditor::CarregarSecao);
    }
    connect(m_opcoes, &SectionOpcoes::PartitionChanged, m_zonas, &SectionZonas::PartitionChanged);
    m_scroll = new QScrollArea;
    m_scroll->setObjectName(QStringLiteral("sbxPrincipal"));
    m_scroll->setWidgetResizable(true);
    m_scroll->setWidget(content);
    main->addWidget(m_scroll, 1);
    lblLegendaDiferencas = new QLabel(kLegendaDiferencas);
    lblLegendaDiferencas->setObjectName(QStringLiteral("lblLegendaDiferencas"));
    main->addWidget(lblLegendaDiferencas);
    root->addLayout(main, 1);

    // By default the window is wide enough for the widest section, with no sideways scrolling, and
    // as tall as the screen allows.
    const QSize contentSize = content->sizeHint();
    const int chrome = sizeHint().width() - m_scroll->sizeHint().width();
    RememberWindowGeometry(
        this, QSize(chrome + contentSize.width() + m_scroll->verticalScrollBar()->sizeHint().width() + 8,
                    contentSize.height() + 120));

    // The names of zones and users edit their rows directly; the codes and attributes the image.
    const LoadingGuard loading(m_context.record);
    m_names->Load();
    // The show step fills the sections when the window is shown.
}

void TfrmProgEditor::BuildNavigator(QVBoxLayout* column) {
    for (ProgSection section : kSectionLoadOrder) {
        auto* button = new QToolButton;
        button->setObjectName(QString::fromLatin1(NavigatorName(section)));
        button->setText(SectionCaption(section));
        button->setMinimumSize(96, 44);
        connect(button, &QToolButton::clicked, this, [this, section] { ShowSection(section); });
        column->addWidget(button);
    }
    column->addStretch();
    auto* retornar = new QToolButton;
    retornar->setObjectName(QStringLiteral("sbRetornar"));
    retornar->setText(QStringLiteral("Retornar"));
    retornar->setMinimumSize(96, 44);
    connect(retornar, &QToolButton::clicked, this, &TfrmProgEditor::hide);
    column->addWidget(retornar);
}

void TfrmProgEditor::BuildActionButton(QHBoxLayout* header) {
    btnAcoes = new QToolButton;
    btnAcoes->setObjectName(QStringLiteral("btnAcoes"));
    btnAcoes->setPopupMode(QToolButton::MenuButtonPopup);
    auto* menu = new QMenu(btnAcoes);
    const std::pair<QString, void (TfrmProgEditor::*)()> items[] = {
        {kReceberToda, &TfrmProgEditor::ReceberTodaProgramacao},
        {kEnviarToda, &TfrmProgEditor::EnviarTodaProgramacao},
        {LoadAllCaption(), &TfrmProgEditor::CarregarTodosOsDados},
        {kConfiguracoes, &TfrmProgEditor::Configuracoes}};
    for (const auto& [caption, run] : items) {
        QAction* action = menu->addAction(caption);
        connect(action, &QAction::triggered, this, [this, caption, run] {
            // The chosen entry becomes the button's: pressing the button runs it again.
            btnAcoes->setText(caption);
            (this->*run)();
        });
    }
    btnAcoes->setMenu(menu);
    btnAcoes->setText(kReceberToda);
    connect(btnAcoes, &QToolButton::clicked, this, [this, menu] {
        for (QAction* action : menu->actions()) {
            if (action->text() == btnAcoes->text()) {
                action->trigger();
                return;
            }
        }
    });
    header->addWidget(btnAcoes);
}

SectionWidget* TfrmProgEditor::Section(ProgSection section) const {
    for (SectionWidget* s : m_sections) {
        if (s->Section() == section)
            return s;
    }
    return nullptr;
}

void TfrmProgEditor::Tell(const QString& text) {
    if (!text.isEmpty())
        OperatorMessages::Tell(this, text, MessageIcon::Warning);
}

bool TfrmProgEditor::GoBackToTimes() {
    if (!m_context.ValidationPending)
        return false;
    m_scroll->verticalScrollBar()->setValue(Section(ProgSection::Tempos)->y());
    return true;
}

void TfrmProgEditor::ShowSection(ProgSection section) {
    if (GoBackToTimes())
        return;
    m_scroll->verticalScrollBar()->setValue(Section(section)->y());
}

ProgSection TfrmProgEditor::CurrentSection() const {
    const int top = m_scroll->verticalScrollBar()->value();
    ProgSection current = ProgSection::Zonas;
    for (SectionWidget* s : m_sections) {
        if (s->y() <= top)
            current = s->Section();
    }
    return current;
}

void TfrmProgEditor::ShowStep() {
    const bool orvan9Max = m_host.orvan9Max && m_host.orvan9Max();
    m_context.variant =
        EditorVariant::For(m_context.productCode(), m_context.record.StoredVersion(), orvan9Max);
    lblModelo->setText(m_context.variant.modelName);
    imgModelo->setPixmap(QPixmap(PicturePath(m_context.variant.model)));
    const QString received = m_host.receivedVersion ? m_host.receivedVersion() : QString();
    lblVersaoPainel->setText(received.isEmpty() ? QString() : QStringLiteral("V") + received);
    for (SectionWidget* section : std::as_const(m_sections)) {
        section->ApplyVariant();
        section->Refresh();
    }
    m_scroll->verticalScrollBar()->setValue(0);
    if (auto* firstZone = findChild<QLineEdit*>(QStringLiteral("dbedtZona1")))
        firstZone->setFocus(Qt::OtherFocusReason);
}

void TfrmProgEditor::RefreshAlarmViews() {
    for (SectionWidget* section : std::as_const(m_sections)) {
        if (section->ShowsAlarm())
            section->ShowFromAlarm();
        else
            section->MarkDifferences();
    }
}

void TfrmProgEditor::ShowAllFromPC() {
    for (SectionWidget* section : std::as_const(m_sections))
        section->ShowFromPC();
}

void TfrmProgEditor::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    ShowStep();
}

bool TfrmProgEditor::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    auto* widget = qobject_cast<QWidget*>(watched);
    if (!widget || widget->window() != this)
        return QDialog::eventFilter(watched, event);
    // Any key hides the balloon; Enter in a field moves on to the next one, after the field's
    // own check on leaving.
    BalloonTip::HideCurrent();
    const int key = static_cast<QKeyEvent*>(event)->key();
    if ((key == Qt::Key_Return || key == Qt::Key_Enter) && !qobject_cast<QAbstractButton*>(widget)) {
        if (auto* edit = qobject_cast<QLineEdit*>(widget))
            Q_EMIT edit->editingFinished();
        if (!m_context.ValidationPending)
            focusNextChild();
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

void TfrmProgEditor::reject() {
    BalloonTip::HideCurrent();
    hide();
}

// --- the sections' commands ------------------------------------------------------------------

void TfrmProgEditor::EnviarSecao(ProgSection section) {
    if (GoBackToTimes())
        return;
    Tell(SendSection(m_host.link, m_context.record, section, m_context.op, this));
}

void TfrmProgEditor::CarregarSecao(ProgSection section) {
    if (GoBackToTimes())
        return;
    m_context.record.Images().copySectionFromAlarm(section);
    m_context.record.ProgramacaoAlterada = true;
    Section(section)->ShowFromPC();
}

// --- the action menu -------------------------------------------------------------------------

void TfrmProgEditor::ReceberTodaProgramacao() {
    if (GoBackToTimes())
        return;
    Tell(ReceiveWholeProgramming(m_host.link, m_context.record));
}

void TfrmProgEditor::EnviarTodaProgramacao() {
    if (GoBackToTimes())
        return;
    Tell(SendWholeProgramming(m_host.link, m_context.record, m_context.op, this));
}

void TfrmProgEditor::CarregarTodosOsDados() {
    if (GoBackToTimes())
        return;
    if (m_context.record.IsNew()) {
        Tell(kMsgSalvarAntesDeCarregar);
        return;
    }
    for (ProgSection section : kSectionLoadOrder)
        CarregarSecao(section);
}

void TfrmProgEditor::Configuracoes() {
    if (GoBackToTimes())
        return;
    if (m_context.record.IsNew()) {
        Tell(kMsgSalvarAntesDeCarregar);
        return;
    }
    TfrmSalvarProgramacao dialog(m_context.record, *m_host.settings, m_host.settingsPath, this);
    connect(&dialog, &TfrmSalvarProgramacao::TemplateLoaded, this, &TfrmProgEditor::ShowAllFromPC);
    connect(&dialog, &TfrmSalvarProgramacao::VersionChosen, this, [this] {
        if (m_host.versionChanged)
            m_host.versionChanged();
        ShowStep();
    });
    dialog.exec();
}
