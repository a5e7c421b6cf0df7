"""Voziroz for Python: create Voziroz's automation objects by ProgID and call them late-bound,
as a script does.

    import voziroz
    with voziroz.CreateObject("Voziroz.Parser") as parser:
        parser.Open("family.ged")
        if parser.Execute():
            print(parser.GetTable("person", "rows"))

The calls and value conversions are in the extension module _voziroz, over the C interface
(include/voziroz.h, libvozcom.so). The server must be registered first (`voziroz register`, or
RegisterServer()).
"""
import glob
import importlib.metadata
import os

from .errors import AutomationError, UnknownNameError
from .values import Empty, ErrorValue


def _build_folder():
    """The build folder of this source tree ($VOZIROZ_BUILD_DIR, relative to the tree's root)."""
    root = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
    return os.path.join(root, os.environ.get("VOZIROZ_BUILD_DIR", "build"))


# Installed, the extension sits beside this file; in the source tree, in the build folder.
if not glob.glob(os.path.join(os.path.dirname(__file__), "_voziroz*.so")):
    __path__.append(os.path.join(_build_folder(), "python", "voziroz"))
try:
    from . import _voziroz
except ImportError as error:
    raise ImportError(f"{error}: build it (cmake --build build --target voziroz_python) or "
                      "install the package (pip install ./python)") from error

from ._voziroz import BoundMember, Dispatch  # noqa: E402
from .objects import Parser, Table  # noqa: E402

_voziroz._setup(AutomationError, UnknownNameError, Empty, ErrorValue, Parser, Table)

try:
    from ._installed import VERSION as __version__  # written by `cmake --install`
except ImportError:  # installed by pip, or the package of a source tree
    try:
        __version__ = importlib.metadata.version("voziroz")
    except importlib.metadata.PackageNotFoundError:
        __version__ = "source tree"

__all__ = ["AutomationError", "BoundMember", "CreateObject", "Dispatch", "Empty", "ErrorValue",
           "Parser", "RegisterServer", "Table", "UnknownNameError", "UnregisterServer",
           "registry_path", "server_library"]

_NOT_REGISTERED = (0x800401F3, 0x80040154)  # CO_E_CLASSSTRING, REGDB_E_CLASSNOTREG


def CreateObject(prog_id):
    """A new object of the class registered as `prog_id` ("Voziroz.Parser"), late-bound: a
    Parser or Table for those classes, else a Dispatch."""
    try:
        return _voziroz.create_object(prog_id)
    except AutomationError as error:
        if error.number & 0xFFFFFFFF not in _NOT_REGISTERED:
            raise
        raise AutomationError(error.number, error.source, error.description + (
            "; register the server first: `voziroz register`, or voziroz.RegisterServer() "
            "from Python")) from None


def server_library():
    """The server library: $VOZIROZ_SERVER, else libvoziroz.so.1 beside the libvozcom.so.1 in
    use (as installed), else the one in this source tree's build folder."""
    explicit = os.environ.get("VOZIROZ_SERVER")
    if explicit:
        return explicit
    beside = os.path.join(os.path.dirname(_voziroz.vozcom_path() or ""), "libvoziroz.so.1")
    if os.path.exists(beside):
        return beside
    return os.path.join(_build_folder(), "server", "libvoziroz.so")


def registry_path():
    """The user's registry file, where RegisterServer writes."""
    return _voziroz.registry_path()


def RegisterServer(library=None):
    """Registers the server library (default: server_library()), as `voziroz register` does.
    `library` may be a str, bytes or os.PathLike."""
    _voziroz.register_server(os.fsencode(library or server_library()))


def UnregisterServer(library=None):
    """Removes the server library's registration."""
    _voziroz.unregister_server(os.fsencode(library or server_library()))
