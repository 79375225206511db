#include "entcolor.h"

#include "FormReader.h"

// ---------------------------------------------------------------------------
// TEntColors

TEntColors::TEntColors(TColor DefaultBack, TColor DefaultText)
    : FDefBack(DefaultBack), FDefText(DefaultText), FBackColor(DefaultBack), FTextColor(DefaultText) {}

void TEntColors::Changed() {
    if (OnColorChange) OnColorChange(this);
}

void TEntColors::SetBackColor(TColor Value) {
    if (Value == FBackColor) return;
    FBackColor = Value;
    if (Value != FDefBack) FUseDefault = false;
    Changed();
}

void TEntColors::SetTextColor(TColor Value) {
    if (Value == FTextColor) return;
    FTextColor = Value;
    if (Value != FDefText) FUseDefault = false;
    Changed();
}

void TEntColors::SetUseDefault(bool Value) {
    if (Value == FUseDefault) return;
    FUseDefault = Value;
    if (Value) {
        FBackColor = FDefBack;
        FTextColor = FDefText;
        Changed();
    }
}

void TEntColors::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TEntColors*>(Source)) {
        SetBackColor(s->FBackColor);
        SetTextColor(s->FTextColor);
        return;
    }
    TPersistent::Assign(Source);
}

void TEntColors::DefineProperties(TFiler* Filer) {
    Filer->DefineProperty(
        "UseDefault", [](TReader* Reader) { (void)Reader->ReadBoolean(); }, nullptr, true);
}

// ---------------------------------------------------------------------------
// TEntEfColors

TEntEfColors::TEntEfColors()
    : FDisabled(std::make_unique<TEntColors>(clWindow, clGrayText)),
      FError(std::make_unique<TEntColors>(clRed, clBlack)),
      FHighlight(std::make_unique<TEntColors>(clHighlight, clHighlightText)) {
    for (TEntColors* c : {FDisabled.get(), FError.get(), FHighlight.get()})
        c->OnColorChange = [this](TObject*) {
            if (OnColorChange) OnColorChange(this);
        };
}

void TEntEfColors::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TEntEfColors*>(Source)) {
        FDisabled->Assign(s->FDisabled.get());
        FError->Assign(s->FError.get());
        FHighlight->Assign(s->FHighlight.get());
        return;
    }
    TPersistent::Assign(Source);
}

// ---------------------------------------------------------------------------
// Borders

void TEntBorder::Changed() {
    if (OnChange) OnChange(this);
}

void TEntBorder::SetEnabled(bool Value) {
    if (Value == FEnabled) return;
    FEnabled = Value;
    Changed();
}

void TEntBorder::SetBorderStyle(TEntBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    Changed();
}

void TEntBorder::SetPenColor(TColor Value) {
    if (Value == FPenColor) return;
    FPenColor = Value;
    Changed();
}

void TEntBorder::SetPenStyle(TPenStyle Value) {
    if (Value == FPenStyle) return;
    FPenStyle = Value;
    Changed();
}

void TEntBorder::SetPenWidth(int Value) {
    if (Value == FPenWidth || Value < 1) return;
    FPenWidth = Value;
    Changed();
}

void TEntBorder::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TEntBorder*>(Source)) {
        SetEnabled(s->FEnabled);
        SetPenColor(s->FPenColor);
        SetPenStyle(s->FPenStyle);
        SetPenWidth(s->FPenWidth);
        return;
    }
    TPersistent::Assign(Source);
}

TEntBorders::TEntBorders() {
    for (auto& b : FBorders) {
        b = std::make_unique<TEntBorder>();
        b->OnChange = [this](TObject*) {
            if (OnChange) OnChange(this);
        };
    }
}

bool TEntBorders::AnyEnabled() const {
    for (const auto& b : FBorders)
        if (b->GetEnabled()) return true;
    return false;
}

void TEntBorders::Assign(TPersistent* Source) {
    if (auto* s = dynamic_cast<TEntBorders*>(Source)) {
        for (int i = 0; i < 4; ++i) FBorders[i]->Assign(s->FBorders[i].get());
        return;
    }
    TPersistent::Assign(Source);
}

TRect TEntBorders::EdgeLine(TEntBorderEdge Edge, int PenWidth, int Width, int Height) {
    const int half = PenWidth / 2;
    const int even = PenWidth % 2 == 0 ? 1 : 0;
    switch (Edge) {
    case beLeft: return Rect(half, 0, half, Height);
    case beRight: return Rect(Width - half - even, 0, Width - half - even, Height);
    case beTop: return Rect(0, half, Width, half);
    case beBottom: return Rect(0, Height - half - even, Width, Height - half - even);
    }
    return Rect(0, 0, 0, 0);
}

void TEntBorders::Paint(TCanvas* Canvas, int Width, int Height) const {
    for (int i = 0; i < 4; ++i) {
        const TEntBorder& b = *FBorders[i];
        if (!b.GetEnabled()) continue;
        Canvas->GetPen()->SetColor(b.GetPenColor());
        Canvas->GetPen()->SetStyle(b.GetPenStyle());
        Canvas->GetPen()->SetWidth(b.GetPenWidth());
        const TRect line = EdgeLine(TEntBorderEdge(i), b.GetPenWidth(), Width, Height);
        Canvas->MoveTo(line.Left, line.Top);
        Canvas->LineTo(line.Right, line.Bottom);
    }
}

TEntFieldFrame FieldBorderStyle(const TEntBorders& Borders) {
    return Borders.AnyEnabled() ? TEntFieldFrame{bsNone, false} : TEntFieldFrame{bsSingle, true};
}
