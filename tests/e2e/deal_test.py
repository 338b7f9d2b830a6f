"""Deal numbers: the number read off the window's title deals the same board
again with --deal; G with a number plays that deal, G with junk or a number
out of range is refused on screen and the game goes on; a game that comes
back keeps its number, and --deal over it asks first; D plays the day's
deal, numbered by the date, after the same question."""

import re
import time

from game import Game, asks, check, key, largest_group, settings_bytes, shows, start_display, tiles_after, until

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
    until(lambda: not asks("Deal numbers run"), 10, "the refusal to close")
    check(game.board_becomes(dealt(12345)) == dealt(12345), "after the refusal the board is deal 12345 still")
    check(deal_in_title(game) == 12345, "after the refusal the title names deal 12345 still")

    # Esc leaves the box and changes nothing.
    key("g")
    until(entry_shown, 10, "the deal number box a third time")
    game.type("77")
    key("Escape")
    until(lambda: not entry_shown(), 10, "the deal number box to close")
    check(game.board_becomes(dealt(12345)) == dealt(12345) and deal_in_title(game) == 12345,
          "Esc in the box keeps deal 12345")

    # A pop makes a game in progress, kept when the game is killed.
    group = largest_group(dealt(12345))
    played = game.settled_board(tiles_after(dealt(12345), group, 0), doing=game.pop(group))
    game.proc.kill()
    game.proc.wait()
finally:
    game.stop(keep=True)

# Started again with another deal asked for: the game in progress comes back
# with its number, and the new-game question asks before anything is dropped.
game = Game(directory=game.dir, prepared=True, args=("--deal", "777"))
try:
    game.wait_for_window()
    game.focus()
    key("Escape", hold=0.3)
    check(until(lambda: asks("This will start a"), 20, "the new-game question"),
          "--deal over a game in progress asks the new-game question")
    key("n")
    check(game.board_becomes(played) == played, "No keeps the game that came back")
    check(deal_in_title(game) == 12345, "the game that came back keeps its number, 12345")

    # D: the day's deal, its number the local date, after the same question.
    today = int(time.strftime("%Y%m%d"))
    key("d")
    check(until(lambda: asks("This will start a"), 10, "the new-game question"), "D over a game in progress asks")
    key("y")
    game.board_becomes(dealt(today), 20)
    check(game.read_board() == dealt(today), "D deals the day's deal, %d" % today)
    check(deal_in_title(game) == today, "the title names the day's deal")
finally:
    game.stop()
print("ok")
