#pragma once
// A label that opens its web address with the desktop's handler when clicked
// and shows a hover colour while the mouse is over it.

#include <memory>
#include <string>

#include "Controls.h"
#include "StdCtrls.h"
#include "entbase.h"

class TEntURL : public TLabel {
public:
    static constexpr unsigned HoverInterval = 100;  // ms

    explicit TEntURL(TComponent* AOwner);
    ~TEntURL() override;

    std::string About() const { return EntVersionText; }
    // The shown text is the caption, or the address while the caption is empty.
    std::string GetURL() const { return FURL; }
    void SetURL(const std::string& Value);
    // clNone keeps the current font colour.
    TColor GetHighlightColor() const { return FHighlightColor; }
    void SetHighlightColor(TColor Value);
    bool GetUnderlineURL() const;
    void SetUnderlineURL(bool Value);
    bool UseVisitedColor = false;
    // Stored only with UseVisitedColor; clNone keeps the current font colour.
    TColor GetVisitedColor() const { return FVisitedColor; }
    void SetVisitedColor(TColor Value);

    // Opens the address (beeps when the desktop refuses), then OnClick.
    void Click() override;
    // One tick of the hover timer: the colour comes back once the mouse has left.
    void HoverTimerTick();
    bool Hovering() const;

protected:
    std::string GetLabelText() const override;
    void MouseMove(TShiftState Shift, int X, int Y) override;
    void CMMouseEnter(TMessage& Message) override;
    void CMMouseLeave(TMessage& Message) override;

private:
    // Outside every colour value: no colour saved.
    static constexpr int64_t NoSavedColor = -1;
    std::string FURL;
    TColor FHighlightColor = clRed;
    TColor FVisitedColor = clBlack;
    int64_t FSavedColor = NoSavedColor;
    bool FPointerInside = false;
    std::unique_ptr<TTimer> FHoverTimer;
};
