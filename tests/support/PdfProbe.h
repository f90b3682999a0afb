#pragma once
#include <QImage>
#include <QList>
#include <QSizeF>
#include <QString>

// Reads printed PDFs with poppler's tools. A missing tool fails the running test.
namespace PdfProbe
{

struct Info {
    int pages = 0;
    QList<QSizeF> pageSizes; // points, one per page
};

// One run of text of one style as pdftohtml sees it; positions and size in points. A
// run that follows another on its line is placed by its share of the characters.
struct TextRun {
    int page = 0;
    double top = 0;
    double left = 0;
    double size = 0;
    bool bold = false;
    bool italic = false;
    QString text;
};

// pdfinfo: page count and page sizes.
Info info(const QString& pdf);
// pdftohtml -xml -i -zoom 3 -stdout: every text run, in reading order.
QList<TextRun> text(const QString& pdf);
// The first run whose text contains needle, or a run with page 0.
TextRun find(const QList<TextRun>& runs, const QString& needle);
// pdftoppm: one page rendered at dpi.
QImage render(const QString& pdf, int page, int dpi);
// pdftoppm -png: one page written to png.
bool renderToFile(const QString& pdf, int page, int dpi, const QString& png);

} // namespace PdfProbe
