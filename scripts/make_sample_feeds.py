#!/usr/bin/env python3
"""Writes the synthetic sample feeds of the data service into data/.

The dates and the derived columns (five-day average volume, close, volume
ratio) come from the real daily bars data/sh600000_day.csv; everything else
is invented by a seeded random walk, so the output is the same on every run.
Usage: scripts/make_sample_feeds.py  (from the repository root)
"""
import csv
import os
import random

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
DATA = os.path.join(ROOT, "data")
DAYS = 250  # the last DAYS bars get feed rows


def read_bars():
    with open(os.path.join(DATA, "sh600000_day.csv"), newline="") as f:
        return [(r["date"], float(r["close"]), float(r["volume"])) for r in csv.DictReader(f)]


def chip_lock(bars, rng):
    rows = []
    start = len(bars) - DAYS
    for i in range(start, len(bars)):
        date, close, volume = bars[i]
        window = [v for _, _, v in bars[max(0, i - 4):i + 1]]
        avg5 = sum(window) / len(window)
        prev = [v for _, _, v in bars[max(0, i - 5):i]] or [volume]
        ratio = volume / (sum(prev) / len(prev))
        locked = avg5 * rng.uniform(0.2, 0.6)  # invented
        traded = locked * rng.uniform(0.4, 0.8)  # invented
        ordered = locked - traded
        rows.append([date, round(avg5), round(traded), round(ordered), close, round(locked),
                     round(ratio, 3)])
    return rows


def margin(bars, rng):
    rows = []
    financing, lending = 3.5e9, 1.2e7  # invented starting balances, yuan
    for date, _, _ in bars[-DAYS:]:
        financing *= 1 + rng.gauss(0, 0.006)
        lending = max(1e6, lending * (1 + rng.gauss(0, 0.03)))
        rows.append([date, round(financing), round(lending), round(financing + lending)])
    return rows


def write(name, header, rows):
    with open(os.path.join(DATA, name), "w", newline="") as f:
        w = csv.writer(f, lineterminator="\n")
        w.writerow(header)
        w.writerows(rows)


def main():
    bars = read_bars()
    rng = random.Random(600000)
    write("sh600000_chiplock.csv", ["date", "5dpjl", "sdlCJ", "sdlWT", "spj", "sdl", "d5lb"],
          chip_lock(bars, rng))
    write("sh600000_margin.csv", ["date", "rzye", "rqye", "rzrqye"], margin(bars, rng))


if __name__ == "__main__":
    main()
