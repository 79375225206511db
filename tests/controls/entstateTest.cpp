#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "FormReader.h"
#include "Folders.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "IniFiles.h"
#include "Menus.h"
#include "SysUtils.h"
#include "entmru.h"
#include "entmsgs.h"
#include "entstate.h"

namespace {

const char* const kDefinition =
    "object frmMain: TForm\n"
    "  Menu = MnuMain\n"
    "  OnCloseQuery = FormCloseQuery\n"
    "  object MnuMain: TMainMenu\n"
    "    object mnuFile: TMenuItem\n"
    "      Caption = '&File'\n"
    "      object mnuFileReopen: TMenuItem\n"
    "        Caption = '&Reopen'\n"
    "      end\n"
    "    end\n"
    "  end\n"
    "  object mnuFileReopenMRU: TEntMenuMRU\n"
    "    MaxItems = 9\n"
    "    MenuItem = mnuFileReopen\n"
    "    Options = [moAddAccelerators, moStripPath]\n"
    "  end\n"
    "  object FileStoreMRU: TEntIniFileStore\n"
    "    IniFileName = 'ZEMR.INI'\n"
    "    UseExeDir = True\n"
    "  end\n"
    "  object EntComponentState1: TEntComponentState\n"
    "    Section = 'MRU'\n"
    "    Storage = FileStoreMRU\n"
    "    StoredProperties.Strings = (\n"
    "      'mnuFileReopenMRU.Items'\n"
    "      'mnuFileReopen.Enabled'\n"
    "      'missing.Enabled'\n"
    "      'no property')\n"
    "  end\n"
    "end\n";

class EntStateTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        FormatSettings = USFormatSettings();
        RegisterControlsClasses();
        RegisterEntMenuMRUClasses();
        dir = std::filesystem::temp_directory_path() /
              ("entstate-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
               ::testing::UnitTest::GetInstance()->current_test_info()->name());
        std::filesystem::create_directories(dir);
        SetProgramDir(dir.string() + "/");
    }
    void TearDown() override {
        SetProgramDir("");
        std::filesystem::remove_all(dir);
    }

    std::unique_ptr<TForm> MakeForm() {
        auto form = std::make_unique<TForm>(nullptr);
        THandlerTable handlers;
        handlers["FormCloseQuery"] = TCloseQueryEvent([this](TObject*, bool& CanClose) { CanClose = allowClose; });
        ReadComponentFromText(form.get(), kDefinition, handlers);
        form->AfterConstruction();
        return form;
    }
    static TEntMenuMRU* Mru(TForm* f) { return dynamic_cast<TEntMenuMRU*>(f->FindComponent("mnuFileReopenMRU")); }
    static TMenuItem* Reopen(TForm* f) { return dynamic_cast<TMenuItem*>(f->FindComponent("mnuFileReopen")); }
    std::string IniPath() const { return (dir / "ZEMR.INI").string(); }

    std::filesystem::path dir;
    bool allowClose = true;
};

TEST_F(EntStateTest, MalformedAndUnknownEntriesAreDroppedAtLoad) {
    auto form = MakeForm();
    auto* state = dynamic_cast<TEntComponentState*>(form->FindComponent("EntComponentState1"));
    ASSERT_NE(state, nullptr);
    TStringList* entries = state->GetStoredProperties();
    ASSERT_EQ(entries->Count(), 2);
    EXPECT_EQ(entries->Get(0), "mnuFileReopenMRU.Items");
    EXPECT_EQ(entries->Objects(0), Mru(form.get()));
    EXPECT_EQ(entries->Get(1), "mnuFileReopen.Enabled");
}

TEST_F(EntStateTest, AcceptedCloseWritesTheRecentFilesAndTheNextStartRestoresThem) {
    {
        auto form = MakeForm();
        for (const char* n : {"/d/c.qvd", "/d/b.qvd", "/d/a.qvd"}) Mru(form.get())->Add(n);
        Reopen(form.get())->SetEnabled(false);
        ASSERT_TRUE(form->CloseQuery());
    }
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString("MRU.mnuFileReopenMRU.Items", "Count", ""), "3");
    EXPECT_EQ(ini.ReadString("MRU.mnuFileReopenMRU.Items", "Item0", ""), "/d/a.qvd");
    EXPECT_EQ(ini.ReadString("MRU.mnuFileReopenMRU.Items", "Item2", ""), "/d/c.qvd");
    EXPECT_EQ(ini.ReadString("MRU", "mnuFileReopen.Enabled", ""), "False");

    auto again = MakeForm();
    TStringList* items = Mru(again.get())->GetItems();
    ASSERT_EQ(items->Count(), 3);
    EXPECT_EQ(items->Get(0), "/d/a.qvd");
    EXPECT_FALSE(Reopen(again.get())->GetEnabled());
    // The restored list is in the menu too.
    ASSERT_GE(Reopen(again.get())->Count(), 3);
    EXPECT_EQ(Reopen(again.get())->Items(0)->GetCaption(), "&1 a.qvd");
}

TEST_F(EntStateTest, RefusedCloseWritesNothingAndDestructionSavesOnce) {
    allowClose = false;
    {
        auto form = MakeForm();
        Mru(form.get())->Add("/d/a.qvd");
        EXPECT_FALSE(form->CloseQuery());
        EXPECT_FALSE(std::filesystem::exists(IniPath()));
    }
    // Not saved at the close query, so destruction saved it.
    TIniFile ini(IniPath());
    EXPECT_EQ(ini.ReadString("MRU.mnuFileReopenMRU.Items", "Item0", ""), "/d/a.qvd");
}

TEST_F(EntStateTest, EmptyListRemovesItsSection) {
    {
        auto form = MakeForm();
        Mru(form.get())->Add("/d/a.qvd");
        form->CloseQuery();
    }
    {
        auto form = MakeForm();
        Mru(form.get())->Clear();
        form->CloseQuery();
    }
    TIniFile ini(IniPath());
    EXPECT_FALSE(ini.SectionExists("MRU.mnuFileReopenMRU.Items"));
    EXPECT_EQ(ini.ReadString("MRU", "mnuFileReopen.Enabled", ""), "True");
}

TEST_F(EntStateTest, HandEditedValuesRestoreAsFarAsTheyMakeSense) {
    struct Row {
        const char* count;
        const char* enabled;
        int expectedCount;
        bool expectedEnabled;
    } rows[] = {
        {"3", "tRuE", 3, true},  // missing items come back as empty lines
        {"0", "False", 0, false},
        {"many", "maybe", 0, true},       // no number restores nothing; no name leaves the value
        {"2147483647", "1", 1024, true},  // a hand-edited count is capped, so start-up ends
    };
    for (const Row& r : rows) {
        std::filesystem::remove(IniPath());
        {
            TIniFile ini(IniPath());
            ini.WriteString("MRU.mnuFileReopenMRU.Items", "Count", r.count);
            ini.WriteString("MRU.mnuFileReopenMRU.Items", "Item0", "/d/only.qvd");
            ini.WriteString("MRU", "mnuFileReopen.Enabled", r.enabled);
        }
        auto form = MakeForm();
        TStringList* items = Mru(form.get())->GetItems();
        ASSERT_EQ(items->Count(), r.expectedCount) << r.count;
        if (r.expectedCount == 3) {
            EXPECT_EQ(items->Get(0), "/d/only.qvd");
            EXPECT_EQ(items->Get(2), "");
        }
        EXPECT_EQ(Reopen(form.get())->GetEnabled(), r.expectedEnabled) << r.enabled;
    }
}

TEST(EntIniFileStore, FileNameResolutionAndNestedOpening) {
    TEntIniFileStore store(nullptr);
    store.SetIniFileName("/some/where/ZEMR");
    EXPECT_EQ(store.GetIniFileName(), "/some/where/ZEMR.INI");
    store.UseExeDir = true;
    SetProgramDir("/tmp/");
    EXPECT_EQ(store.ResolvedFileName(), SettingsDir() + "ZEMR.INI");
    store.SetIniFileName("");
    EXPECT_EQ(ExtractFileExt(store.GetIniFileName()), ".INI");
    SetProgramDir("");

    store.SetIniFileName((std::filesystem::temp_directory_path() / "entstate-open.ini").string());
    store.UseExeDir = false;
    store.Open();
    store.Open();
    store.Close();
    EXPECT_TRUE(store.IsOpen());
    store.Close();
    EXPECT_FALSE(store.IsOpen());
    store.Close();  // one too many does no harm
    EXPECT_EQ(store.OpenCount(), 0);
}

TEST(EntComponentState, NeedsAFormAsOwner) {
    TComponent owner(nullptr);
    try {
        TEntComponentState state(&owner);
        FAIL() << "a state component outside a form must raise";
    } catch (const EEntException& e) {
        EXPECT_EQ(e.Message, "This component can only be used on forms");
    }
    EXPECT_EQ(owner.ComponentCount(), 0);
}

}  // namespace
