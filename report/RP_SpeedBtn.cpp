#include "RP_SpeedBtn.h"

#include <algorithm>
#include <mutex>

#include "TypInfo.h"

namespace {

constexpr TColor kGray = TColor(0x808080);

TColor Rgb(int r, int g, int b) { return TColor(r | (g << 8) | (b << 16)); }
int Red(TColor c) { return int(c) & 0xFF; }
int Green(TColor c) { return (int(c) >> 8) & 0xFF; }
int Blue(TColor c) { return (int(c) >> 16) & 0xFF; }

std::unique_ptr<TBitmap> NewImage(int w, int h, TColor fill) {
    auto b = std::make_unique<TBitmap>();
    b->SetSize(w, h);
    b->GetCanvas()->GetBrush()->SetColor(fill);
    b->GetCanvas()->FillRect(TRect{0, 0, w, h});
    return b;
}

int PlainColor(TColor c) { return int(ColorToRGB(c)); }

}  // namespace

// ------------------------------------------------------------------ lists

int TGlyphList::Add(std::unique_ptr<TBitmap> image) {
    for (size_t i = 0; i < FUsed.size(); ++i)
        if (!FUsed[i]) {
            if (FImages.size() <= i) FImages.resize(i + 1);
            FImages[i] = std::move(image);
            FUsed[i] = true;
            return int(i);
        }
    throw EInvalidOperation("Glyph list of " + std::to_string(Width) + " x " + std::to_string(Height) + " is full");
}

void TGlyphList::Delete(int index) {
    if (index < 0 || size_t(index) >= FImages.size()) return;
    FImages[size_t(index)].reset();
    FUsed[size_t(index)] = false;
}

TGlyphList* TGlyphCache::GetList(int width, int height) {
    for (auto& l : FLists)
        if (l->Width == width && l->Height == height) return l.get();
    FLists.push_back(std::make_unique<TGlyphList>(width, height));
    return FLists.back().get();
}

void TGlyphCache::ReturnList(TGlyphList* list) {
    if (!list || list->Count() > 0) return;
    FLists.erase(std::remove_if(FLists.begin(), FLists.end(), [list](const auto& l) { return l.get() == list; }),
                 FLists.end());
}

TGlyphCache& rpGlyphCache() {
    static TGlyphCache cache;
    return cache;
}

// ------------------------------------------------------------------ glyph

TButtonGlyph::TButtonGlyph() = default;

TButtonGlyph::~TButtonGlyph() { Invalidate(); }

void TButtonGlyph::Invalidate() {
    if (FList) {
        for (int& i : FIndex) {
            if (i >= 0) FList->Delete(i);
            i = -1;
        }
        rpGlyphCache().ReturnList(FList);
        FList = nullptr;
    }
}

void TButtonGlyph::SetGlyph(TBitmap* value) {
    Invalidate();
    if (!value)
        FSource.SetSize(0, 0);
    else if (value != &FSource)
        FSource.Assign(value);
    if (!FSource.GetEmpty()) {
        TransparentColor = FSource.GetTransparentColor();
        int w = FSource.GetWidth(), h = FSource.GetHeight();
        if (h > 0 && w % h == 0) {
            int n = w / h;
            FNumGlyphs = n > 4 ? 1 : n;
        }
    }
}

void TButtonGlyph::SetNumGlyphs(int value) {
    value = std::clamp(value, 1, 4);
    if (value == FNumGlyphs) return;
    FNumGlyphs = value;
    Invalidate();
}

TBitmap* TButtonGlyph::StateImage(TrpButtonState state) {
    if (FSource.GetEmpty() || FSource.GetHeight() <= 0) return nullptr;
    if (state == rbsDown && FNumGlyphs < 3) state = rbsUp;
    const int w = FSource.GetWidth() / FNumGlyphs, h = FSource.GetHeight();
    if (w <= 0) return nullptr;
    if (!FList) FList = rpGlyphCache().GetList(w, h);
    if (FIndex[state] >= 0) return FList->Get(FIndex[state]);
    const int source = int(state) < FNumGlyphs ? int(state) : 0;
    TCanvas* src = FSource.GetCanvas();
    const TColor face = clBtnFace;
    std::unique_ptr<TBitmap> image;
    auto copy = [&](int index) {
        auto b = NewImage(w, h, face);
        b->GetCanvas()->CopyRect(TRect{0, 0, w, h}, src, TRect{index * w, 0, index * w + w, h});
        return b;
    };
    const int transparent = PlainColor(TransparentColor);
    switch (state) {
    case rbsUp:
    case rbsDown:
    case rbsExclusive:
        image = copy(source);
        image->SetTransparentColor(TransparentColor);
        break;
    case rbsDisabled:
        if (FNumGlyphs < 2) {
            // Embossed: the up image's outline in highlight one pixel right and
            // down, then in shadow in place, on the button face.
            auto up = copy(0);
            image = NewImage(w, h, face);
            TCanvas* c = image->GetCanvas();
            for (int pass = 0; pass < 2; ++pass) {
                TColor colour = pass == 0 ? clBtnHighlight : clBtnShadow;
                int d = pass == 0 ? 1 : 0;
                for (int y = 0; y < h; ++y)
                    for (int x = 0; x < w; ++x)
                        if (PlainColor(up->GetCanvas()->GetPixel(x, y)) != transparent && x + d < w && y + d < h)
                            c->SetPixel(x + d, y + d, colour);
            }
        } else {
            image = copy(1);
            TCanvas* c = image->GetCanvas();
            for (int y = 0; y < h; ++y)
                for (int x = 0; x < w; ++x) {
                    int p = PlainColor(c->GetPixel(x, y));
                    if (p == 0xFFFFFF)
                        c->SetPixel(x, y, clBtnHighlight);
                    else if (p == 0x808080)
                        c->SetPixel(x, y, clBtnShadow);
                    else if (p == transparent)
                        c->SetPixel(x, y, face);
                }
        }
        image->SetTransparentColor(face);
        break;
    case rbsInactive: {
        image = copy(source);
        TCanvas* c = image->GetCanvas();
        const int faceRgb = PlainColor(face);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                TColor p = c->GetPixel(x, y);
                int rgb = PlainColor(p);
                if (rgb == transparent) {
                    c->SetPixel(x, y, face);
                    continue;
                }
                if (rgb == faceRgb) continue;
                int level = (77 * Red(p) + 150 * Green(p) + 29 * Blue(p)) / 256;
                c->SetPixel(x, y, Rgb(level, level, level));
            }
        image->SetTransparentColor(face);
        break;
    }
    }
    FIndex[state] = FList->Add(std::move(image));
    return FList->Get(FIndex[state]);
}

// ------------------------------------------------------------------ button

TrpSpeedButton::TrpSpeedButton(TComponent* owner) : TGraphicControl(owner) {
    SetBounds(0, 0, 22, 22);
    ControlStyle += csCaptureMouse;
    ControlStyle += csOpaque;
    ControlStyle += csDoubleClicks;
    SetParentFont(true);
}

TrpSpeedButton::~TrpSpeedButton() = default;

void TrpSpeedButton::SetGlyph(TBitmap* value) {
    FGlyph.SetGlyph(value);
    Invalidate();
}

void TrpSpeedButton::SetNumGlyphs(int value) {
    FGlyph.SetNumGlyphs(value);
    Invalidate();
}

void TrpSpeedButton::SetMargin(int value) {
    if (value < -1 || value == FMargin) return;
    FMargin = value;
    Invalidate();
}

void TrpSpeedButton::SetFlat(bool value) {
    FFlat = value;
    Invalidate();
}

void TrpSpeedButton::SetGroupIndex(int value) {
    FGroupIndex = value;
    UpdateExclusive();
}

void TrpSpeedButton::SetAllowAllUp(bool value) {
    AllowAllUp = value;
    UpdateExclusive();
}

void TrpSpeedButton::SetDown(bool value) {
    if (FGroupIndex == 0) value = false;
    if (value == FDown) return;
    if (FDown && !AllowAllUp) return;
    FDown = value;
    State = value ? rbsExclusive : rbsUp;
    Invalidate();
    if (value) UpdateExclusive();
}

void TrpSpeedButton::UpdateExclusive() {
    if (FGroupIndex == 0 || !GetParent()) return;
    TWinControl* parent = GetParent();
    for (int i = 0; i < parent->ControlCount(); ++i)
        parent->Controls(i)->Perform(CM_BUTTONPRESSED, WPARAM(FGroupIndex), LPARAM(this));
}

void TrpSpeedButton::WndProc(TMessage& message) {
    if (message.Msg == CM_BUTTONPRESSED && int(message.WParam) == FGroupIndex &&
        reinterpret_cast<TrpSpeedButton*>(message.LParam) != this) {
        auto* sender = reinterpret_cast<TrpSpeedButton*>(message.LParam);
        if (sender->FDown && FDown) {
            FDown = false;
            State = rbsUp;
            Invalidate();
        }
        AllowAllUp = sender->AllowAllUp;
        return;
    }
    TGraphicControl::WndProc(message);
}

void TrpSpeedButton::Click() { TGraphicControl::Click(); }

void TrpSpeedButton::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseDown(button, shift, x, y);
    if (button != mbLeft || !GetEnabled()) return;
    if (!FDown) {
        State = rbsDown;
        Invalidate();
    }
    Dragging = true;
}

void TrpSpeedButton::MouseMove(TShiftState shift, int x, int y) {
    TGraphicControl::MouseMove(shift, x, y);
    if (!Dragging) return;
    bool inside = x >= 0 && x < GetWidth() && y >= 0 && y < GetHeight();
    TrpButtonState next = inside ? (FDown ? rbsExclusive : rbsDown) : (FDown ? rbsExclusive : rbsUp);
    if (next != State) {
        State = next;
        Invalidate();
    }
}

void TrpSpeedButton::MouseUp(TMouseButton button, TShiftState shift, int x, int y) {
    TGraphicControl::MouseUp(button, shift, x, y);
    if (!Dragging) return;
    Dragging = false;
    bool inside = x >= 0 && x < GetWidth() && y >= 0 && y < GetHeight();
    if (FGroupIndex == 0) {
        State = rbsUp;
    } else if (inside) {
        SetDown(!FDown);
        State = FDown ? rbsExclusive : rbsUp;
    } else if (FDown) {
        State = rbsExclusive;
    }
    if (FFlat) MouseInControl = inside;
    Invalidate();
    if (inside) Click();
}

void TrpSpeedButton::DblClick() {
    if (FDown) TGraphicControl::DblClick();
}

void TrpSpeedButton::CMMouseEnter(TMessage& message) {
    TGraphicControl::CMMouseEnter(message);
    if (FFlat && GetEnabled() && !MouseInControl) {
        MouseInControl = true;
        Invalidate();
        if (OnMouseEnterButton) OnMouseEnterButton(this);
    }
}

void TrpSpeedButton::CMMouseLeave(TMessage& message) {
    TGraphicControl::CMMouseLeave(message);
    if (FFlat && GetEnabled() && MouseInControl) {
        MouseInControl = false;
        Invalidate();
        if (OnMouseLeaveButton) OnMouseLeaveButton(this);
    }
}

void TrpSpeedButton::Paint() {
    TCanvas* c = GetCanvas();
    const TrpButtonState remembered = State;
    TrpButtonState paint = State;
    if (!GetEnabled()) {
        paint = rbsDisabled;
        Dragging = false;
    } else if (GrayedInactive && FFlat && !MouseInControl) {
        paint = rbsInactive;
    } else if (paint == rbsDisabled) {
        paint = FDown && FGroupIndex != 0 ? rbsExclusive : rbsUp;
    }
    TRect r{0, 0, GetWidth(), GetHeight()};
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(clBtnFace);
    c->FillRect(r);
    if (!FFlat) {
        TRect edge = r;
        c->DrawEdge(edge, paint == rbsDown || paint == rbsExclusive ? EDGE_SUNKEN : EDGE_RAISED, BF_RECT);
    }
    const bool patterned = FFlat ? GetEnabled() && !MouseInControl &&
                                       (paint == rbsExclusive || (remembered == rbsExclusive && paint == rbsInactive))
                                 : paint == rbsExclusive;
    if (patterned) {
        // Checked background: white on every other pixel.
        for (int y = r.Top + 1; y < r.Bottom - 1; ++y)
            for (int x = r.Left + 1 + (y % 2); x < r.Right - 1; x += 2) c->SetPixel(x, y, clWhite);
    }
    const int shift = paint == rbsDown || paint == rbsExclusive ? 1 : 0;
    TBitmap* glyph = FGlyph.StateImage(paint);
    const std::string caption = GetCaption();
    c->SetFont(GetFont());
    TSize text = caption.empty() ? TSize{0, 0} : c->TextExtent(caption);
    TSize image = glyph ? TSize{glyph->GetWidth(), glyph->GetHeight()} : TSize{0, 0};
    const bool horizontal = Layout == blGlyphLeft || Layout == blGlyphRight;
    int gap = image.cx && text.cx ? Spacing : 0;
    int total = horizontal ? image.cx + gap + text.cx : image.cy + gap + text.cy;
    int avail = horizontal ? r.Width() : r.Height();
    if (Spacing == -1 && image.cx && text.cx) gap = (avail - (total - gap)) / 3;
    int start =
        FMargin == -1 ? (avail - (horizontal ? image.cx + gap + text.cx : image.cy + gap + text.cy)) / 2 : FMargin;
    TPoint glyphAt, textAt;
    if (horizontal) {
        int gy = (r.Height() - image.cy) / 2, ty = (r.Height() - text.cy) / 2;
        bool glyphFirst = Layout == blGlyphLeft;
        glyphAt = TPoint{glyphFirst ? start : start + text.cx + gap, gy};
        textAt = TPoint{glyphFirst ? start + image.cx + gap : start, ty};
    } else {
        int gx = (r.Width() - image.cx) / 2, tx = (r.Width() - text.cx) / 2;
        bool glyphFirst = Layout == blGlyphTop;
        glyphAt = TPoint{gx, glyphFirst ? start : start + text.cy + gap};
        textAt = TPoint{tx, glyphFirst ? start + image.cy + gap : start};
    }
    if (glyph) {
        glyph->SetTransparent(true);
        c->Draw(glyphAt.X + shift, glyphAt.Y + shift, glyph);
    }
    if (!caption.empty()) {
        c->SetBkMode(TRANSPARENT);
        if (paint == rbsDisabled) {
            c->SetTextColor(clWhite);
            c->TextOut(textAt.X + shift + 1, textAt.Y + shift + 1, caption);
            c->SetTextColor(kGray);
        } else {
            c->SetTextColor(GetFont()->GetColor());
        }
        c->TextOut(textAt.X + shift, textAt.Y + shift, caption);
    }
    if (FFlat && GetEnabled() && (MouseInControl || remembered == rbsExclusive)) {
        TRect frame = r;
        c->DrawEdge(frame, remembered == rbsDown || remembered == rbsExclusive ? BDR_SUNKENOUTER : BDR_RAISEDINNER,
                    BF_RECT);
    }
    State = remembered;
}

TrpTBButton::TrpTBButton(TComponent* owner) : TrpSpeedButton(owner) {
    SetAlign(alLeft);
    SetFlat(true);
}

void RegisterSpeedButtonClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        Published<TrpSpeedButton>("TrpSpeedButton", "TGraphicControl")
            .Bool("AllowAllUp", &TrpSpeedButton::AllowAllUp, &TrpSpeedButton::AllowAllUp)
            .Int("GroupIndex", &TrpSpeedButton::GetGroupIndex, &TrpSpeedButton::SetGroupIndex)
            .Bool("Down", &TrpSpeedButton::GetDown, &TrpSpeedButton::SetDown)
            .Bool("Flat", &TrpSpeedButton::GetFlat, &TrpSpeedButton::SetFlat)
            .Bool("GrayedInactive", &TrpSpeedButton::GrayedInactive, &TrpSpeedButton::GrayedInactive)
            .Object("Glyph", &TrpSpeedButton::GetGlyph)
            .Enum("Layout", {"blGlyphLeft", "blGlyphRight", "blGlyphTop", "blGlyphBottom"}, &TrpSpeedButton::Layout,
                  &TrpSpeedButton::Layout)
            .Int("Margin", &TrpSpeedButton::GetMargin, &TrpSpeedButton::SetMargin)
            .Int("NumGlyphs", &TrpSpeedButton::GetNumGlyphs, &TrpSpeedButton::SetNumGlyphs)
            .Int("Spacing", &TrpSpeedButton::Spacing, &TrpSpeedButton::Spacing);
        Published<TrpTBButton>("TrpTBButton", "TrpSpeedButton");
    });
}
