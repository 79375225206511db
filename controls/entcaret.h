#pragma once
// The carets of an entry field: a caret describes a shape, a pair holds one
// for insert and one for overtype mode and shows the current one through the
// system caret, placed within the character cell by the caret's alignment.

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "Classes.h"
#include "Graphics.h"

class TWinControl;

enum TEntCaretShape { csBlock, csHalfBlock, csVertLine, csHorzLine, csCustom, csBitmap };
enum TEntCaretAlign { caLeft, caTop, caRight, caBottom, caCenter };

// A caret shape, shared by the fields that assign it to each other; each
// holder listens for its changes.
class TEntCaret : public TPersistent {
public:
    TEntCaret();
    ~TEntCaret() override;

    TEntCaretShape GetShape() const { return FShape; }
    // Also sets the alignment and size that suit the shape.
    void SetShape(TEntCaretShape Value);
    TEntCaretAlign GetAlign() const { return FAlign; }
    void SetAlign(TEntCaretAlign Value);
    int GetCaretHeight() const { return FCaretHeight; }
    void SetCaretHeight(int Value);  // taken only when at least 1
    int GetCaretWidth() const { return FCaretWidth; }
    void SetCaretWidth(int Value);  // taken only when at least 1
    // Milliseconds, 0 the system's.
    uint16_t GetBlinkTime() const { return FBlinkTime; }
    void SetBlinkTime(uint16_t Value);
    bool GetIsGray() const { return FIsGray; }
    void SetIsGray(bool Value);
    TBitmap* GetBitmap() const { return FBitmap.get(); }
    void SetBitmap(TBitmap* Value);  // copied
    int GetBitmapHotSpotX() const { return FHotSpotX; }
    void SetBitmapHotSpotX(int Value);
    int GetBitmapHotSpotY() const { return FHotSpotY; }
    void SetBitmapHotSpotY(int Value);

    void Assign(TPersistent* Source) override;

    // Holders are told after every change.
    void AddListener(const void* Holder, TNotifyEvent Listener);
    void RemoveListener(const void* Holder);

private:
    void Changed();
    // A bitmap caret takes the size of a bitmap it has.
    void FitBitmap();
    TEntCaretShape FShape = csVertLine;
    TEntCaretAlign FAlign = caLeft;
    int FCaretHeight = 10;
    int FCaretWidth = 2;
    uint16_t FBlinkTime = 0;
    bool FIsGray = false;
    std::unique_ptr<TBitmap> FBitmap;
    int FHotSpotX = 0;
    int FHotSpotY = 0;
    std::vector<std::pair<const void*, TNotifyEvent>> FListeners;
};

// One caret shown in a control's window through the system caret.
class TEntSingleCaret : public TPersistent {
public:
    // A negative coordinate hides the caret off the window; the layer adds the
    // caret's size to it, so it is far away but cannot overflow.
    static constexpr int OffPosition = 1 << 30;

    explicit TEntSingleCaret(TWinControl* AOwner);
    ~TEntSingleCaret() override;

    TWinControl* OwnerControl() const { return FOwner; }
    std::shared_ptr<TEntCaret> GetCaret() const { return FCaret; }
    // Takes a shape (shared with whoever else holds it).
    void SetCaret(std::shared_ptr<TEntCaret> Value);

    int GetCellHeight() const { return FCellHeight; }
    int GetCellWidth() const { return FCellWidth; }
    // Each taken only when at least 1.
    void SetCellSize(int Height, int Width);

    // Creates the system caret in the owner's window, or destroys it.
    void Link();
    void Unlink();
    bool Linked() const { return FLinked; }
    bool GetVisible() const { return FVisible; }
    void SetVisible(bool Value);
    void Show() {
        Link();
        SetVisible(true);
    }
    void Hide() {
        SetVisible(false);
        Unlink();
    }

    void SetPosition(int X, int Y);
    int PosX() const { return FPosX; }
    int PosY() const { return FPosY; }

    // The current geometry: caret size and its offset within the cell.
    int CaretWidthNow() const { return FWidthNow; }
    int CaretHeightNow() const { return FHeightNow; }
    int OffsetX() const { return FOffsetX; }
    int OffsetY() const { return FOffsetY; }

protected:
    // Recomputes the geometry; recreates the system caret while linked.
    void CaretChanged();
    void Recompute();
    void PlaceSystemCaret();
    std::shared_ptr<TEntCaret> FCaret;

private:
    TWinControl* FOwner;
    int FCellHeight = 10;
    int FCellWidth = 10;
    bool FLinked = false;
    bool FVisible = false;
    int FPosX = 0;
    int FPosY = 0;
    int FWidthNow = 2;
    int FHeightNow = 10;
    int FOffsetX = 0;
    int FOffsetY = 0;
    unsigned FSavedBlinkTime = 0;
};

// The insert and overtype carets of a field; the insert mode picks the current one.
class TEntCaretPair : public TEntSingleCaret {
public:
    explicit TEntCaretPair(TWinControl* AOwner);
    ~TEntCaretPair() override;

    TEntCaret* CaretIns() const { return FCaretIns.get(); }
    TEntCaret* CaretOvr() const { return FCaretOvr.get(); }
    // Shares Value's caret: both fields see later changes of it.
    void SetCaretIns(const std::shared_ptr<TEntCaret>& Value);
    void SetCaretOvr(const std::shared_ptr<TEntCaret>& Value);
    std::shared_ptr<TEntCaret> SharedCaretIns() const { return FCaretIns; }
    std::shared_ptr<TEntCaret> SharedCaretOvr() const { return FCaretOvr; }

    bool GetInsertMode() const { return FInsertMode; }
    // Switches the current caret; a shown caret is made again in the new shape.
    void SetInsertMode(bool Value);

private:
    std::shared_ptr<TEntCaret> FCaretIns;
    std::shared_ptr<TEntCaret> FCaretOvr;
    bool FInsertMode = true;
};
