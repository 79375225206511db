#pragma once
// Wave playback through the sound system (ALSA, which the desktop's sound
// server stands behind). One sound plays at a time per player; playing
// asynchronously runs on a worker thread that never outlives the player.

#include <memory>
#include <string>

class TWavePlayer {
public:
    TWavePlayer();
    ~TWavePlayer();
    TWavePlayer(const TWavePlayer&) = delete;
    TWavePlayer& operator=(const TWavePlayer&) = delete;

    enum class TMode { Wait, Async, Loop };
    // Plays the bytes of a RIFF/WAVE file of PCM samples (8, 16, 24 or 32
    // bits). Wait returns when the sound has ended; Async and Loop return at
    // once, Loop repeating until Stop. False, with Error, when the data is no
    // playable wave or the sound system refuses it.
    bool Play(const std::string& Wave, TMode Mode, std::string& Error);
    // Ends the current sound; waits for its thread.
    void Stop();
    bool Playing() const;

    // The sound device ("default" unless set; tests use "null").
    static void SetDevice(const std::string& Name);

private:
    struct TImpl;
    std::unique_ptr<TImpl> FImpl;
};
