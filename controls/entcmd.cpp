#include "entcmd.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <fstream>
#include <sstream>

#include "FormReader.h"
#include "SysUtils.h"
#include "entmsgs.h"
#include "entsupport.h"
#include "SysUtils.h"

namespace {

// Virtual-key codes of the built-in tables.
enum : uint8_t {
    kBack = 8,
    kTab = 9,
    kReturn = 13,
    kPrior = 33,
    kNext = 34,
    kEnd = 35,
    kHome = 36,
    kLeft = 37,
    kUp = 38,
    kRight = 39,
    kDown = 40,
    kInsert = 45,
    kDelete = 46,
    kF2 = 113,
};
constexpr uint8_t S = ssfShift, C = ssfCtrl, A = ssfAlt, CS = ssfCtrl | ssfShift;

TEntCommandRec K(uint8_t key, uint8_t shift, uint16_t cmd) { return {key, shift, 0, 0, cmd}; }
TEntCommandRec K2(uint8_t key1, uint8_t shift1, uint8_t key2, uint16_t cmd) {
    return {key1, shift1, key2, ssfNoneOrCtrl, cmd};
}

// Default entries 17-30; "Grid" repeats them.
void AddExtendEntries(std::vector<TEntCommandRec>& t) {
    t.insert(t.end(), {
                          K(kLeft, S, ccExtendLeft),
                          K(kRight, S, ccExtendRight),
                          K(kHome, S, ccExtendHome),
                          K(kEnd, S, ccExtendEnd),
                          K(kLeft, CS, ccExtWordLeft),
                          K(kRight, CS, ccExtWordRight),
                          K(kPrior, S, ccExtendPgUp),
                          K(kNext, S, ccExtendPgDn),
                          K(kUp, S, ccExtendUp),
                          K(kDown, S, ccExtendDown),
                          K(kHome, CS, ccExtFirstPage),
                          K(kEnd, CS, ccExtLastPage),
                          K(kPrior, CS, ccExtTopOfPage),
                          K(kNext, CS, ccExtBotOfPage),
                      });
}

// Form-stream value kinds.
enum : uint8_t {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaString = 6,
    vaFalse = 8,
    vaTrue = 9,
    vaLString = 12,
    vaInt64 = 19,
    vaUTF8String = 20,
};

const char* const SInvalidPropertyValue = "Invalid property value";

// Appends the low Bytes bytes of Value, least significant first.
void AppendLittleEndian(std::string& Data, uint64_t Value, int Bytes) {
    for (int i = 0; i < Bytes; ++i) Data += char(Value >> (8 * i));
}

}  // namespace

TEntCommandRec TEntCommandRec::FromKeys(uint32_t keys, uint16_t cmd) {
    return {static_cast<uint8_t>(keys), static_cast<uint8_t>(keys >> 8), static_cast<uint8_t>(keys >> 16),
            static_cast<uint8_t>(keys >> 24), cmd};
}

const std::vector<TEntCommandRec>& DefaultCommands() {
    static const std::vector<TEntCommandRec> table = [] {
        std::vector<TEntCommandRec> t = {
            K(kLeft, 0, ccLeft),      K(kRight, 0, ccRight),     K(kLeft, C, ccWordLeft),  K(kRight, C, ccWordRight),
            K(kHome, 0, ccHome),      K(kEnd, 0, ccEnd),         K(kDelete, 0, ccDel),     K(kBack, 0, ccBack),
            K(kBack, S, ccBack),      K(kPrior, C, ccTopOfPage), K(kNext, C, ccBotOfPage), K(kInsert, 0, ccIns),
            K('Z', C, ccUndo),        K(kBack, A, ccRestore),    K(kUp, 0, ccUp),          K(kDown, 0, ccDown),
            K(kReturn, C, ccNewLine),
        };
        AddExtendEntries(t);
        t.insert(t.end(), {
                              K(kDelete, S, ccCut),
                              K('X', C, ccCut),
                              K(kInsert, C, ccCopy),
                              K('C', C, ccCopy),
                              K(kInsert, S, ccPaste),
                              K('V', C, ccPaste),
                              K(kPrior, 0, ccPrevPage),
                              K(kNext, 0, ccNextPage),
                              K(kHome, C, ccFirstPage),
                              K(kEnd, C, ccLastPage),
                              K(kTab, 0, ccTab),
                              K(kTab, C, ccTab),
                              K('Z', CS, ccRedo),
                          });
        for (int i = 0; i < 10; ++i) t.push_back(K('0' + i, C, ccGotoMarker0 + i));
        for (int i = 0; i < 10; ++i) t.push_back(K('0' + i, CS, ccSetMarker0 + i));
        return t;
    }();
    return table;
}

const std::vector<TEntCommandRec>& WordStarCommands() {
    static const std::vector<TEntCommandRec> table = [] {
        std::vector<TEntCommandRec> t = {
            K('S', C, ccLeft),     K('D', C, ccRight),     K('E', C, ccUp),         K('X', C, ccDown),
            K('R', C, ccPrevPage), K('C', C, ccNextPage),  K('W', C, ccScrollUp),   K('Z', C, ccScrollDown),
            K('A', C, ccWordLeft), K('F', C, ccWordRight), K2('Q', C, 'S', ccHome), K2('Q', C, 'D', ccEnd),
            K('G', C, ccDel),      K('H', C, ccBack),      K('Y', C, ccDelLine),    K2('Q', C, 'Y', ccDelEol),
            K('V', C, ccIns),      K('T', C, ccDelWord),   K('P', C, ccCtrlChar),   K2('Q', C, 'L', ccRestore),
        };
        for (int i = 0; i < 10; ++i) t.push_back(K2('Q', C, '0' + i, ccGotoMarker0 + i));
        for (int i = 0; i < 10; ++i) t.push_back(K2('K', C, '0' + i, ccSetMarker0 + i));
        return t;
    }();
    return table;
}

const std::vector<TEntCommandRec>& GridCommands() {
    static const std::vector<TEntCommandRec> table = [] {
        std::vector<TEntCommandRec> t = {
            K(kLeft, 0, ccLeft),      K(kRight, 0, ccRight),     K(kLeft, C, ccPageLeft), K(kRight, C, ccPageRight),
            K(kHome, 0, ccHome),      K(kEnd, 0, ccEnd),         K(kDelete, 0, ccDel),    K(kBack, 0, ccBack),
            K(kNext, C, ccBotOfPage), K(kPrior, C, ccTopOfPage), K(kInsert, 0, ccIns),    K('Z', C, ccRestore),
            K(kUp, 0, ccUp),          K(kDown, 0, ccDown),
        };
        AddExtendEntries(t);
        t.insert(t.end(), {
                              K('X', C, ccCut),
                              K('C', C, ccCopy),
                              K('V', C, ccPaste),
                              K(kPrior, 0, ccPrevPage),
                              K(kHome, C, ccFirstPage),
                              K(kNext, 0, ccNextPage),
                              K(kEnd, C, ccLastPage),
                              K(kUp, C, ccTopLeftCell),
                              K(kDown, C, ccBotRightCell),
                              K(kF2, 0, ccTableEdit),
                          });
        return t;
    }();
    return table;
}

// ---- value streams ----

void TEntBinaryValueWriter::WriteListBegin() { Data += char(vaList); }
void TEntBinaryValueWriter::WriteListEnd() { Data += char(vaNull); }

void TEntBinaryValueWriter::WriteString(const std::string& s) {
    if (s.size() <= 255) {
        Data += char(vaString);
        Data += char(s.size());
    } else {
        Data += char(vaLString);
        AppendLittleEndian(Data, static_cast<uint32_t>(s.size()), 4);
    }
    Data += s;
}

void TEntBinaryValueWriter::WriteBoolean(bool b) { Data += char(b ? vaTrue : vaFalse); }

void TEntBinaryValueWriter::WriteInteger(int64_t v) {
    auto put = [&](uint8_t kind, int bytes) {
        Data += char(kind);
        AppendLittleEndian(Data, static_cast<uint64_t>(v), bytes);
    };
    if (v >= -128 && v <= 127)
        put(vaInt8, 1);
    else if (v >= -32768 && v <= 32767)
        put(vaInt16, 2);
    else if (v >= INT32_MIN && v <= INT32_MAX)
        put(vaInt32, 4);
    else
        put(vaInt64, 8);
}

void TEntBinaryValueReader::Need(size_t n) const {
    if (Pos + n > Data.size()) throw EReadError("Stream read error");
}

uint8_t TEntBinaryValueReader::NextByte() {
    Need(1);
    return static_cast<uint8_t>(Data[Pos++]);
}

uint64_t TEntBinaryValueReader::NextLittleEndian(int Bytes) {
    Need(size_t(Bytes));
    uint64_t u = 0;
    for (int i = 0; i < Bytes; ++i) u |= uint64_t(static_cast<uint8_t>(Data[Pos++])) << (8 * i);
    return u;
}

void TEntBinaryValueReader::ReadListBegin() {
    if (NextByte() != vaList) throw EReadError(SInvalidPropertyValue);
}

bool TEntBinaryValueReader::EndOfList() {
    Need(1);
    return static_cast<uint8_t>(Data[Pos]) == vaNull;
}

void TEntBinaryValueReader::ReadListEnd() {
    if (NextByte() != vaNull) throw EReadError(SInvalidPropertyValue);
}

std::string TEntBinaryValueReader::ReadString() {
    const uint8_t kind = NextByte();
    size_t n;
    if (kind == vaString) {
        n = NextByte();
    } else if (kind == vaLString || kind == vaUTF8String) {
        n = size_t(NextLittleEndian(4));
    } else {
        throw EReadError(SInvalidPropertyValue);
    }
    Need(n);
    std::string s = Data.substr(Pos, n);
    Pos += n;
    return s;
}

bool TEntBinaryValueReader::ReadBoolean() {
    const uint8_t kind = NextByte();
    if (kind != vaTrue && kind != vaFalse) throw EReadError(SInvalidPropertyValue);
    return kind == vaTrue;
}

int64_t TEntBinaryValueReader::ReadInteger() {
    const uint8_t kind = NextByte();
    int bytes;
    switch (kind) {
    case vaInt8: bytes = 1; break;
    case vaInt16: bytes = 2; break;
    case vaInt32: bytes = 4; break;
    case vaInt64: bytes = 8; break;
    default: throw EReadError(SInvalidPropertyValue);
    }
    uint64_t u = NextLittleEndian(bytes);
    if (bytes < 8 && (u >> (8 * bytes - 1)) & 1) u |= ~uint64_t(0) << (8 * bytes);  // sign-extend
    return static_cast<int64_t>(u);
}

TEntFormValueReader::~TEntFormValueReader() = default;

TEntFormValueReader::TEntFormValueReader(const TFormValue& value) : FTop{value} { FLevels.push_back({&FTop, 0}); }

const TFormValue& TEntFormValueReader::Next() {
    Level& l = FLevels.back();
    if (l.Pos >= l.Items->size()) throw EReadError(SInvalidPropertyValue);
    return (*l.Items)[l.Pos++];
}

void TEntFormValueReader::ReadListBegin() {
    const TFormValue& v = Next();
    if (v.kind != TFormValue::vkList) throw EReadError(SInvalidPropertyValue);
    FLevels.push_back({&v.Items, 0});
}

bool TEntFormValueReader::EndOfList() {
    const Level& l = FLevels.back();
    return FLevels.size() == 1 || l.Pos >= l.Items->size();
}

void TEntFormValueReader::ReadListEnd() {
    if (FLevels.size() == 1 || !EndOfList()) throw EReadError(SInvalidPropertyValue);
    FLevels.pop_back();
}

std::string TEntFormValueReader::ReadString() {
    const TFormValue& v = Next();
    if (v.kind != TFormValue::vkString) throw EReadError(SInvalidPropertyValue);
    return v.Str;
}

bool TEntFormValueReader::ReadBoolean() {
    const TFormValue& v = Next();
    if (v.kind == TFormValue::vkIdent) {
        const std::string u = UpperCase(v.Str);
        if (u == "TRUE") return true;
        if (u == "FALSE") return false;
    }
    if (v.kind == TFormValue::vkInteger) return v.Int != 0;
    throw EReadError(SInvalidPropertyValue);
}

int64_t TEntFormValueReader::ReadInteger() {
    const TFormValue& v = Next();
    if (v.kind != TFormValue::vkInteger) throw EReadError(SInvalidPropertyValue);
    return v.Int;
}

// ---- command table ----

TEntCommandTable::TEntCommandTable(const std::string& name, bool active)
    : TableName(name.empty() ? LookupMessageText(SEntUnknownTableName) : name), IsActive(active) {}

void TEntCommandTable::CheckIndex(int index, TIndexEnd end) const {
    if (index < 0 || index > Count() || (index == Count() && end == TIndexEnd::Refused))
        throw EListError("List index out of bounds (" + std::to_string(index) + ")");
}

void TEntCommandTable::DefineProperties(TFiler* Filer) {
    // The window layer's writer stores nothing yet; reading is what the
    // window definitions need.
    Filer->DefineProperty(
        "CommandList",
        [this](TReader* reader) {
            TEntFormValueReader r(reader->Value());
            ReadTable(r);
        },
        nullptr, Count() > 0);
}

TEntCommandRec TEntCommandTable::GetCommandRec(int index) const {
    CheckIndex(index, TIndexEnd::Refused);
    return FCommands[index];
}

void TEntCommandTable::AddRec(const TEntCommandRec& entry) { FCommands.push_back(entry); }

void TEntCommandTable::InsertRec(int index, const TEntCommandRec& entry) {
    CheckIndex(index, TIndexEnd::Allowed);
    FCommands.insert(FCommands.begin() + index, entry);
}

void TEntCommandTable::PutRec(int index, const TEntCommandRec& entry) {
    CheckIndex(index, TIndexEnd::Refused);
    FCommands[index] = entry;
}

void TEntCommandTable::Delete(int index) {
    CheckIndex(index, TIndexEnd::Refused);
    FCommands.erase(FCommands.begin() + index);
}

int TEntCommandTable::IndexOf(const TEntCommandRec& entry) const {
    for (int i = 0; i < Count(); ++i)
        if (FCommands[i].Keys() == entry.Keys()) return i;
    return -1;
}

const std::vector<TEntCommandRec>* TEntCommandTable::BuiltInFor(const std::string& name) {
    const std::string upper = UpperCase(name);
    if (upper == "DEFAULT") return &DefaultCommands();
    if (upper == "WORDSTAR") return &WordStarCommands();
    if (upper == "GRID") return &GridCommands();
    return nullptr;
}

void TEntCommandTable::WriteTable(TEntValueWriter& w) const {
    w.WriteString(TableName);
    w.WriteBoolean(IsActive);
    w.WriteListBegin();
    auto pair = [&](uint32_t keys, uint16_t cmd) {
        w.WriteInteger(static_cast<int32_t>(keys));
        w.WriteInteger(cmd);
    };
    if (const auto* builtIn = BuiltInFor(TableName)) {
        for (const auto& b : *builtIn)
            if (IndexOf(b) < 0) pair(b.Keys(), 0);
        for (const auto& e : FCommands) {
            bool same = std::any_of(builtIn->begin(), builtIn->end(),
                                    [&](const TEntCommandRec& b) { return b.Keys() == e.Keys() && b.Cmd == e.Cmd; });
            if (!same) pair(e.Keys(), e.Cmd);
        }
    } else {
        for (const auto& e : FCommands) pair(e.Keys(), e.Cmd);
    }
    w.WriteListEnd();
}

void TEntCommandTable::ReadTable(TEntValueReader& r) {
    Clear();
    TableName = r.ReadString();
    IsActive = r.ReadBoolean();
    const auto* builtIn = BuiltInFor(TableName);
    if (builtIn) FCommands = *builtIn;
    r.ReadListBegin();
    while (!r.EndOfList()) {
        const auto keys = static_cast<uint32_t>(r.ReadInteger());
        const auto cmd = static_cast<uint16_t>(r.ReadInteger());
        const TEntCommandRec entry = TEntCommandRec::FromKeys(keys, cmd);
        if (!builtIn) {
            AddRec(entry);
            continue;
        }
        const int at = IndexOf(entry);
        if (at < 0)
            AddRec(entry);
        else if (cmd != 0)
            PutRec(at, entry);
        else
            Delete(at);
    }
    r.ReadListEnd();
}

void TEntCommandTable::SaveToFile(const std::string& fileName) const {
    std::string text = TableName + "\r\n";
    char line[64];
    for (const auto& e : FCommands) {
        std::snprintf(line, sizeof line, "%4d%4d%4d%4d%6d\r\n", e.Key1, e.Shift1, e.Key2, e.Shift2, e.Cmd);
        text += line;
    }
    std::ofstream f(fileName, std::ios::binary | std::ios::trunc);
    if (!f || !f.write(text.data(), static_cast<std::streamsize>(text.size())) || !f.flush())
        throw EInOutError("File access denied: " + fileName);
}

void TEntCommandTable::LoadFromFile(const std::string& fileName) {
    std::ifstream f(fileName, std::ios::binary);
    if (!f) throw EInOutError("File not found: " + fileName);
    std::string line;
    std::getline(f, line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    Clear();
    TableName = line;
    while (std::getline(f, line)) {
        std::istringstream in(line);
        int v[5];
        if (!(in >> v[0])) continue;  // blank line
        for (int i = 1; i < 5; ++i)
            if (!(in >> v[i])) throw EInOutError("Invalid numeric input: " + fileName);
        AddRec({static_cast<uint8_t>(v[0]), static_cast<uint8_t>(v[1]), static_cast<uint8_t>(v[2]),
                static_cast<uint8_t>(v[3]), static_cast<uint16_t>(v[4])});
    }
}

// ---- command processor ----

TEntCommandProcessor::TEntCommandProcessor() {
    struct {
        int id;
        bool active;
        const std::vector<TEntCommandRec>& entries;
    } builtIns[] = {
        {SEntDefaultTableName, true, DefaultCommands()},
        {SEntWordStarTableName, false, WordStarCommands()},
        {SEntGridTableName, false, GridCommands()},
    };
    for (const auto& b : builtIns) {
        const std::string name = LookupMessageText(b.id);
        AddTable(name, b.active);
        for (const auto& e : b.entries) AddCommandRec(name, e);
    }
    ResetCommandProcessor();
}

void TEntCommandProcessor::DefineProperties(TFiler* Filer) {
    Filer->DefineProperty(
        "TableList",
        [this](TReader* reader) {
            TEntFormValueReader r(reader->Value());
            ReadTableList(r);
        },
        nullptr, TableCount() > 0);
}

int TEntCommandProcessor::Add(TEntCommandTable* table) {
    std::unique_ptr<TEntCommandTable> owned(table);
    const std::string& name = table->TableName;
    std::string base = name;
    while (base.size() >= 2 && std::isdigit(static_cast<unsigned char>(base.back()))) base.pop_back();
    std::string candidate = base;
    int n = 0;
    while (GetTable(candidate)) candidate = base + std::to_string(++n);
    // The base being free says nothing about the name itself ("Grid7" may be
    // taken while "Grid" is not): keep numbering until the name is unique.
    if (n == 0 && GetTable(name)) {
        do candidate = base + std::to_string(++n);
        while (GetTable(candidate));
    }
    if (n > 0) table->TableName = candidate;
    FTables.push_back(std::move(owned));
    return TableCount() - 1;
}

int TEntCommandProcessor::AddTable(const std::string& name, bool active) {
    return Add(new TEntCommandTable(name, active));
}

void TEntCommandProcessor::AddCommandRec(const std::string& tableName, const TEntCommandRec& entry) {
    TEntCommandTable* table = GetTable(tableName);
    if (!table) throw ETableNotFound();
    if (table->IndexOf(entry) >= 0) throw EDuplicateCommand();
    table->AddRec(entry);
}

TEntCommandTable* TEntCommandProcessor::GetTable(const std::string& name) const {
    const std::string upper = UpperCase(name);
    for (const auto& t : FTables)
        if (UpperCase(t->TableName) == upper) return t.get();
    return nullptr;
}

TEntCommandTable* TEntCommandProcessor::Tables(int index) const {
    if (index < 0 || index >= TableCount()) throw ETableNotFound();
    return FTables[index].get();
}

void TEntCommandProcessor::DeleteTable(int index) {
    if (index < 0 || index >= TableCount()) throw ETableNotFound();
    FTables.erase(FTables.begin() + index);
}

void TEntCommandProcessor::LoadCommandTable(const std::string& fileName) {
    auto table = std::make_unique<TEntCommandTable>();
    table->LoadFromFile(fileName);
    Add(table.release());
}

void TEntCommandProcessor::SaveCommandTable(const std::string& tableName, const std::string& fileName) {
    TEntCommandTable* table = GetTable(tableName);
    if (!table) throw ETableNotFound();
    table->SaveToFile(fileName);
}

void TEntCommandProcessor::ResetCommandProcessor() {
    FState = 0;
    FSavedKey = 0;
    FSavedShift = 0;
}

uint16_t TEntCommandProcessor::ScanTable(const TEntCommandTable& table, uint8_t key, uint8_t shift) {
    for (int i = 0; i < table.Count(); ++i) {
        const TEntCommandRec e = table.GetCommandRec(i);
        if (FState == 1) {
            const bool shiftOK = e.Shift2 == shift || (e.Shift2 == ssfNoneOrCtrl && (shift == 0 || shift == ssfCtrl));
            if (e.Key1 == FSavedKey && e.Shift1 == FSavedShift && e.Key2 == key && shiftOK) {
                FState = e.Cmd == ccCtrlChar ? 2 : 0;
                return e.Cmd;
            }
        } else if (e.Key1 == key && e.Shift1 == shift) {
            if (e.Key2 != 0) {
                FState = 1;
                FSavedKey = key;
                FSavedShift = shift;
                return ccPartial;
            }
            if (e.Cmd == ccCtrlChar) FState = 2;
            return e.Cmd;
        }
    }
    return 0;
}

uint16_t TEntCommandProcessor::TranslateKey(uint16_t virtualKey, uint8_t shift) {
    const uint8_t key = static_cast<uint8_t>(virtualKey & 0xFF);
    switch (key) {
    case 16:
    case 17:
    case 18:
    case 20:
    case 144:
    case 145:
        // modifiers and lock keys neither complete nor break a sequence
        return FState == 1 ? ccPartial : ccNoCmd;
    default: break;
    }
    if (FState == 2) {
        FState = 0;
        return ccNoCmd;
    }
    const bool pending = FState == 1;
    for (const auto& t : FTables) {
        if (!t->IsActive) continue;
        if (uint16_t cmd = ScanTable(*t, key, shift)) return cmd;
    }
    FState = 0;
    return pending ? ccBadSequence : ccNoCmd;
}

uint16_t TEntCommandProcessor::TranslateKey(Word key, TShiftState shift) {
    uint8_t flags = 0;
    if (shift.Contains(ssCtrl)) flags |= ssfCtrl;
    if (shift.Contains(ssShift)) flags |= ssfShift;
    if (shift.Contains(ssAlt)) flags |= ssfAlt;
    return TranslateKey(static_cast<uint16_t>(key), flags);
}

uint16_t TEntCommandProcessor::Translate(const TMessage& keyMessage) {
    return TranslateKey(static_cast<uint16_t>(keyMessage.WParam), GetShiftFlags());
}

void TEntCommandProcessor::WriteTableList(TEntValueWriter& w) const {
    w.WriteListBegin();
    for (const auto& t : FTables) t->WriteTable(w);
    w.WriteListEnd();
}

void TEntCommandProcessor::ReadTableList(TEntValueReader& r) {
    FTables.clear();
    r.ReadListBegin();
    while (!r.EndOfList()) {
        auto table = std::make_unique<TEntCommandTable>();
        table->ReadTable(r);
        Add(table.release());
    }
    r.ReadListEnd();
}
