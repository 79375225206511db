// Published properties of the drawing objects, and the colour and character
// set names that window definitions write in place of numbers.

#include "Graphics.h"
#include "FormReader.h"
#include "TypInfo.h"

#include <mutex>

namespace {

const char* const kColorIdents[] = {
    "clBlack",
    "clMaroon",
    "clGreen",
    "clOlive",
    "clNavy",
    "clPurple",
    "clTeal",
    "clGray",
    "clSilver",
    "clRed",
    "clLime",
    "clYellow",
    "clBlue",
    "clFuchsia",
    "clAqua",
    "clWhite",
    "clMoneyGreen",
    "clSkyBlue",
    "clCream",
    "clMedGray",
    "clScrollBar",
    "clBackground",
    "clActiveCaption",
    "clInactiveCaption",
    "clMenu",
    "clWindow",
    "clWindowFrame",
    "clMenuText",
    "clWindowText",
    "clCaptionText",
    "clActiveBorder",
    "clInactiveBorder",
    "clAppWorkSpace",
    "clHighlight",
    "clHighlightText",
    "clBtnFace",
    "clBtnShadow",
    "clGrayText",
    "clBtnText",
    "clInactiveCaptionText",
    "clBtnHighlight",
    "cl3DDkShadow",
    "cl3DLight",
    "clInfoText",
    "clInfoBk",
    "clHotLight",
    "clGradientActiveCaption",
    "clGradientInactiveCaption",
    "clMenuHighlight",
    "clMenuBar",
    "clNone",
    "clDefault",
};

}  // namespace

void RegisterGraphicsClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        for (const char* ident : kColorIdents) {
            TColor c;
            if (IdentToColor(ident, c)) RegisterIntConstant(ident, c);
        }
        RegisterIntConstant("ANSI_CHARSET", ANSI_CHARSET);
        RegisterIntConstant("DEFAULT_CHARSET", DEFAULT_CHARSET);
        RegisterIntConstant("SYMBOL_CHARSET", SYMBOL_CHARSET);
        RegisterIntConstant("OEM_CHARSET", OEM_CHARSET);

        const std::string persistent = ParentIfRegistered("TPersistent");
        Published<TFont>("TFont", persistent)
            .Int("Charset", &TFont::GetCharset, &TFont::SetCharset)
            .Int("Color", &TFont::GetColor, &TFont::SetColor)
            .Int("Height", &TFont::GetHeight, &TFont::SetHeight)
            .Str("Name", &TFont::GetName, &TFont::SetName)
            .Int("Orientation", &TFont::GetOrientation, &TFont::SetOrientation)
            .Enum("Pitch", {"fpDefault", "fpVariable", "fpFixed"}, &TFont::GetPitch, &TFont::SetPitch)
            .Int("Size", &TFont::GetSize, &TFont::SetSize)
            .SetOf("Style", {"fsBold", "fsItalic", "fsUnderline", "fsStrikeOut"}, &TFont::GetStyle, &TFont::SetStyle);
        Published<TPen>("TPen", persistent)
            .Int("Color", &TPen::GetColor, &TPen::SetColor)
            .Enum(
                "Mode",
                {"pmBlack", "pmWhite", "pmNop", "pmNot", "pmCopy", "pmNotCopy", "pmMergePenNot", "pmMaskPenNot",
                 "pmMergeNotPen", "pmMaskNotPen", "pmMerge", "pmNotMerge", "pmMask", "pmNotMask", "pmXor", "pmNotXor"},
                &TPen::GetMode, &TPen::SetMode)
            .Enum("Style", {"psSolid", "psDash", "psDot", "psDashDot", "psDashDotDot", "psClear", "psInsideFrame"},
                  &TPen::GetStyle, &TPen::SetStyle)
            .Int("Width", &TPen::GetWidth, &TPen::SetWidth);
        Published<TBrush>("TBrush", persistent)
            .Int("Color", &TBrush::GetColor, &TBrush::SetColor)
            .Enum("Style",
                  {"bsSolid", "bsClear", "bsHorizontal", "bsVertical", "bsFDiagonal", "bsBDiagonal", "bsCross",
                   "bsDiagCross"},
                  &TBrush::GetStyle, &TBrush::SetStyle);
        // A picture's graphic travels as its binary "Data".
        Published<TPicture>("TPicture", persistent);
        Published<TImageList>("TImageList", ParentIfRegistered("TComponent"))
            .Int("BkColor", &TImageList::BkColor, &TImageList::BkColor)
            .Int("Height", &TImageList::GetHeight, &TImageList::SetHeight)
            .Int("Width", &TImageList::GetWidth, &TImageList::SetWidth);
    });
}
