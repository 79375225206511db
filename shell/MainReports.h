#pragma once
// The main window's reports: the print command's dispatch by page, each
// report's print routine (its memos filled from the page's fields), the
// single-page build and the table reports' data callbacks. The templates are
// resources/reports/*.txt, written into the window's definition at build time.

#include <string>
#include <vector>

#include "FormReader.h"

class TObject;
class TfrmMain;
class TrpPage;
class TrpReport;
class TStringGrid;
class Variant;
struct TReportMemo;

class TMainReports {
public:
    explicit TMainReports(TfrmMain& Main) : Main(Main) {}
    TMainReports(const TMainReports&) = delete;
    TMainReports& operator=(const TMainReports&) = delete;

    // Adds the print setup handler under the name the window definition binds.
    void RegisterHandlers(THandlerTable& Handlers);
    // The reports' builds and data callbacks, once the definition is read.
    void BindReports();

    // The report of the page shown, previewed.
    void Print();
    void MnuFilePrintSetupClick(TObject* Sender);
    // A table report's value callback: CellK (any case, K up to Cells) is the
    // grid's cell in column K - 1 of the record's row; other names are left alone.
    static void TableCellValue(TStringGrid* Grid, int Record, int Cells, const std::string& Name, Variant& Value);

private:
    void PrintAmortizationMonthly();
    void PrintAnnualAmortization();
    void PrintMortgageQualifier();
    void PrintRefinancingCalc();
    void PrintLSC();
    void PrintDepreciation();
    void PrintRatesOfReturn();
    void PrintCapitalizationRate();
    void PrintMaximumLoan();
    void PrintIncomeMultipliers();
    void PrintUnderwriting();
    void PrintFutureValues();
    void PrintLoanComparisons();
    void PrintDiscountedCashFlows();
    // The single-page reports' build: the title band, then the footer band.
    static void BuildSinglePageReport(TrpPage* Page);
    enum class TBanner { Shown, Empty };
    // The report with the memos every report shares set.
    TrpReport* StartReport(const char* Name, const std::string& Title, TBanner Banner);
    // Fills the memos, then builds and previews the report.
    void ShowFilledReport(TrpReport* Report, const std::vector<TReportMemo>& Memos);

    TfrmMain& Main;
};
