"""Rendering core: supersampled RGBA canvases, shading helpers, and the
writers that turn a canvas into a sprite PNG (transparent colour 0,47,47),
an opaque PNG or a JPEG, all without metadata so that output is
byte-for-byte reproducible."""
import io
import math

import numpy as np
from PIL import Image, ImageDraw

TRANSPARENT = (0, 47, 47)


def clamp01(a):
    return np.clip(a, 0.0, 1.0)


def rgb(c):
    """A colour given as (r, g, b) in 0..255 becomes a float array 0..1."""
    return np.array(c[:3], dtype=np.float32) / 255.0


def box_blur(a, r):
    """Separable box blur of a 2-D array with radius r (integer pixels)."""
    if r <= 0:
        return a
    out = a.astype(np.float32)
    for axis in (0, 1):
        pad = [(0, 0), (0, 0)]
        pad[axis] = (r + 1, r)
        p = np.pad(out, pad, mode="edge")
        c = np.cumsum(p, axis=axis)
        n = out.shape[axis]
        if axis == 0:
            out = (c[2 * r + 1:2 * r + 1 + n, :] - c[0:n, :]) / (2 * r + 1)
        else:
            out = (c[:, 2 * r + 1:2 * r + 1 + n] - c[:, 0:n]) / (2 * r + 1)
    return out


class Canvas:
    """An RGBA picture of w x h pixels painted at `ss` times the resolution.

    Coordinates given to the painting methods are in output pixels (floats,
    x to the right, y downwards, (0, 0) the top-left corner of the top-left
    pixel)."""

    def __init__(self, w, h, ss=4):
        self.w, self.h, self.ss = w, h, ss
        H, W = h * ss, w * ss
        self.rgb = np.zeros((H, W, 3), np.float32)
        self.a = np.zeros((H, W), np.float32)
        ys, xs = np.mgrid[0:H, 0:W].astype(np.float32)
        self.X = (xs + 0.5) / ss
        self.Y = (ys + 0.5) / ss

    # ---- masks -------------------------------------------------------
    def _pil_mask(self, fn):
        m = Image.new("L", (self.w * self.ss, self.h * self.ss), 0)
        fn(ImageDraw.Draw(m), self.ss)
        return np.asarray(m, np.float32) / 255.0

    def poly(self, pts):
        s = self.ss
        return self._pil_mask(lambda d, s=s: d.polygon([(x * s, y * s) for x, y in pts], fill=255))

    def rect(self, x0, y0, x1, y1):
        return ((self.X >= x0) & (self.X < x1) & (self.Y >= y0) & (self.Y < y1)).astype(np.float32)

    def ellipse(self, cx, cy, rx, ry):
        return (((self.X - cx) / rx) ** 2 + ((self.Y - cy) / ry) ** 2 <= 1.0).astype(np.float32)

    def capsule(self, x0, y0, x1, y1, r0, r1=None):
        """A thick segment from (x0, y0) to (x1, y1), radius r0 at the start
        and r1 at the end (a tapered limb)."""
        if r1 is None:
            r1 = r0
        dx, dy = x1 - x0, y1 - y0
        L2 = dx * dx + dy * dy
        if L2 == 0:
            t = np.zeros_like(self.X)
        else:
            t = clamp01(((self.X - x0) * dx + (self.Y - y0) * dy) / L2)
        px, py = x0 + t * dx, y0 + t * dy
        d = np.sqrt((self.X - px) ** 2 + (self.Y - py) ** 2)
        r = r0 + (r1 - r0) * t
        return (d <= r).astype(np.float32)

    def line_mask(self, pts, width):
        s = self.ss
        return self._pil_mask(lambda d, s=s: d.line([(x * s, y * s) for x, y in pts],
                                                    fill=255, width=max(1, int(round(width * s)))))

    # ---- painting ----------------------------------------------------
    def paint(self, mask, colour, alpha=1.0):
        """Paints `colour` through `mask`. colour is an (r, g, b) tuple, or an
        array H x W x 3 (0..1) made by a shader."""
        if not isinstance(colour, np.ndarray):
            colour = rgb(colour)
        m = (mask * alpha)[..., None]
        self.rgb = self.rgb * (1 - m) + colour * m
        self.a = self.a * (1 - mask * alpha) + mask * alpha
        return mask

    def erase(self, mask):
        self.a = self.a * (1 - mask)

    # ---- shaders -----------------------------------------------------
    def vgrad(self, c0, c1, y0, y1):
        t = clamp01((self.Y - y0) / max(1e-6, (y1 - y0)))[..., None]
        return rgb(c0) * (1 - t) + rgb(c1) * t

    def hgrad(self, c0, c1, x0, x1):
        t = clamp01((self.X - x0) / max(1e-6, (x1 - x0)))[..., None]
        return rgb(c0) * (1 - t) + rgb(c1) * t

    def lit(self, mask, colour, light=(-0.55, -0.75), radius=2.0, ambient=0.45,
            diffuse=0.75, specular=0.35, shininess=12):
        """Pillow shading: the mask is treated as a rounded relief whose
        normals come from its blurred edge; lit from the upper left."""
        r = max(1, int(radius * self.ss))
        b = box_blur(box_blur(mask, r), r)
        gy, gx = np.gradient(b)
        nx, ny = -gx * r * 1.2, -gy * r * 1.2
        nz = np.ones_like(nx)
        n = np.sqrt(nx * nx + ny * ny + nz * nz)
        nx, ny, nz = nx / n, ny / n, nz / n
        lx, ly = light
        lz = 0.65
        ln = math.sqrt(lx * lx + ly * ly + lz * lz)
        lx, ly, lz = lx / ln, ly / ln, lz / ln
        d = clamp01(nx * lx + ny * ly + nz * lz)
        # specular from the half vector between light and viewer (0, 0, 1)
        hx, hy, hz = lx, ly, lz + 1
        hn = math.sqrt(hx * hx + hy * hy + hz * hz)
        s = clamp01((nx * hx + ny * hy + nz * hz) / hn) ** shininess
        base = rgb(colour) if not isinstance(colour, np.ndarray) else colour
        out = base * (ambient + diffuse * d)[..., None] + (specular * s)[..., None]
        return clamp01(out)

    def noise(self, seed, scale=1.0, amount=0.08):
        """Per-output-pixel noise, as a multiplier array around 1.0."""
        rs = np.random.RandomState(seed)
        n = rs.uniform(-amount, amount, (self.h, self.w)).astype(np.float32)
        n = np.kron(n, np.ones((self.ss, self.ss), np.float32))
        return (1.0 + n)[..., None]

    # ---- composition ---------------------------------------------------
    def paste(self, other, ox, oy):
        """Composites another canvas of the same ss with its top-left at
        (ox, oy) output pixels (integers)."""
        s = self.ss
        assert other.ss == s
        H, W = self.a.shape
        y0, x0 = oy * s, ox * s
        h, w = other.a.shape
        sy0, sx0 = max(0, -y0), max(0, -x0)
        dy0, dx0 = max(0, y0), max(0, x0)
        hh = min(h - sy0, H - dy0)
        ww = min(w - sx0, W - dx0)
        if hh <= 0 or ww <= 0:
            return
        a = other.a[sy0:sy0 + hh, sx0:sx0 + ww]
        c = other.rgb[sy0:sy0 + hh, sx0:sx0 + ww]
        dst_c = self.rgb[dy0:dy0 + hh, dx0:dx0 + ww]
        dst_a = self.a[dy0:dy0 + hh, dx0:dx0 + ww]
        self.rgb[dy0:dy0 + hh, dx0:dx0 + ww] = dst_c * (1 - a[..., None]) + c * a[..., None]
        self.a[dy0:dy0 + hh, dx0:dx0 + ww] = dst_a * (1 - a) + a

    def transformed(self, angle_deg=0.0, pivot=(0, 0), scale_x=1.0, shift=(0, 0), size=None):
        """Returns a new canvas with this one rotated by angle (counter-
        clockwise on screen) about the pivot, squeezed horizontally by
        scale_x about the pivot, then moved by shift (output pixels)."""
        w, h = size if size else (self.w, self.h)
        out = Canvas(w, h, self.ss)
        s = self.ss
        a = math.radians(angle_deg)
        ca, sa = math.cos(a), math.sin(a)
        px, py = pivot
        # inverse mapping: for each destination point find the source point
        X = out.X - shift[0] - px
        Y = out.Y - shift[1] - py
        xs = (ca * X - sa * Y) / scale_x + px
        ys = (sa * X + ca * Y) + py
        ix = np.floor(xs * s).astype(np.int64)
        iy = np.floor(ys * s).astype(np.int64)
        H, W = self.a.shape
        ok = (ix >= 0) & (ix < W) & (iy >= 0) & (iy < H)
        ix = np.clip(ix, 0, W - 1)
        iy = np.clip(iy, 0, H - 1)
        out.a = np.where(ok, self.a[iy, ix], 0).astype(np.float32)
        out.rgb = np.where(ok[..., None], self.rgb[iy, ix], 0).astype(np.float32)
        return out

    def mirrored(self):
        out = Canvas(self.w, self.h, self.ss)
        out.a = self.a[:, ::-1].copy()
        out.rgb = self.rgb[:, ::-1].copy()
        return out

    # ---- output ---------------------------------------------------------
    def downsample(self):
        """Returns (rgb uint8 h x w x 3, alpha float h x w)."""
        s = self.ss
        a = self.a.reshape(self.h, s, self.w, s).mean(axis=(1, 3))
        pre = (self.rgb * self.a[..., None]).reshape(self.h, s, self.w, s, 3).sum(axis=(1, 3))
        asum = self.a.reshape(self.h, s, self.w, s).sum(axis=(1, 3))
        col = pre / np.maximum(asum, 1e-6)[..., None]
        col = np.clip(np.round(col * 255.0), 0, 255).astype(np.uint8)
        return col, a


def sprite_pixels(canvas, outline=0.6, threshold=0.5):
    """The canvas as a sprite: an RGB array where transparent pixels hold
    exactly TRANSPARENT and no opaque pixel does. Opaque pixels on the edge
    of the shape are darkened by `outline` (1.0 = unchanged)."""
    col, a = canvas.downsample()
    opaque = a >= threshold
    col = col.astype(np.float32)
    if outline != 1.0:
        pad = np.pad(opaque, 1, constant_values=False)
        edge = opaque & ~(pad[:-2, 1:-1] & pad[2:, 1:-1] & pad[1:-1, :-2] & pad[1:-1, 2:])
        col[edge] *= outline
    col = np.clip(np.round(col), 0, 255).astype(np.uint8)
    return finish_sprite(col, opaque)


def finish_sprite(col, opaque):
    """Puts the transparent colour where not opaque and nudges any opaque
    pixel that happens to equal it."""
    col = col.copy()
    t = np.array(TRANSPARENT, np.uint8)
    clash = opaque & np.all(col == t, axis=-1)
    col[clash] = (0, 48, 47)
    col[~opaque] = t
    return col


def png_bytes(arr):
    im = Image.fromarray(arr, "RGB")
    buf = io.BytesIO()
    im.save(buf, format="PNG", optimize=True)
    return buf.getvalue()


def jpeg_bytes(arr, quality=88):
    im = Image.fromarray(arr, "RGB")
    buf = io.BytesIO()
    im.save(buf, format="JPEG", quality=quality, optimize=True, subsampling=0)
    return buf.getvalue()


def opaque_pixels(canvas, background=(0, 0, 0)):
    """A canvas flattened onto a colour (for bitmaps with no transparency)."""
    col, a = canvas.downsample()
    bg = np.array(background, np.float32)
    out = col.astype(np.float32) * a[..., None] + bg * (1 - a[..., None])
    return np.clip(np.round(out), 0, 255).astype(np.uint8)


def alpha_bbox(canvas, threshold=0.5):
    """Bounding box (x0, y0, x1, y1) in output pixels of the painted part."""
    ys, xs = np.nonzero(canvas.a >= threshold)
    s = canvas.ss
    if len(xs) == 0:
        return (0, 0, 0, 0)
    return (xs.min() / s, ys.min() / s, (xs.max() + 1) / s, (ys.max() + 1) / s)


def place(canvas, w, h, centre_x, bottom):
    """A new w x h canvas holding `canvas` moved so that its painted part is
    centred on centre_x and ends at row `bottom` (whole pixels)."""
    x0, y0, x1, y1 = alpha_bbox(canvas)
    out = Canvas(w, h, canvas.ss)
    ox = int(round(centre_x - (x0 + x1) / 2))
    oy = int(round(bottom - y1))
    out.paste(canvas, ox, oy)
    return out
