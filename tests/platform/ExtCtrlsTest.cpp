// Panels, bevels, images, radio groups and notebooks.

#include "ExtCtrls.h"
#include "Forms.h"
#include "GuiTestApp.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class ExtCtrlsTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        Form = new TForm(nullptr);
        Form->SetClientSize(300, 200);
    }
    void TearDown() override { delete Form; }
    TForm* Form = nullptr;
};

// Paints a self-painting control's Paint onto an image.
template <class T>
struct Painted : T {
    using T::T;
    QImage PaintImage() {
        QImage img(this->GetWidth(), this->GetHeight(), QImage::Format_RGB32);
        img.fill(Qt::magenta);
        QPainter p(&img);
        this->GetCanvas()->SetPainter(&p);
        this->Paint();
        this->GetCanvas()->SetPainter(nullptr);
        p.end();
        return img;
    }
    TRect AlignedArea() {
        TRect r = this->GetClientRect();
        this->AdjustClientRect(r);
        return r;
    }
};

TColor At(const QImage& img, int x, int y) { return QColorToColor(img.pixelColor(x, y)); }

TEST_F(ExtCtrlsTest, PanelBevelsAreDrawnEdgeByEdge) {
    auto* panel = new Painted<TPanel>(Form);
    panel->SetBounds(0, 0, 20, 12);
    panel->SetColor(clRed);
    panel->SetBevelOuter(bvRaised);
    panel->SetBevelInner(bvLowered);
    panel->SetBorderWidth(1);
    QImage img = panel->PaintImage();
    const TColor hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow);
    struct Row {
        int x, y;
        TColor expected;
        const char* what;
    };
    const Row rows[] = {
        {0, 0, hi, "outer top left"},
        {10, 0, hi, "outer top"},
        {0, 5, hi, "outer left"},
        {19, 0, sh, "outer top right belongs to the shadow"},
        {0, 11, sh, "outer bottom left belongs to the shadow"},
        {19, 11, sh, "outer bottom right"},
        {1, 1, clRed, "border"},
        {18, 10, clRed, "border bottom right"},
        {2, 2, sh, "inner lowered top left"},
        {17, 9, hi, "inner lowered bottom right"},
        {3, 3, clRed, "face"},
        {16, 8, clRed, "face bottom right"},
    };
    for (const Row& r : rows) EXPECT_EQ(At(img, r.x, r.y), r.expected) << r.what;

    EXPECT_EQ(panel->AlignedArea(), Rect(3, 3, 17, 9));
}

TEST_F(ExtCtrlsTest, PanelCaptionIsCentred) {
    auto* panel = new Painted<TPanel>(Form);
    panel->SetBounds(0, 0, 120, 30);
    panel->SetBevelOuter(bvNone);
    panel->SetColor(clWhite);
    panel->GetFont()->SetColor(clBlack);
    panel->SetCaption("WWW");
    QImage img = panel->PaintImage();
    int minX = 999, maxX = -1;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if (At(img, x, y) != clWhite) {
                minX = std::min(minX, x);
                maxX = std::max(maxX, x);
            }
    ASSERT_GE(maxX, 0);
    EXPECT_NEAR((minX + maxX) / 2.0, 60, 3);
}

TEST_F(ExtCtrlsTest, ImagePlacesItsPicture) {
    auto* image = new TImage(Form);
    image->SetBounds(0, 0, 100, 60);
    TBitmap bmp;
    bmp.SetSize(20, 10);
    image->GetPicture()->SetGraphic(&bmp);
    EXPECT_EQ(image->DestRect(), Rect(0, 0, 20, 10));
    image->SetCenter(true);
    EXPECT_EQ(image->DestRect(), Rect(40, 25, 60, 35));
    image->SetStretch(true);
    EXPECT_EQ(image->DestRect(), Rect(0, 0, 100, 60));
    image->SetAutoSize(true);
    EXPECT_EQ(image->GetWidth(), 20);
}

// A paint box is what its OnPaint draws, on a canvas holding its colour as the brush.
TEST_F(ExtCtrlsTest, PaintBoxIsPaintedByItsOwner) {
    auto* box = new Painted<TPaintBox>(Form);
    box->SetBounds(0, 0, 20, 10);
    box->SetColor(clYellow);
    EXPECT_EQ(At(box->PaintImage(), 5, 5), TColor(0xFF00FF)) << "nothing drawn without a handler";
    box->OnPaint = [&](TObject* sender) {
        EXPECT_EQ(sender, box);
        TCanvas* c = box->GetCanvas();
        c->FillRect(box->GetClientRect());
        c->GetBrush()->SetColor(clBlue);
        c->FillRect(Rect(0, 0, 5, 5));
    };
    QImage img = box->PaintImage();
    EXPECT_EQ(At(img, 2, 2), clBlue);
    EXPECT_EQ(At(img, 10, 7), clYellow);
}

TEST_F(ExtCtrlsTest, RadioGroupClicksOnlyWhenTheIndexChanges) {
    auto* rg = new TRadioGroup(Form);
    rg->SetParent(Form);
    rg->GetItems()->SetText("a\r\nb\r\nc");
    std::vector<int> clicks;
    rg->OnClick = [&](TObject*) { clicks.push_back(rg->GetItemIndex()); };
    struct Row {
        int set;
        int expectedIndex;
        std::vector<int> expectedClicks;
    };
    const Row rows[] = {
        {1, 1, {1}},       {1, 1, {1}},       // the same index again: no click
        {2, 2, {1, 2}},    {-1, -1, {1, 2}},  // nothing chosen: no click
        {9, 2, {1, 2, 2}},                    // beyond the items: the last one
    };
    for (const Row& r : rows) {
        rg->SetItemIndex(r.set);
        EXPECT_EQ(rg->GetItemIndex(), r.expectedIndex) << "set " << r.set;
        EXPECT_EQ(clicks, r.expectedClicks) << "set " << r.set;
    }
    ASSERT_EQ(rg->ButtonCount(), 3);
    EXPECT_TRUE(rg->Buttons(2)->GetChecked());
    EXPECT_FALSE(rg->Buttons(1)->GetChecked());
    // The person checking a button is a change too.
    rg->Buttons(0)->SetChecked(true);
    EXPECT_EQ(rg->GetItemIndex(), 0);
    EXPECT_EQ(clicks.back(), 0);
    // Fewer items: the index stays within them.
    rg->GetItems()->SetText("only");
    EXPECT_EQ(rg->ButtonCount(), 1);
    EXPECT_EQ(rg->GetItemIndex(), 0);
}

TEST_F(ExtCtrlsTest, NotebookPagesByNameAndIndex) {
    auto* nb = new TNotebook(Form);
    nb->SetParent(Form);
    EXPECT_EQ(nb->GetActivePage(), "Default");
    nb->GetPages()->Clear();
    for (const char* name : {"pgWelcome", "pgMenu", "pgQuickCalculators"}) nb->GetPages()->Add(name);
    int changes = 0;
    nb->OnPageChanged = [&](TObject*) { ++changes; };
    nb->SetActivePage("pgmenu");
    EXPECT_EQ(nb->GetPageIndex(), 1);
    EXPECT_EQ(nb->GetActivePage(), "pgMenu");
    EXPECT_EQ(changes, 1);
    nb->SetActivePage("pgNowhere");
    EXPECT_EQ(nb->GetPageIndex(), 1);
    nb->SetPageIndex(1);
    EXPECT_EQ(changes, 1);
    EXPECT_TRUE(nb->Page(1)->GetVisible());
    EXPECT_FALSE(nb->Page(0)->GetVisible());

    // Renaming through the list renames the page, and the active page follows its name.
    nb->GetPages()->Put(1, "pgMain");
    EXPECT_EQ(nb->GetActivePage(), "pgMain");
    nb->GetPages()->Move(1, 0);
    EXPECT_EQ(nb->GetPageIndex(), 0);
    EXPECT_EQ(nb->GetActivePage(), "pgMain");
}

TEST_F(ExtCtrlsTest, HiddenPageGivesUpItsWindowAndGetsANewOne) {
    auto* nb = new TNotebook(Form);
    nb->SetParent(Form);
    nb->GetPages()->Add("second");
    auto* edit = new TEdit(Form);
    edit->SetParent(nb->Page(1));
    edit->SetText("kept");
    Form->HandleNeeded();
    nb->SetPageIndex(1);
    ASSERT_TRUE(nb->Page(1)->HandleAllocated());
    EXPECT_TRUE(edit->HandleAllocated());
    nb->SetPageIndex(0);
    EXPECT_FALSE(nb->Page(1)->HandleAllocated());
    EXPECT_FALSE(edit->HandleAllocated());
    nb->SetPageIndex(1);
    EXPECT_TRUE(nb->Page(1)->HandleAllocated());
    EXPECT_EQ(edit->GetText(), "kept");
}

TEST_F(ExtCtrlsTest, DeletingTheActivePageShowsANeighbour) {
    auto* nb = new TNotebook(Form);
    nb->GetPages()->Add("b");
    nb->GetPages()->Add("c");
    nb->SetPageIndex(2);
    nb->GetPages()->Delete(2);
    EXPECT_EQ(nb->GetActivePage(), "b");
    delete nb->Page(0);
    EXPECT_EQ(nb->PageCount(), 1);
    EXPECT_EQ(nb->GetActivePage(), "b");
}

}  // namespace

namespace {

TEST_F(ExtCtrlsTest, BevelShapesAndStyles) {
    const TColor hi = ColorToRGB(clBtnHighlight), sh = ColorToRGB(clBtnShadow);
    struct Row {
        TBevelShape shape;
        TBevelStyle style;
        int x, y;
        TColor expected;
        const char* what;
    };
    const Row rows[] = {
        {bsBox, bsLowered, 0, 0, sh, "lowered box top left"},
        {bsBox, bsLowered, 9, 7, hi, "lowered box bottom right"},
        {bsBox, bsRaised, 0, 0, hi, "raised box top left"},
        {bsTopLine, bsLowered, 5, 0, sh, "top line"},
        {bsTopLine, bsLowered, 5, 1, hi, "top line's light"},
        {bsBottomLine, bsLowered, 5, 7, hi, "bottom line's light"},
        {bsRightLine, bsRaised, 8, 4, hi, "right line"},
        {bsFrame, bsLowered, 1, 1, hi, "frame's inner light"},
        {bsFrame, bsLowered, 0, 0, sh, "frame's outer shadow"},
    };
    for (const Row& r : rows) {
        auto* bevel = new Painted<TBevel>(Form);
        bevel->SetBounds(0, 0, 10, 8);
        bevel->SetShape(r.shape);
        bevel->SetStyle(r.style);
        EXPECT_EQ(At(bevel->PaintImage(), r.x, r.y), r.expected) << r.what;
        delete bevel;
    }
}

TEST_F(ExtCtrlsTest, ScrollBoxContentCoversItsChildren) {
    auto* box = new TScrollBox(Form);
    box->SetParent(Form);
    box->SetBounds(0, 0, 100, 80);
    auto* panel = new TPanel(Form);
    panel->SetParent(box);
    panel->SetBounds(150, 20, 50, 100);
    EXPECT_EQ(box->GetClientRect(), Rect(0, 0, 96, 76));
    EXPECT_EQ(box->ContentSize(), (TSize{200, 120}));
    panel->SetVisible(false);
    EXPECT_EQ(box->ContentSize(), (TSize{96, 76}));
}

}  // namespace

namespace {

TEST_F(ExtCtrlsTest, RadioGroupLaysItsButtonsOutInColumns) {
    auto* rg = new TRadioGroup(Form);
    rg->SetParent(Form);
    rg->SetBounds(0, 0, 210, 100);
    rg->GetItems()->SetText("a\r\nb\r\nc\r\nd\r\ne");
    rg->SetColumns(2);
    ASSERT_EQ(rg->ButtonCount(), 5);
    // Three to a column; columns (210 - 10) / 2 wide, starting 8 pixels in.
    EXPECT_EQ(rg->Buttons(0)->GetLeft(), 8);
    EXPECT_EQ(rg->Buttons(2)->GetLeft(), 8);
    EXPECT_EQ(rg->Buttons(3)->GetLeft(), 108);
    EXPECT_EQ(rg->Buttons(3)->GetTop(), rg->Buttons(0)->GetTop());
    EXPECT_EQ(rg->Buttons(0)->GetWidth(), 100);
    EXPECT_GT(rg->Buttons(1)->GetTop(), rg->Buttons(0)->GetTop());
    EXPECT_EQ(rg->Buttons(4)->GetCaption(), "e");
}

}  // namespace
