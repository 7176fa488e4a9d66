#pragma once

#include "programming/editor_variant.h"
#include "workspace/customer_record.h"

#include <QObject>

struct LoggedOperator;

// What the sections of a programming editor share: the open customer (its images and the flags
// `LoadingFromImage` and `ProgramacaoAlterada`), the logged operator, the model and version the
// window adapts to, and `ValidationPending`. The images are the only state: the sections keep
// nothing of the programming themselves.
class EditorContext : public QObject {
    Q_OBJECT
public:
    EditorContext(CustomerRecord& record, const LoggedOperator& op, QObject* parent = nullptr)
        : QObject(parent), record(record), op(op) {}

    CustomerRecord& record;
    const LoggedOperator& op;
    EditorVariant variant;
    // A time, hour or minute field failed its check when it was left and still holds the focus:
    // navigation and the section commands only go back to the times.
    bool ValidationPending = false;

    ProgrammingImage& PC() { return record.Images().ImagemPC; }
    const ProgrammingImage& Alarm() const { return record.Images().ImagemAlarme; }
    ProductFamily family() const { return record.Images().family(); }
    int productCode() const { return record.ProductCode(); }
    // A change handler must not write while the controls are filled from an image.
    bool Loading() const { return record.LoadingFromImage; }
    // A control wrote its field into `ImagemPC`.
    void Wrote() {
        record.ProgramacaoAlterada = true;
        Q_EMIT ImageEdited();
    }

Q_SIGNALS:
    void ImageEdited();
};

// Sets `LoadingFromImage` for as long as it lives (and puts back what it was).
class LoadingGuard {
public:
    explicit LoadingGuard(CustomerRecord& record) : m_record(record), m_was(record.LoadingFromImage) {
        record.LoadingFromImage = true;
    }
    ~LoadingGuard() { m_record.LoadingFromImage = m_was; }
    LoadingGuard(const LoadingGuard&) = delete;
    LoadingGuard& operator=(const LoadingGuard&) = delete;

private:
    CustomerRecord& m_record;
    bool m_was;
};
