#include "entbase.h"

#include <algorithm>

#include "Forms.h"
#include "SysUtils.h"
#include "entctrl.h"
#include "entmsgs.h"
#include "entstr.h"

namespace {

[[noreturn]] void RaiseEntError(int32_t id) { throw Exception(LookupMessageText(id)); }

bool FormBeingDestroyed(const TComponent* c) { return c && c->ComponentState.Contains(csDestroying); }

}  // namespace

// ---------------------------------------------------------------------------
// Streamer

TEntCollectionStreamer::~TEntCollectionStreamer() {
    // Collections that outlive the streamer must not reach back into it.
    for (TEntCollection* c : FCollections) c->FStreamer = nullptr;
}

TEntCollection* TEntCollectionStreamer::CollectionFromType(const TComponent* Item) const {
    for (TEntCollection* c : FCollections)
        if (c->FItemClass.Includes && c->FItemClass.Includes(Item)) return c;
    return nullptr;
}

void TEntCollectionStreamer::GetChildren(const std::function<void(TComponent*)>& Proc) const {
    for (TEntCollection* c : FCollections) {
        if (!c->Stored) continue;
        for (TEntCollectibleControl* item : c->FItems) Proc(item);
    }
}

void TEntCollectionStreamer::Loaded() {
    for (TEntCollection* c : std::vector<TEntCollection*>(FCollections)) c->Loaded();
}

TEntCollectionStreamer* StreamerOf(TComponent* Owner, bool Create) {
    if (auto* c = dynamic_cast<TEntComponent*>(Owner)) return Create ? c->StreamerNeeded() : c->Streamer();
    if (auto* c = dynamic_cast<TEntCustomControl*>(Owner)) return Create ? c->StreamerNeeded() : c->Streamer();
    if (auto* c = dynamic_cast<TEntGraphicControl*>(Owner)) return Create ? c->StreamerNeeded() : c->Streamer();
    RaiseEntError(SEntInvalidCollectionOwner);
}

// ---------------------------------------------------------------------------
// TEntComponent, TEntGraphicControl

TEntComponent::~TEntComponent() = default;

TEntCollectionStreamer* TEntComponent::StreamerNeeded() {
    if (!FStreamer) FStreamer = std::make_unique<TEntCollectionStreamer>(this);
    return FStreamer.get();
}

void TEntComponent::Loaded() {
    if (FStreamer) FStreamer->Loaded();
    TComponent::Loaded();
}

void TEntComponent::GetChildren(const std::function<void(TComponent*)>& Proc) const {
    if (FStreamer) FStreamer->GetChildren(Proc);
}

TEntGraphicControl::~TEntGraphicControl() = default;

TEntCollectionStreamer* TEntGraphicControl::StreamerNeeded() {
    if (!FStreamer) FStreamer = std::make_unique<TEntCollectionStreamer>(this);
    return FStreamer.get();
}

void TEntGraphicControl::Loaded() {
    if (FStreamer) FStreamer->Loaded();
    TGraphicControl::Loaded();
}

// ---------------------------------------------------------------------------
// Label information

void TEntLabelInfo::SetOffsets(int X, int Y) {
    if (X == FOffsetX && Y == FOffsetY) return;
    FOffsetX = X;
    FOffsetY = Y;
    if (OnChange) OnChange(this);
}

void TEntLabelInfo::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    if (OnVisibleChange) OnVisibleChange(this);
}

void TEntLabelInfo::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TEntLabelInfo*>(Source)) {
        SetOffsets(s->FOffsetX, s->FOffsetY);
        SetVisible(s->FVisible);
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// Attached label

TEntAttachedLabel::TEntAttachedLabel(TComponent* AOwner) : TLabel(AOwner) {}

TEntCustomControl* TEntAttachedLabel::Control() const { return dynamic_cast<TEntCustomControl*>(GetFocusControl()); }

void TEntAttachedLabel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    const TRect before = BoundsRect();
    TLabel::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (!(BoundsRect() == before)) ReportPosition();
}

void TEntAttachedLabel::Loaded() {
    TLabel::Loaded();
    ReportPosition();
}

void TEntAttachedLabel::ReportPosition() {
    if (ComponentState.Contains(csLoading) || ComponentState.Contains(csDestroying)) return;
    TEntCustomControl* c = Control();
    // Only a control of the same form keeps a label.
    if (!c || !Owner || c->Owner != Owner) return;
    SendMessage(c, om_AssignLabel, 0, reinterpret_cast<LPARAM>(this));
    PostMessage(c, om_RecordLabelPosition);
}

// ---------------------------------------------------------------------------
// TEntCustomControl

TEntCustomControl::TEntCustomControl(TComponent* AOwner)
    : TCustomControl(AOwner), FLabelInfo(std::make_unique<TEntLabelInfo>()) {
    FLabelInfo->OnChange = [this](TObject*) { PositionLabel(); };
    FLabelInfo->OnVisibleChange = [this](TObject*) { LabelVisibleChanged(); };
}

TEntCustomControl::~TEntCustomControl() {
    FLabelInfo->OnVisibleChange = nullptr;
    FreeLabel();
    FLabelInfo.reset();
    FStreamer.reset();
}

TEntCollectionStreamer* TEntCustomControl::StreamerNeeded() {
    if (!FStreamer) FStreamer = std::make_unique<TEntCollectionStreamer>(this);
    return FStreamer.get();
}

void TEntCustomControl::GetChildren(const std::function<void(TComponent*)>& Proc) const {
    if (FStreamer) FStreamer->GetChildren(Proc);
}

TEntAttachedLabel* TEntCustomControl::AttachedLabel() const {
    if (!FLabelInfo->GetVisible()) RaiseEntError(SEntLabelNotAttached);
    return FLabel;
}

void TEntCustomControl::Loaded() {
    if (FStreamer) FStreamer->Loaded();
    TCustomControl::Loaded();
}

void TEntCustomControl::LabelVisibleChanged() {
    if (Loading()) return;  // the label comes from the window definition by itself
    if (FLabelInfo->GetVisible()) {
        CreateLabel();
    } else {
        FreeLabel();
    }
}

void TEntCustomControl::CreateLabel() {
    FreeLabel();
    TComponent* form = GetParentForm(this);
    if (!form) form = Owner;
    auto* label = new TEntAttachedLabel(form);
    try {
        const std::string name = GenerateComponentName(form, GetName() + "Label");
        label->SetName(name);
        label->SetParent(FParent);
        label->SetParentFont(true);
        label->SetTransparent(false);
        label->SetCaption(name);
    } catch (...) {
        delete label;
        throw;
    }
    label->SetFocusControl(this);
    FLabel = label;
    // Both sides learn when the other goes, whoever owns them.
    label->FreeNotification(this);
    FLabelInfo->FOffsetX = 0;
    FLabelInfo->FOffsetY = 0;
    PositionLabel();
}

void TEntCustomControl::FreeLabel() {
    TEntAttachedLabel* label = FLabel;
    FLabel = nullptr;
    if (label && !label->ComponentState.Contains(csDestroying)) delete label;
}

void TEntCustomControl::PositionLabel() {
    if (!FLabel || !FLabelInfo->GetVisible() || !FLabel->GetParent() || Loading()) return;
    FLabel->TLabel::SetBounds(FLeft + FLabelInfo->GetOffsetX(), FTop + FLabelInfo->GetOffsetY() - FLabel->GetHeight(),
                              FLabel->GetWidth(), FLabel->GetHeight());
}

void TEntCustomControl::RecordLabelPosition() {
    if (!FLabel || Loading()) return;
    FLabelInfo->FOffsetX = FLabel->GetLeft() - FLeft;
    FLabelInfo->FOffsetY = FLabel->GetTop() + FLabel->GetHeight() - FTop;
    FLabelInfo->FVisible = true;
}

void TEntCustomControl::AssignLabel(TEntAttachedLabel* Label) {
    if (Label == FLabel) return;
    // A label of another control, or a second one: only the newest counts.
    FLabel = Label;
    if (Label) Label->FreeNotification(this);
}

void TEntCustomControl::Notification(TComponent* AComponent, TOperation Operation) {
    TCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent && AComponent == static_cast<TComponent*>(FLabel)) {
        FLabel = nullptr;
        TComponent* form = GetParentForm(this);
        if (!FormBeingDestroyed(form ? form : Owner) && !ComponentState.Contains(csDestroying))
            FLabelInfo->FVisible = false;
    }
}

void TEntCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    TCustomControl::SetBounds(ALeft, ATop, AWidth, AHeight);
    // While loading, the label reports its own place once it is loaded.
    if (Loading()) return;
    if (HandleAllocated()) {
        PostMessage(this, om_PositionLabel);
    } else {
        // No window yet to post through: the label follows at once.
        PositionLabel();
    }
}

void TEntCustomControl::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case om_AfterEnter:
        if (AfterEnter) AfterEnter(this);
        break;
    case om_AfterExit:
        if (AfterExit) AfterExit(this);
        break;
    case om_PositionLabel:
        if (FLabel && FLabelInfo->GetVisible() &&
            (FLabel->GetLeft() - FLeft != FLabelInfo->GetOffsetX() ||
             FLabel->GetTop() + FLabel->GetHeight() - FTop != FLabelInfo->GetOffsetY()))
            PositionLabel();
        break;
    case om_RecordLabelPosition: RecordLabelPosition(); break;
    case om_AssignLabel: AssignLabel(reinterpret_cast<TEntAttachedLabel*>(Message.LParam)); break;
    default: TCustomControl::Dispatch(Message); break;
    }
}

void TEntCustomControl::WMSetFocus(TWMSetFocus& Message) {
    TCustomControl::WMSetFocus(Message);
    PostMessage(this, om_AfterEnter);
}

void TEntCustomControl::WMKillFocus(TWMKillFocus& Message) {
    TCustomControl::WMKillFocus(Message);
    PostMessage(this, om_AfterExit);
}

void TEntCustomControl::WMMouseWheel(TWMMouseWheel& Message) {
    if (OnMouseWheelDelta)
        OnMouseWheelDelta(this, Message.Shift(), Message.WheelDelta(), Message.XPos(), Message.YPos());
    TCustomControl::WMMouseWheel(Message);
}

void TEntCustomControl::CMVisibleChanged(TMessage& Message) {
    TCustomControl::CMVisibleChanged(Message);
    if (FLabel && !ComponentState.Contains(csDesigning)) FLabel->SetVisible(FVisible);
}

// ---------------------------------------------------------------------------
// TEntCustomControlEx

TEntController* FirstFormController(TComponent* Form) {
    if (!Form) return nullptr;
    for (int i = 0; i < Form->ComponentCount(); ++i)
        if (auto* c = dynamic_cast<TEntController*>(Form->Components(i))) return c;
    return nullptr;
}

namespace {
TComponent* FormOf(TControl* Control) {
    if (TForm* form = GetParentForm(Control)) return form;
    return dynamic_cast<TForm*>(Control->Owner);
}
}  // namespace

TEntCustomControlEx::~TEntCustomControlEx() { SetController(nullptr); }

TEntController* TEntCustomControlEx::GetController() const {
    if (FController) return FController;
    if (TEntController* c = FirstFormController(FormOf(const_cast<TEntCustomControlEx*>(this)))) return c;
    return DefaultController();
}

void TEntCustomControlEx::SetController(TEntController* Value) {
    if (Value == FController) return;
    if (FController) FController->RemoveFreeNotification(this);
    FController = Value;
    if (FController) FController->FreeNotification(this);
}

void TEntCustomControlEx::CreateWnd() {
    TEntCustomControl::CreateWnd();
    if (FController || Loading()) return;
    TEntController* c = FirstFormController(FormOf(this));
    if (!c && !ComponentState.Contains(csDesigning)) c = DefaultController();
    SetController(c);
}

void TEntCustomControlEx::Notification(TComponent* AComponent, TOperation Operation) {
    TEntCustomControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == static_cast<TComponent*>(FController)) {
        FController = nullptr;
    } else if (Operation == opInsert && !FController && !ComponentState.Contains(csDestroying)) {
        if (auto* c = dynamic_cast<TEntController*>(AComponent)) SetController(c);
    }
}

// ---------------------------------------------------------------------------
// Collections

TEntCollectibleControl::TEntCollectibleControl(TComponent* AOwner) : TEntCustomControl(AOwner) {}

TEntCollectibleControl::~TEntCollectibleControl() {
    if (FCollection) {
        TEntCollection* c = FCollection;
        c->RemoveItem(this);
        FCollection = nullptr;
        if (ComponentState.Contains(csDesigning) && c->Owner() && !c->Owner()->ComponentState.Contains(csDestroying))
            c->Changed();
    }
}

void TEntCollectibleControl::JoinOwnerCollection() {
    if (!Owner) return;
    // The window-definition reader makes every component with the window as
    // its owner; the holder is known once it places this item.
    if (Owner->ComponentState.Contains(csReading) && !dynamic_cast<TEntComponent*>(Owner) &&
        !dynamic_cast<TEntCustomControl*>(Owner)) {
        FJoinPending = true;
        return;
    }
    JoinCollectionOf(Owner);
}

void TEntCollectibleControl::JoinCollectionOf(TComponent* Holder) {
    FJoinPending = false;
    TEntCollectionStreamer* streamer = StreamerOf(Holder, false);
    if (!streamer) RaiseEntError(SEntNoCollection);
    TEntCollection* c = streamer->CollectionFromType(this);
    if (!c) RaiseEntError(SEntNoCollectionForType);
    SetCollection(c);
}

void TEntCollectibleControl::SetCollection(TEntCollection* Value) {
    if (Value == FCollection) return;
    if (Value && !(Value->FItemClass.Includes && Value->FItemClass.Includes(this))) RaiseEntError(SEntItemIncompatible);
    if (FCollection) FCollection->RemoveItem(this);
    FCollection = Value;
    if (FCollection) FCollection->AddItem(this);
}

void TEntCollectibleControl::ItemChanged() {
    if (!FCollection || FNotifying) return;
    FNotifying = true;
    try {
        FCollection->Changed();
    } catch (...) {
        FNotifying = false;
        throw;
    }
    FNotifying = false;
}

void TEntCollectibleControl::SetName(const std::string& NewName) {
    const bool changed = NewName != GetName();
    TEntCustomControl::SetName(NewName);
    if (changed && !Loading()) ItemChanged();
}

void TEntCollectibleControl::SetParentComponent(TComponent* Value) {
    TEntCustomControl::SetParentComponent(Value);
    if (auto* parent = dynamic_cast<TWinControl*>(Value); parent && parent != FParent) SetParent(parent);
    if (FJoinPending && Value) JoinCollectionOf(Value);
}

TEntCollection::TEntCollection(TComponent* AOwner, TEntItemClass AItemClass)
    : FOwner(AOwner), FItemClass(std::move(AItemClass)) {
    FStreamer = StreamerOf(AOwner, true);
    FStreamer->FCollections.push_back(this);
}

TEntCollection::~TEntCollection() {
    ItemEditor = 0;  // the design-time editor goes with the collection
    if (FStreamer) {
        auto& list = FStreamer->FCollections;
        list.erase(std::remove(list.begin(), list.end(), this), list.end());
        FStreamer = nullptr;
    }
    OnChanged = nullptr;
    Clear();
}

TEntCollectibleControl* TEntCollection::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError("List index out of bounds (" + std::to_string(Index) + ")");
    return FItems[size_t(Index)];
}

TEntCollectibleControl* TEntCollection::ItemByName(const std::string& Name) const {
    for (TEntCollectibleControl* item : FItems)
        if (item->GetName() == Name) return item;
    return nullptr;
}

int TEntCollection::IndexOf(const TEntCollectibleControl* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

void TEntCollection::AddItem(TEntCollectibleControl* Item) {
    if (IndexOf(Item) < 0) FItems.push_back(Item);
}

void TEntCollection::RemoveItem(TEntCollectibleControl* Item) {
    FItems.erase(std::remove(FItems.begin(), FItems.end(), Item), FItems.end());
}

void TEntCollection::Changed() {
    if (FNotifying) return;
    FNotifying = true;
    try {
        if (FOwner && FOwner->ComponentState.Contains(csDesigning) && ItemEditor)
            SendMessage(ItemEditor, om_CollectionChanged);
        if (OnChanged) OnChanged(this);
    } catch (...) {
        FNotifying = false;
        throw;
    }
    FNotifying = false;
}

void TEntCollection::Clear() {
    while (!FItems.empty()) {
        TEntCollectibleControl* item = FItems.front();
        FItems.erase(FItems.begin());
        item->FCollection = nullptr;
        if (!item->ComponentState.Contains(csDestroying)) delete item;
    }
    if (ItemEditor) SendMessage(ItemEditor, om_CollectionChanged);
}

void TEntCollection::Loaded() {
    FLoading = true;
    try {
        Changed();
    } catch (...) {
        FLoading = false;
        throw;
    }
    FLoading = false;
    FLoadedOnce = true;
}

void TEntCollection::ItemSelected(int Index) {
    if (OnItemSelected) OnItemSelected(this, Index);
}

std::string TEntCollection::EditorCaption() {
    std::string caption;
    if (OnGetEditorCaption) OnGetEditorCaption(this, caption);
    return caption;
}

namespace {
bool NameUsed(const TComponent* c, const std::string& name) {
    for (int i = 0; i < c->ComponentCount(); ++i) {
        const TComponent* child = c->Components(i);
        if (SameText(child->GetName(), name) || NameUsed(child, name)) return true;
    }
    return false;
}
}  // namespace

std::string TEntCollection::NewItemName(const TEntCollectibleControl* Item) const {
    const std::string base = Item->GetBaseName();
    TComponent* form = GetParentForm(const_cast<TEntCollectibleControl*>(Item));
    if (!form) form = FOwner && FOwner->Owner ? FOwner->Owner : FOwner;
    for (int n = 1;; ++n) {
        const std::string candidate = base + std::to_string(n);
        if (!form || !NameUsed(form, candidate)) return candidate;
    }
}
