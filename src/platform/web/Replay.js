// Opening a replay in the page, which has no command line: the menu bar's "Open replay"
// button picks a file, and a file dropped on the page does the same. The program reads it
// (vexlor_from_page_open_file) and plays it, or answers the one line that says what is
// wrong with it, which the page shows until the next file.

var VexlorReplayLibrary = {
  $VexlorReplay__deps: ['$Vexlor', 'malloc', 'free'],
  $VexlorReplay: {
    picker: null,
    message: null,

    start: function() {
      var r = VexlorReplay;
      r.picker = Vexlor.element('input', '', document.body);
      r.picker.type = 'file';
      r.picker.accept = '.vxr';
      r.picker.hidden = true;
      r.picker.setAttribute('aria-label', 'Replay file');
      r.picker.addEventListener('change', function() {
        if (r.picker.files.length) r.open(r.picker.files[0]);
        r.picker.value = '';
      });
      r.message = Vexlor.element('div', 'vx-replay-message', document.body);
      r.message.setAttribute('role', 'alert');
      r.message.hidden = true;
      window.addEventListener('dragover', function(e) { e.preventDefault(); });
      window.addEventListener('drop', function(e) {
        e.preventDefault();
        if (e.dataTransfer && e.dataTransfer.files.length) r.open(e.dataTransfer.files[0]);
      });
    },

    // The button at the end of the menu bar.
    addTo: function(bar) {
      if (!VexlorReplay.picker) VexlorReplay.start();
      var button = Vexlor.element('div', 'vx-open-replay', bar);
      button.setAttribute('role', 'button');
      button.textContent = 'Open replay\u2026';
      button.addEventListener('click', function() { VexlorReplay.picker.click(); });
    },

    open: function(file) {
      file.arrayBuffer().then(function(buffer) {
        var bytes = new Uint8Array(buffer);
        var at = _malloc(Math.max(bytes.length, 1));
        HEAPU8.set(bytes, at);
        var why = Vexlor.call('_vexlor_from_page_open_file', at, bytes.length);
        _free(at);
        var r = VexlorReplay;
        r.message.textContent = why ? file.name + ': ' + UTF8ToString(why) : '';
        r.message.hidden = !why;
      }, function(e) {
        VexlorReplay.message.textContent = file.name + ': ' + e.message;
        VexlorReplay.message.hidden = false;
      });
    },
  },
};

mergeInto(LibraryManager.library, VexlorReplayLibrary);
