#include "printing/document_text.h"

QStringList BlockTexts(const QList<DocumentBlock>& blocks) {
    QStringList texts;
    for (const DocumentBlock& block : blocks) {
        for (const DocumentRun& run : block.runs)
            texts << run.text;
        for (const QList<DocumentCell>& row : block.rows) {
            for (const DocumentCell& cell : row) {
                for (const DocumentRun& run : cell)
                    texts << run.text;
            }
        }
    }
    return texts;
}
