#pragma once

#include "access/permission_boxes.h"

#include <QDialog>
#include <QMap>

class QCheckBox;
class QTabWidget;

// `TfrmPermissoes`, the permission editor: the 40 boxes on "Permissões Gerais" (1 to 17 and 40) and
// "Outras Permissões" (18 to 39), with the dependencies between them, the popup to select or clear a
// page or everything, "&OK" and "&Cancelar". It edits a PERMISSOES text; the caller stores it.
class TfrmPermissoes : public QDialog {
    Q_OBJECT
public:
    explicit TfrmPermissoes(const QString& permissoes, QWidget* parent = nullptr);

    // The edited text (forty "1" or "0"), meaningful after OK.
    QString Permissoes() const { return m_boxes.Text(); }

private:
    void showBoxes(const PermissionBoxes& boxes);
    void pagePopup(const QPoint& at);

    PermissionBoxes m_boxes;
    QTabWidget* pgcPermissoes;
    QMap<int, QCheckBox*> m_checks;
    bool m_showing = false;
};
