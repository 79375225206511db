#pragma once
// What the print routines put into a report's memos: a component's value as
// text in one of the report formats, and the memo lookup that skips memos a
// template does not have.

#include <string>
#include <vector>

#include "Classes.h"

class TrpReport;

enum class TReportFormat {
    Money15,  // currency, 2 decimals, at most 15 significant digits
    Money10,  // currency, 2 decimals, at most 10 significant digits
    Num3,     // number with thousands separators, 3 decimals
    Num9,     // number with thousands separators, 9 decimals
    Gen,      // general, 15 significant digits
    Gen6,     // general, 6 significant digits
    Int,      // the value as an integer
    Text,     // the component's text as shown
};

std::string FormatReportNumber(long double Value, TReportFormat Format);

// The component's value in the format: picture fields through their value
// accessors, numeric edits through their numbers (a text that is no number
// raises the conversion error), anything else by its text. Raises
// EComponentError for a missing component.
std::string ReportValueText(TComponent* Root, const std::string& Source, TReportFormat Format);

// One memo a print routine fills from a component.
struct TReportMemo {
    std::string Memo;
    std::string Source;
    TReportFormat Format;
    std::string Suffix;
};

// Replaces the memo's whole text when the report's template has a memo of
// that name (compared without regard to case); otherwise nothing happens.
void SetReportMemo(TrpReport* Report, const std::string& Memo, const std::string& Text);
// Each memo in order, from its component under Root.
void SetReportMemos(TrpReport* Report, TComponent* Root, const std::vector<TReportMemo>& Memos);
