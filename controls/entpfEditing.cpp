// The picture field's editing side: keys through the controller's command
// tables, typed characters, the mouse, the clipboard, the context menu, the
// caret and painting. The editing rules themselves are TEntPictureEditor's.

#include "entpf.h"

#include <algorithm>
#include <memory>

#include "Dialogs.h"
#include "Forms.h"
#include "Menus.h"
#include "entmsgs.h"

namespace {

// What position i of the edit text shows: control characters as the letter
// 64 places higher (1 as "A"), every other byte as its Windows-1252 character.
std::string Glyph(const std::string& s, int i, bool& control) {
    const auto c = static_cast<unsigned char>(s[i]);
    control = c < 32;
    if (control) return std::string(1, static_cast<char>(c + 64));
    return AnsiToText(std::string(1, static_cast<char>(c)));
}

}  // namespace

// ---- Keys and characters ----------------------------------------------------------------------

void TEntBaseEntryField::WMGetDlgCode(TMessage& Message) {
    // The arrows edit; Tab and Enter stay with the form.
    Message.Result = DLGC_WANTARROWS | DLGC_WANTCHARS;
}

void TEntBaseEntryField::WMKeyDown(TWMKey& Message) {
    FDropChar = false;
    if (DoKeyDown(Message)) return;
    const Word key = Message.CharCode();
    if (key == VK_SHIFT) return;
    TEntController* c = GetController();
    if (!c) return;
    const uint16_t command = c->EntryCommands()->Translate(Message.M);
    if (command == ccNoCmd) return;  // ordinary input: the character follows
    FDropChar = true;
    if (command == ccPartial || command == ccBadSequence) return;
    ProcessCommand(command);
}

void TEntBaseEntryField::WMSysKeyDown(TWMKey& Message) {
    FDropChar = true;
    if (DoKeyDown(Message)) return;
    TEntController* c = GetController();
    const uint16_t command = c ? c->EntryCommands()->Translate(Message.M) : uint16_t(ccNoCmd);
    // Alt+Backspace is a command of the tables, not the form's.
    if (command == ccNoCmd || command == ccPartial || command == ccBadSequence) {
        DefaultHandler(Message.M);
        return;
    }
    ProcessCommand(command);
}

void TEntBaseEntryField::WMChar(TWMKey& Message) {
    if (FDropChar) {
        FDropChar = false;
        return;
    }
    if (DoKeyPress(Message)) return;
    const char32_t key = char32_t(Message.M.WParam);
    if (key == 0 || key > 0x10FFFF) return;
    // Control characters are typed only after ccCtrlChar.
    if (key < 32 && !FEditor.PendingLiteral()) return;
    // The text holds Windows-1252: a character outside it cannot be typed.
    const std::string ansi = TextToAnsi(CodePointToUtf8(key));
    if (ansi.size() != 1 || (ansi[0] == '?' && key != U'?')) return;
    ProcessChar(ansi[0]);
}

void TEntBaseEntryField::ProcessChar(char Ch) {
    if (!HandleAllocated() || Ch == 0) return;
    SyncModels();
    ApplyResult(FEditor.TypeChar(Ch));
}

void TEntBaseEntryField::ProcessCommand(uint16_t Command) {
    if (!HandleAllocated()) return;
    SyncModels();
    if (Command == ccUndo) Command = ccRestore;
    const TEntEntryFieldOptions options = FModel.GetOptions();
    const bool readOnly = options.Contains(efoReadOnly);
    if (Command == ccIns && (options.Contains(efoForceInsert) || options.Contains(efoForceOvertype))) return;
    switch (Command) {
    case ccCopy: CopyToClipboard(); return;
    case ccCut:
        if (!readOnly) CopyToClipboard();
        ApplyResult(FEditor.Execute(ccCut));  // refused on a read-only field
        return;
    case ccPaste:
        if (readOnly) {
            ApplyResult(FEditor.Execute(ccPaste));
            return;
        }
        if (!FEditor.DesignTime) PasteFromClipboard();
        return;
    default: break;
    }
    if (Command >= ccUserFirst && OnUserCommand) OnUserCommand(this, Command);
    ApplyResult(FEditor.Execute(Command));
    if (Command == ccIns) FCarets->SetInsertMode(FEditor.InsertMode);
}

void TEntBaseEntryField::ApplyResult(const TEntEditResult& Result) {
    // The editor keeps the modified flags (a restore clears them while it changes the text).
    if (Result.Beep) MessageBeep(0);
    ScrollCaretIntoView();
    UpdateCaret();
    Invalidate();
    if (Result.TextChanged && OnChange) OnChange(this);
    if (Result.Advance != adNone) {
        if (TForm* form = GetParentForm(this))
            PostMessage(form, WM_NEXTDLGCTL, Result.Advance == adPrevious ? 1 : 0, 0);
    }
}

void TEntBaseEntryField::SetTextValue(const std::string& Value) {
    SyncModels();
    if (FModel.Loading) {
        FModel.SetText(Value);
        return;
    }
    if (!FValueReady) PrepareValue();
    FEditor.SelectAll();
    ApplyResult(FEditor.Paste(TextToAnsi(Value)));
}

void TEntBaseEntryField::SetSelection(int Start, int End) {
    FEditor.SetSelection(Start, End);
    ScrollCaretIntoView();
    UpdateCaret();
    Invalidate();
}

void TEntBaseEntryField::SelectAll() { SetSelection(0, 65535); }

std::string TEntBaseEntryField::DisplayText() const { return FModel.DisplayText(FEditor.Modified); }

// ---- Clipboard and context menu -------------------------------------------------------------------

void TEntBaseEntryField::CopyToClipboard() {
    if (FEditor.HasSelection()) Clipboard()->SetAsText(AnsiToText(FEditor.SelectedText()));
}

void TEntBaseEntryField::PasteFromClipboard() { ApplyResult(FEditor.Paste(TextToAnsi(Clipboard()->GetAsText()))); }

TEntEditMenuState TEntBaseEntryField::ContextMenuState() const {
    return FEditor.MenuState(Clipboard()->HasFormat(CF_TEXT));
}

void TEntBaseEntryField::ShowContextMenu(TPoint Screen) {
    if (!Focused() && CanFocus()) SetFocus();
    SyncModels();
    const TEntEditMenuState state = ContextMenuState();
    auto menu = std::make_unique<TPopupMenu>(nullptr);
    auto add = [&](int textId, bool enabled, std::function<void()> action) {
        auto* item = new TMenuItem(nullptr);
        item->SetCaption(textId ? LookupMessageText(textId) : std::string("-"));
        item->SetEnabled(enabled);
        if (action) item->OnClick = [action](TObject*) { action(); };
        menu->Items()->Add(item);
    };
    add(SEntRestoreItem, state.Restore, [this] { ProcessCommand(ccRestore); });
    add(0, true, nullptr);
    add(SEntCutItem, state.Cut, [this] { ProcessCommand(ccCut); });
    add(SEntCopyItem, state.Copy, [this] { ProcessCommand(ccCopy); });
    add(SEntPasteItem, state.Paste, [this] { ProcessCommand(ccPaste); });
    add(SEntDeleteItem, state.Delete, [this] { ProcessCommand(ccDel); });
    add(0, true, nullptr);
    add(SEntSelectAllItem, state.SelectAll, [this] { SelectAll(); });
    menu->PopupComponent = this;
    menu->Popup(Screen.X, Screen.Y);
}

void TEntBaseEntryField::WMRButtonUp(TWMMouse& Message) {
    TEntCustomControlEx::WMRButtonUp(Message);
    if (!GetPopupMenu()) ShowContextMenu(ClientToScreen(Message.Pos()));
}

void TEntBaseEntryField::WMContextMenu(TWMContextMenu& Message) {
    if (GetPopupMenu()) {
        TEntCustomControlEx::WMContextMenu(Message);
        return;
    }
    // A right click shows the field's own menu when the button is released;
    // the menu key shows it at the caret.
    if (Message.XPos() == -1 && Message.YPos() == -1)
        ShowContextMenu(ClientToScreen(TPoint{CharX(FEditor.Caret()), GetHeight() / 2}));
    Message.Result() = 1;
}

// ---- Mouse ---------------------------------------------------------------------------------------

void TEntBaseEntryField::WMLButtonDown(TWMMouse& Message) {
    SyncModels();
    // The press that brings the focus only brings it (the focus gain selects
    // the whole text); presses on a field being edited place the caret.
    const bool wasEditing = FEditing && !FFocusPress;
    FFocusPress = false;
    if (!FEditing) {
        FMouseClick = true;
        FEditor.SetSelection(65535, 0);
        if (CanFocus()) SetFocus();
    }
    if (wasEditing && FEditing) {
        // The character under the mouse is found in the text as cleaned for
        // editing, the form the click works on.
        FEditor.PrepareForMouse();
        ApplyResult(FEditor.Click(IndexAtX(Message.XPos()), Message.Shift().Contains(ssShift)));
        FSelecting = true;
        SetMouseCapture(true);
    }
    FMouseClick = false;
    TEntCustomControlEx::WMLButtonDown(Message);
}

void TEntBaseEntryField::WMLButtonUp(TWMMouse& Message) {
    if (FSelecting) {
        FSelecting = false;
        SetMouseCapture(false);
    }
    TEntCustomControlEx::WMLButtonUp(Message);
}

void TEntBaseEntryField::WMLButtonDblClk(TWMMouse& Message) {
    if (FEditing) ApplyResult(FEditor.DoubleClick(IndexAtX(Message.XPos())));
    TEntCustomControlEx::WMLButtonDblClk(Message);
}

void TEntBaseEntryField::WMMouseMove(TWMMouse& Message) {
    if (FSelecting && FEditing && (Message.Keys() & MK_LBUTTON)) ApplyResult(FEditor.Drag(IndexAtX(Message.XPos())));
    TEntCustomControlEx::WMMouseMove(Message);
}

// ---- Geometry and caret -----------------------------------------------------------------------------

TRect TEntBaseEntryField::TextRect() const {
    TRect r = const_cast<TEntBaseEntryField*>(this)->GetClientRect();
    const int frame = FBorderStyle == bsSingle ? (FCtl3D ? 2 : 1) : 0;
    r.Left += frame;
    r.Top += frame;
    r.Right -= frame;
    r.Bottom -= frame;
    return r;
}

int TEntBaseEntryField::TextLeft() {
    const TRect r = TextRect();
    int left = r.Left + FTextMargin;
    if (FBorders->LeftBorder()->GetEnabled()) left += FBorders->LeftBorder()->GetPenWidth();
    if (!FModel.GetOptions().Contains(efoRightAlign)) return left;
    Canvas()->SetFont(GetFont());
    const std::string s = DisplayText();
    int width = 0;
    bool control = false;
    for (int i = FFirstVisible; i < int(s.size()); ++i) width += Canvas()->TextWidth(Glyph(s, i, control));
    int right = r.Right - FTextMargin;
    if (FBorders->RightBorder()->GetEnabled()) right -= FBorders->RightBorder()->GetPenWidth();
    return right - width >= left ? right - width : left;
}

int TEntBaseEntryField::CharX(int Index) {
    Canvas()->SetFont(GetFont());
    const std::string s = DisplayText();
    int x = TextLeft();
    bool control = false;
    for (int i = FFirstVisible; i < Index && i < int(s.size()); ++i) x += Canvas()->TextWidth(Glyph(s, i, control));
    return x;
}

int TEntBaseEntryField::IndexAtX(int X) {
    Canvas()->SetFont(GetFont());
    const std::string s = DisplayText();
    int x = TextLeft();
    // A click left of a scrolled text scrolls it back.
    if (X < x && FFirstVisible > 0) return --FFirstVisible;
    bool control = false;
    for (int i = FFirstVisible; i < int(s.size()); ++i) {
        const int w = Canvas()->TextWidth(Glyph(s, i, control));
        if (X < x + w / 2 + (w % 2)) return i;
        x += w;
    }
    return int(s.size());
}

void TEntBaseEntryField::ScrollCaretIntoView() {
    const int caret = FEditor.Caret();
    if (caret < FFirstVisible) FFirstVisible = caret;
    const int right = TextRect().Right - FTextMargin;
    while (FFirstVisible < caret && CharX(caret) > right) ++FFirstVisible;
}

void TEntBaseEntryField::UpdateCaret() {
    if (!FEditing || !HandleAllocated()) return;
    Canvas()->SetFont(GetFont());
    const int height = Canvas()->TextHeight("Wy");
    const std::string s = FModel.Text();
    const int caret = FEditor.Caret();
    bool control = false;
    const std::string under = caret < int(s.size()) ? Glyph(s, caret, control) : std::string("0");
    FCarets->SetCellSize(height, std::max(1, Canvas()->TextWidth(under.empty() ? std::string("0") : under)));
    FCarets->SetPosition(CharX(caret), (GetClientHeight() - height) / 2);
}

void TEntBaseEntryField::AdjustHeight() {
    if (!FAutoSize || ComponentState.Contains(csLoading)) return;
    Canvas()->SetFont(GetFont());
    const int text = Canvas()->TextHeight("Wy");
    // The frame's two edges and the margins above and below the text.
    const int extra = FBorderStyle == bsSingle ? (FCtl3D ? 8 : 6) : 4;
    if (GetHeight() != text + extra) SetHeight(text + extra);
}

void TEntBaseEntryField::CMFontChanged(TMessage& Message) {
    TEntCustomControlEx::CMFontChanged(Message);
    AdjustHeight();
    AfterValueChange();
}

void TEntBaseEntryField::CMEnabledChanged(TMessage& Message) {
    TEntCustomControlEx::CMEnabledChanged(Message);
    Invalidate();
}

void TEntBaseEntryField::BoundsChanged(bool SizeChanged) {
    TEntCustomControlEx::BoundsChanged(SizeChanged);
    if (SizeChanged) UpdateCaret();
}

// ---- Painting -------------------------------------------------------------------------------------

TColor TEntBaseEntryField::CharBackColor(bool Selected) const {
    if (FModel.ErrorFlag) return FEFColors->Error()->GetBackColor();
    if (!IsEnabledChain()) return FEFColors->Disabled()->GetBackColor();
    if (Selected) return FEFColors->Highlight()->GetBackColor();
    return GetColor();
}

TColor TEntBaseEntryField::CharTextColor(bool Selected, bool Control) const {
    if (FModel.ErrorFlag) return FEFColors->Error()->GetTextColor();
    if (!IsEnabledChain()) return FEFColors->Disabled()->GetTextColor();
    if (Selected) return FEFColors->Highlight()->GetTextColor();
    if (Control) return FControlCharColor;
    return GetFont()->GetColor();
}

void TEntBaseEntryField::Paint() {
    TCanvas* cv = Canvas();
    cv->SetFont(GetFont());
    const TRect client = GetClientRect();
    cv->GetBrush()->SetStyle(bsSolid);
    cv->GetBrush()->SetColor(CharBackColor(false));
    cv->FillRect(client);
    if (FBorderStyle == bsSingle) {
        TRect edge = client;
        if (FCtl3D) {
            cv->DrawEdge(edge, EDGE_SUNKEN, BF_RECT);
        } else {
            cv->GetBrush()->SetColor(clWindowFrame);
            cv->FrameRect(edge);
        }
    }

    const TRect area = TextRect();
    const std::string s = DisplayText();
    const int height = cv->TextHeight("Wy");
    const int y = area.Top + (area.Height() - height) / 2;
    int x = TextLeft();
    const int selStart = FEditor.SelStart();
    const int selEnd = FEditor.SelEnd();
    for (int i = FFirstVisible; i < int(s.size()); ++i) {
        bool control = false;
        const std::string shown = Glyph(s, i, control);
        const int w = cv->TextWidth(shown);
        if (x + w > area.Right) break;  // a character cut by the frame is not drawn
        // The selection shows only while the field has the focus. Text goes
        // out on the brush, which colours each character's cell.
        const bool selected = FEditing && i >= selStart && i < selEnd;
        cv->GetBrush()->SetColor(CharBackColor(selected));
        cv->GetFont()->SetColor(CharTextColor(selected, control));
        cv->TextOut(x, y, shown);
        x += w;
    }
    FBorders->Paint(cv, GetWidth(), GetHeight());
}
