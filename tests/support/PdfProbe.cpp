#include "PdfProbe.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QTest>
#include <QXmlStreamReader>

namespace
{

// Runs a poppler tool to its end; a tool that is missing or fails fails the test.
bool run(const QString& tool, const QStringList& args, QByteArray* out = nullptr)
{
    const QString exe = QStandardPaths::findExecutable(tool);
    if (exe.isEmpty()) {
        const QByteArray msg = (tool + QStringLiteral(" not found: install poppler-utils")).toUtf8();
        QTest::qFail(msg.constData(), __FILE__, __LINE__);
        return false;
    }
    QProcess p;
    p.start(exe, args);
    if (!p.waitForFinished(120000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
        const QByteArray msg =
            (tool + QStringLiteral(" failed: ") + QString::fromUtf8(p.readAllStandardError())).toUtf8();
        QTest::qFail(msg.constData(), __FILE__, __LINE__);
        return false;
    }
    if (out) *out = p.readAllStandardOutput();
    return true;
}

} // namespace

namespace PdfProbe
{

Info info(const QString& pdf)
{
    Info r;
    QByteArray out;
    if (!run(QStringLiteral("pdfinfo"),
             {QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("100000"), pdf},
             &out))
        return r;
    static const QRegularExpression pages(QStringLiteral("^Pages:\\s+(\\d+)"),
                                          QRegularExpression::MultilineOption);
    static const QRegularExpression size(QStringLiteral("^Page\\s+\\d+\\s+size:\\s+([\\d.]+) x ([\\d.]+)"),
                                         QRegularExpression::MultilineOption);
    const QString text = QString::fromUtf8(out);
    const auto m = pages.match(text);
    if (m.hasMatch()) r.pages = m.captured(1).toInt();
    auto it = size.globalMatch(text);
    while (it.hasNext()) {
        const auto s = it.next();
        r.pageSizes << QSizeF(s.captured(1).toDouble(), s.captured(2).toDouble());
    }
    return r;
}

QList<TextRun> text(const QString& pdf)
{
    QList<TextRun> runs;
    QByteArray out;
    if (!run(QStringLiteral("pdftohtml"),
             {QStringLiteral("-xml"), QStringLiteral("-i"), QStringLiteral("-zoom"), QStringLiteral("3"),
              QStringLiteral("-stdout"), QStringLiteral("-q"), pdf},
             &out))
        return runs;
    QXmlStreamReader x(out);
    QHash<QString, double> fontSize;
    int page = 0;
    while (!x.atEnd()) {
        x.readNext();
        if (!x.isStartElement()) continue;
        const auto a = x.attributes();
        if (x.name() == QLatin1String("page")) {
            page = a.value(QLatin1String("number")).toInt();
        } else if (x.name() == QLatin1String("fontspec")) {
            fontSize.insert(a.value(QLatin1String("id")).toString(),
                            a.value(QLatin1String("size")).toDouble());
        } else if (x.name() == QLatin1String("text")) {
            TextRun t;
            t.page = page;
            // -zoom 3: thirds of a point.
            t.top = a.value(QLatin1String("top")).toDouble() / 3.0;
            t.left = a.value(QLatin1String("left")).toDouble() / 3.0;
            const double width = a.value(QLatin1String("width")).toDouble() / 3.0;
            t.size = fontSize.value(a.value(QLatin1String("font")).toString()) / 3.0;
            // pdftohtml joins neighbouring words of one line; a change of style inside
            // is marked with <b> and <i>. Each styled piece becomes a run of its own.
            QList<TextRun> pieces;
            int depth = 1;
            bool bold = false, italic = false;
            while (depth > 0 && !x.atEnd()) {
                x.readNext();
                if (x.isStartElement()) {
                    ++depth;
                    if (x.name() == QLatin1String("b")) bold = true;
                    if (x.name() == QLatin1String("i")) italic = true;
                } else if (x.isEndElement()) {
                    --depth;
                    if (x.name() == QLatin1String("b")) bold = false;
                    if (x.name() == QLatin1String("i")) italic = false;
                } else if (x.isCharacters()) {
                    if (!pieces.isEmpty() && pieces.last().bold == bold && pieces.last().italic == italic) {
                        pieces.last().text += x.text();
                    } else {
                        TextRun piece = t;
                        piece.bold = bold;
                        piece.italic = italic;
                        piece.text = x.text().toString();
                        pieces << piece;
                    }
                }
            }
            qsizetype total = 0;
            for (const TextRun& piece : std::as_const(pieces))
                total += piece.text.size();
            qsizetype done = 0;
            for (TextRun& piece : pieces) {
                // Placed by its share of the characters: exact for fixed-pitch fonts.
                piece.left = t.left + (total ? width * double(done) / double(total) : 0);
                done += piece.text.size();
                runs << piece;
            }
        }
    }
    return runs;
}

TextRun find(const QList<TextRun>& runs, const QString& needle)
{
    for (const TextRun& r : runs)
        if (r.text.contains(needle)) return r;
    return {};
}

bool renderToFile(const QString& pdf, int page, int dpi, const QString& png)
{
    QTemporaryDir dir;
    const QString prefix = dir.filePath(QStringLiteral("page"));
    if (!run(QStringLiteral("pdftoppm"), {QStringLiteral("-png"), QStringLiteral("-r"), QString::number(dpi),
                                          QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                                          QString::number(page), QStringLiteral("-singlefile"), pdf, prefix}))
        return false;
    QFile::remove(png);
    return QFile::copy(prefix + QStringLiteral(".png"), png);
}

QImage render(const QString& pdf, int page, int dpi)
{
    QTemporaryDir dir;
    const QString png = dir.filePath(QStringLiteral("out.png"));
    if (!renderToFile(pdf, page, dpi, png)) return {};
    return QImage(png);
}

} // namespace PdfProbe
