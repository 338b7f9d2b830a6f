"""The game from the keyboard alone, with no pointer event at all: the intro
skipped, the options changed, every pop made with the cell cursor, the name
typed, the table, the quit. Then the window's close button on the screens
that once ignored it: the intro, the options, a question box, the name entry.

Every key is pressed once, and one whose effect does not show fails the
test; only the Space that ends the game is pressed until the game-over panel
takes it, which it does once the points banner has gone."""

from game import (DEFAULT_TABLE, Game, asks, check, close_window, cursor_cell, fail, find_group, hud_shows, key,
                  largest_group, name_entry_shown, question_shown, saved, screenshot, settle_traditional, shows, soon,
                  start_display, table_shows, until)

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


def walk(cell):
    """Arrow keys until the cursor frames the cell, two at once while both
    directions are to go; the first brings the cursor up in the middle."""
    for _ in range(30):
        at = soon(cursor_cell, 1.5)  # the points banner may hide it a while
        if at == cell:
            return
        dx, dy = (cell[0] - at[0], cell[1] - at[1]) if at else (0, 1)
        key(*(["Right" if dx > 0 else "Left"] if dx else []) + (["Down" if dy > 0 else "Up"] if dy else []))
        until(lambda: cursor_cell() not in (at, None), 3, "the cursor to move toward column %d, row %d" % cell)
    fail("the cursor never reached column %d, row %d" % cell)


def pop_by_keys(board, cell):
    """Space twice on the cell (the first selects, the second pops);
    returns the board after."""
    key("space")
    key("space")
    return settle_traditional(board, find_group(board, *cell))


game = Game()
try:
    game.wait_for_window(pointer=False)
    key("Escape", hold=0.3)
    board = game.wait_for_board()

    # Options: the first arrow shows the highlight on the music row; Left turns
    # the music down a step; four rows down, Right turns the animations off.
    key("o")
    until(lambda: "".join(game.read_board()).count(".") > 60, 5, "the options screen")  # it covers the board
    for name in ["Down", "Left", "Down", "Down", "Down", "Down", "Right", "Return"]:
        key(name)
    until(lambda: game.read_board() == board, 5, "the options to close")

    cells, points, last = plan(board)
    for n, cell in enumerate(cells, 1):
        walk(cell)
        group = find_group(board, *cell)
        board = pop_by_keys(board, cell)
        if largest_group(board):  # after the last pop the game-over panel comes over the board
            check(game.board_becomes(board) == board, "pop %d by keys, the %d tiles at column %d, row %d: the "
                  "board as planned" % (n, len(group), *cell))
    if all(row == "." * 10 for row in last):
        check(soon(question_shown), "an empty board brings its bonus box")
        key("Return")
        points += 250
    check(soon(lambda: hud_shows(20, str(points))),
          "%d pops made by keys score %d" % (len(cells), points))

    # Space goes by unseen while the points banner lasts; then the panel takes
    # it and the name entry comes in. Once there, a Space would be typed.
    for _ in range(10):
        key("space")
        if soon(lambda: name_entry_shown(anywhere=True), 2):
            break
    until(name_entry_shown, 5, "the name entry at rest")
    for letter in "key":
        key(letter)
    close_window()
    check(soon(lambda: asks("Are you sure you")), "the close button asks the quit question over the name entry")
    key("n")
    until(name_entry_shown, 5, "the name entry back at rest")  # keys typed before that are dropped
    key("s")
    key("Return")
    # The lowest row of the table gives way to the new one.
    table = sorted(DEFAULT_TABLE[:9] + [(points, "keys")], key=lambda row: -row[0])
    until(lambda: table_shows(table) == ["yes"] * 10, 10, "the table with the name typed")
    key("Escape")
    check(soon(lambda: asks("Are you sure you")), "Esc on the high-score table asks the quit question")
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
    until(lambda: any(pixel != (0, 0, 0) for row in screenshot() for pixel in row), 10, "the intro to show")
    close_window()
    check(soon(lambda: asks("Are you sure you")), "the close button ends the intro and asks the quit question")
    key("n")
    board = game.wait_for_board(seconds=5)

    key("o")
    options_shown = lambda: "".join(game.read_board()).count(".") > 60  # they cover the board
    until(options_shown, 5, "the options screen")
    close_window()
    check(soon(lambda: asks("Are you sure you")), "the close button asks the quit question over the options")
    key("Escape")
    # Not only gone from rest: Esc is for the options once "No!" is nowhere on its line.
    check(soon(lambda: not shows("No!", 213, 115, anywhere=True) and options_shown()),
          "No goes back to the options, which still cover the board")
    key("Escape")
    until(lambda: game.read_board() == board, 5, "the options to close")

    group = largest_group(board)
    walk(min(group))
    # Keys pressed while the pop animation plays are dropped: wait for the tiles to settle.
    expected = pop_by_keys(board, min(group))
    check(game.board_becomes(expected) == expected, "the %d tiles at column %d, row %d popped by keys"
          % (len(group), *min(group)))
    key("n")
    check(soon(lambda: asks("This will start a")), "N in a game in progress asks before a new game")
    close_window()
    check(soon(lambda: asks("Are you sure you")), "the close button answers it No and asks the quit question")
    key("y")
    code, _, _ = game.wait_exit()
    check(code == 0, "the close button over a question box: No to it, then Yes to quitting")
    settings, _ = saved(game.dir)
    check(settings == [200, 100, 0, 0, 1], "quitting through the close button saved the settings")
finally:
    game.stop()
