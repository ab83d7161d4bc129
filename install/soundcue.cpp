// The sound cues and the audio engine they share.
//
// Cues are played from the main thread and, through message boxes, from the
// installation worker, while the sounds are released on the main thread. One
// lock orders these, so no play can reach a sound that is being freed.
#include "soundcue.h"

#include <mutex>

#include "tessivo/tessivo.h"

namespace {
// Constructed before and destroyed after the cues below (same file, earlier).
std::mutex cueLock;
}  // namespace

tessivo::Tessivo* audioEngine = nullptr;

SoundCue cueBack;
SoundCue cuePresent;
SoundCue cueOk;
SoundCue cueError;
SoundCue cueScrShot;

SoundCue::~SoundCue() { release(); }

bool SoundCue::load(const char* path, bool loop) {
    std::lock_guard<std::mutex> hold(cueLock);
    if (!audioEngine) {
        audioEngine = new tessivo::Tessivo();
        if (audioEngine->init(tessivo::DEVICE_WAVEOUT, 44100, 0) != tessivo::ERR_OK) {
            delete audioEngine;
            audioEngine = nullptr;
            return false;
        }
    }
    tessivo::MPEGParams params = {};
    params.version = tessivo::MPEGParams::VERSION;
    params.fileName = path;
    params.loop = loop ? 1 : 0;
    params.loadMode = tessivo::MPEGParams::DECODE_IN_MEMORY;
    return audioEngine->getSoundClass(tessivo::SOUND_MPEG, &params, &handle) == tessivo::ERR_OK;
}

void SoundCue::play() {
    std::lock_guard<std::mutex> hold(cueLock);
    if (handle) handle->play();
}

void SoundCue::stop() {
    std::lock_guard<std::mutex> hold(cueLock);
    if (handle) handle->stop();
}

void SoundCue::release() {
    std::lock_guard<std::mutex> hold(cueLock);
    if (audioEngine && handle) {
        handle->release();
        handle = nullptr;
    }
}

void releaseAllSounds() {
    for (SoundCue* cue : {&cueBack, &cueOk, &cueError, &cuePresent, &cueScrShot}) cue->release();
    std::lock_guard<std::mutex> hold(cueLock);
    delete audioEngine;
    audioEngine = nullptr;
}
