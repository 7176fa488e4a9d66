#include "programming/ui/section_pgms.h"

#include "programming/programming_image.h"
#include "programming/ui/editor_context.h"

#include <QComboBox>
#include <QGridLayout>

namespace {

constexpr ProgField kPgmFields[] = {ProgField::Pgm1Mode, ProgField::Pgm2Mode, ProgField::Pgm3Mode,
                                    ProgField::Pgm4Mode};

} // namespace

SectionPgms::SectionPgms(EditorContext& context, QWidget* parent)
    : SectionWidget(ProgSection::Pgms, context, parent) {
    auto* grid = new QGridLayout(Body());
    const QStringList modes = PgmModeList(context.family());
    for (int k = 0; k < 4; ++k) {
        Caption(grid, k, 0, QStringLiteral("PGM %1:").arg(k + 1));
        QComboBox* combo = cmbPgm[k] = new QComboBox;
        combo->setObjectName(QStringLiteral("cmbPgm%1").arg(k + 1));
        combo->addItems(modes);
        grid->addWidget(combo, k, 1);
        const ProgField field = kPgmFields[k];
        connect(combo, &QComboBox::currentIndexChanged, this, [this, combo, field](int index) {
            if (Quiet() || index < 0)
                return;
            Context().PC().setText(field, combo->itemText(index).left(2));
            Context().Wrote();
        });
    }
    grid->setColumnStretch(2, 1);
}

void SectionPgms::MarkOwnDifferences() {
    for (int k = 0; k < 4; ++k)
        Mark(cmbPgm[k], Differs(FieldOffset(kPgmFields[k], Context().family())));
}

void SectionPgms::Decode(const ProgrammingImage& image) {
    for (int k = 0; k < 4; ++k)
        cmbPgm[k]->setCurrentIndex(
            OptionListPosition(PgmModeList(image.family()), image.value(kPgmFields[k])));
}
