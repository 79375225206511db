#pragma once
// A windowless label that draws its caption at any angle, with an optional
// shadow, on an opaque or transparent background, and can size itself to the
// turned text. At a non-zero angle the text starts at (OriginX, OriginY).

#include <string>

#include "Controls.h"
#include "entbase.h"

class TEntCustomRotatedLabel : public TEntGraphicControl {
public:
    explicit TEntCustomRotatedLabel(TComponent* AOwner);

    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // Stores a different text, sizes the label to it and repaints at once.
    void SetCaption(const std::string& Value);
    std::string GetCaption() const { return GetText(); }
    int GetFontAngle() const { return FFontAngle; }
    // Degrees, kept within -359..359 with the sign of the value.
    void SetFontAngle(int Value);
    int GetOriginX() const { return FOriginX; }
    void SetOriginX(int Value);
    int GetOriginY() const { return FOriginY; }
    void SetOriginY(int Value);
    TColor GetShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value);
    bool GetShadowedText() const { return FShadowedText; }
    void SetShadowedText(bool Value);
    // Transparent is the absence of csOpaque.
    bool GetTransparent() const { return !ControlStyle.Contains(csOpaque); }
    void SetTransparent(bool Value);

    void Loaded() override;
    void SetName(const std::string& NewName) override;

protected:
    void Paint() override;
    void CMFontChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    // With AutoSize, fits the bounds (and the origin) to the turned caption.
    void AdjustBounds();

private:
    bool Loading() const { return ComponentState.Contains(csLoading); }
    // The font's text metrics say it is an outline font (only those turn).
    bool FontIsTrueType() const;
    void DrawCaption(const std::string& Text, int DX, int DY);

    TAlignment FAlignment = taLeftJustify;
    bool FAutoSize = false;
    int FFontAngle = 0;
    int FOriginX = 0;
    int FOriginY = 0;
    TColor FShadowColor = clBtnShadow;
    bool FShadowedText = false;
    bool FAdjusting = false;
};

class TEntRotatedLabel : public TEntCustomRotatedLabel {
public:
    using TEntCustomRotatedLabel::TEntCustomRotatedLabel;
};

// Publishes the rotated label for window definitions (once).
void RegisterEntRotatedLabelClasses();
