#pragma once

#include "programming/ui/section_widget.h"

class QComboBox;

// "PGM's": the mode of each of the four programmable outputs.
class SectionPgms : public SectionWidget {
    Q_OBJECT
public:
    SectionPgms(EditorContext& context, QWidget* parent = nullptr);

    QComboBox* cmbPgm[4] = {};

protected:
    void Decode(const ProgrammingImage& image) override;
    void MarkOwnDifferences() override;
};
