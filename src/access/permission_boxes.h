#pragma once

#include <QString>

#include <array>

// The permission editor's boxes without the window: which are checked and which may be changed. A
// dependent box is enabled only while its masters are checked; unchecking a master unchecks its
// dependents, and that goes on down (4 unchecks 40, which unchecks 5 to 8).
class PermissionBoxes {
public:
    static constexpr int Count = 40;

    // From a PERMISSOES text: character i decides permission i ("1" granted); a short or null text
    // leaves the rest unchecked.
    static PermissionBoxes FromText(const QString& permissoes);
    // Forty characters "1" or "0".
    QString Text() const;

    bool Checked(int p) const { return p >= 1 && p <= Count && m_checked[p]; }
    bool Enabled(int p) const { return p >= 1 && p <= Count && m_enabled[p]; }
    // A click on box p leaving it `checked`.
    void Click(int p, bool checked);
    // Every box of the list to `checked` (the popup's select and clear entries), masters first.
    void SetAll(const QList<int>& boxes, bool checked);

    // The permissions of each page of the editor.
    static QList<int> GeneralPage();
    static QList<int> OtherPage();

private:
    void applyDependencies();

    std::array<bool, Count + 1> m_checked{};
    std::array<bool, Count + 1> m_enabled{};
};
