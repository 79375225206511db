// Graphics base and bitmaps: size, canvas, transparency, BMP files.

#include "GraphicsPrivate.h"

#include <QByteArray>

#include <algorithm>
#include <cstring>

using namespace gfx;

// ---------------------------------------------------------------------------
// TGraphic

void TGraphic::Changed() {
    FModified = true;
    if (OnChange) OnChange(this);
}

void TGraphic::SetTransparent(bool Value) {
    if (Value == FTransparent) return;
    FTransparent = Value;
    Changed();
}

void TGraphic::SetModified(bool Value) {
    if (Value)
        Changed();
    else
        FModified = false;
}

void TGraphic::LoadFromFile(const std::string& FileName) {
    TFileStream f(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&f);
}

void TGraphic::SaveToFile(const std::string& FileName) {
    TFileStream f(FileName, fmCreate);
    SaveToStream(&f);
}

void TGraphic::DefineProperties(TFiler* Filer) {
    Filer->DefineBinaryProperty(
        "Data", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); }, !GetEmpty());
}

// ---------------------------------------------------------------------------
// The bitmap's canvas opens a painter on the bitmap's pixels when drawing
// needs one, and closes it whenever the bitmap changes its pixels otherwise.

class TBitmapCanvas : public TCanvas {
public:
    explicit TBitmapCanvas(TBitmap* owner) : owner_(owner) {}
    ~TBitmapCanvas() override { Release(); }
    void Release() {
        if (!painter_) return;
        DeselectHandle();
        painter_->end();
        painter_.reset();
    }
    bool Active() const { return painter_ != nullptr; }
    const QImage* SourceImage() override;

protected:
    void CreateHandle() override;
    void Changed() override;

private:
    TBitmap* owner_;
    std::unique_ptr<QPainter> painter_;
};

struct TBitmap::Impl {
    QImage image;  // null while either extent is 0
    int w = 0, h = 0;
    void Sync() {
        w = image.width();
        h = image.height();
    }
    std::unique_ptr<TBitmapCanvas> canvas;
};

void TBitmapCanvas::CreateHandle() {
    QImage& img = owner_->D->image;
    if (img.isNull()) return;
    painter_ = std::make_unique<QPainter>(&img);
    AttachPainter(painter_.get());
}

const QImage* TBitmapCanvas::SourceImage() { return owner_->D->image.isNull() ? nullptr : &owner_->D->image; }

void TBitmapCanvas::Changed() {
    TCanvas::Changed();
    owner_->Changed();
}

// ---------------------------------------------------------------------------
// TBitmap

TBitmap::TBitmap() : D(std::make_unique<Impl>()) {}

TBitmap::~TBitmap() {
    if (D->canvas) D->canvas->Release();
}

void TBitmap::ReleaseCanvas() {
    if (D->canvas) D->canvas->Release();
}

TCanvas* TBitmap::GetCanvas() {
    if (!D->canvas) D->canvas = std::make_unique<TBitmapCanvas>(this);
    return D->canvas.get();
}

bool TBitmap::GetEmpty() const { return D->image.isNull(); }
int TBitmap::GetWidth() const { return D->w; }
int TBitmap::GetHeight() const { return D->h; }
void TBitmap::SetWidth(int Value) { Resize(Value, GetHeight()); }
void TBitmap::SetHeight(int Value) { Resize(GetWidth(), Value); }
void TBitmap::SetSize(int AWidth, int AHeight) { Resize(AWidth, AHeight); }

// New pixels take the canvas brush's colour; the old picture stays at the top left.
void TBitmap::Resize(int w, int h) {
    w = std::max(0, w);
    h = std::max(0, h);
    if (w == GetWidth() && h == GetHeight()) return;
    ReleaseCanvas();
    if (w == 0 || h == 0) {
        // The other extent is kept while one is zero.
        D->image = QImage();
        D->w = w;
        D->h = h;
        Changed();
        return;
    }
    QImage img(w, h, QImage::Format_RGB32);
    TColor fill = D->canvas ? D->canvas->GetBrush()->GetColor() : clWhite;
    img.fill(QColor::fromRgb(ToQRgb(fill == clNone ? clWhite : fill)));
    if (!D->image.isNull()) {
        QPainter p(&img);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, D->image);
    }
    D->image = img;
    D->Sync();
    Changed();
}

QImage& TBitmap::Image() {
    ReleaseCanvas();
    return D->image;
}

const QImage& TBitmap::Image() const { return D->image; }

void TBitmap::SetImage(const QImage& image) {
    ReleaseCanvas();
    D->image = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_RGB32);
    D->Sync();
    if (FPixelFormat == pf1bit) SetPixelFormat(pf1bit);
    Changed();
}

QImage TBitmap::ToImage() const {
    if (D->image.isNull()) return QImage();
    if (FTransparent) return MaskedByColor(D->image, GetTransparentColor());
    // A deep copy while a painter writes into the pixels.
    return (D->canvas && D->canvas->Active()) ? D->image.copy() : D->image;
}

void TBitmap::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (Source == nullptr) {
        ReleaseCanvas();
        D->image = QImage();
        D->Sync();
        Changed();
        return;
    }
    if (auto* b = dynamic_cast<TBitmap*>(Source)) {
        ReleaseCanvas();
        D->image = b->D->image.copy();
        D->w = b->D->w;
        D->h = b->D->h;
        FPixelFormat = b->FPixelFormat;
        FTransparent = b->FTransparent;
        FTransparentMode = b->FTransparentMode;
        FTransparentColor = b->FTransparentColor;
        Changed();
        return;
    }
    if (auto* pic = dynamic_cast<TPicture*>(Source)) {
        if (auto* g = dynamic_cast<TBitmap*>(pic->GetGraphic())) {
            Assign(g);
            return;
        }
        if (!pic->GetGraphic()) {
            Assign(nullptr);
            return;
        }
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        // Other graphics are drawn onto a white bitmap of their size.
        QImage img(g->GetWidth(), g->GetHeight(), QImage::Format_RGB32);
        img.fill(Qt::white);
        if (!img.isNull()) {
            QPainter p(&img);
            p.drawImage(0, 0, g->ToImage());
        }
        SetImage(img);
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
    FPixelFormat = Value;
    if (Value == pf1bit && !D->image.isNull()) {
        // Colour to monochrome as the platform converts: white stays white, all else is black.
        ReleaseCanvas();
        for (int y = 0; y < D->image.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(D->image.scanLine(y));
            for (int x = 0; x < D->image.width(); ++x)
                line[x] = (line[x] & 0xFFFFFF) == 0xFFFFFF ? 0xFFFFFFFF : 0xFF000000;
        }
    }
    Changed();
}

void TBitmap::SetMonochrome(bool Value) {
    if (Value == GetMonochrome()) return;
    SetPixelFormat(Value ? pf1bit : pfDevice);
}

TColor TBitmap::GetTransparentColor() const {
    if (FTransparentMode == tmFixed) return FTransparentColor;
    if (D->image.isNull()) return clDefault;
    return FromQRgb(D->image.pixel(0, D->image.height() - 1));
}

void TBitmap::SetTransparentColor(TColor Value) {
    FTransparentColor = Value;
    FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
    if (Value == FTransparentMode) return;
    FTransparentMode = Value;
    if (Value == tmAuto)
        FTransparentColor = clDefault;
    else
        FTransparentColor = GetTransparentColor();
    Changed();
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (D->image.isNull() || Rect.IsEmpty()) return;
    QPainter* p = ACanvas->Painter();
    if (!p) return;
    QImage img = ToImage();
    if (FTransparent)
        DrawImageWithCopyMode(p, ToQRect(Rect), img, img.rect(), cmSrcCopy, QBrush());
    else
        DrawImageWithCopyMode(p, ToQRect(Rect), img, img.rect(), ACanvas->CopyMode, QBrush());
}

// ---------------------------------------------------------------------------
// BMP files

namespace {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

TPixelFormat FormatOfBits(int bits) {
    switch (bits) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 16: return pf16bit;
    case 24: return pf24bit;
    case 32: return pf32bit;
    default: return pfDevice;
    }
}

}  // namespace

// Reads one BMP file image of the given size (0: as the file header says).
void TBitmap::LoadBmp(TStream* Stream, int64_t size) {
    uint8_t head[14];
    Stream->ReadBuffer(head, sizeof head);
    if (head[0] != 'B' || head[1] != 'M') throw EInvalidGraphic("Bitmap image is not valid");
    int64_t fileSize = size > 0 ? size : Le32(head + 2);
    const int64_t left = Stream->GetSize() - Stream->GetPosition();
    if (fileSize < 14 + 12 || fileSize - 14 > left) fileSize = 14 + left;  // a wrong size field
    std::vector<uint8_t> data(static_cast<size_t>(fileSize));
    std::memcpy(data.data(), head, sizeof head);
    Stream->ReadBuffer(data.data() + 14, fileSize - 14);
    QImage img = QImage::fromData(data.data(), static_cast<int>(data.size()), "BMP");
    if (img.isNull()) throw EInvalidGraphic("Bitmap image is not valid");
    const int bits =
        data.size() >= 30 ? (Le32(data.data() + 14) == 12 ? Le16(data.data() + 24) : Le16(data.data() + 28)) : 24;
    ReleaseCanvas();
    D->image = img.convertToFormat(QImage::Format_RGB32);
    D->Sync();
    FPixelFormat = FormatOfBits(bits);  // the file's own colours stay, also for 1 bit
    Changed();
}

static std::vector<uint8_t> SaveBmp(const QImage& image, TPixelFormat format) {
    const int w = image.width(), h = image.height();
    const int bits = format == pf1bit ? 1 : format == pf32bit ? 32 : 24;
    const int stride = ((w * bits + 31) / 32) * 4;
    const int paletteSize = bits == 1 ? 8 : 0;
    const uint32_t offBits = 14 + 40 + paletteSize;
    const uint32_t imageSize = uint32_t(stride) * uint32_t(h);
    std::vector<uint8_t> v;
    v.reserve(offBits + imageSize);
    v.push_back('B');
    v.push_back('M');
    Put32(v, offBits + imageSize);
    Put32(v, 0);
    Put32(v, offBits);
    Put32(v, 40);
    Put32(v, uint32_t(w));
    Put32(v, uint32_t(h));
    Put16(v, 1);
    Put16(v, uint16_t(bits));
    Put32(v, 0);
    Put32(v, imageSize);
    Put32(v, 3780);
    Put32(v, 3780);
    Put32(v, bits == 1 ? 2 : 0);
    Put32(v, 0);
    const QImage src = image.convertToFormat(QImage::Format_RGB32);
    // One bit: the image's two colours (white as the set bit), else black and white.
    QRgb ink = 0x000000, paper = 0xFFFFFF;
    if (bits == 1) {
        std::vector<QRgb> seen;
        for (int y = 0; y < h && seen.size() <= 2; ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
            for (int x = 0; x < w && seen.size() <= 2; ++x)
                if (std::find(seen.begin(), seen.end(), line[x] & 0xFFFFFF) == seen.end())
                    seen.push_back(line[x] & 0xFFFFFF);
        }
        if (seen.size() == 2 && seen[0] != 0xFFFFFF && seen[1] != 0x000000) {
            ink = seen[0];
            paper = seen[1];
        } else if (seen.size() == 2 && seen[1] != 0xFFFFFF && seen[0] != 0x000000) {
            ink = seen[1];
            paper = seen[0];
        }
        Put32(v, ink);
        Put32(v, paper);
    }
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(src.constScanLine(y));
        size_t start = v.size();
        if (bits == 1) {
            std::vector<uint8_t> row(static_cast<size_t>(stride), 0);
            for (int x = 0; x < w; ++x)
                if ((line[x] & 0xFFFFFF) == paper) row[x / 8] |= uint8_t(0x80 >> (x % 8));
            v.insert(v.end(), row.begin(), row.end());
            continue;
        }
        for (int x = 0; x < w; ++x) {
            v.push_back(uint8_t(qBlue(line[x])));
            v.push_back(uint8_t(qGreen(line[x])));
            v.push_back(uint8_t(qRed(line[x])));
            if (bits == 32) v.push_back(0);
        }
        while (v.size() - start < size_t(stride)) v.push_back(0);
    }
    return v;
}

void TBitmap::LoadFromStream(TStream* Stream) { LoadBmp(Stream, 0); }

void TBitmap::SaveToStream(TStream* Stream) {
    if (D->image.isNull()) return;
    std::vector<uint8_t> v = SaveBmp(D->image, FPixelFormat);
    Stream->WriteBuffer(v.data(), static_cast<int64_t>(v.size()));
}

void TBitmap::ReadData(TStream* Stream) {
    int32_t size = Stream->ReadInt32();
    if (size <= 0) {
        Assign(nullptr);
        return;
    }
    LoadBmp(Stream, size);
}

void TBitmap::WriteData(TStream* Stream) {
    std::vector<uint8_t> v;
    if (!D->image.isNull()) v = SaveBmp(D->image, FPixelFormat);
    Stream->WriteInt32(static_cast<int32_t>(v.size()));
    if (!v.empty()) Stream->WriteBuffer(v.data(), static_cast<int64_t>(v.size()));
}
