#include "entpfedit.h"

#include <algorithm>

#include "entcmdCodes.h"
#include "entintl.h"

TEntPictureEditor::TEntPictureEditor(TEntPictureFieldModel& model) : FModel(model) {
    FModel.OnPut = [this] { AfterPut(); };
}

// ---- positions ----

bool TEntPictureEditor::IsEditable(int pos) const {
    return pos >= 0 && pos < Length() && FModel.Mask().PositionClass(pos) != pcLiteral;
}

int TEntPictureEditor::FirstPosition() const {
    for (int i = 0; i < Length(); ++i)
        if (IsEditable(i)) return i;
    return 0;
}

int TEntPictureEditor::LastPosition() const {
    for (int i = Length() - 1; i >= 0; --i)
        if (IsEditable(i)) return i;
    return Length() - 1;
}

int TEntPictureEditor::NextPos(int pos) const {
    for (int i = std::max(pos + 1, 0); i < Length(); ++i)
        if (IsEditable(i)) return i;
    return LastPosition() + 1;
}

int TEntPictureEditor::PrevPos(int pos) const {
    for (int i = std::min(pos, Length()) - 1; i >= 0; --i)
        if (IsEditable(i)) return i;
    return -1;
}

void TEntPictureEditor::Segment(int pos, int& first, int& last) const {
    first = last = pos;
    while (IsEditable(first - 1)) --first;
    while (IsEditable(last + 1)) ++last;
}

int TEntPictureEditor::EndOfText() const {
    const std::string& s = FModel.Text();
    for (int i = Length() - 1; i >= 0; --i)
        if (IsEditable(i) && s[i] != ' ') return i + 1;
    return FirstPosition();
}

int TEntPictureEditor::EntryCaret() const {
    return FModel.GetOptions().Contains(efoCaretToEnd) ? EndOfText() : FirstPosition();
}

// A semi-literal position holds a digit once the text is cleaned for
// editing: it takes what the neighbouring picture position takes.
char TEntPictureEditor::MaskCharFor(int pos) const {
    const TEntPictureMask& mask = FModel.Mask();
    if (mask.PositionClass(pos) != pcSemiLiteral) return mask.MaskCharAt(pos);
    int first, last;
    Segment(pos, first, last);
    for (int i = pos + 1; i <= last; ++i)
        if (mask.PositionClass(i) == pcPicture) return mask.MaskCharAt(i);
    for (int i = pos - 1; i >= first; --i)
        if (mask.PositionClass(i) == pcPicture) return mask.MaskCharAt(i);
    return '#';
}

bool TEntPictureEditor::Accepts(int pos, char& ch) const {
    if (!IsEditable(pos) || ch == 0) return false;
    if (FPendingLiteral) return true;
    const char prev = pos > 0 ? FModel.Text()[pos - 1] : ' ';
    return CharIsOK(MaskCharFor(pos), ch, prev, true, FModel.Intl(), FModel.UserData());
}

bool TEntPictureEditor::IsWordStart(const Text& s, int pos) const {
    return IsEditable(pos) && s[pos] != ' ' && (!IsEditable(pos - 1) || s[pos - 1] == ' ');
}

std::string TEntPictureEditor::SelectedText() const {
    const std::string& s = FModel.Text();
    const int a = std::clamp(FSelStart, 0, Length()), b = std::clamp(FSelEnd, 0, Length());
    return b > a ? s.substr(a, b - a) : std::string();
}

// ---- text changes ----

void TEntPictureEditor::PrepareForCommand(uint16_t command, bool typedChar) {
    if (command == ccCtrlChar || command == ccNoCmd) return;
    if (!typedChar) FPendingLiteral = false;
    const TEntPictureMask& mask = FModel.Mask();
    if (FCleaned || FModel.Overflowed() || (mask.SemiLitCount() == 0 && !mask.RadixField)) return;
    std::string s = FModel.Text();
    FCleaned = mask.CleanForEditing(s);
    if (s != FModel.Text()) FModel.SetText(s);
}

// Editing an overflow marker starts from an empty number: the stars are no digits.
void TEntPictureEditor::BeginTextChange() {
    if (!FModel.Overflowed()) return;
    std::string s = FModel.Text();
    for (int i = 0; i < Length(); ++i)
        if (IsEditable(i)) s[i] = ' ';
    FModel.SetText(s);
    FCleaned = FModel.Mask().IsNumericMask();
}

bool TEntPictureEditor::SetText(const Text& s) {
    if (s == FModel.Text()) return false;
    FModel.SetText(s);
    return true;
}

// Deleting closes up the rest of each touched segment and leaves blanks at its end.
void TEntPictureEditor::DeleteRange(Text& s, int from, int to) const {
    to = std::min(to, Length());
    for (int i = std::max(from, 0); i < to;) {
        if (!IsEditable(i)) {
            ++i;
            continue;
        }
        int first, last;
        Segment(i, first, last);
        const int end = std::min(last + 1, to);
        const int count = end - i;
        for (int k = i; k <= last; ++k) s[k] = k + count <= last ? s[k + count] : ' ';
        i = last + 1;
    }
}

void TEntPictureEditor::DeleteSelection(TEntEditResult& r) {
    if (!HasSelection()) return;
    BeginTextChange();
    std::string s = FModel.Text();
    DeleteRange(s, FSelStart, FSelEnd);
    FCaret = IsEditable(FSelStart) ? FSelStart : NextPos(FSelStart);
    Collapse();
    FSelectionDeleted = true;
    if (SetText(s)) r.TextChanged = true;
}

bool TEntPictureEditor::InsertAt(Text& s, int pos, char ch) const {
    int first, last;
    Segment(pos, first, last);
    if (s[last] != ' ' && !Settings.InsertPushes) return false;
    for (int k = last; k > pos; --k) s[k] = s[k - 1];
    s[pos] = ch;
    return true;
}

void TEntPictureEditor::MoveCaret(int pos, bool extend) {
    pos = std::clamp(pos, 0, Length());
    if (!extend) {
        FCaret = pos;
        Collapse();
        return;
    }
    if (!HasSelection()) FAnchor = FCaret;
    FCaret = pos;
    FSelStart = std::min(FAnchor, FCaret);
    FSelEnd = std::max(FAnchor, FCaret);
}

void TEntPictureEditor::Collapse() { FSelStart = FSelEnd = FAnchor = FCaret; }

bool TEntPictureEditor::RefusedWhenReadOnly(uint16_t command) const {
    switch (command) {
    case ccBack:
    case ccCtrlChar:
    case ccCut:
    case ccDec:
    case ccDel:
    case ccDelBol:
    case ccDelEol:
    case ccDelLine:
    case ccDelWord:
    case ccInc:
    case ccPaste:
    case ccRestore: return true;
    default: return false;
    }
}

TEntEditResult TEntPictureEditor::Refuse() const {
    TEntEditResult r;
    r.Beep = Settings.BeepOnError;
    return r;
}

void TEntPictureEditor::StepValue(int delta, TEntEditResult& r) {
    if (!FModel.Editing) return;
    const char unit = FModel.Mask().MaskCharAt(std::min(FCaret, std::max(Length() - 1, 0)));
    if (FModel.StepValue(delta, unit)) r.TextChanged = true;
    Collapse();
}

void TEntPictureEditor::CompleteDateTime(TEntEditResult& r) {
    const TPictureDataType type = FModel.GetDataType();
    const std::string& mask = FModel.GetPictureMask();
    const TEntIntlSup& intl = FModel.Intl();
    const bool date = type == pftDate;
    if (HasSelection() && FSelStart == 0 && FSelEnd == Length()) {
        FModel.SetValue(TEntFieldValue::OfInt(date ? CurrentDate() : CurrentTime()));
        r.TextChanged = true;
        return;
    }
    const std::string now =
        date ? intl.DateToDateString(mask, CurrentDate(), false) : intl.TimeToTimeString(mask, CurrentTime(), false);
    FCaret = IsEditable(FSelStart) ? FSelStart : NextPos(FSelStart);
    if (FCaret > LastPosition() || now.size() != FModel.Text().size()) return;
    int first, last;
    Segment(FCaret, first, last);
    std::string s = FModel.Text();
    for (int i = first; i <= last; ++i) s[i] = now[i];
    if (SetText(s)) r.TextChanged = true;
    FCaret = NextPos(last);
}

// ---- commands ----

TEntEditResult TEntPictureEditor::Execute(uint16_t command) {
    if (command == ccUndo) command = ccRestore;
    if (command == ccNone || command >= ccNoCmd) return {};
    const TEntEntryFieldOptions options = FModel.GetOptions();
    const bool readOnly = options.Contains(efoReadOnly);
    if (readOnly && RefusedWhenReadOnly(command)) return Refuse();
    if (IsCharType(FModel.GetDataType())) return ExecuteCharField(command);

    PrepareForCommand(command);
    TEntEditResult r;
    int before = FCaret;
    FSelectionDeleted = false;
    bool keepSelection = false;
    std::string s = FModel.Text();
    auto change = [&](auto edit) {
        BeginTextChange();
        s = FModel.Text();
        edit();
        if (SetText(s)) r.TextChanged = true;
    };
    auto wordLeft = [&] {
        int p = FCaret - 1;
        while (p >= 0 && !IsWordStart(s, p)) --p;
        return p >= 0 ? p : FirstPosition();
    };
    auto wordRight = [&] {
        int p = FCaret + 1;
        while (p < Length() && !IsWordStart(s, p)) ++p;
        return p < Length() ? p : std::max(EndOfText(), FCaret);
    };
    const bool arrowsStep = options.Contains(efoArrowIncDec) && !readOnly;

    switch (command) {
    case ccBack:
        if (HasSelection()) {
            DeleteSelection(r);
        } else if (FCaret > FirstPosition()) {
            const int p = PrevPos(FCaret);
            if (p < 0) break;  // no position to the left (a mask with nothing to type)
            FCaret = p;
            if (p < EndOfText()) change([&] { DeleteRange(s, p, p + 1); });
        }
        break;
    case ccDel:
        if (HasSelection())
            DeleteSelection(r);
        else if (FCaret < EndOfText() && IsEditable(FCaret))
            change([&] { DeleteRange(s, FCaret, FCaret + 1); });
        break;
    case ccDelBol:
        change([&] { DeleteRange(s, FirstPosition(), FCaret); });
        FCaret = FirstPosition();
        break;
    case ccDelEol: change([&] { DeleteRange(s, FCaret, Length()); }); break;
    case ccDelLine:
        FCaret = FirstPosition();
        change([&] {
            for (int i = 0; i < Length(); ++i)
                if (IsEditable(i)) s[i] = ' ';
        });
        break;
    case ccDelWord:
        if (HasSelection()) {
            DeleteSelection(r);
        } else if (IsEditable(FCaret)) {
            change([&] {
                int first, last;
                Segment(FCaret, first, last);
                int j = FCaret;
                while (j <= last && s[j] != ' ') ++j;
                while (j <= last && s[j] == ' ') ++j;
                DeleteRange(s, FCaret, j);
            });
        }
        break;
    case ccUp:
    case ccLeft:
        if (command == ccUp && Settings.AutoAdvanceUpDown)
            r.Advance = adPrevious;
        else if (command == ccUp && arrowsStep)
            StepValue(1, r);
        else if (FCaret > FirstPosition())
            MoveCaret(PrevPos(FCaret), false);
        else if (Settings.AutoAdvanceLeftRight)
            r.Advance = adPrevious;
        break;
    case ccDown:
    case ccRight:
        if (command == ccDown && Settings.AutoAdvanceUpDown)
            r.Advance = adNext;
        else if (command == ccDown && arrowsStep)
            StepValue(-1, r);
        else if (FCaret > LastPosition()) {
            if (Settings.AutoAdvanceLeftRight) r.Advance = adNext;
        } else
            MoveCaret(NextPos(FCaret), false);
        break;
    case ccHome: MoveCaret(FirstPosition(), false); break;
    case ccEnd: MoveCaret(EndOfText(), false); break;
    case ccWordLeft: MoveCaret(wordLeft(), false); break;
    case ccWordRight: MoveCaret(wordRight(), false); break;
    case ccExtendLeft:
        if (FCaret > FirstPosition()) MoveCaret(PrevPos(FCaret), true);
        keepSelection = true;
        break;
    case ccExtendRight:
        if (FCaret <= LastPosition()) MoveCaret(NextPos(FCaret), true);
        keepSelection = true;
        break;
    case ccExtendHome:
        MoveCaret(FirstPosition(), true);
        keepSelection = true;
        break;
    case ccExtendEnd:
        MoveCaret(EndOfText(), true);
        keepSelection = true;
        break;
    case ccExtWordLeft:
        MoveCaret(wordLeft(), true);
        keepSelection = true;
        break;
    case ccExtWordRight:
        MoveCaret(wordRight(), true);
        keepSelection = true;
        break;
    case ccInc: StepValue(1, r); break;
    case ccDec: StepValue(-1, r); break;
    case ccIns:
        if (!options.Contains(efoForceInsert) && !options.Contains(efoForceOvertype)) InsertMode = !InsertMode;
        keepSelection = true;
        break;
    case ccRestore:
        if (FHasSaved) {
            FModel.RestoreTextState(FSaved);
            FCleaned = false;
            FCaret = EntryCaret();
            SelectAll();
            Modified = false;
            r.TextChanged = true;
            return r;
        }
        break;
    case ccCopy:
    case ccPaste: keepSelection = true; break;
    case ccCut: DeleteSelection(r); break;
    case ccCtrlChar:
        FPendingLiteral = true;
        keepSelection = true;
        break;
    case ccCompleteDate:
        if (FModel.GetDataType() == pftDate) CompleteDateTime(r);
        break;
    case ccCompleteTime:
        if (FModel.GetDataType() == pftTime) CompleteDateTime(r);
        break;
    default: keepSelection = true; break;
    }
    if (!keepSelection) Collapse();
    // Crossing the point lines the typed digits up at it; the jump to the
    // start of a deleted selection is no crossing.
    if (FSelectionDeleted) before = FCaret;
    const int dot = FModel.Mask().DecimalPos();
    if (dot >= 0 && (before > dot) != (FCaret > dot) && !FModel.Overflowed()) {
        if (SetText(FModel.Mask().AlignDecimal(FModel.Text()))) r.TextChanged = true;
    }
    if (r.TextChanged) Modified = EverModified = true;
    return r;
}

TEntEditResult TEntPictureEditor::ExecuteCharField(uint16_t command) {
    TEntEditResult r;
    const int p = FirstPosition();
    const TEntEntryFieldOptions options = FModel.GetOptions();
    const bool arrowsStep = options.Contains(efoArrowIncDec) && !options.Contains(efoReadOnly);
    bool keepSelection = false;
    if (command != ccCtrlChar) FPendingLiteral = false;
    switch (command) {
    case ccInc: StepValue(1, r); break;
    case ccDec: StepValue(-1, r); break;
    case ccUp:
        if (Settings.AutoAdvanceUpDown)
            r.Advance = adPrevious;
        else if (arrowsStep)
            StepValue(1, r);
        else if (Settings.AutoAdvanceLeftRight)
            r.Advance = adPrevious;
        break;
    case ccDown:
        if (Settings.AutoAdvanceUpDown)
            r.Advance = adNext;
        else if (arrowsStep)
            StepValue(-1, r);
        else if (Settings.AutoAdvanceLeftRight)
            r.Advance = adNext;
        break;
    case ccLeft:
        if (Settings.AutoAdvanceLeftRight) r.Advance = adPrevious;
        break;
    case ccRight:
        if (Settings.AutoAdvanceLeftRight) r.Advance = adNext;
        break;
    case ccExtendLeft:
    case ccExtendRight:
    case ccExtendHome:
    case ccExtendEnd:
    case ccExtWordLeft:
    case ccExtWordRight:
        if (HasSelection()) {
            FCaret = p;
            Collapse();
        } else {
            FSelStart = FAnchor = p;
            FSelEnd = p + 1;
        }
        keepSelection = true;
        break;
    case ccBack:
    case ccDel:
    case ccDelBol:
    case ccDelEol:
    case ccDelLine:
    case ccDelWord:
    case ccCut:
        // a blank is a character; a boolean has none
        if (FModel.GetDataType() == pftChar && IsEditable(p)) {
            std::string s = FModel.Text();
            s[p] = ' ';
            r.TextChanged = SetText(s);
        }
        break;
    case ccIns:
        if (!options.Contains(efoForceInsert) && !options.Contains(efoForceOvertype)) InsertMode = !InsertMode;
        break;
    case ccRestore:
        if (FHasSaved) {
            FModel.RestoreTextState(FSaved);
            SelectAll();
            FCaret = p;
            Modified = false;
            r.TextChanged = true;
            return r;
        }
        break;
    case ccCtrlChar: FPendingLiteral = true; break;
    default: keepSelection = true; break;
    }
    FCaret = p;
    if (!keepSelection) Collapse();
    if (r.TextChanged) Modified = EverModified = true;
    return r;
}

TEntEditResult TEntPictureEditor::TypeChar(char ch) {
    if (ch == 0) return {};
    if (FModel.GetOptions().Contains(efoReadOnly)) return Refuse();
    TEntEditResult r;
    if (IsCharType(FModel.GetDataType())) {
        const int p = FirstPosition();
        char c = ch;
        const bool ok = Accepts(p, c);
        FPendingLiteral = false;
        if (!ok) return Refuse();
        std::string s = FModel.Text();
        s[p] = c;
        r.TextChanged = SetText(s);
        FCaret = p;
        Collapse();
        if (r.TextChanged) Modified = EverModified = true;
        return r;
    }

    PrepareForCommand(ccNone, true);
    BeginTextChange();
    int before = FCaret;
    const TEntPictureMask& mask = FModel.Mask();
    const int dot = mask.DecimalPos();
    const bool decimalKey = dot >= 0 && ch == FModel.Intl().DecimalChar && !FPendingLiteral;

    if (HasSelection()) {
        const int at = IsEditable(FSelStart) ? FSelStart : NextPos(FSelStart);
        char c = ch;
        if (decimalKey || Accepts(at, c)) {
            DeleteSelection(r);
            before = FCaret;
        }
    }
    if (FCaret <= LastPosition() && !IsEditable(FCaret)) FCaret = NextPos(FCaret);

    if (decimalKey) {
        if (SetText(mask.AlignDecimal(FModel.Text()))) r.TextChanged = true;
        FCaret = NextPos(dot);
        Collapse();
    } else if (FCaret > LastPosition()) {
        if (Settings.AutoAdvanceChar)
            r.Advance = adNext;
        else
            r.Beep = Settings.BeepOnError;
    } else {
        char c = ch;
        const bool literal = FPendingLiteral;
        FPendingLiteral = false;
        if (!literal && !Accepts(FCaret, c)) {
            const TPictureDataType type = FModel.GetDataType();
            const char dateSep = FModel.Intl().DateChar, timeSep = FModel.Intl().TimeChar;
            const bool separator = (type == pftDate && ch == dateSep) || (type == pftTime && ch == timeSep) ||
                                   (type == pftDateTime && (ch == dateSep || ch == timeSep));
            int first, last;
            Segment(FCaret, first, last);
            bool segmentBlank = true;
            for (int i = first; i <= last; ++i)
                if (FModel.Text()[i] != ' ') segmentBlank = false;
            if (separator && !segmentBlank) {
                const int next = NextPos(last);
                if (next <= LastPosition())
                    FCaret = next;
                else if (Settings.AutoAdvanceChar)
                    r.Advance = adNext;
                else
                    r.Beep = Settings.BeepOnError;
            } else {
                r.Beep = Settings.BeepOnError;
            }
        } else {
            std::string s = FModel.Text();
            bool placed = true;
            if (InsertMode)
                placed = InsertAt(s, FCaret, c);
            else
                s[FCaret] = c;
            if (!placed) {
                r.Beep = Settings.BeepOnError;
            } else {
                if (SetText(s)) r.TextChanged = true;
                FCaret = NextPos(FCaret);
                if (FCaret > LastPosition() && Settings.AutoAdvanceChar) r.Advance = adNext;
            }
        }
        Collapse();
    }
    if (dot >= 0 && !decimalKey && (before > dot) != (FCaret > dot) && !FModel.Overflowed()) {
        if (SetText(mask.AlignDecimal(FModel.Text()))) r.TextChanged = true;
    }
    if (r.TextChanged) Modified = EverModified = true;
    return r;
}

TEntEditResult TEntPictureEditor::Paste(const std::string& text) {
    if (DesignTime) return {};
    if (FModel.GetOptions().Contains(efoReadOnly)) return Refuse();
    TEntEditResult r;
    if (IsCharType(FModel.GetDataType())) {
        const int p = FirstPosition();
        for (char ch : text) {
            char c = ch;
            if (!Accepts(p, c)) continue;
            std::string s = FModel.Text();
            s[p] = c;
            r.TextChanged = SetText(s);
            break;
        }
        if (r.TextChanged) Modified = EverModified = true;
        return r;
    }

    PrepareForCommand(ccPaste);
    BeginTextChange();
    DeleteSelection(r);
    const TEntPictureMask& mask = FModel.Mask();
    const TEntIntlSup& intl = FModel.Intl();
    const bool numeric = mask.IsNumericMask();
    const int dot = mask.DecimalPos();
    const bool hasComma = mask.Mask.find(',') != std::string::npos;
    const std::string currency = mask.Mask.find('$') != std::string::npos ? intl.CurrencyLtStr() : std::string();
    std::string s = FModel.Text();
    size_t k = 0;
    // Literals the text repeats at the caret (or before the first position) are skipped.
    int lit = FCaret <= FirstPosition() ? 0 : FCaret;
    while (k < text.size() && lit < Length() && !IsEditable(lit) && text[k] == s[lit]) {
        ++k;
        ++lit;
    }
    if (!IsEditable(FCaret) && FCaret <= LastPosition()) FCaret = NextPos(FCaret);
    while (k < text.size()) {
        const char ch = text[k];
        if (numeric) {
            if (ch == ' ') {
                ++k;
                continue;
            }
            if (dot >= 0 && ch == intl.DecimalChar) {
                s = mask.AlignDecimal(s);
                FCaret = NextPos(dot);
                ++k;
                continue;
            }
            if (ch == '.') {
                ++k;
                continue;
            }
            // the field lays in its own separators and currency symbol
            if ((hasComma && ch == intl.CommaChar) || currency.find(ch) != std::string::npos) {
                ++k;
                continue;
            }
        }
        if (FCaret > LastPosition()) break;
        char c = ch;
        const char prev = FCaret > 0 ? s[FCaret - 1] : ' ';
        if (!CharIsOK(MaskCharFor(FCaret), c, prev, true, intl, FModel.UserData())) break;
        if (!InsertAt(s, FCaret, c)) break;
        ++k;
        const int next = NextPos(FCaret);
        for (int p = FCaret + 1; p < next && p < Length() && k < text.size(); ++p)
            if (text[k] == s[p]) ++k;
        FCaret = next;
    }
    if (SetText(s)) r.TextChanged = true;
    Collapse();
    if (r.TextChanged) Modified = EverModified = true;
    return r;
}

// ---- mouse ----

void TEntPictureEditor::PrepareForMouse() { PrepareForCommand(ccNone); }

TEntEditResult TEntPictureEditor::Click(int index, bool shift) {
    PrepareForCommand(ccNone);
    index = std::clamp(index, 0, Length());
    if (shift) {
        MoveCaret(index, true);
    } else {
        MoveCaret(std::min(index, EndOfText()), false);
    }
    return {};
}

TEntEditResult TEntPictureEditor::Drag(int index) {
    MoveCaret(index, true);
    return {};
}

TEntEditResult TEntPictureEditor::DoubleClick(int index) {
    const TPictureDataType type = FModel.GetDataType();
    if (type >= pftReal && type <= pftSingle) {
        SelectAll();
        return {};
    }
    const std::string& s = FModel.Text();
    int p = std::clamp(index, 0, std::max(Length() - 1, 0));
    if (!IsEditable(p) || s[p] == ' ') {
        if (p > 0 && IsEditable(p - 1) && s[p - 1] != ' ')
            --p;
        else
            return {};
    }
    int a = p, b = p;
    while (IsEditable(a - 1) && s[a - 1] != ' ') --a;
    while (IsEditable(b + 1) && s[b + 1] != ' ') ++b;
    FSelStart = FAnchor = a;
    FSelEnd = FCaret = b + 1;
    return {};
}

// ---- selection, menu and focus ----

void TEntPictureEditor::SetSelection(int start, int end) {
    if (start == 65535) {
        Collapse();
    } else if (start == 0 && (end == 65535 || end == -1)) {
        SelectAll();
    } else if (start >= 0 && start <= end) {
        FSelStart = FAnchor = std::min(start, Length());
        FSelEnd = FCaret = std::min(end, Length());
    }
}

void TEntPictureEditor::SelectAll() {
    FSelStart = FAnchor = 0;
    FSelEnd = Length();
}

TEntEditMenuState TEntPictureEditor::MenuState(bool clipboardHasText) const {
    const bool readOnly = FModel.GetOptions().Contains(efoReadOnly);
    const bool selection = HasSelection();
    TEntEditMenuState m;
    m.Restore = Modified;
    m.Cut = selection && !readOnly;
    m.Copy = selection;
    m.Paste = !readOnly && clipboardHasText;
    m.Delete = selection && !readOnly;
    m.SelectAll = !(FSelStart == 0 && FSelEnd == Length());
    return m;
}

void TEntPictureEditor::BeginEdit(bool transient, bool leftWithError, bool fromClick, bool selectAll) {
    FModel.Editing = true;
    FPendingLiteral = false;
    if (!transient) {
        if (!leftWithError) Modified = false;
        FSaved = FModel.SaveTextState();
        FHasSaved = true;
    }
    if (!fromClick) {
        FCaret = EntryCaret();
        Collapse();
    }
    if (!transient && selectAll) SelectAll();
}

void TEntPictureEditor::AlignOnExit() {
    if (FModel.Overflowed() || FModel.Mask().DecimalPos() < 0 || FModel.IsEmpty()) return;
    SetText(FModel.Mask().AlignDecimal(FModel.Text()));
}

void TEntPictureEditor::EndEdit(bool keepPlace) {
    FModel.Editing = false;
    if (keepPlace) return;
    if (FCleaned && !FModel.Overflowed()) SetText(FModel.Mask().Reformat(FModel.Text()));
    FCleaned = false;
    FCaret = FirstPosition();
    Collapse();
}

void TEntPictureEditor::AfterPut() {
    FCleaned = false;
    Modified = EverModified = false;
    if (FModel.Editing) {
        FCaret = EntryCaret();
        SelectAll();
    } else {
        FCaret = std::min(FCaret, Length());
        Collapse();
    }
}
