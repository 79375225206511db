#pragma once
// The state of one report while it is loaded, prepared, shown or printed.
// Each report owns one context and hands it to its pages, views, dictionary,
// parser, resolver and interpreter; nothing of a build lives in a global, so
// a second report or a subreport never needs anything re-pointed.

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_set>

#include "Classes.h"
#include "SysUtils.h"
#include "Variants.h"

class TInterpretator;
class TrpAggregateBand;
class TrpParser;
class TrpValueResolver;
class TrpVariables;
class TrpBand;
class TrpPage;
class TrpReport;
class TrpView;

// Printable area and page size in template units.
struct TrpPrnInfo {
    int Pgw = 0, Pgh = 0;  // paper
    int Ofx = 0, Ofy = 0;  // printable area offset
    int Pw = 0, Ph = 0;    // printable area size
};

// The printer layer's part in templates. The default is the virtual printer:
// US Letter, the whole paper printable. A printer layer replaces it as a whole.
class TrpPrinterLink {
public:
    virtual ~TrpPrinterLink() = default;
    // The default paper of a new page: size code, width, height (0.1 mm).
    virtual void DefaultPaper(int& size, int& width, int& height);
    // Hands the paper to the printer; may change each value; fills info.
    virtual void ApplyPaper(int& size, int& width, int& height, int& orientation, int& bin, TrpPrnInfo& info);
    virtual std::string CurrentPrinterName();
    virtual void SelectPrinter(const std::string& name) {}
};

// Makes the printer link each new report context starts with; empty gives
// the plain link above. The program installs the printer layer's once.
using TrpPrinterLinkFactory = std::function<std::unique_ptr<TrpPrinterLink>()>;
TrpPrinterLinkFactory& rpPrinterLinkFactory();

// What the page engine answers while it builds pages: the band being shown
// and its aggregates, the system and page variables, the built-in report
// procedures and script assignments that move the page. Installed as a whole
// for the time of a build, so no part can be forgotten.
class TrpPageEngineLink {
public:
    virtual ~TrpPageEngineLink() = default;
    // Aggregates: whether bands' objects are being prepared, the band whose
    // object is evaluated, the band being prepared, bands by name and type.
    virtual bool Declaring() = 0;
    virtual TrpAggregateBand* ShowingBand() = 0;
    virtual TrpAggregateBand* PreparedBand() = 0;
    virtual TrpAggregateBand* FindBand(const std::string& name) = 0;
    virtual TrpAggregateBand* FindDataBand(int type) = 0;
    // "PAGE#", "LINE#", "LINETHROUGH#", "COLUMN#", "CURRENT#", "CALCWIDTH";
    // false leaves the default.
    virtual bool GetSystemValue(const std::string& name, Variant& value) = 0;
    // "CURY", "FREESPACE", "FINALPASS", "PAGEHEIGHT", "PAGEWIDTH".
    virtual bool GetPageValue(const std::string& name, Variant& value) = 0;
    // "STOPREPORT", "NEWPAGE", "NEWCOLUMN", "SHOWBAND" (p1 the band name).
    virtual void DoReportProcedure(const std::string& name, const Variant& p1) = 0;
    // Script assignments to MODALRESULT, CURY and PROGRESS.
    virtual void SetModalResult(int modalResult) = 0;
    virtual void SetCurY(int y) = 0;
    virtual void ShowProgress(const std::string& text) = 0;
    // Places a view aligned to the bottom, top or width of the band being output.
    virtual void AlignToBand(TrpView* view) = 0;
};

// How the dictionary reaches data sources. The default finds a data set
// among the components of the report's owner ("Form.Component" paths too);
// a database data set answers a field from its current record, others have
// no field values.
struct TrpFieldLink {
    std::function<TObject*(const std::string& source)> FindDataSource;
    std::function<Variant(TObject* source, const std::string& field)> GetFieldValue;
};

// The input box the INPUT function shows; the default answers the default text.
using TrpInputBoxHook =
    std::function<std::string(const std::string& caption, const std::string& prompt, const std::string& defaultText)>;

// The input box each new report context starts with; empty answers the default text.
TrpInputBoxHook& rpDefaultInputBox();

class TrpContext {
public:
    explicit TrpContext(TrpReport* report);
    ~TrpContext();
    TrpContext(const TrpContext&) = delete;
    TrpContext& operator=(const TrpContext&) = delete;

    TrpReport* const Report;        // the owner
    TrpReport* RootReport;          // outermost report of a build (a composite report or the owner)
    TrpPage* ActivePage = nullptr;  // template page being loaded or built
    TrpView* ActiveView = nullptr;  // view being evaluated
    TrpBand* ActiveBand = nullptr;  // band being output; nil outside a build
    bool BuildMode = false;         // False while loading; True while preparing, showing, printing
    int TemplateVersion;            // version byte of the template being read
    bool ReportErrorFlag = false;
    std::string ReportErrorText;
    int TotalPagesCount = 0;
    int PageNo = 0;  // the page engine's current output page number (1-based); 0 outside a build
    TDateTime ReportDate = 0, ReportTime = 0;
    bool BuildCancelled = false;
    bool FirstPassRunning = false;
    std::vector<TrpView*> FollowViews;  // views told after each memo output (not owned)

    TrpParser& Parser() { return *FParser; }
    TrpVariables& Variables() { return *FVariables; }  // report variables (sorted)
    TrpValueResolver& Resolver() { return *FResolver; }
    TInterpretator& Interpreter() { return *FInterpreter; }

    // An expression's value and its formatted text in the active view's format.
    Variant Calc(const std::string& expression);
    std::string FormattedValue(const std::string& expression);
    // A value of the report variables; false when there is no such name.
    bool GlobalVariable(const std::string& name, Variant& value);
    // The report's OnBeforePrint.
    void BeforePrint(TStringList* memo, TrpView* view);
    // Compiles and runs a view's script with this report's interpreter; a
    // script that does not compile raises ErpParserError with the errors.
    void RunScript(TrpView* view, TStrings* script);

    // The first "<base>N" (N from 1) that taken() refuses not. While a
    // template loads, each base's search starts where its last one ended, so
    // naming thousands of unnamed objects stays linear in their number.
    std::string FreeName(const std::string& base, const std::function<bool(const std::string&)>& taken);
    // Forgets where the searches ended (a load starts or ends).
    void ResetNameSearch() { FNameSearchStart.clear(); }
    // While a template loads, the names of the views loaded so far are kept
    // in a set, so each naming looks them up instead of scanning every view.
    void TrackViewNames(bool on) {
        FTrackViewNames = on;
        FViewNames.clear();
    }
    bool TrackingViewNames() const { return FTrackViewNames; }
    void AddViewName(const std::string& name) {
        if (FTrackViewNames) FViewNames.insert(UpperCase(name));
    }
    bool ViewNameTaken(const std::string& name) const { return FViewNames.count(UpperCase(name)) > 0; }

    TrpFieldLink Fields;
    TObject* FindDataSource(const std::string& source);
    Variant GetFieldValue(TObject* source, const std::string& field);

    TrpInputBoxHook InputBox;

    TrpPrinterLink& Printer() { return *FPrinter; }
    void SetPrinter(std::unique_ptr<TrpPrinterLink> printer);

    // The page engine of the build in progress; nil outside a build.
    TrpPageEngineLink* PageEngine() const { return FPageEngine; }
    // Installs the page engine (not owned) for a build; nil removes it.
    void SetPageEngine(TrpPageEngineLink* engine) { FPageEngine = engine; }

private:
    std::map<std::string, int> FNameSearchStart;
    bool FTrackViewNames = false;
    std::unordered_set<std::string> FViewNames;

    std::unique_ptr<TrpParser> FParser;
    std::unique_ptr<TrpVariables> FVariables;
    std::unique_ptr<TrpValueResolver> FResolver;
    std::unique_ptr<TInterpretator> FInterpreter;
    std::unique_ptr<TrpPrinterLink> FPrinter;
    TrpPageEngineLink* FPageEngine = nullptr;
};

// Sets a member of the context for the time of a scope and restores it after,
// also when the scope ends by an exception.
template <class T>
class TrpRestore {
public:
    TrpRestore(T& target, T value) : FTarget(target), FSaved(target) { target = std::move(value); }
    ~TrpRestore() { FTarget = std::move(FSaved); }
    TrpRestore(const TrpRestore&) = delete;
    TrpRestore& operator=(const TrpRestore&) = delete;

private:
    T& FTarget;
    T FSaved;
};
