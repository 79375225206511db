#pragma once
// A page engine for tests of expressions and scripts: its answers are set by
// the test, and what it is told is recorded.

#include <functional>
#include <string>
#include <vector>

#include "RP_Context.h"

// A page engine whose answers the tests set; what it is told is recorded.
class TFakePageEngine : public TrpPageEngineLink {
public:
    std::function<bool()> OnDeclaring = [] { return false; };
    std::function<TrpAggregateBand*()> OnShowingBand = [] { return nullptr; };
    std::function<TrpAggregateBand*()> OnPreparedBand = [] { return nullptr; };
    std::function<TrpAggregateBand*(const std::string&)> OnFindBand = [](const std::string&) { return nullptr; };
    std::function<TrpAggregateBand*(int)> OnFindDataBand = [](int) { return nullptr; };
    std::function<bool(const std::string&, Variant&)> OnSystemValue = [](const std::string&, Variant&) {
        return false;
    };
    std::vector<std::string> Told;

    bool Declaring() override { return OnDeclaring(); }
    TrpAggregateBand* ShowingBand() override { return OnShowingBand(); }
    TrpAggregateBand* PreparedBand() override { return OnPreparedBand(); }
    TrpAggregateBand* FindBand(const std::string& name) override { return OnFindBand(name); }
    TrpAggregateBand* FindDataBand(int type) override { return OnFindDataBand(type); }
    bool GetSystemValue(const std::string& name, Variant& value) override { return OnSystemValue(name, value); }
    bool GetPageValue(const std::string&, Variant&) override { return false; }
    void DoReportProcedure(const std::string& name, const Variant& p1) override {
        Told.push_back(name + ":" + VarToStr(p1));
    }
    void SetModalResult(int m) override { Told.push_back("modal:" + std::to_string(m)); }
    void SetCurY(int y) override { Told.push_back("cury:" + std::to_string(y)); }
    void ShowProgress(const std::string& text) override { Told.push_back("progress:" + text); }
    void AlignToBand(TrpView*) override {}
};
