// The page side of the browser backend: the modal dialogs, built from a dialog resource laid
// out by the program (PageResources.cpp), in the dialog face whose metrics give the dialog units.

var VexlorDialogsLibrary = {
  $VexlorDialogs__deps: ['$Vexlor', '$VexlorMenu'],
  $VexlorDialogs: {
    face: '"DejaVu Sans", "Liberation Sans", Arial, sans-serif',

    // The width of the 52 letters A-Z and a-z in the dialog font, and its line height.
    measure: function(pointSize) {
      var context = document.createElement('canvas').getContext('2d');
      context.font = pointSize + 'pt ' + VexlorDialogs.face;
      var m = context.measureText('ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz');
      return [Math.round(m.width), Math.ceil(m.fontBoundingBoxAscent + m.fontBoundingBoxDescent)];
    },

    // Modal for the user: an overlay over the whole page takes the mouse, the dialog the
    // keys, until OK, Enter, Escape or its close box ends it; the game ticks on behind it.
    run: function(layout, owner) {
      VexlorMenu.close(false);
      var overlay = Vexlor.element('div', 'vx-overlay', document.body);
      overlay.addEventListener('mousedown', function(e) {
        if (e.target === overlay) e.preventDefault();
      });
      var box = Vexlor.element('div', 'vx-dialog', overlay);
      box.setAttribute('role', 'dialog');
      box.setAttribute('aria-modal', 'true');
      box.tabIndex = -1;
      var titleBar = Vexlor.element('div', 'vx-title', box);
      Vexlor.element('span', '', titleBar).textContent = layout.title;
      var close = Vexlor.element('span', 'vx-close', titleBar);
      close.textContent = '\u00D7';
      var body = Vexlor.element('div', 'vx-body', box);
      body.style.width = layout.width + 'px';
      body.style.height = layout.height + 'px';
      body.style.font = layout.pointSize + 'pt ' + VexlorDialogs.face;
      body.style.lineHeight = layout.lineHeight + 'px';

      var dialog = {overlay: overlay, box: box, buttons: [], focusables: [], controls: {},
                    restore: document.activeElement, owner: owner};
      close.addEventListener('click', function() { VexlorDialogs.end(dialog); });
      layout.items.forEach(function(item) {
        var element;
        if (item.kind === 'static') {
          element = Vexlor.element('div', 'vx-static', body);
          element.textContent = item.text;
          dialog.controls[item.id] = element;
        } else if (item.kind === 'edit') {
          element = Vexlor.element('input', 'vx-edit', body);
          element.value = item.text;
          dialog.controls[item.id] = element;
          dialog.focusables.push(element);
        } else {
          element = Vexlor.element('button', 'vx-button', body);
          element.appendChild(VexlorMenu.mnemonicElement(item));
          // OK and Cancel end the dialog; the templates have no other buttons.
          if (item.id === 1 || item.id === 2)
            element.addEventListener('click', function() { VexlorDialogs.press(dialog, item.id); });
          dialog.buttons.push({element: element, item: item});
          dialog.focusables.push(element);
          if (item.kind === 'default') dialog.defaultButton = element;
        }
        element.style.left = item.x + 'px';
        element.style.top = item.y + 'px';
        element.style.width = item.width + 'px';
        element.style.height = item.height + 'px';
      });
      // Centred over the page.
      box.style.left = Math.max(0, Math.floor((window.innerWidth - box.offsetWidth) / 2)) + 'px';
      box.style.top = Math.max(0, Math.floor((window.innerHeight - box.offsetHeight) / 2)) + 'px';
      Vexlor.dialogs.push(dialog);
      Vexlor.pageDialog = dialog;
      (dialog.focusables[0] && dialog.focusables[0].tagName === 'INPUT' ? dialog.focusables[0] : dialog.defaultButton ||
       dialog.focusables[0] || box).focus({preventScroll: true});
    },

    // OK asks the program of a dialog with edits whether it may end (it reads their texts).
    press: function(dialog, id) {
      var edits = dialog.focusables.some(function(e) { return e.tagName === 'INPUT'; });
      if (id !== 1 || !edits || Vexlor.call('_vexlor_from_page_dialog_ok')) VexlorDialogs.end(dialog);
    },

    key: function(dialog, e) {
      // Enter ends a dialog without a default button too, as OK, as the classic dialog does.
      if (e.key === 'Enter' || e.key === 'Escape') {
        VexlorDialogs.press(dialog, e.key === 'Enter' ? 1 : 2);
        return true;
      }
      if (e.key === 'Tab') {
        var list = dialog.focusables;
        if (list.length) {
          var at = list.indexOf(document.activeElement);
          var next = e.shiftKey ? (at + list.length - 1) % list.length : (at + 1) % list.length;
          list[next].focus({preventScroll: true});
        }
        return true;
      }
      // An edit takes the keys it types.
      if (document.activeElement.tagName === 'INPUT' && !e.altKey) return false;
      var letter = e.altKey ? VexlorMenu.letterOf(e) : e.key.length === 1 ? e.key.toLowerCase() : '';
      var button = letter && dialog.buttons.find(function(b) { return VexlorMenu.mnemonic(b.item) === letter; });
      if (button) {
        VexlorDialogs.press(dialog, button.item.id);
        return true;
      }
      // Space on a focused button presses it; every other key stays in the dialog.
      return e.key !== ' ';
    },

    end: function(dialog) {
      var at = Vexlor.dialogs.indexOf(dialog);
      if (at < 0) return;
      Vexlor.dialogs.splice(at, 1);
      dialog.overlay.remove();
      // Later, so that the key that ended the dialog does not reach the window too.
      var restore = dialog.restore;
      setTimeout(function() { if (restore) Vexlor.restoreFocus(restore); }, 0);
    },
  },

  vexlor_to_page_measure_dialog_font__deps: ['$VexlorDialogs'],
  vexlor_to_page_measure_dialog_font: function(pointSize, measured) {
    HEAP32.set(VexlorDialogs.measure(pointSize), measured >> 2);
  },
  vexlor_to_page_run_dialog__deps: ['$VexlorDialogs'],
  vexlor_to_page_run_dialog: function(json, owner) { VexlorDialogs.run(JSON.parse(UTF8ToString(json)), owner); },
  // The open dialog's control of this id: its text into the buffer, or a new text shown.
  vexlor_to_page_dialog_text: function(id, buffer, size) {
    var edit = Vexlor.pageDialog && Vexlor.pageDialog.controls[id];
    stringToUTF8(edit ? edit.value : '', buffer, size);
  },
  vexlor_to_page_set_dialog_text: function(id, text) {
    var control = Vexlor.pageDialog && Vexlor.pageDialog.controls[id];
    if (control && control.tagName === 'INPUT') control.value = UTF8ToString(text);
    else if (control) control.textContent = UTF8ToString(text);
  },
};

mergeInto(LibraryManager.library, VexlorDialogsLibrary);
