// File operations, file-type associations and the stored data block.

#include "vsComps.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fcntl.h>
#include <fnmatch.h>
#include <spawn.h>
#include <sys/wait.h>

#include "ClassesIO.h"
#include "Desktop.h"
#include "Folders.h"
#include "IniFiles.h"
#include "MsgBox.h"
#include "SysUtils.h"

extern char** environ;

namespace fs = std::filesystem;

// ---- File operation ---------------------------------------------------------------------

TvsFileOperation::TvsFileOperation(TComponent* AOwner)
    : TvsComponent(AOwner), FFileList(std::make_unique<TStringList>()) {}

TvsFileOperation::~TvsFileOperation() = default;

namespace {

bool HasWildcard(const std::string& s) { return s.find_first_of("*?") != std::string::npos; }

// The sources a line names: itself, or the matches of a wildcard name.
std::vector<std::string> ExpandSource(const std::string& Source, bool FilesOnly) {
    const std::string name = ExtractFileNamePart(Source);
    if (!HasWildcard(name)) return {Source};
    std::string dir = ExtractFilePathPart(Source);
    std::vector<std::string> out;
    std::error_code ec;
    for (const auto& e : fs::directory_iterator(dir.empty() ? "." : dir, ec)) {
        const std::string n = e.path().filename().string();
        if (fnmatch(name.c_str(), n.c_str(), FNM_PERIOD) != 0) continue;
        if (FilesOnly && !e.is_regular_file(ec)) continue;
        out.push_back(dir + n);
    }
    std::sort(out.begin(), out.end());
    return out;
}

// "name (2).ext", "name (3).ext", ... : the first that does not exist.
std::string UniqueName(const std::string& Target) {
    const std::string dir = ExtractFilePathPart(Target), base = ExtractFileNameWithoutExt(Target);
    const std::string ext = ExtractFileNamePart(Target).substr(base.size());
    std::error_code ec;
    for (int i = 2;; ++i) {
        std::string candidate = dir + base + " (" + std::to_string(i) + ")" + ext;
        if (!fs::exists(candidate, ec)) return candidate;
    }
}

std::string ErrorText(const std::error_code& ec) { return ec.message(); }

}  // namespace

bool TvsFileOperation::Fail(const std::string& Message) {
    if (OnError) OnError(this, Message);
    return false;
}

bool TvsFileOperation::Execute() {
    bool ok = true;
    for (int i = 0; i < FFileList->Count(); ++i) {
        const std::string line = Trim(FFileList->Strings(i));
        if (line.empty()) continue;
        const size_t eq = line.find('=');
        const std::string source = eq == std::string::npos ? line : line.substr(0, eq);
        const std::vector<std::string> sources = ExpandSource(source, Options.Contains(fofFilesOnly));
        if (sources.empty()) {
            ok = Fail("No file matches \"" + source + "\"");
            continue;
        }
        for (const std::string& s : sources) {
            std::string target;
            if (Operation == fotDelete) {
                // nothing to aim at
            } else if (eq != std::string::npos) {
                target = ApplyFileMask(s, ExpandFileNameFromDir(DestFolder, line.substr(eq + 1)));
            } else if (Operation == fotRename) {
                target = ExpandFileNameFromDir(ExtractFilePathPart(s), DestFolder);
            } else {
                const std::string folder =
                    DestFolder.empty() ? ExtractFilePathPart(s) : IncludeTrailingPathDelimiter(DestFolder);
                target = folder + ExtractFileNamePart(s);
            }
            if (!Run(s, target)) ok = false;
        }
    }
    return ok;
}

bool TvsFileOperation::Run(const std::string& Source, const std::string& Target) {
    std::error_code ec;
    if (!fs::exists(fs::symlink_status(Source, ec))) return Fail("Cannot find \"" + Source + "\"");
    if (Operation == fotDelete) {
        if (Options.Contains(fofAllowUndo)) {
            std::string error;
            if (!MoveToTrash(Source, error)) return Fail("Cannot move \"" + Source + "\" to the trash: " + error);
            return true;
        }
        fs::remove_all(Source, ec);
        return ec ? Fail("Cannot delete \"" + Source + "\": " + ErrorText(ec)) : true;
    }
    std::string target = Target;
    if (fs::equivalent(Source, target, ec)) {
        if (Operation != fotCopy) return true;
        target = UniqueName(target);
    } else if (fs::exists(target, ec)) {
        if (Options.Contains(fofRenameCollision)) {
            target = UniqueName(target);
        } else if (!Options.Contains(fofNoConfirmation) &&
                   MessageBox("The file \"" + target + "\" already exists.\n\nReplace it?",
                              ProgressTitle.empty() ? "Confirm File Replace" : ProgressTitle,
                              MB_YESNO | MB_ICONQUESTION) != IDYES) {
            return true;  // left as it is, by choice
        } else {
            fs::remove_all(target, ec);
            if (ec) return Fail("Cannot replace \"" + target + "\": " + ErrorText(ec));
        }
    }
    const fs::path folder = fs::path(target).parent_path();
    if (!folder.empty() && !fs::exists(folder, ec)) {
        if (!Options.Contains(fofNoConfirmMkDir) && !Options.Contains(fofNoConfirmation) &&
            MessageBox("The folder \"" + folder.string() + "\" does not exist.\n\nCreate it?",
                       ProgressTitle.empty() ? "Confirm Folder Create" : ProgressTitle,
                       MB_YESNO | MB_ICONQUESTION) != IDYES)
            return true;
        fs::create_directories(folder, ec);
        if (ec) return Fail("Cannot create \"" + folder.string() + "\": " + ErrorText(ec));
    }
    if (Operation == fotCopy) {
        fs::copy(Source, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
        return ec ? Fail("Cannot copy \"" + Source + "\" to \"" + target + "\": " + ErrorText(ec)) : true;
    }
    fs::rename(Source, target, ec);
    if (ec == std::errc::cross_device_link) {
        // Another file system: copy, then remove the original.
        ec.clear();
        fs::copy(Source, target, fs::copy_options::recursive | fs::copy_options::copy_symlinks, ec);
        if (!ec) fs::remove_all(Source, ec);
    }
    return ec ? Fail("Cannot move \"" + Source + "\" to \"" + target + "\": " + ErrorText(ec)) : true;
}

// ---- File association -------------------------------------------------------------------

namespace {

std::string XmlEscape(const std::string& s) {
    std::string out;
    for (char c : s) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        default: out += c;
        }
    }
    return out;
}

// Desktop entry values keep to one line.
std::string EntryValue(const std::string& s) { return ReplaceAll(ReplaceAll(s, "\\", "\\\\"), "\n", "\\n"); }

// A command line's "%1" (quoted or not) becomes the entry's file argument.
std::string ExecFromCommand(const std::string& Command) {
    return ReplaceAll(ReplaceAll(Command, "\"%1\"", "%f"), "%1", "%f");
}

// The desktop's MIME database is rebuilt when its tool is there.
void UpdateMimeDatabase(const std::string& MimeDir) {
    pid_t pid;
    const char* argv[] = {"update-mime-database", MimeDir.c_str(), nullptr};
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
    if (posix_spawnp(&pid, argv[0], &actions, nullptr, const_cast<char**>(argv), environ) == 0) {
        int status;
        waitpid(pid, &status, 0);
    }
    posix_spawn_file_actions_destroy(&actions);
}

struct TAction {
    const char* Id;
    TvsFileAssociation::TField Command, Description;
};
constexpr TAction kActions[] = {
    {"opennew", TvsFileAssociation::afOpenNewCommand, TvsFileAssociation::afOpenNewCommandDescription},
    {"edit", TvsFileAssociation::afEditCommand, TvsFileAssociation::afEditCommandDescription},
    {"print", TvsFileAssociation::afPrintCommand, TvsFileAssociation::afPrintCommandDescription},
    {"printto", TvsFileAssociation::afPrintToCommand, TvsFileAssociation::afPrintToCommandDescription},
};
constexpr const char* kEntry = "Desktop Entry";

}  // namespace

TvsFileAssociation::TvsFileAssociation(TComponent* AOwner) : TvsComponent(AOwner) {}

std::string TvsFileAssociation::MimeType() const {
    std::string ext = LowerCase(FExtension);
    if (!ext.empty() && ext[0] == '.') ext.erase(0, 1);
    return "application/x-varnholt-" + ext;
}

std::string TvsFileAssociation::MimePackageFile() const {
    return XdgDataHome() + "mime/packages/" + ReplaceChar(MimeType(), '/', '-') + ".xml";
}

std::string TvsFileAssociation::DesktopEntryFile() const {
    return XdgDataHome() + "applications/" + ReplaceChar(MimeType(), '/', '-') + ".desktop";
}

void TvsFileAssociation::SetExtension(const std::string& Value) {
    std::string ext = Trim(Value);
    if (!ext.empty() && ext[0] != '.') ext = "." + ext;
    if (ext == FExtension) return;
    FExtension = ext;
    for (std::string& f : FFields) f.clear();
    FIconIndex = 0;
    Read();
}

void TvsFileAssociation::Set(TField Field, const std::string& Value) {
    if (FFields[Field] == Value) return;
    FFields[Field] = Value;
    Changed();
}

void TvsFileAssociation::SetIconIndex(int Value) {
    if (FIconIndex == Value) return;
    FIconIndex = Value;
    Changed();
}

void TvsFileAssociation::Changed() {
    if (!FExtension.empty() && !ComponentState.Contains(csLoading) && !ComponentState.Contains(csDesigning)) Write();
}

bool TvsFileAssociation::Read() {
    std::error_code ec;
    if (FExtension.empty() || !fs::exists(DesktopEntryFile(), ec)) return false;
    TIniFile entry(DesktopEntryFile());
    auto x = [&](const char* key) { return entry.ReadString(kEntry, std::string("X-Varnholt-") + key, ""); };
    FFields[afExtDescription] = x("ExtDescription");
    FFields[afFileDescription] = x("FileDescription");
    FFields[afIconFile] = entry.ReadString(kEntry, "Icon", "");
    FIconIndex = entry.ReadInteger(kEntry, "X-Varnholt-IconIndex", 0);
    FFields[afOpenCommand] = x("OpenCommand");
    FFields[afOpenCommandDescription] = entry.ReadString(kEntry, "Name", "");
    for (const TAction& a : kActions) {
        const std::string section = std::string("Desktop Action ") + a.Id;
        FFields[a.Command] = entry.ReadString(section, "X-Varnholt-Command", "");
        FFields[a.Description] = entry.ReadString(section, "Name", "");
    }
    return true;
}

bool TvsFileAssociation::Write() {
    if (FExtension.empty()) return false;
    std::error_code ec;
    const std::string package = MimePackageFile(), desktop = DesktopEntryFile();
    fs::create_directories(ExtractFilePathPart(package), ec);
    fs::create_directories(ExtractFilePathPart(desktop), ec);
    const std::string comment =
        FFields[afFileDescription].empty() ? FFields[afExtDescription] : FFields[afFileDescription];
    std::string xml =
        "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
        "<mime-info xmlns=\"http://www.freedesktop.org/standards/shared-mime-info\">\n"
        "  <mime-type type=\"" +
        MimeType() + "\">\n";
    if (!comment.empty()) xml += "    <comment>" + XmlEscape(comment) + "</comment>\n";
    if (!FFields[afIconFile].empty()) xml += "    <icon name=\"" + XmlEscape(FFields[afIconFile]) + "\"/>\n";
    xml += "    <glob pattern=\"*" + XmlEscape(LowerCase(FExtension)) + "\"/>\n  </mime-type>\n</mime-info>\n";

    std::string actions, actionSections;
    for (const TAction& a : kActions) {
        if (FFields[a.Command].empty()) continue;
        actions += std::string(a.Id) + ";";
        actionSections += std::string("\n[Desktop Action ") + a.Id +
                          "]\nName=" + EntryValue(FFields[a.Description].empty() ? a.Id : FFields[a.Description]) +
                          "\nExec=" + EntryValue(ExecFromCommand(FFields[a.Command])) +
                          "\nX-Varnholt-Command=" + EntryValue(FFields[a.Command]) + "\n";
    }
    std::string entry = "[Desktop Entry]\nType=Application\nName=" +
                        EntryValue(FFields[afOpenCommandDescription].empty() ? (comment.empty() ? FExtension : comment)
                                                                             : FFields[afOpenCommandDescription]) +
                        "\nNoDisplay=true\nMimeType=" + MimeType() + ";\n";
    if (!FFields[afOpenCommand].empty()) entry += "Exec=" + EntryValue(ExecFromCommand(FFields[afOpenCommand])) + "\n";
    if (!FFields[afIconFile].empty()) entry += "Icon=" + EntryValue(FFields[afIconFile]) + "\n";
    if (!actions.empty()) entry += "Actions=" + actions + "\n";
    entry += "X-Varnholt-IconIndex=" + std::to_string(FIconIndex) +
             "\nX-Varnholt-ExtDescription=" + EntryValue(FFields[afExtDescription]) +
             "\nX-Varnholt-FileDescription=" + EntryValue(FFields[afFileDescription]) +
             "\nX-Varnholt-OpenCommand=" + EntryValue(FFields[afOpenCommand]) + "\n" + actionSections;
    if (classes_io::WriteFileAtomic(package, xml) != 0 || classes_io::WriteFileAtomic(desktop, entry) != 0)
        return false;
    try {
        fs::create_directories(XdgConfigHome(), ec);
        TIniFile apps(XdgConfigHome() + "mimeapps.list");
        apps.WriteString("Default Applications", MimeType(), ExtractFileNamePart(desktop));
    } catch (const EIniFileException&) {
        return false;
    }
    UpdateMimeDatabase(XdgDataHome() + "mime");
    return true;
}

bool TvsFileAssociation::Remove() {
    if (FExtension.empty()) return false;
    std::error_code ec;
    fs::remove(MimePackageFile(), ec);
    fs::remove(DesktopEntryFile(), ec);
    const std::string apps = XdgConfigHome() + "mimeapps.list";
    if (fs::exists(apps, ec)) {
        try {
            TIniFile(apps).DeleteKey("Default Applications", MimeType());
        } catch (const EIniFileException&) {
            return false;
        }
    }
    UpdateMimeDatabase(XdgDataHome() + "mime");
    return true;
}

// ---- Stored data block ----------------------------------------------------------------------

TvsCustomFileStorage::TvsCustomFileStorage(TComponent* AOwner)
    : TvsComponent(AOwner), FData(std::make_unique<TMemoryStream>()) {}

TvsCustomFileStorage::~TvsCustomFileStorage() = default;

void TvsCustomFileStorage::SetFileName(const std::string& Value) {
    if (Value == FFileName) return;
    FFileName = Value;
    Changed();
}

void TvsCustomFileStorage::SetSaveName(const std::string& Value) {
    FSaveName = Value;
    if (ComponentState.Contains(csDesigning) && !IsFileNameValid(Value)) FAutoSave = false;
}

void TvsCustomFileStorage::SetAutoSave(bool Value) {
    if (Value && ComponentState.Contains(csDesigning) && !IsFileNameValid(FSaveName)) {
        MessageBox(vsMsg::WrongSaveName, "Warning", MB_OK | MB_ICONWARNING);
        return;
    }
    FAutoSave = Value;
}

void TvsCustomFileStorage::DefineProperties(TFiler* Filer) {
    Filer->DefineBinaryProperty(
        "FileData",
        [this](TStream* s) {
            const int32_t size = s->ReadInt32();
            if (size < 0 || size > s->GetSize() - s->GetPosition())
                throw EReadError("FileData of " + std::to_string(size) + " bytes is longer than its stream");
            FData->Clear();
            if (size > 0) FData->CopyFrom(s, size);
            FData->SetPosition(0);
        },
        [this](TStream* s) {
            s->WriteInt32(int32_t(FData->GetSize()));
            s->WriteBuffer(FData->Memory(), FData->GetSize());
        },
        FData->GetSize() > 0);
}

bool TvsCustomFileStorage::LoadFromFile() {
    std::string bytes;
    const bool ok = !FFileName.empty() && classes_io::ReadFileBytes(FFileName, bytes);
    if (ok) {
        FData->Clear();
        FData->WriteBuffer(bytes.data(), int64_t(bytes.size()));
        FData->SetPosition(0);
    }
    if (OnLoad) OnLoad(this, ok);
    return ok;
}

bool TvsCustomFileStorage::SaveToFile() {
    std::error_code ec;
    if (FSaveName.empty()) {
        if (OnSave) OnSave(this, false);
        return false;
    }
    if (fs::exists(FSaveName, ec) && OnConfirmOverride) {
        bool replace = true;
        OnConfirmOverride(this, replace);
        if (!replace) return false;
    }
    const std::string bytes(reinterpret_cast<const char*>(FData->Memory()), size_t(FData->GetSize()));
    const bool ok = classes_io::WriteFileAtomic(FSaveName, bytes) == 0;
    if (OnSave) OnSave(this, ok);
    return ok;
}

void TvsCustomFileStorage::Loaded() {
    TvsComponent::Loaded();
    if (FAutoSave && !ComponentState.Contains(csDesigning)) SaveToFile();
}
