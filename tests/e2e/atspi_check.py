# Reads the running wexo through AT-SPI, as a screen reader does. Exits 1 on
# the first difference, with what was read.
import subprocess
import sys
import time

import pyatspi

failures = []


def check(ok, what):
    print(("ok     " if ok else "FEHLER ") + what)
    if not ok:
        failures.append(what)


def states(o):
    return {pyatspi.stateToString(s) for s in o.getState().getStates()}


def walk(o, out):
    out.append(o)
    for i in range(o.childCount):
        c = o.getChildAtIndex(i)
        if c is not None:
            walk(c, out)
    return out


def application():
    for _ in range(100):
        desktop = pyatspi.Registry.getDesktop(0)
        for i in range(desktop.childCount):
            a = desktop.getChildAtIndex(i)
            if a is not None and a.name == "wexo":
                return a
        time.sleep(0.1)
    return None


def key_binding(o):
    try:
        a = o.queryAction()
        return a.getKeyBinding(0) if a.nActions else ""
    except NotImplementedError:
        return ""


def focused(app):
    # The control with the focus: a view's current cell keeps its own state,
    # so cells count only under their focused view.
    found = []
    for o in walk(app, []):
        if "focused" in states(o) and o.getRoleName() != "table cell":
            found.append(o)
    return found


def start_buttons(app):
    # The buttons beside the start menu's scroll bar.
    bar = next(o for o in walk(app, []) if o.getRoleName() == "scroll bar" and o.name == "Startmenü blättern")
    panel = bar.parent
    return [c for c in (panel.getChildAtIndex(i) for i in range(panel.childCount))
            if c is not None and c.getRoleName() == "push button" and "showing" in states(c)]


def key(name):
    subprocess.run(["xdotool", "key", "--clearmodifiers", name], check=True)


def wait_focus(app, before):
    for _ in range(30):
        time.sleep(0.1)
        now = focused(app)
        if len(now) == 1 and (now[0].getRoleName(), now[0].name) != before:
            return (now[0].getRoleName(), now[0].name)
    now = focused(app)
    return (now[0].getRoleName(), now[0].name) if len(now) == 1 else ("?", ", ".join(o.name for o in now))


app = application()
if app is None:
    print("FEHLER wexo meldet sich nicht über AT-SPI")
    sys.exit(1)
for _ in range(50):
    if any(o.getRoleName() == "push button" and o.name == "Artikelinfo" for o in walk(app, [])):
        break
    time.sleep(0.1)
nodes = walk(app, [])

# The area shown is the checked start button, and only it.
areas = start_buttons(app)
check([o.name for o in areas if "checked" in states(o)] == ["Artikelinfo"], "geöffneter Bereich: Artikelinfo ist markiert")
check(key_binding(next(o for o in areas if o.name == "Disposition")) == "D", "Taste des Startknopfs Disposition: D")

# A menu entry's key letter is its shortcut.
entries = {o.name: o for o in nodes if o.getRoleName() == "push button" and "showing" in states(o)}
check(key_binding(entries.get("Übersicht und Einzelanzeige")) == "I", "Taste von „Übersicht und Einzelanzeige“: I")
check(key_binding(entries.get("Inventurzählung")) == "Z", "Taste von „Inventurzählung“: Z")

# Every button on screen has a name, icon-only ones included.
unnamed = [o.getRoleName() for o in nodes if o.getRoleName() == "push button" and "showing" in states(o) and not o.name]
check(not unnamed, "jeder sichtbare Knopf hat einen Namen")

# The run cell of every task row is named after its task.
tasks = next((o for o in nodes if o.getRoleName() in ("tree", "table", "tree table") and o.name == "Aufgaben"), None)
cells = [tasks.getChildAtIndex(i) for i in range(tasks.childCount)] if tasks else []
cells = [c for c in cells if c is not None and c.getRoleName() == "table cell"]
runs = [c.name for c in cells[2::3]]
check(len(runs) >= 9 and all(r == "Öffnen: " + t.name for r, t in zip(runs, cells[0::3])),
      "Ausführen-Zelle jeder Aufgabe benannt (%d Zeilen)" % len(runs))

# Tab from the start: the panels in their order, and back with Shift+Tab.
wid = subprocess.run(["xdotool", "search", "--onlyvisible", "--name", "^Artikelverwaltung"],
                     capture_output=True, text=True).stdout.split()
subprocess.run(["xdotool", "windowfocus", "--sync", wid[0]], check=False)
order = [("push button", "Übersicht und Einzelanzeige"), ("tree", "Aufgaben"), ("tree", "Schnelleinstieg"),
         ("push button", "Schnelleinstieg anlegen"), ("push button", "Schnelleinstieg bearbeiten"),
         ("push button", "Schnelleinstieg kopieren"), ("push button", "Schnelleinstieg löschen"),
         ("push button", "Schnelleinstieg ausführen"), ("push button", "Schnelleinstieg exportieren"),
         ("push button", "Schnelleinstieg importieren"), ("push button", "Spaltenanzahl ändern"),
         ("push button", "Suchen (Strg+F)"), ("push button", "Artikelinfo"), ("push button", "Beenden"),
         ("push button", "Übersicht und Einzelanzeige")]
start = wait_focus(app, None)
check(start == order[0], "Fokus am Anfang: %s „%s“" % start)
seen = [start]
for _ in order[1:]:
    key("Tab")
    seen.append(wait_focus(app, seen[-1]))
check(seen == order, "Tab: " + " → ".join("„%s“" % n for _, n in seen))
back = [seen[-1]]
for _ in order[1:]:
    key("shift+Tab")
    back.append(wait_focus(app, back[-1]))
check(back == order[::-1], "Umschalt+Tab: " + " → ".join("„%s“" % n for _, n in back))

# Switching the area by its key moves the checked state.
key("d")
time.sleep(0.5)
areas = start_buttons(app)
check([o.name for o in areas if "checked" in states(o)] == ["Disposition"], "nach D: Disposition ist markiert")

sys.exit(1 if failures else 0)
