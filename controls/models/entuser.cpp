#include "entuser.h"

namespace {
int SetIndex(char MaskChar) { return MaskChar >= '1' && MaskChar <= '8' ? MaskChar - '1' : -1; }
int SubstIndex(char MaskChar) {
    const auto u = static_cast<unsigned char>(MaskChar);
    return u >= 0xF1 && u <= 0xF8 ? u - 0xF1 : -1;
}
}  // namespace

TEntUserData::TEntUserData() {
    for (int i = 0; i < 8; ++i) {
        Sets[i].set();
        Sets[i].reset(0);
        SubstChars[i] = static_cast<char>(0xF1 + i);
    }
}

std::optional<TEntCharSet> TEntUserData::UserCharSet(char MaskChar) const {
    const int i = SetIndex(MaskChar);
    if (i < 0) return std::nullopt;
    return Sets[i];
}

std::optional<TEntCaseRule> TEntUserData::ForceCase(char MaskChar) const {
    const int i = SetIndex(MaskChar);
    if (i < 0) return std::nullopt;
    return CaseRules[i];
}

std::optional<char> TEntUserData::SubstChar(char MaskChar) const {
    const int i = SubstIndex(MaskChar);
    if (i < 0) return std::nullopt;
    return SubstChars[i];
}

void TEntUserData::SetUserCharSet(char MaskChar, const TEntCharSet& Set) {
    const int i = SetIndex(MaskChar);
    if (i >= 0) Sets[i] = Set;
}

void TEntUserData::SetForceCase(char MaskChar, TEntCaseRule Rule) {
    const int i = SetIndex(MaskChar);
    if (i >= 0) CaseRules[i] = Rule;
}

void TEntUserData::SetSubstChar(char MaskChar, char Value) {
    const int i = SubstIndex(MaskChar);
    if (i >= 0) SubstChars[i] = Value;
}

TEntUserData& TEntUserData::Process() {
    static TEntUserData data;
    return data;
}
