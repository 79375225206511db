#include "RP_Dict.h"

#include "RP_Class.h"
#include "RP_Context.h"
#include "RP_DSet.h"
#include "RP_Utils.h"
#include "SysUtils.h"

namespace {

// Each entry of the older record takes at least this many bytes.
constexpr int64_t kOldEntryBytes = 1 + 4 + 3;

std::string ReadShortString(TStream* stream) {
    uint8_t n = ReadByteFromStream(stream);
    rpCheckAvailable(stream, n, "dictionary entry");
    std::string s(n, '\0');
    if (n) stream->ReadBuffer(s.data(), n);
    return rpTextFromAnsi(s);
}

int32_t ReadCount(TStream* stream, int64_t minEntryBytes) {
    int32_t count = ReadIntegerFromStream(stream);
    if (count < 0 || int64_t(count) * minEntryBytes > stream->GetSize() - stream->GetPosition())
        throw EReadError("Dictionary count " + std::to_string(count) + " does not fit the stream");
    return count;
}

// System variables an older dictionary entry may name by index.
const char* const kSystemVariables[] = {"",        "",         "PAGE#",     "DATE", "TIME", "LINE#", "LINETHROUGH#",
                                        "COLUMN#", "CURRENT#", "TOTALPAGES"};

}  // namespace

bool rpSplitFieldReference(const std::string& reference, std::string& source, std::string& field) {
    bool quoted = false;
    size_t split = std::string::npos;
    for (size_t i = 0; i < reference.size(); ++i) {
        if (reference[i] == '"')
            quoted = !quoted;
        else if (reference[i] == '.' && !quoted)
            split = i;
    }
    if (split == std::string::npos) return false;
    source = reference.substr(0, split);
    field = reference.substr(split + 1);
    if (field.size() >= 2 && field.front() == '"' && field.back() == '"') field = field.substr(1, field.size() - 2);
    return true;
}

TrpDataDictionary::TrpDataDictionary(TrpContext& context)
    : Variables(std::make_unique<TrpVariables>()),
      FieldAliases(std::make_unique<TrpVariables>()),
      SourceAliases(std::make_unique<TrpVariables>()),
      FContext(context) {}

TrpDataDictionary::~TrpDataDictionary() = default;

void TrpDataDictionary::Clear() {
    Variables->Clear();
    FieldAliases->Clear();
    SourceAliases->Clear();
    ClearCache();
}

void TrpDataDictionary::ClearCache() { FieldCache.clear(); }

int TrpDataDictionary::VariableIndex(const std::string& name) const {
    // Variables are held with a leading blank; a name without one is a heading.
    int i = Variables->IndexOf(" " + name);
    return i >= 0 ? i : Variables->IndexOf(name);
}

bool TrpDataDictionary::Resolve(const std::string& name, const std::string& reference) {
    std::string source, field;
    if (!rpSplitFieldReference(reference, source, field)) return false;
    TObject* ds = FContext.FindDataSource(source);
    if (!ds) return false;
    FieldCache[UpperCase(name)] = TrpFieldRef{ds, field};
    return true;
}

bool TrpDataDictionary::IsVariable(const std::string& name) {
    if (FieldCache.count(UpperCase(name))) return true;
    int i = VariableIndex(name);
    if (i >= 0) {
        Variant v = Variables->GetValue(i);
        std::string text = v.IsString() ? v.AsString() : std::string();
        // A field reference resolves once; later lookups come from the cache.
        if (!text.empty() && text.find('.') != std::string::npos) Resolve(name, text);
        return true;
    }
    if (name.find('.') != std::string::npos) return Resolve(name, name);
    return false;
}

Variant TrpDataDictionary::GetValue(const std::string& name) {
    auto cached = FieldCache.find(UpperCase(name));
    if (cached != FieldCache.end()) {
        return FContext.GetFieldValue(cached->second.DataSource, cached->second.FieldName);
    }
    int i = VariableIndex(name);
    if (i < 0) return Null();
    Variant value;
    if (!FContext.GlobalVariable(name, value)) value = Variables->GetValue(i);
    if (!value.IsString() || value.AsString().empty()) return value;
    // A variable whose expression leads back to itself would recurse without end.
    std::string key = UpperCase(name);
    if (FEvaluating.count(key)) throw ErpParserError(LoadEngineString(rpsUndefinedSymbol) + " \"" + name + "\"");
    FEvaluating.insert(key);
    try {
        value = FContext.Calc(value.AsString());
    } catch (...) {
        FEvaluating.erase(key);
        throw;
    }
    FEvaluating.erase(key);
    return value;
}

std::string TrpDataDictionary::GetAlias(const std::string& reference) const {
    for (int i = 0; i < FieldAliases->Count(); ++i)
        if (SameText(VarToStr(FieldAliases->GetValue(i)), reference)) return FieldAliases->GetName(i);
    return reference;
}

void TrpDataDictionary::ReadOldRecord(TStream* stream) {
    int32_t count = ReadCount(stream, kOldEntryBytes);
    struct Entry {
        uint8_t Kind;
        int32_t Index;
        std::string S1, S2, S3;
    };
    std::vector<Entry> entries;
    for (int32_t i = 0; i < count; ++i) {
        Entry e;
        e.Kind = ReadByteFromStream(stream);
        e.Index = ReadIntegerFromStream(stream);
        e.S1 = ReadShortString(stream);
        e.S2 = ReadShortString(stream);
        e.S3 = ReadShortString(stream);
        entries.push_back(std::move(e));
    }
    TStringList names;
    rpReadTemplateMemo(stream, &names, FContext.TemplateVersion);
    for (size_t i = 0; i < entries.size(); ++i) {
        const Entry& e = entries[i];
        std::string name = int(i) < names.Count() ? names.Get(int(i)) : e.S1;
        std::string value;
        if (e.Kind == 2) {
            if (e.Index == 1)
                value = e.S1;
            else if (e.Index >= 0 && e.Index < int32_t(std::size(kSystemVariables)))
                value = kSystemVariables[e.Index];
        } else if (e.Kind == 1) {
            value = e.S2 + "." + e.S3;
        } else {
            value = e.S1;
        }
        if (!name.empty()) Variables->SetVariable(name, value);
    }
}

void TrpDataDictionary::LoadFromStream(TStream* stream) {
    Clear();
    int64_t start = stream->GetPosition();
    uint16_t format = ReadWordFromStream(stream);
    if (format == 0xFFFE || format == 0xFFFF) {
        TrpVariables* lists[3] = {Variables.get(), FieldAliases.get(), SourceAliases.get()};
        int64_t minString = FContext.TemplateVersion < 23 ? 1 : 3;
        for (TrpVariables* list : lists) {
            int32_t count = ReadCount(stream, 2 * minString);
            for (int32_t i = 0; i < count; ++i) {
                std::string name = rpReadTemplateString(stream, FContext.TemplateVersion);
                std::string value = rpReadTemplateString(stream, FContext.TemplateVersion);
                list->SetVariable(name, value);
            }
        }
    } else {
        stream->SetPosition(start);
        ReadOldRecord(stream);
    }
    if (Variables->Count() > 0 && Variables->GetName(0).rfind(' ', 0) != 0) {
        for (int i = 0; i < Variables->Count(); ++i) {
            std::string n = Variables->GetName(i);
            Variables->SetName(i, n.rfind(' ', 0) == 0 ? n.substr(1) : " " + n);
        }
    }
    if (format == 0xFFFF) {
        // Aliases of sources the program does not have are dropped.
        for (int i = FieldAliases->Count() - 1; i >= 0; --i) {
            std::string source, field;
            if (!rpSplitFieldReference(VarToStr(FieldAliases->GetValue(i)), source, field) ||
                !FContext.FindDataSource(source))
                FieldAliases->Delete(i);
        }
        for (int i = SourceAliases->Count() - 1; i >= 0; --i)
            if (!FContext.FindDataSource(VarToStr(SourceAliases->GetValue(i)))) SourceAliases->Delete(i);
    }
}

void TrpDataDictionary::SaveToStream(TStream* stream) {
    WriteWordToStream(stream, 0xFFFE);
    TrpVariables* lists[3] = {Variables.get(), FieldAliases.get(), SourceAliases.get()};
    for (TrpVariables* list : lists) {
        WriteIntegerToStream(stream, list->Count());
        for (int i = 0; i < list->Count(); ++i) {
            SaveStringToStream(list->GetName(i), stream);
            SaveStringToStream(VarToStr(list->GetValue(i)), stream);
        }
    }
}
