#pragma once
// The two known states of every calculator page: all zeros, or a worked
// example (the sample values). A sample set holds inputs and results alike,
// and its results are what the calculator computes from its inputs.
//
// Values are keyed by component name; the window decides how a component takes
// a number (a float or integer field, a numeric edit) or a text.

#include <span>
#include <string>

// One component of a page and what the resets write into it.
struct TResetValue {
    const char* Field;
    double Sample;
    const char* Text = nullptr;  // a text component: both resets write this text
};

struct TCalculatorReset {
    const char* Page;
    std::span<const TResetValue> Values;
    const char* FocusField;  // focused after the reset while the page is shown
};

// The calculators whose reset is a plain set of values, one per page. The
// amortization schedule keeps its values in the window and resets itself.
std::span<const TCalculatorReset> CalculatorResets();

// The reset of the calculator on that page, or nullptr.
const TCalculatorReset* FindCalculatorReset(const std::string& Page);

// Today's month as the amortization page's month list names it: "Jan" .. "Dec",
// whatever the regional settings call it. Month is 1 .. 12.
const char* MonthListName(int Month);

// The window's general defaults, kept in the settings file and in calculator
// files: the value set a page reset writes (0 the zeros, otherwise the
// samples) and the general sample values.
struct TDefaultValues {
    int ValueSet = 0;
    double Loan = 0, Interest = 0;
    int Term = 0;
    double Payment = 0, Federal = 0, State = 0, Downpayment = 0;
    int Calc = 0;

    bool Samples() const { return ValueSet != 0; }
};
