#!/usr/bin/env python3
"""Compares the samples of two 32-bit float WAV files bit for bit (the headers may differ: the
writer stamps the time into its peak chunk). Prints the frames compared and the differing
samples; exits 1 unless the files hold the same number of samples, at least one, all equal."""
import struct
import sys


def samples(path):
    with open(path, "rb") as f:
        data = f.read()
    if data[:4] != b"RIFF" or data[8:12] != b"WAVE":
        sys.exit(f"{path}: not a WAV file")
    position, fmt, payload = 12, None, None
    while position + 8 <= len(data):
        chunk, size = struct.unpack_from("<4sI", data, position)
        body = data[position + 8 : position + 8 + size]
        if chunk == b"fmt ":
            fmt = struct.unpack_from("<HHIIHH", body)
        elif chunk == b"data":
            payload = body
        position += 8 + size + (size & 1)
    if fmt is None or payload is None:
        sys.exit(f"{path}: no format or no data chunk")
    kind, channels, rate, _, _, bits = fmt
    if kind not in (3, 0xFFFE) or bits != 32:
        sys.exit(f"{path}: not 32-bit float samples")
    return channels, rate, struct.unpack(f"<{len(payload) // 4}I", payload)


def main():
    first, second = sys.argv[1], sys.argv[2]
    channels, rate, a = samples(first)
    other_channels, other_rate, b = samples(second)
    if (channels, rate, len(a)) != (other_channels, other_rate, len(b)):
        print(f"{second}: {other_channels} channels, {other_rate} Hz, {len(b)} samples; "
              f"{first}: {channels}, {rate} Hz, {len(a)}")
        return 1
    differing = sum(1 for x, y in zip(a, b) if x != y)
    print(f"{second} against {first}: {len(a) // channels} frames of {channels} channel(s), "
          f"{differing} samples differ")
    return 0 if differing == 0 and len(a) > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
