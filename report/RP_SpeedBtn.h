#pragma once
// The report engine's speed button: a graphic control with a caption and a
// glyph strip of up to four images, that can stay down in a group, draws
// flat until the mouse is over it and can show its glyph grey meanwhile.
// Glyph images per state are made once and kept in image lists shared by
// all buttons whose images have the same size.

#include <bitset>
#include <memory>
#include <vector>

#include "Controls.h"
#include "Graphics.h"

enum TrpButtonState { rbsUp = 0, rbsDisabled = 1, rbsDown = 2, rbsExclusive = 3, rbsInactive = 4 };
enum TButtonLayout { blGlyphLeft, blGlyphRight, blGlyphTop, blGlyphBottom };

// An image list with the slots in use marked.
class TGlyphList {
public:
    TGlyphList(int width, int height) : Width(width), Height(height) {}
    const int Width, Height;
    int Add(std::unique_ptr<TBitmap> image);
    void Delete(int index);
    TBitmap* Get(int index) const { return FImages[size_t(index)].get(); }
    int Count() const { return int(FUsed.count()); }

private:
    std::vector<std::unique_ptr<TBitmap>> FImages;
    std::bitset<1024> FUsed;
};

// Image lists shared by image size; a list goes when its last image does.
class TGlyphCache {
public:
    TGlyphList* GetList(int width, int height);
    void ReturnList(TGlyphList* list);
    int ListCount() const { return int(FLists.size()); }

private:
    std::vector<std::unique_ptr<TGlyphList>> FLists;
};
TGlyphCache& rpGlyphCache();

class TButtonGlyph {
public:
    TButtonGlyph();
    ~TButtonGlyph();
    TBitmap* Glyph() { return &FSource; }
    // Takes the bitmap; a strip whose width is a multiple of its height holds that many images (up to 4).
    void SetGlyph(TBitmap* value);
    int GetNumGlyphs() const { return FNumGlyphs; }
    void SetNumGlyphs(int value);
    TColor TransparentColor = TColor(0x008080);
    // The image of a state, made when first asked for; nil without a glyph.
    TBitmap* StateImage(TrpButtonState state);
    void Invalidate();

private:
    TBitmap FSource;
    int FNumGlyphs = 1;
    TGlyphList* FList = nullptr;
    int FIndex[5] = {-1, -1, -1, -1, -1};
};

class TrpSpeedButton : public TGraphicControl {
public:
    explicit TrpSpeedButton(TComponent* owner);
    ~TrpSpeedButton() override;

    bool AllowAllUp = false;
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int value);
    bool GetDown() const { return FDown; }
    void SetDown(bool value);
    void SetAllowAllUp(bool value);
    bool GetFlat() const { return FFlat; }
    void SetFlat(bool value);
    bool GrayedInactive = true;
    TBitmap* GetGlyph() { return FGlyph.Glyph(); }
    void SetGlyph(TBitmap* value);
    int GetNumGlyphs() const { return FGlyph.GetNumGlyphs(); }
    void SetNumGlyphs(int value);
    TButtonLayout Layout = blGlyphLeft;
    int GetMargin() const { return FMargin; }
    void SetMargin(int value);  // -1 centres; below -1 is ignored
    int Spacing = 4;
    TNotifyEvent OnMouseEnterButton, OnMouseLeaveButton;

    TrpButtonState State = rbsUp;
    bool MouseInControl = false;
    bool Dragging = false;

    void Click() override;
    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;

protected:
    void CMMouseEnter(TMessage& message) override;
    void CMMouseLeave(TMessage& message) override;
    void WndProc(TMessage& message) override;

private:
    void UpdateExclusive();
    TButtonGlyph FGlyph;
    int FGroupIndex = 0;
    bool FDown = false;
    bool FFlat = false;
    int FMargin = -1;
};

class TrpTBButton : public TrpSpeedButton {
public:
    explicit TrpTBButton(TComponent* owner);
};

void RegisterSpeedButtonClasses();
