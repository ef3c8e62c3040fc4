#!/usr/bin/env python3
"""Counts, in a `wineserver -d2` trace, the requests of scan_requests.exe's own threads between
its named events, per round and per file, by request name and by thread.
   scan_requests_count.py TRACE FILES"""
import collections
import re
import sys

trace, files = sys.argv[1], int(sys.argv[2])
request = re.compile(r'^([0-9a-f]{4}): (\w+)\((?!\) =)')
marker = re.compile(r'^([0-9a-f]{4}): create_event\(.*name=L"krvl-(\w+)-(begin|end)-(\d+)"')
reply_tid = re.compile(r'^([0-9a-f]{4}): new_thread\(\) = 0 \{ tid=([0-9a-f]{4})')

lines = open(trace, errors='replace').read().splitlines()
main = next(m.group(1) for m in map(marker.match, lines) if m)
# The program's threads: its first thread and every thread one of them starts in its process.
ours, asking = {main}, set()
roles = {main: 'main'}
stretch, counts = None, collections.defaultdict(collections.Counter)
for line in lines:
    m = marker.match(line)
    if m and m.group(1) in ours:
        stretch = (m.group(2), m.group(4)) if m.group(3) == 'begin' else None
        continue
    if line.startswith(tuple(t + ': new_thread( process=ffffffff' for t in ours)):
        asking.add(line[:4])
    m = reply_tid.match(line)
    if m and m.group(1) in asking:
        asking.discard(m.group(1))
        ours.add(m.group(2))
        roles.setdefault(m.group(2), 'thread %d' % len(roles))
    m = request.match(line)
    if m and stretch and m.group(1) in ours:
        counts[stretch][(m.group(1), m.group(2))] += 1

for kind in ('floor', 'scan'):
    rounds = sorted(k for k in counts if k[0] == kind)
    totals = [sum(counts[k].values()) for k in rounds]
    print('%s: requests per round %s, per file %s' % (kind, totals, ['%.2f' % (t / files) for t in totals]))
    last = counts[rounds[-1]] if rounds else collections.Counter()
    by_thread, by_name = collections.Counter(), collections.Counter()
    for (tid, name), n in last.items():
        by_thread[roles.get(tid, tid)] += n
        by_name[name] += n
    print('  last round by thread:', dict(by_thread.most_common()))
    print('  last round by request:', dict(by_name.most_common(12)))
