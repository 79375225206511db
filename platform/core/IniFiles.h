#pragma once
// INI files with the platform's private-profile rules: section and key names
// match without regard to case, every other line of the file stays as it is,
// and each change is written through to the file at once.

#include "Classes.h"

#include <string>

class TIniFile : public TObject {
public:
    // A name without a folder lives in the user's configuration folder.
    explicit TIniFile(const std::string& FileName);

    const std::string& FileName() const { return FFileName; }

    // Values are trimmed, and one pair of enclosing quotes is dropped. A missing
    // or unreadable file reads as empty.
    std::string ReadString(const std::string& Section, const std::string& Ident, const std::string& Default) const;
    // Decimal, "0x" or "$" hexadecimal; the default for missing or bad text.
    int ReadInteger(const std::string& Section, const std::string& Ident, int Default) const;
    bool ReadBool(const std::string& Section, const std::string& Ident, bool Default) const;
    // Text with the locale's decimal separator; the default for missing or bad text.
    double ReadFloat(const std::string& Section, const std::string& Ident, double Default) const;

    // Each write saves the file (a temporary file renamed over it); a refused
    // save raises EIniFileException "Unable to write to <file>".
    void WriteString(const std::string& Section, const std::string& Ident, const std::string& Value);
    void WriteInteger(const std::string& Section, const std::string& Ident, int Value);
    void WriteBool(const std::string& Section, const std::string& Ident, bool Value);  // "1" / "0"
    void WriteFloat(const std::string& Section, const std::string& Ident, double Value);

    // Key names of Section, in file order.
    void ReadSection(const std::string& Section, TStrings* Strings) const;
    // Every section name, empty sections included.
    void ReadSections(TStrings* Strings) const;
    // "key=value" rows of Section.
    void ReadSectionValues(const std::string& Section, TStrings* Strings) const;
    // True when the section holds at least one key.
    bool SectionExists(const std::string& Section) const;
    bool ValueExists(const std::string& Section, const std::string& Ident) const;

    // Removes the section with all its lines.
    void EraseSection(const std::string& Section);
    void DeleteKey(const std::string& Section, const std::string& Ident);
    // Adds an empty section unless one of that name is there.
    void AddSection(const std::string& Section);
    // Writes go through at once, so there is nothing left to flush.
    void UpdateFile() {}

private:
    std::string FFileName;
};
