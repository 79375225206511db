// Published properties of the standard controls.

#include "StdCtrls.h"

#include "FormReader.h"
#include "Forms.h"
#include "StdCtrlsPrivate.h"
#include "TypInfo.h"

#include <mutex>

namespace {

const char* const kAlignments[] = {"taLeftJustify", "taRightJustify", "taCenter"};

}  // namespace

void AddCharProperty(TClassInfo& Info, const std::string& Name, std::function<char32_t(TObject*)> Get,
                     std::function<void(TObject*, char32_t)> Set) {
    TPropInfo p;
    p.Name = Name;
    p.Kind = pkString;
    // A character property is written as a one-character string ('*'), or #0 for none.
    p.GetStr = [Get](TObject* o) { return CharToUtf8(Get(o)); };
    p.SetStr = [Set](TObject* o, const std::string& v) {
        std::u32string s = Utf8ToU32(v);
        Set(o, s.empty() ? 0 : s[0]);
    };
    Info.Props.push_back(std::move(p));
}

void AddIgnoredProperty(TClassInfo& Info, const std::string& Name, TPropKind Kind, std::vector<std::string> Names) {
    TPropInfo p;
    p.Name = Name;
    p.Kind = Kind;
    p.GetOrd = [](TObject*) { return int64_t(0); };
    p.SetOrd = [](TObject*, int64_t) {};
    p.GetStr = [](TObject*) { return std::string(); };
    p.SetStr = [](TObject*, const std::string&) {};
    p.GetFloat = [](TObject*) { return 0.0L; };
    p.SetFloat = [](TObject*, long double) {};
    p.EnumNames = Kind == pkBool ? std::vector<std::string>{"False", "True"} : std::move(Names);
    Info.Props.push_back(std::move(p));
}

void RegisterStdCtrlsClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterControlsClasses();
        auto alignments = {kAlignments[0], kAlignments[1], kAlignments[2]};
        for (auto [name, value] : std::initializer_list<std::pair<const char*, int>>{{"mrNone", mrNone},
                                                                                     {"mrOk", mrOk},
                                                                                     {"mrCancel", mrCancel},
                                                                                     {"mrAbort", mrAbort},
                                                                                     {"mrRetry", mrRetry},
                                                                                     {"mrIgnore", mrIgnore},
                                                                                     {"mrYes", mrYes},
                                                                                     {"mrNo", mrNo},
                                                                                     {"mrAll", mrAll},
                                                                                     {"mrNoToAll", mrNoToAll},
                                                                                     {"mrYesToAll", mrYesToAll}})
            RegisterIntConstant(name, value);

        // Properties the old windows write that change nothing here (the 3-D look,
        // drag and drop, the designer's scaling).
        auto ignore = [](const char* className, const char* name, TPropKind kind, std::vector<std::string> names = {}) {
            const TClassInfo* found = FindClassInfo(className);
            if (!found || found->FindProp(name)) return;
            AddIgnoredProperty(const_cast<TClassInfo&>(*found), name, kind, std::move(names));
        };
        for (const char* name : {"Ctl3D", "ParentCtl3D", "IsControl"}) ignore("TControl", name, pkBool);
        ignore("TControl", "DragCursor", pkInteger);
        ignore("TControl", "DragMode", pkEnum, {"dmManual", "dmAutomatic"});
        for (const char* name : {"PixelsPerInch", "TextHeight"}) ignore("TForm", name, pkInteger);
        for (const char* name : {"Scaled", "OldCreateOrder", "AutoScroll"}) ignore("TForm", name, pkBool);

        Published<TCustomEdit> edit("TCustomEdit", "TWinControl");
        edit.Int("MaxLength", &TCustomEdit::GetMaxLength, &TCustomEdit::SetMaxLength)
            .Bool("ReadOnly", &TCustomEdit::GetReadOnly, &TCustomEdit::SetReadOnly)
            .Bool("AutoSelect", &TCustomEdit::AutoSelect, &TCustomEdit::AutoSelect)
            .Bool("AutoSize", &TCustomEdit::GetAutoSize, &TCustomEdit::SetAutoSize)
            .Enum("BorderStyle", {"bsNone", "bsSingle"}, &TCustomEdit::GetBorderStyle, &TCustomEdit::SetBorderStyle)
            .Enum("CharCase", {"ecNormal", "ecUpperCase", "ecLowerCase"}, &TCustomEdit::GetCharCase,
                  &TCustomEdit::SetCharCase)
            .Bool("HideSelection", &TCustomEdit::GetHideSelection, &TCustomEdit::SetHideSelection)
            .Bool("OEMConvert", &TCustomEdit::OEMConvert, &TCustomEdit::OEMConvert)
            .Event("OnChange", &TCustomEdit::OnChange);
        AddCharProperty(
            edit.Info(), "PasswordChar", [](TObject* o) { return static_cast<TCustomEdit*>(o)->GetPasswordChar(); },
            [](TObject* o, char32_t c) { dynamic_cast<TCustomEdit&>(*o).SetPasswordChar(c); });
        Published<TEdit>("TEdit", "TCustomEdit");

        Published<TCustomMemo>("TCustomMemo", "TCustomEdit")
            .Object("Lines", &TCustomMemo::GetLines)
            .Bool("WordWrap", &TCustomMemo::GetWordWrap, &TCustomMemo::SetWordWrap)
            .Enum("ScrollBars", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}, &TCustomMemo::GetScrollBars,
                  &TCustomMemo::SetScrollBars)
            .Bool("WantReturns", &TCustomMemo::WantReturns, &TCustomMemo::WantReturns)
            .Bool("WantTabs", &TCustomMemo::WantTabs, &TCustomMemo::WantTabs)
            .Enum("Alignment", alignments, &TCustomMemo::GetAlignment, &TCustomMemo::SetAlignment);
        Published<TMemo>("TMemo", "TCustomMemo");

        Published<TCustomLabel>("TCustomLabel", "TGraphicControl")
            .Enum("Alignment", alignments, &TCustomLabel::GetAlignment, &TCustomLabel::SetAlignment)
            .Bool("AutoSize", &TCustomLabel::GetAutoSize, &TCustomLabel::SetAutoSize)
            .Enum("Layout", {"tlTop", "tlCenter", "tlBottom"}, &TCustomLabel::GetLayout, &TCustomLabel::SetLayout)
            .Bool("WordWrap", &TCustomLabel::GetWordWrap, &TCustomLabel::SetWordWrap)
            .Bool("Transparent", &TCustomLabel::GetTransparent, &TCustomLabel::SetTransparent)
            .Bool("ShowAccelChar", &TCustomLabel::GetShowAccelChar, &TCustomLabel::SetShowAccelChar)
            .Reference<TWinControl>("FocusControl", &TCustomLabel::GetFocusControl, &TCustomLabel::SetFocusControl);
        Published<TLabel>("TLabel", "TCustomLabel");

        Published<TButtonControl>("TButtonControl", "TWinControl");
        Published<TButton>("TButton", "TButtonControl")
            .Bool("Default", &TButton::GetDefault, &TButton::SetDefault)
            .Bool("Cancel", &TButton::GetCancel, &TButton::SetCancel)
            .Int("ModalResult", &TButton::ModalResult, &TButton::ModalResult);

        Published<TCustomCheckBox>("TCustomCheckBox", "TButtonControl")
            .Bool("Checked", &TCustomCheckBox::GetChecked, &TCustomCheckBox::SetChecked)
            .Enum("State", {"cbUnchecked", "cbChecked", "cbGrayed"}, &TCustomCheckBox::GetState,
                  &TCustomCheckBox::SetState)
            .Bool("AllowGrayed", &TCustomCheckBox::AllowGrayed, &TCustomCheckBox::AllowGrayed)
            .Enum("Alignment", alignments, &TCustomCheckBox::GetAlignment, &TCustomCheckBox::SetAlignment);
        Published<TCheckBox>("TCheckBox", "TCustomCheckBox");
        Published<TRadioButton>("TRadioButton", "TButtonControl")
            .Bool("Checked", &TRadioButton::GetChecked, &TRadioButton::SetChecked)
            .Enum("Alignment", alignments, &TRadioButton::GetAlignment, &TRadioButton::SetAlignment);

        Published<TScrollBar>("TScrollBar", "TWinControl")
            .Enum("Kind", {"sbHorizontal", "sbVertical"}, &TScrollBar::GetKind, &TScrollBar::SetKind)
            .Int("Min", &TScrollBar::GetMin, &TScrollBar::SetMin)
            .Int("Max", &TScrollBar::GetMax, &TScrollBar::SetMax)
            .Int("Position", &TScrollBar::GetPosition, &TScrollBar::SetPosition)
            .Int("SmallChange", &TScrollBar::SmallChange, &TScrollBar::SmallChange)
            .Int("LargeChange", &TScrollBar::LargeChange, &TScrollBar::LargeChange)
            .Int("PageSize", &TScrollBar::PageSize, &TScrollBar::PageSize)
            .Event("OnChange", &TScrollBar::OnChange);
        Published<TCustomGroupBox>("TCustomGroupBox", "TCustomControl");
        Published<TGroupBox>("TGroupBox", "TCustomGroupBox");

        Published<TCustomComboBox> combo("TCustomComboBox", "TWinControl");
        combo.Object("Items", &TCustomComboBox::GetItems)
            .Int("ItemIndex", &TCustomComboBox::GetItemIndex, &TCustomComboBox::SetItemIndex)
            .Enum("Style", {"csDropDown", "csSimple", "csDropDownList", "csOwnerDrawFixed", "csOwnerDrawVariable"},
                  &TCustomComboBox::GetStyle, &TCustomComboBox::SetStyle)
            .Bool("Sorted", &TCustomComboBox::GetSorted, &TCustomComboBox::SetSorted)
            .Int("DropDownCount", &TCustomComboBox::DropDownCount, &TCustomComboBox::DropDownCount)
            .Int("MaxLength", &TCustomComboBox::GetMaxLength, &TCustomComboBox::SetMaxLength)
            .Int("ItemHeight", &TCustomComboBox::GetItemHeight, &TCustomComboBox::SetItemHeight)
            .Event("OnDrawItem", &TCustomComboBox::OnDrawItem)
            .Event("OnChange", &TCustomComboBox::OnChange)
            .Event("OnSelect", &TCustomComboBox::OnSelect)
            .Event("OnDropDown", &TCustomComboBox::OnDropDown);
        Published<TComboBox>("TComboBox", "TCustomComboBox");
    });
}
