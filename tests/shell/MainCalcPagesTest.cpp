// The quick calculators and loan comparisons driven through their fields.

#include "MainWindowFixture.h"

#include <cmath>

#include "LoanComparisonsPage.h"
#include "NumCtrl.h"
#include "QuickCalcPage.h"
#include "entnbk.h"
#include "entpf.h"

namespace {

const std::string kQuickMessage =
    "This calculation cannot be completed\n\rusing the values you entered.\n\r\n\rPlease try again.";

double Cents(double v) { return std::round(v * 100) / 100; }

class QuickCalcPageTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Create();
        Form->gotoChosenCalculator(Form->FindComponent("btnLeaveWelcome"));
        Form->gotoChosenCalculator(Form->FindComponent("btnQC"));
        QuickCalc = Form->Page<TQuickCalcPage>();
    }
    TQuickCalcPage* QuickCalc = nullptr;
};

TEST_F(QuickCalcPageTest, ChoosingAVariableClearsTheFourFieldsAndDisablesItsOwn) {
    QuickCalc->nbkQuickCalc->SetPageIndex(1);
    QuickCalc->edtLA->SetAsFloat(5);
    QuickCalc->edtN->SetAsInteger(7);
    EXPECT_FALSE(QuickCalc->btnCalcQuickCalc->GetEnabled());
    QuickCalc->btnCalcNClick(nullptr);
    EXPECT_EQ(QuickCalc->QuickSolveFlags, (std::array<int32_t, 4>{0, 0, 0, 1}));
    EXPECT_TRUE(QuickCalc->btnCalcQuickCalc->GetEnabled());
    EXPECT_FALSE(QuickCalc->edtN->GetEnabled());
    EXPECT_EQ(QuickCalc->edtN->GetFont()->GetColor(), clGrayText);
    EXPECT_EQ(QuickCalc->edtLA->GetAsFloat(), 0);
    EXPECT_TRUE(QuickCalc->edtLA->GetEnabled());
    EXPECT_EQ(Form->GetActiveControl(), QuickCalc->edtLA);
    QuickCalc->btnCalcLAClick(nullptr);
    EXPECT_EQ(QuickCalc->QuickSolveFlags, (std::array<int32_t, 4>{1, 0, 0, 0}));
    EXPECT_TRUE(QuickCalc->edtN->GetEnabled());
    EXPECT_EQ(Form->GetActiveControl(), QuickCalc->edtIR);
}

TEST_F(QuickCalcPageTest, LoanAmountThroughTheFields) {
    struct Row {
        double rate;
        int n;
        double payment, shown;
    } rows[] = {{8.75, 360, 786.7, 100000}, {0, 1, 1201, 1201}, {0, 3, 333, 999}, {0, 12, 100.0833, 1201}};
    for (const Row& r : rows) {
        QuickCalc->btnCalcLAClick(nullptr);
        QuickCalc->edtIR->SetAsFloat(r.rate);
        QuickCalc->edtN->SetAsInteger(r.n);
        QuickCalc->edtPMT->SetAsFloat(r.payment);
        QuickCalc->btnCalcQuickCalcClick(nullptr);
        EXPECT_EQ(QuickCalc->edtLA->GetAsFloat(), r.shown) << r.payment;
        EXPECT_EQ(QuickCalc->edtLA->GetColor(), clYellow);
        EXPECT_TRUE(QuickCalc->edtLA->GetEnabled());
    }
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(Form->GetActiveControl(), static_cast<TWinControl*>(QuickCalc->nbkQuickCalc));
}

TEST_F(QuickCalcPageTest, TermAndRateThroughTheFields) {
    QuickCalc->btnCalcNClick(nullptr);
    QuickCalc->edtLA->SetAsFloat(100000);
    QuickCalc->edtPMT->SetAsFloat(786.7);
    QuickCalc->edtIR->SetAsFloat(8.75);
    QuickCalc->btnCalcQuickCalcClick(nullptr);
    EXPECT_EQ(QuickCalc->edtN->GetAsInteger(), 360);
    QuickCalc->edtPMT->SetAsFloat(500);
    QuickCalc->btnCalcQuickCalcClick(nullptr);
    EXPECT_EQ(QuickCalc->edtN->GetAsInteger(), 0);

    QuickCalc->btnCalcIRClick(nullptr);
    QuickCalc->edtLA->SetAsFloat(100000);
    QuickCalc->edtN->SetAsInteger(0);
    QuickCalc->edtPMT->SetAsFloat(786.7);
    QuickCalc->btnCalcQuickCalcClick(nullptr);
    EXPECT_EQ(QuickCalc->edtIR->GetAsFloat(), 0);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(QuickCalcPageTest, FailedSolveClearsTheFieldsAndSaysSo) {
    QuickCalc->btnCalcPMTClick(nullptr);
    QuickCalc->edtLA->SetAsFloat(100000);
    QuickCalc->btnCalcQuickCalcClick(nullptr);  // rate 0 and no payments
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, kQuickMessage);
    EXPECT_FALSE(QuickCalc->btnCalcQuickCalc->GetEnabled());
    for (TEntPictureField* f : {QuickCalc->edtLA, QuickCalc->edtIR, QuickCalc->edtPMT, QuickCalc->edtN}) {
        EXPECT_TRUE(f->GetEnabled());
        EXPECT_EQ(f->GetAsFloat(), 0);
        EXPECT_EQ(f->GetColor(), clWindow);
    }
    EXPECT_EQ(QuickCalc->QuickSolveFlags[2], 1) << "the flags stay";
}

TEST_F(QuickCalcPageTest, MonthlyPaymentKeepsTheSumWhenThePriceChanges) {
    QuickCalc->edtMPISalesPrice->SetAsFloat(200000);
    QuickCalc->edtMPIDownPaymentSum->SetAsFloat(40000);
    QuickCalc->CalcMPI(QuickCalc->edtMPIDownPaymentSum);
    EXPECT_EQ(QuickCalc->edtMPIDownPaymentPercent->GetAsFloat(), 20);
    EXPECT_EQ(QuickCalc->edtMPILoanAmount->GetAsFloat(), 160000);
    QuickCalc->edtMPISalesPrice->SetAsFloat(250000);
    QuickCalc->CalcMPI(QuickCalc->edtMPISalesPrice);
    EXPECT_EQ(QuickCalc->edtMPIDownPaymentSum->GetAsFloat(), 40000);
    EXPECT_EQ(QuickCalc->edtMPILoanAmount->GetAsFloat(), 210000);
    EXPECT_EQ(QuickCalc->edtMPIDownPaymentPercent->GetAsFloat(), 20);
    QuickCalc->edtMPIInterestRate->SetAsFloat(8.75);
    QuickCalc->edtMPITermInMonths->SetAsInteger(360);
    QuickCalc->edtMPIDownPaymentPercent->SetAsFloat(60);
    QuickCalc->CalcMPI(QuickCalc->edtMPIDownPaymentPercent);
    EXPECT_EQ(QuickCalc->edtMPIDownPaymentSum->GetAsFloat(), 150000);
    EXPECT_EQ(QuickCalc->edtMPIPayment->GetAsFloat(), 786.70);

    QuickCalc->edtMPISalesPrice->SetAsFloat(0);
    QuickCalc->CalcMPI(QuickCalc->edtMPISalesPrice);
    for (TEntPictureField* f : {QuickCalc->edtMPIDownPaymentSum, QuickCalc->edtMPIDownPaymentPercent,
                                QuickCalc->edtMPILoanAmount, QuickCalc->edtMPIPayment})
        EXPECT_EQ(f->GetAsFloat(), 0);
}

TEST_F(QuickCalcPageTest, TabClickFocusesTheTabsFirstControl) {
    Form->Show();
    QuickCalc->nbkQuickCalc->SetPageIndex(1);
    QuickCalc->nbkQuickCalcTabClick(QuickCalc->nbkQuickCalc, 1);
    EXPECT_EQ(Form->GetActiveControl(), QuickCalc->btnCalcLA);
    QuickCalc->nbkQuickCalc->SetPageIndex(0);
    QuickCalc->nbkQuickCalcTabClick(QuickCalc->nbkQuickCalc, 0);
    EXPECT_EQ(Form->GetActiveControl(), QuickCalc->edtMPISalesPrice);
    Form->Hide();
}

TEST_F(QuickCalcPageTest, EveryTabHoldsItsCaptionInTheActiveTabFont) {
    // The tab widths are measured with every "&" dropped while "&&" shows one,
    // so the strip must be justified for the bold active caption to fit.
    TEntNotebook* nb = QuickCalc->nbkQuickCalc;
    for (int i = 0; i < nb->PageCount(); ++i) {
        std::string shown;
        const std::string caption = nb->Pages(i)->GetCaption();
        for (size_t k = 0; k < caption.size(); ++k) {
            if (caption[k] == '&' && k + 1 < caption.size()) ++k;
            shown += caption[k];
        }
        TCanvas canvas;
        canvas.SetFont(nb->GetActiveTabFont());
        // the caption is drawn 6 pixels inside each end of its tab
        EXPECT_GE(nb->Pages(i)->TabWidth() - 12, canvas.TextWidth(shown)) << caption;
    }
}

TEST_F(MainWindowTest, LoanComparisonsThroughTheFields) {
    Create();
    TLoanComparisonsPage* loanComparisons = Form->Page<TLoanComparisonsPage>();
    const struct {
        double loan, rate;
        int term;
        double points, payment, total, interest, pointsCost;
    } rows[] = {
        {100000, 0.0875, 360, 0, 786.70, 283212.15, 183212.15, 0},
        {95000, 0.0875, 240, 2, 839.53, 203386.04, 106486.04, 1900},
        {0, 0, 0, 0, 0, 0, 0, 0},
        {50000, 0.08, 0, 1, 0, 500, -50000, 500},
    };
    for (size_t i = 0; i < 4; ++i) {
        loanComparisons->edtLCLoan[i]->SetAsFloat(rows[i].loan);
        loanComparisons->edtLCInterest[i]->SetValue(rows[i].rate);
        loanComparisons->edtLCTerm[i]->SetAsInteger(rows[i].term);
        loanComparisons->edtLCPoints[i]->SetValue(rows[i].points);
    }
    loanComparisons->CalcLC(loanComparisons->edtLCLoan[0]);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Cents(loanComparisons->edtLCPayment[i]->GetAsFloat()), rows[i].payment);
        EXPECT_EQ(Cents(loanComparisons->edtLCTotalPaid[i]->GetAsFloat()), rows[i].total);
        EXPECT_EQ(Cents(loanComparisons->edtLCLoanCost[i]->GetAsFloat()), rows[i].interest);
        EXPECT_EQ(Cents(loanComparisons->edtLCPointsCost[i]->GetAsFloat()), rows[i].pointsCost);
    }
    EXPECT_EQ(loanComparisons->edtLCPayment[5]->GetColor(), clYellow);
    EXPECT_FALSE(loanComparisons->edtLCPayment[5]->GetTabStop());
}

TEST_F(MainWindowTest, SampleResetsOfBothPagesMatchTheirCalculations) {
    Create();
    TLoanComparisonsPage* loanComparisons = Form->Page<TLoanComparisonsPage>();
    Form->gotoChosenCalculator(Form->FindComponent("btnLC"));
    Form->mnuResetSamplesClick(nullptr);
    EXPECT_EQ(Form->Defaults.ValueSet, 1);
    std::array<double, 6> stored{};
    for (size_t i = 0; i < 6; ++i) stored[i] = loanComparisons->edtLCTotalPaid[i]->GetAsFloat();
    loanComparisons->CalcLC(nullptr);
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(Cents(loanComparisons->edtLCTotalPaid[i]->GetAsFloat()), stored[i]) << i;

    Form->mnuResetThisZeroClick(nullptr);
    EXPECT_EQ(Form->Defaults.ValueSet, 0);
    EXPECT_EQ(loanComparisons->edtLCLoan[5]->GetAsFloat(), 0);
    EXPECT_EQ(double(loanComparisons->edtLCInterest[0]->GetValue()), 0);
}

}  // namespace
