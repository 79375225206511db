#include "WUpdate.h"

#include <mutex>

#include "FormReader.h"
#include "Dialogs.h"
#include "TypInfo.h"
#include "WebFileInfo.h"

TfrmUpdate* frmUpdate = nullptr;

namespace {

const char* const SRunningVersion = "3.0.01";

template <class T>
T* Need(TComponent* owner, const char* name) {
    auto* c = dynamic_cast<T*>(owner->FindComponent(name));
    if (!c) throw EComponentError(std::string("The update window's definition lacks ") + name);
    return c;
}

}  // namespace

void RegisterUpdateWindowClasses() {
    static std::once_flag once;
    std::call_once(once, [] { Published<TfrmUpdate>("TfrmUpdate", "TForm"); });
}

TfrmUpdate::TfrmUpdate(TComponent* AOwner, const std::string& Definition, TWebFileInfo* Info,
                       std::function<void(TForm*)> CenterForm)
    : TForm(AOwner), FInfo(Info), FCenterForm(std::move(CenterForm)) {
    RegisterUpdateWindowClasses();
    THandlerTable h;
    auto notify = [&](const char* name, void (TfrmUpdate::*method)(TObject*)) {
        h[name] = TNotifyEvent([this, method](TObject* s) { (this->*method)(s); });
    };
    notify("FormCreate", &TfrmUpdate::FormCreate);
    notify("CheckUpdate", &TfrmUpdate::CheckUpdate);
    notify("RetrieveUpdate", &TfrmUpdate::RetrieveUpdate);
    notify("CloseUpdateCenter", &TfrmUpdate::CloseUpdateCenter);
    notify("FormDestroy", &TfrmUpdate::FormDestroy);
    h["FormClose"] = TCloseEvent([this](TObject* s, TCloseAction& a) { FormClose(s, a); });
    ReadComponentFromText(this, Definition, h);
    btnCheckForUpdate = Need<TControl>(this, "btnCheckForUpdate");
    btnRetrieveUpdate = Need<TControl>(this, "btnRetrieveUpdate");
    btnClose = Need<TControl>(this, "btnClose");
    lblApplicationName = Need<TLabel>(this, "lblApplicationName");
    lblCurrentVersion = Need<TLabel>(this, "lblCurrentVersion");
    lblCurrentCompileDate = Need<TLabel>(this, "lblCurrentCompileDate");
    lblUpdateStatus = Need<TLabel>(this, "lblUpdateStatus");
    lblVersion = Need<TLabel>(this, "lblVersion");
    lblDate = Need<TLabel>(this, "lblDate");
    lblReadMe = Need<TLabel>(this, "lblReadMe");
    lblURL = Need<TLabel>(this, "lblURL");
    if (!FInfo) throw EComponentError("The update window needs the web info-file component");
}

TfrmUpdate::~TfrmUpdate() { BeforeDestruction(); }

void TfrmUpdate::FormCreate(TObject*) {
    lblApplicationName->SetCaption("Varnholt");
    lblCurrentVersion->SetCaption(SRunningVersion);
    lblCurrentCompileDate->SetCaption("June 7, 2003");
    if (FCenterForm) FCenterForm(this);
}

void TfrmUpdate::DoShow() {
    FActivationChecked = false;
    TForm::DoShow();
}

void TfrmUpdate::CheckUpdate(TObject* Sender) {
    // Activation checks once per showing: the message boxes of a check activate
    // the window again and would otherwise start check after check.
    if (Sender == this) {
        if (FActivationChecked) return;
        FActivationChecked = true;
    }
    if (FChecking) return;
    FChecking = true;
    if (Screen) Screen->SetCursor(crHourGlass);
    bool found = false;
    try {
        found = FInfo->GetInfo();
    } catch (...) {
        if (Screen) Screen->SetCursor(crDefault);
        FChecking = false;
        throw;
    }
    if (found) {
        lblUpdateStatus->GetFont()->SetColor(clRed);
        lblUpdateStatus->SetCaption("Update Information");
        const std::pair<TLabel*, std::string> facts[] = {{lblDate, FInfo->GetProductDateStr()},
                                                         {lblVersion, FInfo->GetProductVersion()},
                                                         {lblReadMe, FInfo->GetProductReadMe()},
                                                         {lblURL, FInfo->GetDownloadURL()}};
        for (const auto& [label, text] : facts) {
            label->GetFont()->SetColor(clBlue);
            label->SetCaption(text);
        }
        if (IsUpdateAvailable())
            btnRetrieveUpdate->SetVisible(true);
        else
            lblUpdateStatus->SetCaption("No Update Available");
        if (Screen) Screen->SetCursor(crDefault);
    } else {
        if (Screen) Screen->SetCursor(crDefault);
        ShowMessage("Get Info failed due to:\r\n" + FInfo->GetLastError());
    }
    FChecking = false;
}

bool TfrmUpdate::IsUpdateAvailable() const { return IsNewerBuildNumber(SRunningVersion, lblVersion->GetCaption()); }

void TfrmUpdate::RetrieveUpdate(TObject*) {
    FInfo->SetActive(true);  // ignored by the component; only a fetched page makes it active
    if (FInfo->GetActive()) FInfo->CheckForUpdate();
}

void TfrmUpdate::CloseUpdateCenter(TObject*) { Close(); }

void TfrmUpdate::FormClose(TObject*, TCloseAction& Action) { Action = caFree; }

void TfrmUpdate::FormDestroy(TObject*) {
    if (frmUpdate == this) frmUpdate = nullptr;
}
