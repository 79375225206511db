// TForm.

#include "Forms.h"
#include "ControlsPrivate.h"
#include "Menus.h"
#include "MenusPrivate.h"

#include <QApplication>
#include <QEventLoop>
#include <QGuiApplication>
#include <QMenuBar>
#include <QPainter>
#include <QScreen>
#include <QWidget>

namespace {

// The platform's frame: border and caption, and a menu bar counted at a fixed height,
// so that a form's Width and Height relate to its client size the same way everywhere.
constexpr int kMenuBarMetric = 19;

struct FrameMetric {
    int Border, Caption;
};

FrameMetric FrameFor(TFormBorderStyle style) {
    switch (style) {
    case bsNone: return {0, 0};
    case bsToolWindow:
    case bsSizeToolWin: return {4, 15};
    default: return {4, 19};
    }
}

bool Sizeable(TFormBorderStyle style) { return style == bsSizeable || style == bsSizeToolWin; }

}  // namespace

TForm::TForm(TComponent* AOwner) : TWinControl(AOwner), FCanvas(std::make_unique<TCanvas>()) {
    FVisible = false;
    FColor = clBtnFace;
    FParentColor = false;
    FParentFont = false;
    FWidth = 320;
    FHeight = 240;
    ControlStyle = {csAcceptsControls, csCaptureMouse, csClickEvents, csSetCaption, csDoubleClicks};
    FLastFocusedControl = this;
    FormState += fsCreating;
    if (Screen) Screen->AddForm(this);
}

TForm::~TForm() {
    EndContextHelp();
    TForm::BeforeDestruction();
    if (Screen) Screen->RemoveForm(this);
    if (Application && Application->MainForm() == this) Application->SetMainForm(nullptr);
    FActiveControl = nullptr;
    FFocusedControl = nullptr;
    FLastFocusedControl = this;
    if (FMenu) FMenu->RemoveFreeNotification(this);
    FMenu = nullptr;
    Destroying();
    DestroyComponents();
    DestroyWnd();
}

void TForm::BeforeDestruction() {
    if (!FCreated || FDestroyDone) return;
    FDestroyDone = true;
    try {
        DoDestroy();
    } catch (...) {
        HandleDispatchException(this);
    }
}

void TForm::AfterConstruction() {
    if (FCreated) return;
    FCreated = true;
    FormState -= fsCreating;
    try {
        DoCreate();
    } catch (...) {
        // The form stays created; the application's handler reports the failure.
        HandleDispatchException(this);
    }
}

void TForm::DoCreate() {
    if (OnCreate) OnCreate(this);
}

void TForm::DoDestroy() {
    if (OnDestroy) OnDestroy(this);
}

void TForm::DoShow() {
    if (OnShow) OnShow(this);
}

void TForm::DoHide() {
    if (OnHide) OnHide(this);
}

void TForm::DoClose(TCloseAction& Action) {
    if (OnClose) OnClose(this, Action);
}

void TForm::Activate() {
    if (OnActivate) OnActivate(this);
}

void TForm::Deactivate() {
    if (OnDeactivate) OnDeactivate(this);
}

// ---- Widget ----------------------------------------------------------------------------

QWidget* TForm::CreateWidget(QWidget*) {
    auto* w = new QWidget(nullptr, Qt::Window);
    w->setFocusPolicy(Qt::NoFocus);
    FClient = new QWidget(w);
    FClient->setFocusPolicy(Qt::NoFocus);
    if (FMenu) {
        auto* bar = new QMenuBar(w);
        FMenuBar = bar;
        BuildMenuBar(FMenu, bar);
    }
    return w;
}

void TForm::DestroyWnd() {
    TWinControl::DestroyWnd();
    FClient = nullptr;
    FMenuBar = nullptr;
    FActive = false;
}

QWidget* TForm::ClientWidget() {
    HandleNeeded();
    return FClient;
}

void TForm::UpdateWidget() {
    TWinControl::UpdateWidget();
    if (!FWidget) return;
    FWidget->setWindowTitle(QString::fromStdString(FText));
    UpdateWindowFlags();
    BoundsChanged(false);
}

void TForm::UpdateWindowFlags() {
    if (!FWidget) return;
    Qt::WindowFlags flags = Qt::Window;
    switch (FBorderStyle) {
    case bsNone: flags |= Qt::FramelessWindowHint; break;
    case bsDialog: flags = Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
    case bsToolWindow:
    case bsSizeToolWin: flags = Qt::Tool | Qt::WindowTitleHint | Qt::WindowCloseButtonHint; break;
    default:
        flags |= Qt::WindowTitleHint | Qt::CustomizeWindowHint;
        if (FBorderIcons.Contains(biSystemMenu)) flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        if (FBorderIcons.Contains(biMinimize)) flags |= Qt::WindowMinimizeButtonHint;
        if (FBorderIcons.Contains(biMaximize) && Sizeable(FBorderStyle)) flags |= Qt::WindowMaximizeButtonHint;
        break;
    }
    if (FFormStyle == fsStayOnTop) flags |= Qt::WindowStaysOnTopHint;
    if (FWidget->windowFlags() != flags) {
        bool shown = FWidget->isVisible();
        FWidget->setWindowFlags(flags);
        if (shown) FWidget->show();
    }
    ApplySizeLimits();
}

TSize TForm::NonClientSize() const {
    FrameMetric f = FrameFor(FBorderStyle);
    return TSize{2 * f.Border, 2 * f.Border + f.Caption + (FMenu ? kMenuBarMetric : 0)};
}

static int MenuBarHeight(QWidget* bar) { return bar ? bar->sizeHint().height() : 0; }

void TForm::LayoutClient() {
    if (!FWidget || !FClient) return;
    int mh = MenuBarHeight(FMenuBar);
    if (FMenuBar) FMenuBar->setGeometry(0, 0, FWidget->width(), mh);
    FClient->setGeometry(0, mh, FWidget->width(), std::max(0, FWidget->height() - mh));
}

void TForm::ApplySizeLimits() {
    if (!FWidget) return;
    TSize nc = NonClientSize();
    int mh = MenuBarHeight(FMenuBar);
    TRect cr = GetClientRect();
    if (!Sizeable(FBorderStyle)) {
        FWidget->setFixedSize(cr.Width(), cr.Height() + mh);
        return;
    }
    TMinMaxInfo info;
    info.ptMinTrackSize = TPoint{112, 27};
    int sw = Screen ? Screen->Width() : 0, sh = Screen ? Screen->Height() : 0;
    info.ptMaxTrackSize = TPoint{sw > 0 ? sw + 2 * nc.cx : 16777215, sh > 0 ? sh + 2 * nc.cy : 16777215};
    info.ptMaxSize = info.ptMaxTrackSize;
    Perform(WM_GETMINMAXINFO, 0, LPARAM(&info));
    auto clientW = [&](int w) { return std::max(0, w - nc.cx); };
    auto clientH = [&](int h) { return std::max(0, h - nc.cy) + mh; };
    FWidget->setMinimumSize(clientW(info.ptMinTrackSize.X), clientH(info.ptMinTrackSize.Y));
    FWidget->setMaximumSize(std::min(16777215, clientW(info.ptMaxTrackSize.X)),
                            std::min(16777215, clientH(info.ptMaxTrackSize.Y)));
}

void TForm::WMGetMinMaxInfo(TWMGetMinMaxInfo& Message) {
    TMinMaxInfo* info = Message.MinMaxInfo();
    if (!info) return;
    if (FConstraints.MinWidth > 0) info->ptMinTrackSize.X = FConstraints.MinWidth;
    if (FConstraints.MinHeight > 0) info->ptMinTrackSize.Y = FConstraints.MinHeight;
    if (FConstraints.MaxWidth > 0) info->ptMaxTrackSize.X = FConstraints.MaxWidth;
    if (FConstraints.MaxHeight > 0) info->ptMaxTrackSize.Y = FConstraints.MaxHeight;
}

TRect TForm::GetClientRect() const {
    TSize nc = NonClientSize();
    return Rect(0, 0, std::max(0, FWidth - nc.cx), std::max(0, FHeight - nc.cy));
}

void TForm::SetClientSize(int AWidth, int AHeight) {
    TSize nc = NonClientSize();
    SetBounds(FLeft, FTop, AWidth + nc.cx, AHeight + nc.cy);
}

void TForm::SetBounds(int ALeft, int ATop, int AWidth, int AHeight) {
    if (!FPlacing && !ComponentState.Contains(csLoading) && (ALeft != FLeft || ATop != FTop)) FPositionPending = false;
    TWinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TForm::BoundsChanged(bool SizeChanged) {
    if (FWidget) {
        TRect cr = GetClientRect();
        int mh = MenuBarHeight(FMenuBar);
        if (!Sizeable(FBorderStyle)) FWidget->setFixedSize(cr.Width(), cr.Height() + mh);
        FWidget->resize(cr.Width(), cr.Height() + mh);
        QPoint frame = FWidget->frameGeometry().topLeft();
        if (frame.x() != FLeft || frame.y() != FTop) FWidget->move(FLeft, FTop);
        LayoutClient();
    }
    if (SizeChanged) {
        TRect cr = GetClientRect();
        Perform(WM_SIZE, SIZE_RESTORED, MakeLParam(cr.Width(), cr.Height()));
    }
}

void TForm::WidgetGeometryChanged() {
    if (!FWidget) return;
    LayoutClient();
    TSize nc = NonClientSize();
    int mh = MenuBarHeight(FMenuBar);
    QPoint pos = FWidget->frameGeometry().topLeft();
    int w = FWidget->width() + nc.cx;
    int h = std::max(0, FWidget->height() - mh) + nc.cy;
    if (pos.x() == FLeft && pos.y() == FTop && w == FWidth && h == FHeight) return;
    bool sizeChanged = w != FWidth || h != FHeight;
    FLeft = pos.x();
    FTop = pos.y();
    FWidth = w;
    FHeight = h;
    if (sizeChanged) {
        TRect cr = GetClientRect();
        Perform(WM_SIZE, SIZE_RESTORED, MakeLParam(cr.Width(), cr.Height()));
    }
}

TPoint TForm::ClientOrigin() const {
    if (FClient) {
        QPoint p = FClient->mapToGlobal(QPoint(0, 0));
        return TPoint{p.x(), p.y()};
    }
    TSize nc = NonClientSize();
    return TPoint{FLeft + nc.cx / 2, FTop + nc.cy - nc.cx / 2};
}

bool TForm::Showing() const { return FWidget && FWidget->isVisible(); }

void TForm::SetPosition(TPosition Value) {
    FPosition = Value;
    FPositionPending = true;
}

void TForm::SetBorderStyle(TFormBorderStyle Value) {
    if (Value == FBorderStyle) return;
    TRect cr = GetClientRect();
    FBorderStyle = Value;
    // The client area keeps its size; the window grows or shrinks around it.
    SetClientSize(cr.Width(), cr.Height());
    UpdateWindowFlags();
}

void TForm::SetBorderIcons(TBorderIcons Value) {
    FBorderIcons = Value;
    UpdateWindowFlags();
}

void TForm::SetFormStyle(TFormStyle Value) {
    if (Value == FFormStyle) return;
    FFormStyle = Value;
    UpdateWindowFlags();
}

void TForm::SetWindowState(TWindowState Value) {
    FWindowState = Value;
    if (!FWidget || !FVisible) return;
    switch (Value) {
    case wsMinimized: FWidget->showMinimized(); break;
    case wsMaximized: FWidget->showMaximized(); break;
    default: FWidget->showNormal(); break;
    }
}

void TForm::SetConstraints(const TSizeConstraints& Value) {
    FConstraints = Value;
    ApplySizeLimits();
}

void TForm::SetMenu(TMainMenu* Value) {
    if (Value == FMenu) return;
    TRect cr = GetClientRect();
    if (FMenu) FMenu->RemoveFreeNotification(this);
    FMenu = Value;
    if (FMenu) FMenu->FreeNotification(this);
    // Keep the client area; the window takes the menu bar.
    FWidth = cr.Width() + NonClientSize().cx;
    FHeight = cr.Height() + NonClientSize().cy;
    MenuChanged();
}

void TForm::MenuChanged() {
    if (!FWidget) return;
    if (FMenu && !FMenuBar) FMenuBar = new QMenuBar(FWidget);
    if (!FMenu && FMenuBar) {
        delete FMenuBar;
        FMenuBar = nullptr;
    }
    if (FMenuBar) {
        BuildMenuBar(FMenu, static_cast<QMenuBar*>(FMenuBar));
        FMenuBar->show();
    }
    BoundsChanged(false);
    ApplySizeLimits();
}

// ---- Showing and closing ---------------------------------------------------------------------

void TForm::Show() {
    SetVisible(true);
    if (FWidget) {
        // The offscreen platform cannot stack windows and says so on every call.
        if (QGuiApplication::platformName() != "offscreen") FWidget->raise();
        FWidget->activateWindow();
    }
}

void TForm::PlaceOnScreen() {
    if (!FPositionPending) return;
    FPositionPending = false;
    FPlacing = true;
    struct TDone {
        bool& Flag;
        ~TDone() { Flag = false; }
    } done{FPlacing};
    TForm* center = nullptr;
    switch (FPosition) {
    case poMainFormCenter: center = Application ? Application->MainForm() : nullptr; break;
    case poOwnerFormCenter: center = dynamic_cast<TForm*>(Owner); break;
    default: break;
    }
    if (center == this || (center && !center->Showing())) center = nullptr;
    if (center) {
        SetBounds(center->FLeft + (center->FWidth - FWidth) / 2, center->FTop + (center->FHeight - FHeight) / 2, FWidth,
                  FHeight);
    } else if (FPosition == poScreenCenter || FPosition == poDesktopCenter || FPosition == poMainFormCenter ||
               FPosition == poOwnerFormCenter) {
        int sw = Screen ? Screen->Width() : 0, sh = Screen ? Screen->Height() : 0;
        if (sw > 0 && sh > 0) SetBounds((sw - FWidth) / 2, (sh - FHeight) / 2, FWidth, FHeight);
    }
}

void TForm::CMVisibleChanged(TMessage&) {
    if (FVisible) {
        HandleNeeded();
        PlaceOnScreen();
        UpdateWindowFlags();
        BoundsChanged(false);
        FormState += fsVisible;
        DoShow();
        if (!FVisible || !FWidget) return;
        if (!FActiveControl) {
            TWinControl* first = FindNextControl(nullptr, true, true, false);
            if (first) FActiveControl = first;
        }
        switch (FWindowState) {
        case wsMinimized: FWidget->showMinimized(); break;
        case wsMaximized: FWidget->showMaximized(); break;
        default: FWidget->show(); break;
        }
        if (FActiveControl && FActiveControl->CanFocus())
            FActiveControl->Widget()->setFocus(Qt::ActiveWindowFocusReason);
    } else {
        FormState -= fsVisible;
        if (FWidget && FWidget->isVisible()) {
            DoHide();
            if (FWidget) FWidget->hide();
        }
    }
}

void TForm::CMTextChanged(TMessage& Message) {
    if (FWidget) FWidget->setWindowTitle(QString::fromStdString(FText));
    TWinControl::CMTextChanged(Message);
}

void TForm::SetModalResult(int Value) {
    FModalResult = Value;
    if (Value != 0 && FormState.Contains(fsModal) && FModalLoop) FModalLoop->quit();
}

int TForm::ShowModal() {
    if (FVisible || !FEnabled || FormState.Contains(fsModal))
        throw EInvalidOperation("Cannot make a visible window modal");
    if (!QCoreApplication::instance()) throw EInvalidOperation("Cannot show a window without an application");
    HWND id = TargetId();
    FormState += fsModal;
    FModalResult = mrNone;
    HandleNeeded();
    FWidget->setWindowModality(Qt::ApplicationModal);
    QEventLoop loop;
    FModalLoop = &loop;
    try {
        Show();
        for (;;) {
            if (FModalResult == mrNone && !(Application && Application->Terminated()))
                loop.exec(QEventLoop::DialogExec);
            if (FindTargetControl(id) != this) return mrCancel;
            if (Application && Application->Terminated()) FModalResult = mrCancel;
            if (FModalResult != mrNone) {
                CloseModal();
                if (FModalResult != mrNone) break;
            }
        }
    } catch (...) {
        FModalLoop = nullptr;
        FormState -= fsModal;
        if (FWidget) FWidget->setWindowModality(Qt::NonModal);
        Hide();
        throw;
    }
    FModalLoop = nullptr;
    int result = FModalResult;
    Hide();
    if (FWidget) FWidget->setWindowModality(Qt::NonModal);
    FormState -= fsModal;
    return result;
}

void TForm::CloseModal() {
    TCloseAction action = caNone;
    if (CloseQuery()) {
        action = caHide;
        DoClose(action);
    }
    if (action == caNone)
        FModalResult = mrNone;
    else if (action == caFree)
        Release();
}

bool TForm::CloseQuery() {
    bool canClose = true;
    if (OnCloseQuery) OnCloseQuery(this, canClose);
    return canClose;
}

void TForm::Close() {
    if (FormState.Contains(fsModal)) {
        SetModalResult(mrCancel);
        return;
    }
    if (!CloseQuery()) return;
    TCloseAction action = caHide;
    DoClose(action);
    if (action == caNone) return;
    if (Application && Application->MainForm() == this) {
        Hide();
        Application->Terminate();
        return;
    }
    switch (action) {
    case caHide: Hide(); break;
    case caMinimize: SetWindowState(wsMinimized); break;
    default: Release(); break;
    }
}

void TForm::Release() {
    if (FReleasing) return;
    FReleasing = true;
    Hide();
    if (!PostMessage(this, CM_RELEASE, 0, 0)) FReleasing = false;
}

void TForm::CMRelease(TMessage&) {
    // The last thing done with this form.
    BeforeDestruction();
    delete this;
}

void TForm::WMClose(TMessage&) { Close(); }

void TForm::WMActivate(TWMActivate& Message) {
    bool active = Message.Active() != WA_INACTIVE;
    if (active == FActive) return;
    FActive = active;
    if (active) {
        FormState += fsActivated;
        if (FActiveControl && FActiveControl->CanFocus() && !FActiveControl->Focused())
            FActiveControl->Widget()->setFocus(Qt::ActiveWindowFocusReason);
        Activate();
    } else {
        Deactivate();
    }
}

void TForm::WMSize(TWMSize& Message) { TWinControl::WMSize(Message); }

void TForm::WMNextDlgCtl(TMessage& Message) {
    if (Message.LParam != 0) {
        if (TWinControl* c = FindControl(HWND(Message.WParam))) {
            if (c->CanFocus()) c->SetFocus();
        }
        return;
    }
    SelectNext(FActiveControl, Message.WParam == 0, true);
}

// ---- Focus ------------------------------------------------------------------------------------

void TForm::SetActiveControl(TWinControl* Control) {
    if (FActiveControl == Control) return;
    if (Control && !ComponentState.Contains(csLoading) &&
        (static_cast<TControl*>(Control) == this || GetParentForm(Control) != this || !Control->CanFocus()))
        throw EInvalidOperation("Cannot focus a disabled or invisible window");
    FActiveControl = Control;
    if (Control && !ComponentState.Contains(csLoading) && FWidget && FWidget->isVisible())
        Control->Widget()->setFocus(Qt::OtherFocusReason);
}

void TForm::FocusControl(TWinControl* Control) {
    bool wasActive = FActive;
    if (FActiveControl == Control && Control && FWidget && FWidget->isVisible() && !Control->Focused())
        Control->Widget()->setFocus(Qt::OtherFocusReason);
    SetActiveControl(Control);
    if (!wasActive && FWidget && FWidget->isVisible()) FWidget->activateWindow();
}

bool TForm::SetFocusedControl(TWinControl* Control) {
    if (static_cast<TControl*>(Control) != this) FActiveControl = Control;
    if (FFocusedControl == Control && FLastFocusedControl == Control) return true;
    FFocusedControl = Control;
    TMessage changed{CM_FOCUSCHANGED, 0, LPARAM(Control)};
    Broadcast(changed);
    if (!FLastFocusedControl) FLastFocusedControl = this;
    // Leave the old control and its parents that do not hold the new one.
    while (FLastFocusedControl && !FLastFocusedControl->ContainsControl(Control)) {
        TWinControl* leaving = FLastFocusedControl;
        FLastFocusedControl = leaving->GetParent() ? leaving->GetParent() : this;
        leaving->Perform(CM_EXIT, 0, 0);
        if (FFocusedControl != Control) return false;
    }
    // Enter the new one's parents below the common one, then the new one.
    while (FLastFocusedControl != Control) {
        TWinControl* c = Control;
        while (c->GetParent() && c->GetParent() != FLastFocusedControl) c = c->GetParent();
        FLastFocusedControl = c;
        c->Perform(CM_ENTER, 0, 0);
        if (FFocusedControl != Control) return false;
    }
    return true;
}

void TForm::DefocusControl(TWinControl* Control, bool Removing) {
    if (!Control) return;
    if (Removing && Control->ContainsControl(FFocusedControl)) FFocusedControl = Control->GetParent();
    if (Control->ContainsControl(FLastFocusedControl)) {
        FLastFocusedControl = Control->GetParent() ? Control->GetParent() : this;
    }
    if (Control->ContainsControl(FActiveControl)) FActiveControl = nullptr;
}

bool TForm::IsShortCut(TWMKey& Message) {
    bool handled = false;
    if (OnShortCut) OnShortCut(Message, handled);
    if (!handled && FMenu) handled = FMenu->IsShortCut(Message);
    return handled;
}

void TForm::CMDialogKey(TWMKey& Message) {
    if (GetKeyState(VK_MENU) >= 0) {
        switch (Message.CharCode()) {
        case VK_TAB:
            if (GetKeyState(VK_CONTROL) >= 0) {
                SelectNext(FActiveControl, GetKeyState(VK_SHIFT) >= 0, true);
                Message.Result() = 1;
                return;
            }
            break;
        case VK_LEFT:
        case VK_RIGHT:
        case VK_UP:
        case VK_DOWN:
            if (FActiveControl && FActiveControl->GetParent()) {
                FActiveControl->GetParent()->SelectNext(
                    FActiveControl, Message.CharCode() == VK_RIGHT || Message.CharCode() == VK_DOWN, false);
                Message.Result() = 1;
            }
            return;
        default: break;
        }
    }
    TWinControl::CMDialogKey(Message);
}

// ---- Painting and messages ---------------------------------------------------------------------

void TForm::PaintWindow(QPainter& Painter) {
    TCanvasPainterScope scope(FCanvas.get(), Painter);
    Paint();
}

void TForm::Paint() {
    if (OnPaint) OnPaint(this);
}

void TForm::Dispatch(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CLOSE: WMClose(Message); return;
    case WM_ACTIVATE: {
        TWMActivate m(Message);
        WMActivate(m);
        return;
    }
    case WM_GETMINMAXINFO: {
        TWMGetMinMaxInfo m(Message);
        WMGetMinMaxInfo(m);
        return;
    }
    case WM_NEXTDLGCTL: WMNextDlgCtl(Message); return;
    case CM_RELEASE: CMRelease(Message); return;  // may free this form
    default: TWinControl::Dispatch(Message); return;
    }
}

void TForm::Notification(TComponent* AComponent, TOperation Operation) {
    TWinControl::Notification(AComponent, Operation);
    if (Operation != opRemove) return;
    if (AComponent == FMenu) {
        FMenu = nullptr;
        MenuChanged();
    }
    if (AComponent == FActiveControl) FActiveControl = nullptr;
    if (AComponent == FFocusedControl) FFocusedControl = nullptr;
    if (AComponent == FLastFocusedControl) FLastFocusedControl = this;
}
