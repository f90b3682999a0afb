#pragma once
#include "platform/ado/Ado.h"

#include <QString>

// Shows an open recordset in the list window as fixed-width lines (or, in batch mode,
// writes them to "<name>.DBP" in the current folder), with an information block about
// where the rows came from, and appends what it shows to G_DirApp "RS2LIST_<name>.LOG".
// A null rs is "no recordset". On return the recordset is open, on its first record when it
// has records, with its filter unchanged; maxCol (clamped to 10..255 when above 0) and
// numDec may have changed. From the field list on, an ado::Error goes to the caller.
void Rs2List(ado::Recordset* rs, const QString& nomeLista, qint32 maxRec, qint16& maxCol, bool batch,
             bool noInfo, qint16& numDec, bool verticale);
