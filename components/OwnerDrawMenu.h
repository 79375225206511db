#pragma once
// Flat owner-drawn menus: while Active, the owner form's main menu and pop-up
// menus are measured and drawn by this component (light body, icon strip at
// the left, framed selection box, thin separators, right-aligned shortcuts).

#include <functional>
#include <memory>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "Menus.h"

class TForm;
class TControlSubClass;

enum TXPContainer {
    xccForm,
    xccFrame,
    xccToolbar,
    xccCoolbar,
    xccControlbar,
    xccPanel,
    xccScrollBox,
    xccGroupBox,
    xccTabSheet,
    xccPageScroller
};
using TXPContainers = Set<TXPContainer>;
enum TXPControl {
    xcMainMenu,
    xcPopupMenu,
    xcToolbar,
    xcControlbar,
    xcCombo,
    xcEdit,
    xcMaskEdit,
    xcMemo,
    xcRichEdit,
    xcCheckBox,
    xcRadioButton,
    xcButton,
    xcBitBtn,
    xcSpeedButton,
    xcPanel,
    xcGroupBox
};
using TXPControls = Set<TXPControl>;

// Colour arithmetic of the flat look (system colours resolved first).
// Each channel moved Percent (capped at 100) of the way to white.
TColor LightenColor(TColor Color, int Percent);
// Red and blue less Value, green less Value - 2, clamped; a negative Value lightens.
TColor ShadeColor(TColor Color, int Value);
// The grey of the channels' mean plus Value, capped at 240.
TColor GreyColor(TColor Color, int Value);

class TOwnerDrawMenu : public TComponent {
public:
    explicit TOwnerDrawMenu(TComponent* AOwner);
    ~TOwnerDrawMenu() override;

    int DimLevel = 30;
    int GrayLevel = 10;
    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TColor Color = clBtnFace;
    bool DrawMenuBar = false;
    TColor IconBackColor = clBtnFace;
    TColor MenuBarColor = clBtnFace;
    TColor SelectColor = clHighlight;
    TColor SelectBorderColor = clHighlight;
    TColor SelectFontColor = clMenuText;
    TColor DisabledColor = clInactiveCaption;
    TColor SeparatorColor = clBtnFace;
    TColor CheckedColor = clHighlight;
    int IconWidth = 24;
    bool DrawSelect = true;
    bool UseSystemColors = true;
    bool UseDimColor = false;
    bool GetOverrideOwnerDraw() const { return FOverrideOwnerDraw; }
    void SetOverrideOwnerDraw(bool Value);
    bool Gradient = false;
    bool FlatMenu = false;
    bool AutoDetect = false;
    TXPContainers GetXPContainers() const { return FXPContainers; }
    void SetXPContainers(TXPContainers Value);
    TXPControls GetXPControls() const { return FXPControls; }
    void SetXPControls(TXPControls Value);
    bool GetActive() const { return FActive; }
    void SetActive(bool Value);

    // The handlers installed on menu items.
    void MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height);
    void DrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected);
    // True when the item's draw handler is this component's.
    bool IsHooked(const TMenuItem* Item) const;

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // The colours one drawing pass derives from the settings.
    struct TColors {
        TColor body, iconStrip, selection, selectionBorder, selectedFont, checked, checkedArea, checkedAreaSelected,
            menuBar, disabled, separator;
    };
    TColors EffectiveColors() const;
    // Whether the control would be restyled: its kind is in XPControls, its
    // parent's in XPContainers, and neither carries Tag 999.
    bool Qualifies(const TControl* Control) const;
    // The restyling object of a control; nullptr when it has none.
    TControlSubClass* SubClassOf(const TControl* Control) const;

private:
    void HookComponents(bool Enable);
    // Applies a change of the settings the hooks depend on: an active menu is
    // unhooked before it and hooked again after it.
    void Rehook(const std::function<void()>& Change);
    void HookComponent(TComponent* Component, bool Enable);
    void HookItem(TMenuItem* Item, bool Enable);
    bool IsTopLevelOfMainMenu(const TMenuItem* Item) const;

    std::unique_ptr<TFont> FFont;
    bool FOverrideOwnerDraw = false;
    TXPContainers FXPContainers = TXPContainers::FromBits(0x3FF);
    TXPControls FXPControls = TXPControls::FromBits(0xFFFF);
    bool FActive = false;
};

// Repaints one control of the form flat, over the control's own painting, while
// its TOwnerDrawMenu is active: it takes over the control's WindowProc, passes
// every message on, and follows focus, mouse and key state to paint the frame,
// button or check mark in the menu's colours. It goes (putting the previous
// WindowProc back) at the first message after the menu turns inactive, with
// its menu, or stays inert once its control is gone.
class TControlSubClass : public TComponent {
public:
    TControlSubClass(TOwnerDrawMenu* AOwner, TControl* AControl);
    ~TControlSubClass() override;

    TControl* GetControl() const { return FControl; }
    TOwnerDrawMenu* GetOwnerDrawMenu() const { return FOwnerDrawMenu; }
    bool Hot() const { return FHot; }
    unsigned LastMessage() const { return FLastMessage; }

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ControlSubClassProc(TMessage& Message);
    // Asks for a repaint; the flat look is drawn over the control's own
    // painting when WM_PAINT comes.
    void Paint();
    void PaintNow();
    void Release();
    void PaintEdit(TCanvas* C, const TOwnerDrawMenu::TColors& K);
    void PaintCombo(TCanvas* C, const TOwnerDrawMenu::TColors& K);
    void PaintCheckBox(TCanvas* C, const TOwnerDrawMenu::TColors& K);
    void PaintRadio(TCanvas* C, const TOwnerDrawMenu::TColors& K);
    void PaintButton(TCanvas* C, const TOwnerDrawMenu::TColors& K);
    void PaintPanel(TCanvas* C);
    void PaintGroupBox(TCanvas* C);

    TControl* FControl;
    TOwnerDrawMenu* FOwnerDrawMenu;
    TControl::TWndMethod FSavedProc;
    bool FHot = false;
    bool FMouseDown = false;
    bool FSpaceDown = false;
    bool FSpacePainted = false;
    bool FFocused = false;
    unsigned FLastMessage = 0;
};

// Registers the component for window definitions; safe to call more than once.
void RegisterOwnerDrawMenuClasses();
