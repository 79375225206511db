// The picture view: bitmaps, icons and JPEG pictures (through libjpeg), read
// with size limits, placed by stretching, aspect and centring.

#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <fstream>

#include <jpeglib.h>

#include "RP_Utils.h"
#include "RP_View.h"
#include "SysUtils.h"

namespace {

// Graphic kinds of the stream record.
enum : uint8_t { gkNone = 0, gkBitmap = 1, gkMetafile = 2, gkIcon = 3, gkJPEG = 4 };

void CheckSize(int64_t width, int64_t height, const char* what) {
    if (width <= 0 || height <= 0 || width > rpMaxPictureSide || height > rpMaxPictureSide ||
        width * height > rpMaxPicturePixels)
        throw ErpPictureError(std::string(what) + " of " + std::to_string(width) + " x " + std::to_string(height) +
                              " pixels is not accepted");
}

uint32_t LE32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) | uint32_t(uint8_t(b[at + 1])) << 8 | uint32_t(uint8_t(b[at + 2])) << 16 |
           uint32_t(uint8_t(b[at + 3])) << 24;
}
uint32_t BE32(const std::string& b, size_t at) {
    return uint32_t(uint8_t(b[at])) << 24 | uint32_t(uint8_t(b[at + 1])) << 16 | uint32_t(uint8_t(b[at + 2])) << 8 |
           uint32_t(uint8_t(b[at + 3]));
}

// The dimensions a bitmap file announces, checked before any pixel is allocated.
void CheckBitmapHeader(const std::string& b) {
    if (b.size() < 26 || b[0] != 'B' || b[1] != 'M') throw ErpPictureError("Damaged bitmap");
    uint32_t header = LE32(b, 14);
    int64_t width, height;
    if (header == 12) {
        width = uint16_t(uint8_t(b[18]) | uint8_t(b[19]) << 8);
        height = uint16_t(uint8_t(b[20]) | uint8_t(b[21]) << 8);
    } else {
        width = int32_t(LE32(b, 18));
        height = int32_t(LE32(b, 22));
        if (height < 0) height = -height;
    }
    CheckSize(width, height, "A bitmap");
}

// Every image of an icon file; PNG entries announce their size in their header.
void CheckIconHeader(const std::string& b) {
    if (b.size() < 6) throw ErpPictureError("Damaged icon");
    int count = uint8_t(b[4]) | uint8_t(b[5]) << 8;
    if (count == 0 || 6 + size_t(count) * 16 > b.size()) throw ErpPictureError("Damaged icon");
    for (int i = 0; i < count; ++i) {
        size_t entry = 6 + size_t(i) * 16;
        uint32_t size = LE32(b, entry + 8), offset = LE32(b, entry + 12);
        if (offset > b.size() || size > b.size() - offset) throw ErpPictureError("Damaged icon");
        if (size >= 24 && b.compare(offset + 1, 3, "PNG") == 0)
            CheckSize(BE32(b, offset + 16), BE32(b, offset + 20), "An icon image");
    }
}

std::string ReadAll(TStream* stream) {
    int64_t n = stream->GetSize() - stream->GetPosition();
    std::string bytes(size_t(std::max<int64_t>(n, 0)), '\0');
    if (n > 0) stream->ReadBuffer(bytes.data(), n);
    return bytes;
}

// libjpeg reports failures through a long jump back into the caller.
struct JpegError {
    jpeg_error_mgr Manager;
    std::jmp_buf Jump;
    char Message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr info) {
    auto* error = reinterpret_cast<JpegError*>(info->err);
    (*info->err->format_message)(info, error->Message);
    std::longjmp(error->Jump, 1);
}

// Decodes into 24-bit rows, bottom row first, padded as a bitmap file wants them.
bool DecodeJpeg(const std::string& data, std::string& pixels, int& width, int& height, std::string& message) {
    jpeg_decompress_struct info{};
    JpegError error{};
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = OnJpegError;
    if (setjmp(error.Jump)) {
        message = error.Message;
        jpeg_destroy_decompress(&info);
        return false;
    }
    jpeg_create_decompress(&info);
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(data.data()), static_cast<unsigned long>(data.size()));
    jpeg_read_header(&info, TRUE);
    if (info.image_width == 0 || info.image_height == 0 || info.image_width > unsigned(rpMaxPictureSide) ||
        info.image_height > unsigned(rpMaxPictureSide) ||
        int64_t(info.image_width) * info.image_height > rpMaxPicturePixels) {
        message = "A JPEG picture of " + std::to_string(info.image_width) + " x " + std::to_string(info.image_height) +
                  " pixels is not accepted";
        jpeg_destroy_decompress(&info);
        return false;
    }
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    width = int(info.output_width);
    height = int(info.output_height);
    const size_t stride = (size_t(width) * 3 + 3) & ~size_t(3);
    pixels.assign(stride * size_t(height), '\0');
    std::string row(size_t(width) * 3, '\0');
    while (info.output_scanline < info.output_height) {
        unsigned char* line = reinterpret_cast<unsigned char*>(row.data());
        jpeg_read_scanlines(&info, &line, 1);
        size_t y = size_t(height) - info.output_scanline;  // bottom-up
        char* out = pixels.data() + y * stride;
        for (int x = 0; x < width; ++x) {  // RGB to BGR
            out[x * 3] = row[size_t(x) * 3 + 2];
            out[x * 3 + 1] = row[size_t(x) * 3 + 1];
            out[x * 3 + 2] = row[size_t(x) * 3];
        }
    }
    jpeg_finish_decompress(&info);
    jpeg_destroy_decompress(&info);
    return true;
}

bool EncodeJpeg(const std::vector<unsigned char>& rgb, int width, int height, std::string& out, std::string& message) {
    jpeg_compress_struct info{};
    JpegError error{};
    unsigned char* buffer = nullptr;
    unsigned long size = 0;
    info.err = jpeg_std_error(&error.Manager);
    error.Manager.error_exit = OnJpegError;
    if (setjmp(error.Jump)) {
        message = error.Message;
        jpeg_destroy_compress(&info);
        std::free(buffer);
        return false;
    }
    jpeg_create_compress(&info);
    jpeg_mem_dest(&info, &buffer, &size);
    info.image_width = JDIMENSION(width);
    info.image_height = JDIMENSION(height);
    info.input_components = 3;
    info.in_color_space = JCS_RGB;
    jpeg_set_defaults(&info);
    jpeg_set_quality(&info, 90, TRUE);
    jpeg_start_compress(&info, TRUE);
    while (info.next_scanline < info.image_height) {
        auto* line = const_cast<unsigned char*>(rgb.data() + size_t(info.next_scanline) * size_t(width) * 3);
        jpeg_write_scanlines(&info, &line, 1);
    }
    jpeg_finish_compress(&info);
    out.assign(reinterpret_cast<char*>(buffer), size);
    jpeg_destroy_compress(&info);
    std::free(buffer);
    return true;
}

void PutLE16(std::string& s, uint16_t v) {
    s += char(v & 0xFF);
    s += char(v >> 8);
}
void PutLE32(std::string& s, uint32_t v) {
    for (int k = 0; k < 4; ++k) s += char((v >> (8 * k)) & 0xFF);
}

}  // namespace

// -------------------------------------------------------------- JPEG image

void TrpJPEGImage::LoadFromStream(TStream* stream) {
    std::string data = ReadAll(stream);
    std::string pixels, message;
    int width = 0, height = 0;
    if (!DecodeJpeg(data, pixels, width, height, message)) throw ErpPictureError("Damaged JPEG picture: " + message);
    // Handed to the bitmap as a 24-bit bitmap file.
    std::string bmp = "BM";
    PutLE32(bmp, uint32_t(14 + 40 + pixels.size()));
    PutLE32(bmp, 0);
    PutLE32(bmp, 14 + 40);
    PutLE32(bmp, 40);
    PutLE32(bmp, uint32_t(width));
    PutLE32(bmp, uint32_t(height));
    PutLE16(bmp, 1);
    PutLE16(bmp, 24);
    PutLE32(bmp, 0);
    PutLE32(bmp, uint32_t(pixels.size()));
    PutLE32(bmp, 2835);
    PutLE32(bmp, 2835);
    PutLE32(bmp, 0);
    PutLE32(bmp, 0);
    bmp += pixels;
    TMemoryStream file;
    file.WriteBuffer(bmp.data(), int64_t(bmp.size()));
    file.SetPosition(0);
    TBitmap::LoadFromStream(&file);
    FData = std::move(data);
}

void TrpJPEGImage::SaveToStream(TStream* stream) {
    if (FData.empty() && !GetEmpty()) {
        int w = GetWidth(), h = GetHeight();
        std::vector<unsigned char> rgb(size_t(w) * size_t(h) * 3);
        TCanvas* canvas = GetCanvas();
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) {
                TColor c = canvas->GetPixel(x, y);
                unsigned char* p = &rgb[(size_t(y) * size_t(w) + size_t(x)) * 3];
                p[0] = uint8_t(c & 0xFF);
                p[1] = uint8_t((c >> 8) & 0xFF);
                p[2] = uint8_t((c >> 16) & 0xFF);
            }
        std::string message;
        if (!EncodeJpeg(rgb, w, h, FData, message)) throw EWriteError("Cannot write JPEG picture: " + message);
    }
    if (!FData.empty()) stream->WriteBuffer(FData.data(), int64_t(FData.size()));
}

void TrpJPEGImage::Assign(TPersistent* source) {
    TBitmap::Assign(source);
    auto* jpeg = dynamic_cast<TrpJPEGImage*>(source);
    FData = jpeg ? jpeg->FData : std::string();
}

// ----------------------------------------------------------- picture view

TrpPictureView::TrpPictureView() : Picture(std::make_unique<TPicture>()) {
    Typ = gtPicture;
    BaseName = "Picture";
    Flags = flStretched | flPictureKeepAspect;
}

TrpPictureView::~TrpPictureView() = default;

namespace {

uint8_t KindOf(TGraphic* g) {
    if (!g || g->GetEmpty()) return gkNone;
    if (dynamic_cast<TrpJPEGImage*>(g)) return gkJPEG;
    if (dynamic_cast<TIcon*>(g)) return gkIcon;
    if (dynamic_cast<TBitmap*>(g)) return gkBitmap;
    return gkNone;
}

// Reads a graphic of the kind from its own file format; checks its size first.
std::unique_ptr<TGraphic> ReadGraphic(uint8_t kind, const std::string& bytes) {
    std::unique_ptr<TGraphic> g;
    switch (kind) {
    case gkBitmap:
        CheckBitmapHeader(bytes);
        g = std::make_unique<TBitmap>();
        break;
    case gkIcon:
        CheckIconHeader(bytes);
        g = std::make_unique<TIcon>();
        break;
    case gkJPEG: g = std::make_unique<TrpJPEGImage>(); break;
    default: return nullptr;  // none, or a metafile this platform does not draw
    }
    TMemoryStream s;
    if (!bytes.empty()) s.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    s.SetPosition(0);
    try {
        g->LoadFromStream(&s);
    } catch (const ErpPictureError&) {
        throw;
    } catch (const Exception& e) {
        throw ErpPictureError("Damaged picture: " + e.Message);
    }
    return g;
}

}  // namespace

void TrpPictureView::LoadFromStream(TStream* stream) {
    TrpView::LoadFromStream(stream);
    uint8_t kind = ReadByteFromStream(stream);
    if (ViewFormatVersion * 10 + ClassFormatVersion > 10) BlobType = ReadByteFromStream(stream);
    int64_t at = stream->GetPosition();
    int32_t end = ReadIntegerFromStream(stream);
    if (end < at + 4 || end > stream->GetSize())
        throw ErpPictureError("Picture record at " + std::to_string(at) + " ends at " + std::to_string(end));
    std::string bytes(size_t(end - stream->GetPosition()), '\0');
    if (!bytes.empty()) stream->ReadBuffer(bytes.data(), int64_t(bytes.size()));
    std::unique_ptr<TGraphic> g = ReadGraphic(kind, bytes);
    Picture->SetGraphic(g.get());
    stream->SetPosition(end);
}

void TrpPictureView::SaveToStream(TStream* stream) {
    TrpView::SaveToStream(stream);
    TGraphic* g = Picture->GetGraphic();
    uint8_t kind = KindOf(g);
    WriteByteToStream(stream, kind);
    WriteByteToStream(stream, BlobType);
    int64_t placeholder = stream->GetPosition();
    WriteIntegerToStream(stream, 0);
    if (kind != gkNone) g->SaveToStream(stream);
    int64_t end = stream->GetPosition();
    stream->SetPosition(placeholder);
    WriteIntegerToStream(stream, int32_t(end));
    stream->SetPosition(end);
}

TRect TrpPictureView::PictureRect() const {
    TGraphic* g = Picture->GetGraphic();
    int pw = g ? g->GetWidth() : 0, ph = g ? g->GetHeight() : 0;
    const TRect& r = DRect;
    const bool center = Flags & flPictureCenter;
    if (!(Flags & flStretched)) {
        int w = rpRound(pw * ScaleX), h = rpRound(ph * ScaleY);
        TRect t{r.Left, r.Top, r.Left + w, r.Top + h};
        if (center) {
            int mx = (r.Width() - w) / 2, my = (r.Height() - h) / 2;
            t = TRect{t.Left + mx, t.Top + my, t.Right + mx, t.Bottom + my};
        }
        return t;
    }
    if (!(Flags & flPictureKeepAspect) || pw <= 0 || ph <= 0) return r;
    double kx = double(r.Width()) / pw, ky = double(r.Height()) / ph;
    int w = r.Width(), h = r.Height();
    if (kx >= ky)
        w = rpRound(pw * ky);
    else
        h = rpRound(ph * kx);
    TRect t{r.Left, r.Top, r.Left + w, r.Top + h};
    if (center) {
        int mx = (r.Width() - w) / 2, my = (r.Height() - h) / 2;
        t = TRect{t.Left + mx, t.Top + my, t.Right + mx, t.Bottom + my};
    }
    return t;
}

void TrpPictureView::Draw(TCanvas* canvas) {
    BeginDraw(canvas);
    ScaleGeometry();
    DrawBackground();
    TGraphic* g = Picture->GetGraphic();
    if (g && !g->GetEmpty()) canvas->StretchDraw(PictureRect(), g);
    DrawFrame();
    RestoreGeometry();
}

void TrpPictureView::GetBlob(TObject* source, const std::string& field) {
    TrpContext* context = Context();
    if (!context) return;
    Variant value = context->GetFieldValue(source, field);
    if (value.IsNull() || value.IsEmpty()) {
        Picture->SetGraphic(nullptr);
        return;
    }
    static const uint8_t kindOfBlob[] = {gkBitmap, gkJPEG, gkIcon, gkMetafile};
    uint8_t kind = BlobType < 4 ? kindOfBlob[BlobType] : static_cast<uint8_t>(gkNone);
    std::unique_ptr<TGraphic> g = ReadGraphic(kind, value.IsString() ? value.RawString() : VarToStr(value));
    Picture->SetGraphic(g.get());
}

void TrpPictureView::SetPropertyValue(const std::string& propName, const Variant& value) {
    static const TrpFlagName flags[] = {{"CENTER", flPictureCenter}, {"KEEPASPECT", flPictureKeepAspect}};
    std::string p = UpperCase(propName);
    if (rpSetNamedFlag(flags, p, value, Flags)) return;
    if (p == "BLOBTYPE") {
        BlobType = uint8_t(value.IsNull() || value.IsEmpty() ? 0 : value.AsInteger());
        return;
    }
    TrpView::SetPropertyValue(propName, value);
}

Variant TrpPictureView::GetPropertyValue(const std::string& propName) {
    static const TrpFlagName flags[] = {{"CENTER", flPictureCenter}, {"KEEPASPECT", flPictureKeepAspect}};
    std::string p = UpperCase(propName);
    Variant flag;
    if (rpGetNamedFlag(flags, p, Flags, flag)) return flag;
    if (p == "BLOBTYPE") return int(BlobType);
    return TrpView::GetPropertyValue(propName);
}

Variant TrpPictureView::CallMethod(const std::string& methodName, const Variant& p1, const Variant& p2,
                                   const Variant& p3) {
    if (UpperCase(methodName) != "LOADFROMFILE") return TrpView::CallMethod(methodName, p1, p2, p3);
    TrpContext* context = Context();
    std::string file = context && p1.IsString() ? VarToStr(context->Calc(p1.AsString())) : VarToStr(p1);
    std::ifstream in(file, std::ios::binary);
    if (file.empty() || !in) {
        Picture->SetGraphic(nullptr);
        return Null();
    }
    std::string bytes((std::istreambuf_iterator<char>(in)), {});
    std::string ext = LowerCase(ExtractFileExt(file));
    uint8_t kind = ext == ".jpg" || ext == ".jpeg" ? gkJPEG : ext == ".ico" ? gkIcon : gkBitmap;
    std::unique_ptr<TGraphic> g = ReadGraphic(kind, bytes);
    Picture->SetGraphic(g.get());
    return Null();
}

void TrpPictureView::DeclareProperties() {
    TrpView::DeclareProperties();
    for (const char* name : {"Picture", "Stretched", "Center", "KeepAspect", "DataField"})
        if (!HasProperty(name)) AddProperty(name, rpdtBoolean);
    AddEnumProperty("BlobType", "btBMP;btJPG;btICO;btWMF");
}
