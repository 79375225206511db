#include "Classes.h"

#include <QString>

#include <algorithm>
#include <cxxabi.h>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <typeindex>
#include <typeinfo>
#include <unordered_map>

// ---------------------------------------------------------------------------
// TObject, TPersistent

TObject::~TObject() = default;

std::string DemangledClassName(const std::type_info& type) {
    int status = 0;
    std::unique_ptr<char, void (*)(void*)> demangled(abi::__cxa_demangle(type.name(), nullptr, nullptr, &status),
                                                     std::free);
    std::string name = (status == 0 && demangled) ? demangled.get() : type.name();
    // Template arguments would hold "::" of their own; a plain class name has none.
    if (name.find('<') == std::string::npos) {
        auto colon = name.rfind("::");
        if (colon != std::string::npos) name.erase(0, colon + 2);
    }
    return name;
}

namespace {

// Where Item stands in List, or -1.
template <typename T, typename U>
int IndexIn(const std::vector<T*>& List, const U* Item) {
    auto it = std::find(List.begin(), List.end(), Item);
    return it == List.end() ? -1 : static_cast<int>(it - List.begin());
}

}  // namespace

std::string TObject::ClassName() const {
    // Property lookups ask for class names all the time; demangle each type once.
    static std::mutex lock;
    static std::unordered_map<std::type_index, std::string> names;
    const std::type_info& type = typeid(*this);
    std::lock_guard<std::mutex> guard(lock);
    auto it = names.find(type);
    if (it == names.end()) it = names.emplace(type, DemangledClassName(type)).first;
    return it->second;
}

void TPersistent::Assign(TPersistent* Source) {
    if (Source != nullptr)
        Source->AssignTo(this);
    else
        AssignError(nullptr);
}

void TPersistent::AssignTo(TPersistent* Dest) { Dest->AssignError(this); }

void TPersistent::AssignError(const TPersistent* Source) const {
    std::string sourceName = Source ? Source->ClassName() : "nil";
    throw EConvertError("Cannot assign a " + sourceName + " to a " + ClassName());
}

// ---------------------------------------------------------------------------
// Names

bool IsValidIdent(const std::string& Ident) {
    auto alpha = [](char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; };
    auto digit = [](char c) { return c >= '0' && c <= '9'; };
    if (Ident.empty() || !alpha(Ident[0])) return false;
    return std::all_of(Ident.begin() + 1, Ident.end(), [&](char c) { return alpha(c) || digit(c); });
}

int CompareTextUtf8(const std::string& S1, const std::string& S2) {
    auto ascii = [](const std::string& s) {
        return std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
    };
    if (ascii(S1) && ascii(S2)) {
        size_t n = std::min(S1.size(), S2.size());
        for (size_t i = 0; i < n; ++i) {
            unsigned char a = static_cast<unsigned char>(S1[i]);
            unsigned char b = static_cast<unsigned char>(S2[i]);
            if (a >= 'A' && a <= 'Z') a += 32;
            if (b >= 'A' && b <= 'Z') b += 32;
            if (a != b) return a < b ? -1 : 1;
        }
        return S1.size() == S2.size() ? 0 : (S1.size() < S2.size() ? -1 : 1);
    }
    int c = QString::compare(QString::fromUtf8(S1.data(), static_cast<qsizetype>(S1.size())),
                             QString::fromUtf8(S2.data(), static_cast<qsizetype>(S2.size())), Qt::CaseInsensitive);
    return c < 0 ? -1 : (c > 0 ? 1 : 0);
}

// ---------------------------------------------------------------------------
// TComponent

TComponent::TComponent(TComponent* AOwner) {
    if (AOwner != nullptr) AOwner->InsertComponent(this);
}

TComponent::~TComponent() {
    Destroying();
    // A subscriber told may unsubscribe itself or others, so the index is re-checked.
    for (int i = static_cast<int>(FFreeNotifies.size()) - 1; i >= 0;) {
        FFreeNotifies[static_cast<size_t>(i)]->Notification(this, opRemove);
        i = std::min(i - 1, static_cast<int>(FFreeNotifies.size()) - 1);
    }
    // Whoever is still subscribed forgets this component.
    for (TComponent* c : std::vector<TComponent*>(FFreeNotifies)) {
        auto& theirs = c->FFreeNotifies;
        theirs.erase(std::remove(theirs.begin(), theirs.end(), this), theirs.end());
    }
    FFreeNotifies.clear();
    DestroyComponents();
    if (FOwner != nullptr) FOwner->RemoveComponent(this);
}

TComponent* TComponent::Components(int Index) const {
    if (Index < 0 || Index >= ComponentCount())
        throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FComponents[static_cast<size_t>(Index)];
}

int TComponent::ComponentIndex() const { return FOwner == nullptr ? -1 : IndexIn(FOwner->FComponents, this); }

void TComponent::SetComponentIndex(int Value) {
    if (FOwner == nullptr) return;
    int current = ComponentIndex();
    if (current < 0) return;
    auto& list = FOwner->FComponents;
    int last = static_cast<int>(list.size()) - 1;
    Value = std::clamp(Value, 0, last);
    if (Value == current) return;
    list.erase(list.begin() + current);
    list.insert(list.begin() + Value, this);
}

void TComponent::SetName(const std::string& NewName) {
    if (FName == NewName) return;
    if (!NewName.empty() && !IsValidIdent(NewName))
        throw EComponentError("'" + NewName + "' is not a valid component name");
    if (FOwner != nullptr)
        FOwner->ValidateRename(this, FName, NewName);
    else
        ValidateRename(nullptr, FName, NewName);
    ChangeName(NewName);
}

void TComponent::ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName) {
    // Renaming a component to its own name in other letters is allowed.
    if (AComponent != nullptr && CompareTextUtf8(CurName, NewName) == 0) return;
    if (AComponent != nullptr && FindComponent(NewName) != nullptr)
        throw EComponentError("A component named " + NewName + " already exists");
}

void TComponent::Loaded() { ComponentState.Exclude(csLoading); }

void TComponent::Notification(TComponent* AComponent, TOperation Operation) {
    if (Operation == opRemove && AComponent != nullptr) RemoveFreeNotification(AComponent);
    // An owned component may free others while told, so the index is re-checked.
    for (int i = ComponentCount() - 1; i >= 0;) {
        FComponents[static_cast<size_t>(i)]->Notification(AComponent, Operation);
        i = std::min(i - 1, ComponentCount() - 1);
    }
}

void TComponent::FreeNotification(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent == this) return;
    if (std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent) == FFreeNotifies.end()) {
        FFreeNotifies.push_back(AComponent);
        // Both sides know each other, so whichever goes first unsubscribes the other.
        AComponent->FreeNotification(this);
    }
    ComponentState.Include(csFreeNotification);
}

void TComponent::RemoveFreeNotification(TComponent* AComponent) {
    auto it = std::find(FFreeNotifies.begin(), FFreeNotifies.end(), AComponent);
    if (it == FFreeNotifies.end()) return;
    FFreeNotifies.erase(it);
    AComponent->RemoveFreeNotification(this);
    if (FFreeNotifies.empty()) ComponentState.Exclude(csFreeNotification);
}

TComponent* TComponent::FindComponent(const std::string& AName) const {
    if (AName.empty()) return nullptr;
    for (TComponent* c : FComponents)
        if (CompareTextUtf8(c->FName, AName) == 0) return c;
    return nullptr;
}

void TComponent::InsertComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->FOwner == this) return;
    AComponent->ValidateContainer(this);
    ValidateRename(AComponent, "", AComponent->FName);
    if (AComponent->FOwner != nullptr) AComponent->FOwner->RemoveComponent(AComponent);
    Insert(AComponent);
    if (ComponentState.Contains(csDesigning)) AComponent->SetDesigning(true);
    Notification(AComponent, opInsert);
}

void TComponent::RemoveComponent(TComponent* AComponent) {
    if (AComponent == nullptr || AComponent->FOwner != this) return;
    Notification(AComponent, opRemove);
    Remove(AComponent);
}

void TComponent::DestroyComponents() {
    while (!FComponents.empty()) {
        TComponent* instance = FComponents.back();
        instance->BeforeDestruction();
        Remove(instance);
        delete instance;
    }
}

void TComponent::Destroying() {
    if (ComponentState.Contains(csDestroying)) return;
    ComponentState.Include(csDestroying);
    for (TComponent* c : FComponents) c->Destroying();
}

void TComponent::SetDesigning(bool Value, bool SetChildren) {
    if (Value)
        ComponentState.Include(csDesigning);
    else
        ComponentState.Exclude(csDesigning);
    if (SetChildren)
        for (TComponent* c : FComponents) c->SetDesigning(Value);
}

void TComponent::Insert(TComponent* AComponent) {
    FComponents.push_back(AComponent);
    AComponent->FOwner = this;
}

void TComponent::Remove(TComponent* AComponent) {
    auto it = std::find(FComponents.begin(), FComponents.end(), AComponent);
    if (it != FComponents.end()) FComponents.erase(it);
    AComponent->FOwner = nullptr;
}

// ---------------------------------------------------------------------------
// TCollection

TCollectionItem::TCollectionItem(TCollection* Collection) { SetCollection(Collection); }

TCollectionItem::~TCollectionItem() { SetCollection(nullptr); }

void TCollectionItem::SetCollection(TCollection* Value) {
    if (FCollection == Value) return;
    if (FCollection != nullptr) FCollection->RemoveItem(this);
    if (Value != nullptr) Value->InsertItem(this);
}

int TCollectionItem::GetIndex() const { return FCollection == nullptr ? -1 : IndexIn(FCollection->FItems, this); }

void TCollectionItem::SetIndex(int Value) {
    int current = GetIndex();
    if (current < 0 || Value < 0 || Value == current) return;
    auto& items = FCollection->FItems;
    if (Value >= static_cast<int>(items.size()))
        throw EListError("List index out of bounds (" + std::to_string(Value) + ")");
    items.erase(items.begin() + current);
    items.insert(items.begin() + Value, this);
    Changed(true);
}

TPersistent* TCollectionItem::GetOwner() const { return FCollection; }

void TCollectionItem::Changed(bool AllItems) {
    if (FCollection != nullptr && FCollection->FUpdateCount == 0) FCollection->Update(AllItems ? nullptr : this);
}

TCollection::TCollection(TCollectionItemClass ItemClass) : FItemClass(std::move(ItemClass)) {
    if (!FItemClass) throw EListError("Collection without an item class");
}

TCollection::~TCollection() {
    // Items removing themselves must not call Update on a half-destroyed collection.
    ++FUpdateCount;
    while (!FItems.empty()) delete FItems.back();
}

TCollectionItem* TCollection::Add() {
    TCollectionItem* item = FItemClass(this);
    // A factory may build an item outside any collection; adopt it.
    if (item->FCollection != this) item->SetCollection(this);
    return item;
}

TCollectionItem* TCollection::Insert(int Index) {
    TCollectionItem* item = Add();
    item->SetIndex(Index);
    return item;
}

TCollectionItem* TCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[static_cast<size_t>(Index)];
}

void TCollection::SetItem(int Index, TCollectionItem* Value) { Items(Index)->Assign(Value); }

void TCollection::Delete(int Index) { delete Items(Index); }

void TCollection::Clear() {
    if (FItems.empty()) return;
    WithinUpdate(this, [&] {
        while (!FItems.empty()) delete FItems.back();
    });
}

TCollectionItem* TCollection::FindItemID(int ID) const {
    for (TCollectionItem* item : FItems)
        if (item->FID == ID) return item;
    return nullptr;
}

void TCollection::EndUpdate() {
    if (FUpdateCount > 0) --FUpdateCount;
    Changed();
}

void TCollection::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TCollection*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this) return;
    WithinUpdate(this, [&] {
        while (!FItems.empty()) delete FItems.back();
        for (TCollectionItem* item : source->FItems) Add()->Assign(item);
    });
}

void TCollection::Changed() {
    if (FUpdateCount == 0) Update(nullptr);
}

void TCollection::InsertItem(TCollectionItem* Item) {
    FItems.push_back(Item);
    Item->FCollection = this;
    Item->FID = FNextID++;
    Changed();
}

void TCollection::RemoveItem(TCollectionItem* Item) {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    if (it != FItems.end()) FItems.erase(it);
    Item->FCollection = nullptr;
    Changed();
}
