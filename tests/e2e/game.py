"""End-to-end harness: the one place that knows how to run the real game in
an X display of its own (Xvfb), drive it with xdotool, read what it shows and
what it saves. Each test process gets its own display, so tests run side by
side."""

import atexit
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
SAVE_DUMP = os.environ.get("ZORBL_SAVE_DUMP", "")
WRITE_PACKED = os.environ.get("ZORBL_WRITE_PACKED", "")
CLOSE_WINDOW = os.environ.get("ZORBL_CLOSE_WINDOW", "")
CONVERT = "/usr/bin/convert"
WIDTH, HEIGHT = 320, 240

# Game pixels of the side buttons, the Yes/No answers and the options controls.
NEW_GAME_BUTTON = (208, 188)
OPTIONS_BUTTON = (218, 206)
QUIT_BUTTON = (228, 224)
YES = (100, 120)
NO = (200, 120)
MODE_NEXT, MODE_PREV = (195, 75), (35, 75)
THEME_NEXT, THEME_PREV = (195, 115), (35, 115)
ANIMATIONS_BOX = (28, 146)
OPTIONS_CLOSE = (200, 165)
SAVE_FILES = ["zorbl.sav", "scores0.sav", "scores1.sav", "scores2.sav", "scores3.sav"]
DEFAULT_TABLE = [(1000 - 100 * k, "X Plomt") for k in range(10)]

# The window's origin and enlargement on the display (scaled_test moves them).
origin, scale = (0, 0), 1


def start_display(size="320x240"):
    """An Xvfb of this test's own on a free display number, for the rest of
    the process; skips the test (exit 77) where there is no Xvfb."""
    if shutil.which("Xvfb") is None:
        print("no Xvfb: end-to-end tests need an X server")
        sys.exit(77)
    # The server picks a free display number itself and tells it on a pipe:
    # tests starting side by side never share one. -noreset: without it the
    # server resets whenever its last client leaves, and a game started in
    # that moment finds no display.
    read_end, write_end = os.pipe()
    server = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", size + "x24", "-nolisten",
                               "tcp", "-noreset"], pass_fds=(write_end,), stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    atexit.register(server.kill)
    os.close(write_end)
    with os.fdopen(read_end) as told:
        number = int(told.readline() or -1)
    if number < 0:
        fail("Xvfb did not start")
    os.environ["DISPLAY"] = ":%d" % number
    return number


def fail(message):
    print("FAIL: " + message)
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


def soon(condition, seconds=8, step=0.1):
    """Polls condition until it gives something true, for at most seconds;
    returns its last value."""
    deadline = time.time() + seconds
    value = condition()
    while not value and time.time() < deadline:
        time.sleep(step)
        value = condition()
    return value


def until(condition, seconds, waiting_for, step=0.1):
    """As soon(), but a test that waited in vain fails."""
    value = soon(condition, seconds, step)
    if not value:
        fail("gave up after %d s waiting for %s" % (seconds, waiting_for))
    return value


def xdotool(*args):
    subprocess.run(["xdotool", *map(str, args)], check=True)


def key(*names, hold=0.1):
    """Keys pressed together and let go, as a player does: down long enough
    for a frame to see them, then up long enough for the next one to."""
    xdotool("keydown", *names, "sleep", hold, "keyup", *names, "sleep", 0.06)


def close_window():
    """The window manager's close button (WM_DELETE_WINDOW)."""
    subprocess.run([CLOSE_WINDOW], check=True)


def screenshot():
    """The game's 320 x 240 picture as rows of (r, g, b), read from the
    window's enlarged pixels when it is enlarged."""
    dump = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    header = [int.from_bytes(dump[i:i + 4], "big") for i in range(0, 100, 4)]
    size, byte_order, bits, line = header[0], header[7], header[11], header[12]
    if bits == 32 and byte_order == 0 and header[14:17] == [0xff0000, 0xff00, 0xff]:
        pixels = dump[size + 12 * header[19]:]
        rows = []
        for y in range(HEIGHT):
            start = (origin[1] + y * scale + scale // 2) * line + (origin[0] + scale // 2) * 4
            row = pixels[start:start + WIDTH * scale * 4]
            step = 4 * scale
            rows.append(list(zip(row[2::step], row[1::step], row[0::step])))
        return rows
    raw = subprocess.run([CONVERT, "xwd:-", "-depth", "8", "rgb:-"], input=dump, check=True,
                         capture_output=True).stdout
    full = header[4]
    at = lambda x, y: ((origin[1] + y * scale + scale // 2) * full + origin[0] + x * scale + scale // 2) * 3
    return [[tuple(raw[at(x, y):at(x, y) + 3]) for x in range(WIDTH)] for y in range(HEIGHT)]


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


def hud_shows(top, text):
    """Whether the head-up box at `top` (score 20, tiles 70, mode 120) shows text."""
    return shown_hud_mask(screenshot(), top) == hud_mask(text)


def capturing_home():
    """A scratch HOME whose .asoundrc sends whatever the library plays to a
    WAV file, <home>/capture.wav, through ALSA's file sink: the game heard
    without a sound card. Returns (home, capture)."""
    home = tempfile.mkdtemp(prefix="zorbl-e2e-home-")
    capture = os.path.join(home, "capture.wav")
    with open(os.path.join(home, ".asoundrc"), "w") as f:
        f.write('pcm.!default { type plug; slave { pcm "cap"; format S16_LE } }\n'
                'pcm.cap { type file; slave.pcm "null"; file "%s"; format "wav" }\n' % capture)
    return home, capture


def packed(data):
    """Bytes as a packed file under the game's password, as the game saves them."""
    scratch = tempfile.mkdtemp(prefix="zorbl-e2e-sav-")
    try:
        path = os.path.join(scratch, "file.sav")
        subprocess.run([WRITE_PACKED, path, *map(str, data)], check=True)
        with open(path, "rb") as f:
            return f.read()
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def settings_bytes(sample=200, music=100, mode=0, theme=0, animations=1):
    """A zorbl.sav: the five settings, a byte each."""
    return packed([sample, music, mode, theme, animations])


def table_bytes(rows):
    """A score file of ten (score, name) rows: eleven bytes of name, one of
    padding, the score in four bytes, lowest byte first."""
    data = b""
    for points, name in rows:
        data += name.encode().ljust(12, b"\0") + points.to_bytes(4, "little")
    return packed(data)


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


def prepare(directory, files=None, archive=True, archive_bytes=None):
    """A working directory as the game expects it: the archive as
    data/gfx.dat (or the given bytes, or none), the given save files, and a
    stand-in xmessage, since the library's message box would wait for a person."""
    os.makedirs(os.path.join(directory, "data"), exist_ok=True)
    if archive_bytes is not None:
        with open(os.path.join(directory, "data", "gfx.dat"), "wb") as f:
            f.write(archive_bytes)
    elif archive:
        shutil.copy(ARCHIVE, os.path.join(directory, "data", "gfx.dat"))
    for name, content in (files or {}).items():
        with open(os.path.join(directory, name), "wb") as f:
            f.write(content)
    bindir = os.path.join(directory, "bin")
    os.makedirs(bindir, exist_ok=True)
    with open(os.path.join(bindir, "xmessage"), "w") as f:
        f.write('#!/bin/sh\nfor last; do :; done\necho "xmessage: $last" >&2\n')
    os.chmod(os.path.join(bindir, "xmessage"), 0o755)


class Game:
    """One run of the game. By default in a new scratch working directory
    made ready by prepare(); `directory` runs it again where an earlier run
    was (prepared=True: exactly as it is), `env` adds to the environment and
    `prefix` runs it through another command."""

    def __init__(self, files=None, directory=None, prepared=False, env=None, prefix=(), **archive):
        self.dir = directory or tempfile.mkdtemp(prefix="zorbl-e2e-")
        if not prepared:
            prepare(self.dir, files, **archive)
        run_env = dict(os.environ, PATH=os.path.join(self.dir, "bin") + ":" + os.environ.get("PATH", ""))
        run_env.update(env or {})
        self.proc = subprocess.Popen([*prefix, BIN], cwd=self.dir, env=run_env, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE)
        self.colours = None
        self.window = None

    def wait_exit(self, seconds=20):
        try:
            out, err = self.proc.communicate(timeout=seconds)
        except subprocess.TimeoutExpired:
            self.proc.kill()
            out, err = self.proc.communicate()
            fail("the game did not exit within %d s" % seconds)
        return self.proc.returncode, out.decode(errors="replace"), err.decode(errors="replace")

    def alive(self, doing):
        if self.proc.poll() is not None:
            err = self.proc.stderr.read().decode(errors="replace")
            fail("the game died (code %s) while %s\n%s" % (self.proc.returncode, doing, err[-2000:]))

    def stop(self, keep=False):
        if self.proc.poll() is None:
            self.proc.kill()
            self.proc.wait()
        if not keep:
            shutil.rmtree(self.dir, ignore_errors=True)

    def wait_for_window(self, seconds=20, pointer=True):
        """Waits for the window; with pointer=False it only takes the keyboard focus."""
        def found():
            self.alive("starting")
            out = subprocess.run(["xdotool", "search", "--name", "zorbl"], capture_output=True, text=True)
            return out.stdout.split()[0] if out.returncode == 0 and out.stdout.strip() else None
        self.window = until(found, seconds, "the game's window")
        if not pointer:
            self.focus()
            return
        # The first pointer move after a window appears is ignored.
        self.move(2, 2)
        time.sleep(0.1)
        self.park_pointer()

    def start(self):
        """Window, intro skipped, and the whole board shown; returns the board."""
        self.wait_for_window()
        self.focus()
        key("Escape", hold=0.3)
        return self.wait_for_board()

    def focus(self):
        subprocess.run(["xdotool", "windowfocus", self.window], capture_output=True)

    def type(self, text):
        self.focus()
        xdotool("type", "--delay", "120", text)

    def move(self, x, y):
        """The pointer to game pixel (x, y)."""
        xdotool("mousemove", origin[0] + scale * x + scale // 2, origin[1] + scale * y + scale // 2)

    def press(self, x, y, button=1):
        self.move(x, y)
        time.sleep(0.1)
        xdotool("mousedown", button)
        time.sleep(0.15)
        xdotool("mouseup", button)
        time.sleep(0.15)

    def press_cell(self, column, row, button=1):
        self.press(30 + 20 * column, 20 + 20 * row, button)

    def park_pointer(self):
        """Moves the pointer off the board so it hides no tile."""
        self.move(300, 142)
        time.sleep(0.1)

    def read_board(self, shot=None):
        """The board as eight strings of ten characters, '.' where no tile shows."""
        if self.colours is None:
            self.colours = tile_colours()
        shot = shot or screenshot()
        return ["".join(str(self.colours.get(shot[20 + 20 * r][30 + 20 * c], ".")) for c in range(10))
                for r in range(8)]

    def board_becomes(self, expected, seconds=15):
        """Waits for the board to show `expected` (the points banner hides
        some tiles for 50 frames); returns the last look."""
        deadline = time.time() + seconds
        board = self.read_board()
        while board != expected and time.time() < deadline:
            time.sleep(0.1)
            board = self.read_board()
        return board

    def settled_board(self, seconds=15):
        """The board once three looks 0.3 s apart agree: tiles have stopped
        moving and the points banner has gone from over them."""
        looks = []

        def still():
            looks.append(self.read_board())
            return len(looks) >= 3 and looks[-1] == looks[-2] == looks[-3] and looks[-1]
        return until(still, seconds, "the board to stop moving", step=0.3)

    def wait_for_board(self, seconds=30):
        """Waits until every cell shows a tile (the fade-in has finished) in
        two looks that agree: the tiles of a burst may still fly over it."""
        looks = [None]
        def full_twice():
            board = self.read_board()
            agreed = "." not in "".join(board) and board == looks[-1]
            looks.append(board)
            return agreed and board
        return until(full_twice, seconds, "a board of 80 tiles, twice alike", step=0.2)

    def answer(self, where):
        """Presses Yes or No once the question box has come to rest."""
        until(question_shown, 5, "a question box")
        self.press(*where)

    def quit(self, seconds=20):
        """The quit button (pressed again while another box is still in the
        way), Yes, and the exit code with what the game said on stderr."""
        until(lambda: question_shown() or self.press(*QUIT_BUTTON), 10, "the quit question")
        self.press(*YES)
        code, _, err = self.wait_exit(seconds)
        return code, err


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


def largest_group(board):
    best = set()
    for r in range(8):
        for c in range(10):
            if board[r][c] != ".":
                group = find_group(board, c, r)
                if len(group) > len(best):
                    best = group
    return best if len(best) >= 2 else None


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


def take_screenshot_keys():
    """Holds Ctrl+P for a moment, as a player saving a screenshot."""
    xdotool("keydown", "Control_L")
    xdotool("keydown", "p")
    time.sleep(0.05)
    xdotool("keyup", "p")
    xdotool("keyup", "Control_L")
    time.sleep(0.5)
