#pragma once
// The engine's small windows: the print dialog, the progress window that
// runs a build or print job inside its modal loop, and the preview's search
// window.

#include <exception>
#include <functional>
#include <string>

#include "ExtCtrls.h"
#include "Forms.h"
#include "StdCtrls.h"

class TrpReport;
class TrpSpeedButton;

// A component an engine window's definition must hold; EComponentError when it lacks it.
template <class T>
T* rpNeedComponent(TComponent* owner, const char* name) {
    auto* c = dynamic_cast<T*>(owner->FindComponent(name));
    if (!c) throw EComponentError(std::string("The engine window's definition lacks ") + name);
    return c;
}

class TrpPrintForm : public TForm {
public:
    TrpPrintForm(TComponent* owner, const std::string& definition);

    TGroupBox *GroupBox1, *GroupBox2, *GroupBox3;
    TComboBox *CB1, *CB2;
    TButton *PropButton, *Button1, *Button2;
    TEdit *E1, *E2;
    TCheckBox* CollateCB;
    TRadioButton *RB1, *RB2, *RB3;
    TLabel *Label1, *Label2, *Label3, *Label4, *Label5;
    TrpSpeedButton *rpSpeedButton1, *rpSpeedButton2;
    TPaintBox* PB1;
    TImage *Image1, *CollateImg, *NonCollateImg;
    int OldIndex = 0;  // the printer selected when the dialog opened

    // The number of copies asked for; EConvertError when the field holds no number.
    int Copies() const;

    void CB1Change(TObject* sender);
    void PropButtonClick(TObject* sender);
    void CopiesUp(TObject* sender);
    void CopiesDown(TObject* sender);
    void E2Enter(TObject* sender);
    void RB3Click(TObject* sender);
    void Label3Click(TObject* sender);
    void CollateCBClick(TObject* sender);
    // The collate picture: two sets of pages 1-2-3, or the pages 1-1, 2-2, 3-3.
    void PB1Paint(TObject* sender);
    // A printer of the list: its icon and its name.
    void CB1DrawItem(TWinControl* control, int index, TRect rect, TOwnerDrawState state);
    // OK is taken only with copies a whole number of at least 1 and a page
    // list that reads; otherwise the error is shown and the dialog stays.
    void FormCloseQuery(TObject* sender, bool& canClose);
    void FormDeactivate(TObject* sender);
};

class TrpProgressForm : public TForm {
public:
    TrpProgressForm(TComponent* owner, const std::string& definition);

    TLabel *Label1, *Label2;
    TButton* Button1;
    TrpReport* Report = nullptr;
    TNotifyEvent OnWork;

    // Shows the window modally and runs OnWork inside its loop. The job ends
    // the window through its modal result. A job that raises closes the
    // window and the error is raised again to the caller.
    int ShowAndRun(TrpReport* report);
    void Button1Click(TObject* sender);

protected:
    void WndProc(TMessage& message) override;

private:
    std::exception_ptr FError;
};

class TrpPreviewSearchForm : public TForm {
public:
    TrpPreviewSearchForm(TComponent* owner, const std::string& definition);

    TLabel* Label1;
    TEdit* Edit1;
    TGroupBox *GroupBox1, *GroupBox2;
    TCheckBox* CB1;
    TRadioButton *RB1, *RB2;
    TButton *Button1, *Button2;

    void FormActivate(TObject* sender);
};

// The print dialog's check of a page list: EConvertError for a piece that is no number.
void rpCheckPageList(const std::string& pageList);
