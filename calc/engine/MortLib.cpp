#include "MortLib.h"

#include "EngineMath.h"
#include "Lsc.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <new>

using engine::ToDouble;

int32_t ScheduleStartMonth = 0;
int32_t ScheduleStartYear = 0;

double CalcMortgagePayment(int32_t N, double Principal, double Rate) { return CalcPayment(N, Principal, Rate); }

namespace {

// The class library's list limit; larger counts are refused as its lists do.
constexpr int32_t MaxListSize = 134217727;

const char* const BadPaymentNumbersText =
    "Cannot calculate results of extra payments without new figures.\n\r\n\r"
    "Please use the edit boxes and radio buttons to\n\r"
    "indicate the amount of your extra payments.";

// To the cent: truncate(x * 100 + 0.5) / 100, the truncation toward zero.
inline long double Round2(long double x) {
    const long double scaled = x * 100 + 0.5L;
    // The integer conversion truncates and is much faster than truncl.
    const long double whole =
        std::fabs(scaled) < 9.0e18L ? static_cast<long double>(static_cast<int64_t>(scaled)) : std::trunc(scaled);
    return whole / 100;
}

// The periodic interest on a balance, to the cent. Half a cent rounds up as
// the decimal figures give it: where the balance is whole cents and the annual
// rate a decimal of at most eight places (RateUnits, -1 otherwise), an exact
// tie is found in integers, since the binary product may lie just below it
// (10,001.00 at 6 % monthly: 50.005, not 50.00499...).
long double InterestToCent(double balance, long double rate, int64_t rateUnits, int32_t periods) {
    const long double interest = Round2(balance * rate);
    if (rateUnits < 0 || periods <= 0) return interest;
    const long double cents = std::nearbyint(static_cast<long double>(balance) * 100);
    if (cents < 0 || cents > 9.0e15L || std::fabs(cents - static_cast<long double>(balance) * 100) > 1e-6L)
        return interest;
    const __int128 num = static_cast<__int128>(static_cast<int64_t>(cents)) * rateUnits;
    const __int128 den = static_cast<__int128>(periods) * 100000000;
    if ((2 * num) % (2 * den) != den) return interest;
    return static_cast<long double>(static_cast<int64_t>(num / den + 1)) / 100;
}

// The annual rate in units of 1e-8 when it is such a decimal, else -1.
int64_t RateUnitsOf(double annualRate) {
    const long double units = static_cast<long double>(annualRate) * 100000000;
    if (!(units >= 0) || units > 1.0e12L) return -1;
    const long double whole = std::nearbyint(units);
    return std::fabs(units - whole) <= 1e-4L ? static_cast<int64_t>(whole) : -1;
}

std::string MoneyText(double value) {
    char buf[400];
    auto res = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, 2);
    std::string text(buf, res.ptr);
    if (text == "-0.00") text = "0.00";  // a value that rounds to zero carries no sign
    if (text.size() < 12) text.insert(0, 12 - text.size(), ' ');
    return text;
}

}  // namespace

std::array<std::string, 9> TPayment::ToStrings() const {
    return {std::to_string(Number),   std::to_string(Month), std::to_string(Year),
            MoneyText(Principal),     MoneyText(Interest),   MoneyText(TotalPrincipal),
            MoneyText(TotalInterest), MoneyText(Prepayment), MoneyText(Balance)};
}

// ---------------------------------------------------------------------------
// TPaymentList

TPayment& TPaymentList::Row(int64_t Index) const {
    if (Index < 0 || Index >= FCount) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[Index];
}

TPayment* TPaymentList::Items(int Index) const {
    TPayment& row = Row(Index);
    FOwner->UpdateRows();
    return &row;
}

TPayment* TPaymentList::begin() const {
    FOwner->UpdateRows();
    return FItems.get();
}

TPayment* TPaymentList::end() const { return FItems.get() + FCount; }

// ---------------------------------------------------------------------------
// TMortgage

TMortgage::TMortgage(int32_t ANumPayments, double APrincipal, double AAnnualRate, int32_t APeriodsPerYear,
                     int32_t AMonth, int32_t AYear) {
    Create(ANumPayments, APrincipal, AAnnualRate, APeriodsPerYear, AMonth, AYear);
}

void TMortgage::Create(int32_t ANumPayments, double APrincipal, double AAnnualRate, int32_t APeriodsPerYear,
                       int32_t AMonth, int32_t AYear) {
    NumPayments = ANumPayments;
    Principal = APrincipal;
    AnnualRate = AAnnualRate;
    PeriodsPerYear = APeriodsPerYear;
    Month = AMonth;
    Year = AYear;
    ScheduleStartMonth = Month;
    ScheduleStartYear = Year;

    FCalc.Valid = false;
    Payments.FItems.reset();
    Payments.FCount = 0;
    FCurrentRows = 0;
    if (NumPayments < 0 || NumPayments > MaxListSize)
        throw EListError("List capacity out of bounds (" + std::to_string(NumPayments) + ")");
    try {
        Payments.FItems.reset(new TPayment[NumPayments]);
    } catch (const std::bad_alloc&) {
        throw EOutOfMemory("Out of memory");
    }
    Payments.FCount = NumPayments;
    CalcSchedule();
}

void TMortgage::CalcSchedule() {
    FCalc.Valid = false;
    const int32_t startMonth = Month;
    const int32_t startYear = Year;
    Month = Month - 1;

    const long double rate = fp::Div(static_cast<long double>(AnnualRate), static_cast<long double>(PeriodsPerYear));
    Payment = ToDouble(Round2(CalcMortgagePayment(NumPayments, Principal, static_cast<double>(rate))));

    // The calendar does not depend on the extra payments: it is set here once.
    const int count = Payments.FCount;
    TPayment* rows = Payments.FItems.get();
    for (int k = 0; k < count; ++k) {
        const int64_t months = static_cast<int64_t>(startMonth) - 1 + k;
        rows[k].Number = k + 1;
        rows[k].Month = static_cast<int32_t>(months % 12 + 1);
        rows[k].Year = startYear < 1 ? 0 : static_cast<int32_t>(startYear + months / 12);
    }
    if (count > 0) {
        Month = rows[count - 1].Month;
        Year = rows[count - 1].Year;
    }

    FCalc.NumPayments = NumPayments;
    FCalc.PeriodsPerYear = PeriodsPerYear;
    FCalc.StartMonth = startMonth;
    FCalc.StartYear = startYear;
    FCalc.Principal = Principal;
    FCalc.AnnualRate = AnnualRate;
    FCalc.Rate = rate;
    FCalc.RateUnits = RateUnitsOf(AnnualRate);
    FCalc.Payment = Payment;
    FCalc.EndMonth = Month;
    FCalc.EndYear = Year;
    CalcRows(0);
    FCalc.Valid = true;
}

// Figures of the rows from From on; the rows before it are current.
void TMortgage::CalcRows(int From) {
    TPayment* rows = Payments.FItems.get();
    const int count = Payments.FCount;
    const long double rate = FCalc.Rate;
    const long double payment = FCalc.Payment;
    // The balance runs in stored precision so that a capped payment leaves
    // exactly 0 and the rows after it count as repaid.
    double balance = From == 0 ? FCalc.Principal : rows[From - 1].Balance;
    int k = From;
    try {
        for (; k < count; ++k) {
            TPayment& row = rows[k];
            const long double interest = InterestToCent(balance, rate, FCalc.RateUnits, FCalc.PeriodsPerYear);
            if (balance == 0) {
                row.Principal = 0;
                row.Interest = 0;
                row.Balance = 0;
            } else {
                const long double amount = payment - interest + row.Prepayment;
                row.Principal = amount <= balance ? ToDouble(amount) : balance;
                row.Interest = ToDouble(interest);
                balance = ToDouble(static_cast<long double>(balance) - row.Principal);
                row.Balance = balance;
            }
            if (k == 0) {
                row.TotalPrincipal = row.Principal;
                row.TotalInterest = row.Interest;
            } else {
                row.TotalPrincipal = ToDouble(static_cast<long double>(rows[k - 1].TotalPrincipal) + row.Principal);
                row.TotalInterest = ToDouble(static_cast<long double>(rows[k - 1].TotalInterest) + row.Interest);
            }
        }
    } catch (...) {
        FCurrentRows = k;
        throw;
    }
    FCurrentRows = count;
}

void TMortgage::UpdateRows() {
    if (FCurrentRows < Payments.FCount) CalcRows(FCurrentRows);
}

// Recalculation after the extra payments of rows FromRow and later changed,
// with Month and Year already back on the start.
void TMortgage::Recalculate(int FromRow) {
    const bool sameInputs = FCalc.Valid && NumPayments == FCalc.NumPayments && PeriodsPerYear == FCalc.PeriodsPerYear &&
                            Principal == FCalc.Principal && AnnualRate == FCalc.AnnualRate &&
                            Month == FCalc.StartMonth && Year == FCalc.StartYear;
    if (!sameInputs) {
        CalcSchedule();
        return;
    }
    // What a full calculation would leave in the fields; the rows follow on demand.
    Payment = FCalc.Payment;
    Month = FCalc.EndMonth;
    Year = FCalc.EndYear;
    FCurrentRows = std::min(FCurrentRows, FromRow);
}

// Rows after the payoff pay nothing, so the extra payment written into them
// was not made. The payoff row and the rows before it keep theirs: their
// principal includes it, and the page rebuilds its extra payments from this
// column, so clearing it would move the payoff on every refresh. The payoff
// row keeps the whole amount, which caps it again on a recalculation.
// Each row keeps the extra payment that was applied to it: rows after the
// payoff get 0, and the payoff row the part of its extra payment that the
// capped principal used, rounded up to the cent so that applying it again
// still pays the loan off on that row.
void TMortgage::ClearUnpaidPrepayments() {
    UpdateRows();
    TPayment* rows = Payments.FItems.get();
    double before = FCalc.Principal;
    for (int k = 0; k < Payments.FCount; ++k) {
        TPayment& row = rows[k];
        if (before == 0) {
            row.Prepayment = 0;
        } else if (row.Balance == 0 && row.Prepayment > 0) {
            const long double regular = FCalc.Payment - static_cast<long double>(row.Interest);
            const long double used = static_cast<long double>(before) - regular;
            long double applied = used <= 0 ? 0 : std::ceil(used * 100 - 1e-6L) / 100;
            if (applied > 0 && regular + applied < before) applied += 0.01L;
            if (applied < row.Prepayment) row.Prepayment = ToDouble(applied);
        }
        before = row.Balance;
    }
}

EPaymentNumbers::EPaymentNumbers() : Exception(BadPaymentNumbersText) {}

void TMortgage::RefusePaymentNumbers() {
    if (OnExtraPaymentsApplied) OnExtraPaymentsApplied(this);
    throw EPaymentNumbers();
}

void TMortgage::SetExtraPayment(int32_t PaymentNumber, double Amount) {
    const int64_t index = static_cast<int64_t>(PaymentNumber) - 1;
    if (index < 0 || index >= Payments.FCount) RefusePaymentNumbers();
    Payments.Row(index).Prepayment = Amount;
    Month = ScheduleStartMonth;
    Year = ScheduleStartYear;
    Recalculate(static_cast<int>(index));
    if (OnExtraPaymentsApplied) OnExtraPaymentsApplied(this);
}

void TMortgage::ClearExtraPayments() {
    for (TPayment* row = Payments.FItems.get(); row != Payments.FItems.get() + Payments.FCount; ++row)
        row->Prepayment = 0;
    Month = ScheduleStartMonth;
    Year = ScheduleStartYear;
    Recalculate(0);
}

void TMortgage::SetExtraPaymentFrom(int32_t PaymentNumber, double Amount) {
    // Both ends are checked before anything is written, so a refused call
    // leaves the schedule as it was.
    const int64_t first = static_cast<int64_t>(PaymentNumber) - 1;
    const int64_t last = std::max<int64_t>(first, static_cast<int64_t>(NumPayments) - 1);
    Payments.Row(first);
    Payments.Row(last);
    for (int64_t k = first; k <= last; ++k) Payments.FItems[k].Prepayment = Amount;
    Month = ScheduleStartMonth;
    Year = ScheduleStartYear;
    Recalculate(static_cast<int>(first));
    ClearUnpaidPrepayments();
}

void TMortgage::SetExtraPaymentRange(int32_t FirstPayment, int32_t LastPayment, double Amount) {
    const int64_t first = static_cast<int64_t>(FirstPayment) - 1;
    const int64_t last = std::max<int64_t>(first, static_cast<int64_t>(LastPayment) - 1);
    if (first < 0 || last >= Payments.FCount) {
        // Checked before anything is written: a refused range changes nothing.
        RefusePaymentNumbers();
    }
    for (int64_t k = first; k <= last; ++k) Payments.FItems[k].Prepayment = Amount;
    Month = ScheduleStartMonth;
    Year = ScheduleStartYear;
    Recalculate(static_cast<int>(first));
    ClearUnpaidPrepayments();
    if (OnExtraPaymentsApplied) OnExtraPaymentsApplied(this);
}
