#pragma once
// Drawing: colours, fonts, pens and brushes, the canvas with the GDI rules
// (right and bottom edges exclusive, background modes, DrawText flags, text
// alignment, raster pen modes, clip regions) over QPainter, and the graphics
// that are drawn on it (bitmaps, icons, pictures, image lists).
//
// Fonts are sized in pixels, so the screen's resolution never changes a
// layout. A canvas draws on a TBitmap, or on any paint device through a
// QPainter handed to it (paint events, printers, PDF). Text measuring works
// on a canvas without a device.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Exceptions.h"
#include "Types.h"

class QColor;
class QFont;
class QImage;
class QPainter;
class QRegion;

class EInvalidGraphic : public Exception {
public:
    using Exception::Exception;
};
class EInvalidGraphicOperation : public Exception {
public:
    using Exception::Exception;
};

// ---------------------------------------------------------------------------
// Colours

// A Windows colour value: 0x00BBGGRR, or 0x80000000 | index for a system colour.
using TColor = int32_t;

constexpr TColor RGB(uint8_t r, uint8_t g, uint8_t b) {
    return static_cast<TColor>(uint32_t(r) | (uint32_t(g) << 8) | (uint32_t(b) << 16));
}
constexpr uint8_t GetRValue(TColor c) { return static_cast<uint8_t>(uint32_t(c) & 0xFF); }
constexpr uint8_t GetGValue(TColor c) { return static_cast<uint8_t>((uint32_t(c) >> 8) & 0xFF); }
constexpr uint8_t GetBValue(TColor c) { return static_cast<uint8_t>((uint32_t(c) >> 16) & 0xFF); }

constexpr TColor SystemColor(int index) { return static_cast<TColor>(0x80000000u | uint32_t(index)); }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080, clNavy = 0x800000,
                 clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080, clSilver = 0xC0C0C0, clRed = 0x0000FF,
                 clLime = 0x00FF00, clYellow = 0x00FFFF, clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00,
                 clWhite = 0xFFFFFF, clLtGray = 0xC0C0C0, clDkGray = 0x808080, clMoneyGreen = 0xC0DCC0,
                 clSkyBlue = 0xF0CAA6, clCream = 0xF0FBFF, clMedGray = 0xA4A0A0;
constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;

constexpr TColor clScrollBar = SystemColor(0), clBackground = SystemColor(1), clActiveCaption = SystemColor(2),
                 clInactiveCaption = SystemColor(3), clMenu = SystemColor(4), clWindow = SystemColor(5),
                 clWindowFrame = SystemColor(6), clMenuText = SystemColor(7), clWindowText = SystemColor(8),
                 clCaptionText = SystemColor(9), clActiveBorder = SystemColor(10), clInactiveBorder = SystemColor(11),
                 clAppWorkSpace = SystemColor(12), clHighlight = SystemColor(13), clHighlightText = SystemColor(14),
                 clBtnFace = SystemColor(15), clBtnShadow = SystemColor(16), clGrayText = SystemColor(17),
                 clBtnText = SystemColor(18), clInactiveCaptionText = SystemColor(19), clBtnHighlight = SystemColor(20),
                 cl3DDkShadow = SystemColor(21), cl3DLight = SystemColor(22), clInfoText = SystemColor(23),
                 clInfoBk = SystemColor(24), clHotLight = SystemColor(26), clGradientActiveCaption = SystemColor(27),
                 clGradientInactiveCaption = SystemColor(28), clMenuHighlight = SystemColor(29),
                 clMenuBar = SystemColor(30);

// A system colour's value from the fixed palette (classic defaults); 0 for an unknown index.
TColor GetSysColor(int index);
// System colours resolved; any other value is returned unchanged.
TColor ColorToRGB(TColor color);
// Resolves system colours; clNone and clDefault give a transparent colour.
QColor ColorToQColor(TColor color);
TColor QColorToColor(const QColor& color);

// Colour names as window definitions write them ("clBtnFace"), and "$00BBGGRR" texts.
bool IdentToColor(const std::string& ident, TColor& color);
bool ColorToIdent(TColor color, std::string& ident);
std::string ColorToString(TColor color);
TColor StringToColor(const std::string& text);  // EConvertError when it is neither

// ---------------------------------------------------------------------------
// Fonts, pens and brushes

enum TFontStyle { fsBold, fsItalic, fsUnderline, fsStrikeOut };
using TFontStyles = Set<TFontStyle>;
enum TFontPitch { fpDefault, fpVariable, fpFixed };
using TFontCharset = uint8_t;
enum : TFontCharset { ANSI_CHARSET = 0, DEFAULT_CHARSET = 1, SYMBOL_CHARSET = 2, OEM_CHARSET = 255 };

enum TBrushStyle { bsSolid, bsClear, bsHorizontal, bsVertical, bsFDiagonal, bsBDiagonal, bsCross, bsDiagCross };
enum TPenStyle { psSolid, psDash, psDot, psDashDot, psDashDotDot, psClear, psInsideFrame };
enum TPenMode {
    pmBlack,
    pmWhite,
    pmNop,
    pmNot,
    pmCopy,
    pmNotCopy,
    pmMergePenNot,
    pmMaskPenNot,
    pmMergeNotPen,
    pmMaskNotPen,
    pmMerge,
    pmNotMerge,
    pmMask,
    pmNotMask,
    pmXor,
    pmNotXor
};

class TBitmap;

// Base of fonts, pens and brushes: a change notifies the owner (a canvas or control).
class TGraphicsObject : public TPersistent {
public:
    TNotifyEvent OnChange;

protected:
    virtual void Changed();
};

class TFont : public TGraphicsObject {
public:
    TFont();
    void Assign(TPersistent* Source) override;

    std::string GetName() const { return FName; }
    void SetName(const std::string& Value);
    // Pixels: negative is the character height, positive the cell height
    // (character height plus internal leading), 0 the default.
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value);
    // Points at 96 pixels per inch: Size = -Height * 72 / 96.
    int GetSize() const;
    void SetSize(int Value);
    TFontStyles GetStyle() const { return FStyle; }
    void SetStyle(TFontStyles Value);
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    TFontPitch GetPitch() const { return FPitch; }
    void SetPitch(TFontPitch Value);
    TFontCharset GetCharset() const { return FCharset; }
    void SetCharset(TFontCharset Value);
    // Escapement of the text line in tenths of a degree, counter-clockwise.
    int GetOrientation() const { return FOrientation; }
    void SetOrientation(int Value);

    // The Qt font this describes, sized in pixels; classic face names map to installed ones.
    QFont ToQFont() const;
    // Whether the face is an outline (TrueType) font; the classic raster faces are not.
    bool IsTrueType() const;
    bool Equals(const TFont& other) const;

private:
    std::string FName = "MS Sans Serif";
    int FHeight = -11;
    TFontStyles FStyle;
    TColor FColor = clWindowText;
    TFontPitch FPitch = fpDefault;
    TFontCharset FCharset = DEFAULT_CHARSET;
    int FOrientation = 0;
};

// The face a font name is drawn with ("Arial" and "MS Sans Serif" -> "Liberation Sans").
std::string ResolveFontFamily(const std::string& name);

class TPen : public TGraphicsObject {
public:
    void Assign(TPersistent* Source) override;
    TColor GetColor() const { return FColor; }
    void SetColor(TColor Value);
    int GetWidth() const { return FWidth; }
    void SetWidth(int Value);
    TPenStyle GetStyle() const { return FStyle; }
    void SetStyle(TPenStyle Value);
    TPenMode GetMode() const { return FMode; }
    void SetMode(TPenMode Value);

private:
    TColor FColor = clBlack;
    int FWidth = 1;
    TPenStyle FStyle = psSolid;
    TPenMode FMode = pmCopy;
};

class TBrush : public TGraphicsObject {
public:
    TBrush();
    ~TBrush() override;
    void Assign(TPersistent* Source) override;
    TColor GetColor() const { return FColor; }
    // A colour other than clNone makes a clear brush solid; clNone makes it clear.
    void SetColor(TColor Value);
    TBrushStyle GetStyle() const { return FStyle; }
    void SetStyle(TBrushStyle Value);
    // An 8x8 pattern (copied); nullptr removes it. A monochrome pattern paints its
    // black pixels in the text colour and its white ones in the background colour.
    TBitmap* GetBitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* Value);

private:
    TColor FColor = clWhite;
    TBrushStyle FStyle = bsSolid;
    std::unique_ptr<TBitmap> FBitmap;
};

// ---------------------------------------------------------------------------
// Canvas

enum : unsigned {
    DT_TOP = 0x0,
    DT_LEFT = 0x0,
    DT_CENTER = 0x1,
    DT_RIGHT = 0x2,
    DT_VCENTER = 0x4,
    DT_BOTTOM = 0x8,
    DT_WORDBREAK = 0x10,
    DT_SINGLELINE = 0x20,
    DT_EXPANDTABS = 0x40,
    DT_TABSTOP = 0x80,
    DT_NOCLIP = 0x100,
    DT_EXTERNALLEADING = 0x200,
    DT_CALCRECT = 0x400,
    DT_NOPREFIX = 0x800,
    DT_INTERNAL = 0x1000,
    DT_EDITCONTROL = 0x2000,
    DT_PATH_ELLIPSIS = 0x4000,
    DT_END_ELLIPSIS = 0x8000,
    DT_MODIFYSTRING = 0x10000,
    DT_RTLREADING = 0x20000,
    DT_WORD_ELLIPSIS = 0x40000,
    DT_HIDEPREFIX = 0x100000,
    DT_PREFIXONLY = 0x200000,
};
enum : unsigned {
    TA_NOUPDATECP = 0,
    TA_UPDATECP = 1,
    TA_LEFT = 0,
    TA_RIGHT = 2,
    TA_CENTER = 6,
    TA_TOP = 0,
    TA_BOTTOM = 8,
    TA_BASELINE = 24,
};
enum : unsigned { ETO_OPAQUE = 0x2, ETO_CLIPPED = 0x4, ETO_RTLREADING = 0x80 };
enum : int { TRANSPARENT = 1, OPAQUE = 2 };
// Clip results of IntersectClipRect and friends.
enum : int { RGN_ERROR = 0, NULLREGION = 1, SIMPLEREGION = 2, COMPLEXREGION = 3 };
// DrawEdge borders and sides.
enum : unsigned {
    BDR_RAISEDOUTER = 0x1,
    BDR_SUNKENOUTER = 0x2,
    BDR_RAISEDINNER = 0x4,
    BDR_SUNKENINNER = 0x8,
    EDGE_RAISED = 0x5,
    EDGE_SUNKEN = 0xA,
    EDGE_ETCHED = 0x6,
    EDGE_BUMP = 0x9,
    BF_LEFT = 0x1,
    BF_TOP = 0x2,
    BF_RIGHT = 0x4,
    BF_BOTTOM = 0x8,
    BF_RECT = 0xF,
    BF_MIDDLE = 0x800,
    BF_SOFT = 0x1000,
    BF_ADJUST = 0x2000,
    BF_FLAT = 0x4000,
    BF_MONO = 0x8000,
};
// Raster operations of CopyRect (the platform's values).
using TCopyMode = uint32_t;
constexpr TCopyMode cmBlackness = 0x00000042, cmDstInvert = 0x00550009, cmMergeCopy = 0x00C000CA,
                    cmMergePaint = 0x00BB0226, cmNotSrcCopy = 0x00330008, cmNotSrcErase = 0x001100A6,
                    cmPatCopy = 0x00F00021, cmPatInvert = 0x005A0049, cmPatPaint = 0x00FB0A09, cmSrcAnd = 0x008800C6,
                    cmSrcCopy = 0x00CC0020, cmSrcErase = 0x00440328, cmSrcInvert = 0x00660046, cmSrcPaint = 0x00EE0086,
                    cmWhiteness = 0x00FF0062;

enum : uint8_t { TMPF_FIXED_PITCH = 0x01, TMPF_VECTOR = 0x02, TMPF_TRUETYPE = 0x04, TMPF_DEVICE = 0x08 };

struct TTextMetric {
    int tmHeight = 0;
    int tmAscent = 0;
    int tmDescent = 0;
    int tmInternalLeading = 0;
    int tmExternalLeading = 0;
    int tmAveCharWidth = 0;
    int tmMaxCharWidth = 0;
    int tmWeight = 400;
    int tmOverhang = 0;
    bool tmItalic = false;
    bool tmUnderlined = false;
    bool tmStruckOut = false;
    // TMPF_ bits; TMPF_FIXED_PITCH set means a variable-pitch font, as the platform has it.
    uint8_t tmPitchAndFamily = 0;
    uint8_t tmCharSet = DEFAULT_CHARSET;
};

// A clip region: a set of rectangles in canvas coordinates.
class TRegion {
public:
    TRegion();
    explicit TRegion(const TRect& r);
    TRegion(const TRegion& other);
    TRegion& operator=(const TRegion& other);
    ~TRegion();
    static TRegion Elliptic(const TRect& r);
    TRegion United(const TRegion& other) const;
    TRegion Intersected(const TRegion& other) const;
    TRegion Subtracted(const TRegion& other) const;
    TRegion Xored(const TRegion& other) const;
    void Offset(int dx, int dy);
    bool IsEmpty() const;
    bool Contains(TPoint p) const;
    bool Intersects(const TRect& r) const;
    TRect BoundingRect() const;
    std::vector<TRect> Rects() const;
    const QRegion& Region() const { return *FRegion; }
    explicit TRegion(const QRegion& region);

private:
    std::unique_ptr<QRegion> FRegion;
};

class TGraphic;
class TCanvas;

// Pixels[x][y] as an lvalue of the canvas.
class TCanvasPixels {
public:
    class Ref {
    public:
        Ref(TCanvas* c, int x, int y) : c_(c), x_(x), y_(y) {}
        operator TColor() const;
        Ref& operator=(TColor color);

    private:
        TCanvas* c_;
        int x_, y_;
    };
    class Column {
    public:
        Column(TCanvas* c, int x) : c_(c), x_(x) {}
        Ref operator[](int y) const { return Ref(c_, x_, y); }

    private:
        TCanvas* c_;
        int x_;
    };
    explicit TCanvasPixels(TCanvas* c) : c_(c) {}
    Column operator[](int x) const { return Column(c_, x); }

private:
    TCanvas* c_;
};

class TCanvas : public TPersistent {
public:
    // A canvas without a device: it measures text; drawing waits for a painter.
    TCanvas();
    // Draws through a painter owned by the caller (a paint event, a printer, PDF).
    explicit TCanvas(QPainter* painter);
    ~TCanvas() override;
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    // Attaches a painter owned elsewhere, or detaches with nullptr. Like a fresh
    // device context, attaching resets the background mode and colour, text
    // colour and alignment, spacing and the canvas clip; pen, brush and font
    // are selected anew. The painter's clip at this moment is the base that
    // canvas clipping narrows.
    void SetPainter(QPainter* painter);
    // The painter drawing goes through (creating it where the canvas can); nullptr when none.
    QPainter* Painter();
    bool HandleAllocated() const;

    TFont* GetFont() const { return FFont.get(); }
    void SetFont(TFont* Value) { FFont->Assign(Value); }
    TPen* GetPen() const { return FPen.get(); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TBrush* GetBrush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
    TPoint GetPenPos() const { return FPenPos; }
    void SetPenPos(TPoint Value) { FPenPos = Value; }
    TCopyMode CopyMode = cmSrcCopy;
    unsigned TextFlags = 0;  // ETO_ options added to TextOut and TextRect
    TCanvasPixels Pixels{this};
    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

    // Shapes: the pen outlines, the brush fills, right and bottom edges exclusive.
    virtual void MoveTo(int X, int Y);
    virtual void LineTo(int X, int Y);          // the end point itself is not drawn
    virtual void FillRect(const TRect& Rect);   // brush only, ignores the pen mode
    virtual void FrameRect(const TRect& Rect);  // 1-pixel frame in the brush
    virtual void Rectangle(int X1, int Y1, int X2, int Y2);
    void Rectangle(const TRect& R) { Rectangle(R.Left, R.Top, R.Right, R.Bottom); }
    virtual void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
    virtual void Ellipse(int X1, int Y1, int X2, int Y2);
    void Ellipse(const TRect& R) { Ellipse(R.Left, R.Top, R.Right, R.Bottom); }
    virtual void Polygon(const std::vector<TPoint>& Points);
    virtual void Polyline(const std::vector<TPoint>& Points);  // the last point is not drawn
    virtual void InvertRect(const TRect& Rect);
    // The dotted focus frame; drawn by inverting, so drawing it twice removes it.
    virtual void DrawFocusRect(const TRect& Rect);
    // 3-D edges (BDR_/EDGE_ and BF_ flags); with BF_ADJUST the rectangle shrinks to the face.
    virtual void DrawEdge(TRect& Rect, unsigned Edge, unsigned Flags);

    // Text at (X, Y) by the text alignment; moves the pen position to the text's end.
    virtual void TextOut(int X, int Y, const std::string& Text);
    // Text at (X, Y) clipped to Rect, on the brush unless the brush is clear.
    virtual void TextRect(const TRect& Rect, int X, int Y, const std::string& Text);
    TSize TextExtent(const std::string& Text);
    int TextWidth(const std::string& Text) { return TextExtent(Text).cx; }
    int TextHeight(const std::string& Text) { return TextExtent(Text).cy; }

    // The platform's text services on this canvas. They take the current font and
    // background mode but do not re-select the brush (as calls on the device do).
    // Returns the text's height; DT_CALCRECT only measures into Rect. With
    // DT_MODIFYSTRING an ellipsis-shortened text is stored in *Modified.
    virtual int DrawText(const std::string& Text, TRect& Rect, unsigned Format, std::string* Modified = nullptr);
    // Dx, when given, holds the advance of each character (UTF-8 code point).
    virtual void ExtTextOut(int X, int Y, unsigned Options, const TRect* Rect, const std::string& Text,
                            const std::vector<int>* Dx = nullptr);
    void GetTextMetrics(TTextMetric& tm);
    TSize GetTextExtentPoint(const std::string& Text) { return TextExtent(Text); }
    int SetBkMode(int Mode);
    int GetBkMode() const { return FBkMode; }
    TColor SetBkColor(TColor Color);
    TColor GetBkColor() const { return FBkColor; }
    TColor SetTextColor(TColor Color);
    TColor GetTextColor() const { return FTextColor; }
    unsigned SetTextAlign(unsigned Flags);
    unsigned GetTextAlign() const { return FTextAlign; }
    int SetTextCharacterExtra(int Extra);
    int GetTextCharacterExtra() const { return FCharExtra; }
    // Spreads BreakExtra pixels over the next outputs' BreakCount blanks, until reset with (0, 0).
    void SetTextJustification(int BreakExtra, int BreakCount);

    // Pixels; reading gives -1 where the device cannot be read.
    TColor GetPixel(int X, int Y);
    void SetPixel(int X, int Y, TColor Color);

    // Graphics and copies.
    virtual void Draw(int X, int Y, TGraphic* Graphic);
    virtual void StretchDraw(const TRect& Rect, TGraphic* Graphic);
    // Paints Color wherever the graphic is not transparent (a bitmap by its
    // transparent colour, whether or not it draws transparently; other graphics
    // by their alpha): the one-bit mask used for shadows and embossed pictures.
    void DrawMask(int X, int Y, TGraphic* Graphic, TColor Color);
    // Copies Source's rectangle into Dest with CopyMode; stretches when the sizes differ.
    virtual void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
    // Copies Source's rectangle of a bitmap with every pixel of Color replaced by the brush.
    virtual void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);
    // The image drawn on, for reading its pixels; nullptr for a device that cannot be read.
    virtual const QImage* SourceImage();

    // Clipping, in canvas coordinates. The results are the platform's region kinds.
    int IntersectClipRect(int X1, int Y1, int X2, int Y2);
    int ExcludeClipRect(int X1, int Y1, int X2, int Y2);
    // nullptr removes the canvas clip (the painter's own base clip stays).
    int SelectClipRgn(const TRegion* Region);
    // The current canvas clip; false when there is none.
    bool GetClipRgn(TRegion& Region) const;
    TRect GetClipRect();
    bool RectVisible(const TRect& R);

    void Lock() {}
    void Unlock() {}
    void Refresh();

protected:
    // Called when drawing needs a painter and none is attached: a device that can
    // make one attaches it here (a bitmap's canvas does).
    virtual void CreateHandle() {}
    // Attaches a painter from CreateHandle, keeping the settings made so far.
    void AttachPainter(QPainter* painter);
    // Called before the painter goes away or the device is replaced.
    void DeselectHandle();
    virtual void Changing();
    virtual void Changed();

private:
    struct State;
    std::unique_ptr<State> S;
    std::unique_ptr<TFont> FFont;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
    TPoint FPenPos;
    int FBkMode = OPAQUE;
    TColor FBkColor = clWhite;
    TColor FTextColor = clBlack;
    unsigned FTextAlign = TA_LEFT | TA_TOP;
    int FCharExtra = 0;
    int FBreakExtra = 0;
    int FBreakCount = 0;
    bool FBrushRealized = false;

    friend class TImageList;
    QPainter* Ready();             // painter with clip applied and pending text drawn, or nullptr
    QPainter* ReadyKeepingText();  // the same, text gathered for a printer left pending
    void RealizeBrush();           // background mode and colour from the brush
    void RealizeFont();            // text colour from the font
    void ApplyClip();
    void ApplyPen(QPainter* p);
    // Outlined and filled shapes: pen and brush set up, then `draw` run under the pen mode.
    void DrawFilledShape(const std::function<void(QPainter*)>& draw);
    void EnsureFont();
    void PaintText(QPainter* p, int X, int Y, unsigned Options, const TRect* Rect, const std::string& Text,
                   const std::vector<int>* Dx);
};

// ---------------------------------------------------------------------------
// Graphics

enum TPixelFormat { pfDevice, pf1bit, pf4bit, pf8bit, pf15bit, pf16bit, pf24bit, pf32bit, pfCustom };
enum TTransparentMode { tmAuto, tmFixed };

class TGraphic : public TPersistent {
public:
    TNotifyEvent OnChange;

    virtual bool GetEmpty() const = 0;
    virtual int GetWidth() const = 0;
    virtual int GetHeight() const = 0;
    virtual void SetWidth(int Value) = 0;
    virtual void SetHeight(int Value) = 0;
    virtual bool GetTransparent() const { return FTransparent; }
    virtual void SetTransparent(bool Value);
    bool GetModified() const { return FModified; }
    void SetModified(bool Value);

    virtual void Draw(TCanvas* ACanvas, const TRect& Rect) = 0;
    virtual void LoadFromStream(TStream* Stream) = 0;
    virtual void SaveToStream(TStream* Stream) = 0;
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);
    // The form of the graphic inside window definitions and picture data.
    virtual void ReadData(TStream* Stream) { LoadFromStream(Stream); }
    virtual void WriteData(TStream* Stream) { SaveToStream(Stream); }
    void DefineProperties(TFiler* Filer) override;
    // The image the graphic is drawn from, with alpha where it is transparent.
    virtual QImage ToImage() const = 0;

protected:
    virtual void Changed();
    bool FTransparent = false;
    bool FModified = false;
};

class TBitmap : public TGraphic {
public:
    TBitmap();
    ~TBitmap() override;
    void Assign(TPersistent* Source) override;

    bool GetEmpty() const override;
    int GetWidth() const override;
    int GetHeight() const override;
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    void SetSize(int AWidth, int AHeight);
    TCanvas* GetCanvas();
    TPixelFormat GetPixelFormat() const { return FPixelFormat; }
    void SetPixelFormat(TPixelFormat Value);
    bool GetMonochrome() const { return FPixelFormat == pf1bit; }
    void SetMonochrome(bool Value);
    // In tmAuto the bottom-left pixel; setting a colour switches to tmFixed.
    TColor GetTransparentColor() const;
    void SetTransparentColor(TColor Value);
    TTransparentMode GetTransparentMode() const { return FTransparentMode; }
    void SetTransparentMode(TTransparentMode Value);

    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    // BMP files (1, 4, 8, 16, 24 and 32 bits per pixel, RLE included); reads exactly one file.
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    // Window definitions hold the file after a 32-bit size.
    void ReadData(TStream* Stream) override;
    void WriteData(TStream* Stream) override;
    QImage ToImage() const override;

    // The pixels, for other platform units (RGB32). Call Modified() after changing them.
    QImage& Image();
    const QImage& Image() const;
    void SetImage(const QImage& image);
    void Dormant() {}
    void FreeImage() {}

private:
    struct Impl;
    std::unique_ptr<Impl> D;
    TPixelFormat FPixelFormat = pfDevice;
    TTransparentMode FTransparentMode = tmAuto;
    TColor FTransparentColor = clDefault;
    friend class TBitmapCanvas;
    void ReleaseCanvas();
    void LoadBmp(TStream* Stream, int64_t size);
    void Resize(int w, int h);
};

class TIcon : public TGraphic {
public:
    TIcon();
    ~TIcon() override;
    void Assign(TPersistent* Source) override;
    bool GetEmpty() const override;
    int GetWidth() const override;
    int GetHeight() const override;
    void SetWidth(int Value) override;
    void SetHeight(int Value) override;
    void Draw(TCanvas* ACanvas, const TRect& Rect) override;
    // ICO files; the largest image is kept (PNG and DIB entries).
    void LoadFromStream(TStream* Stream) override;
    void SaveToStream(TStream* Stream) override;
    QImage ToImage() const override;
    void SetImage(const QImage& image);

private:
    std::unique_ptr<QImage> FImage;
};

// Graphic classes by name, for picture data in window definitions and by file extension.
using TGraphicFactory = std::function<TGraphic*()>;
void RegisterGraphicClass(const std::string& className, const std::string& extension, TGraphicFactory factory);

class TPicture : public TPersistent {
public:
    TPicture();
    ~TPicture() override;
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

    TGraphic* GetGraphic() const { return FGraphic.get(); }
    // Takes a copy of Value (nullptr empties the picture).
    void SetGraphic(TGraphic* Value);
    // The graphic as a bitmap, replacing any other kind by an empty bitmap.
    TBitmap* GetBitmap();
    void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
    TIcon* GetIcon();
    void SetIcon(TIcon* Value) { SetGraphic(Value); }
    int GetWidth() const;
    int GetHeight() const;

    void LoadFromFile(const std::string& FileName);  // by extension: .bmp, .ico, registered ones
    void SaveToFile(const std::string& FileName);
    // "Data": the graphic's class name as a short string, then the graphic's data.
    void DefineProperties(TFiler* Filer) override;
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream);

private:
    std::unique_ptr<TGraphic> FGraphic;
    void Changed(TObject* Sender);
    void Attach(TGraphic* graphic);
};

// A row of equal-sized images drawn by index.
class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner);
    ~TImageList() override;
    TNotifyEvent OnChange;

    int GetWidth() const { return FWidth; }
    void SetWidth(int Value);  // clears the list
    int GetHeight() const { return FHeight; }
    void SetHeight(int Value);  // clears the list
    TColor BkColor = clNone;
    int Count() const;

    // Adds the image (cut into Width-wide cells when wider); a mask's black
    // pixels are shown, white ones transparent. Returns the first new index.
    int Add(TBitmap* Image, TBitmap* Mask);
    // As Add, with the pixels of MaskColor transparent.
    int AddMasked(TBitmap* Image, TColor MaskColor);
    int AddIcon(TIcon* Icon);
    void Delete(int Index);
    void Clear();
    void GetBitmap(int Index, TBitmap* Image);
    // A disabled image is drawn embossed in the button highlight and shadow colours.
    void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);

private:
    int FWidth = 16, FHeight = 16;
    std::vector<QImage> FImages;
    void Changed();
};

// Registers the published properties of fonts, pens, brushes and pictures for
// window definitions. Safe to call more than once.
void RegisterGraphicsClasses();
