#pragma once
// String and support routines of the entry controls. Positions count from 0.

#include <cstdint>
#include <functional>
#include <string>

std::string BinaryLPChar(uint32_t value);  // 32 "0"/"1", most significant first
std::string HexLPChar(uint32_t value);     // 8 upper-case hex digits
std::string HexWPChar(uint16_t value);     // 4 upper-case hex digits
std::string OctalLPChar(uint32_t value);   // 12 octal digits, zero-filled
char LoCaseChar(char c);
char UpCaseChar(char c);

void StrChDeletePrim(std::string& s, int pos);
void StrChInsertPrim(std::string& s, char c, int pos);
bool StrChPos(const std::string& s, char c, int& pos);
void StrStDeletePrim(std::string& s, int pos, int count);
void StrStInsertPrim(std::string& s, const std::string& t, int pos);
bool StrStPos(const std::string& s, const std::string& t, int& pos);
void CharStrInsert(std::string& s, char c, int pos, int count);
std::string SubStrCopy(const std::string& s, int pos, int count);

// Integer conversion of a typed text: trailing blanks dropped, "0x" read as
// hexadecimal. On a syntax error value is the 0-based position of the bad
// character and the result false.
bool StrToLongPChar(const std::string& s, int32_t& value);
void TrimAllSpacesPChar(std::string& s);
void TrimTrailPrimPChar(std::string& s);
void TrimTrailingZerosPChar(std::string& s);
void TrimEmbeddedZerosPChar(std::string& s);
// Normalises a typed real number so that the runtime's conversion reads it.
void FixRealPrim(std::string& s, char decimalChar);

inline int32_t MaxL(int32_t a, int32_t b) { return a > b ? a : b; }
inline uint16_t MaxW(uint16_t a, uint16_t b) { return a > b ? a : b; }
inline int MaxI(int a, int b) { return a > b ? a : b; }

// Words are maximal runs of characters not among the delimiters; n counts
// from 1. A missing word gives an empty text or position 0 (1-based).
int WordCount(const std::string& s, const std::string& delimiters);
std::string ExtractWord(int n, const std::string& s, const std::string& delimiters);
int WordPosition(int n, const std::string& s, const std::string& delimiters);

class TComponent;

// The first of base + "1", base + "2", ... that no component of the form
// uses; a base that is no valid identifier raises EComponentError.
std::string GenerateComponentName(const TComponent* form, const std::string& base);

// How ShortenPath measures: the text's width in the menu font, and the
// text cut with an end ellipsis to fit a width.
struct TEntTextMeasure {
    std::function<int(const std::string&)> Width;
    std::function<std::string(const std::string&, int)> Ellipsize;
};

// A path that fits the width: folders are dropped from the end of the
// directory, shown as "...", until it fits or nothing more can be cut; then
// the text is cut with an end ellipsis. Both "/" and "\" separate folders.
std::string ShortenPath(const std::string& path, int width, const TEntTextMeasure& measure);

// Whether a control has a border, and whether that border is drawn sunken.
enum class TEntBorder : bool { None, Single };
enum class TEntBorderLook : bool { Flat, Ctl3D };
// The runtime's old- or new-style control arithmetic.
enum class TEntMarginStyle : bool { OldStyle, NewStyle };

// The top margin that centres one line of text vertically in a control.
// textHeight is the font's line height, systemTextHeight that of the system font.
int GetTopTextMarginFor(int textHeight, int systemTextHeight, TEntBorder border, int height, TEntBorderLook look,
                        TEntMarginStyle style);
