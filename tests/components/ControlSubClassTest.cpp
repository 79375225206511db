#include <gtest/gtest.h>

#include <QImage>
#include <QWidget>

#include <memory>

#include "ExtCtrls.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "OwnerDrawMenu.h"
#include "StdCtrls.h"

namespace {

struct FlatForm {
    std::unique_ptr<TForm> form;
    TPanel* panel = nullptr;
    TOwnerDrawMenu* odm = nullptr;

    FlatForm() {
        EnsureGuiApp();
        form = std::make_unique<TForm>(nullptr);
        form->SetBounds(0, 0, 400, 300);
        form->SetColor(clBtnFace);
        panel = Add<TPanel>(form.get(), 10, 10, 200, 150);
        panel->SetColor(RGB(100, 150, 200));
        panel->SetCaption("");
        odm = new TOwnerDrawMenu(form.get());
        odm->UseSystemColors = false;
        odm->SelectBorderColor = RGB(0, 0, 200);
        odm->SelectColor = RGB(220, 220, 255);
    }
    ~FlatForm() { form.reset(); }

    template <typename T>
    T* Add(TWinControl* parent, int l, int t, int w, int h) {
        auto* c = new T(form.get());
        c->SetParent(parent);
        c->SetBounds(l, t, w, h);
        return c;
    }
};

QImage Grab(TWinControl* c) { return c->ClientWidget()->grab().toImage(); }

TColor Pixel(const QImage& image, int x, int y) {
    const QRgb p = image.pixel(x, y);
    return RGB(uint8_t(qRed(p)), uint8_t(qGreen(p)), uint8_t(qBlue(p)));
}

TEST(ControlSubClass, HooksStandardControlsOnListedParentsOnly) {
    FlatForm f;
    auto* edit = f.Add<TEdit>(f.panel, 5, 5, 80, 21);
    auto* mark = f.Add<TEdit>(f.panel, 5, 30, 80, 21);
    mark->Tag = 999;
    auto* inner = f.Add<TPanel>(f.panel, 100, 5, 80, 80);
    inner->Tag = 999;
    auto* shielded = f.Add<TEdit>(inner, 2, 2, 60, 21);
    auto* numeric = new TCustomEdit(f.form.get());  // a descendant of another class than TEdit
    numeric->SetParent(f.panel);
    auto* button = f.Add<TButton>(f.form.get(), 250, 10, 75, 25);
    auto* group = f.Add<TGroupBox>(f.form.get(), 250, 50, 120, 80);
    auto* radio = f.Add<TRadioButton>(group, 10, 20, 100, 17);
    f.odm->SetActive(true);
    for (TControl* c : std::initializer_list<TControl*>{edit, button, group, radio, f.panel})
        EXPECT_NE(f.odm->SubClassOf(c), nullptr) << c->ClassName();
    EXPECT_EQ(f.odm->SubClassOf(mark), nullptr);
    EXPECT_EQ(f.odm->SubClassOf(shielded), nullptr);
    EXPECT_EQ(f.odm->SubClassOf(numeric), nullptr);
    // The kind switches decide as well.
    f.odm->SetActive(false);
    edit->Perform(CM_TEXTCHANGED);
    EXPECT_EQ(f.odm->SubClassOf(edit), nullptr);
    f.odm->SetXPControls(f.odm->GetXPControls() - TXPControls{xcEdit});
    f.odm->SetActive(true);
    EXPECT_EQ(f.odm->SubClassOf(edit), nullptr);
    EXPECT_NE(f.odm->SubClassOf(button), nullptr);
}

TEST(ControlSubClass, PanelBevelsAreDrawnInShadesOfThePanelColour) {
    FlatForm f;
    f.panel->SetBevelOuter(bvRaised);
    f.panel->SetBevelInner(bvLowered);
    f.panel->SetBorderWidth(0);
    f.form->HandleNeeded();
    const TColor colour = f.panel->GetColor();
    const TColor light = LightenColor(colour, 60), dark = ShadeColor(colour, 60);
    EXPECT_NE(Pixel(Grab(f.panel), 0, 0), light);
    f.odm->SetActive(true);
    QImage image = Grab(f.panel);
    EXPECT_EQ(Pixel(image, 0, 0), light);
    EXPECT_EQ(Pixel(image, 199, 149), dark);
    // The lowered inner bevel reverses the two.
    EXPECT_EQ(Pixel(image, 1, 1), dark);
    EXPECT_EQ(Pixel(image, 198, 148), light);
    // Switched off, the panel goes back to its own look at its next message.
    f.odm->SetActive(false);
    image = Grab(f.panel);
    EXPECT_EQ(f.odm->SubClassOf(f.panel), nullptr);
    EXPECT_NE(Pixel(image, 0, 0), light);
    EXPECT_FALSE(bool(f.panel->WindowProc));
}

TEST(ControlSubClass, EditBorderFollowsTheMouseAndTheFocus) {
    FlatForm f;
    auto* edit = f.Add<TEdit>(f.panel, 5, 5, 80, 21);
    f.odm->SetActive(true);
    f.form->HandleNeeded();
    EXPECT_EQ(Pixel(Grab(edit), 0, 10), ShadeColor(f.panel->GetColor(), 60));
    edit->Perform(CM_MOUSEENTER);
    EXPECT_TRUE(f.odm->SubClassOf(edit)->Hot());
    EXPECT_EQ(Pixel(Grab(edit), 0, 10), LightenColor(RGB(0, 0, 200), 60));
    edit->Perform(CM_MOUSELEAVE);
    EXPECT_FALSE(f.odm->SubClassOf(edit)->Hot());
    // A disabled control does not light up under the mouse.
    edit->SetEnabled(false);
    edit->Perform(CM_MOUSEENTER);
    EXPECT_FALSE(f.odm->SubClassOf(edit)->Hot());
}

TEST(ControlSubClass, KeepsAndRestoresAProcedureInstalledBefore) {
    FlatForm f;
    auto* button = f.Add<TButton>(f.form.get(), 250, 10, 75, 25);
    int seen = 0;
    button->WindowProc = [&](TMessage& m) {
        if (m.Msg == WM_LBUTTONDOWN) ++seen;
        button->WndProc(m);
    };
    f.odm->SetActive(true);
    // A double click on a flat button is a second press.
    button->Perform(WM_LBUTTONDBLCLK, 0, 0);
    EXPECT_EQ(seen, 1);
    button->Perform(WM_LBUTTONUP, 0, 0);
    f.odm->SetActive(false);
    button->Perform(CM_TEXTCHANGED);
    ASSERT_TRUE(bool(button->WindowProc));
    button->Perform(WM_LBUTTONDBLCLK, 0, 0);
    EXPECT_EQ(seen, 1);  // no longer turned into a press
    button->Perform(WM_LBUTTONDOWN, 0, 0);
    EXPECT_EQ(seen, 2);
    button->Perform(WM_LBUTTONUP, 0, 0);
}

TEST(ControlSubClass, SurvivesTheControlAndTheMenuInEitherOrder) {
    {
        FlatForm f;
        auto* edit = f.Add<TEdit>(f.panel, 5, 5, 80, 21);
        f.odm->SetActive(true);
        delete edit;
        f.form->HandleNeeded();
        Grab(f.panel);
    }
    {
        FlatForm f;
        auto* edit = f.Add<TEdit>(f.panel, 5, 5, 80, 21);
        f.odm->SetActive(true);
        delete f.odm;
        EXPECT_FALSE(bool(edit->WindowProc));
        edit->Perform(CM_TEXTCHANGED);
    }
}

TEST(ControlSubClass, GroupBoxFrameAndCheckedRadioAreFlat) {
    FlatForm f;
    auto* group = f.Add<TGroupBox>(f.form.get(), 250, 50, 120, 80);
    group->SetCaption("Loan");
    group->SetColor(RGB(200, 200, 200));
    auto* radio = f.Add<TRadioButton>(group, 10, 20, 100, 21);
    radio->SetColor(RGB(200, 200, 200));
    radio->SetChecked(true);
    f.odm->SetActive(true);
    f.form->HandleNeeded();
    QImage image = Grab(group);
    const TColor light = LightenColor(RGB(200, 200, 200), 60), dark = ShadeColor(RGB(200, 200, 200), 60);
    EXPECT_EQ(Pixel(image, 60, 79), dark);                 // bottom edge
    EXPECT_EQ(Pixel(image, 0, 60), light);                 // left edge
    EXPECT_EQ(Pixel(image, 3, 1), ColorToRGB(clBtnFace));  // above the frame: the parent's colour
    // The radio mark's centre is the highlight colour.
    image = Grab(radio);
    // A 15-pixel box centred in 13 of the 21 rows (from row 3), inset twice by 2.
    EXPECT_EQ(Pixel(image, 7, 10), ColorToRGB(clHighlight));
    EXPECT_EQ(Pixel(image, 2, 10), ColorToRGB(clBtnShadow));
    radio->SetChecked(false);
    EXPECT_EQ(Pixel(Grab(radio), 7, 10), ColorToRGB(clWindow));
}

TEST(ControlSubClass, ComboButtonTakesItsParentsColourWithTag1000) {
    FlatForm f;
    auto* combo = f.Add<TComboBox>(f.panel, 5, 5, 120, 21);
    combo->SetColor(clWhite);
    f.odm->SetActive(true);
    f.form->HandleNeeded();
    // The button strip: 11 pixels inside the right edge, below the frames.
    EXPECT_EQ(Pixel(Grab(combo), 116, 5), ColorToRGB(clBtnFace));
    combo->Tag = 1000;
    EXPECT_EQ(Pixel(Grab(combo), 116, 5), LightenColor(f.panel->GetColor(), 16));
    // Under the mouse the button takes the selection colour.
    combo->Perform(CM_MOUSEENTER);
    EXPECT_EQ(Pixel(Grab(combo), 116, 5), RGB(220, 220, 255));
}

TEST(ControlSubClass, ButtonFaceAndCheckMarkFollowTheirState) {
    FlatForm f;
    f.odm->IconBackColor = RGB(210, 210, 170);
    auto* button = f.Add<TButton>(f.panel, 5, 5, 75, 25);
    auto* box = f.Add<TCheckBox>(f.panel, 5, 40, 120, 21);
    box->SetColor(RGB(200, 200, 200));
    f.odm->SetActive(true);
    f.form->HandleNeeded();
    EXPECT_EQ(Pixel(Grab(button), 6, 6), RGB(210, 210, 170));  // idle: the icon-strip colour
    button->Perform(CM_MOUSEENTER);
    EXPECT_EQ(Pixel(Grab(button), 6, 6), LightenColor(clBtnFace, 40));
    // Pressed, the inner edge moves to the top left.
    button->Perform(WM_LBUTTONDOWN, 0, 0);
    const TColor edge = ShadeColor(LightenColor(RGB(0, 0, 200), 60), 50);
    EXPECT_EQ(Pixel(Grab(button), 0, 12), edge);
    button->Perform(WM_LBUTTONUP, 0, 0);
    EXPECT_EQ(Pixel(Grab(button), 74, 12), edge);
    // The check box: a 15 by 16 box at the left, inset 2; its tick in the highlight colour.
    QImage image = Grab(box);
    EXPECT_EQ(Pixel(image, 2, 10), ColorToRGB(clBtnShadow));
    EXPECT_EQ(Pixel(image, 6, 10), ColorToRGB(clWindow));
    box->SetChecked(true);
    image = Grab(box);
    int ticked = 0;
    for (int x = 3; x < 12; ++x)
        for (int y = 4; y < 17; ++y) ticked += Pixel(image, x, y) == ColorToRGB(clHighlight);
    EXPECT_GE(ticked, 12);
}

}  // namespace
