#pragma once
// The mortgage qualifier page: the payment both qualifying ratios allow, the
// loan and price it buys in three scenarios. The arithmetic is in
// MortgageQualifier.h.

#include <array>

#include "CalcPage.h"
#include "MortgageQualifier.h"

class TMortgageQualifierPage : public TValueSetPage {
public:
    using TValueSetPage::TValueSetPage;

    const char* PageName() const override { return "pgMortgageQualifier"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;

    // ---- Handlers ---------------------------------------------------------------
    void CalcMQ(TObject* Sender);
    void edtMQir1Change(TObject* Sender);

    // ---- State ----------------------------------------------------------------------
    // The qualifying ratios last used, as fractions.
    double HRatio = 0, DRatio = 0;

    // ---- Components ---------------------------------------------------------------
    TEntPictureField *edtIncome1 = nullptr, *edtIncome2 = nullptr, *edtOIncome1 = nullptr, *edtOIncome2 = nullptr,
                     *edtCards1 = nullptr, *edtCards2 = nullptr, *edtAuto1 = nullptr, *edtAuto2 = nullptr,
                     *edtNotes1 = nullptr, *edtNotes2 = nullptr;
    TEntPictureField *edtMQPropertyTaxes = nullptr, *edtMQHomeownersInsurance = nullptr;
    TEntPictureField *edtHousingRatio = nullptr, *edtDebtRatio = nullptr, *edtMQDownPayment = nullptr;
    TEntPictureField *edtCalculatedHousingRatio = nullptr, *edtCalculatedDebtRatio = nullptr;
    std::array<TEntPictureField*, MQScenarios> edtMQir{}, edtMQTerm{}, edtMQPayment{}, edtMQLoan{},
        edtMQPurchasePrice{};
};
