// Data sets: range modes, callbacks, virtual sources.

#include <vector>

#include <gtest/gtest.h>

#include "RP_DSet.h"

namespace {

// Runs the band loop over a data set and returns the records it produced.
std::vector<int> Loop(TrpDataset& ds, int limit = 100) {
    std::vector<int> records;
    ds.First();
    while (!ds.Eof() && int(records.size()) < limit) {
        records.push_back(ds.RecordNo);
        ds.Next();
    }
    return records;
}

}  // namespace

TEST(Dataset, CountRangeProducesItsRecords) {
    struct Row {
        int count;
        std::vector<int> records;
        int nexts;
    };
    const Row rows[] = {{3, {0, 1, 2}, 2}, {1, {0}, 0}, {0, {}, 0}};
    for (const Row& r : rows) {
        TrpUserDataset ds(nullptr);
        ds.RangeEnd = reCount;
        ds.RangeEndCount = r.count;
        int firsts = 0, nexts = 0;
        ds.OnFirst = [&](TObject* s) {
            EXPECT_EQ(s, &ds);
            ++firsts;
        };
        ds.OnNext = [&](TObject*) { ++nexts; };
        EXPECT_EQ(Loop(ds), r.records) << r.count;
        EXPECT_EQ(firsts, 1);
        EXPECT_EQ(nexts, r.nexts) << r.count;
    }
}

TEST(Dataset, LastRangeEndsOnlyThroughTheCallback) {
    TrpUserDataset ds(nullptr);
    EXPECT_EQ(ds.RangeBegin, rbFirst);
    EXPECT_EQ(ds.RangeEnd, reLast);
    EXPECT_EQ(Loop(ds, 50).size(), 50u);  // never ends by itself

    const int rows = 4;
    ds.OnCheckEOF = [&](TObject* sender, bool& eof) {
        EXPECT_FALSE(eof);
        eof = static_cast<TrpDataset*>(sender)->RecordNo >= rows;
    };
    EXPECT_EQ(Loop(ds), (std::vector<int>{0, 1, 2, 3}));
}

TEST(Dataset, CallbackSeesAndMayOverrideTheCountEnd) {
    TrpUserDataset ds(nullptr);
    ds.RangeEnd = reCount;
    ds.RangeEndCount = 2;
    std::vector<bool> seen;
    ds.OnCheckEOF = [&](TObject*, bool& eof) {
        seen.push_back(eof);
        if (ds.RecordNo == 2) eof = false;  // one record more
    };
    EXPECT_EQ(Loop(ds), (std::vector<int>{0, 1, 2}));
    EXPECT_EQ(seen, (std::vector<bool>{false, false, true, true}));
}

TEST(Dataset, SourcesByName) {
    TComponent form(nullptr);
    form.SetName("Main");
    auto* users = new TrpUserDataset(&form);
    users->SetName("Rows");
    bool owned = true;
    EXPECT_EQ(rpGetDataSetByName("Rows", &form, owned), users);
    EXPECT_FALSE(owned);
    EXPECT_EQ(rpGetDataSetByName("Main.Rows", &form, owned), users);
    EXPECT_EQ(rpGetDataSetByName("Missing", &form, owned), nullptr);
    EXPECT_EQ(rpGetDataSetByName("", &form, owned), nullptr);

    // A name beginning with a digit repeats that many times.
    TrpDataset* five = rpGetDataSetByName("5", &form, owned);
    ASSERT_NE(five, nullptr);
    EXPECT_TRUE(owned);
    EXPECT_EQ(Loop(*five).size(), 5u);
    delete five;
}
