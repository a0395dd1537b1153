#!/usr/bin/env python3
# mutants.py: puts each small fault of faults.txt into the sources in turn, rebuilds and runs the tests until one fails.
"""Faults the tests must catch, one at a time.

Each fault of the table (faults.txt beside this script) is an exact text replacement in one
source file: a comparison flipped, a bound off by one, a call dropped. For each, the file is
changed, the unit tests are rebuilt and run (first the suites of the test files that include the
changed file's header, then the rest, two shards at once, stopping at the first failure), and
when none fails, the game is rebuilt and the quickest end-to-end tests that play through the
world are run, at once, stopping at the first failure. The file is put back byte for byte after each fault, whatever happens: an
error, a timeout, Ctrl-C. A copy of it is kept in BUILD/mutants/original while it is changed, so
that a run killed outright is mended by the next. At the end the faults no test caught are
listed, and BUILD/mutants/report.txt keeps the whole account.
"""

import argparse
import os
import re
import signal
import subprocess
import sys
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SOURCE = os.path.dirname(os.path.dirname(HERE))

# The end-to-end tests that play through the world, the search and the session, the quickest of
# them: a demo's screenshots byte for byte, and a demo recorded and played back.
E2E_TESTS = ["screens_demo", "demo_playback"]
# The programs they run.
E2E_TARGETS = ["tirvex"]
# What the unit tests leave to make check-release.
RELEASE_UNIT_TESTS = "DatafileReproduction.*"


class Fault:
    def __init__(self, number, path, find, replace, line):
        self.number, self.path, self.find, self.replace, self.line = number, path, find, replace, line
        self.outcome, self.by, self.seconds = "", "", 0.0

    def name(self):
        return "%d %s: %s -> %s" % (self.number, self.path, self.find.strip(), self.replace.strip())


def read_table(path):
    """The faults of the table: a line naming a file, then pairs of '- TEXT' (the text to find
    in one line of it, found exactly once) and '+ TEXT' (what it becomes); '#' comments."""
    faults, current, find, number = [], None, None, 0
    with open(path, encoding="utf-8") as table:
        for line_number, line in enumerate(table, 1):
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            if line.startswith("- "):
                if current is None or find is not None:
                    sys.exit("%s:%d: a '- ' line must follow a file or a '+ ' line" % (path, line_number))
                find = line[2:].strip()
            elif line.startswith("+ ") or line == "+":
                if find is None:
                    sys.exit("%s:%d: a '+ ' line must follow a '- ' line" % (path, line_number))
                number += 1
                faults.append(Fault(number, current, find, line[2:].strip(), line_number))
                find = None
            else:
                if find is not None:
                    sys.exit("%s:%d: the '- ' line above has no '+ ' line" % (path, line_number))
                current = line.strip()
    return faults


def read_bytes(path):
    with open(path, "rb") as f:
        return f.read()


def write_bytes(path, data):
    with open(path, "wb") as f:
        f.write(data)


class Sources:
    """Changes one source file at a time and always puts it back."""

    def __init__(self, keep_folder):
        self.keep_folder = keep_folder
        os.makedirs(keep_folder, exist_ok=True)
        self.mend_left_over()

    def kept(self, path):
        return os.path.join(self.keep_folder, path.replace("/", "%"))

    def mend_left_over(self):
        for name in os.listdir(self.keep_folder):
            path = name.replace("%", "/")
            print("mutants: %s was left changed by a run that was stopped: put back" % path)
            write_bytes(os.path.join(SOURCE, path), read_bytes(os.path.join(self.keep_folder, name)))
            os.remove(os.path.join(self.keep_folder, name))

    def change(self, fault):
        full = os.path.join(SOURCE, fault.path)
        original = read_bytes(full)
        text = original.decode("utf-8")
        if text.count(fault.find) != 1 or "\n" in fault.find:
            return None
        write_bytes(self.kept(fault.path), original)
        write_bytes(full, text.replace(fault.find, fault.replace).encode("utf-8"))
        return original

    def put_back(self, fault, original):
        # Written anew, so its time is newer than what was built from the fault: the next build
        # compiles it again.
        write_bytes(os.path.join(SOURCE, fault.path), original)
        os.remove(self.kept(fault.path))


class Interrupted(Exception):
    pass


def on_signal(number, frame):
    raise Interrupted()


def run(command, seconds, cwd=None, env=None):
    """Runs a command in a process group of its own, at most `seconds`; returns its status
    (None when it ran out of time) and its output."""
    child = subprocess.Popen(command, cwd=cwd, env=env, stdout=subprocess.PIPE,
                             stderr=subprocess.STDOUT, start_new_session=True)
    try:
        out, _ = child.communicate(timeout=seconds)
        return child.returncode, out.decode("utf-8", "replace")
    except subprocess.TimeoutExpired:
        os.killpg(child.pid, signal.SIGKILL)
        out, _ = child.communicate()
        return None, out.decode("utf-8", "replace")
    finally:
        if child.poll() is None:
            os.killpg(child.pid, signal.SIGKILL)
            child.wait()


def run_first_failure(commands, jobs, seconds, logs):
    """Runs the commands (name, argument list, environment), `jobs` at once, each at most
    `seconds`, their output in the folder `logs`; returns the name of the first that fails, or
    "" when all pass, stopping the others as soon as one fails."""
    waiting, running, failed = list(enumerate(commands)), [], ""
    try:
        while (waiting or running) and not failed:
            while waiting and len(running) < jobs:
                number, (name, command, env) = waiting.pop(0)
                with open(os.path.join(logs, "run%d.log" % number), "wb") as log:
                    child = subprocess.Popen(command, env=env, stdout=log, stderr=subprocess.STDOUT,
                                             start_new_session=True)
                running.append((name, child, log.name, time.time() + seconds))
            time.sleep(0.2)
            for entry in list(running):
                name, child, log, end = entry
                if child.poll() is None and time.time() < end:
                    continue
                running.remove(entry)
                if child.poll() is None:
                    failed = name + " (ran past %d s)" % seconds
                elif child.returncode != 0:
                    with open(log, encoding="utf-8", errors="replace") as out:
                        names = re.findall(r"^\[  FAILED  \] (\S+)", out.read(), re.M)
                    failed = name + (" " + names[0] if names else "")
                if failed:
                    break
    finally:
        for _, child, _, _ in running:
            if child.poll() is None:
                os.killpg(child.pid, signal.SIGKILL)
            child.wait()
    return failed


def suites_for(path):
    """The test suites of the test files that include the header of the changed file."""
    header = re.sub(r"^src/", "", os.path.splitext(path)[0]) + ".h"
    header_name = os.path.basename(header)
    suites = []
    tests = os.path.join(SOURCE, "tests")
    for name in sorted(os.listdir(tests)):
        if not name.endswith(".cpp"):
            continue
        text = open(os.path.join(tests, name), encoding="utf-8").read()
        if '"%s"' % header not in text and '"%s"' % header_name not in text:
            continue
        for suite in re.findall(r"^TEST(?:_F|_P)?\((\w+),", text, re.M):
            pattern = ("*" if "TEST_P(" + suite in text else "") + suite + ".*"
            if pattern not in suites:
                suites.append(pattern)
    return suites


def try_fault(fault, options, sources):
    """Puts the fault in, runs the tests, puts it back; sets the fault's outcome."""
    build = options.build
    original = sources.change(fault)
    if original is None:
        fault.outcome = "stale"
        fault.by = "the text is not found exactly once in one line"
        return
    try:
        status, out = run(["cmake", "--build", build, "-j", str(options.jobs), "--target", "tirvex_tests"],
                          options.build_seconds)
        if status != 0:
            fault.outcome, fault.by = "no build", "does not compile"
            return
        binary = os.path.join(build, "tests", "tirvex_tests")
        focus = suites_for(fault.path)
        runs = []
        if focus:
            runs.append(":".join(focus) + "-" + RELEASE_UNIT_TESTS)
            runs.append("-" + ":".join(focus + [RELEASE_UNIT_TESTS]))
        else:
            runs.append("-" + RELEASE_UNIT_TESTS)
        logs = os.path.dirname(sources.keep_folder)
        for pattern in runs:
            shards = [("unit", [binary, "--gtest_fail_fast", "--gtest_brief=1", "--gtest_filter=" + pattern],
                       dict(os.environ, GTEST_TOTAL_SHARDS=str(options.jobs), GTEST_SHARD_INDEX=str(i)))
                      for i in range(options.jobs)]
            failed = run_first_failure(shards, options.jobs, options.unit_seconds, logs)
            if failed:
                fault.outcome, fault.by = "caught", failed
                return
        status, out = run(["cmake", "--build", build, "-j", str(options.jobs), "--target"] + E2E_TARGETS,
                          options.build_seconds)
        if status != 0:
            fault.outcome, fault.by = "no build", "the game or a tool does not compile"
            return
        # Quickest first; each its own ctest run, so that the first to fail stops the others.
        e2e = [("e2e_" + name, ["ctest", "--test-dir", build, "-R", "^e2e_%s$" % name,
                                "--timeout", str(options.e2e_seconds)], dict(os.environ))
               for name in E2E_TESTS]
        failed = run_first_failure(e2e, options.jobs, options.e2e_seconds + 30, logs)
        if failed:
            fault.outcome, fault.by = "caught", failed
            return
        fault.outcome = "survived"
    finally:
        sources.put_back(fault, original)


def main():
    parser = argparse.ArgumentParser(description="Puts each fault of the table into the sources in "
                                     "turn and lists the faults no test catches.")
    parser.add_argument("--build", default=os.path.join(SOURCE, "build"), help="the build folder (build)")
    parser.add_argument("--table", default=os.path.join(HERE, "faults.txt"), help="the faults (faults.txt)")
    parser.add_argument("--jobs", type=int, default=2, help="builds and test shards at once (2)")
    parser.add_argument("--only", default="", help="only the faults whose file or text holds this")
    parser.add_argument("--list", action="store_true", help="list the faults and check they apply")
    parser.add_argument("--build-seconds", type=int, default=600)
    parser.add_argument("--unit-seconds", type=int, default=300)
    parser.add_argument("--e2e-seconds", type=int, default=120)
    options = parser.parse_args()
    options.build = os.path.abspath(options.build)

    faults = [f for f in read_table(options.table) if options.only in f.name()]
    if options.list:
        stale = 0
        for fault in faults:
            text = read_bytes(os.path.join(SOURCE, fault.path)).decode("utf-8")
            applies = text.count(fault.find) == 1
            stale += not applies
            print(("" if applies else "STALE ") + fault.name())
        print("%d faults, %d stale" % (len(faults), stale))
        return 1 if stale else 0
    if not os.path.isfile(os.path.join(options.build, "CMakeCache.txt")):
        sys.exit("mutants: %s is not a configured build: run make build first" % options.build)

    for number in (signal.SIGINT, signal.SIGTERM, signal.SIGHUP):
        signal.signal(number, on_signal)
    sources = Sources(os.path.join(options.build, "mutants", "original"))
    started = time.time()
    status, out = run(["cmake", "--build", options.build, "-j", str(options.jobs), "--target",
                       "tirvex_tests"] + E2E_TARGETS, options.build_seconds * 3)
    if status != 0:
        sys.exit("mutants: the build without a fault fails:\n" + out[-3000:])
    done = []
    try:
        for fault in faults:
            begun = time.time()
            try_fault(fault, options, sources)
            fault.seconds = time.time() - begun
            done.append(fault)
            print("%-9s %5.0f s  %s%s" % (fault.outcome, fault.seconds, fault.name(),
                                          "  [" + fault.by + "]" if fault.by else ""), flush=True)
    except Interrupted:
        print("mutants: stopped; every file is as it was")
    finally:
        signal.signal(signal.SIGINT, signal.SIG_IGN)
        # The build made from the last fault is made again from the sources as they are.
        run(["cmake", "--build", options.build, "-j", str(options.jobs), "--target", "tirvex_tests"] +
            E2E_TARGETS, options.build_seconds * 3)

    counts = {}
    for fault in done:
        counts[fault.outcome] = counts.get(fault.outcome, 0) + 1
    summary = "%d faults tried in %.0f s: %d caught, %d survived, %d did not build, %d stale" % (
        len(done), time.time() - started, counts.get("caught", 0), counts.get("survived", 0),
        counts.get("no build", 0), counts.get("stale", 0))
    survivors = [f for f in done if f.outcome == "survived"]
    lines = [summary] + (["faults no test caught:"] + ["  " + f.name() for f in survivors] if survivors else [])
    print("\n".join(lines))
    with open(os.path.join(options.build, "mutants", "report.txt"), "w", encoding="utf-8") as report:
        for fault in done:
            report.write("%-9s %5.0f s  %s%s\n" % (fault.outcome, fault.seconds, fault.name(),
                                                   "  [" + fault.by + "]" if fault.by else ""))
        report.write("\n".join(lines) + "\n")
    return 1 if survivors or len(done) < len(faults) else 0


if __name__ == "__main__":
    sys.exit(main())
