#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTest>
#include <QWidget>

#include <memory>
#include <string>
#include <vector>

#include "FormReader.h"
#include "Forms.h"
#include "ControlImage.h"
#include "GuiTestApp.h"
#include "Menus.h"
#include "grBtns.h"

namespace {

// Answers pop-up menus in place of the person: records each and picks an item.
class PopupRecorder {
public:
    explicit PopupRecorder(std::function<TMenuItem*(TPopupMenu*)> choose = {}) {
        previous_ = SetPopupHook([this, choose](TPopupMenu* Menu, int X, int Y) -> TMenuItem* {
            shown.push_back(Menu);
            where.push_back(TPoint{X, Y});
            return choose ? choose(Menu) : nullptr;
        });
    }
    ~PopupRecorder() { SetPopupHook(previous_); }
    std::vector<TPopupMenu*> shown;
    std::vector<TPoint> where;

private:
    TPopupHook previous_;
};

void Press(TControl* c, int x, int y) { c->Perform(WM_LBUTTONDOWN, MK_LBUTTON, MakeLParam(x, y)); }
void Move(TControl* c, int x, int y) { c->Perform(WM_MOUSEMOVE, MK_LBUTTON, MakeLParam(x, y)); }
void Release(TControl* c, int x, int y) { c->Perform(WM_LBUTTONUP, 0, MakeLParam(x, y)); }

struct ButtonForm {
    std::unique_ptr<TForm> form;
    TPopupMenu* menu = nullptr;
    TMenuItem* item = nullptr;
    int itemClicks = 0;

    ButtonForm() {
        EnsureGuiApp();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(100, 100, 400, 300);
        menu = new TPopupMenu(form.get());
        item = new TMenuItem(form.get());
        item->SetCaption("Reset");
        item->OnClick = [this](TObject*) { ++itemClicks; };
        menu->Items()->Add(item);
    }
    template <class T>
    T* Add(int left, int top, int width, int height) {
        auto* b = new T(form.get());
        b->SetParent(form.get());
        b->SetBounds(left, top, width, height);
        return b;
    }
};

TEST(GrButtons, MenuTypeDropsItsMenuBelowItselfInsteadOfClicking) {
    ButtonForm f;
    PopupRecorder popups([&](TPopupMenu* m) { return m->Items()->Items(0); });
    auto* graphic = f.Add<TgrGraphicButton>(79, 4, 25, 25);
    auto* windowed = f.Add<TgrButton>(200, 4, 117, 25);
    int clicks = 0;
    for (TControl* c : std::vector<TControl*>{graphic, windowed}) c->OnClick = [&](TObject*) { ++clicks; };
    graphic->SetButtonType(grbMenu);
    graphic->SetPopupMenu(f.menu);
    windowed->SetButtonType(grbMenu);
    windowed->SetPopupMenu(f.menu);

    Press(graphic, 5, 5);
    Release(graphic, 5, 5);
    ASSERT_EQ(popups.shown.size(), 1u);
    EXPECT_EQ(popups.shown[0], f.menu);
    EXPECT_EQ(popups.where[0], graphic->ClientToScreen(TPoint{0, 25}));
    EXPECT_EQ(f.itemClicks, 1);
    EXPECT_EQ(graphic->State(), grsUp);

    // The windowed button's inner button drops the outer button's menu.
    Press(windowed->Button(), 10, 10);
    Release(windowed->Button(), 10, 10);
    ASSERT_EQ(popups.shown.size(), 2u);
    EXPECT_EQ(popups.where[1], windowed->Button()->ClientToScreen(TPoint{0, 25}));
    EXPECT_EQ(f.menu->PopupComponent, windowed);
    EXPECT_EQ(f.itemClicks, 2);
    EXPECT_EQ(clicks, 0);

    // Without a menu the drop-down does nothing.
    graphic->SetPopupMenu(nullptr);
    Press(graphic, 5, 5);
    EXPECT_EQ(popups.shown.size(), 2u);
}

TEST(GrButtons, CommandClickCountsOnlyWhenReleasedInside) {
    ButtonForm f;
    auto* b = f.Add<TgrGraphicButton>(0, 0, 40, 25);
    int clicks = 0;
    b->OnClick = [&](TObject* Sender) {
        EXPECT_EQ(Sender, b);
        ++clicks;
    };
    Press(b, 5, 5);
    EXPECT_EQ(b->State(), grsPressed);
    Move(b, 60, 5);
    EXPECT_EQ(b->State(), grsUp);
    Release(b, 60, 5);
    EXPECT_EQ(clicks, 0);
    Press(b, 5, 5);
    Release(b, 6, 6);
    EXPECT_EQ(clicks, 1);
    b->SetEnabled(false);
    Press(b, 5, 5);
    Release(b, 5, 5);
    EXPECT_EQ(clicks, 1);
}

TEST(GrButtons, WindowedButtonReportsItselfAsSender) {
    ButtonForm f;
    auto* b = f.Add<TgrButton>(0, 0, 249, 28);
    std::vector<std::string> events;
    b->OnClick = [&](TObject* s) { events.push_back(s == b ? "click" : "click from inner"); };
    b->OnMouseEnter = [&](TObject* s) { events.push_back(s == b ? "enter" : "enter from inner"); };
    b->OnMouseLeave = [&](TObject* s) { events.push_back(s == b ? "leave" : "leave from inner"); };
    b->SetCaption("  Quick Calculators");
    EXPECT_EQ(b->Button()->GetCaption(), "  Quick Calculators");
    TgrCustomGraphicButton* inner = b->Button();
    EXPECT_EQ(inner->BoundsRect(), Rect(0, 0, 249, 28));
    inner->Perform(CM_MOUSEENTER, 0, LPARAM(inner));
    EXPECT_TRUE(inner->MouseOver());
    Press(inner, 10, 10);
    Release(inner, 10, 10);
    inner->Perform(CM_MOUSELEAVE, 0, LPARAM(inner));
    // The outer window's own enter and leave (outside the inner hit area) stay silent.
    b->Perform(CM_MOUSEENTER, 0, LPARAM(b));
    b->Perform(CM_MOUSELEAVE, 0, LPARAM(b));
    EXPECT_EQ(events, (std::vector<std::string>{"enter", "click", "leave"}));
    b->SetEnabled(false);
    EXPECT_FALSE(inner->GetEnabled());
}

TEST(GrButtons, BorderlessButtonTakesClicksOnlyOnItsCaption) {
    ButtonForm f;
    auto* b = f.Add<TgrGraphicButton>(0, 0, 249, 28);
    b->SetStyle(bsBorderless);
    b->SetCaption("Go");
    TRect caption = b->CaptionRect();
    ASSERT_FALSE(caption.IsEmpty());
    EXPECT_TRUE(b->InHitArea(TPoint{caption.Left + 1, caption.Top + 1}));
    EXPECT_FALSE(b->InHitArea(TPoint{1, 1}));
    EXPECT_EQ(b->Perform(CM_HITTEST, 0, MakeLParam(1, 1)), 0);
    b->SetFont3D(f3dNone);
    EXPECT_FALSE(b->InHitArea(TPoint{caption.Left + 1, caption.Top + 1}));
}

TEST(GrButtons, TogglesOfOneGroupReleaseEachOther) {
    ButtonForm f;
    auto* a = f.Add<TgrGraphicButton>(0, 0, 25, 25);
    auto* b = f.Add<TgrGraphicButton>(30, 0, 25, 25);
    for (auto* t : {a, b}) t->SetButtonType(grbToggle);
    int changes = 0;
    a->OnChange = [&](TObject*) { ++changes; };
    Press(a, 5, 5);
    Release(a, 5, 5);
    EXPECT_TRUE(a->GetValue());
    // Clicking it again cannot release it without GroupAllowNoSel.
    Press(a, 5, 5);
    Release(a, 5, 5);
    EXPECT_TRUE(a->GetValue());
    Press(b, 5, 5);
    Release(b, 5, 5);
    EXPECT_TRUE(b->GetValue());
    EXPECT_FALSE(a->GetValue());
    EXPECT_EQ(changes, 2);
    // A command button has no down state.
    a->SetButtonType(grbCommand);
    a->SetValue(true);
    EXPECT_FALSE(a->GetValue());
}

TEST(GrButtons, AcceleratorAndDialogKeysActByButtonType) {
    ButtonForm f;
    PopupRecorder popups;
    f.form->Show();
    auto* ok = f.Add<TgrButton>(0, 0, 75, 25);
    auto* menu = f.Add<TgrButton>(80, 0, 75, 25);
    ok->SetCaption(" &OK");
    menu->SetCaption("&Reset");
    menu->SetButtonType(grbMenu);
    menu->SetPopupMenu(f.menu);
    int clicks = 0;
    ok->OnClick = [&](TObject*) { ++clicks; };
    menu->OnClick = [&](TObject*) { ++clicks; };
    EXPECT_EQ(ok->Perform(CM_DIALOGCHAR, 'o', 0), 1);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(menu->Perform(CM_DIALOGCHAR, 'r', 0), 1);
    EXPECT_EQ(popups.shown.size(), 1u);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(ok->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 0);
    ok->Cancel = true;
    EXPECT_EQ(ok->Perform(CM_DIALOGKEY, VK_ESCAPE, 0), 1);
    EXPECT_EQ(clicks, 2);
}

// A window's only buttons may be graphic ones (the disclaimer's and the update window's
// OK): their accelerators must answer a key typed on the window.
TEST(GrButtons, GraphicButtonAnswersItsAcceleratorTypedOnTheWindow) {
    ButtonForm f;
    f.form->Show();
    auto* ok = f.Add<TgrGraphicButton>(0, 0, 75, 25);
    auto* hidden = f.Add<TgrGraphicButton>(80, 0, 75, 25);
    auto* toggle = f.Add<TgrGraphicButton>(160, 0, 75, 25);
    ok->SetCaption(" &OK");
    hidden->SetCaption("&Retrieve");
    hidden->SetVisible(false);
    toggle->SetCaption("&Tape");
    toggle->SetButtonType(grbToggle);
    std::vector<std::string> clicked;
    for (auto* b : {ok, hidden, toggle}) b->OnClick = [&, b](TObject*) { clicked.push_back(b->GetCaption()); };

    QTest::keyClick(f.form->Widget(), Qt::Key_O, Qt::AltModifier);
    QTest::keyClick(f.form->Widget(), Qt::Key_R, Qt::AltModifier);
    ok->SetEnabled(false);
    QTest::keyClick(f.form->Widget(), Qt::Key_O, Qt::AltModifier);
    QTest::keyClick(f.form->Widget(), Qt::Key_T, Qt::AltModifier);
    EXPECT_EQ(clicked, (std::vector<std::string>{" &OK", "&Tape"}));
    EXPECT_TRUE(toggle->GetValue());
}

TEST(GrButtons, KindAndBorderColoursFollowTheirSettings) {
    ButtonForm f;
    auto* b = f.Add<TgrButton>(0, 0, 75, 25);
    b->SetKind(bkYes);
    EXPECT_TRUE(b->GetDefault());
    EXPECT_EQ(b->GetCaption(), "&Yes");
    EXPECT_EQ(b->ModalResult, 6);
    EXPECT_EQ(b->GetKind(), bkYes);
    b->SetCaption("Sure");
    EXPECT_EQ(b->GetKind(), bkCustom);

    b->SetBtnShadowColor(clRed);
    EXPECT_EQ(b->GetBorderColors(), grbCustomColor);
    b->SetBorderColors(grbWinColor);
    EXPECT_EQ(b->GetBtnShadowColor(), clBtnShadow);
}

TEST(GrButtons, WindowDefinitionSetsTheButtonSettings) {
    EnsureGuiApp();
    RegisterGrBtnsClasses();
    TForm form(nullptr);
    int enters = 0;
    THandlerTable handlers;
    handlers["MenuButtonEnter"] = TNotifyEvent([&](TObject*) { ++enters; });
    ReadComponentFromText(&form,
                          "object frmMain: TForm\n"
                          "  object mnuPopCalcs: TPopupMenu\n"
                          "  end\n"
                          "  object btnCalculators: TgrButton\n"
                          "    Left = 459\n"
                          "    Width = 117\n"
                          "    Caption = 'Calculator Menu'\n"
                          "    Font.Color = clNavy\n"
                          "    ButtonType = grbMenu\n"
                          "    PopupMenu = mnuPopCalcs\n"
                          "    Style = bsBorderless\n"
                          "    Background.Style = grbClear\n"
                          "    Background.DitherDown = False\n"
                          "    Font3D = fsRaised\n"
                          "    TransparentColor = clWhite\n"
                          "    TabStop = False\n"
                          "    OnMouseEnter = MenuButtonEnter\n"
                          "  end\n"
                          "end\n",
                          handlers);
    auto* b = dynamic_cast<TgrButton*>(form.FindComponent("btnCalculators"));
    ASSERT_NE(b, nullptr);
    EXPECT_EQ(b->GetButtonType(), grbMenu);
    EXPECT_EQ(b->GetStyle(), bsBorderless);
    EXPECT_EQ(b->GetBackground()->GetStyle(), grbClear);
    EXPECT_FALSE(b->GetBackground()->GetDitherDown());
    EXPECT_EQ(b->GetFont3D(), f3dRaised);
    EXPECT_EQ(b->Button()->GetFont()->GetColor(), clNavy);
    EXPECT_EQ(b->GetPopupMenu(), form.FindComponent("mnuPopCalcs"));
    b->Button()->Perform(CM_MOUSEENTER, 0, 0);
    EXPECT_EQ(enters, 1);
}

QImage Render(TGraphicControl* c) { return RenderGraphicControl(c); }

TColor Pixel(const QImage& image, int x, int y) {
    QRgb p = image.pixel(x, y);
    return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
}

TEST(GrButtons, BackgroundStylesPaintTheFace) {
    ButtonForm f;
    auto* b = f.Add<TgrGraphicButton>(0, 0, 60, 25);
    b->SetStyle(bsWin95);
    b->SetColor(clRed);
    EXPECT_EQ(Pixel(Render(b), 30, 12), RGB(255, 0, 0));
    // A clear button leaves what lies beneath.
    b->GetBackground()->SetStyle(grbClear);
    EXPECT_EQ(Pixel(Render(b), 30, 3), RGB(255, 0, 255));
    b->GetBackground()->SetStyle(grbGradient);
    b->SetColor(clBlack);
    QImage g = Render(b);
    EXPECT_GT(GetRValue(Pixel(g, 3, 12)), GetRValue(Pixel(g, 56, 12)));
    // Pressed, disabled and menu looks paint as well.
    b->SetButtonType(grbCombo);
    b->SetCaption("Reset");
    b->SetEnabled(false);
    EXPECT_EQ(Render(b).width(), 60);
}

TEST(GrButtons, ClearWindowedButtonShowsItsParentThrough) {
    ButtonForm f;
    f.form->SetColor(clYellow);
    auto* clear = f.Add<TgrButton>(10, 10, 100, 28);
    auto* solid = f.Add<TgrButton>(10, 50, 100, 28);
    clear->GetBackground()->SetStyle(grbClear);
    solid->SetColor(clRed);
    f.form->HandleNeeded();
    QImage image = f.form->ClientWidget()->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(60, 24)), QColor(Qt::yellow));
    EXPECT_EQ(QColor(image.pixel(60, 64)), QColor(Qt::red));
    // Switching back after the window exists fills it again.
    clear->GetBackground()->SetStyle(grbSolid);
    clear->SetColor(clRed);
    image = f.form->ClientWidget()->grab().toImage();
    EXPECT_EQ(QColor(image.pixel(60, 24)), QColor(Qt::red));
}

// A 16 x 16 glyph: a black square from 4 to 11 on the grey that is its transparent colour.
void DrawSquareGlyph(TPicture* picture, TColor ink) {
    TBitmap* glyph = picture->GetBitmap();
    glyph->SetSize(16, 16);
    TCanvas* c = glyph->GetCanvas();
    c->GetBrush()->SetColor(TColor(0xC0C0C0));
    c->FillRect(TRect{0, 0, 16, 16});
    c->GetBrush()->SetColor(ink);
    c->FillRect(TRect{4, 4, 12, 12});
}

TEST(GrButtons, DisabledPictureIsEmbossedUnlessTheButtonHasItsOwn) {
    ButtonForm f;
    auto* b = f.Add<TgrGraphicButton>(0, 0, 25, 25);
    b->SetStyle(bsWin97);
    DrawSquareGlyph(b->GetPictureUp(), clBlack);
    const TRect pr = b->PictureRect();
    const int left = pr.Left + 4, top = pr.Top + 4, right = pr.Left + 11, bottom = pr.Top + 11;
    const TColor face = ColorToRGB(clBtnFace);

    const QImage enabled = Render(b);
    EXPECT_EQ(Pixel(enabled, left + 3, top + 3), RGB(0, 0, 0));
    b->SetEnabled(false);
    const QImage disabled = Render(b);
    EXPECT_NE(enabled, disabled);
    // Face over the mask, light one pixel below right, shadow one pixel above left.
    EXPECT_EQ(Pixel(disabled, left + 3, top + 3), face);
    EXPECT_EQ(Pixel(disabled, right + 1, bottom + 1), ColorToRGB(clBtnHighlight));
    EXPECT_EQ(Pixel(disabled, left - 1, top - 1), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Pixel(disabled, left - 3, top - 3), face);  // the transparent grey stays unpainted

    // A picture of its own for the disabled state is drawn as it is.
    DrawSquareGlyph(b->GetPictureDisabled(), clRed);
    EXPECT_EQ(Pixel(Render(b), left + 3, top + 3), RGB(255, 0, 0));
    // So is the plain picture when picture effects are off.
    b->GetPictureDisabled()->SetGraphic(nullptr);
    b->SetOptions({grbNoPicEffects});
    EXPECT_EQ(Pixel(Render(b), left + 3, top + 3), RGB(0, 0, 0));
}

TEST(GrButtons, EdgesFollowTheStyleAndTheState) {
    enum Look { Up, Hot, Pressed, DefaultUp, DefaultPressed };
    const TColor Hl = ColorToRGB(clBtnHighlight), Lt = ColorToRGB(cl3DLight), Sh = ColorToRGB(clBtnShadow),
                 Dk = ColorToRGB(cl3DDkShadow), F = ColorToRGB(clBtnFace);
    struct Row {
        TgrBtnStyle style;
        Look look;
        TColor outerTopLeft, outerBottomRight, innerTopLeft, innerBottomRight;
    };
    const Row rows[] = {
        {bsWin95, Up, Hl, Dk, Lt, Sh},         {bsWin95, Pressed, Dk, Hl, Sh, Lt},
        {bsWin95, DefaultUp, Dk, Dk, Hl, Dk},  {bsWin95, DefaultPressed, Dk, Dk, Sh, Sh},
        {bsDelphi, Up, Sh, Dk, Hl, Sh},        {bsDelphi, Pressed, Sh, Hl, Dk, Sh},
        {bsDelphi, DefaultUp, Sh, Dk, Hl, Dk}, {bsSpeed, Up, Hl, Dk, Lt, Sh},
        {bsSpeed, Pressed, Dk, Hl, Sh, Lt},    {bsInset, Up, Sh, Hl, Dk, Dk},
        {bsInset, Pressed, Sh, Hl, Dk, Dk},    {bsWin31, Up, Dk, Dk, Hl, Sh},
        {bsWin31, Pressed, Dk, Dk, Sh, F},     {bsWin97, Up, F, F, F, F},
        {bsWin97, Hot, Hl, Sh, F, F},          {bsWin97, DefaultUp, Dk, Dk, Hl, Sh},
        {bsWin97, Pressed, Sh, Hl, F, F},      {bsBorderless, Pressed, F, F, F, F},
    };
    for (const Row& r : rows) {
        ButtonForm f;
        auto* outer = f.Add<TgrButton>(0, 0, 40, 20);
        TgrCustomGraphicButton* b = outer->Button();
        b->SetStyle(r.style);
        b->SetColor(clBtnFace);
        b->SetOptions({});
        if (r.look == DefaultUp || r.look == DefaultPressed) outer->SetDefault(true);
        if (r.look == Hot) b->Perform(CM_MOUSEENTER, 0, 0);
        if (r.look == Pressed || r.look == DefaultPressed) Press(b, 20, 10);
        const QImage image = RenderGraphicControl(b);
        const int y = 10;
        const std::string what = std::to_string(int(r.style)) + "/" + std::to_string(int(r.look));
        // The hot face is lightened: compare edges only where the row expects an edge.
        auto edge = [&](int x, TColor want) {
            if (want == F && r.look == Hot) return;
            EXPECT_EQ(Pixel(image, x, y), want) << what << " x " << x;
        };
        edge(0, r.outerTopLeft);
        edge(39, r.outerBottomRight);
        edge(1, r.innerTopLeft);
        edge(38, r.innerBottomRight);
    }
}

TEST(GrButtons, GradientRunsFromTheFarColourTowardsTheNearOne) {
    EXPECT_EQ(GradientColor(clBlack, clWhite, 128, 0), RGB(255, 255, 255));
    // Entry i is Far - trunc((Far - Near) / N * i): half way is 255 - 127.5 -> 128.
    EXPECT_EQ(GradientColor(clBlack, clWhite, 128, 64), RGB(128, 128, 128));
    EXPECT_NE(GradientColor(clBlack, clWhite, 128, 127), RGB(0, 0, 0));
}

TEST(GrButtons, EnabledPictureCastsItsShadowOrSinksByStyle) {
    // One row through the glyph from 3 to 15 pixels into the picture:
    // F face, B the glyph, S its shadow.
    struct Row {
        TgrBtnStyle style;
        bool pressed;
        bool hot;
        bool shadowIsFace;
        const char* row;
    } const rows[] = {
        {bsWin95, false, false, false, "FBBBBBBBBSSFF"},
        {bsWin95, true, false, false, "FBBBBBBBBSSSS"},       // the shadow moves, the picture stays
        {bsBorderless, false, true, false, "BBBBBBBBSSSFF"},  // the picture rises off its shadow
        {bsBorderless, true, false, false, "FFFBBBBBBBBFF"},  // and sinks onto it
        {bsWin95, true, false, true, "FFFBBBBBBBBFF"},        // no shadow: the picture itself sinks
    };
    const TColor Sh = ColorToRGB(clBtnShadow);
    for (const Row& r : rows) {
        ButtonForm f;
        auto* b = f.Add<TgrGraphicButton>(0, 0, 25, 25);
        b->SetStyle(r.style);
        b->SetColor(clBtnFace);
        b->SetOptions({});
        if (r.shadowIsFace) b->SetShadowColor(clBtnFace);
        DrawSquareGlyph(b->GetPictureUp(), clBlack);
        if (r.hot) b->Perform(CM_MOUSEENTER, 0, 0);
        if (r.pressed) Press(b, 12, 12);
        const TRect pr = b->PictureRect();
        const QImage image = Render(b);
        const TColor F = Pixel(image, pr.Left + 1, pr.Top + 1);  // lightened while hot
        std::string got;
        for (int k = 3; k <= 15; ++k) {
            const TColor px = Pixel(image, pr.Left + k, pr.Top + 8);
            got += px == F ? 'F' : px == RGB(0, 0, 0) ? 'B' : px == Sh ? 'S' : '?';
        }
        EXPECT_EQ(got, r.row) << int(r.style) << (r.pressed ? " pressed" : "");
    }
}

TEST(GrButtons, GrayedPictureTurnsGreyWithoutShadowUntilTheMouseComes) {
    ButtonForm f;
    auto* b = f.Add<TgrGraphicButton>(0, 0, 25, 25);
    b->SetStyle(bsWin95);
    b->SetOptions({});
    b->SetGrayed(true);
    DrawSquareGlyph(b->GetPictureUp(), RGB(240, 30, 0));
    const TRect pr = b->PictureRect();
    QImage image = Render(b);
    EXPECT_EQ(Pixel(image, pr.Left + 8, pr.Top + 8), RGB(90, 90, 90));
    EXPECT_EQ(Pixel(image, pr.Left + 13, pr.Top + 8), ColorToRGB(clBtnFace));
    EXPECT_EQ(Pixel(image, pr.Left + 2, pr.Top + 2), ColorToRGB(clBtnFace));  // transparent stays so
    b->Perform(CM_MOUSEENTER, 0, 0);
    image = Render(b);
    EXPECT_EQ(Pixel(image, pr.Left + 8, pr.Top + 8), RGB(240, 30, 0));
    EXPECT_EQ(Pixel(image, pr.Left + 13, pr.Top + 8), ColorToRGB(clBtnShadow));
}

// The box around every pixel darker than mid grey.
TRect InkBox(const QImage& image) {
    TRect box{image.width(), image.height(), -1, -1};
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (qGray(image.pixel(x, y)) < 100) {
                box.Left = std::min(box.Left, x);
                box.Top = std::min(box.Top, y);
                box.Right = std::max(box.Right, x + 1);
                box.Bottom = std::max(box.Bottom, y + 1);
            }
    return box;
}

TEST(GrButtons, CaptionBreaksAtBarsAndTurnsByItsAngle) {
    ButtonForm f;
    auto* b = f.Add<TgrGraphicButton>(0, 0, 120, 120);
    b->SetStyle(bsBorderless);
    b->SetColor(clWhite);
    b->SetTextX(0);
    b->SetTextY(0);
    b->SetCaption("Upper||Lower");
    const TRect one = b->CaptionRect();
    const TRect oneInk = InkBox(Render(b));
    b->SetMultiLine(true);
    const TRect two = b->CaptionRect();
    const TRect twoInk = InkBox(Render(b));
    // The bars are measured as text on one line and become a break on two.
    EXPECT_LT(two.Width(), one.Width());
    EXPECT_GT(two.Height(), one.Height() * 3 / 2);
    EXPECT_GT(twoInk.Height(), oneInk.Height() * 3 / 2);
    EXPECT_LT(twoInk.Width(), oneInk.Width());

    b->SetMultiLine(false);
    b->SetCaption("Turned caption");
    const TRect flatInk = InkBox(Render(b));
    b->SetTextAngle(90);
    const TRect turned = b->CaptionRect();
    EXPECT_EQ(turned.Height() - 2, turned.Width() - 4);
    const TRect turnedInk = InkBox(Render(b));
    EXPECT_GT(turnedInk.Height(), turnedInk.Width() * 2);
    EXPECT_NEAR(turnedInk.Height(), flatInk.Width(), 3);
    // Centred on the caption rectangle whichever way it runs.
    EXPECT_NEAR((turnedInk.Top + turnedInk.Bottom) / 2, (turned.Top + turned.Bottom) / 2, 3);
}

TEST(GrButtons, DisabledCaptionIsGreyAndInsetWhateverItsStyle) {
    ButtonForm f;
    auto* b = f.Add<TgrGraphicButton>(0, 0, 80, 25);
    b->SetStyle(bsBorderless);
    b->SetFont3D(f3dRaised);
    b->SetCaption("Reset");
    b->SetEnabled(false);
    const QImage image = Render(b);
    bool grey = false;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const TColor px = Pixel(image, x, y);
            grey = grey || px == RGB(0x80, 0x80, 0x80);
            // The highlight pass lies one pixel below right of the text.
            if (px == RGB(0x80, 0x80, 0x80) && x + 1 < image.width() && y + 1 < image.height() &&
                Pixel(image, x + 1, y + 1) != RGB(0x80, 0x80, 0x80)) {
                EXPECT_NE(Pixel(image, x + 1, y + 1), RGB(0, 0, 0));
            }
        }
    EXPECT_TRUE(grey);
}

TEST(GrButtons, CachedAppearancesMatchFreshPaintingThroughStateAndSizeChanges) {
    // Twins take the same steps; only the first keeps its appearances.
    ButtonForm f;
    TgrButton* outer[2];
    TgrCustomGraphicButton* b[2];
    for (int i = 0; i < 2; ++i) {
        outer[i] = f.Add<TgrButton>(0, 40 * i, 60, 25);
        b[i] = outer[i]->Button();
        b[i]->SetStyle(bsWin97);
        b[i]->SetButtonType(grbToggle);
        b[i]->SetGroup(i + 1);  // apart, so one's toggle leaves the other alone
        b[i]->SetCaption("Keep");
        b[i]->SetFocusStyle({fsDefault, fsText});
        b[i]->SetOptions(i == 0 ? TgrbOptions{grbCacheImages} : TgrbOptions{});
        DrawSquareGlyph(b[i]->GetPictureUp(), clBlack);
    }
    auto step = [&](const char* what, const std::function<void(int)>& act) {
        for (int i = 0; i < 2; ++i) act(i);
        const QImage fresh = RenderGraphicControl(b[1]);
        for (const char* pass : {"drawn", "copied"}) {
            const QImage cached = RenderGraphicControl(b[0]);
            ASSERT_EQ(cached.size(), fresh.size()) << what;
            int differ = 0;
            for (int y = 0; y < fresh.height(); ++y)
                for (int x = 0; x < fresh.width(); ++x) differ += Pixel(cached, x, y) != Pixel(fresh, x, y);
            EXPECT_EQ(differ, 0) << what << ", " << pass;
        }
    };
    step("up", [](int) {});
    step("hot", [&](int i) { b[i]->Perform(CM_MOUSEENTER, 0, 0); });
    step("pressed", [&](int i) { Press(b[i], 30, 12); });
    step("pressed and focused", [&](int i) { outer[i]->Perform(WM_SETFOCUS, 0, 0); });
    step("toggled down", [&](int i) { Release(b[i], 30, 12); });
    step("unfocused", [&](int i) { outer[i]->Perform(WM_KILLFOCUS, 0, 0); });
    step("new caption", [&](int i) { b[i]->SetCaption("Changed"); });
    step("new font colour", [&](int i) { b[i]->GetFont()->SetColor(clRed); });
    step("resized", [&](int i) { outer[i]->SetBounds(0, 40 * i, 90, 33); });
    step("disabled", [&](int i) { b[i]->SetEnabled(false); });
}

TEST(GrButtons, GradientBandsAndPatternTilesCoverTheWholeFace) {
    ButtonForm f;
    auto* b = f.Add<TgrGraphicButton>(0, 0, 100, 20);
    b->SetStyle(bsBorderless);
    b->SetColor(clBlack);
    b->GetBackground()->SetStyle(grbGradient);
    // 128 steps over 100 pixels: bands start at trunc(i * 0.78125), so band 1
    // covers band 0 and the last entry reaches the right edge, with no seam.
    QImage image = Render(b);
    EXPECT_EQ(Pixel(image, 0, 10), GradientColor(clBlack, clWhite, 128, 1));
    EXPECT_EQ(Pixel(image, 99, 10), GradientColor(clBlack, clWhite, 128, 127));
    for (int x = 1; x < 100; ++x) EXPECT_LE(GetRValue(Pixel(image, x, 10)), GetRValue(Pixel(image, x - 1, 10))) << x;
    b->GetBackground()->SetStyle(grbVertGradient);
    image = Render(b);
    EXPECT_EQ(Pixel(image, 50, 0), GradientColor(clBlack, clWhite, 128, 6));  // 20 / 128 per step
    EXPECT_EQ(Pixel(image, 50, 19), GradientColor(clBlack, clWhite, 128, 127));

    // An 8 x 8 tile with one red corner repeats from the top-left corner.
    TBitmap* tile = b->GetBackground()->GetPicture()->GetBitmap();
    tile->SetSize(8, 8);
    tile->GetCanvas()->GetBrush()->SetColor(clBlue);
    tile->GetCanvas()->FillRect(TRect{0, 0, 8, 8});
    tile->GetCanvas()->SetPixel(0, 0, clRed);
    b->GetBackground()->SetStyle(grbPicturePattern);
    image = Render(b);
    for (int x : {0, 8, 96})
        for (int y : {0, 8, 16}) EXPECT_EQ(Pixel(image, x, y), RGB(255, 0, 0)) << x << "," << y;
    EXPECT_EQ(Pixel(image, 99, 19), RGB(0, 0, 255));
}

TEST(GrButtons, ToggledDownFaceIsDitheredAndInsetMarginsTakeTheParentColour) {
    ButtonForm f;
    f.form->SetColor(clYellow);
    auto* outer = f.Add<TgrButton>(0, 0, 60, 25);
    TgrCustomGraphicButton* b = outer->Button();
    b->SetStyle(bsBorderless);
    b->SetButtonType(grbToggle);
    b->SetColor(clBlue);
    b->SetValue(true);
    QImage image = Render(b);
    EXPECT_EQ(Pixel(image, 10, 10), RGB(255, 255, 255));
    EXPECT_EQ(Pixel(image, 11, 10), RGB(0, 0, 255));
    EXPECT_EQ(Pixel(image, 11, 11), RGB(255, 255, 255));
    b->GetBackground()->SetDitherDown(false);
    EXPECT_EQ(Pixel(Render(b), 10, 10), RGB(0, 0, 255));

    b->GetBorderInset()->SetLeft(3);
    b->GetBorderInset()->SetBottom(2);
    image = Render(b);
    EXPECT_EQ(Pixel(image, 2, 10), RGB(255, 255, 0));
    EXPECT_EQ(Pixel(image, 30, 23), RGB(255, 255, 0));
    EXPECT_EQ(Pixel(image, 3, 10), RGB(0, 0, 255));
}

TEST(GrButtons, AutomaticBorderColoursAreLighterAndDarkerShadesOfTheFace) {
    // Grey 128 is luminance 120: +4 moves it half way to white, -8 by eight eighths to black.
    EXPECT_EQ(ShadeLuminance(RGB(128, 128, 128), 4), RGB(191, 191, 191));
    EXPECT_EQ(ShadeLuminance(RGB(128, 128, 128), -8), RGB(0, 0, 0));
    EXPECT_EQ(ShadeLuminance(RGB(128, 128, 128), 0), RGB(128, 128, 128));
    EXPECT_EQ(ShadeLuminance(clWhite, 20), RGB(255, 255, 255));  // luminance stops at the top

    ButtonForm f;
    auto* b = f.Add<TgrGraphicButton>(0, 0, 40, 20);
    b->SetColor(RGB(200, 0, 0));
    b->SetBorderColors(grbAutoColor);
    auto sum = [](TColor c) { return GetRValue(c) + GetGValue(c) + GetBValue(c); };
    const TColor face = RGB(200, 0, 0);
    EXPECT_GT(sum(b->GetBtnHighlightColor()), sum(b->GetBtnLightColor()));
    EXPECT_GT(sum(b->GetBtnLightColor()), sum(face));
    EXPECT_LT(sum(b->GetBtnShadowColor()), sum(face));
    EXPECT_LT(sum(b->GetBtnDkShadowColor()), sum(b->GetBtnShadowColor()));
    for (TColor c : {b->GetBtnHighlightColor(), b->GetBtnDkShadowColor()})  // still reds
        EXPECT_GT(GetRValue(c), std::max(GetGValue(c), GetBValue(c)));
    // A new face colour brings new edges.
    b->SetColor(RGB(0, 0, 200));
    EXPECT_GT(GetBValue(b->GetBtnShadowColor()), GetRValue(b->GetBtnShadowColor()));
}

TEST(GrButtons, ShadeColoursShadeThePixelsBeneath) {
    ButtonForm f;
    auto* b = f.Add<TgrGraphicButton>(0, 0, 40, 20);
    b->SetStyle(bsWin95);
    b->SetColor(RGB(200, 0, 0));
    b->SetBorderColors(grbAutoShade);
    const QImage image = Render(b);
    const TColor face = RGB(200, 0, 0);
    // Highlight +6 on the outer top-left, dark shadow -6 on the outer bottom-right.
    EXPECT_EQ(Pixel(image, 0, 10), ShadeLuminance(face, 6));
    EXPECT_EQ(Pixel(image, 39, 10), ShadeLuminance(face, -6));
    EXPECT_EQ(Pixel(image, 1, 10), ShadeLuminance(face, 4));
    EXPECT_EQ(Pixel(image, 38, 10), ShadeLuminance(face, -4));
    EXPECT_EQ(Pixel(image, 20, 10), face);

    // A clear button in a shade colour tints what lies beneath: magenta here.
    b->GetBackground()->SetStyle(grbClear);
    b->SetBorderColors(grbWinColor);
    b->SetStyle(bsBorderless);
    b->SetColor(TColor(0x300000F8));  // -8
    EXPECT_EQ(Pixel(Render(b), 20, 10), ShadeLuminance(RGB(255, 0, 255), -8));
}

TEST(GrButtons, FocusOutlineLiesInsideTheEdgesByStyle) {
    const struct {
        TgrBtnStyle style;
        int inset;
    } rows[] = {{bsWin95, 4}, {bsDelphi, 3}, {bsBorderless, 0}};
    for (const auto& row : rows) {
        ButtonForm f;
        auto* outer = f.Add<TgrButton>(0, 0, 60, 25);
        TgrCustomGraphicButton* b = outer->Button();
        b->SetStyle(row.style);
        b->SetFocusStyle({fsOutline});
        const QImage before = RenderGraphicControl(b);
        outer->Perform(WM_SETFOCUS, 0, 0);
        const QImage after = RenderGraphicControl(b);
        const TRect frame{row.inset, row.inset, 60 - row.inset, 25 - row.inset};
        int onFrame = 0, elsewhere = 0;
        for (int y = 0; y < 25; ++y)
            for (int x = 0; x < 60; ++x) {
                if (Pixel(before, x, y) == Pixel(after, x, y)) continue;
                const bool edge =
                    (x == frame.Left || x == frame.Right - 1 || y == frame.Top || y == frame.Bottom - 1) &&
                    x >= frame.Left && x < frame.Right && y >= frame.Top && y < frame.Bottom;
                ++(edge ? onFrame : elsewhere);
            }
        EXPECT_GT(onFrame, 40) << int(row.style);
        EXPECT_EQ(elsewhere, 0) << int(row.style);
    }
}

}  // namespace
