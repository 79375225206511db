#pragma once
// The pages of five-row investment calculators: future values, rates of
// return and discounted cash flows. The arithmetic is in FutureValues.h,
// RatesOfReturn.h and DiscountedCashFlows.h.

#include <array>

#include "CalcPage.h"
#include "DiscountedCashFlows.h"
#include "FutureValues.h"
#include "RatesOfReturn.h"

class TCustomComboBox;
class TFnpNumericEdit;

class TFutureValuesPage : public TValueSetPage {
public:
    using TValueSetPage::TValueSetPage;
    // "Reset all to zero" also moves the focus to this page's first field.
    void ZeroValues(TObject* Sender) override;

    const char* PageName() const override { return "pgFutureValues"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;

    // ---- Handlers ---------------------------------------------------------------
    void CalcFV(TObject* Sender);

    // ---- Components (one per row) -------------------------------------------------
    std::array<TEntPictureField*, FutureValueRows> edtFVp{}, edtFVpmt{}, edtFV{};
    std::array<TCustomComboBox*, FutureValueRows> cbCompounding{};
    std::array<TFnpNumericEdit*, FutureValueRows> edtFVir{}, edtFVn{};
};

class TRatesOfReturnPage : public TValueSetPage {
public:
    using TValueSetPage::TValueSetPage;
    // "Reset all to zero" also moves the focus to this page's first field.
    void ZeroValues(TObject* Sender) override;

    const char* PageName() const override { return "pgRatesOfReturn"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;

    // ---- Handlers ---------------------------------------------------------------
    void CalcROR(TObject* Sender);

    // ---- Components (one per row) -------------------------------------------------
    std::array<TEntPictureField*, RateOfReturnRows> edtRORBV{}, edtROREV{}, edtRORDV{}, edtROR{};
};

class TDiscountedCashFlowsPage : public TValueSetPage {
public:
    using TValueSetPage::TValueSetPage;

    const char* PageName() const override { return "pgDiscountedCashFlows"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;

    // ---- Handlers ---------------------------------------------------------------
    void CalcDCF(TObject* Sender);

    // ---- Components ---------------------------------------------------------------
    std::array<TEntPictureField*, ::DCFYears> edtDCFYear{};
    std::array<TEntPictureField*, ::DCFRates> edtDiscountRate{}, edtNPV{};

    // ---- State --------------------------------------------------------------------
    // The cash flows and rates (as fractions) last calculated, from index 1.
    std::array<double, ::DCFYears + 1> DCFYears{};
    std::array<double, ::DCFRates + 1> DCFRates{};
};
