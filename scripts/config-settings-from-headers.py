#!/usr/bin/env python3
"""Writes the "setting:" lines of data/quillondevices.txt from the PIC18 device headers of gputils.

Each header names the settings of the CONFIG directive with their values in a comment list
("OSC = HS") and gives, per configuration byte, one mask value per setting value ("_HS_OSC_1H EQU
H'FA'"). The two lists come in the same order, so the n-th setting of the comment list is the n-th
group of masks. A setting's bits are those that some value clears; each value is written as the bits
it leaves under them.

Usage: scripts/config-settings-from-headers.py [HEADER_FOLDER]
Rewrites data/quillondevices.txt in place: any "setting:" lines of a model are replaced by fresh
ones after its "configalg:" line. The build never runs this; the device file is what ships.
"""
import pathlib
import re
import sys

HEADERS = pathlib.Path(sys.argv[1] if len(sys.argv) > 1 else "/usr/share/gputils/header")
DEVICE_FILE = pathlib.Path(__file__).resolve().parent.parent / "data" / "quillondevices.txt"

BYTE_NAMES = ["1L", "1H", "2L", "2H", "3L", "3H", "4L", "4H", "5L", "5H", "6L", "6H", "7L", "7H"]


def comment_settings(text):
    """[(name, [value names])] from the CONFIG directive list of the header's comments."""
    settings = []
    for match in re.finditer(r"^;     (\w+) = (\w+)", text, re.M):
        name, value = match.groups()
        if not settings or settings[-1][0] != name:
            settings.append((name, []))
        settings[-1][1].append(value)
    return settings


def mask_groups(text):
    """[(byte, [(mask, [names])])]: per setting, its byte and the masks of its values."""
    groups = []
    byte = None
    current = None
    for line in text.splitlines():
        section = re.match(r";----- CONFIG(\w\w) Options", line)
        if section:
            byte, current = section.group(1), None
            continue
        if byte is None:
            continue
        if line.startswith(";----- "):
            break
        entry = re.match(r"_(\w+)_" + byte + r"\s+EQU\s+H'([0-9A-Fa-f]{2})'", line)
        if entry:
            if current is None:
                current = (byte, [])
                groups.append(current)
            value = int(entry.group(2), 16)
            # Some values have a second, older name: same mask, one value.
            known = [v for v, _ in current[1]]
            if value in known:
                current[1][known.index(value)][1].append(entry.group(1))
            else:
                current[1].append((value, [entry.group(1)]))
        elif not line.strip():
            current = None
    return groups


def setting_lines(header):
    text = header.read_text(errors="replace")
    names = comment_settings(text)
    groups = mask_groups(text)
    if len(names) != len(groups):
        raise SystemExit(f"{header}: {len(names)} settings named, {len(groups)} groups of masks")
    lines = []
    for (name, values), (byte, masks) in zip(names, groups):
        if len(values) != len(masks):
            raise SystemExit(f"{header}: {name} has {len(values)} values but {len(masks)} masks")
        for value, (_, equ_names) in zip(values, masks):
            if not any(value in equ for equ in equ_names):
                print(f"{header.name}: {name} = {value} is {equ_names}; check by hand", file=sys.stderr)
        bits = 0
        for mask, _ in masks:
            bits |= ~mask & 0xFF
        pairs = " ".join(f"{value}={mask & bits:02X}" for value, (mask, _) in zip(values, masks))
        lines.append(f"setting: {byte} {name} {bits:02X} {pairs}")
    return lines


def main():
    source = DEVICE_FILE.read_bytes().decode("ascii")
    out = []
    model = None
    for line in source.split("\r\n"):
        if line.startswith("setting: "):
            continue
        out.append(line)
        if line.startswith("model: "):
            model = line.split()[1].lower()
        elif line.startswith("configalg:") and model:
            header = HEADERS / f"p{model[3:]}.inc"
            out.extend(setting_lines(header))
    DEVICE_FILE.write_bytes("\r\n".join(out).encode("ascii"))


if __name__ == "__main__":
    main()
