#pragma once
#include <QString>

// Values the line printer engine shares with the rest of the program. The escape
// codes and the row step are prepared once by InitVBProc.

// The escape character (code 27) and the in-line codes escape + "0" .. escape + "6":
// 0 normal font (styles off), 1 normal font, 2 compressed font, 3 italic, 4 bold,
// 5 underline, 6 super-compressed font.
extern QString G_Esc;
extern QString G_Esc0, G_Esc1, G_Esc2, G_Esc3, G_Esc4, G_Esc5, G_Esc6;
// Rows advanced after each printed line.
extern double G_PrtPasso;
// Line end of printed and print-to-disk lines.
extern QString G_PrtCrLf;
// Body rows of a page: Lunghezza - Bottom - Top of the selected printer.
extern qint16 G_PrtMaxRow;
// Landscape test layout requested by the printer test page.
extern qint16 G_PrtTest;
// Output channel of the engine: "PRT" is the current printer.
extern QString G_PrtOut;
// Row of the next printed line, 0 at the printable area's top, in sixths of an inch.
extern double G_PrtRiga;
// Lines printed (set to Top at every new page).
extern qint32 G_PrtRighe;
// Copies of the next job; 1 after every job.
extern qint32 G_PrtCopie;
// The job's base font, chosen at INIT.
extern QString G_PrtFont;
extern float G_PrtFontSiz;
// Printable height and width in rows and columns, saved at INIT and put back at STOP.
extern qint32 G_PrtScaleH;
extern qint32 G_PrtScaleW;

// A row count as G_PrtMaxRow holds it: clamped to the 16-bit range before the
// conversion, so extreme margins in the settings give the nearest count, never a
// wrapped (or undefined) one.
qint16 PRT_Rows16(double rows);

// Sets G_Esc, the seven codes, G_PrtPasso = 1.0 and G_PrtCrLf = CR LF.
void PRT_SetControlValues();
