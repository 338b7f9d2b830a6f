"""A long evening of play in one run: eight games in a row, two in each mode,
animations off, each played by popping the largest group until no pair is
left (or, in the modes that refill columns, for a fixed number of pops and
then restarted through the new-game button). Between games the mode is
changed in the options; along the way the options are opened mid-game (the
mode refuses to change) and the quit question is answered No.

Checked: the game never dies before the final quit, which exits with code 0;
the score box shows every game's score; Traditional boards settle as
predicted; the resident memory after the last game is within 1 MB of what it
was after the first; the saved tables hold exactly the rows the games earned,
sorted, and the settings hold the last mode."""

import os
import shutil
import struct
import subprocess
import tempfile
import time

from game import (NEW_GAME_BUTTON, NO, OPTIONS_BUTTON, QUIT_BUTTON, YES, Game, check, fail, hud_mask,
                  largest_group, require_display, saved, screenshot, settle_traditional, shown_hud_mask, xdotool)

WRITE_SETTINGS = os.environ.get("ZORBL_WRITE_SETTINGS", "")

require_display()
if not WRITE_SETTINGS or not os.access(WRITE_SETTINGS, os.X_OK):
    fail("ZORBL_WRITE_SETTINGS does not name the settings writer (audio_settings)")

MODES = ["TRAD", "CONT", "SHFT", "MEGA"]
MODE_NAMES = ["Traditional", "Continous", "Shifter", "Megashifter"]
GAMES = 8
# Continous and Megashifter refill emptied columns, so a game there may go on
# for a very long time: after this many pops it is restarted instead.
POP_CAP = 15
MEMORY_MARGIN_KB = 1024
started = time.time()


def quick_board_pixels():
    """The colours at the 80 tile centres, read straight from xwd's dump (the
    harness's full-screen reader costs a fifth of a second a look)."""
    dump = subprocess.run(["xwd", "-root", "-silent"], check=True, capture_output=True).stdout
    fields = struct.unpack(">25I", dump[:100])
    header_size, byte_order, bits_per_pixel, bytes_per_line = fields[0], fields[7], fields[11], fields[12]
    masks, colours = fields[14:17], fields[19]
    if bits_per_pixel != 32:
        return None
    start = header_size + 12 * colours
    shifts = [(m & -m).bit_length() - 1 for m in masks]
    pixels = []
    for r in range(8):
        row = []
        for c in range(10):
            at = start + (20 + 20 * r) * bytes_per_line + (30 + 20 * c) * 4
            value = int.from_bytes(dump[at:at + 4], "little" if byte_order == 0 else "big")
            row.append(tuple((value & m) >> s for m, s in zip(masks, shifts)))
        pixels.append(row)
    return pixels


class LongGame(Game):
    """The harness's game with a quicker look at the board; the quick look is
    used only once it has been seen to agree with the harness's own."""

    quick = False

    def read_board(self, shot=None):
        if shot is not None or not self.quick:
            return super().read_board(shot)
        pixels = quick_board_pixels()
        return ["".join(str(self.colours[p]) if p in self.colours else "." for p in row) for row in pixels]

    def check_quick_reader(self):
        slow = super().read_board()
        pixels = quick_board_pixels()
        if pixels is not None:
            quick = ["".join(str(self.colours[p]) if p in self.colours else "." for p in row) for row in pixels]
            self.quick = quick == slow
        print("note: quick board reader %s" % ("in use" if self.quick else "not usable, the slow one is used"))


def under_panel_hidden(board):
    """The board with the cells the game-over panel covers (rows 3 and 4, all
    but the last column, once it has slid in) left out."""
    return [row if r not in (3, 4) else "?" * 9 + row[9] for r, row in enumerate(board)]


def traditional_board_after(game, board, group, number):
    """Traditional boards are known in advance: the board as soon as it
    shows what the tiles should have done."""
    expected = settle_traditional(board, group)
    last = largest_group(expected) is None
    if last:
        # The last pop: the game-over panel slides over the board.
        expected = under_panel_hidden(expected)
    deadline = time.time() + 10
    while True:
        time.sleep(0.2)
        shown = game.read_board()
        if (under_panel_hidden(shown) if last else shown) == expected:
            return shown
        if time.time() > deadline:
            fail("game %d: after popping %d tiles the board is not as the tiles should fall\n%s\n\n%s"
                 % (number + 1, len(group), "\n".join(shown), "\n".join(expected)))


def settled_after_pop(game, seconds=15):
    """The board once the points banner (50 frames, 0.75 s) has gone: looked
    at from about 0.9 s after the pop, taken when two looks 0.3 s apart agree
    (which a banner running late by half its time still cannot fake)."""
    time.sleep(0.75)
    deadline = time.time() + seconds
    last = game.read_board()
    while time.time() < deadline:
        time.sleep(0.3)
        look = game.read_board()
        if look == last:
            return look
        last = look
    fail("the board never stopped changing after a pop")


def tap(x, y):
    """A press a little quicker than the harness's: still several frames down and up."""
    xdotool("mousemove", x, y)
    time.sleep(0.05)
    xdotool("mousedown", 1)
    time.sleep(0.09)
    xdotool("mouseup", 1)
    time.sleep(0.09)


def resident_kb(pid):
    with open("/proc/%d/status" % pid) as f:
        for line in f:
            if line.startswith("VmRSS:"):
                return int(line.split()[1])
    fail("no VmRSS for the game's process")


def alive(game, doing):
    if game.proc.poll() is not None:
        err = game.proc.stderr.read().decode(errors="replace")
        fail("the game died (code %s) while %s\n%s" % (game.proc.returncode, doing, err[-2000:]))


def shown_mode(game):
    return next((m for m in MODES if shown_hud_mask(screenshot(), 120) == MODE_MASKS[m]), None)


def next_board(game, old, doing, seconds=30):
    """A full board that differs from the one shown before."""
    deadline = time.time() + seconds
    while time.time() < deadline:
        alive(game, doing)
        board = game.read_board()
        if "." not in "".join(board) and board != old:
            time.sleep(0.3)
            again = game.read_board()
            if again == board:
                return board
        time.sleep(0.2)
    fail("no new board appeared after %s" % doing)


def switch_mode(game, current, wanted):
    """The mode arrows in the options, then close; the mode box must follow."""
    game.press(*OPTIONS_BUTTON)
    time.sleep(0.4)
    arrow = (195, 75) if wanted > current else (35, 75)
    for _ in range(abs(wanted - current)):
        game.press(*arrow)
    game.press(200, 165)
    game.park_pointer()
    time.sleep(0.3)
    alive(game, "changing the mode in the options")
    check(shown_mode(game) == MODES[wanted], "between games the options change the mode to %s" % MODE_NAMES[wanted])


def simulate_entry(table, score, name):
    """The row a qualifying score takes: the uppermost of the lowest rows
    goes, and the rows are sorted (stable) by score."""
    if not any(points <= score for points, _ in table):
        return table, False
    lowest = min(points for points, _ in table)
    at = next(i for i, (points, _) in enumerate(table) if points == lowest)
    table = table[:at] + [(score, name)] + table[at + 1:]
    return sorted(table, key=lambda row: -row[0]), True


MODE_MASKS = {m: hud_mask(m) for m in MODES}
defaults = [(1000 - 100 * k, "X Plomt") for k in range(10)]
expected_tables = {m: list(defaults) for m in range(4)}

scratch = tempfile.mkdtemp(prefix="zorbl-long-sav-")
try:
    path = os.path.join(scratch, "zorbl.sav")
    # The default volumes, Traditional, the first theme, animations off.
    subprocess.run([WRITE_SETTINGS, path, "200", "100", "0", "0", "0"], check=True)
    with open(path, "rb") as f:
        settings_bytes = f.read()
finally:
    shutil.rmtree(scratch, ignore_errors=True)

game = LongGame(files={"zorbl.sav": settings_bytes})
try:
    game.wait_for_window()
    game.skip_intro()
    board = game.wait_for_board()
    game.check_quick_reader()
    check(shown_mode(game) == "TRAD", "the session starts in Traditional mode")

    memory = []
    mode = 0
    total_pops = 0
    for number in range(GAMES):
        game_started = time.time()
        score = 0
        pops = 0
        ended = True
        while True:
            alive(game, "playing game %d" % (number + 1))
            group = largest_group(board)
            if group is None:
                break
            if mode in (1, 3) and pops == POP_CAP:
                ended = False
                break
            cell = min(group)
            print("pop %d: %d tiles at %s from %s" % (pops + 1, len(group), cell, "/".join(board)))
            tap(30 + 20 * cell[0], 20 + 20 * cell[1])
            tap(30 + 20 * cell[0], 20 + 20 * cell[1])
            xdotool("mousemove", 300, 100)
            score += len(group) * len(group) - 1
            pops += 1
            if mode == 0:
                shown = traditional_board_after(game, board, group, number)
            else:
                shown = settled_after_pop(game)
            if shown == board:
                fail("game %d: pressing twice on a group of %d left the board as it was\n%s"
                     % (number + 1, len(group), "\n".join(board)))
            board = shown

            # Along the way: the options mid-game refuse the mode, and the
            # quit question answered No keeps the game.
            if number in (1, 5) and pops == 3:
                game.press(*OPTIONS_BUTTON)
                time.sleep(0.4)
                game.press(195, 75)   # next mode: refused while a game is in progress
                game.press(200, 165)
                game.park_pointer()
                alive(game, "opening the options mid-game")
                check(shown_mode(game) == MODES[mode] and game.settled_board() == board,
                      "game %d: the options mid-game leave the mode and the board alone" % (number + 1))
            if number in (2, 6) and pops == 2:
                game.press(*QUIT_BUTTON)
                time.sleep(1)
                game.press(*NO)
                time.sleep(1)
                game.park_pointer()
                alive(game, "answering No to the quit question")
                check(game.settled_board() == board, "game %d: quit answered No, play goes on" % (number + 1))

        total_pops += pops
        if ended:
            if "".join(board).count(".") == 80:
                time.sleep(1)
                game.press(*YES)  # the empty-board bonus box
                score += 250
            game.park_pointer()
            check(shown_hud_mask(screenshot(), 20) == hud_mask(str(score)),
                  "game %d (%s) ended after %d pops; the score box shows %d"
                  % (number + 1, MODE_NAMES[mode], pops, score))
            time.sleep(1.2)  # the banner runs out, the game-over panel slides in
            game.press(300, 100)
            time.sleep(1)
            name = "lap%d" % (number + 1)
            expected_tables[mode], qualifies = simulate_entry(expected_tables[mode], score, name)
            if qualifies:
                xdotool("type", "--delay", "120", name)
                xdotool("key", "Return")
                time.sleep(1.5)
            alive(game, "finishing game %d" % (number + 1))
            old = game.read_board()
            following = (mode + 1) % 4
            switch_mode(game, mode, following)
            game.press(*NEW_GAME_BUTTON)
            game.park_pointer()
            board = next_board(game, old, "the new-game button on the high-score screen")
        else:
            check(shown_hud_mask(screenshot(), 20) == hud_mask(str(score)),
                  "game %d (%s): after %d pops the score box shows %d"
                  % (number + 1, MODE_NAMES[mode], pops, score))
            old = board
            game.press(*NEW_GAME_BUTTON)
            time.sleep(1)
            game.press(*YES)  # "This will start a new game. Restart?"
            game.park_pointer()
            board = next_board(game, old, "restarting game %d" % (number + 1))
            following = (mode + 1) % 4
            switch_mode(game, mode, following)
            check(game.settled_board() == board, "a mode picked before the first pop keeps the deal")
        mode = following
        memory.append(resident_kb(game.proc.pid))
        print("game %d (%s): %d pops, score %d, %s, %.0f s, resident %d kB"
              % (number + 1, MODE_NAMES[(mode + 3) % 4], pops, score, "ended" if ended else "restarted",
                 time.time() - game_started, memory[-1]))

    check(memory[-1] - memory[0] <= MEMORY_MARGIN_KB,
          "resident memory after the last game (%d kB) is within %d kB of that after the first (%d kB); all: %s"
          % (memory[-1], MEMORY_MARGIN_KB, memory[0], memory))

    game.press(*QUIT_BUTTON)
    time.sleep(1)
    game.press(*YES)
    code, _, err = game.wait_exit()
    check(code == 0, "quitting after %d games (%d pops) exits with code 0 (got %d) %s"
          % (GAMES, total_pops, code, err.strip()))

    settings, tables = saved(game.dir)
    check(settings == [200, 100, mode, 0, 0], "the settings were saved with the last mode: %s" % settings)
    for m in range(4):
        points = [p for p, _ in tables[m]]
        check(len(points) == 10 and points == sorted(points, reverse=True),
              "the %s table is ten rows, best first: %s" % (MODE_NAMES[m], points))
        check(tables[m] == expected_tables[m], "the %s table holds the rows earned: %s"
              % (MODE_NAMES[m], tables[m]))
    print("session: %.0f s" % (time.time() - started))
finally:
    game.stop()
