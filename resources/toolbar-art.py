#!/usr/bin/env python3
"""Writes toolbar.xpm: the nine tool bar buttons (16 x 15 each, side by side) from the pixel
art below, and toolbar@2x.xpm, the same buttons at 32 x 30 for screens of twice the density.
ImageMagick turns them into PNG: convert toolbar.xpm toolbar.png"""

PALETTE = {
    '.': 'None', 'k': '#000000', 'w': '#FFFFFF', 'g': '#808080', 'l': '#C0C0C0',
    'y': '#FFE080', 'o': '#C08000', 'b': '#2050C0', 'c': '#80C0FF', 'r': '#C02020',
    'n': '#208020',
}

ICONS = [
    # New: a blank page with a folded corner.
    ["................",
     "..kkkkkkkk......",
     "..kwwwwwwkk.....",
     "..kwwwwwwkwk....",
     "..kwwwwwwkkkk...",
     "..kwwwwwwwwwk...",
     "..kwwwwwwwwwk...",
     "..kwwwwwwwwwk...",
     "..kwwwwwwwwwk...",
     "..kwwwwwwwwwk...",
     "..kwwwwwwwwwk...",
     "..kwwwwwwwwwk...",
     "..kwwwwwwwwwk...",
     "..kkkkkkkkkkk...",
     "................"],
    # Open: a folder, opened.
    ["................",
     "................",
     "..........kkk...",
     ".kkkk....k...k.k",
     "kyyyyk.......kk.",
     "kyyyyykkkkk.kkk.",
     "kyyyyyyyyyk.....",
     "kyyyykkkkkkkkkk.",
     "kyyykooooooooook",
     "kyykooooooooook.",
     "kykooooooooook..",
     "kkooooooooook...",
     "kkkkkkkkkkkk....",
     "................",
     "................"],
    # Save: a floppy disk.
    ["................",
     ".kkkkkkkkkkkkk..",
     ".kbkwwwwwwwkbk..",
     ".kbkwwwwwwwkbk..",
     ".kbkwwwwwwwkbk..",
     ".kbkwwwwwwwkbk..",
     ".kbbkkkkkkkbbk..",
     ".kbbbbbbbbbbbk..",
     ".kbbkkkkkkkbbk..",
     ".kbbklkkllkbbk..",
     ".kbbklkkllkbbk..",
     ".kbbklkkllkbbk..",
     "..kkkkkkkkkkkk..",
     "................",
     "................"],
    # Cut: scissors.
    ["................",
     "....k.....k.....",
     "....k.....k.....",
     "....k.....k.....",
     "....kk...kk.....",
     ".....k...k......",
     ".....kk.kk......",
     "......kkk.......",
     ".......k........",
     "......bkb.......",
     "....bbb.bbb.....",
     "...b..b.b..b....",
     "...b..b.b..b....",
     "...b..b.b..b....",
     "....bb...bb....."],
    # Copy: two pages.
    ["................",
     "kkkkkk..........",
     "kwwwwkk.........",
     "kwkkwkwk........",
     "kwwwwkkkkkkk....",
     "kwkkkkwwwwkkk...",
     "kwwwwkwkkwkwkk..",
     "kwkkkkwwwwkkkkk.",
     "kwwwwkwkkkkkwwk.",
     "kkkkkkwwwwwwwwk.",
     ".....kwkkkkkkwk.",
     ".....kwwwwwwwwk.",
     ".....kwkkkkkkwk.",
     ".....kwwwwwwwwk.",
     ".....kkkkkkkkkk."],
    # Paste: a clipboard with a page.
    ["................",
     ".....kkkk.......",
     ".kkkkyyyykkkk...",
     "kooookkkkooook..",
     "kookkkkkkkkook..",
     "kooowwwwwwwook..",
     "kooowkkkkkwook..",
     "kooowwwwwwwkkkkk",
     "kooowkkkkkwkwwwk",
     "kooowwwwwwwkwwwk",
     "kooowkkkkkwkwwwk",
     "kooowwwwwwwkwwwk",
     "koooooooooookkkk",
     ".kkkkkkkkkkkk...",
     "................"],
    # Automatic slideshow: a picture with a play triangle.
    ["................",
     "kkkkkkkkkkkkkkkk",
     "kcccccccccccccck",
     "kcccwwccccccccck",
     "kccwwwwcckccccck",
     "kccccccckkkccnck",
     "kccccccckkkkcnnk",
     "kcccnnncckkkkknk",
     "knnnnnnnckkknnnk",
     "knnnnnnnnkknnnnk",
     "knnnnnnnnknnnnnk",
     "kkkkkkkkkkkkkkkk",
     "................",
     "................",
     "................"],
    # Manual slideshow: a picture with a step arrow and a bar.
    ["................",
     "kkkkkkkkkkkkkkkk",
     "kcccccccccccccck",
     "kcccwwccccccccck",
     "kccwwwwckcckccck",
     "kccccccckkckcnck",
     "kccccccckkkkcnnk",
     "kcccnnnckkkkcnnk",
     "knnnnnnnkkkknnnk",
     "knnnnnnnkkcknnnk",
     "knnnnnnnkncknnnk",
     "kkkkkkkkkkkkkkkk",
     "................",
     "................",
     "................"],
    # About: a speech balloon with a question mark.
    ["................",
     "...kkkkkkkkkk...",
     "..kwwwwwwwwwwk..",
     ".kwwwwbbbbwwwwk.",
     ".kwwwbbwwbbwwwk.",
     ".kwwwwwwwbbwwwk.",
     ".kwwwwwwbbwwwwk.",
     ".kwwwwwbbwwwwwk.",
     ".kwwwwwwwwwwwwk.",
     "..kwwwwbbwwwwk..",
     "...kkwwkkkkkk...",
     ".....kwk........",
     "......kk........",
     ".......k........",
     "................"],
]


def scale2x(icon):
    """Doubles pixel art without blurring it: each pixel becomes four, and a corner of the four
    takes the colour of the two neighbours that meet there when they agree (so diagonal edges
    stay diagonal instead of turning into steps twice as large)."""
    h, w = len(icon), len(icon[0])

    def at(x, y, default):
        return icon[y][x] if 0 <= x < w and 0 <= y < h else default

    out = [[''] * (2 * w) for _ in range(2 * h)]
    for y in range(h):
        for x in range(w):
            p = icon[y][x]
            a, b, c, d = at(x, y - 1, p), at(x + 1, y, p), at(x - 1, y, p), at(x, y + 1, p)
            out[2 * y][2 * x] = a if c == a and c != d and a != b else p
            out[2 * y][2 * x + 1] = b if a == b and a != c and b != d else p
            out[2 * y + 1][2 * x] = c if d == c and d != b and c != a else p
            out[2 * y + 1][2 * x + 1] = d if b == d and b != a and d != c else p
    return [''.join(row) for row in out]


def write_strip(icons, name, path):
    height = len(icons[0])
    width = sum(len(icon[0]) for icon in icons)
    rows = [''.join(icon[y] for icon in icons) for y in range(height)]
    out = ['/* XPM */', f'static char *{name}[] = {{',
           f'"{width} {height} {len(PALETTE)} 1",']
    out += [f'"{key} c {value}",' for key, value in PALETTE.items()]
    out += [f'"{row}",' for row in rows]
    out[-1] = out[-1].rstrip(',')
    out.append('};')
    with open(path, 'w') as f:
        f.write('\n'.join(out) + '\n')


def main():
    for icon in ICONS:
        assert len(icon) == 15, icon
        for line in icon:
            assert len(line) == 16, (line, len(line))
    write_strip(ICONS, 'toolbar', 'toolbar.xpm')
    write_strip([scale2x(icon) for icon in ICONS], 'toolbar_2x', 'toolbar@2x.xpm')


if __name__ == '__main__':
    main()
