#pragma once

#include "programming/ui/section_widget.h"

class QComboBox;
class QLineEdit;

// "Comunic.": the rings before answering, the communication format, the account numbers and the
// three telephone numbers (monitoring stations 1 and 2, the PC).
class SectionComunicacao : public SectionWidget {
    Q_OBJECT
public:
    SectionComunicacao(EditorContext& context, QWidget* parent = nullptr);
    void ApplyVariant() override;

    QComboBox* cmbRings = nullptr;
    QComboBox* cmbFormato = nullptr;

protected:
    void Decode(const ProgrammingImage& image) override;
    void MarkOwnDifferences() override;

private:
    QList<QLineEdit*> m_phones;
    QList<QWidget*> m_accountB;
};
