// Database data sets: a list report over a real SQLite file made by the test.

#include <gtest/gtest.h>

#include <cstdio>
#include <unistd.h>

#include "DB.h"
#include "GuiTestApp.h"
#include "MsgBox.h"
#include "RP_Engine.h"
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
    EXPECT_EQ(query->RecNo(), 2);   // back at the bookmark after Exit
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
    EXPECT_TRUE(query->FieldValue("AMOUNT") == Variant(1000.5));   // names without regard to case
    TSQLQuery broken(&form);
    broken.DatabaseName = file;
    broken.SQL = "SELECT nothing FROM nowhere";
    EXPECT_THROW(broken.Open(), EDatabaseError);
}

TEST_F(DBDataSetTest, ListReportPrintsEveryRowAndItsTotals) {
    TrpReport report(&form);
    TrpPage* page = report.Pages->Add();
    auto* band = new TrpBandView;
    band->SetBandType(btMasterData);
    band->Name = "Data";
    band->y = 0; band->dy = 20;
    band->FormatStr = "Loans";
    page->AddObject(band);
    auto* name = new TrpMemoView;
    name->Name = "Name";
    name->dx = 100; name->dy = 18;
    name->Memo->SetText("[Loans.name] [Loans.\"rate\"]");
    page->AddObject(name);
    auto* summary = new TrpBandView;
    summary->SetBandType(btReportSummary);
    summary->Name = "Summary";
    summary->y = 100; summary->dy = 20;
    page->AddObject(summary);
    auto* total = new TrpMemoView;
    total->Name = "Total";
    total->y = 100; total->dx = 100; total->dy = 18;
    total->Memo->SetText("[SUM([Loans.amount])] [COUNT(Data)]");
    page->AddObject(total);

    ASSERT_TRUE(report.PrepareReport()) << (boxes.empty() ? "" : boxes[0]);
    ASSERT_EQ(report.EMFPages->Count(), 1);
    report.EMFPages->LoadPageObjects(0);
    std::vector<std::string> texts;
    for (TrpView* v : report.EMFPages->Page(0).Page->Objects) texts.push_back(Trim(v->Memo->GetText()));
    EXPECT_EQ(texts, (std::vector<std::string>{"First 7.5", "Second 6.25", "Third 8", "Fourth 5", "3900.5 4"}));
    EXPECT_FALSE(query->Active() && loans->CloseDataSource);
}

}  // namespace
