// The page side of the browser backend: input. Keys by KeyboardEvent.code, the focus, the
// page's size, and game controllers through the Gamepad API, fed into the program.

var VexlorInputLibrary = {
  $VexlorInput__deps: ['$Vexlor', '$VexlorMenu', '$VexlorDialogs'],
  $VexlorInput: {
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

    start: function() {
      VexlorInput.keyOf = {};
      VexlorInput.codes.forEach(function(entry, i) { VexlorInput.keyOf[entry[0]] = {vk: entry[1], scan: i + 1}; });
      VexlorInput.gameKeySet = {};
      VexlorInput.gameKeys.forEach(function(code) { VexlorInput.gameKeySet[code] = true; });
      window.addEventListener('keydown', function(e) { VexlorInput.onKey(e, true); }, true);
      window.addEventListener('keyup', function(e) { VexlorInput.onKey(e, false); }, true);
      window.addEventListener('blur', function() {
        Vexlor.call('_vexlor_from_page_keyboard_lost');
        Vexlor.call('_vexlor_from_page_game_focus', 0);
      });
      // Controllers act only while the focus is in one of the game's windows.
      document.addEventListener('focusin', function() {
        Vexlor.call('_vexlor_from_page_game_focus', Vexlor.focusedSlot() >= 0 ? 1 : 0);
      });
      document.addEventListener('focusout', function(e) {
        if (!e.relatedTarget) Vexlor.call('_vexlor_from_page_game_focus', 0);
      });
      document.addEventListener('visibilitychange', function() {
        if (document.hidden) Vexlor.call('_vexlor_from_page_keyboard_lost');
      });
      window.addEventListener('resize', function() { Vexlor.call('_vexlor_from_page_layout'); });
      Vexlor.beforeTick.push(VexlorInput.pollGamepads);
      document.addEventListener('mousedown', function(e) {
        if (Vexlor.menu && !e.target.closest('.vx-menubar, .vx-menu')) VexlorMenu.close(true);
      }, true);
    },

    // Controllers of the standard layout, as the Gamepad API reports them: the page is told
    // only of changes, and a controller is plugged in when it first shows and unplugged when
    // its place empties. Read once a tick, since the API sends no events for buttons and
    // sticks.
    pads: {},
    padButtons: [[0, 0], [8, 1], [9, 2], [12, 3], [13, 4], [14, 5], [15, 6]],  // index, ControllerButton
    pollGamepads: function() {
      var seen = {};
      var list = navigator.getGamepads ? navigator.getGamepads() : [];
      for (var i = 0; i < list.length; i++) {
        var gp = list[i];
        if (!gp || !gp.connected || gp.mapping !== 'standard') continue;
        seen[gp.index] = true;
        var was = VexlorInput.pads[gp.index];
        if (!was) {
          was = VexlorInput.pads[gp.index] = {buttons: [], axes: [0, 0]};
          Vexlor.call('_vexlor_from_page_controller_added', gp.index, -1);
        }
        VexlorInput.padButtons.forEach(function(b) {
          var down = !!(gp.buttons[b[0]] && gp.buttons[b[0]].pressed);
          if (down !== !!was.buttons[b[1]]) {
            was.buttons[b[1]] = down;
            Vexlor.call('_vexlor_from_page_controller_button', gp.index, b[1], down ? 1 : 0);
          }
        });
        for (var a = 0; a < 2; a++) {
          var value = Math.max(-32768, Math.min(32767, Math.round((gp.axes[a] || 0) * 32767)));
          if (value !== was.axes[a]) {
            was.axes[a] = value;
            Vexlor.call('_vexlor_from_page_controller_axis', gp.index, a, value);
          }
        }
      }
      for (var index in VexlorInput.pads) {
        if (!seen[index]) {
          delete VexlorInput.pads[index];
          Vexlor.call('_vexlor_from_page_controller_removed', Number(index));
        }
      }
    },

    modifiers: function(e) {
      return (e.shiftKey ? 1 : 0) | (e.ctrlKey ? 2 : 0) | (e.altKey ? 4 : 0);
    },

    onKey: function(e, pressed) {
      if (Vexlor.ended) return;
      var key = VexlorInput.keyOf[e.code];
      var took = 0;
      // The program first, while the focus is still where the key found it.
      if (key) took = Vexlor.call('_vexlor_from_page_key', key.vk, key.scan, pressed ? 1 : 0, e.repeat ? 1 : 0, VexlorInput.modifiers(e));
      var handled = pressed && VexlorInput.uiKey(e);
      var plain = !e.ctrlKey && !e.altKey && !e.metaKey;
      if (handled || (took && plain && VexlorInput.gameKeySet[e.code])) e.preventDefault();
    },

    // Keys of the open dialog or menu, and Alt with a menu's mnemonic. True when taken.
    uiKey: function(e) {
      if (Vexlor.dialogs.length) return VexlorDialogs.key(Vexlor.dialogs[Vexlor.dialogs.length - 1], e);
      if (Vexlor.menu) return VexlorMenu.key(e);
      if (e.altKey && !e.ctrlKey && !e.metaKey && Vexlor.frameSlot >= 0) {
        var bar = Vexlor.windows[Vexlor.frameSlot].menuItems || [];
        for (var i = 0; i < bar.length; i++) {
          if (VexlorMenu.mnemonic(bar[i].text) === VexlorMenu.letterOf(e)) {
            VexlorMenu.open(i, true);
            return true;
          }
        }
      }
      return false;
    },
  },
};

mergeInto(LibraryManager.library, VexlorInputLibrary);
