// The report's build: preparation with the template saved and restored, one
// and two passes, progress, and showing the prepared pages.

#include "MsgBox.h"
#include "RP_Dict.h"
#include "RP_Engine.h"
#include "SysUtils.h"

TrpWindowHooks& rpDefaultWindowHooks() {
    static TrpWindowHooks hooks = [] {
        TrpWindowHooks h;
        // Without a progress window the job runs at once; Stopped is the cancel.
        h.RunWithProgress = [](TrpReport* report, const std::string&, const std::string&,
                               const std::function<void()>& job) {
            job();
            return !report->Stopped;
        };
        h.ProgressLabel = [](TrpReport*, const std::string&) {};
        return h;
    }();
    return hooks;
}

namespace {

// Puts the template back and the engine's build state to rest, also when
// the build ends by an exception.
class TemplateGuard {
public:
    explicit TemplateGuard(TrpReport* report) : FReport(report) { FReport->SaveToStream(&FSaved); }
    ~TemplateGuard() {
        if (!FRestored) Restore();
    }
    void Restore() {
        FRestored = true;
        TrpContext& context = FReport->Context();
        context.SetPageEngine(nullptr);
        FSaved.SetPosition(0);
        FReport->LoadFromStream(&FSaved);
        FReport->FinalPass = false;
        context.FirstPassRunning = false;
        context.ActiveBand = nullptr;
        context.ActiveView = nullptr;
        context.ActivePage = nullptr;
        context.PageNo = 0;
    }

private:
    TrpReport* FReport;
    TMemoryStream FSaved;
    bool FRestored = false;
};

}  // namespace

bool TrpReport::PrepareReport() {
    TrpContext& context = *FContext;
    SelectPrinter(PrinterName);
    context.BuildMode = true;
    TDateTime now = Now();
    context.ReportDate = Date();
    context.ReportTime = now - context.ReportDate;
    Pages->PreDrawAligned();
    context.ActivePage = nullptr;
    context.ActiveBand = nullptr;
    context.RootReport = this;
    TwoPassCopy = TwoPass != 0;
    bool result = false;
    bool errorFlag = false;
    std::string errorText;
    {
        TemplateGuard guard(this);
        // A composite report's members keep their templates the same way.
        std::vector<std::unique_ptr<TemplateGuard>> memberGuards;
        std::vector<TrpReport*> members;
        if (auto* composite = dynamic_cast<TrpCompositeReport*>(this)) members = composite->Reports;
        for (TrpReport* member : members) {
            memberGuards.push_back(std::make_unique<TemplateGuard>(member));
            member->Context().BuildMode = true;
            if (member->OnBeginDoc) member->OnBeginDoc();
        }
        context.BuildMode = true;
        if (OnBeginDoc) OnBeginDoc();
        result = PrepareWithProgress();
        if (OnEndDoc) OnEndDoc();
        errorFlag = context.ReportErrorFlag;
        errorText = context.ReportErrorText;
        for (size_t i = 0; i < members.size(); ++i) {
            if (members[i]->OnEndDoc) members[i]->OnEndDoc();
            memberGuards[i]->Restore();
        }
        guard.Restore();
    }
    if (result && context.BuildCancelled) result = false;
    if (errorFlag) {
        EMFPages->Clear();
        result = false;
        MessageBox(errorText, LoadEngineString(rpsError), MB_OK | MB_ICONERROR);
    } else if (context.BuildCancelled) {
        EMFPages->Clear();
    }
    return result;
}

bool TrpReport::PrepareWithProgress() {
    TrpContext& context = *FContext;
    Stopped = false;
    context.FirstPassRunning = false;
    FinalPass = true;
    EMFPages->Clear();
    std::string caption = LoadEngineString(rpsPreparing);
    if (!Title.empty()) caption += " - " + Title;
    auto job = [this] { DoBuildReport(); };
    if (TwoPass) {
        context.FirstPassRunning = true;
        FinalPass = false;
        if (!OnProgress && ShowProgress) {
            FProgressPrompt = LoadEngineString(rpsFirstPass);
            return Windows.RunWithProgress(this, caption, FProgressPrompt + "  1", job);
        }
        DoBuildReport();
        return true;
    }
    if (OnProgress || !ShowProgress) {
        TwoPass = TwoPassCopy ? 0xFFFF : 0;
        DoBuildReport();
        return true;
    }
    FProgressPrompt = LoadEngineString(rpsProcessingPage);
    if (TwoPassCopy) {
        // The second pass, inside the first pass's job.
        TwoPass = 0xFFFF;
        DoBuildReport();
        return true;
    }
    context.TotalPagesCount = 0;
    return Windows.RunWithProgress(this, caption, FProgressPrompt + "  1", job);
}

void TrpReport::DoBuildReport() {
    BuildReport();
    if (FinalPass) return;
    // The first of two passes has counted the pages.
    FContext->TotalPagesCount = EMFPages->Count();
    TwoPass = 0;
    if (!Stopped)
        PrepareWithProgress();
    else
        EMFPages->Clear();
    TwoPass = 0xFFFF;
}

void TrpReport::BuildReport() {
    TrpContext& context = *FContext;
    Rebuildable = true;
    context.BuildMode = true;
    Dictionary->ClearCache();
    context.ReportErrorFlag = false;
    TrpPageEngine engine(this);
    context.SetPageEngine(&engine);
    struct Uninstall {
        TrpContext& c;
        ~Uninstall() { c.SetPageEngine(nullptr); }
    } uninstall{context};
    const bool compound = Dataset && ReportType == rtMultiple;
    if (compound) {
        Dataset->Init();
        Dataset->First();
    }
    TrpReport* root = context.RootReport ? context.RootReport : this;
    if (!(root->TwoPass && root->FinalPass)) {
        context.FollowViews.clear();
        context.BuildCancelled = false;
    }
    // A member of a composite report goes on where the previous member left the output.
    TrpReport::TrpOutputState& shared = root->OutputState;
    if (root != this) {
        engine.PageNo = shared.PageNo;
        engine.AppendPage = shared.AppendPage;
        engine.LastPageHasFooter = shared.LastPageHasFooter;
        engine.SavedCurY = shared.SavedCurY;
        engine.SavedBottomY = shared.SavedBottomY;
    }
    // Dialog pages first: the system has no dialog controls, so a dialog page
    // is its script, which may cancel the build.
    for (int i = 0; i < Pages->Count() && !context.BuildCancelled; ++i) {
        TrpPage* page = Pages->Pages(i);
        if (page->PageType != ptDialog) continue;
        context.ActivePage = page;
        TrpRestore<bool> dialog(engine.InDialogPage, true);
        context.RunScript(nullptr, page->Script.get());
    }
    if (context.BuildCancelled) {
        if (compound) Dataset->Exit();
        return;
    }
    std::vector<TrpPageBuilder*> builders;
    for (int i = 0; i < Pages->Count(); ++i)
        if (Pages->Pages(i)->PageType == ptReport) {
            engine.Current = engine.BuilderOf(Pages->Pages(i));
            engine.Current->CreateBands();
            builders.push_back(engine.Current);
        }
    for (TrpPageBuilder* b : builders) {
        engine.Current = b;
        b->PrepareObjects();
    }
    TrpEMFPages* output = engine.Pages;
    do {
        ShowProgressText(output->Count());
        for (int i = 0; i < Pages->Count(); ++i) {
            TrpPage* page = Pages->Pages(i);
            context.ActivePage = page;
            if (!page->Visible) context.RunScript(nullptr, page->Script.get());
            if (page->PageType == ptReport && page->Visible && !engine.BuilderOf(page)->IsSubReport) {
                engine.Current = engine.BuilderOf(page);
                engine.Current->BuildPage();
            }
            bool last = i == Pages->Count() - 1;
            bool nextContinues =
                last ? root != this && shared.NextContinues : Pages->Pages(i + 1)->PrintToPrevPage != 0;
            if (nextContinues) {
                engine.PageNo = output->Count() - 1;
                engine.AppendPage = true;
            } else {
                engine.PageNo = output->Count();
                engine.AppendPage = false;
                ShowProgressText(output->Count());
            }
            if (root->Stopped) break;
        }
        ShowProgressText(output->Count());
        if (compound) Dataset->Next();
    } while (!Stopped && compound && !Dataset->Eof());
    engine.Current = nullptr;
    if (compound) Dataset->Exit();
    if (root != this) {
        shared.PageNo = engine.PageNo;
        shared.LastPageHasFooter = engine.LastPageHasFooter;
        shared.SavedCurY = engine.SavedCurY;
        shared.SavedBottomY = engine.SavedBottomY;
        // The member's calculation error is the composite's.
        TrpContext& rootContext = root->Context();
        if (context.ReportErrorFlag && !rootContext.ReportErrorFlag) {
            rootContext.ReportErrorFlag = true;
            rootContext.ReportErrorText = context.ReportErrorText;
        }
    }
}

void TrpCompositeReport::BuildReport() {
    Rebuildable = true;
    Context().ReportErrorFlag = false;
    OutputState = TrpOutputState{};
    Context().RootReport = this;
    const bool compound = Dataset != nullptr;
    if (compound) {
        Dataset->Init();
        Dataset->First();
    }
    do {
        for (size_t i = 0; i < Reports.size(); ++i) {
            TrpReport* member = Reports[i];
            TMemoryStream saved;
            if (compound) member->SaveToStream(&saved);
            // The next member continues on this page when its first page says so and the paper matches.
            bool continues = false;
            if (i + 1 < Reports.size() && Reports[i + 1]->Pages->Count() > 0) {
                TrpPage* next = Reports[i + 1]->Pages->Pages(0);
                int size = 0, width = 0;
                if (EMFPages->Count() > 0) {
                    size = EMFPages->Page(EMFPages->Count() - 1).PaperSize;
                    width = EMFPages->Page(EMFPages->Count() - 1).PaperWidth;
                } else if (member->Pages->Count() > 0) {
                    TrpPage* lastPage = member->Pages->Pages(member->Pages->Count() - 1);
                    size = lastPage->Size;
                    width = lastPage->Width;
                }
                continues = next->PrintToPrevPage && next->Size == size && next->Width == width;
            }
            OutputState.NextContinues = continues;
            TrpContext& memberContext = member->Context();
            TrpRestore<TrpReport*> root(memberContext.RootReport, this);
            memberContext.FirstPassRunning = Context().FirstPassRunning;
            memberContext.TotalPagesCount = Context().TotalPagesCount;
            member->FinalPass = FinalPass;
            member->BuildReport();
            if (compound) {
                saved.SetPosition(0);
                member->LoadFromStream(&saved);
                member->Context().BuildMode = true;
            }
            OutputState.AppendPage = continues;
            if (Stopped) break;
        }
        if (compound) Dataset->Next();
    } while (!Stopped && compound && !Dataset->Eof());
    if (compound) Dataset->Exit();
}

void TrpReport::ShowProgressText(int n) {
    if (OnProgress) {
        OnProgress(n);
        return;
    }
    if (!ShowProgress) return;
    std::string label = FProgressPrompt + "  " + std::to_string(n);
    if (FinalPass && TwoPassCopy)
        label += " " + LoadEngineString(rpsFrom) + " " + std::to_string(FContext->TotalPagesCount);
    if (Windows.ProgressLabel) Windows.ProgressLabel(this, label);
}

void TrpReport::ShowReport() {
    PrepareReport();
    ShowPreparedReport();
}

void TrpReport::ShowPreparedReport() {
    TrpContext& context = *FContext;
    context.RootReport = this;
    context.BuildMode = true;
    context.ActiveBand = nullptr;
    if (EMFPages->Count() == 0) return;
    std::string caption = LoadEngineString(rpsPreview);
    if (!Title.empty()) caption += " - " + Title;
    if (!Windows.ShowPreview) throw EInvalidOperation("No preview window is installed to show \"" + caption + "\"");
    Windows.ShowPreview(this, caption);
}
