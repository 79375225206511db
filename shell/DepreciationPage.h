#pragma once
// The depreciation page: cost, salvage value and period in years give the
// total to depreciate and a year-by-year table by the chosen method. The
// arithmetic is in Depreciation.h.

#include "CalcPage.h"

class TAlignGrid;
class TCustomRadioGroup;
class TEntPictureField;

class TDepreciationPage : public TCalcPage {
public:
    using TCalcPage::TCalcPage;

    const char* PageName() const override { return "pgDepreciation"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;
    void ResetValues(TObject* Sender) override;  // ResetDepreciationValues
    void ZeroValues(TObject* Sender) override;

    // ---- Handlers -------------------------------------------------------------------
    void CalcDepreciation(TObject* Sender);

    // ---- Components -------------------------------------------------------------------
    TEntPictureField *edtOriginalCost = nullptr, *edtSalvageValue = nullptr, *edtDepreciationPeriod = nullptr,
                     *edtTotalDepreciated = nullptr;
    TCustomRadioGroup* rgDepreciationMethod = nullptr;
    TAlignGrid* grdDepreciation = nullptr;

private:
    void Reset(TObject* Sender, bool Samples);
    bool FCalculating = false;
};
