#!/usr/bin/env python3
"""Counts the Wine server requests of the stretches bench_window marks, from a `wineserver -d2` trace.

  count_requests.py TRACE

Only the threads of the process that made the marks are counted: its first thread is named by
init_first_thread, the threads it starts by the replies to its new_thread on process=ffffffff.
A stretch runs from the mark "KorvalisCount begin WHAT" to "KorvalisCount end WHAT FILES".
Prints requests per file beside the floor's, and the breakdown by thread and by request name.
"""
import collections
import re
import sys

REQUEST = re.compile(r"^([0-9a-f]{4,8}): (\w+)\((?!\) = )")  # a reply reads "name() = ..."
REPLY_TID = re.compile(r"^([0-9a-f]{4,8}): new_thread\(\) = 0 \{ tid=([0-9a-f]+)")
MARK = re.compile(r'name=L"[^"]*KorvalisCount (begin|end) ([\w-]+)(?: (\d+))?"')


def main(path):
    process_of = {}  # thread id -> its process's first thread
    starting = set()  # threads waiting for their new_thread reply
    marker_process = None
    open_stretch = None
    stretches = collections.OrderedDict()  # what -> (files, Counter by (thread, request))
    new_threads = {}
    with open(path, errors="replace") as trace:
        for line in trace:
            reply = REPLY_TID.match(line)
            if reply:
                parent, child = reply.group(1), reply.group(2)
                if parent in starting:
                    starting.discard(parent)
                    process_of[child] = process_of.get(parent, parent)
                    new_threads[child] = parent
                continue
            request = REQUEST.match(line)
            if not request:
                continue
            tid, name = request.group(1), request.group(2)
            if name == "init_first_thread":
                process_of[tid] = tid
            elif name == "new_thread" and "process=ffffffff" in line:
                starting.add(tid)
            mark = MARK.search(line) if name.startswith("create_") or name.startswith("open_") else None
            if mark:
                marker_process = process_of.get(tid, tid)
                kind, what = mark.group(1), mark.group(2)
                if kind == "begin":
                    open_stretch = what
                    stretches[what] = [0, collections.Counter()]
                else:
                    stretches[what][0] = int(mark.group(3) or 0)
                    open_stretch = None
                continue
            if open_stretch and process_of.get(tid) == marker_process:
                stretches[open_stretch][1][(tid, name)] += 1

    if not stretches:
        print("no marked stretch in the trace")
        return 1
    totals = {}
    for what, (files, counts) in stretches.items():
        total = sum(counts.values())
        totals[what] = total / files if files else 0.0
        print(f"== {what}: {total} requests, {files} files, {totals[what]:.2f} per file")
        by_thread = collections.Counter()
        for (tid, _), n in counts.items():
            by_thread[tid] += n
        for tid, n in by_thread.most_common():
            role = "the window's thread" if tid == marker_process else "thread " + tid
            names = collections.Counter({name: c for (t, name), c in counts.items() if t == tid})
            top = ", ".join(f"{name} {c}" for name, c in names.most_common(8))
            print(f"   {role}: {n} ({n / files if files else 0:.2f} per file): {top}")
    for work in ("scan", "write"):
        floor = work + "-floor"
        if work in totals and floor in totals and totals[floor] > 0:
            print(f"{work}: {totals[work]:.2f} requests per file, floor {totals[floor]:.2f}, "
                  f"ratio {totals[work] / totals[floor]:.3f}  (goal <= 1.15)")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
