#pragma once
// The colour pairs of an entry field (disabled, error and highlighted text)
// and the four optional edge lines drawn over it.

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"

// A background and text colour with the defaults it was made with.
class TEntColors : public TPersistent {
public:
    TEntColors(TColor DefaultBack, TColor DefaultText);

    TColor GetBackColor() const { return FBackColor; }
    void SetBackColor(TColor Value);
    TColor GetTextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);
    // True while both colours are the defaults set at creation; setting it
    // to true brings them back.
    bool GetUseDefault() const { return FUseDefault; }
    void SetUseDefault(bool Value);
    TColor DefaultBackColor() const { return FDefBack; }
    TColor DefaultTextColor() const { return FDefText; }

    void Assign(TPersistent* Source) override;
    // "UseDefault" is written for older streams and never read back.
    void DefineProperties(TFiler* Filer) override;

    TNotifyEvent OnColorChange;

private:
    void Changed();
    TColor FDefBack, FDefText;
    TColor FBackColor, FTextColor;
    bool FUseDefault = true;
};

class TEntEfColors : public TPersistent {
public:
    TEntEfColors();
    TEntColors* Disabled() const { return FDisabled.get(); }
    TEntColors* Error() const { return FError.get(); }
    TEntColors* Highlight() const { return FHighlight.get(); }
    void Assign(TPersistent* Source) override;
    // Any colour of the three changed.
    TNotifyEvent OnColorChange;

private:
    std::unique_ptr<TEntColors> FDisabled, FError, FHighlight;
};

enum TEntBorderStyle { bpsSolid };
enum TEntBorderEdge { beLeft, beRight, beTop, beBottom };

class TEntBorder : public TPersistent {
public:
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    TEntBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TEntBorderStyle Value);
    TColor GetPenColor() const { return FPenColor; }
    void SetPenColor(TColor Value);
    TPenStyle GetPenStyle() const { return FPenStyle; }
    void SetPenStyle(TPenStyle Value);
    int GetPenWidth() const { return FPenWidth; }
    void SetPenWidth(int Value);  // taken only when at least 1
    // The pen properties are stored only while the edge is enabled.
    bool PenStored() const { return FEnabled; }

    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    bool FEnabled = false;
    TEntBorderStyle FBorderStyle = bpsSolid;
    TColor FPenColor = clBlack;
    TPenStyle FPenStyle = psSolid;
    int FPenWidth = 2;
};

class TEntBorders : public TPersistent {
public:
    TEntBorders();
    TEntBorder* LeftBorder() const { return FBorders[beLeft].get(); }
    TEntBorder* RightBorder() const { return FBorders[beRight].get(); }
    TEntBorder* TopBorder() const { return FBorders[beTop].get(); }
    TEntBorder* BottomBorder() const { return FBorders[beBottom].get(); }
    TEntBorder* Border(TEntBorderEdge Edge) const { return FBorders[Edge].get(); }
    bool AnyEnabled() const;
    void Assign(TPersistent* Source) override;
    // Any edge changed: the field re-styles itself (see FieldBorderStyle).
    TNotifyEvent OnChange;

    // The line of an edge in a field of that size, pen width included.
    static TRect EdgeLine(TEntBorderEdge Edge, int PenWidth, int Width, int Height);
    // Draws the enabled edges over the field's text.
    void Paint(TCanvas* Canvas, int Width, int Height) const;

private:
    std::unique_ptr<TEntBorder> FBorders[4];
};

// The frame a field takes: none of the edges enabled gives the single 3-D
// border, any enabled edge takes the frame's place.
struct TEntFieldFrame {
    TBorderStyle BorderStyle;
    bool Ctl3D;
};
TEntFieldFrame FieldBorderStyle(const TEntBorders& Borders);
