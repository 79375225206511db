#pragma once
// Gradient buttons: TgrGraphicButton draws itself on its parent; TgrButton is
// a windowed, focusable button wrapping a graphic button that fills it. Five
// button types (command, toggle, repeat, menu, combo); a menu button drops
// its pop-up menu below itself when pressed.

#include <array>
#include <memory>
#include <string>

#include "Controls.h"
#include "Graphics.h"
#include "Menus.h"

enum TgrBtnStyle { bsAuto, bsWin31, bsWin95, bsInset, bsDelphi, bsSpeed, bsWin97, bsBorderless, bsShaped };
enum TgrButtonType { grbCommand, grbToggle, grbRepeat, grbMenu, grbCombo };
enum TgrBackgroundStyle {
    grbSolid,
    grbClear,
    grbPictureClip,
    grbPictureStretch,
    grbPicturePattern,
    grbGradient,
    grbVertGradient
};
enum TgrBorderColors { grbCustomColor, grbWinColor, grbAutoColor, grbAutoShade };
// The 3-D caption styles; window definitions name them fsNone .. fsShadow.
enum TgrFont3D { f3dNone, f3dNormal, f3dRaised, f3dInset, f3dRidged, f3dGrooved, f3dShadow };
enum TgrbOption { grbCacheImages, grbUsePalette, grbSmallIcons, grbNoPicEffects };
using TgrbOptions = Set<TgrbOption>;
enum TgrFocusStyleFlag { fsDefault, fsText, fsOutline, fsBoldFont };
using TgrFocusStyle = Set<TgrFocusStyleFlag>;
enum TgrBtnKind { bkCustom, bkOK, bkCancel, bkHelp, bkYes, bkNo, bkClose };
enum TgrButtonState { grsUp, grsPressed, grsToggledDown, grsComboPressed };

// The background of a button: style, picture and the gradient's far colour.
class TgrBackground : public TPersistent {
public:
    TgrBackground();
    ~TgrBackground() override;
    TgrBackgroundStyle GetStyle() const { return FStyle; }
    void SetStyle(TgrBackgroundStyle Value);
    TPicture* GetPicture() const { return FPicture.get(); }
    TColor GetGradient() const { return FGradient; }
    void SetGradient(TColor Value);
    bool GetDitherDown() const { return FDitherDown; }
    void SetDitherDown(bool Value);
    void Assign(TPersistent* Source) override;
    TNotifyEvent OnChange;

private:
    void Changed();
    TgrBackgroundStyle FStyle = grbSolid;
    std::unique_ptr<TPicture> FPicture;
    TColor FGradient = clWhite;
    bool FDitherDown = true;
};

// Margins between the button's edges and everything it paints.
class TgrBorderInset : public TPersistent {
public:
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int GetLeft() const { return Left; }
    int GetTop() const { return Top; }
    int GetRight() const { return Right; }
    int GetBottom() const { return Bottom; }
    void SetLeft(int Value) {
        Left = std::max(0, Value);
        Changed();
    }
    void SetTop(int Value) {
        Top = std::max(0, Value);
        Changed();
    }
    void SetRight(int Value) {
        Right = std::max(0, Value);
        Changed();
    }
    void SetBottom(int Value) {
        Bottom = std::max(0, Value);
        Changed();
    }
    TNotifyEvent OnChange;

private:
    void Changed() {
        if (OnChange) OnChange(this);
    }
};

// Colour with its luminance moved by Amount: by Amount itself beyond 8, else by
// Amount eighths of the way towards white (positive) or Amount eighths darker.
TColor ShadeLuminance(TColor Color, int Amount);

// Colour entry i of an n-step gradient from Near to Far (entry 0 is Far).
TColor GradientColor(TColor Near, TColor Far, int Steps, int Index);

class TgrCustomButton;

class TgrCustomGraphicButton : public TGraphicControl {
public:
    explicit TgrCustomGraphicButton(TComponent* AOwner);
    ~TgrCustomGraphicButton() override;

    // ---- Settings ----------------------------------------------------------------
    TgrBtnStyle GetStyle() const { return FStyle; }
    void SetStyle(TgrBtnStyle Value);
    // bsAuto resolved for this platform.
    TgrBtnStyle EffectiveStyle() const;
    TgrButtonType GetButtonType() const { return FButtonType; }
    void SetButtonType(TgrButtonType Value);
    TgrBackground* GetBackground() const { return FBackground.get(); }
    TgrBorderInset* GetBorderInset() const { return FBorderInset.get(); }
    bool GetMultiLine() const { return FMultiLine; }
    void SetMultiLine(bool Value);
    TgrFont3D GetFont3D() const { return FFont3D; }
    void SetFont3D(TgrFont3D Value);
    int GetTextAngle() const { return FTextAngle; }
    void SetTextAngle(int Value);
    int GetTextX() const { return FTextX; }
    void SetTextX(int Value);
    int GetTextY() const { return FTextY; }
    void SetTextY(int Value);
    TPicture* GetPictureUp() const { return FPictureUp.get(); }
    TPicture* GetPictureDown() const { return FPictureDown.get(); }
    TPicture* GetPictureOver() const { return FPictureOver.get(); }
    TPicture* GetPictureDisabled() const { return FPictureDisabled.get(); }
    int GetPictureX() const { return FPictureX; }
    void SetPictureX(int Value);
    int GetPictureY() const { return FPictureY; }
    void SetPictureY(int Value);
    TImageList* GetImages() const { return FImages; }
    void SetImages(TImageList* Value);
    int GetImageIndex() const { return FImageIndex; }
    void SetImageIndex(int Value);
    bool GetAnimate() const { return FAnimate; }
    void SetAnimate(bool Value) { FAnimate = Value; }
    bool GetGrayed() const { return FGrayed; }
    void SetGrayed(bool Value);
    bool GetValue() const { return FValue; }
    void SetValue(bool Value);
    int GetGroup() const { return FGroup; }
    void SetGroup(int Value);
    bool GetGroupAllowNoSel() const { return FGroupAllowNoSel; }
    void SetGroupAllowNoSel(bool Value);
    int GetDelay() const { return FDelay; }
    void SetDelay(int Value) { FDelay = Value; }
    int GetInitDelay() const { return FInitDelay; }
    void SetInitDelay(int Value) { FInitDelay = Value; }
    TgrbOptions GetOptions() const { return FOptions; }
    void SetOptions(TgrbOptions Value);
    TgrFocusStyle GetFocusStyle() const { return FFocusStyle; }
    void SetFocusStyle(TgrFocusStyle Value);
    TgrBorderColors GetBorderColors() const { return FBorderColors; }
    void SetBorderColors(TgrBorderColors Value);
    TColor GetShadowColor() const { return FShadowColor; }
    void SetShadowColor(TColor Value);
    TColor GetBtnLightColor() const { return FBtnLightColor; }
    void SetBtnLightColor(TColor Value);
    TColor GetBtnHighlightColor() const { return FBtnHighlightColor; }
    void SetBtnHighlightColor(TColor Value);
    TColor GetBtnShadowColor() const { return FBtnShadowColor; }
    void SetBtnShadowColor(TColor Value);
    TColor GetBtnDkShadowColor() const { return FBtnDkShadowColor; }
    void SetBtnDkShadowColor(TColor Value);

    TNotifyEvent OnChange;

    // ---- State ---------------------------------------------------------------------
    TgrButtonState State() const { return FState; }
    bool MouseOver() const { return FMouseOver; }
    bool Tracking() const { return FTracking; }
    // Where the button takes clicks (picture and caption only for borderless styles).
    bool InHitArea(TPoint P);
    // Drops the pop-up menu below the button; returns when it has closed.
    void DropDown();
    // The pop-up menu the drop-down shows (the wrapping button's when wrapped).
    TPopupMenu* DropDownMenu() const;
    TgrCustomButton* Wrapper() const { return FWrapper; }
    void Click() override;

    // Layout of the caption and picture in client coordinates (empty when none).
    TRect CaptionRect();
    TRect PictureRect() const;
    TSize PictureSize() const;

    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    friend class TgrCustomButton;
    void Paint() override;
    void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    void CMHitTest(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void Dispatch(TMessage& Message) override;
    // Sets the "default" look flag (the form's default button).
    virtual void SetDefaultLook(bool Value);
    void Changed();
    void TellGroup();
    void RepeatTick();
    void StopRepeat();

    void PaintBackground(const TRect& R, TColor Face);
    void PaintBorder(TRect R, bool Default, bool Pressed);
    // Shadow of an enabled picture, or the disabled one (embossed or its own).
    void PaintPictureEffects(TColor Face);
    // The picture itself, last, moved and greyed by the button's state.
    void PaintPicture();
    void PaintCaption();
    void PaintFocus();
    // Draws every layer onto the surface; Paint adds the appearance cache around it.
    void PaintButton();
    // Which of the seven cached appearances the state shows (up, hot, down,
    // default, focused, disabled, arrow down).
    int Appearance() const;
    // The face: Color, or for a shade colour the shade of the parent's colour.
    TColor FaceColor() const;
    // The canvas painting goes to: the cache's drawing bitmap while one is drawn.
    TCanvas* Surface() { return FTarget ? FTarget : Canvas(); }
    // Font, boldness by focus and turn of the caption.
    void SelectCaptionFont(TCanvas* c);
    // The picture for the current state; nullptr when there is none.
    TPicture* CurrentPicture() const;
    bool HasImage() const;

    TgrCustomButton* FWrapper = nullptr;
    bool FFocused = false;
    bool FDefaultLook = false;

private:
    TgrBtnStyle FStyle = bsAuto;
    TgrButtonType FButtonType = grbCommand;
    std::unique_ptr<TgrBackground> FBackground;
    std::unique_ptr<TgrBorderInset> FBorderInset;
    bool FMultiLine = false;
    TgrFont3D FFont3D = f3dNormal;
    int FTextAngle = 0;
    int FTextX = -5;
    int FTextY = -5;
    std::unique_ptr<TPicture> FPictureUp, FPictureDown, FPictureOver, FPictureDisabled;
    int FPictureX = 1;
    int FPictureY = 1;
    TImageList* FImages = nullptr;
    int FImageIndex = -1;
    bool FAnimate = false;
    bool FGrayed = false;
    bool FValue = false;
    int FGroup = 0;
    bool FGroupAllowNoSel = false;
    int FDelay = 200;
    int FInitDelay = 400;
    TgrbOptions FOptions{grbCacheImages};
    TgrFocusStyle FFocusStyle;
    TgrBorderColors FBorderColors = grbWinColor;
    TColor FShadowColor = clBtnShadow;
    TColor FBtnLightColor = cl3DLight;
    TColor FBtnHighlightColor = clBtnHighlight;
    TColor FBtnShadowColor = clBtnShadow;
    TColor FBtnDkShadowColor = cl3DDkShadow;

    TgrButtonState FState = grsUp;
    bool FTracking = false;
    bool FMouseOver = false;
    HWND FRepeatTarget = 0;

    std::unique_ptr<TBitmap> FCache;
    unsigned FCacheValid = 0;
    std::array<unsigned, 7> FCacheKey{};
    TCanvas* FTarget = nullptr;
};

class TgrGraphicButton : public TgrCustomGraphicButton {
public:
    explicit TgrGraphicButton(TComponent* AOwner) : TgrCustomGraphicButton(AOwner) {}
};

// Every button setting of the windowed button reads and writes the inner one.
#define GR_FORWARD(Type, Name)                              \
    Type Get##Name() const { return FButton->Get##Name(); } \
    void Set##Name(Type Value) { FButton->Set##Name(Value); }

class TgrCustomButton : public TCustomControl {
public:
    explicit TgrCustomButton(TComponent* AOwner);
    ~TgrCustomButton() override;

    TgrCustomGraphicButton* Button() const { return FButton; }

    GR_FORWARD(TgrBtnStyle, Style)
    GR_FORWARD(TgrButtonType, ButtonType)
    GR_FORWARD(bool, MultiLine)
    GR_FORWARD(TgrFont3D, Font3D)
    GR_FORWARD(int, TextAngle)
    GR_FORWARD(int, TextX)
    GR_FORWARD(int, TextY)
    GR_FORWARD(int, PictureX)
    GR_FORWARD(int, PictureY)
    GR_FORWARD(TImageList*, Images)
    GR_FORWARD(int, ImageIndex)
    GR_FORWARD(bool, Animate)
    GR_FORWARD(bool, Grayed)
    GR_FORWARD(bool, Value)
    GR_FORWARD(int, Group)
    GR_FORWARD(bool, GroupAllowNoSel)
    GR_FORWARD(int, Delay)
    GR_FORWARD(int, InitDelay)
    GR_FORWARD(TgrbOptions, Options)
    GR_FORWARD(TgrFocusStyle, FocusStyle)
    GR_FORWARD(TgrBorderColors, BorderColors)
    GR_FORWARD(TColor, ShadowColor)
    GR_FORWARD(TColor, BtnLightColor)
    GR_FORWARD(TColor, BtnHighlightColor)
    GR_FORWARD(TColor, BtnShadowColor)
    GR_FORWARD(TColor, BtnDkShadowColor)
    TgrBackground* GetBackground() const { return FButton->GetBackground(); }
    TgrBorderInset* GetBorderInset() const { return FButton->GetBorderInset(); }
    TPicture* GetPictureUp() const { return FButton->GetPictureUp(); }
    TPicture* GetPictureDown() const { return FButton->GetPictureDown(); }
    TPicture* GetPictureOver() const { return FButton->GetPictureOver(); }
    TPicture* GetPictureDisabled() const { return FButton->GetPictureDisabled(); }

    bool Cancel = false;
    bool GetDefault() const { return FDefault; }
    void SetDefault(bool Value);
    // Reads bkCustom once caption, modal result or the default/cancel flag no longer match.
    TgrBtnKind GetKind() const;
    void SetKind(TgrBtnKind Value);
    int ModalResult = 0;

    TNotifyEvent OnChange;

    void Click() override;
    void Loaded() override;
    void DefineProperties(TFiler* Filer) override;

protected:
    void Paint() override;
    void CMTextChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void CMColorChanged(TMessage& Message) override;
    void WMSetFocus(TWMSetFocus& Message) override;
    void WMKillFocus(TWMKillFocus& Message) override;
    void KeyDown(Word& Key, TShiftState Shift) override;
    void KeyUp(Word& Key, TShiftState Shift) override;
    void CMDialogChar(TWMKey& Message) override;
    void CMDialogKey(TWMKey& Message) override;
    // Enter and leave come from the inner button, bounded by its hit area.
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;
    // A clear button's window does not fill its background, so its parent shows through.
    void UpdateWidgetColor() override;
    // The accelerator's action: toggle, drop the menu or click, by button type.
    void AccelAction();

private:
    TgrCustomGraphicButton* FButton;
    bool FDefault = false;
    TgrBtnKind FKind = bkCustom;
    bool FSpaceDown = false;
    bool FClearWindow = false;
};

#undef GR_FORWARD

class TgrButton : public TgrCustomButton {
public:
    explicit TgrButton(TComponent* AOwner) : TgrCustomButton(AOwner) {}
};

// Registers the button classes for window definitions; safe to call more than once.
void RegisterGrBtnsClasses();
