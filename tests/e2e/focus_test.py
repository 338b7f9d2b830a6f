"""Under a real window manager (openbox), a game whose window loses the
focus to another window, or is minimised, rests: no frame is shown and the
game's random generator takes no draw meanwhile, although a group is
selected and shakes (a draw each frame) while the player looks. When the
window has the focus again it goes on where it was: the same board, the
same group selected, and the generator's draws following on from the last
one before, in order, none skipped."""

import os
import shutil
import struct
import subprocess
import tempfile
import time

import game as harness
from game import BIN, Game, check, largest_group, screenshot, settle_traditional, soon, start_display, until

for tool in ("openbox", "wmctrl", "xlogo"):
    if shutil.which(tool) is None:
        print("no %s: the focus test needs a window manager and another window" % tool)
        raise SystemExit(77)

start_display("1024x768")
# openbox runs its start-up command once it manages the display: a window
# mapped before then would stay unmanaged.
ready = os.path.join(tempfile.mkdtemp(prefix="zorbl-e2e-wm-"), "ready")
manager = subprocess.Popen(["openbox", "--startup", "touch " + ready], stdout=subprocess.DEVNULL,
                           stderr=subprocess.DEVNULL)
until(lambda: os.path.exists(ready), 10, "openbox to start")


def counters_of(pid):
    """A reader of the running game's own counters, from its memory, without
    stopping or slowing it: (frames shown, the generator's state, its draws)."""
    symbols = subprocess.run(["nm", "-C", "-l", BIN], capture_output=True, text=True, check=True).stdout
    at = {}
    for line in symbols.splitlines():
        fields = line.split("\t")[0].split(None, 2)
        if len(fields) == 3 and (fields[2] == "frames_presented" or "random.cpp" in line):
            at[fields[2].split("::")[-1]] = int(fields[0], 16)
    binary = os.path.realpath(BIN)
    with open("/proc/%d/maps" % pid) as maps:
        base = int(next(f for f in (m.split() for m in maps) if f[-1] == binary)[0].split("-")[0], 16)
    mem = os.open("/proc/%d/mem" % pid, os.O_RDONLY)
    value = lambda name, size, form: struct.unpack(form, os.pread(mem, size, base + at[name]))[0]
    return lambda: (value("frames_presented", 8, "<Q"), value("state", 4, "<I"), value("draws", 8, "<Q"))


def advanced(state, draws):
    """The generator's state after that many more draws."""
    for _ in range(draws):
        state = (state * 214013 + 2531011) & 0xFFFFFFFF
    return state


def resting_while(counters, doing):
    """Once no frame has been shown for half a second, the counters stand
    still for two more seconds, and so does the picture."""
    looks = [counters()]
    until(lambda: time.sleep(0.5) or looks.append(counters()) or looks[-1][0] == looks[-2][0], 10,
          "the game to stop showing frames")
    frames, state, draws = looks[-1]
    shot = screenshot()
    time.sleep(2)
    check(counters() == (frames, state, draws) and screenshot() == shot,
          "%s: no frame shown and no draw taken in two seconds" % doing)
    return state, draws


def goes_on(counters, state, draws, board, doing):
    until(lambda: counters()[2] > draws + 10, 10, "the game to draw again")
    _, state_now, draws_now = counters()
    check(state_now == advanced(state, draws_now - draws),
          "%s: the generator goes on from its last draw (%d draws later)" % (doing, draws_now - draws))
    # The window manager may still be restoring the window (openbox animates
    # it) when the game draws again: the picture is waited for, not taken once.
    check(game.board_becomes(board, 5) == board, "%s: the same board" % doing)


other = None
game = Game()
try:
    game.wait_for_window(pointer=False)
    # The window manager frames the window (a title bar above it, so not at
    # y 0); the picture stands where its client area is (xdotool counts the
    # frame twice there; xwininfo does not).
    def client_origin():
        out = subprocess.run(["xwininfo", "-id", game.window], capture_output=True, text=True).stdout
        return tuple(int(out.split("Absolute upper-left %s:" % axis)[1].split()[0]) for axis in "XY")
    seen = []
    harness.origin = soon(lambda: seen.append(client_origin()) or seen[-1][1] > 0 and seen[-1], 10)
    check(bool(harness.origin), "openbox frames the window (its client area at %s)" % (seen[-1],))
    harness.scale = 2
    game.wait_for_window()
    board = game.start()
    counters = counters_of(game.proc.pid)
    group = largest_group(board)
    game.press_cell(*min(group))
    game.park_pointer()
    start = counters()[2]
    until(lambda: counters()[2] > start + 20, 10, "the selected group to shake")

    other = subprocess.Popen(["xlogo"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    until(lambda: subprocess.run(["wmctrl", "-a", "xlogo"]).returncode == 0, 10, "another window to take the focus")
    state, draws = resting_while(counters, "another window has the focus")
    subprocess.run(["xdotool", "windowactivate", game.window], check=True)
    goes_on(counters, state, draws, board, "the focus back")

    subprocess.run(["xdotool", "windowminimize", game.window], check=True)
    state, draws = resting_while(counters, "minimised")
    subprocess.run(["xdotool", "windowactivate", game.window], check=True)
    goes_on(counters, state, draws, board, "shown again")

    expected = settle_traditional(board, group)
    game.pop(group)
    check(game.board_becomes(expected) == expected, "the group selected before is popped, as it would have been")
finally:
    game.stop()
    if other is not None:
        other.kill()
    manager.kill()
