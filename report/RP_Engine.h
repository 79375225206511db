#pragma once
// The band engine: run-time bands, the page builder that turns a template
// page into output pages, and the page engine of one build, which the
// report installs in its context while it prepares.

#include <array>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "RP_Class.h"
#include "RP_Context.h"
#include "RP_DSet.h"
#include "RP_Pars.h"
#include "RP_StdLib.h"
#include "RP_View.h"

enum : uint8_t {
    btReportTitle = 0,
    btReportSummary = 1,
    btPageHeader = 2,
    btPageFooter = 3,
    btMasterHeader = 4,
    btMasterData = 5,
    btMasterFooter = 6,
    btDetailHeader = 7,
    btDetailData = 8,
    btDetailFooter = 9,
    btSubDetailHeader = 10,
    btSubDetailData = 11,
    btSubDetailFooter = 12,
    btOverlay = 13,
    btColumnHeader = 14,
    btColumnFooter = 15,
    btGroupHeader = 16,
    btGroupFooter = 17,
    btCrossHeader = 18,
    btCrossData = 19,
    btCrossFooter = 20,
    btChild = 21,
    btNone = 22,
    rpBandTypeCount = 23,
};

inline bool rpIsDataBand(int type) { return type == btMasterData || type == btDetailData || type == btSubDetailData; }

class TrpPageBuilder;
class TrpPageEngine;

// One band as the page engine prints it.
class TrpBand : public TObject, public TrpAggregateBand {
public:
    TrpBand(uint8_t type, TrpPageBuilder* parent);
    ~TrpBand() override;

    TrpPageBuilder* Parent;
    TrpBandView* View = nullptr;
    uint16_t Flags = 0;
    std::unique_ptr<TrpBand> NextOwned;  // further bands of the type, by y
    TrpBand* Next = nullptr;
    TrpBand* Prev = nullptr;
    TrpBand *NextGroup = nullptr, *PrevGroup = nullptr, *FirstGroup = nullptr, *LastGroup = nullptr;
    TrpBand* ChildBand = nullptr;
    TrpBand* AggregateSource = nullptr;
    TrpBand *Header = nullptr, *Footer = nullptr, *DataBand = nullptr;
    int LineNo = 1, LineThroughNo = 1;
    Variant LastGroupValue;
    TrpVariables Values;
    int Count = 0;
    // Records since each showing band last reset its values: a page footer's
    // reset must not shorten the report summary's average.
    std::map<std::string, int> ShownCounts;
    // The same per cross column: "column\x01BANDNAME" of the entries held per column.
    std::map<std::string, int> ColumnCounts;
    int Records = 0;  // all records aggregated in this build
    // Set while the aggregates of a cell in the cross data band are declared:
    // their entries are held per cross column.
    bool DeclaringCrossCell = false;
    bool Repeating = false;
    int CalculatedHeight = -1;
    int ColumnNo = 1, ColumnStartX = 0;
    bool SkipScript = false, KeepCurY = false;
    int x = 0, y = 0, dx = 0, dy = 0, MaxDY = 0;
    uint8_t Typ;
    std::string Name;
    bool PrintIfSubsetEmpty = false, NewPageAfter = false, Stretched = false, Breaked = false,
         PrintChildIfInvisible = false, Visible = true;
    std::vector<TrpView*> Objects;  // owned by the template page
    TrpDataset* DataSet = nullptr;
    bool OwnsDataSet = false;
    // Horizontal bands some of whose objects lie in cross bands print a
    // cell per cross record beside their own objects.
    bool HasCross = false;
    TrpDataset* CrossDataSet = nullptr;
    bool OwnsCrossDataSet = false;
    int CrossColumns = 0;        // cross data band: the most records it has printed
    std::string GroupCondition;  // postfix
    bool EndOfData = false;
    int ForceNewPage = 0, ForceNewColumn = 0;
    // On a page printed as a subreport a band that needs the host's next
    // page stops part way and hands itself to the host; drawn again, it goes
    // on where it stopped: with its own subreports, or with its child band.
    bool Suspended = false, ChildWaiting = false;
    std::vector<TrpPageBuilder*> PendingSubReports;  // formed and still playing
    std::vector<bool> SubFinished;                   // per pending subreport
    bool SubReportsWaiting() const { return !PendingSubReports.empty(); }

    // Prints one instance at the page's position; true when it did not fit
    // (or, in a subreport, waits for the host's next page).
    bool Draw();
    // Links the band and its view and takes the view's place, size, flags and name.
    void TakeView(TrpBandView* view);
    void SetDataSource(const std::string& text);
    void FreeDataSet();
    void InitValues();
    // Adds the current record to the band's aggregates; with a cross column
    // (1, 2, ...) only to the entries held for that column.
    void DoAggregate(int crossColumn = 0);
    int CalcHeight();
    bool CheckPageBreak(int y, int height, bool pageBreak);
    bool Exists() const;

    // TrpAggregateBand
    std::string GetAggregateBandName() const override { return Name; }
    int GetAggregateBandType() const override { return Typ; }
    TrpVariables* GetAggregates() override { return &Values; }
    TrpAggregateBand* GetAccumulatingBand() const override;
    void SetAccumulatingBand(TrpAggregateBand* band) override { AggregateSource = dynamic_cast<TrpBand*>(band); }
    int GetAggregateCount(const std::string& showingBand) const override;
    bool KeysPerColumn() const override { return DeclaringCrossCell; }
    int CurrentColumn() const override;
    std::string CrossedBandName() const override { return AggregateSource ? AggregateSource->Name : std::string(); }

private:
    TrpContext& Context() const;
    void RunScript();
    void DrawBody();
    // The band printed as a subreport's waits for the host's next page.
    bool WaitsForHost() const;
    // False when the band holds no subreports; they print after the other objects.
    bool DrawObjects();
    // The page builder formed for a subreport view, or null when it prints nothing.
    TrpPageBuilder* FormSubReport(TrpSubReportView* view);
    // Plays the subreports formed for the views, or goes on with those
    // waiting since the band was handed to the host.
    void PlaySubReports(const std::vector<TrpSubReportView*>& views);
    void DrawCross();
    // Outputs the objects of cross band `cross` that lie in this band, at x.
    void DrawCrossCell(TrpBand* cross, int x);
    void DrawObject(TrpView* view);
    void DrawPageBreak();
    // The band's height for its current record: its own, or what its
    // stretchable objects need (the most any cross record needs).
    int MeasureHeight();
    int MeasureObjects();
    // The largest measured height over the cross records.
    int MeasureAcrossCrossRecords();
    // The cross records a band walks: the cross data band's own, else the band's.
    TrpDataset* CrossRecords(TrpBand* crossData) const;
};

// A template page while it is built: its bands and print position.
class TrpPageBuilder {
public:
    TrpPageBuilder(TrpPage* page, TrpPageEngine* engine);
    ~TrpPageBuilder();

    TrpPage* Page;
    TrpPageEngine* Engine;
    std::array<std::unique_ptr<TrpBand>, rpBandTypeCount> Bands;
    int CurColumn = 0, ColumnTopY = 0, XAdjust = 0;
    int Columns = 1, ColumnWidth = 0;
    int CrossColumnNo = 1, RecordNo = 1;
    TrpBand* LastBand = nullptr;
    bool PrintingSummary = false;
    // Objects that lie in a cross band, with that band.
    std::map<TrpView*, TrpBand*> CrossOf;
    int CurY = 0, CurBottomY = 0;
    int MaxLevel = 0;
    // The page prints inside a subreport view of another page: its page
    // breaks go to the host page, which starts the new pages.
    bool IsSubReport = false;
    TrpPageBuilder* Host = nullptr;
    int SubMaxY = 0;  // lowest bottom the subreports of the printing band reached

    TrpBand* Band(int type) const { return Bands[size_t(type)].get(); }
    TrpBand* FindBand(const std::string& name) const;
    int BottomEdge() const;  // less the page footer's height while building
    int ColumnFooterHeight() const;

    void CreateBands();
    void PrepareObjects();
    void BuildPage();
    void DoLoop(int level);
    void ShowBand(TrpBand* band);
    void ShowBandByType(int type) { ShowBand(Band(type & 127)); }
    void ShowBandByName(const std::string& name);
    void NewPage();
    void NewColumn(TrpBand* band);
    // A page printed inside a subreport view is first formed as a list of
    // records (show a band, first record, next record) and then played into
    // the host's output, so that several subreports of one band run side by
    // side and all go on together on the host's next page.
    enum TRecordAction { raShow = 0, raFirst = 1, raNext = 2 };
    // Each record keeps the line and record counters as the data loop left
    // them, so that bands played later read what a band printed at once reads.
    struct TRecord {
        TrpBand* Band;
        TRecordAction Action;
        int LineNo, LineThroughNo, RecordNo;
    };
    bool Recording = false;
    std::vector<TRecord> Records;
    size_t PlayIndex = 0;
    bool WantsRoom = false;  // a band waits for the host's next page
    // Forms this page's records, to be played at (x, y) of the host's page.
    void FormSubReport(TrpPageBuilder* host, int x, int y);
    // Plays from PlayIndex; false when a band waits for the host's next page.
    bool PlayRecords();
    // Goes on at the top of the host's new page.
    void ContinueOnHostPage();
    // Forgets the records and the host, and what its bands left waiting.
    void EndPlay();
    // A page added for the columns of a cross-tab row past the right edge:
    // it starts as every new page does, and the row goes on at its y.
    void AddCrossTabPage();
    // Footers of every prepared page written since the last one.
    void FinishPage(bool footerOnFirstPage);

    // A band that does not fit and must not move prints where it is, clipped:
    // while a new page or column is being started (its headers), and on a
    // page or column that holds nothing but what starts it. So no page
    // build runs without end.
    bool CannotMove() const { return FBreaking > 0 || AtPageStart(); }
    bool Breaking() const { return FBreaking > 0; }
    bool AtPageStart() const;

private:
    void PrintStack();
    void Record(TrpBand* band, TRecordAction action);
    // Whether a subreport view of another page of the report shows this one.
    bool ShownInSubReport() const;
    void RegisterAggregates(TrpBand* band);
    void MarkPageStart();
    std::vector<TrpBand*> FStack;
    int FBreaking = 0;
    int FStartY = 0;
    bool FSummaryHidesColumnFooter = false;
};

// The page engine of one build: the state shared by every page of the
// report, and the answers the context asks of it.
class TrpPageEngine : public TrpPageEngineLink {
public:
    explicit TrpPageEngine(TrpReport* report);
    ~TrpPageEngine() override;

    TrpReport* Report;
    TrpContext& Context;
    // The prepared pages written: the outermost report's (a composite
    // report's members all write into the composite's pages).
    TrpEMFPages* Pages;
    int PageNo = 0;
    bool AppendPage = false, LastPageHasFooter = false;
    int SavedCurY = 0, SavedBottomY = 0;
    bool PreparingAggregates = false;
    TrpBand* AggregateDataBand = nullptr;
    TrpPageBuilder* Current = nullptr;
    std::vector<std::unique_ptr<TrpPageBuilder>> Builders;  // per template page
    std::vector<TrpPage*> SubReportPages;                   // pages printing as subreports, outermost first

    TrpPageBuilder* BuilderOf(TrpPage* page);
    void ShowProgress(int pageNo);
    void RecordError(const std::exception& e);

    // TrpPageEngineLink
    bool Declaring() override { return PreparingAggregates; }
    TrpAggregateBand* ShowingBand() override;
    TrpAggregateBand* PreparedBand() override { return AggregateDataBand; }
    TrpAggregateBand* FindBand(const std::string& name) override;
    TrpAggregateBand* FindDataBand(int type) override;
    bool GetSystemValue(const std::string& name, Variant& value) override;
    bool GetPageValue(const std::string& name, Variant& value) override;
    void DoReportProcedure(const std::string& name, const Variant& p1) override;
    // A dialog page's script answering mrCancel (2) cancels the build.
    void SetModalResult(int modalResult) override;
    bool InDialogPage = false;
    void SetCurY(int y) override;
    void ShowProgress(const std::string& text) override;
    void AlignToBand(TrpView* view) override;
};
