#include "entstate.h"

#include <algorithm>

#include <filesystem>
#include <mutex>
#include <set>

#include "Folders.h"
#include "IniFiles.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "entmsgs.h"
#include "entstr.h"

namespace {

std::string FileNamePart(const std::string& path) {
    size_t cut = path.find_last_of("/\\");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ProgramFileName() {
    std::error_code ec;
    std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
    return ec ? std::string("program") : exe.filename().string();
}

// Every published property of the object's class and its ancestors, the most
// derived declaration of a name winning.
std::vector<const TPropInfo*> PublishedProps(TObject* obj) {
    std::vector<const TPropInfo*> props;
    std::set<std::string> seen;
    for (const TClassInfo* c = ClassInfoOf(obj); c; c = c->Parent)
        for (const TPropInfo& p : c->Props) {
            if (p.Kind == pkEvent) continue;
            if (seen.insert(LowerCase(p.Name)).second) props.push_back(&p);
        }
    return props;
}

// The text a property's value is stored as; empty for objects.
std::string ValueText(const TPropInfo& p, TObject* obj) {
    switch (p.Kind) {
    case pkInteger: return IntToStr(p.GetOrd(obj));
    case pkBool: return p.GetOrd(obj) ? "True" : "False";
    case pkEnum: {
        int64_t v = p.GetOrd(obj);
        if (v >= 0 && v < static_cast<int64_t>(p.EnumNames.size())) return p.EnumNames[static_cast<size_t>(v)];
        return IntToStr(v);
    }
    case pkSet: return SetToText(p, p.GetOrd(obj));
    case pkFloat: return FloatToStrF(p.GetFloat(obj), ffGeneral, 15, 0);
    case pkString: return p.GetStr(obj);
    case pkClass:
    case pkEvent: break;
    }
    return "";
}

std::string ListSection(const std::string& Section, const std::string& Key) { return Section + "." + Key; }

constexpr int kMaxNesting = 8;

void WriteProp(TEntAbstractStore* store, const std::string& section, const std::string& prefix, TObject* obj,
               const TPropInfo& p, int depth) {
    const std::string key = prefix + p.Name;
    if (p.Kind != pkClass) {
        std::string text = Trim(ValueText(p, obj));
        if (text.empty() && p.Kind != pkString) return;
        store->WriteString(section, key, text);
        return;
    }
    TPersistent* value = p.GetObject ? p.GetObject(obj) : nullptr;
    if (!value || dynamic_cast<TComponent*>(value) || depth >= kMaxNesting) return;
    if (auto* strings = dynamic_cast<TStrings*>(value)) {
        const std::string listSection = ListSection(section, key);
        store->EraseSection(listSection);
        if (strings->Count() > 0) {
            store->WriteString(listSection, "Count", IntToStr(strings->Count()));
            for (int i = 0; i < strings->Count(); ++i)
                store->WriteString(listSection, "Item" + IntToStr(i), strings->Get(i));
        }
    }
    for (const TPropInfo* sub : PublishedProps(value)) WriteProp(store, section, key, value, *sub, depth + 1);
}

constexpr int kMaxStoredListItems = 1024;

void ReadProp(TEntAbstractStore* store, const std::string& section, const std::string& prefix, TObject* obj,
              const TPropInfo& p, int depth) {
    const std::string key = prefix + p.Name;
    try {
        if (p.Kind == pkClass) {
            TPersistent* value = p.GetObject ? p.GetObject(obj) : nullptr;
            if (!value || dynamic_cast<TComponent*>(value) || depth >= kMaxNesting) return;
            if (auto* strings = dynamic_cast<TStrings*>(value)) {
                const std::string listSection = ListSection(section, key);
                int count = 0;
                if (!TryStrToInt(Trim(store->ReadString(listSection, "Count", "0")), count)) count = 0;
                // A hand-edited count must not make start-up read (or allocate) without end.
                count = std::min(count, kMaxStoredListItems);
                if (count > 0) {
                    TStringList lines;
                    for (int i = 0; i < count; ++i) lines.Add(store->ReadString(listSection, "Item" + IntToStr(i), ""));
                    strings->Assign(&lines);
                }
            }
            for (const TPropInfo* sub : PublishedProps(value)) ReadProp(store, section, key, value, *sub, depth + 1);
            return;
        }
        if (p.ReadOnly()) return;
        const std::string current = ValueText(p, obj);
        if (current.empty() && p.Kind != pkString) return;
        const std::string text = Trim(store->ReadString(section, key, current));
        switch (p.Kind) {
        case pkInteger: {
            int64_t v = 0;
            if (!TryStrToInt64(text, v)) v = 0;
            p.SetOrd(obj, v);
            break;
        }
        case pkBool:
        case pkEnum: {
            int index = EnumIndex(p, text);
            if (index >= 0) p.SetOrd(obj, index);
            break;
        }
        case pkFloat: p.SetFloat(obj, StrToFloat(text)); break;
        case pkString: p.SetStr(obj, text); break;
        case pkSet: {
            const std::string delims = " ,[]";
            uint64_t bits = 0;
            for (int i = 1, n = WordCount(text, delims); i <= n; ++i) {
                int index = EnumIndex(p, ExtractWord(i, text, delims));
                if (index >= 0 && index < 32) bits |= uint64_t(1) << index;
            }
            p.SetOrd(obj, static_cast<int64_t>(bits));
            break;
        }
        case pkClass:
        case pkEvent: break;
        }
    } catch (...) {
        // A value that does not convert leaves the property as it was; the
        // remaining properties are still read.
    }
}

}  // namespace

// ---------------------------------------------------------------------------
// Stores

void TEntAbstractStore::Open() {
    if (++FOpenCount == 1) {
        try {
            DoOpen();
        } catch (...) {
            FOpenCount = 0;
            throw;
        }
    }
}

void TEntAbstractStore::Close() {
    if (FOpenCount <= 0) return;
    if (--FOpenCount == 0) DoClose();
}

void TEntAbstractStore::WhileOpen(const std::function<void()>& Work) {
    Open();
    try {
        Work();
    } catch (...) {
        Close();
        throw;
    }
    Close();
}

int TEntAbstractStore::ReadInteger(const std::string& Section, const std::string& Key, int Default) {
    int value = 0;
    return TryStrToInt(Trim(ReadString(Section, Key, IntToStr(Default))), value) ? value : Default;
}

void TEntAbstractStore::WriteInteger(const std::string& Section, const std::string& Key, int Value) {
    WriteString(Section, Key, IntToStr(Value));
}

TEntIniFileStore::TEntIniFileStore(TComponent* AOwner) : TEntAbstractStore(AOwner) {}

TEntIniFileStore::~TEntIniFileStore() = default;

std::string TEntIniFileStore::GetIniFileName() const {
    const bool designing = ComponentState.Contains(csDesigning);
    std::string name = FIniFileName;
    if (name.empty() && !designing) {
        std::string program = ProgramFileName();
        size_t dot = program.rfind('.');
        name = (dot == std::string::npos ? program : program.substr(0, dot)) + ".INI";
    }
    if (!designing && FileNamePart(name).find('.') == std::string::npos) name += ".INI";
    return name;
}

std::string TEntIniFileStore::ResolvedFileName() const {
    std::string name = GetIniFileName();
    if (UseExeDir) return SettingsDir() + FileNamePart(name);
    return name;
}

void TEntIniFileStore::DoOpen() { FIni = std::make_unique<TIniFile>(ResolvedFileName()); }

void TEntIniFileStore::DoClose() { FIni.reset(); }

std::string TEntIniFileStore::ReadString(const std::string& Section, const std::string& Key,
                                         const std::string& Default) {
    if (!FIni) return Default;
    return FIni->ReadString(Section, Key, Default);
}

void TEntIniFileStore::WriteString(const std::string& Section, const std::string& Key, const std::string& Value) {
    if (FIni) FIni->WriteString(Section, Key, Value);
}

void TEntIniFileStore::EraseSection(const std::string& Section) {
    if (FIni) FIni->EraseSection(Section);
}

// ---------------------------------------------------------------------------
// State components

TEntAbstractState::TEntAbstractState(TComponent* AOwner) : TEntComponent(AOwner) {
    if (!dynamic_cast<TForm*>(AOwner)) throw EEntException(LookupMessageText(SEntFormsOnly));
}

TEntAbstractState::~TEntAbstractState() {
    if (FHooked && !ComponentState.Contains(csDesigning)) {
        if (TForm* form = OwnerForm()) {
            form->OnCreate = FPrevOnCreate;
            form->OnCloseQuery = FPrevOnCloseQuery;
            form->OnDestroy = FPrevOnDestroy;
        }
    }
}

TForm* TEntAbstractState::OwnerForm() const { return dynamic_cast<TForm*>(Owner); }

std::string TEntAbstractState::GetSection() const {
    if (!FSection.empty()) return FSection;
    return Owner ? Owner->ClassName() : std::string();
}

void TEntAbstractState::SetStorage(TEntAbstractStore* Value) {
    if (FStorage == Value) return;
    if (FStorage) FStorage->RemoveFreeNotification(this);
    FStorage = Value;
    if (FStorage) FStorage->FreeNotification(this);
}

void TEntAbstractState::Loaded() {
    TEntComponent::Loaded();
    if (ComponentState.Contains(csDesigning) || FHooked) return;
    TForm* form = OwnerForm();
    if (!form) return;
    FPrevOnCreate = form->OnCreate;
    FPrevOnCloseQuery = form->OnCloseQuery;
    FPrevOnDestroy = form->OnDestroy;
    form->OnCreate = [this](TObject* Sender) { FormCreate(Sender); };
    form->OnCloseQuery = [this](TObject* Sender, bool& CanClose) { FormCloseQuery(Sender, CanClose); };
    form->OnDestroy = [this](TObject* Sender) { FormDestroy(Sender); };
    FHooked = true;
}

void TEntAbstractState::DoRestore() {
    FSaved = false;
    RestoreState();
    FRestored = true;
    if (OnRestoreState) OnRestoreState(this);
}

void TEntAbstractState::DoSave() {
    if (!Active || !FRestored) return;
    SaveState();
    if (OnSaveState) OnSaveState(this);
    FSaved = true;
}

void TEntAbstractState::FormCreate(TObject* Sender) {
    if (FPrevOnCreate) FPrevOnCreate(Sender);
    if (!Active) return;
    GuardedCall(this, [this] { DoRestore(); });
}

void TEntAbstractState::FormCloseQuery(TObject* Sender, bool& CanClose) {
    if (FPrevOnCloseQuery) FPrevOnCloseQuery(Sender, CanClose);
    if (!CanClose || !Active) return;
    GuardedCall(this, [this] { DoSave(); });
}

void TEntAbstractState::FormDestroy(TObject* Sender) {
    if (Active && !FSaved) GuardedCall(this, [this] { DoSave(); });
    if (FPrevOnDestroy) FPrevOnDestroy(Sender);
}

void TEntAbstractState::Notification(TComponent* AComponent, TOperation Operation) {
    TEntComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FStorage) {
        FStorage = nullptr;
        Active = false;
    }
}

TEntComponentState::TEntComponentState(TComponent* AOwner)
    : TEntAbstractState(AOwner), FStoredProperties(std::make_unique<TStringList>()) {}

TEntComponentState::~TEntComponentState() = default;

bool ParseStateEntry(const std::string& Entry, std::string& Component, std::string& Property) {
    size_t dot = Entry.find('.');
    if (dot == std::string::npos) return false;
    Component = Trim(Entry.substr(0, dot));
    Property = Trim(Entry.substr(dot + 1));
    return !Component.empty() && !Property.empty();
}

void TEntComponentState::SetStoredProperties(TStrings* Value) {
    FStoredProperties->Assign(Value);
    for (int i = 0; i < FStoredProperties->Count(); ++i)
        if (auto* c = dynamic_cast<TComponent*>(FStoredProperties->Objects(i))) c->FreeNotification(this);
}

void TEntComponentState::LinkEntries() {
    TComponent* form = Owner;
    for (int i = FStoredProperties->Count() - 1; i >= 0; --i) {
        std::string component, property;
        TComponent* linked = nullptr;
        if (form && ParseStateEntry(FStoredProperties->Get(i), component, property))
            linked = form->FindComponent(component);
        if (!linked) {
            FStoredProperties->Delete(i);
            continue;
        }
        FStoredProperties->PutObject(i, linked);
        linked->FreeNotification(this);
    }
}

void TEntComponentState::RenameEntries() {
    for (int i = FStoredProperties->Count() - 1; i >= 0; --i) {
        std::string component, property;
        auto* linked = dynamic_cast<TComponent*>(FStoredProperties->Objects(i));
        if (!linked || !ParseStateEntry(FStoredProperties->Get(i), component, property)) {
            FStoredProperties->Delete(i);
            continue;
        }
        FStoredProperties->Put(i, linked->GetName() + "." + property);
        FStoredProperties->PutObject(i, linked);
    }
}

void TEntComponentState::Loaded() {
    TEntAbstractState::Loaded();
    LinkEntries();
}

void TEntComponentState::Transfer(bool Saving) {
    TEntAbstractStore* store = FStorage;
    if (!store) return;
    const std::string section = StoredSection();
    store->WhileOpen([&] {
        RenameEntries();
        for (int i = 0; i < FStoredProperties->Count(); ++i) {
            std::string component, property;
            auto* linked = dynamic_cast<TComponent*>(FStoredProperties->Objects(i));
            if (!linked || !ParseStateEntry(FStoredProperties->Get(i), component, property)) continue;
            const std::string prefix = linked->GetName() + ".";
            if (Saving)
                WriteStoredProperty(store, section, prefix, linked, property);
            else
                ReadStoredProperty(store, section, prefix, linked, property);
        }
    });
}

void TEntComponentState::SaveState() { Transfer(true); }

void TEntComponentState::RestoreState() { Transfer(false); }

void TEntComponentState::Notification(TComponent* AComponent, TOperation Operation) {
    TEntAbstractState::Notification(AComponent, Operation);
    if (Operation != opRemove || ComponentState.Contains(csDestroying) || !FStoredProperties) return;
    for (int i = FStoredProperties->Count() - 1; i >= 0; --i)
        if (FStoredProperties->Objects(i) == AComponent) FStoredProperties->Delete(i);
}

namespace {

// The published property of that name that a store can hold (no event); nullptr when none.
const TPropInfo* StoredProp(TObject* Instance, const std::string& PropName) {
    const TClassInfo* info = ClassInfoOf(Instance);
    const TPropInfo* p = info ? info->FindProp(PropName) : nullptr;
    return p && p->Kind != pkEvent ? p : nullptr;
}

}  // namespace

void WriteStoredProperty(TEntAbstractStore* Store, const std::string& Section, const std::string& Prefix,
                         TObject* Instance, const std::string& PropName) {
    if (const TPropInfo* p = StoredProp(Instance, PropName)) WriteProp(Store, Section, Prefix, Instance, *p, 0);
}

void ReadStoredProperty(TEntAbstractStore* Store, const std::string& Section, const std::string& Prefix,
                        TObject* Instance, const std::string& PropName) {
    if (const TPropInfo* p = StoredProp(Instance, PropName)) ReadProp(Store, Section, Prefix, Instance, *p, 0);
}

void RegisterEntStateClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterEntBaseClasses();
        Published<TEntAbstractStore>("TEntAbstractStore", "TEntComponent");
        Published<TEntIniFileStore>("TEntIniFileStore", "TEntAbstractStore")
            .Str("IniFileName", &TEntIniFileStore::GetIniFileName, &TEntIniFileStore::SetIniFileName)
            .Bool("UseExeDir", &TEntIniFileStore::UseExeDir, &TEntIniFileStore::UseExeDir);
        Published<TEntAbstractState>("TEntAbstractState", "TEntComponent")
            .Bool("Active", &TEntAbstractState::Active, &TEntAbstractState::Active)
            .Str("Section", &TEntAbstractState::GetSection, &TEntAbstractState::SetSection)
            .Reference<TEntAbstractStore>("Storage", &TEntAbstractState::GetStorage, &TEntAbstractState::SetStorage)
            .Event("OnSaveState", &TEntAbstractState::OnSaveState)
            .Event("OnRestoreState", &TEntAbstractState::OnRestoreState);
        Published<TEntComponentState>("TEntComponentState", "TEntAbstractState")
            .Object("StoredProperties", &TEntComponentState::GetStoredProperties);
    });
}
