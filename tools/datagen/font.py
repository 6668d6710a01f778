"""The bitmap font "koi8.font", converted from the public-domain
X11 misc-fixed font 6x13 in its KOI8-R encoding (Debian package
xfonts-base), and text helpers for pictures: the same bitmap font (scaled by
whole pixels) and DejaVu Sans Bold (Debian package fonts-dejavu-core) for
large titles."""
import gzip
import io

import numpy as np
from PIL import Image, ImageDraw, ImageFont, PcfFontFile

PCF_PATH = "/usr/share/fonts/X11/misc/6x13-KOI8-R.pcf.gz"
TTF_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSans-Bold.ttf"
TTF_CONDENSED_BOLD = "/usr/share/fonts/truetype/dejavu/DejaVuSansCondensed-Bold.ttf"

GLYPH_W = 6
GLYPH_H = 13

_glyphs = None


def glyphs():
    """256 arrays of GLYPH_H x GLYPH_W, 1 for ink, indexed by KOI8-R code."""
    global _glyphs
    if _glyphs is not None:
        return _glyphs
    with gzip.open(PCF_PATH, "rb") as f:
        data = f.read()
    pcf = PcfFontFile.PcfFontFile(io.BytesIO(data))
    out = []
    for code in range(256):
        g = np.zeros((GLYPH_H, GLYPH_W), np.uint8)
        entry = pcf.glyph[code]
        if entry:
            (_adv, _), (x0, y0, x1, y1), _src, im = entry
            # dst box is relative to the baseline: y0 = -ascent (11 here)
            top = 11 + y0
            arr = (np.asarray(im.convert("L")) > 0).astype(np.uint8)
            h, w = arr.shape
            for yy in range(h):
                for xx in range(w):
                    ty, tx = top + yy, x0 + xx
                    if 0 <= ty < GLYPH_H and 0 <= tx < GLYPH_W and arr[yy, xx]:
                        g[ty, tx] = 1
        out.append(g)
    _glyphs = out
    return out


def font_file_bytes():
    """The file "koi8.font": width byte, height byte, 256 glyphs of
    GLYPH_H rows of GLYPH_W bytes (0 background, 1 ink)."""
    parts = [bytes([GLYPH_W, GLYPH_H])]
    for g in glyphs():
        parts.append(g.astype(np.uint8).tobytes())
    return b"".join(parts)


def text_mask(text, scale=1):
    """A boolean mask of `text` drawn in the bitmap font (KOI8-R codes)."""
    codes = text.encode("koi8_r") if isinstance(text, str) else text
    gl = glyphs()
    m = np.zeros((GLYPH_H * scale, GLYPH_W * scale * len(codes)), bool)
    for i, c in enumerate(codes):
        g = np.kron(gl[c], np.ones((scale, scale), np.uint8)).astype(bool)
        m[:, i * GLYPH_W * scale:(i + 1) * GLYPH_W * scale] = g
    return m


def stamp_text(arr, x, y, text, colour, scale=1, shadow=None):
    """Draws bitmap-font text into an RGB uint8 array (in place)."""
    m = text_mask(text, scale)
    if shadow is not None:
        _stamp(arr, x + scale, y + scale, m, shadow)
    _stamp(arr, x, y, m, colour)


def _stamp(arr, x, y, m, colour):
    h, w = m.shape
    H, W = arr.shape[:2]
    y0, x0 = max(0, y), max(0, x)
    y1, x1 = min(H, y + h), min(W, x + w)
    if y1 <= y0 or x1 <= x0:
        return
    sub = m[y0 - y:y1 - y, x0 - x:x1 - x]
    region = arr[y0:y1, x0:x1]
    region[sub] = colour


def text_width(text, scale=1):
    return len(text) * GLYPH_W * scale


def ttf_mask(text, size, path=TTF_BOLD):
    """A float mask (0..1) of text in a TrueType font, tightly cropped."""
    font = ImageFont.truetype(path, size)
    x0, y0, x1, y1 = font.getbbox(text)
    im = Image.new("L", (x1 - x0 + 4, y1 - y0 + 4), 0)
    ImageDraw.Draw(im).text((2 - x0, 2 - y0), text, font=font, fill=255)
    return np.asarray(im, np.float32) / 255.0
