#pragma once

#include "programming/ui/section_widget.h"

class QLineEdit;

// "Reporte": the report digits (one hexadecimal digit each) and the report codes (two digits) of
// the 4x2 format. A code left with one digit gets the balloon "O Código tem que ter dois dígitos".
class SectionReporte : public SectionWidget {
    Q_OBJECT
public:
    SectionReporte(EditorContext& context, QWidget* parent = nullptr);
    void ApplyVariant() override;

protected:
    void Decode(const ProgrammingImage& image) override;

private:
    QList<QWidget*> m_noMovementRow;
};
