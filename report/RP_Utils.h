#pragma once
// Small helpers shared by the report engine: the template stream's string and
// memo encodings, text splitting, and component lookup by path.
//
// Every reader checks the bytes left in the stream before it reads or
// allocates, so a truncated or damaged template raises EReadError with a
// clear message instead of reading past the end.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

class TComponent;
class TControl;
class TWinControl;

// Raised by the readers when a stream ends inside a value or holds a length
// that cannot be right.
void rpCheckAvailable(TStream* stream, int64_t count, const char* what);

// Length-prefixed forms (template version 23 and later).
std::string ReadStringFromStream(TStream* stream);
void SaveStringToStream(const std::string& s, TStream* stream);
void ReadMemoFromStream(TStream* stream, TStrings* memo);
void WriteMemoToStream(TStream* stream, TStrings* memo);

// Zero-terminated forms (template versions 21 and 22).
std::string ReadOldStringFromStream(TStream* stream);
void ReadOldMemoFromStream(TStream* stream, TStrings* memo);

uint16_t ReadWordFromStream(TStream* stream);
void WriteWordToStream(TStream* stream, uint16_t w);
int32_t ReadIntegerFromStream(TStream* stream);
void WriteIntegerToStream(TStream* stream, int32_t n);
uint8_t ReadByteFromStream(TStream* stream);
void WriteByteToStream(TStream* stream, uint8_t b);

// Template texts are stored in the ANSI code page (Windows-1252). A text that
// the code page cannot hold is stored as UTF-8, which the reader recognises.
std::string rpTextToAnsi(const std::string& utf8);
std::string rpTextFromAnsi(const std::string& bytes);

// Removes one pair of enclosing double quotes from a text of at least 3 characters.
std::string RemoveQuotes(const std::string& s);

// Takes the text up to the next ";" from s starting at pos (1-based) and
// advances pos past the separator.
std::string ExtractToken(const std::string& s, int& pos);

// Splits a ";"-separated text into the list (which is cleared first).
void SplitToList(const std::string& s, TStrings* list);

// A component by a name relative to a form: "Name" (a component of `owner`),
// "Form.Name" or "Form.Frame.Name". The form is `owner` itself when the
// names match, else the one `rpFindGlobalComponent` knows by that name.
TComponent* FindComponentByPath(TComponent* owner, const std::string& path);

// Finds a top-level component (a form) by name; the window layer installs it.
extern std::function<TComponent*(const std::string& name)> rpFindGlobalComponent;

// A font with the attributes of the given one, rotated by 90 degrees
// (escapement 900), for vertical text.
std::unique_ptr<TFont> rpCreateRotatedFont(const TFont* font);

// Enables or disables the controls; disabled labels and edit fields show their
// text in the grey text colour, enabled ones in the window text colour.
void EnableControls(const std::vector<TControl*>& controls, bool enabled);

// The deepest visible child of parent under the point (in parent's client
// coordinates), searching the topmost child first; nil when none.
TControl* ControlAtPos(TWinControl* parent, TPoint point);
