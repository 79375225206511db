#include "IniFiles.h"

#include "ClassesIO.h"
#include "Folders.h"
#include "SysUtils.h"

#include <QString>

#include <algorithm>
#include <cerrno>
#include <dirent.h>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <sys/stat.h>
#include <vector>

namespace {

enum class LineKind { Other, Section, Key };

struct IniLine {
    std::string Raw;  // bytes as found in the file, without the line end
    LineKind Kind = LineKind::Other;
    std::string Name;   // section or key name, trimmed
    std::string Value;  // key value, trimmed and unquoted
};

// The file as lines: parsed for lookups, kept raw so that writes leave every
// other line byte for byte as it was.
struct IniDocument {
    std::vector<IniLine> Lines;

    static IniLine Parse(const std::string& raw, bool first) {
        IniLine line;
        line.Raw = raw;
        std::string text = TextFromBytes(raw);
        if (first && text.compare(0, 3, "\xEF\xBB\xBF") == 0) text.erase(0, 3);
        std::string t = Trim(text);
        if (t.empty() || t[0] == ';') return line;
        if (t[0] == '[') {
            auto close = t.find(']');
            line.Kind = LineKind::Section;
            line.Name = Trim(t.substr(1, close == std::string::npos ? std::string::npos : close - 1));
            return line;
        }
        auto eq = t.find('=');
        if (eq == std::string::npos) return line;
        line.Kind = LineKind::Key;
        line.Name = Trim(t.substr(0, eq));
        line.Value = Trim(t.substr(eq + 1));
        if (line.Value.size() >= 2 && (line.Value[0] == '"' || line.Value[0] == '\'') &&
            line.Value.back() == line.Value[0])
            line.Value = line.Value.substr(1, line.Value.size() - 2);
        return line;
    }

    void Load(const std::string& bytes) {
        Lines.clear();
        size_t p = 0;
        while (p < bytes.size()) {
            size_t nl = bytes.find('\n', p);
            size_t end = nl == std::string::npos ? bytes.size() : nl;
            size_t len = end - p;
            if (len > 0 && bytes[end - 1] == '\r') --len;
            Lines.push_back(Parse(bytes.substr(p, len), Lines.empty()));
            p = nl == std::string::npos ? bytes.size() : nl + 1;
        }
    }

    std::string Save() const {
        std::string out;
        for (const IniLine& line : Lines) {
            out += line.Raw;
            out += "\r\n";
        }
        return out;
    }

    static bool Same(const std::string& a, const std::string& b) { return CompareTextUtf8(a, b) == 0; }

    // Index of the header of the first section of that name, or -1.
    int FindSection(const std::string& section) const {
        for (size_t i = 0; i < Lines.size(); ++i)
            if (Lines[i].Kind == LineKind::Section && Same(Lines[i].Name, section)) return static_cast<int>(i);
        return -1;
    }

    // One past the last line of the section whose header is at index header.
    int SectionEnd(int header) const {
        size_t i = static_cast<size_t>(header) + 1;
        while (i < Lines.size() && Lines[i].Kind != LineKind::Section) ++i;
        return static_cast<int>(i);
    }

    int FindKey(int header, const std::string& ident) const {
        if (header < 0) return -1;
        int end = SectionEnd(header);
        for (int i = header + 1; i < end; ++i)
            if (Lines[static_cast<size_t>(i)].Kind == LineKind::Key && Same(Lines[static_cast<size_t>(i)].Name, ident))
                return i;
        return -1;
    }

    std::vector<const IniLine*> Keys(const std::string& section) const {
        std::vector<const IniLine*> keys;
        int header = FindSection(section);
        if (header < 0) return keys;
        int end = SectionEnd(header);
        for (int i = header + 1; i < end; ++i) {
            const IniLine& line = Lines[static_cast<size_t>(i)];
            if (line.Kind != LineKind::Key) continue;
            bool seen = false;
            for (const IniLine* k : keys) seen = seen || Same(k->Name, line.Name);
            if (!seen) keys.push_back(&line);
        }
        return keys;
    }
};

// A line break inside a name or value would split the line and could start a
// section of its own, so breaks are written as blanks.
std::string OneLine(std::string s) {
    for (char& c : s)
        if (c == '\r' || c == '\n') c = ' ';
    return s;
}

std::string DirOf(const std::string& path) {
    auto slash = path.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// File names match without regard to case, as on the platform the settings
// come from: "ZEMR.Ini" and "ZEMR.INI" are one file.
std::string ResolveName(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) return path;
    std::string dir = DirOf(path);
    auto slash = path.rfind('/');
    std::string base = slash == std::string::npos ? path : path.substr(slash + 1);
    DIR* d = ::opendir(dir.c_str());
    if (d == nullptr) return path;
    std::string found;
    while (dirent* e = ::readdir(d)) {
        if (CompareTextUtf8(e->d_name, base) == 0) {
            found = e->d_name;
            break;
        }
    }
    ::closedir(d);
    if (found.empty()) return path;
    return slash == std::string::npos ? found : path.substr(0, slash + 1) + found;
}

// A name folded the way CompareTextUtf8 compares, for the lookup index.
std::string FoldedName(const std::string& s) {
    if (std::all_of(s.begin(), s.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
        std::string r = s;
        for (char& c : r)
            if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
        return r;
    }
    return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())).toCaseFolded().toStdString();
}

// A file as last read: the parsed lines and an index of the first section of
// each name and the first of each key within it (the ones lookups find).
struct ParsedFile {
    IniDocument Doc;
    std::unordered_map<std::string, int> Sections;
    std::unordered_map<std::string, int> Keys;  // section, NUL, key

    explicit ParsedFile(const std::string& bytes) {
        Doc.Load(bytes);
        std::string current;
        bool first = false;
        for (size_t i = 0; i < Doc.Lines.size(); ++i) {
            const IniLine& line = Doc.Lines[i];
            if (line.Kind == LineKind::Section) {
                current = FoldedName(line.Name);
                first = Sections.emplace(current, static_cast<int>(i)).second;
            } else if (line.Kind == LineKind::Key && first) {
                Keys.emplace(current + '\0' + FoldedName(line.Name), static_cast<int>(i));
            }
        }
    }
    const IniLine* Find(const std::string& section, const std::string& ident) const {
        auto it = Keys.find(FoldedName(section) + '\0' + FoldedName(ident));
        return it == Keys.end() ? nullptr : &Doc.Lines[static_cast<size_t>(it->second)];
    }
};

// Files are parsed once per version read: every key read of a large file
// would otherwise parse all of it again. A file changed on disk (another
// size, time or inode) is read afresh.
struct CachedFile {
    dev_t Device = 0;
    ino_t Inode = 0;
    off_t Size = -1;
    struct timespec Modified {};
    std::shared_ptr<const ParsedFile> Parsed;
};

std::mutex gCacheLock;
std::unordered_map<std::string, CachedFile>& Cache() {
    static auto* cache = new std::unordered_map<std::string, CachedFile>();
    return *cache;
}

std::shared_ptr<const ParsedFile> ReadDocument(const std::string& fileName) {
    const std::string path = ResolveName(fileName);
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::make_shared<const ParsedFile>(std::string());
    {
        std::lock_guard<std::mutex> lock(gCacheLock);
        auto it = Cache().find(path);
        if (it != Cache().end() && it->second.Device == st.st_dev && it->second.Inode == st.st_ino &&
            it->second.Size == st.st_size && it->second.Modified.tv_sec == st.st_mtim.tv_sec &&
            it->second.Modified.tv_nsec == st.st_mtim.tv_nsec)
            return it->second.Parsed;
    }
    std::string bytes;
    if (!classes_io::ReadFileBytes(path, bytes)) return std::make_shared<const ParsedFile>(std::string());
    auto parsed = std::make_shared<const ParsedFile>(bytes);
    // Kept only when the file did not change while it was read.
    struct stat after {};
    if (::stat(path.c_str(), &after) == 0 && after.st_size == st.st_size && after.st_mtim.tv_sec == st.st_mtim.tv_sec &&
        after.st_mtim.tv_nsec == st.st_mtim.tv_nsec && static_cast<off_t>(bytes.size()) == st.st_size) {
        std::lock_guard<std::mutex> lock(gCacheLock);
        Cache()[path] = CachedFile{st.st_dev, st.st_ino, st.st_size, st.st_mtim, parsed};
    }
    return parsed;
}

void ForgetDocument(const std::string& fileName) {
    std::lock_guard<std::mutex> lock(gCacheLock);
    Cache().erase(ResolveName(fileName));
}

[[noreturn]] void WriteError(const std::string& fileName) { throw EIniFileException("Unable to write to " + fileName); }

// Reads the file for a change. A file that is there but cannot be read must not
// be replaced by what little was understood of it.
IniDocument ReadForUpdate(const std::string& fileName) {
    IniDocument doc;
    std::string bytes;
    if (classes_io::ReadFileBytes(ResolveName(fileName), bytes))
        doc.Load(bytes);
    else if (errno != ENOENT)
        WriteError(fileName);
    return doc;
}

void WriteDocument(const std::string& fileName, const IniDocument& doc) {
    ForgetDocument(fileName);
    if (classes_io::WriteFileAtomic(ResolveName(fileName), doc.Save()) != 0) WriteError(fileName);
}

}  // namespace

TIniFile::TIniFile(const std::string& FileName) : FFileName(FileName) {
    if (!FFileName.empty() && FFileName.find('/') == std::string::npos) FFileName = UserConfigDir() + FFileName;
}

std::string TIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                 const std::string& Default) const {
    const auto file = ReadDocument(FFileName);
    const IniLine* key = file->Find(Section, Ident);
    return key ? key->Value : Default;
}

int TIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
    std::string s = ReadString(Section, Ident, "");
    return s.empty() ? Default : StrToIntDef(s, Default);
}

bool TIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

double TIniFile::ReadFloat(const std::string& Section, const std::string& Ident, double Default) const {
    std::string s = ReadString(Section, Ident, "");
    double value = 0;
    if (s.empty() || !TryStrToFloat(s, value)) return Default;
    return value;
}

void TIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    std::string section = OneLine(Section), ident = OneLine(Ident), value = OneLine(Value);
    IniDocument doc = ReadForUpdate(FFileName);
    int header = doc.FindSection(section);
    if (header < 0) {
        doc.Lines.push_back(IniDocument::Parse("[" + section + "]", false));
        doc.Lines.push_back(IniDocument::Parse(ident + "=" + value, false));
    } else if (int key = doc.FindKey(header, ident); key >= 0) {
        IniLine& line = doc.Lines[static_cast<size_t>(key)];
        std::string raw = line.Name + "=" + value;
        if (raw == line.Raw) return;
        line = IniDocument::Parse(raw, false);
    } else {
        // A new key goes after the section's last line that is not blank.
        int at = doc.SectionEnd(header);
        while (at > header + 1 && Trim(doc.Lines[static_cast<size_t>(at - 1)].Raw).empty()) --at;
        doc.Lines.insert(doc.Lines.begin() + at, IniDocument::Parse(ident + "=" + value, false));
    }
    WriteDocument(FFileName, doc);
}

void TIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

void TIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TIniFile::WriteFloat(const std::string& Section, const std::string& Ident, double Value) {
    WriteString(Section, Ident, FloatToStr(Value));
}

void TIniFile::ReadSection(const std::string& Section, TStrings* Strings) const {
    const auto file = ReadDocument(FFileName);
    const IniDocument& doc = file->Doc;
    WithinUpdate(Strings, [&] {
        Strings->Clear();
        for (const IniLine* key : doc.Keys(Section)) Strings->Add(key->Name);
    });
}

void TIniFile::ReadSections(TStrings* Strings) const {
    const auto file = ReadDocument(FFileName);
    const IniDocument& doc = file->Doc;
    WithinUpdate(Strings, [&] {
        Strings->Clear();
        std::vector<std::string> seen;
        for (const IniLine& line : doc.Lines) {
            if (line.Kind != LineKind::Section) continue;
            bool dup = false;
            for (const std::string& s : seen) dup = dup || IniDocument::Same(s, line.Name);
            if (dup) continue;
            seen.push_back(line.Name);
            Strings->Add(line.Name);
        }
    });
}

void TIniFile::ReadSectionValues(const std::string& Section, TStrings* Strings) const {
    const auto file = ReadDocument(FFileName);
    const IniDocument& doc = file->Doc;
    WithinUpdate(Strings, [&] {
        Strings->Clear();
        for (const IniLine* key : doc.Keys(Section)) Strings->Add(key->Name + "=" + key->Value);
    });
}

bool TIniFile::SectionExists(const std::string& Section) const {
    return !ReadDocument(FFileName)->Doc.Keys(Section).empty();
}

bool TIniFile::ValueExists(const std::string& Section, const std::string& Ident) const {
    return ReadDocument(FFileName)->Find(Section, Ident) != nullptr;
}

void TIniFile::EraseSection(const std::string& Section) {
    IniDocument doc = ReadForUpdate(FFileName);
    bool changed = false;
    // Every section of that name goes, so that none shows up again afterwards.
    for (int header = doc.FindSection(Section); header >= 0; header = doc.FindSection(Section)) {
        doc.Lines.erase(doc.Lines.begin() + header, doc.Lines.begin() + doc.SectionEnd(header));
        changed = true;
    }
    if (changed) WriteDocument(FFileName, doc);
}

void TIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    IniDocument doc = ReadForUpdate(FFileName);
    int header = doc.FindSection(Section);
    bool changed = false;
    for (int key = doc.FindKey(header, Ident); key >= 0; key = doc.FindKey(header, Ident)) {
        doc.Lines.erase(doc.Lines.begin() + key);
        changed = true;
    }
    if (changed) WriteDocument(FFileName, doc);
}

void TIniFile::AddSection(const std::string& Section) {
    IniDocument doc = ReadForUpdate(FFileName);
    if (doc.FindSection(Section) >= 0) return;
    doc.Lines.push_back(IniDocument::Parse("[" + OneLine(Section) + "]", false));
    WriteDocument(FFileName, doc);
}
