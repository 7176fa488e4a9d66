#pragma once

#include "programming/chunk_marks.h"

#include <QString>
#include <QVariant>

class ProgrammingImage;
class ProgrammingImages;

// The panel and PC code group of the customer screen ("Fonte dos Dados" PC / Alarme and
// "Enviar para o Painel"). The codes live in image bytes 112..113 (panel code) and 114..115
// (PC code) and are written with ProgrammingImage::setText(ProgField::PanelCode / ProgField::PcCode).

// The code a new customer starts with, and what an emptied PC code field becomes.
inline const QString kFactoryPanelCode = QStringLiteral("6093");

struct PanelCodes {
    QString panelCode;
    QString pcCode;
};

// The two codes as the fields show them, from `ImagemPC` ("PC") or `ImagemAlarme` ("Alarme").
PanelCodes PanelCodesOf(const ProgrammingImage& image);

// Leaving the code fields: an empty code becomes "6093", the factory code, otherwise it is padded
// on the left with "0" to four digits.
QString PanelCodeOnLeave(const QString& text);
QString PcCodeOnLeave(const QString& text);

// "Enviar para o Painel": marks chunk 0 of block 7 when bytes 112..115 differ between the images.
// When this returns false nothing needs writing and the screen shows PanelCodesEqualMessage().
bool MarkPanelCodes(const ProgrammingImages& images, ChunkMarks& marks);
QString PanelCodesEqualMessage();

// The product code whose images the group works on: CLIENTES.PRODUTO when not null, otherwise
// the link's `ConnectedProduct`.
int CodeGroupProductCode(const QVariant& produto, int connectedProduct);
