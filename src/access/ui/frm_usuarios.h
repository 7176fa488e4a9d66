#pragma once

#include <QDialog>

class QPushButton;
class QTableWidget;
class TdmBancoDeDados;

// `TfrmUsuarios`, the operator list ("&Usuários, senhas e permissões ..."): the operators' names
// (the administrator's only when the administrator is the one logged in), with "&Novo ...",
// "&Editar ..." and "E&xcluir" enabled by the permissions to add, modify and delete operators, and
// "&Fechar". New and edited operators go through the operator editor.
class TfrmUsuarios : public QDialog {
    Q_OBJECT
public:
    explicit TfrmUsuarios(TdmBancoDeDados& dm, QWidget* parent = nullptr);

    // The name in the current row, or empty.
    QString CurrentName() const;

    void btnNovoClick();
    void btnEditarClick();
    void btnExcluirClick();

private:
    void reload();

    TdmBancoDeDados& m_dm;
    QTableWidget* grid;
    QPushButton* btnNovo;
    QPushButton* btnEditar;
    QPushButton* btnExcluir;
    QPushButton* btnFechar;
};
