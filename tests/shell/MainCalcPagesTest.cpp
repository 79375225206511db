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
    }
};

TEST_F(QuickCalcPageTest, ChoosingAVariableClearsTheFourFieldsAndDisablesItsOwn) {
    Form->QuickCalc->nbkQuickCalc->SetPageIndex(1);
    Form->QuickCalc->edtLA->SetAsFloat(5);
    Form->QuickCalc->edtN->SetAsInteger(7);
    EXPECT_FALSE(Form->QuickCalc->btnCalcQuickCalc->GetEnabled());
    Form->QuickCalc->btnCalcNClick(nullptr);
    EXPECT_EQ(Form->QuickCalc->QuickSolveFlags, (std::array<int32_t, 4>{0, 0, 0, 1}));
    EXPECT_TRUE(Form->QuickCalc->btnCalcQuickCalc->GetEnabled());
    EXPECT_FALSE(Form->QuickCalc->edtN->GetEnabled());
    EXPECT_EQ(Form->QuickCalc->edtN->GetFont()->GetColor(), clGrayText);
    EXPECT_EQ(Form->QuickCalc->edtLA->GetAsFloat(), 0);
    EXPECT_TRUE(Form->QuickCalc->edtLA->GetEnabled());
    EXPECT_EQ(Form->GetActiveControl(), Form->QuickCalc->edtLA);
    Form->QuickCalc->btnCalcLAClick(nullptr);
    EXPECT_EQ(Form->QuickCalc->QuickSolveFlags, (std::array<int32_t, 4>{1, 0, 0, 0}));
    EXPECT_TRUE(Form->QuickCalc->edtN->GetEnabled());
    EXPECT_EQ(Form->GetActiveControl(), Form->QuickCalc->edtIR);
}

TEST_F(QuickCalcPageTest, LoanAmountThroughTheFields) {
    struct Row {
        double rate;
        int n;
        double payment, shown;
    } rows[] = {{8.75, 360, 786.7, 100000}, {0, 1, 1201, 1201}, {0, 3, 333, 999}, {0, 12, 100.0833, 1201}};
    for (const Row& r : rows) {
        Form->QuickCalc->btnCalcLAClick(nullptr);
        Form->QuickCalc->edtIR->SetAsFloat(r.rate);
        Form->QuickCalc->edtN->SetAsInteger(r.n);
        Form->QuickCalc->edtPMT->SetAsFloat(r.payment);
        Form->QuickCalc->btnCalcQuickCalcClick(nullptr);
        EXPECT_EQ(Form->QuickCalc->edtLA->GetAsFloat(), r.shown) << r.payment;
        EXPECT_EQ(Form->QuickCalc->edtLA->GetColor(), clYellow);
        EXPECT_TRUE(Form->QuickCalc->edtLA->GetEnabled());
    }
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(Form->GetActiveControl(), static_cast<TWinControl*>(Form->QuickCalc->nbkQuickCalc));
}

TEST_F(QuickCalcPageTest, TermAndRateThroughTheFields) {
    Form->QuickCalc->btnCalcNClick(nullptr);
    Form->QuickCalc->edtLA->SetAsFloat(100000);
    Form->QuickCalc->edtPMT->SetAsFloat(786.7);
    Form->QuickCalc->edtIR->SetAsFloat(8.75);
    Form->QuickCalc->btnCalcQuickCalcClick(nullptr);
    EXPECT_EQ(Form->QuickCalc->edtN->GetAsInteger(), 360);
    Form->QuickCalc->edtPMT->SetAsFloat(500);
    Form->QuickCalc->btnCalcQuickCalcClick(nullptr);
    EXPECT_EQ(Form->QuickCalc->edtN->GetAsInteger(), 0);

    Form->QuickCalc->btnCalcIRClick(nullptr);
    Form->QuickCalc->edtLA->SetAsFloat(100000);
    Form->QuickCalc->edtN->SetAsInteger(0);
    Form->QuickCalc->edtPMT->SetAsFloat(786.7);
    Form->QuickCalc->btnCalcQuickCalcClick(nullptr);
    EXPECT_EQ(Form->QuickCalc->edtIR->GetAsFloat(), 0);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(QuickCalcPageTest, FailedSolveClearsTheFieldsAndSaysSo) {
    Form->QuickCalc->btnCalcPMTClick(nullptr);
    Form->QuickCalc->edtLA->SetAsFloat(100000);
    Form->QuickCalc->btnCalcQuickCalcClick(nullptr);  // rate 0 and no payments
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, kQuickMessage);
    EXPECT_FALSE(Form->QuickCalc->btnCalcQuickCalc->GetEnabled());
    for (TEntPictureField* f :
         {Form->QuickCalc->edtLA, Form->QuickCalc->edtIR, Form->QuickCalc->edtPMT, Form->QuickCalc->edtN}) {
        EXPECT_TRUE(f->GetEnabled());
        EXPECT_EQ(f->GetAsFloat(), 0);
        EXPECT_EQ(f->GetColor(), clWindow);
    }
    EXPECT_EQ(Form->QuickCalc->QuickSolveFlags[2], 1) << "the flags stay";
}

TEST_F(QuickCalcPageTest, MonthlyPaymentKeepsTheSumWhenThePriceChanges) {
    Form->QuickCalc->edtMPISalesPrice->SetAsFloat(200000);
    Form->QuickCalc->edtMPIDownPaymentSum->SetAsFloat(40000);
    Form->QuickCalc->CalcMPI(Form->QuickCalc->edtMPIDownPaymentSum);
    EXPECT_EQ(Form->QuickCalc->edtMPIDownPaymentPercent->GetAsFloat(), 20);
    EXPECT_EQ(Form->QuickCalc->edtMPILoanAmount->GetAsFloat(), 160000);
    Form->QuickCalc->edtMPISalesPrice->SetAsFloat(250000);
    Form->QuickCalc->CalcMPI(Form->QuickCalc->edtMPISalesPrice);
    EXPECT_EQ(Form->QuickCalc->edtMPIDownPaymentSum->GetAsFloat(), 40000);
    EXPECT_EQ(Form->QuickCalc->edtMPILoanAmount->GetAsFloat(), 210000);
    EXPECT_EQ(Form->QuickCalc->edtMPIDownPaymentPercent->GetAsFloat(), 20);
    Form->QuickCalc->edtMPIInterestRate->SetAsFloat(8.75);
    Form->QuickCalc->edtMPITermInMonths->SetAsInteger(360);
    Form->QuickCalc->edtMPIDownPaymentPercent->SetAsFloat(60);
    Form->QuickCalc->CalcMPI(Form->QuickCalc->edtMPIDownPaymentPercent);
    EXPECT_EQ(Form->QuickCalc->edtMPIDownPaymentSum->GetAsFloat(), 150000);
    EXPECT_EQ(Form->QuickCalc->edtMPIPayment->GetAsFloat(), 786.70);

    Form->QuickCalc->edtMPISalesPrice->SetAsFloat(0);
    Form->QuickCalc->CalcMPI(Form->QuickCalc->edtMPISalesPrice);
    for (TEntPictureField* f : {Form->QuickCalc->edtMPIDownPaymentSum, Form->QuickCalc->edtMPIDownPaymentPercent,
                                Form->QuickCalc->edtMPILoanAmount, Form->QuickCalc->edtMPIPayment})
        EXPECT_EQ(f->GetAsFloat(), 0);
}

TEST_F(QuickCalcPageTest, TabClickFocusesTheTabsFirstControl) {
    Form->Show();
    Form->QuickCalc->nbkQuickCalc->SetPageIndex(1);
    Form->QuickCalc->nbkQuickCalcTabClick(Form->QuickCalc->nbkQuickCalc, 1);
    EXPECT_EQ(Form->GetActiveControl(), Form->QuickCalc->btnCalcLA);
    Form->QuickCalc->nbkQuickCalc->SetPageIndex(0);
    Form->QuickCalc->nbkQuickCalcTabClick(Form->QuickCalc->nbkQuickCalc, 0);
    EXPECT_EQ(Form->GetActiveControl(), Form->QuickCalc->edtMPISalesPrice);
    Form->Hide();
}

TEST_F(QuickCalcPageTest, EveryTabHoldsItsCaptionInTheActiveTabFont) {
    // The tab widths are measured with every "&" dropped while "&&" shows one,
    // so the strip must be justified for the bold active caption to fit.
    TEntNotebook* nb = Form->QuickCalc->nbkQuickCalc;
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
        Form->LoanComparisons->edtLCLoan[i]->SetAsFloat(rows[i].loan);
        Form->LoanComparisons->edtLCInterest[i]->SetValue(rows[i].rate);
        Form->LoanComparisons->edtLCTerm[i]->SetAsInteger(rows[i].term);
        Form->LoanComparisons->edtLCPoints[i]->SetValue(rows[i].points);
    }
    Form->LoanComparisons->CalcLC(Form->LoanComparisons->edtLCLoan[0]);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Cents(Form->LoanComparisons->edtLCPayment[i]->GetAsFloat()), rows[i].payment);
        EXPECT_EQ(Cents(Form->LoanComparisons->edtLCTotalPaid[i]->GetAsFloat()), rows[i].total);
        EXPECT_EQ(Cents(Form->LoanComparisons->edtLCLoanCost[i]->GetAsFloat()), rows[i].interest);
        EXPECT_EQ(Cents(Form->LoanComparisons->edtLCPointsCost[i]->GetAsFloat()), rows[i].pointsCost);
    }
    EXPECT_EQ(Form->LoanComparisons->edtLCPayment[5]->GetColor(), clYellow);
    EXPECT_FALSE(Form->LoanComparisons->edtLCPayment[5]->GetTabStop());
}

TEST_F(MainWindowTest, SampleResetsOfBothPagesMatchTheirCalculations) {
    Create();
    Form->gotoChosenCalculator(Form->FindComponent("btnLC"));
    Form->mnuResetSamplesClick(nullptr);
    EXPECT_EQ(Form->DefaultValueSet, 1);
    std::array<double, 6> stored{};
    for (size_t i = 0; i < 6; ++i) stored[i] = Form->LoanComparisons->edtLCTotalPaid[i]->GetAsFloat();
    Form->LoanComparisons->CalcLC(nullptr);
    for (size_t i = 0; i < 6; ++i)
        EXPECT_EQ(Cents(Form->LoanComparisons->edtLCTotalPaid[i]->GetAsFloat()), stored[i]) << i;

    Form->mnuResetThisZeroClick(nullptr);
    EXPECT_EQ(Form->DefaultValueSet, 0);
    EXPECT_EQ(Form->LoanComparisons->edtLCLoan[5]->GetAsFloat(), 0);
    EXPECT_EQ(double(Form->LoanComparisons->edtLCInterest[0]->GetValue()), 0);
}

}  // namespace
