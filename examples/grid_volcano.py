"""Grid the bundled volcano samples by kriging and look at the estimate and its
standard error, as one would in a notebook.

    PYTHONPATH=build/python /usr/bin/python3 examples/grid_volcano.py [OUTPUT_FOLDER]

With matplotlib the two maps are drawn side by side (and saved as volcano_kriging.png);
without it the grids are written as GeoTIFFs and summarised.
"""
import os
import sys

import numpy as np

import gridora

here = os.path.dirname(os.path.abspath(__file__))
out = sys.argv[1] if len(sys.argv) > 1 else "."

# x y z, one point a line.
x, y, z = np.loadtxt(os.path.join(here, "volcano_samples.xyz"), unpack=True)
print(f"{len(z)} samples, z from {z.min():g} to {z.max():g}")

# Ordinary kriging with a spherical model fitted by weighted least squares, from the
# 32 nearest samples of each node, every 10 units over the samples' extent.
region = (0.0, 600.0, 0.0, 860.0)
spacing = (10.0, 10.0)
grid = gridora.krige(x, y, z, region, spacing, model="spherical", neighbours=32)

# How well does the model predict each sample from the others?
cv = gridora.cross_validate(x, y, z, model="spherical")
rmse = np.sqrt(np.mean(cv["residual"] ** 2))
print(f"cross-validation: root-mean-square error {rmse:.3g}, "
      f"mean standardised squared error {np.mean(cv['standardised_residual'] ** 2):.3g}")

try:
    import matplotlib

    if not os.environ.get("DISPLAY"):
        matplotlib.use("Agg")
    import matplotlib.pyplot as plt
except ImportError:
    plt = None

if plt is not None:
    extent = (grid.x[0], grid.x[-1], grid.y[0], grid.y[-1])
    fig, (left, right) = plt.subplots(1, 2, figsize=(11, 6), sharey=True)
    # origin="lower": row 0 of the values lies at ymin.
    shown = left.imshow(grid.values, origin="lower", extent=extent, cmap="terrain")
    left.contour(grid.x, grid.y, grid.values, levels=15, colors="k", linewidths=0.4)
    left.set_title("Kriging estimate")
    fig.colorbar(shown, ax=left, shrink=0.7)
    shown = right.imshow(grid.error, origin="lower", extent=extent, cmap="magma")
    right.plot(x, y, "c.", markersize=3)
    right.set_title("Standard error (points: samples)")
    fig.colorbar(shown, ax=right, shrink=0.7)
    path = os.path.join(out, "volcano_kriging.png")
    fig.savefig(path, dpi=100)
    print("drawn:", path)
    if os.environ.get("DISPLAY"):
        plt.show()
else:
    estimate = os.path.join(out, "volcano_estimate.tif")
    error = os.path.join(out, "volcano_error.tif")
    grid.to_file(estimate)
    grid.to_file(error, layer="error")
    print("matplotlib is not installed; written:", estimate, error)
    print(f"grid {grid.values.shape[1]} x {grid.values.shape[0]} nodes, "
          f"estimate {np.nanmin(grid.values):.4g} to {np.nanmax(grid.values):.4g}, "
          f"standard error {np.nanmin(grid.error):.3g} to {np.nanmax(grid.error):.3g}")
