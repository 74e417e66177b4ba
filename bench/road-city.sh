#!/usr/bin/env bash
# Times velmora-batch network on synthetic grid cities (bench/RoadCity.cpp), with the load
# of the machine beside each figure:
#   1. 500 x 500 road nodes (250,000) and 901 nodes: the whole command, time and peak memory;
#   2. a 22 MB .osm.pbf (1,000,000 road nodes, 2,000,000 buildings) and 2 nodes: the read;
#   3. 100 x 100 road nodes and 901 nodes as XML, beside bench/reference/road_networkx.py on
#      the same files (Debian's python3-networkx), whose matrix must be the same file.
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

"$city" 500 0 city.osm.pbf demand.NET sites.NET
echo "== 250,000 road nodes, 901 nodes ($(stat -c %s city.osm.pbf) bytes)"
measure "$batch" network --roads city.osm.pbf --demand demand.NET --candidates sites.NET \
    --out city.NED

"$city" 1000 2000000 big.osm.pbf big.NET none.NET 2 0
echo "== $(stat -c %s big.osm.pbf) bytes of .osm.pbf, 2 nodes"
measure "$batch" network --roads big.osm.pbf --demand big.NET --out big.NED

"$city" 100 0 small.osm small.NET smallSites.NET
echo "== 10,000 road nodes, 901 nodes: velmora-batch, then networkx"
measure "$batch" network --roads small.osm --demand small.NET --candidates smallSites.NET \
    --out velmora.NED
if /usr/bin/python3 -c 'import networkx' 2>/dev/null; then
    measure /usr/bin/python3 "$root/bench/reference/road_networkx.py" small.osm small.NET \
        smallSites.NET networkx.NED
    cmp velmora.NED networkx.NED && echo "the two matrices are the same file"
else
    echo "python3-networkx is not installed: no comparison"
fi
