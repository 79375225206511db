#pragma once
// Picture-mask engine of the entry fields: which characters each mask position
// takes, turning an edit text back into a bare value text (strip) and laying a
// value text out in the mask (merge). Pure: no window or key type here, so the
// field forwards to it and tests use it directly.

#include <cstdint>
#include <string>
#include <vector>

#include "entuser.h"

class TEntIntlSup;

// Position classes, one per field position.
enum TEntPositionClass : uint8_t {
    pcLiteral = 0,      // shown as the mask character
    pcPicture = 1,      // takes one typed character
    pcSemiLiteral = 2,  // "$" or ",": filled by the engine
};

// The user character sets and substitution characters come from the user
// data (entuser.h); fields use the process-wide object unless given another.
using TEntMaskUserData = TEntUserData;

constexpr int MaxPictureLength = 255;

bool IsPictureChar(char maskChar);
// Forces the case (when asked) and tests the character against what the mask
// character accepts. A NUL character is never accepted.
bool CharIsOK(char maskChar, char& ch, char prevChar, bool fixCase, const TEntIntlSup& intl,
              const TEntMaskUserData& user = TEntMaskUserData::Defaults());

class TEntPictureMask {
public:
    TEntPictureMask(const TEntIntlSup& intl, const TEntMaskUserData& user = TEntMaskUserData::Defaults());

    // Field description the engine works from; call InitPictureFlags after a change.
    std::string Mask;
    int MaxLength = 0;
    bool PlainField = false;    // no literals at all: every position a picture position
    bool FloatField = false;    // the "." shows the international decimal separator
    bool RadixField = false;    // reads hexadecimal, octal or binary integers
    bool RightJustify = false;  // efoRightJustify
    bool TrimBlanks = false;    // efoTrimBlanks

    // Rebuilds the position classes; clears RightJustify and TrimBlanks when
    // the mask has any literal or semi-literal position.
    void InitPictureFlags();
    // Literal for positions outside the field (or before InitPictureFlags).
    TEntPositionClass PositionClass(int pos) const;
    // The mask character at a position; the last one at or beyond the end.
    char MaskCharAt(int pos) const;
    int SemiLitCount() const { return semiLitCount_; }
    bool NoLiterals() const { return noLiterals_; }
    bool IsNumericMask() const;
    // Position of the mask's "." within the field, -1 when none.
    int DecimalPos() const;

    std::string StripPicture(const std::string& text) const;
    std::string MergePicture(const std::string& value) const;
    // Moves the typed integer digits up to the point and zero-fills the
    // fraction of an edit text.
    std::string AlignDecimal(const std::string& text) const;
    // Before an editing command on a field with semi-literals: the currency
    // string and the thousands separators leave the number (blanks close up
    // from its left end) so that typing works on bare digits. Returns whether
    // the field must be re-formatted when it loses the focus.
    bool CleanForEditing(std::string& text) const;
    // On focus loss after CleanForEditing: strip, read the international
    // decimal separator as ".", merge again.
    std::string Reformat(const std::string& text) const;

private:
    std::string BaseText() const;  // the mask cut or blank-extended, runs filled
    char LiteralShown(char maskChar) const;
    int FirstNumberPos() const;
    const TEntIntlSup& intl_;
    const TEntMaskUserData& user_;
    std::vector<TEntPositionClass> flags_;
    int semiLitCount_ = 0;
    bool noLiterals_ = false;
};
