// Runs inside KWin for as long as it stays loaded: tells Quellgate, at the
// bus name Quellgate writes in below, every window's caption and each change
// of them. KWin 6 says "window" where KWin 5 said "client".
const quellgate = "@QUELLGATE_BUS_NAME@";

function tell(method, ...values) {
    callDBus(quellgate, "/org/quellgate/KWin", "org.quellgate.KWin", method, ...values);
}

const windows = workspace.windowList ? workspace.windowList() : workspace.clientList();
const added = workspace.windowAdded || workspace.clientAdded;
const removed = workspace.windowRemoved || workspace.clientRemoved;

// By KWin's own name for the window: the same window can come as another
// object, once some other script has handled it.
const ids = new Map();
let lastId = 0;

function follow(window) {
    const id = String(++lastId);
    ids.set(String(window.internalId), id);
    // Far more than the characters matched, and a bound on what a window
    // that renames itself all the time sends through the bus.
    const tellCaption = () => tell("Caption", id, String(window.caption).substring(0, 1024));
    window.captionChanged.connect(tellCaption);
    tellCaption();
}

tell("Reset");
windows.forEach(follow);
added.connect(follow);
removed.connect((window) => {
    const id = ids.get(String(window.internalId));
    if (id === undefined) return;
    ids.delete(String(window.internalId));
    tell("Closed", id);
});
