#pragma once

#include "printing/print_header.h"
#include "workspace/event_list_model.h"

#include <QWidget>

#include <functional>
#include <memory>

class QCheckBox;
class QLabel;
class QTableView;
class QToolButton;
class TdmBancoDeDados;
class TfrmFiltraBuffer;
class TfrmReportBuffer;

inline const QString kMsgApagarEventos = QStringLiteral("Tem certeza que quer apagar este(s) registro(s)?");
// The question with the number of events the operator selected.
inline QString MsgApagarEventos(int count) {
    return kMsgApagarEventos + (count == 1 ? QStringLiteral("\r1 evento será apagado.")
                                           : QStringLiteral("\r%1 eventos serão apagados.").arg(count));
}
inline const QString kMsgSalvarAntesDeFiltrar =
    QStringLiteral("É necessário salvar antes de aplicar o filtro do buffer de eventos");
inline const QString kMsgAguardeDownload =
    QStringLiteral("Aguarde o fim do download do buffer de eventos para apagar eventos.");

// The customer whose events the page shows.
struct EventsCustomer {
    int id = 0; // 0: never saved, no events
    int productCode = 1;
    QString name;
};

// The record screen's "Eventos" page: the customer's downloaded events in the grid
// `dbgBufferEventos`, sorted by a click on a column title (a second click reverses, another column
// sorts ascending with the previous one as second key), with user and zone names beside the
// numbers on request, the count of the listed events, and the buttons "Imprimir", "Apagar",
// "Filtrar" and "Exportar CSV". Rows load on a thread of their own with the window repainting
// meanwhile; filter and order run in the database.
class EventsPage : public QWidget {
    Q_OBJECT
public:
    explicit EventsPage(TdmBancoDeDados& dm, QWidget* parent = nullptr);
    ~EventsPage() override;

    // Whether a download of the panel's log is storing events now (deleting waits for its end).
    std::function<bool()> DownloadRunning;
    // The company header of the printed pages.
    std::function<PrintHeader()> PrintHeaderSource;
    // The file "Exportar CSV" writes; empty: the operator gave up.
    std::function<QString()> AskCsvPath;

    // `jvLookEventosClick`: false (after the permission message) when the operator may not see
    // events; otherwise the page shows the customer's events sorted by event number ascending, and
    // keeps a filter set earlier for the same customer.
    bool Select(const EventsCustomer& customer);
    // Events were stored or deleted elsewhere: the list is read again, the current row kept.
    void Refresh();

    EventListModel& Model() { return *m_model; }
    // The filter dialog once made, the report while its preview is shown.
    TfrmFiltraBuffer* FilterDialog() const { return m_filterDialog; }
    TfrmReportBuffer* Report() const { return m_report.get(); }

    // The buttons' actions, as a click runs them.
    void ImprimirClick();
    void ApagarClick();
    void FiltrarClick();
    // Writes the listed rows (filter and order as shown) into `path`; false after telling why.
    bool ExportCsv(const QString& path);
    void SelecionarTodos();

    QTableView* dbgBufferEventos = nullptr;
    QLabel* dbtxtCount = nullptr;
    QCheckBox* chkUsuarios = nullptr;
    QCheckBox* chkZonas = nullptr;
    QToolButton* JvLookOutButton6 = nullptr; // "Imprimir"
    QToolButton* JvLookOutButton1 = nullptr; // "Apagar"
    QToolButton* JvLookOutButton7 = nullptr; // "Filtrar"
    QToolButton* btnExportarCsv = nullptr;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void TitleClicked(int section);
    void SortBy(int section, bool reset);
    // Reads the list again and goes back to the row that was current when it is still listed.
    bool Reload();
    void ShowCount();
    // A column's own width: its title and the sort arrow; the event 34 characters, the user and
    // zone 26 while their names are shown.
    void SetColumnWidth(int section);
    int TitleWidth(int section) const;
    void UpdateDeleteButton();
    void ExportarClick();
    QList<qint32> SelectedKeys() const;
    void Tell(const QString& text);

    TdmBancoDeDados& m_dm;
    EventListModel* m_model;
    EventsCustomer m_customer;
    TfrmFiltraBuffer* m_filterDialog = nullptr;
    std::unique_ptr<TfrmReportBuffer> m_report;
    bool m_deleting = false;
};
