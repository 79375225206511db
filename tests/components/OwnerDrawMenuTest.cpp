#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <memory>

#include "Forms.h"
#include "GuiTestApp.h"
#include "Menus.h"
#include "OwnerDrawMenu.h"

namespace {

struct MenuForm {
    std::unique_ptr<TForm> form;
    TMainMenu* main = nullptr;
    TPopupMenu* popup = nullptr;
    TMenuItem* file = nullptr;
    TMenuItem* open = nullptr;
    TMenuItem* line = nullptr;
    TMenuItem* own = nullptr;
    TMenuItem* plain = nullptr;
    TMenuItem* reset = nullptr;
    TOwnerDrawMenu* odm = nullptr;

    MenuForm() {
        EnsureGuiApp();
        form = std::make_unique<TForm>(nullptr);
        main = new TMainMenu(form.get());
        popup = new TPopupMenu(form.get());
        auto item = [&](TMenuItem* parent, const char* caption) {
            auto* i = new TMenuItem(form.get());
            i->SetCaption(caption);
            parent->Add(i);
            return i;
        };
        file = item(main->Items(), "&File");
        open = item(file, "&Open");
        line = item(file, "-");
        own = item(file, "Own");
        plain = item(file, "Plain");
        plain->Tag = 999;
        reset = item(popup->Items(), "&Reset THIS Calculator to Zero Values");
        odm = new TOwnerDrawMenu(form.get());
    }
};

TEST(OwnerDrawMenu, ActivatingHooksEveryItemButThoseMarked999AndKeepsTheApplicationsHandlers) {
    MenuForm m;
    int ownDraws = 0;
    m.own->OnDrawItem = [&](TObject*, TCanvas*, TRect, bool) { ++ownDraws; };
    m.odm->SetActive(true);
    EXPECT_TRUE(m.main->GetOwnerDraw());
    EXPECT_TRUE(m.popup->GetOwnerDraw());
    for (TMenuItem* i : {m.file, m.open, m.line, m.reset}) EXPECT_TRUE(m.odm->IsHooked(i)) << i->GetCaption();
    EXPECT_FALSE(m.odm->IsHooked(m.plain));
    EXPECT_FALSE(m.odm->IsHooked(m.own));
    EXPECT_TRUE(bool(m.own->OnMeasureItem));

    m.odm->SetActive(false);
    EXPECT_FALSE(m.main->GetOwnerDraw());
    EXPECT_FALSE(bool(m.open->OnDrawItem));
    EXPECT_FALSE(bool(m.own->OnMeasureItem));
    ASSERT_TRUE(bool(m.own->OnDrawItem));
    m.own->OnDrawItem(m.own, nullptr, TRect(), false);
    EXPECT_EQ(ownDraws, 1);

    // With OverrideOwnerDraw the application's handler gives way.
    m.odm->SetOverrideOwnerDraw(true);
    m.odm->SetActive(true);
    EXPECT_TRUE(m.odm->IsHooked(m.own));
}

TEST(OwnerDrawMenu, MenusMarked999AreTreatedByKind) {
    MenuForm m;
    m.main->Tag = 999;
    m.popup->Tag = 999;
    m.odm->SetActive(true);
    EXPECT_FALSE(m.main->GetOwnerDraw());
    EXPECT_FALSE(m.odm->IsHooked(m.open));
    EXPECT_TRUE(m.popup->GetOwnerDraw());
    EXPECT_TRUE(m.odm->IsHooked(m.reset));
}

TEST(OwnerDrawMenu, MeasuresTextPlusIconStripAndSeparatorsAsThinLines) {
    MenuForm m;
    m.odm->SetActive(true);
    TCanvas canvas;
    canvas.SetFont(m.odm->GetFont());
    int w = 0, h = 0;
    m.reset->OnMeasureItem(m.reset, &canvas, w, h);
    const std::string caption = m.reset->GetCaption();
    EXPECT_EQ(w, canvas.TextWidth(caption) + 5 - canvas.TextWidth("&") + 24);
    const int th = canvas.TextHeight(caption);
    EXPECT_EQ(h, th + static_cast<int>(std::lround(th * 0.75)));

    int sw = 0, sh = 0;
    m.line->OnMeasureItem(m.line, &canvas, sw, sh);
    EXPECT_EQ(sh, 4);
    // Measuring never shrinks what another item asked for.
    int big = 500, tall = 40;
    m.open->OnMeasureItem(m.open, &canvas, big, tall);
    EXPECT_EQ(big, 500);
    EXPECT_EQ(tall, 40);
}

TEST(OwnerDrawMenu, DrawsTheSelectionBoxAndTheIconStrip) {
    MenuForm m;
    m.odm->UseSystemColors = false;
    m.odm->Color = clWhite;
    m.odm->IconBackColor = clSilver;
    m.odm->SelectColor = clYellow;
    m.odm->SetActive(true);
    QImage image(200, 22, QImage::Format_RGB32);
    image.fill(Qt::black);
    QPainter painter(&image);
    TCanvas canvas(&painter);
    m.reset->OnDrawItem(m.reset, &canvas, TRect{0, 0, 200, 21}, false);
    painter.end();
    EXPECT_EQ(QColor(image.pixel(5, 10)), QColor(192, 192, 192));   // icon strip
    EXPECT_EQ(QColor(image.pixel(190, 3)), QColor(255, 255, 255));  // body

    QPainter again(&image);
    TCanvas selected(&again);
    m.reset->OnDrawItem(m.reset, &selected, TRect{0, 0, 200, 21}, true);
    again.end();
    EXPECT_EQ(QColor(image.pixel(190, 3)), QColor(255, 255, 0));
}

TEST(OwnerDrawMenu, ColourArithmetic) {
    struct Row {
        TColor got, expected;
    } rows[] = {
        {LightenColor(RGB(0, 100, 255), 50), RGB(128, 178, 255)},
        {LightenColor(RGB(0, 0, 0), 150), RGB(255, 255, 255)},  // capped at 100 percent
        {ShadeColor(RGB(100, 100, 100), 10), RGB(90, 92, 90)},
        {ShadeColor(RGB(5, 250, 5), 10), RGB(0, 242, 0)},
        {ShadeColor(RGB(250, 250, 250), -10), RGB(255, 255, 255)},
        {GreyColor(RGB(30, 60, 90), 10), RGB(70, 70, 70)},
        {GreyColor(RGB(255, 255, 255), 10), RGB(240, 240, 240)},
    };
    for (const Row& r : rows) EXPECT_EQ(r.got, r.expected);
}

}  // namespace
