// The picture field's construction, properties, value access, the focus
// protocol with validation and error reports, and its published properties.
// Editing, the mouse, the clipboard and painting are in entpfEditing.cpp.

#include "entpf.h"

#include <exception>

#include "Classes.h"
#include "Forms.h"
#include "TypInfo.h"
#include "entmsgs.h"

TEntBaseEntryField::TEntBaseEntryField(TComponent* AOwner)
    : TEntCustomControlEx(AOwner),
      FEditor(FModel),
      FCarets(std::make_unique<TEntCaretPair>(this)),
      FEFColors(std::make_unique<TEntEfColors>()),
      FBorders(std::make_unique<TEntBorders>()) {
    SetWidgetFocus(TWidgetFocus::TabAndClick);
    SetCursor(crIBeam);
    SetBounds(FLeft, FTop, 130, 25);
    SetTabStop(true);
    SetParentColor(false);
    SetColor(clWindow);
    FModel.SetPictureMask(std::string(15, 'X'));
    FModel.OnUserValidation = [this](uint16_t& code) {
        if (OnUserValidation) OnUserValidation(this, code);
    };
    FModel.EpochSource = [this](int own) {
        int epoch = own;
        if (!ComponentState.Contains(csWriting) && OnGetEpoch) OnGetEpoch(this, epoch);
        if (epoch == 0)
            if (TEntController* c = GetController()) epoch = c->GetEpoch();
        return epoch;
    };
    FModel.ControllerEpoch = [this]() {
        TEntController* c = AssignedController();
        return c ? c->GetEpoch() : -1;
    };
    FEFColors->OnColorChange = [this](TObject*) { Invalidate(); };
    FBorders->OnChange = [this](TObject*) {
        TEntFieldFrame frame = FieldBorderStyle(*FBorders);
        FBorderStyle = frame.BorderStyle;
        FCtl3D = frame.Ctl3D;
        if (HandleAllocated()) RecreateWnd();
        Invalidate();
    };
}

TEntBaseEntryField::~TEntBaseEntryField() {
    if (FCarets && FCarets->Linked()) FCarets->Hide();
}

void TEntBaseEntryField::SyncModels() {
    FModel.Loading = ComponentState.Contains(csLoading);
    FModel.DesignTime = ComponentState.Contains(csDesigning);
    FEditor.DesignTime = FModel.DesignTime;
    FModel.Editing = FEditing;
    if (TEntController* c = GetController()) {
        const TEntEntryOptions o = c->EntryOptions;
        FEditor.Settings.AutoAdvanceChar = o.Contains(efoAutoAdvanceChar);
        FEditor.Settings.AutoAdvanceLeftRight = o.Contains(efoAutoAdvanceLeftRight);
        FEditor.Settings.AutoAdvanceUpDown = o.Contains(efoAutoAdvanceUpDown);
        FEditor.Settings.AutoSelect = o.Contains(efoAutoSelect);
        FEditor.Settings.BeepOnError = o.Contains(efoBeepOnError);
        FEditor.Settings.InsertPushes = o.Contains(efoInsertPushes);
    }
}

void TEntBaseEntryField::PrepareValue() {
    SyncModels();
    if (FModel.Loading) return;
    FModel.PrepareWindow();
    if (!FValueReady && !FModel.DesignTime) {
        FValueReady = true;
        FModel.InitBlankValue();
    }
}

void TEntBaseEntryField::CreateWnd() {
    TEntCustomControlEx::CreateWnd();
    PrepareValue();
    FFirstVisible = 0;
    AdjustHeight();
    UpdateCaret();
}

void TEntBaseEntryField::Loaded() {
    TEntCustomControlEx::Loaded();
    SyncModels();
    // The options read from the definition are fitted to the data type now
    // (a numeric field drops efoTrimBlanks); setting the flag to itself runs
    // the model's adjustment.
    FModel.SetUninitialized(FModel.GetUninitialized());
    if (HandleAllocated()) PrepareValue();
    AdjustHeight();
    Invalidate();
}

void TEntBaseEntryField::WindowNeeded() {
    // A put goes into a field whose window exists, so that the window's
    // creation (which gives the blank value) cannot come after it.
    if (!HandleAllocated() && GetParent() && !ComponentState.Contains(csLoading)) HandleNeeded();
    if (!FValueReady) PrepareValue();
}

void TEntBaseEntryField::AfterValueChange() {
    if (!FEditing) FFirstVisible = 0;
    ScrollCaretIntoView();
    UpdateCaret();
    Invalidate();
}

// ---- Value access ------------------------------------------------------------------------

double TEntBaseEntryField::GetAsFloat() {
    if (!FValueReady) PrepareValue();
    SyncModels();
    const double v = FModel.GetAsFloat();
    AfterValueChange();
    return v;
}

int32_t TEntBaseEntryField::GetAsInteger() {
    if (!FValueReady) PrepareValue();
    SyncModels();
    const int32_t v = FModel.GetAsInteger();
    AfterValueChange();
    return v;
}

std::string TEntBaseEntryField::GetAsString() {
    if (!FValueReady) PrepareValue();
    SyncModels();
    return AnsiToText(FModel.GetAsString());
}

// Values put by code never fire OnChange: OnChange belongs to the user's edits.
void TEntBaseEntryField::SetAsFloat(double Value) {
    WindowNeeded();
    SyncModels();
    FModel.SetAsFloat(Value);
    AfterValueChange();
}

void TEntBaseEntryField::SetAsInteger(int32_t Value) {
    WindowNeeded();
    SyncModels();
    FModel.SetAsInteger(Value);
    AfterValueChange();
}

void TEntBaseEntryField::SetAsString(const std::string& Value) {
    WindowNeeded();
    SyncModels();
    FModel.SetAsString(TextToAnsi(Value));
    AfterValueChange();
}

// ---- Properties ------------------------------------------------------------------------------

void TEntBaseEntryField::SetOptions(TEntEntryFieldOptions Value) {
    SyncModels();
    FModel.SetOptions(Value);
    if (FEditing) {
        if (Value.Contains(efoForceInsert)) FEditor.InsertMode = true;
        if (Value.Contains(efoForceOvertype)) FEditor.InsertMode = false;
        FCarets->SetInsertMode(FEditor.InsertMode);
    }
    AfterValueChange();
}

void TEntBaseEntryField::SetMaxLength(int Value) {
    SyncModels();
    if (FModel.SetMaxLength(Value) && !FModel.Loading && HandleAllocated()) RecreateWnd();
    Invalidate();
}

void TEntBaseEntryField::SetDecimalPlaces(uint8_t Value) {
    FModel.SetDecimalPlaces(Value);
    if (HandleAllocated() && !ComponentState.Contains(csLoading)) RecreateWnd();
    Invalidate();
}

void TEntBaseEntryField::SetPadChar(char Value) {
    FModel.PadChar = Value;
    Invalidate();
}

void TEntBaseEntryField::SetPasswordChar(char Value) {
    FModel.PasswordChar = Value;
    if (Value == 0) SetOptions(GetOptions() - efoPasswordMode);
    Invalidate();
}

void TEntBaseEntryField::SetPadCharText(const std::string& Value) {
    const std::string c = TextToAnsi(Value);
    SetPadChar(c.empty() ? ' ' : c[0]);
}

void TEntBaseEntryField::SetPasswordCharText(const std::string& Value) {
    const std::string c = TextToAnsi(Value);
    SetPasswordChar(c.empty() ? '\0' : c[0]);
}

void TEntBaseEntryField::SetTextMargin(int Value) {
    if (Value == FTextMargin || Value < 2) return;
    FTextMargin = Value;
    AfterValueChange();
}

void TEntBaseEntryField::SetUninitialized(bool Value) {
    SyncModels();
    FModel.SetUninitialized(Value);
    Invalidate();
}

void TEntBaseEntryField::SetZeroDisplay(TZeroDisplay Value) {
    FModel.ZeroDisplay = Value;
    Invalidate();
}

void TEntBaseEntryField::SetZeroDisplayValue(double Value) {
    if (Value == FModel.ZeroDisplayValue) return;
    FModel.ZeroDisplayValue = Value;
    Invalidate();
}

int TEntBaseEntryField::GetEpoch() {
    // The stored value is what a window definition writes.
    if (ComponentState.Contains(csWriting)) return FModel.GetEpoch();
    return FModel.EpochSource ? FModel.EpochSource(FModel.GetEpoch()) : FModel.GetEpoch();
}

void TEntBaseEntryField::SetEpoch(int Value) { FModel.SetEpoch(Value); }

void TEntBaseEntryField::SetInitDateTime(bool Value) {
    SyncModels();
    FModel.SetInitDateTime(Value);
    AfterValueChange();
}

void TEntBaseEntryField::SetAutoSize(bool Value) {
    if (Value == FAutoSize) return;
    FAutoSize = Value;
    AdjustHeight();
}

void TEntBaseEntryField::SetBorderStyle(TBorderStyle Value) {
    if (Value == FBorderStyle) return;
    FBorderStyle = Value;
    AdjustHeight();
    AfterValueChange();
}

void TEntBaseEntryField::SetCtl3D(bool Value) {
    if (Value == FCtl3D) return;
    FCtl3D = Value;
    AdjustHeight();
    AfterValueChange();
}

void TEntBaseEntryField::SetControlCharColor(TColor Value) {
    if (Value == FControlCharColor) return;
    FControlCharColor = Value;
    Invalidate();
}

void TEntBaseEntryField::SetModified(bool Value) {
    FEditor.Modified = Value;
    if (Value) FEditor.EverModified = true;
    Invalidate();
}

// ---- Validation and error reports ------------------------------------------------------------

bool TEntBaseEntryField::ValidateContents(bool ReportError) {
    if (!GetVisible() || !GetEnabled()) return true;
    if (!FValueReady) PrepareValue();
    SyncModels();
    FModel.LastError = 0;
    FModel.Validating = true;
    uint16_t code = 0;
    try {
        code = FModel.CheckContents(FEditor.Modified);
    } catch (...) {
        FModel.Validating = false;
        throw;
    }
    FModel.Validating = false;
    FModel.LastError = code;
    const TEntEntryFieldOptions options = FModel.GetOptions();
    const bool soft = options.Contains(efoSoftValidation);
    const bool wasError = FModel.ErrorFlag;
    if (code == 0) {
        FModel.ErrorFlag = false;
        if (wasError) Invalidate();
        AfterValueChange();
        return true;
    }
    if (ReportError && soft) {
        FModel.ErrorFlag = true;
        AfterValueChange();
        return true;
    }
    if (soft) FModel.ErrorFlag = true;
    FErrorPosted = true;
    if (FEditing) FKeepPlace = true;
    if (TEntController* c = GetController()) {
        c->PostSetFocus(this);
        // One report per failure: a second failing field while the first
        // takes the focus back stays silent.
        if (!c->ErrorPending) PostMessage(this, om_ReportError, WPARAM(code));
        c->ErrorPending = true;
    } else {
        PostMessage(this, om_ReportError, WPARAM(code));
    }
    AfterValueChange();
    return false;
}

uint16_t TEntBaseEntryField::ValidateSelf(bool Report) {
    if (!GetEnabled() || !GetVisible() || !GetParent() || !GetParent()->GetEnabled() || !GetParent()->GetVisible())
        return 0;
    if (!FValueReady) PrepareValue();
    SyncModels();
    FModel.LastError = 0;
    const uint16_t code = FModel.CheckContents(FEditor.Modified);
    FModel.LastError = code;
    if (Report && code != 0) PostMessage(this, om_ReportError, WPARAM(code));
    const bool wasError = FModel.ErrorFlag;
    if (code == 0)
        FModel.ErrorFlag = false;
    else if (FModel.GetOptions().Contains(efoSoftValidation))
        FModel.ErrorFlag = true;
    if (wasError != FModel.ErrorFlag) Invalidate();
    return code;
}

void TEntBaseEntryField::DoOnError(uint16_t ErrorCode, const std::string& ErrorMsg) {
    if (OnError) {
        OnError(this, ErrorCode, ErrorMsg);
    } else if (TEntController* c = GetController()) {
        c->DoOnError(this, ErrorCode, ErrorMsg);
    }
}

void TEntBaseEntryField::ReportErrorMessage(TMessage& Message) {
    const uint16_t code = uint16_t(Message.WParam);
    if (code == 0) return;
    TEntController* c = GetController();
    const std::string text = ErrorCodeText(code, c ? c->ErrorText : std::string());
    if (c) c->ErrorText = text;
    DoOnError(code, text);
}

void TEntBaseEntryField::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case om_ReportError: ReportErrorMessage(Message); return;
    case EM_GETSEL: Message.Result = LRESULT(MakeLParam(FEditor.SelStart(), FEditor.SelEnd())); return;
    case EM_SETSEL: SetSelection(int(Message.WParam), int(Message.LParam)); return;
    case EM_GETMODIFY: Message.Result = FEditor.Modified ? 1 : 0; return;
    case EM_SETMODIFY: SetModified(Message.WParam != 0); return;
    case WM_CUT: ProcessCommand(ccCut); return;
    case WM_COPY: ProcessCommand(ccCopy); return;
    case WM_PASTE: ProcessCommand(ccPaste); return;
    case WM_CLEAR: return;  // clearing through the edit message does nothing
    default: TEntCustomControlEx::Dispatch(Message); return;
    }
}

// ---- Focus -----------------------------------------------------------------------------------

void TEntBaseEntryField::WMKillFocus(TWMKillFocus& Message) {
    if (ComponentState.Contains(csDesigning) || ComponentState.Contains(csLoading)) {
        TEntCustomControlEx::WMKillFocus(Message);
        return;
    }
    SyncModels();
    TEntController* c = GetController();
    TWinControl* other = FindControl(Message.FocusedWnd());
    TForm* form = GetParentForm(this);
    // The focus went to a control of this form (not to another program or window).
    const bool toFormControl =
        other && other != static_cast<TWinControl*>(this) && form && GetParentForm(other) == form;
    FKeepPlace = !toFormControl;

    FCarets->Hide();
    SetMouseCapture(false);
    FSelecting = false;
    FEditor.AlignOnExit();
    TEntCustomControlEx::WMKillFocus(Message);
    // The page's calculation hangs on OnExit and must see the typed value
    // before the field is checked, so OnExit runs here rather than when the
    // form hands the focus on.
    // A failing calculation still leaves the field in a sound state: the
    // rest of the focus loss runs and the exception goes on afterwards.
    std::exception_ptr exitFailure;
    if (toFormControl && !FExitDone) {
        FExitDone = true;
        try {
            DoExit();
        } catch (...) {
            exitFailure = std::current_exception();
        }
    }

    const TEntEntryFieldOptions options = FModel.GetOptions();
    if (c && !options.Contains(efoForceInsert) && !options.Contains(efoForceOvertype))
        c->InsertMode = FEditor.InsertMode;

    if (!FErrorPosted && !FTransient && toFormControl) {
        if (FEditor.Modified) FModel.SetUninitialized(false);
        if (c && c->DoIsSpecialControl(other)) {
            const bool modified = FEditor.Modified;
            FModel.LastError = FModel.Validate();
            FEditor.Modified = modified;
        } else {
            ValidateContents(true);
        }
        FLeftWithError = FErrorPosted;
    }

    FEditing = false;
    FModel.Editing = false;
    if (toFormControl && !FKeepPlace && !FTransient && c) c->DoOnPostEdit(this, other);
    FTransient = false;
    FEditor.EndEdit(FKeepPlace);
    if (!FKeepPlace) FFirstVisible = 0;
    AfterValueChange();
    if (exitFailure) std::rethrow_exception(exitFailure);
}

void TEntBaseEntryField::CMExit(TMessage& Message) {
    if (FExitDone) {
        FExitDone = false;
        return;
    }
    TEntCustomControlEx::CMExit(Message);
}

void TEntBaseEntryField::WMSetFocus(TWMSetFocus& Message) {
    if (ComponentState.Contains(csDesigning) || ComponentState.Contains(csLoading)) {
        TEntCustomControlEx::WMSetFocus(Message);
        return;
    }
    FExitDone = false;
    if (!FValueReady) PrepareValue();
    // A press that brings the focus is the not-editing press: it only
    // brings the focus, and the focus gain selects the text.
    if (FocusFromMousePress()) {
        FMouseClick = true;
        FFocusPress = true;
        FEditor.SetSelection(65535, 0);
    }
    FEditing = true;
    SyncModels();
    TEntController* c = GetController();
    if (c) c->EntryCommands()->ResetCommandProcessor();
    TWinControl* other = FindControl(Message.FocusedWnd());

    if (FLeftWithError && other) {
        // The click that moved the focus away ends where it is.
        other->Perform(WM_CANCELMODE);
        Show();
    }

    const TEntEntryFieldOptions options = FModel.GetOptions();
    if (c && !options.Contains(efoForceInsert) && !options.Contains(efoForceOvertype))
        FEditor.InsertMode = c->InsertMode;

    bool transient = false;
    if (!FKeepPlace) {
        transient = c && c->ErrorPending && !FErrorPosted;
        if (!transient && c) c->DoOnPreEdit(this, other);
        FEditor.BeginEdit(transient, FLeftWithError, FMouseClick);
    }
    FTransient = transient && !options.Contains(efoSoftValidation);
    FErrorPosted = false;
    FKeepPlace = false;
    FMouseClick = false;
    FLeftWithError = false;
    if (!transient && c) c->ErrorPending = false;

    TEntCustomControlEx::WMSetFocus(Message);
    if (options.Contains(efoForceInsert)) FEditor.InsertMode = true;
    if (options.Contains(efoForceOvertype)) FEditor.InsertMode = false;
    FCarets->SetInsertMode(FEditor.InsertMode);
    FCarets->Show();
    AfterValueChange();
}

// ---- Data type, mask and range -------------------------------------------------------------------

void TEntPictureBase::SetPictureMask(const std::string& Value) {
    SyncModels();
    FModel.SetPictureMask(TextToAnsi(Value));
    AfterValueChange();
}

void TEntCustomPictureField::SetDataType(TPictureDataType Value) {
    if (Value == FModel.GetDataType()) return;
    SyncModels();
    FModel.SetDataType(Value);
    if (HandleAllocated() && !FModel.Loading) {
        // The new window gives the field the blank value of its new type.
        ForgetValue();
        RecreateWnd();
    }
    AfterValueChange();
}

void TEntCustomPictureField::SetRangeHi(const std::string& Value) {
    SyncModels();
    FModel.SetRangeHi(TextToAnsi(Value));
    RangeChanged();
}

void TEntCustomPictureField::SetRangeLo(const std::string& Value) {
    SyncModels();
    FModel.SetRangeLo(TextToAnsi(Value));
    RangeChanged();
}

void TEntCustomPictureField::RangeChanged() {
    if (FModel.Loading) return;
    if (ValidateSelf(true) != 0) {
        TWinControl* parent = GetParent();
        if (parent && parent->GetVisible() && parent->GetEnabled() && CanFocus()) SetFocus();
    }
}

void TEntCustomPictureField::DefineProperties(TFiler* Filer) {
    TEntPictureBase::DefineProperties(Filer);
    const bool stored = StoresRangeCells(FModel.GetDataType());
    auto reader = [this](bool high) {
        return [this, high](TStream* Stream) {
            TEntRangeCell cell{};
            const int64_t size = Stream->GetSize() - Stream->GetPosition();
            if (size < int64_t(cell.size())) throw EReadError("Range property of " + GetName() + " is too short");
            Stream->ReadBuffer(cell.data(), int64_t(cell.size()));
            if (high)
                FModel.SetRangeHiCell(cell);
            else
                FModel.SetRangeLoCell(cell);
        };
    };
    auto writer = [this](bool high) {
        return [this, high](TStream* Stream) {
            const TEntRangeCell& cell = high ? FModel.RangeHiCell() : FModel.RangeLoCell();
            Stream->WriteBuffer(cell.data(), int64_t(cell.size()));
        };
    };
    Filer->DefineBinaryProperty("RangeHigh", reader(true), writer(true), stored);
    Filer->DefineBinaryProperty("RangeLow", reader(false), writer(false), stored);
}

// ---- Published properties ----------------------------------------------------------------------

void RegisterEntPictureFieldClasses() {
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterEntBaseClasses();

    using F = TEntBaseEntryField;
    Published<TEntBaseEntryField>("TEntBaseEntryField", "TEntCustomControlEx")
        .SetOf("Options",
               {"efoArrowIncDec", "efoCaretToEnd", "efoForceInsert", "efoForceOvertype", "efoInputRequired",
                "efoPasswordMode", "efoReadOnly", "efoRightAlign", "efoRightJustify", "efoSoftValidation",
                "efoStripLiterals", "efoTrimBlanks"},
               &F::GetOptions, &F::SetOptions)
        .Int("MaxLength", &F::GetMaxLength, &F::SetMaxLength)
        .Int("DecimalPlaces", &F::GetDecimalPlaces, &F::SetDecimalPlaces)
        .Str("PadChar", &F::GetPadCharText, &F::SetPadCharText)
        .Int("TextMargin", &F::GetTextMargin, &F::SetTextMargin)
        .Bool("Uninitialized", &F::GetUninitialized, &F::SetUninitialized)
        .Enum("ZeroDisplay", {"zdShow", "zdHide", "zdHideUntilModified"}, &F::GetZeroDisplay, &F::SetZeroDisplay)
        .Float("ZeroDisplayValue", &F::GetZeroDisplayValue, &F::SetZeroDisplayValue)
        .Int("Epoch", &F::GetEpoch, &F::SetEpoch)
        .Bool("InitDateTime", &F::GetInitDateTime, &F::SetInitDateTime)
        .Bool("AutoSize", &F::GetAutoSize, &F::SetAutoSize)
        .Enum("BorderStyle", {"bsNone", "bsSingle"}, &F::GetBorderStyle, &F::SetBorderStyle)
        .Bool("Ctl3D", &F::GetCtl3D, &F::SetCtl3D)
        .Bool("ParentCtl3D", &F::ParentCtl3D, &F::ParentCtl3D)
        .Int("ControlCharColor", &F::GetControlCharColor, &F::SetControlCharColor)
        .Object("CaretIns", &F::CaretIns)
        .Object("CaretOvr", &F::CaretOvr)
        .Object("EFColors", &F::EFColors)
        .Object("Borders", &F::Borders)
        .Event("OnChange", &F::OnChange)
        .Event("OnError", &F::OnError)
        .Event("OnGetEpoch", &F::OnGetEpoch)
        .Event("OnUserCommand", &F::OnUserCommand)
        .Event("OnUserValidation", &F::OnUserValidation);
    Published<TEntPictureBase>("TEntPictureBase", "TEntBaseEntryField")
        .Str("PictureMask", &TEntPictureBase::GetPictureMask, &TEntPictureBase::SetPictureMask);
    Published<TEntCustomPictureField>("TEntCustomPictureField", "TEntPictureBase")
        .Enum("DataType",
              {"pftString", "pftChar", "pftBoolean", "pftYesNo", "pftLongInt", "pftWord", "pftInteger", "pftByte",
               "pftShortInt", "pftReal", "pftExtended", "pftDouble", "pftSingle", "pftComp", "pftDate", "pftTime",
               "pftDateTime"},
              &TEntCustomPictureField::GetDataType, &TEntCustomPictureField::SetDataType);
    Published<TEntPictureField>("TEntPictureField", "TEntCustomPictureField")
        .Str("PasswordChar", &F::GetPasswordCharText, &F::SetPasswordCharText);
}
