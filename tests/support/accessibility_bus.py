"""Whether the session bus has an accessibility bus on it yet, for the tests that read a window
of the game as a screen reader does."""

from gi.repository import Gio, GLib


def accessibility_bus_is_up():
    session = Gio.bus_get_sync(Gio.BusType.SESSION)
    reply = session.call_sync("org.freedesktop.DBus", "/org/freedesktop/DBus",
                              "org.freedesktop.DBus", "NameHasOwner",
                              GLib.Variant("(s)", ("org.a11y.Bus",)), None,
                              Gio.DBusCallFlags.NONE, -1, None)
    return reply.unpack()[0]
