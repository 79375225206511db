#pragma once
// Small templates built and prepared in tests, and what their prepared
// pages hold: the name, text and place of every object, page by page.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "GuiTestApp.h"
#include "MsgBox.h"
#include "RP_Engine.h"
#include "SysUtils.h"
#include "TemplateBuilders.h"

struct Out {
    std::string name, text;
    int x, y, dy;
};

class BandLayoutFixture : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        FormatSettings = USFormatSettings();
        previousBox = SetMessageBoxHook([this](const std::string& text, const std::string& caption, unsigned) {
            boxes.push_back(caption + ": " + text);
            return IDOK;
        });
        page = report.Pages->Add();
        bottom = page->BottomEdge();
    }
    void TearDown() override { SetMessageBoxHook(previousBox); }

    TrpBandView* AddBand(uint8_t type, int y, int dy, const std::string& name, const std::string& source = "") {
        return AddBandView(page, type, y, dy, name, source);
    }
    // A cross band: a vertical strip at x, dx wide, over the whole page.
    TrpBandView* AddCross(uint8_t type, const std::string& name, int x, int dx, const std::string& source = "") {
        TrpBandView* band = AddBand(type, 0, 1000, name, source);
        band->x = x;
        band->dx = dx;
        return band;
    }
    TrpMemoView* AddMemo(const std::string& name, int x, int y, int dx, int dy, const std::string& text) {
        return AddMemoView(page, name, x, y, dx, dy, text);
    }
    // Every build reloads the template: pages and views are found anew afterwards.
    TrpPage* FirstPage() { return report.Pages->Pages(0); }
    // What every prepared page holds, in output order.
    std::vector<std::vector<Out>> Output() {
        std::vector<std::vector<Out>> pages;
        for (int i = 0; i < report.EMFPages->Count(); ++i) {
            report.EMFPages->LoadPageObjects(i);
            std::vector<Out> outs;
            for (TrpView* v : report.EMFPages->Page(i).Page->Objects) {
                std::string text = v->Memo->GetText();
                while (!text.empty() && (text.back() == '\n' || text.back() == '\r' || text.back() == '\x01'))
                    text.pop_back();
                outs.push_back({v->Name, text, v->x, v->y, v->dy});
            }
            pages.push_back(outs);
        }
        return pages;
    }
    static std::vector<Out> Named(const std::vector<Out>& page, const std::string& name) {
        std::vector<Out> r;
        for (const Out& o : page)
            if (o.name == name) r.push_back(o);
        return r;
    }

    TrpReport report{nullptr};
    TrpPage* page = nullptr;
    int bottom = 0;
    std::vector<std::string> boxes;
    MessageBoxHook previousBox;
};
