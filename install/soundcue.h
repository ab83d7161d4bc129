// SoundCue: one sound of the installer, silent until loaded.
#pragma once

class SoundCue {
public:
    bool load(const char* path, bool loop);
    void play();
    void stop();
    void release();
};

// Releases every cue and shuts the audio engine down; the cues stay silent
// for the rest of the process. Runs on the main thread.
void releaseAllSounds();

// The five cues, in the order of their construction.
extern SoundCue cueBack;
extern SoundCue cuePresent;
extern SoundCue cueOk;
extern SoundCue cueError;
extern SoundCue cueScrShot;
