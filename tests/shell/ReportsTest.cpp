// The main window's reports: the templates it carries, the print command on
// every page, each report's memos filled from its page, and the table
// reports read from their grids.

#include "MainWindowFixture.h"

#include <cstdio>
#include <cstdlib>
#include <map>
#include <regex>
#include <sstream>

#include "AlignGrid.h"
#include "AmortizationPage.h"
#include "LoanSpreadPage.h"
#include "MainReports.h"
#include "Printers.h"
#include "RP_Prntr.h"
#include "ExtCtrls.h"
#include "LoanSpreadPage.h"
#include "RP_Class.h"
#include "RP_DSet.h"
#include "RP_View.h"
#include "ReportValues.h"
#include "entpf.h"
#include "grBtns.h"

namespace {

struct TOut {
    std::string Text;
    int X = 0, Y = 0;
};
using TPageOut = std::map<std::string, TOut>;

const char* const kDisclaimer =
    "NOTE:  Though effort was made to ensure the accuracy of these calculations, there is  NO WARRANTY,  "
    "expressed or implied, for the accuracy or applicability of this information to your particular financial "
    "question.  Please consult your own financial advisor before making any financial decision based upon these "
    "results.";

struct TTable {
    const char* Report;
    const char* Dataset;
    int Cells;
};
const TTable kTables[] = {{"rpAmortMonthly", "rpAmortMonthlyDataset", 8},
                          {"rpAmortAnnual", "rpAmortAnnualDataset", 5},
                          {"rpLSC", "rpLSCDataset", 8},
                          {"rpDepreciation", "rpDepreciationDataset", 4}};
const char* const kSinglePage[] = {
    "rpMortgageQualifier", "rpRefinancingCalc", "rpRatesOfReturn", "rpCapitalizationRate", "rpMaximumLoan",
    "rpIncomeMultipliers", "rpUnderwriting",    "rpFutureValues",  "rpLoanComparisons",    "rpDiscountedCashFlows"};

class ReportsTest : public MainWindowTest {
protected:
    // The window, with every report's preview recording what it shows.
    TfrmMain* Create() {
        MainWindowTest::Create();
        for (const char* name : kSinglePage) HookPreview(name);
        for (const TTable& t : kTables) HookPreview(t.Report);
        return Form;
    }
    void HookPreview(const char* name) {
        Report(name)->Windows.ShowPreview = [this](TrpReport* r, const std::string&) { Previewed.push_back(r); };
    }

    void Go(const char* sender) {
        Form->gotoChosenCalculator(Form->FindComponent("btnLeaveWelcome"));
        Form->gotoChosenCalculator(Form->FindComponent(sender));
    }
    void Samples() { Form->mnuResetSamplesClick(nullptr); }
    TrpReport* Report(const std::string& name) { return C<TrpReport>(name); }
    // Prints the page's report with its samples and returns what it previewed.
    TrpReport* PrintSamples(const char* sender) {
        Go(sender);
        Samples();
        Previewed.clear();
        Form->Print(nullptr);
        EXPECT_EQ(Previewed.size(), 1u) << sender;
        return Previewed.empty() ? nullptr : Previewed.back();
    }

    // Every view output onto each prepared page, in output order.
    static std::vector<std::vector<std::pair<std::string, TOut>>> Output(TrpReport* report) {
        std::vector<std::vector<std::pair<std::string, TOut>>> pages;
        for (int i = 0; i < report->EMFPages->Count(); ++i) {
            report->EMFPages->LoadPageObjects(i);
            std::vector<std::pair<std::string, TOut>> out;
            for (TrpView* v : report->EMFPages->Page(i).Page->Objects) {
                std::string text = v->Memo->GetText();
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '\x01'))
                    text.pop_back();
                out.push_back({v->Name, {text, v->x, v->y}});
            }
            pages.push_back(out);
        }
        return pages;
    }
    static TPageOut ByName(const std::vector<std::pair<std::string, TOut>>& page) {
        TPageOut m;
        for (const auto& [name, out] : page) m[name] = out;
        return m;
    }

    std::vector<TrpReport*> Previewed;
};

TEST_F(ReportsTest, EveryReportCarriesItsTemplate) {
    Create();
    auto check = [&](const std::string& name, int footerY) -> TrpPage* {
        SCOPED_TRACE(name);
        TrpReport* r = Report(name);
        EXPECT_EQ(r->Pages->Count(), 1);
        TrpPage* page = r->Pages->Pages(0);
        EXPECT_EQ(page->Name, "Form");
        EXPECT_EQ(page->Width, 2159);
        EXPECT_EQ(page->Height, 2794);
        EXPECT_EQ(page->Orientation, 0);
        EXPECT_EQ(page->LeftMargin + page->TopMargin + page->RightMargin + page->BottomMargin, 0);
        auto* title = dynamic_cast<TrpBandView*>(page->FindObject("ReportTitle1"));
        auto* footer = dynamic_cast<TrpBandView*>(page->FindObject("PageFooter1"));
        if (!title || !footer) {
            ADD_FAILURE() << "bands";
            return page;
        }
        EXPECT_EQ(title->BandType(), 0);
        EXPECT_EQ(footer->BandType(), 3);
        EXPECT_EQ(footer->y, footerY);
        EXPECT_EQ(footer->dy, 74);
        auto* heading = dynamic_cast<TrpMemoView*>(page->FindObject("lblReportTitle"));
        if (!heading) {
            ADD_FAILURE() << "title";
            return page;
        }
        EXPECT_EQ(heading->Font->GetName(), "Arial");
        EXPECT_EQ(heading->Font->GetSize(), 16);
        EXPECT_TRUE(heading->Font->GetStyle().Contains(fsBold));
        auto* disclaimer = dynamic_cast<TrpMemoView*>(page->FindObject("lblDisclaimer"));
        if (!disclaimer) {
            ADD_FAILURE() << "disclaimer";
            return page;
        }
        EXPECT_EQ(disclaimer->Memo->GetText(), std::string(kDisclaimer) + "\r\n");
        EXPECT_TRUE(disclaimer->Flags & flWordWrap);
        EXPECT_EQ(disclaimer->y, footerY + 28);
        for (const char* m : {"lblHeader1", "lblHeader2", "lblURL", "lblApplicationTitle", "Line1", "Line3"})
            EXPECT_NE(page->FindObject(m), nullptr) << m;
        // No text needs more room than its template gives it (the frame's
        // heading memos have their sizes fixed).
        for (TrpView* v : page->Objects) {
            auto* memo = dynamic_cast<TrpMemoView*>(v);
            if (!memo || memo->Name.rfind("lblHeader", 0) == 0) continue;
            memo->SMemo->SetText(memo->Memo->GetText());
            int height = 0;
            memo->WrapLines(height);
            EXPECT_LE(height, memo->dy) << memo->Name;
        }
        // The preview: zoom, print and close, help on four of them; no progress window.
        const bool help = name == "rpLoanComparisons" || name == "rpFutureValues" || name == "rpRatesOfReturn" ||
                          name == "rpDepreciation";
        EXPECT_EQ(r->PreviewButtons,
                  rpButton(pbZoom) | rpButton(pbPrint) | rpButton(pbExit) | (help ? rpButton(pbHelp) : 0u));
        EXPECT_FALSE(r->ShowProgress);
        EXPECT_EQ(r->InitialZoom, pzDefault);
        return page;
    };
    for (const char* name : kSinglePage) {
        TrpPage* page = check(name, 872);
        EXPECT_EQ(page->FindObject("MasterData1"), nullptr);
    }
    for (const TTable& t : kTables) {
        TrpPage* page = check(t.Report, 884);
        auto* data = dynamic_cast<TrpBandView*>(page->FindObject("MasterData1"));
        ASSERT_NE(data, nullptr);
        EXPECT_EQ(data->BandType(), 5);
        EXPECT_EQ(data->FormatStr, t.Dataset);
        EXPECT_EQ(data->dy, 18);
        for (int k = 1; k <= t.Cells; ++k) {
            TrpView* cell = page->FindObject("Cell" + std::to_string(k));
            ASSERT_NE(cell, nullptr);
            EXPECT_EQ(cell->Memo->GetText(), "[Cell" + std::to_string(k) + "]\r\n");
            EXPECT_EQ(cell->y, data->y);
        }
        EXPECT_EQ(page->FindObject("Cell" + std::to_string(t.Cells + 1)), nullptr);
    }
    auto* header = dynamic_cast<TrpBandView*>(Report("rpAmortMonthly")->FindObject("PageHeader1"));
    ASSERT_NE(header, nullptr);
    EXPECT_EQ(header->BandType(), 2);
    EXPECT_EQ(header->y, 156);
}

TEST_F(ReportsTest, PrintFollowsThePageAndItsEnabledState) {
    Create();
    TAmortizationPage* amortization = Form->Page<TAmortizationPage>();
    EXPECT_FALSE(Form->btnPrint->GetEnabled());
    EXPECT_FALSE(Form->MnuFilePrint->GetEnabled());
    for (const char* sender : {"btnWelcome", "btnLeaveWelcome", "btnQC"}) {
        Form->gotoChosenCalculator(Form->FindComponent(sender));
        EXPECT_FALSE(Form->btnPrint->GetEnabled()) << sender;
        Form->Print(nullptr);
        EXPECT_TRUE(Previewed.empty()) << sender;
    }
    const std::pair<const char*, const char*> pages[] = {
        {"btnMQ", "rpMortgageQualifier"}, {"btnRC", "rpRefinancingCalc"},   {"btnLSC", "rpLSC"},
        {"btnDEP", "rpDepreciation"},     {"btnROR", "rpRatesOfReturn"},    {"btnCR", "rpCapitalizationRate"},
        {"btnML", "rpMaximumLoan"},       {"btnIM", "rpIncomeMultipliers"}, {"btnUnderwriting", "rpUnderwriting"},
        {"btnFV", "rpFutureValues"},      {"btnLC", "rpLoanComparisons"},   {"btnDCF", "rpDiscountedCashFlows"},
        {"btnAS", "rpAmortMonthly"}};
    for (auto [sender, report] : pages) {
        TrpReport* shown = PrintSamples(sender);
        EXPECT_TRUE(Form->MnuFilePrint->GetEnabled()) << sender;
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(shown->GetName(), report);
    }
    // The amortization page prints the grid it shows.
    amortization->btnAnnualMonthlyClick(nullptr);
    ASSERT_TRUE(amortization->grdAnnualAmortization->GetVisible());
    Previewed.clear();
    Form->MnuFilePrint->Click();
    ASSERT_EQ(Previewed.size(), 1u);
    EXPECT_EQ(Previewed[0]->GetName(), "rpAmortAnnual");
}

// The paper and orientation chosen in the printer set-up dialog are the
// printer's, as the report engine's printer layer reads them.
TEST_F(ReportsTest, PrintSetupChoiceReachesTheReportPrinter) {
    const std::string printerName = Printer()->PrinterName();
    const TPrinterDevMode mode = Printer()->GetDevMode();
    int runs = 0;
    TPrinterSetupHook previous = SetPrinterSetupHook([&](TPrinterSetupChoice& choice) {
        ++runs;
        EXPECT_EQ(choice.Printers, Printer()->Printers());
        choice.PrinterIndex = int(choice.Printers.size()) - 1;  // "Print to PDF"
        choice.DevMode.PaperSize = DMPAPER_A4;
        choice.DevMode.Orientation = DMORIENT_LANDSCAPE;
        return true;
    });
    Create();
    C<TMenuItem>("MnuFilePrintSetup")->Click();
    SetPrinterSetupHook(previous);
    EXPECT_EQ(runs, 1);
    TrpPrinter& layer = rpPrinter();
    EXPECT_EQ(layer.Printers[size_t(layer.PrinterIndex)], "Print to PDF");
    EXPECT_EQ(layer.PaperSize, DMPAPER_A4);
    EXPECT_EQ(layer.Orientation, 1);
    // Read back from the device's pixels, so within a tenth of a millimetre.
    EXPECT_NEAR(layer.PaperWidth, 2970, 1);
    EXPECT_NEAR(layer.PaperHeight, 2100, 1);

    const std::vector<std::string>& names = Printer()->Printers();
    Printer()->SetPrinterIndex(int(std::find(names.begin(), names.end(), printerName) - names.begin()));
    Printer()->SetDevMode(mode);
    layer.SetPrinter(Printer());
}

// Every value and caption lands where its template puts it: single-page
// reports print their title band from the top of the page, so a view's
// place on the page is its template place less the band's.
TEST_F(ReportsTest, SinglePageReportsPrintEachMemoAtItsTemplatePlace) {
    Create();
    const std::pair<const char*, const char*> pages[] = {
        {"btnMQ", "rpMortgageQualifier"},      {"btnRC", "rpRefinancingCalc"}, {"btnROR", "rpRatesOfReturn"},
        {"btnCR", "rpCapitalizationRate"},     {"btnML", "rpMaximumLoan"},     {"btnIM", "rpIncomeMultipliers"},
        {"btnUnderwriting", "rpUnderwriting"}, {"btnFV", "rpFutureValues"},    {"btnLC", "rpLoanComparisons"},
        {"btnDCF", "rpDiscountedCashFlows"}};
    for (auto [sender, name] : pages) {
        SCOPED_TRACE(name);
        TrpReport* report = PrintSamples(sender);
        ASSERT_NE(report, nullptr);
        auto pagesOut = Output(report);
        ASSERT_EQ(pagesOut.size(), 1u);
        TrpPage* templ = report->Pages->Pages(0);
        const int titleTop = templ->FindObject("ReportTitle1")->y;
        const int footerTop = templ->FindObject("PageFooter1")->y;
        const int pageFooterAt = pagesOut[0].empty() ? 0 : ByName(pagesOut[0])["Line3"].Y;
        int memos = 0;
        for (const auto& [memoName, out] : pagesOut[0]) {
            TrpView* v = templ->FindObject(memoName);
            ASSERT_NE(v, nullptr) << memoName;
            EXPECT_EQ(out.X, v->x) << memoName;
            if (v->y < footerTop)
                EXPECT_EQ(out.Y, v->y - titleTop) << memoName;
            else
                EXPECT_EQ(out.Y, pageFooterAt + v->y - footerTop) << memoName;
            if (dynamic_cast<TrpMemoView*>(v)) ++memos;
        }
        // Every memo of the template was printed, none twice.
        int templateMemos = 0;
        for (TrpView* v : templ->Objects) templateMemos += dynamic_cast<TrpMemoView*>(v) != nullptr;
        EXPECT_EQ(memos, templateMemos);
        EXPECT_EQ(int(pagesOut[0].size()), templ->Count() - 2);  // all but the two bands
        TPageOut out = ByName(pagesOut[0]);
        EXPECT_EQ(out["lblApplicationTitle"].Text, "Varnholt, 3.0.01");
        EXPECT_EQ(out["lblDisclaimer"].Text, kDisclaimer);
        EXPECT_FALSE(out["lblHeader1"].Text.empty());
        EXPECT_GT(out["lblDisclaimer"].Y, 900);
    }
}

// Every memo that holds a placeholder in its template is filled by the
// print routine: a memo name the routine misspells would keep it.
TEST_F(ReportsTest, PrintRoutinesFillEveryValueMemo) {
    Create();
    const std::pair<const char*, const char*> pages[] = {
        {"btnMQ", "rpMortgageQualifier"}, {"btnRC", "rpRefinancingCalc"},   {"btnLSC", "rpLSC"},
        {"btnDEP", "rpDepreciation"},     {"btnROR", "rpRatesOfReturn"},    {"btnCR", "rpCapitalizationRate"},
        {"btnML", "rpMaximumLoan"},       {"btnIM", "rpIncomeMultipliers"}, {"btnUnderwriting", "rpUnderwriting"},
        {"btnFV", "rpFutureValues"},      {"btnLC", "rpLoanComparisons"},   {"btnDCF", "rpDiscountedCashFlows"},
        {"btnAS", "rpAmortMonthly"}};
    for (auto [sender, name] : pages) {
        SCOPED_TRACE(name);
        int marked = 0;
        for (TrpView* v : Report(name)->Pages->Pages(0)->Objects) {
            std::string text = v->Memo->GetText();
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
            if (dynamic_cast<TrpMemoView*>(v) &&
                (text == "$0.00" || text == "0.000%" || text == "0" || text == v->Name)) {
                v->Memo->SetText("unset");
                ++marked;
            }
        }
        EXPECT_GT(marked, 3);
        TrpReport* report = PrintSamples(sender);
        ASSERT_NE(report, nullptr);
        auto out = Output(report);
        ASSERT_FALSE(out.empty());
        for (const auto& [memo, o] : out[0]) EXPECT_NE(o.Text, "unset") << memo;
    }
}

// Sample values whose results are known from elsewhere: 100,000 over 360
// months at 8.75 % pays 786.70 a month.
TEST_F(ReportsTest, ReportsPrintTheirValuesInTheirFormats) {
    Create();
    struct TCase {
        const char* Sender;
        std::vector<std::pair<const char*, const char*>> Memos;
    };
    const TCase cases[] = {
        {"btnLC",
         {{"lblReportTitle", "Loan Comparisons"},
          {"lblLoanAmount1", "$100,000.00"},
          {"lblInterestRate1", "8.75%"},
          {"lblLCPoints3", "2%"},
          {"lblPaymentAmount1", "$786.70"},
          {"lblTotalPaid1", "$283,212.15"}}},
        {"btnRC",
         {{"lblOldPayment", "$786.70"},
          {"lblOldInterestRate", "8.75%"},
          {"lblOldTerm", "360"},
          {"lblPaymentSaved", "($3.68)"},
          {"lblWhenYouSell",
           "If you sell in 240 months, this refinancing scenario may save you money as indicated below:"}}},
        {"btnMQ",
         {{"lblReportTitle", "Mortgage Qualification"},
          {"lblIR1", "7.5%"},
          {"lblHousingRatio", "28"},
          {"lblTerm1", "30"},
          {"lblDownpayment", "$20,000.00"}}},
        {"btnCR", {{"lblFinancingRate", "8.000%"}, {"lblFinancingTerm", "240"}}},
        {"btnFV", {{"lblrate1", "8.750%"}, {"lblper1", "12"}, {"lblper2", "24"}, {"lblct1", "Monthly"}}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.Sender);
        TrpReport* report = PrintSamples(c.Sender);
        ASSERT_NE(report, nullptr);
        TPageOut out = ByName(Output(report).at(0));
        for (auto [memo, text] : c.Memos) EXPECT_EQ(out[memo].Text, text) << memo;
    }
}

TEST_F(ReportsTest, NumberFormats) {
    const struct {
        long double Value;
        TReportFormat Format;
        const char* Text;
    } rows[] = {
        {1234567.891L, TReportFormat::Money15, "$1,234,567.89"},
        {-3.676L, TReportFormat::Money15, "($3.68)"},
        {123456789.126L, TReportFormat::Money15, "$123,456,789.13"},
        {123456789.126L, TReportFormat::Money10, "$123,456,789.10"},
        {8.75L, TReportFormat::Num3, "8.750"},
        {1234.5L, TReportFormat::Num3, "1,234.500"},
        {0.1003728101L, TReportFormat::Num9, "0.100372810"},
        {0.0875L * 100, TReportFormat::Gen, "8.75"},
        {8.0L, TReportFormat::Gen6, "8"},
        {8.5L, TReportFormat::Gen6, "8.5"},
        {27.9L, TReportFormat::Int, "27"},
    };
    FormatSettings = USFormatSettings();
    for (const auto& r : rows) EXPECT_EQ(FormatReportNumber(r.Value, r.Format), r.Text) << double(r.Value);
}

TEST_F(ReportsTest, MissingMemosAreSkipped) {
    Create();
    TrpPage* page = Report("rpMaximumLoan")->Pages->Pages(0);
    for (int i = 0; i < page->Count(); ++i)
        if (page->Objects[i]->Name == "lblMaximumLoan") page->DeleteObject(i);
    TrpReport* report = PrintSamples("btnML");
    ASSERT_NE(report, nullptr);
    TPageOut out = ByName(Output(report).at(0));
    EXPECT_EQ(out.count("lblMaximumLoan"), 0u);
    EXPECT_EQ(out["lblLoanInterestRate"].Text, "8.000%");
}

// A numeric edit that holds no number ends the print before the preview,
// with the conversion error for the window's handler.
TEST_F(ReportsTest, ANumericEditWithoutANumberStopsThePrint) {
    Create();
    Go("btnFV");
    Samples();
    C<TControl>("edtFVir3")->SetText("8,7x");
    Previewed.clear();
    EXPECT_THROW(Form->Print(nullptr), EConvertError);
    EXPECT_TRUE(Previewed.empty());
    // What was set before the failing edit stays set.
    EXPECT_EQ(Report("rpFutureValues")->FindObject("lblrate1")->Memo->GetText(), "8.750%\r\n");
}

TEST_F(ReportsTest, LoanSpreadAndDepreciationTextsFollowTheirModes) {
    Create();
    TLoanSpreadPage* loanSpread = Form->Page<TLoanSpreadPage>();
    Go("btnLSC");
    Samples();
    loanSpread->rgCalculate->SetItemIndex(1);
    Previewed.clear();
    Form->Print(nullptr);
    TPageOut out = ByName(Output(Report("rpLSC")).at(0));
    EXPECT_EQ(out["lblReportTitle"].Text, "Chart of Loan Amounts");
    EXPECT_EQ(out["lbl1"].Text, "Term:");
    EXPECT_EQ(out["lblOne"].Text, "360 months");
    EXPECT_EQ(out["lbl3"].Text, "Payment:");
    EXPECT_EQ(out["lblThree"].Text, "$786.70");
    EXPECT_EQ(out["lblX"].Text, "Payment Amounts incremented by " + loanSpread->PaymentIncrementText);

    Go("btnDEP");
    Samples();
    C<TEntPictureField>("edtDepreciationPeriod")->SetAsInteger(27);
    C<TCustomRadioGroup>("rgDepreciationMethod")->SetItemIndex(1);
    Form->Print(nullptr);
    out = ByName(Output(Report("rpDepreciation")).at(0));
    EXPECT_EQ(out["lblDepreciationPeriod"].Text, "27 years");
    EXPECT_EQ(out["lblDepreciationMethod"].Text, "Double Declining Balance");
}

// The table reports print their grid row for row, the title row first,
// with the rows kept between the page's header and footer.
TEST_F(ReportsTest, TableReportsPrintTheirGridsRowForRow) {
    Create();
    const struct {
        const char* Sender;
        const char* Report;
        const char* Grid;
        int Cells;
    } tables[] = {{"btnAS", "rpAmortMonthly", "grdAmortization", 8},
                  {"btnLSC", "rpLSC", "grdLS", 8},
                  {"btnDEP", "rpDepreciation", "grdDepreciation", 4}};
    for (const auto& t : tables) {
        SCOPED_TRACE(t.Report);
        TrpReport* report = PrintSamples(t.Sender);
        ASSERT_NE(report, nullptr);
        auto* grid = C<TStringGrid>(t.Grid);
        std::vector<std::vector<std::string>> rows;
        auto pages = Output(report);
        for (const auto& page : pages) {
            TPageOut named = ByName(page);
            const int footer = named["Line3"].Y;
            for (const auto& [name, out] : page) {
                if (name == "Cell1") rows.emplace_back();
                if (name.rfind("Cell", 0) == 0) {
                    ASSERT_FALSE(rows.empty());
                    rows.back().push_back(out.Text);
                    EXPECT_LT(out.Y + 18, footer + 1);
                }
            }
            if (std::string(t.Report) == "rpAmortMonthly") {
                EXPECT_EQ(named["lblX"].Text, "PMT");
            }
        }
        ASSERT_EQ(int(rows.size()), grid->GetRowCount());
        for (int r = 0; r < grid->GetRowCount(); ++r) {
            ASSERT_EQ(int(rows[r].size()), t.Cells);
            for (int c = 0; c < t.Cells; ++c) EXPECT_EQ(rows[r][c], grid->GetCells(c, r)) << r << "," << c;
        }
        if (std::string(t.Report) == "rpAmortMonthly") {
            EXPECT_GT(pages.size(), 1u);
            TPageOut first = ByName(pages[0]);
            EXPECT_EQ(first["lblPayment"].Text, C<TEntPictureField>("edtAmortPayment")->GetAsString());
            EXPECT_EQ(first["lblInterestRate"].Text, "8.750%");
            EXPECT_EQ(first["lblHeader1"].Text, "");
        }
    }
}

TEST_F(ReportsTest, CellNamesAreAnsweredWithoutRegardToCase) {
    Create();
    auto* grid = C<TStringGrid>("grdAnnualAmortization");
    grid->SetRowCount(3);
    grid->SetCells(2, 1, "x21");
    grid->SetCells(4, 2, "x42");
    for (const char* name : {"Cell3", "cell3", "CELL3"}) {
        Variant v = "unset";
        TMainReports::TableCellValue(grid, 1, 5, name, v);
        EXPECT_EQ(VarToStr(v), "x21") << name;
    }
    Variant v = "unset";
    TMainReports::TableCellValue(grid, 2, 5, "Cell5", v);
    EXPECT_EQ(VarToStr(v), "x42");
    for (const char* name : {"Cell6", "Cell0", "Cell", "Total"}) {
        Variant u = "unset";
        TMainReports::TableCellValue(grid, 1, 5, name, u);
        EXPECT_EQ(VarToStr(u), "unset") << name;
    }
}

TEST_F(ReportsTest, AGridWithOnlyItsTitleRowPrintsOneRow) {
    Create();
    Go("btnDEP");
    auto* grid = C<TStringGrid>("grdDepreciation");
    grid->SetRowCount(1);
    grid->SetCells(0, 0, "Year");
    Form->Print(nullptr);
    auto pages = Output(Report("rpDepreciation"));
    ASSERT_EQ(pages.size(), 1u);
    int rows = 0;
    for (const auto& [name, out] : pages[0]) rows += name == "Cell1";
    EXPECT_EQ(rows, 1);
}

TEST_F(ReportsTest, LongestAmortizationSchedulePrintsEveryPayment) {
    Create();
    Go("btnAS");
    Samples();
    auto* payments = C<TEntPictureField>("edtNumPmts");
    payments->SetAsInteger(32767);
    Form->CalcAmortization(nullptr);
    auto* grid = C<TStringGrid>("grdAmortization");
    ASSERT_EQ(grid->GetRowCount(), 32768);
    Form->Print(nullptr);
    TrpReport* report = Report("rpAmortMonthly");
    int rows = 0;
    std::string last;
    for (const auto& page : Output(report))
        for (const auto& [name, out] : page)
            if (name == "Cell1") ++rows, last = out.Text;
    EXPECT_EQ(rows, 32768);
    EXPECT_EQ(last, grid->GetCells(0, 32767));
}

// One word of a PDF page, in points from the page's top left corner.
struct TPdfWord {
    std::string Text;
    double X0, Y0, X1, Y1;
};
struct TPdfPage {
    double Width = 0, Height = 0;
    std::vector<TPdfWord> Words;
    const TPdfWord* Find(const std::string& text) const {
        for (const TPdfWord& w : Words)
            if (w.Text == text) return &w;
        return nullptr;
    }
};

// The words of every page of a PDF file with their boxes, read back through pdftotext.
std::vector<TPdfPage> PdfWords(const std::string& file) {
    std::string out;
    if (FILE* f = popen(("timeout 30 pdftotext -bbox '" + file + "' -").c_str(), "r")) {
        char buffer[4096];
        size_t n;
        while ((n = fread(buffer, 1, sizeof buffer, f)) > 0) out.append(buffer, n);
        pclose(f);
    }
    std::vector<TPdfPage> pages;
    static const std::regex page(R"re(<page width="([\d.]+)" height="([\d.]+)">)re");
    static const std::regex word(
        R"re(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)re");
    std::istringstream lines(out);
    std::string line;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (std::regex_search(line, m, page))
            pages.push_back({std::stod(m[1]), std::stod(m[2]), {}});
        else if (std::regex_search(line, m, word) && !pages.empty())
            pages.back().Words.push_back({m[5], std::stod(m[1]), std::stod(m[2]), std::stod(m[3]), std::stod(m[4])});
    }
    return pages;
}

// Every calculator's report with its samples, printed from its preview on
// the "Print to PDF" printer. VARNHOLT_REPORT_PDFS names a folder that
// keeps the files for a person to look at.
TEST_F(ReportsTest, EveryCalculatorsReportPrintsToPdf) {
    Create();
    TrpPrinter& printers = rpPrinter();
    const int previousPrinter = printers.PrinterIndex;
    for (int i = 0; i < printers.VirtualPrinterIndex; ++i)
        if (printers.Printers[size_t(i)] == "Print to PDF") printers.SetPrinterIndex(i);
    ASSERT_TRUE(Printer()->IsPdfPrinter());
    const char* keep = std::getenv("VARNHOLT_REPORT_PDFS");
    const std::string folder = keep ? std::string(keep) : Dir.path().toStdString();

    const struct {
        const char* Sender;
        const char* Title;  // first word of the title
        const char* Value;  // a word of one of the values
    } reports[] = {
        {"btnMQ", "Mortgage", "$155,866.75"},
        {"btnRC", "Refinancing", "$786.70"},
        {"btnLSC", "Chart", "$786.70"},
        {"btnDEP", "Depreciation", "$100,000.00"},
        {"btnROR", "Rates", "$2,600.00"},
        {"btnCR", "Capitalization", "$1,075,268.82"},
        {"btnML", "Maximum", "$996,285.76"},
        {"btnIM", "Income", "$700,200.00"},
        {"btnUnderwriting", "Underwriting", "$57,500.00"},
        {"btnFV", "Future", "$22,956.86"},
        {"btnLC", "Loan", "$883.71"},
        {"btnDCF", "Discounted", "Present"},
        {"btnAS", "Loan", "$786.70"},
        {"btnAS", "Loan", "annual"},
    };
    for (const auto& r : reports) {
        SCOPED_TRACE(r.Sender);
        TrpReport* report = PrintSamples(r.Sender);
        ASSERT_NE(report, nullptr);
        // The last schedule prints again as its annual table.
        if (std::string(r.Value) == "annual") {
            Form->Page<TAmortizationPage>()->btnAnnualMonthlyClick(nullptr);
            Previewed.clear();
            Form->Print(nullptr);
            ASSERT_EQ(Previewed.size(), 1u);
            report = Previewed[0];
        }
        const std::string pdf = folder + "/" + report->GetName() + ".pdf";
        std::remove(pdf.c_str());
        Printer()->FileName = pdf;
        report->PrintPreparedReport("", 1, false, pwAll);
        Printer()->FileName.clear();

        std::vector<TPdfPage> pages = PdfWords(pdf);
        ASSERT_EQ(int(pages.size()), report->EMFPages->Count());
        for (const TPdfPage& page : pages) {
            EXPECT_NEAR(page.Width, 612, 1);
            EXPECT_NEAR(page.Height, 792, 1);
            // Nothing runs off the sheet.
            for (const TPdfWord& w : page.Words) {
                EXPECT_GE(w.X0, 0) << w.Text;
                EXPECT_LE(w.X1, page.Width) << w.Text;
                EXPECT_LE(w.Y1, page.Height) << w.Text;
            }
            // The footer and its disclaimer close every page.
            const TPdfWord* note = page.Find("NOTE:");
            ASSERT_NE(note, nullptr);
            EXPECT_GT(note->Y0, page.Height * 0.85);
            EXPECT_NE(page.Find("Varnholt,"), nullptr);
        }
        const TPdfWord* title = pages[0].Find(r.Title);
        const TPdfWord* value = pages[0].Find(std::string(r.Value) == "annual" ? "Period" : r.Value);
        ASSERT_TRUE(title && value);
        EXPECT_LT(title->Y1, value->Y0);
        EXPECT_LT(value->Y1, pages[0].Find("NOTE:")->Y0);
    }
    printers.SetPrinterIndex(previousPrinter);
}

}  // namespace
