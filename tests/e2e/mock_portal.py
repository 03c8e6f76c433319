#!/usr/bin/python3
"""Stand-in for the desktop portal's Screenshot on a private session bus.

    mock_portal.py FOLDER

Each Screenshot call is logged to FOLDER/calls; 200 ms later (or as many ms as FOLDER/delay
says) the Request answers with a picture
written to FOLDER (640x480, left half red, right half blue; to the folder named in FOLDER/outdir
if there is one), or with a failure while FOLDER/fail exists. FOLDER/ready appears once the portal's name is owned.
"""
import os
import sys

import dbus
import dbus.service
from dbus.mainloop.glib import DBusGMainLoop
from gi.repository import GLib

FOLDER = sys.argv[1]
WIDTH, HEIGHT = 640, 480


class Portal(dbus.service.Object):
    def __init__(self, bus):
        super().__init__(bus, "/org/freedesktop/portal/desktop")
        self.bus = bus
        self.serial = 0

    @dbus.service.method("org.freedesktop.portal.Screenshot", in_signature="sa{sv}", out_signature="o",
                         sender_keyword="sender")
    def Screenshot(self, parent_window, options, sender):
        token = str(options.get("handle_token", ""))
        path = "/org/freedesktop/portal/desktop/request/%s/%s" % (sender[1:].replace(".", "_"), token)
        with open(os.path.join(FOLDER, "calls"), "a") as log:
            log.write("interactive=%s token=%s\n" % (bool(options.get("interactive", True)), token))
        delay = os.path.join(FOLDER, "delay")
        GLib.timeout_add(int(open(delay).read()) if os.path.exists(delay) else 200, self.answer, path)
        return dbus.ObjectPath(path)

    def answer(self, path):
        if os.path.exists(os.path.join(FOLDER, "fail")):
            self.respond(path, 2, {})
            return False
        self.serial += 1
        outdir = os.path.join(FOLDER, "outdir")
        picture = os.path.join(open(outdir).read().strip() if os.path.exists(outdir) else FOLDER,
                               "portal-%d.ppm" % self.serial)
        row = b"\xff\x00\x00" * (WIDTH // 2) + b"\x00\x00\xff" * (WIDTH // 2)
        with open(picture, "wb") as f:
            f.write(b"P6 %d %d 255\n" % (WIDTH, HEIGHT) + row * HEIGHT)
        self.respond(path, 0, {"uri": "file://" + picture})
        return False

    def respond(self, path, response, results):
        signal = dbus.lowlevel.SignalMessage(path, "org.freedesktop.portal.Request", "Response")
        signal.append(dbus.UInt32(response), dbus.Dictionary(results, signature="sv"))
        self.bus.send_message(signal)


DBusGMainLoop(set_as_default=True)
session = dbus.SessionBus()
portal = Portal(session)
session.request_name("org.freedesktop.portal.Desktop")
open(os.path.join(FOLDER, "ready"), "w").close()
GLib.MainLoop().run()
