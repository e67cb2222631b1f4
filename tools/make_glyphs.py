#!/usr/bin/env python3
"""Draws the glyph library as SVG files into assets/glyphs and writes the
resource file assets/glyphs.qrc. Run it again after changing a picture.

Letters are drawn as outlines (from build/tools/wexo_letter_paths, built with
`ninja -C build wexo_letter_paths`), so a glyph needs no font to draw."""
import os
import subprocess

HERE = os.path.dirname(os.path.abspath(__file__))
OUT = os.path.join(HERE, "..", "assets", "glyphs")
LETTER_PATHS = os.environ.get("WEXO_LETTER_PATHS", os.path.join(HERE, "..", "build", "tools", "wexo_letter_paths"))


def letter_paths(pixel_size, letters):
    """The bold DejaVu Sans outline of each letter, centred on its baseline."""
    out = subprocess.run([LETTER_PATHS, "DejaVu Sans", str(pixel_size), letters], check=True, capture_output=True,
                         text=True, env=dict(os.environ, QT_QPA_PLATFORM="offscreen")).stdout
    return dict(line.split("\t", 1) for line in out.splitlines())


def metal_tile(outline):
    return f'''<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 48 48" width="48" height="48">
  <defs>
    <linearGradient id="m" x1="0" y1="0" x2="0" y2="1">
      <stop offset="0" stop-color="#f7f8fa"/><stop offset="0.45" stop-color="#c9ced6"/>
      <stop offset="0.55" stop-color="#aeb5bf"/><stop offset="1" stop-color="#e3e6ea"/>
    </linearGradient>
    <linearGradient id="e" x1="0" y1="0" x2="1" y2="1">
      <stop offset="0" stop-color="#ffffff"/><stop offset="1" stop-color="#6b737e"/>
    </linearGradient>
  </defs>
  <rect x="2" y="2" width="44" height="44" rx="8" fill="url(#e)"/>
  <rect x="4" y="4" width="40" height="40" rx="6.5" fill="url(#m)"/>
  <path d="M6 12 Q24 4 42 12 L42 10 Q24 2 6 10 Z" fill="#ffffff" opacity="0.6"/>
  <path transform="translate(25 35)" fill="#ffffff" opacity="0.8" d="{outline}"/>
  <path transform="translate(24 34)" fill="#3b4350" d="{outline}"/>
</svg>
'''


def red_digit(outline):
    return f'''<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16" width="16" height="16">
  <path transform="translate(8 14)" fill="#d01010" d="{outline}"/>
</svg>
'''


SIMPLE = {
    # search: a magnifying glass, light on the dark title bar
    "SUCHEN": '''<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16" width="16" height="16">
  <circle cx="6.5" cy="6.5" r="4.5" fill="none" stroke="#ffffff" stroke-width="2"/>
  <path d="M10 10 L14.5 14.5" stroke="#ffffff" stroke-width="2.4" stroke-linecap="round"/>
</svg>
''',
    # exit: a green arrow pointing back
    "GT_ZURUECK": '''<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 32 32" width="32" height="32">
  <circle cx="16" cy="16" r="14" fill="#2f8f3a"/><circle cx="16" cy="16" r="12.5" fill="#3fae4b"/>
  <path d="M8 16 L15 9 L15 13 L24 13 L24 19 L15 19 L15 23 Z" fill="#ffffff"/>
</svg>
''',
    "GT_PLAY": '''<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16" width="16" height="16">
  <circle cx="8" cy="8" r="7" fill="#2f8f3a"/><path d="M6 4.5 L11.5 8 L6 11.5 Z" fill="#ffffff"/>
</svg>
''',
    "GT_LEEREN": '''<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16" width="16" height="16">
  <path d="M3 4 H13 L12 15 H4 Z" fill="#c23b2a"/><rect x="2" y="2.5" width="12" height="2" rx="0.5" fill="#8c2418"/>
  <rect x="6" y="1" width="4" height="2" fill="#8c2418"/>
  <path d="M6 6.5 V13 M8 6.5 V13 M10 6.5 V13" stroke="#ffffff" stroke-width="1"/>
</svg>
''',
    "GT_NEUANLAGE": '''<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16" width="16" height="16">
  <path d="M3 1.5 H10 L13 4.5 V14.5 H3 Z" fill="#ffffff" stroke="#5b6470"/>
  <path d="M10 1.5 V4.5 H13" fill="none" stroke="#5b6470"/>
  <circle cx="11.5" cy="11.5" r="4" fill="#f08a00"/><path d="M11.5 9 V14 M9 11.5 H14" stroke="#ffffff" stroke-width="1.6"/>
</svg>
''',
    "GT_EXPORT": '''<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16" width="16" height="16">
  <rect x="1.5" y="4.5" width="8" height="10" fill="#ffffff" stroke="#5b6470"/>
  <rect x="6.5" y="1.5" width="8" height="10" fill="#e9f1fb" stroke="#2f6fb5"/>
</svg>
''',
    "GT_SPEICHERN": '''<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16" width="16" height="16">
  <path d="M1.5 1.5 H12.5 L14.5 3.5 V14.5 H1.5 Z" fill="#2f6fb5"/>
  <rect x="4" y="1.5" width="7" height="5" fill="#ffffff"/><rect x="8.5" y="2.5" width="1.5" height="3" fill="#2f6fb5"/>
  <rect x="3.5" y="9" width="9" height="5.5" fill="#e9f1fb"/>
</svg>
''',
    "BEARBEITEN": '''<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16" width="16" height="16">
  <path d="M2 14 L3 10.5 L11 2.5 L13.5 5 L5.5 13 Z" fill="#f4c542" stroke="#8a6a12" stroke-width="0.8"/>
  <path d="M11 2.5 L13.5 5 L14.5 4 L12 1.5 Z" fill="#d46a6a"/>
  <path d="M2 14 L3 10.5 L5.5 13 Z" fill="#5b4a2a"/>
</svg>
''',
    # task indicator: orange round button with a white triangle pointing right
    "AUFGABE": '''<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 16 16" width="16" height="16">
  <defs><radialGradient id="o" cx="0.4" cy="0.35" r="0.7">
    <stop offset="0" stop-color="#ffc15e"/><stop offset="1" stop-color="#e46f00"/></radialGradient></defs>
  <circle cx="8" cy="8" r="7" fill="url(#o)" stroke="#b85600" stroke-width="0.8"/>
  <path d="M6.3 4.6 L11.2 8 L6.3 11.4 Z" fill="#ffffff"/>
</svg>
''',
    # program icon
    "WEXO": '''<svg xmlns="http://www.w3.org/2000/svg" viewBox="0 0 48 48" width="48" height="48">
  <rect x="3" y="3" width="42" height="42" rx="8" fill="#6f6f6f"/>
  <path d="M12 18 L24 11 L36 18 L36 33 L24 40 L12 33 Z" fill="#f08a00"/>
  <path d="M12 18 L24 25 L36 18 M24 25 V40" stroke="#ffffff" stroke-width="2" fill="none"/>
</svg>
''',
}


def main():
    os.makedirs(OUT, exist_ok=True)
    names = []
    letters = letter_paths(27, "VDXWAFSBE")
    for letter in "VDXWAFSBE":
        name = f"CHAR{letter}METAL"
        names.append(name)
        with open(os.path.join(OUT, name + ".svg"), "w") as f:
            f.write(metal_tile(letters[letter]))
    digits = letter_paths(15, "12345")
    for d in range(1, 6):
        name = f"ZAHL{d}RED"
        names.append(name)
        with open(os.path.join(OUT, name + ".svg"), "w") as f:
            f.write(red_digit(digits[str(d)]))
    for name, svg in SIMPLE.items():
        names.append(name)
        with open(os.path.join(OUT, name + ".svg"), "w") as f:
            f.write(svg)
    with open(os.path.join(OUT, "..", "glyphs.qrc"), "w") as f:
        f.write("<!DOCTYPE RCC><RCC version=\"1.0\">\n<qresource prefix=\"/\">\n")
        for name in sorted(names):
            f.write(f"  <file>glyphs/{name}.svg</file>\n")
        f.write("</qresource>\n</RCC>\n")


if __name__ == "__main__":
    main()
