"""End-to-end scenarios: each starts the real Reelbond.exe under Wine in a fresh directory
of real MPEG files, uses it with the mouse and the keyboard, and checks what a user would
see and get: the windows' texts and states, the message boxes, the output file's bytes.

    python3 scenarios.py NAME --program Reelbond.exe --peek peek.exe --media DIR --shots DIR
        [--docs DIR] [--dist scripts/dist --build DIR --help-file Help.rtf]

Exit code 0 when the scenario passed. Screenshots go to --shots/NAME; with --docs (or
REELBOND_DOCS) the README's pictures are saved there too."""

import argparse
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile
import time
import traceback
import zipfile

from densities import densities
from driver import (ABOUT_BOX_CAPTION, LAYOUT, Failure, Pointer, Session, equal, expect,
                    fresh_directory, windows_path)

TITLE = "Reelbond"
FIRST, SECOND = "mpeg1_ps_352x240_2997_a.mpg", "mpeg1_ps_352x240_2997_b.mpg"
OTHER_FORMAT = "mpeg2_ps_720x576_25.mpg"
TOO_FEW = "The input files should be more than one."
FORMAT_DIFFER = "The input files have different format and cannot be linked."
NO_NAME = "The output file need a name."
OUTPUT_IS_INPUT = "The output file cannot be one of the input files."
DONE = "The files link has been done!"
EMPTIED = "  0  file(s) selected"


def count_text(files):
    return f"  {files} file(s) selected"


class Context:
    """One scenario's run: its arguments, temporary directory, screenshots and programs."""

    def __init__(self, arguments):
        self.arguments = arguments
        self.root = tempfile.mkdtemp(prefix=f"reelbond-e2e-{arguments.scenario}-")
        self.shots = fresh_directory(os.path.join(arguments.shots, arguments.scenario))
        self.sessions = []

    def clips(self):
        """A directory holding copies of the test media."""
        directory = os.path.join(self.root, "clips")
        shutil.copytree(self.arguments.media, directory)
        return directory

    def start(self, workdir, program=None):
        session = Session(program or self.arguments.program, self.arguments.peek, workdir,
                          self.shots)
        self.sessions.append(session)
        return session

    def start_in_clips(self):
        """The program started in a directory of media, once its file list shows them."""
        clips = self.clips()
        session = self.start(clips)
        session.main(lambda w: w.entries(), "the file list")
        return session, clips

    def save_doc(self, session, window, name):
        """Saves the window's picture for the README when --docs is given."""
        if self.arguments.docs:
            path = session.screenshot(name, window.data["frame"])
            shutil.copy(path, os.path.join(self.arguments.docs, name + ".png"))

    def close(self, passed):
        for session in self.sessions:
            session.stop()
        if passed:
            shutil.rmtree(self.root, ignore_errors=True)
        else:
            print(f"files kept in {self.root}")


# Checks ---------------------------------------------------------------------------------

def selected(window):
    return {entry["text"] for entry in window.entries() if entry["selected"]}


def buttons(window, **expected):
    """Compares the enabled state of the named controls."""
    actual = {name: window.enabled(name) for name in expected}
    equal(actual, expected, "enabled buttons")


def information_box(session, text):
    """Waits for the information box with text, checks it and closes it with OK."""
    box = session.box()
    equal((box.caption, box.text, box.has_icon), (TITLE, text, False), "information box")
    session.click_button(box.window, "OK")
    return session.main()


def read(path):
    with open(path, "rb") as file:
        return file.read()


def video_frames(path):
    result = subprocess.run(["ffprobe", "-v", "error", "-count_frames", "-select_streams", "v:0",
                             "-show_entries", "stream=nb_read_frames", "-of", "csv=p=0", path],
                            capture_output=True, text=True, timeout=120)
    equal(result.stderr, "", f"ffprobe's complaints about {path}")
    return int(result.stdout.strip())


def expect_plays(output, inputs):
    """The joined file decodes without an error and has the frames of all its inputs."""
    result = subprocess.run(["ffmpeg", "-v", "error", "-i", output, "-f", "null", "-"],
                            capture_output=True, text=True, timeout=120)
    equal((result.returncode, result.stderr), (0, ""), f"decoding {output}")
    equal(video_frames(output), sum(video_frames(path) for path in inputs),
          f"video frames of {output}")


def expect_joined(output, inputs):
    """The output holds exactly the inputs one after another, and it plays."""
    actual, expected = read(output), b"".join(read(path) for path in inputs)
    expect(actual == expected, f"{output} ({len(actual)} bytes) is not the bytes of "
           f"{[os.path.basename(path) for path in inputs]} in order ({len(expected)} bytes)")
    expect_plays(output, inputs)


def add_files(session, first, count, last=None):
    """Clicks first (and Shift+clicks last), presses Add and waits for the table's count."""
    session.click_entry(first)
    if last:
        session.click_entry(last, modifier="shift")
    session.click("BitnAdd")
    return session.main(lambda w: w.status() == count_text(count), f"{count} files in the table")


# Scenarios ------------------------------------------------------------------------------

def road(context):
    """The typical use from the first click to the joined file."""
    clips = context.clips()
    session = context.start(context.root)
    session.main(lambda w: any(e["text"] == "clips" for e in w.entries("DirectoryListBox1")),
                 "the directory list")
    session.click_entry("clips", "DirectoryListBox1", double=True)
    media = sorted(os.listdir(clips))
    window = session.main(lambda w: sorted(e["text"] for e in w.entries()) == media,
                          "the file list to show the media directory")
    # Every control lies where the window's layout puts it.
    for name, (_, rect) in LAYOUT.items():
        equal(window.child(name)["rect"], rect, f"the place of {name}")
    buttons(window, BitnAdd=True, SpdBtnLink=False, BitnRemove=False, BitnClear=False)
    equal(window.status(), "  0   file(s) selected", "start text")
    session.screenshot("start")
    # A disabled button gets no mouse messages, yet its hint shows.
    session.wait_hint("SpdBtnLink", "Link Files(Alt+L)")
    session.screenshot("hint-of-disabled-link")

    session.click_entry(FIRST)
    session.click_entry(SECOND, modifier="shift")
    session.click_entry(OTHER_FORMAT, modifier="ctrl")
    session.main(lambda w: selected(w) == {FIRST, SECOND, OTHER_FORMAT}, "three selected files")
    session.click("BitnAdd")
    window = session.main(lambda w: w.status() == count_text(3), "three files in the table")
    buttons(window, SpdBtnLink=True, BitnRemove=True, BitnClear=True, BitUp=True, BitDown=False)
    session.rest_mouse()
    session.screenshot("three-files-one-format-differ")

    session.click("Edit1")
    session.type("joined")
    session.click("SpdBtnLink")
    session.box()
    session.screenshot("format-differ-refused")
    window = information_box(session, FORMAT_DIFFER)
    buttons(window, SpdBtnLink=True)
    expect(not os.path.exists(os.path.join(clips, "joined.mpg")), "an output after a refusal")

    # The differing file is the current row; after Remove the new last row is current.
    session.click_grid_row(3)
    session.click("BitnRemove")
    window = session.main(lambda w: w.status() == count_text(2), "two files left")
    buttons(window, BitUp=True, BitDown=False)
    session.click("BitUp")
    session.main(lambda w: not w.enabled("BitUp") and w.enabled("BitDown"), "the row moved up")
    session.click("BitDown")
    session.main(lambda w: w.enabled("BitUp") and not w.enabled("BitDown"), "the row moved down")
    session.click("BitUp")
    session.main(lambda w: not w.enabled("BitUp"), "the second file first")

    session.click("SpdBtnLink")
    session.box()
    behind = session.main(ready=lambda w: True, taking_input=False)
    equal(behind.child("ProgressBar1")["position"], 100, "progress behind the completion box")
    session.screenshot("link-done")
    window = information_box(session, DONE)
    equal(window.status(), EMPTIED, "status after the link")
    equal(window.child("ProgressBar1")["position"], 0, "progress after the link")
    buttons(window, SpdBtnLink=False, BitnRemove=False, BitnClear=False, BitUp=False,
            BitDown=False, BitnAdd=True)
    session.rest_mouse()
    session.screenshot("emptied-table")

    expect_joined(os.path.join(clips, "joined.mpg"),
                  [os.path.join(clips, SECOND), os.path.join(clips, FIRST)])
    session.click("SpdBtnExit")
    equal(session.wait_exit(), 0, "exit code")


def names(context):
    """Files and directories named in several scripts: listed in the locale's order, added,
    joined byte for byte. The README's picture of the main window comes from here."""
    films = os.path.join(context.root, "Films \u65e5\u672c")  # Films 日本
    more = os.path.join(films, "Zugabe")
    # Ärger and ärger differ only in case: the directory list shows one of them.
    for directory in ("\u00c4rger", "\u00e4rger", more):
        os.makedirs(os.path.join(films, directory))
    media = context.arguments.media
    clips = {os.path.join(films, "\u00c4rger.mpg"): FIRST,              # Ärger
             os.path.join(films, "caf\u00e9.mpg"): SECOND,              # café
             os.path.join(films, "\u03a9mega.v2.mpg"): FIRST,           # Ωmega, two dots
             os.path.join(films, "\u65e5\u672c.pal.mpg"): OTHER_FORMAT,  # 日本
             os.path.join(more, "clip\U0001f600.mpg"): SECOND}          # clip😀: four bytes
    for path, source in clips.items():
        shutil.copy(os.path.join(media, source), path)
    listed = [os.path.basename(path) for path in clips if os.path.dirname(path) == films]

    session = context.start(films)
    window = session.main(lambda w: [e["text"] for e in w.entries()] == listed,
                          "the file list in the locale's order")
    subdirectories = [e["text"] for e in window.entries("DirectoryListBox1")][-2:]
    expect(subdirectories[0] in ("\u00c4rger", "\u00e4rger") and subdirectories[1] == "Zugabe",
           f"one of the case pair, then Zugabe: {subdirectories}")
    equal(window.entries("DirectoryListBox1")[-3]["text"], os.path.basename(films),
          "the current directory's entry")

    add_files(session, listed[0], 4, listed[-1])
    session.rest_mouse()
    window = session.main()
    session.screenshot("four-files-one-format-differ")
    context.save_doc(session, window, "main-window")
    session.click_grid_row(4)
    session.click("BitnRemove")
    session.main(lambda w: w.status() == count_text(3), "the differing file removed")

    session.click_entry("Zugabe", "DirectoryListBox1", double=True)
    session.main(lambda w: [e["text"] for e in w.entries()] == ["clip\U0001f600.mpg"],
                 "the file list of Zugabe")
    add_files(session, "clip\U0001f600.mpg", 4)
    # Typed in ASCII: xdotool types other characters by remapping a key, which Wine sometimes
    # reads too late, losing the character (the window tests type them through the system).
    output_name = "joined"
    session.click("Edit1")
    session.type(output_name)
    session.main(lambda w: w.child("Edit1")["text"] == output_name, "the typed output name")
    session.click("SpdBtnLink")
    session.box()
    session.rest_mouse()
    session.screenshot("names-joined")
    information_box(session, DONE)
    joined = [path for path in clips if not path.endswith(".pal.mpg")]
    expect_joined(os.path.join(more, output_name + ".mpg"), joined)
    session.click("SpdBtnExit")
    equal(session.wait_exit(), 0, "exit code")


def refusals(context):
    """Each check of Link refuses with its message and touches no file."""
    session, clips = context.start_in_clips()
    add_files(session, FIRST, 1)
    session.click("SpdBtnLink")
    session.screenshot("one-file")
    window = information_box(session, TOO_FEW)
    buttons(window, SpdBtnLink=False)

    window = add_files(session, SECOND, 2)
    buttons(window, SpdBtnLink=True)
    session.click("SpdBtnLink")
    window = information_box(session, NO_NAME)
    expect(window.child("Edit1")["focused"], "the focus in the output name after its refusal")

    # Typed straight away: the focus is in the name box.
    first = os.path.join(clips, FIRST)
    before = read(first)
    session.type(FIRST)
    session.click("SpdBtnLink")
    session.screenshot("output-is-input")
    information_box(session, OUTPUT_IS_INPUT)
    expect(read(first) == before, "the input named as output has changed")

    # An existing output longer than the result is replaced, not partly overwritten.
    stale = os.path.join(clips, "stale.mpg")
    with open(stale, "wb") as file:
        file.write(b"\xab" * 65536)
    session.click("Edit1")
    session.key("End", "shift+Home")
    session.type("stale")
    session.click("SpdBtnLink")
    window = information_box(session, DONE)
    equal(window.status(), EMPTIED, "status after the link")
    expect_joined(stale, [first, os.path.join(clips, SECOND)])
    session.key("alt+e")
    equal(session.wait_exit(), 0, "exit code after Alt+E")


def missing_input(context):
    """A listed file that is gone when Link starts: the top-level box, nothing written."""
    session, clips = context.start_in_clips()
    add_files(session, FIRST, 2, last=SECOND)
    os.remove(os.path.join(clips, SECOND))
    session.click("Edit1")
    session.type("out")
    session.click("SpdBtnLink")
    box = session.box()
    session.screenshot("file-not-found")
    equal((box.caption, box.text, box.has_icon), (TITLE, "File not found.", True), "error box")
    session.click_button(box.window, "OK")
    window = session.main()
    equal(window.status(), count_text(2), "the table after the failure")
    buttons(window, SpdBtnLink=True, BitnRemove=True, BitnClear=True)
    expect(not os.path.exists(os.path.join(clips, "out.mpg")), "an output after the failure")
    session.click("SpdBtnExit")
    equal(session.wait_exit(), 0, "exit code")


def about_text(box):
    views = box.by_class("RichEdit20W")
    expect(views, "no rich text view in the about box")
    return views[0]["text"]


def expect_help_shown(box):
    text = about_text(box)
    expect("Reelbond" in text and "{\\rtf" not in text, f"help text shown: {text[:200]!r}")


def help_and_keys(context):
    """Help and its box, Alt+H, and letters that are keys only where nothing is typed."""
    session, _ = context.start_in_clips()
    session.click("SpdBtnHelp")
    box = session.about_box()
    expect_help_shown(box)
    session.main(lambda w: not w.data["enabled"], "the main window to take no input",
                 taking_input=False)
    session.rest_mouse()
    session.screenshot("about-box")
    context.save_doc(session, box, "about-box")
    session.click_button(box, "OK")
    session.no_window(ABOUT_BOX_CAPTION)
    session.main()

    session.key("alt+h")
    session.about_box()
    session.key("Return")
    session.no_window(ABOUT_BOX_CAPTION)

    # In the name box "e" is a letter; in the table it is Exit.
    session.click("Edit1")
    session.type("e")
    session.main(lambda w: w.child("Edit1")["text"] == "e", "e typed into the output name")
    # Clear disables itself under the focus, which moves on: keys still reach a control.
    add_files(session, FIRST, 1)
    session.click("BitnClear")
    session.main(lambda w: w.status() == EMPTIED, "the table cleared")
    session.key("Tab")
    session.type("e")
    # Tab selects the name box's text, which the e then replaces.
    session.main(lambda w: w.child("Edit1")["focused"] and w.child("Edit1")["text"] == "e",
                 "Tab to the output name and e typed there")
    add_files(session, FIRST, 2, last=SECOND)
    session.click_grid_row(1)
    session.type("e")
    equal(session.wait_exit(), 0, "exit code after e in the table")


def package(context):
    """The zip for Windows: its files, and the program run from it elsewhere."""
    arguments = context.arguments
    environment = dict(os.environ, REELBOND_BUILD=arguments.build)
    result = subprocess.run([arguments.dist], capture_output=True, text=True, env=environment,
                            timeout=600)
    equal(result.returncode, 0, f"scripts/dist: {result.stderr}")
    path = result.stdout.strip().splitlines()[-1]
    print(f"package: {path}")
    match = re.fullmatch(r"Reelbond-(\d+\.\d+)\.zip", os.path.basename(path))
    expect(match, f"package name {path}")
    version = match.group(1)
    unzipped = os.path.join(context.root, "unzipped")
    with zipfile.ZipFile(path) as archive:
        equal(sorted(archive.namelist()), ["Help.rtf", "Reelbond.exe"], "files in the package")
        archive.extractall(unzipped)
    expect(read(os.path.join(unzipped, "Help.rtf")) == read(arguments.help_file),
           "the packaged Help.rtf differs from resources/Help.rtf")

    program = os.path.join(unzipped, "Reelbond.exe")
    result = subprocess.run(["wine", arguments.peek, "version", program], capture_output=True,
                            text=True, timeout=60, check=True)
    resource = json.loads(result.stdout)
    equal((resource["file_version"], resource["product_version"], resource["product_name"]),
          (version, version, "Reelbond"), "version resource")
    expect("MAINICON" in resource["icon_groups"], f"icon groups {resource['icon_groups']}")

    elsewhere = fresh_directory(os.path.join(context.root, "elsewhere"))
    session = context.start(elsewhere, program)
    window = session.main()
    expect(all(w.caption != TITLE for w in session.windows()), "a message box at start-up")
    equal(window.entries(), [], "files listed in an empty directory")
    session.key("alt+h")
    box = session.about_box()
    expect_help_shown(box)
    session.screenshot("packaged-help")
    session.click_button(box, "OK")
    session.no_window(ABOUT_BOX_CAPTION)
    session.click("SpdBtnExit")
    equal(session.wait_exit(), 0, "exit code")


def missing_help(context):
    """A program without Help.rtf beside it: one box at start-up, then the window; Help
    then shows the box with an empty text. It lies deep in folders named in three-byte
    characters: its own path, longer than MAX_PATH and in UTF-8 than four times that, is
    still read whole, for the box's caption and text."""
    alone = fresh_directory(os.path.join(context.root, "alone", *["日本語のフォルダ名"] * 40))
    program = os.path.join(alone, "Reelbond.exe")
    shutil.copyfile(context.arguments.program, program)
    session = context.start(fresh_directory(os.path.join(context.root, "elsewhere")), program)
    box = session.box()
    session.screenshot("missing-help")
    expected = f"Cannot open file {windows_path(alone)}\\Help.rtf."
    equal((box.caption, box.text.lower(), box.has_icon), (TITLE, expected.lower(), True),
          "start-up error box")
    expect(all(w.data["class"] != "TForm1" for w in session.windows()),
           "the main window shown before the error box was closed")
    session.click_button(box.window, "OK")
    session.main()
    session.key("alt+h")
    equal(about_text(session.about_box()), "", "help text without a help file")
    session.key("Return")
    session.no_window(ABOUT_BOX_CAPTION)
    session.click("SpdBtnExit")
    equal(session.wait_exit(), 0, "exit code")


def many_clips(context, count):
    """A directory of count small copies of one clip, clip0000.mpg on."""
    directory = fresh_directory(os.path.join(context.root, "many"))
    clip = read(os.path.join(context.arguments.media, SECOND))
    for i in range(count):
        with open(os.path.join(directory, f"clip{i:04d}.mpg"), "wb") as file:
            file.write(clip)
    return directory


def add_showing_wait_pointer(session, pointer, normal):
    """Presses Add and sees the wait pointer come up; returns once the normal one is back."""
    session.click("BitnAdd")
    pointer.wait_for("the wait pointer", lambda shape: shape != normal)
    pointer.wait_for("the normal pointer after the add", lambda shape: shape == normal)


def busy_add(context):
    """Adding many files shows the wait pointer and puts the normal one back, also when the
    add ends in an error, whose box is shown with the normal pointer."""
    directory = many_clips(context, 1000)
    # The small files add in a fraction of a second; a long first file, whose sequence
    # header lies 2 GiB in, keeps every add busy long enough to see the pointer.
    long_clip = os.path.join(directory, "a_long.mpg")
    with open(long_clip, "wb") as file:
        file.seek(2 << 30)
        file.write(read(os.path.join(context.arguments.media, SECOND)))
    session = context.start(directory)
    session.main(lambda w: len(w.entries()) == 1001, "the file list of 1,001 files")
    session.click_entry("a_long.mpg")
    session.key("shift+End")
    session.main(lambda w: len(selected(w)) == 1001, "all files selected")
    pointer = Pointer()
    normal = pointer.shape()

    add_showing_wait_pointer(session, pointer, normal)
    session.main(lambda w: w.status() == count_text(1001), "1,001 files in the table")

    # A read-only file ends the next add with an error after the long file and 700 others.
    os.chmod(os.path.join(directory, "clip0700.mpg"), 0o444)
    add_showing_wait_pointer(session, pointer, normal)
    box = session.box()
    equal((box.caption, box.text), (TITLE, "File access denied."), "error box")
    equal(pointer.shape() == normal, True, "the normal pointer over the error box")
    session.click_button(box.window, "OK")
    session.main(lambda w: w.status() == count_text(1702), "701 more files in the table")
    equal(pointer.shape() == normal, True, "the normal pointer after the error")


def busy_link(context):
    """During a long link the window answers the system (never "Not Responding") but takes
    no input: a click on Clear does nothing while the link runs."""
    directory = fresh_directory(os.path.join(context.root, "large"))
    for name in ("a.mpg", "b.mpg"):
        shutil.copy(os.path.join(context.arguments.media, SECOND), os.path.join(directory, name))
        os.truncate(os.path.join(directory, name), 256 << 30)
    session = context.start(directory)
    try:
        session.main(lambda w: len(w.entries()) == 2, "the file list")
        add_files(session, "a.mpg", 2, last="b.mpg")
        session.click("Edit1")
        session.type("joined")
        session.click("SpdBtnLink")
        started = time.monotonic()
        session.click("BitnClear")
        # Past Windows' five seconds without a look at the queue, while the first file is
        # still being copied into the file beside the output.
        sizes = []
        while time.monotonic() - started < 7:
            expect(not session.main_hung(),
                   f"the window hung {time.monotonic() - started:.1f} s into the link")
            sizes.append(sum(os.path.getsize(os.path.join(directory, name))
                             for name in os.listdir(directory) if name.endswith(".tmp")))
        expect(len(sizes) >= 5, f"only {len(sizes)} looks at the window during the link")
        expect(sizes[0] < sizes[-1], f"the link wrote nothing while watched: {sizes}")
        # Each message to the busy window waits for its next look at the queue: a slow read.
        window = session.main(taking_input=False, timeout=60)
        equal(window.status(), count_text(2), "the table after Clear was clicked during the link")
        expect(window.child("ProgressBar1")["position"] < 100, "the link still running")
        session.screenshot("busy-link")
    finally:
        # The link would go on to half a terabyte: end it and drop what it wrote.
        session.stop()
        shutil.rmtree(directory, ignore_errors=True)


SCENARIOS = {
    "road": road,
    "densities": densities,
    "missing_help": missing_help,
    "names": names,
    "refusals": refusals,
    "missing_input": missing_input,
    "help_and_keys": help_and_keys,
    "package": package,
    "busy_add": busy_add,
    "busy_link": busy_link,
}


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("scenario", choices=SCENARIOS)
    parser.add_argument("--program", required=True)
    parser.add_argument("--peek", required=True)
    parser.add_argument("--media", required=True)
    parser.add_argument("--shots", required=True)
    parser.add_argument("--docs", default=os.environ.get("REELBOND_DOCS"))
    parser.add_argument("--dist")
    parser.add_argument("--build")
    parser.add_argument("--help-file")
    arguments = parser.parse_args()
    context = Context(arguments)
    passed = False
    try:
        SCENARIOS[arguments.scenario](context)
        passed = True
    except Exception as failure:
        if not isinstance(failure, Failure):
            traceback.print_exc()
        print(f"FAILED: {failure}")
        if context.sessions:
            context.sessions[-1].screenshot("failure")
    finally:
        context.close(passed)
    print(f"screenshots: {context.shots}")
    return 0 if passed else 1


if __name__ == "__main__":
    sys.exit(main())
