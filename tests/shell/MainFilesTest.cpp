// Calculator files through the main window: saving, opening, the recent-files
// list, and files that are missing, damaged or cannot be written.

#include "MainWindowFixture.h"

#include <QDir>
#include <QFile>

#include <map>

#include "AmortizationPage.h"
#include "CalcFile.h"
#include "ClassesIO.h"
#include "ExtCtrls.h"
#include "FnpNumericEdit.h"
#include "Grids.h"
#include "IniFiles.h"
#include "NumCtrl.h"
#include "entmru.h"
#include "entpf.h"

namespace {

std::string ReadBytes(const std::string& path) {
    std::string data;
    EXPECT_TRUE(classes_io::ReadFileBytes(path, data)) << path;
    return data;
}

void WriteBytes(const std::string& path, const std::string& data) {
    ASSERT_EQ(classes_io::WriteFileAtomic(path, data), 0) << path;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t crlf; (crlf = text.find("\r\n", start)) != std::string::npos; start = crlf + 2)
        lines.push_back(text.substr(start, crlf - start));
    if (start < text.size()) lines.push_back(text.substr(start));
    return lines;
}

// A file of the exact form with every value line "0" (combo lines empty)
// except the ones given.
std::string HandWrittenFile(const std::map<int, std::string>& values, const std::vector<std::string>& grid = {}) {
    std::string text;
    for (int i = 0; i < CalcFileValueCount; ++i) {
        auto at = values.find(i);
        if (at != values.end())
            text += at->second;
        else if (CalcFileLines()[size_t(i)].Kind != TFileValueKind::ComboText)
            text += "0";
        text += "\r\n";
    }
    for (const std::string& row : grid) text += "\r\n" + row;
    return text;
}

class MainFilesTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        PreviousDialog = SetFileDialogHook([this](TOpenDialog& d) {
            DialogsShown.push_back(d.GetName());
            if (DialogAnswer.empty()) return false;
            d.FileName = DialogAnswer;
            return true;
        });
    }
    void TearDown() override {
        SetFileDialogHook(PreviousDialog);
        CurrentFileName.clear();
        MainWindowTest::TearDown();
    }
    std::string Path(const std::string& name) const { return Dir.path().toStdString() + "/" + name; }

    // Gives every value the window holds a distinct value of its kind.
    void FillEveryField() {
        for (int i = 0; i < CalcFileValueCount; ++i) {
            const TFileLine& line = CalcFileLines()[size_t(i)];
            TComponent* c = Form->FindComponent(line.Name);
            switch (line.Kind) {
            case TFileValueKind::Float:
                if (auto* f = dynamic_cast<TEntBaseEntryField*>(c)) f->SetAsFloat(i * 10 + 0.25);
                break;
            case TFileValueKind::Integer:
                if (auto* f = dynamic_cast<TEntBaseEntryField*>(c)) f->SetAsInteger(i);
                break;
            case TFileValueKind::NumEditValue:
                if (auto* e = dynamic_cast<TNumEdit*>(c)) e->SetValue((i % 9 + 1) / 100.0L);
                break;
            case TFileValueKind::FnpFloat:
                if (auto* e = dynamic_cast<TFnpNumericEdit*>(c)) e->SetAsFloat(i % 20 + 0.5);
                break;
            case TFileValueKind::FnpInteger:
                if (auto* e = dynamic_cast<TFnpNumericEdit*>(c)) e->SetAsInteger(i % 40);
                break;
            case TFileValueKind::ComboText:
                if (auto* b = dynamic_cast<TCustomComboBox*>(c); b && b->GetItems()->Count() > 0)
                    b->SetItemIndex(b->GetItems()->Count() - 1);
                break;
            case TFileValueKind::ItemIndex:
                if (auto* g = dynamic_cast<TCustomRadioGroup*>(c)) g->SetItemIndex(1);
                break;
            default: break;
            }
        }
        Form->Defaults.Loan = 123456.5;
        Form->Defaults.Term = 240;
        Form->Defaults.Interest = 0.1 + 0.2;  // 15 significant digits: "0.3"
        Form->Defaults.Payment = 1e-7;
        // A short schedule starting in March 2003 with one extra payment.
        C<TEntBaseEntryField>("edtMortAmt")->SetAsFloat(10000);
        C<TEntBaseEntryField>("edtIRate")->SetAsFloat(7.5);
        C<TEntBaseEntryField>("edtNumPmts")->SetAsInteger(12);
        C<TCustomComboBox>("cbMonth")->SetText("Mar");
        C<TEntBaseEntryField>("edtYear")->SetAsInteger(2003);
        Form->CalcAmortization(Form);
        Grid()->SetCells(6, 3, "$500.00");
        Form->CreatePrepaymentList(Form);
    }
    TStringGrid* Grid() { return C<TStringGrid>("grdAmortization"); }

    std::vector<std::string> DialogsShown;
    std::string DialogAnswer;
    TEntMenuMRU* Mru() { return C<TEntMenuMRU>("mnuFileReopenMRU"); }
    double Field(const char* name) { return C<TEntBaseEntryField>(name)->GetAsFloat(); }

private:
    TFileDialogHook PreviousDialog;
};

TEST_F(MainFilesTest, SavedFileOpensToTheSameValuesAndSavesToTheSameBytes) {
    Create();
    TAmortizationPage* amortization = Form->Page<TAmortizationPage>();
    FillEveryField();
    // Opening recalculates the schedule, so the saved one is the one its fields give.
    Form->CalcAmortization(Form);
    DialogAnswer = Path("loans.qvd");
    Form->btnSaveClick(Form);
    const std::string first = ReadBytes(Path("loans.qvd"));
    EXPECT_NE(first.substr(0, 3), "\xEF\xBB\xBF");
    const std::vector<std::string> lines = Lines(first);
    // The values, an empty line, then one line per row of the monthly grid.
    const int gridRows = C<TStringGrid>("grdAmortization")->GetRowCount() - 1;
    ASSERT_EQ(lines.size(), size_t(CalcFileValueCount + 1 + gridRows));
    EXPECT_EQ(lines[size_t(CalcFileValueCount)], "");
    ASSERT_GE(gridRows, 11);
    EXPECT_EQ(lines[CalcFileGridStart].substr(0, 11), "1 Mar 2003 ");
    EXPECT_NE(lines[CalcFileGridStart + 2].find(" $500.00 "), std::string::npos);
    EXPECT_NE(first.substr(first.size() - 2), "\r\n");
    EXPECT_EQ(lines[1], "123456.5");
    EXPECT_EQ(lines[2], "0.3");
    EXPECT_EQ(lines[3], "240");
    EXPECT_EQ(lines[4], "1E-7");
    EXPECT_EQ(lines[9], FloatToStrF(Field("edtLA"), ffGeneral, 15, 0));
    EXPECT_EQ(lines[93], FloatToStr(C<TNumEdit>("edtLCInterest1")->GetValue()));

    Form->ResetAllCalculatorsToZero(Form);
    Form->Defaults.Loan = 0;
    CurrentFileName.clear();
    DialogAnswer = Path("loans.qvd");
    Form->btnOpenClick(Form);
    EXPECT_EQ(Form->Defaults.Loan, 123456.5);
    EXPECT_EQ(amortization->AmortStartMonth, 3);
    EXPECT_EQ(amortization->AmortStartYear, 2003);
    EXPECT_EQ(Grid()->GetRowCount() - 1, gridRows);
    EXPECT_EQ(Grid()->GetCells(1, 1), "Mar 2003");
    EXPECT_EQ(Grid()->GetCells(6, 3), "$500.00");
    EXPECT_EQ(CurrentFileName, Path("loans.qvd"));
    EXPECT_EQ(Form->GetCaption(), "Varnholt, 3.0.01 - loans.qvd");
    DialogAnswer = Path("again.qvd");
    Form->mnuFileSaveAsClick(Form);
    EXPECT_EQ(ReadBytes(Path("again.qvd")), first);
    EXPECT_TRUE(Messages.empty());
}

TEST_F(MainFilesTest, ScheduleSavedWhereMoneyHasBlanksOpensThereAgain) {
    struct Restore {
        TFormatSettings saved = FormatSettings;
        ~Restore() { FormatSettings = saved; }
    } restore;
    FormatSettings.DecimalSeparator = ',';
    FormatSettings.ThousandSeparator = ' ';
    FormatSettings.CurrencyString = "\u20ac";
    FormatSettings.CurrencyFormat = 3;  // "1 \u20ac"
    FormatSettings.NegCurrFormat = 8;
    Create();
    C<TEntBaseEntryField>("edtMortAmt")->SetAsFloat(100000);
    C<TEntBaseEntryField>("edtIRate")->SetAsFloat(8.75);
    C<TEntBaseEntryField>("edtNumPmts")->SetAsInteger(360);
    Form->CalcAmortization(Form);
    Grid()->SetCells(6, 3, "1 000,00 \u20ac");
    Form->CreatePrepaymentList(Form);
    Form->CalcAmortization(Form);
    const std::string balance = Grid()->GetCells(7, 1);
    ASSERT_NE(balance.find(' '), balance.rfind(' '));  // "98 942,47 \u20ac": blanks inside
    DialogAnswer = Path("euro.qvd");
    Form->btnSaveClick(Form);

    Form->ResetAllCalculatorsToZero(Form);
    CurrentFileName.clear();
    Form->btnOpenClick(Form);
    EXPECT_TRUE(Messages.empty());
    EXPECT_EQ(CurrentFileName, Path("euro.qvd"));
    EXPECT_EQ(Grid()->GetCells(7, 1), balance);
    EXPECT_EQ(Grid()->GetCells(6, 3), "1 000,00 \u20ac");
}

TEST_F(MainFilesTest, HandWrittenFileFillsItsFields) {
    Create();
    TAmortizationPage* amortization = Form->Page<TAmortizationPage>();
    WriteBytes(Path("hand.qvd"), HandWrittenFile({{0, "1"},
                                                  {1, "150000"},
                                                  {3, "180"},
                                                  {9, "123456.78"},
                                                  {12, "360"},
                                                  {92, "95000"},
                                                  {93, "0.0875"},
                                                  {95, "2"},
                                                  {90, "Jun"},
                                                  {91, "2004"},
                                                  {141, "Quarterly"},
                                                  {143, "6.5"},
                                                  {174, "2"},
                                                  {266, "25"},
                                                  {4, "1E20"}}));
    DialogAnswer = Path("hand.qvd");
    Form->btnOpenClick(Form);
    ASSERT_TRUE(Messages.empty()) << Messages[0].Text;
    EXPECT_EQ(Form->Defaults.ValueSet, 1);
    EXPECT_EQ(Form->Defaults.Loan, 150000);
    EXPECT_EQ(Form->Defaults.Term, 180);
    EXPECT_DOUBLE_EQ(Field("edtLA"), 123456.78);
    EXPECT_EQ(C<TEntBaseEntryField>("edtN")->GetAsInteger(), 360);
    EXPECT_DOUBLE_EQ(Field("edtLCLoan1"), 95000);
    EXPECT_DOUBLE_EQ(double(C<TNumEdit>("edtLCInterest1")->GetValue()), 0.0875);
    EXPECT_DOUBLE_EQ(double(C<TNumEdit>("edtLCPoints1")->GetValue()), 2);
    EXPECT_EQ(Form->Defaults.Payment, 1e20);
    EXPECT_EQ(C<TCustomComboBox>("cbMonth")->GetText(), "Jun");
    EXPECT_EQ(amortization->AmortStartMonth, 6);
    EXPECT_EQ(amortization->AmortStartYear, 2004);
    EXPECT_EQ(C<TCustomComboBox>("cbCompounding1")->GetText(), "Quarterly");
    EXPECT_DOUBLE_EQ(double(C<TFnpNumericEdit>("edtFVir1")->GetAsFloat()), 6.5);
    EXPECT_EQ(C<TCustomRadioGroup>("rgDepreciationMethod")->GetItemIndex(), 2);
    EXPECT_EQ(C<TFnpNumericEdit>("edtMLTerm")->GetAsInteger(), 25);
    // Stored as saved: the loan comparison is not recomputed while reading.
    EXPECT_EQ(Field("edtLCPayment1"), 0);
}

TEST_F(MainFilesTest, DamagedOrTruncatedFileIsRefusedWithNothingChanged) {
    Create();
    C<TEntBaseEntryField>("edtLA")->SetAsFloat(777);
    const std::string good = HandWrittenFile({{9, "1000"}});
    struct Row {
        const char* what;
        std::string text;
        const char* says;
    };
    std::string truncated = good.substr(0, good.find("\r\n", good.size() / 2));
    const Row rows[] = {
        {"letters in a number", HandWrittenFile({{9, "1000"}, {50, "abc"}}), "Line 51 (edtOldInterestRate)"},
        {"fraction in a whole number", HandWrittenFile({{9, "1000"}, {12, "1.5"}}), "Line 13 (edtN)"},
        {"empty number", HandWrittenFile({{9, "1000"}, {200, ""}}), "Line 201"},
        {"truncated", truncated, "is missing"},
        {"comma for a point", HandWrittenFile({{9, "1000,5"}}), "Line 10 (edtLA)"},
    };
    for (const Row& r : rows) {
        Messages.clear();
        WriteBytes(Path("bad.qvd"), r.text);
        DialogAnswer = Path("bad.qvd");
        Form->btnOpenClick(Form);
        ASSERT_EQ(Messages.size(), 1u) << r.what;
        EXPECT_NE(Messages[0].Text.find(r.says), std::string::npos) << r.what << ": " << Messages[0].Text;
        EXPECT_EQ(Field("edtLA"), 777) << r.what;
        EXPECT_EQ(CurrentFileName, "") << r.what;
        EXPECT_EQ(Form->GetCaption(), "Varnholt, 3.0.01") << r.what;
        EXPECT_EQ(Mru()->GetItems()->Count(), 0) << r.what;
    }
}

TEST_F(MainFilesTest, CancelledOrMissingOpenChangesNothing) {
    Create();
    WriteBytes(Path("open.qvd"), HandWrittenFile({{9, "2500"}}));
    DialogAnswer = Path("open.qvd");
    Form->btnOpenClick(Form);
    ASSERT_EQ(CurrentFileName, Path("open.qvd"));
    C<TEntBaseEntryField>("edtLA")->SetAsFloat(3100);

    DialogAnswer.clear();  // the person cancels
    Form->btnOpenClick(Form);
    EXPECT_EQ(Field("edtLA"), 3100);
    EXPECT_EQ(CurrentFileName, Path("open.qvd"));
    EXPECT_EQ(Form->GetCaption(), "Varnholt, 3.0.01 - open.qvd");

    // A missing file is reported; Save still writes to the file the caption names.
    for (bool reopen : {false, true}) {
        Messages.clear();
        if (reopen) {
            TEntMRUClickAction action = caMoveToTop;
            Form->mnuFileReopenMRUClick(Mru(), Path("gone.qvd"), action);
        } else {
            DialogAnswer = Path("gone.qvd");
            Form->btnOpenClick(Form);
        }
        ASSERT_EQ(Messages.size(), 1u);
        EXPECT_NE(Messages[0].Text.find("gone.qvd"), std::string::npos);
        EXPECT_EQ(Field("edtLA"), 3100);
        EXPECT_EQ(CurrentFileName, Path("open.qvd"));
        EXPECT_EQ(Form->GetCaption(), "Varnholt, 3.0.01 - open.qvd");
    }
    EXPECT_EQ(Mru()->GetItems()->Count(), 1);
    Form->btnSaveClick(Form);
    EXPECT_EQ(Lines(ReadBytes(Path("open.qvd")))[9], "3100");
    EXPECT_FALSE(QFile::exists(QString::fromStdString(Path("gone.qvd"))));
}

TEST_F(MainFilesTest, FailedSaveSaysSoAndKeepsTheOpenFile) {
    Create();
    WriteBytes(Path("kept.qvd"), HandWrittenFile({{9, "2500"}}));
    DialogAnswer = Path("kept.qvd");
    Form->btnOpenClick(Form);
    const std::string before = ReadBytes(Path("kept.qvd"));
    DialogAnswer = Path("no-such-folder/new.qvd");
    Form->mnuFileSaveAsClick(Form);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_NE(Messages[0].Text.find("Cannot save"), std::string::npos);
    EXPECT_EQ(CurrentFileName, Path("kept.qvd"));
    EXPECT_EQ(Form->GetCaption(), "Varnholt, 3.0.01 - kept.qvd");
    // A save that cannot replace the file leaves it whole.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Path("folder.qvd/inside"))));
    CurrentFileName = Path("folder.qvd");
    Messages.clear();
    Form->btnSaveClick(Form);
    EXPECT_EQ(Messages.size(), 1u);
    EXPECT_TRUE(QFile::exists(QString::fromStdString(Path("folder.qvd/inside"))));
    EXPECT_EQ(ReadBytes(Path("kept.qvd")), before);
}

TEST_F(MainFilesTest, RecentFilesChangeOnlyOnOpenReopenAndClearHistory) {
    Create();
    for (const char* name : {"a.qvd", "b.qvd"}) {
        WriteBytes(Path(name), HandWrittenFile({{9, name[0] == 'a' ? "100" : "200"}}));
        DialogAnswer = Path(name);
        Form->btnOpenClick(Form);
    }
    auto items = [&] {
        std::vector<std::string> v;
        for (int i = 0; i < Mru()->GetItems()->Count(); ++i) v.push_back(Mru()->GetItems()->Get(i));
        return v;
    };
    EXPECT_EQ(items(), (std::vector<std::string>{Path("b.qvd"), Path("a.qvd")}));
    DialogAnswer = Path("c.qvd");
    Form->mnuFileSaveAsClick(Form);
    Form->btnSaveClick(Form);
    EXPECT_EQ(items().size(), 2u);
    EXPECT_EQ(CurrentFileName, Path("c.qvd"));

    // Reopening through the menu: the clicked item is rebuilt away during its own click.
    TMenuItem* reopen = C<TMenuItem>("mnuFileReopen");
    TMenuItem* entry = nullptr;
    for (int i = 0; i < reopen->Count(); ++i)
        if (reopen->Items(i)->Hint == Path("a.qvd")) entry = reopen->Items(i);
    ASSERT_NE(entry, nullptr);
    entry->Click();
    Application->ProcessMessages();
    EXPECT_EQ(Field("edtLA"), 100);
    EXPECT_EQ(CurrentFileName, Path("a.qvd"));
    EXPECT_EQ(items(), (std::vector<std::string>{Path("a.qvd"), Path("b.qvd")}));

    Form->mnuFileClearHistoryClick(Form);
    EXPECT_TRUE(items().empty());
    EXPECT_FALSE(reopen->GetEnabled());
    DialogAnswer = Path("b.qvd");
    Form->btnOpenClick(Form);
    EXPECT_TRUE(reopen->GetEnabled());
}

TEST_F(MainFilesTest, CloseAndNewResetButKeepTheirOwnState) {
    Create();
    WriteBytes(Path("x.qvd"), HandWrittenFile({{9, "2500"}}));
    DialogAnswer = Path("x.qvd");
    Form->btnOpenClick(Form);
    Form->CreateNewFile(Form);
    EXPECT_EQ(Field("edtLA"), 0);
    EXPECT_EQ(CurrentFileName, Path("x.qvd"));
    C<TEntBaseEntryField>("edtLA")->SetAsFloat(5);
    Form->mnuFileCloseClick(Form);
    EXPECT_EQ(Field("edtLA"), 0);
    EXPECT_EQ(CurrentFileName, "");
    EXPECT_EQ(Form->GetCaption(), "Varnholt, 3.0.01");
}

TEST_F(MainFilesTest, WindowClosesWhenTheSettingsFileCannotBeWritten) {
    Create();
    // A folder where the settings file should be: every write is refused.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(TfrmMain::SettingsFileName())));
    TCloseAction action = caHide;
    Form->FormClose(Form, action);
    EXPECT_EQ(action, caFree);
    ASSERT_EQ(Messages.size(), 1u);
    EXPECT_NE(Messages[0].Text.find("Unable to write"), std::string::npos);
}

TEST_F(MainFilesTest, SettingsAndRecentFilesSurviveEachOthersSaves) {
    Create();
    WriteBytes(Path("kept.qvd"), HandWrittenFile({{9, "2500"}}));
    DialogAnswer = Path("kept.qvd");
    Form->btnOpenClick(Form);
    CurrentFileName.clear();  // nothing to ask on closing
    bool canClose = false;
    Form->FormCloseQuery(Form, canClose);
    TCloseAction action = caHide;
    Form->FormClose(Form, action);
    delete Form;
    Form = nullptr;

    TIniFile ini(TfrmMain::SettingsFileName());
    EXPECT_TRUE(ini.ReadBool("GeneralValues", "Run", false));
    Create();
    ASSERT_EQ(Mru()->GetItems()->Count(), 1);
    EXPECT_EQ(Mru()->GetItems()->Get(0), Path("kept.qvd"));
    EXPECT_TRUE(C<TMenuItem>("mnuFileReopen")->GetEnabled());
    EXPECT_TRUE(Form->Run);
}

TEST(CalcFileGridLines, SplitIntoEightCellsKeepingMonthAndYearTogether) {
    using Cells = std::array<std::string, 8>;
    struct Row {
        const char* line;
        Cells cells;
    };
    const Row rows[] = {
        {"1 Jan 2000 $5,057.53 $729.17 $5,057.53 $729.17 $5,000.00 $94,942.47",
         {"1", "Jan 2000", "$5,057.53", "$729.17", "$5,057.53", "$729.17", "$5,000.00", "$94,942.47"}},
        // Fewer words: the last one goes to the balance, the cells between stay empty.
        {"7 Jul", {"7", " ", "", "", "", "", "", "Jul"}},
        // More words: the surplus stays in the balance, spaces included.
        {"1 Jan 2000 a b c d e f  g \t", {"1", "Jan 2000", "a", "b", "c", "d", "e", "f  g"}},
    };
    for (const Row& r : rows) EXPECT_EQ(SplitGridLine(r.line), r.cells) << r.line;
}

// Where money is written "99 942,47 €" a schedule saved there must open there again.
TEST(CalcFileGridLines, AmountsWrittenWithBlanksStayWhole) {
    using Cells = std::array<std::string, 8>;
    struct Row {
        const char* line;
        char decimal;
        Cells cells;
    };
    const Row rows[] = {
        {"1 Dec 2026 57,53 € 729,17 € 57,53 € 729,17 € 0,00 € 99 942,47 €",
         ',',
         {"1", "Dec 2026", "57,53 €", "729,17 €", "57,53 €", "729,17 €", "0,00 €", "99 942,47 €"}},
        {"12 Nov 2027 62,32 € 724,38 € 1 718,77 € 8 721,63 € -1 000,00 € 99 281,23 €",
         ',',
         {"12", "Nov 2027", "62,32 €", "724,38 €", "1 718,77 €", "8 721,63 €", "-1 000,00 €", "99 281,23 €"}},
        {"3 Feb 2027 58,38 € 728,32 € 173,86 € 2.186,24 € 0,00 € 99.826,14 €",
         ',',
         {"3", "Feb 2027", "58,38 €", "728,32 €", "173,86 €", "2.186,24 €", "0,00 €", "99.826,14 €"}},
        {"4 Mar 2027 € 58,80 € 727,90 € 232,66 € 2.914,14 € 0,00 € 99.767,34",
         ',',
         {"4", "Mar 2027", "€ 58,80", "€ 727,90", "€ 232,66", "€ 2.914,14", "€ 0,00", "€ 99.767,34"}},
    };
    for (const Row& r : rows) EXPECT_EQ(SplitGridLine(r.line, r.decimal), r.cells) << r.line;
}

}  // namespace
