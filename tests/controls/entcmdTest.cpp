#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>

#include "SysUtils.h"
#include "entcmd.h"
#include "entmsgs.h"

namespace {
constexpr uint8_t Ctrl = ssfCtrl, Shift = ssfShift, Alt = ssfAlt;

void UseWordStarOnly(TEntCommandProcessor& p) {
    p.GetTable("Default")->IsActive = false;
    p.GetTable("WordStar")->IsActive = true;
}
}  // namespace

TEST(EntCommandTables, BuiltInTablesAsListed) {
    TEntCommandProcessor p;
    ASSERT_EQ(p.TableCount(), 3);
    EXPECT_EQ(p.Tables(0)->TableName, "Default");
    EXPECT_EQ(p.Tables(1)->TableName, "WordStar");
    EXPECT_EQ(p.Tables(2)->TableName, "Grid");
    EXPECT_EQ(p.Tables(0)->Count(), 64);
    EXPECT_EQ(p.Tables(1)->Count(), 40);
    EXPECT_EQ(p.Tables(2)->Count(), 38);
    EXPECT_TRUE(p.Tables(0)->IsActive);
    EXPECT_FALSE(p.Tables(1)->IsActive);
    EXPECT_FALSE(p.Tables(2)->IsActive);
    for (int i = 17; i <= 30; ++i) {
        TEntCommandRec d = p.Tables(0)->GetCommandRec(i), g = p.Tables(2)->GetCommandRec(i - 3);
        EXPECT_EQ(d.Keys(), g.Keys());
        EXPECT_EQ(d.Cmd, g.Cmd);
    }
    EXPECT_EQ(p.TranslateKey(VK_LEFT, 0), ccLeft);
    EXPECT_EQ(p.TranslateKey(VK_LEFT, Ctrl | Shift), ccExtWordLeft);
    EXPECT_EQ(p.TranslateKey(VK_BACK, Alt), ccRestore);
    EXPECT_EQ(p.TranslateKey('5', Ctrl | Shift), ccSetMarker5);
    EXPECT_EQ(p.TranslateKey('A', 0), ccNoCmd);
    EXPECT_EQ(p.TranslateKey(Word(VK_RIGHT), TShiftState{ssCtrl, ssShift}), ccExtWordRight);
    EXPECT_THROW(p.AddCommandRec("Default", {VK_LEFT, 0, 0, 0, ccRight}), EDuplicateCommand);
    EXPECT_THROW(p.AddCommandRec("Nowhere", {1, 0, 0, 0, ccRight}), ETableNotFound);
}

TEST(EntCommandTables, WordStarTwoKeyCommands) {
    TEntCommandProcessor p;
    UseWordStarOnly(p);
    struct Step {
        uint16_t key;
        uint8_t shift;
        uint16_t expected;
    } steps[] = {
        {'Q', Ctrl, ccPartial},      {'D', 0, ccEnd},                // Ctrl+Q then D
        {'Q', Ctrl, ccPartial},      {'D', Ctrl, ccEnd},             // Ctrl+Q then Ctrl+D
        {'Q', Ctrl, ccPartial},      {'D', Alt, ccBadSequence},      // Ctrl+Q then Alt+D
        {'S', Ctrl, ccLeft},                                         // state back to idle
        {'Q', Ctrl, ccPartial},      {VK_CONTROL, Ctrl, ccPartial},  // Ctrl alone keeps it pending
        {VK_CAPITAL, 0, ccPartial},  {VK_SHIFT, Shift, ccPartial},
        {'Y', 0, ccDelEol},          {'K', Ctrl, ccPartial},
        {'3', 0, ccSetMarker3},      {'P', Ctrl, ccCtrlChar},
        {'S', Ctrl, ccNoCmd},        {'S', Ctrl, ccLeft},  // literal after Ctrl+P
        {VK_CONTROL, Ctrl, ccNoCmd},
    };
    int i = 0;
    for (const auto& s : steps) EXPECT_EQ(p.TranslateKey(s.key, s.shift), s.expected) << "step " << i++;
}

TEST(EntCommandTables, UniqueNamesWhenAdding) {
    TEntCommandProcessor p;
    EXPECT_EQ(p.Tables(p.AddTable("Default", true))->TableName, "Default1");
    EXPECT_EQ(p.Tables(p.AddTable("default", true))->TableName, "default2");
    EXPECT_EQ(p.Tables(p.AddTable("Grid7", true))->TableName, "Grid1");
    EXPECT_EQ(p.Tables(p.AddTable("", true))->TableName, "(Unknown)");

    TEntCommandProcessor q;
    q.DeleteTable(2);  // no "Grid"
    EXPECT_EQ(q.Tables(q.AddTable("Grid7", true))->TableName, "Grid7");
    // "Grid7" is taken and "Grid" is free: the new one must still differ
    EXPECT_EQ(q.Tables(q.AddTable("Grid7", true))->TableName, "Grid1");
    EXPECT_EQ(q.Tables(q.AddTable("Grid1", true))->TableName, "Grid2");
}

TEST(EntCommandTables, NoTwoTablesShareAName) {
    TEntCommandProcessor p;
    for (const char* name : {"Grid7", "Grid7", "Grid", "Grid1", "Grid1", "x", "x1", "x", "1", "1", "11", "Default"})
        p.AddTable(name, false);
    // names compare as GetTable compares them: case ignored
    for (int i = 0; i < p.TableCount(); ++i)
        for (int j = i + 1; j < p.TableCount(); ++j)
            EXPECT_FALSE(SameText(p.Tables(i)->TableName, p.Tables(j)->TableName))
                << i << " and " << j << " are both " << p.Tables(j)->TableName;
}

TEST(EntCommandTables, ActiveTablesAreScannedInListOrder) {
    TEntCommandProcessor p;
    TEntCommandTable* grid = p.GetTable("grid");
    ASSERT_NE(grid, nullptr);
    grid->IsActive = true;
    // "Default" comes first and wins where both bind a key
    EXPECT_EQ(p.TranslateKey('Z', Ctrl), ccUndo);
    EXPECT_EQ(p.TranslateKey(VK_LEFT, Ctrl), ccWordLeft);
    // keys only "Grid" binds fall through to it
    EXPECT_EQ(p.TranslateKey(VK_F2, 0), ccTableEdit);
    EXPECT_EQ(p.TranslateKey(VK_UP, Ctrl), ccTopLeftCell);
    EXPECT_EQ(p.TranslateKey(VK_DOWN, Ctrl), ccBotRightCell);

    p.GetTable("Default")->IsActive = false;
    EXPECT_EQ(p.TranslateKey('Z', Ctrl), ccRestore);
    EXPECT_EQ(p.TranslateKey(VK_LEFT, Ctrl), ccPageLeft);
    EXPECT_EQ(p.TranslateKey(VK_RIGHT, Ctrl), ccPageRight);
    EXPECT_EQ(p.TranslateKey(VK_RETURN, Ctrl), ccNoCmd) << "Ctrl+Enter is the default table's only";

    // an entry bound to ccNone gives no result: the scan goes on to the next table
    grid->IsActive = false;
    p.GetTable("Default")->IsActive = true;
    p.GetTable("WordStar")->IsActive = true;
    p.AddCommandRec("Default", {'S', ssfCtrl, 0, 0, ccNone});
    EXPECT_EQ(p.TranslateKey('S', Ctrl), ccLeft);
}

TEST(EntCommandTables, DifferenceStreamRoundTrip) {
    TEntCommandProcessor p;
    {
        TEntBinaryValueWriter w;
        p.Tables(0)->WriteTable(w);
        TEntBinaryValueReader r(w.Data);
        r.ReadString();
        r.ReadBoolean();
        r.ReadListBegin();
        EXPECT_TRUE(r.EndOfList()) << "an unchanged built-in table stores an empty list";
    }
    TEntCommandTable* def = p.GetTable("Default");
    def->TableName = "default";
    const TEntCommandRec ctrlZ{'Z', ssfCtrl, 0, 0, ccUndo};
    def->Delete(def->IndexOf(ctrlZ));
    {
        TEntBinaryValueWriter w;
        def->WriteTable(w);
        TEntBinaryValueReader r(w.Data);
        EXPECT_EQ(r.ReadString(), "default");
        EXPECT_TRUE(r.ReadBoolean());
        r.ReadListBegin();
        EXPECT_EQ(static_cast<uint32_t>(r.ReadInteger()), ctrlZ.Keys());
        EXPECT_EQ(r.ReadInteger(), 0);
        EXPECT_TRUE(r.EndOfList());
    }
    // more changes: a changed binding, a new one, a user command, a custom table
    def->PutRec(def->IndexOf({37, 0, 0, 0, 0}), {37, 0, 0, 0, ccWordLeft});
    def->AddRec({'Q', ssfCtrl, 'X', ssfNoneOrCtrl, ccDelLine});
    def->AddRec({'U', ssfCtrl | ssfAlt, 0, 0, 300});
    p.GetTable("WordStar")->IsActive = true;
    const int custom = p.AddTable("Mine", false);
    p.AddCommandRec("Mine", {'Q', ssfCtrl, 'W', ssfNoneOrCtrl, 257});

    TEntBinaryValueWriter w;
    p.WriteTableList(w);
    TEntCommandProcessor q;
    TEntBinaryValueReader r(w.Data);
    q.ReadTableList(r);
    EXPECT_EQ(r.Pos, w.Data.size());
    ASSERT_EQ(q.TableCount(), p.TableCount());
    for (int t = 0; t < p.TableCount(); ++t) {
        const TEntCommandTable* a = p.Tables(t);
        const TEntCommandTable* b = q.Tables(t);
        EXPECT_EQ(a->TableName, b->TableName);
        EXPECT_EQ(a->IsActive, b->IsActive);
        ASSERT_EQ(a->Count(), b->Count()) << a->TableName;
        for (int i = 0; i < a->Count(); ++i) {
            // same bindings; the order of changed entries may differ
            const int at = b->IndexOf(a->GetCommandRec(i));
            ASSERT_GE(at, 0);
            EXPECT_EQ(b->GetCommandRec(at).Cmd, a->GetCommandRec(i).Cmd);
        }
    }
    EXPECT_EQ(q.Tables(custom)->GetCommandRec(0).Cmd, 257);
}

TEST(EntCommandTables, TextFileRoundTrip) {
    const auto file = std::filesystem::temp_directory_path() / ("entcmd_" + std::to_string(::getpid()) + ".txt");
    TEntCommandProcessor p;
    p.SaveCommandTable("WordStar", file.string());
    p.LoadCommandTable(file.string());
    std::filesystem::remove(file);
    ASSERT_EQ(p.TableCount(), 4);
    const TEntCommandTable* loaded = p.Tables(3);
    EXPECT_EQ(loaded->TableName, "WordStar1");
    ASSERT_EQ(loaded->Count(), 40);
    for (int i = 0; i < 40; ++i) {
        EXPECT_EQ(loaded->GetCommandRec(i).Keys(), p.Tables(1)->GetCommandRec(i).Keys());
        EXPECT_EQ(loaded->GetCommandRec(i).Cmd, p.Tables(1)->GetCommandRec(i).Cmd);
    }
    EXPECT_THROW(p.LoadCommandTable(file.string()), EInOutError);
}
