#include "printing/PRT_Globals.h"

#include <algorithm>
#include <cmath>
#include <limits>

QString G_Esc;
QString G_Esc0, G_Esc1, G_Esc2, G_Esc3, G_Esc4, G_Esc5, G_Esc6;
double G_PrtPasso = 1.0;
QString G_PrtCrLf = QStringLiteral("\r\n");
qint16 G_PrtMaxRow = 0;
qint16 G_PrtTest = 0;
QString G_PrtOut;
double G_PrtRiga = 0;
qint32 G_PrtRighe = 0;
qint32 G_PrtCopie = 1;
QString G_PrtFont;
float G_PrtFontSiz = 0;
qint32 G_PrtScaleH = 0;
qint32 G_PrtScaleW = 0;

void PRT_SetControlValues()
{
    G_Esc = QString(QChar(27));
    G_Esc0 = G_Esc + QLatin1Char('0');
    G_Esc1 = G_Esc + QLatin1Char('1');
    G_Esc2 = G_Esc + QLatin1Char('2');
    G_Esc3 = G_Esc + QLatin1Char('3');
    G_Esc4 = G_Esc + QLatin1Char('4');
    G_Esc5 = G_Esc + QLatin1Char('5');
    G_Esc6 = G_Esc + QLatin1Char('6');
    G_PrtPasso = 1.0;
    G_PrtCrLf = QStringLiteral("\r\n");
}

qint16 PRT_Rows16(double rows)
{
    if (std::isnan(rows)) return 0;
    return qint16(std::clamp(rows, double(std::numeric_limits<qint16>::min()),
                             double(std::numeric_limits<qint16>::max())));
}
