#!/usr/bin/env python3
"""Checks the include structure of src/ against the module order that
CMakeLists.txt declares, so a wrong-way include fails the test suite even
where the compiler would find the header (system headers, a ../ path).

- no include climbs out of its folder with ../;
- a module includes only itself and the modules it names in DEPS, and
  names no module there that it does not include;
- GL and GLUT headers only in *Gl.cpp files (and headers only they include);
- Bullet headers only inside src/physics and bench/baseline, and every
  physics header that names Bullet is in the module's private list, which
  names no header that does not exist.
"""
import os
import re
import sys

root = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "..", ".."))
cmake = open(os.path.join(root, "CMakeLists.txt")).read()

deps, private = {}, {}
for m in re.finditer(r"tumbalon_module\((\w+)([^)]*)\)", cmake):
    name, args = m.group(1), m.group(2).split()
    section, deps[name], private[name] = None, set(), set()
    for word in args:
        if word in ("DEPS", "PRIVATE_HEADERS", "LIBS", "PRIVATE_LIBS"):
            section = word
        elif section == "DEPS":
            deps[name].add(word)
        elif section == "PRIVATE_HEADERS":
            private[name].add(word)

problems = []
include = re.compile(r'^\s*#\s*include\s*([<"])([^>"]+)[>"]', re.M)
GL = re.compile(r"^(GL|GLUT)/")
BULLET = re.compile(r"^(bt[A-Z]|LinearMath/|BulletCollision/|BulletDynamics/)")


def includes(path):
    return include.findall(open(path, errors="replace").read())


for module in deps:
    folder = os.path.join(root, "src", module)
    for header in sorted(private[module]):
        if not os.path.exists(os.path.join(folder, header)):
            problems.append("CMakeLists.txt: private header %s/%s does not exist" % (module, header))
    for file in sorted(os.listdir(folder)):
        path = os.path.join(folder, file)
        where = "src/%s/%s" % (module, file)
        for kind, name in includes(path):
            if "../" in name:
                problems.append("%s: include climbs out of its module: %s" % (where, name))
            if kind == '"' and "/" in name:
                other = name.split("/")[0]
                if other in deps and other != module and other not in deps[module]:
                    problems.append("%s: %s is not among %s's dependencies" % (where, name, module))
                if other in private and other != module and name.split("/")[-1] in private[other]:
                    problems.append("%s: %s is private to %s" % (where, name, other))
            if GL.match(name) and not file.endswith("Gl.cpp") and not file.endswith("Gl.h"):
                problems.append("%s: GL header %s outside a *Gl.cpp file" % (where, name))
            if BULLET.match(name):
                if module != "physics":
                    problems.append("%s: Bullet header %s outside physics" % (where, name))
                elif file.endswith(".h") and file not in private["physics"]:
                    problems.append("%s: names Bullet but is not private to physics" % where)

    used = set()
    for file in os.listdir(folder):
        for kind, name in includes(os.path.join(folder, file)):
            if kind == '"' and "/" in name and name.split("/")[0] in deps:
                used.add(name.split("/")[0])
    for unused in sorted(deps[module] - used - {module}):
        problems.append("CMakeLists.txt: %s names %s in DEPS but includes none of it" % (module, unused))

for file in os.listdir(os.path.join(root, "bench")):
    if file.endswith(".cpp"):
        for _, name in includes(os.path.join(root, "bench", file)):
            if BULLET.match(name) or (name.startswith("physics/") and name.split("/")[-1] in private["physics"]):
                problems.append("bench/%s: %s belongs to bench/baseline only" % (file, name))

for p in problems:
    print(p)
print("layering: %d problem(s) in %d modules" % (len(problems), len(deps)))
sys.exit(1 if problems else 0)
