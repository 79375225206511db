// Controls: keys and focus as messages, alignment, tab order, graphic children, painting.

#include "Controls.h"
#include "Forms.h"
#include "GuiTestApp.h"

#include <QApplication>
#include <QImage>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

struct Logged {
    std::string What;
    unsigned Msg;
    WPARAM WParam;
    TShiftState Shift;
};

// A windowed control that logs its messages and takes the focus like an edit.
class Probe : public TWinControl {
public:
    Probe(TComponent* owner, std::vector<Logged>* log, std::string name) : TWinControl(owner), Log(log), Name(name) {
        SetTabStop(true);
    }
    std::vector<Logged>* Log;
    std::string Name;
    void WndProc(TMessage& m) override {
        switch (m.Msg) {
        case WM_KEYDOWN:
        case WM_KEYUP:
        case WM_CHAR:
        case WM_SYSKEYDOWN:
        case WM_SYSCHAR:
        case WM_SETFOCUS:
        case WM_KILLFOCUS:
        case CM_ENTER:
        case CM_EXIT: Log->push_back({Name, m.Msg, m.WParam, KeyDataToShiftState(m.LParam)}); break;
        default: break;
        }
        TWinControl::WndProc(m);
    }

protected:
    QWidget* CreateWidget(QWidget* parent) override {
        auto* w = new QWidget(parent);
        w->setFocusPolicy(Qt::StrongFocus);
        return w;
    }
};

class ControlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        Form = new TForm(nullptr);
        Form->SetClientSize(300, 200);
    }
    void TearDown() override {
        delete Form;
        SetInputState({});
    }
    static void Pump() { QCoreApplication::processEvents(); }
    TForm* Form = nullptr;
    std::vector<Logged> Log;
};

TEST_F(ControlsTest, KeysArriveAsVirtualKeyDownThenCharacterThenKeyUp) {
    struct Row {
        int QtKey;
        Qt::KeyboardModifiers Mods;
        QString Text;
        Word Vk;
        std::u32string Chars;
        TShiftState Shift;
    };
    const Row rows[] = {
        {Qt::Key_A, Qt::NoModifier, "a", 'A', U"a", {}},
        {Qt::Key_A, Qt::ShiftModifier, "A", 'A', U"A", {ssShift}},
        {Qt::Key_C, Qt::ControlModifier, "", 'C', U"\x03", {ssCtrl}},
        {Qt::Key_5, Qt::KeypadModifier, "5", VK_NUMPAD5, U"5", {}},
        {Qt::Key_Delete, Qt::NoModifier, "\x7f", VK_DELETE, U"", {}},
        {Qt::Key_F5, Qt::NoModifier, "", VK_F5, U"", {}},
        {Qt::Key_Return, Qt::NoModifier, "\r", VK_RETURN, U"\r", {}},
        {Qt::Key_Dollar, Qt::ShiftModifier, "$", '4', U"$", {ssShift}},
        {Qt::Key_Period, Qt::NoModifier, ".", VK_OEM_PERIOD, U".", {}},
        {Qt::Key_Eacute, Qt::NoModifier, QString::fromUtf8("é"), 0, U"é", {}},
    };
    auto* probe = new Probe(Form, &Log, "p");
    probe->SetParent(Form);
    QWidget* w = probe->Widget();
    for (const Row& r : rows) {
        Log.clear();
        QKeyEvent press(QEvent::KeyPress, r.QtKey, r.Mods, r.Text);
        QKeyEvent release(QEvent::KeyRelease, r.QtKey, r.Mods, r.Text);
        QApplication::sendEvent(w, &press);
        QApplication::sendEvent(w, &release);
        std::vector<Logged> want;
        if (r.Vk) want.push_back({"p", WM_KEYDOWN, r.Vk, r.Shift});
        for (char32_t c : r.Chars) want.push_back({"p", WM_CHAR, WPARAM(c), r.Shift});
        if (r.Vk) want.push_back({"p", WM_KEYUP, r.Vk, r.Shift});
        ASSERT_EQ(Log.size(), want.size()) << "key " << r.QtKey;
        for (size_t i = 0; i < want.size(); ++i) {
            EXPECT_EQ(Log[i].Msg, want[i].Msg) << "key " << r.QtKey << " #" << i;
            EXPECT_EQ(Log[i].WParam, want[i].WParam) << "key " << r.QtKey << " #" << i;
            EXPECT_EQ(Log[i].Shift, want[i].Shift) << "key " << r.QtKey << " #" << i;
        }
    }
}

TEST_F(ControlsTest, AltKeysAreSystemKeysAndKeyEventsSeeTheFormFirstWithKeyPreview) {
    auto* probe = new Probe(Form, &Log, "p");
    probe->SetParent(Form);
    std::vector<std::string> order;
    Form->KeyPreview = true;
    Form->OnKeyDown = [&](TObject*, Word& key, TShiftState) { order.push_back("form " + std::to_string(key)); };
    probe->OnKeyDown = [&](TObject*, Word& key, TShiftState) { order.push_back("probe " + std::to_string(key)); };
    probe->OnKeyPress = [&](TObject*, char32_t& key) {
        order.push_back("press");
        key = 0;
    };
    QKeyEvent press(QEvent::KeyPress, Qt::Key_B, Qt::NoModifier, "b");
    QApplication::sendEvent(probe->Widget(), &press);
    EXPECT_EQ(order, (std::vector<std::string>{"form 66", "probe 66", "press"}));

    Log.clear();
    QKeyEvent alt(QEvent::KeyPress, Qt::Key_F, Qt::AltModifier, "f");
    QApplication::sendEvent(probe->Widget(), &alt);
    ASSERT_EQ(Log.size(), 2u);
    EXPECT_EQ(Log[0].Msg, unsigned(WM_SYSKEYDOWN));
    EXPECT_TRUE(Log[0].Shift.Contains(ssAlt));
    EXPECT_EQ(Log[1].Msg, unsigned(WM_SYSCHAR));
}

TEST_F(ControlsTest, FocusMovesWithExitBeforeEnterAndNamesTheOtherControl) {
    auto* a = new Probe(Form, &Log, "a");
    auto* b = new Probe(Form, &Log, "b");
    a->SetParent(Form);
    b->SetParent(Form);
    a->SetBounds(0, 0, 50, 20);
    b->SetBounds(0, 30, 50, 20);
    Form->Show();
    Pump();
    a->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return a->Focused(); }, 1000));
    Log.clear();
    b->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return b->Focused(); }, 1000));
    std::vector<std::pair<std::string, unsigned>> seen;
    for (auto& l : Log) seen.emplace_back(l.What, l.Msg);
    EXPECT_EQ(seen, (std::vector<std::pair<std::string, unsigned>>{
                        {"a", WM_KILLFOCUS}, {"b", WM_SETFOCUS}, {"a", CM_EXIT}, {"b", CM_ENTER}}));
    ASSERT_EQ(Log.size(), 4u);
    EXPECT_EQ(FindControl(HWND(Log[0].WParam)), b) << "the losing control learns who gains";
    EXPECT_EQ(FindControl(HWND(Log[1].WParam)), a) << "the gaining control learns who lost";
    EXPECT_EQ(Form->GetActiveControl(), b);
}

TEST_F(ControlsTest, TabMovesInTabOrderSkippingControlsThatCannotTakeIt) {
    auto* a = new Probe(Form, &Log, "a");
    auto* b = new Probe(Form, &Log, "b");
    auto* c = new Probe(Form, &Log, "c");
    auto* d = new Probe(Form, &Log, "d");
    for (Probe* p : {a, b, c, d}) p->SetParent(Form);
    c->SetTabOrder(0);  // c, a, b, d
    b->SetTabStop(false);
    d->SetVisible(false);
    EXPECT_EQ(Form->FindNextControl(c, true, true, false), a);
    EXPECT_EQ(Form->FindNextControl(a, true, true, false), c) << "b has no tab stop, d is hidden";
    EXPECT_EQ(Form->FindNextControl(c, false, true, false), a);
    EXPECT_EQ(c->GetTabOrder(), 0);
    EXPECT_EQ(a->GetTabOrder(), 1);
}

TEST_F(ControlsTest, TabKeyGoesThroughTheFormsDialogKeyHandling) {
    auto* a = new Probe(Form, &Log, "a");
    auto* b = new Probe(Form, &Log, "b");
    a->SetParent(Form);
    b->SetParent(Form);
    Form->Show();
    Pump();
    a->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return a->Focused(); }, 1000));
    QKeyEvent tab(QEvent::KeyPress, Qt::Key_Tab, Qt::NoModifier, "\t");
    QApplication::sendEvent(a->Widget(), &tab);
    EXPECT_TRUE(QTest::qWaitFor([&] { return b->Focused(); }, 1000));
    for (auto& l : Log) EXPECT_FALSE(l.What == "a" && l.Msg == WM_KEYDOWN) << "a dialog key never reaches the control";
}

TEST_F(ControlsTest, InputForADisabledControlIsDropped) {
    auto* probe = new Probe(Form, &Log, "p");
    probe->SetParent(Form);
    int downs = 0, clicks = 0;
    probe->OnKeyDown = [&](TObject*, Word&, TShiftState) { ++downs; };
    probe->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int, int) { ++clicks; };
    Form->SetEnabled(false);
    probe->Perform(WM_KEYDOWN, 'A', 0);
    probe->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(1, 1));
    EXPECT_EQ(downs + clicks, 0);
    Form->SetEnabled(true);
    probe->Perform(WM_KEYDOWN, 'A', 0);
    probe->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(1, 1));
    EXPECT_EQ(downs, 1);
    EXPECT_EQ(clicks, 1);
}

TEST_F(ControlsTest, AlignPassSharesTheClientAreaTopBottomLeftRightThenClient) {
    auto* parent = new TWinControl(Form);
    parent->SetParent(Form);
    parent->SetBounds(0, 0, 200, 100);
    auto make = [&](TAlign align, int left, int top, int w, int h) {
        auto* c = new TWinControl(Form);
        c->SetBounds(left, top, w, h);
        c->SetParent(parent);
        c->SetAlign(align);
        return c;
    };
    TControl* client = make(alClient, 0, 0, 10, 10);
    TControl* top2 = make(alTop, 0, 50, 10, 15);
    TControl* top1 = make(alTop, 0, 0, 10, 20);
    TControl* bottom = make(alBottom, 0, 0, 10, 10);
    TControl* left = make(alLeft, 0, 0, 30, 10);
    TControl* right = make(alRight, 0, 0, 40, 10);
    struct Row {
        TControl* Control;
        TRect Want;
    } rows[] = {
        {top1, Rect(0, 0, 200, 20)}, {top2, Rect(0, 20, 200, 35)},    {bottom, Rect(0, 90, 200, 100)},
        {left, Rect(0, 35, 30, 90)}, {right, Rect(160, 35, 200, 90)}, {client, Rect(30, 35, 160, 90)},
    };
    for (auto& r : rows) EXPECT_EQ(r.Control->BoundsRect(), r.Want) << r.Control->ClassName();

    // The parent grows: the aligned children follow.
    parent->SetBounds(0, 0, 300, 120);
    EXPECT_EQ(client->BoundsRect(), Rect(30, 35, 260, 110));
    EXPECT_EQ(right->BoundsRect(), Rect(260, 35, 300, 110));
    // A hidden control gives its room back.
    top2->SetVisible(false);
    EXPECT_EQ(left->BoundsRect(), Rect(0, 20, 30, 110));
}

// A graphic control that records what reaches it and paints a colour.
class Spot : public TGraphicControl {
public:
    using TGraphicControl::TGraphicControl;
    std::vector<std::string> Got;
    TColor Fill = clRed;

protected:
    void MouseDown(TMouseButton, TShiftState, int x, int y) override {
        Got.push_back("down " + std::to_string(x) + "," + std::to_string(y));
    }
    void Paint() override {
        Canvas()->GetBrush()->SetColor(Fill);
        Canvas()->FillRect(GetClientRect());
    }
};

TEST_F(ControlsTest, GraphicChildrenGetTheirMouseMessagesAndArePaintedByTheParent) {
    auto* spot = new Spot(Form);
    spot->SetParent(Form);
    spot->SetBounds(40, 30, 20, 10);
    int clicks = 0;
    spot->OnClick = [&](TObject* s) {
        EXPECT_EQ(s, spot);
        ++clicks;
    };
    Form->Show();
    Pump();
    QWidget* client = Form->ClientWidget();
    QTest::mouseClick(client, Qt::LeftButton, Qt::NoModifier, QPoint(45, 33));
    EXPECT_EQ(spot->Got, (std::vector<std::string>{"down 5,3"}));
    EXPECT_EQ(clicks, 1);

    QImage image = client->grab().toImage();
    EXPECT_EQ(image.pixelColor(40, 30), QColor(255, 0, 0));
    EXPECT_EQ(image.pixelColor(59, 39), QColor(255, 0, 0));
    EXPECT_NE(image.pixelColor(60, 40), QColor(255, 0, 0)) << "right and bottom edges are exclusive";
}

// A surface that paints every pixel, recording the areas it was asked to paint.
class Surface : public TCustomControl {
public:
    using TCustomControl::TCustomControl;
    std::vector<TRect> Painted;

protected:
    void Paint() override {
        Painted.push_back(Canvas()->GetClipRect());
        Canvas()->GetBrush()->SetColor(clWhite);
        Canvas()->FillRect(GetClientRect());
    }
};

// Scrolling a control keeps the pixels it has and paints only the strip the
// move uncovered; a control with children moves them. The canvas of a control
// away from its window's corner clips to its own area, not less.
TEST_F(ControlsTest, ScrollingPaintsOnlyTheUncoveredStrip) {
    auto* surface = new Surface(Form);
    surface->SetParent(Form);
    // Away from the window's corner, where the canvas must still see its whole area.
    surface->SetBounds(20, 30, 200, 100);
    Form->Show();
    Pump();
    ASSERT_FALSE(surface->Painted.empty());
    EXPECT_EQ(surface->Painted.back(), Rect(0, 0, 200, 100));
    struct Row {
        int dx, dy;
        TRect strip;
    };
    const Row rows[] = {
        {0, -10, Rect(0, 90, 200, 100)},
        {0, 7, Rect(0, 0, 200, 7)},
        {-12, 0, Rect(188, 0, 200, 100)},
        {5, 0, Rect(0, 0, 5, 100)},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(std::to_string(r.dx) + "," + std::to_string(r.dy));
        surface->Painted.clear();
        surface->ScrollBy(r.dx, r.dy);
        Pump();
        ASSERT_EQ(surface->Painted.size(), 1u);
        EXPECT_EQ(surface->Painted[0], r.strip);
    }

    auto* holder = new TWinControl(Form);
    holder->SetParent(Form);
    holder->SetBounds(0, 100, 200, 100);
    auto* spot = new Spot(Form);
    spot->SetParent(holder);
    spot->SetBounds(40, 30, 20, 10);
    holder->ScrollBy(-5, 8);
    EXPECT_EQ(spot->BoundsRect(), Rect(35, 38, 55, 48));
}

TEST_F(ControlsTest, ParentFontAndColourFlowToChildrenUntilTheyHaveTheirOwn) {
    auto* panel = new TWinControl(Form);
    panel->SetParent(Form);
    auto* inner = new TWinControl(Form);
    inner->SetParent(panel);
    Form->GetFont()->SetHeight(-19);
    EXPECT_EQ(inner->GetFont()->GetHeight(), -19);
    inner->GetFont()->SetHeight(-9);
    EXPECT_FALSE(inner->GetParentFont());
    Form->GetFont()->SetHeight(-13);
    EXPECT_EQ(panel->GetFont()->GetHeight(), -13);
    EXPECT_EQ(inner->GetFont()->GetHeight(), -9);
    panel->SetColor(clYellow);
    EXPECT_EQ(inner->GetColor(), clYellow);
}

TEST_F(ControlsTest, DestroyingAParentFreesItsChildren) {
    auto* panel = new TWinControl(nullptr);
    auto* child = new Spot(nullptr);
    child->SetParent(panel);
    bool gone = false;
    struct Watch : TComponent {
        bool* Flag;
        Watch(bool* f) : TComponent(nullptr), Flag(f) {}
        void Notification(TComponent*, TOperation op) override {
            if (op == opRemove) *Flag = true;
        }
    } watch(&gone);
    child->FreeNotification(&watch);
    delete panel;
    EXPECT_TRUE(gone);
}

TEST_F(ControlsTest, CaretIsDrawnInvertedInItsOwnerAndHiddenAgain) {
    auto* probe = new Probe(Form, &Log, "p");
    probe->SetParent(Form);
    probe->SetBounds(0, 0, 40, 20);
    probe->SetColor(clWhite);
    Form->Show();
    Pump();
    ASSERT_TRUE(CreateCaret(probe, 2, 10));
    SetCaretPos(5, 3);
    QWidget* w = probe->Widget();
    EXPECT_EQ(w->grab().toImage().pixelColor(5, 3), QColor(255, 255, 255)) << "hidden after creation";
    ShowCaret(probe->GetHandle());
    EXPECT_EQ(w->grab().toImage().pixelColor(5, 3), QColor(0, 0, 0));
    EXPECT_EQ(w->grab().toImage().pixelColor(7, 3), QColor(255, 255, 255));
    HideCaret(probe->GetHandle());
    EXPECT_EQ(w->grab().toImage().pixelColor(5, 3), QColor(255, 255, 255));
    EXPECT_TRUE(DestroyCaret());
    EXPECT_FALSE(ShowCaret(probe->GetHandle()));

    // A bitmap caret inverts where the bitmap is white only.
    TBitmap shape;
    shape.SetSize(2, 1);
    shape.GetCanvas()->SetPixel(0, 0, clWhite);
    shape.GetCanvas()->SetPixel(1, 0, clBlack);
    ASSERT_TRUE(CreateCaret(probe, &shape));
    SetCaretPos(10, 4);
    ShowCaret(probe->GetHandle());
    QImage image = w->grab().toImage();
    EXPECT_EQ(image.pixelColor(10, 4), QColor(0, 0, 0));
    EXPECT_EQ(image.pixelColor(11, 4), QColor(255, 255, 255));
    DestroyCaret();
}

}  // namespace

// Hints and hot looks follow the mouse with no button held: windowed and
// graphic controls both get the moves and their enter and leave notices.
TEST_F(ControlsTest, MouseMovesWithoutAButtonReachEveryControlWithEnterAndLeave) {
    auto* probe = new Probe(Form, &Log, "probe");
    probe->SetName("probe");
    Form->SetName("form");
    probe->SetParent(Form);
    probe->SetBounds(150, 20, 60, 40);
    auto* spot = new Spot(Form);
    spot->SetParent(Form);
    spot->SetBounds(40, 30, 20, 10);
    std::vector<std::string> seen;
    for (TControl* c : std::initializer_list<TControl*>{probe, spot}) {
        const std::string name = c == probe ? "probe" : "spot";
        c->OnMouseEnter = [&seen, name](TObject*) { seen.push_back("enter " + name); };
        c->OnMouseLeave = [&seen, name](TObject*) { seen.push_back("leave " + name); };
        c->OnMouseMove = [&seen, name](TObject*, TShiftState, int x, int y) {
            seen.push_back("move " + name + " " + std::to_string(x) + "," + std::to_string(y));
        };
    }
    Form->Show();
    Pump();
    QWidget* client = Form->ClientWidget();
    QTest::mouseMove(client, QPoint(45, 33));
    Pump();
    QTest::mouseMove(client, QPoint(100, 100));
    Pump();
    QTest::mouseMove(probe->Widget(), QPoint(7, 8));
    Pump();
    const std::vector<std::string> expected = {"enter spot", "move spot 5,3", "leave spot", "enter probe",
                                               "move probe 7,8"};
    EXPECT_EQ(seen, expected);
}
