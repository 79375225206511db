// Published properties of the entry controls' base classes, the attached
// label, the link label and the companions of the entry fields (carets,
// colours, borders), for window definitions and access by name.

#include "Controls.h"
#include "TypInfo.h"
#include "entbase.h"
#include "entcaret.h"
#include "entcolor.h"
#include "entctrl.h"
#include "enturl.h"

namespace {

// The label properties, published again here so that the label classes have
// them whether or not the standard label was registered first.
template <typename T>
Published<T>& LabelProperties(Published<T>& p) {
    p.Enum("Alignment", {"taLeftJustify", "taRightJustify", "taCenter"}, &T::GetAlignment, &T::SetAlignment)
        .Bool("AutoSize", &T::GetAutoSize, &T::SetAutoSize)
        .template Reference<TWinControl>("FocusControl", &T::GetFocusControl, &T::SetFocusControl)
        .Enum("Layout", {"tlTop", "tlCenter", "tlBottom"}, &T::GetLayout, &T::SetLayout)
        .Bool("ShowAccelChar", &T::GetShowAccelChar, &T::SetShowAccelChar)
        .Bool("Transparent", &T::GetTransparent, &T::SetTransparent)
        .Bool("WordWrap", &T::GetWordWrap, &T::SetWordWrap);
    return p;
}

}  // namespace

void RegisterEntBaseClasses() {
    // A plain flag: the controller's registration calls back into this one.
    static bool registered = false;
    if (registered) return;
    registered = true;
    RegisterControlsClasses();
    const std::string persistent = ParentIfRegistered("TPersistent", "");

    Published<TEntComponent>("TEntComponent", "TComponent").Str("About", &TEntComponent::About, nullptr);
    Published<TEntGraphicControl>("TEntGraphicControl", "TGraphicControl")
        .Str("About", &TEntGraphicControl::About, nullptr);

    Published<TEntLabelInfo>("TEntLabelInfo", persistent)
        .Int("OffsetX", &TEntLabelInfo::GetOffsetX, &TEntLabelInfo::SetOffsetX)
        .Int("OffsetY", &TEntLabelInfo::GetOffsetY, &TEntLabelInfo::SetOffsetY)
        .Bool("Visible", &TEntLabelInfo::GetVisible, &TEntLabelInfo::SetVisible);

    Published<TEntCustomControl>("TEntCustomControl", "TCustomControl")
        .Str("About", &TEntCustomControl::About, nullptr)
        .Object("LabelInfo", &TEntCustomControl::LabelInfo)
        .Event("AfterEnter", &TEntCustomControl::AfterEnter)
        .Event("AfterExit", &TEntCustomControl::AfterExit)
        .Event("OnMouseWheelDelta", &TEntCustomControl::OnMouseWheelDelta);
    Published<TEntCustomControlEx>("TEntCustomControlEx", "TEntCustomControl")
        .Reference<TEntController>("Controller", &TEntCustomControlEx::AssignedController,
                                   &TEntCustomControlEx::SetController);
    Published<TEntCollectibleControl>("TEntCollectibleControl", "TEntCustomControl");

    const std::string label = ParentIfRegistered("TLabel", "TGraphicControl");
    Published<TEntAttachedLabel> attached("TEntAttachedLabel", label);
    LabelProperties(attached);

    Published<TEntURL> url("TEntURL", label);
    LabelProperties(url)
        .Str("About", &TEntURL::About, nullptr)
        .Str("URL", &TEntURL::GetURL, &TEntURL::SetURL)
        .Int("HighlightColor", &TEntURL::GetHighlightColor, &TEntURL::SetHighlightColor)
        .Bool("UnderlineURL", &TEntURL::GetUnderlineURL, &TEntURL::SetUnderlineURL)
        .Bool("UseVisitedColor", &TEntURL::UseVisitedColor, &TEntURL::UseVisitedColor)
        .Int("VisitedColor", &TEntURL::GetVisitedColor, &TEntURL::SetVisitedColor);

    Published<TEntCaret>("TEntCaret", persistent)
        .Enum("Shape", {"csBlock", "csHalfBlock", "csVertLine", "csHorzLine", "csCustom", "csBitmap"},
              &TEntCaret::GetShape, &TEntCaret::SetShape)
        .Enum("Align", {"caLeft", "caTop", "caRight", "caBottom", "caCenter"}, &TEntCaret::GetAlign,
              &TEntCaret::SetAlign)
        .Int("CaretHeight", &TEntCaret::GetCaretHeight, &TEntCaret::SetCaretHeight)
        .Int("CaretWidth", &TEntCaret::GetCaretWidth, &TEntCaret::SetCaretWidth)
        .Int("BlinkTime", &TEntCaret::GetBlinkTime, &TEntCaret::SetBlinkTime)
        .Bool("IsGray", &TEntCaret::GetIsGray, &TEntCaret::SetIsGray)
        .Object("Bitmap", &TEntCaret::GetBitmap)
        .Int("BitmapHotSpotX", &TEntCaret::GetBitmapHotSpotX, &TEntCaret::SetBitmapHotSpotX)
        .Int("BitmapHotSpotY", &TEntCaret::GetBitmapHotSpotY, &TEntCaret::SetBitmapHotSpotY);
    Published<TEntCaretPair>("TEntCaretPair", persistent)
        .Object("CaretIns", &TEntCaretPair::CaretIns)
        .Object("CaretOvr", &TEntCaretPair::CaretOvr);

    Published<TEntColors>("TEntColors", persistent)
        .Int("BackColor", &TEntColors::GetBackColor, &TEntColors::SetBackColor)
        .Int("TextColor", &TEntColors::GetTextColor, &TEntColors::SetTextColor);
    Published<TEntEfColors>("TEntEfColors", persistent)
        .Object("Disabled", &TEntEfColors::Disabled)
        .Object("Error", &TEntEfColors::Error)
        .Object("Highlight", &TEntEfColors::Highlight);

    Published<TEntBorder>("TEntBorder", persistent)
        .Bool("Enabled", &TEntBorder::GetEnabled, &TEntBorder::SetEnabled)
        .Enum("BorderStyle", {"bpsSolid"}, &TEntBorder::GetBorderStyle, &TEntBorder::SetBorderStyle)
        .Int("PenColor", &TEntBorder::GetPenColor, &TEntBorder::SetPenColor)
        .Enum("PenStyle", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"},
              &TEntBorder::GetPenStyle, &TEntBorder::SetPenStyle)
        .Int("PenWidth", &TEntBorder::GetPenWidth, &TEntBorder::SetPenWidth);
    Published<TEntBorders>("TEntBorders", persistent)
        .Object("LeftBorder", &TEntBorders::LeftBorder)
        .Object("RightBorder", &TEntBorders::RightBorder)
        .Object("TopBorder", &TEntBorders::TopBorder)
        .Object("BottomBorder", &TEntBorders::BottomBorder);

    RegisterEntControllerClasses();
}
