#include <gtest/gtest.h>

#include "FormReader.h"

namespace {

enum TShape { shNone, shRound, shSquare };
enum TMark { mkA, mkB, mkC };
using TMarks = Set<TMark>;

class TGadget : public TComponent {
public:
    using TComponent::TComponent;
    int GetSize() const { return FSize; }
    void SetSize(int v) {
        FSize = v;
        ++Writes;
    }
    std::string Caption;
    double Ratio = 0;
    bool Active = false;
    TShape Shape = shNone;
    TMarks Marks;
    TStringList Items;
    TGadget* Buddy = nullptr;
    TComponent* Container = nullptr;
    TNotifyEvent OnPoke;
    std::vector<uint8_t> Blob;
    int Writes = 0;
    int LoadedCalls = 0;
    bool WasLoadingInLoaded = false;

    TStrings* GetItems() { return &Items; }
    void SetParentComponent(TComponent* Value) override { Container = Value; }
    void Loaded() override {
        ++LoadedCalls;
        WasLoadingInLoaded = ComponentState.Contains(csLoading);
        TComponent::Loaded();
    }
    void DefineProperties(TFiler* Filer) override {
        Filer->DefineBinaryProperty(
            "Blob",
            [this](TStream* s) {
                Blob.resize(static_cast<size_t>(s->GetSize()));
                s->ReadBuffer(Blob.data(), s->GetSize());
            },
            nullptr, true);
    }

private:
    int FSize = 0;
};

class TPanelish : public TGadget {
public:
    using TGadget::TGadget;
};

void RegisterOnce() {
    static bool done = false;
    if (done) return;
    done = true;
    RegisterIntConstant("gsHuge", 999);
    Published<TGadget>("TGadget", "")
        .Int("Size", &TGadget::GetSize, &TGadget::SetSize)
        .Str("Caption", &TGadget::Caption, &TGadget::Caption)
        .Float("Ratio", &TGadget::Ratio, &TGadget::Ratio)
        .Bool("Active", &TGadget::Active, &TGadget::Active)
        .Enum("Shape", {"shNone", "shRound", "shSquare"}, &TGadget::Shape, &TGadget::Shape)
        .SetOf("Marks", {"mkA", "mkB", "mkC"}, &TGadget::Marks, &TGadget::Marks)
        .Object("Items", &TGadget::GetItems)
        .Reference<TGadget>("Buddy", &TGadget::Buddy, &TGadget::Buddy)
        .Event("OnPoke", &TGadget::OnPoke);
    Published<TPanelish>("TPanelish", "TGadget");
}

}  // namespace

TEST(FormReader, BuildsTheTreeSetsPropertiesAndBindsEvents) {
    RegisterOnce();
    TGadget root(nullptr);
    int pokes = 0;
    THandlerTable handlers;
    handlers["RootPoke"] = TNotifyEvent([&](TObject*) { ++pokes; });
    ReadComponentFromText(&root,
                          "object frmTest: TGadget\n"
                          "  Caption = 'Root'\n"
                          "  object pnlOuter: TPanelish\n"
                          "    Size = gsHuge\n"
                          "    Buddy = btnInner\n"
                          "    object btnInner: TGadget\n"
                          "      Size = 7\n"
                          "      Ratio = 2.5\n"
                          "      Active = True\n"
                          "      Shape = shSquare\n"
                          "      Marks = [mkA, mkC]\n"
                          "      Items.Strings = (\n"
                          "        'one'\n"
                          "        'two')\n"
                          "      OnPoke = rootpoke\n"
                          "      Blob = {0102FF}\n"
                          "    end\n"
                          "  end\n"
                          "end\n",
                          handlers);
    EXPECT_EQ(root.GetName(), "frmTest");
    EXPECT_EQ(root.Caption, "Root");
    auto* outer = dynamic_cast<TPanelish*>(root.FindComponent("pnlOuter"));
    auto* inner = dynamic_cast<TGadget*>(root.FindComponent("btnInner"));
    ASSERT_TRUE(outer && inner);
    EXPECT_EQ(inner->Owner, &root);
    EXPECT_EQ(outer->Container, &root);
    EXPECT_EQ(inner->Container, outer);
    EXPECT_EQ(outer->GetSize(), 999);
    EXPECT_EQ(outer->Buddy, inner);  // linked before the target existed
    EXPECT_EQ(inner->GetSize(), 7);
    EXPECT_DOUBLE_EQ(inner->Ratio, 2.5);
    EXPECT_TRUE(inner->Active);
    EXPECT_EQ(inner->Shape, shSquare);
    EXPECT_EQ(inner->Marks, (TMarks{mkA, mkC}));
    EXPECT_EQ(inner->Items.GetText(), "one\r\ntwo\r\n");
    EXPECT_EQ(inner->Blob, (std::vector<uint8_t>{1, 2, 0xFF}));
    ASSERT_TRUE(inner->OnPoke);
    inner->OnPoke(inner);
    EXPECT_EQ(pokes, 1);
    for (TGadget* g : {&root, static_cast<TGadget*>(outer), inner}) {
        EXPECT_EQ(g->LoadedCalls, 1);
        EXPECT_TRUE(g->WasLoadingInLoaded);
        EXPECT_FALSE(g->ComponentState.Contains(csLoading));
    }
}

TEST(FormReader, ErrorsNameTheComponentAndProperty) {
    RegisterOnce();
    struct Row {
        const char* body;
        const char* message;
    };
    const Row rows[] = {
        {"  Nope = 1\n", "Error reading frmBad.Nope: Property Nope does not exist"},
        {"  Shape = shOval\n", "Error reading frmBad.Shape: Invalid property value"},
        {"  Size = 'seven'\n", "Error reading frmBad.Size: Invalid property value"},
        {"  OnPoke = Missing\n", "Error reading frmBad.OnPoke: Method Missing not found"},
        {"  Buddy = ghost\n", "Error reading frmBad.Buddy: Component ghost not found"},
        {"  object x: TUnknownThing\n  end\n", "Class TUnknownThing not found (line 2)"},
    };
    for (const Row& r : rows) {
        TGadget root(nullptr);
        try {
            ReadComponentFromText(&root, std::string("object frmBad: TGadget\n") + r.body + "end\n");
            ADD_FAILURE() << "accepted: " << r.body;
        } catch (const EPropertyError& e) {
            EXPECT_EQ(e.Message, r.message);
            EXPECT_FALSE(root.ComponentState.Contains(csLoading));
        }
    }
}

TEST(FormReader, PropertiesByPathAsText) {
    RegisterOnce();
    TGadget root(nullptr);
    auto* child = new TGadget(&root);
    child->SetName("Child");
    SetPropText(&root, "Child.Marks", "[mkB]");
    SetPropText(&root, "Child.Items", "a\r\nb");
    SetPropText(&root, "Child.Active", "True");
    EXPECT_EQ(child->Marks, TMarks{mkB});
    EXPECT_EQ(GetPropText(&root, "Child.Items"), "a\r\nb\r\n");
    EXPECT_EQ(GetPropText(&root, "child.active"), "True");
    EXPECT_EQ(GetPropText(&root, "Child.Shape"), "shNone");
    EXPECT_THROW(SetPropText(&root, "Child.Shape", "shOval"), EPropertyError);
    EXPECT_THROW(GetPropText(&root, "Nobody.Size"), EPropertyError);
}
