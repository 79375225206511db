#pragma once
// Recent-files menu: a list of recently used file names, most recent first,
// mirrored as menu items inside one menu item of the form. Clicking an item
// reports its text and then moves it to the top (or removes it).

#include <functional>
#include <memory>
#include <vector>
#include <string>

#include "Menus.h"
#include "entbase.h"

class TEntAbstractStore;

enum TEntMRUAddPosition { apAnchor, apTop, apBottom };
enum TEntMRUOption { moAddAccelerators, moStripPath, moAddSeparator };
using TEntMRUOptions = Set<TEntMRUOption>;
enum TEntMRUStyle { msNormal, msSplit };
enum TEntMRUClickAction { caMoveToTop, caRemove };

using TEntMRUClickEvent = std::function<void(TObject* Sender, const std::string& ItemText, TEntMRUClickAction& Action)>;

class TEntMenuMRU : public TEntComponent {
public:
    explicit TEntMenuMRU(TComponent* AOwner);
    ~TEntMenuMRU() override;

    // Puts a name at the top; an entry equal to it (letter case ignored) moves up
    // instead of doubling; the oldest falls off beyond MaxItems.
    void Add(const std::string& FileName);
    // Adds to the upper (apTop) or lower (apBottom) half of a split list.
    void AddSplit(const std::string& FileName, TEntMRUAddPosition Position);
    void Clear();
    // Builds the generated items under MenuItem again.
    void RebuildMenu();

    TEntMRUAddPosition AddPosition = apAnchor;
    TMenuItem* GetAnchorItem() const { return FAnchorItem; }
    void SetAnchorItem(TMenuItem* Value);
    bool GetEnabled() const { return FEnabled; }
    void SetEnabled(bool Value);
    int GetGroupIndex() const { return FGroupIndex; }
    void SetGroupIndex(int Value);
    std::string GetHint() const { return FHint; }
    void SetHint(const std::string& Value);
    TStringList* GetItems() const { return FItems.get(); }
    void SetItems(TStrings* Value);
    int GetMaxItems() const { return FMaxItems; }
    void SetMaxItems(int Value);
    int GetMaxMenuWidth() const { return FMaxMenuWidth; }
    void SetMaxMenuWidth(int Value);
    TMenuItem* GetMenuItem() const { return FMenuItem; }
    void SetMenuItem(TMenuItem* Value);
    TEntMRUOptions GetOptions() const { return FOptions; }
    void SetOptions(TEntMRUOptions Value);
    TEntAbstractStore* GetStore() const { return FStore; }
    void SetStore(TEntAbstractStore* Value);
    TEntMRUStyle GetStyle() const { return FStyle; }
    void SetStyle(TEntMRUStyle Value);
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);

    TEntMRUClickEvent OnClick;

    // The caption an entry gets as the n-th numbered item (n from 1).
    std::string ItemCaption(const std::string& Text, int Number) const;
    // What a click on the generated item for entry Index does.
    void ItemClicked(int Index);

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    bool CanRebuild() const;
    void ItemsChanged(TObject* Sender);
    // Runs Change with the list's own rebuilds held back, then rebuilds the menu once.
    void EditItems(const std::function<void()>& Change);
    std::string GeneratedPrefix() const { return "EntMRU" + GetName(); }
    std::string StoreSection() const;
    void LoadFromStore();
    void SaveToStore();
    int SeparatorIndex() const;

    std::unique_ptr<TStringList> FItems;
    TMenuItem* FAnchorItem = nullptr;
    TMenuItem* FMenuItem = nullptr;
    TEntAbstractStore* FStore = nullptr;
    bool FEnabled = true;
    int FGroupIndex = 0;
    std::string FHint;
    int FMaxItems = 4;
    int FMaxMenuWidth = 0;
    TEntMRUOptions FOptions{moAddAccelerators, moAddSeparator};
    TEntMRUStyle FStyle = msNormal;
    bool FVisible = true;
    bool FUsedUpper = false;
    bool FUsedLower = false;
    int FSuppress = 0;
    // Generated items taken out while an item's click runs: the clicked one
    // must outlive its own click, so they are freed once it has returned.
    void RetireItem(TMenuItem* Item);
    void FreeRetiredItems();
    std::vector<std::unique_ptr<TMenuItem>> FRetired;
    int FClicking = 0;
    std::shared_ptr<bool> FAlive = std::make_shared<bool>(true);
};

void RegisterEntMenuMRUClasses();
