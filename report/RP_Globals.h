#pragma once
// Engine-wide support of the report engine: the string loader for every
// caption and message (ids 53000..55439), the named constants of the script
// language, the registry of function libraries, the compressor base used by
// prepared-report files, and the tables loaded at start-up.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <typeinfo>
#include <vector>

#include "Classes.h"
#include "Graphics.h"
#include "Variants.h"

// ---------------------------------------------------------------- strings

// Ids of the engine strings the engine code names.
enum : int {
    rpsOK = 55000,
    rpsCancel = 55001,
    rpsPage = 55004,
    rpsVirtualPrinter = 55007,
    rpsFirstBandName = 55077,      // + band type, 0..22
    rpsFirstCategoryName = 55130,  // + format category, 0..4
    rpsFirstFormatName = 55150,    // + 5 * category + index
    rpsFirstBooleanFormat = 55170,
    rpsFirstDateFormat = 55175,
    rpsFirstTimeFormat = 55179,
    rpsFrom = 55199,
    rpsCalcError = 55200,
    rpsReportLabel = 55201,
    rpsObjectLabel = 55202,
    rpsPreparing = 55203,
    rpsFirstPass = 55204,
    rpsProcessingPage = 55205,
    rpsError = 55206,
    rpsPreview = 55207,
    rpsPrintingPage = 55208,
    rpsUntitled = 55209,
    rpsReportFile = 55211,
    rpsFont = 55334,
    rpsCharset = 55337,
    rpsUnsupportedFormat = 55345,
    rpsUndefinedSymbol = 55439,
};

// The loader's message for a template with add-in classes the program lacks.
extern const char* const rpsNonPluggedComponents;  // followed by a carriage return and the names
extern const char* const rpsIncludeComponents;

// Text of an engine string; an id without a text gives the empty text.
std::string LoadEngineString(int id);

class TrpLocale {
public:
    // Localisation hook: a non-empty answer replaces the string table's text.
    std::function<std::string(int id)> OnLocalize;

    std::string LoadString(int id) const;
};

TrpLocale* rpGetLocale();

// ---------------------------------------------------------- named constants

struct TrpNamedConstant {
    const char* Name;
    Variant Value;
};

// The constants of the script language in the order they are defined
// (colours, modal results, CRLF, Null, font styles, frame sides, alignments,
// pen styles, message-box flags).
const std::vector<TrpNamedConstant>& rpNamedConstants();

// Looks a constant up without regard to case; false when there is none.
bool rpFindNamedConstant(const std::string& name, Variant& value);

// ------------------------------------------------------- function libraries

class TrpContext;

class TrpFunctionLibrary : public TObject {
public:
    TrpFunctionLibrary();
    ~TrpFunctionLibrary() override;

    // Names of the functions the library implements; the index is the number
    // passed to DoFunction.
    std::unique_ptr<TStringList> List;

    // True when the name is one of the library's (compared without regard to
    // case); the value comes from DoFunction.
    // The context is the report whose expression calls the function.
    virtual bool CallFunction(TrpContext& context, const std::string& name, const Variant& p1, const Variant& p2,
                              const Variant& p3, Variant& val);
    virtual void DoFunction(TrpContext& context, int index, const Variant& p1, const Variant& p2, const Variant& p3,
                            Variant& val) = 0;

    void AddFunctionDesc(const std::string& funcName, const std::string& category, const std::string& description);
};

// The demangled name of a class, as TObject::ClassName gives it for an instance.
std::string rpDemangle(const char* mangled);
template <class T>
std::string rpClassNameOf() {
    return rpDemangle(typeid(T).name());
}

using TrpFunctionLibraryFactory = std::function<TrpFunctionLibrary*()>;

struct TrpFunctionDescription {
    std::string LibraryClass;
    std::string FunName;
    std::string Category;
    std::string Description;
};

class TrpInstalledFunctions {
public:
    std::vector<TrpFunctionDescription> Items;
    void Add(const std::string& libraryClass, const std::string& funName, const std::string& category,
             const std::string& description);
    void RemoveLibrary(const std::string& libraryClass);
};

// At most this many libraries are installed at once.
constexpr int rpMaxFunctionLibraries = 32;

// Installs one instance of the class unless one is installed already.
// Raises Exception when the table is full.
void rpRegisterFunctionLibrary(const std::string& className, const TrpFunctionLibraryFactory& create);
void rpUnRegisterFunctionLibrary(const std::string& className);
template <class T>
void rpRegisterFunctionLibrary() {
    rpRegisterFunctionLibrary(rpClassNameOf<T>(), [] { return new T; });
}
template <class T>
void rpUnRegisterFunctionLibrary() {
    rpUnRegisterFunctionLibrary(rpClassNameOf<T>());
}

void rpAddFunctionDesc(const std::string& libraryClass, const std::string& funName, const std::string& category,
                       const std::string& description);

// Installed libraries in installation order.
int rpFunctionLibraryCount();
TrpFunctionLibrary* rpFunctionLibrary(int index);
TrpInstalledFunctions* rpInstalledFunctions();

// Asks each installed library in installation order; the first that knows
// the name supplies the value.
bool rpCallLibraryFunction(TrpContext& context, const std::string& name, const Variant& p1, const Variant& p2,
                           const Variant& p3, Variant& val);

// ---------------------------------------------------------------- compressor

// Hook for prepared-report files: the base neither compresses nor is enabled.
class TrpCompressor : public TObject {
public:
    bool Enabled = false;
    virtual void Compress(TStream* source, TStream* target) {}
    virtual void DeCompress(TStream* source, TStream* target) {}
};

// ---------------------------------------------------------- engine globals

// Engine-wide tables and scratch objects, created on first use and freed at
// shut-down. Nothing here belongs to one build (see TrpContext).
struct TrpGlobals {
    int DefaultCharset = 1;                                             // string 55337
    std::vector<std::string> BandNames;                                 // 23 band type names
    std::vector<std::string> BooleanFormats, DateFormats, TimeFormats;  // 4 each
    std::unique_ptr<TStringList> ScratchList;
    std::unique_ptr<TrpCompressor> Compressor;

    TrpGlobals();
    ~TrpGlobals();

    // 8 x 8 pixels, two colours alternating per pixel (band views in design state).
    TBitmap* CheckerBitmap();
    // 8 x 8 pixels: a canvas for measuring and for placing aligned views.
    TBitmap* ScratchBitmap();

private:
    std::unique_ptr<TBitmap> FChecker, FScratch;
};

TrpGlobals& rpGlobals();
