// Wave playback.

#include "vsComps.h"

#include "ClassesIO.h"
#include "Sound.h"

TvsWav::TvsWav(TComponent* AOwner) : TvsCustomFileStorage(AOwner), FPlayer(std::make_unique<TWavePlayer>()) {}

TvsWav::~TvsWav() { Stop(); }

bool TvsWav::Playing() const { return FPlayer->Playing(); }

bool TvsWav::Play() {
    if (OnPlayBefore) OnPlayBefore(this);
    bool ok = false;
    std::string wave;
    switch (FPlayFrom) {
    case pfFile: ok = !GetFileName().empty() && classes_io::ReadFileBytes(GetFileName(), wave); break;
    case pfDFM:
        wave.assign(reinterpret_cast<const char*>(Data()->Memory()), size_t(DataSize()));
        ok = !wave.empty();
        break;
    // The program carries no sound resources, and the desktop's event sounds
    // are no wave files: neither has anything to play here.
    case pfResource:
    case pfSystemEvent: break;
    }
    if (ok && FNoStopSound && FPlayer->Playing()) ok = false;
    if (ok) {
        const auto mode =
            FLooped ? TWavePlayer::TMode::Loop : (FAsyncPlay ? TWavePlayer::TMode::Async : TWavePlayer::TMode::Wait);
        ok = FPlayer->Play(wave, mode, FLastError);
        FLooping = ok && FLooped;
    } else {
        FLastError = "Nothing to play";
    }
    if (OnPlayAfter) OnPlayAfter(this);
    return ok;
}

void TvsWav::Stop() {
    FPlayer->Stop();
    FLooping = false;
}

void TvsWav::Changed() {
    if (!FLooping || !FPlayer->Playing()) return;
    Stop();
    Play();
}
