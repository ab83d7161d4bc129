#!/bin/sh
# Makes the sounds that the win tests load: tones from sox, encoded by lame.
#   tone.mp3      1 s of 440 Hz, 44.1 kHz stereo, 128 kbit/s
#   tone-id3.mp3  the same behind a 3 KB ID3v2 tag
#   tone-vbr.mp3  1 s of 1 kHz, 22.05 kHz mono, variable bit rate
#   tone-wav.mp3  a WAV file under an MP3 name
#   Media/*.mp3   the five cues as setup loads them (Back loops)
#   sink.conf     an ALSA configuration whose default device writes sink.wav
set -eu
out=$1
mkdir -p "$out/Media"
cd "$out"
tone() { sox -n -r "$1" -c "$2" -b 16 "$3" synth "$4" sine "$5" gain -6; }
tone 44100 2 tone.wav 1.0 440
lame --quiet -b 128 tone.wav tone.mp3
lame --quiet -b 128 --add-id3v2 --pad-id3v2-size 3000 --tt "Test tone" tone.wav tone-id3.mp3
tone 22050 1 tone22.wav 1.0 1000
lame --quiet -V 2 tone22.wav tone-vbr.mp3
cp tone.wav tone-wav.mp3
tone 44100 2 back.wav 2.0 220
lame --quiet -b 128 back.wav Media/Back.mp3
for cue in Ok:0.3:880 Error:0.4:330 Present:0.4:660 ScrShot:0.2:1320; do
    IFS=: read -r name length freq <<END
$cue
END
    tone 44100 2 cue.wav "$length" "$freq"
    lame --quiet -b 128 cue.wav "Media/$name.mp3"
done
rm -f back.wav cue.wav tone22.wav
cat > sink.conf <<END
</usr/share/alsa/alsa.conf>
pcm.!default {
    type file
    slave.pcm "null"
    file "$PWD/sink.wav"
    format "wav"
}
END
touch stamp
