#!/usr/bin/env python3
"""Turns the benchmark summary written by `scripts/bench.sh --json FILE` into
the README's performance table (markdown on standard output), headed by the
machine the run was taken on.

    scripts/perf-table.py summary.json > table.md
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


def main(argv):
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
    print("| routine | ms | x `memcpy` | x peer | peer | goal |")
    print("|---|---|---|---|---|---|")
    for row in summary["rows"]:
        peer = f"`{row['peer']}`" if row.get("peer") else "-"
        print(f"| `{row['name']}` | {row['ms']:.1f} | {ratio(row.get('x_memcpy'))} | "
              f"{ratio(row.get('x_peer'))} | {peer} | {goal_text(row)} |")


if __name__ == "__main__":
    main(sys.argv)
