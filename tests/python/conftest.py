# The module is taken from the build (PYTHONPATH, set by ctest) or from the system. A
# build without it (the sanitizer build) skips these tests rather than failing them.
import pytest

gridora = pytest.importorskip("gridora", reason="the gridora module is not built or cannot load here")
