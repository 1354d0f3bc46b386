#!/usr/bin/python3
"""Dispersed channel sum written with NumPy, the baseline of bench_channelsum.

Maps a native file (text passport of `offset` bytes, then float32 samples in
file order: one row of `channels` values per time point) and keeps a
channel-major copy of it in memory. Then it answers commands on stdin, one per
line, so that the caller can time both sides alternately under the same load:

  memory      sum points [first, first + count) of the in-memory copy
  mapped      the same from the mapped file
  save DIR    write the last results as raw float64 files into DIR

Every command is answered by one line: "seconds: S" or "saved".

usage: channelsum_numpy.py path offset npoints channels first count dm tres freq,freq,...
"""

import sys
import time

import numpy as np


def delays_of(freqs, dm, tres):
    ref = freqs[-1]
    x = ((1.0 / freqs ** 2 - 1.0 / ref ** 2) * 4148.8 * dm) / tres
    # Half away from zero, like the program (np.round would round half to even).
    r = np.sign(x) * np.floor(np.abs(x) + 0.5)
    return np.clip(r, -2147483648.0, 2147483647.0).astype(np.int64)


def channel_sum(column, npoints, freqs, first, count, dm, tres):
    """column(c, start, stop) gives channel c's samples [start, stop)."""
    d = delays_of(freqs, dm, tres)
    lo = max(0, -int(d.min()) - first)
    hi = min(count, npoints - int(d.max()) - first)
    out = np.zeros(count)
    if lo < hi:
        acc = np.zeros(hi - lo)
        for c in range(len(freqs) - 1, -1, -1):
            start = first + lo + int(d[c])
            acc += column(c, start, start + hi - lo)
        out[lo:hi] = acc
        out[:lo] = acc[0]
        out[hi:] = acc[-1]
    return out


def main():
    if len(sys.argv) != 10:
        sys.exit(__doc__)
    path = sys.argv[1]
    offset, npoints, channels, first, count = (int(v) for v in sys.argv[2:7])
    dm, tres = float(sys.argv[7]), float(sys.argv[8])
    freqs = np.array([float(v) for v in sys.argv[9].split(',')])
    if len(freqs) != channels - 1:
        sys.exit('expected %d frequencies' % (channels - 1))

    mapped = np.memmap(path, dtype='<f4', mode='r', offset=offset, shape=(npoints, channels))
    in_memory = np.ascontiguousarray(mapped.T)
    columns = {
        'memory': lambda c, a, b: in_memory[c, a:b],
        'mapped': lambda c, a, b: mapped[a:b, c],
    }
    results = {}

    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        if words[0] in columns:
            t0 = time.perf_counter()
            results[words[0]] = channel_sum(columns[words[0]], npoints, freqs, first, count, dm, tres)
            print('seconds: %.9f' % (time.perf_counter() - t0), flush=True)
        elif words[0] == 'save' and len(words) == 2:
            for name, values in results.items():
                values.tofile('%s/numpy_%s.f64' % (words[1], name))
            print('saved', flush=True)
        else:
            sys.exit('unknown command: ' + line.strip())


if __name__ == '__main__':
    main()
