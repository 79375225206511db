#include "enturl.h"

#include "Dialogs.h"

namespace {
// The desktop takes at most this many characters of an address.
constexpr size_t MaxAddressLength = 1023;
}  // namespace

TEntURL::TEntURL(TComponent* AOwner) : TLabel(AOwner) {
    SetCursor(crHandPoint);
    GetFont()->SetStyle(GetFont()->GetStyle() + fsUnderline);
}

TEntURL::~TEntURL() = default;

void TEntURL::SetURL(const std::string& Value) {
    if (Value == FURL) return;
    FURL = Value;
    if (GetCaption().empty()) {
        Invalidate();
        AdjustBounds();
    }
}

std::string TEntURL::GetLabelText() const {
    const std::string caption = GetText();
    return caption.empty() ? FURL : caption;
}

void TEntURL::SetHighlightColor(TColor Value) {
    if (Value == FHighlightColor) return;
    FHighlightColor = Value;
    FSavedColor = NoSavedColor;
}

void TEntURL::SetVisitedColor(TColor Value) {
    if (Value == FVisitedColor) return;
    FVisitedColor = Value;
    FSavedColor = NoSavedColor;
}

bool TEntURL::GetUnderlineURL() const { return GetFont()->GetStyle().Contains(fsUnderline); }

void TEntURL::SetUnderlineURL(bool Value) {
    TFontStyles style = GetFont()->GetStyle();
    if (Value)
        style += fsUnderline;
    else
        style -= fsUnderline;
    GetFont()->SetStyle(style);
}

bool TEntURL::Hovering() const { return FHoverTimer && FHoverTimer->GetEnabled(); }

void TEntURL::Click() {
    if (!FURL.empty()) {
        const std::string address = FURL.substr(0, MaxAddressLength);
        if (ShellExecute(0, "open", address, "", "", SW_SHOWNORMAL) <= 32) MessageBeep(0);
    }
    TLabel::Click();
    if (UseVisitedColor) FSavedColor = FVisitedColor == clNone ? GetFont()->GetColor() : FVisitedColor;
}

void TEntURL::MouseMove(TShiftState Shift, int X, int Y) {
    TLabel::MouseMove(Shift, X, Y);
    FPointerInside = true;
    if (Hovering()) return;
    if (FSavedColor == NoSavedColor) FSavedColor = GetFont()->GetColor();
    if (FHighlightColor != clNone) GetFont()->SetColor(FHighlightColor);
    if (!FHoverTimer) {
        FHoverTimer = std::make_unique<TTimer>(nullptr);
        FHoverTimer->SetEnabled(false);
        FHoverTimer->SetInterval(HoverInterval);
        FHoverTimer->OnTimer = [this](TObject*) { HoverTimerTick(); };
    }
    FHoverTimer->SetEnabled(true);
}

void TEntURL::HoverTimerTick() {
    if (FPointerInside) return;
    // Stopped rather than freed: this runs inside the timer's own tick.
    if (FHoverTimer) FHoverTimer->SetEnabled(false);
    if (FSavedColor != NoSavedColor) GetFont()->SetColor(TColor(FSavedColor));
    Invalidate();
}

void TEntURL::CMMouseEnter(TMessage& Message) {
    TLabel::CMMouseEnter(Message);
    FPointerInside = true;
}

void TEntURL::CMMouseLeave(TMessage& Message) {
    TLabel::CMMouseLeave(Message);
    FPointerInside = false;
}
