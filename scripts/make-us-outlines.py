#!/usr/bin/env python3
"""Converts the county and state outlines of the Census cartographic boundary
files, as published in TopoJSON form (counties-10m.json), into the plain text
file data/us-outlines.txt that the warning map and the location alarms read.

    scripts/make-us-outlines.py counties-10m.json data/fips63.txt data/us-outlines.txt

Output, one record a line:
    S <state FIPS> <abbreviation> <name>        a state; its rings follow
    C <county FIPS, 5 digits> <abbreviation> <name>   a county; its rings follow
    R <lon> <lat> <dlon> <dlat> ...             one ring: the first point in
        thousandths of a degree, then each point as the difference from the one
        before (longitude east positive, so negative in the United States)
A feature with several parts or holes has several R lines; a point is inside
the feature when an odd number of its rings contain it. Points closer than a
thousandth of a degree to the one before are dropped. Only the standard
library is used; the output is the same every time.
"""
import json
import sys


# Territories the FIPS table does not list.
TERRITORIES = {"60": "AS", "66": "GU", "69": "MP", "78": "VI"}


def read_states(fips_path):
    states = dict(TERRITORIES)
    with open(fips_path, encoding="utf-8") as f:
        for line in f:
            parts = line.rstrip("\n").split(" ")
            if len(parts) == 2 and len(parts[0]) == 2 and parts[0].isdigit():
                states[parts[0]] = parts[1]
    return states


def decode_arcs(topo):
    sx, sy = topo["transform"]["scale"]
    tx, ty = topo["transform"]["translate"]
    arcs = []
    for arc in topo["arcs"]:
        x = y = 0
        points = []
        for dx, dy in arc:
            x += dx
            y += dy
            points.append((round((x * sx + tx) * 1000), round((y * sy + ty) * 1000)))
        arcs.append(points)
    return arcs


def ring_points(ring, arcs):
    points = []
    for index in ring:
        arc = arcs[index] if index >= 0 else list(reversed(arcs[~index]))
        points.extend(arc if not points else arc[1:])
    thinned = []
    for p in points:
        if not thinned or p != thinned[-1]:
            thinned.append(p)
    if len(thinned) > 1 and thinned[0] == thinned[-1]:
        thinned.pop()
    return thinned


def rings_of(geometry):
    if geometry.get("type") == "Polygon":
        return geometry["arcs"]
    if geometry.get("type") == "MultiPolygon":
        return [ring for polygon in geometry["arcs"] for ring in polygon]
    return []


def ring_line(points):
    values = [points[0][0], points[0][1]]
    for (x0, y0), (x1, y1) in zip(points, points[1:]):
        values += [x1 - x0, y1 - y0]
    return "R " + " ".join(str(v) for v in values)


def write_feature(out, head, geometry, arcs):
    rings = [ring_points(r, arcs) for r in rings_of(geometry)]
    rings = [r for r in rings if len(r) >= 3]
    if not rings:
        return
    out.append(head)
    out.extend(ring_line(r) for r in rings)


def main():
    if len(sys.argv) != 4:
        sys.exit(__doc__)
    with open(sys.argv[1], encoding="utf-8") as f:
        topo = json.load(f)
    abbreviations = read_states(sys.argv[2])
    arcs = decode_arcs(topo)
    out = ["# US state and county outlines, Census cartographic boundary files 2017",
           "# (1:10,000,000), via the us-atlas package; see SOURCES.md."]
    states = sorted(topo["objects"]["states"]["geometries"], key=lambda g: g["id"])
    for g in states:
        abbreviation = abbreviations.get(g["id"])
        if abbreviation:
            write_feature(out, "S %s %s %s" % (g["id"], abbreviation, g["properties"]["name"]),
                          g, arcs)
    counties = sorted(topo["objects"]["counties"]["geometries"], key=lambda g: g["id"])
    for g in counties:
        abbreviation = abbreviations.get(g["id"][:2])
        if abbreviation:
            write_feature(out, "C %s %s %s" % (g["id"], abbreviation, g["properties"]["name"]),
                          g, arcs)
    with open(sys.argv[3], "w", encoding="utf-8", newline="\n") as f:
        f.write("\n".join(out) + "\n")


if __name__ == "__main__":
    main()
