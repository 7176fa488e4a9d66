#pragma once

#include <QFont>
#include <QString>

struct Settings;

// The company's header on every printed page, as the general options set it: the title and
// subtitle lines with their font styles ("fsBold", "fsItalic", "fsUnderline" run together, letter
// case ignored) and the logo picture file.
struct PrintHeader {
    QString line1;
    QString style1;
    QString line2;
    QString style2;
    QString logoPath; // empty: no logo

    static PrintHeader FromSettings(const Settings& settings);
};

// The footer of every printed page, beside its page number.
inline const QString kFooterProductLine = QStringLiteral("Telvora - Programação de painéis de alarme");
inline const QString kFooterAddress = QStringLiteral("www.telvora.com.br");

// `font` with the styles a style text names switched on.
QFont WithStyleText(QFont font, const QString& styles);

// The message for a logo file that cannot be opened (the page prints without it).
QString LogoMissingMessage(const QString& path);
