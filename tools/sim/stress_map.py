#!/usr/bin/env python3
"""Writes a stress map for fenda_sim's benchmark: a wide map of three long
floors full of walking monsters, moving platforms between redirect
triggers, ladders, and rows of weapons and ammunition so that the four
players always have something to fire. It uses the data set's pictures, so
fenda_sim must run in the data directory; the map itself can be anywhere.

    python3 tools/sim/stress_map.py > /tmp/stress.fenda
    cd data && ../build/fenda_sim --bench /tmp/stress.fenda 20000 SCRIPT
"""
import sys

WIDTH, HEIGHT = 3200, 960
FLOORS = (0, 320, 640)          # bottoms of the three floors (32 high)
MONSTERS_PER_FLOOR = 20
PLATFORMS_PER_FLOOR = 8


def stress_map():
    head = ["%d %d bg_dusk.jpg" % (WIDTH, HEIGHT), "fenda_arena.mod", "status_panel.png", ""]
    lines = []
    for i, y in enumerate(FLOORS):
        # A floor of 64-pixel stones with a gap every 800 pixels (not on the ground).
        for x in range(32, WIDTH - 32, 64):
            if y and x % 800 == 416:
                continue
            lines.append("%d %d WALL stone_moss_64x32.png" % (x, y))
        top = y + 32
        for k in range(MONSTERS_PER_FLOOR):
            lines.append("%d %d MONSTER hrack.monster" % (96 + k * 150, top))
        # Platforms sliding between two redirect triggers, 96 pixels above the floor.
        for k in range(PLATFORMS_PER_FLOOR):
            x0 = 160 + k * 380
            lines.append("%d %d PLATFORM 65536 0 platform_64x16.png" % (x0, top + 96))
            lines.append("%d %d TRIGGER 16 16 REDIRECT 65536 0" % (x0 - 40, top + 96))
            lines.append("%d %d TRIGGER 16 16 REDIRECT -65536 0" % (x0 + 200, top + 96))
        # Ladders up to the next floor, and the goods.
        if i + 1 < len(FLOORS):
            for x in (600, 1800, 2900):
                for ly in range(top, FLOORS[i + 1] + 32, 32):
                    lines.append("%d %d LADDER ladder_32.png" % (x, ly))
        for k, name in enumerate(["CELL_BIG", "ROCKET_BOX", "SHELL_BOX", "CELL_SMALL", "SHELLS_4"] * 6):
            lines.append("%d %d ITEM %s" % (130 + k * 101, top, name))
        for x in range(200, WIDTH - 200, 700):
            lines.append("%d %d DM_START " % (x, top))
    for p, (x, y) in enumerate([(300, 32), (2800, 32), (300, 352), (2800, 672)]):
        lines.append("%d %d PLAYER %d fighter_%s.monster" % (x, y, p, ["blue", "red", "green", "yellow"][p]))
        for k, name in enumerate(["PLASMABOLT", "LAUNCHER", "SHOTGUN"]):
            lines.append("%d %d ITEM %s" % (x + 30 + 40 * k, y, name))
    for y in range(0, HEIGHT, 32):
        lines.append("0 %d WALL stone_32.png" % y)
        lines.append("%d %d WALL stone_32.png" % (WIDTH - 32, y))
    return "\n".join(head + lines) + "\n \n"


if __name__ == "__main__":
    sys.stdout.write(stress_map())
