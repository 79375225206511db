// The application-wide error and hint handlers.

#include "Main.h"

#include "Dialogs.h"
#include "LoanSpreadPage.h"
#include "MortLib.h"
#include "SysUtils.h"

const char* const SMathErrorMessage =
    "Valid results cannot be calculated using\n\rthe variables you have entered.\n\r\n\r"
    "Please try again with reasonable values.";

namespace {

const char* const SUnidentifiedErrorMessage =
    "An unidentified error has occurred.\r\n\r\nPlease contact Kestrilune Software    \r\n\r\n"
    "at:  support@kestrilune.com";

// The math-error repairs; a failure inside them is swallowed.
void RepairAfterMathError(TfrmMain& Main, TObject* Sender) {
    // The user has been told already: whatever fails from here on is dropped,
    // so the handler always ends with a usable window.
    TLoanSpreadPage& spread = *Main.Page<TLoanSpreadPage>();
    const std::string page = Main.ActivePageName();
    try {
        if (page == "pgAmortizationSchedules") Main.ResetAmortizationSchedule(Sender);
    } catch (...) {}
    bool restored = false;
    try {
        if (page == "pgLoanSpreadCalculator") {
            spread.RestoreSampleInputs();
            restored = true;
            Main.FocusNamed("edtLoan");
        }
    } catch (...) {}
    // The table is rebuilt from the loan spread fields on every page. Inputs
    // that fail again are replaced by the samples before the one more try.
    try {
        Main.CleanGrid(Sender);
        Main.ChooseLoanSpreadCalculator(Sender);
    } catch (EMathError&) {
        if (!restored) {
            try {
                spread.RestoreSampleInputs();
                Main.CleanGrid(Sender);
                Main.ChooseLoanSpreadCalculator(Sender);
            } catch (...) {}
        }
    } catch (...) {}
}

}  // namespace

void TfrmMain::AppOnException(TObject* Sender, Exception& E) {
    if (dynamic_cast<EPaymentNumbers*>(&E)) {
        // A refusal the user can mend, not a fault.
        MessageBox(E.Message, "Information", MB_OK | MB_ICONINFORMATION);
    } else if (dynamic_cast<EMathError*>(&E)) {
        MessageDlg(SMathErrorMessage, mtInformation, TMsgDlgButtons{mbOK}, 0);
        RepairAfterMathError(*this, Sender);
    } else {
        MessageDlg(SUnidentifiedErrorMessage, mtInformation, TMsgDlgButtons{mbOK}, 0);
    }
}

void TfrmMain::AppOnHint(TObject*) { SetHintPanelText(GetLongHint(Application->GetHint())); }
