// Prepared pages and the prepared-report file: exact form, round trips, a
// reader that trusts nothing, atomic saves, hit tests.

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "GuiTestApp.h"
#include "RP_Class.h"
#include "RP_Pars.h"
#include "RP_Utils.h"
#include "RP_View.h"
#include "SysUtils.h"

namespace {

std::string Bytes(TMemoryStream& s) {
    return std::string(reinterpret_cast<const char*>(s.Memory()), size_t(s.GetSize()));
}

class PreparedTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        FormatSettings = USFormatSettings();
        page = report.Pages->Add();
    }
    // A report of `pages` prepared pages, each with `memos` memos "Row i".
    void Build(int pages, int memos) {
        for (int p = 0; p < pages; ++p) {
            report.EMFPages->Add(page);
            for (int m = 0; m < memos; ++m) {
                auto* memo = new TrpMemoView;
                memo->Name = "Memo" + std::to_string(m + 1);
                memo->x = 10;
                memo->y = 20 * m;
                memo->dx = 100;
                memo->dy = 18;
                memo->Memo->SetText("Row " + std::to_string(p * memos + m));
                page->AddObject(memo);
                memo->WritePreparedObject(report.EMFPages->Page(p).Stream.get());
            }
            page->ClearObjects();
        }
    }
    std::string Saved() {
        TMemoryStream s;
        report.EMFPages->SaveToStream(&s);
        return Bytes(s);
    }
    void LoadBytes(TrpReport& into, const std::string& bytes) {
        TMemoryStream s;
        if (!bytes.empty()) s.WriteBuffer(bytes.data(), int64_t(bytes.size()));
        s.SetPosition(0);
        into.EMFPages->LoadFromStream(&s);
    }

    TrpReport report{nullptr};
    TrpPage* page = nullptr;
};

TEST_F(PreparedTest, EmptyReportFileForm) {
    std::string bytes = Saved();
    // Version 24, flag 0, "Virtual printer" (u16 length, bytes, zero), count 0.
    std::string expected = std::string("\x18\x00", 2) + std::string("\x0F\x00", 2) + "Virtual printer" +
                           std::string("\0", 1) + std::string("\0\0\0\0", 4);
    EXPECT_EQ(bytes, expected);
    TrpReport back(nullptr);
    LoadBytes(back, bytes);
    EXPECT_EQ(back.EMFPages->Count(), 0);
}

TEST_F(PreparedTest, PageEntryFormAndByteForByteRoundTrip) {
    page->LeftMargin = 30;
    page->Bin = 7;
    Build(3, 4);
    std::string bytes = Saved();
    // The first entry: next position, paper, orientation, bin, use margins, margins, page stream.
    TMemoryStream s;
    s.WriteBuffer(bytes.data(), int64_t(bytes.size()));
    s.SetPosition(2);
    ReadStringFromStream(&s);
    EXPECT_EQ(ReadIntegerFromStream(&s), 3);
    int64_t entry = s.GetPosition();
    int32_t next = ReadIntegerFromStream(&s);
    EXPECT_EQ(ReadWordFromStream(&s), page->Size);
    EXPECT_EQ(ReadIntegerFromStream(&s), page->Width);
    EXPECT_EQ(ReadIntegerFromStream(&s), page->Height);
    EXPECT_EQ(ReadByteFromStream(&s), 0);
    EXPECT_EQ(ReadIntegerFromStream(&s), 7);
    EXPECT_EQ(ReadByteFromStream(&s), 1);
    EXPECT_EQ(ReadIntegerFromStream(&s), 30);
    s.SetPosition(s.GetPosition() + 12);
    EXPECT_EQ(next - s.GetPosition(), report.EMFPages->Page(0).Stream->GetSize());
    EXPECT_EQ(ReadByteFromStream(&s), 24);  // the page stream's own version byte
    EXPECT_EQ(ReadByteFromStream(&s), gtMemo);
    EXPECT_GT(next, entry);

    TrpReport back(nullptr);
    LoadBytes(back, bytes);
    ASSERT_EQ(back.EMFPages->Count(), 3);
    EXPECT_EQ(back.EMFPages->Page(2).Bin, 7);
    EXPECT_EQ(back.EMFPages->Page(2).Margins.Left, 30);
    back.EMFPages->LoadPageObjects(1);
    TrpPage* decoded = back.EMFPages->Page(1).Page.get();
    ASSERT_EQ(decoded->Count(), 4);
    EXPECT_EQ(decoded->Objects[3]->Memo->Get(0), "Row 7");
    TMemoryStream again;
    back.EMFPages->SaveToStream(&again);
    EXPECT_EQ(Bytes(again), bytes);
}

TEST_F(PreparedTest, StoredPageObjectsReadBackTheSame) {
    Build(1, 2);
    std::string before = Bytes(*report.EMFPages->Page(0).Stream);
    report.EMFPages->LoadPageObjects(0);
    report.EMFPages->StorePageObjects(0);
    EXPECT_EQ(Bytes(*report.EMFPages->Page(0).Stream), before);
}

TEST_F(PreparedTest, VersionZeroFilesHaveNoBinsAndNoMargins) {
    // First byte below 24 and second byte 0: read from the start as version 0.
    TMemoryStream s;
    WriteByteToStream(&s, 0);  // compression flag
    SaveStringToStream("Abc", &s);
    WriteIntegerToStream(&s, 1);
    int64_t entry = s.GetPosition();
    WriteIntegerToStream(&s, 0);
    WriteWordToStream(&s, 1);
    WriteIntegerToStream(&s, 2159);
    WriteIntegerToStream(&s, 2794);
    WriteByteToStream(&s, 0);
    WriteByteToStream(&s, 1);
    WriteByteToStream(&s, 24);
    int64_t end = s.GetPosition();
    s.SetPosition(entry);
    WriteIntegerToStream(&s, int32_t(end));
    TrpReport back(nullptr);
    LoadBytes(back, Bytes(s));
    ASSERT_EQ(back.EMFPages->Count(), 1);
    EXPECT_EQ(back.EMFPages->Page(0).Bin, -1);
    EXPECT_EQ(back.EMFPages->Page(0).Margins, TRect{});
    EXPECT_EQ(back.PrinterName, "Abc");
}

TEST_F(PreparedTest, DamagedFilesRaiseAndKeepThePagesAsTheyWere) {
    Build(2, 3);
    const std::string good = Saved();
    auto withInt = [&](size_t at, int32_t value) {
        std::string b = good;
        for (int k = 0; k < 4; ++k) b[at + size_t(k)] = char((uint32_t(value) >> (8 * k)) & 0xFF);
        return b;
    };
    const size_t count = 2 + 2 + 15 + 1;
    const size_t firstEntry = count + 4;
    struct Row {
        const char* what;
        std::string bytes;
    };
    const Row rows[] = {
        {"huge page count", withInt(count, 0x7FFFFFFF)},
        {"negative page count", withInt(count, -1)},
        {"next position before its entry", withInt(firstEntry, int32_t(firstEntry))},
        {"next position past the end", withInt(firstEntry, int32_t(good.size() + 1))},
        {"next position inside the fields", withInt(firstEntry, int32_t(firstEntry + 8))},
        {"paper width 0", withInt(firstEntry + 6, 0)},
        {"negative paper height", withInt(firstEntry + 10, -5)},
        {"unknown object type",
         [&] {
             std::string b = good;
             b[firstEntry + 36 + 1] = char(9);
             return b;
         }()},
        {"oldest layout",
         [&] {
             std::string b = good;
             b[1] = char(7);
             return b;
         }()},
        {"cut short", good.substr(0, good.size() - 3)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.what);
        TrpReport back(nullptr);
        LoadBytes(back, good);
        ASSERT_EQ(back.EMFPages->Count(), 2);
        EXPECT_THROW(LoadBytes(back, r.bytes), ErpPreparedReportError);
        EXPECT_EQ(back.EMFPages->Count(), 2);
    }
}

TEST_F(PreparedTest, TruncatedAndFlippedFilesNeverCrashOrHang) {
    Build(2, 3);
    const std::string good = Saved();
    int refused = 0, read = 0;
    auto attempt = [&](const std::string& bytes) {
        TrpReport back(nullptr);
        try {
            LoadBytes(back, bytes);
            ++read;
            // What was accepted can be drawn and saved again.
            for (int i = 0; i < back.EMFPages->Count(); ++i) back.EMFPages->LoadPageObjects(i);
            TMemoryStream out;
            back.EMFPages->SaveToStream(&out);
        } catch (const ErpPreparedReportError&) {
            ++refused;
        }
    };
    for (size_t n = 0; n < good.size(); n += 3) attempt(good.substr(0, n));
    for (size_t i = 0; i < good.size(); ++i)
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::string b = good;
            b[i] = char(uint8_t(b[i]) ^ flip);
            attempt(b);
        }
    EXPECT_GT(refused, 0);
    EXPECT_GT(read, 0);
}

TEST_F(PreparedTest, SaveIsAtomic) {
    Build(1, 1);
    char dir[] = "/tmp/rppXXXXXX";
    ASSERT_NE(mkdtemp(dir), nullptr);
    std::string file = std::string(dir) + "/report.rpp";
    report.SavePreparedReport(file);
    TrpReport back(nullptr);
    back.LoadPreparedReport(file);
    EXPECT_EQ(back.EMFPages->Count(), 1);
    EXPECT_FALSE(back.Rebuildable);
    // A target that cannot be replaced (a folder holding a file): the save
    // fails, the folder is untouched and no temporary file is left behind.
    std::string blocked = std::string(dir) + "/blocked";
    ASSERT_EQ(mkdir(blocked.c_str(), 0700), 0);
    std::string inner = blocked + "/keep";
    std::ofstream(inner) << "kept";
    EXPECT_THROW(report.SavePreparedReport(blocked), EFCreateError);
    std::ifstream kept(inner);
    std::string text((std::istreambuf_iterator<char>(kept)), {});
    EXPECT_EQ(text, "kept");
    int entries = 0;
    if (DIR* d = opendir(dir)) {
        while (dirent* e = readdir(d)) entries += e->d_name[0] != '.';
        closedir(d);
    }
    EXPECT_EQ(entries, 2);  // report.rpp and the folder, nothing else
    std::remove(inner.c_str());
    rmdir(blocked.c_str());
    std::remove(file.c_str());
    rmdir(dir);
    EXPECT_THROW(back.LoadPreparedReport(std::string(dir) + "/missing.rpp"), EFOpenError);
}

TEST_F(PreparedTest, HitTestFindsTheTopmostObjectOnly) {
    Build(1, 0);
    report.EMFPages->LoadPageObjects(0);
    TrpPage* p = report.EMFPages->Page(0).Page.get();
    auto* below = new TrpMemoView;
    below->Name = "Below";
    below->x = 0;
    below->y = 0;
    below->dx = 50;
    below->dy = 50;
    auto* above = new TrpMemoView;
    above->Name = "Above";
    above->x = 40;
    above->y = 40;
    above->dx = 50;
    above->dy = 50;
    p->AddObject(below);
    p->AddObject(above);
    std::vector<std::string> clicked;
    report.OnObjectClick = [&](TrpView* v) { clicked.push_back(v->Name); };
    TCursor cursor = 0;
    EXPECT_TRUE(report.EMFPages->ObjectAtPoint(0, TPoint{45, 45}, true, cursor));
    EXPECT_TRUE(report.EMFPages->ObjectAtPoint(0, TPoint{10, 10}, true, cursor));
    EXPECT_FALSE(report.EMFPages->ObjectAtPoint(0, TPoint{90, 90}, true, cursor));  // right edge exclusive
    EXPECT_EQ(clicked, (std::vector<std::string>{"Above", "Below"}));
    // No mouse-over handler: no event called.
    EXPECT_FALSE(report.EMFPages->ObjectAtPoint(0, TPoint{45, 45}, false, cursor));
    // Stretched to the printable area: the point maps through its offsets.
    TrpPreparedPage& rec = report.EMFPages->Page(0);
    rec.UseMargins = false;
    rec.Geometry.Ofx = 100;
    rec.Geometry.Pw = rec.Geometry.Pgw;
    EXPECT_FALSE(report.EMFPages->ObjectAtPoint(0, TPoint{10, 10}, true, cursor));
    EXPECT_TRUE(report.EMFPages->ObjectAtPoint(0, TPoint{110, 10}, true, cursor));
}

TEST_F(PreparedTest, InsertPastTheEndAppends) {
    Build(2, 0);
    page->Size = 256;
    report.EMFPages->Insert(99, page);
    report.EMFPages->Insert(0, page);
    ASSERT_EQ(report.EMFPages->Count(), 4);
    EXPECT_EQ(report.EMFPages->Page(3).PaperSize, 256);
    EXPECT_EQ(report.EMFPages->Page(0).PaperSize, 256);
    EXPECT_NE(report.EMFPages->Page(1).PaperSize, 256);
}

}  // namespace
