#include "TypInfo.h"

#include "SysUtils.h"

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <memory>
#include <sstream>
#include <unordered_map>

namespace {

struct Registry {
    std::map<std::string, std::unique_ptr<TClassInfo>> byName;  // lower-case name
    std::unordered_map<std::type_index, TClassInfo*> byType;
};

Registry& TheRegistry() {
    static Registry r;
    return r;
}

}  // namespace

bool TPropInfo::ReadOnly() const {
    switch (Kind) {
    case pkFloat: return !SetFloat;
    case pkString: return !SetStr;
    case pkClass: return !SetObject;
    case pkEvent: return !SetEvent;
    default: return !SetOrd;
    }
}

const TPropInfo* TClassInfo::FindProp(const std::string& name) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        for (const TPropInfo& p : c->Props)
            if (SameText(p.Name, name)) return &p;
    return nullptr;
}

bool TClassInfo::InheritsFrom(const std::string& className) const {
    for (const TClassInfo* c = this; c; c = c->Parent)
        if (SameText(c->Name, className)) return true;
    return false;
}

TClassInfo& RegisterClassInfo(const std::string& name, const std::string& parentName, std::type_index type) {
    Registry& r = TheRegistry();
    const TClassInfo* parent = nullptr;
    if (!parentName.empty()) {
        parent = FindClassInfo(parentName);
        if (!parent) throw EPropertyError("Class " + parentName + " must be registered before " + name);
    }
    auto& slot = r.byName[LowerCase(name)];
    if (!slot)
        slot = std::make_unique<TClassInfo>();
    else
        slot->Props.clear();  // registering again replaces the table
    slot->Name = name;
    slot->Parent = parent;
    r.byType[type] = slot.get();
    return *slot;
}

const TClassInfo* FindClassInfo(const std::string& name) {
    Registry& r = TheRegistry();
    auto it = r.byName.find(LowerCase(name));
    return it == r.byName.end() ? nullptr : it->second.get();
}

const TClassInfo* ClassInfoOf(const TObject* obj) {
    if (!obj) return nullptr;
    Registry& r = TheRegistry();
    auto it = r.byType.find(std::type_index(typeid(*obj)));
    if (it != r.byType.end()) return it->second;
    return FindClassInfo(obj->ClassName());
}

std::string ParentIfRegistered(const std::string& name, const std::string& fallback) {
    return FindClassInfo(name) ? name : fallback;
}

std::vector<std::string> RegisteredClassNames() {
    std::vector<std::string> names;
    for (auto& [key, info] : TheRegistry().byName) names.push_back(info->Name);
    return names;
}

int EnumIndex(const TPropInfo& prop, const std::string& name) {
    for (size_t i = 0; i < prop.EnumNames.size(); ++i)
        if (SameText(prop.EnumNames[i], name)) return static_cast<int>(i);
    return -1;
}

std::string SetToText(const TPropInfo& prop, int64_t bits) {
    std::string out = "[";
    bool first = true;
    for (size_t i = 0; i < prop.EnumNames.size() && i < 64; ++i) {
        if (!((static_cast<uint64_t>(bits) >> i) & 1u)) continue;
        if (!first) out += ",";
        out += prop.EnumNames[i];
        first = false;
    }
    return out + "]";
}

int64_t TextToSet(const TPropInfo& prop, const std::string& text) {
    std::string t = Trim(text);
    if (t.size() < 2 || t.front() != '[' || t.back() != ']') throw EPropertyError("Invalid property value " + text);
    uint64_t bits = 0;
    std::stringstream in(t.substr(1, t.size() - 2));
    std::string item;
    while (std::getline(in, item, ',')) {
        item = Trim(item);
        if (item.empty()) continue;
        int index = EnumIndex(prop, item);
        if (index < 0) throw EPropertyError("Invalid property value " + item);
        bits |= uint64_t(1) << index;
    }
    return static_cast<int64_t>(bits);
}

const TPropInfo* ResolvePropPath(TObject* root, const std::string& path, TObject*& target) {
    TObject* obj = root;
    size_t start = 0;
    bool first = true;
    for (;;) {
        size_t dot = path.find('.', start);
        std::string step = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        const TClassInfo* info = ClassInfoOf(obj);
        const TPropInfo* prop = info ? info->FindProp(step) : nullptr;
        if (dot == std::string::npos) {
            if (!prop) throw EPropertyError("Property " + step + " does not exist");
            target = obj;
            return prop;
        }
        TObject* next = nullptr;
        if (prop && prop->Kind == pkClass) {
            next = prop->GetObject(obj);
        } else if (first) {
            // The first step may name a component owned by the root.
            if (auto* owner = dynamic_cast<TComponent*>(obj)) next = owner->FindComponent(step);
        }
        if (!next) throw EPropertyError("Property " + step + " does not exist");
        obj = next;
        start = dot + 1;
        first = false;
    }
}

std::string GetPropText(TObject* root, const std::string& path) {
    TObject* obj = nullptr;
    const TPropInfo* p = ResolvePropPath(root, path, obj);
    switch (p->Kind) {
    case pkInteger: return std::to_string(p->GetOrd(obj));
    case pkBool: return p->GetOrd(obj) ? "True" : "False";
    case pkEnum: {
        int64_t v = p->GetOrd(obj);
        if (v >= 0 && v < static_cast<int64_t>(p->EnumNames.size())) return p->EnumNames[static_cast<size_t>(v)];
        return std::to_string(v);
    }
    case pkSet: return SetToText(*p, p->GetOrd(obj));
    case pkFloat: {
        std::ostringstream out;
        out.precision(18);
        out << p->GetFloat(obj);
        return out.str();
    }
    case pkString: return p->GetStr(obj);
    case pkClass: {
        TPersistent* value = p->GetObject(obj);
        if (auto* strings = dynamic_cast<TStrings*>(value)) return strings->GetText();
        if (auto* component = dynamic_cast<TComponent*>(value)) return component->GetName();
        return "";
    }
    case pkEvent: break;
    }
    throw EPropertyError("Property " + p->Name + " cannot be read as text");
}

void SetPropText(TObject* root, const std::string& path, const std::string& value) {
    TObject* obj = nullptr;
    const TPropInfo* p = ResolvePropPath(root, path, obj);
    auto readOnly = [&]() { return EPropertyError("Property " + p->Name + " is read-only"); };
    switch (p->Kind) {
    case pkInteger: {
        if (!p->SetOrd) throw readOnly();
        char* end = nullptr;
        std::string t = Trim(value);
        long long v = std::strtoll(t.c_str(), &end, 10);
        if (t.empty() || *end) throw EPropertyError("Invalid property value " + value);
        p->SetOrd(obj, v);
        return;
    }
    case pkBool: {
        if (!p->SetOrd) throw readOnly();
        std::string t = LowerCase(Trim(value));
        if (t == "true" || t == "1" || t == "-1")
            p->SetOrd(obj, 1);
        else if (t == "false" || t == "0")
            p->SetOrd(obj, 0);
        else
            throw EPropertyError("Invalid property value " + value);
        return;
    }
    case pkEnum: {
        if (!p->SetOrd) throw readOnly();
        int index = EnumIndex(*p, Trim(value));
        if (index < 0) throw EPropertyError("Invalid property value " + value);
        p->SetOrd(obj, index);
        return;
    }
    case pkSet:
        if (!p->SetOrd) throw readOnly();
        p->SetOrd(obj, TextToSet(*p, value));
        return;
    case pkFloat: {
        if (!p->SetFloat) throw readOnly();
        char* end = nullptr;
        std::string t = Trim(value);
        long double v = std::strtold(t.c_str(), &end);
        if (t.empty() || *end) throw EPropertyError("Invalid property value " + value);
        p->SetFloat(obj, v);
        return;
    }
    case pkString:
        if (!p->SetStr) throw readOnly();
        p->SetStr(obj, value);
        return;
    case pkClass:
        if (auto* strings = dynamic_cast<TStrings*>(p->GetObject(obj))) {
            strings->SetText(value);
            return;
        }
        break;
    case pkEvent: break;
    }
    throw EPropertyError("Property " + p->Name + " cannot be written as text");
}
