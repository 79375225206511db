#include "Sound.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <atomic>
#include <cstring>
#include <mutex>
#include <thread>
#include <vector>

namespace {

std::mutex gDeviceLock;
std::string gDevice = "default";

std::string Device() {
    std::lock_guard<std::mutex> guard(gDeviceLock);
    return gDevice;
}

uint32_t Le32(const unsigned char* p) { return p[0] | p[1] << 8 | p[2] << 16 | uint32_t(p[3]) << 24; }
uint16_t Le16(const unsigned char* p) { return uint16_t(p[0] | p[1] << 8); }

struct TWave {
    snd_pcm_format_t Format = SND_PCM_FORMAT_UNKNOWN;
    unsigned Channels = 0, Rate = 0, FrameBytes = 0;
    std::string Samples;
};

// The format and sample chunks of a RIFF/WAVE file; false with the reason.
bool ParseWave(const std::string& Data, TWave& W, std::string& Error) {
    const auto* d = reinterpret_cast<const unsigned char*>(Data.data());
    if (Data.size() < 12 || std::memcmp(d, "RIFF", 4) != 0 || std::memcmp(d + 8, "WAVE", 4) != 0) {
        Error = "Not a wave file";
        return false;
    }
    bool haveFormat = false;
    for (size_t at = 12; at + 8 <= Data.size();) {
        const uint32_t size = Le32(d + at + 4);
        const size_t body = at + 8;
        if (size > Data.size() - body) {
            Error = "Wave chunk of " + std::to_string(size) + " bytes at " + std::to_string(at) + " runs past the end";
            return false;
        }
        if (std::memcmp(d + at, "fmt ", 4) == 0 && size >= 16) {
            const unsigned tag = Le16(d + body), bits = Le16(d + body + 14);
            W.Channels = Le16(d + body + 2);
            W.Rate = Le32(d + body + 4);
            if (tag != 1 && tag != 0xFFFE) {
                Error = "Wave data is compressed (format " + std::to_string(tag) + ")";
                return false;
            }
            switch (bits) {
            case 8: W.Format = SND_PCM_FORMAT_U8; break;
            case 16: W.Format = SND_PCM_FORMAT_S16_LE; break;
            case 24: W.Format = SND_PCM_FORMAT_S24_3LE; break;
            case 32: W.Format = SND_PCM_FORMAT_S32_LE; break;
            default: Error = "Unsupported sample size " + std::to_string(bits); return false;
            }
            if (W.Channels == 0 || W.Rate == 0) {
                Error = "Wave format without channels or rate";
                return false;
            }
            W.FrameBytes = W.Channels * (bits / 8);
            haveFormat = true;
        } else if (std::memcmp(d + at, "data", 4) == 0) {
            if (!haveFormat) {
                Error = "Wave samples before their format";
                return false;
            }
            W.Samples = Data.substr(body, size - size % W.FrameBytes);
            return true;
        }
        at = body + size + (size & 1);
    }
    Error = haveFormat ? "Wave file without samples" : "Wave file without a format";
    return false;
}

}  // namespace

struct TWavePlayer::TImpl {
    std::thread Thread;
    std::atomic<bool> Stop{false};
    std::atomic<bool> Playing{false};

    // Plays W once or until stopped; false when the device refuses.
    bool Run(const TWave& W, bool Loop, std::string& Error) {
        snd_pcm_t* pcm = nullptr;
        int err = snd_pcm_open(&pcm, Device().c_str(), SND_PCM_STREAM_PLAYBACK, 0);
        if (err >= 0)
            err = snd_pcm_set_params(pcm, W.Format, SND_PCM_ACCESS_RW_INTERLEAVED, W.Channels, W.Rate, 1, 200000);
        if (err < 0) {
            Error = snd_strerror(err);
            if (pcm) snd_pcm_close(pcm);
            return false;
        }
        const snd_pcm_uframes_t frames = W.Samples.size() / W.FrameBytes;
        do {
            for (snd_pcm_uframes_t done = 0; done < frames && !Stop;) {
                const snd_pcm_uframes_t chunk = std::min<snd_pcm_uframes_t>(frames - done, 4096);
                snd_pcm_sframes_t n = snd_pcm_writei(pcm, W.Samples.data() + done * W.FrameBytes, chunk);
                if (n < 0) n = snd_pcm_recover(pcm, int(n), 1);
                if (n < 0) {
                    Error = snd_strerror(int(n));
                    Stop = true;
                    break;
                }
                done += snd_pcm_uframes_t(n);
            }
        } while (Loop && !Stop);
        if (Stop)
            snd_pcm_drop(pcm);
        else
            snd_pcm_drain(pcm);
        snd_pcm_close(pcm);
        return Error.empty();
    }
};

TWavePlayer::TWavePlayer() : FImpl(std::make_unique<TImpl>()) {}

TWavePlayer::~TWavePlayer() { Stop(); }

void TWavePlayer::SetDevice(const std::string& Name) {
    std::lock_guard<std::mutex> guard(gDeviceLock);
    gDevice = Name.empty() ? "default" : Name;
}

bool TWavePlayer::Playing() const { return FImpl->Playing; }

void TWavePlayer::Stop() {
    FImpl->Stop = true;
    if (FImpl->Thread.joinable()) FImpl->Thread.join();
    FImpl->Stop = false;
    FImpl->Playing = false;
}

bool TWavePlayer::Play(const std::string& Wave, TMode Mode, std::string& Error) {
    auto wave = std::make_shared<TWave>();
    if (!ParseWave(Wave, *wave, Error)) return false;
    Stop();
    if (Mode == TMode::Wait) return FImpl->Run(*wave, false, Error);
    // The device is opened here, so that a refusal is reported to the caller.
    snd_pcm_t* probe = nullptr;
    const int err = snd_pcm_open(&probe, Device().c_str(), SND_PCM_STREAM_PLAYBACK, SND_PCM_NONBLOCK);
    if (err < 0) {
        Error = snd_strerror(err);
        return false;
    }
    snd_pcm_close(probe);
    FImpl->Playing = true;
    FImpl->Thread = std::thread([impl = FImpl.get(), wave, loop = Mode == TMode::Loop] {
        std::string ignored;
        impl->Run(*wave, loop, ignored);
        impl->Playing = false;
    });
    return true;
}
