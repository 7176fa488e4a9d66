#pragma once

#include "programming/image_layout.h"
#include "programming/ui/editor_context.h"

#include <QDialog>
#include <QList>

#include <functional>

class FieldBinder;
class LinkController;
class QLabel;
class QScrollArea;
class QToolButton;
class SectionComunicacao;
class SectionOpcoes;
class SectionPgms;
class SectionReporte;
class SectionTempos;
class SectionUsuarios;
class SectionWidget;
class SectionZonas;
struct Settings;

// What a programming window works with: the open customer, the link (null: no session is ever
// offered), the settings of the default templates (the template dialog changes them and writes
// them into `settingsPath`), and what to do once the template dialog changed the stored version
// (the customer screen recaptions itself).
struct EditorHost {
    CustomerRecord* record = nullptr;
    const LoggedOperator* op = nullptr;
    LinkController* link = nullptr;
    Settings* settings = nullptr;
    QString settingsPath;
    std::function<void()> versionChanged;
    // Whether the link's identified panel is an Orvan 9 Max (the header and the phone rules).
    std::function<bool()> orvan9Max;
    // The version the panel reported, for the header ("V" + version); empty when none.
    std::function<QString()> receivedVersion;
};

// The programming window of one customer (`TfrmProgOrvan10`, `TfrmProgOrvan5`): a navigator on the
// left, the action button with its menu, and the seven sections one below the other in a scroll
// box. Each section shows and edits the customer's images (the only state); the window carries
// out the commands the sections raise and those of the action menu, and adapts every section to
// the model and stored version in its show step. "Retornar" hides it; the customer screen keeps it
// for as long as the customer is open.
class TfrmProgEditor : public QDialog {
    Q_OBJECT
public:
    ~TfrmProgEditor() override;

    // The window for a customer's model: TfrmProgOrvan10 for product codes 1, 3, 4,
    // TfrmProgOrvan5 for product code 2.
    static TfrmProgEditor* ForProduct(const EditorHost& host, QWidget* parent = nullptr);

    EditorContext& Context() { return m_context; }
    SectionWidget* Section(ProgSection section) const;
    QList<SectionWidget*> Sections() const { return m_sections; }

    // The navigator: scrolls to a section (to the times while a field check is pending).
    void ShowSection(ProgSection section);
    // The section currently at the top of the scroll box.
    ProgSection CurrentSection() const;
    // The show step: captions, options and visibility follow the model and the stored version;
    // every section shown again from its image; scrolled to "Zonas".
    void ShowStep();
    // The session changed `ImagemAlarme`: the sections that show it show it again, and every
    // section marks what now differs from the panel.
    void RefreshAlarmViews();
    // Every section from "PC" (a template was loaded).
    void ShowAllFromPC();

    // The action menu.
    void ReceberTodaProgramacao();
    void EnviarTodaProgramacao();
    void CarregarTodosOsDados();
    void Configuracoes();

protected:
    TfrmProgEditor(const EditorHost& host, QWidget* parent);
    // The caption of the action menu's third entry.
    virtual QString LoadAllCaption() const = 0;
    void Build();

    void showEvent(QShowEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void reject() override;

private:
    void BuildNavigator(class QVBoxLayout* column);
    void BuildActionButton(class QHBoxLayout* header);
    void EnviarSecao(ProgSection section);
    void CarregarSecao(ProgSection section);
    bool GoBackToTimes();
    void Tell(const QString& text);

    EditorHost m_host;
    EditorContext m_context;
    FieldBinder* m_names;
    QScrollArea* m_scroll = nullptr;
    QList<SectionWidget*> m_sections;
    SectionZonas* m_zonas = nullptr;
    SectionOpcoes* m_opcoes = nullptr;
    QToolButton* btnAcoes = nullptr;
    QLabel* imgModelo = nullptr;
    QLabel* lblModelo = nullptr;
    QLabel* lblVersaoPainel = nullptr;
    QLabel* lblLegendaDiferencas = nullptr; // what the difference marks mean
};

class TfrmProgOrvan10 : public TfrmProgEditor {
    Q_OBJECT
public:
    explicit TfrmProgOrvan10(const EditorHost& host, QWidget* parent = nullptr);

protected:
    QString LoadAllCaption() const override;
};

class TfrmProgOrvan5 : public TfrmProgEditor {
    Q_OBJECT
public:
    explicit TfrmProgOrvan5(const EditorHost& host, QWidget* parent = nullptr);

protected:
    QString LoadAllCaption() const override;
};
