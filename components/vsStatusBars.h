#pragma once
// The status bar: a row of owner-drawn panels (text, progress bar, lock-key
// state, application hint), laid out left to right by their widths with the
// last one reaching the bar's right end, or one simple text across the bar.

#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "Menus.h"

class TvsCustomStatusBar;
class TvsStatusBar;
class TvsStatusPanel;

class EvsStatusPanelError : public Exception {
public:
    using Exception::Exception;
};

enum TvsStatusPanelStyle { apsEmpty, apsOwnerDraw, apsText, apsProgressBar, apsLockKey, apsAppHint };
enum TvsStatusPanelBevel { apbNone, apbLowered, apbRaised };
enum TvsProgressType { aptPercent, aptCount };
enum TvsScrollEffect { seNone, seFromLeftToRight, seFromRightToLeft, seChangeableDirection };
enum TvsTextLayout { tlGlyphLeft, tlGlyphRight };
enum TvsLockKeyType { lktNumLock, lktCapsLock, lktScrollLock };
enum TvsScrollDirection { sdNone, sdLeftToRight, sdRightToLeft };

// The most parts the bar lays out.
constexpr int vsMaxParts = 128;

// A settings object of one panel: every change is a change of its panel.
class TvsPanelSettings : public TPersistent {
public:
    explicit TvsPanelSettings(TvsStatusPanel* APanel) : FPanel(APanel) {}
    TvsStatusPanel* Panel() const { return FPanel; }

protected:
    void Changed();

private:
    TvsStatusPanel* FPanel;
};

class TvsTextStyle : public TvsPanelSettings {
public:
    using TvsPanelSettings::TvsPanelSettings;
    TAlignment GetAlignment() const { return FAlignment; }
    void SetAlignment(TAlignment Value);
    int GetGlyphIndex() const { return FGlyphIndex; }
    void SetGlyphIndex(int Value);
    TvsTextLayout GetLayout() const { return FLayout; }
    void SetLayout(TvsTextLayout Value);
    TvsScrollEffect GetScrollEffect() const { return FScrollEffect; }
    void SetScrollEffect(TvsScrollEffect Value);
    bool GetShowText() const { return FShowText; }
    void SetShowText(bool Value);
    int GetSpacing() const { return FSpacing; }
    void SetSpacing(int Value);
    std::string GetText() const { return FText; }
    void SetText(const std::string& Value);
    void Assign(TPersistent* Source) override;

    // Run time: scrolling state and the width of text and glyph drawn last.
    TvsScrollDirection Direction = sdNone;
    int ScrollOffset = 0;
    int BlockWidth = 0;

private:
    TAlignment FAlignment = taLeftJustify;
    int FGlyphIndex = -1;
    TvsTextLayout FLayout = tlGlyphLeft;
    TvsScrollEffect FScrollEffect = seNone;
    bool FShowText = true;
    int FSpacing = 2;
    std::string FText;
};

class TvsProgressBarStyle : public TvsPanelSettings {
public:
    using TvsPanelSettings::TvsPanelSettings;
    std::string GetCaption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    // Always above MinValue; a value that is not raises EInvalidOperation.
    int GetMaxValue() const { return FMaxValue; }
    void SetMaxValue(int Value);
    int GetMinValue() const { return FMinValue; }
    void SetMinValue(int Value);
    // Clamped to [MinValue, MaxValue].
    int GetProgress() const { return FProgress; }
    void SetProgress(int Value);
    TvsProgressType GetProgressType() const { return FProgressType; }
    void SetProgressType(TvsProgressType Value);
    bool GetShowCaption() const { return FShowCaption; }
    void SetShowCaption(bool Value);
    // 0..100 of the range covered.
    int Percent() const;
    std::string CaptionText() const;
    void Assign(TPersistent* Source) override;

private:
    std::string FCaption = "%d%%";
    int FMaxValue = 100;
    int FMinValue = 0;
    int FProgress = 0;
    TvsProgressType FProgressType = aptPercent;
    bool FShowCaption = true;
};

class TvsLockKeyStyle : public TvsPanelSettings {
public:
    using TvsPanelSettings::TvsPanelSettings;
    std::string GetCaption() const { return FCaption; }
    void SetCaption(const std::string& Value);
    TColor GetColorOff() const { return FColorOff; }
    void SetColorOff(TColor Value);
    TColor GetColorOn() const { return FColorOn; }
    void SetColorOn(TColor Value);
    // Also sets Caption to "NUM", "CAPS" or "SCROLL".
    TvsLockKeyType GetLockKeyType() const { return FLockKeyType; }
    void SetLockKeyType(TvsLockKeyType Value);
    bool KeyOn = false;
    void Assign(TPersistent* Source) override;

private:
    std::string FCaption = "NUM";
    TColor FColorOff = clGrayText;
    TColor FColorOn = clWindowText;
    TvsLockKeyType FLockKeyType = lktNumLock;
};

class TvsStatusPanel : public TCollectionItem {
public:
    explicit TvsStatusPanel(TCollection* Collection);
    ~TvsStatusPanel() override;

    TvsCustomStatusBar* StatusBar() const;

    TvsStatusPanelBevel GetBevel() const { return FBevel; }
    void SetBevel(TvsStatusPanelBevel Value);
    TColor GetBrushColor() const { return FBrushColor; }
    // Turns ParentColor off.
    void SetBrushColor(TColor Value);
    TBrushStyle GetBrushStyle() const { return FBrushStyle; }
    void SetBrushStyle(TBrushStyle Value);
    TFont* GetFont() const { return FFont.get(); }
    std::string Hint;
    // Trimmed; raises EvsStatusPanelError for a name that is no identifier or is taken.
    std::string GetName() const { return FName; }
    void SetName(const std::string& Value);
    TvsStatusPanelStyle GetPanelStyle() const { return FPanelStyle; }
    void SetPanelStyle(TvsStatusPanelStyle Value);
    bool GetParentColor() const { return FParentColor; }
    void SetParentColor(bool Value);
    bool GetParentFont() const { return FParentFont; }
    void SetParentFont(bool Value);
    TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
    void SetPopupMenu(TPopupMenu* Value) { FPopupMenu = Value; }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    // The stored width while visible (or while written), otherwise 0.
    int GetWidth() const;
    int StoredWidth() const { return FWidth; }
    void SetWidth(int Value);
    std::string GetText() const { return FTextStyle->GetText(); }
    void SetText(const std::string& Value) { FTextStyle->SetText(Value); }
    int GetProgress() const { return FProgressBarStyle->GetProgress(); }
    void SetProgress(int Value) { FProgressBarStyle->SetProgress(Value); }
    TvsTextStyle* GetTextStyle() const { return FTextStyle.get(); }
    TvsProgressBarStyle* GetProgressBarStyle() const { return FProgressBarStyle.get(); }
    TvsLockKeyStyle* GetLockKeyStyle() const { return FLockKeyStyle.get(); }

    // The panel's last laid-out rectangle in the bar's client coordinates.
    TRect Rect;
    // One step of a scrolling text; true when it moved.
    virtual bool ScrollStep();

    void Assign(TPersistent* Source) override;
    std::string GetDisplayName() const override { return FName; }

private:
    friend class TvsPanelSettings;
    friend class TvsStatusPanels;
    friend class TvsCustomStatusBar;
    void PanelChanged() { Changed(false); }
    void LayoutChanged() { Changed(true); }
    // Copies a font into the panel's own without turning ParentFont off.
    void TakeFont(TFont* Source);

    TvsStatusPanelBevel FBevel = apbLowered;
    TColor FBrushColor = clBtnFace;
    TBrushStyle FBrushStyle = bsSolid;
    std::unique_ptr<TFont> FFont;
    std::string FName;
    TvsStatusPanelStyle FPanelStyle = apsText;
    bool FParentColor = true;
    bool FParentFont = true;
    bool FApplyingParentFont = false;
    TPopupMenu* FPopupMenu = nullptr;
    bool FVisible = true;
    int FWidth = 50;
    std::unique_ptr<TvsTextStyle> FTextStyle;
    std::unique_ptr<TvsProgressBarStyle> FProgressBarStyle;
    std::unique_ptr<TvsLockKeyStyle> FLockKeyStyle;
};

class TvsStatusPanels : public TOwnedCollection {
public:
    explicit TvsStatusPanels(TvsCustomStatusBar* ABar);
    TvsCustomStatusBar* StatusBar() const { return FBar; }
    TvsStatusPanel* GetItem(int Index) const { return static_cast<TvsStatusPanel*>(Items(Index)); }
    TvsStatusPanel* Add() { return static_cast<TvsStatusPanel*>(TCollection::Add()); }
    // The smallest "vsStatusPanel<n>" no panel uses.
    std::string UniqueName() const;

protected:
    void Update(TCollectionItem* Item) override;

private:
    TvsCustomStatusBar* FBar;
};

// The panel clicked, the button, the shift state and the position in the bar.
using TvsPanelClickNotifyEvent =
    std::function<void(TObject* Panel, TMouseButton Button, TShiftState Shift, int X, int Y)>;
using TvsDrawPanelEvent = std::function<void(TvsCustomStatusBar* StatusBar, TvsStatusPanel* Panel, const TRect& Rect)>;

class TvsCustomStatusBar : public TCustomControl {
public:
    explicit TvsCustomStatusBar(TComponent* AOwner);
    ~TvsCustomStatusBar() override;

    TvsStatusPanels* GetPanels() const { return FPanels.get(); }
    bool GetSizeGrip() const { return FSizeGrip; }
    void SetSizeGrip(bool Value);
    bool GetSimplePanel() const { return FSimplePanel; }
    void SetSimplePanel(bool Value);
    std::string GetSimpleText() const { return FSimpleText; }
    void SetSimpleText(const std::string& Value);
    bool GetUseSystemFont() const { return FUseSystemFont; }
    void SetUseSystemFont(bool Value) { FUseSystemFont = Value; }
    bool AutoHint = false;
    TImageList* GetGlyphs() const { return FGlyphs; }
    void SetGlyphs(TImageList* Value);
    std::string About() const { return "v1.0"; }

    TNotifyEvent OnHint;
    TvsDrawPanelEvent OnDrawPanel;
    TvsPanelClickNotifyEvent OnPanelClick;
    TvsPanelClickNotifyEvent OnPanelDblClick;

    // Raises EvsStatusPanelError "Status panel '<name>' not found" when none matches.
    TvsStatusPanel* PanelByName(const std::string& Name) const;
    // The first panel whose rectangle holds the point; nullptr when none.
    TvsStatusPanel* PanelAtPos(TPoint Pos) const;
    // Lays the parts out again; the panels' Rect follow.
    void UpdatePanels();
    // Reads the lock keys; a change repaints the panel.
    void UpdateLockKeys();
    bool DoHint();
    // Moves every scrolling text one step.
    void ScrollPanels();

    void Loaded() override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    friend class TvsStatusPanels;
    void Paint() override;
    virtual void DrawPanel(TvsStatusPanel* Panel, const TRect& ItemRect);
    virtual void DrawTextPanel(TvsStatusPanel* Panel, const TRect& R);
    virtual void DrawProgressPanel(TvsStatusPanel* Panel, const TRect& R);
    virtual void DrawLockKeyPanel(TvsStatusPanel* Panel, const TRect& R);
    void PanelChanged(TvsStatusPanel* Panel);
    void BoundsChanged(bool SizeChanged) override;
    void CreateWnd() override;
    void DestroyWnd() override;
    void WMTimer(TWMTimer& Message) override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMHintShow(TMessage& Message) override;
    void DoContextPopup(TPoint MousePos, bool& Handled) override;
    void CMParentColorChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;

private:
    // The bar's colour to the panels that follow it.
    void ColorPanels();

    std::unique_ptr<TvsStatusPanels> FPanels;
    bool FSizeGrip = true;
    bool FSimplePanel = false;
    std::string FSimpleText;
    bool FUseSystemFont = true;
    TImageList* FGlyphs = nullptr;
    TvsStatusPanel* FMousePanel = nullptr;
    bool FTimerRunning = false;
};

class TvsStatusBar : public TvsCustomStatusBar {
public:
    explicit TvsStatusBar(TComponent* AOwner) : TvsCustomStatusBar(AOwner) {}
};

// Keeps a control (an edit, a progress bar, a button) inside one panel of a
// status bar: the control is moved into the bar, the panel becomes owner-drawn,
// and every time the bar draws the panel the control is fitted to it. Letting
// the control go gives it back its parent, bounds and visibility and the panel
// its style; the bar gets its own OnDrawPanel back when the inserter leaves it.
class TvsStatusBarInserter : public TComponent {
public:
    explicit TvsStatusBarInserter(TComponent* AOwner);
    ~TvsStatusBarInserter() override;

    TvsCustomStatusBar* GetvsStatusBar() const { return FBar; }
    void SetvsStatusBar(TvsCustomStatusBar* Value);
    // Forms and status bars are refused (the current control is let go).
    TControl* GetControl() const { return FControl; }
    void SetControl(TControl* Value);
    // Negative values are taken as 0.
    int GetPanelIndex() const { return FPanelIndex; }
    void SetPanelIndex(int Value);
    std::string About() const { return "v1.0"; }

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void Insert();
    void Remove();
    void Repaint();
    void DrawPanel(TvsCustomStatusBar* Bar, TvsStatusPanel* Panel, const TRect& Rect);
    TvsStatusPanel* Panel() const;
    void StylePanel();
    void RestorePanel();

    TvsCustomStatusBar* FBar = nullptr;
    TControl* FControl = nullptr;
    int FPanelIndex = 0;
    // What Insert changed, to be given back.
    TWinControl* FSavedParent = nullptr;
    TRect FSavedBounds;
    bool FSavedVisible = false;
    bool FInserted = false;
    TvsDrawPanelEvent FSavedDrawPanel;
    int FStyledIndex = -1;
    TvsStatusPanelStyle FSavedStyle = apsText;
    // The control kept a size of its own; it is not resized again until reassigned.
    bool FWidthFixed = false;
    bool FHeightFixed = false;
};

// Registers the status bar classes for window definitions; safe to call more than once.
void RegisterVsStatusBarsClasses();
