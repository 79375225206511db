// The engine's string table: every caption and message of the report engine
// that has a text in this program. Ids in 53000..55439 that are not listed
// here have no text; their captions are empty.

#include <map>
#include <string>

#include "RP_Globals.h"

const char* const rpsNonPluggedComponents = "Report contains the following non-plugged components:";
const char* const rpsIncludeComponents = "You must include these components into your project.";

namespace {

const std::map<int, const char*>& StringTable() {
    static const std::map<int, const char*> table = {
        // Search window.
        {53000, "Find text"},
        {53001, "Text to &find"},
        {53002, "Options"},
        {53003, "&Case sensitive"},
        {53004, "Origin"},
        {53005, "&1st page"},
        {53006, "Current &page"},
        // Print dialog.
        {53040, "Print"},
        {53041, "Printer"},
        {53042, "Properties"},
        {53043, "Copies"},
        {53044, "Page range"},
        {53045, "&All"},
        {53046, "Current pa&ge"},
        {53047, "&Pages:"},
        {53048, "Enter page numbers and/or page ranges, separated by commas. For example, 1,3,5-12"},
        {53049, "&Name:"},
        {53050, "Number of &copies:"},
        {53051, "Co&llate"},
        {53052, "P&rint"},
        {53053, "All pages"},
        {53054, "Odd pages"},
        {53055, "Even pages"},
        // Buttons, preview, printers.
        {55000, "OK"},
        {55001, "Cancel"},
        {55004, "Page"},
        {55007, "Virtual printer"},
        // Band type names, in band-type order.
        {55077, "Report title"},
        {55078, "Report summary"},
        {55079, "Page header"},
        {55080, "Page footer"},
        {55081, "Master header"},
        {55082, "Master data"},
        {55083, "Master footer"},
        {55084, "Detail header"},
        {55085, "Detail data"},
        {55086, "Detail footer"},
        {55087, "Subdetail header"},
        {55088, "Subdetail data"},
        {55089, "Subdetail footer"},
        {55090, "Overlay"},
        {55091, "Column header"},
        {55092, "Column footer"},
        {55093, "Group header"},
        {55094, "Group footer"},
        {55095, "Cross header"},
        {55096, "Cross data"},
        {55097, "Cross footer"},
        {55098, "Child"},
        {55099, "None"},
        // Format categories and their format lists (55150 + 5 * category + index).
        {55130, "Text"},
        {55131, "Number"},
        {55132, "Date"},
        {55133, "Time"},
        {55134, "Boolean"},
        {55150, "[None]"},
        {55155, "1234,5"},
        {55156, "1234,50"},
        {55157, "1 234,5"},
        {55158, "1 234,50"},
        {55159, "Custom"},
        {55160, "11.15.98"},
        {55161, "11.15.1998"},
        {55162, "15 nov 1998"},
        {55163, "15 november 1998"},
        {55164, "Custom"},
        {55165, "02:43:35"},
        {55166, "2:43:35"},
        {55167, "02:43"},
        {55168, "2:43"},
        {55169, "Custom"},
        // The Boolean list doubles as the Boolean format table (55170..55173).
        {55170, "0;1"},
        {55171, "No;Yes"},
        {55172, "_;x"},
        {55173, "False;True"},
        {55174, "Custom"},
        // Date and time format tables.
        {55175, "mm.dd.yy"},
        {55176, "mm.dd.yyyy"},
        {55177, "d mmm yyyy"},
        {55178, "d mmmm yyyy"},
        {55179, "hh:nn:ss"},
        {55180, "h:nn:ss"},
        {55181, "hh:nn"},
        {55182, "h:nn"},
        // Build, preview and error texts.
        {55199, "from"},
        {55200, "An error occured during calculating"},
        {55201, "Report:"},
        {55202, "Object:"},
        {55203, "Preparing report"},
        {55204, "Performing 1st pass:"},
        {55205, "Processing page:"},
        {55206, "Error"},
        {55207, "Preview"},
        {55208, "Printing page:"},
        {55209, "Untitled"},
        {55211, "Report file"},
        {55334, "Font..."},
        {55337, "1"},
        {55345, "Unsupported RPF format"},
        {55439, "Undefined symbol"},
    };
    return table;
}

// The string table's limit: texts longer than 1023 characters are cut.
constexpr size_t kMaxStringLength = 1023;

}  // namespace

std::string TrpLocale::LoadString(int id) const {
    if (OnLocalize) {
        std::string s = OnLocalize(id);
        if (!s.empty()) return s;
    }
    const auto& table = StringTable();
    auto it = table.find(id);
    if (it == table.end()) return std::string();
    std::string s = it->second;
    if (s.size() > kMaxStringLength) s.resize(kMaxStringLength);
    return s;
}

TrpLocale* rpGetLocale() {
    static TrpLocale locale;
    return &locale;
}

std::string LoadEngineString(int id) { return rpGetLocale()->LoadString(id); }
