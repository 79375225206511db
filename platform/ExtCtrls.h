#pragma once
// More controls: panels with bevels, bevels, shapes, images, paint boxes,
// radio groups, notebooks of named pages and scroll boxes. Panels, bevels,
// shapes and images paint themselves through TCanvas.

#include <memory>
#include <string>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "StdCtrls.h"

// Draws Width 3-D lines inside Rect (top and left in TopColor, bottom and right
// in BottomColor) and shrinks Rect by Width on every side.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

// ---------------------------------------------------------------------------
// Panels

enum TBevelCut { bvNone, bvLowered, bvRaised, bvSpace };
using TBevelWidth = int;

class TCustomPanel : public TCustomControl {
public:
    explicit TCustomPanel(TComponent* AOwner);

    TBevelCut GetBevelInner() const { return FBevelInner; }
    void SetBevelInner(TBevelCut Value);
    TBevelCut GetBevelOuter() const { return FBevelOuter; }
    void SetBevelOuter(TBevelCut Value);
    int GetBevelWidth() const { return FBevelWidth; }
    void SetBevelWidth(int Value);
    int GetBorderWidth() const { return FBorderWidth; }
    void SetBorderWidth(int Value);
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    bool FullRepaint = true;
    bool Locked = false;

protected:
    void Paint() override;
    void AdjustClientRect(TRect& Rect) override;
    void CMTextChanged(TMessage& Message) override;
    // Bevels and borders changed: the aligned children move in.
    void BordersChanged();

    TBevelCut FBevelInner = bvNone;
    TBevelCut FBevelOuter = bvRaised;
    int FBevelWidth = 1;
    int FBorderWidth = 0;
    TBorderStyle FBorderStyle = bsNone;
    TAlignment FAlignment = taCenter;
};

class TPanel : public TCustomPanel {
public:
    explicit TPanel(TComponent* AOwner) : TCustomPanel(AOwner) {}
};

// ---------------------------------------------------------------------------
// Bevels and shapes

enum TBevelStyle { bsLowered, bsRaised };
enum TBevelShape { bsBox, bsFrame, bsTopLine, bsBottomLine, bsLeftLine, bsRightLine, bsSpacer };

class TBevel : public TGraphicControl {
public:
    explicit TBevel(TComponent* AOwner);
    TBevelShape GetShape() const { return FShape; }
    void SetShape(TBevelShape Value);
    TBevelStyle GetStyle() const { return FStyle; }
    void SetStyle(TBevelStyle Value);

protected:
    void Paint() override;
    TBevelShape FShape = bsBox;
    TBevelStyle FStyle = bsLowered;
};

enum TShapeType { stRectangle, stSquare, stRoundRect, stRoundSquare, stEllipse, stCircle };

class TShape : public TGraphicControl {
public:
    explicit TShape(TComponent* AOwner);
    ~TShape() override;
    TShapeType GetShape() const { return FShape; }
    void SetShape(TShapeType Value);
    TPen* GetPen() const { return FPen.get(); }
    void SetPen(TPen* Value) { FPen->Assign(Value); }
    TBrush* GetBrush() const { return FBrush.get(); }
    void SetBrush(TBrush* Value) { FBrush->Assign(Value); }

protected:
    void Paint() override;
    TShapeType FShape = stRectangle;
    std::unique_ptr<TPen> FPen;
    std::unique_ptr<TBrush> FBrush;
};

// ---------------------------------------------------------------------------
// Images

class TImage : public TGraphicControl {
public:
    explicit TImage(TComponent* AOwner);
    ~TImage() override;
    TPicture* GetPicture() const { return FPicture.get(); }
    void SetPicture(TPicture* Value) { FPicture->Assign(Value); }
    bool GetStretch() const { return FStretch; }
    void SetStretch(bool Value);
    bool GetCenter() const { return FCenter; }
    void SetCenter(bool Value);
    bool GetTransparent() const { return FTransparent; }
    void SetTransparent(bool Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    // Where the picture is drawn in the client area.
    TRect DestRect() const;

protected:
    void Paint() override;
    void PictureChanged(TObject* Sender);
    std::unique_ptr<TPicture> FPicture;
    bool FStretch = false;
    bool FCenter = false;
    bool FTransparent = false;
    bool FAutoSize = false;
};

// ---------------------------------------------------------------------------
// Paint boxes

// A surface its owner paints in OnPaint, through Canvas, set up with the box's
// font and colour as the brush.
class TPaintBox : public TGraphicControl {
public:
    explicit TPaintBox(TComponent* AOwner);
    TNotifyEvent OnPaint;

protected:
    void Paint() override;
};

// ---------------------------------------------------------------------------
// Radio groups

class TCustomRadioGroup : public TCustomGroupBox {
public:
    explicit TCustomRadioGroup(TComponent* AOwner);
    ~TCustomRadioGroup() override;

    TStrings* GetItems() const { return FItems.get(); }
    void SetItems(TStrings* Value) { FItems->Assign(Value); }
    int GetItemIndex() const { return FItemIndex; }
    // Checks that item's button; OnClick follows only when the index changes.
    void SetItemIndex(int Value);
    int GetColumns() const { return FColumns; }
    void SetColumns(int Value);
    int ButtonCount() const { return int(FButtons.size()); }
    TRadioButton* Buttons(int Index) const { return FButtons.at(size_t(Index)); }

    void Loaded() override;

protected:
    // A button was checked (by the person or by SetItemIndex).
    virtual void ButtonClicked(TRadioButton* Button);
    void UpdateButtons();
    void ArrangeButtons();
    void BoundsChanged(bool SizeChanged) override;
    void FontChanged(TObject* Sender) override;
    void CMEnabledChanged(TMessage& Message) override;

    std::unique_ptr<TStringList> FItems;
    std::vector<TRadioButton*> FButtons;
    int FItemIndex = -1;
    int FColumns = 1;
    bool FUpdating = false;
};

class TRadioGroup : public TCustomRadioGroup {
public:
    explicit TRadioGroup(TComponent* AOwner) : TCustomRadioGroup(AOwner) {}
};

// ---------------------------------------------------------------------------
// Notebooks: pages addressed by name (a page's caption) or index; one page shows.

class TNotebook;

class TPage : public TCustomControl {
public:
    explicit TPage(TComponent* AOwner);
    ~TPage() override;
    // Inside a notebook's definition, the page joins that notebook's pages.
    void SetParentComponent(TComponent* Value) override;
    TNotebook* Notebook() const { return FNotebook; }

protected:
    friend class TNotebook;
    void Paint() override;
    void CMTextChanged(TMessage& Message) override;
    TNotebook* FNotebook = nullptr;
};

class TNotebook : public TCustomControl {
public:
    explicit TNotebook(TComponent* AOwner);
    ~TNotebook() override;

    // The page names; adding, deleting, renaming and moving them changes the pages.
    TStrings* GetPages() const { return FPageNames.get(); }
    void SetPages(TStrings* Value);
    int PageCount() const { return int(FPages.size()); }
    TPage* Page(int Index) const { return FPages.at(size_t(Index)); }
    std::string GetActivePage() const;
    // Shows the page of that name (letter case ignored); an unknown name changes nothing.
    void SetActivePage(const std::string& Value);
    int GetPageIndex() const { return FPageIndex; }
    void SetPageIndex(int Value);
    TNotifyEvent OnPageChanged;

    void Loaded() override;
    // Adds a page made elsewhere (a window definition's) at the end.
    void AddPage(TPage* Page);
    // Takes a page out without freeing it.
    void RemovePage(TPage* Page);

protected:
    friend class TPage;
    friend class TNotebookPages;
    virtual void PageChanged();
    void Paint() override;
    void ShowOnlyActive();
    TPage* NewPage(const std::string& Name, int Index);
    void DeletePage(int Index);
    void MovePage(int CurIndex, int NewIndex);
    void RenamePage(int Index, const std::string& Name);

    std::vector<TPage*> FPages;
    std::unique_ptr<TStrings> FPageNames;
    int FPageIndex = -1;
    std::string FLoadedActivePage;
    bool FReadPagesCleared = false;
};

// ---------------------------------------------------------------------------
// Scroll boxes

class TScrollBox : public TWinControl {
public:
    explicit TScrollBox(TComponent* AOwner);
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool AutoScroll = true;
    // The scrolled extent of the children.
    TSize ContentSize() const;
    void ScrollInView(TControl* AControl);
    QWidget* ClientWidget() override;
    TRect GetClientRect() const override;

protected:
    QWidget* CreateWidget(QWidget* ParentWidget) override;
    void UpdateWidget() override;
    void UpdateWidgetColor() override;
    void AlignControls(TControl* AControl, TRect& Rect) override;
    void UpdateContentSize();
    TBorderStyle FBorderStyle = bsSingle;
};

// Registers the published properties of the classes above. Safe to call more than once.
void RegisterExtCtrlsClasses();
