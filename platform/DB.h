#pragma once
// Database data sets in place of the class library's: a query over an SQL
// database whose rows are walked record by record, and the data source that
// points at a data set. The rows of an open query are held in memory, so
// moving back and forth never asks the database again.

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Variants.h"

class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

// Field data types the report engine tells apart (BLOB kinds hold pictures and long texts).
enum TFieldType { ftUnknown, ftString, ftInteger, ftFloat, ftBoolean, ftDateTime, ftBlob, ftMemo };

class TDataSet : public TComponent {
public:
    explicit TDataSet(TComponent* owner);
    ~TDataSet() override;

    void Open();
    void Close();
    bool Active() const { return FActive; }
    void SetActive(bool value) { value ? Open() : Close(); }

    void First();
    void Next();
    void Prior();
    bool Eof() const { return FEof; }
    bool Bof() const { return FBof; }
    bool IsEmpty() const { return FRows.empty(); }
    int RecordCount() const { return int(FRows.size()); }
    // 0-based position of the current record; a bookmark.
    int RecNo() const { return FRecNo; }
    void GotoRecord(int recNo);

    std::vector<std::string> FieldNames() const;
    bool HasField(const std::string& name) const;  // case-insensitive
    TFieldType FieldType(const std::string& name) const;
    // The current record's value; Null for a NULL column. Raises
    // EDatabaseError for a closed data set or an unknown field.
    Variant FieldValue(const std::string& name) const;

protected:
    // Fills the columns and rows; raises EDatabaseError when it cannot.
    virtual void FetchRows(std::vector<std::string>& names, std::vector<TFieldType>& types,
                           std::vector<std::vector<Variant>>& rows) = 0;

private:
    int FieldIndex(const std::string& name) const;
    bool FActive = false;
    bool FEof = true, FBof = true;
    int FRecNo = 0;
    std::vector<std::string> FNames;
    std::vector<TFieldType> FTypes;
    std::vector<std::vector<Variant>> FRows;
};

// A query over an SQLite database file.
class TSQLQuery : public TDataSet {
public:
    explicit TSQLQuery(TComponent* owner) : TDataSet(owner) {}

    std::string DatabaseName;  // the database file
    std::string SQL;

    // Runs a statement that returns no rows (CREATE, INSERT, ...).
    void ExecSQL(const std::string& statement);

protected:
    void FetchRows(std::vector<std::string>& names, std::vector<TFieldType>& types,
                   std::vector<std::vector<Variant>>& rows) override;
};

class TDataSource : public TComponent {
public:
    explicit TDataSource(TComponent* owner) : TComponent(owner) {}
    ~TDataSource() override;
    TDataSet* GetDataSet() const { return FDataSet; }
    void SetDataSet(TDataSet* value);

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TDataSet* FDataSet = nullptr;
};
