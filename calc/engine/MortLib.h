#pragma once
// Amortization engine: a monthly loan schedule with its level payment rounded
// to the cent, one row per payment, and extra payments (prepayments) on one
// payment, a range of payments or every payment from a given one.

#include "Classes.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>

// Start month and year of the last schedule built; every extra-payment
// operation starts its recalculation from them. The program keeps one schedule.
// Raised by the extra-payment operations for payment numbers outside the
// schedule. Its message is the text the user is shown, as information.
class EPaymentNumbers : public Exception {
public:
    EPaymentNumbers();
};

extern int32_t ScheduleStartMonth;
extern int32_t ScheduleStartYear;

// The engine's entry point for the level payment; the same as CalcPayment.
double CalcMortgagePayment(int32_t N, double Principal, double Rate);

// One row of the schedule.
class TPayment : public TObject {
public:
    int32_t Number = 0;         // payment number, 1-based
    int32_t Month = 0;          // calendar month 1..12
    int32_t Year = 0;           // calendar year
    double Principal = 0;       // principal repaid, extra payment included
    double Interest = 0;        // interest, rounded to the cent
    double TotalPrincipal = 0;  // running sums up to this row
    double TotalInterest = 0;
    double Prepayment = 0;  // extra payment made with this payment
    double Balance = 0;     // balance after this payment

    // The nine fields in declaration order: the integers in plain decimal, the
    // amounts with 2 decimals right-aligned in at least 12 characters ("." as
    // the decimal point whatever the locale, no thousands separators).
    std::array<std::string, 9> ToStrings() const;
};

class TMortgage;

// The rows of a schedule, index 0 = payment number 1, owned by the schedule.
// Indexing is checked and raises EListError as the class library's lists do.
// A reference to a row stays valid until the schedule is rebuilt; the figures
// read through it are current when it was taken from the list.
class TPaymentList {
public:
    int Count() const { return FCount; }
    TPayment& operator[](int Index) const { return *Items(Index); }
    TPayment* Items(int Index) const;
    TPayment* begin() const;
    TPayment* end() const;

private:
    friend class TMortgage;
    explicit TPaymentList(TMortgage* Owner) : FOwner(Owner) {}
    TPayment& Row(int64_t Index) const;  // checked, without bringing rows up to date

    TMortgage* FOwner;
    std::unique_ptr<TPayment[]> FItems;
    int FCount = 0;
};

class TMortgage : public TObject {
public:
    int32_t NumPayments = 0;     // scheduled payments and rows
    int32_t PeriodsPerYear = 0;  // payments per year
    int32_t Month = 0;           // start month; after a calculation the last row's month
    int32_t Year = 0;            // start year; after a calculation the last row's year
    double Principal = 0;        // loan amount
    double AnnualRate = 0;       // annual rate as a fraction (0.0875 for 8.75 %)
    double Payment = 0;          // level payment, rounded to the cent
    TPaymentList Payments{this};

    // Called after SetExtraPayment and SetExtraPaymentRange, also when they
    // refuse the payment numbers (then before they raise); the main window
    // repaints its extra-payment buttons here.
    TNotifyEvent OnExtraPaymentsApplied;

    // An empty schedule: no rows, payment 0, monthly payments. Its extra-payment
    // operations refuse every number and clearing it recalculates nothing.
    TMortgage() { PeriodsPerYear = 12; }
    TMortgage(int32_t ANumPayments, double APrincipal, double AAnnualRate, int32_t APeriodsPerYear, int32_t AMonth,
              int32_t AYear);
    TMortgage(const TMortgage&) = delete;
    TMortgage& operator=(const TMortgage&) = delete;

    // Rebuilds the schedule in place: stores the inputs, records the start as
    // ScheduleStartMonth/Year, replaces the rows with ANumPayments zeroed rows
    // and calculates. A negative count raises EListError.
    void Create(int32_t ANumPayments, double APrincipal, double AAnnualRate, int32_t APeriodsPerYear, int32_t AMonth,
                int32_t AYear);

    // Computes Payment and every row, starting at the month after Month - 1
    // of Year. Month and Year are left on the last row's month and year, so a
    // recalculation goes through Create or an extra-payment operation.
    void CalcSchedule();

    // Extra payment on one payment (1-based). A number outside the schedule
    // changes nothing and raises EPaymentNumbers.
    void SetExtraPayment(int32_t PaymentNumber, double Amount);
    void ClearExtraPayments();
    // Extra payment on every payment from PaymentNumber to the last. A number
    // outside the schedule raises EListError and changes nothing.
    void SetExtraPaymentFrom(int32_t PaymentNumber, double Amount);
    // Extra payment on the payments FirstPayment..LastPayment (just the first
    // when LastPayment is below it). A range outside the schedule changes
    // nothing and raises EPaymentNumbers.
    void SetExtraPaymentRange(int32_t FirstPayment, int32_t LastPayment, double Amount);

private:
    friend class TPaymentList;

    // Inputs and results of the last complete calculation. While the inputs
    // are unchanged, an extra payment on row k only invalidates rows k and
    // later, and those are recomputed once when a row is next read: applying
    // a list of extra payments one by one costs one pass, not one per entry.
    struct TCalculation {
        bool Valid = false;
        int32_t NumPayments = 0, PeriodsPerYear = 0, StartMonth = 0, StartYear = 0;
        double Principal = 0, AnnualRate = 0;
        long double Rate = 0;    // periodic rate
        int64_t RateUnits = -1;  // the annual rate in units of 1e-8 when exactly so, else -1
        double Payment = 0;
        int32_t EndMonth = 0, EndYear = 0;
    };
    TCalculation FCalc;
    int FCurrentRows = 0;  // rows before this index hold current figures

    void CalcRows(int From);
    void UpdateRows();
    void Recalculate(int FromRow);
    void ClearUnpaidPrepayments();
    // Tells OnExtraPaymentsApplied, then raises EPaymentNumbers.
    [[noreturn]] void RefusePaymentNumbers();
};
