// Printing prepared schedules to PDF and turning a page in the preview.

#include <benchmark/benchmark.h>

#include <fstream>
#include <sstream>

#include "BenchWindow.h"
#include "Printers.h"
#include "RP_Class.h"
#include "RP_Prntr.h"
#include "RP_Prv.h"
#include "RP_View.h"
#include "SysUtils.h"

namespace {

constexpr int kRowsPerPage = 47;

// A prepared schedule of `rows` rows of eight cells, as the amortization report prints it.
std::unique_ptr<TrpReport> PreparedSchedule(int rows) {
    EnsureApp();
    FormatSettings = USFormatSettings();
    auto report = std::make_unique<TrpReport>(nullptr);
    report->ShowProgress = false;
    report->Context().SetPrinter(rpCreatePrinterLink());
    TrpPage* page = report->Pages->Add();
    page->ApplyPaperSettings(1, 2159, 2794, 0, 0xFFFF);
    for (int first = 0; first < rows; first += kRowsPerPage) {
        report->EMFPages->Add(page);
        TMemoryStream* stream = report->EMFPages->Page(report->EMFPages->Count() - 1).Stream.get();
        for (int row = first; row < std::min(rows, first + kRowsPerPage); ++row)
            for (int cell = 0; cell < 8; ++cell) {
                auto* memo = new TrpMemoView;
                memo->x = 20 + cell * 92;
                memo->y = 40 + (row - first) * 20;
                memo->dx = 90;
                memo->dy = 18;
                memo->Memo->SetText(cell == 0 ? std::to_string(row + 1)
                                              : FormatFloat("#,##0.00", 100000.0 - row * 3.05 + cell));
                page->AddObject(memo);
                memo->WritePreparedObject(stream);
            }
        page->ClearObjects();
    }
    return report;
}

void SelectPdfPrinter() {
    TrpPrinter& layer = rpPrinter();
    for (int i = 0; i < layer.VirtualPrinterIndex; ++i)
        if (layer.Printers[size_t(i)] == "Print to PDF") layer.SetPrinterIndex(i);
}

void PrintToPdf(benchmark::State& state, int rows) {
    auto report = PreparedSchedule(rows);
    SelectPdfPrinter();
    Printer()->FileName = "/tmp/varnholt-print-bench.pdf";
    for (auto _ : state) report->PrintPreparedReport("", 1, false, pwAll);
    Printer()->FileName.clear();
    state.counters["pages"] = report->EMFPages->Count();
    state.counters["ms_per_page"] = benchmark::Counter(double(report->EMFPages->Count()) * state.iterations(),
                                                       benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
    std::remove("/tmp/varnholt-print-bench.pdf");
}

void BM_Print360RowScheduleToPdf(benchmark::State& state) { PrintToPdf(state, 360); }
BENCHMARK(BM_Print360RowScheduleToPdf)->Unit(benchmark::kMillisecond);

void BM_Print32767RowScheduleToPdf(benchmark::State& state) { PrintToPdf(state, 32767); }
BENCHMARK(BM_Print32767RowScheduleToPdf)->Unit(benchmark::kMillisecond)->Iterations(3);

std::string FormFile(const std::string& name) {
    std::ifstream in(std::string(VARNHOLT_SOURCE_DIR) + "/resources/" + name);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

// Turning a page at 100 %: the next page scrolled to and painted.
void BM_PreviewTurnsAPage(benchmark::State& state) {
    auto report = PreparedSchedule(360);
    TrpPreviewForm preview(nullptr, FormFile("forms/rpPreview.txt"));
    preview.SetWindowState(wsNormal);
    preview.SetBounds(0, 0, 1000, 1100);
    preview.Connect(report.get());
    rpLastScale = 1.0;
    rpLastScaleMode = smFixed;
    preview.InitPreview(true);
    TBitmap surface;
    surface.SetSize(preview.PaintBox->GetWidth(), preview.PaintBox->GetHeight());
    TCanvas* canvas = surface.GetCanvas();
    for (auto _ : state) {
        if (preview.CurPage == preview.PageCount())
            preview.InitPreview(true);
        else
            preview.PgDownClick(nullptr);
        for (int i = 0; i < preview.PageCount(); ++i) {
            TrpPreparedPage& page = preview.EMFPages->Page(i);
            TRect r{page.R.Left + preview.OffsetX, page.R.Top + preview.OffsetY, page.R.Right + preview.OffsetX,
                    page.R.Bottom + preview.OffsetY};
            page.Visible = r.Bottom > 0 && r.Top < surface.GetHeight();
            preview.EMFPages->Draw(i, canvas, page.Visible ? r : TRect{});
        }
    }
    preview.Disconnect();
}
BENCHMARK(BM_PreviewTurnsAPage)->Unit(benchmark::kMillisecond);

}  // namespace
