#include "printing/PRT_InitPrinter.h"

#include "foundation/ModRegistro.h"
#include "platform/Folders.h"
#include "platform/IniFile.h"
#include "platform/printers/PrinterCatalog.h"
#include "printing/PRT_Globals.h"
#include "qor/Cl_QOR.h"

#include <QCoreApplication>
#include <QFile>
#include <QLocale>

#include <cmath>
#include <limits>

T_PrtSet G_PrtSet;

namespace
{

const QString PrtIni = QStringLiteral("QOR_PRT.INI");

struct KeyDefault {
    const char* key;
    const char* value;
};

// The keys of a new printer section, in the order they are written.
constexpr KeyDefault NewSection[] = {
    {"Lunghezza", "66"},
    {"Larghezza", "80"},
    {"Landscape", "0"},
    {"Colore", "0"},
    {"Top", "2"},
    {"Bottom", "2"},
    {"FontNorm", "Courier New"},
    {"FontNSiz", "12"},
    {"FontComp", "Courier New"},
    {"FontCSiz", "7"},
    {"FontSComp", "Courier New"},
    {"FontSCSiz", "6"},
};

// A settings value as a number: the whole text, "," or "." as decimal mark.
bool toNumber(const QString& text, double& out)
{
    QString t = text.trimmed();
    if (t.isEmpty()) return false;
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    out = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(out);
}

// Rounded to a 16-bit integer, halves to even; false leaves the field as it was.
bool toInt16(const QString& text, qint16& field)
{
    double v;
    if (!toNumber(text, v)) return false;
    v = std::nearbyint(v);
    if (v < std::numeric_limits<qint16>::min() || v > std::numeric_limits<qint16>::max()) return false;
    field = qint16(v);
    return true;
}

bool toSingle(const QString& text, float& field)
{
    double v;
    if (!toNumber(text, v) || std::fabs(v) > std::numeric_limits<float>::max()) return false;
    field = float(v);
    return true;
}

QString numText(double v)
{
    return QString::number(v, 'g', 7);
}

// A number as a log line shows it: a blank in place of the plus sign, one blank after,
// the decimal comma.
QString logNum(double v)
{
    QString t = numText(v).replace(QLatin1Char('.'), QLatin1Char(','));
    if (v >= 0) t.prepend(QLatin1Char(' '));
    return t + QLatin1Char(' ');
}

void loadDefaults(T_PrtSet& r)
{
    r.Lunghezza = 66;
    r.Larghezza = 80;
    r.Landscape = 0;
    r.Colore = 0;
    r.Top = 2;
    r.Bottom = 2;
    r.FontNorm = QStringLiteral("Courier New");
    r.FontNSiz = 12;
    r.FontComp = QStringLiteral("Courier New");
    r.FontCSiz = 7;
    r.FontSComp = QStringLiteral("Courier New");
    r.FontSCSiz = 6;
}

void readSection(T_PrtSet& r, const QString& section)
{
    auto read = [&](const char* key, const QString& def) {
        return IniFile::read(PrtIni, section, QLatin1String(key), def);
    };
    toInt16(read("Lunghezza", QString()), r.Lunghezza);
    toInt16(read("Larghezza", QString()), r.Larghezza);
    toInt16(read("Landscape", QStringLiteral("0")), r.Landscape);
    toInt16(read("Top", QString()), r.Top);
    toInt16(read("Bottom", QString()), r.Bottom);
    const QString colore = read("Colore", QString());
    if (!colore.isEmpty()) toInt16(colore, r.Colore);
    r.FontNorm = read("FontNorm", QString());
    toSingle(read("FontNSiz", QString()), r.FontNSiz);
    r.FontComp = read("FontComp", QString());
    toSingle(read("FontCSiz", QString()), r.FontCSiz);
    r.FontSComp = read("FontSComp", QStringLiteral("Courier New"));
    toSingle(read("FontSCSiz", QStringLiteral("6")), r.FontSCSiz);
}

QString logFolder()
{
    const QString temp = Reg_SysFolder(2, true);
    // A temporary folder the registry does not name still gets the log somewhere sound.
    return temp.size() > 1 ? temp : Folders::tempDir();
}

void writeLog(const QString& nome, const T_PrtSet& r, const QString& section)
{
    // The temporary folder may be shared: the old name is removed (a link goes, not what
    // it points at) and the log made anew. A name another user holds, or one put back in
    // between, makes the open fail rather than write through it.
    const QString path = logFolder() + QStringLiteral("prt-ini.log");
    QFile::remove(path);
    QFile f(path);
    if (!f.open(QIODevice::WriteOnly | QIODevice::NewOnly)) return;
    const QStringList lines{
        nome,
        QStringLiteral("Nom=") + r.Nome.text(),
        QStringLiteral("Dev=") + r.DeviceName.text(),
        QStringLiteral("Por=") + r.Port.text(),
        QStringLiteral("Color=") + logNum(r.Colore),
        QStringLiteral("Len=") + logNum(r.Lunghezza),
        QStringLiteral("Lar=") + logNum(r.Larghezza),
        QStringLiteral("Land  =") + logNum(r.Landscape),
        QStringLiteral("Top=") + logNum(r.Top),
        QStringLiteral("Bot=") + logNum(r.Bottom),
        QStringLiteral("CNo=") + r.FontNorm.text(),
        QStringLiteral("DNo=") + logNum(r.FontNSiz),
        QStringLiteral("PNo=") + logNum(r.PNo),
        QStringLiteral("CCp=") + r.FontComp.text(),
        QStringLiteral("DCp=") + logNum(r.FontCSiz),
        QStringLiteral("PCp=") + logNum(r.PCp),
        QStringLiteral("CSCp=") + r.FontSComp.text(),
        QStringLiteral("DSCp=") + logNum(r.FontSCSiz),
        QStringLiteral("PSCp=") + logNum(r.PSCp),
        QStringLiteral("Act=") + r.Act.text(),
        QStringLiteral("Cha=") + r.Cha.text(),
        QStringLiteral("Testa=") + section,
    };
    f.write((lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toUtf8());
}

// Writes a key only when its value changes, so a selection that changes nothing leaves
// the file as it was.
void writeKey(const QString& section, const char* key, const QString& value)
{
    const QString k = QLatin1String(key);
    if (IniFile::hasKey(PrtIni, section, k) && IniFile::read(PrtIni, section, k) == value) return;
    IniFile::write(PrtIni, section, k, value);
}

void writeDefault(const T_PrtSet& r)
{
    const Cl_QOR& q = Qor();
    const QString d = QStringLiteral("Default");
    writeKey(d, "Printer", q.FixStr(r.Nome));
    writeKey(d, "Lunghezza", QString::number(r.Lunghezza));
    writeKey(d, "Larghezza", QString::number(r.Larghezza));
    writeKey(d, "Landscape", QString::number(r.Landscape));
    writeKey(d, "Colore", QString::number(r.Colore));
    writeKey(d, "Top", QString::number(r.Top));
    writeKey(d, "Bottom", QString::number(r.Bottom));
    writeKey(d, "FontNorm", q.FixStr(r.FontNorm).trimmed());
    writeKey(d, "FontNSiz", numText(r.FontNSiz));
    writeKey(d, "FontComp", q.FixStr(r.FontComp).trimmed());
    writeKey(d, "FontCSiz", numText(r.FontCSiz));
    writeKey(d, "FontSComp", q.FixStr(r.FontSComp).trimmed());
    writeKey(d, "FontSCSiz", numText(r.FontSCSiz));
}

} // namespace

T_PrtSet PRT_InitPrinter(const QString& nome)
{
    const Cl_QOR& q = Qor();
    PrinterCatalog& catalog = printerCatalog();
    T_PrtSet& r = G_PrtSet;

    if (!nome.isEmpty() && nome != QLatin1String("0")) {
        r.Nome = nome;
    } else {
        G_PrtTest = 0;
        r.Nome =
            IniFile::read(PrtIni, QStringLiteral("Default"), QStringLiteral("Printer"), QString()).left(255);
    }

    const QString full = r.Nome.text();
    int sep = full.indexOf(QLatin1Char(';'));
    if (sep < 0) sep = full.indexOf(QLatin1Char(','));
    const QString device = sep < 0 ? QString() : full.left(sep);
    const QString port = sep < 0 ? full : full.mid(sep + 1);
    if (sep < 0 || (q.FixStr(device).trimmed().isEmpty() && q.FixStr(port).trimmed().isEmpty())) {
        // No device and no port to look for (an empty [Default] Printer, or "," written
        // on a machine without printers): a section named "," or "" would serve nobody.
        const std::optional<PrinterInfo> sys = catalog.systemDefault();
        if (!sys) {
            loadDefaults(r);
            G_PrtMaxRow = PRT_Rows16(double(r.Lunghezza) - r.Bottom - r.Top);
            writeLog(nome, r, QString());
            return r;
        }
        r.Nome = sys->deviceName + QLatin1Char(',') + sys->port;
        r.DeviceName = sys->deviceName;
        r.Port = sys->port;
    } else {
        r.DeviceName = device;
        r.Port = port;
    }

    const QString wantedDevice = q.FixStr(r.DeviceName).trimmed();
    const QString wantedPort = q.FixStr(r.Port).trimmed();
    for (const PrinterInfo& p : catalog.printers()) {
        const bool found = p.deviceName == wantedDevice && p.port == wantedPort;
        if (found) {
            catalog.setCurrent(p);
            r.DriverName = p.driverName;
            r.DeviceName = p.deviceName;
            r.Port = p.port;
        }
        QCoreApplication::processEvents();
        if (found) break;
    }

    const QString section = q.FixStr(r.DeviceName) + QLatin1Char(',') + q.FixStr(r.Port);
    if (IniFile::readSection(PrtIni, section).isEmpty()) {
        QStringList lines;
        for (const KeyDefault& kd : NewSection)
            lines << QLatin1String(kd.key) + QLatin1Char('=') + QLatin1String(kd.value);
        IniFile::writeSection(PrtIni, section, lines);
    }
    readSection(r, section);
    G_PrtMaxRow = PRT_Rows16(double(r.Lunghezza) - r.Bottom - r.Top);
    writeLog(nome, r, section);
    writeDefault(r);
    return r;
}
