#!/usr/bin/env python3
"""Checks that built programs carry no link time, so that rebuilds give the same bytes.

    check_pe_stamp.py EXE...

Fails unless the TimeDateStamp of each program's PE file header is 0, or equals
SOURCE_DATE_EPOCH when that is set.
"""

import os
import sys

from check_manifest import PeImage


def main(paths):
    if not paths:
        print(__doc__.strip().splitlines()[2].strip(), file=sys.stderr)
        return 2
    allowed = {0}
    if os.environ.get("SOURCE_DATE_EPOCH", "").isdigit():
        allowed.add(int(os.environ["SOURCE_DATE_EPOCH"]))
    failed = False
    for path in paths:
        try:
            with open(path, "rb") as file:
                stamp = PeImage(file.read()).time_stamp
        except (OSError, ValueError) as error:
            print(f"{path}: {error}")
            failed = True
            continue
        ok = stamp in allowed
        print(f"{path}: time stamp {stamp:#010x} {'ok' if ok else 'is a link time'}")
        failed = failed or not ok
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
