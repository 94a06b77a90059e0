"""Writes the setup program's file lists from the installed layout, so that the setup installs
exactly what dist/ holds and its uninstaller removes exactly that, folders deepest first.

    make_file_lists.py <dist folder> <output folder>

Writes files_install.nsh (SetOutPath and File lines), files_uninstall.nsh (Delete and RMDir
lines) and files_size.nsh (PAYLOAD_KB, the payload's size in KB for Programs and Features).
"""
import os
import sys


def nsis_text(text):
    # NSIS expands $ in the strings it uses when it runs: a literal dollar sign is written twice.
    return text.replace("$", "$$")


def source_path(path):
    # Paths read while the setup is made take $ literally, but ${...} would name a define.
    if "${" in path:
        sys.exit(f"make_file_lists: cannot pack {path}: its name holds '${{'")
    return path


def main(dist, out):
    if not os.path.isfile(os.path.join(dist, "vtcon.exe")):
        sys.exit(f"make_file_lists: {dist} holds no vtcon.exe: build and install the suite first")
    install = []
    uninstall = []
    folders = []
    total = 0
    for here, dirs, files in os.walk(dist):
        dirs.sort()
        relative = os.path.relpath(here, dist)
        windows = "" if relative == "." else "\\" + relative.replace("/", "\\")
        if windows:
            folders.append(windows)
        if not files:
            continue
        install.append(f'SetOutPath "$INSTDIR{nsis_text(windows)}"')
        for name in sorted(files):
            source = os.path.abspath(os.path.join(here, name))
            total += os.path.getsize(source)
            install.append(f'File "{source_path(source)}"')
            uninstall.append(f'Delete "$INSTDIR{nsis_text(windows)}\\{nsis_text(name)}"')
    # Deepest folders first; RMDir without /r removes a folder only when it is empty.
    for folder in sorted(folders, key=lambda f: f.count("\\"), reverse=True):
        uninstall.append(f'RMDir "$INSTDIR{nsis_text(folder)}"')
    os.makedirs(out, exist_ok=True)
    for name, lines in (("files_install.nsh", install), ("files_uninstall.nsh", uninstall),
                        ("files_size.nsh", [f"!define PAYLOAD_KB {(total + 1023) // 1024}"])):
        with open(os.path.join(out, name), "w", encoding="utf-8") as f:
            f.write("\n".join(lines) + "\n")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
