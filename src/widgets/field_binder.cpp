#include "widgets/field_binder.h"

#include "store/data_set.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPlainTextEdit>

namespace {

// Null and an empty text are the same "nothing"; other values compare by their text.
bool SameValue(const QVariant& stored, const QVariant& value) {
    const bool storedEmpty = stored.isNull() || stored.toString().isEmpty();
    const bool valueEmpty = value.isNull() || value.toString().isEmpty();
    if (storedEmpty || valueEmpty)
        return storedEmpty == valueEmpty;
    return stored.toString() == value.toString();
}

QVariant TextValue(const QString& text) {
    return text.isEmpty() ? QVariant(QMetaType(QMetaType::QString)) : QVariant(text);
}

} // namespace

FieldBinder::FieldBinder(QObject* parent) : QObject(parent) {}

void FieldBinder::Add(const Binding& binding) {
    m_bindings << binding;
    QWidget* control = binding.control;
    auto store = [this, control] {
        if (m_loading)
            return;
        if (const Binding* b = Find(control))
            Store(*b);
    };
    switch (binding.kind) {
    case Kind::Text:
    case Kind::Integer:
        connect(static_cast<QLineEdit*>(control), &QLineEdit::textChanged, this, store);
        break;
    case Kind::Memo:
        connect(static_cast<QPlainTextEdit*>(control), &QPlainTextEdit::textChanged, this, store);
        break;
    case Kind::Check:
        connect(static_cast<QCheckBox*>(control), &QCheckBox::toggled, this, store);
        break;
    case Kind::Lookup:
        connect(static_cast<QComboBox*>(control), &QComboBox::currentIndexChanged, this, store);
        break;
    }
}

void FieldBinder::BindText(QLineEdit* edit, DataSet& set, const QString& field, TextKind kind) {
    Add({edit, &set, field, kind == TextKind::Integer ? Kind::Integer : Kind::Text, {}, {}});
}

void FieldBinder::BindMemo(QPlainTextEdit* memo, DataSet& set, const QString& field) {
    Add({memo, &set, field, Kind::Memo, {}, {}});
}

void FieldBinder::BindCheck(QCheckBox* box, DataSet& set, const QString& field, const QString& checkedValue,
                            const QString& uncheckedValue) {
    Add({box, &set, field, Kind::Check, checkedValue, uncheckedValue});
}

void FieldBinder::BindLookup(QComboBox* combo, DataSet& set, const QString& field) {
    Add({combo, &set, field, Kind::Lookup, {}, {}});
}

const FieldBinder::Binding* FieldBinder::Find(QWidget* control) const {
    for (const Binding& b : m_bindings) {
        if (b.control == control)
            return &b;
    }
    return nullptr;
}

void FieldBinder::Show(const Binding& b) {
    const QVariant value = b.set->Value(b.field);
    switch (b.kind) {
    case Kind::Text:
    case Kind::Integer:
        static_cast<QLineEdit*>(b.control)->setText(value.isNull() ? QString() : value.toString());
        break;
    case Kind::Memo:
        static_cast<QPlainTextEdit*>(b.control)->setPlainText(value.toString());
        break;
    case Kind::Check:
        static_cast<QCheckBox*>(b.control)->setChecked(!value.isNull() && value.toString() == b.checkedValue);
        break;
    case Kind::Lookup: {
        auto* combo = static_cast<QComboBox*>(b.control);
        int index = -1;
        if (value.isNull()) { // the entry without a value, when the list has one
            for (int i = 0; i < combo->count() && index < 0; ++i)
                index = combo->itemData(i).isValid() ? -1 : i;
        } else {
            index = combo->findData(value.toInt());
        }
        combo->setCurrentIndex(index);
        break;
    }
    }
}

void FieldBinder::Store(const Binding& b) {
    QVariant value;
    switch (b.kind) {
    case Kind::Text:
        value = TextValue(static_cast<QLineEdit*>(b.control)->text());
        break;
    case Kind::Integer: {
        bool ok = false;
        const int number = static_cast<QLineEdit*>(b.control)->text().toInt(&ok);
        value = ok ? QVariant(number) : QVariant(QMetaType(QMetaType::Int));
        break;
    }
    case Kind::Memo:
        value = TextValue(static_cast<QPlainTextEdit*>(b.control)->toPlainText());
        break;
    case Kind::Check:
        value = static_cast<QCheckBox*>(b.control)->isChecked() ? b.checkedValue : b.uncheckedValue;
        break;
    case Kind::Lookup: {
        const QVariant data = static_cast<QComboBox*>(b.control)->currentData();
        value = data.isValid() ? QVariant(data.toInt()) : QVariant(QMetaType(QMetaType::Int));
        break;
    }
    }
    if (SameValue(b.set->Value(b.field), value))
        return;
    if (b.set->SetValue(b.field, value))
        Q_EMIT FieldWritten(b.control);
}

void FieldBinder::Load() {
    m_loading = true;
    for (const Binding& b : m_bindings)
        Show(b);
    m_loading = false;
}

void FieldBinder::Load(QWidget* control) {
    if (const Binding* b = Find(control)) {
        m_loading = true;
        Show(*b);
        m_loading = false;
    }
}

void FieldBinder::Write(QWidget* control) {
    if (const Binding* b = Find(control))
        Store(*b);
}
