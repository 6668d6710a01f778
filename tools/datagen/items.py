"""Item, weapon, spark, missile and explosion pictures, the
deathmatch start marker of the editor, and the two ".missle"
descriptions."""
import math

import numpy as np

from . import formats
from .creatures import darker, shade
from .font import text_mask
from .raster import Canvas, TRANSPARENT, rgb, clamp01

METAL = (120, 126, 138)
DARK = (50, 54, 62)


def radial(cv, cx, cy, r, stops):
    """A radial gradient through colour stops [(t, colour), ...]."""
    t = clamp01(np.sqrt((cv.X - cx) ** 2 + (cv.Y - cy) ** 2) / r)
    out = np.zeros(cv.X.shape + (3,), np.float32)
    for (t0, c0), (t1, c1) in zip(stops, stops[1:]):
        k = clamp01((t - t0) / max(1e-6, t1 - t0))[..., None]
        seg = ((t >= t0) & (t <= t1))[..., None]
        out = np.where(seg, rgb(c0) * (1 - k) + rgb(c1) * k, out)
    return out


def text_on(cv, x, y, text, colour):
    m = text_mask(text).astype(np.float32)
    s = cv.ss
    big = np.kron(m, np.ones((s, s), np.float32))
    full = np.zeros_like(cv.a)
    h, w = big.shape
    full[y * s:y * s + h, x * s:x * s + w] = big[:full.shape[0] - y * s, :full.shape[1] - x * s]
    cv.paint(full * (cv.a > 0.5), colour)


# ---------------------------------------------------------------- items

def medic_kit():
    cv = Canvas(22, 17)
    shade(cv, cv.capsule(8, 3.0, 14, 3.0, 1.6), (90, 90, 96), radius=0.6)      # handle
    cv.erase(cv.capsule(8.5, 3.3, 13.5, 3.3, 0.7))
    box = cv.rect(1, 4.5, 21, 16.8)
    shade(cv, box, (236, 236, 230), radius=1.4)
    shade(cv, cv.rect(1, 13.8, 21, 16.8), (190, 190, 186), radius=0.8)
    cross = np.maximum(cv.rect(9, 6, 13, 14), cv.rect(6, 8.2, 16, 11.8))
    shade(cv, cross, (220, 30, 30), radius=0.8)
    return cv


def cell_small():
    cv = Canvas(12, 17)
    shade(cv, cv.rect(3.5, 0.5, 8.5, 3), METAL, radius=0.6)
    shade(cv, cv.rect(1, 2.5, 11, 16.8), (40, 90, 170), radius=1.6)
    for y in (6, 9.5, 13):
        cv.paint(cv.rect(2, y, 10, y + 1.4), cv.hgrad((120, 250, 255), (40, 170, 230), 2, 10))
    shade(cv, cv.rect(1, 15.2, 11, 16.8), DARK, radius=0.5)
    return cv


def cell_big():
    cv = Canvas(26, 19)
    shade(cv, cv.rect(0.5, 3, 25.5, 18.8), (56, 62, 78), radius=1.8)
    shade(cv, cv.rect(3, 0.5, 8, 3.5), METAL, radius=0.5)
    shade(cv, cv.rect(18, 0.5, 23, 3.5), METAL, radius=0.5)
    win = cv.rect(3, 6, 23, 16)
    cv.paint(win, radial(cv, 13, 11, 11, [(0, (230, 255, 255)), (0.45, (70, 220, 255)), (1, (20, 80, 160))]))
    bolt = cv.poly([(14.5, 6.5), (9.5, 11.8), (12.8, 11.8), (11.0, 15.6), (16.8, 9.8), (13.4, 9.8)])
    cv.paint(bolt, (255, 255, 160))
    for x in (2, 24):
        cv.paint(cv.ellipse(x, 5, 0.8, 0.8), (170, 170, 180))
        cv.paint(cv.ellipse(x, 17, 0.8, 0.8), (170, 170, 180))
    return cv


def _rocket(cv, x0, y, length, scale=1.0):
    """A rocket lying along +x from x0 with its axis at y."""
    r = 2.4 * scale
    body = cv.rect(x0 + 3 * scale, y - r, x0 + length - 5 * scale, y + r)
    shade(cv, body, (150, 156, 150), radius=1.0)
    shade(cv, cv.rect(x0 + length * 0.45, y - r, x0 + length * 0.55, y + r), (220, 190, 60), radius=0.6)
    nose = cv.poly([(x0 + length - 5.5 * scale, y - r), (x0 + length, y), (x0 + length - 5.5 * scale, y + r)])
    shade(cv, nose, (210, 40, 30), radius=0.8)
    fins = cv.poly([(x0, y - r - 1.8 * scale), (x0 + 5 * scale, y - r + 0.2), (x0 + 5 * scale, y + r - 0.2),
                    (x0, y + r + 1.8 * scale)])
    shade(cv, fins, (90, 96, 90), radius=0.6)


def rocket_one():
    cv = Canvas(24, 10)
    _rocket(cv, 0.5, 5.0, 23.0)
    return cv


def rocket_box():
    cv = Canvas(28, 19)
    for i, x in enumerate((4, 10, 16, 22)):
        nose = cv.poly([(x - 2.2, 6), (x, 0.5 + (i % 2)), (x + 2.2, 6)])
        shade(cv, nose, (210, 40, 30), radius=0.7)
    box = cv.rect(0.5, 5, 27.5, 18.8)
    shade(cv, box, (92, 104, 58), radius=1.6)
    shade(cv, cv.rect(0.5, 5, 27.5, 7.2), (72, 82, 44), radius=0.6)
    stripe = cv.poly([(3, 15), (7, 9), (10, 9), (6, 15)])
    cv.paint(stripe, (210, 190, 60))
    cv.paint(cv.poly([(21, 15), (25, 9), (27, 9), (23, 15)]), (210, 190, 60))
    # a small rocket stencil
    cv.paint(cv.rect(10.5, 11, 17.5, 13), (30, 34, 20))
    cv.paint(cv.poly([(17.5, 10.5), (20, 12), (17.5, 13.5)]), (30, 34, 20))
    cv.paint(cv.poly([(9, 10), (11, 11.2), (11, 12.8), (9, 14)]), (30, 34, 20))
    return cv


def _shell(cv, x, y0, h=8.5):
    """A shotgun shell standing with its base at y0+h."""
    shade(cv, cv.rect(x - 1.7, y0, x + 1.7, y0 + h - 2.4), (200, 36, 30), radius=0.8)
    shade(cv, cv.rect(x - 1.9, y0 + h - 2.6, x + 1.9, y0 + h), (220, 180, 70), radius=0.6)
    cv.paint(cv.ellipse(x, y0 + 0.3, 1.5, 0.6), (140, 20, 20))


def shells_four():
    cv = Canvas(17, 11)
    for i, x in enumerate((3.0, 6.8, 10.6, 14.4)):
        _shell(cv, x, 1.8 + (0.6 if i % 2 else 0), 9.0 - (0.6 if i % 2 else 0))
    return cv


def shell_box():
    cv = Canvas(24, 16)
    for i in range(5):
        _shell(cv, 4 + i * 4, 1.0 + (i % 2) * 0.5, 8)
    box = cv.rect(0.5, 5.5, 23.5, 15.8)
    shade(cv, box, (170, 60, 40), radius=1.4)
    shade(cv, cv.rect(0.5, 10.0, 23.5, 13.0), (236, 220, 180), radius=0.6)
    for i in range(5):
        cv.paint(cv.rect(3 + i * 4, 10.8, 5 + i * 4, 12.2), (170, 40, 30))
    return cv


# ---------------------------------------------------------------- weapons

def plasma_gun():
    cv = Canvas(34, 15)
    shade(cv, cv.poly([(8, 8), (12, 8), (11, 14.5), (7.5, 14.5)]), DARK, radius=0.8)      # grip
    body = cv.poly([(1, 4), (22, 2.5), (27, 4.5), (27, 9.5), (1, 9.5)])
    shade(cv, body, (70, 80, 104), radius=1.6)
    shade(cv, cv.rect(2, 4.5, 10, 8.5), (46, 52, 68), radius=0.8)
    for x in (13, 16.5, 20):
        cv.paint(cv.rect(x, 3.5, x + 2, 9.0), cv.vgrad((190, 255, 255), (30, 150, 230), 3.5, 9))
    shade(cv, cv.rect(26, 5, 33.5, 8.5), METAL, radius=0.8)
    cv.paint(cv.ellipse(33, 6.8, 1.0, 1.4), (120, 255, 255))
    shade(cv, cv.poly([(15, 9.5), (20, 9.5), (18, 12.5), (15, 12.5)]), (56, 62, 78), radius=0.6)
    return cv


def rocket_launcher():
    cv = Canvas(42, 15)
    tube = cv.rect(1, 3, 41, 10)
    shade(cv, tube, (92, 106, 62), radius=2.2)
    shade(cv, cv.rect(0.5, 2.2, 4, 10.8), (60, 66, 50), radius=0.8)
    shade(cv, cv.rect(37.5, 2.2, 41.5, 10.8), (60, 66, 50), radius=0.8)
    cv.paint(cv.ellipse(41.0, 6.5, 0.9, 2.6), (20, 20, 20))
    shade(cv, cv.rect(17, 0.3, 24, 3.0), DARK, radius=0.6)                                  # sight
    cv.paint(cv.ellipse(23.4, 1.6, 0.6, 0.8), (255, 80, 60))
    shade(cv, cv.poly([(13, 10), (17, 10), (16, 14.7), (12.5, 14.7)]), DARK, radius=0.8)
    shade(cv, cv.poly([(24, 10), (28, 10), (27, 14), (24, 14)]), DARK, radius=0.8)
    cv.paint(cv.rect(6, 5.5, 10, 7.5), (210, 190, 60))
    return cv


def shotgun():
    cv = Canvas(38, 13)
    stock = cv.poly([(0.5, 4.0), (10, 3.5), (12, 6.5), (11, 8.5), (3, 12.5), (0.5, 11.5)])
    shade(cv, stock, (128, 76, 38), radius=1.4)
    shade(cv, cv.rect(10, 3.0, 20, 8.0), (64, 66, 74), radius=1.0)                          # receiver
    shade(cv, cv.poly([(14, 8), (17, 8), (16, 11.5), (13.5, 11.5)]), DARK, radius=0.6)
    shade(cv, cv.rect(19, 3.2, 37.5, 5.4), (150, 156, 168), radius=0.7)                     # barrel
    shade(cv, cv.rect(19, 5.6, 35, 7.8), (100, 104, 114), radius=0.7)                       # magazine
    shade(cv, cv.rect(23, 5.0, 30, 8.6), (128, 76, 38), radius=0.8)                         # pump
    for x in (24, 26, 28):
        cv.paint(cv.rect(x, 5.2, x + 0.8, 8.4), (90, 52, 24))
    return cv


# ---------------------------------------------------------------- sparks

def spark_small():
    cv = Canvas(3, 3)
    cv.paint(np.maximum(cv.rect(1, 0, 2, 3), cv.rect(0, 1, 3, 2)), radial(cv, 1.5, 1.5, 1.6, [(0, (255, 255, 255)), (1, (90, 230, 255))]))
    return cv


def spark_big():
    cv = Canvas(5, 5)
    star = np.maximum(cv.rect(2, 0, 3, 5), cv.rect(0, 2, 5, 3))
    star = np.maximum(star, cv.ellipse(2.5, 2.5, 1.5, 1.5))
    cv.paint(star, radial(cv, 2.5, 2.5, 2.5, [(0, (255, 255, 255)), (0.5, (150, 240, 255)), (1, (40, 140, 255))]))
    return cv


def spark_shell():
    """Where a pellet strikes: a white-hot cross, every pixel of it bright.
    The dusk's lit windows are orange and the cavern is dark blue, so the
    spark stays near white. It keeps its 3 x 3 size (the size of a spark's
    box in the world), and it is given pixel by pixel, since the sprite
    outline would darken four of its five pixels."""
    t, hot, white = TRANSPARENT, (255, 246, 214), (255, 255, 255)
    return np.array([[t, hot, t], [hot, white, hot], [t, hot, t]], np.uint8)


# ---------------------------------------------------------------- missiles

PLASMA_V = [(-393216, 0), (-327680, 229376), (-360448, -163840),
            (393216, 0), (327680, 229376), (360448, -163840)]
ROCKET_V = [(-294912, 0), (-245760, 163840), (-262144, -131072),
            (294912, 0), (245760, 163840), (262144, -131072)]


def _angle(v):
    return math.degrees(math.atan2(v[1], v[0]))


def plasma_bolt(angle):
    base = Canvas(20, 20)
    # the bolt flies towards +x; a tail behind it
    tail = base.capsule(3, 10, 13, 10, 1.2, 3.4)
    base.paint(tail, base.hgrad((30, 90, 220), (120, 230, 255), 3, 13))
    core = base.ellipse(13.5, 10, 4.2, 3.6)
    base.paint(core, radial(base, 14, 10, 4.3, [(0, (255, 255, 255)), (0.45, (170, 250, 255)), (1, (40, 160, 255))]))
    return _rotated_fit(base, angle)


def rocket_missile(angle):
    base = Canvas(28, 28)
    flame = base.poly([(0.5, 14), (5, 11.6), (7, 14), (5, 16.4)])
    base.paint(flame, base.hgrad((255, 230, 120), (255, 120, 30), 0.5, 7))
    _rocket(base, 6, 14, 21, scale=0.9)
    return _rotated_fit(base, angle)


def _rotated_fit(cv, angle):
    """Rotates a missile drawn towards +x, then crops to the painted part."""
    from .raster import alpha_bbox
    r = cv.transformed(angle_deg=angle, pivot=(cv.w / 2, cv.h / 2))
    x0, y0, x1, y1 = alpha_bbox(r, threshold=0.5)
    x0, y0 = int(math.floor(x0)), int(math.floor(y0))
    x1, y1 = int(math.ceil(x1)), int(math.ceil(y1))
    out = Canvas(x1 - x0, y1 - y0, cv.ss)
    out.paste(r, -x0, -y0)
    return out


# ---------------------------------------------------------------- explosions

def plasma_explosion(i, n=6):
    cv = Canvas(32, 32)
    t = (i + 1) / n
    R = 4 + 11.5 * t
    rs = np.random.RandomState(40 + i)
    ring = cv.ellipse(16, 16, R, R) * (1 - cv.ellipse(16, 16, R * (0.55 + 0.3 * t), R * (0.55 + 0.3 * t)))
    cv.paint(ring, radial(cv, 16, 16, R, [(0, (255, 255, 255)), (0.6, (140, 240, 255)),
                                          (1, (40, 120, 255))]))
    if i < n - 2:
        core = cv.ellipse(16, 16, R * 0.45 * (1 - t) + 1.5, R * 0.45 * (1 - t) + 1.5)
        cv.paint(core, (235, 255, 255))
    for k in range(7):
        a = rs.uniform(0, 2 * math.pi)
        d = R * rs.uniform(0.7, 1.15)
        cv.paint(cv.ellipse(16 + d * math.cos(a), 16 + d * math.sin(a), 1.0, 1.0), (200, 250, 255))
    return cv


def rocket_explosion(i, n=8):
    cv = Canvas(64, 64)
    rs = np.random.RandomState(70 + i)
    t = (i + 1) / n
    grow = min(1.0, t * 2.0)
    R = 8 + 15 * grow
    fade = max(0.0, (t - 0.45) / 0.55)            # fire turns to smoke
    # puffs of the fireball
    for k in range(14):
        a = rs.uniform(0, 2 * math.pi)
        d = R * rs.uniform(0.0, 0.4)
        r = R * rs.uniform(0.35, 0.55)
        cx, cy = 32 + d * math.cos(a), 32 + d * math.sin(a) - 6 * fade
        m = cv.ellipse(cx, cy, r, r)
        hot = [(0, (255, 255, 220)), (0.35, (255, 210, 80)), (0.7, (240, 110, 30)), (1, (150, 40, 20))]
        smoke = [(0, (120, 110, 100)), (0.6, (80, 74, 70)), (1, (50, 46, 44))]
        c_hot = radial(cv, 32, 32, R, hot)
        c_smoke = radial(cv, 32, 32, R, smoke)
        col = c_hot * (1 - fade) + c_smoke * fade
        cv.paint(m, col)
    if fade > 0:
        # holes as the cloud breaks up
        for k in range(int(10 * fade)):
            a = rs.uniform(0, 2 * math.pi)
            d = R * rs.uniform(0.3, 1.0)
            r = R * rs.uniform(0.12, 0.3) * fade
            cv.erase(cv.ellipse(32 + d * math.cos(a), 32 + d * math.sin(a), r, r))
    # flying debris
    for k in range(10):
        a = rs.uniform(0, 2 * math.pi)
        d = R * rs.uniform(0.9, 1.25)
        cv.paint(cv.ellipse(32 + d * math.cos(a), 32 + d * math.sin(a), 1.1, 1.1),
                 (255, 220, 120) if fade < 0.5 else (90, 80, 70))
    return cv


# ---------------------------------------------------------------- marker

def dm_start():
    cv = Canvas(20, 44)
    frame = cv.rect(0, 0, 20, 44) * (1 - cv.rect(2, 2, 18, 42))
    cv.paint(frame, cv.vgrad((255, 230, 90), (230, 120, 20), 0, 44))
    arrow = cv.poly([(10, 5), (16, 12), (12, 12), (12, 20), (8, 20), (8, 12), (4, 12)])
    cv.paint(arrow, (255, 200, 60))
    pad = cv.rect(2, 38, 18, 42)
    cv.paint(pad, (200, 90, 20))
    m = text_mask("DM").astype(np.float32)
    s = cv.ss
    big = np.kron(m, np.ones((s, s), np.float32))
    full = np.zeros_like(cv.a)
    full[23 * s:23 * s + big.shape[0], 4 * s:4 * s + big.shape[1]] = big
    cv.paint(full, (255, 240, 160))
    return cv


# ---------------------------------------------------------------- all

def all_files():
    out = {
        "medic_kit.png": medic_kit(),
        "cell_smallbox.png": cell_small(),
        "cell_bigbox.png": cell_big(),
        "rocket_1.png": rocket_one(),
        "rocket_box.png": rocket_box(),
        "shells_4.png": shells_four(),
        "shell_box.png": shell_box(),
        "plasmabolt.png": plasma_gun(),
        "rocket_launcher.png": rocket_launcher(),
        "shotgun.png": shotgun(),
        "spark.png": spark_small(),
        "spark_3.png": spark_big(),
        "shell_spark.png": spark_shell(),
        "dm_start.png": dm_start(),
    }
    pdirs, rdirs = [], []
    for d in range(6):
        pn, rn = "plasma_m%d.png" % d, "rocket_m%d.png" % d
        out[pn] = plasma_bolt(_angle(PLASMA_V[d]))
        out[rn] = rocket_missile(_angle(ROCKET_V[d]))
        pdirs.append((pn, 0, 0) + PLASMA_V[d])
        rdirs.append((rn, 0, 0) + ROCKET_V[d])
    pframes, rframes = [], []
    for i in range(6):
        n = "plasma_x%d.png" % i
        out[n] = plasma_explosion(i)
        pframes.append((n, -16, -16, 3))
    for i in range(8):
        n = "rocket_x%d.png" % i
        out[n] = rocket_explosion(i)
        rframes.append((n, -32, -32, 4))
    out["plasma.missle"] = formats.missle_bytes(pdirs, "plasma_fire.wav", "plasma_hit.wav", pframes)
    out["rocket.missle"] = formats.missle_bytes(rdirs, "rocket_fire.wav", "rocket_boom.wav", rframes)
    return out
