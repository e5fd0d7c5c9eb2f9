#!/usr/bin/python3
"""Listens to the running program with the Orca screen reader and checks what Orca says.

    orca_check.py PROGRAM

Run inside tools/desktop-session.sh --wm --a11y (an X server, a window manager and the AT-SPI
bus). Starts Orca with a scratch home of its own and no speech server: Orca still writes every
utterance to its debug log as "SPEECH OUTPUT: '...'", and that log is the transcript. Then starts
PROGRAM, presses real keys (xdotool) one step at a time and, before the next step, waits until
the utterances the step should bring are in the transcript, in order. Every wait has a deadline.
Exit status 0 when all holds.
"""

import importlib.util
import os
import re
import signal
import subprocess
import sys
import tempfile
import time

DEADLINE_S = 30  # for what one step should bring; generous for a loaded machine

# Orca's own start-up, as /usr/bin/orca does it, but for two things: the debug log is written line
# by line (Orca leaves it fully buffered, so the last utterances would stay unread), and no other
# Orca of the same user elsewhere on the machine stops this one from starting.
ORCA = r"""
import sys
from orca import debug, orca
log, prefs = sys.argv[1:]
debug.debugLevel = debug.LEVEL_ALL
debug.eventDebugLevel = debug.LEVEL_OFF
debug.debugFile = open(log, "w", buffering=1)
manager = orca.getSettingsManager()
manager.activate(prefs, {"enableBraille": False, "enableSound": False})
sys.path.insert(0, manager.getPrefsDir())
sys.exit(orca.main())
"""

UTTERANCE = re.compile(r"SPEECH OUTPUT: '(.*?)' ?\{", re.DOTALL)
CONTINUATION = "\n" + " " * 18  # how the log indents the further lines of one utterance

RECTANGULAR_RESULTS = ("Eqiv Ø (mm) 233, Vel (m/s) 4.09, dP Pa/m 1.0, Total dP (Pa) 1.0, "
                       "Vel Press (Pa) 10.1.")
RESULTS_FOR_5_LPS = ("Eqiv Ø (mm) 233, Vel (m/s) 0.11, dP Pa/m 0.0, Total dP (Pa) 0.0, "
                     "Vel Press (Pa) 0.0.")

# Each step: the key to press ("type:250" types a text), a name for the report, and what it makes
# Orca say: each text a part of an utterance, in this order. With exact=True they are the whole
# utterances, and all of them.
STEPS = [
    ("Tab", "into the round duct table",
     ["Round Duct panel.", "Round Duct.", "table with 23 rows 13 columns"], False),
    ("Tab", "into the flow box, its whole text", ["Air Volume Flow (l/s) text.", "183.7 selected."],
     False),
    ("type:250", "a flow of 250 l/s", ["2 ", "5 ", "0 "], False),
    ("shift+Tab", "back into the table", ["table with 23 rows 13 columns"], False),
    ("Down", "onto the headings", ["Vel (m/s) table column header."], False),
] + [
    ("Down", "down to the %d mm row" % size, ["Ø (mm) %d." % size], False)
    for size in (80, 100, 125, 150, 160, 200)
] + [
    ("Down", "down to the 250 mm row, its velocity for 250 l/s",
     ["250.", "5.09.", "Ø (mm) 250."], False),
    ("Right", "sideways: each of value, column and row once",
     ["dP Pa/m column header 1.3.", "Ø (mm) 250."], True),
    ("ctrl+Tab", "the rectangular page and its results",
     ["Rectangular Duct panel.", "Air Volume Flow (l/s) text.", RECTANGULAR_RESULTS], False),
    ("type:5", "a flow of 5 l/s there", ["5 "], False),
    ("KP_Enter", "where am I: the results kept current",
     ["Air Volume Flow (l/s) text.", RESULTS_FOR_5_LPS], False),
    ("ctrl+Tab", "the velocities page and both of its tables",
     ["Recommended Velocities panel.",
      "Recommended and maximum velocities.\nRecommended Velocities (m/s).\n"
      "Main Duct, Rectangular: Residences 3.6, Theaters & Libraries 5, Offices 11.2, "
      "Industrial 15.2.\n",
      "\nMaximum Velocities (m/s).\n",
      "\nBranch Duct, Round: Residences 5, Theaters & Libraries 5, Offices 12.6, "
      "Industrial 20.2."], False),
    ("ctrl+Tab", "the conversions page", ["Conversions panel.", "Volume Flow text."], False),
    ("Tab", "onto the unit", ["Original Units editable combo box."], False),
    ("type:l/s", "a unit typed", ["l ", "slash ", "s "], False),
    ("shift+Tab", "the conversions, named at the flow to convert",
     ["Volume Flow text.", "l/s 183.70, m³/s 0.18, m³/min 11.02, m³/hr 661.32."], False),
    ("ctrl+Tab", "round again", ["Round Duct panel.", "Round Duct."], False),
    ("Tab", "into the flow box, its whole text", ["Air Volume Flow (l/s) text.", "250 selected."],
     False),
    ("type:0", "a zero flow: the failure box",
     ["alert", "Floating point division by zero.", "OK push button."], False),
    ("Return", "the box closed", ["Quellborn Gustrule frame."], False),
]

failures = []


def check(condition, what):
    print(("ok     " if condition else "FAILED ") + what, flush=True)
    if not condition:
        failures.append(what)
    return condition


class Transcript:
    """What Orca has said, read from its debug log."""

    def __init__(self, path):
        self.path = path

    def utterances(self):
        try:
            with open(self.path, encoding="utf-8", errors="replace") as log:
                text = log.read()
        except FileNotFoundError:
            return []
        return [u.replace(CONTINUATION, "\n") for u in UTTERANCE.findall(text)]

    def wait_for(self, since, expected):
        """Waits until the utterances after the first `since` hold each of `expected` in order;
        returns those utterances and whether they did."""
        end = time.monotonic() + DEADLINE_S
        while True:
            said = self.utterances()[since:]
            if in_order(said, expected):
                return said, True
            if time.monotonic() > end:
                return said, False
            time.sleep(0.05)


def in_order(said, expected):
    text = "\0".join(said)
    position = 0
    for part in expected:
        position = text.find(part, position)
        if position < 0:
            return False
        position += len(part)
    return True


def press(key):
    if key.startswith("type:"):
        subprocess.run(["xdotool", "type", "--delay", "100", key[len("type:"):]], check=True)
    else:
        subprocess.run(["xdotool", "key", "--clearmodifiers", key], check=True)


def stop(process):
    if process.poll() is None:
        process.send_signal(signal.SIGTERM)
        try:
            process.wait(timeout=5)
        except subprocess.TimeoutExpired:
            process.kill()  # Orca can hang on its way out; its log is complete by now
            process.wait()


def main(program, scratch):
    if importlib.util.find_spec("orca") is None:
        check(False, "Orca is installed (package orca, tools/setup-debian.sh test)")
        return
    home = os.path.join(scratch, "home")
    prefs = os.path.join(scratch, "orca")
    os.makedirs(prefs)
    env = dict(os.environ, HOME=home, XDG_CONFIG_HOME=os.path.join(home, ".config"),
               XDG_DATA_HOME=os.path.join(home, ".local", "share"),
               XDG_CACHE_HOME=os.path.join(home, ".cache"),
               # No speech server: Orca's attempt to start one fails at once.
               SPEECHD_ADDRESS="unix_socket:" + os.path.join(scratch, "no-speech"),
               SPEECHD_CMD="/bin/false")
    transcript = Transcript(os.path.join(scratch, "orca.log"))
    orca = subprocess.Popen(["/usr/bin/python3", "-c", ORCA, transcript.path, prefs], env=env,
                            stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    app = None
    try:
        _, up = transcript.wait_for(0, ["Screen reader on."])
        if not check(up, "Orca is up"):
            return
        app = subprocess.Popen([program], env=dict(os.environ, QT_QPA_PLATFORM="xcb"))
        _, shown = transcript.wait_for(0, ["Round Duct  page tab list."])
        if not check(shown, "the window opens with the focus on the page tabs"):
            return
        for key, what, expected, exact in STEPS:
            since = len(transcript.utterances())
            press(key)
            said, held = transcript.wait_for(since, expected)
            if held and exact:
                time.sleep(0.5)  # anything more it would say
                said = transcript.utterances()[since:]
                held = said == expected
            if not check(held, "%s: %s" % (what, expected)):
                print("        Orca said: %r" % said, flush=True)
                return
    finally:
        if app is not None:
            stop(app)
        stop(orca)


if __name__ == "__main__":
    if len(sys.argv) != 2:
        sys.exit("usage: orca_check.py PROGRAM")
    with tempfile.TemporaryDirectory(prefix="gustrule-orca-") as scratch:
        main(sys.argv[1], scratch)
    print("%d failed" % len(failures) if failures else "all checks held", flush=True)
    sys.exit(1 if failures else 0)
