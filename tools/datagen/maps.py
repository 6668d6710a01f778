"""The maps: "testmap.fenda" (the arena the game always plays) and
"towers.fenda", laid out on a grid of 32-pixel cells and written as the
editor's map writer writes them.

Layout characters (row 0 is the top of the map):
  .  empty            #  stone (mossy where its top is open)
  M  metal block      B  brick
  G  metal grating    g  girder (thin, top half of the cell; in pairs)
  h  hazard plate (thin, top half; in pairs)
  H  ladder           =  metal ledge (thin, top half; in pairs)
"""
import zlib

from .formats import Map

CELL = 32
FIGHTER = {0: "fighter_blue.monster", 1: "fighter_red.monster",
           2: "fighter_green.monster", 3: "fighter_yellow.monster"}
MUSIC = "fenda_arena.mod"
STATUS = "status_panel.png"
SOLID = set("#MBG")


class Grid:
    def __init__(self, rows):
        self.rows = rows
        self.h = len(rows)
        self.w = len(rows[0])
        for r in rows:
            assert len(r) == self.w, (len(r), r)

    def at(self, c, r):
        if 0 <= r < self.h and 0 <= c < self.w:
            return self.rows[r][c]
        return "."

    def x(self, c):
        return c * CELL

    def y(self, r):
        """World y (upwards) of the bottom of cell row r."""
        return (self.h - 1 - r) * CELL

    def top(self, r):
        return self.y(r) + CELL


def _hash(*a):
    return zlib.crc32(repr(a).encode()) & 0xFFFF


def walls(grid, m):
    """Appends the WALL and LADDER lines for the layout, in reading order
    (top row first, left to right)."""
    done = set()
    for r in range(grid.h):
        c = 0
        while c < grid.w:
            ch = grid.at(c, r)
            if (c, r) in done or ch == ".":
                c += 1
                continue
            x, y = grid.x(c), grid.y(r)
            open_top = grid.at(c, r - 1) not in SOLID and r > 0
            if ch == "#":
                right_open = grid.at(c + 1, r - 1) not in SOLID and r > 0
                big = (grid.at(c + 1, r) == "#" and grid.at(c, r + 1) == "#" and grid.at(c + 1, r + 1) == "#"
                       and not open_top and not right_open
                       and (c + 1, r) not in done and (c, r + 1) not in done and (c + 1, r + 1) not in done
                       and c % 2 == 0 and r % 2 == 0)
                if big:
                    m.wall(x, grid.y(r + 1), "stone_64.png")
                    done.update({(c, r), (c + 1, r), (c, r + 1), (c + 1, r + 1)})
                    c += 2
                    continue
                if open_top and right_open and grid.at(c + 1, r) == "#" and (c + 1, r) not in done:
                    m.wall(x, y, "stone_moss_64x32.png")
                    done.update({(c, r), (c + 1, r)})
                    c += 2
                    continue
                if open_top:
                    m.wall(x, y, "stone_moss_32.png")
                else:
                    m.wall(x, y, "stone_32.png" if _hash(c, r) % 3 else "stone_b_32.png")
            elif ch == "M":
                m.wall(x, y, "metal_32.png")
            elif ch == "G":
                m.wall(x, y, "grate_32.png")
            elif ch == "B":
                if grid.at(c + 1, r) == "B" and (c + 1, r) not in done and c % 2 == 0:
                    m.wall(x, y, "brick_64x32.png")
                    done.update({(c, r), (c + 1, r)})
                    c += 2
                    continue
                m.wall(x, y, "brick_32x16.png")
                m.wall(x, y + 16, "brick_32x16.png")
            elif ch in "gh=":
                assert grid.at(c + 1, r) == ch, ("thin pieces come in pairs", c, r)
                pic = {"g": "girder_64x16.png", "h": "hazard_64x16.png", "=": "metal_64x16.png"}[ch]
                m.wall(x, y + 16, pic)
                done.update({(c, r), (c + 1, r)})
                c += 2
                continue
            elif ch == "H":
                m.ladder(x, y, "ladder_32.png")
            else:
                raise ValueError("unknown layout character %r" % ch)
            done.add((c, r))
            c += 1


def standing(grid, c, r):
    """World (x, y) of something standing in cell (c, r) on the floor
    below it: the floor's top (solid cell) or a thin piece's top."""
    assert grid.at(c, r) == ".", ("not free", c, r)
    below = grid.at(c, r + 1)
    if below in SOLID or below in "Hgh=":
        return grid.x(c), grid.top(r + 1)
    raise AssertionError("nothing to stand on at %d,%d" % (c, r))


# ------------------------------------------------------------------ layouts

def blank(w, h):
    return [["."] * w for _ in range(h)]


def fill(g, c0, c1, r0, r1, ch):
    """Fills columns c0..c1 and rows r0..r1 (inclusive)."""
    for r in range(r0, r1 + 1):
        for c in range(c0, c1 + 1):
            g[r][c] = ch


def done(g):
    return ["".join(r) for r in g]


def testmap_layout():
    """50 x 30 cells (1600 x 960 pixels). Levels: ground top 64, first
    floor 256, second 448, third 640, the perch 832."""
    g = blank(50, 30)
    fill(g, 0, 0, 0, 29, "#")
    fill(g, 49, 49, 0, 29, "#")
    fill(g, 1, 48, 28, 29, "#")                 # ground
    fill(g, 23, 26, 28, 29, ".")                # the well
    fill(g, 21, 22, 28, 28, "M")
    fill(g, 27, 28, 28, 28, "M")
    fill(g, 37, 38, 28, 28, ".")                # the lift's pit
    # left building
    fill(g, 1, 10, 22, 22, "#")
    fill(g, 11, 11, 22, 27, "H")
    fill(g, 1, 8, 16, 16, "#")
    fill(g, 9, 9, 16, 21, "H")
    fill(g, 1, 6, 10, 10, "#")
    fill(g, 7, 7, 10, 15, "H")
    fill(g, 8, 13, 10, 10, "g")
    # centre: steps, first-floor islands, third-floor islands, the perch
    fill(g, 14, 14, 26, 27, "#")
    fill(g, 15, 15, 24, 27, "#")
    fill(g, 16, 20, 22, 23, "#")
    fill(g, 29, 33, 22, 23, "#")
    fill(g, 34, 34, 24, 27, "#")
    fill(g, 35, 35, 26, 27, "#")
    fill(g, 14, 19, 10, 10, "#")
    fill(g, 30, 35, 10, 10, "#")
    fill(g, 36, 39, 10, 10, "g")
    fill(g, 21, 28, 4, 4, "#")
    fill(g, 20, 20, 4, 9, "H")
    fill(g, 29, 29, 4, 9, "H")
    # right building (metal)
    fill(g, 39, 48, 22, 22, "M")
    fill(g, 39, 39, 21, 21, "M")                # a kerb that turns the Hrack
    fill(g, 39, 47, 16, 16, "M")
    fill(g, 48, 48, 16, 21, "H")
    fill(g, 41, 48, 10, 10, "#")
    fill(g, 40, 40, 10, 15, "H")
    fill(g, 39, 39, 27, 27, "M")                # kerb by the lift's pit
    return done(g)


TESTMAP = testmap_layout()


def testmap():
    g = Grid(TESTMAP)
    m = Map(g.w * CELL, g.h * CELL, "bg_dusk.jpg", MUSIC, STATUS)

    def at(c, r):
        return standing(g, c, r)

    # players first (drawn last, over everything else)
    for n, (c, r) in enumerate([(4, 27), (43, 27), (4, 21), (44, 15)]):
        x, y = at(c, r)
        m.player(x, y, n, FIGHTER[n])
    # monsters: the left ground hall, the right first floor, the perch
    for (c, r) in [(7, 27), (44, 21), (24, 3)]:
        x, y = at(c, r)
        m.monster(x, y, "hrack.monster")

    # items, all ten kinds
    items = [
        ((8, 27), "HEALTH"), ((42, 15), "HEALTH"), ((27, 3), "HEALTH"),
        ((6, 21), "PLASMABOLT"), ((25, 3), "LAUNCHER"), ((41, 27), "SHOTGUN"),
        ((8, 21), "CELL_SMALL"), ((18, 21), "CELL_SMALL"), ((34, 9), "CELL_SMALL"),
        ((46, 9), "CELL_BIG"), ((31, 21), "ONE_ROCKET"), ((3, 9), "ROCKET_BOX"),
        ((13, 27), "SHELLS_4"), ((30, 27), "SHELLS_4"), ((4, 15), "SHELL_BOX"),
        ((16, 9), "ONE_ROCKET"), ((46, 21), "CELL_SMALL"), ((36, 27), "HEALTH"),
    ]
    for (c, r), name in items:
        x, y = at(c, r)
        m.item(x, y, name)

    # the ferry across the first floor's gap (x 672..928, top 256) and
    # the lift from its pit beside the right building up to the second floor
    m.platform(672, 240, 65536, 0, "platform_64x16.png")
    m.platform(1184, 32, 0, 65536, "platform_64x16.png")
    walls(g, m)

    # decorations (written last so that they are drawn behind the rest)
    deco = [
        (32, 112, "torch.png"), (192, 112, "window_64x32.png"), (304, 112, "torch.png"),
        (144, 288, "torch.png"), (48, 304, "window_64x32.png"), (208, 464, "banner_32x64.png"),
        (64, 480, "torch.png"), (96, 592, "vines_32x48.png"), (352, 592, "vines_32x48.png"),
        (480, 176, "vines_32x48.png"), (544, 144, "vines_32x48.png"), (992, 144, "vines_32x48.png"),
        (592, 752, "chain_16x48.png"), (1008, 752, "chain_16x48.png"),
        (688, 848, "lamp.png"), (896, 848, "lamp.png"), (784, 880, "banner_32x64.png"),
        (736, 0, "bones.png"), (768, 16, "crystal_32.png"),
        (1280, 112, "pipe_h_64x16.png"), (1344, 112, "pipe_h_64x16.png"), (1440, 160, "vent_32.png"),
        (1536, 64, "pipe_v_16x64.png"), (1536, 128, "pipe_v_16x64.png"),
        (1264, 304, "lamp.png"), (1504, 304, "lamp.png"), (1392, 304, "window_64x32.png"),
        (1280, 480, "pipe_h_64x16.png"), (1456, 496, "banner_32x64.png"), (1536, 672, "vines_32x48.png"),
        (1120, 352, "sign_up.png"), (1200, 144, "sign_up.png"),
        (1440, 208, "sign_exit.png"), (32, 208, "sign_exit.png"),
        (48, 64, "teleport_pad.png"), (1472, 64, "teleport_pad.png"),
        (1328, 448, "teleport_exit.png"), (80, 448, "teleport_exit.png"),
    ]
    for x, y, pic in deco:
        m.decoration(x, y, pic)

    # triggers: the ferry turns at x 672..688 and 912..928; the lift turns
    # low in its pit and level with the second floor
    m.redirect(672, 240, 16, 16, 65536, 0)
    m.redirect(912, 240, 16, 16, -65536, 0)
    m.redirect(1184, 32, 64, 16, 0, 65536)
    m.redirect(1184, 448, 64, 16, 0, -65536)
    # the well in the middle of the ground sends what falls in to the perch
    m.teleport(736, 0, 128, 48, 784, 848, kinds=("MONSTER", "ITEM"), silent=True)
    # the two pads on the ground floor cross the arena
    m.teleport(64, 64, 16, 48, 1344, 464, kinds=("MONSTER",))
    m.teleport(1488, 64, 16, 48, 96, 464, kinds=("MONSTER",))

    # deathmatch starts
    for (c, r) in [(5, 27), (44, 27), (7, 21), (31, 21), (3, 15), (45, 15),
                   (17, 9), (33, 9), (23, 3), (10, 27)]:
        x, y = at(c, r)
        m.dm_start(x, y)
    return m


# ------------------------------------------------------------------ towers

def towers_layout():
    """40 x 28 cells (1280 x 896 pixels). Levels: ground top 128, first
    floor 352, second 544, tops 736."""
    g = blank(40, 28)
    fill(g, 0, 0, 0, 27, "#")
    fill(g, 39, 39, 0, 27, "#")
    fill(g, 1, 38, 24, 27, "#")                 # ground
    fill(g, 30, 31, 24, 24, ".")                # the lift's pit
    # left tower
    fill(g, 1, 9, 17, 17, "B")
    fill(g, 10, 10, 11, 23, "H")
    fill(g, 1, 9, 11, 11, "G")
    fill(g, 1, 7, 5, 5, "B")
    fill(g, 8, 8, 5, 10, "H")
    # the middle: steps from the ground, an island on the first floor,
    # girders on the second
    fill(g, 12, 15, 23, 23, "#")
    fill(g, 16, 17, 21, 21, "=")
    fill(g, 20, 21, 19, 19, "=")
    fill(g, 23, 24, 19, 19, "=")
    fill(g, 14, 19, 17, 17, "#")
    fill(g, 14, 14, 16, 16, "#")                # kerbs that turn the Hrack
    fill(g, 19, 19, 16, 16, "#")
    fill(g, 12, 17, 11, 11, "g")
    fill(g, 20, 25, 11, 11, "g")
    # right tower beside the lift (columns 30-31)
    fill(g, 26, 29, 17, 17, "#")
    fill(g, 32, 38, 17, 17, "B")
    fill(g, 32, 38, 11, 11, "G")
    fill(g, 26, 27, 11, 11, "=")
    fill(g, 28, 28, 11, 16, "H")
    fill(g, 26, 38, 5, 5, "B")
    fill(g, 37, 37, 5, 10, "H")
    fill(g, 30, 30, 4, 4, "B")                  # a kerb on the right top
    return done(g)


TOWERS = towers_layout()


def towers():
    g = Grid(TOWERS)
    m = Map(g.w * CELL, g.h * CELL, "bg_cavern.jpg", MUSIC, STATUS)

    def at(c, r):
        return standing(g, c, r)

    for n, (c, r) in enumerate([(3, 23), (36, 23), (3, 10), (35, 10)]):
        x, y = at(c, r)
        m.player(x, y, n, FIGHTER[n])
    for (c, r) in [(6, 23), (17, 16), (34, 4)]:
        x, y = at(c, r)
        m.monster(x, y, "hrack.monster")
    items = [
        ((5, 23), "HEALTH"), ((22, 10), "HEALTH"), ((16, 16), "PLASMABOLT"),
        ((3, 4), "LAUNCHER"), ((35, 16), "SHOTGUN"), ((20, 23), "CELL_SMALL"),
        ((15, 10), "CELL_BIG"), ((33, 10), "ONE_ROCKET"), ((28, 4), "ROCKET_BOX"),
        ((26, 23), "SHELLS_4"), ((6, 16), "SHELL_BOX"), ((36, 4), "CELL_SMALL"),
        ((2, 10), "SHELLS_4"),
    ]
    for (c, r), name in items:
        x, y = at(c, r)
        m.item(x, y, name)
    # the lift rides from its pit beside the right tower up to the second
    # floor; a ferry crosses the top between the towers
    m.platform(960, 96, 0, 65536, "platform_64x16.png")
    m.platform(512, 720, -65536, 0, "lift_48x16.png")
    walls(g, m)
    deco = [
        (64, 128, "crystal_32.png"), (448, 128, "crystal_32.png"), (1152, 128, "crystal_32.png"),
        (160, 384, "torch.png"), (560, 400, "torch.png"), (1120, 384, "torch.png"),
        (96, 560, "chain_16x48.png"), (1168, 560, "chain_16x48.png"), (448, 496, "vines_32x48.png"),
        (704, 496, "vines_32x48.png"), (160, 752, "banner_32x64.png"), (1056, 752, "banner_32x64.png"),
        (608, 128, "bones.png"), (912, 160, "sign_up.png"), (640, 832, "lamp.png"),
        (32, 128, "teleport_pad.png"), (1104, 736, "teleport_exit.png"),
        (1216, 352, "crystal_32.png"), (320, 768, "lamp.png"), (224, 160, "torch.png"),
    ]
    for x, y, pic in deco:
        m.decoration(x, y, pic)
    # the lift turns in its pit and at the second floor (544)
    m.redirect(960, 96, 64, 16, 0, 65536)
    m.redirect(960, 544, 64, 16, 0, -65536)
    # the ferry at the top turns short of the towers' edges (256 and 832)
    m.redirect(256, 720, 16, 16, 65536, 0)
    m.redirect(816, 720, 16, 16, -65536, 0)
    # a pad on the ground floor sends players up to the right tower's top
    m.teleport(48, 128, 16, 48, 1120, 752, kinds=("MONSTER",))
    # an old pad by the shaft that names no kind and so moves nothing
    m.teleport(896, 128, 32, 32, 896, 576)
    for (c, r) in [(7, 23), (33, 23), (3, 16), (36, 16), (16, 10), (34, 10), (5, 4), (32, 4)]:
        x, y = at(c, r)
        m.dm_start(x, y)
    return m


def all_files():
    return {"testmap.fenda": testmap().to_bytes(), "towers.fenda": towers().to_bytes()}
