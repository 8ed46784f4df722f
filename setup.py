"""Builds the Python module with the project's CMake build (VORN_PYTHON=ON).

Offline, with Debian's interpreter and packages (see README.md, "Python"):

    /usr/bin/python3 -m pip install --no-build-isolation --no-deps .
"""

import os
import pathlib
import shutil
import subprocess
import sys

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

ROOT = pathlib.Path(__file__).resolve().parent


class CMakeBuild(build_ext):
    """Configures the project for the running interpreter and builds only the extension."""

    def build_extension(self, ext):
        build = pathlib.Path(self.build_temp).resolve() / "cmake"
        config = "Debug" if self.debug else "Release"
        subprocess.run(["cmake", "-S", str(ROOT), "-B", str(build), f"-DCMAKE_BUILD_TYPE={config}",
                        "-DVORN_PYTHON=ON", "-DVORN_TESTS=OFF", f"-DPYTHON_EXECUTABLE={sys.executable}"],
                       check=True)
        subprocess.run(["cmake", "--build", str(build), "--target", "_vorn", "-j", str(os.cpu_count() or 1)],
                       check=True)
        built = sorted((build / "python" / "vorn").glob("_vorn*.so"))
        if len(built) != 1:
            raise RuntimeError(f"expected one extension in {build / 'python' / 'vorn'}, found {built}")
        target = pathlib.Path(self.get_ext_fullpath(ext.name))
        target.parent.mkdir(parents=True, exist_ok=True)
        shutil.copy2(built[0], target)


setup(
    ext_modules=[Extension("vorn._vorn", sources=[])],
    cmdclass={"build_ext": CMakeBuild},
    # Out of the CMake build folder that `make` uses.
    options={"build": {"build_base": "build-pip"}, "egg_info": {"egg_base": "build-pip"}},
)
