#pragma once

#include <QDialog>

class QPushButton;
class QTableWidget;
class TdmBancoDeDados;

// `TfrmGrupos`, the groups dialog ("Configurar ..." on the main window): the customer groups but
// the recycle bin, with "&Novo", "&Editar", "E&xcluir" and "&Fechar"; while a name is being edited
// "&Gravar" and "&Cancelar" take their place and the dialog cannot be closed.
class TfrmGrupos : public QDialog {
    Q_OBJECT
public:
    explicit TfrmGrupos(TdmBancoDeDados& dm, QWidget* parent = nullptr);

    bool Editing() const { return m_editRow >= 0; }

protected:
    void reject() override;

private:
    void reload();
    void beginEdit(int row, bool isNew);
    void endEdit();
    void gravar();
    void excluir();

    TdmBancoDeDados& m_dm;
    QTableWidget* grid;
    QPushButton* btnNovo;
    QPushButton* btnEditar;
    QPushButton* btnExcluir;
    QPushButton* btnFechar;
    QPushButton* btnGravar;
    QPushButton* btnCancelar;
    int m_editRow = -1;
    bool m_editNew = false;
};
