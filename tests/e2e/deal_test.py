"""Deal numbers: the number read off the window's title deals the same board
again with --deal; G with a number plays that deal, G with junk or a number
out of range is refused on screen and the game goes on; D plays the day's
deal, numbered by the date."""

import re
import time

from game import Game, asks, check, key, settings_bytes, shows, start_display, until

start_display()
SETTINGS = {"zorbl.sav": settings_bytes(animations=0)}


def dealt(number):
    """The board the game deals as `number`: its 80 draws, column by column,
    as the game's generator makes them."""
    state, cells = number, []
    for _ in range(80):
        state = (state * 214013 + 2531011) & 0xFFFFFFFF
        cells.append(str((state >> 16 & 0x7FFF) % 5 + 1))
    return ["".join(cells[c * 8 + r] for c in range(10)) for r in range(8)]


def deal_in_title(game):
    found = re.fullmatch(r"zorbl - deal (\d+) - F1: help", game.title())
    return int(found.group(1)) if found else None


def entry_shown():
    return shows("Deal number:", 160, 75)


# The first deal of a game started plainly: its number is in the title.
game = Game(files=SETTINGS)
try:
    first = game.start()
    number = until(lambda: deal_in_title(game), 10, "a deal number in the window's title")
    check(first == dealt(number), "the title's deal %d names the board shown" % number)
finally:
    game.stop()

# The same number on the command line: the same board, the same title.
game = Game(files=SETTINGS, args=("--deal", str(number)))
try:
    again = game.start()
    check(again == first, "--deal %d deals the board the title named" % number)
    check(deal_in_title(game) == number, "the title names deal %d again" % number)

    # G, a number, Enter: that deal (no question: nothing was popped).
    key("g")
    until(entry_shown, 10, "the deal number box")
    game.type("12345")
    key("Return")
    game.board_becomes(dealt(12345), 20)
    check(game.read_board() == dealt(12345), "G 12345 deals deal 12345")
    until(lambda: deal_in_title(game) == 12345, 10, "the title naming deal 12345")

    # G with letters (they do not go in) and too large a number: refused.
    key("g")
    until(entry_shown, 10, "the deal number box again")
    game.type("abc9999999999")
    key("Return")
    check(until(lambda: asks("Deal numbers run"), 10, "the refusal"), "a number past 4294967295 is refused")
    key("n")
    time.sleep(1.5)
    check(game.read_board() == dealt(12345), "after the refusal the board is deal 12345 still")
    check(deal_in_title(game) == 12345, "after the refusal the title names deal 12345 still")

    # Esc leaves the box and changes nothing.
    key("g")
    until(entry_shown, 10, "the deal number box a third time")
    game.type("77")
    key("Escape")
    time.sleep(1.5)
    check(deal_in_title(game) == 12345, "Esc in the box keeps deal 12345")

    # D: the day's deal, its number the local date.
    key("d")
    today = int(time.strftime("%Y%m%d"))
    game.board_becomes(dealt(today), 20)
    check(game.read_board() == dealt(today), "D deals the day's deal, %d" % today)
    check(deal_in_title(game) == today, "the title names the day's deal")
finally:
    game.stop()
print("ok")
