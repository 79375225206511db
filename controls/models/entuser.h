#pragma once
// User-defined character sets of the picture masks: the characters each of
// the mask characters "1".."8" accepts with its case rule, and the characters
// shown for the literal mask characters 0xF1..0xF8. One process-wide object
// serves every field; the picture-mask engine reads it.

#include <bitset>
#include <cstdint>
#include <optional>

enum TEntCaseRule : uint8_t { ucrNone = 0, ucrUpper = 1, ucrLower = 2, ucrMixed = 3 };

using TEntCharSet = std::bitset<256>;

struct TEntUserData {
    // Defaults: every set holds 1..255, no case rule, each substitution
    // character its own code.
    TEntUserData();

    TEntCharSet Sets[8];
    TEntCaseRule CaseRules[8] = {};
    char SubstChars[8] = {};

    // The set and case rule of a mask character "1".."8", and the character
    // shown for a literal mask character 0xF1..0xF8; empty for any other.
    std::optional<TEntCharSet> UserCharSet(char MaskChar) const;
    std::optional<TEntCaseRule> ForceCase(char MaskChar) const;
    std::optional<char> SubstChar(char MaskChar) const;
    void SetUserCharSet(char MaskChar, const TEntCharSet& Set);
    void SetForceCase(char MaskChar, TEntCaseRule Rule);
    void SetSubstChar(char MaskChar, char Value);

    // The process-wide object, with its defaults until someone changes it.
    static TEntUserData& Process();
    static const TEntUserData& Defaults() { return Process(); }
};

// The process-wide user data every field's mask engine reads.
inline TEntUserData& EntUserData() { return TEntUserData::Process(); }
