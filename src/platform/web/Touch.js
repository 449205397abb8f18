// The page side of the browser backend: seat controls for touch screens. The first touch on
// the page lays a set of controls over the arena for each of the game's seats, in its corners.
// A set is a controller of one seat (vexlor_from_page_controller_added with the seat), so it
// holds that seat's keys and takes and leaves the seat as a game controller does. Each finger
// belongs to the control it went down on until it lifts (pointer capture); the controls are
// read once a tick, and a touch shorter than a tick still counts for one.

var VexlorTouchLibrary = {
  $VexlorTouch__deps: ['$Vexlor'],
  $VexlorTouch: {
    // The game's seats in the order controllers take them; the sentry only turns and fires.
    seats: [
      {name: 'Ship 1', colour: '#f00', flies: true, corner: 'vx-bottom vx-left'},
      {name: 'Ship 2', colour: '#0f0', flies: true, corner: 'vx-bottom vx-right'},
      {name: 'Ship 3', colour: '#00f', flies: true, corner: 'vx-top vx-left'},
      {name: 'Sentry', colour: '#c8c800', flies: false, corner: 'vx-top vx-right'},
    ],
    // Each control: its name, the ControllerButton it pushes, its sign, and whether only a
    // seat that flies has it.
    controls: [
      ['forward', 3, '\u25B2', true], ['backward', 4, '\u25BC', true], ['turn left', 5, '\u21BA', false],
      ['turn right', 6, '\u21BB', false], ['fire', 0, '\u25CF', false],
    ],
    // A set untouched this long leaves its seat, which goes back to its autopilot.
    idleMs: 30000,
    // Controller ids of the sets, apart from the Gamepad API's small indices.
    firstId: 1000,
    sets: null,

    start: function() {
      // A long press calls up no menu over the game.
      document.addEventListener('contextmenu', function(e) { if (!Vexlor.ended) e.preventDefault(); });
      window.addEventListener('pointerdown', function(e) {
        if (e.pointerType === 'touch' && !VexlorTouch.sets) VexlorTouch.show();
      }, true);
      Vexlor.beforeTick.push(VexlorTouch.read);
    },

    show: function() {
      var w = Vexlor.windows[Vexlor.frameSlot];
      if (!w) return;
      var layer = Vexlor.element('div', 'vx-touch', w.client);
      VexlorTouch.sets = VexlorTouch.seats.map(function(seat, index) {
        var set = {id: VexlorTouch.firstId + index, seat: index, buttons: [], plugged: false, lastTouch: 0,
                   element: Vexlor.element('div', 'vx-seat ' + seat.corner, layer)};
        set.element.style.borderColor = seat.colour;
        set.element.setAttribute('role', 'group');
        set.element.setAttribute('aria-label', seat.name);
        set.element.dataset.seat = 'free';
        VexlorTouch.controls.forEach(function(control) {
          if (control[3] && !seat.flies) return;
          set.buttons.push(VexlorTouch.control(set, seat.name, control));
        });
        return set;
      });
      var full = Vexlor.element('div', 'vx-fullscreen', w.bar);
      full.setAttribute('role', 'button');
      full.setAttribute('aria-label', 'Full screen');
      full.textContent = '\u26F6';
      full.addEventListener('click', Vexlor.toggleFullScreen);
    },

    // One control: the fingers on it, and whether one went down since the last tick.
    control: function(set, seatName, control) {
      var b = {element: Vexlor.element('div', 'vx-control vx-' + control[0].replace(' ', '-'), set.element),
               button: control[1], pointers: {}, count: 0, touched: false, sent: false};
      b.element.setAttribute('role', 'button');
      b.element.setAttribute('aria-label', seatName + ' ' + control[0]);
      b.element.textContent = control[2];
      var lift = function(e) {
        if (!b.pointers[e.pointerId]) return;
        delete b.pointers[e.pointerId];
        b.count--;
        set.lastTouch = performance.now();
        b.element.classList.toggle('vx-pressed', b.count > 0);
      };
      b.element.addEventListener('pointerdown', function(e) {
        // No focus change, no mouse events after it: the keys stay with the game.
        e.preventDefault();
        b.element.setPointerCapture(e.pointerId);
        if (b.pointers[e.pointerId]) return;
        b.pointers[e.pointerId] = true;
        b.count++;
        b.touched = true;
        set.lastTouch = performance.now();
        b.element.classList.add('vx-pressed');
      });
      // A cancelled pointer lets go as a lifted one does.
      b.element.addEventListener('pointerup', lift);
      b.element.addEventListener('pointercancel', lift);
      b.element.addEventListener('lostpointercapture', lift);
      return b;
    },

    // Once a tick: a touched set takes its seat, the controls push or let go, and a set
    // untouched for idleMs leaves.
    read: function() {
      if (!VexlorTouch.sets) return;
      var now = performance.now();
      VexlorTouch.sets.forEach(function(set) {
        var wanted = set.buttons.some(function(b) { return b.touched || b.count > 0; });
        if (wanted && !set.plugged) {
          set.plugged = true;
          Vexlor.call('_vexlor_from_page_controller_added', set.id, set.seat);
        }
        if (!set.plugged) return;
        set.buttons.forEach(function(b) {
          var down = b.touched || b.count > 0;
          b.touched = false;
          if (down === b.sent) return;
          b.sent = down;
          Vexlor.call('_vexlor_from_page_controller_button', set.id, b.button, down ? 1 : 0);
        });
        var holding = set.buttons.some(function(b) { return b.count > 0; });
        if (!holding && now - set.lastTouch >= VexlorTouch.idleMs) {
          set.plugged = false;
          set.buttons.forEach(function(b) { b.sent = false; });
          Vexlor.call('_vexlor_from_page_controller_removed', set.id);
        }
        // Held by this set, or waiting while a game controller holds the seat.
        set.element.dataset.seat = !set.plugged ? 'free'
          : Vexlor.call('_vexlor_from_page_controller_seat', set.id) === set.seat ? 'taken' : 'waiting';
      });
    },
  },
};

mergeInto(LibraryManager.library, VexlorTouchLibrary);
