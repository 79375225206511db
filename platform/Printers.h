#pragma once
// The system's printers, through Qt's print support (so the CUPS queues),
// and one more printer, "Print to PDF", that writes a PDF file. Shaped like
// the class library's printer object: a list of names with a selected index,
// a device-settings block in place of the device mode, the device's
// capabilities and metrics, and a document whose pages are drawn through a
// canvas.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Exceptions.h"
#include "Types.h"

class TCanvas;

class EPrinter : public Exception {
public:
    using Exception::Exception;
};

// Platform paper identifiers used by name in the code.
enum : int { DMPAPER_LETTER = 1, DMPAPER_A4 = 9, DMPAPER_USER = 256 };
enum : int { DMORIENT_PORTRAIT = 1, DMORIENT_LANDSCAPE = 2 };
// Paper sources; 65535 (in the low word) leaves the printer's own source.
enum : int { DMBIN_UPPER = 1, DMBIN_AUTO = 7, DMBIN_KEEP = 0xFFFF };

// The device settings of the selected printer.
struct TPrinterDevMode {
    int PaperSize = DMPAPER_LETTER;       // platform paper identifier; DMPAPER_USER for a size of its own
    int PaperWidth = 0, PaperLength = 0;  // 0.1 mm, portrait; used with DMPAPER_USER
    int Orientation = DMORIENT_PORTRAIT;
    int Copies = 1;
    bool Collate = false;
    int DefaultSource = DMBIN_KEEP;
};

struct TPrinterCapability {
    int Id = 0;
    std::string Name;
};

// Device metrics of the selected printer with its current paper, in device pixels.
struct TPrinterMetrics {
    int PhysicalWidth = 0, PhysicalHeight = 0;  // the whole sheet
    int OffsetX = 0, OffsetY = 0;               // printable area from the sheet's corner
    int HorzRes = 0, VertRes = 0;               // printable area
    int LogPixelsX = 0, LogPixelsY = 0;         // pixels per inch
};

class TPrinter {
public:
    TPrinter();
    ~TPrinter();
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // The system's printers in the system's order, then "Print to PDF".
    const std::vector<std::string>& Printers() const { return FPrinters; }
    // Asks the system for its printers again; keeps the selection by name when it is still there.
    void Refresh();
    int GetPrinterIndex() const { return FIndex; }
    void SetPrinterIndex(int Index);
    std::string PrinterName() const;
    bool IsPdfPrinter() const;

    TPrinterDevMode GetDevMode() const;
    // Applies what the printer supports of Mode; read GetDevMode for what it took.
    void SetDevMode(const TPrinterDevMode& Mode);
    std::vector<TPrinterCapability> Papers() const;
    // The paper sources the printer names (none where the system does not say).
    std::vector<TPrinterCapability> Bins() const;
    TPrinterMetrics Metrics() const;

    // The document. Title names the print job. The PDF printer writes to
    // FileName, asking for one through the save dialog when it is empty (and
    // raising EAbort when the user cancels); a system printer prints to its
    // queue, or into FileName as PDF when one is set.
    std::string Title;
    std::string FileName;
    void BeginDoc();
    void NewPage();
    void EndDoc();
    void Abort();
    bool Printing() const;
    bool Aborted() const { return FAborted; }
    int PageNumber() const { return FPageNumber; }
    // The page's canvas while printing; coordinates are device pixels from the sheet's corner.
    TCanvas* Canvas();

    // The printer's settings dialog (paper, orientation, source); false when cancelled.
    bool PropertiesDialog();
    // The page set-up dialog: paper, orientation and Margins (hundredths of a
    // millimetre). On OK the printer takes the paper and orientation and
    // Margins holds the chosen ones; false when cancelled.
    bool PageSetupDialog(TRect& Margins);

private:
    struct State;
    std::unique_ptr<State> S;
    std::vector<std::string> FPrinters;
    int FIndex = 0;
    bool FAborted = false;
    int FPageNumber = 0;
    void Select(int Index);
};

// The program's printer object.
TPrinter* Printer();

// The printer settings dialog; the default shows Qt's page set-up for the
// printer. Tests answer it.
using TPrinterPropertiesHook = std::function<bool(TPrinter& Printer)>;
TPrinterPropertiesHook SetPrinterPropertiesHook(TPrinterPropertiesHook Hook);

// What the page set-up dialog offers and a person changes.
struct TPageSetupChoice {
    TPrinterDevMode DevMode;
    TRect Margins;  // hundredths of a millimetre
};
// The page set-up dialog; the default shows Qt's. Tests answer it.
using TPageSetupHook = std::function<bool(TPageSetupChoice& Choice)>;
TPageSetupHook SetPageSetupHook(TPageSetupHook Hook);
