"""The game from the keyboard alone, with no pointer event at all: the intro
skipped, the options changed, every pop made with the cell cursor, the name
typed, the table, the quit. Then the window's close button on the screens
that once ignored it: the intro, the options, a question box, the name entry."""

import time

from game import (Game, check, close_window, hud_shows, key, largest_group, question_shown, saved,
                  settle_traditional, soon, start_display)

start_display()


def plan(board):
    """A greedy game in the Traditional mode: the largest group each time,
    taken at its cell nearest the cursor. The cells, the score, the last board."""
    cursor, cells, points = (5, 4), [], 0
    group = largest_group(board)
    while group:
        cursor = min(group, key=lambda cell: (abs(cell[0] - cursor[0]) + abs(cell[1] - cursor[1]), cell))
        cells.append(cursor)
        points += len(group) * len(group) - 1
        board = settle_traditional(board, group)
        group = largest_group(board)
    return cells, points, board


def walk(cursor, cell):
    """Arrow keys from one cell to another, two at once while both directions are to go."""
    dx, dy = cell[0] - cursor[0], cell[1] - cursor[1]
    for step in range(max(abs(dx), abs(dy))):
        key(*(["Right" if dx > 0 else "Left"] if step < abs(dx) else [])
            + (["Down" if dy > 0 else "Up"] if step < abs(dy) else []))


game = Game()
try:
    game.wait_for_window(pointer=False)
    key("Escape", hold=0.3)
    board = game.wait_for_board()

    # Options: the first arrow shows the highlight on the music row; Left turns
    # the music down a step; four rows down, Right turns the animations off.
    key("o")
    for name in ["Down", "Left", "Down", "Down", "Down", "Down", "Right", "Return"]:
        key(name)

    cells, points, last = plan(board)
    key("Down")  # the cursor comes up in the middle of the board
    cursor = (5, 4)
    for cell in cells:
        walk(cursor, cell)
        cursor = cell
        key("space")
        key("space")
    if all(row == "." * 10 for row in last):
        check(soon(question_shown), "an empty board brings its bonus box")
        key("Return")
        points += 250
    check(soon(lambda: hud_shows(20, str(points))),
          "%d pops made by keys score %d" % (len(cells), points))

    time.sleep(2.5)  # the points banner runs out; then the panel waits for Space
    key("space")
    time.sleep(1.5)
    for letter in "key":
        key(letter)
    close_window()
    check(soon(question_shown), "the close button asks the quit question over the name entry")
    key("n")
    time.sleep(1.5)  # keys typed before the entry is back at rest are dropped
    key("s")
    key("Return")
    # Esc does nothing in the name entry: pressed again until the table takes it.
    for _ in range(5):
        time.sleep(0.5)
        key("Escape")
        if soon(question_shown, seconds=2):
            break
    check(question_shown(), "Esc on the high-score table asks the quit question")
    key("y")
    code, _, _ = game.wait_exit()
    check(code == 0, "Y quits with exit code 0")
    settings, tables = saved(game.dir)
    check(settings == [200, 85, 0, 0, 0], "the options changed by keys were saved: %s" % settings)
    check((points, "keys") in tables[0], "the name typed around the quit question is in the table: %s" % tables[0])
finally:
    game.stop()

game = Game()
try:
    game.wait_for_window(pointer=False)
    time.sleep(1)
    close_window()
    check(soon(question_shown), "the close button ends the intro and asks the quit question")
    key("n")
    board = game.wait_for_board(seconds=5)

    key("o")
    close_window()
    check(soon(question_shown), "the close button asks the quit question over the options")
    key("Escape")
    check(soon(lambda: not question_shown() and "".join(game.read_board()).count(".") > 60),
          "No goes back to the options, which still cover the board")
    key("Escape")

    key("Down")
    walk((5, 4), min(largest_group(board)))
    key("space")
    key("space")
    time.sleep(1.5)  # keys pressed while the pop animation plays are dropped
    key("n")
    check(soon(question_shown), "N in a game in progress asks before a new game")
    close_window()
    time.sleep(2.5)  # the new-game question slides out and the quit question in
    key("y")
    code, _, _ = game.wait_exit()
    check(code == 0, "the close button over a question box: No to it, then Yes to quitting")
    settings, _ = saved(game.dir)
    check(settings == [200, 100, 0, 0, 1], "quitting through the close button saved the settings")
finally:
    game.stop()
