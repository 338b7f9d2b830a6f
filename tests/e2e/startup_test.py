"""Start-up: a missing or damaged archive stops the game with its message
and writes nothing, neither where it was started nor in its HOME (the other
tests start it with a whole one)."""

import os
import random
import shutil
import tempfile

from game import ARCHIVE, Game, check, start_display

start_display()
os.environ.pop("XDG_DATA_HOME", None)  # an installed game's saves would go to $HOME

with open(ARCHIVE, "rb") as f:
    archive = f.read()
noise = random.Random(7).randbytes(len(archive))

for name, content in (("missing", None), ("truncated", archive[: len(archive) - 700]),
                      ("random bytes", noise), ("empty", b"")):
    home = tempfile.mkdtemp(prefix="zorbl-e2e-home-")
    game = Game(archive=content is not None, archive_bytes=content, env={"HOME": home})
    try:
        code, out, err = game.wait_exit(seconds=15)
        check(code == 1, "%s archive: exit code 1 (got %d)" % (name, code))
        check("Failed to load data." in err, "%s archive: 'Failed to load data.' reported" % name)
        written = sorted(os.listdir(game.dir)) + sorted(os.listdir(home))
        check(written == ["bin", "data"], "%s archive: nothing written (%s)" % (name, written))
    finally:
        game.stop()
        shutil.rmtree(home, ignore_errors=True)
