#include <gtest/gtest.h>
#include <QImage>
#include <QPixmap>
#include <QWidget>
#include "FormReader.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "grBtns.h"
TEST(Shot, Save) {
    EnsureGuiApp();
    RegisterGrBtnsClasses();
    TForm form(nullptr);
    ReadComponentFromText(&form,
        "object f: TForm\n ClientWidth = 450\n ClientHeight = 120\n Color = clWhite\n"
        " object b: TgrButton\n Left = 23\n Top = 68\n Width = 249\n Height = 28\n Caption = '  Quick Calculators'\n"
        " Font.Color = clNavy\n Font.Height = -11\n Font.Name = 'Arial'\n Font.Style = [fsBold]\n ParentFont = False\n"
        " Color = $00F4E8DC\n Style = bsWin95\n Background.Style = grbVertGradient\n Background.Gradient = clWhite\n TextX = 8\n end\n"
        " object g: TgrGraphicButton\n Left = 300\n Top = 20\n Width = 25\n Height = 25\n Caption = 'R'\n Style = bsWin97\n end\n"
        "end\n");
    form.HandleNeeded();
    form.ClientWidget()->grab().toImage().scaled(900, 240).save("/tmp/shot.png");
}
