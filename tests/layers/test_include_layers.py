"""The layer check catches each kind of fault and lets the allowed includes through."""

import tempfile
import unittest
from pathlib import Path

import include_layers

CORE_LIST = """add_library(tavik_core STATIC
    CityListU.cpp
    ${PROJECT_SOURCE_DIR}/src/manage/ManageRecordsU.cpp)
"""


class LayerCheck(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()
        self.src = Path(self.dir.name)
        files = {
            "data/CMakeLists.txt": CORE_LIST,
            "data/CityListU.h": "#include <string>\n",
            "data/CityListU.cpp": '#include "data/CityListU.h"\n',
            "data/ByteIoU.h": "",
            "manage/ManageRecordsU.h": '#include "data/CityListU.h"\n',
            "manage/ManageRecordsU.cpp": '#include "manage/ManageRecordsU.h"\n',
            "manage/ManageU.h": '#include "ClockHostU.h"\n#include "widgets/QtListU.h"\n',
            "manage/ManageU.cpp": '#include "manage/ManageU.h"\n#include "ui_ManageForm.h"\n'
            "#include <QWidget>\n",
            "manage/CountryPageU.cpp": '#include "check/ZoneCheckFormU.h"\n',
            "check/ZoneCheckFormU.h": "#include <QWidget>\n",
            "select/SearchU.cpp": '#include "manage/ManageRecordsU.h"\n',
            "widgets/QtListU.h": '#include "data/CityListU.h"\n#include <QListWidget>\n',
            "ClockHostU.h": '#include "data/CityListU.h"\n#include "widgets/QtListU.h"\n',
            "CompanionWindowsU.cpp": '#include "manage/ManageU.h"\n#include "check/ZoneCheckFormU.h"\n',
        }
        for name, text in files.items():
            self.write(name, text)

    def tearDown(self):
        self.dir.cleanup()

    def write(self, name, text):
        path = self.src / name
        path.parent.mkdir(parents=True, exist_ok=True)
        path.write_text(text)

    def faults(self):
        return include_layers.check(self.src)

    def test_a_tree_that_keeps_the_layers_passes(self):
        self.assertEqual(self.faults(), [])

    def test_core_files_see_no_qt_and_nothing_above_them(self):
        # A data file, and a core unit that lives in a room's folder.
        self.write("data/ByteIoU.h", "#include <QByteArray>\n")
        self.write("manage/ManageRecordsU.cpp", '#include "widgets/QtListU.h"\n')
        self.write("data/CityListU.cpp", '#include "ClockHostU.h"\n')
        faults = self.faults()
        self.assertEqual(len(faults), 3, faults)
        self.assertIn("src/data/ByteIoU.h:1: core file includes the Qt header <QByteArray>", faults)
        self.assertTrue(any("ManageRecordsU.cpp" in f and "widgets/QtListU.h" in f for f in faults))
        self.assertTrue(any("CityListU.cpp" in f and "ClockHostU.h" in f for f in faults))

    def test_widgets_include_no_room_and_no_meeting_interface(self):
        self.write("widgets/QtListU.h", '#include "manage/ManageU.h"\n#include "CompanionsU.h"\n')
        self.write("CompanionsU.h", "")
        self.assertEqual(len(self.faults()), 2)

    def test_a_room_keeps_out_of_another_rooms_windows(self):
        self.write("select/SearchU.cpp", '#include "manage/ManageU.h"\n')
        self.write("check/ZoneCheckFormU.cpp", '#include "manage/CountryPageU.h"\n')
        self.write("manage/CountryPageU.h", "")
        faults = self.faults()
        self.assertEqual(len(faults), 2, faults)
        self.assertIn("src/select/SearchU.cpp:1: select file includes manage/ManageU.h (manage)",
                      faults)

    def test_the_allowed_exception_holds_only_for_its_own_file(self):
        self.write("manage/StatePageU.cpp", '#include "check/ZoneCheckFormU.h"\n')
        self.assertEqual(self.faults(), [])
        self.write("manage/CityPageU.cpp", '#include "check/ZoneCheckFormU.h"\n')
        self.assertEqual(len(self.faults()), 1)

    def test_nothing_below_the_top_includes_the_top(self):
        self.write("manage/ManageU.cpp", '#include "CompanionWindowsU.h"\n')
        self.write("CompanionWindowsU.h", "")
        self.assertEqual(len(self.faults()), 1)

    def test_includes_name_their_folder(self):
        self.write("manage/ManageU.cpp", '#include "ManageU.h"\n#include "NoSuchU.h"\n')
        faults = self.faults()
        self.assertEqual(len(faults), 2, faults)
        self.assertIn('src/manage/ManageU.cpp:1: "ManageU.h" names no folder; write '
                      '"manage/ManageU.h"', faults)

    def test_form_headers_belong_to_the_windows(self):
        self.write("widgets/QtListU.cpp", '#include "ui_ManageForm.h"\n')
        self.assertEqual(len(self.faults()), 1)


if __name__ == "__main__":
    unittest.main()
