#pragma once
// The picture field: the single-line entry control of every calculator input
// and result. The window-free core (value, mask, validation) is
// TEntPictureFieldModel and the editing model is TEntPictureEditor; these
// classes turn messages into calls on them and paint what they hold.
//
//   TEntBaseEntryField      keys, characters, mouse, clipboard, context menu,
//                           carets, painting, the focus protocol with
//                           validation and error reports, value accessors
//   TEntPictureBase         the picture mask
//   TEntCustomPictureField  data type and range (with the window definition's
//                           binary "RangeHigh" / "RangeLow")
//   TEntPictureField        the published class

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "entbase.h"
#include "entcaret.h"
#include "entcolor.h"
#include "entctrl.h"
#include "entpfedit.h"
#include "entpfmodel.h"
#include "SysUtils.h"

// Posted to the field's own window: WParam the error code, report it now.
enum : unsigned { om_ReportError = 0x7F00 };

using TUserCommandEvent = std::function<void(TObject* Sender, uint16_t Command)>;
using TUserValidationEvent = std::function<void(TObject* Sender, uint16_t& ErrorCode)>;

class TEntBaseEntryField : public TEntCustomControlEx {
public:
    explicit TEntBaseEntryField(TComponent* AOwner);
    ~TEntBaseEntryField() override;

    // ---- Value access: EInvalidDataType for a type the accessor does not take.
    double GetAsFloat();
    int32_t GetAsInteger();
    std::string GetAsString();
    void SetAsFloat(double Value);
    void SetAsInteger(int32_t Value);
    // EEntryFieldError for a text that does not parse; the field is unchanged then.
    void SetAsString(const std::string& Value);
    uint16_t LastError() const { return FModel.LastError; }

    // ---- Validation and error reports
    // The check on leaving: true when the field may be left. A failure posts
    // the refocus to the controller and the report to the field.
    virtual bool ValidateContents(bool ReportError);
    // The same check without the focus logic; with Report an error is posted.
    virtual uint16_t ValidateSelf(bool Report);
    // OnError when assigned, else the controller's chain (its OnError or a message box).
    virtual void DoOnError(uint16_t ErrorCode, const std::string& ErrorMsg);
    // The field paints in its error colours (soft validation failed).
    bool ErrorState() const { return FModel.ErrorFlag; }

    // ---- Properties
    TEntEntryFieldOptions GetOptions() const { return FModel.GetOptions(); }
    void SetOptions(TEntEntryFieldOptions Value);
    int GetMaxLength() const { return FModel.GetMaxLength(); }
    void SetMaxLength(int Value);
    uint8_t GetDecimalPlaces() const { return FModel.GetDecimalPlaces(); }
    void SetDecimalPlaces(uint8_t Value);
    char GetPadChar() const { return FModel.PadChar; }
    void SetPadChar(char Value);
    // Character 0 switches password mode off.
    char GetPasswordChar() const { return FModel.PasswordChar; }
    void SetPasswordChar(char Value);
    // The two characters as one-character texts, for window definitions.
    std::string GetPadCharText() const { return AnsiToText(std::string(1, GetPadChar())); }
    void SetPadCharText(const std::string& Value);
    std::string GetPasswordCharText() const {
        return GetPasswordChar() ? AnsiToText(std::string(1, GetPasswordChar())) : std::string();
    }
    void SetPasswordCharText(const std::string& Value);
    int GetTextMargin() const { return FTextMargin; }
    void SetTextMargin(int Value);  // taken only when at least 2
    bool GetUninitialized() const { return FModel.GetUninitialized(); }
    void SetUninitialized(bool Value);
    TZeroDisplay GetZeroDisplay() const { return FModel.ZeroDisplay; }
    void SetZeroDisplay(TZeroDisplay Value);
    double GetZeroDisplayValue() const { return FModel.ZeroDisplayValue; }
    void SetZeroDisplayValue(double Value);
    // OnGetEpoch, then the controller's, when the field's own is 0.
    int GetEpoch();
    void SetEpoch(int Value);
    bool GetInitDateTime() const { return FModel.GetInitDateTime(); }
    void SetInitDateTime(bool Value);
    bool GetAutoSize() const { return FAutoSize; }
    void SetAutoSize(bool Value);
    TBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TBorderStyle Value);
    bool GetCtl3D() const { return FCtl3D; }
    void SetCtl3D(bool Value);
    // Kept for window definitions; the field draws its own frame from Ctl3D.
    bool ParentCtl3D = true;
    TColor GetControlCharColor() const { return FControlCharColor; }
    void SetControlCharColor(TColor Value);
    TEntCaret* CaretIns() const { return FCarets->CaretIns(); }
    TEntCaret* CaretOvr() const { return FCarets->CaretOvr(); }
    TEntEfColors* EFColors() const { return FEFColors.get(); }
    TEntBorders* Borders() const { return FBorders.get(); }

    // ---- Edit state
    bool GetModified() const { return FEditor.Modified; }
    void SetModified(bool Value);
    bool Editing() const { return FEditing; }
    bool GetInsertMode() const { return FEditor.InsertMode; }
    int GetSelStart() const { return FEditor.SelStart(); }
    int GetSelEnd() const { return FEditor.SelEnd(); }
    // The edit-control selection message's rules (65535 selects nothing).
    void SetSelection(int Start, int End);
    void SelectAll();
    int GetCaretPos() const { return FEditor.Caret(); }
    // What the field paints (zero display, pad and password characters applied).
    std::string DisplayText() const;
    // The items of the context menu and whether each is enabled.
    TEntEditMenuState ContextMenuState() const;

    // ---- Events
    TNotifyEvent OnChange;
    TEntErrorEvent OnError;
    TGetEpochEvent OnGetEpoch;
    TUserCommandEvent OnUserCommand;
    TUserValidationEvent OnUserValidation;

    TEntPictureFieldModel& Model() { return FModel; }
    const TEntPictureFieldModel& Model() const { return FModel; }
    const TEntPictureEditor& Editor() const { return FEditor; }

    void Dispatch(TMessage& Message) override;
    void Loaded() override;

protected:
    void CreateWnd() override;
    void Paint() override;
    std::string GetTextValue() const override { return AnsiToText(FModel.Text()); }
    // The window-text message: select all and paste the text.
    void SetTextValue(const std::string& Value) override;

    void WMSetFocus(TWMSetFocus& Message) override;
    void WMKillFocus(TWMKillFocus& Message) override;
    void CMExit(TMessage& Message) override;
    void WMKeyDown(TWMKey& Message) override;
    void WMSysKeyDown(TWMKey& Message) override;
    void WMChar(TWMKey& Message) override;
    void WMGetDlgCode(TMessage& Message) override;
    void WMLButtonDown(TWMMouse& Message) override;
    void WMLButtonUp(TWMMouse& Message) override;
    void WMLButtonDblClk(TWMMouse& Message) override;
    void WMMouseMove(TWMMouse& Message) override;
    void WMRButtonUp(TWMMouse& Message) override;
    void WMContextMenu(TWMContextMenu& Message) override;
    void CMFontChanged(TMessage& Message) override;
    void CMEnabledChanged(TMessage& Message) override;
    void BoundsChanged(bool SizeChanged) override;

    // Runs one command code (the command tables' or the context menu's).
    void ProcessCommand(uint16_t Command);
    void ProcessChar(char Ch);
    // Acts on what an editing call returned: changed text, beep, focus move.
    void ApplyResult(const TEntEditResult& Result);
    void CopyToClipboard();
    void PasteFromClipboard();
    void ShowContextMenu(TPoint Screen);
    // Mirrors component state and the controller's options into the models.
    void SyncModels();
    // The first creation gives the field its blank value; every creation
    // re-analyses the mask and settles the range.
    void PrepareValue();
    void WindowNeeded();
    void AfterValueChange();
    // The next window creation gives the field its blank value again.
    void ForgetValue() { FValueReady = false; }
    void UpdateCaret();
    void AdjustHeight();

    // Geometry of the text: where character Index starts (client x) and the
    // character boundary nearest to client x.
    int TextLeft();
    int CharX(int Index);
    int IndexAtX(int X);
    void ScrollCaretIntoView();

    TEntPictureFieldModel FModel;
    TEntPictureEditor FEditor;

private:
    void ReportErrorMessage(TMessage& Message);
    TRect TextRect() const;
    TColor CharBackColor(bool Selected) const;
    TColor CharTextColor(bool Selected, bool Control) const;

    std::unique_ptr<TEntCaretPair> FCarets;
    std::unique_ptr<TEntEfColors> FEFColors;
    std::unique_ptr<TEntBorders> FBorders;
    int FTextMargin = 2;
    bool FAutoSize = true;
    TBorderStyle FBorderStyle = bsSingle;
    bool FCtl3D = true;
    TColor FControlCharColor = clRed;
    int FFirstVisible = 0;

    bool FValueReady = false;  // the blank value was given
    bool FEditing = false;     // has the focus
    bool FDropChar = false;    // the last key was a command (or Alt+key): drop its character
    bool FExitDone = false;    // OnExit ran at the focus loss; skip the form's CM_EXIT
    bool FErrorPosted = false;
    bool FKeepPlace = false;
    bool FLeftWithError = false;
    bool FTransient = false;
    bool FMouseClick = false;
    bool FFocusPress = false;  // the focus came with the press still to arrive
    bool FSelecting = false;   // left button held inside the field
};

class TEntPictureBase : public TEntBaseEntryField {
public:
    explicit TEntPictureBase(TComponent* AOwner) : TEntBaseEntryField(AOwner) {}
    std::string GetPictureMask() const { return AnsiToText(FModel.GetPictureMask()); }
    // The value survives the change of mask; MaxLength follows the mask
    // outside loading.
    void SetPictureMask(const std::string& Value);
};

class TEntCustomPictureField : public TEntPictureBase {
public:
    explicit TEntCustomPictureField(TComponent* AOwner) : TEntPictureBase(AOwner) {}
    TPictureDataType GetDataType() const { return FModel.GetDataType(); }
    // Sets the type's default mask and range.
    void SetDataType(TPictureDataType Value);
    // The range as text for the data type; a text that does not parse raises
    // EInvalidRangeValue and leaves the range unchanged.
    std::string GetRangeHi() const { return AnsiToText(FModel.GetRangeHi()); }
    void SetRangeHi(const std::string& Value);
    std::string GetRangeLo() const { return AnsiToText(FModel.GetRangeLo()); }
    void SetRangeLo(const std::string& Value);
    // "RangeHigh" and "RangeLow": the 10 raw bytes of each range cell.
    void DefineProperties(TFiler* Filer) override;

private:
    void RangeChanged();
};

class TEntPictureField : public TEntCustomPictureField {
public:
    explicit TEntPictureField(TComponent* AOwner) : TEntCustomPictureField(AOwner) {}
};

// Publishes the picture-field classes for window definitions (once); the
// entry-control base classes are published first.
void RegisterEntPictureFieldClasses();
