"""The map music: a 4-channel ProTracker module ("M.K.") composed here,
with synthesised 8-bit samples. SDL_mixer 1.2 plays it through MikMod and
loops it without end."""
import math
import struct

import numpy as np

SAMPLE_RATE = 8287          # the rate of a sample played at period 428 (C-2)
NOTES = ["C-", "C#", "D-", "D#", "E-", "F-", "F#", "G-", "G#", "A-", "A#", "B-"]
PERIODS = [856, 808, 762, 720, 678, 640, 604, 570, 538, 508, 480, 453,
           428, 404, 381, 360, 339, 320, 302, 285, 269, 254, 240, 226,
           214, 202, 190, 180, 170, 160, 151, 143, 135, 127, 120, 113]


def period(note):
    """"A-2" style note name (octaves 1 to 3) to its period."""
    name, octave = note[:2], int(note[2])
    return PERIODS[(octave - 1) * 12 + NOTES.index(name)]


# ------------------------------------------------------------------ samples

def to_s8(x):
    x = np.asarray(x, np.float64)
    m = np.max(np.abs(x))
    if m > 0:
        x = x / m
    return np.clip(np.round(x * 120), -128, 127).astype(np.int8)


def s_kick():
    n = int(0.22 * SAMPLE_RATE)
    t = np.arange(n) / SAMPLE_RATE
    f = 45 + 110 * np.exp(-t * 30)
    x = np.sin(2 * np.pi * np.cumsum(f) / SAMPLE_RATE) * np.exp(-t * 14)
    x[:40] += np.random.RandomState(1).uniform(-0.4, 0.4, 40) * np.linspace(1, 0, 40)
    return to_s8(x), 0, 0, 64


def s_snare():
    n = int(0.2 * SAMPLE_RATE)
    t = np.arange(n) / SAMPLE_RATE
    nz = np.random.RandomState(2).uniform(-1, 1, n)
    tone = np.sin(2 * np.pi * 190 * t)
    x = (0.8 * nz + 0.6 * tone * np.exp(-t * 30)) * np.exp(-t * 16)
    return to_s8(x), 0, 0, 52


def s_hat():
    n = int(0.06 * SAMPLE_RATE)
    nz = np.random.RandomState(3).uniform(-1, 1, n)
    hp = nz - np.convolve(nz, np.ones(3) / 3, mode="same")
    x = hp * np.exp(-np.arange(n) / SAMPLE_RATE * 60)
    return to_s8(x), 0, 0, 30


def cycle(n, fn):
    ph = (np.arange(n) + 0.5) / n
    return fn(ph)


def s_bass():
    # one cycle of 128 samples: C-1 sounds as C1 (about 32 Hz)
    def f(p):
        saw = 2 * p - 1
        return np.tanh(2.2 * (0.7 * saw + 0.5 * np.sin(2 * np.pi * p)))
    x = cycle(128, f)
    x = np.convolve(np.concatenate([x[-4:], x, x[:4]]), np.ones(5) / 5, mode="same")[4:-4]
    return to_s8(x), 0, 128, 48


def s_lead():
    # 32 samples a cycle: C-2 sounds as C4; a 25% pulse mixed with a saw
    def f(p):
        return 0.65 * np.where(p < 0.25, 1.0, -0.33) + 0.45 * (2 * p - 1)
    x = cycle(32, f)
    x = np.convolve(np.concatenate([x[-2:], x, x[:2]]), np.ones(3) / 3, mode="same")[2:-2]
    return to_s8(x), 0, 32, 40


def s_pad():
    # 64 samples a cycle: C-2 sounds as C3; a soft triangle with a fifth
    def f(p):
        tri = 1 - 4 * np.abs(p - 0.5)
        return tri + 0.25 * np.sin(4 * np.pi * p + 0.4)
    return to_s8(cycle(64, f)), 0, 64, 26


SAMPLES = [("kick", s_kick), ("snare", s_snare), ("hihat", s_hat),
           ("bass", s_bass), ("lead", s_lead), ("arp pad", s_pad)]
KICK, SNARE, HAT, BASS, LEAD, PAD = 1, 2, 3, 4, 5, 6


# ------------------------------------------------------------------ song

ROOTS = {"Am": ("A-", "37"), "F": ("F-", "47"), "C": ("C-", "47"),
         "G": ("G-", "47"), "E": ("E-", "47"), "Dm": ("D-", "37")}


class Pattern:
    def __init__(self):
        self.cells = [[(0, 0, 0, 0) for _ in range(4)] for _ in range(64)]

    def put(self, row, ch, note=None, sample=0, effect=0, param=0):
        p = period(note) if note else 0
        self.cells[row][ch] = (sample, p, effect, param)

    def effect(self, row, ch, effect, param):
        s, p, _, _ = self.cells[row][ch]
        self.cells[row][ch] = (s, p, effect, param)

    def to_bytes(self):
        out = bytearray()
        for row in self.cells:
            for s, p, e, prm in row:
                out += bytes([(s & 0xF0) | (p >> 8), p & 0xFF, ((s & 0x0F) << 4) | e, prm])
        return bytes(out)


def drums(pat, fill=False, sparse=False):
    for bar in range(4):
        b = bar * 16
        pat.put(b + 0, 0, "C-2", KICK)
        pat.put(b + 4, 0, "C-2", SNARE)
        pat.put(b + 8, 0, "C-2", KICK)
        pat.put(b + 12, 0, "C-2", SNARE)
        for r in (2, 6, 10, 14):
            if not sparse:
                pat.put(b + r, 0, "C-3", HAT)
        if bar % 2 == 1 and not sparse:
            pat.put(b + 11, 0, "C-2", KICK)
    if fill:
        for r in (56, 58, 60, 61, 62, 63):
            pat.put(r, 0, "C-2", SNARE)


def bass(pat, chords):
    for bar, ch in enumerate(chords):
        root = ROOTS[ch][0]
        lo = root + "1"
        hi = root + "2"
        for i, r in enumerate(range(0, 16, 2)):
            pat.put(bar * 16 + r, 1, hi if i % 4 == 2 else lo, BASS)


def arps(pat, chords, ch=3, vol=None):
    for bar, c in enumerate(chords):
        root, arp = ROOTS[c]
        for r in range(16):
            row = bar * 16 + r
            if r % 8 == 0:
                pat.put(row, ch, root + "2", PAD, 0x0, int(arp, 16))
            else:
                pat.effect(row, ch, 0x0, int(arp, 16))


def melody(pat, notes, ch=2):
    """notes: (row, note) pairs; each note decays with a volume slide."""
    starts = sorted(notes)
    for i, (row, note) in enumerate(starts):
        pat.put(row, ch, note, LEAD, 0xC, 40)
        end = starts[i + 1][0] if i + 1 < len(starts) else 64
        for r in range(row + 1, end):
            pat.effect(r, ch, 0xA, 0x02)


MEL_A = [(0, "A-2"), (3, "C-3"), (6, "E-3"), (8, "D-3"), (10, "C-3"), (12, "A-2"),
         (16, "F-2"), (19, "A-2"), (22, "C-3"), (24, "D-3"), (26, "C-3"), (28, "A-2"), (30, "G-2"),
         (32, "E-2"), (35, "G-2"), (38, "C-3"), (40, "E-3"), (42, "D-3"), (44, "C-3"),
         (48, "D-3"), (51, "B-2"), (54, "G-2"), (56, "A-2"), (58, "B-2"), (60, "D-3")]
MEL_B = [(0, "E-3"), (4, "D-3"), (6, "C-3"), (8, "D-3"), (10, "E-3"), (14, "A-2"),
         (16, "C-3"), (20, "A-2"), (22, "F-2"), (24, "A-2"), (26, "C-3"), (28, "D-3"),
         (32, "B-2"), (36, "D-3"), (38, "G-3"), (40, "F-3"), (42, "D-3"), (44, "B-2"),
         (48, "G#2"), (51, "B-2"), (54, "E-3"), (56, "G#3"), (58, "E-3"), (60, "B-2"), (62, "G#2")]


def song():
    prog_a = ["Am", "F", "C", "G"]
    prog_b = ["Am", "F", "G", "E"]
    pats = []
    p = Pattern(); drums(p, sparse=True); bass(p, prog_a)                           # 0 intro
    pats.append(p)
    p = Pattern(); drums(p); bass(p, prog_a); arps(p, prog_a)                      # 1 groove
    pats.append(p)
    p = Pattern(); drums(p); bass(p, prog_a); arps(p, prog_a); melody(p, MEL_A)   # 2 theme
    pats.append(p)
    p = Pattern(); drums(p, fill=True); bass(p, prog_b); arps(p, prog_b); melody(p, MEL_B)  # 3
    pats.append(p)
    p = Pattern(); drums(p, sparse=True); arps(p, ["Dm", "F", "Am", "E"]); bass(p, ["Dm", "F", "Am", "E"])
    pats.append(p)                                                                  # 4 bridge
    order = [0, 1, 2, 3, 1, 2, 3, 4, 2, 3]
    return pats, order


def mod_bytes():
    pats, order = song()
    out = bytearray()
    out += b"Fenda Arena".ljust(20, b"\0")
    datas = []
    for i in range(31):
        if i < len(SAMPLES):
            name, fn = SAMPLES[i]
            data, loop_start, loop_len, vol = fn()
            if loop_len == 0:
                data = np.concatenate([np.zeros(2, np.int8), data])
                if len(data) % 2:
                    data = np.concatenate([data, np.zeros(1, np.int8)])
                ls, ll = 0, 1
            else:
                ls, ll = loop_start // 2, loop_len // 2
            datas.append(data.tobytes())
            out += name.encode("ascii").ljust(22, b"\0")
            out += struct.pack(">HBBHH", len(data) // 2, 0, vol, ls, ll)
        else:
            out += b"\0" * 22 + struct.pack(">HBBHH", 0, 0, 0, 0, 1)
    out += bytes([len(order), 127])
    out += bytes(order + [0] * (128 - len(order)))
    out += b"M.K."
    for p in pats:
        out += p.to_bytes()
    for d in datas:
        out += d
    return bytes(out)


def all_files():
    return {"fenda_arena.mod": mod_bytes()}
