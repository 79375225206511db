#pragma once
// Stand-in view classes for template tests: the concrete memo, band and line
// views belong to units built on top of the template layer.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "MsgBox.h"
#include "RP_Class.h"
#include "RP_Dict.h"
#include "SysUtils.h"

class TTestView : public TrpView {
public:
    explicit TTestView(uint8_t type = gtMemo, const std::string& baseName = "Memo") {
        Typ = type;
        BaseName = baseName;
    }
    void Draw(TCanvas*) override {}
    TFont* ViewFont() override { return &Font; }
    TFont Font;
};

class TTestAddIn : public TrpView {
public:
    void Draw(TCanvas*) override {}
};

// Registers the stand-ins for types 0..4 and the add-in class, answers
// message boxes, and puts everything back afterwards.
class TemplateFixture : public ::testing::Test {
protected:
    void SetUp() override {
        FormatSettings = USFormatSettings();
        const char* names[] = {"Memo", "Picture", "Band", "SubReport", "Line"};
        for (uint8_t t = 0; t <= gtLine; ++t) {
            std::string base = names[t];
            saved_[t] = rpRegisterViewType(t, [t, base] { return new TTestView(t, base); });
        }
        rpRegisterAddInClass(rpClassNameOf<TTestAddIn>(), [] { return new TTestAddIn; });
        previousBox_ = SetMessageBoxHook([this](const std::string& text, const std::string& caption, unsigned) {
            boxes.push_back(caption + ": " + text);
            return IDOK;
        });
        report = std::make_unique<TrpReport>(nullptr);
    }
    void TearDown() override {
        report.reset();
        for (auto& [t, f] : saved_) rpRegisterViewType(t, f);
        rpUnRegisterAddInClass(rpClassNameOf<TTestAddIn>());
        SetMessageBoxHook(previousBox_);
    }

    TTestView* AddView(TrpPage* page, uint8_t type, const std::string& name) {
        auto* v = static_cast<TTestView*>(rpCreateObject(type, ""));
        v->Name = name;
        page->AddObject(v);
        return v;
    }

    // Loads a template as the program does: a refused or partly loaded
    // template is reported to the user in a message box.
    void Load(TrpReport& r, TStream* s) {
        try {
            r.LoadFromStream(s);
        } catch (const ErpClassNotFound& e) {
            MessageBox(e.Message, LoadEngineString(rpsError), MB_OK | MB_ICONERROR);
        } catch (const ErpTemplateError& e) {
            MessageBox(e.Message, LoadEngineString(rpsError), MB_OK | MB_ICONERROR);
        }
    }

    static std::string Bytes(TMemoryStream& s) {
        return std::string(reinterpret_cast<const char*>(s.Memory()), size_t(s.GetSize()));
    }

    TrpContext& Context() { return report->Context(); }

    std::unique_ptr<TrpReport> report;
    std::vector<std::string> boxes;

private:
    std::map<uint8_t, TrpViewFactory> saved_;
    MessageBoxHook previousBox_;
};
