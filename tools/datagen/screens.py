"""Full pictures: the menu, the start picture,
the network lobby, the status panel and its digits."""
import numpy as np

from . import font
from .raster import Canvas, TRANSPARENT, finish_sprite, rgb, clamp01
from .tiles import fbm, to_u8, box_blur


def metal_background(w, h, seed, base=(44, 50, 64), grain=0.18):
    n = fbm(w, h, seed, octaves=4, base=6)
    img = rgb(base)[None, None, :] * (0.85 + grain * 2 * (n[..., None] - 0.5))
    img *= np.linspace(1.1, 0.85, h)[:, None, None]
    return img


def frame(img, x0, y0, x1, y1, width=4, light=(150, 160, 180), dark=(20, 22, 28), raised=True):
    """A bevelled frame (in place, floats)."""
    lt, dk = rgb(light), rgb(dark)
    if not raised:
        lt, dk = dk, lt
    for i in range(width):
        img[y0 + i, x0 + i:x1 - i] = lt * (1 - 0.12 * i)
        img[y0 + i:y1 - i, x0 + i] = lt * (1 - 0.12 * i)
        img[y1 - 1 - i, x0 + i:x1 - i] = dk
        img[y0 + i:y1 - i, x1 - 1 - i] = dk


def inset(img, x0, y0, x1, y1, colour, seed=0, border=2):
    n = fbm(x1 - x0, y1 - y0, seed, octaves=3, base=4)
    img[y0:y1, x0:x1] = rgb(colour)[None, None, :] * (0.92 + 0.16 * n[..., None])
    frame(img, x0, y0, x1, y1, border, raised=False)


def rivet(img, x, y):
    img[y, x] = rgb((220, 224, 232))
    img[y, x + 1] = rgb((160, 166, 178))
    img[y + 1, x] = rgb((120, 126, 138))
    img[y + 1, x + 1] = rgb((40, 42, 50))


def ttf_title(img, text, size, cx, y, top=(255, 226, 120), bottom=(220, 70, 30), outline=(20, 10, 10),
              path=font.TTF_BOLD, shadow=3):
    """Large title text with a vertical gradient, dark outline and shadow,
    centred on cx (floats image, in place). Returns its bounding box."""
    m = font.ttf_mask(text, size, path)
    h, w = m.shape
    x = int(cx - w / 2)
    pad = 3
    big = np.zeros((h + 2 * pad + shadow, w + 2 * pad + shadow), np.float32)
    big[pad:pad + h, pad:pad + w] = m
    ol = np.clip(box_blur(big, 2) * 4, 0, 1)
    sh = np.zeros_like(big)
    sh[shadow:, shadow:] = ol[:-shadow, :-shadow]
    X0, Y0 = x - pad, y - pad
    H, W = img.shape[:2]
    region = img[Y0:Y0 + big.shape[0], X0:X0 + big.shape[1]]
    region[:] = region * (1 - 0.7 * sh[..., None])
    region[:] = region * (1 - ol[..., None]) + rgb(outline) * ol[..., None]
    t = np.linspace(0, 1, big.shape[0])[:, None, None]
    grad = rgb(top) * (1 - t) + rgb(bottom) * t
    # a bright band across the upper third
    band = np.exp(-((t - 0.3) / 0.08) ** 2) * 0.35
    grad = clamp01(grad + band)
    region[:] = region * (1 - big[..., None]) + grad * big[..., None]
    return (X0, Y0, X0 + big.shape[1], Y0 + big.shape[0])


def stamp(img, x, y, text, colour, scale=1, shadow=(0, 0, 0)):
    arr = to_u8(clamp01(img))
    font.stamp_text(arr, x, y, text, colour, scale, shadow)
    img[:] = arr.astype(np.float32) / 255.0


def paste_sprite(img, spr, x, y, scale=1):
    """Puts a sprite array (with the transparent colour) into a float image."""
    if scale != 1:
        spr = np.kron(spr, np.ones((scale, scale, 1), np.uint8))
    m = ~np.all(spr == np.array(TRANSPARENT, np.uint8), axis=-1)
    h, w = m.shape
    reg = img[y:y + h, x:x + w]
    reg[m] = spr[m].astype(np.float32) / 255.0


def crop_sprite(spr):
    """A sprite array cut to the box of its opaque pixels."""
    m = ~np.all(spr == np.array(TRANSPARENT, np.uint8), axis=-1)
    ys, xs = np.nonzero(m)
    return spr[ys.min():ys.max() + 1, xs.min():xs.max() + 1]


# ------------------------------------------------------------------ menu

# The game shows the menu at (75, 70) over the start picture, the editor's
# map chooser at (75, 50) on black: 490 x 346 leaves the start picture's
# title above it and a margin all round, and holds 11 rows of names.
MENU_X, MENU_Y = 75, 70
MENU_W, MENU_H = 490, 346
# The chooser writes the map names from (50, 120) in rows of 20 pixels down
# to the bottom, and the game's drawn lines lie in the same field; the
# version (195, 90) and the chooser's prompt (150, 90) on the plate above.
FIELD_TOP = 110
MENU_TEXT = (224, 160, 224)  # the colour of the game's drawn choice lines
# The keys that the game's drawn lines do not name, in two columns.
MENU_KEYS = (("1: one player", "3: three players, wide window", "4: four players, wide window"),
             ("R: watch the last game", "Esc: quit"))


def menu(fighter_spr, hrack_spr):
    w, h = MENU_W, MENU_H
    img = metal_background(w, h, 301)
    frame(img, 0, 0, w, h, 5)
    for (x, y) in ((8, 8), (w - 10, 8), (8, h - 10), (w - 10, h - 10)):
        rivet(img, x, y)
    # the dark field for the game's choice lines and the chooser's names:
    # nothing else is drawn there, and faint guides run between the rows
    inset(img, 40, FIELD_TOP, w - 12, h - 6, (22, 26, 36), seed=302, border=3)
    for y in range(137, h - 12, 20):
        img[y, 44:w - 16] *= 1.15
    # a figure at each end of the plate, standing on the field's edge
    fighter, hrack = crop_sprite(fighter_spr), crop_sprite(hrack_spr)
    paste_sprite(img, fighter, 14, FIELD_TOP - 4 - fighter.shape[0])
    paste_sprite(img, hrack, w - 14 - hrack.shape[1], FIELD_TOP - 4 - hrack.shape[0])
    # the other keys of the menu, between the figures
    for column, x in zip(MENU_KEYS, (62, 262)):
        for row, text in enumerate(column):
            stamp(img, x, 16 + 18 * row, text, MENU_TEXT, 1, (0, 0, 0))
    return to_u8(clamp01(img))


# ------------------------------------------------------------------ start picture

def start_picture(background, fighters, hrack):
    """640 x 480, shown centred before and after the menu and alone while
    the map loads. What the menu leaves in sight around it (the title
    above, a fighter on either side, the ground below) makes a picture of
    its own; the rest shows only while the map loads."""
    w, h = 640, 480
    from PIL import Image
    scale = h / background.shape[0]
    bw = int(round(background.shape[1] * scale))
    bg = Image.fromarray(background).resize((bw, h), Image.LANCZOS)
    x0 = (bw - w) // 2
    img = np.asarray(bg, np.float32)[:, x0:x0 + w] / 255.0
    img = img.copy()
    # the ground under the fighters, below the menu's bottom edge (y 410)
    ground = 456
    img[ground - 50:] *= np.linspace(1.0, 0.55, h - ground + 50)[:, None, None]
    img[ground:] = img[ground:] * 0.3 + rgb((30, 24, 30)) * 0.7
    img[ground:ground + 3] = rgb((90, 80, 86))
    # the title in the band above the menu (y 0 to 70)
    ttf_title(img, "FENDA 2", 50, w // 2, 8)
    # under the menu, seen while the map loads: the subtitle, a Hrack on a
    # rooftop and the loading line
    ttf_title(img, "DEATHMATCH", 30, w // 2, 92, top=(220, 235, 255), bottom=(120, 150, 220),
              outline=(10, 12, 30), shadow=2)
    roof = 396
    img[roof:ground, 238:402] = img[roof:ground, 238:402] * 0.2 + rgb((22, 18, 26)) * 0.8
    img[roof:roof + 2, 238:402] = rgb((70, 62, 70))
    big_hrack = crop_sprite(hrack)
    paste_sprite(img, big_hrack, w // 2 - big_hrack.shape[1], roof - 2 * big_hrack.shape[0], 2)
    msg = "Loading the arena..."
    stamp(img, (w - font.text_width(msg, 2)) // 2, 300, msg, (230, 230, 240), 2, (0, 0, 0))
    # two fighters facing each other across the menu, each in the margin
    # the menu leaves at its side (x below 75, x from 565)
    left, right = (crop_sprite(f) for f in fighters)
    paste_sprite(img, left, (MENU_X - 2 * left.shape[1]) // 2, ground - 2 * left.shape[0], 2)
    rx = MENU_X + MENU_W + (w - MENU_X - MENU_W - 2 * right.shape[1]) // 2
    paste_sprite(img, right, rx, ground - 2 * right.shape[0], 2)
    return to_u8(clamp01(img))


# ------------------------------------------------------------------ lobby

NEXUS_W, NEXUS_H = 600, 400


def nexus():
    w, h = NEXUS_W, NEXUS_H
    img = metal_background(w, h, 401, base=(54, 60, 76))
    frame(img, 0, 0, w, h, 5)
    stamp(img, 12, 7, "NETWORK NEXUS", (255, 210, 120), 1, (0, 0, 0))
    # the light field for the list of computers and players (text is drawn
    # in the current colour, usually dark red, from (70, 30) downwards)
    inset(img, 56, 24, 380, 330, (212, 216, 222), seed=402, border=3)
    for y in range(30 + 16, 326, 20):
        img[y, 60:376] *= 0.93
    # the light strip for the two key lines at the bottom
    inset(img, 40, h - 56, 260, h - 10, (212, 216, 222), seed=403, border=2)
    # a network diagram on the right
    nodes = [(470, 80), (540, 170), (430, 230), (520, 290)]
    cv = Canvas(w, h, 2)
    for a in nodes:
        for b in nodes:
            if a < b:
                cv.paint(cv.line_mask([a, b], 2.0), (90, 200, 255), 0.9)
    for (x, y) in nodes:
        cv.paint(cv.rect(x - 18, y - 14, x + 18, y + 10), (30, 34, 44))
        cv.paint(cv.rect(x - 15, y - 11, x + 15, y + 7), cv.vgrad((120, 230, 255), (30, 90, 160), y - 11, y + 7))
        cv.paint(cv.rect(x - 6, y + 10, x + 6, y + 14), (30, 34, 44))
        cv.paint(cv.rect(x - 14, y + 14, x + 14, y + 17), (60, 66, 80))
    col, a = cv.downsample()
    img = img * (1 - a[..., None]) + col.astype(np.float32) / 255 * a[..., None]
    stamp(img, 400, 350, "port 8192", (180, 220, 255), 1, (0, 0, 0))
    return to_u8(clamp01(img))


# ------------------------------------------------------------------ status panel

DIGIT_W, DIGIT_H = 20, 36
SEGMENTS = {  # a b c d e f g
    0: "abcdef", 1: "bc", 2: "abged", 3: "abgcd", 4: "fgbc", 5: "afgcd",
    6: "afgedc", 7: "abc", 8: "abcdefg", 9: "abcdfg",
}


def segment_masks(cv, ox=0.0, oy=0.0):
    """The seven segments of a digit in a DIGIT_W x DIGIT_H cell."""
    W, H, t = DIGIT_W, DIGIT_H, 3.6
    L, R, T, M, B = ox + 2.5, ox + W - 2.5, oy + 2.0, oy + H / 2, oy + H - 2.0
    def hseg(y):
        return cv.poly([(L + 1.5, y), (L + 1.5 + t / 2, y - t / 2), (R - 1.5 - t / 2, y - t / 2),
                        (R - 1.5, y), (R - 1.5 - t / 2, y + t / 2), (L + 1.5 + t / 2, y + t / 2)])
    def vseg(x, y0, y1):
        return cv.poly([(x, y0 + 1.2), (x + t / 2, y0 + 1.2 + t / 2), (x + t / 2, y1 - 1.2 - t / 2),
                        (x, y1 - 1.2), (x - t / 2, y1 - 1.2 - t / 2), (x - t / 2, y0 + 1.2 + t / 2)])
    return {
        "a": hseg(T + t / 2), "g": hseg(M), "d": hseg(B - t / 2),
        "f": vseg(L + t / 2, T, M), "b": vseg(R - t / 2, T, M),
        "e": vseg(L + t / 2, M, B), "c": vseg(R - t / 2, M, B),
    }


def digit(d):
    cv = Canvas(DIGIT_W, DIGIT_H)
    segs = segment_masks(cv)
    for s in SEGMENTS[d]:
        m = segs[s]
        cv.paint(m, cv.lit(m, (255, 70, 40), radius=0.8, ambient=0.75, diffuse=0.45, specular=0.5))
    return cv


HEALTH_X, HEALTH_Y = 25, 13


def status_panel():
    w, h = 160, 240
    img = metal_background(w, h, 501, base=(58, 64, 80))
    frame(img, 0, 0, w, h, 3)
    # health read-out: a dark display with the three digit cells ghosted,
    # the unlit segments only just above the display's own colour, so that
    # a one- or two-digit value does not read as one with an 8 before it
    inset(img, HEALTH_X - 6, HEALTH_Y - 5, HEALTH_X + 3 * DIGIT_W + 6, HEALTH_Y + DIGIT_H + 5,
          (26, 8, 8), seed=502)
    cv = Canvas(w, h, 2)
    for i in range(3):
        segs = segment_masks(cv, HEALTH_X + i * DIGIT_W, HEALTH_Y)
        for m in segs.values():
            cv.paint(m, (40, 12, 10))
    # a red cross beside it
    cx, cy = 124, 31
    cross = np.maximum(cv.rect(cx - 5, cy - 15, cx + 5, cy + 15), cv.rect(cx - 15, cy - 5, cx + 15, cy + 5))
    cv.paint(cross, cv.lit(cross, (210, 30, 30), radius=1.5))
    col, a = cv.downsample()
    img = img * (1 - a[..., None]) + col.astype(np.float32) / 255 * a[..., None]
    # weapon window around (80, 86)
    inset(img, 14, 62, 146, 111, (30, 36, 48), seed=503)
    # light plates for the black text: weapon name and ammunition at y 118,
    # frags at y 156
    inset(img, 5, 114, 155, 135, (206, 210, 200), seed=504, border=2)
    inset(img, 5, 152, 155, 173, (206, 210, 200), seed=505, border=2)
    stamp(img, 18, 64, "WEAPON", (96, 116, 146), 1, None)
    stamp(img, 8, 138, "SCORE", (150, 166, 196), 1, None)
    for (x, y) in ((6, 6), (152, 6), (6, 232), (152, 232)):
        rivet(img, x, y)
    ttf_title(img, "FENDA 2", 30, w // 2, 188, shadow=2)
    return to_u8(clamp01(img))


def all_files(sprites, backgrounds):
    """sprites: the generated sprite arrays by name (for figures on the
    pictures); backgrounds: the background arrays by name."""
    out = {}
    out["menu.png"] = menu(sprites["fighter_blue_13.png"], sprites["hrack_03.png"])
    out["start.jpg"] = start_picture(backgrounds["bg_dusk.jpg"],
                                     (sprites["fighter_blue_16.png"], sprites["fighter_red_03.png"]),
                                     sprites["hrack_f_front.png"])
    out["nexus.jpg"] = nexus()
    out["status_panel.png"] = status_panel()
    for d in range(10):
        out["rn%d.png" % d] = digit(d)
    return out
