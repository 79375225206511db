#pragma once
// Forms, the application object and the screen.
//
// A form is a top-level window: its widget holds the menu bar and the client
// area its controls live in. Width and Height are the whole window's, as the
// platform counts them (client area plus a fixed frame and the menu bar), so that
// window definitions and minimum tracking sizes keep their numbers.

#include <functional>
#include <string>
#include <vector>

#include "Controls.h"

class QEventLoop;
class QObject;
class TMainMenu;
class TMenuItem;

enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
    mrAll = 8,
    mrNoToAll = 9,
    mrYesToAll = 10,
};
enum TCloseAction { caNone, caHide, caFree, caMinimize };
enum TPosition {
    poDesigned,
    poDefault,
    poDefaultPosOnly,
    poDefaultSizeOnly,
    poScreenCenter,
    poDesktopCenter,
    poMainFormCenter,
    poOwnerFormCenter
};
enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TBorderIcon { biSystemMenu, biMinimize, biMaximize, biHelp };
using TBorderIcons = Set<TBorderIcon>;
enum TFormStateFlag { fsCreating, fsVisible, fsShowing, fsModal, fsCreatedMDIChild, fsActivated };
using TFormState = Set<TFormStateFlag>;

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = std::function<void(TWMKey& Msg, bool& Handled)>;

// Size limits of the whole window; 0 means none.
struct TSizeConstraints {
    int MinWidth = 0, MinHeight = 0, MaxWidth = 0, MaxHeight = 0;
};

class TForm : public TWinControl {
public:
    explicit TForm(TComponent* AOwner);
    ~TForm() override;
    // OnDestroy, once, while the derived form still exists.
    void BeforeDestruction() override;

    // Runs OnCreate once. TApplication::CreateForm calls it; code that makes a form
    // with new calls it after the form's components exist.
    virtual void AfterConstruction();

    // ---- Showing and closing --------------------------------------------------------
    void Show();
    void Hide() { SetVisible(false); }
    // Shows the form modally and returns the ModalResult that ended it.
    virtual int ShowModal();
    int GetModalResult() const { return FModalResult; }
    void SetModalResult(int Value);
    void Close();
    // OnCloseQuery; true when the form may close.
    virtual bool CloseQuery();
    // Frees the form once the messages queued so far have been handled.
    void Release();
    TFormState FormState;

    TPosition GetPosition() const { return FPosition; }
    void SetPosition(TPosition Value);
    TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
    void SetBorderStyle(TFormBorderStyle Value);
    TBorderIcons GetBorderIcons() const { return FBorderIcons; }
    void SetBorderIcons(TBorderIcons Value);
    TFormStyle GetFormStyle() const { return FFormStyle; }
    void SetFormStyle(TFormStyle Value);
    TWindowState GetWindowState() const { return FWindowState; }
    void SetWindowState(TWindowState Value);
    TSizeConstraints GetConstraints() const { return FConstraints; }
    void SetConstraints(const TSizeConstraints& Value);

    TMainMenu* GetMenu() const { return FMenu; }
    void SetMenu(TMainMenu* Value);
    // Called by the menu when its items change.
    void MenuChanged();

    // ---- Focus ---------------------------------------------------------------------
    TWinControl* GetActiveControl() const { return FActiveControl; }
    void SetActiveControl(TWinControl* Control);
    void FocusControl(TWinControl* Control);
    // The control that has the focus now: exits the old one (and its parents that do
    // not hold the new one), then enters the new one's parents and the new one.
    virtual bool SetFocusedControl(TWinControl* Control);
    // A control that goes away or becomes unfocusable leaves the form's focus.
    void DefocusControl(TWinControl* Control, bool Removing);
    bool Active() const { return FActive; }
    bool KeyPreview = false;
    // Menu shortcuts: OnShortCut, then the main menu.
    virtual bool IsShortCut(TWMKey& Message);

    TCanvas* GetCanvas() const { return FCanvas.get(); }
    TCanvas* Canvas() const { return FCanvas.get(); }

    // ---- Context help ---------------------------------------------------------------
    // The help cursor shows until the next mouse press, which is swallowed and
    // handed to Clicked with the control of this form under it (nullptr for a
    // press elsewhere, or when Escape ends the mode).
    void BeginContextHelp(std::function<void(TControl* Clicked)> Clicked);
    bool InContextHelp() const { return FContextHelp != nullptr; }
    // What the help border icon (biHelp; Shift+F1 on this desktop) does with a
    // click: the pop-up help of the nearest HelpContext up from the control.
    static void ShowContextPopup(TControl* Clicked);

    // ---- Events ------------------------------------------------------------------------
    TNotifyEvent OnCreate;
    TNotifyEvent OnDestroy;
    TNotifyEvent OnShow;
    TNotifyEvent OnHide;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;
    TNotifyEvent OnPaint;
    TCloseEvent OnClose;
    TCloseQueryEvent OnCloseQuery;
    TShortCutEvent OnShortCut;

    // ---- Geometry ----------------------------------------------------------------------
    TRect GetClientRect() const override;
    void SetClientSize(int AWidth, int AHeight) override;
    void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
    TPoint ClientOrigin() const override;
    QWidget* ClientWidget() override;
    bool Showing() const override;
    // The frame and menu bar around the client area, in pixels (width, height).
    TSize NonClientSize() const;

    void Dispatch(TMessage& Message) override;
    void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
    void BoundsChanged(bool SizeChanged) override;
    void WidgetGeometryChanged() override;
    QWidget* CreateWidget(QWidget* ParentWidget) override;
    void DestroyWnd() override;
    void UpdateWidget() override;
    void PaintWindow(QPainter& Painter) override;
    virtual void Paint();
    virtual void DoCreate();
    virtual void DoDestroy();
    virtual void DoShow();
    virtual void DoHide();
    virtual void DoClose(TCloseAction& Action);
    virtual void Activate();
    virtual void Deactivate();
    void CMVisibleChanged(TMessage& Message) override;
    void CMTextChanged(TMessage& Message) override;
    void CMDialogKey(TWMKey& Message) override;
    void WMSize(TWMSize& Message) override;
    virtual void WMClose(TMessage& Message);
    virtual void WMActivate(TWMActivate& Message);
    // The window's size limits; the default applies Constraints.
    virtual void WMGetMinMaxInfo(TWMGetMinMaxInfo& Message);
    virtual void WMNextDlgCtl(TMessage& Message);
    virtual void CMRelease(TMessage& Message);
    // Applies the size limits, the border and the stay-on-top flag to the window.
    void UpdateWindowFlags();
    void ApplySizeLimits();
    void LayoutClient();
    void PlaceOnScreen();
    void CloseModal();

    QWidget* FClient = nullptr;
    QWidget* FMenuBar = nullptr;
    QEventLoop* FModalLoop = nullptr;
    QObject* FContextHelp = nullptr;  // the event filter while in context help
    friend class TContextHelpFilter;
    // Leaves context help without an answer.
    void EndContextHelp();
    std::unique_ptr<TCanvas> FCanvas;
    TWinControl* FActiveControl = nullptr;
    TWinControl* FFocusedControl = nullptr;
    TWinControl* FLastFocusedControl = nullptr;
    TMainMenu* FMenu = nullptr;
    int FModalResult = mrNone;
    TPosition FPosition = poDesigned;
    // Position is applied once, at the first showing after it was set; a move
    // by code before then takes its place.
    bool FPositionPending = false;
    bool FPlacing = false;
    TFormBorderStyle FBorderStyle = bsSizeable;
    TBorderIcons FBorderIcons{biSystemMenu, biMinimize, biMaximize};
    TFormStyle FFormStyle = fsNormal;
    TWindowState FWindowState = wsNormal;
    TSizeConstraints FConstraints;
    bool FActive = false;
    bool FCreated = false;
    bool FDestroyDone = false;  // OnDestroy has run
    bool FPlaced = false;
    bool FReleasing = false;
};

using TCustomForm = TForm;

// ---- Help ----------------------------------------------------------------------------
enum : unsigned {
    HELP_CONTEXT = 0x0001,
    HELP_QUIT = 0x0002,
    HELP_INDEX = 0x0003,
    HELP_CONTENTS = 0x0003,
    HELP_HELPONHELP = 0x0004,
    HELP_SETINDEX = 0x0005,
    HELP_CONTEXTPOPUP = 0x0008,
    HELP_FORCEFILE = 0x0009,
    HELP_FINDER = 0x000B,
    HELP_KEY = 0x0101,
    HELP_COMMAND = 0x0102,
    HELP_PARTIALKEY = 0x0105,
    HELP_MULTIKEY = 0x0201,
};
// Carries out a help command for a help file: HELP_CONTEXT with a context number,
// HELP_PARTIALKEY and HELP_KEY with a keyword (Data points at the UTF-8 text),
// HELP_CONTENTS, HELP_HELPONHELP, HELP_QUIT. Returns whether the command was carried out.
using THelpService = std::function<bool(const std::string& HelpFile, unsigned Command, intptr_t Data)>;
// Replaces the help service; returns the previous one. An empty service restores the default.
THelpService SetHelpService(THelpService Service);
// The default service shows the help file compiled beside the help file's name
// (HelpViewer.h) and, when there is none, says once that help is not installed.
// The notice given when no help is installed.
extern const char* const SHelpNotInstalled;

using TExceptionEvent = std::function<void(TObject* Sender, Exception& E)>;
using THelpEvent = std::function<bool(unsigned Command, intptr_t Data, bool& CallHelp)>;

class TApplication : public TComponent {
public:
    explicit TApplication(TComponent* AOwner);
    ~TApplication() override;

    // Makes the Qt application when there is none (argc/argv for it), installs the
    // window layer's message boxes when there is a display.
    void Initialize();
    // Creates a form owned by the application; the first becomes the main form.
    template <class T>
    T* CreateForm() {
        T* form = new T(this);
        RegisterForm(form);
        return form;
    }
    void RegisterForm(TForm* Form);
    // Shows the main form and handles messages until Terminate.
    void Run();
    void ProcessMessages();
    // Waits for one message and handles it (and whatever is queued with it).
    void HandleMessage();
    void Terminate();
    bool Terminated() const { return FTerminated; }
    // Undoes Terminate (for a second run in the same process, such as a test).
    void ResetTerminated() { FTerminated = false; }

    std::string GetTitle() const { return FTitle; }
    void SetTitle(const std::string& Value);
    TForm* MainForm() const { return FMainForm; }
    void SetMainForm(TForm* Form) { FMainForm = Form; }
    bool ShowMainForm = true;

    // ---- Help ----------------------------------------------------------------------
    std::string HelpFile;
    bool HelpCommand(unsigned Command, intptr_t Data);
    bool HelpContext(int Context);
    bool HelpJump(const std::string& JumpID);
    THelpEvent OnHelp;

    // ---- Hints ---------------------------------------------------------------------
    std::string GetHint() const { return FHint; }
    // A changed hint calls OnHint.
    void SetHint(const std::string& Value);
    bool GetShowHint() const { return FShowHint; }
    void SetShowHint(bool Value);
    int HintPause = 500;
    int HintHidePause = 2500;
    TColor HintColor = clInfoBk;
    TNotifyEvent OnHint;
    void CancelHint();
    // The mouse is over Control now (nullptr: over nothing of ours).
    void MouseOverControl(TControl* Control);
    // A control is going away: it stops being the one hints are shown for.
    void ControlDestroyed(TControl* Control);

    // ---- Exceptions -----------------------------------------------------------------
    TExceptionEvent OnException;
    // For the exception being handled: EAbort stays silent; otherwise OnException when
    // set, else ShowException. Call only inside a catch block.
    void HandleException(TObject* Sender);
    void ShowException(Exception& E);

    TNotifyEvent OnIdle;
    TNotifyEvent OnActivate;
    TNotifyEvent OnDeactivate;

    void Notification(TComponent* AComponent, TOperation Operation) override;

private:
    void ShowHintFor(TControl* Control);
    std::string FTitle;
    TForm* FMainForm = nullptr;
    bool FTerminated = false;
    bool FRunning = false;
    std::string FHint;
    bool FShowHint = true;
    HWND FHintControl = 0;
    TControl* FHintControlPtr = nullptr;
    void* FHintTimer = nullptr;
    bool FOwnsQtApp = false;
};

extern TApplication* Application;

class TScreen : public TComponent {
public:
    explicit TScreen(TComponent* AOwner);
    ~TScreen() override;
    int Width() const;
    int Height() const;
    int GetWidth() const { return Width(); }
    int GetHeight() const { return Height(); }
    // A cursor other than crDefault overrides every control's until set back.
    TCursor GetCursor() const { return FCursor; }
    void SetCursor(TCursor Value);
    TForm* ActiveForm() const;
    TWinControl* ActiveControl() const;
    int FormCount() const { return int(FForms.size()); }
    TForm* Forms(int Index) const { return FForms.at(size_t(Index)); }
    int PixelsPerInch = 96;

    void AddForm(TForm* Form);
    void RemoveForm(TForm* Form);

private:
    TCursor FCursor = crDefault;
    std::vector<TForm*> FForms;
};

extern TScreen* Screen;

// The Qt cursor shape of a TCursor (for the layer's own use).
int CursorToQtShape(TCursor Cursor);
