#pragma once
#include <QString>
#include <QStringList>

// What the printer test page prints: the set-up window's values as they stand, saved
// or not.
struct PrtTestValues {
    QString title;   // the window's caption, title of the page questions
    QString printer; // the printer section shown
    QString righe, colonne, colore, top, bottom;
    QString fontNor, sizeNor, fontComp, sizeComp, fontSComp, sizeSComp;
    bool landscape = false; // the printer handles landscape
};

// The portrait page's lines, with the print quality the printer object reports after
// INIT. The rulers follow the width read like Val: a width that is no number is 0.
QStringList PRT_TestPortraitLines(const PrtTestValues& v, int printQuality);
// The landscape page's lines.
QStringList PRT_TestLandscapeLines(const PrtTestValues& v);

// Asks for the test, then for each page, prints each page asked for as a job of its
// own on the current printer, and tells how it went.
void PRT_TestPage(const PrtTestValues& v);
