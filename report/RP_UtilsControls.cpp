// Helpers of the engine's windows: enabling groups of controls and finding
// the control under a point.

#include "Controls.h"
#include "RP_Utils.h"
#include "TypInfo.h"

namespace {

bool ShowsGreyWhenDisabled(TControl* c) {
    const TClassInfo* info = ClassInfoOf(c);
    if (!info) return false;
    return info->InheritsFrom("TCustomLabel") || info->InheritsFrom("TLabel") || info->InheritsFrom("TCustomEdit") ||
           info->InheritsFrom("TEdit");
}

}  // namespace

void EnableControls(const std::vector<TControl*>& controls, bool enabled) {
    for (TControl* c : controls) {
        if (!c) continue;
        c->SetEnabled(enabled);
        if (ShowsGreyWhenDisabled(c)) c->GetFont()->SetColor(enabled ? clWindowText : clGrayText);
    }
}

TControl* ControlAtPos(TWinControl* parent, TPoint point) {
    if (!parent) return nullptr;
    for (int i = parent->ControlCount() - 1; i >= 0; --i) {
        TControl* c = parent->Controls(i);
        if (!c || !c->GetVisible() || !c->BoundsRect().Contains(point)) continue;
        auto* win = dynamic_cast<TWinControl*>(c);
        if (win && win->ControlCount() > 0) {
            TControl* inner = ControlAtPos(win, TPoint{point.X - c->GetLeft(), point.Y - c->GetTop()});
            if (inner) return inner;
        }
        return c;
    }
    return nullptr;
}
