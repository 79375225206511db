#pragma once
// Data sources of data bands: a record counter with a range, driven by the
// band loop through First, Next and Eof. TrpUserDataset has no data of its
// own; the application answers through its events.

#include <functional>
#include <string>

#include "Classes.h"

enum TRangeBegin { rbFirst, rbCurrent };
enum TRangeEnd { reLast, reCurrent, reCount };

using TCheckEOFEvent = std::function<void(TObject* Sender, bool& Eof)>;

class TrpDataset : public TComponent {
public:
    explicit TrpDataset(TComponent* owner);

    TRangeBegin RangeBegin = rbFirst;
    TRangeEnd RangeEnd = reLast;
    int RangeEndCount = 0;
    TNotifyEvent OnFirst, OnNext, OnPrior;
    TCheckEOFEvent OnCheckEOF;
    int RecordNo = 0;  // 0-based record counter

    virtual void Init() {}
    virtual void Exit() {}
    virtual void First();
    virtual void Next();
    virtual void Prior();
    virtual bool Eof();
};

class TrpUserDataset : public TrpDataset {
public:
    explicit TrpUserDataset(TComponent* owner) : TrpDataset(owner) {}
};

class TDataSet;
class TDataSource;

// Walks a database data set, directly or through a data source.
class TrpDBDataSet : public TrpDataset {
public:
    explicit TrpDBDataSet(TComponent* owner) : TrpDataset(owner) {}
    ~TrpDBDataSet() override;

    bool OpenDataSource = true;
    bool CloseDataSource = false;
    TNotifyEvent OnOpen, OnClose;

    TDataSet* GetDataSetProperty() const { return FDataSet; }
    void SetDataSet(TDataSet* value);  // clears DataSource
    TDataSource* GetDataSource() const { return FDataSource; }
    void SetDataSource(TDataSource* value);  // a non-nil value clears DataSet
    // The data set walked; raises EDatabaseError "Unable to open dataset <name>" when there is none.
    TDataSet* GetDataSet() const;

    void Open();
    void Close();
    void Init() override;
    void Exit() override;
    void First() override;
    void Next() override;
    void Prior() override;
    bool Eof() override;

protected:
    void Notification(TComponent* component, TOperation operation) override;

private:
    TDataSet* FDataSet = nullptr;
    TDataSource* FDataSource = nullptr;
    int FBookmark = -1;  // record kept for current-record ranges
    bool FEndReached = false;
};

// The data source a band names. A name beginning with a digit 1..9 is a
// virtual source repeating that many times: a new TrpUserDataset that the
// caller owns (owned is set). Other names are components of `owner`, with
// "Form.Component" paths. Every source found gets Init at once; nil when none.
TrpDataset* rpGetDataSetByName(const std::string& name, TComponent* owner, bool& owned);
