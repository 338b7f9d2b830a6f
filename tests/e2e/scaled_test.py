"""On a 1280 x 1024 desktop the window is enlarged three times with square
pixels, the pointer acts in game pixels, and screenshots stay 320 x 240."""

import os
import subprocess
import time

import game as harness
from game import Game, check, find_group, require_display, settle_traditional, take_screenshot_keys, xdotool

require_display()

# A display of our own, the size of an ordinary desktop.
display = 60
while os.path.exists("/tmp/.X11-unix/X%d" % display) or os.path.exists("/tmp/.X%d-lock" % display):
    display += 1
xvfb = subprocess.Popen(["Xvfb", ":%d" % display, "-screen", "0", "1280x1024x24", "-nolisten", "tcp", "-noreset"],
                        stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
for _ in range(50):
    if os.path.exists("/tmp/.X11-unix/X%d" % display):
        break
    time.sleep(0.1)
os.environ["DISPLAY"] = ":%d" % display
K = 3

try:
    game = Game()
    try:
        game.wait_for_window()
        geometry = subprocess.run(["xdotool", "getwindowgeometry", game.window], capture_output=True,
                                  text=True).stdout
        check("960x720" in geometry, "the window is 960 x 720: " + " ".join(geometry.split()))
        origin = [int(v) for v in geometry.split("Position: ")[1].split()[0].split(",")]

        def shot():
            """The window's picture read back at game pixels, from each enlarged pixel's middle."""
            xwd = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
            raw = subprocess.run([harness.CONVERT, "xwd:-", "-depth", "8", "rgb:-"], input=xwd, check=True,
                                 capture_output=True).stdout
            width = 1280
            return [[tuple(raw[((origin[1] + y * K + 1) * width + origin[0] + x * K + 1) * 3:][:3])
                     for x in range(320)] for y in range(240)]

        def press(x, y):
            xdotool("mousemove", origin[0] + K * x + 1, origin[1] + K * y + 1)
            time.sleep(0.1)
            xdotool("mousedown", 1)
            time.sleep(0.15)
            xdotool("mouseup", 1)
            time.sleep(0.15)

        xdotool("mousemove", origin[0] + 5, origin[1] + 5)
        time.sleep(0.1)
        xdotool("mousemove", origin[0] + 900, origin[1] + 300)
        game.skip_intro()
        deadline = time.time() + 30
        board = None
        while time.time() < deadline:
            board = game.read_board(shot())
            if "." not in "".join(board):
                break
            time.sleep(0.3)
        check(board is not None and "." not in "".join(board), "the board shows, enlarged")
        time.sleep(0.5)
        board = game.read_board(shot())

        groups = [find_group(board, c, r) for r in range(8) for c in range(10)]
        group = max(groups, key=len)
        column, row = min(group)
        press(20 + 20 * column + 10, 10 + 20 * row + 10)
        press(20 + 20 * column + 10, 10 + 20 * row + 10)
        xdotool("mousemove", origin[0] + 900, origin[1] + 300)
        time.sleep(2)
        check(game.read_board(shot()) == settle_traditional(board, group),
              "a press at window pixel (3x + 1, 3y + 1) acts on game pixel (x, y)")

        take_screenshot_keys()
        path = os.path.join(game.dir, "zorbl000.pcx")
        info = subprocess.run([harness.CONVERT, path, "-format", "%w %h", "info:"], capture_output=True,
                              text=True).stdout.split()
        check(info == ["320", "240"], "a screenshot is 320 x 240 (%s)" % info)
    finally:
        game.stop()
finally:
    xvfb.kill()
