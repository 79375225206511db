#include "FnpNumericEdit.h"

#include <mutex>

#include "Dialogs.h"
#include "Forms.h"
#include "TypInfo.h"

namespace {

// The code points of a UTF-8 text; a stray byte stands for itself.
std::u32string CodePoints(const std::string& s) {
    std::u32string out;
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        int extra = c >= 0xF0 ? 3 : c >= 0xE0 ? 2 : c >= 0xC0 ? 1 : 0;
        if (extra && i + extra >= s.size()) extra = 0;
        char32_t cp = extra == 0 ? c : c & (0x3F >> extra);
        for (int k = 1; k <= extra; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        out += cp;
        i += 1 + extra;
    }
    return out;
}

// Sets a flag for the length of a scope.
class TFlagScope {
public:
    TFlagScope(bool& Flag, bool Value) : FFlag(Flag), FOld(Flag) { FFlag = Value; }
    ~TFlagScope() { FFlag = FOld; }
    TFlagScope(const TFlagScope&) = delete;
    TFlagScope& operator=(const TFlagScope&) = delete;

private:
    bool& FFlag;
    bool FOld;
};

}  // namespace

TFnpNumericEdit::TFnpNumericEdit(TComponent* AOwner) : TCustomEdit(AOwner) {
    FWidth = 73;
    FAlignment = taRightJustify;
    SetText(FloatToStr(0));
    SetDecimals(2);
}

void TFnpNumericEdit::LoadModel() {
    FModel.Text = GetText();
    FModel.SelStart = GetSelStart();
    FModel.SelLength = GetSelLength();
    FModel.MaxLength = GetMaxLength();
}

void TFnpNumericEdit::ApplyModel(TChangeNotify Notify) {
    TEditBuffer before = FBuffer;
    if (FModel.Text != FBuffer.GetText()) {
        // The rules decide the length; the buffer must not cut their result.
        const int maxLength = FBuffer.MaxLength;
        FBuffer.MaxLength = 0;
        FBuffer.SetText(FModel.Text);
        FBuffer.MaxLength = maxLength;
    }
    FBuffer.SetSel(FModel.SelStart, FModel.SelLength);
    TFlagScope scope(FChangeSuspended, FChangeSuspended || Notify == TChangeNotify::Suspend);
    BufferChanged(before, true);
}

void TFnpNumericEdit::SetTextSuspended(const std::string& Value) {
    TFlagScope scope(FChangeSuspended, true);
    SetText(Value);
}

void TFnpNumericEdit::SetDecimals(int Value) {
    LoadModel();
    FModel.SetDecimals(Value, FormatSettings);
    SetTextSuspended(FModel.Text);
}

void TFnpNumericEdit::SetValue(double Value) {
    const std::string text = FModel.FormatValue(Value, FormatSettings);
    if (text == GetText()) return;
    if (ComponentState.Contains(csLoading))
        SetTextSuspended(text);
    else
        SetText(text);
}

long double TFnpNumericEdit::GetAsFloat() const { return StrToFloat(GetText(), FormatSettings); }

int TFnpNumericEdit::GetAsInteger() const {
    TFnpNumericEditModel m = FModel;
    m.Text = GetText();
    return m.AsInteger(FormatSettings);
}

void TFnpNumericEdit::SetAsFloat(double Value) { SetText(FModel.FormatValue(Value, FormatSettings)); }

void TFnpNumericEdit::SetAsInteger(int Value) { SetText(FModel.FormatValue(Value, FormatSettings)); }

void TFnpNumericEdit::Change() {
    // A suspended change keeps OnChange quiet; the range event still runs.
    if (!FChangeSuspended) TCustomEdit::Change();
    long double v;
    if (OnValidChange && TryStrToFloat(GetText(), v, FormatSettings) && FModel.InRange(v)) OnValidChange(this);
}

void TFnpNumericEdit::DoExit() {
    if (FModel.RangeSet()) {
        long double v;
        const bool valid = TryStrToFloat(GetText(), v, FormatSettings) && FModel.InRange(v);
        if (!valid && OnInvalidEntry) OnInvalidEntry(this);
    }
    TCustomEdit::DoExit();
}

void TFnpNumericEdit::KeyDown(Word& Key, TShiftState Shift) {
    if (!GetReadOnly() && Key == VK_DELETE) {
        LoadModel();
        FModel.DeleteKey();
        ApplyModel(TChangeNotify::Fire);
        Key = 0;
    }
    TCustomEdit::KeyDown(Key, Shift);
}

void TFnpNumericEdit::KeyPress(char32_t& Key) {
    if (Key == 13 || Key == 27) {
        // The form's default and cancel buttons act on Enter and Escape.
        if (TForm* form = GetParentForm(this)) form->Perform(CM_DIALOGKEY, Key == 13 ? VK_RETURN : VK_ESCAPE, 0);
        if (Key == 13) Key = 0;
    }
    TCustomEdit::KeyPress(Key);
    if (GetReadOnly() || Key == 0) return;
    LoadModel();
    switch (FModel.KeyPress(Key, FormatSettings.DecimalSeparator)) {
    case TFnpKeyAction::Platform: return;  // the clipboard keys
    case TFnpKeyAction::Edited: ApplyModel(TChangeNotify::Fire); break;
    case TFnpKeyAction::Rejected: break;
    }
    Key = 0;
}

void TFnpNumericEdit::WMCut(TMessage& Message) {
    (void)Message;
    if (GetSelLength() == 0) return;
    Clipboard()->SetAsText(GetSelText());
    if (GetReadOnly()) return;
    LoadModel();
    FModel.DeleteSelection();
    ApplyModel(TChangeNotify::Fire);
}

void TFnpNumericEdit::WMPaste(TMessage& Message) {
    (void)Message;
    if (GetReadOnly()) return;
    const std::string text = Clipboard()->GetAsText();
    LoadModel();
    FModel.DeleteSelection();
    ApplyModel(TChangeNotify::Suspend);
    // Each character passes the typing rules as if typed.
    for (char32_t c : CodePoints(text)) Perform(WM_CHAR, WPARAM(c), 0);
}

// ---------------------------------------------------------------------------
// Published properties

void RegisterFnpNumericEditClass() {
    RegisterStdCtrlsClasses();
    static std::once_flag once;
    std::call_once(once, [] {
        using T = TFnpNumericEdit;
        Published<T>("TFnpNumericEdit", "TCustomEdit")
            .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &T::GetAlignment, &T::SetAlignment)
            .Int("Decimals", &T::GetDecimals, &T::SetDecimals)
            .Float("MaxValue", &T::GetMaxValue, &T::SetMaxValue)
            .Float("MinValue", &T::GetMinValue, &T::SetMinValue)
            .Float("Value", &T::GetValue, &T::SetValue)
            .Str("Version", &T::GetVersion, &T::SetVersion)
            .Event<TNotifyEvent>("OnInvalidEntry", &T::OnInvalidEntry)
            .Event<TNotifyEvent>("OnValidChange", &T::OnValidChange);
    });
}
