#include "DB.h"

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlRecord>
#include <QUuid>
#include <QVariant>

#include "SysUtils.h"

// ------------------------------------------------------------------ data set

TDataSet::TDataSet(TComponent* owner) : TComponent(owner) {}

TDataSet::~TDataSet() = default;

void TDataSet::Open() {
    if (FActive) return;
    std::vector<std::string> names;
    std::vector<TFieldType> types;
    std::vector<std::vector<Variant>> rows;
    FetchRows(names, types, rows);
    FNames = std::move(names);
    FTypes = std::move(types);
    FRows = std::move(rows);
    FActive = true;
    First();
}

void TDataSet::Close() {
    FActive = false;
    FRows.clear();
    FNames.clear();
    FTypes.clear();
    FRecNo = 0;
    FEof = FBof = true;
}

void TDataSet::First() {
    FRecNo = 0;
    FBof = true;
    FEof = FRows.empty();
}

void TDataSet::Next() {
    FBof = false;
    if (FRecNo + 1 < int(FRows.size()))
        ++FRecNo;
    else
        FEof = true;
}

void TDataSet::Prior() {
    FEof = false;
    if (FRecNo > 0)
        --FRecNo;
    else
        FBof = true;
}

void TDataSet::GotoRecord(int recNo) {
    if (FRows.empty()) return;
    FRecNo = std::max(0, std::min(recNo, int(FRows.size()) - 1));
    FEof = FBof = false;
}

std::vector<std::string> TDataSet::FieldNames() const { return FNames; }

int TDataSet::FieldIndex(const std::string& name) const {
    for (size_t i = 0; i < FNames.size(); ++i)
        if (SameText(FNames[i], name)) return int(i);
    return -1;
}

bool TDataSet::HasField(const std::string& name) const { return FieldIndex(name) >= 0; }

TFieldType TDataSet::FieldType(const std::string& name) const {
    int i = FieldIndex(name);
    return i < 0 ? ftUnknown : FTypes[size_t(i)];
}

Variant TDataSet::FieldValue(const std::string& name) const {
    if (!FActive) throw EDatabaseError(GetName() + ": Cannot perform this operation on a closed dataset");
    int i = FieldIndex(name);
    if (i < 0) throw EDatabaseError(GetName() + ": Field '" + name + "' not found");
    if (FRows.empty() || FEof) return Null();
    return FRows[size_t(FRecNo)][size_t(i)];
}

// ------------------------------------------------------------------- query

namespace {

// One connection for the time of a statement, under a name of its own, so
// that queries never share a connection's state.
class Connection {
public:
    explicit Connection(const std::string& file) : FName(QUuid::createUuid().toString()) {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), FName);
        db.setDatabaseName(QString::fromStdString(file));
        if (!db.open()) {
            std::string message = db.lastError().text().toStdString();
            throw EDatabaseError("Cannot open database \"" + file + "\": " + message);
        }
    }
    ~Connection() {
        {
            QSqlDatabase db = QSqlDatabase::database(FName, false);
            db.close();
        }
        QSqlDatabase::removeDatabase(FName);
    }
    QSqlDatabase Database() const { return QSqlDatabase::database(FName, false); }

private:
    QString FName;
};

Variant FromQt(const QVariant& v) {
    if (v.isNull()) return Null();
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short: return Variant(v.toInt());
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: return Variant((long long)v.toLongLong());
    case QMetaType::Double:
    case QMetaType::Float: return Variant(v.toDouble());
    case QMetaType::Bool: return Variant(v.toBool());
    case QMetaType::QByteArray: return Variant(v.toByteArray().toStdString());
    default: return Variant(v.toString().toStdString());
    }
}

TFieldType TypeOf(const QVariant& v) {
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong: return ftInteger;
    case QMetaType::Double:
    case QMetaType::Float: return ftFloat;
    case QMetaType::Bool: return ftBoolean;
    case QMetaType::QByteArray: return ftBlob;
    case QMetaType::QDateTime:
    case QMetaType::QDate: return ftDateTime;
    default: return ftString;
    }
}

}  // namespace

void TSQLQuery::ExecSQL(const std::string& statement) {
    Connection connection(DatabaseName);
    QSqlQuery query(connection.Database());
    if (!query.exec(QString::fromStdString(statement)))
        throw EDatabaseError(GetName() + ": " + query.lastError().text().toStdString());
}

void TSQLQuery::FetchRows(std::vector<std::string>& names, std::vector<TFieldType>& types,
                          std::vector<std::vector<Variant>>& rows) {
    Connection connection(DatabaseName);
    QSqlQuery query(connection.Database());
    query.setForwardOnly(true);
    if (!query.exec(QString::fromStdString(SQL)))
        throw EDatabaseError(GetName() + ": " + query.lastError().text().toStdString());
    QSqlRecord record = query.record();
    for (int i = 0; i < record.count(); ++i) {
        names.push_back(record.fieldName(i).toStdString());
        types.push_back(ftUnknown);
    }
    while (query.next()) {
        std::vector<Variant> row;
        row.reserve(names.size());
        for (int i = 0; i < record.count(); ++i) {
            QVariant v = query.value(i);
            if (types[size_t(i)] == ftUnknown && !v.isNull()) types[size_t(i)] = TypeOf(v);
            row.push_back(FromQt(v));
        }
        rows.push_back(std::move(row));
    }
}

// -------------------------------------------------------------- data source

TDataSource::~TDataSource() { SetDataSet(nullptr); }

void TDataSource::SetDataSet(TDataSet* value) {
    if (FDataSet == value) return;
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
    FDataSet = value;
    if (FDataSet) FDataSet->FreeNotification(this);
}

void TDataSource::Notification(TComponent* component, TOperation operation) {
    TComponent::Notification(component, operation);
    if (operation == opRemove && component == FDataSet) FDataSet = nullptr;
}
