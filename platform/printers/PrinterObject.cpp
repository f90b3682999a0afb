#include "PrinterObject.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QFontMetricsF>
#include <QImage>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPrinter>
#include <QTemporaryFile>

#include <algorithm>
#include <cmath>

namespace
{

constexpr int Dpi = 1200; // QPrinter::HighResolution on PDF output
constexpr double TwPerInch = 1440.0;

double a4WidthTw()
{
    return QPageSize(QPageSize::A4).sizePoints().width() * 20.0;
}
double a4HeightTw()
{
    return QPageSize(QPageSize::A4).sizePoints().height() * 20.0;
}

// Text is measured on a device of the printer's resolution, so that a measure taken
// with no job open is the one the page gets.
const QPaintDevice* measureDevice()
{
    static QImage img = [] {
        QImage i(1, 1, QImage::Format_RGB32);
        const int dpm = int(std::lround(Dpi / 0.0254));
        i.setDotsPerMeterX(dpm);
        i.setDotsPerMeterY(dpm);
        return i;
    }();
    return &img;
}

double devToTw(double px)
{
    return px * TwPerInch / Dpi;
}
double twToDev(double tw)
{
    return tw * Dpi / TwPerInch;
}

} // namespace

struct PrinterObject::Job {
    bool failed = false;
    PrintJobEnd::Kind failure = PrintJobEnd::NoPrinter;
    QString folder;
    PrinterInfo info;
    PrintOptions options;
    std::unique_ptr<QTemporaryFile> spool;
    std::unique_ptr<QPrinter> printer;
    QPainter painter;
    bool breakPending = false;
    int pages = 0;
    int pageOrientation = 1;
    double pageWidthTw = 0, pageHeightTw = 0; // the sheet, in the page's orientation
    Area pageArea{};

    ~Job()
    {
        if (painter.isActive()) painter.end();
        printer.reset();
        if (spool) spool->remove();
    }
};

PrinterObject::PrinterObject() = default;
PrinterObject::~PrinterObject() = default;

void PrinterObject::refresh()
{
    const std::optional<PrinterInfo> p = printerCatalog().current();
    hasPrinter_ = p.has_value();
    info_ = p.value_or(PrinterInfo());
    infoTaken_ = true;
}

void PrinterObject::reset()
{
    job_.reset();
    Font = FontProps();
    scaleMode_ = 1;
    scaleLeft_ = scaleTop_ = scaleW_ = scaleH_ = 0;
    currentX_ = currentY_ = 0;
    copies_ = 1;
    orientation_ = 1;
    printQuality_ = 0;
    duplex_ = 1;
    paperBin_ = 1;
    paperSize_ = 9;
    zoom_ = 0;
    infoTaken_ = false;
}

PrinterObject::Area PrinterObject::area(int orientation) const
{
    if (!infoTaken_) const_cast<PrinterObject*>(this)->refresh();
    Area a{};
    if (hasPrinter_ && info_.printableWidthTw > 0 && info_.printableHeightTw > 0) {
        a = {info_.printableLeftTw, info_.printableTopTw, info_.printableWidthTw, info_.printableHeightTw};
    } else {
        // Nothing to measure: an A4 sheet with quarter-inch margins.
        a = {360, 360, a4WidthTw() - 720, a4HeightTw() - 720};
    }
    if (orientation == 2) a = {a.top, a.left, a.height, a.width};
    return a;
}

PrinterObject::Area PrinterObject::shownArea() const
{
    if (job_ && !job_->failed && !job_->breakPending) return job_->pageArea;
    return area(orientation_);
}

double PrinterObject::unitX() const
{
    switch (scaleMode_) {
    case 4:
        return 120;
    case 0:
        return scaleW_ != 0 ? shownArea().width / scaleW_ : 1;
    default:
        return 1;
    }
}

double PrinterObject::unitY() const
{
    switch (scaleMode_) {
    case 4:
        return 240;
    case 0:
        return scaleH_ != 0 ? shownArea().height / scaleH_ : 1;
    default:
        return 1;
    }
}

bool PrinterObject::setScaleMode(int mode)
{
    if (mode != 0 && mode != 1 && mode != 4) return false;
    if (mode == 0) {
        if (scaleMode_ != 0) {
            scaleW_ = ScaleWidth();
            scaleH_ = ScaleHeight();
        }
        scaleMode_ = 0;
        return true;
    }
    scaleMode_ = mode;
    scaleLeft_ = 0;
    scaleTop_ = 0;
    return true;
}

double PrinterObject::ScaleWidth() const
{
    return scaleMode_ == 0 ? scaleW_ : shownArea().width / unitX();
}

double PrinterObject::ScaleHeight() const
{
    return scaleMode_ == 0 ? scaleH_ : shownArea().height / unitY();
}

bool PrinterObject::setScaleWidth(double v)
{
    if (v == 0 || !std::isfinite(v)) return false;
    setScaleMode(0);
    scaleW_ = v;
    return true;
}

bool PrinterObject::setScaleHeight(double v)
{
    if (v == 0 || !std::isfinite(v)) return false;
    setScaleMode(0);
    scaleH_ = v;
    return true;
}

bool PrinterObject::refused(const char* setting) const
{
    if (!infoTaken_) const_cast<PrinterObject*>(this)->refresh();
    return info_.refusedSettings.contains(QLatin1String(setting), Qt::CaseInsensitive);
}

bool PrinterObject::setCopies(int n)
{
    if (n < 1 || refused("Copies")) return false;
    copies_ = n;
    return true;
}

bool PrinterObject::setOrientation(int o)
{
    if ((o != 1 && o != 2) || refused("Orientation")) return false;
    orientation_ = o;
    return true;
}

bool PrinterObject::setPrintQuality(int q)
{
    if (refused("PrintQuality")) return false;
    printQuality_ = q;
    return true;
}

bool PrinterObject::setDuplex(int d)
{
    if (d < 1 || d > 3 || refused("Duplex")) return false;
    duplex_ = d;
    return true;
}

bool PrinterObject::setPaperBin(int b)
{
    if (refused("PaperBin")) return false;
    paperBin_ = b; // the printing system chooses the tray
    return true;
}

bool PrinterObject::setPaperSize(int s)
{
    if (s != 9 || refused("PaperSize")) return false;
    paperSize_ = s;
    return true;
}

bool PrinterObject::setZoom(int z)
{
    if (refused("Zoom")) return false;
    zoom_ = z;
    return true;
}

QString PrinterObject::DeviceName() const
{
    if (!infoTaken_) const_cast<PrinterObject*>(this)->refresh();
    return info_.deviceName;
}

QString PrinterObject::DriverName() const
{
    if (!infoTaken_) const_cast<PrinterObject*>(this)->refresh();
    return info_.driverName;
}

namespace
{
QFont qfontOf(const PrinterObject::FontProps& p)
{
    QFont f(p.Name);
    f.setPointSizeF(p.Size > 0 && std::isfinite(p.Size) ? p.Size : 12);
    f.setBold(p.Bold);
    f.setItalic(p.Italic);
    f.setUnderline(p.Underline);
    f.setHintingPreference(QFont::PreferNoHinting);
    return f;
}
} // namespace

double PrinterObject::TextHeight(const QString&) const
{
    const QFontMetricsF fm(qfontOf(Font), const_cast<QPaintDevice*>(measureDevice()));
    return devToTw(fm.lineSpacing()) / unitY();
}

double PrinterObject::TextWidth(const QString& text) const
{
    const QFontMetricsF fm(qfontOf(Font), const_cast<QPaintDevice*>(measureDevice()));
    return devToTw(fm.horizontalAdvance(text)) / unitX();
}

bool PrinterObject::jobOpen() const
{
    return job_ != nullptr;
}

bool PrinterObject::jobFailed() const
{
    return job_ && job_->failed;
}

namespace
{
QPageLayout layoutFor(double widthTw, double heightTw, double leftTw, double topTw, double areaW,
                      double areaH, bool landscape)
{
    const QMarginsF m(leftTw / 20.0, topTw / 20.0, std::max(0.0, widthTw - leftTw - areaW) / 20.0,
                      std::max(0.0, heightTw - topTw - areaH) / 20.0);
    QPageLayout l(QPageSize(QPageSize::A4), landscape ? QPageLayout::Landscape : QPageLayout::Portrait, m,
                  QPageLayout::Point);
    l.setMode(QPageLayout::FullPageMode); // margins are ours, the painter's origin is moved by hand
    return l;
}
} // namespace

bool PrinterObject::beginOutput()
{
    if (job_) return !job_->failed;
    refresh();
    job_ = std::make_unique<Job>();
    Job& j = *job_;
    j.info = info_;
    if (!hasPrinter_) {
        j.failed = true;
        j.failure = PrintJobEnd::NoPrinter;
        return false;
    }
    j.options.copies = copies_;
    j.options.duplex = duplex_;
    j.options.landscape = orientation_ == 2;
    j.options.printQuality = printQuality_;
    // QDir::tempPath() answers "" for a TMPDIR that does not exist: the folder asked
    // for is the one to name.
    j.folder = QDir::tempPath();
    if (j.folder.isEmpty()) j.folder = qEnvironmentVariable("TMPDIR");
    j.spool = std::make_unique<QTemporaryFile>(QDir(j.folder).filePath(QStringLiteral("Plicora-XXXXXX.pdf")));
    if (!QFileInfo(j.folder).isDir() || !j.spool->open()) {
        j.spool.reset();
        j.failed = true;
        j.failure = PrintJobEnd::NotStarted;
        return false;
    }
    j.spool->close();
    j.printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    j.printer->setOutputFormat(QPrinter::PdfFormat);
    j.printer->setOutputFileName(j.spool->fileName());
    j.printer->setResolution(Dpi);
    j.printer->setCreator(QStringLiteral("Plicora"));
    j.printer->setDocName(QStringLiteral("Plicora"));
    j.pageOrientation = orientation_;
    j.pageArea = area(orientation_);
    const bool land = orientation_ == 2;
    j.pageWidthTw = land ? a4HeightTw() : a4WidthTw();
    j.pageHeightTw = land ? a4WidthTw() : a4HeightTw();
    j.printer->setPageLayout(layoutFor(j.pageWidthTw, j.pageHeightTw, j.pageArea.left, j.pageArea.top,
                                       j.pageArea.width, j.pageArea.height, land));
    if (!j.painter.begin(j.printer.get())) {
        j.failed = true;
        j.failure = PrintJobEnd::NotStarted;
        return false;
    }
    j.pages = 1;
    return true;
}

void PrinterObject::makeBreak()
{
    Job& j = *job_;
    j.breakPending = false;
    j.pageOrientation = orientation_;
    j.pageArea = area(orientation_);
    const bool land = orientation_ == 2;
    j.pageWidthTw = land ? a4HeightTw() : a4WidthTw();
    j.pageHeightTw = land ? a4WidthTw() : a4HeightTw();
    j.printer->setPageLayout(layoutFor(j.pageWidthTw, j.pageHeightTw, j.pageArea.left, j.pageArea.top,
                                       j.pageArea.width, j.pageArea.height, land));
    j.printer->newPage();
    ++j.pages;
}

void PrinterObject::Print(const QString& text, bool lineEnd)
{
    const double ux = unitX();
    const double uy = unitY();
    double advanceTw = 0;
    if (beginOutput()) {
        if (job_->breakPending) makeBreak();
        Job& j = *job_;
        const QFont f = qfontOf(Font);
        const QFontMetricsF fm(f, const_cast<QPaintDevice*>(measureDevice()));
        // Page coordinates: the sheet's corner, the printable area moved in by hand.
        const double xTw = j.pageArea.left + (currentX_ - scaleLeft_) * ux;
        const double yTw = j.pageArea.top + (currentY_ - scaleTop_) * uy;
        QString shown = text;
        // Only what can reach the page is laid out: no glyph is narrower than a tenth
        // of the font's size, so a megabyte line costs no more than a short one.
        const double roomTw = j.pageWidthTw - xTw;
        const double minGlyphTw = std::max(1.0, f.pointSizeF() * 2.0);
        const qsizetype fits = roomTw <= 0 ? 0 : qsizetype(roomTw / minGlyphTw) + 2;
        if (shown.size() > fits) shown.truncate(fits);
        advanceTw = devToTw(fm.horizontalAdvance(shown));
        if (advanceTw > roomTw) {
            // Only the glyphs that reach the page go into it (the one across the edge
            // is cut by the clip).
            qsizetype lo = 0, hi = shown.size();
            while (lo < hi) {
                const qsizetype mid = (lo + hi + 1) / 2;
                if (devToTw(fm.horizontalAdvance(shown.left(mid))) <= roomTw)
                    lo = mid;
                else
                    hi = mid - 1;
            }
            shown.truncate(std::min(lo + 1, shown.size()));
        }
        if (!shown.isEmpty() && yTw < j.pageHeightTw && xTw < j.pageWidthTw) {
            j.painter.save();
            j.painter.setClipRect(QRectF(0, 0, twToDev(j.pageWidthTw), twToDev(j.pageHeightTw)));
            j.painter.setFont(f);
            j.painter.setPen(Qt::black);
            j.painter.drawText(QPointF(twToDev(xTw), twToDev(yTw) + fm.ascent()), shown);
            j.painter.restore();
        }
    } else {
        const qsizetype cap = 4096; // measuring a lost line needs no more
        advanceTw = devToTw(QFontMetricsF(qfontOf(Font), const_cast<QPaintDevice*>(measureDevice()))
                                .horizontalAdvance(text.left(cap)));
    }
    if (lineEnd) {
        currentX_ = scaleLeft_;
        currentY_ += TextHeight();
    } else {
        currentX_ += advanceTw / ux;
    }
}

void PrinterObject::NewPage()
{
    if (!beginOutput()) return;
    // A break asked twice gives the blank page between them.
    if (job_->breakPending) makeBreak();
    job_->breakPending = true;
}

PrintJobEnd PrinterObject::finish(bool submit)
{
    PrintJobEnd r;
    if (!job_) return r;
    Job& j = *job_;
    r.printer = j.info.deviceName;
    r.pages = j.pages;
    if (j.failed) {
        r.kind = j.failure;
        r.folder = j.folder;
        r.pages = 0;
    } else if (!submit) {
        j.painter.end();
        r.kind = PrintJobEnd::Interrupted;
    } else if (!j.painter.end() || QFileInfo(j.spool->fileName()).size() == 0) {
        r.kind = PrintJobEnd::NotStarted;
        r.folder = j.folder;
        r.pages = 0;
    } else {
        const PrintSubmit s = printerCatalog().printFile(j.info, j.spool->fileName(), j.options);
        if (s.ok) {
            r.kind = PrintJobEnd::Printed;
            r.jobId = s.jobId;
        } else {
            r.kind = PrintJobEnd::Refused;
            r.error = s.error;
        }
    }
    job_.reset();
    return r;
}

PrintJobEnd PrinterObject::EndDoc()
{
    return finish(true);
}

PrintJobEnd PrinterObject::KillDoc()
{
    return finish(false);
}

PrinterObject& Printer()
{
    static PrinterObject p;
    return p;
}
