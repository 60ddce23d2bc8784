"""The verdict every package check ends with: each problem on a line of its own, then a count."""


def finish(problems, checked):
    """Prints the problems and "<checked>, N problem(s)"; returns the exit status (1 for any)."""
    for p in problems:
        print("FAIL:", p)
    print("%s, %d problem(s)" % (checked, len(problems)))
    return 1 if problems else 0
