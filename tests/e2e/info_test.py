"""Everything findable: the window's title tells of the deal and the help;
F1 shows it over the board, Right turns to the keys, to more keys and to the
deals, and Esc gives the same board back; S shows the statistics and closes
them; ? shows the help too, and a click closes either; Ctrl+Q asks the quit
question."""

import re
import subprocess

from game import Game, check, key, question_shown, shows, start_display, until

start_display()
game = Game()
try:
    board = game.start()
    title = subprocess.run(["xdotool", "getwindowname", game.window], capture_output=True, text=True).stdout
    check(re.fullmatch(r"zorbl - deal \d+ - F1: help", title.strip()),
          "the window's title tells of the deal and the help: %r" % title.strip())

    # Each page's title stands on the box's first line, at y 14.
    key("F1")
    check(until(lambda: shows("HOW TO PLAY", 160, 14, anywhere=True), 5, "the help"), "F1 shows the rules")
    key("Right")
    check(until(lambda: shows("KEYS", 160, 14, anywhere=True), 5, "the second page"), "Right turns to the keys")
    key("Right")
    check(until(lambda: shows("MORE KEYS", 160, 14, anywhere=True), 5, "the third page"), "Right again turns to more keys")
    key("Right")
    check(until(lambda: shows("DEALS", 160, 14, anywhere=True), 5, "the last page"), "Right again turns to the deals")
    key("Escape")
    check(until(lambda: game.read_board() == board, 5, "the board again"), "Esc goes back to the same board")

    key("s")
    check(until(lambda: shows("STATISTICS", 160, 14, anywhere=True), 5, "the statistics"), "S shows the statistics")
    key("s")
    check(until(lambda: game.read_board() == board, 5, "the board again"), "S again closes them")

    # ? is read as the character typed (Shift and / here), and a click closes
    # the help and the statistics alike.
    key("question")
    check(until(lambda: shows("HOW TO PLAY", 160, 14, anywhere=True), 5, "the help"), "? shows the help")
    game.press(160, 120)
    check(until(lambda: game.read_board() == board, 5, "the board again"), "a click closes the help")
    key("s")
    check(until(lambda: shows("STATISTICS", 160, 14, anywhere=True), 5, "the statistics"), "S shows them again")
    game.press(160, 120)
    check(until(lambda: game.read_board() == board, 5, "the board again"), "a click closes the statistics")

    key("ctrl+q")
    check(until(question_shown, 5, "the quit question"), "Ctrl+Q asks the quit question")
    key("y")
    code, _, _ = game.wait_exit()
    check(code == 0, "Yes quits")
finally:
    game.stop()
