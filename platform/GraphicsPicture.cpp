// Icons, pictures (a graphic of any registered kind) and image lists.

#include "GraphicsPrivate.h"
#include "SysUtils.h"

#include <QByteArray>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <map>
#include <mutex>

using namespace gfx;

// ---------------------------------------------------------------------------
// TIcon

namespace {

uint16_t Le16(const uint8_t* p) { return uint16_t(p[0] | (p[1] << 8)); }
uint32_t Le32(const uint8_t* p) {
    return uint32_t(p[0]) | (uint32_t(p[1]) << 8) | (uint32_t(p[2]) << 16) | (uint32_t(p[3]) << 24);
}
int32_t LeI32(const uint8_t* p) { return static_cast<int32_t>(Le32(p)); }
void Put16(std::vector<uint8_t>& v, uint16_t x) {
    v.push_back(uint8_t(x));
    v.push_back(uint8_t(x >> 8));
}
void Put32(std::vector<uint8_t>& v, uint32_t x) {
    for (int i = 0; i < 4; ++i) v.push_back(uint8_t(x >> (8 * i)));
}

// An icon image stored as a device-independent bitmap: colour rows, then the
// 1-bit AND mask, both bottom-up, the header giving twice the height.
QImage DecodeIconDib(const uint8_t* d, size_t size) {
    if (size < 40) return QImage();
    const uint32_t hdr = Le32(d);
    const int w = LeI32(d + 4), h2 = LeI32(d + 8), bits = Le16(d + 14);
    const int h = h2 / 2;
    if (hdr < 40 || w <= 0 || h <= 0 || w > 1024 || h > 1024) return QImage();
    uint32_t colors = Le32(d + 32);
    if (bits <= 8 && colors == 0) colors = 1u << bits;
    if (bits > 8) colors = 0;
    size_t pos = hdr;
    std::vector<QRgb> palette;
    for (uint32_t i = 0; i < colors; ++i, pos += 4) {
        if (pos + 4 > size) return QImage();
        palette.push_back(qRgb(d[pos + 2], d[pos + 1], d[pos]));
    }
    const size_t xorStride = ((size_t(w) * bits + 31) / 32) * 4;
    const size_t andStride = ((size_t(w) + 31) / 32) * 4;
    const size_t xorPos = pos, andPos = pos + xorStride * h;
    if (xorPos + xorStride * h > size) return QImage();
    const bool hasMask = andPos + andStride * h <= size;
    // A damaged file may index past its palette: such pixels are black.
    auto pal = [&palette](size_t i) { return i < palette.size() ? palette[i] : qRgb(0, 0, 0); };
    QImage img(w, h, QImage::Format_ARGB32);
    bool anyAlpha = false;
    for (int y = 0; y < h; ++y) {
        const uint8_t* row = d + xorPos + xorStride * (h - 1 - y);
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x) {
            QRgb c = 0;
            switch (bits) {
            case 1: c = pal((row[x / 8] >> (7 - x % 8)) & 1); break;
            case 4: c = pal((row[x / 2] >> (x % 2 ? 0 : 4)) & 0xF); break;
            case 8: c = pal(row[x]); break;
            case 24: c = qRgb(row[x * 3 + 2], row[x * 3 + 1], row[x * 3]); break;
            case 32:
                c = qRgba(row[x * 4 + 2], row[x * 4 + 1], row[x * 4], row[x * 4 + 3]);
                anyAlpha = anyAlpha || row[x * 4 + 3] != 0;
                break;
            default: return QImage();
            }
            out[x] = c;
        }
    }
    for (int y = 0; y < h; ++y) {
        auto* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        const uint8_t* mask = hasMask ? d + andPos + andStride * (h - 1 - y) : nullptr;
        for (int x = 0; x < w; ++x) {
            bool transparent = mask && ((mask[x / 8] >> (7 - x % 8)) & 1);
            if (bits == 32 && anyAlpha) continue;  // the alpha channel rules
            out[x] = transparent ? 0 : (out[x] | 0xFF000000);
        }
    }
    return img;
}

}  // namespace

TIcon::TIcon() : FImage(std::make_unique<QImage>()) { FTransparent = true; }
TIcon::~TIcon() = default;

void TIcon::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (!Source) {
        SetImage(QImage());
        return;
    }
    if (auto* i = dynamic_cast<TIcon*>(Source)) {
        SetImage(*i->FImage);
        return;
    }
    if (auto* pic = dynamic_cast<TPicture*>(Source)) {
        if (auto* i = dynamic_cast<TIcon*>(pic->GetGraphic())) {
            Assign(i);
            return;
        }
        if (!pic->GetGraphic()) {
            Assign(nullptr);
            return;
        }
    }
    TGraphic::Assign(Source);
}

bool TIcon::GetEmpty() const { return FImage->isNull(); }
int TIcon::GetWidth() const { return FImage->width(); }
int TIcon::GetHeight() const { return FImage->height(); }
void TIcon::SetWidth(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
void TIcon::SetHeight(int) { throw EInvalidGraphicOperation("Cannot change the size of an icon"); }
QImage TIcon::ToImage() const { return *FImage; }

void TIcon::SetImage(const QImage& image) {
    *FImage = image.isNull() ? QImage() : image.convertToFormat(QImage::Format_ARGB32);
    Changed();
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
    if (FImage->isNull() || Rect.IsEmpty()) return;
    if (QPainter* p = ACanvas->Painter()) {
        DrawImageWithCopyMode(p, ToQRect(Rect), *FImage, FImage->rect(), cmSrcCopy, QBrush());
    }
}

void TIcon::LoadFromStream(TStream* Stream) {
    const int64_t base = Stream->GetPosition();
    uint8_t head[6];
    Stream->ReadBuffer(head, sizeof head);
    const int count = Le16(head + 4);
    if (Le16(head) != 0 || (Le16(head + 2) != 1 && Le16(head + 2) != 2) || count == 0)
        throw EInvalidGraphic("Icon image is not valid");
    std::vector<uint8_t> dir(size_t(count) * 16);
    Stream->ReadBuffer(dir.data(), static_cast<int64_t>(dir.size()));
    // Offsets and sizes are 32-bit each: their sum is taken in 64 bits so
    // that an entry cannot wrap round to a small end.
    uint64_t end = 0;
    for (int i = 0; i < count; ++i) end = std::max(end, uint64_t(Le32(&dir[i * 16 + 12])) + Le32(&dir[i * 16 + 8]));
    const uint64_t headLen = 6 + uint64_t(dir.size());
    const int64_t left = Stream->GetSize() - Stream->GetPosition();
    if (end < headLen || left < 0 || end - headLen > uint64_t(left)) throw EInvalidGraphic("Icon image is not valid");
    std::vector<uint8_t> body(end);
    Stream->ReadBuffer(body.data() + headLen, static_cast<int64_t>(end - headLen));
    (void)base;

    // The largest, then deepest, image.
    QImage best;
    int bestArea = -1, bestBits = -1;
    for (int i = 0; i < count; ++i) {
        const uint8_t* e = &dir[i * 16];
        const uint32_t size = Le32(e + 8), off = Le32(e + 12);
        if (off < headLen || uint64_t(off) + size > end) continue;
        const uint8_t* d = body.data() + off;
        QImage img;
        if (size >= 8 && std::memcmp(d, "\x89PNG", 4) == 0)
            img = QImage::fromData(d, static_cast<int>(size), "PNG").convertToFormat(QImage::Format_ARGB32);
        else
            img = DecodeIconDib(d, size);
        if (img.isNull()) continue;
        int area = img.width() * img.height(), bits = Le16(e + 6);
        if (area > bestArea || (area == bestArea && bits > bestBits)) {
            best = img;
            bestArea = area;
            bestBits = bits;
        }
    }
    if (best.isNull()) throw EInvalidGraphic("Icon image is not valid");
    SetImage(best);
}

void TIcon::SaveToStream(TStream* Stream) {
    if (FImage->isNull()) return;
    const int w = FImage->width(), h = FImage->height();
    const size_t andStride = ((size_t(w) + 31) / 32) * 4;
    std::vector<uint8_t> dib;
    Put32(dib, 40);
    Put32(dib, uint32_t(w));
    Put32(dib, uint32_t(h * 2));
    Put16(dib, 1);
    Put16(dib, 32);
    Put32(dib, 0);
    Put32(dib, uint32_t(w * h * 4 + andStride * h));
    Put32(dib, 0);
    Put32(dib, 0);
    Put32(dib, 0);
    Put32(dib, 0);
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(FImage->constScanLine(y));
        for (int x = 0; x < w; ++x) {
            dib.push_back(uint8_t(qBlue(line[x])));
            dib.push_back(uint8_t(qGreen(line[x])));
            dib.push_back(uint8_t(qRed(line[x])));
            dib.push_back(uint8_t(qAlpha(line[x])));
        }
    }
    for (int y = h - 1; y >= 0; --y) {
        const auto* line = reinterpret_cast<const QRgb*>(FImage->constScanLine(y));
        std::vector<uint8_t> row(andStride, 0);
        for (int x = 0; x < w; ++x)
            if (qAlpha(line[x]) == 0) row[x / 8] |= uint8_t(0x80 >> (x % 8));
        dib.insert(dib.end(), row.begin(), row.end());
    }
    std::vector<uint8_t> v;
    Put16(v, 0);
    Put16(v, 1);
    Put16(v, 1);
    v.push_back(uint8_t(w >= 256 ? 0 : w));
    v.push_back(uint8_t(h >= 256 ? 0 : h));
    v.push_back(0);
    v.push_back(0);
    Put16(v, 1);
    Put16(v, 32);
    Put32(v, uint32_t(dib.size()));
    Put32(v, 6 + 16);
    v.insert(v.end(), dib.begin(), dib.end());
    Stream->WriteBuffer(v.data(), static_cast<int64_t>(v.size()));
}

// ---------------------------------------------------------------------------
// Graphic classes

namespace {

struct GraphicKind {
    std::string className, extension;
    TGraphicFactory factory;
};

std::vector<GraphicKind>& Kinds() {
    static std::vector<GraphicKind> kinds{
        {"TBitmap", "bmp", [] { return static_cast<TGraphic*>(new TBitmap); }},
        {"TIcon", "ico", [] { return static_cast<TGraphic*>(new TIcon); }},
    };
    return kinds;
}

std::mutex& KindsLock() {
    static std::mutex m;
    return m;
}

TGraphic* CreateByClass(const std::string& className) {
    std::lock_guard<std::mutex> lock(KindsLock());
    for (const GraphicKind& k : Kinds())
        if (LowerCase(k.className) == LowerCase(className)) return k.factory();
    return nullptr;
}

TGraphic* CreateByExtension(const std::string& ext) {
    std::lock_guard<std::mutex> lock(KindsLock());
    for (const GraphicKind& k : Kinds())
        if (LowerCase(k.extension) == LowerCase(ext)) return k.factory();
    return nullptr;
}

}  // namespace

void RegisterGraphicClass(const std::string& className, const std::string& extension, TGraphicFactory factory) {
    std::lock_guard<std::mutex> lock(KindsLock());
    for (GraphicKind& k : Kinds())
        if (LowerCase(k.className) == LowerCase(className)) {
            k = {className, extension, factory};
            return;
        }
    Kinds().push_back({className, extension, std::move(factory)});
}

// ---------------------------------------------------------------------------
// TPicture

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

void TPicture::Changed(TObject*) {
    if (OnChange) OnChange(this);
}

void TPicture::Attach(TGraphic* graphic) {
    FGraphic.reset(graphic);
    if (FGraphic) FGraphic->OnChange = [this](TObject* s) { Changed(s); };
    Changed(this);
}

void TPicture::Assign(TPersistent* Source) {
    if (Source == this) return;
    if (!Source) {
        Attach(nullptr);
        return;
    }
    if (auto* p = dynamic_cast<TPicture*>(Source)) {
        SetGraphic(p->GetGraphic());
        return;
    }
    if (auto* g = dynamic_cast<TGraphic*>(Source)) {
        SetGraphic(g);
        return;
    }
    TPersistent::Assign(Source);
}

void TPicture::SetGraphic(TGraphic* Value) {
    if (!Value) {
        Attach(nullptr);
        return;
    }
    if (Value == FGraphic.get()) return;
    TGraphic* copy = CreateByClass(Value->ClassName());
    if (!copy) throw EInvalidGraphic("Unsupported graphic class " + Value->ClassName());
    copy->Assign(Value);
    Attach(copy);
}

TBitmap* TPicture::GetBitmap() {
    if (auto* b = dynamic_cast<TBitmap*>(FGraphic.get())) return b;
    Attach(new TBitmap);
    return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::GetIcon() {
    if (auto* i = dynamic_cast<TIcon*>(FGraphic.get())) return i;
    Attach(new TIcon);
    return static_cast<TIcon*>(FGraphic.get());
}

int TPicture::GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }
int TPicture::GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

void TPicture::LoadFromFile(const std::string& FileName) {
    std::string ext;
    if (size_t dot = FileName.rfind('.'); dot != std::string::npos && FileName.find('/', dot) == std::string::npos)
        ext = FileName.substr(dot + 1);
    std::unique_ptr<TGraphic> g(CreateByExtension(ext));
    if (!g) throw EInvalidGraphic("Unknown picture file extension (." + ext + ")");
    g->LoadFromFile(FileName);
    Attach(g.release());
}

void TPicture::SaveToFile(const std::string& FileName) {
    if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::DefineProperties(TFiler* Filer) {
    Filer->DefineBinaryProperty(
        "Data", [this](TStream* s) { ReadData(s); }, [this](TStream* s) { WriteData(s); },
        FGraphic && !FGraphic->GetEmpty());
}

void TPicture::ReadData(TStream* Stream) {
    uint8_t len = Stream->ReadByte();
    std::string name(len, '\0');
    if (len) Stream->ReadBuffer(name.data(), len);
    std::unique_ptr<TGraphic> g(CreateByClass(name));
    if (!g) throw EInvalidGraphic("Unsupported graphic class " + name);
    g->ReadData(Stream);
    Attach(g.release());
}

void TPicture::WriteData(TStream* Stream) {
    std::string name = FGraphic ? FGraphic->ClassName() : std::string();
    Stream->WriteByte(static_cast<uint8_t>(name.size()));
    if (!name.empty()) Stream->WriteBuffer(name.data(), static_cast<int64_t>(name.size()));
    if (FGraphic) FGraphic->WriteData(Stream);
}

// ---------------------------------------------------------------------------
// TImageList

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner) {}
TImageList::~TImageList() = default;

void TImageList::Changed() {
    if (OnChange) OnChange(this);
}

int TImageList::Count() const { return static_cast<int>(FImages.size()); }

void TImageList::SetWidth(int Value) {
    if (Value <= 0 || Value == FWidth) return;
    FWidth = Value;
    Clear();
}

void TImageList::SetHeight(int Value) {
    if (Value <= 0 || Value == FHeight) return;
    FHeight = Value;
    Clear();
}

namespace {

// Cuts a strip into cells of the list's size; cells beyond the image stay transparent.
std::vector<QImage> CutCells(const QImage& strip, int w, int h) {
    std::vector<QImage> cells;
    const int n = std::max(1, strip.width() / w);
    for (int i = 0; i < n; ++i) {
        QImage cell(w, h, QImage::Format_ARGB32);
        cell.fill(0);
        QPainter p(&cell);
        p.setCompositionMode(QPainter::CompositionMode_Source);
        p.drawImage(0, 0, strip, i * w, 0, w, h);
        p.end();
        cells.push_back(cell);
    }
    return cells;
}

}  // namespace

int TImageList::Add(TBitmap* Image, TBitmap* Mask) {
    if (!Image || Image->GetEmpty()) return -1;
    QImage strip = Image->Image().convertToFormat(QImage::Format_ARGB32);
    if (Mask && !Mask->GetEmpty()) {
        const QImage& m = Mask->Image();
        for (int y = 0; y < strip.height() && y < m.height(); ++y) {
            auto* line = reinterpret_cast<QRgb*>(strip.scanLine(y));
            for (int x = 0; x < strip.width() && x < m.width(); ++x)
                if ((m.pixel(x, y) & 0xFFFFFF) != 0) line[x] = 0;
        }
    }
    const int first = Count();
    for (QImage& c : CutCells(strip, FWidth, FHeight)) FImages.push_back(std::move(c));
    Changed();
    return first;
}

int TImageList::AddMasked(TBitmap* Image, TColor MaskColor) {
    if (!Image || Image->GetEmpty()) return -1;
    const QImage& src = Image->Image();
    TColor key = MaskColor == clDefault ? FromQRgb(src.pixel(0, src.height() - 1)) : MaskColor;
    const int first = Count();
    for (QImage& c : CutCells(MaskedByColor(src, key), FWidth, FHeight)) FImages.push_back(std::move(c));
    Changed();
    return first;
}

int TImageList::AddIcon(TIcon* Icon) {
    if (!Icon || Icon->GetEmpty()) return -1;
    FImages.push_back(Icon->ToImage().scaled(FWidth, FHeight).convertToFormat(QImage::Format_ARGB32));
    Changed();
    return Count() - 1;
}

void TImageList::Delete(int Index) {
    if (Index < 0 || Index >= Count()) throw EInvalidOperation("Image list index out of bounds");
    FImages.erase(FImages.begin() + Index);
    Changed();
}

void TImageList::Clear() {
    if (FImages.empty()) return;
    FImages.clear();
    Changed();
}

void TImageList::GetBitmap(int Index, TBitmap* Image) {
    if (!Image || Index < 0 || Index >= Count()) return;
    QImage img(FWidth, FHeight, QImage::Format_RGB32);
    img.fill(ColorToQColor(BkColor == clNone ? clWhite : BkColor));
    QPainter p(&img);
    p.drawImage(0, 0, FImages[Index]);
    p.end();
    Image->SetImage(img);
}

void TImageList::Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled) {
    if (!Canvas || Index < 0 || Index >= Count()) return;
    QPainter* p = Canvas->Painter();
    if (!p) return;
    Canvas->Changing();
    const QImage& img = FImages[Index];
    const QRect dest(X, Y, FWidth, FHeight);
    if (Enabled) {
        DrawImageWithCopyMode(p, dest, img, img.rect(), cmSrcCopy, QBrush());
    } else {
        // Embossed: the image's dark shape in highlight one pixel down and right,
        // then in shadow in place; white and transparent pixels stay out.
        QImage hi(img.size(), QImage::Format_ARGB32), sh(img.size(), QImage::Format_ARGB32);
        hi.fill(0);
        sh.fill(0);
        const QRgb hiC = ToQRgb(clBtnHighlight) | 0xFF000000, shC = ToQRgb(clBtnShadow) | 0xFF000000;
        for (int y = 0; y < img.height(); ++y)
            for (int x = 0; x < img.width(); ++x) {
                QRgb c = img.pixel(x, y);
                if (qAlpha(c) < 128 || (c & 0xFFFFFF) == 0xFFFFFF) continue;
                hi.setPixel(x, y, hiC);
                sh.setPixel(x, y, shC);
            }
        DrawImageWithCopyMode(p, dest.translated(1, 1), hi, hi.rect(), cmSrcCopy, QBrush());
        DrawImageWithCopyMode(p, dest, sh, sh.rect(), cmSrcCopy, QBrush());
    }
    Canvas->Changed();
}
