#include "DepreciationPage.h"

#include "Main.h"

#include "AlignGrid.h"
#include "Depreciation.h"
#include "ExtCtrls.h"
#include "entpf.h"
#include "grBtns.h"
#include "iniSetup.h"

namespace {
constexpr int kTableWidth = 324;
constexpr int kDesignRows = 10;
} // namespace

void TDepreciationPage::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "CalcDepreciation", this, &TDepreciationPage::CalcDepreciation);
}

void TDepreciationPage::FindComponents() {
    edtOriginalCost = Need<TEntPictureField>("edtOriginalCost");
    edtSalvageValue = Need<TEntPictureField>("edtSalvageValue");
    edtDepreciationPeriod = Need<TEntPictureField>("edtDepreciationPeriod");
    edtTotalDepreciated = Need<TEntPictureField>("edtTotalDepreciated");
    rgDepreciationMethod = Need<TCustomRadioGroup>("rgDepreciationMethod");
    grdDepreciation = Need<TAlignGrid>("grdDepreciation");
}

void TDepreciationPage::CalcDepreciation(TObject* Sender) {
    // The table is computed whole and written in one go, so no other event can
    // start a calculation inside this one; a call from inside it is dropped.
    if (FCalculating) return;
    FCalculating = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FCalculating};

    Main.AllowPrinting(Sender);
    if (Main.btnReset) Main.btnReset->SetEnabled(true);
    TDepreciationInputs in;
    in.Cost = edtOriginalCost->GetAsFloat();
    in.Salvage = edtSalvageValue->GetAsFloat();
    in.Method = rgDepreciationMethod->GetItemIndex();
    if (in.Method < 0 || in.Method > 2) return;
    in.Years = edtDepreciationPeriod->GetAsInteger();

    TDepreciationResults r;
    TAlignGrid* g = grdDepreciation;
    auto clear = [&] {
        g->SetRowCount(r.RowCount);
        g->SetWidth(kTableWidth);
        for (int c = 0; c < g->GetColCount(); ++c)
            for (int row = 0; row < g->GetRowCount(); ++row) g->SetCells(c, row, "");
    };
    try {
        ::CalcDepreciation(in, r);
    } catch (...) {
        // The total is shown and the table left empty before the error goes on.
        if (r.TotalDepreciated) {
            edtTotalDepreciated->SetAsFloat(*r.TotalDepreciated);
            r.RowCount = std::max(in.Years, 1);
            clear();
        }
        throw;
    }
    edtTotalDepreciated->SetAsFloat(*r.TotalDepreciated);
    clear();
    int row = 0;
    for (const TDepreciationRow& d : r.Rows) {
        if (row >= g->GetRowCount()) break;
        auto texts = DepreciationRowTexts(d);
        for (int c = 0; c < 4; ++c) g->SetCells(c, row, texts[size_t(c)]);
        ++row;
    }
}

void TDepreciationPage::ResetValues(TObject* Sender) {
    const bool samples = Main.DefaultValueSet != 0;
    if (!samples) return ZeroValues(Sender);
    rgDepreciationMethod->SetItemIndex(0);
    if (const TCalculatorReset* reset = FindCalculatorReset(PageName()))
        for (const TResetValue& v : reset->Values) {
            auto* f = Need<TEntPictureField>(v.Field);
            if (f->GetDataType() == pftInteger) f->SetAsInteger(int32_t(v.Sample));
            else f->SetAsFloat(v.Sample);
        }
    grdDepreciation->SetRowCount(kDesignRows);
    grdDepreciation->SetWidth(kTableWidth);
    if (IsActive()) {
        CalcDepreciation(Sender);
        Main.FocusNamed("edtOriginalCost");
    }
}

void TDepreciationPage::ZeroValues(TObject* Sender) {
    rgDepreciationMethod->SetItemIndex(0);
    TAlignGrid* g = grdDepreciation;
    for (int c = 0; c < g->GetColCount(); ++c)
        for (int r = 0; r < g->GetRowCount(); ++r) g->SetCells(c, r, "");
    g->SetRowCount(kDesignRows);
    g->SetWidth(kTableWidth);
    edtOriginalCost->SetAsFloat(0);
    edtSalvageValue->SetAsFloat(0);
    edtTotalDepreciated->SetAsFloat(0);
    edtDepreciationPeriod->SetAsInteger(0);
    if (IsActive()) {
        CalcDepreciation(Sender);
        Main.FocusNamed("edtOriginalCost");
    }
}
