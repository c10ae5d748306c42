"""The package against what it is built on: the adapter's public header, and its own layers."""

import ast
import pathlib
import re

from korvex import _library

REPOSITORY = pathlib.Path(__file__).resolve().parents[3]
PACKAGE = REPOSITORY / "bindings" / "python" / "src" / "korvex"

# C types of the header as the package declares them to ctypes.
C_TYPES = {"int16_t": "c_short", "uint8_t": "c_ubyte", "uint8_t*": "c_void_p"}


def header_prototypes():
    """{name: (result, (argument, ...))} of every function korvex.h exports."""
    header = (REPOSITORY / "adapter" / "include" / "korvex.h").read_text()
    header = re.sub(r"/\*.*?\*/", " ", header, flags=re.S)
    prototypes = {}
    for result, name, arguments in re.findall(r"KX_API\s+(\w+)\s+KX_CALL\s+(Zq\w+)\s*\(([^)]*)\)\s*;", header):
        types = []
        for argument in arguments.split(","):
            argument = " ".join(argument.split())
            if argument == "void":
                continue
            kind = re.match(r"(?:const\s+)?(\w+)\s*(\*?)", argument)
            types.append(C_TYPES[kind.group(1) + kind.group(2)])
        prototypes[name] = (C_TYPES[result], tuple(types))
    return prototypes


def test_the_signature_table_is_the_headers():
    package = {name: (result.__name__, tuple(kind.__name__ for kind in arguments))
               for name, result, arguments in _library._SIGNATURES}
    header = header_prototypes()
    assert len(header) == 37
    assert len(_library._SIGNATURES) == len(package)  # each name once
    assert package == header


def test_modules_import_each_other_in_one_direction():
    # Every import of a module of the package, also those made for type checking only.
    imports = {}
    for source in PACKAGE.glob("*.py"):
        names = set()
        for node in ast.walk(ast.parse(source.read_text())):
            if isinstance(node, ast.ImportFrom) and node.level == 1:
                names.update([node.module] if node.module else [alias.name for alias in node.names])
        imports[source.stem] = names - {source.stem}
    # Peel off modules that import nothing left; a circle is what cannot be peeled.
    left = dict(imports)
    while True:
        leaves = [module for module, names in left.items() if not names & left.keys()]
        if not leaves:
            break
        for module in leaves:
            del left[module]
    assert not left, f"modules in a circle: {sorted(left)}"
