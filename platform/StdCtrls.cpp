// Edits, memos and the edit model.

#include "StdCtrls.h"

#include "Dialogs.h"
#include "Forms.h"
#include "Menus.h"
#include "StdCtrlsPrivate.h"

#include <QLineEdit>
#include <QPlainTextEdit>
#include <QProxyStyle>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextCursor>

#include <cstring>

// ---------------------------------------------------------------------------
// Text helpers shared by the standard controls

std::u32string Utf8ToU32(const std::string& s) {
    return QString::fromUtf8(s.data(), qsizetype(s.size())).toStdU32String();
}

std::string U32ToUtf8(const std::u32string& s) {
    QByteArray b = QString::fromStdU32String(s).toUtf8();
    return std::string(b.constData(), size_t(b.size()));
}

QString Utf8ToQString(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

std::string QStringToUtf8(const QString& s) {
    QByteArray b = s.toUtf8();
    return std::string(b.constData(), size_t(b.size()));
}

void ApplyWidgetColors(QWidget* w, TColor Background, TColor Text, bool BaseRole) {
    if (!w) return;
    QPalette pal = w->palette();
    QColor bg = ColorToQColor(Background);
    QColor fg = ColorToQColor(Text);
    pal.setColor(BaseRole ? QPalette::Base : QPalette::Window, bg);
    pal.setColor(QPalette::Text, fg);
    pal.setColor(QPalette::WindowText, fg);
    pal.setColor(QPalette::ButtonText, fg);
    w->setPalette(pal);
    if (!BaseRole) w->setAutoFillBackground(true);
}

bool IsAccel(char32_t Key, const std::string& Caption) {
    char32_t hot = GetHotkey(Caption);
    if (!hot || !Key) return false;
    std::u32string k(1, Key);
    return QString::fromStdU32String(k).toUpper().toStdU32String() == std::u32string(1, hot);
}

// The character a password edit shows for each of its characters.
class TPasswordStyle : public QProxyStyle {
public:
    explicit TPasswordStyle(char32_t ch) : Char(ch) {}
    char32_t Char;
    int styleHint(StyleHint hint, const QStyleOption* option, const QWidget* widget,
                  QStyleHintReturn* returnData) const override {
        if (hint == SH_LineEdit_PasswordCharacter) return int(Char);
        if (hint == SH_LineEdit_PasswordMaskDelay) return 0;
        return QProxyStyle::styleHint(hint, option, widget, returnData);
    }
};

static void ApplyPasswordChar(QLineEdit* le, char32_t ch) {
    le->setEchoMode(ch ? QLineEdit::Password : QLineEdit::Normal);
    if (!ch) return;
    auto* style = dynamic_cast<TPasswordStyle*>(le->style());
    if (!style) {
        style = new TPasswordStyle(ch);
        style->setParent(le);
        le->setStyle(style);
    }
    style->Char = ch;
    le->update();
}

// ---------------------------------------------------------------------------
// TEditBuffer

std::string TEditBuffer::GetText() const { return U32ToUtf8(FText); }

std::u32string TEditBuffer::ApplyCase(std::u32string s) const {
    if (CharCase == ecNormal) return s;
    QString q = QString::fromStdU32String(s);
    return (CharCase == ecUpperCase ? q.toUpper() : q.toLower()).toStdU32String();
}

void TEditBuffer::SetText(const std::string& Value) {
    FText = ApplyCase(Utf8ToU32(Value));
    FCaret = FAnchor = 0;
}

std::string TEditBuffer::SelText() const { return U32ToUtf8(FText.substr(size_t(SelStart()), size_t(SelLength()))); }

void TEditBuffer::SetSel(int Start, int Len) {
    int n = Length();
    Start = std::clamp(Start, 0, n);
    int end = Len < 0 ? n : std::clamp(Start + Len, Start, n);
    FAnchor = Start;
    FCaret = end;
}

void TEditBuffer::MoveTo(int Pos, bool Extend) {
    FCaret = std::clamp(Pos, 0, Length());
    if (!Extend) FAnchor = FCaret;
}

bool TEditBuffer::ReplaceSel(const std::string& Text) {
    std::u32string ins = ApplyCase(Utf8ToU32(Text));
    int start = SelStart(), len = SelLength();
    if (MaxLength > 0) {
        int room = MaxLength - (Length() - len);
        if (room < 0) room = 0;
        if (int(ins.size()) > room) ins.resize(size_t(room));
    }
    if (ins.empty() && len == 0) return false;
    FText.replace(size_t(start), size_t(len), ins);
    FCaret = FAnchor = start + int(ins.size());
    return true;
}

bool TEditBuffer::Backspace() {
    if (SelLength() > 0) return ReplaceSel("");
    if (FCaret == 0) return false;
    FText.erase(size_t(FCaret - 1), 1);
    FCaret = FAnchor = FCaret - 1;
    return true;
}

bool TEditBuffer::DeleteForward() {
    if (SelLength() > 0) return ReplaceSel("");
    if (FCaret >= Length()) return false;
    FText.erase(size_t(FCaret), 1);
    FAnchor = FCaret;
    return true;
}

static bool IsWordChar(char32_t c) { return c != U' ' && c != U'\t'; }

int TEditBuffer::WordLeft(int From) const {
    int i = std::clamp(From, 0, Length());
    while (i > 0 && !IsWordChar(FText[size_t(i - 1)])) --i;
    while (i > 0 && IsWordChar(FText[size_t(i - 1)])) --i;
    return i;
}

int TEditBuffer::WordRight(int From) const {
    int n = Length();
    int i = std::clamp(From, 0, n);
    while (i < n && IsWordChar(FText[size_t(i)])) ++i;
    while (i < n && !IsWordChar(FText[size_t(i)])) ++i;
    return i;
}

// ---------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 121;
    FHeight = 21;
    FTabStop = true;
    FColor = clWindow;
    FParentColor = false;
    ControlStyle = {csClickEvents, csSetCaption, csDoubleClicks};
}

TCustomEdit::~TCustomEdit() {
    if (QWidget* w = WidgetIfAllocated()) QObject::disconnect(w, nullptr, nullptr, nullptr);
}

QLineEdit* TCustomEdit::LineEdit() const { return qobject_cast<QLineEdit*>(WidgetIfAllocated()); }

std::string TCustomEdit::GetTextValue() const { return FBuffer.GetText(); }

void TCustomEdit::SetTextValue(const std::string& Value) {
    FBuffer.SetText(Value);
    FModified = false;
    FHasUndo = false;
    SyncWidget();
    Perform(CM_TEXTCHANGED, 0, 0);
    Change();
}

void TCustomEdit::Change() {
    if (OnChange) OnChange(this);
}

int TCustomEdit::GetSelStart() const { return FBuffer.SelStart(); }

void TCustomEdit::SetSelStart(int Value) {
    FBuffer.SetSel(Value, 0);
    SyncWidget();
}

int TCustomEdit::GetSelLength() const { return FBuffer.SelLength(); }

void TCustomEdit::SetSelLength(int Value) {
    FBuffer.SetSel(FBuffer.SelStart(), std::max(Value, 0));
    SyncWidget();
}

std::string TCustomEdit::GetSelText() const { return FBuffer.SelText(); }

void TCustomEdit::SetSelText(const std::string& Value) {
    TEditBuffer before = FBuffer;
    if (FBuffer.ReplaceSel(Value)) BufferChanged(before, false);
}

void TCustomEdit::SelectAll() {
    FBuffer.SelectAll();
    SyncWidget();
}

void TCustomEdit::ClearSelection() { Perform(WM_CLEAR, 0, 0); }
void TCustomEdit::CopyToClipboard() { Perform(WM_COPY, 0, 0); }
void TCustomEdit::CutToClipboard() { Perform(WM_CUT, 0, 0); }
void TCustomEdit::PasteFromClipboard() { Perform(WM_PASTE, 0, 0); }
void TCustomEdit::Undo() { Perform(WM_UNDO, 0, 0); }

void TCustomEdit::SetMaxLength(int Value) {
    FBuffer.MaxLength = std::max(Value, 0);
    // The buffer enforces the limit; the widget's own setter re-sets its text,
    // which must not flow back and move the caret.
    if (QLineEdit* le = LineEdit()) {
        FSyncing = true;
        le->setMaxLength(32767);
        FSyncing = false;
        SyncWidget();
    }
}

void TCustomEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    if (QLineEdit* le = LineEdit()) le->setReadOnly(Value);
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
    if (Value == FBuffer.CharCase) return;
    FBuffer.CharCase = Value;
    if (Value != ecNormal) {
        int start = FBuffer.SelStart(), len = FBuffer.SelLength();
        std::string t = FBuffer.GetText();
        FBuffer.SetText(t);
        FBuffer.SetSel(start, len);
        if (FBuffer.GetText() != t) {
            SyncWidget();
            Change();
        }
    }
}

void TCustomEdit::SetPasswordChar(char32_t Value) {
    FPasswordChar = Value;
    if (QLineEdit* le = LineEdit()) ApplyPasswordChar(le, Value);
}

void TCustomEdit::SetHideSelection(bool Value) { FHideSelection = Value; }

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
    FBorderStyle = Value;
    if (QLineEdit* le = LineEdit()) le->setFrame(Value != bsNone);
}

void TCustomEdit::SetAutoSize(bool Value) {
    FAutoSize = Value;
    if (Value && !ComponentState.Contains(csLoading)) AdjustHeight();
}

void TCustomEdit::AdjustHeight() {
    if (!FAutoSize || FBorderStyle == bsNone) return;
    TCanvas c;
    c.SetFont(GetFont());
    TTextMetric tm;
    c.GetTextMetrics(tm);
    SetHeight(tm.tmHeight + 8);
}

void TCustomEdit::FontChanged(TObject* Sender) {
    TWinControl::FontChanged(Sender);
    if (!ComponentState.Contains(csLoading)) AdjustHeight();
}

void TCustomEdit::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    // The alignment is part of the window's style: remake it, keeping the selection.
    int start = FBuffer.SelStart(), len = FBuffer.SelLength();
    RecreateWnd();
    FBuffer.SetSel(start, len);
    SyncWidget();
}

QWidget* TCustomEdit::CreateWidget(QWidget* ParentWidget) {
    auto* le = new QLineEdit(ParentWidget);
    le->setFocusPolicy(Qt::StrongFocus);
    le->setContextMenuPolicy(Qt::NoContextMenu);
    // Changes the widget makes by itself (input methods) come back into the buffer.
    QObject::connect(le, &QLineEdit::textEdited, le, [this](const QString& text) {
        if (FSyncing) return;
        TEditBuffer before = FBuffer;
        FBuffer.SetText(QStringToUtf8(text));
        if (QLineEdit* w = LineEdit()) FBuffer.MoveTo(w->cursorPosition(), false);
        SignalCall(this, [&] { BufferChanged(before, true); });
    });
    auto selectionFromWidget = [this]() {
        QLineEdit* w = LineEdit();
        if (FSyncing || !w) return;
        int caret = w->cursorPosition();
        if (w->hasSelectedText()) {
            int s = w->selectionStart(), e = w->selectionEnd();
            FBuffer.SetAnchorCaret(caret == s ? e : s, caret);
        } else {
            FBuffer.SetAnchorCaret(caret, caret);
        }
    };
    QObject::connect(le, &QLineEdit::cursorPositionChanged, le,
                     [selectionFromWidget](int, int) { selectionFromWidget(); });
    QObject::connect(le, &QLineEdit::selectionChanged, le, selectionFromWidget);
    return le;
}

void TCustomEdit::UpdateWidget() {
    // Setting up the widget moves its cursor; the buffer keeps its own selection.
    FSyncing = true;
    try {
        TWinControl::UpdateWidget();
    } catch (...) {
        FSyncing = false;
        throw;
    }
    QLineEdit* le = LineEdit();
    if (!le) {
        FSyncing = false;
        return;
    }
    le->setFrame(FBorderStyle != bsNone);
    le->setReadOnly(FReadOnly);
    le->setMaxLength(32767);
    ApplyPasswordChar(le, FPasswordChar);
    Qt::Alignment a = FAlignment == taRightJustify ? Qt::AlignRight
                      : FAlignment == taCenter     ? Qt::AlignHCenter
                                                   : Qt::AlignLeft;
    le->setAlignment(a | Qt::AlignVCenter);
    FSyncing = false;
    SyncWidget();
}

void TCustomEdit::UpdateWidgetColor() { ApplyWidgetColors(WidgetIfAllocated(), FColor, FFont->GetColor(), true); }

void TCustomEdit::SyncWidget() {
    QLineEdit* le = LineEdit();
    if (!le) return;
    FSyncing = true;
    QString text = Utf8ToQString(FBuffer.GetText());
    if (le->text() != text) le->setText(text);
    if (FBuffer.SelLength() > 0) {
        int anchor = FBuffer.Anchor(), caret = FBuffer.Caret();
        le->setSelection(anchor, caret - anchor);
    } else {
        le->deselect();
        le->setCursorPosition(FBuffer.Caret());
    }
    FSyncing = false;
}

void TCustomEdit::BufferChanged(const TEditBuffer& Before, bool ByUser) {
    bool textChanged = Before.GetText() != FBuffer.GetText();
    if (textChanged) {
        FUndo = Before;
        FHasUndo = true;
        if (ByUser) FModified = true;
    }
    SyncWidget();
    if (textChanged) {
        Perform(CM_TEXTCHANGED, 0, 0);
        Change();
    }
}

void TCustomEdit::DoEnter() {
    // A click places the caret itself; keyboard focus selects the whole text.
    if (AutoSelect && GetKeyState(VK_LBUTTON) >= 0) SelectAll();
    TWinControl::DoEnter();
}

void TCustomEdit::EditKeyDown(Word Key, TShiftState Shift) {
    bool shift = Shift.Contains(ssShift), ctrl = Shift.Contains(ssCtrl);
    TEditBuffer before = FBuffer;
    switch (Key) {
    case VK_LEFT:
    case VK_UP:
        FBuffer.MoveTo(ctrl ? FBuffer.WordLeft(FBuffer.Caret())
                            : (!shift && FBuffer.SelLength() > 0 ? FBuffer.SelStart() : FBuffer.Caret() - 1),
                       shift);
        break;
    case VK_RIGHT:
    case VK_DOWN:
        FBuffer.MoveTo(
            ctrl ? FBuffer.WordRight(FBuffer.Caret())
                 : (!shift && FBuffer.SelLength() > 0 ? FBuffer.SelStart() + FBuffer.SelLength() : FBuffer.Caret() + 1),
            shift);
        break;
    case VK_HOME: FBuffer.MoveTo(0, shift); break;
    case VK_END: FBuffer.MoveTo(FBuffer.Length(), shift); break;
    case VK_DELETE:
        if (shift) {
            Perform(WM_CUT, 0, 0);
            return;
        }
        if (FReadOnly) return;
        if (ctrl && FBuffer.SelLength() == 0) FBuffer.MoveTo(FBuffer.WordRight(FBuffer.Caret()), true);
        if (!FBuffer.DeleteForward()) return;
        BufferChanged(before, true);
        return;
    case VK_INSERT:
        if (ctrl)
            Perform(WM_COPY, 0, 0);
        else if (shift)
            Perform(WM_PASTE, 0, 0);
        return;
    default: return;
    }
    SyncWidget();
}

void TCustomEdit::EditChar(char32_t Key) {
    switch (Key) {
    case 3: Perform(WM_COPY, 0, 0); return;
    case 22: Perform(WM_PASTE, 0, 0); return;
    case 24: Perform(WM_CUT, 0, 0); return;
    case 26: Perform(WM_UNDO, 0, 0); return;
    default: break;
    }
    if (FReadOnly) return;
    TEditBuffer before = FBuffer;
    if (Key == 8) {
        if (FBuffer.Backspace()) BufferChanged(before, true);
        return;
    }
    if (Key == 127) {  // Ctrl+Backspace: the word before the caret
        if (FBuffer.SelLength() == 0) FBuffer.MoveTo(FBuffer.WordLeft(FBuffer.Caret()), true);
        if (FBuffer.Backspace()) BufferChanged(before, true);
        return;
    }
    if (Key < 32) return;
    if (FBuffer.ReplaceSel(CharToUtf8(Key))) BufferChanged(before, true);
}

void TCustomEdit::ShowEditMenu(TPoint ScreenPos) {
    if (CanFocus() && !Focused()) SetFocus();
    TPopupMenu menu(nullptr);
    bool selected = GetSelLength() > 0;
    bool all = GetSelStart() == 0 && GetSelLength() == int(Utf8ToU32(GetText()).size());
    auto add = [&](const char* caption, bool enabled, unsigned msg, WPARAM w = 0, LPARAM l = 0) {
        auto* item = new TMenuItem(nullptr);
        item->SetCaption(caption);
        item->SetEnabled(enabled);
        if (msg) item->OnClick = [this, msg, w, l](TObject*) { Perform(msg, w, l); };
        menu.Items()->Add(item);
    };
    bool secret = FPasswordChar != 0;
    add("&Undo", FHasUndo && !FReadOnly, WM_UNDO);
    add("-", true, 0);
    add("Cu&t", selected && !FReadOnly && !secret, WM_CUT);
    add("&Copy", selected && !secret, WM_COPY);
    add("&Paste", !FReadOnly && Clipboard()->HasFormat(CF_TEXT), WM_PASTE);
    add("&Delete", selected && !FReadOnly, WM_CLEAR);
    add("-", true, 0);
    add("Select &All", !all, EM_SETSEL, 0, -1);
    menu.Popup(ScreenPos.X, ScreenPos.Y);
}

void TCustomEdit::WMCut(TMessage& Message) {
    // A password never goes to the clipboard.
    if (FBuffer.SelLength() == 0 || FPasswordChar) return;
    Clipboard()->SetAsText(FBuffer.SelText());
    if (FReadOnly) return;
    TEditBuffer before = FBuffer;
    if (FBuffer.ReplaceSel("")) BufferChanged(before, true);
}

void TCustomEdit::WMCopy(TMessage& Message) {
    if (FBuffer.SelLength() > 0 && !FPasswordChar) Clipboard()->SetAsText(FBuffer.SelText());
}

void TCustomEdit::WMPaste(TMessage& Message) {
    if (FReadOnly) return;
    std::string text = Clipboard()->GetAsText();
    // A single-line edit takes the first line only.
    size_t eol = text.find_first_of("\r\n");
    if (eol != std::string::npos) text.resize(eol);
    TEditBuffer before = FBuffer;
    if (FBuffer.ReplaceSel(text)) BufferChanged(before, true);
}

void TCustomEdit::WMClear(TMessage& Message) {
    if (FReadOnly) return;
    TEditBuffer before = FBuffer;
    if (FBuffer.ReplaceSel("")) BufferChanged(before, true);
}

void TCustomEdit::WMUndo(TMessage& Message) {
    if (!FHasUndo || FReadOnly) return;
    TEditBuffer before = FBuffer;
    FBuffer = FUndo;
    BufferChanged(before, true);
}

void TCustomEdit::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_HASSETSEL;
}

void TCustomEdit::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CUT: WMCut(Message); break;
    case WM_COPY: WMCopy(Message); break;
    case WM_PASTE: WMPaste(Message); break;
    case WM_CLEAR: WMClear(Message); break;
    case WM_UNDO:
    case EM_UNDO:
        WMUndo(Message);
        Message.Result = 1;
        break;
    case EM_CANUNDO: Message.Result = FHasUndo ? 1 : 0; break;
    case EM_GETSEL: {
        int s = GetSelStart(), e = s + GetSelLength();
        if (Message.WParam) *reinterpret_cast<uint32_t*>(Message.WParam) = uint32_t(s);
        if (Message.LParam) *reinterpret_cast<uint32_t*>(Message.LParam) = uint32_t(e);
        Message.Result = LRESULT(MakeLParam(s, e));
        break;
    }
    case EM_SETSEL: {
        int s = int(Message.WParam), e = int(Message.LParam);
        int n = int(Utf8ToU32(GetText()).size());
        if (s < 0) {
            SetSelLength(0);  // -1: no selection, caret kept
        } else {
            if (e < 0 || e > n) e = n;
            if (e < s) std::swap(s, e);
            SetSelStart(s);
            SetSelLength(e - s);
        }
        break;
    }
    case EM_GETMODIFY: Message.Result = FModified ? 1 : 0; break;
    case EM_SETMODIFY: FModified = Message.WParam != 0; break;
    case EM_REPLACESEL: SetSelText(Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : ""); break;
    case EM_LIMITTEXT: SetMaxLength(int(Message.WParam)); break;
    case EM_SETREADONLY:
        SetReadOnly(Message.WParam != 0);
        Message.Result = 1;
        break;
    case WM_SETTEXT:
        SetText(Message.LParam ? reinterpret_cast<const char*>(Message.LParam) : "");
        Message.Result = 1;
        break;
    case WM_GETTEXT: {
        std::string t = GetText();
        size_t room = size_t(std::max<WPARAM>(Message.WParam, 0));
        if (room == 0 || !Message.LParam) break;
        size_t n = std::min(t.size(), room - 1);
        std::memcpy(reinterpret_cast<char*>(Message.LParam), t.data(), n);
        reinterpret_cast<char*>(Message.LParam)[n] = 0;
        Message.Result = LRESULT(n);
        break;
    }
    default: TWinControl::Dispatch(Message); break;
    }
}

void TCustomEdit::DefaultHandler(TMessage& Message) {
    // The edit does its own editing: the widget never sees the keys.
    switch (Message.Msg) {
    case WM_KEYDOWN: EditKeyDown(Word(Message.WParam), KeyDataToShiftState(Message.LParam)); return;
    case WM_CHAR: EditChar(char32_t(Message.WParam)); return;
    case WM_KEYUP: return;
    case WM_CONTEXTMENU: {
        TPoint screen{LoWordSigned(Message.LParam), HiWordSigned(Message.LParam)};
        if (screen.X == -1 && screen.Y == -1) screen = ClientToScreen(TPoint{FWidth / 2, FHeight / 2});
        ShowEditMenu(screen);
        Message.Result = 1;
        return;
    }
    default: TWinControl::DefaultHandler(Message); return;
    }
}

// ---------------------------------------------------------------------------
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TStringList>()) {
    FWidth = 185;
    FHeight = 89;
    FAutoSize = false;
    AutoSelect = false;
    FLines->OnChange = [this](TObject*) { LinesChanged(); };
}

// Memo positions count a line break as its two characters (CR LF); the widget's as one.
static int MemoToWidgetPos(const std::u32string& memo, int pos) {
    int breaks = 0;
    for (int i = 1; i < pos && i < int(memo.size()); ++i)
        if (memo[size_t(i)] == U'\n' && memo[size_t(i - 1)] == U'\r') ++breaks;
    return pos - breaks;
}

static int WidgetToMemoPos(const QString& widget, int pos) {
    int breaks = 0;
    for (int i = 0; i < pos && i < int(widget.size()); ++i)
        if (widget[i] == QLatin1Char('\n')) ++breaks;
    return pos + breaks;
}

TCustomMemo::~TCustomMemo() {
    if (QWidget* w = WidgetIfAllocated()) QObject::disconnect(w, nullptr, nullptr, nullptr);
    FLines->OnChange = nullptr;
}

QPlainTextEdit* TCustomMemo::TextEdit() const { return qobject_cast<QPlainTextEdit*>(WidgetIfAllocated()); }

static std::string JoinLines(const TStrings* lines) {
    std::string t = lines->GetText();
    // The memo's text has no line break after its last line.
    if (t.size() >= 2 && t.compare(t.size() - 2, 2, "\r\n") == 0) t.resize(t.size() - 2);
    return t;
}

std::string TCustomMemo::GetTextValue() const { return JoinLines(FLines.get()); }

void TCustomMemo::SetTextValue(const std::string& Value) {
    FLinesSyncing = true;
    FLines->SetText(Value);
    FLinesSyncing = false;
    FModified = false;
    FSelStart = FSelLength = 0;
    SyncWidget();
    Perform(CM_TEXTCHANGED, 0, 0);
    Change();
}

void TCustomMemo::LinesChanged() {
    if (FLinesSyncing) return;
    FSelStart = std::min(FSelStart, int(Utf8ToU32(GetTextValue()).size()));
    FSelLength = 0;
    SyncWidget();
    Change();
}

void TCustomMemo::WidgetTextChanged() {
    QPlainTextEdit* te = TextEdit();
    if (FSyncing || !te) return;
    std::string text = QStringToUtf8(te->toPlainText());
    FLinesSyncing = true;
    FLines->SetText(text);
    FLinesSyncing = false;
    FModified = true;
    Change();
}

QWidget* TCustomMemo::CreateWidget(QWidget* ParentWidget) {
    auto* te = new QPlainTextEdit(ParentWidget);
    te->setFocusPolicy(Qt::StrongFocus);
    te->setContextMenuPolicy(Qt::NoContextMenu);
    te->setTabChangesFocus(!WantTabs);
    QObject::connect(te, &QPlainTextEdit::textChanged, te,
                     [this] { SignalCall(this, [this] { WidgetTextChanged(); }); });
    QObject::connect(te, &QPlainTextEdit::cursorPositionChanged, te, [this] {
        QPlainTextEdit* w = TextEdit();
        if (FSyncing || !w) return;
        QTextCursor c = w->textCursor();
        QString text = w->toPlainText();
        int start = WidgetToMemoPos(text, c.selectionStart());
        FSelStart = start;
        FSelLength = WidgetToMemoPos(text, c.selectionEnd()) - start;
    });
    BridgeWidget(te->viewport());
    return te;
}

void TCustomMemo::UpdateWidget() {
    TWinControl::UpdateWidget();
    QPlainTextEdit* te = TextEdit();
    if (!te) return;
    te->setFrameShape(FBorderStyle == bsNone ? QFrame::NoFrame : QFrame::StyledPanel);
    te->setReadOnly(FReadOnly);
    te->setLineWrapMode(FWordWrap ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
    bool h = FScrollBars == ssHorizontal || FScrollBars == ssBoth;
    bool v = FScrollBars == ssVertical || FScrollBars == ssBoth;
    te->setHorizontalScrollBarPolicy(h ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    te->setVerticalScrollBarPolicy(v ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    SyncWidget();
}

void TCustomMemo::SyncWidget() {
    QPlainTextEdit* te = TextEdit();
    if (!te) return;
    FSyncing = true;
    QString text = Utf8ToQString(GetTextValue());
    // \r\n from the lines becomes one paragraph break.
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    if (te->toPlainText() != text) te->setPlainText(text);
    QTextCursor c = te->textCursor();
    int n = int(te->toPlainText().size());
    std::u32string memo = Utf8ToU32(GetTextValue());
    c.setPosition(std::clamp(MemoToWidgetPos(memo, FSelStart), 0, n));
    c.setPosition(std::clamp(MemoToWidgetPos(memo, FSelStart + FSelLength), 0, n), QTextCursor::KeepAnchor);
    te->setTextCursor(c);
    FSyncing = false;
}

// Positions in the memo count a line break as two characters (CR LF), as the platform's do.
static int MemoTextLength(const TCustomMemo* m) { return int(Utf8ToU32(m->GetText()).size()); }

int TCustomMemo::GetSelStart() const { return FSelStart; }

void TCustomMemo::SetSelStart(int Value) {
    FSelStart = std::clamp(Value, 0, MemoTextLength(this));
    FSelLength = 0;
    SyncWidget();
}

int TCustomMemo::GetSelLength() const { return FSelLength; }

void TCustomMemo::SetSelLength(int Value) {
    FSelLength = std::clamp(Value, 0, MemoTextLength(this) - FSelStart);
    SyncWidget();
}

std::string TCustomMemo::GetSelText() const {
    std::u32string t = Utf8ToU32(GetTextValue());
    return U32ToUtf8(t.substr(size_t(std::min<int>(FSelStart, int(t.size()))), size_t(FSelLength)));
}

void TCustomMemo::SetSelText(const std::string& Value) {
    std::u32string t = Utf8ToU32(GetTextValue());
    int start = std::min<int>(FSelStart, int(t.size()));
    std::u32string ins = Utf8ToU32(Value);
    t.replace(size_t(start), size_t(FSelLength), ins);
    FLinesSyncing = true;
    FLines->SetText(U32ToUtf8(t));
    FLinesSyncing = false;
    FSelStart = start + int(ins.size());
    FSelLength = 0;
    SyncWidget();
    Change();
}

void TCustomMemo::SetMaxLength(int Value) { FBuffer.MaxLength = std::max(Value, 0); }

void TCustomMemo::SetWordWrap(bool Value) {
    FWordWrap = Value;
    if (QPlainTextEdit* te = TextEdit())
        te->setLineWrapMode(Value ? QPlainTextEdit::WidgetWidth : QPlainTextEdit::NoWrap);
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
    FScrollBars = Value;
    if (TextEdit()) UpdateWidget();
}

void TCustomMemo::DoEnter() { TWinControl::DoEnter(); }

void TCustomMemo::WMGetDlgCode(TMessage& Message) {
    Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS;
    if (WantReturns) Message.Result |= DLGC_WANTALLKEYS;
    if (WantTabs) Message.Result |= DLGC_WANTTAB;
}

void TCustomMemo::WMPaste(TMessage&) {
    if (!FReadOnly) SetSelText(Clipboard()->GetAsText());
}

void TCustomMemo::WMCut(TMessage&) {
    if (FSelLength == 0) return;
    Clipboard()->SetAsText(GetSelText());
    if (!FReadOnly) SetSelText("");
}

void TCustomMemo::WMCopy(TMessage&) {
    if (FSelLength > 0) Clipboard()->SetAsText(GetSelText());
}

void TCustomMemo::WMClear(TMessage&) {
    if (!FReadOnly && FSelLength > 0) SetSelText("");
}

void TCustomMemo::DefaultHandler(TMessage& Message) {
    // A memo lets its widget edit (multi-line navigation is the widget's).
    if (Message.Msg == WM_CONTEXTMENU)
        TCustomEdit::DefaultHandler(Message);
    else
        TWinControl::DefaultHandler(Message);
}
