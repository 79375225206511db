#include "Printers.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QPageSetupDialog>
#include <QPainter>
#include <QPrinter>
#include <QPrinterInfo>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

#include "ControlsPrivate.h"
#include "Dialogs.h"
#include "Graphics.h"
#include "Hooks.h"

namespace {

const char* const kPdfPrinterName = "Print to PDF";
// The PDF printer draws at this many pixels per inch.
constexpr int kPdfResolution = 600;

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Qt's paper sources are the platform's bin numbers less one, for the
// sources both know.
int SourceToBin(QPrinter::PaperSource source) {
    if (source <= QPrinter::LargeCapacity) return int(source) + 1;
    if (source == QPrinter::Cassette) return 14;
    if (source == QPrinter::FormSource) return 15;
    return DMBIN_KEEP;
}

bool BinToSource(int bin, QPrinter::PaperSource& source) {
    if (bin >= 1 && bin <= 11)
        source = QPrinter::PaperSource(bin - 1);
    else if (bin == 14)
        source = QPrinter::Cassette;
    else if (bin == 15)
        source = QPrinter::FormSource;
    else
        return false;
    return true;
}

QPageSize PageSizeOf(const TPrinterDevMode& mode) {
    if (mode.PaperSize != DMPAPER_USER) {
        QPageSize::PageSizeId id = QPageSize::id(mode.PaperSize);
        if (id != QPageSize::Custom) return QPageSize(id);
    }
    if (mode.PaperWidth <= 0 || mode.PaperLength <= 0) return QPageSize(QPageSize::Letter);
    return QPageSize(QSizeF(mode.PaperWidth / 10.0, mode.PaperLength / 10.0), QPageSize::Millimeter, QString(),
                     QPageSize::ExactMatch);
}

// The paper of a page layout into the device settings.
void TakePaper(const QPageLayout& layout, TPrinterDevMode& mode) {
    int id = layout.pageSize().windowsId();
    QSizeF mm = layout.pageSize().size(QPageSize::Millimeter);
    mode.PaperSize = id > 0 ? id : DMPAPER_USER;
    mode.PaperWidth = int(std::lround(mm.width() * 10));
    mode.PaperLength = int(std::lround(mm.height() * 10));
    mode.Orientation = layout.orientation() == QPageLayout::Landscape ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
}

// The papers a printer takes, by platform identifier; the PDF printer takes every known size.
std::vector<TPrinterCapability> PapersOf(const std::string& printerName, bool pdf) {
    std::vector<TPrinterCapability> papers;
    auto add = [&](const QPageSize& size) {
        int id = size.windowsId();
        if (id <= 0) return;
        if (std::any_of(papers.begin(), papers.end(), [id](const TPrinterCapability& p) { return p.Id == id; })) return;
        papers.push_back({id, size.name().toStdString()});
    };
    if (pdf) {
        for (int i = 0; i <= int(QPageSize::LastPageSize); ++i) add(QPageSize(QPageSize::PageSizeId(i)));
    } else {
        for (const QPageSize& size : QPrinterInfo::printerInfo(Q(printerName)).supportedPageSizes()) add(size);
    }
    std::sort(papers.begin(), papers.end(), [](const auto& a, const auto& b) { return a.Id < b.Id; });
    return papers;
}

bool QtPropertiesDialog(TPrinter& printer);

TPrinterPropertiesHook& CurrentPropertiesHook() {
    static TPrinterPropertiesHook hook = QtPropertiesDialog;
    return hook;
}

bool QtPrinterSetup(TPrinterSetupChoice& choice);
bool QtPageSetup(TPageSetupChoice& choice);

TPageSetupHook& CurrentPageSetupHook() {
    static TPageSetupHook hook = QtPageSetup;
    return hook;
}

TPrinterSetupHook& CurrentPrinterSetupHook() {
    static TPrinterSetupHook hook = QtPrinterSetup;
    return hook;
}

}  // namespace

struct TPrinter::State {
    std::unique_ptr<QPrinter> Device;
    std::unique_ptr<QPainter> Painter;
    std::unique_ptr<TCanvas> Canvas;
};

TPrinter::TPrinter() : S(std::make_unique<State>()) {
    Refresh();
    int index = 0;
    QString def = QPrinterInfo::defaultPrinterName();
    for (size_t i = 0; i + 1 < FPrinters.size(); ++i)
        if (Q(FPrinters[i]) == def) index = int(i);
    Select(index);
}

TPrinter::~TPrinter() {
    if (Printing()) Abort();
}

void TPrinter::Refresh() {
    std::string selected = FPrinters.empty() ? std::string() : PrinterName();
    FPrinters.clear();
    for (const QString& name : QPrinterInfo::availablePrinterNames()) FPrinters.push_back(name.toStdString());
    FPrinters.push_back(kPdfPrinterName);
    auto it = std::find(FPrinters.begin(), FPrinters.end(), selected);
    int index = it == FPrinters.end() ? 0 : int(it - FPrinters.begin());
    if (!selected.empty() && (index != FIndex || !S->Device || it == FPrinters.end())) Select(index);
}

std::string TPrinter::PrinterName() const {
    return FIndex >= 0 && FIndex < int(FPrinters.size()) ? FPrinters[size_t(FIndex)] : std::string();
}

bool TPrinter::IsPdfPrinter() const { return FIndex == int(FPrinters.size()) - 1; }

void TPrinter::SetPrinterIndex(int Index) {
    if (Index < 0 || Index >= int(FPrinters.size()))
        throw EPrinter("Printer index " + std::to_string(Index) + " out of range (" + std::to_string(FPrinters.size()) +
                       " printers)");
    if (Printing()) throw EPrinter("Cannot change the printer while printing");
    if (Index != FIndex || !S->Device) Select(Index);
}

void TPrinter::Select(int Index) {
    FIndex = Index;
    if (IsPdfPrinter()) {
        S->Device = std::make_unique<QPrinter>(QPrinter::HighResolution);
        S->Device->setOutputFormat(QPrinter::PdfFormat);
        S->Device->setResolution(kPdfResolution);
        S->Device->setPageMargins(QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter);
    } else {
        S->Device = std::make_unique<QPrinter>(QPrinterInfo::printerInfo(Q(PrinterName())), QPrinter::HighResolution);
        QPageLayout layout = S->Device->pageLayout();
        S->Device->setPageMargins(layout.minimumMargins(), layout.units());
    }
    S->Device->setFullPage(true);
}

TPrinterDevMode TPrinter::GetDevMode() const {
    TPrinterDevMode mode;
    TakePaper(S->Device->pageLayout(), mode);
    mode.Copies = S->Device->copyCount();
    mode.Collate = S->Device->collateCopies();
    mode.DefaultSource = SourceToBin(S->Device->paperSource());
    return mode;
}

void TPrinter::SetDevMode(const TPrinterDevMode& Mode) {
    QPageLayout layout = S->Device->pageLayout();
    layout.setPageSize(PageSizeOf(Mode));
    layout.setOrientation(Mode.Orientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait);
    // A size the printer does not take leaves its paper as it was.
    S->Device->setPageLayout(layout);
    if (!IsPdfPrinter()) {
        QPageLayout taken = S->Device->pageLayout();
        S->Device->setPageMargins(taken.minimumMargins(), taken.units());
    }
    // Copies belong to the document; they cannot change while it prints.
    if (Printing()) return;
    S->Device->setCopyCount(std::max(1, Mode.Copies));
    S->Device->setCollateCopies(Mode.Collate);
    QPrinter::PaperSource source;
    if ((Mode.DefaultSource & 0xFFFF) != DMBIN_KEEP && BinToSource(Mode.DefaultSource, source))
        S->Device->setPaperSource(source);
}

std::vector<TPrinterCapability> TPrinter::Papers() const { return PapersOf(PrinterName(), IsPdfPrinter()); }

std::vector<TPrinterCapability> TPrinter::Bins() const {
    // Qt names no paper sources outside Windows; the printer's own choice is the one offered.
    return {};
}

TPrinterMetrics TPrinter::Metrics() const {
    TPrinterMetrics m;
    QPrinter& p = *S->Device;
    int res = p.resolution();
    QPageLayout layout = p.pageLayout();
    QRect full = layout.fullRectPixels(res);
    QMargins margins = layout.marginsPixels(res);
    m.PhysicalWidth = full.width();
    m.PhysicalHeight = full.height();
    m.OffsetX = margins.left();
    m.OffsetY = margins.top();
    m.HorzRes = full.width() - margins.left() - margins.right();
    m.VertRes = full.height() - margins.top() - margins.bottom();
    m.LogPixelsX = m.LogPixelsY = res;
    return m;
}

bool TPrinter::Printing() const { return S->Painter && S->Painter->isActive(); }

void TPrinter::BeginDoc() {
    if (Printing()) throw EPrinter("Printing is already in progress");
    QPrinter& p = *S->Device;
    std::string file = FileName;
    if (IsPdfPrinter() && file.empty()) {
        TSaveDialog dialog(nullptr);
        dialog.Filter = "PDF file (*.pdf)|*.pdf";
        dialog.DefaultExt = "pdf";
        dialog.FileName = Title.empty() ? std::string() : Title + ".pdf";
        if (!dialog.Execute()) throw EAbort();
        file = dialog.FileName;
    }
    if (!file.empty()) {
        p.setOutputFormat(QPrinter::PdfFormat);
        p.setOutputFileName(Q(file));
    } else {
        p.setOutputFileName(QString());
        p.setPrinterName(Q(PrinterName()));
    }
    p.setDocName(Q(Title));
    p.setCreator("Varnholt");
    FAborted = false;
    S->Painter = std::make_unique<QPainter>();
    if (!S->Painter->begin(&p)) {
        S->Painter.reset();
        if (IsPdfPrinter() || !file.empty()) throw EPrinter("Cannot write the file \"" + file + "\"");
        throw EPrinter("Cannot start printing on \"" + PrinterName() + "\"");
    }
    S->Canvas = std::make_unique<TCanvas>(S->Painter.get());
    FPageNumber = 1;
}

void TPrinter::NewPage() {
    if (!Printing()) throw EPrinter("Printing not in progress");
    S->Canvas->SetPainter(nullptr);
    if (!S->Device->newPage()) throw EPrinter("Cannot start a new page on \"" + PrinterName() + "\"");
    S->Canvas->SetPainter(S->Painter.get());
    ++FPageNumber;
}

void TPrinter::EndDoc() {
    if (!Printing()) throw EPrinter("Printing not in progress");
    S->Canvas.reset();
    bool ok = S->Painter->end();
    S->Painter.reset();
    FPageNumber = 0;
    if (!ok) throw EPrinter("Printing on \"" + PrinterName() + "\" failed");
}

void TPrinter::Abort() {
    if (!S->Painter) return;
    S->Canvas.reset();
    S->Device->abort();
    if (S->Painter->isActive()) S->Painter->end();
    S->Painter.reset();
    FAborted = true;
    FPageNumber = 0;
}

TCanvas* TPrinter::Canvas() {
    if (!Printing()) throw EPrinter("Printing not in progress");
    return S->Canvas.get();
}

bool TPrinter::PropertiesDialog() { return CurrentPropertiesHook()(*this); }

bool TPrinter::PageSetupDialog(TRect& Margins) {
    TPageSetupChoice choice{GetDevMode(), Margins};
    if (!CurrentPageSetupHook()(choice)) return false;
    SetDevMode(choice.DevMode);
    Margins = choice.Margins;
    return true;
}

namespace {

// Qt's page set-up over a copy of the settings: paper, orientation and margins.
bool QtPageSetup(TPageSetupChoice& choice) {
    if (!HaveDisplay()) return false;
    const TRect& m = choice.Margins;
    QPrinter copy(QPrinter::HighResolution);
    copy.setPageLayout(QPageLayout(
        PageSizeOf(choice.DevMode),
        choice.DevMode.Orientation == DMORIENT_LANDSCAPE ? QPageLayout::Landscape : QPageLayout::Portrait,
        QMarginsF(m.Left / 100.0, m.Top / 100.0, m.Right / 100.0, m.Bottom / 100.0), QPageLayout::Millimeter));
    QPageSetupDialog dialog(&copy, QApplication::activeWindow());
    if (dialog.exec() != QDialog::Accepted) return false;
    TakePaper(copy.pageLayout(), choice.DevMode);
    QMarginsF chosen = copy.pageLayout().margins(QPageLayout::Millimeter);
    choice.Margins = TRect{int(std::lround(chosen.left() * 100)), int(std::lround(chosen.top() * 100)),
                           int(std::lround(chosen.right() * 100)), int(std::lround(chosen.bottom() * 100))};
    return true;
}

bool QtPropertiesDialog(TPrinter& printer) {
    TPageSetupChoice choice{printer.GetDevMode(), TRect{}};
    if (!QtPageSetup(choice)) return false;
    printer.SetDevMode(choice.DevMode);
    return true;
}

// The printer set-up dialog: the printer, its paper and the orientation.
bool QtPrinterSetup(TPrinterSetupChoice& choice) {
    if (!HaveDisplay() || choice.Printers.empty()) return false;
    QDialog dialog(QApplication::activeWindow(), Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint);
    dialog.setWindowTitle("Print Setup");
    auto* names = new QComboBox;
    for (const std::string& name : choice.Printers) names->addItem(Q(name));
    names->setCurrentIndex(std::clamp(choice.PrinterIndex, 0, int(choice.Printers.size()) - 1));
    auto* papers = new QComboBox;
    auto fillPapers = [&](int keepId) {
        int index = names->currentIndex();
        papers->clear();
        for (const TPrinterCapability& p : PapersOf(choice.Printers[size_t(index)], index == names->count() - 1))
            papers->addItem(Q(p.Name), p.Id);
        int at = papers->findData(keepId);
        papers->setCurrentIndex(at >= 0 ? at : 0);
    };
    fillPapers(choice.DevMode.PaperSize);
    QObject::connect(names, &QComboBox::currentIndexChanged, &dialog,
                     [&](int) { fillPapers(papers->currentData().toInt()); });
    auto* portrait = new QRadioButton("P&ortrait");
    auto* landscape = new QRadioButton("L&andscape");
    (choice.DevMode.Orientation == DMORIENT_LANDSCAPE ? landscape : portrait)->setChecked(true);

    auto* printerBox = new QGroupBox("Printer");
    auto* printerForm = new QFormLayout(printerBox);
    printerForm->addRow("&Name:", names);
    auto* paperBox = new QGroupBox("Paper");
    auto* paperForm = new QFormLayout(paperBox);
    paperForm->addRow("Si&ze:", papers);
    auto* orientationBox = new QGroupBox("Orientation");
    auto* orientationLayout = new QVBoxLayout(orientationBox);
    orientationLayout->addWidget(portrait);
    orientationLayout->addWidget(landscape);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    auto* layout = new QVBoxLayout(&dialog);
    layout->setSizeConstraint(QLayout::SetFixedSize);
    layout->addWidget(printerBox);
    layout->addWidget(paperBox);
    layout->addWidget(orientationBox);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return false;

    choice.PrinterIndex = names->currentIndex();
    if (papers->currentIndex() >= 0) choice.DevMode.PaperSize = papers->currentData().toInt();
    choice.DevMode.Orientation = landscape->isChecked() ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
    return true;
}

}  // namespace

TPrinter* Printer() {
    // Qt reaches the printers only through a running application.
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        throw EPrinter("The printers cannot be reached before the application runs");
    static TPrinter* printer = new TPrinter();
    return printer;
}

TPrinterPropertiesHook SetPrinterPropertiesHook(TPrinterPropertiesHook Hook) {
    return ReplaceHook(CurrentPropertiesHook(), std::move(Hook), QtPropertiesDialog);
}

bool TPrinterSetupDialog::Execute() {
    TPrinter* printer = Printer();
    TPrinterSetupChoice choice{printer->Printers(), printer->GetPrinterIndex(), printer->GetDevMode()};
    if (!CurrentPrinterSetupHook()(choice)) return false;
    printer->SetPrinterIndex(choice.PrinterIndex);
    // The dialog offers paper and orientation; the rest stays the printer's own.
    TPrinterDevMode mode = printer->GetDevMode();
    mode.PaperSize = choice.DevMode.PaperSize;
    mode.PaperWidth = choice.DevMode.PaperWidth;
    mode.PaperLength = choice.DevMode.PaperLength;
    mode.Orientation = choice.DevMode.Orientation;
    printer->SetDevMode(mode);
    return true;
}

TPrinterSetupHook SetPrinterSetupHook(TPrinterSetupHook Hook) {
    return ReplaceHook(CurrentPrinterSetupHook(), std::move(Hook), QtPrinterSetup);
}

TPageSetupHook SetPageSetupHook(TPageSetupHook Hook) {
    return ReplaceHook(CurrentPageSetupHook(), std::move(Hook), QtPageSetup);
}
