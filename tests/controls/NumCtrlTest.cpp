// The numeric edit as a control: property setters, the enter/exit protocol
// driven by messages, and keyboard and painting checks on a shown form.

#include "NumCtrl.h"

#include "Forms.h"
#include "GuiTestApp.h"
#include "TestHooks.h"
#include "TypInfo.h"

#include <QCoreApplication>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class NumCtrlTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        FormatSettings = USFormatSettings();
    }
    static void Type(TWinControl& c, const std::string& keys) {
        for (char k : keys) c.Perform(WM_CHAR, WPARAM(static_cast<unsigned char>(k)), 0);
    }
    static void Pump() { QCoreApplication::processEvents(); }
    MessageBoxRecorder boxes;
};

TEST_F(NumCtrlTest, ValueSetterStoresOnlyChangedValuesInRange) {
    TNumEdit e(nullptr);
    e.SetNumericType(ntPercentage);
    e.SetDecimals(3);
    e.SetValue(0.0875L);
    EXPECT_EQ(e.GetText(), "8.750%");

    // The same value again: no range check and no reformat.
    e.SetText("untouched");
    e.SetValue(0.0875L);
    EXPECT_EQ(e.GetText(), "untouched");

    e.SetMax(0.1L);
    e.SetValidate(true);
    e.SetValue(0.2L);
    EXPECT_EQ(e.GetValue(), 0.0875L);
    ASSERT_EQ(boxes.Texts.size(), 1u);
    EXPECT_EQ(boxes.Texts[0], "Value must be between 0 and 0.1");
}

TEST_F(NumCtrlTest, BoundsPullTheValue) {
    TNumEdit e(nullptr);
    e.SetNumericType(ntGeneral);
    e.SetValue(5);
    const std::string shown = e.GetText();
    e.SetMin(7);
    EXPECT_EQ(e.GetValue(), 7);
    EXPECT_EQ(e.GetText(), shown);  // not reformatted
    e.SetMax(3);
    EXPECT_EQ(e.GetValue(), 3);

    TNumEdit v(nullptr);
    v.SetNumericType(ntGeneral);
    v.SetMin(1);
    v.SetMax(10);
    v.SetValue(50);       // not checked while Validate is off
    v.SetValidate(true);  // above Max: goes to Min
    EXPECT_EQ(v.GetValue(), 1);
    EXPECT_EQ(v.GetText(), "1");
}

TEST_F(NumCtrlTest, MasksAreCutTo25AndReformat) {
    TNumEdit e(nullptr);
    e.SetNumericType(ntGeneral);
    e.SetDecimals(3);
    e.SetUseRounding(false);
    e.SetValue(1.23456L);
    e.GetMasks()->SetPositiveMask("#,##0.###");
    EXPECT_EQ(e.GetText(), "1.234");
    e.GetMasks()->SetZeroMask(std::string(30, 'z'));
    EXPECT_EQ(e.GetMasks()->GetZeroMask().size(), 25u);
}

struct ExitRow {
    TNumericType type;
    long double start;
    const char* typed;  // typed over the selected text
    long double wantValue;
    const char* wantText;
};

TEST_F(NumCtrlTest, TypingAndLeaving) {
    const ExitRow rows[] = {
        {ntPercentage, 0.0875L, "9.5", 9.5L / 100, "9.500%"},
        {ntGeneral, 0, "12-", -12, "-12"},
        {ntGeneral, 0, "1a2b.5.6", 12.56L, "12.56"},  // letters and a second point refused
        {ntCurrency, -2.5L, "1,234.5", 1234.5L, "$1,234.50"},
    };
    for (const ExitRow& r : rows) {
        TNumEdit e(nullptr);
        e.SetNumericType(r.type);
        e.SetDecimals(r.type == ntPercentage ? 3 : 2);
        e.GetMasks()->SetPositiveMask("#,##0.##");
        e.SetValue(r.start);
        int exits = 0;
        e.OnExit = [&](TObject*) { ++exits; };
        e.Perform(CM_ENTER, 0, 0);
        EXPECT_EQ(e.GetAlignment(), taLeftJustify);
        EXPECT_EQ(e.GetSelLength(), static_cast<int>(e.GetText().size())) << "auto-select";
        Type(e, r.typed);
        e.Perform(CM_EXIT, 0, 0);
        EXPECT_EQ(e.GetValue(), r.wantValue) << r.typed;
        EXPECT_EQ(e.GetText(), r.wantText) << r.typed;
        EXPECT_EQ(e.GetAlignment(), taRightJustify);
        EXPECT_EQ(exits, 1);
    }
}

TEST_F(NumCtrlTest, DigitsLimitTheTypedLengthAndSeparatorsAddRoom) {
    TNumEdit e(nullptr);
    e.SetNumericType(ntGeneral);
    e.SetDigits(3);
    e.Perform(CM_ENTER, 0, 0);
    Type(e, "12345");
    EXPECT_EQ(e.GetText(), "123");
    Type(e, ".4");
    EXPECT_EQ(e.GetText(), "123.");
}

TEST_F(NumCtrlTest, EmptiedTextRestoresTheValueAndAborts) {
    TNumEdit e(nullptr);
    e.SetValue(12.5L);
    int exits = 0;
    e.OnExit = [&](TObject*) { ++exits; };
    e.Perform(CM_ENTER, 0, 0);
    Type(e, "\b");
    EXPECT_EQ(e.GetText(), "");
    EXPECT_THROW(e.Perform(CM_EXIT, 0, 0), EAbort);
    EXPECT_EQ(e.GetText(), "$12.50");
    EXPECT_EQ(e.GetValue(), 12.5L);
    EXPECT_EQ(exits, 1);
    EXPECT_TRUE(boxes.Texts.empty());
}

TEST_F(NumCtrlTest, OutOfRangeTypedNumberKeepsTheTextForCorrection) {
    TNumEdit e(nullptr);
    e.SetNumericType(ntPercentage);
    e.SetMax(20);  // checked against the number as typed
    e.SetValidate(true);
    int exits = 0;
    e.OnExit = [&](TObject*) { ++exits; };
    e.Perform(CM_ENTER, 0, 0);
    Type(e, "25");
    EXPECT_THROW(e.Perform(CM_EXIT, 0, 0), EAbort);
    EXPECT_EQ(e.GetText(), "25");
    EXPECT_EQ(e.GetSelLength(), 2);
    EXPECT_EQ(e.GetValue(), 0);
    EXPECT_EQ(exits, 0);
    ASSERT_EQ(boxes.Texts.size(), 1u);
    EXPECT_EQ(boxes.Texts[0], "Value must be between 0 and 20");

    e.Perform(CM_ENTER, 0, 0);
    Type(e, "15");
    e.Perform(CM_EXIT, 0, 0);
    EXPECT_EQ(e.GetValue(), 0.15L);
    EXPECT_EQ(exits, 1);
}

TEST_F(NumCtrlTest, WindowDefinitionPropertiesByName) {
    RegisterControlsClasses();
    RegisterNumericEditClasses();
    TNumEdit e(nullptr);
    SetPropText(&e, "NumericType", "ntGeneral");
    SetPropText(&e, "Decimals", "3");
    SetPropText(&e, "UseRounding", "False");
    SetPropText(&e, "Masks.PositiveMask", "#,##0.###");
    SetPropText(&e, "Value", "1.5");
    EXPECT_EQ(e.GetText(), "1.5");
    EXPECT_EQ(GetPropText(&e, "Digits"), "12");
    EXPECT_EQ(GetPropText(&e, "Validate"), "False");
}

// On a shown form: real keys, real focus changes, the refocus after a bad
// entry, and the right-aligned painting while unfocused.
class NumCtrlFormTest : public NumCtrlTest {
protected:
    void SetUp() override {
        NumCtrlTest::SetUp();
        form = std::make_unique<TForm>(nullptr);
        form->SetClientSize(300, 100);
        num = new TNumEdit(form.get());
        num->SetParent(form.get());
        num->SetBounds(10, 10, 120, 24);
        num->SetColor(clWhite);
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(10, 50, 120, 24);
        form->Show();
        Pump();
        // The numeric edit starts unfocused.
        other->SetFocus();
        ASSERT_TRUE(WaitFor([&] { return other->Focused(); }));
    }
    void TearDown() override { form.reset(); }
    static bool WaitFor(const std::function<bool()>& pred) { return QTest::qWaitFor(pred, 1000); }
    std::unique_ptr<TForm> form;
    TNumEdit* num = nullptr;
    TEdit* other = nullptr;
};

TEST_F(NumCtrlFormTest, KeyboardEntryStoresThePercentageAsFraction) {
    num->SetNumericType(ntPercentage);
    num->SetDecimals(3);
    num->SetValue(0.0875L);
    int exits = 0;
    num->OnExit = [&](TObject*) { ++exits; };
    num->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return num->Focused(); }));
    EXPECT_EQ(num->GetText(), "8.750");
    QTest::keyClicks(num->Widget(), "9x.5");
    EXPECT_EQ(num->GetText(), "9.5");
    other->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return other->Focused(); }));
    EXPECT_EQ(num->GetValue(), 9.5L / 100);
    EXPECT_EQ(num->GetText(), "9.500%");
    EXPECT_EQ(exits, 1);
}

TEST_F(NumCtrlFormTest, UnreadableEntryTakesTheFocusBack) {
    num->SetValue(3);
    num->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return num->Focused(); }));
    QTest::keyClicks(num->Widget(), "-");
    other->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return num->Focused() && num->GetText() == "3.00"; }));
    EXPECT_EQ(num->GetValue(), 3);
}

TEST_F(NumCtrlFormTest, UnfocusedTextIsPaintedRightAligned) {
    num->SetText("");
    num->SetValue(7);
    Pump();
    QImage img = num->Widget()->grab().toImage();
    int leftmost = img.width(), rightmost = -1;
    for (int y = 3; y < img.height() - 3; ++y)
        for (int x = 3; x < img.width() - 3; ++x)
            if (qGray(img.pixel(x, y)) < 128) {
                leftmost = std::min(leftmost, x);
                rightmost = std::max(rightmost, x);
            }
    ASSERT_GE(rightmost, 0) << "no text drawn";
    EXPECT_GT(leftmost, img.width() / 2);
    EXPECT_GT(rightmost, img.width() - 15);
}

}  // namespace
