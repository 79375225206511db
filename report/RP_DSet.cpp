#include "RP_DSet.h"

#include <climits>

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
