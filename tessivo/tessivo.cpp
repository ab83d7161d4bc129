// The engine object: device set-up and loading sounds.
#include "tessivo/tessivo.h"

#include "tessivo/decoder.h"
#include "tessivo/mixer.h"
#include "tessivo/output.h"

namespace tessivo {

Tessivo::Tessivo() : mixer(new Mixer()), output(nullptr) {}

Tessivo::~Tessivo() {
    // The output goes first: its thread is the one that walks the voices.
    delete output;
    delete mixer;
}

ErrCode Tessivo::init(DeviceType device, int sampleRate, int flags) {
    if (device != DEVICE_WAVEOUT || sampleRate != OUTPUT_RATE || flags != 0) return ERR_INVALID_ARGUMENT;
    if (output) return ERR_OK;
    Output* opened = new Output(*mixer);
    if (!opened->open()) {
        delete opened;
        return ERR_NO_DEVICE;
    }
    output = opened;
    return ERR_OK;
}

ErrCode Tessivo::getSoundClass(SoundClass soundClass, const MPEGParams* params, Sound** sound) {
    if (soundClass != SOUND_MPEG || !params || !sound || !params->fileName || params->version != MPEGParams::VERSION ||
        params->loadMode != MPEGParams::DECODE_IN_MEMORY || params->loop > 1)
        return ERR_INVALID_ARGUMENT;
    if (!output) return ERR_NOT_INITIALISED;
    Samples samples;
    const ErrCode loaded = loadMpegFile(params->fileName, samples);
    if (loaded != ERR_OK) return loaded;
    *sound = mixer->addVoice(std::move(samples), params->loop == 1);
    return ERR_OK;
}

}  // namespace tessivo
