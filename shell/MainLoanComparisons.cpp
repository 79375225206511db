// The loan comparisons page: six loans side by side, recomputed whenever one
// of its inputs is left. The arithmetic is in LoanComparisons.h.

#include "Main.h"

#include "LoanComparisons.h"
#include "NumCtrl.h"
#include "entpf.h"

void TfrmMain::CalcLC(TObject*) {
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
