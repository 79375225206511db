#pragma once
// Key-to-command translation of the entry controls: command codes, command
// tables (key sequences bound to commands), the processor that scans the
// active tables, and the stored form of the tables (built-in tables are
// stored as their differences from the built-in arrays).

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Messages.h"
#include "entcmdCodes.h"

struct TFormValue;

#pragma pack(push, 1)
struct TEntCommandRec {
    uint8_t Key1 = 0;
    uint8_t Shift1 = 0;
    uint8_t Key2 = 0;  // 0: single key
    uint8_t Shift2 = 0;
    uint16_t Cmd = 0;
    // The four key bytes as one little-endian integer: two entries with the
    // same key sequence are the same key binding.
    uint32_t Keys() const { return Key1 | (Shift1 << 8) | (Key2 << 16) | (uint32_t(Shift2) << 24); }
    static TEntCommandRec FromKeys(uint32_t keys, uint16_t cmd);
};
#pragma pack(pop)
static_assert(sizeof(TEntCommandRec) == 6, "command entries are stored as 6 bytes");

// Receives the stored form of tables: the value kinds of the form stream.
class TEntValueWriter {
public:
    virtual ~TEntValueWriter() = default;
    virtual void WriteListBegin() = 0;
    virtual void WriteListEnd() = 0;
    virtual void WriteString(const std::string& s) = 0;
    virtual void WriteBoolean(bool b) = 0;
    virtual void WriteInteger(int64_t v) = 0;
};

class TEntValueReader {
public:
    virtual ~TEntValueReader() = default;
    virtual void ReadListBegin() = 0;
    virtual bool EndOfList() = 0;
    virtual void ReadListEnd() = 0;
    virtual std::string ReadString() = 0;
    virtual bool ReadBoolean() = 0;
    virtual int64_t ReadInteger() = 0;
};

// The form stream's binary value encoding over a byte string.
class TEntBinaryValueWriter : public TEntValueWriter {
public:
    void WriteListBegin() override;
    void WriteListEnd() override;
    void WriteString(const std::string& s) override;
    void WriteBoolean(bool b) override;
    void WriteInteger(int64_t v) override;
    std::string Data;
};

class TEntBinaryValueReader : public TEntValueReader {
public:
    explicit TEntBinaryValueReader(std::string data) : Data(std::move(data)) {}
    void ReadListBegin() override;
    bool EndOfList() override;
    void ReadListEnd() override;
    std::string ReadString() override;
    bool ReadBoolean() override;
    int64_t ReadInteger() override;
    std::string Data;
    size_t Pos = 0;

private:
    uint8_t NextByte();
    // An unsigned integer of Bytes bytes, least significant first.
    uint64_t NextLittleEndian(int Bytes);
    void Need(size_t n) const;
};

// Reads the same values from a property of a window definition, where the
// stored list appears as nested lists of strings, True/False and integers.
class TEntFormValueReader : public TEntValueReader {
public:
    explicit TEntFormValueReader(const TFormValue& value);
    // Out of line: TFormValue is complete only where the definition reader is.
    ~TEntFormValueReader() override;
    void ReadListBegin() override;
    bool EndOfList() override;
    void ReadListEnd() override;
    std::string ReadString() override;
    bool ReadBoolean() override;
    int64_t ReadInteger() override;

private:
    const TFormValue& Next();
    struct Level {
        const std::vector<TFormValue>* Items;
        size_t Pos;
    };
    std::vector<Level> FLevels;
    std::vector<TFormValue> FTop;
};

class TEntCommandTable : public TPersistent {
public:
    explicit TEntCommandTable(const std::string& name = {}, bool active = true);
    // "CommandList": the stored form below, present when the table has entries.
    void DefineProperties(TFiler* Filer) override;

    std::string TableName;  // "(Unknown)" when created without a name
    bool IsActive = true;

    int Count() const { return static_cast<int>(FCommands.size()); }
    TEntCommandRec GetCommandRec(int index) const;
    void AddRec(const TEntCommandRec& entry);
    void InsertRec(int index, const TEntCommandRec& entry);
    void PutRec(int index, const TEntCommandRec& entry);
    void Delete(int index);
    // First entry with the same key sequence, -1 when none.
    int IndexOf(const TEntCommandRec& entry) const;
    void Clear() { FCommands.clear(); }

    // Text file: the name, then Key1 Shift1 Key2 Shift2 Cmd per line.
    void LoadFromFile(const std::string& fileName);
    void SaveToFile(const std::string& fileName) const;

    // Stored form (also the table's "CommandList" property).
    void WriteTable(TEntValueWriter& w) const;
    void ReadTable(TEntValueReader& r);

    // The built-in array of a table called "Default", "WordStar" or "Grid"
    // (ASCII case ignored), null for any other name.
    static const std::vector<TEntCommandRec>* BuiltInFor(const std::string& name);

private:
    // Whether the index one past the last entry is accepted (an insert position).
    enum class TIndexEnd : bool { Refused, Allowed };
    void CheckIndex(int index, TIndexEnd end) const;
    std::vector<TEntCommandRec> FCommands;
};

class TEntCommandProcessor : public TPersistent {
public:
    // Creates the three built-in tables: "Default" (active), "WordStar" and "Grid".
    TEntCommandProcessor();
    // "TableList": the stored form of every table, present when there is one.
    void DefineProperties(TFiler* Filer) override;
    TEntCommandProcessor(const TEntCommandProcessor&) = delete;
    TEntCommandProcessor& operator=(const TEntCommandProcessor&) = delete;

    // Gives the table a name no other table has, appends it (taking
    // ownership) and returns its index.
    int Add(TEntCommandTable* table);
    int AddTable(const std::string& name, bool active);
    // Raises ETableNotFound or EDuplicateCommand.
    void AddCommandRec(const std::string& tableName, const TEntCommandRec& entry);
    // Name compared without regard to case; null when absent.
    TEntCommandTable* GetTable(const std::string& name) const;
    int TableCount() const { return static_cast<int>(FTables.size()); }
    TEntCommandTable* Tables(int index) const;
    void DeleteTable(int index);
    void ClearTables() { FTables.clear(); }

    virtual void LoadCommandTable(const std::string& fileName);
    virtual void SaveCommandTable(const std::string& tableName, const std::string& fileName);
    ~TEntCommandProcessor() override = default;

    void ResetCommandProcessor();
    // Command code of a key: key is a virtual-key code, shift the sum of
    // ssfShift, ssfCtrl and ssfAlt. Keeps the state of two-key sequences.
    uint16_t TranslateKey(uint16_t key, uint8_t shift);
    uint16_t TranslateKey(Word key, TShiftState shift);
    // A key-down message, with the shift state read from the keyboard.
    uint16_t Translate(const TMessage& keyMessage);

    // The "TableList" property.
    void WriteTableList(TEntValueWriter& w) const;
    void ReadTableList(TEntValueReader& r);

    uint8_t State() const { return FState; }

private:
    uint16_t ScanTable(const TEntCommandTable& table, uint8_t key, uint8_t shift);
    std::vector<std::unique_ptr<TEntCommandTable>> FTables;
    uint8_t FState = 0;  // 0 idle, 1 first key of a sequence seen, 2 next key literal
    uint8_t FSavedKey = 0;
    uint8_t FSavedShift = 0;
};

// The built-in arrays, in table order.
const std::vector<TEntCommandRec>& DefaultCommands();
const std::vector<TEntCommandRec>& WordStarCommands();
const std::vector<TEntCommandRec>& GridCommands();
