#include "FnpNumericEditModel.h"

#include <algorithm>
#include <cmath>

namespace {

bool IsDigit(char32_t c) { return c >= '0' && c <= '9'; }

}  // namespace

void TFnpNumericEditModel::SetDecimals(int Value, const TFormatSettings& Settings) {
    FDecimals = std::clamp(Value, 0, MaxDecimals);
    FFormat = FDecimals == 0 ? "0" : "0." + std::string(FDecimals, '0');
    long double v;
    if (TryAsFloat(v, Settings)) SetText(FormatValue(v, Settings));
}

void TFnpNumericEditModel::SetText(const std::string& Value) {
    Text = Value;
    SelStart = static_cast<int>(Text.size());
    SelLength = 0;
}

void TFnpNumericEditModel::SelectAll() {
    SelStart = 0;
    SelLength = static_cast<int>(Text.size());
}

std::string TFnpNumericEditModel::SelectedText() const {
    if (SelLength <= 0 || SelStart < 0 || SelStart >= static_cast<int>(Text.size())) return {};
    return Text.substr(SelStart, SelLength);
}

std::string TFnpNumericEditModel::FormatValue(long double Value, const TFormatSettings& Settings) const {
    return FormatFloat(FFormat, Value, Settings);
}

bool TFnpNumericEditModel::TryAsFloat(long double& Value, const TFormatSettings& Settings) const {
    return TryStrToFloat(Text, Value, Settings);
}

long double TFnpNumericEditModel::AsFloat(const TFormatSettings& Settings) const { return StrToFloat(Text, Settings); }

int TFnpNumericEditModel::AsInteger(const TFormatSettings& Settings) const {
    long double v = std::trunc(AsFloat(Settings));
    if (v < -2147483648.0L || v > 2147483647.0L) throw EConvertError("'" + Text + "' is not a valid integer value");
    return static_cast<int>(v);
}

void TFnpNumericEditModel::DeleteChar(TFnpDeleteKey Key) {
    const int len = static_cast<int>(Text.size());
    const int dec = FDecimals;
    // p: 1-based index of the character that goes.
    const int p = Key == TFnpDeleteKey::Backspace ? SelStart : SelStart + 1;
    SelLength = 0;
    if (p <= 0 || p > len) return;
    const bool neg = Negative();
    if (dec > 0 && p <= len - dec) {
        if (p == len - dec) {
            // The separator stays; the caret steps over it.
            SelStart = Key == TFnpDeleteKey::Backspace ? len - dec - 1 : len - dec;
        } else if (p == 2 && p == len - dec - 1 && neg) {
            Text = "-0" + Text.substr(len - dec - 1);
            SelStart = 1;
        } else if (p == 1 && p == len - dec - 1) {
            Text = "0" + Text.substr(1);
            SelStart = 1;
        } else {
            Text.erase(p - 1, 1);
            SelStart = p - 1;
        }
    } else if (dec > 0) {
        // The fraction keeps its length.
        Text.erase(p - 1, 1);
        Text += '0';
        SelStart = p - 1;
    } else if (p == 2 && len == 2 && neg) {
        Text = "-0";
        SelStart = 1;
    } else if (p == 1 && len == 1) {
        Text = "0";
        SelStart = 1;
    } else {
        Text.erase(p - 1, 1);
        SelStart = p - 1;
    }
}

void TFnpNumericEditModel::DeleteSelection() {
    if (SelLength <= 0) {
        SelLength = 0;
        return;
    }
    const int count = SelLength;
    SelStart = std::min(SelStart + SelLength, static_cast<int>(Text.size()));
    SelLength = 0;
    for (int i = 0; i < count; ++i) DeleteChar(TFnpDeleteKey::Backspace);
}

void TFnpNumericEditModel::DeleteKey() {
    if (SelLength > 0)
        DeleteSelection();
    else
        DeleteChar(TFnpDeleteKey::Delete);
}

void TFnpNumericEditModel::ToggleSign() {
    if (!Text.empty() && Text[0] == '-') {
        Text.erase(0, 1);
        SelStart = std::max(SelStart - 1, 0);
    } else {
        Text.insert(0, 1, '-');
        ++SelStart;
    }
    SelLength = 0;
}

void TFnpNumericEditModel::InsertAtCaret(char Key) {
    Text.insert(static_cast<size_t>(SelStart), 1, Key);
    ++SelStart;
    SelLength = 0;
}

// A digit at the caret; false when the edit itself would refuse it (full).
bool TFnpNumericEditModel::TypeDigit(char Key) {
    const int sel = SelStart;
    const int len = static_cast<int>(Text.size());
    const int dec = FDecimals;
    const bool neg = Negative();
    const bool signedZero = sel < 3 && neg && len >= 2 && Text[1] == '0';
    const bool leadingZero = sel < 2 && len >= 1 && Text[0] == '0';
    if (signedZero) {
        Text = std::string("-") + Key + (dec > 0 ? Text.substr(2) : std::string());
        SelStart = 2;
    } else if (leadingZero) {
        Text = std::string(1, Key) + (dec > 0 ? Text.substr(1) : std::string());
        SelStart = 1;
    } else if (dec > 0 && sel < len - dec - 1) {
        InsertAtCaret(Key);
    } else if (dec > 0 && sel >= len - dec) {
        Text[static_cast<size_t>(sel)] = Key;
        SelStart = sel + 1;
    } else {
        // Just before the separator (or anywhere without decimals) the edit
        // inserts the key itself, within its MaxLength.
        if (MaxLength > 0 && len >= MaxLength) return false;
        InsertAtCaret(Key);
    }
    SelLength = 0;
    return true;
}

TFnpKeyAction TFnpNumericEditModel::KeyPress(char32_t Key, char DecimalSeparator) {
    if (Key == 3 || Key == 22 || Key == 24) return TFnpKeyAction::Platform;
    const char32_t sep = static_cast<unsigned char>(DecimalSeparator);
    const bool allowed = Key == 8 || Key == '-' || IsDigit(Key) || Key == sep;
    if (!allowed) return TFnpKeyAction::Rejected;

    // Work on a copy, so that a key refused below leaves everything as it was.
    TFnpNumericEditModel m = *this;
    const bool hadSelection = m.SelLength > 0;
    if (Key == sep)
        m.SelLength = 0;
    else
        m.DeleteSelection();

    const int len = static_cast<int>(m.Text.size());
    const int dec = m.FDecimals;
    if (Key == '0' && m.SelStart == 0) return TFnpKeyAction::Rejected;
    if (Key == sep && dec == 0) return TFnpKeyAction::Rejected;
    if (Key == '-') {
        if (MinValue >= 0) return TFnpKeyAction::Rejected;
        m.ToggleSign();
        *this = m;
        return TFnpKeyAction::Edited;
    }
    if (m.SelStart >= len && dec >= 1 && Key != 8 && Key != sep) return TFnpKeyAction::Rejected;
    if (Key == sep) {
        m.SelStart = std::max(len - dec, 0);
        *this = m;
        return TFnpKeyAction::Edited;
    }
    if (m.Negative() && m.SelStart == 0) m.SelStart = 1;
    if (Key == 8) {
        // A selection was the thing to delete; only a bare caret deletes a character.
        if (!hadSelection) m.DeleteChar(TFnpDeleteKey::Backspace);
    } else if (!m.TypeDigit(static_cast<char>(Key))) {
        return TFnpKeyAction::Rejected;
    }
    *this = m;
    return TFnpKeyAction::Edited;
}
