#include "printing/rtf_writer.h"

#include "printing/document_text.h"
#include "printing/paged_document.h"

#include <QDir>
#include <QFileInfo>
#include <QSaveFile>

namespace {

// A4 in twips, with margins of 1.5 cm.
constexpr int kPaperWidth = 11906;
constexpr int kPaperHeight = 16838;
constexpr int kMargin = 850;
constexpr int kTextWidth = kPaperWidth - 2 * kMargin;

// Text in RTF: the control characters escaped, Latin-1 letters as \'hh, the rest as \uN.
QByteArray Escaped(const QString& text) {
    QByteArray out;
    for (const QChar c : text) {
        const ushort u = c.unicode();
        if (u == '\\' || u == '{' || u == '}') {
            out += '\\';
            out += char(u);
        } else if (u == '\n') {
            out += "\\line ";
        } else if (u == '\t') {
            out += "\\tab ";
        } else if (u < 0x20 || u == '\r') {
            continue;
        } else if (u < 0x80) {
            out += char(u);
        } else if (u <= 0xFF) {
            out += "\\'" + QByteArray::number(u, 16).rightJustified(2, '0');
        } else {
            out += "\\u" + QByteArray::number(short(u)) + '?';
        }
    }
    return out;
}

QByteArray Run(const DocumentRun& run) {
    QByteArray out = "{";
    if (run.bold)
        out += "\\b";
    if (run.faint)
        out += "\\cf2";
    out += ' ' + Escaped(run.text) + '}';
    return out;
}

QByteArray Runs(const QList<DocumentRun>& runs) {
    QByteArray out;
    for (const DocumentRun& run : runs)
        out += Run(run);
    return out;
}

QByteArray StyledLine(const QString& text, const QString& styles, int halfPoints) {
    QByteArray look = "\\fs" + QByteArray::number(halfPoints);
    if (styles.contains(QLatin1String("fsBold"), Qt::CaseInsensitive))
        look += "\\b";
    if (styles.contains(QLatin1String("fsItalic"), Qt::CaseInsensitive))
        look += "\\i";
    if (styles.contains(QLatin1String("fsUnderline"), Qt::CaseInsensitive))
        look += "\\ul";
    return "\\pard\\qc{" + look + ' ' + Escaped(text) + "}\\par\n";
}

QByteArray Table(const DocumentBlock& block) {
    QByteArray out;
    for (int r = 0; r < block.rows.size(); ++r) {
        const QList<DocumentCell>& row = block.rows.at(r);
        if (row.isEmpty())
            continue;
        out += "\\trowd\\trgaph70\\trleft0";
        if (block.firstRowTitles && r == 0)
            out += "\\trhdr";
        for (int c = 0; c < row.size(); ++c) {
            const bool last = c + 1 == row.size();
            const double right = last ? 1.0 : block.stops.value(c + 1, double(c + 1) / row.size());
            if (block.firstRowTitles && r == 0)
                out += "\\clbrdrb\\brdrs\\brdrw10";
            out += "\\cellx" + QByteArray::number(int(right * kTextWidth));
        }
        out += '\n';
        for (const DocumentCell& cell : row) {
            QList<DocumentRun> runs = cell;
            if (block.firstRowTitles && r == 0) {
                for (DocumentRun& run : runs)
                    run.bold = true;
            }
            out += "\\pard\\intbl\\ql " + Runs(runs) + "\\cell\n";
        }
        out += "\\row\n";
    }
    return out + "\\pard\n";
}

QByteArray Block(const DocumentBlock& block) {
    switch (block.kind) {
    case DocumentBlock::Kind::Heading:
        return "\\pard\\sb120\\sa60\\keepn{\\fs22\\b " + Runs(block.runs) + "}\\par\n";
    case DocumentBlock::Kind::Paragraph:
        return "\\pard\\sa40 " + Runs(block.runs) + "\\par\n";
    case DocumentBlock::Kind::Table:
        return Table(block);
    }
    return {};
}

} // namespace

QByteArray RtfDocumentBytes(const PagedDocument& document, const PrintHeader& header,
                            const QDateTime& printedAt) {
    QByteArray out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1\n"
                     "{\\fonttbl{\\f0\\fswiss Arial;}}\n"
                     "{\\colortbl;\\red0\\green0\\blue0;\\red160\\green160\\blue160;}\n";
    out += "\\paperw" + QByteArray::number(kPaperWidth) + "\\paperh" + QByteArray::number(kPaperHeight) +
           "\\margl" + QByteArray::number(kMargin) + "\\margr" + QByteArray::number(kMargin) + "\\margt" +
           QByteArray::number(kMargin) + "\\margb" + QByteArray::number(kMargin) + "\\f0\\fs18\n";
    const QString when = printedAt.toString(QStringLiteral("dd/MM/yyyy hh:mm"));
    const int pages = document.PageCount();
    for (int page = 0; page < pages; ++page) {
        if (page > 0)
            out += "\\page\n";
        if (!header.line1.isEmpty())
            out += StyledLine(header.line1, header.style1, 28);
        if (!header.line2.isEmpty())
            out += StyledLine(header.line2, header.style2, 20);
        const PageFrameTexts frame = document.Frame(page);
        out += "\\pard\\qr{\\fs16 " + Escaped(when) + "}\\par\n";
        out += "\\pard\\qc\\sb120\\brdrt\\brdrs\\brdrw10{\\fs24\\b " + Escaped(frame.title) + "}\\par\n";
        if (!frame.caption.isEmpty())
            out += "\\pard\\qr{\\b " + Escaped(frame.caption) + "}\\par\n";
        for (const DocumentBlock& block : document.TextBlocks(page))
            out += Block(block);
        out += "\\pard\\sb120\\brdrt\\brdrs\\brdrw10\\tqr\\tx" + QByteArray::number(kTextWidth) +
               "{\\fs16\\b " + Escaped(kFooterProductLine) + "}\\tab{\\fs16 " + QByteArray::number(page + 1) +
               '/' + QByteArray::number(pages) + "}\\par\n\\pard{\\fs14 " + Escaped(kFooterAddress) +
               "}\\par\n";
    }
    return out + "}\n";
}

bool WriteRtfDocument(const PagedDocument& document, const PrintHeader& header, const QString& path,
                      QString* error, const QDateTime& printedAt) {
    auto fail = [&](const QString& reason) {
        if (error)
            *error =
                QStringLiteral("Não foi possível gravar o arquivo %1.").arg(QDir::toNativeSeparators(path)) +
                (reason.isEmpty() ? QString() : QStringLiteral("\r") + reason);
        return false;
    };
    if (path.isEmpty() || QFileInfo(path).isDir())
        return fail(QString());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(RtfDocumentBytes(document, header, printedAt)) < 0 ||
        !file.commit())
        return fail(file.errorString());
    return true;
}
