// The main window's looks: button styles, the disabled toolbar and the page contents.

#include "MainWindowFixture.h"

#include "ControlImage.h"

#include <QImage>

#include "ExtCtrls.h"
#include "Menus.h"
#include "grBtns.h"

namespace {

TEST_F(MainWindowTest, EveryButtonSetsTheStyleOfItsRole) {
    Create();
    int win95 = 0, borderless = 0;
    for (int i = 0; i < Form->ComponentCount(); ++i) {
        TComponent* c = Form->Components(i);
        if (auto* b = dynamic_cast<TgrButton*>(c)) {
            if (b->GetStyle() == bsWin95) {
                ++win95;
                EXPECT_EQ(b->GetName(), "btnCalculators");
                continue;
            }
            ++borderless;
            // The calculator-menu buttons: no edge, the page shows through, no dithering.
            EXPECT_EQ(b->GetStyle(), bsBorderless) << b->GetName();
            EXPECT_EQ(b->GetBackground()->GetStyle(), grbClear) << b->GetName();
            EXPECT_FALSE(b->GetBackground()->GetDitherDown()) << b->GetName();
        } else if (auto* g = dynamic_cast<TgrGraphicButton*>(c)) {
            EXPECT_EQ(g->GetStyle(), bsWin97) << g->GetName();
        }
    }
    EXPECT_EQ(win95, 1);
    EXPECT_EQ(borderless, 16);
}

TEST_F(MainWindowTest, StartUpToolbarShowsPrintingAndResetDisabled) {
    Create();
    auto* print = C<TgrGraphicButton>("btnPrint");
    auto* reset = C<TgrGraphicButton>("btnReset");
    ASSERT_FALSE(print->GetEnabled());
    ASSERT_FALSE(reset->GetEnabled());
    for (TgrGraphicButton* b : {print, reset}) {
        const QImage disabled = RenderGraphicControl(b);
        b->SetEnabled(true);
        EXPECT_NE(RenderGraphicControl(b), disabled) << b->GetName();
        b->SetEnabled(false);
    }
}

TEST_F(MainWindowTest, LoanComparisonsPageHoldsOnlyItsHeadingsAndFields) {
    Create();
    auto* notebook = C<TNotebook>("nbkMain");
    TPage* page = nullptr;
    for (int i = 0; i < notebook->PageCount(); ++i)
        if (notebook->Page(i)->GetCaption() == "pgLoanComparisons") page = notebook->Page(i);
    ASSERT_NE(page, nullptr);
    int headings = 0, fields = 0;
    for (int i = 0; i < page->ControlCount(); ++i) {
        const std::string name = page->Controls(i)->GetName();
        if (name.rfind("lblLCHeading", 0) == 0)
            ++headings;
        else if (name.rfind("edtLC", 0) == 0)
            ++fields;
        else
            ADD_FAILURE() << "unlisted control " << name;
    }
    EXPECT_EQ(headings, 8);
    EXPECT_EQ(fields, 48);
}

TEST_F(MainWindowTest, MailSuggestionsCaptionIsTheAddressItOpens) {
    Create();
    auto* item = C<TMenuItem>("mnuWOMailSuggestions");
    item->Click();
    ASSERT_EQ(Opened.size(), 1u);
    EXPECT_EQ(Opened[0], "http://" + item->GetCaption() + "?source=mirkane");
}

}  // namespace
