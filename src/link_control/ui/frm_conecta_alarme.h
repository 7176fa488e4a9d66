#pragma once

#include "link_control/progress_steps.h"

#include <QDialog>

#include <functional>

class QListWidget;
class QProgressBar;
class QPushButton;
class QTextEdit;

// The connection progress window: the steps of a connection attempt (current step in bold, done
// steps ticked), the modem initialisation bar, a text box, "Cancelar" and the answering-machine
// button "Pressione aqui no segundo ring". It shows what the link tells it; the operator's
// actions go back through the two callbacks.
class TfrmConectaAlarme : public QDialog {
    Q_OBJECT
public:
    explicit TfrmConectaAlarme(const QString& title, QWidget* parent = nullptr);

    // "Cancelar" pressed or the window closed by the operator.
    std::function<void()> OnCancel;
    // "Pressione aqui no segundo ring" pressed.
    std::function<void()> OnSecondRing;

    // Shows the window, modal, without waiting.
    void ShowProgress();
    // Closes the window as the program does: the close is not the operator's cancel.
    void CloseByProgram();

    void SetSteps(const QList<ProgressStep>& steps);
    void SetCancelEnabled(bool enabled);
    void SetBar(bool visible, int minimum, int maximum, int value);
    void SetSecondRingButton(bool visible);
    void SetText(const QString& text);

    // The widgets, by their names in the program (for tests and styling).
    QListWidget* JvInstallLabel1 = nullptr;
    QProgressBar* JvSpecialProgress1 = nullptr;
    QTextEdit* RichEdit1 = nullptr;
    QPushButton* btnCancelar = nullptr;
    QPushButton* Button2 = nullptr;

    // The state of step `index` as shown.
    StepState ShownState(int index) const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;

private:
    static constexpr int MinimumListWidth = 360;
    static constexpr int MinimumListHeight = 120;
    // Sizes the step list to its lines.
    void fitListToSteps();

    bool m_programClosing = false;
    int m_listWidth = 0;
};
