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
}  // namespace

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

    BeginCalculation(Sender);
    if (Main.btnReset) Main.btnReset->SetEnabled(true);
    TDepreciationInputs in;
    in.Cost = edtOriginalCost->GetAsFloat();
    in.Salvage = edtSalvageValue->GetAsFloat();
    in.Method = rgDepreciationMethod->GetItemIndex();
    if (in.Method < 0 || in.Method > 2) return;
    in.Years = edtDepreciationPeriod->GetAsInteger();

    TDepreciationResults r;
    ComputeAndShow([&] { ::CalcDepreciation(in, r); },
                   [&] {
                       if (!r.TotalDepreciated) return;
                       edtTotalDepreciated->SetAsFloat(*r.TotalDepreciated);
                       // The table is emptied to its rows, then filled from the top
                       // (a failed calculation leaves it empty).
                       TAlignGrid* g = grdDepreciation;
                       g->SetRowCount(r.RowCount);
                       g->SetWidth(kTableWidth);
                       g->ClearCells();
                       int row = 0;
                       for (const TDepreciationRow& d : r.Rows) {
                           if (row >= g->GetRowCount()) break;
                           auto texts = DepreciationRowTexts(d);
                           for (int c = 0; c < 4; ++c) g->SetCells(c, row, texts[size_t(c)]);
                           ++row;
                       }
                   });
}

void TDepreciationPage::ResetValues(TObject* Sender) { Reset(Sender, Main.Defaults.Samples()); }
void TDepreciationPage::ZeroValues(TObject* Sender) { Reset(Sender, false); }

void TDepreciationPage::Reset(TObject* Sender, bool Samples) {
    const bool samples = Samples;
    rgDepreciationMethod->SetItemIndex(0);
    TAlignGrid* g = grdDepreciation;
    if (!samples) g->ClearCells();
    g->SetRowCount(kDesignRows);
    g->SetWidth(kTableWidth);
    WriteValueSet(ValueSet(), samples ? TValueSet::Samples : TValueSet::Zeros);
    if (IsActive()) {
        CalcDepreciation(Sender);
        Main.FocusNamed(ValueSet().FocusField);
    }
}
