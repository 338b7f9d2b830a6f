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
import time

import game as harness
from game import BIN, Game, check, find_group, largest_group, screenshot, settle_traditional, start_display, until

for tool in ("openbox", "wmctrl", "xlogo"):
    if shutil.which(tool) is None:
        print("no %s: the focus test needs a window manager and another window" % tool)
        raise SystemExit(77)

start_display("1024x768")
manager = subprocess.Popen(["openbox"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
until(lambda: subprocess.run(["wmctrl", "-m"], capture_output=True).returncode == 0, 10, "openbox to start")


class Counters:
    """Reads the running game's own counters from its memory, without
    stopping or slowing it: the frames shown, and the generator's state and
    number of draws (src/board/random.cpp)."""

    def __init__(self, pid):
        symbols = subprocess.run(["nm", "-C", "-l", BIN], capture_output=True, text=True, check=True).stdout
        self.offsets = {}
        for line in symbols.splitlines():
            fields = line.split("\t")[0].split(None, 2)
            if len(fields) < 3:
                continue
            name = fields[2]
            if name == "frames_presented":
                self.offsets["frames"] = int(fields[0], 16)
            elif "random.cpp" in line and name.endswith("::state"):
                self.offsets["state"] = int(fields[0], 16)
            elif "random.cpp" in line and name.endswith("::draws"):
                self.offsets["draws"] = int(fields[0], 16)
        binary = os.path.realpath(BIN)
        with open("/proc/%d/maps" % pid) as maps:
            first = next(f for f in (line.split() for line in maps) if len(f) >= 6 and f[5] == binary)
        self.base = int(first[0].split("-")[0], 16)
        self.mem = os.open("/proc/%d/mem" % pid, os.O_RDONLY)

    def read(self):
        frames = struct.unpack("<Q", os.pread(self.mem, 8, self.base + self.offsets["frames"]))[0]
        state = struct.unpack("<I", os.pread(self.mem, 4, self.base + self.offsets["state"]))[0]
        draws = struct.unpack("<Q", os.pread(self.mem, 8, self.base + self.offsets["draws"]))[0]
        return frames, state, draws


def advanced(state, draws):
    """The generator's state after that many more draws."""
    for _ in range(draws):
        state = (state * 214013 + 2531011) & 0xFFFFFFFF
    return state


def at_rest(counters):
    """Waits until no frame is shown for half a second; returns the counters."""
    looks = [counters.read()]

    def still():
        time.sleep(0.5)
        looks.append(counters.read())
        return looks[-1][0] == looks[-2][0]
    until(still, 10, "the game to stop showing frames")
    return looks[-1]


def resting_while(counters, doing):
    """The counters stand still for two seconds, and so does the picture."""
    frames, state, draws = at_rest(counters)
    shot = screenshot()
    time.sleep(2)
    check(counters.read() == (frames, state, draws) and screenshot() == shot,
          "%s: no frame shown and no draw taken in two seconds" % doing)
    return state, draws


def goes_on(counters, state, draws, board, group, doing):
    until(lambda: counters.read()[2] > draws + 10, 10, "the game to draw again")
    _, state_now, draws_now = counters.read()
    check(state_now == advanced(state, draws_now - draws),
          "%s: the generator goes on from its last draw (%d draws later)" % (doing, draws_now - draws))
    check(game.read_board() == board, "%s: the same board" % doing)


other = None
game = Game()
try:
    game.wait_for_window(pointer=False)
    # The window manager frames the window; the picture stands where its
    # client area is (xdotool counts the frame twice there; xwininfo does not).
    out = subprocess.run(["xwininfo", "-id", game.window], capture_output=True, text=True).stdout
    harness.origin = tuple(int(out.split("Absolute upper-left %s:" % axis)[1].split()[0]) for axis in "XY")
    harness.scale = 2
    game.wait_for_window()
    board = game.start()
    counters = Counters(game.proc.pid)
    group = largest_group(board)
    game.press_cell(*min(group))
    game.park_pointer()
    start = counters.read()[2]
    until(lambda: counters.read()[2] > start + 20, 10, "the selected group to shake")

    other = subprocess.Popen(["xlogo"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    until(lambda: subprocess.run(["wmctrl", "-a", "xlogo"]).returncode == 0, 10, "another window to take the focus")
    state, draws = resting_while(counters, "another window has the focus")
    subprocess.run(["xdotool", "windowactivate", game.window], check=True)
    goes_on(counters, state, draws, board, group, "the focus back")

    subprocess.run(["xdotool", "windowminimize", game.window], check=True)
    state, draws = resting_while(counters, "minimised")
    subprocess.run(["xdotool", "windowactivate", game.window], check=True)
    goes_on(counters, state, draws, board, group, "shown again")

    expected = settle_traditional(board, group)
    game.pop(group)
    check(game.board_becomes(expected) == expected, "the group selected before is popped, as it would have been")
finally:
    game.stop()
    if other is not None:
        other.kill()
    manager.kill()
