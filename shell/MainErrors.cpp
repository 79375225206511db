// The application-wide error and hint handlers.

#include "Main.h"

#include "Dialogs.h"
#include "MortLib.h"
#include "SysUtils.h"
#include "entpf.h"

const char* const SMathErrorMessage =
    "Valid results cannot be calculated using\n\rthe variables you have entered.\n\r\n\r"
    "Please try again with reasonable values.";
const char* const SUnidentifiedErrorMessage =
    "An unidentified error has occurred.\r\n\r\nPlease contact Kestrilune Software    \r\n\r\n"
    "at:  support@kestrilune.com";

namespace {

// The loan spread page's sample inputs.
constexpr double kSampleLoan = 100000;
constexpr double kSampleInterest = 8.75;
constexpr int kSampleTerm = 360;
constexpr double kSamplePayment = 786.7;

}  // namespace

void TfrmMain::AppOnException(TObject* Sender, Exception& E) {
    if (dynamic_cast<EPaymentNumbers*>(&E)) {
        // A refusal the user can mend, not a fault.
        MessageBox(E.Message, "Information", MB_OK | MB_ICONINFORMATION);
    } else if (dynamic_cast<EMathError*>(&E)) {
        MessageDlg(SMathErrorMessage, mtInformation, TMsgDlgButtons{mbOK}, 0);
        RepairAfterMathError(Sender);
    } else {
        MessageDlg(SUnidentifiedErrorMessage, mtInformation, TMsgDlgButtons{mbOK}, 0);
    }
}

bool TfrmMain::SetLoanSpreadFields(double Loan, double Interest, int Term, double Payment) {
    auto* loan = Find<TEntPictureField>("edtLoan");
    auto* interest = Find<TEntPictureField>("edtInterest");
    auto* term = Find<TEntPictureField>("edtTerm");
    auto* payment = Find<TEntPictureField>("edtPayment");
    if (!loan || !interest || !term || !payment) return false;  // the loan spread page is not built
    loan->SetAsFloat(Loan);
    interest->SetAsFloat(Interest);
    term->SetAsInteger(Term);
    payment->SetAsFloat(Payment);
    return true;
}

void TfrmMain::RestoreLoanSpreadSamples() {
    SetLoanSpreadFields(kSampleLoan, kSampleInterest, kSampleTerm, kSamplePayment);
}

void TfrmMain::RepairAfterMathError(TObject* Sender) {
    // The user has been told already: whatever fails from here on is dropped,
    // so the handler always ends with a usable window.
    const std::string page = ActivePageName();
    try {
        if (page == "pgAmortizationSchedules") ResetAmortizationSchedule(Sender);
    } catch (...) {}
    bool restored = false;
    try {
        if (page == "pgLoanSpreadCalculator") {
            RestoreLoanSpreadSamples();
            restored = true;
            FocusNamed("edtLoan");
        }
    } catch (...) {}
    // The table is rebuilt from the loan spread fields on every page. Inputs
    // that fail again are replaced by the samples before the one more try.
    try {
        CleanGrid(Sender);
        ChooseLoanSpreadCalculator(Sender);
    } catch (EMathError&) {
        if (!restored) {
            try {
                RestoreLoanSpreadSamples();
                CleanGrid(Sender);
                ChooseLoanSpreadCalculator(Sender);
            } catch (...) {}
        }
    } catch (...) {}
}

void TfrmMain::AppOnHint(TObject*) { SetHintPanelText(GetLongHint(Application->GetHint())); }
