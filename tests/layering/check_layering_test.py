"""Tests of scripts/check-layering.py on copies of the real source tree with
planted faults: each fault must fail the check and be named, and the real
tree must pass. Run: python3 -m unittest discover -s tests/layering -p '*_test.py'"""

import os
import shutil
import subprocess
import sys
import tempfile
import unittest

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.normpath(os.path.join(HERE, '..', '..'))
SCRIPT = os.path.join(ROOT, 'scripts', 'check-layering.py')


def check(root, *extra):
    return subprocess.run([sys.executable, SCRIPT, '--root', root, *extra],
                          capture_output=True, text=True)


class PlantedTree(unittest.TestCase):
    """A copy of src/ and docs/layers.svg in a temporary folder, to plant faults in."""

    def setUp(self):
        self.folder = tempfile.mkdtemp(prefix='layering-')
        shutil.copytree(os.path.join(ROOT, 'src'), os.path.join(self.folder, 'src'),
                        ignore=shutil.ignore_patterns('*.o', '*.a'))
        os.makedirs(os.path.join(self.folder, 'docs'))
        shutil.copy(os.path.join(ROOT, 'docs', 'layers.svg'), os.path.join(self.folder, 'docs'))

    def tearDown(self):
        shutil.rmtree(self.folder)

    def plant(self, relative, line):
        path = os.path.join(self.folder, relative)
        os.makedirs(os.path.dirname(path), exist_ok=True)
        with open(path, 'a', encoding='utf-8') as f:
            f.write(line + '\n')

    def assertFailsNaming(self, *texts):
        result = check(self.folder)
        self.assertEqual(result.returncode, 1, result.stdout + result.stderr)
        for text in texts:
            self.assertIn(text, result.stderr)

    def test_the_real_tree_follows_the_table_and_its_picture(self):
        result = check(ROOT, '--compare-svg', os.path.join(ROOT, 'docs', 'layers.svg'))
        self.assertEqual(result.returncode, 0, result.stderr)

    def test_an_unchanged_copy_passes(self):
        self.assertEqual(check(self.folder).returncode, 0)

    def test_wrong_includes_are_caught(self):
        # (file that includes, planted include, words the message must hold)
        cases = [
            ('src/base/Exception.h', '#include "model/Project.h"', 'layer "base" includes "model/Project.h"'),
            ('src/transport/AdvectionDispersion.cpp', '#include "run/RunDriver.h"', 'a higher layer ("run")'),
            ('src/model/Project.cpp', '#  include "persist/ProjectFile.h"', 'src/model/Project.cpp:'),
            ('src/persist/ProjectFile.cpp', '#include "cli/RunCommand.h"', 'layer "persist" includes'),
            ('src/cli/RunCommand.cpp', '#include "ui/shell/CMainFrame.h"', 'layer "cli" includes "ui/shell/CMainFrame.h"'),
        ]
        for relative, include, message in cases:
            with self.subTest(include=include, into=relative):
                original = open(os.path.join(self.folder, relative), encoding='utf-8').read()
                self.plant(relative, include)
                self.assertFailsNaming(message)
                with open(os.path.join(self.folder, relative), 'w', encoding='utf-8') as f:
                    f.write(original)

    def test_qt_outside_the_desktop_program_is_caught(self):
        self.plant('src/run/RunDriver.cpp', '#include <QString>')
        self.assertFailsNaming('src/run/RunDriver.cpp', 'Qt header <QString>')

    def test_a_folder_missing_from_the_table_is_caught(self):
        self.plant('src/source/Leachate.h', '#pragma once')
        self.assertFailsNaming('src/source/', 'does not list')

    def test_a_table_that_points_up_or_at_itself_is_caught(self):
        table = os.path.join(self.folder, 'src', 'layers.txt')
        text = open(table, encoding='utf-8').read()
        with open(table, 'w', encoding='utf-8') as f:
            f.write(text.replace('\nbase\n', '\nbase run\n').replace('settings     base', 'settings     base settings'))
        self.assertFailsNaming('layer "base" may use "run"', 'layer "settings" lists itself')

    def test_a_stale_picture_is_caught(self):
        self.plant('src/transport/AdvectionDispersion.cpp', '#include "archive/CompFile.h"')
        result = check(self.folder, '--compare-svg', os.path.join(self.folder, 'docs', 'layers.svg'))
        self.assertEqual(result.returncode, 1)
        self.assertIn('no longer matches the code', result.stderr)


if __name__ == '__main__':
    unittest.main()
