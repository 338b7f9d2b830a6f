"""Sound, heard without a sound card: the library's ALSA driver is pointed at
a file sink (an .asoundrc in a scratch HOME), so whatever the game plays
lands in a WAV file that sox measures.

  - the intro's tune is heard (the software MIDI synth finds patches.dat
    beside the executable);
  - with the music turned down, selecting a group is heard (the click) and
    a run without a selection is silent;
  - with both volumes at 0 in the settings file, nothing is heard.

Thresholds are far from the measured figures: a tune or a click is loud
(RMS of a few hundredths, peaks of tenths), silence is exactly 0.
"""

import os
import re
import shutil
import struct
import subprocess
import sys

from game import BIN, Game, capturing_home, check, fail, find_group, settings_bytes, start_display, until

start_display()
if shutil.which("sox") is None:
    print("no sox: cannot measure the captured sound")
    sys.exit(77)
if not os.path.isfile(os.path.join(os.path.dirname(BIN), "patches.dat")):
    fail("no patches.dat beside %s: the synth has no instruments" % BIN)

class CapturedGame(Game):
    """A run whose sound goes to <scratch>/capture.wav: the library reads
    $HOME/.asoundrc, and HOME points at a scratch folder."""

    def __init__(self, sample_volume, music_volume):
        self.home, self.capture = capturing_home()
        super().__init__(files={"zorbl.sav": settings_bytes(sample_volume, music_volume)}, env={"HOME": self.home})

    def quit(self):
        """Quits through the quit button and the Yes/No box, so the device is
        closed and the WAV header written."""
        code, err = super().quit()
        if code != 0:
            fail("quitting exited with code %d: %s" % (code, err[-1500:]))

    def sounds_for(self, seconds):
        """Waits until `seconds` more of sound have been captured: the
        library streams silence too, and the header with the byte rate comes
        first."""
        def captured():
            wav = open(self.capture, "rb").read() if os.path.isfile(self.capture) else b""
            return (len(wav) - 44) / struct.unpack("<I", wav[28:32])[0] if len(wav) >= 44 else 0.0
        start = captured()
        until(lambda: captured() >= start + seconds, 30, "%.1f s more of captured sound" % seconds)

    def kill(self):
        """Stops the game at once, before anything else can sound."""
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()

    def measure(self):
        """(RMS, peak) of everything captured. A killed game never writes the
        WAV sizes: they are set from the file's length first."""
        if not os.path.isfile(self.capture):
            fail("the game wrote no capture: did it open the ALSA device?\n"
                 + self.proc.stderr.read().decode(errors="replace")[-2000:])
        with open(self.capture, "rb") as f:
            wav = bytearray(f.read())
        if len(wav) < 44 or wav[0:4] != b"RIFF" or wav[36:40] != b"data":
            fail("the capture is not a WAV file (%d bytes)" % len(wav))
        data = len(wav) - 44
        data -= data % 4
        wav[4:8] = struct.pack("<I", 36 + data)
        wav[40:44] = struct.pack("<I", data)
        fixed = os.path.join(self.home, "measured.wav")
        with open(fixed, "wb") as f:
            f.write(wav[:44 + data])
        stat = subprocess.run(["sox", fixed, "-n", "stat"], capture_output=True, text=True).stderr
        rms = re.search(r"RMS\s+amplitude:\s+(\S+)", stat)
        peak = re.search(r"Maximum amplitude:\s+(\S+)", stat)
        length = re.search(r"Length \(seconds\):\s+(\S+)", stat)
        if not (rms and peak and length):
            fail("sox could not measure the capture:\n" + stat)
        print("capture: %.1f s, RMS %s, peak %s" % (float(length.group(1)), rms.group(1), peak.group(1)))
        if float(length.group(1)) < 1.0:
            fail("the capture holds under a second of sound")
        return float(rms.group(1)), float(peak.group(1))

    def stop(self):
        super().stop()
        shutil.rmtree(self.home, ignore_errors=True)


def run(sample_volume, music_volume, intro_seconds=0.0, select=False, clean_quit=False):
    game = CapturedGame(sample_volume, music_volume)
    try:
        game.wait_for_window()
        game.sounds_for(intro_seconds)
        board = game.start()
        if select:
            cell = next((c, r) for r in range(8) for c in range(10) if len(find_group(board, c, r)) >= 2)
            game.press_cell(*cell)
            game.park_pointer()
        # The last cue lands well within this much more sound.
        game.sounds_for(1.5)
        if clean_quit:
            game.quit()
        else:
            game.kill()
        return game.measure()
    finally:
        game.stop()


# The tune through the intro. Samples are off, so the quit button's cues add
# nothing, and the game is quit through its own buttons.
rms, peak = run(sample_volume=0, music_volume=255, intro_seconds=4.0, clean_quit=True)
check(rms > 0.005, "the intro's tune is heard (RMS %.4f)" % rms)

# Music off, samples full: silent without a selection, a click with one. The
# game is killed so that the quit button's own cues don't sound.
rms_quiet, peak_quiet = run(sample_volume=255, music_volume=0)
check(peak_quiet < 0.01, "with the music off and nothing pressed, nothing is heard (peak %.4f)" % peak_quiet)
rms_click, peak_click = run(sample_volume=255, music_volume=0, select=True)
check(peak_click > 0.05, "selecting a group is heard (peak %.4f, RMS %.4f)" % (peak_click, rms_click))
check(rms_click > rms_quiet, "the click adds to the silence (RMS %.4f against %.4f)" % (rms_click, rms_quiet))

# Both volumes at 0: the tune and a selection's click are both silent.
rms, peak = run(sample_volume=0, music_volume=0, intro_seconds=2.0, select=True)
check(rms < 0.001 and peak < 0.01, "with both volumes at 0 nothing is heard (RMS %.4f, peak %.4f)" % (rms, peak))
