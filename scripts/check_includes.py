#!/usr/bin/env python3
"""Checks that every #include "..." in src/ runs down the layers, never up.

The layers, from the bottom (README.md, Layout):

  base                  what everything may use; plain C++ but for *_win.cpp
  hooks, ui             the hook libraries; the dialog framework and the
                        controls several features share
  res                   resource identifiers (it pulls in ui's string ids)
  stats tools update    the features, which do not include each other
  process chart history
  breaks
  history_window        the history window, over the history
  main                  the main window, which brings the features together
  app                   start-up
  skin                  SkinH.dll, on its own

Outside hooks/ only hooks/hook_api.h may be included: the rest of hooks/
is the libraries' inside. Prints one line per include that runs the wrong
way ("file:line: ...") and exits 1 if there is any.

Usage: check_includes.py [source root]   (default: the src/ of this tree)
"""

import os
import re
import sys

FEATURES = ["stats", "tools", "update", "process", "chart", "history", "breaks"]

# Folder -> folders its files may include (besides hooks/hook_api.h, below).
ALLOWED = {
    "base": {"base"},
    "hooks": {"base", "hooks"},
    "ui": {"base", "ui"},
    "res": {"ui", "res"},
    "skin": {"base", "skin"},
    "main": {"base", "ui", "res", "main", "history_window", *FEATURES},
    "app": {"base", "ui", "res", "main", "app", "history_window", *FEATURES},
}
for _f in FEATURES:
    ALLOWED[_f] = {"base", "ui", "res", _f}
# The history window reads the history, which knows nothing of windows.
ALLOWED["history_window"] = {"base", "ui", "res", "history", "history_window"}

# The libraries' interface, for the exe's loader; not for base, ui or res.
HOOK_API = "hooks/hook_api.h"
HOOK_API_USERS = {"main", "app", "history_window", *FEATURES}

# In base/ only the Windows half (*_win.cpp) may see the platform headers:
# everything else in base builds natively for the unit tests.
PLATFORM_HEADERS = {
    "windows.h", "windowsx.h", "commctrl.h", "commdlg.h", "shellapi.h",
    "shlobj.h", "wininet.h", "mmsystem.h", "winreg.h", "winuser.h",
}

SOURCE_ENDINGS = (".h", ".hpp", ".c", ".cpp", ".rc", ".rc.in")
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')


def describe(folder):
    return ", ".join(sorted(ALLOWED[folder]))


def check(root):
    problems = []
    for dirpath, dirs, files in os.walk(root):
        dirs.sort()
        for name in sorted(files):
            if not name.endswith(SOURCE_ENDINGS):
                continue
            path = os.path.join(dirpath, name)
            rel = os.path.relpath(path, root).replace(os.sep, "/")
            folder = rel.split("/")[0] if "/" in rel else ""
            shown = "src/" + rel
            if folder not in ALLOWED:
                problems.append(f"{shown}:1: src/{folder}/ has no layer; give it one in scripts/check_includes.py")
                continue
            with open(path, encoding="utf-8", errors="replace") as f:
                lines = f.readlines()
            for number, line in enumerate(lines, 1):
                m = INCLUDE.match(line)
                if not m:
                    continue
                kind, target = m.groups()
                where = f"{shown}:{number}"
                if kind == "<":
                    if (folder == "base" and target.lower() in PLATFORM_HEADERS
                            and not name.endswith("_win.cpp")):
                        problems.append(f"{where}: base/ includes <{target}> outside a *_win.cpp file")
                    continue
                # "dir/file.h" from src/, or a name beside the including file.
                if os.path.exists(os.path.join(root, target)):
                    resolved = os.path.normpath(target).replace(os.sep, "/")
                elif os.path.exists(os.path.join(dirpath, target)):
                    resolved = os.path.relpath(os.path.join(dirpath, target), root).replace(os.sep, "/")
                else:
                    problems.append(f'{where}: "{target}" is not a file of src/')
                    continue
                to = resolved.split("/")[0] if "/" in resolved else ""
                if to == folder:
                    continue
                if to == "hooks":
                    if resolved == HOOK_API and folder in HOOK_API_USERS:
                        continue
                    if resolved == HOOK_API:
                        problems.append(f"{where}: {folder}/ may not include {resolved} "
                                        f"(only the features, main and app load the hook libraries)")
                    else:
                        problems.append(f"{where}: {folder}/ may not include {resolved} "
                                        f"(outside hooks/ only {HOOK_API})")
                    continue
                if to not in ALLOWED[folder]:
                    problems.append(f"{where}: {folder}/ may not include {resolved} "
                                    f"({folder}/ uses only {describe(folder)})")
    return problems


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "src")
    root = os.path.abspath(root)
    if not os.path.isdir(root):
        print(f"check_includes: no source folder {root}", file=sys.stderr)
        return 2
    problems = check(root)
    for p in problems:
        print(p)
    if problems:
        print(f"check_includes: {len(problems)} include(s) run the wrong way (layers: README.md, Layout)")
        return 1
    print("check_includes: every include runs down the layers")
    return 0


if __name__ == "__main__":
    sys.exit(main())
