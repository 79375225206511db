#include "Registry.h"

#include "Folders.h"
#include "IniFiles.h"
#include "SysUtils.h"

#include <memory>

namespace {

std::string& FileNameOverride() {
    static std::string name;
    return name;
}

// Key paths as section names: parts joined by one "\", no "\" at either end.
std::string Normalize(const std::string& path) {
    std::string out, part;
    auto flush = [&] {
        if (part.empty()) return;
        if (!out.empty()) out += '\\';
        out += part;
        part.clear();
    };
    for (char c : path) {
        if (c == '\\')
            flush();
        else
            part += c;
    }
    flush();
    return out;
}

std::string RootPrefix(HKEY root) {
    switch (root) {
    case HKEY_CURRENT_USER: return "";
    case HKEY_CLASSES_ROOT: return "HKEY_CLASSES_ROOT\\";
    case HKEY_LOCAL_MACHINE: return "HKEY_LOCAL_MACHINE\\";
    case HKEY_USERS: return "HKEY_USERS\\";
    case HKEY_CURRENT_CONFIG: return "HKEY_CURRENT_CONFIG\\";
    default: return "HKEY_" + std::to_string(root) + "\\";
    }
}

// A key below the open one, or from the root when it starts with "\" or no key is open.
std::string KeyPath(const std::string& key, bool open, const std::string& currentPath) {
    return (!key.empty() && key[0] == '\\') || !open ? Normalize(key) : Normalize(currentPath + "\\" + key);
}

// The section that holds a key's values: the root's prefix and the key's path.
std::string SectionName(HKEY root, const std::string& path) {
    std::string prefix = RootPrefix(root);
    return path.empty() && !prefix.empty() ? prefix.substr(0, prefix.size() - 1) : prefix + path;
}

bool StartsWithText(const std::string& s, const std::string& prefix) {
    return s.size() >= prefix.size() && CompareTextUtf8(s.substr(0, prefix.size()), prefix) == 0;
}

// The default value has no name; the file needs one.
std::string ValueKey(const std::string& name) { return name.empty() ? "@" : name; }

TIniFile File() { return TIniFile(TRegistry::RegistryFileName()); }

bool SectionOrChildExists(const std::string& section) {
    TStringList sections;
    File().ReadSections(&sections);
    for (int i = 0; i < sections.Count(); ++i) {
        const std::string s = sections[i];
        if (CompareTextUtf8(s, section) == 0 || section.empty() || StartsWithText(s, section + "\\")) return true;
    }
    return false;
}

// Names of the keys directly below section.
void ChildNames(const std::string& section, TStrings* strings) {
    TStringList sections;
    File().ReadSections(&sections);
    TStringList names;
    names.SetSorted(true);
    names.Duplicates = dupIgnore;
    std::string prefix = section.empty() ? std::string() : section + "\\";
    WithinUpdate(strings, [&] {
        strings->Clear();
        for (int i = 0; i < sections.Count(); ++i) {
            std::string s = sections[i];
            if (!StartsWithText(s, prefix) || s.size() == prefix.size()) continue;
            std::string child = s.substr(prefix.size());
            child = child.substr(0, child.find('\\'));
            if (names.IndexOf(child) < 0) {
                names.Add(child);
                strings->Add(child);
            }
        }
    });
}

}  // namespace

std::string TRegistry::RegistryFileName() {
    return FileNameOverride().empty() ? UserConfigDir() + "registry.ini" : FileNameOverride();
}

void TRegistry::SetRegistryFileName(const std::string& FileName) { FileNameOverride() = FileName; }

std::string TRegistry::SectionOf(const std::string& Key) const {
    return SectionName(RootKey, KeyPath(Key, FOpen, FCurrentPath));
}

bool TRegistry::OpenKey(const std::string& Key, bool CanCreate) {
    std::string path = KeyPath(Key, FOpen, FCurrentPath);
    std::string section = SectionName(RootKey, path);
    if (!path.empty() && !SectionOrChildExists(section)) {
        if (!CanCreate) return false;
        try {
            File().AddSection(section);
        } catch (const EIniFileException&) {
            return false;
        }
    }
    FOpen = true;
    FCurrentPath = path;
    return true;
}

bool TRegistry::CreateKey(const std::string& Key) {
    std::string section = SectionOf(Key);
    if (SectionOrChildExists(section)) return true;
    try {
        File().AddSection(section);
    } catch (const EIniFileException&) {
        throw ERegistryException("Failed to create key " + Key);
    }
    return true;
}

void TRegistry::CloseKey() {
    FOpen = false;
    FCurrentPath.clear();
}

bool TRegistry::KeyExists(const std::string& Key) const { return SectionOrChildExists(SectionOf(Key)); }

bool TRegistry::DeleteKey(const std::string& Key) {
    std::string section = SectionOf(Key);
    if (Normalize(Key).empty()) return false;
    TIniFile file = File();
    TStringList sections;
    file.ReadSections(&sections);
    bool found = false;
    for (int i = 0; i < sections.Count(); ++i) {
        std::string s = sections[i];
        if (CompareTextUtf8(s, section) == 0 || StartsWithText(s, section + "\\")) {
            file.EraseSection(s);
            found = true;
        }
    }
    return found;
}

void TRegistry::GetKeyNames(TStrings* Strings) const { ChildNames(SectionOf(""), Strings); }

bool TRegistry::ValueExists(const std::string& Name) const {
    return FOpen && File().ValueExists(SectionOf(""), ValueKey(Name));
}

bool TRegistry::DeleteValue(const std::string& Name) {
    if (!ValueExists(Name)) return false;
    File().DeleteKey(SectionOf(""), ValueKey(Name));
    return true;
}

void TRegistry::GetValueNames(TStrings* Strings) const {
    File().ReadSection(SectionOf(""), Strings);
    int i = Strings->IndexOf("@");
    if (i >= 0) Strings->Put(i, "");
}

std::string TRegistry::ReadString(const std::string& Name) const {
    return FOpen ? File().ReadString(SectionOf(""), ValueKey(Name), "") : std::string();
}

int TRegistry::ReadInteger(const std::string& Name) const {
    int value = 0;
    if (!ValueExists(Name) || !TryStrToInt(ReadString(Name), value))
        throw ERegistryException("Invalid data type for '" + Name + "'");
    return value;
}

void TRegistry::WriteString(const std::string& Name, const std::string& Value) {
    if (!FOpen) throw ERegistryException("Failed to set data for '" + Name + "'");
    try {
        File().WriteString(SectionOf(""), ValueKey(Name), Value);
    } catch (const EIniFileException&) {
        throw ERegistryException("Failed to set data for '" + Name + "'");
    }
}

void TRegistry::WriteInteger(const std::string& Name, int Value) { WriteString(Name, IntToStr(Value)); }

// ---------------------------------------------------------------------------
// TRegIniFile

TRegIniFile::TRegIniFile(const std::string& FileName) { OpenKey(FileName, true); }

std::string TRegIniFile::ReadString(const std::string& Section, const std::string& Ident,
                                    const std::string& Default) const {
    return File().ReadString(SectionOf(Section), ValueKey(Ident), Default);
}

int TRegIniFile::ReadInteger(const std::string& Section, const std::string& Ident, int Default) const {
    return StrToIntDef(ReadString(Section, Ident, ""), Default);
}

bool TRegIniFile::ReadBool(const std::string& Section, const std::string& Ident, bool Default) const {
    return ReadInteger(Section, Ident, Default ? 1 : 0) != 0;
}

void TRegIniFile::WriteString(const std::string& Section, const std::string& Ident, const std::string& Value) {
    try {
        File().WriteString(SectionOf(Section), ValueKey(Ident), Value);
    } catch (const EIniFileException&) {
        throw ERegistryException("Failed to set data for '" + Ident + "'");
    }
}

void TRegIniFile::WriteInteger(const std::string& Section, const std::string& Ident, int Value) {
    WriteString(Section, Ident, IntToStr(Value));
}

void TRegIniFile::WriteBool(const std::string& Section, const std::string& Ident, bool Value) {
    WriteString(Section, Ident, Value ? "1" : "0");
}

void TRegIniFile::ReadSection(const std::string& Section, TStrings* Strings) const {
    File().ReadSection(SectionOf(Section), Strings);
}

void TRegIniFile::ReadSections(TStrings* Strings) const { ChildNames(SectionOf(""), Strings); }

void TRegIniFile::EraseSection(const std::string& Section) {
    if (!Section.empty()) DeleteKey(Section);
}

void TRegIniFile::DeleteKey(const std::string& Section, const std::string& Ident) {
    File().DeleteKey(SectionOf(Section), ValueKey(Ident));
}
