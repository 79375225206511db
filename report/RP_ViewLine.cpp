// Line and subreport views.

#include "RP_Utils.h"
#include "RP_View.h"
#include "SysUtils.h"

// ------------------------------------------------------------------- line

TrpLineView::TrpLineView() {
    Typ = gtLine;
    BaseName = "Line";
    FrameTyp = frbLeft;
    FillColor = clWhite;
}

void TrpLineView::Draw(TCanvas* canvas) {
    BeginDraw(canvas);
    // Not wider than high: vertical; the shape stays in the object.
    if (dx <= dy) {
        dx = 0;
        FrameTyp = frbLeft;
    } else {
        dy = 0;
        FrameTyp = frbTop;
    }
    ScaleGeometry();
    DrawFrame();
    RestoreGeometry();
}

TRect TrpLineView::GetClipRegion(bool outer) {
    double w = FrameWidth;
    int before = FrameStyle == rpfsDouble ? rpRound(1.5 * w) : rpRound(w / 2);
    int after = FrameStyle == rpfsDouble ? rpRound((w - 1) / 2 + w) : rpRound((w - 1) / 2);
    TRect r{x, y, x + dx + 1, y + dy + 1};
    if (dx <= dy) {
        r.Left -= before;
        r.Right += after;
    } else {
        r.Top -= before;
        r.Bottom += after;
    }
    if (outer) {
        r.Left -= 10;
        r.Top -= 10;
        r.Right += 10;
        r.Bottom += 10;
    }
    return r;
}

void TrpLineView::DeclareProperties() {
    TrpStretcheable::DeclareProperties();
    if (!HasProperty("Stretched")) AddProperty("Stretched", rpdtBoolean);
}

// -------------------------------------------------------------- subreport

TrpSubReportView::TrpSubReportView() {
    Typ = gtSubReport;
    BaseName = "SubReport";
}

void TrpSubReportView::Draw(TCanvas* canvas) {
    BeginDraw(canvas);
    ScaleGeometry();
    canvas->GetBrush()->SetColor(clWhite);
    canvas->GetPen()->SetColor(clBlack);
    canvas->GetPen()->SetWidth(1);
    canvas->Rectangle(x, y, x + dx + 1, y + dy + 1);
    TFont font;
    font.SetName("Arial");
    font.SetSize(8);
    canvas->SetFont(&font);
    canvas->SetBkMode(TRANSPARENT);
    canvas->TextOut(x + 2, y + 2, Name);
    RestoreGeometry();
}

void TrpSubReportView::LoadFromStream(TStream* stream) {
    TrpView::LoadFromStream(stream);
    SubPage = ReadIntegerFromStream(stream);
}

void TrpSubReportView::SaveToStream(TStream* stream) {
    TrpView::SaveToStream(stream);
    WriteIntegerToStream(stream, SubPage);
}

void TrpSubReportView::SetPropertyValue(const std::string& propName, const Variant& value) {
    if (UpperCase(propName) == "SUBPAGE")
        SubPage = value.IsNull() || value.IsEmpty() ? 0 : value.AsInteger();
    else
        TrpView::SetPropertyValue(propName, value);
}

Variant TrpSubReportView::GetPropertyValue(const std::string& propName) {
    if (UpperCase(propName) == "SUBPAGE") return SubPage;
    return TrpView::GetPropertyValue(propName);
}
