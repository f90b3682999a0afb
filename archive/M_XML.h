#pragma once
#include "XML_Stru.h"

#include <QString>

#include <stdexcept>

// A file the header scanner could not read (locked, vanished between the test and the
// read, no permission). The scanner has no handler of its own: the caller's decides.
class XML_ReadError : public std::runtime_error
{
  public:
    XML_ReadError(int number, const QString& description)
        : std::runtime_error(description.toStdString()), Number(number), Description(description)
    {
    }
    int Number;
    QString Description;
};

// Most bytes of a file the scanner looks at; tags past them are never found.
inline constexpr qint64 XML_HeadBytes = 32767;

// What XML_ReadRecord found at a path.
enum class XML_Found {
    Nothing, // empty path, no such file, or no regular file
    Other,   // a file whose extension is not XML: not read
    Invoice, // an XML file: the record was filled from it
};

// Reads the header of one FatturaPA file into a new record. A literal, case-sensitive
// search for fixed tags over the first XML_HeadBytes of the file, each search starting
// where the previous one left off; not an XML parser. The record is replaced by the
// filled one only for Invoice; otherwise it is left as it was.
// Throws XML_ReadError when the file cannot be read (the record is then left as it was).
XML_Found XML_ReadRecord(const QString& path, XML_Stru& record);

// XML_ReadRecord and the line of what it found:
// - empty path or no such file: "" and the record is left as it was;
// - extension other than XML: " <length>|<date>||" and the record is left as it was;
// - otherwise the record is replaced by the filled one and its ToPipe(0, "|") line comes back.
// Throws XML_ReadError when the file cannot be read (the record is then left as it was).
QString XML_ReadHeader(const QString& path, XML_Stru& record);

// Clean-up of a name: for each opener ("(", "[", "{") found in the text, the part from it
// up to its last closing character goes. Empty openers give the text unchanged.
// Decisions beyond the plain rule, kept on purpose:
// - the result is trimmed of all white space (tabs and line breaks of a name written over
//   several lines too), not only of blanks;
// - a closing character that lies before the opener closes nothing: the name is cut at the
//   opener, as when no closing character follows ("A) B (C" gives "A) B"), rather than
//   joined around it, which would repeat text.
QString XML_GetTag(const QString& text, const QString& openers);
