#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class TdmBancoDeDados;

// The login window: operator name and password, "Entrar", "Cancelar" and "Esqueci a senha".
// Closes with Accepted once an operator logged in (the data module's Operator then holds it);
// "Cancelar" rejects, and the caller ends the application.
class TfrmSplash : public QDialog {
    Q_OBJECT
public:
    explicit TfrmSplash(TdmBancoDeDados& dm, QWidget* parent = nullptr);

    QLineEdit* edtUsuario;
    QLineEdit* edtSenha;
    QPushButton* btnEntrar;
    QPushButton* btnCancelar;
    QPushButton* btnEsqueciSenha;

    void btnEntrarClick();
    void btnEsqueciSenhaClick();

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    void UpdateButtons();

    TdmBancoDeDados& m_dm;
    QPoint m_dragOffset;
};
