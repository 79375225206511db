#pragma once
// The update-check component: what the running program is (its version, the
// address of the information page) and what the page offers (product facts
// read from its META HTTP-EQUIV lines), with the version comparison.

#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "Controls.h"
#include "Forms.h"
#include "Graphics.h"
#include "Types.h"

class THttpClient;
class TButton;
class TLabel;

enum TWfiDateFormat { wfidDFSDate, wfidNone };
enum TWfiVersionFormat { wfivBuildNumber, wfivSimpleString };
enum TWfiOption { wfioAlwaysOverwrite, wfioDisplayUI, wfioDisplayReadMe, wfioRunUpdate, wfioExitDuringUpdate };
using TWfiOptions = Set<TWfiOption>;

using TDownloadProgressEvent = std::function<void(TObject* Sender, int64_t Received, int64_t Total)>;

// The tag names looked for on the information page, one per fact.
class TWfiTags : public TPersistent {
public:
    std::string AuthorTag;
    std::string AuthorEMailTag;
    std::string DateTag;
    std::string DownloadTag;
    std::string ProductNameTag;
    std::string ReadMeTag;
    std::string ReadMeExtTag;
    std::string RedirectTag;
    std::string RunParamsTag;
    std::string VersionTag;
    void Assign(TPersistent* Source) override;
};

// A plain progress bar: a frame filled from the left up to Position.
class TWfiProgressBar : public TGraphicControl {
public:
    explicit TWfiProgressBar(TComponent* AOwner) : TGraphicControl(AOwner) {}
    int Min = 0, Max = 100;
    int GetPosition() const { return FPosition; }
    void SetPosition(int Value);

protected:
    void Paint() override;

private:
    int FPosition = 0;
};

// The download progress window.
class TWebDlProgress : public TForm {
public:
    explicit TWebDlProgress(TFont* Font);
    TWfiProgressBar* pbarProgress = nullptr;
    TLabel* lblDownloading = nullptr;
    TLabel* lblProgress = nullptr;
    TButton* btnCancel = nullptr;
    bool Cancelled = false;
    // Set by the component: stops its request.
    std::function<void()> OnCancel;
};

class TWebFileInfo : public TComponent {
public:
    explicit TWebFileInfo(TComponent* AOwner);
    ~TWebFileInfo() override;

    // True once the page has been read; writing True is ignored, False forces the next fetch.
    bool GetActive() const { return FActive; }
    void SetActive(bool Value);
    std::string CurrentVersion;
    TWfiDateFormat DateFormat = wfidDFSDate;
    std::string GetDownloadURL() const { return FDownloadURL; }
    std::string GetHomeURL() const { return FHomeURL; }
    // Taken only when it begins with "http://" (letter case ignored); then Active becomes False.
    void SetHomeURL(const std::string& Value);
    TWfiTags* GetInfoTags() const { return FInfoTags.get(); }
    std::string GetLastError() const { return FLastError; }
    TWfiOptions GetOptions() const { return FOptions; }
    // wfioDisplayUI is always added.
    void SetOptions(TWfiOptions Value);
    std::string GetProductName() const { return FProductName; }
    std::string GetProductAuthor() const { return FProductAuthor; }
    std::string GetProductAuthorEMail() const { return FProductAuthorEMail; }
    TDateTime GetProductDate() const { return FProductDate; }
    std::string GetProductDateStr() const { return FProductDateStr; }
    std::string GetProductReadMe() const { return FProductReadMe; }
    std::string GetProductReadMeExt() const { return FProductReadMeExt; }
    std::string GetProductVersion() const { return FProductVersion; }
    std::string GetRunParams() const { return FRunParams; }
    std::string GetRedirectURL() const { return FRedirectURL; }
    std::string ProxyHost;
    int ProxyPort = 80;
    // While UIOwnerFont is on, reading copies the owning form's font first.
    TFont* GetUIFont();
    // Copies the font and switches UIOwnerFont off.
    void SetUIFont(TFont* Value);
    bool UIOwnerFont = true;
    TWfiVersionFormat VersionFormat = wfivBuildNumber;
    TDownloadProgressEvent OnDownloadProgress;

    // Fetches and reads the information page (at once True when Active).
    bool GetInfo();
    // The whole user flow; True when an update was downloaded.
    bool CheckForUpdate();
    // Shows the read-me, asking first when Ask.
    bool ShowReadMe(bool Ask);
    // Downloads DownloadURL to the file (or into the folder, when Target ends with "/").
    bool DownloadUpdate(const std::string& Target);
    // The window showing a download's progress, while one runs.
    TWebDlProgress* GetProgressWindow() const { return FProgressWindow; }
    // The client shared by every instance (nullptr before the first fetch).
    static THttpClient* SharedClient();

    // Reads the page's facts from its lines (earlier facts are cleared first).
    void ParseInfo(const TStrings* Lines);
    // ProductVersion newer than CurrentVersion by VersionFormat's rule.
    bool IsNewerVersion() const;
    // The update file's name: DownloadURL after its last "/".
    std::string DownloadFileName() const;

private:
    friend struct THttpEvents;
    void ClearFacts();
    bool FetchInfo(int Hops);
    bool DownloadFile(const std::string& Address, const std::string& Path, const std::string& Caption);
    bool FetchText(const std::string& Address, std::string& Text);
    void RequestDone(Word Error);
    void DoDownloadProgress(int64_t Received, int64_t Total);
    void AppException(TObject* Sender, Exception& E);
    void RemoveHook();
    void ShowWaitWindow(const std::string& Text);
    void EndWaitWindow(int Result);
    std::string VersionQuestion(const std::string& Tail) const;
    std::unique_ptr<TForm> FWaitWindow;
    TWebDlProgress* FProgressWindow = nullptr;
    TExceptionEvent FSavedHandler;
    bool FHookInstalled = false;
    std::string FDownloadPath;  // the last complete download
    bool FActive = false;
    std::string FHomeURL;
    std::unique_ptr<TWfiTags> FInfoTags;
    std::unique_ptr<TFont> FUIFont;
    TWfiOptions FOptions{wfioDisplayUI, wfioDisplayReadMe, wfioRunUpdate, wfioExitDuringUpdate};
    std::string FLastError;
    std::string FDownloadURL, FProductName, FProductAuthor, FProductAuthorEMail, FProductDateStr, FProductReadMe,
        FProductReadMeExt, FProductVersion, FRunParams, FRedirectURL;
    TDateTime FProductDate = 0;
};

// The content of a page line's CONTENT="..." (case-sensitive marker); empty without one.
std::string ExtractContent(const std::string& Line);
// The texts of the component's messages by number (65248 "No Update Found", ...).
std::string WfiText(int Id);
// A count with "," between groups of three digits ("1,048,576").
std::string GroupedCount(int64_t Value);
// Received as a whole percentage of Total, or -1 when Total is unknown (0 or less).
int DownloadPercent(int64_t Received, int64_t Total);
// A file name from the server reduced to a bare name; empty when none is left.
std::string BareFileName(const std::string& Name);

// "Jun 07, 2003" as a date; raises EConvertError for a text that names no date.
TDateTime ParseInfoDate(const std::string& Text);
// Dotted build numbers compared part by part: true when Offered is newer than Current.
bool IsNewerBuildNumber(const std::string& Current, const std::string& Offered);

// Registers the component for window definitions; safe to call more than once.
void RegisterWebFileInfoClasses();
