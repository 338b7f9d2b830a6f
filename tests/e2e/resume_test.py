"""Nothing is lost: three pops, then the game killed outright (kill -9);
started again, the same board and score come back in place of the deal. U
takes a pop back and Ctrl+Y puts it back; SIGTERM ends the game as a
confirmed quit does (exit 0, the game kept for the next start); R and Yes
bring back the deal."""

import signal

from game import (Game, check, hud_shows, key, largest_group, question_shown, settings_bytes, start_display,
                  tiles_after, until)

start_display()


def restarted(previous, board, score):
    """The game started again in the same folder, the intro skipped; the
    board and score it shows must be those it was left with."""
    game = Game(directory=previous.dir, prepared=True)
    game.wait_for_window()
    game.focus()
    key("Escape", hold=0.3)
    check(until(lambda: game.read_board() == board and hud_shows(20, str(score)), 20, "the game left"),
          "started again: the same board and a score of %d" % score)
    return game


game = Game(files={"zorbl.sav": settings_bytes(animations=0)})
try:
    deal = game.start()
    boards, scores = [deal], [0]
    for n in range(3):
        group = largest_group(boards[-1])
        what = "pop %d, %s" % (n + 1, game.pop(group))
        scores.append(scores[-1] + len(group) * len(group) - 1)
        until(lambda: hud_shows(20, str(scores[-1])), 10, "%s: the score" % what)
        boards.append(game.settled_board(tiles_after(boards[-1], group, 0), doing=what))
    game.proc.kill()
    game.proc.wait()

    game = restarted(game, boards[3], scores[3])
    key("u")
    check(until(lambda: game.read_board() == boards[2] and hud_shows(20, str(scores[2])), 10, "the undo"),
          "U takes the third pop back")
    key("ctrl+y")
    check(until(lambda: game.read_board() == boards[3] and hud_shows(20, str(scores[3])), 10, "the redo"),
          "Ctrl+Y puts the third pop back")
    game.proc.send_signal(signal.SIGTERM)
    code, _, _ = game.wait_exit(20)
    check(code == 0, "SIGTERM ends the game as a quit does, with exit code 0")

    game = restarted(game, boards[3], scores[3])
    key("r")
    until(question_shown, 10, "the restart question")
    key("y")
    check(until(lambda: game.read_board() == deal and hud_shows(20, "0"), 10, "the deal"),
          "R and Yes bring back the deal with the score 0")
    code, _ = game.quit()
    check(code == 0, "the game quits")
finally:
    game.stop()
