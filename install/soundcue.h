// SoundCue: one sound of the installer, silent until loaded.
#pragma once

class SoundCue {
public:
    bool load(const char* path, bool loop);
    void play();
    void stop();
    void release();
};

// The five cues, in the order of their construction.
extern SoundCue cueBack;
extern SoundCue cuePresent;
extern SoundCue cueOk;
extern SoundCue cueError;
extern SoundCue cueScrShot;
