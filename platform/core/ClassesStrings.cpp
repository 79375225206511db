// TStrings and TStringList.

#include "Classes.h"
#include "ClassesIO.h"

#include <algorithm>
#include <cstring>

namespace {

const char* const SListIndexError = "List index out of bounds (%d)";
const char* const SDuplicateString = "String list does not allow duplicates";
const char* const SSortedListError = "Operation not allowed on sorted list";

bool IsBlank(char c) { return c != '\0' && static_cast<unsigned char>(c) <= ' '; }

}  // namespace

// ---------------------------------------------------------------------------
// TStrings

void TStrings::Error(const std::string& Fmt, int Data) const {
    std::string msg = Fmt;
    auto at = msg.find("%d");
    if (at != std::string::npos) msg.replace(at, 2, std::to_string(Data));
    throw EStringListError(msg);
}

void TStrings::CheckIndex(int Index, int Limit) const {
    if (Index < 0 || Index >= Limit) Error(SListIndexError, Index);
}

void TStrings::Put(int Index, const std::string& S) {
    TObject* obj = GetObject(Index);
    Delete(Index);
    InsertObject(Index, S, obj);
}

int TStrings::Add(const std::string& S) {
    int result = Count();
    Insert(result, S);
    return result;
}

int TStrings::AddObject(const std::string& S, TObject* AObject) {
    int result = Add(S);
    PutObject(result, AObject);
    return result;
}

void TStrings::InsertObject(int Index, const std::string& S, TObject* AObject) {
    Insert(Index, S);
    PutObject(Index, AObject);
}

void TStrings::Exchange(int Index1, int Index2) {
    WithinUpdate(this, [&] {
        TObject* obj = GetObject(Index1);
        std::string s = Get(Index1);
        Put(Index1, Get(Index2));
        PutObject(Index1, GetObject(Index2));
        Put(Index2, s);
        PutObject(Index2, obj);
    });
}

void TStrings::Move(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    WithinUpdate(this, [&] {
        std::string s = Get(CurIndex);
        TObject* obj = GetObject(CurIndex);
        Delete(CurIndex);
        InsertObject(NewIndex, s, obj);
    });
}

void TStrings::AddStrings(const TStrings* Strings) {
    if (Strings == nullptr) return;
    WithinUpdate(this, [&] {
        for (int i = 0; i < Strings->Count(); ++i) AddObject(Strings->Get(i), Strings->GetObject(i));
    });
}

int TStrings::CompareStrings(const std::string& S1, const std::string& S2) const { return CompareTextUtf8(S1, S2); }

int TStrings::IndexOf(const std::string& S) const {
    for (int i = 0; i < Count(); ++i)
        if (CompareStrings(Get(i), S) == 0) return i;
    return -1;
}

int TStrings::IndexOfName(const std::string& Name) const {
    for (int i = 0; i < Count(); ++i) {
        std::string s = Get(i);
        auto eq = s.find('=');
        if (eq != std::string::npos && CompareStrings(s.substr(0, eq), Name) == 0) return i;
    }
    return -1;
}

int TStrings::IndexOfObject(const TObject* AObject) const {
    for (int i = 0; i < Count(); ++i)
        if (GetObject(i) == AObject) return i;
    return -1;
}

bool TStrings::Equals(const TStrings* Strings) const {
    if (Strings == nullptr || Strings->Count() != Count()) return false;
    for (int i = 0; i < Count(); ++i)
        if (Get(i) != Strings->Get(i)) return false;
    return true;
}

std::string TStrings::Names(int Index) const {
    std::string s = Get(Index);
    auto eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(0, eq);
}

std::string TStrings::ValueFromIndex(int Index) const {
    std::string s = Get(Index);
    auto eq = s.find('=');
    return eq == std::string::npos ? std::string() : s.substr(eq + 1);
}

std::string TStrings::Values(const std::string& Name) const {
    int i = IndexOfName(Name);
    return i < 0 ? std::string() : ValueFromIndex(i);
}

void TStrings::SetValue(const std::string& Name, const std::string& Value) {
    int i = IndexOfName(Name);
    if (!Value.empty()) {
        if (i < 0) i = Add("");
        Put(i, Name + "=" + Value);
    } else if (i >= 0) {
        Delete(i);
    }
}

std::string TStrings::GetText() const {
    std::string result;
    for (int i = 0; i < Count(); ++i) {
        result += Get(i);
        result += "\r\n";
    }
    return result;
}

void TStrings::SetText(const std::string& Value) {
    WithinUpdate(this, [&] {
        Clear();
        size_t p = 0;
        const size_t n = Value.size();
        while (p < n) {
            size_t start = p;
            while (p < n && Value[p] != '\r' && Value[p] != '\n') ++p;
            Add(Value.substr(start, p - start));
            if (p < n && Value[p] == '\r') ++p;
            if (p < n && Value[p] == '\n') ++p;
        }
    });
}

std::string TStrings::JoinDelimited(char Delim, char Quote) const {
    int count = Count();
    if (count == 1 && Get(0).empty()) return std::string(2, Quote);
    std::string result;
    for (int i = 0; i < count; ++i) {
        std::string s = Get(i);
        bool quote = std::any_of(s.begin(), s.end(), [&](char c) {
            return static_cast<unsigned char>(c) <= ' ' || c == Quote || c == Delim;
        });
        if (quote) {
            std::string q(1, Quote);
            for (char c : s) {
                q += c;
                if (c == Quote) q += c;
            }
            q += Quote;
            s = q;
        }
        if (i > 0) result += Delim;
        result += s;
    }
    return result;
}

// Items end at the delimiter or at a blank; a quoted item may hold both, and a
// doubled quote stands for one. A delimiter at the very end adds an empty item.
void TStrings::SplitDelimited(const std::string& Value, char Delim, char Quote) {
    WithinUpdate(this, [&] {
        Clear();
        const size_t n = Value.size();
        size_t p = 0;
        while (p < n && IsBlank(Value[p])) ++p;
        while (p < n) {
            std::string s;
            if (Value[p] == Quote) {
                ++p;  // an unclosed item runs to the end
                while (p < n) {
                    if (Value[p] == Quote) {
                        if (p + 1 < n && Value[p + 1] == Quote) {
                            s += Quote;
                            p += 2;
                            continue;
                        }
                        ++p;
                        break;
                    }
                    s += Value[p++];
                }
            } else {
                size_t start = p;
                while (p<n&& static_cast<unsigned char>(Value[p])> ' ' && Value[p] != Delim) ++p;
                s = Value.substr(start, p - start);
            }
            Add(s);
            while (p < n && IsBlank(Value[p])) ++p;
            if (p < n && Value[p] == Delim) {
                if (p + 1 == n) Add("");
                do ++p;
                while (p < n && IsBlank(Value[p]));
            }
        }
    });
}

void TStrings::BeginUpdate() {
    if (FUpdateCount == 0) SetUpdateState(true);
    ++FUpdateCount;
}

void TStrings::EndUpdate() {
    if (FUpdateCount == 0) return;
    --FUpdateCount;
    if (FUpdateCount == 0) SetUpdateState(false);
}

void TStrings::Assign(TPersistent* Source) {
    auto* source = dynamic_cast<TStrings*>(Source);
    if (source == nullptr) {
        TPersistent::Assign(Source);
        return;
    }
    if (source == this) return;
    WithinUpdate(this, [&] {
        Clear();
        AddStrings(source);
    });
}

void TStrings::LoadFromFile(const std::string& FileName) {
    TFileStream stream(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(&stream);
}

void TStrings::SaveToFile(const std::string& FileName) const {
    if (int err = classes_io::WriteFileAtomic(FileName, GetText()))
        throw EFCreateError("Cannot create file \"" + FileName + "\". " + std::strerror(err));
}

void TStrings::LoadFromStream(TStream* Stream) {
    int64_t size = Stream->GetSize() - Stream->GetPosition();
    std::string bytes(static_cast<size_t>(std::max<int64_t>(size, 0)), '\0');
    Stream->ReadBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    if (bytes.compare(0, 3, "\xEF\xBB\xBF") == 0) bytes.erase(0, 3);
    SetText(classes_io::DecodeLines(bytes));
}

void TStrings::SaveToStream(TStream* Stream) const {
    std::string text = GetText();
    Stream->WriteBuffer(text.data(), static_cast<int64_t>(text.size()));
}

// ---------------------------------------------------------------------------
// TStringList

TStringList::~TStringList() {
    OnChange = nullptr;
    OnChanging = nullptr;
    if (OwnsObjects)
        for (Item& item : FList) delete item.Obj;
}

std::string TStringList::Get(int Index) const {
    CheckIndex(Index, Count());
    return FList[static_cast<size_t>(Index)].Str;
}

void TStringList::Put(int Index, const std::string& S) {
    if (FSorted) Error(SSortedListError, 0);
    CheckIndex(Index, Count());
    Changing();
    FList[static_cast<size_t>(Index)].Str = S;
    Changed();
}

TObject* TStringList::GetObject(int Index) const {
    CheckIndex(Index, Count());
    return FList[static_cast<size_t>(Index)].Obj;
}

void TStringList::PutObject(int Index, TObject* AObject) {
    CheckIndex(Index, Count());
    Changing();
    FList[static_cast<size_t>(Index)].Obj = AObject;
    Changed();
}

int TStringList::Add(const std::string& S) { return AddObject(S, nullptr); }

int TStringList::AddObject(const std::string& S, TObject* AObject) {
    int index = Count();
    if (FSorted && Find(S, index)) {
        if (Duplicates == dupIgnore) return index;
        if (Duplicates == dupError) Error(SDuplicateString, 0);
        // An accepted duplicate goes after its equals, as a stable sort would put it.
        while (index < Count() && CompareStrings(FList[static_cast<size_t>(index)].Str, S) == 0) ++index;
    }
    InsertItem(index, S, AObject);
    return index;
}

void TStringList::Insert(int Index, const std::string& S) {
    if (FSorted) Error(SSortedListError, 0);
    CheckIndex(Index, Count() + 1);
    InsertItem(Index, S, nullptr);
}

void TStringList::InsertItem(int Index, const std::string& S, TObject* AObject) {
    Changing();
    FList.insert(FList.begin() + Index, Item{S, AObject});
    Changed();
}

void TStringList::Delete(int Index) {
    CheckIndex(Index, Count());
    Changing();
    TObject* obj = FList[static_cast<size_t>(Index)].Obj;
    FList.erase(FList.begin() + Index);
    if (OwnsObjects) delete obj;
    Changed();
}

void TStringList::Clear() {
    if (FList.empty()) return;
    Changing();
    std::vector<Item> old;
    old.swap(FList);
    if (OwnsObjects)
        for (Item& item : old) delete item.Obj;
    Changed();
}

void TStringList::Exchange(int Index1, int Index2) {
    CheckIndex(Index1, Count());
    CheckIndex(Index2, Count());
    Changing();
    std::swap(FList[static_cast<size_t>(Index1)], FList[static_cast<size_t>(Index2)]);
    Changed();
}

int TStringList::IndexOf(const std::string& S) const {
    if (!FSorted) return TStrings::IndexOf(S);
    int index = 0;
    return Find(S, index) ? index : -1;
}

bool TStringList::Find(const std::string& S, int& Index) const {
    int lo = 0, hi = Count() - 1;
    bool found = false;
    while (lo <= hi) {
        int mid = (lo + hi) / 2;
        int c = CompareStrings(FList[static_cast<size_t>(mid)].Str, S);
        if (c < 0) {
            lo = mid + 1;
        } else {
            hi = mid - 1;
            if (c == 0) found = true;
        }
    }
    Index = lo;
    return found;
}

void TStringList::Sort() {
    CustomSort([](TStringList* list, int a, int b) {
        return list->CompareStrings(list->FList[static_cast<size_t>(a)].Str, list->FList[static_cast<size_t>(b)].Str);
    });
}

void TStringList::CustomSort(const std::function<int(TStringList* List, int Index1, int Index2)>& Compare) {
    if (FList.size() < 2) return;
    Changing();
    // Sort an index permutation so that the callback sees the list as it stands;
    // stable, so equal strings keep their order.
    std::vector<int> order(FList.size());
    for (size_t i = 0; i < order.size(); ++i) order[i] = static_cast<int>(i);
    std::stable_sort(order.begin(), order.end(), [&](int a, int b) { return Compare(this, a, b) < 0; });
    std::vector<Item> sorted;
    sorted.reserve(FList.size());
    for (int i : order) sorted.push_back(std::move(FList[static_cast<size_t>(i)]));
    FList.swap(sorted);
    Changed();
}

void TStringList::SetSorted(bool Value) {
    if (FSorted == Value) return;
    if (Value) Sort();
    FSorted = Value;
}

void TStringList::SetCaseSensitive(bool Value) {
    if (FCaseSensitive == Value) return;
    FCaseSensitive = Value;
    if (FSorted) Sort();
}

int TStringList::CompareStrings(const std::string& S1, const std::string& S2) const {
    if (FCaseSensitive) {
        int c = S1.compare(S2);
        return c < 0 ? -1 : (c > 0 ? 1 : 0);
    }
    return CompareTextUtf8(S1, S2);
}

void TStringList::SetUpdateState(bool Updating) {
    if (Updating)
        Changing();
    else
        Changed();
}

void TStringList::Changed() {
    if (UpdateCount() == 0 && OnChange) OnChange(this);
}

void TStringList::Changing() {
    if (UpdateCount() == 0 && OnChanging) OnChanging(this);
}
