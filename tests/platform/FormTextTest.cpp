#include <gtest/gtest.h>

#include "FormText.h"

TEST(FormText, ParsesNestedObjectsAndEveryValueKind) {
    const char* text =
        "object frmMain: TfrmMain\r\n"
        "  Left = -12\r\n"
        "  Ratio = 1.5E3\r\n"
        "  Mask = $FF\r\n"
        "  Caption = 'It''s '#13#10'two' +\r\n"
        "    ' lines'\r\n"
        "  Font.Style = [fsBold, fsItalic]\r\n"
        "  Empty = []\r\n"
        "  Items.Strings = (\r\n"
        "    'a'\r\n"
        "    'b')\r\n"
        "  OnCreate = FormCreate\r\n"
        "  RangeHigh = {\r\n"
        "    00FF10\r\n"
        "    ab}\r\n"
        "  Columns = <\r\n"
        "    item\r\n"
        "      Width = 3\r\n"
        "    end\r\n"
        "    item\r\n"
        "    end>\r\n"
        "  object btnCalc: TButton\r\n"
        "    Caption = 'Calc'\r\n"
        "  end\r\n"
        "end\r\n";
    TFormObject root = ParseFormText(text);
    EXPECT_EQ(root.Name, "frmMain");
    EXPECT_EQ(root.ClassName, "TfrmMain");
    ASSERT_EQ(root.Properties.size(), 10u);
    EXPECT_EQ(root.Properties[0].Value.Int, -12);
    EXPECT_EQ(root.Properties[1].Value.kind, TFormValue::vkFloat);
    EXPECT_DOUBLE_EQ(static_cast<double>(root.Properties[1].Value.Float), 1500.0);
    EXPECT_EQ(root.Properties[2].Value.Int, 255);
    EXPECT_EQ(root.Properties[3].Value.Str, "It's \r\ntwo lines");
    EXPECT_EQ(root.Properties[4].Name, "Font.Style");
    EXPECT_EQ(root.Properties[4].Value.Names, (std::vector<std::string>{"fsBold", "fsItalic"}));
    EXPECT_TRUE(root.Properties[5].Value.Names.empty());
    ASSERT_EQ(root.Properties[6].Value.Items.size(), 2u);
    EXPECT_EQ(root.Properties[6].Value.Items[1].Str, "b");
    EXPECT_EQ(root.Properties[7].Value.kind, TFormValue::vkIdent);
    EXPECT_EQ(root.Properties[7].Value.Str, "FormCreate");
    EXPECT_EQ(root.Properties[8].Value.Bytes, (std::vector<uint8_t>{0x00, 0xFF, 0x10, 0xAB}));
    ASSERT_EQ(root.Properties[9].Value.Elements.size(), 2u);
    EXPECT_EQ(root.Properties[9].Value.Elements[0].Properties[0].Value.Int, 3);
    ASSERT_EQ(root.Children.size(), 1u);
    EXPECT_EQ(root.Children[0].Properties[0].Value.Str, "Calc");
}

TEST(FormText, BadTextNamesTheLine) {
    struct Row {
        const char* text;
        int line;
    };
    const Row rows[] = {
        {"object a: TA\n  X = 'open\nend\n", 2}, {"object a: TA\n  X = 1\n", 3},
        {"object a: TA\n  X = {0F1}\nend\n", 2}, {"object a: TA\n  X = @\nend\n", 2},
        {"object a: TA\nend\nend\n", 3},
    };
    for (const Row& r : rows) {
        try {
            ParseFormText(r.text);
            ADD_FAILURE() << "accepted: " << r.text;
        } catch (const EParserError& e) {
            EXPECT_EQ(e.Line, r.line) << r.text << " -> " << e.Message;
        }
    }
}

TEST(FormText, NumbersOutsideTheirRangeAndDeepNestingAreParseErrors) {
    auto value = [](const std::string& v) {
        return ParseFormText("object a: TA\n  X = " + v + "\nend\n").Properties[0].Value;
    };
    EXPECT_EQ(value("-9223372036854775808").Int, INT64_MIN);
    EXPECT_EQ(value("-$8000000000000000").Int, INT64_MIN);
    EXPECT_EQ(value("$FFFFFFFF").Int, 4294967295);
    EXPECT_EQ(value("$0000000000000000001").Int, 1);
    for (const char* bad : {"9223372036854775808", "-9223372036854775809", "$10000000000000000", "1.5e99999"})
        EXPECT_THROW(value(bad), EParserError) << bad;

    // Far deeper than any window: refused, not a stack overflow.
    const int deep = 100000;
    EXPECT_THROW(value(std::string(deep, '(') + std::string(deep, ')')), EParserError);
    std::string objects;
    for (int i = 0; i < deep; ++i) objects += "object o: TA\n";
    for (int i = 0; i < deep; ++i) objects += "end\n";
    EXPECT_THROW(ParseFormText(objects), EParserError);
    // Nesting a window really uses still reads.
    EXPECT_EQ(value("((((1))))").Items.size(), 1u);
}
