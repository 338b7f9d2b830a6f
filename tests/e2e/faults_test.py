"""Things going wrong around the game, none of which may stop it or cost a
player the files they already have:

  - no display (DISPLAY unset, or naming a display that isn't there): one
    line on stderr and a quick non-zero exit, never a hang;
  - save files replaced by garbage while the game was not running (random
    bytes, empty files, cut-off files, directories, dangling links): the game
    starts in Traditional with the default tables, plays, quits with 0, and
    what it writes holds the defaults; a directory in a file's place is left
    alone and no temporary file is left behind;
  - files that open but hold noise: the game starts, quits with 0 and writes
    settings it can read again;
  - a working directory the player cannot write to (the game run as user
    nobody): it plays, quits with 0 and the directory is exactly as it was;
  - a full disk at quitting time (a tmpfs with no free block, then one with no
    free inode): the game quits with 0 and the old save files are intact
    byte for byte.

A case whose facility is missing here (mounting, another user reaching the X
display) is left out and the test ends as skipped after the other cases."""

import errno
import os
import random
import shutil
import stat
import subprocess
import sys
import tempfile
import time

from game import (ARCHIVE, BIN, OPTIONS_BUTTON, QUIT_BUTTON, SAVE_DUMP, YES, Game, check, fail, hud_mask,
                  largest_group, require_display, saved, screenshot, settle_traditional, shown_hud_mask)

WRITE_SETTINGS = os.environ.get("ZORBL_WRITE_SETTINGS", "")
SAVE_FILES = ["zorbl.sav", "scores0.sav", "scores1.sav", "scores2.sav", "scores3.sav"]
DEFAULT_SETTINGS = [200, 100, 0, 0, 1]
DEFAULT_TABLE = [(1000 - 100 * k, "X Plomt") for k in range(10)]
NOBODY = 65534
AS_NOBODY = ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups"]

require_display()
if not WRITE_SETTINGS or not os.access(WRITE_SETTINGS, os.X_OK):
    fail("ZORBL_WRITE_SETTINGS does not name the settings writer (audio_settings)")

left_out = []


def prepare(directory, files=None):
    """What the harness's Game puts in a working directory (the archive as
    data/gfx.dat, the stand-in xmessage), plus the given files."""
    os.makedirs(os.path.join(directory, "data"), exist_ok=True)
    shutil.copy(ARCHIVE, os.path.join(directory, "data", "gfx.dat"))
    bindir = os.path.join(directory, "bin")
    os.makedirs(bindir, exist_ok=True)
    with open(os.path.join(bindir, "xmessage"), "w") as f:
        f.write('#!/bin/sh\nfor last; do :; done\necho "xmessage: $last" >&2\n')
    os.chmod(os.path.join(bindir, "xmessage"), 0o755)
    for name, content in (files or {}).items():
        with open(os.path.join(directory, name), "wb") as f:
            f.write(content)


class PreparedGame(Game):
    """A run in a directory made ready beforehand: nothing is copied in when
    it starts, so it can run where nothing can be written. `prefix` runs the
    game through another command (setpriv)."""

    def __init__(self, directory, prefix=(), env=None):
        self.dir = directory
        bindir = os.path.join(directory, "bin")
        run_env = dict(os.environ, PATH=bindir + ":" + os.environ.get("PATH", ""))
        run_env.update(env or {})
        self.proc = subprocess.Popen([*prefix, BIN], cwd=directory, env=run_env, stdout=subprocess.PIPE,
                                     stderr=subprocess.PIPE)
        self.colours = None


def settings_bytes(*values):
    scratch = tempfile.mkdtemp(prefix="zorbl-faults-sav-")
    try:
        path = os.path.join(scratch, "zorbl.sav")
        subprocess.run([WRITE_SETTINGS, path, *map(str, values)], check=True)
        with open(path, "rb") as f:
            return f.read()
    finally:
        shutil.rmtree(scratch, ignore_errors=True)


def quit_game(game, doing):
    game.press(*QUIT_BUTTON)
    time.sleep(1)
    game.press(*YES)
    code, _, err = game.wait_exit()
    if code != 0:
        fail("%s: quitting exited with code %d\n%s" % (doing, code, err[-1500:]))
    check(True, "%s: quitting exits with code 0" % doing)


def start(game, doing, board=True):
    game.wait_for_window()
    game.skip_intro()
    if board:
        return game.wait_for_board()
    time.sleep(2)
    if game.proc.poll() is not None:
        fail("%s: the game died at start (code %d)" % (doing, game.proc.returncode))
    return None


def pop_largest(game, board, doing):
    """Pops the largest group (Traditional, animations off) and checks the tiles fell."""
    group = largest_group(board)
    cell = min(group)
    game.press_cell(*cell)
    game.press_cell(*cell)
    game.park_pointer()
    expected = settle_traditional(board, group)
    shown = game.settled_board()
    check(shown == expected, "%s: a group of %d popped and the tiles fell" % (doing, len(group)))


def change_settings(game, doing):
    """Next theme and animations switched: settings that differ from the saved ones."""
    game.press(*OPTIONS_BUTTON)
    time.sleep(0.4)
    game.press(195, 115)
    game.press(28, 146)
    game.press(200, 165)
    game.park_pointer()
    if game.proc.poll() is not None:
        fail("%s: the game died in the options" % doing)


def listing(directory):
    """Every path under a directory with its type, permissions, size and bytes."""
    found = {}
    for root, dirs, files in os.walk(directory):
        for name in dirs + files:
            path = os.path.join(root, name)
            info = os.lstat(path)
            content = None
            if stat.S_ISREG(info.st_mode):
                with open(path, "rb") as f:
                    content = f.read()
            found[os.path.relpath(path, directory)] = (stat.S_IFMT(info.st_mode), stat.S_IMODE(info.st_mode),
                                                       info.st_size, content)
    return found


def leftovers(directory):
    return sorted(n for n in os.listdir(directory) if n.endswith(".tmp"))


def valid_save_set(settings):
    """The five save files as the game writes them at a normal quit, with
    these settings and the default tables."""
    game = Game(files={"zorbl.sav": settings_bytes(*settings)})
    try:
        start(game, "making save files", board=False)
        quit_game(game, "making save files")
        files = {}
        for name in SAVE_FILES:
            with open(os.path.join(game.dir, name), "rb") as f:
                files[name] = f.read()
        return files
    finally:
        game.stop()


# ---------------------------------------------------------------- no display

for label, display in (("no DISPLAY at all", None), ("DISPLAY naming a display that isn't there", ":4917")):
    scratch = tempfile.mkdtemp(prefix="zorbl-faults-nodisplay-")
    home = os.path.join(scratch, "home")
    os.makedirs(home)
    prepare(scratch)
    before = listing(scratch)
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "AUDIODEV", "XAUTHORITY")}
    env.update(HOME=home, PATH=os.path.join(scratch, "bin") + ":" + os.environ.get("PATH", ""))
    if display is not None:
        env["DISPLAY"] = display
    try:
        proc = subprocess.Popen([BIN], cwd=scratch, env=env, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
        try:
            out, err = proc.communicate(timeout=10)
        except subprocess.TimeoutExpired:
            proc.kill()
            proc.communicate()
            fail("%s: the game still runs after 10 s" % label)
        lines = err.decode(errors="replace").splitlines()
        check(proc.returncode != 0, "%s: the game exits with a non-zero code (%d)" % (label, proc.returncode))
        if not (len(lines) == 1 and lines[0].strip() != "" and out == b""):
            fail("%s: the game should say one line on stderr and nothing else, it said %s and %s"
                 % (label, lines, out))
        check(True, "%s: one line on stderr: %s" % (label, lines[0]))
        check(listing(scratch) == before, "%s: nothing written" % label)
    finally:
        if proc.poll() is None:
            proc.kill()
            proc.wait()
        shutil.rmtree(scratch, ignore_errors=True)

# ------------------------------------------------------ garbage in the files

old_set = valid_save_set([180, 90, 0, 0, 0])
noise = random.Random(1729)


def random_bytes(name):
    return noise.randbytes(noise.choice([1, 7, 100, 161, 4096, 70000]))


def cut_off(name):
    # A table cut in its middle; the settings cut inside their 4-byte header
    # (a settings file cut after it is read as far as it goes, by design).
    whole = old_set[name]
    return whole[:3] if name == "zorbl.sav" else whole[:len(whole) // 2]


KINDS = ["random bytes", "empty", "cut off", "a directory", "a dangling link"]


def put(directory, name, kind):
    path = os.path.join(directory, name)
    if kind == "random bytes":
        with open(path, "wb") as f:
            f.write(random_bytes(name))
    elif kind == "empty":
        open(path, "wb").close()
    elif kind == "cut off":
        with open(path, "wb") as f:
            f.write(cut_off(name))
    elif kind == "a directory":
        os.makedirs(os.path.join(path, "inside"))
    else:
        os.symlink(os.path.join(directory, "gone", name), path)


for turn in range(len(KINDS)):
    # Each file gets each kind of garbage once over the five runs.
    kinds = {name: KINDS[(i + turn) % len(KINDS)] for i, name in enumerate(SAVE_FILES)}
    label = "garbage save files (%s)" % ", ".join("%s %s" % (n, k) for n, k in kinds.items())
    print("-- " + label)
    label = "garbage run %d" % (turn + 1)
    scratch = tempfile.mkdtemp(prefix="zorbl-faults-garbage-")
    prepare(scratch)
    for name, kind in kinds.items():
        put(scratch, name, kind)
    game = PreparedGame(scratch)
    try:
        board = start(game, label)
        check("." not in "".join(board), "%s: the game shows a full board" % label)
        check(shown_hud_mask(screenshot(), 120) == hud_mask("TRAD"), "%s: the game is in Traditional mode" % label)
        quit_game(game, label)
        for name, kind in kinds.items():
            path = os.path.join(scratch, name)
            if kind == "a directory":
                check(os.path.isdir(os.path.join(path, "inside")), "%s: the directory %s was left alone" % (label, name))
            else:
                check(os.path.isfile(path) and not os.path.islink(path),
                      "%s: %s was written as a file in its place" % (label, name))
        check(leftovers(scratch) == [], "%s: no temporary file left behind: %s" % (label, leftovers(scratch)))
        settings, tables = saved(scratch)
        check(settings == DEFAULT_SETTINGS, "%s: the settings written are the defaults: %s" % (label, settings))
        if not all(tables[m] == DEFAULT_TABLE for m in range(4)):
            fail("%s: the tables written should be the default ones, they are %s" % (label, tables))
        check(True, "%s: the tables written are the default ones" % label)
    finally:
        game.stop()

# Noise behind the header every packed file starts with: the files open, and
# whatever they decode to must not break the game or what it saves.
label = "save files that open but hold noise"
header = old_set["zorbl.sav"][:4]
scratch = tempfile.mkdtemp(prefix="zorbl-faults-noise-")
prepare(scratch, {name: header + noise.randbytes(40 if name == "zorbl.sav" else 400) for name in SAVE_FILES})
game = PreparedGame(scratch)
try:
    start(game, label, board=False)
    quit_game(game, label)
    out = subprocess.run([SAVE_DUMP], cwd=scratch, check=True, capture_output=True).stdout
    values = [int(v) for v in out.split(b"\n")[0].split()[1:]]
    check(len(values) == 5 and 0 <= values[2] <= 3 and 0 <= values[3] <= 4,
          "%s: the settings written read back with a real mode and theme: %s" % (label, values))
    check(leftovers(scratch) == [], "%s: no temporary file left behind" % label)
finally:
    game.stop()

# --------------------------------------------- a directory nobody can write

label = "a working directory the player cannot write"
reach = subprocess.run([*AS_NOBODY, "xdpyinfo"], capture_output=True)
if shutil.which("setpriv") is None or reach.returncode != 0:
    left_out.append("%s: user nobody cannot reach the X display here" % label)
else:
    scratch = tempfile.mkdtemp(prefix="zorbl-faults-readonly-")
    prepare(scratch, dict(old_set, **{"zorbl.sav": settings_bytes(180, 90, 0, 0, 0)}))
    for root, dirs, files in os.walk(scratch):
        os.chmod(root, 0o555)
        for name in files:
            os.chmod(os.path.join(root, name), 0o555 if root.endswith("bin") else 0o444)
    can_write = subprocess.run([*AS_NOBODY, "touch", os.path.join(scratch, "probe")], capture_output=True)
    can_run = subprocess.run([*AS_NOBODY, "test", "-x", BIN, "-a", "-r", os.path.join(scratch, "data", "gfx.dat")])
    if can_write.returncode == 0 or can_run.returncode != 0:
        left_out.append("%s: cannot make a directory nobody reads but cannot write" % label)
        os.chmod(scratch, 0o755)
        shutil.rmtree(scratch, ignore_errors=True)
    else:
        before = listing(scratch)
        game = PreparedGame(scratch, prefix=AS_NOBODY, env={"HOME": scratch})
        try:
            board = start(game, label)
            pop_largest(game, board, label)
            change_settings(game, label)
            quit_game(game, label)
            after = listing(scratch)
            changed = sorted(p for p in set(after) | set(before) if after.get(p) != before.get(p))
            check(changed == [], "%s: the directory is as it was (changed: %s)" % (label, changed))
        finally:
            game.stop(keep=True)
            for root, dirs, files in os.walk(scratch):
                os.chmod(root, 0o755)
            shutil.rmtree(scratch, ignore_errors=True)

# --------------------------------------------------------- a full disk


def fill(directory, inodes):
    """Takes every free block (or, with inodes, every free inode) of the
    file system the directory is on."""
    if inodes:
        n = 0
        while True:
            try:
                open(os.path.join(directory, "filler%05d" % n), "wb").close()
            except OSError as e:
                if e.errno != errno.ENOSPC:
                    raise
                break
            n += 1
        return
    fd = os.open(os.path.join(directory, "filler"), os.O_WRONLY | os.O_CREAT, 0o644)
    try:
        for size in (65536, 4096, 1):
            chunk = b"\xa5" * size
            while True:
                try:
                    if os.write(fd, chunk) < size:
                        break
                except OSError as e:
                    if e.errno != errno.ENOSPC:
                        raise
                    break
    finally:
        os.close(fd)


for inodes in (False, True):
    label = "a full disk (no free %s) when the game saves" % ("inode" if inodes else "block")
    mountpoint = tempfile.mkdtemp(prefix="zorbl-faults-full-")
    options = "size=%d,mode=0755" % (len(open(ARCHIVE, "rb").read()) + 256 * 1024)
    if inodes:
        options += ",nr_inodes=64"
    mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", options, "tmpfs", mountpoint], capture_output=True)
    if mounted.returncode != 0:
        left_out.append("%s: cannot mount a tmpfs (%s)" % (label, mounted.stderr.decode(errors="replace").strip()))
        os.rmdir(mountpoint)
        continue
    try:
        prepare(mountpoint, dict(old_set))
        fill(mountpoint, inodes)
        free = os.statvfs(mountpoint)
        check((free.f_favail if inodes else free.f_bavail) == 0, "%s: the disk is full" % label)
        game = PreparedGame(mountpoint)
        try:
            board = start(game, label)
            pop_largest(game, board, label)
            change_settings(game, label)
            quit_game(game, label)
        finally:
            game.stop(keep=True)
        for name in SAVE_FILES:
            with open(os.path.join(mountpoint, name), "rb") as f:
                kept = f.read()
            check(kept == old_set[name], "%s: the old %s is intact, byte for byte" % (label, name))
        check(leftovers(mountpoint) == [], "%s: no temporary file left behind: %s" % (label, leftovers(mountpoint)))
        settings, tables = saved(mountpoint)
        check(settings == [180, 90, 0, 0, 0] and all(tables[m] == DEFAULT_TABLE for m in range(4)),
              "%s: the old settings and tables still load: %s" % (label, settings))
    finally:
        subprocess.run(["umount", mountpoint])
        os.rmdir(mountpoint)

if left_out:
    print("left out here:\n  " + "\n  ".join(left_out))
    sys.exit(77)
