"""? opens the help wherever the keyboard's layout puts it: on a German
layout it is Shift and the key right of 0, and / is Shift and 7."""

import subprocess

from game import Game, check, key, shows, start_display, until

start_display()
subprocess.run(["setxkbmap", "-layout", "de"], check=True)
game = Game()
try:
    board = game.start()
    key("question")
    check(until(lambda: shows("HOW TO PLAY", 160, 14, anywhere=True), 5, "the help"),
          "? on a German keyboard shows the help")
    key("Escape")
    check(until(lambda: game.read_board() == board, 5, "the board again"), "Esc goes back to the board")
    code, _ = game.quit()
    check(code == 0, "the game quits")
finally:
    game.stop()
