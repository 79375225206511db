#pragma once
// The data dictionary of a report: named variables (expressions or data-source
// field references), field and source aliases, and a cache of resolved field
// references. Read and written as the dictionary record of a template.

#include <memory>
#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "Classes.h"
#include "RP_Pars.h"
#include "Variants.h"

class TrpContext;

// Splits a field reference at the last "." outside double quotes; the field
// part loses its surrounding quotes. False when there is no such ".".
bool rpSplitFieldReference(const std::string& reference, std::string& source, std::string& field);

class TrpDataDictionary : public TObject {
public:
    // Values, data sources and the template version come from the context
    // of the report that owns the dictionary.
    explicit TrpDataDictionary(TrpContext& context);
    ~TrpDataDictionary() override;

    std::unique_ptr<TrpVariables> Variables;
    std::unique_ptr<TrpVariables> FieldAliases;
    std::unique_ptr<TrpVariables> SourceAliases;

    struct TrpFieldRef {
        TObject* DataSource = nullptr;
        std::string FieldName;
    };
    // Resolved references by upper-case name.
    std::map<std::string, TrpFieldRef> FieldCache;

    void Clear();
    void ClearCache();
    bool IsVariable(const std::string& name);
    Variant GetValue(const std::string& name);
    std::string GetAlias(const std::string& reference) const;
    void LoadFromStream(TStream* stream);
    void SaveToStream(TStream* stream);

private:
    TrpContext& FContext;
    int VariableIndex(const std::string& name) const;
    bool Resolve(const std::string& name, const std::string& reference);
    void ReadOldRecord(TStream* stream);
    std::set<std::string> FEvaluating;  // names whose expressions are being evaluated
};
