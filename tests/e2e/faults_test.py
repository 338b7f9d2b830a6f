"""Things going wrong around the game, none of which may stop it or cost a
player the files they already have (the loaders themselves are unit-tested
and fuzzed; here the whole game meets them):

  - no display (DISPLAY unset, or naming a display that isn't there): one
    line on stderr and a quick non-zero exit, never a hang;
  - save files replaced while the game was not running by a named pipe,
    random bytes, an empty file, a directory and a dangling link: the game
    starts at once in Traditional with the default tables, quits with 0, and
    writes the defaults; a directory is left alone, no temporary file stays;
  - a working directory the player cannot write to (the game run as user
    nobody): it plays, quits with 0 and the directory is exactly as it was;
  - a full disk at quitting time: the game quits with 0 and the old save
    files are intact byte for byte.

A case whose facility is missing here (mounting, another user reaching the X
display) is left out and the test ends as skipped after the other cases."""

import os
import random
import shutil
import stat
import subprocess
import sys
import tempfile

from game import (ARCHIVE, BIN, DEFAULT_TABLE, OPTIONS_BUTTON, OPTIONS_CLOSE, SAVE_FILES, THEME_NEXT, Game, check,
                  fail, hud_shows, largest_group, prepare, saved, settings_bytes, settle_traditional, start_display,
                  table_bytes, until)

NOBODY = 65534
AS_NOBODY = ["setpriv", "--reuid=%d" % NOBODY, "--regid=%d" % NOBODY, "--clear-groups"]
start_display()
left_out = []


def play_a_little(game, doing):
    """Pops the largest group (Traditional, animations off), checks the tiles
    fell, changes the theme (settings that differ from the saved ones) and quits."""
    board = game.start()
    group = largest_group(board)
    what = game.pop(group)
    expected = settle_traditional(board, group)
    check(game.board_becomes(expected) == expected, "%s: %s popped and the tiles fell" % (doing, what))
    game.press(*OPTIONS_BUTTON)
    game.park_pointer()
    until(lambda: "".join(game.read_board()).count(".") > 70, 5, "%s: the options screen" % doing)
    game.press(*THEME_NEXT)
    game.press(*OPTIONS_CLOSE)
    code, err = game.quit()
    check(code == 0, "%s: quitting exits with code 0 %s" % (doing, err[-1500:] if code else ""))


def listing(directory):
    """Every path under a directory with its type, permissions, size and bytes."""
    found = {}
    for root, dirs, files in os.walk(directory):
        for name in dirs + files:
            path = os.path.join(root, name)
            info = os.lstat(path)
            content = open(path, "rb").read() if stat.S_ISREG(info.st_mode) else None
            found[os.path.relpath(path, directory)] = (stat.S_IFMT(info.st_mode), stat.S_IMODE(info.st_mode),
                                                       info.st_size, content)
    return found


def leftovers(directory):
    return sorted(n for n in os.listdir(directory) if n.endswith(".tmp"))


OLD_SETTINGS = [180, 90, 0, 0, 0]
old_set = dict({name: table_bytes(DEFAULT_TABLE) for name in SAVE_FILES[1:]},
               **{"zorbl.sav": settings_bytes(*OLD_SETTINGS)})

# ---------------------------------------------------------------- no display

for label, display in (("no DISPLAY at all", None), ("DISPLAY naming a display that isn't there", ":4917")):
    scratch = tempfile.mkdtemp(prefix="zorbl-faults-nodisplay-")
    prepare(scratch)
    before = listing(scratch)
    env = {k: v for k, v in os.environ.items() if k not in ("DISPLAY", "XAUTHORITY")}
    env.update(HOME=scratch, PATH=os.path.join(scratch, "bin") + ":" + os.environ.get("PATH", ""))
    if display is not None:
        env["DISPLAY"] = display
    try:
        proc = subprocess.run([BIN], cwd=scratch, env=env, capture_output=True, timeout=10)
        lines = proc.stderr.decode(errors="replace").splitlines()
        check(proc.returncode != 0, "%s: the game exits with a non-zero code (%d)" % (label, proc.returncode))
        check(len(lines) == 1 and lines[0].strip() and proc.stdout == b"",
              "%s: one line on stderr and nothing else: %s %s" % (label, lines, proc.stdout))
        check(listing(scratch) == before, "%s: nothing written" % label)
    except subprocess.TimeoutExpired:
        fail("%s: the game still runs after 10 s" % label)
    finally:
        shutil.rmtree(scratch, ignore_errors=True)

# ------------------------------------------------ odd things in the files' places

label = "save files that are a pipe, noise, empty, a directory, a dangling link"
scratch = tempfile.mkdtemp(prefix="zorbl-faults-garbage-")
prepare(scratch, {"scores0.sav": random.Random(1729).randbytes(4096), "scores1.sav": b""})
os.mkfifo(os.path.join(scratch, "zorbl.sav"))  # opening a pipe waits for a writer
os.makedirs(os.path.join(scratch, "scores2.sav", "inside"))
os.symlink(os.path.join(scratch, "gone", "scores3.sav"), os.path.join(scratch, "scores3.sav"))
game = Game(directory=scratch, prepared=True)
try:
    game.start()
    check(hud_shows(120, "TRAD"), "%s: the game starts in Traditional mode" % label)
    code, err = game.quit()
    check(code == 0, "%s: quitting exits with code 0" % label)
    check(os.path.isdir(os.path.join(scratch, "scores2.sav", "inside")), "%s: the directory was left alone" % label)
    check(all(os.path.isfile(os.path.join(scratch, n)) and not os.path.islink(os.path.join(scratch, n))
              for n in SAVE_FILES if n != "scores2.sav"), "%s: the others were written as files in their place" % label)
    check(leftovers(scratch) == [], "%s: no temporary file left behind: %s" % (label, leftovers(scratch)))
    settings, tables = saved(scratch)
    check(settings == [200, 100, 0, 0, 1] and all(tables[m] == DEFAULT_TABLE for m in range(4)),
          "%s: the settings and tables written are the defaults: %s" % (label, settings))
finally:
    game.stop()

# --------------------------------------------- a directory nobody can write

label = "a working directory the player cannot write"
reach = subprocess.run([*AS_NOBODY, "xdpyinfo"], capture_output=True)
if shutil.which("setpriv") is None or reach.returncode != 0:
    left_out.append("%s: user nobody cannot reach the X display here" % label)
else:
    scratch = tempfile.mkdtemp(prefix="zorbl-faults-readonly-")
    prepare(scratch, old_set)
    for root, dirs, files in os.walk(scratch):
        os.chmod(root, 0o555)
        for name in files:
            os.chmod(os.path.join(root, name), 0o555 if root.endswith("bin") else 0o444)
    before = listing(scratch)
    game = Game(directory=scratch, prepared=True, prefix=AS_NOBODY, env={"HOME": scratch})
    try:
        play_a_little(game, label)
        after = listing(scratch)
        changed = sorted(p for p in set(after) | set(before) if after.get(p) != before.get(p))
        check(changed == [], "%s: the directory is as it was (changed: %s)" % (label, changed))
    finally:
        game.stop(keep=True)
        for root, dirs, files in os.walk(scratch):
            os.chmod(root, 0o755)
        shutil.rmtree(scratch, ignore_errors=True)

# --------------------------------------------------------- a full disk

label = "a full disk when the game saves"
mountpoint = tempfile.mkdtemp(prefix="zorbl-faults-full-")
options = "size=%d,mode=0755" % (os.path.getsize(ARCHIVE) + 256 * 1024)
mounted = subprocess.run(["mount", "-t", "tmpfs", "-o", options, "tmpfs", mountpoint], capture_output=True)
if mounted.returncode != 0:
    left_out.append("%s: cannot mount a tmpfs (%s)" % (label, mounted.stderr.decode(errors="replace").strip()))
    os.rmdir(mountpoint)
else:
    try:
        prepare(mountpoint, old_set)
        fd = os.open(os.path.join(mountpoint, "filler"), os.O_WRONLY | os.O_CREAT, 0o644)
        for size in (65536, 1):
            try:
                while os.write(fd, b"\xa5" * size) == size:
                    pass
            except OSError:
                pass
        os.close(fd)
        check(os.statvfs(mountpoint).f_bavail == 0, "%s: the disk is full" % label)
        game = Game(directory=mountpoint, prepared=True)
        try:
            play_a_little(game, label)
        finally:
            game.stop(keep=True)
        for name in SAVE_FILES:
            check(open(os.path.join(mountpoint, name), "rb").read() == old_set[name],
                  "%s: the old %s is intact, byte for byte" % (label, name))
        check(leftovers(mountpoint) == [], "%s: no temporary file left behind: %s" % (label, leftovers(mountpoint)))
    finally:
        subprocess.run(["umount", mountpoint])
        os.rmdir(mountpoint)

if left_out:
    print("left out here:\n  " + "\n  ".join(left_out))
    sys.exit(77)
