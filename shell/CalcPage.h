#pragma once
// The base of a calculator page unit: one notebook page of the main window
// with its fields, state, handlers, reset and settings, in a unit of its own
// named after the page (QuickCalcPage.h, InvestmentPages.h, ...). To add one:
//  - derive `class TXxxPage : public TCalcPage` (TValueSetPage when its resets
//    are a value set of the calculator resets, iniSetup.h) with PageName(),
//    its handlers as methods under the names the definition binds, and its
//    components as members;
//  - RegisterHandlers binds each name (BindNotify, BindHandler); the window
//    collects every page's table before it reads the definition, so a name
//    missing here fails the read; FindComponents looks up with Need<T>("name");
//  - ResetValues writes zeros or samples as the window's defaults say,
//    ZeroValues the zeros of "reset all to zero"; ReadSettings and
//    WriteSettings take the page's own entries of the settings file;
//  - add it to the page list of the window's constructor (Main.cpp); the
//    window owns it, resets pages in that order and finds it by type with
//    Page<TXxxPage>().

#include <string>

#include "CalcResult.h"
#include "Classes.h"
#include "FormReader.h"

class TEntPictureField;
class TIniFile;
class TfrmMain;
struct TCalculatorReset;

// The component of that name and type under Root; the window definition must have it.
template <class T>
T* NeedComponent(TComponent* Root, const std::string& Name) {
    auto* c = dynamic_cast<T*>(Root->FindComponent(Name));
    if (!c) throw EComponentError("The main window's definition lacks " + Name);
    return c;
}

// Writes a number into a picture field (as an integer or a float by its data
// type) or a numeric edit; EComponentError for any other component.
void SetComponentNumber(TComponent* Component, double Value);

class TCalcPage {
public:
    explicit TCalcPage(TfrmMain& Main) : Main(Main) {}
    virtual ~TCalcPage() = default;
    TCalcPage(const TCalcPage&) = delete;
    TCalcPage& operator=(const TCalcPage&) = delete;

    // The name of the main notebook's page this unit drives ("pgQuickCalculators").
    virtual const char* PageName() const = 0;
    // Adds the page's handlers, under the names the window definition binds.
    // Runs before the definition is read.
    virtual void RegisterHandlers(THandlerTable& Handlers) = 0;
    // Looks up the page's components once the definition has been read.
    virtual void FindComponents() = 0;
    // Sets the page to zeros or to its samples, as the window's Defaults.ValueSet says.
    virtual void ResetValues(TObject* Sender) = 0;
    // Part of "reset all to zero": zeros the page's values and leaves colours
    // and enabled states as they are; the focus moves only where a page says so.
    virtual void ZeroValues(TObject* Sender) = 0;
    // The page's own entries in the settings file, read at start and written at close.
    virtual void ReadSettings(TIniFile&) {}
    virtual void WriteSettings(TIniFile&) {}

    bool IsActive() const;

protected:
    enum class TValueSet { Zeros, Samples };
    // The page's zero and sample values among the calculator resets.
    const TCalculatorReset& ValueSet() const;
    // Writes a value set of the calculator resets into the page's components:
    // picture fields as integers or floats by their data type, numeric edits
    // as values, combo boxes as texts.
    void WriteValueSet(const TCalculatorReset& Set, TValueSet Which) const;
    // Writes a result that was computed; one that was not keeps its old value.
    static void ShowResult(TEntPictureField* Field, const TCalcResult& Value);
    // A page shows what its compute step got done even when a later step
    // fails, then lets the failure go on to the window's handler.
    template <class Compute, class Show>
    static void ComputeAndShow(Compute&& DoCompute, Show&& DoShow) {
        try {
            DoCompute();
        } catch (...) {
            DoShow();
            throw;
        }
        DoShow();
    }
    // What each calculation does first: the window finishes its pending
    // repaints, and printing becomes possible.
    void BeginCalculation(TObject* Sender) const;

    // The window's component of that name and type.
    template <class T>
    T* Need(const std::string& Name) const {
        return NeedComponent<T>(Root(), Name);
    }

    TfrmMain& Main;

private:
    TComponent* Root() const;
};

// A page whose resets write its value set from the calculator resets (by its
// page name): samples or zeros, then the focus while the page is shown.
class TValueSetPage : public TCalcPage {
public:
    using TCalcPage::TCalcPage;
    void ResetValues(TObject* Sender) override;
    void ZeroValues(TObject* Sender) override;

protected:
    // Focuses the page's first field while the page is shown.
    void FocusWhenShown() const;
};
