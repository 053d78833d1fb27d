#!/usr/bin/env python3
"""What every bench script does before it measures: a private home with the
program's directories and settings file, the environment that points the
program (or an engine) at it, the program started in it, waiting on a
condition with a bound, and stopping what was started.

From a shell script, `python3 bench/common.py environment HOME` makes the
private home and prints the environment as export lines for eval.
"""

import os
import shlex
import shutil
import signal
import subprocess
import sys
import tempfile
import time
from pathlib import Path

HERE = Path(__file__).resolve().parent
CORPUS = HERE.parent / "tests" / "data" / "corpus" / "products"
# The program's directories in the home; the settings below point at them.
DIRECTORIES = ("data", "img", "sa", "arch", "in", ".config", "run")


def private_home(prefix, extra_dirs=(), home=None):
    """A new home (a temporary directory unless home is given) with the
    program's directories and the runtime directory private to its owner."""
    home = Path(home) if home else Path(tempfile.mkdtemp(prefix=prefix))
    for d in DIRECTORIES + tuple(extra_dirs):
        (home / d).mkdir(parents=True, exist_ok=True)
    os.chmod(home / "run", 0o700)
    return home


def write_settings(home, extra=""):
    """The settings file: Network mode, the store and Data-In in the home;
    extra holds more lines of the [Config] section."""
    (home / ".config" / "Vantorel-v15.conf").write_text(
        "[Config]\n"
        f"TextPath={home}/data/\nGIFPath={home}/img/\nSAPath={home}/sa/\n"
        f"ArchivePath={home}/arch/\nTransferPath={home}/in/\nNetworkMode=True\n" + extra)


def environment(home, offscreen=False):
    env = dict(os.environ, HOME=str(home), XDG_CONFIG_HOME=str(home / ".config"),
               XDG_DATA_HOME=str(home / ".local/share"), XDG_RUNTIME_DIR=str(home / "run"))
    if offscreen:
        env["QT_QPA_PLATFORM"] = "offscreen"
    return env


def configure(prefix, extra_settings="", extra_dirs=(), offscreen=False):
    """A private home with its settings file; returns (home, environment)."""
    home = private_home(prefix, extra_dirs)
    write_settings(home, extra_settings)
    return home, environment(home, offscreen)


def program_dir(home):
    """Where the program keeps its own files (alarm file, logs, track/)."""
    return home / ".local/share/vantorel"


def wait_for(predicate, timeout, step=0.05):
    """True as soon as predicate() is; False after timeout seconds."""
    end = time.monotonic() + timeout
    while time.monotonic() < end:
        if predicate():
            return True
        time.sleep(step)
    return False


def start_offscreen(program, env, args=()):
    return subprocess.Popen([str(program), *args], env=env, stdout=subprocess.DEVNULL,
                            stderr=subprocess.DEVNULL)


class DisplayedProgram:
    """The program under xvfb-run, which gives it a display and its
    authority. pid is the program's own, display and xauthority let a
    screenshot be taken."""

    def __init__(self, program, env, home, timeout=20):
        started = home / "started"
        self.process = subprocess.Popen(
            ["xvfb-run", "-a", "-s", "-screen 0 1280x1024x24", "sh", "-c",
             'echo "$$ $DISPLAY $XAUTHORITY" > "$0.tmp" && mv "$0.tmp" "$0" && exec "$1"',
             str(started), str(program)],
            env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
            start_new_session=True)
        if not wait_for(started.exists, timeout):
            self.stop()
            sys.exit(f"{program} did not start under xvfb-run")
        pid, self.display, self.xauthority = started.read_text().split()
        self.pid = int(pid)

    def alive(self):
        return self.process.poll() is None and Path(f"/proc/{self.pid}").exists()

    def stop(self):
        """Ends the program, then xvfb-run's whole session if it lingers."""
        if self.process.poll() is None and getattr(self, "pid", None):
            try:
                os.kill(self.pid, signal.SIGTERM)
                self.process.wait(10)
            except (ProcessLookupError, subprocess.TimeoutExpired):
                pass
        if self.process.poll() is None:
            os.killpg(self.process.pid, signal.SIGTERM)
            self.process.wait()


def stop(process, timeout=10):
    """Asks a process to end, kills it when it does not within timeout."""
    if process.poll() is not None:
        return
    process.terminate()
    try:
        process.wait(timeout)
    except subprocess.TimeoutExpired:
        process.kill()
        process.wait()


def status_kb(pid, key):
    """A memory figure of /proc/PID/status (VmRSS, VmHWM) in kB, None when gone."""
    try:
        for line in Path(f"/proc/{pid}/status").read_text().splitlines():
            if line.startswith(key + ":"):
                return int(line.split()[1])
    except OSError:
        pass
    return None


def remove(home):
    shutil.rmtree(home, ignore_errors=True)


def main():
    if len(sys.argv) != 3 or sys.argv[1] != "environment":
        sys.exit(__doc__)
    home = private_home("", home=sys.argv[2])
    for name in ("HOME", "XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_RUNTIME_DIR"):
        print(f"export {name}={shlex.quote(environment(home)[name])}")
    return 0


if __name__ == "__main__":
    sys.exit(main())
