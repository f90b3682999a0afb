#pragma once
#include <QString>

// A text field of fixed width: what is assigned is cut at the width or filled on the
// right with blanks, so the field always holds exactly N characters.
template <int N> class FixedStr
{
  public:
    static constexpr int Width = N;
    FixedStr() : text_(N, QLatin1Char(' ')) {}
    FixedStr(const QString& v) { *this = v; } // NOLINT: assigned like a plain text
    FixedStr& operator=(const QString& v)
    {
        text_ = v.left(N).leftJustified(N, QLatin1Char(' '));
        return *this;
    }
    const QString& text() const { return text_; }
    operator const QString&() const { return text_; } // NOLINT
    bool operator==(const FixedStr& o) const { return text_ == o.text_; }

  private:
    QString text_;
};

// The printer settings record of the line printer engine.
struct T_PrtSet {
    FixedStr<80> Nome; // device name, "," or ";", port: as selected
    FixedStr<60> DriverName;
    FixedStr<60> DeviceName;
    qint16 Lunghezza = 0; // page length in lines
    qint16 Larghezza = 0; // page width in columns
    qint16 Landscape = 0; // 1 = landscape test layout
    qint16 Top = 0;       // free lines above the body
    qint16 Bottom = 0;    // free lines below the body
    FixedStr<20> Cha;     // "COMPRESSO" makes a plain INIT use the compressed font
    FixedStr<60> Act;
    FixedStr<60> Port;
    FixedStr<50> FontNorm;
    float FontNSiz = 0;
    qint16 PNo = 0;
    FixedStr<50> FontComp;
    float FontCSiz = 0;
    qint16 PCp = 0;
    FixedStr<50> FontSComp;
    float FontSCSiz = 0;
    qint16 PSCp = 0;
    qint16 Colore = 0;
};

// The one shared printer settings record.
extern T_PrtSet G_PrtSet;

// Makes the named printer current and loads its section of "QOR_PRT.INI" into G_PrtSet
// (the section is created with the defaults when missing), sets G_PrtMaxRow, writes
// "prt-ini.log" in the temporary folder and copies the values into [Default].
// nome: "" or "0" for the printer named by [Default] Printer, otherwise "Device,Port"
// or "Device;Port". A name without device and port takes the system default printer;
// with no printer installed the defaults are loaded and no section is written.
// Returns a copy of G_PrtSet.
T_PrtSet PRT_InitPrinter(const QString& nome);
