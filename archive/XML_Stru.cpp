#include "XML_Stru.h"

#include "platform/DateText.h"
#include "qor/Cl_QOR.h"

#include <algorithm>
#include <cmath>

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

// The number text of XML_NumStr, kept on the stack for the usual whole numbers.
class NumText
{
  public:
    explicit NumText(double value)
    {
        // Whole numbers of up to 15 digits are written in full by the general form; -0
        // keeps its sign there, so it goes the long way.
        if (value > -1e15 && value < 1e15 && value == std::trunc(value) && !(value == 0 && std::signbit(value))) {
            const qint64 n = static_cast<qint64>(value);
            quint64 u = n < 0 ? quint64(-n) : quint64(n);
            char16_t digits[16];
            int k = 0;
            do {
                digits[k++] = char16_t(u'0' + u % 10);
                u /= 10;
            } while (u != 0);
            buffer_[size_++] = n < 0 ? u'-' : u' ';
            while (k > 0)
                buffer_[size_++] = digits[--k];
            return;
        }
        if (std::isnan(value) || std::isinf(value)) {
            other_ = QStringLiteral(" 0");
            return;
        }
        QString t = QString::number(value, 'g', 15);
        // Fractions are written without the leading zero: " .5", "-.5".
        if (t.startsWith(QLatin1String("0.")))
            t.remove(0, 1);
        else if (t.startsWith(QLatin1String("-0.")))
            t.remove(1, 1);
        other_ = value < 0 ? t : QLatin1Char(' ') + t;
    }
    QStringView view() const { return other_.isNull() ? QStringView(buffer_, size_) : QStringView(other_); }
    QString toString() const { return other_.isNull() ? QString(reinterpret_cast<const QChar*>(buffer_), size_) : other_; }

  private:
    char16_t buffer_[17];
    qsizetype size_ = 0;
    QString other_;
};

// A "|" inside a value would shift every later field of a list row; the row shows it as
// "¦" and the record keeps the value as read.
constexpr char16_t kPipeShown = u'\u00A6';

// Line writers: the same layout runs once to measure the line and once to write it into
// a text of exactly that size. raw() copies as is, field() shows "|" as "¦".
struct Measure {
    qsizetype size = 0;
    void raw(QStringView s) { size += s.size(); }
    void field(QStringView s) { size += s.size(); }
    void blanks(qsizetype n) { size += n; }
    void ch(char16_t) { ++size; }
};

struct Write {
    char16_t* at;
    void raw(QStringView s)
    {
        std::copy_n(s.utf16(), s.size(), at);
        at += s.size();
    }
    void field(QStringView s)
    {
        const char16_t* from = s.utf16();
        for (qsizetype i = 0, n = s.size(); i < n; ++i)
            at[i] = from[i] == u'|' ? kPipeShown : from[i];
        at += s.size();
    }
    void blanks(qsizetype n)
    {
        std::fill_n(at, n, u' ');
        at += n;
    }
    void ch(char16_t c) { *at++ = c; }
};

// The text filled with blanks to width, or cut to it.
template <class Out> void padded(Out& o, QStringView v, qsizetype width)
{
    if (v.size() >= width) {
        o.field(v.first(width));
    } else {
        o.field(v);
        o.blanks(width - v.size());
    }
}

// The text filled with blanks to width, a longer one whole.
template <class Out> void atLeast(Out& o, QStringView v, qsizetype width)
{
    o.field(v);
    if (v.size() < width) o.blanks(width - v.size());
}

// The text without blanks around it, right-aligned in width columns, a longer one cut to
// its last width characters.
template <class Out> void rightAligned(Out& o, QStringView v, qsizetype width)
{
    const QStringView t = v.trimmed();
    if (t.size() >= width) {
        o.field(t.last(width));
    } else {
        o.blanks(width - t.size());
        o.field(t);
    }
}

} // namespace

QString XML_NumStr(double value)
{
    return NumText(value).toString();
}

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
        const NumText size(lenFile_);
        QString key;
        key.reserve(nomeFileSolo_.size() + size.view().size() + tipoDoc_.size() + numDoc_.size() +
                    datdoc_.size() + emitt_.size() + destin_.size() + 7);
        for (const QStringView v : {QStringView(nomeFileSolo_), size.view(), QStringView(tipoDoc_),
                                    QStringView(numDoc_), QStringView(datdoc_), QStringView(emitt_),
                                    QStringView(destin_)}) {
            key.append(v);
            key.append(s);
        }
        confronto_ = key;
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
    // The name's base, a dot and its extension: the name itself when it has a dot.
    const qsizetype slash = path.lastIndexOf(QLatin1Char('/'));
    const QStringView name = QStringView(path).sliced(slash + 1);
    if (!name.contains(QLatin1Char('.'))) {
        QString solo;
        solo.reserve(name.size() + 1);
        solo.append(name);
        solo.append(QLatin1Char('.'));
        nomeFileSolo_ = solo;
    } else if (slash < 0) {
        nomeFileSolo_ = path;
    } else {
        nomeFileSolo_ = name.toString();
    }
}

void XML_Stru::Clear()
{
    for (QString* v : {&nomeFile_, &nomeFileSolo_, &dataFile_, &tipoDoc_, &numDoc_, &datdoc_, &emitt_, &emittCogn_,
                       &emittNome_, &emittPI_, &emittCF_, &destin_, &destinCogn_, &destinNome_, &destinPI_,
                       &destinCF_, &attachName_})
        *v = QString();
}

QString XML_Stru::ToPipe(int code, const QString& sep) const
{
    const QStringView S = sep;
    const NumText sizeText(lenFile_);
    const QStringView size = sizeText.view();
    const char16_t mark = tipoDoc_ == QLatin1String("TD01") ? u' ' : u'-';
    const bool full = code < 1 || (code > 7 && code != 31);
    const bool bare = code == 1 || code == 4;

    // The file's day (yyyymmdd) and time: the first two blank-separated parts of DataFile.
    QString fileDay;
    QStringView fileTime;
    if (!full && !bare) {
        const QStringView dataFile = dataFile_;
        const qsizetype blank = dataFile.indexOf(u' ');
        const QStringView word = blank < 0 ? dataFile : dataFile.first(blank);
        if (blank >= 0) {
            const QStringView rest = dataFile.sliced(blank + 1);
            const qsizetype next = rest.indexOf(u' ');
            fileTime = next < 0 ? rest : rest.first(next);
        }
        fileDay = DateText::DayKey(word.trimmed());
        if (fileDay.isNull()) {
            QString shownWord = word.toString();
            shownWord.replace(QLatin1Char('|'), QChar(kPipeShown));
            const Cl_QOR& q = Qor();
            fileDay = q.DateToStr(q.TextToDate(shownWord));
        }
    }

    const auto layout = [&](auto& o) {
        const auto colEnd = [&] {
            o.ch(u' ');
            o.raw(S);
            o.ch(u' ');
        };
        const auto tipoMark = [&] {
            o.field(tipoDoc_);
            o.ch(mark);
        };
        const auto fileDateTime = [&] {
            o.raw(fileDay);
            o.ch(u' ');
            o.field(fileTime);
        };
        const auto then = [&](QStringView v) {
            o.field(v);
            o.raw(S);
        };

        if (full) {
            // The key is the stored one, so writing the line never builds it.
            then(nomeFile_);
            then(nomeFileSolo_);
            o.raw(size);
            o.raw(S);
            for (const QString* v : std::initializer_list<const QString*>{&dataFile_, &tipoDoc_, &numDoc_, &datdoc_, &emitt_, &emittPI_, &emittCF_,
                                     &destin_, &destinPI_, &destinCF_, &attachName_, &confronto_, &emittCogn_,
                                     &emittNome_, &destinCogn_, &destinNome_})
                then(*v);
            return;
        }
        if (bare) {
            then(nomeFileSolo_);
            o.raw(size);
            o.raw(S);
            if (code == 4)
                for (const QString* v : {&tipoDoc_, &numDoc_, &datdoc_, &emitt_})
                    then(*v);
            return;
        }

        switch (code) {
        case 2:
            fileDateTime();
            colEnd();
            atLeast(o, nomeFileSolo_, 70);
            colEnd();
            o.field(dataFile_);
            colEnd();
            tipoMark();
            colEnd();
            padded(o, numDoc_, 20);
            colEnd();
            o.field(datdoc_);
            colEnd();
            padded(o, destin_, 40);
            colEnd();
            padded(o, emitt_, 40);
            colEnd();
            atLeast(o, attachName_, 45);
            o.ch(u' ');
            o.raw(S);
            o.blanks(21);
            o.raw(S);
            break;
        case 3:
            rightAligned(o, numDoc_, 20);
            colEnd();
            tipoMark();
            colEnd();
            fileDateTime();
            colEnd();
            atLeast(o, nomeFileSolo_, 70);
            colEnd();
            o.field(datdoc_);
            colEnd();
            padded(o, destin_, 40);
            colEnd();
            padded(o, emitt_, 40);
            colEnd();
            o.field(attachName_);
            break;
        case 5:
        case 6:
            padded(o, code == 5 ? destin_ : emitt_, 40);
            colEnd();
            padded(o, code == 5 ? emitt_ : destin_, 40);
            colEnd();
            o.field(datdoc_);
            colEnd();
            rightAligned(o, numDoc_, 20);
            colEnd();
            tipoMark();
            colEnd();
            fileDateTime();
            colEnd();
            atLeast(o, nomeFileSolo_, 70);
            colEnd();
            o.field(attachName_);
            break;
        case 7:
            for (int i = 0; i < 25; ++i)
                o.ch(u'*');
            colEnd();
            o.raw(fileDay);
            o.ch(u' ');
            colEnd();
            o.field(datdoc_);
            colEnd();
            rightAligned(o, numDoc_, 20);
            colEnd();
            tipoMark();
            colEnd();
            padded(o, emitt_, 40);
            colEnd();
            padded(o, destin_, 40);
            colEnd();
            atLeast(o, nomeFileSolo_, 70);
            colEnd();
            o.field(attachName_);
            break;
        case 31:
            o.field(datdoc_);
            colEnd();
            rightAligned(o, numDoc_, 20);
            colEnd();
            tipoMark();
            colEnd();
            fileDateTime();
            colEnd();
            atLeast(o, nomeFileSolo_, 70);
            colEnd();
            padded(o, destin_, 40);
            colEnd();
            padded(o, emitt_, 40);
            colEnd();
            o.field(attachName_);
            break;
        }
    };

    Measure measure;
    layout(measure);
    QString line(measure.size, Qt::Uninitialized);
    Write write{reinterpret_cast<char16_t*>(line.data())};
    layout(write);
    Q_ASSERT(write.at == reinterpret_cast<const char16_t*>(line.constData()) + line.size());
    return line;
}
