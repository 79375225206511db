// Notebooks and their pages.

#include "ExtCtrls.h"

#include "Forms.h"

#include <algorithm>

// The page names as a string list: editing the list edits the pages.
class TNotebookPages : public TStrings {
public:
    explicit TNotebookPages(TNotebook* Notebook) : FNotebook(Notebook) {}
    int Count() const override { return FNotebook->PageCount(); }
    std::string Get(int Index) const override {
        CheckIndex(Index, Count());
        return FNotebook->Page(Index)->GetCaption();
    }
    void Put(int Index, const std::string& S) override {
        CheckIndex(Index, Count());
        FNotebook->RenamePage(Index, S);
    }
    TObject* GetObject(int Index) const override {
        CheckIndex(Index, Count());
        return FNotebook->Page(Index);
    }
    void Insert(int Index, const std::string& S) override {
        if (Index < 0 || Index > Count()) Error("List index out of bounds (%d)", Index);
        FNotebook->NewPage(S, Index);
    }
    void Delete(int Index) override {
        CheckIndex(Index, Count());
        FNotebook->DeletePage(Index);
    }
    void Clear() override {
        while (Count() > 0) FNotebook->DeletePage(Count() - 1);
    }
    void Move(int CurIndex, int NewIndex) override {
        CheckIndex(CurIndex, Count());
        CheckIndex(NewIndex, Count());
        FNotebook->MovePage(CurIndex, NewIndex);
    }

private:
    TNotebook* FNotebook;
};

// ---------------------------------------------------------------------------
// TPage

TPage::TPage(TComponent* AOwner) : TCustomControl(AOwner) {
    ControlStyle += csAcceptsControls;
    FVisible = false;
    FAlign = alClient;
}

TPage::~TPage() {
    if (FNotebook) FNotebook->RemovePage(this);
}

void TPage::SetParentComponent(TComponent* Value) {
    if (auto* nb = dynamic_cast<TNotebook*>(Value)) {
        // A definition's pages replace the pages the notebook was made with.
        if (nb->ComponentState.Contains(csReading) && !nb->FReadPagesCleared) {
            nb->FReadPagesCleared = true;
            nb->FPageNames->Clear();
        }
        nb->AddPage(this);
        return;
    }
    TCustomControl::SetParentComponent(Value);
}

void TPage::Paint() {}

void TPage::CMTextChanged(TMessage& Message) {
    TCustomControl::CMTextChanged(Message);
    if (FNotebook) FNotebook->Invalidate();
}

// ---------------------------------------------------------------------------
// TNotebook

TNotebook::TNotebook(TComponent* AOwner) : TCustomControl(AOwner), FPageNames(std::make_unique<TNotebookPages>(this)) {
    FWidth = 150;
    FHeight = 150;
    FTabStop = false;
    NewPage("Default", 0);
    SetPageIndex(0);
}

TNotebook::~TNotebook() {
    for (TPage* p : FPages) p->FNotebook = nullptr;
    FPages.clear();
}

void TNotebook::SetPages(TStrings* Value) { FPageNames->Assign(Value); }

TPage* TNotebook::NewPage(const std::string& Name, int Index) {
    auto* page = new TPage(this);
    page->SetText(Name);
    page->FNotebook = this;
    Index = std::clamp(Index, 0, PageCount());
    FPages.insert(FPages.begin() + Index, page);
    if (FPageIndex >= Index) ++FPageIndex;
    page->SetParent(this);
    ShowOnlyActive();
    return page;
}

void TNotebook::AddPage(TPage* Page) {
    if (std::find(FPages.begin(), FPages.end(), Page) != FPages.end()) return;
    Page->FNotebook = this;
    FPages.push_back(Page);
    Page->SetVisible(false);
    Page->SetParent(this);
    Page->SetAlign(alClient);
}

void TNotebook::RemovePage(TPage* Page) {
    auto it = std::find(FPages.begin(), FPages.end(), Page);
    if (it == FPages.end()) return;
    int index = int(it - FPages.begin());
    FPages.erase(it);
    Page->FNotebook = nullptr;
    if (index < FPageIndex)
        --FPageIndex;
    else if (index == FPageIndex) {
        FPageIndex = -1;
        if (!ComponentState.Contains(csDestroying) && !FPages.empty()) SetPageIndex(std::min(index, PageCount() - 1));
    }
}

void TNotebook::DeletePage(int Index) {
    TPage* page = FPages.at(size_t(Index));
    RemovePage(page);
    delete page;
}

void TNotebook::MovePage(int CurIndex, int NewIndex) {
    if (CurIndex == NewIndex) return;
    TPage* active = FPageIndex >= 0 ? FPages[size_t(FPageIndex)] : nullptr;
    TPage* page = FPages[size_t(CurIndex)];
    FPages.erase(FPages.begin() + CurIndex);
    FPages.insert(FPages.begin() + NewIndex, page);
    if (active) FPageIndex = int(std::find(FPages.begin(), FPages.end(), active) - FPages.begin());
}

void TNotebook::RenamePage(int Index, const std::string& Name) { FPages.at(size_t(Index))->SetText(Name); }

std::string TNotebook::GetActivePage() const {
    return FPageIndex >= 0 && FPageIndex < PageCount() ? FPages[size_t(FPageIndex)]->GetCaption() : "";
}

void TNotebook::SetActivePage(const std::string& Value) {
    if (ComponentState.Contains(csLoading)) {
        FLoadedActivePage = Value;
        return;
    }
    int index = FPageNames->IndexOf(Value);
    if (index >= 0) SetPageIndex(index);
}

void TNotebook::SetPageIndex(int Value) {
    if (ComponentState.Contains(csLoading)) {
        FPageIndex = Value;
        return;
    }
    if (Value == FPageIndex || Value < 0 || Value >= PageCount()) return;
    TForm* form = GetParentForm(this);
    // The focus leaves a page that goes away.
    if (form && form->GetActiveControl() && ContainsControl(form->GetActiveControl()) && CanFocus())
        form->SetActiveControl(this);
    FPageIndex = Value;
    ShowOnlyActive();
    PageChanged();
}

void TNotebook::ShowOnlyActive() {
    for (int i = 0; i < PageCount(); ++i) {
        TPage* p = FPages[size_t(i)];
        if (i == FPageIndex) {
            p->BringToFront();
            p->SetVisible(true);
            if (HandleAllocated()) p->HandleNeeded();
        } else if (p->GetVisible() || p->HandleAllocated()) {
            p->SetVisible(false);
            // A hidden page gives up its window; showing it makes a new one from its state.
            p->DestroyHandle();
        }
    }
}

void TNotebook::PageChanged() {
    if (OnPageChanged) OnPageChanged(this);
}

void TNotebook::Loaded() {
    TCustomControl::Loaded();
    FReadPagesCleared = false;
    int index = FPageIndex;
    if (!FLoadedActivePage.empty()) {
        int named = FPageNames->IndexOf(FLoadedActivePage);
        if (named >= 0) index = named;
        FLoadedActivePage.clear();
    }
    FPageIndex = index >= 0 && index < PageCount() ? index : -1;
    ShowOnlyActive();
}

void TNotebook::Paint() {}
