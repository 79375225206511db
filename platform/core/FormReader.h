#pragma once
// Builds a component tree from its window definition (see FormText.h):
// components are created by class name and owned by the root, placed inside
// the component whose definition holds them, their properties set by name
// through the published-property tables, links to other components resolved
// once every component exists, and events bound to the root's handlers.

#include <any>
#include <map>
#include <string>

#include "Classes.h"
#include "FormText.h"
#include "TypInfo.h"

struct TCaseInsensitiveLess {
    bool operator()(const std::string& a, const std::string& b) const;
};

// Handlers by name; each value is the std::function type of the event it binds to.
using THandlerTable = std::map<std::string, std::any, TCaseInsensitiveLess>;

// Binds a handler name of a definition to a method of Object, as an Event.
template <class Event, class T, class... Args>
void BindHandler(THandlerTable& Handlers, const char* Name, T* Object, void (T::*Method)(Args...)) {
    Handlers[Name] = Event([Object, Method](Args... a) { (Object->*Method)(a...); });
}
template <class T>
void BindNotify(THandlerTable& Handlers, const char* Name, T* Object, void (T::*Method)(TObject*)) {
    BindHandler<TNotifyEvent>(Handlers, Name, Object, Method);
}

// Gives DefineProperties readers the value being read.
class TReader : public TFiler {
public:
    void DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) override;
    void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                              bool HasData) override;

    const TFormValue& Value() const { return *FValue; }
    std::string ReadString() const;
    int64_t ReadInteger() const;
    long double ReadFloat() const;
    bool ReadBoolean() const;
    std::string ReadIdent() const;

private:
    friend class TFormReader;
    std::string FName;
    const TFormValue* FValue = nullptr;
    bool FHandled = false;
};

class TWriter : public TFiler {};

// Named integer constants a definition may use in place of numbers (clWindow, crHandPoint).
void RegisterIntConstant(const std::string& name, int64_t value);
bool IdentToInt(const std::string& name, int64_t& value);

class TFormReader {
public:
    TFormReader(TComponent* root, const THandlerTable& handlers);
    // Reads the definition into the root; raises EParserError or EPropertyError
    // naming the component and property at fault.
    void Read(const TFormObject& definition);

private:
    struct Fixup {
        TObject* target;
        const TPropInfo* prop;
        std::string name;
        std::string where;
    };

    TComponent* FRoot;
    const THandlerTable& FHandlers;
    std::vector<TComponent*> FLoaded;
    std::vector<Fixup> FFixups;

    void ReadChildren(const TFormObject& def, TComponent* container);
    void ApplyProperties(TObject* obj, const std::vector<TFormProperty>& props, const std::string& where);
    void ApplyProperty(TObject* obj, const std::string& path, const TFormValue& value, const std::string& where);
    void ApplyValue(TObject* obj, const TPropInfo& prop, const TFormValue& value, const std::string& where);
    bool ApplyDefined(TObject* obj, const std::string& name, const TFormValue& value);
    void ResolveFixups();
};

// Parses the text and reads it into root.
void ReadComponentFromText(TComponent* root, const std::string& text, const THandlerTable& handlers = {});
