#pragma once
// The object model (TObject, TPersistent, TComponent), string lists, streams
// and collections: the non-window base every other unit stands on.

#include "Exceptions.h"
#include "Types.h"

#include <cstdint>
#include <functional>
#include <string>
#include <typeinfo>
#include <vector>

// The class name of a type without namespaces ("EConvertError").
std::string DemangledClassName(const std::type_info& type);

// Objects are referred to by pointer and have identity (owners, events,
// windows): none of them can be copied or assigned. TPersistent::Assign
// copies state where a class allows it.
class TObject {
public:
    TObject() = default;
    TObject(const TObject&) = delete;
    TObject& operator=(const TObject&) = delete;
    virtual ~TObject();
    // Runs while the whole object still exists, just before it is freed by
    // its owner or released (a form's OnDestroy goes here). Objects freed
    // directly call it first thing in their own destructor.
    virtual void BeforeDestruction() {}
    // Unqualified name of the dynamic type, as declared ("TStringList").
    std::string ClassName() const;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

class TPersistent;
class TComponent;
class TStream;
class TReader;  // property readers and writers of the window-definition layer
class TWriter;

using TReaderProc = std::function<void(TReader* Reader)>;
using TWriterProc = std::function<void(TWriter* Writer)>;
using TStreamProc = std::function<void(TStream* Stream)>;

// Lets a persistent object store data that has no published property.
class TFiler : public TObject {
public:
    virtual void DefineProperty(const std::string& Name, TReaderProc ReadData, TWriterProc WriteData, bool HasData) = 0;
    virtual void DefineBinaryProperty(const std::string& Name, TStreamProc ReadData, TStreamProc WriteData,
                                      bool HasData) = 0;
    TComponent* Root = nullptr;
    TPersistent* Ancestor = nullptr;
};

class TPersistent : public TObject {
public:
    // Copies Source into this object; falls back to Source->AssignTo(this).
    virtual void Assign(TPersistent* Source);
    virtual void DefineProperties(TFiler* Filer) {}
    // Copies this object into Dest; the base raises "Cannot assign a X to a Y".
    virtual void AssignTo(TPersistent* Dest);
    virtual TPersistent* GetOwner() const { return nullptr; }

protected:
    // Raises EConvertError for an assignment from Source that nobody supports.
    [[noreturn]] void AssignError(const TPersistent* Source) const;
};

// ---------------------------------------------------------------------------
// Components

enum TComponentStateFlag {
    csLoading,
    csReading,
    csWriting,
    csDestroying,
    csDesigning,
    csAncestor,
    csUpdating,
    csFixups,
    csFreeNotification,
    csInline,
    csDesignInstance
};
using TComponentState = Set<TComponentStateFlag>;

enum TOperation { opInsert, opRemove };

// A component is owned by its owner and freed with it. Components are created
// with new; the owner (or, without owner, the creator) deletes them.
class TComponent : public TPersistent {
public:
    explicit TComponent(TComponent* AOwner);
    ~TComponent() override;
    TComponent(const TComponent&) = delete;
    TComponent& operator=(const TComponent&) = delete;

    // Read-only view of the owner; changed only through Insert/RemoveComponent.
    TComponent* const& Owner = FOwner;
    TPersistent* GetOwner() const override { return FOwner; }

    int ComponentCount() const { return static_cast<int>(FComponents.size()); }
    TComponent* Components(int Index) const;
    // Position in the owner's list, -1 without owner.
    int ComponentIndex() const;
    void SetComponentIndex(int Value);

    const std::string& GetName() const { return FName; }
    // Raises EComponentError when the name is not an identifier or another
    // component of the owner already has it (letter case ignored).
    virtual void SetName(const std::string& NewName);

    intptr_t Tag = 0;
    TComponentState ComponentState;

    // Called once the component's properties are read; clears csLoading.
    virtual void Loaded();
    // The reader places a component inside the one whose definition holds it
    // (a control inside its parent window); non-visual components ignore it.
    virtual void SetParentComponent(TComponent* Value) {}
    virtual TComponent* GetParentComponent() const { return nullptr; }
    // Told about components inserted into or removed from the owner and about
    // destroyed free-notification subscriptions; passes it on to owned components.
    virtual void Notification(TComponent* AComponent, TOperation Operation);
    // AComponent learns through Notification(this, opRemove) when this one is destroyed.
    void FreeNotification(TComponent* AComponent);
    void RemoveFreeNotification(TComponent* AComponent);

    TComponent* FindComponent(const std::string& AName) const;
    void InsertComponent(TComponent* AComponent);
    void RemoveComponent(TComponent* AComponent);
    // Frees every owned component, the last first. Derived destructors call it
    // when owned components must go while the derived part still exists.
    void DestroyComponents();
    // Marks this component and everything it owns as being destroyed.
    void Destroying();

protected:
    virtual void ValidateRename(TComponent* AComponent, const std::string& CurName, const std::string& NewName);
    virtual void ValidateInsert(TComponent* AComponent) {}
    virtual void ValidateContainer(TComponent* AComponent) { AComponent->ValidateInsert(this); }
    // Sets the name without any check (the reader's fix-up path).
    virtual void ChangeName(const std::string& NewName) { FName = NewName; }
    void SetDesigning(bool Value, bool SetChildren = true);

private:
    void Insert(TComponent* AComponent);
    void Remove(TComponent* AComponent);

    TComponent* FOwner = nullptr;
    std::string FName;
    std::vector<TComponent*> FComponents;
    std::vector<TComponent*> FFreeNotifies;
};

// True for a letter or underscore followed by letters, digits and underscores.
bool IsValidIdent(const std::string& Ident);

// ---------------------------------------------------------------------------
// String lists

enum TDuplicates { dupIgnore, dupAccept, dupError };

class TStrings : public TPersistent {
public:
    virtual int Count() const = 0;
    virtual std::string Get(int Index) const = 0;
    virtual void Put(int Index, const std::string& S);
    std::string operator[](int Index) const { return Get(Index); }
    std::string Strings(int Index) const { return Get(Index); }
    TObject* Objects(int Index) const { return GetObject(Index); }
    virtual TObject* GetObject(int Index) const { return nullptr; }
    virtual void PutObject(int Index, TObject* AObject) {}

    virtual int Add(const std::string& S);
    virtual int AddObject(const std::string& S, TObject* AObject);
    virtual void Insert(int Index, const std::string& S) = 0;
    void InsertObject(int Index, const std::string& S, TObject* AObject);
    virtual void Delete(int Index) = 0;
    virtual void Clear() = 0;
    virtual void Exchange(int Index1, int Index2);
    virtual void Move(int CurIndex, int NewIndex);
    void AddStrings(const TStrings* Strings);
    void Append(const std::string& S) { Add(S); }

    virtual int IndexOf(const std::string& S) const;
    int IndexOfName(const std::string& Name) const;
    int IndexOfObject(const TObject* AObject) const;
    bool Equals(const TStrings* Strings) const;

    // "name=value" rows.
    std::string Names(int Index) const;
    std::string ValueFromIndex(int Index) const;
    std::string Values(const std::string& Name) const;
    // Sets the value of Name; an empty value deletes the row.
    void SetValue(const std::string& Name, const std::string& Value);

    // Every line followed by CR LF; reading splits at CR LF, LF or CR.
    virtual std::string GetText() const;
    virtual void SetText(const std::string& Value);
    // Items quoted where they hold a blank, a comma or a quote (quotes doubled).
    std::string GetCommaText() const { return JoinDelimited(',', '"'); }
    void SetCommaText(const std::string& Value) { SplitDelimited(Value, ',', '"'); }
    std::string GetDelimitedText() const { return JoinDelimited(Delimiter, QuoteChar); }
    void SetDelimitedText(const std::string& Value) { SplitDelimited(Value, Delimiter, QuoteChar); }
    char Delimiter = ',';
    char QuoteChar = '"';

    void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    void Assign(TPersistent* Source) override;
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName) const;
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream) const;

protected:
    // Negative, zero or positive; the base compares without regard to case.
    virtual int CompareStrings(const std::string& S1, const std::string& S2) const;
    virtual void SetUpdateState(bool Updating) {}
    [[noreturn]] void Error(const std::string& Fmt, int Data) const;
    void CheckIndex(int Index, int Limit) const;

private:
    std::string JoinDelimited(char Delim, char Quote) const;
    void SplitDelimited(const std::string& Value, char Delim, char Quote);
    int FUpdateCount = 0;
};

class TStringList : public TStrings {
public:
    TStringList() = default;
    ~TStringList() override;

    int Count() const override { return static_cast<int>(FList.size()); }
    std::string Get(int Index) const override;
    void Put(int Index, const std::string& S) override;
    TObject* GetObject(int Index) const override;
    void PutObject(int Index, TObject* AObject) override;

    int Add(const std::string& S) override;
    int AddObject(const std::string& S, TObject* AObject) override;
    void Insert(int Index, const std::string& S) override;
    void Delete(int Index) override;
    void Clear() override;
    void Exchange(int Index1, int Index2) override;
    int IndexOf(const std::string& S) const override;

    // Binary search of a sorted list: true when S is there, Index = where it
    // is (its first occurrence) or where it would go.
    bool Find(const std::string& S, int& Index) const;
    virtual void Sort();
    void CustomSort(const std::function<int(TStringList* List, int Index1, int Index2)>& Compare);

    bool GetSorted() const { return FSorted; }
    void SetSorted(bool Value);
    bool GetCaseSensitive() const { return FCaseSensitive; }
    void SetCaseSensitive(bool Value);
    TDuplicates Duplicates = dupIgnore;
    // Deletes the objects with the strings.
    bool OwnsObjects = false;

    TNotifyEvent OnChange;
    TNotifyEvent OnChanging;

protected:
    int CompareStrings(const std::string& S1, const std::string& S2) const override;
    void SetUpdateState(bool Updating) override;
    virtual void Changed();
    virtual void Changing();
    void InsertItem(int Index, const std::string& S, TObject* AObject);

private:
    struct Item {
        std::string Str;
        TObject* Obj = nullptr;
    };
    std::vector<Item> FList;
    bool FSorted = false;
    bool FCaseSensitive = false;
};

// Case-insensitive comparison used by string lists and component names:
// ASCII folds directly, other UTF-8 text by Unicode case folding.
int CompareTextUtf8(const std::string& S1, const std::string& S2);

// ---------------------------------------------------------------------------
// Streams

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

class TStream : public TObject {
public:
    virtual int64_t Read(void* Buffer, int64_t Count) = 0;
    virtual int64_t Write(const void* Buffer, int64_t Count) = 0;
    virtual int64_t Seek(int64_t Offset, TSeekOrigin Origin) = 0;

    int64_t GetPosition() { return Seek(0, soCurrent); }
    void SetPosition(int64_t Pos) { Seek(Pos, soBeginning); }
    virtual int64_t GetSize();
    virtual void SetSize(int64_t NewSize);

    // Read or write exactly Count bytes, else EReadError / EWriteError.
    void ReadBuffer(void* Buffer, int64_t Count);
    void WriteBuffer(const void* Buffer, int64_t Count);
    // Copies Count bytes from Source's position; Count 0 copies all of Source.
    int64_t CopyFrom(TStream* Source, int64_t Count);

    // Little-endian values.
    uint8_t ReadByte();
    uint16_t ReadWord();
    int16_t ReadInt16();
    int32_t ReadInt32();
    uint32_t ReadUInt32();
    int64_t ReadInt64();
    float ReadSingle();
    double ReadDouble();
    // 80-bit extended (64-bit mantissa with explicit integer bit, 15-bit exponent).
    long double ReadExtended();
    void WriteByte(uint8_t Value);
    void WriteWord(uint16_t Value);
    void WriteInt16(int16_t Value);
    void WriteInt32(int32_t Value);
    void WriteUInt32(uint32_t Value);
    void WriteInt64(int64_t Value);
    void WriteSingle(float Value);
    void WriteDouble(double Value);
    void WriteExtended(long double Value);
};

// The 10 bytes of the 80-bit format, and back; portable to any long double.
void ExtendedToBytes(long double Value, uint8_t Bytes[10]);
long double BytesToExtended(const uint8_t Bytes[10]);

class TMemoryStream : public TStream {
public:
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    int64_t GetSize() override { return static_cast<int64_t>(FData.size()); }
    void SetSize(int64_t NewSize) override;

    uint8_t* Memory() { return FData.data(); }
    const uint8_t* Memory() const { return FData.data(); }
    void Clear();
    void LoadFromStream(TStream* Stream);
    void SaveToStream(TStream* Stream);
    void LoadFromFile(const std::string& FileName);
    void SaveToFile(const std::string& FileName);

private:
    std::vector<uint8_t> FData;
    int64_t FPosition = 0;
};

enum : uint16_t {
    fmOpenRead = 0x0000,
    fmOpenWrite = 0x0001,
    fmOpenReadWrite = 0x0002,
    fmShareCompat = 0x0000,
    fmShareExclusive = 0x0010,
    fmShareDenyWrite = 0x0020,
    fmShareDenyRead = 0x0030,
    fmShareDenyNone = 0x0040,
    fmCreate = 0xFF00,
};

class TFileStream : public TStream {
public:
    // fmCreate creates or truncates; the share flags are accepted and ignored.
    TFileStream(const std::string& FileName, uint16_t Mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    const std::string& FileName() const { return FFileName; }

private:
    std::string FFileName;
    int FHandle = -1;
};

class TStringStream : public TStream {
public:
    explicit TStringStream(std::string AString = {}) : FDataString(std::move(AString)) {}
    int64_t Read(void* Buffer, int64_t Count) override;
    int64_t Write(const void* Buffer, int64_t Count) override;
    int64_t Seek(int64_t Offset, TSeekOrigin Origin) override;
    void SetSize(int64_t NewSize) override;
    const std::string& DataString() const { return FDataString; }
    std::string ReadString(int64_t Count);
    void WriteString(const std::string& S) { Write(S.data(), static_cast<int64_t>(S.size())); }

private:
    std::string FDataString;
    int64_t FPosition = 0;
};

// ---------------------------------------------------------------------------
// Collections

class TCollection;

class TCollectionItem : public TPersistent {
public:
    explicit TCollectionItem(TCollection* Collection);
    ~TCollectionItem() override;
    TCollectionItem(const TCollectionItem&) = delete;
    TCollectionItem& operator=(const TCollectionItem&) = delete;

    TCollection* GetCollection() const { return FCollection; }
    void SetCollection(TCollection* Value);
    int GetIndex() const;
    virtual void SetIndex(int Value);
    int ID() const { return FID; }
    virtual std::string GetDisplayName() const { return ClassName(); }
    TPersistent* GetOwner() const override;

protected:
    // Tells the collection that this item (or, with AllItems, every item) changed.
    void Changed(bool AllItems);

private:
    friend class TCollection;
    TCollection* FCollection = nullptr;
    int FID = 0;
};

// Creates an item of the collection's item class inside the given collection.
using TCollectionItemClass = std::function<TCollectionItem*(TCollection*)>;

template <typename T>
TCollectionItemClass CollectionItemClass() {
    return [](TCollection* C) -> TCollectionItem* { return new T(C); };
}

class TCollection : public TPersistent {
public:
    explicit TCollection(TCollectionItemClass ItemClass);
    ~TCollection() override;
    TCollection(const TCollection&) = delete;
    TCollection& operator=(const TCollection&) = delete;

    TCollectionItem* Add();
    TCollectionItem* Insert(int Index);
    int Count() const { return static_cast<int>(FItems.size()); }
    TCollectionItem* Items(int Index) const;
    // Assigns Value to the item at Index.
    void SetItem(int Index, TCollectionItem* Value);
    void Delete(int Index);
    void Clear();
    TCollectionItem* FindItemID(int ID) const;
    const TCollectionItemClass& ItemClass() const { return FItemClass; }

    virtual void BeginUpdate() { ++FUpdateCount; }
    virtual void EndUpdate();
    int UpdateCount() const { return FUpdateCount; }

    void Assign(TPersistent* Source) override;

protected:
    // Item changed, or every item when Item is null; not called while updating.
    virtual void Update(TCollectionItem* Item) {}
    void Changed();

private:
    friend class TCollectionItem;
    void InsertItem(TCollectionItem* Item);
    void RemoveItem(TCollectionItem* Item);

    TCollectionItemClass FItemClass;
    std::vector<TCollectionItem*> FItems;
    int FUpdateCount = 0;
    int FNextID = 0;
};

// A collection that reports an owner (for name paths and the property reader).
class TOwnedCollection : public TCollection {
public:
    TOwnedCollection(TPersistent* AOwner, TCollectionItemClass ItemClass)
        : TCollection(std::move(ItemClass)), FOwner(AOwner) {}
    TPersistent* GetOwner() const override { return FOwner; }

private:
    TPersistent* FOwner;
};

// Runs Body between Target's BeginUpdate and EndUpdate (string lists,
// collections); EndUpdate runs however Body ends, and an exception from it
// still reaches the caller, which a destructor could not let happen.
template <typename T, typename F>
void WithinUpdate(T* Target, F&& Body) {
    Target->BeginUpdate();
    try {
        Body();
    } catch (...) {
        Target->EndUpdate();
        throw;
    }
    Target->EndUpdate();
}
