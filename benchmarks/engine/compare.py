#!/usr/bin/env python3
"""Runs two builds of bench-engine in turn and prints a table of medians.

Usage: compare.py BEFORE AFTER [--filter REGEX] [--runs N]

Each run of each program covers every benchmark the filter selects; the
programs alternate run by run, so both see the same machine load. Prints
the median real-time factor of the render benchmarks, the idle block time,
and the per-sample cost of every section benchmark, before and after.
"""
import argparse
import json
import statistics
import subprocess


def run(program, regex):
    out = subprocess.run([program, f"--benchmark_filter={regex}", "--benchmark_format=json"],
                         check=True, capture_output=True, text=True).stdout
    results = {}
    for b in json.loads(out)["benchmarks"]:
        if "rtf" in b:
            results[b["name"]] = ("rtf (x real time)", b["rtf"])
        elif "ns_per_sample" in b:
            results[b["name"]] = ("ns per sample", b["ns_per_sample"])
        else:
            results[b["name"]] = ("ns per block", b["cpu_time"])
    return results


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("before")
    parser.add_argument("after")
    parser.add_argument("--filter", default="WorstCase|Typical|Idle|Clear|BM_Section")
    parser.add_argument("--runs", type=int, default=5)
    args = parser.parse_args()
    samples = {"before": {}, "after": {}}
    for _ in range(args.runs):
        for which, program in (("before", args.before), ("after", args.after)):
            for name, (unit, value) in run(program, args.filter).items():
                samples[which].setdefault(name, (unit, []))[1].append(value)
    print(f"| benchmark | unit | before | after | after/before |")
    print(f"|---|---|---:|---:|---:|")
    for name, (unit, values) in samples["before"].items():
        if name not in samples["after"]:
            continue
        b = statistics.median(values)
        a = statistics.median(samples["after"][name][1])
        print(f"| {name} | {unit} | {b:.4g} | {a:.4g} | {a / b:.2f} |")


if __name__ == "__main__":
    main()
