#pragma once
// The preview window: the prepared pages on a grey surface, zoom, paging,
// scrolling, text search, print, page set-up, open and save of prepared
// reports, and clicks on report objects passed to the report's events.

#include <functional>
#include <string>

#include "Dialogs.h"
#include "ExtCtrls.h"
#include "Forms.h"
#include "Menus.h"
#include "RP_Class.h"
#include "StdCtrls.h"

class TgrGraphicButton;
class TrpPreviewForm;

// Where the engine's windows find their definitions ("forms/rpPreview.txt"
// and its kin); the program points it at its embedded resources.
using TrpFormSource = std::function<std::string(const std::string& name)>;
TrpFormSource& rpFormSource();

// The zoom the last preview used, carried to the next one in this run.
extern double rpLastScale;
extern int rpLastScaleMode;

// The page surface.
class TrpPBox : public TCustomControl {
public:
    TrpPBox(TComponent* owner, TrpPreviewForm* form);
    TrpPreviewForm* const Form;
    bool Down = false, DblClicked = false;
    int LastX = 0, LastY = 0;
    int ClickedPage = 0;  // 1-based; 0 for none

    void Paint() override;
    void MouseDown(TMouseButton button, TShiftState shift, int x, int y) override;
    void MouseMove(TShiftState shift, int x, int y) override;
    void MouseUp(TMouseButton button, TShiftState shift, int x, int y) override;
    void DblClick() override;
};

enum TrpScaleMode { smFixed = 0, smPageWidth = 1, smWholePage = 2, smTwoPages = 3 };

class TrpPreviewForm : public TForm {
public:
    TrpPreviewForm(TComponent* owner, const std::string& definition);
    ~TrpPreviewForm() override;

    TPanel* ToolPanel;  // "TPanel", the toolbar strip
    TPanel *Panel1, *PreviewPanel, *RPanel, *BPanel;
    TgrGraphicButton *ZoomBtn, *LoadBtn, *SaveBtn, *PrintBtn, *PageSetupBtn, *FindBtn, *HelpBtn, *ExitBtn, *PgUp,
        *PgDown;
    TScrollBox* ScrollBox1;
    TScrollBar *VScrollBar, *HScrollBar;
    TLabel* Label1;
    TBevel* Bevel1;
    TPopupMenu* ProcMenu;
    TMenuItem *N1, *N2, *N3, *N4, *N5, *N6, *N7;
    TOpenDialog* OpenDialog;
    TSaveDialog* SaveDialog;

    TrpReport* Report = nullptr;
    TrpEMFPages* EMFPages = nullptr;  // the pages while the preview holds them
    TrpPBox* PaintBox = nullptr;
    int CurPage = 1;
    int OffsetX = 0, OffsetY = 0, LastHPos = 0, LastVPos = 0;
    double Scale = 1.0;
    int ScaleMode = smFixed;
    bool PaintAllowed = false;
    std::string FindText;
    bool CaseSensitive = false, Found = false;
    TRect FoundRect;
    int FindPage = 0, FindPos = 0;
    std::string SavedHelpFile;
    int WheelFactor = 1;
    // The columns of the last layout.
    int Columns = 1;

    // Shows the report's prepared pages (modal when the report says so).
    void Show(TrpReport* report);
    void Connect(TrpReport* report);
    void Disconnect();
    void SetButtons();
    void InitPreview(bool resetPosition);
    void LayoutPages();
    void ShowPageNum();
    void SetToCurPage();
    void FindInText();
    int PageCount() const { return EMFPages ? EMFPages->Count() : 0; }

    // Commands of the toolbar, the keyboard and the menu.
    void ZoomBtnClick(TObject* sender);
    void ZoomItemClick(TObject* sender);
    void LoadBtnClick(TObject* sender);
    void SaveBtnClick(TObject* sender);
    void PrintBtnClick(TObject* sender);
    void PageSetupBtnClick(TObject* sender);
    void FindBtnClick(TObject* sender);
    void HelpBtnClick(TObject* sender);
    void ExitBtnClick(TObject* sender);
    void PgUpClick(TObject* sender);
    void PgDownClick(TObject* sender);
    void FormKeyDown(TObject* sender, Word& key, TShiftState shift);
    void FormMouseWheel(TObject* sender, TShiftState shift, int delta, TPoint pos, bool& handled);
    void VScrollBarChange(TObject* sender);
    void HScrollBarChange(TObject* sender);
    void PreviewPanelResize(TObject* sender);

    // Runs a command that may fail: its error is shown once and the preview stays whole.
    void Guarded(const std::function<void()>& command);

protected:
    // Dialog keys do nothing here: arrows and Tab go on to the key handler.
    void CMDialogKey(TWMKey& message) override {}

private:
    void FormCreate(TObject* sender);
    void FormActivate(TObject* sender);
    void FormDeactivate(TObject* sender);
    void FormClose(TObject* sender, TCloseAction& action);
    void MarkZoomItem();
    void SaveFormPosition();
    void Reconnect(bool reset);
};

// Installs the engine's windows (preview, progress) and the printer layer
// as what every new report uses.
void rpInstallWindows();
