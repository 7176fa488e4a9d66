#pragma once

#include <QStringList>

// What the event filter dialog offers for a customer's product code (1 Orvan 10, 2 Orvan 5, 3 and 4
// the Max and Eco models).

// "Mestre", then "1" to "48" (10-zone family) or "1" to "15" (5-zone model).
QStringList FilterUserEntries(int productCode);
// "1" to "10" or "1" to "5".
QStringList FilterZoneEntries(int productCode);
// Every event text the customer's rows can hold, sorted alphabetically: the catalogue of a session
// download of that model and the catalogue of a panel calling in (the two differ above entry 27),
// each text once, spelled exactly as stored (the user and zone events with their trailing blank).
QStringList FilterEventEntries(int productCode);
