// Published properties of controls, forms, menus, timers and dialogs, for window
// definitions and for reading and writing properties by name.

#include "Controls.h"
#include "Dialogs.h"
#include "FormReader.h"
#include "Forms.h"
#include "Menus.h"
#include "TypInfo.h"

#include <mutex>

namespace {

const std::pair<const char*, int> kCursorIdents[] = {
    {"crDefault", crDefault},
    {"crNone", crNone},
    {"crArrow", crArrow},
    {"crCross", crCross},
    {"crIBeam", crIBeam},
    {"crSize", crSize},
    {"crSizeNESW", crSizeNESW},
    {"crSizeNS", crSizeNS},
    {"crSizeNWSE", crSizeNWSE},
    {"crSizeWE", crSizeWE},
    {"crUpArrow", crUpArrow},
    {"crHourGlass", crHourGlass},
    {"crDrag", crDrag},
    {"crNoDrop", crNoDrop},
    {"crHSplit", crHSplit},
    {"crVSplit", crVSplit},
    {"crMultiDrag", crMultiDrag},
    {"crSQLWait", crSQLWait},
    {"crNo", crNo},
    {"crAppStart", crAppStart},
    {"crHelp", crHelp},
    {"crHandPoint", crHandPoint},
    {"crSizeAll", crSizeAll},
};

}  // namespace

void RegisterControlsClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterGraphicsClasses();
        for (auto [name, value] : kCursorIdents) RegisterIntConstant(name, value);
        RegisterIntConstant("scShift", scShift);
        RegisterIntConstant("scCtrl", scCtrl);
        RegisterIntConstant("scAlt", scAlt);

        if (!FindClassInfo("TComponent"))
            Published<TComponent>("TComponent", ParentIfRegistered("TPersistent"))
                .Int("Tag", &TComponent::Tag, &TComponent::Tag);

        Published<TControl>("TControl", "TComponent")
            .Int("Left", &TControl::GetLeft, &TControl::SetLeft)
            .Int("Top", &TControl::GetTop, &TControl::SetTop)
            .Int("Width", &TControl::GetWidth, &TControl::SetWidth)
            .Int("Height", &TControl::GetHeight, &TControl::SetHeight)
            .Int("ClientWidth", &TControl::GetClientWidth, &TControl::SetClientWidth)
            .Int("ClientHeight", &TControl::GetClientHeight, &TControl::SetClientHeight)
            .Enum("Align", {"alNone", "alTop", "alBottom", "alLeft", "alRight", "alClient"}, &TControl::GetAlign,
                  &TControl::SetAlign)
            .Bool("Visible", &TControl::GetVisible, &TControl::SetVisible)
            .Bool("Enabled", &TControl::GetEnabled, &TControl::SetEnabled)
            .Object("Font", &TControl::GetFont)
            .Bool("ParentFont", &TControl::GetParentFont, &TControl::SetParentFont)
            .Int("Color", &TControl::GetColor, &TControl::SetColor)
            .Bool("ParentColor", &TControl::GetParentColor, &TControl::SetParentColor)
            .Str("Caption", &TControl::GetCaption, &TControl::SetCaption)
            .Str("Text", &TControl::GetText, &TControl::SetText)
            .Str("Hint", &TControl::Hint, &TControl::Hint)
            .Bool("ShowHint", &TControl::GetShowHint, &TControl::SetShowHint)
            .Bool("ParentShowHint", &TControl::GetParentShowHint, &TControl::SetParentShowHint)
            .Reference<TPopupMenu>("PopupMenu", &TControl::GetPopupMenu, &TControl::SetPopupMenu)
            .Int("Cursor", &TControl::GetCursor, &TControl::SetCursor)
            .Int("HelpContext", &TControl::HelpContext, &TControl::HelpContext)
            .Event("OnClick", &TControl::OnClick)
            .Event("OnDblClick", &TControl::OnDblClick)
            .Event("OnMouseDown", &TControl::OnMouseDown)
            .Event("OnMouseMove", &TControl::OnMouseMove)
            .Event("OnMouseUp", &TControl::OnMouseUp)
            .Event("OnMouseEnter", &TControl::OnMouseEnter)
            .Event("OnMouseLeave", &TControl::OnMouseLeave)
            .Event("OnMouseWheel", &TControl::OnMouseWheel)
            .Event("OnContextPopup", &TControl::OnContextPopup)
            .Event("OnResize", &TControl::OnResize)
            .Event("OnKeyDown", &TControl::OnKeyDown)
            .Event("OnKeyPress", &TControl::OnKeyPress)
            .Event("OnKeyUp", &TControl::OnKeyUp);

        Published<TWinControl>("TWinControl", "TControl")
            .Int("TabOrder", &TWinControl::GetTabOrder, &TWinControl::SetTabOrder)
            .Bool("TabStop", &TWinControl::GetTabStop, &TWinControl::SetTabStop)
            .Event("OnEnter", &TWinControl::OnEnter)
            .Event("OnExit", &TWinControl::OnExit);
        Published<TGraphicControl>("TGraphicControl", "TControl");
        Published<TCustomControl>("TCustomControl", "TWinControl");

        Published<TForm>("TForm", "TWinControl")
            .Enum("BorderStyle", {"bsNone", "bsSingle", "bsSizeable", "bsDialog", "bsToolWindow", "bsSizeToolWin"},
                  &TForm::GetBorderStyle, &TForm::SetBorderStyle)
            .SetOf("BorderIcons", {"biSystemMenu", "biMinimize", "biMaximize", "biHelp"}, &TForm::GetBorderIcons,
                   &TForm::SetBorderIcons)
            .Enum("Position",
                  {"poDesigned", "poDefault", "poDefaultPosOnly", "poDefaultSizeOnly", "poScreenCenter",
                   "poDesktopCenter", "poMainFormCenter", "poOwnerFormCenter"},
                  &TForm::GetPosition, &TForm::SetPosition)
            .Enum("FormStyle", {"fsNormal", "fsMDIChild", "fsMDIForm", "fsStayOnTop"}, &TForm::GetFormStyle,
                  &TForm::SetFormStyle)
            .Enum("WindowState", {"wsNormal", "wsMinimized", "wsMaximized"}, &TForm::GetWindowState,
                  &TForm::SetWindowState)
            .Bool("KeyPreview", &TForm::KeyPreview, &TForm::KeyPreview)
            .Reference<TMainMenu>("Menu", &TForm::GetMenu, &TForm::SetMenu)
            .Reference<TWinControl>("ActiveControl", &TForm::GetActiveControl, &TForm::SetActiveControl)
            .Event("OnCreate", &TForm::OnCreate)
            .Event("OnDestroy", &TForm::OnDestroy)
            .Event("OnShow", &TForm::OnShow)
            .Event("OnHide", &TForm::OnHide)
            .Event("OnActivate", &TForm::OnActivate)
            .Event("OnDeactivate", &TForm::OnDeactivate)
            .Event("OnPaint", &TForm::OnPaint)
            .Event("OnClose", &TForm::OnClose)
            .Event("OnCloseQuery", &TForm::OnCloseQuery)
            .Event("OnShortCut", &TForm::OnShortCut);

        Published<TMenuItem>("TMenuItem", "TComponent")
            .Str("Caption", &TMenuItem::GetCaption, &TMenuItem::SetCaption)
            .Int("ShortCut", &TMenuItem::GetShortCut, &TMenuItem::SetShortCut)
            .Bool("Enabled", &TMenuItem::GetEnabled, &TMenuItem::SetEnabled)
            .Bool("Visible", &TMenuItem::GetVisible, &TMenuItem::SetVisible)
            .Bool("Checked", &TMenuItem::GetChecked, &TMenuItem::SetChecked)
            .Bool("RadioItem", &TMenuItem::GetRadioItem, &TMenuItem::SetRadioItem)
            .Int("GroupIndex", &TMenuItem::GetGroupIndex, &TMenuItem::SetGroupIndex)
            .Int("ImageIndex", &TMenuItem::GetImageIndex, &TMenuItem::SetImageIndex)
            .Bool("Default", &TMenuItem::GetDefault, &TMenuItem::SetDefault)
            .Bool("AutoCheck", &TMenuItem::AutoCheck, &TMenuItem::AutoCheck)
            .Str("Hint", &TMenuItem::Hint, &TMenuItem::Hint)
            .Int("HelpContext", &TMenuItem::HelpContext, &TMenuItem::HelpContext)
            .Event("OnClick", &TMenuItem::OnClick)
            .Event("OnMeasureItem", &TMenuItem::OnMeasureItem)
            .Event("OnDrawItem", &TMenuItem::OnDrawItem);
        Published<TMenu>("TMenu", "TComponent")
            .Reference<TImageList>("Images", &TMenu::GetImages, &TMenu::SetImages)
            .Bool("OwnerDraw", &TMenu::GetOwnerDraw, &TMenu::SetOwnerDraw);
        Published<TMainMenu>("TMainMenu", "TMenu");
        Published<TPopupMenu>("TPopupMenu", "TMenu")
            .Bool("AutoPopup", &TPopupMenu::AutoPopup, &TPopupMenu::AutoPopup)
            .Event("OnPopup", &TPopupMenu::OnPopup);

        Published<TTimer>("TTimer", "TComponent")
            .Bool("Enabled", &TTimer::GetEnabled, &TTimer::SetEnabled)
            .Int("Interval", &TTimer::GetInterval, &TTimer::SetInterval)
            .Event("OnTimer", &TTimer::OnTimer);

        Published<TOpenDialog>("TOpenDialog", "TComponent")
            .Str("DefaultExt", &TOpenDialog::DefaultExt, &TOpenDialog::DefaultExt)
            .Str("FileName", &TOpenDialog::FileName, &TOpenDialog::FileName)
            .Str("Filter", &TOpenDialog::Filter, &TOpenDialog::Filter)
            .Int("FilterIndex", &TOpenDialog::FilterIndex, &TOpenDialog::FilterIndex)
            .Str("InitialDir", &TOpenDialog::InitialDir, &TOpenDialog::InitialDir)
            .Str("Title", &TOpenDialog::Title, &TOpenDialog::Title)
            .SetOf("Options",
                   {"ofReadOnly",         "ofOverwritePrompt",    "ofHideReadOnly",        "ofNoChangeDir",
                    "ofShowHelp",         "ofNoValidate",         "ofAllowMultiSelect",    "ofExtensionDifferent",
                    "ofPathMustExist",    "ofFileMustExist",      "ofCreatePrompt",        "ofShareAware",
                    "ofNoReadOnlyReturn", "ofNoTestFileCreate",   "ofNoNetworkButton",     "ofNoLongNames",
                    "ofOldStyleDialog",   "ofNoDereferenceLinks", "ofEnableIncludeNotify", "ofEnableSizing"},
                   &TOpenDialog::Options, &TOpenDialog::Options)
            .Event("OnShow", &TOpenDialog::OnShow)
            .Event("OnClose", &TOpenDialog::OnClose);
        Published<TSaveDialog>("TSaveDialog", "TOpenDialog");
        Published<TPrinterSetupDialog>("TPrinterSetupDialog", "TComponent");
    });
}
