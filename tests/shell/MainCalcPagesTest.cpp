// The quick calculators and loan comparisons driven through their fields.

#include "MainWindowFixture.h"

#include <cmath>

#include "NumCtrl.h"
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
    Form->nbkQuickCalc->SetPageIndex(1);
    Form->edtLA->SetAsFloat(5);
    Form->edtN->SetAsInteger(7);
    EXPECT_FALSE(Form->btnCalcQuickCalc->GetEnabled());
    Form->btnCalcNClick(nullptr);
    EXPECT_EQ(Form->QuickSolveFlags, (std::array<int32_t, 4>{0, 0, 0, 1}));
    EXPECT_TRUE(Form->btnCalcQuickCalc->GetEnabled());
    EXPECT_FALSE(Form->edtN->GetEnabled());
    EXPECT_EQ(Form->edtN->GetFont()->GetColor(), clGrayText);
    EXPECT_EQ(Form->edtLA->GetAsFloat(), 0);
    EXPECT_TRUE(Form->edtLA->GetEnabled());
    EXPECT_EQ(Form->GetActiveControl(), Form->edtLA);
    Form->btnCalcLAClick(nullptr);
    EXPECT_EQ(Form->QuickSolveFlags, (std::array<int32_t, 4>{1, 0, 0, 0}));
    EXPECT_TRUE(Form->edtN->GetEnabled());
    EXPECT_EQ(Form->GetActiveControl(), Form->edtIR);
}

TEST_F(QuickCalcPageTest, LoanAmountThroughTheFields) {
    struct Row {
        double rate;
        int n;
        double payment, shown;
    } rows[] = {{8.75, 360, 786.7, 100000}, {0, 1, 1201, 1201}, {0, 3, 333, 999}, {0, 12, 100.0833, 1201}};
    for (const Row& r : rows) {
        Form->btnCalcLAClick(nullptr);
        Form->edtIR->SetAsFloat(r.rate);
        Form->edtN->SetAsInteger(r.n);
        Form->edtPMT->SetAsFloat(r.payment);
        Form->btnCalcQuickCalcClick(nullptr);
        EXPECT_EQ(Form->edtLA->GetAsFloat(), r.shown) << r.payment;
        EXPECT_EQ(Form->edtLA->GetColor(), clYellow);
        EXPECT_TRUE(Form->edtLA->GetEnabled());
    }
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(Form->GetActiveControl(), static_cast<TWinControl*>(Form->nbkQuickCalc));
}

TEST_F(QuickCalcPageTest, TermAndRateThroughTheFields) {
    Form->btnCalcNClick(nullptr);
    Form->edtLA->SetAsFloat(100000);
    Form->edtPMT->SetAsFloat(786.7);
    Form->edtIR->SetAsFloat(8.75);
    Form->btnCalcQuickCalcClick(nullptr);
    EXPECT_EQ(Form->edtN->GetAsInteger(), 360);
    Form->edtPMT->SetAsFloat(500);
    Form->btnCalcQuickCalcClick(nullptr);
    EXPECT_EQ(Form->edtN->GetAsInteger(), 0);

    Form->btnCalcIRClick(nullptr);
    Form->edtLA->SetAsFloat(100000);
    Form->edtN->SetAsInteger(0);
    Form->edtPMT->SetAsFloat(786.7);
    Form->btnCalcQuickCalcClick(nullptr);
    EXPECT_EQ(Form->edtIR->GetAsFloat(), 0);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(QuickCalcPageTest, FailedSolveClearsTheFieldsAndSaysSo) {
    Form->btnCalcPMTClick(nullptr);
    Form->edtLA->SetAsFloat(100000);
    Form->btnCalcQuickCalcClick(nullptr);  // rate 0 and no payments
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, kQuickMessage);
    EXPECT_FALSE(Form->btnCalcQuickCalc->GetEnabled());
    for (TEntPictureField* f : {Form->edtLA, Form->edtIR, Form->edtPMT, Form->edtN}) {
        EXPECT_TRUE(f->GetEnabled());
        EXPECT_EQ(f->GetAsFloat(), 0);
        EXPECT_EQ(f->GetColor(), clWindow);
    }
    EXPECT_EQ(Form->QuickSolveFlags[2], 1) << "the flags stay";
}

TEST_F(QuickCalcPageTest, MonthlyPaymentKeepsTheSumWhenThePriceChanges) {
    Form->edtMPISalesPrice->SetAsFloat(200000);
    Form->edtMPIDownPaymentSum->SetAsFloat(40000);
    Form->CalcMPI(Form->edtMPIDownPaymentSum);
    EXPECT_EQ(Form->edtMPIDownPaymentPercent->GetAsFloat(), 20);
    EXPECT_EQ(Form->edtMPILoanAmount->GetAsFloat(), 160000);
    Form->edtMPISalesPrice->SetAsFloat(250000);
    Form->CalcMPI(Form->edtMPISalesPrice);
    EXPECT_EQ(Form->edtMPIDownPaymentSum->GetAsFloat(), 40000);
    EXPECT_EQ(Form->edtMPILoanAmount->GetAsFloat(), 210000);
    EXPECT_EQ(Form->edtMPIDownPaymentPercent->GetAsFloat(), 20);
    Form->edtMPIInterestRate->SetAsFloat(8.75);
    Form->edtMPITermInMonths->SetAsInteger(360);
    Form->edtMPIDownPaymentPercent->SetAsFloat(60);
    Form->CalcMPI(Form->edtMPIDownPaymentPercent);
    EXPECT_EQ(Form->edtMPIDownPaymentSum->GetAsFloat(), 150000);
    EXPECT_EQ(Form->edtMPIPayment->GetAsFloat(), 786.70);

    Form->edtMPISalesPrice->SetAsFloat(0);
    Form->CalcMPI(Form->edtMPISalesPrice);
    for (TEntPictureField* f : {Form->edtMPIDownPaymentSum, Form->edtMPIDownPaymentPercent, Form->edtMPILoanAmount,
                                Form->edtMPIPayment})
        EXPECT_EQ(f->GetAsFloat(), 0);
}

TEST_F(QuickCalcPageTest, TabClickFocusesTheTabsFirstControl) {
    Form->Show();
    Form->nbkQuickCalc->SetPageIndex(1);
    Form->nbkQuickCalcTabClick(Form->nbkQuickCalc, 1);
    EXPECT_EQ(Form->GetActiveControl(), Form->btnCalcLA);
    Form->nbkQuickCalc->SetPageIndex(0);
    Form->nbkQuickCalcTabClick(Form->nbkQuickCalc, 0);
    EXPECT_EQ(Form->GetActiveControl(), Form->edtMPISalesPrice);
    Form->Hide();
}

TEST_F(QuickCalcPageTest, EveryTabHoldsItsCaptionInTheActiveTabFont) {
    // The tab widths are measured with every "&" dropped while "&&" shows one,
    // so the strip must be justified for the bold active caption to fit.
    TEntNotebook* nb = Form->nbkQuickCalc;
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
        Form->edtLCLoan[i]->SetAsFloat(rows[i].loan);
        Form->edtLCInterest[i]->SetValue(rows[i].rate);
        Form->edtLCTerm[i]->SetAsInteger(rows[i].term);
        Form->edtLCPoints[i]->SetValue(rows[i].points);
    }
    Form->CalcLC(Form->edtLCLoan[0]);
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(Cents(Form->edtLCPayment[i]->GetAsFloat()), rows[i].payment);
        EXPECT_EQ(Cents(Form->edtLCTotalPaid[i]->GetAsFloat()), rows[i].total);
        EXPECT_EQ(Cents(Form->edtLCLoanCost[i]->GetAsFloat()), rows[i].interest);
        EXPECT_EQ(Cents(Form->edtLCPointsCost[i]->GetAsFloat()), rows[i].pointsCost);
    }
    EXPECT_EQ(Form->edtLCPayment[5]->GetColor(), clYellow);
    EXPECT_FALSE(Form->edtLCPayment[5]->GetTabStop());
}

TEST_F(MainWindowTest, SampleResetsOfBothPagesMatchTheirCalculations) {
    Create();
    Form->gotoChosenCalculator(Form->FindComponent("btnLC"));
    Form->mnuResetSamplesClick(nullptr);
    EXPECT_EQ(Form->DefaultValueSet, 1);
    std::array<double, 6> stored{};
    for (size_t i = 0; i < 6; ++i) stored[i] = Form->edtLCTotalPaid[i]->GetAsFloat();
    Form->CalcLC(nullptr);
    for (size_t i = 0; i < 6; ++i) EXPECT_EQ(Cents(Form->edtLCTotalPaid[i]->GetAsFloat()), stored[i]) << i;

    Form->mnuResetThisZeroClick(nullptr);
    EXPECT_EQ(Form->DefaultValueSet, 0);
    EXPECT_EQ(Form->edtLCLoan[5]->GetAsFloat(), 0);
    EXPECT_EQ(double(Form->edtLCInterest[0]->GetValue()), 0);
}

} // namespace
