#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QTest>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "FormReader.h"
#include "StdCtrls.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "entmsgs.h"
#include "entnbk.h"

namespace {

struct Fixture {
    std::unique_ptr<TForm> form;
    TEntNotebook* nb = nullptr;
    std::vector<std::string> log;

    explicit Fixture(int pages, const std::string& caption = "Page") {
        EnsureGuiApp();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 600, 500);
        nb = new TEntNotebook(form.get());
        nb->SetParent(form.get());
        nb->GetFont()->SetName("Arial");
        nb->GetFont()->SetHeight(-11);
        nb->GetActiveTabFont()->SetName("Arial");
        nb->GetActiveTabFont()->SetHeight(-11);
        for (int i = 0; i < pages; ++i) {
            auto* page = new TEntTabPage(nb);
            page->SetName("Page" + std::to_string(i));
            page->SetCaption(caption.empty() ? "" : caption + std::to_string(i));
        }
        nb->OnTabClick = [this](TObject*, int i) { log.push_back("click " + std::to_string(i)); };
        nb->OnPageChange = [this](TObject*, int i, bool&) { log.push_back("change " + std::to_string(i)); };
        nb->OnPageChanged = [this](TObject*, int i) { log.push_back("changed " + std::to_string(i)); };
    }

    TPoint TabCentre(int i) const {
        TRect r = nb->GetTabRect(i);
        return {r.Left + r.Width() / 2, r.Top + r.Height() / 2};
    }
    void Click(int i) {
        TPoint p = TabCentre(i);
        nb->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(p.X, p.Y));
        nb->Perform(WM_LBUTTONUP, 0, MakeLParam(p.X, p.Y));
    }
    void Key(Word vk) { nb->Perform(WM_KEYDOWN, vk, 0); }
    TRect PageArea() const { return nb->Pages(0)->BoundsRect(); }
};

QImage Render(TEntNotebook* nb) {
    QImage image(nb->GetWidth(), nb->GetHeight(), QImage::Format_RGB32);
    image.fill(Qt::magenta);
    QPainter painter(&image);
    nb->PaintTo(painter);
    painter.end();
    if (const char* dir = getenv("NBK_DUMP")) {
        static int n = 0;
        image.save(QString("%1/nbk%2.png").arg(dir).arg(n++));
    }
    return image;
}

QRgb Rgb(TColor c) {
    TColor v = ColorToRGB(c);
    return qRgb(GetRValue(v), GetGValue(v), GetBValue(v));
}

// Text is smoothed: a pixel counts as the colour when it is close to it.
bool Near(QRgb a, QRgb b, int tolerance) {
    return std::abs(qRed(a) - qRed(b)) + std::abs(qGreen(a) - qGreen(b)) + std::abs(qBlue(a) - qBlue(b)) <= tolerance;
}

// Pixels of (about) the colour inside the rectangle.
int Count(const QImage& image, const TRect& r, QRgb colour, int tolerance = 0) {
    int n = 0;
    for (int y = std::max(r.Top, 0); y < std::min(r.Bottom, image.height()); ++y)
        for (int x = std::max(r.Left, 0); x < std::min(r.Right, image.width()); ++x)
            if (Near(image.pixel(x, y), colour, tolerance)) ++n;
    return n;
}

QRect InkBox(const QImage& image, const TRect& r, QRgb colour, int tolerance) {
    QRect box;
    for (int y = r.Top; y < r.Bottom; ++y)
        for (int x = r.Left; x < r.Right; ++x)
            if (Near(image.pixel(x, y), colour, tolerance)) box |= QRect(x, y, 1, 1);
    return box;
}

constexpr int kTextTolerance = 150;

}  // namespace

// ---------------------------------------------------------------------------
// Layout

TEST(EntNotebook, RowsAndPageAreaInEachOrientation) {
    struct Row {
        TEntTabOrientation orientation;
        const char* name;
    };
    for (Row r : {Row{toTop, "top"}, Row{toRight, "right"}, Row{toBottom, "bottom"}, Row{toLeft, "left"}}) {
        Fixture f(5);
        f.nb->SetTabOrientation(r.orientation);
        const int tw = f.nb->Pages(0)->TabWidth();
        const bool side = r.orientation == toRight || r.orientation == toLeft;
        // room for three tabs in a row, not four
        const int length = 3 * tw + 10 + 4;
        if (side)
            f.nb->SetBounds(0, 0, 300, length);
        else
            f.nb->SetBounds(0, 0, length, 300);
        const int W = f.nb->GetWidth(), H = f.nb->GetHeight();
        const int th = f.nb->GetTabHeight();

        ASSERT_EQ(f.nb->RowCount(), 2) << r.name;
        for (int i = 0; i < 5; ++i) EXPECT_EQ(f.nb->Pages(i)->TabRow(), i < 3 ? 0 : 1) << r.name << " page " << i;
        EXPECT_EQ(f.nb->ActiveRow(), 0);

        const int t = 2 * th;
        const TRect expected[] = {Bounds(1, t + 3, W - 3, H - t - 5), Bounds(1, 1, W - t - 4, H - 3),
                                  Bounds(1, 1, W - 3, H - t - 5), Bounds(t + 3, 1, W - t - 5, H - 3)};
        const TRect area = f.PageArea();
        EXPECT_EQ(area, expected[r.orientation]) << r.name;
        for (int i = 1; i < 5; ++i) EXPECT_EQ(f.nb->Pages(i)->BoundsRect(), area);

        // The active row touches the page frame; the other row lies at the outer edge.
        const TRect active = f.nb->GetTabRect(0), outer = f.nb->GetTabRect(3);
        switch (r.orientation) {
        case toTop:
            EXPECT_EQ(active.Bottom, area.Top - 1);
            EXPECT_EQ(outer.Top, 2);
            break;
        case toBottom:
            EXPECT_EQ(active.Top, area.Bottom + 2);
            EXPECT_EQ(outer.Bottom, H - 2);
            break;
        case toRight:
            EXPECT_EQ(active.Left, area.Right + 1);
            EXPECT_EQ(outer.Right, W - 2);
            break;
        case toLeft:
            EXPECT_EQ(active.Right, area.Left - 1);
            EXPECT_EQ(outer.Left, 2);
            break;
        }
        // tabs of a row follow each other without gaps from the strip's start
        const TRect second = f.nb->GetTabRect(1);
        if (r.orientation == toLeft)
            EXPECT_EQ(second.Bottom, active.Top);
        else if (side)
            EXPECT_EQ(second.Top, active.Bottom);
        else
            EXPECT_EQ(second.Left, active.Right);
        EXPECT_EQ(side ? active.Width() : active.Height(), th) << r.name;
    }
}

TEST(EntNotebook, OldStyleStretchesEveryRowToTheStrip) {
    Fixture f(5);
    const int tw = f.nb->Pages(0)->TabWidth();  // the same captions: one common width
    f.nb->SetOldStyle(true);
    const int available = 3 * tw + 17;
    f.nb->SetBounds(0, 0, available + 4, 200);
    ASSERT_EQ(f.nb->RowCount(), 2);
    EXPECT_EQ(f.nb->Pages(0)->TabWidth(), tw + 6);
    EXPECT_EQ(f.nb->Pages(1)->TabWidth(), tw + 6);
    EXPECT_EQ(f.nb->Pages(2)->TabWidth(), tw + 5);
    EXPECT_EQ(f.nb->Pages(3)->TabWidth() + f.nb->Pages(4)->TabWidth(), available);
    EXPECT_EQ(f.nb->GetTabRect(2).Right, available + 2) << "rows end at the strip's end";
}

TEST(EntNotebook, FixedRowCountDealsTheRemainderFromTheFirstRow) {
    Fixture f(5);
    f.nb->SetTabRowCount(2);
    ASSERT_EQ(f.nb->RowCount(), 2);
    const int rows[] = {0, 0, 1, 1, 0};
    for (int i = 0; i < 5; ++i) EXPECT_EQ(f.nb->Pages(i)->TabRow(), rows[i]) << i;
    f.nb->SetTabRowCount(9);  // more rows than pages: ignored
    EXPECT_EQ(f.nb->GetTabRowCount(), 2);
}

TEST(EntNotebook, TabWidthFollowsTheCaptionWithoutAmpersands) {
    Fixture f(2);
    f.nb->Pages(0)->SetCaption("P&&I");
    f.nb->Pages(1)->SetCaption("PI");
    EXPECT_EQ(f.nb->Pages(0)->TabWidth(), f.nb->Pages(1)->TabWidth());
    f.nb->Pages(1)->SetCaption("");
    EXPECT_EQ(f.nb->Pages(1)->TabWidth(), 20) << "the narrowest tab";
    f.nb->Pages(1)->SetPageVisible(false);
    EXPECT_EQ(f.nb->Pages(1)->TabWidth(), 0);
    EXPECT_TRUE(f.nb->GetTabRect(1).IsEmpty()) << "an invisible page has no tab";
}

TEST(EntNotebook, TabHeightFollowsTheLargestFontUnlessFixed) {
    Fixture f(2);
    const int small = f.nb->GetTabHeight();
    f.nb->Pages(1)->GetFont()->SetHeight(-20);
    EXPECT_GT(f.nb->GetTabHeight(), small);
    f.nb->SetTabHeight(0);
    EXPECT_FALSE(f.nb->GetTabAutoHeight());
    EXPECT_EQ(f.PageArea(), Bounds(0, 0, f.nb->GetWidth(), f.nb->GetHeight())) << "no tabs: pages fill it";
    f.nb->SetBounds(0, 0, 200, 5);
    EXPECT_EQ(f.nb->GetHeight(), 20) << "top tabs keep 20 pixels of height";
}

// ---------------------------------------------------------------------------
// Selection

TEST(EntNotebook, ClickingTabsChangesThePage) {
    Fixture f(3);
    EXPECT_EQ(f.nb->GetPageIndex(), 0);
    EXPECT_TRUE(f.nb->Pages(0)->GetVisible());
    EXPECT_FALSE(f.nb->Pages(1)->GetVisible());

    f.Click(1);
    EXPECT_EQ(f.nb->GetPageIndex(), 1);
    EXPECT_TRUE(f.nb->Pages(1)->GetVisible());
    EXPECT_FALSE(f.nb->Pages(0)->GetVisible());
    EXPECT_EQ(f.log, (std::vector<std::string>{"change 1", "changed 1", "click 1"}));

    f.log.clear();
    f.Click(1);
    EXPECT_EQ(f.log, (std::vector<std::string>{"click 1"})) << "the current tab: one click event, no change";

    f.log.clear();
    f.nb->Pages(2)->SetEnabled(false);
    f.Click(2);
    EXPECT_EQ(f.nb->GetPageIndex(), 1);
    EXPECT_EQ(f.log, (std::vector<std::string>{"click 2"})) << "a disabled tab reports the click only";

    f.log.clear();
    f.nb->OnPageChange = [&](TObject*, int, bool& allow) {
        allow = false;
        f.log.push_back("refused");
    };
    f.Click(0);
    EXPECT_EQ(f.nb->GetPageIndex(), 1);
    EXPECT_EQ(f.log, (std::vector<std::string>{"refused"}));
}

TEST(EntNotebook, SelectingAnUpperRowMovesItNextToThePage) {
    Fixture f(5);
    const int tw = f.nb->Pages(0)->TabWidth();
    f.nb->SetBounds(0, 0, 3 * tw + 14, 200);
    ASSERT_EQ(f.nb->RowCount(), 2);
    const TRect before = f.nb->GetTabRect(3);
    f.Click(3);
    EXPECT_EQ(f.nb->GetPageIndex(), 3);
    EXPECT_EQ(f.nb->ActiveRow(), 1);
    EXPECT_GT(f.nb->GetTabRect(3).Top, before.Top);
    EXPECT_EQ(f.nb->GetTabRect(3).Bottom, f.PageArea().Top - 1);
    EXPECT_EQ(f.nb->GetTabRect(0).Top, 2) << "the other row moves out";
}

TEST(EntNotebook, ArrowKeysStepThroughSelectablePagesAndWrap) {
    struct Row {
        TEntTabOrientation orientation;
        Word next, prev;
    };
    for (Row r : {Row{toTop, VK_RIGHT, VK_LEFT}, Row{toBottom, VK_RIGHT, VK_LEFT}, Row{toRight, VK_DOWN, VK_UP},
                  Row{toLeft, VK_UP, VK_DOWN}}) {
        Fixture f(4);
        f.nb->SetTabOrientation(r.orientation);
        f.nb->Pages(2)->SetEnabled(false);
        f.Key(r.next);
        EXPECT_EQ(f.nb->GetPageIndex(), 1) << r.orientation;
        f.Key(r.next);
        EXPECT_EQ(f.nb->GetPageIndex(), 3) << "the disabled page is skipped";
        f.Key(r.next);
        EXPECT_EQ(f.nb->GetPageIndex(), 0) << "wraps to the first";
        f.Key(r.prev);
        EXPECT_EQ(f.nb->GetPageIndex(), 3) << "and back to the last";
        f.Key(VK_HOME);
        EXPECT_EQ(f.nb->GetPageIndex(), 0);
        f.Key(VK_END);
        EXPECT_EQ(f.nb->GetPageIndex(), 3);
    }
}

TEST(EntNotebook, RowSwitchKeyPicksTheTabBeyondTheCurrentOne) {
    Fixture f(5);
    const int tw = f.nb->Pages(0)->TabWidth();
    f.nb->SetBounds(0, 0, 3 * tw + 14, 200);
    ASSERT_EQ(f.nb->RowCount(), 2);
    f.Key(VK_UP);
    EXPECT_EQ(f.nb->GetPageIndex(), 3) << "the tab above the first tab";
    f.Key(VK_DOWN);
    EXPECT_EQ(f.nb->GetPageIndex(), 3) << "the key towards the page does nothing";
}

TEST(EntNotebook, AcceleratorSelectsThePageAfterTheCurrentOne) {
    Fixture f(0);
    for (const char* caption : {"&Monthly", "&Missing", "&Other"}) {
        auto* page = new TEntTabPage(f.nb);
        page->SetCaption(caption);
    }
    EXPECT_EQ(f.nb->Perform(CM_DIALOGCHAR, 'm', 0), 1);
    EXPECT_EQ(f.nb->GetPageIndex(), 1);
    EXPECT_EQ(f.log.back(), "click 1");
    f.nb->Perform(CM_DIALOGCHAR, 'M', 0);
    EXPECT_EQ(f.nb->GetPageIndex(), 0) << "the search wraps";
    EXPECT_EQ(f.nb->Perform(CM_DIALOGCHAR, 'x', 0), 0);
    f.nb->SetEnabled(false);
    EXPECT_EQ(f.nb->Perform(CM_DIALOGCHAR, 'o', 0), 0);
    EXPECT_EQ(f.nb->GetPageIndex(), 0);
}

TEST(EntNotebook, PageIndexRefusesPagesThatCannotBeShown) {
    Fixture f(3);
    f.nb->Pages(1)->SetPageVisible(false);
    for (int bad : {-1, 1, 3}) {
        EXPECT_THROW(f.nb->SetPageIndex(bad), EInvalidPageIndex) << bad;
        EXPECT_EQ(f.nb->GetPageIndex(), 0);
    }
    try {
        f.nb->SetPageIndex(7);
    } catch (const EInvalidPageIndex& e) {
        EXPECT_EQ(e.Message, "Invalid page index value");
    }
    f.nb->SetActivePage(f.nb->Pages(2));
    EXPECT_EQ(f.nb->GetActivePage(), f.nb->Pages(2));

    // a page disabled while shown still goes when another is selected
    f.nb->Pages(2)->SetEnabled(false);
    f.nb->SetPageIndex(0);
    EXPECT_FALSE(f.nb->Pages(2)->GetVisible());
}

TEST(EntNotebook, SideTabsRefuseRasterFonts) {
    Fixture f(2);
    f.nb->Pages(1)->GetFont()->SetName("MS Sans Serif");
    EXPECT_THROW(f.nb->SetTabOrientation(toLeft), EInvalidTabFont);
    EXPECT_EQ(f.nb->GetTabOrientation(), toTop);
    f.nb->Pages(1)->GetFont()->SetName("Arial");
    f.nb->SetTabOrientation(toLeft);
    EXPECT_EQ(f.nb->GetTabOrientation(), toLeft);

    // with a window, a raster font given later is replaced and reported
    f.nb->HandleNeeded();
    EXPECT_THROW(f.nb->GetFont()->SetName("MS Sans Serif"), EInvalidTabFont);
    EXPECT_EQ(f.nb->GetFont()->GetName(), "Arial");
    EXPECT_THROW(f.nb->Pages(0)->GetFont()->SetName("Courier"), EInvalidTabFont);
    EXPECT_EQ(f.nb->Pages(0)->GetFont()->GetName(), "Arial");
}

TEST(EntNotebook, RemovingThePagesKeepsTheIndexOnTheShownPage) {
    Fixture f(3);
    f.nb->SetPageIndex(2);
    delete f.nb->Pages(0);
    EXPECT_EQ(f.nb->PageCount(), 2);
    EXPECT_EQ(f.nb->GetPageIndex(), 1);
    EXPECT_EQ(f.nb->Pages(1)->GetName(), "Page2");
    delete f.nb->Pages(1);
    EXPECT_EQ(f.nb->GetPageIndex(), 0);
    EXPECT_TRUE(f.nb->Pages(0)->GetVisible());
}

TEST(EntNotebook, ReadFromAWindowDefinition) {
    EnsureGuiApp();
    RegisterEntNotebookClasses();
    TForm form(nullptr);
    std::vector<int> clicks;
    THandlerTable handlers;
    handlers["nbkQuickCalcTabClick"] = TTabClickEvent([&](TObject*, int i) { clicks.push_back(i); });
    int changes = 0;
    handlers["nbkQuickCalcChange"] = TPageChangeEvent([&](TObject*, int, bool&) { ++changes; });
    handlers["nbkQuickCalcChanged"] = TTabClickEvent([&](TObject*, int) { ++changes; });
    ReadComponentFromText(&form,
                          "object frmMain: TForm\n"
                          "  object nbkQuickCalc: TEntNotebook\n"
                          "    Left = 8\n"
                          "    Top = 8\n"
                          "    Width = 400\n"
                          "    Height = 300\n"
                          "    ActiveTabFont.Height = -11\n"
                          "    ActiveTabFont.Name = 'Arial'\n"
                          "    OldStyle = True\n"
                          "    PageIndex = 1\n"
                          "    TabOrientation = toTop\n"
                          "    Font.Height = -11\n"
                          "    Font.Name = 'Arial'\n"
                          "    OnTabClick = nbkQuickCalcTabClick\n"
                          "    OnPageChange = nbkQuickCalcChange\n"
                          "    OnPageChanged = nbkQuickCalcChanged\n"
                          "    object Page2: TEntTabPage\n"
                          "      Left = 1\n"
                          "      Top = 23\n"
                          "      Width = 397\n"
                          "      Height = 272\n"
                          "      Caption = 'Monthly Payment (P&&I)'\n"
                          "    end\n"
                          "    object Page1: TEntPageContainer\n"
                          "      Caption = 'Missing Loan Variables'\n"
                          "      Visible = False\n"
                          "    end\n"
                          "  end\n"
                          "end\n",
                          handlers);
    auto* nb = dynamic_cast<TEntNotebook*>(form.FindComponent("nbkQuickCalc"));
    ASSERT_NE(nb, nullptr);
    ASSERT_EQ(nb->PageCount(), 2);
    EXPECT_EQ(nb->Pages(0)->GetName(), "Page2");
    EXPECT_EQ(nb->Pages(1)->GetName(), "Page1");
    EXPECT_EQ(nb->GetPageIndex(), 0) << "the default page after loading";
    EXPECT_EQ(changes, 0) << "the first selection raises no change events";
    EXPECT_TRUE(nb->Pages(0)->GetVisible());
    EXPECT_FALSE(nb->Pages(1)->GetVisible());
    EXPECT_EQ(nb->Pages(0)->BoundsRect(), Bounds(1, nb->GetTabHeight() + 3, 397, 300 - nb->GetTabHeight() - 5));

    // the main window's notebook: right arrow on the second page wraps to the first
    nb->Perform(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(nb->GetPageIndex(), 1);
    nb->Perform(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(nb->GetPageIndex(), 0);
    TRect r = nb->GetTabRect(1);
    nb->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(r.Left + 5, r.Top + 5));
    EXPECT_EQ(nb->GetPageIndex(), 1);
    EXPECT_EQ(clicks, std::vector<int>{1});
}

TEST(EntNotebook, ClickMovesTheFocusToTheNewPage) {
    Fixture f(2);
    auto* edit0 = new TEdit(f.form.get());
    edit0->SetParent(f.nb->Pages(0));
    auto* edit1 = new TEdit(f.form.get());
    edit1->SetParent(f.nb->Pages(1));
    f.form->Show();
    edit0->SetFocus();
    ASSERT_TRUE(QTest::qWaitFor([&] { return edit0->Focused(); }, 1000));
    f.Click(1);
    EXPECT_EQ(f.nb->GetPageIndex(), 1);
    EXPECT_TRUE(QTest::qWaitFor([&] { return edit1->Focused(); }, 1000));
    f.Key(VK_LEFT);  // reaches the notebook only when it has the focus; sent here directly
    EXPECT_EQ(f.nb->GetPageIndex(), 0);
    EXPECT_TRUE(QTest::qWaitFor([&] { return f.nb->Focused(); }, 1000)) << "the notebook takes the focus";
    // a real key press: the arrow is not taken for moving between controls
    QTest::keyClick(f.nb->Widget(), Qt::Key_Right);
    EXPECT_EQ(f.nb->GetPageIndex(), 1);
}

TEST(EntNotebook, ColourChangesReachThePages) {
    Fixture f(2);
    EXPECT_TRUE(f.nb->GetPageUsesTabColor());
    f.nb->SetColor(clGreen);
    EXPECT_FALSE(f.nb->GetPageUsesTabColor());
    for (int i = 0; i < 2; ++i) EXPECT_EQ(f.nb->Pages(i)->GetTabColor(), clGreen);
    f.nb->SetTabUseDefaultColor(false);
    f.nb->SetColor(clBlue);
    EXPECT_EQ(f.nb->Pages(0)->GetTabColor(), clGreen);
}

TEST(EntNotebook, ANotebookWithoutPagesLoadsAndPaintsItsColour) {
    EnsureGuiApp();
    RegisterEntNotebookClasses();
    TForm form(nullptr);
    ReadComponentFromText(&form,
                          "object frmMain: TForm\n"
                          "  object nbkEmpty: TEntNotebook\n"
                          "    Color = clYellow\n"
                          "  end\n"
                          "end\n");
    auto* nb = dynamic_cast<TEntNotebook*>(form.FindComponent("nbkEmpty"));
    ASSERT_NE(nb, nullptr);
    EXPECT_EQ(nb->GetPageIndex(), -1);
    const QImage image = Render(nb);
    EXPECT_EQ(Count(image, Bounds(0, 0, nb->GetWidth(), nb->GetHeight()), qRgb(255, 255, 0)),
              nb->GetWidth() * nb->GetHeight());
}

// ---------------------------------------------------------------------------
// Painting

TEST(EntNotebook, PaintsTopTabsWithFrameCaptionsAndPageColour) {
    Fixture f(3);
    f.nb->SetBounds(0, 0, 300, 200);
    f.nb->Pages(0)->SetTabColor(clRed);
    f.nb->Pages(0)->SetTextColor(clBlue);
    f.nb->Pages(1)->SetTextColor(clBlue);
    f.nb->Pages(2)->SetEnabled(false);
    f.nb->GetActiveTabFont()->SetColor(clBlue);
    const QImage image = Render(f.nb);
    const int W = 300, H = 200;

    EXPECT_EQ(f.nb->GetColor(), clRed) << "the page area takes the current tab's colour";
    EXPECT_EQ(image.pixel(W - 1, H - 1), qRgb(0, 0, 0)) << "dark outer frame";
    EXPECT_EQ(image.pixel(0, H - 3), Rgb(clBtnHighlight)) << "light left frame";
    EXPECT_EQ(image.pixel(2, H - 2), Rgb(clBtnShadow)) << "inner shadow";
    const TRect current = f.nb->GetTabRect(0);
    EXPECT_EQ(image.pixel(current.Left + 3, current.Bottom), qRgb(255, 0, 0)) << "the current tab opens into the page";
    EXPECT_EQ(image.pixel(current.Left + 3, current.Top + 2), qRgb(255, 0, 0));
    for (int i : {0, 1})
        EXPECT_GT(Count(image, f.nb->GetTabTextRect(i), qRgb(0, 0, 255), kTextTolerance), 5) << "caption of tab " << i;
    // disabled: light text with a dark copy
    const TRect disabled = f.nb->GetTabTextRect(2);
    EXPECT_GT(Count(image, disabled, Rgb(clBtnHighlight), 30), 5);
    EXPECT_GT(Count(image, disabled, Rgb(clBtnShadow), 30), 5);
    EXPECT_EQ(Count(image, disabled, Rgb(clBtnText), 30), 0);
    EXPECT_EQ(Count(image, Bounds(0, 0, W, H), qRgb(255, 0, 255)) - Count(image, f.PageArea(), qRgb(255, 0, 255)), 0)
        << "every pixel outside the page area is painted";
}

TEST(EntNotebook, PaintsTurnedCaptionsOnLeftTabs) {
    Fixture f(2, "Loan");
    f.nb->SetTabOrientation(toLeft);
    f.nb->SetBounds(0, 0, 200, 300);
    for (int i = 0; i < 2; ++i) f.nb->Pages(i)->SetTextColor(clBlue);
    f.nb->GetActiveTabFont()->SetColor(clBlue);
    const QImage image = Render(f.nb);
    const TRect tab = f.nb->GetTabRect(1);
    const QRect ink = InkBox(image, tab, qRgb(0, 0, 255), kTextTolerance);
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_GT(ink.height(), 2 * ink.width()) << "the caption runs down the tab";
    EXPECT_EQ(image.pixel(f.nb->GetWidth() - 1, f.nb->GetHeight() - 1), qRgb(0, 0, 0));
    EXPECT_EQ(Count(image, Bounds(0, 0, 200, 300), qRgb(255, 0, 255)) - Count(image, f.PageArea(), qRgb(255, 0, 255)),
              0);
}

TEST(EntNotebook, OwnerDrawnAndTooLowTabsShowNoCaption) {
    Fixture f(2);
    for (int i = 0; i < 2; ++i) f.nb->Pages(i)->SetTextColor(clBlue);
    f.nb->GetActiveTabFont()->SetColor(clBlue);
    std::vector<std::string> drawn;
    f.nb->OnDrawTab = [&](TObject*, int i, const std::string& title, const TRect&, bool, bool active) {
        drawn.push_back(std::to_string(i) + title + (active ? "*" : ""));
    };
    QImage image = Render(f.nb);
    EXPECT_EQ(Count(image, Bounds(0, 0, f.nb->GetWidth(), f.nb->GetHeight()), qRgb(0, 0, 255), kTextTolerance), 0);
    EXPECT_EQ(drawn, (std::vector<std::string>{"0Page0*", "1Page1", "0Page0*"}));
    EXPECT_EQ(image.pixel(f.nb->GetTabRect(1).Right - 1, f.nb->GetTabRect(1).Top + 5), qRgb(0, 0, 0))
        << "the outline stays";

    f.nb->OnDrawTab = nullptr;
    f.nb->SetTabHeight(10);
    image = Render(f.nb);
    EXPECT_EQ(Count(image, Bounds(0, 0, f.nb->GetWidth(), f.nb->GetHeight()), qRgb(0, 0, 255), kTextTolerance), 0);
}
