"""Play with the mouse in every mode: a lone tile and the right button
neither select (nothing shakes) nor pop, two presses on a group pop it,
score it and let the tiles above fall (exactly as predicted in Traditional),
and a few pops in each of the other modes keep the score box right."""

from game import (Game, check, find_group, hud_shows, largest_group, screenshot, settings_bytes, settle_traditional,
                  start_display, tiles_after, until)

MODES = ["TRAD", "CONT", "SHFT", "MEGA"]
start_display()


def stands_still():
    """Four looks alike: a selected group would shake from frame to frame."""
    first = screenshot()
    return all(screenshot() == first for _ in range(3))


for mode, tag in enumerate(MODES):
    game = Game(files={"zorbl.sav": settings_bytes(mode=mode, animations=0)})
    try:
        board = game.start()
        check(hud_shows(120, tag) and hud_shows(20, "0"), "%s: the game starts with the score 0" % tag)
        if mode == 0:
            lone = next(((c, r) for r in range(8) for c in range(10) if len(find_group(board, c, r)) == 1), None)
            if lone is not None:
                game.press_cell(*lone)
                game.press_cell(*lone)
                game.park_pointer()
                check(stands_still() and game.read_board() == board, "pressing a lone tile twice changes nothing")
            group = largest_group(board)
            game.press_cell(*min(group), button=3)
            game.press_cell(*min(group), button=3)
            game.park_pointer()
            check(stands_still() and game.read_board() == board, "the right button neither selects nor pops")

        score = popped = 0
        for n in range(1, 5 if mode == 0 else 4):
            group = largest_group(board)
            if group is None:
                break
            what = "%s: pop %d, %s" % (tag, n, game.pop(group))
            score += len(group) * len(group) - 1
            popped += len(group)
            if mode == 0:
                expected = settle_traditional(board, group)
                check(game.board_becomes(expected) == expected, "%s: the tiles above fell" % what)
            shown = game.settled_board(tiles_after(board, group, mode), doing=what)
            check(shown != board, "%s: the board changed" % what)
            board = shown
            check(until(lambda: hud_shows(20, str(score)) and hud_shows(70, str(popped)), 5, "the score"),
                  "%s: the score box shows %d and the tiles box %d" % (what, score, popped))
    finally:
        game.stop()
