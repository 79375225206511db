#pragma once
// The standard function library of report expressions (text, number, date
// and dialog functions and the aggregates AVG, COUNT, MAX, MIN, SUM), the
// splitter that finds aggregate calls in memos and scripts, and the script
// interpreter bound to the report being built.

#include <memory>
#include <functional>
#include <string>

#include "RP_Globals.h"
#include "RP_Intrp.h"
#include "RP_Pars.h"

// Aggregate codes, one character in aggregate keys.
enum : char { rpagSum = 11, rpagMin = 12, rpagMax = 13, rpagAvg = 14, rpagCount = 15 };

// Start values of the accumulators: MIN starts high, MAX low, so that any
// record's value replaces them.
constexpr double rpAggregateMinStart = 1e300;
constexpr double rpAggregateMaxStart = -1e300;

// What an aggregate needs of a band (the run-time band implements it).
class TrpAggregateBand {
public:
    virtual ~TrpAggregateBand() = default;
    virtual std::string GetAggregateBandName() const = 0;
    virtual int GetAggregateBandType() const = 0;
    virtual TrpVariables* GetAggregates() = 0;  // keys and their accumulated values
    virtual TrpAggregateBand* GetAccumulatingBand() const = 0;
    virtual void SetAccumulatingBand(TrpAggregateBand* band) = 0;
    // Records aggregated since the showing band's values were last reset
    // (AVG divides by it, MAX over none is 0).
    virtual int GetAggregateCount(const std::string& showingBand) const = 0;
    // The band's keys are held per cross column (the declaring key gets "0" in front).
    virtual bool KeysPerColumn() const = 0;
    // Cross-data bands: the current column and the name of the band crossed.
    virtual int CurrentColumn() const { return 0; }
    virtual std::string CrossedBandName() const { return std::string(); }
};

// The value an entry starts from and is reset to: MIN and MAX from the far
// ends, so that the first record replaces them; 0 for SUM, AVG and COUNT.
Variant rpAggregateStartValue(char code);

// Adds one record's value to an entry: SUM and AVG add it, MIN keeps the
// smaller, MAX the larger, COUNT adds 1. An empty or null value counts as 0.
void rpAccumulateAggregate(char code, Variant& entry, const Variant& value);

// What an entry shows after `count` records: AVG is the sum divided by the
// count; AVG and MAX give 0 when no record came (MIN its start value); the
// others are the entry as it stands.
Variant rpAggregateValue(char code, const Variant& entry, int count);

// Band types the aggregates care about.
enum : int {
    rpbtReportSummary = 1,
    rpbtPageFooter = 3,
    rpbtMasterData = 5,
    rpbtMasterFooter = 6,
    rpbtDetailData = 8,
    rpbtDetailFooter = 9,
    rpbtSubDetailData = 11,
    rpbtSubDetailFooter = 12,
    rpbtGroupFooter = 17,
    rpbtCrossData = 19,
    rpbtCrossFooter = 20,
};

// The key of an aggregate in a band's list: band name, code, expression and
// flags, each ended by the character of code 1.
std::string rpAggregateKey(const std::string& bandName, char code, const std::string& expression,
                           const std::string& flags);

// The platform's edit-mask formatting: mask characters take the value's
// characters in turn, literals are inserted ("000-0000;0; " and "5551234"
// give "555-1234").
std::string FormatMaskText(const std::string& editMask, const std::string& value);

class TrpStdFunctionLibrary : public TrpFunctionLibrary {
public:
    TrpStdFunctionLibrary();
    void DoFunction(TrpContext& context, int index, const Variant& p1, const Variant& p2, const Variant& p3,
                    Variant& val) override;

private:
    void Aggregate(TrpContext& context, char code, const std::string& expression, const std::string& bandName,
                   const std::string& flags, Variant& val);
};

// Finds aggregate calls (AVG, COUNT, MAX, MIN, SUM) in memo text and scripts,
// expanding the dictionary variables given (the report's).
class TAggregateFunctionsSplitter : public TrpFunctionSplitter {
public:
    TAggregateFunctionsSplitter(TStrings* splitTo, TrpVariables* dictionaryVariables);
    ~TAggregateFunctionsSplitter() override;
    void SplitMemo(TStrings* memo);
    void SplitScript(TStrings* script);  // compiled lines (TrpInterpretator::CompileScript)

private:
    std::unique_ptr<TStringList> FMatchList;
};

class TrpContext;

// The interpreter of one report's scripts: variables and functions go to the
// report's resolver and function dispatch; an assignment sets a report
// variable, a dictionary variable (for the build: the template is reloaded
// after it), an object property, or what the page engine takes (MODALRESULT,
// CURY, PROGRESS).
class TInterpretator : public TrpInterpretator {
public:
    explicit TInterpretator(TrpContext& context) : FContext(context) {}
    void GetVariableValue(const std::string& name, Variant& value) override;
    void SetVariableValue(const std::string& name, const Variant& value) override;
    void CallFunction(const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3,
                      Variant& value) override;

private:
    TrpContext& FContext;
};
