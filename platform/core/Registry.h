#pragma once
// The user's registry, kept in the INI file "registry.ini" of the user's
// configuration folder: a key path is a section ("Software\ReportEngine"),
// its values are the section's keys.

#include "Classes.h"

#include <cstdint>
#include <string>

class ERegistryException : public Exception {
public:
    using Exception::Exception;
};

using HKEY = uint32_t;
inline constexpr HKEY HKEY_CLASSES_ROOT = 0x80000000u;
inline constexpr HKEY HKEY_CURRENT_USER = 0x80000001u;
inline constexpr HKEY HKEY_LOCAL_MACHINE = 0x80000002u;
inline constexpr HKEY HKEY_USERS = 0x80000003u;
inline constexpr HKEY HKEY_CURRENT_CONFIG = 0x80000005u;

class TRegistry : public TObject {
public:
    TRegistry() = default;

    // Keys of roots other than the current user's are kept under the root's name.
    HKEY RootKey = HKEY_CURRENT_USER;

    // A key starting with "\" is absolute, any other is below the open key.
    // False when the key is missing and may not be created, or cannot be.
    bool OpenKey(const std::string& Key, bool CanCreate);
    bool OpenKeyReadOnly(const std::string& Key) { return OpenKey(Key, false); }
    bool CreateKey(const std::string& Key);
    void CloseKey();
    bool HasCurrentKey() const { return FOpen; }
    // The open key's path without leading "\".
    const std::string& CurrentPath() const { return FCurrentPath; }

    bool KeyExists(const std::string& Key) const;
    // Removes the key with its values and every key below it.
    bool DeleteKey(const std::string& Key);
    void GetKeyNames(TStrings* Strings) const;

    // Values of the open key.
    bool ValueExists(const std::string& Name) const;
    bool DeleteValue(const std::string& Name);
    void GetValueNames(TStrings* Strings) const;
    // "" when the value is missing.
    std::string ReadString(const std::string& Name) const;
    // ERegistryException "Invalid data type for 'Name'" when missing or not a number.
    int ReadInteger(const std::string& Name) const;
    bool ReadBool(const std::string& Name) const { return ReadInteger(Name) != 0; }
    // ERegistryException "Failed to set data for 'Name'" without an open key or when the file refuses it.
    void WriteString(const std::string& Name, const std::string& Value);
    void WriteInteger(const std::string& Name, int Value);
    void WriteBool(const std::string& Name, bool Value) { WriteInteger(Name, Value ? 1 : 0); }

    // The file all registry objects use; an empty name restores the default.
    static std::string RegistryFileName();
    static void SetRegistryFileName(const std::string& FileName);

protected:
    // Section name of Key taken relative to the open key.
    std::string SectionOf(const std::string& Key) const;

private:
    bool FOpen = false;
    std::string FCurrentPath;
};

// Registry access shaped like an INI file: FileName is the key, sections are
// keys below it.
class TRegIniFile : public TRegistry {
public:
    explicit TRegIniFile(const std::string& FileName);

    using TRegistry::DeleteKey;
    using TRegistry::ReadBool;
    using TRegistry::ReadInteger;
    using TRegistry::ReadString;
    using TRegistry::WriteBool;
    using TRegistry::WriteInteger;
    using TRegistry::WriteString;

    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) const;
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);
    // Value names of the section; the sections (keys) below FileName.
    void ReadSection(const std::string& Section, TStrings* Strings) const;
    void ReadSections(TStrings* Strings) const;
    void EraseSection(const std::string& Section);
    void DeleteKey(const std::string& Section, const std::string& Ident);
};
