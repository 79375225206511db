#pragma once
// The window-free core of a picture field: data type, mask, options, range
// and edit text, the transfer between the edit text and a value, parsing,
// validation and the value accessors. The picture-field control owns one and
// forwards to it; editing is TEntPictureEditor (entpfedit.h).

#include <array>
#include <cstdint>
#include <functional>
#include <string>

#include "entpftypes.h"
#include "entpicmask.h"

class TEntIntlSup;

// One range cell: the 10 raw bytes of the window definition's "RangeHigh" /
// "RangeLow" properties. Integers, days and seconds sit little-endian in the
// first bytes, pftReal as an 8-byte float, the other floats as a 10-byte
// extended value.
using TEntRangeCell = std::array<uint8_t, 10>;

// A value as the field's data type holds it; only the member of the type is
// meaningful.
struct TEntFieldValue {
    std::string Str;        // pftString
    char Ch = ' ';          // pftChar
    bool Bool = false;      // pftBoolean, pftYesNo
    int64_t Int = 0;        // integers; day number of pftDate; seconds of pftTime
    long double Float = 0;  // pftReal .. pftComp, pftDateTime

    static TEntFieldValue OfInt(int64_t v) {
        TEntFieldValue r;
        r.Int = v;
        return r;
    }
    static TEntFieldValue OfFloat(long double v) {
        TEntFieldValue r;
        r.Float = v;
        return r;
    }
};

enum TEntTransferOp { toGet = 1, toPut = 2 };
// Who parses a value text: SetAsString reads the field's own mask, a range
// text the international masks.
enum TEntParsePurpose { ppValue, ppRange };

TEntRangeCell CellFromValue(TPictureDataType type, const TEntFieldValue& value);
TEntFieldValue ValueFromCell(TPictureDataType type, const TEntRangeCell& cell);
// The default mask of a data type (raises EEntException 30188 for an ordinal above 16).
std::string DefaultPictureMask(TPictureDataType type, const TEntIntlSup& intl);
// True for a data type whose range travels in the window definition.
bool StoresRangeCells(TPictureDataType type);
// Rounds to the nearest integer, ties to the even one.
long double RoundHalfEven(long double v);

class TEntPictureFieldModel {
public:
    explicit TEntPictureFieldModel(const TEntIntlSup& intl,
                                   const TEntMaskUserData& user = TEntMaskUserData::Defaults());
    // The process-wide international settings.
    TEntPictureFieldModel();
    TEntPictureFieldModel(const TEntPictureFieldModel&) = delete;
    TEntPictureFieldModel& operator=(const TEntPictureFieldModel&) = delete;

    // Component state the control mirrors here.
    bool Loading = false;
    bool DesignTime = false;
    bool Editing = false;     // the field has the focus
    bool Validating = false;  // ValidateContents is running Validate

    TPictureDataType GetDataType() const { return FDataType; }
    void SetDataType(TPictureDataType value);
    const std::string& GetPictureMask() const { return FMask.Mask; }
    void SetPictureMask(const std::string& value);
    int GetMaxLength() const { return FMaxLength; }
    // Returns whether the length was taken (the control then recreates its window).
    bool SetMaxLength(int value);
    TEntEntryFieldOptions GetOptions() const { return FOptions; }
    void SetOptions(TEntEntryFieldOptions value);
    uint8_t GetDecimalPlaces() const { return FDecimalPlaces; }
    void SetDecimalPlaces(uint8_t value) { FDecimalPlaces = value; }
    bool GetUninitialized() const { return FUninitialized; }
    void SetUninitialized(bool value);
    int GetEpoch() const { return FEpoch; }
    // The epoch dates are read with: EpochSource (the control asks OnGetEpoch
    // and the controller), else the stored value, else the default epoch.
    int EffectiveEpoch() const;
    // Takes 0 or 1600..3999; a value equal to the controller's epoch stores 0.
    void SetEpoch(int value);
    std::function<int(int ownEpoch)> EpochSource;
    std::function<int()> ControllerEpoch;
    bool GetInitDateTime() const { return FInitDateTime; }
    // True: a date or time field takes today's date or the current time;
    // false clears a date or time field.
    void SetInitDateTime(bool value);

    TZeroDisplay ZeroDisplay = zdShow;
    double ZeroDisplayValue = 0;
    char PadChar = ' ';
    char PasswordChar = '*';

    // Range as raw cells (the window definition's binary properties) and as text.
    const TEntRangeCell& RangeLoCell() const { return FRangeLo; }
    const TEntRangeCell& RangeHiCell() const { return FRangeHi; }
    void SetRangeLoCell(const TEntRangeCell& cell) { FRangeLo = cell; }
    void SetRangeHiCell(const TEntRangeCell& cell) { FRangeHi = cell; }
    TEntFieldValue RangeLoValue() const { return ValueFromCell(FDataType, FRangeLo); }
    TEntFieldValue RangeHiValue() const { return ValueFromCell(FDataType, FRangeHi); }
    std::string GetRangeLo() const { return RangeText(FRangeLo); }
    std::string GetRangeHi() const { return RangeText(FRangeHi); }
    // Raise EInvalidRangeValue for a text that does not parse. The control
    // then checks itself (ValidateSelf with reporting).
    void SetRangeLo(const std::string& text);
    void SetRangeHi(const std::string& text);
    void SetDefaultRange();
    bool RangeIsEmpty() const { return FRangeLo == FRangeHi; }

    // The edit text, MaxLength long once formatted. SetText is the editor's
    // way in: it drops a value held for an overflow marker.
    const std::string& Text() const { return FText; }
    void SetText(const std::string& text);
    const TEntPictureMask& Mask() const { return FMask; }
    const TEntIntlSup& Intl() const { return FIntl; }
    const TEntMaskUserData& UserData() const { return FUser; }

    // Called after each put of a value into the text (the editor places the
    // caret and clears its modified flags there).
    std::function<void()> OnPut;
    // The application's own check at the end of Validate.
    std::function<void(uint16_t& errorCode)> OnUserValidation;

    uint16_t GetValue(TEntFieldValue& value);
    void SetValue(const TEntFieldValue& value);
    void Transfer(TEntFieldValue& value, TEntTransferOp op);
    uint16_t Validate();
    void SetAsString(const std::string& text);
    bool ParseValueText(const std::string& text, TEntFieldValue& value, TEntParsePurpose purpose) const;

    // The accessors the calculators use; LastError is the code of the last one.
    double GetAsFloat();
    int32_t GetAsInteger();
    std::string GetAsString();
    void SetAsFloat(double value);
    void SetAsInteger(int32_t value);
    uint16_t LastError = 0;

    // Set when a check fails on a field with efoSoftValidation; cleared by a
    // passing check and by a put while the field has no focus.
    bool ErrorFlag = false;

    // The text shows the overflow marker for a value its mask cannot hold.
    bool Overflowed() const { return FOverflow; }

    // Increment or decrement while editing: numbers step by delta and wrap
    // at the range ends, booleans toggle, a character steps its code within
    // the range, dates step by days, times by the unit of the mask character
    // at the caret; strings and texts that do not parse stay. Returns whether
    // a value was put.
    bool StepValue(int delta, char maskCharAtCaret);

    // The text with a value held for an overflow marker, for the restore command.
    struct TTextState {
        std::string Text;
        bool Overflow = false;
        long double OverflowValue = 0;
    };
    TTextState SaveTextState() const { return {FText, FOverflow, FOverflowValue}; }
    void RestoreTextState(const TTextState& state);

    // Every picture and semi-literal position blank (a cleaned number may
    // hold digits where the currency symbol stood).
    bool IsEmpty() const;
    // The required check then Validate (ValidateContents and ValidateSelf
    // without their focus and reporting steps).
    uint16_t CheckContents(bool modified);
    // First window creation: the blank value of the type, and Uninitialized
    // for a required char .. comp field.
    void InitBlankValue();
    // Window creation: MaxLength raised to the mask, flags rebuilt, the
    // default range when the range is empty.
    void PrepareWindow();

    // What the field paints: zero display, uninitialized blanks, pad and
    // password characters. modified: changed since the focus gain or last put.
    std::string DisplayText(bool modified) const;

    // Decimals a float shows: the picture positions after ".", else DecimalPlaces.
    int FloatDecimals() const;
    // Integer picture positions plus, with a "." and decimals, the decimals and one.
    int FloatWidth() const;

private:
    void ApplyMaskFlags();
    // Swaps the mask through ChangeMask, keeping the value at run time.
    void Remask(const std::function<void()>& ChangeMask);
    void ApplyInitDateTime();
    void AdjustOptionsToType();
    std::string RangeText(const TEntRangeCell& cell) const;
    void SetRange(TEntRangeCell& cell, const std::string& text);
    std::string FormatFloatText(long double v) const;
    std::string FormatIntegerText(int64_t v) const;
    std::string StrippedValueText() const;  // decimal separator read as "."
    bool ParseInteger(const std::string& text, int64_t& v, bool typeBounds) const;
    bool ParseFloat(const std::string& text, long double& v, bool typeBounds) const;
    std::string DateMask(TEntParsePurpose purpose) const;
    std::string TimeMask(TEntParsePurpose purpose) const;
    // Lays a number text into the mask; the overflow marker when the mask
    // would lose a digit or the sign.
    void PutNumberText(const std::string& valueText, long double value, bool isInteger);
    std::string OverflowMarker() const;
    bool InRange(long double v) const;
    void CheckDataType() const;

    const TEntIntlSup& FIntl;
    const TEntMaskUserData& FUser;
    TEntPictureMask FMask;
    TPictureDataType FDataType = pftString;
    int FMaxLength = 15;
    TEntEntryFieldOptions FOptions{efoCaretToEnd, efoTrimBlanks};
    uint8_t FDecimalPlaces = 0;
    bool FUninitialized = false;
    int FEpoch = 0;
    bool FInitDateTime = false;
    TEntRangeCell FRangeLo{};
    TEntRangeCell FRangeHi{};
    std::string FText;
    bool FGettingValue = false;
    bool FUserValidating = false;
    bool FTransferring = false;
    // A value put by code that the mask cannot hold: the text shows the
    // overflow marker and reads return this value until the text changes.
    bool FOverflow = false;
    long double FOverflowValue = 0;
    // The last value put through SetAsFloat/SetAsInteger while the text still
    // shows it. Behind the overflow marker reads hand it back even when the
    // range refuses it; a value the text shows reads as 0 with the range error.
    bool FCodePut = false;
    long double FCodeValue = 0;
};
