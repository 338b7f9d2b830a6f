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
SHOWN_TABLE = os.environ.get("ZORBL_SHOWN_TABLE", "")
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


def ahead_of_other_work():
    """Run in a child before it starts: the X server and the game come a
    little ahead of other work where the test may ask it (as root, as CI
    runs). On a machine kept busy, a press and its release otherwise can
    reach the game within one frame of it, and a frame that never saw the
    key down loses it."""
    try:
        os.nice(-5)
    except OSError:
        pass


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
                              stderr=subprocess.DEVNULL, preexec_fn=ahead_of_other_work)
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


def key(*names, hold=0.15):
    """Keys pressed together and let go, as a player does: down long enough
    for a frame to see them, then up long enough for the next one to, with
    room for a busy machine (a press or a release no frame saw is lost)."""
    xdotool("keydown", *names, "sleep", hold, "keyup", *names, "sleep", 0.15)


def pointer_at(x, y):
    """Whether the X server has the pointer on game pixel (x, y)."""
    out = subprocess.run(["xdotool", "getmouselocation", "--shell"], capture_output=True, text=True).stdout
    where = dict(line.split("=", 1) for line in out.split())
    return (where.get("X"), where.get("Y")) == (str(origin[0] + scale * x + scale // 2),
                                                 str(origin[1] + scale * y + scale // 2))


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


def game_bytes(board, deal=None, score=0, mode=0):
    """A game.sav of a game in progress (not assisted, no undo or redo):
    board and deal as 80 colours each, column by column, eight rows a
    column from the top."""
    def le32(value):
        return list(value.to_bytes(4, "little"))
    tiles = 80 - sum(1 for colour in board if colour)
    body = list(b"ZRBG") + [1, mode, 0, 1] + le32(score) + le32(tiles) + le32(0) + le32(0)
    body += list(deal or board) + list(board)
    checksum = 2166136261  # FNV-1a of all before it
    for byte in body:
        checksum = (checksum ^ byte) * 16777619 & 0xFFFFFFFF
    return packed(body + le32(checksum))


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


def statistics(directory):
    """The statistics the game would load from a directory: (games, boards
    cleared, best score) by (mode, assisted)."""
    out = subprocess.run([SAVE_DUMP], cwd=directory, check=True, capture_output=True, text=True).stdout
    return {(int(m), int(a)): (int(g), int(c), int(b))
            for _, m, a, g, c, b in (line.split() for line in out.splitlines() if line.startswith("stats "))}


def game_in_progress(directory):
    """The game a start in that directory would resume from its game.sav, as
    (score, board rows), or None."""
    out = subprocess.run([SAVE_DUMP], cwd=directory, check=True, capture_output=True, text=True).stdout
    lines = out.splitlines()
    score = [int(line.split()[1]) for line in lines if line.startswith("game ")]
    rows = [line.split()[1] for line in lines if line.startswith("game_row ")]
    return (score[0], rows) if score else None


def window_title(window):
    return subprocess.run(["xdotool", "getwindowname", window], capture_output=True, text=True).stdout.strip()


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
    `prefix` runs it through another command; `args` are the game's own."""

    def __init__(self, files=None, directory=None, prepared=False, env=None, prefix=(), args=(), **archive):
        self.dir = directory or tempfile.mkdtemp(prefix="zorbl-e2e-")
        if not prepared:
            prepare(self.dir, files, **archive)
        run_env = dict(os.environ, PATH=os.path.join(self.dir, "bin") + ":" + os.environ.get("PATH", ""))
        # The build names a data folder that does not exist, so that a game
        # installed on this machine never stands in for a missing archive; a
        # named folder wins over data/gfx.dat, so it is named only when the
        # working directory holds no archive.
        if os.path.exists(os.path.join(self.dir, "data", "gfx.dat")):
            run_env.pop("ZORBL_DATA_DIR", None)
        run_env.update(env or {})
        self.proc = subprocess.Popen([*prefix, BIN, *args], cwd=self.dir, env=run_env, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE, preexec_fn=ahead_of_other_work)
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
        # The first pointer move after a window appears is ignored: the
        # second goes once the server has the first (made again should the
        # library place the pointer meanwhile).
        self.move(2, 2)
        until(lambda: pointer_at(2, 2) or self.move(2, 2), 5, "the pointer's first move")
        self.park_pointer()

    def start(self):
        """Window, intro skipped, and the whole board shown; returns the board."""
        self.wait_for_window()
        self.focus()
        key("Escape", hold=0.3)
        return self.wait_for_board()

    def title(self):
        """The window's title as the desktop shows it."""
        return window_title(self.window)

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

    def pop(self, group):
        """Two presses on the group's first cell (select, pop), then the
        pointer off the board; returns the pop's name for the checks after it."""
        cell = min(group)
        self.press_cell(*cell)
        self.press_cell(*cell)
        self.park_pointer()
        return "the %d tiles at column %d, row %d" % (len(group), cell[0], cell[1])

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
        looks = []
        soon(lambda: looks.append(self.read_board()) or looks[-1] == expected, seconds)
        return looks[-1]

    def settled_board(self, tiles=80, seconds=30, doing="waiting"):
        """The board once it shows `tiles` tiles in two looks that agree:
        the points banner hides tiles while it lasts, a fade-in or a burst
        leaves cells dark, moving tiles read wrong."""
        looks = [None]

        def settled():
            board = self.read_board()
            agreed = board == looks[-1] and 80 - "".join(board).count(".") == tiles
            looks.append(board)
            return agreed and board
        return until(settled, seconds, "%s: a board of %d tiles, twice alike" % (doing, tiles))

    def wait_for_board(self, seconds=30):
        """Waits until the board shows all 80 tiles, settled."""
        return self.settled_board(80, seconds)

    def answer(self, where):
        """Presses Yes or No once the question box has come to rest."""
        until(question_shown, 5, "a question box")
        self.press(*where)

    def clear_last_pair(self, name):
        """In a game that came back with one pair left at the bottom of the
        right column (game_bytes): the intro skipped, the pair popped, the
        bonus taken and the name typed, the name entry left open."""
        self.wait_for_window()
        self.focus()
        key("Escape", hold=0.3)
        until(lambda: self.read_board()[7][9] != ".", 20, "the game that came back")
        self.pop(find_group(self.read_board(), 9, 7))
        until(question_shown, 10, "the empty board's bonus box")
        key("Return")
        # The game-over panel takes a key once the points banner has gone.
        until(lambda: name_entry_shown(anywhere=True) or key("space"), 20, "the name entry")
        until(name_entry_shown, 5, "the name entry at rest")
        for letter in name:
            key(letter)
        until(lambda: shows(name + "_", 160, 94), 5, "the name typed")

    def quit(self, seconds=20):
        """The quit button (pressed again while another box is still in the
        way), Yes, and the exit code with what the game said on stderr."""
        until(lambda: asks("Are you sure you") or self.press(*QUIT_BUTTON), 10, "the quit question")
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


def tiles_after(board, group, mode):
    """The tiles on a board once a pop has settled: in the modes that refill
    (1 and 3), eight more for each column the pop emptied."""
    tiles = 80 - "".join(board).count(".") - len(group)
    if mode in (1, 3):
        tiles += 8 * sum(all(board[r][c] == "." or (c, r) in group for r in range(8)) for c in range(10))
    return tiles


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


_PALETTE, _TEXTS = [], {}


def colour(index):
    """The screen colour of a palette entry (the assets share the game's palette)."""
    if not _PALETTE:
        with open(os.path.join(ASSETS, "font.pcx"), "rb") as f:
            palette = f.read()[-768:]
        _PALETTE.extend(tuple(palette[i:i + 3]) for i in range(0, 768, 3))
    return _PALETTE[index]


def cursor_cell(shot=None):
    """The cell the keyboard's cursor frames (its ring of gold ink, colour
    11, one pixel round the cell; the pointer or the banner may hide some of
    it), or None."""
    shot, gold = shot or screenshot(), colour(11)
    for c, r in ((c, r) for c in range(10) for r in range(8)):
        x, y = 19 + 20 * c, 9 + 20 * r
        ring = [shot[y][x + k] for k in range(21)] + [shot[y + 20][x + k] for k in range(21)]
        ring += [shot[y + k][x] for k in range(21)] + [shot[y + k][x + 20] for k in range(21)]
        if ring.count(gold) > len(ring) // 2:
            return c, r
    return None


def text_pixels(text, x, y):
    """Each pixel, as (x, y, colour), that the font sets when a box prints
    text centred on x at line y; in the font's own colours, whatever lies
    behind."""
    if (text, x, y) not in _TEXTS:
        out = subprocess.run([HUD_MASK, ARCHIVE, text, str(x), str(y)], check=True, capture_output=True,
                             text=True).stdout
        _TEXTS[(text, x, y)] = [(int(px), int(py), colour(int(c))) for px, py, c in map(str.split, out.splitlines())]
    return _TEXTS[(text, x, y)]


def shows(text, x, y, shot=None, anywhere=False):
    """Whether the screen shows text centred on x at line y, exactly there
    (a box at rest), or with anywhere=True at any place along the line (a
    box sliding in)."""
    shot = shot or screenshot()
    pixels = text_pixels(text, x, y)
    shifts = range(-min(p[0] for p in pixels), WIDTH - max(p[0] for p in pixels)) if anywhere else [0]
    return any(all(shot[py][px + dx] == colour for px, py, colour in pixels) for dx in shifts)


def question_shown(shot=None):
    """A Yes/No box stands at rest: its "No!" shows where it is at rest."""
    return shows("No!", 213, 115, shot)


def asks(line, shot=None):
    """A Yes/No box whose first line is `line` stands at rest."""
    return shows(line, 160, 75, shot)


def name_entry_shown(shot=None, anywhere=False):
    """The name entry stands at rest (keys typed before that are dropped),
    or with anywhere=True is on its way in."""
    return shows("You got a highscore!", 160, 75, shot, anywhere)


def table_shows(rows, shot=None):
    """Which of a table's rows (in its order) the table screen shows: "yes"
    or "no" for each."""
    shot = shot or screenshot()
    with tempfile.NamedTemporaryFile(suffix=".rgb") as f:
        f.write(bytes(v for row in shot for pixel in row for v in pixel))
        f.flush()
        return subprocess.run([SHOWN_TABLE, ARCHIVE, f.name], input="".join("%d %s\n" % row for row in rows),
                              capture_output=True, text=True, check=True).stdout.split()


def picture_written(path, seconds=5):
    """Waits for a PCX picture to be written whole (its 769-byte palette, a
    12 and 256 colours, ends it, and two looks agree); returns its bytes."""
    looks = [None]

    def whole():
        data = open(path, "rb").read() if os.path.isfile(path) else b""
        agreed = len(data) > 128 + 769 and data[-769] == 12 and data == looks[-1]
        looks.append(data)
        return agreed and data
    return until(whole, seconds, "the picture " + os.path.basename(path))


def take_screenshot_keys():
    """Holds Ctrl+P for a moment, as a player saving a screenshot."""
    xdotool("keydown", "Control_L")
    xdotool("keydown", "p")
    time.sleep(0.15)
    xdotool("keyup", "p")
    xdotool("keyup", "Control_L")


def inside(shot, column, row):
    """A cell's pixels, less the two at each edge a shaking neighbour may reach."""
    return [shot[y][22 + 20 * column:38 + 20 * column] for y in range(12 + 20 * row, 28 + 20 * row)]


def shaking_group(board):
    """The selected group: the cells that change from look to look, gathered
    until they make one whole group of the board. A cell must change twice:
    the points banner going away changes the cells under it once."""
    changes = {}

    def whole_group():
        before, after = screenshot(), screenshot()
        for cell in ((c, r) for c in range(10) for r in range(8)):
            changes[cell] = changes.get(cell, 0) + (inside(before, *cell) != inside(after, *cell))
        moving = {cell for cell, n in changes.items() if n >= 2}
        return moving and find_group(board, *min(moving)) == moving and moving
    return until(whole_group, 10, "a group to shake")
