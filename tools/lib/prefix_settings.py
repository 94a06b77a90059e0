"""Writes the registry settings of a suite test or run prefix as a .reg file (UTF-16).

Korean text needs a Korean font: NanumGothic is linked behind the dialog faces and stands in
for the faces the suite names. Crash dialogs are turned off so that a failing test never waits.
"""
import sys

FONT_LINK = "NanumGothic.ttf,NanumGothic"
LINKED_FACES = ["MS Shell Dlg", "MS Shell Dlg 2", "Tahoma", "Microsoft Sans Serif", "Arial"]
SUBSTITUTED_FACES = ["돋움", "굴림", "돋움체", "굴림체", "Dotum", "Gulim", "DotumChe", "GulimChe"]


def multi_sz(*items):
    data = "".join(item + "\0" for item in items) + "\0"
    raw = data.encode("utf-16-le")
    return "hex(7):" + ",".join(f"{b:02x}" for b in raw)


def main(path):
    lines = ["Windows Registry Editor Version 5.00", ""]
    lines.append(r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontLink\SystemLink]")
    for face in LINKED_FACES:
        lines.append(f'"{face}"={multi_sz(FONT_LINK)}')
    lines.append("")
    lines.append(r"[HKEY_LOCAL_MACHINE\Software\Microsoft\Windows NT\CurrentVersion\FontSubstitutes]")
    for face in SUBSTITUTED_FACES:
        lines.append(f'"{face}"="NanumGothic"')
    lines.append("")
    # Wine draws the frames itself: without a window manager, hiding a managed window waits seconds.
    lines.append(r"[HKEY_CURRENT_USER\Software\Wine\X11 Driver]")
    lines.append('"Managed"="N"')
    lines.append("")
    lines.append(r"[HKEY_CURRENT_USER\Software\Wine\WineDbg]")
    lines.append('"ShowCrashDialog"=dword:00000000')
    lines.append("")
    with open(path, "w", encoding="utf-16") as out:
        out.write("\r\n".join(lines) + "\r\n")


if __name__ == "__main__":
    main(sys.argv[1])
