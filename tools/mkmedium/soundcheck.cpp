// The sound cues' check: every cue holds MPEG Layer III audio that decodes.
#include "tools/mkmedium/soundcheck.h"

#include "mediumcatalogue.h"
#include "tessivo/mpegaudio.h"

#include <cstdio>

namespace fs = std::filesystem;

void checkSounds(const fs::path& mediaFolder, MediumReport& report) {
    for (const medium::Cue* cue : medium::CUES) {
        const std::string name = shownName(cue->file);
        const fs::path path = mediaFolder / fs::path(name).filename();
        std::error_code ec;
        std::string bytes;
        if (!fs::is_regular_file(path, ec)) {
            report.problems.push_back(name + ": is missing. Add the sound as an MP3 file.");
            continue;
        }
        if (fs::file_size(path, ec) > MaxMediaFileBytes || !readWholeFile(path, bytes)) {
            report.problems.push_back(name + ": cannot be read or is far too large for a sound cue.");
            continue;
        }
        tessivo::MpegStream stream;
        if (!tessivo::parseMpegStream(reinterpret_cast<const uint8_t*>(bytes.data()), bytes.size(), stream)) {
            report.problems.push_back(name +
                                      ": holds no complete MPEG Layer III audio, so setup cannot play it. "
                                      "Export it again as an MP3 file.");
            continue;
        }
        const double seconds = double(stream.frameCount) * stream.samplesPerFrame / stream.sampleRate;
        char line[160];
        std::snprintf(line, sizeof line, "%s: %.2f s of MP3 audio, %d Hz, %s.", name.c_str(), seconds,
                      stream.sampleRate, stream.channels == 1 ? "mono" : "stereo");
        report.notes.push_back(line);
    }
}
