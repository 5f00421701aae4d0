#!/usr/bin/python3
"""A bundle's Contents/Resources/moduleinfo.json held against the published VST 3 module-info
format, rule by rule, independently of our own writer and reader:

- top level: "Name", "Version", "Factory Info", "Compatibility", "Classes", nothing else;
- "Factory Info": "Vendor", "URL", "E-Mail", "Flags", with "Flags" naming only "Unicode",
  "Classes Discardable", "Component Non Discardable" (true or false);
- "Compatibility": entries of "New" (a class id) and "Old" (a list of class ids);
- each class: "CID", "Category", "Name", "Vendor" (not empty), "Version", "SDKVersion",
  "Sub Categories" (a list of texts), "Class Flags", "Cardinality" (integers) and "Snapshots",
  entries of "Scale Factor" (a number) and "Path", relative to the bundle, naming a PNG file of
  the bundle called <CID>_snapshot.png at scale 1 and <CID>_snapshot_<scale>x.png otherwise;
- a class id is 32 upper-case hexadecimal digits and, for the expected class, the text hosts of
  the platform compute: the bytes in order on Linux, COM order (a GUID's first three fields
  little-endian) on Windows.

  check_moduleinfo.py BUNDLE CLASS_ID_BYTES (plain|com)
"""
import json
import os
import re
import sys


def fail(message):
    print("moduleinfo: " + message, file=sys.stderr)
    sys.exit(1)


def check_keys(what, obj, required, optional=()):
    if not isinstance(obj, dict):
        fail("%s is not an object" % what)
    missing = [k for k in required if k not in obj]
    unknown = [k for k in obj if k not in required and k not in optional]
    if missing or unknown:
        fail("%s: missing %s, unknown %s" % (what, missing, unknown))


def class_id_text(hex_bytes, order):
    b = bytes.fromhex(hex_bytes)
    if order == "com":
        b = b[3::-1] + b[5:3:-1] + b[7:5:-1] + b[8:]
    return b.hex().upper()


def main():
    bundle, cid_bytes, order = sys.argv[1], sys.argv[2], sys.argv[3]
    path = os.path.join(bundle, "Contents", "Resources", "moduleinfo.json")
    with open(path, encoding="utf-8") as f:
        info = json.load(f)
    cid_pattern = re.compile(r"^[0-9A-F]{32}$")

    check_keys("the module info", info, ["Name", "Version", "Factory Info", "Compatibility", "Classes"])
    for key in ("Name", "Version"):
        if not isinstance(info[key], str) or not info[key]:
            fail('"%s" is not a text' % key)
    factory = info["Factory Info"]
    check_keys('"Factory Info"', factory, ["Vendor", "URL", "E-Mail", "Flags"])
    check_keys('"Flags"', factory["Flags"], [], ["Unicode", "Classes Discardable", "Component Non Discardable"])
    if not all(isinstance(v, bool) for v in factory["Flags"].values()):
        fail('"Flags" values are not true or false')
    if not isinstance(info["Compatibility"], list):
        fail('"Compatibility" is not a list')
    for entry in info["Compatibility"]:
        check_keys("a compatibility entry", entry, ["New", "Old"])
        if not cid_pattern.match(entry["New"]) or not all(cid_pattern.match(o) for o in entry["Old"]):
            fail("a compatibility entry names no class id: %s" % entry)

    expected = class_id_text(cid_bytes, order)
    found = False
    for c in info["Classes"]:
        check_keys("a class", c, ["CID", "Category", "Name", "Vendor", "Version", "SDKVersion", "Sub Categories",
                                  "Class Flags", "Cardinality"], ["Snapshots"])
        if not cid_pattern.match(c["CID"]):
            fail('"CID" %r is not 32 upper-case hexadecimal digits' % c["CID"])
        for key in ("Category", "Name", "Vendor", "Version", "SDKVersion"):
            if not isinstance(c[key], str) or not c[key]:
                fail('class %s: "%s" is empty or not a text' % (c["CID"], key))
        if not isinstance(c["Sub Categories"], list) or not all(isinstance(s, str) for s in c["Sub Categories"]):
            fail('class %s: "Sub Categories" is not a list of texts' % c["CID"])
        for key in ("Class Flags", "Cardinality"):
            if not isinstance(c[key], int) or isinstance(c[key], bool):
                fail('class %s: "%s" is not an integer' % (c["CID"], key))
        for s in c.get("Snapshots", []):
            check_keys("a snapshot", s, ["Scale Factor", "Path"])
            scale = s["Scale Factor"]
            if not isinstance(scale, (int, float)) or isinstance(scale, bool) or scale <= 0:
                fail("snapshot scale %r" % scale)
            name = c["CID"] + ("_snapshot.png" if scale == 1 else "_snapshot_%.1fx.png" % scale)
            if s["Path"] != "Contents/Resources/Snapshots/" + name:
                fail("snapshot path %r, expected Contents/Resources/Snapshots/%s" % (s["Path"], name))
            with open(os.path.join(bundle, s["Path"]), "rb") as picture:
                if picture.read(8) != b"\x89PNG\r\n\x1a\n":
                    fail("%s is not a PNG file" % s["Path"])
        found = found or c["CID"] == expected
    if not found:
        fail("no class has the id %s (%s order); classes: %s" % (expected, order, [c["CID"] for c in info["Classes"]]))
    print("moduleinfo: %s follows the format, class %s" % (path, expected))


main()
