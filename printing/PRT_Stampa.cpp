#include "printing/PRT_Stampa.h"

#include "foundation/M_MV.h"
#include "platform/printers/PrinterObject.h"
#include "printing/PRT_InitPrinter.h"
#include "qor/Cl_QOR.h"

#include <cmath>

namespace
{

PrtRun*& activeRun()
{
    static PrtRun* r = nullptr;
    return r;
}

struct FontChoice {
    QString name;
    float size;
};

// A font of the settings record; an empty name or a size no printer has falls back
// to the settings file's own default.
FontChoice recordFont(const FixedStr<50>& name, float size, float defSize)
{
    QString n = Qor().FixStr(name).trimmed();
    if (n.isEmpty()) n = QStringLiteral("Courier New");
    if (!(size >= 1 && size <= 500)) size = defSize;
    return {n, size};
}

FontChoice normalFont()
{
    return recordFont(G_PrtSet.FontNorm, G_PrtSet.FontNSiz, 12);
}
FontChoice compressedFont()
{
    return recordFont(G_PrtSet.FontComp, G_PrtSet.FontCSiz, 7);
}
FontChoice superFont()
{
    return recordFont(G_PrtSet.FontSComp, G_PrtSet.FontSCSiz, 6);
}

void setFont(const QString& name, double size)
{
    PrinterObject::FontProps& f = Printer().Font;
    f.Name = name;
    f.Size = size;
}

void baseFont()
{
    setFont(G_PrtFont, G_PrtFontSiz);
    PrinterObject::FontProps& f = Printer().Font;
    f.Bold = f.Italic = f.Underline = false;
}

QString names()
{
    return (Printer().DeviceName() + Printer().DriverName()).toUpper();
}

bool isGeneric()
{
    return names().contains(QLatin1String("GENER"));
}

// The test page's landscape layout: super-compressed rows over a 185 x 45 grid.
void landscapeLayout(bool turn)
{
    if (!(G_PrtTest != 0 && G_PrtSet.Landscape == 1)) return;
    PrinterObject& p = Printer();
    const FontChoice sc = superFont();
    setFont(sc.name, sc.size);
    p.Font.Bold = p.Font.Italic = p.Font.Underline = false;
    G_PrtFont = sc.name;
    G_PrtFontSiz = sc.size;
    if (turn) p.setOrientation(2);
    p.setScaleWidth(185);
    p.setScaleHeight(45);
    const double step = 1.2 * p.TextHeight(QStringLiteral("\"Ttp;^\u00C7#]@?"));
    G_PrtMaxRow = PRT_Rows16(std::floor(45.0 / step) - G_PrtSet.Top - G_PrtSet.Bottom);
    G_PrtPasso = step;
}

QString describe(const PrtRun::Job& j)
{
    switch (j.outcome) {
    case PrtRun::Outcome::Printed:
        return QStringLiteral("PRT_Stampa : stampa inviata a ") + j.printer + QStringLiteral(", pagine ") +
               QString::number(j.pages) + QStringLiteral(", lavoro ") + QString::number(j.jobId);
    case PrtRun::Outcome::NoPrinter:
        return QStringLiteral("PRT_Stampa : nessuna stampante installata");
    case PrtRun::Outcome::NotStarted:
        return QStringLiteral("PRT_Stampa : stampa non avviata su ") + j.printer +
               QStringLiteral(", file di stampa non creato in ") + j.detail;
    case PrtRun::Outcome::Refused:
        return QStringLiteral("PRT_Stampa : stampa rifiutata da ") + j.printer + QStringLiteral(" : ") +
               j.detail;
    case PrtRun::Outcome::Interrupted:
        return QStringLiteral("PRT_Stampa : stampa interrotta su ") + j.printer +
               QStringLiteral(", pagine ") + QString::number(j.pages) + QStringLiteral(" scartate");
    }
    return {};
}

} // namespace

// What the engine shares with the runs.
struct PrtEngine {
    static void recordEnd(const PrintJobEnd& e)
    {
        if (e.kind == PrintJobEnd::NoJob) return;
        PrtRun::Job j;
        j.pages = e.pages;
        j.jobId = e.jobId;
        j.printer = e.printer;
        switch (e.kind) {
        case PrintJobEnd::Printed:
            j.outcome = PrtRun::Outcome::Printed;
            break;
        case PrintJobEnd::NoPrinter:
            j.outcome = PrtRun::Outcome::NoPrinter;
            break;
        case PrintJobEnd::NotStarted:
            j.outcome = PrtRun::Outcome::NotStarted;
            j.detail = e.folder;
            break;
        case PrintJobEnd::Refused:
            j.outcome = PrtRun::Outcome::Refused;
            j.detail = e.error;
            break;
        default:
            j.outcome = PrtRun::Outcome::Interrupted;
            break;
        }
        Qor().WriteLog(describe(j), 0, Pth_DebugLog, true);
        if (PrtRun* r = activeRun()) r->jobs_ << j;
    }
    static void setOpen(bool open)
    {
        if (PrtRun* r = activeRun()) r->open_ = open;
    }

    // STOP's steps; kill drops the job in place of handing it over.
    static void stop(bool kill)
    {
        PrinterObject& p = Printer();
        baseFont();
        recordEnd(kill ? p.KillDoc() : p.EndDoc());
        p.setZoom(0);
        p.setCopies(1);
        G_PrtCopie = 1;
        if (!isGeneric()) p.setOrientation(1);
        G_PrtTest = 0;
        p.setScaleHeight(G_PrtScaleH);
        p.setScaleWidth(G_PrtScaleW);
        G_PrtMaxRow = PRT_Rows16(std::round(p.ScaleHeight()) - G_PrtSet.Top - G_PrtSet.Bottom);
        setOpen(false);
    }

    static void init(const QString& line)
    {
        PrinterObject& p = Printer();
        // 1. The base font.
        bool compressed;
        if (line.size() < 5)
            compressed = Qor().FixStr(G_PrtSet.Cha).trimmed() == QLatin1String("COMPRESSO");
        else
            compressed = line.at(4) == QLatin1Char('C');
        const FontChoice base = compressed ? compressedFont() : normalFont();
        G_PrtFont = base.name;
        G_PrtFontSiz = base.size;
        // 2.
        G_PrtPasso = 1.0;
        // 3. No printer here follows the system default by itself (TrackDefault is
        // never set), so the current printer stays the one PRT_InitPrinter chose.
        p.refresh();
        // 4.
        baseFont();
        // 5.
        const QString n = names();
        if (!n.contains(QLatin1String("GENER"))) p.setPrintQuality(-1);
        if (n.contains(QLatin1String("PDF"))) p.setScaleLeft(5);
        // 6.
        if (G_PrtCopie < 1) G_PrtCopie = 1;
        p.setCopies(G_PrtCopie);
        p.setOrientation(1);
        // 7.
        p.setScaleMode(4);
        G_PrtScaleH = qint32(std::lround(p.ScaleHeight()));
        G_PrtScaleW = qint32(std::lround(p.ScaleWidth()));
        G_PrtMaxRow = PRT_Rows16(double(G_PrtScaleH) - G_PrtSet.Top - G_PrtSet.Bottom);
        // 8.
        p.setDuplex(1);
        p.setPaperBin(14);
        p.setPaperSize(9);
        // 9.
        p.setCurrentX(0);
        p.setCurrentY(G_PrtSet.Top);
        G_PrtRiga = G_PrtSet.Top;
        // 10.
        landscapeLayout(true);
        setOpen(true);
    }

    static void ejec()
    {
        PrinterObject& p = Printer();
        p.NewPage();
        baseFont();
        landscapeLayout(false);
        if (!isGeneric()) p.setPrintQuality(-1);
        G_PrtRiga = G_PrtSet.Top;
        G_PrtRighe = G_PrtSet.Top;
    }

    static void applyCode(QChar code)
    {
        PrinterObject::FontProps& f = Printer().Font;
        switch (code.unicode()) {
        case '0': {
            const FontChoice n = normalFont();
            setFont(n.name, n.size);
            f.Bold = f.Italic = f.Underline = false;
            break;
        }
        case '1': {
            const FontChoice n = normalFont();
            setFont(n.name, n.size);
            break;
        }
        case '2': {
            const FontChoice c = compressedFont();
            setFont(c.name, c.size);
            break;
        }
        case '3':
            f.Italic = true;
            break;
        case '4':
            f.Bold = true;
            break;
        case '5':
            f.Underline = true;
            break;
        case '6': {
            const FontChoice s = superFont();
            setFont(s.name, s.size);
            break;
        }
        default:
            break;
        }
    }

    static void text(const QString& line)
    {
        PrinterObject& p = Printer();
        p.setCurrentY(G_PrtRiga);
        const QChar esc(27);
        if (!line.contains(esc)) {
            p.Print(line, true);
        } else {
            qsizetype i = 0;
            while (i < line.size()) {
                const qsizetype at = line.indexOf(esc, i);
                if (at < 0) {
                    p.Print(line.mid(i), false);
                    break;
                }
                if (at > i) p.Print(line.mid(i, at - i), false);
                // A lone escape at the end has no code to apply.
                if (at + 1 < line.size()) applyCode(line.at(at + 1));
                i = at + 2;
            }
            p.Print(QString(), true);
        }
        G_PrtRiga += G_PrtPasso;
        G_PrtRighe += 1;
        p.setCurrentY(G_PrtRiga);
    }
};

void PRT_Stampa(const QString& line)
{
    // No caller asks for another channel (a text file): nothing to do for it.
    if (G_PrtOut != QLatin1String("PRT")) return;
    if (line.startsWith(QLatin1String("INIT"))) {
        PrtEngine::init(line);
    } else if (line == QLatin1String("PAGE")) {
        G_PrtRiga = G_PrtSet.Top;
    } else if (line == QLatin1String("EJEC")) {
        PrtEngine::ejec();
    } else if (line == QLatin1String("STOP") || line == QLatin1String("LOGO")) {
        PrtEngine::stop(false);
    } else if (line == QLatin1String("BREK")) {
        // nothing on the printer
    } else {
        PrtEngine::text(line);
    }
}

PrtRun::PrtRun() : outer_(activeRun())
{
    activeRun() = this;
}

PrtRun::~PrtRun()
{
    abandon();
    activeRun() = outer_;
}

void PrtRun::abandon()
{
    if (open_ || Printer().jobOpen()) {
        PrtRun* was = activeRun();
        activeRun() = this;
        PrtEngine::stop(true);
        activeRun() = was;
    }
    G_PrtTest = 0;
}

PrtRun* PrtRun::active()
{
    return activeRun();
}

bool PrtRun::failed() const
{
    for (const Job& j : jobs_)
        if (j.outcome != Outcome::Printed) return true;
    return false;
}

QString PrtRun::failureText() const
{
    const QString crlf = QStringLiteral("\r\n");
    QStringList parts;
    for (const Job& j : jobs_) {
        QString t;
        switch (j.outcome) {
        case Outcome::Printed:
            continue;
        case Outcome::NoPrinter:
            t = QStringLiteral("NESSUNA STAMPANTE INSTALLATA !!");
            break;
        case Outcome::NotStarted:
            t = QStringLiteral("IMPOSSIBILE AVVIARE LA STAMPA !!") + crlf + j.printer +
                QStringLiteral(" : file di stampa non creato in ") + j.detail;
            break;
        case Outcome::Refused:
            t = QStringLiteral("STAMPA RIFIUTATA DALLA STAMPANTE !!") + crlf + j.printer +
                QStringLiteral(" : ") + j.detail;
            break;
        case Outcome::Interrupted:
            t = QStringLiteral("STAMPA INTERROTTA !!");
            break;
        }
        parts << t + crlf + QStringLiteral("Nessuna pagina inviata alla stampante.");
    }
    return parts.join(crlf + crlf);
}
