#include "CalcPage.h"

#include "Main.h"

#include "FnpNumericEdit.h"
#include "NumCtrl.h"
#include "entpf.h"
#include "iniSetup.h"

bool TCalcPage::IsActive() const { return Main.ActivePageName() == PageName(); }

TComponent* TCalcPage::Root() const { return &Main; }

void SetComponentNumber(TComponent* Component, double Value) {
    if (auto* field = dynamic_cast<TEntPictureField*>(Component)) {
        if (field->GetDataType() == pftInteger)
            field->SetAsInteger(int32_t(Value));
        else
            field->SetAsFloat(Value);
    } else if (auto* fnp = dynamic_cast<TFnpNumericEdit*>(Component)) {
        fnp->SetValue(Value);
    } else if (auto* num = dynamic_cast<TNumEdit*>(Component)) {
        num->SetValue(Value);
    } else {
        throw EComponentError("No number can be written into " + Component->GetName());
    }
}

void TCalcPage::WriteValueSet(const TCalculatorReset& Set, TValueSet Which) const {
    for (const TResetValue& v : Set.Values) {
        TComponent* c = Need<TComponent>(v.Field);
        if (v.Text) {
            auto* combo = dynamic_cast<TCustomComboBox*>(c);
            if (!combo) throw EComponentError("No reset text can be written into " + std::string(v.Field));
            combo->SetText(v.Text);
        } else {
            SetComponentNumber(c, Which == TValueSet::Samples ? v.Sample : 0);
        }
    }
}

void TCalcPage::ShowResult(TEntPictureField* Field, const TCalcResult& Value) {
    if (Value) Field->SetAsFloat(*Value);
}

void TCalcPage::BeginCalculation(TObject* Sender) const {
    Main.Update();
    Main.AllowPrinting(Sender);
}

const TCalculatorReset& TCalcPage::ValueSet() const {
    const TCalculatorReset* set = FindCalculatorReset(PageName());
    if (!set) throw EComponentError(std::string("No reset values for ") + PageName());
    return *set;
}

void TValueSetPage::ResetValues(TObject*) {
    const TCalculatorReset& set = ValueSet();
    WriteValueSet(set, Main.Defaults.Samples() ? TValueSet::Samples : TValueSet::Zeros);
    FocusWhenShown();
}

void TValueSetPage::FocusWhenShown() const {
    if (IsActive()) Main.FocusNamed(ValueSet().FocusField);
}

void TValueSetPage::ZeroValues(TObject*) { WriteValueSet(ValueSet(), TValueSet::Zeros); }
