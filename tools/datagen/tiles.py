"""Wall, platform, ladder and decoration pictures and the
map backgrounds, drawn from seeded noise so that they come out
the same on every run."""
import math

import numpy as np

from .creatures import darker, shade
from .raster import Canvas, TRANSPARENT, finish_sprite, rgb, clamp01, box_blur

# ------------------------------------------------------------------ noise


def fbm(w, h, seed, octaves=4, base=4, tile=True):
    """Fractal value noise in 0..1 of size h x w, periodic (tileable) when
    `tile` is set. `base` is the lattice cell count across the width of the
    first octave."""
    rs = np.random.RandomState(seed)
    out = np.zeros((h, w), np.float32)
    amp, total = 1.0, 0.0
    for o in range(octaves):
        nx = base * (2 ** o)
        ny = max(1, int(round(nx * h / w)))
        g = rs.uniform(0, 1, (ny + 1, nx + 1)).astype(np.float32)
        if tile:
            g[-1, :] = g[0, :]
            g[:, -1] = g[:, 0]
        ys = np.linspace(0, ny, h, endpoint=False) + ny / h / 2
        xs = np.linspace(0, nx, w, endpoint=False) + nx / w / 2
        y0 = np.floor(ys).astype(int)
        x0 = np.floor(xs).astype(int)
        fy = (ys - y0)[:, None]
        fx = (xs - x0)[None, :]
        fy = fy * fy * (3 - 2 * fy)
        fx = fx * fx * (3 - 2 * fx)
        a = g[y0][:, x0]
        b = g[y0][:, x0 + 1]
        c = g[y0 + 1][:, x0]
        d = g[y0 + 1][:, x0 + 1]
        v = (a * (1 - fx) + b * fx) * (1 - fy) + (c * (1 - fx) + d * fx) * fy
        out += amp * v
        total += amp
        amp *= 0.5
    return out / total


def to_u8(a):
    return np.clip(np.round(a * 255.0), 0, 255).astype(np.uint8)


def bevel(img, width=2, light=1.35, dark=0.6):
    """Lightens the top and left edges and darkens the bottom and right
    edges of a block (img h x w x 3 floats, in place)."""
    h, w = img.shape[:2]
    for i in range(width):
        f = 1 - i / width
        img[i, i:w - i] *= 1 + (light - 1) * f
        img[i:h - i, i] *= 1 + (light - 1) * f
        img[h - 1 - i, i:w - i] *= 1 - (1 - dark) * f
        img[i:h - i, w - 1 - i] *= 1 - (1 - dark) * f
    return img


def chip_corners(opaque, r=1):
    """Knocks the corners off a block so that neighbouring blocks show a
    seam (and every sprite keeps some transparent pixels)."""
    h, w = opaque.shape
    for (y, x, dy, dx) in ((0, 0, 1, 1), (0, w - 1, 1, -1), (h - 1, 0, -1, 1), (h - 1, w - 1, -1, -1)):
        for i in range(r + 1):
            for j in range(r + 1 - i):
                opaque[y + dy * i, x + dx * j] = False
    return opaque


def sprite(img, opaque):
    col = to_u8(clamp01(img))
    return finish_sprite(col, opaque)


# ------------------------------------------------------------------ walls

def stone_block(w, h, seed, base=(122, 112, 100), moss=False):
    n = fbm(w, h, seed, octaves=4, base=max(2, w // 12))
    fine = np.random.RandomState(seed + 1).uniform(-0.05, 0.05, (h, w)).astype(np.float32)
    img = rgb(base)[None, None, :] * (0.72 + 0.5 * n + fine)[..., None]
    # cracks
    rs = np.random.RandomState(seed + 2)
    for _ in range(max(1, (w * h) // 700)):
        x, y = rs.randint(3, w - 3), rs.randint(3, h - 3)
        for _ in range(rs.randint(4, 9)):
            img[y, x] *= 0.55
            x = min(w - 3, max(2, x + rs.randint(-1, 2)))
            y = min(h - 3, max(2, y + rs.choice([-1, 1])))
    bevel(img, 2)
    opaque = chip_corners(np.ones((h, w), bool), 1)
    if moss:
        mn = fbm(w, 8, seed + 3, octaves=3, base=4)
        depth = (2 + 5 * mn[0]).astype(int)
        g = fbm(w, h, seed + 4, octaves=2, base=8)
        for x in range(w):
            d = depth[x]
            for y in range(0, d):
                img[y, x] = rgb((70, 140, 50)) * (0.8 + 0.5 * g[y, x]) * (1.2 - 0.5 * y / d)
        opaque[0, :] = True
        opaque[0, 0] = opaque[0, w - 1] = False
        for x in range(0, w, 7):
            opaque[0, x] = False
    return sprite(img, opaque)


def bricks(w, h, seed, base=(150, 76, 56)):
    img = np.zeros((h, w, 3), np.float32)
    mortar = rgb((88, 80, 74))
    img[:] = mortar
    rs = np.random.RandomState(seed)
    n = fbm(w, h, seed + 1, octaves=3, base=8)
    bh, bw = 8, 16
    for row in range(h // bh):
        off = (bw // 2) * (row % 2)
        for col in range(-1, w // bw + 1):
            x0 = col * bw + off
            x1 = x0 + bw - 1
            y0 = row * bh
            y1 = y0 + bh - 1
            xa, xb = max(0, x0), min(w, x1)
            if xb <= xa:
                continue
            c = rgb(base) * rs.uniform(0.8, 1.15)
            blk = c[None, None, :] * (0.8 + 0.4 * n[y0:y1, xa:xb])[..., None]
            img[y0:y1, xa:xb] = blk
            img[y0, xa:xb] *= 1.25
            img[y1 - 1, xa:xb] *= 0.75
    bevel(img, 1, 1.2, 0.7)
    return sprite(img, chip_corners(np.ones((h, w), bool), 0))


def metal_plate(w, h, seed, base=(108, 116, 128), rivets=True, stripes=False):
    n = fbm(w, h, seed, octaves=3, base=3)
    scratch = np.random.RandomState(seed + 1).uniform(0, 1, (h, w)) > 0.985
    img = rgb(base)[None, None, :] * (0.82 + 0.3 * n)[..., None]
    # brushed look: vertical gradient
    img *= np.linspace(1.12, 0.86, h)[:, None, None]
    img[scratch] *= 1.3
    if stripes:
        yy, xx = np.mgrid[0:h, 0:w]
        band = ((xx + yy) // 6) % 2 == 0
        inner = (yy >= 3) & (yy < h - 3)
        img[band & inner] = rgb((230, 190, 40)) * 0.95
        img[~band & inner] = rgb((40, 40, 44))
    bevel(img, 2, 1.45, 0.5)
    if rivets:
        for (x, y) in ((4, 4), (w - 5, 4), (4, h - 5), (w - 5, h - 5)):
            if 0 <= x < w and 0 <= y < h:
                img[y, x] = rgb((210, 214, 222))
                img[y + 1, x + 1] = rgb((50, 52, 60))
                img[y, x + 1] = rgb((150, 154, 164))
                img[y + 1, x] = rgb((90, 94, 104))
    return sprite(img, chip_corners(np.ones((h, w), bool), 1))


def girder(w, h, seed):
    """A steel beam with round holes that show what is behind."""
    img = rgb((126, 88, 70))[None, None, :] * np.ones((h, w, 1), np.float32)
    n = fbm(w, h, seed, octaves=3, base=4)
    img *= (0.85 + 0.3 * n)[..., None]
    img[:3] = rgb((160, 112, 88))
    img[-3:] = rgb((96, 64, 52))
    bevel(img, 1, 1.3, 0.6)
    opaque = np.ones((h, w), bool)
    yy, xx = np.mgrid[0:h, 0:w]
    for cx in range(8, w, 16):
        hole = (xx + 0.5 - cx) ** 2 + (yy + 0.5 - h / 2) ** 2 <= (h / 2 - 4.5) ** 2
        opaque &= ~hole
        ring = ((xx + 0.5 - cx) ** 2 + (yy + 0.5 - h / 2) ** 2 <= (h / 2 - 3.5) ** 2) & ~hole
        img[ring] *= 0.6
    return sprite(img, chip_corners(opaque, 0))


def grate(w, h, seed):
    img = rgb((86, 92, 104))[None, None, :] * np.ones((h, w, 1), np.float32)
    opaque = np.ones((h, w), bool)
    yy, xx = np.mgrid[0:h, 0:w]
    holes = ((xx % 6) >= 2) & ((yy % 6) >= 2) & (xx >= 3) & (xx < w - 3) & (yy >= 3) & (yy < h - 3)
    opaque &= ~holes
    edge_l = ((xx % 6) == 1) | ((yy % 6) == 1)
    img[edge_l & ~holes] *= 1.3
    bevel(img, 2, 1.4, 0.55)
    return sprite(img, chip_corners(opaque, 1))


def pillar(w, h, seed):
    n = fbm(w, h, seed, octaves=3, base=2)
    xs = (np.arange(w) + 0.5) / w
    round_ = 0.55 + 0.75 * np.sin(np.pi * xs) ** 0.7 - 0.25 * xs
    img = rgb((150, 140, 124))[None, None, :] * (round_[None, :] * (0.85 + 0.3 * n))[..., None]
    for y0 in (0, h - 6):
        img[y0:y0 + 6] = rgb((176, 164, 146)) * (round_[None, :, None] * np.ones((6, 1, 1)))
        img[y0 + 5] *= 0.6
    img[:, :1] *= 0.7
    img[:, -1:] *= 0.55
    return sprite(img, chip_corners(np.ones((h, w), bool), 1))


# ------------------------------------------------------------------ platforms, ladder

def platform(w, h, seed, lights=(255, 200, 60)):
    img = metal_plate(w, h, seed, base=(96, 104, 118), rivets=False).astype(np.float32) / 255
    opaque = ~np.all(img == rgb(TRANSPARENT), axis=-1)
    yy, xx = np.mgrid[0:h, 0:w]
    band = ((xx // 4) % 2 == 0) & (yy >= h - 5) & (yy < h - 2)
    img[band] = rgb((230, 190, 40))
    img[((xx // 4) % 2 == 1) & (yy >= h - 5) & (yy < h - 2)] = rgb((30, 30, 34))
    for cx in (5, w - 6):
        img[4:7, cx - 1:cx + 2] = rgb(lights)
        img[5, cx] = rgb((255, 255, 220))
    return sprite(img, opaque)


def ladder(w, h, seed):
    img = np.zeros((h, w, 3), np.float32)
    opaque = np.zeros((h, w), bool)
    wood = rgb((150, 104, 60))
    n = fbm(w, h, seed, octaves=2, base=4)
    for x0 in (3, w - 7):
        opaque[:, x0:x0 + 4] = True
        img[:, x0:x0 + 4] = wood * (0.8 + 0.3 * n[:, x0:x0 + 4, None])
        img[:, x0] *= 1.3
        img[:, x0 + 3] *= 0.6
    for y0 in (5, 21):
        opaque[y0:y0 + 3, 7:w - 7] = True
        img[y0:y0 + 3, 7:w - 7] = wood * 0.95
        img[y0, 7:w - 7] *= 1.3
        img[y0 + 2, 7:w - 7] *= 0.6
    return sprite(img, opaque)


# ------------------------------------------------------------------ decorations

def torch():
    cv = Canvas(16, 32)
    shade(cv, cv.rect(5, 26, 11, 31.5), (80, 70, 60), radius=0.6)                         # bracket
    shade(cv, cv.poly([(5, 14), (11, 14), (9.5, 27), (6.5, 27)]), (120, 80, 44), radius=0.8)
    shade(cv, cv.rect(4.5, 12.5, 11.5, 15.5), (70, 64, 60), radius=0.6)
    flame = cv.poly([(8, 0.5), (11.5, 7), (11.5, 11), (8, 13.5), (4.5, 11), (4.5, 7), (6.5, 4.5), (7, 7)])
    cv.paint(flame, cv.vgrad((255, 250, 200), (240, 90, 20), 3, 13.5))
    cv.paint(cv.ellipse(8, 10, 2.0, 2.6), (255, 255, 230))
    return cv


def lamp():
    cv = Canvas(16, 16)
    shade(cv, cv.rect(1, 1, 15, 15), (70, 74, 84), radius=1.0)
    glow = cv.ellipse(8, 8, 5.2, 5.2)
    cv.paint(glow, cv.lit(glow, (255, 236, 160), ambient=0.9, diffuse=0.3))
    for y in (5.5, 8, 10.5):
        cv.paint(cv.rect(3, y, 13, y + 0.8), (80, 70, 50))
    return cv


def pipe(w, h, horizontal=True):
    cv = Canvas(w, h)
    if horizontal:
        m = cv.rect(0, 3, w, h - 3)
        cv.paint(m, cv.vgrad((190, 196, 206), (60, 64, 74), 3, h - 3))
        for x in (6, w - 10):
            j = cv.rect(x, 1, x + 4, h - 1)
            cv.paint(j, cv.vgrad((170, 150, 110), (70, 60, 44), 1, h - 1))
    else:
        m = cv.rect(3, 0, w - 3, h)
        cv.paint(m, cv.hgrad((190, 196, 206), (60, 64, 74), 3, w - 3))
        for y in (6, h - 10):
            j = cv.rect(1, y, w - 1, y + 4)
            cv.paint(j, cv.hgrad((170, 150, 110), (70, 60, 44), 1, w - 1))
    return cv


def vent():
    cv = Canvas(32, 32)
    shade(cv, cv.rect(1, 1, 31, 31), (84, 90, 102), radius=1.2)
    for y in range(5, 28, 4):
        cv.paint(cv.rect(4, y, 28, y + 2), (26, 28, 34))
        cv.paint(cv.rect(4, y + 2, 28, y + 3), (130, 136, 150))
    for (x, y) in ((3, 3), (29, 3), (3, 29), (29, 29)):
        cv.paint(cv.ellipse(x, y, 1.0, 1.0), (180, 184, 194))
    return cv


def banner():
    cv = Canvas(32, 64)
    shade(cv, cv.capsule(1, 2, 31, 2, 1.6), (140, 110, 60), radius=0.6)
    cloth = cv.poly([(3, 3), (29, 3), (29, 60), (16, 52), (3, 60)])
    n = np.sin(cv.X * 0.9) * 0.08
    cv.paint(cloth, clamp01(cv.vgrad((150, 30, 36), (96, 16, 24), 3, 60) * (1 + n[..., None])))
    trim = cloth * (1 - cv.poly([(5, 5), (27, 5), (27, 56), (16, 48.5), (5, 56)]))
    cv.paint(trim, (220, 180, 70))
    # an emblem: a stylised fang
    cv.paint(cv.poly([(10, 14), (22, 14), (16, 36)]), (240, 230, 200))
    cv.paint(cv.poly([(12.5, 16), (19.5, 16), (16, 29)]), (150, 30, 36))
    cv.paint(cv.ellipse(16, 41, 3, 3), (220, 180, 70))
    return cv


def chip(cv):
    """Knocks the corner pixels off a rectangular picture."""
    for (x, y) in ((0, 0), (cv.w - 1, 0), (0, cv.h - 1), (cv.w - 1, cv.h - 1)):
        cv.erase(cv.rect(x, y, x + 1, y + 1))
    return cv


def window():
    cv = Canvas(64, 32)
    shade(cv, cv.rect(0, 0, 64, 32), (74, 70, 66), radius=1.2)
    inner = cv.rect(4, 4, 60, 28)
    cv.paint(inner, cv.vgrad((255, 200, 110), (200, 90, 40), 4, 28))
    for x in range(12, 60, 10):
        cv.paint(cv.rect(x, 4, x + 2, 28), (40, 36, 34))
    cv.paint(cv.rect(4, 15, 60, 17), (40, 36, 34))
    return chip(cv)


def sign_arrow(text="EXIT", flip=False):
    cv = Canvas(48, 16)
    shade(cv, cv.rect(0, 0, 48, 16), (40, 120, 50), radius=1.0)
    cv.paint(cv.rect(1.5, 1.5, 46.5, 14.5) * (1 - cv.rect(2.5, 2.5, 45.5, 13.5)), (220, 240, 220))
    from .items import text_on
    text_on(cv, 4, 2, text, (240, 255, 240))
    a = cv.poly([(34, 4), (42, 8), (34, 12)]) if not flip else cv.poly([(42, 4), (34, 8), (42, 12)])
    cv.paint(a, (240, 255, 240))
    return chip(cv)


def teleport_pad(exit_pad=False):
    cv = Canvas(48, 16)
    shade(cv, cv.poly([(0, 16), (4, 8), (44, 8), (48, 16)]), (70, 74, 90), radius=1.2)
    glow = (255, 140, 255) if not exit_pad else (120, 255, 170)
    cv.paint(cv.ellipse(24, 9.5, 17, 2.8), cv.hgrad(darker(glow, 0.6), glow, 7, 24))
    cv.paint(cv.ellipse(24, 9.5, 10, 1.5), (255, 255, 255))
    for x in (7, 41):
        cv.paint(cv.ellipse(x, 12.5, 1.2, 1.2), glow)
    # light beams rising
    for x in (12, 18, 24, 30, 36):
        cv.paint(cv.rect(x - 0.6, 0, x + 0.6, 8), glow, 0.85)
    return cv


def bones():
    cv = Canvas(32, 12)
    shade(cv, cv.ellipse(9, 6.5, 5.0, 4.5), (226, 220, 196), radius=1.2)                 # skull
    cv.paint(cv.ellipse(7.3, 6.0, 1.2, 1.3), (40, 30, 30))
    cv.paint(cv.ellipse(10.8, 6.0, 1.2, 1.3), (40, 30, 30))
    cv.paint(cv.rect(7.5, 9, 10.5, 10.5), (200, 194, 170))
    shade(cv, cv.capsule(16, 9.5, 30, 7.5, 1.2), (210, 204, 180), radius=0.6)
    shade(cv, cv.capsule(18, 6, 28, 10.5, 1.1), (196, 190, 166), radius=0.6)
    for (x, y) in ((16, 9.5), (30, 7.5), (18, 6), (28, 10.5)):
        cv.paint(cv.ellipse(x, y, 1.6, 1.6), (220, 214, 190))
    return cv


def vines():
    cv = Canvas(32, 48)
    rs = np.random.RandomState(91)
    for k in range(5):
        x = 3 + k * 6.5 + rs.uniform(-1, 1)
        L = rs.uniform(18, 46)
        pts = [(x + 1.5 * math.sin(t * 0.35 + k), t) for t in np.linspace(0, L, 14)]
        cv.paint(cv.line_mask(pts, 1.4), (50, 110, 40))
        for t in range(4, int(L), 5):
            px = x + 1.5 * math.sin(t * 0.35 + k)
            cv.paint(cv.ellipse(px + (1.8 if t % 2 else -1.8), t, 1.8, 1.1), (80, 160, 60))
    return cv


def chain():
    cv = Canvas(16, 48)
    for i in range(8):
        y = 3 + i * 6
        if i % 2 == 0:
            m = cv.ellipse(8, y, 2.6, 3.6) * (1 - cv.ellipse(8, y, 1.2, 2.2))
        else:
            m = cv.rect(7, y - 3.4, 9, y + 3.4)
        cv.paint(m, cv.lit(m, (150, 150, 160), radius=0.5))
    shade(cv, cv.poly([(8, 44), (12, 40), (8, 47.5), (4, 40)]), (120, 120, 130), radius=0.6)
    return cv


def crystal(colour=(120, 220, 255)):
    cv = Canvas(32, 32)
    rs = np.random.RandomState(17)
    for k, (x, hgt, wd, lean) in enumerate([(10, 20, 4.5, -3), (17, 28, 5.5, 1), (24, 16, 4.0, 4), (14, 12, 3.5, -6)]):
        tip = (x + lean, 32 - hgt)
        m = cv.poly([(x - wd, 32), (x - wd * 0.8 + lean * 0.7, 32 - hgt * 0.75), tip,
                     (x + wd * 0.8 + lean * 0.7, 32 - hgt * 0.75), (x + wd, 32)])
        cv.paint(m, cv.hgrad(darker(colour, 0.55), colour, x - wd, x + wd))
        cv.paint(cv.poly([(x - 0.6, 31), (x - 0.2 + lean * 0.7, 32 - hgt * 0.7), (x + 0.8 + lean * 0.7, 32 - hgt * 0.7),
                          (x + 0.8, 31)]), (240, 255, 255), 0.8)
    return cv


# ------------------------------------------------------------------ backgrounds

def bg_dusk(w=1120, h=800, seed=101):
    """A dusk sky over mountains and a ruined industrial skyline."""
    Y = (np.arange(h) / h)[:, None]
    X = (np.arange(w) / w)[None, :]
    sky_top, sky_mid, sky_low = rgb((18, 16, 48)), rgb((90, 40, 96)), rgb((240, 130, 70))
    t = np.clip(Y / 0.62, 0, 1)[..., None]
    img = np.where(t < 0.6, sky_top * (1 - t / 0.6) + sky_mid * (t / 0.6),
                   sky_mid * (1 - (t - 0.6) / 0.4) + sky_low * ((t - 0.6) / 0.4))
    img = img * np.ones((h, w, 1), np.float32)
    # stars in the upper sky
    rs = np.random.RandomState(seed)
    for _ in range(260):
        x, y = rs.randint(0, w), rs.randint(0, int(h * 0.35))
        b = rs.uniform(0.5, 1.0) * (1 - y / (h * 0.4))
        img[y, x] = np.maximum(img[y, x], b)
    # a big low moon
    yy, xx = np.mgrid[0:h, 0:w]
    mx, my, mr = w * 0.72, h * 0.34, 46
    d = np.sqrt((xx - mx) ** 2 + (yy - my) ** 2)
    moon = d < mr
    mn = fbm(w, h, seed + 5, octaves=3, base=40)
    img[moon] = (rgb((255, 226, 190)) * (0.85 + 0.2 * mn[moon, None]))
    halo = np.clip(1 - (d - mr) / 120, 0, 1) * (~moon)
    img += (halo ** 2)[..., None] * rgb((120, 70, 60)) * 0.5
    # clouds
    cl = fbm(w, h, seed + 1, octaves=5, base=6)
    band = np.exp(-((Y - 0.42) / 0.08) ** 2)
    cloud = np.clip((cl - 0.52) * 4, 0, 1) * band
    img = img * (1 - cloud[..., None] * 0.6) + cloud[..., None] * rgb((150, 70, 90)) * 0.6
    # mountain ranges, far to near

    def ridge(seed_, base_y, amp, col, octaves=5, base=5):
        r = fbm(w, 16, seed_, octaves=octaves, base=base)[8]
        top = (base_y - amp * r) * h
        mask = yy >= top[None, :]
        return mask, top

    for (s, by, amp, col, fog) in ((seed + 2, 0.66, 0.22, (70, 50, 90), 0.55),
                                   (seed + 3, 0.76, 0.18, (46, 34, 64), 0.35)):
        mask, top = ridge(s, by, amp, col)
        shadeh = np.clip((yy - top[None, :]) / (h * 0.25), 0, 1)
        c = rgb(col)[None, None, :] * (1 - 0.4 * shadeh[..., None])
        c = c * (1 - fog) + rgb((200, 110, 90)) * fog * (1 - shadeh[..., None])
        img = np.where(mask[..., None], c, img)
    # industrial skyline silhouettes with lit windows
    x = 0
    sil = np.zeros((h, w), bool)
    lit = np.zeros((h, w), bool)
    while x < w:
        bw = rs.randint(30, 90)
        bh = rs.randint(60, 220)
        top = int(h * 0.9) - bh
        sil[top:, x:x + bw] = True
        if rs.uniform() < 0.35:  # chimney
            cx = x + rs.randint(4, max(5, bw - 10))
            sil[top - rs.randint(30, 90):top, cx:cx + 7] = True
        for wy in range(top + 8, int(h * 0.9) - 8, 12):
            for wx in range(x + 5, x + bw - 6, 10):
                if rs.uniform() < 0.22:
                    lit[wy:wy + 4, wx:wx + 4] = True
        x += bw + rs.randint(0, 24)
    img[sil] = rgb((22, 18, 30))
    img[lit & sil] = rgb((255, 200, 110))
    # ground fog
    fogv = np.clip((Y - 0.8) / 0.2, 0, 1)[..., None] * (0.7 + 0.3 * fbm(w, h, seed + 7, 3, 8)[..., None])
    img = img * (1 - fogv * 0.5) + rgb((60, 40, 60)) * fogv * 0.5
    return to_u8(clamp01(img))


def bg_cavern(w=1024, h=800, seed=202):
    """A blue cavern: layered rock, glowing crystals and a waterfall of
    light in the distance."""
    yy, xx = np.mgrid[0:h, 0:w].astype(np.float32)
    n = box_blur(box_blur(fbm(w, h, seed, octaves=5, base=5), 3), 3)
    n2 = box_blur(fbm(w, h, seed + 1, octaves=4, base=12), 2)
    strata = 0.5 + 0.5 * np.sin(yy / 23.0 + n * 9.0)
    base = rgb((52, 64, 92))
    rock = np.clip((n - 0.35) * 2.2, 0, 1) * (0.7 + 0.3 * strata) + 0.25 * n2
    img = base * (0.35 + 0.9 * rock[..., None])
    # ledges: bright upper rims where the rock density rises
    gy = np.gradient(n, axis=0)
    img += np.clip(-gy * 60, 0, 0.25)[..., None] * rgb((140, 170, 210))
    # a distant opening with light
    d = np.sqrt(((xx - w * 0.45) / (w * 0.16)) ** 2 + ((yy - h * 0.3) / (h * 0.22)) ** 2)
    hole = np.clip(1.2 - d + 0.3 * (n - 0.5), 0, 1)
    img = img * (1 - hole[..., None]) + rgb((120, 170, 220)) * hole[..., None] * (0.7 + 0.4 * n2[..., None])
    # light shafts
    shaft = np.clip(1 - np.abs((xx - w * 0.45 - (yy - h * 0.3) * 0.35) / (60 + yy * 0.12)), 0, 1)
    shaft *= np.clip((yy - h * 0.3) / (h * 0.5), 0, 1) * np.clip(1 - (yy - h * 0.3) / (h * 0.8), 0, 1)
    img += shaft[..., None] * rgb((60, 90, 120)) * 0.6
    # stalactites and stalagmites
    rs = np.random.RandomState(seed + 2)
    for _ in range(38):
        cx = rs.uniform(0, w)
        L = rs.uniform(40, 170)
        wd = rs.uniform(8, 26)
        top = rs.uniform() < 0.5
        if top:
            m = (yy < L * (1 - np.abs(xx - cx) / wd)) & (np.abs(xx - cx) < wd)
        else:
            m = (yy > h - L * (1 - np.abs(xx - cx) / wd)) & (np.abs(xx - cx) < wd)
        img[m] = img[m] * 0.45 + rgb((20, 26, 40)) * 0.55
    # glowing crystals
    for _ in range(30):
        cx, cy = rs.uniform(0, w), rs.uniform(h * 0.45, h)
        r = rs.uniform(3, 9)
        col = rgb((80, 230, 255)) if rs.uniform() < 0.6 else rgb((200, 110, 255))
        d = np.sqrt((xx - cx) ** 2 + (yy - cy) ** 2)
        glow = np.clip(1 - d / (r * 6), 0, 1) ** 2
        img += glow[..., None] * col * 0.45
        core = (np.abs(xx - cx) < r * 0.5) & (yy < cy) & (yy > cy - r * 3 + np.abs(xx - cx) * 2)
        img[core] = col * 1.1
    # darker floor and ceiling
    v = np.clip(1 - np.abs(yy / h - 0.5) * 1.1, 0.35, 1)
    img *= v[..., None]
    return to_u8(clamp01(img))


# ------------------------------------------------------------------ all

WALLS = {
    # name: (factory, args)
    "stone_32.png": lambda: stone_block(32, 32, 11),
    "stone_b_32.png": lambda: stone_block(32, 32, 12, base=(112, 106, 98)),
    "stone_moss_32.png": lambda: stone_block(32, 32, 13, moss=True),
    "stone_64.png": lambda: stone_block(64, 64, 14, base=(118, 110, 102)),
    "stone_moss_64x32.png": lambda: stone_block(64, 32, 15, moss=True),
    "brick_32x16.png": lambda: bricks(32, 16, 16),
    "brick_64x32.png": lambda: bricks(64, 32, 17),
    "metal_32.png": lambda: metal_plate(32, 32, 18),
    "metal_64x16.png": lambda: metal_plate(64, 16, 19, base=(100, 110, 126), rivets=False),
    "hazard_64x16.png": lambda: metal_plate(64, 16, 20, stripes=True, rivets=False),
    "girder_64x16.png": lambda: girder(64, 16, 21),
    "grate_32.png": lambda: grate(32, 32, 22),
    "pillar_32x64.png": lambda: pillar(32, 64, 23),
}

PLATFORMS = {
    "platform_64x16.png": lambda: platform(64, 16, 31),
    "lift_48x16.png": lambda: platform(48, 16, 32, lights=(120, 255, 140)),
}

LADDERS = {
    "ladder_32.png": lambda: ladder(32, 32, 41),
}

DECORATIONS = {
    "torch.png": torch,
    "lamp.png": lamp,
    "pipe_h_64x16.png": lambda: pipe(64, 16, True),
    "pipe_v_16x64.png": lambda: pipe(16, 64, False),
    "vent_32.png": vent,
    "banner_32x64.png": banner,
    "window_64x32.png": window,
    "sign_exit.png": lambda: sign_arrow("EXIT"),
    "sign_up.png": lambda: sign_arrow("LIFT"),
    "teleport_pad.png": lambda: teleport_pad(False),
    "teleport_exit.png": lambda: teleport_pad(True),
    "bones.png": bones,
    "vines_32x48.png": vines,
    "chain_16x48.png": chain,
    "crystal_32.png": crystal,
}

# what the editor's WALL page offers, in order
EDITOR_WALLS = (list(WALLS) + list(PLATFORMS) + list(LADDERS) + list(DECORATIONS))


def all_files():
    out = {}
    for table in (WALLS, PLATFORMS, LADDERS, DECORATIONS):
        for name, fn in table.items():
            out[name] = fn()
    return out


def backgrounds():
    return {"bg_dusk.jpg": bg_dusk(), "bg_cavern.jpg": bg_cavern()}
