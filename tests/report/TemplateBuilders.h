#pragma once
// Small templates built in tests: bands and memos placed on a page.

#include <string>

#include "RP_Engine.h"

inline TrpBandView* AddBandView(TrpPage* page, uint8_t type, int y, int dy, const std::string& name,
                                const std::string& source = "") {
    auto* band = new TrpBandView;
    band->SetBandType(type);
    band->Name = name;
    band->y = y;
    band->dy = dy;
    band->dx = page->RightEdge();
    band->FormatStr = source;
    page->AddObject(band);
    return band;
}

inline TrpMemoView* AddMemoView(TrpPage* page, const std::string& name, int x, int y, int dx, int dy,
                                const std::string& text) {
    auto* memo = new TrpMemoView;
    memo->Name = name;
    memo->x = x;
    memo->y = y;
    memo->dx = dx;
    memo->dy = dy;
    memo->Memo->SetText(text);
    page->AddObject(memo);
    return memo;
}

// A subreport view at (x, y) showing the page of that index; its size does
// not bound what it prints.
inline TrpSubReportView* AddSubReportView(TrpPage* page, const std::string& name, int x, int y, int subPage) {
    auto* sub = new TrpSubReportView;
    sub->Name = name;
    sub->x = x;
    sub->y = y;
    sub->dx = 200;
    sub->dy = 20;
    sub->SubPage = subPage;
    page->AddObject(sub);
    return sub;
}
