// Database data sets: a list report over a real SQLite file made by the test.

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include "DB.h"
#include "GuiTestApp.h"
#include "MsgBox.h"
#include "RP_Engine.h"
#include "RP_View.h"
#include "TemplateBuilders.h"
#include "SysUtils.h"

namespace {

class DBDataSetTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        FormatSettings = USFormatSettings();
        file = "/tmp/varnholt-db-" + std::to_string(getpid()) + ".sqlite";
        std::remove(file.c_str());
        form.SetName("MainForm");
        query = new TSQLQuery(&form);
        query->SetName("Query");
        query->DatabaseName = file;
        query->ExecSQL("CREATE TABLE loans (name TEXT, amount REAL, rate REAL)");
        const char* rows[] = {"('First', 1000.5, 7.5)", "('Second', 2500, 6.25)", "('Third', NULL, 8)",
                              "('Fourth', 400, 5)"};
        for (const char* r : rows) query->ExecSQL(std::string("INSERT INTO loans VALUES ") + r);
        query->SQL = "SELECT name, amount, rate FROM loans ORDER BY rowid";
        loans = new TrpDBDataSet(&form);
        loans->SetName("Loans");
        loans->SetDataSet(query);
        previousBox = SetMessageBoxHook([this](const std::string& text, const std::string& caption, unsigned) {
            boxes.push_back(caption + ": " + text);
            return IDOK;
        });
    }
    void TearDown() override {
        SetMessageBoxHook(previousBox);
        std::remove(file.c_str());
    }
    std::vector<std::string> Walk() {
        std::vector<std::string> names;
        loans->Init();
        for (loans->First(); !loans->Eof() && names.size() < 10; loans->Next())
            names.push_back(VarToStr(query->FieldValue("name")));
        loans->Exit();
        return names;
    }

    std::string file;
    TComponent form{nullptr};
    TSQLQuery* query = nullptr;
    TrpDBDataSet* loans = nullptr;
    std::vector<std::string> boxes;
    MessageBoxHook previousBox;
};

TEST_F(DBDataSetTest, RangesOverTheRecords) {
    EXPECT_EQ(Walk(), (std::vector<std::string>{"First", "Second", "Third", "Fourth"}));
    loans->RangeEnd = reCount;
    loans->RangeEndCount = 2;
    EXPECT_EQ(Walk(), (std::vector<std::string>{"First", "Second"}));
    // From the current record to the end.
    loans->RangeEnd = reLast;
    loans->RangeBegin = rbCurrent;
    query->Open();
    query->First();
    query->Next();
    query->Next();
    EXPECT_EQ(Walk(), (std::vector<std::string>{"Third", "Fourth"}));
    EXPECT_EQ(query->RecNo(), 2);  // back at the bookmark after Exit
}

TEST_F(DBDataSetTest, MissingDataSetAndFieldAreErrors) {
    TrpDBDataSet lonely(&form);
    lonely.SetName("Lonely");
    try {
        lonely.Init();
        ADD_FAILURE() << "no error";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message, "Unable to open dataset Lonely");
    }
    query->Open();
    EXPECT_THROW(query->FieldValue("missing"), EDatabaseError);
    EXPECT_TRUE(query->FieldValue("AMOUNT") == Variant(1000.5));  // names without regard to case
    TSQLQuery broken(&form);
    broken.DatabaseName = file;
    broken.SQL = "SELECT nothing FROM nowhere";
    EXPECT_THROW(broken.Open(), EDatabaseError);
}

TEST_F(DBDataSetTest, ListReportPrintsEveryRowAndItsTotals) {
    TrpReport report(&form);
    TrpPage* page = report.Pages->Add();
    AddBandView(page, btMasterData, 0, 20, "Data", "Loans");
    AddMemoView(page, "Name", 0, 0, 100, 18, "[Loans.name] [Loans.\"rate\"]");
    AddBandView(page, btReportSummary, 100, 20, "Summary");
    AddMemoView(page, "Total", 0, 100, 100, 18, "[SUM([Loans.amount])] [COUNT(Data)]");

    ASSERT_TRUE(report.PrepareReport()) << (boxes.empty() ? "" : boxes[0]);
    ASSERT_EQ(report.EMFPages->Count(), 1);
    report.EMFPages->LoadPageObjects(0);
    std::vector<std::string> texts;
    for (TrpView* v : report.EMFPages->Page(0).Page->Objects) texts.push_back(Trim(v->Memo->GetText()));
    EXPECT_EQ(texts, (std::vector<std::string>{"First 7.5", "Second 6.25", "Third 8", "Fourth 5", "3900.5 4"}));
    EXPECT_FALSE(query->Active() && loans->CloseDataSource);
}

}  // namespace

namespace {

TEST_F(DBDataSetTest, PictureViewLoadsItsBlobField) {
    // A 3 x 2 bitmap file stored in a BLOB column.
    TBitmap bitmap;
    bitmap.SetSize(3, 2);
    TMemoryStream file;
    bitmap.SaveToStream(&file);
    std::string hex;
    for (int64_t i = 0; i < file.GetSize(); ++i) {
        char b[3];
        std::snprintf(b, sizeof b, "%02X", static_cast<const unsigned char*>(file.Memory())[i]);
        hex += b;
    }
    query->ExecSQL("CREATE TABLE photos (photo BLOB)");
    query->ExecSQL("INSERT INTO photos VALUES (X'" + hex + "')");
    query->ExecSQL("INSERT INTO photos VALUES (NULL)");
    query->SQL = "SELECT photo FROM photos";

    TrpReport report(&form);
    TrpPage* page = report.Pages->Add();
    AddBandView(page, btMasterData, 0, 40, "Data", "Loans");
    auto* picture = new TrpPictureView;
    picture->Name = "Photo";
    picture->dx = 30;
    picture->dy = 30;
    picture->Memo->SetText("[Loans.photo]");
    page->AddObject(picture);
    ASSERT_TRUE(report.PrepareReport()) << (boxes.empty() ? "" : boxes[0]);
    report.EMFPages->LoadPageObjects(0);
    const auto& objects = report.EMFPages->Page(0).Page->Objects;
    ASSERT_EQ(objects.size(), 2u);
    auto* first = dynamic_cast<TrpPictureView*>(objects[0]);
    auto* second = dynamic_cast<TrpPictureView*>(objects[1]);
    ASSERT_NE(first, nullptr);
    ASSERT_NE(second, nullptr);
    EXPECT_EQ(first->Picture->GetWidth(), 3);
    EXPECT_EQ(first->Picture->GetHeight(), 2);
    EXPECT_EQ(second->Picture->GetWidth(), 0);  // a null field empties the picture
}

}  // namespace
