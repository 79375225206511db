#include "RP_Globals.h"

#include <cxxabi.h>

#include <cstdlib>

#include "RP_StdLib.h"
#include "SysUtils.h"

std::string rpDemangle(const char* mangled) {
    int status = 0;
    char* d = abi::__cxa_demangle(mangled, nullptr, nullptr, &status);
    std::string name = (status == 0 && d) ? d : mangled;
    std::free(d);
    return name;
}

// ---------------------------------------------------------- named constants

const std::vector<TrpNamedConstant>& rpNamedConstants() {
    static const std::vector<TrpNamedConstant> table = [] {
        std::vector<TrpNamedConstant> t = {
            {"clWhite", 0xFFFFFF},         {"clBlack", 0},         {"clMaroon", 0x80},      {"clGreen", 0x8000},
            {"clOlive", 0x8080},           {"clNavy", 0x800000},   {"clPurple", 0x800080},  {"clTeal", 0x808000},
            {"clGray", 0x808080},          {"clSilver", 0xC0C0C0}, {"clRed", 0xFF},         {"clLime", 0xFF00},
            {"clYellow", 0xFFFF},          {"clBlue", 0xFF0000},   {"clFuchsia", 0xFF00FF}, {"clAqua", 0xFFFF00},
            {"clTransparent", 0x1FFFFFFF},
        };
        // System colours are colour values with the top bit set: as 32-bit
        // colours they are negative integers.
        static const char* const systemColours[] = {
            "clScrollBar",    "clBackground",     "clActiveCaption", "clInactiveCaption", "clMenu",
            "clWindow",       "clWindowFrame",    "clMenuText",      "clWindowText",      "clCaptionText",
            "clActiveBorder", "clInactiveBorder", "clAppWorkSpace",  "clHighlight",       "clHighlightText",
            "clBtnFace",      "clBtnShadow",      "clGrayText",      "clBtnText",         "clInactiveCaptionTex",
            "clBtnHighlight", "cl3DDkShadow",     "cl3DLight",       "clInfoText",        "clInfoBk",
        };
        int32_t index = 0;
        for (const char* name : systemColours)
            t.push_back({name, Variant(int32_t(uint32_t(0x80000000u) | uint32_t(index++)))});
        std::vector<TrpNamedConstant> rest = {
            {"mrNone", 0},
            {"mrOk", 1},
            {"mrCancel", 2},
            {"mrYes", 6},
            {"mrNo", 7},
            {"CRLF", Variant("\r\n")},
            {"Null", Null()},
            {"fsBold", 2},
            {"fsItalic", 1},
            {"fsUnderline", 4},
            {"fsStrikeOut", 8},
            {"rpftNone", 0},
            {"rpftRight", 1},
            {"rpftBottom", 2},
            {"rpftLeft", 4},
            {"rpftTop", 8},
            {"rptaLeft", 0},
            {"rptaRight", 1},
            {"rptaCenter", 2},
            {"rptaVertical", 4},
            {"rptaMiddle", 8},
            {"rptaDown", 16},
            {"baNone", 0},
            {"baLeft", 1},
            {"baRight", 2},
            {"baCenter", 3},
            {"baWidth", 4},
            {"baBottom", 5},
            {"baTop", 6},
            {"baRest", 7},
            {"psSolid", 0},
            {"psDash", 1},
            {"psDot", 2},
            {"psDashDot", 3},
            {"psDashDotDot", 4},
            {"psDouble", 5},
            {"mb_Ok", 0},
            {"mb_OkCancel", 1},
            {"mb_YesNo", 4},
            {"mb_YesNoCancel", 3},
            {"mb_IconError", 16},
            {"mb_IconQuestion", 32},
            {"mb_IconInformation", 64},
            {"mb_IconWarning", 48},
        };
        t.insert(t.end(), rest.begin(), rest.end());
        return t;
    }();
    return table;
}

bool rpFindNamedConstant(const std::string& name, Variant& value) {
    for (const auto& c : rpNamedConstants())
        if (SameText(c.Name, name)) {
            value = c.Value;
            return true;
        }
    return false;
}

// ------------------------------------------------------- function libraries

namespace {

struct InstalledLibrary {
    std::string ClassName;
    std::unique_ptr<TrpFunctionLibrary> Library;
};

std::vector<InstalledLibrary>& Installed() {
    static std::vector<InstalledLibrary> list;
    return list;
}

}  // namespace

TrpInstalledFunctions* rpInstalledFunctions() {
    static TrpInstalledFunctions registry;
    return &registry;
}

void TrpInstalledFunctions::Add(const std::string& libraryClass, const std::string& funName,
                                const std::string& category, const std::string& description) {
    for (const auto& d : Items)
        if (d.FunName == funName) return;
    Items.push_back({libraryClass, funName, category, description});
}

void TrpInstalledFunctions::RemoveLibrary(const std::string& libraryClass) {
    std::erase_if(Items, [&](const TrpFunctionDescription& d) { return d.LibraryClass == libraryClass; });
}

TrpFunctionLibrary::TrpFunctionLibrary() : List(std::make_unique<TStringList>()) {}

TrpFunctionLibrary::~TrpFunctionLibrary() = default;

bool TrpFunctionLibrary::CallFunction(TrpContext& context, const std::string& name, const Variant& p1,
                                      const Variant& p2, const Variant& p3, Variant& val) {
    int index = List->IndexOf(name);
    if (index < 0) return false;
    DoFunction(context, index, p1, p2, p3, val);
    return true;
}

void TrpFunctionLibrary::AddFunctionDesc(const std::string& funcName, const std::string& category,
                                         const std::string& description) {
    rpAddFunctionDesc(ClassName(), funcName, category, description);
}

void rpAddFunctionDesc(const std::string& libraryClass, const std::string& funName, const std::string& category,
                       const std::string& description) {
    if (description.empty()) return;
    rpInstalledFunctions()->Add(libraryClass, funName, category, description);
}

void rpRegisterFunctionLibrary(const std::string& className, const TrpFunctionLibraryFactory& create) {
    auto& list = Installed();
    for (const auto& lib : list)
        if (lib.ClassName == className) return;
    if (int(list.size()) >= rpMaxFunctionLibraries)
        throw Exception("Cannot install function library " + className + ": " + std::to_string(rpMaxFunctionLibraries) +
                        " libraries are installed already");
    list.push_back({className, std::unique_ptr<TrpFunctionLibrary>(create())});
}

void rpUnRegisterFunctionLibrary(const std::string& className) {
    auto& list = Installed();
    for (auto it = list.begin(); it != list.end(); ++it)
        if (it->ClassName == className) {
            rpInstalledFunctions()->RemoveLibrary(className);
            list.erase(it);
            return;
        }
}

int rpFunctionLibraryCount() { return int(Installed().size()); }

TrpFunctionLibrary* rpFunctionLibrary(int index) {
    auto& list = Installed();
    if (index < 0 || index >= int(list.size())) return nullptr;
    return list[size_t(index)].Library.get();
}

bool rpCallLibraryFunction(TrpContext& context, const std::string& name, const Variant& p1, const Variant& p2,
                           const Variant& p3, Variant& val) {
    rpGlobals();  // the engine's start-up installs the standard library
    // Index loop: a library function may install or remove libraries.
    for (int i = 0; i < rpFunctionLibraryCount(); ++i)
        if (rpFunctionLibrary(i)->CallFunction(context, name, p1, p2, p3, val)) return true;
    return false;
}

// ---------------------------------------------------------- engine globals

TrpGlobals::TrpGlobals() : ScratchList(new TStringList), Compressor(new TrpCompressor) {
    DefaultCharset = StrToIntDef(LoadEngineString(rpsCharset), 1);
    for (int t = 0; t <= 22; ++t) BandNames.push_back(LoadEngineString(rpsFirstBandName + t));
    for (int i = 0; i < 4; ++i) {
        BooleanFormats.push_back(LoadEngineString(rpsFirstBooleanFormat + i));
        DateFormats.push_back(LoadEngineString(rpsFirstDateFormat + i));
        TimeFormats.push_back(LoadEngineString(rpsFirstTimeFormat + i));
    }
    rpRegisterFunctionLibrary<TrpStdFunctionLibrary>();
}

TrpGlobals::~TrpGlobals() = default;

TBitmap* TrpGlobals::CheckerBitmap() {
    // Made on first use: bitmaps need the graphics system, the tables do not.
    if (!FChecker) {
        FChecker = std::make_unique<TBitmap>();
        FChecker->SetSize(8, 8);
        TCanvas* c = FChecker->GetCanvas();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) c->SetPixel(x, y, (x + y) % 2 ? clSilver : clWhite);
    }
    return FChecker.get();
}

TBitmap* TrpGlobals::ScratchBitmap() {
    if (!FScratch) {
        FScratch = std::make_unique<TBitmap>();
        FScratch->SetSize(8, 8);
    }
    return FScratch.get();
}

TrpGlobals& rpGlobals() {
    static TrpGlobals globals;
    return globals;
}
