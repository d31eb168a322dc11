// The extension for GNOME Shell 42 to 44, which load extensions as scripts;
// the build appends windows.js.
/* exported init */

const {Clutter, Gio, GLib} = imports.gi;

function init() {
    return new WindowService();
}
