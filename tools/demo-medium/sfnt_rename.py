"""Gives a TrueType font new family names.

The demo medium carries free fonts (Liberation, DejaVu) under the file names
the installer expects. They get family names of their own, so that Windows
(and Wine, which already knows the host's fonts) treats them as fonts it does
not have yet; the font licences also ask modified fonts to carry other names.
Copyright and licence records stay as they are. The font is written back with
its table directory, table checksums and head.checkSumAdjustment recomputed;
a digital signature (DSIG), which the change voids, is left out.
"""

import struct

# Name ids: 1 family, 3 unique id, 4 full name, 6 PostScript name,
# 16 typographic family, 21 WWS family.
_FAMILY_IDS = (1, 16, 21)
_REGULAR_STYLES = ("Regular", "Book", "Normal", "Roman")


def _checksum(data: bytes) -> int:
    padded = data + b"\0" * (-len(data) % 4)
    return sum(struct.unpack(f">{len(padded) // 4}I", padded)) & 0xFFFFFFFF


def _read_tables(font: bytes) -> tuple[int, dict[bytes, bytes]]:
    version, count = struct.unpack(">IH", font[:6])
    tables = {}
    for i in range(count):
        tag, _, offset, length = struct.unpack(">4sIII", font[12 + 16 * i : 28 + 16 * i])
        tables[tag] = font[offset : offset + length]
    return version, tables


def _decode(platform: int, raw: bytes) -> str:
    if platform in (0, 3):
        return raw.decode("utf-16-be", errors="replace")
    return raw.decode("mac_roman", errors="replace")


def _encode(platform: int, text: str) -> bytes:
    if platform in (0, 3):
        return text.encode("utf-16-be")
    return text.encode("mac_roman", errors="replace")


def _renamed_name_table(table: bytes, family: str) -> bytes:
    _, count, storage = struct.unpack(">HHH", table[:6])
    records = []
    styles = {}
    for i in range(count):
        platform, encoding, language, name_id, length, offset = struct.unpack(
            ">HHHHHH", table[6 + 12 * i : 18 + 12 * i]
        )
        raw = table[storage + offset : storage + offset + length]
        records.append([platform, encoding, language, name_id, raw])
        if name_id == 2:
            styles[(platform, encoding, language)] = _decode(platform, raw)

    for record in records:
        platform, encoding, language, name_id, _ = record
        style = styles.get((platform, encoding, language), "Regular")
        full = family if style in _REGULAR_STYLES else f"{family} {style}"
        text = None
        if name_id in _FAMILY_IDS:
            text = family
        elif name_id == 4:
            text = full
        elif name_id == 3:
            text = f"Vestar demo medium: {full}"
        elif name_id == 6:
            text = family.replace(" ", "") + "-" + style.replace(" ", "")
        if text is not None:
            record[4] = _encode(platform, text)

    records.sort(key=lambda r: (r[0], r[1], r[2], r[3]))
    header = struct.pack(">HHH", 0, len(records), 6 + 12 * len(records))
    directory = b""
    strings = b""
    for platform, encoding, language, name_id, raw in records:
        directory += struct.pack(
            ">HHHHHH", platform, encoding, language, name_id, len(raw), len(strings)
        )
        strings += raw
    return header + directory + strings


def _write_font(version: int, tables: dict[bytes, bytes]) -> bytes:
    tags = sorted(tables)
    count = len(tags)
    entry_selector = max(count.bit_length() - 1, 0)
    search_range = (1 << entry_selector) * 16
    header = struct.pack(
        ">IHHHH", version, count, search_range, entry_selector, count * 16 - search_range
    )
    offset = 12 + 16 * count
    directory = b""
    body = b""
    for tag in tags:
        data = tables[tag]
        directory += struct.pack(">4sIII", tag, _checksum(data), offset + len(body), len(data))
        body += data + b"\0" * (-len(data) % 4)
    font = bytearray(header + directory + body)
    head_offset = 12 + 16 * count + sum(
        len(tables[t]) + (-len(tables[t]) % 4) for t in tags[: tags.index(b"head")]
    )
    adjustment = (0xB1B0AFBA - _checksum(bytes(font))) & 0xFFFFFFFF
    struct.pack_into(">I", font, head_offset + 8, adjustment)
    return bytes(font)


def rename_font(font: bytes, family: str) -> bytes:
    """The font with `family` as its family name (and matching full,
    unique and PostScript names)."""
    version, tables = _read_tables(font)
    tables.pop(b"DSIG", None)
    head = bytearray(tables[b"head"])
    struct.pack_into(">I", head, 8, 0)
    tables[b"head"] = bytes(head)
    tables[b"name"] = _renamed_name_table(tables[b"name"], family)
    return _write_font(version, tables)


def full_names(font: bytes) -> set[str]:
    """The full names (id 4) a font's name table holds."""
    _, tables = _read_tables(font)
    table = tables[b"name"]
    _, count, storage = struct.unpack(">HHH", table[:6])
    names = set()
    for i in range(count):
        platform, _, _, name_id, length, offset = struct.unpack(
            ">HHHHHH", table[6 + 12 * i : 18 + 12 * i]
        )
        if name_id == 4:
            names.add(_decode(platform, table[storage + offset : storage + offset + length]))
    return names


def checksums_valid(font: bytes) -> bool:
    """Whether every table checksum and the whole-font checksum hold."""
    _, count = struct.unpack(">IH", font[:6])
    for i in range(count):
        tag, checksum, offset, length = struct.unpack(">4sIII", font[12 + 16 * i : 28 + 16 * i])
        data = bytearray(font[offset : offset + length])
        if tag == b"head":
            struct.pack_into(">I", data, 8, 0)
        if _checksum(bytes(data)) != checksum:
            return False
    return _checksum(font) == 0xB1B0AFBA
