#!/usr/bin/env python3
"""twinvolts-sim from the outside: summaries, trace, plot and error exits.

Usage: sim_cli_test.py SIM MODULE NOT_A_MODULE [EMULATOR...]
With an emulator (wine) the paths handed to the program are turned into
Windows paths on drive Z:, which wine maps to the root of the file system.
"""
import csv
import os
import re
import subprocess
import sys
import tempfile
import unittest
import xml.etree.ElementTree as ET

SIM, MODULE, NOT_A_MODULE = sys.argv[1:4]
EMULATOR = sys.argv[4:]
del sys.argv[1:]


def host_path(path):
    if not EMULATOR:
        return path
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def run(*args, module=MODULE):
    command = EMULATOR + [SIM]
    if module is not None:
        command += ["--module", host_path(module)]
    command += list(args)
    env = dict(os.environ, WINEDEBUG="-all")
    done = subprocess.run(command, capture_output=True, text=True, timeout=300, env=env)
    return done.returncode, done.stdout.replace("\r\n", "\n"), done.stderr.replace("\r\n", "\n")


def channel_figures(summary, channel):
    line = re.search(r"^Dev1/ao%d\s+(.*)$" % channel, summary, re.M).group(1)
    figures = dict(re.findall(r"(\w+) (-?[\d.]+)", line))
    return {key: float(value) for key, value in figures.items()}


def summary_field(summary, name):
    return re.search(r"^%s\s+(.*)$" % re.escape(name), summary, re.M).group(1)


class Workdir(unittest.TestCase):
    def setUp(self):
        self.dir = tempfile.TemporaryDirectory()

    def tearDown(self):
        self.dir.cleanup()

    def path(self, name):
        return os.path.join(self.dir.name, name)

    def write_csv(self, text):
        path = self.path("input.csv")
        with open(path, "w") as f:
            f.write(text)
        return host_path(path)


class DefaultRun(Workdir):
    def test_summary_trace_and_plot(self):
        trace, plot = self.path("trace.csv"), self.path("trace.svg")
        status, out, err = run("--trace", host_path(trace), "--plot", host_path(plot))
        self.assertEqual(status, 0, err)
        self.assertEqual(summary_field(out, "steps"), "500 of 0.01 s")
        for channel in (0, 1):
            figures = channel_figures(out, channel)
            # 500 steps plus the zeroing write of shutdown
            self.assertEqual(figures["writes"], 501)
            self.assertEqual(figures["refused"], 0)
            self.assertAlmostEqual(figures["min"], 0.0, places=3)
            self.assertAlmostEqual(figures["max"], 5.0, places=3)
            self.assertEqual(figures["final"], 0.0)
        self.assertEqual(summary_field(out, "tasks open"), "0")
        self.assertEqual(summary_field(out, "errors"), "0")
        self.assertEqual(summary_field(out, "result"), "completed")

        with open(trace) as f:
            rows = list(csv.DictReader(f))
        self.assertEqual(len(rows), 500)
        self.assertEqual(rows[0]["step"], "0")
        self.assertAlmostEqual(float(rows[100]["time_s"]), 1.0)
        for row in rows:
            self.assertEqual(row["status"], "ok")
            for ch in ("ao0", "ao1"):
                self.assertEqual(float(row[ch + "_requested_V"]), float(row[ch + "_actual_V"]))
        self.assertEqual(float(rows[-1]["ao1_actual_V"]), 5.0)

        root = ET.parse(plot).getroot()
        ns = {"svg": "http://www.w3.org/2000/svg"}
        series = {p.get("id"): p for p in root.iterfind(".//svg:polyline[@class='series']", ns)}
        self.assertEqual(sorted(series), ["ao0", "ao1"])
        for line in series.values():
            self.assertGreaterEqual(len(line.get("points").split()), 500)
        texts = " ".join(t.text or "" for t in root.iterfind(".//svg:text", ns))
        for label in ("time (s)", "output (V)", "Dev1/ao0", "Dev1/ao1", "0-5 V range"):
            self.assertIn(label, texts)


class CardBehaviour(Workdir):
    def test_out_of_range_value_is_refused_and_output_holds(self):
        trace = self.path("trace.csv")
        status, out, err = run("--input", self.write_csv("ao0,ao1\n1,2\n7.5,-1\n3,4\n"),
                               "--trace", host_path(trace))
        self.assertEqual(status, 0, err)
        for channel in (0, 1):
            figures = channel_figures(out, channel)
            self.assertEqual((figures["writes"], figures["refused"]), (4, 1))
        with open(trace) as f:
            rows = list(csv.DictReader(f))
        self.assertEqual([float(r["ao0_actual_V"]) for r in rows], [1.0, 1.0, 3.0])
        self.assertEqual([float(r["ao1_actual_V"]) for r in rows], [2.0, 2.0, 4.0])
        self.assertIn("ao1:", rows[1]["status"])
        self.assertEqual(rows[2]["status"], "ok")

    def test_no_card_refuses_every_write(self):
        status, out, err = run("--no-card", "--steps", "10")
        self.assertEqual(status, 0, err)
        # Without a card the tasks get no channel, so no write reaches an output.
        for channel in (0, 1):
            figures = channel_figures(out, channel)
            self.assertEqual((figures["writes"], figures["max"]), (0, 0.0))
        self.assertEqual(summary_field(out, "no channel"), "writes 22, refused 22")
        self.assertEqual(summary_field(out, "tasks open"), "0")

    def test_injected_write_failure(self):
        status, out, err = run("--fail-write-at", "5", "--steps", "10")
        self.assertEqual(status, 0, err)
        refused = [channel_figures(out, ch)["refused"] for ch in (0, 1)]
        self.assertEqual(refused, [1, 0])  # write 5 is ao0's third

    def test_long_run_counts_every_write(self):
        # Longer than the card's write trace holds: the counts must not stop.
        rows = ["2,3"] * 39999 + ["7.5,3"]
        status, out, err = run("--input", self.write_csv("\n".join(rows) + "\n"))
        self.assertEqual(status, 0, err)
        self.assertEqual(summary_field(out, "steps"), "40000 of 0.01 s")
        ao0, ao1 = channel_figures(out, 0), channel_figures(out, 1)
        self.assertEqual((ao0["writes"], ao0["refused"], ao0["max"]), (40001, 1, 2.0))
        self.assertEqual((ao1["writes"], ao1["refused"]), (40001, 0))

    def test_byte_order_mark_does_not_eat_the_first_row(self):
        path = self.path("bom.csv")
        with open(path, "wb") as f:
            f.write(b"\xef\xbb\xbf1,2\n3,4\n")
        status, out, err = run("--input", host_path(path))
        self.assertEqual(status, 0, err)
        self.assertEqual(summary_field(out, "steps"), "2 of 0.01 s")

    def test_sizes_rows(self):
        status, out, err = run("--sizes")
        self.assertEqual(status, 0, err)
        rows = [line.split() for line in out.splitlines()]
        self.assertEqual(len(rows), 38)
        by_row = {int(r[0]): (r[1], float(r[-1])) for r in rows}
        self.assertEqual(by_row[3], ("inputPortCount", 1.0))
        self.assertEqual(by_row[2], ("outputPortCount", 0.0))
        self.assertEqual(by_row[6], ("sampleTimeCount", 1.0))
        self.assertEqual(by_row[19], ("versionStamp", 5200229.0))
        self.assertEqual(by_row[23], ("sizesFlags", 8192.0))


class BadInput(Workdir):
    def assertBadInput(self, result, expected):
        status, out, err = result
        self.assertEqual(status, 2, out + err)
        self.assertIn(expected, err)

    def test_module_files_that_cannot_be_used(self):
        self.assertBadInput(run(module=self.path("missing.mexa64")), "missing.mexa64")
        text = self.path("text.mexa64")
        with open(text, "w") as f:
            f.write("not a library\n")
        self.assertBadInput(run(module=text), "text.mexa64")
        self.assertBadInput(run(module=NOT_A_MODULE), "mexFunction")

    def test_malformed_csv_names_the_line(self):
        self.assertBadInput(run("--input", self.write_csv("1,2\n3,4,5\n")), ":2:")
        self.assertBadInput(run("--input", self.write_csv("1,2\n3,volts\n")), ":2:")

    def test_bad_options(self):
        self.assertBadInput(run("--bogus"), "unknown option")
        self.assertBadInput(run("--dt", "-1"), "--dt")
        self.assertBadInput(run("--steps", "1000001"), "1 to 1000000")
        self.assertBadInput(run("--trace"), "needs a value")


if __name__ == "__main__":
    unittest.main(verbosity=2)
