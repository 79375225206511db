// The fixed-decimal numeric edit as a control: keys through its messages,
// value access, change and range events, clipboard, and real keys offscreen.

#include "FnpNumericEdit.h"

#include "Forms.h"
#include "GuiTestApp.h"
#include "TestHooks.h"
#include "TypInfo.h"

#include <QCoreApplication>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace {

class FnpNumericEditTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        FormatSettings = USFormatSettings();
    }
    static void Place(TFnpNumericEdit& e, const std::string& text, int selStart, int selLength) {
        e.SetText(text);
        e.SetSelStart(selStart);
        e.SetSelLength(selLength);
    }
    FakeClipboard clipboard;
    std::string& clip = clipboard.Text;
};

TEST_F(FnpNumericEditTest, Construction) {
    TFnpNumericEdit e(nullptr);
    EXPECT_EQ(e.GetText(), "0.00");
    EXPECT_EQ(e.GetFormat(), "0.00");
    EXPECT_EQ(e.GetWidth(), 73);
    EXPECT_EQ(e.GetAlignment(), taRightJustify);
    EXPECT_EQ(e.GetVersion(), "1.00.08");
}

TEST_F(FnpNumericEditTest, KeysThroughTheControl) {
    const struct {
        const char* text;
        int decimals, selStart, selLength;
        double minValue;
        const char* keys;
        const char* wantText;
        int wantCaret;
    } rows[] = {
        {"0.00", 2, 1, 0, 0, "53", "53.00", 2},
        {"12.34", 2, 1, 0, 0, ".9\b", "12.40", 3},
        {"5.00", 2, 1, 0, -1, "-", "-5.00", 2},
        {"12", 0, 0, 2, 0, "\r", "12", 0},  // Enter goes to the form, not the text
    };
    for (const auto& r : rows) {
        TFnpNumericEdit e(nullptr);
        e.SetDecimals(r.decimals);
        e.SetMinValue(r.minValue);
        Place(e, r.text, r.selStart, r.selLength);
        for (const char* k = r.keys; *k; ++k) e.Perform(WM_CHAR, WPARAM(static_cast<unsigned char>(*k)), 0);
        EXPECT_EQ(e.GetText(), r.wantText) << r.text << " keys " << r.keys;
        EXPECT_EQ(e.GetSelStart(), r.wantCaret) << r.text << " keys " << r.keys;
    }
}

// A refused key over a selection must leave the text alone and fire nothing:
// the calculation would otherwise run with 0.
TEST_F(FnpNumericEditTest, RejectedKeyLeavesSelectedTextAlone) {
    for (char key : {'a', ' ', '-'}) {
        TFnpNumericEdit e(nullptr);
        e.SetDecimals(3);
        Place(e, "8.750", 0, 5);
        int changes = 0;
        e.OnChange = [&](TObject*) { ++changes; };
        e.Perform(WM_CHAR, WPARAM(key), 0);
        EXPECT_EQ(e.GetText(), "8.750") << key;
        EXPECT_EQ(e.GetSelLength(), 5) << key;
        EXPECT_EQ(changes, 0) << key;
        EXPECT_EQ(e.GetAsFloat(), 8.75L);
    }
}

TEST_F(FnpNumericEditTest, DeleteKeyKeepsTheFormat) {
    TFnpNumericEdit e(nullptr);
    Place(e, "12.34", 3, 0);
    int changes = 0;
    e.OnChange = [&](TObject*) { ++changes; };
    e.Perform(WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(e.GetText(), "12.40");
    EXPECT_EQ(changes, 1);
    Place(e, "12.34", 0, 5);
    e.Perform(WM_KEYDOWN, VK_DELETE, 0);
    EXPECT_EQ(e.GetText(), "0.00");
    e.SetReadOnly(true);
    Place(e, "12.34", 3, 0);
    e.Perform(WM_KEYDOWN, VK_DELETE, 0);
    e.Perform(WM_CHAR, '7', 0);
    EXPECT_EQ(e.GetText(), "12.34");
}

TEST_F(FnpNumericEditTest, ValueWritesAndChangeEvents) {
    TFnpNumericEdit e(nullptr);
    int changes = 0;
    e.OnChange = [&](TObject*) { ++changes; };
    e.SetDecimals(3);
    EXPECT_EQ(changes, 0);  // reformatting by Decimals is quiet
    EXPECT_EQ(e.GetText(), "0.000");
    e.SetValue(8.75);
    EXPECT_EQ(e.GetText(), "8.750");
    EXPECT_EQ(changes, 1);
    e.SetValue(8.75);  // same text: nothing
    EXPECT_EQ(changes, 1);
    e.SetAsFloat(9);
    EXPECT_EQ(e.GetText(), "9.000");
    EXPECT_EQ(changes, 2);
    e.ComponentState.Include(csLoading);
    e.SetValue(12);
    e.ComponentState.Exclude(csLoading);
    EXPECT_EQ(e.GetText(), "12.000");
    EXPECT_EQ(changes, 2);
    e.SetDecimals(0);
    e.SetAsInteger(-7);
    EXPECT_EQ(e.GetText(), "-7");
    EXPECT_EQ(e.GetAsInteger(), -7);
}

TEST_F(FnpNumericEditTest, ValueReadRaisesOnTextThatIsNoNumber) {
    TFnpNumericEdit e(nullptr);
    e.SetText("-");
    EXPECT_THROW(e.GetValue(), EConvertError);
    EXPECT_THROW(e.GetAsInteger(), EConvertError);
    e.SetText("99999999999");
    EXPECT_THROW(e.GetAsInteger(), EConvertError);
}

TEST_F(FnpNumericEditTest, FollowsTheLocalesDecimalSeparator) {
    FormatSettings.DecimalSeparator = ',';
    TFnpNumericEdit e(nullptr);
    e.SetDecimals(3);
    EXPECT_EQ(e.GetText(), "0,000");
    Place(e, "12,345", 1, 0);
    e.Perform(WM_CHAR, ',', 0);
    e.Perform(WM_CHAR, '9', 0);
    EXPECT_EQ(e.GetText(), "12,945");
    EXPECT_EQ(e.GetAsFloat(), 12.945L);
    FormatSettings = USFormatSettings();
}

TEST_F(FnpNumericEditTest, RangeEvents) {
    TFnpNumericEdit e(nullptr);
    e.SetDecimals(0);
    int valid = 0, invalid = 0;
    e.OnValidChange = [&](TObject*) { ++valid; };
    e.OnInvalidEntry = [&](TObject*) { ++invalid; };
    // No range set (both bounds 0): only 0 itself counts as valid, and leaving never complains.
    e.SetAsInteger(5);
    e.SetAsInteger(0);
    EXPECT_EQ(valid, 1);
    e.SetAsInteger(5);
    e.Perform(CM_EXIT, 0, 0);
    EXPECT_EQ(invalid, 0);

    e.SetMinValue(1);
    e.SetMaxValue(10);
    valid = 0;
    Place(e, "0", 1, 0);
    e.Perform(WM_CHAR, '1', 0);  // 1: in range
    e.Perform(WM_CHAR, '2', 0);  // 12: above
    EXPECT_EQ(e.GetText(), "12");
    EXPECT_EQ(valid, 1);
    e.Perform(CM_EXIT, 0, 0);
    EXPECT_EQ(invalid, 1);
    e.SetAsInteger(10);
    e.Perform(CM_EXIT, 0, 0);
    EXPECT_EQ(invalid, 1);
}

TEST_F(FnpNumericEditTest, CutAndPaste) {
    TFnpNumericEdit e(nullptr);
    Place(e, "12.34", 3, 2);
    e.Perform(WM_CUT, 0, 0);
    EXPECT_EQ(clip, "34");
    EXPECT_EQ(e.GetText(), "12.00");

    clip = "1a2";
    Place(e, "0.00", 0, 4);
    e.Perform(WM_PASTE, 0, 0);
    EXPECT_EQ(e.GetText(), "12.00");
}

TEST_F(FnpNumericEditTest, WindowDefinitionPropertiesByName) {
    RegisterControlsClasses();
    RegisterNumericEditClasses();
    TFnpNumericEdit e(nullptr);
    SetPropText(&e, "Alignment", "taCenter");
    SetPropText(&e, "Decimals", "3");
    SetPropText(&e, "Value", "8.75");
    SetPropText(&e, "Version", "9.9");
    EXPECT_EQ(e.GetText(), "8.750");
    EXPECT_EQ(e.GetAlignment(), taCenter);
    EXPECT_EQ(GetPropText(&e, "Version"), "1.00.08");
    EXPECT_EQ(GetPropText(&e, "Value"), "8.75");
}

TEST_F(FnpNumericEditTest, RealKeysOnAShownForm) {
    TForm form(nullptr);
    form.SetClientSize(200, 80);
    auto* first = new TEdit(&form);
    first->SetParent(&form);
    first->SetBounds(10, 10, 100, 24);
    auto* e = new TFnpNumericEdit(&form);
    e->SetParent(&form);
    e->SetBounds(10, 40, 100, 24);
    e->SetDecimals(3);
    e->SetMinValue(-100);
    e->SetValue(8.75);
    form.Show();
    QCoreApplication::processEvents();
    e->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return e->Focused(); }, 1000));
    EXPECT_EQ(e->GetSelLength(), 5);  // auto-selected
    QTest::keyClicks(e->Widget(), "x");
    EXPECT_EQ(e->GetText(), "8.750");
    QTest::keyClicks(e->Widget(), "6.25-");
    EXPECT_EQ(e->GetText(), "-6.250");
    QTest::keyClick(e->Widget(), Qt::Key_Home);
    QTest::keyClick(e->Widget(), Qt::Key_Delete);
    EXPECT_EQ(e->GetText(), "6.250");
}

}  // namespace
