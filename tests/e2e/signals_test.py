"""SIGTERM and SIGHUP (a kill, the desktop session ending) on every kind of
screen: play with a group selected, the options, a question box, the name
entry, the help and the statistics. Each time the game leaves as after a
confirmed quit, with exit code 0, and every file it leaves loads whole. On
play the game is written by the quit itself; in the name entry the row is
kept with the name typed so far."""

import os
import signal
import subprocess

from game import (SAVE_DUMP, Game, asks, check, game_bytes, key, largest_group, settings_bytes, shows, start_display,
                  tiles_after, until)

start_display()


def dump(directory):
    return subprocess.run([SAVE_DUMP], cwd=directory, check=True, capture_output=True, text=True).stdout.splitlines()


def nearly_over():
    """A game 5000 points in, one pair left at the bottom of the right
    column: one pop clears the board."""
    board = [0] * 80
    board[9 * 8 + 6] = board[9 * 8 + 7] = 1
    return game_bytes(board, score=5000)


def on_play(game):
    """A pop, then a group selected; the game.sav the pop wrote is removed."""
    board = game.start()
    group = largest_group(board)
    game.pop(group)
    until(lambda: os.path.exists(os.path.join(game.dir, "game.sav")), 10, "the pop's game.sav")
    after = game.settled_board(tiles_after(board, group, 0), doing="the pop")
    game.press_cell(*min(largest_group(after)))
    until(lambda: game.read_board() != after, 5, "the group selected to show")
    os.remove(os.path.join(game.dir, "game.sav"))
    return len(group) * len(group) - 1


def on_options(game):
    game.start()
    key("o")
    until(lambda: "".join(game.read_board()).count(".") > 60, 5, "the options screen")


def on_question(game):
    board = game.start()
    group = largest_group(board)
    game.pop(group)
    # N asks only over a game in progress: before the pop is taken it
    # starts a new game at once. On a loaded machine the key could get
    # there first.
    game.settled_board(tiles_after(board, group, 0), doing="the pop")
    key("n")
    until(lambda: asks("This will start a"), 10, "the new game question")


def on_name_entry(game):
    game.clear_last_pair("sig")


def on_help(game):
    game.start()
    key("F1")
    until(lambda: shows("HOW TO PLAY", 160, 14, anywhere=True), 5, "the help")


def on_statistics(game):
    game.start()
    key("s")
    until(lambda: shows("STATISTICS", 160, 14, anywhere=True), 5, "the statistics")


screens = [("play with a group selected", on_play), ("the options", on_options), ("a question box", on_question),
           ("the name entry", on_name_entry), ("the help", on_help), ("the statistics", on_statistics)]
for name, reach in screens:
    for sig in (signal.SIGTERM, signal.SIGHUP):
        files = {"zorbl.sav": settings_bytes(animations=0)}
        if reach is on_name_entry:
            files["game.sav"] = nearly_over()
        game = Game(files=files)
        try:
            scored = reach(game)
            game.proc.send_signal(sig)
            code, _, err = game.wait_exit(20)
            what = "%s on %s" % (sig.name, name)
            check(code == 0, "%s: exit code 0 (%d)" % (what, code))
            lines = dump(game.dir)
            files = {line.split()[1]: line.split()[2] for line in lines if line.startswith("file ")}
            expected = ["zorbl.sav", "scores0.sav", "scores1.sav", "scores2.sav", "scores3.sav"]
            check(all(files.get(name) == "sound" for name in expected) and set(files.values()) == {"sound"},
                  "%s: the settings and tables written, every file whole: %s" % (what, files))
            if reach is on_play:
                check(any(line.split()[:2] == ["game", str(scored)] for line in lines),
                      "%s: the quit itself wrote the game, %d points in" % (what, scored))
            if reach is on_name_entry:
                check(any(line.startswith("table 0 ") and line.endswith(" sig") for line in lines),
                      "%s: the row is kept with the name typed so far" % what)
        finally:
            game.stop()
