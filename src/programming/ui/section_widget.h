#pragma once

#include "programming/image_layout.h"

#include <QGroupBox>
#include <QList>

class EditorContext;
class ProgrammingImage;
class QGridLayout;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;

// One section of a programming editor ("Zonas", "Usuários", ...): a frame with the section's
// "Fonte dos Dados" choice ("PC" edits `ImagemPC`, "Alarme" shows `ImagemAlarme` read-only), its
// "Enviar para o alarme" and "Carregar dados do alarme para o PC" buttons, and the section's
// controls in its body. Every control writes its field into `ImagemPC` as soon as it changes; the
// section itself keeps no programming.
//
// A section only decodes images into its controls; what the commands do is the window's
// (SendRequested, LoadRequested).
// The one-line legend of the difference marks, under the editor's sections.
inline const QString kLegendaDiferencas = QStringLiteral(
    "Fundo amarelo: valor diferente da programação lida do painel (o valor do painel aparece ao "
    "parar o mouse sobre o campo).");
// The tool tip of a marked control: the panel's value.
inline QString MsgValorNoPainel(const QString& value) {
    return QStringLiteral("Valor no painel: %1").arg(value);
}

class SectionWidget : public QGroupBox {
    Q_OBJECT
public:
    SectionWidget(ProgSection section, EditorContext& context, QWidget* parent = nullptr);

    ProgSection Section() const { return m_section; }

    // "PC": the controls from `ImagemPC`, editable. "Alarme": from `ImagemAlarme`, disabled.
    void ShowFromPC();
    void ShowFromAlarm();
    bool ShowsAlarm() const;
    // The controls again from the image the section shows.
    void Refresh();
    // The window's show step: captions and visibility follow the model and the stored version.
    virtual void ApplyVariant() {}
    // Marks the controls whose bytes differ between `ImagemPC` and the panel's copy, once a panel's
    // copy was read (without one nothing is marked).
    void MarkDifferences();
    // Whether a control is marked as differing from the panel.
    static bool IsMarked(const QWidget* control);
    // The colour of a marked control's ground (a check box's or radio button's text).
    static QColor MarkColour(const QWidget* control);

    QRadioButton* rbFontePC = nullptr;
    QRadioButton* rbFonteAlarme = nullptr;
    QPushButton* btnEnviar = nullptr;
    QPushButton* btnCarregar = nullptr;

Q_SIGNALS:
    void SendRequested(ProgSection section);
    void LoadRequested(ProgSection section);

protected:
    // Fills the controls from `image` (LoadingFromImage is set meanwhile).
    virtual void Decode(const ProgrammingImage& image) = 0;
    // The section's own controls beyond the fields of AddField: each marked through Mark().
    virtual void MarkOwnDifferences() {}
    void Mark(QWidget* control, bool differs);
    // Bytes first..first+count-1, or one bit of a byte, differ from a read panel's copy.
    bool Differs(int first, int count = 1) const;
    bool BitDiffers(int byte, int bit) const;

    QWidget* Body() const { return m_body; }
    EditorContext& Context() const { return m_context; }
    // A change handler returns at once while this is true.
    bool Quiet() const;

    // A text field for a scalar field of the image: it takes only `characters` (all when empty),
    // at most `maxLength` of them, writes its field on every change and is decoded by Decode's
    // base part (DecodeFields).
    QLineEdit* AddField(ProgField field, const char* name, const QString& characters, int maxLength);
    void DecodeFields(const ProgrammingImage& image);
    // A caption label and a field in a row of a grid.
    static QLabel* Caption(QGridLayout* grid, int row, int column, const QString& text);

private:
    // The tool tips of the marked fields and boxes: the panel's value (unmarked controls have
    // their own tool tip back).
    void ShowPanelValues();

    struct FieldEdit {
        ProgField field;
        QLineEdit* edit;
    };
    ProgSection m_section;
    EditorContext& m_context;
    QWidget* m_body;
    QList<FieldEdit> m_fields;
    bool m_alarmRead = false; // ImagemAlarme holds a panel's programming
};
