"""H selects a group (its tiles shake, nothing else moves) with the cursor on
it, so that Enter pops exactly that group; the first deal after the whole
intro is played to its end by hints alone. Which group: the first pop of
the search's line. On a full board that line depends on how much time the
search got, so there only the in-process unit test (keys_test) checks it;
but on 20 tiles or fewer the search tries every line whatever its time
(from 24, says docs/solver.md), and each hint must be zorbl-solve's first pop
on the board shown. (From this deal every budget's line passes there.)
Then, as the game was assisted, its end asks no name however well it
scored; the table stays as it was."""

import os
import subprocess

from game import (BIN, YES, Game, asks, check, find_group, hud_shows, key, largest_group, saved, screenshot,
                  settings_bytes, settle_traditional, shaking_group, start_display, table_bytes, until)

SOLVE = os.path.join(os.path.dirname(BIN), "zorbl-solve")
start_display()


def solvers_first_pop(board):
    lines = "".join(row.replace(".", "0") + "\n" for row in board)
    out = subprocess.run([SOLVE, "--ms", "1000"], input=lines, capture_output=True, text=True, check=True).stdout
    column, row, _ = map(int, out.split("\n")[0].split())
    return find_group(board, column, row)


low_table = [(0, "row%d" % k) for k in range(10)]  # any score would enter it
game = Game(files={"scores0.sav": table_bytes(low_table), "zorbl.sav": settings_bytes(animations=0)})
try:
    game.wait_for_window()
    board = game.wait_for_board(seconds=60)
    with open(os.path.join(os.path.dirname(__file__), "..", "golden", "first_deal.txt")) as f:
        check(board == f.read().split()[2:], "the whole intro, then the first deal")
    check(screenshot() == screenshot(), "a board at rest stands still")
    hints = exact = popped = 0
    while largest_group(board):
        hints += 1
        tiles = 80 - "".join(board).count(".")
        key("h")
        group = shaking_group(board)
        check(len(group) >= 2, "hint %d, %d tiles left: a group of %d shakes" % (hints, tiles, len(group)))
        if tiles <= 20:
            exact += 1
            check(group == solvers_first_pop(board), "hint %d, %d tiles left: the group is zorbl-solve's first pop"
                  % (hints, tiles))
        key("Return")
        popped += len(group)
        board = settle_traditional(board, group)
        # The last pop brings the game-over panel over the board: read the tiles box.
        check(game.board_becomes(board) == board if largest_group(board) else
              until(lambda: hud_shows(70, str(popped)), 5, "the tiles box"),
              "hint %d: Enter pops the %d tiles that shook" % (hints, len(group)))
    check(exact > 0, "%d hints, %d of them on 20 tiles or fewer" % (hints, exact))
    if "".join(board).count(".") == 80:
        game.answer(YES)  # the empty-board box
    # Past the banner, a press anywhere moves on from the game-over panel.
    check(until(lambda: asks("Assisted game:") or game.press(300, 100), 15, "the assisted-game box"),
          "the game's end says it was assisted")
    game.press(*YES)
    code, _ = game.quit()
    check(code == 0, "the game quits")
    check(saved(game.dir)[1][0] == low_table, "no name was asked: the table is as it was")
finally:
    game.stop()
