// Fonts, pens and brushes.

#include "Graphics.h"
#include "SysUtils.h"

#include <QFont>
#include <QFontMetricsF>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cmath>
#include <map>
#include <mutex>

void TGraphicsObject::Changed() {
    if (OnChange) OnChange(this);
}

// ---------------------------------------------------------------------------
// TFont

namespace {

struct FaceInfo {
    const char* name;
    const char* family;
    bool trueType;
};

// Faces the windows name, mapped to metric-compatible or similar installed
// ones. The raster faces of the old desktop are not outline fonts.
constexpr FaceInfo kFaces[] = {
    {"arial", "Liberation Sans", true},
    {"helvetica", "Liberation Sans", true},
    {"ms sans serif", "Liberation Sans", false},
    {"ms shell dlg", "Liberation Sans", true},
    {"ms shell dlg 2", "Liberation Sans", true},
    {"tahoma", "Liberation Sans", true},
    {"verdana", "DejaVu Sans", true},
    {"system", "Liberation Sans", false},
    {"small fonts", "Liberation Sans", false},
    {"arial narrow", "Liberation Sans Narrow", true},
    {"times new roman", "Liberation Serif", true},
    {"times", "Liberation Serif", true},
    {"ms serif", "Liberation Serif", false},
    {"courier new", "Liberation Mono", true},
    {"courier", "Liberation Mono", false},
    {"fixedsys", "Liberation Mono", false},
    {"terminal", "Liberation Mono", false},
};

const FaceInfo* FindFace(const std::string& name) {
    std::string l = LowerCase(name);
    for (const FaceInfo& f : kFaces)
        if (l == f.name) return &f;
    return nullptr;
}

// Pixel size per cell height (ascent plus descent) of a face, measured once.
double EmPerCell(const QFont& probe) {
    static std::mutex m;
    static std::map<std::string, double> cache;
    std::string key = probe.family().toStdString() + (probe.bold() ? "/b" : "") + (probe.italic() ? "/i" : "");
    std::lock_guard<std::mutex> lock(m);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    QFont f = probe;
    f.setPixelSize(200);
    QFontMetricsF fm(f);
    double cell = fm.ascent() + fm.descent();
    double ratio = cell > 0 ? 200.0 / cell : 1.0;
    cache[key] = ratio;
    return ratio;
}

}  // namespace

std::string ResolveFontFamily(const std::string& name) {
    if (const FaceInfo* f = FindFace(name)) return f->family;
    return name.empty() ? std::string("Liberation Sans") : name;
}

TFont::TFont() = default;

void TFont::Assign(TPersistent* Source) {
    if (auto* f = dynamic_cast<TFont*>(Source)) {
        if (f == this) return;
        FName = f->FName;
        FHeight = f->FHeight;
        FStyle = f->FStyle;
        FColor = f->FColor;
        FPitch = f->FPitch;
        FCharset = f->FCharset;
        FOrientation = f->FOrientation;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TFont::SetName(const std::string& Value) {
    if (Value.empty() || Value == FName) return;
    FName = Value;
    Changed();
}

void TFont::SetHeight(int Value) {
    if (Value == FHeight) return;
    FHeight = Value;
    Changed();
}

int TFont::GetSize() const {
    // -Height * 72 / 96, rounded half away from zero as the platform's MulDiv does.
    long long n = -static_cast<long long>(FHeight) * 72;
    long long q = (std::llabs(n) * 2 + 96) / (2 * 96);
    return static_cast<int>(n < 0 ? -q : q);
}

void TFont::SetSize(int Value) {
    long long n = static_cast<long long>(Value) * 96;
    long long q = (std::llabs(n) * 2 + 72) / (2 * 72);
    SetHeight(static_cast<int>(n < 0 ? q : -q));
}

void TFont::SetStyle(TFontStyles Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TFont::SetColor(TColor Value) {
    if (Value == FColor) return;
    FColor = Value;
    Changed();
}

void TFont::SetPitch(TFontPitch Value) {
    if (Value == FPitch) return;
    FPitch = Value;
    Changed();
}

void TFont::SetCharset(TFontCharset Value) {
    if (Value == FCharset) return;
    FCharset = Value;
    Changed();
}

void TFont::SetOrientation(int Value) {
    if (Value == FOrientation) return;
    FOrientation = Value;
    Changed();
}

bool TFont::IsTrueType() const {
    const FaceInfo* f = FindFace(FName);
    return f ? f->trueType : true;
}

bool TFont::Equals(const TFont& o) const {
    return FName == o.FName && FHeight == o.FHeight && FStyle == o.FStyle && FColor == o.FColor && FPitch == o.FPitch &&
           FCharset == o.FCharset && FOrientation == o.FOrientation;
}

QFont TFont::ToQFont() const {
    QFont f;
    f.setFamily(QString::fromStdString(ResolveFontFamily(FName)));
    f.setBold(FStyle.Contains(fsBold));
    f.setItalic(FStyle.Contains(fsItalic));
    f.setUnderline(FStyle.Contains(fsUnderline));
    f.setStrikeOut(FStyle.Contains(fsStrikeOut));
    if (FPitch == fpFixed) f.setFixedPitch(true);
    f.setKerning(false);  // character cells add up to the measured width
    // Whole-pixel advances, as the platform's hinted text has: a line measures
    // the same whether drawn at once or character by character.
    f.setHintingPreference(QFont::PreferFullHinting);
    int px;
    if (FHeight < 0)
        px = -FHeight;
    else if (FHeight > 0)
        px = std::max(1, static_cast<int>(std::lround(FHeight * EmPerCell(f))));
    else
        px = 12;
    f.setPixelSize(px);
    return f;
}

// ---------------------------------------------------------------------------
// TPen and TBrush

void TPen::Assign(TPersistent* Source) {
    if (auto* p = dynamic_cast<TPen*>(Source)) {
        if (p == this) return;
        FColor = p->FColor;
        FWidth = p->FWidth;
        FStyle = p->FStyle;
        FMode = p->FMode;
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TPen::SetColor(TColor Value) {
    if (Value != FColor) {
        FColor = Value;
        Changed();
    }
}
void TPen::SetWidth(int Value) {
    if (Value >= 0 && Value != FWidth) {
        FWidth = Value;
        Changed();
    }
}
void TPen::SetStyle(TPenStyle Value) {
    if (Value != FStyle) {
        FStyle = Value;
        Changed();
    }
}
void TPen::SetMode(TPenMode Value) {
    if (Value != FMode) {
        FMode = Value;
        Changed();
    }
}

TBrush::TBrush() = default;
TBrush::~TBrush() = default;

void TBrush::Assign(TPersistent* Source) {
    if (auto* b = dynamic_cast<TBrush*>(Source)) {
        if (b == this) return;
        FColor = b->FColor;
        FStyle = b->FStyle;
        if (b->FBitmap) {
            if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
            FBitmap->Assign(b->FBitmap.get());
        } else {
            FBitmap.reset();
        }
        Changed();
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TBrush::SetColor(TColor Value) {
    if (Value == FColor && !(Value == clNone && FStyle != bsClear)) return;
    FColor = Value;
    if (Value == clNone)
        FStyle = bsClear;
    else if (FStyle == bsClear)
        FStyle = bsSolid;
    Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
    if (Value == FStyle) return;
    FStyle = Value;
    Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
    if (!Value) {
        if (!FBitmap) return;
        FBitmap.reset();
    } else {
        if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
        FBitmap->Assign(Value);
    }
    Changed();
}
