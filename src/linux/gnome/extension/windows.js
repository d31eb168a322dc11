// The part both forms of the extension share, appended to each form's entry
// (legacy/extension.js, module/extension.js), which brings Clutter, Gio and
// GLib in.
//
// It offers the shell's windows and Alt+Home on the session bus, on the
// shell's own connection, to Quellgate alone: to the connection that owns
// the name org.quellgate.Quellgate (which Quellgate holds while it runs, and
// no other connection may then take) and that runs as the shell's own user,
// as the bus daemon tells. It answers nobody else and does nothing else.

const kPath = '/org/quellgate/Windows';
const kInterfaceName = 'org.quellgate.Windows';
const kInterface = `<node><interface name="${kInterfaceName}">
  <method name="List">
    <arg name="serial" type="t" direction="out"/>
    <arg name="windows" type="a(ts)" direction="out"/>
  </method>
  <method name="SendAltHome"/>
  <signal name="Changed">
    <arg name="serial" type="t"/>
    <arg name="windows" type="a(ts)"/>
    <arg name="closed" type="at"/>
  </signal>
</interface></node>`;
const kClientName = 'org.quellgate.Quellgate';
// What a message carries of a title, in UTF-16 units: far more than is ever
// matched, and a bound on what a client's renaming can make us send. (A
// surrogate pair cut in two arrives as U+FFFD, far from what is matched.)
const kTitleUnits = 1024;
// Changes that follow one another within this time are sent together.
const kBatchMilliseconds = 40;

function describe(window) {
    return [window.get_id(), (window.get_title() ?? '').slice(0, kTitleUnits)];
}

function defaultSeat() {
    // Later releases reach Clutter's backend through the stage's context only.
    const context = global.stage.get_context?.() ?? global.stage.context;
    return (context?.get_backend?.() ?? Clutter.get_default_backend()).get_default_seat();
}

class WindowService {
    enable() {
        this._bus = Gio.DBus.session;
        this._uid = new Gio.Credentials().get_unix_user();
        // Made now: Mutter adds a virtual device a moment later, and keys
        // sent before that are lost.
        this._keyboard = defaultSeat().create_virtual_device(Clutter.InputDeviceType.KEYBOARD_DEVICE);
        this._followed = new Map();  // window: its signal handlers
        this._changed = new Set();
        this._closed = [];
        this._serial = 0;
        this._batch = 0;
        this._owner = null;  // of kClientName
        this._trusted = null;  // the owner, once its user is known to be ours
        this._created = global.display.connect('window-created', (display, window) => this._follow(window));
        global.display.list_all_windows().forEach(window => this._follow(window));
        this._object = Gio.DBusExportedObject.wrapJSObject(kInterface, this);
        this._object.export(this._bus, kPath);
        this._watch = Gio.bus_watch_name_on_connection(this._bus, kClientName, Gio.BusNameWatcherFlags.NONE,
            (bus, name, owner) => this._setOwner(owner), () => this._setOwner(null));
    }

    disable() {
        Gio.bus_unwatch_name(this._watch);
        this._object.unexport();
        global.display.disconnect(this._created);
        for (const [window, handlers] of this._followed)
            handlers.forEach(handler => window.disconnect(handler));
        if (this._batch)
            GLib.source_remove(this._batch);
        this._object = this._keyboard = this._followed = this._owner = this._trusted = null;
    }

    ListAsync(parameters, invocation) {
        this._answer(invocation, () => {
            // The list holds every change so far; the serial tells the
            // client which signals it has seen already.
            this._changed.clear();
            this._closed = [];
            const windows = [...this._followed.keys()].map(describe);
            invocation.return_value(new GLib.Variant('(ta(ts))', [this._serial, windows]));
        });
    }

    SendAltHomeAsync(parameters, invocation) {
        this._answer(invocation, () => {
            // Only a window is sent keys: never the overview, a menu, a
            // dialog of the shell or the lock screen, which hold the keyboard.
            if (!global.display.focus_window || global.stage.get_grab_actor()) {
                invocation.return_dbus_error(`${kInterfaceName}.NoFocusedWindow`, 'no window has the keyboard focus');
                return;
            }
            const time = GLib.get_monotonic_time();
            for (const [key, state] of [[Clutter.KEY_Alt_L, Clutter.KeyState.PRESSED],
                [Clutter.KEY_Home, Clutter.KeyState.PRESSED], [Clutter.KEY_Home, Clutter.KeyState.RELEASED],
                [Clutter.KEY_Alt_L, Clutter.KeyState.RELEASED]])
                this._keyboard.notify_keyval(time, key, state);
            invocation.return_value(null);
        });
    }

    _answer(invocation, reply) {
        const sender = invocation.get_sender();
        if (sender === this._trusted) {
            reply();
            return;
        }
        const refuse = () => invocation.return_dbus_error('org.freedesktop.DBus.Error.AccessDenied',
            `only ${kClientName} of this session's user is answered`);
        if (sender !== this._owner) {
            refuse();
            return;
        }
        this._bus.call('org.freedesktop.DBus', '/org/freedesktop/DBus', 'org.freedesktop.DBus',
            'GetConnectionUnixUser', new GLib.Variant('(s)', [sender]), new GLib.VariantType('(u)'),
            Gio.DBusCallFlags.NONE, -1, null, (bus, result) => {
                let uid = -1;
                try {
                    [uid] = bus.call_finish(result).deepUnpack();
                } catch (e) {
                    // a caller gone meanwhile is refused below
                }
                if (uid !== this._uid || sender !== this._owner) {
                    refuse();
                    return;
                }
                this._trusted = sender;
                reply();
            });
    }

    _setOwner(owner) {
        this._owner = owner;
        this._trusted = null;
        this._changed.clear();
        this._closed = [];
    }

    _follow(window) {
        if (window.is_override_redirect() || this._followed.has(window))
            return;
        this._followed.set(window, [
            window.connect('notify::title', () => this._note(window)),
            window.connect('unmanaged', () => this._forget(window)),
        ]);
        this._note(window);
    }

    _forget(window) {
        this._followed.get(window).forEach(handler => window.disconnect(handler));
        this._followed.delete(window);
        if (!this._trusted)
            return;
        this._changed.delete(window);
        this._closed.push(window.get_id());
        this._schedule();
    }

    // Changes are kept only while someone is told of them; a new client
    // starts with the whole list.
    _note(window) {
        if (!this._trusted)
            return;
        this._changed.add(window);
        this._schedule();
    }

    // A change goes at once, the ones that follow it in a batch: a title
    // changed now and then is told without delay, a flood costs a few
    // messages a second.
    _schedule() {
        this._serial++;
        if (this._batch)
            return;
        this._send();
        this._batch = GLib.timeout_add(GLib.PRIORITY_DEFAULT, kBatchMilliseconds, () => {
            this._batch = 0;
            this._send();
            return GLib.SOURCE_REMOVE;
        });
    }

    _send() {
        if (!this._trusted || (this._changed.size === 0 && this._closed.length === 0))
            return;
        const windows = [...this._changed].map(describe);
        // To the client alone: no one else is sent the titles.
        this._bus.emit_signal(this._trusted, kPath, kInterfaceName, 'Changed',
            new GLib.Variant('(ta(ts)at)', [this._serial, windows, this._closed]));
        this._changed.clear();
        this._closed = [];
    }
}
