"""Ctrl+P saves the frame on the screen as a plain 320 x 240, 256-colour PCX."""

import os
import subprocess

from game import CONVERT, Game, check, picture_written, screenshot, start_display, take_screenshot_keys

start_display()

game = Game()
try:
    game.start()
    game.park_pointer()
    take_screenshot_keys()
    path = os.path.join(game.dir, "zorbl000.pcx")
    picture_written(path)
    shown = screenshot()
    pictures = sorted(f for f in os.listdir(game.dir) if f.endswith(".pcx"))
    check(pictures[:1] == ["zorbl000.pcx"], "Ctrl+P wrote zorbl000.pcx (%s)" % pictures)
    info = subprocess.run([CONVERT, path, "-format", "%m %w %h %k", "info:"], capture_output=True,
                          text=True).stdout.split()
    check(info[:3] == ["PCX", "320", "240"], "an ordinary 320 x 240 PCX picture (%s)" % info)
    raw = subprocess.run([CONVERT, path, "-depth", "8", "rgb:-"], capture_output=True, check=True).stdout
    differing = sum(1 for y in range(240) for x in range(320)
                    if tuple(raw[(y * 320 + x) * 3:(y * 320 + x) * 3 + 3]) != shown[y][x])
    check(differing == 0, "the picture matches the screen (%d pixels differ)" % differing)
finally:
    game.stop()
