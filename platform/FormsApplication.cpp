// TApplication, TScreen and the help service.

#include "Forms.h"
#include "ControlsPrivate.h"
#include "Dialogs.h"
#include "HelpViewer.h"
#include "Hooks.h"
#include "MsgBox.h"

#include <clocale>

#include <QApplication>
#include <QCursor>
#include <QFont>
#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QThread>
#include <QTimer>
#include <QToolTip>
#include <QUrl>
#include <QWidget>

#include <filesystem>

TApplication* Application = new TApplication(nullptr);
TScreen* Screen = new TScreen(nullptr);

const char* const SHelpNotInstalled = "Help is not installed on this computer.";

// ---------------------------------------------------------------------------
// Help service

namespace {

bool gHelpNoticePending = false;

bool DefaultHelpService(const std::string& HelpFile, unsigned Command, intptr_t Data) {
    if (RunHelpCommand(HelpFile, Command, Data)) return true;
    // Said once and later, so that nothing (start-up above all) waits on the notice.
    if (!gHelpNoticePending) {
        gHelpNoticePending = true;
        QueueCall([] {
            gHelpNoticePending = false;
            MessageBox(SHelpNotInstalled, Application ? Application->GetTitle() : "", MB_OK | MB_ICONINFORMATION);
        });
    }
    return false;
}

THelpService& CurrentHelpService() {
    static THelpService service = DefaultHelpService;
    return service;
}

}  // namespace

THelpService SetHelpService(THelpService Service) {
    return ReplaceHook(CurrentHelpService(), std::move(Service), DefaultHelpService);
}

// ---------------------------------------------------------------------------
// TApplication

namespace {
int gArgc = 1;
char gArgv0[] = "varnholt";
char* gArgv[] = {gArgv0, nullptr};
}  // namespace

TApplication::TApplication(TComponent* AOwner) : TComponent(AOwner) {}

TApplication::~TApplication() {
    CancelHint();
    DestroyComponents();
    delete static_cast<QTimer*>(FHintTimer);
    FHintTimer = nullptr;
    if (FOwnsQtApp) delete QCoreApplication::instance();
}

void TApplication::Initialize() {
    RegisterControlsClasses();
    if (!QCoreApplication::instance()) {
        // With no display to connect to, run on the offscreen platform rather than abort.
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY") &&
            qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        new QApplication(gArgc, gArgv);
        FOwnsQtApp = true;
    }
    // Qt takes the C library's locale from the environment; under a locale that writes decimal
    // commas the C library would then read "8.75" in a window definition as 8 and fail.
    // Regional settings come from the environment by name (SysUtils), so numbers are left in C.
    std::setlocale(LC_NUMERIC, "C");
    if (qobject_cast<QApplication*>(QCoreApplication::instance())) {
        // Qt's own windows (message boxes, tooltips, context menus) speak in the
        // program's font rather than whatever the desktop falls back to.
        TFont programFont;
        programFont.SetName("Arial");
        programFont.SetHeight(-11);
        QApplication::setFont(programFont.ToQFont());
        QToolTip::setFont(programFont.ToQFont());
    }
    if (auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        app->setQuitOnLastWindowClosed(false);
        static bool connected = false;
        if (!connected) {
            connected = true;
            QObject::connect(app, &QGuiApplication::applicationStateChanged, [](Qt::ApplicationState state) {
                if (!Application) return;
                TNotifyEvent& event =
                    state == Qt::ApplicationActive ? Application->OnActivate : Application->OnDeactivate;
                if (event) GuardedCall(Application, [&event] { event(Application); });
            });
        }
        InstallWindowServices();
        QString platform = QGuiApplication::platformName();
        if (platform != "offscreen" && platform != "minimal") InstallWindowDialogs();
    }
    if (FTitle.empty()) FTitle = QCoreApplication::applicationName().toStdString();
}

void TApplication::RegisterForm(TForm* Form) {
    if (!FMainForm) FMainForm = Form;
    Form->AfterConstruction();
}

void TApplication::Run() {
    FRunning = true;
    if (FMainForm && ShowMainForm && !FTerminated) {
        try {
            FMainForm->Show();
        } catch (...) {
            HandleException(FMainForm);
        }
    }
    while (!FTerminated && QCoreApplication::instance()) {
        if (!FMainForm) break;
        QCoreApplication::exec();
    }
    FRunning = false;
}

void TApplication::ProcessMessages() {
    if (QCoreApplication::instance()) QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void TApplication::HandleMessage() {
    if (!QCoreApplication::instance()) return;
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (OnIdle) GuardedCall(this, [this] { OnIdle(this); });
}

void TApplication::Terminate() {
    FTerminated = true;
    // Asking Qt to quit with no loop running would make every later loop return at once.
    if (QCoreApplication::instance() && QThread::currentThread()->loopLevel() > 0) QCoreApplication::exit(0);
}

void TApplication::SetTitle(const std::string& Value) {
    // Kept to ourselves: the window system appends the application's display
    // name to every title bar, and a window shows its caption alone.
    FTitle = Value;
}

bool TApplication::HelpCommand(unsigned Command, intptr_t Data) {
    bool callHelp = true;
    bool result = false;
    if (OnHelp) result = OnHelp(Command, Data, callHelp);
    if (callHelp) result = CurrentHelpService()(HelpFile, Command, Data);
    return result;
}

bool TApplication::HelpContext(int Context) { return HelpCommand(HELP_CONTEXT, Context); }

bool TApplication::HelpJump(const std::string& JumpID) {
    return HelpCommand(HELP_COMMAND, reinterpret_cast<intptr_t>(JumpID.c_str()));
}

void TApplication::SetHint(const std::string& Value) {
    if (Value == FHint) return;
    FHint = Value;
    if (OnHint) OnHint(this);
}

void TApplication::SetShowHint(bool Value) {
    FShowHint = Value;
    if (!Value) CancelHint();
}

void TApplication::CancelHint() {
    if (auto* t = static_cast<QTimer*>(FHintTimer)) t->stop();
    if (QCoreApplication::instance() && qobject_cast<QApplication*>(QCoreApplication::instance())) QToolTip::hideText();
}

void TApplication::ControlDestroyed(TControl* Control) {
    if (Control && Control->TargetId() == FHintControl) {
        FHintControl = 0;
        CancelHint();
    }
}

static bool EffectiveShowHint(TControl* c) { return c && c->GetShowHint(); }

void TApplication::MouseOverControl(TControl* Control) {
    HWND id = Control ? Control->TargetId() : 0;
    if (id == FHintControl) return;
    FHintControl = id;
    CancelHint();
    if (!Control) return;
    SetHint(GetLongHint(::GetHint(Control)));
    if (FShowHint && EffectiveShowHint(Control) && !::GetHint(Control).empty() && QCoreApplication::instance()) {
        auto* t = static_cast<QTimer*>(FHintTimer);
        if (!t) {
            t = new QTimer();
            t->setSingleShot(true);
            QObject::connect(t, &QTimer::timeout,
                             [this] { GuardedCall(this, [this] { ShowHintFor(FindTargetControl(FHintControl)); }); });
            FHintTimer = t;
        }
        t->start(std::max(HintPause, 0));
    }
}

void TApplication::ShowHintFor(TControl* Control) {
    if (!Control || !qobject_cast<QApplication*>(QCoreApplication::instance())) return;
    THintInfo info;
    info.HintControl = Control;
    QPoint global = QCursor::pos();
    info.CursorPos = Control->ScreenToClient(TPoint{global.x(), global.y()});
    info.HintStr = GetShortHint(::GetHint(Control));
    info.CursorRect = Control->GetClientRect();
    info.HideTimeout = HintHidePause;
    info.HintPos = TPoint{global.x(), global.y()};
    if (Control->Perform(CM_HINTSHOW, 0, LPARAM(&info)) != 0 || info.HintStr.empty()) return;
    QToolTip::showText(QPoint(info.HintPos.X, info.HintPos.Y), QString::fromStdString(info.HintStr), nullptr, QRect(),
                       info.HideTimeout);
}

// Hands the exception in flight to Show as an Exception. EAbort is silent by
// design; one of no known type is shown as Unknown, or not at all without it.
template <typename F>
static void ShowCurrentException(F Show, const char* Unknown) {
    try {
        throw;
    } catch (EAbort&) {
    } catch (Exception& e) {
        Show(e);
    } catch (std::exception& e) {
        Exception wrapped(e.what());
        Show(wrapped);
    } catch (...) {
        if (!Unknown) return;
        Exception wrapped(Unknown);
        Show(wrapped);
    }
}

void TApplication::HandleException(TObject* Sender) {
    if (!std::current_exception()) return;
    ShowCurrentException(
        [this, Sender](Exception& e) {
            if (!OnException) return ShowException(e);
            try {
                OnException(Sender, e);
            } catch (...) {
                // A failing handler shows its own failure, never the original again.
                ShowCurrentException([this](Exception& inner) { ShowException(inner); }, nullptr);
            }
        },
        "Unknown exception");
}

void TApplication::ShowException(Exception& E) {
    std::string msg = E.Message;
    // A message ends in a full stop unless it ends in punctuation already.
    if (!msg.empty() && static_cast<unsigned char>(msg.back()) > '.') msg += '.';
    MessageBox(msg, FTitle, MB_OK | MB_ICONSTOP);
}

void TApplication::Notification(TComponent* AComponent, TOperation Operation) {
    TComponent::Notification(AComponent, Operation);
    if (Operation == opRemove && AComponent == FMainForm) FMainForm = nullptr;
}

// ---------------------------------------------------------------------------
// TScreen

TScreen::TScreen(TComponent* AOwner) : TComponent(AOwner) {}

TScreen::~TScreen() = default;

int TScreen::Width() const {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().width() : 0;
}

int TScreen::Height() const {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return 0;
    QScreen* s = QGuiApplication::primaryScreen();
    return s ? s->geometry().height() : 0;
}

void TScreen::SetCursor(TCursor Value) {
    if (Value == FCursor) return;
    bool hadOverride = FCursor != crDefault;
    FCursor = Value;
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return;
    if (Value == crDefault) {
        while (QGuiApplication::overrideCursor()) QGuiApplication::restoreOverrideCursor();
    } else if (hadOverride && QGuiApplication::overrideCursor()) {
        QGuiApplication::changeOverrideCursor(QCursor(Qt::CursorShape(CursorToQtShape(Value))));
    } else {
        QGuiApplication::setOverrideCursor(QCursor(Qt::CursorShape(CursorToQtShape(Value))));
    }
}

TForm* TScreen::ActiveForm() const {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return nullptr;
    return dynamic_cast<TForm*>(TWinControl::FromWidget(QApplication::activeWindow()));
}

TWinControl* TScreen::ActiveControl() const { return FindFocusedControl(); }

void TScreen::AddForm(TForm* Form) { FForms.push_back(Form); }

void TScreen::RemoveForm(TForm* Form) { FForms.erase(std::remove(FForms.begin(), FForms.end(), Form), FForms.end()); }

int CursorToQtShape(TCursor Cursor) {
    switch (Cursor) {
    case crNone: return Qt::BlankCursor;
    case crCross: return Qt::CrossCursor;
    case crIBeam: return Qt::IBeamCursor;
    case crSizeNESW: return Qt::SizeBDiagCursor;
    case crSizeNS: return Qt::SizeVerCursor;
    case crSizeNWSE: return Qt::SizeFDiagCursor;
    case crSizeWE: return Qt::SizeHorCursor;
    case crUpArrow: return Qt::UpArrowCursor;
    case crHourGlass:
    case crSQLWait: return Qt::WaitCursor;
    case crDrag:
    case crMultiDrag: return Qt::DragCopyCursor;
    case crNoDrop:
    case crNo: return Qt::ForbiddenCursor;
    case crHSplit: return Qt::SplitHCursor;
    case crVSplit: return Qt::SplitVCursor;
    case crAppStart: return Qt::BusyCursor;
    case crHelp: return Qt::WhatsThisCursor;
    case crHandPoint: return Qt::PointingHandCursor;
    case crSizeAll: return Qt::SizeAllCursor;
    default: return Qt::ArrowCursor;
    }
}
