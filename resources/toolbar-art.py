#!/usr/bin/env python3
"""Writes toolbar.xpm: the nine tool bar buttons (16 x 15 each, side by side) from the pixel
art below. ImageMagick turns it into toolbar.png: convert toolbar.xpm toolbar.png"""

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


def main():
    width, height = 16 * len(ICONS), 15
    rows = []
    for y in range(height):
        row = ''
        for icon in ICONS:
            line = icon[y]
            assert len(line) == 16, (icon[y], len(line))
            row += line
        rows.append(row)
    out = ['/* XPM */', 'static char *toolbar[] = {',
           f'"{width} {height} {len(PALETTE)} 1",']
    out += [f'"{key} c {value}",' for key, value in PALETTE.items()]
    out += [f'"{row}",' for row in rows]
    out[-1] = out[-1].rstrip(',')
    out.append('};')
    with open('toolbar.xpm', 'w') as f:
        f.write('\n'.join(out) + '\n')


if __name__ == '__main__':
    main()
