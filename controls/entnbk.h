#pragma once
// The tabbed notebook: pages (TEntTabPage) kept in a page collection, one shown
// at a time, with a strip of tabs along one of the four sides in one or more
// rows. Pages change by a click on a tab, by the arrow keys (through the entry
// controller's command table), by a caption accelerator or by PageIndex.
//
// Model and input in entnbk.cpp, layout in entnbkLayout.cpp, painting in entnbkPaint.cpp.

#include <functional>
#include <memory>
#include <string>

#include "Controls.h"
#include "Graphics.h"
#include "entbase.h"

class TEntNotebook;

enum TEntTabOrientation { toTop, toRight, toBottom, toLeft };
enum TTabTextOrientation { ttoHorizontal, ttoVerticalRight, ttoVerticalLeft };

// OnTabClick, OnPageChanged and OnMouseOverTab.
using TTabClickEvent = std::function<void(TObject* Sender, int Index)>;
using TPageChangeEvent = std::function<void(TObject* Sender, int Index, bool& AllowChange)>;
using TDrawTabEvent = std::function<void(TObject* Sender, int Index, const std::string& Title, const TRect& R,
                                         bool Enabled, bool Active)>;
using TUserCommandEvent = std::function<void(TObject* Sender, Word Command)>;

class TEntTabPage : public TEntCollectibleControl {
public:
    // The owner is a TEntNotebook (or, while a window definition is read, the
    // window; the page then joins the notebook its definition sits in).
    explicit TEntTabPage(TComponent* AOwner);
    ~TEntTabPage() override;

    void SetCaption(const std::string& Value);
    std::string GetCaption() const { return GetText(); }
    bool GetPageVisible() const { return FPageVisible; }
    void SetPageVisible(bool Value);
    TColor GetTabColor() const { return FTabColor; }
    void SetTabColor(TColor Value);
    TColor GetTextColor() const { return FTextColor; }
    void SetTextColor(TColor Value);

    TEntNotebook* Notebook() const;
    int PageIndex() const;
    // Set while the notebook paints and lays out the tabs.
    TRect TabRect() const { return FTabRect; }
    int TabRow() const { return FTabRow; }
    int TabWidth() const { return FTabWidth; }

    std::string GetBaseName() const override;
    std::string GetDisplayText() const override;
    void SetParentComponent(TComponent* Value) override;

    // Old window definitions place pages and give them a cursor and tab order;
    // the notebook places its pages, so these values are read and dropped.
    int ZeroValue() const { return 0; }
    void IgnoreValue(int) {}
    void IgnoreFlag(bool) {}

protected:
    void CMEnabledChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;

private:
    friend class TEntNotebook;
    void JoinedNotebook();

    bool FPageVisible = true;
    TColor FTabColor = clBtnFace;
    TColor FTextColor = clBtnText;
    TRect FTabRect;
    int FTabRow = 0;
    int FTabWidth = 65;
};

class TEntNotebook : public TEntCustomControlEx {
public:
    explicit TEntNotebook(TComponent* AOwner);
    ~TEntNotebook() override;

    // ---- Pages -----------------------------------------------------------------
    TEntCollection* PageCollection() const { return FPageCollection.get(); }
    int PageCount() const;
    TEntTabPage* Pages(int Index) const;
    int IndexOfPage(const TEntTabPage* Page) const;
    // Raises EInvalidPageIndex for a page that cannot be selected.
    int GetPageIndex() const { return FPageIndex; }
    void SetPageIndex(int Value);
    TEntTabPage* GetActivePage() const;
    void SetActivePage(TEntTabPage* Page);
    // Selects the page that holds the control (the control is about to be shown).
    void ShowControl(TControl* Control);

    // In range, enabled and PageVisible (the last two not asked at design time).
    bool IsSelectable(int Index) const;
    // The wrapping searches of the arrow keys; -1 when no other page qualifies.
    int NextSelectable(int Index) const;
    int PrevSelectable(int Index) const;

    // ---- Layout ----------------------------------------------------------------
    // Tab height, rows and each page's row and tab width.
    void LayoutTabs();
    // Gives every page the area beside the tab strip.
    void PlacePages();
    // The rectangle in which the page's tab caption sits (empty without tabs).
    TRect GetTabTextRect(int Index) const;
    TRect GetTabRect(int Index) const;
    int RowCount() const { return FRowCount; }
    int LastRow() const { return FLastRow; }
    int ActiveRow() const { return FActiveRow; }
    // Repaints the page's tab and the seam to the page.
    void InvalidateTab(int Index);
    // Form scaling by M/D: the tab height and the active tab font follow.
    void ChangeScale(int M, int D);
    // Paints the notebook through Painter (origin at the notebook's top left).
    void PaintTo(QPainter& Painter);

    // ---- Properties ------------------------------------------------------------
    bool GetUseActiveTabFont() const { return FUseActiveTabFont; }
    void SetUseActiveTabFont(bool Value);
    TFont* GetActiveTabFont() const { return FActiveTabFont.get(); }
    void SetActiveTabFont(TFont* Value) { FActiveTabFont->Assign(Value); }
    bool GetConserveResources() const { return FConserveResources; }
    void SetConserveResources(bool Value);
    int DefaultPageIndex = 0;
    TColor GetHighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value);
    bool GetOldStyle() const { return FOldStyle; }
    void SetOldStyle(bool Value);
    bool GetPageUsesTabColor() const { return FPageUsesTabColor; }
    void SetPageUsesTabColor(bool Value);
    TColor GetShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value);
    bool GetShadowedText() const { return FShadowedText; }
    void SetShadowedText(bool Value);
    bool GetTabAutoHeight() const { return FTabAutoHeight; }
    void SetTabAutoHeight(bool Value);
    int GetTabHeight() const { return FTabHeight; }
    void SetTabHeight(int Value);
    TEntTabOrientation GetTabOrientation() const { return FTabOrientation; }
    void SetTabOrientation(TEntTabOrientation Value);
    TTabTextOrientation GetTabTextOrientation() const { return FTabTextOrientation; }
    void SetTabTextOrientation(TTabTextOrientation Value);
    int GetTabRowCount() const { return FTabRowCount; }
    void SetTabRowCount(int Value);
    TColor GetTextShadowColor() const { return FTextShadowColor; }
    void SetTextShadowColor(TColor Value);
    bool GetTabUseDefaultColor() const { return FTabUseDefaultColor; }
    void SetTabUseDefaultColor(bool Value);

    // ---- Events ----------------------------------------------------------------
    TDrawTabEvent OnDrawTab;
    TTabClickEvent OnMouseOverTab;
    TPageChangeEvent OnPageChange;
    TTabClickEvent OnPageChanged;
    TTabClickEvent OnTabClick;
    TUserCommandEvent OnUserCommand;

    void Loaded() override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

protected:
    void CreateWnd() override;
    void Paint() override;
    void Dispatch(TMessage& Message) override;
    void WMLButtonDown(TWMMouse& Message) override;
    void WMMouseMove(TWMMouse& Message) override;
    void WMKeyDown(TWMKey& Message) override;
    void WMSetFocus(TWMSetFocus& Message) override;
    void WMKillFocus(TWMKillFocus& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void CMDialogChar(TWMKey& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMParentColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;

private:
    friend class TEntTabPage;
    struct TabPainter;
    friend struct TabPainter;
    bool Loading() const { return ComponentState.Contains(csLoading); }
    bool Designing() const { return ComponentState.Contains(csDesigning); }
    bool SideTabs() const { return FTabOrientation == toRight || FTabOrientation == toLeft; }
    // Gives the canvas the font for tab captions: turned to run along side tabs.
    void SetTabFont(TCanvas& Canvas, TFont* Font) const;

    // Page collection notices.
    void PageJoined(TEntTabPage* Page);
    void PageLeaving(TEntTabPage* Page);
    void PagesChanged(TObject* Sender);
    void PageFontChanged(TEntTabPage* Page);
    void ActiveTabFontChanged(TObject* Sender);

    // The width of the caption's text in the page's (and the active tab's) font.
    int CaptionWidth(TEntTabPage* Page);
    void ComputeRows(int Available);
    void JustifyRows(int Available);
    void Relayout();
    // Checks the fonts side tabs turn; a raster font becomes "Arial".
    void CheckTabFont(TFont* Font);
    void ApplyTabColorToPages(TColor Color);
    void SetOwnColor(TColor Color);
    // The focus moves to the notebook; false when another control keeps it.
    bool TakeFocus();
    // The first control of the page that can take the focus, else the notebook.
    void FocusPage(int Index);
    int TabAt(TPoint Pos) const;
    TEntController* Controller() const { return GetController(); }

    bool FUseActiveTabFont = true;
    std::unique_ptr<TFont> FActiveTabFont;
    bool FConserveResources = false;
    TColor FHighlightColor = clBtnHighlight;
    bool FOldStyle = false;
    int FPageIndex = -1;
    std::unique_ptr<TEntCollection> FPageCollection;
    bool FPageUsesTabColor = true;
    TColor FShadowColor = clBtnShadow;
    bool FShadowedText = false;
    bool FTabAutoHeight = true;
    int FTabHeight = 20;
    TEntTabOrientation FTabOrientation = toTop;
    TTabTextOrientation FTabTextOrientation = ttoHorizontal;
    int FTabRowCount = 0;
    TColor FTextShadowColor = clBtnShadow;
    bool FTabUseDefaultColor = true;

    int FRowCount = 0;
    int FLastRow = -1;
    int FActiveRow = 0;
    bool FChanging = false;      // a page change is in progress
    bool FSettingColor = false;  // the notebook sets its own colour
    bool FDestroying = false;
    bool FLoadingPages = false;
    bool FFontChanging = false;  // the notebook hands its font to the pages
    TPoint FLastHit;
    bool FOverTab = false;
};

// Publishes the notebook and its pages for window definitions (once).
void RegisterEntNotebookClasses();
