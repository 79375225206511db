// Printing prepared pages: the page list, copies, collation and parity, the
// print job on the printer layer, the change of printer, and the export
// entry point.

#include <algorithm>
#include <cstring>

#include "ClassesIO.h"
#include "Forms.h"
#include "Printers.h"
#include "RP_Class.h"
#include "RP_Prntr.h"
#include "SysUtils.h"

namespace {

// Restores a report event after the scope.
template <class F>
class EventGuard {
public:
    explicit EventGuard(F& event) : FEvent(event), FSaved(std::move(event)) { FEvent = nullptr; }
    ~EventGuard() { FEvent = std::move(FSaved); }

private:
    F& FEvent;
    F FSaved;
};

int PieceToInt(const std::string& text, size_t from, size_t to) { return StrToInt(text.substr(from, to - from)); }

}  // namespace

TRect rpPageDrawRect(const TrpPreparedPage& page, const TRect& pageRect, double scale) {
    if (page.UseMargins) return pageRect;
    const TrpPrnInfo& g = page.Geometry;
    const TRect& m = page.Margins;
    int left = rpRound((g.Ofx + m.Left) * scale) + pageRect.Left;
    int top = rpRound((g.Ofy + m.Top) * scale) + pageRect.Top;
    return TRect{left, top, left + rpRound((g.Pw - m.Left - m.Right) * scale),
                 top + rpRound((g.Ph - m.Top - m.Bottom) * scale)};
}

std::vector<int> TrpReport::ParsePageNumbers(const std::string& pageList) const {
    std::string text;
    for (char c : pageList)
        if (c != ' ') text += c;
    std::vector<int> list;
    if (text.empty()) return list;
    const int count = EMFPages->Count();
    if (text.back() == '-') text += std::to_string(count);
    text += ',';
    size_t s = 0;
    int rangeStart = 0;
    bool range = false;
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '-') {
            rangeStart = PieceToInt(text, s, i);
            range = true;
            s = i + 1;
        } else if (text[i] == ',') {
            int n = PieceToInt(text, s, i);
            s = i + 1;
            if (range) {
                // Only pages the report has are listed, so a huge range costs nothing.
                for (int p = std::max(rangeStart, 1); p <= std::min(n, count); ++p) list.push_back(p);
            } else if (n >= 1 && n <= count) {
                list.push_back(n);
            }
            range = false;
        }
    }
    return list;
}

std::vector<int> TrpReport::PrintOrder(const std::string& pageList, int copies, bool collate, int which) const {
    std::vector<int> numbers = ParsePageNumbers(pageList);
    std::vector<bool> listed(size_t(EMFPages->Count()),
                             numbers.empty() && pageList.find_first_not_of(' ') == std::string::npos);
    for (int n : numbers) listed[size_t(n - 1)] = true;
    std::vector<int> once;
    for (int i = 0; i < EMFPages->Count(); ++i) {
        if (!listed[size_t(i)]) continue;
        if (which == pwOdd && (i + 1) % 2 == 0) continue;
        if (which == pwEven && (i + 1) % 2 == 1) continue;
        once.push_back(i);
    }
    std::vector<int> order;
    for (int c = 0; c < (collate ? std::max(copies, 1) : 1); ++c) order.insert(order.end(), once.begin(), once.end());
    return order;
}

void TrpReport::PrintPreparedReport(const std::string& pageList, int copies, bool collate, int which) {
    Context().RootReport = this;
    Stopped = false;
    PrintPageList = pageList;
    PrintCopies = copies;
    PrintCollate = collate;
    PrintWhich = uint8_t(which);
    auto job = [this] { PrintPages(PrintPageList, PrintCopies, PrintCollate, PrintWhich); };
    if (!OnProgress && ShowProgress) {
        std::string caption = LoadEngineString(rpsPreparing);
        if (!Title.empty()) caption += " - " + Title;
        FProgressPrompt = LoadEngineString(rpsPrintingPage);
        Windows.RunWithProgress(this, caption, FProgressPrompt, job);
        return;
    }
    EventGuard<decltype(OnMouseOverObject)> detached(OnMouseOverObject);
    job();
}

void TrpReport::PrintPages(const std::string& pageList, int copies, bool collate, int which) {
    TrpPrinter& layer = rpPrinter();
    TPrinter* printer = layer.Printer();
    if (!printer || layer.IsVirtual())
        throw EPrinter("\"" + layer.Printers[size_t(layer.PrinterIndex)] + "\" cannot print; choose a printer");
    if (copies < 1) copies = 1;
    const std::vector<int> order = PrintOrder(pageList, copies, collate, which);
    if (order.empty()) return;
    auto applyPaper = [&](const TrpPreparedPage& page, bool printing) {
        if (layer.IsEqual(page.PaperSize, page.PaperWidth, page.PaperHeight, page.Bin, page.Orientation)) return;
        if (printing)
            layer.ChangePaperWhilePrinting(page.PaperSize, page.PaperWidth, page.PaperHeight, page.Bin,
                                           page.Orientation);
        else
            layer.SetPrinterInfo(page.PaperSize, page.PaperWidth, page.PaperHeight, page.Bin, page.Orientation, false);
    };
    applyPaper(EMFPages->Page(order.front()), false);
    printer->Title = Title.empty() ? LoadEngineString(rpsUntitled) : Title;
    if (OnPrintReport) OnPrintReport();
    TPrinterDevMode mode = printer->GetDevMode();
    mode.Copies = collate ? 1 : copies;
    mode.Collate = false;
    printer->SetDevMode(mode);
    printer->BeginDoc();
    try {
        bool first = true;
        for (int i : order) {
            TrpPreparedPage& page = EMFPages->Page(i);
            if (!first) {
                // A page of another paper starts a sheet of that paper in the
                // same document, so a PDF file keeps every page and a queue
                // gets one job.
                applyPaper(page, true);
                printer->NewPage();
            }
            first = false;
            TPrinterMetrics m = printer->Metrics();
            double scale = m.LogPixelsX / rpPagePixelsPerInch;
            TRect sheet{0, 0, rpRound(page.Geometry.Pgw * scale), rpRound(page.Geometry.Pgh * scale)};
            page.Visible = true;
            EMFPages->Draw(i, printer->Canvas(), rpPageDrawRect(page, sheet, scale));
            page.Page.reset();
            ShowProgressText(i + 1);
            if (Application) Application->ProcessMessages();
            if (Stopped) {
                printer->Abort();
                return;
            }
        }
        printer->EndDoc();
    } catch (...) {
        if (printer->Printing()) printer->Abort();
        throw;
    }
}

bool TrpReport::ChangePrinter(int oldIndex, int newIndex) {
    TrpPrinter& layer = rpPrinter();
    layer.SetPrinterIndex(newIndex);
    PrinterName = layer.Printers[size_t(layer.PrinterIndex)];
    layer.PaperSize = -1;  // forget the paper so that every page applies its own
    for (int i = 0; i < Pages->Count(); ++i) {
        TrpPage* page = Pages->Pages(i);
        page->ApplyPaperSettings(page->Size, page->Width, page->Height, page->Orientation, page->Bin);
    }
    return true;
}

void TrpReport::ExportTo(TrpExportFilter* filter, const std::string& fileName) {
    TrpContext& context = Context();
    context.BuildMode = true;
    ExportFilter = filter;
    struct Clear {
        TrpExportFilter*& f;
        ~Clear() { f = nullptr; }
    } clear{ExportFilter};
    filter->FileName = fileName;
    bool proceed = true;
    if (filter->OnBeforeExport) filter->OnBeforeExport(fileName, proceed);
    if (!proceed || !filter->ShowModal()) return;
    TMemoryStream stream;
    context.RootReport = this;
    context.TotalPagesCount = EMFPages->Count();
    filter->OnBeginDoc(&stream);
    auto job = [&] {
        for (int i = 0; i < EMFPages->Count(); ++i) {
            filter->OnBeginPage();
            EMFPages->LoadPageObjects(i);
            filter->OnPage(EMFPages->Page(i).Page.get());
            EMFPages->Page(i).Page.reset();
            ShowProgressText(i + 1);
            filter->OnEndPage();
        }
        filter->OnEndDoc();
    };
    if (ShowProgress) {
        std::string caption = LoadEngineString(rpsPreparing);
        if (!Title.empty()) caption += " - " + Title;
        FProgressPrompt = LoadEngineString(rpsProcessingPage);
        Windows.RunWithProgress(this, caption, FProgressPrompt + "  1", job);
    } else {
        job();
    }
    std::string bytes(reinterpret_cast<const char*>(stream.Memory()), size_t(stream.GetSize()));
    if (int error = classes_io::WriteFileAtomic(fileName, bytes))
        throw EFCreateError("Cannot create file \"" + fileName + "\". " + std::strerror(error));
    if (filter->OnAfterExport) filter->OnAfterExport(fileName);
}
