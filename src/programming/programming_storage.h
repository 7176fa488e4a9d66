#pragma once

#include "programming/programming_image.h"

#include <QMap>
#include <QVariantMap>

// Storage mapping between a customer's `ImagemPC` and the rows of the programming tables.
//
// The rows hold what the editor shows, not image bytes: decoded texts for the bound columns, list
// positions, bit masks and times of day for the computed ones. These functions are free of SQL:
// the data module reads a row into a QVariantMap (column name -> value, names compared without
// letter case) and writes the map produced here back with a parameterised statement. Columns that
// do not come from the image (keys, ID_PAINEL, names of zones and users, the panel's telephone and
// address, CLIENTES) are neither produced nor read; the caller merges the maps into its rows.
//
// Columns per table (types as the values carry them: int, QString, QTime):
//   PAINEL   CODIGO_PAINEL, CODIGO_PC (text, four digits)
//   FONES    CENTRAL_MONIT_1, CENTRAL_MONIT_2, PC (text); NUM_RINGS (int, position 0..14 of the
//            list "1".."15"); FORMATO_COMUNIC (int, position in the format list of the model and
//            stored version)
//   OPCOES   PROGBIT_1..PROGBIT_4 (5-zone: ..PROGBIT_6), PGM1..PGM4 (int, position in the PGM mode
//            list), CONTA_PART_A, CONTA_PART_B (10-zone only), DIGITOCOACAO (text), AJUSTERELOGIO (int)
//   REPORT   DIG_* and COD_* (text); COD_NAO_MOVIMENTO for product codes 3 and 4 only,
//            COD_REST_LINHA_TELEFONICA 10-zone only
//   TEMPOS   ENTRADA, SAIDA, SIRENE, PGM, ZONA_INTELIG, SEM_AC, ENGANA_SECRET,
//            INTERVALO_AUTO_TESTE (int); NAO_MOVIMENTO (int, product codes 3 and 4 only);
//            HORA_AUTO_ARME, HORA_AUTO_TESTE, HORA_ACIONAMENTO_PGM, HORA_DESACIONAMENTO_PGM (time)
//   USUARIOS SENHA_MASTER, SENHA_INSTALADOR, SENHA_USUARIO01..48 (5-zone ..15) (text);
//            ATRIB_USUARIO01..48 (5-zone ..15) (int)
//   ZONAS    HABDESABZONA, ZONA24H, ZONAPARTICAOA (10-zone only), ZONAPARTICAOB, ZONASILENCIOSA,
//            ZONASEGUIDORA, ZONATEMPOENTRADA, ZONATEMPOSAIDA, ZONAINTELIGENTE, ZONAAUTOANULAVEL,
//            ZONADEFOGO, ZONABYPASS (int masks); ATRIB_ZONA9, ATRIB_ZONA10 (int, 10-zone only)
//
// A list field whose byte is no entry of its list is stored as position -1, and loading -1 (or
// any position beyond the list) leaves the byte as it was. A time whose hour or minute byte is no
// valid BCD value is stored as null, and loading a null time leaves its bytes as they were.

// The customer's model as the mapping needs it: the product code picks the family and the fields
// of codes 3 and 4; the stored version picks the communication format list.
struct PanelModel {
    int productCode = 1;
    QString storedVersion;
};

// Rows of the seven tables keyed by table name ("PAINEL", "FONES", ...).
using ProgrammingRows = QMap<QString, QVariantMap>;

// Storing: the columns of one table from the image (what a save writes).
QVariantMap RowFromImage(ProgrammingTable table, const ProgrammingImage& image, const PanelModel& model);
ProgrammingRows RowsFromImage(const ProgrammingImage& image, const PanelModel& model);

// Loading: writes one table's columns into the image as the editor fields would. A column missing
// from the map leaves its bytes alone (a database of the older shape lacks NAO_MOVIMENTO and
// COD_NAO_MOVIMENTO); a null column counts as an empty text or, for a computed integer column, 0.
// The zones are normalised by their zone type afterwards, which depends on the partitioned option:
// ApplyRowsToImage therefore loads OPCOES before ZONAS.
void ApplyRowToImage(ProgrammingTable table, const QVariantMap& row, ProgrammingImage& image,
                     const PanelModel& model);
void ApplyRowsToImage(const ProgrammingRows& rows, ProgrammingImage& image, const PanelModel& model);

// The column names RowFromImage produces for a table and model.
QStringList ImageColumns(ProgrammingTable table, const PanelModel& model);
