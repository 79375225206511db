#include <gtest/gtest.h>

#include "SysUtils.h"
#include "entcmd.h"
#include "entintl.h"
#include "entpfedit.h"

namespace {

struct PictureEditorTest : ::testing::Test {
    void SetUp() override { FormatSettings = USFormatSettings(); }
    TEntIntlSup intl{USIntlProfile()};
    TEntPictureFieldModel m{intl};
    TEntPictureEditor e{m};

    void Make(TPictureDataType type, const std::string& mask) {
        m.SetDataType(type);
        m.SetPictureMask(mask);
        m.PrepareWindow();
        m.InitBlankValue();
    }
    // Focus on the field with the given text, caret and selection.
    void Start(const std::string& text, int selStart, int selEnd) {
        e.BeginEdit(false, false, false, true);
        m.SetText(text);
        e.SetSelection(selStart, selEnd);
    }
    // The keys a user types, one character each.
    void Keys(const std::string& keys) {
        for (char c : keys) e.TypeChar(c);
    }
};

struct CommandRow {
    const char* text;
    int selStart, selEnd;  // equal: the caret, no selection
    uint16_t command;
    const char* after;
    int caret;
};

}  // namespace

TEST_F(PictureEditorTest, CommandsEditWithinSegments) {
    const CommandRow rows[] = {
        {"abc-de ", 1, 1, ccBack, "bc -de ", 0},
        {"abc-de ", 0, 0, ccBack, "abc-de ", 0},  // at the first position: nothing
        {"abc-de ", 4, 4, ccBack, "ab -de ", 2},  // over the literal into the first segment
        {"abc-de ", 6, 6, ccDel, "abc-de ", 6},   // at the end of the text: nothing
        {"abc-de ", 1, 1, ccDel, "ac -de ", 1},
        {"abc-de ", 1, 5, ccDel, "a  -e  ", 1},  // a selection over both segments
        {"abc-de ", 1, 1, ccDelEol, "a  -   ", 1},
        {"abc-de ", 5, 5, ccDelBol, "   -e  ", 0},
        {"abc-de ", 5, 5, ccDelLine, "   -   ", 0},
        {"ab -cde", 0, 0, ccDelWord, "   -cde", 0},
        {"abc-de ", 2, 2, ccRight, "abc-de ", 4},  // literals are passed over
        {"abc-de ", 4, 4, ccLeft, "abc-de ", 2},
        {"abc-de ", 0, 0, ccEnd, "abc-de ", 6},
        {"abc-de ", 5, 5, ccHome, "abc-de ", 0},
        {"ab -cd ", 0, 0, ccWordRight, "ab -cd ", 4},
        {"ab -cd ", 5, 5, ccWordLeft, "ab -cd ", 4},
        {"abc-de ", 1, 4, ccCut, "a  -de ", 1},
    };
    Make(pftString, "XXX-XXX");
    for (const auto& r : rows) {
        Start(r.text, r.selStart, r.selEnd);
        e.Execute(r.command);
        EXPECT_EQ(m.Text(), r.after) << r.text << " cmd " << r.command;
        EXPECT_EQ(e.Caret(), r.caret) << r.text << " cmd " << r.command;
        EXPECT_FALSE(e.HasSelection()) << r.command;
    }
}

TEST_F(PictureEditorTest, ExtendCommandsSelectFromTheAnchor) {
    Make(pftString, "XXX-XXX");
    Start("abc-de ", 2, 2);
    e.Execute(ccExtendLeft);
    e.Execute(ccExtendLeft);
    EXPECT_EQ(e.SelectedText(), "ab");
    e.Execute(ccExtendRight);
    EXPECT_EQ(e.SelectedText(), "b");
    e.Execute(ccExtendEnd);
    EXPECT_EQ(e.SelectedText(), "c-de");
    e.Execute(ccExtendHome);
    EXPECT_EQ(e.SelectedText(), "ab");
    e.Execute(ccRight);
    EXPECT_FALSE(e.HasSelection());
}

struct TypeRow {
    const char* text;
    int caret;
    bool insert;
    char key;
    const char* after;
    int caretAfter;
    bool beep;
};

TEST_F(PictureEditorTest, TypedCharactersFollowTheMask) {
    const TypeRow rows[] = {
        {"12   ", 2, true, '3', "123  ", 3, false},  {"12   ", 0, true, '9', "912  ", 1, false},
        {"12345", 1, false, '9', "19345", 2, false},  // overtype
        {"12   ", 2, true, 'a', "12   ", 2, true},    // refused by "9"
        {"12345", 5, true, '6', "12345", 5, true},    // past the last position
    };
    Make(pftLongInt, "99999");
    for (const auto& r : rows) {
        Start(r.text, r.caret, r.caret);
        e.InsertMode = r.insert;
        const TEntEditResult res = e.TypeChar(r.key);
        EXPECT_EQ(m.Text(), r.after) << r.text << " '" << r.key << "'";
        EXPECT_EQ(e.Caret(), r.caretAfter) << r.text << " '" << r.key << "'";
        EXPECT_EQ(res.Beep, r.beep) << r.text << " '" << r.key << "'";
        EXPECT_EQ(res.TextChanged, std::string(r.text) != r.after);
    }
}

TEST_F(PictureEditorTest, InsertIntoFullSegmentPushesOnlyWhenAllowed) {
    Make(pftLongInt, "99999");
    Start("12345", 0, 0);
    e.Settings.InsertPushes = false;
    EXPECT_TRUE(e.TypeChar('9').Beep);
    EXPECT_EQ(m.Text(), "12345");
    e.Settings.InsertPushes = true;
    e.TypeChar('9');
    EXPECT_EQ(m.Text(), "91234");
}

TEST_F(PictureEditorTest, TypingPastTheEndAdvancesWhenAsked) {
    Make(pftLongInt, "99");
    e.Settings.AutoAdvanceChar = true;
    Start("1 ", 1, 1);
    EXPECT_EQ(e.TypeChar('2').Advance, adNext);
    EXPECT_EQ(m.Text(), "12");
    e.Settings.AutoAdvanceLeftRight = true;
    e.SetSelection(0, 0);
    EXPECT_EQ(e.Execute(ccLeft).Advance, adPrevious);
}

TEST_F(PictureEditorTest, PasteStopsAtTheFirstRefusedCharacter) {
    Make(pftLongInt, "99999");
    Start("     ", 0, 0);
    e.Paste("12a3");
    EXPECT_EQ(m.Text(), "12   ");
    EXPECT_EQ(e.Caret(), 2);

    Make(pftString, "(999) 999-9999");
    Start("(   )    -    ", 1, 1);
    e.Paste("(555) 123-4567");
    EXPECT_EQ(m.Text(), "(555) 123-4567");
}

TEST_F(PictureEditorTest, TypingMoneyLaysTheDigitsAtThePoint) {
    Make(pftDouble, "$#,###,###,###.##");
    e.BeginEdit(false, false, false, true);
    Keys("1234.5");
    e.AlignOnExit();
    EXPECT_DOUBLE_EQ(m.GetAsFloat(), 1234.5);
    e.EndEdit(false);
    EXPECT_EQ(m.Text(), "        $1,234.50");
}

TEST_F(PictureEditorTest, PastedMoneyTextKeepsItsDigits) {
    Make(pftDouble, "$#,###,###,###.##");
    e.BeginEdit(false, false, false, true);
    e.Paste("$1,234.56");
    e.AlignOnExit();
    e.EndEdit(false);
    EXPECT_EQ(m.Text(), "        $1,234.56");
}

TEST_F(PictureEditorTest, TypingARateOverTheSelectedText) {
    Make(pftDouble, "###.####%");
    m.SetAsFloat(0);
    e.BeginEdit(false, false, false, true);
    EXPECT_EQ(e.SelectedText(), "  0.0000%");
    Keys("8.75");
    EXPECT_EQ(m.Text(), "  8.7500%");
    EXPECT_TRUE(e.Modified);
    EXPECT_DOUBLE_EQ(m.GetAsFloat(), 8.75);
}

TEST_F(PictureEditorTest, CrossingThePointAlignsTheDigits) {
    Make(pftDouble, "###.##");
    Start("1  .  ", 1, 1);
    e.Execute(ccRight);  // 1 -> 2
    e.Execute(ccRight);  // 2 -> 4, over the point
    EXPECT_EQ(m.Text(), "  1.00");
    EXPECT_EQ(e.Caret(), 4);
}

TEST_F(PictureEditorTest, ArrowsStepAndWrapAtTheRangeEnds) {
    Make(pftInteger, "iiiiii");
    m.SetOptions(m.GetOptions() + efoArrowIncDec);
    m.SetAsInteger(32767);
    e.BeginEdit(false, false, false, true);
    EXPECT_TRUE(e.Execute(ccUp).TextChanged);
    EXPECT_EQ(m.GetAsInteger(), -32768);
    EXPECT_FALSE(e.HasSelection());
    e.Execute(ccDown);
    EXPECT_EQ(m.GetAsInteger(), 32767);
    e.Execute(ccDec);
    EXPECT_EQ(m.GetAsInteger(), 32766);

    m.SetOptions(m.GetOptions() + efoReadOnly);  // arrows move, do not step
    e.Execute(ccUp);
    EXPECT_EQ(m.GetAsInteger(), 32766);
}

TEST_F(PictureEditorTest, ReadOnlyFieldRefusesEditsButMovesAndCopies) {
    Make(pftDouble, "###.##");
    m.SetAsFloat(12.5);
    m.SetOptions(m.GetOptions() + efoReadOnly);
    e.BeginEdit(false, false, false, true);
    const std::string before = m.Text();
    for (uint16_t cmd : {ccBack, ccDel, ccDelLine, ccInc, ccCut, ccPaste, ccRestore})
        EXPECT_TRUE(e.Execute(cmd).Beep) << cmd;
    EXPECT_TRUE(e.TypeChar('1').Beep);
    EXPECT_TRUE(e.Paste("1").Beep);
    EXPECT_EQ(m.Text(), before);
    e.SelectAll();
    const TEntEditMenuState menu = e.MenuState(true);
    EXPECT_FALSE(menu.Cut);
    EXPECT_FALSE(menu.Paste);
    EXPECT_FALSE(menu.Delete);
    EXPECT_TRUE(menu.Copy);
    EXPECT_FALSE(menu.SelectAll);
    EXPECT_EQ(e.SelectedText(), before);
    e.Execute(ccHome);
    EXPECT_EQ(e.Caret(), 0);
}

TEST_F(PictureEditorTest, RestoreReturnsToTheTextOfTheFocusGain) {
    Make(pftDouble, "###.####%");
    m.SetAsFloat(1234.5);  // shown as the overflow marker
    e.BeginEdit(false, false, false, true);
    Keys("5");
    EXPECT_EQ(m.Text(), "5  .    %");
    EXPECT_TRUE(e.MenuState(false).Restore);
    const TEntEditResult r = e.Execute(ccUndo);
    EXPECT_TRUE(r.TextChanged);
    EXPECT_FALSE(e.Modified);
    EXPECT_EQ(m.Text(), "***.****%");
    EXPECT_DOUBLE_EQ(m.GetAsFloat(), 1234.5);  // the held value comes back with the marker
}

// Moving through a result field that shows the overflow marker must not
// turn the marker into digits or lose the value behind it.
TEST_F(PictureEditorTest, OverflowMarkerSurvivesCaretMovesAndFocusPasses) {
    Make(pftDouble, "$#,###.##");
    m.SetAsFloat(-98765.4);
    m.SetOptions(m.GetOptions() + efoReadOnly);
    e.BeginEdit(false, false, false, true);
    for (uint16_t cmd : {ccHome, ccRight, ccRight, ccRight, ccRight, ccRight, ccRight, ccEnd, ccLeft}) e.Execute(cmd);
    e.AlignOnExit();
    e.EndEdit(false);
    EXPECT_EQ(m.Text(), "******.**");
    EXPECT_DOUBLE_EQ(m.GetAsFloat(), -98765.4);
}

TEST_F(PictureEditorTest, ValuesPutByCodeAreNoUserChange) {
    Make(pftDouble, "###.##");
    e.BeginEdit(false, false, false, true);
    Keys("7");
    EXPECT_TRUE(e.Modified);
    m.SetAsFloat(5);
    EXPECT_FALSE(e.Modified);
    EXPECT_EQ(e.SelectedText(), "  5.00");  // a put while focused selects all
}

TEST_F(PictureEditorTest, CharacterFieldsEditTheirOnePosition) {
    Make(pftBoolean, "B");
    e.BeginEdit(false, false, false, true);
    EXPECT_TRUE(e.TypeChar('x').Beep);
    e.TypeChar('f');
    EXPECT_EQ(m.Text(), "F");
    e.Execute(ccInc);
    EXPECT_EQ(m.Text(), "T");
    e.Execute(ccExtendRight);
    EXPECT_EQ(e.SelectedText(), "T");
    e.Execute(ccExtendRight);
    EXPECT_FALSE(e.HasSelection());

    Make(pftChar, "X");
    m.SetRangeLo("A");
    m.SetRangeHi("C");
    m.SetAsString("C");
    e.BeginEdit(false, false, false, true);
    e.Execute(ccInc);
    EXPECT_EQ(m.Text(), "A");
    e.Paste("\tzB");
    EXPECT_EQ(m.Text(), "\t");  // "X" takes any character: the first one wins
}

TEST_F(PictureEditorTest, DateSeparatorMovesToTheNextSegment) {
    Make(pftDate, intl.InternationalDate(false));  // "MM/dd/yy"
    e.BeginEdit(false, false, false, true);
    e.SetSelection(0, 0);
    Keys("3/");
    EXPECT_EQ(e.Caret(), 3);
    Keys("15/24");
    TEntFieldValue v;
    EXPECT_EQ(m.GetValue(v), 0);
    EXPECT_EQ(v.Int, DMYtoStDate(15, 3, 2024, 0));
}

TEST_F(PictureEditorTest, SelectionMessageAndMouse) {
    Make(pftString, "XXXXXXXX");
    Start("ab cd   ", 0, 0);
    e.SetSelection(0, 65535);
    EXPECT_EQ(e.SelectedText(), "ab cd   ");
    e.SetSelection(65535, 0);
    EXPECT_FALSE(e.HasSelection());
    e.Click(7, false);  // beyond the end of the text
    EXPECT_EQ(e.Caret(), 5);
    e.Click(1, true);
    EXPECT_EQ(e.SelectedText(), "b cd");
    e.DoubleClick(4);
    EXPECT_EQ(e.SelectedText(), "cd");
}

// A mask of literals only has no position to type at: Backspace keeps the
// caret in the text, and a paste after it neither reads before the text nor
// changes it.
TEST_F(PictureEditorTest, AMaskWithNothingToTypeKeepsTheCaretInsideTheText) {
    Make(pftString, "--/--");
    Start("--/--", 3, 3);
    e.Execute(ccBack);
    EXPECT_GE(e.Caret(), 0);
    e.Paste("-x");
    EXPECT_EQ(m.Text(), "--/--");
    EXPECT_GE(e.Caret(), 0);
}
