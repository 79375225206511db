// TAlignGrid: its form-stream properties (the records, stored texts and hints,
// and the older per-property lists) and its published properties.

#include "AlignGrid.h"

#include "FormReader.h"
#include "TypInfo.h"

#include <mutex>

namespace {

enum TPlace { plCell, plCol, plRow, plFixedCol, plFixedRow };

// Reads the items of a flat form-stream list one by one.
class TItemCursor {
public:
    TItemCursor(const TFormValue& Value, const std::string& Name) : FName(Name) {
        if (Value.kind != TFormValue::vkList) throw EReadError("List expected for " + Name);
        FItems = &Value.Items;
    }
    bool AtEnd() const { return FPos >= FItems->size(); }
    int64_t Int() {
        const TFormValue& v = Next();
        if (v.kind != TFormValue::vkInteger)
            throw EReadError("Integer expected in " + FName + " at item " + std::to_string(FPos));
        return v.Int;
    }
    std::string Str() {
        const TFormValue& v = Next();
        if (v.kind != TFormValue::vkString && v.kind != TFormValue::vkIdent)
            throw EReadError("String expected in " + FName + " at item " + std::to_string(FPos));
        return v.Str;
    }

private:
    const TFormValue& Next() {
        if (AtEnd()) throw EReadError(FName + " ends inside an item (" + std::to_string(FItems->size()) + " items)");
        return (*FItems)[FPos++];
    }
    const std::vector<TFormValue>* FItems = nullptr;
    size_t FPos = 0;
    std::string FName;
};

TFontStyles StyleFromBits(int64_t Bits) {
    TFontStyles s;
    if (Bits & 1) s += fsBold;
    if (Bits & 2) s += fsItalic;
    if (Bits & 4) s += fsUnderline;
    if (Bits & 8) s += fsStrikeOut;
    return s;
}

void ReadFont(TItemCursor& In, TFont* Font) {
    Font->SetColor(TColor(In.Int()));
    Font->SetHeight(int(In.Int()));
    Font->SetName(In.Str());
    Font->SetPitch(TFontPitch(In.Int()));
    Font->SetStyle(StyleFromBits(In.Int()));
}

void ReadBrush(TItemCursor& In, TBrush* Brush) {
    Brush->SetColor(TColor(In.Int()));
    Brush->SetStyle(TBrushStyle(In.Int()));
}

// One record's tagged values up to its 0 tag.
void ReadRecord(TItemCursor& In, TCellProperties& Rec) {
    for (;;) {
        int64_t tag = In.Int();
        switch (tag) {
        case 0: return;
        case 1: Rec.Align = uint8_t(In.Int()); break;
        case 2: Rec.Wordwrap = uint8_t(In.Int()); break;
        case 3: Rec.Edit = uint8_t(In.Int()); break;
        case 4: ReadBrush(In, Rec.NeedBrush(Rec.Brush, nullptr)); break;
        case 5: ReadBrush(In, Rec.NeedBrush(Rec.SelectedBrush, nullptr)); break;
        case 6: ReadFont(In, Rec.NeedFont(Rec.Font, nullptr)); break;
        case 7: ReadFont(In, Rec.NeedFont(Rec.SelectedFont, nullptr)); break;
        default: throw EReadError("Unknown cell property tag " + std::to_string(tag));
        }
    }
}

}  // namespace

void TAlignGrid::ReadPropertyList(const TFormValue& Value, int Kind) {
    static const char* const names[] = {"PropCell", "PropCol", "PropRow", "PropFixedCol", "PropFixedRow"};
    TItemCursor in(Value, names[Kind]);
    while (!in.AtEnd()) {
        int a = int(in.Int() % 65536);
        int b = Kind == plCell ? int(in.Int() % 65536) : 0;
        TCellProperties rec(this);
        ReadRecord(in, rec);
        TCellProperties* place = nullptr;
        switch (Kind) {
        case plCell: place = GetCellProperties(a, b); break;
        case plCol: place = GetColProperties(a); break;
        case plRow: place = GetRowProperties(a); break;
        case plFixedCol: place = GetFixedColProperties(a); break;
        default: place = GetFixedRowProperties(a); break;
        }
        place->Assign(&rec);
    }
    Invalidate();
}

// The older streams: one list (or byte block) per setting and place.
void TAlignGrid::ReadLegacy(const TFormValue& Value, int Kind) {
    // Kind: setting * 8 + place, settings 0 align, 1 edit, 2 font, 3 brush, 4 colour, 5 selected colour.
    int setting = Kind / 8, place = Kind % 8;
    bool cell = place == plCell;
    if (setting <= 1) {
        if (Value.kind != TFormValue::vkBinary) throw EReadError("Binary data expected for a grid setting");
        const auto& b = Value.Bytes;
        size_t item = cell ? 5 : 3;
        for (size_t i = 0; i + item <= b.size(); i += item) {
            int a = b[i] | (b[i + 1] << 8);
            int r = cell ? (b[i + 2] | (b[i + 3] << 8)) : 0;
            uint8_t v = b[i + item - 1];
            if (setting == 0) {
                TMyAlign al = TMyAlign(v);
                switch (place) {
                case plCell: SetAlignCell(a, r, al); break;
                case plCol: SetAlignCol(a, al); break;
                case plRow: SetAlignRow(a, al); break;
                case plFixedCol: SetFixedAlignCol(a, al); break;
                default: SetFixedAlignRow(a, al); break;
                }
            } else {
                switch (place) {
                case plCell: SetEditCell(a, r, v != 0); break;
                case plCol: SetEditCol(a, v != 0); break;
                default: SetEditRow(a, v != 0); break;
                }
            }
        }
        return;
    }
    TItemCursor in(Value, "grid setting");
    while (!in.AtEnd()) {
        int a = int(in.Int());
        int r = cell ? int(in.Int()) : 0;
        TCellProperties* rec = nullptr;
        switch (place) {
        case plCell: rec = GetCellProperties(a, r); break;
        case plCol: rec = GetColProperties(a); break;
        case plRow: rec = GetRowProperties(a); break;
        case plFixedCol: rec = GetFixedColProperties(a); break;
        default: rec = GetFixedRowProperties(a); break;
        }
        switch (setting) {
        case 2: ReadFont(in, rec->NeedFont(rec->Font, GetFont())); break;
        case 3: ReadBrush(in, rec->NeedBrush(rec->Brush, GridBrush())); break;
        case 4: rec->NeedBrush(rec->Brush, GridBrush())->SetColor(TColor(in.Int())); break;
        default: rec->NeedBrush(rec->SelectedBrush, GridBrush())->SetColor(TColor(in.Int())); break;
        }
    }
    Invalidate();
}

void TAlignGrid::DefineProperties(TFiler* Filer) {
    TStringGrid::DefineProperties(Filer);
    auto triples = [this](bool Hints) {
        return [this, Hints](TReader* Reader) {
            TItemCursor in(Reader->Value(), Hints ? "HintCell" : "Cells");
            while (!in.AtEnd()) {
                int c = int(in.Int()), r = int(in.Int());
                std::string text = in.Str();
                if (c < 0 || r < 0) continue;
                if (Hints)
                    SetHintCell(c, r, text);
                else {
                    if (size_t(c) >= FStoredCells.size()) FStoredCells.resize(size_t(c) + 1);
                    auto& column = FStoredCells[size_t(c)];
                    if (size_t(r) >= column.size()) column.resize(size_t(r) + 1);
                    column[size_t(r)] = text;
                }
            }
            if (Hints)
                FHintsStored = true;
            else
                FCellsStored = true;
        };
    };
    Filer->DefineProperty("HintCell", triples(true), nullptr, FHintsStored);
    Filer->DefineProperty("Cells", triples(false), nullptr, FCellsStored);
    static const char* const places[] = {"Cell", "Col", "Row", "FixedCol", "FixedRow"};
    for (int k = 0; k < 5; ++k) {
        Filer->DefineProperty(
            std::string("Prop") + places[k], [this, k](TReader* Reader) { ReadPropertyList(Reader->Value(), k); },
            nullptr, true);
    }
    struct Legacy {
        const char* Prefix;
        int Setting;
        unsigned Places;
    };
    static const Legacy legacy[] = {
        {"Align", 0, 0b11111}, {"Edit", 1, 0b00111},  {"Font", 2, 0b11111},
        {"Brush", 3, 0b11111}, {"Color", 4, 0b11111}, {"SelectedColor", 5, 0b00111},
    };
    for (const Legacy& l : legacy)
        for (int k = 0; k < 5; ++k) {
            if (!(l.Places & (1u << k))) continue;
            // "FixedAlignCol" puts "Fixed" first; the other lists name it after the setting.
            std::string name = l.Setting == 0 && k >= plFixedCol
                                   ? std::string("FixedAlign") + (k == plFixedCol ? "Col" : "Row")
                                   : std::string(l.Prefix) + places[k];
            int kind = l.Setting * 8 + k;
            Filer->DefineProperty(
                name, [this, kind](TReader* Reader) { ReadLegacy(Reader->Value(), kind); }, nullptr, false);
        }
}

void RegisterAlignGridClasses() {
    static std::once_flag once;
    std::call_once(once, [] {
        RegisterGridsClasses();
        const std::initializer_list<const char*> next = {"nc_rightdown", "nc_downright", "nc_leftdown", "nc_downleft",
                                                         "nc_leftup",    "nc_upleft",    "nc_rightup",  "nc_upright"};
        const std::initializer_list<const char*> last = {"lc_newcolrow", "lc_stop", "lc_first", "lc_exit"};
        Published<TAlignGrid>("TAlignGrid", "TStringGrid")
            .Enum("Alignment", {"alRight", "alLeft", "alCenter", "alDefault"}, &TAlignGrid::GetAlignment,
                  &TAlignGrid::SetAlignment)
            .Enum("Wordwrap", {"ww_none", "ww_wordwrap", "ww_ellipsis", "ww_default"}, &TAlignGrid::GetWordwrap,
                  &TAlignGrid::SetWordwrap)
            .Bool("Editable", &TAlignGrid::Editable, &TAlignGrid::Editable)
            .Int("SelectedCellColor", &TAlignGrid::GetSelectedCellColor, &TAlignGrid::SetSelectedCellColor)
            .Int("SelectedFontColor", &TAlignGrid::GetSelectedFontColor, &TAlignGrid::SetSelectedFontColor)
            .Bool("DrawSelection", &TAlignGrid::GetDrawSelection, &TAlignGrid::SetDrawSelection)
            .Bool("ShowCellHints", &TAlignGrid::ShowCellHints, &TAlignGrid::ShowCellHints)
            .Bool("AutoAdjustLastCol", &TAlignGrid::GetAutoAdjustLastCol, &TAlignGrid::SetAutoAdjustLastCol)
            .Bool("RedrawWhileScroll", &TAlignGrid::RedrawWhileScroll, &TAlignGrid::RedrawWhileScroll)
            .Bool("SelectEditText", &TAlignGrid::SelectEditText, &TAlignGrid::SelectEditText)
            .Bool("EditMultiline", &TAlignGrid::EditMultiline, &TAlignGrid::EditMultiline)
            .Bool("AutoEditNextCell", &TAlignGrid::AutoEditNextCell, &TAlignGrid::AutoEditNextCell)
            .Enum("NextCellEdit", next, &TAlignGrid::NextCellEdit, &TAlignGrid::NextCellEdit)
            .Enum("NextCellTab", next, &TAlignGrid::NextCellTab, &TAlignGrid::NextCellTab)
            .Enum("AfterLastCellEdit", last, &TAlignGrid::AfterLastCellEdit, &TAlignGrid::AfterLastCellEdit)
            .Enum("AfterLastCellTab", last, &TAlignGrid::AfterLastCellTab, &TAlignGrid::AfterLastCellTab)
            .Event("OnShowHintCell", &TAlignGrid::OnShowHintCell)
            .Event("OnColWidthsChanged", &TAlignGrid::OnColWidthsChanged)
            .Event("OnRowHeightsChanged", &TAlignGrid::OnRowHeightsChanged)
            .Event("OnFixedColClick", &TAlignGrid::OnFixedColClick)
            .Event("OnFixedRowClick", &TAlignGrid::OnFixedRowClick)
            .Event("OnBeforeEdit", &TAlignGrid::OnBeforeEdit)
            .Event("OnAfterEdit", &TAlignGrid::OnAfterEdit)
            .Event("OnCancelEdit", &TAlignGrid::OnCancelEdit)
            .Event("OnValidateEdit", &TAlignGrid::OnValidateEdit)
            .Event("OnCompareCol", &TAlignGrid::OnCompareCol)
            .Event("OnCompareRow", &TAlignGrid::OnCompareRow);
    });
}
