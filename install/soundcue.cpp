// The sound cues. Until the audio engine is wired in, every cue stays silent.
#include "soundcue.h"

SoundCue cueBack;
SoundCue cuePresent;
SoundCue cueOk;
SoundCue cueError;
SoundCue cueScrShot;

bool SoundCue::load(const char*, bool) { return false; }
void SoundCue::play() {}
void SoundCue::stop() {}
void SoundCue::release() {}
void releaseAllSounds() {}
