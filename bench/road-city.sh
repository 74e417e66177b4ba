#!/usr/bin/env bash
# Times velmora-batch network on synthetic cities (bench/RoadCity.cpp), with the load of the
# machine beside each figure:
#   1. a city as extracts draw one, 250,000 road nodes (junctions about every 100 m, shape
#      nodes between them, one-way streets, service roads and dead ends), 901 nodes: the
#      whole command, time and peak memory;
#   2. a pure lattice of 500 x 500 road nodes, each a junction, 901 nodes: the same;
#   3. the first city with 410,000 buildings, a .osm.pbf of about 20 MB and 3 million nodes,
#      2 nodes: the read;
#   4. such a city of 10,000 road nodes, 901 nodes, as XML, beside
#      bench/reference/road_networkx.py on the same files (Debian's python3-networkx), whose
#      matrix must be the same file.
# usage: bench/road-city.sh [BUILD-FOLDER]
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
build=$(realpath "${1:-build}")
cmake --build "$build" --target velmora-batch velmora_road_city >/dev/null
folder=$(mktemp -d)
trap 'rm -rf "$folder"' EXIT
cd "$folder"
city="$build/bench/velmora_road_city"
batch="$build/bin/velmora-batch"

measure() {
    echo "load: $(cut -d' ' -f1-3 /proc/loadavg)"
    /usr/bin/time -f "%e s wall, %U s user, %S s system, %M KB peak" "$@"
}

"$city" streets 250000 0 city.osm.pbf demand.NET sites.NET
echo "== streets, 250,000 road nodes, 901 nodes ($(stat -c %s city.osm.pbf) bytes)"
measure "$batch" network --roads city.osm.pbf --demand demand.NET --candidates sites.NET \
    --out city.NED

"$city" lattice 500 lattice.osm.pbf latticeDemand.NET latticeSites.NET
echo "== lattice, 250,000 road nodes, 901 nodes ($(stat -c %s lattice.osm.pbf) bytes)"
measure "$batch" network --roads lattice.osm.pbf --demand latticeDemand.NET \
    --candidates latticeSites.NET --out lattice.NED

"$city" streets 250000 410000 big.osm.pbf big.NET none.NET 2 0
echo "== $(stat -c %s big.osm.pbf) bytes of .osm.pbf, 2 nodes"
measure "$batch" network --roads big.osm.pbf --demand big.NET --out big.NED

"$city" streets 10000 0 small.osm small.NET smallSites.NET
echo "== streets, 10,000 road nodes, 901 nodes: velmora-batch, then networkx"
measure "$batch" network --roads small.osm --demand small.NET --candidates smallSites.NET \
    --out velmora.NED
if /usr/bin/python3 -c 'import networkx' 2>/dev/null; then
    measure /usr/bin/python3 "$root/bench/reference/road_networkx.py" small.osm small.NET \
        smallSites.NET networkx.NED
    cmp velmora.NED networkx.NED && echo "the two matrices are the same file"
else
    echo "python3-networkx is not installed: no comparison"
fi
