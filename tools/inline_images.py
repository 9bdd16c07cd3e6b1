#!/usr/bin/env python3
"""Writes the manual page with its pictures inlined as data: addresses, so
that the one file beside the program shows them wherever it is copied.

    inline_images.py <manual.html> <output.html>

Every src="images/<name>.png" is replaced by the picture's bytes; a picture
that is missing is an error, so a broken manual never ships.
"""
import base64
import os
import re
import sys


def main():
    source, output = sys.argv[1], sys.argv[2]
    folder = os.path.dirname(os.path.abspath(source))
    with open(source, encoding="utf-8") as f:
        text = f.read()

    def inline(match):
        path = os.path.join(folder, match.group(1))
        with open(path, "rb") as picture:
            data = base64.b64encode(picture.read()).decode("ascii")
        return 'src="data:image/png;base64,' + data + '"'

    text = re.sub(r'src="(images/[A-Za-z0-9_.-]+\.png)"', inline, text)
    with open(output, "w", encoding="utf-8", newline="\n") as f:
        f.write(text)


if __name__ == "__main__":
    main()
