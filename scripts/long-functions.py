#!/usr/bin/env python3
"""Lists the function bodies under a folder (default src) longer than a number of lines (default 60),
from the line that begins the definition to its closing brace. It reads the layout that .clang-format
gives the sources: a definition starts at the margin or one indent in (a class body)."""
import os
import re
import sys

limit = int(sys.argv[1]) if len(sys.argv) > 1 else 60
root = sys.argv[2] if len(sys.argv) > 2 else 'src'
opening = re.compile(r'^(\s{0,4})[A-Za-z~].*\)\s*(const\s*)?(override\s*)?(noexcept\s*)?(:.*)?\{\s*$')
continued = re.compile(r'^(\s{0,4})[A-Za-z~][^;]*\($')
for folder, _, files in sorted(os.walk(root)):
    for name in sorted(files):
        if not name.endswith(('.cpp', '.h')):
            continue
        path = os.path.join(folder, name)
        with open(path, encoding='utf-8') as source:
            lines = source.read().split('\n')
        i = 0
        while i < len(lines):
            line = lines[i]
            if (opening.match(line) or continued.match(line)) and \
                    not re.match(r'^\s*(namespace|class|struct|enum|extern)\b', line):
                indent = len(line) - len(line.lstrip())
                j = i
                while j < len(lines) and not lines[j].rstrip().endswith(('{', ';')):
                    j += 1
                if j < len(lines) and lines[j].rstrip().endswith('{'):
                    close = ' ' * indent + '}'
                    k = j + 1
                    while k < len(lines) and not (lines[k].startswith(close) and
                                                  lines[k][indent + 1:indent + 2] in ('', ';', ')', ' ')):
                        k += 1
                    if k - i + 1 > limit:
                        print(f'{path}:{i + 1}: {k - i + 1} lines: {line.strip()[:90]}')
                    i = k
            i += 1
