#pragma once
// The editing model of a picture field: caret, selection, insert and
// overtype, the editing commands of the command tables, typed characters and
// pastes through the mask rules, increment and decrement, and the focus-gain
// and focus-loss steps that touch the text. It works on the field's
// TEntPictureFieldModel and knows no key event, window or painter; the
// control turns keys into command codes and pixels into character indexes,
// and acts on what each call returns (OnChange, beep, focus move).

#include <cstdint>
#include <string>

#include "entpfmodel.h"

// The controller's entry options the editing follows (TEntController::EntryOptions).
struct TEntEditSettings {
    bool AutoAdvanceChar = false;
    bool AutoAdvanceLeftRight = false;
    bool AutoAdvanceUpDown = false;
    bool AutoSelect = true;
    bool BeepOnError = true;
    bool InsertPushes = true;
};

enum TEntAdvance { adNone, adNext, adPrevious };

struct TEntEditResult {
    bool TextChanged = false;  // the control marks itself changed and fires OnChange
    bool Beep = false;         // only when the settings ask for beeps
    TEntAdvance Advance = adNone;
};

// Enabled items of the field's context menu.
struct TEntEditMenuState {
    bool Restore = false, Cut = false, Copy = false, Paste = false, Delete = false, SelectAll = false;
};

class TEntPictureEditor {
public:
    // Installs itself as the model's OnPut listener.
    explicit TEntPictureEditor(TEntPictureFieldModel& model);
    TEntPictureEditor(const TEntPictureEditor&) = delete;
    TEntPictureEditor& operator=(const TEntPictureEditor&) = delete;

    TEntEditSettings Settings;
    // Insert (true) or overtype; the control shares it with the controller
    // unless efoForceInsert or efoForceOvertype fixes it.
    bool InsertMode = true;
    bool Modified = false;      // changed since the focus gain or the last put
    bool EverModified = false;  // also set by setting the modify state; cleared by a put
    bool DesignTime = false;

    int Caret() const { return FCaret; }
    int SelStart() const { return FSelStart; }
    int SelEnd() const { return FSelEnd; }
    bool HasSelection() const { return FSelStart != FSelEnd; }
    std::string SelectedText() const;
    bool ReformatNeeded() const { return FCleaned; }
    bool PendingLiteral() const { return FPendingLiteral; }
    bool HasSavedText() const { return FHasSaved; }

    // Any command code of the command tables (typed characters go to TypeChar,
    // pastes to Paste). ccUndo acts as ccRestore; ccCopy changes nothing
    // (the control puts SelectedText on the clipboard), ccCut deletes the
    // selection after the control has copied it.
    TEntEditResult Execute(uint16_t command);
    TEntEditResult TypeChar(char ch);
    TEntEditResult Paste(const std::string& text);
    // Mouse commands take the character boundary the control found under the mouse.
    TEntEditResult Click(int index, bool shift);
    // The numeric clean-up a mouse command works on; run before the control
    // turns the mouse position into a character index.
    void PrepareForMouse();
    TEntEditResult Drag(int index);
    TEntEditResult DoubleClick(int index);

    // The edit-control selection message: start 65535 selects nothing, 0 to
    // 65535 (or -1) everything, otherwise the range when start <= end.
    void SetSelection(int start, int end);
    void SelectAll();
    TEntEditMenuState MenuState(bool clipboardHasText) const;

    // Focus gain: unless transient, clear Modified (when not left with an
    // error) and save the text for ccRestore; place the caret unless the
    // focus came from a click; a field that is not transient is selected
    // whole when selectAll (the controller's efoAutoSelect) is set.
    void BeginEdit(bool transient, bool leftWithError, bool fromClick, bool selectAll);
    // The same, selecting all by Settings.AutoSelect.
    void BeginEdit(bool transient, bool leftWithError, bool fromClick) {
        BeginEdit(transient, leftWithError, fromClick, Settings.AutoSelect);
    }
    // Focus loss, first step: the digits are aligned at the point when the
    // mask has one and the field holds a value.
    void AlignOnExit();
    // Focus loss, last step: unless the place is kept, a cleaned numeric text
    // is formatted again and the caret goes to the first position.
    void EndEdit(bool keepPlace);
    // Caret after a put, as on entry; clears the modified flags.
    void AfterPut();
    // The position the caret takes on entry: the end of the text with
    // efoCaretToEnd, else the first position.
    int EntryCaret() const;

    // Positions of the edit text (characters the user edits: picture and
    // semi-literal positions).
    int FirstPosition() const;
    int LastPosition() const;
    int EndOfText() const;

private:
    using Text = std::string;
    int Length() const { return static_cast<int>(FModel.Text().size()); }
    bool IsEditable(int pos) const;
    int NextPos(int pos) const;  // next editable after pos, LastPosition() + 1 when none
    int PrevPos(int pos) const;  // previous editable before pos, -1 when none
    void Segment(int pos, int& first, int& last) const;
    char MaskCharFor(int pos) const;
    bool Accepts(int pos, char& ch) const;
    bool IsWordStart(const Text& s, int pos) const;

    void PrepareForCommand(uint16_t command, bool typedChar = false);
    void BeginTextChange();
    bool SetText(const Text& s);
    void DeleteRange(Text& s, int from, int to) const;
    void DeleteSelection(TEntEditResult& r);
    bool InsertAt(Text& s, int pos, char ch) const;
    void MoveCaret(int pos, bool extend);
    void Collapse();
    bool RefusedWhenReadOnly(uint16_t command) const;
    TEntEditResult Refuse() const;
    void StepValue(int delta, TEntEditResult& r);
    TEntEditResult ExecuteCharField(uint16_t command);
    void CompleteDateTime(TEntEditResult& r);

    TEntPictureFieldModel& FModel;
    int FCaret = 0;
    int FSelStart = 0;
    int FSelEnd = 0;
    int FAnchor = 0;
    bool FPendingLiteral = false;
    bool FCleaned = false;  // cleaned for editing: format again on exit
    bool FHasSaved = false;
    bool FSelectionDeleted = false;  // within one command
    TEntPictureFieldModel::TTextState FSaved;
};
