// The extension for GNOME Shell 45 and later, which load extensions as ES
// modules; the build appends windows.js.
import Clutter from 'gi://Clutter';
import Gio from 'gi://Gio';
import GLib from 'gi://GLib';
import {Extension} from 'resource:///org/gnome/shell/extensions/extension.js';

export default class extends Extension {
    enable() {
        this._service = new WindowService();
        this._service.enable();
    }

    disable() {
        this._service.disable();
        this._service = null;
    }
}
