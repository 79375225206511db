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
    explicit TemplateGuard(TrpReport* report) : FReport(report) {
        FReport->SaveToStream(&FSaved);
    }
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

} // namespace

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
        context.BuildMode = true;
        if (OnBeginDoc) OnBeginDoc();
        result = PrepareWithProgress();
        if (OnEndDoc) OnEndDoc();
        errorFlag = context.ReportErrorFlag;
        errorText = context.ReportErrorText;
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
    if (!Stopped) PrepareWithProgress();
    else EMFPages->Clear();
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
    do {
        ShowProgressText(EMFPages->Count());
        for (int i = 0; i < Pages->Count(); ++i) {
            TrpPage* page = Pages->Pages(i);
            context.ActivePage = page;
            if (!page->Visible) context.RunScript(nullptr, page->Script.get());
            if (page->PageType == ptReport && page->Visible && !engine.BuilderOf(page)->IsSubReport) {
                engine.Current = engine.BuilderOf(page);
                engine.Current->BuildPage();
            }
            bool last = i == Pages->Count() - 1;
            if (!last && Pages->Pages(i + 1)->PrintToPrevPage) {
                engine.PageNo = EMFPages->Count() - 1;
                engine.AppendPage = true;
            } else {
                engine.PageNo = EMFPages->Count();
                engine.AppendPage = false;
                ShowProgressText(EMFPages->Count());
            }
            if (root->Stopped) break;
        }
        ShowProgressText(EMFPages->Count());
        if (compound) Dataset->Next();
    } while (!Stopped && compound && !Dataset->Eof());
    engine.Current = nullptr;
    if (compound) Dataset->Exit();
}

void TrpReport::ShowProgressText(int n) {
    if (OnProgress) {
        OnProgress(n);
        return;
    }
    if (!ShowProgress) return;
    std::string label = FProgressPrompt + "  " + std::to_string(n);
    if (FinalPass && TwoPassCopy) label += " " + LoadEngineString(rpsFrom) + " " + std::to_string(FContext->TotalPagesCount);
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
