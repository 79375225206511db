// The calculator pages and their resets, driven through their fields.

#include "MainWindowFixture.h"

#include <cmath>

#include "FnpNumericEdit.h"
#include "IncomePropertyPages.h"
#include "InvestmentPages.h"
#include "MortgageQualifierPage.h"
#include "NumCtrl.h"
#include "QuickCalcPage.h"
#include "RefinancePage.h"
#include "entpf.h"
#include "grBtns.h"
#include "iniSetup.h"

namespace {

double Cents(double v) { return std::round(v * 100) / 100; }

// What a page shows in a component of a value set, as a number.
double NumberIn(TComponent* c) {
    if (auto* f = dynamic_cast<TEntPictureField*>(c)) return f->GetAsFloat();
    if (auto* e = dynamic_cast<TFnpNumericEdit*>(c)) return e->GetValue();
    if (auto* n = dynamic_cast<TNumEdit*>(c)) return double(n->GetValue());
    ADD_FAILURE() << "no number in " << c->GetName();
    return NAN;
}

class CalculatorPagesTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        Create();
        Form->Show();
    }
    void TearDown() override {
        Form->Hide();
        MainWindowTest::TearDown();
    }
    // The calculation a field starts when it is left.
    void Leave(const std::string& Name) {
        auto* field = C<TWinControl>(Name);
        ASSERT_TRUE(field && field->OnExit) << Name;
        field->OnExit(field);
    }
    // Every component of a value set holds its sample (or 0).
    void ExpectValueSet(const TCalculatorReset& Set, bool Samples, double Tolerance) {
        for (const TResetValue& v : Set.Values) {
            TComponent* c = Form->FindComponent(v.Field);
            ASSERT_NE(c, nullptr) << v.Field;
            if (v.Text)
                EXPECT_EQ(dynamic_cast<TControl*>(c)->GetText(), v.Text) << v.Field;
            else
                EXPECT_NEAR(NumberIn(c), Samples ? v.Sample : 0, Tolerance) << Set.Page << " " << v.Field;
        }
    }
    // The pages built so far (the table pages come with their own units).
    static bool OnThisWindow(const TCalculatorReset& Set, TfrmMain* Form) {
        return Form->FindComponent(Set.Values[0].Field) != nullptr;
    }
};

// A sample set is a worked example: its results are what the page computes
// from its inputs (to the cent, or to the digits the samples are rounded to).
TEST_F(CalculatorPagesTest, EverySampleSetIsWhatItsPageComputes) {
    for (const TCalculatorReset& set : CalculatorResets()) {
        if (!OnThisWindow(set, Form)) continue;
        SCOPED_TRACE(set.Page);
        Form->nbkMain->SetActivePage(set.Page);
        Form->mnuResetSamplesClick(nullptr);
        EXPECT_EQ(Form->Defaults.ValueSet, 1);
        ExpectValueSet(set, true, 1e-9);
        EXPECT_EQ(Form->GetActiveControl(), Form->FindComponent(set.FocusField));
        if (auto* first = dynamic_cast<TWinControl*>(Form->FindComponent(set.Values[0].Field)); first->OnExit) {
            first->OnExit(first);
            ExpectValueSet(set, true, 0.005);
        }
        Form->mnuResetThisZeroClick(nullptr);
        EXPECT_EQ(Form->Defaults.ValueSet, 0);
        ExpectValueSet(set, false, 0);
    }
    EXPECT_TRUE(Messages.empty());
}

// "Reset all to zero" also runs when a file is begun or closed: no figure of
// one client may reach the next.
TEST_F(CalculatorPagesTest, ResetAllToZeroLeavesNoFigureBehind) {
    TMortgageQualifierPage* mortgageQualifier = Form->Page<TMortgageQualifierPage>();
    TQuickCalcPage* quickCalc = Form->Page<TQuickCalcPage>();
    Form->ResetAllCalculatorsToSamples(nullptr);
    EXPECT_EQ(Form->Defaults.ValueSet, 0) << "the samples of all pages leave the setting alone";
    mortgageQualifier->edtMQPropertyTaxes->SetAsFloat(300);
    mortgageQualifier->edtMQHomeownersInsurance->SetAsFloat(150);
    mortgageQualifier->CalcMQ(nullptr);
    ASSERT_NE(mortgageQualifier->edtCalculatedHousingRatio->GetAsFloat(), 0);
    quickCalc->btnCalcNClick(nullptr);  // greys the term field
    Form->gotoChosenCalculator(Form->FindComponent("btnROR"));
    Form->FocusNamed("edtRORBV3");

    Form->mnuResetAllZeroClick(nullptr);
    EXPECT_EQ(Form->GetActiveControl(), Form->Page<TRatesOfReturnPage>()->edtRORBV[0]);
    for (const TCalculatorReset& set : CalculatorResets()) {
        if (!OnThisWindow(set, Form)) continue;
        ExpectValueSet(set, false, 0);
    }
    EXPECT_FALSE(quickCalc->edtN->GetEnabled()) << "zeros leave the quick calculators' states";

    Form->mnuResetAllSamplesClick(nullptr);
    for (const TCalculatorReset& set : CalculatorResets()) {
        if (!OnThisWindow(set, Form)) continue;
        ExpectValueSet(set, true, 1e-9);
    }
    EXPECT_TRUE(quickCalc->edtN->GetEnabled());
    EXPECT_FALSE(quickCalc->btnCalcQuickCalc->GetEnabled());
}

TEST_F(CalculatorPagesTest, ResetOnAPageWithoutCalculatorOnlyChangesTheSetting) {
    Form->ResetAllCalculatorsToSamples(nullptr);
    Form->nbkMain->SetActivePage("pgWelcome");
    Form->mnuResetThisZeroClick(nullptr);
    EXPECT_EQ(Form->Defaults.ValueSet, 0);
    EXPECT_EQ(Form->Page<TMaximumLoanPage>()->edtMLNOI->GetAsFloat(), 120000);
}

TEST_F(CalculatorPagesTest, MortgageQualifierThroughItsFields) {
    TMortgageQualifierPage* mq = Form->Page<TMortgageQualifierPage>();
    Form->gotoChosenCalculator(Form->FindComponent("btnMQ"));
    mq->edtIncome1->SetAsFloat(4000);
    mq->edtOIncome1->SetAsFloat(1000);
    mq->edtNotes1->SetAsFloat(50);
    mq->edtAuto1->SetAsFloat(450);
    mq->edtCards1->SetAsFloat(350);
    mq->edtMQPropertyTaxes->SetAsFloat(300);
    mq->edtMQHomeownersInsurance->SetAsFloat(150);
    mq->edtHousingRatio->SetAsFloat(28);
    mq->edtDebtRatio->SetAsFloat(36);
    mq->edtMQDownPayment->SetAsFloat(20000);
    mq->edtMQir[0]->SetAsFloat(8);
    ASSERT_TRUE(mq->edtMQir[0]->OnChange);
    mq->edtMQir[0]->OnChange(mq->edtMQir[0]);  // as typing does
    EXPECT_EQ(mq->edtMQir[1]->GetAsFloat(), 7.75);
    EXPECT_EQ(mq->edtMQir[2]->GetAsFloat(), 7.5);
    for (size_t k = 0; k < 3; ++k) mq->edtMQTerm[k]->SetAsInteger(30);
    Leave("edtIncome1");
    EXPECT_EQ(Cents(mq->edtMQPayment[0]->GetAsFloat()), 950);
    EXPECT_EQ(mq->edtCalculatedHousingRatio->GetAsFloat(), 28);
    EXPECT_EQ(mq->edtCalculatedDebtRatio->GetAsFloat(), 36);
    EXPECT_TRUE(Form->btnPrint->GetEnabled());

    // A first rate of 0.5 makes the third rate 0: the loan is what the
    // payments repay without interest, not a math error.
    mq->edtMQir[0]->SetAsFloat(0.5);
    mq->edtMQir1Change(mq->edtMQir[0]);
    Leave("edtMQir1");
    EXPECT_EQ(Cents(mq->edtMQLoan[2]->GetAsFloat()), 342000);
    EXPECT_EQ(Cents(mq->edtMQPurchasePrice[2]->GetAsFloat()), 362000);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(CalculatorPagesTest, RefinancingWithItsClosingCostPanel) {
    TRefinancePage* refi = Form->Page<TRefinancePage>();
    Form->gotoChosenCalculator(Form->FindComponent("btnRC"));
    Form->mnuResetSamplesClick(nullptr);
    EXPECT_EQ(Form->GetActiveControl(), refi->edtOldLoan);
    const double saved = refi->edtTotalSaved->GetAsFloat();

    refi->btnCalcFeesClick(nullptr);
    EXPECT_TRUE(refi->pnlClosingCosts->GetVisible());
    EXPECT_EQ(Form->GetActiveControl(), refi->edtFees[0]);
    refi->edtFees[0]->SetAsFloat(1000);
    refi->edtFees[11]->SetAsFloat(234.5);
    refi->CalcClosingCosts(refi->edtFees[11]);
    EXPECT_EQ(refi->edtClosingFees->GetAsFloat(), 1234.5);
    EXPECT_EQ(refi->edtRefiClosingCosts->GetAsFloat(), 1234.5);
    EXPECT_EQ(Form->GetActiveControl(), refi->btnCloseClosingCosts) << "the last fee leads to OK";
    EXPECT_EQ(refi->edtTotalSaved->GetAsFloat(), saved) << "the comparison waits for OK";

    refi->btnCloseClosingCostsClick(nullptr);
    EXPECT_FALSE(refi->pnlClosingCosts->GetVisible());
    EXPECT_EQ(Cents(refi->edtTotalSaved->GetAsFloat()), Cents(saved - 1234.5));
    EXPECT_EQ(Form->GetActiveControl(), refi->edtMonthsUntilSell);

    refi->btnClearClosingCostsClick(nullptr);
    EXPECT_EQ(refi->edtClosingFees->GetAsFloat(), 0);
    EXPECT_EQ(refi->edtFees[11]->GetAsFloat(), 0);
    EXPECT_EQ(refi->edtRefiClosingCosts->GetAsFloat(), 1234.5) << "kept until the fees are summed again";

    refi->edtMonthsUntilSell->SetAsInteger(300);
    Leave("edtMonthsUntilSell");
    EXPECT_EQ(refi->LblSell->GetCaption(), "If you sell in 240 months,");
}

TEST_F(CalculatorPagesTest, FutureValuesCorrectEveryCompoundingBox) {
    TFutureValuesPage* fv = Form->Page<TFutureValuesPage>();
    Form->gotoChosenCalculator(Form->FindComponent("btnFV"));
    Form->mnuResetSamplesClick(nullptr);
    fv->cbCompounding[0]->SetText("Annually");
    fv->cbCompounding[2]->SetText("weekly");
    Leave("edtFVp1");
    EXPECT_EQ(fv->cbCompounding[0]->GetText(), "Annually");
    EXPECT_EQ(fv->cbCompounding[2]->GetText(), "Monthly");
    EXPECT_EQ(Cents(fv->edtFV[2]->GetAsFloat()), 17089.12);
    EXPECT_NE(Cents(fv->edtFV[0]->GetAsFloat()), 12160.27);
    EXPECT_TRUE(Form->btnReset->GetEnabled());

    // A rate that is no number stops at its row; the rows above are new.
    for (size_t k = 0; k < FutureValueRows; ++k) fv->edtFVp[k]->SetAsFloat(0);
    fv->edtFVir[2]->SetText("");
    EXPECT_THROW(fv->CalcFV(nullptr), EConvertError);
    EXPECT_EQ(fv->edtFV[1]->GetAsFloat(), Cents(CalcFV({0, "Monthly", 100, 8.75, 24})));
    EXPECT_EQ(Cents(fv->edtFV[3]->GetAsFloat()), 19895.18) << "row 4 keeps its old result";
}

TEST_F(CalculatorPagesTest, MathErrorsLeaveTheEarlierResultsNew) {
    TCapRatePage* capRate = Form->Page<TCapRatePage>();
    Form->ResetAllCalculatorsToSamples(nullptr);
    TDiscountedCashFlowsPage* dcf = Form->Page<TDiscountedCashFlowsPage>();
    dcf->edtDCFYear[0]->SetAsFloat(0);
    dcf->edtDiscountRate[2]->SetAsFloat(-100);
    EXPECT_THROW(dcf->CalcDCF(nullptr), EMathError);
    EXPECT_LT(dcf->edtNPV[1]->GetAsFloat(), 120274.95 - 8000) << "the first year's flow is gone";
    EXPECT_EQ(dcf->edtNPV[2]->GetAsFloat(), 111841.28);
    EXPECT_EQ(dcf->edtNPV[4]->GetAsFloat(), 97037.33);

    TUnderwritingPage* uw = Form->Page<TUnderwritingPage>();
    uw->edtU1LoanAmount->SetAsFloat(50000);
    uw->edtU3InterestRate->SetAsFloat(-1500);
    EXPECT_THROW(uw->CalcUnderwriting(nullptr), EMathError);
    EXPECT_EQ(uw->edtU1LTV->GetAsFloat(), 50);
    EXPECT_EQ(uw->edtU4BreakEvenRatio->GetAsFloat(), 80);

    // Through the window's handler the user sees the math-error message.
    try {
        capRate->edtCRFinancingRate->SetAsFloat(-1300);
        capRate->CalcCapRate(nullptr);
        FAIL();
    } catch (Exception& e) {
        Form->AppOnException(nullptr, e);
    }
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, SMathErrorMessage);
}

TEST_F(CalculatorPagesTest, SmallPagesThroughTheirFields) {
    TMaximumLoanPage* ml = Form->Page<TMaximumLoanPage>();
    ml->edtMLNOI->SetAsFloat(12000);
    ml->edtMLLendersDebtCoverageRatio->SetAsFloat(1);
    ml->edtMLTerm->SetValue(120);
    ml->edtMLInterestRate->SetAsFloat(0);
    Leave("edtMLNOI");
    EXPECT_EQ(Cents(ml->edtMLMaximumLoan->GetAsFloat()), 120000);

    TRatesOfReturnPage* ror = Form->Page<TRatesOfReturnPage>();
    ror->edtRORBV[4]->SetAsFloat(2500);
    ror->edtROREV[4]->SetAsFloat(2000);
    Leave("edtRORBV1");
    EXPECT_EQ(ror->edtROR[4]->GetAsFloat(), -20);

    TIncomeMultipliersPage* im = Form->Page<TIncomeMultipliersPage>();
    im->edtIM1MarketValue->SetAsFloat(700000);
    im->edtIM1RentIncome->SetAsFloat(90000);
    Leave("edtIM1RentIncome");
    EXPECT_EQ(im->edtIM1GrossRentMultiplier->GetAsFloat(), 7.7778);
    EXPECT_EQ(im->edtIM3NetIncomeMultiplier->GetAsFloat(), 0);
}

TEST(MonthListTest, TodaysMonthByItsOwnItem) {
    EXPECT_STREQ(MonthListName(1), "Jan");
    EXPECT_STREQ(MonthListName(12), "Dec");
    EXPECT_STREQ(MonthListName(13), "");
}

}  // namespace
