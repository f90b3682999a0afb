#pragma once

// Builds the printer settings file "QOR_PRT.INI" in the Windows folder from the
// installed printers (printerCatalog()). onlyNew false rebuilds [System], [Default]
// and every printer section; true only adds sections for printers that have none.
void GeneraPrtINI(bool onlyNew);

// Snapping of the measured page (lines at 6 per inch, columns at 10 per inch) to the
// page lengths and widths a line printer job knows; -1 when the page is too small.
int PrtSnapLines(double lines);
int PrtSnapColumns(double columns);
