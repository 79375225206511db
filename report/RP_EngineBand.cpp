// Run-time bands: printing one instance, measuring, page breaks, split
// printing, child bands and aggregates; and the band view of templates.

#include <algorithm>
#include <set>

#include "RP_DSet.h"
#include "RP_Engine.h"
#include "RP_Utils.h"
#include "SysUtils.h"

// ---------------------------------------------------------------- band view

TrpBandView::TrpBandView() {
    Typ = gtBand;
    BaseName = "Band";
    Flags = flBandOnFirstPage | flBandOnLastPage;
}

void TrpBandView::Draw(TCanvas* canvas) {
    // Bands draw nothing into prepared pages; on a design canvas they are an outline.
    BeginDraw(canvas);
}

void TrpBandView::LoadFromStream(TStream* stream) {
    TrpView::LoadFromStream(stream);
    TrpContext* context = Context();
    const int version = context ? context->TemplateVersion : rpCurrentTemplateVersion;
    if (version <= 23) return;
    ChildBand = rpReadTemplateString(stream, version);
    Columns = ReadIntegerFromStream(stream);
    ColumnWidth = ReadIntegerFromStream(stream);
    ColumnGap = ReadIntegerFromStream(stream);
    NewColumnAfter = ReadIntegerFromStream(stream);
    if (ViewFormatVersion * 10 + ClassFormatVersion > 20) Master = rpReadTemplateString(stream, version);
}

void TrpBandView::SaveToStream(TStream* stream) {
    TrpView::SaveToStream(stream);
    SaveStringToStream(ChildBand, stream);
    WriteIntegerToStream(stream, Columns);
    WriteIntegerToStream(stream, ColumnWidth);
    WriteIntegerToStream(stream, ColumnGap);
    WriteIntegerToStream(stream, NewColumnAfter);
    SaveStringToStream(Master, stream);
}

namespace {

const TrpFlagName kBandFlags[] = {
    {"FORMNEWPAGE", flBandNewPageAfter},  {"PRINTIFSUBSETEMPTY", flBandPrintIfSubsetEmpty},
    {"ONFIRSTPAGE", flBandOnFirstPage},   {"ONLASTPAGE", flBandOnLastPage},
    {"REPEATHEADER", flBandRepeatHeader}, {"PRINTCHILDIFINVISIBLE", flBandPrintChildIfInvisible},
    {"BREAKED", flBandBreaked},
};

bool AsBool(const Variant& v) { return !v.IsNull() && !v.IsEmpty() && v.AsBoolean(); }
int AsInt(const Variant& v) { return v.IsNull() || v.IsEmpty() ? 0 : v.AsInteger(); }

}  // namespace

void TrpBandView::SetPropertyValue(const std::string& propName, const Variant& value) {
    std::string p = UpperCase(propName);
    TrpBand* band = Parent;
    if (p == "CHILDBAND") {
        ChildBand = VarToStr(value);
        if (band) band->ChildBand = band->Parent->FindBand(ChildBand);
        return;
    }
    if (p == "MASTER") {
        Master = VarToStr(value);
        return;
    }
    if (rpSetNamedFlag(kBandFlags, p, value, Flags)) {
        // A subreport's page never splits its bands.
        if (band && p == "BREAKED") band->Breaked = AsBool(value) && !band->Parent->IsSubReport;
        return;
    }
    if (p == "CONDITION") {
        FormatStr = VarToStr(value);
        if (band && Context()) band->GroupCondition = Context()->Parser().ToPostfix(FormatStr);
        return;
    }
    if (p == "COLUMNS") {
        Columns = AsInt(value);
        return;
    }
    if (p == "COLUMNWIDTH") {
        ColumnWidth = AsInt(value);
        return;
    }
    if (p == "COLUMNGAP") {
        ColumnGap = AsInt(value);
        return;
    }
    if (p == "NEWCOLUMNAFTER") {
        NewColumnAfter = AsInt(value);
        return;
    }
    if (p == "DATASOURCE") {
        if (band) {
            band->FreeDataSet();
            band->SetDataSource(VarToStr(value));
        }
        return;
    }
    TrpView::SetPropertyValue(propName, value);
    if (!band) return;
    if (p == "LEFT")
        band->x = AsInt(value);
    else if (p == "TOP")
        band->y = AsInt(value);
    else if (p == "WIDTH")
        band->dx = AsInt(value);
    else if (p == "HEIGHT")
        band->dy = AsInt(value);
    else if (p == "VISIBLE")
        band->Visible = AsBool(value);
}

Variant TrpBandView::GetPropertyValue(const std::string& propName) {
    std::string p = UpperCase(propName);
    TrpBand* band = Parent;
    if (p == "CHILDBAND") return ChildBand;
    if (p == "MASTER") return Master;
    if (p == "BREAKED" && band) return band->Breaked;
    Variant flag;
    if (rpGetNamedFlag(kBandFlags, p, Flags, flag)) return flag;
    if (p == "CONDITION") return FormatStr;
    if (p == "COLUMNS") return Columns;
    if (p == "COLUMNWIDTH") return ColumnWidth;
    if (p == "COLUMNGAP") return ColumnGap;
    if (p == "NEWCOLUMNAFTER") return NewColumnAfter;
    if (p == "DATASOURCE") return std::string();
    // Without a data source there is nothing to read: at its end.
    if (p == "EOF") return !band || !band->DataSet || band->DataSet->Eof();
    if (band) {
        if (p == "LEFT") return band->x;
        if (p == "TOP") return band->y;
        if (p == "WIDTH") return band->dx;
        if (p == "HEIGHT") return band->dy;
        if (p == "VISIBLE") return band->Visible;
    }
    return TrpView::GetPropertyValue(propName);
}

Variant TrpBandView::CallMethod(const std::string& methodName, const Variant& p1, const Variant& p2,
                                const Variant& p3) {
    std::string m = UpperCase(methodName);
    if (m == "NEXT" || m == "PRIOR" || m == "FIRST") {
        if (Parent && Parent->DataSet) {
            if (m == "NEXT")
                Parent->DataSet->Next();
            else if (m == "PRIOR")
                Parent->DataSet->Prior();
            else
                Parent->DataSet->First();
        }
        return Null();
    }
    return TrpView::CallMethod(methodName, p1, p2, p3);
}

void TrpBandView::DeclareProperties() {
    TrpView::DeclareProperties();
    uint8_t t = BandType();
    auto in = [t](std::initializer_list<int> types) { return std::find(types.begin(), types.end(), t) != types.end(); };
    if (t != btPageFooter) {
        AddProperty("ChildBand", rpdtNumber);
        AddProperty("PrintChildIfInvisible", rpdtBoolean);
    }
    if (in({0, 1, 5, 6, 8, 9, 11, 12, 16})) AddProperty("FormNewPage", rpdtBoolean);
    if (in({5, 8})) AddProperty("PrintIfSubsetEmpty", rpdtBoolean);
    if (in({0, 1, 4, 5, 6, 7, 8, 9, 10, 11, 12, 16, 17, 21})) AddProperty("Breaked", rpdtBoolean);
    if (in({2, 3})) AddProperty("OnFirstPage", rpdtBoolean);
    if (t == btPageFooter) AddProperty("OnLastPage", rpdtBoolean);
    if (in({4, 7, 10, 16, 18})) AddProperty("RepeatHeader", rpdtBoolean);
    if (in({5, 8, 11, 19})) AddProperty("DataSource", rpdtNumber);
    if (in({5, 8, 11}))
        for (const char* n : {"Columns", "ColumnWidth", "ColumnGap"}) AddProperty(n, rpdtNumber);
    if (t == btGroupHeader) {
        AddProperty("Condition", rpdtNumber);
        AddProperty("Master", rpdtNumber);
    }
    AddProperty("EOF", rpdtNumber);
}

// ------------------------------------------------------------ run-time band

TrpBand::TrpBand(uint8_t type, TrpPageBuilder* parent) : Parent(parent), Typ(type) {}

TrpBand::~TrpBand() { FreeDataSet(); }

TrpContext& TrpBand::Context() const { return Parent->Engine->Context; }

bool TrpBand::Exists() const { return View != nullptr || (Typ == btNone && !Objects.empty()); }

void TrpBand::TakeView(TrpBandView* view) {
    View = view;
    view->Parent = this;
    x = view->x;
    y = view->y;
    dx = view->dx;
    dy = view->dy;
    Flags = view->Flags;
    Visible = view->IsVisible();
    Name = view->Name;
}

void TrpBand::SetDataSource(const std::string& text) {
    if (Typ == btGroupHeader) {
        GroupCondition = Context().Parser().ToPostfix(text);
        return;
    }
    if (text.find(';') != std::string::npos) return;
    TrpReport* report = Parent->Engine->Report;
    bool owned = false;
    DataSet = rpGetDataSetByName(text, report->Owner, owned);
    OwnsDataSet = owned;
    if (!DataSet && Typ == btMasterData && report->ReportType == rtSimple && report->Dataset) {
        DataSet = report->Dataset;
        DataSet->Init();
    }
}

void TrpBand::FreeDataSet() {
    if (DataSet) {
        DataSet->Exit();
        if (OwnsDataSet) delete DataSet;
    }
    DataSet = nullptr;
    OwnsDataSet = false;
    if (CrossDataSet) {
        CrossDataSet->Exit();
        if (OwnsCrossDataSet) delete CrossDataSet;
    }
    CrossDataSet = nullptr;
    OwnsCrossDataSet = false;
}

void TrpBand::RunScript() {
    if (View && View->Script->Count() > 0) Context().RunScript(View, View->Script.get());
}

bool TrpBand::WaitsForHost() const { return Parent->Host && Parent->WantsRoom; }

bool TrpBand::Draw() {
    TrpContext& context = Context();
    TrpPageEngine* engine = Parent->Engine;
    TrpReport* report = engine->Report;
    bool result = false;
    context.ActiveView = View;
    context.ActiveBand = this;
    // Drawn again after waiting for the host's next page: what printed before stays.
    const bool resuming = Suspended;
    Suspended = false;
    if (!resuming) {
        CalculatedHeight = -1;
        ForceNewPage = ForceNewColumn = 0;
        if (report->OnBeginBand) report->OnBeginBand(this);

        TrpBand* last = Parent->LastBand;
        if (last && last != this && last->ColumnNo > 1) {
            Parent->XAdjust = last->ColumnStartX;
            Parent->CurY += last->dy;
            last->ColumnNo = 1;
        }
        KeepCurY = false;
        if (!SkipScript) RunScript();
        SkipScript = false;
        int y0 = Parent->CurY;
        if (context.RootReport->Stopped) return false;
        if (Parent->Host && ForceNewPage + ForceNewColumn > 0) {
            // A subreport's band asking for a page waits for the host's next
            // one and prints there without asking again.
            SkipScript = true;
            Parent->WantsRoom = true;
            return true;
        }
        for (int i = 0; i < ForceNewPage; ++i) {
            Parent->CurColumn = Parent->Columns - 1;
            Parent->NewColumn(this);
        }
        for (int i = 0; i < ForceNewColumn; ++i) Parent->NewColumn(this);
        if (KeepCurY) Parent->CurY = y0;
    }
    // The child band: when it waits for the host's page, this band goes on with it.
    auto drawChild = [this] {
        ChildWaiting = false;
        ChildBand->Draw();
        if (WaitsForHost()) Suspended = ChildWaiting = true;
        return !Suspended;
    };

    if (Visible) {
        if (!resuming) {
            if (Typ == btColumnHeader) Parent->ColumnTopY = Parent->CurY;
            if (Typ == btPageFooter) y = Parent->CurBottomY;
        }
        if (Exists()) {
            if (!resuming) {
                CalculatedHeight = dy;
                if (Typ != btPageFooter && Typ != btOverlay && Typ != btColumnFooter && Typ != btNone) {
                    int h = CalcHeight();
                    if (Parent->CurY + h > Parent->CurBottomY && !Breaked && !Parent->CannotMove()) {
                        result = true;
                        // On a subreport's page the band waits for the host's next page.
                        if (Parent->Host) {
                            Parent->WantsRoom = true;
                            return result;
                        }
                        CheckPageBreak(0, 10000, false);
                    }
                }
                EndOfData = true;
            }
            if (rpIsDataBand(Typ) && DataSet && Next && !Next->DataSet) {
                // One record through the chain; going on, from the band that waited.
                TrpBand* from = this;
                if (resuming)
                    while (from && !from->SubReportsWaiting()) from = from->Next;
                for (TrpBand* b = from; b; b = b->Next) {
                    b->DrawBody();
                    if (b->SubReportsWaiting()) {
                        Suspended = true;
                        return true;
                    }
                }
            } else {
                if (!(resuming && ChildWaiting)) {
                    DrawBody();
                    if (SubReportsWaiting()) {
                        Suspended = true;
                        return true;
                    }
                }
                if (ChildBand && !drawChild()) return true;
                if (!rpIsDataBand(Typ) && Typ != btGroupHeader && NewPageAfter && Visible) Parent->NewPage();
            }
            if (!EndOfData) result = true;
        }
    } else {
        if (ChildBand && PrintChildIfInvisible && !drawChild()) return true;
        if (rpIsDataBand(Typ)) DoAggregate();
    }
    if (!Repeating && (Typ != btPageFooter || engine->PageNo >= engine->Pages->Count() - 1)) InitValues();
    if (report->OnEndBand) report->OnEndBand(this);
    return result;
}

void TrpBand::DrawBody() {
    const bool movesWithPage = Typ != btPageFooter && Typ != btOverlay && Typ != btNone;
    const int savedY = y;
    const int height = Stretched && movesWithPage && CalculatedHeight >= 0 ? CalculatedHeight : dy;
    bool subReports = false, newPage = false;
    if (SubReportsWaiting()) {
        // The host has started its next page: the subreports go on at its top.
        PlaySubReports({});
        subReports = newPage = true;
    } else {
        if (movesWithPage) y = Parent->CurY;
        std::vector<int> designHeights;
        for (TrpView* v : Objects) designHeights.push_back(v->dy);
        if (Stretched && movesWithPage) {
            for (TrpView* v : Objects)
                if (dynamic_cast<TrpStretcheable*>(v) && (v->Flags & flStretched) && v->dy >= 1) v->dy = height - v->y;
            MaxDY = height;
        } else {
            MaxDY = CalculatedHeight >= 0 ? CalculatedHeight : dy;
        }
        if (movesWithPage) {
            if (!Breaked) CheckPageBreak(y, height, false);
            y = Parent->CurY;
        }
        if (Breaked) {
            DrawPageBreak();
        } else {
            int startPage = Parent->Engine->PageNo;
            if (HasCross && Typ != btPageFooter) DrawCross();
            subReports = DrawObjects();
            newPage = Parent->Engine->PageNo != startPage;
        }
        for (size_t i = 0; i < Objects.size(); ++i) Objects[i]->dy = designHeights[i];
    }
    if (SubReportsWaiting()) {
        // Handed to the host with its subreports: the rest follows on the host's next page.
        y = savedY;
        return;
    }
    if (subReports) {
        // After subreports: below the lowest of them, and not above the band's bottom on its own page.
        Parent->CurY = std::max(Parent->SubMaxY, newPage ? 0 : y + height);
    } else if (movesWithPage && !Breaked) {
        Parent->CurY += height;
    }

    // Records printed across the columns of the band.
    if (Parent->LastBand != this) ColumnNo = 1;
    Parent->LastBand = this;
    if (View && View->Columns >= 2 && View->NewColumnAfter == 1) {
        if (ColumnNo == 1) ColumnStartX = Parent->XAdjust;
        ++ColumnNo;
        if (ColumnNo <= View->Columns) {
            Parent->XAdjust = ColumnStartX + (View->ColumnWidth + View->ColumnGap) * (ColumnNo - 1);
            Parent->CurY -= height;
        } else {
            Parent->XAdjust = ColumnStartX;
            ColumnNo = 1;
        }
    }
    y = savedY;
    if (rpIsDataBand(Typ)) DoAggregate();
}

bool TrpBand::DrawObjects() {
    std::vector<TrpSubReportView*> subReports;
    for (TrpView* v : Objects) {
        if (auto* sub = dynamic_cast<TrpSubReportView*>(v)) {
            if (sub->IsVisible()) subReports.push_back(sub);
            continue;
        }
        if (Parent->CrossOf.count(v)) continue;  // printed as a cross cell
        DrawObject(v);
    }
    if (subReports.empty()) return false;
    PlaySubReports(subReports);
    return true;
}

TrpPageBuilder* TrpBand::FormSubReport(TrpSubReportView* view) {
    TrpPageEngine* engine = Parent->Engine;
    TrpPages* pages = engine->Report->Pages.get();
    // A page out of range, the band's own page or one already printing prints nothing.
    if (view->SubPage < 0 || view->SubPage >= pages->Count()) return nullptr;
    TrpPage* page = pages->Pages(view->SubPage);
    if (page == Parent->Page || page->PageType != ptReport) return nullptr;
    auto& active = engine->SubReportPages;
    if (std::find(active.begin(), active.end(), page) != active.end()) return nullptr;
    TrpPageBuilder* builder = engine->BuilderOf(page);
    if (!builder->Bands[0]) return nullptr;  // not initialised for this build
    int x = Parent->XAdjust - Parent->Page->LeftEdge() + view->x + page->LeftEdge();
    active.push_back(page);
    builder->FormSubReport(Parent, x, y + view->y);
    return builder;
}

void TrpBand::PlaySubReports(const std::vector<TrpSubReportView*>& views) {
    TrpPageEngine* engine = Parent->Engine;
    TrpContext& context = Context();
    std::vector<TrpPageBuilder*> subs;
    std::vector<bool> done;
    const size_t activeBefore = engine->SubReportPages.size();
    bool handedOver = false;
    struct Restore {
        TrpPageEngine* engine;
        size_t active;
        std::vector<TrpPageBuilder*>& subs;
        bool& handedOver;
        ~Restore() {
            engine->SubReportPages.resize(active);
            if (!handedOver)
                for (TrpPageBuilder* sub : subs) sub->EndPlay();
        }
    } restore{engine, activeBefore, subs, handedOver};
    if (SubReportsWaiting()) {
        subs.swap(PendingSubReports);
        done.swap(SubFinished);
        // Still printing: no subreport inside them may form their pages anew.
        for (TrpPageBuilder* sub : subs) engine->SubReportPages.push_back(sub->Page);
        Parent->SubMaxY = Parent->CurY;
        for (size_t i = 0; i < subs.size(); ++i)
            if (!done[i]) subs[i]->ContinueOnHostPage();
    } else {
        for (TrpSubReportView* view : views)
            if (TrpPageBuilder* sub = FormSubReport(view)) subs.push_back(sub);
        done.assign(subs.size(), false);
        Parent->SubMaxY = 0;
    }
    // All play on one page until each is done or waits; then the host starts
    // a page and the waiting ones go on at its top. A band waiting at the top
    // of a page prints there, clipped, so every round prints something.
    for (;;) {
        bool waiting = false;
        for (size_t i = 0; i < subs.size(); ++i) {
            if (done[i]) continue;
            done[i] = subs[i]->PlayRecords();
            Parent->SubMaxY = std::max(Parent->SubMaxY, subs[i]->CurY);
            waiting = waiting || !done[i];
        }
        if (!waiting || context.RootReport->Stopped) break;
        if (Parent->Host) {
            // This page is itself a subreport: the band waits with its
            // subreports until the host has started its next page, after the
            // other subreports beside this page have printed what fits.
            PendingSubReports = subs;
            SubFinished = done;
            handedOver = true;
            Parent->WantsRoom = true;
            break;
        }
        Parent->NewPage();
        Parent->SubMaxY = Parent->CurY;
        for (size_t i = 0; i < subs.size(); ++i)
            if (!done[i]) subs[i]->ContinueOnHostPage();
    }
    context.ActiveBand = this;
}

void TrpBand::DrawObject(TrpView* view) {
    TrpContext& context = Context();
    TrpPageEngine* engine = Parent->Engine;
    context.ActivePage = Parent->Page;
    context.ActiveBand = this;
    if (context.FirstPassRunning && !Breaked) {
        auto* memo = dynamic_cast<TrpMemoView*>(view);
        if (!memo || memo->DrawMode == TrpDrawMode::Normal) context.RunScript(view, view->Script.get());
        return;
    }
    int dxShift = Parent->XAdjust - Parent->Page->LeftEdge();
    view->x += dxShift;
    view->y += y;
    try {
        int index = std::min(engine->PageNo, engine->Pages->Count() - 1);
        if (index >= 0) view->WritePreparedObject(engine->Pages->Page(index).Stream.get());
    } catch (const std::exception& e) {
        engine->RecordError(e);
    }
    view->x -= dxShift;
    view->y -= y;
    for (TrpView* follower : context.FollowViews) follower->OnHook(view);
}

void TrpBand::DrawCrossCell(TrpBand* cross, int cellX) {
    TrpContext& context = Context();
    TrpPageEngine* engine = Parent->Engine;
    context.ActiveBand = cross;
    cross->LineNo = LineNo;
    cross->LineThroughNo = LineThroughNo;
    if (cross->Typ == btCrossData) cross->AggregateSource = this;
    int index = std::min(engine->PageNo, engine->Pages->Count() - 1);
    for (TrpView* v : Objects) {
        auto it = Parent->CrossOf.find(v);
        if (it == Parent->CrossOf.end() || it->second != cross) continue;
        if (context.FirstPassRunning) {
            context.RunScript(v, v->Script.get());
            continue;
        }
        int savedX = v->x;
        v->x = cellX + savedX;
        v->y += y;
        try {
            if (index >= 0) v->WritePreparedObject(engine->Pages->Page(index).Stream.get());
        } catch (const std::exception& e) {
            engine->RecordError(e);
        }
        v->x = savedX;
        v->y -= y;
    }
    context.ActiveBand = this;
}

void TrpBand::DrawCross() {
    TrpContext& context = Context();
    TrpPageEngine* engine = Parent->Engine;
    TrpReport* report = engine->Report;
    const int savedPageNo = engine->PageNo;
    Parent->CrossColumnNo = 1;
    if (report->OnBeginColumn) report->OnBeginColumn(this);
    int cellX = -1;
    TrpBand* header = Parent->Band(btCrossHeader);
    // Past the right edge the row goes on on the next prepared page, added
    // as a new page when it is not there yet, with the repeated cross header.
    auto overflow = [&](int width) {
        if (cellX + width <= Parent->Page->RightEdge() || cellX <= Parent->Page->LeftEdge()) return;
        cellX = Parent->Page->LeftEdge();
        ++engine->PageNo;
        if (engine->PageNo >= engine->Pages->Count()) Parent->AddCrossTabPage();
        if (header && header->View && (header->Flags & flBandRepeatHeader)) {
            DrawCrossCell(header, cellX);
            cellX += header->dx;
        }
    };
    if (header && header->View) {
        header->RunScript();
        DrawCrossCell(header, header->x);
        cellX = header->x + header->dx;
    }
    TrpBand* data = Parent->Band(btCrossData);
    if (data && data->View) {
        if (cellX < 0) cellX = data->x;
        TrpDataset* ds = CrossRecords(data);
        std::unique_ptr<TrpUserDataset> columnsSoFar;
        if (ds) {
            ds->First();
            // A master footer after its rows' cross records ran out still
            // gets one cell per column the rows printed.
            if (ds->Eof() && Typ == btMasterFooter && data->CrossColumns > 0) {
                columnsSoFar = std::make_unique<TrpUserDataset>(nullptr);
                columnsSoFar->RangeEnd = reCount;
                columnsSoFar->RangeEndCount = data->CrossColumns;
                columnsSoFar->Init();
                columnsSoFar->First();
                ds = columnsSoFar.get();
            }
            int records = 0;
            for (; !ds->Eof() && !context.RootReport->Stopped; ds->Next()) {
                context.ActiveView = data->View;
                int width = data->dx;
                if (report->OnPrintColumn) report->OnPrintColumn(Parent->CrossColumnNo, width);
                data->RunScript();
                overflow(width);
                DrawCrossCell(data, cellX);
                data->DoAggregate();
                if (rpIsDataBand(Typ)) DoAggregate(Parent->CrossColumnNo);
                cellX += width;
                ++Parent->CrossColumnNo;
                ++records;
            }
            data->CrossColumns = std::max(data->CrossColumns, records);
            if (columnsSoFar) columnsSoFar->Exit();
        }
    }
    TrpBand* footer = Parent->Band(btCrossFooter);
    if (footer && footer->View) {
        if (cellX < 0) cellX = footer->x;
        footer->RunScript();
        overflow(footer->dx);
        DrawCrossCell(footer, cellX);
        footer->InitValues();
    }
    engine->PageNo = savedPageNo;
}

TrpDataset* TrpBand::CrossRecords(TrpBand* crossData) const {
    return crossData->DataSet ? crossData->DataSet : CrossDataSet;
}

int TrpBand::MeasureHeight() {
    if (HasCross && Typ != btPageFooter) return MeasureAcrossCrossRecords();
    return MeasureObjects();
}

int TrpBand::MeasureAcrossCrossRecords() {
    TrpContext& context = Context();
    TrpReport* report = Parent->Engine->Report;
    if (report->OnBeginColumn) report->OnBeginColumn(this);
    Parent->CrossColumnNo = 1;
    TrpBand* data = Parent->Band(btCrossData);
    TrpDataset* ds = data && data->View ? CrossRecords(data) : nullptr;
    if (!ds) return MeasureObjects();
    // Cells are measured afresh for every column and written afresh later:
    // nothing measured for one column may stand for another.
    auto measureAfresh = [&] {
        for (TrpView* v : Objects)
            if (auto* memo = dynamic_cast<TrpMemoView*>(v)) memo->DrawMode = TrpDrawMode::Normal;
    };
    int height = dy;
    for (ds->First(); !ds->Eof() && !context.RootReport->Stopped; ds->Next()) {
        int width = data->dx;
        if (report->OnPrintColumn) report->OnPrintColumn(Parent->CrossColumnNo, width);
        measureAfresh();
        height = std::max(height, MeasureObjects());
        ++Parent->CrossColumnNo;
    }
    measureAfresh();
    return height;
}

int TrpBand::MeasureObjects() {
    int height = dy;
    for (TrpView* v : Objects)
        if (auto* s = dynamic_cast<TrpStretcheable*>(v)) {
            int h = 0;
            try {
                h = s->CalcHeight();
            } catch (const std::exception& e) {
                Parent->Engine->RecordError(e);
            }
            height = std::max(height, v->y + h);
        }
    return height;
}

int TrpBand::CalcHeight() {
    if (rpIsDataBand(Typ) && DataSet && Next && !Next->DataSet) {
        int sum = 0;
        for (TrpBand* b = this; b; b = b->Next) {
            b->CalculatedHeight = b->Stretched ? b->MeasureHeight() : b->dy;
            sum += b->CalculatedHeight;
        }
        return sum;
    }
    CalculatedHeight = dy;
    if (!Stretched) return dy;
    CalculatedHeight = MeasureHeight();
    return CalculatedHeight;
}

bool TrpBand::CheckPageBreak(int atY, int height, bool pageBreak) {
    if (Typ == btColumnFooter) return false;
    if (atY + height + Parent->ColumnFooterHeight() <= Parent->CurBottomY) return false;
    if (pageBreak) return true;
    if (Parent->CannotMove()) return false;  // prints here, clipped
    Parent->NewColumn(this);
    return true;
}

void TrpBand::DrawPageBreak() {
    struct Saved {
        TrpView* View;
        int y, dy;
        bool Pending = true;
    };
    std::vector<Saved> objects;
    for (TrpView* v : Objects) {
        // Slices continue the measured lines of a memo.
        if (auto* memo = dynamic_cast<TrpMemoView*>(v); memo && memo->DrawMode == TrpDrawMode::Normal)
            memo->CalcHeight();
        objects.push_back({v, v->y, v->dy});
        if (v->BandAlign == baBottom) v->y = CalculatedHeight - v->dy;
    }
    int newHeight = 0;
    // While a page is being started the band cannot ask for another: it prints here, clipped.
    if (Parent->Breaking() || !CheckPageBreak(y, MaxDY, true)) {
        DrawObjects();
        newHeight = MaxDY;
        for (Saved& o : objects) o.Pending = false;
    }
    TrpContext& context = Context();
    auto pending = [&] {
        return std::any_of(objects.begin(), objects.end(), [](const Saved& o) { return o.Pending; });
    };
    // Pages asked for while no object could be placed: a slice that outputs
    // nothing forces its first pending object out, clipped, so the loop ends.
    while (!context.RootReport->Stopped && pending()) {
        int space = Parent->CurBottomY - Parent->ColumnFooterHeight() - y - 2;
        newHeight = 0;
        bool output = false;
        for (Saved& o : objects) {
            if (!o.Pending) continue;
            TrpView* v = o.View;
            auto* s = dynamic_cast<TrpStretcheable*>(v);
            if (v->y >= 0 && v->y < space && v->y + v->dy < space) {
                DrawObject(v);
                o.Pending = false;
                output = true;
                newHeight = std::max(newHeight, v->y + v->dy);
            } else if (v->y >= 0 && v->y < space && s) {
                auto* memo = dynamic_cast<TrpMemoView*>(v);
                int full = v->dy;
                v->dy = space - v->y + 1;
                int remain = s->RemainHeight();
                if (memo && s->MinHeight() < v->dy) {
                    memo->DrawMode = TrpDrawMode::Continued;
                    DrawObject(v);
                    output = true;
                }
                for (Saved& other : objects)
                    if (other.View != v && other.View->y > v->y && other.View->x < v->x + full &&
                        other.View->x + other.View->dx > v->x)
                        other.View->y += remain;
                v->dy = full + remain;
                newHeight = std::max(newHeight, space);
            } else if (v->y >= 0 && v->y < space) {
                if (v->y == 0) {
                    // Taller than a whole slice: it prints here, clipped.
                    DrawObject(v);
                    o.Pending = false;
                    output = true;
                    newHeight = std::max(newHeight, space);
                } else {
                    v->y = space;
                }
            } else if (v->y < 0 && s) {
                auto* memo = dynamic_cast<TrpMemoView*>(v);
                int savedY = v->y, savedDy = v->dy;
                if (v->y + v->dy >= space) {
                    v->y = 0;
                    v->dy = space;
                    if (memo) memo->DrawMode = TrpDrawMode::Continued;
                    DrawObject(v);
                    output = true;
                    v->y = savedY;
                    v->dy = savedDy + s->RemainHeight();
                } else {
                    v->dy = v->y + v->dy;
                    v->y = 0;
                    if (memo) memo->DrawMode = TrpDrawMode::Continued;
                    DrawObject(v);
                    output = true;
                    newHeight = std::max(newHeight, v->dy);
                    o.Pending = false;
                }
            }
        }
        if (!output && pending()) {
            for (Saved& o : objects)
                if (o.Pending) {
                    int savedDy = o.View->dy;
                    if (o.View->y < 0) o.View->y = 0;
                    o.View->dy = std::min(o.View->dy, std::max(1, space - o.View->y));
                    DrawObject(o.View);
                    o.View->dy = savedDy;
                    o.Pending = false;
                    break;
                }
        }
        if (pending()) {
            for (Saved& o : objects)
                if (o.Pending) o.View->y -= space;
            Parent->NewColumn(this);
            y = Parent->CurY;
        }
    }
    MaxDY = newHeight;
    for (Saved& o : objects) {
        o.View->y = o.y;
        o.View->dy = o.dy;
    }
    Parent->CurY += MaxDY;
}

// --------------------------------------------------------------- aggregates

namespace {

std::vector<std::string> KeyFields(const std::string& key) {
    std::vector<std::string> fields;
    size_t start = 0;
    for (size_t i = 0; i < key.size(); ++i)
        if (key[i] == '\x01') {
            fields.push_back(key.substr(start, i - start));
            start = i + 1;
        }
    return fields;
}

}  // namespace

TrpAggregateBand* TrpBand::GetAccumulatingBand() const {
    // A cross data cell shows, per column, what the band it crosses shows:
    // the values of that band's accumulating band.
    if (Typ == btCrossData) return AggregateSource ? AggregateSource->AggregateSource : nullptr;
    return AggregateSource;
}

int TrpBand::CurrentColumn() const { return Parent->CrossColumnNo; }

void TrpBand::InitValues() {
    if (Typ == btGroupHeader) {
        for (TrpBand* g = this; g; g = g->NextGroup)
            g->LastGroupValue =
                g->GroupCondition.empty() ? Variant() : Context().Parser().EvalPostfix(g->GroupCondition);
        return;
    }
    if (!AggregateSource) return;
    TrpVariables& values = AggregateSource->Values;
    for (int i = 0; i < values.Count(); ++i) {
        std::vector<std::string> f = KeyFields(values.GetName(i));
        // Entries held per cross column carry the column in front.
        if (f.size() == 5) f.erase(f.begin());
        if (f.size() != 4) continue;
        if (!SameText(f[0], Name)) continue;
        // MIN and MAX start from the far ends, so that any record replaces them.
        values.SetValue(i, rpAggregateStartValue(f[1].empty() ? 0 : f[1][0]));
    }
    AggregateSource->Count = 0;
    const std::string name = UpperCase(Name);
    AggregateSource->ShownCounts[name] = 0;
    for (auto& [key, count] : AggregateSource->ColumnCounts)
        if (key.compare(key.find('\x01') + 1, std::string::npos, name) == 0) count = 0;
}

int TrpBand::GetAggregateCount(const std::string& showingBand) const {
    if (showingBand.find('\x01') != std::string::npos) {
        auto it = ColumnCounts.find(UpperCase(showingBand));
        return it == ColumnCounts.end() ? 0 : it->second;
    }
    auto it = ShownCounts.find(UpperCase(showingBand));
    return it == ShownCounts.end() ? Records : it->second;
}

void TrpBand::DoAggregate(int crossColumn) {
    // A record adds to the band's own entries; a cross cell only to the
    // entries of its column, each made from its declared entry ("0" in
    // front) on the column's first record.
    const std::string column = crossColumn > 0 ? std::to_string(crossColumn) + '\x01' : std::string();
    if (crossColumn > 0) {
        std::vector<std::pair<std::string, Variant>> copies;
        for (int i = 0; i < Values.Count(); ++i) {
            std::vector<std::string> f = KeyFields(Values.GetName(i));
            if (f.size() != 5 || f[0] != "0") continue;
            std::string copy = column + Values.GetName(i).substr(2);
            if (Values.IndexOf(copy) < 0) copies.push_back({copy, rpAggregateStartValue(f[2].empty() ? 0 : f[2][0])});
        }
        for (const auto& [key, start] : copies) Values.SetVariable(key, start);
    }
    std::set<std::string> counted;  // the showing bands of the column's entries
    std::string lastExpression;
    Variant lastValue;
    bool haveLast = false;
    for (int i = 0; i < Values.Count(); ++i) {
        std::vector<std::string> f = KeyFields(Values.GetName(i));
        if (f.size() == 5) {
            if (crossColumn <= 0 || f[0] + '\x01' != column) continue;
            f.erase(f.begin());
        } else if (f.size() != 4 || crossColumn > 0) {
            continue;
        }
        char code = f[1].empty() ? 0 : f[1][0];
        if (!Visible && Trim(f[3]) != "1") continue;
        Variant value;
        if (code != rpagCount) {
            if (haveLast && f[2] == lastExpression) {
                value = lastValue;
            } else {
                try {
                    value = Context().Calc(f[2]);
                } catch (const std::exception& e) {
                    Parent->Engine->RecordError(e);
                }
                lastExpression = f[2];
                lastValue = value;
                haveLast = true;
            }
        }
        Variant entry = Values.GetValue(i);
        rpAccumulateAggregate(code, entry, value);
        Values.SetValue(i, entry);
        if (crossColumn > 0) counted.insert(column + UpperCase(f[0]));
    }
    if (crossColumn > 0) {
        for (const std::string& key : counted) ++ColumnCounts[key];
        return;
    }
    ++Count;
    ++Records;
    for (auto& [name, count] : ShownCounts) ++count;
}
