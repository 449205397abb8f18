// The page side of the browser backend (WebBackend.cpp): the elements behind the windows,
// the DOM menu bar and dialogs, the tick clock, key and focus events, and the end of the game.
// Every call into the program goes through Vexlor.call, which turns the program's exit()
// (an ExitStatus thrown out of the module) into the end of the game on the page.

var VexlorPage = {
  $Vexlor: {
    windows: {},
    frameSlot: -1,
    ended: false,
    firstFrame: 0,
    menu: null,        // the open menu: {bar, index, panels, restore}
    dialogs: [],       // the open dialogs, the topmost last
    // A tick may run late; a tab in the background catches up by this many ticks at most.
    maxCatchUp: 3,
    // The face of the dialogs; its metrics give their dialog units.
    dialogFace: '"DejaVu Sans", "Liberation Sans", Arial, sans-serif',

    // KeyboardEvent.code to the desktop's virtual keys; a key's scan code is its place here.
    codes: [
      ['Backspace', 0x08], ['Tab', 0x09], ['Enter', 0x0D], ['NumpadEnter', 0x0D], ['ShiftLeft', 0x10],
      ['ShiftRight', 0x10], ['ControlLeft', 0x11], ['ControlRight', 0x11], ['AltLeft', 0x12], ['AltRight', 0x12],
      ['Pause', 0x13], ['CapsLock', 0x14], ['Escape', 0x1B], ['Space', 0x20], ['PageUp', 0x21], ['PageDown', 0x22],
      ['End', 0x23], ['Home', 0x24], ['ArrowLeft', 0x25], ['ArrowUp', 0x26], ['ArrowRight', 0x27],
      ['ArrowDown', 0x28], ['Insert', 0x2D], ['Delete', 0x2E],
      ['Digit0', 0x30], ['Digit1', 0x31], ['Digit2', 0x32], ['Digit3', 0x33], ['Digit4', 0x34],
      ['Digit5', 0x35], ['Digit6', 0x36], ['Digit7', 0x37], ['Digit8', 0x38], ['Digit9', 0x39],
      ['KeyA', 0x41], ['KeyB', 0x42], ['KeyC', 0x43], ['KeyD', 0x44], ['KeyE', 0x45], ['KeyF', 0x46],
      ['KeyG', 0x47], ['KeyH', 0x48], ['KeyI', 0x49], ['KeyJ', 0x4A], ['KeyK', 0x4B], ['KeyL', 0x4C],
      ['KeyM', 0x4D], ['KeyN', 0x4E], ['KeyO', 0x4F], ['KeyP', 0x50], ['KeyQ', 0x51], ['KeyR', 0x52],
      ['KeyS', 0x53], ['KeyT', 0x54], ['KeyU', 0x55], ['KeyV', 0x56], ['KeyW', 0x57], ['KeyX', 0x58],
      ['KeyY', 0x59], ['KeyZ', 0x5A],
      // The keypad as with Num Lock on, whatever its state: code names the physical key.
      ['Numpad0', 0x60], ['Numpad1', 0x61], ['Numpad2', 0x62], ['Numpad3', 0x63], ['Numpad4', 0x64],
      ['Numpad5', 0x65], ['Numpad6', 0x66], ['Numpad7', 0x67], ['Numpad8', 0x68], ['Numpad9', 0x69],
      ['NumpadMultiply', 0x6A], ['NumpadAdd', 0x6B], ['NumpadSubtract', 0x6D], ['NumpadDecimal', 0x6E],
      ['NumpadDivide', 0x6F],
      ['F1', 0x70], ['F2', 0x71], ['F3', 0x72], ['F4', 0x73], ['F5', 0x74], ['F6', 0x75], ['F7', 0x76],
      ['F8', 0x77], ['F9', 0x78], ['F10', 0x79], ['F11', 0x7A], ['F12', 0x7B],
    ],
    // The game's keys: the browser's own action for them (scrolling, help, find) does not happen.
    gameKeys: ['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'Enter', 'NumpadEnter', 'Space', 'KeyW',
      'KeyA', 'KeyS', 'KeyD', 'KeyJ', 'KeyK', 'KeyL', 'KeyP', 'PageUp', 'PageDown', 'F1', 'F2', 'F3', 'F4',
      'Numpad8', 'Numpad4', 'Numpad5', 'Numpad6', 'NumpadAdd', 'Escape'],
    keyOf: null,

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

    start: function() {
      Vexlor.keyOf = {};
      Vexlor.codes.forEach(function(entry, i) { Vexlor.keyOf[entry[0]] = {vk: entry[1], scan: i + 1}; });
      Vexlor.gameKeySet = {};
      Vexlor.gameKeys.forEach(function(code) { Vexlor.gameKeySet[code] = true; });
      window.addEventListener('keydown', function(e) { Vexlor.onKey(e, true); }, true);
      window.addEventListener('keyup', function(e) { Vexlor.onKey(e, false); }, true);
      window.addEventListener('blur', function() {
        Vexlor.call('_vexlor_web_keyboard_lost');
        Vexlor.call('_vexlor_web_game_focus', 0);
      });
      // Controllers act only while the focus is in one of the game's windows.
      document.addEventListener('focusin', function() {
        Vexlor.call('_vexlor_web_game_focus', Vexlor.focusedSlot() >= 0 ? 1 : 0);
      });
      document.addEventListener('focusout', function(e) {
        if (!e.relatedTarget) Vexlor.call('_vexlor_web_game_focus', 0);
      });
      document.addEventListener('visibilitychange', function() {
        if (document.hidden) Vexlor.call('_vexlor_web_keyboard_lost');
      });
      window.addEventListener('resize', function() { Vexlor.call('_vexlor_web_layout'); });
      Vexlor.pollGamepads();
      document.addEventListener('mousedown', function(e) {
        if (Vexlor.menu && !e.target.closest('.vx-menubar, .vx-menu')) Vexlor.closeMenu(true);
      }, true);
      // What the page's tests and measurements read.
      window.vexlor = {
        ticks: function() { return Vexlor.call('_vexlor_web_ticks'); },
        firstFrame: function() { return Vexlor.firstFrame; },
        ended: function() { return Vexlor.ended; },
      };
    },

    // Controllers of the standard layout, as the Gamepad API reports them: the page is told
    // only of changes, and a controller is plugged in when it first shows and unplugged when
    // its place empties. Polled, since the API sends no events for buttons and sticks.
    pads: {},
    padButtons: [[0, 0], [8, 1], [9, 2], [12, 3], [13, 4], [14, 5], [15, 6]],  // index, ControllerButton
    pollGamepads: function() {
      if (Vexlor.ended) return;
      var seen = {};
      var list = navigator.getGamepads ? navigator.getGamepads() : [];
      for (var i = 0; i < list.length; i++) {
        var gp = list[i];
        if (!gp || !gp.connected || gp.mapping !== 'standard') continue;
        seen[gp.index] = true;
        var was = Vexlor.pads[gp.index];
        if (!was) {
          was = Vexlor.pads[gp.index] = {buttons: [], axes: [0, 0]};
          Vexlor.call('_vexlor_web_controller_added', gp.index);
        }
        Vexlor.padButtons.forEach(function(b) {
          var down = !!(gp.buttons[b[0]] && gp.buttons[b[0]].pressed);
          if (down !== !!was.buttons[b[1]]) {
            was.buttons[b[1]] = down;
            Vexlor.call('_vexlor_web_controller_button', gp.index, b[1], down ? 1 : 0);
          }
        });
        for (var a = 0; a < 2; a++) {
          var value = Math.max(-32768, Math.min(32767, Math.round((gp.axes[a] || 0) * 32767)));
          if (value !== was.axes[a]) {
            was.axes[a] = value;
            Vexlor.call('_vexlor_web_controller_axis', gp.index, a, value);
          }
        }
      }
      for (var index in Vexlor.pads) {
        if (!seen[index]) {
          delete Vexlor.pads[index];
          Vexlor.call('_vexlor_web_controller_removed', Number(index));
        }
      }
      if (!Vexlor.ended) setTimeout(Vexlor.pollGamepads, 10);
    },

    modifiers: function(e) {
      return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
    },

    onKey: function(e, pressed) {
      if (Vexlor.ended) return;
      var key = Vexlor.keyOf[e.code];
      var took = 0;
      // The program first, while the focus is still where the key found it.
      if (key) took = Vexlor.call('_vexlor_web_key', key.vk, key.scan, pressed ? 1 : 0, e.repeat ? 1 : 0, Vexlor.modifiers(e));
      var handled = pressed && Vexlor.uiKey(e);
      var plain = !e.ctrlKey && !e.altKey && !e.metaKey;
      if (handled || (took && plain && Vexlor.gameKeySet[e.code])) e.preventDefault();
    },

    // Keys of the open dialog or menu, and Alt with a menu's mnemonic. True when taken.
    uiKey: function(e) {
      if (Vexlor.dialogs.length) return Vexlor.dialogKey(Vexlor.dialogs[Vexlor.dialogs.length - 1], e);
      if (Vexlor.menu) return Vexlor.menuKey(e);
      if (e.altKey && !e.ctrlKey && !e.metaKey && Vexlor.frameSlot >= 0) {
        var bar = Vexlor.windows[Vexlor.frameSlot].menuItems || [];
        for (var i = 0; i < bar.length; i++) {
          if (Vexlor.mnemonic(bar[i].text) === Vexlor.letterOf(e)) {
            Vexlor.openMenu(i, true);
            return true;
          }
        }
      }
      return false;
    },

    letterOf: function(e) {
      var m = /^(?:Key|Digit)(.)$/.exec(e.code);
      return m ? m[1].toLowerCase() : '';
    },

    // --- Windows ------------------------------------------------------------------------
    create: function(slot, parent, edge, title) {
      var w = {slot: slot, parent: parent, edge: edge, timers: {}, image: null, paintRequested: false};
      if (parent < 0) {
        // A top-level window is the page: its menu bar above, its client area below.
        var root = document.getElementById('vx-root');
        w.element = document.createElement('div');
        w.element.className = 'vx-frame';
        w.element.tabIndex = -1;
        w.element.hidden = true;
        w.bar = document.createElement('div');
        w.bar.className = 'vx-menubar';
        w.bar.hidden = true;
        w.client = document.createElement('div');
        w.client.className = 'vx-client';
        w.element.appendChild(w.bar);
        w.element.appendChild(w.client);
        root.appendChild(w.element);
        if (title) document.title = title;
        if (Vexlor.frameSlot < 0) Vexlor.frameSlot = slot;
      } else {
        w.element = document.createElement('canvas');
        w.element.className = 'vx-child';
        w.element.tabIndex = 0;
        w.element.hidden = true;
        w.element.width = 0;
        w.element.height = 0;
        w.element.style.borderWidth = edge + 'px';
        w.element.style.borderStyle = edge === 2 ? 'inset' : edge === 1 ? 'solid' : 'none';
        w.context = w.element.getContext('2d', {alpha: false});
        w.client = w.element;
        Vexlor.windows[parent].client.appendChild(w.element);
      }
      w.element.addEventListener('focus', function() { Vexlor.call('_vexlor_web_focus_in', slot); });
      Vexlor.windows[slot] = w;
    },

    destroy: function(slot) {
      var w = Vexlor.windows[slot];
      if (!w) return;
      if (w.element.parentNode) w.element.parentNode.removeChild(w.element);
      delete Vexlor.windows[slot];
      if (Vexlor.frameSlot === slot) {
        Vexlor.closeMenu(false);
        Vexlor.frameSlot = -1;
      }
    },

    clientWidth: function(slot) {
      var w = Vexlor.windows[slot];
      return !w ? 0 : w.context ? w.element.width : w.client.clientWidth;
    },

    clientHeight: function(slot) {
      var w = Vexlor.windows[slot];
      return !w ? 0 : w.context ? w.element.height : w.client.clientHeight;
    },

    move: function(slot, x, y, width, height) {
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

    requestPaint: function(slot) {
      requestAnimationFrame(function() { Vexlor.call('_vexlor_web_paint', slot); });
    },

    // One tick every period ms, each scheduled from the clock so that lateness never adds up.
    startTimer: function(slot, id, elapse) {
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
        for (var i = 0; i < due && live(); i++) {
          t.done++;
          Vexlor.call('_vexlor_web_timer', slot, id);
        }
        if (live()) t.handle = setTimeout(step, Math.max(0, t.start + (t.done + 1) * t.period - performance.now()));
      };
      t.handle = setTimeout(step, t.period);
    },

    stopTimers: function(slot) {
      var w = Vexlor.windows[slot];
      if (!w) return;
      for (var id in w.timers) clearTimeout(w.timers[id].handle);
      w.timers = {};
    },

    putImage: function(slot, pixels, width, height, fromX, fromY, fromWidth, fromHeight, toX, toY) {
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

    erase: function(slot, width, height) {
      var w = Vexlor.windows[slot];
      if (!w || !w.context) return;
      w.context.fillStyle = '#fff';
      w.context.fillRect(0, 0, width, height);
    },

    focus: function(slot) {
      var w = Vexlor.windows[slot];
      // An open menu or dialog keeps the keys; the window gets them back when it closes.
      if (!w || Vexlor.dialogs.length || Vexlor.menu) return;
      w.element.focus({preventScroll: true});
    },

    focusedSlot: function() {
      var active = document.activeElement;
      for (var slot in Vexlor.windows) {
        if (Vexlor.windows[slot].element === active) return +slot;
      }
      return -1;
    },

    postCommand: function(slot, id, source) {
      setTimeout(function() { Vexlor.call('_vexlor_web_command', slot, id, source); }, 0);
    },

    setIcon: function(pixels, size) {
      var canvas = document.createElement('canvas');
      canvas.width = size;
      canvas.height = size;
      var data = new Uint8ClampedArray(HEAPU8.buffer.slice(pixels, pixels + size * size * 4));
      canvas.getContext('2d').putImageData(new ImageData(data, size, size), 0, 0);
      var link = document.querySelector('link[rel=icon]') || document.createElement('link');
      link.rel = 'icon';
      link.href = canvas.toDataURL('image/png');
      document.head.appendChild(link);
    },

    // --- Texts with mnemonics -----------------------------------------------------------
    // '&' marks the next character as the mnemonic (underlined); "&&" is one '&'.
    mnemonicElement: function(text) {
      var span = document.createElement('span');
      for (var i = 0; i < text.length; i++) {
        if (text[i] === '&' && i + 1 < text.length) {
          i++;
          if (text[i] !== '&') {
            var u = document.createElement('u');
            u.textContent = text[i];
            span.appendChild(u);
            continue;
          }
        }
        span.appendChild(document.createTextNode(text[i]));
      }
      return span;
    },

    mnemonic: function(text) {
      for (var i = 0; i + 1 < text.length; i++) {
        if (text[i] === '&') {
          if (text[i + 1] !== '&') return text[i + 1].toLowerCase();
          i++;
        }
      }
      return '';
    },

    // --- The menu bar -------------------------------------------------------------------
    setMenu: function(slot, items) {
      var w = Vexlor.windows[slot];
      w.menuItems = items;
      w.bar.textContent = '';
      items.forEach(function(item, i) {
        var button = document.createElement('div');
        button.className = 'vx-menutitle';
        button.setAttribute('role', 'menuitem');
        button.appendChild(Vexlor.mnemonicElement(item.text));
        button.addEventListener('mousedown', function(e) {
          e.preventDefault();
          if (Vexlor.dialogs.length) return;
          if (Vexlor.menu && Vexlor.menu.index === i) Vexlor.closeMenu(true);
          else Vexlor.openMenu(i, false);
        });
        button.addEventListener('mouseenter', function() {
          if (Vexlor.menu && Vexlor.menu.index !== i) Vexlor.openMenu(i, false);
        });
        w.bar.appendChild(button);
      });
      w.bar.hidden = items.length === 0;
    },

    openMenu: function(index, byKey) {
      var w = Vexlor.windows[Vexlor.frameSlot];
      var restore = Vexlor.menu ? Vexlor.menu.restore : document.activeElement;
      Vexlor.closeMenu(false);
      var titles = w.bar.children;
      titles[index].classList.add('vx-open');
      Vexlor.menu = {index: index, panels: [], restore: restore};
      var r = titles[index].getBoundingClientRect();
      Vexlor.openPanel(w.menuItems[index].items, r.left, r.bottom, byKey);
    },

    openPanel: function(items, x, y, highlightFirst) {
      var panel = document.createElement('div');
      panel.className = 'vx-menu';
      panel.tabIndex = -1;
      panel.setAttribute('role', 'menu');
      panel.style.left = x + 'px';
      panel.style.top = y + 'px';
      var entry = {element: panel, items: items, rows: [], highlight: -1};
      var depth = Vexlor.menu.panels.length;
      items.forEach(function(item, i) {
        var row = document.createElement('div');
        row.className = item.command === 0 && item.items.length === 0 ? 'vx-separator' : 'vx-menuitem';
        row.setAttribute('role', 'menuitem');
        row.appendChild(Vexlor.mnemonicElement(item.text));
        if (typeof VexlorSound !== 'undefined') VexlorSound.markRow(row, item.command);
        if (item.items.length) {
          var arrow = document.createElement('span');
          arrow.className = 'vx-arrow';
          arrow.textContent = '\u25B8';
          row.appendChild(arrow);
        }
        row.addEventListener('mouseenter', function() { Vexlor.highlight(depth, i, true); });
        row.addEventListener('mousedown', function(e) { e.preventDefault(); });
        row.addEventListener('click', function() { Vexlor.activate(depth, i, false); });
        panel.appendChild(row);
        entry.rows.push(row);
      });
      document.body.appendChild(panel);
      Vexlor.menu.panels.push(entry);
      panel.focus({preventScroll: true});
      if (highlightFirst) Vexlor.highlight(depth, 0, false);
    },

    // Highlights row i of the panel at depth; a submenu opens when the mouse rests on it.
    highlight: function(depth, i, byMouse) {
      var menu = Vexlor.menu;
      while (menu.panels.length > depth + 1) {
        var closed = menu.panels.pop();
        closed.element.remove();
      }
      var panel = menu.panels[depth];
      panel.rows.forEach(function(row, k) { row.classList.toggle('vx-highlight', k === i); });
      panel.highlight = i;
      panel.element.focus({preventScroll: true});
      if (byMouse && panel.items[i].items.length) Vexlor.activate(depth, i, false);
    },

    activate: function(depth, i, byKey) {
      var panel = Vexlor.menu.panels[depth];
      var item = panel.items[i];
      if (item.items.length) {
        if (Vexlor.menu.panels.length > depth + 1) return;
        var r = panel.rows[i].getBoundingClientRect();
        Vexlor.openPanel(item.items, r.right, r.top, byKey);
        return;
      }
      if (item.command === 0) return;
      Vexlor.closeMenu(true);
      Vexlor.postCommand(Vexlor.frameSlot, item.command, 0);
    },

    closeMenu: function(restoreFocus) {
      var menu = Vexlor.menu;
      if (!menu) return;
      Vexlor.menu = null;
      menu.panels.forEach(function(panel) { panel.element.remove(); });
      var w = Vexlor.windows[Vexlor.frameSlot];
      if (w) Array.prototype.forEach.call(w.bar.children, function(t) { t.classList.remove('vx-open'); });
      // Later, so that the key that closed the menu does not reach the window too.
      if (restoreFocus && menu.restore) setTimeout(function() { Vexlor.restoreFocus(menu.restore); }, 0);
    },

    restoreFocus: function(element) {
      if (!Vexlor.ended && !Vexlor.menu && !Vexlor.dialogs.length && element.isConnected)
        element.focus({preventScroll: true});
    },

    menuKey: function(e) {
      var menu = Vexlor.menu;
      var depth = menu.panels.length - 1;
      var panel = menu.panels[depth];
      var count = panel.items.length;
      switch (e.key) {
      case 'Escape':
        if (depth > 0) {
          panel.element.remove();
          menu.panels.pop();
          menu.panels[depth - 1].element.focus({preventScroll: true});
        } else {
          Vexlor.closeMenu(true);
        }
        return true;
      case 'ArrowDown':
        Vexlor.highlight(depth, (panel.highlight + 1) % count, false);
        return true;
      case 'ArrowUp':
        Vexlor.highlight(depth, (panel.highlight + count - 1) % count, false);
        return true;
      case 'ArrowRight':
        if (panel.highlight >= 0 && panel.items[panel.highlight].items.length) {
          Vexlor.activate(depth, panel.highlight, true);
        } else {
          var bar = Vexlor.windows[Vexlor.frameSlot].menuItems;
          Vexlor.openMenu((menu.index + 1) % bar.length, true);
        }
        return true;
      case 'ArrowLeft':
        if (depth > 0) {
          panel.element.remove();
          menu.panels.pop();
          menu.panels[depth - 1].element.focus({preventScroll: true});
        } else {
          var items = Vexlor.windows[Vexlor.frameSlot].menuItems;
          Vexlor.openMenu((menu.index + items.length - 1) % items.length, true);
        }
        return true;
      case 'Enter':
      case ' ':
        if (panel.highlight >= 0) Vexlor.activate(depth, panel.highlight, true);
        return true;
      case 'Alt':
        Vexlor.closeMenu(true);
        return true;
      }
      var letter = e.key.length === 1 ? e.key.toLowerCase() : '';
      if (e.altKey) letter = Vexlor.letterOf(e);
      if (e.altKey && depth === 0) {
        var bar = Vexlor.windows[Vexlor.frameSlot].menuItems;
        for (var b = 0; b < bar.length; b++) {
          if (Vexlor.mnemonic(bar[b].text) === letter) {
            Vexlor.openMenu(b, true);
            return true;
          }
        }
      }
      for (var i = 0; i < count; i++) {
        if (letter && Vexlor.mnemonic(panel.items[i].text) === letter) {
          Vexlor.highlight(depth, i, false);
          Vexlor.activate(depth, i, true);
          return true;
        }
      }
      return true;
    },

    // --- Dialogs ------------------------------------------------------------------------
    dialogUnits: function(pointSize) {
      var context = document.createElement('canvas').getContext('2d');
      context.font = pointSize + 'pt ' + Vexlor.dialogFace;
      var m = context.measureText('ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz');
      var alphabet = Math.round(m.width);
      var height = Math.ceil(m.fontBoundingBoxAscent + m.fontBoundingBoxDescent);
      return [Math.floor((Math.floor(alphabet / 26) + 1) / 2), height];
    },

    // A static text shows '&' as the mark of a mnemonic unless it has SS_NOPREFIX.
    staticText: function(text, noPrefix) {
      if (noPrefix) return text;
      var shown = '';
      for (var i = 0; i < text.length; i++) {
        if (text[i] === '&' && i + 1 < text.length) i++;
        shown += text[i];
      }
      return shown;
    },

    // Modal for the user: an overlay over the whole page takes the mouse, the dialog the
    // keys, until OK, Enter, Escape or its close box ends it; the game ticks on behind it.
    runDialog: function(layout, owner) {
      Vexlor.closeMenu(false);
      var overlay = document.createElement('div');
      overlay.className = 'vx-overlay';
      overlay.addEventListener('mousedown', function(e) {
        if (e.target === overlay) e.preventDefault();
      });
      var box = document.createElement('div');
      box.className = 'vx-dialog';
      box.setAttribute('role', 'dialog');
      box.setAttribute('aria-modal', 'true');
      box.tabIndex = -1;
      var titleBar = document.createElement('div');
      titleBar.className = 'vx-title';
      var title = document.createElement('span');
      title.textContent = layout.title;
      var close = document.createElement('span');
      close.className = 'vx-close';
      close.textContent = '\u00D7';
      titleBar.appendChild(title);
      titleBar.appendChild(close);
      var body = document.createElement('div');
      body.className = 'vx-body';
      body.style.width = layout.width + 'px';
      body.style.height = layout.height + 'px';
      body.style.font = layout.pointSize + 'pt ' + Vexlor.dialogFace;
      body.style.lineHeight = layout.lineHeight + 'px';
      box.appendChild(titleBar);
      box.appendChild(body);
      overlay.appendChild(box);

      var dialog = {overlay: overlay, box: box, buttons: [], restore: document.activeElement, owner: owner};
      close.addEventListener('click', function() { Vexlor.endDialog(dialog); });
      layout.items.forEach(function(item) {
        var element;
        if (item.kind === 'static') {
          element = document.createElement('div');
          element.className = 'vx-static';
          element.textContent = Vexlor.staticText(item.text, item.noPrefix);
          // Only lines that fit whole show, as the classic static control does.
          var line = layout.lineHeight;
          element.style.height = Math.min(item.height, Math.max(line, Math.floor(item.height / line) * line)) + 'px';
        } else {
          element = document.createElement('button');
          element.className = 'vx-button';
          element.appendChild(Vexlor.mnemonicElement(item.text));
          // OK and Cancel end the dialog; the templates have no other buttons.
          if (item.id === 1 || item.id === 2) element.addEventListener('click', function() { Vexlor.endDialog(dialog); });
          dialog.buttons.push({element: element, item: item});
          if (item.kind === 'default') dialog.defaultButton = element;
          element.style.height = item.height + 'px';
        }
        element.style.left = item.x + 'px';
        element.style.top = item.y + 'px';
        element.style.width = item.width + 'px';
        body.appendChild(element);
      });
      document.body.appendChild(overlay);
      // Centred over the page.
      box.style.left = Math.max(0, Math.floor((window.innerWidth - box.offsetWidth) / 2)) + 'px';
      box.style.top = Math.max(0, Math.floor((window.innerHeight - box.offsetHeight) / 2)) + 'px';
      Vexlor.dialogs.push(dialog);
      (dialog.defaultButton || (dialog.buttons[0] && dialog.buttons[0].element) || box).focus({preventScroll: true});
    },

    dialogKey: function(dialog, e) {
      if (e.key === 'Enter') {
        // A dialog without a default button ends with OK too, as the classic dialog does.
        Vexlor.endDialog(dialog);
        return true;
      }
      if (e.key === 'Escape') {
        Vexlor.endDialog(dialog);
        return true;
      }
      if (e.key === 'Tab') {
        var list = dialog.buttons.map(function(b) { return b.element; });
        if (list.length) {
          var at = list.indexOf(document.activeElement);
          var next = e.shiftKey ? (at + list.length - 1) % list.length : (at + 1) % list.length;
          list[next].focus({preventScroll: true});
        }
        return true;
      }
      var letter = e.altKey ? Vexlor.letterOf(e) : e.key.length === 1 ? e.key.toLowerCase() : '';
      for (var i = 0; i < dialog.buttons.length; i++) {
        if (letter && Vexlor.mnemonic(dialog.buttons[i].item.text) === letter) {
          Vexlor.endDialog(dialog);
          return true;
        }
      }
      // Space on a focused button presses it; every other key stays in the dialog.
      return e.key !== ' ';
    },

    endDialog: function(dialog) {
      var at = Vexlor.dialogs.indexOf(dialog);
      if (at < 0) return;
      Vexlor.dialogs.splice(at, 1);
      dialog.overlay.remove();
      // Later, so that the key that ended the dialog does not reach the window too.
      var restore = dialog.restore;
      setTimeout(function() { if (restore) Vexlor.restoreFocus(restore); }, 0);
    },

    // --- The end ------------------------------------------------------------------------
    end: function() {
      if (Vexlor.ended) return;
      Vexlor.ended = true;
      for (var slot in Vexlor.windows) Vexlor.stopTimers(slot);
      Vexlor.closeMenu(false);
      Vexlor.dialogs.forEach(function(d) { d.overlay.remove(); });
      Vexlor.dialogs = [];
      var root = document.getElementById('vx-root');
      root.textContent = '';
      var message = document.createElement('div');
      message.className = 'vx-ended';
      message.appendChild(document.createTextNode('The game has ended. '));
      var again = document.createElement('a');
      again.href = location.pathname + location.search;
      again.textContent = 'Start it again';
      message.appendChild(again);
      root.appendChild(message);
      again.focus();
    },
  },

  vexlor_page_create__deps: ['$Vexlor'],
  vexlor_page_create: function(slot, parent, edge, title) {
    if (!Vexlor.keyOf) Vexlor.start();
    Vexlor.create(slot, parent, edge, title ? UTF8ToString(title) : '');
  },
  vexlor_page_destroy__deps: ['$Vexlor'],
  vexlor_page_destroy: function(slot) { Vexlor.destroy(slot); },
  vexlor_page_show__deps: ['$Vexlor'],
  vexlor_page_show: function(slot, shown) { Vexlor.windows[slot].element.hidden = !shown; },
  vexlor_page_move__deps: ['$Vexlor'],
  vexlor_page_move: function(slot, x, y, width, height) { Vexlor.move(slot, x, y, width, height); },
  vexlor_page_client_width__deps: ['$Vexlor'],
  vexlor_page_client_width: function(slot) { return Vexlor.clientWidth(slot); },
  vexlor_page_client_height__deps: ['$Vexlor'],
  vexlor_page_client_height: function(slot) { return Vexlor.clientHeight(slot); },
  vexlor_page_request_paint__deps: ['$Vexlor'],
  vexlor_page_request_paint: function(slot) { Vexlor.requestPaint(slot); },
  vexlor_page_start_timer__deps: ['$Vexlor'],
  vexlor_page_start_timer: function(slot, id, elapse) { Vexlor.startTimer(slot, id, elapse); },
  vexlor_page_stop_timers__deps: ['$Vexlor'],
  vexlor_page_stop_timers: function(slot) { Vexlor.stopTimers(slot); },
  vexlor_page_put_image__deps: ['$Vexlor'],
  vexlor_page_put_image: function(slot, pixels, width, height, fromX, fromY, fromWidth, fromHeight, toX, toY) {
    Vexlor.putImage(slot, pixels, width, height, fromX, fromY, fromWidth, fromHeight, toX, toY);
  },
  vexlor_page_erase__deps: ['$Vexlor'],
  vexlor_page_erase: function(slot, width, height) { Vexlor.erase(slot, width, height); },
  vexlor_page_set_menu__deps: ['$Vexlor'],
  vexlor_page_set_menu: function(slot, json) { Vexlor.setMenu(slot, JSON.parse(UTF8ToString(json))); },
  vexlor_page_set_icon__deps: ['$Vexlor'],
  vexlor_page_set_icon: function(pixels, size) { Vexlor.setIcon(pixels, size); },
  vexlor_page_dialog_units__deps: ['$Vexlor'],
  vexlor_page_dialog_units: function(pointSize, units) {
    var u = Vexlor.dialogUnits(pointSize);
    HEAP32[units >> 2] = u[0];
    HEAP32[(units >> 2) + 1] = u[1];
  },
  vexlor_page_run_dialog__deps: ['$Vexlor'],
  vexlor_page_run_dialog: function(json, owner) { Vexlor.runDialog(JSON.parse(UTF8ToString(json)), owner); },
  vexlor_page_focus__deps: ['$Vexlor'],
  vexlor_page_focus: function(slot) { Vexlor.focus(slot); },
  vexlor_page_focused_slot__deps: ['$Vexlor'],
  vexlor_page_focused_slot: function() { return Vexlor.focusedSlot(); },
  vexlor_page_post_command__deps: ['$Vexlor'],
  vexlor_page_post_command: function(slot, id, source) { Vexlor.postCommand(slot, id, source); },
  vexlor_page_toggle_full_screen: function() {
    if (document.fullscreenElement) document.exitFullscreen();
    else document.documentElement.requestFullscreen().catch(function() {});
  },
  vexlor_page_end__deps: ['$Vexlor'],
  vexlor_page_end: function() { Vexlor.end(); },
};

mergeInto(LibraryManager.library, VexlorPage);
