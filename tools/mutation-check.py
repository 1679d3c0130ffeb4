#!/usr/bin/env python3
"""Mutation check: does the test suite still catch the faults it should?

Each fault in tools/mutations.txt is one small textual change to the game (a flipped
comparison, an off-by-one, a dropped call, a wrong constant). The check copies the
repository to a scratch folder, builds it once, then for each fault: applies it,
rebuilds only the test executables that can see the changed file (found from the
build's own link lines), runs them cheapest first until one fails, and puts the file
back. A fault is "killed" when a test executable fails or times out, and "SURVIVED"
when every executable that can see it passes.

    tools/mutation-check.py                      every fault
    tools/mutation-check.py --only ticker-cap    one fault
    tools/mutation-check.py --folder src/levels  the faults in one folder
    tools/mutation-check.py --list               the faults, without running them
    tools/mutation-check.py --hints /tmp/fennik-mutants/last-run.json
                                                 each fault tries its last killer first

Not part of `make test`: a full run takes about half an hour on two cores. Needs a
display for the OpenGL tests; without one it re-runs itself under xvfb-run.
"""

import argparse
import json
import os
import re
import shutil
import signal
import subprocess
import sys
import time
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
XVFB = ["xvfb-run", "-a", "-s", "-screen 0 1920x1080x24 -noreset"]


class Fault:
    def __init__(self, ident):
        self.ident = ident
        self.file = ""
        self.find = ""
        self.replace = ""
        self.why = ""


def read_faults(path):
    faults, fault = [], None
    for number, raw in enumerate(path.read_text().splitlines(), 1):
        line = raw.strip()
        if not line or line.startswith("#"):
            continue
        header = re.fullmatch(r"\[([\w.-]+)\]", line)
        if header:
            fault = Fault(header.group(1))
            faults.append(fault)
            continue
        key, sep, value = raw.partition("=")
        key = key.strip()
        if fault is None or not sep or key not in ("file", "find", "replace", "why"):
            sys.exit(f"{path}:{number}: expected '[id]' or 'file|find|replace|why = ...'")
        value = value.strip()
        if key in ("find", "replace"):
            value = value.replace("\\n", "\n")
        setattr(fault, key, value)
    return faults


def check_faults(faults, root):
    problems = []
    seen = set()
    for fault in faults:
        if fault.ident in seen:
            problems.append(f"{fault.ident}: listed twice")
        seen.add(fault.ident)
        source = root / fault.file
        if not fault.file or not source.is_file():
            problems.append(f"{fault.ident}: no such file '{fault.file}'")
            continue
        count = source.read_text().count(fault.find) if fault.find else 0
        if count != 1:
            problems.append(f"{fault.ident}: the text to find occurs {count} times in {fault.file}, not once")
        if fault.find == fault.replace:
            problems.append(f"{fault.ident}: the replacement changes nothing")
    return problems


def sync_scratch(scratch):
    """Copies the tracked files that differ, so mtimes of
    unchanged files survive and a second run rebuilds nothing it need not. A
    copied file takes the time of the copy: with the source's older time it could
    look older than an object a mutant built, and never be compiled."""
    tracked = subprocess.run(["git", "ls-files", "-z"], cwd=ROOT, check=True,
                             capture_output=True).stdout.decode().split("\0")
    for name in filter(None, tracked):
        source, target = ROOT / name, scratch / name
        if not source.is_file():
            continue
        if target.is_file() and target.read_bytes() == source.read_bytes():
            continue
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copyfile(source, target)
        shutil.copymode(source, target)


def build(build_dir, targets, jobs):
    command = ["cmake", "--build", str(build_dir), f"-j{jobs}"]
    for target in targets:
        command += ["--target", target]
    return subprocess.run(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)


class BuildGraph:
    """Which test executables can see a source file: those that link the library built
    from it, or that run an executable (the game, the asset generator) that does."""

    def __init__(self, scratch, build_dir):
        self.scratch, self.build_dir = scratch, build_dir
        shown = subprocess.run(["ctest", "--show-only=json-v1"], cwd=build_dir, check=True,
                               capture_output=True, text=True).stdout
        # The `drivers` cases run the same programs on other OpenGL implementations,
        # under an environment of their own; the faults meet those programs here.
        self.tests = [t["name"] for t in json.loads(shown)["tests"]
                      if not any(p["name"] == "LABELS" and "drivers" in p["value"] for p in t.get("properties", []))]
        self.target_dirs = {d.name[:-4]: d for d in build_dir.rglob("CMakeFiles/*.dir")}
        self.links = {name: self._linked(name) for name in self.target_dirs}

    def _linked(self, target):
        directory = self.target_dirs[target]
        seen = {target}
        link = directory / "link.txt"
        if link.is_file():
            seen |= {Path(part).name[3:-2] for part in link.read_text().split() if part.endswith(".a")}
        flags = directory / "flags.make"
        if flags.is_file():
            for path in re.findall(r'=\\"([^"\\]+)\\"', flags.read_text()):
                name = Path(path).name
                if name in self.target_dirs and name != target:
                    seen.add(name)
        return seen

    def _closure(self, target):
        seen, todo = set(), [target]
        while todo:
            name = todo.pop()
            if name in seen:
                continue
            seen.add(name)
            todo += [n for n in self.links.get(name, ()) if n in self.target_dirs]
        return seen

    def owners(self, relative):
        """Targets built from a file: its object file's target, or every library of a
        header's folder, or for shaders the render library that loads them."""
        path = Path(relative)
        if path.parts[0] == "assets":
            return {"fennik_render"}
        owners = set()
        for target, directory in self.target_dirs.items():
            folder = directory.parent.parent.relative_to(self.build_dir)
            if path.is_relative_to(folder) and (directory / (str(path.relative_to(folder)) + ".o")).exists():
                owners.add(target)
        # A header: everything built in the nearest folder that builds anything.
        folder = path.parent
        while not owners and folder != Path("."):
            built_here = self.build_dir / folder / "CMakeFiles"
            owners = {d.name[:-4] for d in built_here.glob("*.dir")} if built_here.is_dir() else set()
            folder = folder.parent
        return owners

    def tests_seeing(self, relative):
        owners = self.owners(relative)
        return [t for t in self.tests if self._closure(t) & owners]


def run_test(scratch, build_dir, name, timeout):
    executables = list(build_dir.rglob(name))
    executable = next((e for e in executables if e.is_file() and os.access(e, os.X_OK)), None)
    if executable is None:
        return "missing", 0.0, ""
    started = time.monotonic()
    # A session of its own: on a timeout the whole group goes, with any game or X server
    # the test started, which would otherwise run on and load the machine.
    with subprocess.Popen([str(executable), "--gtest_brief=1", "--gtest_fail_fast"], cwd=scratch,
                          stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True, errors="replace",
                          start_new_session=True) as test:
        try:
            output, _ = test.communicate(timeout=timeout)
        except subprocess.TimeoutExpired:
            os.killpg(test.pid, signal.SIGKILL)
            output, _ = test.communicate()
            return "timeout", time.monotonic() - started, output
    return ("failed" if test.returncode else "passed"), time.monotonic() - started, output


def first_failure(output):
    for line in output.splitlines():
        if "Failure" in line or "[  FAILED  ]" in line or "Expected" in line:
            return line.strip()[:160]
    return ""


def main():
    parser = argparse.ArgumentParser(description="Puts single faults into the game and checks the tests catch them.")
    parser.add_argument("--faults", type=Path, default=ROOT / "tools" / "mutations.txt")
    parser.add_argument("--only", help="run the fault with this id")
    parser.add_argument("--folder", help="run the faults whose file lies in this folder")
    parser.add_argument("--scratch", type=Path, default=Path("/tmp/fennik-mutants"))
    parser.add_argument("--jobs", type=int, default=os.cpu_count() or 2)
    parser.add_argument("--list", action="store_true", help="list the faults and stop")
    parser.add_argument("--hints", type=Path,
                        help="an earlier run's last-run.json: each fault tries the executable that killed it first")
    arguments = parser.parse_args()

    faults = read_faults(arguments.faults)
    problems = check_faults(faults, ROOT)
    if problems:
        sys.exit("Faults that cannot be applied:\n  " + "\n  ".join(problems))
    if arguments.only:
        faults = [f for f in faults if f.ident == arguments.only]
    if arguments.folder:
        folder = arguments.folder.rstrip("/") + "/"
        faults = [f for f in faults if f.file.startswith(folder)]
    if not faults:
        sys.exit("No fault matches.")
    if arguments.list:
        for fault in faults:
            print(f"{fault.ident:32} {fault.file:40} {fault.why}")
        return

    if not os.environ.get("DISPLAY"):
        os.execvp(XVFB[0], XVFB + [sys.executable] + sys.argv)

    scratch = arguments.scratch.resolve()
    build_dir = scratch / "build"
    scratch.mkdir(parents=True, exist_ok=True)
    sync_scratch(scratch)
    subprocess.run(["bash", "tools/setup.sh"], cwd=scratch, check=True)  # packages and the font
    print(f"Scratch copy: {scratch}", flush=True)
    if not (build_dir / "CMakeCache.txt").exists():
        # The game's own optimisation without debug information: the same code (-g never
        # changes it), and each fault's relinking takes a fraction of the time. ccache
        # turns the rebuild after each fault is put back into a cache hit.
        configure = ["cmake", "-S", str(scratch), "-B", str(build_dir), "-DCMAKE_BUILD_TYPE=RelWithDebInfo",
                     "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG", "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O2 -DNDEBUG"]
        if shutil.which("ccache"):
            configure += ["-DCMAKE_CXX_COMPILER_LAUNCHER=ccache", "-DCMAKE_C_COMPILER_LAUNCHER=ccache"]
        subprocess.run(configure, check=True, stdout=subprocess.DEVNULL)
    built = build(build_dir, [], arguments.jobs)
    if built.returncode:
        sys.exit("The unchanged game does not build:\n" + built.stderr[-3000:])
    graph = BuildGraph(scratch, build_dir)

    # Every test must pass unchanged, and its time orders the runs: cheap tests first.
    timings_file = scratch / "timings.json"
    timings = json.loads(timings_file.read_text()) if timings_file.exists() else {}
    needed = sorted({t for f in faults for t in graph.tests_seeing(f.file)})
    for name in needed:
        if name in timings:
            continue
        outcome, seconds, output = run_test(scratch, build_dir, name, 1800)
        if outcome != "passed":
            sys.exit(f"{name} fails without any fault ({outcome}): {first_failure(output)}")
        timings[name] = round(seconds, 1)
        print(f"  unchanged {name}: passes in {seconds:.1f} s", flush=True)
        timings_file.write_text(json.dumps(timings, indent=1))

    hints = json.loads(arguments.hints.read_text())["results"] if arguments.hints else {}
    log_dir = scratch / "mutants"
    log_dir.mkdir(exist_ok=True)
    results = []
    started = time.monotonic()
    for fault in faults:
        source = scratch / fault.file
        original = source.read_text()
        source.write_text(original.replace(fault.find, fault.replace, 1))
        verdict, killer, detail = "SURVIVED", "", ""
        seconds_in = time.monotonic()
        try:
            killer_before = hints.get(fault.ident, ["", ""])[1]
            order = sorted(graph.tests_seeing(fault.file),
                           key=lambda t: (t != killer_before, timings.get(t, 1e9)))
            for name in order:
                built = build(build_dir, [name], arguments.jobs)
                if built.returncode:
                    verdict, detail = "does-not-build", built.stderr.strip().splitlines()[-1:]
                    break
                timeout = max(90.0, 3.0 * timings.get(name, 300.0))
                outcome, seconds, output = run_test(scratch, build_dir, name, timeout)
                if outcome == "missing":
                    verdict, detail = "does-not-build", f"{name} was not built"
                    break
                if outcome != "passed":
                    verdict, killer, detail = "killed", name, first_failure(output) or outcome
                    (log_dir / f"{fault.ident}.log").write_text(output)
                    break
        finally:
            source.write_text(original)
        results.append((fault, verdict, killer))
        took = time.monotonic() - seconds_in
        where = f"by {killer}" if killer else ""
        print(f"{verdict:9} {fault.ident:32} {where:32} {took:6.0f} s  {detail if verdict == 'killed' else fault.why}",
              flush=True)

    counted = [r for r in results if r[1] in ("killed", "SURVIVED")]
    killed = sum(1 for r in counted if r[1] == "killed")
    survivors = [r[0].ident for r in counted if r[1] == "SURVIVED"]
    broken = [r[0].ident for r in results if r[1] == "does-not-build"]
    rate = 100.0 * killed / len(counted) if counted else 0.0
    minutes = (time.monotonic() - started) / 60.0
    print(f"\nKill rate: {killed}/{len(counted)} = {rate:.1f} % in {minutes:.0f} min")
    if survivors:
        print("Survivors: " + ", ".join(survivors))
    if broken:
        print("Faults that do not build (not counted): " + ", ".join(broken))
    (scratch / "last-run.json").write_text(json.dumps(
        {"killed": killed, "counted": len(counted), "survivors": survivors,
         "results": {r[0].ident: [r[1], r[2]] for r in results}}, indent=1))


if __name__ == "__main__":
    main()
