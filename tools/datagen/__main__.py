"""Entry: python3 -m datagen OUTDIR   (with tools/ on the module path)."""
import sys

from .build import generate


def main(argv):
    if len(argv) != 2:
        print("usage: python3 -m datagen OUTDIR", file=sys.stderr)
        return 2
    names = generate(argv[1])
    print("datagen: wrote %d files to %s" % (len(names), argv[1]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
