"""Start-up: a missing or damaged archive stops the game with its message
and writes nothing (the other tests start it with a whole one)."""

import os
import random

from game import ARCHIVE, Game, check, start_display

start_display()

with open(ARCHIVE, "rb") as f:
    archive = f.read()
noise = random.Random(7).randbytes(len(archive))

for name, content in (("missing", None), ("truncated", archive[: len(archive) - 700]),
                      ("random bytes", noise), ("empty", b"")):
    game = Game(archive=content is not None, archive_bytes=content)
    try:
        code, out, err = game.wait_exit(seconds=15)
        check(code == 1, "%s archive: exit code 1 (got %d)" % (name, code))
        check("Failed to load data." in err, "%s archive: 'Failed to load data.' reported" % name)
        written = sorted(os.listdir(game.dir))
        check(written == ["bin", "data"], "%s archive: nothing written (%s)" % (name, written))
    finally:
        game.stop()
