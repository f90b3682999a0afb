#include "printing/PRT_TestPage.h"

#include "foundation/M_MV.h"
#include "platform/Dialogs.h"
#include "platform/printers/PrinterObject.h"
#include "printing/PRT_Stampa.h"
#include "qor/Cl_QOR.h"

namespace
{

QString ruler(int n)
{
    return Qor().Replicate(n, QStringLiteral("123456789_"));
}

double widthOf(const PrtTestValues& v)
{
    return Qor().ToDouble(v.colonne);
}

// Lines shared by both pages.
QString superStyles()
{
    return G_Esc0 + G_Esc6 + QStringLiteral("SuperCompresso ") + G_Esc4 + QStringLiteral("Grassetto ") + G_Esc0 +
           G_Esc6 + G_Esc3 + QStringLiteral("Italico ") + G_Esc0 + G_Esc6 + G_Esc5 + QStringLiteral("Sottolineato") +
           G_Esc0 + G_Esc6 + QStringLiteral(" Normale");
}

QString compStyles()
{
    return G_Esc2 + QStringLiteral("Compresso ") + G_Esc4 + QStringLiteral("Grassetto ") + G_Esc0 + G_Esc2 +
           G_Esc3 + QStringLiteral("Italico ") + G_Esc0 + G_Esc2 + G_Esc5 + QStringLiteral("Sottolineato") + G_Esc0 +
           G_Esc2 + QStringLiteral(" Normale");
}

QString compAll()
{
    return G_Esc2 + QStringLiteral("Compresso ") + G_Esc4 + QStringLiteral("Grassetto ") + G_Esc3 +
           QStringLiteral("Italico ") + G_Esc5 + QStringLiteral("Sottolineato") + G_Esc0 + G_Esc2 +
           QStringLiteral(" Normale") + G_Esc0;
}

QString normStyles()
{
    return QStringLiteral("Normale ") + G_Esc4 + QStringLiteral("Grassetto ") + G_Esc0 + G_Esc3 +
           QStringLiteral("Italico ") + G_Esc0 + G_Esc5 + QStringLiteral("Sottolineato") + G_Esc0 +
           QStringLiteral(" Normale");
}

QString normAll()
{
    return QStringLiteral("Normale ") + G_Esc4 + QStringLiteral("Grassetto ") + G_Esc3 + QStringLiteral("Italico ") +
           G_Esc5 + QStringLiteral("Sottolineato") + G_Esc0 + QStringLiteral(" Normale");
}

QString superSample()
{
    return G_Esc0 + QStringLiteral("Normale ") + G_Esc6 + QStringLiteral("Prova Supercompresso ") + G_Esc0 +
           QStringLiteral("Normale");
}

QString compSample()
{
    return G_Esc0 + QStringLiteral("Normale ") + G_Esc2 + QStringLiteral("Prova compresso ") + G_Esc0 +
           QStringLiteral("Normale");
}

// One page as one job: INIT, its lines, STOP. Returns what went wrong, "" when printed.
QString printPage(bool landscape, const PrtTestValues& v)
{
    PrtRun run;
    G_PrtTest = landscape ? 1 : 0;
    G_PrtOut = QStringLiteral("PRT");
    PRT_Stampa(QStringLiteral("INIT"));
    const QStringList lines =
        landscape ? PRT_TestLandscapeLines(v) : PRT_TestPortraitLines(v, Printer().PrintQuality());
    for (const QString& l : lines) {
        PRT_Stampa(l);
        // A job that could not start takes no more lines.
        if (Printer().jobFailed()) break;
    }
    PRT_Stampa(QStringLiteral("STOP"));
    return run.failureText();
}

} // namespace

QStringList PRT_TestPortraitLines(const PrtTestValues& v, int printQuality)
{
    const bool land = v.landscape;
    const bool wide = widthOf(v) > 130;
    const QString blank = QStringLiteral(" ");
    QStringList l;
    l << G_Esc2 + G_Esc0 + QStringLiteral("Stampante : ") + G_Esc4 + v.printer + G_Esc0;
    l << blank;
    l << G_Esc5 + QStringLiteral("Dati Fissi.") + G_Esc0;
    l << QStringLiteral("Righe (1/6\") = ") + v.righe;
    l << QStringLiteral("Colonne (1/10\") = ") + v.colonne;
    l << QStringLiteral("Landscape possibile = ") + (land ? QStringLiteral("Si") : QStringLiteral("No"));
    l << QStringLiteral("Modo colore = ") + v.colore;
    l << blank;
    l << G_Esc5 + QStringLiteral("Dati Utente.") + G_Esc0;
    l << QStringLiteral("Righe vuote TOP = ") + v.top;
    l << QStringLiteral("Righe vuote BOTTOM = ") + v.bottom;
    l << QStringLiteral("Font NORMALE = ") + v.fontNor + QStringLiteral(" : ") + v.sizeNor;
    l << QStringLiteral("Font COMPRESSO = ") + v.fontComp + QStringLiteral(" : ") + v.sizeComp;
    if (land) l << QStringLiteral("Font SuperCOMPRESSO = ") + v.fontSComp + QStringLiteral(" : ") + v.sizeSComp;
    l << blank;
    l << QStringLiteral("Quality =") + QString::number(printQuality);
    l << blank;
    l << compSample();
    if (land) {
        const QString superAll = G_Esc6 + QStringLiteral("SuperCompresso ") + G_Esc4 + QStringLiteral("Grassetto ") +
                                 G_Esc3 + QStringLiteral("Italico ") + G_Esc5 + QStringLiteral("Sottolineato") +
                                 G_Esc0 + G_Esc2 + QStringLiteral(" Normale") + G_Esc0;
        l << superSample();
        l << blank;
        l << superStyles();
        l << superAll;
        l << G_Esc6 + ruler(21) + G_Esc0;
        l << superAll;
        l << blank;
    }
    l << compStyles();
    l << compAll();
    l << G_Esc2 + ruler(wide ? 24 : 14) + G_Esc0;
    l << blank;
    l << normStyles();
    l << normAll();
    l << ruler(wide ? 9 : 14);
    return l;
}

QStringList PRT_TestLandscapeLines(const PrtTestValues&)
{
    const QString blank = QStringLiteral(" ");
    const QString superAll = G_Esc6 + QStringLiteral("SuperCompresso ") + G_Esc4 + QStringLiteral("Grassetto ") +
                             G_Esc3 + QStringLiteral("Italico ") + G_Esc5 + QStringLiteral("Sottolineato") + G_Esc0 +
                             G_Esc6 + QStringLiteral(" Normale") + G_Esc0;
    QStringList l;
    l << G_Esc2 + compSample();
    l << blank;
    l << superSample();
    l << blank;
    l << superStyles();
    l << superAll;
    l << G_Esc6 + ruler(23) + G_Esc0;
    l << superAll;
    l << blank;
    l << compStyles();
    l << compAll();
    l << G_Esc2 + ruler(23) + G_Esc0;
    l << blank;
    l << normStyles();
    l << normAll();
    l << ruler(23);
    return l;
}

void PRT_TestPage(const PrtTestValues& v)
{
    G_Risp = MsgBox(QStringLiteral("Confermi TEST Stampante ?"), vb::YesNo | vb::Question | vb::DefaultButton2,
                    QStringLiteral("FormPRT"));
    if (G_Risp == vb::No) return;

    QStringList failures;
    auto keep = [&failures](const QString& f) {
        // Two pages refused for the same reason tell it once.
        if (!f.isEmpty() && !failures.contains(f)) failures << f;
    };
    G_Risp = MsgBox(QStringLiteral("Vuoi TEST stampa in PORTRAIT ?"), vb::YesNo | vb::Question, v.title);
    if (G_Risp == vb::Yes) keep(printPage(false, v));
    if (v.landscape) {
        G_Risp = MsgBox(QStringLiteral("Vuoi TEST stampa in LANDSCAPE ?"),
                        vb::YesNo | vb::Question | vb::DefaultButton2, v.title);
        if (G_Risp == vb::Yes) keep(printPage(true, v));
    }

    if (failures.isEmpty()) {
        MsgBox(QStringLiteral("TEST Stampante terminato !"), vb::OKOnly);
    } else {
        MsgBox(failures.join(QStringLiteral("\r\n\r\n")), vb::OKOnly | vb::Critical, QStringLiteral("FormPRT"));
        Beep();
    }
}
