"""Reads `otool -X -s __TEXT __info_plist` of one architecture on standard input and checks that
the section holds the property list named on the command line.

otool prints the section as hex: single bytes for x86_64, little-endian 32-bit words for arm64.
"""
import plistlib
import sys


def section_bytes(dump):
    data = bytearray()
    for line in dump.splitlines():
        # Content lines are an address, a tab, then the hex; the rest are headers.
        address, tab, content = line.partition("\t")
        if not tab or not all(c in "0123456789abcdefABCDEF" for c in address.strip()):
            continue
        for token in content.split():
            if len(token) == 2:
                data += bytes.fromhex(token)
            elif len(token) % 2 == 0:
                # A word, or the shorter one at the end of the section.
                data += bytes.fromhex(token)[::-1]
            else:
                sys.exit(f"unexpected otool output: {line!r}")
    return bytes(data)


def main():
    expected_path = sys.argv[1]
    embedded = plistlib.loads(section_bytes(sys.stdin.read()).rstrip(b"\0"))
    with open(expected_path, "rb") as expected_file:
        expected = plistlib.load(expected_file)
    if embedded != expected:
        sys.exit(f"the embedded property list differs from {expected_path}: {embedded!r}")
    print(f"embedded property list matches {expected_path}: {sorted(embedded)}")


if __name__ == "__main__":
    main()
