#pragma once
// Base classes of the entry controls: a non-visual component, a graphic
// control and a windowed control that can carry an attached caption label and
// reports focus changes after the fact; the controller-aware windowed base of
// the entry fields and the notebook; and owned-item collections that let a
// control or component own child controls (the notebook's pages).

#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "Controls.h"
#include "StdCtrls.h"

class TEntCollection;
class TEntCollectionStreamer;
class TEntController;
class TEntCustomControl;

inline const std::string EntVersionText = "v4.05";

// Private messages of the base controls (posted unless said otherwise).
enum : unsigned {
    om_AfterEnter = 0x7F08,           // the control has processed its focus gain
    om_AfterExit = 0x7F09,            // the control has processed its focus loss
    om_PositionLabel = 0x7F0B,        // bounds changed: move the attached label back to its offsets
    om_RecordLabelPosition = 0x7F0C,  // the attached label moved: take its position as the offsets
    om_AssignLabel = 0x7F0D,          // sent; LParam the label: record it as the attached label
    om_CollectionChanged = 0x7F10,    // sent to a collection's item editor
};

// The streamer of the object that owns collections: which collection a new
// item joins, and the children the object streams (its collections' items).
class TEntCollectionStreamer {
public:
    explicit TEntCollectionStreamer(TComponent* AOwner) : FOwner(AOwner) {}
    ~TEntCollectionStreamer();
    TEntCollectionStreamer(const TEntCollectionStreamer&) = delete;
    TEntCollectionStreamer& operator=(const TEntCollectionStreamer&) = delete;

    TComponent* Owner() const { return FOwner; }
    // The first collection whose item class Item belongs to; nullptr when none.
    TEntCollection* CollectionFromType(const TComponent* Item) const;
    // The items of every stored collection, collection by collection, in item order.
    void GetChildren(const std::function<void(TComponent*)>& Proc) const;
    void Loaded();
    const std::vector<TEntCollection*>& Collections() const { return FCollections; }

private:
    friend class TEntCollection;
    TComponent* FOwner;
    std::vector<TEntCollection*> FCollections;  // not owned
};

// ---------------------------------------------------------------------------

class TEntComponent : public TComponent {
public:
    explicit TEntComponent(TComponent* AOwner) : TComponent(AOwner) {}
    ~TEntComponent() override;
    std::string About() const { return EntVersionText; }
    void Loaded() override;
    // Made by the first collection that names this component as its owner.
    TEntCollectionStreamer* Streamer() const { return FStreamer.get(); }
    TEntCollectionStreamer* StreamerNeeded();
    // Children for streaming: the streamer's items.
    void GetChildren(const std::function<void(TComponent*)>& Proc) const;

private:
    std::unique_ptr<TEntCollectionStreamer> FStreamer;
};

class TEntGraphicControl : public TGraphicControl {
public:
    explicit TEntGraphicControl(TComponent* AOwner) : TGraphicControl(AOwner) {}
    ~TEntGraphicControl() override;
    std::string About() const { return EntVersionText; }
    void Loaded() override;
    TEntCollectionStreamer* Streamer() const { return FStreamer.get(); }
    TEntCollectionStreamer* StreamerNeeded();

private:
    std::unique_ptr<TEntCollectionStreamer> FStreamer;
};

// ---------------------------------------------------------------------------
// Attached labels

class TEntLabelInfo : public TPersistent {
public:
    int GetOffsetX() const { return FOffsetX; }
    int GetOffsetY() const { return FOffsetY; }
    void SetOffsetX(int Value) { SetOffsets(Value, FOffsetY); }
    void SetOffsetY(int Value) { SetOffsets(FOffsetX, Value); }
    // One change notice for both.
    void SetOffsets(int X, int Y);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    // The offsets are stored with the form only while the label is shown.
    bool OffsetsStored() const { return FVisible; }
    void Assign(TPersistent* Source) override;

    TNotifyEvent OnChange;         // set by the owning control
    TNotifyEvent OnVisibleChange;  // set by the owning control

private:
    friend class TEntCustomControl;
    int FOffsetX = 0;
    int FOffsetY = 0;
    bool FVisible = false;
};

// The caption label of a control, owned by the control's form. Moving it
// tells the control, which keeps the offset between the two.
class TEntAttachedLabel : public TLabel {
public:
    explicit TEntAttachedLabel(TComponent* AOwner);
    TEntCustomControl* Control() const;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Loaded() override;

private:
    friend class TEntCustomControl;
    // Tells the control where the label is now.
    void ReportPosition();
};

using TEntMouseWheelEvent = std::function<void(TObject* Sender, TShiftState Shift, int Delta, int X, int Y)>;

class TEntCustomControl : public TCustomControl {
public:
    explicit TEntCustomControl(TComponent* AOwner);
    ~TEntCustomControl() override;
    std::string About() const { return EntVersionText; }

    TEntLabelInfo* LabelInfo() const { return FLabelInfo.get(); }
    // Raises "Label not attached" while LabelInfo.Visible is false.
    TEntAttachedLabel* AttachedLabel() const;
    // The label, or nullptr while there is none.
    TEntAttachedLabel* AttachedLabelIfAny() const { return FLabel; }

    TNotifyEvent AfterEnter;
    TNotifyEvent AfterExit;
    TEntMouseWheelEvent OnMouseWheelDelta;

    TEntCollectionStreamer* Streamer() const { return FStreamer.get(); }
    TEntCollectionStreamer* StreamerNeeded();
    void GetChildren(const std::function<void(TComponent*)>& Proc) const;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    void Dispatch(TMessage& Message) override;

protected:
    void WMSetFocus(TWMSetFocus& Message) override;
    void WMKillFocus(TWMKillFocus& Message) override;
    void WMMouseWheel(TWMMouseWheel& Message) override;
    void CMVisibleChanged(TMessage& Message) override;
    // The label sits on the control's top edge, shifted by the offsets.
    void PositionLabel();
    bool Loading() const { return ComponentState.Contains(csLoading); }

private:
    void LabelVisibleChanged();
    void CreateLabel();
    void FreeLabel();
    void RecordLabelPosition();
    void AssignLabel(TEntAttachedLabel* Label);

    std::unique_ptr<TEntLabelInfo> FLabelInfo;
    std::unique_ptr<TEntCollectionStreamer> FStreamer;
    TEntAttachedLabel* FLabel = nullptr;
};

// The base of the entry fields and the notebook: a control that finds its
// entry controller.
class TEntCustomControlEx : public TEntCustomControl {
public:
    explicit TEntCustomControlEx(TComponent* AOwner) : TEntCustomControl(AOwner) {}
    ~TEntCustomControlEx() override;
    // The assigned controller, else the form's first controller, else the
    // process-wide default. Reading never stores anything.
    TEntController* GetController() const;
    // The controller as assigned (nullptr when none).
    TEntController* AssignedController() const { return FController; }
    void SetController(TEntController* Value);

    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    // Makes the window, then settles the controller: the form's first one,
    // else (at run time) the default.
    void CreateWnd() override;

private:
    TEntController* FController = nullptr;
};

// The first controller among the form's components; nullptr when none.
TEntController* FirstFormController(TComponent* Form);

// ---------------------------------------------------------------------------
// Collections

// The class of a collection's items, tested by dynamic type.
struct TEntItemClass {
    std::string Name;
    std::function<bool(const TObject*)> Includes;
    template <typename T>
    static TEntItemClass Of(const std::string& name) {
        return TEntItemClass{name, [](const TObject* o) { return dynamic_cast<const T*>(o) != nullptr; }};
    }
};

// An item of a collection owned by the item's owner. The item's class is
// known only once its constructor ends, so a class whose objects are
// collection items calls JoinOwnerCollection() at the end of its constructor.
class TEntCollectibleControl : public TEntCustomControl {
public:
    explicit TEntCollectibleControl(TComponent* AOwner);
    ~TEntCollectibleControl() override;

    TEntCollection* Collection() const { return FCollection; }
    // The base of names for new items ("Page"), and the editor's text of the item.
    virtual std::string GetBaseName() const { return "Item"; }
    virtual std::string GetDisplayText() const { return GetName(); }
    // The item's name or caption changed: tells the collection.
    void ItemChanged();

    void SetName(const std::string& NewName) override;
    void SetParentComponent(TComponent* Value) override;

protected:
    // Finds the collection through the owner's streamer and joins it. While a
    // window definition is being read the owner is the window; the item joins
    // the collection of the component its definition sits in instead.
    void JoinOwnerCollection();

private:
    friend class TEntCollection;
    void JoinCollectionOf(TComponent* Holder);
    void SetCollection(TEntCollection* Value);
    TEntCollection* FCollection = nullptr;
    bool FJoinPending = false;
    bool FNotifying = false;
};

class TEntCollection : public TPersistent {
public:
    // The owner must be a TEntComponent or a TEntCustomControl.
    TEntCollection(TComponent* AOwner, TEntItemClass AItemClass);
    ~TEntCollection() override;

    int Count() const { return int(FItems.size()); }
    TEntCollectibleControl* Items(int Index) const;
    // Exact (case-sensitive) name match; nullptr when none.
    TEntCollectibleControl* ItemByName(const std::string& Name) const;
    int IndexOf(const TEntCollectibleControl* Item) const;
    TComponent* Owner() const { return FOwner; }
    TPersistent* GetOwner() const override { return FOwner; }
    const TEntItemClass& ItemClass() const { return FItemClass; }

    virtual void Changed();
    // Frees the items, the first first.
    virtual void Clear();
    // After the owner was read from its window definition.
    void Loaded();

    // Design time: the editor selected an item; the editor asks for its caption.
    void ItemSelected(int Index);
    std::string EditorCaption();
    // A name for a new item: its base name and the first number from 1 up that
    // no component of the form (or of those it owns) uses, case ignored.
    std::string NewItemName(const TEntCollectibleControl* Item) const;

    bool Stored = true;
    TNotifyEvent OnChanged;
    std::function<void(TObject* Sender, int Index)> OnItemSelected;
    std::function<void(TObject* Sender, std::string& Caption)> OnGetEditorCaption;
    // Design-time editor told about changes (0 when none).
    HWND ItemEditor = 0;

private:
    friend class TEntCollectibleControl;
    friend class TEntCollectionStreamer;
    void AddItem(TEntCollectibleControl* Item);
    void RemoveItem(TEntCollectibleControl* Item);

    TComponent* FOwner;
    TEntItemClass FItemClass;
    std::vector<TEntCollectibleControl*> FItems;
    TEntCollectionStreamer* FStreamer = nullptr;
    bool FLoading = false;
    bool FLoadedOnce = false;
    bool FNotifying = false;
};

// The streamer of a TEntComponent, TEntGraphicControl or TEntCustomControl
// (made when asked); raises error 30242 for any other component.
TEntCollectionStreamer* StreamerOf(TComponent* Owner, bool Create);

// Publishes the base classes, the attached label and the companions of the
// entry fields for window definitions (once).
void RegisterEntBaseClasses();
