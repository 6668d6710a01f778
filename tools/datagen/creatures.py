"""The creatures: the players' fighters (four colour schemes)
and the Hrack monster, each as 28 animation frames and a ".monster"
description."""
import math

import numpy as np

from . import formats
from .raster import Canvas, place, sprite_pixels

# ------------------------------------------------------------------ helpers


def rot(p, pivot, deg):
    """Rotates point p about pivot by deg (positive = counter-clockwise on
    screen, i.e. a gun aimed upwards)."""
    a = math.radians(deg)
    x, y = p[0] - pivot[0], p[1] - pivot[1]
    return (pivot[0] + x * math.cos(a) + y * math.sin(a),
            pivot[1] - x * math.sin(a) + y * math.cos(a))


def limb_end(start, length, angle_deg):
    """End of a limb hanging down from start, swung forward (towards +x)
    by angle_deg."""
    a = math.radians(angle_deg)
    return (start[0] + length * math.sin(a), start[1] + length * math.cos(a))


def ik_elbow(s, h, l1, l2, bend=1):
    """Elbow of a two-bone arm from shoulder s to hand h; bend chooses the
    side (1: elbow below/behind the line)."""
    dx, dy = h[0] - s[0], h[1] - s[1]
    d = math.hypot(dx, dy)
    d = min(max(d, 1e-3), l1 + l2 - 1e-3)
    a = (l1 * l1 - l2 * l2 + d * d) / (2 * d)
    hgt = math.sqrt(max(0.0, l1 * l1 - a * a))
    ux, uy = dx / d, dy / d
    mx, my = s[0] + a * ux, s[1] + a * uy
    # perpendicular pointing "down-back"
    px, py = -uy, ux
    if py < 0:
        px, py = -px, -py
    return (mx + bend * hgt * px, my + bend * hgt * py)


def shade(cv, mask, colour, **kw):
    cv.paint(mask, cv.lit(mask, colour, **kw))


def darker(c, f):
    return tuple(max(0, min(255, int(v * f))) for v in c)


def blood(cv, seed, cx, cy, spread, n, colour=(150, 10, 10), size=1.0):
    rs = np.random.RandomState(seed)
    for _ in range(n):
        x = cx + rs.uniform(-spread, spread)
        y = cy + rs.uniform(-spread * 0.6, spread * 0.6)
        r = rs.uniform(0.6, 1.4) * size
        cv.paint(cv.ellipse(x, y, r, r), darker(colour, rs.uniform(0.8, 1.2)))


def flash(cv, x, y, size=4.0):
    pts = []
    for i in range(16):
        a = math.pi * 2 * i / 16
        r = size if i % 2 == 0 else size * 0.4
        if i % 4 == 2:
            r *= 0.7
        pts.append((x + r * 1.3 * math.cos(a), y + r * 0.8 * math.sin(a)))
    cv.paint(cv.poly(pts), (255, 200, 60))
    cv.paint(cv.ellipse(x, y, size * 0.55, size * 0.4), (255, 255, 210))


# ------------------------------------------------------------------ fighter

FIGHTER_SCHEMES = {
    "blue": dict(armour=(60, 110, 215), visor=(120, 240, 255), suit=(58, 62, 74)),
    "red": dict(armour=(200, 50, 45), visor=(255, 220, 90), suit=(66, 58, 58)),
    "green": dict(armour=(60, 160, 70), visor=(230, 255, 120), suit=(56, 66, 56)),
    "yellow": dict(armour=(225, 185, 50), visor=(255, 120, 60), suit=(70, 66, 54)),
}

FW, FH = 48, 52          # fighter sprite size
FBW, FBH = 20, 44        # fighter body box
FDX = -(FW - FBW) // 2   # -14: picture centred on the body
GROUND = FH - 0.2
GUN = (72, 76, 86)
BOOT = (44, 40, 38)
PIVOT = (25.0, 24.0)     # the gun's grip, rotation centre of the aim
AIM = {0: 0.0, 1: 35.0, 2: -24.0}

# walking cycle: (back thigh, back shin, front thigh, front shin) in degrees,
# forward positive; shin angle is absolute
WALK = [
    (-22, -38, 24, 10),
    (18, -40, 0, 0),
    (24, 10, -22, -38),
    (0, 0, 18, -40),
]


def _leg_points(hip, thigh, shin, l1=9.6, l2=9.2):
    knee = limb_end(hip, l1, thigh)
    ankle = limb_end(knee, l2, shin)
    return knee, ankle


def fighter_side(pal, legs=(0, 0, 0, 0), aim=0.0, look=0, fire=False, bob=0.0,
                 seed=1):
    """The fighter facing right. legs = (back thigh, back shin, front thigh,
    front shin)."""
    cv = Canvas(FW, FH)
    armour, suit, visor = pal["armour"], pal["suit"], pal["visor"]
    bt, bs, ft, fs = legs
    # hip height so that the lowest foot stands on the ground
    probe = (24.0, 0.0)
    _, a1 = _leg_points(probe, bt, bs)
    _, a2 = _leg_points(probe, ft, fs)
    hip_y = GROUND - 2.2 - max(a1[1], a2[1])
    hip = (24.0, hip_y)
    top = hip_y - 31.0 + 0  # unused reference
    dy = hip_y - 31.0       # vertical shift of the upper body (crouch on stride)
    dy += bob

    def leg(hx, thigh, shin, shade_f):
        h = (hx, hip_y)
        knee, ankle = _leg_points(h, thigh, shin)
        shade(cv, cv.capsule(h[0], h[1], knee[0], knee[1], 3.0, 2.6), darker(suit, shade_f))
        shade(cv, cv.capsule(knee[0], knee[1], ankle[0], ankle[1], 2.6, 2.3), darker(suit, shade_f))
        # knee pad
        shade(cv, cv.ellipse(knee[0] + 0.8, knee[1], 2.3, 2.0), darker(armour, shade_f * 0.95))
        # boot: ankle to toe along the ground direction of the shin
        sa = math.radians(shin)
        fx, fy = math.cos(sa), -math.sin(sa)
        toe = (ankle[0] + 4.2 * fx, ankle[1] + 4.2 * fy + 0.6)
        heel = (ankle[0] - 1.6 * fx, ankle[1] - 1.6 * fy + 0.6)
        shade(cv, cv.capsule(heel[0], heel[1] + 0.4, toe[0], toe[1] + 0.4, 2.2, 1.8),
              darker(BOOT, shade_f))

    leg(23.0, bt, bs, 0.72)

    # backpack
    shade(cv, cv.poly([(14.5, 18 + dy), (19.5, 17 + dy), (20.0, 29 + dy), (15.0, 29 + dy)]),
          darker(armour, 0.6))
    shade(cv, cv.rect(15.2, 19.5 + dy, 18.8, 21 + dy), (150, 150, 160), radius=0.6)

    # far arm (behind the gun) to the fore-grip
    shoulder = (24.0, 19.5 + dy)
    fore = rot((33.5, 24.2), PIVOT, aim)
    fore = (fore[0], fore[1] + dy)
    el = ik_elbow(shoulder, fore, 6.5, 7.0)
    shade(cv, cv.capsule(shoulder[0], shoulder[1], el[0], el[1], 2.4), darker(suit, 0.7))
    shade(cv, cv.capsule(el[0], el[1], fore[0], fore[1], 2.2, 1.9), darker(suit, 0.7))

    # torso
    torso = cv.poly([(18.5, 17.0 + dy), (29.5, 17.0 + dy), (30.0, 22 + dy),
                     (28.0, 31.5 + dy), (20.0, 31.5 + dy), (18.0, 24 + dy)])
    shade(cv, torso, suit)
    chest = cv.poly([(19.5, 17.5 + dy), (29.5, 17.5 + dy), (30.0, 22.5 + dy),
                     (28.5, 27 + dy), (20.5, 27 + dy)])
    shade(cv, chest, armour, radius=1.6)
    shade(cv, cv.rect(19.5, 28.0 + dy, 28.5, 30.5 + dy), (52, 46, 40), radius=0.8)  # belt
    shade(cv, cv.rect(25.5, 28.2 + dy, 27.5, 30.3 + dy), (200, 180, 90), radius=0.5)  # buckle

    # head / helmet; looking up or down tilts the visor
    tilt = {0: 0.0, 1: -1.3, 2: 1.2}[look]
    hx, hy = 24.6, 10.6 + dy + tilt * 0.4
    shade(cv, cv.ellipse(hx, hy, 5.6, 5.9), armour, radius=2.2)
    shade(cv, cv.rect(19.5, hy + 4.2, 28.5, hy + 7.0), suit, radius=0.8)  # neck guard
    vis = cv.poly([(26.0, hy - 2.2 + tilt), (30.6, hy - 1.6 + tilt), (30.4, hy + 2.2 + tilt),
                   (26.4, hy + 2.6 + tilt)])
    cv.paint(vis, cv.vgrad(visor, darker(visor, 0.45), hy - 2 + tilt, hy + 2.6 + tilt))
    cv.paint(cv.ellipse(28.2, hy - 0.8 + tilt, 1.0, 0.6), (255, 255, 255), 0.8)
    # helmet crest
    shade(cv, cv.capsule(19.8, hy - 3.5, 24.5, hy - 5.7, 1.0), darker(armour, 0.8), radius=0.6)

    leg(25.0, ft, fs, 1.0)

    # the gun, rotated about the grip
    def gp(x, y):
        p = rot((x, y), PIVOT, aim)
        return (p[0], p[1] + dy)
    body = cv.poly([gp(19.5, 22.2), gp(36.5, 21.6), gp(37.0, 26.0), gp(27.5, 26.2),
                    gp(26.5, 28.8), gp(24.2, 28.8), gp(23.5, 26.2), gp(19.5, 26.5)])
    shade(cv, body, GUN, radius=1.2)
    barrel = cv.poly([gp(36.0, 22.4), gp(44.0, 22.6), gp(44.0, 24.8), gp(36.0, 25.0)])
    shade(cv, barrel, (110, 116, 128), radius=0.8)
    cv.paint(cv.poly([gp(28.0, 22.6), gp(34.0, 22.4), gp(34.0, 23.4), gp(28.0, 23.6)]),
             darker(armour, 1.1))
    muzzle = gp(44.2, 23.7)
    if fire:
        flash(cv, muzzle[0] + 2.2, muzzle[1], 3.6)

    # near arm to the grip, shoulder pad on top
    grip = gp(26.0, 25.6)
    el = ik_elbow(shoulder, grip, 6.5, 6.5)
    shade(cv, cv.capsule(shoulder[0], shoulder[1], el[0], el[1], 2.6), suit)
    shade(cv, cv.capsule(el[0], el[1], grip[0], grip[1], 2.4, 2.1), suit)
    shade(cv, cv.ellipse(grip[0], grip[1], 2.0, 1.8), darker(BOOT, 1.3))  # glove
    shade(cv, cv.ellipse(shoulder[0], shoulder[1] - 0.5, 4.2, 3.2), armour, radius=1.4)
    return cv


def fighter_front(pal, pose="stand", seed=1):
    """Front view: pose 'stand' (turning frame), 'hit' (first dying frame),
    'kneel', 'limp' (arms at the sides, for lying down)."""
    cv = Canvas(FW, FH)
    armour, suit, visor = pal["armour"], pal["suit"], pal["visor"]
    cx = 24.0
    kneel = pose == "kneel"
    drop = 9.0 if kneel else 0.0
    hip_y = GROUND - 21.0 + drop
    # legs
    for side in (-1, 1):
        hx = cx + side * 3.4
        if kneel:
            knee = (hx + side * 1.5, GROUND - 2.5)
            shade(cv, cv.capsule(hx, hip_y, knee[0], knee[1], 3.2, 2.8), suit)
            shade(cv, cv.ellipse(knee[0], knee[1] - 0.5, 2.6, 2.2), armour)
            shade(cv, cv.capsule(knee[0], knee[1] + 0.5, knee[0] + side * 2.5, GROUND - 1.2, 2.2), BOOT)
        else:
            ax = hx + side * 0.6
            shade(cv, cv.capsule(hx, hip_y, ax, GROUND - 4.0, 3.2, 2.6), suit)
            shade(cv, cv.ellipse(hx + side * 0.3, hip_y + 9.5, 2.5, 2.2), armour)
            shade(cv, cv.capsule(ax - side * 0.2, GROUND - 3.0, ax + side * 0.8, GROUND - 1.6, 2.4), BOOT)
    dy = drop
    # torso
    torso = cv.poly([(cx - 6.5, 17.0 + dy), (cx + 6.5, 17.0 + dy), (cx + 5.5, 31.5 + dy),
                     (cx - 5.5, 31.5 + dy)])
    shade(cv, torso, suit)
    chest = cv.poly([(cx - 6.0, 17.5 + dy), (cx + 6.0, 17.5 + dy), (cx + 5.0, 26.5 + dy),
                     (cx, 28.0 + dy), (cx - 5.0, 26.5 + dy)])
    shade(cv, chest, armour, radius=1.8)
    shade(cv, cv.rect(cx - 5.5, 28.0 + dy, cx + 5.5, 30.5 + dy), (52, 46, 40), radius=0.8)
    shade(cv, cv.rect(cx - 1.2, 28.2 + dy, cx + 1.2, 30.3 + dy), (200, 180, 90), radius=0.5)
    # arms
    sh_l, sh_r = (cx - 7.5, 19.5 + dy), (cx + 7.5, 19.5 + dy)
    if pose == "stand":
        hand_l, hand_r = (cx - 4.0, 28.0 + dy), (cx + 5.0, 24.0 + dy)
    elif pose == "hit":
        hand_l, hand_r = (cx - 14.0, 13.0 + dy), (cx + 14.0, 12.0 + dy)
    elif pose == "kneel":
        hand_l, hand_r = (cx - 9.5, 33.0 + dy), (cx + 9.5, 33.0 + dy)
    else:
        hand_l, hand_r = (cx - 9.0, 31.5 + dy), (cx + 9.0, 31.5 + dy)
    for sh, hand, side in ((sh_l, hand_l, -1), (sh_r, hand_r, 1)):
        mid = ((sh[0] + hand[0]) / 2 + side * 1.2, (sh[1] + hand[1]) / 2 + 0.5)
        shade(cv, cv.capsule(sh[0], sh[1], mid[0], mid[1], 2.5), suit)
        shade(cv, cv.capsule(mid[0], mid[1], hand[0], hand[1], 2.3, 2.0), suit)
        shade(cv, cv.ellipse(hand[0], hand[1], 1.9, 1.8), darker(BOOT, 1.3))
    if pose == "stand":
        # gun held across the chest
        g = cv.poly([(cx - 8.0, 29.5 + dy), (cx + 8.5, 20.0 + dy), (cx + 10.0, 22.0 + dy),
                     (cx - 6.5, 31.5 + dy)])
        shade(cv, g, GUN, radius=1.0)
    for sh in (sh_l, sh_r):
        shade(cv, cv.ellipse(sh[0], sh[1] - 0.5, 3.6, 3.0), armour, radius=1.4)
    # head
    hy = 10.8 + dy + (-1.5 if pose == "hit" else 0.0)
    shade(cv, cv.ellipse(cx, hy, 5.8, 5.9), armour, radius=2.2)
    shade(cv, cv.rect(cx - 4.0, hy + 4.3, cx + 4.0, hy + 7.0), suit, radius=0.8)
    vis = cv.poly([(cx - 4.6, hy - 1.6), (cx + 4.6, hy - 1.6), (cx + 4.0, hy + 2.4),
                   (cx - 4.0, hy + 2.4)])
    cv.paint(vis, cv.vgrad(visor, darker(visor, 0.45), hy - 1.6, hy + 2.4))
    cv.paint(cv.ellipse(cx - 2.0, hy - 0.6, 1.2, 0.6), (255, 255, 255), 0.8)
    shade(cv, cv.capsule(cx, hy - 5.6, cx, hy - 3.5, 1.1), darker(armour, 0.8), radius=0.6)
    if pose == "hit":
        blood(cv, seed, cx + 1, 22 + dy, 7, 9, size=1.1)
    return cv


def fighter_frames(scheme):
    pal = FIGHTER_SCHEMES[scheme]
    right = {}
    for look in (0, 1, 2):
        right[("stand", look)] = fighter_side(pal, aim=AIM[look], look=look)
        right[("fire", look)] = fighter_side(pal, aim=AIM[look], look=look, fire=True)
    for i, legs in enumerate(WALK):
        right[("walk", i)] = fighter_side(pal, legs=legs, bob=(0.0 if i % 2 == 0 else -0.6))
    front = fighter_front(pal, "stand")
    three_q = right[("stand", 0)].transformed(pivot=(24, 26), scale_x=0.74)
    hit = fighter_front(pal, "hit", seed=3)
    kneel = fighter_front(pal, "kneel", seed=4)
    limp = fighter_front(pal, "limp")
    falling = place(kneel.transformed(angle_deg=-55, pivot=(24, 30)), FW, FH, 27, FH)
    blood(falling, 12, 30, FH - 10, 6, 6)
    flat = limp.transformed(angle_deg=-90, pivot=(24, 28))
    lying = place(flat, FW, FH, 24, FH)
    blood(lying, 11, 30, FH - 3.0, 9, 10, size=1.2)

    corpse = Canvas(FW, 20)
    corpse.paint(corpse.ellipse(26, 18.5, 17, 2.4), (110, 8, 8))
    corpse.paste(place(flat, FW, 20, 24, 20), 0, 0)
    blood(corpse, 13, 28, 16.5, 12, 10, colour=(130, 10, 10), size=1.2)

    frames = []
    order = ([("stand", 0), ("stand", 1), ("stand", 2), ("fire", 0), ("fire", 1), ("fire", 2)]
             + [("walk", i) for i in range(4)])
    left = [right[k].mirrored() for k in order]
    rights = [right[k] for k in order]
    frames = left[:6] + left[6:10] + [three_q.mirrored(), front, three_q] + rights[:6] + rights[6:10]
    frames += [hit, kneel, falling, lying, corpse]
    assert len(frames) == 28
    return frames


FIGHTER_TICKS = ([50, 50, 50, 14, 14, 14, 9, 9, 9, 9, 5, 14, 5]
                 + [50, 50, 50, 14, 14, 14, 9, 9, 9, 9]
                 + [9, 10, 10, 14, 1])


def fighter_files(scheme):
    """Returns {file name: bytes} for one fighter colour: 28 PNG frames and
    its ".monster" description."""
    files = {}
    frames = fighter_frames(scheme)
    lines = []
    for i, cv in enumerate(frames):
        name = "fighter_%s_%02d.png" % (scheme, i)
        files[name] = cv
        dx = FDX
        lines.append((name, dx, 0, FIGHTER_TICKS[i]))
    # muzzle heights: where the gun crosses the body's front edge
    muzzles = []
    for look in (0, 1, 2):
        a = AIM[look]
        # distance along the barrel from the grip to x = body front (34)
        d = (34.0 - PIVOT[0]) / math.cos(math.radians(a))
        y = PIVOT[1] - 0.3 - d * math.sin(math.radians(a))
        muzzles.append(int(round(FH - y)))
    desc = formats.monster_bytes(FBW, FBH, lines, "fighter_die.wav", muzzles,
                                 walk_speed=118000, jump_speed=192000, health=100)
    files["fighter_%s.monster" % scheme] = desc
    return files


# ------------------------------------------------------------------ Hrack

HW, HH = 56, 44
HBW, HBH = 30, 36
HDX = -(HW - HBW) // 2   # -13
HGROUND = HH - 0.2
SKIN = (92, 128, 60)
BELLY = (196, 184, 120)
CLAW = (236, 230, 210)
EYE = (255, 60, 30)

HWALK = [
    (-26, -10, 24, 8),
    (14, -50, -2, 0),
    (24, 8, -26, -10),
    (-2, 0, 14, -50),
]


def _mottle(cv, mask, seed, colour=(60, 86, 40)):
    rs = np.random.RandomState(seed)
    spots = np.zeros_like(mask)
    for _ in range(28):
        x, y = rs.uniform(0, cv.w), rs.uniform(0, cv.h)
        r = rs.uniform(0.8, 1.8)
        spots = np.maximum(spots, cv.ellipse(x, y, r, r * 0.8))
    cv.paint(spots * mask, colour, 0.55)


def hrack_side(legs=(0, 0, 0, 0), look=0, roar=False, bob=0.0, seed=5):
    cv = Canvas(HW, HH)
    bt, bs, ft, fs = legs
    hip = (24.0, 26.0)
    # keep the lowest foot on the ground
    def leg_pts(h, thigh, shin):
        knee = limb_end(h, 7.5, thigh - 25)
        ankle = limb_end(knee, 8.5, shin + 25)
        return knee, ankle
    _, a1 = leg_pts(hip, bt, bs)
    _, a2 = leg_pts(hip, ft, fs)
    dy = (HGROUND - 2.0) - max(a1[1], a2[1]) + bob
    hip = (24.0, 26.0 + dy)

    def leg(hx, thigh, shin, f):
        h = (hx, hip[1])
        knee, ankle = leg_pts(h, thigh, shin)
        shade(cv, cv.capsule(h[0], h[1], knee[0], knee[1], 4.2, 3.0), darker(SKIN, f))
        shade(cv, cv.capsule(knee[0], knee[1], ankle[0], ankle[1], 2.8, 2.0), darker(SKIN, f))
        sa = math.radians(shin)
        toe = (ankle[0] + 5.0 * math.cos(sa), ankle[1] - 5.0 * math.sin(sa) + 1.2)
        shade(cv, cv.capsule(ankle[0] - 1.0, ankle[1] + 0.8, toe[0], toe[1], 2.0, 1.4), darker(SKIN, f * 0.9))
        for k in (-0.8, 0.6):
            cv.paint(cv.poly([(toe[0] - 0.5, toe[1] - 1.0 + k), (toe[0] + 2.6, toe[1] + 0.4 + k * 0.5),
                              (toe[0] - 0.2, toe[1] + 0.8 + k)]), darker(CLAW, f))

    leg(22.0, bt, bs, 0.7)
    # tail
    shade(cv, cv.capsule(16.0, 22.0 + dy, 3.0, 30.0 + dy, 4.2, 1.2), SKIN)
    # body: a hunched barrel
    body = cv.ellipse(25.0, 20.5 + dy, 12.5, 9.0)
    shade(cv, body, SKIN, radius=2.8)
    _mottle(cv, body, seed)
    belly = cv.ellipse(28.0, 24.5 + dy, 8.0, 4.8) * body
    shade(cv, belly, BELLY, radius=1.6)
    # back spikes
    for i, (x, y) in enumerate([(15, 15.5), (19, 12.5), (24, 11.2), (29, 11.5)]):
        cv.paint(cv.poly([(x - 2.0, y + 2 + dy), (x - 0.6 + (i * 0.2), y - 3.6 + dy), (x + 1.8, y + 2 + dy)]),
                 (150, 60, 40))
    # neck and head
    lift = {0: 0.0, 1: -4.0, 2: 3.5}[look]
    jaw_open = 4.5 if roar else 1.2
    hx, hy = 39.0, 15.0 + dy + lift
    shade(cv, cv.capsule(31.0, 18.0 + dy, hx - 2, hy + 1, 5.0, 4.2), SKIN)
    head = cv.poly([(hx - 6, hy - 4.5), (hx + 2, hy - 5.5), (hx + 10.5, hy - 2.5),
                    (hx + 11.5, hy + 0.5), (hx - 4, hy + 2.5)])
    shade(cv, head, SKIN, radius=2.0)
    _mottle(cv, head, seed + 1)
    jaw = cv.poly([(hx - 4, hy + 1.5), (hx + 10, hy + 0.8 + jaw_open * 0.5),
                   (hx + 9.5, hy + 2.8 + jaw_open), (hx - 3, hy + 5.0)])
    # mouth interior
    cv.paint(cv.poly([(hx - 3, hy + 1.2), (hx + 11, hy + 0.2), (hx + 10, hy + 1.6 + jaw_open),
                      (hx - 2, hy + 3.6)]), (120, 20, 30))
    shade(cv, jaw, darker(SKIN, 0.85), radius=1.4)
    # teeth
    for i in range(5):
        tx = hx + 1.0 + i * 2.0
        cv.paint(cv.poly([(tx - 0.7, hy + 0.3), (tx + 0.7, hy + 0.2), (tx, hy + 2.0 + (0.6 if roar else 0))]), CLAW)
        cv.paint(cv.poly([(tx - 0.1, hy + 1.4 + jaw_open), (tx + 1.3, hy + 1.3 + jaw_open),
                          (tx + 0.6, hy - 0.2 + jaw_open * 0.8)]), CLAW)
    # eye and brow
    cv.paint(cv.ellipse(hx + 2.0, hy - 2.0, 1.6, 1.2), EYE)
    cv.paint(cv.ellipse(hx + 2.4, hy - 2.2, 0.5, 0.5), (255, 240, 200))
    cv.paint(cv.poly([(hx - 0.5, hy - 4.0), (hx + 4.5, hy - 3.2), (hx + 4.0, hy - 2.6), (hx - 0.5, hy - 3.2)]),
             darker(SKIN, 0.5))
    leg(26.0, ft, fs, 1.0)
    # small arm with claws
    sh = (32.0, 22.0 + dy)
    hand = (35.5 + (1.5 if roar else 0), 28.5 + dy - (3 if roar else 0))
    shade(cv, cv.capsule(sh[0], sh[1], hand[0], hand[1], 2.2, 1.6), SKIN)
    for k in (-1.0, 0.0, 1.0):
        cv.paint(cv.poly([(hand[0] - 0.4, hand[1] + k * 0.8), (hand[0] + 2.8, hand[1] + 1.0 + k),
                          (hand[0] + 0.2, hand[1] + 0.8 + k * 0.8)]), CLAW)
    return cv


def hrack_front(pose="stand", seed=7):
    cv = Canvas(HW, HH)
    cx = 28.0
    kneel = pose == "kneel"
    drop = 7.0 if kneel else 0.0
    for side in (-1, 1):
        hx = cx + side * 6.0
        if kneel:
            shade(cv, cv.capsule(hx, 27 + drop, hx + side * 3, HGROUND - 2.5, 4.2, 3.0), darker(SKIN, 0.9))
        else:
            knee = (hx + side * 2.5, 33.0)
            shade(cv, cv.capsule(hx, 27.0, knee[0], knee[1], 4.2, 3.0), darker(SKIN, 0.9))
            shade(cv, cv.capsule(knee[0], knee[1], hx + side * 1.0, HGROUND - 2.5, 2.8, 2.0), darker(SKIN, 0.9))
        fx = hx + side * (3.0 if kneel else 1.0)
        for k in (-1.6, 0, 1.6):
            cv.paint(cv.poly([(fx + k - 0.8, HGROUND - 2.2), (fx + k + 0.8, HGROUND - 2.2),
                              (fx + k * 1.3, HGROUND)]), CLAW)
    dy = drop
    body = cv.ellipse(cx, 21.5 + dy, 10.0, 9.5)
    shade(cv, body, SKIN, radius=2.8)
    _mottle(cv, body, seed)
    shade(cv, cv.ellipse(cx, 24.5 + dy, 6.0, 6.0) * body, BELLY, radius=1.6)
    for i, x in enumerate((cx - 8, cx - 4, cx + 4, cx + 8)):
        cv.paint(cv.poly([(x - 1.6, 14 + dy), (x, 9.5 + dy + abs(i - 1.5)), (x + 1.6, 14 + dy)]), (150, 60, 40))
    # arms
    raised = pose == "hit"
    for side in (-1, 1):
        sh = (cx + side * 8.5, 19.0 + dy)
        hand = (cx + side * (15 if raised else 11), (11 if raised else 27) + dy)
        shade(cv, cv.capsule(sh[0], sh[1], hand[0], hand[1], 2.4, 1.7), SKIN)
        for k in (-1, 0, 1):
            cv.paint(cv.poly([(hand[0] + k - 0.6, hand[1]), (hand[0] + k + 0.6, hand[1]),
                              (hand[0] + k * 1.6, hand[1] + (-2.6 if raised else 2.6))]), CLAW)
    # head, mouth open towards the viewer
    hy = 10.0 + dy + (-1.0 if raised else 0.0)
    head = cv.ellipse(cx, hy, 7.5, 6.0)
    shade(cv, head, SKIN, radius=2.0)
    _mottle(cv, head, seed + 2)
    cv.paint(cv.ellipse(cx, hy + 3.2, 4.8, 2.4 if pose != "hit" else 3.0), (120, 20, 30))
    for i in range(5):
        tx = cx - 3.6 + i * 1.8
        cv.paint(cv.poly([(tx - 0.6, hy + 1.2), (tx + 0.6, hy + 1.2), (tx, hy + 2.8)]), CLAW)
        cv.paint(cv.poly([(tx - 0.6, hy + 5.2), (tx + 0.6, hy + 5.2), (tx, hy + 3.8)]), CLAW)
    for side in (-1, 1):
        cv.paint(cv.ellipse(cx + side * 3.2, hy - 2.0, 1.5, 1.1), EYE)
        cv.paint(cv.ellipse(cx + side * 3.0, hy - 2.2, 0.45, 0.45), (255, 240, 200))
        cv.paint(cv.poly([(cx + side * 1.0, hy - 3.6), (cx + side * 5.6, hy - 4.4),
                          (cx + side * 5.2, hy - 3.4), (cx + side * 1.2, hy - 2.8)]), darker(SKIN, 0.5))
    if pose == "hit":
        blood(cv, seed, cx, 20 + dy, 8, 10, colour=(60, 150, 30), size=1.2)
    return cv


def hrack_frames():
    right = {}
    for look in (0, 1, 2):
        right[("stand", look)] = hrack_side(look=look)
        right[("fire", look)] = hrack_side(look=look, roar=True)
    for i, legs in enumerate(HWALK):
        right[("walk", i)] = hrack_side(legs=legs, bob=(0.0 if i % 2 == 0 else -0.8))
    front = hrack_front("stand")
    three_q = right[("stand", 0)].transformed(pivot=(26, 24), scale_x=0.72)
    hit = hrack_front("hit", seed=8)
    kneel = hrack_front("kneel", seed=9)
    falling = place(kneel.transformed(angle_deg=50, pivot=(28, 26)), HW, HH, 26, HH)
    limp = hrack_front("kneel", seed=10)
    flat = limp.transformed(angle_deg=88, pivot=(28, 24))
    lying = place(flat, HW, HH, 28, HH)
    blood(lying, 21, 28, HH - 3.0, 10, 10, colour=(60, 140, 30), size=1.2)
    corpse = Canvas(HW, 26)
    corpse.paint(corpse.ellipse(28, 24.5, 19, 2.4), (50, 110, 25))
    corpse.paste(place(flat, HW, 26, 28, 26), 0, 0)
    blood(corpse, 22, 28, 22.5, 13, 10, colour=(60, 140, 30), size=1.2)
    order = ([("stand", 0), ("stand", 1), ("stand", 2), ("fire", 0), ("fire", 1), ("fire", 2)]
             + [("walk", i) for i in range(4)])
    rights = [right[k] for k in order]
    lefts = [c.mirrored() for c in rights]
    frames = lefts + [three_q.mirrored(), front, three_q] + rights + [hit, kneel, falling, lying, corpse]
    assert len(frames) == 28
    return frames


HRACK_TICKS = ([50, 50, 50, 30, 30, 30, 12, 12, 12, 12, 7, 20, 7]
               + [50, 50, 50, 30, 30, 30, 12, 12, 12, 12]
               + [10, 12, 12, 16, 1])


def hrack_files():
    files = {}
    frames = hrack_frames()
    lines = []
    for i, cv in enumerate(frames):
        name = "hrack_f_front.png" if i == 11 else "hrack_%02d.png" % i
        files[name] = cv
        lines.append((name, HDX, 0, HRACK_TICKS[i]))
    files["hrack.monster"] = formats.monster_bytes(
        HBW, HBH, lines, "hrack_die.wav", (22, 28, 14),
        walk_speed=52000, jump_speed=150000, health=60)
    return files


def all_files():
    """{name: Canvas or bytes} for every creature file."""
    out = {}
    for scheme in FIGHTER_SCHEMES:
        out.update(fighter_files(scheme))
    out.update(hrack_files())
    return out
