#!/usr/bin/env python3
"""Makes info.rtf, the information sheet of the wizard's left panel, from info.txt.

Run from this directory: python3 make_info.py
Only the standard library is used.

info.txt is UTF-8 text with a light markup, one block per line group:
  = text       the sheet's title
  ~ text       the subtitle under it
  # text       a section heading
  - text       a list item
  1. text      a numbered step (any number followed by a point and a blank)
  other lines  paragraph text; lines of one block are joined with a blank
A blank line ends a block. "**text**" inside a block is set in bold.

The RTF is written in code page 1251 (\\ansicpg1251), with Cyrillic fonts
(\\fcharset204) and every non-ASCII character as a \\'xx escape, so the file
itself is pure ASCII.
"""
import re
import sys

SOURCE = "info.txt"
TARGET = "info.rtf"

HEADER = (
    r"{\rtf1\ansi\ansicpg1251\deff0\deflang1049"
    "\r\n"
    r"{\fonttbl{\f0\fswiss\fcharset204 Tahoma;}{\f1\froman\fcharset204 Times New Roman;}}"
    "\r\n"
    r"{\colortbl ;\red0\green0\blue128;\red0\green60\blue116;\red64\green64\blue64;}"
    "\r\n"
    r"\viewkind4\uc1\pard\f0\fs16"
    "\r\n"
)

# Paragraph formats; sizes in half-points, indents in twips.
BODY = r"\pard\sa80\f0\fs16\cf3 "
TITLE = r"\pard\qc\sa60\f1\fs28\b\cf1 "
SUBTITLE = r"\pard\qc\sa200\f1\fs20\i\cf2 "
HEADING = r"\pard\sb160\sa80\keepn\f0\fs18\b\cf2 "
ITEM = r"\pard\fi-200\li200\tx200\sa40\f0\fs16\cf3 "
LAST_ITEM = r"\pard\fi-200\li200\tx200\sa100\f0\fs16\cf3 "
STEP = r"\pard\fi-200\li200\tx200\sa80\f0\fs16\cf3 "
BULLET = "\u2022"

NUMBERED = re.compile(r"^(\d+)\.\s+(.*)$")
LINE_LENGTH = 96


def escape(text):
    """RTF text in code page 1251: specials escaped, non-ASCII as \\'xx."""
    out = []
    for ch in text:
        if ch in "\\{}":
            out.append("\\" + ch)
        elif ord(ch) < 0x80:
            out.append(ch)
        else:
            try:
                out.append("".join("\\'%02x" % b for b in ch.encode("cp1251")))
            except UnicodeEncodeError:
                code = ord(ch)
                out.append("\\u%d?" % (code - 0x10000 if code > 0x7FFF else code))
    return "".join(out)


def inline(text):
    """Escaped text with **bold** spans."""
    parts = text.split("**")
    if len(parts) % 2 == 0:
        sys.exit("unbalanced ** in: " + text)
    out = []
    for i, part in enumerate(parts):
        out.append(escape(part) if i % 2 == 0 else r"{\b " + escape(part) + "}")
    return "".join(out)


def wrap(rtf_text):
    """Breaks long RTF lines after blanks: RTF ignores line breaks, so the
    blank before each break keeps the words apart."""
    lines, current = [], ""
    for word in rtf_text.split(" "):
        candidate = word if not current else current + " " + word
        if current and len(candidate) > LINE_LENGTH:
            lines.append(current + " ")
            current = word
        else:
            current = candidate
    lines.append(current)
    return "\r\n".join(lines)


def blocks(lines):
    """Groups the source lines into (kind, text) blocks."""
    kind, parts = None, []
    for raw in lines + [""]:
        line = raw.strip()
        starts = None
        if line.startswith("= "):
            starts = ("title", line[2:])
        elif line.startswith("~ "):
            starts = ("subtitle", line[2:])
        elif line.startswith("# "):
            starts = ("heading", line[2:])
        elif line.startswith("- "):
            starts = ("item", line[2:])
        elif NUMBERED.match(line):
            starts = ("step", line)
        if (not line or starts) and kind:
            yield kind, " ".join(parts)
            kind, parts = None, []
        if starts:
            kind, parts = starts[0], [starts[1]]
        elif line:
            if kind is None:
                kind = "body"
            parts.append(line)


def paragraph(kind, text, last_of_list=False):
    if kind == "title":
        return TITLE + inline(text) + r"\b0\par"
    if kind == "subtitle":
        return SUBTITLE + inline(text) + r"\i0\par"
    if kind == "heading":
        return HEADING + inline(text) + r"\b0\par"
    if kind == "item":
        start = LAST_ITEM if last_of_list else ITEM
        return start + escape(BULLET) + r"\tab " + inline(text) + r"\par"
    if kind == "step":
        number, rest = NUMBERED.match(text).groups()
        return STEP + r"{\b " + number + r".}\tab " + inline(rest) + r"\par"
    return BODY + inline(text) + r"\par"


def main():
    with open(SOURCE, encoding="utf-8") as f:
        source = f.read().splitlines()
    parsed = list(blocks(source))
    following = [kind for kind, _ in parsed[1:]] + [None]
    body = "\r\n".join(
        wrap(paragraph(kind, text, last_of_list=(next_kind != "item")))
        for (kind, text), next_kind in zip(parsed, following))
    rtf = HEADER + body + "\r\n}\r\n"
    rtf.encode("ascii")  # every character outside ASCII is escaped
    with open(TARGET, "wb") as f:
        f.write(rtf.encode("ascii"))


if __name__ == "__main__":
    main()
