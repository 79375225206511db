// The mortgage qualifier's compute step.

#include "MortgageQualifier.h"

#include "EngineMath.h"
#include "FinFormulas.h"

using engine::ToDouble;

void CalcMQ(const TMQInputs& In, TMQResults& Out) {
    const double h = In.HousingRatio / 100;
    const double d = In.DebtRatio / 100;
    const double income = ToDouble((long double)In.Income1 + In.Income2 + In.OtherIncome1 + In.OtherIncome2);
    const double debts = ToDouble((long double)In.Notes1 + In.Auto1 + In.Cards1 + In.Notes2 + In.Auto2 + In.Cards2);
    const double taxesAndInsurance = ToDouble((long double)In.PropertyTaxes + In.HomeownersInsurance);
    const double housingLimit = ToDouble((long double)income * h - taxesAndInsurance);
    const double debtLimit = ToDouble((long double)income * d - debts);
    double payment = housingLimit > debtLimit ? debtLimit : housingLimit;

    for (size_t k = 0; k < MQScenarios; ++k) {
        const double rate = In.AnnualRatePercent[k];
        const double years = In.TermYears[k];
        // The present-value formula divides by the rate; at 0 the payments
        // repay the loan without interest.
        double loan =
            rate == 0 ? ToDouble((long double)payment * 12 * years) : PresentValueOfPayments(payment, rate, years);
        // A negative payment stays 0 for the later scenarios and the ratios.
        if (payment <= 0) payment = 0;
        if (loan <= 0) loan = 0;
        TMQScenarioResults& s = Out.Scenario[k];
        s.Payment = payment;
        s.Loan = loan;
        s.PurchasePrice = ToDouble((long double)loan + In.DownPayment);
    }

    Out.HousingRatio = income == 0 ? 0 : ToDouble(((long double)payment + taxesAndInsurance) / income * 100);
    Out.DebtRatio = income == 0 ? 0 : ToDouble(((long double)payment + debts) / income * 100);
}

std::array<double, MQScenarios> MQScenarioRates(double FirstRatePercent) {
    return {FirstRatePercent, FirstRatePercent - 0.25, FirstRatePercent - 0.5};
}
