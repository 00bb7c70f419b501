#!/usr/bin/env python3
"""Lists the English texts of the program that a shipped language lacks.

Usage: missing-translations.py --source SRC_DIR --info INFO_DIR [--unused]

Finds every string literal passed directly to Translate(, TranslateCStr(,
TranslateFormat(, TranslatableText( or Tr( (the desktop program's shorthand
for Translate into a QString) in the C++ sources under SRC_DIR
(adjacent literals joined and escapes decoded, as the compiler would), reads
the language list INFO_DIR/langs.txt and every language file it names except
English's, and prints one line for each text a language has no line for.
Exits with 1 when anything is missing or a language file cannot be read,
0 otherwise. --unused also lists lines of a language file that no source uses
(information only; it does not change the exit status).

The language files are read exactly as the program reads them: lines starting
with '#' and empty lines are skipped, the first pair of double quotes holds the
English text and the second its translation, without escapes. A text with a
double quote or a line break can therefore not be translated at all and is
reported as such.
"""

import argparse
import os
import sys

TRANSLATING_FUNCTIONS = {"Translate", "TranslateCStr", "TranslateFormat", "TranslatableText", "Tr"}
SOURCE_SUFFIXES = (".cpp", ".cc", ".cxx", ".h", ".hh", ".hpp", ".hxx", ".ipp", ".inl")
ENGLISH = b"English"

SIMPLE_ESCAPES = {
    "n": b"\n", "t": b"\t", "r": b"\r", "\\": b"\\", '"': b'"', "'": b"'", "?": b"?",
    "a": b"\a", "b": b"\b", "f": b"\f", "v": b"\v",
}


class Token:
    __slots__ = ("kind", "value", "line")

    def __init__(self, kind, value, line):
        self.kind = kind    # "identifier", "string", "punctuation"
        self.value = value  # str, or bytes for a string's decoded contents
        self.line = line


def decode_escapes(body):
    """The bytes of an ordinary string literal's body (UTF-8 source)."""
    out = bytearray()
    i = 0
    while i < len(body):
        c = body[i]
        if c != "\\" or i + 1 >= len(body):
            out += c.encode("utf-8", "surrogateescape")
            i += 1
            continue
        e = body[i + 1]
        if e in SIMPLE_ESCAPES:
            out += SIMPLE_ESCAPES[e]
            i += 2
        elif e in "01234567":
            j = i + 1
            while j < len(body) and j < i + 4 and body[j] in "01234567":
                j += 1
            out.append(int(body[i + 1:j], 8) & 0xFF)
            i = j
        elif e == "x":
            j = i + 2
            while j < len(body) and body[j] in "0123456789abcdefABCDEF":
                j += 1
            out.append(int(body[i + 2:j] or "0", 16) & 0xFF)
            i = j
        elif e in "uU":
            width = 4 if e == "u" else 8
            digits = body[i + 2:i + 2 + width]
            try:
                out += chr(int(digits, 16)).encode("utf-8")
            except ValueError:
                out += ("\\" + e + digits).encode("utf-8", "surrogateescape")
            i += 2 + width
        else:
            out += e.encode("utf-8", "surrogateescape")
            i += 2
    return bytes(out)


def tokenize(text):
    """Identifiers, string literals and punctuation with their line numbers;
    comments and character literals are dropped."""
    tokens = []
    i, line, n = 0, 1, len(text)
    while i < n:
        c = text[i]
        if c == "\n":
            line += 1
            i += 1
        elif c.isspace():
            i += 1
        elif text.startswith("//", i):
            while i < n and text[i] != "\n":
                i += 1
        elif text.startswith("/*", i):
            end = text.find("*/", i + 2)
            end = n if end < 0 else end + 2
            line += text.count("\n", i, end)
            i = end
        elif c.isalpha() or c == "_":
            j = i
            while j < n and (text[j].isalnum() or text[j] == "_"):
                j += 1
            word = text[i:j]
            # Encoding prefixes and raw strings belong to the literal.
            if j < n and text[j] == '"' and word in ("u8", "u", "U", "L"):
                i = j
                continue
            if j < n and text[j] == '"' and word in ("R", "u8R", "uR", "UR", "LR"):
                open_paren = text.find("(", j + 1)
                if open_paren < 0:
                    i = j + 1
                    continue
                delimiter = ")" + text[j + 1:open_paren] + '"'
                end = text.find(delimiter, open_paren + 1)
                end = n if end < 0 else end
                body = text[open_paren + 1:end]
                tokens.append(Token("string", body.encode("utf-8", "surrogateescape"), line))
                line += body.count("\n")
                i = min(n, end + len(delimiter))
                continue
            tokens.append(Token("identifier", word, line))
            i = j
        elif c.isdigit():
            # Digit separators (1'000) must not open a character literal.
            j = i
            while j < n and (text[j].isalnum() or text[j] in "._'"):
                j += 1
            i = j
        elif c in "\"'":
            j = i + 1
            while j < n and text[j] != c and text[j] != "\n":
                j += 2 if text[j] == "\\" else 1
            if c == '"':
                tokens.append(Token("string", decode_escapes(text[i + 1:j]), line))
            i = j + 1
        else:
            tokens.append(Token("punctuation", c, line))
            i += 1
    return tokens


def translated_texts(path):
    """(text bytes, line) of every literal passed directly to a translating
    function in the file."""
    with open(path, "rb") as f:
        text = f.read().decode("utf-8", "surrogateescape")
    tokens = tokenize(text)
    found = []
    for k, token in enumerate(tokens):
        if token.kind != "identifier" or token.value not in TRANSLATING_FUNCTIONS:
            continue
        if k + 2 >= len(tokens) or tokens[k + 1].value != "(" or tokens[k + 2].kind != "string":
            continue
        j = k + 2
        parts = []
        while j < len(tokens) and tokens[j].kind == "string":
            parts.append(tokens[j].value)
            j += 1
        found.append((b"".join(parts), tokens[k + 2].line))
    return found


def source_files(source_dir):
    for root, dirs, files in os.walk(source_dir):
        dirs.sort()
        for name in sorted(files):
            if name.endswith(SOURCE_SUFFIXES):
                yield os.path.join(root, name)


def data_lines(path):
    """The lines of a data file as the program splits them (bytes)."""
    with open(path, "rb") as f:
        data = f.read()
    if data.startswith(b"\xef\xbb\xbf"):
        data = data[3:]
    lines = data.split(b"\n")
    if lines and lines[-1] == b"":
        lines.pop()
    return [l[:-1] if l.endswith(b"\r") else l for l in lines]


def quoted_fields(line):
    quotes = []
    start = 0
    for _ in range(4):
        q = line.find(b'"', start)
        if q < 0:
            return None
        quotes.append(q)
        start = q + 1
    return line[quotes[0] + 1:quotes[1]], line[quotes[2] + 1:quotes[3]]


def read_language_list(path):
    entries = []
    for line in data_lines(path):
        if line.startswith(b"#"):
            continue
        fields = quoted_fields(line)
        if fields:
            entries.append(fields)
    return entries


def read_language_file(path):
    """English text -> line number of its entry."""
    entries = {}
    for number, line in enumerate(data_lines(path), 1):
        if not line or line.startswith(b"#"):
            continue
        fields = quoted_fields(line)
        if fields:
            entries[fields[0]] = number
    return entries


def show(text):
    """A text as a C string literal, so blanks and escapes stay visible."""
    out = []
    for ch in text.decode("utf-8", "backslashreplace"):
        out.append({"\n": "\\n", "\t": "\\t", "\r": "\\r", '"': '\\"', "\\": "\\\\"}.get(ch, ch))
    return '"' + "".join(out) + '"'


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--source", required=True, help="folder of the C++ sources")
    parser.add_argument("--info", required=True, help="folder holding langs.txt")
    parser.add_argument("--unused", action="store_true",
                        help="also list translations that no source uses")
    args = parser.parse_args()

    repository = os.path.dirname(os.path.abspath(args.source))
    uses = {}  # text -> [(file, line)]
    for path in source_files(args.source):
        for text, line in translated_texts(path):
            uses.setdefault(text, []).append((os.path.relpath(path, repository), line))

    list_path = os.path.join(args.info, "langs.txt")
    try:
        languages = read_language_list(list_path)
    except OSError as error:
        print(f"cannot read the language list {list_path}: {error.strerror}")
        return 1

    failed = False
    missing_count = 0
    checked = []
    for name, file_name in languages:
        if name == ENGLISH:
            continue
        language = name.decode("utf-8", "backslashreplace")
        path = os.path.join(args.info, file_name.decode("utf-8", "surrogateescape"))
        try:
            entries = read_language_file(path)
        except OSError as error:
            print(f"{language}: cannot read language file {path}: {error.strerror}")
            failed = True
            continue
        checked.append(language)
        for text in sorted(uses, key=lambda t: uses[t][0]):
            if text in entries:
                continue
            missing_count += 1
            where = uses[text]
            more = f" (and {len(where) - 1} more)" if len(where) > 1 else ""
            note = ""
            if b'"' in text or b"\n" in text:
                note = " [a language file cannot hold a double quote or line break]"
            print(f"{language}: {where[0][0]}:{where[0][1]}{more}: missing {show(text)}{note}")
        if args.unused:
            for text, number in sorted(entries.items(), key=lambda item: item[1]):
                if text not in uses:
                    print(f"{language}: {file_name.decode()}:{number}: unused {show(text)}")

    if missing_count:
        print(f"{missing_count} missing translation(s) of {len(uses)} text(s)")
    elif not failed:
        print(f"All {len(uses)} translated text(s) present in: {', '.join(checked) or 'no other language'}")
    return 1 if missing_count or failed else 0


if __name__ == "__main__":
    sys.exit(main())
