#!/usr/bin/env python3
"""Keeps the runtime's layers calling one way: a file may use its own layer
and the layers below it, never one above.

The layers and their order (lowest first) are the runtime_layers line of
runtime/CMakeLists.txt. Every runtime file must lie in one of them and name
runtime headers from the runtime's root ("session/frame.h").

    runtime_layout.py TOP                      checks the #include lines
    runtime_layout.py TOP --objects DIR --nm NM
                                               checks the calls between the
                                               objects of setuprt.dll too, which
                                               also go through setuprt.h

Prints one line per fault and exits 1 when there is any.
"""
import argparse
import os
import re
import subprocess
import sys

SOURCE_ENDINGS = ('.cpp', '.h')


def read_layers(runtime):
    with open(os.path.join(runtime, 'CMakeLists.txt')) as cmake:
        match = re.search(r'set\(runtime_layers ([^)]*)\)', cmake.read())
    if not match:
        sys.exit('runtime/CMakeLists.txt: no set(runtime_layers ...) line')
    return match.group(1).split()


def runtime_files(runtime):
    for folder, _, names in os.walk(runtime):
        for name in sorted(names):
            if name.endswith(SOURCE_ENDINGS):
                yield os.path.relpath(os.path.join(folder, name), runtime)


def layer_of(path):
    return path.split(os.sep)[0] if os.sep in path else None


def check_includes(runtime, rank):
    faults = []
    files = list(runtime_files(runtime))
    header_names = {os.path.basename(f) for f in files if f.endswith('.h')}
    for path in files:
        layer = layer_of(path)
        if layer not in rank:
            faults.append(f'runtime/{path}: lies in no layer of runtime_layers')
            continue
        with open(os.path.join(runtime, path), encoding='latin-1') as source:
            for number, line in enumerate(source, 1):
                match = re.match(r'\s*#\s*include\s+"([^"]+)"', line)
                if not match:
                    continue
                header = match.group(1)
                where = f'runtime/{path}:{number}'
                if '/' not in header:
                    if header in header_names:
                        faults.append(f'{where}: names {header} without its folder')
                    continue
                target = header.split('/')[0]
                if not os.path.exists(os.path.join(runtime, header)):
                    continue  # another module's, named from its own root
                if target not in rank:
                    faults.append(f'{where}: includes {header} from no layer of runtime_layers')
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


def check_calls(runtime, objects, nm, rank):
    # The objects are looked up by source, so objects of files moved or
    # deleted since, still lying in the build tree, do not count.
    faults = []
    owners, uses = {}, {}
    for source in runtime_files(runtime):
        if not source.endswith('.cpp'):
            continue
        candidates = [os.path.join(objects, source + ending) for ending in ('.obj', '.o')]
        found = [path for path in candidates if os.path.exists(path)]
        if not found:
            faults.append(f'runtime/{source}: no object in {objects}')
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
                faults.append(f'runtime/{source}: calls {symbol} of runtime/{owner}, '
                              f'but {layer} lies below {target}')
    return faults


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('top')
    parser.add_argument('--objects')
    parser.add_argument('--nm', default='nm')
    args = parser.parse_args()
    runtime = os.path.join(args.top, 'runtime')
    layers = read_layers(runtime)
    rank = {layer: i for i, layer in enumerate(layers)}
    faults = check_includes(runtime, rank)
    if args.objects:
        faults += check_calls(runtime, args.objects, args.nm, rank)
    for fault in faults:
        print(fault)
    if faults:
        print('layers, lowest first: ' + ' '.join(layers))
        return 1
    return 0


if __name__ == '__main__':
    sys.exit(main())
