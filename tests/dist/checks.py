"""Named checks with a result each and one summary line, as the table-check
programs print them."""

import sys


def listing(names, limit=8):
    """A short text of a list of names: the first few and how many more."""
    names = sorted(names)
    shown = ", ".join(names[:limit])
    return shown + (f" and {len(names) - limit} more" if len(names) > limit else "")


class Checks:
    def __init__(self, subject):
        self.subject = subject
        self.passed = 0
        self.failed = 0

    def check(self, name, ok, detail=""):
        if ok:
            self.passed += 1
            print(f"PASS {name}")
        else:
            self.failed += 1
            print(f"FAIL {name}: {detail}" if detail else f"FAIL {name}")
        return ok

    def finish(self):
        print(f"checked {self.subject}")
        print(f"tables: {self.passed} passed, {self.failed} failed")
        sys.stdout.flush()
        return 1 if self.failed else 0
