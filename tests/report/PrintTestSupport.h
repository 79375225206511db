#pragma once
// A report of prepared pages printed through the printer layer, and the
// poppler tools that read back what a print wrote.

#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <sstream>
#include <string>
#include <unistd.h>
#include <vector>

#include "GuiTestApp.h"
#include "Printers.h"
#include "RP_Class.h"
#include "RP_Prntr.h"
#include "RP_View.h"
#include "SysUtils.h"

// Runs a shell command bounded in time; its standard output.
inline std::string RunCommand(const std::string& command) {
    std::string out;
    FILE* f = popen(("timeout 30 " + command).c_str(), "r");
    if (!f) return out;
    std::array<char, 4096> buffer;
    size_t n;
    while ((n = fread(buffer.data(), 1, buffer.size(), f)) > 0) out.append(buffer.data(), n);
    pclose(f);
    return out;
}

// The pages' texts of a PDF file, one entry per page, blanks and line ends trimmed.
inline std::vector<std::string> PdfPageTextsOf(const std::string& file) {
    std::string text = RunCommand("pdftotext -layout '" + file + "' -");
    std::vector<std::string> pages;
    std::string current;
    auto flush = [&] {
        std::string t;
        std::istringstream lines(current);
        std::string line;
        while (std::getline(lines, line)) {
            line = Trim(line);
            if (line.empty()) continue;
            if (!t.empty()) t += "\n";
            t += line;
        }
        pages.push_back(t);
        current.clear();
    };
    for (char c : text) {
        if (c == '\f')
            flush();
        else
            current += c;
    }
    return pages;
}

// "W x H" in points of every page of a PDF file.
inline std::vector<std::string> PdfPageSizesOf(const std::string& file) {
    std::istringstream info(RunCommand("pdfinfo -f 1 -l 100000 '" + file + "'"));
    std::vector<std::string> sizes;
    std::string line;
    while (std::getline(info, line)) {
        auto at = line.find(" size: ");
        if (line.rfind("Page", 0) != 0 || at == std::string::npos) continue;
        std::string s = line.substr(at + 7);
        s = Trim(s.substr(0, s.find(" pts")));
        sizes.push_back(s);
    }
    return sizes;
}

// One page of a PDF file rendered in grey at 50 pixels per inch.
struct PageImage {
    int width = 0, height = 0;
    std::vector<uint8_t> pixels;
    bool Dark(int x, int y) const { return pixels[size_t(y) * size_t(width) + size_t(x)] < 128; }
    // Darkness summed over the page.
    double Ink() const {
        double sum = 0;
        for (uint8_t p : pixels) sum += 255 - p;
        return sum;
    }
    // The smallest box holding every dark pixel.
    TRect InkBox() const {
        TRect r{width, height, -1, -1};
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x)
                if (Dark(x, y))
                    r = TRect{std::min(r.Left, x), std::min(r.Top, y), std::max(r.Right, x), std::max(r.Bottom, y)};
        return r;
    }
};

inline PageImage PdfPageImage(const std::string& file, int page) {
    std::string pgm = RunCommand("pdftoppm -r 50 -gray -f " + std::to_string(page) + " -l " + std::to_string(page) +
                                 " '" + file + "'");
    // "P5\n<w> <h>\n255\n" then the pixels.
    std::istringstream header(pgm);
    std::string magic;
    int max = 0;
    PageImage image;
    header >> magic >> image.width >> image.height >> max;
    size_t n = size_t(std::max(image.width, 0)) * size_t(std::max(image.height, 0));
    size_t start = size_t(header.tellg()) + 1;
    if (magic != "P5" || n == 0 || pgm.size() < start + n) return PageImage{};
    image.pixels.assign(pgm.begin() + long(start), pgm.begin() + long(start + n));
    return image;
}

// Puts the platform's printer (selection and paper) and the engine's printer
// layer back as a test found them, so that tests sharing one process do not
// see each other's paper.
class PrinterStateGuard {
public:
    PrinterStateGuard() {
        EnsureGuiApp();
        FName = Printer()->PrinterName();
        FMode = Printer()->GetDevMode();
    }
    ~PrinterStateGuard() {
        TPrinter* printer = Printer();
        const std::vector<std::string>& names = printer->Printers();
        auto it = std::find(names.begin(), names.end(), FName);
        if (it != names.end()) printer->SetPrinterIndex(int(it - names.begin()));
        printer->SetDevMode(FMode);
        rpPrinter().SetPrinter(printer);
    }
    PrinterStateGuard(const PrinterStateGuard&) = delete;
    PrinterStateGuard& operator=(const PrinterStateGuard&) = delete;

private:
    std::string FName;
    TPrinterDevMode FMode;
};

class PrintFixture : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureGuiApp();
        FormatSettings = USFormatSettings();
        char tmpl[] = "/tmp/varnholt-print-XXXXXX";
        ASSERT_NE(mkdtemp(tmpl), nullptr);
        dir = tmpl;
        pdf = dir + "/out.pdf";
        restore.emplace();
        SelectPrinter("Print to PDF");
        // Letter, portrait, whatever the printer was left with.
        rpPrinter().SetPrinterInfo(DMPAPER_LETTER, 2159, 2794, DMBIN_KEEP, 0, true);
        report.Context().SetPrinter(rpCreatePrinterLink());
        page = report.Pages->Add();
        page->ApplyPaperSettings(1, 2159, 2794, 0, 0xFFFF);
    }
    void TearDown() override {
        Printer()->FileName.clear();
        RunCommand("rm -rf '" + dir + "'");
        restore.reset();
    }
    void SelectPrinter(const std::string& name) {
        TrpPrinter& layer = rpPrinter();
        for (int i = 0; i < layer.VirtualPrinterIndex; ++i)
            if (layer.Printers[size_t(i)] == name) {
                layer.SetPrinterIndex(i);
                return;
            }
        FAIL() << "no printer \"" << name << "\"";
    }
    // A prepared page of the template page holding one memo per text.
    void AddPage(TrpPage* from, const std::vector<std::string>& texts) {
        report.EMFPages->Add(from);
        int index = report.EMFPages->Count() - 1;
        int y = 40;
        for (const std::string& text : texts) {
            auto* memo = new TrpMemoView;
            memo->x = 60;
            memo->y = y;
            memo->dx = 300;
            memo->dy = 18;
            memo->Memo->SetText(text);
            from->AddObject(memo);
            memo->WritePreparedObject(report.EMFPages->Page(index).Stream.get());
            y += 24;
        }
        from->ClearObjects();
    }
    void AddPage(TrpPage* from, const std::string& text) { AddPage(from, std::vector<std::string>{text}); }
    // Pages of memos "Row 0", "Row 1", ... numbered across the pages.
    void Build(int pages, int memos) {
        for (int p = 0; p < pages; ++p) {
            std::vector<std::string> texts;
            for (int m = 0; m < memos; ++m) texts.push_back("Row " + std::to_string(p * memos + m));
            AddPage(page, texts);
        }
    }
    void PrintToPdf(const std::string& list, int copies, bool collate, int which) {
        std::remove(pdf.c_str());
        Printer()->FileName = pdf;
        report.ShowProgress = false;
        report.PrintPreparedReport(list, copies, collate, which);
        Printer()->FileName.clear();
    }
    int PdfPageCount() { return int(PdfPageSizesOf(pdf).size()); }
    std::vector<std::string> PdfPageSizes() { return PdfPageSizesOf(pdf); }
    std::vector<std::string> PdfPageTexts() { return PdfPageTextsOf(pdf); }
    std::string PdfText() { return RunCommand("pdftotext '" + pdf + "' -"); }

    std::optional<PrinterStateGuard> restore;
    std::string dir, pdf;
    TrpReport report{nullptr};
    TrpPage* page = nullptr;
};
