#include "WebFileInfo.h"

#include <mutex>

#include "Controls.h"
#include "Forms.h"
#include "SysUtils.h"
#include "TypInfo.h"

namespace {

constexpr size_t kMaxContent = 1000;

// Text from Start up to the next double quote (or the end).
std::string UpToQuote(const std::string& s, size_t start, size_t limit = std::string::npos) {
    if (start >= s.size()) return "";
    std::string rest = s.substr(start, limit);
    size_t quote = rest.find('"');
    return quote == std::string::npos ? rest : rest.substr(0, quote);
}

int LeadingNumber(const std::string& s) {
    int value = 0;
    return TryStrToInt(s, value) ? value : 0;
}

}  // namespace

void TWfiTags::Assign(TPersistent* Source) {
    auto* s = dynamic_cast<TWfiTags*>(Source);
    if (!s) return TPersistent::Assign(Source);
    AuthorTag = s->AuthorTag;
    AuthorEMailTag = s->AuthorEMailTag;
    DateTag = s->DateTag;
    DownloadTag = s->DownloadTag;
    ProductNameTag = s->ProductNameTag;
    ReadMeTag = s->ReadMeTag;
    ReadMeExtTag = s->ReadMeExtTag;
    RedirectTag = s->RedirectTag;
    RunParamsTag = s->RunParamsTag;
    VersionTag = s->VersionTag;
}

TWebFileInfo::TWebFileInfo(TComponent* AOwner)
    : TComponent(AOwner), FInfoTags(std::make_unique<TWfiTags>()), FUIFont(std::make_unique<TFont>()) {}

void TWebFileInfo::SetActive(bool Value) {
    if (!Value) FActive = false;
}

void TWebFileInfo::SetHomeURL(const std::string& Value) {
    if (Value.size() < 7 || LowerCase(Value.substr(0, 7)) != "http://") return;
    FHomeURL = Value;
    FActive = false;
}

void TWebFileInfo::SetOptions(TWfiOptions Value) { FOptions = Value + wfioDisplayUI; }

TFont* TWebFileInfo::GetUIFont() {
    // Not while the definition is read: its UIFont values come before UIOwnerFont.
    if (UIOwnerFont && !ComponentState.Contains(csLoading))
        if (auto* form = dynamic_cast<TForm*>(Owner)) FUIFont->Assign(form->GetFont());
    return FUIFont.get();
}

void TWebFileInfo::SetUIFont(TFont* Value) {
    FUIFont->Assign(Value);
    UIOwnerFont = false;
}

void TWebFileInfo::ClearFacts() {
    FDownloadURL.clear();
    FProductName.clear();
    FProductAuthor.clear();
    FProductAuthorEMail.clear();
    FProductDate = 0;
    FProductDateStr.clear();
    FProductReadMe.clear();
    FProductReadMeExt.clear();
    FProductVersion.clear();
    FRedirectURL.clear();
    FRunParams.clear();
}

std::string ExtractContent(const std::string& Line) {
    size_t at = Line.find("CONTENT=");
    // A line without the marker has no content (rather than text from its start).
    if (at == std::string::npos) return "";
    return UpToQuote(Line, at + 9, kMaxContent);
}

void TWebFileInfo::ParseInfo(const TStrings* Lines) {
    ClearFacts();
    const TWfiTags& t = *FInfoTags;
    std::pair<const std::string*, std::string*> targets[] = {
        {&t.ProductNameTag, &FProductName},
        {&t.ReadMeTag, &FProductReadMe},
        {&t.ReadMeExtTag, &FProductReadMeExt},
        {&t.VersionTag, &FProductVersion},
        {&t.DateTag, &FProductDateStr},
        {&t.AuthorTag, &FProductAuthor},
        {&t.AuthorEMailTag, &FProductAuthorEMail},
        {&t.DownloadTag, &FDownloadURL},
        {&t.RedirectTag, &FRedirectURL},
        {&t.RunParamsTag, &FRunParams},
    };
    for (int i = 0; i < Lines->Count(); ++i) {
        const std::string line = Lines->Get(i);
        size_t p = UpperCase(line).find("META HTTP-EQUIV");
        if (p == std::string::npos) continue;
        const std::string tag = UpToQuote(line, p + 17);
        for (auto& [name, target] : targets)
            if (!name->empty() && *name == tag) *target = ExtractContent(line);  // an unused tag matches nothing
    }
    if (!FProductDateStr.empty() && DateFormat == wfidDFSDate) {
        // A date the page gets wrong must not stop the check half-way.
        try {
            FProductDate = ParseInfoDate(FProductDateStr);
        } catch (EConvertError&) {
            FProductDate = 0;
        }
    }
}

TDateTime ParseInfoDate(const std::string& Text) {
    static const std::string kMonths = "JANFEBMARAPRMAYJUNJULAUGSEPOCTNOVDEC";
    const size_t at = kMonths.find(UpperCase(Text.substr(0, 3)));
    const int month = at == std::string::npos || Text.size() < 3 ? 0 : (static_cast<int>(at) + 1 + 2) / 3;
    const size_t comma = Text.find(',');
    const int day = comma == std::string::npos || comma < 2 ? 0 : LeadingNumber(Trim(Text.substr(comma - 2, 2)));
    const int year = Text.size() < 4 ? 0 : LeadingNumber(Text.substr(Text.size() - 4));
    if (month < 1 || month > 12) throw EConvertError("'" + Text + "' is not a valid date");
    return EncodeDate(static_cast<Word>(year), static_cast<Word>(month), static_cast<Word>(day));
}

bool IsNewerBuildNumber(const std::string& Current, const std::string& Offered) {
    std::string a = Current, b = Offered;
    for (;;) {
        const size_t da = a.find('.'), db = b.find('.');
        const int na = LeadingNumber(a.substr(0, da)), nb = LeadingNumber(b.substr(0, db));
        if (na < nb) return true;
        if (na > nb) return false;
        a = da == std::string::npos ? std::string() : a.substr(da + 1);
        b = db == std::string::npos ? std::string() : b.substr(db + 1);
        if (da == std::string::npos) return false;
    }
}

bool TWebFileInfo::IsNewerVersion() const {
    if (VersionFormat == wfivSimpleString) return FProductVersion > CurrentVersion;
    return IsNewerBuildNumber(CurrentVersion, FProductVersion);
}

std::string TWebFileInfo::DownloadFileName() const {
    size_t slash = FDownloadURL.rfind('/');
    std::string name = slash == std::string::npos ? FDownloadURL : FDownloadURL.substr(slash + 1);
    return name.substr(0, kMaxContent);
}

void RegisterWebFileInfoClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterControlsClasses();
        const std::string persistent = ParentIfRegistered("TPersistent");
        Published<TWfiTags>("TWfiTags", persistent)
            .Str("AuthorTag", &TWfiTags::AuthorTag, &TWfiTags::AuthorTag)
            .Str("AuthorEMailTag", &TWfiTags::AuthorEMailTag, &TWfiTags::AuthorEMailTag)
            .Str("DateTag", &TWfiTags::DateTag, &TWfiTags::DateTag)
            .Str("DownloadTag", &TWfiTags::DownloadTag, &TWfiTags::DownloadTag)
            .Str("ProductNameTag", &TWfiTags::ProductNameTag, &TWfiTags::ProductNameTag)
            .Str("ReadMeTag", &TWfiTags::ReadMeTag, &TWfiTags::ReadMeTag)
            .Str("ReadMeExtTag", &TWfiTags::ReadMeExtTag, &TWfiTags::ReadMeExtTag)
            .Str("RedirectTag", &TWfiTags::RedirectTag, &TWfiTags::RedirectTag)
            .Str("RunParamsTag", &TWfiTags::RunParamsTag, &TWfiTags::RunParamsTag)
            .Str("VersionTag", &TWfiTags::VersionTag, &TWfiTags::VersionTag);
        using W = TWebFileInfo;
        Published<TWebFileInfo>("TWebFileInfo", "TComponent")
            .Bool("Active", &W::GetActive, &W::SetActive)
            .Str("CurrentVersion", &W::CurrentVersion, &W::CurrentVersion)
            .Enum("DateFormat", {"wfidDFSDate", "wfidNone"}, &W::DateFormat, &W::DateFormat)
            .Str("DownloadURL", &W::GetDownloadURL, nullptr)
            .Str("HomeURL", &W::GetHomeURL, &W::SetHomeURL)
            .Object("InfoTags", &W::GetInfoTags)
            .Str("LastError", &W::GetLastError, nullptr)
            .SetOf(
                "Options",
                {"wfioAlwaysOverwrite", "wfioDisplayUI", "wfioDisplayReadMe", "wfioRunUpdate", "wfioExitDuringUpdate"},
                &W::GetOptions, &W::SetOptions)
            .Str("ProductName", &W::GetProductName, nullptr)
            .Str("ProductAuthor", &W::GetProductAuthor, nullptr)
            .Str("ProductAuthorEMail", &W::GetProductAuthorEMail, nullptr)
            .Float("ProductDate", &W::GetProductDate, nullptr)
            .Str("ProductDateStr", &W::GetProductDateStr, nullptr)
            .Str("ProductReadMe", &W::GetProductReadMe, nullptr)
            .Str("ProductReadMeExt", &W::GetProductReadMeExt, nullptr)
            .Str("ProductVersion", &W::GetProductVersion, nullptr)
            .Str("ProxyHost", &W::ProxyHost, &W::ProxyHost)
            .Int("ProxyPort", &W::ProxyPort, &W::ProxyPort)
            .Str("RunParams", &W::GetRunParams, nullptr)
            .Object("UIFont", &W::GetUIFont)
            .Bool("UIOwnerFont", &W::UIOwnerFont, &W::UIOwnerFont)
            .Enum("VersionFormat", {"wfivBuildNumber", "wfivSimpleString"}, &W::VersionFormat, &W::VersionFormat)
            .Event("OnDownloadProgress", &W::OnDownloadProgress);
    });
}
