// The memo view: expansion, highlighting, wrapping, measuring, drawing and
// output into prepared pages.

#include <algorithm>
#include <cmath>

#include "RP_Pars.h"
#include "RP_Utils.h"
#include "RP_View.h"
#include "SysUtils.h"

namespace {

size_t Utf8Length(const std::string& s, size_t i) {
    unsigned char c = static_cast<unsigned char>(s[i]);
    size_t n = c < 0x80 ? 1 : (c >> 5) == 6 ? 2 : (c >> 4) == 14 ? 3 : (c >> 3) == 30 ? 4 : 1;
    return i + n > s.size() ? 1 : n;
}

std::vector<uint32_t> CodePoints(const std::string& s) {
    std::vector<uint32_t> out;
    for (size_t i = 0; i < s.size();) {
        size_t n = Utf8Length(s, i);
        uint32_t cp = static_cast<unsigned char>(s[i]);
        if (n > 1) {
            cp &= 0xFF >> (n + 1);
            for (size_t k = 1; k < n; ++k) cp = (cp << 6) | (static_cast<unsigned char>(s[i + k]) & 0x3F);
        }
        out.push_back(cp);
        i += n;
    }
    return out;
}

// Upper-case Cyrillic vowels and signs, the letters hyphenation knows.
uint32_t UpperCyrillic(uint32_t cp) {
    if (cp >= 0x430 && cp <= 0x44F) return cp - 0x20;
    if (cp == 0x451) return 0x401;
    return cp;
}
bool IsVowel(uint32_t cp) {
    switch (UpperCyrillic(cp)) {
    case 0x401:
    case 0x410:
    case 0x415:
    case 0x418:
    case 0x41E:
    case 0x423:
    case 0x42B:
    case 0x42D:
    case 0x42E:
    case 0x42F: return true;
    default: return false;
    }
}
bool IsSign(uint32_t cp) {
    uint32_t u = UpperCyrillic(cp);
    return u == 0x42A || u == 0x42C;
}

bool IsWordEnd(char c) { return c == ' ' || c == ',' || c == '-' || c == '.'; }

int ScriptBits(const TFont* f) { return FontStyleToBits(f->GetStyle()); }

TCanvas* MeasuringCanvas() { return rpGlobals().ScratchBitmap()->GetCanvas(); }

std::vector<std::string> Lines(TStrings* list) {
    std::vector<std::string> out;
    out.reserve(size_t(list->Count()));
    for (int i = 0; i < list->Count(); ++i) out.push_back(list->Get(i));
    return out;
}

void SetLines(TStrings* list, const std::vector<std::string>& lines) {
    list->Clear();
    for (const std::string& l : lines) list->Add(l);
}

bool HasParagraphMarks(TStrings* list) {
    for (int i = 0; i < list->Count(); ++i)
        if (list->Get(i).find(rpParagraphMark) != std::string::npos) return true;
    return false;
}

}  // namespace

std::vector<int> rpHyphenationPoints(const std::string& word) {
    std::vector<uint32_t> w = CodePoints(word);
    std::vector<int> points;
    int n = int(w.size());
    if (n < 4) return points;
    auto V = [&](int i) { return IsVowel(w[size_t(i - 1)]); };  // 1-based
    auto S = [&](int i) { return IsSign(w[size_t(i - 1)]); };
    for (int i = 2; i <= n - 2; ++i)
        if ((V(i) && V(i + 1)) || (V(i + 2) && ((V(i) && !V(i + 1)) || (!V(i) && !V(i + 1) && !S(i + 1)))))
            points.push_back(i);
    return points;
}

// ------------------------------------------------------------------- memo

TrpMemoView::TrpMemoView() : Font(std::make_unique<TFont>()) {
    Typ = gtMemo;
    BaseName = "Memo";
    Flags = flStretched | flWordWrap;
    Font->SetName("Arial");
    Font->SetSize(10);
    Font->SetColor(clBlack);
    Font->SetCharset(TFontCharset(rpGlobals().DefaultCharset));
}

TrpMemoView::~TrpMemoView() = default;

int TrpMemoView::FontPixelHeight() const { return rpRound(Font->GetSize() * 96.0 / 72.0); }

int TrpMemoView::LineStep() const {
    // A step of 0 or less would lay every line on the one before.
    return std::max(1, LineSpacing + FontPixelHeight());
}

void TrpMemoView::SelectMeasuringFont(TCanvas* canvas) {
    canvas->SetFont(Font.get());
    canvas->GetFont()->SetHeight(-FontPixelHeight());
    canvas->SetTextCharacterExtra(CharSpacing);
}

void TrpMemoView::ExpandVariables() {
    TrpContext* context = Context();
    SMemo->Clear();
    TStringList parts;
    for (int i = 0; i < Memo->Count(); ++i) {
        std::string line = Memo->Get(i);
        if (!(Flags & flTextOnly) && context) rpExpandExpressions(*context, this, line);
        if (line.empty()) {
            SMemo->Add(std::string());
            continue;
        }
        // A value with line breaks adds several lines.
        parts.SetText(line);
        for (int k = 0; k < parts.Count(); ++k) SMemo->Add(parts.Get(k));
    }
}

void TrpMemoView::ApplyHighlight() {
    FSavedFont.Assign(Font.get());
    FSavedFill = FillColor;
    TrpContext* context = Context();
    if (HighlightStr.empty() || !context) return;
    Variant v = context->Parser().EvalPostfix(HighlightStr);
    if (v.IsNull() || v.IsEmpty() || v == Variant(0)) return;
    Font->SetStyle(BitsToFontStyle(Highlight.FontStyle));
    Font->SetColor(Highlight.FontColor);
    FillColor = Highlight.FillColor;
}

void TrpMemoView::RestoreHighlight() {
    Font->Assign(&FSavedFont);
    FillColor = FSavedFill;
}

bool TrpMemoView::TextSuppressed() const {
    return (Flags & flSuppress) && FHasLastPrinted && SMemo->GetText() == FLastPrinted;
}

// --------------------------------------------------------------- wrapping

void TrpMemoView::WrapLine(TCanvas* canvas, const std::string& s, int maxWidth, std::vector<std::string>& out) {
    const bool hasBreak = s.find_first_of("\r\n") != std::string::npos;
    const bool oneCharacter = s.empty() || Utf8Length(s, 0) >= s.size();
    if (!hasBreak && (oneCharacter || canvas->TextWidth(s) <= maxWidth)) {
        out.push_back(s + rpParagraphMark);
        return;
    }
    const size_t n = s.size();
    size_t lineStart = 0, i = 0;
    size_t lastBlank = std::string::npos;
    auto fits = [&](size_t from, size_t to) { return canvas->TextWidth(s.substr(from, to - from)) <= maxWidth; };
    while (i < n) {
        char c = s[i];
        if (c == '\r' || c == '\n') {
            out.push_back(s.substr(lineStart, i - lineStart) + rpParagraphMark);
            while (i < n && (s[i] == '\r' || s[i] == '\n')) ++i;  // one break for the whole run
            lineStart = i;
            lastBlank = std::string::npos;
            if (i == n) return;  // the line ended in the run
            continue;
        }
        size_t len = Utf8Length(s, i);
        if (c == ' ') {
            lastBlank = i;
            i += len;
            continue;
        }
        if (fits(lineStart, i + len)) {
            i += len;
            continue;
        }
        if (Flags & flWordBreak) {
            size_t wordStart = i;
            while (wordStart > lineStart && !IsWordEnd(s[wordStart - 1])) --wordStart;
            size_t wordEnd = i;
            while (wordEnd < n && !IsWordEnd(s[wordEnd]) && s[wordEnd] != '\r' && s[wordEnd] != '\n') ++wordEnd;
            std::string word = s.substr(wordStart, wordEnd - wordStart);
            std::vector<int> points = rpHyphenationPoints(word);
            bool broke = false;
            for (auto p = points.rbegin(); p != points.rend(); ++p) {
                // Byte offset of the break after *p characters of the word.
                size_t at = wordStart;
                for (int k = 0; k < *p; ++k) at += Utf8Length(s, at);
                if (at <= lineStart) continue;
                std::string piece = s.substr(lineStart, at - lineStart) + "-";
                if (canvas->TextWidth(piece) > maxWidth) continue;
                out.push_back(piece);
                lineStart = i = at;
                lastBlank = std::string::npos;
                broke = true;
                break;
            }
            if (broke) continue;
        }
        if (lastBlank != std::string::npos && lastBlank >= lineStart) {
            out.push_back(s.substr(lineStart, lastBlank - lineStart));
            lineStart = lastBlank + 1;  // the blank is dropped
            lastBlank = std::string::npos;
            if (i < lineStart) i = lineStart;
            continue;
        }
        // Every line holds at least one character, even one wider than the memo.
        size_t cut = i > lineStart ? i : i + len;
        out.push_back(s.substr(lineStart, cut - lineStart));
        lineStart = i = cut;
        lastBlank = std::string::npos;
    }
    // A forced cut after the last character leaves no rest: that line ends the paragraph.
    if (lineStart >= n && !out.empty())
        out.back() += rpParagraphMark;
    else
        out.push_back(s.substr(lineStart) + rpParagraphMark);
}

std::vector<std::string> TrpMemoView::WrapLines(int& textHeight) {
    TCanvas* canvas = MeasuringCanvas();
    SelectMeasuringFont(canvas);
    const bool rotated = Alignment & rptaVertical;
    int maxWidth = rotated ? dy - 2 * gapy : dx - 2 * gapx;
    std::vector<std::string> out;
    TrpContext* context = Context();
    const bool design = !context || !context->BuildMode;
    if (design && SMemo->Count() == 1 && !SMemo->Get(0).empty() && SMemo->Get(0)[0] == '[' &&
        canvas->TextWidth(SMemo->Get(0)) > maxWidth) {
        out.push_back(SMemo->Get(0));
    } else {
        const bool wrapped = HasParagraphMarks(SMemo.get());
        for (int i = 0; i < SMemo->Count(); ++i) {
            const std::string& line = SMemo->Get(i);
            if (wrapped)
                out.push_back(line);
            else if (Flags & flWordWrap)
                WrapLine(canvas, line, maxWidth, out);
            else
                out.push_back(line + rpParagraphMark);
        }
    }
    canvas->SetTextCharacterExtra(0);
    textHeight = int(out.size()) * LineStep() + 2 * (rotated ? gapx : gapy);
    return out;
}

int TrpMemoView::CalcWidth() {
    TCanvas* canvas = MeasuringCanvas();
    SelectMeasuringFont(canvas);
    std::string text;
    for (int i = 0; i < SMemo->Count(); ++i) {
        if (i > 0) text += "\r\n";
        std::string line = SMemo->Get(i);
        line.erase(std::remove(line.begin(), line.end(), rpParagraphMark), line.end());
        text += line;
    }
    TRect r{0, 0, 0, 0};
    canvas->DrawText(text, r, DT_CALCRECT | DT_NOPREFIX);
    canvas->SetTextCharacterExtra(0);
    double scale = ScaleX > 0 ? ScaleX : 1.0;
    return rpRound(r.Width() / scale + FrameWidth + 2 * gapx + 1);
}

// ---------------------------------------------------------------- drawing

void TrpMemoView::Draw(TCanvas* canvas) {
    TrpContext* context = Context();
    const bool design = !context || !context->BuildMode;
    const bool rotated = Alignment & rptaVertical;
    const bool autoWidth = (Flags & flAutoWidth) && !design && Memo->Count() > 0;
    if (autoWidth) {
        SMemo->Assign(Memo.get());
        int width = CalcWidth();
        if (rotated) {
            dy = width;
        } else {
            if (Alignment & 1) x += dx - width;  // right aligned keeps its right edge
            dx = width;
        }
    }
    BeginDraw(canvas);
    SMemo->Assign(Memo.get());
    if (SMemo->Count() > 0 && SMemo->Get(SMemo->Count() - 1) == std::string(1, rpParagraphMark))
        SMemo->Delete(SMemo->Count() - 1);
    int textHeight = 0;
    std::vector<std::string> lines;
    if (autoWidth) {
        // No line breaks for a memo that takes the width of its text.
        TrpRestore<int32_t> wider(rotated ? dy : dx, (rotated ? dy : dx) + 100);
        lines = WrapLines(textHeight);
    } else {
        lines = WrapLines(textHeight);
    }
    SetLines(SMemo.get(), lines);
    ScaleGeometry();
    DrawBackground();
    DrawFrame();
    if (Flags & flUnderlines) DrawUnderlines(canvas);
    DrawLines(canvas, lines, textHeight);
    canvas->SetTextCharacterExtra(0);
    RestoreGeometry();
}

void TrpMemoView::DrawUnderlines(TCanvas* canvas) {
    TPen* pen = canvas->GetPen();
    pen->SetColor(FrameColor);
    pen->SetWidth(rpRound(FrameWidth));
    pen->SetStyle(psSolid);
    int fontHeight = FontPixelHeight();
    int step = std::max(1, rpRound(LineSpacing * ScaleY) + fontHeight);
    int count = dy / step;
    for (int k = 1; k <= count; ++k) {
        int ry = y + gapy + (k - 1) * step + rpRound(2 * ScaleY) + fontHeight;
        canvas->MoveTo(x, ry);
        canvas->LineTo(x + dx - 1, ry);
    }
}

void TrpMemoView::DrawLines(TCanvas* canvas, const std::vector<std::string>& lines, int textHeight) {
    const bool rotated = Alignment & rptaVertical;
    TFont font;
    font.Assign(Font.get());
    double pixels = Font->GetSize() * 96.0 / 72.0 * ScaleY;
    int fontHeight = ScaleY == 1.0 ? rpRound(pixels) : int(std::trunc(pixels));
    font.SetHeight(-fontHeight);
    if (rotated) font.SetOrientation(900);
    canvas->SetFont(&font);
    canvas->SetBkMode(TRANSPARENT);
    canvas->SetTextCharacterExtra(rpRound(CharSpacing * ScaleX));
    TRect clip{DRect.Left + 1, DRect.Top, DRect.Right - 2, DRect.Bottom - 1};
    int scaledHeight = rpRound(textHeight * ScaleY);
    int step = std::max(1, fontHeight + rpRound(LineSpacing * (rotated ? ScaleX : ScaleY)));
    int W = DRect.Width(), H = DRect.Height();
    unsigned options = ETO_CLIPPED | ((Flags & flRTLReading) ? unsigned(ETO_RTLREADING) : 0u);

    int blockTop = DRect.Top, blockLeft = DRect.Left;
    if (!FStopAtBottom) {
        int vertical = Alignment & rptaVerticalMask;
        if (!rotated) {
            if (vertical == rptaMiddle)
                blockTop += (H - scaledHeight) / 2;
            else if (vertical == rptaBottom)
                blockTop = DRect.Bottom - scaledHeight - 1;
        } else {
            if (vertical == rptaMiddle)
                blockLeft += (W - scaledHeight) / 2;
            else if (vertical == rptaBottom)
                blockLeft = DRect.Right - scaledHeight;
        }
    }
    TrpContext* context = Context();
    const bool design = !context || !context->BuildMode;
    int pos = rotated ? blockLeft + gapx : blockTop + gapy;
    for (const std::string& raw : lines) {
        std::string line = raw;
        bool paragraphEnd = false;
        size_t mark = line.find(rpParagraphMark);
        if (mark != std::string::npos) {
            paragraphEnd = true;
            line.erase(std::remove(line.begin(), line.end(), rpParagraphMark), line.end());
        }
        if (FStopAtBottom && pos + step > (rotated ? clip.Right : clip.Bottom)) break;
        int w = canvas->TextWidth(line);
        int horizontal = Alignment & rptaHorizontalMask;
        if (design && lines.size() == 1 && !line.empty() && line[0] == '[' && w > clip.Width()) horizontal = rptaRight;
        int blanks = 0;
        if (horizontal == rptaJustify && !paragraphEnd)
            for (char ch : line) blanks += ch == ' ';  // code 160 arrives as two UTF-8 bytes
        if (horizontal == rptaJustify && !paragraphEnd)
            for (size_t k = 0; k + 1 < line.size(); ++k)
                blanks +=
                    static_cast<unsigned char>(line[k]) == 0xC2 && static_cast<unsigned char>(line[k + 1]) == 0xA0;
        if (!rotated) {
            int tx = DRect.Left + gapx;
            if (horizontal == rptaRight)
                tx = DRect.Left + W - 1 - gapx - w;
            else if (horizontal == rptaCenter)
                tx = DRect.Left + gapx + (W - 2 * gapx - w) / 2;
            if (blanks > 0) canvas->SetTextJustification(W - 2 * gapx - w, blanks);
            canvas->ExtTextOut(tx, pos, options, &clip, line);
        } else {
            int ty = DRect.Bottom - gapy;
            if (horizontal == rptaRight)
                ty = DRect.Top + gapy + w;
            else if (horizontal == rptaCenter)
                ty = DRect.Bottom - 1 - gapy - (H - 2 * gapy - w) / 2;
            if (blanks > 0) canvas->SetTextJustification(H - 2 * gapy - w, blanks);
            canvas->ExtTextOut(pos, ty, options, &clip, line);
        }
        if (blanks > 0) canvas->SetTextJustification(0, 0);
        pos += step;
    }
}

// ---------------------------------------------------------------- output

int TrpMemoView::CalcHeight() {
    TrpContext* context = Context();
    DrawMode = TrpDrawMode::Measured;
    BeginDraw(MeasuringCanvas());
    if (context) context->RunScript(this, Script.get());
    if (!IsVisible()) return 0;
    SMemo->Assign(Memo.get());
    if (context) context->BeforePrint(SMemo.get(), this);
    if (SMemo->GetText() == Memo->GetText()) ExpandVariables();
    ApplyHighlight();
    ScaleGeometry();
    int height = 0;
    if (SMemo->Count() > 0) {
        std::vector<std::string> lines = WrapLines(height);
        SetLines(SMemo.get(), lines);
        if (TextSuppressed()) height = 0;
    }
    RestoreGeometry();
    RestoreHighlight();
    return height;
}

int TrpMemoView::MinHeight() { return rpRound(FrameWidth * 2) + 2 * gapy + LineStep(); }

int TrpMemoView::RemainHeight() {
    int frame = rpRound(FrameWidth * 2);
    int body = dy - frame - 2 * gapy;
    int rest = body % LineStep();
    if (rest < 0) rest += LineStep();
    return rest + 2 * gapy + frame;
}

void TrpMemoView::WritePreparedObject(TStream* stream) {
    TrpContext* context = Context();
    if (!context) throw EInvalidOperation("View " + Name + " is on no page of a report");
    BeginDraw(MeasuringCanvas());
    FStopAtBottom = true;
    struct Reset {
        TrpMemoView* memo;
        ~Reset() {
            memo->FStopAtBottom = false;
            memo->DrawMode = TrpDrawMode::Normal;
        }
    } reset{this};
    if (DrawMode == TrpDrawMode::Normal) {
        context->RunScript(this, Script.get());
        SMemo->Assign(Memo.get());
        if (context->Report && context->Report->OnBeforePrint) {
            context->BeforePrint(SMemo.get(), this);
            if (SMemo->GetText() == Memo->GetText()) ExpandVariables();
        } else {
            ExpandVariables();
        }
    }
    if (!IsVisible()) return;
    ApplyHighlight();
    std::string savedTag = Tag;
    uint8_t savedAlign = BandAlign;
    struct Restore {
        TrpMemoView* memo;
        std::string tag;
        uint8_t align;
        ~Restore() {
            memo->RestoreHighlight();
            memo->Tag = tag;
            memo->BandAlign = align;
        }
    } restore{this, savedTag, savedAlign};

    std::vector<std::string> rest;
    if (DrawMode == TrpDrawMode::Continued) {
        // The lines that fit the height the band left for this part.
        int textHeight = 0;
        std::vector<std::string> lines = HasParagraphMarks(SMemo.get()) ? Lines(SMemo.get()) : WrapLines(textHeight);
        int room = dy - 2 * gapy;
        size_t fit = size_t(std::max(0, room / LineStep()));
        if (fit > lines.size()) fit = lines.size();
        rest.assign(lines.begin() + long(fit), lines.end());
        lines.resize(fit);
        if (!lines.empty() && lines.back().find(rpParagraphMark) == std::string::npos)
            lines.push_back(std::string(1, rpParagraphMark));
        SetLines(SMemo.get(), lines);
    }
    if (Tag.find('[') != std::string::npos) {
        TrpRestore<int32_t> noFormat(Format, 0);
        rpExpandExpressions(*context, this, Tag);
    }
    if (BandAlign == baBottom || BandAlign == baTop || BandAlign == baWidth)
        if (TrpPageEngineLink* engine = context->PageEngine()) engine->AlignToBand(this);
    if (!TextSuppressed()) {
        WriteByteToStream(stream, Typ);
        if (Typ == gtAddIn) SaveStringToStream(ClassName(), stream);
        TrpRestore<uint8_t> printed(StreamMode, smPrinted);
        SaveToStream(stream);
    }
    if (Flags & flSuppress) {
        FLastPrinted = SMemo->GetText();
        FHasLastPrinted = true;
    }
    if (DrawMode == TrpDrawMode::Continued) {
        PendingLines = rest;
        SetLines(SMemo.get(), rest);
    }
}

void TrpMemoView::AfterPreparedLoad() {
    if (!(Flags & flAutoWidth)) return;
    TrpContext* context = Context();
    if (!context) return;
    TrpRestore<bool> build(context->BuildMode, true);
    Draw(MeasuringCanvas());
}

// --------------------------------------------------------------- streams

void TrpMemoView::LoadFromStream(TStream* stream) {
    TrpView::LoadFromStream(stream);
    TrpContext* context = Context();
    const int version = context ? context->TemplateVersion : rpCurrentTemplateVersion;
    Font->SetName(rpReadTemplateString(stream, version));
    Font->SetSize(ReadIntegerFromStream(stream));
    Font->SetStyle(BitsToFontStyle(ReadWordFromStream(stream)));
    Font->SetColor(ReadIntegerFromStream(stream));
    Alignment = ReadIntegerFromStream(stream);
    uint16_t charset = ReadWordFromStream(stream);
    Font->SetCharset(TFontCharset(version < 23 ? rpGlobals().DefaultCharset : charset & 0xFF));
    if (StreamMode == smTemplate) {
        Highlight.FontStyle = ReadWordFromStream(stream);
        Highlight.FontColor = ReadIntegerFromStream(stream);
        Highlight.FillColor = ReadIntegerFromStream(stream);
        HighlightStr = rpReadTemplateString(stream, version);
    }
    if (version >= 24) {
        LineSpacing = ReadIntegerFromStream(stream);
        CharSpacing = ReadIntegerFromStream(stream);
    }
    if (version == 21) Flags |= flWordWrap;
}

void TrpMemoView::SaveToStream(TStream* stream) {
    TrpView::SaveToStream(stream);
    SaveStringToStream(Font->GetName(), stream);
    WriteIntegerToStream(stream, Font->GetSize());
    WriteWordToStream(stream, uint16_t(ScriptBits(Font.get())));
    WriteIntegerToStream(stream, Font->GetColor());
    WriteIntegerToStream(stream, Alignment);
    WriteWordToStream(stream, uint16_t(Font->GetCharset()));
    if (StreamMode == smTemplate) {
        WriteWordToStream(stream, Highlight.FontStyle);
        WriteIntegerToStream(stream, Highlight.FontColor);
        WriteIntegerToStream(stream, Highlight.FillColor);
        SaveStringToStream(HighlightStr, stream);
    }
    WriteIntegerToStream(stream, LineSpacing);
    WriteIntegerToStream(stream, CharSpacing);
}

// ------------------------------------------------------------ properties

namespace {

const TrpFlagName kMemoFlags[] = {
    {"WORDWRAP", flWordWrap}, {"WORDBREAK", flWordBreak}, {"AUTOWIDTH", flAutoWidth},   {"TEXTONLY", flTextOnly},
    {"SUPPRESS", flSuppress}, {"HIDEZEROS", flHideZeros}, {"UNDERLINES", flUnderlines}, {"RTLREADING", flRTLReading},
};

int IntOf(const Variant& v) { return v.IsNull() || v.IsEmpty() ? 0 : v.AsInteger(); }

}  // namespace

void TrpMemoView::SetPropertyValue(const std::string& propName, const Variant& value) {
    std::string p = UpperCase(propName);
    if (p == "ALIGNMENT") {
        Alignment = IntOf(value);
        return;
    }
    if (p == "LINESPACING") {
        LineSpacing = IntOf(value);
        return;
    }
    if (p == "CHARSPACING") {
        CharSpacing = IntOf(value);
        return;
    }
    if (rpSetNamedFlag(kMemoFlags, p, value, Flags)) return;
    TrpStretcheable::SetPropertyValue(propName, value);
}

Variant TrpMemoView::GetPropertyValue(const std::string& propName) {
    std::string p = UpperCase(propName);
    if (p == "ALIGNMENT") return Alignment;
    if (p == "LINESPACING") return LineSpacing;
    if (p == "CHARSPACING") return CharSpacing;
    if (p == "LINES.COUNT") return Memo->Count();
    Variant flag;
    if (rpGetNamedFlag(kMemoFlags, p, Flags, flag)) return flag;
    return TrpStretcheable::GetPropertyValue(propName);
}

void TrpMemoView::DeclareProperties() {
    TrpStretcheable::DeclareProperties();
    for (const char* name : {"Font.Name", "Font.Size", "Font.Style", "Font.Color", "Font", "Alignment", "DisplayFormat",
                             "Highlight", "LineSpacing", "CharSpacing", "WordWrap", "WordBreak", "AutoWidth",
                             "TextOnly", "Suppress", "HideZeros", "Lines.Count", "Underlines", "RTLReading"})
        if (!HasProperty(name)) AddProperty(name, rpdtNumber);
}
