// The application-wide error and hint handlers.

#include "Main.h"

#include <string_view>

#include "Dialogs.h"
#include "MortLib.h"
#include "SysUtils.h"
#include "entpf.h"
#include "iniSetup.h"

const char* const SMathErrorMessage =
    "Valid results cannot be calculated using\n\rthe variables you have entered.\n\r\n\r"
    "Please try again with reasonable values.";
const char* const SUnidentifiedErrorMessage =
    "An unidentified error has occurred.\r\n\r\nPlease contact Kestrilune Software    \r\n\r\n"
    "at:  support@kestrilune.com";

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
    // The page's own sample set, so the repair never drifts from "Use Sample Values".
    const TCalculatorReset* set = FindCalculatorReset("pgLoanSpreadCalculator");
    if (!set) return;
    auto sample = [set](std::string_view Field) {
        for (const TResetValue& v : set->Values)
            if (Field == v.Field) return v.Sample;
        return 0.0;
    };
    SetLoanSpreadFields(sample("edtLoan"), sample("edtInterest"), int(sample("edtTerm")), sample("edtPayment"));
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
