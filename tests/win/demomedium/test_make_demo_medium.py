"""Checks the demo medium builder on the host: layout and names with their
letter case, odd-second time stamps, read-only updater files, a valid
ReleaseInfo, backup scripts, and fonts renamed with valid checksums."""

import os
import stat
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ElementTree
from pathlib import Path

TOOL_DIR = Path(__file__).resolve().parents[3] / "tools" / "demo-medium"
sys.path.insert(0, str(TOOL_DIR))
import make_demo_medium as builder  # noqa: E402
import sfnt_rename  # noqa: E402

GROUP_2A = ["aliases.conf", "firebird.conf", "fbclient.Dll", "ib_util.Dll", "icudt30.Dll",
            "icuin30.Dll", "icuuc30.Dll", "msvcp80.Dll", "msvcr80.Dll", "firebird.msg",
            "gbak.exe", "gds32.dll"]
GROUP_2B = ["aliases.conf", "firebird.conf", "fbclient.Dll", "ib_util.Dll", "icudt30.Dll",
            "icuin30.Dll", "icuuc30.Dll", "msvcp71.Dll", "msvcr71.Dll", "firebird.msg"]
FONT_FILES = ["ARIAL.TTF", "ARIALN.TTF", "COUR.TTF", "MICROSS.TTF", "TAHOMA.TTF", "TIMES.TTF",
              "verdana.TTF"]


class DemoMediumTest(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.scratch = tempfile.TemporaryDirectory()
        scratch = Path(cls.scratch.name)
        (scratch / "driver.exe").write_bytes(b"MZ driver stand-in")
        (scratch / "Install.exe").write_bytes(b"MZ installer")
        cls.medium = scratch / "medium"
        subprocess.run([sys.executable, str(TOOL_DIR / "make_demo_medium.py"), str(cls.medium),
                        "--driver-exe", str(scratch / "driver.exe"),
                        "--install-exe", str(scratch / "Install.exe")], check=True)

    @classmethod
    def tearDownClass(cls):
        cls.scratch.cleanup()

    def names(self, relative):
        return sorted(p.name for p in (self.medium / relative).iterdir() if p.is_file())

    def test_file_groups_are_there_with_their_letter_case(self):
        self.assertEqual(self.names("DTAfb"), ["QZ7.FDB"])
        self.assertEqual(self.names("Firebird"), sorted(set(GROUP_2A) | set(GROUP_2B)))
        self.assertEqual(self.names("Firebird/intl"), ["fbintl.conf", "fbintl.dll"])
        self.assertEqual(self.names("Firebird/udf"),
                         sorted(["fbudf.dll", "ib_udf.dll", "fbudf.sql", "ib_udf.sql", "ib_udf2.sql"]))
        self.assertEqual(self.names("UDF"), ["Alder.Dll", "Birch.Dll", "Cedar.Dll", "Maple.Dll"])
        self.assertEqual(self.names("fonts"), sorted(FONT_FILES))
        self.assertEqual(self.names("FTDIDriverInstall"), ["FTDIDriverInstall.exe"])
        self.assertEqual((self.medium / "Install.exe").read_bytes(), b"MZ installer")
        self.assertFalse((self.medium / "Settings").exists())

    def test_stand_ins_differ_and_carry_odd_second_stamps(self):
        contents = set()
        for directory in ["DTAfb", "Firebird", "Firebird/intl", "Firebird/udf", "UDF"]:
            for name in self.names(directory):
                path = self.medium / directory / name
                self.assertEqual(int(path.stat().st_mtime) % 2, 1, path)
                contents.add(path.read_bytes())
        self.assertEqual(len(contents), 1 + 14 + 2 + 5 + 4)
        self.assertGreater((self.medium / "DTAfb/QZ7.FDB").stat().st_size, 64 * 1024)

    def test_backups_and_their_scripts(self):
        backups = sorted(p.name for p in (self.medium / "backup").iterdir())
        self.assertEqual(backups, ["WithOutAnswer", "r010115", "r150613"])
        for name in ["r010115", "r150613"]:
            script = (self.medium / "backup" / name / "Install.cmd").read_bytes()
            self.assertIn(f'echo {name}> "..\\..\\backup-ran.txt"\r\n'.encode(), script)
            self.assertNotIn(b"\n", script.replace(b"\r\n", b""))

    def test_updater_tree_has_a_valid_release_info_and_read_only_files(self):
        root = ElementTree.parse(self.medium / "Updater/ReleaseInfo").getroot()
        self.assertEqual(root.tag, "ROOT")
        self.assertEqual(root.findtext("Version"), "1")
        self.assertEqual(root.findtext("Level"), "000000")
        for name in ["ReleaseInfo", "Updater.exe.cfg"]:
            mode = (self.medium / "Updater" / name).stat().st_mode
            self.assertEqual(mode & (stat.S_IWUSR | stat.S_IWGRP | stat.S_IWOTH), 0, name)
        self.assertTrue((self.medium / "Updater/Scripts/Help/readme.txt").is_file())

    def test_fonts_are_renamed_and_keep_valid_checksums(self):
        full_names = set()
        for name in FONT_FILES:
            font = (self.medium / "fonts" / name).read_bytes()
            self.assertTrue(sfnt_rename.checksums_valid(font), name)
            names = sfnt_rename.full_names(font)
            self.assertEqual(len(names), 1, names)
            self.assertTrue(next(iter(names)).startswith("Vestar Demo "), names)
            full_names |= names
        self.assertEqual(len(full_names), 7)

    def test_a_foreign_directory_is_not_replaced(self):
        with tempfile.TemporaryDirectory() as foreign:
            (Path(foreign) / "keep.txt").write_text("mine")
            result = subprocess.run([sys.executable, str(TOOL_DIR / "make_demo_medium.py"), foreign],
                                    capture_output=True)
            self.assertNotEqual(result.returncode, 0)
            self.assertEqual(os.listdir(foreign), ["keep.txt"])


if __name__ == "__main__":
    unittest.main()
