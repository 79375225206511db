// Template stream: byte-exact round trips, older versions, damaged streams.

#include <map>
#include <random>
#include <set>

#include "ReportTestViews.h"

namespace {

// Writes streams of the older template versions byte by byte.
class OldWriter {
public:
    explicit OldWriter(int version) : version_(version) {}
    void U8(uint8_t b) { s_.WriteBuffer(&b, 1); }
    void U16(uint16_t w) { WriteWordToStream(&s_, w); }
    void I32(int32_t n) { WriteIntegerToStream(&s_, n); }
    void Str(const std::string& t) {
        if (version_ < 23) {
            s_.WriteBuffer(t.data(), int64_t(t.size()));
            U8(0);
        } else {
            SaveStringToStream(t, &s_);
        }
    }
    void Memo(const std::vector<std::string>& lines) {
        if (version_ < 23) {
            for (size_t i = 0; i < lines.size(); ++i) {
                s_.WriteBuffer(lines[i].data(), int64_t(lines[i].size()));
                if (i + 1 < lines.size()) U8(13);
            }
            U8(0);
        } else {
            TStringList l;
            for (const auto& line : lines) l.Add(line);
            WriteMemoToStream(&s_, &l);
        }
    }
    void Header() {
        if (version_ > 21) U8(uint8_t(version_));
        U16(0);
        U16(0);
        Str("Some printer");
    }
    void Page() {
        U8(255);
        I32(1);  // paper size itself: no script follows
        I32(2159);
        I32(2794);
        for (int i = 0; i < 4; ++i) I32(i * 10);
        U8(0);
        if (version_ < 23)
            for (int i = 0; i < 6; ++i) U8(0);
        U16(0);
        U16(0xFFFF);
        I32(1);
        I32(0);
    }
    void View(uint8_t type, int x, const std::vector<std::string>& memo, const std::string& name = "") {
        U8(type);
        U8(0);
        if (version_ == 23) Str(name);
        I32(x);
        I32(20);
        I32(30);
        I32(40);
        U16(1);
        U16(frbLeft);
        I32(2);
        I32(0xFF);
        U16(0);
        I32(rpNoFill);
        I32(0x22E);
        Str("");
        Memo(memo);
        if (version_ >= 23) {
            Memo({});
            U16(0xFFFF);
        }
    }
    void Dictionary(const std::string& name, const std::string& value) {
        U8(254);
        U16(0xFFFE);
        I32(1);
        Str(name);
        Str(value);
        I32(0);
        I32(0);
    }
    void EmptyDictionary() {
        U8(254);
        U16(0xFFFE);
        I32(0);
        I32(0);
        I32(0);
    }
    TMemoryStream& Stream() {
        s_.SetPosition(0);
        return s_;
    }

private:
    int version_;
    TMemoryStream s_;
};

}  // namespace

class StreamTest : public TemplateFixture {
protected:
    // Two pages, views of several kinds and an add-in, a dictionary entry.
    void BuildTemplate() {
        TrpPage* p1 = report->Pages->Add();
        TrpPage* p2 = report->Pages->Add();
        p2->PageType = ptDialog;
        p2->Caption = "Ask";
        p2->Script->Add("x := 1;");
        TTestView* m = AddView(p1, gtMemo, "Title");
        m->x = 10;
        m->y = 20;
        m->dx = 300;
        m->dy = 18;
        m->Memo->Add("Loan summary");
        m->Memo->Add("[Cell1] of [Cell2]");
        m->FrameTyp = frbLeft | frbBottom;
        m->FrameWidth = 0.5f;
        m->FrameColor = 0x123456;
        m->FrameStyle = rpfsDash;
        m->FillColor = 0xC0C0C0;
        m->Format = 0x22C;
        m->FormatStr = "#,##0.00";
        m->Script->Add("if Value > 0 then Visible := True;");
        m->Tag = "[PAGE#]";
        m->gapx = 4;
        m->gapy = 3;
        m->BandAlign = baRight;
        m->Restrictions = 5;
        m->SetVisible(false);
        TTestView* b = AddView(p1, gtBand, "Band1");
        b->FrameTyp = 3;  // band type
        AddView(p1, gtLine, "Line1")->FrameWidth = 12;
        AddView(p2, gtMemo, "Other");
        auto* addIn = static_cast<TrpView*>(rpCreateObject(gtAddIn, rpClassNameOf<TTestAddIn>()));
        addIn->Name = "Extra";
        p2->AddObject(addIn);
        report->Dictionary->Variables->SetVariable(" Total", "Cell1 * 2");
    }

    // The bytes of a sample template written in the given version (21..24).
    std::string TemplateBytes(int version);

    // Position of the first object record of a one-page template.
    static int64_t FirstObjectRecord(TMemoryStream& s) {
        s.SetPosition(1);
        ReadWordFromStream(&s);
        ReadWordFromStream(&s);
        ReadStringFromStream(&s);
        ReadByteFromStream(&s);
        TrpPage scratch(nullptr, 1, 2159, 2794, 0, 0xFFFF);
        scratch.LoadFromStream(&s);
        return s.GetPosition();
    }
};

TEST_F(StreamTest, VersionTwentyFourRoundTripsByteForByte) {
    BuildTemplate();
    TMemoryStream first;
    report->SaveToStream(&first);
    ASSERT_EQ(first.Memory()[0], 24);

    TrpReport copy(nullptr);
    first.SetPosition(0);
    Load(copy, &first);
    EXPECT_TRUE(boxes.empty());
    TMemoryStream second;
    copy.SaveToStream(&second);
    EXPECT_EQ(Bytes(first), Bytes(second));

    ASSERT_EQ(copy.Pages->Count(), 2);
    ASSERT_EQ(copy.Pages->Pages(0)->Count(), 3);
    ASSERT_EQ(copy.Pages->Pages(1)->Count(), 2);
    EXPECT_EQ(copy.Pages->Pages(1)->Caption, "Ask");
    EXPECT_EQ(copy.Pages->Pages(1)->PageType, ptDialog);
    auto* m = static_cast<TrpView*>(copy.FindObject("TITLE"));
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Memo->Count(), 2);
    EXPECT_EQ(m->Memo->Get(1), "[Cell1] of [Cell2]");
    EXPECT_FLOAT_EQ(m->FrameWidth, 0.5f);
    EXPECT_EQ(m->FormatStr, "#,##0.00");
    EXPECT_EQ(m->Tag, "[PAGE#]");
    EXPECT_EQ(m->BandAlign, baRight);
    EXPECT_FALSE(m->IsVisible());
    EXPECT_FLOAT_EQ(copy.FindObject("Line1")->FrameWidth, 12.0f);
    EXPECT_EQ(copy.FindObject("Extra")->ClassName(), rpClassNameOf<TTestAddIn>());
    EXPECT_EQ(VarToStr(copy.Dictionary->Variables->GetVariable(" Total")), "Cell1 * 2");
}

TEST_F(StreamTest, EveryObjectRecordPointsAtTheNextRecord) {
    BuildTemplate();
    TMemoryStream s;
    report->SaveToStream(&s);
    // Walk the records: page records are skipped by reading them, object
    // records by their next field, which must land on a marker or type byte.
    TrpReport reader(nullptr);
    s.SetPosition(1);
    ReadWordFromStream(&s);
    ReadWordFromStream(&s);
    ReadStringFromStream(&s);
    int objects = 0;
    for (;;) {
        uint8_t marker = ReadByteFromStream(&s);
        if (marker == 255) {
            TrpPage page(&reader, 1, 2159, 2794, 0, 0xFFFF);
            page.LoadFromStream(&s);
            continue;
        }
        if (marker == 254) break;
        if (marker == gtAddIn) ReadStringFromStream(&s);
        ReadByteFromStream(&s);
        int32_t next = ReadIntegerFromStream(&s);
        ASSERT_GT(next, s.GetPosition());
        s.SetPosition(next);
        uint8_t following = s.Memory()[next];
        EXPECT_TRUE(following <= gtAddIn || following == 254) << int(following);
        ++objects;
    }
    EXPECT_EQ(objects, 5);
}

TEST_F(StreamTest, MemoAndStringEncodings) {
    struct Row {
        std::vector<std::string> lines;
        std::string bytes;
    };
    const Row rows[] = {
        {{}, std::string("\0\0\0", 3)},
        {{"a", "bc"},
         std::string("\x02\x00\x01\x00"
                     "a\x0d\x02\x00"
                     "bc\x00",
                     11)},
        {{""}, std::string("\x01\x00\x00\x00\x00", 5)},
    };
    for (const Row& r : rows) {
        TStringList memo;
        for (const auto& l : r.lines) memo.Add(l);
        TMemoryStream s;
        WriteMemoToStream(&s, &memo);
        EXPECT_EQ(Bytes(s), r.bytes);
        s.SetPosition(0);
        TStringList back;
        ReadMemoFromStream(&s, &back);
        EXPECT_EQ(back.Count(), int(r.lines.size()));
        EXPECT_EQ(s.GetPosition(), s.GetSize());
    }
    TMemoryStream s;
    SaveStringToStream("caf\xC3\xA9", &s);  // stored in the ANSI code page
    EXPECT_EQ(Bytes(s), std::string("\x04\x00"
                                    "caf\xE9\x00",
                                    7));
    s.SetPosition(0);
    EXPECT_EQ(ReadStringFromStream(&s), "caf\xC3\xA9");
}

TEST_F(StreamTest, OldMemoKeepsAnEmptyLastLineOnlyAfterABreak) {
    struct Row {
        std::string bytes;
        std::vector<std::string> lines;
    };
    const Row rows[] = {
        {std::string("\0", 1), {}},
        {std::string("a\0", 2), {"a"}},
        {std::string("a\rb\0", 4), {"a", "b"}},
        {std::string("a\r\0", 3), {"a", ""}},
    };
    for (const Row& r : rows) {
        TMemoryStream s;
        s.WriteBuffer(r.bytes.data(), int64_t(r.bytes.size()));
        s.SetPosition(0);
        TStringList memo;
        ReadOldMemoFromStream(&s, &memo);
        ASSERT_EQ(memo.Count(), int(r.lines.size())) << r.bytes;
        for (size_t i = 0; i < r.lines.size(); ++i) EXPECT_EQ(memo.Get(int(i)), r.lines[i]);
    }
}

TEST_F(StreamTest, FrameWidthsKeepTheirValue) {
    // Whole widths below 11 are stored as they are, others in thousandths.
    struct Row {
        float width;
        int32_t stored;
    };
    const Row rows[] = {{0.5f, 500}, {1.0f, 1}, {10.0f, 10}, {12.0f, 12000}, {2.25f, 2250}};
    for (const Row& r : rows) {
        TrpPage* page = report->Pages->Add();
        TTestView* v = AddView(page, gtMemo, "W");
        v->FrameWidth = r.width;
        TMemoryStream s;
        v->SaveToStream(&s);
        // Name (3 + 1 bytes), two version bytes, four int32, two words: then the width.
        s.SetPosition(1 + 3 + 2 + 16 + 4);
        EXPECT_EQ(ReadIntegerFromStream(&s), r.stored) << r.width;
        s.SetPosition(0);
        TTestView back;
        back.LoadFromStream(&s);
        EXPECT_FLOAT_EQ(back.FrameWidth, r.width);
    }
}

TEST_F(StreamTest, VirtualPrinterTravelsAsCodeOne) {
    report->Pages->Add();
    TMemoryStream s;
    report->SaveToStream(&s);
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(s.Memory()) + 5, 4), std::string("\x01\x00\x01\x00", 4));
    s.SetPosition(0);
    TrpReport copy(nullptr);
    Load(copy, &s);
    EXPECT_EQ(copy.PrinterName, "Virtual printer");
}

TEST_F(StreamTest, VersionTwentyOneWithoutVersionByteGetsGeneratedNames) {
    OldWriter w(21);
    w.Header();
    w.Page();
    w.View(gtMemo, 1, {"first", "second"});
    w.View(gtMemo, 2, {});
    w.View(gtBand, 3, {"x"});
    w.View(gtLine, 4, {});
    w.EmptyDictionary();
    Load(*report, &w.Stream());
    ASSERT_TRUE(boxes.empty()) << boxes[0];
    ASSERT_EQ(report->Pages->Count(), 1);
    TrpPage* page = report->Pages->Pages(0);
    EXPECT_EQ(page->Name, "Page1");
    EXPECT_EQ(page->Bin, 0xFFFF);
    EXPECT_EQ(page->Caption, "Form");
    EXPECT_EQ(page->TopMargin, 10);
    ASSERT_EQ(page->Count(), 4);
    const char* names[] = {"Memo1", "Memo2", "Band1", "Line1"};
    for (int i = 0; i < 4; ++i) EXPECT_EQ(page->Objects[size_t(i)]->Name, names[i]);
    EXPECT_EQ(page->Objects[0]->Memo->Count(), 2);
    EXPECT_EQ(page->Objects[0]->gapx, 2);  // no gaps stored: defaults
    EXPECT_FLOAT_EQ(page->Objects[0]->FrameWidth, 2.0f);
    EXPECT_TRUE(page->Objects[0]->IsVisible());
}

// Thousands of unnamed views of an old template each get the next free name
// of their kind, in the order they are read (this once took most of a minute).
TEST_F(StreamTest, ManyUnnamedViewsOfAnOldTemplateAreNamedInOrder) {
    const uint8_t kinds[] = {gtMemo, gtLine, gtMemo, gtBand};
    OldWriter w(21);
    w.Header();
    w.Page();
    const int count = 4000;
    for (int i = 0; i < count; ++i) w.View(kinds[i % 4], i, {});
    w.EmptyDictionary();
    Load(*report, &w.Stream());
    ASSERT_TRUE(boxes.empty()) << boxes[0];
    TrpPage* page = report->Pages->Pages(0);
    ASSERT_EQ(page->Count(), count);
    std::map<std::string, int> seen;
    std::set<std::string> names;
    for (int i = 0; i < count; ++i) {
        TrpView* v = page->Objects[size_t(i)];
        EXPECT_EQ(v->Name, v->BaseName + std::to_string(++seen[v->BaseName])) << "view " << i;
        names.insert(UpperCase(v->Name));
    }
    EXPECT_EQ(names.size(), size_t(count));
    // A second load of the same report names afresh rather than going on.
    OldWriter again(21);
    again.Header();
    again.Page();
    again.View(gtMemo, 1, {});
    again.EmptyDictionary();
    Load(*report, &again.Stream());
    ASSERT_EQ(report->Pages->Pages(0)->Count(), 1);
    EXPECT_EQ(report->Pages->Pages(0)->Objects[0]->Name, "Memo1");
}

TEST_F(StreamTest, VersionsTwentyTwoAndTwentyThreeAreRead) {
    for (int version : {22, 23}) {
        OldWriter w(version);
        w.Header();
        w.Page();
        w.View(gtMemo, 7, {"text"}, "Named");
        w.EmptyDictionary();
        Load(*report, &w.Stream());
        ASSERT_TRUE(boxes.empty()) << boxes[0];
        ASSERT_EQ(report->Pages->Pages(0)->Count(), 1);
        TrpView* v = report->Pages->Pages(0)->Objects[0];
        EXPECT_EQ(v->Name, version == 23 ? "Named" : "Memo1");
        EXPECT_EQ(v->x, 7);
        EXPECT_EQ(v->Memo->Get(0), "text");
        EXPECT_EQ(report->PrinterName, "Some printer");
    }
}

TEST_F(StreamTest, TooNewVersionLeavesThePagesAlone) {
    report->Pages->Add();
    report->Pages->Add();
    TMemoryStream s;
    uint8_t v = 25;
    s.WriteBuffer(&v, 1);
    s.SetPosition(0);
    Load(*report, &s);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Error: Unsupported RPF format");
    EXPECT_EQ(report->Pages->Count(), 2);
}

TEST_F(StreamTest, UnknownRecordTypeGivesOneEmptyPage) {
    BuildTemplate();
    TMemoryStream s;
    report->SaveToStream(&s);
    s.SetPosition(s.GetSize());
    uint8_t bad = 100;
    s.WriteBuffer(&bad, 1);
    s.SetPosition(0);
    Load(*report, &s);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0], "Error: Unsupported RPF format");
    ASSERT_EQ(report->Pages->Count(), 1);
    EXPECT_EQ(report->Pages->Pages(0)->Count(), 0);
}

TEST_F(StreamTest, MissingAddInClassIsSkippedAndNamed) {
    BuildTemplate();
    TMemoryStream s;
    report->SaveToStream(&s);
    rpUnRegisterAddInClass(rpClassNameOf<TTestAddIn>());
    s.SetPosition(0);
    TrpReport copy(nullptr);
    Load(copy, &s);
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_NE(boxes[0].find("Report contains the following non-plugged components:\r" + rpClassNameOf<TTestAddIn>() +
                            "\rYou must include"),
              std::string::npos)
        << boxes[0];
    EXPECT_EQ(copy.Pages->Pages(1)->Count(), 1);  // the add-in is gone, the memo stays
    EXPECT_NE(copy.FindObject("Other"), nullptr);
    EXPECT_EQ(copy.FindObject("Extra"), nullptr);
}

TEST_F(StreamTest, LegacyClassNamesAreReplaced) {
    rpRegisterAddInClass("TrpDBLookupControl", [] { return new TTestAddIn; });
    TrpView* v = rpCreateObject(gtAddIn, "TrpDBLookupControl");
    ASSERT_NE(v, nullptr);
    EXPECT_EQ(v->Typ, gtAddIn);
    delete v;

    // A record of the old framed memo class loads as a plain memo and skips its 8 extra bytes.
    report->Pages->Add();
    TMemoryStream s;
    report->SaveToStream(&s);
    TMemoryStream withFramed;
    withFramed.WriteBuffer(s.Memory(), s.GetSize() - 15);  // without the dictionary record
    WriteByteToStream(&withFramed, gtAddIn);
    SaveStringToStream("TrpFramedMemoView", &withFramed);
    WriteByteToStream(&withFramed, 0);
    int64_t nextPos = withFramed.GetPosition();
    WriteIntegerToStream(&withFramed, 0);
    TTestView framed;
    framed.Name = "Framed";
    framed.SaveToStream(&withFramed);
    for (int i = 0; i < 8; ++i) WriteByteToStream(&withFramed, 0xAA);
    int64_t end = withFramed.GetPosition();
    withFramed.SetPosition(nextPos);
    WriteIntegerToStream(&withFramed, int32_t(end));
    withFramed.SetPosition(end);
    withFramed.WriteBuffer(s.Memory() + s.GetSize() - 15, 15);
    withFramed.SetPosition(0);
    Load(*report, &withFramed);
    ASSERT_TRUE(boxes.empty()) << boxes[0];
    TrpView* m = report->FindObject("Framed");
    ASSERT_NE(m, nullptr);
    EXPECT_EQ(m->Typ, gtMemo);
    rpUnRegisterAddInClass("TrpDBLookupControl");
}

// A template of the given version with several objects and a dictionary entry.
std::string StreamTest::TemplateBytes(int version) {
    if (version == 24) {
        BuildTemplate();
        TMemoryStream good;
        report->SaveToStream(&good);
        report->Clear();
        return Bytes(good);
    }
    OldWriter w(version);
    w.Header();
    w.Page();
    w.View(gtMemo, 1, {"first", "[Cell1]"}, "A");
    w.View(gtBand, 2, {}, "B");
    w.View(gtLine, 3, {"x"}, "C");
    w.Page();
    w.View(gtMemo, 4, {"other"}, "D");
    w.Dictionary("Total", "Cell1 * 2");
    return Bytes(w.Stream());
}

TEST_F(StreamTest, DamagedStreamsNeverCrash) {
    int refused = 0;
    auto load = [&](const std::string& data) {
        TMemoryStream s;
        if (!data.empty()) s.WriteBuffer(data.data(), int64_t(data.size()));
        s.SetPosition(0);
        boxes.clear();
        TrpReport r(nullptr);
        Load(r, &s);
        for (int p = 0; p < r.Pages->Count(); ++p)
            for (TrpView* v : r.Pages->Pages(p)->Objects) ASSERT_NE(v, nullptr);
        // A stream found damaged leaves one empty page.
        if (!boxes.empty() && boxes.back() == "Error: Unsupported RPF format" && r.Pages->Count() > 0) {
            ++refused;
            ASSERT_EQ(r.Pages->Count(), 1);
            ASSERT_EQ(r.Pages->Pages(0)->Count(), 0);
        }
    };
    for (int version : {21, 22, 23, 24}) {
        SCOPED_TRACE("version " + std::to_string(version));
        const std::string bytes = TemplateBytes(version);
        refused = 0;
        // Every truncation.
        for (size_t n = 0; n < bytes.size(); ++n) load(bytes.substr(0, n));
        // Flipped bytes, deterministic.
        std::mt19937 rng(7 + version);
        for (int round = 0; round < 400; ++round) {
            std::string damaged = bytes;
            size_t at = rng() % damaged.size();
            damaged[at] = char(damaged[at] ^ (1 + rng() % 255));
            if (round % 2) {  // and a second byte, so that lengths and markers break together
                at = rng() % damaged.size();
                damaged[at] = char(rng() % 256);
            }
            load(damaged);
        }
        EXPECT_GT(refused, 0);
    }
}

TEST_F(StreamTest, EveryVersionReadIsWrittenAsTwentyFourAndThenStaysTheSame) {
    for (int version : {21, 22, 23, 24}) {
        SCOPED_TRACE("version " + std::to_string(version));
        const std::string original = TemplateBytes(version);
        TMemoryStream in;
        in.WriteBuffer(original.data(), int64_t(original.size()));
        in.SetPosition(0);
        TrpReport first(nullptr);
        Load(first, &in);
        ASSERT_TRUE(boxes.empty()) << boxes[0];
        TMemoryStream once;
        first.SaveToStream(&once);
        ASSERT_EQ(once.Memory()[0], 24);
        if (version == 24) {
            EXPECT_EQ(Bytes(once), original);
        }

        once.SetPosition(0);
        TrpReport second(nullptr);
        Load(second, &once);
        ASSERT_TRUE(boxes.empty()) << boxes[0];
        TMemoryStream twice;
        second.SaveToStream(&twice);
        EXPECT_EQ(Bytes(twice), Bytes(once));

        // Nothing read from the older stream is lost on the way.
        ASSERT_EQ(second.Pages->Count(), first.Pages->Count());
        for (int p = 0; p < first.Pages->Count(); ++p) {
            TrpPage* a = first.Pages->Pages(p);
            TrpPage* b = second.Pages->Pages(p);
            EXPECT_EQ(a->Name, b->Name);
            EXPECT_EQ(a->TopMargin, b->TopMargin);
            EXPECT_EQ(a->Columns, b->Columns);
            ASSERT_EQ(a->Count(), b->Count());
            for (int i = 0; i < a->Count(); ++i) {
                TrpView* va = a->Objects[size_t(i)];
                TrpView* vb = b->Objects[size_t(i)];
                EXPECT_EQ(va->Name, vb->Name);
                EXPECT_EQ(va->Typ, vb->Typ);
                EXPECT_EQ(va->x, vb->x);
                EXPECT_EQ(va->FrameTyp, vb->FrameTyp);
                EXPECT_FLOAT_EQ(va->FrameWidth, vb->FrameWidth);
                EXPECT_EQ(va->Memo->GetText(), vb->Memo->GetText());
            }
        }
        EXPECT_EQ(first.Dictionary->Variables->Count(), 1);
        EXPECT_EQ(VarToStr(second.Dictionary->Variables->GetValue(0)), "Cell1 * 2");
        EXPECT_EQ(second.Dictionary->Variables->GetName(0), first.Dictionary->Variables->GetName(0));
    }
}

TEST_F(StreamTest, EachObjectKindRoundTripsByteForByte) {
    const uint8_t kinds[] = {gtMemo, gtPicture, gtBand, gtSubReport, gtLine, gtAddIn};
    for (uint8_t kind : kinds) {
        SCOPED_TRACE("type " + std::to_string(kind));
        report->Clear();
        TrpPage* page = report->Pages->Add();
        report->Pages->Add();
        TrpView* v = kind == gtAddIn ? rpCreateObject(gtAddIn, rpClassNameOf<TTestAddIn>()) : rpCreateObject(kind, "");
        ASSERT_NE(v, nullptr);
        v->Name = "Obj";
        v->x = -5;
        v->y = 70000;
        v->dx = 1;
        v->dy = 2;
        v->Flags = 0x8041;
        v->FrameTyp = kind == gtBand ? 17 : frbTop | frbRight;
        v->FrameWidth = 1.5f;
        v->FrameStyle = rpfsDouble;
        v->Format = int32_t(0x8412022E);
        v->Memo->Add("");
        v->Memo->Add("[Cell8]");
        v->Tag = "t";
        v->BandAlign = baRest;
        report->Pages->Pages(1)->AddObject(v);  // on the second page: the page index byte is 1
        TMemoryStream first;
        report->SaveToStream(&first);
        first.SetPosition(0);
        TrpReport copy(nullptr);
        Load(copy, &first);
        ASSERT_TRUE(boxes.empty()) << boxes[0];
        TMemoryStream second;
        copy.SaveToStream(&second);
        EXPECT_EQ(Bytes(second), Bytes(first));
        ASSERT_EQ(copy.Pages->Pages(1)->Count(), 1);
        TrpView* back = copy.Pages->Pages(1)->Objects[0];
        EXPECT_EQ(back->Typ, kind);
        EXPECT_EQ(back->ClassName(), v->ClassName());
        EXPECT_EQ(back->y, 70000);
        EXPECT_EQ(back->Format, v->Format);
        EXPECT_EQ(back->Memo->Count(), 2);
        EXPECT_EQ(page->Count(), 0);
    }
}

TEST_F(StreamTest, NextPositionThatPointsBackIsRefused) {
    report->Pages->Add();
    AddView(report->Pages->Pages(0), gtMemo, "A");
    TMemoryStream s;
    report->SaveToStream(&s);
    int64_t record = FirstObjectRecord(s);
    for (int32_t target : {int32_t(record), int32_t(record - 20), int32_t(s.GetSize() + 100)}) {
        s.SetPosition(record + 2);
        WriteIntegerToStream(&s, target);
        s.SetPosition(0);
        boxes.clear();
        Load(*report, &s);
        ASSERT_EQ(boxes.size(), 1u) << target;
        EXPECT_EQ(boxes[0], "Error: Unsupported RPF format");
        EXPECT_EQ(report->Pages->Count(), 1);
    }
}

namespace {

// Captures what a component defines, as the window-definition reader would.
class CaptureFiler : public TFiler {
public:
    void DefineProperty(const std::string&, TReaderProc, TWriterProc, bool) override {}
    void DefineBinaryProperty(const std::string& name, TStreamProc read, TStreamProc write, bool hasData) override {
        Name = name;
        Read = std::move(read);
        Write = std::move(write);
        HasData = hasData;
    }
    std::string Name;
    TStreamProc Read, Write;
    bool HasData = false;
};

}  // namespace

TEST_F(StreamTest, ReportFormCarriesTheTemplateInTheWindowDefinition) {
    BuildTemplate();
    report->StoreInDFM = true;
    CaptureFiler filer;
    report->DefineProperties(&filer);
    EXPECT_EQ(filer.Name, "ReportForm");
    EXPECT_TRUE(filer.HasData);
    TMemoryStream data;
    filer.Write(&data);
    TMemoryStream templ;
    report->SaveToStream(&templ);
    ASSERT_EQ(data.GetSize(), 8 + templ.GetSize());
    data.SetPosition(0);
    EXPECT_EQ(ReadIntegerFromStream(&data), 24);
    EXPECT_EQ(ReadIntegerFromStream(&data), templ.GetSize());

    TrpReport copy(nullptr);
    copy.StoreInDFM = true;
    CaptureFiler reader;
    copy.DefineProperties(&reader);
    data.SetPosition(0);
    reader.Read(&data);
    EXPECT_EQ(copy.Pages->Count(), 0);  // loaded only once the form is complete
    copy.Loaded();
    EXPECT_EQ(copy.Pages->Count(), 2);
    EXPECT_NE(copy.FindObject("Title"), nullptr);

    // Without StoreInDFM only the format number is written.
    report->StoreInDFM = false;
    TMemoryStream bare;
    filer.Write(&bare);
    EXPECT_EQ(bare.GetSize(), 4);
    // A length past the end is refused.
    TMemoryStream bad;
    WriteIntegerToStream(&bad, 24);
    WriteIntegerToStream(&bad, 1000);
    bad.SetPosition(0);
    EXPECT_THROW(reader.Read(&bad), EReadError);
}

TEST_F(StreamTest, DamagedRecordIsSkippedThroughItsNextPosition) {
    report->Pages->Add();
    AddView(report->Pages->Pages(0), gtMemo, "Broken");
    AddView(report->Pages->Pages(0), gtMemo, "Kept");
    TMemoryStream s;
    report->SaveToStream(&s);
    // The first record's name claims more bytes than the stream holds.
    s.SetPosition(FirstObjectRecord(s) + 6);
    WriteWordToStream(&s, 0xFFFF);
    s.SetPosition(0);
    TrpReport copy(nullptr);
    Load(copy, &s);
    EXPECT_TRUE(boxes.empty());
    ASSERT_EQ(copy.Pages->Pages(0)->Count(), 1);
    EXPECT_EQ(copy.Pages->Pages(0)->Objects[0]->Name, "Kept");
}

// A field cut short by the end of the stream names what it needed and what
// was left, and leaves the stream where the field began.
TEST(StreamFields, AShortFieldSaysWhatItNeededAndKeepsItsPlace) {
    struct Row {
        std::string bytes;  // after one leading byte that is read first
        std::function<void(TStream*)> read;
        const char* message;
    } rows[] = {
        {"", [](TStream* s) { ReadByteFromStream(s); }, "byte needs 1 bytes, 0 left"},
        {"\x01", [](TStream* s) { ReadWordFromStream(s); }, "word needs 2 bytes, 1 left"},
        {std::string("\x01\x02\x03", 3), [](TStream* s) { ReadIntegerFromStream(s); }, "integer needs 4 bytes, 3 left"},
        {std::string("\x05\x00"
                     "ab",
                     4),
         [](TStream* s) { ReadStringFromStream(s); }, "string needs 5 bytes, 2 left"},
    };
    for (const Row& row : rows) {
        TMemoryStream stream;
        const std::string all = "L" + row.bytes;
        stream.WriteBuffer(all.data(), int64_t(all.size()));
        stream.SetPosition(0);
        ReadByteFromStream(&stream);
        const int64_t at = row.message[0] == 's' ? 3 : 1;  // a string's length is read before its text
        try {
            row.read(&stream);
            ADD_FAILURE() << "no error for " << row.message;
        } catch (const EReadError& e) {
            EXPECT_NE(e.Message.find(row.message), std::string::npos) << e.Message;
        }
        EXPECT_EQ(stream.GetPosition(), at) << row.message;
    }
}
