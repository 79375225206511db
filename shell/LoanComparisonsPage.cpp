#include "LoanComparisonsPage.h"

#include "Main.h"

#include "LoanComparisons.h"
#include "NumCtrl.h"
#include "entpf.h"

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
