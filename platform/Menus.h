#pragma once
// Menus: items in a tree, the form's menu bar and pop-up menus, shortcuts, and
// owner drawing through TCanvas.

#include <functional>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "Messages.h"

class TMenu;

class EMenuError : public Exception {
public:
    using Exception::Exception;
};

// A key with Shift, Ctrl and Alt bits, as menu items keep it.
using TShortCut = Word;
enum : TShortCut { scNone = 0, scShift = 0x2000, scCtrl = 0x4000, scAlt = 0x8000 };

TShortCut ShortCut(Word Key, TShiftState Shift);
void ShortCutToKey(TShortCut ShortCut, Word& Key, TShiftState& Shift);
// "Ctrl+S", "Shift+Ctrl+F5", "Del"; empty for scNone.
std::string ShortCutToText(TShortCut ShortCut);
// The reverse of ShortCutToText, letter case ignored; scNone for a text it does not know.
TShortCut TextToShortCut(const std::string& Text);
// The caption without its "&" markers ("&&" stays one "&").
std::string StripHotkey(const std::string& Text);
// The character after the single "&" of a caption, upper-cased; 0 when none.
char32_t GetHotkey(const std::string& Text);

// The size an owner-drawn item wants, and its drawing (Selected: under the mouse).
using TMenuMeasureItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height)>;
using TMenuDrawItemEvent = std::function<void(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected)>;

class TMenuItem : public TComponent {
public:
    explicit TMenuItem(TComponent* AOwner);
    // Frees the items below it.
    ~TMenuItem() override;

    std::string GetCaption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // A caption of "-" makes a separator.
    bool IsLine() const { return FCaption == "-"; }
    TShortCut GetShortCut() const { return FShortCut; }
    void SetShortCut(TShortCut Value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    // Checking a radio item unchecks the other radio items of its GroupIndex.
    bool GetChecked() const { return FChecked; }
    void SetChecked(bool Value);
    bool GetRadioItem() const { return FRadioItem; }
    void SetRadioItem(bool Value);
    Byte GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(Byte Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool GetDefault() const { return FDefault; }
    void SetDefault(bool Value);
    bool AutoCheck = false;
    std::string Hint;
    int HelpContext = 0;

    TNotifyEvent OnClick;
    TMenuMeasureItemEvent OnMeasureItem;
    TMenuDrawItemEvent OnDrawItem;

    // ---- The tree ----------------------------------------------------------------------
    int Count() const { return int(FItems.size()); }
    TMenuItem* Items(int Index) const;
    TMenuItem* operator[](int Index) const { return Items(Index); }
    void Add(TMenuItem* Item);
    void Insert(int Index, TMenuItem* Item);
    // Takes the item out without freeing it.
    void Delete(int Index);
    void Remove(TMenuItem* Item);
    // Frees every item below this one.
    void Clear();
    int IndexOf(const TMenuItem* Item) const;
    TMenuItem* GetParent() const { return FParent; }
    int GetMenuIndex() const;
    void SetMenuIndex(int Value);
    TMenu* GetParentMenu() const;
    // The item with this caption (hotkey markers ignored), among the direct items.
    TMenuItem* Find(const std::string& ACaption) const;

    // OnClick when enabled (AutoCheck toggles Checked first).
    virtual void Click();
    // Measures and draws the item for owner-drawn menus: the events, or the plain look.
    virtual void MeasureItem(TCanvas* ACanvas, int& Width, int& Height);
    virtual void DrawItem(TCanvas* ACanvas, TRect ARect, bool Selected);
    // The window-definition reader's placing: under a menu's items or another item.
    void SetParentComponent(TComponent* Value) override;
    TComponent* GetParentComponent() const override;

protected:
    void Changed(bool TopLevelToo = false);

private:
    friend class TMenu;
    std::string FCaption;
    TShortCut FShortCut = scNone;
    bool FEnabled = true;
    bool FVisible = true;
    bool FChecked = false;
    bool FRadioItem = false;
    Byte FGroupIndex = 0;
    int FImageIndex = -1;
    bool FDefault = false;
    TMenuItem* FParent = nullptr;
    TMenu* FMenu = nullptr;  // set on a menu's root item
    std::vector<TMenuItem*> FItems;
};

class TMenu : public TComponent {
public:
    explicit TMenu(TComponent* AOwner);
    ~TMenu() override;

    // The invisible root; its items are the menu's.
    TMenuItem* Items() const { return FItems; }
    TImageList* GetImages() const { return FImages; }
    void SetImages(TImageList* Value);
    bool GetOwnerDraw() const { return FOwnerDraw; }
    void SetOwnerDraw(bool Value);

    // Clicks the enabled, visible item whose shortcut the key is; true when there was one.
    bool IsShortCut(TWMKey& Message);
    TMenuItem* FindItemByShortCut(TShortCut Value) const;
    // Called when an item changes; TopLevel when the change shows without opening a menu.
    virtual void MenuChanged(bool TopLevel);

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    TMenuItem* FItems;
    TImageList* FImages = nullptr;
    bool FOwnerDraw = false;
};

class TMainMenu : public TMenu {
public:
    explicit TMainMenu(TComponent* AOwner);
    void MenuChanged(bool TopLevel) override;
};

class TPopupMenu : public TMenu {
public:
    explicit TPopupMenu(TComponent* AOwner);
    // Shows the menu at a screen position and clicks the item chosen (after it closes).
    virtual void Popup(int X, int Y);
    bool AutoPopup = true;
    // The control whose right click opened the menu.
    TComponent* PopupComponent = nullptr;
    TNotifyEvent OnPopup;

protected:
    virtual void DoPopup();
};

// Chooses the item of a pop-up menu in place of the person (tests); returns the
// previous chooser. An empty one restores the real menu.
using TPopupHook = std::function<TMenuItem*(TPopupMenu* Menu, int X, int Y)>;
TPopupHook SetPopupHook(TPopupHook Hook);
