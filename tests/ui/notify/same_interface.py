#!/usr/bin/env python3
"""Compares the introspection of a running object (on stdin) with an interface file.

    same_interface.py INTERFACE_XML < introspection.xml

Both must describe the same methods (names, the types and names of the input arguments, the
types of the output arguments, each in order) and signals (names and argument types) for every interface of the file. Prints the
differences and exits 1 when there are any.
"""
import sys
import xml.etree.ElementTree as ET


def members(root, interface_name):
    for interface in root.iter("interface"):
        if interface.get("name") == interface_name:
            break
    else:
        return None
    found = {}
    for method in interface.findall("method"):
        args = method.findall("arg")
        inputs = tuple((a.get("type"), a.get("name")) for a in args
                       if a.get("direction", "in") == "in")
        outputs = tuple(a.get("type") for a in args if a.get("direction", "in") == "out")
        found[("method", method.get("name"))] = (inputs, outputs)
    for signal in interface.findall("signal"):
        found[("signal", signal.get("name"))] = tuple(a.get("type") for a in signal.findall("arg"))
    return found


def main():
    wanted_root = ET.parse(sys.argv[1]).getroot()
    running_root = ET.fromstring(sys.stdin.read())
    problems = []
    for interface in wanted_root.iter("interface"):
        name = interface.get("name")
        wanted = members(wanted_root, name)
        running = members(running_root, name)
        if running is None:
            problems.append(f"the object offers no interface {name}")
            continue
        for key in sorted(set(wanted) | set(running)):
            if wanted.get(key) != running.get(key):
                problems.append(f"{name} {key[0]} {key[1]}: file {wanted.get(key)}, "
                                f"running {running.get(key)}")
    for problem in problems:
        print(problem, file=sys.stderr)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
