"""zorbl-solve: a board in (or a deal's number), a line out; every kind of bad input is refused
with one line saying what is wrong and exit code 2."""

import os
import subprocess

from game import BIN, check

SOLVE = os.path.join(os.path.dirname(BIN), "zorbl-solve")
# The first board after the full intro.
DEAL = ["2434223545", "5423325112", "3213542423", "2315441443",
        "5351454335", "2253142442", "2522234525", "1411115522"]


def solve(args, lines):
    stdin = "".join(line + "\n" for line in lines)
    run = subprocess.run([SOLVE] + args, input=stdin, capture_output=True, text=True, timeout=30)
    return run.returncode, run.stdout, run.stderr


for args, lines, says in (
        ([], DEAL[:7], "8 lines"),
        ([], DEAL + ["1111111111"], "8 lines"),
        ([], DEAL[:2] + ["24342235451"] + DEAL[3:], "line 3"),
        ([], DEAL[:1] + ["542332511"] + DEAL[2:], "line 2"),
        ([], DEAL[:4] + ["5351464335"] + DEAL[5:], "'6'"),
        ([], DEAL[:4] + ["535 454335"] + DEAL[5:], "' '"),
        (["--mode", "4"], DEAL, "mode"),
        (["--mode", "-1"], DEAL, "mode"),
        (["--mode"], DEAL, "needs a value"),
        (["--ms", "0"], DEAL, "budget"),
        (["--ms", "-20"], DEAL, "budget"),
        (["--ms", "soon"], DEAL, "budget"),
        (["--threads", "0"], DEAL, "threads"),
        (["--deal", "4294967296"], DEAL, "deal number"),
        (["--deal", "12a"], DEAL, "deal number"),
        (["--fast"], DEAL, "unknown option")):
    code, out, err = solve(args, lines)
    case = "%s, %d lines, a fault in %s" % (" ".join(args) or "no options", len(lines), says)
    check(code == 2, "%s: exit code 2 (got %d)" % (case, code))
    check(out == "", "%s: nothing on standard output" % case)
    check(err.count("\n") == 1 and says in err, "%s: named in one line (got %r)" % (case, err))

code, out, err = solve(["--help"], [])
check(code == 0 and out.startswith("usage: zorbl-solve") and "Exit status" in out and "--ms=500" in out,
      "--help prints the usage, its exit codes and the --opt=value form, and exits 0")
code, out, err = solve(["--bogus", "--help"], [])
check(code == 0 and out.startswith("usage: zorbl-solve"), "--help after a bad option still prints the usage")

# A line whose points add up to the score, less the bonus for a cleared
# board; the rules' replay of it is in the unit tests.
for mode in ("0", "2"):
    code, out, err = solve(["--mode", mode, "--ms", "20", "--threads", "2"], DEAL)
    rows = out.split("\n")
    check(code == 0 and rows[-1] == "" and rows[-2].startswith("score "), "mode %s: a line, then the score" % mode)
    moves = [list(map(int, row.split())) for row in rows[:-2]]
    check(moves and all(0 <= c < 10 and 0 <= r < 8 and p >= 3 for c, r, p in moves),
          "mode %s: each pop is a column, a row and its points" % mode)
    bonus = int(rows[-2].split()[1]) - sum(p for _, _, p in moves)
    check(bonus in (0, 250), "mode %s: the points add up to the score (off by %d)" % (mode, bonus))

# The same first board by its number (the generator's state after the
# intro's 1490 draws), with nothing on standard input: the first pop of the
# line found is a group of that board, and its points are that group's.
state = 1
for _ in range(1490):
    state = (state * 214013 + 2531011) & 0xFFFFFFFF
code, out, err = solve(["--deal", str(state), "--ms", "20", "--threads", "1"], ["not a board"])
rows = out.split("\n")
check(code == 0 and rows[-2].startswith("score "), "--deal %d: a line without reading a board (%r)" % (state, err))
c, r, points = map(int, rows[0].split())
group, todo = set(), [(c, r)]
while todo:
    cc, rr = todo.pop()
    if (cc, rr) not in group and 0 <= cc < 10 and 0 <= rr < 8 and DEAL[rr][cc] == DEAL[r][c]:
        group.add((cc, rr))
        todo += [(cc + 1, rr), (cc - 1, rr), (cc, rr + 1), (cc, rr - 1)]
check(len(group) >= 2 and points == len(group) ** 2 - 1,
      "--deal %d solves the first board: its first pop at %d,%d is a group of %d" % (state, c, r, len(group)))

code, out, err = solve([], ["1212121212", "2121212121"] * 4)
check((code, out) == (0, "score 0\n"), "a board with no move prints just the score 0 (got %r)" % out)
print("zorbl-solve: ok")
