"""Voziroz for Python: create Voziroz's automation objects by ProgID and call them late-bound,
as a script does.

    import voziroz
    parser = voziroz.CreateObject("Voziroz.Parser")
    parser.Open("family.ged")
    if parser.Execute():
        print(parser.GetTable("person", "rows"))

Standard library only (ctypes over libvozcom.so, see include/voziroz.h). The server must be
registered first (`voziroz register`, or RegisterServer()).
"""
import ctypes
import os

from . import _native as native
from .dispatch import BoundMember, Dispatch
from .errors import AutomationError, UnknownNameError
from .values import Empty, ErrorValue

try:
    from ._installed import VERSION as __version__
except ImportError:  # the package of a source tree
    __version__ = "source tree"

__all__ = ["AutomationError", "BoundMember", "CreateObject", "Dispatch", "Empty", "ErrorValue",
           "RegisterServer", "UnknownNameError", "UnregisterServer", "registry_path",
           "server_library"]


def _check(hr):
    if hr < 0:
        source, description = native.take_error_info()
        raise AutomationError(hr, source, description)


def CreateObject(prog_id):
    """A new object of the class registered as `prog_id` ("Voziroz.Parser"), late-bound."""
    pointer = ctypes.c_void_p()
    _check(native.vozcom.vz_create_object(prog_id.encode("utf-8"), ctypes.byref(pointer)))
    return Dispatch(pointer.value)


def server_library():
    """The server library: $VOZIROZ_SERVER, else the installed one, else the one in this source
    tree's build folder."""
    if os.environ.get("VOZIROZ_SERVER"):
        return os.environ["VOZIROZ_SERVER"]
    if native.installed_library_folder():
        return os.path.join(native.installed_library_folder(), "libvoziroz.so.1")
    return os.path.join(native.build_folder(), "server", "libvoziroz.so")


def registry_path():
    """The user's registry file, where RegisterServer writes."""
    path = ctypes.c_char_p()
    _check(native.vozcom.vz_registry_path(ctypes.byref(path)))
    try:
        return os.fsdecode(path.value)
    finally:
        native.vozcom.vz_free(path)


def RegisterServer(library=None):
    """Registers the server library (default: server_library()), as `voziroz register` does."""
    _check(native.vozcom.vz_register_server(os.fsencode(library or server_library())))


def UnregisterServer(library=None):
    """Removes the server library's registration."""
    _check(native.vozcom.vz_unregister_server(os.fsencode(library or server_library())))
