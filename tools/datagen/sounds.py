"""Sound effects: synthesised from seeded noise and oscillators
and written as 16-bit mono PCM WAV files at 22050 Hz."""
import io
import math
import wave

import numpy as np

RATE = 22050


def t_axis(seconds):
    return np.arange(int(seconds * RATE)) / RATE


def env(n, attack=0.005, decay=0.3, curve=3.0):
    """Attack then exponential-like decay over n samples."""
    t = np.arange(n) / RATE
    a = np.clip(t / max(attack, 1e-6), 0, 1)
    d = np.exp(-curve * t / max(decay, 1e-6))
    return a * d


def noise(n, seed):
    return np.random.RandomState(seed).uniform(-1, 1, n)


def lowpass(x, cutoff):
    """One-pole low-pass; cutoff may be a number or an array per sample."""
    c = np.broadcast_to(np.asarray(cutoff, np.float64), x.shape)
    a = 1 - np.exp(-2 * math.pi * c / RATE)
    y = np.empty_like(x)
    acc = 0.0
    for i in range(len(x)):
        acc += a[i] * (x[i] - acc)
        y[i] = acc
    return y


def highpass(x, cutoff):
    return x - lowpass(x, cutoff)


def bandpass(x, centre, q=4.0):
    """Two-pole resonant band-pass (state variable filter); centre may vary
    per sample."""
    f = np.broadcast_to(np.asarray(centre, np.float64), x.shape)
    k = 2 * np.sin(np.pi * np.minimum(f, RATE / 6) / RATE)
    damp = 1.0 / q
    low = band = 0.0
    y = np.empty_like(x)
    for i in range(len(x)):
        high = x[i] - low - damp * band
        band += k[i] * high
        low += k[i] * band
        y[i] = band
    return y


def sweep(f0, f1, seconds, shape="sine", curve=1.0):
    n = int(seconds * RATE)
    t = np.linspace(0, 1, n) ** curve
    f = f0 * (f1 / f0) ** t
    ph = np.cumsum(f) / RATE
    if shape == "sine":
        return np.sin(2 * math.pi * ph), f
    if shape == "saw":
        return 2 * (ph % 1.0) - 1, f
    if shape == "square":
        return np.sign(np.sin(2 * math.pi * ph)), f
    raise ValueError(shape)


def normalise(x, peak=0.85):
    m = np.max(np.abs(x))
    return x * (peak / m) if m > 0 else x


def fade_out(x, ms=15):
    n = min(len(x), int(RATE * ms / 1000))
    x = x.copy()
    x[-n:] *= np.linspace(1, 0, n)
    return x


def wav_bytes(x):
    x = fade_out(normalise(x))
    pcm = np.clip(np.round(x * 32767), -32768, 32767).astype("<i2")
    buf = io.BytesIO()
    w = wave.open(buf, "wb")
    w.setnchannels(1)
    w.setsampwidth(2)
    w.setframerate(RATE)
    w.writeframes(pcm.tobytes())
    w.close()
    return buf.getvalue()


# ------------------------------------------------------------------ effects

def pickup():
    """weapon.wav: a mechanical clack and a bright rising ping."""
    n = int(0.45 * RATE)
    x = np.zeros(n)
    for start, seed in ((0.0, 1), (0.07, 2)):
        i = int(start * RATE)
        m = int(0.03 * RATE)
        x[i:i + m] += highpass(noise(m, seed), 1500) * env(m, 0.0005, 0.02, 4)
    tone, _ = sweep(900, 1500, 0.35, "sine", 0.3)
    tone2, _ = sweep(1800, 3000, 0.35, "sine", 0.3)
    i = int(0.08 * RATE)
    e = env(len(tone), 0.002, 0.3, 4)
    x[i:i + len(tone)] += 0.5 * tone * e + 0.2 * tone2 * e
    return x


def shotgun():
    """shot.wav: a blast with a low thump and a short room tail."""
    n = int(0.7 * RATE)
    nz = noise(n, 3)
    cut = 6000 * np.exp(-np.arange(n) / RATE * 9) + 300
    blast = lowpass(nz, cut) * env(n, 0.001, 0.18, 3)
    thump, _ = sweep(120, 40, 0.25, "sine")
    thump = np.pad(thump * env(len(thump), 0.001, 0.12, 3), (0, n - len(thump)))
    tail = lowpass(noise(n, 4), 900) * env(n, 0.02, 0.5, 4) * 0.4
    return 1.0 * blast + 0.9 * thump + tail


def plasma_fire():
    """plasma_fire.wav: a falling electric zap."""
    s, f = sweep(1600, 240, 0.32, "square", 0.6)
    buzz = np.sin(2 * math.pi * np.cumsum(f * 1.01) / RATE)
    x = 0.45 * s + 0.5 * buzz
    x = lowpass(x, 5000) * env(len(x), 0.002, 0.2, 3)
    shimmer = highpass(noise(len(x), 5), 4000) * env(len(x), 0.001, 0.05, 3) * 0.4
    return x + shimmer


def plasma_hit():
    """plasma_hit.wav: a crackling fizz."""
    n = int(0.45 * RATE)
    rs = np.random.RandomState(6)
    gate = np.repeat(rs.uniform(0, 1, n // 120 + 1) > 0.45, 120)[:n].astype(float)
    crackle = bandpass(noise(n, 7), 2600, 2.0) * gate
    drop, _ = sweep(700, 90, 0.45, "sine", 0.5)
    return (0.9 * crackle + 0.6 * drop[:n]) * env(n, 0.001, 0.2, 3)


def rocket_fire():
    """rocket_fire.wav: the launch whoosh."""
    n = int(0.65 * RATE)
    t = np.arange(n) / RATE
    centre = 400 + 2200 * np.sin(np.pi * np.clip(t / 0.65, 0, 1)) ** 1.5
    wh = bandpass(noise(n, 8), centre, 3.0)
    rumble = lowpass(noise(n, 9), 150) * 3.0
    e = np.clip(t / 0.04, 0, 1) * np.exp(-t * 3.5)
    pop = np.zeros(n)
    m = int(0.03 * RATE)
    pop[:m] = lowpass(noise(m, 10), 2500) * env(m, 0.0005, 0.02, 3) * 2
    return (wh + 0.5 * rumble) * e + pop


def explosion():
    """rocket_boom.wav: a heavy explosion with debris."""
    n = int(1.4 * RATE)
    t = np.arange(n) / RATE
    nz = noise(n, 11)
    body = lowpass(nz, 2500 * np.exp(-t * 5) + 120) * np.exp(-t * 2.6) * np.clip(t / 0.004, 0, 1)
    sub, _ = sweep(70, 28, 1.0, "sine", 0.5)
    sub = np.pad(sub, (0, n - len(sub))) * np.exp(-t * 3.0) * 1.3
    rs = np.random.RandomState(12)
    debris = np.zeros(n)
    for _ in range(26):
        i = int(rs.uniform(0.05, 0.9) * RATE)
        m = int(0.012 * RATE)
        if i + m < n:
            debris[i:i + m] += highpass(noise(m, rs.randint(1000)), 2000) * rs.uniform(0.1, 0.35)
    return body * 1.4 + sub + debris * np.exp(-t * 1.5)


def voice(f0, f1, seconds, formants, seed, rough=0.0, breath=0.15):
    """A vowel from a glottal pulse train through formant band-passes."""
    n = int(seconds * RATE)
    t = np.arange(n) / RATE
    rs = np.random.RandomState(seed)
    jitter = 1 + rough * lowpass(rs.uniform(-1, 1, n), 40) * 3
    f = (f0 * (f1 / f0) ** (t / seconds)) * jitter
    ph = np.cumsum(f) / RATE
    src = (ph % 1.0) ** 3 * 2 - 0.5          # buzzy pulse
    src += breath * noise(n, seed + 1)
    out = np.zeros(n)
    for fc, gain, q in formants:
        out += gain * bandpass(src, fc, q)
    if rough:
        out *= 1 + 0.5 * np.sin(2 * math.pi * 27 * t)
    return out


def fighter_death():
    """fighter_die.wav: a falling scream."""
    x = voice(300, 120, 0.9, [(750, 1.0, 5), (1150, 0.7, 6), (2500, 0.35, 8)], 13, rough=0.02)
    n = len(x)
    t = np.arange(n) / RATE
    e = np.clip(t / 0.03, 0, 1) * np.clip((0.9 - t) / 0.35, 0, 1)
    return x * e


def hrack_death():
    """hrack_die.wav: a gurgling roar."""
    x = voice(110, 45, 1.1, [(480, 1.0, 4), (850, 0.8, 5), (2300, 0.25, 6)], 14, rough=0.18, breath=0.4)
    n = len(x)
    t = np.arange(n) / RATE
    e = np.clip(t / 0.05, 0, 1) * np.clip((1.1 - t) / 0.5, 0, 1)
    return x * e


EFFECTS = {
    "weapon.wav": pickup,
    "shot.wav": shotgun,
    "plasma_fire.wav": plasma_fire,
    "plasma_hit.wav": plasma_hit,
    "rocket_fire.wav": rocket_fire,
    "rocket_boom.wav": explosion,
    "fighter_die.wav": fighter_death,
    "hrack_die.wav": hrack_death,
}


def all_files():
    return {name: wav_bytes(fn()) for name, fn in EFFECTS.items()}
