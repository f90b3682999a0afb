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

// Sets G_Esc, the seven codes, G_PrtPasso = 1.0 and G_PrtCrLf = CR LF.
void PRT_SetControlValues();
