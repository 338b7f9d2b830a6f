"""H on a fresh board selects the first group of the search's line: it
shakes, and that game, played to its end, asks no name however well it
scored (it is an assisted game); the table stays as it was."""

from game import (YES, Game, check, key, largest_group, question_shown, saved, screenshot,
                  settle_traditional, start_display, table_bytes, until)

start_display()
low_table = [(0, "row%d" % k) for k in range(10)]  # any score would enter it
game = Game(files={"scores0.sav": table_bytes(low_table)})
try:
    board = game.start()
    check(screenshot() == screenshot(), "a board at rest stands still")
    key("h")
    check(until(lambda: screenshot() != screenshot(), 5, "tiles to shake"), "H selects a group: it shakes")
    key("Return")
    board = until(lambda: (lambda b: b != board and b)(game.settled_board()), 10, "the hinted group to pop")
    while largest_group(board):
        group = largest_group(board)
        game.press_cell(*min(group))
        game.press_cell(*min(group))
        game.park_pointer()
        board = settle_traditional(board, group)
        if largest_group(board):
            game.board_becomes(board)
    if "".join(board).count(".") == 80:
        game.answer(YES)  # the empty-board box
    # Past the banner, a press anywhere moves on from the game-over panel.
    check(until(lambda: question_shown() or game.press(300, 100), 15, "the assisted-game box"),
          "the game's end says it was assisted")
    game.press(*YES)
    code, _ = game.quit()
    check(code == 0, "the game quits")
    check(saved(game.dir)[1][0] == low_table, "no name was asked: the table is as it was")
finally:
    game.stop()
