// The loan spread, amortization and depreciation pages driven through their
// fields, groups, buttons and the window's seams.

#include "MainWindowFixture.h"

#include "AlignGrid.h"
#include "AmortizationPage.h"
#include "DepreciationPage.h"
#include "ExtCtrls.h"
#include "LoanSpreadPage.h"
#include "StdCtrls.h"
#include "entpf.h"

namespace {

const std::string kMathMessage =
    "Valid results cannot be calculated using\n\rthe variables you have entered.\n\r\n\r"
    "Please try again with reasonable values.";

class GridPagesTest : public MainWindowTest {
protected:
    void Go(const char* sender) {
        Form->gotoChosenCalculator(Form->FindComponent("btnLeaveWelcome"));
        Form->gotoChosenCalculator(Form->FindComponent(sender));
    }
    void Samples() { Form->mnuResetSamplesClick(nullptr); }
};

TEST_F(GridPagesTest, LoanSpreadModesSwapResultAndInputs) {
    Create();
    Go("btnLSC");
    Samples();
    TLoanSpreadPage& p = *Form->Page<TLoanSpreadPage>();
    EXPECT_EQ(p.grdLS->GetCells(4, 6), " $786.70");
    EXPECT_EQ(p.grdLS->GetCells(0, 0), " Loan / Rate");
    EXPECT_EQ(p.grdLS->GetColorCell(4, 2), clYellow);
    EXPECT_EQ(p.grdLS->GetColorCell(2, 6), clYellow);
    EXPECT_EQ(p.grdLS->GetSelection(), (TGridRect{4, 6, 4, 6}));
    EXPECT_EQ(p.LoanIncrementText, "$1000");

    p.rgCalculate->SetItemIndex(1);
    EXPECT_EQ(p.LoanSpreadMode, 1);
    EXPECT_EQ(p.edtLoan->GetColor(), clYellow);
    EXPECT_TRUE(p.edtLoan->GetOptions().Contains(efoReadOnly));
    EXPECT_FALSE(p.edtLoan->GetTabStop());
    EXPECT_EQ(p.edtPayment->GetColor(), clWindow);
    EXPECT_FALSE(p.edtPayment->GetOptions().Contains(efoReadOnly));
    EXPECT_FALSE(p.rgLoan->GetVisible());
    EXPECT_TRUE(p.rgPayments->GetVisible());
    EXPECT_EQ(p.rgPayments->GetLeft(), 251);
    EXPECT_EQ(p.rgInterest->GetLeft(), 419);
    EXPECT_EQ(p.lblLeft->GetCaption(), "Increment Payments By");
    EXPECT_EQ(p.lblRight->GetCaption(), "Increment Interest Rates By");
    EXPECT_EQ(Form->GetActiveControl(), p.edtInterest);
    EXPECT_EQ(p.grdLS->GetCells(0, 0), " Pmt / Rate");
    EXPECT_EQ(p.grdLS->GetCells(0, 6), " $786.70");
    EXPECT_EQ(p.edtLoan->Hint, "Calculated Loan Amount");

    p.rgCalculate->SetItemIndex(0);
    EXPECT_EQ(p.edtPayment->GetColor(), clYellow);
    EXPECT_EQ(p.edtLoan->GetColor(), clWindow);
    EXPECT_EQ(p.grdLS->GetCells(0, 0), " Loan / Rate");

    // A click anywhere leaves the centre selected; the hint names what the grid shows.
    p.grdLS->SetSelection(TGridRect{1, 1, 1, 1});
    p.grdLSClick(p.grdLS);
    EXPECT_EQ(p.grdLS->GetSelection(), (TGridRect{4, 6, 4, 6}));
    p.rgCalculate->SetItemIndex(2);
    p.grdLSMouseMove(p.grdLS, {}, 5, 5);
    EXPECT_EQ(p.grdLS->Hint, " Grid is displaying Interest Rates");
}

TEST_F(GridPagesTest, LoanSpreadTermBeyondTheFieldIsRepairedAsAMathError) {
    Create();
    Go("btnLSC");
    TLoanSpreadPage& p = *Form->Page<TLoanSpreadPage>();
    p.rgCalculate->SetItemIndex(3);
    p.edtLoan->SetAsFloat(1e9);
    p.edtInterest->SetAsFloat(0);
    p.edtPayment->SetAsFloat(1);
    p.edtTerm->SetAsInteger(77);
    GuardedCall(Form, [&] { Form->ChooseLoanSpreadCalculator(nullptr); });
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, kMathMessage);
    EXPECT_EQ(p.edtLoan->GetAsFloat(), 100000) << "the samples are back";
    EXPECT_EQ(p.edtTerm->GetAsInteger(), 360);
    EXPECT_EQ(p.grdLS->GetCells(4, 6), " 360.00");
}

TEST_F(GridPagesTest, AmortizationScheduleExtraPaymentsAndAnnualView) {
    Create();
    Go("btnAS");
    TAmortizationPage& p = *Form->Page<TAmortizationPage>();
    Samples();
    p.cbMonth->SetText("Jan");
    p.edtYear->SetAsInteger(2000);
    Form->CalcAmortization(nullptr);
    TAlignGrid* g = p.grdAmortization;
    ASSERT_EQ(g->GetRowCount(), 361);
    EXPECT_EQ(g->GetCells(1, 1), "Jan 2000");
    EXPECT_EQ(g->GetCells(7, 1), "$99,942.47");
    EXPECT_EQ(g->GetCells(0, 0), "PMT");
    EXPECT_NEAR(p.edtAmortPayment->GetAsFloat(), 786.70, 1e-9);
    EXPECT_EQ(p.grdAnnualAmortization->GetRowCount(), 31);
    EXPECT_EQ(p.grdAnnualAmortization->GetCells(1, 30), "Jan - Dec 2029");

    // 5000 extra on payments 1 to 12 through the panel.
    p.btnExtraClick(nullptr);
    EXPECT_TRUE(p.PnlAddExtra->GetVisible());
    EXPECT_FALSE(p.edtMortAmt->GetEnabled());
    p.rbRangePmts->SetChecked(true);
    p.edtFromPmt->SetAsInteger(1);
    p.edtToPmt->SetAsInteger(12);
    p.edtExtraAmount->SetAsFloat(5000);
    p.btnRecalcExtraClick(nullptr);
    EXPECT_EQ(g->GetRowCount(), 71);
    EXPECT_EQ(g->GetCells(1, 70), "Oct 2005");
    EXPECT_EQ(p.grdAnnualAmortization->GetCells(1, 6), "Jan - Oct 2005");
    Form->btnCancelClick(nullptr);
    EXPECT_FALSE(p.PnlAddExtra->GetVisible());
    EXPECT_TRUE(p.edtMortAmt->GetEnabled());

    // A shorter term keeps the extra payments by payment number.
    p.edtNumPmts->SetAsInteger(240);
    Form->CalcAmortization(nullptr);
    EXPECT_EQ(g->GetCells(6, 12), "$5,000.00");
    EXPECT_EQ(g->GetCells(6, 13), "$0.00");
    p.btnRemoveClick(nullptr);
    EXPECT_EQ(g->GetCells(6, 12), "$0.00");
    EXPECT_EQ(g->GetRowCount(), 241);

    p.btnAnnualMonthlyClick(nullptr);
    EXPECT_EQ(p.btnAnnualMonthly->GetCaption(), "View Monthly Chart");
    EXPECT_FALSE(g->GetVisible());
    EXPECT_TRUE(p.grdAnnualAmortization->GetVisible());
    p.btnAnnualMonthlyClick(nullptr);
    EXPECT_TRUE(g->GetVisible());

    p.cbMonth->SetText("F");
    p.cbMonthChange(nullptr);
    EXPECT_EQ(p.cbMonth->GetText(), "Jan");
}

TEST_F(GridPagesTest, RefusedExtraPaymentNumbersAreShownByThePage) {
    Create();
    Go("btnAS");
    TAmortizationPage& p = *Form->Page<TAmortizationPage>();
    Samples();
    Form->CalcAmortization(nullptr);
    p.btnExtraClick(nullptr);
    p.rbOnePmt->SetChecked(true);
    p.edtFromPmt->SetAsInteger(400);
    p.edtExtraAmount->SetAsFloat(1000);
    Messages.clear();
    EXPECT_NO_THROW(p.btnRecalcExtraClick(nullptr));
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text.rfind("Cannot calculate results of extra payments without new figures.", 0), 0u);
    EXPECT_EQ(Messages[0].Caption, "Information");
    EXPECT_EQ(p.grdAmortization->GetRowCount(), 361);
    EXPECT_EQ(p.grdAmortization->GetCells(6, 1), "$0.00");
}

TEST_F(GridPagesTest, AmortizationWithANegativeRateCalculates) {
    Create();
    Go("btnAS");
    TAmortizationPage& p = *Form->Page<TAmortizationPage>();
    p.edtMortAmt->SetAsFloat(100000);
    p.edtIRate->SetAsFloat(-1);
    p.edtNumPmts->SetAsInteger(360);
    GuardedCall(Form, [&] { Form->CalcAmortization(nullptr); });
    EXPECT_TRUE(Messages.empty());
    EXPECT_GT(p.grdAnnualAmortization->GetRowCount(), 2);
    // A recalculation reads the negative texts back.
    GuardedCall(Form, [&] { Form->CalcAmortization(nullptr); });
    EXPECT_TRUE(Messages.empty());
}

TEST_F(GridPagesTest, ZeroResetEmptiesTheAmortizationGrids) {
    Create();
    Go("btnAS");
    Samples();
    Form->mnuResetThisZeroClick(nullptr);
    TAmortizationPage& p = *Form->Page<TAmortizationPage>();
    EXPECT_EQ(p.grdAmortization->GetRowCount(), 2);
    EXPECT_EQ(p.grdAmortization->GetCells(0, 1), " ");
    EXPECT_EQ(p.grdAnnualAmortization->GetRowCount(), 1);
    EXPECT_EQ(p.edtMortAmt->GetAsFloat(), 0);
    p.btnExtraClick(nullptr);
    EXPECT_TRUE(p.PnlAddExtra->GetVisible()) << "a row of blanks is a schedule to the panel";
}

TEST_F(GridPagesTest, DepreciationPageMethodsAndFailures) {
    Create();
    Go("btnDEP");
    Samples();
    TDepreciationPage& p = *Form->Page<TDepreciationPage>();
    TAlignGrid* g = p.grdDepreciation;
    EXPECT_EQ(p.edtTotalDepreciated->GetAsFloat(), 7500);
    ASSERT_EQ(g->GetRowCount(), 10);
    EXPECT_EQ(g->GetCells(1, 0), "$100,000.00");
    EXPECT_EQ(g->GetCells(3, 9), "$7,500.00");

    p.rgDepreciationMethod->SetItemIndex(1);  // the group's click recalculates
    EXPECT_EQ(g->GetCells(2, 0), "$7,500.00");
    EXPECT_EQ(g->GetCells(1, 5), "$92,500.00");

    p.edtDepreciationPeriod->SetAsInteger(3);
    p.rgDepreciationMethod->SetItemIndex(2);
    EXPECT_EQ(g->GetRowCount(), 3);
    EXPECT_EQ(g->GetCells(2, 0), "$3,750.00");

    p.edtDepreciationPeriod->SetAsInteger(0);
    p.CalcDepreciation(nullptr);
    EXPECT_EQ(g->GetRowCount(), 1);
    EXPECT_EQ(g->GetCells(0, 0), "");

    p.edtDepreciationPeriod->SetAsInteger(-1);
    GuardedCall(Form, [&] { p.CalcDepreciation(nullptr); });
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, kMathMessage);
    EXPECT_EQ(p.edtTotalDepreciated->GetAsFloat(), 7500);
    EXPECT_EQ(g->GetCells(0, 0), "");

    Form->mnuResetThisZeroClick(nullptr);
    EXPECT_EQ(p.rgDepreciationMethod->GetItemIndex(), 0);
    EXPECT_EQ(p.edtOriginalCost->GetAsFloat(), 0);
}

TEST_F(GridPagesTest, DepreciationTableComesWhollyFromTheLatestInputs) {
    Create();
    Go("btnDEP");
    TDepreciationPage& p = *Form->Page<TDepreciationPage>();
    TAlignGrid* g = p.grdDepreciation;
    p.edtOriginalCost->SetAsFloat(100000);
    p.edtSalvageValue->SetAsFloat(0);
    p.edtDepreciationPeriod->SetAsInteger(12);
    p.CalcDepreciation(nullptr);
    ASSERT_EQ(g->GetRowCount(), 12);
    // A shorter period by another method: every row left is the new method's.
    p.edtDepreciationPeriod->SetAsInteger(4);
    p.rgDepreciationMethod->SetItemIndex(2);
    ASSERT_EQ(g->GetRowCount(), 4);
    const char* expenses[] = {"$40,000.00", "$30,000.00", "$20,000.00", "$10,000.00"};
    for (int r = 0; r < 4; ++r) {
        EXPECT_EQ(g->GetCells(0, r), std::to_string(r + 1));
        EXPECT_EQ(g->GetCells(2, r), expenses[r]);
    }
}

}  // namespace
