#pragma once
// Report templates written as text that a person can review and diff. The
// build reads these sources and writes them as template streams with the
// engine's own writer, so the program carries the same bytes a designer
// would have saved.
//
// One object per line, "#" starts a comment line:
//   report rpName                      the report component the template is for
//   page Form                          the one page: Letter, portrait, margins 0
//   band Name title|header|master|footer Y Height [data set]
//   memo Name X Y Width Height [size] [bold] [left|right|center] [top] [wrap] ["line" ...]
//   line Name X Y Width                a horizontal line
// Memos default to Arial 9, left, vertically centred, not wrapped; every
// quoted string is one line of the memo's text.

#include <string>

#include "RP_Class.h"

// Fills the report's template from the text (its pages are replaced) and
// returns the name given by "report". Raises ErpTemplateError naming the
// line for anything that does not read.
std::string rpReadTemplateText(TrpReport& report, const std::string& text);
