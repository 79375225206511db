// Engine support: strings, named constants, function libraries, helpers.

#include <gtest/gtest.h>

#include "Controls.h"
#include "GuiTestApp.h"
#include "RP_Class.h"
#include "RP_Globals.h"
#include "RP_Utils.h"

namespace {

// Answers with the function's number, so tests see which library answered.
template <int Tag>
class TTaggedLibrary : public TrpFunctionLibrary {
public:
    TTaggedLibrary() {
        List->Add("SHARED");
        List->Add(Tag == 1 ? "ONLYONE" : "ONLYTWO");
        AddFunctionDesc("SHARED", "Test", Tag == 1 ? "first" : "second");
        AddFunctionDesc("ONLYONE", "Test", "");  // no description: not registered
    }
    void DoFunction(TrpContext&, int index, const Variant& p1, const Variant&, const Variant&, Variant& val) override {
        val = Tag * 10 + index;
    }
};

using LibOne = TTaggedLibrary<1>;
using LibTwo = TTaggedLibrary<2>;

}  // namespace

TEST(EngineStrings, TextsAndMissingIds) {
    struct Row {
        int id;
        const char* text;
    };
    const Row rows[] = {
        {55345, "Unsupported RPF format"},
        {55206, "Error"},
        {55007, "Virtual printer"},
        {55077, "Report title"},
        {55099, "None"},
        {55171, "No;Yes"},
        {55178, "d mmmm yyyy"},
        {55439, "Undefined symbol"},
        {53048, "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12"},
        {55005, ""},
        {55435, ""},
        {55228, ""},
        {53420, ""},
        {99999, ""},
    };
    for (const Row& r : rows) EXPECT_EQ(LoadEngineString(r.id), r.text) << r.id;
}

TEST(EngineStrings, LocalisationHookWinsUnlessEmpty) {
    rpGetLocale()->OnLocalize = [](int id) { return id == 55206 ? std::string("Fehler") : std::string(); };
    EXPECT_EQ(LoadEngineString(55206), "Fehler");
    EXPECT_EQ(LoadEngineString(55207), "Preview");
    rpGetLocale()->OnLocalize = nullptr;
    EXPECT_EQ(LoadEngineString(55206), "Error");
}

TEST(NamedConstants, ValuesAndOrder) {
    const auto& table = rpNamedConstants();
    ASSERT_EQ(table.size(), 17u + 25u + 5u + 2u + 4u + 5u + 6u + 8u + 6u + 8u);
    EXPECT_STREQ(table.front().Name, "clWhite");
    EXPECT_STREQ(table.back().Name, "mb_IconWarning");
    struct Row {
        const char* name;
        int64_t value;
    };
    const Row rows[] = {
        {"clTransparent", 0x1FFFFFFF},
        {"clScrollBar", int32_t(0x80000000u)},
        {"clBtnFace", int32_t(0x8000000Fu)},
        {"clInfoBk", int32_t(0x80000018u)},
        {"mrYes", 6},
        {"fsBold", 2},
        {"fsItalic", 1},
        {"rpftTop", 8},
        {"RPTADOWN", 16},
        {"baRest", 7},
        {"psDouble", 5},
        {"mb_YesNoCancel", 3},
        {"mb_IconWarning", 48},
    };
    for (const Row& r : rows) {
        Variant v;
        ASSERT_TRUE(rpFindNamedConstant(r.name, v)) << r.name;
        EXPECT_EQ(v.AsInt64(), r.value) << r.name;
    }
    Variant v;
    ASSERT_TRUE(rpFindNamedConstant("CRLF", v));
    EXPECT_EQ(v.AsString(), "\r\n");
    ASSERT_TRUE(rpFindNamedConstant("Null", v));
    EXPECT_TRUE(v.IsNull());
    EXPECT_FALSE(rpFindNamedConstant("clNothing", v));
}

TEST(FunctionLibraries, RegisterOnceFirstInstalledAnswers) {
    rpGlobals();  // the engine has started: the standard library is installed
    TrpReport report(nullptr);
    TrpContext& context = report.Context();
    int before = rpFunctionLibraryCount();
    rpRegisterFunctionLibrary<LibOne>();
    rpRegisterFunctionLibrary<LibOne>();
    rpRegisterFunctionLibrary<LibTwo>();
    EXPECT_EQ(rpFunctionLibraryCount(), before + 2);

    Variant val;
    ASSERT_TRUE(rpCallLibraryFunction(context, "shared", "", "", "", val));
    EXPECT_EQ(val.AsInteger(), 10);
    ASSERT_TRUE(rpCallLibraryFunction(context, "ONLYTWO", "", "", "", val));
    EXPECT_EQ(val.AsInteger(), 21);
    EXPECT_FALSE(rpCallLibraryFunction(context, "NOWHERE", "", "", "", val));

    // Descriptions: one per function name, none without a text.
    int shared = 0, onlyOne = 0;
    for (const auto& d : rpInstalledFunctions()->Items) {
        shared += d.FunName == "SHARED";
        onlyOne += d.FunName == "ONLYONE";
    }
    EXPECT_EQ(shared, 1);
    EXPECT_EQ(onlyOne, 0);

    rpUnRegisterFunctionLibrary<LibOne>();
    ASSERT_TRUE(rpCallLibraryFunction(context, "SHARED", "", "", "", val));
    EXPECT_EQ(val.AsInteger(), 20);
    for (const auto& d : rpInstalledFunctions()->Items) EXPECT_NE(d.LibraryClass, rpClassNameOf<LibOne>());
    rpUnRegisterFunctionLibrary<LibTwo>();
    EXPECT_EQ(rpFunctionLibraryCount(), before);
}

TEST(FunctionLibraries, TableOverflowIsAnError) {
    rpGlobals();
    int before = rpFunctionLibraryCount();
    int added = 0;
    EXPECT_THROW(
        {
            for (int i = 0; i <= rpMaxFunctionLibraries; ++i) {
                rpRegisterFunctionLibrary("Overflow" + std::to_string(i), [] { return new LibOne; });
                ++added;
            }
        },
        Exception);
    EXPECT_EQ(rpFunctionLibraryCount(), rpMaxFunctionLibraries);
    for (int i = 0; i < added; ++i) rpUnRegisterFunctionLibrary("Overflow" + std::to_string(i));
    EXPECT_EQ(rpFunctionLibraryCount(), before);
}

TEST(EngineHelpers, QuotesTokensAndPaths) {
    EXPECT_EQ(RemoveQuotes("\"abc\""), "abc");
    EXPECT_EQ(RemoveQuotes("\"\""), "\"\"");
    EXPECT_EQ(RemoveQuotes("abc"), "abc");
    TStringList list;
    SplitToList("psSolid;psDash;;psDot", &list);
    ASSERT_EQ(list.Count(), 4);
    EXPECT_EQ(list.Get(2), "");
    EXPECT_EQ(list.Get(3), "psDot");

    TComponent form(nullptr);
    form.SetName("MainForm");
    auto* frame = new TComponent(&form);
    frame->SetName("Frame1");
    auto* inner = new TComponent(frame);
    inner->SetName("Data");
    auto* direct = new TComponent(&form);
    direct->SetName("Users");
    EXPECT_EQ(FindComponentByPath(&form, "users"), direct);
    EXPECT_EQ(FindComponentByPath(&form, "MainForm.Users"), direct);
    EXPECT_EQ(FindComponentByPath(&form, "MainForm.Frame1.Data"), inner);
    EXPECT_EQ(FindComponentByPath(&form, "Other.Users"), nullptr);
    rpFindGlobalComponent = [&](const std::string& n) { return n == "Other" ? &form : nullptr; };
    EXPECT_EQ(FindComponentByPath(nullptr, "Other.Users"), direct);
    rpFindGlobalComponent = nullptr;
    EXPECT_EQ(FindComponentByPath(&form, "a.b.c.d"), nullptr);
}

TEST(EngineHelpers, AnsiTextConversion) {
    struct Row {
        const char* utf8;
        const char* stored;
    };
    const Row rows[] = {
        {"plain", "plain"},
        {"\xE2\x82\xAC"
         "5",
         "\x80"
         "5"},
        {"Gr\xC3\xBC\xC3\x9F"
         "e",
         "Gr\xFC\xDF"
         "e"},
        {"\xE4\xB8\xAD", "\xE4\xB8\xAD"},  // not in the code page: kept as UTF-8
    };
    for (const Row& r : rows) {
        EXPECT_EQ(rpTextToAnsi(r.utf8), r.stored);
        EXPECT_EQ(rpTextFromAnsi(r.stored), r.utf8);
    }
}

TEST(EngineHelpers, ControlAtPosFindsTheDeepestTopmostChild) {
    EnsureGuiApp();
    TWinControl root(nullptr);
    root.SetBounds(0, 0, 200, 200);
    auto* panel = new TWinControl(&root);
    panel->SetParent(&root);
    panel->SetBounds(10, 10, 100, 100);
    auto* inner = new TControl(&root);
    inner->SetParent(panel);
    inner->SetBounds(5, 5, 20, 20);
    auto* overlap = new TWinControl(&root);
    overlap->SetParent(&root);
    overlap->SetBounds(80, 80, 50, 50);

    EXPECT_EQ(ControlAtPos(&root, TPoint{20, 20}), inner);    // inside the panel's child
    EXPECT_EQ(ControlAtPos(&root, TPoint{50, 50}), panel);    // the panel, no child there
    EXPECT_EQ(ControlAtPos(&root, TPoint{90, 90}), overlap);  // the later child is on top
    EXPECT_EQ(ControlAtPos(&root, TPoint{190, 190}), nullptr);
    overlap->SetVisible(false);
    EXPECT_EQ(ControlAtPos(&root, TPoint{90, 90}), panel);

    EnableControls({panel, inner}, false);
    EXPECT_FALSE(panel->GetEnabled());
    EXPECT_FALSE(inner->GetEnabled());
    EnableControls({panel, inner}, true);
    EXPECT_TRUE(inner->GetEnabled());
}

namespace {

TEST(EngineGlobals, TablesComeFromTheEngineStrings) {
    TrpGlobals& g = rpGlobals();
    EXPECT_EQ(g.DefaultCharset, 1);
    ASSERT_EQ(g.BandNames.size(), 23u);
    EXPECT_EQ(g.BandNames[0], "Report title");
    EXPECT_EQ(g.BandNames[5], "Master data");
    EXPECT_EQ(g.BandNames[22], "None");
    ASSERT_EQ(g.DateFormats.size(), 4u);
    EXPECT_EQ(g.DateFormats[0], "mm.dd.yy");
    EXPECT_EQ(g.TimeFormats[1], "h:nn:ss");
    EXPECT_EQ(g.BooleanFormats[1], "No;Yes");
    EXPECT_EQ(g.BooleanFormats[3], "False;True");
    EXPECT_FALSE(g.Compressor->Enabled);  // prepared-report files are never compressed
}

TEST(EngineHelpers, RotatedFontKeepsTheAttributes) {
    TFont font;
    font.SetName("Arial");
    font.SetSize(14);
    font.SetColor(clRed);
    font.SetStyle(TFontStyles{fsBold});
    std::unique_ptr<TFont> rotated = rpCreateRotatedFont(&font);
    ASSERT_NE(rotated, nullptr);
    EXPECT_EQ(rotated->GetOrientation(), 900);
    EXPECT_EQ(rotated->GetName(), "Arial");
    EXPECT_EQ(rotated->GetSize(), 14);
    EXPECT_EQ(rotated->GetColor(), clRed);
    EXPECT_TRUE(rotated->GetStyle().Contains(fsBold));
    EXPECT_EQ(font.GetOrientation(), 0);  // the original stays upright
}

}  // namespace
