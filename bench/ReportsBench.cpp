// Speed of the main window's reports: from the print command to the preview
// (the prepared pages handed to the preview window) for a single-page report
// and a 360-payment schedule, and from the print command to a finished PDF
// for the longest schedule.

#include "AmortizationPage.h"
#include "BenchWindow.h"
#include "Printers.h"
#include "RP_Class.h"
#include "RP_Prntr.h"
#include "entpf.h"

#include <benchmark/benchmark.h>

namespace {

// The window with its reports previewing into nothing and the samples shown
// on the page of the sender.
TfrmMain& WindowOnPage(const char* sender) {
    TfrmMain& w = Window();
    static bool hooked = false;
    if (!hooked) {
        for (const char* name : {"rpMortgageQualifier", "rpAmortMonthly"})
            dynamic_cast<TrpReport*>(w.FindComponent(name))->Windows.ShowPreview = [](TrpReport*, const std::string&) {
            };
        hooked = true;
    }
    w.gotoChosenCalculator(w.FindComponent("btnLeaveWelcome"));
    w.gotoChosenCalculator(w.FindComponent(sender));
    w.mnuResetSamplesClick(nullptr);
    return w;
}

void BM_PrintSinglePageReportToPreview(benchmark::State& state) {
    TfrmMain& w = WindowOnPage("btnMQ");
    for (auto _ : state) w.Print(nullptr);
}
BENCHMARK(BM_PrintSinglePageReportToPreview)->Unit(benchmark::kMillisecond);

void BM_Print360PaymentScheduleToPreview(benchmark::State& state) {
    TfrmMain& w = WindowOnPage("btnAS");
    for (auto _ : state) w.Print(nullptr);
}
BENCHMARK(BM_Print360PaymentScheduleToPreview)->Unit(benchmark::kMillisecond);

// The window on the amortization page with the longest schedule.
TfrmMain& WindowWithLongestSchedule() {
    TfrmMain& w = WindowOnPage("btnAS");
    w.Page<TAmortizationPage>()->edtNumPmts->SetAsInteger(32767);
    w.CalcAmortization(nullptr);
    return w;
}

// The build alone, for comparison with the whole way to the PDF below.
void BM_Print32767PaymentScheduleToPreview(benchmark::State& state) {
    TfrmMain& w = WindowWithLongestSchedule();
    for (auto _ : state) w.Print(nullptr);
}
BENCHMARK(BM_Print32767PaymentScheduleToPreview)->Unit(benchmark::kMillisecond)->Iterations(2);

void BM_Print32767PaymentScheduleToPdf(benchmark::State& state) {
    TfrmMain& w = WindowWithLongestSchedule();
    TrpPrinter& printers = rpPrinter();
    for (int i = 0; i < printers.VirtualPrinterIndex; ++i)
        if (printers.Printers[size_t(i)] == "Print to PDF") printers.SetPrinterIndex(i);
    auto* report = dynamic_cast<TrpReport*>(w.FindComponent("rpAmortMonthly"));
    Printer()->FileName = QDir::tempPath().toStdString() + "/varnholt-bench/schedule.pdf";
    for (auto _ : state) {
        w.Print(nullptr);
        report->PrintPreparedReport("", 1, false, pwAll);
    }
    Printer()->FileName.clear();
    state.counters["pages"] = report->EMFPages->Count();
}
BENCHMARK(BM_Print32767PaymentScheduleToPdf)->Unit(benchmark::kMillisecond)->Iterations(2);

}  // namespace
