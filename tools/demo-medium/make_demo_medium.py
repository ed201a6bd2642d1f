#!/usr/bin/env python3
"""Builds the demo distribution medium of the setup wizard.

    make_demo_medium.py OUTPUT_DIR [--install-exe Install.exe]
                                   [--driver-exe FTDIDriverInstall.exe]

The medium holds generated stand-ins in the layout the installer reads:
the database, the Firebird runtime (all files of both runtime lists), the
character sets, the standard and in-house extension libraries (small files
with distinctive content and last-write times on odd seconds, so that the
copy's two-second rounding shows), the driver installer (our own stand-in
program, when given), backups whose Install.cmd leaves a marker, the updater
tree with a valid ReleaseInfo and read-only files, and the seven fonts taken
from Debian's free fonts under the names the installer expects, renamed so
that Windows and Wine treat them as fonts they do not have yet.

OUTPUT_DIR is replaced as a whole; an existing directory is only replaced
when it is empty or was made by this tool.
"""

import argparse
import calendar
import hashlib
import os
import shutil
import stat
import sys
from pathlib import Path

sys.path.insert(0, str(Path(__file__).resolve().parent))
import sfnt_rename  # noqa: E402

MARKER = ".vestar-demo-medium"

FIREBIRD_RUNTIME = [
    "aliases.conf", "firebird.conf", "fbclient.Dll", "ib_util.Dll", "icudt30.Dll",
    "icuin30.Dll", "icuuc30.Dll", "msvcp80.Dll", "msvcr80.Dll", "firebird.msg",
    "gbak.exe", "gds32.dll", "msvcp71.Dll", "msvcr71.Dll",
]
CHARACTER_SETS = ["fbintl.conf", "fbintl.dll"]
STANDARD_UDF = ["fbudf.dll", "ib_udf.dll", "fbudf.sql", "ib_udf.sql", "ib_udf2.sql"]
IN_HOUSE_UDF = ["Alder.Dll", "Birch.Dll", "Cedar.Dll", "Maple.Dll"]

# Backups: directory name (ddmmyy at its end) -> what its script leaves.
# By date r010115 (1 January 2015) is the newest, r150613 (15 June 2013) older.
BACKUPS = ["r150613", "r010115"]
NEWEST_BACKUP = "r010115"

FONT_DIRS = [Path("/usr/share/fonts/truetype/liberation"), Path("/usr/share/fonts/truetype/dejavu")]
# Installed file name -> (Debian font file, family name given on the medium).
FONTS = {
    "ARIAL.TTF": ("LiberationSans-Regular.ttf", "Vestar Demo Sans"),
    "ARIALN.TTF": ("LiberationSansNarrow-Regular.ttf", "Vestar Demo Sans Narrow"),
    "COUR.TTF": ("LiberationMono-Regular.ttf", "Vestar Demo Mono"),
    "MICROSS.TTF": ("DejaVuSansMono.ttf", "Vestar Demo Screen"),
    "TAHOMA.TTF": ("DejaVuSans-Bold.ttf", "Vestar Demo Heading"),
    "TIMES.TTF": ("LiberationSerif-Regular.ttf", "Vestar Demo Serif"),
    "verdana.TTF": ("DejaVuSans.ttf", "Vestar Demo Wide"),
}

RELEASE_INFO = """<?xml version="1.0" encoding="UTF-8"?>
<ROOT>
  <Version>1</Version>
  <Level>000000</Level>
  <Product>Вестар</Product>
  <Channel>demo</Channel>
  <Updater>
    <Source>\\\\server\\vestar\\updates</Source>
    <Interval>7</Interval>
  </Updater>
</ROOT>
"""

UPDATER_CONFIG = """<?xml version="1.0" encoding="UTF-8"?>
<configuration>
  <appSettings>
    <add key="UpdateSource" value="\\\\server\\vestar\\updates" />
    <add key="Demo" value="true" />
  </appSettings>
</configuration>
"""

# The first stamp: 13 June 2015 09:30:01 UTC; every file gets its own
# stamp on an odd second (time zones shift by whole minutes).
FIRST_STAMP = calendar.timegm((2015, 6, 13, 9, 30, 1))


class Medium:
    def __init__(self, root: Path):
        self.root = root
        self.count = 0

    def _stamp(self, path: Path) -> None:
        seconds = FIRST_STAMP + self.count * 3662  # 1 h 1 min 2 s: seconds stay odd
        self.count += 1
        os.utime(path, (seconds, seconds))

    def write(self, relative: str, content: bytes, read_only: bool = False) -> Path:
        path = self.root / relative
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_bytes(content)
        self._stamp(path)
        if read_only:
            path.chmod(stat.S_IRUSR | stat.S_IRGRP | stat.S_IROTH)
        return path

    def text(self, relative: str, text: str, read_only: bool = False) -> Path:
        return self.write(relative, text.replace("\n", "\r\n").encode("utf-8"), read_only)

    def stand_in(self, relative: str, size: int) -> Path:
        """A binary stand-in: a readable header, then bytes derived from the
        name, so that every file differs from every other."""
        header = f"VESTAR DEMO MEDIUM STAND-IN: {relative}\r\n".encode("utf-8")
        body = bytearray()
        block = hashlib.sha256(relative.encode("utf-8")).digest()
        while len(header) + len(body) < size:
            body += block
            block = hashlib.sha256(block).digest()
        return self.write(relative, (header + bytes(body))[:size])


def stand_in_size(name: str) -> int:
    return 1024 + (int(hashlib.md5(name.encode()).hexdigest(), 16) % 7168)


def text_stand_in(relative: str) -> str:
    return f"# Вестар demo medium: stand-in for {relative}\n# Not a working configuration.\n"


def build_firebird(medium: Medium) -> None:
    medium.stand_in("DTAfb/QZ7.FDB", 200 * 1024)  # more than one copy block
    for name in FIREBIRD_RUNTIME:
        relative = f"Firebird/{name}"
        if name.endswith((".conf", ".msg")):
            medium.text(relative, text_stand_in(relative))
        else:
            medium.stand_in(relative, stand_in_size(relative))
    for name in CHARACTER_SETS:
        relative = f"Firebird/intl/{name}"
        if name.endswith(".conf"):
            medium.text(relative, text_stand_in(relative))
        else:
            medium.stand_in(relative, stand_in_size(relative))
    for name in STANDARD_UDF:
        relative = f"Firebird/udf/{name}"
        if name.endswith(".sql"):
            medium.text(relative, f"/* Вестар demo medium: {relative} */\nCOMMIT;\n")
        else:
            medium.stand_in(relative, stand_in_size(relative))
    for name in IN_HOUSE_UDF:
        medium.stand_in(f"UDF/{name}", stand_in_size(name))


def backup_script(name: str) -> str:
    # Runs with the backup directory (target\backup\<name>) as its working
    # directory; the marker lands in the target directory.
    return (
        "@echo off\n"
        f"rem Demo backup {name}: records that its install script ran.\n"
        f'echo {name}> "..\\..\\backup-ran.txt"\n'
        "exit /b 0\n"
    )


def build_backups(medium: Medium) -> None:
    for name in BACKUPS:
        medium.text(f"backup/{name}/Install.cmd", backup_script(name))
        medium.stand_in(f"backup/{name}/{name}.fbk", 4096)
    medium.text(
        "backup/WithOutAnswer/Install.cmd",
        "@echo off\nrem Not a backup: never run by the installer.\n"
        'echo WithOutAnswer> "..\\..\\withoutanswer-ran.txt"\nexit /b 1\n',
    )
    medium.text("backup/WithOutAnswer/readme.txt", "Answers of the update dialog, not a backup.\n")


def build_updater(medium: Medium) -> None:
    medium.write("Updater/ReleaseInfo", RELEASE_INFO.encode("utf-8"), read_only=True)
    medium.text("Updater/Updater.exe.cfg", UPDATER_CONFIG, read_only=True)
    medium.stand_in("Updater/Updater.exe", 6000)
    medium.text("Updater/Scripts/update.sql", "/* Вестар demo medium: update script */\nCOMMIT;\n")
    medium.text("Updater/Scripts/Help/readme.txt", "Updater help stand-in.\n")


def find_font(name: str) -> Path:
    for directory in FONT_DIRS:
        if (directory / name).is_file():
            return directory / name
    raise SystemExit(f"font {name} not found: install fonts-liberation and fonts-dejavu-core")


def build_fonts(medium: Medium) -> None:
    for target, (source, family) in FONTS.items():
        medium.write(f"fonts/{target}", sfnt_rename.rename_font(find_font(source).read_bytes(), family))


def build_driver(medium: Medium, driver_exe: Path) -> None:
    medium.write("FTDIDriverInstall/FTDIDriverInstall.exe", driver_exe.read_bytes())
    medium.text("FTDIDriverInstall/amd64/ftdibus.inf", "; demo medium: driver description stand-in\n")


def prepare(output: Path) -> Path:
    if output.exists() and any(output.iterdir()) and not (output / MARKER).exists():
        raise SystemExit(f"{output} is not empty and was not made by this tool; not replacing it")
    staging = output.with_name(output.name + ".building")
    if staging.exists():
        shutil.rmtree(staging)
    staging.mkdir(parents=True)
    return staging


def main() -> None:
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("output", type=Path)
    parser.add_argument("--install-exe", type=Path)
    parser.add_argument("--driver-exe", type=Path)
    args = parser.parse_args()

    output = args.output.resolve()
    staging = prepare(output)
    medium = Medium(staging)
    (staging / MARKER).write_text("made by tools/demo-medium/make_demo_medium.py\n")
    build_firebird(medium)
    build_backups(medium)
    build_updater(medium)
    build_fonts(medium)
    if args.driver_exe:
        build_driver(medium, args.driver_exe)
    if args.install_exe:
        shutil.copy2(args.install_exe, staging / "Install.exe")

    if output.exists():
        shutil.rmtree(output)
    staging.rename(output)
    print(f"demo medium: {output}")


if __name__ == "__main__":
    main()
