#include "printing/print_header.h"

#include "base/settings.h"

PrintHeader PrintHeader::FromSettings(const Settings& settings) {
    return {settings.Linha1, settings.Formato1Linha, settings.Linha2, settings.Formato2Linha,
            settings.PathLogoImpressao};
}

QFont WithStyleText(QFont font, const QString& styles) {
    if (styles.contains(QLatin1String("fsBold"), Qt::CaseInsensitive))
        font.setBold(true);
    if (styles.contains(QLatin1String("fsItalic"), Qt::CaseInsensitive))
        font.setItalic(true);
    if (styles.contains(QLatin1String("fsUnderline"), Qt::CaseInsensitive))
        font.setUnderline(true);
    return font;
}

QString LogoMissingMessage(const QString& path) {
    return QStringLiteral("O arquivo ") + path + QStringLiteral(" não pôde ser encontrado.\r") +
           QStringLiteral("Em opções gerais é possível alterar a imagem do logotipo.");
}
