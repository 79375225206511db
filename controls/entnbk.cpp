#include "entnbk.h"

#include <algorithm>
#include <vector>

#include "Forms.h"
#include "StdCtrls.h"
#include "TypInfo.h"
#include "entcmd.h"
#include "entctrl.h"
#include "entmsgs.h"
#include "entsupport.h"

namespace {

constexpr int kMinStripSide = 20;

int MulDiv(int Value, int M, int D) {
    if (D == 0) return Value;
    const long long p = static_cast<long long>(Value) * M;
    // rounded to nearest, as the platform's MulDiv does
    return static_cast<int>((p >= 0 ? p + D / 2 : p - D / 2) / D);
}

// Restores a flag when the scope ends, also by an exception.
class TFlagGuard {
public:
    explicit TFlagGuard(bool& Flag) : F(Flag) { F = true; }
    ~TFlagGuard() { F = false; }
    TFlagGuard(const TFlagGuard&) = delete;
    TFlagGuard& operator=(const TFlagGuard&) = delete;

private:
    bool& F;
};

}  // namespace

// ===========================================================================
// TEntTabPage

TEntTabPage::TEntTabPage(TComponent* AOwner) : TEntCollectibleControl(AOwner) {
    SetTabStop(false);
    SetParentFont(true);
    SetParentShowHint(true);
    ControlStyle += csAcceptsControls;
    JoinOwnerCollection();
    if (auto* notebook = dynamic_cast<TEntNotebook*>(AOwner)) {
        SetParent(notebook);
        JoinedNotebook();
    }
}

TEntTabPage::~TEntTabPage() {
    if (TEntNotebook* notebook = Notebook()) notebook->PageLeaving(this);
}

TEntNotebook* TEntTabPage::Notebook() const {
    return Collection() ? dynamic_cast<TEntNotebook*>(Collection()->Owner()) : nullptr;
}

int TEntTabPage::PageIndex() const { return Collection() ? Collection()->IndexOf(this) : -1; }

void TEntTabPage::SetParentComponent(TComponent* Value) {
    const bool had = Notebook() != nullptr;
    TEntCollectibleControl::SetParentComponent(Value);
    if (!had && Notebook()) JoinedNotebook();
}

void TEntTabPage::JoinedNotebook() {
    if (TEntNotebook* notebook = Notebook()) notebook->PageJoined(this);
}

void TEntTabPage::SetCaption(const std::string& Value) { SetText(Value); }

void TEntTabPage::CMTextChanged(TMessage& Message) {
    TEntCollectibleControl::CMTextChanged(Message);
    if (!ComponentState.Contains(csLoading)) ItemChanged();
    if (TEntNotebook* notebook = Notebook()) notebook->Relayout();
}

void TEntTabPage::SetPageVisible(bool Value) {
    if (Value == FPageVisible) return;
    FPageVisible = Value;
    if (TEntNotebook* notebook = Notebook()) notebook->Relayout();
}

void TEntTabPage::SetTabColor(TColor Value) {
    if (Value == FTabColor) return;
    FTabColor = Value;
    if (TEntNotebook* notebook = Notebook()) notebook->InvalidateTab(PageIndex());
}

void TEntTabPage::SetTextColor(TColor Value) {
    if (Value == FTextColor) return;
    FTextColor = Value;
    if (TEntNotebook* notebook = Notebook()) notebook->InvalidateTab(PageIndex());
}

std::string TEntTabPage::GetBaseName() const { return LookupMessageText(SEntPageBaseName); }

std::string TEntTabPage::GetDisplayText() const {
    const std::string caption = GetText();
    return (caption.empty() ? GetName() : caption) + ": " + ClassName();
}

void TEntTabPage::CMEnabledChanged(TMessage& Message) {
    TEntCollectibleControl::CMEnabledChanged(Message);
    if (TEntNotebook* notebook = Notebook()) notebook->Relayout();
}

void TEntTabPage::CMFontChanged(TMessage& Message) {
    TEntCollectibleControl::CMFontChanged(Message);
    if (TEntNotebook* notebook = Notebook()) notebook->PageFontChanged(this);
}

// ===========================================================================
// TEntNotebook: construction, pages, selection

TEntNotebook::TEntNotebook(TComponent* AOwner) : TEntCustomControlEx(AOwner) {
    FPageCollection = std::make_unique<TEntCollection>(this, TEntItemClass::Of<TEntTabPage>("TEntTabPage"));
    FPageCollection->OnChanged = [this](TObject* Sender) { PagesChanged(Sender); };
    FActiveTabFont = std::make_unique<TFont>();
    FActiveTabFont->SetName(GetFont()->GetName());
    FActiveTabFont->OnChange = [this](TObject* Sender) { ActiveTabFontChanged(Sender); };
    ControlStyle += csOpaque;
    ControlStyle += csAcceptsControls;
    ControlStyle -= csDoubleClicks;
    SetOwnColor(clBtnFace);
    SetParentColor(false);
    SetTabStop(true);
    SetBounds(GetLeft(), GetTop(), 220, 185);
}

TEntNotebook::~TEntNotebook() {
    FDestroying = true;
    // Free the pages while the notebook is whole: they tell it as they go.
    FPageCollection->OnChanged = nullptr;
    FPageCollection->Clear();
    FActiveTabFont->OnChange = nullptr;
}

int TEntNotebook::PageCount() const { return FPageCollection->Count(); }

TEntTabPage* TEntNotebook::Pages(int Index) const { return static_cast<TEntTabPage*>(FPageCollection->Items(Index)); }

int TEntNotebook::IndexOfPage(const TEntTabPage* Page) const { return FPageCollection->IndexOf(Page); }

bool TEntNotebook::IsSelectable(int Index) const {
    if (Index < 0 || Index >= PageCount()) return false;
    if (Designing()) return true;
    TEntTabPage* page = Pages(Index);
    return page->GetEnabled() && page->GetPageVisible();
}

int TEntNotebook::NextSelectable(int Index) const {
    const int count = PageCount();
    if (count == 0) return -1;
    int i = (Index < 0 || Index >= count) ? count - 1 : Index;
    for (int step = 0; step < count; ++step) {
        i = (i + 1) % count;
        if (i == Index) break;
        if (IsSelectable(i)) return i;
    }
    return -1;
}

int TEntNotebook::PrevSelectable(int Index) const {
    const int count = PageCount();
    if (count == 0) return -1;
    int i = (Index < 0 || Index >= count) ? 0 : Index;
    for (int step = 0; step < count; ++step) {
        i = (i - 1 + count) % count;
        if (i == Index) break;
        if (IsSelectable(i)) return i;
    }
    return -1;
}

void TEntNotebook::SetPageIndex(int Value) {
    if (Loading()) {
        FPageIndex = Value;
        return;
    }
    if (Value == FPageIndex && IsSelectable(Value)) return;
    if (!IsSelectable(Value)) throw EInvalidPageIndex();
    if (FChanging) return;
    FChanging = true;
    const int old = FPageIndex;
    try {
        if (!Designing() && old != -1) {
            bool allow = true;
            if (OnPageChange) OnPageChange(this, Value, allow);
            if (!allow) {
                FChanging = false;
                return;
            }
        }
        // The field on the old page gives up the focus (and validates).
        if (TForm* form = GetParentForm(this))
            if (TWinControl* active = form->GetActiveControl(); active && ContainsControl(active))
                form->SetActiveControl(nullptr);

        TEntTabPage* page = Pages(Value);
        page->BringToFront();
        page->Show();
        // Any other page that was shown goes, so nothing on it stays reachable
        // under the new one (also when it was disabled meanwhile).
        if (old >= 0 && old < PageCount() && old != Value) {
            TEntTabPage* oldPage = Pages(old);
            oldPage->Hide();
            if (FConserveResources && !Designing() && oldPage->HandleAllocated()) oldPage->DestroyHandle();
        }
        FPageIndex = Value;
        FActiveRow = page->FTabRow;
        HelpContext = page->HelpContext;
        Hint = page->Hint;
        Relayout();
    } catch (...) {
        FChanging = false;
        throw;
    }
    FChanging = false;
    if (!Designing() && old != -1 && FPageIndex == Value)
        if (OnPageChanged) OnPageChanged(this, Value);
    if (!IsSelectable(FPageIndex)) throw EInvalidPageIndex();
}

TEntTabPage* TEntNotebook::GetActivePage() const {
    return FPageIndex >= 0 && FPageIndex < PageCount() ? Pages(FPageIndex) : nullptr;
}

void TEntNotebook::SetActivePage(TEntTabPage* Page) {
    const int index = IndexOfPage(Page);
    if (index < 0) throw EInvalidPageIndex();
    SetPageIndex(index);
}

void TEntNotebook::ShowControl(TControl* Control) {
    for (TControl* c = Control; c; c = c->GetParent()) {
        if (c->GetParent() != this) continue;
        if (auto* page = dynamic_cast<TEntTabPage*>(c); page && IndexOfPage(page) != FPageIndex)
            SetPageIndex(IndexOfPage(page));
        return;
    }
}

// ---- Page collection notices -------------------------------------------------

void TEntNotebook::PageJoined(TEntTabPage* Page) {
    if (FDestroying) return;
    if (Page->GetParent() != this) Page->SetParent(this);
    if (Loading() || Page->ComponentState.Contains(csLoading)) return;
    const int index = IndexOfPage(Page);
    if (FPageIndex < 0 || FPageIndex >= PageCount() || FPageIndex == index) {
        // The first page of a notebook built at run time becomes the current one.
        FPageIndex = -1;
        if (IsSelectable(index)) SetPageIndex(index);
    } else {
        Page->Hide();
    }
    Relayout();
}

void TEntNotebook::PageLeaving(TEntTabPage* Page) {
    if (FDestroying || ComponentState.Contains(csDestroying)) return;
    const int index = IndexOfPage(Page);
    if (index < 0) return;
    if (index < FPageIndex) {
        --FPageIndex;
    } else if (index == FPageIndex) {
        // Without its page the notebook shows the next one that can be selected.
        FPageIndex = -1;
        for (int i = 0; i < PageCount(); ++i) {
            if (i == index || !IsSelectable(i)) continue;
            TEntTabPage* next = Pages(i);
            next->BringToFront();
            next->Show();
            FPageIndex = i < index ? i : i - 1;
            break;
        }
    }
    Invalidate();
}

void TEntNotebook::PagesChanged(TObject*) {
    if (FDestroying || FLoadingPages) return;
    Relayout();
}

void TEntNotebook::PageFontChanged(TEntTabPage* Page) {
    if (FDestroying) return;
    Relayout();
    if (!FFontChanging && !Loading() && HandleAllocated() && SideTabs()) CheckTabFont(Page->GetFont());
}

void TEntNotebook::ActiveTabFontChanged(TObject*) {
    if (FDestroying) return;
    Relayout();
    if (!Loading() && HandleAllocated() && SideTabs()) {
        CheckTabFont(GetFont());
        if (FUseActiveTabFont) CheckTabFont(FActiveTabFont.get());
    }
}

void TEntNotebook::CheckTabFont(TFont* Font) {
    if (Font->IsTrueType()) return;
    Font->SetName("Arial");
    throw EInvalidTabFont();
}

// ---- Lifecycle -------------------------------------------------------------------

void TEntNotebook::Loaded() {
    {
        TFlagGuard loading(FLoadingPages);
        TEntCustomControlEx::Loaded();
    }
    int index = DefaultPageIndex;
    if (!IsSelectable(index)) {
        // A default page that cannot be shown (or a notebook without pages)
        // must not stop the window from loading: take the first that can.
        index = -1;
        for (int i = 0; i < PageCount() && index < 0; ++i)
            if (IsSelectable(i)) index = i;
    }
    for (int i = 0; i < PageCount(); ++i) {
        if (i == index) continue;
        TEntTabPage* page = Pages(i);
        page->Hide();
        if (FConserveResources && !Designing() && page->HandleAllocated()) page->DestroyHandle();
    }
    FPageIndex = -1;
    if (index >= 0) SetPageIndex(index);
    Relayout();
}

void TEntNotebook::CreateWnd() {
    TEntCustomControlEx::CreateWnd();
    if (IsSelectable(FPageIndex)) {
        TEntTabPage* page = Pages(FPageIndex);
        page->Show();
        page->BringToFront();
    }
}

void TEntNotebook::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (SideTabs())
        AWidth = std::max(AWidth, kMinStripSide);
    else
        AHeight = std::max(AHeight, kMinStripSide);
    TEntCustomControlEx::SetBounds(ALeft, ATop, AWidth, AHeight);
    if (FPageCollection && !Loading()) Relayout();
}

void TEntNotebook::ChangeScale(int M, int D) {
    if (M == D) return;
    FTabHeight = MulDiv(FTabHeight, M, D);
    FActiveTabFont->SetHeight(MulDiv(FActiveTabFont->GetHeight(), M, D));
    Relayout();
}

// ---- Setters -------------------------------------------------------------------------

void TEntNotebook::SetUseActiveTabFont(bool Value) {
    if (Value == FUseActiveTabFont) return;
    FUseActiveTabFont = Value;
    Relayout();
}

void TEntNotebook::SetConserveResources(bool Value) {
    if (Value == FConserveResources) return;
    FConserveResources = Value;
    if (!Value || Loading() || Designing()) return;
    for (int i = 0; i < PageCount(); ++i)
        if (i != FPageIndex && Pages(i)->HandleAllocated()) Pages(i)->DestroyHandle();
}

void TEntNotebook::SetHighlightColor(TColor Value) {
    if (Value == FHighlightColor) return;
    FHighlightColor = Value;
    Invalidate();
}

void TEntNotebook::SetOldStyle(bool Value) {
    if (Value == FOldStyle) return;
    FOldStyle = Value;
    Relayout();
}

void TEntNotebook::SetPageUsesTabColor(bool Value) {
    if (Value == FPageUsesTabColor) return;
    FPageUsesTabColor = Value;
    Invalidate();
}

void TEntNotebook::SetShadowColor(TColor Value) {
    if (Value == FShadowColor) return;
    FShadowColor = Value;
    Invalidate();
}

void TEntNotebook::SetShadowedText(bool Value) {
    if (Value == FShadowedText) return;
    FShadowedText = Value;
    Invalidate();
}

void TEntNotebook::SetTabAutoHeight(bool Value) {
    if (Value == FTabAutoHeight) return;
    FTabAutoHeight = Value;
    if (Value) Relayout();
}

void TEntNotebook::SetTabHeight(int Value) {
    if (Value < 0) return;
    if (!Loading()) FTabAutoHeight = false;
    if (Value == FTabHeight) return;
    FTabHeight = Value;
    Relayout();
}

void TEntNotebook::SetTabOrientation(TEntTabOrientation Value) {
    if (Value == FTabOrientation) return;
    if (!Loading() && (Value == toRight || Value == toLeft)) {
        std::vector<TFont*> fonts{GetFont()};
        if (FUseActiveTabFont) fonts.push_back(FActiveTabFont.get());
        for (int i = 0; i < PageCount(); ++i) fonts.push_back(Pages(i)->GetFont());
        for (TFont* font : fonts) {
            if (font->IsTrueType()) continue;
            if (!Designing()) throw EInvalidTabFont();
            font->SetName("Arial");
        }
    }
    FTabOrientation = Value;
    Relayout();
}

void TEntNotebook::SetTabTextOrientation(TTabTextOrientation Value) {
    if (Value == FTabTextOrientation) return;
    FTabTextOrientation = Value;
    Invalidate();
}

void TEntNotebook::SetTabRowCount(int Value) {
    if (Loading() ? Value >= 0 : (Value >= 0 && Value <= PageCount())) FTabRowCount = Value;
    if (!Loading()) Relayout();
}

void TEntNotebook::SetTextShadowColor(TColor Value) {
    if (Value == FTextShadowColor) return;
    FTextShadowColor = Value;
    Invalidate();
}

void TEntNotebook::SetTabUseDefaultColor(bool Value) {
    if (Value == FTabUseDefaultColor) return;
    FTabUseDefaultColor = Value;
    if (Value) ApplyTabColorToPages(GetColor());
}

void TEntNotebook::ApplyTabColorToPages(TColor Color) {
    for (int i = 0; i < PageCount(); ++i) Pages(i)->SetTabColor(Color);
}

void TEntNotebook::SetOwnColor(TColor Color) {
    TFlagGuard own(FSettingColor);
    SetColor(Color);
}

void TEntNotebook::CMColorChanged(TMessage& Message) {
    TEntCustomControlEx::CMColorChanged(Message);
    if (FSettingColor || Loading() || FDestroying) return;
    FPageUsesTabColor = false;
    if (FTabUseDefaultColor) ApplyTabColorToPages(GetColor());
}

void TEntNotebook::CMParentColorChanged(TMessage& Message) {
    TEntCustomControlEx::CMParentColorChanged(Message);
    Invalidate();
}

void TEntNotebook::CMFontChanged(TMessage& Message) {
    {
        // the pages taking this font are checked with it below, not one by one
        TFlagGuard propagating(FFontChanging);
        TEntCustomControlEx::CMFontChanged(Message);
    }
    if (FDestroying) return;
    Relayout();
    if (!Loading() && HandleAllocated() && SideTabs()) {
        CheckTabFont(GetFont());
        if (FUseActiveTabFont) CheckTabFont(FActiveTabFont.get());
    }
}

// ===========================================================================
// Mouse, keyboard and focus

bool TEntNotebook::TakeFocus() {
    if (Focused()) return true;
    if (CanFocus()) SetFocus();
    if (Focused()) return true;
    // Only a control of the same window that kept the focus refuses the change.
    TWinControl* focused = FindFocusedControl();
    return !(focused && focused != this && GetParentForm(focused) == GetParentForm(this));
}

void TEntNotebook::FocusPage(int Index) {
    TForm* form = GetParentForm(this);
    if (form && Index >= 0 && Index < PageCount()) {
        std::vector<TWinControl*> list;
        Pages(Index)->GetTabOrderList(list);
        TWinControl* target = nullptr;
        for (TWinControl* c : list)
            if (c->GetTabStop() && c->CanFocus()) {
                target = c;
                break;
            }
        if (!target)
            for (TWinControl* c : list)
                if (c->CanFocus()) {
                    target = c;
                    break;
                }
        if (target) {
            target->SetFocus();
            return;
        }
    }
    if (CanFocus()) SetFocus();
}

void TEntNotebook::WMLButtonDown(TWMMouse& Message) {
    const TPoint pos = Message.Pos();
    int hit = -1;
    for (int i = 0; i < PageCount(); ++i) {
        if (!Pages(i)->FTabRect.Contains(pos)) continue;
        if (i == FPageIndex) {
            TakeFocus();
            if (OnTabClick) OnTabClick(this, i);
            TEntCustomControlEx::WMLButtonDown(Message);
            return;
        }
        if (IsSelectable(i)) {
            hit = i;
            break;
        }
        if (OnTabClick) OnTabClick(this, i);
    }
    if (hit < 0) {
        TEntCustomControlEx::WMLButtonDown(Message);
        return;
    }
    if (!Designing() && !TakeFocus()) {
        // The field being left kept the focus: the page stays.
        if (GetMouseCapture()) SetMouseCapture(false);
        return;
    }
    const int old = FPageIndex;
    SetPageIndex(hit);
    if (FPageIndex == old) return;
    if (!Designing()) FocusPage(hit);
    if (OnTabClick) OnTabClick(this, hit);
    TEntCustomControlEx::WMLButtonDown(Message);
}

void TEntNotebook::WMMouseMove(TWMMouse& Message) {
    const int tab = TabAt(Message.Pos());
    FLastHit = Message.Pos();
    FOverTab = tab >= 0;
    if (tab >= 0 && OnMouseOverTab) OnMouseOverTab(this, tab);
    TEntCustomControlEx::WMMouseMove(Message);
}

void TEntNotebook::WMKeyDown(TWMKey& Message) {
    TEntController* controller = Controller();
    const uint16_t command = controller ? controller->EntryCommands()->Translate(Message.M) : uint16_t(ccNone);
    if (command >= ccUserFirst) {
        if (OnUserCommand) OnUserCommand(this, command);
    } else if (command != ccNone) {
        // Previous, next and the row switch of each orientation; the arrow
        // towards the page does nothing.
        uint16_t prevCmd = ccLeft, nextCmd = ccRight, rowCmd = ccUp;
        switch (FTabOrientation) {
        case toTop: break;
        case toBottom: rowCmd = ccDown; break;
        case toRight:
            prevCmd = ccUp;
            nextCmd = ccDown;
            rowCmd = ccRight;
            break;
        case toLeft:
            prevCmd = ccDown;
            nextCmd = ccUp;
            rowCmd = ccLeft;
            break;
        }
        int target = -1;
        if (command == prevCmd)
            target = PrevSelectable(FPageIndex);
        else if (command == nextCmd)
            target = NextSelectable(FPageIndex);
        else if (command == ccHome)
            target = NextSelectable(PageCount() - 1);
        else if (command == ccEnd)
            target = PrevSelectable(0);
        else if (command == rowCmd && FRowCount > 1 && FPageIndex >= 0) {
            // A click half a tab height beyond the current tab, away from the page.
            const TRect r = Pages(FPageIndex)->FTabRect;
            const int th = FTabHeight;
            TPoint p;
            switch (FTabOrientation) {
            case toTop: p = Point(r.Left + r.Width() / 2, r.Top - th / 2); break;
            case toBottom: p = Point(r.Left + r.Width() / 2, r.Bottom + th / 2); break;
            case toRight: p = Point(r.Right + th / 2, r.Top + r.Height() / 2); break;
            case toLeft: p = Point(r.Left - th / 2, r.Top + r.Height() / 2); break;
            }
            Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(p.X, p.Y));
            if (GetMouseCapture()) SetMouseCapture(false);
        }
        if (target >= 0 && target != FPageIndex) {
            SetPageIndex(target);
            TakeFocus();
        }
    }
    TEntCustomControlEx::WMKeyDown(Message);
}

void TEntNotebook::CMDialogChar(TWMKey& Message) {
    const int count = PageCount();
    if (GetEnabled() && count > 0) {
        const char32_t key = static_cast<char32_t>(Message.M.WParam);
        const int start = FPageIndex < 0 ? count - 1 : FPageIndex;
        for (int step = 1; step <= count; ++step) {
            const int i = (start + step) % count;
            if (!IsAccel(key, Pages(i)->GetCaption())) continue;
            if (!IsSelectable(i) || !CanFocus()) break;
            Message.Result() = 1;
            if (i != FPageIndex) {
                SetPageIndex(i);
                FocusPage(i);
                if (OnTabClick) OnTabClick(this, i);
            } else {
                SetFocus();
            }
            return;
        }
    }
    TEntCustomControlEx::CMDialogChar(Message);
}

void TEntNotebook::WMSetFocus(TWMSetFocus& Message) {
    TEntCustomControlEx::WMSetFocus(Message);
    InvalidateTab(FPageIndex);
}

void TEntNotebook::WMKillFocus(TWMKillFocus& Message) {
    TEntCustomControlEx::WMKillFocus(Message);
    if (GetMouseCapture()) SetMouseCapture(false);
    InvalidateTab(FPageIndex);
}

void TEntNotebook::WMGetDlgCode(TMessage& Message) {
    // Arrow keys switch pages at run time.
    Message.Result = Designing() ? 0 : LRESULT(DLGC_WANTARROWS);
}

void TEntNotebook::Dispatch(TMessage& Message) {
    if (Message.Msg == WM_ERASEBKGND) {
        Message.Result = 1;  // painting covers every pixel
        return;
    }
    TEntCustomControlEx::Dispatch(Message);
}

// ===========================================================================
// Registration

void RegisterEntNotebookClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterEntBaseClasses();
    RegisterEntControllerClasses();

    using P = TEntTabPage;
    auto pageProperties = [](Published<TEntTabPage>&& table) {
        table.Str("Caption", &P::GetCaption, &P::SetCaption)
            .Bool("PageVisible", &P::GetPageVisible, &P::SetPageVisible)
            .Int("TabColor", &P::GetTabColor, &P::SetTabColor)
            .Int("TextColor", &P::GetTextColor, &P::SetTextColor)
            // placed by the notebook: older definitions' values are dropped
            .Int("Cursor", &P::ZeroValue, &P::IgnoreValue)
            .Int("TabOrder", &P::ZeroValue, &P::IgnoreValue)
            .Int("Left", &P::GetLeft, &P::IgnoreValue)
            .Int("Top", &P::GetTop, &P::IgnoreValue)
            .Int("Width", &P::GetWidth, &P::IgnoreValue)
            .Int("Height", &P::GetHeight, &P::IgnoreValue)
            .Bool("Visible", &P::GetVisible, &P::IgnoreFlag);
    };
    // The former class name first, so that the page's own name is the one its type maps to.
    pageProperties(Published<TEntTabPage>("TEntPageContainer", "TEntCollectibleControl"));
    pageProperties(Published<TEntTabPage>("TEntTabPage", "TEntCollectibleControl"));

    using N = TEntNotebook;
    Published<TEntNotebook>("TEntNotebook", "TEntCustomControlEx")
        .Bool("UseActiveTabFont", &N::GetUseActiveTabFont, &N::SetUseActiveTabFont)
        .Object("ActiveTabFont", &N::GetActiveTabFont)
        .Bool("ConserveResources", &N::GetConserveResources, &N::SetConserveResources)
        .Int("DefaultPageIndex", &N::DefaultPageIndex, &N::DefaultPageIndex)
        .Int("HighlightColor", &N::GetHighlightColor, &N::SetHighlightColor)
        .Bool("OldStyle", &N::GetOldStyle, &N::SetOldStyle)
        .Int("PageIndex", &N::GetPageIndex, &N::SetPageIndex)
        .Object("PageCollection", &N::PageCollection)
        .Bool("PageUsesTabColor", &N::GetPageUsesTabColor, &N::SetPageUsesTabColor)
        .Int("ShadowColor", &N::GetShadowColor, &N::SetShadowColor)
        .Bool("ShadowedText", &N::GetShadowedText, &N::SetShadowedText)
        .Bool("TabAutoHeight", &N::GetTabAutoHeight, &N::SetTabAutoHeight)
        .Int("TabHeight", &N::GetTabHeight, &N::SetTabHeight)
        .Enum("TabOrientation", {"toTop", "toRight", "toBottom", "toLeft"}, &N::GetTabOrientation,
              &N::SetTabOrientation)
        .Enum("TabTextOrientation", {"ttoHorizontal", "ttoVerticalRight", "ttoVerticalLeft"}, &N::GetTabTextOrientation,
              &N::SetTabTextOrientation)
        .Int("TabRowCount", &N::GetTabRowCount, &N::SetTabRowCount)
        .Int("TextShadowColor", &N::GetTextShadowColor, &N::SetTextShadowColor)
        .Bool("TabUseDefaultColor", &N::GetTabUseDefaultColor, &N::SetTabUseDefaultColor)
        .Event("OnDrawTab", &N::OnDrawTab)
        .Event("OnMouseOverTab", &N::OnMouseOverTab)
        .Event("OnPageChange", &N::OnPageChange)
        .Event("OnPageChanged", &N::OnPageChanged)
        .Event("OnTabClick", &N::OnTabClick)
        .Event("OnUserCommand", &N::OnUserCommand);
}
