"""The count a check script keeps: each check passed or failed (with what it saw), the line
that sums them up, and the exit status ctest reads."""
import sys


class Tally:
    def __init__(self):
        self.passed = self.failed = self.skipped = 0

    def check(self, name, ok, detail=""):
        if ok:
            self.passed += 1
        else:
            self.failed += 1
            print(f"FAILED {name}: {detail}")

    def finish(self):
        print(f"{self.passed} passed, {self.failed} failed"
              + (f", {self.skipped} skipped" if self.skipped else ""))
        sys.exit(1 if self.failed else 0)
