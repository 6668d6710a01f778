"""Writers of the text and binary formats that the programs read:
configuration, random table, ".missle",
".monster", "editor.walls" and map files written
exactly as the editor's map writer writes them."""
import struct

# ---------------------------------------------------------------- config

def config_bytes():
    lines = [
        "# fenda2.config - settings shared by fenda2 and fenda_editor",
        "# One setting a line: key=value, no blanks around \"=\".",
        "# A line starting with \"#\" is a comment; the first empty line ends",
        "# the file, so the file must end with an empty line.",
        "#",
        "# Display: a window (fullscreen=on for the whole screen; Alt-Enter",
        "# switches during the game) at colour depth 24.",
        "fullscreen=off",
        "colour=24",
        "# Sound effects and music (any value other than on means silence).",
        "sound=on",
        "# Player names shown in the network lobby (at most 15 characters).",
        "player1=Blue",
        "player2=Red",
        "player3=Green",
        "player4=Yellow",
        "# Address of the server that \"C: Connect\" in the menu joins.",
        "server=127.0.0.1",
        "# Network timing: resend interval in milliseconds, control turn",
        "# length and the frame of the turn at which controls are sent (in",
        "# logical frames of 10 ms). A client takes the server's values.",
        "packet_interval=150",
        "net_control_interval=20",
        "net_control_send=16",
        "# The editor's window size in pixels.",
        "editor_screen_wid=1024",
        "editor_screen_hgt=768",
        "",
    ]
    text = "\n".join(lines) + "\n"
    for ln in lines:
        assert len(ln) < 80, ln
    return text.encode("ascii")


# ---------------------------------------------------------------- random table

RANDOM_SEED = 0x46454E44  # "FEND"


def random_table_values(seed=RANDOM_SEED, count=8192):
    """Marsaglia's xorshift32 generator (shifts 13, 17, 5), started from
    `seed`; each entry is the high 16 bits of the next state."""
    x = seed & 0xFFFFFFFF
    out = []
    for _ in range(count):
        x ^= (x << 13) & 0xFFFFFFFF
        x ^= x >> 17
        x ^= (x << 5) & 0xFFFFFFFF
        out.append(x >> 16)
    return out


def random_table_bytes():
    vals = random_table_values()
    return struct.pack("<%dH" % len(vals), *vals)


# ---------------------------------------------------------------- .missle

def missle_bytes(directions, fire_sound, explosion_sound, frames):
    """directions: 6 tuples (picture, dx, dy, vx, vy) for codes 0..5;
    frames: up to 8 tuples (picture, dx, dy, ticks)."""
    assert len(directions) == 6 and 1 <= len(frames) <= 8
    out = []
    for pic, dx, dy, vx, vy in directions:
        out.append("%s %d %d %d %d\n" % (pic, dx, dy, vx, vy))
    out.append("%s\n" % fire_sound)
    out.append("%s\n" % explosion_sound)
    for pic, dx, dy, ticks in frames:
        out.append("%s %d %d %d\n" % (pic, dx, dy, ticks))
    out.append(" \n")
    return "".join(out).encode("ascii")


# ---------------------------------------------------------------- .monster

def monster_bytes(width, height, frames, death_sound, muzzles, walk_speed,
                  jump_speed, health):
    """frames: 28 tuples (picture, dx, dy, ticks)."""
    assert len(frames) == 28 and len(muzzles) == 3
    out = ["%d\n" % width, "%d\n" % height]
    for pic, dx, dy, ticks in frames:
        assert ticks >= 1
        out.append("%s %d %d %d\n" % (pic, dx, dy, ticks))
    out.append("%s\n" % death_sound)
    for m in muzzles:
        out.append("%d\n" % m)
    out.append("%d\n" % walk_speed)
    out.append("%d\n" % jump_speed)
    out.append("%d\n" % health)
    return "".join(out).encode("ascii")


# ---------------------------------------------------------------- editor.walls

def walls_bytes(names):
    return ("".join(n + "\n" for n in names) + "\n").encode("ascii")


# ---------------------------------------------------------------- maps

ITEM_NAMES = ["HEALTH", "PLASMABOLT", "LAUNCHER", "SHOTGUN", "CELL_SMALL",
              "CELL_BIG", "ONE_ROCKET", "ROCKET_BOX", "SHELLS_4", "SHELL_BOX"]


class Map:
    """A map as the editor's writer sees it: a head and objects in file
    order. Every method appends one object line."""

    def __init__(self, width, height, background, music, status):
        self.width, self.height = width, height
        self.background, self.music, self.status = background, music, status
        self.lines = []

    def _pos(self, x, y):
        assert x % 16 == 0 and y % 16 == 0, (x, y)
        return "%d %d" % (x, y)

    def wall(self, x, y, pic):
        self.lines.append("%s WALL %s\n" % (self._pos(x, y), pic))

    def decoration(self, x, y, pic):
        self.lines.append("%s DECORATION %s\n" % (self._pos(x, y), pic))

    def ladder(self, x, y, pic):
        self.lines.append("%s LADDER %s\n" % (self._pos(x, y), pic))

    def platform(self, x, y, vx, vy, pic):
        self.lines.append("%s PLATFORM %d %d %s\n" % (self._pos(x, y), vx, vy, pic))

    def redirect(self, x, y, w, h, vx, vy):
        self.lines.append("%s TRIGGER %d %d REDIRECT %d %d\n" % (self._pos(x, y), w, h, vx, vy))

    def teleport(self, x, y, w, h, dest_x, dest_y, kinds=(), silent=False):
        order = ["MONSTER", "MISSLE", "PLATFORM", "ITEM"]
        assert all(k in order for k in kinds)
        s = "%s TRIGGER %d %d TELEPORT " % (self._pos(x, y), w, h)
        if silent:
            s += "SILENT "
        s += "( "
        for k in order:
            if k in kinds:
                s += k + " "
        s += ") %d %d\n" % (dest_x, dest_y)
        self.lines.append(s)

    def item(self, x, y, name):
        assert name in ITEM_NAMES
        self.lines.append("%s ITEM %s\n" % (self._pos(x, y), name))

    def player(self, x, y, n, description):
        self.lines.append("%s PLAYER %d %s\n" % (self._pos(x, y), n, description))

    def monster(self, x, y, description):
        self.lines.append("%s MONSTER %s\n" % (self._pos(x, y), description))

    def dm_start(self, x, y):
        self.lines.append("%s DM_START \n" % self._pos(x, y))

    def to_bytes(self):
        head = "%d %d %s\n%s\n%s\n\n" % (self.width, self.height, self.background,
                                          self.music, self.status)
        text = head + "".join(self.lines) + " \n"
        for ln in text.split("\n"):
            assert len(ln) < 80, ln
        return text.encode("ascii")
