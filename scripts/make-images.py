#!/usr/bin/env python3
"""Draws the program's images into res/images: the header mark (82x30, 24-bit), the four
folder images of the directory tree (64x16, 4-bit) and the program icon (32x32 and 16x16,
16 colours). The pixel art below is the source; run this script after changing it."""
import os
import struct

KEY = (255, 0, 255)      # drawn transparent
MARK = (0, 102, 163)

# The Windows 16-colour palette; index 13 is the key colour.
PALETTE = [
    (0, 0, 0), (128, 0, 0), (0, 128, 0), (128, 128, 0), (0, 0, 128), (128, 0, 128),
    (0, 128, 128), (192, 192, 192), (128, 128, 128), (255, 0, 0), (0, 255, 0),
    (255, 255, 0), (0, 0, 255), (255, 0, 255), (0, 255, 255), (255, 255, 255),
]

# Header mark: a printer and the letters of the product, '#' is the mark colour.
HEADER = """
..................................................................................
..................................................................................
..................................................................................
.......##############.............................................................
.......#............#.............................................................
.......#.##########.#.............................................................
.......#............#.............................................................
.......#.########...#.........##############...###......###...###........###......
..######################......##############...###......###...###........###......
.##....................##.....##############...###......###...###........###......
.#......................#.............#####....###......###....###......###.......
.#..................###.#............#####.....###......###....###......###.......
.#..................###.#...........#####......###......###.....###....###........
.#......................#..........#####.......###......###.....###....###........
.#......................#.........#####........###......###......###..###.........
.#...##############.....#........#####.........###......###......###..###.........
.#...#............#.....#.......#####..........###......###.......######..........
.#...#............#.....#......#####...........###......###.......######..........
.##..#............#....##.....#####............####....####........####...........
..####............######......##############....##########.........####...........
.....#..########..#...........##############.....########...........##............
.....#............#...........##############......######............##............
.....#..########..#...............................................................
.....#............#...............................................................
.....##############...............................................................
..................................................................................
..................................................................................
..................................................................................
..................................................................................
..................................................................................
"""

# Folders, 16x16 each. Letters name palette entries below; '.' is the key colour.
FOLDER_CLOSED = """
................
................
..kkkkk.........
.kyyyyyk........
kyyyyyyykkkkkkk.
kwwwwwwwwwwwwwyk
kwyyyyyyyyyyyyok
kwyyyyyyyyyyyyok
kwyyyyyyyyyyyyok
kwyyyyyyyyyyyyok
kwyyyyyyyyyyyyok
kwyyyyyyyyyyyyok
kwyyyyyyyyyyyyok
kooooooooooooook
.kkkkkkkkkkkkkk.
................
"""

FOLDER_OPEN = """
................
................
..kkkkk.........
.kyyyyyk........
kyyyyyyykkkkkk..
kywwwwwwwwwwwyk.
kywkkkkkkkkkkkkk
kywkyyyyyyyyyyyk
kykyyyyyyyyyyyk.
kykyyyyyyyyyyyk.
kkyyyyyyyyyyyk..
kkyyyyyyyyyyyk..
kyyyyyyyyyyyk...
koooooooooook...
.kkkkkkkkkkk....
................
"""

FOLDER_COLOURS = {'.': 13, 'k': 0, 'y': 11, 'w': 15, 'o': 3}
GREY_COLOURS = {'.': 13, 'k': 8, 'y': 7, 'w': 15, 'o': 8}

# Icon, 32x32: a printer with a sheet; ' ' is transparent.
ICON32 = """
                                
                                
                                
         wwwwwwwwwwwwww         
         w............w         
         w.bbbbbbbbbb.w         
         w............w         
         w.bbbbbbbbb..w         
         w............w         
         w.bbbbbbb....w         
    kkkkkkkkkkkkkkkkkkkkkkkk    
   kssssssssssssssssssssssssk   
  kssssssssssssssssssssssssssk  
  ksssssssssssssssssssssBBBssk  
  ksssssssssssssssssssssBBBssk  
  kssssssssssssssssssssssssssk  
  ksssssssssssssssssssssssssgk  
  kssggggggggggggggggggggggssk  
  kssgkkkkkkkkkkkkkkkkkkkkgssk  
  kssgk..................kgsgk  
  kssgk..................kgssk  
  kgggk..................kgggk  
   kkkk..................kkkk   
      k..bbbbbbbbbbbbbb..k      
      k..................k      
      k..bbbbbbbbbbbb....k      
      k..................k      
      kkkkkkkkkkkkkkkkkkkk      
                                
                                
                                
                                
"""

ICON16 = """
                
    wwwwwwww    
    w......w    
    w.bbbb.w    
    w......w    
  kkkkkkkkkkkk  
 kssssssssssssk 
 ksssssssssBBsk 
 ksssssssssssgk 
 ksgggggggggssk 
 ksgkkkkkkkkgsk 
 kggk......kggk 
  kkk.bbbb.kkk  
    k......k    
    kkkkkkkk    
                
"""

ICON_COLOURS = {' ': 0, 'k': 0, 'w': 15, '.': 15, 'b': 12, 'B': 4, 's': 7, 'g': 8}


def rows(art, width, height):
    lines = [line for line in art.split('\n')[1:-1]]
    assert len(lines) == height, (len(lines), height)
    for line in lines:
        assert len(line) == width, (len(line), width, line)
    return lines


def bmp_file(width, height, bpp, pixel_rows, palette=None):
    """pixel_rows: top to bottom; 24-bit rows hold (r, g, b), 4-bit rows palette indices."""
    stride = ((width * bpp + 31) // 32) * 4
    data = b''
    for row in reversed(pixel_rows):
        if bpp == 24:
            line = b''.join(bytes((b, g, r)) for (r, g, b) in row)
        else:
            line = bytes((row[i] << 4) | (row[i + 1] if i + 1 < width else 0) for i in range(0, width, 2))
        data += line + b'\0' * (stride - len(line))
    colours = b''.join(bytes((b, g, r, 0)) for (r, g, b) in palette) if palette else b''
    header = struct.pack('<IiiHHIIiiII', 40, width, height, 1, bpp, 0, len(data), 2835, 2835,
                         len(palette) if palette else 0, 0)
    offset = 14 + len(header) + len(colours)
    return struct.pack('<2sIHHI', b'BM', offset + len(data), 0, 0, offset) + header + colours + data


def icon_image(art, size):
    lines = rows(art, size, size)
    index_rows = [[ICON_COLOURS[c] for c in line] for line in lines]
    stride = ((size * 4 + 31) // 32) * 4
    mask_stride = ((size + 31) // 32) * 4
    xor = b''
    mask = b''
    for y in reversed(range(size)):
        row = index_rows[y]
        line = bytes((row[i] << 4) | row[i + 1] for i in range(0, size, 2))
        xor += line + b'\0' * (stride - len(line))
        bits = 0
        mline = b''
        for x, c in enumerate(lines[y]):
            bits = (bits << 1) | (1 if c == ' ' else 0)
            if x % 8 == 7:
                mline += bytes((bits,))
                bits = 0
        mask += mline + b'\0' * (mask_stride - len(mline))
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 4, 0, len(xor) + len(mask), 0, 0, 16, 0)
    colours = b''.join(bytes((b, g, r, 0)) for (r, g, b) in PALETTE)
    return header + colours + xor + mask


def main():
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'res', 'images')
    os.makedirs(out, exist_ok=True)

    header = [[MARK if c == '#' else KEY for c in line] for line in rows(HEADER, 82, 30)]
    with open(os.path.join(out, 'header.bmp'), 'wb') as f:
        f.write(bmp_file(82, 30, 24, header))

    images = [(FOLDER_CLOSED, FOLDER_COLOURS), (FOLDER_CLOSED, GREY_COLOURS),
              (FOLDER_OPEN, FOLDER_COLOURS), (FOLDER_OPEN, GREY_COLOURS)]
    strip = [[] for _ in range(16)]
    for art, colours in images:
        for y, line in enumerate(rows(art, 16, 16)):
            strip[y].extend(colours[c] for c in line)
    with open(os.path.join(out, 'folders.bmp'), 'wb') as f:
        f.write(bmp_file(64, 16, 4, strip, PALETTE))

    images = [icon_image(ICON32, 32), icon_image(ICON16, 16)]
    directory = struct.pack('<HHH', 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for image, size in zip(images, (32, 16)):
        directory += struct.pack('<BBBBHHII', size, size, 16, 0, 1, 4, len(image), offset)
        offset += len(image)
    with open(os.path.join(out, 'setup.ico'), 'wb') as f:
        f.write(directory + b''.join(images))


if __name__ == '__main__':
    main()
