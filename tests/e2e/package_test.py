"""The Debian package as a player gets it: the validators pass, it holds
exactly the files a player needs (the data in the folder the game's --help
names as its own), and its game, unpacked into a scratch root and started
from a folder without data/gfx.dat, reads its data from the data folder
(mapped into that root by ZORBL_DATA_DIR), plays its music, and keeps the
five save files, the lock file of the game in progress and its screenshots
in $HOME/.local/share/zorbl, writing nothing to the working directory. Also --help, --version and an unknown
argument, with no display. scripts/test builds the package first."""

import glob
import os
import re
import shutil
import struct
import subprocess
import tempfile

import game
from game import Game, capturing_home, check, fail, picture_written, saved, soon, start_display, take_screenshot_keys

start_display()
build = os.path.dirname(game.BIN)
debs = glob.glob(os.path.join(build, "zorbl_*_*.deb"))
if len(debs) != 1:
    fail("expected one package in %s, found %s: run scripts/package" % (build, debs))
deb = debs[0]
check(os.path.getmtime(deb) >= os.path.getmtime(game.BIN), "the package is newer than the game it should hold")

root = tempfile.mkdtemp(prefix="zorbl-pkg-root-")
subprocess.run(["dpkg-deb", "-x", deb, root], check=True)
share = os.path.join(root, "usr", "share")
for command in (["lintian", "--fail-on", "error", deb],
                ["desktop-file-validate", os.path.join(share, "applications", "zorbl.desktop")],
                ["appstreamcli", "validate", "--no-net", "--pedantic", os.path.join(share, "metainfo", "zorbl.metainfo.xml")]):
    result = subprocess.run(command, capture_output=True, text=True)
    print(result.stdout + result.stderr)
    check(result.returncode == 0, command[0] + " passes the package")
for size in (16, 32, 48, 64, 128, 256):
    with open(os.path.join(share, "icons", "hicolor", "%dx%d" % (size, size), "apps", "zorbl.png"), "rb") as f:
        check(struct.unpack(">II", f.read(24)[16:24]) == (size, size), "a %d px icon" % size)

# From here on the harness starts the unpacked game. The command line first, with no display.
game.BIN = os.path.join(root, "usr", "games", "zorbl")
no_display = {k: v for k, v in os.environ.items() if k != "DISPLAY"}


def run(*args):
    return subprocess.run([game.BIN, *args], capture_output=True, text=True, env=no_display)


version = re.match(r"zorbl_([^_]+)_", os.path.basename(deb)).group(1)
out = run("--version")
check(out.returncode == 0 and out.stdout == "zorbl %s\n" % version, "--version prints " + version)
out = run("--help")
check(out.returncode == 0 and "usage: zorbl" in out.stdout and "ZORBL_DATA_DIR" in out.stdout, "--help prints the usage")
data = re.search(r"folder \((\S+), or \$ZORBL_DATA_DIR\)", out.stdout)
data = data.group(1) if data else "(not named)"
listed = sorted(line.split()[-1][1:] for line in subprocess.run(["dpkg-deb", "-c", deb], capture_output=True, text=True,
                                                                 check=True).stdout.splitlines() if line[0] != "d")
wanted = sorted(["/usr/games/zorbl", "/usr/games/zorbl-solve", data + "/gfx.dat", data + "/patches.dat",
                 "/usr/share/man/man6/zorbl.6.gz", "/usr/share/man/man6/zorbl-solve.6.gz",
                 "/usr/share/applications/zorbl.desktop", "/usr/share/metainfo/zorbl.metainfo.xml",
                 "/usr/share/doc/zorbl/copyright", "/usr/share/doc/zorbl/changelog.gz"]
                + ["/usr/share/icons/hicolor/%dx%d/apps/zorbl.png" % (n, n) for n in (16, 32, 48, 64, 128, 256)])
check(listed == wanted, "the package holds the game and the solver, their manual pages, the data in the folder "
      "--help names (%s), the menu entry, metadata, icons and docs: %s" % (data, sorted(set(listed) ^ set(wanted))))
out = run("--bogus")
check(out.returncode == 2 and out.stdout == "" and out.stderr.startswith("zorbl: unknown argument '--bogus'\nusage: zorbl"),
      "an unknown argument is named, then the usage follows on stderr, exit 2")
out = run("--bogus", "--help")
check(out.returncode == 0 and out.stdout.startswith("usage: zorbl"), "--help after a bad argument still prints the usage")

# A player's first run, with a home of its own where the sound lands in a file.
home, capture = capturing_home()
os.environ.update(HOME=home, ZORBL_DATA_DIR=os.path.join(share, "games", "zorbl"))
os.environ.pop("XDG_DATA_HOME", None)
played = Game(archive=False)  # the harness makes an empty data/ and bin/xmessage
try:
    before = sorted(os.walk(played.dir))
    played.wait_for_window()

    def loudest():
        """The loudest sample captured so far (the header is written only at exit)."""
        with open(capture, "rb") as f:
            samples = f.read()[44:]
        return max(map(abs, struct.unpack("<%dh" % (len(samples) // 2), samples[:len(samples) // 2 * 2])), default=0)
    check(soon(lambda: loudest() > 1000, 10), "the intro's tune is heard (loudest sample %d)" % loudest())
    played.start()
    take_screenshot_keys()
    saves = os.path.join(home, ".local", "share", "zorbl")
    check(picture_written(os.path.join(saves, "zorbl000.pcx"))[0] == 10, "Ctrl+P saves a PCX picture in the save folder")
    code, err = played.quit()
    check(code == 0, "quit with Yes ends the game" + ("" if code == 0 else ": exit %d, %s" % (code, err[-500:])))
    names = sorted(os.listdir(saves))
    check([n for n in names if not n.endswith(".pcx")] == ["game.lock", "scores0.sav", "scores1.sav", "scores2.sav",
                                                           "scores3.sav", "zorbl.sav"],
          "the five save files and the game's lock file are in ~/.local/share/zorbl (%s)" % names)
    check(os.stat(saves).st_mode & 0o777 == 0o700, "the save folder is the user's alone")
    check(saved(saves)[0] == [200, 100, 0, 0, 1], "the saved settings read back as the defaults")
    check(sorted(os.walk(played.dir)) == before, "nothing was written to the working directory")
finally:
    played.stop()
    shutil.rmtree(home, ignore_errors=True)
    shutil.rmtree(root, ignore_errors=True)
