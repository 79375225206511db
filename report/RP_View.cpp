// The view classes the object factory creates for the object types.

#include "RP_View.h"

void rpRegisterStandardViews() {
    // A type that has a class already (a stand-in of a test) keeps it.
    auto registerType = [](uint8_t type, TrpViewFactory create) {
        TrpViewFactory previous = rpRegisterViewType(type, create);
        if (previous) rpRegisterViewType(type, previous);
    };
    registerType(gtMemo, [] { return new TrpMemoView; });
}
