#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include <QCoreApplication>

#include "FormReader.h"
#include "Forms.h"
#include "GuiTestApp.h"
#include "StdCtrls.h"
#include "TypInfo.h"
#include "entbase.h"
#include "entctrl.h"
#include "entmsgs.h"

namespace {

class TField : public TEntCustomControlEx {
public:
    using TEntCustomControlEx::TEntCustomControlEx;
};

class TPage : public TEntCollectibleControl {
public:
    explicit TPage(TComponent* AOwner) : TEntCollectibleControl(AOwner) { JoinOwnerCollection(); }
    std::string GetBaseName() const override { return "Page"; }
};

class TOtherItem : public TEntCollectibleControl {
public:
    explicit TOtherItem(TComponent* AOwner) : TEntCollectibleControl(AOwner) { JoinOwnerCollection(); }
};

// A control that owns a collection of pages, as the notebook does.
class TBook : public TEntCustomControl {
public:
    explicit TBook(TComponent* AOwner)
        : TEntCustomControl(AOwner), Pages(std::make_unique<TEntCollection>(this, TEntItemClass::Of<TPage>("TPage"))) {}
    ~TBook() override { Pages.reset(); }
    std::unique_ptr<TEntCollection> Pages;
};

class TBareHolder : public TEntComponent {
public:
    using TEntComponent::TEntComponent;
};

// A form whose window exists, so that bounds changes are posted.
std::unique_ptr<TForm> MakeForm() {
    EnsureGuiApp();
    auto form = std::make_unique<TForm>(nullptr);
    form->SetName("frmTest");
    form->SetBounds(0, 0, 400, 300);
    form->HandleNeeded();
    return form;
}

TField* AddField(TForm* form, const std::string& name, int left, int top) {
    auto* f = new TField(form);
    f->SetName(name);
    f->SetParent(form);
    f->SetBounds(left, top, 120, 25);
    return f;
}

void Pump() {
    QCoreApplication::processEvents();
    QCoreApplication::processEvents();
}

}  // namespace

TEST(EntAttachedLabel, TakesTheFirstFreeNameAndSitsOnTheControlsTopEdge) {
    auto form = MakeForm();
    auto* existing = new TLabel(form.get());
    existing->SetName("FieldLabel1");
    TField* field = AddField(form.get(), "Field", 40, 100);

    field->LabelInfo()->SetVisible(true);
    TEntAttachedLabel* label = field->AttachedLabel();
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->GetName(), "FieldLabel2");
    EXPECT_EQ(label->GetCaption(), "FieldLabel2");
    EXPECT_EQ(label->Owner, form.get());
    EXPECT_EQ(label->GetParent(), form.get());
    EXPECT_EQ(label->GetFocusControl(), field);
    EXPECT_EQ(label->GetLeft(), 40);
    EXPECT_EQ(label->GetTop() + label->GetHeight(), 100);

    field->LabelInfo()->SetOffsets(5, -3);
    EXPECT_EQ(label->GetLeft(), 45);
    EXPECT_EQ(label->GetTop() + label->GetHeight(), 97);

    field->LabelInfo()->SetVisible(false);
    EXPECT_EQ(form->FindComponent("FieldLabel2"), nullptr) << "hiding frees the label";
    EXPECT_THROW(field->AttachedLabel(), Exception);
}

TEST(EntAttachedLabel, FollowsTheControlAndRecordsItsOwnMoves) {
    auto form = MakeForm();
    TField* field = AddField(form.get(), "Field", 40, 100);
    field->LabelInfo()->SetVisible(true);
    TEntAttachedLabel* label = field->AttachedLabel();
    field->HandleNeeded();

    field->SetBounds(60, 150, 120, 25);
    EXPECT_EQ(label->GetLeft(), 40) << "the label moves when the posted message arrives";
    Pump();
    EXPECT_EQ(label->GetLeft(), 60);
    EXPECT_EQ(label->GetTop() + label->GetHeight(), 150);

    label->SetBounds(70, 120, label->GetWidth(), label->GetHeight());
    Pump();
    EXPECT_EQ(field->LabelInfo()->GetOffsetX(), 10);
    EXPECT_EQ(field->LabelInfo()->GetOffsetY(), 120 + label->GetHeight() - 150);

    field->SetBounds(100, 200, 120, 25);
    Pump();
    EXPECT_EQ(label->GetLeft(), 110) << "the new offsets hold on the next move";

    field->Hide();
    EXPECT_FALSE(label->GetVisible());
    field->Show();
    EXPECT_TRUE(label->GetVisible());

    delete label;
    EXPECT_EQ(field->AttachedLabelIfAny(), nullptr);
    EXPECT_FALSE(field->LabelInfo()->GetVisible()) << "a removed label is forgotten";
}

TEST(EntCustomControl, FocusNoticesArePostedInOrder) {
    auto form = MakeForm();
    TField* a = AddField(form.get(), "A", 0, 0);
    TField* b = AddField(form.get(), "B", 0, 40);
    std::vector<std::string> seen;
    for (TField* f : {a, b}) {
        f->AfterEnter = [&seen](TObject* s) { seen.push_back("enter " + static_cast<TField*>(s)->GetName()); };
        f->AfterExit = [&seen](TObject* s) { seen.push_back("exit " + static_cast<TField*>(s)->GetName()); };
    }
    a->Perform(WM_SETFOCUS);
    a->Perform(WM_KILLFOCUS, WPARAM(b->TargetId()));
    b->Perform(WM_SETFOCUS, WPARAM(a->TargetId()));
    EXPECT_TRUE(seen.empty()) << "nothing runs while the focus is changing";
    Pump();
    EXPECT_EQ(seen, (std::vector<std::string>{"enter A", "exit A", "enter B"}));

    // a control gone before its notice arrives is skipped
    seen.clear();
    b->Perform(WM_KILLFOCUS);
    delete b;
    Pump();
    EXPECT_TRUE(seen.empty());
}

TEST(EntCustomControl, WheelReachesItsEvent) {
    auto form = MakeForm();
    TField* f = AddField(form.get(), "F", 0, 0);
    int delta = 0, x = 0;
    TShiftState shift;
    f->OnMouseWheelDelta = [&](TObject*, TShiftState s, int d, int X, int) {
        shift = s;
        delta = d;
        x = X;
    };
    f->Perform(WM_MOUSEWHEEL, WPARAM(uint32_t(uint16_t(-120)) << 16 | MK_SHIFT), MakeLParam(12, 34));
    EXPECT_EQ(delta, -120);
    EXPECT_EQ(x, 12);
    EXPECT_TRUE(shift.Contains(ssShift));
}

TEST(EntCustomControlEx, ControllerLookupOrder) {
    EnsureGuiApp();
    auto form = std::make_unique<TForm>(nullptr);  // no window yet
    TField* f = AddField(form.get(), "F", 0, 0);
    EXPECT_EQ(f->GetController(), DefaultController()) << "no controller on the form";
    EXPECT_EQ(f->AssignedController(), nullptr) << "reading stores nothing";

    auto* first = new TEntController(form.get());
    EXPECT_EQ(f->AssignedController(), first) << "a field without one takes a controller added later";
    auto* second = new TEntController(form.get());
    f->SetController(second);
    EXPECT_EQ(f->GetController(), second) << "the assigned one wins";
    delete second;
    EXPECT_EQ(f->AssignedController(), nullptr) << "a freed controller is forgotten";
    EXPECT_EQ(f->GetController(), first) << "then the form's first controller";

    form->HandleNeeded();
    EXPECT_EQ(f->AssignedController(), first) << "making the window settles on it";
    delete first;
    EXPECT_EQ(f->GetController(), DefaultController());
}

TEST(EntCustomControlEx, AWindowMadeWithoutControllerSettlesOnTheDefault) {
    auto form = MakeForm();
    TField* f = AddField(form.get(), "F", 0, 0);
    f->HandleNeeded();
    EXPECT_EQ(f->AssignedController(), DefaultController());
    auto* c = new TEntController(form.get());
    EXPECT_EQ(f->GetController(), DefaultController()) << "it has one already";
    delete c;
}

TEST(EntCollection, ItemsJoinTheirOwnersCollection) {
    auto form = MakeForm();
    auto* book = new TBook(form.get());
    book->SetParent(form.get());
    int changes = 0;
    book->Pages->OnChanged = [&](TObject*) { ++changes; };

    auto* p1 = new TPage(book);
    p1->SetName("Page1");
    auto* p2 = new TPage(book);
    p2->SetName("Page2");
    ASSERT_EQ(book->Pages->Count(), 2);
    EXPECT_EQ(book->Pages->Items(0), p1);
    EXPECT_EQ(book->Pages->ItemByName("Page2"), p2);
    EXPECT_EQ(book->Pages->ItemByName("page2"), nullptr) << "names match exactly";
    EXPECT_EQ(p1->Collection(), book->Pages.get());
    EXPECT_EQ(book->Streamer()->CollectionFromType(p1), book->Pages.get());
    EXPECT_EQ(changes, 2) << "renaming an item notifies the collection";
    EXPECT_EQ(book->Pages->NewItemName(p1), "Page3") << "names of owned components count too";

    std::vector<TComponent*> children;
    book->GetChildren([&](TComponent* c) { children.push_back(c); });
    EXPECT_EQ(children, (std::vector<TComponent*>{p1, p2}));

    delete p1;
    EXPECT_EQ(book->Pages->Count(), 1);
    book->Pages->Clear();
    EXPECT_EQ(book->Pages->Count(), 0);
    EXPECT_EQ(book->FindComponent("Page2"), nullptr) << "Clear frees the items";
}

TEST(EntCollection, RefusesOwnersWithoutAMatchingCollection) {
    auto form = MakeForm();
    struct Row {
        std::function<void()> make;
        int32_t id;
    } rows[] = {
        {[&] {
             TBareHolder holder(nullptr);
             TPage p(&holder);
         },
         SEntNoCollection},
        {[&] {
             TForm owner(nullptr);
             TPage p(&owner);
         },
         SEntInvalidCollectionOwner},
        {[&] {
             TBook book(nullptr);
             TOtherItem item(&book);
         },
         SEntNoCollectionForType},
        {[&] {
             TForm owner(nullptr);
             TEntCollection c(&owner, TEntItemClass::Of<TPage>("TPage"));
         },
         SEntInvalidCollectionOwner},
    };
    for (const auto& r : rows) {
        try {
            r.make();
            ADD_FAILURE() << "no error for " << r.id;
        } catch (const Exception& e) {
            EXPECT_EQ(e.Message, LookupMessageText(r.id));
        }
    }
}

TEST(EntCollection, FreedWithItsOwner) {
    auto form = MakeForm();
    auto* book = new TBook(form.get());
    auto* page = new TPage(book);
    page->SetName("Lonely");
    delete book;  // the owner frees the page, the collection forgets it
    EXPECT_EQ(form->FindComponent("Lonely"), nullptr);
}

namespace {
void RegisterTestClasses() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterEntBaseClasses();
    Published<TField>("TTestField", "TEntCustomControlEx");
    Published<TBook>("TTestBook", "TEntCustomControl");
    Published<TPage>("TTestPage", "TEntCollectibleControl");
}
}  // namespace

TEST(EntBaseClasses, ReadFromAWindowDefinition) {
    RegisterTestClasses();
    auto form = MakeForm();
    ReadComponentFromText(form.get(),
                          "object frmTest: TForm\n"
                          "  object Ctl: TEntController\n"
                          "  end\n"
                          "  object Field: TTestField\n"
                          "    Left = 40\n"
                          "    Top = 100\n"
                          "    Controller = Ctl\n"
                          "    LabelInfo.Visible = True\n"
                          "  end\n"
                          "  object FieldLabel1: TEntAttachedLabel\n"
                          "    Left = 48\n"
                          "    Top = 80\n"
                          "    Height = 17\n"
                          "    FocusControl = Field\n"
                          "  end\n"
                          "  object Book: TTestBook\n"
                          "    object PageA: TTestPage\n"
                          "    end\n"
                          "    object PageB: TTestPage\n"
                          "    end\n"
                          "  end\n"
                          "end\n");
    auto* field = dynamic_cast<TField*>(form->FindComponent("Field"));
    auto* book = dynamic_cast<TBook*>(form->FindComponent("Book"));
    ASSERT_TRUE(field && book);
    EXPECT_EQ(field->GetController(), form->FindComponent("Ctl"));
    ASSERT_EQ(book->Pages->Count(), 2) << "pages join the collection of the control they sit in";
    EXPECT_EQ(book->Pages->Items(1)->GetName(), "PageB");
    EXPECT_EQ(book->Pages->Items(0)->GetParent(), book);

    auto* label = dynamic_cast<TControl*>(form->FindComponent("FieldLabel1"));
    ASSERT_TRUE(label);
    Pump();
    EXPECT_EQ(field->AttachedLabel(), form->FindComponent("FieldLabel1"));
    EXPECT_EQ(label->GetLeft(), 48) << "the label stays where the definition put it";
    EXPECT_EQ(field->LabelInfo()->GetOffsetX(), 8);
    EXPECT_EQ(field->LabelInfo()->GetOffsetY(), label->GetTop() + label->GetHeight() - 100);

    const TClassInfo* url = FindClassInfo("TEntURL");
    ASSERT_TRUE(url);
    EXPECT_TRUE(url->FindProp("HighlightColor"));
    EXPECT_TRUE(FindClassInfo("TEntController")->InheritsFrom("TEntComponent"));
}
