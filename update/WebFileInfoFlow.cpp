// The update flow of the web info-file component: fetching the information
// page, the read-me and the update file, and the small windows that wait for them.

#include <algorithm>

#include "Dialogs.h"
#include "Folders.h"
#include "HttpClient.h"
#include "StdCtrls.h"
#include "SysUtils.h"
#include "WebFileInfo.h"

namespace {

constexpr int64_t kMaxPageSize = 1024 * 1024;  // the information page and a read-me
constexpr int kMaxRedirectHops = 5;

}  // namespace

// The holder of the shared client's completion handler.
struct THttpEvents {
    TWebFileInfo* Info = nullptr;
    void RequestDone(TObject*, THttpRequest, Word Error) {
        if (Info) Info->RequestDone(Error);
    }
};

namespace {
THttpClient* gHttpClient = nullptr;
THttpEvents* gHttpEvents = nullptr;
}  // namespace

void TWfiProgressBar::SetPosition(int Value) {
    FPosition = std::clamp(Value, Min, Max);
    Invalidate();
}

void TWfiProgressBar::Paint() {
    TCanvas* c = GetCanvas();
    const TRect r = GetClientRect();
    c->GetBrush()->SetColor(clBtnFace);
    c->FillRect(r);
    c->GetPen()->SetColor(clBtnShadow);
    c->FrameRect(r);
    if (Max > Min && FPosition > Min) {
        const TRect bar{r.Left + 1, r.Top + 1, r.Left + 1 + (r.Right - r.Left - 2) * (FPosition - Min) / (Max - Min),
                        r.Bottom - 1};
        c->GetBrush()->SetColor(clHighlight);
        c->FillRect(bar);
    }
}

namespace {

TLabel* MakeLabel(TForm* form, int left, int top, int width, int height, TFont* font) {
    auto* l = new TLabel(form);
    l->SetParent(form);
    l->SetAutoSize(false);
    l->SetAlignment(taCenter);
    l->SetBounds(left, top, width, height);
    if (font) l->GetFont()->Assign(font);
    return l;
}

void DialogFrame(TForm* form, const std::string& caption, TFont* font) {
    form->SetBorderIcons({});
    form->SetBorderStyle(bsDialog);
    form->SetPosition(poScreenCenter);
    form->SetCaption(caption);
    if (font) form->GetFont()->Assign(font);
}

}  // namespace

TWebDlProgress::TWebDlProgress(TFont* Font) : TForm(nullptr) {
    DialogFrame(this, WfiText(65294), Font);
    SetClientSize(272, 123);
    SetCursor(crHourGlass);
    lblDownloading = MakeLabel(this, 2, 10, 268, 18, Font);
    pbarProgress = new TWfiProgressBar(this);
    pbarProgress->SetParent(this);
    pbarProgress->SetBounds(36, 40, 200, 14);
    pbarProgress->SetCursor(crHourGlass);
    lblProgress = MakeLabel(this, 2, 60, 268, 22, Font);
    btnCancel = new TButton(this);
    btnCancel->SetParent(this);
    btnCancel->SetCaption("&Cancel");
    btnCancel->SetBounds(102, 94, 68, 22);
    btnCancel->OnClick = [this](TObject*) {
        Cancelled = true;
        if (OnCancel) OnCancel();
    };
}

// ---- Texts and small routines -------------------------------------------------------------

std::string WfiText(int Id) {
    switch (Id) {
    case 65248: return "No Update Found";
    case 65249: return "There is no update available.";
    case 65250: return "Please Wait";
    case 65251: return "Read Me";
    case 65252: return "Retrieving ReadMe...";
    case 65253: return "Update Available";
    case 65254: return "Current version is %s.\rVersion %s is available.";
    case 65255: return "Would you like to view the ReadMe file?";
    case 65264: return "Downloading Update";
    case 65265: return "Download the update?";
    case 65266: return "Error";
    case 65267: return "Can not start program.";
    case 65268: return "Exception";
    case 65269: return "Error retrieving update information.\rException: %s.";
    case 65270: return "File Exists";
    case 65271: return "The file %s already exists.\rDo you want to overwrite it?";
    case 65272: return "Application (*.EXE)|*.EXE|Zipped File|*.ZIP|All Files (*.*)|*.*";
    case 65273: return "Do you want to install the update now?\rThis will close %s.";
    case 65274: return "Install Update";
    case 65275: return "Do you want to install the update now?";
    case 65276: return "Missing Home URL";
    case 65277: return "Can not retrieve version information\rbecause no home url was provided.";
    case 65278: return "Missing Tag Information";
    case 65279: return "Can not retrieve version information\rbecause no tag information was provided.";
    case 65286: return "%s of %s bytes received.";
    case 65287: return "Checking For Update...";
    case 65288: return "Connection Error";
    case 65289: return "Could not retrieve version information from the Internet.\rError unknown.";
    case 65290: return "Could not retrieve version information from the Internet.\rError: \"%s.\"";
    case 65291: return "Download Error";
    case 65292: return "Error occurred while downloading update.\rError unknown.";
    case 65293: return "Error occurred while downloading update.\rError: \"%s.\"";
    case 65294: return "Download Progress";
    case 65295: return "Downloading ReadMe";
    default: return "";
    }
}

std::string GroupedCount(int64_t Value) {
    std::string digits = std::to_string(Value < 0 ? -Value : Value);
    for (int i = int(digits.size()) - 3; i > 0; i -= 3) digits.insert(size_t(i), ",");
    return Value < 0 ? "-" + digits : digits;
}

int DownloadPercent(int64_t Received, int64_t Total) {
    if (Total <= 0) return -1;
    const int64_t part = std::clamp<int64_t>(Received, 0, Total);
    // 128 bits, so that part * 100 cannot overflow for the largest totals.
    return int(static_cast<__int128>(part) * 100 / Total);
}

std::string BareFileName(const std::string& Name) {
    const size_t cut = Name.find_last_of("/\\:");
    std::string bare = cut == std::string::npos ? Name : Name.substr(cut + 1);
    if (bare == "." || bare == "..") bare.clear();
    return bare;
}

// ---- The shared client and the exception hook -------------------------------------------------

THttpClient* TWebFileInfo::SharedClient() { return gHttpClient; }

TWebFileInfo::~TWebFileInfo() {
    RemoveHook();
    if (gHttpEvents && gHttpEvents->Info == this) {
        delete gHttpEvents;
        gHttpEvents = nullptr;
        gHttpClient = nullptr;  // owned by this component, freed with it
    }
}

void TWebFileInfo::RemoveHook() {
    if (!FHookInstalled) return;
    FHookInstalled = false;
    if (Application) Application->OnException = FSavedHandler;
    FSavedHandler = nullptr;
}

void TWebFileInfo::AppException(TObject* Sender, Exception& E) {
    if (!dynamic_cast<EHttpException*>(&E)) {
        if (FSavedHandler) FSavedHandler(Sender, E);
        return;
    }
    FLastError = E.Message;
    EndWaitWindow(mrCancel);
    if (FProgressWindow) FProgressWindow->SetModalResult(mrCancel);
    if (gHttpClient) {
        gHttpClient->Abort();
        gHttpClient->RcvdStream = nullptr;  // freed by the request that made it
        gHttpClient->OnDocData = nullptr;
    }
    RemoveHook();
    MessageBox(Format(WfiText(65269), {E.Message}), WfiText(65268), MB_OK | MB_ICONWARNING);
}

void TWebFileInfo::RequestDone(Word Error) {
    FLastError = Error ? gHttpClient->ReasonPhrase : std::string();
    EndWaitWindow(mrOk);
    if (FProgressWindow) FProgressWindow->SetModalResult(FProgressWindow->Cancelled ? mrCancel : mrOk);
}

void TWebFileInfo::ShowWaitWindow(const std::string& Text) {
    if (!FWaitWindow) {
        FWaitWindow = std::make_unique<TForm>(nullptr);
        DialogFrame(FWaitWindow.get(), WfiText(65250), GetUIFont());
        FWaitWindow->SetClientSize(240, 100);
        FWaitWindow->SetCursor(crHourGlass);
        MakeLabel(FWaitWindow.get(), 0, 27, 232, 23, GetUIFont())->SetName("lblWait");
    }
    if (auto* l = dynamic_cast<TLabel*>(FWaitWindow->FindComponent("lblWait"))) l->SetCaption(Text);
    FWaitWindow->ShowModal();  // until RequestDone ends it
}

void TWebFileInfo::EndWaitWindow(int Result) {
    if (FWaitWindow && FWaitWindow->FormState.Contains(fsModal)) FWaitWindow->SetModalResult(Result);
}

// ---- GetInfo ---------------------------------------------------------------------------------

bool TWebFileInfo::GetInfo() {
    if (FActive) return true;
    if (FHomeURL.empty()) {
        MessageBox(WfiText(65277), WfiText(65276), MB_OK | MB_ICONWARNING);
        return false;
    }
    const TWfiTags& t = *FInfoTags;
    if (t.ProductNameTag.empty() && t.ReadMeTag.empty() && t.ReadMeExtTag.empty() && t.VersionTag.empty() &&
        t.DateTag.empty() && t.AuthorTag.empty() && t.DownloadTag.empty() && t.RedirectTag.empty() &&
        t.RunParamsTag.empty()) {
        MessageBox(WfiText(65279), WfiText(65278), MB_OK | MB_ICONWARNING);
        return false;
    }
    const bool installed = !FHookInstalled && Application;
    if (installed) {
        FSavedHandler = Application->OnException;
        Application->OnException = [this](TObject* s, Exception& e) { AppException(s, e); };
        FHookInstalled = true;
    }
    if (!gHttpClient) {
        gHttpEvents = new THttpEvents{this};
        gHttpClient = new THttpClient(this);
        gHttpClient->OnRequestDone = [](TObject* s, THttpRequest k, Word e) {
            if (gHttpEvents) gHttpEvents->RequestDone(s, k, e);
        };
    }
    try {
        FActive = FetchInfo(0);
    } catch (...) {
        FWaitWindow.reset();
        if (installed && FHookInstalled) RemoveHook();
        throw;
    }
    FWaitWindow.reset();
    if (installed && FHookInstalled) RemoveHook();
    return FActive;
}

// One fetch of the page, and of the page it redirects to (a bounded number of times).
bool TWebFileInfo::FetchInfo(int Hops) {
    gHttpEvents->Info = this;
    if (ProxyHost.empty()) {
        gHttpClient->Proxy.clear();
        gHttpClient->ProxyPort = "80";
    } else {
        gHttpClient->Proxy = ProxyHost;
        gHttpClient->ProxyPort = IntToStr(ProxyPort);
    }
    TMemoryStream page;
    gHttpClient->RcvdStream = &page;
    gHttpClient->MaxDocSize = kMaxPageSize;
    gHttpClient->OnDocData = nullptr;
    FLastError.clear();
    gHttpClient->URL = FRedirectURL.empty() ? FHomeURL : FRedirectURL;
    gHttpClient->StartGet();
    ShowWaitWindow(WfiText(65287));
    gHttpClient->RcvdStream = nullptr;
    gHttpClient->MaxDocSize = 0;
    if (gHttpClient->StatusCode > 200) {
        FLastError = gHttpClient->ReasonPhrase;
        ShowMessage(IntToStr(gHttpClient->StatusCode));
    }
    ClearFacts();
    if (!FLastError.empty()) return false;
    page.SetPosition(0);
    TStringList lines;
    lines.LoadFromStream(&page);
    ParseInfo(&lines);
    if (FRedirectURL.empty()) return true;
    if (FRedirectURL.size() < 7 || LowerCase(FRedirectURL.substr(0, 7)) != "http://") {
        FLastError = "The information page redirects to an unsupported address";
        FRedirectURL.clear();
        return false;
    }
    if (Hops >= kMaxRedirectHops) {
        FLastError = "The information page redirects too often";
        FRedirectURL.clear();
        return false;
    }
    return FetchInfo(Hops + 1);
}

// ---- Version question, read-me, download -------------------------------------------------------

std::string TWebFileInfo::VersionQuestion(const std::string& Tail) const {
    return Format(WfiText(65254), {CurrentVersion, FProductVersion}) + "\r" + Tail;
}

bool TWebFileInfo::CheckForUpdate() {
    if (!GetInfo()) {
        MessageBox(FLastError.empty() ? WfiText(65289) : Format(WfiText(65290), {FLastError}), WfiText(65288),
                   MB_OK | MB_ICONWARNING);
        return false;
    }
    if (!IsNewerVersion()) {
        MessageBox(WfiText(65249), WfiText(65248), MB_OK | MB_ICONINFORMATION);
        return false;
    }
    if (FOptions.Contains(wfioDisplayReadMe)) ShowReadMe(true);
    if (MessageBox(VersionQuestion(WfiText(65265)), WfiText(65253), MB_YESNO | MB_ICONQUESTION) != IDYES) return false;
    TSaveDialog dialog(Application);
    dialog.Filter = WfiText(65272);
    dialog.Options = TOpenOptions{ofOverwritePrompt, ofPathMustExist};
    dialog.FileName = DownloadFileName();
    if (!dialog.Execute()) return false;
    std::string target = dialog.FileName;
    if (ExtractFileExt(target).empty()) {
        if (dialog.FilterIndex == 1) target += ".EXE";
        if (dialog.FilterIndex == 2) target += ".ZIP";
    }
    if (!DownloadUpdate(target)) {
        MessageBox(FLastError.empty() ? WfiText(65292) : Format(WfiText(65293), {FLastError}), WfiText(65291),
                   MB_OK | MB_ICONWARNING);
        return false;
    }
    if (FOptions.Contains(wfioRunUpdate)) {
        const bool exits = FOptions.Contains(wfioExitDuringUpdate);
        const std::string question =
            exits ? Format(WfiText(65273), {Application ? Application->GetTitle() : std::string()}) : WfiText(65275);
        if (MessageBox(question, WfiText(65274), MB_YESNO | MB_ICONQUESTION) == IDYES) {
            const HWND owner = Application && Application->MainForm() ? Application->MainForm()->TargetId() : 0;
            if (ShellExecute(owner, "open", FDownloadPath, FRunParams, "", SW_SHOWNORMAL) < 33) {
                MessageBox(WfiText(65267), WfiText(65266), MB_OK | MB_ICONWARNING);
                return true;
            }
            if (exits && Application) Application->Terminate();
        }
    }
    return true;
}

bool TWebFileInfo::ShowReadMe(bool Ask) {
    if (!FActive && !GetInfo()) return false;
    if (FProductReadMe.empty() && FProductReadMeExt.empty()) return false;
    if (Ask && MessageBox(VersionQuestion(WfiText(65255)), WfiText(65253), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    if (!FProductReadMeExt.empty()) {
        // The server names the file; only its bare name is used, inside the temporary folder.
        const std::string name = BareFileName(FProductReadMeExt);
        if (!name.empty() && DownloadFile(FProductReadMeExt, TempDir() + name, WfiText(65295)) &&
            ShellExecute(0, "open", TempDir() + name, "", "", SW_SHOWNORMAL) > 32)
            return true;
        MessageBox(WfiText(65267), WfiText(65266), MB_OK | MB_ICONWARNING);
    }
    if (!FProductReadMe.empty()) {
        std::string text;
        if (FetchText(FProductReadMe, text)) {
            TForm window(nullptr);
            DialogFrame(&window, WfiText(65251), GetUIFont());
            const int width = Screen ? Screen->Width() * 4 / 5 : 640, height = Screen ? Screen->Height() * 4 / 5 : 480;
            window.SetBounds(0, 0, width, height);
            auto* memo = new TMemo(&window);
            memo->SetParent(&window);
            memo->SetBounds(10, 10, width - 25, height - 80);
            memo->SetScrollBars(ssBoth);
            memo->GetFont()->Assign(GetUIFont());
            memo->GetLines()->SetText(text);
            auto* ok = new TButton(&window);
            ok->SetParent(&window);
            ok->SetCaption("&Ok");
            ok->SetBounds(width / 2 - 34, height - 56, 68, 22);
            ok->ModalResult = mrOk;
            window.ShowModal();
        }
    }
    return true;
}

bool TWebFileInfo::FetchText(const std::string& Address, std::string& Text) {
    TMemoryStream stream;
    FLastError.clear();
    gHttpClient->RcvdStream = &stream;
    gHttpClient->MaxDocSize = kMaxPageSize;
    gHttpClient->URL = Address;
    gHttpClient->StartGet();
    ShowWaitWindow(WfiText(65252));
    FWaitWindow.reset();
    gHttpClient->RcvdStream = nullptr;
    gHttpClient->MaxDocSize = 0;
    if (gHttpClient->StatusCode > 200 && FLastError.empty()) FLastError = gHttpClient->ReasonPhrase;
    if (!FLastError.empty()) return false;
    Text.assign(reinterpret_cast<const char*>(stream.Memory()), size_t(stream.GetSize()));
    return true;
}

bool TWebFileInfo::DownloadUpdate(const std::string& Target) {
    if (!FActive && !GetInfo()) return false;
    const std::string path =
        !Target.empty() && (Target.back() == '/' || Target.back() == '\\') ? Target + DownloadFileName() : Target;
    if (!FOptions.Contains(wfioAlwaysOverwrite) && !FOptions.Contains(wfioDisplayUI) && FileExists(path) &&
        MessageBox(Format(WfiText(65271), {path}), WfiText(65270), MB_YESNO | MB_ICONQUESTION) != IDYES)
        return false;
    return DownloadFile(FDownloadURL, path, WfiText(65264));
}

// Receives into a temporary file beside Path, which replaces Path only when the
// whole document came; an existing file is never lost to a failed download.
bool TWebFileInfo::DownloadFile(const std::string& Address, const std::string& Path, const std::string& Caption) {
    FLastError.clear();
    FDownloadPath.clear();
    const std::string partial = Path + ".part";
    std::unique_ptr<TFileStream> file;
    try {
        file = std::make_unique<TFileStream>(partial, fmCreate);
    } catch (Exception& e) {
        FLastError = e.Message;
        return false;
    }
    gHttpEvents->Info = this;
    gHttpClient->RcvdStream = file.get();
    gHttpClient->OnDocData = [this](TObject*, const char*, int) {
        DoDownloadProgress(gHttpClient->RcvdCount, gHttpClient->ContentLength);
    };
    gHttpClient->URL = Address;
    bool cancelled = false;
    try {
        gHttpClient->StartGet();
        if (FOptions.Contains(wfioDisplayUI)) {
            TWebDlProgress window(GetUIFont());
            window.lblDownloading->SetCaption(Caption);
            window.OnCancel = [] { gHttpClient->Abort(); };
            FProgressWindow = &window;
            window.ShowModal();
            FProgressWindow = nullptr;
            cancelled = window.Cancelled;
        }
    } catch (...) {
        FProgressWindow = nullptr;
        gHttpClient->RcvdStream = nullptr;
        gHttpClient->OnDocData = nullptr;
        file.reset();
        DeleteFile(partial);
        throw;
    }
    gHttpClient->RcvdStream = nullptr;
    gHttpClient->OnDocData = nullptr;
    file.reset();
    const THttpClient& c = *gHttpClient;
    const bool complete = FLastError.empty() && !cancelled && c.GetRequestDoneError() == 0 && c.StatusCode == 200 &&
                          (c.ContentLength < 0 || c.RcvdCount == c.ContentLength);
    if (!complete) {
        if (cancelled)
            FLastError = "Download cancelled";
        else if (FLastError.empty())
            FLastError = c.StatusCode > 200 || c.GetRequestDoneError() ? c.ReasonPhrase : "Download incomplete";
        DeleteFile(partial);
        return false;
    }
    if (!ReplaceFile(partial, Path)) {
        FLastError = "Cannot write " + Path;
        DeleteFile(partial);
        return false;
    }
    FDownloadPath = Path;
    return true;
}

void TWebFileInfo::DoDownloadProgress(int64_t Received, int64_t Total) {
    if (FOptions.Contains(wfioDisplayUI) && FProgressWindow && !FProgressWindow->Cancelled) {
        const int percent = DownloadPercent(Received, Total);
        if (percent < 0) {
            FProgressWindow->lblProgress->SetCaption(GroupedCount(Received) + " bytes received.");
        } else {
            FProgressWindow->lblProgress->SetCaption(
                Format(WfiText(65286), {GroupedCount(Received), GroupedCount(Total)}));
            if (percent > FProgressWindow->pbarProgress->GetPosition())
                FProgressWindow->pbarProgress->SetPosition(percent);
        }
    }
    if (OnDownloadProgress) OnDownloadProgress(this, Received, Total);
}
