"""The matrix transformation as a user would write it with numpy, for comparison with
`velmora-batch transform`. Usage: transform_numpy.py NODES IN OUT COVERAGE"""
import sys

import numpy as np

nodes, source, out, coverage = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
constant = np.array([1.0, 2.0, 3.0, 4.0])
coefficient = np.array([1.5, 2.5, 0.5, 0.25])
exponent = np.array([1.5, 0.75, 2.2, 1.3])
scale = 10000.0

n = sum(1 for line in open(nodes, "rb").read().split(b"\r\n") if line.strip())
old = np.fromstring(open(source, "rb").read(), dtype=np.int64, sep=" ").reshape(n, n).T
k = 2 * (old > coverage) + (~np.eye(n, dtype=bool))
with np.errstate(divide="ignore"):
    power = np.where(old == 0, 0.0, np.power(old.astype(float), exponent[k]))
new = constant[k] + coefficient[k] * power
maximum = new.max()
if maximum >= scale:
    new = new / maximum * scale
cells = np.rint(new).astype(np.int64)
with open(out, "wb") as f:
    f.write(("\r\n".join(map(str, cells.T.ravel().tolist())) + "\r\n").encode())
