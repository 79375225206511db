// Published properties of panels, bevels, shapes, images, paint boxes, radio groups,
// notebooks and scroll boxes.

#include "ExtCtrls.h"

#include "StdCtrlsPrivate.h"
#include "TypInfo.h"

#include <mutex>

void RegisterExtCtrlsClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterStdCtrlsClasses();
        auto bevels = {"bvNone", "bvLowered", "bvRaised", "bvSpace"};
        Published<TCustomPanel>("TCustomPanel", "TCustomControl")
            .Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &TCustomPanel::GetAlignment,
                  &TCustomPanel::SetAlignment)
            .Enum("BevelInner", bevels, &TCustomPanel::GetBevelInner, &TCustomPanel::SetBevelInner)
            .Enum("BevelOuter", bevels, &TCustomPanel::GetBevelOuter, &TCustomPanel::SetBevelOuter)
            .Int("BevelWidth", &TCustomPanel::GetBevelWidth, &TCustomPanel::SetBevelWidth)
            .Int("BorderWidth", &TCustomPanel::GetBorderWidth, &TCustomPanel::SetBorderWidth)
            .Enum("BorderStyle", {"bsNone", "bsSingle"}, &TCustomPanel::GetBorderStyle, &TCustomPanel::SetBorderStyle)
            .Bool("FullRepaint", &TCustomPanel::FullRepaint, &TCustomPanel::FullRepaint)
            .Bool("Locked", &TCustomPanel::Locked, &TCustomPanel::Locked);
        Published<TPanel>("TPanel", "TCustomPanel");

        Published<TBevel>("TBevel", "TGraphicControl")
            .Enum("Shape", {"bsBox", "bsFrame", "bsTopLine", "bsBottomLine", "bsLeftLine", "bsRightLine", "bsSpacer"},
                  &TBevel::GetShape, &TBevel::SetShape)
            .Enum("Style", {"bsLowered", "bsRaised"}, &TBevel::GetStyle, &TBevel::SetStyle);
        Published<TShape>("TShape", "TGraphicControl")
            .Enum("Shape", {"stRectangle", "stSquare", "stRoundRect", "stRoundSquare", "stEllipse", "stCircle"},
                  &TShape::GetShape, &TShape::SetShape)
            .Object("Pen", &TShape::GetPen)
            .Object("Brush", &TShape::GetBrush);
        Published<TImage>("TImage", "TGraphicControl")
            .Object("Picture", &TImage::GetPicture)
            .Bool("Stretch", &TImage::GetStretch, &TImage::SetStretch)
            .Bool("Center", &TImage::GetCenter, &TImage::SetCenter)
            .Bool("Transparent", &TImage::GetTransparent, &TImage::SetTransparent)
            .Bool("AutoSize", &TImage::GetAutoSize, &TImage::SetAutoSize);

        Published<TPaintBox>("TPaintBox", "TGraphicControl").Event("OnPaint", &TPaintBox::OnPaint);

        Published<TCustomRadioGroup>("TCustomRadioGroup", "TCustomGroupBox")
            .Object("Items", &TCustomRadioGroup::GetItems)
            .Int("ItemIndex", &TCustomRadioGroup::GetItemIndex, &TCustomRadioGroup::SetItemIndex)
            .Int("Columns", &TCustomRadioGroup::GetColumns, &TCustomRadioGroup::SetColumns);
        Published<TRadioGroup>("TRadioGroup", "TCustomRadioGroup");

        Published<TPage>("TPage", "TCustomControl");
        Published<TNotebook>("TNotebook", "TCustomControl")
            .Object("Pages", &TNotebook::GetPages)
            .Int("PageIndex", &TNotebook::GetPageIndex, &TNotebook::SetPageIndex)
            .Str("ActivePage", &TNotebook::GetActivePage, &TNotebook::SetActivePage)
            .Event("OnPageChanged", &TNotebook::OnPageChanged);

        Published<TScrollBox>("TScrollBox", "TWinControl")
            .Enum("BorderStyle", {"bsNone", "bsSingle"}, &TScrollBox::GetBorderStyle, &TScrollBox::SetBorderStyle)
            .Bool("AutoScroll", &TScrollBox::AutoScroll, &TScrollBox::AutoScroll);
    });
}
