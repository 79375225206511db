#include "NumCtrl.h"

#include "FnpNumericEdit.h"

#include <algorithm>
#include <mutex>

#include "MsgBox.h"
#include "TypInfo.h"

namespace {

// Posted to itself: take the focus back once the focus change has ended.
constexpr unsigned kNumEditRefocus = WM_USER + 0x0E11;

}  // namespace

// ---------------------------------------------------------------------------
// TMasks

void TMasks::SetMask(std::string& Field, const std::string& Value) {
    std::string v = Value.substr(0, TNumMasks::MaxMaskLength);
    if (v == Field) return;
    Field = v;
    if (OnChange) OnChange();
}

void TMasks::Assign(TPersistent* Source) {
    if (auto* src = dynamic_cast<TMasks*>(Source)) {
        FMasks = src->FMasks;
        if (OnChange) OnChange();
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// TCustomStrEdit

TCustomStrEdit::TCustomStrEdit(TComponent* AOwner) : TCustomEdit(AOwner) {}

void TCustomStrEdit::SetAlignment(TAlignment Value) {
    if (Value == FAlignment) return;
    FAlignment = Value;
    // The window is kept (this changes at every focus arrival and loss); only
    // its settings are applied again, and those must not lose the selection.
    if (HandleAllocated()) {
        const int anchor = FBuffer.Anchor(), caret = FBuffer.Caret();
        UpdateWidget();
        FBuffer.SetAnchorCaret(anchor, caret);
        SyncWidget();
    }
    Invalidate();
}

void TCustomStrEdit::DoEnter() {
    TCustomEdit::DoEnter();
    FSavedAlignment = FAlignment;
    SetAlignment(taLeftJustify);
}

void TCustomStrEdit::DoExit() {
    TCustomEdit::DoExit();
    SetAlignment(FSavedAlignment);
}

int TCustomStrEdit::TextMargin() {
    if (FTextMargin < 0) {
        TCanvas measure;
        TFont screenFont;
        TTextMetric tm;
        measure.SetFont(&screenFont);
        measure.GetTextMetrics(tm);
        int height = tm.tmHeight;
        measure.SetFont(GetFont());
        measure.GetTextMetrics(tm);
        FTextMargin = std::min(height, tm.tmHeight) / 4;
    }
    return FTextMargin;
}

void TCustomStrEdit::PaintWindow(QPainter& Painter) {
    // Left-aligned text (and the focused edit) is the edit's own painting.
    if (FAlignment == taLeftJustify) return;
    TCanvas canvas(&Painter);
    const TRect r = GetClientRect();
    const std::string text = GetText();
    canvas.SetFont(GetFont());
    canvas.GetBrush()->SetColor(FColor);
    canvas.FillRect(r);
    const int margin = FBorderStyle == bsSingle ? TextMargin() : 0;
    const int width = canvas.TextWidth(text);
    const int x = FAlignment == taRightJustify ? r.Right - width - margin : (r.Left + r.Right - width) / 2;
    canvas.TextRect(r, x, margin, text);
    if (FBorderStyle == bsSingle) {
        // Drawn last: the fill would cover it, and the edit keeps its outline.
        canvas.GetBrush()->SetColor(clWindowFrame);
        canvas.FrameRect(r);
    }
}

// ---------------------------------------------------------------------------
// TCustomNumEdit

TCustomNumEdit::TCustomNumEdit(TComponent* AOwner) : TCustomStrEdit(AOwner), FMasks(std::make_unique<TMasks>()) {
    FWidth = 85;
    FAlignment = taRightJustify;
    AutoSelect = true;
    FModel.Masks = FMasks->Data();
    FormatText();
    FModel.UseRounding = true;
    FMasks->OnChange = [this] { MasksChanged(); };
}

TCustomNumEdit::~TCustomNumEdit() { FMasks->OnChange = nullptr; }

void TCustomNumEdit::FormatText() { SetText(FModel.FormatText(FormatSettings)); }

void TCustomNumEdit::StripForEdit() { SetText(FModel.StripForEdit(GetText(), FormatSettings)); }

void TCustomNumEdit::MasksChanged() {
    FModel.Masks = FMasks->Data();
    FormatText();
}

void TCustomNumEdit::SetMasks(TMasks* Value) {
    (void)Value;  // the edit keeps its own masks object
    Invalidate();
}

void TCustomNumEdit::SetDecimals(uint16_t Value) {
    if (Value == FModel.Decimals) return;
    FModel.Decimals = Value;
    FormatText();
}

void TCustomNumEdit::SetDigits(uint16_t Value) {
    if (Value == FModel.Digits) return;
    FModel.Digits = Value;
    FormatText();
}

void TCustomNumEdit::SetNumericType(TNumericType Value) {
    if (Value == FModel.NumericType) return;
    FModel.NumericType = Value;
    FormatText();
}

void TCustomNumEdit::SetUseRounding(bool Value) { FModel.UseRounding = Value; }

void TCustomNumEdit::SetMin(long double Value) {
    if (Value == FModel.Min) return;
    FModel.Min = Value;
    if (FModel.Min > FModel.Value) FModel.Value = FModel.Min;
}

void TCustomNumEdit::SetMax(long double Value) {
    if (Value == FModel.Max) return;
    FModel.Max = Value;
    if (FModel.Max < FModel.Value) FModel.Value = FModel.Max;
}

void TCustomNumEdit::SetValidate(bool Value) {
    if (Value == FModel.Validate) return;
    FModel.Validate = Value;
    if (Value && (FModel.Value < FModel.Min || FModel.Value > FModel.Max)) {
        FModel.Value = FModel.Min;
        FormatText();
    }
}

void TCustomNumEdit::SetValue(long double Value) {
    if (Value == FModel.Value || !CheckRange(Value)) return;
    FModel.Value = Value;
    FormatText();
}

bool TCustomNumEdit::CheckRange(long double v) {
    if (FModel.InRange(v)) return true;
    MessageBox(FModel.RangeMessage(FormatSettings), "Information", MB_OK | MB_ICONINFORMATION);
    return false;
}

void TCustomNumEdit::DoEnter() {
    StripForEdit();
    FSavedMaxLength = GetMaxLength();
    SetEditMaxLength(FModel.Digits);
    TCustomStrEdit::DoEnter();
}

void TCustomNumEdit::KeyPress(char32_t& Key) {
    switch (TNumEditModel::FilterKey(GetText(), Key, FormatSettings)) {
    case TNumKeyVerdict::Rejected: Key = 0; return;
    case TNumKeyVerdict::AcceptedGrow:
        // Room for the separator or minus beyond the digits.
        if (GetMaxLength() > 0) SetEditMaxLength(GetMaxLength() + 1);
        break;
    case TNumKeyVerdict::Accepted: break;
    }
    TCustomStrEdit::KeyPress(Key);
}

void TCustomNumEdit::DoExit() {
    SetEditMaxLength(FSavedMaxLength);
    long double typed = 0;
    if (TNumEditModel::ParseTyped(GetText(), FormatSettings, typed) == TNumParseResult::NotANumber) {
        // The previous value comes back; the person stays in the edit, silently.
        FormatText();
        TCustomStrEdit::DoExit();
        PostRefocus();
        throw EAbort();
    }
    if (!CheckRange(typed)) {
        // Left as typed for correction; the focus change stops here.
        SelectAll();
        PostRefocus();
        throw EAbort();
    }
    FModel.Value = FModel.StoredValue(typed);
    FormatText();
    TCustomStrEdit::DoExit();
}

void TCustomNumEdit::SetEditMaxLength(int Value) {
    // The limit is the edit buffer's; the window is left alone, so the caret
    // and selection stay where the person put them.
    FBuffer.MaxLength = std::max(Value, 0);
}

void TCustomNumEdit::PostRefocus() { PostMessage(this, kNumEditRefocus, 0, 0); }

void TCustomNumEdit::Dispatch(TMessage& Message) {
    if (Message.Msg == kNumEditRefocus) {
        if (CanFocus()) SetFocus();
        return;
    }
    TCustomStrEdit::Dispatch(Message);
}

// ---------------------------------------------------------------------------
// Published properties

void RegisterNumCtrlClasses() {
    RegisterStdCtrlsClasses();
    static std::once_flag once;
    std::call_once(once, [] {
        const std::string persistent = ParentIfRegistered("TPersistent");
        Published<TMasks>("TMasks", persistent)
            .Str("PositiveMask", &TMasks::GetPositiveMask, &TMasks::SetPositiveMask)
            .Str("NegativeMask", &TMasks::GetNegativeMask, &TMasks::SetNegativeMask)
            .Str("ZeroMask", &TMasks::GetZeroMask, &TMasks::SetZeroMask);
        Published<TNumEdit>("TNumEdit", "TCustomEdit")
            .Int("Decimals", &TNumEdit::GetDecimals, &TNumEdit::SetDecimals)
            .Int("Digits", &TNumEdit::GetDigits, &TNumEdit::SetDigits)
            .Object("Masks", &TNumEdit::GetMasks)
            .Float("Max", &TNumEdit::GetMax, &TNumEdit::SetMax)
            .Float("Min", &TNumEdit::GetMin, &TNumEdit::SetMin)
            .Enum("NumericType", {"ntGeneral", "ntCurrency", "ntPercentage"}, &TNumEdit::GetNumericType,
                  &TNumEdit::SetNumericType)
            .Bool("UseRounding", &TNumEdit::GetUseRounding, &TNumEdit::SetUseRounding)
            .Float("Value", &TNumEdit::GetValue, &TNumEdit::SetValue)
            .Bool("Validate", &TNumEdit::GetValidate, &TNumEdit::SetValidate);
    });
}

void RegisterNumericEditClasses() {
    RegisterNumCtrlClasses();
    RegisterFnpNumericEditClass();
}
