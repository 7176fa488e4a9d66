#include "programming/panel_codes.h"

#include "programming/programming_images.h"

PanelCodes PanelCodesOf(const ProgrammingImage& image) {
    return {image.text(ProgField::PanelCode), image.text(ProgField::PcCode)};
}

QString PanelCodeOnLeave(const QString& text) {
    return text.isEmpty() ? kFactoryPanelCode : text.rightJustified(4, QLatin1Char('0'));
}

QString PcCodeOnLeave(const QString& text) {
    return text.isEmpty() ? kFactoryPanelCode : text.rightJustified(4, QLatin1Char('0'));
}

bool MarkPanelCodes(const ProgrammingImages& images, ChunkMarks& marks) {
    return images.markSection(ProgSection::CodigosPainel, marks);
}

QString PanelCodesEqualMessage() {
    return SectionEqualMessage(ProgSection::CodigosPainel);
}

int CodeGroupProductCode(const QVariant& produto, int connectedProduct) {
    if (produto.isNull())
        return connectedProduct;
    bool ok = false;
    const int code = produto.toString().trimmed().toInt(&ok);
    return ok ? code : -1;
}
