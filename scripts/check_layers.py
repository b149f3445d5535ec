#!/usr/bin/env python3
"""Checks the direction of includes between the stub's modules.

Every module has a layer; a source file may include headers of its own layer
or of a lower one, never of a higher one. The table below is the only place
that names the layers. A module folder missing from it fails the check too,
so that a new module gets its place before its first include. Within a layer
(the core's modules included) two modules never include each other, not even
by a detour: the modules' include graph has no loop.

Usage: check_layers.py [source root]   (default: the checkout of this script)
Exit status 0 when every include points down or sideways and no modules
include each other, 1 otherwise.
"""
import os
import re
import sys

# Lowest first. The portable core (src/core/<Module>) is the bottom layer
# whatever its module name: it includes only itself and never <windows.h>.
LAYERS = [
    ("core", ["core"]),
    ("environment helpers",
     ["Files", "Utils", "KDebug", "Win64", "StubGlob", "ShellDir", "RunTimeDir", "ExecPipe"]),
    ("extraction, download, user interface and update settings",
     ["UnPack", "PackX", "InetHTTP", "ProcessViewer", "KMsgBox", "RichEdit", "KProgBar",
      "CommUtils", "LangRes0", "SLangId", "StubUtil"]),
    ("setup run", ["StubSetup"]),
    ("update agent", ["StubAU"]),
    ("main window and run mode", ["StubWin"]),
    ("entry", ["stub"]),
]

LAYER_OF = {module: rank for rank, (_, modules) in enumerate(LAYERS) for module in modules}
INCLUDE = re.compile(r'^\s*#\s*include\s*([<"])([^">]+)[">]')


def module_of(rel_path):
    """The module a path under src/ belongs to ("core" for the whole core)."""
    parts = rel_path.split("/")
    if parts[0] == "core":
        return "core"
    if parts[0] == "win" and len(parts) > 2:
        return parts[1]
    if parts[0] == "stub":
        return "stub"
    return None


def graph_node(rel_path):
    """The node of the module graph: core modules count one by one."""
    parts = rel_path.split("/")
    if parts[0] == "core" and len(parts) > 2:
        return "core/" + parts[1]
    return module_of(rel_path)


def find_loop(edges):
    """One loop of the module graph as a list of modules, or None."""
    state = {}

    def visit(node, path):
        state[node] = "open"
        path.append(node)
        for nxt in sorted(edges.get(node, ())):
            if state.get(nxt) == "open":
                return path[path.index(nxt):] + [nxt]
            if nxt not in state:
                loop = visit(nxt, path)
                if loop:
                    return loop
        path.pop()
        state[node] = "done"
        return None

    for node in sorted(edges):
        if node not in state:
            loop = visit(node, [])
            if loop:
                return loop
    return None


def check_file(src_root, rel_path, problems, edges):
    own = module_of(rel_path)
    if own is None:
        problems.append(f"src/{rel_path}: lies outside every module folder")
        return
    if own not in LAYER_OF:
        problems.append(f"src/{rel_path}: module {own} has no layer in {os.path.basename(__file__)}")
        return
    with open(os.path.join(src_root, rel_path), encoding="utf-8", errors="replace") as f:
        for number, line in enumerate(f, 1):
            m = INCLUDE.match(line)
            if not m:
                continue
            angle, target = m.group(1) == "<", m.group(2)
            where = f"src/{rel_path}:{number}: #include {line.strip()[len('#include'):].strip()}"
            if angle:
                if own == "core" and target.lower() in ("windows.h", "winbase.h", "winuser.h"):
                    problems.append(f"{where}\n    the portable core includes a Windows header")
                continue
            used = module_of(target)
            if used is None:
                continue  # a header beside the file, or a system or test header
            if graph_node(target) != graph_node(rel_path):
                edges.setdefault(graph_node(rel_path), {}).setdefault(graph_node(target), where)
            if used not in LAYER_OF:
                problems.append(f"{where}\n    module {used} has no layer")
                continue
            if LAYER_OF[used] > LAYER_OF[own]:
                problems.append(
                    f"{where}\n    {own} ({LAYERS[LAYER_OF[own]][0]}) must not include "
                    f"{used} ({LAYERS[LAYER_OF[used]][0]}): a lower layer includes a higher one")


def main():
    root = sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..")
    src_root = os.path.join(root, "src")
    problems = []
    edges = {}
    files = 0
    for folder, _, names in os.walk(src_root):
        for name in sorted(names):
            if not name.endswith((".h", ".cpp")):
                continue
            rel = os.path.relpath(os.path.join(folder, name), src_root).replace(os.sep, "/")
            files += 1
            check_file(src_root, rel, problems, edges)
    loop = find_loop(edges)
    if loop:
        steps = "\n".join(f"    {a} -> {b}: {edges[a][b]}" for a, b in zip(loop, loop[1:]))
        problems.append(f"modules include each other: {' -> '.join(loop)}\n{steps}")
    if problems:
        print("INCLUDE LAYERS BROKEN:", file=sys.stderr)
        for p in problems:
            print("  " + p, file=sys.stderr)
        return 1
    print(f"Include layers hold in {files} files.")
    return 0


if __name__ == "__main__":
    sys.exit(main())
