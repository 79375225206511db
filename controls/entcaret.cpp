#include "entcaret.h"

#include <algorithm>

#include "Controls.h"

// ---------------------------------------------------------------------------
// TEntCaret

TEntCaret::TEntCaret() : FBitmap(std::make_unique<TBitmap>()) {}

TEntCaret::~TEntCaret() = default;

void TEntCaret::Changed() {
    // A listener may drop itself while told.
    auto listeners = FListeners;
    for (auto& [holder, listener] : listeners)
        if (listener) listener(this);
}

void TEntCaret::AddListener(const void* Holder, TNotifyEvent Listener) {
    RemoveListener(Holder);
    FListeners.emplace_back(Holder, std::move(Listener));
}

void TEntCaret::RemoveListener(const void* Holder) {
    FListeners.erase(
        std::remove_if(FListeners.begin(), FListeners.end(), [Holder](const auto& l) { return l.first == Holder; }),
        FListeners.end());
}

void TEntCaret::SetShape(TEntCaretShape Value) {
    if (Value == FShape) return;
    FShape = Value;
    switch (Value) {
    case csBlock: FAlign = caLeft; break;
    case csHalfBlock: FAlign = caBottom; break;
    case csVertLine:
        FAlign = caLeft;
        FCaretWidth = 2;
        break;
    case csHorzLine:
        FAlign = caBottom;
        FCaretHeight = 2;
        break;
    case csBitmap: FitBitmap(); break;
    case csCustom: break;
    }
    Changed();
}

void TEntCaret::SetAlign(TEntCaretAlign Value) {
    if (Value == FAlign) return;
    FAlign = Value;
    Changed();
}

void TEntCaret::SetCaretHeight(int Value) {
    if (Value == FCaretHeight || Value < 1) return;
    FCaretHeight = Value;
    Changed();
}

void TEntCaret::SetCaretWidth(int Value) {
    if (Value == FCaretWidth || Value < 1) return;
    FCaretWidth = Value;
    Changed();
}

void TEntCaret::SetBlinkTime(uint16_t Value) {
    if (Value == FBlinkTime) return;
    FBlinkTime = Value;
    Changed();
}

void TEntCaret::SetIsGray(bool Value) {
    if (Value == FIsGray) return;
    FIsGray = Value;
    Changed();
}

void TEntCaret::SetBitmap(TBitmap* Value) {
    FBitmap->Assign(Value);
    if (FShape == csBitmap) FitBitmap();
    Changed();
}

void TEntCaret::FitBitmap() {
    if (FBitmap->GetEmpty()) return;
    FCaretHeight = FBitmap->GetHeight();
    FCaretWidth = FBitmap->GetWidth();
}

void TEntCaret::SetBitmapHotSpotX(int Value) {
    if (Value == FHotSpotX) return;
    FHotSpotX = Value;
    if (FShape == csBitmap) Changed();
}

void TEntCaret::SetBitmapHotSpotY(int Value) {
    if (Value == FHotSpotY) return;
    FHotSpotY = Value;
    if (FShape == csBitmap) Changed();
}

void TEntCaret::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TEntCaret*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FShape = s->FShape;
    FAlign = s->FAlign;
    FCaretHeight = s->FCaretHeight;
    FCaretWidth = s->FCaretWidth;
    FBlinkTime = s->FBlinkTime;
    FIsGray = s->FIsGray;
    FBitmap->Assign(s->FBitmap.get());
    FHotSpotX = s->FHotSpotX;
    FHotSpotY = s->FHotSpotY;
    Changed();
}

// ---------------------------------------------------------------------------
// TEntSingleCaret

TEntSingleCaret::TEntSingleCaret(TWinControl* AOwner) : FOwner(AOwner) {}

TEntSingleCaret::~TEntSingleCaret() {
    if (FLinked) Unlink();
    if (FCaret) FCaret->RemoveListener(this);
}

void TEntSingleCaret::SetCaret(std::shared_ptr<TEntCaret> Value) {
    if (Value == FCaret) return;
    if (FCaret) FCaret->RemoveListener(this);
    FCaret = std::move(Value);
    if (FCaret) FCaret->AddListener(this, [this](TObject*) { CaretChanged(); });
    CaretChanged();
}

void TEntSingleCaret::SetCellSize(int Height, int Width) {
    const int h = Height >= 1 ? Height : FCellHeight;
    const int w = Width >= 1 ? Width : FCellWidth;
    if (h == FCellHeight && w == FCellWidth) return;
    FCellHeight = h;
    FCellWidth = w;
    CaretChanged();
}

void TEntSingleCaret::Recompute() {
    if (!FCaret) return;
    const TEntCaret& c = *FCaret;
    int w = c.GetCaretWidth();
    int h = c.GetCaretHeight();
    switch (c.GetShape()) {
    case csBlock:
        w = FCellWidth;
        h = FCellHeight;
        break;
    case csHalfBlock:
        w = FCellWidth;
        h = FCellHeight / 2;
        break;
    case csVertLine: h = FCellHeight; break;
    case csHorzLine: w = FCellWidth; break;
    case csBitmap:
        if (!c.GetBitmap()->GetEmpty()) {
            w = c.GetBitmap()->GetWidth();
            h = c.GetBitmap()->GetHeight();
        }
        break;
    case csCustom: break;
    }
    FWidthNow = w;
    FHeightNow = h;
    const int centredX = (FCellWidth - w) / 2;
    const int centredY = (FCellHeight - h) / 2;
    switch (c.GetAlign()) {
    case caLeft:
        FOffsetX = 0;
        FOffsetY = centredY;
        break;
    case caTop:
        FOffsetX = centredX;
        FOffsetY = 0;
        break;
    case caRight:
        FOffsetX = FCellWidth - w;
        FOffsetY = centredY;
        break;
    case caBottom:
        FOffsetX = centredX;
        FOffsetY = FCellHeight - h;
        break;
    case caCenter:
        FOffsetX = centredX;
        FOffsetY = centredY;
        break;
    }
    if (c.GetShape() == csBitmap) {
        FOffsetX -= c.GetBitmapHotSpotX();
        FOffsetY -= c.GetBitmapHotSpotY();
    }
}

void TEntSingleCaret::CaretChanged() {
    if (FLinked) {
        // The system caret has one shape: make it again.
        const bool visible = FVisible;
        Unlink();
        FVisible = visible;
        Recompute();
        Link();
    } else {
        Recompute();
    }
}

void TEntSingleCaret::PlaceSystemCaret() {
    if (FPosX < 0 || FPosY < 0)
        SetCaretPos(OffPosition, OffPosition);
    else
        SetCaretPos(FPosX + FOffsetX, FPosY + FOffsetY);
}

void TEntSingleCaret::Link() {
    if (FLinked || !FOwner || !FCaret) return;
    Recompute();
    FSavedBlinkTime = GetCaretBlinkTime();
    if (!CreateCaret(FOwner, FWidthNow, FHeightNow, FCaret->GetIsGray())) return;
    FLinked = true;
    PlaceSystemCaret();
    if (FVisible) ShowCaret(FOwner->TargetId());
    const unsigned blink = FCaret->GetBlinkTime();
    if (blink != 0 && blink != FSavedBlinkTime) SetCaretBlinkTime(blink);
}

void TEntSingleCaret::Unlink() {
    if (!FLinked) return;
    FLinked = false;
    if (GetCaretBlinkTime() != FSavedBlinkTime) SetCaretBlinkTime(FSavedBlinkTime);
    DestroyCaret();
}

void TEntSingleCaret::SetVisible(bool Value) {
    if (Value == FVisible) return;
    FVisible = Value;
    if (!FLinked || !FOwner) return;
    if (Value)
        ShowCaret(FOwner->TargetId());
    else
        HideCaret(FOwner->TargetId());
}

void TEntSingleCaret::SetPosition(int X, int Y) {
    if (X == FPosX && Y == FPosY) return;
    FPosX = X;
    FPosY = Y;
    if (FLinked) PlaceSystemCaret();
}

// ---------------------------------------------------------------------------
// TEntCaretPair

TEntCaretPair::TEntCaretPair(TWinControl* AOwner)
    : TEntSingleCaret(AOwner), FCaretIns(std::make_shared<TEntCaret>()), FCaretOvr(std::make_shared<TEntCaret>()) {
    FCaretIns->SetShape(csVertLine);
    FCaretOvr->SetShape(csBlock);
    SetCaret(FCaretIns);
}

TEntCaretPair::~TEntCaretPair() = default;

void TEntCaretPair::SetCaretIns(const std::shared_ptr<TEntCaret>& Value) {
    if (!Value || Value == FCaretIns) return;
    FCaretIns = Value;
    if (FInsertMode) SetCaret(FCaretIns);
}

void TEntCaretPair::SetCaretOvr(const std::shared_ptr<TEntCaret>& Value) {
    if (!Value || Value == FCaretOvr) return;
    FCaretOvr = Value;
    if (!FInsertMode) SetCaret(FCaretOvr);
}

void TEntCaretPair::SetInsertMode(bool Value) {
    if (Value == FInsertMode) return;
    FInsertMode = Value;
    SetCaret(FInsertMode ? FCaretIns : FCaretOvr);
}
