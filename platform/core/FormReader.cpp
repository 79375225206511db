#include "FormReader.h"

#include "SysUtils.h"

#include <cctype>
#include <unordered_map>

namespace {

std::unordered_map<std::string, int64_t>& Constants() {
    static std::unordered_map<std::string, int64_t> table;
    return table;
}

[[noreturn]] void Fail(const std::string& where, const std::string& what) {
    throw EPropertyError("Error reading " + where + ": " + what);
}

void SetLines(TStrings* strings, const TFormValue& value, const std::string& where) {
    if (value.kind != TFormValue::vkList) Fail(where, "Invalid property value");
    strings->BeginUpdate();
    strings->Clear();
    for (const TFormValue& item : value.Items) {
        if (item.kind != TFormValue::vkString) {
            strings->EndUpdate();
            Fail(where, "Invalid property value");
        }
        strings->Add(item.Str);
    }
    strings->EndUpdate();
}

}  // namespace

bool TCaseInsensitiveLess::operator()(const std::string& a, const std::string& b) const {
    return CompareText(a, b) < 0;
}

void RegisterIntConstant(const std::string& name, int64_t value) { Constants()[LowerCase(name)] = value; }

bool IdentToInt(const std::string& name, int64_t& value) {
    auto it = Constants().find(LowerCase(name));
    if (it == Constants().end()) return false;
    value = it->second;
    return true;
}

// ---------------------------------------------------------------------------

void TReader::DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc, bool) {
    if (FHandled || !ReadData || !SameText(Name, FName)) return;
    FHandled = true;
    ReadData(this);
}

void TReader::DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc, bool) {
    if (FHandled || !ReadData || !SameText(Name, FName)) return;
    if (FValue->kind != TFormValue::vkBinary) throw EReadError("Invalid binary value for " + Name);
    FHandled = true;
    TMemoryStream stream;
    if (!FValue->Bytes.empty()) stream.WriteBuffer(FValue->Bytes.data(), static_cast<int64_t>(FValue->Bytes.size()));
    stream.SetPosition(0);
    ReadData(&stream);
}

std::string TReader::ReadString() const {
    if (FValue->kind != TFormValue::vkString) throw EReadError("String expected for " + FName);
    return FValue->Str;
}

int64_t TReader::ReadInteger() const {
    if (FValue->kind != TFormValue::vkInteger) throw EReadError("Integer expected for " + FName);
    return FValue->Int;
}

long double TReader::ReadFloat() const {
    if (FValue->kind == TFormValue::vkInteger) return static_cast<long double>(FValue->Int);
    if (FValue->kind != TFormValue::vkFloat) throw EReadError("Number expected for " + FName);
    return FValue->Float;
}

bool TReader::ReadBoolean() const {
    std::string id = LowerCase(ReadIdent());
    if (id == "true") return true;
    if (id == "false") return false;
    throw EReadError("Boolean expected for " + FName);
}

std::string TReader::ReadIdent() const {
    if (FValue->kind != TFormValue::vkIdent) throw EReadError("Identifier expected for " + FName);
    return FValue->Str;
}

// ---------------------------------------------------------------------------

TFormReader::TFormReader(TComponent* root, const THandlerTable& handlers) : FRoot(root), FHandlers(handlers) {}

void TFormReader::Read(const TFormObject& definition) {
    FLoaded.clear();
    FFixups.clear();
    try {
        FRoot->ComponentState += csLoading;
        FRoot->ComponentState += csReading;
        FLoaded.push_back(FRoot);
        if (!definition.Name.empty() && FRoot->GetName().empty()) FRoot->SetName(definition.Name);
        std::string where = definition.Name.empty() ? definition.ClassName : definition.Name;
        ApplyProperties(FRoot, definition.Properties, where);
        ReadChildren(definition, FRoot);
        ResolveFixups();
    } catch (...) {
        for (TComponent* c : FLoaded) {
            c->ComponentState -= csLoading;
            c->ComponentState -= csReading;
        }
        throw;
    }
    for (TComponent* c : FLoaded) c->ComponentState -= csReading;
    for (TComponent* c : FLoaded) c->Loaded();
}

void TFormReader::ReadChildren(const TFormObject& def, TComponent* container) {
    for (const TFormObject& child : def.Children) {
        const TClassInfo* info = FindClassInfo(child.ClassName);
        if (!info || !info->Create)
            throw EPropertyError("Class " + child.ClassName + " not found (line " + std::to_string(child.Line) + ")");
        TComponent* component = info->Create(FRoot);
        component->ComponentState += csLoading;
        component->ComponentState += csReading;
        FLoaded.push_back(component);
        if (!child.Name.empty()) component->SetName(child.Name);
        component->SetParentComponent(container);
        ApplyProperties(component, child.Properties, child.Name.empty() ? child.ClassName : child.Name);
        ReadChildren(child, component);
    }
}

void TFormReader::ApplyProperties(TObject* obj, const std::vector<TFormProperty>& props, const std::string& where) {
    for (const TFormProperty& p : props) ApplyProperty(obj, p.Name, p.Value, where + "." + p.Name);
}

void TFormReader::ApplyProperty(TObject* obj, const std::string& path, const TFormValue& value,
                                const std::string& where) {
    size_t dot = path.find('.');
    std::string step = path.substr(0, dot);
    std::string rest = dot == std::string::npos ? "" : path.substr(dot + 1);

    if (auto* strings = dynamic_cast<TStrings*>(obj); strings && rest.empty() && SameText(step, "strings")) {
        SetLines(strings, value, where);
        return;
    }
    const TClassInfo* info = ClassInfoOf(obj);
    const TPropInfo* prop = info ? info->FindProp(step) : nullptr;
    if (!rest.empty()) {
        if (!prop || prop->Kind != pkClass) Fail(where, "Property " + step + " does not exist");
        TPersistent* sub = prop->GetObject(obj);
        if (!sub) Fail(where, "Property " + step + " is not assigned");
        ApplyProperty(sub, rest, value, where);
        return;
    }
    if (prop) {
        ApplyValue(obj, *prop, value, where);
        return;
    }
    if (!ApplyDefined(obj, step, value)) Fail(where, "Property " + step + " does not exist");
}

void TFormReader::ApplyValue(TObject* obj, const TPropInfo& prop, const TFormValue& value, const std::string& where) {
    auto needSetter = [&](bool present) {
        if (!present) Fail(where, "Property " + prop.Name + " is read-only");
    };
    switch (prop.Kind) {
    case pkInteger: {
        needSetter(bool(prop.SetOrd));
        int64_t v = 0;
        if (value.kind == TFormValue::vkInteger)
            v = value.Int;
        else if (value.kind == TFormValue::vkIdent && IdentToInt(value.Str, v)) {
        } else
            Fail(where, "Invalid property value");
        prop.SetOrd(obj, v);
        return;
    }
    case pkBool: {
        needSetter(bool(prop.SetOrd));
        if (value.kind != TFormValue::vkIdent) Fail(where, "Invalid property value");
        std::string id = LowerCase(value.Str);
        if (id != "true" && id != "false") Fail(where, "Invalid property value");
        prop.SetOrd(obj, id == "true");
        return;
    }
    case pkEnum: {
        needSetter(bool(prop.SetOrd));
        int index = value.kind == TFormValue::vkIdent ? EnumIndex(prop, value.Str) : -1;
        if (index < 0) Fail(where, "Invalid property value");
        prop.SetOrd(obj, index);
        return;
    }
    case pkSet: {
        needSetter(bool(prop.SetOrd));
        if (value.kind != TFormValue::vkSet) Fail(where, "Invalid property value");
        uint64_t bits = 0;
        for (const std::string& n : value.Names) {
            int index = EnumIndex(prop, n);
            if (index < 0) Fail(where, "Invalid property value " + n);
            bits |= uint64_t(1) << index;
        }
        prop.SetOrd(obj, static_cast<int64_t>(bits));
        return;
    }
    case pkFloat:
        needSetter(bool(prop.SetFloat));
        if (value.kind == TFormValue::vkInteger)
            prop.SetFloat(obj, static_cast<long double>(value.Int));
        else if (value.kind == TFormValue::vkFloat)
            prop.SetFloat(obj, value.Float);
        else
            Fail(where, "Invalid property value");
        return;
    case pkString:
        needSetter(bool(prop.SetStr));
        if (value.kind != TFormValue::vkString) Fail(where, "Invalid property value");
        prop.SetStr(obj, value.Str);
        return;
    case pkClass: {
        if (value.kind == TFormValue::vkIdent && prop.SetObject) {
            if (SameText(value.Str, "nil"))
                prop.SetObject(obj, nullptr);
            else
                FFixups.push_back(Fixup{obj, &prop, value.Str, where});
            return;
        }
        TPersistent* sub = prop.GetObject ? prop.GetObject(obj) : nullptr;
        if (auto* strings = dynamic_cast<TStrings*>(sub); strings && value.kind == TFormValue::vkList) {
            SetLines(strings, value, where);
            return;
        }
        if (auto* collection = dynamic_cast<TCollection*>(sub); collection && value.kind == TFormValue::vkCollection) {
            collection->BeginUpdate();
            try {
                collection->Clear();
                for (size_t i = 0; i < value.Elements.size(); ++i) {
                    TCollectionItem* item = collection->Add();
                    ApplyProperties(item, value.Elements[i].Properties, where + "[" + std::to_string(i) + "]");
                }
            } catch (...) {
                collection->EndUpdate();
                throw;
            }
            collection->EndUpdate();
            return;
        }
        Fail(where, "Invalid property value");
    }
    case pkEvent: {
        if (value.kind != TFormValue::vkIdent) Fail(where, "Invalid property value");
        auto it = FHandlers.find(value.Str);
        if (it == FHandlers.end()) Fail(where, "Method " + value.Str + " not found");
        try {
            prop.SetEvent(obj, it->second);
        } catch (const EPropertyError& e) {
            Fail(where, e.Message);
        }
        return;
    }
    }
}

bool TFormReader::ApplyDefined(TObject* obj, const std::string& name, const TFormValue& value) {
    auto* persistent = dynamic_cast<TPersistent*>(obj);
    if (!persistent) return false;
    TReader reader;
    reader.Root = FRoot;
    reader.FName = name;
    reader.FValue = &value;
    persistent->DefineProperties(&reader);
    return reader.FHandled;
}

void TFormReader::ResolveFixups() {
    for (const Fixup& f : FFixups) {
        TComponent* target = SameText(f.name, FRoot->GetName()) ? FRoot : FRoot->FindComponent(f.name);
        if (!target) Fail(f.where, "Component " + f.name + " not found");
        f.prop->SetObject(f.target, target);
    }
}

void ReadComponentFromText(TComponent* root, const std::string& text, const THandlerTable& handlers) {
    TFormReader(root, handlers).Read(ParseFormText(text));
}
