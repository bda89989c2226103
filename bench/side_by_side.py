#!/usr/bin/env python3
"""Runs the benchmarks in one process and writes a Markdown table of the control's figures as
ratios to Pango's layout of the same corpus and to one plain HarfBuzz pass over it (whole-text
figures), or to one plain HarfBuzz shaping of a display line (per-keystroke figures). The
BM_SideBySide* rows interleave the control and its yardsticks round by round and carry their
own ratios (to_pango, to_harfbuzz, to_harfbuzz_line), which a machine under changing load
disturbs least.

    bench/side_by_side.py [path/to/kestrix_bench] [--filter REGEX] [--out table.md]
"""
import argparse
import json
import os
import re
import subprocess
import sys
import tempfile

UNIT_TO_MS = {"ns": 1e-6, "us": 1e-3, "ms": 1.0, "s": 1e3}

# Figures for the whole corpus are held against the whole-corpus yardsticks; figures for one
# edit against one line; the text library's own benchmarks against neither.
WHOLE_TEXT = ("BM_TextWrite", "BM_LongParagraph", "BM_TextWriteScaling", "BM_PangoLayout",
              "BM_HarfBuzzPass", "BM_SideBySideTextWrite")
ONE_EDIT = ("BM_Type", "BM_Backspace", "BM_DeleteSelection", "BM_Paste", "BM_Return", "BM_Move",
            "BM_PaintWindow", "BM_ShiftDown", "BM_HarfBuzzLine", "BM_SideBySideTyping")
SHOWN_COUNTERS = ("lines", "bytes_per_char", "to_pango", "to_harfbuzz", "to_harfbuzz_line",
                  "pango_ms", "harfbuzz_ms", "harfbuzz_us", "first_ms", "again_ms")


def run(binary, pattern):
    with tempfile.NamedTemporaryFile(suffix=".json", delete=False) as out:
        path = out.name
    command = [binary, "--benchmark_out=" + path, "--benchmark_out_format=json"]
    if pattern:
        command.append("--benchmark_filter=" + pattern)
    subprocess.run(command, check=True, stdout=sys.stderr)
    with open(path) as f:
        data = json.load(f)
    os.unlink(path)
    return data


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("binary", nargs="?",
                        default=os.path.join(here, "..", "build", "release", "bench", "kestrix_bench"))
    parser.add_argument("--filter", default="")
    parser.add_argument("--out", default="")
    args = parser.parse_args()

    data = run(args.binary, args.filter)
    times = {}
    rows = []
    for b in data["benchmarks"]:
        if b.get("run_type") == "aggregate":
            continue
        name = re.sub(r"(/iterations:\d+)?(/manual_time)?$", "", b["name"])
        ms = b["real_time"] * UNIT_TO_MS[b.get("time_unit", "ns")]
        times[name] = ms
        notes = [b.get("label", "")] + ["%s %.4g" % (c, b[c]) for c in SHOWN_COUNTERS if c in b]
        rows.append((name, ms, ", ".join(n for n in notes if n)))

    pango = times.get("BM_PangoLayout")
    harfbuzz = times.get("BM_HarfBuzzPass")
    line = times.get("BM_HarfBuzzLine")

    def ratio(value, base):
        return "%.3f" % (value / base) if base else "n/a"

    lines = ["| Benchmark | Time (ms) | ÷ Pango layout | ÷ HarfBuzz pass | ÷ HarfBuzz line | Notes |",
             "|---|---:|---:|---:|---:|---|"]
    for name, ms, notes in rows:
        whole = name.startswith(WHOLE_TEXT)
        edit = name.startswith(ONE_EDIT)
        lines.append("| %s | %.4f | %s | %s | %s | %s |" % (
            name, ms,
            ratio(ms, pango) if whole else "",
            ratio(ms, harfbuzz) if whole else "",
            ratio(ms, line) if edit else "", notes))
    context = data.get("context", {})
    lines.append("")
    lines.append("One run on %s, %s CPUs, %s build of the benchmark library." % (
        context.get("host_name", "?"), context.get("num_cpus", "?"),
        context.get("library_build_type", "?")))
    table = "\n".join(lines) + "\n"
    if args.out:
        with open(args.out, "w") as f:
            f.write(table)
    sys.stdout.write(table)


if __name__ == "__main__":
    main()
