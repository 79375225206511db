// Menus: shortcut texts, the item tree, radio groups, shortcuts from keys, pop-ups.

#include "Menus.h"
#include "Forms.h"
#include "GuiTestApp.h"

#include <QApplication>
#include <QCursor>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QTimer>

#include <map>
#include <memory>

#include <gtest/gtest.h>

namespace {

class MenusTest : public ::testing::Test {
protected:
    void SetUp() override { EnsureGuiApp(); }
};

TEST_F(MenusTest, ShortCutTextRoundTrips) {
    struct Row {
        TShortCut Value;
        const char* Text;
    } rows[] = {
        {TShortCut('S' | scCtrl), "Ctrl+S"},
        {TShortCut('N' | scCtrl), "Ctrl+N"},
        {TShortCut(Word(VK_F5) | scShift | scCtrl), "Shift+Ctrl+F5"},
        {TShortCut(VK_DELETE), "Del"},
        {TShortCut(Word(VK_BACK) | scAlt), "Alt+BkSp"},
        {TShortCut(Word(VK_INSERT) | scShift), "Shift+Ins"},
        {TShortCut(VK_NEXT), "PgDn"},
        {TShortCut(VK_F1), "F1"},
        {TShortCut(VK_NUMPAD7), "Num 7"},
        {TShortCut('0' | scCtrl | scAlt), "Ctrl+Alt+0"},
    };
    for (auto& r : rows) {
        EXPECT_EQ(ShortCutToText(r.Value), r.Text);
        EXPECT_EQ(TextToShortCut(r.Text), r.Value) << r.Text;
    }
    EXPECT_EQ(TextToShortCut("ctrl+shift+f5"), TShortCut(Word(VK_F5) | scShift | scCtrl)) << "any order and case";
    EXPECT_EQ(TextToShortCut("Ctrl+"), scNone);
    EXPECT_EQ(TextToShortCut("Hyper+Q"), scNone);
    EXPECT_EQ(ShortCutToText(scNone), "");
    EXPECT_EQ(ShortCut('O', {ssCtrl}), TShortCut('O' | scCtrl));
}

TEST_F(MenusTest, HotkeysAreMarkedWithAnAmpersand) {
    EXPECT_EQ(StripHotkey("E&xit"), "Exit");
    EXPECT_EQ(StripHotkey("Save &As ..."), "Save As ...");
    EXPECT_EQ(StripHotkey("R&&D"), "R&D");
    EXPECT_EQ(GetHotkey("E&xit"), U'X');
    EXPECT_EQ(GetHotkey("R&&D"), char32_t(0));
}

TEST_F(MenusTest, ItemsInsertAndDeleteAtAnIndexAndFreeTheirSubitems) {
    TMainMenu menu(nullptr);
    auto* file = new TMenuItem(nullptr);
    file->SetCaption("&File");
    menu.Items()->Add(file);
    auto* open = new TMenuItem(nullptr);
    auto* sep = new TMenuItem(nullptr);
    auto* exit = new TMenuItem(nullptr);
    open->SetCaption("&Open");
    sep->SetCaption("-");
    exit->SetCaption("E&xit");
    file->Add(open);
    file->Add(exit);
    file->Insert(1, sep);
    EXPECT_EQ(file->Count(), 3);
    EXPECT_EQ(file->Items(1), sep);
    EXPECT_TRUE(sep->IsLine());
    EXPECT_EQ(exit->GetMenuIndex(), 2);
    EXPECT_EQ(file->Find("Exit"), exit);
    EXPECT_EQ(exit->GetParentMenu(), &menu);
    file->Delete(1);
    EXPECT_EQ(file->IndexOf(sep), -1);
    EXPECT_EQ(sep->GetParent(), nullptr) << "Delete takes an item out without freeing it";
    delete sep;
    EXPECT_THROW(file->Items(5), EMenuError);
    EXPECT_THROW(file->Insert(0, open), EMenuError) << "an item has one place";
}

TEST_F(MenusTest, CheckingARadioItemUnchecksItsGroupOnly) {
    TMenuItem parent(nullptr);
    TMenuItem* items[4];
    for (int i = 0; i < 4; ++i) {
        items[i] = new TMenuItem(nullptr);
        items[i]->SetRadioItem(true);
        items[i]->SetGroupIndex(i < 3 ? 1 : 2);
        parent.Add(items[i]);
    }
    items[0]->SetChecked(true);
    items[3]->SetChecked(true);
    items[1]->SetChecked(true);
    EXPECT_FALSE(items[0]->GetChecked());
    EXPECT_TRUE(items[1]->GetChecked());
    EXPECT_TRUE(items[3]->GetChecked()) << "another group keeps its check";
}

TEST_F(MenusTest, AShortCutKeyClicksTheEnabledItemOfTheFormsMenu) {
    TForm form(nullptr);
    auto* menu = new TMainMenu(&form);
    auto* file = new TMenuItem(&form);
    auto* save = new TMenuItem(&form);
    auto* hidden = new TMenuItem(&form);
    file->SetCaption("&File");
    save->SetCaption("&Save");
    save->SetShortCut(TextToShortCut("Ctrl+S"));
    hidden->SetShortCut(TextToShortCut("Ctrl+N"));
    hidden->SetVisible(false);
    menu->Items()->Add(file);
    file->Add(save);
    file->Add(hidden);
    form.SetMenu(menu);
    int saves = 0, news = 0;
    save->OnClick = [&](TObject* s) {
        EXPECT_EQ(s, save);
        ++saves;
    };
    hidden->OnClick = [&](TObject*) { ++news; };
    form.Show();
    QCoreApplication::processEvents();
    auto* bar = form.Widget()->findChild<QMenuBar*>();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(bar->actions().size(), 1);

    auto press = [&](int key) {
        QKeyEvent e(QEvent::KeyPress, key, Qt::ControlModifier, QString(QChar(key - Qt::Key_A + 1)));
        QApplication::sendEvent(form.ClientWidget(), &e);
    };
    press(Qt::Key_S);
    press(Qt::Key_N);
    EXPECT_EQ(saves, 1);
    EXPECT_EQ(news, 0) << "an invisible item has no shortcut";
    save->SetEnabled(false);
    press(Qt::Key_S);
    EXPECT_EQ(saves, 1);
    form.SetMenu(nullptr);
}

TEST_F(MenusTest, PopupCallsOnPopupAndClicksTheChosenItem) {
    TPopupMenu popup(nullptr);
    auto* a = new TMenuItem(&popup);
    auto* b = new TMenuItem(&popup);
    popup.Items()->Add(a);
    popup.Items()->Add(b);
    std::vector<std::string> order;
    popup.OnPopup = [&](TObject*) { order.push_back("popup"); };
    b->OnClick = [&](TObject*) { order.push_back("b"); };
    TPoint where;
    TPopupHook previous = SetPopupHook([&](TPopupMenu* m, int x, int y) {
        EXPECT_EQ(m, &popup);
        where = TPoint{x, y};
        return b;
    });
    popup.Popup(120, 80);
    SetPopupHook(previous);
    EXPECT_EQ(order, (std::vector<std::string>{"popup", "b"}));
    EXPECT_EQ(where, (TPoint{120, 80}));
}

TEST_F(MenusTest, OwnerDrawnItemsAreMeasuredAndDrawnThroughTheCanvas) {
    TMenuItem item(nullptr);
    item.SetCaption("&Contents");
    item.OnMeasureItem = [](TObject*, TCanvas*, int& w, int& h) {
        w = 150;
        h = 24;
    };
    bool drew = false;
    item.OnDrawItem = [&](TObject*, TCanvas* c, TRect r, bool selected) {
        drew = true;
        EXPECT_TRUE(selected);
        c->GetBrush()->SetColor(clNavy);
        c->FillRect(r);
    };
    TCanvas measure;
    int w = 0, h = 0;
    item.MeasureItem(&measure, w, h);
    EXPECT_EQ(w, 150);
    EXPECT_EQ(h, 24);
    TBitmap bmp;
    bmp.SetSize(w, h);
    item.DrawItem(bmp.GetCanvas(), Rect(0, 0, w, h), true);
    EXPECT_TRUE(drew);
    EXPECT_EQ(bmp.GetCanvas()->GetPixel(10, 10), clNavy);
}

// An owner-drawn main menu on a shown form: File with Open, a disabled Print, a
// line, a submenu and Exit. Every item reports its measuring and drawing.
struct OwnerDrawnForm {
    std::unique_ptr<TForm> form = std::make_unique<TForm>(nullptr);
    TMainMenu* menu = new TMainMenu(form.get());
    TMenuItem* file = nullptr;
    TMenuItem* open = nullptr;
    TMenuItem* print = nullptr;
    TMenuItem* line = nullptr;
    TMenuItem* recent = nullptr;
    TMenuItem* first = nullptr;
    TMenuItem* exit = nullptr;
    std::map<TMenuItem*, int> clicks;
    std::map<TMenuItem*, bool> selected;  // as last drawn
    std::map<TMenuItem*, TRect> drawnRect;
    QMenu* popup = nullptr;
    static constexpr int ItemWidth = 140, ItemHeight = 22, LineHeight = 5;

    OwnerDrawnForm() {
        auto add = [&](TMenuItem* parent, const char* caption) {
            auto* item = new TMenuItem(form.get());
            item->SetCaption(caption);
            item->OnClick = [this, item](TObject*) { ++clicks[item]; };
            item->OnMeasureItem = [](TObject* s, TCanvas*, int& w, int& h) {
                w = ItemWidth;
                h = static_cast<TMenuItem*>(s)->IsLine() ? LineHeight : ItemHeight;
            };
            item->OnDrawItem = [this, item](TObject*, TCanvas* c, TRect r, bool sel) {
                selected[item] = sel;
                drawnRect[item] = r;
                c->GetBrush()->SetColor(sel ? clNavy : clWhite);
                c->FillRect(r);
            };
            parent->Add(item);
            return item;
        };
        file = add(menu->Items(), "&File");
        open = add(file, "&Open");
        print = add(file, "&Print");
        print->SetEnabled(false);
        line = add(file, "-");
        recent = add(file, "&Recent");
        first = add(recent, "&First");
        exit = add(file, "E&xit");
        menu->SetOwnerDraw(true);
        form->SetMenu(menu);
        form->Show();
        QCoreApplication::processEvents();
        auto* bar = form->Widget()->findChild<QMenuBar*>();
        if (bar && !bar->actions().isEmpty()) popup = bar->actions().first()->menu();
    }
    ~OwnerDrawnForm() {
        if (popup) popup->hide();
        form->SetMenu(nullptr);
    }
    void Open() {
        popup->popup(QPoint(10, 10));
        QCoreApplication::processEvents();
    }
    // Paints the menu as it stands, so the draw hook reports the current state.
    void Paint() {
        selected.clear();
        popup->grab();
    }
    TMenuItem* Highlighted() {
        Paint();
        TMenuItem* found = nullptr;
        for (auto [item, sel] : selected)
            if (sel) {
                EXPECT_EQ(found, nullptr) << "two items drawn selected";
                found = item;
            }
        return found;
    }
    void Key(int key) { QTest::keyClick(popup, Qt::Key(key)); }
};

TEST_F(MenusTest, OwnerDrawnMenuIsNavigatedByArrowKeysSkippingDisabledItemsAndLines) {
    OwnerDrawnForm f;
    ASSERT_NE(f.popup, nullptr);
    f.Open();
    ASSERT_TRUE(f.popup->isVisible());
    EXPECT_EQ(f.Highlighted(), nullptr) << "nothing is highlighted before a key or the mouse";
    struct Row {
        int Key;
        TMenuItem* Expected;
    } rows[] = {
        {Qt::Key_Down, f.open}, {Qt::Key_Down, f.recent},  // over the disabled item and the line
        {Qt::Key_Down, f.exit}, {Qt::Key_Up, f.recent},   {Qt::Key_Up, f.open},
    };
    for (const Row& r : rows) {
        f.Key(r.Key);
        EXPECT_EQ(f.Highlighted(), r.Expected) << "after key " << r.Key << " expected " << r.Expected->GetCaption();
    }
    f.Key(Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.clicks[f.open], 1);
    EXPECT_FALSE(f.popup->isVisible()) << "choosing an item closes the menu";
    EXPECT_EQ(f.clicks[f.exit], 0);
}

TEST_F(MenusTest, OwnerDrawnMenuChoosesByAcceleratorSpaceAndClosesOnEscape) {
    OwnerDrawnForm f;
    ASSERT_NE(f.popup, nullptr);
    f.Open();
    QTest::keyClick(f.popup, 'p');  // the disabled item's letter chooses nothing
    QCoreApplication::processEvents();
    EXPECT_EQ(f.clicks[f.print], 0);
    QTest::keyClick(f.popup, 'x');
    QCoreApplication::processEvents();
    EXPECT_EQ(f.clicks[f.exit], 1);
    EXPECT_FALSE(f.popup->isVisible());

    f.Open();
    f.Key(Qt::Key_Down);
    f.Key(Qt::Key_Space);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.clicks[f.open], 1);

    f.Open();
    f.Key(Qt::Key_Down);
    f.Key(Qt::Key_Escape);
    QCoreApplication::processEvents();
    EXPECT_FALSE(f.popup->isVisible());
    EXPECT_EQ(f.clicks[f.open], 1) << "Escape chooses nothing";
}

TEST_F(MenusTest, OwnerDrawnSubmenuOpensFromTheKeyboardAndIsOwnerDrawnToo) {
    OwnerDrawnForm f;
    ASSERT_NE(f.popup, nullptr);
    f.Open();
    f.Key(Qt::Key_Down);
    f.Key(Qt::Key_Down);
    ASSERT_EQ(f.Highlighted(), f.recent);
    f.Key(Qt::Key_Right);
    QCoreApplication::processEvents();
    auto* sub = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    ASSERT_NE(sub, nullptr);
    ASSERT_NE(sub, f.popup);
    f.selected.clear();
    sub->grab();
    ASSERT_EQ(f.selected.count(f.first), 1u) << "the submenu's items go through the draw hook";
    EXPECT_TRUE(f.selected[f.first]) << "Right opens the submenu on its first item";
    QTest::keyClick(sub, Qt::Key_Return);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.clicks[f.first], 1);
}

TEST_F(MenusTest, OwnerDrawnItemsGetTheirMeasuredHeightAndRoomRightOfTheirWidth) {
    OwnerDrawnForm f;
    ASSERT_NE(f.popup, nullptr);
    f.Open();
    f.Paint();
    for (TMenuItem* item : {f.open, f.print, f.line, f.exit}) {
        ASSERT_EQ(f.drawnRect.count(item), 1u) << item->GetCaption();
        TRect r = f.drawnRect[item];
        EXPECT_EQ(r.Height(), item->IsLine() ? f.LineHeight : f.ItemHeight) << item->GetCaption();
        EXPECT_GE(r.Width(), f.ItemWidth + 8) << "a caption as wide as measured keeps clear of the edge";
    }
    EXPECT_LT(f.drawnRect[f.open].Bottom, f.drawnRect[f.exit].Top);
}

TEST_F(MenusTest, OwnerDrawnItemIsHighlightedAndChosenWithTheMouse) {
    OwnerDrawnForm f;
    ASSERT_NE(f.popup, nullptr);
    // A menu ignores the mouse until it has moved away from where the menu opened.
    QCursor::setPos(600, 600);
    f.Open();
    QAction* exitAction = nullptr;
    for (QAction* a : f.popup->actions())
        if (a->text() == "E&xit") exitAction = a;
    ASSERT_NE(exitAction, nullptr);
    QPoint where = f.popup->actionGeometry(exitAction).center();
    QTest::mouseMove(f.popup, where);
    EXPECT_EQ(f.Highlighted(), f.exit);
    QTest::mouseClick(f.popup, Qt::LeftButton, {}, where);
    QCoreApplication::processEvents();
    EXPECT_EQ(f.clicks[f.exit], 1);
}

TEST_F(MenusTest, OwnerDrawnPopupMenuIsChosenFromTheKeyboard) {
    TPopupMenu popup(nullptr);
    int clicks[2] = {0, 0};
    TMenuItem* items[2];
    TMenuItem* drawnSelected = nullptr;
    for (int i = 0; i < 2; ++i) {
        auto* item = new TMenuItem(&popup);
        item->SetCaption(i ? "&Second" : "&First");
        item->OnClick = [&clicks, i](TObject*) { ++clicks[i]; };
        item->OnMeasureItem = [](TObject*, TCanvas*, int& w, int& h) {
            w = 100;
            h = 20;
        };
        item->OnDrawItem = [&drawnSelected](TObject* s, TCanvas*, TRect, bool sel) {
            if (sel) drawnSelected = static_cast<TMenuItem*>(s);
        };
        popup.Items()->Add(item);
        items[i] = item;
    }
    popup.SetOwnerDraw(true);
    bool sawMenu = false;
    QTimer keys, guard;
    keys.setSingleShot(true);
    QObject::connect(&keys, &QTimer::timeout, [&] {
        QWidget* shown = QApplication::activePopupWidget();
        sawMenu = shown != nullptr;
        if (!shown) return;
        QTest::keyClick(shown, Qt::Key_Down);
        QTest::keyClick(shown, Qt::Key_Down);
        shown->grab();
        QTest::keyClick(shown, Qt::Key_Return);
    });
    // Should the menu not take the keys, close it rather than hang.
    guard.setSingleShot(true);
    QObject::connect(&guard, &QTimer::timeout, [] {
        while (QWidget* w = QApplication::activePopupWidget()) w->close();
    });
    keys.start(0);
    guard.start(2000);
    popup.Popup(20, 20);
    QCoreApplication::processEvents();
    EXPECT_TRUE(sawMenu);
    EXPECT_EQ(drawnSelected, items[1]);
    EXPECT_EQ(clicks[0], 0);
    EXPECT_EQ(clicks[1], 1);
}

}  // namespace
