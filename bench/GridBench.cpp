// Speed of the grid pages: the amortization page's recalculation with its
// grids, painting and scrolling a long aligned grid, and the depreciation table.

#include "AlignGrid.h"
#include "BenchWindow.h"
#include "AmortizationPage.h"
#include "DepreciationPage.h"
#include "Folders.h"
#include "Forms.h"
#include "Main.h"
#include "StdCtrls.h"
#include "ExtCtrls.h"
#include "entpf.h"

#include <QApplication>
#include <QDir>
#include <QImage>
#include <QPainter>

#include <benchmark/benchmark.h>

namespace {

// A schedule with an extra payment on every row, shown once (the long one at
// rate 0, so every one of its rows is paid);
// each iteration recalculates it as "Create or Refresh Schedule" does.
void RecalculateSchedule(benchmark::State& state, int32_t payments, double principal, double ratePercent,
                         double extra) {
    TfrmMain& w = Window();
    TAmortizationPage& page = *w.Page<TAmortizationPage>();
    page.edtMortAmt->SetAsFloat(principal);
    page.edtIRate->SetAsFloat(ratePercent);
    page.edtNumPmts->SetAsInteger(payments);
    page.edtYear->SetAsInteger(2000);
    page.btnRemoveClick(nullptr);
    w.CalcAmortization(nullptr);
    page.btnExtraClick(nullptr);
    page.rbAllPmts->SetChecked(true);
    page.edtExtraAmount->SetAsFloat(extra);
    page.btnRecalcExtraClick(nullptr);
    page.btnCancelClick(nullptr);
    for (auto _ : state) w.CalcAmortization(nullptr);
    state.counters["rows"] = page.grdAmortization->GetRowCount() - 1;
}

void BM_AmortizationPage360Payments(benchmark::State& state) { RecalculateSchedule(state, 360, 100000, 8.75, 1); }
BENCHMARK(BM_AmortizationPage360Payments)->Unit(benchmark::kMillisecond);

void BM_AmortizationPage32767Payments(benchmark::State& state) { RecalculateSchedule(state, 32767, 1e9, 0, 0.01); }
BENCHMARK(BM_AmortizationPage32767Payments)->Unit(benchmark::kMillisecond)->Iterations(5);

struct PaintGrid : TAlignGrid {
    using TAlignGrid::TAlignGrid;
    void PaintOn(QImage& img) {
        QPainter p(&img);
        GetCanvas()->SetPainter(&p);
        Paint();
        GetCanvas()->SetPainter(nullptr);
    }
};

// The monthly grid's shape with 32767 filled rows, in a window of its size on the page.
PaintGrid& LongGrid() {
    static PaintGrid* g = [] {
        EnsureApp();
        RegisterAlignGridClasses();
        auto* form = new TForm(nullptr);
        form->SetClientSize(600, 400);
        auto* grid = new PaintGrid(form);
        grid->SetParent(form);
        grid->SetColCount(8);
        grid->SetDefaultColWidth(72);
        grid->SetDefaultRowHeight(16);
        grid->SetScrollBars(ssVertical);
        grid->SetAlignment(TMyAlign::alCenter);
        grid->SetBounds(0, 0, 585, 228);
        grid->SetRowCount(32768);
        for (int r = 1; r < 32768; ++r)
            for (int c = 0; c < 8; ++c) grid->SetCells(c, r, c == 0 ? std::to_string(r) : "$99,942.47");
        return grid;
    }();
    return *g;
}

void BM_PaintScreenOf32767Rows(benchmark::State& state) {
    PaintGrid& g = LongGrid();
    QImage img(g.GetClientRect().Width(), g.GetClientRect().Height(), QImage::Format_RGB32);
    g.SetTopRow(16000);
    for (auto _ : state) g.PaintOn(img);
}
BENCHMARK(BM_PaintScreenOf32767Rows)->Unit(benchmark::kMillisecond);

void BM_ScrollPageOf32767Rows(benchmark::State& state) {
    PaintGrid& g = LongGrid();
    QImage img(g.GetClientRect().Width(), g.GetClientRect().Height(), QImage::Format_RGB32);
    g.SetTopRow(1);
    for (auto _ : state) {
        if (g.GetTopRow() > 32000) g.SetTopRow(1);
        g.Perform(WM_VSCROLL, SB_PAGEDOWN, 0);
        g.PaintOn(img);
    }
}
BENCHMARK(BM_ScrollPageOf32767Rows)->Unit(benchmark::kMillisecond);

// Sum of the years' digits over the longest period the field takes.
void BM_DepreciationOf32767Years(benchmark::State& state) {
    TfrmMain& w = Window();
    TDepreciationPage& page = *w.Page<TDepreciationPage>();
    page.edtOriginalCost->SetAsFloat(1e9);
    page.edtSalvageValue->SetAsFloat(1000);
    page.edtDepreciationPeriod->SetAsInteger(32767);
    page.rgDepreciationMethod->SetItemIndex(2);
    for (auto _ : state) page.CalcDepreciation(nullptr);
    state.counters["rows"] = page.grdDepreciation->GetRowCount();
}
BENCHMARK(BM_DepreciationOf32767Years)->Unit(benchmark::kMillisecond);

}  // namespace
