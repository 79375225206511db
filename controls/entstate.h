#pragma once
// Component state store: chosen published properties of a form's components
// kept in a section/key/value store between runs.
//
//   TEntAbstractStore   the store: sections, keys and text values, opened and
//                       closed around every save or restore
//   TEntIniFileStore    the store over an INI file
//   TEntComponentState  hooks its form's creation, close query and destruction:
//                       restores the listed properties ("component.property")
//                       after the form's own OnCreate and saves them once the
//                       form may close

#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "Forms.h"
#include "entbase.h"

class TIniFile;

class TEntAbstractStore : public TEntComponent {
public:
    explicit TEntAbstractStore(TComponent* AOwner) : TEntComponent(AOwner) {}

    // Nested: only the first Open opens, only the last Close closes.
    void Open();
    void Close();
    int OpenCount() const { return FOpenCount; }
    // Runs Work with the store open and closes it again, also when Work throws.
    void WhileOpen(const std::function<void()>& Work);

    virtual std::string ReadString(const std::string& Section, const std::string& Key, const std::string& Default) = 0;
    virtual void WriteString(const std::string& Section, const std::string& Key, const std::string& Value) = 0;
    virtual void EraseSection(const std::string& Section) {}
    // The default for a missing key or a text that is no integer.
    int ReadInteger(const std::string& Section, const std::string& Key, int Default);
    void WriteInteger(const std::string& Section, const std::string& Key, int Value);

protected:
    virtual void DoOpen() = 0;
    virtual void DoClose() = 0;

private:
    int FOpenCount = 0;
};

class TEntIniFileStore : public TEntAbstractStore {
public:
    explicit TEntIniFileStore(TComponent* AOwner);
    ~TEntIniFileStore() override;

    // Empty: the program's own name with ".INI"; outside design time a name
    // without "." gets ".INI" appended.
    std::string GetIniFileName() const;
    void SetIniFileName(const std::string& Value) { FIniFileName = Value; }
    // The file lives in the program's settings folder (any folder in the name is dropped).
    bool UseExeDir = false;
    // The file the store opens.
    std::string ResolvedFileName() const;
    bool IsOpen() const { return FIni != nullptr; }

    std::string ReadString(const std::string& Section, const std::string& Key, const std::string& Default) override;
    void WriteString(const std::string& Section, const std::string& Key, const std::string& Value) override;
    void EraseSection(const std::string& Section) override;

protected:
    void DoOpen() override;
    void DoClose() override;

private:
    std::string FIniFileName;
    std::unique_ptr<TIniFile> FIni;
};

class TEntAbstractState : public TEntComponent {
public:
    // The owner must be a form.
    explicit TEntAbstractState(TComponent* AOwner);
    ~TEntAbstractState() override;

    bool Active = true;
    // The stored section, or the owning form's class name when none is stored.
    std::string GetSection() const;
    void SetSection(const std::string& Value) { FSection = Value; }
    const std::string& StoredSection() const { return FSection; }
    TEntAbstractStore* GetStorage() const { return FStorage; }
    void SetStorage(TEntAbstractStore* Value);

    TNotifyEvent OnSaveState;
    TNotifyEvent OnRestoreState;

    virtual void RestoreState() {}
    virtual void SaveState() {}
    // The hooked steps, also callable directly.
    void DoRestore();
    void DoSave();
    bool Restored() const { return FRestored; }
    bool Saved() const { return FSaved; }

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    TForm* OwnerForm() const;
    TEntAbstractStore* FStorage = nullptr;

private:
    void FormCreate(TObject* Sender);
    void FormCloseQuery(TObject* Sender, bool& CanClose);
    void FormDestroy(TObject* Sender);

    std::string FSection;
    bool FRestored = false;
    bool FSaved = false;
    bool FHooked = false;
    TNotifyEvent FPrevOnCreate;
    TNotifyEvent FPrevOnDestroy;
    TCloseQueryEvent FPrevOnCloseQuery;
};

class TEntComponentState : public TEntAbstractState {
public:
    explicit TEntComponentState(TComponent* AOwner);
    ~TEntComponentState() override;

    // "component.property" entries; the objects hold the linked components.
    TStringList* GetStoredProperties() const { return FStoredProperties.get(); }
    void SetStoredProperties(TStrings* Value);

    void RestoreState() override;
    void SaveState() override;
    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

    // Drops malformed entries and links the rest to the form's components.
    void LinkEntries();

private:
    // Every entry named after its linked component's current name; unlinked ones dropped.
    void RenameEntries();
    void Transfer(bool Saving);

    std::unique_ptr<TStringList> FStoredProperties;
};

// Splits "component.property" at the first "."; both parts trimmed; false when either is empty.
bool ParseStateEntry(const std::string& Entry, std::string& Component, std::string& Property);

// Moves one published property of Instance through Store: string lists in a
// section of their own ("<Section>.<Key>" with Count and Item0..), nested objects
// key by key (prefix + name, no "."), other values under Key in Section.
void WriteStoredProperty(TEntAbstractStore* Store, const std::string& Section, const std::string& Prefix,
                         TObject* Instance, const std::string& PropName);
void ReadStoredProperty(TEntAbstractStore* Store, const std::string& Section, const std::string& Prefix,
                        TObject* Instance, const std::string& PropName);

void RegisterEntStateClasses();
