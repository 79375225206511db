// The picture field as a control on a shown form: keyboard and mouse
// editing, the focus protocol with its validation and single error report,
// the context menu, and values of fields read from a window definition.

#include "entpf.h"

#include "Dialogs.h"
#include "FormReader.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "Menus.h"
#include "MsgBox.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "TestHooks.h"
#include "entintl.h"
#include "entmsgs.h"
#include "entnbk.h"
#include "FnpNumericEdit.h"

#include <QCoreApplication>
#include <QApplication>
#include <QDialog>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QImage>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

// Exposes the text geometry so that a test can click on a character.
class TTestField : public TEntPictureField {
public:
    using TEntPictureField::TEntPictureField;
    int XOfChar(int index) { return CharX(index) + 1; }
};

std::string Trimmed(const std::string& s) { return Trim(s); }

class PictureFieldTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        FormatSettings = USFormatSettings();
        RegisterEntPictureFieldClasses();
        previousBeep = SetBeepHook([this](unsigned) { ++beeps; });
        form = std::make_unique<TForm>(nullptr);
        form->SetName("frmTest");
        form->SetClientSize(360, 200);
        controller = new TEntController(form.get());
        controller->SetName("EntController1");
        a = AddField("edtA", 10);
        b = AddField("edtB", 50);
        other = new TEdit(form.get());
        other->SetParent(form.get());
        other->SetBounds(10, 130, 120, 24);
        form->Show();
        Pump();
        other->SetFocus();
        ASSERT_TRUE(WaitFor([&] { return other->Focused(); }));
    }
    void TearDown() override {
        form.reset();
        Pump();
        SetBeepHook(previousBeep);
        SetPopupHook(nullptr);
    }
    TTestField* AddField(const std::string& name, int top) {
        auto* f = new TTestField(form.get());
        f->SetName(name);
        f->SetParent(form.get());
        f->SetBounds(10, top, 200, 24);
        return f;
    }
    static void Pump() {
        for (int i = 0; i < 3; ++i) QCoreApplication::processEvents();
    }
    static bool WaitFor(const std::function<bool()>& pred) { return QTest::qWaitFor(pred, 1000); }
    void Focus(TWinControl* c) {
        c->SetFocus();
        ASSERT_TRUE(WaitFor([&] { return c->Focused(); }));
    }
    static void Key(TWinControl* c, Qt::Key key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(c->Widget(), key, mods);
    }

    std::unique_ptr<TForm> form;
    TEntController* controller = nullptr;
    TTestField* a = nullptr;
    TTestField* b = nullptr;
    TEdit* other = nullptr;
    MessageBoxRecorder boxRecorder;
    std::vector<std::string>& boxes = boxRecorder.Texts;
    int beeps = 0;
    FakeClipboard clipboardHook;
    std::string& clipboard = clipboardHook.Text;
    TBeepHook previousBeep;
};

TEST_F(PictureFieldTest, TypingIntoAMoneyMaskGivesItsValueAndFormatsOnLeaving) {
    a->SetDataType(pftDouble);
    a->SetPictureMask("$#,###,###,###.##");
    int changes = 0;
    a->OnChange = [&](TObject*) { ++changes; };
    Focus(a);
    QTest::keyClicks(a->Widget(), "1234.5");
    EXPECT_EQ(changes, 5 + 1) << "each digit, and the point aligning the digits";
    Focus(other);
    EXPECT_DOUBLE_EQ(a->GetAsFloat(), 1234.5);
    EXPECT_EQ(a->LastError(), 0);
    EXPECT_EQ(Trimmed(a->GetAsString()), "$1,234.50");
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PictureFieldTest, CaretMovesAndDeletesThroughTheCommandTables) {
    a->SetDataType(pftLongInt);
    a->SetPictureMask("99999");
    struct Row {
        const char* typed;
        std::vector<std::pair<Qt::Key, Qt::KeyboardModifiers>> keys;
        const char* text;
        int caret;
    };
    const Row rows[] = {
        {"123", {{Qt::Key_Home, Qt::NoModifier}, {Qt::Key_Delete, Qt::NoModifier}}, "23", 0},
        {"123", {{Qt::Key_Backspace, Qt::NoModifier}}, "12", 2},
        {"123", {{Qt::Key_Left, Qt::NoModifier}, {Qt::Key_Backspace, Qt::NoModifier}}, "13", 1},
        {"12",
         {{Qt::Key_Home, Qt::NoModifier}, {Qt::Key_Right, Qt::NoModifier}, {Qt::Key_9, Qt::NoModifier}},
         "192",
         2},
        {"123",
         {{Qt::Key_Home, Qt::NoModifier}, {Qt::Key_End, Qt::ShiftModifier}, {Qt::Key_Delete, Qt::NoModifier}},
         "",
         0},
        {"1", {{Qt::Key_Home, Qt::NoModifier}, {Qt::Key_Backspace, Qt::NoModifier}}, "1", 0},
    };
    for (const Row& row : rows) {
        Focus(a);
        Key(a, Qt::Key_Home);
        Key(a, Qt::Key_End, Qt::ShiftModifier);
        Key(a, Qt::Key_Delete);
        QTest::keyClicks(a->Widget(), row.typed);
        for (auto [key, mods] : row.keys) Key(a, key, mods);
        EXPECT_EQ(Trimmed(a->Model().Text()), row.text) << row.typed;
        EXPECT_EQ(a->GetCaretPos(), row.caret) << row.typed;
        Focus(other);
    }
}

TEST_F(PictureFieldTest, InsertModeIsSharedAndAltBackspaceRestores) {
    for (TTestField* f : {a, b}) {
        f->SetDataType(pftLongInt);
        f->SetPictureMask("99999");
    }
    a->SetAsInteger(123);
    Focus(a);
    EXPECT_TRUE(a->GetInsertMode());
    Key(a, Qt::Key_Insert);
    EXPECT_FALSE(a->GetInsertMode());
    Key(a, Qt::Key_Home);
    QTest::keyClicks(a->Widget(), "9");
    EXPECT_EQ(a->Model().Text(), "9 123") << "overtype replaces the blank before the right-aligned digits";
    int changes = 0;
    a->OnChange = [&](TObject*) { ++changes; };
    Key(a, Qt::Key_Backspace, Qt::AltModifier);
    EXPECT_EQ(Trimmed(a->Model().Text()), "123") << "the text the field had on entry";
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(a->GetModified());
    Focus(b);
    EXPECT_FALSE(b->GetInsertMode()) << "the controller carries the mode to the next field";
    Focus(other);
}

TEST_F(PictureFieldTest, ArrowsStayInTheFieldToStepValuesAndTypingAdvances) {
    a->SetDataType(pftInteger);
    a->SetRangeLo("0");
    a->SetRangeHi("10");
    a->SetOptions(a->GetOptions() + efoArrowIncDec);
    a->SetAsInteger(10);
    int changes = 0;
    a->OnChange = [&](TObject*) { ++changes; };
    Focus(a);
    Key(a, Qt::Key_Up);
    EXPECT_TRUE(a->Focused()) << "the field keeps its arrows";
    EXPECT_EQ(Trimmed(a->Model().Text()), "0") << "stepping past the top wraps to the bottom";
    Key(a, Qt::Key_Down);
    EXPECT_EQ(Trimmed(a->Model().Text()), "10");
    EXPECT_EQ(changes, 2);

    // Filling the last position moves on to the next control.
    controller->EntryOptions += efoAutoAdvanceChar;
    b->SetDataType(pftLongInt);
    b->SetPictureMask("99");
    Focus(b);
    QTest::keyClicks(b->Widget(), "12");
    EXPECT_EQ(Trimmed(b->Model().Text()), "12");
    EXPECT_TRUE(WaitFor([&] { return other->Focused(); }));
}

TEST_F(PictureFieldTest, MouseClicksPlaceTheCaretAndDragsSelect) {
    a->SetDataType(pftLongInt);
    a->SetPictureMask("99999");
    a->SetAsInteger(12345);
    QWidget* w = a->Widget();
    const int y = a->GetHeight() / 2;
    // The click that brings the focus selects the whole text; the next one
    // puts the caret at the click.
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(a->XOfChar(2), y));
    ASSERT_TRUE(WaitFor([&] { return a->Focused(); }));
    EXPECT_EQ(a->GetSelStart(), 0);
    EXPECT_EQ(a->GetSelEnd(), 5);
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, QPoint(a->XOfChar(2), y));
    EXPECT_EQ(a->GetCaretPos(), 2);
    EXPECT_EQ(a->GetSelStart(), a->GetSelEnd()) << "the click drops the selection made on entry";
    QTest::mouseClick(w, Qt::LeftButton, Qt::ShiftModifier, QPoint(a->XOfChar(4), y));
    EXPECT_EQ(a->GetSelStart(), 2);
    EXPECT_EQ(a->GetSelEnd(), 4);

    QTest::mousePress(w, Qt::LeftButton, Qt::NoModifier, QPoint(a->XOfChar(1), y));
    QTest::mouseMove(w, QPoint(a->XOfChar(3), y));
    QTest::mouseRelease(w, Qt::LeftButton, Qt::NoModifier, QPoint(a->XOfChar(3), y));
    EXPECT_EQ(a->GetSelStart(), 1);
    EXPECT_EQ(a->GetSelEnd(), 3);
    Key(a, Qt::Key_Delete);
    EXPECT_EQ(Trimmed(a->Model().Text()), "145");
    Focus(other);
    EXPECT_EQ(a->GetAsInteger(), 145);

    // A double click on a float field selects all of it.
    b->SetDataType(pftDouble);
    b->SetPictureMask("#####.##");
    b->SetAsFloat(12.5);
    Focus(b);
    QTest::mouseClick(b->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(b->XOfChar(6), y));
    QTest::mouseDClick(b->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(b->XOfChar(6), y));
    // A double click ends with the button up; the test library leaves it held.
    QTest::mouseRelease(b->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(b->XOfChar(6), y));
    EXPECT_EQ(b->GetSelStart(), 0);
    EXPECT_EQ(b->GetSelEnd(), int(b->Model().Text().size()));
}

// Dark pixels inside the field's frame (the text drawn), and how wide a run they cover.
int InkInside(TWinControl* c, int* span = nullptr) {
    QImage img = c->Widget()->grab().toImage();
    int ink = 0, left = img.width(), right = -1;
    for (int y = 3; y < img.height() - 3; ++y)
        for (int x = 3; x < img.width() - 3; ++x)
            if (qGray(img.pixel(x, y)) < 100) {
                ++ink;
                left = std::min(left, x);
                right = std::max(right, x);
            }
    if (span) *span = right - left;
    return ink;
}

TEST_F(PictureFieldTest, PaintingHidesZeroAndShowsTheErrorColours) {
    b->SetDataType(pftDouble);
    b->SetPictureMask("###.##");
    b->SetColor(clWhite);
    b->SetZeroDisplay(zdHide);
    b->SetAsFloat(0);
    Pump();
    EXPECT_EQ(InkInside(b), 0) << "a zero value shows blank";
    b->SetAsFloat(5);
    Pump();
    EXPECT_GT(InkInside(b), 0);
    b->SetAsFloat(123.45);
    Pump();
    int span = 0;
    InkInside(b, &span);
    b->Canvas()->SetFont(b->GetFont());
    EXPECT_GE(span, b->Canvas()->TextWidth("123.4")) << "every character stays drawn";

    b->SetRangeLo("0");
    b->SetRangeHi("10");
    b->SetOptions(b->GetOptions() + efoSoftValidation);
    b->SetAsFloat(50);
    EXPECT_NE(b->ValidateSelf(false), 0);
    Pump();
    const QColor back = b->Widget()->grab().toImage().pixelColor(b->GetWidth() - 5, 4);
    EXPECT_EQ(back, QColor(255, 0, 0)) << "soft errors paint on the error background";
}

TEST_F(PictureFieldTest, PasteStopsAtTheFirstRefusedCharacter) {
    a->SetDataType(pftLongInt);
    a->SetPictureMask("99999");
    clipboard = "12a3";
    Focus(a);
    Key(a, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(Trimmed(a->Model().Text()), "12");
    Focus(other);
    EXPECT_EQ(a->GetAsInteger(), 12);

    // Copy and cut go through the clipboard too.
    Focus(a);
    Key(a, Qt::Key_Home);
    Key(a, Qt::Key_End, Qt::ShiftModifier);
    Key(a, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(Trimmed(clipboard), "12");
    EXPECT_EQ(Trimmed(a->Model().Text()), "");
}

TEST_F(PictureFieldTest, RequiredFieldTakesTheFocusBackAndReportsOnce) {
    for (TTestField* f : {a, b}) {
        f->SetDataType(pftInteger);
        f->SetOptions(f->GetOptions() + efoInputRequired);
    }
    // recreate so that the fields start uninitialized, as a window made with the option
    a->RecreateWnd();
    b->RecreateWnd();
    Focus(a);
    // Tab into the other required field: one report, and the focus comes back.
    QTest::keyClick(a->Widget(), Qt::Key_Tab);
    ASSERT_TRUE(WaitFor([&] { return !boxes.empty() && a->Focused(); }));
    Pump();
    EXPECT_TRUE(a->Focused());
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "A value is required in this field");
    EXPECT_EQ(a->LastError(), 258);

    // Once filled in, the field lets the focus go.
    QTest::keyClicks(a->Widget(), "7");
    Focus(other);
    Pump();
    EXPECT_EQ(boxes.size(), 1u);
    EXPECT_EQ(a->GetAsInteger(), 7);

    // A read-only required field is never reported as empty.
    b->SetOptions(b->GetOptions() + efoReadOnly);
    Focus(b);
    Focus(other);
    Pump();
    EXPECT_EQ(boxes.size(), 1u);
}

TEST_F(PictureFieldTest, SoftValidationKeepsTheFocusChangeAndColoursTheField) {
    a->SetDataType(pftInteger);
    a->SetRangeLo("0");
    a->SetRangeHi("10");
    a->SetOptions(a->GetOptions() + efoSoftValidation);
    Focus(a);
    QTest::keyClicks(a->Widget(), "50");
    Focus(other);
    Pump();
    EXPECT_TRUE(other->Focused());
    EXPECT_TRUE(boxes.empty());
    EXPECT_TRUE(a->ErrorState());
    EXPECT_EQ(a->LastError(), 256);

    // Without soft validation the same entry is reported and never coloured.
    b->SetDataType(pftInteger);
    b->SetRangeLo("0");
    b->SetRangeHi("10");
    Focus(b);
    QTest::keyClicks(b->Widget(), "50");
    other->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return !boxes.empty(); }));
    EXPECT_EQ(boxes[0], "Value is not within required range");
    EXPECT_FALSE(b->ErrorState());
    EXPECT_TRUE(WaitFor([&] { return b->Focused(); }));
}

TEST_F(PictureFieldTest, UserCodesSpecialControlsAndTextsOfTheReport) {
    a->SetDataType(pftInteger);
    uint16_t userCode = 0;
    a->OnUserValidation = [&](TObject*, uint16_t& code) {
        if (code == 0) code = userCode;
    };
    struct Row {
        uint16_t code;
        const char* expected;
    };
    controller->ErrorText = "";
    const Row rows[] = {
        {40000, "Payment exceeds the loan"}, {300, "Entry Error"}, {261, "This field should contain no blanks"}};
    for (const Row& row : rows) {
        boxes.clear();
        userCode = row.code;
        Focus(a);
        controller->ErrorText = "Payment exceeds the loan";
        other->SetFocus();
        ASSERT_TRUE(WaitFor([&] { return !boxes.empty() && a->Focused(); })) << row.code;
        EXPECT_EQ(boxes[0], row.expected);
    }

    // A special control takes the focus without the check.
    boxes.clear();
    controller->OnIsSpecialControl = [&](TObject*, TWinControl* c, bool& special) { special = c == other; };
    Focus(other);
    Pump();
    EXPECT_TRUE(other->Focused());
    EXPECT_TRUE(boxes.empty());
}

TEST_F(PictureFieldTest, OnExitRunsOnceAndBeforeTheCheckAndItsReport) {
    a->SetDataType(pftInteger);
    a->SetRangeLo("0");
    a->SetRangeHi("10");
    std::vector<std::string> order;
    a->OnExit = [&](TObject*) { order.push_back("exit " + std::to_string(a->GetAsInteger())); };
    a->OnError = [&](TObject*, uint16_t code, const std::string& text) {
        order.push_back("error " + std::to_string(code) + " " + text);
    };
    Focus(a);
    QTest::keyClicks(a->Widget(), "5");
    Focus(other);
    Pump();
    EXPECT_EQ(order, (std::vector<std::string>{"exit 5"}));

    order.clear();
    Focus(a);  // selects the whole text, which the typing replaces
    QTest::keyClicks(a->Widget(), "95");
    other->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return order.size() >= 2 && a->Focused(); }));
    Pump();
    // The calculation behind OnExit reads the field (and sees the error) before the report.
    ASSERT_EQ(order.size(), 2u);
    EXPECT_EQ(order[0], "exit 0");
    EXPECT_EQ(order[1], "error 256 Value is not within required range");
    EXPECT_TRUE(boxes.empty()) << "the field's own OnError replaces the message box";
}

TEST_F(PictureFieldTest, AFailingOnExitStillEndsTheEdit) {
    a->SetDataType(pftInteger);
    a->OnExit = [](TObject*) { throw Exception("calculation failed"); };
    Focus(a);
    QTest::keyClicks(a->Widget(), "5");
    Focus(other);
    Pump();
    ASSERT_EQ(boxes.size(), 1u) << "the failure reaches the global handler";
    EXPECT_NE(boxes[0].find("calculation failed"), std::string::npos);
    EXPECT_FALSE(a->Editing());
    EXPECT_EQ(a->GetCaretPos(), 0) << "the caret went back to the start, as on any exit";
    a->OnExit = nullptr;
    Focus(a);
    EXPECT_TRUE(a->Editing());
    EXPECT_EQ(a->GetAsInteger(), 5);
}

TEST_F(PictureFieldTest, ContextMenuItemStatesFollowSelectionReadOnlyAndClipboard) {
    a->SetDataType(pftLongInt);
    a->SetPictureMask("99999");
    a->SetAsInteger(42);
    std::vector<std::pair<std::string, bool>> items;
    std::string choose;
    SetPopupHook([&](TPopupMenu* menu, int, int) -> TMenuItem* {
        items.clear();
        TMenuItem* chosen = nullptr;
        for (int i = 0; i < menu->Items()->Count(); ++i) {
            TMenuItem* item = menu->Items()->Items(i);
            items.emplace_back(item->GetCaption(), item->GetEnabled());
            if (item->GetCaption() == choose) chosen = item;
        }
        return chosen;
    });
    auto enabled = [&](const std::string& caption) {
        for (auto& [c, e] : items)
            if (c == caption) return e;
        ADD_FAILURE() << "no item " << caption;
        return false;
    };
    auto rightClick = [&](TTestField* f) {
        QTest::mouseClick(f->Widget(), Qt::RightButton, Qt::NoModifier, QPoint(5, f->GetHeight() / 2));
        Pump();
    };

    clipboard = "7";
    Focus(a);  // the whole text is selected on entry
    rightClick(a);
    ASSERT_EQ(items.size(), 8u);
    EXPECT_EQ(items[0].first, "&Restore");
    EXPECT_EQ(items[1].first, "-");
    EXPECT_FALSE(enabled("&Restore")) << "nothing changed yet";
    EXPECT_TRUE(enabled("Cu&t"));
    EXPECT_TRUE(enabled("&Copy"));
    EXPECT_TRUE(enabled("&Paste"));
    EXPECT_TRUE(enabled("&Delete"));
    EXPECT_FALSE(enabled("Select &All")) << "all is selected already";

    // Choosing an item performs its command.
    choose = "&Delete";
    rightClick(a);
    EXPECT_EQ(Trimmed(a->Model().Text()), "");
    choose.clear();
    rightClick(a);
    EXPECT_TRUE(enabled("&Restore"));
    EXPECT_FALSE(enabled("&Copy"));
    choose = "&Restore";
    rightClick(a);
    EXPECT_EQ(Trimmed(a->Model().Text()), "42");
    choose.clear();

    // Read-only: copying still works, nothing that changes the text does.
    Focus(other);
    b->SetDataType(pftLongInt);
    b->SetAsInteger(5);
    b->SetOptions(b->GetOptions() + efoReadOnly);
    Focus(b);
    b->SelectAll();
    rightClick(b);
    EXPECT_TRUE(b->Focused());
    EXPECT_FALSE(enabled("Cu&t"));
    EXPECT_TRUE(enabled("&Copy"));
    EXPECT_FALSE(enabled("&Paste"));
    EXPECT_FALSE(enabled("&Delete"));
    beeps = 0;
    Key(b, Qt::Key_Delete);
    EXPECT_EQ(Trimmed(b->Model().Text()), "5");
}

const char* kDefinition = R"(object frmTest: TForm
  Left = 0
  Top = 0
  Width = 400
  Height = 200
  object EntController1: TEntController
    Epoch = 1900
  end
  object edtLoan: TEntPictureField
    Left = 10
    Top = 10
    Width = 120
    Height = 22
    Controller = EntController1
    DataType = pftDouble
    PictureMask = '$#,###,###,###.##'
    MaxLength = 17
    Color = clWhite
    TabOrder = 0
    OnExit = CalcLoan
    OnChange = LoanChanged
    RangeHigh = {00000000000024F41240}
    RangeLow = {00000000000000000000}
  end
  object edtTerm: TEntPictureField
    Left = 10
    Top = 40
    Width = 120
    Height = 22
    Controller = EntController1
    DataType = pftInteger
    PictureMask = 'iiiiii'
    MaxLength = 6
    Options = [efoCaretToEnd, efoRightJustify]
    Color = clYellow
    TabOrder = 1
    TabStop = False
    RangeHigh = {FF7F0000000000000000}
    RangeLow = {00000000000000000000}
  end
end
)";

TEST_F(PictureFieldTest, ValuesOfFieldsReadFromAWindowDefinition) {
    TForm root(nullptr);
    int exits = 0, changes = 0;
    THandlerTable handlers;
    handlers["CalcLoan"] = TNotifyEvent([&](TObject*) { ++exits; });
    handlers["LoanChanged"] = TNotifyEvent([&](TObject*) { ++changes; });
    ReadComponentFromText(&root, kDefinition, handlers);
    auto* loan = dynamic_cast<TEntPictureField*>(root.FindComponent("edtLoan"));
    auto* term = dynamic_cast<TEntPictureField*>(root.FindComponent("edtTerm"));
    ASSERT_TRUE(loan && term);
    EXPECT_EQ(loan->GetMaxLength(), 17);
    EXPECT_EQ(loan->GetColor(), clWhite);
    EXPECT_EQ(term->GetRangeHi(), "32767");
    EXPECT_EQ(term->GetRangeLo(), "0");
    EXPECT_EQ(std::stod(loan->GetRangeHi()), 1e6);
    EXPECT_EQ(std::stod(loan->GetRangeLo()), 0);
    EXPECT_FALSE(term->GetTabStop());
    EXPECT_TRUE(term->GetOptions().Contains(efoRightJustify));

    root.Show();
    Pump();
    loan->SetAsFloat(1234.5);
    EXPECT_DOUBLE_EQ(loan->GetAsFloat(), 1234.5);
    EXPECT_EQ(loan->LastError(), 0);
    EXPECT_FALSE(loan->GetOptions().Contains(efoTrimBlanks)) << "numeric fields drop it once read";
    EXPECT_EQ(loan->GetAsString(), "        $1,234.50") << "the text as shown, leading blanks kept";
    EXPECT_EQ(changes, 0) << "values put by code never fire OnChange";
    EXPECT_THROW(loan->GetAsInteger(), EInvalidDataType);
    term->SetAsInteger(360);
    EXPECT_EQ(term->GetAsInteger(), 360);
    EXPECT_DOUBLE_EQ(term->GetAsFloat(), 360);
    EXPECT_THROW(term->SetAsFloat(1.5), EInvalidDataType);
    EXPECT_EQ(exits, 0);

    // The stored range holds for what the user types.
    term->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return term->Focused(); }));
    loan->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return loan->Focused(); }));
    exits = 0;
    QTest::keyClicks(loan->Widget(), "2000000");
    EXPECT_GT(changes, 0);
    term->SetFocus();
    ASSERT_TRUE(WaitFor([&] { return !boxes.empty() && loan->Focused(); }));
    EXPECT_EQ(boxes[0], "Value is not within required range");
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(loan->GetAsFloat(), 0);
    EXPECT_EQ(loan->LastError(), 256);
}

}  // namespace

// Regional settings the fields must all work under: the separators people
// use, a currency of several bytes and a blank separator among them.
struct LocaleRow {
    const char* thousand;
    const char* decimal;
    const char* currency;
    const char* shown;  // 1234.5 as the field shows it after leaving
};

TEST_F(PictureFieldTest, MoneyFieldsTakeTypedAmountsUnderEveryRegionalSetting) {
    const LocaleRow rows[] = {
        {",", ".", "$", "$1,234.50"},
        {".", ",", "\u20AC", "\u20AC1.234,50"},
        {" ", ",", "kr", "k1 234,50"},  // one "$" position takes one character
        {"\u00A0", ",", "\u20AC", "\u20AC1\u00A0234,50"},
        {"'", ".", "\u00A3", "\u00A31'234.50"},
    };
    for (const LocaleRow& row : rows) {
        TEntIntlProfile p = USIntlProfile();
        p.Intl = {{"sThousand", row.thousand}, {"sDecimal", row.decimal}, {"sCurrency", row.currency}};
        LoadEntIntlSup(p);
        a->SetDataType(pftDouble);
        a->SetPictureMask("$#,###,###,###.##");
        a->SetAsFloat(0);
        Focus(a);
        QTest::keyClicks(a->Widget(), (std::string("1234") + row.decimal + "5").c_str());
        Focus(other);
        EXPECT_DOUBLE_EQ(a->GetAsFloat(), 1234.5) << row.thousand;
        EXPECT_EQ(Trimmed(a->GetAsString()), row.shown);

        // One digit, and a field cleared before leaving.
        Focus(a);
        QTest::keyClicks(a->Widget(), "7");
        Key(a, Qt::Key_Tab);
        ASSERT_TRUE(WaitFor([&] { return !a->Focused(); })) << row.thousand;
        EXPECT_DOUBLE_EQ(a->GetAsFloat(), 7) << row.thousand;
        Focus(a);
        Key(a, Qt::Key_Home);
        Key(a, Qt::Key_End, Qt::ShiftModifier);
        Key(a, Qt::Key_Delete);
        Focus(other);
        Pump();
        EXPECT_DOUBLE_EQ(a->GetAsFloat(), 0) << row.thousand;
        EXPECT_EQ(a->LastError(), 0);
        EXPECT_TRUE(boxes.empty()) << row.thousand << ": " << (boxes.empty() ? "" : boxes[0]);
        boxes.clear();
    }
    LoadEntIntlSup(USIntlProfile());
}

// A box the way the user meets it: a modal window of its own that takes the
// focus while it is shown.
int ModalBox(std::vector<std::string>& boxes, const std::string& text) {
    boxes.push_back(text);
    QWidget* owner = QApplication::activeWindow();
    QDialog box(owner);
    box.setWindowTitle("Error");
    QTimer::singleShot(30, &box, &QDialog::accept);
    box.exec();
    // The window manager gives the activation back to the owner.
    if (owner) owner->activateWindow();
    return IDOK;
}

TEST_F(PictureFieldTest, ARangeErrorShowsOneBoxWhateverControlComesNext) {
    // The program's own boxes, answered as a person would.
    InstallWindowDialogs();
    SetMessageBoxHook(nullptr);
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            boxes.push_back(box->text().toStdString());
            box->accept();
            // The window manager hands the activation back to the form.
            QTimer::singleShot(0, [this] { form->Widget()->activateWindow(); });
        }
    });
    closer.start(20);
    a->SetDataType(pftInteger);
    a->SetRangeLo("0");
    a->SetRangeHi("10");
    auto* numeric = new TFnpNumericEdit(form.get());
    numeric->SetParent(form.get());
    numeric->SetBounds(10, 160, 120, 24);
    auto* notebook = new TEntNotebook(form.get());
    notebook->SetParent(form.get());
    notebook->SetBounds(200, 90, 150, 100);
    for (TWinControl* next : std::initializer_list<TWinControl*>{b, numeric, notebook, other}) {
        a->SetTabOrder(0);
        next->SetTabOrder(1);
        Focus(a);
        QTest::keyClicks(a->Widget(), "50");
        Key(a, Qt::Key_Tab);
        ASSERT_TRUE(WaitFor([&] { return !boxes.empty(); })) << next->GetName();
        QTest::qWait(150);
        EXPECT_EQ(boxes.size(), 1u) << "next: " << next->ClassName();
        EXPECT_TRUE(a->Focused());
        boxes.clear();
        a->SetAsInteger(5);
        Focus(other);
    }
    SetDefaultMessageBoxHook(nullptr);
}

TEST_F(PictureFieldTest, AClickIntoAMoneyFieldSelectsItAndLaterClicksFindTheDigitUnderTheMouse) {
    a->SetDataType(pftDouble);
    a->SetPictureMask("$#,###,###,###.##");
    a->SetAsFloat(1234.5);
    const int y = a->GetHeight() / 2;
    const std::string shown = a->Model().Text();
    const int four = int(shown.find('4'));
    QTest::mouseClick(a->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(a->XOfChar(four), y));
    ASSERT_TRUE(WaitFor([&] { return a->Focused(); }));
    QTest::keyClicks(a->Widget(), "7");
    Focus(other);
    EXPECT_DOUBLE_EQ(a->GetAsFloat(), 7) << "typing replaced the whole selected amount";

    a->SetAsFloat(1234.5);
    // Clicking once the field is edited: the currency and separator leave
    // the text first, and the click finds its digit in that text. Where the
    // "4" then stands is measured on a twin field cleaned by a key.
    b->SetDataType(pftDouble);
    b->SetPictureMask("$#,###,###,###.##");
    b->SetAsFloat(1234.5);
    Focus(b);
    Key(b, Qt::Key_End);
    ASSERT_EQ(b->Model().Text()[four], '4');
    const int x = b->XOfChar(four);
    Focus(a);
    QTest::mouseClick(a->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(x, y));
    EXPECT_EQ(a->Model().Text()[a->GetCaretPos()], '4') << a->Model().Text();
}

TEST_F(PictureFieldTest, ContextMenuItemsChosenInTheRealMenuPerformTheirCommands) {
    a->SetDataType(pftLongInt);
    a->SetPictureMask("99999");
    a->SetAsInteger(42);
    // Chooses the item with the given caption in the menu once it is shown,
    // with the keys a person would use.
    std::string choose;
    QTimer chooser;
    QObject::connect(&chooser, &QTimer::timeout, [&] {
        auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!menu || choose.empty()) return;
        for (QAction* act : menu->actions())
            if (act->text().toStdString() == choose) {
                menu->setActiveAction(act);
                QTest::keyClick(menu, Qt::Key_Return);
                choose.clear();
                return;
            }
    });
    chooser.start(10);
    auto menuChoice = [&](const std::string& caption) {
        choose = caption;
        QTest::mouseClick(a->Widget(), Qt::RightButton, Qt::NoModifier, QPoint(5, a->GetHeight() / 2));
        ASSERT_TRUE(WaitFor([&] { return choose.empty() && !QApplication::activePopupWidget(); })) << caption;
        Pump();
    };

    Focus(a);  // selects all
    QTest::keyClicks(a->Widget(), "7");
    ASSERT_EQ(Trimmed(a->Model().Text()), "7");
    menuChoice("&Restore");
    EXPECT_EQ(Trimmed(a->Model().Text()), "42");

    Key(a, Qt::Key_End);
    menuChoice("Select &All");
    EXPECT_EQ(a->GetSelStart(), 0);
    EXPECT_EQ(a->GetSelEnd(), 5);

    clipboard.clear();
    menuChoice("&Copy");
    EXPECT_EQ(Trimmed(clipboard), "42");
    chooser.stop();
}
