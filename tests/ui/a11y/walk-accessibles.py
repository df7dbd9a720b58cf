#!/usr/bin/python3
# Walks every accessible object of one application over the accessibility bus the way a screen
# reader does: for each object every interface's properties at once (GetAll), then the methods
# that read state, text, values and actions. Prints one line per object; exits 1 when a call
# fails because the application went away, 2 when the application is not found in time.
import sys
import time

import gi

gi.require_version("Gio", "2.0")
from gi.repository import Gio, GLib  # noqa: E402

APP_NAME = sys.argv[1] if len(sys.argv) > 1 else "velmo"
WAIT_SECONDS = float(sys.argv[2]) if len(sys.argv) > 2 else 60.0
TIMEOUT_MS = 20000

session = Gio.bus_get_sync(Gio.BusType.SESSION, None)
address = session.call_sync("org.a11y.Bus", "/org/a11y/bus", "org.a11y.Bus", "GetAddress",
                            None, GLib.VariantType("(s)"), 0, TIMEOUT_MS, None).unpack()[0]
bus = Gio.DBusConnection.new_for_address_sync(
    address,
    Gio.DBusConnectionFlags.AUTHENTICATION_CLIENT | Gio.DBusConnectionFlags.MESSAGE_BUS_CONNECTION,
    None, None)


TRACE = "--trace" in sys.argv


def call(dest, path, iface, method, args=None):
    if TRACE:
        print("call %s %s.%s %s" % (path, iface, method, args), flush=True)
    return bus.call_sync(dest, path, iface, method, args, None, 0, TIMEOUT_MS, None).unpack()


seen_names = set()


def find_app():
    deadline = time.time() + WAIT_SECONDS
    while time.time() < deadline:
        try:
            apps = call("org.a11y.atspi.Registry", "/org/a11y/atspi/accessible/root",
                        "org.a11y.atspi.Accessible", "GetChildren")[0]
        except GLib.Error:
            apps = []
        for dest, path in apps:
            try:
                name = call(dest, path, "org.freedesktop.DBus.Properties", "Get",
                            GLib.Variant("(ss)", ("org.a11y.atspi.Accessible", "Name")))[0]
            except GLib.Error:
                continue
            if name == APP_NAME:
                return dest, path
            seen_names.add(name)
        time.sleep(0.5)
    return None


USE_GET_ALL = "--no-get-all" not in sys.argv
# Every property of each interface, also asked for one by one.
PROPERTIES = {
    "org.a11y.atspi.Accessible": ["Name", "Description", "Parent", "ChildCount", "Locale",
                                  "AccessibleId", "HelpText"],
    "org.a11y.atspi.Application": ["ToolkitName", "Version", "AtspiVersion", "Id"],
    "org.a11y.atspi.Text": ["CharacterCount", "CaretOffset"],
    "org.a11y.atspi.Value": ["MinimumValue", "MaximumValue", "MinimumIncrement", "CurrentValue",
                             "Text"],
    "org.a11y.atspi.Action": ["NActions"],
    "org.a11y.atspi.Image": ["ImageDescription", "ImageLocale"],
    "org.a11y.atspi.Selection": ["NSelectedChildren"],
    "org.a11y.atspi.Table": ["NRows", "NColumns", "Caption", "Summary", "NSelectedRows",
                             "NSelectedColumns"],
    "org.a11y.atspi.Component": ["ScreenExtents"],
}

# Methods without arguments, or with fixed ones, per interface.
READS = {
    "org.a11y.atspi.Accessible": [
        ("GetRole", None), ("GetRoleName", None), ("GetLocalizedRoleName", None),
        ("GetState", None), ("GetAttributes", None), ("GetApplication", None),
        ("GetIndexInParent", None), ("GetRelationSet", None), ("GetInterfaces", None)],
    "org.a11y.atspi.Component": [
        ("GetExtents", GLib.Variant("(u)", (0,))), ("GetExtents", GLib.Variant("(u)", (1,))),
        ("GetPosition", GLib.Variant("(u)", (0,))), ("GetSize", None), ("GetLayer", None),
        ("GetMDIZOrder", None), ("GetAlpha", None)],
    "org.a11y.atspi.Text": [
        ("GetText", GLib.Variant("(ii)", (0, -1))),
        ("GetAttributeRun", GLib.Variant("(ib)", (0, True))),
        ("GetDefaultAttributes", None), ("GetNSelections", None),
        ("GetCharacterAtOffset", GLib.Variant("(i)", (0,)))],
    "org.a11y.atspi.Action": [("GetActions", None)],
    "org.a11y.atspi.Image": [("GetImageExtents", GLib.Variant("(u)", (0,)))],
    "org.a11y.atspi.Table": [],
    "org.a11y.atspi.Value": [],
    "org.a11y.atspi.Selection": [],
}


def gone(error):
    text = str(error)
    return "ServiceUnknown" in text or "NoReply" in text or "Disconnected" in text or \
        "was not provided by any .service files" in text


def walk(dest, path, depth, seen):
    if path in seen or len(seen) > 20000:
        return
    seen.add(path)
    interfaces = call(dest, path, "org.a11y.atspi.Accessible", "GetInterfaces")[0]
    props = {}
    for iface in interfaces:
        if USE_GET_ALL:
            try:
                props[iface] = call(dest, path, "org.freedesktop.DBus.Properties", "GetAll",
                                    GLib.Variant("(s)", (iface,)))[0]
            except GLib.Error as error:
                if gone(error):
                    raise
        for name in PROPERTIES.get(iface, []):
            try:
                value = call(dest, path, "org.freedesktop.DBus.Properties", "Get",
                             GLib.Variant("(ss)", (iface, name)))[0]
                props.setdefault(iface, {}).setdefault(name, value)
            except GLib.Error as error:
                if gone(error):
                    raise
        for method, args in READS.get(iface, []):
            try:
                call(dest, path, iface, method, args)
            except GLib.Error as error:
                if gone(error):
                    raise
    accessible = props.get("org.a11y.atspi.Accessible", {})
    role = call(dest, path, "org.a11y.atspi.Accessible", "GetRoleName")[0]
    print("%s%s [%s] %r" % ("  " * depth, path, role, accessible.get("Name", "")), flush=True)
    children = call(dest, path, "org.a11y.atspi.Accessible", "GetChildren")[0]
    for child_dest, child_path in children:
        walk(child_dest, child_path, depth + 1, seen)


found = find_app()
if found is None:
    print("application %s not found on the accessibility bus (found: %s)" %
          (APP_NAME, ", ".join(sorted(seen_names))))
    sys.exit(2)
try:
    seen = set()
    walk(found[0], found[1], 0, seen)
except GLib.Error as error:
    print("the application stopped answering: %s" % error)
    sys.exit(1)
print("walked %d objects" % len(seen))
