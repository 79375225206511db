#pragma once
// Report templates: the objects of a template (TrpObject, TrpView and their
// stretchable base), template pages and their list, the stream that carries
// a template, and the report component's template half.
//
// The band engine, the memo, band, picture, line and subreport views, the
// prepared pages and the printer layer build on this header; they plug in
// through the registries and links declared below.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Classes.h"
#include "Controls.h"
#include "Graphics.h"
#include "RP_Context.h"
#include "RP_Globals.h"
#include "RP_Utils.h"
#include "Types.h"
#include "Variants.h"

class TrpBand;
class TrpDataDictionary;
class TrpDataset;
class TrpPage;
class TrpPages;
class TrpReport;
class TrpView;

// Object type numbers: the first byte of an object record.
enum : uint8_t { gtMemo = 0, gtPicture = 1, gtBand = 2, gtSubReport = 3, gtLine = 4, gtAddIn = 10 };

// Record markers of the template stream.
enum : uint8_t { rpPageRecord = 255, rpDictionaryRecord = 254, rpDataManagerRecord = 253 };

// The version written; 21..24 are read.
constexpr int rpCurrentTemplateVersion = 24;
constexpr int rpOldestTemplateVersion = 21;

// Bits of TrpView::Flags that every view shares.
constexpr uint16_t flStretched = 0x0001;
constexpr uint16_t flHideZeros = 0x0040;

// Frame sides.
constexpr uint16_t frbRight = 1, frbBottom = 2, frbLeft = 4, frbTop = 8;

// Frame styles.
enum : uint16_t { rpfsSolid = 0, rpfsDash = 1, rpfsDot = 2, rpfsDashDot = 3, rpfsDashDotDot = 4, rpfsDouble = 5 };

// Band alignments.
enum : uint8_t { baNone = 0, baLeft = 1, baRight = 2, baCenter = 3, baWidth = 4, baBottom = 5, baTop = 6, baRest = 7 };

// A colour value that means "no fill".
constexpr int32_t rpNoFill = 0x1FFFFFFF;

// Stream modes of a view.
enum : uint8_t { smTemplate = 0, smPrinted = 1 };

// Property descriptor type codes.
enum : uint16_t {
    rpdtNumber = 0,
    rpdtFrameTyp = 2,
    rpdtBoolean = 8,
    rpdtColor = 16,
    rpdtEnum = 32,
    rpdtRestriction = 64,
    rpdtPosSize = 128,
    rpdtFrameWidth = 132,
    rpdtName = 257,
    rpdtHasEditor = 320,
};

// Raised when a template names add-in classes the program does not have; the
// message is the one the user sees, listing them. The rest of the template
// is loaded.
class ErpClassNotFound : public Exception {
public:
    using Exception::Exception;
};

// Raised for a template stream that is damaged or of an unknown kind.
class ErpTemplateError : public EReadError {
public:
    using EReadError::EReadError;
};

// ---------------------------------------------------------------- objects

struct TrpPropRec {
    std::string PropName;  // up to 32 characters
    uint16_t PropType = rpdtNumber;
    std::vector<std::string> Enum;  // value names of an enumeration
    std::vector<int> EnumValues;
    std::function<void()> PEditor;  // editor hooks; unused without a designer
    std::function<void()> PEnumEditor;
};

// Base of every template object and page: a property interface by name.
class TrpObject : public TObject {
public:
    std::vector<TrpPropRec> PropList;

    virtual void SetPropertyValue(const std::string& propName, const Variant& value) {}
    virtual Variant GetPropertyValue(const std::string& propName) { return Null(); }
    virtual Variant CallMethod(const std::string& methodName, const Variant& p1, const Variant& p2, const Variant& p3) {
        return Null();
    }
    virtual void DeclareProperties() {}

    void AddProperty(const std::string& propName, uint16_t propType, std::function<void()> editor = {});
    // enumText: value names separated by ";"; values default to 0, 1, 2, ...
    void AddEnumProperty(const std::string& propName, const std::string& enumText, const std::vector<int>& values = {});
    void DelProperty(const std::string& propName);
    const TrpPropRec* PropRec(const std::string& propName) const;  // case-insensitive
    bool HasProperty(const std::string& propName) const { return PropRec(propName) != nullptr; }
};

// Font style bits of the script language: 1 italic, 2 bold, 4 underline, 8 strikeout.
int FontStyleToBits(TFontStyles style);
TFontStyles BitsToFontStyle(int bits);

// Base of every object placed on a page.
class TrpView : public TrpObject {
public:
    TrpView();
    ~TrpView() override;

    std::string BaseName = "View";  // prefix of generated names
    TCanvas* Canvas = nullptr;
    TRect DRect;                         // inner rectangle after scaling and frame insets
    std::unique_ptr<TStringList> SMemo;  // evaluated memo
    uint8_t StreamMode = smTemplate;
    bool Printing = false;  // drawn onto the printer
    std::string Name;
    uint8_t Typ = gtAddIn;
    uint8_t ViewFormatVersion = 2, ClassFormatVersion = 0;  // as read
    int32_t ID = 0;
    double ScaleX = 1.0, ScaleY = 1.0;
    int32_t OffsX = 0, OffsY = 0;
    int32_t x = 0, y = 0, dx = 0, dy = 0;
    uint16_t Flags = flStretched;
    uint16_t FrameTyp = 0;
    float FrameWidth = 1.0f;
    TColor FrameColor = clBlack;
    uint16_t FrameStyle = rpfsSolid;
    TColor FillColor = rpNoFill;
    int32_t Format = 0;  // display format word
    std::string FormatStr;
    uint16_t Visible = 0xFFFF;  // 16-bit Boolean
    int32_t gapx = 2, gapy = 1;
    uint16_t Restrictions = 0;
    std::string Tag;
    std::unique_ptr<TStringList> Memo;
    std::unique_ptr<TStringList> Script;
    uint8_t BandAlign = baNone;
    TrpBand* Parent = nullptr;      // run-time band while a report is built
    TrpPage* ParentPage = nullptr;  // page whose object list holds the view
    std::string DataField;          // data-set field the view is bound to

    // Saved by ScaleGeometry, restored by RestoreGeometry.
    int32_t SaveX = 0, SaveY = 0, SaveDX = 0, SaveDY = 0, SaveGX = 0, SaveGY = 0;
    float SaveFW = 0;

    // The context of the report whose page holds the view; nil for a view on
    // no page of a report.
    TrpContext* Context() const;

    bool IsVisible() const { return Visible != 0; }
    void SetVisible(bool value) { Visible = value ? 0xFFFF : 0; }

    void SetPropertyValue(const std::string& propName, const Variant& value) override;
    Variant GetPropertyValue(const std::string& propName) override;
    Variant CallMethod(const std::string& methodName, const Variant& p1, const Variant& p2, const Variant& p3) override;
    void DeclareProperties() override;

    virtual void DrawBackground();
    virtual void DrawFrame();
    // Data hooks of data-aware views.
    // Loads the data of the field the view is bound to (data-aware views).
    virtual void GetBlob(TObject* source, const std::string& field) {}
    virtual void ClearBlob() {}
    virtual void AfterLoad() {}
    // After the view was read from a prepared page.
    virtual void AfterPreparedLoad() {}
    virtual void ScaleGeometry();
    virtual void RestoreGeometry();
    virtual void Draw(TCanvas* canvas) = 0;
    virtual void WritePreparedObject(TStream* stream);
    virtual void ExportObject() {}
    virtual void LoadFromStream(TStream* stream);
    virtual void SaveToStream(TStream* stream);
    // Told after a memo view was output, when flag bit 15 is set.
    virtual void OnHook(TrpView* view) {}
    virtual void BuildPopupMenu() {}
    // The view rectangle widened by the frame (and 10 more pixels when outer).
    virtual TRect GetClipRegion(bool outer);
    virtual void ShowEditor() {}

    // The class format version the class writes (bands 1, memos 0).
    virtual uint8_t WrittenClassVersion() const { return 0; }
    // Whether the view has a frame (bands have none); declares the frame properties.
    virtual bool HasFrame() const { return true; }
    // The font of views with text; FONT.NAME and its kin reach it.
    virtual TFont* ViewFont() { return nullptr; }
    // String-list properties by upper-case name, for the list methods.
    virtual TStrings* ListProperty(const std::string& upperName);

    // Stores the canvas, makes this the active view and places the view by
    // its band alignment among the views of the active page.
    void BeginDraw(TCanvas* canvas);
    // The scaled right and bottom edges, as ScaleGeometry computes them.
    int ScaledRight() const;
    int ScaledBottom() const;

    // The data-set field the view shows: the bound field, or the field of a
    // memo that is one bracketed reference to an existing source; else empty.
    std::string BoundFieldName() const;

    // Base name plus the smallest number 1..10000 that no object of the
    // active report has yet; empty when none is free.
    std::string CreateUniqueName() const;

protected:
    void SetFrameWidthProperty(double w);
};

// A view that can measure the height its content needs.
class TrpStretcheable : public TrpView {
public:
    virtual int CalcHeight() = 0;
    virtual int MinHeight() = 0;
    virtual int RemainHeight() = 0;
    Variant CallMethod(const std::string& methodName, const Variant& p1, const Variant& p2, const Variant& p3) override;
};

// Dormant bases of dialog controls (no subclass exists in the system).
class TrpControl : public TrpView {
public:
    TrpControl();
    void Draw(TCanvas* canvas) override {}
    void DeclareProperties() override;
};

class TrpNonVisualControl : public TrpControl {
public:
    TrpNonVisualControl();
    void DeclareProperties() override;
};

// Object by path among the report's objects: "Memo5.Text", "PAGE2.Visible",
// "FONT.NAME" (of the active view). Sets propName to the property part;
// returns nil when nothing matches.
TrpObject* rpGetObjectByPath(TrpContext& context, const std::string& path, std::string& propName);

// Replaces every bracketed expression of text (brackets nest) by its
// formatted value, the view being the active view meanwhile. The formatter
// defaults to the context's.
void rpExpandExpressions(TrpContext& context, TrpView* view, std::string& text,
                         const std::function<std::string(const std::string&)>& formatter = {});

// Object factory: types 0..4 come from the classes the view units register;
// type 10 finds a registered add-in class by its exact name. Raises
// ErpClassNotFound for an unknown add-in class (collecting its name in
// ReportErrorText); returns nil for an unknown type.
using TrpViewFactory = std::function<TrpView*()>;
// Returns the factory the type had before (empty when none).
TrpViewFactory rpRegisterViewType(uint8_t type, TrpViewFactory create);
void rpRegisterAddInClass(const std::string& className, TrpViewFactory create);
void rpUnRegisterAddInClass(const std::string& className);
TrpView* rpCreateObject(uint8_t type, const std::string& className);

// Reads a text or a memo in the encoding of a template version.
std::string rpReadTemplateString(TStream* stream, int version);
void rpReadTemplateMemo(TStream* stream, TStrings* memo, int version);

// Rounds half to even, as the engine's geometry does.
int rpRound(double value);

// ------------------------------------------------------------------ pages

enum TrpPageType : uint8_t { ptReport = 0, ptDialog = 1 };

// One template page: paper, columns, dialog look, script and objects.
class TrpPage : public TrpObject {
public:
    // The report gives the page its printer; nil for a page of no report
    // (the virtual printer's paper).
    TrpPage(TrpReport* report, int size, int width, int height, int orientation, int bin);
    ~TrpPage() override;

    TrpReport* const Report;

    int32_t Size = 0, Width = 0, Height = 0;
    int32_t LeftMargin = 0, TopMargin = 0, RightMargin = 0, BottomMargin = 0;
    uint8_t Orientation = 0;
    int32_t Bin = 0xFFFF;
    uint16_t PrintToPrevPage = 0;
    uint16_t UseMargins = 0xFFFF;
    int32_t Columns = 0, ColumnWidth = 0, ColumnGap = 0;
    TrpPageType PageType = ptReport;
    std::string Name;
    uint8_t BorderStyle = 3;
    std::string Caption = "Form";
    TColor Color = clBtnFace;
    int32_t FormLeft = 220, FormTop = 120, FormWidth = 380, FormHeight = 300;
    uint8_t Position = 4;
    std::unique_ptr<TStringList> Script;
    bool Visible = true;
    TrpOwnedList<TrpView> Objects;
    TrpPrnInfo PrnInfo;

    int Count() const { return int(Objects.size()); }
    TrpView* FindObject(const std::string& name) const;  // case-insensitive
    void ClearObjects();
    void DeleteObject(int index);
    // Appends an object; the page owns it from now on.
    void AddObject(TrpView* view);

    void ApplyPaperSettings(int size, int width, int height, int orientation, int bin);
    // While the page is built: print its band of that type (and 127), or its
    // bands of that name.
    void ShowBandByType(int type);
    void ShowBandByName(const std::string& name);
    int LeftEdge() const;
    int TopEdge() const;
    int RightEdge() const;
    int BottomEdge() const;

    void LoadFromStream(TStream* stream);
    void SaveToStream(TStream* stream);

    void SetPropertyValue(const std::string& propName, const Variant& value) override;
    Variant GetPropertyValue(const std::string& propName) override;
    void DeclareProperties() override;
};

// Converts tenths of a millimetre to template units (18 / 50).
int rpMmToUnits(int tenthsOfMm);

class TrpPages : public TObject {
public:
    explicit TrpPages(TrpReport* parent);
    ~TrpPages() override;

    int Count() const { return int(FPages.size()); }
    TrpPage* Pages(int index) const;
    TrpPage* operator[](int index) const { return Pages(index); }
    TrpPage* Add();
    void Delete(int index);
    void Clear();
    void LoadFromStream(TStream* stream);
    void SaveToStream(TStream* stream);
    // Draws every view with a band alignment once, so that it is placed
    // before a build (the engine's scratch canvas when none is given).
    void PreDrawAligned(TCanvas* canvas = nullptr);

private:
    void ReadObjectRecord(TStream* stream, uint8_t type);
    TrpReport* FParent;
    TrpOwnedList<TrpPage> FPages;
};

// --------------------------------------------------------- prepared pages

// Raised for a prepared-report file that is damaged, cut short or hostile.
class ErpPreparedReportError : public EReadError {
public:
    using EReadError::EReadError;
};

// One page of a built report: the paper of the template page it was made
// from and the object records output onto it.
struct TrpPreparedPage {
    TRect R;                                  // place in the preview's layout
    uint16_t PaperSize = 0;                   // 256: a user-defined size
    int32_t PaperWidth = 0, PaperHeight = 0;  // 0.1 mm
    uint8_t Orientation = 0;
    int32_t Bin = 0;  // -1 for pages of files older than version 24
    bool UseMargins = false;
    TRect Margins;                          // page pixels
    TrpPrnInfo Geometry;                    // from the printer, never stored
    bool Visible = true;                    // meets the preview's visible area
    std::unique_ptr<TMemoryStream> Stream;  // version byte, then object records
    std::unique_ptr<TrpPage> Page;          // decoded on demand
};

// Limits a prepared-report file is held to: nothing a real report needs
// comes near them, and a hostile file cannot make the reader allocate more.
constexpr int32_t rpMaxPreparedPages = 1000000;
constexpr int32_t rpMaxPaperTenthsMm = 100000;  // 10 m

// Where a prepared page's objects are drawn when the page occupies pageRect
// at scale (device or screen pixels per page pixel): the whole rectangle for
// a page that uses its margins, else the printable area less the margins.
TRect rpPageDrawRect(const TrpPreparedPage& page, const TRect& pageRect, double scale);

class TrpEMFPages : public TObject {
public:
    explicit TrpEMFPages(TrpReport* parent);
    ~TrpEMFPages() override;

    int Count() const { return int(FPages.size()); }
    TrpPreparedPage& Page(int index);
    void Clear();
    // A new page with the paper of the template page; Add then fires OnBeginPage.
    void Add(TrpPage* page);
    void Insert(int index, TrpPage* page);
    void Delete(int index);
    // Draws the page's objects scaled into drawRect.
    void Draw(int index, TCanvas* canvas, const TRect& drawRect);
    void LoadPageObjects(int index);
    void StorePageObjects(int index);
    // The topmost object under the point (page pixels) gets the report's
    // click or mouse-over event; true when an event was called.
    bool ObjectAtPoint(int index, TPoint point, bool click, TCursor& cursor);

    // The prepared-report file. The reader checks the whole stream before
    // it replaces the pages and raises ErpPreparedReportError when anything
    // in it does not hold; the pages are then as they were.
    void LoadFromStream(TStream* stream);
    void SaveToStream(TStream* stream);

private:
    std::unique_ptr<TrpPage> DecodePage(const TrpPreparedPage& record);
    TrpReport* FParent;
    std::vector<std::unique_ptr<TrpPreparedPage>> FPages;
};

// ----------------------------------------------------------------- report

enum TrpReportType { rtSimple, rtMultiple };

// The preview's toolbar buttons a report offers.
enum TrpPreviewButton { pbZoom, pbLoad, pbSave, pbPrint, pbFind, pbHelp, pbExit, pbPageSetup };
using TrpPreviewButtons = unsigned;  // bit (1 << TrpPreviewButton)
constexpr TrpPreviewButtons rpButton(TrpPreviewButton b) { return 1u << b; }
constexpr TrpPreviewButtons rpAllPreviewButtons = 0xFFu;

enum TrpPreviewZoom { pzDefault, pzPageWidth, pzOnePage, pzTwoPages };

// Which pages of the list a print job prints.
enum TrpPrintWhich : uint8_t { pwAll = 0, pwOdd = 1, pwEven = 2 };

// An export filter: the steps an export runs. The program registers none.
class TrpExportFilter : public TObject {
public:
    std::string FileName;
    std::string Extension = ".txt";
    std::function<void(const std::string& fileName, bool& proceed)> OnBeforeExport;
    std::function<void(const std::string& fileName)> OnAfterExport;
    virtual bool ShowModal() { return true; }
    virtual void OnBeginDoc(TStream* stream) {}
    virtual void OnEndDoc() {}
    virtual void OnBeginPage() {}
    virtual void OnEndPage() {}
    virtual void OnPage(TrpPage* page) {}
};

// The window layer's part in showing a report: the preview window and the
// progress window. The defaults run the job at once and show no preview,
// so that a build needs no window; the window layer replaces them.
struct TrpWindowHooks {
    // Shows the prepared pages with the caption.
    std::function<void(TrpReport* report, const std::string& caption)> ShowPreview;
    // Runs the job inside a progress window with the caption and the label;
    // false when the user cancelled.
    std::function<bool(TrpReport* report, const std::string& caption, const std::string& label,
                       const std::function<void()>& job)>
        RunWithProgress;
    // Shows a new label in the running progress window.
    std::function<void(TrpReport* report, const std::string& label)> ProgressLabel;
};
// The hooks every report starts with; the window layer sets them once.
TrpWindowHooks& rpDefaultWindowHooks();
// The report component's template half: its pages, dictionary and the
// header values of its template stream.
class TrpReport : public TComponent {
public:
    explicit TrpReport(TComponent* owner);
    ~TrpReport() override;

    TrpContext& Context() { return *FContext; }

    // First step of every variable lookup: the application's answer.
    std::function<void(const std::string& name, Variant& value)> OnGetValue;
    // Last step of a function call no library and no built-in knows; p1..p3
    // carry the argument texts.
    std::function<void(const std::string& name, const Variant& p1, const Variant& p2, const Variant& p3, Variant& val)>
        OnUserFunction;
    // Before a view's text is evaluated and output.
    std::function<void(TStringList* memo, TrpView* view)> OnBeforePrint;
    // Around each output page, with its number.
    std::function<void(int pageNo)> OnBeginPage, OnEndPage;
    std::function<void()> OnBeginDoc, OnEndDoc;
    std::function<void(TrpBand*band)> OnBeginBand, OnEndBand;
    // Instead of the progress window, with the current page number.
    std::function<void(int n)> OnProgress;
    // Instead of the automatic band loop of a page.
    std::function<void(TrpPage* page)> OnManualBuild;
    std::function<void(TrpBand* band)> OnBeginColumn;
    std::function<void(int colNo, int& width)> OnPrintColumn;
    // Click on, and mouse over, an object of a prepared page.
    std::function<void(TrpView* view)> OnObjectClick;
    std::function<void(TrpView* view, TCursor& cursor)> OnMouseOverObject;

    std::unique_ptr<TrpPages> Pages;
    std::unique_ptr<TrpEMFPages> EMFPages;
    std::unique_ptr<TrpDataDictionary> Dictionary;
    TrpDataset* Dataset = nullptr;
    std::string PrinterName;
    uint16_t UseDefaultPrinter = 0;
    uint16_t TwoPass = 0;
    // Keep the template in the window definition as the binary "ReportForm".
    bool StoreInDFM = false;
    // False after prepared pages were loaded from a file.
    bool Rebuildable = true;
    TrpReportType ReportType = rtSimple;
    std::string Title;
    bool ShowProgress = true;
    bool PrintIfEmpty = true;
    bool TwoPassCopy = false;
    bool FinalPass = false;  // True during the last (or only) pass
    bool Stopped = false;    // stops the build at the next check
    TrpWindowHooks Windows = rpDefaultWindowHooks();

    // Preview and printing.
    bool GrayedButtons = false;
    bool ModalPreview = true;
    bool ModifyPrepared = true;
    bool MDIPreview = false;
    TrpPreviewButtons PreviewButtons = rpAllPreviewButtons & ~rpButton(pbPageSetup);
    TrpPreviewZoom InitialZoom = pzDefault;
    int DefaultCopies = 1;
    bool DefaultCollate = true;
    bool ShowPrintDialog = true;
    // The arguments of the print job running or last run.
    std::string PrintPageList;
    int PrintCopies = 1;
    bool PrintCollate = false;
    uint8_t PrintWhich = pwAll;
    TrpExportFilter* ExportFilter = nullptr;
    // After the printer document's title is set, before the document begins.
    std::function<void()> OnPrintReport;

    // Prints the prepared pages: the page list ("1,3,5-12"; empty for all),
    // copies, collation and which of the listed pages (TrpPrintWhich). A
    // failure aborts the printer document and is passed on.
    void PrintPreparedReport(const std::string& pageList, int copies, bool collate, int which);
    virtual void PrintPages(const std::string& pageList, int copies, bool collate, int which);
    // The 1-based page numbers of a page list, in order, within the prepared
    // pages; empty for an empty text (all pages). A piece that is not a
    // number raises EConvertError.
    std::vector<int> ParsePageNumbers(const std::string& pageList) const;
    // The prepared-page indexes a job prints, in the order they print: the
    // listed pages (all for an empty list) of the chosen parity, once per
    // collated copy.
    std::vector<int> PrintOrder(const std::string& pageList, int copies, bool collate, int which) const;
    // Selects the printer of newIndex and applies the template pages' paper to it.
    bool ChangePrinter(int oldIndex, int newIndex);
    // Exports the prepared pages through the filter into the file.
    void ExportTo(TrpExportFilter* filter, const std::string& fileName);

    // Builds the prepared pages: the template is saved first and reloaded
    // afterwards, so nothing a build changes in it lasts. False when the
    // build was cancelled or failed; a calculation error is shown and leaves
    // no pages.
    bool PrepareReport();
    // PrepareReport, then ShowPreparedReport.
    void ShowReport();
    void ShowPreparedReport();
    // One build pass over all template pages.
    virtual void BuildReport();
    // Frees the pages, clears the dictionary and the two-pass flag.
    void Clear();
    // The first view of any page with that name (case-insensitive).
    TrpView* FindObject(const std::string& name) const;
    // Loads a template. Raises ErpTemplateError "Unsupported RPF format" for a
    // damaged stream (leaving one empty page) and for a too-new one (leaving
    // the pages as they were), and ErpClassNotFound when add-in classes are
    // missing (their objects are skipped, the rest is loaded). Shows nothing:
    // the caller decides how to tell the user.
    void LoadFromStream(TStream* stream);
    void SaveToStream(TStream* stream);
    void SelectPrinter(const std::string& name);

    // The prepared-report file (".rpp"). Loading reads and checks the whole
    // file first; saving writes a temporary file beside the target and
    // renames it over the target, so a failed save leaves the old file.
    void LoadPreparedReport(const std::string& fileName);
    void SavePreparedReport(const std::string& fileName);
    // "ReportForm": an int32 24, then (with StoreInDFM) the template's length
    // and bytes. Read templates are loaded once the whole form is read.
    void DefineProperties(TFiler* filer) override;
    void Loaded() override;

    // Progress text with the page number (the OnProgress event, else the progress window).
    void ShowProgressText(int n);

    // Where the page output stands between the builds of composite members.
    struct TrpOutputState {
        int PageNo = 0;
        bool AppendPage = false, LastPageHasFooter = false;
        int SavedCurY = 0, SavedBottomY = 0;
        bool NextContinues = false;  // the member after the one building continues its last page
    } OutputState;

private:
    bool PrepareWithProgress();
    void DoBuildReport();
    std::string FProgressPrompt;
    std::unique_ptr<TrpContext> FContext;  // outlives Pages and Dictionary (see the destructor)
    void ReadReportForm(TStream* stream);
    void WriteReportForm(TStream* stream);
    std::unique_ptr<TMemoryStream> FStoredTemplate;
};

// A report that chains member reports into one output: each member builds
// into the composite's prepared pages, continuing on the last page when its
// first page prints on the previous one and the paper matches.
class TrpCompositeReport : public TrpReport {
public:
    using TrpReport::TrpReport;
    std::vector<TrpReport*> Reports;  // not owned
    void BuildReport() override;
};
