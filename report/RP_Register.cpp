#include "RP_Register.h"

#include <mutex>

#include "Controls.h"
#include "RP_Class.h"
#include "RP_DSet.h"
#include "TypInfo.h"

void RegisterReportClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterControlsClasses();
        Published<TrpDataset>("TrpDataset", "TComponent")
            .Enum("RangeBegin", {"rbFirst", "rbCurrent"}, &TrpDataset::RangeBegin, &TrpDataset::RangeBegin)
            .Enum("RangeEnd", {"reLast", "reCurrent", "reCount"}, &TrpDataset::RangeEnd, &TrpDataset::RangeEnd)
            .Int("RangeEndCount", &TrpDataset::RangeEndCount, &TrpDataset::RangeEndCount)
            .Event("OnFirst", &TrpDataset::OnFirst)
            .Event("OnNext", &TrpDataset::OnNext)
            .Event("OnPrior", &TrpDataset::OnPrior)
            .Event("OnCheckEOF", &TrpDataset::OnCheckEOF);
        Published<TrpUserDataset>("TrpUserDataset", "TrpDataset");
        // The template itself travels as the binary "ReportForm" (DefineProperties).
        Published<TrpReport>("TrpReport", "TComponent")
            .Reference<TrpDataset>("Dataset", &TrpReport::Dataset, &TrpReport::Dataset)
            .Bool("StoreInDFM", &TrpReport::StoreInDFM, &TrpReport::StoreInDFM);
    });
}
