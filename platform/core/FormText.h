#pragma once
// Parser of window definitions: the text form of a component tree.
//
//   object frmMain: TfrmMain
//     Caption = 'Varnholt, 3.0.01'
//     Font.Style = [fsBold]
//     Items.Strings = (
//       'one'
//       'two')
//     OnCreate = FormCreate
//     RangeHigh = {0000000000000080FF3F}
//     object btnCalc: TButton
//       Left = 8
//     end
//   end
//
// Strings are quoted with ' (a quote doubled inside) and may be joined with
// character codes (#13#10) and "+" continuations. The parser builds a tree;
// applying it to components is the reader's job.

#include <cstdint>
#include <string>
#include <vector>

#include "Exceptions.h"

class EParserError : public Exception {
public:
    EParserError(const std::string& message, int line)
        : Exception(message + " on line " + std::to_string(line)), Line(line) {}
    int Line;
};

struct TFormItem;

struct TFormValue {
    enum Kind { vkInteger, vkFloat, vkString, vkIdent, vkSet, vkList, vkBinary, vkCollection };
    Kind kind = vkInteger;
    int64_t Int = 0;
    long double Float = 0;
    std::string Str;                  // String text, or Ident name
    std::vector<std::string> Names;   // Set members
    std::vector<TFormValue> Items;    // List elements
    std::vector<uint8_t> Bytes;       // Binary block
    std::vector<TFormItem> Elements;  // Collection items
};

struct TFormProperty {
    std::string Name;  // may be dotted: "Font.Name"
    TFormValue Value;
    int Line = 0;
};

// One collection item: its properties.
struct TFormItem {
    std::vector<TFormProperty> Properties;
};

struct TFormObject {
    std::string Name;
    std::string ClassName;
    bool Inherited = false;
    int Line = 0;
    std::vector<TFormProperty> Properties;
    std::vector<TFormObject> Children;
};

// Parses one definition; raises EParserError naming the line on bad text.
TFormObject ParseFormText(const std::string& text);
