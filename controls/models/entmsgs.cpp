#include "entmsgs.h"

#include <algorithm>
#include <array>
#include <initializer_list>
#include <vector>

#include "entintl.h"

namespace {

// Built-in texts, sorted by id. Rows that serve only design-time choosers or
// controls this program lacks (colour names, sample masks) are not built in.
const std::vector<TEntMessageRec>& BuiltInMessages() {
    static const std::vector<TEntMessageRec> table = [] {
        std::vector<TEntMessageRec> t = {
            {30169, "Duplicate command found while adding a new command to the table"},
            {30170, "Command table not found or command table index out of range"},
            {30179, "Value is not within required range"},
            {30180, "Value is not valid for this field type"},
            {30181, "A value is required in this field"},
            {30182, "Value is not a valid date"},
            {30183, "Value is not a valid time"},
            {30184, "This field should contain no blanks"},
            {30185, "This field should be either empty or completely full"},
            {30188, "Parameter value is invalid"},
            {30189, "No Window's timers are available"},
            {30193, "Invalid page index value"},
            {30194, "Invalid data type for this field"},
            {30195, "Invalid font. Non toTop oriented tabs require a True-Type font"},
            {30202, "Invalid picture mask: %s"},
            {30203, "Invalid range. Enter a value between (%d) and (%d)"},
            {30204, "Invalid range. Enter a value between (-1.7e+38) and (+1.7e+38)"},
            {30205, "Invalid range. Enter a value between (-1.1e+4932) and (+1.1e+4932)"},
            {30206, "Invalid range. Enter a value between (-1.7e+308) and (+1.7e+308)"},
            {30207, "Invalid range. Enter a value between (-3.4e+38) and (+3.4e+38)"},
            {30208, "Invalid range. Enter a value between (-9.2e+18) and (+9.2e+18)"},
            {30209, "Invalid date range. Enter a value using '%s' as the format"},
            {30210, "Invalid time range. Enter a value using '%s' as the format"},
            {30211, "Invalid range value"},
            {30241, "No collection exists in the owner component"},
            {30242, "Owner must be a TEntComponent or TEntCustomComponent descendant"},
            {30243, "Item incompatible with collection"},
            {30244, "Label not attached"},
            {30246, "No collection found for this type"},
            {30266, "Grid"},
            {30275, "Default"},
            {30276, "WordStar"},
            {30277, "(Unknown)"},
            {30278, "Entry Error"},
            {30282, "Wy"},
            {30287, "&Restore"},
            {30288, "Cu&t"},
            {30289, "&Copy"},
            {30290, "&Paste"},
            {30291, "&Delete"},
            {30292, "Select &All"},
            {30323, "Tab Pages Editor"},
            {30328, "Page"},
            {30333, "No notebook pages assigned"},
            {30337, "This component can only be used on forms"},
            {30368, "Y"},
            {30369, "N"},
            {30370, "T"},
            {30371, "F"},
            {30400, "No menu item assigned"},
            {30402, "Invalid parameter: mpAnchor"},
            {30403, "Invalid operation: Call AddSplit for split menus"},
        };
        static const char* const commandNames[] = {
            "ccNone",         "ccBack",         "ccBotOfPage",    "ccBotRightCell", "ccCompleteDate", "ccCompleteTime",
            "ccCopy",         "ccCtrlChar",     "ccCut",          "ccDec",          "ccDel",          "ccDelBol",
            "ccDelEol",       "ccDelLine",      "ccDelWord",      "ccDown",         "ccEnd",          "ccExtendDown",
            "ccExtendEnd",    "ccExtendHome",   "ccExtendLeft",   "ccExtendPgDn",   "ccExtendPgUp",   "ccExtendRight",
            "ccExtendUp",     "ccExtBotOfPage", "ccExtFirstPage", "ccExtLastPage",  "ccExtTopOfPage", "ccExtWordLeft",
            "ccExtWordRight", "ccFirstPage",    "ccGotoMarker0",  "ccGotoMarker1",  "ccGotoMarker2",  "ccGotoMarker3",
            "ccGotoMarker4",  "ccGotoMarker5",  "ccGotoMarker6",  "ccGotoMarker7",  "ccGotoMarker8",  "ccGotoMarker9",
            "ccHome",         "ccInc",          "ccIns",          "ccLastPage",     "ccLeft",         "ccNewLine",
            "ccNextPage",     "ccPageLeft",     "ccPageRight",    "ccPaste",        "ccPrevPage",     "ccRedo",
            "ccRestore",      "ccRight",        "ccScrollDown",   "ccScrollUp",     "ccSetMarker0",   "ccSetMarker1",
            "ccSetMarker2",   "ccSetMarker3",   "ccSetMarker4",   "ccSetMarker5",   "ccSetMarker6",   "ccSetMarker7",
            "ccSetMarker8",   "ccSetMarker9",   "ccTab",          "ccTableEdit",    "ccTopLeftCell",  "ccTopOfPage",
            "ccUndo",         "ccUp",           "ccWordLeft",     "ccWordRight"};
        for (int i = 0; i < 76; ++i) t.push_back({SEntFirstCommandName + i, commandNames[i]});
        static const char* const typeNames[] = {"String",   "Char", "Boolean",  "YesNo", "LongInt",  "Word",
                                                "SmallInt", "Byte", "ShortInt", "Real",  "Extended", "Double",
                                                "Single",   "Comp", "Date",     "Time"};
        for (int i = 0; i < 16; ++i) t.push_back({SEntFirstDataTypeName + i, typeNames[i]});
        static const char* const maskHelp[] = {
            "X  any character", "!  any char (upper)", "L  any char (lower)", "x  any char (mixed)",
            "a  alphas only",   "A  alphas (upper)",   "l  alphas (lower)",   "9  0-9",
            "i  0-9, -",        "#  0-9, -, .",        "E  0-9, E, -, .",     "K  0-9, A-F (hex)",
            "O  0-7 (octal)",   "b  0, 1 (binary)",    "B  T or F (upper)",   "Y  Y or N (upper)",
            "1  User 1",        "2  User 2",           "3  User 3",           "4  User 4",
            "5  User 5",        "6  User 6",           "7  User 7",           "8  User 8"};
        for (int i = 0; i < 24; ++i) t.push_back({SEntFirstMaskHelp + i, maskHelp[i]});
        std::sort(t.begin(), t.end(), [](const auto& a, const auto& b) { return a.id < b.id; });
        return t;
    }();
    return table;
}

std::vector<TEntMessageRec>& MessageTable() {
    static std::vector<TEntMessageRec> table = BuiltInMessages();
    return table;
}

// Fills %s and %d placeholders in order; "%%" stays a single "%".
std::string FormatText(const std::string& text, std::initializer_list<std::string> args) {
    std::string out;
    auto arg = args.begin();
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size()) {
            char c = text[i + 1];
            if ((c == 's' || c == 'd') && arg != args.end()) {
                out += *arg++;
                ++i;
                continue;
            }
            if (c == '%') {
                out += '%';
                ++i;
                continue;
            }
        }
        out += text[i];
    }
    return out;
}

}  // namespace

std::string FindMessageIndex(int32_t id) {
    const auto& table = MessageTable();
    const int32_t key = id & 0xFFFF;
    int low = 0;
    int high = static_cast<int>(table.size()) - 1;
    while (low <= high) {
        int mid = (low + high) / 2;
        if (table[mid].id == key) return table[mid].text;
        if (key > table[mid].id)
            low = mid + 1;
        else
            high = mid - 1;
    }
    return {};
}

std::string LookupMessageText(int32_t id) {
    std::string s = FindMessageIndex(id);
    return s.empty() ? std::string("Unknown") : s;
}

void LoadMessageTable(const std::map<int32_t, std::string>& texts) {
    for (auto& rec : MessageTable()) {
        auto it = texts.find(rec.id);
        if (it != texts.end()) rec.text = it->second;
    }
}

void ResetMessageTable() { MessageTable() = BuiltInMessages(); }

int MessageTableCount() { return static_cast<int>(MessageTable().size()); }

EInvalidPictureMask::EInvalidPictureMask(const std::string& mask)
    : EEntryFieldError(FormatText(LookupMessageText(SEntInvalidPictureMask), {mask})) {}

namespace {

std::string RangeText(int dataType) {
    auto ints = [](long long lo, long long hi) {
        return FormatText(LookupMessageText(SEntInvalidIntRange), {std::to_string(lo), std::to_string(hi)});
    };
    switch (dataType) {
    case 4: return ints(-2147483648LL, 2147483647LL);  // pftLongInt
    case 5: return ints(0, 65535);                     // pftWord
    case 6: return ints(-32768, 32767);                // pftInteger
    case 7: return ints(0, 255);                       // pftByte
    case 8: return ints(-128, 127);                    // pftShortInt
    case 9: return LookupMessageText(SEntInvalidRealRange);
    case 10: return LookupMessageText(SEntInvalidExtendedRange);
    case 11: return LookupMessageText(SEntInvalidDoubleRange);
    case 12: return LookupMessageText(SEntInvalidSingleRange);
    case 13: return LookupMessageText(SEntInvalidCompRange);
    case 14: return FormatText(LookupMessageText(SEntInvalidDateRange), {EntIntlSup()->InternationalDate(true)});
    case 15: return FormatText(LookupMessageText(SEntInvalidTimeRange), {EntIntlSup()->InternationalTime(false)});
    default: return LookupMessageText(SEntInvalidRange);
    }
}

}  // namespace

EInvalidRangeValue::EInvalidRangeValue(int dataType) : EEntryFieldError(RangeText(dataType)) {}
