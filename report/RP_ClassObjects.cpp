// Template objects: the property interface by name, the common view fields
// and their stream record, geometry scaling, the object factory and the
// object-path resolver.

#include <cmath>
#include <map>

#include "RP_Class.h"
#include "RP_Dict.h"
#include "SysUtils.h"

int rpRound(double value) {
    // Damaged templates may hold any coordinate: stay inside int instead of overflowing.
    if (!(value == value)) return 0;
    double r = std::nearbyint(value);
    if (r >= 2147483647.0) return 2147483647;
    if (r <= -2147483648.0) return -2147483647 - 1;
    return int(r);
}

std::string rpReadTemplateString(TStream* stream, int version) {
    return version < 23 ? ReadOldStringFromStream(stream) : ReadStringFromStream(stream);
}

void rpReadTemplateMemo(TStream* stream, TStrings* memo, int version) {
    if (version < 23)
        ReadOldMemoFromStream(stream, memo);
    else
        ReadMemoFromStream(stream, memo);
}

int FontStyleToBits(TFontStyles style) {
    int bits = 0;
    if (style.Contains(fsItalic)) bits |= 1;
    if (style.Contains(fsBold)) bits |= 2;
    if (style.Contains(fsUnderline)) bits |= 4;
    if (style.Contains(fsStrikeOut)) bits |= 8;
    return bits;
}

TFontStyles BitsToFontStyle(int bits) {
    TFontStyles style;
    if (bits & 1) style += fsItalic;
    if (bits & 2) style += fsBold;
    if (bits & 4) style += fsUnderline;
    if (bits & 8) style += fsStrikeOut;
    return style;
}

// ---------------------------------------------------------------- TrpObject

void TrpObject::AddProperty(const std::string& propName, uint16_t propType, std::function<void()> editor) {
    TrpPropRec rec;
    rec.PropName = propName.substr(0, 32);
    rec.PropType = propType;
    rec.PEditor = std::move(editor);
    PropList.push_back(std::move(rec));
}

void TrpObject::AddEnumProperty(const std::string& propName, const std::string& enumText,
                                const std::vector<int>& values) {
    TrpPropRec rec;
    rec.PropName = propName.substr(0, 32);
    rec.PropType = rpdtEnum;
    int pos = 1;
    while (pos <= int(enumText.size())) rec.Enum.push_back(ExtractToken(enumText, pos));
    for (size_t i = 0; i < rec.Enum.size(); ++i) rec.EnumValues.push_back(i < values.size() ? values[i] : int(i));
    PropList.push_back(std::move(rec));
}

void TrpObject::DelProperty(const std::string& propName) {
    std::erase_if(PropList, [&](const TrpPropRec& r) { return SameText(r.PropName, propName); });
}

const TrpPropRec* TrpObject::PropRec(const std::string& propName) const {
    for (const auto& r : PropList)
        if (SameText(r.PropName, propName)) return &r;
    return nullptr;
}

// ------------------------------------------------------------------ TrpView

TrpContext* TrpView::Context() const {
    return ParentPage && ParentPage->Report ? &ParentPage->Report->Context() : nullptr;
}

TrpView::TrpView() : SMemo(new TStringList), Memo(new TStringList), Script(new TStringList) {
    // Number formats default to the locale's decimal separator with 2 decimals.
    Format = (2 << 8) | uint8_t(FormatSettings.DecimalSeparator);
}

TrpView::~TrpView() {
    if (TrpContext* context = Context(); context && context->ActiveView == this) context->ActiveView = nullptr;
}

std::string TrpView::CreateUniqueName() const {
    TrpContext* context = Context();
    if (!context) return BaseName + "1";
    if (context->TrackingViewNames())
        return context->FreeName(BaseName, [context](const std::string& c) { return context->ViewNameTaken(c); });
    return context->FreeName(BaseName, [context](const std::string& c) { return context->Report->FindObject(c); });
}

void TrpView::SetFrameWidthProperty(double w) {
    if (!std::isfinite(w) || w < 0) w = 0;
    FrameWidth = float(w);
}

std::string TrpView::BoundFieldName() const {
    if (!DataField.empty()) return DataField;
    // A memo that is one bracketed field reference names its field.
    std::string text = Trim(Memo->GetText());
    if (text.size() < 3 || text.front() != '[' || text.back() != ']') return std::string();
    std::string source, field;
    if (!rpSplitFieldReference(text.substr(1, text.size() - 2), source, field)) return std::string();
    TrpContext* context = Context();
    return context && context->FindDataSource(source) ? field : std::string();
}

TStrings* TrpView::ListProperty(const std::string& upperName) {
    if (upperName == "MEMO") return Memo.get();
    if (upperName == "SCRIPT") return Script.get();
    return nullptr;
}

namespace {

std::string VarText(const Variant& v) { return VarToStr(v); }

int VarInt(const Variant& v) {
    if (v.IsNull() || v.IsEmpty()) return 0;
    return v.AsInteger();
}

// Evaluates a method argument, which arrives as the text of an expression.
Variant EvalArgument(TrpView* view, const Variant& arg) {
    TrpContext* context = view->Context();
    if (arg.IsString() && context) return context->Calc(arg.AsString());
    return arg;
}

// The name and bounds that every placed object declares first.
void DeclareNameAndBounds(TrpObject* object) {
    object->AddProperty("Name", rpdtName);
    for (const char* name : {"Left", "Top", "Width", "Height"}) object->AddProperty(name, rpdtPosSize);
}

}  // namespace

void TrpView::SetPropertyValue(const std::string& propName, const Variant& value) {
    std::string p = UpperCase(propName);
    if (p == "NAME")
        Name = VarText(value);
    else if (p == "LEFT")
        x = VarInt(value);
    else if (p == "TOP")
        y = VarInt(value);
    else if (p == "WIDTH")
        dx = VarInt(value);
    else if (p == "HEIGHT")
        dy = VarInt(value);
    else if (p == "FLAGS")
        Flags = uint16_t(VarInt(value));
    else if (p == "FRAMETYP")
        FrameTyp = uint16_t(VarInt(value));
    else if (p == "FRAMEWIDTH")
        SetFrameWidthProperty(value.IsNull() || value.IsEmpty() ? 0 : value.AsDouble());
    else if (p == "FRAMECOLOR")
        FrameColor = VarInt(value);
    else if (p == "FRAMESTYLE")
        FrameStyle = uint16_t(VarInt(value));
    else if (p == "FILLCOLOR")
        FillColor = VarInt(value);
    else if (p == "VISIBLE")
        SetVisible(!value.IsNull() && !value.IsEmpty() && value.AsBoolean());
    else if (p == "MEMO")
        Memo->SetText(VarText(value));
    else if (p == "GAPX")
        gapx = VarInt(value);
    else if (p == "GAPY")
        gapy = VarInt(value);
    else if (p == "STRETCHED") {
        bool on = !value.IsNull() && !value.IsEmpty() && value.AsBoolean();
        Flags = uint16_t(on ? (Flags | flStretched) : (Flags & ~flStretched));
    } else if (p == "BANDALIGN")
        BandAlign = uint8_t(VarInt(value));
    else if (p == "DATAFIELD")
        Memo->SetText(VarText(value));
    else if (p == "TAG")
        Tag = VarText(value);
    else if (p == "RESTRICTIONS")
        Restrictions = uint16_t(VarInt(value));
    else if (TFont* f = ViewFont()) {
        if (p == "FONT.NAME")
            f->SetName(VarText(value));
        else if (p == "FONT.SIZE")
            f->SetSize(VarInt(value));
        else if (p == "FONT.STYLE")
            f->SetStyle(BitsToFontStyle(VarInt(value)));
        else if (p == "FONT.COLOR")
            f->SetColor(VarInt(value));
    }
}

Variant TrpView::GetPropertyValue(const std::string& propName) {
    std::string p = UpperCase(propName);
    if (p == "NAME") return Name;
    if (p == "LEFT") return x;
    if (p == "TOP") return y;
    if (p == "WIDTH") return dx;
    if (p == "HEIGHT") return dy;
    if (p == "FLAGS") return int(Flags);
    if (p == "FRAMETYP") return int(FrameTyp);
    if (p == "FRAMEWIDTH") return double(FrameWidth);
    if (p == "FRAMECOLOR") return int(FrameColor);
    if (p == "FRAMESTYLE") return int(FrameStyle);
    if (p == "FILLCOLOR") return int(FillColor);
    if (p == "VISIBLE") return IsVisible();
    if (p == "MEMO") return Memo->GetText();
    if (p == "MEMO.COUNT") return Memo->Count();
    if (p == "GAPX") return gapx;
    if (p == "GAPY") return gapy;
    if (p == "STRETCHED") return (Flags & flStretched) != 0;
    if (p == "BANDALIGN") return int(BandAlign);
    if (p == "DATAFIELD") return BoundFieldName();
    if (p == "TAG") return Tag;
    if (p == "RESTRICTIONS") return int(Restrictions);
    if (TFont* f = ViewFont()) {
        if (p == "FONT.NAME") return f->GetName();
        if (p == "FONT.SIZE") return f->GetSize();
        if (p == "FONT.STYLE") return FontStyleToBits(f->GetStyle());
        if (p == "FONT.COLOR") return int(f->GetColor());
    }
    return Null();
}

Variant TrpView::CallMethod(const std::string& methodName, const Variant& p1, const Variant& p2, const Variant& p3) {
    std::string m = UpperCase(methodName);
    if (m == "HIDE") {
        SetVisible(false);
        return Null();
    }
    if (m == "SHOW") {
        SetVisible(true);
        return Null();
    }
    if (m == "SETINDEXPROPERTY" || m == "GETINDEXPROPERTY") {
        TStrings* list = ListProperty(UpperCase(VarText(p1)));
        if (!list) return Null();
        int index = VarInt(p2);
        if (index < 0 || index >= list->Count()) return Null();  // out of range: nothing happens
        if (m == "GETINDEXPROPERTY") return list->Get(index);
        list->Put(index, VarText(p3));
        return Null();
    }
    size_t dot = m.rfind('.');
    if (dot == std::string::npos) return Null();
    TStrings* list = ListProperty(m.substr(0, dot));
    if (!list) return Null();
    std::string op = m.substr(dot + 1);
    if (op == "ADD") {
        list->Add(VarText(EvalArgument(this, p1)));
    } else if (op == "CLEAR") {
        list->Clear();
    } else if (op == "DELETE") {
        int index = VarInt(EvalArgument(this, p1));
        if (index >= 0 && index < list->Count()) list->Delete(index);
    } else if (op == "INDEXOF") {
        return list->IndexOf(VarText(EvalArgument(this, p1)));
    }
    return Null();
}

void TrpView::DeclareProperties() {
    PropList.clear();
    DeclareNameAndBounds(this);
    AddProperty("Flags", rpdtNumber);
    if (HasFrame()) {
        AddProperty("FrameTyp", rpdtFrameTyp);
        AddProperty("FrameWidth", rpdtFrameWidth);
        AddProperty("FrameColor", rpdtColor);
        AddEnumProperty("FrameStyle", "psSolid;psDash;psDot;psDashDot;psDashDotDot;psDouble");
        AddProperty("FillColor", rpdtColor);
        AddProperty("Tag", rpdtHasEditor);
        AddEnumProperty("BandAlign", "baNone;baLeft;baRight;baCenter;baWidth;baBottom;baTop;baRest");
    }
    AddProperty("Visible", rpdtBoolean);
    AddProperty("Memo", rpdtHasEditor);
    AddProperty("Memo.Count", rpdtNumber);
    AddProperty("Restrictions", rpdtRestriction);
}

// ------------------------------------------------------------ geometry

int TrpView::ScaledRight() const { return rpRound((SaveX + SaveDX) * ScaleX + OffsX); }
int TrpView::ScaledBottom() const { return rpRound((SaveY + SaveDY) * ScaleY + OffsY); }

void TrpView::ScaleGeometry() {
    SaveX = x;
    SaveY = y;
    SaveDX = dx;
    SaveDY = dy;
    SaveFW = FrameWidth;
    SaveGX = gapx;
    SaveGY = gapy;
    TrpContext* context = Context();
    if (!context || !context->BuildMode) {
        ScaleX = ScaleY = 1.0;
        OffsX = OffsY = 0;
    }
    x = rpRound(x * ScaleX) + OffsX;
    y = rpRound(y * ScaleY) + OffsY;
    dx = rpRound(dx * ScaleX);
    dy = rpRound(dy * ScaleY);
    int insetX = rpRound((FrameWidth * ScaleX - 1) / 2);
    int insetY = rpRound((FrameWidth * ScaleY - 1) / 2);
    int halfX = rpRound(FrameWidth * ScaleX / 2);
    int halfY = rpRound(FrameWidth * ScaleY / 2);
    FrameWidth = float(FrameWidth * ScaleX);
    gapx = rpRound(gapx * ScaleX) + halfX;
    gapy = rpRound(gapy * ScaleY) + halfY / 2;
    int right = ScaledRight(), bottom = ScaledBottom();
    DRect.Left = x + ((FrameTyp & frbLeft) ? insetX : 0);
    DRect.Top = y + ((FrameTyp & frbTop) ? insetY : 0);
    DRect.Right = right - ((FrameTyp & frbRight) ? halfX : 0) + 1;
    DRect.Bottom = bottom - ((FrameTyp & frbBottom) ? halfY : 0) + 1;
}

void TrpView::RestoreGeometry() {
    x = SaveX;
    y = SaveY;
    dx = SaveDX;
    dy = SaveDY;
    FrameWidth = SaveFW;
    gapx = SaveGX;
    gapy = SaveGY;
}

TRect TrpView::GetClipRegion(bool outer) {
    double w = FrameWidth;
    int l, t, r, b;
    if (FrameStyle != rpfsDouble) {
        l = t = rpRound(w / 2);
        r = b = rpRound((w - 1) / 2);
    } else {
        l = t = rpRound(1.5 * w);
        r = b = rpRound((w - 1) / 2 + w);
    }
    TRect rc{x, y, x + dx + 1, y + dy + 1};
    if (FrameTyp & frbLeft) rc.Left -= l;
    if (FrameTyp & frbTop) rc.Top -= t;
    if (FrameTyp & frbRight) rc.Right += r;
    if (FrameTyp & frbBottom) rc.Bottom += b;
    if (outer) {
        rc.Left -= 10;
        rc.Top -= 10;
        rc.Right += 10;
        rc.Bottom += 10;
    }
    return rc;
}

void TrpView::BeginDraw(TCanvas* canvas) {
    Canvas = canvas;
    if (TrpContext* context = Context()) context->ActiveView = this;
    TrpPage* page = ParentPage;
    if (!page || BandAlign == baNone) return;
    int leftBound = page->LeftEdge(), rightBound = page->RightEdge();
    // Neighbours on the same row: non-band views whose vertical extent meets ours.
    auto sameRow = [&](const TrpView* v) {
        return v != this && v->Typ != gtBand && v->y <= y + dy && y <= v->y + v->dy;
    };
    auto nearestLeft = [&]() -> const TrpView* {
        const TrpView* best = nullptr;
        for (const TrpView* v : page->Objects)
            if (sameRow(v) && v->BandAlign == baLeft && v->x < x && (!best || v->x > best->x)) best = v;
        return best;
    };
    auto nearestRight = [&]() -> const TrpView* {
        const TrpView* best = nullptr;
        for (const TrpView* v : page->Objects)
            if (sameRow(v) && v->BandAlign == baRight && v->x > x && (!best || v->x < best->x)) best = v;
        return best;
    };
    switch (BandAlign) {
    case baLeft: {
        const TrpView* l = nearestLeft();
        x = l ? l->x + l->dx : leftBound;
        break;
    }
    case baRight: {
        const TrpView* r = nearestRight();
        x = r ? r->x - dx - 1 : rightBound - dx;
        break;
    }
    case baRest: {
        const TrpView* l = nearestLeft();
        const TrpView* r = nearestRight();
        x = l ? l->x + l->dx : leftBound;
        dx = (r ? r->x : rightBound) - x;
        break;
    }
    case baCenter: x = leftBound + (rightBound - leftBound - dx) / 2; break;
    default: break;  // width, bottom, top: placed against the band when written out
    }
}

// --------------------------------------------------------------- streams

void TrpView::LoadFromStream(TStream* stream) {
    bool templ = StreamMode == smTemplate;
    TrpContext* context = Context();
    const int TemplateVersion = context ? context->TemplateVersion : rpCurrentTemplateVersion;
    if (TemplateVersion >= 24 || (TemplateVersion == 23 && templ))
        Name = rpReadTemplateString(stream, TemplateVersion);
    else
        Name = CreateUniqueName();
    if (TemplateVersion >= 24) {
        ViewFormatVersion = ReadByteFromStream(stream);
        ClassFormatVersion = ReadByteFromStream(stream);
    } else {
        ViewFormatVersion = 0;
        ClassFormatVersion = 0;
    }
    x = ReadIntegerFromStream(stream);
    y = ReadIntegerFromStream(stream);
    dx = ReadIntegerFromStream(stream);
    dy = ReadIntegerFromStream(stream);
    Flags = ReadWordFromStream(stream);
    FrameTyp = ReadWordFromStream(stream);
    int32_t fw = ReadIntegerFromStream(stream);
    FrameWidth = fw < 11 ? float(fw) : float(fw / 1000.0);
    FrameColor = ReadIntegerFromStream(stream);
    FrameStyle = ReadWordFromStream(stream);
    FillColor = ReadIntegerFromStream(stream);
    if (templ) {
        Format = ReadIntegerFromStream(stream);
        FormatStr = rpReadTemplateString(stream, TemplateVersion);
    }
    rpReadTemplateMemo(stream, Memo.get(), TemplateVersion);
    if (TemplateVersion >= 23 && templ) {
        rpReadTemplateMemo(stream, Script.get(), TemplateVersion);
        Visible = ReadWordFromStream(stream);
    }
    if (TemplateVersion >= 24) {
        Restrictions = ReadWordFromStream(stream);
        Tag = rpReadTemplateString(stream, TemplateVersion);
        gapx = ReadIntegerFromStream(stream);
        gapy = ReadIntegerFromStream(stream);
    }
    if (ViewFormatVersion > 1) BandAlign = ReadByteFromStream(stream);
}

void TrpView::SaveToStream(TStream* stream) {
    bool templ = StreamMode == smTemplate;
    SaveStringToStream(Name, stream);
    WriteByteToStream(stream, 2);
    WriteByteToStream(stream, WrittenClassVersion());
    WriteIntegerToStream(stream, x);
    WriteIntegerToStream(stream, y);
    WriteIntegerToStream(stream, dx);
    WriteIntegerToStream(stream, dy);
    WriteWordToStream(stream, Flags);
    WriteWordToStream(stream, FrameTyp);
    // Whole widths below 11 are stored as they are; any other width in
    // thousandths, which the reader tells apart because it is 11 or more.
    double fw = std::isfinite(FrameWidth) && FrameWidth > 0 ? FrameWidth : 0;
    if (fw > 2000000) fw = 2000000;
    int32_t stored = (fw == std::floor(fw) && fw < 11) ? int32_t(fw) : int32_t(std::lround(fw * 1000));
    WriteIntegerToStream(stream, stored);
    WriteIntegerToStream(stream, FrameColor);
    WriteWordToStream(stream, FrameStyle);
    WriteIntegerToStream(stream, FillColor);
    if (templ) {
        WriteIntegerToStream(stream, Format);
        SaveStringToStream(FormatStr, stream);
    }
    // A prepared page keeps the evaluated text.
    WriteMemoToStream(stream, templ ? Memo.get() : SMemo.get());
    if (templ) {
        WriteMemoToStream(stream, Script.get());
        WriteWordToStream(stream, Visible);
    }
    WriteWordToStream(stream, Restrictions);
    SaveStringToStream(Tag, stream);
    WriteIntegerToStream(stream, gapx);
    WriteIntegerToStream(stream, gapy);
    WriteByteToStream(stream, BandAlign);
}

void TrpView::WritePreparedObject(TStream* stream) {
    TrpContext* context = Context();
    if (!context) throw EInvalidOperation("View " + Name + " is on no page of a report");
    BeginDraw(Canvas);
    SMemo->Assign(Memo.get());
    context->BeforePrint(SMemo.get(), this);
    context->RunScript(this, Script.get());
    if (!IsVisible()) return;
    std::string savedTag = Tag;
    if (Tag.find('[') != std::string::npos) rpExpandExpressions(*context, this, Tag);
    if (BandAlign == baBottom || BandAlign == baTop || BandAlign == baWidth)
        if (TrpPageEngineLink* engine = context->PageEngine()) engine->AlignToBand(this);
    WriteByteToStream(stream, Typ);
    if (Typ == gtAddIn) SaveStringToStream(ClassName(), stream);
    uint8_t savedMode = StreamMode;
    StreamMode = smPrinted;
    try {
        SaveToStream(stream);
    } catch (...) {
        StreamMode = savedMode;
        Tag = savedTag;
        throw;
    }
    StreamMode = savedMode;
    Tag = savedTag;
}

// -------------------------------------------------------- stretchable base

Variant TrpStretcheable::CallMethod(const std::string& methodName, const Variant& p1, const Variant& p2,
                                    const Variant& p3) {
    if (UpperCase(methodName) == "CALCHEIGHT") return CalcHeight();
    return TrpView::CallMethod(methodName, p1, p2, p3);
}

// ---------------------------------------------------------- dormant controls

TrpControl::TrpControl() {
    Typ = gtAddIn;
    FillColor = clBtnFace;
    FrameTyp = 0;
    BaseName = "Control";
}

void TrpControl::DeclareProperties() {
    PropList.clear();
    DeclareNameAndBounds(this);
    AddProperty("Visible", rpdtBoolean);
    AddProperty("Restrictions", rpdtRestriction);
}

TrpNonVisualControl::TrpNonVisualControl() { dx = dy = 28; }

void TrpNonVisualControl::DeclareProperties() {
    PropList.clear();
    AddProperty("Name", rpdtName);
    AddProperty("Restrictions", rpdtRestriction);
}

// ------------------------------------------------------------ object factory

namespace {

std::map<uint8_t, TrpViewFactory>& ViewTypes() {
    static std::map<uint8_t, TrpViewFactory> types;
    return types;
}

std::map<std::string, TrpViewFactory>& AddInClasses() {
    static std::map<std::string, TrpViewFactory> classes;
    return classes;
}

int32_t NextObjectID = 0;

}  // namespace

TrpViewFactory rpRegisterViewType(uint8_t type, TrpViewFactory create) {
    TrpViewFactory previous = ViewTypes()[type];
    if (create)
        ViewTypes()[type] = std::move(create);
    else
        ViewTypes().erase(type);
    return previous;
}

void rpRegisterAddInClass(const std::string& className, TrpViewFactory create) {
    AddInClasses()[className] = std::move(create);
}

void rpUnRegisterAddInClass(const std::string& className) { AddInClasses().erase(className); }

TrpView* rpCreateObject(uint8_t type, const std::string& className) {
    TrpView* view = nullptr;
    if (type == gtAddIn) {
        auto it = AddInClasses().find(className);
        if (it == AddInClasses().end()) throw ErpClassNotFound(className);
        view = it->second();
        if (view) view->Typ = gtAddIn;
    } else if (type <= gtLine) {
        auto it = ViewTypes().find(type);
        if (it != ViewTypes().end()) view = it->second();
    }
    if (view) view->ID = NextObjectID++;
    return view;
}

// ------------------------------------------------------------- path resolver

TrpObject* rpGetObjectByPath(TrpContext& context, const std::string& path, std::string& propName) {
    TrpView* const ActiveView = context.ActiveView;
    TrpReport* const report = context.Report;
    TrpObject* obj = ActiveView;
    propName = path;
    size_t dot = path.find('.');
    if (dot != std::string::npos) {
        std::string objName = path.substr(0, dot);
        propName = path.substr(dot + 1, 255);
        std::string upper = UpperCase(objName);
        if (upper.size() > 4 && upper.compare(0, 4, "PAGE") == 0 && upper[4] >= '0' && upper[4] <= '9') {
            obj = nullptr;
            int number = 0;
            if (TryStrToInt(objName.substr(4), number) && report && number >= 1 && number <= report->Pages->Count())
                obj = report->Pages->Pages(number - 1);
        } else {
            obj = report ? report->FindObject(objName) : nullptr;
            if (!obj && ActiveView) {
                if (ActiveView->PropList.empty()) ActiveView->DeclareProperties();
                if (ActiveView->HasProperty(objName)) {
                    obj = ActiveView;
                    propName = path;
                }
            }
        }
    }
    if (obj && obj->PropList.empty()) obj->DeclareProperties();
    return obj;
}

// ------------------------------------------------------ expression expansion

void rpExpandExpressions(TrpContext& context, TrpView* view, std::string& text,
                         const std::function<std::string(const std::string&)>& formatter) {
    TrpRestore<TrpView*> active(context.ActiveView, view ? view : context.ActiveView);
    size_t from = 0;
    for (;;) {
        size_t open = text.find('[', from);
        if (open == std::string::npos) break;
        // The matching "]", brackets nesting.
        int depth = 0;
        size_t close = std::string::npos;
        for (size_t i = open; i < text.size(); ++i) {
            if (text[i] == '[')
                ++depth;
            else if (text[i] == ']' && --depth == 0) {
                close = i;
                break;
            }
        }
        if (close == std::string::npos) break;  // unbalanced: the rest stays as written
        std::string expression = text.substr(open + 1, close - open - 1);
        std::string value = formatter ? formatter(expression) : context.FormattedValue(expression);
        text.replace(open, close - open + 1, value);
        from = open + value.size();
    }
}
