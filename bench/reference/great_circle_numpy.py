"""The great-circle distance file as a user would compute it with numpy, for comparison
with `velmora-batch compute --metric great-circle`. Usage: great_circle_numpy.py NODES OUT"""
import sys

import numpy as np

nodes, out = sys.argv[1], sys.argv[2]
rows = [line.split() for line in open(nodes, "rb").read().split(b"\r\n") if line.strip()]
lon = np.array([float(r[1]) for r in rows]) * 0.0174532925199
lat = np.array([float(r[2]) for r in rows]) * 0.0174532925199
cos_lat, sin_lat = np.cos(lat), np.sin(lat)
v = np.outer(cos_lat, cos_lat) * np.cos(lon[:, None] - lon[None, :]) + np.outer(sin_lat, sin_lat)
d = np.arccos(np.clip(v, -1.0, 1.0)) * 3959.0
np.fill_diagonal(d, 0.0)
cells = np.rint(d).astype(np.int64)
with open(out, "wb") as f:
    f.write(("\r\n".join(map(str, cells.T.ravel().tolist())) + "\r\n").encode())
