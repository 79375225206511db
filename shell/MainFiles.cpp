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

}  // namespace

void TfrmMain::AddFileHandlers(THandlerTable& h) {
    BindNotify(h, "btnOpenClick", &TfrmMain::btnOpenClick);
    BindNotify(h, "btnSaveClick", &TfrmMain::btnSaveClick);
    BindNotify(h, "mnuFileSaveAsClick", &TfrmMain::mnuFileSaveAsClick);
    BindNotify(h, "mnuFileCloseClick", &TfrmMain::mnuFileCloseClick);
    BindNotify(h, "CreateNewFile", &TfrmMain::CreateNewFile);
    BindNotify(h, "mnuFileClearHistoryClick", &TfrmMain::mnuFileClearHistoryClick);
    h["mnuFileReopenMRUClick"] =
        TEntMRUClickEvent([this](TObject* s, const std::string& text, TEntMRUClickAction& action) {
            mnuFileReopenMRUClick(s, text, action);
        });
}

std::string TfrmMain::FileCaption(const std::string& FileName) {
    return std::string(SProgramCaption) + " - " + ExtractFileName(FileName);
}

bool TfrmMain::OpenCalculatorFile(const std::string& Name, TOpenMode Mode) {
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
    if (Mode == TOpenMode::CloseFirst) mnuFileCloseClick(this);
    if (auto* mru = Find<TEntMenuMRU>("mnuFileReopenMRU")) mru->Add(Name);
    ApplyCalculatorFile(*this, contents);
    if (Amortization) Amortization->FillGrdAnnualAmortization();
    CreatePrepaymentList(this);
    if (ActivePageName() == "pgLoanSpreadCalculator") ChooseLoanSpreadCalculator(this);
    CurrentFileName = Name;
    if (auto* month = Find<TCustomComboBox>("cbMonth")) {
        for (int m = 0; m < 12; ++m)
            if (month->GetText() == kMonths[m]) Amortization->AmortStartMonth = m + 1;
    }
    if (auto* year = Find<TEntBaseEntryField>("edtYear")) Amortization->AmortStartYear = year->GetAsInteger();
    SetCaption(FileCaption(Name));
    CalcAmortization(this);
    CreatePrepaymentList(this);
    Repaint();
    return true;
}

bool TfrmMain::WriteCalculatorFile(const std::string& Name) {
    const std::string text = CalculatorFileText(*this);
    CreatePrepaymentList(this);
    std::string bytes;
    if (!TryTextToAnsi(text, bytes)) bytes = text;
    if (const int error = classes_io::WriteFileAtomic(Name, bytes)) {
        MessageDlg("Cannot save " + Name + ": " + SystemError(error) + ". The file on disk is unchanged.", mtError,
                   TMsgDlgButtons{mbOK}, 0);
        return false;
    }
    return true;
}

void TfrmMain::btnOpenClick(TObject*) {
    auto* dialog = Find<TOpenDialog>("dlgOpen");
    if (!dialog || !dialog->Execute()) return;
    const std::string name = dialog->FileName;
    if (name.empty()) return;
    if (OpenCalculatorFile(name, TOpenMode::CloseFirst)) {
        if (auto* reopen = Find<TMenuItem>("mnuFileReopen")) reopen->SetEnabled(true);
    }
}

void TfrmMain::mnuFileReopenMRUClick(TObject*, const std::string& ItemText, TEntMRUClickAction&) {
    if (ItemText.empty()) return;
    // No close first: the read overwrites every value anyway.
    OpenCalculatorFile(ItemText, TOpenMode::KeepOpen);
}

void TfrmMain::SaveAsThroughDialog() {
    auto* dialog = Find<TSaveDialog>("dlgSave");
    if (!dialog || !dialog->Execute() || dialog->FileName.empty()) return;
    const std::string name = dialog->FileName;
    if (!WriteCalculatorFile(name)) return;
    CurrentFileName = name;
    SetCaption(FileCaption(name));
}

void TfrmMain::btnSaveClick(TObject*) {
    if (!CurrentFileName.empty())
        WriteCalculatorFile(CurrentFileName);
    else
        SaveAsThroughDialog();
    Repaint();
}

void TfrmMain::SaveCurrentFile(TObject* Sender) { btnSaveClick(Sender); }

void TfrmMain::mnuFileSaveAsClick(TObject* Sender) {
    SaveAsThroughDialog();
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
