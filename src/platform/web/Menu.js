// The page side of the browser backend: the menu bar and its menus, built from the frame's
// menu resource and worked with the mouse, a finger or the keys (Alt and a mnemonic, arrows,
// Enter, Escape). A chosen item posts its command to the frame. The check marks of the
// option items are kept here for the menu to show.

var VexlorMenuLibrary = {
  $VexlorMenu__deps: ['$Vexlor', '$VexlorReplay'],
  $VexlorMenu: {
    checked: {},  // menu command -> checked

    // An item's text as the program gives it, shown and with the place of its mnemonic, which
    // is underlined.
    mnemonicElement: function(item) {
      var span = document.createElement('span'), at = item.mnemonic;
      span.textContent = at < 0 ? item.text : item.text.slice(0, at);
      if (at < 0) return span;
      Vexlor.element('u', '', span).textContent = item.text[at];
      span.appendChild(document.createTextNode(item.text.slice(at + 1)));
      return span;
    },

    mnemonic: function(item) {
      return item.mnemonic < 0 ? '' : item.text[item.mnemonic].toLowerCase();
    },

    // The letter of a key as a mnemonic, whatever the keyboard layout.
    letterOf: function(e) {
      var m = /^(?:Key|Digit)(.)$/.exec(e.code);
      return m ? m[1].toLowerCase() : '';
    },

    setBar: function(slot, items) {
      var w = Vexlor.windows[slot];
      w.menuItems = items;
      w.bar.textContent = '';
      items.forEach(function(item, i) {
        var button = Vexlor.element('div', 'vx-menutitle', w.bar);
        button.setAttribute('role', 'menuitem');
        button.appendChild(VexlorMenu.mnemonicElement(item));
        button.addEventListener('mousedown', function(e) {
          e.preventDefault();
          if (Vexlor.dialogs.length) return;
          if (Vexlor.menu && Vexlor.menu.index === i) VexlorMenu.close(true);
          else VexlorMenu.open(i, false);
        });
        button.addEventListener('mouseenter', function() {
          if (Vexlor.menu && Vexlor.menu.index !== i) VexlorMenu.open(i, false);
        });
      });
      if (items.length) VexlorReplay.addTo(w.bar);
      w.bar.hidden = items.length === 0;
    },

    open: function(index, byKey) {
      var w = Vexlor.windows[Vexlor.frameSlot];
      var restore = Vexlor.menu ? Vexlor.menu.restore : document.activeElement;
      VexlorMenu.close(false);
      var titles = w.bar.children;
      titles[index].classList.add('vx-open');
      Vexlor.menu = {index: index, panels: [], restore: restore};
      var r = titles[index].getBoundingClientRect();
      VexlorMenu.openPanel(w.menuItems[index].items, r.left, r.bottom, byKey);
    },

    openPanel: function(items, x, y, highlightFirst) {
      var panel = Vexlor.element('div', 'vx-menu', document.body);
      panel.tabIndex = -1;
      panel.setAttribute('role', 'menu');
      panel.style.left = x + 'px';
      panel.style.top = y + 'px';
      var entry = {element: panel, items: items, rows: [], highlight: -1};
      var depth = Vexlor.menu.panels.length;
      items.forEach(function(item, i) {
        var row = Vexlor.element('div', item.command === 0 && item.items.length === 0 ? 'vx-separator' : 'vx-menuitem',
                                 panel);
        row.setAttribute('role', item.command in VexlorMenu.checked ? 'menuitemcheckbox' : 'menuitem');
        if (item.command in VexlorMenu.checked) row.setAttribute('aria-checked', String(VexlorMenu.checked[item.command]));
        row.appendChild(VexlorMenu.mnemonicElement(item));
        if (item.items.length) Vexlor.element('span', 'vx-arrow', row).textContent = '\u25B8';
        row.addEventListener('mouseenter', function() { VexlorMenu.highlight(depth, i, true); });
        row.addEventListener('mousedown', function(e) { e.preventDefault(); });
        row.addEventListener('click', function() { VexlorMenu.activate(depth, i, false); });
        entry.rows.push(row);
      });
      Vexlor.menu.panels.push(entry);
      panel.focus({preventScroll: true});
      if (highlightFirst) VexlorMenu.highlight(depth, 0, false);
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
      if (byMouse && panel.items[i].items.length) VexlorMenu.activate(depth, i, false);
    },

    activate: function(depth, i, byKey) {
      var panel = Vexlor.menu.panels[depth];
      var item = panel.items[i];
      if (item.items.length) {
        if (Vexlor.menu.panels.length > depth + 1) return;
        var r = panel.rows[i].getBoundingClientRect();
        VexlorMenu.openPanel(item.items, r.right, r.top, byKey);
        return;
      }
      if (item.command === 0) return;
      VexlorMenu.close(true);
      Vexlor.postCommand(Vexlor.frameSlot, item.command, 0);
    },

    close: function(restoreFocus) {
      var menu = Vexlor.menu;
      if (!menu) return;
      Vexlor.menu = null;
      menu.panels.forEach(function(panel) { panel.element.remove(); });
      var w = Vexlor.windows[Vexlor.frameSlot];
      if (w) Array.prototype.forEach.call(w.bar.children, function(t) { t.classList.remove('vx-open'); });
      // Later, so that the key that closed the menu does not reach the window too.
      if (restoreFocus && menu.restore) setTimeout(function() { Vexlor.restoreFocus(menu.restore); }, 0);
    },

    // Opens the bar's menu whose mnemonic is the letter; true when there is one.
    openByLetter: function(letter) {
      var bar = Vexlor.windows[Vexlor.frameSlot].menuItems || [];
      for (var b = 0; b < bar.length; b++) {
        if (letter && VexlorMenu.mnemonic(bar[b]) === letter) {
          VexlorMenu.open(b, true);
          return true;
        }
      }
      return false;
    },

    // Opens the bar's menu step places along from the open one, round the ends.
    openBeside: function(step) {
      var count = Vexlor.windows[Vexlor.frameSlot].menuItems.length;
      VexlorMenu.open((Vexlor.menu.index + count + step) % count, true);
    },

    // Back from a submenu to its parent panel.
    closeSubmenu: function() {
      var panels = Vexlor.menu.panels;
      panels.pop().element.remove();
      panels[panels.length - 1].element.focus({preventScroll: true});
    },

    key: function(e) {
      var menu = Vexlor.menu;
      var depth = menu.panels.length - 1;
      var panel = menu.panels[depth];
      var count = panel.items.length;
      var opensSubmenu = panel.highlight >= 0 && panel.items[panel.highlight].items.length;
      switch (e.key) {
      case 'Escape':
        if (depth > 0) VexlorMenu.closeSubmenu();
        else VexlorMenu.close(true);
        return true;
      case 'ArrowDown':
        VexlorMenu.highlight(depth, (panel.highlight + 1) % count, false);
        return true;
      case 'ArrowUp':
        VexlorMenu.highlight(depth, (panel.highlight + count - 1) % count, false);
        return true;
      case 'ArrowRight':
        if (opensSubmenu) VexlorMenu.activate(depth, panel.highlight, true);
        else VexlorMenu.openBeside(1);
        return true;
      case 'ArrowLeft':
        if (depth > 0) VexlorMenu.closeSubmenu();
        else VexlorMenu.openBeside(-1);
        return true;
      case 'Enter':
      case ' ':
        if (panel.highlight >= 0) VexlorMenu.activate(depth, panel.highlight, true);
        return true;
      case 'Alt':
        VexlorMenu.close(true);
        return true;
      }
      var letter = e.altKey ? VexlorMenu.letterOf(e) : e.key.length === 1 ? e.key.toLowerCase() : '';
      if (e.altKey && depth === 0 && VexlorMenu.openByLetter(letter)) return true;
      for (var i = 0; i < count; i++) {
        if (letter && VexlorMenu.mnemonic(panel.items[i]) === letter) {
          VexlorMenu.highlight(depth, i, false);
          VexlorMenu.activate(depth, i, true);
          return true;
        }
      }
      return true;
    },
  },

  vexlor_to_page_set_menu__deps: ['$VexlorMenu'],
  vexlor_to_page_set_menu: function(slot, json) { VexlorMenu.setBar(slot, JSON.parse(UTF8ToString(json))); },
  vexlor_to_page_check_menu__deps: ['$VexlorMenu'],
  vexlor_to_page_check_menu: function(command, checked) {
    VexlorMenu.checked[command] = !!checked;  // shown the next time the menu opens
  },
};

mergeInto(LibraryManager.library, VexlorMenuLibrary);
