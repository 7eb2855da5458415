"""Drives the real Reelbond.exe from outside: starts it under Wine, moves the mouse and
types with xdotool, reads its windows with peek.exe and takes screenshots of the display.
Nothing here reaches into the program; what the tests see is what a user would see."""

import ctypes
import json
import os
import shutil
import subprocess
import time

# The main window as a user sees it at 96 dpi: each control by name, its id (the program
# numbers its controls from 100 in tab order) and where it lies in the client area as
# [left, top, width, height]. peek finds the controls of the running program by these ids.
LAYOUT = {
    "GroupBox1": (100, [150, 8, 116, 217]),
    "FileListBox1": (101, [152, 25, 111, 197]),
    "BitnAdd": (102, [272, 27, 41, 32]),
    "BitnRemove": (103, [272, 67, 41, 32]),
    "GroupBox3": (104, [320, 10, 334, 216]),
    "StringGrid1": (105, [322, 26, 329, 197]),
    "GroupBox6": (106, [0, 8, 139, 217]),
    "DriveComboBox1": (107, [5, 25, 131, 22]),
    "DirectoryListBox1": (108, [4, 53, 131, 169]),
    "BitnClear": (109, [272, 187, 41, 32]),
    "ProgressBar1": (110, [336, 286, 316, 18]),
    "BitUp": (111, [272, 107, 41, 32]),
    "BitDown": (112, [272, 147, 41, 32]),
    "Panel1": (113, [320, 230, 334, 50]),
    "SpdBtnLink": (114, [365, 243, 56, 26]),
    "SpdBtnExit": (115, [466, 243, 56, 26]),
    "SpdBtnHelp": (116, [567, 243, 56, 26]),
    "GroupBox2": (117, [0, 229, 139, 50]),
    "FilterComboBox1": (118, [5, 248, 132, 21]),
    "GroupBox4": (119, [150, 229, 116, 50]),
    "Edit1": (120, [152, 248, 111, 21]),
    "StatusBar1": (121, [0, 283, 655, 22]),
}
# The grid's rows and its first column at 96 dpi.
GRID_ROW_HEIGHT = 16
GRID_FIRST_COLUMN_WIDTH = 122
MESSAGE_BOX_CLASS = "#32770"
ABOUT_BOX_CAPTION = "About Reelbond..."
STATIC_TEXT_ID = 0xFFFF
TOOLTIP_CLASS = "tooltips_class32"
# A point of the main window's client area that no control covers: between the group
# boxes of the directory list and of the file list.
def bare_face():
    left, top, width, height = LAYOUT["GroupBox6"][1]
    return (left + width + LAYOUT["GroupBox1"][1][0]) // 2, top + height // 2


BARE_FACE = bare_face()
POLL_SECONDS = 0.05


class Failure(Exception):
    pass


def windows_path(path):
    """The path as the program sees it under Wine (Z: is the Linux root)."""
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def centre(rect):
    left, top, width, height = rect
    return left + width // 2, top + height // 2


class Window:
    """One top-level window as peek read it."""

    def __init__(self, data):
        self.data = data
        self.caption = data["text"]
        self.children = data["children"]

    def child(self, name):
        control_id = LAYOUT[name][0]
        for child in self.children:
            if child["id"] == control_id:
                return child
        raise Failure(f"no {name} (id {control_id}) in {self.caption!r}")

    def enabled(self, name):
        return self.child(name)["enabled"]

    def screen_point(self, child, x, y):
        """A point given in the child's client area, in screen coordinates."""
        left, top = self.data["client"][:2]
        origin_x, origin_y = child["client_origin"]
        return left + origin_x + x, top + origin_y + y

    def child_centre(self, child):
        left, top = self.data["client"][:2]
        x, y = centre(child["rect"])
        return left + x, top + y

    def status(self):
        return self.child("StatusBar1")["panels"][0]

    def entries(self, name="FileListBox1"):
        return self.child(name)["entries"]

    def by_class(self, kind):
        return [child for child in self.children if child["class"] == kind]


class MessageBox:
    """A system message box: its caption, its text and whether it shows an icon."""

    def __init__(self, window):
        self.window = window
        self.caption = window.caption
        texts = [c["text"] for c in window.children if c["id"] == STATIC_TEXT_ID]
        self.text = texts[0] if texts else ""
        self.has_icon = any(c.get("icon") and c["visible"] for c in window.children)


class Session:
    """One run of the program, started in workdir, with its screenshots in shots."""

    def __init__(self, program, peek, workdir, shots):
        self.program = os.path.abspath(program)
        self.program_windows = windows_path(self.program).lower()
        self.peek = peek
        self.workdir = workdir
        self.shots = shots
        self.shot_count = 0
        self.last_main = None
        os.makedirs(shots, exist_ok=True)
        self.log = open(os.path.join(shots, "wine.log"), "ab")
        self.process = subprocess.Popen(["wine", self.program], cwd=workdir,
                                        stdin=subprocess.DEVNULL, stdout=self.log,
                                        stderr=self.log)

    # Reading -------------------------------------------------------------------------

    def windows(self):
        """The visible top-level windows of this program."""
        # The windows change while peek reads them; a read that failed on that is read again.
        for _ in range(2):
            result = subprocess.run(["wine", self.peek, "windows"], capture_output=True,
                                    timeout=30)
            if result.returncode == 0:
                break
        else:
            raise Failure(f"peek failed twice ({result.returncode}): {result.stderr.decode()}")
        return [Window(w) for w in json.loads(result.stdout)
                if w["program"].lower() == self.program_windows]

    def main_hung(self):
        """Whether Windows takes the main window for hung, asked without a message to it."""
        result = subprocess.run(["wine", self.peek, "hung", "TForm1"], capture_output=True,
                                timeout=30)
        states = json.loads(result.stdout)
        if result.returncode != 0 or len(states) != 1:
            raise Failure(f"peek hung gave {states} ({result.returncode})")
        return states[0]

    def wait_for(self, what, find, timeout=15):
        """Polls the windows until find(windows) gives something other than None or False,
        and returns that."""
        deadline = time.monotonic() + timeout
        while True:
            windows = self.windows()
            found = find(windows)
            if found is not None and found is not False:
                return found
            if self.process.poll() is not None:
                raise Failure(f"the program ended (exit code {self.process.returncode}) "
                              f"while waiting for {what}")
            if time.monotonic() > deadline:
                self.screenshot("timeout")
                raise Failure(f"timed out waiting for {what}; windows: "
                              f"{[(w.data['class'], w.caption) for w in windows]}")
            time.sleep(POLL_SECONDS)

    def main(self, ready=lambda window: True, what="the main window", taking_input=True,
             timeout=15):
        """The main window, once ready(window) holds and, unless told, it takes input."""
        def find(windows):
            for window in windows:
                if (window.data["class"] == "TForm1" and ready(window) and
                        (window.data["enabled"] or not taking_input)):
                    return window
            return None
        self.last_main = self.wait_for(what, find, timeout)
        return self.last_main

    def box(self):
        """The message box that the program shows now."""
        def find(windows):
            boxes = [w for w in windows if w.data["class"] == MESSAGE_BOX_CLASS]
            return MessageBox(boxes[0]) if boxes else None
        return self.wait_for("a message box", find)

    def about_box(self):
        def find(windows):
            return next((w for w in windows if w.caption == ABOUT_BOX_CAPTION), None)
        return self.wait_for("the about box", find)

    def no_window(self, caption):
        self.wait_for(f"{caption!r} to close",
                      lambda windows: all(w.caption != caption for w in windows))

    # Input -----------------------------------------------------------------------------

    def xdotool(self, *arguments):
        subprocess.run(["xdotool", *arguments], check=True, timeout=30)

    def click_at(self, x, y, modifier=None, double=False):
        clicks = ["click", "--repeat", "2", "--delay", "80", "1"] if double else ["click", "1"]
        if modifier:
            self.xdotool("keydown", modifier, "mousemove", "--sync", str(x), str(y), *clicks,
                         "keyup", modifier)
        else:
            self.xdotool("mousemove", "--sync", str(x), str(y), *clicks)

    def click(self, name):
        """Clicks a control of the main window, which stays where it was last seen."""
        window = self.last_main or self.main()
        self.click_at(*window.child_centre(window.child(name)))

    def click_entry(self, text, list_name="FileListBox1", modifier=None, double=False):
        window = self.main()
        listbox = window.child(list_name)
        for entry in listbox["entries"]:
            if entry["text"] == text:
                x, y = centre(entry["rect"])
                return self.click_at(*window.screen_point(listbox, x, y), modifier, double)
        raise Failure(f"no entry {text!r} in {list_name}: {listbox['entries']}")

    def click_grid_row(self, row):
        """Clicks the frame size cell of data row 1, 2, ... of the table."""
        window = self.main()
        grid = window.child("StringGrid1")
        y = row * GRID_ROW_HEIGHT + GRID_ROW_HEIGHT // 2
        self.click_at(*window.screen_point(grid, GRID_FIRST_COLUMN_WIDTH + 30, y))

    def click_button(self, window, text):
        """Presses a push button of a box by its caption, with the mouse."""
        for child in window.children:
            if child["class"] == "Button" and child["text"] == text:
                return self.click_at(*window.child_centre(child))
        raise Failure(f"no button {text!r} in {window.caption!r}")

    def key(self, *keys):
        self.xdotool("key", "--delay", "30", *keys)

    def type(self, text):
        self.xdotool("type", "--delay", "20", text)

    def wait_hint(self, name, text):
        """Rests the pointer on a control of the main window until its hint, text, shows;
        a hint still showing from before may linger for a moment."""
        window = self.main(taking_input=False)
        self.xdotool("mousemove", "--sync", *map(str, window.child_centre(window.child(name))))
        self.wait_for(f"the hint {text!r} of {name}", lambda windows: any(
            w.data["class"] == TOOLTIP_CLASS and w.caption == text for w in windows))

    def rest_mouse(self):
        """Rests the pointer on the main window's bare face, between the browser's group
        boxes, and waits until no tooltip covers part of a screenshot."""
        window = self.main(taking_input=False)
        left, top = window.data["client"][:2]
        self.xdotool("mousemove", "--sync", str(left + BARE_FACE[0]), str(top + BARE_FACE[1]))
        self.wait_for("the tooltips to hide",
                      lambda windows: all(w.data["class"] != TOOLTIP_CLASS for w in windows))

    # Outcome ---------------------------------------------------------------------------

    def screenshot(self, name, crop=None):
        """Saves the whole display, or the crop rectangle of it, and prints the path."""
        self.shot_count += 1
        path = os.path.join(self.shots, f"{self.shot_count:02d}-{name}.png")
        geometry = ["-crop", "{2}x{3}+{0}+{1}".format(*crop), "+repage"] if crop else []
        subprocess.run(["import", "-window", "root", *geometry, path], check=True, timeout=30)
        print(f"screenshot: {path}", flush=True)
        return path

    def wait_exit(self, timeout=15):
        try:
            return self.process.wait(timeout)
        except subprocess.TimeoutExpired:
            raise Failure("the program did not end") from None

    def stop(self):
        """Ends the program if it still runs; only this process, never the Wine server."""
        if self.process.poll() is None:
            self.process.kill()
            self.process.wait(15)
        self.log.close()


class XFixesCursorImage(ctypes.Structure):
    _fields_ = [("x", ctypes.c_short), ("y", ctypes.c_short), ("width", ctypes.c_ushort),
                ("height", ctypes.c_ushort), ("xhot", ctypes.c_ushort),
                ("yhot", ctypes.c_ushort), ("cursor_serial", ctypes.c_ulong),
                ("pixels", ctypes.POINTER(ctypes.c_ulong)), ("atom", ctypes.c_ulong),
                ("name", ctypes.c_char_p)]


class Pointer:
    """The mouse pointer the display shows, read with XFixes as a user would see it."""

    def __init__(self):
        self.x11 = ctypes.CDLL("libX11.so.6")
        self.xfixes = ctypes.CDLL("libXfixes.so.3")
        self.x11.XOpenDisplay.restype = ctypes.c_void_p
        self.x11.XFree.argtypes = [ctypes.c_void_p]
        self.xfixes.XFixesQueryExtension.argtypes = [ctypes.c_void_p] + [ctypes.c_void_p] * 2
        self.xfixes.XFixesGetCursorImage.argtypes = [ctypes.c_void_p]
        self.xfixes.XFixesGetCursorImage.restype = ctypes.POINTER(XFixesCursorImage)
        self.display = self.x11.XOpenDisplay(None)
        event, error = ctypes.c_int(), ctypes.c_int()
        if not self.display or not self.xfixes.XFixesQueryExtension(
                self.display, ctypes.byref(event), ctypes.byref(error)):
            raise Failure("no display with XFixes to read the pointer from")

    def shape(self):
        """The pointer's size, hot spot and pixels: equal for equal pointers."""
        image = self.xfixes.XFixesGetCursorImage(self.display)
        if not image:
            raise Failure("XFixes gave no pointer image")
        c = image.contents
        shape = (c.width, c.height, c.xhot, c.yhot,
                 tuple(c.pixels[i] for i in range(c.width * c.height)))
        self.x11.XFree(image)
        return shape

    def wait_for(self, what, ready, timeout=30):
        """Polls the pointer's shape until ready(shape) holds, and returns the shape."""
        deadline = time.monotonic() + timeout
        while True:
            shape = self.shape()
            if ready(shape):
                return shape
            if time.monotonic() > deadline:
                raise Failure(f"timed out waiting for {what}")
            time.sleep(0.005)


def expect(condition, message):
    if not condition:
        raise Failure(message)


def equal(actual, expected, what):
    expect(actual == expected, f"{what}: expected {expected!r}, got {actual!r}")


def fresh_directory(path):
    shutil.rmtree(path, ignore_errors=True)
    os.makedirs(path)
    return path
