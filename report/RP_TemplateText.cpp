#include "RP_TemplateText.h"

#include <cctype>
#include <charconv>
#include <sstream>
#include <vector>

#include "RP_Engine.h"
#include "RP_View.h"
#include "SysUtils.h"

namespace {

// Letter paper in tenths of a millimetre; 1 is the printer's code for it.
constexpr int kLetterPaper = 1, kLetterWidth = 2159, kLetterHeight = 2794;

struct TToken {
    std::string Text;
    bool Quoted = false;
};

class TTemplateTextReader {
public:
    explicit TTemplateTextReader(TrpReport& report) : FReport(report) {}

    std::string Read(const std::string& text) {
        FReport.Pages->Clear();
        std::istringstream in(text);
        std::string line;
        while (std::getline(in, line)) {
            ++FLineNo;
            if (!line.empty() && line.back() == '\r') line.pop_back();
            std::vector<TToken> tokens = Split(line);
            if (tokens.empty() || tokens[0].Text.starts_with("#")) continue;
            ReadObject(tokens);
        }
        if (FName.empty()) Fail("no \"report\" line");
        if (!FPage) Fail("no \"page\" line");
        return FName;
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        throw ErpTemplateError("Report template, line " + std::to_string(FLineNo) + ": " + what);
    }

    std::vector<TToken> Split(const std::string& line) const {
        std::vector<TToken> tokens;
        size_t i = 0;
        while (i < line.size()) {
            if (std::isspace(static_cast<unsigned char>(line[i]))) {
                ++i;
            } else if (line[i] == '"') {
                size_t end = line.find('"', i + 1);
                if (end == std::string::npos) Fail("unterminated text");
                tokens.push_back({line.substr(i + 1, end - i - 1), true});
                i = end + 1;
            } else {
                size_t end = i;
                while (end < line.size() && !std::isspace(static_cast<unsigned char>(line[end])) && line[end] != '"')
                    ++end;
                tokens.push_back({line.substr(i, end - i), false});
                i = end;
            }
        }
        return tokens;
    }

    int Number(const std::vector<TToken>& tokens, size_t index) const {
        if (index >= tokens.size() || tokens[index].Quoted) Fail("a number is missing");
        const std::string& s = tokens[index].Text;
        int value = 0;
        auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), value);
        if (ec != std::errc() || end != s.data() + s.size()) Fail("\"" + s + "\" is not a number");
        return value;
    }

    std::string Word(const std::vector<TToken>& tokens, size_t index, const char* what) const {
        if (index >= tokens.size() || tokens[index].Quoted) Fail(std::string(what) + " is missing");
        return tokens[index].Text;
    }

    // Reads name and place (tokens 1..5, or 1..4 without a height) and checks
    // them before the view exists, so that a fault leaves nothing behind.
    struct TPlace {
        std::string Name;
        int X, Y, DX, DY;
    };
    TPlace ReadPlace(const std::vector<TToken>& tokens, bool withHeight) const {
        if (!FPage) Fail("an object before the \"page\" line");
        TPlace p{Word(tokens, 1, "the object's name"), Number(tokens, 2), Number(tokens, 3), Number(tokens, 4),
                 withHeight ? Number(tokens, 5) : 0};
        if (FPage->FindObject(p.Name)) Fail("a second object named " + p.Name);
        return p;
    }

    void Place(TrpView* view, const TPlace& p) {
        view->Name = p.Name;
        view->x = p.X;
        view->y = p.Y;
        view->dx = p.DX;
        view->dy = p.DY;
        FPage->AddObject(view);
    }

    void ReadObject(const std::vector<TToken>& tokens) {
        const std::string kind = tokens[0].Text;
        if (kind == "report") {
            if (!FName.empty()) Fail("a second \"report\" line");
            FName = Word(tokens, 1, "the report's name");
        } else if (kind == "page") {
            if (FPage) Fail("a second page");
            FPage = FReport.Pages->Add();
            FPage->Name = Word(tokens, 1, "the page's name");
            FPage->ApplyPaperSettings(kLetterPaper, kLetterWidth, kLetterHeight, 0, 0xFFFF);
            FPage->LeftMargin = FPage->TopMargin = FPage->RightMargin = FPage->BottomMargin = 0;
        } else if (kind == "band") {
            ReadBand(tokens);
        } else if (kind == "memo") {
            ReadMemo(tokens);
        } else if (kind == "line") {
            if (tokens.size() > 5) Fail("too much on a line's line");
            TPlace place = ReadPlace(tokens, false);
            auto* line = new TrpLineView;
            Place(line, place);
            line->FrameTyp = frbTop;
        } else {
            Fail("unknown object kind \"" + kind + "\"");
        }
    }

    void ReadBand(const std::vector<TToken>& tokens) {
        static const struct {
            const char* Name;
            uint8_t Type;
        } kTypes[] = {
            {"title", btReportTitle}, {"header", btPageHeader}, {"master", btMasterData}, {"footer", btPageFooter}};
        if (!FPage) Fail("an object before the \"page\" line");
        const std::string name = Word(tokens, 1, "the band's name");
        const std::string type = Word(tokens, 2, "the band's type");
        const uint8_t* bandType = nullptr;
        for (const auto& t : kTypes)
            if (type == t.Name) bandType = &t.Type;
        if (!bandType) Fail("unknown band type \"" + type + "\"");
        const int y = Number(tokens, 3), dy = Number(tokens, 4);
        const std::string source = tokens.size() > 5 ? Word(tokens, 5, "the data set") : "";
        if (tokens.size() > 6) Fail("too much on a band's line");
        if (FPage->FindObject(name)) Fail("a second object named " + name);
        auto* band = new TrpBandView;
        band->SetBandType(*bandType);
        band->FormatStr = source;
        Place(band, {name, 0, y, FPage->RightEdge(), dy});
    }

    void ReadMemo(const std::vector<TToken>& tokens) {
        TPlace place = ReadPlace(tokens, true);
        auto* memo = new TrpMemoView;
        Place(memo, place);
        memo->Flags &= uint16_t(~flWordWrap);
        memo->Font->SetSize(9);
        int horizontal = rptaLeft, vertical = rptaMiddle;
        std::vector<std::string> lines;
        for (size_t i = 6; i < tokens.size(); ++i) {
            const TToken& t = tokens[i];
            if (t.Quoted)
                lines.push_back(t.Text);
            else if (!t.Text.empty() && std::isdigit(static_cast<unsigned char>(t.Text[0])))
                memo->Font->SetSize(Number(tokens, i));
            else if (t.Text == "bold")
                memo->Font->SetStyle(TFontStyles{fsBold});
            else if (t.Text == "left")
                horizontal = rptaLeft;
            else if (t.Text == "right")
                horizontal = rptaRight;
            else if (t.Text == "center")
                horizontal = rptaCenter;
            else if (t.Text == "top")
                vertical = 0;
            else if (t.Text == "wrap")
                memo->Flags |= flWordWrap;
            else
                Fail("unknown memo option \"" + t.Text + "\"");
        }
        memo->Alignment = horizontal | vertical;
        std::string text;
        for (size_t i = 0; i < lines.size(); ++i) text += (i ? "\r\n" : "") + lines[i];
        memo->Memo->SetText(text);
    }

    TrpReport& FReport;
    TrpPage* FPage = nullptr;
    std::string FName;
    int FLineNo = 0;
};

}  // namespace

std::string rpReadTemplateText(TrpReport& report, const std::string& text) {
    return TTemplateTextReader(report).Read(text);
}
