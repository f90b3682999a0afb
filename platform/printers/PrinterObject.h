#pragma once
#include "PrinterCatalog.h"

#include <QString>

#include <memory>

// How a print job ended.
struct PrintJobEnd {
    enum Kind {
        NoJob,       // nothing was printed since the last end
        Printed,     // the printing system took the job
        NoPrinter,   // no printer installed
        NotStarted,  // the spool file could not be made
        Refused,     // the printing system refused the job
        Interrupted, // dropped before its end
    };
    Kind kind = NoJob;
    int pages = 0;
    int jobId = 0;
    QString printer; // device name
    QString folder;  // spool folder (NotStarted)
    QString error;   // the printing system's text (Refused)
};

// The program's printer object: the current printer of printerCatalog(), measured and
// drawn on like a page of paper. Coordinates start at the printable area's top-left
// corner, in the unit of ScaleMode: 1 twips, 4 characters (a column 120 twips, a row
// 240), 0 a user scale made by assigning ScaleWidth or ScaleHeight over the printable
// width or height. A job begins at the first Print or NewPage after the last EndDoc or
// KillDoc: each page is drawn into a PDF spool file in the temporary folder, which
// EndDoc hands to the printing system and every end removes.
//
// A setting the printer does not take answers false and changes nothing.
class PrinterObject
{
  public:
    PrinterObject();
    ~PrinterObject();
    PrinterObject(const PrinterObject&) = delete;
    PrinterObject& operator=(const PrinterObject&) = delete;

    struct FontProps {
        QString Name = QStringLiteral("Courier New");
        double Size = 12;
        bool Bold = false;
        bool Italic = false;
        bool Underline = false;
    };
    // Used by the next Print and TextHeight.
    FontProps Font;

    int ScaleMode() const { return scaleMode_; }
    bool setScaleMode(int mode); // 0, 1 and 4
    double ScaleLeft() const { return scaleLeft_; }
    void setScaleLeft(double v) { scaleLeft_ = v; }
    double ScaleTop() const { return scaleTop_; }
    void setScaleTop(double v) { scaleTop_ = v; }
    double ScaleWidth() const;
    bool setScaleWidth(double v);
    double ScaleHeight() const;
    bool setScaleHeight(double v);
    double CurrentX() const { return currentX_; }
    void setCurrentX(double v) { currentX_ = v; }
    double CurrentY() const { return currentY_; }
    void setCurrentY(double v) { currentY_ = v; }

    int Copies() const { return copies_; }
    bool setCopies(int n);
    // 1 portrait, 2 landscape: the printable area turns from the next page begun.
    int Orientation() const { return orientation_; }
    bool setOrientation(int o);
    int PrintQuality() const { return printQuality_; }
    bool setPrintQuality(int q);
    int Duplex() const { return duplex_; }
    bool setDuplex(int d);
    int PaperBin() const { return paperBin_; }
    bool setPaperBin(int b);
    int PaperSize() const { return paperSize_; }
    bool setPaperSize(int s); // every page is A4 (9)
    int Zoom() const { return zoom_; }
    bool setZoom(int z);
    // No printer of this platform follows the system default on its own.
    bool TrackDefault() const { return false; }
    QString DeviceName() const;
    QString DriverName() const;

    // Prints text with its top at CurrentY; CurrentX moves on by its width, or with a
    // line end back to ScaleLeft with CurrentY one TextHeight down. What passes the
    // page's edge is not drawn.
    void Print(const QString& text, bool lineEnd);
    // The font's line spacing, in the current unit.
    double TextHeight(const QString& text = QString()) const;
    double TextWidth(const QString& text) const;
    // Ends the page; the next one begins with the next output, so a NewPage right
    // before EndDoc adds no blank page.
    void NewPage();
    // Ends the job and hands it to the printing system.
    PrintJobEnd EndDoc();
    // Drops the job.
    PrintJobEnd KillDoc();

    bool jobOpen() const;
    // The job begun could not start (no printer, no spool file): what it prints is lost.
    bool jobFailed() const;

    // Takes the catalog's current printer again (done at each job's beginning too).
    void refresh();
    // Back to the state of a new object (tests): the job dropped, the settings put back.
    void reset();

  private:
    struct Job;
    struct Area {
        double left, top, width, height; // twips
    };
    Area area(int orientation) const;
    Area shownArea() const; // the area coordinates are measured on now
    double unitX() const;
    double unitY() const;
    bool refused(const char* setting) const;
    bool beginOutput();
    void makeBreak();
    PrintJobEnd finish(bool submit);

    PrinterInfo info_;
    bool hasPrinter_ = false;
    bool infoTaken_ = false;
    int scaleMode_ = 1;
    double scaleLeft_ = 0, scaleTop_ = 0, scaleW_ = 0, scaleH_ = 0;
    double currentX_ = 0, currentY_ = 0;
    int copies_ = 1, orientation_ = 1, printQuality_ = 0, duplex_ = 1, paperBin_ = 1, paperSize_ = 9,
        zoom_ = 0;
    std::unique_ptr<Job> job_;
};

// The one printer object of the program.
PrinterObject& Printer();
