#!/usr/bin/env python3
"""Keeps a module's layers calling one way: a file may use its own layer and
the layers below it, never one above.

The layers and their order (lowest first) are the <module>_layers line of
<module>/CMakeLists.txt (runtime_layers, driver_layers). Every file of the
module must lie in one of them and name the module's headers from the
module's root ("session/frame.h", "base/text.h").

    layout.py TOP MODULE                   checks the #include lines
    layout.py TOP MODULE --objects DIR [--objects DIR ...] --nm NM
                                           checks the calls between the
                                           module's objects too, which may
                                           also go through a header of
                                           another module (setuprt.h)

Prints one line per fault and exits 1 when there is any.
"""
import argparse
import os
import re
import subprocess
import sys

SOURCE_ENDINGS = ('.cpp', '.h')


def read_layers(root, module):
    with open(os.path.join(root, 'CMakeLists.txt')) as cmake:
        match = re.search(r'set\(' + module + r'_layers ([^)]*)\)', cmake.read())
    if not match:
        sys.exit(f'{module}/CMakeLists.txt: no set({module}_layers ...) line')
    return match.group(1).split()


def module_files(root):
    for folder, _, names in os.walk(root):
        for name in sorted(names):
            if name.endswith(SOURCE_ENDINGS):
                yield os.path.relpath(os.path.join(folder, name), root)


def layer_of(path):
    return path.split(os.sep)[0] if os.sep in path else None


def check_includes(root, module, rank):
    faults = []
    files = list(module_files(root))
    header_names = {os.path.basename(f) for f in files if f.endswith('.h')}
    for path in files:
        layer = layer_of(path)
        if layer not in rank:
            faults.append(f'{module}/{path}: lies in no layer of {module}_layers')
            continue
        with open(os.path.join(root, path), encoding='latin-1') as source:
            for number, line in enumerate(source, 1):
                match = re.match(r'\s*#\s*include\s+"([^"]+)"', line)
                if not match:
                    continue
                header = match.group(1)
                where = f'{module}/{path}:{number}'
                if '/' not in header:
                    if header in header_names:
                        faults.append(f'{where}: names {header} without its folder')
                    continue
                if not os.path.exists(os.path.join(root, header)):
                    continue  # another module's, named from its own root
                target = header.split('/')[0]
                if target not in rank:
                    faults.append(f'{where}: includes {header} from no layer of {module}_layers')
                elif rank[target] > rank[layer]:
                    faults.append(f'{where}: includes {header}, but {layer} lies below {target}')
    return faults


def symbols_of(nm, obj):
    output = subprocess.run([nm, '-C', obj], capture_output=True, text=True, check=True).stdout
    defined, used = set(), set()
    for line in output.splitlines():
        line = line.strip()
        if line.startswith('U '):
            used.add(line[2:])
            continue
        parts = line.split(' ', 2)
        if len(parts) == 3 and parts[1] in 'TDBR':
            defined.add(parts[2])
    return defined, used


def check_calls(root, module, object_dirs, nm, rank):
    # The objects are looked up by source, so objects of files moved or
    # deleted since, still lying in the build tree, do not count.
    faults = []
    owners, uses = {}, {}
    for source in module_files(root):
        if not source.endswith('.cpp'):
            continue
        candidates = [os.path.join(objects, source + ending)
                      for objects in object_dirs for ending in ('.obj', '.o')]
        found = [path for path in candidates if os.path.exists(path)]
        if not found:
            faults.append(f'{module}/{source}: no object in {" ".join(object_dirs)}')
            continue
        defined, used = symbols_of(nm, found[0])
        uses[source] = used
        for symbol in defined:
            owners.setdefault(symbol, source)
    for source, used in sorted(uses.items()):
        layer = layer_of(source)
        if layer not in rank:
            continue
        for symbol in sorted(used):
            owner = owners.get(symbol)
            target = layer_of(owner) if owner else None
            if target in rank and rank[target] > rank[layer]:
                faults.append(f'{module}/{source}: calls {symbol} of {module}/{owner}, '
                              f'but {layer} lies below {target}')
    return faults


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('top')
    parser.add_argument('module')
    parser.add_argument('--objects', action='append', default=[])
    parser.add_argument('--nm', default='nm')
    args = parser.parse_args()
    root = os.path.join(args.top, args.module)
    layers = read_layers(root, args.module)
    rank = {layer: i for i, layer in enumerate(layers)}
    faults = check_includes(root, args.module, rank)
    if args.objects:
        faults += check_calls(root, args.module, args.objects, args.nm, rank)
    for fault in faults:
        print(fault)
    if faults:
        print('layers, lowest first: ' + ' '.join(layers))
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
