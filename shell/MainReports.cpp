// The main window's reports: the print command's dispatch, the print
// routines and the table reports' data callbacks.

#include "MainReports.h"

#include <string>
#include <vector>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Grids.h"
#include "LoanSpreadPage.h"
#include "Main.h"
#include "RP_Class.h"
#include "RP_DSet.h"
#include "RP_Prntr.h"
#include "NumCtrl.h"
#include "ReportValues.h"
#include "SysUtils.h"

namespace {

using F = TReportFormat;

// The maker's banner lines and web address on every report but the two
// amortization schedules.
const char* const SReportBanner1 = "Quorvane\xC2\xAE Software - www.quorvane.com";
const char* const SReportBanner2 = "Real estate finance calculators for buyers, owners and investors";
const char* const SReportURL = "http://www.quorvane.com";

// The table reports and the grids their rows come from.
struct TTableReport {
    const char* Report;
    const char* Dataset;
    const char* Grid;
    int Cells;
};
const TTableReport kTableReports[] = {
    {"rpAmortMonthly", "rpAmortMonthlyDataset", "grdAmortization", 8},
    {"rpAmortAnnual", "rpAmortAnnualDataset", "grdAnnualAmortization", 5},
    {"rpLSC", "rpLSCDataset", "grdLS", 8},
    {"rpDepreciation", "rpDepreciationDataset", "grdDepreciation", 4},
};

const char* const kSinglePageReports[] = {
    "rpMortgageQualifier", "rpRefinancingCalc", "rpRatesOfReturn", "rpCapitalizationRate", "rpMaximumLoan",
    "rpIncomeMultipliers", "rpUnderwriting",    "rpFutureValues",  "rpLoanComparisons",    "rpDiscountedCashFlows",
};

std::string N(int k) { return std::to_string(k); }

// Band types the single-page build prints.
constexpr int kReportTitleBand = 0, kPageFooterBand = 3;

}  // namespace

// ---- Wiring ----------------------------------------------------------------------------

void TMainReports::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "MnuFilePrintSetupClick", this, &TMainReports::MnuFilePrintSetupClick);
}

namespace {

// What every report's preview offers; four reports add the help button.
void SetUpPreview(TrpReport* Report) {
    Report->Context().SetPrinter(rpCreatePrinterLink());  // the printer chosen in the printer setup
    Report->ShowProgress = false;
    Report->InitialZoom = pzDefault;
    Report->PreviewButtons = rpButton(pbZoom) | rpButton(pbPrint) | rpButton(pbExit);
    for (const char* name : {"rpLoanComparisons", "rpFutureValues", "rpRatesOfReturn", "rpDepreciation"})
        if (Report->GetName() == name) Report->PreviewButtons |= rpButton(pbHelp);
}

}  // namespace

void TMainReports::BindReports() {
    for (const char* name : kSinglePageReports) {
        auto* report = NeedComponent<TrpReport>(&Main, name);
        SetUpPreview(report);
        report->OnManualBuild = [](TrpPage* page) { BuildSinglePageReport(page); };
    }
    for (const TTableReport& t : kTableReports) {
        auto* report = NeedComponent<TrpReport>(&Main, t.Report);
        SetUpPreview(report);
        auto* dataset = NeedComponent<TrpDataset>(&Main, t.Dataset);
        auto* grid = NeedComponent<TStringGrid>(&Main, t.Grid);
        const int cells = t.Cells;
        report->OnGetValue = [grid, dataset, cells](const std::string& name, Variant& value) {
            TableCellValue(grid, dataset->RecordNo, cells, name, value);
        };
        dataset->OnCheckEOF = [grid, dataset](TObject*, bool& eof) { eof = dataset->RecordNo >= grid->GetRowCount(); };
    }
}

// ---- Data callbacks ----------------------------------------------------------------------

void TMainReports::TableCellValue(TStringGrid* Grid, int Record, int Cells, const std::string& Name, Variant& Value) {
    for (int k = 1; k <= Cells; ++k)
        if (AnsiSameText(Name, "Cell" + N(k))) {
            Value = Grid->GetCells(k - 1, Record);
            return;
        }
}

// ---- Commands ------------------------------------------------------------------------------

void TMainReports::Print() {
    if (!Main.nbkMain || !Main.nbkMain->GetVisible()) return;
    using Routine = void (TMainReports::*)();
    static const struct {
        const char* Page;
        Routine Print;
    } kRoutines[] = {
        {"pgRatesOfReturn", &TMainReports::PrintRatesOfReturn},
        {"pgMortgageQualifier", &TMainReports::PrintMortgageQualifier},
        {"pgRefinancingCalculator", &TMainReports::PrintRefinancingCalc},
        {"pgFutureValues", &TMainReports::PrintFutureValues},
        {"pgLoanComparisons", &TMainReports::PrintLoanComparisons},
        {"pgDepreciation", &TMainReports::PrintDepreciation},
        {"pgDiscountedCashFlows", &TMainReports::PrintDiscountedCashFlows},
        {"pgLoanSpreadCalculator", &TMainReports::PrintLSC},
        {"pgCapitalizationRate", &TMainReports::PrintCapitalizationRate},
        {"pgMaximumLoan", &TMainReports::PrintMaximumLoan},
        {"pgIncomeMultipliers", &TMainReports::PrintIncomeMultipliers},
        {"pgUnderwriting", &TMainReports::PrintUnderwriting},
    };
    const std::string page = Main.ActivePageName();
    for (const auto& r : kRoutines)
        if (page == r.Page) {
            (this->*r.Print)();
            return;
        }
    if (page == "pgAmortizationSchedules") {
        if (NeedComponent<TControl>(&Main, "grdAmortization")->GetVisible())
            PrintAmortizationMonthly();
        else if (NeedComponent<TControl>(&Main, "grdAnnualAmortization")->GetVisible())
            PrintAnnualAmortization();
    }
}

void TMainReports::MnuFilePrintSetupClick(TObject*) {
    rpPrinterSetup(*NeedComponent<TPrinterSetupDialog>(&Main, "PrinterSetupDialog1"));
}

void TMainReports::BuildSinglePageReport(TrpPage* Page) {
    Page->ShowBandByType(kReportTitleBand);
    Page->ShowBandByType(kPageFooterBand);
}

// ---- Print routines ------------------------------------------------------------------------

TrpReport* TMainReports::StartReport(const char* Name, const std::string& Title, TBanner Banner) {
    auto* report = NeedComponent<TrpReport>(&Main, Name);
    SetReportMemo(report, "lblReportTitle", Title);
    SetReportMemo(report, "lblHeader1", Banner == TBanner::Shown ? SReportBanner1 : "");
    SetReportMemo(report, "lblHeader2", Banner == TBanner::Shown ? SReportBanner2 : "");
    SetReportMemo(report, "lblURL", SReportURL);
    SetReportMemo(report, "lblApplicationTitle", SProgramCaption);
    return report;
}

void TMainReports::ShowFilledReport(TrpReport* Report, const std::vector<TReportMemo>& Memos) {
    SetReportMemos(Report, &Main, Memos);
    Report->ShowReport();
}

namespace {

const std::vector<TReportMemo> kAmortizationMemos = {
    {"lblLoanAmount", "edtMortAmt", F::Text, ""},
    {"lblInterestRate", "edtIRate", F::Num3, "%"},
    {"lblTerm", "edtNumPmts", F::Text, ""},
    {"lblPayment", "edtAmortPayment", F::Text, ""},
};

}  // namespace

void TMainReports::PrintAmortizationMonthly() {
    ShowFilledReport(StartReport("rpAmortMonthly", "Loan Amortization Schedule - Monthly", TBanner::Empty),
                     kAmortizationMemos);
}

void TMainReports::PrintAnnualAmortization() {
    ShowFilledReport(StartReport("rpAmortAnnual", "Loan Amortization Schedule - Annual", TBanner::Empty),
                     kAmortizationMemos);
}

void TMainReports::PrintMortgageQualifier() {
    std::vector<TReportMemo> m = {
        {"lblHousingRatio", "edtHousingRatio", F::Gen, ""},
        {"lblDebtRatio", "edtDebtRatio", F::Gen, ""},
        {"lblYourHousingRatio", "edtCalculatedHousingRatio", F::Gen, ""},
        {"lblYourDebtRatio", "edtCalculatedDebtRatio", F::Gen, ""},
    };
    for (const char* k : {"1", "2"})
        for (const char* item : {"Income", "OIncome", "Auto", "Cards", "Notes"})
            m.push_back({std::string("lbl") + item + k, std::string("edt") + item + k, F::Money15, ""});
    m.push_back({"lblPropertyTaxes", "edtMQPropertyTaxes", F::Money15, ""});
    m.push_back({"lblHomeownersInsurance", "edtMQHomeownersInsurance", F::Money15, ""});
    m.push_back({"lblDownPayment", "edtMQDownPayment", F::Money15, ""});
    for (int k = 1; k <= 3; ++k) {
        m.push_back({"lblIR" + N(k), "edtMQir" + N(k), F::Gen, "%"});
        m.push_back({"lblterm" + N(k), "edtMQTerm" + N(k), F::Int, ""});
    }
    for (int k = 1; k <= 3; ++k) {
        m.push_back({"lblPayment" + N(k), "edtMQPayment" + N(k), F::Money15, ""});
        m.push_back({"lblLoanAmount" + N(k), "edtMQLoan" + N(k), F::Money15, ""});
    }
    for (int k = 1; k <= 3; ++k) m.push_back({"lblPrice" + N(k), "edtMQPurchasePrice" + N(k), F::Money15, ""});
    ShowFilledReport(StartReport("rpMortgageQualifier", "Mortgage Qualification", TBanner::Shown), m);
}

void TMainReports::PrintRefinancingCalc() {
    TrpReport* report = StartReport("rpRefinancingCalc", "Refinancing Calculation", TBanner::Shown);
    std::vector<TReportMemo> m = {
        {"lblOldBalance", "edtOldLoan", F::Money15, ""},
        {"lblOldTerm", "edtOldTerm", F::Int, ""},
        {"lblOldInterestRate", "edtOldInterestRate", F::Gen, "%"},
        {"lblOldPaymentsMade", "edtOldPaymentsMade", F::Int, ""},
        {"lblOldPayment", "edtOldPayment", F::Money15, ""},
        {"lblOldPaymentsRemaining", "edtOldPaymentsRemaining", F::Int, ""},
        {"lblNewLoan", "edtNewLoan", F::Money15, ""},
        {"lblNewTerm", "edtNewTerm", F::Int, ""},
        {"lblNewInterestRate", "edtNewInterestRate", F::Gen, "%"},
        {"lblRefiClosingCosts", "edtRefiClosingCosts", F::Money15, ""},
        {"lblMonthsUntilSell", "edtMonthsUntilSell", F::Int, ""},
        {"lblNewPayment", "edtNewPayment", F::Money15, ""},
        {"lblPaymentSaved", "edtPaymentSaved", F::Money15, ""},
        {"lblTotalPaymentSaved", "edtTotalPaymentSaved", F::Money15, ""},
        {"lblOldEquity", "edtOldEquity", F::Money15, ""},
        {"lblNewEquity", "edtNewEquity", F::Money15, ""},
        {"lblEquitySavings", "edtEquitySavings", F::Money15, ""},
        {"lblTotalSaved", "edtTotalSaved", F::Money15, ""},
        {"lblWhenYouSell", "LblSell", F::Text, " this refinancing scenario may save you money as indicated below:"},
    };
    ShowFilledReport(report, m);
}

void TMainReports::PrintLSC() {
    TrpReport* report = StartReport("rpLSC", "lblReportTitle", TBanner::Shown);
    const int mode = NeedComponent<TCustomRadioGroup>(&Main, "rgCalculate")->GetItemIndex();
    if (mode < 0 || mode > 3) {
        report->ShowReport();
        return;
    }
    const std::string loan = ReportValueText(&Main, "edtLoan", F::Money10);
    const std::string rate = ReportValueText(&Main, "edtInterest", F::Gen) + "%";
    const std::string term = ReportValueText(&Main, "edtTerm", F::Gen) + " months";
    const std::string payment = ReportValueText(&Main, "edtPayment", F::Money10);
    const TLoanSpreadPage& spread = *Main.Page<TLoanSpreadPage>();
    const std::string byLoan = "Loan Amounts incremented by " + spread.LoanIncrementText;
    const std::string byRate = "Interest Rates incremented by " + spread.RateIncrementText;
    const std::string byPayment = "Payment Amounts incremented by " + spread.PaymentIncrementText;
    struct TModeTexts {
        const char* Title;
        std::string X, Y, Cap1, One, Cap2, Two, Cap3, Three;
    };
    const TModeTexts modes[4] = {
        {"Chart of Monthly Payments", byLoan, byRate, "Loan Amount:", loan, "Interest Rate:", rate, "Term:", term},
        {"Chart of Loan Amounts", byPayment, byRate, "Term:", term, "Interest Rate:", rate, "Payment:", payment},
        {"Chart of Interest Rates", byLoan, byPayment, "Loan Amount:", loan, "Payment:", payment, "Term:", term},
        {"Chart of Terms in Months", byLoan, byPayment, "Loan Amount:", loan, "Interest Rate:", rate,
         "Payment:", payment},
    };
    const TModeTexts& t = modes[mode];
    SetReportMemo(report, "lblReportTitle", t.Title);
    SetReportMemo(report, "lblX", t.X);
    SetReportMemo(report, "lblY", t.Y);
    SetReportMemo(report, "lbl1", t.Cap1);
    SetReportMemo(report, "lblOne", t.One);
    SetReportMemo(report, "lbl2", t.Cap2);
    SetReportMemo(report, "lblTwo", t.Two);
    SetReportMemo(report, "lbl3", t.Cap3);
    SetReportMemo(report, "lblThree", t.Three);
    ShowFilledReport(report, {{"lblInterestPaid", "edtInterestPaid", F::Money10, ""},
                              {"lblTotalPaid", "edtTotalPaid", F::Money10, ""}});
}

void TMainReports::PrintDepreciation() {
    TrpReport* report = StartReport("rpDepreciation", "Depreciation Schedule", TBanner::Shown);
    SetReportMemos(report, &Main,
                   {{"lblOriginalCost", "edtOriginalCost", F::Money10, ""},
                    {"lblSalvageValue", "edtSalvageValue", F::Money10, ""},
                    {"lblDepreciationPeriod", "edtDepreciationPeriod", F::Int, " years"}});
    static const char* const kMethods[] = {"Straight Line", "Double Declining Balance", "Sum of Years Digits"};
    const int method = NeedComponent<TCustomRadioGroup>(&Main, "rgDepreciationMethod")->GetItemIndex();
    SetReportMemo(report, "lblDepreciationMethod", method >= 0 && method <= 2 ? kMethods[method] : "");
    report->ShowReport();
}

void TMainReports::PrintRatesOfReturn() {
    std::vector<TReportMemo> m;
    for (int k = 1; k <= 5; ++k) {
        m.push_back({"lblRorBV" + N(k), "edtRORBV" + N(k), F::Money15, ""});
        m.push_back({"lblRorEV" + N(k), "edtROREV" + N(k), F::Money15, ""});
        m.push_back({"lblRorDV" + N(k), "edtRORDV" + N(k), F::Money15, ""});
        m.push_back({"lblRor" + N(k), "edtROR" + N(k), F::Num3, "%"});
    }
    ShowFilledReport(StartReport("rpRatesOfReturn", "Rates of Return", TBanner::Shown), m);
}

void TMainReports::PrintCapitalizationRate() {
    ShowFilledReport(StartReport("rpCapitalizationRate", "Capitalization Rate", TBanner::Shown),
                     {{"lblMarketValue", "edtCRMarketValue", F::Money10, ""},
                      {"lblNetOperatingIncome", "edtCRNOI", F::Money10, ""},
                      {"lblSimpleCapitalizationRate", "edtCRCapRate", F::Num3, "%"},
                      {"lblFinancingLTV", "edtCRFinancingLTV", F::Num3, "%"},
                      {"lblFinancingRate", "edtCRFinancingRate", F::Num3, "%"},
                      {"lblFinancingTerm", "edtCRFinancingTerm", F::Text, ""},
                      {"lblFinancingMortgageConstant", "edtCRFinancingMortgageConstant", F::Num9, ""},
                      {"lblFinancingCapRate", "edtCRFinancingCapRate", F::Num9, "%"},
                      {"lblEquityLTV", "edtCREquityLTV", F::Num3, "%"},
                      {"lblEquityRate", "edtCREquityRate", F::Num3, "%"},
                      {"lblEquityCapRate", "edtCREquityCapRate", F::Num9, "%"},
                      {"lblDerivedCapRate", "edtCRDerivedCapRate", F::Num9, "%"},
                      {"lblNOI", "edtCRNetOI", F::Money10, ""},
                      {"lblCapRate", "edtCRCapitalizationRate", F::Num9, "%"},
                      {"lblPropertyValue", "edtCRValueOfProperty", F::Money10, ""}});
}

void TMainReports::PrintMaximumLoan() {
    ShowFilledReport(StartReport("rpMaximumLoan", "Maximum Loan", TBanner::Shown),
                     {{"lblNetOperatingIncome", "edtMLNOI", F::Money10, ""},
                      {"lblLendersDebtCoverageRatio", "edtMLLendersDebtCoverageRatio", F::Num3, ""},
                      {"lblTermOfLoanInMonths", "edtMLTerm", F::Text, ""},
                      {"lblLoanInterestRate", "edtMLInterestRate", F::Num3, "%"},
                      {"lblMaximumLoan", "edtMLMaximumLoan", F::Money10, ""}});
}

void TMainReports::PrintIncomeMultipliers() {
    ShowFilledReport(StartReport("rpIncomeMultipliers", "Income Multipliers", TBanner::Shown),
                     {{"lbl1MarketValue", "edtIM1MarketValue", F::Money10, ""},
                      {"lbl1RentIncome", "edtIM1RentIncome", F::Money10, ""},
                      {"lbl1GrossRentMultiplier", "edtIM1GrossRentMultiplier", F::Num3, "%"},
                      {"lbl2RentIncome", "edtIM2RentIncome", F::Money10, ""},
                      {"lbl2GrossRentMultiplier", "edtIM2GrossRentMultiplier", F::Num3, "%"},
                      {"lbl2MarketValue", "edtIM2MarketValue", F::Money10, ""},
                      {"lbl3NOI", "edtIM3NOI", F::Money10, ""},
                      {"lbl3MarketValue", "edtIM3MarketValue", F::Money10, ""},
                      {"lbl3NetIncomeMultiplier", "edtIM3NetIncomeMultiplier", F::Num3, "%"},
                      {"lbl4NOI", "edtIM4NOI", F::Money10, ""},
                      {"lbl4NetIncomeMultiplier", "edtIM4NetIncomeMultiplier", F::Num3, "%"},
                      {"lbl4MarketValue", "edtIM4MarketValue", F::Money10, ""}});
}

void TMainReports::PrintUnderwriting() {
    ShowFilledReport(StartReport("rpUnderwriting", "Underwriting", TBanner::Shown),
                     {{"lbl1PropertyValue", "edtU1PropertyValue", F::Money10, ""},
                      {"lbl1LoanAmount", "edtU1LoanAmount", F::Money10, ""},
                      {"lbl1LTV", "edtU1LTV", F::Num3, "%"},
                      {"lbl3NOI", "edtU3NOI", F::Money10, ""},
                      {"lbl3LoanAmount", "edtU3LoanAmount", F::Money10, ""},
                      {"lbl3InterestRate", "edtU3InterestRate", F::Num3, "%"},
                      {"lbl3Term", "edtU3Term", F::Text, ""},
                      {"lbl3DebtCoverageRatio", "edtU3DebtCoverageRatio", F::Num3, ""},
                      {"lbl2NOI", "edtU2NOI", F::Money10, ""},
                      {"lbl2AnnualDebtService", "edtU2AnnualDebtService", F::Money10, ""},
                      {"lbl2DebtCoverageRatio", "edtU2DebtCoverageRatio", F::Num3, ""},
                      {"lbl4GrossOperatingIncome", "edtU4GrossOperatingIncome", F::Money10, ""},
                      {"lbl4AnnualDebtService", "edtU4AnnualDebtService", F::Money10, ""},
                      {"lbl4OperatingExpenses", "edtU4OperatingExpenses", F::Money10, ""},
                      {"lbl4BreakEvenRatio", "edtU4BreakEvenRatio", F::Num3, "%"}});
}

void TMainReports::PrintFutureValues() {
    std::vector<TReportMemo> m;
    for (int k = 1; k <= 5; ++k) {
        m.push_back({"lblP" + N(k), "edtFVp" + N(k), F::Money15, ""});
        m.push_back({"lblct" + N(k), "cbCompounding" + N(k), F::Text, ""});
        m.push_back({"lblfvpmt" + N(k), "edtFVpmt" + N(k), F::Money15, ""});
        m.push_back({"lblrate" + N(k), "edtFVir" + N(k), F::Num3, "%"});
        m.push_back({"lblper" + N(k), "edtFVn" + N(k), k == 1 ? F::Text : F::Gen, ""});
        m.push_back({"lblfvsi" + N(k), "edtFV" + N(k), F::Money15, ""});
    }
    ShowFilledReport(StartReport("rpFutureValues", "Future Values", TBanner::Shown), m);
}

void TMainReports::PrintLoanComparisons() {
    TrpReport* report = StartReport("rpLoanComparisons", "Loan Comparisons", TBanner::Shown);
    for (int k = 1; k <= 6; ++k) {
        SetReportMemos(report, &Main, {{"lblLoanAmount" + N(k), "edtLCLoan" + N(k), F::Money15, ""}});
        // The rate edit holds a fraction and shows it as a percentage.
        if (report->FindObject("lblInterestRate" + N(k))) {
            auto* rate = NeedComponent<TNumEdit>(&Main, "edtLCInterest" + N(k));
            SetReportMemo(report, "lblInterestRate" + N(k), FormatReportNumber(rate->GetValue() * 100, F::Gen) + "%");
        }
        SetReportMemos(report, &Main,
                       {{"lblNumberPayments" + N(k), "edtLCTerm" + N(k), F::Text, ""},
                        {"lblLCPoints" + N(k), "edtLCPoints" + N(k), F::Gen, "%"},
                        {"lblPaymentAmount" + N(k), "edtLCPayment" + N(k), F::Money15, ""},
                        {"lblTotalPaid" + N(k), "edtLCTotalPaid" + N(k), F::Money15, ""},
                        {"lblLoanCost" + N(k), "edtLCLoanCost" + N(k), F::Money15, ""},
                        {"lblLCPointsCost" + N(k), "edtLCPointsCost" + N(k), F::Money15, ""}});
    }
    report->ShowReport();
}

void TMainReports::PrintDiscountedCashFlows() {
    std::vector<TReportMemo> m;
    for (int k = 1; k <= 30; ++k) m.push_back({"lblCF" + N(k), "edtDCFYear" + N(k), F::Money10, ""});
    for (int k = 1; k <= 5; ++k) m.push_back({"lblDR" + N(k), "edtDiscountRate" + N(k), F::Gen6, "%"});
    for (int k = 1; k <= 5; ++k) m.push_back({"lblPV" + N(k), "edtNPV" + N(k), F::Money10, ""});
    ShowFilledReport(StartReport("rpDiscountedCashFlows", "Discounted Cash Flows", TBanner::Shown), m);
}
