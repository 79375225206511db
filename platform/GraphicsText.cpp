// Text on the canvas: output with alignment, background modes and rotation,
// measuring, metrics, and the formatted text call with its DT_ flags.

#include "GraphicsPrivate.h"

#include <QFontInfo>
#include <QGlyphRun>
#include <QTextLayout>

#include <algorithm>
#include <cmath>
#include <mutex>
#include <unordered_map>

using namespace gfx;

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), static_cast<qsizetype>(s.size())); }

// Widths as the text services give them: whole pixels, with the character
// extra spacing, and tabs at fixed stops when they are expanded.
struct Measure {
    const QFontMetricsF& fm;
    const AsciiFont& ascii;
    QString& lastText;
    double& lastAdvance;
    int extra = 0;
    bool expandTabs = false;
    int tabWidth = 8;

    double Advance(const QString& s) const {
        if (double w = ascii.Width(s); w >= 0) return w;
        if (lastAdvance < 0 || lastText != s) {
            lastAdvance = fm.horizontalAdvance(s);
            lastText = s;
        }
        return lastAdvance;
    }
    // Whether the width is known without shaping the text again.
    bool Measured(const QString& s) const { return (lastAdvance >= 0 && lastText == s) || ascii.Width(s) >= 0; }
    int Plain(const QString& s) const {
        return static_cast<int>(std::lround(Advance(s))) + extra * static_cast<int>(s.size());
    }
    int operator()(const QString& s) const {
        if (!expandTabs || !s.contains(QLatin1Char('\t'))) return Plain(s);
        int x = 0;
        qsizetype start = 0;
        for (qsizetype i = 0; i <= s.size(); ++i) {
            if (i < s.size() && s[i] != QLatin1Char('\t')) continue;
            x += Plain(s.mid(start, i - start));
            if (i < s.size()) x = (x / tabWidth + 1) * tabWidth;
            start = i + 1;
        }
        return x;
    }
};

// One line of formatted text: what is shown and which characters are underlined.
struct Line {
    QString text;
    std::vector<qsizetype> underline;
};

Line StripPrefixes(const QString& s, bool noPrefix) {
    Line l;
    if (noPrefix) {
        l.text = s;
        return l;
    }
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != QLatin1Char('&')) {
            l.text += s[i];
            continue;
        }
        if (i + 1 >= s.size()) break;  // a lone "&" at the end shows nothing
        if (s[i + 1] != QLatin1Char('&')) l.underline.push_back(l.text.size());
        l.text += s[i + 1];
        ++i;
    }
    return l;
}

Line Slice(const Line& l, qsizetype start, qsizetype len) {
    Line out;
    out.text = l.text.mid(start, len);
    for (qsizetype u : l.underline)
        if (u >= start && u < start + len) out.underline.push_back(u - start);
    return out;
}

// Breaks at blanks; a word wider than the line stands alone and is not cut.
void WrapInto(const Line& l, int maxWidth, const Measure& m, std::vector<Line>& out) {
    const QString& s = l.text;
    const qsizetype n = s.size();
    if (n == 0) {
        out.push_back(l);
        return;
    }
    qsizetype start = 0;
    while (start < n) {
        qsizetype end = -1, k = start;
        while (k < n) {
            qsizetype e = k;
            while (e < n && s[e] == QLatin1Char(' ')) ++e;
            while (e < n && s[e] != QLatin1Char(' ')) ++e;
            bool fits = m(s.mid(start, e - start)) <= maxWidth;
            if (!fits && end >= 0) break;
            end = e;
            k = e;
            if (!fits) break;
        }
        qsizetype len = end - start;
        while (len > 0 && s[start + len - 1] == QLatin1Char(' ')) --len;
        out.push_back(Slice(l, start, len));
        start = end;
        while (start < n && s[start] == QLatin1Char(' ')) ++start;
    }
}

void Ellipsize(Line& l, int maxWidth, const Measure& m) {
    if (m(l.text) <= maxWidth) return;
    const QString dots = QStringLiteral("...");
    qsizetype lo = 0, hi = l.text.size();  // the longest prefix that fits with the dots
    while (lo < hi) {
        qsizetype mid = (lo + hi + 1) / 2;
        if (m(l.text.left(mid) + dots) <= maxWidth)
            lo = mid;
        else
            hi = mid - 1;
    }
    l.text = l.text.left(lo) + dots;
    std::erase_if(l.underline, [lo](qsizetype u) { return u >= lo; });
}

// The glyphs of an ASCII text from the font's table, the first at a point on the baseline.
void AddGlyphs(const QString& s, const AsciiFont& ascii, QPointF at, QList<quint32>& glyphs,
               QList<QPointF>& positions) {
    for (QChar ch : s) {
        const size_t c = ch.unicode() - AsciiFont::First;
        glyphs.append(ascii.Glyph[c]);
        positions.append(at);
        at.rx() += ascii.Advance[c];
    }
}

QGlyphRun GlyphRun(const QRawFont& font, const QList<quint32>& glyphs, const QList<QPointF>& positions) {
    QGlyphRun run;
    run.setRawFont(font);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    return run;
}

// Paints a run at a baseline; tabs jump to stops when expanded; Dx gives
// per-character advances. With the font's glyphs (TCanvas::State::Glyphs) the
// run is drawn from the font's ASCII table, which spares the painter shaping it.
void PaintRun(QPainter* p, double x, double baseline, const QString& s, const Measure& m, const std::vector<int>* dx,
              const QRawFont* raw) {
    if (raw) {
        QList<quint32> glyphs;
        QList<QPointF> positions;
        AddGlyphs(s, m.ascii, QPointF(0, 0), glyphs, positions);
        p->drawGlyphRun(QPointF(x, baseline), GlyphRun(*raw, glyphs, positions));
        return;
    }
    if (dx || m.extra != 0) {
        double cx = x;
        size_t i = 0;
        for (qsizetype k = 0; k < s.size(); ++k) {
            qsizetype len = (s[k].isHighSurrogate() && k + 1 < s.size()) ? 2 : 1;
            QString ch = s.mid(k, len);
            p->drawText(QPointF(cx, baseline), ch);
            cx += (dx && i < dx->size()) ? (*dx)[i] : m.Plain(ch);
            ++i;
            k += len - 1;
        }
        return;
    }
    if (!m.expandTabs || !s.contains(QLatin1Char('\t'))) {
        p->drawText(QPointF(x, baseline), s);
        return;
    }
    int cx = 0;
    qsizetype start = 0;
    for (qsizetype i = 0; i <= s.size(); ++i) {
        if (i < s.size() && s[i] != QLatin1Char('\t')) continue;
        QString seg = s.mid(start, i - start);
        p->drawText(QPointF(x + cx, baseline), seg);
        cx += m.Plain(seg);
        if (i < s.size()) cx = (cx / m.tabWidth + 1) * m.tabWidth;
        start = i + 1;
    }
}

// Whether a text drawn at a baseline point lies wholly inside a rectangle:
// the ink of its glyphs, with a pixel to spare for smoothing, where the font's
// ASCII table has them, else its cell and the overhang of its end letters.
bool TextInside(const QFontMetricsF& fm, const AsciiFont& ascii, const QString& s, int x, int baseline, int width,
                const TTextMetric& tm, const TRect& r) {
    if (s.isEmpty() || s.front().isSurrogate() || s.back().isSurrogate()) return false;
    if (ascii.Exact && AsciiFont::Covers(s)) {
        QRectF ink;
        double cx = x;
        for (QChar ch : s) {
            const size_t c = ch.unicode() - AsciiFont::First;
            ink |= ascii.Ink[c].translated(cx, baseline);
            cx += ascii.Advance[c];
        }
        return ink.isEmpty() || (std::floor(ink.left()) - 1 >= r.Left && std::ceil(ink.right()) + 1 <= r.Right &&
                                 std::floor(ink.top()) - 1 >= r.Top && std::ceil(ink.bottom()) + 1 <= r.Bottom);
    }
    const double left = x + std::min(0.0, fm.leftBearing(s.front()));
    const double right = x + width - std::min(0.0, fm.rightBearing(s.back()));
    return left >= r.Left && right <= r.Right && baseline - tm.tmAscent >= r.Top && baseline + tm.tmDescent <= r.Bottom;
}

}  // namespace

namespace gfx {

std::shared_ptr<const AsciiFont> AsciiFontOf(const QFont& font, const QFontMetricsF& fm) {
    static std::mutex lock;
    // Kept to the end of the process, past the application's font caches, so
    // it holds no Qt font objects: keys are the fonts' descriptions.
    static auto& known = *new std::unordered_map<std::string, std::shared_ptr<const AsciiFont>>;
    const std::string key = font.key().toStdString() + '/' + std::to_string(font.pixelSize()) + '/' +
                            std::to_string(int(font.hintingPreference())) + (font.kerning() ? "/k" : "");
    std::lock_guard<std::mutex> guard(lock);
    if (auto it = known.find(key); it != known.end()) return it->second;

    auto table = std::make_shared<AsciiFont>();
    QString all;
    for (char16_t c = AsciiFont::First; c <= AsciiFont::Last; ++c) {
        table->Advance[c - AsciiFont::First] = fm.horizontalAdvance(QChar(c));
        table->Ink[c - AsciiFont::First] = fm.boundingRect(QChar(c));
        all += QChar(c);
    }
    const QList<quint32> glyphs = QRawFont::fromFont(font).glyphIndexesForString(all);
    bool exact = size_t(glyphs.size()) == AsciiFont::Count;
    for (size_t i = 0; exact && i < AsciiFont::Count; ++i) {
        table->Glyph[i] = glyphs[qsizetype(i)];
        exact = glyphs[qsizetype(i)] != 0;
    }
    // Every ordered pair, shaped within runs of one leading character, must
    // come out as the two glyphs at their summed advances: a font that joins,
    // substitutes or moves any of them is always shaped.
    QString run;
    for (char16_t a = AsciiFont::First; exact && a <= AsciiFont::Last; ++a) {
        run.clear();
        for (char16_t b = AsciiFont::First; b <= AsciiFont::Last; ++b) {
            run += QChar(a);
            run += QChar(b);
        }
        QTextLayout layout(run, font);
        QTextOption option;
        option.setWrapMode(QTextOption::NoWrap);
        layout.setTextOption(option);
        layout.beginLayout();
        layout.createLine();
        layout.endLayout();
        const QList<QGlyphRun> runs = layout.glyphRuns();
        exact = runs.size() == 1 && runs[0].glyphIndexes().size() == run.size();
        if (!exact) break;
        const QList<quint32> shaped = runs[0].glyphIndexes();
        const QList<QPointF> at = runs[0].positions();
        const double x0 = at[0].x();
        double x = 0;
        for (qsizetype k = 0; exact && k < run.size(); ++k) {
            const size_t c = run[k].unicode() - AsciiFont::First;
            exact = shaped[k] == table->Glyph[c] && at[k].x() - x0 == x && at[k].y() == at[0].y();
            x += table->Advance[c];
        }
    }
    table->Exact = exact;
    if (known.size() >= 512) known.clear();  // zooming makes a font of every size
    known.emplace(key, table);
    return table;
}

}  // namespace gfx

void TCanvas::State::SelectFace(const Source& source, const TFont& tfont) {
    measured.advance = -1;
    auto known = std::find_if(recent.begin(), recent.end(), [&](const Face& f) { return f.source == source; });
    if (known != recent.end()) {
        std::swap(face, *known);
        std::rotate(recent.begin(), known, known + 1);
        return;
    }
    // A font named otherwise that comes out the same keeps the measures found.
    QFont qfont = tfont.ToQFont();
    if (face.metrics && qfont == face.font && qfont.pixelSize() == face.font.pixelSize()) {
        face.source = source;
        return;
    }
    if (face.metrics) {
        recent.insert(recent.begin(), std::move(face));
        if (recent.size() > 4) recent.pop_back();
    }
    face = Face{source, qfont, QFontMetricsF(qfont), {}, nullptr, std::nullopt};
    const QFontMetricsF& fm = *face.metrics;
    face.ascii = AsciiFontOf(face.font, fm);
    TTextMetric& tm = face.tm;
    // Cell parts round up, as the platform's hinted metrics do.
    tm.tmAscent = static_cast<int>(std::ceil(fm.ascent() - 0.1));
    tm.tmDescent = static_cast<int>(std::ceil(fm.descent() - 0.1));
    tm.tmHeight = tm.tmAscent + tm.tmDescent;
    tm.tmInternalLeading = std::max(0, tm.tmHeight - face.font.pixelSize());
    tm.tmExternalLeading = std::max(0, static_cast<int>(std::lround(fm.leading())));
    // The width of "x", as the platform defines the average for outline fonts.
    tm.tmAveCharWidth = std::max(1, static_cast<int>(std::lround(fm.horizontalAdvance(QLatin1Char('x')))));
    tm.tmMaxCharWidth = static_cast<int>(std::ceil(fm.maxWidth()));
    tm.tmPitchAndFamily = QFontInfo(face.font).fixedPitch() ? 0 : TMPF_FIXED_PITCH;
}

void TCanvas::EnsureFont() {
    if (S->fontCached) return;
    S->fontCached = true;
    const State::Source source{FFont->GetName(), FFont->GetHeight(), FFont->GetStyle(), FFont->GetPitch()};
    if (!S->face.metrics || !(source == S->face.source)) S->SelectFace(source, *FFont);
    TTextMetric& tm = S->tm;
    tm = S->face.tm;
    tm.tmWeight = FFont->GetStyle().Contains(fsBold) ? 700 : 400;
    tm.tmItalic = FFont->GetStyle().Contains(fsItalic);
    tm.tmUnderlined = FFont->GetStyle().Contains(fsUnderline);
    tm.tmStruckOut = FFont->GetStyle().Contains(fsStrikeOut);
    if (FFont->IsTrueType()) tm.tmPitchAndFamily |= TMPF_VECTOR | TMPF_TRUETYPE;
    tm.tmCharSet = FFont->GetCharset();
}

void TCanvas::GetTextMetrics(TTextMetric& tm) {
    EnsureFont();
    tm = S->tm;
}

void TCanvas::SetTextJustification(int BreakExtra, int BreakCount) {
    FBreakExtra = BreakCount > 0 ? BreakExtra : 0;
    FBreakCount = std::max(0, BreakCount);
}

TSize TCanvas::TextExtent(const std::string& Text) {
    EnsureFont();
    Measure m{*S->face.metrics, *S->face.ascii, S->measured.text, S->measured.advance, FCharExtra};
    return TSize{m(S->Utf16(Text)), S->tm.tmHeight};
}

void TCanvas::State::DrawPendingText() {
    if (!pending) return;
    if (painter && painter->isActive()) {
        const QPen oldPen = painter->pen();
        painter->setPen(pending->color);
        painter->drawGlyphRun(QPointF(0, 0), GlyphRun(pending->font, pending->glyphs, pending->positions));
        painter->setPen(oldPen);
    }
    pending.reset();
}

const QRawFont* TCanvas::State::Glyphs(const QString& s, bool spaced) {
    if (spaced || s.isEmpty() || !face.ascii->Exact || !AsciiFont::Covers(s)) return nullptr;
    if (face.font.underline() || face.font.strikeOut() || face.font.overline()) return nullptr;
    if (!face.raw) face.raw = QRawFont::fromFont(face.font);
    return face.raw->isValid() ? &*face.raw : nullptr;
}

// Text output at a reference point by the text alignment, rotated by the
// font's escapement around that point.
void TCanvas::PaintText(QPainter* p, int X, int Y, unsigned Options, const TRect* Rect, const std::string& Text,
                        const std::vector<int>* Dx) {
    EnsureFont();
    RealizeFont();
    const TTextMetric& tm = S->tm;
    Measure m{*S->face.metrics, *S->face.ascii, S->measured.text, S->measured.advance, FCharExtra};
    const QString s = S->Utf16(Text);
    // Justification becomes per-character advances with the blanks widened.
    std::vector<int> justified;
    if (!Dx && FBreakExtra != 0 && FBreakCount > 0 && s.contains(QLatin1Char(' '))) {
        int blank = 0;
        for (qsizetype k = 0; k < s.size(); ++k) {
            qsizetype len = (s[k].isHighSurrogate() && k + 1 < s.size()) ? 2 : 1;
            int adv = m.Plain(s.mid(k, len));
            if (s[k] == QLatin1Char(' ') && blank < FBreakCount) {
                adv += FBreakExtra / FBreakCount + (blank < FBreakExtra % FBreakCount ? 1 : 0);
                ++blank;
            }
            justified.push_back(adv);
            k += len - 1;
        }
        Dx = &justified;
    }
    // Measuring shapes the text once more: only when the alignment or an
    // opaque background needs the width, or when it was just measured and may
    // spare the clip.
    int width = 0;
    const bool clipped = Rect && (Options & ETO_CLIPPED);
    if (Dx) {
        for (int d : *Dx) width += d;
    } else if ((FTextAlign & TA_RIGHT) || (FBkMode == OPAQUE && !s.isEmpty()) ||
               (clipped && !m.expandTabs && m.Measured(s))) {
        width = m(s);
    }

    int dx = 0;
    if ((FTextAlign & TA_CENTER) == TA_CENTER)
        dx = -width / 2;
    else if (FTextAlign & TA_RIGHT)
        dx = -width;
    int baseline;
    if ((FTextAlign & TA_BASELINE) == TA_BASELINE)
        baseline = 0;
    else if (FTextAlign & TA_BOTTOM)
        baseline = -tm.tmDescent;
    else
        baseline = tm.tmAscent;
    const int esc = FFont->GetOrientation() % 3600;

    // Plain text on the page: drawn at its point without saving the painter,
    // moving it or clipping, each of which a vector device writes out anew.
    // The clip is left off only where the text's cell and the ink that
    // overhangs its first and last letters lie inside the rectangle.
    const bool plain = esc == 0 && FBkMode != OPAQUE && !(Rect && (Options & ETO_OPAQUE) && !Rect->IsEmpty()) &&
                       p->compositionMode() == QPainter::CompositionMode_SourceOver;
    const QRawFont* raw = S->Glyphs(s, Dx || FCharExtra != 0);
    if (plain && (!clipped || (width > 0 && TextInside(*S->face.metrics, *S->face.ascii, s, X + dx, Y + baseline, width,
                                                       tm, *Rect)))) {
        const QColor color = ColorToQColor(FTextColor);
        if (raw && S->printer) {
            if (S->pending && (S->pending->font != *raw || S->pending->color != color)) S->DrawPendingText();
            if (!S->pending) S->pending = State::PendingText{*raw, color, {}, {}};
            AddGlyphs(s, *S->face.ascii, QPointF(X + dx, Y + baseline), S->pending->glyphs, S->pending->positions);
            return;
        }
        S->DrawPendingText();
        const QPen oldPen = p->pen();
        const QPen pen(color);
        p->setPen(pen);
        if (raw) {
            // Glyphs carry their font: the painter's stays as it is.
            PaintRun(p, X + dx, Y + baseline, s, m, Dx, raw);
        } else {
            const QFont oldFont = p->font();
            p->setFont(S->face.font);
            PaintRun(p, X + dx, Y + baseline, s, m, Dx, nullptr);
            p->setFont(oldFont);
        }
        if (oldPen != pen) p->setPen(oldPen);
        return;
    }

    S->DrawPendingText();
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (Rect && (Options & ETO_OPAQUE) && !Rect->IsEmpty()) p->fillRect(ToQRect(*Rect), ColorToQColor(FBkColor));
    if (Rect && (Options & ETO_CLIPPED)) p->setClipRect(ToQRect(*Rect), Qt::IntersectClip);

    p->translate(X, Y);
    if (esc != 0) p->rotate(-esc / 10.0);
    if (FBkMode == OPAQUE && !s.isEmpty())
        p->fillRect(QRect(dx, baseline - tm.tmAscent, width, tm.tmHeight), ColorToQColor(FBkColor));
    p->setFont(S->face.font);
    p->setPen(ColorToQColor(FTextColor));
    PaintRun(p, dx, baseline, s, m, Dx, raw);
    p->restore();
}

void TCanvas::TextOut(int X, int Y, const std::string& Text) {
    RealizeBrush();
    bool updateCP = FTextAlign & TA_UPDATECP;
    if (updateCP) {
        X = FPenPos.X;
        Y = FPenPos.Y;
    }
    if (QPainter* p = ReadyKeepingText()) {
        Changing();
        PaintText(p, X, Y, TextFlags & ~unsigned(ETO_CLIPPED | ETO_OPAQUE), nullptr, Text, nullptr);
        Changed();
    }
    FPenPos = {X + TextWidth(Text), Y};
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const std::string& Text) {
    RealizeBrush();
    unsigned options = ETO_CLIPPED | TextFlags;
    if (FBrush->GetStyle() != bsClear) options |= ETO_OPAQUE;
    if (QPainter* p = ReadyKeepingText()) {
        Changing();
        PaintText(p, X, Y, options, &Rect, Text, nullptr);
        Changed();
    }
}

void TCanvas::ExtTextOut(int X, int Y, unsigned Options, const TRect* Rect, const std::string& Text,
                         const std::vector<int>* Dx) {
    if (QPainter* p = ReadyKeepingText()) {
        Changing();
        PaintText(p, X, Y, Options, Rect, Text, Dx);
        Changed();
    }
}

int TCanvas::DrawText(const std::string& Text, TRect& Rect, unsigned Format, std::string* Modified) {
    EnsureFont();
    RealizeFont();
    const TTextMetric& tm = S->tm;
    Measure m{*S->face.metrics,     *S->face.ascii, S->measured.text,
              S->measured.advance,  FCharExtra,     (Format & DT_EXPANDTABS) != 0,
              8 * tm.tmAveCharWidth};
    const bool single = Format & DT_SINGLELINE;
    const int maxWidth = Rect.Width();

    // Lines: hard breaks (unless single line), prefixes, word breaks, ellipses.
    std::vector<Line> lines;
    const QString all = Q(Text);
    if (!all.isEmpty()) {
        std::vector<QString> hard;
        if (single) {
            QString t = all;
            t.remove(QLatin1Char('\r'));
            t.remove(QLatin1Char('\n'));
            hard.push_back(t);
        } else {
            QString cur;
            for (qsizetype i = 0; i < all.size(); ++i) {
                if (all[i] == QLatin1Char('\r') || all[i] == QLatin1Char('\n')) {
                    if (all[i] == QLatin1Char('\r') && i + 1 < all.size() && all[i + 1] == QLatin1Char('\n')) ++i;
                    hard.push_back(cur);
                    cur.clear();
                } else {
                    cur += all[i];
                }
            }
            hard.push_back(cur);
        }
        for (const QString& h : hard) {
            Line l = StripPrefixes(h, Format & DT_NOPREFIX);
            if ((Format & DT_WORDBREAK) && !single)
                WrapInto(l, maxWidth, m, lines);
            else
                lines.push_back(l);
        }
        if (Format & (DT_END_ELLIPSIS | DT_WORD_ELLIPSIS | DT_PATH_ELLIPSIS))
            for (Line& l : lines) Ellipsize(l, maxWidth, m);
    }
    if (Modified && (Format & DT_MODIFYSTRING)) {
        QString joined;
        for (size_t i = 0; i < lines.size(); ++i) joined += (i ? QStringLiteral("\r\n") : QString()) + lines[i].text;
        *Modified = joined.toStdString();
    }

    const int lineHeight = tm.tmHeight + ((Format & DT_EXTERNALLEADING) ? tm.tmExternalLeading : 0);
    const int total = lineHeight * static_cast<int>(lines.size());
    std::vector<int> widths;
    int widest = 0;
    for (const Line& l : lines) {
        widths.push_back(m(l.text));
        widest = std::max(widest, widths.back());
    }

    if (Format & DT_CALCRECT) {
        Rect.Right = Rect.Left + widest;
        Rect.Bottom = Rect.Top + total;
        return total;
    }

    int y = Rect.Top;
    if (single) {
        if (Format & DT_VCENTER)
            y = Rect.Top + (Rect.Height() - total) / 2;
        else if (Format & DT_BOTTOM)
            y = Rect.Bottom - total;
    }
    const int result = single && (Format & (DT_VCENTER | DT_BOTTOM)) ? y - Rect.Top + total : total;
    QPainter* p = Ready();
    if (!p || lines.empty()) return result;

    Changing();
    p->save();
    p->setCompositionMode(QPainter::CompositionMode_SourceOver);
    if (!(Format & DT_NOCLIP)) p->setClipRect(ToQRect(Rect), Qt::IntersectClip);
    p->setFont(S->face.font);
    const QColor textColor = ColorToQColor(FTextColor);
    const double ulPos = std::max(1.0, std::round(S->face.metrics->underlinePos()));
    const int ulWidth = std::max(1, static_cast<int>(std::lround(S->face.metrics->lineWidth())));
    const int esc = FFont->GetOrientation() % 3600;
    for (size_t i = 0; i < lines.size(); ++i, y += lineHeight) {
        const Line& l = lines[i];
        int x = Rect.Left;
        if (Format & DT_CENTER)
            x = Rect.Left + (maxWidth - widths[i]) / 2;
        else if (Format & DT_RIGHT)
            x = Rect.Right - widths[i];
        p->save();
        p->translate(x, y);
        if (esc != 0) p->rotate(-esc / 10.0);
        if (FBkMode == OPAQUE && !l.text.isEmpty())
            p->fillRect(QRect(0, 0, widths[i], tm.tmHeight), ColorToQColor(FBkColor));
        p->setPen(textColor);
        PaintRun(p, 0, tm.tmAscent, l.text, m, nullptr, S->Glyphs(l.text, FCharExtra != 0));
        for (qsizetype u : l.underline) {
            int x0 = m(l.text.left(u)), x1 = m(l.text.left(u + 1));
            p->fillRect(QRect(x0, tm.tmAscent + static_cast<int>(ulPos), x1 - x0, ulWidth), textColor);
        }
        p->restore();
    }
    p->restore();
    Changed();
    return result;
}
