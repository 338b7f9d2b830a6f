"""Watching the best line: after a game in the Traditional mode, W on the
statistics screen brings the deal back and plays it pop by pop; a key stops
it. The score tables, the statistics and the game in progress are then,
byte for byte, as they were before W, and still are once the game has quit
(which writes the tables of the other modes as every quit does)."""

import os
import random

from game import (DEFAULT_TABLE, Game, asks, check, game_bytes, key, settings_bytes, shows, start_display,
                  saved, table_shows, until)

start_display()

SAVED = ["scores0.sav", "scores1.sav", "scores2.sav", "scores3.sav", "stats.sav", "game.sav"]


def files(directory):
    """Each file's bytes, None where there is none."""
    out = {}
    for name in SAVED:
        path = os.path.join(directory, name)
        out[name] = open(path, "rb").read() if os.path.exists(path) else None
    return out


def searching(pid):
    """Whether a search runs beside the game: its threads alone run under
    the idle policy (5 in the kernel's numbering, field 41 of stat)."""
    tasks = "/proc/%d/task" % pid
    for tid in os.listdir(tasks):
        try:
            with open(os.path.join(tasks, tid, "stat")) as f:
                if f.read().rsplit(")", 1)[1].split()[38] == "5":
                    return True
        except OSError:
            pass
    return False


def tiles(board):
    return 80 - "".join(board).count(".")


# A full deal of five colours; the game came back with one pair left of it.
picker = random.Random(27)
deal = [picker.randint(1, 5) for _ in range(80)]
last_pair = [0] * 80
last_pair[9 * 8 + 6] = last_pair[9 * 8 + 7] = 1
game = Game(files={"zorbl.sav": settings_bytes(animations=0), "game.sav": game_bytes(last_pair, deal, 5000)})
try:
    # The deal's best line is searched for when the game comes back.
    game.clear_last_pair("w")
    key("Return")
    table = [(5253, "w")] + DEFAULT_TABLE[:9]  # 5000, the pair's 3 and the bonus of 250
    until(lambda: table_shows(table) == ["yes"] * 10, 10, "the table with the new row")
    until(lambda: not searching(game.proc.pid), 30, "the search for the deal's best line to end")
    key("s")
    until(lambda: shows("STATISTICS", 160, 14, anywhere=True), 5, "the statistics")
    before = files(game.dir)
    check(before["stats.sav"] is not None and before["game.sav"] is None,
          "the game's end was counted and its game.sav removed")

    key("w")
    shown_deal = ["".join(str(deal[c * 8 + r]) for c in range(10)) for r in range(8)]
    check(until(lambda: game.read_board() == shown_deal, 10, "the deal"), "W brings the deal back")
    looks = [80]
    until(lambda: looks.append(tiles(game.read_board())) or looks[-1] < 78 and looks[-1] == looks[-2], 20,
          "the line's first pop to play")
    key("x")
    changed = [name for name, data in files(game.dir).items() if data != before[name]]
    check(not changed, "after watching, the tables, the statistics and game.sav are as before %s" % changed)

    until(lambda: asks("Are you sure you") or key("Escape"), 10, "the quit question")
    key("y")
    code, _, _ = game.wait_exit()
    check(code == 0, "the game quits")
    # The quit writes every mode's table; those of the modes not played hold the defaults.
    changed = [name for name, data in files(game.dir).items() if data != before[name]]
    _, tables = saved(game.dir)
    check(set(changed) <= {"scores1.sav", "scores2.sav", "scores3.sav"} and tables[0] == table
          and all(tables[mode] == DEFAULT_TABLE for mode in (1, 2, 3)),
          "after quitting too, the table played, the statistics and game.sav are as before %s" % changed)
finally:
    game.stop()
