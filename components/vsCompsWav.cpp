// Wave playback.

#include "vsComps.h"

TvsWav::TvsWav(TComponent* AOwner) : TvsCustomFileStorage(AOwner) {}

TvsWav::~TvsWav() { Stop(); }

bool TvsWav::Play() {
    if (OnPlayBefore) OnPlayBefore(this);
    const bool ok = false;
    if (OnPlayAfter) OnPlayAfter(this);
    return ok;
}

void TvsWav::Stop() {}
