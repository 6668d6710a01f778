"""Pictures for looking at the data set: a contact sheet of every sprite
and a whole-map render of every map (objects drawn as the game draws them,
triggers outlined).

    PYTHONPATH=tools /usr/bin/python3 -m datagen.preview DATADIR OUTDIR
"""
import os
import sys

import numpy as np
from PIL import Image, ImageDraw

from .font import stamp_text
from .raster import TRANSPARENT

BG = (92, 96, 116)


def load(path):
    return np.asarray(Image.open(path).convert("RGB"))


def is_sprite(arr):
    return bool(np.any(np.all(arr == np.array(TRANSPARENT, np.uint8), axis=-1)))


def contact_sheet(datadir, out, names, scale=2, cols=12):
    pics = [(n, load(os.path.join(datadir, n))) for n in names]
    cw = max(p.shape[1] for _, p in pics) * scale + 8
    ch = max(p.shape[0] for _, p in pics) * scale + 22
    rows = (len(pics) + cols - 1) // cols
    sheet = np.zeros((rows * ch, cols * cw, 3), np.uint8)
    sheet[:] = (40, 42, 54)
    for i, (n, p) in enumerate(pics):
        q = p.copy()
        m = np.all(q == np.array(TRANSPARENT, np.uint8), axis=-1)
        q[m] = BG
        q = np.kron(q, np.ones((scale, scale, 1), np.uint8))
        r, c = divmod(i, cols)
        y, x = r * ch + 2, c * cw + 4
        sheet[y:y + q.shape[0], x:x + q.shape[1]] = q
        label = n[:-4][: cw // 6 - 1]
        stamp_text(sheet, x, r * ch + ch - 16, label, (220, 220, 230))
    Image.fromarray(sheet).save(out)


def read_map(path):
    lines = open(path, "rb").read().decode("ascii").split("\n")
    w, h, bg = lines[0].split(" ", 2)
    objs = []
    for ln in lines[4:]:
        if ln.startswith(" "):
            break
        objs.append(ln.split(" "))
    return int(w), int(h), bg, objs


def monster_frame(datadir, desc, frame):
    lines = open(os.path.join(datadir, desc)).read().split("\n")
    pic, dx, dy, _ = lines[2 + frame].split(" ")
    return pic, int(dx), int(dy)


def render_map(datadir, mapname, out, layer=None):
    W, H, bgname, objs = read_map(os.path.join(datadir, mapname))
    bg = Image.open(os.path.join(datadir, bgname)).convert("RGB").resize((W, H), Image.BILINEAR)
    img = np.asarray(bg).copy()
    img = (img * 0.8).astype(np.uint8)
    covered = np.zeros((H, W), bool)
    cache = {}

    def sprite(name):
        if name not in cache:
            cache[name] = load(os.path.join(datadir, name))
        return cache[name]

    def draw(name, x, y, dx=0, dy=0):
        s = sprite(name)
        sh, sw = s.shape[:2]
        col = x + dx
        row = H - (y + dy) - sh
        m = ~np.all(s == np.array(TRANSPARENT, np.uint8), axis=-1)
        y0, x0 = max(0, row), max(0, col)
        y1, x1 = min(H, row + sh), min(W, col + sw)
        if y1 <= y0 or x1 <= x0:
            return
        sub = m[y0 - row:y1 - row, x0 - col:x1 - col]
        img[y0:y1, x0:x1][sub] = s[y0 - row:y1 - row, x0 - col:x1 - col][sub]
        covered[y0:y1, x0:x1] |= sub

    items = {"HEALTH": "medic_kit.png", "PLASMABOLT": "plasmabolt.png", "LAUNCHER": "rocket_launcher.png",
             "SHOTGUN": "shotgun.png", "CELL_SMALL": "cell_smallbox.png", "CELL_BIG": "cell_bigbox.png",
             "ONE_ROCKET": "rocket_1.png", "ROCKET_BOX": "rocket_box.png", "SHELLS_4": "shells_4.png",
             "SHELL_BOX": "shell_box.png"}
    boxes = []
    # the game draws the object list, which holds the file's objects in
    # reverse order: the last line first
    for o in reversed(objs):
        x, y, kind = int(o[0]), int(o[1]), o[2]
        if kind in ("WALL", "LADDER", "DECORATION"):
            draw(o[3], x, y)
        elif kind == "PLATFORM":
            draw(o[5], x, y)
        elif kind == "ITEM":
            draw(items[o[3]], x, y)
        elif kind == "PLAYER":
            pic, dx, dy = monster_frame(datadir, o[4], 13)
            draw(pic, x, y, dx, dy)
        elif kind == "MONSTER":
            pic, dx, dy = monster_frame(datadir, o[3], 0)
            draw(pic, x, y, dx, dy)
        elif kind == "DM_START":
            boxes.append(("dm", x, y, 20, 44, None))
        elif kind == "TRIGGER":
            boxes.append((o[5], x, y, int(o[3]), int(o[4]), o))
    if layer is not None:
        layer.update(img=img.copy(), covered=covered, size=(W, H), bg=bgname)
        return
    im = Image.fromarray(img)
    d = ImageDraw.Draw(im)
    for kind, x, y, w, h, o in boxes:
        colour = {"dm": (255, 220, 60), "REDIRECT": (255, 60, 60), "TELEPORT": (255, 80, 255)}[kind]
        d.rectangle([x, H - y - h, x + w - 1, H - y - 1], outline=colour)
        if kind == "TELEPORT":
            tx, ty = int(o[-2]), int(o[-1])
            d.line([x + w // 2, H - y - h // 2, tx + 10, H - ty - 22], fill=colour)
            d.rectangle([tx, H - ty - 44, tx + 19, H - ty - 1], outline=colour)
    im.save(out)


def game_screen(datadir, mapname, out, cameras):
    """A 640 x 480 screen as the game shows two players: for each camera
    (x, y of the view's bottom-left corner) the 480 x 240 view with the
    parallax background, and the status panel beside it."""
    layer = {}
    render_map(datadir, mapname, None, layer)
    W, H = layer["size"]
    bg = load(os.path.join(datadir, layer["bg"]))
    B, BH = bg.shape[1], bg.shape[0]
    screen = np.zeros((480, 640, 3), np.uint8)
    panel = load(os.path.join(datadir, "status_panel.png"))
    for i, (cx, cy) in enumerate(cameras[:2]):
        bx = (B - 480) * cx // (W - 480)
        by = (BH - 240) * cy // (H - 240)
        v = bg[BH - by - 240:BH - by, bx:bx + 480].copy()
        top = H - cy - 240
        cov = layer["covered"][top:top + 240, cx:cx + 480]
        v[cov] = layer["img"][top:top + 240, cx:cx + 480][cov]
        stamp_text(v, 2, 2, "FPS 59.50", (255, 255, 255))
        screen[240 * i:240 * i + 240, :480] = v
        p = panel.copy()
        for k, dgt in enumerate((1, 0, 0)):
            s = load(os.path.join(datadir, "rn%d.png" % dgt))
            m = ~np.all(s == np.array(TRANSPARENT, np.uint8), axis=-1)
            p[13:13 + s.shape[0], 25 + k * s.shape[1]:25 + (k + 1) * s.shape[1]][m] = s[m]
        stamp_text(p, 10, 156, "FRAGS %d" % (3 - i), (0, 0, 0))
        screen[240 * i:240 * i + 240, 480:] = p
    Image.fromarray(screen).save(out)


def main(argv):
    datadir, outdir = argv[1], argv[2]
    os.makedirs(outdir, exist_ok=True)
    names = sorted(n for n in os.listdir(datadir) if n.endswith(".png"))
    sprites = [n for n in names if is_sprite(load(os.path.join(datadir, n)))]
    big = [n for n in sprites if max(load(os.path.join(datadir, n)).shape[:2]) >= 64]
    small = [n for n in sprites if n not in big]
    contact_sheet(datadir, os.path.join(outdir, "sheet_small.png"), small, scale=2, cols=14)
    contact_sheet(datadir, os.path.join(outdir, "sheet_big.png"), big, scale=1, cols=8)
    for n in sorted(os.listdir(datadir)):
        if n.endswith(".fenda"):
            render_map(datadir, n, os.path.join(outdir, n + ".png"))
    if os.path.exists(os.path.join(datadir, "testmap.fenda")):
        game_screen(datadir, "testmap.fenda", os.path.join(outdir, "screen.png"), [(0, 0), (560, 600)])
    print("preview: wrote pictures to %s" % outdir)


if __name__ == "__main__":
    main(sys.argv)
