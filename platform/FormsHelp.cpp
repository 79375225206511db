// Context help: the help cursor, and the next mouse press answered with help
// about the control it falls on instead of reaching that control.

#include "Forms.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPointer>
#include <QWidget>

namespace {

// The control of Form under a point of the screen, graphic controls included.
TControl* ControlAt(TForm* Form, const QPoint& Global) {
    QWidget* widget = QApplication::widgetAt(Global);
    TWinControl* owner = nullptr;
    for (QWidget* w = widget; w && !owner; w = w->parentWidget()) owner = TWinControl::FromWidget(w);
    if (!owner || GetParentForm(owner) != Form) return nullptr;
    TPoint local = owner->ScreenToClient(TPoint{Global.x(), Global.y()});
    TControl* inner = owner->ControlAtPos(local, true);
    return inner ? inner : owner;
}

}  // namespace

// Sees every input event of the application while a form is in context help.
class TContextHelpFilter : public QObject {
public:
    TContextHelpFilter(TForm* Form, std::function<void(TControl*)> Clicked)
        : FForm(Form), FClicked(std::move(Clicked)) {}

protected:
    bool eventFilter(QObject* Watched, QEvent* Event) override {
        switch (Event->type()) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonDblClick: {
            if (FDone || !Watched->isWidgetType()) return false;
            Finish(ControlAt(FForm, static_cast<QMouseEvent*>(Event)->globalPosition().toPoint()));
            return true;
        }
        case QEvent::MouseButtonRelease:
            if (!FDone || !Watched->isWidgetType()) return false;
            // The release of the press that ended the mode goes nowhere either.
            Leave();
            return true;
        case QEvent::KeyPress:
            if (FDone || static_cast<QKeyEvent*>(Event)->key() != Qt::Key_Escape) return false;
            Finish(nullptr);
            Leave();
            return true;
        default: return false;
        }
    }

private:
    void Finish(TControl* Clicked) {
        // The filter stays for the release; the form is out of context help now.
        FDone = true;
        TForm* form = FForm;
        std::function<void(TControl*)> clicked = std::move(FClicked);
        form->FContextHelp = nullptr;
        if (Screen) Screen->SetCursor(crDefault);
        GuardedCall(form, [&] { clicked(Clicked); });
    }

    void Leave() {
        QApplication::instance()->removeEventFilter(this);
        deleteLater();
    }

    TForm* FForm;
    std::function<void(TControl*)> FClicked;
    bool FDone = false;
};

void TForm::BeginContextHelp(std::function<void(TControl* Clicked)> Clicked) {
    EndContextHelp();
    auto* filter = new TContextHelpFilter(this, std::move(Clicked));
    QApplication::instance()->installEventFilter(filter);
    FContextHelp = filter;
    if (Screen) Screen->SetCursor(crHelp);
}

void TForm::EndContextHelp() {
    if (!FContextHelp) return;
    delete FContextHelp;
    FContextHelp = nullptr;
    if (Screen) Screen->SetCursor(crDefault);
}

void TForm::ShowContextPopup(TControl* Clicked) {
    for (TControl* c = Clicked; c; c = c->GetParent())
        if (c->HelpContext != 0) {
            if (Application) Application->HelpCommand(HELP_CONTEXTPOPUP, c->HelpContext);
            return;
        }
}
