#!/usr/bin/env python3
"""Runs velmfit as its users do and checks what it prints and writes.

  check_velmfit.py --tool VELMFIT run --dir DIR --rc N --out FILE --err FILE -- ARGS...
      exit status; standard error byte for byte; standard output byte for
      byte except the fit times (a "*" in the expected table stands for any
      number of milliseconds). Expected files end their lines with LF; in the
      output, message lines (loading lines, size lines, error lines) must end
      with CR LF and every other line with LF.
  check_velmfit.py --tool VELMFIT json --dir DIR -- ARGS...
      the --json output is one JSON document that agrees with the table.
  check_velmfit.py --tool VELMFIT plots --dir DIR --plot-dir OUT -- ARGS...
      --plot writes well-formed SVG plots with titles, axes and legends.
  check_velmfit.py --tool VELMFIT progress --dir DIR -- SKELETON ANIMATION...
      with standard error on a terminal, the progress line is drawn before
      each animation is loaded and fitted, and erased before every message
      line (the animations must load without error lines); nothing for a
      single animation.
  check_velmfit.py --tool VELMFIT catalog --dir DATA
      --catalog measures all 14 animations of the catalog (skipped with
      status 77 when DATA does not exist).
"""
import argparse
import json
import math
import os
import re
import shutil
import subprocess
import sys
import xml.etree.ElementTree as ElementTree

MESSAGE_LINE = re.compile(r"^(# <<<<<<<<<<<<<|\*\*\* (ERROR|WARNING) \*\*\* : |skeleton file: |animation file: |\^ )")
SVG = "{http://www.w3.org/2000/svg}"
CATALOG = ["HUNTER/RUN", "HUNTER/WALK", "HUNTER/BACKWALK", "HUNTER/WAVE", "HUNTER/GREET",
           "HORSE/WALK", "HORSE/GALLOP", "HORSE/IDLE_SPECIAL", "HORSE/GRAZING", "HORSE/SHAKE",
           "ELEPHANT/WALK", "ELEPHANT/GALLOP", "ELEPHANT/GRAZING", "ELEPHANT/SHAKE"]


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def run(tool, directory, args):
    result = subprocess.run([tool] + args, cwd=directory, capture_output=True, timeout=600)
    return result.returncode, result.stdout.decode("utf-8"), result.stderr.decode("utf-8")


def lines_with_ends(stream_name, text):
    """The lines of text without their ends, after checking each end."""
    lines = text.split("\n")
    check(lines[-1] == "", f"{stream_name} does not end with a line end: {lines[-1]!r}")
    plain = []
    for line in lines[:-1]:
        message = MESSAGE_LINE.match(line.rstrip("\r")) is not None
        check(line.endswith("\r") == message,
              f"{stream_name}: line {line!r} should end with {'CR LF' if message else 'LF alone'}")
        plain.append(line.rstrip("\r"))
    return plain


def expect_lines(stream_name, actual_text, expected_file, masked):
    """Compares line by line; where masked, a "*" after spaces in an expected
    line stands for spaces and a number with one decimal (a fit time)."""
    with open(expected_file, encoding="utf-8") as f:
        expected = f.read().split("\n")[:-1]
    actual = lines_with_ends(stream_name, actual_text)
    check(len(actual) == len(expected),
          f"{stream_name}: {len(actual)} lines, expected {len(expected)}\n--- actual ---\n" + "\n".join(actual))
    for number, (a, e) in enumerate(zip(actual, expected), 1):
        parts = re.split(r" +\*", e) if masked else [e]
        pattern = "^" + r" +[0-9]+\.[0-9]".join(re.escape(part) for part in parts) + "$"
        check(re.match(pattern, a), f"{stream_name} line {number}:\n  actual:   {a!r}\n  expected: {e!r}")


def table_rows(stdout):
    """The table's rows (name -> cells) and its total row, from the output."""
    lines = [line.rstrip("\r") for line in stdout.split("\n")]
    header = next(i for i, line in enumerate(lines) if re.match(r"animation +channels", line))
    columns = re.split(r"\s{2,}", lines[header].strip())
    rows, total = {}, None
    for line in lines[header + 1:]:
        if not line or line.startswith("---"):
            continue
        cells = dict(zip(columns, re.split(r"\s{2,}", line.strip())))
        check(len(cells) == len(columns), f"row with {len(cells)} cells: {line!r}")
        if cells["animation"] == "total":
            total = cells
        else:
            rows[cells["animation"]] = cells
    return rows, total


def agrees(cell, value, decimals=None):
    """Whether a table cell shows value (JSON null is "-" or "inf")."""
    if value is None:
        return cell in ("-", "inf")
    if cell == "-":
        return False
    if decimals is not None:
        return cell == f"{value:.{decimals}f}"
    shown = float(cell)
    return math.isclose(shown, value, rel_tol=6e-3, abs_tol=1e-300)


def compare(cells, figures, is_total):
    checks = [("channels", "channels", 0), ("duration", "duration", 3), ("keyframe B", "keyframe_bytes", 0),
              ("B-spline B", "bspline_bytes", 0), ("cache B", "cache_bytes", 0), ("ratio", "ratio", 2), ("pos err2", "position_error", None),
              ("rot err2", "rotation_error", None), ("str err2", "stretch_error", None),
              ("max dist", "largest_distance", None), ("max %", "largest_percent", 3),
              ("mean dist", "mean_distance", None), ("mean %", "mean_percent", 3)]
    if not is_total:
        checks.append(("keys", "keys", 0))
    for column, key, decimals in checks:
        check(agrees(cells[column], figures[key], decimals),
              f"{figures['name']}: table {column} {cells[column]!r}, JSON {key} {figures[key]!r}")
    bone = figures["worst_bone"]
    if is_total and figures["worst_animation"] != "-":
        bone += f" ({figures['worst_animation']})"
    check(cells["worst bone"] == bone, f"{figures['name']}: bone {cells['worst bone']!r} against {bone!r}")


def command_run(options):
    rc, out, err = run(options.tool, options.dir, options.args)
    check(rc == options.rc, f"exit status {rc}, expected {options.rc}\n--- stdout ---\n{out}--- stderr ---\n{err}")
    expect_lines("standard error", err, options.err, False)
    expect_lines("standard output", out, options.out, True)


def command_json(options):
    rc, table, _ = run(options.tool, options.dir, options.args)
    check(rc == 0, f"table run: exit status {rc}")
    rc, out, err = run(options.tool, options.dir, ["--json"] + options.args)
    check(rc == 0, f"JSON run: exit status {rc}")
    document = json.loads(out)  # standard output holds the JSON document alone
    check(set(document) == {"animations", "total"}, f"top-level keys {sorted(document)}")
    # The loading lines that the table run prints on standard output go to
    # standard error instead.
    loading = [line for line in table.split("\n") if MESSAGE_LINE.match(line)]
    check([line for line in err.split("\n") if MESSAGE_LINE.match(line)] == loading,
          "the JSON run's standard error does not carry the loading lines")
    rows, total = table_rows(table)
    check([a["name"] for a in document["animations"]] == list(rows), "the animations differ")
    for figures in document["animations"]:
        compare(rows[figures["name"]], figures, False)
    compare(total, document["total"], True)


def svg_numbers(element):
    for name in ("x", "y", "x1", "x2", "y1", "y2", "cx", "cy"):
        if name in element.attrib:
            yield float(element.attrib[name])
    for number in re.findall(r"-?[0-9.]+", element.attrib.get("d", "")):
        yield float(number)


def check_svg(path, animation, channel_plot):
    root = ElementTree.parse(path).getroot()  # raises on malformed XML
    check(root.tag == SVG + "svg", f"{path}: root element {root.tag}")
    width, height = float(root.attrib["width"]), float(root.attrib["height"])
    texts = ["".join(t.itertext()) for t in root.iter(SVG + "text")]
    check(animation in texts[0], f"{path}: title {texts[0]!r} does not name {animation}")
    check("time (s)" in texts, f"{path}: no time axis label")
    wanted = ["position", "rotation quaternion", "stretch matrix", "keys", "B-spline", "x", "w", "s33"] \
        if channel_plot else ["distance (document units)", "largest over the joints", "mean over the joints"]
    for text in wanted:
        check(text in texts, f"{path}: no text {text!r}")
    # A channel without keys (odd_channels.qia) has nothing to draw.
    check(any(True for _ in root.iter(SVG + "path")) or "_tip" in path, f"{path}: no curve")
    for element in root.iter():
        for number in svg_numbers(element):
            check(-1 <= number <= max(width, height) + 1, f"{path}: coordinate {number} outside the figure")


def command_plots(options):
    shutil.rmtree(options.plot_dir, ignore_errors=True)
    rc, out, _ = run(options.tool, options.dir, ["--plot", options.plot_dir] + options.args)
    check(rc == 0, f"exit status {rc}")
    check("total " in out, "the table is missing")
    written = sorted(os.listdir(options.plot_dir))
    for animation in options.args[1:]:
        stem = re.sub(r"[^A-Za-z0-9_-]", "_", animation[:-4] if animation.endswith(".qia") else animation)
        playback = stem + "_playback.svg"
        check(playback in written, f"no {playback} among {written}")
        check_svg(os.path.join(options.plot_dir, playback), animation, False)
        channels = [name for name in written if name.startswith(stem + "_channel_")]
        check(len(channels) == 1, f"{animation}: channel plots {channels}")  # the test animations have one channel
        check_svg(os.path.join(options.plot_dir, channels[0]), animation, True)


def command_progress(options):
    import pty
    controller, terminal = pty.openpty()
    child = subprocess.Popen([options.tool] + options.args, cwd=options.dir, stdout=subprocess.DEVNULL,
                             stderr=terminal)
    os.close(terminal)
    received = b""
    while True:
        try:
            chunk = os.read(controller, 4096)
        except OSError:  # the terminal closes when the child ends
            break
        if not chunk:
            break
        received += chunk
    os.close(controller)
    check(child.wait() == 0, "exit status")
    erase = "\r\x1b[K"
    animations = options.args[1:]
    expected = ""
    for number, name in enumerate(animations if len(animations) > 1 else [], 1):
        for step in ("loading", "fitting"):
            expected += f"{erase}velmfit: {step} {number}/{len(animations)} {name}{erase}"
    check(received.decode("utf-8") == expected, f"progress {received!r}, expected {expected.encode()!r}")


def command_catalog(options):
    if not os.path.isdir(options.dir):
        print(f"no {options.dir}: skipped")
        sys.exit(77)
    rc, out, err = run(options.tool, options.dir, ["--catalog"])
    check(rc == 0, f"exit status {rc}\n{err}")
    check(err == "", f"standard error: {err}")
    rows, total = table_rows(out)
    check(list(rows) == CATALOG, f"rows {list(rows)}")
    check(total["channels"] == str(sum(int(r["channels"]) for r in rows.values())), "total channels")


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--tool", required=True)
    parser.add_argument("command", choices=["run", "json", "plots", "progress", "catalog"])
    parser.add_argument("--dir", required=True)
    parser.add_argument("--rc", type=int, default=0)
    parser.add_argument("--out")
    parser.add_argument("--err")
    parser.add_argument("--plot-dir")
    # Everything after "--" is velmfit's command line.
    argv = sys.argv[1:]
    split = argv.index("--") if "--" in argv else len(argv)
    options = parser.parse_args(argv[:split])
    options.args = argv[split + 1:]
    commands = {"run": command_run, "json": command_json, "plots": command_plots, "progress": command_progress,
                "catalog": command_catalog}
    try:
        commands[options.command](options)
    except Failure as failure:
        print(f"FAILED: {failure}")
        sys.exit(1)
    print("passed")


if __name__ == "__main__":
    main()
