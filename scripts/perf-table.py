#!/usr/bin/env python3
"""Turns the benchmark summary written by `scripts/bench.sh --json FILE` into
the README's performance table (markdown on standard output), headed by the
machine the run was taken on.

    scripts/perf-table.py summary.json > table.md        (variants grouped)
    scripts/perf-table.py --all summary.json > table.md  (one row per benchmark)

Grouped, the variants of a family ("blend3/opacity", "blend3/multiply"...)
share one row with the range of their figures and how many meet their goal;
photo tools, tilt-shift and the peers keep a row each.
"""
import json
import sys


def ratio(value):
    return "-" if value is None else f"{value:.2f}x"


def goal_text(row):
    goal = row.get("goal")
    if not goal:
        return "-"
    against = "`memcpy`" if goal["against"] == "memcpy" else "peer"
    verdict = {True: "met", False: "not yet", None: "?"}[row.get("holds")]
    return f"{goal['factor']:g}x {against}: {verdict}"


SINGLE_ROW_FAMILIES = {"phototools", "tiltshift", "peer", "floor"}


def span(values, unit):
    values = [v for v in values if v is not None]
    if not values:
        return "-"
    low, high = min(values), max(values)
    digits = 1 if unit == "" else 2
    if round(low, digits) == round(high, digits):
        return f"{low:.{digits}f}{unit}"
    return f"{low:.{digits}f}-{high:.{digits}f}{unit}"


def grouped(rows):
    """Rows of one family side by side, in the order they were run."""
    groups = {}
    for row in rows:
        family = row["name"].split("/")[0]
        key = row["name"] if family in SINGLE_ROW_FAMILIES else family
        groups.setdefault(key, []).append(row)
    return groups


def group_goal(rows):
    judged = [r for r in rows if r.get("goal")]
    if not judged:
        return "-"
    if len(rows) == 1:
        return goal_text(rows[0])
    goals = sorted({goal_text(r).split(":")[0] for r in judged})
    met = sum(1 for r in judged if r.get("holds"))
    return f"{' / '.join(goals)}: {met} of {len(judged)} met"


def print_grouped(rows):
    print("| routine | variants | ms | x `memcpy` | x peer | peer | goal |")
    print("|---|---|---|---|---|---|---|")
    for key, members in grouped(rows).items():
        peers = sorted({r["peer"] for r in members if r.get("peer")})
        if len(peers) > 2:  # one peer per variant: name their family once
            peers = sorted({p.rsplit("/", 1)[0] + "/*" for p in peers})
        peer = ", ".join(f"`{p}`" for p in peers) if peers else "-"
        print(f"| `{key}` | {len(members)} | {span([r['ms'] for r in members], '')} | "
              f"{span([r.get('x_memcpy') for r in members], 'x')} | "
              f"{span([r.get('x_peer') for r in members], 'x')} | {peer} | {group_goal(members)} |")


def main(argv):
    every_row = "--all" in argv[1:]
    argv = [a for a in argv if a != "--all"]
    if len(argv) != 2:
        sys.exit(__doc__)
    with open(argv[1], encoding="utf-8") as handle:
        summary = json.load(handle)
    machine = summary["machine"]
    picture = summary.get("picture", {})
    print(f"Measured {machine['date']} on {machine['cpu']}, {machine['cores']} logical cores; "
          f"{picture.get('width', '?')} x {picture.get('height', '?')} picture, one thread, "
          "every ratio from the same run.")
    print()
    if not every_row:
        print_grouped(summary["rows"])
        return
    print("| routine | ms | x `memcpy` | x peer | peer | goal |")
    print("|---|---|---|---|---|---|")
    for row in summary["rows"]:
        peer = f"`{row['peer']}`" if row.get("peer") else "-"
        print(f"| `{row['name']}` | {row['ms']:.1f} | {ratio(row.get('x_memcpy'))} | "
              f"{ratio(row.get('x_peer'))} | {peer} | {goal_text(row)} |")


if __name__ == "__main__":
    main(sys.argv)
