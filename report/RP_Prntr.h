#pragma once
// The printer layer: the list of printers with the "Virtual printer" that
// needs no installed one, the current paper, the selected printer's papers
// and sources, and the geometry that ties page pixels to printer pixels.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "RP_Context.h"

class TPrinter;
class TPrinterSetupDialog;

// Page pixels per inch.
constexpr double rpPagePixelsPerInch = 93 / 1.015;

// Printer geometry: device pixels and page pixels of the sheet, of the
// printable area's offset and of its size.
struct TrpPrinterGeometry {
    int32_t DeviceWidth = 0, DeviceHeight = 0;
    int32_t PageWidth = 0, PageHeight = 0;
    int32_t DeviceOffsetX = 0, DeviceOffsetY = 0;
    int32_t PageOffsetX = 0, PageOffsetY = 0;
    int32_t DevicePrintableWidth = 0, DevicePrintableHeight = 0;
    int32_t PagePrintableWidth = 0, PagePrintableHeight = 0;
};

struct TrpPaperInfo {
    uint16_t Id;
    int32_t Width, Height;  // 0.1 mm, portrait
};
// The virtual printer's papers, in table order; the last entry is the user-defined size.
const std::vector<TrpPaperInfo>& rpPaperTable();

class TrpPrinter {
public:
    TrpPrinter();
    ~TrpPrinter();

    std::vector<std::string> PaperNames;  // parallel to PaperIds
    std::vector<std::string> BinNames;    // entry 0: the printer's own source
    std::vector<std::string> Printers;    // the platform's, then "Virtual printer"
    int PrinterIndex = 0;
    int VirtualPrinterIndex = 0;
    uint8_t Orientation = 0;  // 0 portrait, 1 landscape
    int32_t PaperSize = 9;
    int32_t PaperWidth = 0, PaperHeight = 0;  // 0.1 mm, as oriented
    int32_t Bin = 0xFFFF;
    std::vector<uint16_t> PaperIds;
    std::vector<uint16_t> BinIds;  // entry 0 is 65535
    int PaperCount() const { return int(PaperIds.size()); }
    int BinCount() const { return int(BinIds.size()); }

    TPrinter* Printer() const { return FPrinter; }
    bool IsVirtual() const { return PrinterIndex == VirtualPrinterIndex; }
    // Whether the platform lists any printer.
    bool HasPrinters() const { return VirtualPrinterIndex > 0; }

    void SetPrinter(TPrinter* printer);
    void SetPrinterIndex(int index);
    void GetSettings();
    void SetSettings();
    void Update() { GetSettings(); }
    bool IsEqual(int size, int width, int height, int bin, int orientation) const;
    void SetPrinterInfo(int size, int width, int height, int bin, int orientation, bool force);
    // Makes the paper current while a document prints, for the pages that follow.
    void ChangePaperWhilePrinting(int size, int width, int height, int bin, int orientation);
    void FillGeometry(TrpPrinterGeometry& geometry) const;
    void PropertiesDlg();

private:
    TPrinter* FPrinter = nullptr;
    void SelectVirtual();
};

// The program's printer layer, bound to the platform's printer on first use.
TrpPrinter& rpPrinter();
// Runs the platform's printer set-up dialog; on OK the printer layer takes
// the printer and paper chosen there, so that reports print on it.
bool rpPrinterSetup(TPrinterSetupDialog& dialog);
// The template-facing part of the printer layer, as a report context takes it.
std::unique_ptr<TrpPrinterLink> rpCreatePrinterLink();
