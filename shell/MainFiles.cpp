// The main window's calculator files: open, save, save as, close, new,
// reopen and the recent-files list. The file's form is CalcFile.h.
//
// Nothing is touched until a file has been chosen, read and converted in
// full: a cancelled dialog, a missing file or a damaged one leaves every
// value, the caption and CurrentFileName as they were.

#include "Main.h"

#include <cerrno>
#include <cstring>

#include "AmortizationPage.h"
#include "CalcFile.h"
#include "ClassesIO.h"
#include "Dialogs.h"
#include "entmru.h"
#include "entpf.h"

namespace {

const char* const kMonths[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun", "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};

std::string SystemError(int Code) { return std::strerror(Code); }

// "Varnholt, 3.0.01 - " and the name without its folder.
std::string FileCaption(const std::string& FileName) {
    return std::string(SProgramCaption) + " - " + ExtractFileName(FileName);
}

enum class TOpenMode { CloseFirst, KeepOpen };

// Reads and converts the whole file, then stores it; false (and said so) when
// the file is missing, unreadable or damaged, with nothing changed.
bool OpenCalculatorFile(TfrmMain& Main, const std::string& Name, TOpenMode Mode) {
    if (!FileExists(Name)) {
        MessageDlg("Cannot open " + Name + ": the file does not exist.", mtError, TMsgDlgButtons{mbOK}, 0);
        return false;
    }
    std::string bytes;
    if (!classes_io::ReadFileBytes(Name, bytes)) {
        MessageDlg("Cannot read " + Name + ": " + SystemError(errno) + ".", mtError, TMsgDlgButtons{mbOK}, 0);
        return false;
    }
    TCalcFileContents contents;
    try {
        contents = ParseCalculatorFile(classes_io::DecodeLines(bytes), FormatSettings);
    } catch (const ECalcFileError& e) {
        MessageDlg(Name + " is not a calculator file that can be read.\n" + e.Message, mtError, TMsgDlgButtons{mbOK},
                   0);
        return false;
    }
    if (Mode == TOpenMode::CloseFirst) Main.mnuFileCloseClick(&Main);
    if (auto* mru = Main.Find<TEntMenuMRU>("mnuFileReopenMRU")) mru->Add(Name);
    ApplyCalculatorFile(Main, contents);
    TAmortizationPage& amort = *Main.Page<TAmortizationPage>();
    amort.FillGrdAnnualAmortization();
    Main.CreatePrepaymentList(&Main);
    if (Main.ActivePageName() == "pgLoanSpreadCalculator") Main.ChooseLoanSpreadCalculator(&Main);
    CurrentFileName = Name;
    if (auto* month = Main.Find<TCustomComboBox>("cbMonth")) {
        for (int m = 0; m < 12; ++m)
            if (month->GetText() == kMonths[m]) amort.AmortStartMonth = m + 1;
    }
    if (auto* year = Main.Find<TEntBaseEntryField>("edtYear")) amort.AmortStartYear = year->GetAsInteger();
    Main.SetCaption(FileCaption(Name));
    Main.CalcAmortization(&Main);
    Main.CreatePrepaymentList(&Main);
    Main.Repaint();
    return true;
}

// Saves through a temporary file; false (and said so) when it cannot be written.
bool WriteCalculatorFile(TfrmMain& Main, const std::string& Name) {
    const std::string text = CalculatorFileText(Main);
    Main.CreatePrepaymentList(&Main);
    std::string bytes;
    if (!TryTextToAnsi(text, bytes)) bytes = text;
    if (const int error = classes_io::WriteFileAtomic(Name, bytes)) {
        MessageDlg("Cannot save " + Name + ": " + SystemError(error) + ". The file on disk is unchanged.", mtError,
                   TMsgDlgButtons{mbOK}, 0);
        return false;
    }
    return true;
}

void SaveAsThroughDialog(TfrmMain& Main) {
    auto* dialog = Main.Find<TSaveDialog>("dlgSave");
    if (!dialog || !dialog->Execute() || dialog->FileName.empty()) return;
    const std::string name = dialog->FileName;
    if (!WriteCalculatorFile(Main, name)) return;
    CurrentFileName = name;
    Main.SetCaption(FileCaption(name));
}

}  // namespace

void TfrmMain::btnOpenClick(TObject*) {
    auto* dialog = Find<TOpenDialog>("dlgOpen");
    if (!dialog || !dialog->Execute()) return;
    const std::string name = dialog->FileName;
    if (name.empty()) return;
    if (OpenCalculatorFile(*this, name, TOpenMode::CloseFirst)) {
        if (auto* reopen = Find<TMenuItem>("mnuFileReopen")) reopen->SetEnabled(true);
    }
}

void TfrmMain::mnuFileReopenMRUClick(TObject*, const std::string& ItemText, TEntMRUClickAction&) {
    if (ItemText.empty()) return;
    // No close first: the read overwrites every value anyway.
    OpenCalculatorFile(*this, ItemText, TOpenMode::KeepOpen);
}

void TfrmMain::btnSaveClick(TObject*) {
    if (!CurrentFileName.empty())
        WriteCalculatorFile(*this, CurrentFileName);
    else
        SaveAsThroughDialog(*this);
    Repaint();
}

void TfrmMain::SaveCurrentFile(TObject* Sender) { btnSaveClick(Sender); }

void TfrmMain::mnuFileSaveAsClick(TObject* Sender) {
    SaveAsThroughDialog(*this);
    Repaint();
    CreatePrepaymentList(Sender);
}

void TfrmMain::mnuFileCloseClick(TObject* Sender) {
    if (CurrentFileName.empty()) return;
    ResetAllCalculatorsToZero(Sender);
    SetCaption(SProgramCaption);
    CurrentFileName.clear();
}

void TfrmMain::CreateNewFile(TObject* Sender) {
    ResetAmortizationSchedule(Sender);
    ResetAllCalculatorsToZero(Sender);
}

void TfrmMain::mnuFileClearHistoryClick(TObject*) {
    if (auto* mru = Find<TEntMenuMRU>("mnuFileReopenMRU")) mru->Clear();
    if (auto* reopen = Find<TMenuItem>("mnuFileReopen")) reopen->SetEnabled(false);
}
