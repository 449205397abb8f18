// The page side of the browser backend: input. Keys by KeyboardEvent.code, the focus, the
// page's size, and game controllers through the Gamepad API, fed into the program.

var VexlorInputLibrary = {
  $VexlorInput__deps: ['$Vexlor', '$VexlorMenu', '$VexlorDialogs'],
  $VexlorInput: {
    // KeyboardEvent.code to the desktop's virtual keys, besides the runs that keyOf makes.
    codes: [
      ['Backspace', 0x08], ['Tab', 0x09], ['Enter', 0x0D], ['NumpadEnter', 0x0D], ['ShiftLeft', 0x10],
      ['ShiftRight', 0x10], ['ControlLeft', 0x11], ['ControlRight', 0x11], ['AltLeft', 0x12], ['AltRight', 0x12],
      ['Pause', 0x13], ['CapsLock', 0x14], ['Escape', 0x1B], ['Space', 0x20], ['PageUp', 0x21], ['PageDown', 0x22],
      ['End', 0x23], ['Home', 0x24], ['ArrowLeft', 0x25], ['ArrowUp', 0x26], ['ArrowRight', 0x27],
      ['ArrowDown', 0x28], ['Insert', 0x2D], ['Delete', 0x2E],
      ['NumpadMultiply', 0x6A], ['NumpadAdd', 0x6B], ['NumpadSubtract', 0x6D], ['NumpadDecimal', 0x6E],
      ['NumpadDivide', 0x6F],
    ],
    // The game's keys: the browser's own action for them (scrolling, help, find) does not happen.
    gameKeys: ['ArrowUp', 'ArrowDown', 'ArrowLeft', 'ArrowRight', 'Enter', 'NumpadEnter', 'Space', 'KeyW',
      'KeyA', 'KeyS', 'KeyD', 'KeyJ', 'KeyK', 'KeyL', 'KeyP', 'PageUp', 'PageDown', 'F1', 'F2', 'F3', 'F4',
      'Numpad8', 'Numpad4', 'Numpad5', 'Numpad6', 'NumpadAdd', 'Escape'],
    keyOf: null,

    start: function() {
      // Digits, the keypad's digits (as with Num Lock on, whatever its state: code names the
      // physical key), letters and F1-F12 run in order. A key's scan code is its place in codes.
      var codes = VexlorInput.codes.slice(), i;
      for (i = 0; i < 10; i++) codes.push(['Digit' + i, 0x30 + i], ['Numpad' + i, 0x60 + i]);
      for (i = 0; i < 26; i++) codes.push(['Key' + String.fromCharCode(0x41 + i), 0x41 + i]);
      for (i = 1; i <= 12; i++) codes.push(['F' + i, 0x6F + i]);
      VexlorInput.keyOf = {};
      codes.forEach(function(entry, at) { VexlorInput.keyOf[entry[0]] = {vk: entry[1], scan: at + 1}; });
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

    onKey: function(e, pressed) {
      if (Vexlor.ended) return;
      var key = VexlorInput.keyOf[e.code];
      var took = 0;
      // The program first, while the focus is still where the key found it.
      if (key) took = Vexlor.call('_vexlor_from_page_key', key.vk, key.scan, pressed ? 1 : 0, e.repeat ? 1 : 0);
      var handled = pressed && VexlorInput.uiKey(e);
      var plain = !e.ctrlKey && !e.altKey && !e.metaKey;
      if (handled || (took && plain && VexlorInput.gameKeySet[e.code])) e.preventDefault();
    },

    // Keys of the open dialog or menu, and Alt with a menu's mnemonic. True when taken.
    uiKey: function(e) {
      if (Vexlor.dialogs.length) return VexlorDialogs.key(Vexlor.dialogs[Vexlor.dialogs.length - 1], e);
      if (Vexlor.menu) return VexlorMenu.key(e);
      return e.altKey && !e.ctrlKey && !e.metaKey && Vexlor.frameSlot >= 0 && VexlorMenu.openByLetter(VexlorMenu.letterOf(e));
    },
  },
};

mergeInto(LibraryManager.library, VexlorInputLibrary);
