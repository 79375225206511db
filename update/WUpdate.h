#pragma once
// The update window: the running version, and what the information page
// offers, checked when the window is first activated in a showing; a Retrieve
// button appears when the offer is newer. The network work is the main
// window's web info-file component's.

#include <functional>
#include <string>

#include "Forms.h"
#include "StdCtrls.h"

class TWebFileInfo;

class TfrmUpdate : public TForm {
public:
    // Reads the window from its definition (resources/forms/WUpdate.txt). Info is
    // the component that does the checking; CenterForm places the window over the
    // main window.
    TfrmUpdate(TComponent* AOwner, const std::string& Definition, TWebFileInfo* Info,
               std::function<void(TForm*)> CenterForm);
    ~TfrmUpdate() override;

    void FormCreate(TObject* Sender);
    // The activation handler and the Check button's.
    void CheckUpdate(TObject* Sender);
    // The offered version (lblVersion) is newer than the running one.
    bool IsUpdateAvailable() const;
    void RetrieveUpdate(TObject* Sender);
    void CloseUpdateCenter(TObject* Sender);
    void FormClose(TObject* Sender, TCloseAction& Action);
    void FormDestroy(TObject* Sender);

    TControl* btnCheckForUpdate = nullptr;
    TControl* btnRetrieveUpdate = nullptr;
    TControl* btnClose = nullptr;
    TLabel* lblApplicationName = nullptr;
    TLabel* lblCurrentVersion = nullptr;
    TLabel* lblCurrentCompileDate = nullptr;
    TLabel* lblUpdateStatus = nullptr;
    TLabel* lblVersion = nullptr;
    TLabel* lblDate = nullptr;
    TLabel* lblReadMe = nullptr;
    TLabel* lblURL = nullptr;

protected:
    void DoShow() override;

private:
    TWebFileInfo* FInfo;
    std::function<void(TForm*)> FCenterForm;
    bool FActivationChecked = false;  // the automatic check ran in this showing
    bool FChecking = false;
};

extern TfrmUpdate* frmUpdate;

// Registers the window's class for window definitions; safe to call more than once.
void RegisterUpdateWindowClasses();
