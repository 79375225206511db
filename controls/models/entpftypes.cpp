#include "entpftypes.h"

#include "entmsgs.h"

std::string ErrorCodeText(uint16_t code, const std::string& controllerErrorText) {
    if (code >= efeUserFirst) return controllerErrorText;
    if (code >= efeRangeError && code <= efePartialEntry)
        return LookupMessageText(SEntRangeError + (code - efeRangeError));
    return LookupMessageText(SEntEntryError);
}
