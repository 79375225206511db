// The calculator file: the line table, writing and reading.

#include "CalcFile.h"

#include <cstdint>

#include <algorithm>
#include <cmath>
#include <vector>

#include "AmortizationPage.h"
#include "ExtCtrls.h"
#include "FnpNumericEdit.h"
#include "Grids.h"
#include "Main.h"
#include "NumCtrl.h"
#include "StdCtrls.h"
#include "entpf.h"

const std::array<TFileLine, CalcFileValueCount>& CalcFileLines() {
    using K = TFileValueKind;
    static const std::array<TFileLine, CalcFileValueCount> lines{{
        // Settings values
        {"DefaultValueSet", K::SettingInteger},
        {"DefaultLoan", K::SettingFloat},
        {"DefaultInterest", K::SettingFloat},
        {"DefaultTerm", K::SettingInteger},
        {"DefaultPayment", K::SettingFloat},
        {"DefaultFederal", K::SettingFloat},
        {"DefaultState", K::SettingFloat},
        {"DefaultDownpayment", K::SettingFloat},
        {"DefaultCalc", K::SettingInteger},
        // Quick calculators
        {"edtLA", K::Float},
        {"edtIR", K::Float},
        {"edtPMT", K::Float},
        {"edtN", K::Integer},
        {"edtMPISalesPrice", K::Float},
        {"edtMPIDownPaymentSum", K::Float},
        {"edtMPIDownPaymentPercent", K::Float},
        {"edtMPILoanAmount", K::Float},
        {"edtMPIInterestRate", K::Float},
        {"edtMPITermInMonths", K::Integer},
        {"edtMPIPayment", K::Float},
        // Mortgage qualifier
        {"edtIncome1", K::Float},
        {"edtOIncome1", K::Float},
        {"edtNotes1", K::Float},
        {"edtAuto1", K::Float},
        {"edtCards1", K::Float},
        {"edtIncome2", K::Float},
        {"edtOIncome2", K::Float},
        {"edtNotes2", K::Float},
        {"edtAuto2", K::Float},
        {"edtCards2", K::Float},
        {"edtMQDownPayment", K::Float},
        {"edtHousingRatio", K::Float},
        {"edtDebtRatio", K::Float},
        {"edtMQir1", K::Float},
        {"edtMQir2", K::Float},
        {"edtMQir3", K::Float},
        {"edtMQTerm1", K::Integer},
        {"edtMQTerm2", K::Integer},
        {"edtMQTerm3", K::Integer},
        {"edtMQPayment1", K::Float},
        {"edtMQPayment2", K::Float},
        {"edtMQPayment3", K::Float},
        {"edtMQLoan1", K::Float},
        {"edtMQLoan2", K::Float},
        {"edtMQLoan3", K::Float},
        {"edtMQPurchasePrice1", K::Float},
        {"edtMQPurchasePrice2", K::Float},
        {"edtMQPurchasePrice3", K::Float},
        // Refinancing
        {"edtOldLoan", K::Float},
        {"edtOldTerm", K::Integer},
        {"edtOldInterestRate", K::Float},
        {"edtOldPaymentsMade", K::Integer},
        {"edtOldPaymentsRemaining", K::Integer},
        {"edtOldPayment", K::Float},
        {"edtNewLoan", K::Float},
        {"edtNewTerm", K::Integer},
        {"edtNewInterestRate", K::Float},
        {"edtRefiClosingCosts", K::Float},
        {"edtMonthsUntilSell", K::Integer},
        {"edtNewPayment", K::Float},
        {"edtPaymentSaved", K::Float},
        {"edtTotalPaymentSaved", K::Float},
        {"edtOldEquity", K::Float},
        {"edtNewEquity", K::Float},
        {"edtEquitySavings", K::Float},
        {"edtTotalSaved", K::Float},
        // Closing costs
        {"edtDiscountPoints", K::Float},
        {"edtOriginationPoints", K::Float},
        {"edtCreditCheck", K::Float},
        {"edtAttyFeeY", K::Float},
        {"edtAttyFeeL", K::Float},
        {"edtTitleSearchFee", K::Float},
        {"edtTitleInsuranceFee", K::Float},
        {"edtAppraisalFee", K::Float},
        {"edtInspections", K::Float},
        {"edtLocalFees", K::Float},
        {"edtOtherFees", K::Float},
        {"edtPrepaymentPenalty", K::Float},
        // Loan spread
        {"edtLoan", K::Float},
        {"edtInterest", K::Float},
        {"edtTerm", K::Integer},
        {"edtPayment", K::Float},
        {"rgCalculate", K::ItemIndex},
        {"rgLoan", K::ItemIndex},
        {"rgPayments", K::ItemIndex},
        {"rgInterest", K::ItemIndex},
        // Amortization schedules
        {"edtMortAmt", K::Float},
        {"edtIRate", K::Float},
        {"edtNumPmts", K::Integer},
        {"edtAmortPayment", K::Float},
        {"cbMonth", K::ComboText},
        {"edtYear", K::Integer},
        // Loan comparisons
        {"edtLCLoan1", K::Float},
        {"edtLCInterest1", K::NumEditValue},
        {"edtLCTerm1", K::Integer},
        {"edtLCPoints1", K::NumEditValue},
        {"edtLCPayment1", K::Float},
        {"edtLCTotalPaid1", K::Float},
        {"edtLCLoanCost1", K::Float},
        {"edtLCPointsCost1", K::Float},
        {"edtLCLoan2", K::Float},
        {"edtLCInterest2", K::NumEditValue},
        {"edtLCTerm2", K::Integer},
        {"edtLCPoints2", K::NumEditValue},
        {"edtLCPayment2", K::Float},
        {"edtLCTotalPaid2", K::Float},
        {"edtLCLoanCost2", K::Float},
        {"edtLCPointsCost2", K::Float},
        {"edtLCLoan3", K::Float},
        {"edtLCInterest3", K::NumEditValue},
        {"edtLCTerm3", K::Integer},
        {"edtLCPoints3", K::NumEditValue},
        {"edtLCPayment3", K::Float},
        {"edtLCTotalPaid3", K::Float},
        {"edtLCLoanCost3", K::Float},
        {"edtLCPointsCost3", K::Float},
        {"edtLCLoan4", K::Float},
        {"edtLCInterest4", K::NumEditValue},
        {"edtLCTerm4", K::Integer},
        {"edtLCPoints4", K::NumEditValue},
        {"edtLCPayment4", K::Float},
        {"edtLCTotalPaid4", K::Float},
        {"edtLCLoanCost4", K::Float},
        {"edtLCPointsCost4", K::Float},
        {"edtLCLoan5", K::Float},
        {"edtLCInterest5", K::NumEditValue},
        {"edtLCTerm5", K::Integer},
        {"edtLCPoints5", K::NumEditValue},
        {"edtLCPayment5", K::Float},
        {"edtLCTotalPaid5", K::Float},
        {"edtLCLoanCost5", K::Float},
        {"edtLCPointsCost5", K::Float},
        {"edtLCLoan6", K::Float},
        {"edtLCInterest6", K::NumEditValue},
        {"edtLCTerm6", K::Integer},
        {"edtLCPoints6", K::NumEditValue},
        {"edtLCPayment6", K::Float},
        {"edtLCTotalPaid6", K::Float},
        {"edtLCLoanCost6", K::Float},
        {"edtLCPointsCost6", K::Float},
        // Future values
        {"edtFVp1", K::Float},
        {"cbCompounding1", K::ComboText},
        {"edtFVpmt1", K::Float},
        {"edtFVir1", K::FnpFloat},
        {"edtFVn1", K::FnpFloat},
        {"edtFV1", K::Float},
        {"edtFVp2", K::Float},
        {"cbCompounding2", K::ComboText},
        {"edtFVpmt2", K::Float},
        {"edtFVir2", K::FnpFloat},
        {"edtFVn2", K::FnpFloat},
        {"edtFV2", K::Float},
        {"edtFVp3", K::Float},
        {"cbCompounding3", K::ComboText},
        {"edtFVpmt3", K::Float},
        {"edtFVir3", K::FnpFloat},
        {"edtFVn3", K::FnpFloat},
        {"edtFV3", K::Float},
        {"edtFVp4", K::Float},
        {"cbCompounding4", K::ComboText},
        {"edtFVpmt4", K::Float},
        {"edtFVir4", K::FnpFloat},
        {"edtFVn4", K::FnpFloat},
        {"edtFV4", K::Float},
        {"edtFVp5", K::Float},
        {"cbCompounding5", K::ComboText},
        {"edtFVpmt5", K::Float},
        {"edtFVir5", K::FnpFloat},
        {"edtFVn5", K::FnpFloat},
        {"edtFV5", K::Float},
        // Depreciation
        {"edtOriginalCost", K::Float},
        {"edtSalvageValue", K::Float},
        {"edtDepreciationPeriod", K::Integer},
        {"edtTotalDepreciated", K::Float},
        {"rgDepreciationMethod", K::ItemIndex},
        // Rates of return
        {"edtRORBV1", K::Float},
        {"edtROREV1", K::Float},
        {"edtRORDV1", K::Float},
        {"edtROR1", K::Float},
        {"edtRORBV2", K::Float},
        {"edtROREV2", K::Float},
        {"edtRORDV2", K::Float},
        {"edtROR2", K::Float},
        {"edtRORBV3", K::Float},
        {"edtROREV3", K::Float},
        {"edtRORDV3", K::Float},
        {"edtROR3", K::Float},
        {"edtRORBV4", K::Float},
        {"edtROREV4", K::Float},
        {"edtRORDV4", K::Float},
        {"edtROR4", K::Float},
        {"edtRORBV5", K::Float},
        {"edtROREV5", K::Float},
        {"edtRORDV5", K::Float},
        {"edtROR5", K::Float},
        // Discounted cash flows
        {"edtDCFYear1", K::Float},
        {"edtDCFYear2", K::Float},
        {"edtDCFYear3", K::Float},
        {"edtDCFYear4", K::Float},
        {"edtDCFYear5", K::Float},
        {"edtDCFYear6", K::Float},
        {"edtDCFYear7", K::Float},
        {"edtDCFYear8", K::Float},
        {"edtDCFYear9", K::Float},
        {"edtDCFYear10", K::Float},
        {"edtDCFYear11", K::Float},
        {"edtDCFYear12", K::Float},
        {"edtDCFYear13", K::Float},
        {"edtDCFYear14", K::Float},
        {"edtDCFYear15", K::Float},
        {"edtDCFYear16", K::Float},
        {"edtDCFYear17", K::Float},
        {"edtDCFYear18", K::Float},
        {"edtDCFYear19", K::Float},
        {"edtDCFYear20", K::Float},
        {"edtDCFYear21", K::Float},
        {"edtDCFYear22", K::Float},
        {"edtDCFYear23", K::Float},
        {"edtDCFYear24", K::Float},
        {"edtDCFYear25", K::Float},
        {"edtDCFYear26", K::Float},
        {"edtDCFYear27", K::Float},
        {"edtDCFYear28", K::Float},
        {"edtDCFYear29", K::Float},
        {"edtDCFYear30", K::Float},
        {"edtDiscountRate1", K::Float},
        {"edtDiscountRate2", K::Float},
        {"edtDiscountRate3", K::Float},
        {"edtDiscountRate4", K::Float},
        {"edtDiscountRate5", K::Float},
        {"edtNPV1", K::Float},
        {"edtNPV2", K::Float},
        {"edtNPV3", K::Float},
        {"edtNPV4", K::Float},
        {"edtNPV5", K::Float},
        // Mortgage qualifier
        {"edtMQPropertyTaxes", K::Float},
        {"edtMQHomeownersInsurance", K::Float},
        // Capitalization rate
        {"edtCRMarketValue", K::Float},
        {"edtCRNOI", K::Float},
        {"edtCRCapRate", K::Float},
        {"edtCRFinancingLTV", K::Float},
        {"edtCRFinancingRate", K::Float},
        {"edtCRFinancingTerm", K::FnpInteger},
        {"edtCRFinancingMortgageConstant", K::Float},
        {"edtCRFinancingCapRate", K::Float},
        {"edtCREquityLTV", K::Float},
        {"edtCREquityRate", K::Float},
        {"edtCREquityCapRate", K::Float},
        {"edtCRDerivedCapRate", K::Float},
        {"edtCRNetOI", K::Float},
        {"edtCRCapitalizationRate", K::Float},
        {"edtCRValueOfProperty", K::Float},
        // Income multipliers
        {"edtIM1MarketValue", K::Float},
        {"edtIM1RentIncome", K::Float},
        {"edtIM1GrossRentMultiplier", K::Float},
        {"edtIM2RentIncome", K::Float},
        {"edtIM2GrossRentMultiplier", K::Float},
        {"edtIM2MarketValue", K::Float},
        {"edtIM3NOI", K::Float},
        {"edtIM3MarketValue", K::Float},
        {"edtIM3NetIncomeMultiplier", K::Float},
        {"edtIM4NOI", K::Float},
        {"edtIM4NetIncomeMultiplier", K::Float},
        {"edtIM4MarketValue", K::Float},
        // Maximum loan
        {"edtMLNOI", K::Float},
        {"edtMLLendersDebtCoverageRatio", K::Float},
        {"edtMLTerm", K::FnpInteger},
        {"edtMLInterestRate", K::Float},
        {"edtMLMaximumLoan", K::Float},
        // Underwriting
        {"edtU1PropertyValue", K::Float},
        {"edtU1LoanAmount", K::Float},
        {"edtU1LTV", K::Float},
        {"edtU3NOI", K::Float},
        {"edtU3LoanAmount", K::Float},
        {"edtU3InterestRate", K::Float},
        {"edtU3Term", K::FnpInteger},
        {"edtU3DebtCoverageRatio", K::Float},
        {"edtU2NOI", K::Float},
        {"edtU2AnnualDebtService", K::Float},
        {"edtU2DebtCoverageRatio", K::Float},
        {"edtU4GrossOperatingIncome", K::Float},
        {"edtU4AnnualDebtService", K::Float},
        {"edtU4OperatingExpenses", K::Float},
        {"edtU4BreakEvenRatio", K::Float},
    }};
    return lines;
}

namespace {

const char* const CRLF = "\r\n";

// The window's own values that the file carries, by name.
int* SettingInteger(TfrmMain& Main, const std::string& Name) {
    if (Name == "DefaultValueSet") return &Main.Defaults.ValueSet;
    if (Name == "DefaultTerm") return &Main.Defaults.Term;
    if (Name == "DefaultCalc") return &Main.Defaults.Calc;
    return nullptr;
}

double* SettingFloat(TfrmMain& Main, const std::string& Name) {
    if (Name == "DefaultLoan") return &Main.Defaults.Loan;
    if (Name == "DefaultInterest") return &Main.Defaults.Interest;
    if (Name == "DefaultPayment") return &Main.Defaults.Payment;
    if (Name == "DefaultFederal") return &Main.Defaults.Federal;
    if (Name == "DefaultState") return &Main.Defaults.State;
    if (Name == "DefaultDownpayment") return &Main.Defaults.Downpayment;
    return nullptr;
}

template <class T>
T* Component(TfrmMain& Main, const char* Name) {
    return dynamic_cast<T*>(Main.FindComponent(Name));
}

std::string FloatText(long double Value) { return FloatToStrF(Value, ffGeneral, 15, 0); }

// The value of one line as text; a component the window lacks writes its zero.
std::string ValueText(TfrmMain& Main, const TFileLine& Line) {
    using K = TFileValueKind;
    switch (Line.Kind) {
    case K::SettingInteger:
        if (int* v = SettingInteger(Main, Line.Name)) return IntToStr(*v);
        break;
    case K::SettingFloat:
        if (double* v = SettingFloat(Main, Line.Name)) return FloatText(*v);
        break;
    case K::Float:
        if (auto* f = Component<TEntBaseEntryField>(Main, Line.Name)) return FloatText(f->GetAsFloat());
        break;
    case K::Integer:
        if (auto* f = Component<TEntBaseEntryField>(Main, Line.Name)) return IntToStr(f->GetAsInteger());
        break;
    case K::NumEditValue:
        if (auto* e = Component<TNumEdit>(Main, Line.Name)) return FloatText(e->GetValue());
        break;
    case K::FnpFloat:
        if (auto* e = Component<TFnpNumericEdit>(Main, Line.Name)) return FloatText(e->GetAsFloat());
        break;
    case K::FnpInteger:
        if (auto* e = Component<TFnpNumericEdit>(Main, Line.Name)) return IntToStr(e->GetAsInteger());
        break;
    case K::ComboText:
        if (auto* c = Component<TCustomComboBox>(Main, Line.Name)) return c->GetText();
        return {};
    case K::ItemIndex:
        if (auto* g = Component<TCustomRadioGroup>(Main, Line.Name)) return IntToStr(g->GetItemIndex());
        break;
    }
    return "0";
}

bool IsIntegerKind(TFileValueKind Kind) {
    using K = TFileValueKind;
    return Kind == K::SettingInteger || Kind == K::Integer || Kind == K::FnpInteger || Kind == K::ItemIndex;
}

// The file's lines; a line end at the very end of the text starts no new line.
std::vector<std::string> SplitLines(const std::string& Text) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < Text.size()) {
        size_t lf = Text.find('\n', start);
        size_t end = lf == std::string::npos ? Text.size() : lf;
        std::string line = Text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        if (lf == std::string::npos) break;
        start = lf + 1;
    }
    return lines;
}

// The text before the first space, which is taken off the line with that
// space; with no space left the word is empty and the line stays.
std::string TakeWord(std::string& Line) {
    const size_t space = Line.find(' ');
    if (space == std::string::npos) return {};
    std::string word = TrimRight(Line.substr(0, space));
    Line.erase(0, space + 1);
    return word;
}

}  // namespace

std::string AmortizationGridFileText(TComponent* Root) {
    std::string text;
    auto* grid = dynamic_cast<TStringGrid*>(Root->FindComponent("grdAmortization"));
    if (!grid) return text;
    for (int r = 1; r < grid->GetRowCount(); ++r) {
        text += CRLF;
        for (int c = 0; c < 8; ++c) {
            if (c > 0) text += ' ';
            text += grid->GetCells(c, r);
        }
    }
    return text;
}

std::string CalculatorFileText(TfrmMain& Main) {
    std::string text;
    for (const TFileLine& line : CalcFileLines()) {
        text += ValueText(Main, line);
        text += CRLF;
    }
    Main.Page<TAmortizationPage>()->AmortizationGridText = AmortizationGridFileText(&Main);
    return text + Main.Page<TAmortizationPage>()->AmortizationGridText;
}

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool HasDigit(const std::string& s) { return std::any_of(s.begin(), s.end(), IsDigit); }

// Regroups the blank-separated words of the six money cells of a grid line. Under regional
// settings whose money texts hold blanks (a blank thousands separator, a currency sign after a
// blank) one amount spans several words: a word without digits (the sign) belongs to the amount
// it precedes or follows, as the first amount shows, and three digits after an amount that has
// no decimal separator yet continue it.
// Returns false unless the words make exactly six amounts.
bool GroupMoneyWords(const std::string& Rest, char DecimalSeparator, std::array<std::string, 8>& Cells) {
    std::vector<std::string> amounts;
    bool signLeads = false;  // "€ 1,00" rather than "1,00 €"
    size_t pos = 0;
    while (pos < Rest.size()) {
        size_t end = Rest.find(' ', pos);
        std::string word = TrimRight(Rest.substr(pos, end == std::string::npos ? std::string::npos : end - pos));
        pos = end == std::string::npos ? Rest.size() : end + 1;
        if (word.empty()) continue;
        bool joins = false;
        if (amounts.empty()) {
            signLeads = !HasDigit(word);
        } else {
            const std::string& current = amounts.back();
            const bool thousands = word.size() >= 3 && std::all_of(word.begin(), word.begin() + 3, IsDigit) &&
                                   (word.size() == 3 || !IsDigit(word[3]));
            if (!HasDigit(word))
                joins = !signLeads;
            else
                joins = !HasDigit(current) || (thousands && current.find(DecimalSeparator) == std::string::npos);
        }
        if (joins)
            amounts.back() += " " + word;
        else
            amounts.push_back(word);
    }
    if (amounts.size() != 6) return false;
    for (size_t c = 0; c < 6; ++c) Cells[c + 2] = amounts[c];
    return true;
}

}  // namespace

std::array<std::string, 8> SplitGridLine(std::string Line, char DecimalSeparator) {
    std::array<std::string, 8> cells;
    cells[0] = TakeWord(Line);
    cells[1] = TakeWord(Line);
    cells[1] += " " + TakeWord(Line);
    if (GroupMoneyWords(Line, DecimalSeparator, cells)) return cells;
    for (int c = 2; c <= 6; ++c) cells[size_t(c)] = TakeWord(Line);
    cells[7] = TrimRight(Line);
    return cells;
}

TCalcFileContents ParseCalculatorFile(const std::string& Text, const TFormatSettings& Settings) {
    const std::vector<std::string> lines = SplitLines(Text);
    TCalcFileContents contents;
    contents.Values.resize(CalcFileValueCount);
    for (int i = 0; i < CalcFileValueCount; ++i) {
        const TFileLine& spec = CalcFileLines()[size_t(i)];
        if (i >= int(lines.size()))
            throw ECalcFileError("The file ends at line " + IntToStr(int(lines.size())) + "; line " + IntToStr(i + 1) +
                                 " (" + spec.Name + ") is missing.");
        const std::string& text = lines[size_t(i)];
        TFileValue& value = contents.Values[size_t(i)];
        if (spec.Kind == TFileValueKind::ComboText) {
            value.Text = text;
            continue;
        }
        bool ok;
        if (IsIntegerKind(spec.Kind)) {
            int n = 0;
            ok = TryStrToInt(text, n);
            value.Number = n;
        } else {
            ok = TryStrToFloat(text, value.Number, Settings) && std::isfinite(value.Number);
        }
        if (!ok)
            throw ECalcFileError("Line " + IntToStr(i + 1) + " (" + spec.Name + ") holds '" + text +
                                 "', which is not " + (IsIntegerKind(spec.Kind) ? "a whole number." : "a number."));
    }
    for (size_t i = CalcFileGridStart; i < lines.size(); ++i)
        contents.GridRows.push_back(SplitGridLine(lines[i], Settings.DecimalSeparator));
    return contents;
}

void ApplyCalculatorFile(TfrmMain& Main, const TCalcFileContents& Contents) {
    using K = TFileValueKind;
    for (int i = 0; i < CalcFileValueCount; ++i) {
        const TFileLine& line = CalcFileLines()[size_t(i)];
        const TFileValue& v = Contents.Values[size_t(i)];
        // Only the integer lines are read as whole numbers; a float line may
        // hold a value no 32-bit integer can (converting it is undefined).
        const int32_t whole = v.Number >= INT32_MIN && v.Number <= INT32_MAX ? static_cast<int32_t>(v.Number) : 0;
        switch (line.Kind) {
        case K::SettingInteger:
            if (int* p = SettingInteger(Main, line.Name)) *p = whole;
            break;
        case K::SettingFloat:
            if (double* p = SettingFloat(Main, line.Name)) *p = static_cast<double>(v.Number);
            break;
        case K::Float:
            if (auto* f = Component<TEntBaseEntryField>(Main, line.Name)) f->SetAsFloat(static_cast<double>(v.Number));
            break;
        case K::Integer:
            if (auto* f = Component<TEntBaseEntryField>(Main, line.Name)) f->SetAsInteger(whole);
            break;
        case K::NumEditValue:
            if (auto* e = Component<TNumEdit>(Main, line.Name)) e->SetValue(v.Number);
            break;
        case K::FnpFloat:
            if (auto* e = Component<TFnpNumericEdit>(Main, line.Name)) e->SetAsFloat(static_cast<double>(v.Number));
            break;
        case K::FnpInteger:
            if (auto* e = Component<TFnpNumericEdit>(Main, line.Name)) e->SetAsInteger(whole);
            break;
        case K::ComboText:
            if (auto* c = Component<TCustomComboBox>(Main, line.Name)) c->SetText(v.Text);
            break;
        case K::ItemIndex:
            if (auto* g = Component<TCustomRadioGroup>(Main, line.Name)) g->SetItemIndex(whole);
            break;
        }
    }
    if (auto* grid = Component<TStringGrid>(Main, "grdAmortization")) {
        grid->SetRowCount(1 + int(Contents.GridRows.size()));
        for (size_t r = 0; r < Contents.GridRows.size(); ++r)
            for (int c = 0; c < 8; ++c) grid->SetCells(c, int(r) + 1, Contents.GridRows[r][size_t(c)]);
    }
}
