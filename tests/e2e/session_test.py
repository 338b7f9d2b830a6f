"""One scripted session through the whole interface: the quit and new-game
questions, the options screen, a whole game to its end with a ten-letter
name typed into the high-score table (an eleventh refused), the table on the
screen holding the saved rows for the mode picked with a digit key, the
settings and the new row surviving a restart, and the window's close button."""

import subprocess
import time

from game import (CLOSE_WINDOW, MODE_NEXT, NEW_GAME_BUTTON, NO, OPTIONS_BUTTON, OPTIONS_CLOSE, QUIT_BUTTON, THEME_NEXT,
                  THEME_PREV, ANIMATIONS_BOX, YES, Game, check, hud_shows, key, largest_group, name_entry_shown,
                  question_shown, saved, screenshot, settle_traditional, start_display, statistics, table_bytes,
                  table_shows, until, xdotool)

start_display()


def drag(game, start, end_x):
    """Holds the left button on a slider knob and moves it a few pixels at a time."""
    x, y = start
    game.move(x, y)
    time.sleep(0.1)
    xdotool("mousedown", 1)
    time.sleep(0.1)
    while abs(end_x - x) > 1:
        x += 2 if end_x > x else -2
        game.move(x, y)
        time.sleep(0.04)
    game.move(end_x, y)
    time.sleep(0.1)
    xdotool("mouseup", 1)
    time.sleep(0.1)


def upper_left():
    return [row[20:150] for row in screenshot()[10:100]]


# A Traditional table that any score enters, so the name is always asked.
low_table = [(0, "row%d" % k) for k in range(10)]
game = Game(files={"scores0.sav": table_bytes(low_table)})
try:
    board = game.start()

    # Quit, answered "No!": play goes on.
    game.press(*QUIT_BUTTON)
    game.answer(NO)
    game.park_pointer()
    check(game.board_becomes(board) == board, "quit answered No: play goes on")

    # New game before the first pop: no question, a new deal.
    old = board
    game.press(*NEW_GAME_BUTTON)
    game.park_pointer()
    until(lambda: (lambda b: b != old and "." not in "".join(b))(game.read_board()), 10, "a new deal")
    board = game.wait_for_board()
    check(board != old and not question_shown(), "before the first pop the new-game button deals a new board, "
          "asking nothing")

    # After the first pop the new-game button asks first; "No!" keeps the game.
    group = largest_group(board)
    score = len(group) * len(group) - 1
    what = game.pop(group)
    board = settle_traditional(board, group)
    check(game.board_becomes(board) == board, "%s popped" % what)
    game.press(*NEW_GAME_BUTTON)
    game.answer(NO)
    game.park_pointer()
    check(game.board_becomes(board) == board, "after the first pop, new game asks first and No keeps the board")

    # The options: mode refused while a game is in progress, theme, animations, volumes.
    game.press(*OPTIONS_BUTTON)
    game.park_pointer()
    check(until(lambda: "".join(game.read_board()).count(".") > 70, 5, "the options screen"),
          "the options screen covers the board")
    game.press(*MODE_NEXT)
    game.press(*THEME_NEXT)
    game.press(*ANIMATIONS_BOX)
    drag(game, (150 + 20, 28), 155)   # music knob from 100 to 25
    drag(game, (150 + 40, 48), 160)   # sample knob from 200 to 50
    # The options screen and the board in another theme both read as no
    # tiles: each press that opens or closes it is followed until the upper
    # left of the board (where the pointer never is) changes.
    game.park_pointer()
    options = upper_left()
    game.press(*OPTIONS_CLOSE)
    game.park_pointer()
    until(lambda: upper_left() != options, 5, "the options to close")
    check("".join(game.read_board()).count(".") > 60, "another theme shows other tiles")
    check(hud_shows(120, "TRAD"), "the mode did not change during a game")
    themed = upper_left()
    game.press(*OPTIONS_BUTTON)
    until(lambda: upper_left() != themed, 5, "the options again")
    game.press(*THEME_PREV)
    game.press(*OPTIONS_CLOSE)
    game.park_pointer()
    check(game.board_becomes(board) == board, "the first theme again, the board as it was")

    # Play the game to its end, with animations off.
    pops = 1
    while largest_group(board):
        group = largest_group(board)
        pops += 1
        score += len(group) * len(group) - 1
        what = game.pop(group)
        board = settle_traditional(board, group)
        if largest_group(board) is None:
            break  # the game is over: the game-over panel slides over the board
        check(game.board_becomes(board) == board, "pop %d, %s: the board as expected" % (pops, what))
    if "".join(board).count(".") == 80:
        game.answer(YES)  # "WOW! Empty board!" waits for an answer
        score += 250
    check(until(lambda: hud_shows(20, str(score)), 5, "the score"), "the score box shows %d" % score)
    cleared = int("".join(board).count(".") == 80)
    check(until(lambda: statistics(game.dir)[(0, 0)] == (1, cleared, score), 5, "the statistics file"),
          "the finished game is in the statistics file at once")

    # Presses during the points banner are let go by; then the panel takes one.
    until(lambda: name_entry_shown() or game.press(300, 100), 15, "the name entry")
    game.type("Abcdefghijk")
    key("Return")
    game.park_pointer()
    until(lambda: table_shows([(score, "Abcdefghij")]) == ["yes"], 10, "the new row on the table")
    pictures = [screenshot()]
    # The digit keys are polled once a frame: hold the key for a while.
    key("2", hold=0.3)
    check(until(lambda: hud_shows(120, "SHFT"), 5, "the Shifter tag"), "the key 2 picks Shifter on the table screen")
    pictures.append(screenshot())
    code, _ = game.quit()
    check(code == 0, "quitting exits with code 0")

    settings, tables = saved(game.dir)
    check(settings == [50, 25, 2, 0, 0], "volumes, mode, theme and animations were saved: %s" % settings)
    check(tables[0][0] == (score, "Abcdefghij"),
          "the ten-letter name reached the file whole, the eleventh letter refused: %s" % tables[0][:2])
    check(table_shows(tables[0], pictures[0]) == ["yes"] * 10,
          "the table on screen after the game shows the saved Traditional rows")
    check(table_shows(tables[2], pictures[1]) == ["yes"] * 10 and table_shows(tables[0], pictures[1])[0] == "no",
          "after the key 2 the table on screen shows the saved Shifter rows")
finally:
    game.stop(keep=True)

# The next run comes up with the saved mode; the window's close button asks
# the quit question and quitting through it saves like the quit button.
again = Game(directory=game.dir, prepared=True)
try:
    board = again.start()
    check(hud_shows(120, "SHFT"), "the restarted game is in Shifter mode")
    subprocess.run([CLOSE_WINDOW], check=True)
    again.answer(NO)
    again.park_pointer()
    check(again.board_becomes(board) == board and again.proc.poll() is None,
          "the close button asks first; No keeps the game")
    subprocess.run([CLOSE_WINDOW], check=True)
    again.answer(YES)
    code, _, _ = again.wait_exit()
    check(code == 0, "closing the window and answering Yes exits with code 0")
    check(saved(again.dir)[0][2] == 2, "the settings were saved again")
finally:
    again.stop()
