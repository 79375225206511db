#pragma once
// Small helpers shared by the report engine: the template stream's string and
// memo encodings, text splitting, and component lookup by path.
//
// Every reader checks the bytes left in the stream before it reads or
// allocates, so a truncated or damaged template raises EReadError with a
// clear message instead of reading past the end.

#include <cstdint>
#include <cstddef>
#include <functional>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

class TComponent;
class TControl;
class TWinControl;

// A list that owns its entries and hands them out as plain pointers, so that
// the engine walks it as it walks any list of objects. An entry leaves the
// list before it is freed, so that nothing its destructor reaches finds it
// still listed.
template <typename T>
class TrpOwnedList {
    using Store = std::vector<std::unique_ptr<T>>;

public:
    class const_iterator {
    public:
        using iterator_category = std::bidirectional_iterator_tag;
        using value_type = T*;
        using difference_type = std::ptrdiff_t;
        using pointer = T* const*;
        using reference = T*;

        const_iterator() = default;
        explicit const_iterator(typename Store::const_iterator at) : FAt(at) {}
        T* operator*() const { return FAt->get(); }
        const_iterator& operator++() {
            ++FAt;
            return *this;
        }
        const_iterator operator++(int) {
            const_iterator was = *this;
            ++FAt;
            return was;
        }
        const_iterator& operator--() {
            --FAt;
            return *this;
        }
        const_iterator operator--(int) {
            const_iterator was = *this;
            --FAt;
            return was;
        }
        bool operator==(const const_iterator& other) const { return FAt == other.FAt; }

    private:
        typename Store::const_iterator FAt;
    };
    using iterator = const_iterator;
    using reverse_iterator = std::reverse_iterator<const_iterator>;

    TrpOwnedList() = default;
    TrpOwnedList(const TrpOwnedList&) = delete;
    TrpOwnedList& operator=(const TrpOwnedList&) = delete;
    ~TrpOwnedList() { Clear(); }

    std::size_t size() const { return FEntries.size(); }
    bool empty() const { return FEntries.empty(); }
    T* operator[](std::size_t index) const { return FEntries[index].get(); }
    T* back() const { return FEntries.back().get(); }
    const_iterator begin() const { return const_iterator(FEntries.begin()); }
    const_iterator end() const { return const_iterator(FEntries.end()); }
    reverse_iterator rbegin() const { return reverse_iterator(end()); }
    reverse_iterator rend() const { return reverse_iterator(begin()); }

    T* Add(std::unique_ptr<T> entry) {
        FEntries.push_back(std::move(entry));
        return FEntries.back().get();
    }
    // Frees the entry at index; an index out of range does nothing.
    void Delete(int index) {
        if (index < 0 || index >= int(FEntries.size())) return;
        std::unique_ptr<T> entry = std::move(FEntries[std::size_t(index)]);
        FEntries.erase(FEntries.begin() + index);
    }
    // Frees every entry, first to last, after the list is already empty.
    void Clear() {
        Store entries;
        entries.swap(FEntries);
        for (auto& entry : entries) entry.reset();
    }

private:
    Store FEntries;
};

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
