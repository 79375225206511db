#include "ReportValues.h"

#include "CalcPage.h"
#include "Controls.h"
#include "FnpNumericEdit.h"
#include "NumCtrl.h"
#include "RP_View.h"
#include "SysUtils.h"
#include "entpf.h"

std::string FormatReportNumber(long double Value, TReportFormat Format) {
    switch (Format) {
    case TReportFormat::Money15: return FloatToStrF(Value, ffCurrency, 15, 2);
    case TReportFormat::Money10: return FloatToStrF(Value, ffCurrency, 10, 2);
    case TReportFormat::Num3: return FloatToStrF(Value, ffNumber, 10, 3);
    case TReportFormat::Num9: return FloatToStrF(Value, ffNumber, 10, 9);
    case TReportFormat::Gen: return FloatToStrF(Value, ffGeneral, 15, 0);
    case TReportFormat::Gen6: return FloatToStrF(Value, ffGeneral, 6, 0);
    case TReportFormat::Int: return std::to_string(static_cast<long long>(Value));
    case TReportFormat::Text: break;
    }
    return FloatToStrF(Value, ffGeneral, 15, 0);
}

std::string ReportValueText(TComponent* Root, const std::string& Source, TReportFormat Format) {
    TComponent* component = NeedComponent<TComponent>(Root, Source);
    if (auto* field = dynamic_cast<TEntBaseEntryField*>(component)) {
        if (Format == TReportFormat::Text) return field->GetAsString();
        if (Format == TReportFormat::Int) return std::to_string(field->GetAsInteger());
        return FormatReportNumber(field->GetAsFloat(), Format);
    }
    if (auto* edit = dynamic_cast<TFnpNumericEdit*>(component)) {
        if (Format == TReportFormat::Text) return edit->GetText();
        if (Format == TReportFormat::Int) return std::to_string(edit->GetAsInteger());
        return FormatReportNumber(edit->GetAsFloat(), Format);
    }
    if (auto* edit = dynamic_cast<TNumEdit*>(component)) {
        if (Format == TReportFormat::Text) return edit->GetText();
        return FormatReportNumber(edit->GetValue(), Format);
    }
    if (auto* control = dynamic_cast<TControl*>(component)) return control->GetText();
    throw EComponentError(Source + " has no value to print");
}

void SetReportMemo(TrpReport* Report, const std::string& Memo, const std::string& Text) {
    if (auto* view = Report->FindObject(Memo)) view->Memo->SetText(Text);
}

void SetReportMemos(TrpReport* Report, TComponent* Root, const std::vector<TReportMemo>& Memos) {
    // A memo the template lacks is skipped before its component is read.
    for (const TReportMemo& m : Memos)
        if (auto* view = Report->FindObject(m.Memo))
            view->Memo->SetText(ReportValueText(Root, m.Source, m.Format) + m.Suffix);
}
