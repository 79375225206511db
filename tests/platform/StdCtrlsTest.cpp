// Standard controls: the edit model, the edit's key path, buttons, check boxes,
// radio buttons, labels and combo boxes.

#include "StdCtrls.h"
#include "Dialogs.h"
#include "Forms.h"
#include "Menus.h"
#include "GuiTestApp.h"

#include <QAbstractItemView>
#include <QComboBox>
#include <QCoreApplication>
#include <QImage>
#include <QInputMethodEvent>
#include <QLineEdit>
#include <QTest>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class StdCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        Form = new TForm(nullptr);
        Form->SetClientSize(300, 200);
        std::string* clip = &ClipText;
        OldClipboard = SetClipboardHook(
            {[clip] { return *clip; }, [clip](const std::string& s) { *clip = s; }, [clip] { return !clip->empty(); }});
    }
    void TearDown() override {
        delete Form;
        SetClipboardHook(OldClipboard);
        SetInputState({});
    }
    void Type(TWinControl* c, const std::string& chars) {
        for (char ch : chars) c->Perform(WM_CHAR, WPARAM(ch), 0);
    }
    void Key(TWinControl* c, Word vk, TShiftState shift = {}) {
        SetInputState(shift);
        c->Perform(WM_KEYDOWN, vk, 0);
        SetInputState({});
    }
    TForm* Form = nullptr;
    std::string ClipText;
    TClipboardHook OldClipboard;
};

TEST(EditBufferTest, EditingRows) {
    struct Row {
        const char* name;
        std::string text;
        int selStart, selLength, maxLength;
        std::function<bool(TEditBuffer&)> op;
        std::string expected;
        int caret;
        bool changed;
    };
    const std::vector<Row> rows = {
        {"insert at caret", "abc", 1, 0, 0, [](TEditBuffer& b) { return b.ReplaceSel("X"); }, "aXbc", 2, true},
        {"replace selection", "abcdef", 1, 3, 0, [](TEditBuffer& b) { return b.ReplaceSel("Z"); }, "aZef", 2, true},
        {"max length cuts insert", "abc", 3, 0, 5, [](TEditBuffer& b) { return b.ReplaceSel("XYZ"); }, "abcXY", 5,
         true},
        {"full edit takes nothing", "abcde", 5, 0, 5, [](TEditBuffer& b) { return b.ReplaceSel("X"); }, "abcde", 5,
         false},
        {"selection makes room", "abcde", 0, 2, 5, [](TEditBuffer& b) { return b.ReplaceSel("XYZ"); }, "XYcde", 2,
         true},
        {"backspace at start", "abc", 0, 0, 0, [](TEditBuffer& b) { return b.Backspace(); }, "abc", 0, false},
        {"backspace", "abc", 2, 0, 0, [](TEditBuffer& b) { return b.Backspace(); }, "ac", 1, true},
        {"delete at end", "abc", 3, 0, 0, [](TEditBuffer& b) { return b.DeleteForward(); }, "abc", 3, false},
        {"delete selection", "abc", 0, 2, 0, [](TEditBuffer& b) { return b.DeleteForward(); }, "c", 0, true},
        {"characters, not bytes", "\xC3\xA4\xC3\xB6\xC3\xBC", 1, 1, 0, [](TEditBuffer& b) { return b.ReplaceSel(""); },
         "\xC3\xA4\xC3\xBC", 1, true},
    };
    for (const Row& r : rows) {
        TEditBuffer b;
        b.SetText(r.text);
        b.MaxLength = r.maxLength;
        b.SetSel(r.selStart, r.selLength);
        EXPECT_EQ(r.op(b), r.changed) << r.name;
        EXPECT_EQ(b.GetText(), r.expected) << r.name;
        EXPECT_EQ(b.Caret(), r.caret) << r.name;
    }
}

TEST(EditBufferTest, WordMovesSkipBlanks) {
    TEditBuffer b;
    b.SetText("one  two three");
    EXPECT_EQ(b.WordRight(0), 5);
    EXPECT_EQ(b.WordRight(5), 9);
    EXPECT_EQ(b.WordLeft(9), 5);
    EXPECT_EQ(b.WordLeft(4), 0);
}

TEST_F(StdCtrlsTest, EditTextSelectionAndMaxLength) {
    auto* e = new TEdit(Form);
    e->SetParent(Form);
    int changes = 0;
    e->OnChange = [&](TObject*) { ++changes; };
    e->SetText("hello world");
    EXPECT_EQ(changes, 1);
    EXPECT_FALSE(e->GetModified());

    e->Perform(EM_SETSEL, 6, 11);
    EXPECT_EQ(e->GetSelStart(), 6);
    EXPECT_EQ(e->GetSelLength(), 5);
    EXPECT_EQ(e->GetSelText(), "world");
    e->SetSelText("there");
    EXPECT_EQ(e->GetText(), "hello there");

    e->SetText("");
    e->SetMaxLength(4);
    Type(e, "abcdef");
    EXPECT_EQ(e->GetText(), "abcd");
    EXPECT_TRUE(e->GetModified());
    EXPECT_EQ(e->Perform(EM_GETMODIFY), 1);

    // Shift+Home selects back to the start; the clipboard keys work on the selection.
    Key(e, VK_HOME, {ssShift});
    EXPECT_EQ(e->GetSelLength(), 4);
    Type(e, "\x03");  // Ctrl+C
    EXPECT_EQ(ClipText, "abcd");
    Key(e, VK_END);
    Type(e, "\x08");
    EXPECT_EQ(e->GetText(), "abc");
    Type(e, "\x1A");  // Ctrl+Z
    EXPECT_EQ(e->GetText(), "abcd");
}

TEST_F(StdCtrlsTest, ReadOnlyEditRefusesChangesButCopies) {
    auto* e = new TEdit(Form);
    e->SetParent(Form);
    e->SetText("fixed");
    e->SetReadOnly(true);
    e->SelectAll();
    Type(e, "x\x08");
    Key(e, VK_DELETE);
    e->Perform(WM_PASTE);
    EXPECT_EQ(e->GetText(), "fixed");
    e->Perform(WM_COPY);
    EXPECT_EQ(ClipText, "fixed");
}

// An edit that takes digits only and eats Delete, as numeric edits do.
class DigitEdit : public TCustomEdit {
public:
    using TCustomEdit::TCustomEdit;
    std::vector<std::string> Seen;

protected:
    void KeyDown(Word& Key, TShiftState Shift) override {
        Seen.push_back("down " + std::to_string(Key) + " text " + GetText());
        if (Key == VK_DELETE) Key = 0;
        TCustomEdit::KeyDown(Key, Shift);
    }
    void KeyPress(char32_t& Key) override {
        Seen.push_back("press " + CharToUtf8(Key) + " text " + GetText());
        if (Key >= 32 && (Key < '0' || Key > '9')) Key = 0;
        TCustomEdit::KeyPress(Key);
    }
};

TEST_F(StdCtrlsTest, KeysReachOverridesBeforeTheEditActs) {
    auto* e = new DigitEdit(Form);
    e->SetParent(Form);
    Type(e, "1a2");
    EXPECT_EQ(e->GetText(), "12");
    Key(e, VK_HOME);
    Key(e, VK_DELETE);
    EXPECT_EQ(e->GetText(), "12");
    // Each key was seen before the text changed.
    ASSERT_GE(e->Seen.size(), 3u);
    EXPECT_EQ(e->Seen[0], "press 1 text ");
    EXPECT_EQ(e->Seen[2], "press 2 text 1");
}

TEST_F(StdCtrlsTest, QtKeyEventsTakeTheSamePath) {
    auto* e = new DigitEdit(Form);
    e->SetParent(Form);
    Form->Show();
    auto* le = qobject_cast<QLineEdit*>(e->Widget());
    ASSERT_NE(le, nullptr);
    QTest::keyClicks(le, "4x5");
    EXPECT_EQ(e->GetText(), "45");
    EXPECT_EQ(le->text().toStdString(), "45");
    QTest::keyClick(le, Qt::Key_Left);
    QTest::keyClick(le, Qt::Key_Backspace);
    EXPECT_EQ(e->GetText(), "5");
    EXPECT_EQ(e->GetSelStart(), 0);
}

TEST_F(StdCtrlsTest, ChangeHandlerFailureFromAnInputMethodReachesOnException) {
    auto* e = new TEdit(Form);
    e->SetParent(Form);
    Form->Show();
    auto* le = qobject_cast<QLineEdit*>(e->Widget());
    ASSERT_NE(le, nullptr);
    e->OnChange = [](TObject*) { throw EConvertError("bad entry"); };
    std::vector<std::string> handled;
    Application->OnException = [&](TObject*, Exception& x) { handled.push_back(x.Message); };
    // Composed text reaches the widget without passing the layer's key handling.
    QInputMethodEvent commit;
    commit.setCommitString("7");
    EXPECT_NO_THROW(QCoreApplication::sendEvent(le, &commit));
    Application->OnException = nullptr;
    EXPECT_EQ(handled, std::vector<std::string>{"bad entry"});
    EXPECT_EQ(e->GetText(), "7");
}

TEST_F(StdCtrlsTest, EditWorksBeforeAndAfterItsWidget) {
    auto* e = new TEdit(Form);
    e->SetParent(Form);
    e->SetText("abcdef");
    e->SetSelStart(2);
    e->SetSelLength(3);
    auto* le = qobject_cast<QLineEdit*>(e->Widget());
    ASSERT_NE(le, nullptr);
    EXPECT_EQ(le->text().toStdString(), "abcdef");
    EXPECT_EQ(le->selectedText().toStdString(), "cde");
    // Changing the alignment remakes the window and keeps the selection.
    e->SetAlignment(taRightJustify);
    EXPECT_EQ(e->GetSelText(), "cde");
    le = qobject_cast<QLineEdit*>(e->Widget());
    EXPECT_EQ(le->selectedText().toStdString(), "cde");
    // So does changing the limit while the widget exists.
    e->SetMaxLength(10);
    EXPECT_EQ(e->GetSelStart(), 2);
    EXPECT_EQ(e->GetSelText(), "cde");
    EXPECT_EQ(le->selectedText().toStdString(), "cde");
}

TEST_F(StdCtrlsTest, ButtonSetsModalResultAndAnswersDialogKeys) {
    auto* ok = new TButton(Form);
    ok->SetParent(Form);
    ok->ModalResult = mrOk;
    ok->SetDefault(true);
    auto* cancel = new TButton(Form);
    cancel->SetParent(Form);
    cancel->ModalResult = mrCancel;
    cancel->SetCancel(true);
    int clicks = 0;
    ok->OnClick = [&](TObject*) { ++clicks; };

    ok->Click();
    EXPECT_EQ(Form->GetModalResult(), mrOk);
    EXPECT_EQ(clicks, 1);
    Form->SetModalResult(mrNone);
    EXPECT_NE(Form->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 0);
    EXPECT_EQ(Form->GetModalResult(), mrCancel);
    Form->SetModalResult(mrNone);
    EXPECT_NE(Form->Perform(CM_DIALOGKEY, VK_RETURN, 0), 0);
    EXPECT_EQ(Form->GetModalResult(), mrOk);
    EXPECT_EQ(clicks, 2);
}

TEST_F(StdCtrlsTest, ButtonAcceleratorClicks) {
    auto* b = new TButton(Form);
    b->SetParent(Form);
    b->SetCaption("&Save");
    int clicks = 0;
    b->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 's', 0), 0);
    EXPECT_EQ(clicks, 1);
}

TEST_F(StdCtrlsTest, CheckBoxAndRadioButtonsClickOnChangeOnly) {
    auto* cb = new TCheckBox(Form);
    cb->SetParent(Form);
    int cbClicks = 0;
    cb->OnClick = [&](TObject*) { ++cbClicks; };
    cb->SetChecked(true);
    cb->SetChecked(true);
    EXPECT_EQ(cbClicks, 1);
    EXPECT_EQ(cb->GetState(), cbChecked);

    auto* r1 = new TRadioButton(Form);
    auto* r2 = new TRadioButton(Form);
    r1->SetParent(Form);
    r2->SetParent(Form);
    int r2Clicks = 0;
    r2->OnClick = [&](TObject*) { ++r2Clicks; };
    r1->SetChecked(true);
    r2->SetChecked(true);
    EXPECT_FALSE(r1->GetChecked());
    EXPECT_TRUE(r2->GetChecked());
    EXPECT_TRUE(r2->GetTabStop());
    EXPECT_FALSE(r1->GetTabStop());
    r2->SetChecked(true);
    EXPECT_EQ(r2Clicks, 1);
}

TEST_F(StdCtrlsTest, LabelSizesToItsTextAndFocusesItsControl) {
    auto* edit = new TEdit(Form);
    edit->SetParent(Form);
    auto* label = new TLabel(Form);
    label->SetParent(Form);
    label->SetCaption("&Name");
    TCanvas c;
    c.SetFont(label->GetFont());
    EXPECT_EQ(label->GetWidth(), c.TextWidth("Name"));
    EXPECT_EQ(label->GetHeight(), c.TextHeight("Name"));
    // A right-aligned label keeps its right edge.
    label->SetLeft(100);
    label->SetAlignment(taRightJustify);
    int right = label->GetLeft() + label->GetWidth();
    label->SetCaption("Longer name");
    EXPECT_EQ(label->GetLeft() + label->GetWidth(), right);

    label->SetCaption("&Name");
    EXPECT_EQ(Form->Perform(CM_DIALOGCHAR, 'n', 0), 0) << "no FocusControl, no accelerator";
    label->SetFocusControl(edit);
    EXPECT_NE(Form->Perform(CM_DIALOGCHAR, 'n', 0), 0);
    delete edit;
    EXPECT_EQ(label->GetFocusControl(), nullptr);
}

TEST_F(StdCtrlsTest, ComboBoxIndexTextAndChange) {
    auto* cb = new TComboBox(Form);
    cb->SetParent(Form);
    int changes = 0;
    cb->OnChange = [&](TObject*) { ++changes; };
    cb->GetItems()->SetText("one\r\ntwo\r\nthree");
    cb->SetItemIndex(1);
    EXPECT_EQ(cb->GetText(), "two");
    EXPECT_EQ(changes, 0) << "setting ItemIndex in code raises no OnChange";
    cb->SetItemIndex(7);
    EXPECT_EQ(cb->GetItemIndex(), -1);

    cb->SetStyle(csDropDownList);
    cb->SetText("three");
    EXPECT_EQ(cb->GetItemIndex(), 2);
    cb->SetText("four");
    EXPECT_EQ(cb->GetItemIndex(), -1);
    EXPECT_EQ(cb->GetText(), "");

    cb->GetItems()->Delete(2);
    cb->SetItemIndex(1);
    cb->GetItems()->Delete(1);
    EXPECT_EQ(cb->GetItemIndex(), -1) << "the chosen item went away";
}

// An owner-drawn combo box draws its closed box's item and each item of its
// list itself, on a canvas set up for the item's state, one item height apart.
TEST_F(StdCtrlsTest, OwnerDrawnComboBoxDrawsItsItems) {
    auto* cb = new TComboBox(Form);
    cb->SetParent(Form);
    cb->SetBounds(10, 10, 200, 24);
    cb->SetStyle(csOwnerDrawFixed);
    cb->SetItemHeight(18);
    cb->GetItems()->SetText("alpha\r\nbeta\r\ngamma");
    cb->SetItemIndex(1);
    EXPECT_EQ(cb->GetText(), "beta");
    struct Drawn {
        int Index;
        TRect Rect;
        TOwnerDrawState State;
        TColor Brush;
    };
    std::vector<Drawn> drawn;
    cb->OnDrawItem = [&](TWinControl* c, int index, TRect rect, TOwnerDrawState state) {
        EXPECT_EQ(c, cb);
        drawn.push_back({index, rect, state, cb->GetCanvas()->GetBrush()->GetColor()});
        cb->GetCanvas()->FillRect(rect);
    };
    Form->Show();
    cb->Widget()->grab();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_EQ(drawn[0].Index, 1);
    EXPECT_TRUE(drawn[0].State.Contains(odComboBoxEdit));
    const TRect field = drawn[0].Rect;
    EXPECT_GT(field.Right - field.Left, 100) << "the item fills the box's text field";

    drawn.clear();
    cb->SetDroppedDown(true);
    auto* combo = qobject_cast<QComboBox*>(cb->Widget());
    QWidget* list = combo->view()->viewport();
    list->grab();
    cb->SetDroppedDown(false);
    ASSERT_EQ(drawn.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(drawn[size_t(i)].Index, i);
        EXPECT_FALSE(drawn[size_t(i)].State.Contains(odComboBoxEdit));
        EXPECT_EQ(drawn[size_t(i)].Rect.Bottom - drawn[size_t(i)].Rect.Top, 18);
        bool selected = drawn[size_t(i)].State.Contains(odSelected);
        EXPECT_EQ(selected, i == 1);
        EXPECT_EQ(drawn[size_t(i)].Brush, selected ? clHighlight : clWindow);
    }

    // Without a handler the item's text is drawn on the canvas's brush.
    cb->OnDrawItem = nullptr;
    QImage plain = cb->Widget()->grab().toImage();
    int ink = 0;
    for (int y = field.Top; y < field.Bottom; ++y)
        for (int x = field.Left; x < field.Right; ++x) ink += qGray(plain.pixel(x, y)) < 100;
    EXPECT_GT(ink, 10);
}

TEST_F(StdCtrlsTest, MemoLinesAndTextStayTogether) {
    auto* m = new TMemo(Form);
    m->SetParent(Form);
    int changes = 0;
    m->OnChange = [&](TObject*) { ++changes; };
    m->GetLines()->Add("first");
    m->GetLines()->Add("second");
    EXPECT_EQ(m->GetText(), "first\r\nsecond");
    EXPECT_EQ(changes, 2);
    m->SetText("a\r\nb\r\nc");
    EXPECT_EQ(m->GetLines()->Count(), 3);
    EXPECT_EQ(m->GetLines()->Get(2), "c");
    m->Widget();
    m->GetLines()->Put(1, "B");
    EXPECT_EQ(m->GetText(), "a\r\nB\r\nc");
}

}  // namespace

namespace {

TEST_F(StdCtrlsTest, MemoSelectionCountsLineBreaksAsTwoCharacters) {
    auto* m = new TMemo(Form);
    m->SetParent(Form);
    m->SetText("ab\r\ncd");
    m->SetSelStart(4);
    m->SetSelLength(2);
    EXPECT_EQ(m->GetSelText(), "cd");
    auto* te = m->Widget();
    ASSERT_NE(te, nullptr);
    // The widget selects the same characters, and its own moves come back the same way.
    m->SetSelStart(1);
    m->SetSelLength(4);
    EXPECT_EQ(m->GetSelText(), "b\r\nc");
    m->SetSelStart(6);
    m->SetSelText("!");
    EXPECT_EQ(m->GetText(), "ab\r\ncd!");
    EXPECT_EQ(m->GetSelStart(), 7);
}

TEST_F(StdCtrlsTest, PasswordEditKeepsItsText) {
    auto* e = new TEdit(Form);
    e->SetParent(Form);
    e->SetPasswordChar(U'*');
    Type(e, "pw");
    auto* le = qobject_cast<QLineEdit*>(e->Widget());
    ASSERT_NE(le, nullptr);
    EXPECT_EQ(le->echoMode(), QLineEdit::Password);
    EXPECT_EQ(le->displayText().toStdString(), "**");
    EXPECT_EQ(e->GetText(), "pw");
}

}  // namespace

namespace {

TEST_F(StdCtrlsTest, MouseClicksOnTheWidgetsClickOnce) {
    auto* b = new TButton(Form);
    b->SetParent(Form);
    auto* cb = new TCheckBox(Form);
    cb->SetParent(Form);
    cb->SetBounds(0, 40, 100, 20);
    cb->SetCaption("Check");
    Form->Show();
    int buttonClicks = 0, boxClicks = 0;
    b->OnClick = [&](TObject*) { ++buttonClicks; };
    cb->OnClick = [&](TObject*) { ++boxClicks; };
    QTest::mouseClick(b->Widget(), Qt::LeftButton);
    EXPECT_EQ(buttonClicks, 1);
    QTest::mouseClick(cb->Widget(), Qt::LeftButton, {}, QPoint(6, 10));
    EXPECT_EQ(boxClicks, 1);
    EXPECT_TRUE(cb->GetChecked());
    QTest::mouseClick(cb->Widget(), Qt::LeftButton, {}, QPoint(6, 10));
    EXPECT_FALSE(cb->GetChecked());
    EXPECT_EQ(boxClicks, 2);
}

}  // namespace

namespace {

TEST_F(StdCtrlsTest, StandardMenuSendsTheEditMessages) {
    auto* e = new TEdit(Form);
    e->SetParent(Form);
    e->SetText("menu text");
    e->Perform(EM_SETSEL, 0, 4);
    std::vector<std::string> offered;
    std::string choose = "Cu&t";
    TPopupHook old = SetPopupHook([&](TPopupMenu* menu, int, int) -> TMenuItem* {
        offered.clear();
        TMenuItem* pick = nullptr;
        for (int i = 0; i < menu->Items()->Count(); ++i) {
            TMenuItem* item = menu->Items()->Items(i);
            offered.push_back(item->GetCaption() + (item->GetEnabled() ? "" : " (off)"));
            if (item->GetCaption() == choose) pick = item;
        }
        return pick;
    });
    e->Perform(WM_CONTEXTMENU, 0, MakeLParam(-1, -1));
    EXPECT_EQ(offered, (std::vector<std::string>{"&Undo (off)", "-", "Cu&t", "&Copy", "&Paste (off)", "&Delete", "-",
                                                 "Select &All"}));
    EXPECT_EQ(ClipText, "menu");
    EXPECT_EQ(e->GetText(), " text");

    // A password edit keeps its text off the clipboard.
    e->SetPasswordChar(U'*');
    e->SelectAll();
    choose = "&Copy";
    e->Perform(WM_CONTEXTMENU, 0, MakeLParam(-1, -1));
    e->Perform(WM_COPY);
    e->Perform(WM_CUT);
    EXPECT_EQ(ClipText, "menu");
    EXPECT_EQ(e->GetText(), " text");
    SetPopupHook(old);
}

}  // namespace

namespace {

TEST_F(StdCtrlsTest, CharCaseAndAutoSelect) {
    auto* e = new TEdit(Form);
    e->SetParent(Form);
    e->SetCharCase(ecUpperCase);
    Type(e, "abc");
    EXPECT_EQ(e->GetText(), "ABC");
    e->SetCharCase(ecLowerCase);
    EXPECT_EQ(e->GetText(), "abc");
    e->SetSelStart(1);
    e->Perform(CM_ENTER);
    EXPECT_EQ(e->GetSelLength(), 3) << "entering by keyboard selects the text";
    e->AutoSelect = false;
    e->SetSelStart(1);
    e->Perform(CM_ENTER);
    EXPECT_EQ(e->GetSelLength(), 0);
}

}  // namespace
