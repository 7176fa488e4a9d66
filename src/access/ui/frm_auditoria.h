#pragma once

#include <QDialog>

class QLabel;
class QLineEdit;
class QPushButton;
class QTableWidget;
class TdmBancoDeDados;

// `TfrmAuditoria`: the record of who did what to which panel, read only, oldest first, narrowed to
// one customer and to the days from a date when those are filled in.
class TfrmAuditoria : public QDialog {
    Q_OBJECT
public:
    explicit TfrmAuditoria(TdmBancoDeDados& dm, QWidget* parent = nullptr);

    QLineEdit* edtCliente;
    QLineEdit* edtDesde;
    QPushButton* btnFiltrar;
    QPushButton* btnFechar;
    QTableWidget* grdAuditoria;
    QLabel* lblVazio; // shown when no row passes the filter

    // Reads the rows again with the filter typed.
    void Filtrar();

private:
    TdmBancoDeDados& m_dm;
};
