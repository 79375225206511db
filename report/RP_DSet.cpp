#include "RP_DSet.h"

#include <climits>

#include "DB.h"
#include "RP_Utils.h"
#include "SysUtils.h"

TrpDataset::TrpDataset(TComponent* owner) : TComponent(owner) {}

void TrpDataset::First() {
    RecordNo = 0;
    if (OnFirst) OnFirst(this);
}

void TrpDataset::Next() {
    if (RecordNo < INT_MAX) ++RecordNo;
    if (RangeEnd == reCount && RecordNo >= RangeEndCount) return;
    if (OnNext) OnNext(this);
}

void TrpDataset::Prior() {
    --RecordNo;
    if (OnPrior) OnPrior(this);
}

bool TrpDataset::Eof() {
    bool eof = RangeEnd == reCount && RecordNo >= RangeEndCount;
    if (OnCheckEOF) OnCheckEOF(this, eof);
    return eof;
}

TrpDataset* rpGetDataSetByName(const std::string& name, TComponent* owner, bool& owned) {
    owned = false;
    std::string s = Trim(name);
    if (s.empty()) return nullptr;
    TrpDataset* ds = nullptr;
    if (s[0] >= '1' && s[0] <= '9') {
        int count = 0;
        size_t i = 0;
        while (i < s.size() && s[i] >= '0' && s[i] <= '9' && count <= 100000000) count = count * 10 + (s[i++] - '0');
        auto* user = new TrpUserDataset(nullptr);
        user->RangeEnd = reCount;
        user->RangeEndCount = count;
        ds = user;
        owned = true;
    } else {
        ds = dynamic_cast<TrpDataset*>(FindComponentByPath(owner, s));
    }
    if (ds) ds->Init();
    return ds;
}

// ------------------------------------------------------------ database data

TrpDBDataSet::~TrpDBDataSet() {
    SetDataSet(nullptr);
    SetDataSource(nullptr);
}

void TrpDBDataSet::SetDataSet(TDataSet* value) {
    if (FDataSource) FDataSource->RemoveFreeNotification(this);
    FDataSource = nullptr;
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
    FDataSet = value;
    if (FDataSet) FDataSet->FreeNotification(this);
}

void TrpDBDataSet::SetDataSource(TDataSource* value) {
    if (FDataSource) FDataSource->RemoveFreeNotification(this);
    FDataSource = value;
    if (!value) return;
    if (FDataSet) FDataSet->RemoveFreeNotification(this);
    FDataSet = nullptr;
    FDataSource->FreeNotification(this);
}

TDataSet* TrpDBDataSet::GetDataSet() const {
    TDataSet* ds = FDataSource && FDataSource->GetDataSet() ? FDataSource->GetDataSet() : FDataSet;
    if (!ds) throw EDatabaseError("Unable to open dataset " + GetName());
    return ds;
}

void TrpDBDataSet::Notification(TComponent* component, TOperation operation) {
    TrpDataset::Notification(component, operation);
    if (operation != opRemove) return;
    if (component == FDataSet) FDataSet = nullptr;
    if (component == FDataSource) FDataSource = nullptr;
}

void TrpDBDataSet::Open() {
    if (OpenDataSource) GetDataSet()->Open();
    if (OnOpen) OnOpen(this);
}

void TrpDBDataSet::Close() {
    if (OnClose) OnClose(this);
    if (CloseDataSource) GetDataSet()->Close();
}

void TrpDBDataSet::Init() {
    Open();
    FBookmark = RangeBegin == rbCurrent || RangeEnd == reCurrent ? GetDataSet()->RecNo() : -1;
    FEndReached = false;
}

void TrpDBDataSet::Exit() {
    if (FBookmark >= 0) {
        GetDataSet()->GotoRecord(FBookmark);
        FBookmark = -1;
    }
    Close();
}

void TrpDBDataSet::First() {
    if (RangeBegin == rbCurrent && FBookmark >= 0)
        GetDataSet()->GotoRecord(FBookmark);
    else
        GetDataSet()->First();
    FEndReached = false;
    TrpDataset::First();
}

void TrpDBDataSet::Next() {
    FEndReached = false;
    if (RangeEnd != reCurrent) {
        GetDataSet()->Next();
        TrpDataset::Next();
        return;
    }
    // The range ends at the bookmarked record: it is the last one walked.
    if (GetDataSet()->RecNo() == FBookmark)
        FEndReached = true;
    else {
        GetDataSet()->Next();
        TrpDataset::Next();
    }
}

void TrpDBDataSet::Prior() {
    GetDataSet()->Prior();
    TrpDataset::Prior();
}

bool TrpDBDataSet::Eof() { return TrpDataset::Eof() || GetDataSet()->Eof() || FEndReached; }
