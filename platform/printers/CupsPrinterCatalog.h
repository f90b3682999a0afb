#pragma once
#include "PrinterCatalog.h"

// The machine's printers: names, make and model, colour and printable size from Qt's
// printer list; the port from the CUPS destination's "device-uri".
class CupsPrinterCatalog final : public PrinterCatalog
{
  public:
    QList<PrinterInfo> printers() override;
    std::optional<PrinterInfo> systemDefault() override;
    std::optional<PrinterInfo> current() override;
    void setCurrent(const PrinterInfo& printer) override;
    // cupsPrintFile2 with the options Qt's own CUPS engine sends; its answer is kept,
    // where Qt's engine drops it.
    PrintSubmit printFile(const PrinterInfo& printer, const QString& pdf,
                          const PrintOptions& options) override;

  private:
    QString currentName_;
    QString currentPort_;
};
