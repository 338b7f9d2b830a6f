"""F11 takes the game to the whole screen: the window fills the display, the
picture is enlarged by the largest whole number that fits, centred on black,
and a press on a cell selects that cell's group there; F11 again gives the
window back with the group still selected, and Alt+Enter does as F11. The
board is the same throughout, and the last choice is written to zorbl.cfg,
a text file a person can read."""

import os
import subprocess

import game as harness
from game import (Game, check, find_group, key, largest_group, question_shown, screenshot, shaking_group,
                  start_display, until)

start_display("1024x768")


def geometry(window):
    out = subprocess.run(["xdotool", "getwindowgeometry", window], capture_output=True, text=True).stdout
    position = tuple(int(v) for v in out.split("Position: ")[1].split()[0].split(","))
    size = tuple(int(v) for v in out.split("Geometry: ")[1].split()[0].split("x"))
    return position, size


def border_is_black():
    """The display's own pixels round the picture, read one to one."""
    harness.origin, harness.scale = (0, 0), 1
    shot = screenshot()
    harness.origin, harness.scale = (32, 24), 3
    return all(shot[y][x] == (0, 0, 0) for x, y in ((0, 0), (31, 100), (200, 23), (31, 239)))


game = Game()
try:
    game.wait_for_window(pointer=False)
    where, size = geometry(game.window)
    check(size == (640, 480), "in a window on a 1024 x 768 display the picture is 640 x 480 (%s)" % (size,))
    harness.origin, harness.scale = where, 2
    game.wait_for_window()
    board = game.start()
    group = largest_group(board)
    cell = min(group)

    key("F11")
    check(until(lambda: geometry(game.window) == ((0, 0), (1024, 768)), 10, "the window to fill the display"),
          "F11: the window fills the 1024 x 768 display")
    # 1024 x 768 holds the picture three times (960 x 720), at 32, 24.
    harness.origin, harness.scale = (32, 24), 3
    check(until(lambda: game.read_board() == board, 10, "the board on the whole screen"),
          "the same board, enlarged three times and centred")
    check(border_is_black(), "black round the picture")
    # As after the window first appears, the first pointer move is lost.
    game.move(2, 2)
    game.press_cell(*cell)
    game.park_pointer()
    shaking = shaking_group(board)
    check(shaking == group == find_group(board, *cell),
          "a press on column %d, row %d selects its group of %d on the whole screen (%s shake)"
          % (cell[0], cell[1], len(group), sorted(shaking)))

    key("F11")
    check(until(lambda: geometry(game.window)[1] == (640, 480), 10, "the window again"), "F11 again: the window")
    harness.origin, harness.scale = geometry(game.window)[0], 2
    check(until(lambda: game.read_board() == board, 10, "the board in the window"), "the same board in the window")
    check(shaking_group(board) == group, "the group is still selected")
    config = os.path.join(game.dir, "zorbl.cfg")
    with open(config) as f:
        written = f.read()
    check("fullscreen = no" in written and "scale = auto" in written, "zorbl.cfg says so in plain text: %r" % written)

    key("alt+Return")
    check(until(lambda: geometry(game.window) == ((0, 0), (1024, 768)), 10, "the whole screen again"),
          "Alt+Enter: the whole screen")
    harness.origin, harness.scale = (32, 24), 3
    check(until(lambda: game.read_board() == board, 10, "the board"), "the same board after Alt+Enter")
    check(not question_shown(), "Alt+Enter answers no question and opens no box")
    code, err = game.quit()
    check(code == 0, "the game quits from the whole screen")
    with open(config) as f:
        check("fullscreen = yes" in f.read(), "the whole screen is remembered for the next run")
finally:
    game.stop()
