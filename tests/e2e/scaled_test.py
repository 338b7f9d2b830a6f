"""On a 1280 x 1024 desktop the window is enlarged three times with square
pixels, the pointer acts in game pixels, and screenshots stay 320 x 240."""

import os
import subprocess

import game as harness
from game import (CONVERT, Game, check, largest_group, picture_written, screenshot, settle_traditional,
                  start_display, take_screenshot_keys)

start_display("1280x1024")

game = Game()
try:
    game.wait_for_window()
    geometry = subprocess.run(["xdotool", "getwindowgeometry", game.window], capture_output=True,
                              text=True).stdout
    check("960x720" in geometry, "the window is 960 x 720: " + " ".join(geometry.split()))
    # From here on the harness reads and presses game pixels in the enlarged window.
    origin = tuple(int(v) for v in geometry.split("Position: ")[1].split()[0].split(","))
    harness.origin, harness.scale = origin, 3
    game.wait_for_window()
    board = game.start()

    # Read at the corners of each 3 x 3 square instead of its middle, the picture is the same.
    middle = screenshot()
    corners = []
    for shift in (-1, 1):
        harness.origin = (origin[0] + shift, origin[1] + shift)
        corners.append(screenshot())
    harness.origin = origin
    check(corners == [middle, middle], "each game pixel shows as a square of 3 x 3 display pixels")

    group = largest_group(board)
    what = game.pop(group)
    expected = settle_traditional(board, group)
    check(game.board_becomes(expected) == expected,
          "%s popped: a press at window pixel (3x + 1, 3y + 1) acts on game pixel (x, y)" % what)

    take_screenshot_keys()
    path = os.path.join(game.dir, "zorbl000.pcx")
    picture_written(path)
    info = subprocess.run([CONVERT, path, "-format", "%w %h", "info:"], capture_output=True, text=True).stdout.split()
    check(info == ["320", "240"], "a screenshot is 320 x 240 (%s)" % info)
finally:
    game.stop()
