// The page builder (bands of a template page, the data loop, new pages and
// columns, headers and footers) and the page engine of one build.

#include <algorithm>

#include "RP_Dict.h"
#include "RP_Engine.h"
#include "RP_Vars.h"
#include "SysUtils.h"

// ------------------------------------------------------------ page builder

TrpPageBuilder::TrpPageBuilder(TrpPage* page, TrpPageEngine* engine) : Page(page), Engine(engine) {}

TrpPageBuilder::~TrpPageBuilder() {
    for (TrpView* v : Page->Objects) v->Parent = nullptr;
}

TrpBand* TrpPageBuilder::FindBand(const std::string& name) const {
    for (const auto& slot : Bands)
        for (TrpBand* b = slot.get(); b; b = b->Next)
            if (b->View && SameText(b->Name, name)) return b;
    return nullptr;
}

int TrpPageBuilder::BottomEdge() const {
    TrpBand* footer = Band(btPageFooter);
    return Page->BottomEdge() - (footer && footer->Exists() ? footer->dy : 0);
}

int TrpPageBuilder::ColumnFooterHeight() const {
    // A subreport prints no column footer.
    if (IsSubReport) return 0;
    TrpBand* footer = Band(btColumnFooter);
    return footer && footer->Exists() && !FSummaryHidesColumnFooter ? footer->dy : 0;
}

bool TrpPageBuilder::ShownInSubReport() const {
    TrpPages* pages = Engine->Report->Pages.get();
    for (int i = 0; i < pages->Count(); ++i) {
        TrpPage* other = pages->Pages(i);
        if (other == Page || other->PageType != ptReport) continue;
        for (TrpView* v : other->Objects)
            if (auto* sub = dynamic_cast<TrpSubReportView*>(v))
                if (sub->SubPage >= 0 && sub->SubPage < pages->Count() && pages->Pages(sub->SubPage) == Page)
                    return true;
    }
    return false;
}

void TrpPageBuilder::CreateBands() {
    TrpContext& context = Engine->Context;
    // Known before the bands take their flags: a subreport's page never
    // starts pages or splits bands itself.
    IsSubReport = ShownInSubReport();
    for (int t = 0; t < rpBandTypeCount; ++t) Bands[size_t(t)] = std::make_unique<TrpBand>(uint8_t(t), this);
    for (TrpView* v : Page->Objects) {
        v->Parent = nullptr;
        if (v->Flags & 0x8000) context.FollowViews.push_back(v);
    }
    // Cross bands: vertical strips; the objects inside one belong to it as
    // cells and keep their place in a horizontal band as well.
    CrossOf.clear();
    for (int t = btCrossHeader; t <= btCrossFooter; ++t)
        for (TrpView* v : Page->Objects) {
            auto* view = dynamic_cast<TrpBandView*>(v);
            if (!view || view->BandType() != t || Band(t)->View) continue;
            TrpBand* band = Band(t);
            band->TakeView(view);
            if (view->FormatStr.find(';') == std::string::npos) band->SetDataSource(view->FormatStr);
            for (TrpView* o : Page->Objects)
                if (o->Typ != gtBand && !CrossOf.count(o) && o->x >= band->x && o->x + o->dx <= band->x + band->dx) {
                    o->x -= band->x;
                    CrossOf[o] = band;
                }
        }
    // Horizontal bands, in type order, each chain sorted by y.
    for (int t = 0; t < rpBandTypeCount; ++t) {
        if (t >= btCrossHeader && t <= btCrossFooter) continue;
        std::vector<std::unique_ptr<TrpBand>> chain;
        for (TrpView* v : Page->Objects) {
            auto* view = dynamic_cast<TrpBandView*>(v);
            if (!view || view->BandType() != t) continue;
            std::unique_ptr<TrpBand> band =
                chain.empty() ? std::move(Bands[size_t(t)]) : std::make_unique<TrpBand>(uint8_t(t), this);
            if (!band) band = std::make_unique<TrpBand>(uint8_t(t), this);
            band->TakeView(view);
            band->Stretched = view->Flags & flStretched;
            band->PrintIfSubsetEmpty = view->Flags & flBandPrintIfSubsetEmpty;
            band->PrintChildIfInvisible = view->Flags & flBandPrintChildIfInvisible;
            band->NewPageAfter = !IsSubReport && (view->Flags & flBandNewPageAfter);
            band->Breaked = !IsSubReport && (view->Flags & flBandBreaked);
            band->SetDataSource(view->FormatStr);
            for (TrpView* o : Page->Objects) {
                if (o->Typ == gtBand || o->Parent) continue;
                if (o->y >= band->y && o->y <= band->y + band->dy) {
                    o->Parent = band.get();
                    o->y -= band->y;
                    band->Objects.push_back(o);
                    if (CrossOf.count(o)) band->HasCross = true;
                }
            }
            chain.push_back(std::move(band));
        }
        if (chain.empty()) {
            if (!Bands[size_t(t)]) Bands[size_t(t)] = std::make_unique<TrpBand>(uint8_t(t), this);
            continue;
        }
        std::stable_sort(chain.begin(), chain.end(), [](const auto& a, const auto& b) { return a->y < b->y; });
        for (size_t i = chain.size() - 1; i > 0; --i) {
            chain[i]->Prev = chain[i - 1].get();
            chain[i - 1]->Next = chain[i].get();
            chain[i - 1]->NextOwned = std::move(chain[i]);
        }
        Bands[size_t(t)] = std::move(chain[0]);
    }
    // Subreports print after the other objects of their band.
    for (const auto& slot : Bands)
        for (TrpBand* b = slot.get(); b; b = b->Next)
            std::stable_partition(b->Objects.begin(), b->Objects.end(),
                                  [](TrpView* v) { return !dynamic_cast<TrpSubReportView*>(v); });
    // Objects in no band belong to the band of type 22.
    TrpBand* none = Band(btNone);
    for (TrpView* o : Page->Objects)
        if (o->Typ != gtBand && !o->Parent) {
            o->Parent = none;
            none->Objects.push_back(o);
        }
    // Headers and footers of the three levels find their data bands.
    const int levels[3][3] = {{btMasterHeader, btMasterData, btMasterFooter},
                              {btDetailHeader, btDetailData, btDetailFooter},
                              {btSubDetailHeader, btSubDetailData, btSubDetailFooter}};
    for (const auto& level : levels) {
        for (TrpBand* h = Band(level[0]); h && h->View; h = h->Next)
            for (TrpBand* d = Band(level[1]); d && d->View; d = d->Next)
                if (d->y > h->y + h->dy) {
                    if (!d->Header) {
                        d->Header = h;
                        h->DataBand = d;
                    }
                    break;
                }
        for (TrpBand* f = Band(level[2]); f && f->View; f = f->Next) {
            TrpBand* last = nullptr;
            for (TrpBand* d = Band(level[1]); d && d->View; d = d->Next)
                if (d->y + d->dy <= f->y) last = d;
            if (last && !last->Footer) {
                last->Footer = f;
                f->DataBand = last;
            }
        }
    }
    // Group footers pair with group headers from the inside out.
    std::vector<TrpBand*> headers, footers;
    for (TrpBand* g = Band(btGroupHeader); g && g->View; g = g->Next) headers.push_back(g);
    for (TrpBand* f = Band(btGroupFooter); f && f->View; f = f->Next) footers.push_back(f);
    for (size_t i = 0; i < headers.size() && i < footers.size(); ++i)
        headers[headers.size() - 1 - i]->Footer = footers[i];
    // "Band=source;..." in the cross data band gives named bands their own cross records.
    if (TrpBand* crossData = Band(btCrossData);
        crossData->View && crossData->View->FormatStr.find(';') != std::string::npos) {
        std::string list = crossData->View->FormatStr;
        size_t from = 0;
        while (from < list.size()) {
            size_t end = list.find(';', from);
            if (end == std::string::npos) end = list.size();
            std::string entry = list.substr(from, end - from);
            size_t eq = entry.find('=');
            if (eq != std::string::npos)
                if (TrpBand* b = FindBand(Trim(entry.substr(0, eq)));
                    b && b->Typ >= btMasterHeader && b->Typ <= btChild) {
                    bool owned = false;
                    b->CrossDataSet = rpGetDataSetByName(Trim(entry.substr(eq + 1)), Engine->Report->Owner, owned);
                    b->OwnsCrossDataSet = owned;
                }
            from = end + 1;
        }
    }
    // Child bands; a link that would come back to a band of its own chain is dropped.
    for (const auto& slot : Bands)
        for (TrpBand* b = slot.get(); b; b = b->Next)
            if (b->View && !b->View->ChildBand.empty()) b->ChildBand = FindBand(b->View->ChildBand);
    for (const auto& slot : Bands)
        for (TrpBand* b = slot.get(); b; b = b->Next) {
            std::vector<TrpBand*> seen{b};
            for (TrpBand* c = b; c->ChildBand; c = c->ChildBand) {
                if (std::find(seen.begin(), seen.end(), c->ChildBand) != seen.end()) {
                    c->ChildBand = nullptr;
                    break;
                }
                seen.push_back(c->ChildBand);
            }
        }
    // Group headers join the group list of the data band they group.
    if (Band(btMasterData)->View)
        for (TrpBand* g : headers) {
            TrpBand* d = g->View->Master.empty() ? Band(btMasterData) : FindBand(g->View->Master);
            if (!d || !rpIsDataBand(d->Typ)) continue;
            if (!d->FirstGroup) {
                d->FirstGroup = d->LastGroup = g;
            } else {
                d->LastGroup->NextGroup = g;
                g->PrevGroup = d->LastGroup;
                d->LastGroup = g;
            }
        }
    Columns = Page->Columns > 0 ? Page->Columns : 1;
    ColumnWidth = (Page->RightEdge() - Page->LeftEdge() - (Columns - 1) * Page->ColumnGap) / Columns;
    RecordNo = 1;
    CrossColumnNo = 1;
    MaxLevel = Band(btSubDetailData)->View ? 3 : Band(btDetailData)->View ? 2 : Band(btMasterData)->View ? 1 : 0;
}

void TrpPageBuilder::RegisterAggregates(TrpBand* band) {
    TrpContext& context = Engine->Context;
    TrpReport* report = Engine->Report;
    for (TrpBand* b = band; b && b->View; b = b->Next) {
        std::vector<TrpBand*> shown{b};
        for (TrpBand* c = b->ChildBand; c && shown.size() < size_t(rpBandTypeCount * 4); c = c->ChildBand)
            shown.push_back(c);
        for (TrpBand* s : shown) {
            // The cells a horizontal band has in the cross data band show
            // their aggregates per cross column.
            TStringList calls, cellCalls;
            TAggregateFunctionsSplitter splitter(&calls, report->Dictionary->Variables.get());
            TAggregateFunctionsSplitter cellSplitter(&cellCalls, report->Dictionary->Variables.get());
            auto scanScript = [&](TAggregateFunctionsSplitter& to, TStrings* script) {
                if (!script || script->Count() == 0) return;
                TStringList compiled, errors;
                context.Interpreter().CompileScript(script, &compiled, &errors);
                to.SplitScript(&compiled);
            };
            scanScript(splitter, s->View ? s->View->Script.get() : nullptr);
            // A cross band's objects are the cells in its strip.
            std::vector<TrpView*> objects = s->Objects;
            if (s->Typ >= btCrossHeader && s->Typ <= btCrossFooter)
                for (TrpView* v : Page->Objects)
                    if (auto it = CrossOf.find(v); it != CrossOf.end() && it->second == s) objects.push_back(v);
            for (TrpView* v : objects) {
                auto cross = CrossOf.find(v);
                bool cell = s->Typ != btCrossFooter && cross != CrossOf.end() && cross->second->Typ == btCrossData;
                TAggregateFunctionsSplitter& to = cell ? cellSplitter : splitter;
                if (dynamic_cast<TrpMemoView*>(v)) to.SplitMemo(v->Memo.get());
                scanScript(to, v->Script.get());
            }
            context.ActiveBand = s;
            TrpRestore<bool> quiet(context.Resolver().Quiet, true);
            for (TStringList* list : {&calls, &cellCalls}) {
                TrpRestore<bool> perColumn(s->DeclaringCrossCell, list == &cellCalls);
                for (int i = 0; i < list->Count(); ++i) {
                    try {
                        context.Calc(list->Get(i));
                    } catch (const Exception&) {
                        // Registration evaluates quietly; the error shows when the band prints.
                    }
                }
            }
        }
    }
}

void TrpPageBuilder::PrepareObjects() {
    TrpContext& context = Engine->Context;
    context.ActivePage = Page;
    for (TrpView* v : Page->Objects)
        if (auto* memo = dynamic_cast<TrpMemoView*>(v); memo && !memo->HighlightStr.empty())
            memo->HighlightStr = context.Parser().ToPostfix(memo->HighlightStr);
    TrpRestore<bool> preparing(Engine->PreparingAggregates, true);
    const std::vector<int> shownBy[3] = {{3, 15, 6, 17, 1}, {3, 15, 6, 9, 17, 1}, {3, 15, 6, 9, 12, 17, 1}};
    const int dataTypes[3] = {btMasterData, btDetailData, btSubDetailData};
    for (int level = 0; level < 3; ++level)
        for (TrpBand* d = Band(dataTypes[level]); d && d->View; d = d->Next) {
            Engine->AggregateDataBand = d;
            for (int type : shownBy[level]) RegisterAggregates(Band(type));
        }
    // Cross footers show totals over the cross records.
    if (TrpBand* crossData = Band(btCrossData); crossData->View) {
        Engine->AggregateDataBand = crossData;
        RegisterAggregates(Band(btCrossFooter));
    }
    Engine->AggregateDataBand = nullptr;
    context.ActiveBand = nullptr;
}

bool TrpPageBuilder::AtPageStart() const { return CurY <= FStartY; }

void TrpPageBuilder::MarkPageStart() { FStartY = CurY; }

void TrpPageBuilder::ShowBand(TrpBand* band) {
    if (!band) return;
    if (!Recording) {
        band->Draw();
        return;
    }
    Record(band, raShow);
    // The group test that follows needs the group's value as printing will set it.
    if (band->Typ == btGroupHeader) band->InitValues();
}

void TrpPageBuilder::Record(TrpBand* band, TRecordAction action) {
    Records.push_back({band, action, band->LineNo, band->LineThroughNo, RecordNo});
}

void TrpPageBuilder::ShowBandByName(const std::string& name) {
    for (const auto& slot : Bands)
        for (TrpBand* b = slot.get(); b; b = b->Next)
            if (b->View && SameText(b->View->Name, name)) ShowBand(b);
}

void TrpPageBuilder::PrintStack() {
    std::vector<TrpBand*> stack;
    stack.swap(FStack);
    for (TrpBand* b : stack)
        if (b->Exists()) ShowBand(b);
}

void TrpPageBuilder::BuildPage() {
    TrpReport* report = Engine->Report;
    TrpContext& context = Engine->Context;
    TrpBand* master = Band(btMasterData);
    if (!report->PrintIfEmpty) {
        bool empty = !master->DataSet;
        if (!empty) {
            try {
                master->DataSet->First();
                empty = master->DataSet->Eof();
            } catch (const Exception&) {
                empty = true;
            }
        }
        if (empty) {
            if (Engine->AppendPage) ++Engine->PageNo;
            return;
        }
    }
    PrintingSummary = false;
    context.RunScript(nullptr, Page->Script.get());
    if (Engine->AppendPage && Engine->SavedCurY == Engine->SavedBottomY) {
        Engine->AppendPage = Engine->LastPageHasFooter = false;
        Engine->PageNo = Engine->Pages->Count();
    }
    CurBottomY = Engine->AppendPage && Engine->LastPageHasFooter ? Engine->SavedBottomY : BottomEdge();
    CurColumn = 0;
    XAdjust = Page->LeftEdge();
    if (!Engine->AppendPage) {
        Engine->Pages->Add(Page);
        Engine->PageNo = Engine->Pages->Count() - 1;
        CurY = Page->TopEdge();
        ShowBand(Band(btOverlay));
        ShowBand(Band(btNone));
    } else {
        CurY = Engine->SavedCurY;
    }
    const int startPage = Engine->PageNo;
    const bool manual = bool(report->OnManualBuild);
    if (!manual) ShowBand(Band(btReportTitle));
    if (Engine->PageNo == startPage) {
        TrpBand* header = Band(btPageHeader);
        if (header->Exists() && (header->Flags & flBandOnFirstPage)) ShowBand(header);
        ShowBand(Band(btColumnHeader));
    }
    MarkPageStart();
    if (!manual && MaxLevel > 0) DoLoop(1);
    if (!manual) {
        PrintingSummary = true;
        ShowBand(Band(btColumnFooter));
        {
            TrpRestore<bool> hidden(FSummaryHidesColumnFooter, true);
            ShowBand(Band(btReportSummary));
        }
        PrintingSummary = false;
    } else {
        report->OnManualBuild(Page);
    }
    Engine->SavedCurY = CurY;
    Engine->SavedBottomY = CurBottomY;
    if (CurColumn > 0) Engine->SavedCurY = Page->BottomEdge();
    CurColumn = 0;
    XAdjust = Page->LeftEdge();
    Engine->LastPageHasFooter = false;
    if (!manual) {
        TrpBand* footer = Band(btPageFooter);
        bool onFirst = footer->Flags & flBandOnFirstPage, onLast = footer->Flags & flBandOnLastPage;
        if ((Engine->PageNo == 0 && onFirst) || onLast) {
            Engine->LastPageHasFooter = footer->Exists();
            if (footer->Exists()) FinishPage(true);
        }
    }
    if (report->OnEndPage) report->OnEndPage(Engine->PageNo);
    TrpReport* root = context.RootReport;
    if (root && root != report && root->OnEndPage) root->OnEndPage(Engine->PageNo);
    Engine->PageNo = startPage + 1;
    LastBand = nullptr;
}

void TrpPageBuilder::DoLoop(int level) {
    TrpContext& context = Engine->Context;
    const int type = level == 1 ? btMasterData : level == 2 ? btDetailData : btSubDetailData;
    for (TrpBand* b = Band(type); b && b->View; b = b->Next) {
        TrpDataset* ds = b->DataSet;
        if (!ds) continue;
        ds->First();
        b->LineNo = 1;
        b->LineThroughNo = 1;
        if (Recording) Record(b, raFirst);
        for (TrpBand* g = b->FirstGroup; g; g = g->NextGroup) g->LineNo = g->LineThroughNo = 0;
        if (ds->Eof()) continue;
        for (TrpBand* g = b->FirstGroup; g; g = g->NextGroup) {
            FStack.push_back(g);
            ++g->LineNo;
            ++g->LineThroughNo;
        }
        if (b->Header) FStack.push_back(b->Header);
        if (b->Footer) b->Footer->InitValues();
        while (!ds->Eof() && !context.RootReport->Stopped) {
            FStack.push_back(b);
            if (b->PrintIfSubsetEmpty) PrintStack();
            bool printed = true;
            if (MaxLevel > level) {
                DoLoop(level + 1);
                if (!FStack.empty()) {
                    if (b->PrintIfSubsetEmpty) {
                        PrintStack();
                    } else {
                        FStack.pop_back();
                        printed = false;
                    }
                }
            } else {
                PrintStack();
            }
            ds->Next();
            for (TrpBand* g = b->FirstGroup; g; g = g->NextGroup) {
                bool eof = ds->Eof();
                bool breaks = eof || g->LastGroupValue.IsEmpty() ||
                              !(context.Parser().EvalPostfix(g->GroupCondition) == g->LastGroupValue);
                if (!breaks) continue;
                bool moved = false;
                if (!eof) {
                    try {
                        ds->Prior();
                        moved = true;
                    } catch (const Exception&) {
                        // Not moved: the footers see the next record.
                    }
                }
                for (TrpBand* h = b->LastGroup; h && h != g; h = h->PrevGroup) {
                    if (h->Footer) {
                        FStack.push_back(h->Footer);
                        h->Footer->LineNo = 0;
                    }
                    h->LineNo = 0;
                }
                if (g->Footer) FStack.push_back(g->Footer);
                PrintStack();
                if (!eof) {
                    if (moved) ds->Next();
                    if (g->NewPageAfter && g->Visible) NewPage();
                    for (TrpBand* h = g; h; h = h->NextGroup) {
                        FStack.push_back(h);
                        ++h->LineNo;
                        ++h->LineThroughNo;
                    }
                    b->LineNo = 0;
                }
                break;
            }
            if (printed) {
                ++RecordNo;
                ++b->LineThroughNo;
                ++b->LineNo;
                if (!ds->Eof() && b->NewPageAfter && b->Visible) NewPage();
            }
            if (Recording) Record(b, raNext);
        }
        if (FStack.empty())
            ShowBand(b->Footer);
        else
            FStack.pop_back();
    }
}

void TrpPageBuilder::FormSubReport(TrpPageBuilder* host, int x, int y) {
    EndPlay();
    Host = host;
    XAdjust = x;
    CurY = y;
    CurBottomY = host->CurBottomY;
    CurColumn = 0;
    Columns = 1;
    LastBand = nullptr;
    {
        TrpRestore<TrpPageBuilder*> current(Engine->Current, this);
        TrpRestore<bool> recording(Recording, true);
        ShowBand(Band(btReportTitle));
        if (MaxLevel > 0) DoLoop(1);
        ShowBand(Band(btReportSummary));
    }
    // Nothing is printed yet: a first band that does not fit here moves to
    // the host's next page.
    FStartY = -1;
}

bool TrpPageBuilder::PlayRecords() {
    TrpRestore<TrpPageBuilder*> current(Engine->Current, this);
    TrpContext& context = Engine->Context;
    while (PlayIndex < Records.size() && !context.RootReport->Stopped) {
        const TRecord& record = Records[PlayIndex];
        TrpBand* band = record.Band;
        band->LineNo = record.LineNo;
        band->LineThroughNo = record.LineThroughNo;
        RecordNo = record.RecordNo;
        switch (record.Action) {
        case raFirst:
            if (band->DataSet) band->DataSet->First();
            break;
        case raNext:
            if (band->DataSet) band->DataSet->Next();
            break;
        case raShow:
            // A band that waits stays the next record: drawn again on the
            // host's next page, it starts afresh or goes on where it stopped.
            WantsRoom = false;
            band->Draw();
            if (WantsRoom) return false;
            break;
        }
        ++PlayIndex;
    }
    return true;
}

void TrpPageBuilder::ContinueOnHostPage() {
    CurY = Host->CurY;
    CurBottomY = Host->CurBottomY;
    LastBand = nullptr;
    MarkPageStart();
}

void TrpPageBuilder::EndPlay() {
    Records.clear();
    PlayIndex = 0;
    Host = nullptr;
    WantsRoom = false;
    for (const auto& slot : Bands)
        for (TrpBand* b = slot.get(); b; b = b->Next) {
            for (TrpPageBuilder* sub : b->PendingSubReports) sub->EndPlay();
            b->PendingSubReports.clear();
            b->SubFinished.clear();
            b->Suspended = b->ChildWaiting = false;
        }
}

void TrpPageBuilder::NewPage() {
    // A subreport's bands wait for the host's next page instead: the host
    // starts it once all its subreports have printed what fits.
    if (Host) return;
    ++FBreaking;
    Engine->ShowProgress(Engine->PageNo + 1);
    if (!PrintingSummary) ShowBand(Band(btColumnFooter));
    FinishPage(false);
    CurBottomY = BottomEdge();
    Engine->Pages->Add(Page);
    Engine->PageNo = Engine->Pages->Count() - 1;
    Engine->AppendPage = false;
    ShowBand(Band(btOverlay));
    CurY = Page->TopEdge();
    ShowBand(Band(btPageHeader));
    ShowBand(Band(btColumnHeader));
    --FBreaking;
    MarkPageStart();
}

void TrpPageBuilder::AddCrossTabPage() {
    // The output pages are the outermost page's, whichever page prints the row.
    if (Host) {
        Host->AddCrossTabPage();
        return;
    }
    TrpContext& context = Engine->Context;
    // What the row's printing holds stays as it was; the page's bands print
    // where they cannot move.
    TrpRestore<int> breaking(FBreaking, FBreaking + 1), y(CurY, CurY), x(XAdjust, Page->LeftEdge()),
        column(CrossColumnNo, CrossColumnNo);
    TrpRestore<TrpBand*> last(LastBand, LastBand), active(context.ActiveBand, context.ActiveBand);
    TrpRestore<TrpView*> view(context.ActiveView, context.ActiveView);
    Engine->Pages->Add(Page);
    ShowBand(Band(btOverlay));
    CurY = Page->TopEdge();
    ShowBand(Band(btPageHeader));  // never the first output page
    Engine->ShowProgress(Engine->PageNo + 1);
}

void TrpPageBuilder::FinishPage(bool footerOnFirstPage) {
    TrpReport* report = Engine->Report;
    TrpContext& context = Engine->Context;
    CurColumn = 0;
    XAdjust = Page->LeftEdge();
    TrpBand* footer = Band(btPageFooter);
    const int count = Engine->Pages->Count();
    if (Engine->PageNo == 0 && !footerOnFirstPage && !(footer->Flags & flBandOnFirstPage)) Engine->PageNo = count;
    while (Engine->PageNo < count) {
        if (!(Engine->AppendPage && Engine->LastPageHasFooter)) {
            if (report->OnEndPage) report->OnEndPage(Engine->PageNo);
            TrpReport* root = context.RootReport;
            if (root && root != report && root->OnEndPage) root->OnEndPage(Engine->PageNo);
            ShowBand(footer);
        }
        ++Engine->PageNo;
    }
    Engine->PageNo = Engine->Pages->Count();
}

void TrpPageBuilder::NewColumn(TrpBand* band) {
    if (Host) return;
    ++FBreaking;
    if (CurColumn < Columns - 1) {
        ShowBand(Band(btColumnFooter));
        ++CurColumn;
        XAdjust += ColumnWidth + Page->ColumnGap;
        CurY = ColumnTopY;
        ShowBand(Band(btColumnHeader));
    } else {
        NewPage();
    }
    for (TrpBand* g = Band(btGroupHeader); g && g->View && g != band; g = g->Next)
        if ((g->Flags & flBandRepeatHeader) && !PrintingSummary) {
            TrpRestore<bool> repeating(g->Repeating, true);
            ShowBand(g);
        }
    if (band && rpIsDataBand(band->Typ) && band->Header && (band->Header->Flags & flBandRepeatHeader)) {
        TrpRestore<bool> repeating(band->Header->Repeating, true);
        ShowBand(band->Header);
    }
    --FBreaking;
    MarkPageStart();
}

// ------------------------------------------------------------- page engine

TrpPageEngine::TrpPageEngine(TrpReport* report)
    : Report(report),
      Context(report->Context()),
      Pages(report->Context().RootReport ? report->Context().RootReport->EMFPages.get() : report->EMFPages.get()) {}

TrpPageEngine::~TrpPageEngine() = default;

TrpPageBuilder* TrpPageEngine::BuilderOf(TrpPage* page) {
    for (auto& b : Builders)
        if (b->Page == page) return b.get();
    Builders.push_back(std::make_unique<TrpPageBuilder>(page, this));
    return Builders.back().get();
}

void TrpPageEngine::ShowProgress(int pageNo) { Report->ShowProgressText(pageNo); }

void TrpPageEngine::RecordError(const std::exception& e) {
    if (!Context.ReportErrorFlag) {
        Context.ReportErrorFlag = true;
        Context.ReportErrorText = rpCalcErrorText(Report->GetName(), Context.ActiveView, e.what());
    }
    if (Context.RootReport) Context.RootReport->Stopped = true;
}

TrpAggregateBand* TrpPageEngine::ShowingBand() { return Context.ActiveBand; }

TrpAggregateBand* TrpPageEngine::FindBand(const std::string& name) {
    return Current ? Current->FindBand(name) : nullptr;
}

TrpAggregateBand* TrpPageEngine::FindDataBand(int type) {
    if (!Current || type < 0 || type >= rpBandTypeCount) return nullptr;
    TrpBand* b = Current->Band(type);
    return b && b->View ? b : nullptr;
}

bool TrpPageEngine::GetSystemValue(const std::string& name, Variant& value) {
    TrpBand* band = Context.ActiveBand;
    if (name == "PAGE#")
        value = PageNo + 1;
    else if (name == "LINE#" && band)
        value = band->LineNo;
    else if (name == "LINETHROUGH#" && band)
        value = band->LineThroughNo;
    else if (name == "COLUMN#" && Current)
        value = Current->CrossColumnNo;
    else if (name == "CURRENT#" && Current)
        value = Current->RecordNo;
    else
        return false;
    return true;
}

bool TrpPageEngine::GetPageValue(const std::string& name, Variant& value) {
    if (name == "FINALPASS") {
        value = Context.RootReport ? Context.RootReport->FinalPass : Report->FinalPass;
        return true;
    }
    if (!Current) return false;
    if (name == "CURY")
        value = Current->CurY;
    else if (name == "FREESPACE")
        value = Current->CurBottomY - Current->CurY;
    else if (name == "PAGEHEIGHT")
        value = Current->Page->PrnInfo.Pgh;
    else if (name == "PAGEWIDTH")
        value = Current->Page->PrnInfo.Pgw;
    else
        return false;
    return true;
}

void TrpPageEngine::DoReportProcedure(const std::string& name, const Variant& p1) {
    TrpBand* band = Context.ActiveBand;
    if (name == "STOPREPORT") {
        if (Context.RootReport) Context.RootReport->Stopped = true;
    } else if (name == "NEWPAGE") {
        if (band) ++band->ForceNewPage;
    } else if (name == "NEWCOLUMN") {
        if (band) ++band->ForceNewColumn;
    } else if (name == "SHOWBAND") {
        if (Current) Current->ShowBandByName(VarToStr(p1));
    }
}

void TrpPageEngine::SetModalResult(int modalResult) {
    if (InDialogPage && modalResult == 2) Context.BuildCancelled = true;
}

void TrpPageEngine::SetCurY(int y) {
    if (!Current) return;
    Current->CurY = y;
    if (Context.ActiveBand) Context.ActiveBand->KeepCurY = true;
}

void TrpPageEngine::ShowProgress(const std::string& text) {
    if (Report->Windows.ProgressLabel) Report->Windows.ProgressLabel(Report, text);
}

void TrpPageEngine::AlignToBand(TrpView* view) {
    TrpBand* band = Context.ActiveBand;
    if (!band) return;
    int height = band->CalculatedHeight >= 0 ? band->CalculatedHeight : band->dy;
    if (view->BandAlign == baTop)
        view->y = band->y;
    else if (view->BandAlign == baBottom)
        view->y = band->y + height - view->dy;
}

// ----------------------------------------------------------- template page

namespace {
TrpPageBuilder* BuilderWhileBuilding(TrpPage* page) {
    if (!page->Report) return nullptr;
    auto* engine = dynamic_cast<TrpPageEngine*>(page->Report->Context().PageEngine());
    return engine ? engine->BuilderOf(page) : nullptr;
}
}  // namespace

void TrpPage::ShowBandByType(int type) {
    if (TrpPageBuilder* builder = BuilderWhileBuilding(this)) builder->ShowBandByType(type);
}

void TrpPage::ShowBandByName(const std::string& name) {
    if (TrpPageBuilder* builder = BuilderWhileBuilding(this)) builder->ShowBandByName(name);
}
