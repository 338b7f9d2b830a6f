"""One scripted session through the whole interface: the quit and new-game
questions, the options screen, a whole game to its end with a name typed
into the high-score table, a mode picked with a digit key, the settings and
the new row surviving a restart, and the window's close button."""

import subprocess
import time

from game import (CLOSE_WINDOW, NEW_GAME_BUTTON, NO, OPTIONS_BUTTON, QUIT_BUTTON, YES, Game, check, hud_mask,
                  largest_group, require_display, saved, screenshot, settle_traditional, shown_hud_mask, xdotool)

require_display()


def drag(game, start, end_x):
    """Holds the left button on a slider knob and moves it a few pixels at a time."""
    x, y = start
    xdotool("mousemove", x, y)
    time.sleep(0.1)
    xdotool("mousedown", 1)
    time.sleep(0.1)
    step = 2 if end_x > x else -2
    while abs(end_x - x) > 1:
        x += step
        xdotool("mousemove", x, y)
        time.sleep(0.04)
    xdotool("mousemove", end_x, y)
    time.sleep(0.1)
    xdotool("mouseup", 1)
    time.sleep(0.1)


def pop(game, board, group):
    cell = min(group)
    game.press_cell(*cell)
    game.press_cell(*cell)
    game.park_pointer()
    return settle_traditional(board, group)


game = Game()
try:
    game.wait_for_window()
    game.skip_intro()
    board = game.wait_for_board()

    # Quit, answered "No!": play goes on.
    game.press(*QUIT_BUTTON)
    time.sleep(1)
    game.press(*NO)
    time.sleep(1)
    game.park_pointer()
    check(game.proc.poll() is None and game.board_becomes(board) == board, "quit answered No: play goes on")

    # New game before the first pop: no question, a new deal.
    game.press(*NEW_GAME_BUTTON)
    time.sleep(1.5)
    fresh = game.wait_for_board()
    check(fresh != board, "the new-game button deals a new board at once before the first pop")
    board = fresh

    score = 0
    # After the first pop the new-game button asks first; "No!" keeps the game.
    group = largest_group(board)
    score += len(group) * len(group) - 1
    board = pop(game, board, group)
    check(game.board_becomes(board) == board, "a group popped")
    game.press(*NEW_GAME_BUTTON)
    time.sleep(1)
    game.press(*NO)
    time.sleep(1)
    game.park_pointer()
    check(game.board_becomes(board) == board, "after the first pop, new game asks first and No keeps the board")

    # The options: mode refused while a game is in progress, theme, animations, volumes.
    game.press(*OPTIONS_BUTTON)
    time.sleep(0.5)
    game.park_pointer()
    check("".join(game.read_board()).count(".") > 70, "the options screen covers the board")
    game.press(195, 75)    # next mode: refused in play
    game.press(195, 115)   # next theme
    game.press(28, 146)    # animations off
    drag(game, (150 + 20, 28), 155)   # music knob from 100 to 25
    drag(game, (150 + 40, 48), 160)   # sample knob from 200 to 50
    game.press(200, 165)   # close
    game.park_pointer()
    check("".join(game.read_board()).count(".") > 60, "another theme shows other tiles")
    check(shown_hud_mask(screenshot(), 120) == hud_mask("TRAD"), "the mode did not change during a game")
    game.press(*OPTIONS_BUTTON)
    time.sleep(0.3)
    game.press(35, 115)    # back to the first theme
    game.press(200, 165)
    game.park_pointer()
    check(game.board_becomes(board) == board, "the first theme again, the board as it was")

    # Play the game to its end, with animations off.
    while True:
        group = largest_group(board)
        if group is None:
            print("no pair left:\n" + "\n".join(board))
            break
        score += len(group) * len(group) - 1
        board = pop(game, board, group)
        if largest_group(board) is None:
            break  # the game is over: the game-over panel slides over the board
        check(game.board_becomes(board) == board, "popped %d tiles, the board as expected" % len(group))
    if "".join(board).count(".") == 80:
        time.sleep(1)
        game.press(*YES)  # "WOW! Empty board!" waits for an answer
        score += 250
    check(shown_hud_mask(screenshot(), 20) == hud_mask(str(score)), "the score box shows %d" % score)

    time.sleep(1.5)  # the banner runs out, then the game-over panel slides in
    game.press(300, 100)
    time.sleep(1)
    qualifies = score >= 100  # against the default table
    if qualifies:
        xdotool("type", "--delay", "120", "tester")
        xdotool("key", "Return")
        time.sleep(1.5)
    # The digit keys are polled once a frame: hold the key for a while.
    xdotool("keydown", "2")
    time.sleep(0.3)
    xdotool("keyup", "2")
    time.sleep(0.3)
    check(shown_hud_mask(screenshot(), 120) == hud_mask("SHFT"), "the key 2 picks Shifter on the table screen")
    game.press(*QUIT_BUTTON)
    time.sleep(1)
    game.press(*YES)
    code, _, _ = game.wait_exit()
    check(code == 0, "quitting exits with code 0")

    settings, tables = saved(game.dir)
    check(settings == [50, 25, 2, 0, 0], "volumes, mode, theme and animations were saved: %s" % settings)
    if qualifies:
        check((score, "tester") in tables[0], "the new row is in the Traditional table: %s" % tables[0])
        check([p for p, _ in tables[0]] == sorted((p for p, _ in tables[0]), reverse=True), "the table is sorted")
finally:
    game.stop(keep=True)

# The next run comes up with the saved mode; the window's close button asks
# the quit question and quitting through it saves like the quit button.
again = Game(directory=game.dir)
try:
    again.wait_for_window()
    again.skip_intro()
    time.sleep(1.5)
    check(shown_hud_mask(screenshot(), 120) == hud_mask("SHFT"), "the restarted game is in Shifter mode")
    subprocess.run([CLOSE_WINDOW], check=True)
    time.sleep(1)
    again.press(*NO)
    time.sleep(1)
    check(again.proc.poll() is None, "the close button asks first; No keeps the game")
    subprocess.run([CLOSE_WINDOW], check=True)
    time.sleep(1)
    again.press(*YES)
    code, _, _ = again.wait_exit()
    check(code == 0, "closing the window and answering Yes exits with code 0")
    settings, tables = saved(again.dir)
    check(settings[2] == 2, "the settings were saved again")
finally:
    again.stop()
