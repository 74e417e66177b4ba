#!/usr/bin/env bash
# Writes a 901-node great-circle problem into FOLDER: demand.GRT (800 demand points around
# 22 cities, a few far from everything) and sites.GRT (101 candidate sites near the cities).
# The same seed gives the same files.
set -euo pipefail
folder=${1:?usage: coverage-case.sh FOLDER}
mkdir -p "$folder"
export LC_ALL=C
awk -v folder="$folder" 'BEGIN {
    srand(901)
    split("-74.0 40.7 -87.6 41.9 -118.2 34.0 -95.4 29.8 -122.4 37.8 -80.2 25.8 " \
          "2.35 48.86 13.4 52.5 -0.1 51.5 12.5 41.9 -3.7 40.4 139.7 35.7 116.4 39.9 " \
          "121.5 31.2 77.2 28.6 103.8 1.35 -46.6 -23.5 -58.4 -34.6 3.4 6.5 31.2 30.0 " \
          "18.4 -33.9 151.2 -33.9", c, " ")
    cities = length(c) / 2
    for (i = 1; i <= 800; i++) {
        if (i % 20 == 0) {
            lon = -180 + 360 * rand(); lat = -55 + 125 * rand()
        } else {
            k = int(rand() * cities); lon = c[2 * k + 1] + spread(2.5); lat = c[2 * k + 2] + spread(2)
        }
        printf "%d %.6f %.6f %d 0 1\r\n", i, lon, lat, 1 + int(rand() * 100) > (folder "/demand.GRT")
    }
    for (i = 1; i <= 101; i++) {
        k = (i - 1) % cities
        printf "%d %.6f %.6f 0 0 1\r\n", i, c[2 * k + 1] + spread(1.5), c[2 * k + 2] + spread(1.2) \
            > (folder "/sites.GRT")
    }
}
# Roughly normal, from the sum of four uniform numbers.
function spread(width) { return width * (rand() + rand() + rand() + rand() - 2) }'
