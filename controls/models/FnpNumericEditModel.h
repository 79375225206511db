#pragma once
// Editing model of the fixed-decimal numeric edit: the text, caret and
// selection, and every typing and deleting rule that keeps the text a number
// with a fixed count of decimals. It knows nothing of windows or key events,
// so the rules are tested on plain values; TFnpNumericEdit forwards to it.

#include <string>

#include "SysUtils.h"

// What a typed character did to the model.
enum class TFnpKeyAction {
    Rejected,  // nothing changed
    Edited,    // text and/or caret changed
    Platform   // a clipboard key (Ctrl+C, Ctrl+V, Ctrl+X): the edit's own handling
};

// Which way a single-character deletion goes.
enum class TFnpDeleteKey { Backspace, Delete };

class TFnpNumericEditModel {
public:
    static constexpr int MaxDecimals = 9;

    // The text starts as "0"; SetDecimals gives it its format.
    std::string Text = "0";
    int SelStart = 0;  // 0-based caret
    int SelLength = 0;
    // Length the edit accepts for keys it inserts itself; 0 means no limit.
    int MaxLength = 0;
    double MinValue = 0;
    double MaxValue = 0;

    int GetDecimals() const { return FDecimals; }
    // Clamped to 0..9; rebuilds the format and reformats the text (a text that
    // is no number is left alone).
    void SetDecimals(int Value, const TFormatSettings& Settings);
    // "0" for no decimals, else "0." and one "0" per decimal.
    const std::string& GetFormat() const { return FFormat; }

    // A typed character, after the control's OnKeyPress. The key is decided on
    // before anything is touched: a rejected key leaves text, caret and
    // selection as they were.
    TFnpKeyAction KeyPress(char32_t Key, char DecimalSeparator);
    // The Delete key: the selection when there is one, else the character after the caret.
    void DeleteKey();
    // Removes one character the way the format allows (never the separator;
    // the last integer digit becomes 0; the fraction keeps its length).
    void DeleteChar(TFnpDeleteKey Key);
    // Deletes the selected characters one by one from its end, by the same rules.
    void DeleteSelection();
    std::string SelectedText() const;
    void SelectAll();
    // Text replaced from outside: the caret goes to its end.
    void SetText(const std::string& Value);

    std::string FormatValue(long double Value, const TFormatSettings& Settings) const;
    // The text's number; EConvertError when the text is no number.
    long double AsFloat(const TFormatSettings& Settings) const;
    // Truncated toward zero; EConvertError when the text is no number or the
    // number does not fit 32 bits (never wrapped).
    int AsInteger(const TFormatSettings& Settings) const;
    // False when the text is no number.
    bool TryAsFloat(long double& Value, const TFormatSettings& Settings) const;

    // A range is set when the bounds differ.
    bool RangeSet() const { return MinValue != MaxValue; }
    bool InRange(long double Value) const { return MinValue <= Value && Value <= MaxValue; }

private:
    bool Negative() const { return Text.find('-') != std::string::npos; }
    void InsertAtCaret(char Key);
    bool TypeDigit(char Key);
    void ToggleSign();

    int FDecimals = 2;
    std::string FFormat = "0.00";
};
