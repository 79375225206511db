// Forms and the application: modal results, closing, release, exceptions, hints, help.

#include "Forms.h"
#include "ExtCtrls.h"
#include "StdCtrls.h"
#include "Dialogs.h"
#include "FormReader.h"
#include "Menus.h"
#include "GuiTestApp.h"
#include "MsgBox.h"
#include "FormText.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QWidget>
#include <QFontInfo>
#include <QMenu>
#include <QMessageBox>
#include <QTest>
#include <QToolTip>

#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

// Answers every message box and keeps what it was asked.
struct BoxRecorder {
    std::vector<std::string> Texts;
    unsigned Flags = 0;
    MessageBoxHook Previous;
    BoxRecorder() {
        Previous = SetMessageBoxHook([this](const std::string& text, const std::string&, unsigned flags) {
            Texts.push_back(text);
            Flags = flags;
            return IDOK;
        });
    }
    ~BoxRecorder() { SetMessageBoxHook(Previous); }
};

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        Application->OnException = nullptr;
        Application->OnHint = nullptr;
        Application->ResetTerminated();
    }
    void TearDown() override {
        Application->OnException = nullptr;
        Application->OnHint = nullptr;
        Application->SetMainForm(nullptr);
        Application->ResetTerminated();
    }
    static void Pump() { QCoreApplication::processEvents(); }
};

TEST_F(FormsTest, ShowModalReturnsTheModalResultThatEndedIt) {
    TForm form(nullptr);
    QueueCall([&] { form.SetModalResult(mrYes); });
    EXPECT_EQ(form.ShowModal(), mrYes);
    EXPECT_FALSE(form.GetVisible());
    EXPECT_FALSE(form.FormState.Contains(fsModal));
    EXPECT_THROW(
        {
            form.Show();
            form.ShowModal();
        },
        EInvalidOperation);
}

TEST_F(FormsTest, CloseQueryCanKeepAModalFormOpen) {
    TForm form(nullptr);
    int asked = 0;
    std::vector<TCloseAction> closes;
    form.OnCloseQuery = [&](TObject*, bool& canClose) { canClose = ++asked > 1; };
    form.OnClose = [&](TObject*, TCloseAction& action) { closes.push_back(action); };
    // The first close is refused, so the loop runs on and the second one ends it.
    QueueCall([&] {
        form.Close();
        QueueCall([&] { form.SetModalResult(mrOk); });
    });
    EXPECT_EQ(form.ShowModal(), mrOk);
    EXPECT_EQ(asked, 2);
    EXPECT_EQ(closes, (std::vector<TCloseAction>{caHide}));
}

TEST_F(FormsTest, ClosingActionsHideFreeOrKeepTheForm) {
    auto* form = new TForm(nullptr);
    bool destroyed = false;
    form->OnDestroy = [&](TObject*) { destroyed = true; };
    form->AfterConstruction();
    form->Show();
    TCloseAction next = caNone;
    form->OnClose = [&](TObject*, TCloseAction& action) { action = next; };
    form->Close();
    EXPECT_TRUE(form->GetVisible()) << "caNone keeps the form open";
    next = caHide;
    form->Close();
    EXPECT_FALSE(form->GetVisible());
    form->Show();
    next = caFree;
    form->Close();
    EXPECT_FALSE(destroyed) << "Release frees only once the queued messages are handled";
    Pump();
    EXPECT_TRUE(destroyed);
}

TEST_F(FormsTest, ClosingTheMainFormTerminatesTheApplication) {
    auto* form = Application->CreateForm<TForm>();
    ASSERT_EQ(Application->MainForm(), form);
    form->Show();
    form->Close();
    EXPECT_TRUE(Application->Terminated());
    delete form;
    EXPECT_EQ(Application->MainForm(), nullptr);
}

TEST_F(FormsTest, RunShowsTheMainFormAndReturnsWhenItCloses) {
    auto* form = Application->CreateForm<TForm>();
    bool shown = false;
    form->OnShow = [&](TObject*) { shown = true; };
    QueueCall([form] { form->Close(); });
    Application->Run();
    EXPECT_TRUE(shown);
    EXPECT_TRUE(Application->Terminated());
    delete form;
    // A later modal loop is not cut short by the finished run.
    Application->ResetTerminated();
    TForm dialog(nullptr);
    QueueCall([&] { dialog.SetModalResult(mrOk); });
    EXPECT_EQ(dialog.ShowModal(), mrOk);
}

// An exception in a handler must reach OnException and never cross the event loop.
TEST_F(FormsTest, ExceptionInAHandlerReachesOnException) {
    std::vector<std::string> seen;
    std::vector<TObject*> senders;
    Application->OnException = [&](TObject* s, Exception& e) {
        senders.push_back(s);
        seen.push_back(e.Message);
    };
    TForm form(nullptr);
    form.OnClick = [](TObject*) { throw EZeroDivide(); };
    PostMessage(&form, WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(1, 1));
    PostMessage(&form, WM_LBUTTONUP, 0, MakeLParam(1, 1));
    QueueCall([] { throw EAbort(); });
    QueueCall([] { throw std::runtime_error("plain"); });
    Pump();
    EXPECT_EQ(seen, (std::vector<std::string>{"Floating point division by zero", "plain"}));
    ASSERT_FALSE(senders.empty());
    EXPECT_EQ(senders.front(), &form) << "the control whose handler failed";
}

TEST_F(FormsTest, WithoutOnExceptionTheMessageIsShownEndingInAFullStop) {
    BoxRecorder boxes;
    QueueCall([] { throw Exception("Something failed"); });
    QueueCall([] { throw Exception("Already stopped."); });
    QueueCall([] { throw EAbort(); });
    Pump();
    EXPECT_EQ(boxes.Texts, (std::vector<std::string>{"Something failed.", "Already stopped."}));
    EXPECT_EQ(boxes.Flags, unsigned(MB_OK | MB_ICONSTOP));
}

TEST_F(FormsTest, CreateHandlerFailureLeavesTheFormCreated) {
    std::vector<std::string> seen;
    Application->OnException = [&](TObject*, Exception& e) { seen.push_back(e.Message); };
    struct Failing : TForm {
        explicit Failing(TComponent* owner) : TForm(owner) {
            OnCreate = [](TObject*) { throw EConvertError("'x' is not a valid floating point value"); };
        }
    };
    TForm* form = Application->CreateForm<Failing>();
    EXPECT_EQ(seen.size(), 1u);
    EXPECT_NE(form, nullptr);
    delete form;
}

TEST_F(FormsTest, HintsSplitAtTheFirstBar) {
    struct Row {
        const char* Hint;
        const char* Short;
        const char* Long;
    } rows[] = {
        {"Save| Save ...", "Save", " Save ..."},
        {"Go to Quick Calculators", "Go to Quick Calculators", "Go to Quick Calculators"},
        {"a|b|c", "a", "b|c"},
        {"|only long", "", "only long"},
        {"", "", ""},
    };
    for (auto& r : rows) {
        EXPECT_EQ(GetShortHint(r.Hint), r.Short) << r.Hint;
        EXPECT_EQ(GetLongHint(r.Hint), r.Long) << r.Hint;
    }
}

TEST_F(FormsTest, TheMouseOverAControlSetsTheApplicationHintToItsLongPart) {
    TForm form(nullptr);
    form.SetClientSize(100, 100);
    auto* inner = new TWinControl(&form);
    inner->SetParent(&form);
    inner->SetBounds(0, 0, 50, 50);
    form.Hint = "Form|Whole form";
    std::vector<std::string> hints;
    Application->OnHint = [&](TObject*) { hints.push_back(Application->GetHint()); };
    inner->Perform(WM_MOUSEMOVE, 0, MakeLParam(5, 5));  // no hint of its own: the parent's
    inner->Hint = "Open| Open ...";
    form.Perform(WM_MOUSEMOVE, 0, MakeLParam(80, 80));
    inner->Perform(WM_MOUSEMOVE, 0, MakeLParam(6, 6));
    EXPECT_EQ(hints, (std::vector<std::string>{"Whole form", " Open ..."}));
}

TEST_F(FormsTest, HelpGoesThroughTheReplaceableService) {
    std::vector<std::pair<unsigned, intptr_t>> calls;
    std::string file;
    THelpService previous = SetHelpService([&](const std::string& f, unsigned cmd, intptr_t data) {
        file = f;
        calls.emplace_back(cmd, data);
        return true;
    });
    Application->HelpFile = "/opt/varnholt/lumfig.hlp";
    EXPECT_TRUE(Application->HelpContext(10000));
    EXPECT_TRUE(Application->HelpCommand(HELP_QUIT, 0));
    EXPECT_EQ(file, "/opt/varnholt/lumfig.hlp");
    EXPECT_EQ(calls, (std::vector<std::pair<unsigned, intptr_t>>{{HELP_CONTEXT, 10000}, {HELP_QUIT, 0}}));
    SetHelpService(previous);
}

TEST_F(FormsTest, F1AsksForTheNearestHelpContextUpTheParents) {
    std::vector<intptr_t> contexts;
    THelpService previous = SetHelpService([&](const std::string&, unsigned cmd, intptr_t data) {
        if (cmd == HELP_CONTEXT) contexts.push_back(data);
        return true;
    });
    TForm form(nullptr);
    form.HelpContext = 5;
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->HelpContext = 20;
    auto* inPanel = new TEdit(&form);
    inPanel->SetParent(panel);
    auto* onForm = new TEdit(&form);
    onForm->SetParent(&form);
    onForm->SetTop(100);
    form.Show();
    for (TEdit* edit : {inPanel, onForm}) {
        edit->SetFocus();
        QTest::keyClick(edit->Widget(), Qt::Key_F1);
        QTest::keyClick(edit->Widget(), Qt::Key_F1, Qt::ShiftModifier);  // not help
    }
    EXPECT_EQ(contexts, (std::vector<intptr_t>{20, 5}));
    SetHelpService(previous);
}

// With the help border icon, Shift+F1 shows the help cursor; the next click
// asks for the pop-up help of the nearest context and does not reach the
// control; Escape ends the mode without help.
TEST_F(FormsTest, ContextHelpAnswersTheNextClickInsteadOfTheControl) {
    std::vector<std::pair<unsigned, intptr_t>> asked;
    THelpService previous = SetHelpService([&](const std::string&, unsigned cmd, intptr_t data) {
        asked.push_back({cmd, data});
        return true;
    });
    TForm form(nullptr);
    form.SetBorderStyle(bsDialog);
    form.SetBorderIcons({biSystemMenu, biHelp});
    form.SetClientSize(300, 200);
    auto* panel = new TPanel(&form);
    panel->SetParent(&form);
    panel->SetBounds(0, 0, 300, 100);
    panel->HelpContext = 30;
    auto* button = new TButton(&form);
    button->SetParent(panel);
    button->SetBounds(10, 10, 80, 25);
    int clicks = 0;
    button->OnClick = [&](TObject*) { ++clicks; };
    auto* edit = new TEdit(&form);
    edit->SetParent(&form);
    edit->SetBounds(10, 150, 80, 21);
    form.Show();
    edit->SetFocus();

    QTest::keyClick(edit->Widget(), Qt::Key_F1, Qt::ShiftModifier);
    ASSERT_TRUE(form.InContextHelp());
    EXPECT_EQ(Screen->GetCursor(), crHelp);
    QTest::mouseClick(button->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_FALSE(form.InContextHelp());
    EXPECT_EQ(Screen->GetCursor(), crDefault);
    EXPECT_EQ(clicks, 0);
    EXPECT_EQ(asked, (std::vector<std::pair<unsigned, intptr_t>>{{HELP_CONTEXTPOPUP, 30}}));
    QTest::mouseClick(button->Widget(), Qt::LeftButton, Qt::NoModifier, QPoint(5, 5));
    EXPECT_EQ(clicks, 1) << "the mode is over";

    std::vector<TControl*> clicked;
    form.BeginContextHelp([&](TControl* c) { clicked.push_back(c); });
    QTest::keyClick(edit->Widget(), Qt::Key_Escape);
    EXPECT_FALSE(form.InContextHelp());
    EXPECT_EQ(clicked, std::vector<TControl*>{nullptr});
    EXPECT_EQ(Screen->GetCursor(), crDefault);

    // Without the icon Shift+F1 is an ordinary key.
    form.SetBorderIcons({biSystemMenu});
    QTest::keyClick(edit->Widget(), Qt::Key_F1, Qt::ShiftModifier);
    EXPECT_FALSE(form.InContextHelp());
    EXPECT_EQ(asked.size(), 1u);
    SetHelpService(previous);
}

TEST_F(FormsTest, MissingHelpIsReportedLaterWithoutBlocking) {
    BoxRecorder boxes;
    Application->HelpFile = "/nonexistent/folder/lumfig.hlp";
    EXPECT_FALSE(Application->HelpContext(10000));
    EXPECT_FALSE(Application->HelpContext(5));
    EXPECT_TRUE(boxes.Texts.empty()) << "the call returns before anyone is told";
    Pump();
    EXPECT_EQ(boxes.Texts, (std::vector<std::string>{SHelpNotInstalled})) << "told once";
}

TEST_F(FormsTest, ScreenCentrePositionPlacesTheWindowWhenShown) {
    ASSERT_GT(Screen->Width(), 300);
    ASSERT_GT(Screen->Height(), 200);
    TForm form(nullptr);
    // Without a frame, so that no window-system frame offsets the position.
    form.SetBorderStyle(bsNone);
    form.SetBounds(3, 4, 300, 200);
    form.SetPosition(poScreenCenter);
    EXPECT_EQ(form.GetLeft(), 3) << "placed when shown, not before";
    form.Show();
    Pump();
    EXPECT_EQ(form.GetLeft(), (Screen->Width() - 300) / 2);
    EXPECT_EQ(form.GetTop(), (Screen->Height() - 200) / 2);
    EXPECT_EQ(form.GetWidth(), 300);
    EXPECT_EQ(form.GetHeight(), 200);
    form.Hide();
}

TEST_F(FormsTest, ScreenCentreIsAppliedOnceAndAMoveByCodeHolds) {
    const int cx = (Screen->Width() - 300) / 2, cy = (Screen->Height() - 200) / 2;
    TForm form(nullptr);
    form.SetBorderStyle(bsNone);
    form.SetBounds(3, 4, 300, 200);
    form.SetPosition(poScreenCenter);
    form.Show();
    Pump();
    ASSERT_EQ(form.GetLeft(), cx);
    // Moved by code while hidden: showing again keeps the new place.
    form.Hide();
    form.SetBounds(20, 30, 300, 200);
    form.Show();
    Pump();
    EXPECT_EQ(form.GetLeft(), 20);
    EXPECT_EQ(form.GetTop(), 30);
    form.Hide();
    // Setting the position again centres at the next showing.
    form.SetPosition(poScreenCenter);
    form.Show();
    Pump();
    EXPECT_EQ(form.GetLeft(), cx);
    EXPECT_EQ(form.GetTop(), cy);
    form.Hide();

    // A resize alone is no placement: the window is still centred.
    TForm resized(nullptr);
    resized.SetBorderStyle(bsNone);
    resized.SetPosition(poScreenCenter);
    resized.SetBounds(resized.GetLeft(), resized.GetTop(), 280, 190);
    resized.Show();
    Pump();
    EXPECT_EQ(resized.GetLeft(), (Screen->Width() - 280) / 2);
    resized.Hide();
    // Placed by its opener before the first showing: the opener's place holds.
    TForm moved(nullptr);
    moved.SetBorderStyle(bsNone);
    moved.SetBounds(0, 0, 300, 200);
    moved.SetPosition(poScreenCenter);
    moved.SetBounds(40, 50, 300, 200);
    moved.Show();
    Pump();
    EXPECT_EQ(moved.GetLeft(), 40);
    EXPECT_EQ(moved.GetTop(), 50);
    moved.Hide();
}

TEST_F(FormsTest, WindowSizeCountsTheFrameAndMenuBarAroundTheClientArea) {
    struct Limited : TForm {
        using TForm::TForm;
        void WMGetMinMaxInfo(TWMGetMinMaxInfo& m) override {
            TForm::WMGetMinMaxInfo(m);
            m.MinMaxInfo()->ptMinTrackSize = TPoint{619, 476};
        }
    } form(nullptr);
    TMainMenu menu(nullptr);
    form.SetBorderStyle(bsSizeable);
    form.SetMenu(&menu);
    form.SetClientSize(611, 430);
    EXPECT_EQ(form.GetWidth(), 619);
    EXPECT_EQ(form.GetHeight(), 476);
    form.Show();
    Pump();
    QWidget* w = form.Widget();
    // The window cannot be made smaller than the limit the handler sets.
    w->resize(100, 100);
    Pump();
    EXPECT_EQ(form.GetWidth(), 619);
    EXPECT_EQ(form.GetHeight(), 476);
    EXPECT_EQ(form.GetClientWidth(), 611);
    EXPECT_EQ(form.GetClientHeight(), 430);
    form.SetMenu(nullptr);
}

TEST_F(FormsTest, NextDialogControlMessageMovesTheFocus) {
    TForm form(nullptr);
    auto* a = new TWinControl(&form);
    auto* b = new TWinControl(&form);
    a->SetParent(&form);
    b->SetParent(&form);
    a->SetTabStop(true);
    b->SetTabStop(true);
    form.Show();
    Pump();
    a->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return a->Focused(); }, 1000));
    PostMessage(&form, WM_NEXTDLGCTL, 0, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return b->Focused(); }, 1000));
    PostMessage(&form, WM_NEXTDLGCTL, 1, 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return a->Focused(); }, 1000));
}

TEST_F(FormsTest, AWindowDefinitionBuildsTheFormWithItsMenuControlsAndEvents) {
    RegisterControlsClasses();
    TForm form(nullptr);
    int exits = 0, creates = 0;
    THandlerTable handlers;
    handlers["ExitClick"] = TNotifyEvent([&](TObject*) { ++exits; });
    handlers["FormCreate"] = TNotifyEvent([&](TObject*) { ++creates; });
    ReadComponentFromText(&form,
                          "object frmDemo: TForm\n"
                          "  BorderStyle = bsSingle\n"
                          "  Caption = 'Demo'\n"
                          "  ClientHeight = 430\n"
                          "  ClientWidth = 611\n"
                          "  Menu = mnuMain\n"
                          "  Position = poScreenCenter\n"
                          "  OnCreate = FormCreate\n"
                          "  object pnlBar: TWinControl\n"
                          "    Align = alTop\n"
                          "    Height = 33\n"
                          "    object pnlInner: TWinControl\n"
                          "      Align = alClient\n"
                          "      Cursor = crHandPoint\n"
                          "      Hint = 'Open| Open ...'\n"
                          "    end\n"
                          "  end\n"
                          "  object mnuMain: TMainMenu\n"
                          "    object mnuFile: TMenuItem\n"
                          "      Caption = '&File'\n"
                          "      object mnuFileExit: TMenuItem\n"
                          "        Caption = 'E&xit'\n"
                          "        ShortCut = 16472\n"
                          "        OnClick = ExitClick\n"
                          "      end\n"
                          "    end\n"
                          "  end\n"
                          "  object tmrSplash: TTimer\n"
                          "    Interval = 5000\n"
                          "  end\n"
                          "end\n",
                          handlers);
    form.AfterConstruction();
    EXPECT_EQ(creates, 1);
    EXPECT_EQ(form.GetCaption(), "Demo");
    EXPECT_EQ(form.GetClientWidth(), 611);
    EXPECT_EQ(form.GetClientHeight(), 430);
    EXPECT_EQ(form.GetWidth(), 619);
    EXPECT_EQ(form.GetHeight(), 476);
    auto* bar = dynamic_cast<TWinControl*>(form.FindComponent("pnlBar"));
    auto* inner = dynamic_cast<TWinControl*>(form.FindComponent("pnlInner"));
    ASSERT_TRUE(bar && inner);
    EXPECT_EQ(bar->BoundsRect(), Rect(0, 0, 611, 33));
    EXPECT_EQ(inner->GetParent(), bar);
    EXPECT_EQ(inner->BoundsRect(), Rect(0, 0, 611, 33));
    EXPECT_EQ(inner->GetCursor(), crHandPoint);
    ASSERT_NE(form.GetMenu(), nullptr);
    TMenuItem* exit = form.GetMenu()->Items()->Items(0)->Items(0);
    EXPECT_EQ(exit->GetShortCut(), TextToShortCut("Ctrl+X"));
    exit->Click();
    EXPECT_EQ(exits, 1);
    EXPECT_EQ(GetPropText(&form, "tmrSplash.Interval"), "5000");
    SetPropText(&form, "mnuFileExit.Enabled", "False");
    EXPECT_FALSE(exit->GetEnabled());
}

}  // namespace

namespace {

TEST(ApplicationFont, QtsOwnWindowsUseTheProgramsFont) {
    EnsureGuiApp();
    Application->Initialize();
    QMessageBox box;
    QMenu menu;
    const std::pair<const char*, QFont> fonts[] = {
        {"message box", box.font()}, {"context menu", menu.font()}, {"tooltip", QToolTip::font()}};
    for (const auto& [where, font] : fonts) {
        const QFontInfo info(font);
        EXPECT_EQ(info.family().toStdString(), "Liberation Sans") << where;
        EXPECT_EQ(info.pixelSize(), 11) << where;
    }
}

// A user whose locale writes decimal commas: Qt hands that locale to the C library, whose
// number reading the window definitions ("8.75") must not follow.
TEST(ApplicationLocale, WindowDefinitionsKeepTheirDecimalPointsUnderACommaLocale) {
    EnsureGuiApp();
    char folder[] = "/tmp/varnholt-comma-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const std::string dir = folder;
    ASSERT_EQ(std::system(("localedef -i de_DE -f UTF-8 " + dir + "/de_DE.UTF-8 >/dev/null 2>&1").c_str()), 0);
    const char* oldPath = std::getenv("LOCPATH");
    const std::string savedPath = oldPath ? oldPath : "";
    setenv("LOCPATH", dir.c_str(), 1);
    ASSERT_NE(std::setlocale(LC_NUMERIC, "de_DE.UTF-8"), nullptr);

    Application->Initialize();
    const TFormObject root = ParseFormText("object Panel1: TPanel\r\n  Rate = 8.75\r\nend\r\n");
    ASSERT_EQ(root.Properties.size(), 1u);
    EXPECT_DOUBLE_EQ(static_cast<double>(root.Properties[0].Value.Float), 8.75);

    std::setlocale(LC_NUMERIC, "C");
    if (oldPath)
        setenv("LOCPATH", savedPath.c_str(), 1);
    else
        unsetenv("LOCPATH");
    std::filesystem::remove_all(dir);
}

// OnDestroy runs while the derived form still exists, however it is freed:
// by its owner, through Release, or directly.
namespace {
class TDerivedForm : public TForm {
public:
    explicit TDerivedForm(TComponent* owner, std::vector<std::string>& log) : TForm(owner), Log(log) {
        OnDestroy = [this](TObject*) { Log.push_back(Alive ? "destroy, derived alive" : "destroy after derived"); };
        AfterConstruction();
    }
    ~TDerivedForm() override {
        BeforeDestruction();
        Alive = false;
    }
    std::vector<std::string>& Log;
    bool Alive = true;
};
}  // namespace

TEST_F(FormsTest, OnDestroyRunsWhileTheDerivedFormStillExists) {
    std::vector<std::string> log;
    {
        TComponent owner(nullptr);
        new TDerivedForm(&owner, log);
    }
    auto* released = new TDerivedForm(nullptr, log);
    released->Release();
    for (int i = 0; i < 5; ++i) Pump();
    delete new TDerivedForm(nullptr, log);
    EXPECT_EQ(log, std::vector<std::string>(3, "destroy, derived alive"));
}

// The window system appends the application's display name to every title
// bar; the program's title must not become it, so a window and a message box
// show their own caption alone.
TEST_F(FormsTest, TheApplicationTitleIsNotAppendedToWindowTitles) {
    const QString before = QGuiApplication::applicationDisplayName();
    Application->SetTitle("Varnholt");
    EXPECT_EQ(Application->GetTitle(), "Varnholt");
    EXPECT_EQ(QGuiApplication::applicationDisplayName(), before);
    TForm form(nullptr);
    form.SetCaption("Varnholt, 3.0.01");
    EXPECT_EQ(form.Widget()->windowTitle().toStdString(), "Varnholt, 3.0.01");
}

}  // namespace
