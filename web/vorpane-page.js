// vorpane-page.js - the page around the show: the address read into a start,
// the canvas scaled, the atlas fetched into the program's files, the program
// started, its state shown under the picture and offered to tests as
// window.vorpane (polled, never per animation frame).
'use strict';

(function () {
  // The desktop's options, as address parameters; the same ranges.
  const LAST_FRAME = 100000000;

  // ?start-frame=N&paused&scale=K -> {startFrame, paused, scale}, or {error}.
  function readAddress(search) {
    const start = { startFrame: 1, paused: false, scale: 1 };
    const whole = (text, low, high) => (/^[0-9]{1,9}$/.test(text) && +text >= low && +text <= high ? +text : null);
    for (const [name, value] of new URLSearchParams(search)) {
      if (name === 'start-frame') {
        start.startFrame = whole(value, 1, LAST_FRAME);
        if (start.startFrame === null) return { error: `start-frame wants a frame from 1 to ${LAST_FRAME}, not "${value}"` };
      } else if (name === 'scale') {
        start.scale = whole(value, 1, 4);
        if (start.scale === null) return { error: `scale wants 1, 2, 3 or 4, not "${value}"` };
      } else if (name === 'paused') {
        if (value !== '') return { error: `paused takes no value, not "${value}"` };
        start.paused = true;
      } else {
        return { error: `unknown parameter "${name}"; the page takes start-frame=N, paused and scale=K` };
      }
    }
    return start;
  }

  const canvas = document.getElementById('canvas');
  const status = document.getElementById('status');
  const message = document.getElementById('message');
  const state = { ended: false, error: null, firstFrameMs: null, started: false };

  function say(text) {
    document.getElementById('message-text').textContent = text;
    message.style.display = 'block';
  }
  document.getElementById('again').addEventListener('click', () => location.reload());

  // The explore keys must not scroll the page while they drive the show.
  const showKeys = new Set([' ', 'ArrowRight', 'PageDown', 'PageUp', '.']);
  window.addEventListener('keydown', (event) => { if (showKeys.has(event.key)) event.preventDefault(); });

  const exported = (name) => () => (state.started ? Module['_vorpane_' + name]() : 0);
  window.vorpane = {
    frame: exported('frame'),
    presented: exported('presented'),
    paused: () => exported('paused')() === 1,
    hud: () => exported('hud')() === 1,
    ended: () => state.ended,
    error: () => state.error,
    firstFrameMs: () => state.firstFrameMs,
  };

  const start = readAddress(location.search);
  if (start.error) {
    state.error = start.error;
    status.textContent = '';
    say('This address cannot start the show: ' + start.error + '.');
    document.getElementById('again').style.display = 'none';
    return;
  }
  // A rule, not the canvas's own style, which emscripten rewrites.
  const rule = document.createElement('style');
  rule.textContent = `#canvas { width: ${640 * start.scale}px; height: ${480 * start.scale}px; }`;
  document.head.appendChild(rule);

  const atlas = fetch('parts.png').then((response) => (response.ok ? response.arrayBuffer() : null)).catch(() => null);

  window.Module = {
    canvas: canvas,
    onRuntimeInitialized: () => {
      atlas.then((bytes) => {
        // Without the file the show says so in the console and draws white
        // squares, as on the desktop.
        if (bytes) Module.FS.writeFile('parts.png', new Uint8Array(bytes));
        state.started = true;
        Module.callMain([String(start.startFrame), start.paused ? 'paused' : 'running']);
      });
    },
    onFirstFrame: () => { state.firstFrameMs = performance.now(); },
    onShowEnded: () => {
      state.ended = true;
      say('The show has ended (Escape).');
    },
  };

  setInterval(() => {
    if (!state.started || state.ended) return;
    status.textContent = `frame ${window.vorpane.frame()}${window.vorpane.paused() ? ', paused' : ''}`;
  }, 250);

  const program = document.createElement('script');
  program.src = 'vorpane-web.js';
  document.body.appendChild(program);
})();
