#include "access/permission_boxes.h"

#include <QList>

namespace {

struct Dependency {
    int master;
    QList<int> dependents;
};

// Masters in the order the editor applies them.
const QList<Dependency>& Dependencies() {
    static const QList<Dependency> table = {
        {4, {5, 6, 7, 8, 9, 10, 11, 12, 13, 40}},
        {40, {5, 6, 7, 8}},
        {9, {10, 11, 12, 13}},
        {14, {15, 16, 17}},
        {22, {23, 24, 25, 26, 27, 28, 38}},
        {29, {30, 31, 32}},
        {33, {20, 21, 34, 35, 36, 37}},
    };
    return table;
}

} // namespace

PermissionBoxes PermissionBoxes::FromText(const QString& permissoes) {
    PermissionBoxes boxes;
    for (int p = 1; p <= Count; ++p)
        boxes.m_checked[p] = p <= permissoes.size() && permissoes[p - 1] == QLatin1Char('1');
    boxes.applyDependencies();
    return boxes;
}

QString PermissionBoxes::Text() const {
    QString text;
    for (int p = 1; p <= Count; ++p)
        text += m_checked[p] ? QLatin1Char('1') : QLatin1Char('0');
    return text;
}

void PermissionBoxes::Click(int p, bool checked) {
    if (p < 1 || p > Count)
        return;
    m_checked[p] = checked;
    if (!checked) {
        for (const Dependency& d : Dependencies()) {
            if (d.master != p)
                continue;
            for (int dependent : d.dependents) {
                if (m_checked[dependent])
                    Click(dependent, false);
            }
        }
    }
    applyDependencies();
}

void PermissionBoxes::SetAll(const QList<int>& boxes, bool checked) {
    for (int p : boxes)
        Click(p, checked);
}

void PermissionBoxes::applyDependencies() {
    m_enabled.fill(true);
    for (const Dependency& d : Dependencies()) {
        for (int dependent : d.dependents)
            m_enabled[dependent] = m_enabled[dependent] && m_checked[d.master];
    }
}

QList<int> PermissionBoxes::GeneralPage() {
    QList<int> page;
    for (int p = 1; p <= 17; ++p)
        page << p;
    return page << 40;
}

QList<int> PermissionBoxes::OtherPage() {
    QList<int> page;
    for (int p = 18; p <= 39; ++p)
        page << p;
    return page;
}
