#include "entmru.h"

#include <mutex>

#include "SysUtils.h"
#include "TypInfo.h"
#include "entmsgs.h"
#include "entstate.h"
#include "entsupport.h"

TEntMenuMRU::TEntMenuMRU(TComponent* AOwner) : TEntComponent(AOwner), FItems(std::make_unique<TStringList>()) {
    FItems->OnChange = [this](TObject* Sender) { ItemsChanged(Sender); };
}

TEntMenuMRU::~TEntMenuMRU() {
    if (FStore && !ComponentState.Contains(csDesigning)) {
        try {
            SaveToStore();
        } catch (...) {
            // A destructor cannot report; the list simply is not kept.
        }
    }
    FItems->OnChange = nullptr;
    *FAlive = false;
}

void TEntMenuMRU::RetireItem(TMenuItem* Item) {
    if (TMenuItem* parent = Item->GetParent()) parent->Remove(Item);
    if (Item->Owner) Item->Owner->RemoveComponent(Item);
    FRetired.emplace_back(Item);
    if (FRetired.size() == 1) {
        std::weak_ptr<bool> alive = FAlive;
        QueueCall([this, alive] {
            if (auto a = alive.lock(); a && *a) FreeRetiredItems();
        });
    }
}

void TEntMenuMRU::FreeRetiredItems() {
    if (FClicking == 0) FRetired.clear();
}

bool TEntMenuMRU::CanRebuild() const {
    return FSuppress == 0 && !ComponentState.Contains(csLoading) && !ComponentState.Contains(csDesigning);
}

void TEntMenuMRU::ItemsChanged(TObject*) {
    if (CanRebuild()) RebuildMenu();
}

// ---------------------------------------------------------------------------
// Adding and removing

void TEntMenuMRU::Add(const std::string& FileName) {
    if (FStyle == msSplit) throw EMenuMRUError(LookupMessageText(SEntSplitMenu));
    EditItems([&] {
        if (FItems->Count() > 0 && AnsiSameText(FItems->Get(0), FileName)) return;
        for (int i = FItems->Count() - 1; i >= 0; --i)
            if (AnsiSameText(FItems->Get(i), FileName)) {
                FItems->Delete(i);
                break;
            }
        FItems->Insert(0, FileName);
        if (FItems->Count() > FMaxItems) FItems->Delete(FItems->Count() - 1);
    });
}

void TEntMenuMRU::EditItems(const std::function<void()>& Change) {
    ++FSuppress;
    try {
        Change();
    } catch (...) {
        --FSuppress;
        throw;
    }
    --FSuppress;
    RebuildMenu();
}

int TEntMenuMRU::SeparatorIndex() const {
    for (int i = FItems->Count() - 1; i >= 0; --i)
        if (FItems->Get(i) == "-") return i;
    return -1;
}

void TEntMenuMRU::AddSplit(const std::string& FileName, TEntMRUAddPosition Position) {
    if (Position == apAnchor || FStyle == msNormal) throw EMenuMRUError(LookupMessageText(SEntInvalidAnchor));
    if (!FMenuItem) throw EMenuMRUError(LookupMessageText(SEntNoMenuItem));
    if (Position == apTop)
        FUsedUpper = true;
    else
        FUsedLower = true;
    EditItems([&] {
        if (FItems->Count() == 0) {
            FItems->Add(FileName);
        } else {
            for (int i = FItems->Count() - 1; i >= 0; --i)
                if (FItems->Get(i) == FileName) FItems->Delete(i);
            int sep = SeparatorIndex();
            if (Position == apTop) {
                FItems->Insert(0, FileName);
                if (sep < 0) {
                    if (!FUsedLower && FItems->Count() > FMaxItems) FItems->Delete(FItems->Count() - 1);
                    if (FUsedUpper && FUsedLower) FItems->Insert(1, "-");
                } else {
                    int s = sep + 1;
                    if (s > FMaxItems) FItems->Delete(s - 1);
                }
            } else if (sep >= 0) {
                FItems->Insert(sep + 1, FileName);
                if (FItems->Count() - FMaxItems > FMaxItems + 1) FItems->Delete(FItems->Count() - 1);
            } else if (FUsedUpper) {
                FItems->Add("-");
                FItems->Add(FileName);
            } else {
                FItems->Insert(0, FileName);
                if (FItems->Count() > FMaxItems) FItems->Delete(FItems->Count() - 1);
            }
        }
    });
}

void TEntMenuMRU::Clear() {
    EditItems([&] {
        FItems->Clear();
        FUsedUpper = FUsedLower = false;
    });
}

// ---------------------------------------------------------------------------
// The menu

std::string TEntMenuMRU::ItemCaption(const std::string& Text, int Number) const {
    std::string t = Text;
    if (FOptions.Contains(moStripPath)) {
        size_t cut = t.find_last_of("/\\:");
        if (cut != std::string::npos) t = t.substr(cut + 1);
    }
    if (FMaxMenuWidth != 0) t = ShortenMenuCaption(t, FMaxMenuWidth);
    if (!FOptions.Contains(moAddAccelerators)) return t;
    if (Number >= 1 && Number <= 9) return "&" + std::to_string(Number) + " " + t;
    if (Number >= 10 && Number <= 35) return std::string("&") + char(Number + 55) + " " + t;
    return t;
}

void TEntMenuMRU::RebuildMenu() {
    if (!FMenuItem) return;
    const std::string prefix = GeneratedPrefix();
    for (int i = FMenuItem->Count() - 1; i >= 0; --i) {
        TMenuItem* item = FMenuItem->Items(i);
        if (item->GetName().find(prefix) == std::string::npos) continue;
        if (FClicking > 0)
            RetireItem(item);
        else
            delete item;
    }
    FreeRetiredItems();
    if (FItems->Count() == 0 || !FVisible) return;

    int at = 0;
    switch (AddPosition) {
    case apAnchor: at = FAnchorItem ? std::max(0, FMenuItem->IndexOf(FAnchorItem)) : 0; break;
    case apTop: at = 0; break;
    case apBottom: at = FMenuItem->Count(); break;
    }
    TComponent* itemOwner = FMenuItem->Owner;
    auto make = [&](const std::string& name) {
        auto* item = new TMenuItem(itemOwner);
        try {
            item->SetName(name);
        } catch (...) {
            delete item;
            throw;
        }
        return item;
    };
    if (FOptions.Contains(moAddSeparator)) {
        TMenuItem* sep = make(prefix + "Separator");
        sep->SetCaption("-");
        FMenuItem->Insert(at, sep);
        if (AddPosition == apBottom) ++at;
    }
    int number = 0;
    for (int i = 0; i < FItems->Count(); ++i) {
        const std::string text = FItems->Get(i);
        TMenuItem* item = make(prefix + std::to_string(i + 1));
        item->Tag = i;
        item->SetEnabled(FEnabled);
        item->SetGroupIndex(static_cast<Byte>(FGroupIndex));
        item->SetCaption(text == "-" ? std::string("-") : ItemCaption(text, ++number));
        item->OnClick = [this](TObject* Sender) {
            if (auto* clicked = dynamic_cast<TMenuItem*>(Sender)) ItemClicked(static_cast<int>(clicked->Tag));
        };
        FMenuItem->Insert(at + i, item);
        item->Hint = text;
    }
}

void TEntMenuMRU::ItemClicked(int Index) {
    if (Index < 0 || Index >= FItems->Count()) return;
    // A copy: the menu, and with it the clicked item, may be rebuilt meanwhile.
    const std::string text = FItems->Get(Index);
    TEntMRUClickAction action = caMoveToTop;
    struct ClickScope {
        int& depth;
        explicit ClickScope(int& d) : depth(d) { ++depth; }
        ~ClickScope() { --depth; }
    } scope(FClicking);
    if (OnClick) OnClick(this, text, action);
    if (action == caRemove) {
        for (int i = 0; i < FItems->Count(); ++i)
            if (AnsiSameText(FItems->Get(i), text)) {
                FItems->Delete(i);
                break;
            }
        return;
    }
    if (FStyle == msNormal) {
        Add(text);
        return;
    }
    int sep = SeparatorIndex();
    int index = FItems->IndexOf(text);
    if ((sep < 0 && !FUsedUpper) || (sep >= 0 && index > sep))
        AddSplit(text, apBottom);
    else
        AddSplit(text, apTop);
}

// ---------------------------------------------------------------------------
// Properties

void TEntMenuMRU::SetAnchorItem(TMenuItem* Value) {
    if (FAnchorItem == Value) return;
    if (FAnchorItem) FAnchorItem->RemoveFreeNotification(this);
    FAnchorItem = Value;
    if (FAnchorItem) FAnchorItem->FreeNotification(this);
    if (Value && ComponentState.Contains(csDesigning)) AddPosition = apAnchor;
    if (!ComponentState.Contains(csLoading)) RebuildMenu();
}

void TEntMenuMRU::SetEnabled(bool Value) {
    FEnabled = Value;
    if (!ComponentState.Contains(csLoading)) RebuildMenu();
}

void TEntMenuMRU::SetGroupIndex(int Value) {
    FGroupIndex = Value;
    if (!ComponentState.Contains(csLoading)) RebuildMenu();
}

void TEntMenuMRU::SetHint(const std::string& Value) {
    FHint = Value;
    if (!ComponentState.Contains(csLoading)) RebuildMenu();
}

void TEntMenuMRU::SetItems(TStrings* Value) { FItems->Assign(Value); }

void TEntMenuMRU::SetMaxItems(int Value) {
    if (Value < 1) return;
    FMaxItems = Value;
    if (ComponentState.Contains(csLoading)) return;
    EditItems([&] {
        while (FItems->Count() > FMaxItems) FItems->Delete(FItems->Count() - 1);
    });
}

void TEntMenuMRU::SetMaxMenuWidth(int Value) {
    FMaxMenuWidth = Value;
    if (!ComponentState.Contains(csLoading)) RebuildMenu();
}

void TEntMenuMRU::SetMenuItem(TMenuItem* Value) {
    if (FMenuItem == Value) return;
    if (FMenuItem) FMenuItem->RemoveFreeNotification(this);
    FMenuItem = Value;
    if (!FMenuItem) return;
    FMenuItem->FreeNotification(this);
    if (FAnchorItem && FMenuItem->IndexOf(FAnchorItem) < 0) SetAnchorItem(nullptr);
    if (!ComponentState.Contains(csLoading)) RebuildMenu();
}

void TEntMenuMRU::SetOptions(TEntMRUOptions Value) {
    FOptions = Value;
    if (!ComponentState.Contains(csLoading)) RebuildMenu();
}

void TEntMenuMRU::SetStore(TEntAbstractStore* Value) {
    if (FStore == Value) return;
    if (FStore) FStore->RemoveFreeNotification(this);
    FStore = Value;
    if (FStore) FStore->FreeNotification(this);
}

void TEntMenuMRU::SetStyle(TEntMRUStyle Value) {
    FStyle = Value;
    if (Value == msSplit) FOptions -= moAddSeparator;
}

void TEntMenuMRU::SetVisible(bool Value) {
    FVisible = Value;
    if (!ComponentState.Contains(csLoading)) RebuildMenu();
}

// ---------------------------------------------------------------------------
// Life cycle and the component's own store

std::string TEntMenuMRU::StoreSection() const {
    if (Owner) return Owner->GetName() + "." + GetName() + ".Items";
    return GetName() + ".Items";
}

void TEntMenuMRU::LoadFromStore() {
    FItems->Clear();
    FStore->WhileOpen([&] {
        const std::string section = StoreSection();
        int count = std::min(FStore->ReadInteger(section, "Count", 0), FMaxItems);
        for (int i = 0; i < count; ++i) FItems->Add(FStore->ReadString(section, std::to_string(i), ""));
    });
}

void TEntMenuMRU::SaveToStore() {
    FStore->WhileOpen([&] {
        const std::string section = StoreSection();
        FStore->EraseSection(section);
        FStore->WriteInteger(section, "Count", FItems->Count());
        for (int i = 0; i < std::min(FItems->Count(), FMaxItems); ++i)
            FStore->WriteString(section, std::to_string(i), FItems->Get(i));
    });
}

void TEntMenuMRU::Loaded() {
    TEntComponent::Loaded();
    EditItems([&] {
        FItems->Clear();
        if (FStore && !ComponentState.Contains(csDesigning)) LoadFromStore();
    });
}

void TEntMenuMRU::Notification(TComponent* AComponent, TOperation Operation) {
    TEntComponent::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FAnchorItem) {
        FAnchorItem = nullptr;
        if (!ComponentState.Contains(csDestroying)) RebuildMenu();
    }
    if (AComponent == FMenuItem) FMenuItem = nullptr;
    if (AComponent == FStore) FStore = nullptr;
}

void RegisterEntMenuMRUClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterEntStateClasses();
        using M = TEntMenuMRU;
        Published<TEntMenuMRU>("TEntMenuMRU", "TEntComponent")
            .Enum("AddPosition", {"apAnchor", "apTop", "apBottom"}, &M::AddPosition, &M::AddPosition)
            .Reference<TMenuItem>("AnchorItem", &M::GetAnchorItem, &M::SetAnchorItem)
            .Bool("Enabled", &M::GetEnabled, &M::SetEnabled)
            .Int("GroupIndex", &M::GetGroupIndex, &M::SetGroupIndex)
            .Str("Hint", &M::GetHint, &M::SetHint)
            .Object("Items", &M::GetItems)
            .Int("MaxItems", &M::GetMaxItems, &M::SetMaxItems)
            .Int("MaxMenuWidth", &M::GetMaxMenuWidth, &M::SetMaxMenuWidth)
            .Reference<TMenuItem>("MenuItem", &M::GetMenuItem, &M::SetMenuItem)
            .SetOf("Options", {"moAddAccelerators", "moStripPath", "moAddSeparator"}, &M::GetOptions, &M::SetOptions)
            .Reference<TEntAbstractStore>("Store", &M::GetStore, &M::SetStore)
            .Enum("Style", {"msNormal", "msSplit"}, &M::GetStyle, &M::SetStyle)
            .Bool("Visible", &M::GetVisible, &M::SetVisible)
            .Event("OnClick", &M::OnClick);
    });
}
