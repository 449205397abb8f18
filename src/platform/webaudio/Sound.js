// The page's sound (WebSound.cpp): Web Audio. Each effect, synthesised by the program, is
// copied once into an AudioBuffer; a play is a buffer source through a stereo panner into
// the master gain, which an analyser watches for the tests. The browser lets a page's
// audio start only after a gesture, so the first key, tap, click or controller button
// resumes it; until then, with sound on, the page says "press a key for sound".

var VexlorSoundPage = {
  $VexlorSound: {
    context: null,
    master: null,
    analyser: null,
    buffers: [],
    on: true,
    notice: null,

    start: function() {
      var AudioContext = window.AudioContext || window.webkitAudioContext;
      if (!AudioContext) return;
      var s = VexlorSound;
      s.context = new AudioContext({sampleRate: 48000});
      s.master = s.context.createGain();
      s.analyser = s.context.createAnalyser();
      s.analyser.fftSize = 2048;
      s.master.connect(s.analyser);
      s.master.connect(s.context.destination);
      s.master.gain.value = s.on ? 1 : 0;
      s.notice = document.createElement('div');
      s.notice.className = 'vx-sound-notice';
      s.notice.setAttribute('role', 'status');
      s.notice.textContent = 'press a key for sound';
      s.notice.style.cssText = 'position:fixed;right:8px;bottom:8px;z-index:30;padding:3px 8px;' +
        'background:#ffffe0;border:1px solid #999;pointer-events:none';
      document.body.appendChild(s.notice);
      var resume = function() { if (s.context.state !== 'running') s.context.resume(); };
      ['keydown', 'pointerdown', 'mousedown', 'touchstart'].forEach(function(type) {
        window.addEventListener(type, resume, true);
      });
      s.context.onstatechange = s.showNotice;
      s.pollPads();
      s.showNotice();
      window.vexlorSound = {
        state: function() { return s.context.state; },
        // The largest sample of the master output over the analyser's last 2048 frames.
        peak: function() {
          var data = new Float32Array(s.analyser.fftSize);
          s.analyser.getFloatTimeDomainData(data);
          var peak = 0;
          for (var i = 0; i < data.length; i++) peak = Math.max(peak, Math.abs(data[i]));
          return peak;
        },
      };
    },

    showNotice: function() {
      var s = VexlorSound;
      s.notice.hidden = !s.on || s.context.state === 'running';
    },

    // Controller buttons count as a gesture too; the Gamepad API sends no events for them.
    pollPads: function() {
      var s = VexlorSound;
      if (s.context.state === 'running') return;
      var pads = navigator.getGamepads ? navigator.getGamepads() : [];
      for (var i = 0; i < pads.length; i++) {
        if (pads[i] && pads[i].buttons.some(function(b) { return b.pressed; })) s.context.resume();
      }
      setTimeout(s.pollPads, 100);
    },
  },

  vexlor_to_page_sound_effect__deps: ['$VexlorSound'],
  vexlor_to_page_sound_effect: function(index, samples, length) {
    var s = VexlorSound;
    if (!s.context) s.start();
    if (!s.context) return;
    var buffer = s.context.createBuffer(1, length, 48000);
    buffer.copyToChannel(HEAPF32.subarray(samples >> 2, (samples >> 2) + length), 0);
    s.buffers[index] = buffer;
  },

  vexlor_to_page_sound_play__deps: ['$VexlorSound'],
  vexlor_to_page_sound_play: function(index, pan) {
    var s = VexlorSound;
    // A suspended context would keep every sound for the moment it resumes, all at once.
    if (!s.context || !s.on || !s.buffers[index] || s.context.state !== 'running') return;
    var source = s.context.createBufferSource();
    source.buffer = s.buffers[index];
    var panner = s.context.createStereoPanner();
    panner.pan.value = pan;
    source.connect(panner);
    panner.connect(s.master);
    source.start();
  },

  vexlor_to_page_sound_stop__deps: ['$VexlorSound'],
  vexlor_to_page_sound_stop: function() {
    var s = VexlorSound;
    if (!s.context) return;
    // A new master gain cuts every source that is sounding; they end on their own.
    s.master.disconnect();
    s.master = s.context.createGain();
    s.master.gain.value = s.on ? 1 : 0;
    s.master.connect(s.analyser);
    s.master.connect(s.context.destination);
  },

  vexlor_to_page_sound_set_on__deps: ['$VexlorSound', 'vexlor_to_page_sound_stop'],
  vexlor_to_page_sound_set_on: function(on) {
    var s = VexlorSound;
    s.on = !!on;
    if (!s.context) return;
    _vexlor_to_page_sound_stop();
    s.showNotice();
  },
};

mergeInto(LibraryManager.library, VexlorSoundPage);
