// The notebook's tab layout: tab height, tab widths, rows (automatic or a
// fixed number, stretched in the old style), tab rectangles and the page area.

#include <algorithm>
#include <cstdlib>
#include <vector>

#include "entmsgs.h"
#include "entnbk.h"
#include "entsupport.h"

namespace {

constexpr int kMinTabWidth = 20;
constexpr int kTabTextMargin = 12;

// Captions are measured with every "&" removed.
std::string WithoutAmpersands(const std::string& Caption) {
    std::string s;
    for (char c : Caption)
        if (c != '&') s += c;
    return s;
}

}  // namespace

void TEntNotebook::SetTabFont(TCanvas& Canvas, TFont* Font) const {
    if (SideTabs())
        Canvas.SetFont(CreateRotatedFont(Font, FTabOrientation == toRight ? 90 : 270).get());
    else
        Canvas.SetFont(Font);
}

int TEntNotebook::CaptionWidth(TEntTabPage* Page) {
    const std::string text = WithoutAmpersands(Page->GetCaption());
    auto measure = [&](TFont* font) {
        TCanvas canvas;
        SetTabFont(canvas, font);
        return canvas.TextWidth(text);
    };
    int width = measure(Page->GetFont());
    if (FUseActiveTabFont) width = std::max(width, measure(FActiveTabFont.get()));
    return width;
}

void TEntNotebook::Relayout() {
    if (FDestroying || Loading()) return;
    LayoutTabs();
    PlacePages();
    Invalidate();
}

void TEntNotebook::LayoutTabs() {
    if (FDestroying || !GetVisible()) return;
    const int count = PageCount();
    if (FTabAutoHeight) {
        const std::string measureText = LookupMessageText(SEntTabMeasureText);
        int height = 0;
        auto measure = [&](TFont* font) {
            TCanvas canvas;
            SetTabFont(canvas, font);
            height = std::max(height, canvas.TextHeight(measureText) + 4);
        };
        if (FUseActiveTabFont) measure(FActiveTabFont.get());
        measure(GetFont());
        for (int i = 0; i < count; ++i) measure(Pages(i)->GetFont());
        FTabHeight = height;
    }
    for (int i = 0; i < count; ++i) Pages(i)->FTabRect = TRect{};
    if (FTabHeight == 0 || count == 0) {
        FRowCount = 0;
        FLastRow = -1;
        FActiveRow = 0;
        return;
    }
    const int available = SideTabs() ? GetHeight() - 4 : GetWidth() - 4;

    auto shown = [&](int i) { return Designing() || Pages(i)->GetPageVisible(); };
    if (FOldStyle) {
        int common = kMinTabWidth;
        for (int i = 0; i < count; ++i)
            if (shown(i)) common = std::max(common, CaptionWidth(Pages(i)) + kTabTextMargin);
        for (int i = 0; i < count; ++i) Pages(i)->FTabWidth = shown(i) ? common : 0;
    } else {
        for (int i = 0; i < count; ++i)
            Pages(i)->FTabWidth = shown(i) ? std::max(CaptionWidth(Pages(i)) + kTabTextMargin, kMinTabWidth) : 0;
    }

    ComputeRows(available);
    if (FOldStyle) JustifyRows(available);
    FLastRow = FRowCount - 1;
    FActiveRow = (FPageIndex >= 0 && FPageIndex < count) ? Pages(FPageIndex)->FTabRow : 0;

    // The tab rectangles: the row after the active one lies at the outer edge,
    // the active row next to the page.
    const int th = FTabHeight, w = GetWidth(), h = GetHeight();
    for (int k = 0; k < FRowCount; ++k) {
        const int row = (FActiveRow + 1 + k) % FRowCount;
        int along = FTabOrientation == toLeft ? h - 2 : 2;
        for (int i = 0; i < count; ++i) {
            TEntTabPage* page = Pages(i);
            if (page->FTabRow != row || !shown(i)) continue;
            const int tw = page->FTabWidth;
            switch (FTabOrientation) {
            case toTop: page->FTabRect = Rect(along, 2 + k * th, along + tw, 2 + (k + 1) * th); break;
            case toBottom: page->FTabRect = Rect(along, h - 2 - (k + 1) * th, along + tw, h - 2 - k * th); break;
            case toRight: page->FTabRect = Rect(w - 2 - (k + 1) * th, along, w - 2 - k * th, along + tw); break;
            case toLeft: page->FTabRect = Rect(2 + k * th, along - tw, 2 + (k + 1) * th, along); break;
            }
            along += FTabOrientation == toLeft ? -tw : tw;
        }
    }
}

void TEntNotebook::ComputeRows(int Available) {
    const int count = PageCount();
    auto shown = [&](int i) { return Designing() || Pages(i)->GetPageVisible(); };
    const int fixed = std::min(FTabRowCount, count);
    if (fixed <= 0) {
        int row = 0, used = 0;
        for (int i = 0; i < count; ++i) {
            TEntTabPage* page = Pages(i);
            const int width = page->FTabWidth;
            // every row takes at least one tab; hidden tabs (width 0) join the row being filled
            if (width > 0 && used > 0 && used + width > Available) {
                ++row;
                used = 0;
            }
            page->FTabRow = row;
            used += width;
        }
        FRowCount = row + 1;
    } else {
        const int quota = std::max(1, count / fixed);
        int row = 0, inRow = 0, leftOver = 0;
        for (int i = 0; i < count; ++i) {
            TEntTabPage* page = Pages(i);
            if (!shown(i)) {
                page->FTabRow = std::min(row, fixed - 1);
                continue;
            }
            if (row < fixed) {
                page->FTabRow = row;
                if (++inRow == quota) {
                    ++row;
                    inRow = 0;
                }
            } else {
                page->FTabRow = leftOver++ % fixed;
            }
        }
        FRowCount = fixed;
    }

    // A row without a tab shown takes no room: the rows after it move up.
    std::vector<int> tabsInRow(static_cast<size_t>(FRowCount), 0);
    for (int i = 0; i < count; ++i)
        if (shown(i)) ++tabsInRow[static_cast<size_t>(Pages(i)->FTabRow)];
    std::vector<int> newRow(static_cast<size_t>(FRowCount), 0);
    int kept = 0;
    for (int r = 0; r < FRowCount; ++r) {
        newRow[static_cast<size_t>(r)] = std::max(kept - 1, 0);
        if (tabsInRow[static_cast<size_t>(r)] > 0) newRow[static_cast<size_t>(r)] = kept++;
    }
    if (kept > 0 && kept < FRowCount) {
        for (int i = 0; i < count; ++i) Pages(i)->FTabRow = newRow[static_cast<size_t>(Pages(i)->FTabRow)];
        FRowCount = kept;
    }
}

void TEntNotebook::JustifyRows(int Available) {
    const int count = PageCount();
    for (int row = 0; row < FRowCount; ++row) {
        std::vector<TEntTabPage*> tabs;
        int sum = 0;
        for (int i = 0; i < count; ++i) {
            TEntTabPage* page = Pages(i);
            if (page->FTabRow == row && page->FTabWidth > 0) {
                tabs.push_back(page);
                sum += page->FTabWidth;
            }
        }
        if (tabs.empty()) continue;
        const int n = static_cast<int>(tabs.size());
        const int diff = Available - sum;
        const int share = diff / n;
        const int remainder = std::abs(diff % n);
        const int extra = diff < 0 ? -1 : 1;
        for (int k = 0; k < n; ++k) tabs[static_cast<size_t>(k)]->FTabWidth += share + (k < remainder ? extra : 0);
    }
}

void TEntNotebook::PlacePages() {
    if (FDestroying) return;
    const int w = GetWidth(), h = GetHeight();
    const int t = FTabHeight * FRowCount;
    TRect bounds;
    if (FTabHeight == 0) {
        bounds = Bounds(0, 0, w, h);
    } else {
        switch (FTabOrientation) {
        case toTop: bounds = Bounds(1, t + 3, w - 3, h - t - 5); break;
        case toRight: bounds = Bounds(1, 1, w - t - 4, h - 3); break;
        case toBottom: bounds = Bounds(1, 1, w - 3, h - t - 5); break;
        case toLeft: bounds = Bounds(t + 3, 1, w - t - 5, h - 3); break;
        }
    }
    for (int i = 0; i < PageCount(); ++i) {
        TEntTabPage* page = Pages(i);
        if (page->GetLeft() != bounds.Left || page->GetTop() != bounds.Top || page->GetWidth() != bounds.Width() ||
            page->GetHeight() != bounds.Height())
            page->SetBounds(bounds.Left, bounds.Top, bounds.Width(), bounds.Height());
    }
}

TRect TEntNotebook::GetTabRect(int Index) const {
    if (Index < 0 || Index >= PageCount()) return TRect{};
    return Pages(Index)->FTabRect;
}

TRect TEntNotebook::GetTabTextRect(int Index) const {
    if (FTabHeight == 0 || Index < 0 || Index >= PageCount()) return TRect{};
    const TRect r = Pages(Index)->FTabRect;
    switch (FTabOrientation) {
    case toTop: return Rect(r.Left + 5, r.Top + 3, r.Right - 7, r.Bottom);
    case toRight: return Rect(r.Left, r.Top + 5, r.Right - 3, r.Bottom - 7);
    case toBottom: return Rect(r.Left + 5, r.Top, r.Right - 7, r.Bottom + 3);
    case toLeft: return Rect(r.Left - 3, r.Top + 7, r.Right, r.Bottom - 5);
    }
    return r;
}

void TEntNotebook::InvalidateTab(int Index) {
    if (FDestroying || Index < 0 || Index >= PageCount()) return;
    // The platform repaints whole controls; the seam to the page goes with it.
    Invalidate();
}

int TEntNotebook::TabAt(TPoint Pos) const {
    for (int i = 0; i < PageCount(); ++i)
        if (Pages(i)->FTabRect.Contains(Pos)) return i;
    return -1;
}
