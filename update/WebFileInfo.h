#pragma once
// The update-check component: what the running program is (its version, the
// address of the information page) and what the page offers (product facts
// read from its META HTTP-EQUIV lines), with the version comparison.

#include <functional>
#include <memory>
#include <string>

#include "Classes.h"
#include "Graphics.h"
#include "Types.h"

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

    // Reads the page's facts from its lines (earlier facts are cleared first).
    void ParseInfo(const TStrings* Lines);
    // ProductVersion newer than CurrentVersion by VersionFormat's rule.
    bool IsNewerVersion() const;
    // The update file's name: DownloadURL after its last "/".
    std::string DownloadFileName() const;

private:
    void ClearFacts();
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
// "Jun 07, 2003" as a date; raises EConvertError for a text that names no date.
TDateTime ParseInfoDate(const std::string& Text);
// Dotted build numbers compared part by part: true when Offered is newer than Current.
bool IsNewerBuildNumber(const std::string& Current, const std::string& Offered);

// Registers the component for window definitions; safe to call more than once.
void RegisterWebFileInfoClasses();
