"""Play with the mouse: a lone tile and the right button do nothing, two
presses on a group pop it, score it and let the tiles above fall."""

from game import Game, check, find_group, hud_mask, require_display, screenshot, settle_traditional, \
    shown_hud_mask

require_display()

game = Game()
try:
    game.wait_for_window()
    game.skip_intro()
    board = game.wait_for_board()
    check(shown_hud_mask(screenshot(), 20) == hud_mask("0"), "the score box shows 0")

    groups = {}
    for r in range(8):
        for c in range(10):
            groups[(c, r)] = find_group(board, c, r)

    lone = next(((c, r) for (c, r), g in groups.items() if len(g) == 1), None)
    if lone is not None:
        game.press_cell(*lone)
        game.press_cell(*lone)
        game.park_pointer()
        check(game.read_board() == board, "pressing a lone tile twice changes nothing")

    # The largest group, so that the test also sees tiles fall.
    cell = max(groups, key=lambda k: (len(groups[k]), -k[0]))
    group = groups[cell]
    check(len(group) >= 2, "the deal has a group of two or more")

    game.press_cell(*cell, button=3)
    game.press_cell(*cell, button=3)
    game.park_pointer()
    check(game.read_board() == board, "the right button neither selects nor pops")

    game.press_cell(*cell)
    game.press_cell(*cell)
    game.park_pointer()
    expected = settle_traditional(board, group)
    shown = game.board_becomes(expected)
    check(shown == expected, "the group of %d is gone and the tiles above have fallen\n%s\n%s"
          % (len(group), "\n".join(shown), "\n".join(expected)))
    points = len(group) * len(group) - 1
    check(shown_hud_mask(screenshot(), 20) == hud_mask(str(points)), "the score box shows %d" % points)
    check(shown_hud_mask(screenshot(), 70) == [row for row in hud_mask(str(len(group)))],
          "the tiles box shows %d" % len(group))
finally:
    game.stop()
