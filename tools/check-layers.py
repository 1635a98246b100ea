#!/usr/bin/env python3
"""Checks that product code includes only downwards and keeps OS tests in platform/.

Usage: check-layers.py [ROOT]     check the tree at ROOT (default: this checkout)
       check-layers.py --self-test  prove on temporary trees that the check fails

Every `#include "folder/..."` in a product folder must name its own folder or a
lower layer (docs/decisions/layout.md gives the order). Folders of one rank
(cli/, ui/) do not include each other. orvex/, the stand-in device library
and the logger emulator, includes only platform/ and the contract folder api/,
and no product folder includes orvex/. bench/, fuzz/ and tests/ may include
anything. Outside platform/ and orvex/ no preprocessor condition tests the
operating system. Each fault is printed as "file:line: reason"; the exit
status is 1 when there is one.
"""

import os
import re
import subprocess
import sys
import tempfile

# Lowest first; equal numbers are peers.
RANKS = {
    "platform": 0,
    "api": 1,
    "core": 2,
    "logdata": 3,
    "export": 4,
    "trackview": 5,
    "geotag": 5,
    "device": 5,
    "maps": 5,
    "settings": 6,
    "cli": 7,
    "ui": 7,
    "app": 8,
}
STAND_IN = "orvex"
STAND_IN_MAY_INCLUDE = {"platform", "api"}
# Folders allowed to test the operating system in preprocessor conditions.
OS_SPECIFIC = {"platform", STAND_IN}

SOURCE_SUFFIXES = (".h", ".hpp", ".c", ".cc", ".cpp", ".inl")
INCLUDE = re.compile(r'^\s*#\s*include\s*"([^"/]+)/')
OS_CONDITION = re.compile(
    r"^\s*#\s*(?:if|ifdef|ifndef|elif)\b.*\b(_?WIN32|_WIN64|__linux__|__linux|__unix__|__unix|__APPLE__"
    r"|__MINGW32__|__MINGW64__|__CYGWIN__)\b"
)


def IncludeFault(folder, target):
    if target == folder:
        return None
    if folder == STAND_IN:
        if target in STAND_IN_MAY_INCLUDE:
            return None
        return "orvex/ may include only platform/ and api/, not %s/" % target
    if target == STAND_IN:
        return "only orvex/ includes orvex/; the tool reaches the library through api/"
    if target not in RANKS:
        return "%s/ is no product layer below %s/" % (target, folder)
    if RANKS[target] > RANKS[folder]:
        return "%s/ is a higher layer than %s/" % (target, folder)
    if RANKS[target] == RANKS[folder]:
        return "%s/ and %s/ are peers and do not include each other" % (target, folder)
    return None


def CheckFile(root, path, folder):
    faults = []
    relative = os.path.relpath(path, root)
    with open(path, encoding="utf-8", errors="replace") as source:
        for number, line in enumerate(source, start=1):
            included = INCLUDE.match(line)
            if included:
                reason = IncludeFault(folder, included.group(1))
                if reason:
                    faults.append("%s:%d: %s" % (relative, number, reason))
            condition = OS_CONDITION.match(line)
            if condition and folder not in OS_SPECIFIC:
                faults.append(
                    "%s:%d: tests %s; operating-system conditions belong in platform/"
                    % (relative, number, condition.group(1))
                )
    return faults


def Check(root):
    faults = []
    for folder in sorted(list(RANKS) + [STAND_IN]):
        top = os.path.join(root, folder)
        for directory, subdirectories, files in os.walk(top):
            subdirectories.sort()
            for name in sorted(files):
                if name.endswith(SOURCE_SUFFIXES):
                    faults += CheckFile(root, os.path.join(directory, name), folder)
    return faults


# (file, text, the fault expected as "file:line" or None for a clean tree)
SELF_TEST_CASES = [
    ("core/AppState.h", '#pragma once\n\n#include "logdata/FixList.h"\n', "core/AppState.h:3"),
    ("device/LogDownload.cpp", '  #  include "settings/SettingsController.h"\n', "device/LogDownload.cpp:1"),
    ("cli/Convert.cpp", '#include "ui/MainWindow.h"\n', "cli/Convert.cpp:1"),
    ("orvex/OrvexDump.cpp", '#include <string>\n#include "device/DeviceCodes.h"\n', "orvex/OrvexDump.cpp:2"),
    ("device/LibraryBinding.cpp", '#include "orvex/OrvexApi.h"\n', "device/LibraryBinding.cpp:1"),
    ("settings/EditNumber.cpp", '#include "tests/support/FakeDevice.h"\n', "settings/EditNumber.cpp:1"),
    ("orvex/emulator/PtyPort.cpp", '#include "core/AppState.h"\n', "orvex/emulator/PtyPort.cpp:1"),
    ("export/LocrExport.h", "#pragma once\n#ifdef _WIN32\n#endif\n", "export/LocrExport.h:2"),
    ("core/Paths.h", "#if defined(__APPLE__) || defined(__linux__)\n#endif\n", "core/Paths.h:1"),
    ("app/QuillonApp.cpp", '#include "ui/MainWindow.h"\n#include "platform/Shell.h"\n', None),
    ("orvex/OrvexExports.cpp", '#include "api/OrvexApi.h"\n#include "platform/Shell.h"\n', None),
    ("tests/device/BindingTest.cpp", '#include "orvex/OrvexApi.h"\n#include "app/CommandRouter.h"\n', None),
    ("platform/SharedLibraryAbi.h", "#if defined(_WIN32) && !defined(_WIN64)\n#endif\n", None),
    ("orvex/SerialLine.cpp", "#ifdef __linux__\n#endif\n", None),
    ("ui/DialogLook.cpp", "#ifdef __WXGTK3__\n#endif\n", None),
    ("core/FixList.h", '// #include "logdata/FixList.h" was here\n#include "core/FixRecord.h"\n', None),
]


def SelfTest():
    failures = []
    for path, text, expected in SELF_TEST_CASES:
        with tempfile.TemporaryDirectory() as root:
            os.makedirs(os.path.dirname(os.path.join(root, path)), exist_ok=True)
            with open(os.path.join(root, path), "w", encoding="utf-8") as source:
                source.write(text)
            run = subprocess.run([sys.executable, os.path.abspath(__file__), root], capture_output=True, text=True)
            output = run.stdout.strip()
            if expected is None:
                if run.returncode != 0:
                    failures.append("%s should pass, but: %s" % (path, output))
            elif run.returncode != 1 or not output.startswith(expected + ": ") or "\n" in output:
                failures.append("%s should fail once at %s, got status %d: %s" % (path, expected, run.returncode, output))
    for failure in failures:
        print(failure)
    print("%d of %d cases as expected" % (len(SELF_TEST_CASES) - len(failures), len(SELF_TEST_CASES)))
    return 1 if failures else 0


def Main(arguments):
    if arguments == ["--self-test"]:
        return SelfTest()
    if len(arguments) > 1:
        print(__doc__.strip())
        return 2
    root = arguments[0] if arguments else os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    faults = Check(root)
    for fault in faults:
        print(fault)
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(Main(sys.argv[1:]))
