#pragma once

#include <QWidget>

#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

// The status window of session operations and of the modem configuration: a text, a gauge or a
// moving waiting bar, the efficiency figure and "Cancelar". It stays on top and has its own entry
// on the task bar. Closing it by the operator acts as "Cancelar" and does not close it; only the
// program closes it.
class TfrmStatus : public QWidget {
    Q_OBJECT
public:
    explicit TfrmStatus(const QString& title, QWidget* parent = nullptr);

    // "Cancelar" pressed, or the operator tried to close the window.
    std::function<void()> OnCancel;
    // The window was hidden (closed by the program).
    std::function<void()> OnHidden;

    // Shows the window with `text` and the gauge (range given, at its minimum) or the waiting bar.
    void ShowStatus(const QString& text, bool showGauge, int gaugeMin, int gaugeMax);
    void SetGauge(int value);
    // The "Eficiência:" label and its figure.
    void SetEfficiency(bool visible, const QString& figure);
    // The "Erros:" label and its count.
    void SetErrors(bool visible, const QString& count);
    // Drops or restores stay-on-top (a question is shown over it meanwhile).
    void SetStayOnTop(bool onTop);
    void CloseByProgram();

    QProgressBar* Gauge1 = nullptr;
    QProgressBar* JvWaitingGradient1 = nullptr;
    QLabel* JvLabel1 = nullptr;
    QLabel* lblEficiencia = nullptr;
    QLabel* lblQuality = nullptr;
    QLabel* lblErrosTitulo = nullptr;
    QLabel* lblErros = nullptr;
    QPushButton* btnCancelar = nullptr;

protected:
    void closeEvent(QCloseEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    bool m_programClosing = false;
    bool m_changingFlags = false;
};
