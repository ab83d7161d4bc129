// The toolkit's click cue on Win32: the installer's Ok cue, restarted so that a
// quick second click is heard again. Kept in a file of its own so that only
// programs with buttons need the sound cues.
#include "guiplatform.h"
#include "soundcue.h"

void platformClickCue() {
    cueOk.stop();
    cueOk.play();
}
