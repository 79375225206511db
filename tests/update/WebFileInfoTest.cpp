#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "FormReader.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "SysUtils.h"
#include "WebFileInfo.h"

namespace {

std::unique_ptr<TWebFileInfo> MainWindowInfo() {
    auto w = std::make_unique<TWebFileInfo>(nullptr);
    w->CurrentVersion = "3.0.01";
    TWfiTags* t = w->GetInfoTags();
    t->AuthorTag = "author";
    t->AuthorEMailTag = "email";
    t->DateTag = "date";
    t->DownloadTag = "url";
    t->ProductNameTag = "name";
    t->ReadMeTag = "readme";
    t->RedirectTag = "redirect";
    t->RunParamsTag = "runparams";
    t->VersionTag = "version";
    return w;
}

TEST(WebFileInfo, VersionsCompareByBuildNumberOrAsText) {
    struct Row {
        const char* current;
        const char* offered;
        bool newer;
    } rows[] = {
        {"3.0.01", "3.0.02", true}, {"3.0.01", "3.0.1", false},  {"3.0.01", "3.0.01", false}, {"3.0", "3.0.1", false},
        {"3.0.01", "3.1", true},    {"3.0.01", "2.9.99", false}, {"3.0.01", "10.0", true},    {"3.0.01", "x.y", false},
    };
    for (const Row& r : rows)
        EXPECT_EQ(IsNewerBuildNumber(r.current, r.offered), r.newer) << r.current << " vs " << r.offered;
    auto w = MainWindowInfo();
    TStringList page;
    page.Add("<META HTTP-EQUIV=\"version\" CONTENT=\"10.0\">");
    w->ParseInfo(&page);
    EXPECT_TRUE(w->IsNewerVersion());
    w->VersionFormat = wfivSimpleString;
    EXPECT_FALSE(w->IsNewerVersion());  // "10.0" sorts before "3.0.01" byte by byte
}

TEST(WebFileInfo, PageLinesFillTheFactsOfTheirTags) {
    FormatSettings = USFormatSettings();
    auto w = MainWindowInfo();
    TStringList page;
    page.SetText(
        "<html><head>\r\n"
        "<meta http-equiv=\"name\" CONTENT=\"Varnholt\">\r\n"
        "<META HTTP-EQUIV=\"version\" CONTENT=\"3.0.01\">\r\n"
        "<META HTTP-EQUIV=\"version\" CONTENT=\"3.0.02\">\r\n"
        "<META HTTP-EQUIV=\"author\" content=\"lower-case marker\">\r\n"
        "<META HTTP-EQUIV=\"date\" CONTENT=\"Jun 07, 2003\">\r\n"
        "<META HTTP-EQUIV=\"url\" CONTENT=\"http://example.com/files/setup.exe\">\r\n"
        "<META HTTP-EQUIV=\"Version\" CONTENT=\"9.9\">\r\n"
        "</head></html>\r\n");
    w->ParseInfo(&page);
    EXPECT_EQ(w->GetProductName(), "Varnholt");
    EXPECT_EQ(w->GetProductVersion(), "3.0.02");  // the later line wins; tag names match case-sensitively
    EXPECT_EQ(w->GetProductAuthor(), "");
    EXPECT_EQ(w->GetProductDateStr(), "Jun 07, 2003");
    EXPECT_EQ(w->GetProductDate(), EncodeDate(2003, 6, 7));
    EXPECT_EQ(w->DownloadFileName(), "setup.exe");
    EXPECT_TRUE(w->IsNewerVersion());

    // A new page clears what the last one said.
    TStringList other;
    other.Add("<META HTTP-EQUIV=\"url\" CONTENT=\"setup.zip\">");
    w->ParseInfo(&other);
    EXPECT_EQ(w->GetProductVersion(), "");
    EXPECT_EQ(w->DownloadFileName(), "setup.zip");
    EXPECT_EQ(w->GetProductDate(), 0.0);
}

TEST(WebFileInfo, ContentNeedsItsMarkerAndDatesNeedAMonth) {
    EXPECT_EQ(ExtractContent("<META HTTP-EQUIV=\"version\" CONTENT=\"3.1\">"), "3.1");
    EXPECT_EQ(ExtractContent("<META HTTP-EQUIV=\"version\">"), "");
    EXPECT_EQ(ParseInfoDate("Dec 31, 1999"), EncodeDate(1999, 12, 31));
    EXPECT_THROW(ParseInfoDate("Foo 01, 2003"), EConvertError);
}

TEST(WebFileInfo, SettersKeepTheirRules) {
    auto w = MainWindowInfo();
    w->SetHomeURL("http://example.com/calculator/tavo.htm?source=mirkane");
    w->SetHomeURL("ftp://example.com/");
    EXPECT_EQ(w->GetHomeURL(), "http://example.com/calculator/tavo.htm?source=mirkane");
    w->SetHomeURL("HTTP://EXAMPLE.COM/");
    EXPECT_EQ(w->GetHomeURL(), "HTTP://EXAMPLE.COM/");
    w->SetOptions({});
    EXPECT_EQ(w->GetOptions(), (TWfiOptions{wfioDisplayUI}));
    w->SetActive(true);
    EXPECT_FALSE(w->GetActive());
}

TEST(WebFileInfo, WindowDefinitionKeepsTheStoredFontAndTags) {
    EnsureGuiApp();
    RegisterWebFileInfoClasses();
    TForm form(nullptr);
    ReadComponentFromText(&form,
                          "object frmMain: TForm\n"
                          "  Font.Height = -20\n"
                          "  object WebFileInfo: TWebFileInfo\n"
                          "    CurrentVersion = '3.0.01'\n"
                          "    HomeURL = 'http://example.com/calculator/tavo.htm?source=mirkane'\n"
                          "    InfoTags.VersionTag = 'version'\n"
                          "    Options = [wfioDisplayUI, wfioDisplayReadMe, wfioRunUpdate, wfioExitDuringUpdate]\n"
                          "    UIFont.Height = -11\n"
                          "    UIFont.Name = 'Arial'\n"
                          "    UIOwnerFont = False\n"
                          "  end\n"
                          "end\n");
    auto* w = dynamic_cast<TWebFileInfo*>(form.FindComponent("WebFileInfo"));
    ASSERT_NE(w, nullptr);
    EXPECT_EQ(w->CurrentVersion, "3.0.01");
    EXPECT_EQ(w->GetInfoTags()->VersionTag, "version");
    EXPECT_EQ(w->GetUIFont()->GetHeight(), -11);
    EXPECT_EQ(w->GetUIFont()->GetName(), "Arial");
    // With UIOwnerFont the form's font is used.
    w->UIOwnerFont = true;
    EXPECT_EQ(w->GetUIFont()->GetHeight(), -20);
}

}  // namespace
