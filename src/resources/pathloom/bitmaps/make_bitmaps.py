#!/usr/bin/python3
"""Draws Pathloom's bitmaps and writes them as Windows BMP files beside this script.

    /usr/bin/python3 make_bitmaps.py [folder]

Needs only Python's standard library, plus ImageMagick's `convert` and the DejaVu fonts
(fonts-dejavu-extra) for the words of the status strip. The .bmp files are committed: the
build uses them as they are and never runs this script. It also paints the three programs'
icons (program_icons.py) into each program's resource folder, or into the folder given.

One house palette of 16 colours runs through the set. The small pictures (node icons,
animation, orientation pictures, status strip) are 4-bit and use exactly that palette, with
white as their transparent colour; the parts that look white are "paper", a near-white. The
two large pictures are painted in 24 bits from the same colours and also written in 8 bits
with a colour table of their own.
"""
import os
import subprocess
import sys

from bmp import write_indexed, write_rgb
from palette import HOUSE
from program_icons import ICONS, write_icon
from large_pictures import finish_picture, start_picture
from node_icons import node_icons
from quantize import quantize
from small_pictures import animation_strip, orientation_pictures, status_strip

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, "..", "..", "..", ".."))
ICON_FOLDERS = {"pathloom": "src/resources/pathloom", "retractor": "src/resources/retractor",
                "plotwright": "plotwright"}

NODE_ICONS = [  # file name, in the tree's image list order
    "node_page_with_links", "node_ftp_site", "node_not_read", "node_mail_link",
    "node_read_error", "node_no_links", "node_image_map", "node_page_limit",
    "node_queued", "node_top_of_chart", "node_dont_map", "node_ftp_folder", "node_file",
]


def write_sprite(folder, name, sprite):
    write_indexed(os.path.join(folder, name + ".bmp"), sprite.width, sprite.height, 4, HOUSE, sprite.pixels)


def write_both(folder, name, picture):
    write_rgb(os.path.join(folder, name + "_24.bmp"), picture.width, picture.height, picture.rgb())
    table, indices = quantize(picture.rgb(), 256, keep=HOUSE)
    write_indexed(os.path.join(folder, name + "_8.bmp"), picture.width, picture.height, 8, table, indices)


def main():
    folder = sys.argv[1] if len(sys.argv) > 1 else HERE
    os.makedirs(folder, exist_ok=True)
    for name, icon in zip(NODE_ICONS, node_icons()):
        write_sprite(folder, name, icon)
    write_sprite(folder, "animation", animation_strip())
    for name, picture in zip(("horizontal", "vertical", "org_chart"), orientation_pictures()):
        write_sprite(folder, "orient_" + name, picture)
    write_sprite(folder, "status", status_strip())
    write_both(folder, "start", start_picture())
    write_both(folder, "finish", finish_picture())
    for name, draw in ICONS.items():
        icon_folder = folder if len(sys.argv) > 1 else os.path.join(ROOT, ICON_FOLDERS[name])
        write_icon(os.path.join(icon_folder, name + ".ico"), draw)


if __name__ == "__main__":
    try:
        main()
    except (OSError, subprocess.CalledProcessError) as e:
        sys.exit("make_bitmaps: " + str(e))
