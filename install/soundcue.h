// SoundCue: one sound of the installer, played through the tessivo engine.
// A cue that failed to load, or whose engine is gone, is silent.
#pragma once

namespace tessivo {
class Sound;
class Tessivo;
}  // namespace tessivo

class SoundCue {
public:
    SoundCue() = default;
    ~SoundCue();  // releases the sound while the engine exists
    SoundCue(const SoundCue&) = delete;
    SoundCue& operator=(const SoundCue&) = delete;

    // Loads the MP3 file at path (relative to setup's folder), creating the
    // engine first when there is none. False leaves the cue silent.
    bool load(const char* path, bool loop);
    void play();
    void stop();
    void release();

private:
    tessivo::Sound* handle = nullptr;
};

// Releases every cue and shuts the audio engine down; the cues stay silent
// for the rest of the process. Runs on the main thread.
void releaseAllSounds();

// The audio engine: created by the first load, null before that, after a
// failed start and after releaseAllSounds.
extern tessivo::Tessivo* audioEngine;

// The five cues, in the order of their construction.
extern SoundCue cueBack;
extern SoundCue cuePresent;
extern SoundCue cueOk;
extern SoundCue cueError;
extern SoundCue cueScrShot;
