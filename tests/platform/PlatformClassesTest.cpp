// A window definition with the standard controls, read by class name.

#include "PlatformClasses.h"

#include "ExtCtrls.h"
#include "FormReader.h"
#include "Forms.h"
#include "Grids.h"
#include "GuiTestApp.h"
#include "StdCtrls.h"
#include "TypInfo.h"

#include <gtest/gtest.h>

#include <string>

namespace {

const char* const kDefinition = R"(object frmTest: TForm
  Left = 10
  Top = 20
  Caption = 'Test window'
  ClientHeight = 300
  ClientWidth = 400
  Color = clWindow
  PixelsPerInch = 96
  TextHeight = 14
  object pnlBar: TPanel
    Left = 0
    Top = 0
    Width = 400
    Height = 33
    Align = alTop
    BevelInner = bvRaised
    BevelOuter = bvLowered
    Caption = ''
    TabOrder = 0
    object lblName: TLabel
      Left = 8
      Top = 8
      Caption = '&Name'
      FocusControl = edtName
      Transparent = True
    end
    object btnOk: TButton
      Left = 300
      Top = 4
      Caption = 'OK'
      Default = True
      ModalResult = mrOk
      OnClick = btnOkClick
    end
  end
  object nbkMain: TNotebook
    Left = 0
    Top = 33
    Width = 400
    Height = 267
    Align = alClient
    ActivePage = 'pgSecond'
    OnPageChanged = nbkMainPageChanged
    object TPage
      Left = 0
      Top = 0
      Caption = 'pgFirst'
      object edtName: TEdit
        Left = 60
        Top = 8
        Width = 121
        Height = 21
        MaxLength = 20
        PasswordChar = '*'
        Text = 'secret'
        TabOrder = 0
        Ctl3D = True
      end
    end
    object TPage
      Left = 0
      Top = 0
      Caption = 'pgSecond'
      object rgMode: TRadioGroup
        Left = 8
        Top = 8
        Width = 185
        Height = 80
        Caption = 'Mode'
        ItemIndex = 1
        Items.Strings = (
          'Monthly'
          'Annual')
        OnClick = rgModeClick
      end
      object grdTable: TStringGrid
        Left = 8
        Top = 100
        Width = 300
        Height = 120
        ColCount = 3
        DefaultColWidth = 40
        FixedCols = 0
        Options = [goFixedVertLine, goFixedHorzLine, goVertLine, goHorzLine, goEditing]
        ScrollBars = ssVertical
        ColWidths = (
          40
          70
          55)
      end
      object cbKind: TComboBox
        Left = 200
        Top = 8
        Style = csDropDownList
        ItemIndex = 2
        Items.Strings = (
          'a'
          'b'
          'c')
      end
      object memNotes: TMemo
        Left = 200
        Top = 40
        Lines.Strings = (
          'line one'
          'line two')
        OEMConvert = True
        ScrollBars = ssVertical
        WordWrap = False
      end
    end
  end
end
)";

TEST(PlatformClassesTest, WindowDefinitionBuildsTheControls) {
    EnsureGuiApp();
    RegisterPlatformClasses();
    RegisterPlatformClasses();  // twice is harmless

    TForm form(nullptr);
    int okClicks = 0, modeClicks = 0, pageChanges = 0;
    THandlerTable handlers;
    handlers["btnOkClick"] = TNotifyEvent([&](TObject*) { ++okClicks; });
    handlers["rgModeClick"] = TNotifyEvent([&](TObject*) { ++modeClicks; });
    handlers["nbkMainPageChanged"] = TNotifyEvent([&](TObject*) { ++pageChanges; });
    ReadComponentFromText(&form, kDefinition, handlers);

    auto* nbk = dynamic_cast<TNotebook*>(form.FindComponent("nbkMain"));
    auto* edit = dynamic_cast<TEdit*>(form.FindComponent("edtName"));
    auto* label = dynamic_cast<TLabel*>(form.FindComponent("lblName"));
    auto* button = dynamic_cast<TButton*>(form.FindComponent("btnOk"));
    auto* rg = dynamic_cast<TRadioGroup*>(form.FindComponent("rgMode"));
    auto* grid = dynamic_cast<TStringGrid*>(form.FindComponent("grdTable"));
    auto* combo = dynamic_cast<TComboBox*>(form.FindComponent("cbKind"));
    auto* memo = dynamic_cast<TMemo*>(form.FindComponent("memNotes"));
    ASSERT_TRUE(nbk && edit && label && button && rg && grid && combo && memo);

    // The notebook's pages are the definition's, and the named one is active.
    ASSERT_EQ(nbk->PageCount(), 2);
    EXPECT_EQ(nbk->GetPages()->Get(0), "pgFirst");
    EXPECT_EQ(nbk->GetActivePage(), "pgSecond");
    EXPECT_EQ(pageChanges, 0);
    EXPECT_EQ(edit->GetParent(), nbk->Page(0));
    EXPECT_EQ(rg->GetParent(), nbk->Page(1));
    nbk->SetActivePage("pgFirst");
    EXPECT_EQ(pageChanges, 1);

    EXPECT_EQ(label->GetFocusControl(), edit);
    EXPECT_TRUE(label->GetTransparent());
    EXPECT_EQ(edit->GetText(), "secret");
    EXPECT_EQ(edit->GetPasswordChar(), U'*');
    EXPECT_EQ(edit->GetMaxLength(), 20);

    EXPECT_EQ(rg->GetItemIndex(), 1);
    ASSERT_EQ(rg->ButtonCount(), 2);
    EXPECT_TRUE(rg->Buttons(1)->GetChecked());
    EXPECT_EQ(modeClicks, 0) << "reading the window clicks nothing";
    rg->SetItemIndex(0);
    EXPECT_EQ(modeClicks, 1);

    EXPECT_EQ(grid->GetColCount(), 3);
    EXPECT_EQ(grid->GetFixedCols(), 0);
    EXPECT_EQ(grid->GetColWidths(1), 70);
    EXPECT_EQ(grid->GetColWidths(2), 55);
    EXPECT_TRUE(grid->GetOptions().Contains(goEditing));

    EXPECT_EQ(combo->GetItemIndex(), 2);
    EXPECT_EQ(combo->GetText(), "c");
    EXPECT_EQ(memo->GetLines()->Count(), 2);
    EXPECT_TRUE(memo->OEMConvert);
    EXPECT_FALSE(memo->GetWordWrap());

    button->Click();
    EXPECT_EQ(okClicks, 1);
    EXPECT_EQ(form.GetModalResult(), mrOk);

    // Properties by name, as the state store reads and writes them.
    EXPECT_EQ(GetPropText(&form, "nbkMain.ActivePage"), "pgFirst");
    SetPropText(&form, "grdTable.DefaultRowHeight", "18");
    EXPECT_EQ(grid->GetRowHeights(0), 18);
    EXPECT_EQ(GetPropText(&form, "pnlBar.BevelOuter"), "bvLowered");
}

TEST(PlatformClassesTest, EveryControlClassIsCreatableByName) {
    EnsureGuiApp();
    RegisterPlatformClasses();
    for (const char* name : {"TEdit", "TMemo", "TLabel", "TButton", "TCheckBox", "TRadioButton", "TGroupBox",
                             "TComboBox", "TPanel", "TBevel", "TShape", "TImage", "TRadioGroup", "TNotebook", "TPage",
                             "TScrollBox", "TDrawGrid", "TStringGrid"}) {
        const TClassInfo* info = FindClassInfo(name);
        ASSERT_TRUE(info && info->Create) << name;
        TForm owner(nullptr);
        TComponent* c = info->Create(&owner);
        EXPECT_EQ(c->ClassName(), name);
        EXPECT_TRUE(info->FindProp("Left")) << name;
    }
    int64_t v = 0;
    EXPECT_TRUE(IdentToInt("crHandPoint", v));
    EXPECT_TRUE(IdentToInt("clBtnFace", v));
    EXPECT_TRUE(IdentToInt("mrCancel", v));
    EXPECT_EQ(v, mrCancel);
}

}  // namespace
