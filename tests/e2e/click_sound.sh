# A button click in setup is heard: Wine's waveOut plays through ALSA, here
# into a file sink. setup runs twice on the welcome screen for the same time,
# once left alone (the Back loop only) and once with a click on install; above
# the loop's low chords, the click run holds one burst of the Ok cue's high
# tick, about as long as the cue, and the quiet run holds none.
source "$(dirname "$0")/lib.sh"

medium=$(fresh_medium click_sound)
sink_dir="$QUILL_E2E_WORK/click_sound-sink"
rm -rf "$sink_dir"
mkdir -p "$sink_dir"

# Records what setup plays while the given steps run on the welcome screen;
# the device is closed, and the file complete, when setup has ended.
record() {
    local wav="$sink_dir/$1.wav"
    cat >"$sink_dir/sink.conf" <<END
</usr/share/alsa/alsa.conf>
pcm.!default {
    type file
    slave.pcm "null"
    file "$wav"
    format "wav"
}
END
    ALSA_CONFIG_PATH="$sink_dir/sink.conf" start_setup "$medium"
    find_panel
    sleep 1.5
    "$2"
    sleep 1.5
    driver close __INSTALL_WND__
    expect_exit 0
    [ -s "$wav" ] || fail "the sink wrote nothing in the $1 run: Wine did not play through ALSA"
}

stay() { :; }
click_install() { click_panel 100 206; }

# The sink's samples as text, one frame a line, above 1 kHz. The sink writes
# a 44-byte WAV header whose sizes stay unset, so the data is read as raw
# after the format fields are checked.
high_samples() {
    [ "$(od -An -j22 -N14 -tu2 "$1" | tr -s ' ')" = " 2 44100 0 45328 2 4 16" ] ||
        fail "$1 is not 16-bit stereo at 44.1 kHz"
    tail -c +45 "$1" | sox -V1 -t raw -r 44100 -e signed -b 16 -c 2 - -t dat - sinc 1000
}

# The lengths, in frames, of the stretches where 10 ms windows of the left
# channel above 1 kHz peak over a tenth of full scale. The Back loop lies below
# 400 Hz; the Ok cue is a tick at 1318.5 Hz.
high_bursts() {
    high_samples "$1" | awk '
        /^;/ { next }
        { v = $2 < 0 ? -$2 : $2; if (v > peak) peak = v; n++ }
        n == 441 {
            if (peak > 0.1) run += n; else if (run) { print run; run = 0 }
            n = 0; peak = 0
        }
        END { if (run) print run }'
}

record quiet stay
record click click_install

quiet=$(high_bursts "$sink_dir/quiet.wav")
[ -z "$quiet" ] || fail "high sound without a click: $quiet"
frames=$(( ($(stat -c %s "$sink_dir/click.wav") - 44) / 4 ))
echo "click run: $frames frames in the sink"
(( frames > 3 * 44100 )) || fail "the sink holds only $frames frames; the Back loop did not play"
bursts=$(high_bursts "$sink_dir/click.wav")
[ "$(wc -w <<<"$bursts")" = 1 ] || fail "expected one burst of the Ok cue, found: ${bursts:-none}"
echo "Ok cue heard for $bursts frames"
# The cue is a 0.07 s tick (3087 frames) fading out: heard loudly for about
# that long, give or take three 10 ms windows.
(( bursts >= 3087 - 1323 && bursts <= 3087 + 1323 )) || fail "the Ok cue sounded for $bursts frames"
echo "click_sound: ok"
