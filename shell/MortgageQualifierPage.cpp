#include "MortgageQualifierPage.h"

#include "Main.h"

#include "entpf.h"

void TMortgageQualifierPage::RegisterHandlers(THandlerTable& h) {
    BindNotify(h, "CalcMQ", this, &TMortgageQualifierPage::CalcMQ);
    BindNotify(h, "edtMQir1Change", this, &TMortgageQualifierPage::edtMQir1Change);
}

void TMortgageQualifierPage::FindComponents() {
    edtIncome1 = Need<TEntPictureField>("edtIncome1");
    edtIncome2 = Need<TEntPictureField>("edtIncome2");
    edtOIncome1 = Need<TEntPictureField>("edtOIncome1");
    edtOIncome2 = Need<TEntPictureField>("edtOIncome2");
    edtCards1 = Need<TEntPictureField>("edtCards1");
    edtCards2 = Need<TEntPictureField>("edtCards2");
    edtAuto1 = Need<TEntPictureField>("edtAuto1");
    edtAuto2 = Need<TEntPictureField>("edtAuto2");
    edtNotes1 = Need<TEntPictureField>("edtNotes1");
    edtNotes2 = Need<TEntPictureField>("edtNotes2");
    edtMQPropertyTaxes = Need<TEntPictureField>("edtMQPropertyTaxes");
    edtMQHomeownersInsurance = Need<TEntPictureField>("edtMQHomeownersInsurance");
    edtHousingRatio = Need<TEntPictureField>("edtHousingRatio");
    edtDebtRatio = Need<TEntPictureField>("edtDebtRatio");
    edtMQDownPayment = Need<TEntPictureField>("edtMQDownPayment");
    edtCalculatedHousingRatio = Need<TEntPictureField>("edtCalculatedHousingRatio");
    edtCalculatedDebtRatio = Need<TEntPictureField>("edtCalculatedDebtRatio");
    for (size_t k = 0; k < MQScenarios; ++k) {
        const std::string n = std::to_string(k + 1);
        edtMQir[k] = Need<TEntPictureField>("edtMQir" + n);
        edtMQTerm[k] = Need<TEntPictureField>("edtMQTerm" + n);
        edtMQPayment[k] = Need<TEntPictureField>("edtMQPayment" + n);
        edtMQLoan[k] = Need<TEntPictureField>("edtMQLoan" + n);
        edtMQPurchasePrice[k] = Need<TEntPictureField>("edtMQPurchasePrice" + n);
    }
}

void TMortgageQualifierPage::CalcMQ(TObject* Sender) {
    BeginCalculation(Sender);
    TMQInputs in;
    in.Income1 = edtIncome1->GetAsFloat();
    in.Income2 = edtIncome2->GetAsFloat();
    in.OtherIncome1 = edtOIncome1->GetAsFloat();
    in.OtherIncome2 = edtOIncome2->GetAsFloat();
    in.Cards1 = edtCards1->GetAsFloat();
    in.Cards2 = edtCards2->GetAsFloat();
    in.Auto1 = edtAuto1->GetAsFloat();
    in.Auto2 = edtAuto2->GetAsFloat();
    in.Notes1 = edtNotes1->GetAsFloat();
    in.Notes2 = edtNotes2->GetAsFloat();
    in.PropertyTaxes = edtMQPropertyTaxes->GetAsFloat();
    in.HomeownersInsurance = edtMQHomeownersInsurance->GetAsFloat();
    in.HousingRatio = edtHousingRatio->GetAsFloat();
    in.DebtRatio = edtDebtRatio->GetAsFloat();
    HRatio = in.HousingRatio / 100;
    DRatio = in.DebtRatio / 100;
    in.DownPayment = edtMQDownPayment->GetAsFloat();
    for (size_t k = 0; k < MQScenarios; ++k) {
        in.AnnualRatePercent[k] = edtMQir[k]->GetAsFloat();
        in.TermYears[k] = edtMQTerm[k]->GetAsInteger();
    }
    TMQResults r;
    ComputeAndShow([&] { ::CalcMQ(in, r); },
                   [&] {
                       for (size_t k = 0; k < MQScenarios; ++k) {
                           ShowResult(edtMQPayment[k], r.Scenario[k].Payment);
                           ShowResult(edtMQLoan[k], r.Scenario[k].Loan);
                           ShowResult(edtMQPurchasePrice[k], r.Scenario[k].PurchasePrice);
                       }
                       ShowResult(edtCalculatedHousingRatio, r.HousingRatio);
                       ShowResult(edtCalculatedDebtRatio, r.DebtRatio);
                   });
}

void TMortgageQualifierPage::edtMQir1Change(TObject*) {
    const auto rates = MQScenarioRates(edtMQir[0]->GetAsFloat());
    edtMQir[1]->SetAsFloat(rates[1]);
    edtMQir[2]->SetAsFloat(rates[2]);
}
