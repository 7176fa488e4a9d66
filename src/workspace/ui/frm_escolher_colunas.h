#pragma once

#include "workspace/column_choice.h"

#include <QDialog>

class QListWidget;
class QListWidgetItem;
class QPushButton;

// `TfrmEscolherColunas`, "&Escolher colunas ...": which columns the customer list shows and in
// which order. The check lists "Clientes" and "Painel" choose the columns, the list on the right
// holds the shown ones in order. OK keeps the choice (Colunas()); Cancelar drops it.
class TfrmEscolherColunas : public QDialog {
    Q_OBJECT
public:
    explicit TfrmEscolherColunas(const QString& colunas, QWidget* parent = nullptr);

    // The "Colunas" setting as the dialog stands.
    QString Colunas() const { return m_choice.Colunas(); }

    QListWidget* lstClientes;
    QListWidget* lstPainel;
    QListWidget* lstMostradas;
    QPushButton* btnMostrarClientes;
    QPushButton* btnOcultarClientes;
    QPushButton* btnMostrarPainel;
    QPushButton* btnOcultarPainel;
    QPushButton* btnCima;
    QPushButton* btnBaixo;
    QPushButton* btnOk;
    QPushButton* btnCancelar;

private:
    QListWidget* CheckList(ColumnChoice::Group group);
    void ItemChanged(QListWidgetItem* item);
    // Brings the check marks and the shown list in line with the choice, keeping `current` selected.
    void Refresh(int current = -1);

    ColumnChoice m_choice;
    bool m_refreshing = false;
};
