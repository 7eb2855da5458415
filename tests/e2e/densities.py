"""The program at screen densities other than 96 dpi: the main window and the about box laid
out as at 96 dpi, scaled, with their texts unclipped. Wine takes its density from the
registry when it starts, so the scenario runs in a prefix of its own, copied from the main
one, and restarts that prefix's wineserver for each density. A 200 % window does not
fit the suite's 1024 x 768 display, so the scenario has a display of its own, as large as
the screens such densities are made for."""

import glob
import os
import re
import shutil
import subprocess
import time

from driver import ABOUT_BOX_CAPTION, LAYOUT, Failure, equal, expect, windows_path

DENSITIES = (144, 192)
SCREEN = "2560x1600x24"
# Black: the status texts; the panels' edges are grey and white.
INK_LEVEL = 64


def scaled(length, dpi):
    return (length * dpi + 48) // 96


def scaled_rect(rect, dpi):
    """[left, top, width, height] of the 96-dpi layout at dpi: its edges scaled."""
    left, top, width, height = rect
    right, bottom = scaled(left + width, dpi), scaled(top + height, dpi)
    return [scaled(left, dpi), scaled(top, dpi), right - scaled(left, dpi),
            bottom - scaled(top, dpi)]


def near(actual, expected, what):
    if any(abs(a - e) > 1 for a, e in zip(actual, expected)):
        raise Failure(f"{what}: {actual}, expected {expected} within a pixel")


# The about box's controls at 96 dpi, in creation order: [left, top, width, height] each.
ABOUT_LAYOUT = {
    "copyright": [183, 72, 113, 13],
    "version": [206, 51, 59, 13],
    "mpgname": [159, 9, 147, 37],
    "Bevel1": [3, 95, 502, 2],
    "Image1": [16, 16, 36, 36],
    "BtnOK": [434, 312, 72, 25],
    "RichEdit21": [3, 104, 503, 201],
}
# The status bar's panels at 96 dpi.
STATUS_PANEL_WIDTHS = [138, 127, 500]


def set_density(dpi):
    subprocess.run(["wine", "reg", "add", r"HKCU\Control Panel\Desktop", "/v", "LogPixels",
                    "/t", "REG_DWORD", "/d", str(dpi), "/f"], check=True, timeout=120,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    stop_wineserver()


def stop_wineserver():
    """Stops this prefix's wineserver, which reads the density again when it starts."""
    subprocess.run(["wineserver", "-k"], stderr=subprocess.DEVNULL, timeout=60)
    subprocess.run(["wineserver", "-w"], timeout=60)


def start_keeper(build):
    """Brings up Wine's background processes before the program (as tests/keeper.cpp says
    why): started by the program or by peek, they would hold peek's output open."""
    ready = os.path.join(build, "densities-keeper.ready")
    if os.path.exists(ready):
        os.remove(ready)
    keeper = subprocess.Popen(["wine", os.path.join(build, "tests", "keeper.exe"),
                               windows_path(ready)], stdin=subprocess.DEVNULL,
                              stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    deadline = time.monotonic() + 120
    while not os.path.exists(ready):
        if time.monotonic() > deadline:
            raise Failure("Wine's background processes did not start within 120 s")
        time.sleep(0.1)
    return keeper


def own_prefix(build):
    """The copy of the main prefix, made again when the main one has changed since, for
    example by a new stand-in for the interface font: its markers are then newer."""
    main = os.path.join(build, "wine")
    prefix = os.path.join(build, "wine-densities")
    copied = os.path.join(prefix, ".reelbond-densities")
    markers = glob.glob(os.path.join(main, ".reelbond-*"))
    if os.path.exists(copied) and all(
            os.path.getmtime(marker) <= os.path.getmtime(copied) for marker in markers):
        return prefix
    for stale in (prefix, prefix + ".new"):
        shutil.rmtree(stale, ignore_errors=True)
    subprocess.run(["cp", "-a", main, prefix + ".new"], check=True)
    os.rename(prefix + ".new", prefix)
    open(copied, "w").close()
    return prefix


def ink_right(pixels, width, columns):
    """The rightmost column of the given ones holding a text pixel; -1 for none."""
    right = -1
    for index in range(0, len(pixels), 3):
        x = index // 3 % width
        if x in columns and max(pixels[index:index + 3]) < INK_LEVEL:
            right = max(right, x)
    return right


def grab(window, rect):
    """The client-area rectangle [left, top, width, height] of window, as RGB bytes."""
    left, top = window.data["client"][:2]
    geometry = "{2}x{3}+{0}+{1}".format(left + rect[0], top + rect[1], *rect[2:])
    ppm = subprocess.run(["import", "-window", "root", "-crop", geometry, "+repage", "-depth", "8",
                          "ppm:-"],
                         check=True, capture_output=True, timeout=30).stdout
    header = re.match(rb"P6\s+\d+\s+\d+\s+\d+\s", ppm)
    return ppm[header.end():]


def painted(window, rect, timeout=15):
    """The rectangle's pixels once the window has painted it (the display's background is
    black, as the text is)."""
    deadline = time.monotonic() + timeout
    while True:
        pixels = grab(window, rect)
        if max(pixels) > 150:
            return pixels
        if time.monotonic() > deadline:
            raise Failure(f"the window did not paint {rect}")
        time.sleep(0.1)


def expect_status_fits(window, dpi):
    """Panel 0's text ends inside its panel; panel 2's before the progress bar over it."""
    bar = window.child("StatusBar1")["rect"]
    widths = [scaled(width, dpi) for width in STATUS_PANEL_WIDTHS]
    margin = scaled(3, dpi)
    pixels = painted(window, bar)
    first_end = widths[0]
    right = ink_right(pixels, bar[2], range(0, first_end))
    expect(0 < right < first_end - margin, f"panel 0's text ends at {right} of {first_end}")
    progress = window.child("ProgressBar1")["rect"][0] - bar[0]
    right = ink_right(pixels, bar[2], range(widths[0] + widths[1], progress))
    expect(0 < right < progress - margin, f"panel 2's text ends at {right}, the bar at {progress}")


def expect_main_window(session, dpi):
    window = session.main(lambda w: w.entries("DirectoryListBox1"), "the directory list")
    equal(window.data["client"][2:], [scaled(655, dpi), scaled(305, dpi)], "client size")
    for name, (_, rect) in LAYOUT.items():
        near(window.child(name)["rect"], scaled_rect(rect, dpi), f"the place of {name}")
    expect_status_fits(window, dpi)
    return window


def expect_about_box(session, dpi):
    box = session.about_box()
    equal(box.data["client"][2:], [scaled(508, dpi), scaled(339, dpi)], "about box size")
    children = {child["id"]: child for child in box.children}
    for index, (name, rect) in enumerate(ABOUT_LAYOUT.items()):
        child = children[100 + index]
        expected = scaled_rect(rect, dpi)
        # The labels take the size of their text: only their corner is laid out.
        checked = 2 if child["class"] == "Static" and child["text"] else 4
        near(child["rect"][:checked], expected[:checked], f"the place of {name}")
    return box


def start_display():
    """A virtual display of its own, which Wine and the driver's tools then use."""
    server = subprocess.Popen(["Xvfb", "-displayfd", "1", "-screen", "0", SCREEN, "-nolisten",
                               "tcp"], stdout=subprocess.PIPE, stderr=subprocess.DEVNULL)
    number = server.stdout.readline().strip()
    if not number:
        raise Failure("Xvfb did not start")
    os.environ["DISPLAY"] = ":" + number.decode()
    return server


def densities(context):
    """The main window and the about box at 144 and 192 dpi."""
    build = context.arguments.build
    os.environ["WINEPREFIX"] = own_prefix(build)
    clips = context.clips()
    suite_display = os.environ.get("DISPLAY", "")
    display = start_display()
    try:
        for dpi in DENSITIES:
            set_density(dpi)
            keeper = start_keeper(build)
            try:
                use_at(context.start(clips), context, dpi)
            finally:
                keeper.kill()
                keeper.wait(15)
    finally:
        stop_wineserver()
        display.kill()
        display.wait(15)
        os.environ["DISPLAY"] = suite_display


def use_at(session, context, dpi):
    window = expect_main_window(session, dpi)
    session.rest_mouse()
    if dpi == 144:
        context.save_doc(session, window, "main-window-144dpi")
    session.click("SpdBtnHelp")
    box = expect_about_box(session, dpi)
    session.screenshot(f"about-box-{dpi}dpi")
    session.click_button(box, "OK")
    session.no_window(ABOUT_BOX_CAPTION)
    session.click("SpdBtnExit")
    equal(session.wait_exit(), 0, "exit code")
