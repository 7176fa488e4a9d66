#pragma once

#include "programming/ui/section_widget.h"

#include <QPointer>

class QLabel;
class QLineEdit;

// "Tempos": the delays and times of block 0 and the four times of day. Each field is checked when
// it is left: a time must be a number 0..255, an hour 0..23, a minute 0..59; a field that is not
// gets the balloon, keeps the focus and sets `ValidationPending` until it is corrected.
class SectionTempos : public SectionWidget {
    Q_OBJECT
public:
    SectionTempos(EditorContext& context, QWidget* parent = nullptr);
    void ApplyVariant() override;

    static constexpr int kMaxTime = 255;

protected:
    void Decode(const ProgrammingImage& image) override;

private:
    enum class Check { Time, Hour, Minute };
    QLineEdit* AddChecked(ProgField field, const char* name, Check check);
    void CheckOnLeave(QLineEdit* edit, Check check);
    void UpdateTexts();

    QLineEdit* edtAutoTeste = nullptr;
    QLineEdit* edtNaoMovimento = nullptr;
    QLabel* lblAutoTesteTexto = nullptr;
    QLabel* lblAutoTesteUnidade = nullptr;
    QLabel* lblNaoMovimentoTexto = nullptr;
    QLabel* lblPgmUnidade = nullptr;
    QList<QWidget*> m_noMovementRow;
    QPointer<QLineEdit> m_pending; // the field that failed its check
};
