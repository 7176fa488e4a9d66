#pragma once

#include <QList>
#include <QObject>
#include <QString>
#include <QVariant>

class DataSet;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QPlainTextEdit;
class QWidget;

// Binds editing controls to fields of data sets, as data-aware controls do: Load() shows the
// current row (or edit buffer) in every control; an operator's change writes the control's value
// into the field at once, which puts a browsing set into edit. A change that leaves the field's
// value as it was writes nothing, so showing a row again never starts an edit. An empty text is
// written as null.
class FieldBinder : public QObject {
    Q_OBJECT
public:
    explicit FieldBinder(QObject* parent = nullptr);

    enum class TextKind { Text, Integer };
    void BindText(QLineEdit* edit, DataSet& set, const QString& field, TextKind kind = TextKind::Text);
    void BindMemo(QPlainTextEdit* memo, DataSet& set, const QString& field);
    // A check box over a text field: `checkedValue` when checked, `uncheckedValue` when not; any
    // other stored value shows unchecked.
    void BindCheck(QCheckBox* box, DataSet& set, const QString& field, const QString& checkedValue,
                   const QString& uncheckedValue);
    // A list whose entries carry the field's value as their item data; no entry selected, or an
    // entry without data, is null.
    void BindLookup(QComboBox* combo, DataSet& set, const QString& field);

    // Shows the fields in every control (or in one) without writing anything back.
    void Load();
    void Load(QWidget* control);
    bool Loading() const { return m_loading; }
    // Writes a control's value into its field now (for changes made by the program that must
    // reach the row, such as a padded code).
    void Write(QWidget* control);

Q_SIGNALS:
    // The control's value was written into its field.
    void FieldWritten(QWidget* control);

private:
    enum class Kind { Text, Integer, Memo, Check, Lookup };
    struct Binding {
        QWidget* control;
        DataSet* set;
        QString field;
        Kind kind;
        QString checkedValue;
        QString uncheckedValue;
    };
    void Add(const Binding& binding);
    void Show(const Binding& binding);
    void Store(const Binding& binding);
    const Binding* Find(QWidget* control) const;

    QList<Binding> m_bindings;
    bool m_loading = false;
};
