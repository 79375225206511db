#include "RP_Prv.h"

#include <algorithm>
#include <cmath>
#include <mutex>

#include "FormReader.h"
#include "MsgBox.h"
#include "PlatformClasses.h"
#include "Printers.h"
#include "RP_PrDlg.h"
#include "RP_Prntr.h"
#include "RP_Utils.h"
#include "Registry.h"
#include "SysUtils.h"
#include "TypInfo.h"
#include "grBtns.h"

double rpLastScale = 1.0;
int rpLastScaleMode = smFixed;

namespace {

// The canvas the search draws a page on: it paints nothing and keeps every
// text output with its place.
class TTextRecorder : public TCanvas {
public:
    struct Record {
        std::string Text;
        TRect Bounds;
    };
    std::vector<Record> Records;

    void TextOut(int X, int Y, const std::string& Text) override { Add(X, Y, Text); }
    void TextRect(const TRect& Rect, int X, int Y, const std::string& Text) override { Add(X, Y, Text); }
    void ExtTextOut(int X, int Y, unsigned, const TRect*, const std::string& Text, const std::vector<int>*) override {
        Add(X, Y, Text);
    }
    int DrawText(const std::string& Text, TRect& Rect, unsigned Format, std::string* Modified) override {
        if (Format & DT_CALCRECT) return TCanvas::DrawText(Text, Rect, Format, Modified);
        Records.push_back({Text, Rect});
        return TextHeight(Text);
    }

private:
    void Add(int x, int y, const std::string& text) {
        TSize size = TextExtent(text);
        unsigned align = GetTextAlign();
        if ((align & TA_CENTER) == TA_CENTER)
            x -= size.cx / 2;
        else if (align & TA_RIGHT)
            x -= size.cx;
        if ((align & TA_BASELINE) == TA_BASELINE) {
            TTextMetric tm;
            GetTextMetrics(tm);
            y -= tm.tmAscent;
        } else if (align & TA_BOTTOM) {
            y -= size.cy;
        }
        Records.push_back({text, TRect{x, y, x + size.cx, y + size.cy}});
    }
};

int Nearest(double v) { return int(std::nearbyint(v)); }

}  // namespace

TrpFormSource& rpFormSource() {
    static TrpFormSource source;
    return source;
}

static std::string FormDefinition(const std::string& name) {
    if (!rpFormSource()) throw EComponentError("No definition source for the window \"" + name + "\"");
    return rpFormSource()(name);
}

// ------------------------------------------------------------------ surface

TrpPBox::TrpPBox(TComponent* owner, TrpPreviewForm* form) : TCustomControl(owner), Form(form) {
    ControlStyle += csOpaque;
}

void TrpPBox::Paint() {
    TrpPreviewForm& f = *Form;
    if (!f.PaintAllowed) return;
    TCanvas* c = GetCanvas();
    TRect client = GetClientRect();
    if (f.PageCount() == 0) {
        c->GetBrush()->SetColor(clBtnFace);
        c->GetBrush()->SetStyle(bsSolid);
        c->FillRect(client);
        return;
    }
    TRegion saved;
    bool hadClip = c->GetClipRgn(saved);
    std::vector<TRect> shown(size_t(f.PageCount()));
    for (int i = 0; i < f.PageCount(); ++i) {
        TrpPreparedPage& page = f.EMFPages->Page(i);
        TRect r = page.R;
        r = TRect{r.Left + f.OffsetX, r.Top + f.OffsetY, r.Right + f.OffsetX, r.Bottom + f.OffsetY};
        shown[size_t(i)] = r;
        page.Visible = !(r.Top > 2000 || r.Bottom < 0) && c->RectVisible(r);
        if (page.Visible) c->ExcludeClipRect(r.Left + 1, r.Top + 1, r.Right - 1, r.Bottom - 1);
    }
    c->GetBrush()->SetColor(clGray);
    c->GetBrush()->SetStyle(bsSolid);
    c->FillRect(client);
    c->SelectClipRgn(hadClip ? &saved : nullptr);
    TPen* pen = c->GetPen();
    pen->SetColor(clBlack);
    pen->SetStyle(psSolid);
    pen->SetWidth(1);
    pen->SetMode(pmCopy);
    c->GetBrush()->SetColor(clWhite);
    for (int i = 0; i < f.PageCount(); ++i) {
        if (!f.EMFPages->Page(i).Visible) continue;
        const TRect& r = shown[size_t(i)];
        c->Rectangle(r);
        c->MoveTo(r.Left + 1, r.Bottom);
        c->LineTo(r.Right, r.Bottom);
        c->LineTo(r.Right, r.Top + 1);
    }
    for (int i = 0; i < f.PageCount(); ++i) {
        TrpPreparedPage& page = f.EMFPages->Page(i);
        if (!page.Visible) {
            f.EMFPages->Draw(i, c, TRect{});
            continue;
        }
        f.EMFPages->Draw(i, c, rpPageDrawRect(page, shown[size_t(i)], f.Scale));
    }
}

void TrpPBox::MouseDown(TMouseButton button, TShiftState shift, int x, int y) {
    TrpPreviewForm& f = *Form;
    if (DblClicked) {
        DblClicked = false;
        return;
    }
    if (f.PageCount() == 0) return;
    if (button == mbRight) {
        TPoint p = ClientToScreen(TPoint{x, y});
        f.ProcMenu->Popup(p.X, p.Y);
        return;
    }
    if (button != mbLeft) return;
    TPoint at{x - f.OffsetX, y - f.OffsetY};
    int pressed = 0;
    for (int i = 0; i < f.PageCount(); ++i) {
        TrpPreparedPage& page = f.EMFPages->Page(i);
        if (!page.R.Contains(at)) continue;
        pressed = i + 1;
        ClickedPage = pressed;
        TPoint inPage{Nearest((at.X - page.R.Left) / f.Scale), Nearest((at.Y - page.R.Top) / f.Scale)};
        TCursor cursor = crDefault;
        if (f.EMFPages->ObjectAtPoint(i, inPage, true, cursor)) return;
        break;
    }
    Down = true;
    LastX = x;
    LastY = y;
    if (pressed) {
        f.CurPage = pressed;
        f.ShowPageNum();
    }
}

void TrpPBox::MouseMove(TShiftState shift, int x, int y) {
    TrpPreviewForm& f = *Form;
    if (f.PageCount() == 0) return;
    if (Down) {
        f.HScrollBar->SetPosition(f.HScrollBar->GetPosition() - (x - LastX));
        f.VScrollBar->SetPosition(f.VScrollBar->GetPosition() - (y - LastY));
        LastX = x;
        LastY = y;
        return;
    }
    if (!f.Report || !f.Report->OnMouseOverObject) return;
    TPoint at{x - f.OffsetX, y - f.OffsetY};
    TCursor cursor = crDefault;
    for (int i = 0; i < f.PageCount(); ++i) {
        TrpPreparedPage& page = f.EMFPages->Page(i);
        if (!page.R.Contains(at)) continue;
        TPoint inPage{Nearest((at.X - page.R.Left) / f.Scale), Nearest((at.Y - page.R.Top) / f.Scale)};
        if (!f.EMFPages->ObjectAtPoint(i, inPage, false, cursor)) cursor = crDefault;
        break;
    }
    SetCursor(cursor);
}

void TrpPBox::MouseUp(TMouseButton, TShiftState, int, int) { Down = false; }

void TrpPBox::DblClick() {
    TrpPreviewForm& f = *Form;
    Down = false;
    DblClicked = true;
    if (ClickedPage > 0 && ClickedPage <= f.PageCount()) {
        f.CurPage = ClickedPage;
        f.ShowPageNum();
    }
}

// ------------------------------------------------------------------ form

TrpPreviewForm::TrpPreviewForm(TComponent* owner, const std::string& definition) : TForm(owner) {
    RegisterPlatformClasses();
    RegisterGrBtnsClasses();
    static std::once_flag once;
    std::call_once(once, [] { Published<TrpPreviewForm>("TrpPreviewForm", "TForm"); });
    THandlerTable h;
    auto notify = [&](const char* name, void (TrpPreviewForm::*method)(TObject*)) {
        h[name] = TNotifyEvent([this, method](TObject* s) { (this->*method)(s); });
    };
    notify("FormCreate", &TrpPreviewForm::FormCreate);
    notify("FormActivate", &TrpPreviewForm::FormActivate);
    notify("FormDeactivate", &TrpPreviewForm::FormDeactivate);
    notify("ZoomBtnClick", &TrpPreviewForm::ZoomBtnClick);
    notify("ZoomItemClick", &TrpPreviewForm::ZoomItemClick);
    notify("LoadBtnClick", &TrpPreviewForm::LoadBtnClick);
    notify("SaveBtnClick", &TrpPreviewForm::SaveBtnClick);
    notify("PrintBtnClick", &TrpPreviewForm::PrintBtnClick);
    notify("PageSetupBtnClick", &TrpPreviewForm::PageSetupBtnClick);
    notify("FindBtnClick", &TrpPreviewForm::FindBtnClick);
    notify("HelpBtnClick", &TrpPreviewForm::HelpBtnClick);
    notify("ExitBtnClick", &TrpPreviewForm::ExitBtnClick);
    notify("PgUpClick", &TrpPreviewForm::PgUpClick);
    notify("PgDownClick", &TrpPreviewForm::PgDownClick);
    notify("VScrollBarChange", &TrpPreviewForm::VScrollBarChange);
    notify("HScrollBarChange", &TrpPreviewForm::HScrollBarChange);
    notify("PreviewPanelResize", &TrpPreviewForm::PreviewPanelResize);
    // Page editing needs a report designer, which the program does not have.
    for (const char* dormant : {"EditPageClick", "AddPageClick", "RemovePageClick"})
        h[dormant] = TNotifyEvent([](TObject*) {});
    h["FormClose"] = TCloseEvent([this](TObject* s, TCloseAction& a) { FormClose(s, a); });
    h["FormKeyDown"] = TKeyEvent([this](TObject* s, Word& k, TShiftState sh) { FormKeyDown(s, k, sh); });
    h["FormMouseWheel"] = TMouseWheelEvent(
        [this](TObject* s, TShiftState sh, int d, TPoint p, bool& handled) { FormMouseWheel(s, sh, d, p, handled); });
    ReadComponentFromText(this, definition, h);
    ToolPanel = rpNeedComponent<TPanel>(this, "TPanel");
    Panel1 = rpNeedComponent<TPanel>(this, "Panel1");
    PreviewPanel = rpNeedComponent<TPanel>(this, "PreviewPanel");
    RPanel = rpNeedComponent<TPanel>(this, "RPanel");
    BPanel = rpNeedComponent<TPanel>(this, "BPanel");
    ZoomBtn = rpNeedComponent<TgrGraphicButton>(this, "ZoomBtn");
    LoadBtn = rpNeedComponent<TgrGraphicButton>(this, "LoadBtn");
    SaveBtn = rpNeedComponent<TgrGraphicButton>(this, "SaveBtn");
    PrintBtn = rpNeedComponent<TgrGraphicButton>(this, "PrintBtn");
    PageSetupBtn = rpNeedComponent<TgrGraphicButton>(this, "PageSetupBtn");
    FindBtn = rpNeedComponent<TgrGraphicButton>(this, "FindBtn");
    HelpBtn = rpNeedComponent<TgrGraphicButton>(this, "HelpBtn");
    ExitBtn = rpNeedComponent<TgrGraphicButton>(this, "ExitBtn");
    PgUp = rpNeedComponent<TgrGraphicButton>(this, "PgUp");
    PgDown = rpNeedComponent<TgrGraphicButton>(this, "PgDown");
    ScrollBox1 = rpNeedComponent<TScrollBox>(this, "ScrollBox1");
    VScrollBar = rpNeedComponent<TScrollBar>(this, "VScrollBar");
    HScrollBar = rpNeedComponent<TScrollBar>(this, "HScrollBar");
    Label1 = rpNeedComponent<TLabel>(this, "Label1");
    Bevel1 = rpNeedComponent<TBevel>(this, "Bevel1");
    ProcMenu = rpNeedComponent<TPopupMenu>(this, "ProcMenu");
    N1 = rpNeedComponent<TMenuItem>(this, "N1");
    N2 = rpNeedComponent<TMenuItem>(this, "N2");
    N3 = rpNeedComponent<TMenuItem>(this, "N3");
    N4 = rpNeedComponent<TMenuItem>(this, "N4");
    N5 = rpNeedComponent<TMenuItem>(this, "N5");
    N6 = rpNeedComponent<TMenuItem>(this, "N6");
    N7 = rpNeedComponent<TMenuItem>(this, "N7");
    OpenDialog = rpNeedComponent<TOpenDialog>(this, "OpenDialog");
    SaveDialog = rpNeedComponent<TSaveDialog>(this, "SaveDialog");
    if (!PaintBox) FormCreate(this);
}

TrpPreviewForm::~TrpPreviewForm() {
    // Pages the preview still holds go back to their report.
    if (Report && EMFPages) Disconnect();
    delete EMFPages;
}

void TrpPreviewForm::FormCreate(TObject*) {
    if (PaintBox) return;
    PaintBox = new TrpPBox(this, this);
    PaintBox->SetParent(ScrollBox1);
    PaintBox->SetAlign(alClient);
    PaintBox->SetColor(clGray);
    PaintBox->Tag = 207;
    // The wheel over the pages would otherwise end in the scroll box, which has nothing to scroll.
    PaintBox->OnMouseWheel = [this](TObject* s, TShiftState shift, int delta, TPoint pos, bool& handled) {
        FormMouseWheel(s, shift, delta, pos, handled);
    };
    for (TMenuItem* item : {N4, N5, N6, N7}) item->SetVisible(false);
}

void TrpPreviewForm::Connect(TrpReport* report) {
    Report = report;
    delete EMFPages;
    EMFPages = report->EMFPages.release();
    report->EMFPages = std::make_unique<TrpEMFPages>(report);
}

void TrpPreviewForm::Disconnect() {
    if (!Report || !EMFPages) return;
    Report->EMFPages.reset(EMFPages);
    EMFPages = nullptr;
}

void TrpPreviewForm::Reconnect(bool reset) {
    Connect(Report);
    InitPreview(reset);
}

void TrpPreviewForm::Guarded(const std::function<void()>& command) {
    try {
        command();
    } catch (const EAbort&) {
    } catch (const Exception& e) {
        if (Report && !EMFPages) Connect(Report);
        InitPreview(false);
        MessageBox(e.Message, LoadEngineString(rpsError), MB_OK | MB_ICONERROR);
    }
}

void TrpPreviewForm::SetButtons() {
    const TrpPreviewButtons b = Report ? Report->PreviewButtons : rpAllPreviewButtons;
    auto set = [&](TgrGraphicButton* button, TrpPreviewButton which) {
        button->SetEnabled((b & rpButton(which)) != 0);
    };
    set(ZoomBtn, pbZoom);
    set(LoadBtn, pbLoad);
    set(SaveBtn, pbSave);
    set(PrintBtn, pbPrint);
    set(FindBtn, pbFind);
    set(HelpBtn, pbHelp);
    set(ExitBtn, pbExit);
    set(PageSetupBtn, pbPageSetup);
    if (!rpPrinter().HasPrinters()) PrintBtn->SetEnabled(false);
    PageSetupBtn->SetEnabled(PrintBtn->GetEnabled());
    if (Report) {
        if (Report->InitialZoom == pzPageWidth)
            rpLastScaleMode = smPageWidth;
        else if (Report->InitialZoom == pzOnePage)
            rpLastScaleMode = smWholePage;
        else if (Report->InitialZoom == pzTwoPages)
            rpLastScaleMode = smTwoPages;
    }
    TRegistry registry;
    registry.OpenKey("\\Software\\ReportEngine\\" + Application->GetTitle(), true);
}

void TrpPreviewForm::Show(TrpReport* report) {
    Connect(report);
    SetButtons();
    InitPreview(true);
    SavedHelpFile = Application->HelpFile;
    if (report->ModalPreview) {
        ShowModal();
    } else {
        TForm::Show();
    }
}

void TrpPreviewForm::MarkZoomItem() {
    for (int i = 0; i < ProcMenu->Items()->Count(); ++i) {
        TMenuItem* item = ProcMenu->Items()->Items(i);
        if (item->GetGroupIndex() != 1) continue;
        bool mark = ScaleMode == smFixed ? item->Tag > 3 && item->Tag == Nearest(Scale * 100) : item->Tag == ScaleMode;
        item->SetChecked(mark);
    }
}

void TrpPreviewForm::InitPreview(bool resetPosition) {
    Scale = rpLastScale;
    ScaleMode = rpLastScaleMode;
    MarkZoomItem();
    if (resetPosition) {
        CurPage = 1;
        OffsetX = OffsetY = LastHPos = LastVPos = 0;
        HScrollBar->SetPosition(0);
        VScrollBar->SetPosition(0);
    }
    if (CurPage > PageCount()) CurPage = std::max(PageCount(), 1);
    ShowPageNum();
    LayoutPages();
    for (int i = 0; i < PageCount(); ++i) {
        EMFPages->Page(i).Visible = false;
        EMFPages->Draw(i, nullptr, TRect{});
    }
    N7->SetEnabled(PageCount() > 1);
    PaintBox->Invalidate();
}

void TrpPreviewForm::LayoutPages() {
    if (PageCount() == 0) {
        PaintAllowed = true;
        return;
    }
    PaintAllowed = false;
    const int W = PaintBox->GetWidth(), H = PaintBox->GetHeight();
    const TrpPreparedPage& current = EMFPages->Page(std::clamp(CurPage, 1, PageCount()) - 1);
    const int PW = std::max(current.Geometry.Pgw, 1), PH = std::max(current.Geometry.Pgh, 1);
    switch (ScaleMode) {
    case smPageWidth: Scale = double(W - 20) / PW; break;
    case smWholePage: Scale = double(H - 20) / PH; break;
    case smTwoPages: Scale = double(W - 30) / (2 * PW); break;
    default: break;
    }
    if (Scale <= 0) Scale = 0.01;  // a surface too small to show a page
    MarkZoomItem();
    ZoomBtn->SetCaption(std::to_string(Nearest(Scale * 100)) + "%");

    int x = 10, run = 0, best = 0;
    for (int i = 0; i < PageCount(); ++i) {
        int next = Nearest(EMFPages->Page(i).Geometry.Pgw * Scale) + x + 10;
        if (next <= W) {
            x = next;
            ++run;
            if (i == PageCount() - 1) best = std::max(best, run);
        } else {
            best = std::max(best, run);
            x = 10;
            run = 0;
        }
    }
    Columns = std::max(best, 1);
    if (ScaleMode == smWholePage) Columns = 1;
    if (ScaleMode == smTwoPages) Columns = 2;

    int y = 10, maxRight = 0, maxBottom = 0;
    for (int first = 0; first < PageCount(); first += Columns) {
        x = 10;
        int tallest = 0;
        for (int i = first; i < std::min(first + Columns, PageCount()); ++i) {
            TrpPreparedPage& page = EMFPages->Page(i);
            int w = Nearest(page.Geometry.Pgw * Scale), h = Nearest(page.Geometry.Pgh * Scale);
            int left = Columns == 1 && W > w ? (W - w) / 2 : x;
            page.R = TRect{left, y, left + w, y + h};
            x += w + 10;
            tallest = std::max(tallest, h);
            maxRight = std::max(maxRight, page.R.Right);
            maxBottom = std::max(maxBottom, page.R.Bottom);
        }
        y += tallest + 10;
    }
    // The page buttons sit at the bottom of the right strip under the scroll bar.
    const int rh = RPanel->GetHeight();
    PgDown->SetBounds(0, rh - 16, 16, 16);
    PgUp->SetBounds(0, rh - 32, 16, 16);
    VScrollBar->SetBounds(0, 0, 16, std::max(rh - 33, 0));
    const int hLeft = Bevel1->GetLeft() + Bevel1->GetWidth();
    HScrollBar->SetBounds(
        hLeft, 1, std::max(BPanel->GetWidth() - hLeft - (RPanel->GetVisible() ? RPanel->GetWidth() : 0), 0), 16);
    int hRange = maxRight - W, vRange = maxBottom - H;
    hRange = hRange < 0 ? 0 : hRange + 10;
    vRange = vRange < 0 ? 0 : vRange + 10;
    HScrollBar->SetMax(hRange);
    HScrollBar->SetEnabled(hRange != 0);
    VScrollBar->SetMax(vRange);
    VScrollBar->SetEnabled(vRange != 0);
    if (GetVisible() && ScrollBox1->CanFocus()) ScrollBox1->SetFocus();
    SetToCurPage();
    PaintAllowed = true;
}

void TrpPreviewForm::SetToCurPage() {
    if (PageCount() == 0) return;
    int keep = CurPage;
    VScrollBar->SetPosition(EMFPages->Page(CurPage - 1).R.Top - 10);
    // Scrolling picks the page under the top line; the page asked for stays current.
    CurPage = keep;
    ShowPageNum();
}

void TrpPreviewForm::ShowPageNum() {
    if (PageCount() == 0) {
        Label1->SetCaption("");
        return;
    }
    Label1->SetCaption(LoadEngineString(rpsPage) + " " + std::to_string(CurPage) + "/" + std::to_string(PageCount()));
}

void TrpPreviewForm::VScrollBarChange(TObject*) {
    int pos = VScrollBar->GetPosition();
    int delta = LastVPos - pos;
    LastVPos = pos;
    OffsetY = -pos;
    PaintBox->ScrollBy(0, delta);
    for (int i = 0; i < PageCount(); ++i) {
        const TRect& r = EMFPages->Page(i).R;
        if (r.Top < 11 - OffsetY && r.Bottom > 11 - OffsetY) {
            CurPage = i + 1;
            break;
        }
    }
    ShowPageNum();
}

void TrpPreviewForm::HScrollBarChange(TObject*) {
    int pos = HScrollBar->GetPosition();
    int delta = LastHPos - pos;
    LastHPos = pos;
    OffsetX = -pos;
    PaintBox->ScrollBy(delta, 0);
}

void TrpPreviewForm::PreviewPanelResize(TObject*) {
    if (PaintBox && PageCount() > 0) {
        LayoutPages();
        PaintBox->Invalidate();
    }
}

void TrpPreviewForm::PgUpClick(TObject*) {
    if (PageCount() == 0) return;
    if (CurPage > 1) --CurPage;
    ShowPageNum();
    SetToCurPage();
}

void TrpPreviewForm::PgDownClick(TObject*) {
    if (PageCount() == 0) return;
    if (CurPage < PageCount()) ++CurPage;
    ShowPageNum();
    SetToCurPage();
}

void TrpPreviewForm::FormMouseWheel(TObject*, TShiftState, int delta, TPoint, bool& handled) {
    if (PageCount() == 0) return;
    int step = VScrollBar->SmallChange * WheelFactor;
    VScrollBar->SetPosition(VScrollBar->GetPosition() + (delta > 0 ? -step : step));
    handled = true;
}

void TrpPreviewForm::FormKeyDown(TObject*, Word& key, TShiftState shift) {
    if (PageCount() == 0) return;
    const bool ctrl = shift.Contains(ssCtrl);
    bool handled = true;
    switch (key) {
    case VK_UP: VScrollBar->SetPosition(VScrollBar->GetPosition() - VScrollBar->SmallChange); break;
    case VK_DOWN: VScrollBar->SetPosition(VScrollBar->GetPosition() + VScrollBar->SmallChange); break;
    case VK_LEFT: HScrollBar->SetPosition(HScrollBar->GetPosition() - HScrollBar->SmallChange); break;
    case VK_RIGHT: HScrollBar->SetPosition(HScrollBar->GetPosition() + HScrollBar->SmallChange); break;
    case VK_PRIOR:
        if (ctrl)
            PgUpClick(nullptr);
        else
            VScrollBar->SetPosition(VScrollBar->GetPosition() - VScrollBar->LargeChange);
        break;
    case VK_NEXT:
        if (ctrl)
            PgDownClick(nullptr);
        else
            VScrollBar->SetPosition(VScrollBar->GetPosition() + VScrollBar->LargeChange);
        break;
    case VK_SPACE: ZoomBtnClick(nullptr); break;
    case VK_ESCAPE: ExitBtnClick(nullptr); break;
    case VK_HOME:
        if (ctrl) VScrollBar->SetPosition(0);
        break;
    case VK_END:
        if (ctrl) {
            CurPage = PageCount();
            SetToCurPage();
        }
        break;
    case VK_F3:
        if (!ctrl && !FindText.empty()) {
            if (FindPage != CurPage - 1) {
                FindPage = CurPage - 1;
                FindPos = 0;
            }
            FindInText();
        }
        break;
    default:
        handled = false;
        if (ctrl) {
            handled = true;
            if (key == 'O')
                LoadBtnClick(nullptr);
            else if (key == 'S')
                SaveBtnClick(nullptr);
            else if (key == 'P' && PrintBtn->GetEnabled())
                PrintBtnClick(nullptr);
            else if (key == 'F')
                FindBtnClick(nullptr);
        }
    }
    if (handled) key = 0;
}

void TrpPreviewForm::ZoomBtnClick(TObject*) {
    if (PageCount() == 0) return;
    for (TMenuItem* item : {N4, N5, N6, N7}) item->SetVisible(false);
    TPoint p = ZoomBtn->ClientToScreen(TPoint{0, ZoomBtn->GetHeight()});
    ProcMenu->Popup(p.X, p.Y);
}

void TrpPreviewForm::ZoomItemClick(TObject* sender) {
    auto* item = dynamic_cast<TMenuItem*>(sender);
    if (!item || PageCount() == 0) return;
    OffsetX = 0;
    if (item->Tag >= 1 && item->Tag <= 3) {
        ScaleMode = item->Tag;
    } else {
        ScaleMode = smFixed;
        Scale = item->Tag / 100.0;
    }
    item->SetChecked(true);
    HScrollBar->SetPosition(0);
    LayoutPages();
    rpLastScale = Scale;
    rpLastScaleMode = ScaleMode;
    PaintBox->Invalidate();
}

void TrpPreviewForm::FindInText() {
    PaintAllowed = false;
    Found = false;
    int counter = 0;
    while (FindPage < PageCount()) {
        TrpPreparedPage& page = EMFPages->Page(FindPage);
        TTextRecorder recorder;
        page.Visible = true;
        EMFPages->Draw(FindPage, &recorder, TRect{0, 0, page.Geometry.Pgw, page.Geometry.Pgh});
        counter = 0;
        for (const auto& record : recorder.Records) {
            ++counter;
            std::string text = CaseSensitive ? record.Text : AnsiUpperCase(record.Text);
            if (counter - 1 >= FindPos && text.find(FindText) != std::string::npos) {
                Found = true;
                FoundRect = record.Bounds;
                break;
            }
        }
        if (Found) break;
        page.Visible = false;
        EMFPages->Draw(FindPage, nullptr, TRect{});
        FindPos = 0;
        ++FindPage;
    }
    if (Found) {
        CurPage = FindPage + 1;
        ShowPageNum();
        const TRect& r = EMFPages->Page(FindPage).R;
        VScrollBar->SetPosition(Nearest(FoundRect.Top * Scale) + r.Top - 10);
        HScrollBar->SetPosition(Nearest(FoundRect.Left * Scale) + r.Left - 10);
        CurPage = FindPage + 1;
        ShowPageNum();
        FindPos = counter;
    }
    PaintAllowed = true;
    PaintBox->Invalidate();
}

void TrpPreviewForm::FindBtnClick(TObject*) {
    if (PageCount() == 0) return;
    TrpPreviewSearchForm search(nullptr, FormDefinition("forms/rpSearch.txt"));
    if (search.ShowModal() != mrOk) return;
    FindText = search.Edit1->GetText();
    CaseSensitive = search.CB1->GetChecked();
    if (!CaseSensitive) FindText = AnsiUpperCase(FindText);
    if (search.RB1->GetChecked()) {
        FindPage = 0;
        FindPos = 0;
    } else if (FindPage != CurPage - 1) {
        FindPage = CurPage - 1;
        FindPos = 0;
    }
    FindInText();
}

void TrpPreviewForm::PrintBtnClick(TObject*) {
    if (PageCount() == 0 || !Report || !rpPrinter().HasPrinters()) return;
    Guarded([&] {
        const int oldIndex = rpPrinter().PrinterIndex;
        TrpPrintForm dialog(nullptr, FormDefinition("forms/rpPrint.txt"));
        dialog.E1->SetText(std::to_string(Report->DefaultCopies));
        dialog.CollateCB->SetChecked(Report->DefaultCollate);
        if (dialog.ShowModal() != mrOk) return;
        if (rpPrinter().PrinterIndex != oldIndex && Report->Rebuildable) {
            if (!Report->ChangePrinter(oldIndex, rpPrinter().PrinterIndex)) return;
            Disconnect();
            Report->EMFPages->Clear();
            Report->PrepareReport();
            Connect(Report);
        }
        std::string pages;
        if (dialog.RB2->GetChecked())
            pages = std::to_string(CurPage);
        else if (dialog.RB3->GetChecked())
            pages = dialog.E2->GetText();
        int copies = dialog.Copies();
        Disconnect();
        try {
            Report->PrintPreparedReport(pages, copies, dialog.CollateCB->GetChecked(), dialog.CB2->GetItemIndex());
        } catch (...) {
            Connect(Report);
            InitPreview(false);
            throw;
        }
        Connect(Report);
        InitPreview(false);
    });
}

void TrpPreviewForm::LoadBtnClick(TObject*) {
    if (PageCount() == 0 || !Report) return;
    OpenDialog->Filter = LoadEngineString(rpsReportFile) + " (*.rpp)|*.rpp";
    if (!OpenDialog->Execute()) return;
    Guarded([&] {
        // The report's own list is empty while the preview holds the pages;
        // the file goes there, and only a file that reads is taken over.
        PaintAllowed = false;
        Report->LoadPreparedReport(OpenDialog->FileName);
        Connect(Report);
        CurPage = 1;
        LayoutPages();
        ShowPageNum();
        SetToCurPage();
        PaintBox->Invalidate();
    });
}

void TrpPreviewForm::SaveBtnClick(TObject*) {
    if (PageCount() == 0 || !Report) return;
    SaveDialog->Filter = LoadEngineString(rpsReportFile) + " (*.rpp)|*.rpp";
    SaveDialog->FilterIndex = 1;
    if (!SaveDialog->Execute()) return;
    Guarded([&] {
        std::string name = ChangeFileExt(SaveDialog->FileName, ".rpp");
        Disconnect();
        struct Back {
            TrpPreviewForm* f;
            ~Back() { f->Connect(f->Report); }
        } back{this};
        Report->SavePreparedReport(name);
    });
}

void TrpPreviewForm::PageSetupBtnClick(TObject*) {
    if (PageCount() == 0 || !Report) return;
    TrpPrinter& layer = rpPrinter();
    if (layer.IsVirtual() || !layer.Printer()) return;
    // The dialog shows hundredths of a millimetre; the pages keep page pixels.
    const TRect& first = EMFPages->Page(0).Margins;
    TRect margins{first.Left * 500 / 18, first.Top * 500 / 18, first.Right * 500 / 18, first.Bottom * 500 / 18};
    if (!layer.Printer()->PageSetupDialog(margins)) return;
    Guarded([&] {
        layer.Update();
        // Pages read from a file cannot be built again; they stay as they are.
        if (!Report->Rebuildable) return;
        for (int i = 0; i < Report->Pages->Count(); ++i) {
            TrpPage* page = Report->Pages->Pages(i);
            if (page->PageType == ptDialog) continue;
            page->LeftMargin = margins.Left * 18 / 500;
            page->TopMargin = margins.Top * 18 / 500;
            page->RightMargin = margins.Right * 18 / 500;
            page->BottomMargin = margins.Bottom * 18 / 500;
            page->ApplyPaperSettings(layer.PaperSize, layer.PaperWidth, layer.PaperHeight, layer.Orientation,
                                     layer.Bin);
        }
        Disconnect();
        Report->PrepareReport();
        Connect(Report);
        InitPreview(true);
    });
}

void TrpPreviewForm::HelpBtnClick(TObject*) {
    BeginContextHelp([this](TControl* clicked) {
        if (clicked && clicked != this) Application->HelpCommand(HELP_CONTEXTPOPUP, clicked->Tag);
    });
}

void TrpPreviewForm::ExitBtnClick(TObject*) {
    if (FormState.Contains(fsModal))
        SetModalResult(mrOk);
    else
        Close();
}

void TrpPreviewForm::FormActivate(TObject*) {
    SavedHelpFile = Application->HelpFile;
    Application->HelpFile = "RPuser.hlp";
    ExitBtn->SetLeft(Panel1->GetWidth() - 59);
    if (ScrollBox1->CanFocus()) ScrollBox1->SetFocus();
}

void TrpPreviewForm::FormDeactivate(TObject*) { Application->HelpFile = SavedHelpFile; }

void TrpPreviewForm::FormClose(TObject*, TCloseAction& action) {
    if (GetFormStyle() != fsMDIChild) SaveFormPosition();
    // A modal preview belongs to the one who showed it; a modeless one frees itself.
    action = FormState.Contains(fsModal) ? caHide : caFree;
}

void TrpPreviewForm::SaveFormPosition() {
    TRegistry registry;
    if (!registry.OpenKey("\\Software\\ReportEngine\\Form\\" + ClassName(), true)) return;
    registry.WriteInteger("XPosition", GetLeft());
    registry.WriteInteger("YPosition", GetTop());
    registry.WriteInteger("Width", GetWidth());
    registry.WriteInteger("Height", GetHeight());
    registry.WriteBool("Maximized", GetWindowState() == wsMaximized);
}

// ------------------------------------------------------------------ install

void rpInstallWindows() {
    rpPrinterLinkFactory() = [] { return rpCreatePrinterLink(); };
    rpDefaultInputBox() = [](const std::string& caption, const std::string& prompt, const std::string& def) {
        return ::InputBox(caption, prompt, def);
    };
    TrpWindowHooks& hooks = rpDefaultWindowHooks();
    hooks.ShowPreview = [](TrpReport* report, const std::string& caption) {
        auto* form = new TrpPreviewForm(nullptr, FormDefinition("forms/rpPreview.txt"));
        form->SetCaption(caption);
        if (report->ModalPreview) {
            std::unique_ptr<TrpPreviewForm> owned(form);
            form->Show(report);
        } else {
            form->Show(report);  // frees itself when closed
        }
    };
    hooks.RunWithProgress = [](TrpReport* report, const std::string& caption, const std::string& label,
                               const std::function<void()>& job) {
        TrpProgressForm progress(nullptr, FormDefinition("forms/rpProgress.txt"));
        progress.SetCaption(caption);
        progress.Label1->SetCaption(label);
        progress.OnWork = [&](TObject*) {
            job();
            progress.SetModalResult(report->Stopped ? mrCancel : mrOk);
        };
        return progress.ShowAndRun(report) == mrOk && !report->Stopped;
    };
    hooks.ProgressLabel = [](TrpReport* report, const std::string& label) {
        for (int i = 0; i < Screen->FormCount(); ++i)
            if (auto* p = dynamic_cast<TrpProgressForm*>(Screen->Forms(i)); p && p->Report == report)
                p->Label1->SetCaption(label);
    };
}
