"""Two copies of the game in one folder: the first owns the game in
progress. The second plays a fresh deal, says in its title that its game is
not kept, and never touches game.sav, whichever copy quits first; the next
start resumes the first copy's game, board and score. A first copy killed
outright (kill -9) leaves no lock behind: the next start resumes its game
even while a second copy still runs.

The display is two windows wide: a second copy is moved to the right half
so that each copy is pressed and read in its own window."""

import os
import re
import shutil
import subprocess
import tempfile
import time

import game as harness
from game import (Game, check, game_in_progress, hud_shows, key, largest_group, settings_bytes, start_display,
                  tiles_after, until, window_title, xdotool)

start_display("640x240")
# Either names the deal on its board.
TITLE = r"zorbl - deal \d+ - F1: help"
NOT_KEPT = r"zorbl - deal \d+ - F1: help - not kept: zorbl is already running"
running = []


def use(game):
    """From here on the harness presses and reads this copy's window."""
    harness.origin = game.at
    game.focus()


def launch(at):
    """A copy started in the folder, its window found among the others and
    placed at `at`, the intro skipped."""
    game = Game(directory=folder, prepared=True)
    others = {g.window for g in running}

    def new_window():
        game.alive("starting")
        out = subprocess.run(["xdotool", "search", "--name", "zorbl"], capture_output=True, text=True).stdout
        fresh = [w for w in out.split() if w not in others]
        return fresh[0] if fresh else None
    game.window = until(new_window, 20, "the window of a copy")
    running.append(game)
    xdotool("windowmove", game.window, *at)
    game.at = at
    use(game)
    # The first pointer move after a window appears is ignored.
    game.move(2, 2)
    time.sleep(0.1)
    game.park_pointer()
    key("Escape", hold=0.3)
    return game


def pop_largest(game, board, score, who):
    use(game)
    group = largest_group(board)
    what = "%s pops %s" % (who, game.pop(group))
    score += len(group) * len(group) - 1
    until(lambda: hud_shows(20, str(score)), 10, "%s: the score %d" % (what, score))
    return game.settled_board(tiles_after(board, group, 0), doing=what), score


def resumes(game, board, score, whose):
    use(game)
    check(until(lambda: game.read_board() == board and hud_shows(20, str(score)), 20, whose),
          "the next start resumes %s: the same board and a score of %d" % (whose, score))
    check(until(lambda: re.fullmatch(TITLE, window_title(game.window)), 5, "the title"),
          "its window title is %r" % TITLE)


def file_state(directory):
    """game.sav as it lies on disk: any write or removal changes it."""
    path = os.path.join(directory, "game.sav")
    info = os.stat(path)
    return info.st_ino, info.st_mtime_ns, open(path, "rb").read()


def second_copy(at, first_board):
    """A second copy: its title says its game is not kept, and it shows a
    fresh deal, not the first copy's game."""
    game = launch(at)
    check(until(lambda: re.fullmatch(NOT_KEPT, window_title(game.window)), 10, "the second copy's title"),
          "a second copy's window title is %r" % NOT_KEPT)
    board = game.wait_for_board()
    check(board != first_board and hud_shows(20, "0"), "a second copy plays a fresh deal with a score of 0")
    return game, board


def quit_copy(game, who):
    use(game)
    code, err = game.quit()
    check(code == 0, "%s quits with code 0 %s" % (who, err[-1000:] if code else ""))
    running.remove(game)


def kept_and_untouched(directory, before, board, score, doing):
    check(file_state(directory) == before and game_in_progress(directory) == (score, board),
          "%s: game.sav is untouched and still holds the first copy's game (score %d)" % (doing, score))


LEFT, RIGHT = (0, 0), (320, 0)
folder = tempfile.mkdtemp(prefix="zorbl-e2e-")
harness.prepare(folder, {"zorbl.sav": settings_bytes(animations=0)})
try:
    # The first copy quits first, then the second.
    a = launch(LEFT)
    board_a, score_a = pop_largest(a, a.wait_for_board(), 0, "the first copy")
    check(re.fullmatch(TITLE, window_title(a.window)), "the first copy's window title is %r" % TITLE)
    b, board_b = second_copy(RIGHT, board_a)
    board_b, score_b = pop_largest(b, board_b, 0, "the second copy")
    board_a, score_a = pop_largest(a, board_a, score_a, "the first copy")
    check(game_in_progress(folder) == (score_a, board_a), "game.sav holds the first copy's game after both popped")
    quit_copy(a, "the first copy")
    saved_a = file_state(folder)
    quit_copy(b, "the second copy")
    kept_and_untouched(folder, saved_a, board_a, score_a, "the first copy quit, then the second")

    # The first copy resumes that game; its second copy quits first this time.
    c = launch(LEFT)
    resumes(c, board_a, score_a, "the first copy's game")
    d, board_d = second_copy(RIGHT, board_a)
    board_c, score_c = pop_largest(c, board_a, score_a, "the first copy")
    saved_c = file_state(folder)
    pop_largest(d, board_d, 0, "the second copy")
    quit_copy(d, "the second copy")
    kept_and_untouched(folder, saved_c, board_c, score_c, "the second copy popped and quit")
    quit_copy(c, "the first copy")

    # The first copy killed outright while a second copy plays on.
    e = launch(LEFT)
    resumes(e, board_c, score_c, "the game the first copy quit with")
    f, board_f = second_copy(RIGHT, board_c)
    board_e, score_e = pop_largest(e, board_c, score_c, "the first copy")
    e.proc.kill()
    e.proc.wait()
    running.remove(e)
    saved_e = file_state(folder)
    pop_largest(f, board_f, 0, "the second copy")
    kept_and_untouched(folder, saved_e, board_e, score_e, "the first copy killed, the second popped")
    g = launch(LEFT)
    resumes(g, board_e, score_e, "the game of the first copy killed with kill -9, while a second copy still runs")
    quit_copy(f, "the second copy")
    quit_copy(g, "the copy started after the kill")
finally:
    for game in running:
        game.stop(keep=True)
    shutil.rmtree(folder, ignore_errors=True)
