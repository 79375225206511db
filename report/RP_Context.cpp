#include "RP_Context.h"

#include "DB.h"
#include "RP_Class.h"
#include "RP_DSet.h"
#include "RP_Dict.h"
#include "RP_Pars.h"
#include "RP_StdLib.h"
#include "RP_Vars.h"
#include "RP_Utils.h"

// ------------------------------------------------------------ virtual printer

void TrpPrinterLink::DefaultPaper(int& size, int& width, int& height) {
    size = 1;  // US Letter
    width = 2159;
    height = 2794;
}

void TrpPrinterLink::ApplyPaper(int& size, int& width, int& height, int& orientation, int& bin, TrpPrnInfo& info) {
    if (bin == -1) bin = 0xFFFF;
    int w = orientation == 1 ? height : width;
    int h = orientation == 1 ? width : height;
    info.Pgw = rpMmToUnits(w);
    info.Pgh = rpMmToUnits(h);
    info.Ofx = info.Ofy = 0;
    info.Pw = info.Pgw;
    info.Ph = info.Pgh;
}

std::string TrpPrinterLink::CurrentPrinterName() { return LoadEngineString(rpsVirtualPrinter); }

TrpInputBoxHook& rpDefaultInputBox() {
    static TrpInputBoxHook hook;
    return hook;
}

TrpPrinterLinkFactory& rpPrinterLinkFactory() {
    static TrpPrinterLinkFactory factory;
    return factory;
}

// -------------------------------------------------------------------- context

TrpContext::TrpContext(TrpReport* report)
    : Report(report),
      RootReport(report),
      TemplateVersion(rpCurrentTemplateVersion),
      FParser(std::make_unique<TrpParser>()),
      FVariables(std::make_unique<TrpVariables>()),
      FResolver(std::make_unique<TrpValueResolver>(*this)),
      FInterpreter(std::make_unique<TInterpretator>(*this)),
      FPrinter(rpPrinterLinkFactory() ? rpPrinterLinkFactory()() : std::make_unique<TrpPrinterLink>()) {
    FVariables->SetSorted(true);
    InputBox = rpDefaultInputBox();
    FParser->OnGetValue = [this](const std::string& name, Variant& value) { FResolver->GetVariableValue(name, value); };
    FParser->OnFunction = [this](const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3,
                                 Variant& val) { FResolver->DoUserFunction(name, p1, p2, p3, val); };
}

TrpContext::~TrpContext() = default;

Variant TrpContext::Calc(const std::string& expression) { return FParser->Calc(expression); }

std::string TrpContext::FormattedValue(const std::string& expression) {
    return FResolver->GetFormattedValue(expression);
}

bool TrpContext::GlobalVariable(const std::string& name, Variant& value) {
    int i = FVariables->IndexOf(name);
    if (i < 0) return false;
    value = FVariables->GetValue(i);
    return true;
}

void TrpContext::BeforePrint(TStringList* memo, TrpView* view) {
    // A view bound to a data-set field ("[Source.Field]") loads the field's data first.
    if (view) {
        std::string text = Trim(view->Memo->GetText());
        std::string source, field;
        if (text.size() > 2 && text.front() == '[' && text.back() == ']' &&
            rpSplitFieldReference(text.substr(1, text.size() - 2), source, field))
            if (TObject* ds = FindDataSource(source)) view->GetBlob(ds, field);
    }
    if (Report && Report->OnBeforePrint) Report->OnBeforePrint(memo, view);
}

void TrpContext::RunScript(TrpView* view, TStrings* script) {
    if (!script || script->Count() == 0) return;
    TStringList compiled, errors;
    FInterpreter->CompileScript(script, &compiled, &errors);
    if (errors.Count() > 0)
        throw ErpParserError("Script of " + (view ? view->Name : std::string("the page")) + ": " + errors.Get(0));
    TrpRestore<TrpView*> active(ActiveView, view ? view : ActiveView);
    FInterpreter->RunScript(&compiled);
}

TObject* TrpContext::FindDataSource(const std::string& source) {
    if (Fields.FindDataSource) return Fields.FindDataSource(source);
    // Only a data set can hold fields: a control of the form that happens to
    // share the name must not turn "Memo1.Left" into a field reference.
    TComponent* owner = Report ? Report->Owner : nullptr;
    return owner ? dynamic_cast<TrpDataset*>(FindComponentByPath(owner, source)) : nullptr;
}

Variant TrpContext::GetFieldValue(TObject* source, const std::string& field) {
    if (Fields.GetFieldValue) return Fields.GetFieldValue(source, field);
    // A database data set answers from its current record (opened first when closed).
    if (auto* db = dynamic_cast<TrpDBDataSet*>(source)) {
        TDataSet* ds = db->GetDataSet();
        if (!ds->Active()) ds->Open();
        return ds->FieldValue(field);
    }
    return Null();
}

void TrpContext::SetPrinter(std::unique_ptr<TrpPrinterLink> printer) {
    FPrinter = printer ? std::move(printer) : std::make_unique<TrpPrinterLink>();
}

std::string TrpContext::FreeName(const std::string& base, const std::function<bool(const std::string&)>& taken) {
    int& start = FNameSearchStart[UpperCase(base)];
    for (int i = std::max(start, 1); i <= 100000; ++i) {
        std::string candidate = base + std::to_string(i);
        if (taken(candidate)) continue;
        if (!BuildMode) start = i + 1;
        return candidate;
    }
    return std::string();
}
