#!/usr/bin/python3
"""Driving distances in metres between the nodes of a problem over the roads of an
OpenStreetMap XML file, written plainly with networkx, to compare with
`velmora-batch network` on the same files (for speed, and cell by cell).

usage: road_networkx.py ROADS.osm DEMAND.NET SITES.NET OUT.NED

Needs Debian's python3-networkx, which the set-up does not install.
"""
import math
import sys
import xml.etree.ElementTree as ElementTree

import networkx

RADIUS = 6371008.8
DRIVE = {"motorway", "motorway_link", "trunk", "trunk_link", "primary", "primary_link",
         "secondary", "secondary_link", "tertiary", "tertiary_link", "unclassified",
         "residential", "living_street", "service", "road"}


def haversine(lon1, lat1, lon2, lat2):
    y1, y2, x1, x2 = map(math.radians, (lat1, lat2, lon1, lon2))
    h = math.sin((y2 - y1) / 2) ** 2 + math.cos(y1) * math.cos(y2) * math.sin((x2 - x1) / 2) ** 2
    return 2 * math.asin(math.sqrt(min(1.0, h))) * RADIUS


def direction(tags):
    oneway = tags.get("oneway")
    if oneway in ("-1", "reverse"):
        return False, True
    if oneway in ("yes", "true", "1"):
        return True, False
    if tags.get("junction") in ("roundabout", "circular") and oneway not in ("no", "false", "0"):
        return True, False
    return True, True


def is_road(tags):
    return (tags.get("highway") in DRIVE and tags.get("area") != "yes"
            and tags.get("access") not in ("no", "private")
            and tags.get("motor_vehicle") != "no" and tags.get("motorcar") != "no")


def read_roads(path):
    places, graph = {}, networkx.DiGraph()
    for _, element in ElementTree.iterparse(path):
        if element.tag == "node":
            places[int(element.get("id"))] = (float(element.get("lon")), float(element.get("lat")))
        elif element.tag == "way":
            tags = {tag.get("k"): tag.get("v") for tag in element.iter("tag")}
            refs = [int(nd.get("ref")) for nd in element.iter("nd")]
            if is_road(tags):
                forward, backward = direction(tags)
                for a, b in zip(refs, refs[1:]):
                    if a in places and b in places and a != b:
                        for tail, head, wanted in ((a, b, forward), (b, a, backward)):
                            if wanted:
                                length = haversine(*places[tail], *places[head])
                                old = graph.get_edge_data(tail, head)
                                if old is None or length < old["weight"]:
                                    graph.add_edge(tail, head, weight=length)
        if element.tag in ("node", "way", "relation"):
            element.clear()
    return places, graph


def read_nodes(*paths):
    nodes = []
    for path in paths:
        with open(path, "rb") as file:
            for line in file.read().split(b"\r\n"):
                if line:
                    fields = line.split()
                    nodes.append((float(fields[1]), float(fields[2])))
    return nodes


def main():
    roads, demand, sites, out = sys.argv[1:5]
    places, graph = read_roads(roads)
    nodes = read_nodes(demand, sites)
    road_nodes = sorted(graph.nodes)
    snapped = [min(road_nodes, key=lambda v: (haversine(lon, lat, *places[v]), v))
               for lon, lat in nodes]
    lengths = {s: networkx.single_source_dijkstra_path_length(graph, s, weight="weight")
               for s in dict.fromkeys(snapped)}
    n = len(nodes)
    cells = [[0 if snapped[i] == snapped[j] else round(lengths[snapped[i]][snapped[j]])
              for j in range(n)] for i in range(n)]
    with open(out, "wb") as file:
        file.write(b"".join(b"%d\r\n" % cells[r][c] for c in range(n) for r in range(n)))


if __name__ == "__main__":
    main()
