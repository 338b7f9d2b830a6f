"""End-to-end harness: runs the real game in an X display (Xvfb), drives it
with xdotool and reads what it shows from screenshots of the display."""

import os
import shutil
import subprocess
import sys
import tempfile
import time

BIN = os.environ.get("ZORBL_BIN", "")
ARCHIVE = os.environ.get("ZORBL_ARCHIVE", "")
ASSETS = os.environ.get("ZORBL_ASSETS", "")
HUD_MASK = os.environ.get("ZORBL_HUD_MASK", "")
CONVERT = "/usr/bin/convert"
WIDTH, HEIGHT = 320, 240


def require_display():
    """Skip (exit 77) where there is no X display to run in."""
    if not os.environ.get("DISPLAY"):
        print("no DISPLAY: end-to-end tests need scripts/test's Xvfb")
        sys.exit(77)


def fail(message):
    print("FAIL: " + message)
    # The screen as it was, for whoever reads the failure.
    shots = os.environ.get("ZORBL_E2E_SHOTS")
    if shots and os.environ.get("DISPLAY"):
        os.makedirs(shots, exist_ok=True)
        path = os.path.join(shots, "fail-%d.png" % int(time.time() * 1000))
        subprocess.run("xwd -root -silent | %s xwd:- %s" % (CONVERT, path), shell=True)
        print("screen: " + path)
    sys.exit(1)


def check(condition, message):
    if not condition:
        fail(message)
    print("ok: " + message)


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def screenshot():
    """The display as rows of (r, g, b)."""
    xwd = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    raw = subprocess.run([CONVERT, "xwd:-", "-depth", "8", "rgb:-"], input=xwd, check=True,
                         capture_output=True).stdout
    return [[tuple(raw[(y * WIDTH + x) * 3:(y * WIDTH + x) * 3 + 3]) for x in range(WIDTH)]
            for y in range(HEIGHT)]


def tile_colours():
    """Centre colour of each tile colour of the first theme, from the asset build."""
    colours = {}
    with open(os.path.join(ASSETS, "tile_centres.txt")) as f:
        for line in f:
            c, r, g, b = (int(v) for v in line.split())
            colours[(r, g, b)] = c
    return colours


def hud_mask(text):
    out = subprocess.run([HUD_MASK, ARCHIVE, text], check=True, capture_output=True, text=True).stdout
    return out.split()


def shown_hud_mask(shot, top):
    """The same mask read off a screenshot: box pixels that are not black."""
    return ["".join("#" if shot[y][x] != (0, 0, 0) else "." for x in range(240, 311))
            for y in range(top, top + 16)]


class Game:
    """One run of the game in a scratch working directory."""

    def __init__(self, archive=True, archive_bytes=None, files=None, directory=None):
        """A new scratch directory, or `directory` again to see what an earlier run left."""
        self.dir = directory or tempfile.mkdtemp(prefix="zorbl-e2e-")
        os.makedirs(os.path.join(self.dir, "data"), exist_ok=True)
        if archive_bytes is not None:
            with open(os.path.join(self.dir, "data", "gfx.dat"), "wb") as f:
                f.write(archive_bytes)
        elif archive:
            shutil.copy(ARCHIVE, os.path.join(self.dir, "data", "gfx.dat"))
        for name, content in (files or {}).items():
            with open(os.path.join(self.dir, name), "wb") as f:
                f.write(content)
        # The library's message box would wait for a person: a stand-in prints it.
        bindir = os.path.join(self.dir, "bin")
        os.makedirs(bindir, exist_ok=True)
        with open(os.path.join(bindir, "xmessage"), "w") as f:
            f.write('#!/bin/sh\nfor last; do :; done\necho "xmessage: $last" >&2\n')
        os.chmod(os.path.join(bindir, "xmessage"), 0o755)
        env = dict(os.environ, PATH=bindir + ":" + os.environ.get("PATH", ""))
        self.proc = subprocess.Popen([BIN], cwd=self.dir, env=env, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE)
        self.colours = None

    def wait_exit(self, seconds=20):
        try:
            out, err = self.proc.communicate(timeout=seconds)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            out, err = self.proc.communicate()
            fail("the game did not exit within %d s" % seconds)
        return self.proc.returncode, out.decode(errors="replace"), err.decode(errors="replace")

    def stop(self, keep=False):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        if not keep:
            shutil.rmtree(self.dir, ignore_errors=True)

    def wait_for_window(self, seconds=20, pointer=True):
        """Waits for the window; with pointer=False it only takes the keyboard focus."""
        deadline = time.time() + seconds
        while time.time() < deadline:
            found = subprocess.run(["xdotool", "search", "--name", "zorbl"], capture_output=True, text=True)
            if found.returncode == 0 and found.stdout.strip():
                self.window = found.stdout.split()[0]
                if not pointer:
                    subprocess.run(["xdotool", "windowfocus", self.window], capture_output=True)
                    return
                # The first pointer move after a window appears is ignored.
                xdotool("mousemove", 5, 5)
                time.sleep(0.1)
                xdotool("mousemove", 300, 100)
                return
            if self.proc.poll() is not None:
                fail("the game exited early: " + self.proc.stderr.read().decode(errors="replace"))
            time.sleep(0.1)
        fail("no game window within %d s" % seconds)

    def skip_intro(self):
        xdotool("mousemove", 300, 100)
        subprocess.run(["xdotool", "windowfocus", self.window], capture_output=True)
        xdotool("keydown", "Escape")
        time.sleep(0.3)
        xdotool("keyup", "Escape")

    def read_board(self, shot=None):
        """The board as eight strings of ten characters, '.' where no tile shows."""
        if self.colours is None:
            self.colours = tile_colours()
        shot = shot or screenshot()
        rows = []
        for r in range(8):
            row = ""
            for c in range(10):
                pixel = shot[20 + 20 * r][30 + 20 * c]
                row += str(self.colours[pixel]) if pixel in self.colours else "."
            rows.append(row)
        return rows

    def settled_board(self, seconds=15):
        """The board once three looks 0.4 s apart agree: tiles have stopped
        moving and the points banner (50 frames) has gone from over them."""
        deadline = time.time() + seconds
        looks = [self.read_board()]
        while time.time() < deadline:
            time.sleep(0.4)
            looks = (looks + [self.read_board()])[-3:]
            if len(looks) == 3 and looks[0] == looks[1] == looks[2]:
                return looks[0]
        fail("the board never stopped moving")

    def board_becomes(self, expected, seconds=15):
        """Waits for the board to show `expected` (frames may be slow, and the
        points banner hides some tiles for 50 of them); returns the last look."""
        deadline = time.time() + seconds
        board = self.read_board()
        while board != expected and time.time() < deadline:
            time.sleep(0.3)
            board = self.read_board()
        return board

    def wait_for_board(self, seconds=30):
        """Waits until every cell shows a tile (the fade-in has finished)."""
        deadline = time.time() + seconds
        while time.time() < deadline:
            board = self.read_board()
            if "." not in "".join(board):
                time.sleep(0.3)
                return self.read_board()
            time.sleep(0.2)
        fail("the board never showed 80 tiles")

    def press(self, x, y, button=1):
        xdotool("mousemove", x, y)
        time.sleep(0.1)
        xdotool("mousedown", button)
        time.sleep(0.15)
        xdotool("mouseup", button)
        time.sleep(0.15)

    def press_cell(self, column, row, button=1):
        self.press(30 + 20 * column, 20 + 20 * row, button)

    def park_pointer(self):
        """Moves the pointer off the board so it hides no tile."""
        xdotool("mousemove", 300, 100)
        time.sleep(0.3)


def find_group(board, column, row):
    colour = board[row][column]
    seen, todo = set(), [(column, row)]
    while todo:
        c, r = todo.pop()
        if (c, r) in seen or not (0 <= c < 10 and 0 <= r < 8) or board[r][c] != colour:
            continue
        seen.add((c, r))
        todo += [(c + 1, r), (c - 1, r), (c, r + 1), (c, r - 1)]
    return seen


def settle_traditional(board, popped):
    """The board after a pop in the Traditional mode: tiles fall, emptied
    columns close up toward the right."""
    columns = []
    for c in range(10):
        column = [board[r][c] for r in range(8) if (c, r) not in popped and board[r][c] != "."]
        columns.append(["."] * (8 - len(column)) + column)
    kept = [col for col in columns if col[7] != "."]
    columns = [["."] * 8] * (10 - len(kept)) + kept
    return ["".join(columns[c][r] for c in range(10)) for r in range(8)]


SAVE_DUMP = os.environ.get("ZORBL_SAVE_DUMP", "")
CLOSE_WINDOW = os.environ.get("ZORBL_CLOSE_WINDOW", "")

# Game pixels of the side buttons, the Yes/No answers and the options controls.
NEW_GAME_BUTTON = (208, 188)
OPTIONS_BUTTON = (218, 206)
QUIT_BUTTON = (228, 224)
YES = (100, 120)
NO = (200, 120)


def saved(directory):
    """What the game would load from a directory's save files: the five
    settings, and each mode's rows as (score, name)."""
    out = subprocess.run([SAVE_DUMP], cwd=directory, check=True, capture_output=True, text=True).stdout
    settings, tables = [], {0: [], 1: [], 2: [], 3: []}
    for line in out.splitlines():
        if line.startswith("settings "):
            settings = [int(v) for v in line.split()[1:]]
        elif line.startswith("table "):
            _, mode, _, points, *name = line.split(" ", 4)
            tables[int(mode)].append((int(points), name[0] if name else ""))
    return settings, tables


def largest_group(board):
    best = set()
    for r in range(8):
        for c in range(10):
            if board[r][c] != ".":
                group = find_group(board, c, r)
                if len(group) > len(best):
                    best = group
    return best if len(best) >= 2 else None


def take_screenshot_keys():
    """Holds Ctrl+P for a moment, as a player saving a screenshot."""
    xdotool("keydown", "Control_L")
    xdotool("keydown", "p")
    time.sleep(0.05)
    xdotool("keyup", "p")
    xdotool("keyup", "Control_L")
    time.sleep(0.5)


def key(*names, hold=0.1):
    """Keys pressed together and let go, as a player does: down long enough
    for a frame to see them, then up long enough for the next one to."""
    xdotool("keydown", *names, "sleep", hold, "keyup", *names, "sleep", 0.06)


def close_window():
    """The window manager's close button (WM_DELETE_WINDOW)."""
    subprocess.run([CLOSE_WINDOW], check=True)


_NO_LETTERS = []


def question_shown(shot=None):
    """A Yes/No box stands at rest: the letters of its "No!", centred at
    x 213 on the line at y 115, show in the font's own colours (its four inks
    and its rim) whatever lies behind the box."""
    if not _NO_LETTERS:
        with open(os.path.join(ASSETS, "font.pcx"), "rb") as f:
            palette = f.read()[-768:]
        _NO_LETTERS.append({tuple(palette[3 * i:3 * i + 3]) for i in (1, 10, 11, 12, 13)})
        # hud_mask's rows start at y 20, one below the line its text is printed on.
        _NO_LETTERS.append([(x, y) for y, row in enumerate(hud_mask("No!")) for x, c in enumerate(row) if c == "#"])
    colours, letters = _NO_LETTERS
    shot = shot or screenshot()
    left = min(x for x, _ in letters)
    width = max(x for x, _ in letters) - left + 1
    # A pixel or two either way, for how the centring rounds.
    return any(all(shot[116 + dy + y][213 - width // 2 + dx - left + x] in colours for x, y in letters)
               for dx in range(-3, 4) for dy in range(-3, 4))
