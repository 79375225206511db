// The view classes the object factory creates for the object types.

#include "RP_View.h"

bool rpSetNamedFlag(std::span<const TrpFlagName> table, const std::string& upperName, const Variant& value,
                    uint16_t& flags) {
    for (const TrpFlagName& f : table)
        if (upperName == f.Name) {
            bool on = !value.IsNull() && !value.IsEmpty() && value.AsBoolean();
            flags = on ? uint16_t(flags | f.Bit) : uint16_t(flags & ~f.Bit);
            return true;
        }
    return false;
}

bool rpGetNamedFlag(std::span<const TrpFlagName> table, const std::string& upperName, uint16_t flags, Variant& value) {
    for (const TrpFlagName& f : table)
        if (upperName == f.Name) {
            value = (flags & f.Bit) != 0;
            return true;
        }
    return false;
}

void rpRegisterStandardViews() {
    // A type that has a class already (a stand-in of a test) keeps it.
    auto registerType = [](uint8_t type, TrpViewFactory create) {
        TrpViewFactory previous = rpRegisterViewType(type, create);
        if (previous) rpRegisterViewType(type, previous);
    };
    registerType(gtMemo, [] { return new TrpMemoView; });
    registerType(gtBand, [] { return new TrpBandView; });
    registerType(gtLine, [] { return new TrpLineView; });
    registerType(gtPicture, [] { return new TrpPictureView; });
    static const bool jpegRegistered = [] {
        RegisterGraphicClass(rpClassNameOf<TrpJPEGImage>(), ".jpg", [] { return new TrpJPEGImage; });
        return true;
    }();
    (void)jpegRegistered;
    registerType(gtSubReport, [] { return new TrpSubReportView; });
}
