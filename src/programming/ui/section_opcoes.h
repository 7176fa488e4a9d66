#pragma once

#include "programming/editor_variant.h"
#include "programming/ui/section_widget.h"

#include <QMap>

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;
class QSpinBox;

// "Opções": the report mode, the option check boxes of the model and version (each with its pair
// of state labels where it has one), the duress digit and the clock adjustment.
class SectionOpcoes : public SectionWidget {
    Q_OBJECT
public:
    SectionOpcoes(EditorContext& context, QWidget* parent = nullptr);
    void ApplyVariant() override;

    // The check box of option `number` (16 × byte index + bit), null when the variant lacks it.
    QCheckBox* OptionBox(int number) const { return m_boxes.value(number); }
    QComboBox* cmbReporte = nullptr;
    QSpinBox* spnAjusteRelogio = nullptr;

Q_SIGNALS:
    // "Particionada" changed: the zones recaption their stay boxes and re-run their types.
    void PartitionChanged();

protected:
    void Decode(const ProgrammingImage& image) override;
    void MarkOwnDifferences() override;

private:
    void OptionClicked(int number, bool on);
    void UpdateStates(const ProgrammingImage& image);

    QGridLayout* m_optionGrid = nullptr;
    QWidget* m_optionArea = nullptr;
    QLabel* lblAjusteRelogio = nullptr;
    QStringList m_shownOptions; // number and caption of each box built
    QMap<int, QCheckBox*> m_boxes;
    struct LabelPair {
        QLabel* whenSet;
        QLabel* whenClear;
    };
    QMap<int, LabelPair> m_labels;
};
