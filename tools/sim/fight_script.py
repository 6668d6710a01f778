#!/usr/bin/env python3
"""Writes a fenda_sim script: four players fighting for FRAMES logical frames.

    python3 tools/sim/fight_script.py SEED FRAMES > fight.script

Each player holds fire from the start and then goes through segments of 60
to 400 frames: walking left, right or not at all, holding jump, tapping it
or leaving it, sometimes looking up or down, sometimes stepping to the
previous or next weapon, now and then letting go of fire. The same seed
always gives the same script.
"""
import random
import sys

LEFT, RIGHT, UP, DOWN, JUMP, FIRE, PREVIOUS, NEXT = range(8)
RELEASE = 128


def fight(seed, frames):
    r = random.Random(seed)
    events = []
    for player in range(4):
        held = set()

        def press(t, control):
            if control not in held:
                events.append((t, player, control))
                held.add(control)

        def release(t, control):
            if control in held:
                events.append((t, player, RELEASE + control))
                held.discard(control)

        press(0, FIRE)
        t = 0
        while t < frames:
            length = r.randint(60, 400)
            way = r.choice([LEFT, RIGHT, LEFT, RIGHT, None])
            for control in (LEFT, RIGHT):
                if control != way:
                    release(t, control)
            if way is not None:
                press(t, way)
            jumping = r.choice(["hold", "tap", "none", "tap"])
            if jumping == "hold":
                press(t, JUMP)
            else:
                release(t, JUMP)
            if jumping == "tap":
                gap = r.randint(25, 70)
                for tap in range(t + 3, t + length - 1, gap):
                    events.append((tap, player, JUMP))
                    events.append((tap + r.randint(5, 20), player, RELEASE + JUMP))
            look = r.choice([None, None, None, UP, DOWN])
            for control in (UP, DOWN):
                if control != look:
                    release(t, control)
            if look is not None:
                press(t, look)
            if r.random() < 0.15:
                events.append((t + 1, player, r.choice([PREVIOUS, NEXT])))
            if r.random() < 0.1:
                release(t, FIRE)
            else:
                press(t, FIRE)
            t += length
    events = sorted((e for e in events if e[0] < frames), key=lambda e: e[0])
    return "".join("%d %d %d\n" % e for e in events)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit("usage: fight_script.py SEED FRAMES")
    sys.stdout.write(fight(int(sys.argv[1]), int(sys.argv[2])))
