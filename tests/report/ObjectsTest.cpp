// Template objects: properties by name, methods, paths, geometry, frames.

#include "RP_DSet.h"
#include "RP_StdLib.h"
#include "RP_Vars.h"
#include "ReportTestViews.h"

namespace {

// Records the lines drawn, with the pen in effect for each.
class LineCanvas : public TCanvas {
public:
    struct Seg {
        int x1, y1, x2, y2, width;
        TPenStyle style;
        TColor color;
    };
    std::vector<Seg> lines;
    std::vector<TRect> fills;
    void MoveTo(int X, int Y) override { at_ = {X, Y}; }
    void LineTo(int X, int Y) override {
        lines.push_back({at_.X, at_.Y, X, Y, GetPen()->GetWidth(), GetPen()->GetStyle(), GetPen()->GetColor()});
        at_ = {X, Y};
    }
    void FillRect(const TRect& r) override { fills.push_back(r); }

private:
    TPoint at_;
};

}  // namespace

class ObjectsTest : public TemplateFixture {
protected:
    void SetUp() override {
        TemplateFixture::SetUp();
        page = report->Pages->Add();
        view = AddView(page, gtMemo, "Memo5");
    }
    // Draws the frame of a 20x20 view at (10,10) with one side set, unscaled.
    void DrawFrameSide(LineCanvas& canvas, int side, int style, float width) {
        view->Canvas = &canvas;
        view->x = 10;
        view->y = 10;
        view->dx = 20;
        view->dy = 20;
        view->FrameTyp = side;
        view->FrameStyle = style;
        view->FrameWidth = width;
        Context().BuildMode = true;
        view->ScaleGeometry();
        view->DrawFrame();
    }
    TrpPage* page = nullptr;
    TTestView* view = nullptr;
};

TEST_F(ObjectsTest, PropertiesByNameRoundTrip) {
    struct Row {
        const char* name;
        Variant value;
    };
    const Row rows[] = {
        {"LEFT", 12},       {"top", 34},          {"Width", 56},        {"HEIGHT", 78},    {"FLAGS", 0x41},
        {"FRAMETYP", 15},   {"FRAMEWIDTH", 2.5},  {"FRAMECOLOR", 0xFF}, {"FRAMESTYLE", 3}, {"FILLCOLOR", 0xFFFF},
        {"GAPX", 7},        {"GAPY", 8},          {"BANDALIGN", 6},     {"TAG", "[Date]"}, {"NAME", "Renamed"},
        {"VISIBLE", false}, {"STRETCHED", false}, {"Stretched", true},
    };
    for (const Row& r : rows) {
        view->SetPropertyValue(r.name, r.value);
        EXPECT_TRUE(view->GetPropertyValue(r.name) == r.value) << r.name;
    }
    EXPECT_EQ(view->x, 12);
    EXPECT_EQ(view->Name, "Renamed");
    EXPECT_FALSE(view->IsVisible());
    EXPECT_TRUE(view->GetPropertyValue("NOSUCH").IsNull());
    view->SetPropertyValue("NOSUCH", 1);  // ignored
}

TEST_F(ObjectsTest, DataFieldNamesTheFieldOfAnExistingSource) {
    TObject source;
    Context().Fields.FindDataSource = [&](const std::string& n) -> TObject* {
        return n == "Loans" ? &source : nullptr;
    };
    view->SetPropertyValue("DATAFIELD", "[Loans.\"Rate\"]");
    EXPECT_EQ(view->Memo->Get(0), "[Loans.\"Rate\"]");
    EXPECT_EQ(view->GetPropertyValue("DATAFIELD").AsString(), "Rate");
    view->SetPropertyValue("DATAFIELD", "[Other.Rate]");
    EXPECT_EQ(view->GetPropertyValue("DATAFIELD").AsString(), "");
    view->SetPropertyValue("DATAFIELD", "Loans.Rate and more");
    EXPECT_EQ(view->GetPropertyValue("DATAFIELD").AsString(), "");
}

TEST_F(ObjectsTest, MemoPropertyAndListMethods) {
    view->SetPropertyValue("MEMO", "one\r\ntwo");
    EXPECT_EQ(view->Memo->Count(), 2);
    EXPECT_EQ(view->GetPropertyValue("MEMO.COUNT").AsInteger(), 2);
    EXPECT_EQ(view->GetPropertyValue("MEMO").AsString(), "one\r\ntwo\r\n");

    // Arguments arrive as expression texts and go through the report's evaluator.
    view->CallMethod("MEMO.ADD", "'x' + 'y'", Variant(), Variant());
    EXPECT_EQ(view->Memo->Get(2), "xy");
    EXPECT_EQ(view->CallMethod("Memo.IndexOf", "'two'", Variant(), Variant()).AsInteger(), 1);
    view->CallMethod("MEMO.DELETE", "0", Variant(), Variant());
    EXPECT_EQ(view->Memo->Get(0), "two");
    view->CallMethod("MEMO.DELETE", "9", Variant(), Variant());  // out of range: nothing
    EXPECT_EQ(view->Memo->Count(), 2);
    EXPECT_EQ(view->CallMethod("GETINDEXPROPERTY", "Memo", 1, Variant()).AsString(), "xy");
    view->CallMethod("SETINDEXPROPERTY", "MEMO", 1, "z");
    EXPECT_EQ(view->Memo->Get(1), "z");
    EXPECT_TRUE(view->CallMethod("GETINDEXPROPERTY", "MEMO", 5, Variant()).IsNull());
    view->CallMethod("MEMO.CLEAR", Variant(), Variant(), Variant());
    EXPECT_EQ(view->Memo->Count(), 0);

    view->CallMethod("HIDE", Variant(), Variant(), Variant());
    EXPECT_FALSE(view->IsVisible());
    view->CallMethod("show", Variant(), Variant(), Variant());
    EXPECT_TRUE(view->IsVisible());
}

TEST_F(ObjectsTest, FontPropertiesUseTheScriptBits) {
    view->SetPropertyValue("FONT.NAME", "Arial");
    view->SetPropertyValue("FONT.SIZE", 12);
    view->SetPropertyValue("FONT.STYLE", 1 | 4);  // italic, underline
    view->SetPropertyValue("FONT.COLOR", 0xFF);
    EXPECT_EQ(view->Font.GetName(), "Arial");
    EXPECT_EQ(view->Font.GetSize(), 12);
    EXPECT_TRUE(view->Font.GetStyle().Contains(fsItalic));
    EXPECT_TRUE(view->Font.GetStyle().Contains(fsUnderline));
    EXPECT_FALSE(view->Font.GetStyle().Contains(fsBold));
    EXPECT_EQ(view->GetPropertyValue("FONT.STYLE").AsInteger(), 5);
    EXPECT_EQ(view->GetPropertyValue("font.color").AsInteger(), 0xFF);
    for (int bits = 0; bits < 16; ++bits) EXPECT_EQ(FontStyleToBits(BitsToFontStyle(bits)), bits);
}

TEST_F(ObjectsTest, ObjectPaths) {
    TrpPage* page2 = report->Pages->Add();
    AddView(page2, gtMemo, "Other");
    Context().ActiveView = view;
    struct Row {
        const char* path;
        TrpObject* object;
        const char* prop;
    };
    const Row rows[] = {
        {"PAGE2.Visible", page2, "Visible"},
        {"Memo5.Text", view, "Text"},
        {"other.Memo", page2->Objects[0], "Memo"},
        {"FONT.NAME", nullptr, "NAME"},  // no object Font, and the view declares no Font
        {"Left", view, "Left"},
        {"PAGE9.Visible", nullptr, "Visible"},
        {"Nobody.Left", nullptr, "Left"},
    };
    for (const Row& r : rows) {
        std::string prop;
        TrpObject* obj = rpGetObjectByPath(Context(), r.path, prop);
        EXPECT_EQ(obj, r.object) << r.path;
        EXPECT_EQ(prop, r.prop) << r.path;
    }
    // A view that declares a Font property answers FONT.NAME itself.
    view->AddProperty("Font", rpdtNumber);
    std::string prop;
    EXPECT_EQ(rpGetObjectByPath(Context(), "FONT.NAME", prop), view);
    EXPECT_EQ(prop, "FONT.NAME");
    EXPECT_FALSE(page2->PropList.empty());  // declared on the way out
    EXPECT_TRUE(view->HasProperty("framestyle"));
    EXPECT_EQ(view->PropRec("BandAlign")->Enum[7], "baRest");
}

TEST_F(ObjectsTest, ScaleGeometryInsetsFramedSides) {
    struct Row {
        uint16_t sides;
        float width;
        double scale;
        TRect expected;
    };
    const Row rows[] = {
        // Width 2 at scale 1: the inset round(0.5) is 0 (half to even), the right edge not inset.
        {frbLeft | frbTop, 2.0f, 1.0, TRect{10, 20, 111, 71}},
        {frbRight | frbBottom, 2.0f, 1.0, TRect{10, 20, 110, 70}},
        {frbLeft | frbTop | frbRight | frbBottom, 3.0f, 1.0, TRect{11, 21, 109, 69}},
        {0, 1.0f, 2.0, TRect{20, 40, 221, 141}},
    };
    for (const Row& r : rows) {
        view->x = 10;
        view->y = 20;
        view->dx = 100;
        view->dy = 50;
        view->FrameTyp = r.sides;
        view->FrameWidth = r.width;
        Context().BuildMode = true;
        view->ScaleX = view->ScaleY = r.scale;
        view->ScaleGeometry();
        EXPECT_EQ(view->DRect, r.expected) << r.sides << " " << r.width;
        view->RestoreGeometry();
        EXPECT_EQ(view->x, 10);
        EXPECT_FLOAT_EQ(view->FrameWidth, r.width);
    }
    // Half to even, and damaged coordinates stay inside int.
    EXPECT_EQ(rpRound(2.5), 2);
    EXPECT_EQ(rpRound(1e12), 2147483647);
    // Outside a build the scale is reset.
    Context().BuildMode = false;
    view->ScaleX = 3;
    view->OffsX = 5;
    view->ScaleGeometry();
    EXPECT_EQ(view->x, 10);
    view->RestoreGeometry();
}

TEST_F(ObjectsTest, ClipRegionWidensByTheFrame) {
    view->x = 10;
    view->y = 10;
    view->dx = 20;
    view->dy = 20;
    view->FrameTyp = frbLeft | frbTop | frbRight | frbBottom;
    view->FrameWidth = 4;
    EXPECT_EQ(view->GetClipRegion(false), (TRect{8, 8, 33, 33}));
    view->FrameStyle = rpfsDouble;
    EXPECT_EQ(view->GetClipRegion(false), (TRect{4, 4, 37, 37}));
    EXPECT_EQ(view->GetClipRegion(true), (TRect{-6, -6, 47, 47}));
}

TEST_F(ObjectsTest, DoubleFrameDrawsThreeLines) {
    LineCanvas canvas;
    view->FrameColor = clRed;
    view->FillColor = clYellow;
    DrawFrameSide(canvas, frbTop, rpfsDouble, 1);
    ASSERT_EQ(canvas.lines.size(), 3u);
    EXPECT_EQ(canvas.lines[0].y1, 9);
    EXPECT_EQ(canvas.lines[1].y1, 10);
    EXPECT_EQ(canvas.lines[2].y1, 11);
    EXPECT_EQ(canvas.lines[0].color, clRed);
    EXPECT_EQ(canvas.lines[1].color, clYellow);
    EXPECT_EQ(canvas.lines[2].color, clRed);
}

TEST_F(ObjectsTest, DashedWideFrameDrawsOnePixelLines) {
    LineCanvas canvas;
    DrawFrameSide(canvas, frbLeft, rpfsDash, 3);
    ASSERT_EQ(canvas.lines.size(), 3u);
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(canvas.lines[size_t(i)].x1, 10 + i - 1);
        EXPECT_EQ(canvas.lines[size_t(i)].width, 1);
        EXPECT_EQ(canvas.lines[size_t(i)].style, psDash);
    }
    EXPECT_EQ(canvas.GetPen()->GetWidth(), 3);  // restored
}

TEST_F(ObjectsTest, FrameSidesInOrderAndNothingInTheFirstPass) {
    LineCanvas canvas;
    view->Canvas = &canvas;
    view->x = 0;
    view->y = 0;
    view->dx = 10;
    view->dy = 5;
    view->FrameTyp = frbLeft | frbTop | frbRight | frbBottom;
    Context().BuildMode = true;
    view->ScaleGeometry();
    Context().FirstPassRunning = true;
    view->DrawFrame();
    view->DrawBackground();
    EXPECT_TRUE(canvas.lines.empty());
    Context().FirstPassRunning = false;
    view->DrawFrame();
    ASSERT_EQ(canvas.lines.size(), 4u);
    EXPECT_EQ(canvas.lines[0].x1, 10);  // right
    EXPECT_EQ(canvas.lines[1].x1, 0);   // left
    EXPECT_EQ(canvas.lines[2].y1, 5);   // bottom
    EXPECT_EQ(canvas.lines[3].y1, 0);   // top
    // No fill colour in a build: no background.
    view->DrawBackground();
    EXPECT_TRUE(canvas.fills.empty());
    view->FillColor = clAqua;
    view->DrawBackground();
    ASSERT_EQ(canvas.fills.size(), 1u);
    EXPECT_EQ(canvas.fills[0], (TRect{0, 0, 10, 5}));
}

TEST_F(ObjectsTest, ExpandExpressionsHandlesNestedBrackets) {
    std::vector<std::string> asked;
    auto formatter = [&](const std::string& e) {
        asked.push_back(e);
        return e == "Cell1" ? std::string("[1]") : "<" + e + ">";
    };
    std::string text = "a [Cell1] b [IF([x] > 0, 1, 2)] c [unclosed";
    rpExpandExpressions(Context(), view, text, formatter);
    EXPECT_EQ(text, "a [1] b <IF([x] > 0, 1, 2)> c [unclosed");
    // Inserted text is not scanned again.
    ASSERT_EQ(asked.size(), 2u);
    EXPECT_EQ(asked[1], "IF([x] > 0, 1, 2)");
}

TEST_F(ObjectsTest, BandAlignmentPlacesViewsOnTheirRow) {
    page->LeftMargin = 10;
    page->RightMargin = 10;  // right edge = paper width - 10
    int right = page->RightEdge();
    TTestView* left = AddView(page, gtMemo, "L");
    left->x = 50;
    left->y = 0;
    left->dx = 30;
    left->dy = 10;
    left->BandAlign = baLeft;
    TTestView* rest = AddView(page, gtMemo, "R");
    rest->x = 200;
    rest->y = 0;
    rest->dx = 5;
    rest->dy = 10;
    rest->BandAlign = baRest;
    TTestView* rightView = AddView(page, gtMemo, "RR");
    rightView->x = 400;
    rightView->y = 0;
    rightView->dx = 40;
    rightView->dy = 10;
    rightView->BandAlign = baRight;

    left->BeginDraw(nullptr);
    EXPECT_EQ(left->x, 10);  // no left-aligned neighbour: the left bound
    rightView->BeginDraw(nullptr);
    EXPECT_EQ(rightView->x, right - 40);
    rest->BeginDraw(nullptr);
    EXPECT_EQ(rest->x, 40);  // after the left view
    EXPECT_EQ(rest->dx, right - 40 - 40);
    EXPECT_EQ(Context().ActiveView, rest);
    TTestView* centre = AddView(page, gtMemo, "C");
    centre->dx = 100;
    centre->BandAlign = baCenter;
    centre->BeginDraw(nullptr);
    EXPECT_EQ(centre->x, 10 + (right - 10 - 100) / 2);
}

TEST_F(ObjectsTest, CreateObjectNumbersObjectsAndRefusesUnknownTypes) {
    TrpView* a = rpCreateObject(gtMemo, "");
    TrpView* b = rpCreateObject(gtLine, "");
    EXPECT_EQ(b->ID, a->ID + 1);
    EXPECT_EQ(rpCreateObject(7, ""), nullptr);
    try {
        rpCreateObject(gtAddIn, "TNoSuchView");
        ADD_FAILURE() << "no error";
    } catch (const ErpClassNotFound& e) {
        EXPECT_EQ(e.Message, "TNoSuchView");
    }
    delete a;
    delete b;
}

TEST_F(ObjectsTest, PreparedCopyLeavesOutTemplateFields) {
    view->Memo->SetText("Total [Cell1]");
    view->Tag = "[Shown]";
    view->Script->Add("Runs := Runs + 1");
    view->Format = 0x22C;
    view->FormatStr = "#,##0";
    Context().Variables().SetVariable("Runs", 0);
    Context().Variables().SetVariable("Shown", 3);
    report->OnBeforePrint = [](TStringList* memo, TrpView*) { memo->SetText("Total 42"); };
    TMemoryStream out;
    view->WritePreparedObject(&out);
    EXPECT_EQ(Context().Variables().GetVariable("Runs").AsInteger(), 1);  // the view's script ran once
    EXPECT_EQ(view->Tag, "[Shown]");                                      // restored after writing
    EXPECT_EQ(view->SMemo->GetText(), "Total 42\r\n");
    out.SetPosition(0);
    EXPECT_EQ(ReadByteFromStream(&out), gtMemo);
    TTestView copy;
    copy.StreamMode = smPrinted;
    copy.LoadFromStream(&out);
    EXPECT_EQ(out.GetPosition(), out.GetSize());
    EXPECT_EQ(copy.Tag, "3");
    EXPECT_EQ(copy.FormatStr, "");  // template-only: not written
    EXPECT_EQ(copy.Script->Count(), 0);

    // An invisible view writes nothing.
    view->Script->SetText("Memo5.Hide");
    TMemoryStream none;
    view->WritePreparedObject(&none);
    EXPECT_EQ(none.GetSize(), 0);
}

TEST_F(ObjectsTest, PreDrawAlignedDrawsOnlyAlignedViews) {
    struct TDrawCounter : TTestView {
        int draws = 0;
        TrpPage* pageAtDraw = nullptr;
        void Draw(TCanvas* c) override {
            ++draws;
            pageAtDraw = Context()->ActivePage;
            BeginDraw(c);
        }
    };
    auto* aligned = new TDrawCounter;
    aligned->BandAlign = baCenter;
    aligned->dx = 100;
    auto* plain = new TDrawCounter;
    TrpPage* second = report->Pages->Add();
    second->AddObject(aligned);
    page->AddObject(plain);
    report->Pages->PreDrawAligned();
    EXPECT_EQ(aligned->draws, 1);
    EXPECT_EQ(aligned->pageAtDraw, second);
    EXPECT_EQ(aligned->x, second->LeftEdge() + (second->RightEdge() - second->LeftEdge() - 100) / 2);
    EXPECT_EQ(plain->draws, 0);
    TBitmap* checker = rpGlobals().CheckerBitmap();
    EXPECT_EQ(checker->GetWidth(), 8);
    EXPECT_NE(checker->GetCanvas()->GetPixel(0, 0), checker->GetCanvas()->GetPixel(1, 0));
    EXPECT_EQ(checker->GetCanvas()->GetPixel(0, 0), checker->GetCanvas()->GetPixel(1, 1));
}

TEST_F(ObjectsTest, ExpressionsAndScriptsReachPropertiesAndMethodsByName) {
    TrpContext& context = Context();
    page->Columns = 2;
    view->x = 40;
    view->Memo->Add("a");
    context.ActiveView = view;
    EXPECT_EQ(context.Calc("Memo5.Left + 2").AsInteger(), 42);
    EXPECT_EQ(context.Calc("[memo5.memo.count]").AsInteger(), 1);
    EXPECT_EQ(context.Calc("PAGE1.Columns * 10").AsInteger(), 20);
    EXPECT_EQ(context.Calc("Memo.Count").AsInteger(), 1);  // a property of the active view

    TStringList source, script, errors;
    source.Add("begin");
    source.Add("  Memo5.Left := Memo5.Left * 2;");
    source.Add("  Memo5.Memo.Add('b' + 'c');");
    source.Add("  Memo5.Tag := 'x' + Memo5.Name;");
    source.Add("  if Memo5.Memo.IndexOf('bc') = 1 then Memo5.Hide");
    source.Add("end");
    context.Interpreter().CompileScript(&source, &script, &errors);
    ASSERT_EQ(errors.Count(), 0) << errors[0];
    context.Interpreter().RunScript(&script);
    EXPECT_EQ(view->x, 80);
    ASSERT_EQ(view->Memo->Count(), 2);
    EXPECT_EQ(view->Memo->Get(1), "bc");
    EXPECT_EQ(view->Tag, "xMemo5");
    EXPECT_FALSE(view->IsVisible());
    EXPECT_EQ(context.Variables().Count(), 0);  // nothing went astray into report variables
}

TEST_F(ObjectsTest, NewViewDefaults) {
    FormatSettings.DecimalSeparator = ',';
    TTestAddIn fresh;
    FormatSettings = USFormatSettings();
    EXPECT_EQ(fresh.Typ, gtAddIn);
    EXPECT_EQ(fresh.BaseName, "View");
    EXPECT_EQ(fresh.Flags, flStretched);
    EXPECT_EQ(fresh.FrameTyp, 0);
    EXPECT_FLOAT_EQ(fresh.FrameWidth, 1.0f);
    EXPECT_EQ(fresh.FrameColor, clBlack);
    EXPECT_EQ(fresh.FrameStyle, rpfsSolid);
    EXPECT_EQ(fresh.FillColor, rpNoFill);
    EXPECT_TRUE(fresh.IsVisible());
    EXPECT_EQ(fresh.gapx, 2);
    EXPECT_EQ(fresh.gapy, 1);
    EXPECT_DOUBLE_EQ(fresh.ScaleX, 1.0);
    EXPECT_EQ(fresh.BandAlign, baNone);
    // Text category, index 0, 2 decimals, the locale's separator at creation.
    EXPECT_EQ(fresh.Format, rpMakeFormat(fcText, 0, 2, ','));
    EXPECT_TRUE(fresh.GetPropertyValue("STRETCHED").AsBoolean());
}

TEST_F(ObjectsTest, OnlyDataSetsOfTheFormTurnDottedNamesIntoFields) {
    // The form holds a control that shares the report object's name, and a data set.
    TComponent form(nullptr);
    form.SetName("MainForm");
    (new TComponent(&form))->SetName("Memo5");
    (new TrpUserDataset(&form))->SetName("Rows");
    auto* owned = new TrpReport(&form);
    TrpPage* p = owned->Pages->Add();
    TTestView* v = AddView(p, gtMemo, "Memo5");
    v->x = 17;
    v->Memo->SetText("[Rows.Amount]");

    EXPECT_FALSE(owned->Dictionary->IsVariable("Memo5.Left"));
    EXPECT_TRUE(owned->Dictionary->IsVariable("Rows.Amount"));
    EXPECT_EQ(v->GetPropertyValue("DATAFIELD").AsString(), "Amount");

    Variant value;
    owned->Context().Resolver().GetVariableValue("MEMO5.LEFT", value);
    EXPECT_EQ(value.AsInteger(), 17);
}

namespace {
// A view that notes, as it is freed, what its page still lists.
class TLeavingView : public TTestView {
public:
    std::vector<std::string>* seen = nullptr;
    ~TLeavingView() override {
        std::string listed;
        for (TrpView* v : ParentPage->Objects) listed += v->Name + " ";
        seen->push_back(Name + ": " + listed);
    }
};
}  // namespace

TEST_F(ObjectsTest, ObjectsLeaveTheirPageBeforeTheyAreFreed) {
    std::vector<std::string> seen;
    TrpPage* own = report->Pages->Add();
    for (const char* name : {"A", "B", "C", "D"}) {
        auto* v = new TLeavingView;
        v->Name = name;
        v->seen = &seen;
        own->AddObject(v);
    }
    own->DeleteObject(1);
    own->DeleteObject(9);  // out of range: nothing happens
    EXPECT_EQ(own->Count(), 3);
    EXPECT_EQ(own->FindObject("B"), nullptr);
    // reverse walks see the same objects backwards
    std::string backwards;
    for (auto it = own->Objects.rbegin(); it != own->Objects.rend(); ++it) backwards += (*it)->Name;
    EXPECT_EQ(backwards, "DCA");
    report->Pages->Delete(report->Pages->Count() - 1);
    EXPECT_EQ(seen, (std::vector<std::string>{"B: A C D ", "A: ", "C: ", "D: "}));
}
