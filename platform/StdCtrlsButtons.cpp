// Labels, buttons, check boxes, radio buttons, group boxes and combo boxes.

#include "StdCtrls.h"

#include "ControlsPrivate.h"
#include "Forms.h"
#include "GraphicsPrivate.h"
#include "StdCtrlsPrivate.h"

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QGroupBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QSignalBlocker>
#include <QStyledItemDelegate>
#include <QStylePainter>

// ---------------------------------------------------------------------------
// TCustomLabel

TCustomLabel::TCustomLabel(TComponent* AOwner) : TGraphicControl(AOwner) {
    ControlStyle += csOpaque;
    ControlStyle += csReplicatable;
    FWidth = 65;
    FHeight = 17;
}

void TCustomLabel::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    Invalidate();
}

void TCustomLabel::SetLayout(TTextLayout Value) {
    if (Value == FLayout) return;
    FLayout = Value;
    Invalidate();
}

void TCustomLabel::SetWordWrap(bool Value) {
    if (Value == FWordWrap) return;
    FWordWrap = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetAutoSize(bool Value) {
    if (Value == FAutoSize) return;
    FAutoSize = Value;
    AdjustBounds();
}

void TCustomLabel::SetTransparent(bool Value) {
    if (Value == GetTransparent()) return;
    if (Value)
        ControlStyle -= csOpaque;
    else
        ControlStyle += csOpaque;
    Invalidate();
}

void TCustomLabel::SetShowAccelChar(bool Value) {
    if (Value == FShowAccelChar) return;
    FShowAccelChar = Value;
    AdjustBounds();
    Invalidate();
}

void TCustomLabel::SetFocusControl(TWinControl* Value) {
    FFocusControl = Value;
    if (Value) Value->FreeNotification(this);
}

void TCustomLabel::Notification(TComponent* AComponent, TOperation Operation) {
    TGraphicControl::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FFocusControl) FFocusControl = nullptr;
}

void TCustomLabel::Loaded() {
    TGraphicControl::Loaded();
    AdjustBounds();
}

void TCustomLabel::DoDrawText(TRect& Rect, unsigned Flags) {
    std::string text = GetLabelText();
    // An empty caption still measures one line.
    if ((Flags & DT_CALCRECT) && (text.empty() || (FShowAccelChar && text == "&"))) text.assign(1, ' ');
    if (!FShowAccelChar) Flags |= DT_NOPREFIX;
    TCanvas* c = GetCanvas();
    c->SetFont(GetFont());
    if (!GetEnabled() && !(Flags & DT_CALCRECT)) {
        TRect r = Rect;
        r.Left += 1;
        r.Top += 1;
        r.Right += 1;
        r.Bottom += 1;
        c->GetFont()->SetColor(clBtnHighlight);
        c->DrawText(text, r, Flags);
        c->GetFont()->SetColor(clBtnShadow);
        c->DrawText(text, Rect, Flags);
        return;
    }
    c->DrawText(text, Rect, Flags);
}

static unsigned AlignmentFlags(TAlignment a) {
    return a == taRightJustify ? DT_RIGHT : a == taCenter ? DT_CENTER : DT_LEFT;
}

void TCustomLabel::Paint() {
    TCanvas* c = GetCanvas();
    TRect r = GetClientRect();
    if (!GetTransparent()) {
        c->GetBrush()->SetColor(GetColor());
        c->GetBrush()->SetStyle(bsSolid);
        c->FillRect(r);
    }
    c->GetBrush()->SetStyle(bsClear);
    c->SetBkMode(TRANSPARENT);
    unsigned flags = DT_EXPANDTABS | (FWordWrap ? unsigned(DT_WORDBREAK) : 0u) | AlignmentFlags(FAlignment);
    if (FLayout != tlTop) {
        TRect calc = r;
        DoDrawText(calc, flags | DT_CALCRECT);
        int h = calc.Height();
        int offset = FLayout == tlBottom ? r.Height() - h : (r.Height() - h) / 2;
        r.Top += offset;
        r.Bottom = r.Top + h;
    }
    DoDrawText(r, flags);
}

void TCustomLabel::AdjustBounds() {
    if (!FAutoSize || ComponentState.Contains(csLoading)) return;
    TRect r = GetClientRect();
    if (!FWordWrap) r.Right = r.Left + 32767;
    DoDrawText(r, DT_EXPANDTABS | DT_CALCRECT | (FWordWrap ? unsigned(DT_WORDBREAK) : 0u));
    int x = FLeft;
    if (FAlignment == taRightJustify) x += FWidth - r.Right;
    SetBounds(x, FTop, r.Right, r.Bottom);
}

void TCustomLabel::CMTextChanged(TMessage& Message) {
    Invalidate();
    AdjustBounds();
}

void TCustomLabel::CMFontChanged(TMessage& Message) {
    TGraphicControl::CMFontChanged(Message);
    AdjustBounds();
}

void TCustomLabel::CMDialogChar(TWMKey& Message) {
    if (FFocusControl && GetEnabled() && FShowAccelChar && IsAccel(char32_t(Message.M.WParam), GetCaption()) &&
        FFocusControl->CanFocus()) {
        FFocusControl->SetFocus();
        Message.Result() = 1;
    }
}

void TCustomLabel::Dispatch(TMessage& Message) {
    if (Message.Msg == CM_DIALOGCHAR) {
        TWMKey m(Message);
        CMDialogChar(m);
        return;
    }
    TGraphicControl::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// Buttons

TButtonControl::TButtonControl(TComponent* AOwner) : TWinControl(AOwner) {
    FTabStop = true;
    // The widget reports clicks (mouse and keyboard alike), not the mouse messages.
    ControlStyle -= csClickEvents;
}

void TButtonControl::CMDialogChar(TWMKey& Message) {
    if (IsAccel(char32_t(Message.M.WParam), GetCaption()) && CanFocus()) {
        Click();
        Message.Result() = 1;
    }
}

TButton::TButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FWidth = 75;
    FHeight = 25;
    ControlStyle += csSetCaption;
}

void TButton::SetDefault(bool Value) {
    FDefault = Value;
    if (auto* b = qobject_cast<QPushButton*>(WidgetIfAllocated())) b->setDefault(Value);
}

void TButton::Click() {
    if (TForm* form = GetParentForm(this)) form->SetModalResult(ModalResult);
    TButtonControl::Click();
}

QWidget* TButton::CreateWidget(QWidget* ParentWidget) {
    auto* b = new QPushButton(ParentWidget);
    b->setFocusPolicy(Qt::StrongFocus);
    b->setAutoDefault(false);
    QObject::connect(b, &QPushButton::clicked, b, [this] { GuardedCall(this, [this] { Click(); }); });
    return b;
}

void TButton::UpdateWidget() {
    TButtonControl::UpdateWidget();
    if (auto* b = qobject_cast<QPushButton*>(WidgetIfAllocated())) {
        b->setText(Utf8ToQString(GetCaption()));
        b->setDefault(FDefault);
    }
}

void TButton::CMTextChanged(TMessage& Message) {
    if (auto* b = qobject_cast<QPushButton*>(WidgetIfAllocated())) b->setText(Utf8ToQString(GetCaption()));
}

void TButton::CMDialogKey(TWMKey& Message) {
    Word key = Message.CharCode();
    if (!Message.Shift().Empty() && !(Message.Shift() == TShiftState{ssShift} && key == VK_ESCAPE)) return;
    bool focusedHere = Focused();
    TWinControl* focused = FindFocusedControl();
    bool otherButtonFocused = focused && focused != this && dynamic_cast<TButton*>(focused);
    bool active = focusedHere || (FDefault && !otherButtonFocused);
    if (((key == VK_RETURN && active) || (key == VK_ESCAPE && FCancel)) && CanFocus()) {
        Click();
        Message.Result() = 1;
    }
}

void TButton::WMGetDlgCode(TMessage& Message) { Message.Result = 0; }

// ---------------------------------------------------------------------------
// TCustomCheckBox

TCustomCheckBox::TCustomCheckBox(TComponent* AOwner) : TButtonControl(AOwner) {
    FWidth = 97;
    FHeight = 17;
    ControlStyle += csSetCaption;
}

void TCustomCheckBox::SetState(TCheckBoxState Value) {
    if (Value == FState) return;
    FState = Value;
    if (auto* cb = qobject_cast<QCheckBox*>(WidgetIfAllocated())) {
        QSignalBlocker block(cb);
        cb->setTristate(AllowGrayed || FState == cbGrayed);
        cb->setCheckState(FState == cbChecked  ? Qt::Checked
                          : FState == cbGrayed ? Qt::PartiallyChecked
                                               : Qt::Unchecked);
    }
    if (!ClicksDisabled()) Click();
}

void TCustomCheckBox::Toggle() {
    switch (FState) {
    case cbUnchecked: SetState(AllowGrayed ? cbGrayed : cbChecked); break;
    case cbChecked: SetState(cbUnchecked); break;
    case cbGrayed: SetState(cbChecked); break;
    }
}

void TCustomCheckBox::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    if (QWidget* w = WidgetIfAllocated())
        w->setLayoutDirection(Value == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

QWidget* TCustomCheckBox::CreateWidget(QWidget* ParentWidget) {
    auto* cb = new QCheckBox(ParentWidget);
    cb->setFocusPolicy(Qt::StrongFocus);
    QObject::connect(cb, &QCheckBox::clicked, cb, [this] {
        GuardedCall(this, [this] {
            Toggle();
            UpdateWidget();  // the state is ours, whatever the widget did
        });
    });
    return cb;
}

void TCustomCheckBox::UpdateWidget() {
    TButtonControl::UpdateWidget();
    auto* cb = qobject_cast<QCheckBox*>(WidgetIfAllocated());
    if (!cb) return;
    QSignalBlocker block(cb);
    cb->setText(Utf8ToQString(GetCaption()));
    cb->setTristate(AllowGrayed || FState == cbGrayed);
    cb->setCheckState(FState == cbChecked ? Qt::Checked : FState == cbGrayed ? Qt::PartiallyChecked : Qt::Unchecked);
    cb->setLayoutDirection(FAlignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TCustomCheckBox::CMTextChanged(TMessage& Message) {
    if (auto* cb = qobject_cast<QCheckBox*>(WidgetIfAllocated())) cb->setText(Utf8ToQString(GetCaption()));
}

void TCustomCheckBox::CMDialogChar(TWMKey& Message) {
    if (IsAccel(char32_t(Message.M.WParam), GetCaption()) && CanFocus()) {
        SetFocus();
        if (Focused() || !WidgetIfAllocated()) Toggle();
        Message.Result() = 1;
    }
}

// ---------------------------------------------------------------------------
// TRadioButton

TRadioButton::TRadioButton(TComponent* AOwner) : TButtonControl(AOwner) {
    FWidth = 113;
    FHeight = 17;
    FTabStop = false;
    ControlStyle += csSetCaption;
}

void TRadioButton::SetChecked(bool Value) {
    if (Value == FChecked) return;
    FChecked = Value;
    FTabStop = Value;
    if (auto* rb = qobject_cast<QRadioButton*>(WidgetIfAllocated())) {
        QSignalBlocker block(rb);
        rb->setChecked(Value);
    }
    if (!Value) return;
    if (TWinControl* parent = GetParent()) {
        for (int i = 0; i < parent->ControlCount(); ++i) {
            auto* sibling = dynamic_cast<TRadioButton*>(parent->Controls(i));
            if (sibling && sibling != this) sibling->SetChecked(false);
        }
    }
    if (!ClicksDisabled()) Click();
}

void TRadioButton::SetAlignment(TAlignment Value) {
    FAlignment = Value;
    if (QWidget* w = WidgetIfAllocated())
        w->setLayoutDirection(Value == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

QWidget* TRadioButton::CreateWidget(QWidget* ParentWidget) {
    auto* rb = new QRadioButton(ParentWidget);
    rb->setFocusPolicy(Qt::StrongFocus);
    rb->setAutoExclusive(false);  // siblings are switched off here, as the platform does
    QObject::connect(rb, &QRadioButton::clicked, rb, [this] {
        GuardedCall(this, [this] {
            SetChecked(true);
            UpdateWidget();
        });
    });
    return rb;
}

void TRadioButton::UpdateWidget() {
    TButtonControl::UpdateWidget();
    auto* rb = qobject_cast<QRadioButton*>(WidgetIfAllocated());
    if (!rb) return;
    QSignalBlocker block(rb);
    rb->setText(Utf8ToQString(GetCaption()));
    rb->setChecked(FChecked);
    rb->setLayoutDirection(FAlignment == taLeftJustify ? Qt::RightToLeft : Qt::LeftToRight);
}

void TRadioButton::CMTextChanged(TMessage& Message) {
    if (auto* rb = qobject_cast<QRadioButton*>(WidgetIfAllocated())) rb->setText(Utf8ToQString(GetCaption()));
}

void TRadioButton::CMDialogChar(TWMKey& Message) {
    if (IsAccel(char32_t(Message.M.WParam), GetCaption()) && CanFocus()) {
        SetFocus();
        SetChecked(true);
        Message.Result() = 1;
    }
}

// ---------------------------------------------------------------------------
// TCustomGroupBox

TCustomGroupBox::TCustomGroupBox(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle += csAcceptsControls;
    ControlStyle += csSetCaption;
    FWidth = 185;
    FHeight = 105;
}

QWidget* TCustomGroupBox::CreateWidget(QWidget* ParentWidget) {
    auto* g = new QGroupBox(ParentWidget);
    g->setFocusPolicy(Qt::NoFocus);
    return g;
}

void TCustomGroupBox::UpdateWidget() {
    TCustomControl::UpdateWidget();
    if (auto* g = qobject_cast<QGroupBox*>(WidgetIfAllocated())) g->setTitle(Utf8ToQString(GetCaption()));
}

void TCustomGroupBox::CMTextChanged(TMessage& Message) {
    if (auto* g = qobject_cast<QGroupBox*>(WidgetIfAllocated())) g->setTitle(Utf8ToQString(GetCaption()));
    Realign();
}

void TCustomGroupBox::AdjustClientRect(TRect& Rect) {
    TCanvas c;
    c.SetFont(GetFont());
    Rect.Top += c.TextHeight("0");
    Rect.Left += 2;
    Rect.Top += 2;
    Rect.Right -= 2;
    Rect.Bottom -= 2;
}

void TCustomGroupBox::Paint() {}

// ---------------------------------------------------------------------------
// TCustomComboBox

// The closed box of an owner-drawn combo box: the frame and arrow are the
// style's, the current item is the control's to draw.
class TOwnerDrawComboWidget : public QComboBox {
public:
    TOwnerDrawComboWidget(TCustomComboBox* Combo, QWidget* Parent) : QComboBox(Parent), FCombo(Combo) {}

protected:
    void paintEvent(QPaintEvent*) override {
        QStylePainter painter(this);
        QStyleOptionComboBox option;
        initStyleOption(&option);
        option.currentText.clear();
        option.currentIcon = QIcon();
        painter.drawComplexControl(QStyle::CC_ComboBox, option);
        if (currentIndex() < 0) return;
        QRect field = style()->subControlRect(QStyle::CC_ComboBox, &option, QStyle::SC_ComboBoxEditField, this);
        TOwnerDrawState state{odComboBoxEdit};
        // As on the platform, the closed box of a focused list shows its item selected.
        if (hasFocus()) state += TOwnerDrawState{odSelected, odFocused};
        if (!isEnabled()) state += odDisabled;
        FCombo->PaintItem(painter, currentIndex(), gfx::FromQRect(field), state);
    }

private:
    TCustomComboBox* FCombo;
};

// The items of an owner-drawn combo box's list.
class TOwnerDrawComboDelegate : public QStyledItemDelegate {
public:
    TOwnerDrawComboDelegate(TCustomComboBox* Combo, QObject* Parent) : QStyledItemDelegate(Parent), FCombo(Combo) {}
    void paint(QPainter* Painter, const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        TOwnerDrawState state;
        if (Option.state & QStyle::State_Selected) state += odSelected;
        if (Option.state & QStyle::State_HasFocus) state += odFocused;
        if (!(Option.state & QStyle::State_Enabled)) state += odDisabled;
        FCombo->PaintItem(*Painter, Index.row(), gfx::FromQRect(Option.rect), state);
    }
    QSize sizeHint(const QStyleOptionViewItem& Option, const QModelIndex& Index) const override {
        return QSize(QStyledItemDelegate::sizeHint(Option, Index).width(), FCombo->GetItemHeight());
    }

private:
    TCustomComboBox* FCombo;
};

TCustomComboBox::TCustomComboBox(TComponent* AOwner)
    : TWinControl(AOwner), FItems(std::make_unique<TStringList>()), FCanvas(std::make_unique<TCanvas>()) {
    FWidth = 145;
    FHeight = 21;
    FTabStop = true;
    FColor = clWindow;
    FParentColor = false;
    FItems->OnChange = [this](TObject*) { ItemsChanged(); };
}

TCustomComboBox::~TCustomComboBox() {
    if (QWidget* w = WidgetIfAllocated()) QObject::disconnect(w, nullptr, nullptr, nullptr);
    FItems->OnChange = nullptr;
}

QComboBox* TCustomComboBox::Combo() const { return qobject_cast<QComboBox*>(WidgetIfAllocated()); }

void TCustomComboBox::Change() {
    if (OnChange) OnChange(this);
}

void TCustomComboBox::Select() {
    if (OnSelect) OnSelect(this);
}

std::string TCustomComboBox::GetTextValue() const {
    if (IsList()) return FItemIndex >= 0 && FItemIndex < FItems->Count() ? FItems->Get(FItemIndex) : "";
    return FEditText;
}

void TCustomComboBox::SetTextValue(const std::string& Value) {
    int index = FItems->IndexOf(Value);
    if (IsList()) {
        SetItemIndex(index);
        return;
    }
    FEditText = Value;
    FItemIndex = index;
    if (QComboBox* cb = Combo()) {
        FSyncing = true;
        cb->setCurrentIndex(index);
        cb->setEditText(Utf8ToQString(Value));
        FSyncing = false;
    }
    Perform(CM_TEXTCHANGED, 0, 0);
}

void TCustomComboBox::SetItemIndex(int Value) {
    if (ComponentState.Contains(csLoading)) {
        FItemIndex = Value;
        return;
    }
    if (Value < -1 || Value >= FItems->Count()) Value = -1;
    FItemIndex = Value;
    FEditText = Value >= 0 ? FItems->Get(Value) : "";
    if (QComboBox* cb = Combo()) {
        FSyncing = true;
        cb->setCurrentIndex(Value);
        if (cb->isEditable()) cb->setEditText(Utf8ToQString(FEditText));
        FSyncing = false;
    }
}

void TCustomComboBox::Loaded() {
    TWinControl::Loaded();
    SetItemIndex(FItemIndex);
}

void TCustomComboBox::SetStyle(TComboBoxStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    RecreateWnd();
}

void TCustomComboBox::SetItemHeight(int Value) {
    FItemHeight = std::max(Value, 1);
    if (QComboBox* cb = Combo()) {
        cb->view()->doItemsLayout();
        cb->update();
    }
}

void TCustomComboBox::DrawItem(int Index, TRect Rect, TOwnerDrawState State) {
    if (OnDrawItem) {
        OnDrawItem(this, Index, Rect, State);
        return;
    }
    FCanvas->FillRect(Rect);
    if (Index >= 0 && Index < FItems->Count()) FCanvas->TextOut(Rect.Left + 2, Rect.Top, FItems->Get(Index));
}

void TCustomComboBox::PaintItem(QPainter& Painter, int Index, const TRect& Rect, TOwnerDrawState State) {
    Painter.save();
    Painter.setClipRect(gfx::ToQRect(Rect), Qt::IntersectClip);
    try {
        TCanvasPainterScope scope(FCanvas.get(), Painter);
        FCanvas->SetFont(GetFont());
        FCanvas->GetBrush()->SetStyle(bsSolid);
        if (State.Contains(odSelected)) {
            FCanvas->GetBrush()->SetColor(clHighlight);
            FCanvas->GetFont()->SetColor(clHighlightText);
        } else {
            FCanvas->GetBrush()->SetColor(GetColor());
        }
        DrawItem(Index, Rect, State);
    } catch (...) {
        ReportLater(std::current_exception());
    }
    Painter.restore();
}

void TCustomComboBox::SetMaxLength(int Value) {
    FMaxLength = std::max(Value, 0);
    if (QComboBox* cb = Combo(); cb && cb->lineEdit()) cb->lineEdit()->setMaxLength(FMaxLength ? FMaxLength : 32767);
}

bool TCustomComboBox::GetDroppedDown() const {
    QComboBox* cb = Combo();
    return cb && cb->view() && cb->view()->isVisible();
}

void TCustomComboBox::SetDroppedDown(bool Value) {
    QComboBox* cb = Combo();
    if (!cb) return;
    if (Value) {
        if (OnDropDown) OnDropDown(this);
        cb->showPopup();
    } else {
        cb->hidePopup();
    }
}

void TCustomComboBox::Clear() {
    FItems->Clear();
    SetText("");
}

void TCustomComboBox::ItemsChanged() {
    if (!ComponentState.Contains(csLoading) && FItemIndex >= FItems->Count()) {
        FItemIndex = -1;
        if (IsList()) FEditText.clear();
    }
    PushItems();
}

void TCustomComboBox::PushItems() {
    QComboBox* cb = Combo();
    if (!cb) return;
    FSyncing = true;
    cb->clear();
    for (int i = 0; i < FItems->Count(); ++i) cb->addItem(Utf8ToQString(FItems->Get(i)));
    cb->setCurrentIndex(ComponentState.Contains(csLoading) ? -1 : FItemIndex);
    if (cb->isEditable()) cb->setEditText(Utf8ToQString(FEditText));
    FSyncing = false;
}

void TCustomComboBox::WidgetIndexChosen(int Index) {
    if (FSyncing) return;
    FItemIndex = Index;
    FEditText = Index >= 0 && Index < FItems->Count() ? FItems->Get(Index) : "";
    Click();
    Change();
    Select();
}

void TCustomComboBox::WidgetTextEdited(const std::string& Text) {
    if (FSyncing || IsList()) return;
    FEditText = Text;
    FItemIndex = FItems->IndexOf(Text);
    Change();
}

QWidget* TCustomComboBox::CreateWidget(QWidget* ParentWidget) {
    QComboBox* cb;
    if (IsOwnerDrawn()) {
        cb = new TOwnerDrawComboWidget(this, ParentWidget);
        cb->setItemDelegate(new TOwnerDrawComboDelegate(this, cb));
    } else {
        cb = new QComboBox(ParentWidget);
    }
    cb->setFocusPolicy(Qt::StrongFocus);
    cb->setEditable(FStyle == csDropDown || FStyle == csSimple);
    cb->setInsertPolicy(QComboBox::NoInsert);
    QObject::connect(cb, &QComboBox::activated, cb,
                     [this](int index) { GuardedCall(this, [this, index] { WidgetIndexChosen(index); }); });
    if (QLineEdit* le = cb->lineEdit()) {
        QObject::connect(le, &QLineEdit::textEdited, cb, [this](const QString& text) {
            GuardedCall(this, [this, text] { WidgetTextEdited(QStringToUtf8(text)); });
        });
    }
    return cb;
}

void TCustomComboBox::UpdateWidget() {
    TWinControl::UpdateWidget();
    QComboBox* cb = Combo();
    if (!cb) return;
    BridgeWidget(cb->lineEdit());
    cb->setMaxVisibleItems(std::max(DropDownCount, 1));
    if (cb->lineEdit()) cb->lineEdit()->setMaxLength(FMaxLength ? FMaxLength : 32767);
    ApplyWidgetColors(cb, FColor, FFont->GetColor(), true);
    PushItems();
}

void TCustomComboBox::WMGetDlgCode(TMessage& Message) { Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS; }

// ---------------------------------------------------------------------------
// TScrollBar

TScrollBar::TScrollBar(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 121;
    FHeight = 16;
}

void TScrollBar::SetKind(TScrollBarKind Value) {
    if (Value == FKind) return;
    FKind = Value;
    if (!ComponentState.Contains(csLoading)) SetBounds(FLeft, FTop, FHeight, FWidth);
    UpdateWidget();
}

void TScrollBar::SetParams(int APosition, int AMin, int AMax) {
    if (AMax < AMin) AMax = AMin;
    APosition = std::clamp(APosition, AMin, AMax);
    bool changed = APosition != FPosition;
    FMin = AMin;
    FMax = AMax;
    FPosition = APosition;
    UpdateWidget();
    if (changed && OnChange) OnChange(this);
}

QWidget* TScrollBar::CreateWidget(QWidget* ParentWidget) {
    auto* bar = new QScrollBar(ParentWidget);
    QObject::connect(bar, &QScrollBar::valueChanged, bar,
                     [this](int value) { GuardedCall(this, [this, value] { SetPosition(value); }); });
    return bar;
}

void TScrollBar::UpdateWidget() {
    TWinControl::UpdateWidget();
    auto* bar = qobject_cast<QScrollBar*>(WidgetIfAllocated());
    if (!bar) return;
    QSignalBlocker block(bar);
    bar->setOrientation(FKind == sbHorizontal ? Qt::Horizontal : Qt::Vertical);
    bar->setRange(FMin, FMax);
    bar->setSingleStep(SmallChange);
    bar->setPageStep(std::max(LargeChange, PageSize));
    bar->setValue(FPosition);
}
