#pragma once
// The base of a calculator page unit: one notebook page of the main window
// with its fields, state, handlers, reset and settings. The window owns one
// object per page (see Main.h for how a page joins it).

#include <string>

#include "Classes.h"
#include "FormReader.h"

class TIniFile;
class TfrmMain;

// The component of that name and type under Root; the window definition must have it.
template <class T>
T* NeedComponent(TComponent* Root, const std::string& Name) {
    auto* c = dynamic_cast<T*>(Root->FindComponent(Name));
    if (!c) throw EComponentError("The main window's definition lacks " + Name);
    return c;
}

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
    // Sets the page to zeros or to its samples, as the window's DefaultValueSet says.
    virtual void ResetValues(TObject* Sender) = 0;
    // Part of "reset all to zero": zeros the page's values and leaves colours,
    // enabled states and focus as they are.
    virtual void ZeroValues(TObject* Sender) = 0;
    // The page's own entries in the settings file, read at start and written at close.
    virtual void ReadSettings(TIniFile&) {}
    virtual void WriteSettings(TIniFile&) {}

    bool IsActive() const;

protected:
    // The window's component of that name and type.
    template <class T>
    T* Need(const std::string& Name) const {
        return NeedComponent<T>(Root(), Name);
    }
    // Binds a handler name of the definition to a method of this page.
    template <class P, class Event, class... Args>
    static void Bind(THandlerTable& Handlers, const char* Name, P* Page, void (P::*Method)(Args...)) {
        Handlers[Name] = Event([Page, Method](Args... a) { (Page->*Method)(a...); });
    }
    template <class P>
    static void BindNotify(THandlerTable& Handlers, const char* Name, P* Page, void (P::*Method)(TObject*)) {
        Bind<P, TNotifyEvent>(Handlers, Name, Page, Method);
    }

    TfrmMain& Main;

private:
    TComponent* Root() const;
};
