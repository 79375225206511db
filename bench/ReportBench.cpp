// Speed and memory of the report engine on list reports as the amortization
// and loan spread reports print them.

#include <benchmark/benchmark.h>

#include <QDir>

#include <fstream>
#include <string>

#include "BenchWindow.h"
#include "Graphics.h"
#include "Printers.h"
#include "RP_Prntr.h"
#include "RP_Engine.h"
#include "RP_Vars.h"
#include "SysUtils.h"

namespace {

// The same application as the window benchmarks, whichever of them runs first.
void EnsureGui() { EnsureApp(); }

// Peak resident memory of the process in MB.
double PeakResidentMB() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmHWM:", 0) == 0) return std::stod(line.substr(6)) / 1024.0;
    return 0;
}

TrpMemoView* AddMemo(TrpPage* page, const std::string& name, int x, int y, const std::string& text,
                     int32_t format = 0) {
    auto* memo = new TrpMemoView;
    memo->Name = name;
    memo->x = x;
    memo->y = y;
    memo->dx = 90;
    memo->dy = 16;
    memo->Memo->SetText(text);
    if (format) memo->Format = format;
    page->AddObject(memo);
    return memo;
}

TrpBandView* AddBand(TrpPage* page, uint8_t type, int y, int dy, const std::string& name,
                     const std::string& source = "") {
    auto* band = new TrpBandView;
    band->SetBandType(type);
    band->Name = name;
    band->y = y;
    band->dy = dy;
    band->FormatStr = source;
    page->AddObject(band);
    return band;
}

// A schedule report of `rows` records: title, page header, one data band of
// five formatted cells, page footer with the page's total, report summary.
std::unique_ptr<TrpReport> ScheduleReport(int rows) {
    EnsureGui();
    FormatSettings = USFormatSettings();
    auto report = std::make_unique<TrpReport>(nullptr);
    report->ShowProgress = false;
    TrpPage* page = report->Pages->Add();
    const int32_t money = rpMakeFormat(fcNumber, 2, 2, '.');
    AddBand(page, btReportTitle, 0, 40, "Title");
    AddMemo(page, "Heading", 10, 5, "Amortization schedule");
    AddBand(page, btPageHeader, 50, 20, "Header");
    AddMemo(page, "H1", 10, 52, "Month");
    AddBand(page, btMasterData, 80, 18, "Data", std::to_string(rows));
    AddMemo(page, "Month", 10, 81, "[LINE#]");
    AddMemo(page, "Payment", 110, 81, "[Payment]", money);
    AddMemo(page, "Interest", 210, 81, "[Interest]", money);
    AddMemo(page, "Principal", 310, 81, "[Payment] - [Interest]", money);
    AddMemo(page, "Balance", 410, 81, "[Balance]", money);
    AddBand(page, btReportSummary, 120, 20, "Summary");
    AddMemo(page, "Total", 110, 121, "[SUM([Interest])]", money);
    AddBand(page, btPageFooter, 900, 30, "Footer");
    AddMemo(page, "PageTotal", 110, 905, "[SUM([Interest])]", money);
    AddMemo(page, "PageNo", 410, 905, "Page [PAGE#]");
    TrpReport* r = report.get();
    report->OnGetValue = [r](const std::string& name, Variant& value) {
        if (name != "Payment" && name != "Interest" && name != "Balance") return;
        Variant line;
        r->Context().Resolver().GetVariableValue("LINE#", line);
        double n = line.AsDouble();
        if (name == "Payment")
            value = 787.82;
        else if (name == "Interest")
            value = 729.17 - n * 0.35;
        else if (name == "Balance")
            value = 100000 - n * 58.65;
    };
    return report;
}

void BM_Prepare360RowListReport(benchmark::State& state) {
    auto report = ScheduleReport(360);
    for (auto _ : state) benchmark::DoNotOptimize(report->PrepareReport());
    state.counters["pages"] = report->EMFPages->Count();
}
BENCHMARK(BM_Prepare360RowListReport)->Unit(benchmark::kMillisecond);

void BM_Prepare32767RowListReport(benchmark::State& state) {
    auto report = ScheduleReport(32767);
    for (auto _ : state) benchmark::DoNotOptimize(report->PrepareReport());
    state.counters["pages"] = report->EMFPages->Count();
    state.counters["peak_MB"] = PeakResidentMB();
}
BENCHMARK(BM_Prepare32767RowListReport)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Write32767RowPreparedReport(benchmark::State& state) {
    auto report = ScheduleReport(32767);
    report->PrepareReport();
    const std::string file = "/tmp/varnholt-bench.rpp";
    for (auto _ : state) report->SavePreparedReport(file);
    state.counters["peak_MB"] = PeakResidentMB();
}
BENCHMARK(BM_Write32767RowPreparedReport)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_Read32767RowPreparedReport(benchmark::State& state) {
    auto report = ScheduleReport(32767);
    report->PrepareReport();
    const std::string file = "/tmp/varnholt-bench.rpp";
    report->SavePreparedReport(file);
    TrpReport reader(nullptr);
    for (auto _ : state) reader.LoadPreparedReport(file);
    state.counters["pages"] = reader.EMFPages->Count();
    std::remove(file.c_str());
}
BENCHMARK(BM_Read32767RowPreparedReport)->Unit(benchmark::kMillisecond)->Iterations(3);

void BM_DrawOnePreparedPage(benchmark::State& state) {
    auto report = ScheduleReport(360);
    report->PrepareReport();
    TBitmap bitmap;
    bitmap.SetSize(816, 1056);
    TCanvas* canvas = bitmap.GetCanvas();
    const TRect rect{0, 0, 816, 1056};
    int index = 0;
    for (auto _ : state) {
        // A page decoded anew each time, as the preview does for a page scrolled into view.
        report->EMFPages->Page(index).Page.reset();
        report->EMFPages->Draw(index, canvas, rect);
        index = (index + 1) % report->EMFPages->Count();
    }
}
BENCHMARK(BM_DrawOnePreparedPage)->Unit(benchmark::kMillisecond);

// A prepared report printed with the "Print to PDF" printer into a file.
void PrintPreparedToPdf(benchmark::State& state, int rows) {
    auto report = ScheduleReport(rows);
    report->PrepareReport();
    TrpPrinter& printers = rpPrinter();
    for (int i = 0; i < printers.VirtualPrinterIndex; ++i)
        if (printers.Printers[size_t(i)] == "Print to PDF") printers.SetPrinterIndex(i);
    QDir().mkpath(QDir::tempPath() + "/varnholt-bench");
    Printer()->FileName = QDir::tempPath().toStdString() + "/varnholt-bench/prepared.pdf";
    for (auto _ : state) report->PrintPreparedReport("", 1, false, pwAll);
    Printer()->FileName.clear();
    state.counters["pages"] = report->EMFPages->Count();
}

void BM_Print360RowPreparedReportToPdf(benchmark::State& state) { PrintPreparedToPdf(state, 360); }
BENCHMARK(BM_Print360RowPreparedReportToPdf)->Unit(benchmark::kMillisecond);

void BM_Print32767RowPreparedReportToPdf(benchmark::State& state) { PrintPreparedToPdf(state, 32767); }
BENCHMARK(BM_Print32767RowPreparedReportToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
