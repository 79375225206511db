#pragma once
// The amortization schedules page: the monthly and annual grids of the
// window's schedule, the extra-payment panel, and the extra-payment list that
// carries extra payments over to a rebuilt schedule by payment number. The
// page holds the loan values it was last built from; the schedule itself stays
// in the window (the calculator file and the reports read it); the grid texts
// come from Amortization.h.

#include <cstdint>
#include <string>

#include "CalcPage.h"

class TAlignGrid;
class TButton;
class TComboBox;
class TControl;
class TEntPictureField;
class TLabel;
class TMemo;
class TPanel;
class TRadioButton;

class TAmortizationPage : public TCalcPage {
public:
    using TCalcPage::TCalcPage;

    const char* PageName() const override { return "pgAmortizationSchedules"; }
    void RegisterHandlers(THandlerTable& Handlers) override;
    void FindComponents() override;
    // The window's ResetAmortizationSchedule resets this page through the steps below.
    void ResetValues(TObject*) override {}
    void ZeroValues(TObject*) override {}

    // ---- Handlers and the window's seams --------------------------------------------
    void CalcAmortization(TObject* Sender);
    void CreatePrepaymentList(TObject* Sender);
    void btnExtraClick(TObject* Sender);
    void rbOnePmtClick(TObject* Sender);
    void rbRangePmtsClick(TObject* Sender);
    void rbAllPmtsClick(TObject* Sender);
    void btnRecalcExtraClick(TObject* Sender);
    void btnRemoveClick(TObject* Sender);
    void btnCancelClick(TObject* Sender);
    void btnAnnualMonthlyClick(TObject* Sender);
    void cbMonthChange(TObject* Sender);
    void SetPrepaymentRangeMode(int Mode);
    void FillGrdAmortization();
    void FillGrdAnnualAmortization();

    // ---- Reset steps -----------------------------------------------------------------
    // Clears the monthly grid's selection.
    void ClearSelection();
    // Closes the extra-payment panel when it is open, zeroing its three fields.
    void CloseExtraPanel(TObject* Sender);
    // Empties both grids and writes their headers and widths.
    void ClearGrids();

    // ---- State ----------------------------------------------------------------------
    // The loan the schedule was last built from (the rate as a fraction).
    double AmortPrincipal = 0, AmortRate = 0;
    int32_t AmortNumPayments = 0, AmortStartMonth = 1, AmortStartYear = 0;
    // The last extra payment added: mode 0 one payment, 1 a range, 2 all.
    int32_t ExtraFrom = 0, ExtraTo = 0;
    double ExtraAmount = 0;
    uint8_t ExtraMode = 0;
    // The grid section of the last calculator file written, and the extra-payment list.
    std::string AmortizationGridText, PrepaymentText;

    // ---- Components -------------------------------------------------------------------
    TEntPictureField *edtMortAmt = nullptr, *edtIRate = nullptr, *edtNumPmts = nullptr, *edtAmortPayment = nullptr,
                     *edtYear = nullptr, *edtFromPmt = nullptr, *edtToPmt = nullptr, *edtExtraAmount = nullptr;
    TComboBox* cbMonth = nullptr;
    TButton *btnAddExtra = nullptr, *btnAnnualMonthly = nullptr;
    TPanel* PnlAddExtra = nullptr;
    TRadioButton *rbOnePmt = nullptr, *rbRangePmts = nullptr, *rbAllPmts = nullptr;
    TLabel *LblFromPmt = nullptr, *LblToPmt = nullptr;
    TAlignGrid *grdAmortization = nullptr, *grdAnnualAmortization = nullptr;
    TMemo* memPrepayments = nullptr;

private:
    void ReadInputs();
    void SetInputsEnabled(bool Enabled);
    void TitleGrids();
};
