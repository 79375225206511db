#include "OwnerDrawMenu.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "Forms.h"
#include "TypInfo.h"

namespace {

// The draw and measure handlers as named types, so that unhooking can tell
// this component's handlers from the application's own.
struct TDrawHandler {
    TOwnerDrawMenu* Owner;
    void operator()(TObject* Sender, TCanvas* C, TRect R, bool Selected) const {
        Owner->DrawItem(Sender, C, R, Selected);
    }
};
struct TMeasureHandler {
    TOwnerDrawMenu* Owner;
    void operator()(TObject* Sender, TCanvas* C, int& W, int& H) const { Owner->MeasureItem(Sender, C, W, H); }
};

bool IsOurs(const TMenuDrawItemEvent& f, const TOwnerDrawMenu* owner) {
    const TDrawHandler* h = f.target<TDrawHandler>();
    return h && h->Owner == owner;
}
bool IsOurs(const TMenuMeasureItemEvent& f, const TOwnerDrawMenu* owner) {
    const TMeasureHandler* h = f.target<TMeasureHandler>();
    return h && h->Owner == owner;
}

int Clamp255(int v) { return std::clamp(v, 0, 255); }

}  // namespace

TColor LightenColor(TColor Color, int Percent) {
    const TColor c = ColorToRGB(Color);
    const int p = std::min(Percent, 100);
    auto up = [p](int x) { return Clamp255(x + static_cast<int>(std::lround((255 - x) * p / 100.0))); };
    return RGB(uint8_t(up(GetRValue(c))), uint8_t(up(GetGValue(c))), uint8_t(up(GetBValue(c))));
}

TColor ShadeColor(TColor Color, int Value) {
    const TColor c = ColorToRGB(Color);
    return RGB(uint8_t(Clamp255(GetRValue(c) - Value)), uint8_t(Clamp255(GetGValue(c) - Value + 2)),
               uint8_t(Clamp255(GetBValue(c) - Value)));
}

TColor GreyColor(TColor Color, int Value) {
    const TColor c = ColorToRGB(Color);
    const int g = std::min(240, (GetRValue(c) + GetGValue(c) + GetBValue(c)) / 3 + Value);
    const uint8_t v = uint8_t(Clamp255(g));
    return RGB(v, v, v);
}

TOwnerDrawMenu::TOwnerDrawMenu(TComponent* AOwner) : TComponent(AOwner), FFont(std::make_unique<TFont>()) {
    FFont->SetColor(clMenuText);
    SelectFontColor = FFont->GetColor();
}

TOwnerDrawMenu::~TOwnerDrawMenu() {
    if (FActive && !ComponentState.Contains(csDesigning)) HookComponents(false);
}

void TOwnerDrawMenu::SetActive(bool Value) {
    if (FActive == Value) return;
    FActive = Value;
    if (!ComponentState.Contains(csLoading)) HookComponents(Value);
}

void TOwnerDrawMenu::Rehook(const std::function<void()>& Change) {
    const bool active = FActive && !ComponentState.Contains(csLoading);
    if (active) HookComponents(false);
    Change();
    if (active) HookComponents(true);
}

void TOwnerDrawMenu::SetOverrideOwnerDraw(bool Value) {
    if (FOverrideOwnerDraw != Value) Rehook([&] { FOverrideOwnerDraw = Value; });
}

void TOwnerDrawMenu::SetXPContainers(TXPContainers Value) {
    if (FXPContainers != Value) Rehook([&] { FXPContainers = Value; });
}

void TOwnerDrawMenu::SetXPControls(TXPControls Value) {
    if (FXPControls != Value) Rehook([&] { FXPControls = Value; });
}

void TOwnerDrawMenu::Loaded() {
    TComponent::Loaded();
    if (FActive) HookComponents(true);
}

void TOwnerDrawMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    // Items added later are hooked when their menu is next drawn; whole menus at once.
    if (FActive && AutoDetect && Operation == opInsert && !ComponentState.Contains(csDesigning) &&
        dynamic_cast<TMenu*>(AComponent))
        HookComponent(AComponent, true);
}

void TOwnerDrawMenu::HookComponents(bool Enable) {
    if (!Owner) return;
    for (int i = 0; i < Owner->ComponentCount(); ++i) HookComponent(Owner->Components(i), Enable);
}

void TOwnerDrawMenu::HookComponent(TComponent* Component, bool Enable) {
    if (auto* control = dynamic_cast<TControl*>(Component)) {
        // Subclasses follow Active themselves: switched off, each lets its
        // control go at the repaint asked for here.
        if (ComponentState.Contains(csDesigning) || ComponentState.Contains(csDestroying)) return;
        if (Enable && !SubClassOf(control) && Qualifies(control)) new TControlSubClass(this, control);
        if (SubClassOf(control)) control->Invalidate();
        return;
    }
    auto* menu = dynamic_cast<TMenu*>(Component);
    if (!menu) return;
    if (dynamic_cast<TMainMenu*>(menu)) {
        if (!FXPControls.Contains(xcMainMenu) || menu->Tag == 999) return;
    } else if (dynamic_cast<TPopupMenu*>(menu)) {
        if (!FXPControls.Contains(xcPopupMenu)) return;
    } else {
        return;
    }
    menu->SetOwnerDraw(Enable);
    TMenuItem* root = menu->Items();
    for (int i = 0; i < root->Count(); ++i) HookItem(root->Items(i), Enable);
}

void TOwnerDrawMenu::HookItem(TMenuItem* Item, bool Enable) {
    if (!Enable) {
        if (IsOurs(Item->OnDrawItem, this)) Item->OnDrawItem = nullptr;
        if (IsOurs(Item->OnMeasureItem, this)) Item->OnMeasureItem = nullptr;
    } else if (Item->Tag != 999) {
        if (!Item->OnDrawItem || (FOverrideOwnerDraw && !IsOurs(Item->OnDrawItem, this)))
            Item->OnDrawItem = TDrawHandler{this};
        if (!Item->OnMeasureItem || (FOverrideOwnerDraw && !IsOurs(Item->OnMeasureItem, this)))
            Item->OnMeasureItem = TMeasureHandler{this};
    }
    for (int i = 0; i < Item->Count(); ++i) HookItem(Item->Items(i), Enable);
}

bool TOwnerDrawMenu::IsHooked(const TMenuItem* Item) const { return Item && IsOurs(Item->OnDrawItem, this); }

bool TOwnerDrawMenu::IsTopLevelOfMainMenu(const TMenuItem* Item) const {
    TMenuItem* parent = Item->GetParent();
    auto* menu = dynamic_cast<TMainMenu*>(Item->GetParentMenu());
    return menu && parent == menu->Items();
}

// ---- Measuring and drawing -------------------------------------------------------------

void TOwnerDrawMenu::MeasureItem(TObject* Sender, TCanvas* ACanvas, int& Width, int& Height) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!FActive || !item || !ACanvas) return;
    const bool separator = item->GetCaption() == "-";
    std::string text = separator ? std::string() : item->GetCaption();
    const std::string shortcut = ShortCutToText(item->GetShortCut());
    if (!separator && !shortcut.empty()) text += shortcut + "WWW";
    ACanvas->SetFont(FFont.get());
    int w = ACanvas->TextWidth(text) + 5;
    if (text.find('&') != std::string::npos) w -= ACanvas->TextWidth("&");

    int imageWidth = 0, imageHeight = 0;
    TMenu* menu = item->GetParentMenu();
    if (item->GetImageIndex() != -1 && menu && menu->GetImages()) {
        imageWidth = menu->GetImages()->GetWidth();
        imageHeight = menu->GetImages()->GetHeight();
    }
    const bool topLevel = IsTopLevelOfMainMenu(item);
    if (!topLevel) imageWidth = std::max(imageWidth, IconWidth);
    if (imageWidth > 0) w += imageWidth;
    if (topLevel) w += 8;
    Width = std::max(Width, w);
    if (separator) {
        Height = 4;
        return;
    }
    const int th = ACanvas->TextHeight(text.empty() ? std::string("W") : text);
    const int h = std::max(th + static_cast<int>(std::lround(th * 0.75)), imageHeight + 6);
    Height = std::max(Height, h);
}

TOwnerDrawMenu::TColors TOwnerDrawMenu::EffectiveColors() const {
    TColors c{};
    if (UseSystemColors) {
        c.body = LightenColor(clBtnFace, 86);
        c.iconStrip = LightenColor(clBtnFace, 16);
        c.selection = LightenColor(clHighlight, 68);
        c.selectionBorder = clHighlight;
        c.selectedFont = FFont->GetColor();
        c.menuBar = clBtnFace;
        c.disabled = LightenColor(clBtnShadow, 10);
        c.separator = LightenColor(clBtnShadow, 25);
        c.checked = clHighlight;
        c.checkedArea = LightenColor(clHighlight, 80);
        c.checkedAreaSelected = LightenColor(clHighlight, 50);
        return c;
    }
    c.body = Color;
    c.iconStrip = IconBackColor;
    c.selectionBorder = SelectBorderColor;
    c.selectedFont = SelectFontColor;
    c.menuBar = MenuBarColor;
    c.disabled = DisabledColor;
    c.checked = CheckedColor;
    c.separator = SeparatorColor;
    if (UseDimColor) {
        c.selection = LightenColor(SelectColor, 68);
        c.checkedArea = LightenColor(SelectColor, 80);
        c.checkedAreaSelected = LightenColor(SelectColor, 50);
    } else {
        c.selection = c.checkedArea = c.checkedAreaSelected = SelectColor;
    }
    return c;
}

void TOwnerDrawMenu::DrawItem(TObject* Sender, TCanvas* ACanvas, TRect ARect, bool Selected) {
    auto* item = dynamic_cast<TMenuItem*>(Sender);
    if (!FActive || !item || !ACanvas) return;
    const TColors colors = EffectiveColors();
    TCanvas* c = ACanvas;
    c->SetFont(FFont.get());
    TRect r = ARect;
    r.Bottom += 1;
    const bool topLevel = IsTopLevelOfMainMenu(item);
    const bool enabled = item->GetEnabled();
    TMenu* menu = item->GetParentMenu();
    TImageList* images = menu ? menu->GetImages() : nullptr;
    const bool picture = images && item->GetImageIndex() >= 0 && item->GetImageIndex() < images->Count();

    const TRect icon{r.Left, r.Top, r.Left + IconWidth, r.Bottom};
    TRect text{topLevel ? r.Left + 4 : r.Left + IconWidth, r.Top, r.Right, r.Bottom};
    if (topLevel && !picture) text = r;

    c->GetBrush()->SetStyle(bsSolid);
    c->GetPen()->SetStyle(psSolid);
    if (topLevel) {
        c->GetBrush()->SetColor(colors.menuBar);
        c->FillRect(r);
    } else {
        c->GetBrush()->SetColor(colors.body);
        c->FillRect(r);
        c->GetBrush()->SetColor(colors.iconStrip);
        c->FillRect(icon);
    }

    if (Selected && DrawSelect && enabled) {
        TRect box{r.Left, r.Top + 1, r.Right - (FlatMenu ? 1 : 0), r.Bottom - 1};
        if (topLevel) box = r;
        c->GetBrush()->SetColor(colors.selection);
        c->FillRect(box);
        c->GetBrush()->SetColor(colors.selectionBorder);
        c->FrameRect(box);
    }

    if (item->GetChecked()) {
        const int size = 10;
        TRect check = Bounds(icon.Left + (IconWidth - size) / 2, icon.Top + (icon.Height() - size) / 2, size, size);
        c->GetPen()->SetColor(enabled ? (item->GetRadioItem() ? colors.selectionBorder : colors.checked)
                                      : colors.disabled);
        if (enabled) c->GetBrush()->SetColor(Selected ? colors.checkedAreaSelected : colors.checkedArea);
        if (item->GetRadioItem()) {
            c->Ellipse(check);
        } else {
            c->Rectangle(check);
            c->GetPen()->SetColor(enabled ? clBlack : colors.disabled);
            const int L = check.Left, T = check.Top, Rt = check.Right, B = check.Bottom;
            c->MoveTo(L + 2, T + 5);
            c->LineTo(L + 4, B - 2);
            c->LineTo(Rt - 1, T + 1);
        }
    }

    if (picture) {
        const int x = topLevel ? icon.Left + 1 : icon.Left + std::max(2, (IconWidth - images->GetWidth()) / 2 - 1);
        const int y = icon.Top + (icon.Height() - images->GetHeight()) / 2;
        images->Draw(c, x, y, item->GetImageIndex(), enabled);
    }

    if (item->GetCaption() == "-") {
        const int mid = text.Top + static_cast<int>(std::lround(text.Height() / 2.0));
        c->GetPen()->SetColor(colors.separator);
        c->MoveTo(text.Left + 7, mid);
        c->LineTo(text.Right, mid);
        return;
    }

    TColor captionColour = enabled ? FFont->GetColor() : colors.disabled;
    if (Selected && enabled) captionColour = colors.selectedFont;
    c->GetBrush()->SetStyle(bsClear);
    c->SetBkMode(TRANSPARENT);
    c->GetFont()->SetColor(captionColour);
    TRect t = text;
    t.Left += 3;
    t.Top += (t.Height() - c->TextHeight("W")) / 2;
    c->DrawText(" " + item->GetCaption(), t, DT_LEFT | DT_SINGLELINE);

    const std::string shortcut = ShortCutToText(item->GetShortCut());
    if (!shortcut.empty() && !topLevel) {
        c->GetFont()->SetColor(enabled ? ShadeColor(captionColour, -40) : colors.disabled);
        TRect s = t;
        s.Right -= 10;
        c->DrawText(shortcut + " ", s, DT_RIGHT | DT_SINGLELINE | DT_NOPREFIX);
    }
    // Items added meanwhile under this one are hooked too.
    HookItem(item, true);
}

void RegisterOwnerDrawMenuClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterControlsClasses();
        using O = TOwnerDrawMenu;
        Published<TOwnerDrawMenu>("TOwnerDrawMenu", "TComponent")
            .Int("DimLevel", &O::DimLevel, &O::DimLevel)
            .Int("GrayLevel", &O::GrayLevel, &O::GrayLevel)
            .Object("Font", &O::GetFont)
            .Int("Color", &O::Color, &O::Color)
            .Bool("DrawMenuBar", &O::DrawMenuBar, &O::DrawMenuBar)
            .Int("IconBackColor", &O::IconBackColor, &O::IconBackColor)
            .Int("MenuBarColor", &O::MenuBarColor, &O::MenuBarColor)
            .Int("SelectColor", &O::SelectColor, &O::SelectColor)
            .Int("SelectBorderColor", &O::SelectBorderColor, &O::SelectBorderColor)
            .Int("SelectFontColor", &O::SelectFontColor, &O::SelectFontColor)
            .Int("DisabledColor", &O::DisabledColor, &O::DisabledColor)
            .Int("SeparatorColor", &O::SeparatorColor, &O::SeparatorColor)
            .Int("CheckedColor", &O::CheckedColor, &O::CheckedColor)
            .Int("IconWidth", &O::IconWidth, &O::IconWidth)
            .Bool("DrawSelect", &O::DrawSelect, &O::DrawSelect)
            .Bool("UseSystemColors", &O::UseSystemColors, &O::UseSystemColors)
            .Bool("UseDimColor", &O::UseDimColor, &O::UseDimColor)
            .Bool("OverrideOwnerDraw", &O::GetOverrideOwnerDraw, &O::SetOverrideOwnerDraw)
            .Bool("Gradient", &O::Gradient, &O::Gradient)
            .Bool("FlatMenu", &O::FlatMenu, &O::FlatMenu)
            .Bool("AutoDetect", &O::AutoDetect, &O::AutoDetect)
            .SetOf("XPContainers",
                   {"xccForm", "xccFrame", "xccToolbar", "xccCoolbar", "xccControlbar", "xccPanel", "xccScrollBox",
                    "xccGroupBox", "xccTabSheet", "xccPageScroller"},
                   &O::GetXPContainers, &O::SetXPContainers)
            .SetOf("XPControls",
                   {"xcMainMenu", "xcPopupMenu", "xcToolbar", "xcControlbar", "xcCombo", "xcEdit", "xcMaskEdit",
                    "xcMemo", "xcRichEdit", "xcCheckBox", "xcRadioButton", "xcButton", "xcBitBtn", "xcSpeedButton",
                    "xcPanel", "xcGroupBox"},
                   &O::GetXPControls, &O::SetXPControls)
            .Bool("Active", &O::GetActive, &O::SetActive);
    });
}
