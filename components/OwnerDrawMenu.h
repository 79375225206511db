#pragma once
// Flat owner-drawn menus: while Active, the owner form's main menu and pop-up
// menus are measured and drawn by this component (light body, icon strip at
// the left, framed selection box, thin separators, right-aligned shortcuts).

#include <functional>
#include <memory>

#include "Classes.h"
#include "Graphics.h"
#include "Menus.h"

class TForm;

enum TXPContainer {
    xccForm, xccFrame, xccToolbar, xccCoolbar, xccControlbar, xccPanel, xccScrollBox, xccGroupBox, xccTabSheet,
    xccPageScroller
};
using TXPContainers = Set<TXPContainer>;
enum TXPControl {
    xcMainMenu, xcPopupMenu, xcToolbar, xcControlbar, xcCombo, xcEdit, xcMaskEdit, xcMemo, xcRichEdit, xcCheckBox,
    xcRadioButton, xcButton, xcBitBtn, xcSpeedButton, xcPanel, xcGroupBox
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

private:
    struct TColors {
        TColor body, iconStrip, selection, selectionBorder, selectedFont, checked, checkedArea, checkedAreaSelected,
            menuBar, disabled, separator;
    };
    TColors EffectiveColors() const;
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

// Registers the component for window definitions; safe to call more than once.
void RegisterOwnerDrawMenuClasses();
