#pragma once

#include "programming/image_layout.h"
#include "programming/ui/section_widget.h"

#include <QVector>

class FieldBinder;
class QCheckBox;
class QComboBox;
class QGroupBox;
class QTabWidget;

// "Zonas": per board zone its name, its type list and its attribute boxes; on the 10-zone family
// also keypad zones 9 and 10 with their attribute bytes. The type list rules out attributes (and
// disables their boxes) as the zone types demand; each group's pop-up menu selects or clears all
// of its boxes.
class SectionZonas : public SectionWidget {
    Q_OBJECT
public:
    SectionZonas(EditorContext& context, FieldBinder& names, QWidget* parent = nullptr);

    // The type list and the box of attribute `a` of board zone `zone` (1..8 or 1..5).
    QComboBox* TypeList(int zone) const { return m_zones.at(zone - 1).type; }
    QCheckBox* AttributeBox(int zone, ZoneAttribute a) const;
    // "Particionada" changed: stay boxes recaptioned, every type list re-run.
    void PartitionChanged();

protected:
    void Decode(const ProgrammingImage& image) override;
    void MarkOwnDifferences() override;

private:
    struct BoardZone {
        QGroupBox* group = nullptr;
        QComboBox* type = nullptr;
        QVector<std::pair<ZoneAttribute, QCheckBox*>> boxes;
    };
    struct KeypadZone {
        int zone;
        QVector<QCheckBox*> bits; // by KeypadZoneBit
    };
    QGroupBox* BuildBoardZone(int zone, FieldBinder& names);
    QGroupBox* BuildKeypadZone(int zone, FieldBinder& names);
    void TypeChosen(int zone, int position);
    void AttributeClicked(int zone, ZoneAttribute a, bool on);
    void KeypadClicked(int zone);
    void ShowZone(int zone, const ProgrammingImage& image);
    void CaptionStayBoxes(const ProgrammingImage& image);
    void SelectAll(QGroupBox* group, bool on);

    QTabWidget* m_pages = nullptr;
    QVector<BoardZone> m_zones;
    QVector<KeypadZone> m_keypad;
};
