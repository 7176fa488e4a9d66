#include "workspace/ui/call_log.h"

#include "link_control/buffer_texts.h"
#include "link_control/thread_buffer.h"
#include "widgets/help.h"

#include <QHeaderView>
#include <QTableWidget>
#include <QTime>

CallLog::CallLog(QWidget* parent) : QDockWidget(QStringLiteral("Chamadas recebidas"), parent) {
    setObjectName(QStringLiteral("dockChamadas"));
    SetHelpTopic(this, 7);
    setFeatures(QDockWidget::DockWidgetClosable | QDockWidget::DockWidgetMovable);
    tblChamadas = new QTableWidget(0, int(BufferTexts::CallLogTitles().size()), this);
    tblChamadas->setObjectName(QStringLiteral("tblChamadas"));
    tblChamadas->setHorizontalHeaderLabels(BufferTexts::CallLogTitles());
    tblChamadas->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblChamadas->setSelectionBehavior(QAbstractItemView::SelectRows);
    tblChamadas->verticalHeader()->hide();
    tblChamadas->horizontalHeader()->setSectionResizeMode(2, QHeaderView::Stretch);
    setWidget(tblChamadas);
}

void CallLog::Add(const BufferCallReport& report) {
    const int row = tblChamadas->rowCount();
    tblChamadas->insertRow(row);
    const QStringList cells{QTime::currentTime().toString(QStringLiteral("HH:mm:ss")),
                            BufferTexts::Caller(report), BufferTexts::CallResult(report),
                            QString::number(report.stored), QString::number(report.alreadyStored)};
    for (int c = 0; c < cells.size(); ++c) {
        auto* item = new QTableWidgetItem(cells.at(c));
        if (c >= 3)
            item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
        tblChamadas->setItem(row, c, item);
    }
    tblChamadas->scrollToBottom();
}
