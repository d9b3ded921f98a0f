#!/usr/bin/env python3
"""Checks the source tree's includes and library links against the layers that
docs/architecture.md declares: a folder may use itself and the folders of lower layers only.

usage: check_layers.py SOURCE_DIR
"""
import pathlib
import re
import sys

SOURCE_EXTENSIONS = {".cpp", ".h"}
INCLUDE = re.compile(r'^\s*#\s*include\s+"([a-z][a-z0-9_-]*)/')
LIBRARY = re.compile(r"add_library\(\s*(tralvo_[a-z0-9_]+)")
LINKS = re.compile(r"target_link_libraries\(\s*([A-Za-z0-9_.-]+)([^)]*)\)", re.S)


def read_layers(architecture):
    """The fenced block of 'layer N: folder ...' lines: folder -> layer number."""
    layers = {}
    for line in architecture.read_text(encoding="utf-8").splitlines():
        match = re.match(r"^layer (\d+):\s*(.+)$", line.strip())
        if match:
            for folder in match.group(2).split():
                layers[folder] = int(match.group(1))
    return layers


def allowed(layers, user, used):
    return used == user or used not in layers or layers[used] < layers[user]


def include_faults(root, layers):
    faults = []
    for folder in layers:
        for path in sorted((root / folder).rglob("*")):
            if path.suffix not in SOURCE_EXTENSIONS:
                continue
            for number, line in enumerate(path.read_text(encoding="utf-8").splitlines(), 1):
                match = INCLUDE.match(line)
                if match and not allowed(layers, folder, match.group(1)):
                    faults.append(f"{path.relative_to(root)}:{number}: {folder} (layer "
                                  f"{layers[folder]}) includes {match.group(1)} (layer "
                                  f"{layers[match.group(1)]})")
    return faults


def link_faults(root, layers):
    # Which folder defines each library, then what each folder's targets link.
    # A folder's CMakeLists.txt may include pieces of its own (<name>.cmake).
    owner = {}
    lists = [(folder, cmake) for folder in layers
             for cmake in sorted((root / folder).glob("CMakeLists.txt")) +
             sorted((root / folder).glob("*.cmake"))]
    for folder, cmake in lists:
        for library in LIBRARY.findall(cmake.read_text(encoding="utf-8")):
            owner[library] = folder
    faults = []
    for folder, cmake in lists:
        for target, arguments in LINKS.findall(cmake.read_text(encoding="utf-8")):
            for library in re.findall(r"tralvo_[a-z0-9_]+", arguments):
                used = owner.get(library)
                if used and not allowed(layers, folder, used):
                    faults.append(f"{cmake.relative_to(root)}: {target} in {folder} links "
                                  f"{library} of {used}")
    return faults


def main():
    root = pathlib.Path(sys.argv[1])
    layers = read_layers(root / "docs" / "architecture.md")
    if not layers:
        print("docs/architecture.md declares no layers")
        return 1
    missing = [folder for folder in layers if not (root / folder).is_dir()]
    faults = [f"docs/architecture.md names {folder}/, which does not exist" for folder in missing]
    faults += include_faults(root, {f: n for f, n in layers.items() if f not in missing})
    faults += link_faults(root, {f: n for f, n in layers.items() if f not in missing})
    for fault in faults:
        print(fault)
    print(f"{len(layers)} folders checked, {len(faults)} against the layers")
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main())
