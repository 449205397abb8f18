// The page side of the browser backend (WebBackend.cpp), its core: the elements behind the
// windows (a frame is the page, a child window a canvas), the frames put on the canvas, the
// tick clock and the end of the game. Menu.js, Dialogs.js and Input.js do the rest.
//
// Calls from the program into the page are the functions vexlor_to_page_*; the page calls the
// program only through Vexlor.call with the program's vexlor_from_page_* functions, which turns
// the program's exit() (an ExitStatus thrown out of the module) into the end of the game.

var VexlorPage = {
  $Vexlor__deps: ['$VexlorMenu', '$VexlorInput', '$VexlorTouch'],
  $Vexlor: {
    windows: {},
    frameSlot: -1,
    started: false,
    ended: false,
    firstFrame: 0,
    menu: null,        // the open menu: {index, panels, restore} (Menu.js)
    dialogs: [],       // the open dialogs, the topmost last (Dialogs.js)
    pageDialog: null,  // the dialog opened last, whose controls the program reads and sets
    // A tick may run late; a tab in the background catches up by this many ticks at most.
    maxCatchUp: 3,
    // What reads the controllers, once before each tick.
    beforeTick: [],
    ticking: false,
    toPaint: [],  // the windows to paint once the ticks of this task are done

    // The first window's creation starts the page: its input, and what its tests and
    // measurements read.
    start: function() {
      Vexlor.started = true;
      VexlorInput.start();
      VexlorTouch.start();
      window.vexlor = {
        ticks: function() { return Vexlor.call('_vexlor_from_page_ticks'); },
        firstFrame: function() { return Vexlor.firstFrame; },
        ended: function() { return Vexlor.ended; },
      };
    },

    call: function(name) {
      if (Vexlor.ended) return 0;
      var args = Array.prototype.slice.call(arguments, 1);
      try {
        return Module[name].apply(null, args);
      } catch (e) {
        if (e instanceof ExitStatus) {
          Vexlor.end();
          return 0;
        }
        if (e === 'unwind') return 0;
        throw e;
      }
    },

    // A new element of this tag and class (none when empty), the last child of parent.
    element: function(tag, className, parent) {
      var element = document.createElement(tag);
      if (className) element.className = className;
      parent.appendChild(element);
      return element;
    },

    stopTimers: function(slot) {
      var w = Vexlor.windows[slot];
      if (!w) return;
      for (var id in w.timers) clearTimeout(w.timers[id].handle);
      w.timers = {};
    },

    focusedSlot: function() {
      var active = document.activeElement;
      for (var slot in Vexlor.windows) {
        if (Vexlor.windows[slot].element === active) return +slot;
      }
      return -1;
    },

    restoreFocus: function(element) {
      if (!Vexlor.ended && !Vexlor.menu && !Vexlor.dialogs.length && element.isConnected)
        element.focus({preventScroll: true});
    },

    postCommand: function(slot, id, source) {
      setTimeout(function() { Vexlor.call('_vexlor_from_page_command', slot, id, source); }, 0);
    },

    // The page fills the screen or leaves it, where the browser allows it.
    toggleFullScreen: function() {
      var page = document.documentElement;
      if (document.fullscreenElement) document.exitFullscreen();
      else if (page.requestFullscreen) page.requestFullscreen().catch(function() {});
    },

    end: function() {
      if (Vexlor.ended) return;
      Vexlor.ended = true;
      for (var slot in Vexlor.windows) Vexlor.stopTimers(slot);
      VexlorMenu.close(false);
      Vexlor.dialogs.forEach(function(d) { d.overlay.remove(); });
      Vexlor.dialogs = [];
      var root = document.getElementById('vx-root');
      root.textContent = '';
      var message = Vexlor.element('div', 'vx-ended', root);
      message.appendChild(document.createTextNode('The game has ended. '));
      var again = Vexlor.element('a', '', message);
      again.href = location.pathname + location.search;
      again.textContent = 'Start it again';
      again.focus();
    },
  },

  vexlor_to_page_create: function(slot, parent, edge, title) {
    if (!Vexlor.started) Vexlor.start();
    var w = {slot: slot, parent: parent, edge: edge, timers: {}, image: null};
    if (parent < 0) {
      // A top-level window is the page: its menu bar above, its client area below.
      w.element = Vexlor.element('div', 'vx-frame', document.getElementById('vx-root'));
      w.element.tabIndex = -1;
      w.bar = Vexlor.element('div', 'vx-menubar', w.element);
      w.bar.hidden = true;
      w.client = Vexlor.element('div', 'vx-client', w.element);
      if (title) document.title = UTF8ToString(title);
      if (Vexlor.frameSlot < 0) Vexlor.frameSlot = slot;
    } else {
      w.element = w.client = Vexlor.element('canvas', 'vx-child', Vexlor.windows[parent].client);
      w.element.tabIndex = 0;
      w.element.width = 0;
      w.element.height = 0;
      w.element.style.borderWidth = edge + 'px';
      w.element.style.borderStyle = edge === 2 ? 'inset' : edge === 1 ? 'solid' : 'none';
      w.context = w.element.getContext('2d', {alpha: false});
    }
    w.element.hidden = true;
    w.element.addEventListener('focus', function() { Vexlor.call('_vexlor_from_page_focus_in', slot); });
    Vexlor.windows[slot] = w;
  },

  vexlor_to_page_destroy: function(slot) {
    var w = Vexlor.windows[slot];
    if (!w) return;
    w.element.remove();
    delete Vexlor.windows[slot];
    if (Vexlor.frameSlot === slot) {
      VexlorMenu.close(false);
      Vexlor.frameSlot = -1;
    }
  },

  vexlor_to_page_show: function(slot, shown) { Vexlor.windows[slot].element.hidden = !shown; },

  vexlor_to_page_client_size: function(slot, size) {
    var w = Vexlor.windows[slot];
    var canvas = w && w.context;
    HEAP32.set(!w ? [0, 0] : canvas ? [w.element.width, w.element.height] : [w.client.clientWidth, w.client.clientHeight],
               size >> 2);
  },

  vexlor_to_page_move: function(slot, x, y, width, height) {
    var w = Vexlor.windows[slot];
    var cw = Math.max(0, width - 2 * w.edge), ch = Math.max(0, height - 2 * w.edge);
    var s = w.element.style;
    s.left = x + 'px';
    s.top = y + 'px';
    // Logical pixels on the page, one canvas pixel each: the browser scales them for the
    // screen's pixel ratio without smoothing (image-rendering: pixelated).
    s.width = cw + 'px';
    s.height = ch + 'px';
    if (w.element.width !== cw) w.element.width = cw;
    if (w.element.height !== ch) w.element.height = ch;
  },

  // A paint asked for by a tick comes at the end of that tick's task, so the browser wakes
  // once a tick; any other waits for the next animation frame.
  vexlor_to_page_request_paint: function(slot) {
    if (Vexlor.ticking) {
      if (Vexlor.toPaint.indexOf(slot) < 0) Vexlor.toPaint.push(slot);
    } else {
      requestAnimationFrame(function() { Vexlor.call('_vexlor_from_page_paint', slot); });
    }
  },

  // One tick every period ms, each scheduled from the clock so that lateness never adds up.
  vexlor_to_page_start_timer: function(slot, id, elapse) {
    var w = Vexlor.windows[slot];
    if (w.timers[id]) clearTimeout(w.timers[id].handle);
    var t = {start: performance.now(), period: Math.max(elapse, 10), done: 0, handle: 0};
    w.timers[id] = t;
    var live = function() { return !Vexlor.ended && Vexlor.windows[slot] === w && w.timers[id] === t; };
    var step = function() {
      if (!live()) return;
      var due = Math.floor((performance.now() - t.start) / t.period) - t.done;
      if (due > Vexlor.maxCatchUp) {
        t.done += due - Vexlor.maxCatchUp;
        due = Vexlor.maxCatchUp;
      }
      Vexlor.ticking = true;
      for (var i = 0; i < due && live(); i++) {
        t.done++;
        Vexlor.beforeTick.forEach(function(read) { read(); });
        Vexlor.call('_vexlor_from_page_timer', slot, id);
      }
      Vexlor.ticking = false;
      Vexlor.toPaint.splice(0).forEach(function(s) { Vexlor.call('_vexlor_from_page_paint', s); });
      if (live()) t.handle = setTimeout(step, Math.max(0, t.start + (t.done + 1) * t.period - performance.now()));
    };
    t.handle = setTimeout(step, t.period);
  },

  vexlor_to_page_stop_timers: function(slot) { Vexlor.stopTimers(slot); },

  vexlor_to_page_put_image: function(slot, pixels, width, height, fromX, fromY, fromWidth, fromHeight, toX, toY) {
    var w = Vexlor.windows[slot];
    if (!w || !w.context) return;
    var buffer = HEAPU8.buffer;
    // The image data looks straight at the module's memory; made again when the memory
    // grows (a new buffer) or the surface changes.
    if (!w.image || w.imageBuffer !== buffer || w.imagePixels !== pixels || w.image.width !== width ||
        w.image.height !== height) {
      w.image = new ImageData(new Uint8ClampedArray(buffer, pixels, width * height * 4), width, height);
      w.imageBuffer = buffer;
      w.imagePixels = pixels;
    }
    w.context.putImageData(w.image, toX - fromX, toY - fromY, fromX, fromY, fromWidth, fromHeight);
    if (!Vexlor.firstFrame) Vexlor.firstFrame = performance.now();
  },

  vexlor_to_page_erase: function(slot, width, height) {
    var w = Vexlor.windows[slot];
    if (!w || !w.context) return;
    w.context.fillStyle = '#fff';
    w.context.fillRect(0, 0, width, height);
  },

  vexlor_to_page_set_icon: function(pixels, size) {
    var canvas = document.createElement('canvas');
    canvas.width = size;
    canvas.height = size;
    var data = new Uint8ClampedArray(HEAPU8.buffer.slice(pixels, pixels + size * size * 4));
    canvas.getContext('2d').putImageData(new ImageData(data, size, size), 0, 0);
    var link = document.querySelector('link[rel=icon]') || Vexlor.element('link', '', document.head);
    link.rel = 'icon';
    link.href = canvas.toDataURL('image/png');
  },

  vexlor_to_page_focus: function(slot) {
    var w = Vexlor.windows[slot];
    // An open menu or dialog keeps the keys; the window gets them back when it closes.
    if (w && !Vexlor.dialogs.length && !Vexlor.menu) w.element.focus({preventScroll: true});
  },

  vexlor_to_page_focused_slot: function() { return Vexlor.focusedSlot(); },
  vexlor_to_page_post_command: function(slot, id, source) { Vexlor.postCommand(slot, id, source); },
  vexlor_to_page_toggle_full_screen: function() { Vexlor.toggleFullScreen(); },
  vexlor_to_page_end: function() { Vexlor.end(); },

  // The player's yes-or-no options, in the page's local storage.
  vexlor_to_page_load_option: function(name, fallback) {
    try {
      var value = window.localStorage.getItem('vexlor.' + UTF8ToString(name));
      return value === 'true' ? 1 : value === 'false' ? 0 : fallback;
    } catch (e) {
      return fallback;  // storage switched off, or the page has none
    }
  },

  vexlor_to_page_save_option: function(name, value) {
    try {
      window.localStorage.setItem('vexlor.' + UTF8ToString(name), value ? 'true' : 'false');
    } catch (e) {
      console.warn('vexlor: the option ' + UTF8ToString(name) + ' cannot be remembered: ' + e.message);
    }
  },
};

// Every call from the program works on the page's state.
Object.keys(VexlorPage).forEach(function(name) {
  if (name.indexOf('vexlor_to_page_') === 0) VexlorPage[name + '__deps'] = ['$Vexlor'];
});

mergeInto(LibraryManager.library, VexlorPage);
