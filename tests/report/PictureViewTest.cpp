// Picture views: stream records, JPEG through libjpeg, size limits, placement.

#include <gtest/gtest.h>

#include "GuiTestApp.h"
#include "RP_Utils.h"
#include "RP_View.h"
#include "SysUtils.h"

namespace {

std::string Bytes(TMemoryStream& s) {
    return std::string(reinterpret_cast<const char*>(s.Memory()), size_t(s.GetSize()));
}

class PictureViewTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        page = report.Pages->Add();
        view = new TrpPictureView;
        view->Name = "Picture1";
        page->AddObject(view);
    }
    // A bitmap of w x h whose pixel (x, y) has red x * 8 and green y * 8.
    static std::unique_ptr<TBitmap> Gradient(int w, int h) {
        auto b = std::make_unique<TBitmap>();
        b->SetSize(w, h);
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x) b->GetCanvas()->SetPixel(x, y, TColor((x * 8) | ((y * 8) << 8)));
        return b;
    }
    std::unique_ptr<TrpPictureView> RoundTrip() {
        TMemoryStream s;
        view->SaveToStream(&s);
        s.SetPosition(0);
        auto back = std::make_unique<TrpPictureView>();
        back->LoadFromStream(&s);
        EXPECT_EQ(s.GetPosition(), s.GetSize());
        return back;
    }

    TrpReport report{nullptr};
    TrpPage* page = nullptr;
    TrpPictureView* view = nullptr;
};

TEST_F(PictureViewTest, BitmapAndEmptyPicturesRoundTrip) {
    view->BlobType = rpbtICO;
    auto empty = RoundTrip();
    EXPECT_TRUE(!empty->Picture->GetGraphic() || empty->Picture->GetGraphic()->GetEmpty());
    EXPECT_EQ(empty->BlobType, rpbtICO);
    auto bitmap = Gradient(6, 4);
    view->Picture->SetGraphic(bitmap.get());
    auto back = RoundTrip();
    ASSERT_NE(back->Picture->GetGraphic(), nullptr);
    EXPECT_EQ(back->Picture->GetWidth(), 6);
    EXPECT_EQ(back->Picture->GetHeight(), 4);
    auto* b = dynamic_cast<TBitmap*>(back->Picture->GetGraphic());
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetCanvas()->GetPixel(5, 3), TColor(40 | (24 << 8)));
}

TEST_F(PictureViewTest, JpegEncodesAndDecodesThroughLibjpeg) {
    auto bitmap = Gradient(16, 8);
    TrpJPEGImage jpeg;
    jpeg.Assign(bitmap.get());
    TMemoryStream encoded;
    jpeg.SaveToStream(&encoded);
    std::string data = Bytes(encoded);
    ASSERT_GT(data.size(), 4u);
    EXPECT_EQ(uint8_t(data[0]), 0xFF);  // a JPEG file starts with its SOI marker
    EXPECT_EQ(uint8_t(data[1]), 0xD8);
    encoded.SetPosition(0);
    TrpJPEGImage back;
    back.LoadFromStream(&encoded);
    EXPECT_EQ(back.GetWidth(), 16);
    EXPECT_EQ(back.GetHeight(), 8);
    TColor c = back.GetCanvas()->GetPixel(15, 7);
    EXPECT_NEAR(int(c & 0xFF), 120, 12);
    EXPECT_NEAR(int((c >> 8) & 0xFF), 56, 12);
    // The file read is written back unchanged.
    TMemoryStream again;
    back.SaveToStream(&again);
    EXPECT_EQ(Bytes(again), data);
    // In a view: kind 4 in the record.
    view->Picture->SetGraphic(&back);
    auto copy = RoundTrip();
    EXPECT_NE(dynamic_cast<TrpJPEGImage*>(copy->Picture->GetGraphic()), nullptr);
}

TEST_F(PictureViewTest, DamagedOrOversizedPicturesAreRefused) {
    auto record = [&](uint8_t kind, const std::string& data) {
        TMemoryStream s;
        TrpPictureView plain;
        plain.TrpView::SaveToStream(&s);
        WriteByteToStream(&s, kind);
        WriteByteToStream(&s, 0);
        WriteIntegerToStream(&s, int32_t(s.GetPosition() + 4 + int64_t(data.size())));
        s.WriteBuffer(data.data(), int64_t(data.size()));
        return Bytes(s);
    };
    std::string hugeBmp = "BM" + std::string(12, '\0');
    hugeBmp += std::string("\x28\0\0\0", 4) + std::string("\xA0\x86\x01\0", 4) + std::string("\xA0\x86\x01\0", 4);
    hugeBmp += std::string(40, '\0');
    struct Row {
        const char* what;
        std::string bytes;
    };
    const Row rows[] = {
        {"bitmap of 100000 x 100000", record(1, hugeBmp)},
        {"bitmap cut short", record(1, "BM\x10")},
        {"JPEG that is no JPEG", record(4, "not a jpeg at all")},
        {"icon with a wild entry", record(3, std::string("\0\0\1\0\x09\0", 6))},
        {"end before the record",
         [&] {
             std::string b = record(0, "");
             b.replace(b.size() - 4, 4, std::string("\x01\0\0\0", 4));
             return b;
         }()},
    };
    for (const Row& r : rows) {
        TMemoryStream s;
        s.WriteBuffer(r.bytes.data(), int64_t(r.bytes.size()));
        s.SetPosition(0);
        TrpPictureView back;
        EXPECT_THROW(back.LoadFromStream(&s), EReadError) << r.what;
    }
}

TEST_F(PictureViewTest, PlacementByStretchAspectAndCentre) {
    auto bitmap = Gradient(20, 10);
    view->Picture->SetGraphic(bitmap.get());
    view->DRect = TRect{0, 0, 100, 100};
    struct Row {
        uint16_t flags;
        TRect expected;
    };
    const Row rows[] = {
        {0, TRect{0, 0, 20, 10}},
        {flPictureCenter, TRect{40, 45, 60, 55}},
        {flStretched, TRect{0, 0, 100, 100}},
        {flStretched | flPictureKeepAspect, TRect{0, 0, 100, 50}},
        {flStretched | flPictureKeepAspect | flPictureCenter, TRect{0, 25, 100, 75}},
    };
    for (const Row& r : rows) {
        view->Flags = r.flags;
        EXPECT_EQ(view->PictureRect(), r.expected) << r.flags;
    }
}

TEST_F(PictureViewTest, LoadFromFileOfAMissingFileLeavesThePictureEmpty) {
    auto bitmap = Gradient(2, 2);
    view->Picture->SetGraphic(bitmap.get());
    view->CallMethod("LOADFROMFILE", Variant("'/nonexistent/picture.bmp'"), Variant(), Variant());
    EXPECT_TRUE(!view->Picture->GetGraphic() || view->Picture->GetGraphic()->GetEmpty());
}

}  // namespace
