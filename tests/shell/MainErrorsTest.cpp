// The application-wide error handler with its repairs, and the hint panel.

#include "MainWindowFixture.h"
#include "QuickCalcPage.h"

#include "Controls.h"
#include "MortLib.h"
#include "entpf.h"
#include "vsStatusBars.h"

namespace {

const std::string kMathMessage =
    "Valid results cannot be calculated using\n\rthe variables you have entered.\n\r\n\r"
    "Please try again with reasonable values.";

TEST_F(MainWindowTest, MathErrorThroughTheMessageLoopShowsTheMessage) {
    Create();
    for (auto raise : std::vector<std::function<void()>>{[] { throw EZeroDivide(); }, [] { throw EInvalidOp(); },
                                                         [] { throw EOverflow(); }}) {
        Messages.clear();
        GuardedCall(Form, raise);
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_EQ(Messages[0].Text, kMathMessage);
        EXPECT_EQ(Messages[0].Flags & 0xF0, unsigned(MB_ICONINFORMATION));
        EXPECT_EQ(Messages[0].Flags & 0x0F, unsigned(MB_OK));
    }
}

TEST_F(MainWindowTest, RefusedExtraPaymentNumbersShowTheirTextAsInformation) {
    Create();
    TMortgage empty;
    GuardedCall(Form, [&] { empty.SetExtraPayment(1, 100); });
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, EPaymentNumbers().Message);
    EXPECT_EQ(Messages[0].Caption, "Information");
    EXPECT_EQ(Messages[0].Flags, unsigned(MB_OK | MB_ICONINFORMATION));
}

TEST_F(MainWindowTest, OtherErrorsAskToContactSupportAndRepairNothing) {
    Create();
    TQuickCalcPage* quickCalc = Form->Page<TQuickCalcPage>();
    Form->gotoChosenCalculator(Form->FindComponent("btnLeaveWelcome"));
    Form->gotoChosenCalculator(Form->FindComponent("btnQC"));
    quickCalc->edtLA->SetAsFloat(1234);
    GuardedCall(Form, [] { throw EConvertError("'abc' is not a valid floating point value"); });
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text.rfind("An unidentified error has occurred.\r\n\r\nPlease contact Kestrilune Software    "
                                     "\r\n\r\nat:  ",
                                     0),
              0u);
    EXPECT_EQ(quickCalc->edtLA->GetAsFloat(), 1234);
    EXPECT_EQ(Form->ActivePageName(), "pgQuickCalculators");
}

// A window whose loan spread table fails while its inputs are not the samples.
class TSpreadWindow : public TfrmMain {
public:
    using TfrmMain::TfrmMain;
    int Builds = 0;
    bool AlwaysFail = false;
    void ChooseLoanSpreadCalculator(TObject*) override {
        ++Builds;
        auto* loan = Find<TEntPictureField>("edtLoan");
        if (AlwaysFail || (loan && loan->GetAsFloat() != 100000)) throw EZeroDivide();
    }
};

class LoanSpreadRepairTest : public MainWindowTest {
protected:
    TSpreadWindow* CreateSpread() {
        auto* w = new TSpreadWindow(nullptr);
        Form = w;
        w->AfterConstruction();
        w->Builds = 0;
        return w;
    }
    double Loan() { return Form->Find<TEntPictureField>("edtLoan")->GetAsFloat(); }
};

TEST_F(LoanSpreadRepairTest, SamplesRestoredBeforeRebuildingSoTheRepairCannotFailAgain) {
    TSpreadWindow* w = CreateSpread();
    // The user left zeros on the loan spread page and a math error arises elsewhere.
    w->gotoChosenCalculator(w->FindComponent("btnLeaveWelcome"));
    w->gotoChosenCalculator(w->FindComponent("btnLC"));
    w->Builds = 0;
    GuardedCall(w, [] { throw EZeroDivide(); });
    EXPECT_EQ(Messages.size(), 1u) << "no second message from inside the handler";
    EXPECT_EQ(Loan(), 100000);
    EXPECT_EQ(w->Find<TEntPictureField>("edtTerm")->GetAsInteger(), 360);
    EXPECT_EQ(w->Builds, 2);

    // Arriving on the loan spread page with inputs that fail: the handler
    // restores the samples first, so its own rebuild succeeds.
    w->Find<TEntPictureField>("edtLoan")->SetAsFloat(0);
    w->Builds = 0;
    Messages.clear();
    GuardedCall(w, [w] { w->gotoChosenCalculator(w->FindComponent("btnLSC")); });
    EXPECT_EQ(Messages.size(), 1u);
    EXPECT_EQ(w->ActivePageName(), "pgLoanSpreadCalculator");
    EXPECT_EQ(w->Builds, 2);
    EXPECT_EQ(Loan(), 100000);
}

TEST_F(LoanSpreadRepairTest, GoodInputsOnAnotherPageAreKept) {
    TSpreadWindow* w = CreateSpread();
    w->Find<TEntPictureField>("edtLoan")->SetAsFloat(100000);
    w->Find<TEntPictureField>("edtTerm")->SetAsInteger(240);
    GuardedCall(w, [] { throw EOverflow(); });
    EXPECT_EQ(w->Builds, 1);
    EXPECT_EQ(w->Find<TEntPictureField>("edtTerm")->GetAsInteger(), 240);
}

TEST_F(LoanSpreadRepairTest, FailingRepairEndsWithTheMessageAndAUsableWindow) {
    TSpreadWindow* w = CreateSpread();
    w->AlwaysFail = true;
    GuardedCall(w, [] { throw EInvalidOp(); });
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_EQ(Messages[0].Text, kMathMessage);
    // The window still navigates.
    w->gotoChosenCalculator(w->FindComponent("btnLeaveWelcome"));
    EXPECT_EQ(w->ActivePageName(), "pgMenu");
}

TEST_F(MainWindowTest, HintPanelShowsTheLongPart) {
    Create();
    struct Row {
        const char* hint;
        const char* shown;
    } rows[] = {
        {"Save| Save ...", " Save ..."},
        {"Go to Quick Calculators", "Go to Quick Calculators"},
        {"Reset| Reset values", " Reset values"},
        {"Short|", ""},
    };
    for (const Row& r : rows) {
        Application->SetHint(r.hint);
        EXPECT_EQ(Form->HintPanelText(), r.shown) << r.hint;
    }
}

TEST_F(MainWindowTest, StatusBarWebPanelAndResize) {
    Create();
    Form->statusBarMouseMove(Form->statusBar, {}, 90, 5);
    EXPECT_EQ(Form->statusBar->GetCursor(), crHandPoint);
    EXPECT_EQ(Form->HintPanelText(), " Click to visit www.quorvane.com");
    Form->statusBarMouseMove(Form->statusBar, {}, 96, 5);
    EXPECT_EQ(Form->statusBar->GetCursor(), crDefault);
    EXPECT_EQ(Form->HintPanelText(), " Click to visit www.quorvane.com");
    Form->statusBarMouseMove(Form->statusBar, {}, 97, 5);
    EXPECT_EQ(Form->HintPanelText().rfind(" Varnholt, 3.0.01        Copyright", 0), 0u);

    auto* bar = dynamic_cast<TvsStatusBar*>(Form->statusBar);
    ASSERT_NE(bar, nullptr);
    bar->SetWidth(611);
    Form->statusBarResize(bar);
    EXPECT_EQ(bar->GetPanels()->GetItem(1)->GetWidth(), 611 - (96 + 55 + 2));
    EXPECT_EQ(bar->GetPanels()->GetItem(0)->GetName(), "WebPanel");
    EXPECT_EQ(bar->GetPanels()->GetItem(2)->GetName(), "NumLockPanel");

    // A click on the web panel opens the home page; other panels do nothing.
    Form->statusBarPanelClick(bar->GetPanels()->GetItem(2));
    EXPECT_TRUE(Opened.empty());
    Form->statusBarPanelClick(bar->GetPanels()->GetItem(0));
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_EQ(Opened[0], "http://www.quorvane.com/?source=mirkane");
}

}  // namespace
