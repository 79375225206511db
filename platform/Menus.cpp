// Menu items, menus, shortcuts, and their Qt menus.

#include "Menus.h"
#include "Controls.h"
#include "Forms.h"
#include "MenusPrivate.h"
#include "SysUtils.h"

#include <QAction>
#include <QApplication>
#include <QIcon>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPixmap>
#include <QPointer>
#include <QProxyStyle>
#include <QStyleOptionMenuItem>
#include <QVariant>

#include <algorithm>
#include <cctype>
#include <exception>
#include <unordered_set>

// ---------------------------------------------------------------------------
// Shortcuts

TShortCut ShortCut(Word Key, TShiftState Shift) {
    if (Key & 0xFF00) return scNone;
    TShortCut sc = Key;
    if (Shift.Contains(ssShift)) sc |= scShift;
    if (Shift.Contains(ssCtrl)) sc |= scCtrl;
    if (Shift.Contains(ssAlt)) sc |= scAlt;
    return sc;
}

void ShortCutToKey(TShortCut Value, Word& Key, TShiftState& Shift) {
    Key = Value & 0xFF;
    Shift = TShiftState();
    if (Value & scShift) Shift += ssShift;
    if (Value & scCtrl) Shift += ssCtrl;
    if (Value & scAlt) Shift += ssAlt;
}

static std::string KeyName(Word key) {
    if ((key >= '0' && key <= '9') || (key >= 'A' && key <= 'Z')) return std::string(1, char(key));
    if (key >= VK_F1 && key <= VK_F24) return "F" + std::to_string(key - VK_F1 + 1);
    if (key >= VK_NUMPAD0 && key <= VK_NUMPAD9) return "Num " + std::to_string(key - VK_NUMPAD0);
    switch (key) {
    case VK_BACK: return "BkSp";
    case VK_TAB: return "Tab";
    case VK_ESCAPE: return "Esc";
    case VK_RETURN: return "Enter";
    case VK_SPACE: return "Space";
    case VK_PRIOR: return "PgUp";
    case VK_NEXT: return "PgDn";
    case VK_END: return "End";
    case VK_HOME: return "Home";
    case VK_LEFT: return "Left";
    case VK_UP: return "Up";
    case VK_RIGHT: return "Right";
    case VK_DOWN: return "Down";
    case VK_INSERT: return "Ins";
    case VK_DELETE: return "Del";
    case VK_MULTIPLY: return "Num *";
    case VK_ADD: return "Num +";
    case VK_SUBTRACT: return "Num -";
    case VK_DECIMAL: return "Num Del";
    case VK_DIVIDE: return "Num /";
    case VK_OEM_1: return ";";
    case VK_OEM_PLUS: return "=";
    case VK_OEM_COMMA: return ",";
    case VK_OEM_MINUS: return "-";
    case VK_OEM_PERIOD: return ".";
    case VK_OEM_2: return "/";
    case VK_OEM_3: return "`";
    case VK_OEM_4: return "[";
    case VK_OEM_5: return "\\";
    case VK_OEM_6: return "]";
    case VK_OEM_7: return "'";
    default: return {};
    }
}

std::string ShortCutToText(TShortCut Value) {
    std::string name = KeyName(Value & 0xFF);
    if (name.empty()) return {};
    std::string text;
    if (Value & scShift) text += "Shift+";
    if (Value & scCtrl) text += "Ctrl+";
    if (Value & scAlt) text += "Alt+";
    return text + name;
}

TShortCut TextToShortCut(const std::string& Text) {
    std::string rest = Text;
    TShortCut shift = 0;
    // The modifiers may come in any order, each once.
    for (bool found = true; found;) {
        found = false;
        for (auto [prefix, bit] :
             {std::pair<const char*, TShortCut>{"Shift+", scShift}, {"Ctrl+", scCtrl}, {"Alt+", scAlt}}) {
            std::string p = prefix;
            if (rest.size() > p.size() && SameText(rest.substr(0, p.size()), p) && !(shift & bit)) {
                shift |= bit;
                rest = rest.substr(p.size());
                found = true;
            }
        }
    }
    if (rest.empty()) return scNone;
    for (Word key = 0x08; key <= 0xFF; ++key) {
        std::string name = KeyName(key);
        if (!name.empty() && SameText(name, rest)) return TShortCut(key | shift);
    }
    return scNone;
}

std::string StripHotkey(const std::string& Text) {
    std::string out;
    for (size_t i = 0; i < Text.size(); ++i) {
        if (Text[i] == '&') {
            if (i + 1 < Text.size() && Text[i + 1] == '&') {
                out += '&';
                ++i;
            }
            continue;
        }
        out += Text[i];
    }
    return out;
}

char32_t GetHotkey(const std::string& Text) {
    for (size_t i = 0; i + 1 < Text.size(); ++i) {
        if (Text[i] != '&') continue;
        if (Text[i + 1] == '&') {
            ++i;
            continue;
        }
        return char32_t(static_cast<unsigned char>(UpCase(Text[i + 1])));
    }
    return 0;
}

// ---------------------------------------------------------------------------
// Live items, so a deferred click never reaches a freed item.

namespace {
std::unordered_set<const TMenuItem*>& LiveItems() {
    static auto* items = new std::unordered_set<const TMenuItem*>();
    return *items;
}

// While a popup menu runs its own loop: where the chosen item goes, so that
// Popup clicks it before it returns (its owner may free the menu right after).
TMenuItem** gPopupChoice = nullptr;

void ClickLater(TMenuItem* item) {
    if (gPopupChoice) {
        *gPopupChoice = item;
        return;
    }
    QueueCall([item] {
        if (LiveItems().count(item)) item->Click();
    });
}
}  // namespace

// ---------------------------------------------------------------------------
// TMenuItem

TMenuItem::TMenuItem(TComponent* AOwner) : TComponent(AOwner) { LiveItems().insert(this); }

TMenuItem::~TMenuItem() {
    LiveItems().erase(this);
    if (FParent) FParent->Remove(this);
    while (!FItems.empty()) {
        TMenuItem* item = FItems.front();
        item->FParent = nullptr;
        FItems.erase(FItems.begin());
        delete item;
    }
}

void TMenuItem::SetCaption(const std::string& Value) {
    if (Value == FCaption) return;
    FCaption = Value;
    Changed(true);
}

void TMenuItem::SetShortCut(TShortCut Value) {
    if (Value == FShortCut) return;
    FShortCut = Value;
    Changed(true);
}

void TMenuItem::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Changed(true);
}

void TMenuItem::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    Changed(true);
}

void TMenuItem::SetChecked(bool Value) {
    if (Value == FChecked) return;
    FChecked = Value;
    if (Value && FRadioItem && FParent) {
        for (TMenuItem* sibling : FParent->FItems)
            if (sibling != this && sibling->FRadioItem && sibling->FGroupIndex == FGroupIndex)
                sibling->FChecked = false;
    }
    Changed(true);
}

void TMenuItem::SetRadioItem(bool Value) {
    if (Value == FRadioItem) return;
    FRadioItem = Value;
    if (Value && FChecked) {
        FChecked = false;
        SetChecked(true);
    }
    Changed(true);
}

void TMenuItem::SetGroupIndex(Byte Value) {
    if (Value == FGroupIndex) return;
    FGroupIndex = Value;
    if (FChecked && FRadioItem) {
        FChecked = false;
        SetChecked(true);
    }
}

void TMenuItem::SetImageIndex(int Value) {
    if (Value == FImageIndex) return;
    FImageIndex = Value;
    Changed(true);
}

void TMenuItem::SetDefault(bool Value) {
    if (Value == FDefault) return;
    FDefault = Value;
    Changed(true);
}

TMenuItem* TMenuItem::Items(int Index) const {
    if (Index < 0 || Index >= Count()) throw EMenuError("Menu index out of range (" + std::to_string(Index) + ")");
    return FItems[size_t(Index)];
}

void TMenuItem::Add(TMenuItem* Item) { Insert(Count(), Item); }

void TMenuItem::Insert(int Index, TMenuItem* Item) {
    if (!Item) return;
    if (Item->FParent) throw EMenuError("Menu inserted twice");
    if (Index < 0 || Index > Count()) throw EMenuError("Menu index out of range (" + std::to_string(Index) + ")");
    FItems.insert(FItems.begin() + Index, Item);
    Item->FParent = this;
    Changed(true);
}

void TMenuItem::Delete(int Index) {
    TMenuItem* item = Items(Index);
    FItems.erase(FItems.begin() + Index);
    item->FParent = nullptr;
    Changed(true);
}

void TMenuItem::Remove(TMenuItem* Item) {
    int i = IndexOf(Item);
    if (i < 0) throw EMenuError("Sub-menu is not in menu");
    Delete(i);
}

void TMenuItem::Clear() {
    while (!FItems.empty()) delete FItems.back();
}

int TMenuItem::IndexOf(const TMenuItem* Item) const {
    auto it = std::find(FItems.begin(), FItems.end(), Item);
    return it == FItems.end() ? -1 : int(it - FItems.begin());
}

int TMenuItem::GetMenuIndex() const { return FParent ? FParent->IndexOf(this) : -1; }

void TMenuItem::SetMenuIndex(int Value) {
    if (!FParent) return;
    TMenuItem* parent = FParent;
    int count = parent->Count();
    if (Value < 0) Value = 0;
    if (Value >= count) Value = count - 1;
    int current = GetMenuIndex();
    if (Value == current) return;
    parent->Delete(current);
    parent->Insert(Value, this);
}

TMenu* TMenuItem::GetParentMenu() const {
    const TMenuItem* item = this;
    while (item->FParent) item = item->FParent;
    return item->FMenu;
}

TMenuItem* TMenuItem::Find(const std::string& ACaption) const {
    std::string wanted = StripHotkey(ACaption);
    for (TMenuItem* item : FItems)
        if (SameText(StripHotkey(item->FCaption), wanted)) return item;
    return nullptr;
}

void TMenuItem::SetParentComponent(TComponent* Value) {
    if (FParent) FParent->Remove(this);
    if (auto* menu = dynamic_cast<TMenu*>(Value))
        menu->Items()->Add(this);
    else if (auto* item = dynamic_cast<TMenuItem*>(Value))
        item->Add(this);
}

TComponent* TMenuItem::GetParentComponent() const {
    if (FParent && FParent->FMenu) return FParent->FMenu;
    return FParent;
}

void TMenuItem::Click() {
    if (!FEnabled) return;
    if (AutoCheck) SetChecked(!FChecked);
    if (OnClick) OnClick(this);
}

void TMenuItem::Changed(bool TopLevelToo) {
    TMenu* menu = GetParentMenu();
    if (!menu) return;
    // The root and its direct items show in a menu bar without opening anything.
    bool shows = !FParent || !FParent->FParent;
    menu->MenuChanged(TopLevelToo && shows);
}

void TMenuItem::MeasureItem(TCanvas* ACanvas, int& Width, int& Height) {
    if (IsLine()) {
        Width = 10;
        Height = 8;
    } else {
        std::string text = StripHotkey(FCaption);
        std::string sc = ShortCutToText(FShortCut);
        Width = ACanvas->TextWidth(text) + 32 + (sc.empty() ? 0 : ACanvas->TextWidth(sc) + 16);
        Height = std::max(ACanvas->TextHeight("Wg") + 4, 19);
    }
    if (OnMeasureItem) OnMeasureItem(this, ACanvas, Width, Height);
}

void TMenuItem::DrawItem(TCanvas* ACanvas, TRect ARect, bool Selected) {
    if (OnDrawItem) {
        OnDrawItem(this, ACanvas, ARect, Selected);
        return;
    }
    ACanvas->GetBrush()->SetColor(Selected ? clHighlight : clMenu);
    ACanvas->FillRect(ARect);
    if (IsLine()) {
        int y = (ARect.Top + ARect.Bottom) / 2;
        ACanvas->GetPen()->SetColor(clBtnShadow);
        ACanvas->MoveTo(ARect.Left + 2, y);
        ACanvas->LineTo(ARect.Right - 2, y);
        return;
    }
    ACanvas->GetBrush()->SetStyle(bsClear);
    ACanvas->GetFont()->SetColor(!FEnabled ? clGrayText : Selected ? clHighlightText : clMenuText);
    TRect r = ARect;
    r.Left += 20;
    ACanvas->DrawText(FCaption, r, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    std::string sc = ShortCutToText(FShortCut);
    if (!sc.empty()) {
        r.Right -= 8;
        ACanvas->DrawText(sc, r, DT_SINGLELINE | DT_VCENTER | DT_RIGHT | DT_NOPREFIX);
    }
}

// ---------------------------------------------------------------------------
// TMenu

TMenu::TMenu(TComponent* AOwner) : TComponent(AOwner), FItems(new TMenuItem(nullptr)) { FItems->FMenu = this; }

TMenu::~TMenu() {
    FItems->FMenu = nullptr;
    delete FItems;
    SetImages(nullptr);
}

void TMenu::SetImages(TImageList* Value) {
    if (Value == FImages) return;
    if (FImages) FImages->RemoveFreeNotification(this);
    FImages = Value;
    if (FImages) FImages->FreeNotification(this);
    if (FItems && FItems->FMenu) MenuChanged(true);
}

void TMenu::SetOwnerDraw(bool Value) {
    if (Value == FOwnerDraw) return;
    FOwnerDraw = Value;
    MenuChanged(true);
}

void TMenu::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FImages) FImages = nullptr;
}

static TMenuItem* FindByShortCut(TMenuItem* parent, TShortCut sc) {
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (!item->GetVisible() || !item->GetEnabled()) continue;
        if (item->GetShortCut() == sc && item->Count() == 0) return item;
        if (TMenuItem* found = FindByShortCut(item, sc)) return found;
    }
    return nullptr;
}

TMenuItem* TMenu::FindItemByShortCut(TShortCut Value) const {
    return Value == scNone ? nullptr : FindByShortCut(FItems, Value);
}

bool TMenu::IsShortCut(TWMKey& Message) {
    Word key = Message.CharCode();
    if (key == VK_SHIFT || key == VK_CONTROL || key == VK_MENU) return false;
    TShortCut sc = ShortCut(key, Message.Shift());
    TMenuItem* item = FindItemByShortCut(sc);
    if (!item) return false;
    item->Click();
    return true;
}

void TMenu::MenuChanged(bool) {}

TMainMenu::TMainMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TMainMenu::MenuChanged(bool TopLevel) {
    if (!TopLevel || !Screen) return;
    for (int i = 0; i < Screen->FormCount(); ++i)
        if (Screen->Forms(i)->GetMenu() == this) Screen->Forms(i)->MenuChanged();
}

// ---------------------------------------------------------------------------
// Qt menus

namespace {

// The menu item an owner-drawn action stands for; plain actions carry none.
constexpr const char* OwnerDrawnItemProperty = "ownerDrawnItem";

void MarkOwnerDrawn(QAction* action, TMenuItem* item) {
    action->setProperty(OwnerDrawnItemProperty, QVariant::fromValue(quintptr(item)));
}

TMenuItem* OwnerDrawnItemOf(const QAction* action) {
    if (!action) return nullptr;
    auto* item = reinterpret_cast<TMenuItem*>(action->property(OwnerDrawnItemProperty).value<quintptr>());
    return item && LiveItems().count(item) ? item : nullptr;
}

// Our pop-up menus. Items stay Qt's own actions, so that the arrow keys, Return,
// Space, Escape and the "&" letters work as in any menu; owner-drawn ones are only
// measured and painted by their TMenuItem (see MenuStyle).
class TQtMenu : public QMenu {
public:
    using QMenu::QMenu;

    // The owner-drawn item the style is asked about: Qt prepares each item's
    // style option right before it measures or paints that item.
    TMenuItem* StyledItem() const { return OwnerDrawnItemOf(FStyledAction.data()); }

protected:
    void initStyleOption(QStyleOptionMenuItem* option, const QAction* action) const override {
        QMenu::initStyleOption(option, action);
        FStyledAction = const_cast<QAction*>(action);
    }

private:
    mutable QPointer<QAction> FStyledAction;
};

// Room the menu leaves right of an owner-drawn item's measured width, where a
// check mark or a submenu arrow would go; without it long captions touch the edge.
constexpr int OwnerDrawnItemRoom = 14;

class MenuStyle : public QProxyStyle {
public:
    QSize sizeFromContents(ContentsType type, const QStyleOption* option, const QSize& size,
                           const QWidget* widget) const override {
        if (type == CT_MenuItem) {
            if (TMenuItem* item = OwnerDrawnItem(widget)) {
                TCanvas canvas;
                int w = 0, h = 0;
                try {
                    item->MeasureItem(&canvas, w, h);
                } catch (...) {
                    ReportLater(std::current_exception());
                }
                if (w <= 0 || h <= 0) return QSize(0, 0);
                return QSize(w + OwnerDrawnItemRoom, h);
            }
        }
        return QProxyStyle::sizeFromContents(type, option, size, widget);
    }

    void drawControl(ControlElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget) const override {
        auto* menuOption = qstyleoption_cast<const QStyleOptionMenuItem*>(option);
        TMenuItem* item = element == CE_MenuItem && menuOption ? OwnerDrawnItem(widget) : nullptr;
        if (!item) {
            QProxyStyle::drawControl(element, option, painter, widget);
            return;
        }
        const QRect r = option->rect;
        // Qt highlights the current item whether the mouse or the keyboard made it current.
        const bool selected = (option->state & State_Selected) && item->GetEnabled() && !item->IsLine();
        painter->save();
        painter->setClipRect(r, Qt::IntersectClip);
        try {
            TCanvas canvas(painter);
            item->DrawItem(&canvas, Rect(r.left(), r.top(), r.left() + r.width(), r.top() + r.height()), selected);
        } catch (...) {
            ReportLater(std::current_exception());
        }
        painter->restore();
        if (menuOption->menuItemType == QStyleOptionMenuItem::SubMenu) {
            QStyleOption arrow(*option);
            arrow.rect = QRect(r.right() - OwnerDrawnItemRoom + 1, r.top(), OwnerDrawnItemRoom - 2, r.height());
            QProxyStyle::drawPrimitive(PE_IndicatorArrowRight, &arrow, painter, widget);
        }
    }

    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* data) const override {
        if (dynamic_cast<const TQtMenu*>(widget)) {
            // The keyboard passes over disabled items, and Space chooses like Return.
            if (hint == SH_Menu_AllowActiveAndDisabled) return 0;
            if (hint == SH_Menu_SpaceActivatesItem) return 1;
        }
        return QProxyStyle::styleHint(hint, option, widget, data);
    }

private:
    static TMenuItem* OwnerDrawnItem(const QWidget* widget) {
        auto* menu = dynamic_cast<const TQtMenu*>(widget);
        return menu ? menu->StyledItem() : nullptr;
    }
};

// One style for all our menus, living as long as the application.
QStyle* TheMenuStyle() {
    static QPointer<MenuStyle> style;
    if (!style) {
        style = new MenuStyle();
        style->setParent(QCoreApplication::instance());
    }
    return style;
}

TQtMenu* NewMenu(const QString& title, QWidget* parent) {
    auto* menu = new TQtMenu(title, parent);
    menu->setStyle(TheMenuStyle());
    return menu;
}

QString ActionText(TMenuItem* item) {
    QString text = QString::fromStdString(item->GetCaption());
    std::string sc = ShortCutToText(item->GetShortCut());
    if (!sc.empty()) text += "\t" + QString::fromStdString(sc);
    return text;
}

void FillMenu(QMenu* menu, TMenuItem* parent, TMenu* owner);

QAction* MakeAction(QMenu* menu, TMenuItem* item, TMenu* owner) {
    const bool ownerDraw = owner && owner->GetOwnerDraw();
    QAction* action;
    if (item->IsLine()) {
        action = menu->addSeparator();
        if (ownerDraw) MarkOwnerDrawn(action, item);
        return action;
    }
    // An owner-drawn item draws its own shortcut text; a tab in the text would make
    // Qt reserve a shortcut column besides.
    const QString text = ownerDraw ? QString::fromStdString(item->GetCaption()) : ActionText(item);
    if (item->Count() > 0) {
        TQtMenu* sub = NewMenu(text, menu);
        menu->addMenu(sub);
        QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, item, owner] {
            if (!LiveItems().count(item)) return;
            // A submenu's own click comes first, so that it may fill itself.
            GuardedCall(item, [item] {
                if (item->OnClick) item->OnClick(item);
            });
            if (LiveItems().count(item)) FillMenu(sub, item, owner);
        });
        FillMenu(sub, item, owner);
        action = sub->menuAction();
        action->setEnabled(item->GetEnabled());
        if (ownerDraw) MarkOwnerDrawn(action, item);
        return action;
    }
    action = menu->addAction(text);
    if (ownerDraw) {
        MarkOwnerDrawn(action, item);
    } else {
        if (item->GetChecked() || item->GetRadioItem()) {
            action->setCheckable(true);
            action->setChecked(item->GetChecked());
        }
        if (owner && owner->GetImages() && item->GetImageIndex() >= 0 &&
            item->GetImageIndex() < owner->GetImages()->Count()) {
            TBitmap bmp;
            owner->GetImages()->GetBitmap(item->GetImageIndex(), &bmp);
            action->setIcon(QIcon(QPixmap::fromImage(bmp.ToImage())));
        }
    }
    action->setEnabled(item->GetEnabled());
    if (!item->Hint.empty()) action->setStatusTip(QString::fromStdString(GetLongHint(item->Hint)));
    QObject::connect(action, &QAction::triggered, [item] { ClickLater(item); });
    QObject::connect(action, &QAction::hovered, [item] {
        if (LiveItems().count(item) && Application)
            SignalCall(item, [item] { Application->SetHint(GetLongHint(item->Hint)); });
    });
    return action;
}

// Submenus made by addMenu belong to their parent widget, not to its actions.
void DropSubmenus(QWidget* w) {
    for (QMenu* m : w->findChildren<QMenu*>(Qt::FindDirectChildrenOnly)) m->deleteLater();
}

void FillMenu(QMenu* menu, TMenuItem* parent, TMenu* owner) {
    DropSubmenus(menu);
    menu->clear();
    for (int i = 0; i < parent->Count(); ++i) {
        TMenuItem* item = parent->Items(i);
        if (item->GetVisible()) MakeAction(menu, item, owner);
    }
}

TPopupHook& CurrentPopupHook() {
    static TPopupHook hook;
    return hook;
}

}  // namespace

void BuildMenuBar(TMainMenu* Menu, QMenuBar* Bar) {
    DropSubmenus(Bar);
    Bar->clear();
    if (!Menu) return;
    TMenuItem* root = Menu->Items();
    for (int i = 0; i < root->Count(); ++i) {
        TMenuItem* item = root->Items(i);
        if (!item->GetVisible()) continue;
        if (item->Count() > 0) {
            TQtMenu* sub = NewMenu(QString::fromStdString(item->GetCaption()), Bar);
            Bar->addMenu(sub);
            sub->menuAction()->setEnabled(item->GetEnabled());
            QObject::connect(sub, &QMenu::aboutToShow, sub, [sub, item, Menu] {
                if (!LiveItems().count(item)) return;
                // A submenu's own click comes first, so that it may fill itself.
                GuardedCall(item, [item] {
                    if (item->OnClick) item->OnClick(item);
                });
                if (LiveItems().count(item)) FillMenu(sub, item, Menu);
            });
            FillMenu(sub, item, Menu);
        } else {
            QAction* action = Bar->addAction(QString::fromStdString(item->GetCaption()));
            action->setEnabled(item->GetEnabled());
            QObject::connect(action, &QAction::triggered, [item] { ClickLater(item); });
        }
    }
}

TPopupMenu::TPopupMenu(TComponent* AOwner) : TMenu(AOwner) {}

void TPopupMenu::DoPopup() {
    if (OnPopup) OnPopup(this);
}

void TPopupMenu::Popup(int X, int Y) {
    DoPopup();
    if (CurrentPopupHook()) {
        TMenuItem* item = CurrentPopupHook()(this, X, Y);
        if (item && LiveItems().count(item)) item->Click();
        return;
    }
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    TQtMenu menu;
    menu.setStyle(TheMenuStyle());
    FillMenu(&menu, Items(), this);
    TMenuItem* chosen = nullptr;
    TMenuItem** outer = gPopupChoice;
    gPopupChoice = &chosen;
    menu.exec(QPoint(X, Y));
    gPopupChoice = outer;
    if (chosen && LiveItems().count(chosen)) chosen->Click();
}

TPopupHook SetPopupHook(TPopupHook Hook) {
    TPopupHook previous = CurrentPopupHook();
    CurrentPopupHook() = std::move(Hook);
    return previous;
}
