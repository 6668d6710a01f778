"""Puts the whole data set together and writes it into a directory."""
import os

import numpy as np

from . import creatures, font, formats, items, maps, music, screens, sounds, tiles
from .raster import Canvas, jpeg_bytes, png_bytes, sprite_pixels

CREDITS = """Fenda 2 data set - credits and licences
=========================================

Everything in this directory is made by the generator in tools/datagen/
(run tools/gen_data.sh); nothing is copied from another game. Pictures,
sounds, the music module, the maps and the descriptions are original work
of the Fenda 2 developers, drawn and synthesised by that code.

Converted from Debian packages
------------------------------

koi8.font
    The glyphs are the X11 "misc-fixed" font 6x13 in the KOI8-R encoding,
    file /usr/share/fonts/X11/misc/6x13-KOI8-R.pcf.gz of the Debian package
    xfonts-base. Its copyright notice reads: "Public domain font. Share and
    enjoy." (see /usr/share/doc/xfonts-base/copyright, font-misc-misc).
    The generator copies each glyph into a 6 x 13 cell (the font file's format).

Titles on start.jpg and status_panel.png
    Rendered with DejaVu Sans Bold from the Debian package
    fonts-dejavu-core (Bitstream Vera licence with the DejaVu changes in
    the public domain; see /usr/share/doc/fonts-dejavu-core/copyright).
    Only the rendered pixels are part of the pictures.

random.table
    8192 numbers from Marsaglia's xorshift32 generator (shifts 13, 17, 5)
    started from the seed 0x46454E44 ("FEND"): each entry is the high 16
    bits of the next state, stored least significant byte first.

Music
-----

fenda_arena.mod
    A 4-channel ProTracker module ("M.K."), composed for this game in
    tools/datagen/music.py, with synthesised 8-bit samples. SDL_mixer 1.2
    plays it through MikMod.
"""

GITIGNORE = """# files the programs write into their working directory
*.log
editor.fenda
fenda_screenshot_*.bmp
stdout.txt
stderr.txt
"""


def encode(name, obj):
    """Turns a generated object into the bytes of its file."""
    if isinstance(obj, bytes):
        return obj
    if isinstance(obj, Canvas):
        assert name.endswith(".png"), name
        return png_bytes(sprite_pixels(obj))
    if isinstance(obj, np.ndarray):
        if name.endswith(".jpg"):
            return jpeg_bytes(obj)
        return png_bytes(obj)
    raise TypeError(name)


def collect():
    """{file name: bytes} for the whole data set."""
    objs = {}

    def add(d):
        for k, v in d.items():
            assert k not in objs, "two files named " + k
            objs[k] = v

    add(creatures.all_files())
    add(items.all_files())
    add(tiles.all_files())
    bgs = tiles.backgrounds()
    add(bgs)
    sprites = {k: sprite_pixels(v) for k, v in objs.items() if isinstance(v, Canvas)}
    add(screens.all_files(sprites, bgs))
    add(sounds.all_files())
    add(music.all_files())
    add(maps.all_files())
    add({
        "fenda2.config": formats.config_bytes(),
        "random.table": formats.random_table_bytes(),
        "koi8.font": font.font_file_bytes(),
        "editor.walls": formats.walls_bytes(tiles.EDITOR_WALLS),
        "CREDITS": CREDITS.encode("ascii"),
        ".gitignore": GITIGNORE.encode("ascii"),
    })
    return {k: encode(k, v) for k, v in objs.items()}


def generate(outdir):
    files = collect()
    os.makedirs(outdir, exist_ok=True)
    for name in sorted(files):
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(files[name])
    return sorted(files)
