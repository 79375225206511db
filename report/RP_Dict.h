#pragma once
// The data dictionary of a report: named variables (expressions or data-source
// field references), field and source aliases, and a cache of resolved field
// references. Read and written as the dictionary record of a template.

#include <functional>
#include <map>
#include <set>
#include <string>
#include <utility>

#include "Classes.h"
#include "RP_Pars.h"
#include "Variants.h"

// How the dictionary reaches data sources; the data layer installs it. By
// default a source is a component of the active report's owner (paths with
// "." allowed) and a field has no value.
struct TrpFieldLink {
    std::function<TObject*(const std::string& source)> FindDataSource;
    // The field's current value (the source is opened first when closed).
    std::function<Variant(TObject* source, const std::string& field)> GetFieldValue;
};
extern TrpFieldLink rpFieldLink;

// The data source a field reference names: through rpFieldLink when the data
// layer set it, else a data set among the active report owner's components.
TObject* rpFindDataSource(const std::string& source);

// Splits a field reference at the last "." outside double quotes; the field
// part loses its surrounding quotes. False when there is no such ".".
bool rpSplitFieldReference(const std::string& reference, std::string& source, std::string& field);

class TrpDataDictionary : public TObject {
public:
    TrpDataDictionary();
    ~TrpDataDictionary() override;

    TrpVariables* Variables;
    TrpVariables* FieldAliases;
    TrpVariables* SourceAliases;

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
    int VariableIndex(const std::string& name) const;
    bool Resolve(const std::string& name, const std::string& reference);
    void ReadOldRecord(TStream* stream);
    std::set<std::string> FEvaluating;   // names whose expressions are being evaluated
};
