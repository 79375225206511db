// Navigation between the pages: every sender of every target.

#include "MainWindowFixture.h"

#include "Menus.h"
#include "entrlbl.h"
#include "grBtns.h"

namespace {

struct Target {
    const char* page;
    const char* senders[4];
    const char* title;
    int originY;
    bool print, reset;
};

const Target kTargets[] = {
    {"pgLoanSpreadCalculator",
     {"btnLSC", "mnuCalculatorsLSC", "mnuPopLSC", "mnuPopCalcsLSC"},
     "Loan Spread Calculator",
     227,
     true,
     true},
    {"pgMenu",
     {"btnLeaveWelcome", "mnuCalculatorsMain", "mnuPopMain", "mnuPopCalcsMain"},
     "Main Menu",
     111,
     false,
     false},
    {"pgQuickCalculators",
     {"btnQC", "MnuCalculatorsQC", "mnuPopQC", "mnuPopCalcsQC"},
     "Quick Calculators",
     173,
     false,
     true},
    {"pgRefinancingCalculator",
     {"btnRC", "MnuCalculatorsRC", "mnuPopRC", "mnuPopCalcsRC"},
     "Refinancing Calculator",
     220,
     true,
     true},
    // The schedule's calculation, which runs on arrival, enables printing.
    {"pgAmortizationSchedules",
     {"btnAS", "MnuCalculatorsAmort", "mnuPopAmort", "mnuPopCalcsAmort"},
     "Amortization Schedules",
     229,
     true,
     true},
    {"pgMortgageQualifier",
     {"btnMQ", "MnuCalculatorsMQ", "mnuPopMQ", "mnuPopCalcsMQ"},
     "Mortgage Qualifier",
     179,
     true,
     true},
    {"pgWelcome",
     {"btnWelcome", "mnuCalculatorsWelcome", "mnuPopWelcome", "mnuPopCalcsWelcome"},
     "Welcome",
     95,
     false,
     false},
    {"pgDepreciation",
     {"btnDEP", "MnuCalculatorsDEP", "mnuPopDEP", "mnuPopCalcsDEP"},
     "Depreciation Calculator",
     226,
     true,
     true},
    {"pgLoanComparisons",
     {"btnLC", "MnuCalculatorsLC", "mnuPopLC", "mnuPopCalcsLC"},
     "Loan Comparisons",
     185,
     true,
     true},
    {"pgFutureValues", {"btnFV", "mnuCalculatorsFV", "mnuPopFV", "mnuPopCalcsFV"}, "Future Values", 137, true, true},
    {"pgRatesOfReturn",
     {"btnROR", "mnuCalculatorsROR", "mnuPopROR", "mnuPopCalcsROR"},
     "Rates of Return",
     153,
     true,
     true},
    {"pgCapitalizationRate",
     {"btnCR", "mnuCalculatorsCR", "mnuPopCR", "mnuPopCalcsCR"},
     "Capitalization Rate",
     180,
     true,
     true},
    {"pgMaximumLoan", {"btnML", "mnuCalculatorsML", "mnuPopML", "mnuPopCalcsML"}, "Maximum Loan", 151, true, true},
    {"pgIncomeMultipliers",
     {"btnIM", "mnuCalculatorsIM", "mnuPopIM", "mnuPopCalcsIM"},
     "Income Multipliers",
     177,
     true,
     true},
    {"pgUnderwriting",
     {"btnUnderwriting", "mnuCalculatorsUnderwriting", "mnuPopUnderwriting", "mnuPopCalcsUnderwriting"},
     "Underwriting",
     126,
     true,
     true},
    {"pgDiscountedCashFlows",
     {"btnDCF", "mnuCalculatorsDCF", "mnuPopDCF", "mnuPopCalcsDCF"},
     "Discounted Cash Flows",
     228,
     true,
     true},
};

TEST_F(MainWindowTest, EverySenderReachesItsPage) {
    Create();
    auto* title = C<TEntRotatedLabel>("lblCalculatorName");
    auto* print = C<TgrGraphicButton>("btnPrint");
    auto* printItem = C<TMenuItem>("MnuFilePrint");
    auto* reset = C<TgrGraphicButton>("btnReset");
    for (const Target& t : kTargets) {
        for (const char* sender : t.senders) {
            // Start from a page that is none of the targets' own state.
            Form->gotoChosenCalculator(
                Form->FindComponent(t.page == std::string("pgMenu") ? "btnQC" : "btnLeaveWelcome"));
            Form->gotoChosenCalculator(Form->FindComponent(sender));
            SCOPED_TRACE(sender);
            EXPECT_EQ(Form->ActivePageName(), t.page);
            EXPECT_EQ(title->GetCaption(), t.title);
            EXPECT_EQ(title->GetOriginX(), 0);
            EXPECT_EQ(title->GetOriginY(), t.originY);
            EXPECT_EQ(print->GetEnabled(), t.print);
            EXPECT_EQ(printItem->GetEnabled(), t.print);
            EXPECT_EQ(reset->GetEnabled(), t.reset);
            // Only the target's own three items are disabled.
            for (const Target& other : kTargets)
                for (int i = 1; i < 4; ++i)
                    EXPECT_EQ(C<TMenuItem>(other.senders[i])->GetEnabled(), &other != &t) << other.senders[i];
        }
    }
}

TEST_F(MainWindowTest, SenderOutsideEveryTargetChangesNothing) {
    Create();
    Form->gotoChosenCalculator(Form->FindComponent("btnLC"));
    Form->gotoChosenCalculator(Form->FindComponent("btnOpen"));
    Form->gotoChosenCalculator(nullptr);
    EXPECT_EQ(Form->ActivePageName(), "pgLoanComparisons");
    EXPECT_EQ(C<TEntRotatedLabel>("lblCalculatorName")->GetCaption(), "Loan Comparisons");
}

TEST_F(MainWindowTest, MenuButtonsChangeColourOnHover) {
    Create();
    auto* qc = C<TControl>("btnQC");
    Form->MenuButtonEnter(qc);
    EXPECT_EQ(qc->GetFont()->GetColor(), TColor(0x0000FF));
    Form->MenuButtonLeave(qc);
    EXPECT_EQ(qc->GetFont()->GetColor(), TColor(0x800000));
    // Other senders are left alone.
    auto* open = C<TControl>("btnOpen");
    const TColor before = open->GetFont()->GetColor();
    Form->MenuButtonEnter(open);
    EXPECT_EQ(open->GetFont()->GetColor(), before);
}

TEST_F(MainWindowTest, OnlyTheShownPageKeepsWindowHandles) {
    Create();
    Form->Show();
    auto* nbk = C<TNotebook>("nbkMain");
    Form->gotoChosenCalculator(Form->FindComponent("btnLeaveWelcome"));
    Form->gotoChosenCalculator(Form->FindComponent("btnQC"));
    for (int i = 0; i < nbk->PageCount(); ++i)
        EXPECT_EQ(nbk->Page(i)->HandleAllocated(), i == nbk->GetPageIndex()) << i;
    // The quick calculators' notebook has the focus on arrival.
    EXPECT_EQ(Form->GetActiveControl(), C<TWinControl>("nbkQuickCalc"));
    Form->gotoChosenCalculator(Form->FindComponent("btnLeaveWelcome"));
    Form->gotoChosenCalculator(Form->FindComponent("btnLC"));
    EXPECT_EQ(Form->GetActiveControl(), C<TWinControl>("edtLCLoan1"));
    Form->Hide();
}

}  // namespace
