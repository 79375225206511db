// Text on the canvas checked on bitmaps: DrawText layout flags, alignment,
// background modes, rotation and metrics.

#include "CanvasSurface.h"
#include "Graphics.h"
#include "GraphicsPrivate.h"
#include "GuiTestApp.h"

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QPdfWriter>
#include <QPrinter>

#include <gtest/gtest.h>
#include <algorithm>
#include <climits>
#include <cmath>
#include <cstdio>
#include <string>

#include <unistd.h>

namespace {

// Black 16-pixel Arial on the surface.
struct TextSurface : CanvasSurface {
    TextSurface(int w, int h, TColor bg = clWhite) : CanvasSurface(w, h, bg) {
        c->GetFont()->SetName("Arial");
        c->GetFont()->SetHeight(-16);
        c->GetFont()->SetColor(clBlack);
    }
};

}  // namespace

TEST(GraphicsText, MetricsAddUpAndPositiveHeightMeansCellHeight) {
    TextSurface s(10, 10);
    TTextMetric tm;
    s.c->GetTextMetrics(tm);
    EXPECT_EQ(tm.tmHeight, tm.tmAscent + tm.tmDescent);
    EXPECT_EQ(tm.tmInternalLeading, tm.tmHeight - 16);
    EXPECT_GT(tm.tmAscent, 12);
    EXPECT_EQ(s.c->TextHeight("Wy"), tm.tmHeight);
    EXPECT_TRUE(tm.tmPitchAndFamily & TMPF_TRUETYPE);

    const int cell = tm.tmHeight;
    s.c->GetFont()->SetHeight(cell);
    TTextMetric cellTm;
    s.c->GetTextMetrics(cellTm);
    EXPECT_NEAR(cellTm.tmHeight, cell, 1);

    s.c->GetFont()->SetName("MS Sans Serif");
    s.c->GetTextMetrics(tm);
    EXPECT_FALSE(tm.tmPitchAndFamily & TMPF_TRUETYPE);  // the old raster face
}

TEST(GraphicsText, DrawTextAlignsWithinTheRectangle) {
    struct Row {
        unsigned flags;
    } rows[] = {
        {DT_LEFT | DT_TOP},
        {DT_CENTER | DT_VCENTER},
        {DT_RIGHT | DT_BOTTOM},
    };
    for (const Row& row : rows) {
        TextSurface s(200, 60);
        const TRect box = Rect(10, 5, 190, 55);
        const int w = s.c->TextWidth("HIH");
        TRect r = box;
        s.c->SetBkMode(TRANSPARENT);
        s.c->DrawText("HIH", r, row.flags | DT_SINGLELINE);
        TRect ink = s.Ink();
        SCOPED_TRACE(row.flags);
        if (row.flags & DT_CENTER)
            EXPECT_NEAR((ink.Left + ink.Right) / 2.0, 100, 2);
        else if (row.flags & DT_RIGHT)
            EXPECT_NEAR(ink.Right, 190, 2);
        else
            EXPECT_NEAR(ink.Left, 10, 2);
        EXPECT_NEAR(ink.Width(), w, 3);
        TTextMetric tm;
        s.c->GetTextMetrics(tm);
        if (row.flags & DT_VCENTER)
            EXPECT_NEAR(ink.Top, 5 + (50 - tm.tmHeight) / 2 + tm.tmInternalLeading, 3);
        else if (row.flags & DT_BOTTOM)
            EXPECT_NEAR(ink.Bottom, 55 - tm.tmDescent, 2);
        else
            EXPECT_NEAR(ink.Top, 5 + tm.tmInternalLeading, 3);
    }
}

TEST(GraphicsText, CalcRectMeasuresLinesAndPrefixes) {
    TextSurface s(10, 10);
    const int h = s.c->TextHeight("X");
    struct Row {
        const char* text;
        unsigned flags;
        const char* shown;
        int lines;
    } rows[] = {
        {"Hello", DT_SINGLELINE, "Hello", 1},
        {"one\r\ntwo\nthree", 0, "three", 3},
        {"&File", DT_SINGLELINE, "File", 1},
        {"A&&B", DT_SINGLELINE, "A&B", 1},
        {"&File", DT_SINGLELINE | DT_NOPREFIX, "&File", 1},
        {"", DT_SINGLELINE, "", 0},
    };
    for (const Row& row : rows) {
        TRect r = Rect(3, 4, 500, 500);
        int height = s.c->DrawText(row.text, r, row.flags | DT_CALCRECT);
        EXPECT_EQ(r.Left, 3) << row.text;
        EXPECT_EQ(r.Width(), s.c->TextWidth(row.shown)) << row.text;
        EXPECT_EQ(r.Height(), row.lines * h) << row.text;
        EXPECT_EQ(height, row.lines * h) << row.text;
    }
}

TEST(GraphicsText, WordBreakWrapsAtBlanksWithinTheWidth) {
    TextSurface s(300, 120);
    const int width = std::max(s.c->TextWidth("one two"), s.c->TextWidth("three four"));
    TRect r = Rect(0, 0, width, 0);
    s.c->DrawText("one two three four", r, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(r.Height(), 2 * s.c->TextHeight("X"));
    EXPECT_LE(r.Width(), width);

    // A word wider than the line stands on a line of its own, uncut.
    TRect n = Rect(0, 0, s.c->TextWidth("a"), 0);
    s.c->DrawText("a extraordinary b", n, DT_WORDBREAK | DT_CALCRECT);
    EXPECT_EQ(n.Height(), 3 * s.c->TextHeight("X"));
    EXPECT_EQ(n.Width(), s.c->TextWidth("extraordinary"));

    // Drawn, the second line starts at the left edge below the first.
    TRect d = Rect(10, 10, 10 + width, 110);
    s.c->SetBkMode(TRANSPARENT);
    s.c->DrawText("one two three four", d, DT_WORDBREAK);
    TRect ink = s.Ink();
    EXPECT_LE(ink.Right, 10 + width + 1);
    EXPECT_GT(ink.Height(), s.c->TextHeight("X"));
}

TEST(GraphicsText, EndEllipsisShortensTextThatDoesNotFit) {
    TextSurface s(10, 10);
    const std::string text = "Amortization schedule";
    const int width = s.c->TextWidth("Amortiz...");
    TRect r = Rect(0, 0, width, 20);
    std::string shown;
    s.c->DrawText(text, r, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, &shown);
    EXPECT_EQ(shown.substr(shown.size() - 3), "...");
    EXPECT_LE(s.c->TextWidth(shown), width);
    EXPECT_EQ(shown.substr(0, shown.size() - 3), text.substr(0, shown.size() - 3));

    TRect wide = Rect(0, 0, 1000, 20);
    s.c->DrawText(text, wide, DT_SINGLELINE | DT_END_ELLIPSIS | DT_MODIFYSTRING, &shown);
    EXPECT_EQ(shown, text);
}

TEST(GraphicsText, PrefixUnderlinesTheNextCharacter) {
    TextSurface plain(60, 40), prefixed(60, 40);
    TRect r1 = Rect(5, 5, 60, 40), r2 = r1;
    plain.c->SetBkMode(TRANSPARENT);
    prefixed.c->SetBkMode(TRANSPARENT);
    plain.c->DrawText("W", r1, DT_SINGLELINE | DT_NOPREFIX);
    prefixed.c->DrawText("&W", r2, DT_SINGLELINE);
    TRect a = plain.Ink(), b = prefixed.Ink();
    EXPECT_EQ(b.Top, a.Top);
    EXPECT_GT(b.Bottom, a.Bottom);  // the underline lies below the baseline
    EXPECT_NEAR(b.Left, a.Left, 1);
}

TEST(GraphicsText, OpaqueModeFillsBehindTextTransparentDoesNot) {
    TextSurface opaque(120, 40, clYellow), clear(120, 40, clYellow), explicitMode(120, 40, clYellow);
    for (TextSurface* s : {&opaque, &clear, &explicitMode}) s->c->GetBrush()->SetColor(clAqua);
    clear.c->GetBrush()->SetStyle(bsClear);
    opaque.c->TextOut(10, 10, "Hi");
    clear.c->TextOut(10, 10, "Hi");
    explicitMode.c->FillRect(Rect(0, 0, 0, 0));  // the brush is selected: opaque mode
    explicitMode.c->SetBkMode(TRANSPARENT);
    explicitMode.c->TextOut(10, 10, "Hi");

    const TSize ext = opaque.c->TextExtent("Hi");
    EXPECT_EQ(opaque.c->GetPixel(10, 10), clAqua);  // top-left of the text cell
    EXPECT_EQ(opaque.Ink(clYellow), Bounds(10, 10, ext.cx, ext.cy));
    EXPECT_EQ(clear.Count(clAqua), 0);
    EXPECT_EQ(explicitMode.Count(clAqua), 0);
    EXPECT_GT(clear.Count(clBlack), 0);
    EXPECT_EQ(opaque.c->GetPenPos(), Point(10 + ext.cx, 10));
}

TEST(GraphicsText, TextAlignPlacesTheReferencePoint) {
    TextSurface s(200, 60);
    s.c->GetBrush()->SetStyle(bsClear);
    s.c->SetTextAlign(TA_RIGHT | TA_BASELINE);
    s.c->TextOut(150, 40, "HELLO");
    TRect ink = s.Ink();
    EXPECT_NEAR(ink.Right, 150, 2);
    EXPECT_EQ(ink.Bottom, 40);  // capitals sit on the baseline
    EXPECT_NEAR(ink.Width(), s.c->TextWidth("HELLO"), 3);
}

TEST(GraphicsText, RotatedTextRunsUpFromItsStartPoint) {
    TextSurface s(60, 200);
    s.c->GetBrush()->SetStyle(bsClear);
    s.c->GetFont()->SetOrientation(900);
    const TSize ext = s.c->TextExtent("Loan Spread");
    s.c->TextOut(20, 180, "Loan Spread");
    TRect ink = s.Ink();
    // 90 degrees counter-clockwise: the text's top faces left, so it lies
    // between x = 20 and x = 20 + cell height, above y = 180.
    EXPECT_GE(ink.Left, 20);
    EXPECT_LE(ink.Right, 20 + ext.cy);
    EXPECT_LE(ink.Bottom, 181);
    EXPECT_NEAR(ink.Height(), ext.cx, 3);
    EXPECT_LT(ink.Width(), ext.cy);
}

TEST(GraphicsText, ExtTextOutClipsAndFillsItsRectangle) {
    TextSurface s(200, 40);
    s.c->SetBkColor(clLime);
    s.c->SetBkMode(TRANSPARENT);
    TRect box = Rect(10, 5, 30, 30);
    s.c->ExtTextOut(12, 8, ETO_CLIPPED | ETO_OPAQUE, &box, "A long line of text");
    EXPECT_EQ(s.Ink(), box);
    EXPECT_EQ(s.c->GetPixel(10, 5), clLime);
}

TEST(GraphicsText, JustificationWidensTheBlanksOfTheNextOutputs) {
    TextSurface plain(200, 40), spread(200, 40);
    for (TextSurface* s : {&plain, &spread}) s->c->GetBrush()->SetStyle(bsClear);
    spread.c->SetTextJustification(21, 2);
    plain.c->TextOut(5, 5, "I I I");
    spread.c->TextOut(5, 5, "I I I");
    EXPECT_EQ(spread.Ink().Width(), plain.Ink().Width() + 21);
    EXPECT_EQ(spread.Ink().Left, plain.Ink().Left);
}

TEST(GraphicsText, AttachingAPainterStartsFromFreshDeviceSettings) {
    EnsureGuiApp();
    TCanvas c;
    c.SetTextAlign(TA_RIGHT);
    c.SetBkMode(TRANSPARENT);
    QImage img(10, 10, QImage::Format_RGB32);
    QPainter p(&img);
    c.SetPainter(&p);
    EXPECT_EQ(c.GetTextAlign(), unsigned(TA_LEFT | TA_TOP));
    EXPECT_EQ(c.GetBkMode(), OPAQUE);
    c.SetPainter(nullptr);
}

// A text measured just before it is drawn takes the quick way to the device;
// it must land on the same pixels as one drawn cold, clip included.
TEST(GraphicsText, MeasuredTextDrawsAsUnmeasuredAndKeepsToItsClip) {
    struct Row {
        const char* text;
        bool italic;
        TRect box;
    } rows[] = {
        {"1,234.56", false, Rect(5, 5, 195, 35)},            // room to spare
        {"A long line of text", false, Rect(5, 5, 40, 35)},  // cut on the right
        {"Wolf", false, Rect(5, 12, 195, 20)},               // cut above and below
        {"staff", true, Rect(5, 5, 0, 35)},                  // the italic f's overhang at the edge
    };
    for (const Row& row : rows) {
        TextSurface measured(200, 40), cold(200, 40);
        TRect box = row.box;
        for (TextSurface* s : {&measured, &cold}) {
            s->c->SetBkMode(TRANSPARENT);
            if (row.italic) s->c->GetFont()->SetStyle(TFontStyles{fsItalic});
        }
        if (box.Right == 0) box.Right = box.Left + 3 + measured.c->TextWidth(row.text);
        const int width = measured.c->TextWidth(row.text);
        measured.c->ExtTextOut(box.Left + 3, box.Top + 2, ETO_CLIPPED, &box, row.text);
        cold.c->ExtTextOut(box.Left + 3, box.Top + 2, ETO_CLIPPED, &box, row.text);
        SCOPED_TRACE(row.text);
        EXPECT_GT(width, 0);
        EXPECT_GT(measured.Count(clBlack), 0);
        int differing = 0;
        for (int y = 0; y < 40; ++y)
            for (int x = 0; x < 200; ++x) differing += measured.At(x, y) != cold.At(x, y);
        EXPECT_EQ(differing, 0);
        const TRect ink = measured.Ink();
        EXPECT_GE(ink.Left, box.Left);
        EXPECT_LE(ink.Right, box.Right);
        EXPECT_GE(ink.Top, box.Top);
        EXPECT_LE(ink.Bottom, box.Bottom);
    }
}

TEST(GraphicsText, TextOutputLeavesAnOutsidePaintersPenAndFont) {
    EnsureGuiApp();
    QImage img(100, 30, QImage::Format_RGB32);
    QPainter p(&img);
    const QPen pen(Qt::red, 3);
    const QFont font("Courier", 7);
    p.setPen(pen);
    p.setFont(font);
    // The painter resolves the font against the application's, which an earlier test may have set.
    const QFont held = p.font();
    TCanvas c(&p);
    c.GetFont()->SetName("Arial");
    c.SetBkMode(TRANSPARENT);
    const TRect box = Rect(0, 0, 100, 30);
    c.TextOut(2, 2, "Pen");
    c.TextWidth("Font");
    c.ExtTextOut(40, 2, ETO_CLIPPED, &box, "Font");
    EXPECT_EQ(p.pen(), pen);
    EXPECT_EQ(p.font(), held);
    c.SetPainter(nullptr);
}

namespace {

// The words of a PDF file with their boxes, as pdftotext reads them.
std::string PdfWords(const QString& file) {
    std::string out;
    if (FILE* f = popen(("timeout 30 pdftotext -bbox '" + file.toStdString() + "' -").c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, f)) > 0) out.append(buf, n);
        pclose(f);
    }
    std::string words;  // the word lines only: the header carries the time of writing
    for (size_t at = out.find("<word"); at != std::string::npos; at = out.find("<word", at + 1))
        words += out.substr(at, out.find('\n', at) - at) + "\n";
    return words;
}

// The first page of a PDF file as pixels.
QImage PdfPage(const QString& file) {
    const QString image = file + ".page";
    if (std::system(("timeout 30 pdftoppm -r 100 -f 1 -l 1 -singlefile '" + file + "' '" + image + "'").toLocal8Bit()))
        return QImage();
    return QImage(image + ".ppm");
}

QImage WhiteImage(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

void SetBlackFont(TFont& font, const char* face, int height, TFontStyles style = {}) {
    font.SetName(face);
    font.SetHeight(height);
    font.SetStyle(style);
    font.SetColor(clBlack);
}

}  // namespace

// Plain ASCII in a font that lays it out as its characters side by side is
// measured and drawn from the font's table of advances and glyphs; width,
// pixels and the glyphs' places in a PDF must be those that shaping gives.
TEST(GraphicsText, TextFromTheFontTableMatchesShapedText) {
    EnsureGuiApp();
    struct Row {
        const char* face;
        int height;
        TFontStyles style;
        const char* text;
        int orientation = 0;
    } rows[] = {
        {"Arial", -13, {}, "100,000.00"},
        {"Arial", -16, {fsBold}, "Amortization Schedule"},
        {"Arial", -83, {}, "AVATAR Wolf, 8.75% (y/n)?"},
        {"Arial", -11, {fsItalic}, "staff effort"},
        {"Arial", -13, {fsUnderline}, "Underlined total"},
        {"Arial", -13, {}, "Z\xC3\xBCrich 1\xC2\xBD"},  // not ASCII: shaped
        {"Arial", -13, {}, "Upwards", 900},
        {"Times New Roman", -20, {}, "Tiffany's fjord"},
        {"Courier New", -14, {}, "~!@#$%^&*()_+{}|:\"<>"},
    };
    const QString dir = QDir::tempPath() + "/varnholt-text-" + QString::number(getpid());
    QDir().mkpath(dir);
    for (const Row& row : rows) {
        SCOPED_TRACE(std::string(row.face) + " " + row.text);
        TFont font;
        SetBlackFont(font, row.face, row.height, row.style);
        font.SetOrientation(row.orientation);
        const QFont q = font.ToQFont();
        const QString text = QString::fromUtf8(row.text);

        QImage fromCanvas = WhiteImage(500, 120), fromQt = WhiteImage(500, 120);
        TTextMetric tm;
        {
            QPainter p(&fromCanvas);
            TCanvas c(&p);
            c.GetFont()->Assign(&font);
            c.SetBkMode(TRANSPARENT);
            EXPECT_EQ(c.TextWidth(row.text), std::lround(QFontMetricsF(q).horizontalAdvance(text)));
            c.GetTextMetrics(tm);
            c.TextOut(5, 110, row.text);
            c.SetPainter(nullptr);
        }
        {
            QPainter p(&fromQt);
            p.setFont(q);
            p.setPen(Qt::black);
            p.translate(5, 110);
            p.rotate(-row.orientation / 10.0);
            p.drawText(QPointF(0, tm.tmAscent), text);
        }
        EXPECT_TRUE(fromCanvas == fromQt);

        const QString canvasPdf = dir + "/canvas.pdf", qtPdf = dir + "/qt.pdf";
        for (const QString& file : {canvasPdf, qtPdf}) {
            QPdfWriter writer(file);
            writer.setResolution(600);
            QPainter p(&writer);
            if (file == canvasPdf) {
                TCanvas c(&p);
                c.GetFont()->Assign(&font);
                c.SetBkMode(TRANSPARENT);
                c.TextOut(50, 1100, row.text);
                c.SetPainter(nullptr);
            } else {
                p.setFont(q);
                p.setPen(Qt::black);
                p.translate(50, 1100);
                p.rotate(-row.orientation / 10.0);
                p.drawText(QPointF(0, tm.tmAscent), text);
            }
        }
        const std::string words = PdfWords(canvasPdf);
        EXPECT_NE(words.find("<word"), std::string::npos);
        EXPECT_EQ(words, PdfWords(qtPdf));
    }
    QDir(dir).removeRecursively();
}

// A font whose shaping moves or joins characters is never summed from its table.
TEST(GraphicsText, AFontThatKernsIsShapedNotSummed) {
    EnsureGuiApp();
    TFont font;
    font.SetName("Arial");
    font.SetHeight(-40);
    QFont plain = font.ToQFont(), kerned = plain;
    kerned.setKerning(true);
    const QFontMetricsF kernedMetrics(kerned);
    ASSERT_LT(kernedMetrics.horizontalAdvance("AV"),
              kernedMetrics.horizontalAdvance(QChar('A')) + kernedMetrics.horizontalAdvance(QChar('V')));
    EXPECT_FALSE(gfx::AsciiFontOf(kerned, kernedMetrics)->Exact);
    EXPECT_TRUE(gfx::AsciiFontOf(plain, QFontMetricsF(plain))->Exact);
}

// Clipped output is drawn without a clip only where the ink of its glyphs lies
// inside the rectangle: rectangles around the ink and just inside it give the
// pixels that clipping gives.
TEST(GraphicsText, ClippedTextShowsWhatTheClipShowsWhereverTheEdgeFalls) {
    EnsureGuiApp();
    for (const char* text : {"100000", "8,750.25", "Wolf y", "|"}) {
        TFont font;
        SetBlackFont(font, "Arial", -40);
        const QFont q = font.ToQFont();
        const QString s = QString::fromUtf8(text);
        QImage whole = WhiteImage(300, 100);  // the text unclipped, for its ink
        TTextMetric tm;
        {
            QPainter p(&whole);
            TCanvas c(&p);
            c.GetFont()->Assign(&font);
            c.GetTextMetrics(tm);
            c.SetPainter(nullptr);
            p.setFont(q);
            p.setPen(Qt::black);
            p.drawText(QPointF(20, 20 + tm.tmAscent), s);
        }
        QRect ink;
        for (int y = 0; y < whole.height(); ++y)
            for (int x = 0; x < whole.width(); ++x)
                if (whole.pixel(x, y) != qRgb(255, 255, 255)) ink |= QRect(x, y, 1, 1);
        ASSERT_FALSE(ink.isEmpty()) << text;
        // One edge at a time near the ink, the others well clear of it.
        for (int edge = 0; edge < 4; ++edge)
            for (int spare : {-1, 0, 1, 2}) {
                const int near[4] = {edge == 0 ? spare : 10, edge == 1 ? spare : 10, edge == 2 ? spare : 10,
                                     edge == 3 ? spare : 10};
                const QRect box = ink.adjusted(-near[0], -near[1], near[2], near[3]);
                QImage fromCanvas = WhiteImage(300, 100), fromQt = WhiteImage(300, 100);
                {
                    QPainter p(&fromCanvas);
                    TCanvas c(&p);
                    c.GetFont()->Assign(&font);
                    c.SetBkMode(TRANSPARENT);
                    const TRect r = Rect(box.left(), box.top(), box.right() + 1, box.bottom() + 1);
                    c.ExtTextOut(20, 20, ETO_CLIPPED, &r, text);
                    c.SetPainter(nullptr);
                }
                {
                    QPainter p(&fromQt);
                    p.setClipRect(box);
                    p.setFont(q);
                    p.setPen(Qt::black);
                    p.drawText(QPointF(20, 20 + tm.tmAscent), s);
                }
                EXPECT_TRUE(fromCanvas == fromQt)
                    << text << ": edge " << edge << " " << spare << " pixels from its ink";
            }
    }
}

// On a printer, plain texts in one font and colour are gathered and drawn
// together: whatever else is drawn meanwhile, and texts in other fonts and
// colours, keep their order, and the page shows what drawing each in turn shows.
TEST(GraphicsText, TextGatheredForAPrinterKeepsItsOrderAmongOtherDrawing) {
    EnsureGuiApp();
    const QString dir = QDir::tempPath() + "/varnholt-gathered-" + QString::number(getpid());
    QDir().mkpath(dir);
    struct Text {
        int x, y;
        TColor color;
        TFontStyles style;
        const char* text;
    } texts[] = {
        {300, 300, clBlack, {}, "Covered 1,234.56"}, {300, 420, clBlack, {}, "Half covered"},
        {1200, 380, clRed, {}, "Red over grey"},     {300, 800, clRed, {fsBold}, "Bold red"},
        {300, 920, clBlack, {fsBold}, "Bold black"}, {300, 1040, clBlack, {}, "Last, left pending"},
    };
    const TRect grey = Rect(250, 250, 1700, 450);  // drawn after the first two texts
    QImage pages[2];
    for (int way = 0; way < 2; ++way) {
        const QString file = dir + (way == 0 ? "/canvas.pdf" : "/qt.pdf");
        {
            QPrinter printer(QPrinter::HighResolution);
            printer.setOutputFormat(QPrinter::PdfFormat);
            printer.setOutputFileName(file);
            printer.setResolution(600);
            QPainter p(&printer);
            TCanvas c(&p);
            c.GetBrush()->SetStyle(bsClear);  // texts without a background
            for (size_t i = 0; i < std::size(texts); ++i) {
                const Text& t = texts[i];
                TFont font;
                SetBlackFont(font, "Arial", -60, t.style);
                font.SetColor(t.color);
                if (way == 0) {
                    c.GetFont()->Assign(&font);
                    c.TextOut(t.x, t.y, t.text);
                } else {
                    TTextMetric tm;
                    c.GetFont()->Assign(&font);
                    c.GetTextMetrics(tm);
                    p.setFont(font.ToQFont());
                    p.setPen(ColorToQColor(t.color));
                    p.drawText(QPointF(t.x, t.y + tm.tmAscent), QString::fromUtf8(t.text));
                }
                if (i == 1) {
                    c.GetBrush()->SetColor(clSilver);
                    c.FillRect(grey);
                    c.GetBrush()->SetStyle(bsClear);
                }
            }
            c.SetPainter(nullptr);
        }
        pages[way] = PdfPage(file);
    }
    ASSERT_FALSE(pages[0].isNull());
    EXPECT_TRUE(pages[0] == pages[1]);
    QDir(dir).removeRecursively();
}
