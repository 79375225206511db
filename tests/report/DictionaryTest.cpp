// Data dictionary: stored layouts, variables, field references.

#include "ReportTestViews.h"

class DictionaryTest : public TemplateFixture {
protected:
    void Load(TrpDataDictionary& d, const std::string& bytes, int version = 24) {
        TMemoryStream s;
        s.WriteBuffer(bytes.data(), int64_t(bytes.size()));
        s.SetPosition(0);
        Context().TemplateVersion = version;
        d.LoadFromStream(&s);
    }
};

TEST_F(DictionaryTest, EmptyDictionaryIsFourteenBytes) {
    TrpDataDictionary d(Context());
    TMemoryStream s;
    d.SaveToStream(&s);
    EXPECT_EQ(Bytes(s), std::string("\xFE\xFF"
                                    "\0\0\0\0"
                                    "\0\0\0\0"
                                    "\0\0\0\0",
                                    14));
    Load(d, Bytes(s));
    EXPECT_EQ(d.Variables->Count(), 0);
}

TEST_F(DictionaryTest, ListsRoundTrip) {
    TrpDataDictionary d(Context());
    d.Variables->SetVariable("Totals", "");
    d.Variables->SetVariable(" Twice", "Cell1 * 2");
    d.FieldAliases->SetVariable("Amount", "Loans.\"Amount\"");
    d.SourceAliases->SetVariable("L", "Loans");
    TMemoryStream s;
    d.SaveToStream(&s);
    TrpDataDictionary back(Context());
    // The first name has no leading blank: the names are swapped back and forth.
    Load(back, Bytes(s));
    ASSERT_EQ(back.Variables->Count(), 2);
    EXPECT_EQ(back.Variables->GetName(0), " Totals");
    EXPECT_EQ(back.Variables->GetName(1), "Twice");
    EXPECT_EQ(back.GetAlias("loans.\"amount\""), "Amount");
    EXPECT_EQ(back.GetAlias("Other.X"), "Other.X");
    EXPECT_EQ(VarToStr(back.SourceAliases->GetVariable("L")), "Loans");

    // A list that starts with a blank name is kept as it is: byte for byte.
    TMemoryStream again;
    back.Variables->SetName(1, " Twice");
    back.SaveToStream(&again);
    TrpDataDictionary third(Context());
    Load(third, Bytes(again));
    TMemoryStream fourth;
    third.SaveToStream(&fourth);
    EXPECT_EQ(Bytes(again), Bytes(fourth));
}

TEST_F(DictionaryTest, VariableExpressionsAreEvaluated) {
    TrpDataDictionary d(Context());
    d.Variables->SetVariable(" Rate", "Base + 1");
    d.Variables->SetVariable(" Empty", "");
    Context().Variables().SetVariable("Base", 7);
    EXPECT_TRUE(d.IsVariable("Rate"));
    EXPECT_FALSE(d.IsVariable("Nothing"));
    EXPECT_EQ(d.GetValue("Rate").AsInteger(), 8);
    EXPECT_EQ(d.GetValue("Empty").AsString(), "");
    EXPECT_TRUE(d.GetValue("Nothing").IsNull());
    // The report's global variables win.
    Context().Variables().SetVariable("Rate", 3);
    EXPECT_EQ(d.GetValue("Rate").AsInteger(), 3);
}

TEST_F(DictionaryTest, SelfReferenceEndsInUndefinedSymbol) {
    // The report's parser resolves the names through the report's dictionary.
    TrpDataDictionary& d = *report->Dictionary;
    d.Variables->SetVariable(" A", "B + 1");
    d.Variables->SetVariable(" B", "A * 2");
    try {
        d.GetValue("A");
        FAIL() << "no error";
    } catch (const ErpParserError& e) {
        EXPECT_EQ(e.Message, "Undefined symbol \"A\"");
    }
    // The guard is released: an unrelated evaluation works afterwards.
    d.Variables->SetVariable(" C", "7");
    EXPECT_EQ(d.GetValue("C").AsInteger(), 7);
}

TEST_F(DictionaryTest, FieldReferencesResolveOnceIntoTheCache) {
    TObject source;
    int lookups = 0;
    Context().Fields.FindDataSource = [&](const std::string& name) -> TObject* {
        ++lookups;
        return name == "Loans" ? &source : nullptr;
    };
    Context().Fields.GetFieldValue = [&](TObject* s, const std::string& field) {
        return Variant(s == &source ? "value of " + field : std::string("?"));
    };
    TrpDataDictionary d(Context());
    d.Variables->SetVariable(" Amount", "Loans.\"Loan amount\"");
    EXPECT_TRUE(d.IsVariable("Amount"));
    EXPECT_TRUE(d.IsVariable("amount"));
    EXPECT_EQ(lookups, 1);
    EXPECT_EQ(d.GetValue("Amount").AsString(), "value of Loan amount");
    EXPECT_TRUE(d.IsVariable("Loans.Rate"));
    EXPECT_FALSE(d.IsVariable("Nowhere.Rate"));
    d.ClearCache();
    EXPECT_TRUE(d.FieldCache.empty());

    std::string src, field;
    ASSERT_TRUE(rpSplitFieldReference("Form.Table.\"a.b\"", src, field));
    EXPECT_EQ(src, "Form.Table");
    EXPECT_EQ(field, "a.b");
    EXPECT_FALSE(rpSplitFieldReference("plain", src, field));
}

TEST_F(DictionaryTest, OlderFormWithFFFFDropsAliasesOfMissingSources) {
    TObject source;
    Context().Fields.FindDataSource = [&](const std::string& n) -> TObject* {
        return n == "Known" ? &source : nullptr;
    };
    TMemoryStream s;
    WriteWordToStream(&s, 0xFFFF);
    WriteIntegerToStream(&s, 0);
    WriteIntegerToStream(&s, 2);
    SaveStringToStream("Good", &s);
    SaveStringToStream("Known.F", &s);
    SaveStringToStream("Gone", &s);
    SaveStringToStream("Missing.F", &s);
    WriteIntegerToStream(&s, 0);
    TrpDataDictionary d(Context());
    Load(d, Bytes(s));
    ASSERT_EQ(d.FieldAliases->Count(), 1);
    EXPECT_EQ(d.FieldAliases->GetName(0), "Good");
}

TEST_F(DictionaryTest, OldestLayoutIsConverted) {
    TMemoryStream s;
    WriteIntegerToStream(&s, 2);  // no format word: the older layout
    auto shortString = [&](const std::string& t) {
        WriteByteToStream(&s, uint8_t(t.size()));
        s.WriteBuffer(t.data(), int64_t(t.size()));
    };
    WriteByteToStream(&s, 1);
    WriteIntegerToStream(&s, 0);
    shortString("");
    shortString("Loans");
    shortString("Rate");
    WriteByteToStream(&s, 2);
    WriteIntegerToStream(&s, 3);
    shortString("");
    shortString("");
    shortString("");
    TStringList names;
    names.Add("LoanRate");
    names.Add("Today");
    WriteMemoToStream(&s, &names);
    TrpDataDictionary d(Context());
    Load(d, Bytes(s));
    ASSERT_EQ(d.Variables->Count(), 2);
    EXPECT_EQ(d.Variables->GetName(0), " LoanRate");
    EXPECT_EQ(VarToStr(d.Variables->GetValue(0)), "Loans.Rate");
    EXPECT_EQ(VarToStr(d.Variables->GetValue(1)), "DATE");
}

TEST_F(DictionaryTest, DamagedCountsAreRefused) {
    const std::string rows[] = {
        std::string("\xFE\xFF\xFF\xFF\xFF\x7F", 6),  // huge count
        std::string("\xFE\xFF\xFF\xFF\xFF\xFF", 6),  // negative count
        std::string("\xFE\xFF\x01\x00\x00\x00\x05\x00"
                    "ab",
                    10),                     // string past the end
        std::string("\x00\x00\x00\x40", 4),  // older layout, huge count
    };
    for (const std::string& r : rows) {
        TrpDataDictionary d(Context());
        EXPECT_THROW(Load(d, r), EReadError) << r.size();
    }
}
