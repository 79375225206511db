#include <gtest/gtest.h>

#include "Classes.h"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

namespace {

// ---------------------------------------------------------------------------
// Object model

using Log = std::vector<std::string>;

// Records what it is told, and its own destruction, in a shared log.
class TProbe : public TComponent {
public:
    TProbe(TComponent* AOwner, const std::string& AName, Log* ALog) : TComponent(AOwner), FLog(ALog) { SetName(AName); }
    ~TProbe() override {
        FLog->push_back(GetName() + (ComponentState.Contains(csDestroying) ? " destroyed" : " destroyed unmarked"));
    }
    void Notification(TComponent* AComponent, TOperation Operation) override {
        TComponent::Notification(AComponent, Operation);
        FLog->push_back(GetName() + (Operation == opInsert ? " +" : " -") + AComponent->GetName());
    }

private:
    Log* FLog;
};

class TThing : public TPersistent {};

TEST(ObjectModel, ClassNameIsTheDynamicTypeWithoutScope) {
    TStringList list;
    TThing thing;
    TPersistent* asBase = &thing;
    EXPECT_EQ(list.ClassName(), "TStringList");
    EXPECT_EQ(asBase->ClassName(), "TThing");
}

TEST(ObjectModel, UnsupportedAssignNamesBothClasses) {
    TStringList list;
    TThing thing;
    try {
        list.Assign(&thing);
        FAIL() << "assign accepted";
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message, "Cannot assign a TThing to a TStringList");
    }
    EXPECT_THROW(thing.Assign(nullptr), EConvertError);
}

TEST(ObjectModel, OwnerFreesOwnedLastFirstAfterMarkingThemDestroying) {
    Log log;
    auto* owner = new TProbe(nullptr, "Owner", &log);
    new TProbe(owner, "A", &log);
    new TProbe(owner, "B", &log);
    ASSERT_EQ(owner->ComponentCount(), 2);
    log.clear();
    delete owner;
    EXPECT_EQ(log, (Log{"Owner destroyed unmarked", "B destroyed", "A destroyed"}));
}

TEST(ObjectModel, InsertAndRemovalReachOwnerAndSiblings) {
    Log log;
    TProbe owner(nullptr, "Owner", &log);
    auto* a = new TProbe(nullptr, "A", &log);
    auto* b = new TProbe(nullptr, "B", &log);
    owner.InsertComponent(a);
    owner.InsertComponent(b);
    EXPECT_EQ(log, (Log{"A +A", "Owner +A", "B +B", "A +B", "Owner +B"}));
    log.clear();
    delete b;  // on its own: leaves the owner, which tells everyone it owns
    EXPECT_EQ(log, (Log{"B destroyed unmarked", "A -B", "Owner -B"}));
    EXPECT_EQ(owner.ComponentCount(), 1);
    EXPECT_EQ(owner.FindComponent("B"), nullptr);
    EXPECT_EQ(owner.Components(0)->ComponentIndex(), 0);
}

TEST(ObjectModel, FreeNotificationReachesSubscriberOfAnotherOwner) {
    Log log;
    TProbe form1(nullptr, "Form1", &log), form2(nullptr, "Form2", &log);
    auto* watcher = new TProbe(&form1, "Watcher", &log);
    auto* target = new TProbe(&form2, "Target", &log);
    auto* other = new TProbe(&form2, "Other", &log);
    target->FreeNotification(watcher);
    other->FreeNotification(watcher);
    other->RemoveFreeNotification(watcher);
    log.clear();
    delete target;
    EXPECT_EQ(log, (Log{"Target destroyed unmarked", "Watcher -Target", "Other -Target", "Form2 -Target"}));
    log.clear();
    delete other;
    EXPECT_EQ(log, (Log{"Other destroyed unmarked", "Form2 -Other"}));
    // The subscription went both ways and is gone: freeing the watcher tells no one else.
    log.clear();
    delete watcher;
    EXPECT_EQ(log, (Log{"Watcher destroyed unmarked", "Form1 -Watcher"}));
}

TEST(ObjectModel, NamesAreIdentifiersUniqueWithinTheOwnerIgnoringCase) {
    TComponent owner(nullptr);
    auto* ok = new TComponent(&owner);
    ok->SetName("btnOK");
    auto* other = new TComponent(&owner);
    try {
        other->SetName("BTNok");
        FAIL() << "duplicate accepted";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message, "A component named BTNok already exists");
    }
    EXPECT_EQ(other->GetName(), "");
    try {
        other->SetName("1st");
        FAIL() << "bad identifier accepted";
    } catch (const EComponentError& e) {
        EXPECT_EQ(e.Message, "'1st' is not a valid component name");
    }
    ok->SetName("BtnOk");  // the same component in other letters
    EXPECT_EQ(owner.FindComponent("BTNOK"), ok);
    (new TComponent(&owner))->SetName("");  // any number of unnamed components
    TComponent outsider(nullptr);
    outsider.SetName("BtnOk");
    EXPECT_THROW(owner.InsertComponent(&outsider), EComponentError);
    EXPECT_EQ(outsider.Owner, nullptr);
}

TEST(ObjectModel, LoadedClearsLoading) {
    TComponent c(nullptr);
    c.ComponentState += csLoading;
    c.Loaded();
    EXPECT_FALSE(c.ComponentState.Contains(csLoading));
}

// ---------------------------------------------------------------------------
// String lists

std::vector<std::string> Items(const TStrings& s) {
    std::vector<std::string> v;
    for (int i = 0; i < s.Count(); ++i) v.push_back(s[i]);
    return v;
}

using Lines = std::vector<std::string>;

TEST(StringList, TextSplitsAtAnyLineEndAndJoinsWithCrLf) {
    struct Row {
        std::string text;
        Lines lines;
    };
    const Row rows[] = {
        {"", {}},         {"a\r\nb", {"a", "b"}},   {"a\nb\rc", {"a", "b", "c"}},
        {"a\r\n", {"a"}}, {"a\r\n\r\n", {"a", ""}}, {"\n\ra", {"", "", "a"}},
    };
    for (const Row& r : rows) {
        TStringList list;
        list.SetText(r.text);
        EXPECT_EQ(Items(list), r.lines) << r.text;
    }
    TStringList list;
    list.SetText("x\ny");
    EXPECT_EQ(list.GetText(), "x\r\ny\r\n");
}

TEST(StringList, CommaTextQuotesBlanksCommasAndQuotes) {
    struct Row {
        Lines lines;
        std::string comma;
    };
    const Row rows[] = {
        {{}, ""},
        {{""}, "\"\""},
        {{"a", "b"}, "a,b"},
        {{"b c", "d,e", "f\"g", ""}, "\"b c\",\"d,e\",\"f\"\"g\","},
        {{"caf\xC3\xA9", "tab\there"}, "caf\xC3\xA9,\"tab\there\""},
    };
    for (const Row& r : rows) {
        TStringList list;
        for (const auto& s : r.lines) list.Add(s);
        EXPECT_EQ(list.GetCommaText(), r.comma);
        TStringList back;
        back.SetCommaText(r.comma);
        EXPECT_EQ(Items(back), r.lines) << r.comma;
    }
}

TEST(StringList, CommaTextReadsBlankSeparatedAndOpenQuotedItems) {
    struct Row {
        std::string comma;
        Lines lines;
    };
    const Row rows[] = {
        {"  a b , c", {"a", "b", "c"}}, {"a,", {"a", ""}}, {",a", {"", "a"}}, {"\"x\"\"y\"z", {"x\"y", "z"}},
        {"\"open, end", {"open, end"}},
    };
    for (const Row& r : rows) {
        TStringList list;
        list.SetCommaText(r.comma);
        EXPECT_EQ(Items(list), r.lines) << r.comma;
    }
}

TEST(StringList, SortedListsKeepOrderAndFollowDuplicates) {
    struct Row {
        TDuplicates dup;
        bool caseSensitive;
        Lines sorted;
    };
    const Row rows[] = {
        {dupIgnore, false, {"A", "b", "c"}},
        {dupAccept, false, {"A", "a", "b", "c"}},
        {dupIgnore, true, {"A", "a", "b", "c"}},
    };
    for (const Row& r : rows) {
        TStringList list;
        list.SetSorted(true);
        list.Duplicates = r.dup;
        list.SetCaseSensitive(r.caseSensitive);
        for (const char* s : {"b", "A", "c", "a"}) list.Add(s);
        EXPECT_EQ(Items(list), r.sorted) << r.dup << r.caseSensitive;
    }
    TStringList strict;
    strict.SetSorted(true);
    strict.Duplicates = dupError;
    strict.Add("x");
    EXPECT_THROW(strict.Add("X"), EStringListError);
    EXPECT_THROW(strict.Insert(0, "a"), EStringListError);
    int at = -1;
    EXPECT_FALSE(strict.Find("w", at));
    EXPECT_EQ(at, 0);
}

TEST(StringList, SortingLaterIsStableAndIndexOfIgnoresCaseUnlessAsked) {
    TStringList list;
    for (const char* s : {"b", "B", "a", "b2"}) list.Add(s);
    EXPECT_EQ(list.IndexOf("B2"), 3);
    list.SetSorted(true);
    EXPECT_EQ(Items(list), (Lines{"a", "b", "B", "b2"}));
    EXPECT_EQ(list.IndexOf("B"), 1);
    list.SetCaseSensitive(true);
    EXPECT_EQ(list.IndexOf("B"), 0);
    EXPECT_EQ(list.IndexOf("A"), -1);
}

TEST(StringList, NamesAndValues) {
    TStringList list;
    list.SetText("Rate=6.5\nterm=360\nnote\nUrl=a=b");
    EXPECT_EQ(list.Names(0), "Rate");
    EXPECT_EQ(list.Names(2), "");
    EXPECT_EQ(list.Values("TERM"), "360");
    EXPECT_EQ(list.Values("url"), "a=b");
    EXPECT_EQ(list.Values("missing"), "");
    list.SetValue("RATE", "7");
    list.SetValue("Points", "2");
    list.SetValue("term", "");
    EXPECT_EQ(Items(list), (Lines{"RATE=7", "note", "Url=a=b", "Points=2"}));
}

TEST(StringList, IndexErrorsNameTheIndex) {
    TStringList list;
    list.Add("only");
    try {
        list.Get(5);
        FAIL() << "no error";
    } catch (const EStringListError& e) {
        EXPECT_EQ(e.Message, "List index out of bounds (5)");
    }
    EXPECT_THROW(list.Delete(-1), EStringListError);
    EXPECT_NO_THROW(list.Insert(1, "end"));
    EXPECT_THROW(list.Insert(3, "past"), EStringListError);
}

TEST(StringList, ChangeEventsWaitForTheOutermostEndUpdate) {
    TStringList list;
    int changing = 0, changed = 0;
    list.OnChanging = [&](TObject*) { ++changing; };
    list.OnChange = [&](TObject* sender) {
        EXPECT_EQ(sender, &list);
        ++changed;
    };
    list.Add("a");
    EXPECT_EQ(changed, 1);
    list.BeginUpdate();
    list.BeginUpdate();
    list.SetCommaText("x,y,z");
    list.EndUpdate();
    EXPECT_EQ(changed, 1);
    list.EndUpdate();
    EXPECT_EQ(changing, 2);
    EXPECT_EQ(changed, 2);
}

TEST(StringList, ObjectsTravelWithTheirStrings) {
    TThing one, two;
    TStringList list;
    list.AddObject("z", &one);
    list.AddObject("a", &two);
    list.SetSorted(true);
    EXPECT_EQ(list.Objects(0), &two);
    EXPECT_EQ(list.IndexOfObject(&one), 1);
    TStringList copy;
    copy.Assign(&list);
    EXPECT_EQ(copy.Objects(1), &one);
    EXPECT_TRUE(copy.Equals(&list));
}

TEST(StringList, LoadReadsWindows1252LinesAndDropsUtf8Mark) {
    TStringStream in(
        "\xEF\xBB\xBF"
        "caf\xC3\xA9\r\nna\xEFve\n");
    TStringList list;
    list.LoadFromStream(&in);
    EXPECT_EQ(Items(list), (Lines{"caf\xC3\xA9", "na\xC3\xAFve"}));
    TStringStream out;
    list.SaveToStream(&out);
    EXPECT_EQ(out.DataString(), "caf\xC3\xA9\r\nna\xC3\xAFve\r\n");
}

// ---------------------------------------------------------------------------
// Streams

std::string Bytes(TMemoryStream& m) {
    return std::string(reinterpret_cast<const char*>(m.Memory()), static_cast<size_t>(m.GetSize()));
}

TEST(Streams, HelpersWriteLittleEndianAndReadBack) {
    TMemoryStream m;
    m.WriteWord(0x0102);
    m.WriteInt32(-2);
    m.WriteInt64(0x0102030405060708ll);
    m.WriteSingle(1.5f);
    m.WriteDouble(-0.1);
    m.WriteByte(0xAB);
    m.WriteInt16(-300);
    m.WriteUInt32(0xDEADBEEFu);
    EXPECT_EQ(Bytes(m).substr(0, 14), std::string("\x02\x01\xFE\xFF\xFF\xFF\x08\x07\x06\x05\x04\x03\x02\x01", 14));
    EXPECT_EQ(Bytes(m).substr(14, 4), std::string("\x00\x00\xC0\x3F", 4));
    m.SetPosition(0);
    EXPECT_EQ(m.ReadWord(), 0x0102);
    EXPECT_EQ(m.ReadInt32(), -2);
    EXPECT_EQ(m.ReadInt64(), 0x0102030405060708ll);
    EXPECT_EQ(m.ReadSingle(), 1.5f);
    EXPECT_EQ(m.ReadDouble(), -0.1);
    EXPECT_EQ(m.ReadByte(), 0xAB);
    EXPECT_EQ(m.ReadInt16(), -300);
    EXPECT_EQ(m.ReadUInt32(), 0xDEADBEEFu);
    EXPECT_THROW(m.ReadByte(), EReadError);
}

TEST(Streams, ExtendedUsesThe80BitLayout) {
    struct Row {
        long double value;
        std::string bytes;
    };
    const Row rows[] = {
        {1.0L, std::string("\0\0\0\0\0\0\0\x80\xFF\x3F", 10)},
        {-2.5L, std::string("\0\0\0\0\0\0\0\xA0\x00\xC0", 10)},
        {0.0L, std::string(10, '\0')},
        {-0.0L, std::string("\0\0\0\0\0\0\0\0\0\x80", 10)},
        {HUGE_VALL, std::string("\0\0\0\0\0\0\0\x80\xFF\x7F", 10)},
    };
    for (const Row& r : rows) {
        TMemoryStream m;
        m.WriteExtended(r.value);
        EXPECT_EQ(Bytes(m), r.bytes) << static_cast<double>(r.value);
        m.SetPosition(0);
        long double back = m.ReadExtended();
        EXPECT_EQ(back, r.value);
        EXPECT_EQ(std::signbit(back), std::signbit(r.value));
    }
}

TEST(Streams, ExtendedRoundTripsEveryRange) {
    const long double values[] = {1.0L / 3,      -123456789.123456789L, 1e-300L, 6.02214076e23L, LDBL_MAX, LDBL_MIN,
                                  LDBL_TRUE_MIN, -LDBL_TRUE_MIN * 12345};
    for (long double v : values) {
        uint8_t b[10];
        ExtendedToBytes(v, b);
        EXPECT_EQ(BytesToExtended(b), v) << static_cast<double>(v);
#if LDBL_MANT_DIG == 64 && defined(__x86_64__)
        // Where long double is the 80-bit format, the bytes are its memory image.
        uint8_t native[10];
        std::memcpy(native, &v, 10);
        EXPECT_EQ(std::memcmp(b, native, 10), 0) << static_cast<double>(v);
#endif
    }
    uint8_t nan[10];
    ExtendedToBytes(std::nanl(""), nan);
    EXPECT_TRUE(std::isnan(BytesToExtended(nan)));
}

TEST(Streams, CopyFromCopiesAllOrPart) {
    TStringStream source("hello world");
    TMemoryStream all;
    EXPECT_EQ(all.CopyFrom(&source, 0), 11);
    EXPECT_EQ(Bytes(all), "hello world");
    source.SetPosition(6);
    TStringStream part;
    part.CopyFrom(&source, 5);
    EXPECT_EQ(part.DataString(), "world");
    EXPECT_THROW(part.CopyFrom(&source, 1), EReadError);
}

TEST(Streams, FileStreamWritesReadsAndReportsMissingFiles) {
    std::string name = ::testing::TempDir() + "classes_stream_test.bin";
    {
        TFileStream out(name, fmCreate);
        out.WriteInt32(42);
        out.WriteExtended(0.1L);
    }
    {
        TFileStream in(name, fmOpenRead | fmShareDenyWrite);
        EXPECT_EQ(in.GetSize(), 14);
        EXPECT_EQ(in.ReadInt32(), 42);
        EXPECT_EQ(in.ReadExtended(), 0.1L);
    }
    std::remove(name.c_str());
    auto open = [](const std::string& n, uint16_t mode) { TFileStream s(n, mode); };
    EXPECT_THROW(open(name, fmOpenRead), EFOpenError);
    EXPECT_THROW(open(name + "/nested", fmCreate), EFCreateError);
}

TEST(Streams, MemoryStreamGrowsWhenWrittenPastItsEnd) {
    TMemoryStream m;
    m.SetPosition(3);
    m.WriteByte(7);
    EXPECT_EQ(Bytes(m), std::string("\0\0\0\x07", 4));
    m.SetSize(2);
    EXPECT_EQ(m.GetPosition(), 2);
    char c;
    EXPECT_EQ(m.Read(&c, 1), 0);
}

// Appending, overwriting, writing across the end and after a gap give the
// same bytes in memory and in a string.
TEST(Streams, HeldStreamsWriteAtAnyPosition) {
    struct Step {
        int64_t at;
        std::string bytes;
        std::string after;
    } steps[] = {
        {0, "abc", "abc"},
        {3, "de", "abcde"},
        {1, "XY", "aXYde"},
        {4, "123", "aXYd123"},
        {9, "!", std::string("aXYd123\0\0!", 10)},
    };
    TMemoryStream memory;
    TStringStream text;
    for (const Step& step : steps)
        for (TStream* s : {static_cast<TStream*>(&memory), static_cast<TStream*>(&text)}) {
            s->SetPosition(step.at);
            s->WriteBuffer(step.bytes.data(), int64_t(step.bytes.size()));
            EXPECT_EQ(s->GetPosition(), step.at + int64_t(step.bytes.size()));
            std::string all(size_t(s->GetSize()), '?');
            s->SetPosition(0);
            s->ReadBuffer(all.data(), int64_t(all.size()));
            EXPECT_EQ(all, step.after) << "after writing \"" << step.bytes << "\" at " << step.at;
        }
}

// ---------------------------------------------------------------------------
// Collections

class TColumn : public TCollectionItem {
public:
    using TCollectionItem::TCollectionItem;
    std::string Title;
    void Assign(TPersistent* Source) override {
        if (auto* c = dynamic_cast<TColumn*>(Source)) {
            Title = c->Title;
            Changed(false);
            return;
        }
        TCollectionItem::Assign(Source);
    }
};

class TColumns : public TCollection {
public:
    TColumns() : TCollection(CollectionItemClass<TColumn>()) {}
    TColumn* Column(int i) const { return static_cast<TColumn*>(Items(i)); }
    std::vector<TCollectionItem*> updates;

protected:
    void Update(TCollectionItem* Item) override { updates.push_back(Item); }
};

TEST(Collections, ItemsAreMadeByTheItemClassAndReportChanges) {
    TColumns cols;
    auto* a = static_cast<TColumn*>(cols.Add());
    auto* b = static_cast<TColumn*>(cols.Add());
    EXPECT_EQ(cols.updates, (std::vector<TCollectionItem*>{nullptr, nullptr}));
    EXPECT_EQ(b->GetIndex(), 1);
    EXPECT_EQ(cols.FindItemID(b->ID()), b);
    cols.updates.clear();
    b->Title = "Rate";
    cols.SetItem(0, b);
    EXPECT_EQ(a->Title, "Rate");
    EXPECT_EQ(cols.updates, (std::vector<TCollectionItem*>{a}));

    cols.updates.clear();
    cols.BeginUpdate();
    cols.Add();
    cols.Delete(0);
    EXPECT_TRUE(cols.updates.empty());
    cols.EndUpdate();
    EXPECT_EQ(cols.updates, (std::vector<TCollectionItem*>{nullptr}));
    EXPECT_EQ(cols.Count(), 2);
    EXPECT_EQ(cols.Column(0), b);
    EXPECT_THROW(cols.Items(2), EListError);

    TColumns copy;
    copy.Assign(&cols);
    ASSERT_EQ(copy.Count(), 2);
    EXPECT_EQ(copy.Column(0)->Title, "Rate");
    cols.Clear();
    EXPECT_EQ(cols.Count(), 0);
}

}  // namespace
