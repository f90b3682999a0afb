#pragma once
#include "platform/Shared.h"
#include <QDateTime>
#include <QString>
#include <QStringList>
#include <QVariant>

class QAbstractItemView;
class QComboBox;
class QLineEdit;
class QRadioButton;
class QWidget;

namespace Plicora PLICORA_SHARED {

// The outside utility class: settings, text, date and log helpers that every
// part of the program and the control library call through one shared instance.
// Widget operations are defined in the qor_widgets library.
class Cl_QOR
{
  public:
    static Cl_QOR& instance();

    // --- settings (a bare file name means the Windows folder) ---
    QString IniRead(const QString& section, const QString& key, const QString& def,
                    const QString& file) const;
    int IniReadInt(const QString& section, const QString& key, int def, const QString& file) const;
    double IniReadDbl(const QString& section, const QString& key, double def, const QString& file) const;
    bool IniWrite(const QString& section, const QString& key, const QString& value,
                  const QString& file) const;
    bool IniWriteInt(const QString& section, const QString& key, int value, const QString& file) const;
    bool IniWriteLng(const QString& section, const QString& key, qint32 value, const QString& file) const;
    // Numbers are written with "," as decimal mark, dates in the general date form.
    bool IniWriteVar(const QString& section, const QString& key, const QVariant& value,
                     const QString& file) const;

    // --- files and paths ("/" alone separates folders; "\" belongs to a name) ---
    bool FileExists(const QString& path, int flag = 0) const;
    QString PathFolder(const QString& path) const;  // folder with its closing "/"; "" for a bare name
    QString FileBase(const QString& path) const;    // name without folder and extension
    QString FileExt(const QString& path) const;     // extension without the dot
    QString PathSlash(const QString& folder) const; // "" stays ""; otherwise ends with "/"

    // --- fields of separated text ---
    // Field n (from 1); "" when there are fewer fields or n < 1.
    QString GetField(const QString& text, int n, const QString& sep, bool trim = false) const;
    // A trailing separator closes the last field and does not start a new one: "a|b|" has 2.
    int FieldCount(const QString& text, const QString& sep) const;
    // Field n replaced; missing fields are added empty; a trailing separator is kept.
    QString SetField(const QString& text, int n, const QString& value, const QString& sep) const;
    QString SetFieldVar(const QString& text, int n, const QVariant& value, const QString& sep,
                        bool flag = true) const;
    // 1-based position of the field equal to text (fields compared trimmed), 0 when none.
    int FieldIndex(const QString& text, const QString& find, const QString& sep) const;

    // --- text ---
    QString Replace(const QString& text, const QString& find, const QString& with, int start = 1,
                    int count = 0) const;
    QString TrChars(const QString& text, const QString& from, const QString& to) const;
    // Pattern repeated to n characters; an empty pattern gives "".
    QString Replicate(int n, const QString& pattern) const;
    // Text cut or filled on the right to exactly width characters; an empty fill fills with blanks.
    QString PadStr(const QString& text, int width, const QString& fill = QString()) const;
    // Value's text filled on the left to length; a longer text is kept whole; an empty fill uses blanks.
    QString PadLeft(const QVariant& value, int length, const QString& fill) const;
    // Number with that many decimals (decimal comma) right-aligned in width; a number that
    // does not fit is given whole rather than cut, so no digit is ever lost.
    QString FormatNum(double value, int width, int decimals) const;
    QString FixStr(const QString& field) const; // fill blanks (and NULs) on the right removed
    QString Reverse(const QString& text) const;
    QString CutRight(const QString& text, int n) const;
    QString SqlQuote(const QString& text) const;
    // Upper-case hexadecimal of the text's UTF-8 bytes, two digits per byte.
    QString ToHex(const QString& text) const;
    // Stored form of a password: plain ASCII letters, so it survives ToHex/Hex2Str.
    QString PwdEncode(const QString& password) const;
    QString PwdDecode(const QString& stored) const;
    // Text split in pieces of at most width characters, at blanks where possible;
    // count gives the most lines wanted (at most 10) and receives the number made.
    QStringList WrapLines(const QString& text, int width, int& count, bool flag = true) const;

    // --- numbers ---
    double ToDouble(const QString& text) const; // "," or "." as decimal mark; leading number, else 0
    double MaxOf(double a, double b) const { return a > b ? a : b; }
    double MinOf(double a, double b) const { return a < b ? a : b; }
    double Max(double a, double b) const { return MaxOf(a, b); }
    void Increment(double& counter, double step = 1.0) const { counter += step; }
    // Brightness of a colour given as VB hexadecimal text (BBGGRR) on the given scale.
    int ColorBrightness(const QString& hexColor, int scale) const;

    // --- dates ---
    // Reads dd/mm/yyyy [hh:mm[:ss]], d/m/yy, yyyy-mm-dd[Thh:mm:ss] and yyyymmdd; fallback otherwise.
    QDateTime TextToDate(const QString& text, const QDateTime& fallback = QDateTime()) const;
    QString MonthEnd(const QDateTime& date) const;  // dd/mm/yyyy of the month's last day
    QString DateToStr(const QDateTime& date) const; // yyyymmdd, "" for no date
    QString MonthName(int month) const;             // "Gennaio".."Dicembre"

    // --- log ---
    // Appends text as one CR LF line, creating the file. first != 0 starts the file anew;
    // flag True puts the date and time in front of the line.
    bool WriteLog(const QString& text, int first, const QString& logFile, bool flag = true) const;

    // --- system ---
    bool OpenURL(const QString& address) const;
    // Program the desktop opens files of that extension with (full path), "" when none.
    QString ExtProgram(const QString& extension) const;
    QString ComputerName() const;
    // Registry value by full path ("HKEY_LOCAL_MACHINE\...\Value", parts split at sep,
    // "\" when empty); "" when the value is missing.
    QString RegRead(const QString& fullPath, const QString& sep = QStringLiteral("\\")) const;
    bool LayoutFlag() const { return false; } // no extra 200-twip margin on this desktop
    bool FrameExtra() const { return false; }

    // --- widgets (qor_widgets) ---
    int ListFind(QAbstractItemView* list, const QString& text, int flag = 1) const;
    int ComboFind(QComboBox* combo, const QString& text, int flag = 1) const;
    int OptSelected(const QList<QRadioButton*>& options, int flag = 0) const;
    int OptionIndex(const QList<QRadioButton*>& options, int flag = 0) const
    {
        return OptSelected(options, flag);
    }
    void ListFit(QAbstractItemView* list, int row) const;
    void ListAdjust(QAbstractItemView* list, int row = -1) const { ListFit(list, row); }
    // Writes the list's rows to a file in folder and opens it with the viewer. viewer may be
    // "program|title": the program is the part before the first "|", the title the file's first line.
    bool ShowList(QAbstractItemView* list, const QString& viewer, const QString& folder) const;
    // May change keyAscii of a numeric field (0 drops the key).
    void NumKeyFilter(QLineEdit* box, int& keyAscii, int decimals, const QString& flag = QString()) const;
    QWidget* DecorateForm(QWidget* form) const { return form; }

  private:
    Cl_QOR() = default;
};

// The shared instance, created at first use.
inline Cl_QOR& Qor()
{
    return Cl_QOR::instance();
}

} // namespace Plicora

using Plicora::Cl_QOR;
using Plicora::Qor;
