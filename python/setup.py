"""pip install ./python: builds the extension module against libvozcom.so and installs the
voziroz package with libvozcom.so and the server libvoziroz.so beside it, so that scripts find
all three without PYTHONPATH or a build folder.

The two libraries come from the source tree's build folder ($VOZIROZ_BUILD_DIR, default
build/); when they are missing there, CMake builds them first, as scripts/build.sh would.
Offline with Debian's packages: python3-setuptools, python3-dev, cmake, ninja-build, g++.
"""
import os
import re
import shutil
import subprocess

from setuptools import Extension, setup
from setuptools.command.build_ext import build_ext

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
BUILD = os.path.join(ROOT, os.environ.get("VOZIROZ_BUILD_DIR", "build"))
SOURCES = ["automation_errors", "bound_member", "dispatch_object", "invoke", "member_table",
           "module", "python_to_variant", "text_conversion", "variant_to_python"]  # as CMake
# Copied under their SONAMEs, the names the extension and the tools load them by.
LIBRARIES = {"vozcom/libvozcom.so.1": "libvozcom.so.1",
             "server/libvoziroz.so.1": "libvoziroz.so.1"}


def project_version():
    """The version that the root CMakeLists.txt gives the project."""
    with open(os.path.join(ROOT, "CMakeLists.txt"), encoding="utf-8") as file:
        return re.search(r"project\(Voziroz VERSION ([0-9.]+)", file.read()).group(1)


def build_libraries():
    if all(os.path.exists(os.path.join(BUILD, path)) for path in LIBRARIES):
        return
    subprocess.check_call(["cmake", "-S", ROOT, "-B", BUILD, "-G", "Ninja",
                           "-DCMAKE_BUILD_TYPE=RelWithDebInfo"])
    subprocess.check_call(["cmake", "--build", BUILD, "--target", "vozcom", "voziroz_server"])


class BuildWithLibraries(build_ext):
    """Builds the libraries when needed, the extension, and puts the libraries beside it."""

    def run(self):
        build_libraries()
        super().run()
        target = os.path.join(self.build_lib, "voziroz")
        for path, name in LIBRARIES.items():
            shutil.copy2(os.path.join(BUILD, path), os.path.join(target, name))


setup(
    name="voziroz",
    version=project_version(),
    description="Voziroz's GEDCOM automation objects, called late-bound from Python",
    packages=["voziroz"],
    python_requires=">=3.11",
    ext_modules=[Extension(
        "voziroz._voziroz",
        sources=[f"src/{name}.cpp" for name in SOURCES],
        include_dirs=[ROOT],
        library_dirs=[os.path.join(BUILD, "vozcom")],
        libraries=["vozcom"],
        runtime_library_dirs=["$ORIGIN"],
        extra_compile_args=["-std=c++20", "-fvisibility=hidden"],
        language="c++",
    )],
    cmdclass={"build_ext": BuildWithLibraries},
)
