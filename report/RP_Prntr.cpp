#include "RP_Prntr.h"

#include <cmath>

#include "Dialogs.h"
#include "Printers.h"
#include "RP_Class.h"
#include "RP_Globals.h"

namespace {

// Rounds half to even, as the engine's geometry does.
int Nearest(double value) { return int(std::nearbyint(value)); }

constexpr uint16_t kUserPaper = 256;

}  // namespace

const std::vector<TrpPaperInfo>& rpPaperTable() {
    static const std::vector<TrpPaperInfo> table = {
        {1, 2159, 2794},    {2, 2159, 2794},   {3, 2794, 4318},  {4, 4318, 2794},  {5, 2159, 3556},  {6, 1397, 2159},
        {7, 1842, 2667},    {8, 2970, 4200},   {9, 2100, 2970},  {10, 2100, 2970}, {11, 1480, 2100}, {12, 2500, 3540},
        {13, 1820, 2570},   {14, 2159, 3302},  {15, 2150, 2750}, {16, 2540, 3556}, {17, 2794, 4318}, {18, 2159, 2794},
        {19, 984, 2254},    {20, 1048, 2413},  {21, 1143, 2635}, {22, 1207, 2794}, {23, 1270, 2921}, {24, 4318, 5588},
        {25, 5588, 8636},   {26, 8636, 11176}, {27, 1100, 2200}, {28, 1620, 2290}, {29, 3240, 4580}, {30, 2290, 3240},
        {31, 1140, 1620},   {32, 1140, 2290},  {33, 2500, 3530}, {34, 1760, 2500}, {35, 1760, 1250}, {36, 1100, 2300},
        {37, 984, 1905},    {38, 920, 1651},   {39, 3778, 2794}, {40, 2159, 3048}, {41, 2159, 3302}, {42, 2500, 3530},
        {43, 1000, 1480},   {44, 2286, 2794},  {45, 2540, 2794}, {46, 3810, 2794}, {47, 2200, 2200}, {50, 2355, 3048},
        {51, 2355, 3810},   {52, 2969, 4572},  {53, 2354, 3223}, {54, 2101, 2794}, {55, 2100, 2970}, {56, 2355, 3048},
        {57, 2270, 3560},   {58, 3050, 4870},  {59, 2159, 3223}, {60, 2100, 3300}, {61, 1480, 2100}, {62, 1820, 2570},
        {63, 3220, 4450},   {64, 1740, 2350},  {65, 2010, 2760}, {66, 4200, 5940}, {67, 2970, 4200}, {68, 3220, 4450},
        {kUserPaper, 0, 0},
    };
    return table;
}

TrpPrinter::TrpPrinter() { Printers.push_back(LoadEngineString(rpsVirtualPrinter)); }

TrpPrinter::~TrpPrinter() = default;

void TrpPrinter::SetPrinter(TPrinter* printer) {
    Printers.clear();
    PrinterIndex = 0;
    FPrinter = printer;
    if (FPrinter) {
        Printers = FPrinter->Printers();
        PrinterIndex = FPrinter->GetPrinterIndex();
    }
    Printers.push_back(LoadEngineString(rpsVirtualPrinter));
    VirtualPrinterIndex = int(Printers.size()) - 1;
    if (!HasPrinters()) {
        PrinterIndex = VirtualPrinterIndex;
        SetSettings();
    } else {
        GetSettings();
    }
}

void TrpPrinter::SetPrinterIndex(int index) {
    if (index == PrinterIndex) return;
    if (index < 0 || index > VirtualPrinterIndex)
        throw EListError("Printer index " + std::to_string(index) + " out of range (" +
                         std::to_string(Printers.size()) + " printers)");
    PrinterIndex = index;
    if (!IsVirtual() && HasPrinters()) {
        FPrinter->SetPrinterIndex(index);
        GetSettings();
    } else {
        SetSettings();
    }
}

void TrpPrinter::SelectVirtual() { SetPrinterIndex(VirtualPrinterIndex); }

void TrpPrinter::GetSettings() {
    if (IsVirtual() || !FPrinter) return;
    try {
        TPrinterDevMode mode = FPrinter->GetDevMode();
        TPrinterMetrics m = FPrinter->Metrics();
        if (m.LogPixelsX <= 0 || m.LogPixelsY <= 0)
            throw EPrinter("Printer \"" + FPrinter->PrinterName() + "\" reports no resolution");
        PaperSize = int16_t(mode.PaperSize);
        PaperWidth = Nearest(double(m.PhysicalWidth) / m.LogPixelsX * 254);
        PaperHeight = Nearest(double(m.PhysicalHeight) / m.LogPixelsY * 254);
        // The lists take the printer's own counts, however many it has.
        PaperIds.clear();
        PaperNames.clear();
        for (const TPrinterCapability& p : FPrinter->Papers()) {
            PaperIds.push_back(uint16_t(p.Id));
            PaperNames.push_back(p.Name);
        }
        Bin = int16_t(mode.DefaultSource);
        BinIds.assign(1, 0xFFFF);
        BinNames.assign(1, LoadEngineString(55435));
        for (const TPrinterCapability& b : FPrinter->Bins()) {
            BinIds.push_back(uint16_t(b.Id));
            BinNames.push_back(b.Name);
        }
        Orientation = mode.Orientation == DMORIENT_PORTRAIT ? 0 : 1;
    } catch (const Exception&) {
        SelectVirtual();
    }
}

void TrpPrinter::SetSettings() {
    if (!IsVirtual() && FPrinter) {
        TPrinterDevMode mode = FPrinter->GetDevMode();
        mode.PaperSize = PaperSize;
        if (PaperSize == kUserPaper) {
            // The device wants the portrait size.
            mode.PaperWidth = Orientation ? PaperHeight : PaperWidth;
            mode.PaperLength = Orientation ? PaperWidth : PaperHeight;
        }
        mode.Orientation = Orientation ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
        mode.Copies = 1;
        if ((Bin & 0xFFFF) < 0xFFFF) mode.DefaultSource = Bin;
        FPrinter->SetDevMode(mode);
        GetSettings();
        return;
    }
    const auto& table = rpPaperTable();
    PaperNames.assign(table.size(), std::string());
    PaperIds.clear();
    for (const TrpPaperInfo& p : table) PaperIds.push_back(p.Id);
    BinIds.assign(1, 0xFFFF);
    BinNames.assign(1, LoadEngineString(55435));
    if (PaperSize == kUserPaper) return;
    for (const TrpPaperInfo& p : table)
        if (p.Id == PaperSize) {
            PaperWidth = Orientation ? p.Height : p.Width;
            PaperHeight = Orientation ? p.Width : p.Height;
            break;
        }
}

bool TrpPrinter::IsEqual(int size, int width, int height, int bin, int orientation) const {
    if (size == PaperSize && size == kUserPaper)
        return std::abs(width - PaperWidth) <= 1 && std::abs(height - PaperHeight) <= 1 && orientation == Orientation;
    return size == PaperSize && orientation == Orientation && (bin == Bin || (bin & 0xFFFF) == 0xFFFF);
}

void TrpPrinter::SetPrinterInfo(int size, int width, int height, int bin, int orientation, bool force) {
    if (FPrinter && FPrinter->Printing()) return;
    if (!force && IsEqual(size, width, height, bin, orientation)) return;
    PaperSize = size;
    PaperWidth = width;
    PaperHeight = height;
    Bin = bin;
    Orientation = uint8_t(orientation);
    SetSettings();
}

void TrpPrinter::ChangePaperWhilePrinting(int size, int width, int height, int bin, int orientation) {
    PaperSize = size;
    PaperWidth = width;
    PaperHeight = height;
    Bin = bin;
    Orientation = uint8_t(orientation);
    SetSettings();
}

void TrpPrinter::FillGeometry(TrpPrinterGeometry& g) const {
    if (IsVirtual() || !FPrinter) {
        g.PageWidth = Nearest(PaperWidth * rpPagePixelsPerInch / 254);
        g.PageHeight = Nearest(PaperHeight * rpPagePixelsPerInch / 254);
        g.PageOffsetX = g.PageOffsetY = Nearest(50 * rpPagePixelsPerInch / 254);
        g.PagePrintableWidth = g.PageWidth - 2 * g.PageOffsetX;
        g.PagePrintableHeight = g.PageHeight - 2 * g.PageOffsetY;
        return;
    }
    TPrinterMetrics m = FPrinter->Metrics();
    double kx = rpPagePixelsPerInch / m.LogPixelsX, ky = rpPagePixelsPerInch / m.LogPixelsY;
    g.DeviceWidth = m.PhysicalWidth;
    g.DeviceHeight = m.PhysicalHeight;
    g.DeviceOffsetX = m.OffsetX;
    g.DeviceOffsetY = m.OffsetY;
    g.DevicePrintableWidth = m.HorzRes;
    g.DevicePrintableHeight = m.VertRes;
    g.PageWidth = Nearest(g.DeviceWidth * kx);
    g.PageOffsetX = Nearest(g.DeviceOffsetX * kx);
    g.PagePrintableWidth = Nearest(g.DevicePrintableWidth * kx);
    g.PageHeight = Nearest(g.DeviceHeight * ky);
    g.PageOffsetY = Nearest(g.DeviceOffsetY * ky);
    g.PagePrintableHeight = Nearest(g.DevicePrintableHeight * ky);
}

void TrpPrinter::PropertiesDlg() {
    if (IsVirtual() || !FPrinter) return;
    if (FPrinter->PropertiesDialog()) GetSettings();
}

TrpPrinter& rpPrinter() {
    static TrpPrinter* printer = [] {
        auto* p = new TrpPrinter();
        try {
            p->SetPrinter(::Printer());
        } catch (const Exception&) {
            // Without the platform's printers the virtual one serves.
            p->SetPrinter(nullptr);
        }
        return p;
    }();
    return *printer;
}

bool rpPrinterSetup(TPrinterSetupDialog& dialog) {
    if (!dialog.Execute()) return false;
    rpPrinter().SetPrinter(::Printer());
    return true;
}

namespace {

class TrpPrinterLayerLink : public TrpPrinterLink {
public:
    void DefaultPaper(int& size, int& width, int& height) override {
        TrpPrinter& p = rpPrinter();
        size = p.PaperSize;
        width = p.PaperWidth;
        height = p.PaperHeight;
    }
    void ApplyPaper(int& size, int& width, int& height, int& orientation, int& bin, TrpPrnInfo& info) override {
        TrpPrinter& p = rpPrinter();
        if (bin == -1) bin = 0xFFFF;
        p.SetPrinterInfo(size, width, height, bin, orientation, false);
        size = p.PaperSize;
        width = p.PaperWidth;
        height = p.PaperHeight;
        orientation = p.Orientation;
        TrpPrinterGeometry g;
        p.FillGeometry(g);
        info.Pgw = g.PageWidth;
        info.Pgh = g.PageHeight;
        info.Ofx = g.PageOffsetX;
        info.Ofy = g.PageOffsetY;
        info.Pw = g.PagePrintableWidth;
        info.Ph = g.PagePrintableHeight;
    }
    std::string CurrentPrinterName() override {
        TrpPrinter& p = rpPrinter();
        return p.Printers[size_t(p.PrinterIndex)];
    }
    void SelectPrinter(const std::string& name) override {
        TrpPrinter& p = rpPrinter();
        for (int i = 0; i < p.VirtualPrinterIndex; ++i)
            if (p.Printers[size_t(i)] == name) {
                p.SetPrinterIndex(i);
                return;
            }
    }
};

}  // namespace

std::unique_ptr<TrpPrinterLink> rpCreatePrinterLink() { return std::make_unique<TrpPrinterLayerLink>(); }
