#include "XML_Stru.h"

#include "foundation/Proc_Qor.h"
#include "platform/DateText.h"
#include "qor/Cl_QOR.h"

#include <cmath>

QString XML_NumStr(double value)
{
    if (std::isnan(value) || std::isinf(value)) return QStringLiteral(" 0");
    QString t = QString::number(value, 'g', 15);
    // Fractions are written without the leading zero: " .5", "-.5".
    if (t.startsWith(QLatin1String("0.")))
        t.remove(0, 1);
    else if (t.startsWith(QLatin1String("-0.")))
        t.remove(1, 1);
    return value < 0 ? t : QLatin1Char(' ') + t;
}

namespace
{

bool digitsAt(QStringView t, qsizetype from, qsizetype count)
{
    for (qsizetype i = from; i < from + count; ++i)
        if (t[i] < QLatin1Char('0') || t[i] > QLatin1Char('9')) return false;
    return true;
}

// "yyyy-MM-dd" followed by "Z" or "-hh:mm", nothing else.
bool isZonedDay(QStringView t)
{
    if (t.size() != 11 && t.size() != 16) return false;
    if (!digitsAt(t, 0, 4) || t[4] != QLatin1Char('-') || !digitsAt(t, 5, 2) || t[7] != QLatin1Char('-') ||
        !digitsAt(t, 8, 2))
        return false;
    if (t.size() == 11) return t[10] == QLatin1Char('Z');
    return t[10] == QLatin1Char('-') && digitsAt(t, 11, 2) && t[13] == QLatin1Char(':') && digitsAt(t, 14, 2);
}

} // namespace

QString XML_GeneralDate(const QDateTime& when)
{
    if (!when.isValid()) return {};
    QString text = when.toString(QStringLiteral("dd/MM/yyyy"));
    const QTime t = when.time();
    if (t.hour() != 0 || t.minute() != 0 || t.second() != 0)
        text += when.toString(QStringLiteral(" HH:mm:ss"));
    return text;
}

QString XML_Stru::Confronto() const
{
    if (confronto_.isEmpty()) {
        const QChar s(u'§');
        confronto_ = nomeFileSolo_ + s + XML_NumStr(lenFile_) + s + tipoDoc_ + s + numDoc_ + s + datdoc_ + s +
                     emitt_ + s + destin_ + s;
    }
    return confronto_;
}

void XML_Stru::setdatdoc(const QString& v)
{
    if (v.contains(QLatin1Char('+'))) {
        datdoc_ = Qor().GetField(v, 1, QStringLiteral("+"), true);
        return;
    }
    // The other two legal time-zone forms of an xs:date, "Z" and "-hh:mm", go the same way.
    const QStringView t = QStringView(v).trimmed();
    datdoc_ = isZonedDay(t) ? t.left(10).toString() : v;
}

void XML_Stru::setNomeFile(const QString& path)
{
    nomeFile_ = path;
    nomeFileSolo_ = Qor().FileBase(path) + QLatin1Char('.') + Qor().FileExt(path);
}

void XML_Stru::Clear()
{
    setNomeFile(QString());
    setNomeFileSolo(QString());
    setDataFile(QString());
    setTipoDoc(QString());
    setNumDoc(QString());
    setdatdoc(QString());
    setEmitt(QString());
    setEmittCogn(QString());
    setEmittNome(QString());
    setEmittPI(QString());
    setEmittCF(QString());
    setDestin(QString());
    setDestinCogn(QString());
    setDestinNome(QString());
    setDestinPI(QString());
    setDestinCF(QString());
    setAttachName(QString());
}

QString XML_Stru::ToPipe(int code, const QString& sep) const
{
    const Cl_QOR& q = Qor();
    // A "|" inside a value would shift every later field of a list row; the row shows it
    // as "¦" and the record keeps the value as read.
    const auto f = [](const QString& v) {
        QString t = v;
        return t.replace(QLatin1Char('|'), QChar(u'¦'));
    };
    const QString S = sep;
    const QString colEnd = QLatin1Char(' ') + S + QLatin1Char(' ');

    const QString nomeFile = f(nomeFile_), soloName = f(nomeFileSolo_), dataFile = f(dataFile_);
    const QString tipo = f(tipoDoc_), num = f(numDoc_), dat = f(datdoc_);
    const QString emitt = f(emitt_), destin = f(destin_), attach = f(attachName_);
    const QString size = XML_NumStr(lenFile_);
    const QString mark = tipoDoc_ == QLatin1String("TD01") ? QStringLiteral(" ") : QStringLiteral("-");
    const QString tipoMark = tipo + mark;

    if (code < 1 || (code > 7 && code != 31)) {
        // Full layout; the key is the stored one, so writing the line never builds it.
        QString line;
        for (const QString& v : {nomeFile, soloName, size, dataFile, tipo, num, dat, emitt, f(emittPI_),
                                 f(emittCF_), destin, f(destinPI_), f(destinCF_), attach, f(confronto_),
                                 f(emittCogn_), f(emittNome_), f(destinCogn_), f(destinNome_)})
            line += v + S;
        return line;
    }

    // Bare fields, no date to read.
    if (code == 1) return soloName + S + size + S;
    if (code == 4) return soloName + S + size + S + tipo + S + num + S + dat + S + emitt + S;

    const QString fileWord = q.GetField(dataFile, 1, QStringLiteral(" "), false);
    QString fileDay = DateText::DayKey(QStringView(fileWord).trimmed());
    if (fileDay.isNull()) fileDay = q.DateToStr(q.TextToDate(fileWord));
    const QString fileDateTime =
        fileDay + QLatin1Char(' ') + q.GetField(dataFile, 2, QStringLiteral(" "), false);
    const QString fileDate = fileDay + QLatin1Char(' ');
    const QString name70 = q.PadStr(soloName, static_cast<int>(q.Max(70, soloName.size())), QString());
    const QString attach45 = q.PadStr(attach, static_cast<int>(q.Max(45, attach.size())), QString());
    const auto text40 = [&](const QString& x) { return q.PadStr(x, 40, QString()); };
    const auto text20 = [&](const QString& x) { return q.PadStr(x, 20, QString()); };
    const QString number20 = PadNum(num, 20, QStringLiteral(" "));

    switch (code) {
    case 2:
        return fileDateTime + colEnd + name70 + colEnd + dataFile + colEnd + tipoMark + colEnd + text20(num) +
               colEnd + dat + colEnd + text40(destin) + colEnd + text40(emitt) + colEnd + attach45 +
               QLatin1Char(' ') + S + QString(21, QLatin1Char(' ')) + S;
    case 3:
        return number20 + colEnd + tipoMark + colEnd + fileDateTime + colEnd + name70 + colEnd + dat +
               colEnd + text40(destin) + colEnd + text40(emitt) + colEnd + attach;
    case 5:
        return text40(destin) + colEnd + text40(emitt) + colEnd + dat + colEnd + number20 + colEnd +
               tipoMark + colEnd + fileDateTime + colEnd + name70 + colEnd + attach;
    case 6:
        return text40(emitt) + colEnd + text40(destin) + colEnd + dat + colEnd + number20 + colEnd +
               tipoMark + colEnd + fileDateTime + colEnd + name70 + colEnd + attach;
    case 7:
        return QString(25, QLatin1Char('*')) + colEnd + fileDate + colEnd + dat + colEnd + number20 + colEnd +
               tipoMark + colEnd + text40(emitt) + colEnd + text40(destin) + colEnd + name70 + colEnd +
               attach;
    case 31:
        return dat + colEnd + number20 + colEnd + tipoMark + colEnd + fileDateTime + colEnd + name70 +
               colEnd + text40(destin) + colEnd + text40(emitt) + colEnd + attach;
    }
    return {};
}
