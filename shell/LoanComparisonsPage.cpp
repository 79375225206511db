#include "LoanComparisonsPage.h"

#include "Main.h"

#include "LoanComparisons.h"
#include "NumCtrl.h"
#include "entpf.h"

namespace {

struct TLoanComparisonSample {
    double Loan, Rate;
    int Term;
    double Points, Payment, TotalPaid, InterestPaid, PointsCost;
};

const TLoanComparisonSample kLCSamples[6] = {
    {100000, 0.0875, 360, 0, 786.7, 283212.15, 183212.15, 0},
    {100000, 0.0875, 240, 1, 883.71, 213090.57, 112090.57, 1000},
    {100000, 0.0925, 360, 2, 822.68, 298163.15, 196163.15, 2000},
    {100000, 0.0925, 240, 2, 915.87, 221808.04, 119808.04, 2000},
    {100000, 0.0875, 360, 1, 786.7, 284212.15, 183212.15, 1000},
    {95000, 0.0875, 240, 2, 839.53, 203386.04, 106486.04, 1900},
};

} // namespace

void TLoanComparisonsPage::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "CalcLC", this, &TLoanComparisonsPage::CalcLC);
}

void TLoanComparisonsPage::FindComponents() {
    for (size_t i = 0; i < 6; ++i) {
        const std::string n = std::to_string(i + 1);
        edtLCLoan[i] = Need<TEntPictureField>("edtLCLoan" + n);
        edtLCInterest[i] = Need<TNumEdit>("edtLCInterest" + n);
        edtLCTerm[i] = Need<TEntPictureField>("edtLCTerm" + n);
        edtLCPoints[i] = Need<TNumEdit>("edtLCPoints" + n);
        edtLCPayment[i] = Need<TEntPictureField>("edtLCPayment" + n);
        edtLCTotalPaid[i] = Need<TEntPictureField>("edtLCTotalPaid" + n);
        edtLCLoanCost[i] = Need<TEntPictureField>("edtLCLoanCost" + n);
        edtLCPointsCost[i] = Need<TEntPictureField>("edtLCPointsCost" + n);
    }
}

void TLoanComparisonsPage::ResetValues(TObject*) {
    const bool samples = Main.DefaultValueSet != 0;
    for (size_t i = 0; i < 6; ++i) {
        const TLoanComparisonSample s = samples ? kLCSamples[i] : TLoanComparisonSample{};
        edtLCLoan[i]->SetAsFloat(s.Loan);
        edtLCInterest[i]->SetValue(s.Rate);
        edtLCTerm[i]->SetAsInteger(s.Term);
        edtLCPoints[i]->SetValue(s.Points);
        edtLCPayment[i]->SetAsFloat(s.Payment);
        edtLCTotalPaid[i]->SetAsFloat(s.TotalPaid);
        edtLCLoanCost[i]->SetAsFloat(s.InterestPaid);
        edtLCPointsCost[i]->SetAsFloat(s.PointsCost);
    }
    if (IsActive()) Main.FocusNamed("edtLCLoan1");
}

void TLoanComparisonsPage::ZeroValues(TObject*) {
    for (size_t i = 0; i < 6; ++i) {
        for (TEntPictureField* f : {edtLCLoan[i], edtLCPayment[i], edtLCTotalPaid[i], edtLCLoanCost[i],
                                    edtLCPointsCost[i]})
            f->SetAsFloat(0);
        edtLCTerm[i]->SetAsInteger(0);
        edtLCInterest[i]->SetValue(0);
        edtLCPoints[i]->SetValue(0);
    }
}

void TLoanComparisonsPage::CalcLC(TObject*) {
    // Row by row, so a math error leaves the rows before it written.
    for (size_t i = 0; i < LoanComparisonRows; ++i) {
        TLoanComparisonInputs in;
        in.Loan = edtLCLoan[i]->GetAsFloat();
        in.AnnualRate = double(edtLCInterest[i]->GetValue());
        in.NumPayments = edtLCTerm[i]->GetAsInteger();
        in.Points = double(edtLCPoints[i]->GetValue());
        TLoanComparisonResults r = CalcLoanComparisonRow(in);
        edtLCPayment[i]->SetAsFloat(r.Payment);
        edtLCTotalPaid[i]->SetAsFloat(r.TotalPaid);
        edtLCLoanCost[i]->SetAsFloat(r.InterestPaid);
        edtLCPointsCost[i]->SetAsFloat(r.PointsCost);
    }
}
