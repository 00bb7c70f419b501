#!/usr/bin/env python3
"""Checks that every include of the sources follows the layer table.

The table is src/layers.txt: one line per folder of src/, from the bottom
up, naming the folders its files may include besides their own. The check
fails (exit 1) and names file, line and rule for:
  - an include of a folder the including layer may not use;
  - a Qt header outside the desktop program's folder;
  - a source folder that the table does not list;
  - a table line that lets a layer use itself, a later layer or an unknown one
    (the table itself must only point down).

  check-layering.py [--root DIR]            check the tree
  check-layering.py [--root DIR] --svg OUT  also draw the dependency matrix
  check-layering.py [--root DIR] --compare-svg FILE
                                            fail when FILE differs from the
                                            matrix the code draws today
"""

import argparse
import os
import re
import sys
from collections import Counter
from xml.sax.saxutils import escape

INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')
SOURCE_SUFFIXES = ('.h', '.hpp', '.cpp', '.cc', '.c')
# Only the desktop program's folder speaks Qt; the engine stays standard C++.
QT_FOLDER = 'ui'
QT_HEADER = re.compile(r'^(Q[A-Za-z0-9]+|Qt[A-Za-z0-9]+/.*|q[a-z0-9_]+\.h)$')


def read_table(path):
    """Returns [(layer, [allowed...], line number)] and the problems of the table."""
    layers, problems = [], []
    seen = []
    with open(path, encoding='utf-8') as f:
        for number, text in enumerate(f, 1):
            text = text.split('#', 1)[0].strip()
            if not text:
                continue
            words = text.split()
            layer, allowed = words[0], words[1:]
            if layer in seen:
                problems.append(f'{path}:{number}: layer "{layer}" is listed twice')
            for lower in allowed:
                if lower == layer:
                    problems.append(f'{path}:{number}: layer "{layer}" lists itself')
                elif lower not in seen:
                    problems.append(f'{path}:{number}: layer "{layer}" may use "{lower}", '
                                    'which is not a layer listed above it')
            seen.append(layer)
            layers.append((layer, allowed, number))
    return layers, problems


def source_files(folder):
    for directory, subfolders, files in os.walk(folder):
        subfolders.sort()
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(directory, name)


def scan(root):
    """Checks the tree below root; returns (problems, Counter of (from, to) layer includes)."""
    src = os.path.join(root, 'src')
    table_path = os.path.join(src, 'layers.txt')
    layers, problems = read_table(table_path)
    names = [layer for layer, _, _ in layers]
    allowed = {layer: set(uses) for layer, uses, _ in layers}
    uses = Counter()

    for entry in sorted(os.listdir(src)):
        if os.path.isdir(os.path.join(src, entry)) and entry not in allowed:
            problems.append(f'src/{entry}/: a source folder that src/layers.txt does not list '
                            '(add it to the table where it belongs)')

    for layer in names:
        folder = os.path.join(src, layer)
        if not os.path.isdir(folder):
            continue
        for path in source_files(folder):
            relative = os.path.relpath(path, root)
            with open(path, encoding='utf-8', errors='replace') as f:
                for number, line in enumerate(f, 1):
                    match = INCLUDE.match(line)
                    if not match:
                        continue
                    bracket, target = match.groups()
                    if bracket == '<':
                        if layer != QT_FOLDER and QT_HEADER.match(target):
                            problems.append(f'{relative}:{number}: includes Qt header <{target}>; '
                                            f'only src/{QT_FOLDER}/ may use Qt')
                        continue
                    first = target.split('/', 1)[0]
                    if '/' not in target or first not in allowed:
                        continue  # a file beside it, or a third-party header
                    if first == layer:
                        continue
                    uses[(layer, first)] += 1
                    if first not in allowed[layer]:
                        upward = names.index(first) > names.index(layer)
                        why = 'a higher layer' if upward else 'a layer it may not use'
                        problems.append(f'{relative}:{number}: layer "{layer}" includes "{target}" '
                                        f'of {why} ("{first}"); src/layers.txt lets "{layer}" use: '
                                        f'{", ".join(sorted(allowed[layer], key=names.index)) or "nothing"}')
    return problems, uses, layers


def matrix_svg(layers, uses):
    """The design structure matrix: a row per including layer, a column per
    included layer, from the bottom up. Allowed cells are pale, a dark cell
    is a pair that includes use, a red cell an include the table forbids. A
    layered design fills only the lower left triangle. Counts are left out,
    so the picture changes only when a layer starts or stops using another."""
    names = [layer for layer, _, _ in layers]
    allowed = {layer: set(u) for layer, u, _ in layers}
    cell, left, top = 34, 110, 56
    width = max(left + cell * len(names) + 20, 640)
    height = top + cell * len(names) + 60
    out = [f'<svg xmlns="http://www.w3.org/2000/svg" width="{width}" height="{height}" '
           f'font-family="sans-serif" font-size="12">',
           f'<rect width="{width}" height="{height}" fill="white"/>',
           f'<text x="{left}" y="18" font-size="14" font-weight="bold">Layer dependencies '
           '(row includes column)</text>']
    for j, name in enumerate(names):
        x = left + j * cell + cell / 2
        out.append(f'<text x="{x}" y="{top - 8}" text-anchor="middle">{j + 1}</text>')
    for i, row in enumerate(names):
        y = top + i * cell
        out.append(f'<text x="{left - 6}" y="{y + cell / 2 + 4}" text-anchor="end">'
                   f'{escape(row)}  {i + 1}</text>')
        for j, column in enumerate(names):
            x = left + j * cell
            count = uses.get((row, column), 0)
            if row == column:
                fill = '#9a9a9a'
            elif column in allowed[row]:
                fill = '#3d7ebf' if count else '#dbe8f5'
            else:
                fill = '#e0413a' if count else 'white'
            out.append(f'<rect x="{x}" y="{y}" width="{cell}" height="{cell}" fill="{fill}" '
                       'stroke="#b0b0b0"/>')
    y = top + cell * len(names) + 24
    out.append(f'<text x="{left}" y="{y}">Columns: the layers of the rows, by number. Dark blue: the row includes</text>')
    out.append(f'<text x="{left}" y="{y + 16}">the column. Pale blue: allowed by src/layers.txt, unused. Red: forbidden, used.</text>')
    out.append('</svg>')
    return '\n'.join(out) + '\n'


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument('--root', default=os.path.join(os.path.dirname(os.path.abspath(__file__)), '..'))
    parser.add_argument('--svg', help='write the dependency matrix to this file')
    parser.add_argument('--compare-svg', help='fail when this file differs from the matrix of the code')
    arguments = parser.parse_args()

    problems, uses, layers = scan(arguments.root)
    picture = matrix_svg(layers, uses)
    if arguments.svg:
        with open(arguments.svg, 'w', encoding='utf-8') as f:
            f.write(picture)
    if arguments.compare_svg:
        try:
            with open(arguments.compare_svg, encoding='utf-8') as f:
                drawn = f.read()
        except OSError as error:
            drawn = None
            problems.append(f'{arguments.compare_svg}: cannot be read: {error.strerror}')
        if drawn is not None and drawn != picture:
            problems.append(f'{arguments.compare_svg}: the picture no longer matches the code; '
                            f'redraw it with scripts/check-layering.py --svg {arguments.compare_svg}')
    for problem in problems:
        print(problem, file=sys.stderr)
    if problems:
        print(f'layering check: {len(problems)} problem(s)', file=sys.stderr)
        return 1
    print(f'layering check: {sum(uses.values())} includes between {len(layers)} layers follow src/layers.txt')
    return 0


if __name__ == '__main__':
    sys.exit(main())
