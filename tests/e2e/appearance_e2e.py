"""End-to-end checks of how the panel looks: the stroke pictures drawn for each key's size, and
every key legible in high-contrast themes. Used by panel_e2e.py, whose Run object they take.
"""

import os
import subprocess
import time
from pathlib import Path

from driver import log, numbers, read_png

# The shown stroke keys and the numbers of their normal and pressed pictures (yg_picture_dump).
STROKE_KEYS = {"Image3": (1, 2), "Image6": (3, 4), "Image9": (5, 6), "Image12": (7, 8), "Image15": (9, 10)}

# WCAG AA for text.
LEGIBLE = 4.5

FOCUSED_KEY = "skb(49)"  # left with the focus by the start-up keyboard checks
PICTURE_FACE = (238, 237, 219)
CANDIDATE_FOCUS = (224, 255, 0)


class Image:
    """A screenshot's pixels."""

    def __init__(self, png):
        # yg_desk's screenshots are plain RGB PNGs: read here, with no ImageMagick on Windows.
        self.width, self.height, rows = read_png(png)
        self.pixels = b"".join(rows)

    @classmethod
    def from_ppm(cls, path):
        image = cls.__new__(cls)
        data = Path(path).read_bytes()
        header = data.split(maxsplit=4)
        image.width, image.height = int(header[1]), int(header[2])
        image.pixels = header[4]
        return image

    def at(self, x, y):
        i = 3 * (y * self.width + x)
        return tuple(self.pixels[i:i + 3])


class Appearance:
    def __init__(self, run):
        self.run = run
        self.c = run.c

    # -- where the keys are

    def visible_points(self, name, inset=0):
        """The screen pixels of a control that no control stacked over it covers, `inset` pixels
        in from its edges."""
        kids = self.run.panel.children
        me = kids[name]
        left, top, right, bottom = numbers(me["rect"])
        covering = [numbers(k["rect"]) for k in kids.values()
                    if k.get("parent") == me.get("parent") and k is not me and k["visible"] == "1"
                    and int(k["z"]) < int(me["z"])]
        for y in range(top + inset, bottom - inset):
            for x in range(left + inset, right - inset):
                if not any(l <= x < r and t <= y < b for l, t, r, b in covering):
                    yield x, y

    def shown_keys(self):
        layout = self.run.panel.layout
        return [name for name, row in layout.items()
                if (row["kind"] == "button" or name in STROKE_KEYS) and name in self.run.panel.children
                and self.run.panel.children[name]["visible"] == "1"]

    # -- the stroke pictures

    def expected_picture(self, number, width, height):
        path = Path(self.run.args.out) / f"picture-{number}-{width}x{height}.ppm"
        if not path.exists():
            self.run.wine.run_tool("yg_picture_dump.exe", number, width, height, self.run.wine.host_path(path))
        return Image.from_ppm(path)

    def picture_differences(self, screen, name, number):
        """How many visible pixels of the key differ from its picture drawn for its size."""
        left, top, right, bottom = numbers(self.run.panel.children[name]["rect"])
        expected = self.expected_picture(number, right - left, bottom - top)
        return sum(screen.at(x, y) != expected.at(x - left, y - top) for x, y in self.visible_points(name))

    def enlarge_stroke_pad(self, png, name):
        rects = [numbers(self.run.panel.children[k]["rect"]) for k in STROKE_KEYS]
        left, top = min(r[0] for r in rects) - 2, min(r[1] for r in rects) - 2
        right, bottom = max(r[2] for r in rects) + 2, max(r[3] for r in rects) + 2
        out = Path(self.run.args.out) / name
        # For people to look at; where ImageMagick is missing the run goes on without it. Windows
        # has a convert.exe of its own in System32, which converts disks to NTFS: never call it.
        if os.name == "nt":
            return out
        try:
            subprocess.run(["convert", str(png), "-crop", f"{right - left}x{bottom - top}+{left}+{top}", "+repage",
                            "-filter", "point", "-resize", "400%", str(out)], check=False)
        except FileNotFoundError:
            pass
        return out

    def check_pictures(self):
        png = self.run.screen.shot("pictures.png")
        screen = Image(png)
        for name, (normal, _) in STROKE_KEYS.items():
            left, top, right, bottom = numbers(self.run.panel.children[name]["rect"])
            self.c.equal(self.picture_differences(screen, name, normal), 0,
                         f"{name} shows its picture drawn for its own {right - left} x {bottom - top} pixels")
        self.enlarge_stroke_pad(png, "stroke-pad-x4.png")

    def check_pressed_picture(self, png, name):
        self.c.equal(self.picture_differences(Image(png), name, STROKE_KEYS[name][1]), 0,
                     f"held, {name} shows its pressed picture drawn for its size")
        self.enlarge_stroke_pad(png, "stroke-pad-pressed-x4.png")

    # -- colour schemes and high contrast

    def switch(self, scheme):
        """None if the switch failed; else, for a high-contrast scheme, what yg_scheme says each
        kind of key must show: {kind: (face, ink, contrast ratio)}."""
        out = subprocess.run(self.run.wine.command(self.run.wine.bin / "yg_scheme.exe", "YgKeyPanel", scheme),
                             stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, check=False, **self.run.wine.options)
        time.sleep(0.8)  # the repaint
        if not self.c.equal(out.returncode, 0, f"the panel's colours switch to the {scheme} scheme"):
            return None
        kinds = {}
        for line in out.stdout.decode().splitlines()[1:]:
            kind, face, ink, ratio = line.split()
            kinds[kind] = (tuple(numbers(face)), tuple(numbers(ink)), float(ratio))
        return kinds

    def key_colours(self, screen, name):
        """(face, ink): the commonest colour inside the key, and of the colours drawn on it (three
        pixels or more) the one farthest from it."""
        counts = {}
        for x, y in self.visible_points(name, inset=self.run.px(60)):
            colour = screen.at(x, y)
            counts[colour] = counts.get(colour, 0) + 1
        if not counts:
            return None, None
        face = max(counts, key=counts.get)
        drawn = [c for c, n in counts.items() if c != face and n >= 3]
        ink = max(drawn, key=lambda c: sum(abs(a - b) for a, b in zip(c, face)), default=None)
        return face, ink

    def drawn_in(self, screen, name, face, ink, picture):
        """What is wrong, if anything, with a key meant to show `ink` on `face`: inside its edge
        every pixel must be the face or a blend towards the ink, and the caption or picture must
        show (thin punctuation, smoothed, reaches only a fifth of the way at small sizes).
        Captions blend each channel on its own (sub-pixel smoothing), so each channel need only
        lie between the two; a stroke picture blends all three alike. The face must be the
        picture's commonest colour; a caption can leave little of it (dense glyphs at 96 DPI)."""
        points = list(self.visible_points(name, inset=self.run.px(60)))
        counts, strongest, stray = {}, 0.0, []
        for x, y in points:
            c = screen.at(x, y)
            counts[c] = counts.get(c, 0) + 1
            if c == face:
                continue
            shares = [(v - f) / (i - f) if i != f else (0.0 if abs(v - f) <= 2 else -1.0)
                      for v, f, i in zip(c, face, ink)]
            if min(shares) < -0.02 or max(shares) > 1.02 or (picture and max(shares) - min(shares) > 0.05):
                stray.append(c)
            else:
                strongest = max(strongest, sum(shares) / 3)
        on_face = counts.get(face, 0)
        if on_face < 0.05 * len(points) or (picture and on_face < max(counts.values())):
            return f"its face is not {face} ({on_face} of {len(points)} pixels are)"
        if stray:
            return f"colours that are no blend of {face} and {ink}: {sorted(set(stray))[:4]}"
        if strongest < 0.15:
            return f"nothing drawn in {ink} shows (at most {strongest:.0%} of the way)"
        return None

    def check_colour_schemes(self):
        for scheme in ("dark", "light"):
            colours = self.switch(scheme)
            if colours is None:
                continue
            png = self.run.screen.shot(f"contrast-{scheme}.png")
            screen = Image(png)
            wrong, ratios = [], []
            for name in self.shown_keys():
                kind = "picture" if name in STROKE_KEYS else "focused" if name == FOCUSED_KEY else "button"
                face, ink, ratio = colours[kind]
                ratios.append(ratio)
                problem = self.drawn_in(screen, name, face, ink, kind == "picture")
                if problem:
                    wrong.append(f"{name}: {problem}")
            self.c.equal(wrong, [], f"{scheme} high contrast: each of {len(ratios)} keys shows its caption or "
                                    f"picture in the theme's colours for it")
            self.c.check(min(ratios) >= LEGIBLE, f"{scheme} high contrast: on every key, text or stroke and face "
                                                 f"differ by {LEGIBLE}:1 or more (least {min(ratios):.1f}:1)")
            for name in (FOCUSED_KEY, "skb(48)", "Image3"):
                self.log_key(scheme, name, self.key_colours(screen, name))
            self.enlarge_stroke_pad(png, f"stroke-pad-{scheme}-x4.png")

        # An ordinary scheme: no high contrast, so the candidate key keeps its focus colour, under
        # the scheme's red button text (told by WM_SYSCOLORCHANGE alone). Its caption's edges
        # blend, so the text is told by its reddest pixel, not by one exact colour.
        if self.switch("ruby") is not None:
            screen = Image(self.run.screen.shot("scheme-ruby.png"))
            face = self.key_colours(screen, FOCUSED_KEY)[0]
            reddest = max((screen.at(x, y) for x, y in self.visible_points(FOCUSED_KEY, inset=self.run.px(60))),
                          key=lambda c: c[0] - c[1])
            self.c.equal(face, CANDIDATE_FOCUS, "another ordinary scheme: the focused candidate key keeps its colour")
            self.c.check(reddest[0] - reddest[1] > 100, "another ordinary scheme: its caption is in the scheme's red",
                         f"reddest pixel {reddest}")
        if self.switch("start") is not None:
            screen = Image(self.run.screen.shot("scheme-start.png"))
            self.c.equal(self.key_colours(screen, FOCUSED_KEY)[0], CANDIDATE_FOCUS,
                         "back to the start's colours: the focused candidate key is yellow-green again")
            self.c.equal(self.picture_differences(screen, "Image3", STROKE_KEYS["Image3"][0]), 0,
                         "back to the start's colours: the H key shows its own picture again")

    @staticmethod
    def log_key(scheme, name, colours):
        face, ink = colours
        log(f"NOTE {scheme}: {name} face {face}, its strongest ink {ink}")
