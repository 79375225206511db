// Published properties of the grids.

#include "Grids.h"

#include "ExtCtrls.h"
#include "TypInfo.h"

#include <mutex>

void RegisterGridsClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterStdCtrlsClasses();
        Published<TCustomGrid>("TCustomGrid", "TCustomControl")
            .Int("ColCount", &TCustomGrid::GetColCount, &TCustomGrid::SetColCount)
            .Int("RowCount", &TCustomGrid::GetRowCount, &TCustomGrid::SetRowCount)
            .Int("FixedCols", &TCustomGrid::GetFixedCols, &TCustomGrid::SetFixedCols)
            .Int("FixedRows", &TCustomGrid::GetFixedRows, &TCustomGrid::SetFixedRows)
            .Int("DefaultColWidth", &TCustomGrid::GetDefaultColWidth, &TCustomGrid::SetDefaultColWidth)
            .Int("DefaultRowHeight", &TCustomGrid::GetDefaultRowHeight, &TCustomGrid::SetDefaultRowHeight)
            .Int("GridLineWidth", &TCustomGrid::GetGridLineWidth, &TCustomGrid::SetGridLineWidth)
            .SetOf("Options",
                   {"goFixedVertLine", "goFixedHorzLine", "goVertLine", "goHorzLine", "goRangeSelect",
                    "goDrawFocusSelected", "goRowSizing", "goColSizing", "goRowMoving", "goColMoving", "goEditing",
                    "goTabs", "goRowSelect", "goAlwaysShowEditor", "goThumbTracking"},
                   &TCustomGrid::GetOptions, &TCustomGrid::SetOptions)
            .Int("FixedColor", &TCustomGrid::GetFixedColor, &TCustomGrid::SetFixedColor)
            .Enum("ScrollBars", {"ssNone", "ssHorizontal", "ssVertical", "ssBoth"}, &TCustomGrid::GetScrollBars,
                  &TCustomGrid::SetScrollBars)
            .Enum("BorderStyle", {"bsNone", "bsSingle"}, &TCustomGrid::GetBorderStyle, &TCustomGrid::SetBorderStyle)
            .Bool("DefaultDrawing", &TCustomGrid::DefaultDrawing, &TCustomGrid::DefaultDrawing);
        Published<TCustomDrawGrid>("TCustomDrawGrid", "TCustomGrid")
            .Event("OnDrawCell", &TCustomDrawGrid::OnDrawCell)
            .Event("OnSelectCell", &TCustomDrawGrid::OnSelectCell)
            .Event("OnGetEditText", &TCustomDrawGrid::OnGetEditText)
            .Event("OnGetEditMask", &TCustomDrawGrid::OnGetEditMask)
            .Event("OnSetEditText", &TCustomDrawGrid::OnSetEditText)
            .Event("OnColumnMoved", &TCustomDrawGrid::OnColumnMoved)
            .Event("OnRowMoved", &TCustomDrawGrid::OnRowMoved)
            .Event("OnTopLeftChanged", &TCustomDrawGrid::OnTopLeftChanged);
        Published<TDrawGrid>("TDrawGrid", "TCustomDrawGrid");
        Published<TStringGrid>("TStringGrid", "TDrawGrid");
    });
}
